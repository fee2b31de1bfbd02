// CWnd: handle map, creation hook, subclassing and message dispatch.
#include "mfc/win/wnd.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "mfc/win/app.h"
#include "mfc/win/controls.h"
#include "mfc/win/dialog.h"
#include "mfc/win/gdi.h"
#include "mfc/win/internal.h"
#include "mfc/win/menu.h"

using quorbel_mfc::GetThreadState;
using quorbel_mfc::LookupWindow;
using quorbel_mfc::ThreadState;

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

namespace {

// Window property holding the procedure that AfxWndProc replaced, so that a
// window whose object went away still reaches its own procedure.
const char kSuperProcProp[] = "QuorbelSuperProc";

WNDPROC InstallAfxWndProc(HWND hWnd) {
  WNDPROC old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  if (old == &AfxWndProc) return reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kSuperProcProp));
  ::SetPropA(hWnd, kSuperProcProp, reinterpret_cast<HANDLE>(old));
  return old;
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  ThreadState& ts = GetThreadState();
  if (code == HCBT_CREATEWND && ts.pWndInit != NULL) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    char cls[32] = "";
    ::GetClassNameA(hWnd, cls, sizeof(cls));
    // The input-method window some systems make with a thread's first
    // window is not the one asked for.
    if (lstrcmpiA(cls, "IME") != 0) {
      CWnd* pWnd = ts.pWndInit;
      ts.pWndInit = NULL;
      if (pWnd->Attach(hWnd)) {
        pWnd->PreSubclassWindow();
        pWnd->m_pfnSuper = InstallAfxWndProc(hWnd);
        ts.bWndInitAttached = true;
      }
    }
  }
  return ::CallNextHookEx(ts.hHookCbt, code, wParam, lParam);
}

// What closing an attached window undoes: the main-window role, the
// subclassing and the map entry; then PostNcDestroy.
void WindowGone(CWnd* pWnd) {
  HWND hWnd = pWnd->m_hWnd;
  CWinThread* pThread = AfxGetThread();
  if (pThread != NULL) {
    if (pThread->m_pMainWnd == pWnd) {
      // Only a running Run loop needs ending; a program whose InitInstance
      // ran the main window modally must not find a WM_QUIT that would
      // swallow later message boxes.
      if (pThread->m_bInRun) ::PostQuitMessage(0);
      pThread->m_pMainWnd = NULL;
    }
    if (pThread->m_pActiveWnd == pWnd) pThread->m_pActiveWnd = NULL;
  }
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &AfxWndProc &&
      pWnd->m_pfnSuper != NULL)
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
  ::RemovePropA(hWnd, kSuperProcProp);
  pWnd->Detach();
  pWnd->m_pfnSuper = NULL;
  pWnd->PostNcDestroy();
}

const AFX_MSGMAP_ENTRY* FindInMaps(const AFX_MSGMAP* map, UINT nMsg, UINT nCode, UINT nID) {
  for (; map != NULL; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : NULL) {
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(map->lpEntries, nMsg, nCode, nID);
    if (e != NULL) return e;
  }
  return NULL;
}

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = LookupWindow(hWnd);
  if (pWnd == NULL) {
    WNDPROC super = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kSuperProcProp));
    if (super != NULL && super != &AfxWndProc) return ::CallWindowProcA(super, hWnd, nMsg, wParam, lParam);
    return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
  }
  ThreadState& ts = GetThreadState();
  MSG saved = ts.lastMsg;
  ts.lastMsg.hwnd = hWnd;
  ts.lastMsg.message = nMsg;
  ts.lastMsg.wParam = wParam;
  ts.lastMsg.lParam = lParam;
  LRESULT result = pWnd->WindowProc(nMsg, wParam, lParam);
  // A handler that took WM_NCDESTROY without the base still must not leave
  // the object mapped to a dead handle.
  if (nMsg == WM_NCDESTROY && LookupWindow(hWnd) == pWnd) WindowGone(pWnd);
  ts.lastMsg = saved;
  return result;
}

const MSG* AFXAPI AfxGetCurrentMessage() { return &GetThreadState().lastMsg; }

void AFXAPI AfxHookWindowCreate(CWnd* pWnd) {
  ThreadState& ts = GetThreadState();
  if (ts.hHookCbt == NULL)
    ts.hHookCbt = ::SetWindowsHookExA(WH_CBT, &CbtFilterHook, NULL, ::GetCurrentThreadId());
  ++ts.nHookDepth;
  ts.pWndInit = pWnd;
  ts.bWndInitAttached = false;
}

BOOL AFXAPI AfxUnhookWindowCreate() {
  ThreadState& ts = GetThreadState();
  BOOL attached = ts.bWndInitAttached && ts.pWndInit == NULL;
  ts.pWndInit = NULL;
  ts.bWndInitAttached = false;
  if (ts.nHookDepth > 0 && --ts.nHookDepth == 0 && ts.hHookCbt != NULL) {
    ::UnhookWindowsHookEx(ts.hHookCbt);
    ts.hHookCbt = NULL;
  }
  return attached;
}

LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  // One name per argument set, kept for the life of the process.
  static std::mutex lock;
  static std::set<std::string> names;
  HINSTANCE hInst = AfxGetInstanceHandle();
  char name[96];
  std::snprintf(name, sizeof(name), "Quorbel:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
                static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  std::lock_guard<std::mutex> guard(lock);
  const std::string& kept = *names.insert(name).first;
  WNDCLASSA wc;
  if (!::GetClassInfoA(hInst, kept.c_str(), &wc)) {
    wc = WNDCLASSA();
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = kept.c_str();
    if (!::RegisterClassA(&wc)) return NULL;
  }
  return kept.c_str();
}

// ---- Handle map ------------------------------------------------------------

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) { return hWnd == NULL ? NULL : LookupWindow(hWnd); }

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
  if (hWnd == NULL) return NULL;
  CWnd* pWnd = LookupWindow(hWnd);
  if (pWnd != NULL) return pWnd;
  auto& temps = GetThreadState().temps.windows;
  auto it = temps.find(hWnd);
  if (it != temps.end()) return it->second;
  pWnd = new CWnd(hWnd);
  temps[hWnd] = pWnd;
  return pWnd;
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (hWndNew == NULL || m_hWnd != NULL) return FALSE;
  CWnd* existing = LookupWindow(hWndNew);
  ASSERT(existing == NULL);
  if (existing != NULL) return FALSE;
  quorbel_mfc::MapWindow(hWndNew, this);
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != NULL && LookupWindow(hWnd) == this) quorbel_mfc::UnmapWindow(hWnd);
  m_hWnd = NULL;
  return hWnd;
}

CWnd::~CWnd() {
  if (m_hWnd != NULL && LookupWindow(m_hWnd) == this) {
    if (::IsWindow(m_hWnd) &&
        ::GetWindowThreadProcessId(m_hWnd, NULL) == ::GetCurrentThreadId())
      ::DestroyWindow(m_hWnd);  // runs WM_NCDESTROY, which detaches
    if (m_hWnd != NULL) {
      // Still attached (another thread's window, or destruction failed):
      // give the window its own procedure back.
      if (::IsWindow(m_hWnd) &&
          reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc &&
          m_pfnSuper != NULL)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
      Detach();
    }
  }
}

// ---- Creation ----------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == NULL) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(NULL, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  return cs.lpszClass != NULL;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
  if (m_hWnd != NULL) return FALSE;
  CREATESTRUCTA cs;
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = dwStyle;
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                                cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  if (hWnd == NULL) return FALSE;  // a failed WM_CREATE already detached us
  if (m_hWnd == NULL) SubclassWindow(hWnd);  // the hook missed it; attach late
  return m_hWnd == hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void* /*pContext*/) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, NULL);
}

BOOL CWnd::DestroyWindow() {
  HWND hWnd = m_hWnd;
  if (hWnd == NULL) return FALSE;
  bool permanent = LookupWindow(hWnd) == this;
  BOOL result = ::DestroyWindow(hWnd);
  // A temporary object has no WM_NCDESTROY of its own to clear it.
  if (!permanent) m_hWnd = NULL;
  return result;
}

// ---- Subclassing -----------------------------------------------------------------

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  m_pfnSuper = InstallAfxWndProc(hWnd);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), nID);
  return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
  if (m_hWnd == NULL) return NULL;
  if (m_pfnSuper != NULL &&
      reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  ::RemovePropA(m_hWnd, kSuperProcProp);
  m_pfnSuper = NULL;
  return Detach();
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}
BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
void CWnd::DoDataExchange(CDataExchange*) {}

// ---- Dispatch ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_NCDESTROY()
  ON_WM_CTLCOLOR()
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
END_MESSAGE_MAP()

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != NULL) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& msg = GetThreadState().lastMsg;
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT lResult = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 1;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR == NULL || pNMHDR->hwndFrom == NULL || !OnNotify(wParam, lParam, &lResult)) return FALSE;
    *pResult = lResult;
    return TRUE;
  }
  if (message == WM_INITMENUPOPUP) GetThreadState().hTrackingMenu = reinterpret_cast<HMENU>(wParam);
  if (message == WM_SETCURSOR && GetThreadState().nWaitCursor > 0) {
    ::SetCursor(::LoadCursorA(NULL, IDC_WAIT));
    *pResult = TRUE;
    return TRUE;
  }
  UINT lookup = message;
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) lookup = WM_CTLCOLOR;
  const AFX_MSGMAP_ENTRY* e = FindInMaps(GetMessageMap(), lookup, 0, 0);
  if (e == NULL) return FALSE;
  if (!AfxDispatchMsgEntry(this, e, message, wParam, lParam, &lResult)) return FALSE;
  *pResult = lResult;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hWndCtrl == NULL) {
    nCode = 0;  // menu (0) or accelerator (1): both are plain commands
  } else {
    LRESULT r = 0;
    CWnd* pChild = FromHandlePermanent(hWndCtrl);
    if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &r))
      return TRUE;
    // Notifications caused by UpdateData's own writes are not events.
    if (GetThreadState().hLockoutNotifyWindow == m_hWnd) return TRUE;
  }
  return OnCmdMsg(nID, nCode, NULL, NULL);
}

BOOL CWnd::OnNotify(WPARAM /*wParam*/, LPARAM lParam, LRESULT* pResult) {
  NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom);
  if (pChild != NULL && pChild != this &&
      pChild->OnChildNotify(WM_NOTIFY, pNMHDR->idFrom, lParam, pResult))
    return TRUE;
  AFX_NOTIFY notify = {pResult, pNMHDR};
  return OnCmdMsg(static_cast<UINT>(pNMHDR->idFrom), static_cast<int>(pNMHDR->code), &notify, NULL);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT r = 0;
  const AFX_MSGMAP_ENTRY* e = NULL;
  switch (message) {
    case WM_COMMAND:
      e = FindInMaps(GetMessageMap(), WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
      break;
    case WM_NOTIFY:
      e = FindInMaps(GetMessageMap(), WM_REFLECT_BASE + WM_NOTIFY,
                     static_cast<UINT>(reinterpret_cast<NMHDR*>(lParam)->code), 0);
      break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      e = FindInMaps(GetMessageMap(), WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0);
      break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
      e = FindInMaps(GetMessageMap(), WM_REFLECT_BASE + message, 0, 0);
      break;
    default:
      return FALSE;
  }
  if (e == NULL) return FALSE;
  BOOL handled = AfxDispatchMsgEntry(this, e, message, wParam, lParam, &r);
  if (handled && pResult != NULL) *pResult = r;
  return handled;
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* pWnd = FromHandlePermanent(hWndChild);
  return pWnd != NULL && pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
  const MSG& msg = GetThreadState().lastMsg;
  return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

// ---- Modal loop -------------------------------------------------------------------

int CWnd::RunModalLoop() {
  ThreadState& ts = GetThreadState();
  m_nFlags |= WF_MODALLOOP;
  if ((m_nFlags & WF_CONTINUEMODAL) && !(GetStyle() & WS_VISIBLE)) {
    ShowWindow(SW_SHOWNORMAL);
    UpdateWindow();
  }
  ++ts.nLoopDepth;
  while (m_nFlags & WF_CONTINUEMODAL) {
    MSG msg;
    if (!::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
      // Idle. Temporary objects may be held by code below an inner loop,
      // so only the outermost loop frees them.
      if (ts.nLoopDepth == 1) AfxDeleteTempMaps();
      if (!(m_nFlags & WF_CONTINUEMODAL)) break;
      ::WaitMessage();
      continue;
    }
    if (!quorbel_mfc::PumpMessage(true)) {
      m_nModalResult = -1;
      break;
    }
  }
  --ts.nLoopDepth;
  m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
  return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_nFlags & WF_CONTINUEMODAL) {
    m_nFlags &= ~WF_CONTINUEMODAL;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop
  }
}

namespace quorbel_mfc {

BOOL PumpMessage(bool bRepostQuit) {
  MSG msg;
  BOOL got = ::GetMessageA(&msg, NULL, 0, 0);
  if (got == -1) return TRUE;
  if (!got) {
    if (bRepostQuit) ::PostQuitMessage(static_cast<int>(msg.wParam));
    return FALSE;
  }
  CWinThread* pThread = AfxGetThread();
  BOOL taken;
  if (pThread != NULL) {
    pThread->m_msgCur = msg;
    taken = pThread->PreTranslateMessage(&msg);
  } else {
    taken = WalkPreTranslateTree(NULL, &msg);
  }
  if (!taken) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}

BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != NULL;) {
    CWnd* pWnd = LookupWindow(hWnd);
    if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;
    if (!(::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) break;  // top level reached
    hWnd = ::GetParent(hWnd);
  }
  return FALSE;
}

}  // namespace quorbel_mfc

// ---- Data exchange ------------------------------------------------------------------

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  ThreadState& ts = GetThreadState();
  HWND previousLockout = ts.hLockoutNotifyWindow;
  ts.hLockoutNotifyWindow = m_hWnd;
  BOOL ok = TRUE;
  try {
    DoDataExchange(&dx);
  } catch (const quorbel_mfc::DataExchangeFailure&) {
    ok = FALSE;
  }
  ts.hLockoutNotifyWindow = previousLockout;
  return ok;
}

// ---- Wrappers -------------------------------------------------------------------------

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    ::SendMessageA(hChild, message, wParam, lParam);
    if (bDeep && ::GetTopWindow(hChild) != NULL) {
      CWnd child(hChild);
      child.SendMessageToDescendants(message, wParam, lParam, TRUE);
      child.m_hWnd = NULL;
    }
  }
}

BOOL PASCAL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_STYLE));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(hWnd, GWL_STYLE, static_cast<LONG_PTR>(static_cast<LONG>(newStyle)));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL PASCAL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(static_cast<LONG>(newStyle)));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

void CWnd::GetWindowText(CString& rString) const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  char* buffer = rString.GetBuffer(length + 1);
  int got = ::GetWindowTextA(m_hWnd, buffer, length + 1);
  rString.ReleaseBuffer(got < 0 ? 0 : got);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  HWND hItem = ::GetDlgItem(m_hWnd, nID);
  rString.Empty();
  if (hItem == NULL) return 0;
  CWnd item(hItem);
  item.GetWindowText(rString);
  item.m_hWnd = NULL;
  return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), bRedraw);
}

CFont* CWnd::GetFont() const {
  return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  CRect rcWindow;
  GetWindowRect(&rcWindow);
  CRect rcArea;
  CRect rcCenter;
  HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
  DWORD style = GetStyle();
  if (style & WS_CHILD) {
    HWND hParent = ::GetParent(m_hWnd);
    ::GetClientRect(hParent, &rcArea);
    if (hWndCenter != NULL) {
      ::GetWindowRect(hWndCenter, &rcCenter);
      ::MapWindowPoints(NULL, hParent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
    } else {
      rcCenter = rcArea;
    }
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<LPPOINT>(&rcWindow), 2);
  } else {
    if (hWndCenter == NULL) hWndCenter = ::GetWindow(m_hWnd, GW_OWNER);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
    if (hWndCenter != NULL && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))
      ::GetWindowRect(hWndCenter, &rcCenter);
    else
      rcCenter = rcArea;
  }
  int x = (rcCenter.left + rcCenter.right) / 2 - rcWindow.Width() / 2;
  int y = (rcCenter.top + rcCenter.bottom) / 2 - rcWindow.Height() / 2;
  // Keep the window inside the area where possible.
  if (x + rcWindow.Width() > rcArea.right) x = rcArea.right - rcWindow.Width();
  if (x < rcArea.left) x = rcArea.left;
  if (y + rcWindow.Height() > rcArea.bottom) y = rcArea.bottom - rcWindow.Height();
  if (y < rcArea.top) y = rcArea.top;
  ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase) {
  ::InvalidateRgn(m_hWnd, static_cast<HRGN>(pRgn->GetSafeHandle()), bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, static_cast<HRGN>(prgnUpdate->GetSafeHandle()), flags);
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()); }
CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint) { return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint)); }

CWnd* CWnd::GetTopLevelParent() const {
  HWND hRoot = ::GetAncestor(m_hWnd, GA_ROOT);
  return FromHandle(hRoot);
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const {
  HWND hChild = ::GetDlgItem(m_hWnd, nID);
  if (hChild != NULL) {
    CWnd* found = bOnlyPerm ? FromHandlePermanent(hChild) : FromHandle(hChild);
    if (found != NULL) return found;
  }
  for (hChild = ::GetTopWindow(m_hWnd); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    if (::GetTopWindow(hChild) == NULL) continue;
    CWnd child(hChild);
    CWnd* found = child.GetDescendantWindow(nID, bOnlyPerm);
    child.m_hWnd = NULL;
    if (found != NULL) return found;
  }
  return NULL;
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const {
  for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID) {
    if (::IsDlgButtonChecked(m_hWnd, nID)) return nID;
  }
  return 0;
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu()); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const {
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  lpScrollInfo->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  if (lpszCaption == NULL) lpszCaption = AfxGetAppName();
  return AfxShowMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

// ---- Default handlers -----------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() {
  Default();
  if (m_hWnd != NULL && LookupWindow(m_hWnd) == this) WindowGone(this);
}
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }

// The colour, owner-draw and scroll defaults offer the message to the
// control first (its reflected handlers), built from the arguments so that
// a derived handler calling the base gets the same result.
HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  UINT message = WM_CTLCOLORMSGBOX + nCtlColor;
  WPARAM wParam = reinterpret_cast<WPARAM>(pDC->GetSafeHdc());
  LPARAM lParam = reinterpret_cast<LPARAM>(pWnd->GetSafeHwnd());
  CWnd* pChild = FromHandlePermanent(pWnd->GetSafeHwnd());
  LRESULT r = 0;
  if (pChild != NULL && pChild != this && pChild->OnChildNotify(message, wParam, lParam, &r))
    return reinterpret_cast<HBRUSH>(r);
  return reinterpret_cast<HBRUSH>(DefWindowProc(message, wParam, lParam));
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  LPARAM lParam = reinterpret_cast<LPARAM>(lpDrawItemStruct);
  if (lpDrawItemStruct->CtlType == ODT_MENU) {
    CMenu* pMenu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem));
    if (pMenu != NULL) {
      pMenu->DrawItem(lpDrawItemStruct);
      return;
    }
  } else {
    CWnd* pChild = FromHandlePermanent(lpDrawItemStruct->hwndItem);
    LRESULT r = 0;
    if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_DRAWITEM, nIDCtl, lParam, &r)) return;
  }
  DefWindowProc(WM_DRAWITEM, nIDCtl, lParam);
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  LPARAM lParam = reinterpret_cast<LPARAM>(lpMeasureItemStruct);
  if (lpMeasureItemStruct->CtlType == ODT_MENU) {
    // The item's menu: the popup being opened, else this window's menu
    // bar, else any attached menu holding the item.
    UINT id = lpMeasureItemStruct->itemID;
    ULONG_PTR data = lpMeasureItemStruct->itemData;
    CMenu* pMenu = CMenu::FindOwnerOfItem(GetThreadState().hTrackingMenu, id, data);
    if (pMenu == NULL) pMenu = CMenu::FindOwnerOfItem(::GetMenu(m_hWnd), id, data);
    if (pMenu == NULL) pMenu = CMenu::FindOwnerOfItemAnywhere(id, data);
    if (pMenu != NULL) {
      pMenu->MeasureItem(lpMeasureItemStruct);
      return;
    }
  } else {
    CWnd* pChild = FromHandlePermanent(::GetDlgItem(m_hWnd, lpMeasureItemStruct->CtlID));
    LRESULT r = 0;
    if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_MEASUREITEM, nIDCtl, lParam, &r)) return;
  }
  DefWindowProc(WM_MEASUREITEM, nIDCtl, lParam);
}

void CWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
  WPARAM wParam = MAKEWPARAM(nSBCode, nPos);
  LPARAM lParam = reinterpret_cast<LPARAM>(pScrollBar->GetSafeHwnd());
  CWnd* pChild = FromHandlePermanent(pScrollBar->GetSafeHwnd());
  LRESULT r = 0;
  if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_HSCROLL, wParam, lParam, &r)) return;
  DefWindowProc(WM_HSCROLL, wParam, lParam);
}

void CWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
  WPARAM wParam = MAKEWPARAM(nSBCode, nPos);
  LPARAM lParam = reinterpret_cast<LPARAM>(pScrollBar->GetSafeHwnd());
  CWnd* pChild = FromHandlePermanent(pScrollBar->GetSafeHwnd());
  LRESULT r = 0;
  if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_VSCROLL, wParam, lParam, &r)) return;
  DefWindowProc(WM_VSCROLL, wParam, lParam);
}

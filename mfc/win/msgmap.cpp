// Message map lookup and the one dispatcher.
#include "mfc/win/msgmap.h"

#include "mfc/win/app.h"
#include "mfc/win/controls.h"
#include "mfc/win/gdi.h"
#include "mfc/win/internal.h"
#include "mfc/win/menu.h"
#include "mfc/win/wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, static_cast<AFX_PMSG>(0), nullptr}};
  static const AFX_MSGMAP map = {NULL, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg,
                                                   UINT nCode, UINT nID) {
  for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
    if (lpEntry->pnRegisteredMessage != nullptr) {
      if (nMsg >= 0xC000 && *lpEntry->pnRegisteredMessage == nMsg) return lpEntry;
      continue;
    }
    if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID &&
        nID <= lpEntry->nLastID)
      return lpEntry;
  }
  return NULL;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* /*pHandlerInfo*/) {
  UINT message = pExtra != NULL ? WM_NOTIFY : WM_COMMAND;
  for (const AFX_MSGMAP* map = GetMessageMap(); map != NULL;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : NULL) {
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(map->lpEntries, message, static_cast<UINT>(nCode), nID);
    if (e == NULL) continue;
    LRESULT unused = 0;
    if (message == WM_NOTIFY) {
      AFX_NOTIFY* notify = static_cast<AFX_NOTIFY*>(pExtra);
      return AfxDispatchMsgEntry(this, e, WM_NOTIFY, nID, reinterpret_cast<LPARAM>(notify->pNMHDR),
                                 notify->pResult);
    }
    return AfxDispatchMsgEntry(this, e, WM_COMMAND, MAKEWPARAM(nID, nCode), 0, &unused);
  }
  return FALSE;
}

namespace {

template <class F>
QuorbelCmdMember<F> Fn(const AFX_MSGMAP_ENTRY* e) {
  return QuorbelLoadHandler<F>(e->pfn);
}

CPoint PointOf(LPARAM lParam) { return CPoint(lParam); }

}  // namespace

BOOL AFXAPI AfxDispatchMsgEntry(CCmdTarget* t, const AFX_MSGMAP_ENTRY* e, UINT message,
                                WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT r = 0;
  BOOL handled = TRUE;
  // The control id for ranges: from WM_COMMAND's wParam or the NMHDR.
  UINT nID = message == WM_NOTIFY ? static_cast<UINT>(reinterpret_cast<NMHDR*>(lParam)->idFrom)
                                  : LOWORD(wParam);
  NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  switch (e->nSig) {
    case AfxSig_lwl:
      r = (t->*Fn<LRESULT(WPARAM, LPARAM)>(e))(wParam, lParam);
      break;
    case AfxSig_vv:
      (t->*Fn<void()>(e))();
      break;
    case AfxSig_vu:
      (t->*Fn<void(UINT)>(e))(nID);
      break;
    case AfxSig_bv:
      handled = (t->*Fn<BOOL()>(e))();
      r = handled;
      break;
    case AfxSig_bu:
      handled = (t->*Fn<BOOL(UINT)>(e))(nID);
      r = handled;
      break;
    case AfxSig_vNMHDRpl:
      (t->*Fn<void(NMHDR*, LRESULT*)>(e))(pNMHDR, pResult);
      return TRUE;
    case AfxSig_vuNMHDRpl:
      (t->*Fn<void(UINT, NMHDR*, LRESULT*)>(e))(nID, pNMHDR, pResult);
      return TRUE;
    case AfxSig_bNMHDRpl:
      return (t->*Fn<BOOL(NMHDR*, LRESULT*)>(e))(pNMHDR, pResult);
    case AfxSig_buNMHDRpl:
      return (t->*Fn<BOOL(UINT, NMHDR*, LRESULT*)>(e))(nID, pNMHDR, pResult);
    case AfxSig_iCREATE:
      r = (t->*Fn<int(LPCREATESTRUCT)>(e))(reinterpret_cast<LPCREATESTRUCT>(lParam));
      break;
    case AfxSig_bD:
      r = (t->*Fn<BOOL(CDC*)>(e))(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
      break;
    case AfxSig_vt:
      (t->*Fn<void(UINT_PTR)>(e))(static_cast<UINT_PTR>(wParam));
      break;
    case AfxSig_vup:
      (t->*Fn<void(UINT, CPoint)>(e))(static_cast<UINT>(wParam), PointOf(lParam));
      break;
    case AfxSig_bWuu:
      r = (t->*Fn<BOOL(CWnd*, UINT, UINT)>(e))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                                LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_hDWu:
      r = reinterpret_cast<LRESULT>((t->*Fn<HBRUSH(CDC*, CWnd*, UINT)>(e))(
          CDC::FromHandle(reinterpret_cast<HDC>(wParam)), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
          message - WM_CTLCOLORMSGBOX));
      break;
    case AfxSig_hDu:
      r = reinterpret_cast<LRESULT>((t->*Fn<HBRUSH(CDC*, UINT)>(e))(
          CDC::FromHandle(reinterpret_cast<HDC>(wParam)), message - WM_CTLCOLORMSGBOX));
      // A NULL brush leaves the colours to the parent.
      handled = r != 0;
      break;
    case AfxSig_viDRAW:
      (t->*Fn<void(int, LPDRAWITEMSTRUCT)>(e))(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      r = TRUE;
      break;
    case AfxSig_viMEASURE:
      (t->*Fn<void(int, LPMEASUREITEMSTRUCT)>(e))(static_cast<int>(wParam),
                                                  reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      r = TRUE;
      break;
    case AfxSig_vDRAW:
      (t->*Fn<void(LPDRAWITEMSTRUCT)>(e))(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      r = TRUE;
      break;
    case AfxSig_vMEASURE:
      (t->*Fn<void(LPMEASUREITEMSTRUCT)>(e))(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      r = TRUE;
      break;
    case AfxSig_vMub:
      (t->*Fn<void(CMenu*, UINT, BOOL)>(e))(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)),
                                            LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_vuii:
      (t->*Fn<void(UINT, int, int)>(e))(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
                                        static_cast<short>(HIWORD(lParam)));
      break;
    case AfxSig_vii:
      (t->*Fn<void(int, int)>(e))(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      break;
    case AfxSig_vul:
      (t->*Fn<void(UINT, LPARAM)>(e))(static_cast<UINT>(wParam), lParam);
      break;
    case AfxSig_hcv:
      r = reinterpret_cast<LRESULT>((t->*Fn<HCURSOR()>(e))());
      break;
    case AfxSig_vW:
      (t->*Fn<void(CWnd*)>(e))(CWnd::FromHandle(reinterpret_cast<HWND>(message == WM_CAPTURECHANGED ? lParam : wParam)));
      break;
    case AfxSig_vuWb:
      (t->*Fn<void(UINT, CWnd*, BOOL)>(e))(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
                                           HIWORD(wParam));
      break;
    case AfxSig_vb:
      (t->*Fn<void(BOOL)>(e))(static_cast<BOOL>(wParam));
      break;
    case AfxSig_vbh:
      (t->*Fn<void(BOOL, DWORD)>(e))(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
      break;
    case AfxSig_uv:
      r = (t->*Fn<UINT()>(e))();
      break;
    case AfxSig_luuM:
      r = (t->*Fn<LRESULT(UINT, UINT, CMenu*)>(e))(LOWORD(wParam), HIWORD(wParam),
                                                   CMenu::FromHandle(reinterpret_cast<HMENU>(lParam)));
      break;
    case AfxSig_vuuu:
      (t->*Fn<void(UINT, UINT, UINT)>(e))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_vuuS:
      (t->*Fn<void(UINT, UINT, CScrollBar*)>(e))(
          LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
          static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
      break;
    case AfxSig_vuu:
      (t->*Fn<void(UINT, UINT)>(e))(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      break;
    case AfxSig_vbu:
      (t->*Fn<void(BOOL, UINT)>(e))(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
      break;
    case AfxSig_vWp:
      (t->*Fn<void(CWnd*, CPoint)>(e))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), PointOf(lParam));
      break;
    case AfxSig_lp:
      r = (t->*Fn<LRESULT(CPoint)>(e))(PointOf(lParam));
      break;
    case AfxSig_vPOS:
      (t->*Fn<void(WINDOWPOS*)>(e))(reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case AfxSig_vMMI:
      (t->*Fn<void(MINMAXINFO*)>(e))(reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case AfxSig_bup:
      r = (t->*Fn<BOOL(UINT, short, CPoint)>(e))(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                                                 PointOf(lParam));
      break;
    case AfxSig_vuuM:
      (t->*Fn<void(UINT, UINT, HMENU)>(e))(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
      break;
    case AfxSig_vHDROP:
      (t->*Fn<void(HDROP)>(e))(reinterpret_cast<HDROP>(wParam));
      break;
    default:
      return FALSE;
  }
  if (pResult != NULL) *pResult = r;
  return handled;
}

// ---- Wait cursor -------------------------------------------------------------

void CCmdTarget::BeginWaitCursor() {
  CWinApp* app = AfxGetApp();
  if (app != NULL) app->DoWaitCursor(1);
  else quorbel_mfc::DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor() {
  CWinApp* app = AfxGetApp();
  if (app != NULL) app->DoWaitCursor(-1);
  else quorbel_mfc::DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor() {
  CWinApp* app = AfxGetApp();
  if (app != NULL) app->DoWaitCursor(0);
  else quorbel_mfc::DoWaitCursor(0);
}

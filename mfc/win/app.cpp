// CWinThread, CWinApp, the program entry, worker threads, message boxes.
#include "mfc/win/app.h"

#include <process.h>

#include "mfc/win/internal.h"

using quorbel_mfc::GetThreadState;
using quorbel_mfc::ThreadState;

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* g_pApp = NULL;                 // the one application object
HINSTANCE g_hResource = NULL;           // AfxSetResourceHandle; NULL: the instance

// Never destroyed: a scripted box set may go during static destruction.
std::mutex& BoxHookLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}
AFX_MESSAGEBOX_HOOK g_pfnBoxHook = NULL;
void* g_pBoxHookContext = NULL;

unsigned __stdcall ThreadEntry(void* pParam) {
  CWinThread* pThread = static_cast<CWinThread*>(pParam);
  GetThreadState().pThread = pThread;
  UINT code;
  if (pThread->m_pfnThreadProc != NULL) {
    code = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
  } else {
    code = pThread->InitInstance() ? static_cast<UINT>(pThread->Run())
                                   : static_cast<UINT>(pThread->ExitInstance());
  }
  // Leaving the procedure ends the thread: the same cleanup as AfxEndThread.
  quorbel_mfc::FreeThreadState();
  if (pThread->m_bAutoDelete) delete pThread;
  return code;
}

}  // namespace

namespace quorbel_mfc {

void DoWaitCursor(int nCode) {
  ThreadState& ts = GetThreadState();
  HCURSOR wait = ::LoadCursorA(NULL, IDC_WAIT);
  if (nCode > 0) {
    HCURSOR previous = ::SetCursor(wait);
    if (ts.nWaitCursor++ == 0) ts.hcurWaitRestore = previous;
  } else if (nCode < 0) {
    if (ts.nWaitCursor > 0 && --ts.nWaitCursor == 0) ::SetCursor(ts.hcurWaitRestore);
  } else if (ts.nWaitCursor > 0) {
    ::SetCursor(wait);
  }
}

}  // namespace quorbel_mfc

// ---- CWinThread -----------------------------------------------------------------

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
  if (m_hThread != NULL) ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  unsigned id = 0;
  uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry, this,
                                    dwCreateFlags | CREATE_SUSPENDED, &id);
  if (handle == 0) return FALSE;
  m_hThread = reinterpret_cast<HANDLE>(handle);
  m_nThreadID = id;
  if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
  return TRUE;
}

CWnd* CWinThread::GetMainWnd() {
  if (m_pActiveWnd != NULL) return m_pActiveWnd;
  if (m_pMainWnd != NULL) return m_pMainWnd;
  // Workers report to the program's main window.
  if (g_pApp != NULL && g_pApp != this && g_pApp->m_pMainWnd != NULL) return g_pApp->m_pMainWnd;
  return CWnd::GetActiveWindow();
}

BOOL CWinThread::InitInstance() { return FALSE; }

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->hwnd == NULL) return FALSE;
  return quorbel_mfc::WalkPreTranslateTree(NULL, pMsg);
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount == 0 && GetThreadState().nLoopDepth <= 1) AfxDeleteTempMaps();
  return FALSE;
}

int CWinThread::Run() {
  ThreadState& ts = GetThreadState();
  m_bInRun = TRUE;
  ++ts.nLoopDepth;
  for (;;) {
    MSG msg;
    if (!::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
      LONG count = 0;
      while (OnIdle(count++) && !::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
      }
      if (!::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) ::WaitMessage();
      continue;
    }
    if (!quorbel_mfc::PumpMessage(false)) break;
  }
  --ts.nLoopDepth;
  m_bInRun = FALSE;
  return ExitInstance();
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

// ---- CWinApp -------------------------------------------------------------------------

CWinApp::CWinApp(LPCTSTR lpszAppName) {
  ASSERT(g_pApp == NULL);
  g_pApp = this;
  GetThreadState().pThread = this;
  m_nThreadID = ::GetCurrentThreadId();
  m_bAutoDelete = FALSE;
  m_hInstance = ::GetModuleHandleA(NULL);

  char path[MAX_PATH] = "";
  ::GetModuleFileNameA(NULL, path, MAX_PATH);
  CString exe(path);
  int slash = exe.ReverseFind('\\');
  if (slash >= 0) exe = exe.Mid(slash + 1);
  if (exe.GetLength() > 4 && exe.Right(4).CompareNoCase(".exe") == 0) exe = exe.Left(exe.GetLength() - 4);
  m_strExeName = exe;
  m_strAppName = lpszAppName != NULL ? CString(lpszAppName) : exe;
  m_pszExeName = m_strExeName;
  m_pszAppName = m_strAppName;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = NULL;
  ThreadState& ts = GetThreadState();
  if (ts.pThread == this) ts.pThread = NULL;
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }
int CWinApp::Run() { return CWinThread::Run(); }

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const {
  HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_GROUP_ICON);
  return ::LoadIconA(hInst != NULL ? hInst : m_hInstance, lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const {
  HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_GROUP_CURSOR);
  return ::LoadCursorA(hInst != NULL ? hInst : m_hInstance, lpszResourceName);
}

void CWinApp::DoWaitCursor(int nCode) { quorbel_mfc::DoWaitCursor(nCode); }

// ---- Globals -------------------------------------------------------------------------------

CWinApp* AFXAPI AfxGetApp() { return g_pApp; }

CWinThread* AFXAPI AfxGetThread() {
  CWinThread* pThread = GetThreadState().pThread;
  if (pThread == NULL && g_pApp != NULL && g_pApp->m_nThreadID == ::GetCurrentThreadId()) pThread = g_pApp;
  return pThread;
}

CWnd* AFXAPI AfxGetMainWnd() {
  CWinThread* pThread = AfxGetThread();
  if (pThread != NULL) return pThread->GetMainWnd();
  return g_pApp != NULL ? g_pApp->m_pMainWnd : NULL;
}

HINSTANCE AFXAPI AfxGetInstanceHandle() {
  return g_pApp != NULL && g_pApp->m_hInstance != NULL ? g_pApp->m_hInstance : quorbel_mfc::ExeInstance();
}

HINSTANCE AFXAPI AfxGetResourceHandle() { return g_hResource != NULL ? g_hResource : AfxGetInstanceHandle(); }

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource) { g_hResource = hInstResource; }

LPCTSTR AFXAPI AfxGetAppName() { return g_pApp != NULL ? g_pApp->m_pszAppName : ""; }

HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType) {
  HINSTANCE hRes = AfxGetResourceHandle();
  if (::FindResourceA(hRes, lpszName, lpszType) != NULL) return hRes;
  HINSTANCE hExe = AfxGetInstanceHandle();
  if (hExe != hRes && ::FindResourceA(hExe, lpszName, lpszType) != NULL) return hExe;
  return NULL;
}

void AFXAPI AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL) return -1;
  pApp->m_hInstance = hInstance;
  pApp->m_hPrevInstance = hPrevInstance;
  pApp->m_lpCmdLine = lpCmdLine;
  pApp->m_nCmdShow = nCmdShow;
  pApp->m_nThreadID = ::GetCurrentThreadId();
  GetThreadState().pThread = pApp;

  quorbel_mfc::EnsureCommonControls();

  if (!pApp->InitApplication()) return pApp->ExitInstance();
  if (!pApp->InitInstance()) {
    // A main window left over by InitInstance (still attached) goes now;
    // a modal main window has already cleared m_pMainWnd on closing.
    // (found through the map: the object itself may be gone).
    HWND hMain = quorbel_mfc::FindWindowOfObject(pApp->m_pMainWnd);
    if (hMain != NULL) ::DestroyWindow(hMain);
    pApp->m_pMainWnd = NULL;
    return pApp->ExitInstance();
  }
  return pApp->Run();
}

// The program entry. Kept with CWinApp's constructor, so any program that
// defines its application object links it.
extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}

// ---- Worker threads -------------------------------------------------------------------------

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                                  UINT nStackSize, DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (pfnThreadProc == NULL) return NULL;
  CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    delete pThread;
    return NULL;
  }
  pThread->SetThreadPriority(nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
  return pThread;
}

void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete) {
  CWinThread* pThread = GetThreadState().pThread;
  quorbel_mfc::FreeThreadState();
  if (pThread != NULL && pThread != g_pApp && bDelete && pThread->m_bAutoDelete) delete pThread;
  _endthreadex(nExitCode);
}

// ---- Message boxes --------------------------------------------------------------------------

void AFXAPI AfxSetMessageBoxHook(AFX_MESSAGEBOX_HOOK pfnHook, void* pContext) {
  std::lock_guard<std::mutex> guard(BoxHookLock());
  g_pfnBoxHook = pfnHook;
  g_pBoxHookContext = pContext;
}

int AFXAPI AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  AFX_MESSAGEBOX_HOOK hook;
  void* context;
  {
    std::lock_guard<std::mutex> guard(BoxHookLock());
    hook = g_pfnBoxHook;
    context = g_pBoxHookContext;
  }
  if (lpszText == NULL) lpszText = "";
  if (hook != NULL) return hook(hWndOwner, lpszText, lpszCaption, nType, context);
  return ::MessageBoxA(hWndOwner, lpszText, lpszCaption, nType);
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT /*nIDHelp*/) {
  // Owner: the calling thread's active window or the main window, if it is
  // the calling thread's (a window of another thread would tie the two
  // threads' input together).
  HWND hOwner = ::GetActiveWindow();
  if (hOwner == NULL) {
    CWnd* pMain = AfxGetMainWnd();
    hOwner = pMain->GetSafeHwnd();
  }
  if (hOwner != NULL) {
    hOwner = ::GetLastActivePopup(::GetAncestor(hOwner, GA_ROOT));
    if (::GetWindowThreadProcessId(hOwner, NULL) != ::GetCurrentThreadId()) hOwner = NULL;
  }
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  return AfxShowMessageBox(hOwner, lpszText, AfxGetAppName(), nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString text;
  if (!text.LoadString(nIDPrompt)) text.Format("Message %u", nIDPrompt);
  return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

CMessageBoxScript::CMessageBoxScript() { AfxSetMessageBoxHook(&CMessageBoxScript::Hook, this); }

CMessageBoxScript::~CMessageBoxScript() { AfxSetMessageBoxHook(NULL, NULL); }

void CMessageBoxScript::Answer(int nResult) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_answers.push_back(nResult);
}

std::vector<CMessageBoxScript::Box> CMessageBoxScript::Boxes() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_boxes;
}

int CMessageBoxScript::Count() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return static_cast<int>(m_boxes.size());
}

CString CMessageBoxScript::LastText() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_boxes.empty() ? CString() : m_boxes.back().text;
}

void CMessageBoxScript::OnBox(std::function<void(const Box&)> fn) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_onBox = std::move(fn);
}

int CMessageBoxScript::Hook(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType, void* pContext) {
  CMessageBoxScript* self = static_cast<CMessageBoxScript*>(pContext);
  Box box = {CString(lpszText), CString(lpszCaption), nType, hWndOwner};
  std::function<void(const Box&)> onBox;
  int answer;
  {
    std::lock_guard<std::mutex> guard(self->m_lock);
    self->m_boxes.push_back(box);
    onBox = self->m_onBox;
    if (!self->m_answers.empty()) {
      answer = self->m_answers.front();
      self->m_answers.erase(self->m_answers.begin());
    } else {
      switch (nType & MB_TYPEMASK) {
        case MB_ABORTRETRYIGNORE: answer = IDABORT; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: answer = IDYES; break;
        case MB_RETRYCANCEL: answer = IDRETRY; break;
        case MB_CANCELTRYCONTINUE: answer = IDCANCEL; break;
        default: answer = IDOK; break;
      }
    }
  }
  if (onBox) onBox(box);
  return answer;
}

// ---- Wait cursor object ------------------------------------------------------------------------

CWaitCursor::CWaitCursor() {
  CWinApp* app = AfxGetApp();
  if (app != NULL) app->DoWaitCursor(1);
  else quorbel_mfc::DoWaitCursor(1);
}

CWaitCursor::~CWaitCursor() {
  CWinApp* app = AfxGetApp();
  if (app != NULL) app->DoWaitCursor(-1);
  else quorbel_mfc::DoWaitCursor(-1);
}

void CWaitCursor::Restore() {
  CWinApp* app = AfxGetApp();
  if (app != NULL) app->DoWaitCursor(0);
  else quorbel_mfc::DoWaitCursor(0);
}

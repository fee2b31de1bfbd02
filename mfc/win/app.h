// Threads and the application object. The program defines one global
// object of a CWinApp subclass; WinMain (in this library) calls AfxWinMain,
// which runs its InitInstance, then Run when InitInstance returned TRUE,
// and ExitInstance in every case.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

#include "mfc/string.h"
#include "mfc/win/msgmap.h"
#include "mfc/win/wnd.h"

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
public:
  CWinThread();
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  ~CWinThread() override;

  // Starts the thread (AfxBeginThread does this for workers).
  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                    LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
  BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
  int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
  operator HANDLE() const { return m_hThread; }

  // The thread's main window, else the application's, else the active window.
  virtual CWnd* GetMainWnd();

  virtual BOOL InitInstance();
  // The message loop: runs until WM_QUIT, then returns ExitInstance().
  virtual int Run();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Idle work of the thread's outermost loop; TRUE asks for more idle calls.
  virtual BOOL OnIdle(LONG lCount);
  virtual int ExitInstance();

  CWnd* m_pMainWnd = NULL;      // closing it ends Run
  CWnd* m_pActiveWnd = NULL;    // takes the place of the main window while set
  BOOL m_bAutoDelete = TRUE;    // delete the object when the thread ends
  HANDLE m_hThread = NULL;
  DWORD m_nThreadID = 0;
  MSG m_msgCur = {};            // the message Run handles now

  // Used by the library: the thread procedure and its argument.
  AFX_THREADPROC m_pfnThreadProc = NULL;
  LPVOID m_pThreadParams = NULL;
  // Nesting depth of message loops on this thread (Run and modal loops).
  int m_nLoopDepth = 0;
  // Run is on the stack: closing the main window posts WM_QUIT.
  BOOL m_bInRun = FALSE;
};

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
public:
  explicit CWinApp(LPCTSTR lpszAppName = NULL);
  ~CWinApp() override;

  virtual BOOL InitApplication();
  BOOL InitInstance() override;
  int ExitInstance() override;
  int Run() override;

  // The old 3-D control look; kept for programs that ask for it.
  BOOL Enable3dControls() { return TRUE; }
  BOOL Enable3dControlsStatic() { return TRUE; }

  HICON LoadIcon(LPCTSTR lpszResourceName) const;
  HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEA(nIDResource)); }
  HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconA(NULL, lpszIconName); }
  HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
  HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEA(nIDResource)); }
  HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorA(NULL, lpszCursorName); }

  void BeginWaitCursor() { DoWaitCursor(1); }
  void EndWaitCursor() { DoWaitCursor(-1); }
  // 1 adds a wait-cursor level, -1 removes one, 0 shows the cursor again.
  virtual void DoWaitCursor(int nCode);

  HINSTANCE m_hInstance = NULL;
  HINSTANCE m_hPrevInstance = NULL;
  LPTSTR m_lpCmdLine = NULL;
  int m_nCmdShow = SW_SHOWNORMAL;
  LPCTSTR m_pszAppName = NULL;   // the name given, else the executable's base name
  LPCTSTR m_pszExeName = NULL;   // the executable's base name without ".exe"
  LPCTSTR m_pszHelpFilePath = NULL;
  LPCTSTR m_pszProfileName = NULL;

private:
  CString m_strAppName;
  CString m_strExeName;
  friend int AFXAPI AfxWinMain(HINSTANCE, HINSTANCE, LPTSTR, int);
};

// ---- Globals ------------------------------------------------------------------

CWinApp* AFXAPI AfxGetApp();
CWinThread* AFXAPI AfxGetThread();
CWnd* AFXAPI AfxGetMainWnd();
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
LPCTSTR AFXAPI AfxGetAppName();
// The module holding the resource: the resource handle when it has one of
// that type and name, else the executable; NULL when neither has it.
HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// Hosting of ActiveX controls: initialises OLE on the calling thread and
// lets dialogs create the controls of their templates (mfc/win/olecontrol.h).
void AFXAPI AfxEnableControlContainer();
void AFXAPI AfxPostQuitMessage(int nExitCode);

// The program's body: InitApplication, InitInstance, then Run when
// InitInstance returned TRUE, else ExitInstance. Returns the exit code.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

// A worker thread running pfnThreadProc(pParam). The returned object is
// deleted when the thread ends unless m_bAutoDelete is cleared first
// (start it with CREATE_SUSPENDED to do that safely).
CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

// ---- Message boxes ------------------------------------------------------------------

// Owner: the active window of the thread when it is one of ours, else the
// main window. Caption: the application name.
int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// Test seam: while a hook is set, AfxMessageBox and CWnd::MessageBox call it
// instead of showing a box, from whatever thread asked. The hook's result
// is the box's result.
typedef int (*AFX_MESSAGEBOX_HOOK)(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption,
                                   UINT nType, void* pContext);
void AFXAPI AfxSetMessageBoxHook(AFX_MESSAGEBOX_HOOK pfnHook, void* pContext);
// The one place every box of the layer goes through.
int AFXAPI AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);

// A scripted stand-in for message boxes while it lives: records each box
// and answers from a queue of results; with the queue empty the answer is
// the box's first button (IDOK, IDYES, IDABORT, IDRETRY or IDCANCEL).
class CMessageBoxScript {
public:
  struct Box {
    CString text;
    CString caption;
    UINT type;
    HWND owner;
  };
  CMessageBoxScript();
  ~CMessageBoxScript();
  CMessageBoxScript(const CMessageBoxScript&) = delete;
  CMessageBoxScript& operator=(const CMessageBoxScript&) = delete;

  void Answer(int nResult);               // queue one answer
  std::vector<Box> Boxes() const;         // every box so far, in order
  int Count() const;
  CString LastText() const;               // "" when there was none
  // Called on the thread that asked, before the answer is given.
  void OnBox(std::function<void(const Box&)> fn);

private:
  static int Hook(HWND, LPCTSTR, LPCTSTR, UINT, void*);
  mutable std::mutex m_lock;
  std::vector<Box> m_boxes;
  std::vector<int> m_answers;
  std::function<void(const Box&)> m_onBox;
};

// Shows the wait cursor while it lives.
class CWaitCursor {
public:
  CWaitCursor();
  ~CWaitCursor();
  void Restore();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
};

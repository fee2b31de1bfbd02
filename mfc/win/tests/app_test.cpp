// The application object and program body, worker threads, the message box
// seam and the wait cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "mfc/win/internal.h"
#include "testing/gui/gui_test.h"

namespace {

const UINT kWorkerDone = WM_APP + 40;

guitest::DialogTemplate MainTemplate() {
  guitest::DialogTemplate t("Main dialog", 20, 20, 150, 60);
  t.Button(IDCANCEL, "Close", 5, 5, 50, 14);
  return t;
}

// InitInstance runs the main dialog modally and returns FALSE, as the
// suite's programs do.
class DialogApp : public CWinApp {
public:
  std::vector<std::string> calls;
  bool mainWndWasDialog = false;
  bool quitLeftInQueue = true;
  int exitCode = 17;

  BOOL InitInstance() override {
    calls.push_back("init");
    guitest::DialogTemplate t = MainTemplate();
    CDialog dlg;
    dlg.InitModalIndirect(t.Get());
    m_pMainWnd = &dlg;
    guitest::RunLater(50, [&] {
      mainWndWasDialog = AfxGetMainWnd() == &dlg;
      guitest::PostCommand(dlg.m_hWnd, IDCANCEL);
    });
    dlg.DoModal();
    return FALSE;
  }
  int ExitInstance() override {
    calls.push_back("exit");
    MSG msg;
    quitLeftInQueue = ::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
    CWinApp::ExitInstance();
    return exitCode;
  }
};

TEST(AppTest, ExitInstanceRunsWhenInitInstanceReturnsFalse) {
  DialogApp app;
  EXPECT_EQ(AfxGetApp(), &app);
  int code = AfxWinMain(::GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  EXPECT_EQ(code, 17);
  std::vector<std::string> expected = {"init", "exit"};
  EXPECT_EQ(app.calls, expected);
  EXPECT_TRUE(app.mainWndWasDialog);
  EXPECT_EQ(app.m_pMainWnd, nullptr);  // cleared when the dialog closed
  // Closing a modally run main window leaves no WM_QUIT behind that would
  // end the next message box at once.
  EXPECT_FALSE(app.quitLeftInQueue);
  EXPECT_STREQ(app.m_pszExeName, "mfc_app_test");
  EXPECT_STREQ(AfxGetAppName(), "mfc_app_test");
}

// InitInstance creates a main window and returns TRUE: Run pumps until
// the main window closes.
class WindowApp : public CWinApp {
public:
  CWnd mainWnd;
  int exits = 0;
  BOOL InitInstance() override {
    if (!mainWnd.CreateEx(0, NULL, "Main window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, NULL, NULL))
      return FALSE;
    m_pMainWnd = &mainWnd;
    guitest::RunLater(50, [this] { mainWnd.PostMessage(WM_CLOSE); });
    return TRUE;
  }
  int ExitInstance() override {
    ++exits;
    return CWinApp::ExitInstance() + 5;
  }
};

TEST(AppTest, RunEndsWhenTheMainWindowCloses) {
  WindowApp app;
  EXPECT_EQ(AfxWinMain(::GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW), 5);
  EXPECT_EQ(app.exits, 1);
  EXPECT_EQ(app.mainWnd.m_hWnd, (HWND)NULL);
}

TEST(AppTest, AProgramWithOnlyAnApplicationObjectRunsThroughWinMain) {
  // The helper program sits beside this test.
  char path[MAX_PATH] = "";
  ::GetModuleFileNameA(NULL, path, MAX_PATH);
  std::string program(path);
  program = program.substr(0, program.rfind('\\') + 1) + "mfc_winmain_program.exe";
  std::string command = "\"" + program + "\" abcd";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(::CreateProcessA(program.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
      << program;
  ASSERT_EQ(::WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  EXPECT_EQ(code, 100u + 4u + 50u);  // command line "abcd", InitInstance saw its app
}

TEST(AppTest, ResourceHandleDefaultsToTheProgram) {
  EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(NULL));
  EXPECT_EQ(AfxGetResourceHandle(), ::GetModuleHandleA(NULL));
  HINSTANCE other = ::GetModuleHandleA("user32.dll");
  AfxSetResourceHandle(other);
  EXPECT_EQ(AfxGetResourceHandle(), other);
  AfxSetResourceHandle(NULL);
  EXPECT_EQ(AfxGetResourceHandle(), ::GetModuleHandleA(NULL));
  CString missing;
  EXPECT_FALSE(missing.LoadString(54321));
  EXPECT_TRUE(missing.IsEmpty());
}

TEST(MessageBoxSeamTest, RecordsTextsAndGivesScriptedAnswers) {
  CWinApp app("Seam App");
  CMessageBoxScript boxes;
  boxes.Answer(IDNO);
  EXPECT_EQ(AfxMessageBox("Continue?", MB_YESNO), IDNO);
  EXPECT_EQ(AfxMessageBox("Done."), IDOK);            // queue empty: the first button
  EXPECT_EQ(AfxMessageBox("Retry?", MB_RETRYCANCEL), IDRETRY);
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, NULL, "box owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL));
  boxes.Answer(IDCANCEL);
  EXPECT_EQ(wnd.MessageBox("From a window", "Caption", MB_OKCANCEL | MB_ICONINFORMATION), IDCANCEL);
  ASSERT_EQ(boxes.Count(), 4);
  std::vector<CMessageBoxScript::Box> seen = boxes.Boxes();
  EXPECT_STREQ(seen[0].text, "Continue?");
  EXPECT_STREQ(seen[0].caption, "Seam App");
  // Without an icon of their own, questions get the question mark and
  // notes the exclamation mark.
  EXPECT_EQ(seen[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
  EXPECT_EQ(seen[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(seen[2].type & MB_ICONMASK, 0u);
  EXPECT_STREQ(seen[3].caption, "Caption");
  EXPECT_EQ(seen[3].owner, wnd.m_hWnd);
  EXPECT_EQ(seen[3].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION));
  wnd.DestroyWindow();
}

// A window that hears the workers' reports.
class ReportWnd : public CWnd {
public:
  std::vector<LPARAM> reports;
  std::vector<DWORD> senderThreads;
protected:
  afx_msg LRESULT OnWorkerDone(WPARAM wParam, LPARAM lParam) {
    senderThreads.push_back(static_cast<DWORD>(wParam));
    reports.push_back(lParam);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReportWnd, CWnd)
  ON_MESSAGE(kWorkerDone, OnWorkerDone)
END_MESSAGE_MAP()

struct WorkerJob {
  HWND target;
  LPARAM value;
  CWnd* mainWndSeen;
  std::atomic<int>* boxesShown;
};

UINT Worker(LPVOID param) {
  WorkerJob* job = static_cast<WorkerJob*>(param);
  job->mainWndSeen = AfxGetMainWnd();
  if (job->boxesShown != nullptr && AfxMessageBox("from worker") == IDOK) ++*job->boxesShown;
  ::PostMessageA(job->target, kWorkerDone, ::GetCurrentThreadId(), job->value);
  return 0;
}

TEST(ThreadTest, WorkersPostBackToTheWindowThread) {
  CWinApp app;
  ReportWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, NULL, "reports", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL));
  app.m_pMainWnd = &wnd;
  CMessageBoxScript boxes;
  std::atomic<int> shown(0);
  WorkerJob jobs[3] = {{wnd.m_hWnd, 11, nullptr, &shown}, {wnd.m_hWnd, 22, nullptr, nullptr},
                       {wnd.m_hWnd, 33, nullptr, nullptr}};
  for (WorkerJob& job : jobs) {
    CWinThread* thread = AfxBeginThread(&Worker, &job);
    ASSERT_NE(thread, nullptr);
  }
  EXPECT_TRUE(guitest::PumpUntil([&] { return wnd.reports.size() == 3; }, 5000));
  std::vector<LPARAM> sorted = wnd.reports;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<LPARAM>{11, 22, 33}));
  for (DWORD id : wnd.senderThreads) EXPECT_NE(id, ::GetCurrentThreadId());
  // Workers report to the program's main window.
  EXPECT_EQ(jobs[0].mainWndSeen, &wnd);
  EXPECT_EQ(shown.load(), 1);
  EXPECT_STREQ(boxes.LastText(), "from worker");
  app.m_pMainWnd = nullptr;
  wnd.DestroyWindow();
}

TEST(ThreadTest, SuspendedThreadsCanBeKeptAfterTheyEnd) {
  ReportWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, NULL, "kept", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL));
  WorkerJob job = {wnd.m_hWnd, 5, nullptr, nullptr};
  CWinThread* thread = AfxBeginThread(&Worker, &job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  thread->m_bAutoDelete = FALSE;
  thread->ResumeThread();
  EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
  DWORD code = 99;
  EXPECT_TRUE(::GetExitCodeThread(thread->m_hThread, &code));
  EXPECT_EQ(code, 0u);
  delete thread;
  EXPECT_TRUE(guitest::PumpUntil([&] { return wnd.reports.size() == 1; }, 2000));
  wnd.DestroyWindow();
}

// Threads the layer did not start (a library's callback thread, a plain
// worker) use its per-thread state too: it goes when they end.
TEST(ThreadTest, AForeignThreadLeavesNoStateBehind) {
  const long before = quorbel_mfc::LiveThreadStates();
  struct Use {
    static DWORD WINAPI Run(LPVOID) {
      CMenu* temporary = CMenu::FromHandle(reinterpret_cast<HMENU>(0x1234));  // a temporary of the thread
      return temporary != nullptr && AfxGetCurrentMessage() != nullptr ? 0 : 1;
    }
  };
  for (int i = 0; i < 3; ++i) {
    HANDLE thread = ::CreateThread(NULL, 0, &Use::Run, NULL, 0, NULL);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    EXPECT_TRUE(::GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 0u);
    ::CloseHandle(thread);
  }
  EXPECT_EQ(quorbel_mfc::LiveThreadStates(), before);
}

TEST(WaitCursorTest, NestedWaitCursorsRestoreTheCursorAtTheEnd) {
  HCURSOR arrow = ::LoadCursorA(NULL, IDC_ARROW);
  HCURSOR wait = ::LoadCursorA(NULL, IDC_WAIT);
  ::SetCursor(arrow);
  {
    CWaitCursor outer;
    EXPECT_EQ(::GetCursor(), wait);
    {
      CWaitCursor inner;
      EXPECT_EQ(::GetCursor(), wait);
    }
    EXPECT_EQ(::GetCursor(), wait);  // still waiting for the outer one
    ::SetCursor(arrow);
    outer.Restore();
    EXPECT_EQ(::GetCursor(), wait);
  }
  EXPECT_EQ(::GetCursor(), arrow);
}

}  // namespace

// The launcher under Wine. In this process: the main dialog shaped by the
// suite's skin (the program's own resource 129), its label's hover texts
// from the skin's program buttons, the About box. As a program: Quorbel.exe
// in a folder with stand-ins named as the three programs, started by its
// buttons one at a time while it hides; a second copy ends at once, also
// when both start at the same moment. The DirectX version as the launcher
// reads it, and its links opened through the shell first.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "testing/programs/program_test_support.h"
#include "launcher/launcher_app.h"
#include "launcher/launcher_dialogs.h"
#include "launcher/launcher_rules.h"
#include "launcher/res/launcher_resource.h"
#include "mfc/mfc.h"
#include "skin/core/skin_ops.h"
#include "testing/gui/gui_test.h"

namespace {

std::string WorkFolder() {
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  return cwd;
}

class LauncherWindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    guitest::InitCommonControlsOnce();
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(NULL), NULL, NULL, 0));
    ASSERT_TRUE(SkinLoadResource(NULL, MAKEINTRESOURCEA(IDR_LAUNCHER_SKIN), "RT_VENEERKIT"));
    SkinSetDefaultDialogSkin("Dialog");
  }
  static void TearDownTestSuite() { SkinLibExit(); }

  void SetUp() override {
    // The pointer is the screen's, left wherever the last test or program
    // put it: parked in a corner, off the centred window's program buttons,
    // before the hover timer first looks.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    ASSERT_TRUE(dialog_.Create(IDD_LAUNCHER_MAIN));
    dialog_.ShowWindow(SW_SHOW);
    guitest::PumpFor(300);
  }
  void TearDown() override {
    guitest::CancelPending();
    if (dialog_.GetSafeHwnd() != NULL) dialog_.DestroyWindow();
  }

  LauncherMainDialog dialog_;
};

TEST_F(LauncherWindowTest, ShapedBySkinWithWelcomeLabel) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, GetWindowRgn(dialog_.GetSafeHwnd(), region)) << "the skin shapes the window";
  DeleteObject(region);
  RECT window;
  GetWindowRect(dialog_.GetSafeHwnd(), &window);
  EXPECT_EQ(480, window.right - window.left);
  EXPECT_EQ(330, window.bottom - window.top);
  EXPECT_EQ(HoverText(-1), guitest::GetText(dialog_.Label().GetSafeHwnd()));
  EXPECT_EQ(0x464646u, dialog_.Label().GetTextColor());
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "launcher_main_window");
}

// The welcome text stands on the skin's own picture, clear of the window's
// edges, within the band above the buttons: where the label shows no text
// the window looks the same with the label as without it.
TEST_F(LauncherWindowTest, WelcomeTextStandsOnTheSkinsArtWithAMargin) {
  HWND window = dialog_.GetSafeHwnd();
  HWND label = dialog_.Label().GetSafeHwnd();
  RECT r;
  GetWindowRect(label, &r);
  MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_GE(r.left, 12) << "flush against the window's left edge";
  EXPECT_GE(r.top, 6);
  EXPECT_LE(r.right, 432) << "over the minimise button's column";
  EXPECT_LE(r.bottom, 86) << "over the line below the band";
  // The last line of the welcome text is short: its right end is bare.
  POINT bare = {r.right - 3, r.bottom - 3};
  SetForegroundWindow(window);
  RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  COLORREF withLabel = guitest::Capture::OfWindow(window).At(bare.x, bare.y);
  ShowWindow(label, SW_HIDE);
  RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  COLORREF art = guitest::Capture::OfWindow(window).At(bare.x, bare.y);
  ShowWindow(label, SW_SHOW);
  EXPECT_TRUE(guitest::SameColor(art, withLabel, 2))
      << "label " << guitest::ColorText(withLabel) << ", art " << guitest::ColorText(art);
  // And the art there is no plain grey panel.
  EXPECT_FALSE(GetRValue(art) == GetGValue(art) && GetGValue(art) == GetBValue(art)) << guitest::ColorText(art);
}

// The window's shape holds the whole label, and every text the label shows
// fits in it: nothing of the welcome or hover texts is cut.
TEST_F(LauncherWindowTest, LabelTextsShowWholeInsideTheShape) {
  HWND window = dialog_.GetSafeHwnd();
  HWND label = dialog_.Label().GetSafeHwnd();
  RECT onScreen, windowRect;
  GetWindowRect(label, &onScreen);
  GetWindowRect(window, &windowRect);
  OffsetRect(&onScreen, -windowRect.left, -windowRect.top);
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(window, shape));
  HRGN outside = CreateRectRgnIndirect(&onScreen);
  EXPECT_EQ(NULLREGION, CombineRgn(outside, outside, shape, RGN_DIFF)) << "part of the label lies outside the shape";
  DeleteObject(outside);
  DeleteObject(shape);

  // The static paints with the font it was given (WM_SETFONT): the label's own.
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
  LOGFONTA drawn = {};
  ASSERT_NE(0, GetObjectA(font, sizeof drawn, &drawn));
  EXPECT_EQ(19, drawn.lfHeight);
  EXPECT_EQ(700, drawn.lfWeight);
  RECT client;
  GetClientRect(label, &client);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, font);
  for (int choice = -1; choice < kProgramCount; ++choice) {
    SCOPED_TRACE(choice);
    RECT needed = {0, 0, client.right, 0};
    DrawTextA(dc, HoverText(choice), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    EXPECT_LE(needed.right, client.right);
    EXPECT_LE(needed.bottom, client.bottom) << "the text needs more lines than the label has";
  }
  SelectObject(dc, old);
  ReleaseDC(label, dc);
}

// A program button lit under the mouse and left again looks as it did
// before: the lit and the resting pictures stand where the window's own
// picture has the button.
TEST_F(LauncherWindowTest, AButtonLeftByTheMouseLooksAsBefore) {
  HWND window = dialog_.GetSafeHwnd();
  const RECT button = {116, 104, 460, 168};  // Vantrel
  guitest::Capture before = guitest::Capture::OfWindow(window, false);
  ASSERT_TRUE(before.Valid());
  RECT screen;
  GetWindowRect(window, &screen);
  SetCursorPos(screen.left + 250, screen.top + 136);
  guitest::PostMouse(window, WM_MOUSEMOVE, 250, 136);
  ASSERT_TRUE(guitest::PumpUntil([&] { return dialog_.ShownChoice() == 0; }, 3000));
  guitest::ParkPointer();
  ASSERT_TRUE(guitest::PumpUntil([&] { return dialog_.ShownChoice() == -1; }, 3000));
  guitest::PumpFor(200);
  guitest::Capture after = guitest::Capture::OfWindow(window, false);
  int changed = 0;
  for (int y = button.top; y < button.bottom; ++y)
    for (int x = button.left; x < button.right; ++x) changed += before.At(x, y) != after.At(x, y);
  EXPECT_EQ(0, changed) << "pixels of the button differ after the mouse left it";
  if (changed) guitest::SaveScreenshot(window, "launcher_button_left");
}

// Without the mouse over a program button the welcome text is set once and
// not again on later ticks.
TEST_F(LauncherWindowTest, WelcomeTextIsSetOnlyOnce) {
  SetCursorPos(700, 700);
  guitest::PumpFor(500);  // several ticks of the 100 ms timer
  EXPECT_EQ(-1, dialog_.ShownChoice());
  int updates = dialog_.LabelUpdates();
  EXPECT_EQ(1, updates);
  guitest::PumpFor(400);
  EXPECT_EQ(updates, dialog_.LabelUpdates());
}

// The mouse over a program button shows that program's text; leaving it
// brings the welcome text back.
TEST_F(LauncherWindowTest, HoverTextFollowsTheProgramButtons) {
  RECT window;
  GetWindowRect(dialog_.GetSafeHwnd(), &window);
  // The skin's caption button under the pointer reports its hot state.
  SetCursorPos(window.left + 250, window.top + 136);
  guitest::PostMouse(dialog_.GetSafeHwnd(), WM_MOUSEMOVE, 250, 136);
  guitest::PumpFor(300);
  int state = -1;
  ASSERT_TRUE(SkinQueryElementState(dialog_.GetSafeHwnd(), "Vantrel", &state));
  ASSERT_EQ(0, state) << "the Vantrel button is hot under the pointer";
  struct Case {
    int program;
    POINT at;  // window coordinates inside the button
  } cases[] = {{0, {250, 136}}, {1, {250, 212}}, {2, {250, 288}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    SetCursorPos(window.left + c.at.x, window.top + c.at.y);
    POINT client = {window.left + c.at.x, window.top + c.at.y};
    ScreenToClient(dialog_.GetSafeHwnd(), &client);
    guitest::PostMouse(dialog_.GetSafeHwnd(), WM_MOUSEMOVE, client.x, client.y);
    EXPECT_TRUE(guitest::PumpUntil([&] { return dialog_.ShownChoice() == c.program; }, 3000));
    EXPECT_EQ(HoverText(c.program), guitest::GetText(dialog_.Label().GetSafeHwnd()));
    if (c.program == 2) guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "launcher_hover_converter");
  }
  SetCursorPos(window.right + 200, window.bottom + 200);
  guitest::PostMouse(dialog_.GetSafeHwnd(), WM_MOUSEMOVE, 1, 1);
  guitest::PostMouse(dialog_.GetSafeHwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(guitest::PumpUntil([&] { return dialog_.ShownChoice() == -1; }, 3000));
}

TEST_F(LauncherWindowTest, AboutBoxShowsTheVersionLineAndLinks) {
  LauncherAboutDialog about(&dialog_);
  ASSERT_TRUE(about.Create(IDD_LAUNCHER_ABOUT, &dialog_));
  about.ShowWindow(SW_SHOW);
  guitest::PumpFor(200);
  EXPECT_EQ(0u, guitest::GetText(about.GetDlgItem(IDC_LAUNCHER_VERSION)->GetSafeHwnd()).find("Quorbel "));
  HyperLinkStatic* home = dynamic_cast<HyperLinkStatic*>(CWnd::FromHandlePermanent(
      about.GetDlgItem(IDC_LAUNCHER_HOMEPAGE)->GetSafeHwnd()));
  ASSERT_NE(nullptr, home);
  EXPECT_STREQ(kLauncherHomePage, home->GetURL());
  EXPECT_EQ(1, home->GetUnderline());
  // The version line stands on the skinned dialog's own background: no box
  // of another colour around it.
  RECT line;
  GetWindowRect(about.GetDlgItem(IDC_LAUNCHER_VERSION)->GetSafeHwnd(), &line);
  MapWindowPoints(NULL, about.GetSafeHwnd(), reinterpret_cast<POINT*>(&line), 2);
  guitest::Capture shot = guitest::Capture::OfWindow(about.GetSafeHwnd());
  ASSERT_TRUE(shot.Valid());
  EXPECT_EQ(guitest::ColorText(shot.At(line.right - 3, line.bottom + 3)),
            guitest::ColorText(shot.At(line.right - 3, (line.top + line.bottom) / 2)));
  guitest::SaveScreenshot(about.GetSafeHwnd(), "launcher_about");
  about.DestroyWindow();
}

// Opening a link records what would have been started, with the shell's
// answer the test chooses, while it lives.
class RecordedLinks {
public:
  struct Launch {
    std::string how;  // "shell" or "run"
    std::string what;
    int show;
  };
  RecordedLinks() {
    HyperLinkStatic::Launcher launcher;
    launcher.shellOpen = [this](const std::string& url, int show) {
      launches.push_back({"shell", url, show});
      return shellResult;
    };
    launcher.runCommand = [this](const std::string& line, int show) {
      launches.push_back({"run", line, show});
      return 33;
    };
    HyperLinkStatic::SetLauncher(launcher);
  }
  ~RecordedLinks() { HyperLinkStatic::ResetLauncher(); }

  std::vector<Launch> launches;
  int shellResult = 42;
};

// The home command and both links of the About box go to the shell first;
// the registered browser only when the shell fails.
TEST_F(LauncherWindowTest, HomeAndAboutLinksGoThroughTheShellFirst) {
  RecordedLinks links;
  dialog_.SendMessage(WM_COMMAND, ID_LAUNCHER_HOME, 0);
  ASSERT_EQ(1u, links.launches.size());
  EXPECT_EQ("shell", links.launches[0].how);
  EXPECT_EQ(kLauncherHomePage, links.launches[0].what);
  EXPECT_EQ(SW_HIDE, links.launches[0].show);

  // The About box as its command opens it, each link clicked.
  links.launches.clear();
  bool shown = false;
  guitest::RunLater(300, [&] {
    HWND about = guitest::FindTopWindow("About Quorbel");
    if (about == NULL) return;
    shown = true;
    for (int id : {IDC_LAUNCHER_HOMEPAGE, IDC_LAUNCHER_SUPPORT}) {
      HWND link = GetDlgItem(about, id);
      SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
      SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    PostMessageA(about, WM_COMMAND, IDOK, 0);
  });
  dialog_.SendMessage(WM_COMMAND, ID_LAUNCHER_ABOUT, 0);
  ASSERT_TRUE(shown);
  ASSERT_EQ(2u, links.launches.size());
  EXPECT_EQ("shell", links.launches[0].how);
  EXPECT_EQ(kLauncherHomePage, links.launches[0].what);
  EXPECT_EQ("shell", links.launches[1].how);
  EXPECT_EQ(kLauncherSupportMail, links.launches[1].what);

  // A shell that cannot open the page: the registered browser, when the
  // prefix has one.
  links.launches.clear();
  links.shellResult = 31;
  dialog_.SendMessage(WM_COMMAND, ID_LAUNCHER_HOME, 0);
  ASSERT_LE(1u, links.launches.size());
  EXPECT_EQ("shell", links.launches[0].how);
  CString browser;
  if (HyperLinkStatic::ReadBrowserCommand(browser)) {
    ASSERT_EQ(2u, links.launches.size());
    EXPECT_EQ("run", links.launches[1].how);
    EXPECT_NE(std::string::npos, links.launches[1].what.find(kLauncherHomePage));
  } else {
    EXPECT_EQ(1u, links.launches.size());
  }
}

// ---- The DirectX version ------------------------------------------------------------

// The version text decides; an opened key without a usable text is
// "anything else" (93); only a key that cannot be opened says so and
// gives -1.
TEST(LauncherDirectXTest, OnlyAKeyThatCannotBeOpenedGivesMinusOne) {
  program_test::DirectXVersion kept("4.09.00.0904");
  const DWORD number = 9;
  const struct {
    const char* what;
    DWORD type;
    const void* data;
    DWORD size;
    int version;
  } cases[] = {
      {"4.07.00.0700", REG_SZ, "4.07.00.0700", 13, 70},
      {"4.09.00.0904", REG_SZ, "4.09.00.0904", 13, 90},
      {"4.0A", REG_SZ, "4.0A", 5, 93},
      {"too short", REG_SZ, "4.1", 4, 93},
      {"empty", REG_SZ, "", 1, 93},
      {"no value", REG_SZ, NULL, 0, 93},
      {"a number", REG_DWORD, &number, sizeof number, 93},
  };
  CMessageBoxScript boxes;
  for (const auto& c : cases) {
    ASSERT_TRUE(program_test::DirectXVersion::SetValue(c.type, c.data, c.size)) << c.what;
    EXPECT_EQ(c.version, LauncherApp::GetDirectXVersion()) << c.what;
  }
  EXPECT_EQ(0, boxes.Count());
  program_test::DirectXVersion::Remove();
  EXPECT_EQ(-1, LauncherApp::GetDirectXVersion());
  ASSERT_EQ(1, boxes.Count());
  EXPECT_STREQ("Fail to read register!  ", boxes.LastText());
}

// ---- Quorbel.exe as a program ------------------------------------------------------

struct WindowSearch {
  DWORD pid;
  const char* title;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char title[128] = "";
  GetWindowTextA(window, title, sizeof title);
  if (pid == search->pid && strcmp(title, search->title) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WindowOf(DWORD pid, const char* title) {
  WindowSearch search = {pid, title, NULL};
  EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(LauncherProgramTest, ButtonsStartEachProgramWhileTheLauncherHides) {
  std::string folder = WorkFolder() + "\\suite";
  test_support::FreshFolder(folder);
  std::string launcher = folder + "\\Quorbel.exe";
  ASSERT_TRUE(CopyFileA(HostPath(QUORBEL_QUORBEL_EXE).c_str(), launcher.c_str(), FALSE));
  for (const char* program : {"Vantrel.exe", "Pelzor.exe", "Skarven.exe"})
    ASSERT_TRUE(CopyFileA(HostPath(QUORBEL_PROGRAM_STANDIN).c_str(), (folder + "\\" + program).c_str(), FALSE));
  std::string record = folder + "\\launched.txt";

  program_test::ProgramProcess first;
  ASSERT_TRUE(first.Start(launcher));
  HWND window = NULL;
  ASSERT_TRUE(guitest::PumpUntil([&] { return (window = WindowOf(first.Id(), "Quorbel")) != NULL; }, 20000));
  ASSERT_TRUE(guitest::PumpUntil([&] { return IsWindowVisible(window) != 0; }, 5000));
  guitest::PumpFor(500);
  guitest::SaveScreenshot(window, "launcher_program");

  // A second launcher ends at once, with no window of its own.
  {
    program_test::ProgramProcess second;
    ASSERT_TRUE(second.Start(launcher));
    EXPECT_TRUE(second.WaitForEnd(15000));
  }

  std::string expected;
  struct Case {
    UINT command;
    const char* file;
  } cases[] = {{ID_LAUNCHER_CONVERTER, "Skarven.exe"}, {ID_LAUNCHER_CREATOR, "Vantrel.exe"},
               {ID_LAUNCHER_BURNER, "Pelzor.exe"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    PostMessageA(window, WM_COMMAND, c.command, 0);
    expected += std::string(c.file) + " visible=0\n";
    EXPECT_TRUE(guitest::PumpUntil([&] { return test_support::ReadText(record) == expected; }, 15000))
        << test_support::ReadText(record);
    EXPECT_FALSE(IsWindowVisible(window)) << "hidden while the program runs";
    EXPECT_TRUE(guitest::PumpUntil([&] { return IsWindowVisible(window) != 0; }, 15000)) << "back when it ends";
  }

  // A program that is not there: the launcher shows itself again at once
  // and says nothing.
  DeleteFileA((folder + "\\Pelzor.exe").c_str());
  PostMessageA(window, WM_COMMAND, ID_LAUNCHER_BURNER, 0);
  guitest::PumpFor(1500);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(expected, test_support::ReadText(record));

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitForEnd(15000));
}

// A program run under this process as its debugger, held at the moment it
// calls CreateMutexA with a given name: a breakpoint on the function's
// first byte, other callers stepped past it.
class HeldAtMutexCreation {
public:
  ~HeldAtMutexCreation() {
    if (info_.hProcess == NULL) return;
    TerminateProcess(info_.hProcess, 1);
    DebugActiveProcessStop(info_.dwProcessId);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }

  // Starts exe and runs it until it calls CreateMutexA (NULL, ..., name).
  ::testing::AssertionResult StartAndHold(const std::string& exe, const char* name) {
    target_ = reinterpret_cast<BYTE*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateMutexA"));
    if (target_ == NULL) return ::testing::AssertionFailure() << "no CreateMutexA";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL, folder.c_str(),
                        &startup, &info_))
      return ::testing::AssertionFailure() << "not started";
    DEBUG_EVENT event;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000) {
      if (!WaitForDebugEvent(&event, 100)) continue;
      if (Handle(event, name)) return ::testing::AssertionSuccess();
      if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return ::testing::AssertionFailure() << "ended";
    }
    return ::testing::AssertionFailure() << "never called CreateMutexA (\"" << name << "\")";
  }

  // Lets the held call go on; true when the program then ends within the
  // time, false when it still runs.
  bool ReleaseAndWaitForEnd(DWORD timeoutMs) {
    ContinueDebugEvent(held_.dwProcessId, held_.dwThreadId, DBG_CONTINUE);
    DEBUG_EVENT event;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
      if (!WaitForDebugEvent(&event, 100)) continue;
      if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        return true;
      }
      Handle(event, NULL);
    }
    return false;
  }

  DWORD Id() const { return info_.dwProcessId; }

private:
  void Arm() {
    BYTE first = 0, breakpoint = 0xCC;
    SIZE_T done = 0;
    // The system libraries lie at the same address in every process here.
    if (armed_ || !ReadProcessMemory(info_.hProcess, target_, &first, 1, &done) || first != *target_) return;
    armed_ = WriteProcessMemory(info_.hProcess, target_, &breakpoint, 1, &done) != FALSE;
    FlushInstructionCache(info_.hProcess, target_, 1);
  }
  void Disarm() {
    SIZE_T done = 0;
    WriteProcessMemory(info_.hProcess, target_, target_, 1, &done);
    FlushInstructionCache(info_.hProcess, target_, 1);
    armed_ = false;
  }

  // Handles one debug event; true when the program is now held at the
  // named call (the event not yet continued).
  bool Handle(const DEBUG_EVENT& event, const char* name) {
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != NULL) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != NULL) CloseHandle(event.u.LoadDll.hFile);
        if (name != NULL) Arm();
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        BYTE* at = static_cast<BYTE*>(record.ExceptionAddress);
        if (record.ExceptionCode == EXCEPTION_BREAKPOINT && (at == target_ || at == target_ + 1) && armed_) {
          HANDLE thread = OpenThread(THREAD_ALL_ACCESS, FALSE, event.dwThreadId);
          CONTEXT context = {};
          context.ContextFlags = CONTEXT_FULL;
          GetThreadContext(thread, &context);
#ifdef _WIN64
          context.Rip = reinterpret_cast<DWORD64>(target_);
          ULONG_PTR nameAt = context.R8;  // the third argument
#else
          context.Eip = reinterpret_cast<DWORD>(target_);
          ULONG_PTR nameAt = 0;
          SIZE_T got = 0;
          ReadProcessMemory(info_.hProcess, reinterpret_cast<void*>(context.Esp + 12), &nameAt, sizeof nameAt, &got);
#endif
          char text[64] = "";
          SIZE_T read = 0;
          if (nameAt != 0)
            ReadProcessMemory(info_.hProcess, reinterpret_cast<void*>(nameAt), text, sizeof text - 1, &read);
          Disarm();
          bool ours = name != NULL && strcmp(text, name) == 0;
          if (!ours) {
            context.EFlags |= 0x100;  // one step past the call's first byte, then armed again
            stepping_ = true;
          }
          SetThreadContext(thread, &context);
          CloseHandle(thread);
          if (ours) {
            held_ = event;
            return true;
          }
        } else if (record.ExceptionCode == EXCEPTION_SINGLE_STEP && stepping_) {
          stepping_ = false;
          if (name != NULL) Arm();
        } else if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      }
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    return false;
  }

  PROCESS_INFORMATION info_ = {};
  BYTE* target_ = NULL;
  bool armed_ = false;
  bool stepping_ = false;
  DEBUG_EVENT held_ = {};
};

// Two launchers started at the same moment: the first has found no running
// launcher and is about to make the mutex when the second one makes it and
// shows its window. The first then ends without a window of its own.
TEST(LauncherProgramTest, TwoLaunchersStartedTogetherLeaveOneRunning) {
  std::string folder = WorkFolder() + "\\suite-twice";
  test_support::FreshFolder(folder);
  std::string launcher = folder + "\\Quorbel.exe";
  ASSERT_TRUE(CopyFileA(HostPath(QUORBEL_QUORBEL_EXE).c_str(), launcher.c_str(), FALSE));

  HeldAtMutexCreation first;
  ASSERT_TRUE(first.StartAndHold(launcher, "Quorbel"));
  program_test::ProgramProcess second;
  ASSERT_TRUE(second.Start(launcher));
  HWND window = program_test::WaitForProcessWindow(second.Id(), "Quorbel");
  ASSERT_NE(nullptr, window);

  EXPECT_TRUE(first.ReleaseAndWaitForEnd(10000)) << "the first launcher still runs";
  EXPECT_EQ(nullptr, WindowOf(first.Id(), "Quorbel"));
  EXPECT_TRUE(IsWindowVisible(window)) << "the second one goes on";
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(second.WaitForEnd(15000));
}

#ifdef QUORBEL_SKARVEN_EXE
// The converter built in this tree, beside the launcher with what it loads:
// its button starts it, the launcher hides until the converter ends.
TEST(LauncherProgramTest, StartsTheRealConverter) {
  std::string folder = WorkFolder() + "\\suite-real";
  test_support::FreshFolder(folder);
  std::string standins = HostPath(QUORBEL_STANDINS_DIR) + "\\";
  ASSERT_TRUE(CopyFileA(HostPath(QUORBEL_QUORBEL_EXE).c_str(), (folder + "\\Quorbel.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(HostPath(QUORBEL_SKARVEN_EXE).c_str(), (folder + "\\Skarven.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(HostPath(QUORBEL_VENEERKIT_DLL).c_str(), (folder + "\\VeneerKit.dll").c_str(), FALSE));
  for (const char* dll : {"muxTools.dll", "RealMedia.dll"})
    ASSERT_TRUE(CopyFileA((standins + dll).c_str(), (folder + "\\" + dll).c_str(), FALSE));
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, sizeof system);
  for (const char* dll : {"MPEGFilter.dll", "MPEGWriteFilter.dll", "DVDEncoder.dll"})
    CopyFileA((standins + dll).c_str(), (std::string(system) + "\\" + dll).c_str(), FALSE);

  program_test::ProgramProcess launcher;
  ASSERT_TRUE(launcher.Start(folder + "\\Quorbel.exe"));
  HWND window = NULL;
  ASSERT_TRUE(guitest::PumpUntil([&] { return (window = WindowOf(launcher.Id(), "Quorbel")) != NULL; }, 20000));
  PostMessageA(window, WM_COMMAND, ID_LAUNCHER_CONVERTER, 0);
  HWND chooser = NULL;
  ASSERT_TRUE(guitest::PumpUntil([&] { return (chooser = FindWindowA(NULL, "Select Disc Type")) != NULL; }, 20000));
  EXPECT_FALSE(IsWindowVisible(window));
  guitest::PumpFor(300);
  guitest::SaveScreenScreenshot("launcher_started_converter");
  PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(guitest::PumpUntil([&] { return IsWindowVisible(window) != 0; }, 20000));
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(launcher.WaitForEnd(15000));
}
#endif

}  // namespace

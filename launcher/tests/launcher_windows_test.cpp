// The launcher under Wine. In this process: the main dialog shaped by the
// suite's skin (the program's own resource 129), its label's hover texts
// from the skin's program buttons, the About box. As a program: Quorbel.exe
// in a folder with stand-ins named as the three programs, started by its
// buttons one at a time while it hides; a second copy ends at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "creator/tests/program_test_support.h"
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
  RECT label;
  GetWindowRect(dialog_.Label().GetSafeHwnd(), &label);
  POINT origin = {0, 0};
  ClientToScreen(dialog_.GetSafeHwnd(), &origin);
  EXPECT_EQ(origin.x, label.left);
  EXPECT_EQ(origin.y, label.top);
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "launcher_main_window");
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
  AboutDialog about(kLauncherAboutIds, "Quorbel ", &dialog_);
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

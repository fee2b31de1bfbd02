// Skarven.exe started as a program under Wine, from a folder that holds it
// with the skin library and the stand-ins it loads, the filter libraries in
// the system folder: each start-up failure shows its message and ends the
// program before the disc-type chooser; a good start shows the chooser, and
// its choice names the main window and is saved when that window closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "testing/programs/program_test_support.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "testing/gui/gui_test.h"

namespace {

std::string WorkFolder() {
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  return cwd;
}

std::string StandIn(const char* name) { return HostPath(QUORBEL_STANDINS_DIR) + "\\" + name; }

bool Copy(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

// The program's folder as an installed suite has it (muxTools optional).
std::string MakeProgramFolder(const std::string& name, bool withMux) {
  std::string folder = WorkFolder() + "\\" + name;
  test_support::FreshFolder(folder);
  EXPECT_TRUE(Copy(HostPath(QUORBEL_SKARVEN_EXE), folder + "\\Skarven.exe"));
  EXPECT_TRUE(Copy(HostPath(QUORBEL_VENEERKIT_DLL), folder + "\\VeneerKit.dll"));
  EXPECT_TRUE(Copy(StandIn("RealMedia.dll"), folder + "\\RealMedia.dll"));
  if (withMux) EXPECT_TRUE(Copy(StandIn("muxTools.dll"), folder + "\\muxTools.dll"));
  return folder;
}

// Any dialog of the process ("" as the title) or the window of that title.
HWND WaitForWindow(DWORD pid, const std::string& title, DWORD ms = 20000) {
  return program_test::WaitForProcessWindow(pid, title, title.empty() ? "#32770" : "", ms);
}

// Skarven.exe started from its folder, the filter libraries told to fail
// by that name.
class Program : public program_test::ProgramProcess {
public:
  Program(const std::string& folder, const char* filterFail) {
    SetEnvironmentVariableA("QUORBEL_FILTER_FAIL", filterFail);
    Start(folder + "\\Skarven.exe", folder);
    SetEnvironmentVariableA("QUORBEL_FILTER_FAIL", NULL);
  }
  DWORD Pid() const { return Id(); }
};

class ConverterProgramTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    // The filter libraries live in the system folder of an installed suite.
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof system);
    for (const char* filter : {"MPEGFilter.dll", "MPEGWriteFilter.dll", "DVDEncoder.dll"})
      Copy(StandIn(filter), std::string(system) + "\\" + filter);
  }
  void TearDown() override { guitest::CancelPending(); }
};

// Each failure of the start-up shows its message, and the program ends
// when it is answered, before the disc-type chooser.
TEST_F(ConverterProgramTest, StartUpFailuresShowTheirMessageAndEnd) {
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, sizeof system);
  struct Case {
    const char* name;
    bool withMux;
    const char* filterFail;
    std::string message;
  } cases[] = {
      {"filter", true, "MPEGWriteFilter", std::string("DllRegisterServer failed:") + system + "\\MPEGWriteFilter.dll"},
      {"realmedia", true, "RealMedia", "DllRegisterServer failed:"},
      {"nomux", false, NULL, "Can't load mplex DLL!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string folder = MakeProgramFolder(std::string("fail-") + c.name, c.withMux);
    Program program(folder, c.filterFail);
    ASSERT_TRUE(program.Started());
    HWND box = WaitForWindow(program.Pid(), "");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0u, program_test::MessageBoxText(box).find(c.message)) << program_test::MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForEnd());
    EXPECT_EQ(nullptr, WaitForWindow(program.Pid(), "Select Disc Type", 300));
  }
}

// A good start: the chooser opens on the stored type (DVD without a
// settings file); a click on SVCD and OK open the main window for SVCD,
// and closing it saves the choice beside the program.
TEST_F(ConverterProgramTest, ChooserThenMainWindowAndSavedChoice) {
  std::string folder = MakeProgramFolder("good", true);
  Program program(folder, NULL);
  ASSERT_TRUE(program.Started());
  HWND chooser = WaitForWindow(program.Pid(), "Select Disc Type");
  ASSERT_NE(nullptr, chooser);
  guitest::PumpFor(300);
  guitest::SaveScreenshot(chooser, "converter_disc_type_chooser");
  HWND svcd = GetDlgItem(chooser, 1046);
  PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(1046, STN_CLICKED), reinterpret_cast<LPARAM>(svcd));
  PostMessageA(chooser, WM_COMMAND, IDOK, 0);
  HWND main = WaitForWindow(program.Pid(), "Zephon Video to SVCD Converter");
  ASSERT_NE(nullptr, main);
  char text[128] = "";
  SendMessageA(GetDlgItem(main, 1029), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(" Disc Type: SVCD", text);
  guitest::PumpFor(500);
  guitest::SaveScreenshot(main, "converter_program_main_window");
  // Enter and Esc do not close it; the close box does.
  PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(program.WaitForEnd(500));
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForEnd());
  std::string ini = test_support::ReadText(folder + "\\param.ini");
  EXPECT_NE(std::string::npos, ini.find("DiscType=1")) << ini;
  EXPECT_NE(std::string::npos, ini.find("OutputPath=C:\\Quorbel\\MpegOutput\\")) << ini;
}

// Cancel in the chooser ends the program without the main window.
TEST_F(ConverterProgramTest, CancelInTheChooserEndsTheProgram) {
  std::string folder = MakeProgramFolder("cancel", true);
  Program program(folder, NULL);
  ASSERT_TRUE(program.Started());
  HWND chooser = WaitForWindow(program.Pid(), "Select Disc Type");
  ASSERT_NE(nullptr, chooser);
  PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(program.WaitForEnd());
  EXPECT_FALSE(test_support::FileExists(folder + "\\param.ini"));
}

}  // namespace

// Vantrel.exe itself, started as the user starts it in a Wine prefix made
// like an installed suite (scripts/make-suite-prefix.sh): the disc-type
// chooser and the list window in the program's own skin, the disc type
// kept in "param.ini" from one start to the next, and the start-up
// refusals (a missing filter library, an old DirectX). The program is
// another process: its windows are found by title and driven by posted
// messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "creator/res/creator_resource.h"
#include "testing/programs/program_test_support.h"
#include "discimage/tests/test_paths.h"
#include "testing/gui/gui_test.h"

namespace {

const char kProgramFolder[] = "C:\\Program Files\\Quorbel\\";
const char kFilter[] = "C:\\windows\\system32\\MPEGFilter.dll";

std::string Program() { return std::string(kProgramFolder) + "Vantrel.exe"; }
std::string Settings() { return std::string(kProgramFolder) + "param.ini"; }

using program_test::DirectXVersion;
using program_test::MessageBoxText;
using program_test::ChooseInFileDialog;
using program_test::WaitForProcessWindow;
using program_test::WaitForText;

class Vantrel : public program_test::ProgramProcess {
public:
  bool Start() { return ProgramProcess::Start(Program(), kProgramFolder); }
  // Waits for the program to end: its exit code, or -1 after the time.
  int WaitForEnd(DWORD timeoutMs = 20000) {
    ProgramProcess::WaitForEnd(timeoutMs);
    return ExitCode();
  }
};

std::string IniValue(const char* section, const char* key) {
  char value[256] = "";
  GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, Settings().c_str());
  return value;
}

class VantrelProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (GetFileAttributesA(Program().c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "not in a suite prefix: " << Program();
    DeleteFileA(Settings().c_str());
  }
};

TEST_F(VantrelProgramTest, ChosenDiscTypeIsKeptForTheNextStart) {
  {
    Vantrel program;
    ASSERT_TRUE(program.Start());
    HWND chooser = WaitForProcessWindow(program.Id(), "Select Disc Type");
    ASSERT_NE(nullptr, chooser);
    Sleep(300);  // let the skin paint
    guitest::SaveScreenshot(chooser, "vantrel_disc_type");
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDC_DISC_TYPE_SVCD, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDC_DISC_TYPE_SVCD)));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    HWND main = WaitForProcessWindow(program.Id(), "Zephon SVCD Creator");
    ASSERT_NE(nullptr, main);
    Sleep(300);
    guitest::SaveScreenshot(main, "vantrel_list_svcd");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.WaitForEnd());
  }
  EXPECT_EQ("1", IniValue("Vantrel", "DiscType"));
  EXPECT_EQ("C:\\Quorbel\\", IniValue("Vantrel", "OutputFolder"));
  {
    Vantrel program;
    ASSERT_TRUE(program.Start());
    HWND chooser = WaitForProcessWindow(program.Id(), "Select Disc Type");
    ASSERT_NE(nullptr, chooser);
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDC_DISC_TYPE_VCD, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDC_DISC_TYPE_VCD)));
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_NE(-1, program.WaitForEnd()) << "Cancel ends the program";
  }
  EXPECT_EQ("1", IniValue("Vantrel", "DiscType")) << "the cancelled choice is not saved";
}

// The list window as the user drives it: files added through the real
// file dialog and probed by the conversion control, the totals, and Run
// opening the disc job dialog over it.
TEST_F(VantrelProgramTest, FilesAddedThroughTheFileDialogAndRun) {
  if (FixturesDir().empty()) GTEST_SKIP() << "MPEG fixtures not made";
  Vantrel program;
  ASSERT_TRUE(program.Start());
  HWND chooser = WaitForProcessWindow(program.Id(), "Select Disc Type");
  ASSERT_NE(nullptr, chooser);
  PostMessageA(chooser, WM_COMMAND, IDOK, 0);  // DVD, as nothing was saved
  HWND main = WaitForProcessWindow(program.Id(), "Zephon DVD Creator");
  ASSERT_NE(nullptr, main);

  PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_ADD, BN_CLICKED), 0);
  ChooseInFileDialog(program.Id(), FixturePath("pal-svcd.mpg"));
  EXPECT_TRUE(WaitForText(GetDlgItem(main, IDC_MAIN_FILE_COUNT), " Added 1 file(s)"));
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_ADD_SMALL, BN_CLICKED), 0);
  ChooseInFileDialog(program.Id(), FixturePath("ntsc-svcd.mpg"));
  EXPECT_TRUE(WaitForText(GetDlgItem(main, IDC_MAIN_FILE_COUNT), " Added 2 file(s)"));
  std::string total = program_test::WindowText(GetDlgItem(main, IDC_MAIN_TOTAL));
  EXPECT_EQ(0u, total.find(" Total Duration: 00:00:0")) << total;
  Sleep(300);
  guitest::SaveScreenshot(main, "vantrel_list_two_files");

  PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_RUN, BN_CLICKED), 0);
  HWND job = WaitForProcessWindow(program.Id(), "Start Converting and Burning");
  ASSERT_NE(nullptr, job);
  EXPECT_EQ(main, GetWindow(job, GW_OWNER));
  Sleep(300);
  guitest::SaveScreenshot(job, "vantrel_job");
  PostMessageA(job, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 400 && IsWindow(job); ++i) Sleep(25);
  EXPECT_TRUE(IsWindowVisible(main)) << "a cancelled job returns to the list";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, program.WaitForEnd());
}

// A refusal at start-up: the boxes with the given texts, in order, then
// the program ends without showing the chooser and writes nothing.
void ExpectRefusal(const std::vector<std::string>& texts) {
  Vantrel program;
  ASSERT_TRUE(program.Start());
  for (const std::string& text : texts) {
    HWND box = WaitForProcessWindow(program.Id(), "", "#32770");
    ASSERT_NE(nullptr, box) << text;
    EXPECT_EQ(text, MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    // The next box is another window: wait until this one is gone.
    for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(25);
  }
  EXPECT_NE(-1, program.WaitForEnd());
  EXPECT_EQ(nullptr, WaitForProcessWindow(program.Id(), "Select Disc Type", "", 0));
  EXPECT_EQ("<none>", IniValue("Vantrel", "DiscType")) << "nothing is written";
}

std::string InProgram(const char* name) { return std::string(kProgramFolder) + name; }

// Each start-up failure with what the installation lacks, the boxes it
// gives, and the installation put back afterwards.
TEST_F(VantrelProgramTest, StartUpRefusals) {
  const char kDirectX[] = "This program needs directX 8.0 or greater to run!   ";
  std::string mux = InProgram("muxTools.dll"), muxAside = mux + ".aside";
  struct Case {
    const char* what;
    std::function<void()> spoil, mend;
    std::vector<std::string> boxes;
  } cases[] = {
      {"old DirectX", [] { EXPECT_TRUE(DirectXVersion::Set("4.07.00.0716")); },
       [] { EXPECT_TRUE(DirectXVersion::Set("4.09.00.0904")); }, {kDirectX}},
      {"unreadable DirectX", [] { DirectXVersion::Remove(); },
       [] { EXPECT_TRUE(DirectXVersion::Set("4.09.00.0904")); }, {"Failed to read register!  ", kDirectX}},
      {"missing filter", [] { MoveFileA(kFilter, (std::string(kFilter) + ".aside").c_str()); },
       [] { MoveFileA((std::string(kFilter) + ".aside").c_str(), kFilter); },
       {std::string("LoadLibrary:") + kFilter + " failed!"}},
      {"missing multiplexer", [&] { MoveFileA(mux.c_str(), muxAside.c_str()); },
       [&] { MoveFileA(muxAside.c_str(), mux.c_str()); }, {"Can't load mplex DLL!"}},
      // A library of that name without the entry: another stand-in.
      {"multiplexer without mplex",
       [&] {
         MoveFileA(mux.c_str(), muxAside.c_str());
         CopyFileA(InProgram("RealMedia.dll").c_str(), mux.c_str(), FALSE);
       },
       [&] {
         DeleteFileA(mux.c_str());
         MoveFileA(muxAside.c_str(), mux.c_str());
       },
       {"Load mplex DLL error!"}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.spoil();
    ExpectRefusal(c.boxes);
    c.mend();
  }
}

}  // namespace

// Pelzor.exe itself, started as the user starts it in a Wine prefix made
// like an installed suite (scripts/make-suite-prefix.sh): the chooser and
// the main window in the program's own skin, the About box, the disc type
// kept in "param.ini" from one start to the next, and Cancel at the
// chooser. The program is another process: its windows are found by
// title and driven by posted messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "burner/res/burner_resource.h"
#include "testing/programs/program_test_support.h"
#include "testing/gui/gui_test.h"

namespace {

const char kFolder[] = "C:\\Program Files\\Quorbel\\";

std::string InFolder(const char* name) { return std::string(kFolder) + name; }

std::string Setting(const char* section, const char* key) {
  char value[256] = "";
  GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, InFolder("param.ini").c_str());
  return value;
}

// A top-level window with that title, waited for (any process: the
// program is the only one showing these titles).
HWND WaitForTitle(const char* title, DWORD timeoutMs = 20000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
    HWND window = FindWindowA(NULL, title);
    if (window != NULL && IsWindowVisible(window)) return window;
  }
  return NULL;
}

void PostClick(HWND dialog, int id, int code = BN_CLICKED) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class Program : public program_test::ProgramProcess {
public:
  bool Start() { return ProgramProcess::Start(InFolder("Pelzor.exe"), kFolder); }
  bool Ended(DWORD timeoutMs = 20000) { return WaitForEnd(timeoutMs); }
};

class PelzorProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (GetFileAttributesA(InFolder("Pelzor.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "not in a suite prefix";
    DeleteFileA(InFolder("param.ini").c_str());
    WritePrivateProfileStringA("main", "AppVer", "2.1.0", InFolder("app.ini").c_str());
  }
};

TEST_F(PelzorProgramTest, ChosenDiscTypeIsKeptAndCancelEndsTheProgram) {
  {
    Program pelzor;
    ASSERT_TRUE(pelzor.Start());
    HWND chooser = WaitForTitle("Select Disc Type");
    ASSERT_NE(nullptr, chooser);
    Sleep(300);  // the skin paints
    guitest::SaveScreenshot(chooser, "pelzor_disc_type");
    PostClick(chooser, IDC_DISC_TYPE_VCD, STN_CLICKED);
    PostClick(chooser, IDOK);
    HWND main = WaitForTitle("Zephon VCD Burner ");
    ASSERT_NE(nullptr, main);
    Sleep(300);
    guitest::SaveScreenshot(main, "pelzor_main_vcd");
    char text[64] = "";
    GetDlgItemTextA(main, IDC_MAIN_DISC_TYPE, text, sizeof text);
    EXPECT_STREQ(text, " Disc Type: VCD");

    PostClick(main, IDC_MAIN_ABOUT);
    HWND about = WaitForTitle("About Zephon VCD Burner ");
    ASSERT_NE(nullptr, about);
    GetDlgItemTextA(about, IDC_ABOUT_VERSION, text, sizeof text);
    EXPECT_STREQ(text, "Zephon VCD Burner 2.1.0");
    Sleep(200);
    guitest::SaveScreenshot(about, "pelzor_about");
    PostClick(about, IDOK);
    for (int i = 0; i < 200 && IsWindow(about); ++i) Sleep(25);

    PostClick(main, IDC_MAIN_EXIT);
    EXPECT_TRUE(pelzor.Ended());
  }
  EXPECT_EQ(Setting("Pelzor", "DiscType"), "0");
  EXPECT_EQ(Setting("Pelzor", "OutputFolder"), "C:\\Quorbel\\");
  EXPECT_EQ(Setting("Pelzor", "AspectRatio"), "0");
  EXPECT_EQ(Setting("main", "TVType"), "0");
  {
    Program pelzor;
    ASSERT_TRUE(pelzor.Start());
    HWND chooser = WaitForTitle("Select Disc Type");
    ASSERT_NE(nullptr, chooser);
    // VCD is marked: its picture differs from the others'.
    LRESULT vcd = SendDlgItemMessageA(chooser, IDC_DISC_TYPE_VCD, STM_GETIMAGE, IMAGE_BITMAP, 0);
    LRESULT dvd = SendDlgItemMessageA(chooser, IDC_DISC_TYPE_DVD, STM_GETIMAGE, IMAGE_BITMAP, 0);
    EXPECT_NE(vcd, dvd);
    PostClick(chooser, IDCANCEL);
    EXPECT_TRUE(pelzor.Ended());
    EXPECT_EQ(nullptr, FindWindowA(NULL, "Zephon VCD Burner "));
  }
  EXPECT_EQ(Setting("Pelzor", "DiscType"), "0");
}

// The text of a dialog item of another process.
std::string ItemText(HWND dialog, int id) {
  char text[4096] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// The host path of an MPEG fixture as the prefix sees it ("" when unknown).
std::string Fixture(const char* name) {
  const char* folder = getenv("QUORBEL_FIXTURES");
  if (folder == NULL) return "";
  std::string path = std::string("Z:") + folder + "/" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// A whole VCD from the user's side: the file chosen in the system's file
// dialog and judged by the scanner, Burn, the used CD-RW that the drive
// list prefers erased after the question, the image built and burned, and
// Finish ending the program.
TEST_F(PelzorProgramTest, VcdFromFileDialogToWrittenDisc) {
  std::string movie = Fixture("pal-vcd.mpg");
  if (movie.empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
  WritePrivateProfileStringA("Pelzor", "DiscType", "0", InFolder("param.ini").c_str());
  Program pelzor;
  ASSERT_TRUE(pelzor.Start());
  HWND chooser = WaitForTitle("Select Disc Type");
  ASSERT_NE(nullptr, chooser);
  PostClick(chooser, IDOK);
  HWND main = WaitForTitle("Zephon VCD Burner ");
  ASSERT_NE(nullptr, main);

  PostClick(main, IDC_MAIN_ADD);
  HWND files = WaitForTitle("Add MPEG files");
  ASSERT_NE(nullptr, files);
  Sleep(300);
  SetDlgItemTextA(files, 0x47c, movie.c_str());  // the file name box
  PostMessageA(files, WM_COMMAND, IDOK, 0);
  HWND list = GetDlgItem(main, IDC_MAIN_LIST);
  for (int i = 0; i < 400 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0; ++i) Sleep(50);
  ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
  Sleep(300);
  guitest::SaveScreenshot(main, "pelzor_main_with_file");

  PostClick(main, IDC_MAIN_BURN);
  HWND burn = WaitForTitle("Start Burning");
  ASSERT_NE(nullptr, burn);
  EXPECT_EQ(ItemText(burn, IDC_BURN_DRIVE).substr(0, 2), "G:");  // the last writer holding a CD-R(W)
  Sleep(300);
  guitest::SaveScreenshot(burn, "pelzor_burn_dialog");
  PostClick(burn, IDC_BURN_ACTION);
  HWND question = WaitForTitle("Pelzor");
  ASSERT_NE(nullptr, question);
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  for (int i = 0; i < 1200 && ItemText(burn, IDC_BURN_LOG).find("Done!") == std::string::npos; ++i) Sleep(50);
  std::string log = ItemText(burn, IDC_BURN_LOG);
  EXPECT_NE(log.find("Erased the disc successfully."), std::string::npos) << log;
  EXPECT_NE(log.find("Done!"), std::string::npos) << log;
  Sleep(300);
  guitest::SaveScreenshot(burn, "pelzor_burn_dialog_done");
  EXPECT_EQ(ItemText(burn, IDCANCEL), "Finish");
  PostClick(burn, IDCANCEL);
  EXPECT_TRUE(pelzor.Ended()) << "a burned disc ends the program";
  EXPECT_NE(GetFileAttributesA("C:\\quorbel-discs\\G\\VideoCD.cue"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

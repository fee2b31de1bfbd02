// The converter's windows under Wine, driven by messages: the main window
// probing real files through the stand-in conversion control, its list
// commands and context menu, and the conversion dialog converting small
// ffmpeg-made MPEG files through the control and the stand-in multiplexer,
// with its error and abort paths. Screenshots go to the build's folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "converter/convert_rules.h"
#include "converter/converter_main_dialog.h"
#include "converter/converter_settings.h"
#include "converter/start_convert_dialog.h"
#include "testing/programs/program_test_support.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "mfc/mfc.h"
#include "standins/calls/muxtools_calls.h"
#include "testing/gui/gui_test.h"

namespace {

std::string Mpeg(const std::string& name) { return FixturePath(name); }
std::string Own(const std::string& name) { return FixtureIn("QUORBEL_CONVCTL_FIXTURES", name); }

std::string WorkFolder() {
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  return cwd;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A fresh output folder of the current test, with its backslash.
std::string FreshOutput() {
  std::string folder = WorkFolder() + "\\out-" + test_support::CurrentTestName() + "\\";
  test_support::FreshFolder(folder.substr(0, folder.size() - 1));
  return folder;
}

// The files a folder holds, by name.
std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

std::string Text(CWnd& dialog, int id) { return guitest::GetText(::GetDlgItem(dialog.GetSafeHwnd(), id)); }

class ConverterWindowsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(program_test::RegisterConversionControl(HostPath(QUORBEL_CONVCTL_DLL)));
    ASSERT_EQ(kMplexLoaded, LoadMplexLibrary(HostPath(QUORBEL_MUXTOOLS_DLL).c_str()));
  }

  void SetUp() override {
    if (FixturesDir().empty() || Own("x").empty()) GTEST_SKIP() << "fixture folders not set";
    guitest::InitCommonControlsOnce();
    SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
    ini_ = WorkFolder() + "\\param-" + test_support::CurrentTestName() + ".ini";
    DeleteFileA(ini_.c_str());
    skarven::g_settings = skarven::ConvertSettings();
    skarven::g_settings.SetIniPath(ini_.c_str());
    skarven::g_settings.discType = 0;
    skarven::g_settings.tvType = 1;
  }

  void TearDown() override {
    guitest::CancelPending();
    SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
    if (convert_ != nullptr && convert_->GetSafeHwnd() != NULL) convert_->DestroyWindow();
    delete convert_;
    convert_ = nullptr;
    if (main_ != nullptr && main_->GetSafeHwnd() != NULL) main_->DestroyWindow();
    delete main_;
    main_ = nullptr;
  }

  ConverterMainDialog& MainWindow(const std::vector<std::string>& files) {
    main_ = new ConverterMainDialog("Zephon Video to VCD Converter ");
    EXPECT_TRUE(main_->Create(IDD_CONVERTER_MAIN));
    main_->ShowWindow(SW_SHOWNA);
    std::vector<CString> paths;
    for (const std::string& file : files) paths.push_back(file.c_str());
    if (!paths.empty()) main_->ProbeAndAdd(paths);
    return *main_;
  }

  // The conversion dialog over the main window, modeless so that the test
  // drives it; its output folder is set before it opens.
  StartConvertDialog& ConvertDialog(const std::string& output, StartConvertDialog* dialog = nullptr) {
    skarven::g_settings.SetOutputPath(output.c_str());
    convert_ = dialog != nullptr ? dialog : new StartConvertDialog(main_);
    EXPECT_TRUE(convert_->Create(IDD_CONVERTER_START, main_));
    convert_->ShowWindow(SW_SHOWNA);
    return *convert_;
  }

  // Starts the job with the control waiting paceMs at each step, so that it
  // is still converting its first clip when the test acts.
  bool StartPaced(const char* paceMs) {
    SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", paceMs);
    guitest::PostCommand(convert_->GetSafeHwnd(), IDC_START_ACTION);
    return guitest::PumpUntil([&] { return convert_->GetState() == StartConvertDialog::kConverting; }, 10000);
  }

  bool RunToEnd(DWORD ms = 60000) {
    guitest::PostCommand(convert_->GetSafeHwnd(), IDC_START_ACTION);
    return guitest::PumpUntil([&] { return convert_->GetState() == StartConvertDialog::kAllDone; }, ms);
  }

  // A job that converted some of its files: it says how many of how many
  // and names the others, says no "Done", and still offers the folder.
  void ExpectPartlyConverted(StartConvertDialog& dialog, int converted, int files,
                             const std::vector<std::string>& failed) {
    std::string log = static_cast<const char*>(dialog.LogText());
    EXPECT_EQ(std::string::npos, log.find("Done")) << log;
    char count[64];
    snprintf(count, sizeof count, "Converted %d of %d files.\r\n", converted, files);
    EXPECT_NE(std::string::npos, log.find(count)) << log;
    for (const std::string& file : failed)
      EXPECT_NE(std::string::npos, log.find("Not converted: " + file + "\r\n")) << log;
    EXPECT_EQ("Open", Text(dialog, IDC_START_ACTION));
    EXPECT_TRUE(guitest::IsEnabled(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_ACTION)));
    EXPECT_EQ(0u, Text(dialog, IDC_START_HINT).find("Click \"Open\"")) << Text(dialog, IDC_START_HINT);
  }

  std::string ini_;
  ConverterMainDialog* main_ = nullptr;
  StartConvertDialog* convert_ = nullptr;
};

// Files the control can read are listed with their duration and size; a
// file it cannot read is reported and skipped, the rest still probed.
TEST_F(ConverterWindowsTest, AddedFilesAreProbedAndRefusedOnesReported) {
  CMessageBoxScript boxes;
  ConverterMainDialog& main = MainWindow({Mpeg("pal-vcd.mpg"), Own("truncated.mp4"), Mpeg("ntsc-vcd.mpg")});
  CListCtrl& list = main.List();
  ASSERT_EQ(2, list.GetItemCount());
  EXPECT_EQ(Mpeg("pal-vcd.mpg"), std::string(list.GetItemText(0, kSourceColumnPath)));
  EXPECT_EQ(Mpeg("ntsc-vcd.mpg"), std::string(list.GetItemText(1, kSourceColumnPath)));
  double first = DurationCellSeconds(list.GetItemText(0, kSourceColumnDuration));
  EXPECT_NEAR(3.0, first, 0.3);
  EXPECT_EQ(SizeCellText(test_support::FileSize(Mpeg("pal-vcd.mpg"))), std::string(list.GetItemText(0, kSourceColumnSize)));
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ(ProbeRefusedText(Own("truncated.mp4")), std::string(boxes.LastText()));
  EXPECT_EQ(" Added 2 file(s)", Text(main, IDC_MAIN_COUNT));
  double total = first + DurationCellSeconds(list.GetItemText(1, kSourceColumnDuration));
  EXPECT_EQ(TotalDurationText(total), Text(main, IDC_MAIN_TOTAL));
  EXPECT_EQ(0, main.SelectedRow());
  EXPECT_TRUE(main.IsWindowEnabled());
  EXPECT_FALSE(guitest::IsVisible(main.ScanDialog().GetSafeHwnd()));
  guitest::PumpFor(200);
  guitest::SaveScreenshot(main.GetSafeHwnd(), "converter_main_window");
}

// The conversion control is there in both windows, and shows in neither.
TEST_F(ConverterWindowsTest, ConversionControlIsThereButHidden) {
  MainWindow({});
  StartConvertDialog& dialog = ConvertDialog(FreshOutput());
  const struct {
    CWnd* window;
    int id;
  } controls[] = {{main_, IDC_MAIN_CONTROL}, {&dialog, IDC_START_CONTROL}};
  for (const auto& c : controls) {
    HWND control = ::GetDlgItem(c.window->GetSafeHwnd(), c.id);
    ASSERT_NE(nullptr, control) << c.id;
    char name[64] = "";
    GetClassNameA(control, name, sizeof name);
    EXPECT_STRNE("Static", name) << "still the placeholder";
    EXPECT_FALSE(IsWindowVisible(control)) << c.id;
  }
  guitest::PumpFor(100);
  guitest::SaveScreenshot(main_->GetSafeHwnd(), "converter_main_window_empty");
}

// Only refused files: nothing listed, nothing selected.
TEST_F(ConverterWindowsTest, AllFilesRefusedLeaveNoSelection) {
  CMessageBoxScript boxes;
  ConverterMainDialog& main = MainWindow({Own("truncated.mp4"), Own("video-only.mpg")});
  EXPECT_EQ(0, main.List().GetItemCount());
  EXPECT_EQ(2, boxes.Count());
  EXPECT_EQ(-1, main.SelectedRow());
  EXPECT_EQ(" Added 0 file(s)", Text(main, IDC_MAIN_COUNT));
}

TEST_F(ConverterWindowsTest, ListCommandsMoveRemoveAndClear) {
  CMessageBoxScript boxes;
  std::string a = Mpeg("pal-vcd.mpg"), b = Mpeg("ntsc-vcd.mpg"), c = Mpeg("pal-svcd.mpg");
  ConverterMainDialog& main = MainWindow({a, b, c});
  CListCtrl& list = main.List();
  ASSERT_EQ(3, list.GetItemCount());
  auto order = [&] {
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetItemCount(); ++i) rows.push_back(std::string(list.GetItemText(i, kSourceColumnPath)));
    return rows;
  };

  main.SelectRow(2);
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_UP));
  EXPECT_EQ((std::vector<std::string>{a, c, b}), order());
  EXPECT_EQ(1, main.SelectedRow());
  EXPECT_EQ(LVIS_SELECTED, list.GetItemState(1, LVIS_SELECTED));
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_DOWN));
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_DOWN));  // already last: nothing
  EXPECT_EQ((std::vector<std::string>{a, b, c}), order());
  EXPECT_EQ(2, main.SelectedRow());

  // Delete in the list removes; the selection moves one up.
  NMLVKEYDOWN key = {};
  key.hdr.hwndFrom = list.GetSafeHwnd();
  key.hdr.idFrom = IDC_MAIN_LIST;
  key.hdr.code = LVN_KEYDOWN;
  key.wVKey = VK_DELETE;
  main.SendMessage(WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&key));
  EXPECT_EQ((std::vector<std::string>{a, b}), order());
  EXPECT_EQ(1, main.SelectedRow());
  EXPECT_EQ(" Added 2 file(s)", Text(main, IDC_MAIN_COUNT));

  // Remove All asks; Cancel keeps the rows, and without a selected row it
  // does nothing at all.
  boxes.Answer(IDCANCEL);
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_REMOVE_ALL));
  EXPECT_EQ(2, list.GetItemCount());
  EXPECT_EQ("Remove all source files?   ", std::string(boxes.LastText()));
  main.SelectRow(-1);
  int asked = boxes.Count();
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_REMOVE_ALL));
  EXPECT_EQ(asked, boxes.Count());
  EXPECT_EQ(2, list.GetItemCount());
  main.SelectRow(0);
  boxes.Answer(IDOK);
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_REMOVE_ALL));
  EXPECT_EQ(0, list.GetItemCount());
  EXPECT_EQ(-1, main.SelectedRow());
  EXPECT_EQ(" Total Duration: 00:00:00.0", Text(main, IDC_MAIN_TOTAL));

  // Convert with an empty list only asks for a file.
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_CONVERT));
  EXPECT_EQ("Please add a video file at lease!", std::string(boxes.LastText()));
}

TEST_F(ConverterWindowsTest, ContextMenuGreysWhatCannotBeDone) {
  ConverterMainDialog& main = MainWindow({Mpeg("pal-vcd.mpg"), Mpeg("ntsc-vcd.mpg")});
  auto greyed = [&](UINT id) {
    HMENU menu = main.BuildContextMenu();
    UINT state = GetMenuState(GetSubMenu(menu, 0), id, MF_BYCOMMAND);
    DestroyMenu(menu);
    return (state & MF_GRAYED) != 0;
  };
  main.SelectRow(0);
  EXPECT_TRUE(greyed(ID_VIDEOLIST_UP));
  EXPECT_FALSE(greyed(ID_VIDEOLIST_DOWN));
  EXPECT_FALSE(greyed(ID_VIDEOLIST_PLAY));
  main.SelectRow(1);
  EXPECT_FALSE(greyed(ID_VIDEOLIST_UP));
  EXPECT_TRUE(greyed(ID_VIDEOLIST_DOWN));
  main.SelectRow(-1);
  EXPECT_TRUE(greyed(ID_VIDEOLIST_REMOVE));
  EXPECT_FALSE(greyed(ID_VIDEOLIST_REMOVE_ALL));
  EXPECT_FALSE(greyed(ID_VIDEOLIST_ADD));
}

TEST_F(ConverterWindowsTest, ClosingTheMainWindowSavesTheSettings) {
  MainWindow({});
  skarven::g_settings.discType = 1;
  skarven::g_settings.tvType = 1;
  skarven::g_settings.SetOutputPath("C:\\elsewhere\\");
  main_->DestroyWindow();
  skarven::ConvertSettings read;
  read.SetIniPath(ini_.c_str());
  read.Load();
  EXPECT_EQ(1, read.discType);
  EXPECT_EQ(1, read.tvType);
  EXPECT_STREQ("C:\\elsewhere\\", read.outputPath);
  EXPECT_NE(std::string::npos, test_support::ReadText(ini_).find("[Skarven]"));
}

// Home opens the maker's page; the system menu's About item opens the About
// box with the application title and the links.
TEST_F(ConverterWindowsTest, HomePageAndAboutBox) {
  std::vector<std::string> opened;
  HyperLinkStatic::Launcher launcher;
  launcher.shellOpen = [&](const std::string& url, int) {
    opened.push_back(url);
    return 33;
  };
  launcher.runCommand = [&](const std::string& command, int) {
    opened.push_back(command);
    return 33;
  };
  HyperLinkStatic::SetLauncher(launcher);
  ConverterMainDialog& main = MainWindow({});
  guitest::Click(::GetDlgItem(main.GetSafeHwnd(), IDC_MAIN_HOME));
  HyperLinkStatic::ResetLauncher();
  // The link class opens web pages with the registered browser only.
  CString browser;
  if (HyperLinkStatic::ReadBrowserCommand(browser)) {
    ASSERT_EQ(1u, opened.size());
    EXPECT_NE(std::string::npos, opened[0].find(kMakerHomePage));
  } else {
    EXPECT_TRUE(opened.empty());
  }

  std::string version, link;
  guitest::RunLater(300, [&] {
    HWND about = guitest::FindTopWindow("About Zephon Video to VCD Converter ");
    if (about == NULL) return;
    version = guitest::GetText(::GetDlgItem(about, IDC_ABOUT_VERSION));
    link = guitest::GetText(::GetDlgItem(about, IDC_ABOUT_HOMEPAGE));
    guitest::SaveScreenshot(about, "converter_about");
    PostMessageA(about, WM_COMMAND, IDOK, 0);
  });
  main.SendMessage(WM_SYSCOMMAND, 16, 0);
  EXPECT_EQ(0u, version.find("Zephon Video to VCD Converter ")) << version;
  EXPECT_EQ("Visit Our HomePage", link);
  // Enter and Esc leave the main window open.
  main.SendMessage(WM_COMMAND, IDOK, 0);
  main.SendMessage(WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(main.IsWindowVisible());
}

// Two VideoCD files converted and multiplexed into the output folder under
// their final names; nothing of the steps between is left.
TEST_F(ConverterWindowsTest, ConvertsEveryFileIntoTheOutputFolder) {
  std::string out = FreshOutput();
  MainWindow({Mpeg("pal-vcd.mpg"), Mpeg("ntsc-vcd.mpg")});
  StartConvertDialog& dialog = ConvertDialog(out);
  EXPECT_EQ(out, Text(dialog, IDC_START_FOLDER));
  EXPECT_EQ("70 minutes", Text(dialog, IDC_START_SPLIT));
  EXPECT_EQ(1, guitest::GetCheck(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_PAL)));
  ASSERT_TRUE(RunToEnd()) << dialog.LogText();
  std::string log = static_cast<const char*>(dialog.LogText());
  EXPECT_NE(std::string::npos, log.find("Starting...")) << log;
  EXPECT_NE(std::string::npos, log.find("Converting the file:" + Mpeg("pal-vcd.mpg"))) << log;
  EXPECT_NE(std::string::npos, log.find("Converting the file:" + Mpeg("ntsc-vcd.mpg"))) << log;
  EXPECT_NE(std::string::npos, log.find("Done")) << log;
  EXPECT_EQ(std::string::npos, log.find("Failed")) << log;
  std::vector<std::string> files = Listing(out);
  std::sort(files.begin(), files.end());
  EXPECT_EQ((std::vector<std::string>{"ntsc-vcd_ToVcd.mpg", "pal-vcd_ToVcd.mpg"}), files);
  test_support::Bytes joined = test_support::ReadBytes(out + "pal-vcd_ToVcd.mpg");
  ASSERT_GT(joined.size(), 2324u);
  EXPECT_EQ(0xBA, joined[3]) << "a program stream pack";
  EXPECT_EQ("Open", Text(dialog, IDC_START_ACTION));
  EXPECT_EQ("Finish", Text(dialog, IDCANCEL));
  EXPECT_TRUE(guitest::IsEnabled(::GetDlgItem(dialog.GetSafeHwnd(), IDCANCEL)));
  EXPECT_FALSE(guitest::IsVisible(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_STATUS)));
  EXPECT_EQ(1, dialog.Started());
  guitest::PumpFor(100);
  guitest::SaveScreenshot(dialog.GetSafeHwnd(), "converter_conversion_done");
  // Starting saved the dialog's choices.
  skarven::ConvertSettings read;
  read.SetIniPath(ini_.c_str());
  read.Load();
  EXPECT_STREQ(out.c_str(), read.outputPath);
  EXPECT_EQ(1, read.tvType);
}

// A 16-minute DVD source at "15 minutes" is cut into two clips, converted
// and named one after the other.
TEST_F(ConverterWindowsTest, LongSourceIsCutIntoClips) {
  std::string source = FixtureIn("QUORBEL_CONVERTER_FIXTURES", "long-dvd.mpg");
  if (source.empty()) GTEST_SKIP() << "converter fixtures not set";
  std::string out = FreshOutput();
  skarven::g_settings.discType = 2;
  MainWindow({source});
  ASSERT_EQ(1, main_->List().GetItemCount());
  EXPECT_NEAR(960, DurationCellSeconds(main_->List().GetItemText(0, kSourceColumnDuration)), 1);
  StartConvertDialog& dialog = ConvertDialog(out);
  ::SendMessageA(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_SPLIT), CB_SETCURSEL, 2, 0);
  EXPECT_EQ("15 minutes", Text(dialog, IDC_START_SPLIT));
  ASSERT_TRUE(RunToEnd(200000)) << dialog.LogText();
  std::string log = static_cast<const char*>(dialog.LogText());
  EXPECT_NE(std::string::npos, log.find("Converting the clip 1/2 of file:" + source)) << log;
  EXPECT_NE(std::string::npos, log.find("Converting the clip 2/2 of file:" + source)) << log;
  std::vector<std::string> files = Listing(out);
  std::sort(files.begin(), files.end());
  ASSERT_EQ((std::vector<std::string>{"long-dvd_ToDvd_clp0.VOB", "long-dvd_ToDvd_clp1.VOB"}), files) << log;
  // 900 seconds against the last 60.
  EXPECT_GT(test_support::FileSize(out + files[0]), 8 * test_support::FileSize(out + files[1]));
}

// Names already taken: the converted name counts up, then the final name.
TEST_F(ConverterWindowsTest, TakenNamesCountUp) {
  std::string out = FreshOutput();
  test_support::WriteText(out + "pal-vcd_ToSvcd_con.mpg", "taken");
  test_support::WriteText(out + "pal-vcd_ToSvcd_1.mpg", "taken");
  skarven::g_settings.discType = 1;
  // The SuperVCD source under the name the taken files were made from.
  std::string source = WorkFolder() + "\\pal-vcd.mpg";
  ASSERT_TRUE(CopyFileA(Mpeg("pal-svcd.mpg").c_str(), source.c_str(), FALSE));
  MainWindow({source});
  StartConvertDialog& dialog = ConvertDialog(out);
  EXPECT_EQ("35 minutes", Text(dialog, IDC_START_SPLIT));
  ASSERT_TRUE(RunToEnd()) << dialog.LogText();
  EXPECT_TRUE(Exists(out + "pal-vcd_ToSvcd_1_1.mpg")) << dialog.LogText();
  EXPECT_EQ("taken", test_support::ReadText(out + "pal-vcd_ToSvcd_1.mpg"));
  EXPECT_EQ("taken", test_support::ReadText(out + "pal-vcd_ToSvcd_con.mpg"));
  EXPECT_FALSE(Exists(out + "pal-vcd_ToSvcd_1_con.mpg"));
}

// A source the control refuses when the job comes to it (cut short after
// it was listed): the file is logged as failed and the job still ends.
TEST_F(ConverterWindowsTest, RefusedSourceIsLoggedAndTheJobEnds) {
  std::string out = FreshOutput();
  skarven::g_settings.discType = 2;
  std::string source = WorkFolder() + "\\damaged.avi";
  ASSERT_TRUE(CopyFileA(Own("clip.avi").c_str(), source.c_str(), FALSE));
  MainWindow({source, Own("pal-dvd-mp2.mpg")});
  ASSERT_TRUE(CopyFileA(Own("truncated.avi").c_str(), source.c_str(), FALSE));
  StartConvertDialog& dialog = ConvertDialog(out);
  ASSERT_TRUE(RunToEnd()) << dialog.LogText();
  std::string log = static_cast<const char*>(dialog.LogText());
  EXPECT_NE(std::string::npos, log.find("Failed to convert file:" + source)) << log;
  EXPECT_NE(std::string::npos, log.find("Converting the file:" + Own("pal-dvd-mp2.mpg"))) << log;
  ExpectPartlyConverted(dialog, 1, 2, {source});
  EXPECT_EQ((std::vector<std::string>{"pal-dvd-mp2_ToDvd.VOB"}), Listing(out));
}

// No file converted: the job ends as a failure, and the hint offers no
// folder to open.
TEST_F(ConverterWindowsTest, NothingConvertedEndsAsAFailure) {
  std::string out = FreshOutput();
  skarven::g_settings.discType = 2;
  std::string source = WorkFolder() + "\\damaged-only.avi";
  ASSERT_TRUE(CopyFileA(Own("clip.avi").c_str(), source.c_str(), FALSE));
  MainWindow({source});
  ASSERT_TRUE(CopyFileA(Own("truncated.avi").c_str(), source.c_str(), FALSE));
  StartConvertDialog& dialog = ConvertDialog(out);
  ASSERT_TRUE(RunToEnd()) << dialog.LogText();
  std::string log = static_cast<const char*>(dialog.LogText());
  EXPECT_EQ(std::string::npos, log.find("Done")) << log;
  EXPECT_NE(std::string::npos, log.find("Converted 0 of 1 files.\r\n")) << log;
  EXPECT_NE(std::string::npos, log.find("Not converted: " + source + "\r\n")) << log;
  EXPECT_EQ(log.size() - strlen("Failed.\r\n"), log.rfind("Failed.\r\n")) << log;
  std::string hint = Text(dialog, IDC_START_HINT);
  EXPECT_EQ("Click \"Finish\" to close the program.", hint);
  EXPECT_FALSE(guitest::IsEnabled(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_ACTION)));
  EXPECT_EQ("Finish", Text(dialog, IDCANCEL));
  EXPECT_TRUE(guitest::IsEnabled(::GetDlgItem(dialog.GetSafeHwnd(), IDCANCEL)));
  EXPECT_TRUE(Listing(out).empty());
  guitest::PumpFor(100);
  guitest::SaveScreenshot(dialog.GetSafeHwnd(), "converter_nothing_converted");
}

// A multiplexing that fails (another program holds its output open, shared
// with nobody) is logged; the next file still goes, and nothing of the
// failed one is left.
TEST_F(ConverterWindowsTest, FailedMultiplexingIsLoggedAndSkipped) {
  std::string out = FreshOutput();
  skarven::g_settings.discType = 2;
  MainWindow({Own("pal-dvd.mpg"), Own("pal-dvd-mp2.mpg")});
  StartConvertDialog& dialog = ConvertDialog(out);
  ASSERT_TRUE(StartPaced("200"));
  // The multiplexer's output name, held from now on; it goes when let go.
  HANDLE held = CreateFileA((out + "pal-dvd_ToDvd_con.mpg").c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                            FILE_FLAG_DELETE_ON_CLOSE, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  bool ended = guitest::PumpUntil([&] { return dialog.GetState() == StartConvertDialog::kAllDone; }, 60000);
  CloseHandle(held);
  std::string log = static_cast<const char*>(dialog.LogText());
  ASSERT_TRUE(ended) << log;
  EXPECT_NE(std::string::npos, log.find("Failed to multiplex file:" + Own("pal-dvd.mpg"))) << log;
  ExpectPartlyConverted(dialog, 1, 2, {Own("pal-dvd.mpg")});
  EXPECT_EQ((std::vector<std::string>{"pal-dvd-mp2_ToDvd.VOB"}), Listing(out));
}

// The finished clip cannot take its final name (another program holds the
// file open): the failure is logged, the clip stays under its converted
// name, and the next file goes on.
TEST_F(ConverterWindowsTest, FailedRenameIsLoggedAndTheFileKept) {
  std::string out = FreshOutput();
  MainWindow({Mpeg("pal-vcd.mpg"), Mpeg("ntsc-vcd.mpg")});
  StartConvertDialog& dialog = ConvertDialog(out);
  std::string converted = out + "pal-vcd_ToVcd_con.mpg";
  ASSERT_TRUE(StartPaced("200"));
  // Opened for reading and writing by others, never for renaming.
  HANDLE held = CreateFileA(converted.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  // The pace only had to keep the first clip converting until now. The
  // control reads it at each start and waits at every packet and frame it
  // transcodes: the NTSC file, transcoded to PAL, would take minutes.
  SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
  bool ended = guitest::PumpUntil([&] { return dialog.GetState() == StartConvertDialog::kAllDone; }, 60000);
  CloseHandle(held);
  std::string log = static_cast<const char*>(dialog.LogText());
  ASSERT_TRUE(ended) << log;
  EXPECT_NE(std::string::npos, log.find("Failed to rename the file:" + converted + " to " + out + "pal-vcd_ToVcd.mpg"))
      << log;
  EXPECT_NE(std::string::npos, log.find("Converting the file:" + Mpeg("ntsc-vcd.mpg"))) << log;
  ExpectPartlyConverted(dialog, 1, 2, {Mpeg("pal-vcd.mpg")});
  std::vector<std::string> files = Listing(out);
  std::sort(files.begin(), files.end());
  EXPECT_EQ((std::vector<std::string>{"ntsc-vcd_ToVcd.mpg", "pal-vcd_ToVcd_con.mpg"}), files) << log;
  test_support::Bytes kept = test_support::ReadBytes(converted);
  ASSERT_GT(kept.size(), 2324u);
  EXPECT_EQ(0xBA, kept[3]) << "the multiplexed clip, whole";
  guitest::PumpFor(100);
  guitest::SaveScreenshot(dialog.GetSafeHwnd(), "converter_rename_failed");
}

// A conversion dialog whose first multiplexing goes wrong: the worker
// cannot be started, or it reports success without having written a file.
class FaultyFirstWorkerDialog : public StartConvertDialog {
public:
  enum Fault { kRefusedStart, kSuccessWithoutFile };
  FaultyFirstWorkerDialog(ConverterMainDialog* main, Fault fault) : StartConvertDialog(main), fault_(fault) {}

protected:
  CWinThread* BeginMuxThread(AFX_THREADPROC proc, LPVOID param) override {
    if (workers_++ > 0) return StartConvertDialog::BeginMuxThread(proc, param);
    if (fault_ == kRefusedStart) return NULL;
    std::string name = static_cast<const char*>(m_outputName);
    DeleteFileA(VideoStreamName(name).c_str());
    DeleteFileA(AudioStreamName(name).c_str());
    return StartConvertDialog::BeginMuxThread(&ReportSuccess, m_hWnd);
  }

private:
  static UINT ReportSuccess(LPVOID window) {
    ::PostMessageA(static_cast<HWND>(window), WM_CONVERTER_MUX_DONE, 0, 0);
    return 0;
  }
  Fault fault_;
  int workers_ = 0;
};

// The clip whose multiplexing fails that way ends as failed: logged, its
// streams gone, and the next file is converted.
TEST_F(ConverterWindowsTest, MultiplexWorkerThatFailsFailsTheClip) {
  for (auto fault : {FaultyFirstWorkerDialog::kRefusedStart, FaultyFirstWorkerDialog::kSuccessWithoutFile}) {
    SCOPED_TRACE(fault);
    std::string out = FreshOutput();
    MainWindow({Mpeg("pal-vcd.mpg"), Mpeg("ntsc-vcd.mpg")});
    StartConvertDialog& dialog = ConvertDialog(out, new FaultyFirstWorkerDialog(main_, fault));
    ASSERT_TRUE(RunToEnd(30000)) << dialog.LogText();
    std::string log = static_cast<const char*>(dialog.LogText());
    EXPECT_NE(std::string::npos, log.find("Failed to multiplex file:" + Mpeg("pal-vcd.mpg"))) << log;
    ExpectPartlyConverted(dialog, 1, 2, {Mpeg("pal-vcd.mpg")});
    EXPECT_EQ((std::vector<std::string>{"ntsc-vcd_ToVcd.mpg"}), Listing(out)) << log;
    TearDown();
  }
}

// An output folder that cannot be made: the message, and nothing starts.
TEST_F(ConverterWindowsTest, OutputFolderThatCannotBeMade) {
  std::string blocker = WorkFolder() + "\\a-file";
  test_support::WriteText(blocker, "not a folder");
  MainWindow({Mpeg("pal-vcd.mpg")});
  StartConvertDialog& dialog = ConvertDialog(blocker + "\\out\\");
  CMessageBoxScript boxes;
  guitest::Click(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_ACTION));
  EXPECT_EQ(0u, std::string(boxes.LastText()).find("Create output directory failed!\n")) << boxes.LastText();
  EXPECT_EQ(StartConvertDialog::kIdle, dialog.GetState());
  EXPECT_EQ(0, dialog.Started());
  EXPECT_EQ("Start", Text(dialog, IDC_START_ACTION));
}

// Stop during a conversion asks first; OK aborts: state 8 with Open and
// Finish, and the control's streams are gone.
TEST_F(ConverterWindowsTest, AbortDuringConversion) {
  std::string out = FreshOutput();
  MainWindow({Mpeg("pal-vcd.mpg")});
  StartConvertDialog& dialog = ConvertDialog(out);
  ASSERT_TRUE(StartPaced("400"));
  EXPECT_EQ("Stop", Text(dialog, IDC_START_ACTION));
  EXPECT_FALSE(guitest::IsEnabled(::GetDlgItem(dialog.GetSafeHwnd(), IDCANCEL)));
  EXPECT_FALSE(guitest::IsEnabled(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_SPLIT)));
  guitest::PumpFor(600);
  // Still converting (the control is paced), so Stop is what the button does.
  ASSERT_EQ(StartConvertDialog::kConverting, dialog.GetState());
  guitest::SaveScreenshot(dialog.GetSafeHwnd(), "converter_conversion_running");
  // Esc while Cancel is disabled does not close the dialog.
  dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(dialog.IsWindowVisible());
  CMessageBoxScript boxes;
  boxes.Answer(IDOK);
  guitest::Click(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_ACTION));
  EXPECT_EQ("Would you really like to abort the convert process?", std::string(boxes.LastText()));
  EXPECT_EQ(StartConvertDialog::kAllDone, dialog.GetState());
  std::string log = static_cast<const char*>(dialog.LogText());
  EXPECT_NE(std::string::npos, log.find("Aborted by user.\r\n")) << log;
  EXPECT_NE(std::string::npos, log.find("Failed.\r\n")) << log;
  EXPECT_EQ("Open", Text(dialog, IDC_START_ACTION));
  EXPECT_EQ("Finish", Text(dialog, IDCANCEL));
  guitest::PumpFor(500);
  EXPECT_TRUE(Listing(out).empty());
  // Finish closes it.
  guitest::Click(::GetDlgItem(dialog.GetSafeHwnd(), IDCANCEL));
  EXPECT_FALSE(dialog.IsWindowVisible());
}

// The output folder goes away during the job (a removed drive): Stop is
// still heard, before any look at the folder.
TEST_F(ConverterWindowsTest, StopIsHeardWhenTheOutputFolderIsGone) {
  std::string out = FreshOutput();
  MainWindow({Mpeg("pal-vcd.mpg")});
  StartConvertDialog& dialog = ConvertDialog(out);
  ASSERT_TRUE(StartPaced("400"));
  // The folder the dialog shows can no longer be had: under a file.
  std::string blocker = WorkFolder() + "\\gone-drive";
  test_support::WriteText(blocker, "not a folder");
  guitest::SetText(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_FOLDER), blocker + "\\out\\");
  CMessageBoxScript boxes;
  boxes.Answer(IDOK);
  guitest::Click(::GetDlgItem(dialog.GetSafeHwnd(), IDC_START_ACTION));
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ("Would you really like to abort the convert process?", std::string(boxes.LastText()));
  EXPECT_EQ(StartConvertDialog::kAllDone, dialog.GetState());
  EXPECT_NE(std::string::npos, std::string(dialog.LogText()).find("Aborted by user.\r\n")) << dialog.LogText();
}

// A conversion dialog, run modally, whose multiplexing waits until the test
// lets it go; it counts the Escape keys and close requests it has handled.
class HeldMuxDialog : public StartConvertDialog {
public:
  explicit HeldMuxDialog(ConverterMainDialog* main)
      : StartConvertDialog(main), release_(CreateEventA(NULL, TRUE, FALSE, NULL)) {}
  ~HeldMuxDialog() override {
    Release();
    if (worker_ != NULL) WaitForSingleObject(worker_, 30000), CloseHandle(worker_);
    CloseHandle(release_);
  }
  void Release() { SetEvent(release_); }
  int escapes = 0;  // Escape key-ups the dialog's loop has seen
  int closes = 0;   // WM_CLOSE handled

protected:
  CWinThread* BeginMuxThread(AFX_THREADPROC proc, LPVOID param) override {
    proc_ = proc;
    param_ = param;
    CWinThread* thread = StartConvertDialog::BeginMuxThread(&Held, this);
    if (thread != NULL)
      DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &worker_, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    return thread;
  }
  BOOL PreTranslateMessage(MSG* msg) override {
    BOOL handled = StartConvertDialog::PreTranslateMessage(msg);
    if (msg->message == WM_KEYUP && msg->wParam == VK_ESCAPE) ++escapes;
    return handled;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = StartConvertDialog::WindowProc(message, wParam, lParam);
    if (message == WM_CLOSE) ++closes;
    return result;
  }

private:
  static UINT Held(LPVOID self) {
    HeldMuxDialog* dialog = static_cast<HeldMuxDialog*>(self);
    WaitForSingleObject(dialog->release_, INFINITE);
    return dialog->proc_(dialog->param_);
  }
  HANDLE release_;
  HANDLE worker_ = NULL;
  AFX_THREADPROC proc_ = nullptr;
  LPVOID param_ = nullptr;
};

// Runs action once cond() holds, polled from whatever loop the thread is in.
void WhenTrue(std::function<bool()> cond, std::function<void()> action) {
  guitest::RunLater(50, [cond, action] {
    if (cond())
      action();
    else
      WhenTrue(cond, action);
  });
}

// While the clip is multiplexed (Cancel disabled) neither a real Escape nor
// the close box ends the dialog; the clip is finished and the dialog then
// closes with Finish.
TEST_F(ConverterWindowsTest, EscapeAndCloseDoNothingWhileMultiplexing) {
  std::string out = FreshOutput();
  MainWindow({Mpeg("pal-vcd.mpg")});
  skarven::g_settings.SetOutputPath(out.c_str());
  HeldMuxDialog dialog(main_);
  bool cancelDisabled = false, openAfterKeys = false, finished = false;
  int stateAfterKeys = -1;
  guitest::RunLater(0, [&] { guitest::PostCommand(dialog.GetSafeHwnd(), IDC_START_ACTION); });
  WhenTrue([&] { return dialog.GetState() == StartConvertDialog::kMultiplexing; },
           [&] {
             HWND window = dialog.GetSafeHwnd();
             cancelDisabled = !guitest::IsEnabled(::GetDlgItem(window, IDCANCEL));
             guitest::PressEscapeThenClose(window, ::GetDlgItem(window, IDC_START_LOG));
           });
  WhenTrue([&] { return dialog.escapes > 0 && dialog.closes > 0; },
           [&] {
             openAfterKeys = guitest::IsVisible(dialog.GetSafeHwnd());
             stateAfterKeys = dialog.GetState();
             guitest::SaveScreenshot(dialog.GetSafeHwnd(), "converter_escape_while_multiplexing");
             dialog.Release();
           });
  WhenTrue([&] { return dialog.GetState() == StartConvertDialog::kAllDone; },
           [&] {
             finished = true;
             guitest::PostClick(::GetDlgItem(dialog.GetSafeHwnd(), IDCANCEL));
           });
  // Should a step never come, the dialog still ends and the test says so.
  guitest::RunLater(120000, [&] {
    dialog.Release();
    dialog.EndDialog(IDABORT);
  });
  EXPECT_EQ(IDCANCEL, dialog.DoModal()) << dialog.LogText();
  EXPECT_TRUE(cancelDisabled);
  EXPECT_TRUE(openAfterKeys);
  EXPECT_EQ(StartConvertDialog::kMultiplexing, stateAfterKeys);
  EXPECT_TRUE(finished) << dialog.LogText();
  EXPECT_EQ((std::vector<std::string>{"pal-vcd_ToVcd.mpg"}), Listing(out)) << dialog.LogText();
}

}  // namespace

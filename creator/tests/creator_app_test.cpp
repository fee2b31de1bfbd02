// The disc creator's windows under Wine, driven by messages: the
// application's start-up paths, the disc-type chooser, the scanning dialog
// and the source-file list window (adding with real probes of MPEG files
// made by ffmpeg, removing, ordering, the totals against the capacity
// scale, the run warning), and the settings kept from one start to the
// next. The outside libraries are the stand-ins, beside the test program.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "creator/app_creator.h"
#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "suite/disc_type_dialog.h"
#include "creator/main_dialog.h"
#include "suite/about_dialog.h"
#include "suite/source_list_rules.h"
#include "suite/scan_wait_dialog.h"
#include "testing/programs/program_test_support.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "mfc/mfc.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/calls/muxtools_calls.h"
#include "testing/gui/gui_test.h"

using namespace test_support;

namespace {

std::string ProgramFolder() { return static_cast<const char*>(GetAppFolder()); }

// ---- Helpers on windows ------------------------------------------------------------

// Runs action on the visible top-level window of that title as soon as it
// shows, from inside whatever loop runs then (modal loops included).
void WhenTopWindow(const std::string& title, std::function<void(HWND)> action, int tries = 200) {
  guitest::RunLater(25, [=] {
    HWND window = guitest::FindTopWindow(title);
    if (window != NULL && IsWindowVisible(window)) {
      action(window);
    } else if (tries > 0) {
      WhenTopWindow(title, action, tries - 1);
    } else {
      ADD_FAILURE() << "no window \"" << title << "\"";
    }
  });
}

std::string Cell(HWND list, int row, int column) {
  char text[512] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

// The rows' paths, top to bottom.
std::vector<std::string> Paths(HWND list) {
  std::vector<std::string> paths;
  for (int row = 0; row < Rows(list); ++row) paths.push_back(Cell(list, row, kSourceColumnPath));
  return paths;
}

int SelectedRow(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }

// The centre-top pixel of the bitmap a picture static shows: the chooser's
// mark is green there when chosen and white when not.
COLORREF MarkPixel(HWND picture) {
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (bitmap == NULL) return CLR_INVALID;
  HDC dc = CreateCompatibleDC(NULL);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF colour = GetPixel(dc, 16, 10);
  SelectObject(dc, old);
  DeleteDC(dc);
  return colour;
}
const COLORREF kChosenMark = RGB(40, 150, 60);
const COLORREF kOpenMark = RGB(255, 255, 255);

// Which of the three pictures shows the chosen mark: 0 VCD, 1 SVCD, 2 DVD;
// -1 when none or more than one does.
int MarkedType(HWND chooser) {
  const int pictures[] = {IDC_DISC_TYPE_VCD, IDC_DISC_TYPE_SVCD, IDC_DISC_TYPE_DVD};
  int marked = -1;
  for (int type = 0; type < 3; ++type) {
    COLORREF colour = MarkPixel(GetDlgItem(chooser, pictures[type]));
    if (colour == kChosenMark) {
      if (marked != -1) return -1;
      marked = type;
    } else if (colour != kOpenMark) {
      return -1;
    }
  }
  return marked;
}

void ClickPicture(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Command(HWND window, int id) {
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

std::string IniValue(const std::string& path, const char* section, const char* key) {
  char value[256] = "";
  GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, path.c_str());
  return value;
}

// ---- The list window with its outside calls recorded -------------------------------------

class TestMainDialog : public CreatorMainDialog {
public:
  using CreatorMainDialog::AppendRow;
  using CreatorMainDialog::RefreshTotals;

  std::vector<CString> chosen;  // what the add-files dialog gives
  bool cancelChoice = false;
  int jobRuns = 0;
  int jobFinished = 0;            // the job dialog's "finished" flag
  std::vector<std::string> opened;  // "file|parameters" of every shell open
  INT_PTR firstOpenResult = 42;
  std::string helpPath;
  int homePages = 0;
  int cdInits = 0;
  int cdResult = 0;
  bool realJobDialog = false;  // open the real disc job dialog
  bool realChooser = false;    // open the real "Add video files" dialog

protected:
  BOOL ChooseSourceFiles(std::vector<CString>* paths) override {
    if (realChooser) return CreatorMainDialog::ChooseSourceFiles(paths);
    if (cancelChoice) return FALSE;
    *paths = chosen;
    return TRUE;
  }
  int RunJobDialog() override {
    ++jobRuns;
    return realJobDialog ? CreatorMainDialog::RunJobDialog() : jobFinished;
  }
  INT_PTR ShellOpen(LPCTSTR file, LPCTSTR parameters) override {
    opened.push_back(std::string(file) + "|" + (parameters != NULL ? parameters : ""));
    return opened.size() == 1 ? firstOpenResult : 42;
  }
  void OpenHelp(const CString& path) override { helpPath = static_cast<const char*>(path); }
  void OpenHomePage() override { ++homePages; }
  int InitializeCdWriter() override {
    ++cdInits;
    return cdResult;
  }
};

// Registers the conversion control once, as the installer does.
void RegisterConversionControl() {
  static bool registered = false;
  if (registered) return;
  ASSERT_TRUE(program_test::RegisterConversionControl(ProgramFolder() + "MPEGCreator.dll"));
  registered = true;
}

class ListWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::InitCommonControlsOnce();
    RegisterConversionControl();
    DeleteFileA(ConvertSettings::IniPath());
  }
  void TearDown() override {
    guitest::CancelPending();
    if (dlg_.GetSafeHwnd() != NULL) dlg_.DestroyWindow();
    g_convertSettings = ConvertSettings();
  }

  void Open(int discType) {
    g_convertSettings.discType = discType;
    ASSERT_TRUE(dlg_.Create(CreatorMainDialog::IDD));
    dlg_.ShowWindow(SW_SHOW);
    guitest::PumpPending();
  }
  HWND Window() { return dlg_.GetSafeHwnd(); }
  HWND List() { return GetDlgItem(Window(), IDC_MAIN_LIST); }
  std::string Static(int id) { return guitest::GetText(GetDlgItem(Window(), id)); }

  // Rows as the job dialog reads them, put in by messages.
  void Append(const std::string& path, const std::string& duration) {
    dlg_.AppendRow(path.c_str(), duration.c_str(), "1.00");
  }
  // A click on a row: the list selects it and tells its parent.
  void ClickRow(int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE click = {};
    click.iItem = row;
    Notify(NM_CLICK, &click.hdr);
  }
  void Key(WORD vk) {
    NMLVKEYDOWN key = {};
    key.wVKey = vk;
    Notify(LVN_KEYDOWN, &key.hdr);
  }
  // Tells the window what the list control tells it.
  void Notify(UINT code, NMHDR* header) {
    header->hwndFrom = List();
    header->idFrom = IDC_MAIN_LIST;
    header->code = code;
    SendMessageA(Window(), WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(header));
  }

  TestMainDialog dlg_;
};

// ---- Opening ------------------------------------------------------------------------------

TEST_F(ListWindowTest, OpensForEachDiscTypeWithItsScaleTitleAndCdWriter) {
  struct Case {
    int discType;
    const char* title;
    const char* disc;
    int maximum;
    int cdInits;
  } cases[] = {
      {kDiscTypeDvd, "Zephon DVD Creator", " Disc Type: DVD", 150, 0},
      {kDiscTypeSvcd, "Zephon SVCD Creator", " Disc Type: SVCD", 40, 1},
      {kDiscTypeVcd, "Zephon VCD Creator", " Disc Type: VCD", 90, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    Open(c.discType);
    EXPECT_EQ(c.title, guitest::GetText(Window()));
    EXPECT_EQ(c.disc, Static(IDC_MAIN_DISC_TYPE));
    EXPECT_EQ(" Added 0 file(s)", Static(IDC_MAIN_FILE_COUNT));
    EXPECT_EQ(" Total Duration: 00:00:00.0", Static(IDC_MAIN_TOTAL));
    EXPECT_EQ(c.maximum, dlg_.GetScale().GetMaximum());
    EXPECT_EQ(0, dlg_.GetScale().GetValue());
    EXPECT_EQ(c.cdInits, dlg_.cdInits);
    EXPECT_EQ(-1, dlg_.GetSelectedIndex());
    EXPECT_FALSE(guitest::IsVisible(dlg_.GetScanDialog().GetSafeHwnd())) << "the scanning dialog waits hidden";
    if (c.discType == kDiscTypeSvcd) guitest::SaveScreenshot(Window(), "creator_list_svcd_empty");
    dlg_.DestroyWindow();
    dlg_.cdInits = 0;
  }
}

TEST_F(ListWindowTest, ColumnsSystemMenuAndListStyle) {
  Open(kDiscTypeDvd);
  struct Column {
    const char* heading;
    int width;
  } columns[] = {{"   Source Video Files", 465}, {" Duration", 110}, {"Size(MB)", 90}};
  for (int i = 0; i < 3; ++i) {
    char text[64] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(List(), LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(columns[i].heading, text);
    EXPECT_EQ(columns[i].width, column.cx);
  }
  EXPECT_EQ(1057u, SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 1057u);
  HMENU system = GetSystemMenu(Window(), FALSE);
  char item[64] = "";
  GetMenuStringA(system, IDM_CREATOR_ABOUT, item, sizeof item, MF_BYCOMMAND);
  EXPECT_STREQ("&About Vantrel...", item);
}

// A failing start of the CD-writing library is reported with its text.
TEST_F(ListWindowTest, CdWriterStartFailureIsReported) {
  static std::vector<std::string> boxes;
  boxes.clear();
  SetBurnEngineErrorBox([](const char* text) { boxes.push_back(text); });
  dlg_.cdResult = 7;
  Open(kDiscTypeVcd);
  SetBurnEngineErrorBox(NULL);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(0u, boxes[0].find("error: ")) << boxes[0];
}

// ---- Adding -------------------------------------------------------------------------------

TEST_F(ListWindowTest, AddProbesEveryFileAndRefusesWhatCannotBeRead) {
  if (FixturesDir().empty()) GTEST_SKIP() << "MPEG fixtures not made";
  Open(kDiscTypeSvcd);
  std::string notVideo = ProgramFolder() + "not-a-video.mpg";
  ASSERT_TRUE(WriteText(notVideo, "this is no MPEG stream\n"));
  std::string first = FixturePath("pal-svcd.mpg"), last = FixturePath("ntsc-vcd.mpg");
  dlg_.chosen = {first.c_str(), notVideo.c_str(), last.c_str()};

  CMessageBoxScript boxes;
  bool scanHiddenAtBox = false;
  HWND scan = dlg_.GetScanDialog().GetSafeHwnd();
  boxes.OnBox([&](const CMessageBoxScript::Box&) { scanHiddenAtBox = !IsWindowVisible(scan); });
  Command(Window(), IDC_MAIN_ADD);

  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ(ProbeRefusedText(notVideo), static_cast<const char*>(boxes.LastText()));
  EXPECT_TRUE(scanHiddenAtBox) << "the refusal is not shown over the scanning dialog";
  EXPECT_FALSE(IsWindowVisible(scan));
  EXPECT_TRUE(IsWindowEnabled(Window()));

  EXPECT_EQ((std::vector<std::string>{first, last}), Paths(List()));
  for (int row = 0; row < 2; ++row) {
    double seconds = DurationCellSeconds(Cell(List(), row, kSourceColumnDuration).c_str());
    EXPECT_NEAR(3.0, seconds, 0.25) << Cell(List(), row, kSourceColumnDuration);
    std::string path = row == 0 ? first : last;
    EXPECT_EQ(SizeCellText(GetFileSizeBytes64(path.c_str())), Cell(List(), row, kSourceColumnSize));
  }
  EXPECT_EQ(0, dlg_.GetSelectedIndex());
  EXPECT_EQ(0, SelectedRow(List()));
  EXPECT_EQ(" Added 2 file(s)", Static(IDC_MAIN_FILE_COUNT));
  EXPECT_EQ(TotalDurationText(dlg_.GetTotalSeconds()), Static(IDC_MAIN_TOTAL));
  EXPECT_EQ(0, dlg_.GetScale().GetValue());
  guitest::SaveScreenshot(Window(), "creator_list_two_files");
}

// Answers the "Add video files" dialog as its user does: the folder typed
// into the name field first (the dialog goes there), then the quoted names.
void ChooseInAddDialog(const std::string& folder, const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += "\"" + name + "\" ";
  WhenTopWindow(kAddFilesTitle, [=](HWND dialog) {
    const int kNameFields[] = {0x47C /* cmb13 */, 0x480 /* edt1 */};
    for (int id : kNameFields) SetDlgItemTextA(dialog, id, folder.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    guitest::RunLater(300, [=] {
      for (int id : kNameFields) SetDlgItemTextA(dialog, id, list.c_str());
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
  });
}

// Names of that length in a fresh folder: count copies of the source (or
// empty files without one).
std::vector<std::string> LongNamedFiles(const std::string& folder, int count, size_t length, const std::string& source) {
  FreshFolder(folder);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    std::string name = "clip" + std::to_string(i) + "_";
    name += std::string(length - name.size() - 4, 'x') + ".mpg";
    std::string path = folder + "\\" + name;
    if (source.empty())
      WriteText(path, "");
    else
      CopyFileA(source.c_str(), path.c_str(), FALSE);
    names.push_back(name);
  }
  return names;
}

// Many files chosen at once in the real Add dialog are all probed and
// listed; a choice too long even for its 64 KiB of names is refused with
// the file dialog's message and adds nothing.
TEST_F(ListWindowTest, AddDialogTakesALongSelectionAndSaysWhenOneIsTooLong) {
  if (FixturesDir().empty()) GTEST_SKIP() << "MPEG fixtures not made";
  Open(kDiscTypeSvcd);
  dlg_.realChooser = true;
  std::string folder = ProgramFolder() + "add-many";
  std::vector<std::string> names = LongNamedFiles(folder, 12, 120, FixturePath("pal-svcd.mpg"));
  CMessageBoxScript boxes;
  ChooseInAddDialog(folder, names);
  Command(Window(), IDC_MAIN_ADD);
  EXPECT_EQ(0, boxes.Count()) << boxes.LastText();
  ASSERT_EQ(12, Rows(List()));
  EXPECT_EQ(folder + "\\" + names[11], Cell(List(), 11, kSourceColumnPath));
  EXPECT_EQ(" Added 12 file(s)", Static(IDC_MAIN_FILE_COUNT));

  // Names as long as a path allows, more than 65 536 characters of them.
  std::string more = ProgramFolder() + "add-too-many";
  size_t length = MAX_PATH - 10 - more.size();
  ChooseInAddDialog(more, LongNamedFiles(more, static_cast<int>(65536 / (length + 3) + 5), length, ""));
  Command(Window(), IDC_MAIN_ADD);
  ASSERT_EQ(1, boxes.Count());
  EXPECT_STREQ("Too many files were selected at once.\nPlease select fewer files and try again.", boxes.LastText());
  EXPECT_EQ(12, Rows(List()));
  EXPECT_TRUE(IsWindowEnabled(Window()));
}

TEST_F(ListWindowTest, ScanningDialogShowsTheFileBeingProbed) {
  if (FixturesDir().empty()) GTEST_SKIP() << "MPEG fixtures not made";
  Open(kDiscTypeDvd);
  std::string path = FixturePath("pal-vcd.mpg");
  dlg_.chosen = {path.c_str()};
  // The refusal box of a second, missing file comes while the first is
  // listed: the scanning text then names the missing one.
  std::string missing = ProgramFolder() + "missing.mpg";
  dlg_.chosen.push_back(missing.c_str());
  CMessageBoxScript boxes;
  std::string scanText;
  bool ownerDisabled = false;
  boxes.OnBox([&](const CMessageBoxScript::Box&) {
    scanText = guitest::GetText(GetDlgItem(dlg_.GetScanDialog().GetSafeHwnd(), IDC_SCAN_TEXT));
    ownerDisabled = !IsWindowEnabled(Window());
  });
  Command(Window(), IDC_MAIN_ADD_SMALL);
  EXPECT_EQ(ScanningText(missing), scanText);
  EXPECT_TRUE(ownerDisabled) << "the list window is disabled while probing";
  EXPECT_EQ(1, Rows(List()));
}

TEST_F(ListWindowTest, CancelledOrRefusedAddsLeaveNoSelection) {
  Open(kDiscTypeDvd);
  dlg_.cancelChoice = true;
  Command(Window(), IDC_MAIN_ADD);
  EXPECT_EQ(-1, dlg_.GetSelectedIndex());

  // Only refused files: the list stays empty and nothing is selected, so
  // Remove finds nothing to remove.
  dlg_.cancelChoice = false;
  dlg_.chosen = {(ProgramFolder() + "missing.mpg").c_str()};
  CMessageBoxScript boxes;
  SendMessageA(Window(), WM_COMMAND, ID_LIST_ADD_FILES, 0);
  EXPECT_EQ(1, boxes.Count());
  EXPECT_EQ(0, Rows(List()));
  EXPECT_EQ(-1, dlg_.GetSelectedIndex());
  Command(Window(), IDC_MAIN_REMOVE);
  EXPECT_EQ(1, boxes.Count());
}

// ---- Removing and ordering --------------------------------------------------------------

TEST_F(ListWindowTest, MoveAndRemoveKeepRowsTogetherAndTheSelectionOnThem) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "00:01:00.0");
  Append("B.mpg", "00:02:00.0");
  Append("C.mpg", "00:03:00.0");
  ClickRow(2);
  ASSERT_EQ(2, dlg_.GetSelectedIndex());

  struct Step {
    int command;
    std::vector<std::string> rows;
    int selected;
  } steps[] = {
      {IDC_MAIN_UP, {"A.mpg", "C.mpg", "B.mpg"}, 1},
      {ID_LIST_MOVE_UP, {"C.mpg", "A.mpg", "B.mpg"}, 0},
      {IDC_MAIN_UP, {"C.mpg", "A.mpg", "B.mpg"}, 0},  // already first
      {IDC_MAIN_DOWN, {"A.mpg", "C.mpg", "B.mpg"}, 1},
      {ID_LIST_MOVE_DOWN, {"A.mpg", "B.mpg", "C.mpg"}, 2},
      {IDC_MAIN_DOWN, {"A.mpg", "B.mpg", "C.mpg"}, 2},  // already last
      {IDC_MAIN_REMOVE, {"A.mpg", "B.mpg"}, 1},
      {IDC_MAIN_UP, {"B.mpg", "A.mpg"}, 0},
      {IDC_MAIN_REMOVE_SMALL, {"A.mpg"}, 0},  // the first row: stays on the new first
      {ID_LIST_REMOVE, {}, -1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.command);
    Command(Window(), step.command);
    EXPECT_EQ(step.rows, Paths(List()));
    EXPECT_EQ(step.selected, dlg_.GetSelectedIndex());
    if (step.selected >= 0) EXPECT_EQ(step.selected, SelectedRow(List()));
  }
  // Every moved row carried its duration with it.
  EXPECT_EQ(" Added 0 file(s)", Static(IDC_MAIN_FILE_COUNT));
}

TEST_F(ListWindowTest, MovedRowsKeepTheirCells) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "00:01:00.0");
  Append("B.mpg", "00:02:00.5");
  ClickRow(1);
  Command(Window(), IDC_MAIN_UP);
  EXPECT_EQ("B.mpg", Cell(List(), 0, kSourceColumnPath));
  EXPECT_EQ("00:02:00.5", Cell(List(), 0, kSourceColumnDuration));
  EXPECT_EQ("1.00", Cell(List(), 0, kSourceColumnSize));
  EXPECT_EQ("00:01:00.0", Cell(List(), 1, kSourceColumnDuration));
  EXPECT_DOUBLE_EQ(180.5, dlg_.GetTotalSeconds());
}

TEST_F(ListWindowTest, RemoveAllAsksFirst) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "00:01:00.0");
  Append("B.mpg", "00:02:00.0");
  ClickRow(1);
  CMessageBoxScript boxes;
  boxes.Answer(IDCANCEL);
  Command(Window(), IDC_MAIN_REMOVE_ALL);
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ("Remove all source files?   ", std::string(boxes.LastText()));
  EXPECT_EQ(UINT(MB_OKCANCEL), boxes.Boxes()[0].type & 0xF);
  EXPECT_EQ(2, Rows(List()));

  SendMessageA(Window(), WM_COMMAND, ID_LIST_REMOVE_ALL, 0);  // answered OK
  EXPECT_EQ(2, boxes.Count());
  EXPECT_EQ(0, Rows(List()));
  EXPECT_EQ(-1, dlg_.GetSelectedIndex());
  EXPECT_EQ(" Added 0 file(s)", Static(IDC_MAIN_FILE_COUNT));
  EXPECT_EQ(" Total Duration: 00:00:00.0", Static(IDC_MAIN_TOTAL));
}

TEST_F(ListWindowTest, KeysRemoveAndMoveTheSelection) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "00:01:00.0");
  Append("B.mpg", "00:02:00.0");
  Append("C.mpg", "00:03:00.0");
  ClickRow(0);
  Key(VK_UP);
  EXPECT_EQ(0, dlg_.GetSelectedIndex());
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(2, dlg_.GetSelectedIndex()) << "stays within the list";
  Key(VK_DELETE);
  EXPECT_EQ((std::vector<std::string>{"A.mpg", "B.mpg"}), Paths(List()));
  EXPECT_EQ(1, dlg_.GetSelectedIndex());
}

// ---- Totals, capacity and Run --------------------------------------------------------------

TEST_F(ListWindowTest, RunWarnsOnlyAboveTheDiscLimit) {
  struct Case {
    int discType;
    const char* fits;     // the total that is still quiet
    const char* tooLong;  // one minute more
    int limit;
  } cases[] = {
      {kDiscTypeDvd, "02:00:59.9", "02:01:00.0", 120},
      {kDiscTypeSvcd, "00:35:59.9", "00:36:00.0", 35},
      {kDiscTypeVcd, "01:10:59.9", "01:11:00.0", 70},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limit);
    Open(c.discType);
    CMessageBoxScript boxes;
    Append("A.mpg", c.fits);
    dlg_.RefreshTotals();
    EXPECT_EQ(c.limit, dlg_.GetScale().GetValue());
    Command(Window(), IDC_MAIN_RUN);
    EXPECT_EQ(0, boxes.Count());
    EXPECT_EQ(1, dlg_.jobRuns);

    SendMessageA(List(), LVM_DELETEALLITEMS, 0, 0);
    Append("A.mpg", c.tooLong);
    dlg_.RefreshTotals();
    EXPECT_EQ(c.limit + 1, dlg_.GetScale().GetValue());
    boxes.Answer(IDNO);
    Command(Window(), IDC_MAIN_RUN);
    ASSERT_EQ(1, boxes.Count());
    EXPECT_EQ(TooLongQuestion(c.discType, c.limit + 1), std::string(boxes.LastText()));
    EXPECT_EQ(UINT(MB_YESNO), boxes.Boxes()[0].type & 0xF);
    EXPECT_EQ(1, dlg_.jobRuns) << "No stops before the job";
    boxes.Answer(IDYES);
    Command(Window(), IDC_MAIN_RUN);
    EXPECT_EQ(2, dlg_.jobRuns);
    EXPECT_TRUE(IsWindowVisible(Window())) << "an unfinished job leaves the list window open";
    dlg_.DestroyWindow();
    dlg_.jobRuns = 0;
  }
}

TEST_F(ListWindowTest, RunOnAnEmptyListAsksForFiles) {
  Open(kDiscTypeDvd);
  CMessageBoxScript boxes;
  Command(Window(), IDC_MAIN_RUN);
  EXPECT_EQ("Please add a video file at lease!", std::string(boxes.LastText()));
  EXPECT_EQ(0, dlg_.jobRuns);
}

TEST_F(ListWindowTest, TotalsFollowTheRows) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "01:00:00.0");
  Append("B.mpg", "00:30:30.5");
  ClickRow(1);
  Command(Window(), IDC_MAIN_UP);  // any change refreshes
  EXPECT_EQ(" Added 2 file(s)", Static(IDC_MAIN_FILE_COUNT));
  EXPECT_EQ(" Total Duration: 01:30:30.5", Static(IDC_MAIN_TOTAL));
  EXPECT_EQ(90, dlg_.GetScale().GetValue());
  guitest::SaveScreenshot(Window(), "creator_list_totals");
}

// ---- Play, help, home page, About, the popup menu -----------------------------------------

TEST_F(ListWindowTest, PlayOpensTheFileOrFallsBackToTheMediaPlayer) {
  Open(kDiscTypeDvd);
  Command(Window(), IDC_MAIN_PLAY);
  EXPECT_TRUE(dlg_.opened.empty()) << "nothing selected";
  Append("C:\\videos\\a b.mpg", "00:01:00.0");
  ClickRow(0);
  dlg_.firstOpenResult = 31;  // no application for the file
  Command(Window(), IDC_MAIN_PLAY);
  EXPECT_EQ((std::vector<std::string>{"C:\\videos\\a b.mpg|", "wmplayer.exe|C:\\videos\\a b.mpg"}), dlg_.opened);
  dlg_.opened.clear();
  dlg_.firstOpenResult = 42;
  SendMessageA(Window(), WM_COMMAND, ID_LIST_PLAY, 0);
  EXPECT_EQ((std::vector<std::string>{"C:\\videos\\a b.mpg|"}), dlg_.opened);

  Command(Window(), IDC_MAIN_HELP);
  EXPECT_EQ(ProgramFolder() + "\\help.CHM::./Index.htm", dlg_.helpPath);
  Command(Window(), IDC_MAIN_HOME);
  EXPECT_EQ(1, dlg_.homePages);
}

TEST_F(ListWindowTest, RightClickMenuEnablesWhatTheSelectionAllows) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "00:01:00.0");
  Append("B.mpg", "00:01:00.0");
  SetCursorPos(300, 300);
  struct Seen {
    bool shown = false;
    UINT states[6] = {};
  } seen;
  const UINT ids[6] = {ID_LIST_ADD_FILES, ID_LIST_REMOVE, ID_LIST_REMOVE_ALL, ID_LIST_PLAY, ID_LIST_MOVE_UP,
                       ID_LIST_MOVE_DOWN};
  std::function<void(int)> look = [&](int tries) {
    guitest::RunLater(50, [&, tries] {
      HWND popup = FindWindowA("#32768", NULL);
      if (popup == NULL || !IsWindowVisible(popup)) {
        if (tries > 0) look(tries - 1);
        return;
      }
      seen.shown = true;
      HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
      for (int i = 0; i < 6; ++i) seen.states[i] = GetMenuState(menu, ids[i], MF_BYCOMMAND);
      guitest::SaveScreenScreenshot("creator_list_menu");
      EndMenu();
    });
  };
  look(60);
  ClickRow(1);  // the last row
  NMITEMACTIVATE click = {};
  click.hdr.hwndFrom = List();
  click.hdr.idFrom = IDC_MAIN_LIST;
  click.hdr.code = NM_RCLICK;
  click.iItem = 1;
  SendMessageA(Window(), WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&click));
  ASSERT_TRUE(seen.shown);
  bool enabled[6] = {true, true, true, true, true, false};  // Move Down: already last
  for (int i = 0; i < 6; ++i) EXPECT_EQ(!enabled[i], (seen.states[i] & MF_GRAYED) != 0) << ids[i];
}

TEST_F(ListWindowTest, AboutShowsTitleAndVersion) {
  Open(kDiscTypeDvd);
  SetProgramTitle("Quorbel ");
  std::string appIni = ProgramFolder() + "app.ini";
  WritePrivateProfileStringA("main", "AppVer", "2.4.1-build-77", appIni.c_str());
  std::string version;
  WhenTopWindow("About Quorbel ", [&](HWND about) {
    version = guitest::GetText(GetDlgItem(about, IDC_ABOUT_VERSION));
    guitest::SaveScreenshot(about, "creator_about");
    PostMessageA(about, WM_COMMAND, IDOK, 0);
  });
  SendMessageA(Window(), WM_SYSCOMMAND, IDM_CREATOR_ABOUT, 0);
  EXPECT_EQ("Quorbel 2.4.1-buil", version);
  DeleteFileA(appIni.c_str());
  EXPECT_EQ("Quorbel ", std::string(AboutDialog::VersionLine("Quorbel ", appIni.c_str())));
}

// ---- Closing: a finished job ends the window; the settings are saved ---------------------

TEST_F(ListWindowTest, FinishedJobClosesTheWindowAndSavesTheSettings) {
  g_convertSettings.discType = kDiscTypeSvcd;
  g_convertSettings.tvType = kTvTypePal;
  dlg_.jobFinished = 1;
  WhenTopWindow("Zephon SVCD Creator", [&](HWND window) {
    dlg_.AppendRow("A.mpg", "00:01:00.0", "1.00");
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_RUN, BN_CLICKED), 0);
  });
  EXPECT_EQ(IDOK, dlg_.DoModal());
  EXPECT_EQ(1, dlg_.jobRuns);
  std::string ini = static_cast<const char*>(ConvertSettings::IniPath());
  EXPECT_EQ("1", IniValue(ini, "Vantrel", "DiscType"));
  EXPECT_EQ("1", IniValue(ini, "main", "TVType"));
}

// Run opens the disc job dialog over the list window; cancelled, it
// leaves the list window open with its rows.
TEST_F(ListWindowTest, RunOpensTheJobDialogOverTheList) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "00:01:00.0");
  dlg_.realJobDialog = true;
  CMessageBoxScript boxes;  // whatever the job dialog finds missing is answered
  HWND owner = NULL;
  WhenTopWindow("Start Converting and Burning", [&](HWND job) {
    owner = GetWindow(job, GW_OWNER);
    guitest::SaveScreenshot(job, "creator_job_from_list");
    PostMessageA(job, WM_COMMAND, IDCANCEL, 0);
  });
  Command(Window(), IDC_MAIN_RUN);
  EXPECT_EQ(Window(), owner);
  EXPECT_EQ(1, dlg_.jobRuns);
  EXPECT_TRUE(IsWindow(Window()));
  EXPECT_EQ(1, Rows(List()));
}

TEST_F(ListWindowTest, EnterAndEscapeKeepTheWindowAndItsList) {
  Open(kDiscTypeDvd);
  Append("A.mpg", "00:01:00.0");
  SendMessageA(Window(), WM_COMMAND, IDOK, 0);
  SendMessageA(Window(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_EQ(1, Rows(List()));
}

TEST_F(ListWindowTest, ExitAndCloseEndTheWindow) {
  for (int how = 0; how < 2; ++how) {
    TestMainDialog dialog;
    g_convertSettings.discType = kDiscTypeDvd;
    WhenTopWindow("Zephon DVD Creator", [how](HWND window) {
      if (how == 0) PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_EXIT, BN_CLICKED), 0);
      else PostMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal()) << how;
  }
}

// ---- The scanning dialog ------------------------------------------------------------------

TEST(ScanWaitDialogTest, HiddenUntilShownThenCentredOnItsOwner) {
  guitest::InitCommonControlsOnce();
  HWND owner = guitest::CreateTestWindow("scan owner", 100, 80, 700, 500);
  CWnd ownerWnd;
  ownerWnd.Attach(owner);
  ScanWaitDialog scan(IDD_CREATOR_SCAN_WAIT, IDC_SCAN_TEXT);
  ASSERT_TRUE(scan.CreateHidden(&ownerWnd));
  EXPECT_FALSE(IsWindowVisible(scan.GetSafeHwnd()));
  scan.SetScanText("C:\\videos\\holiday.mpg");
  EXPECT_EQ("Scanning video files, please wait...\n\nC:\\videos\\holiday.mpg",
            guitest::GetText(GetDlgItem(scan.GetSafeHwnd(), IDC_SCAN_TEXT)));
  scan.ShowCentered();
  EXPECT_TRUE(IsWindowVisible(scan.GetSafeHwnd()));
  RECT o, s;
  GetWindowRect(owner, &o);
  GetWindowRect(scan.GetSafeHwnd(), &s);
  EXPECT_NEAR((o.left + o.right) / 2, (s.left + s.right) / 2, 2);
  EXPECT_NEAR((o.top + o.bottom) / 2, (s.top + s.bottom) / 2, 2);
  guitest::SaveScreenshot(scan.GetSafeHwnd(), "creator_scan_wait");
  // Escape does not close it: the list window decides.
  SendMessageA(scan.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(IsWindow(scan.GetSafeHwnd()));
  scan.Hide();
  EXPECT_FALSE(IsWindowVisible(scan.GetSafeHwnd()));
  scan.DestroyWindow();
  ownerWnd.Detach();
  DestroyWindow(owner);
}

// ---- The disc-type chooser ------------------------------------------------------------------

TEST(DiscTypeDialogTest, OpensMarkedAndClicksMoveTheMark) {
  guitest::InitCommonControlsOnce();
  struct Case {
    int start;
    int click;        // picture clicked, 0 for none
    int answer;       // IDOK or IDCANCEL
    int markedAfter;  // the mark after the click
  } cases[] = {
      {kDiscTypeDvd, 0, IDOK, kDiscTypeDvd},
      {kDiscTypeDvd, IDC_DISC_TYPE_VCD, IDOK, kDiscTypeVcd},
      {kDiscTypeVcd, IDC_DISC_TYPE_SVCD, IDOK, kDiscTypeSvcd},
      {kDiscTypeSvcd, IDC_DISC_TYPE_DVD, IDCANCEL, kDiscTypeDvd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.click);
    int discType = c.start;
    int markedAtOpen = -2, markedAfter = -2, typeAfterClick = -2;
    WhenTopWindow("Select Disc Type", [&](HWND chooser) {
      markedAtOpen = MarkedType(chooser);
      if (c.click != 0) ClickPicture(chooser, c.click);
      markedAfter = MarkedType(chooser);
      typeAfterClick = discType;
      if (c.click == IDC_DISC_TYPE_SVCD) guitest::SaveScreenshot(chooser, "creator_disc_type");
      PostMessageA(chooser, WM_COMMAND, c.answer, 0);
    });
    DiscTypeDialog chooser(&discType, kCreatorDiscTypeIds);
    EXPECT_EQ(c.answer, chooser.DoModal());
    EXPECT_EQ(c.start, markedAtOpen);
    EXPECT_EQ(c.markedAfter, markedAfter);
    EXPECT_EQ(c.markedAfter, typeAfterClick);
  }
}

// ---- Start-up -------------------------------------------------------------------------------

// The application as the program runs it, with the filter libraries taken
// from a folder of the test's choice and the windows' outcome recorded.
class TestCreatorApp : public CreatorApp {
public:
  std::string systemFolder = ProgramFolder();  // the stand-in filters lie here
  int directX = 90;  // the prefix's key is other tests' to change
  int mainWindows = 0;
  bool runMainWindow = true;

protected:
  int DirectXVersion() const override { return directX; }
  CString FilterSystemFolder() const override {
    std::string folder = systemFolder;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder.c_str();
  }
  void RunMainWindow() override {
    ++mainWindows;
    if (runMainWindow) CreatorApp::RunMainWindow();
  }
};

class StartUpTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::InitCommonControlsOnce();
    RegisterConversionControl();
    DeleteFileA(ConvertSettings::IniPath());
    g_convertSettings = ConvertSettings();
  }
  void TearDown() override {
    guitest::CancelPending();
    SetEnvironmentVariableA("QUORBEL_FILTER_FAIL", NULL);
    g_convertSettings = ConvertSettings();
    FreeMplexLibrary();
  }
};

TEST_F(StartUpTest, OldDirectXStopsBeforeAnythingIsLoaded) {
  CMessageBoxScript boxes;
  TestCreatorApp app;
  app.directX = 79;
  EXPECT_FALSE(app.InitInstance());
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ("This program needs directX 8.0 or greater to run!   ", std::string(boxes.LastText()));
  EXPECT_EQ(nullptr, MplexEntry());
  EXPECT_EQ(0, app.skinLoaded);
  EXPECT_EQ(0, app.mainWindows);
  app.ExitInstance();
}

TEST_F(StartUpTest, MissingFilterStopsBeforeTheMultiplexer) {
  std::string empty = ProgramFolder() + "no-filters";
  CreateDirectoryA(empty.c_str(), NULL);
  CMessageBoxScript boxes;
  TestCreatorApp app;
  app.systemFolder = empty;
  EXPECT_FALSE(app.InitInstance());
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ("LoadLibrary:" + empty + "\\MPEGFilter.dll failed!", std::string(boxes.LastText()));
  EXPECT_EQ(nullptr, MplexEntry()) << "muxTools is not loaded after a failed filter";
  EXPECT_EQ(0, app.mainWindows);
  app.ExitInstance();
}

TEST_F(StartUpTest, FilterThatRefusesToRegisterStopsTheProgram) {
  SetEnvironmentVariableA("QUORBEL_FILTER_FAIL", "DVDEncoder");
  CMessageBoxScript boxes;
  TestCreatorApp app;
  EXPECT_FALSE(app.InitInstance());
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ("DllRegisterServer failed:" + ProgramFolder() + "DVDEncoder.dll", std::string(boxes.LastText()));
  EXPECT_EQ(nullptr, MplexEntry());
  app.ExitInstance();
}

// Two starts of the program: the first chooses SVCD and closes the list
// window, which saves the settings; the second opens the chooser with SVCD
// marked and is cancelled, which saves nothing and opens no list window.
TEST_F(StartUpTest, ChosenDiscTypeIsKeptForTheNextStart) {
  std::string ini = static_cast<const char*>(ConvertSettings::IniPath());
  static std::vector<std::string> cdBoxes;
  cdBoxes.clear();
  SetBurnEngineErrorBox([](const char* text) { cdBoxes.push_back(text); });
  {
    CMessageBoxScript boxes;
    TestCreatorApp app;
    int markedAtOpen = -2;
    std::string mainTitle;
    WhenTopWindow("Select Disc Type", [&](HWND chooser) {
      markedAtOpen = MarkedType(chooser);  // no settings file: DVD
      ClickPicture(chooser, IDC_DISC_TYPE_SVCD);
      PostMessageA(chooser, WM_COMMAND, IDOK, 0);
      WhenTopWindow("Zephon SVCD Creator", [&](HWND window) {
        mainTitle = guitest::GetText(window);
        guitest::SaveScreenshot(window, "creator_started_svcd");
        PostMessageA(window, WM_CLOSE, 0, 0);
      });
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(kDiscTypeDvd, markedAtOpen);
    EXPECT_EQ("Zephon SVCD Creator", mainTitle);
    EXPECT_EQ(1, app.mainWindows);
    EXPECT_EQ("Zephon SVCD Creator ", std::string(GetProgramTitle()));
    EXPECT_NE(nullptr, MplexEntry());
    EXPECT_EQ(1, app.skinLoaded);
    EXPECT_EQ(0, boxes.Count()) << boxes.LastText();
    EXPECT_TRUE(cdBoxes.empty()) << "the CD-writing library started";
    app.ExitInstance();
    EXPECT_EQ(0, app.skinLoaded);
    EXPECT_EQ("1", IniValue(ini, "Vantrel", "DiscType"));
  }
  g_convertSettings = ConvertSettings();
  {
    TestCreatorApp app;
    int markedAtOpen = -2;
    WhenTopWindow("Select Disc Type", [&](HWND chooser) {
      markedAtOpen = MarkedType(chooser);
      ClickPicture(chooser, IDC_DISC_TYPE_VCD);
      PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(app.InitInstance());
    app.ExitInstance();
    EXPECT_EQ(kDiscTypeSvcd, markedAtOpen);
    EXPECT_EQ(0, app.mainWindows) << "Cancel ends the program before the list window";
    EXPECT_EQ("1", IniValue(ini, "Vantrel", "DiscType")) << "the cancelled choice is not saved";
  }
  SetBurnEngineErrorBox(NULL);
}

}  // namespace

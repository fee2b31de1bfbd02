// The burner's main window in real windows: the list by disc type, MPEG
// files judged by CdScribe's video scanner (ffmpeg fixtures), refusals,
// the list commands and their menu states, Play, and what Burn asks.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <string>

#include "burner/burner_app.h"
#include "burner/burner_rules.h"
#include "burner/tests/burner_test_util.h"
#include "controls/hyperlink_static.h"
#include "standins/calls/cdscribe_calls.h"

using namespace burner_test;

namespace {

// CdScribe's calls are traced into the test's folder (the library reads
// the setting once, so it is set before the first test).
std::string TracePath() { return standin_test::CurrentFolder() + "trace\\CdScribe.trace"; }
const bool g_traceSet = [] {
  std::string folder = standin_test::CurrentFolder() + "trace";
  CreateDirectoryA(folder.c_str(), NULL);
  DeleteFileA(TracePath().c_str());
  return SetEnvironmentVariableA("QUORBEL_TRACE_DIR", folder.c_str()) != FALSE;
}();

size_t CountInTrace(const std::string& text) {
  std::string trace;
  test_support::ReadWhole(TracePath(), &trace);
  size_t count = 0;
  for (size_t at = trace.find(text); at != std::string::npos; at = trace.find(text, at + 1)) ++count;
  return count;
}

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override { guitest::InitCommonControlsOnce(); }
  void Open(int discType) {
    g_burnSettings.Reset();
    g_burnSettings.discType = discType;
    SetBurnerTitle(burner::AppTitleFor(discType));
    dialog.reset(new TestMainDialog);
    ASSERT_TRUE(dialog->Open());
    dialog->ShowWindow(SW_SHOW);
    guitest::PumpPending();
  }
  void TearDown() override {
    guitest::CancelPending();
    if (dialog && dialog->m_hWnd != NULL) dialog->DestroyWindow();
    dialog.reset();
    guitest::PumpPending();
  }
  HWND Item(int id) { return ::GetDlgItem(dialog->m_hWnd, id); }
  std::string Text(int id) { return guitest::GetText(Item(id)); }
  std::string Cell(int row, int column) {
    return static_cast<const char*>(dialog->GetList().GetItemText(row, column));
  }
  int Rows() { return dialog->GetList().GetItemCount(); }
  // Adds one MPEG file through the scanner and waits for its verdict.
  void AddScanned(const std::string& path) {
    dialog->choices.push_back({path});
    int rowsBefore = Rows();
    dialog->AddFiles();
    ASSERT_TRUE(guitest::IsVisible(dialog->GetScanDialog().m_hWnd));
    ASSERT_TRUE(guitest::PumpUntil([&] { return !guitest::IsVisible(dialog->GetScanDialog().m_hWnd); }, 30000));
    guitest::PumpPending();
    (void)rowsBefore;
  }
  void ClickRow(int row) {
    dialog->GetList().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    NMHDR header = {Item(IDC_MAIN_LIST), IDC_MAIN_LIST, static_cast<UINT>(NM_CLICK)};
    SendMessageA(dialog->m_hWnd, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&header));
  }
  void RightClick() {
    NMHDR header = {Item(IDC_MAIN_LIST), IDC_MAIN_LIST, static_cast<UINT>(NM_RCLICK)};
    SendMessageA(dialog->m_hWnd, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&header));
  }

  std::unique_ptr<TestMainDialog> dialog;
};

TEST_F(MainWindowTest, OpensWithTheTextsAndColumnsOfItsDiscType) {
  struct Row {
    int type;
    const char* typeText;
    int columns;
  } rows[] = {{0, " Disc Type: VCD", 5}, {1, " Disc Type: SVCD", 5}, {2, " Disc Type: DVD", 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    Open(r.type);
    EXPECT_EQ(guitest::GetText(dialog->m_hWnd), burner::AppTitleFor(r.type));
    EXPECT_EQ(Text(IDC_MAIN_DISC_TYPE), r.typeText);
    EXPECT_EQ(Text(IDC_MAIN_HINT), burner::AddFilesHint(r.type));
    EXPECT_EQ(Text(IDC_MAIN_STATUS), " 0 file(s), Size: 0.0MB");
    HWND header = reinterpret_cast<HWND>(SendMessageA(Item(IDC_MAIN_LIST), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), r.columns);
    EXPECT_EQ(dialog->GetScale().GetMaximum(), r.type == 2 ? 4800 : 750);
    EXPECT_FALSE(guitest::IsVisible(Item(IDC_MAIN_TOOLKIT)));
    TearDown();
  }
}

// Each button of the top row shows its caption on one line beside its
// 32-pixel icon (margins of 3 around it), neither wrapped nor over the icon.
TEST_F(MainWindowTest, TopRowCaptionsFitBesideTheirIcons) {
  Open(0);
  for (int id : {IDC_MAIN_ADD, IDC_MAIN_REMOVE, IDC_MAIN_BURN, IDC_MAIN_HOME, IDC_MAIN_HELP, IDC_MAIN_ABOUT,
                 IDC_MAIN_EXIT}) {
    SCOPED_TRACE(Text(id));
    RECT client;
    GetClientRect(Item(id), &client);
    HDC dc = GetDC(Item(id));
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(Item(id), WM_GETFONT, 0, 0)));
    SIZE text = {};
    std::string caption = Text(id);
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(Item(id), dc);
    EXPECT_LE(3 + 32 + 3 + text.cx, client.right);
  }
}

TEST_F(MainWindowTest, ScannedVcdFilesAreListedAndOthersRefused) {
  std::string vcd = FixturePath("pal-vcd.mpg");
  std::string svcd = FixturePath("pal-svcd.mpg");
  ASSERT_FALSE(vcd.empty());
  Open(0);
  AddScanned(vcd);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), vcd);
  EXPECT_EQ(Cell(0, 2), "352X288");
  EXPECT_EQ(Cell(0, 3), "25.00fps");
  EXPECT_NE(Cell(0, 4).find("Kbits/s"), std::string::npos);
  long long size = standin_test::ReadBytes(vcd).size();
  EXPECT_EQ(Cell(0, 1), burner::SizeMBText(static_cast<double>(size)));
  EXPECT_EQ(Text(IDC_MAIN_STATUS), burner::ListStatusText(1, static_cast<double>(size)));
  EXPECT_EQ(dialog->GetSelectedRow(), 0);
  EXPECT_EQ(dialog->GetScanDialog().GetProgress(), 0);
  guitest::SaveScreenshot(dialog->m_hWnd, "burner_main_vcd");

  // An SVCD stream does not fit a VCD: the invalid-file dialog names it
  // and the list stays as it was.
  std::string invalidText;
  guitest::RunLater(200, [&] {
    HWND invalid = guitest::FindTopWindow("Invalid MPEG file");
    if (invalid == NULL) return;
    invalidText = guitest::GetText(GetDlgItem(invalid, IDC_INVALID_TEXT));
    guitest::SaveScreenshot(invalid, "burner_invalid_mpeg");
    guitest::PostCommand(invalid, IDOK);
  });
  dialog->choices.push_back({svcd});
  dialog->AddFiles();
  ASSERT_TRUE(guitest::PumpUntil([&] { return !invalidText.empty(); }, 30000));
  guitest::PumpPending();
  EXPECT_EQ(invalidText, burner::InvalidFileText(0, svcd.c_str()));
  EXPECT_EQ(Rows(), 1);

  // A file that is no MPEG stream at all is refused the same way.
  std::string junk = MakeSizedFile("junk.mpg", 5000);
  invalidText.clear();
  guitest::RunLater(200, [&] {
    HWND invalid = guitest::FindTopWindow("Invalid MPEG file");
    if (invalid == NULL) return;
    invalidText = guitest::GetText(GetDlgItem(invalid, IDC_INVALID_TEXT));
    guitest::PostCommand(invalid, IDOK);
  });
  dialog->choices.push_back({junk});
  dialog->AddFiles();
  ASSERT_TRUE(guitest::PumpUntil([&] { return !invalidText.empty(); }, 30000));
  EXPECT_EQ(Rows(), 1);

  // Cancelling the file dialog leaves the list as it is.
  dialog->choices.push_back({});
  dialog->AddFiles();
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(dialog->GetSelectedRow(), 0);
}

TEST_F(MainWindowTest, SvcdListsSvcdStreams) {
  Open(1);
  AddScanned(FixturePath("ntsc-svcd.mpg"));
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 2), "480X480");
  EXPECT_EQ(Cell(0, 3), "29.97fps");
}

TEST_F(MainWindowTest, MoveRemoveAndMenusKeepRowsAndSelectionTogether) {
  Open(0);
  std::string a = CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg");
  std::string b = CopyFixture(FixturePath("ntsc-vcd.mpg"), "b.mpg");
  std::string c = CopyFixture(FixturePath("pal-vcd.mpg"), "c.mpg");
  AddScanned(a);
  AddScanned(b);
  AddScanned(c);
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(dialog->GetSelectedRow(), 2);

  // Context menu on the last row: Move Down closed, the others open.
  RightClick();
  EXPECT_TRUE(MenuItemEnabled(*dialog, ID_LIST_MOVE_UP));
  EXPECT_FALSE(MenuItemEnabled(*dialog, ID_LIST_MOVE_DOWN));
  EXPECT_TRUE(MenuItemEnabled(*dialog, ID_LIST_PLAY));

  // Move the last row up through the menu: it keeps its texts and stays selected.
  std::string resolutionOfC = Cell(2, 2);
  dialog->menuChoice = ID_LIST_MOVE_UP;
  RightClick();
  guitest::PumpPending();
  dialog->menuChoice = 0;
  EXPECT_EQ(Cell(1, 0), c);
  EXPECT_EQ(Cell(1, 2), resolutionOfC);
  EXPECT_EQ(Cell(2, 0), b);
  EXPECT_EQ(dialog->GetSelectedRow(), 1);

  ClickRow(0);
  RightClick();
  EXPECT_FALSE(MenuItemEnabled(*dialog, ID_LIST_MOVE_UP));
  guitest::Click(Item(IDC_MAIN_UP));  // nothing above the first row
  EXPECT_EQ(Cell(0, 0), a);
  guitest::Click(Item(IDC_MAIN_DOWN));
  EXPECT_EQ(Cell(1, 0), a);
  EXPECT_EQ(Cell(0, 0), c);

  // Delete removes the selected row; the one above is selected.
  double before = dialog->GetTotalBytes();
  NMLVKEYDOWN key = {{Item(IDC_MAIN_LIST), IDC_MAIN_LIST, static_cast<UINT>(LVN_KEYDOWN)}, VK_DELETE, 0};
  SendMessageA(dialog->m_hWnd, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&key));
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), c);
  EXPECT_EQ(Cell(1, 0), b);
  EXPECT_EQ(dialog->GetSelectedRow(), 0);
  EXPECT_EQ(dialog->GetFileCount(), 2);
  EXPECT_LT(dialog->GetTotalBytes(), before);

  // Play opens the file; when the shell cannot, the media player gets it.
  guitest::Click(Item(IDC_MAIN_PLAY));
  ASSERT_EQ(dialog->opened.size(), 1u);
  EXPECT_EQ(dialog->opened[0], c + "|");
  dialog->openResult = 2;
  guitest::Click(Item(IDC_MAIN_PLAY));
  ASSERT_EQ(dialog->opened.size(), 3u);
  EXPECT_EQ(dialog->opened[2], "wmplayer.exe|\"" + c + "\"");

  // Remove all asks first; No keeps the list, Yes empties it.
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDNO);
    guitest::Click(Item(IDC_MAIN_REMOVE_ALL));
    EXPECT_EQ(boxes.LastText(), "Do you want to remove all files from list?");
    EXPECT_EQ(Rows(), 2);
    boxes.Answer(IDYES);
    guitest::Click(Item(IDC_MAIN_REMOVE_ALL));
  }
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(dialog->GetSelectedRow(), -1);
  EXPECT_EQ(Text(IDC_MAIN_STATUS), " 0 file(s), Size: 0.0MB");
  EXPECT_EQ(dialog->GetScale().GetValue(), 0);

  // An empty list closes every command but Add.
  RightClick();
  EXPECT_TRUE(MenuItemEnabled(*dialog, ID_LIST_ADD_FILES));
  EXPECT_FALSE(MenuItemEnabled(*dialog, ID_LIST_REMOVE));
  EXPECT_FALSE(MenuItemEnabled(*dialog, ID_LIST_REMOVE_ALL));
  EXPECT_FALSE(MenuItemEnabled(*dialog, ID_LIST_PLAY));
  // The Toolkit menu's first entry is closed too.
  guitest::Click(Item(IDC_MAIN_TOOLKIT));
  ASSERT_FALSE(dialog->menuItems.empty());
  EXPECT_FALSE(dialog->menuItems[0].second);
}

TEST_F(MainWindowTest, DvdTakesVobFilesAsTheyAreAndAsksAboveTheDiscSize) {
  Open(2);
  std::string small = MakeSizedFile("a.vob", 3 * 1048576);
  std::string full = MakeSizedFile("b.vob", 4297LL * 1048576);
  dialog->choices.push_back({small, full});
  dialog->AddFiles();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), small);
  EXPECT_EQ(Cell(0, 1), "3.0");
  EXPECT_EQ(dialog->GetSelectedRow(), 1);
  EXPECT_EQ(dialog->GetScale().GetValue(), 4300);
  guitest::SaveScreenshot(dialog->m_hWnd, "burner_main_dvd");

  // 4300 MB: no question, the burn dialog opens; not burned: the list stays.
  dialog->burnDialog = [] { return 0; };
  {
    CMessageBoxScript boxes;
    guitest::Click(Item(IDC_MAIN_BURN));
    EXPECT_EQ(boxes.Count(), 0);
  }
  EXPECT_EQ(dialog->burnDialogRuns, 1);
  EXPECT_EQ(Rows(), 2);

  // 4301 MB: asked first; No stays here.
  std::string more = MakeSizedFile("c.vob", 1048576);
  dialog->choices.push_back({more});
  dialog->AddFiles();
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDNO);
    guitest::Click(Item(IDC_MAIN_BURN));
    EXPECT_EQ(boxes.LastText(), burner::OversizeQuestion(2));
  }
  EXPECT_EQ(dialog->burnDialogRuns, 1);

  // A burn that began ends the program's window.
  dialog->burnDialog = [] { return 1; };
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDYES);
    guitest::Click(Item(IDC_MAIN_BURN));
  }
  EXPECT_EQ(dialog->burnDialogRuns, 2);
  EXPECT_FALSE(IsWindowVisible(dialog->m_hWnd));
}

TEST_F(MainWindowTest, RemovingEmptiesTheLibrarysProjectAndAnUnburnedDialogLeavesAFreshOne) {
  ASSERT_TRUE(g_traceSet);
  Open(0);
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "b.mpg"));
  size_t clears = CountInTrace("ClearAll()");
  guitest::Click(Item(IDC_MAIN_REMOVE));
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(CountInTrace("ClearAll()"), clears + 1);

  size_t deletes = CountInTrace("DeleteProject()");
  size_t creates = CountInTrace("CreateProject(3)");
  dialog->burnDialog = [] { return 0; };
  CMessageBoxScript boxes;
  guitest::Click(Item(IDC_MAIN_BURN));
  EXPECT_EQ(CountInTrace("DeleteProject()"), deletes + 2);
  EXPECT_EQ(CountInTrace("CreateProject(3)"), creates + 1);
  // The list stays, and the new project takes files again.
  EXPECT_EQ(Rows(), 1);
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "c.mpg"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(boxes.Count(), 0) << boxes.LastText();
}

TEST_F(MainWindowTest, AboutHomeAndTheSystemMenu) {
  WritePrivateProfileStringA("main", "AppVer", "1.23456789012", (ProgramFolder() + "app.ini").c_str());
  Open(1);
  char item[64] = "";
  GetMenuStringA(GetSystemMenu(dialog->m_hWnd, FALSE), 16, item, sizeof item, MF_BYCOMMAND);
  EXPECT_STREQ(item, "&About Pelzor...");

  std::string version;
  guitest::RunLater(100, [&] {
    HWND about = guitest::FindTopWindow("About Zephon SVCD Burner ");
    if (about == NULL) return;
    version = guitest::GetText(GetDlgItem(about, IDC_ABOUT_VERSION));
    guitest::PostCommand(about, IDOK);
  });
  guitest::Click(Item(IDC_MAIN_ABOUT));
  EXPECT_EQ(version, "Zephon SVCD Burner 1.23456789");  // ten characters of the version

  // The system menu's item opens the same box.
  version.clear();
  guitest::RunLater(100, [&] {
    HWND about = guitest::FindTopWindow("About Zephon SVCD Burner ");
    if (about == NULL) return;
    version = "seen";
    guitest::PostCommand(about, IDOK);
  });
  SendMessageA(dialog->m_hWnd, WM_SYSCOMMAND, 16, 0);
  EXPECT_EQ(version, "seen");

  std::string opened;
  HyperLinkStatic::Launcher launcher;
  launcher.shellOpen = [&](const std::string& url, int) {
    opened = url;
    return 42;
  };
  launcher.runCommand = [&](const std::string& command, int) {
    opened = command;
    return 42;
  };
  HyperLinkStatic::SetLauncher(launcher);
  // Web pages open in the registered browser (the prefix's own put back).
  char oldHtm[256] = "";
  LONG oldSize = sizeof oldHtm;
  bool hadHtm = RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", oldHtm, &oldSize) == ERROR_SUCCESS;
  RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "BurnerTest.Page", 15);
  RegSetValueA(HKEY_CLASSES_ROOT, "BurnerTest.Page\\shell\\open\\command", REG_SZ, "browser.exe %1", 14);
  guitest::Click(Item(IDC_MAIN_HOME));
  HyperLinkStatic::ResetLauncher();
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "BurnerTest.Page");
  if (hadHtm)
    RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, oldHtm, static_cast<DWORD>(strlen(oldHtm)));
  else
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
  EXPECT_NE(opened.find(kBurnerHomePage), std::string::npos) << opened;
  DeleteFileA((ProgramFolder() + "app.ini").c_str());
}

TEST_F(MainWindowTest, BurnWithAnEmptyListSaysSo) {
  Open(0);
  CMessageBoxScript boxes;
  guitest::Click(Item(IDC_MAIN_BURN));
  EXPECT_EQ(boxes.LastText(), "Plase add a mpeg file at least!");
  EXPECT_EQ(dialog->burnDialogRuns, 0);
}

// The DVD chooser takes many VOB files at once into a buffer of about a
// thousand characters. A selection that fits is added whole; one that
// passes the buffer is reported and adds nothing, the list keeping its
// rows. The system's own dialog is answered from inside its loop: first
// the folder, then the names typed into its name field.
TEST_F(MainWindowTest, AChoiceOfFilesLargerThanTheChoosersBufferIsReportedAndAddsNothing) {
  std::string folder = standin_test::CurrentFolder() + "chooser";
  CreateDirectoryA(folder.c_str(), NULL);
  auto name = [](int i) { return "a_vob_file_with_a_name_long_enough_" + std::to_string(i) + ".vob"; };
  for (int i = 0; i < 40; ++i) MakeSizedFile("chooser\\" + name(i), 2048);
  struct Case {
    const char* what;
    int files;
    int rowsAdded;
    const char* box;  // "" for none
  } cases[] = {
      {"fits", 3, 3, ""},
      {"passes the buffer", 40, 0, "Too many files were selected at once.\nPlease select fewer files and try again."},
  };
  Open(2);
  dialog->systemChooser = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string names;
    for (int i = 0; i < c.files; ++i) names += "\"" + name(i) + "\" ";
    int rowsBefore = Rows();
    bool answered = false;
    guitest::RunLater(1, [&] {
      HWND chooser = guitest::WaitForTopWindow("Add VOB files", 20000);
      if (chooser == NULL) return;
      auto type = [&](const std::string& text) {
        SetDlgItemTextA(chooser, edt1, text.c_str());
        SetDlgItemTextA(chooser, cmb13, text.c_str());
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(chooser, IDOK));
      };
      auto inFolder = [&] {
        char path[MAX_PATH] = "";
        SendMessageA(chooser, CDM_GETFOLDERPATH, sizeof path, reinterpret_cast<LPARAM>(path));
        return lstrcmpiA(path, folder.c_str()) == 0;
      };
      if (!inFolder()) {
        type(folder);
        if (!guitest::PumpUntil(inFolder, 20000)) return;
      }
      type(names);
      answered = true;
    });
    CMessageBoxScript boxes;
    dialog->AddFiles();
    guitest::CancelPending();
    ASSERT_TRUE(answered);
    EXPECT_EQ(rowsBefore + c.rowsAdded, Rows());
    EXPECT_EQ(c.box, std::string(boxes.LastText()));
    if (c.rowsAdded > 0) EXPECT_NE(std::string::npos, Cell(Rows() - 1, 0).find(name(c.files - 1)));
  }
}

}  // namespace

// The extended file dialog, driven from inside the running system dialog
// (its OnInitDone posts the answer): the record size and places bar, the
// cancel result, the name buffer, multiple selection, and a selection too
// large for the buffer, which is reported instead of yielding nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cderr.h>
#include <dlgs.h>

#include <cstdio>
#include <functional>
#include <string>

#include "controls/file_dialog_ex.h"
#include "controls/tests/control_test_support.h"

namespace {

class ScriptedFileDialog : public CFileDialogEx {
public:
  using CFileDialogEx::CFileDialogEx;

  BOOL useExtended = TRUE;
  std::function<void(ScriptedFileDialog&)> script;  // run from OnInitDone
  bool initDone = false;
  bool placesBar = false;
  bool ownerEnabledWhileOpen = true;
  DWORD baseSizeSeen = 0;
  HWND owner = NULL;

  // Answers the running dialog: the names typed into its name field, then OK.
  void Choose(const std::string& names) {
    SetControlText(edt1, names.c_str());
    SetControlText(cmb13, names.c_str());
    Post(IDOK);
  }
  void Post(int id) {
    ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, id)));
  }

protected:
  BOOL IsWindows2000OrLater() const override { return useExtended; }
  void OnInitDone() override {
    CFileDialogEx::OnInitDone();
    initDone = true;
    HWND bar = ::GetDlgItem(m_hWnd, ctl1);
    // The dialog itself is not shown yet: ask for the bar's own style.
    placesBar = bar != NULL && (::GetWindowLongPtrA(bar, GWL_STYLE) & WS_VISIBLE) != 0;
    baseSizeSeen = m_ofn.lStructSize;
    if (owner != NULL) ownerEnabledWhileOpen = ::IsWindowEnabled(owner) != FALSE;
    if (script) script(*this);
  }
};

class FileDialogExTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The dialog moves the current directory to the chosen folder.
    static const std::string start = [] {
      char cwd[MAX_PATH];
      ::GetCurrentDirectoryA(MAX_PATH, cwd);
      return std::string(cwd);
    }();
    folder_ = start + "\\dialog_files";
    ::CreateDirectoryA(folder_.c_str(), NULL);
    for (const char* name : {"first.mpg", "second.mpg", "third.mpg", "a_rather_long_name_of_a_clip.mpg",
                             "another_rather_long_name.mpg"}) {
      FILE* f = std::fopen((folder_ + "\\" + name).c_str(), "wb");
      ASSERT_NE(f, nullptr);
      std::fputs("data", f);
      std::fclose(f);
    }
  }
  void TearDown() override { guitest::CancelPending(); }

  void Prepare(ScriptedFileDialog& dialog) { dialog.m_ofn.lpstrInitialDir = folder_.c_str(); }

  std::string folder_;
};

TEST_F(FileDialogExTest, RunsWithTheExtendedRecordAndReturnsCancel) {
  CWnd owner;
  LPCTSTR cls = AfxRegisterWndClass(0, NULL, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  ASSERT_TRUE(owner.CreateEx(0, cls, "File dialog owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30,
                             30, 300, 200, NULL, NULL));
  ScriptedFileDialog dialog(TRUE, "mpg", "start", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                            "MPEG files (*.mpg)|*.mpg|All files (*.*)|*.*||", &owner);
  Prepare(dialog);
  dialog.owner = owner.GetSafeHwnd();
  // Whatever follows the initial name must not survive as further names.
  char* buffer = dialog.m_ofn.lpstrFile;
  std::memcpy(buffer + 6, "junk\0more", 10);
  dialog.script = [](ScriptedFileDialog& d) {
    guitest::RunLater(300, [&d] {
      guitest::SaveScreenScreenshot("file_dialog_ex");
      d.Post(IDCANCEL);
    });
  };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(dialog.initDone);
  EXPECT_EQ(dialog.GetRecordSizeUsed(), sizeof(OPENFILENAMEA));
  EXPECT_TRUE(dialog.placesBar);
  // The framework's handlers saw the base record.
  EXPECT_EQ(dialog.baseSizeSeen, static_cast<DWORD>(QUORBEL_OFN_BASE_SIZE));
  EXPECT_EQ(dialog.m_ofn.lStructSize, static_cast<DWORD>(QUORBEL_OFN_BASE_SIZE));
  EXPECT_EQ(dialog.GetError(), 0u);
  EXPECT_FALSE(dialog.ownerEnabledWhileOpen);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_STREQ(buffer, "start");
  for (int i = 6; i < 16; ++i) EXPECT_EQ(buffer[i], '\0') << i;
  owner.DestroyWindow();
}

TEST_F(FileDialogExTest, OlderSystemsGetTheBaseRecordWithoutPlacesBar) {
  ScriptedFileDialog dialog(TRUE, NULL, NULL, OFN_HIDEREADONLY, "All files (*.*)|*.*||");
  Prepare(dialog);
  dialog.useExtended = FALSE;
  dialog.script = [](ScriptedFileDialog& d) { d.Post(IDCANCEL); };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(dialog.initDone);
  EXPECT_EQ(dialog.GetRecordSizeUsed(), static_cast<DWORD>(QUORBEL_OFN_BASE_SIZE));
  EXPECT_FALSE(dialog.placesBar);
}

TEST_F(FileDialogExTest, ReturnsTheChosenFileAndSeveralFilesOfAMultipleSelection) {
  ScriptedFileDialog single(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "All files (*.*)|*.*||");
  Prepare(single);
  single.script = [](ScriptedFileDialog& d) { d.Choose("second.mpg"); };
  ASSERT_EQ(single.DoModal(), IDOK);
  EXPECT_STRCASEEQ(single.GetPathName(), (folder_ + "\\second.mpg").c_str());

  ScriptedFileDialog multiple(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT,
                              "All files (*.*)|*.*||");
  Prepare(multiple);
  multiple.script = [](ScriptedFileDialog& d) { d.Choose("\"first.mpg\" \"third.mpg\""); };
  ASSERT_EQ(multiple.DoModal(), IDOK);
  std::vector<std::string> names;
  for (POSITION pos = multiple.GetStartPosition(); pos != NULL;)
    names.push_back(static_cast<LPCTSTR>(multiple.GetNextPathName(pos)));
  ASSERT_EQ(names.size(), 2u);
  EXPECT_STRCASEEQ(names[0].c_str(), (folder_ + "\\first.mpg").c_str());
  EXPECT_STRCASEEQ(names[1].c_str(), (folder_ + "\\third.mpg").c_str());
}

TEST_F(FileDialogExTest, ASelectionTooLargeForTheBufferIsReported) {
  CMessageBoxScript boxes;
  ScriptedFileDialog dialog(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT,
                            "All files (*.*)|*.*||");
  Prepare(dialog);
  char small[40] = "";
  dialog.m_ofn.lpstrFile = small;
  dialog.m_ofn.nMaxFile = sizeof(small);
  dialog.script = [](ScriptedFileDialog& d) {
    d.Choose("\"a_rather_long_name_of_a_clip.mpg\" \"another_rather_long_name.mpg\"");
  };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.GetError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_NE(boxes.LastText().Find("Too many files"), -1);
  EXPECT_NE(boxes.Boxes()[0].type & MB_ICONEXCLAMATION, 0u);

  // A cancel is no failure and says nothing.
  ScriptedFileDialog cancelled(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT, "All files (*.*)|*.*||");
  Prepare(cancelled);
  cancelled.script = [](ScriptedFileDialog& d) { d.Post(IDCANCEL); };
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.GetError(), 0u);
  EXPECT_EQ(boxes.Count(), 1);
}

TEST(FileDialogExVersionTest, TheRunningSystemIsTwoThousandOrLater) {
  // Wine reports a current NT-family system.
  EXPECT_TRUE(CFileDialogEx::QueryWindows2000OrLater());
}

}  // namespace

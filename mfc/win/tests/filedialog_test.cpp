// CFileDialog: the hook attaches the object to the running explorer-style
// dialog and its notifications reach the virtuals; the dialog is driven
// from them by messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace {

// The file name field of the explorer-style dialog (a combo box in newer
// systems, an edit in older ones).
const int kFileNameCombo = 0x47C;  // cmb13
const int kFileNameEdit = 0x480;   // edt1

std::string WorkDir() {
  char dir[MAX_PATH] = "";
  ::GetCurrentDirectoryA(MAX_PATH, dir);
  return dir;
}

class ScriptedFileDialog : public CFileDialog {
public:
  using CFileDialog::CFileDialog;
  std::vector<std::string> events;
  bool attachedDuringInit = false;
  bool hookChildIsChild = false;
  std::string folderAtInit;
  // What to do once the dialog is up: type a name and press OK, or cancel.
  std::vector<std::string> namesToEnter;
  int okCount = 0;

protected:
  void OnInitDone() override {
    events.push_back("initdone");
    attachedDuringInit = m_hWnd != NULL && CWnd::FromHandlePermanent(m_hWnd) == this;
    hookChildIsChild = m_hWndHookChild != NULL && ::GetParent(m_hWndHookChild) == m_hWnd;
    folderAtInit = GetFolderPath().GetString();
    NextStep();
  }
  void OnFolderChange() override {
    events.push_back("folder:" + std::string(GetFolderPath().GetString()));
  }
  void OnFileNameChange() override { events.push_back("selchange"); }
  void OnTypeChange() override { events.push_back("type"); }
  BOOL OnFileNameOK() override {
    events.push_back("fileok:" + std::string(GetPathName().GetString()));
    return FALSE;  // accept
  }

private:
  void NextStep() {
    HWND hDlg = m_hWnd;
    if (namesToEnter.empty()) {
      // Let it paint once for a picture, then cancel.
      guitest::RunLater(200, [hDlg] {
        guitest::SaveScreenshot(hDlg, "mfc_file_dialog");
        ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDCANCEL)));
      });
      return;
    }
    std::string name = namesToEnter.front();
    namesToEnter.erase(namesToEnter.begin());
    SetControlText(::GetDlgItem(hDlg, kFileNameCombo) != NULL ? kFileNameCombo : kFileNameEdit, name.c_str());
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDOK)));
    // The next name after the dialog has taken this one.
    if (!namesToEnter.empty()) guitest::RunLater(300, [this] { NextStep(); });
  }
};

class FileDialogTest : public ::testing::Test {
protected:
  void TearDown() override { guitest::CancelPending(); }
};

TEST_F(FileDialogTest, CancelFromInitDoneEndsWithCancel) {
  ScriptedFileDialog dlg(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Text files|*.txt|All files|*.*||");
  EXPECT_EQ(dlg.m_ofn.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
  EXPECT_TRUE(dlg.m_ofn.Flags & OFN_ENABLEHOOK);
  EXPECT_TRUE(dlg.m_ofn.Flags & OFN_EXPLORER);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_FALSE(dlg.events.empty());
  EXPECT_EQ(std::count(dlg.events.begin(), dlg.events.end(), "initdone"), 1);
  EXPECT_TRUE(dlg.attachedDuringInit);
  EXPECT_TRUE(dlg.hookChildIsChild);
  EXPECT_FALSE(dlg.folderAtInit.empty());
  // Afterwards the object is free again.
  EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
  EXPECT_EQ(dlg.m_hWndHookChild, (HWND)NULL);
  EXPECT_EQ(AfxGetCurrentCommonDialog(), nullptr);
}

TEST_F(FileDialogTest, FolderChangeAndFileOkReachTheObject) {
  std::string base = WorkDir();
  std::string sub = base + "\\picked";
  ::CreateDirectoryA(sub.c_str(), NULL);
  std::string file = sub + "\\chosen.txt";
  FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("x", f);
  std::fclose(f);

  ScriptedFileDialog dlg(TRUE, "txt", NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Text files|*.txt||");
  dlg.m_ofn.lpstrInitialDir = base.c_str();
  dlg.namesToEnter = {"picked", "chosen.txt"};
  EXPECT_EQ(dlg.DoModal(), IDOK);
  std::string events;
  for (const std::string& e : dlg.events) events += e + "\n";
  bool sawFolder = false;
  for (const std::string& e : dlg.events) {
    if (e.rfind("folder:", 0) == 0 && e.find("picked") != std::string::npos) sawFolder = true;
  }
  EXPECT_TRUE(sawFolder) << events;
  ASSERT_FALSE(dlg.events.empty());
  EXPECT_EQ(dlg.events.back(), "fileok:" + file) << events;
  EXPECT_STREQ(dlg.GetPathName(), file.c_str());
  EXPECT_STREQ(dlg.GetFileName(), "chosen.txt");
  EXPECT_STREQ(dlg.GetFileExt(), "txt");
  EXPECT_STREQ(dlg.GetFileTitle(), "chosen");
  POSITION pos = dlg.GetStartPosition();
  ASSERT_NE(pos, nullptr);
  EXPECT_STREQ(dlg.GetNextPathName(pos), file.c_str());
  EXPECT_EQ(pos, nullptr);
}

TEST(FileDialogNamesTest, MultipleSelectionListsEveryPath) {
  // The explorer style's multiple-selection result: folder, names, empty.
  CFileDialog dlg(TRUE, NULL, NULL, OFN_ALLOWMULTISELECT);
  const char result[] = "C:\\videos\0one.avi\0two.mpg\0";
  std::memcpy(dlg.m_ofn.lpstrFile, result, sizeof(result));
  POSITION pos = dlg.GetStartPosition();
  std::vector<std::string> paths;
  while (pos != NULL) paths.push_back(dlg.GetNextPathName(pos).GetString());
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\videos\\one.avi", "C:\\videos\\two.mpg"}));

  // One file chosen: the whole text is its path.
  std::memcpy(dlg.m_ofn.lpstrFile, "C:\\a\\b.vob\0", 12);
  pos = dlg.GetStartPosition();
  EXPECT_STREQ(dlg.GetNextPathName(pos), "C:\\a\\b.vob");
  EXPECT_EQ(pos, nullptr);

  // A buffer filled to the end without terminators is not read past.
  std::memset(dlg.m_ofn.lpstrFile, 'a', dlg.m_ofn.nMaxFile);
  pos = dlg.GetStartPosition();
  EXPECT_EQ(dlg.GetNextPathName(pos).GetLength(), static_cast<int>(dlg.m_ofn.nMaxFile));
  EXPECT_EQ(pos, nullptr);

  dlg.m_ofn.lpstrFile[0] = '\0';
  EXPECT_EQ(dlg.GetStartPosition(), nullptr);
}

TEST(FileDialogNamesTest, FilterBarsBecomeNuls) {
  CFileDialog dlg(TRUE, NULL, NULL, 0, "MPEG files(*.mpeg,*.mpg)|*.mpeg;*.mpg;||");
  const char* filter = dlg.m_ofn.lpstrFilter;
  ASSERT_NE(filter, nullptr);
  EXPECT_STREQ(filter, "MPEG files(*.mpeg,*.mpg)");
  filter += std::strlen(filter) + 1;
  EXPECT_STREQ(filter, "*.mpeg;*.mpg;");
  filter += std::strlen(filter) + 1;
  EXPECT_EQ(*filter, '\0');
}

}  // namespace

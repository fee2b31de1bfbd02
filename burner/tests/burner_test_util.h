// What the burner's Wine tests share: the program folder (the test's own,
// as an installed program has), the DirectX key, fixture paths, virtual
// drives, and the main window with its person-facing parts scripted.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "burner/burn_settings.h"
#include "burner/burner_main_dialog.h"
#include "suite/app_utils.h"
#include "testing/programs/program_test_support.h"
#include "discimage/tests/test_paths.h"
#include "mfc/mfc.h"
#include "standins/tests/win_test_util.h"
#include "testing/gui/gui_test.h"

namespace burner_test {

// The test program's folder, where "param.ini" and "vcd.xml" go.
inline std::string ProgramFolder() { return static_cast<const char*>(GetAppFolder()); }
inline std::string IniPath() { return ProgramFolder() + "param.ini"; }

inline std::string IniValue(const char* section, const char* key, const std::string& path = IniPath()) {
  char buffer[1100] = "";
  GetPrivateProfileStringA(section, key, "<none>", buffer, sizeof buffer, path.c_str());
  return buffer;
}

// Sets the DirectX version text while it lives; puts the old one back.
using program_test::DirectXVersion;

// A copy of a fixture in the test's folder under a name of our own (so
// paths and sizes are the test's).
inline std::string CopyFixture(const std::string& fixture, const std::string& name) {
  std::string target = standin_test::CurrentFolder() + name;
  CopyFileA(fixture.c_str(), target.c_str(), FALSE);
  return target;
}

// A sparse file of the given size (the disc limits are hundreds of MB).
inline std::string MakeSizedFile(const std::string& name, long long bytes) {
  std::string path = standin_test::CurrentFolder() + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return "";
  LARGE_INTEGER size;
  size.QuadPart = bytes;
  SetFilePointerEx(file, size, NULL, FILE_BEGIN);
  SetEndOfFile(file);
  CloseHandle(file);
  return path;
}

// The main window with the file dialog, the shell, the menus and the burn
// dialog scripted.
class TestMainDialog : public BurnerMainDialog {
public:
  std::vector<std::vector<std::string>> choices;  // one pick per Add, front first
  bool systemChooser = false;                     // Add opens the program's own file dialog
  std::vector<std::string> opened;                // ShellOpen calls: "file|parameters"
  INT_PTR openResult = 42;                        // what ShellOpen answers
  std::vector<std::pair<UINT, bool>> menuItems;   // the last menu: id (or position), enabled
  UINT menuChoice = 0;                            // command to run from a menu (0: none)
  std::function<int()> burnDialog;                // stands in for the burn dialog when set
  int burnDialogRuns = 0;

  bool Open() { return Create(IDD, NULL) != FALSE; }

protected:
  INT_PTR ChooseFiles(BOOL multiple, CStringArray* paths) override {
    if (systemChooser) return BurnerMainDialog::ChooseFiles(multiple, paths);
    if (choices.empty()) return IDCANCEL;
    std::vector<std::string> pick = choices.front();
    choices.erase(choices.begin());
    if (pick.empty()) return IDCANCEL;
    for (const std::string& path : pick) paths->Add(path.c_str());
    return IDOK;
  }
  INT_PTR ShellOpen(const char* file, const char* parameters) override {
    opened.push_back(std::string(file) + "|" + (parameters != NULL ? parameters : ""));
    return openResult;
  }
  void TrackMenu(HMENU popup) override {
    menuItems.clear();
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
      UINT state = GetMenuState(popup, i, MF_BYPOSITION);
      menuItems.push_back({GetMenuItemID(popup, i), (state & (MF_GRAYED | MF_DISABLED)) == 0});
    }
    if (menuChoice != 0) ::PostMessageA(m_hWnd, WM_COMMAND, menuChoice, 0);
  }
  int RunBurnDialog() override {
    ++burnDialogRuns;
    return burnDialog ? burnDialog() : BurnerMainDialog::RunBurnDialog();
  }
};

inline bool MenuItemEnabled(const TestMainDialog& dialog, UINT id) {
  for (const auto& item : dialog.menuItems)
    if (item.first == id) return item.second;
  return false;
}

}  // namespace burner_test

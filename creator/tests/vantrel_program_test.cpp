// Vantrel.exe itself, started as the user starts it in a Wine prefix made
// like an installed suite (scripts/make-suite-prefix.sh): the disc-type
// chooser and the list window in the program's own skin, the disc type
// kept in "param.ini" from one start to the next, and the start-up
// refusals (a missing filter library, an old DirectX). The program is
// another process: its windows are found by title and driven by posted
// messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "creator/res/creator_resource.h"
#include "testing/gui/gui_test.h"

namespace {

const char kProgramFolder[] = "C:\\Program Files\\Quorbel\\";
const char kFilter[] = "C:\\windows\\system32\\MPEGFilter.dll";

std::string Program() { return std::string(kProgramFolder) + "Vantrel.exe"; }
std::string Settings() { return std::string(kProgramFolder) + "param.ini"; }

struct Found {
  DWORD process;
  std::string title;      // "" with className: any title
  std::string className;  // "" : any class
  HWND window;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
  Found* found = reinterpret_cast<Found*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != found->process || !IsWindowVisible(window)) return TRUE;
  char text[256] = "", cls[64] = "";
  GetWindowTextA(window, text, sizeof text);
  GetClassNameA(window, cls, sizeof cls);
  if (!found->title.empty() && found->title != text) return TRUE;
  if (!found->className.empty() && found->className != cls) return TRUE;
  found->window = window;
  return FALSE;
}

// A visible top-level window of the process, waited for.
HWND WaitForWindow(DWORD process, const std::string& title, const std::string& className = "",
                   DWORD timeoutMs = 20000) {
  Found found = {process, title, className, NULL};
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    found.window = NULL;
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&found));
    if (found.window != NULL) return found.window;
    Sleep(50);
  }
  return NULL;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM param) {
  std::string* longest = reinterpret_cast<std::string*>(param);
  char cls[32] = "", text[1024] = "";
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0) return TRUE;
  GetWindowTextA(child, text, sizeof text);
  if (strlen(text) > longest->size()) *longest = text;
  return TRUE;
}

// The text of a message box: its longest static text.
std::string BoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

class Vantrel {
public:
  bool Start() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + Program() + "\"";
    return CreateProcessA(Program().c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, kProgramFolder, &startup,
                          &info_) != 0;
  }
  // Waits for the program to end: its exit code, or -1 after the time.
  int WaitForEnd(DWORD timeoutMs = 20000) {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
  }
  DWORD Id() const { return info_.dwProcessId; }
  ~Vantrel() {
    if (info_.hProcess != NULL) {
      if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
      CloseHandle(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }

private:
  PROCESS_INFORMATION info_ = {};
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
    HWND chooser = WaitForWindow(program.Id(), "Select Disc Type");
    ASSERT_NE(nullptr, chooser);
    Sleep(300);  // let the skin paint
    guitest::SaveScreenshot(chooser, "vantrel_disc_type");
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDC_DISC_TYPE_SVCD, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDC_DISC_TYPE_SVCD)));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    HWND main = WaitForWindow(program.Id(), "Zephon SVCD Creator");
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
    HWND chooser = WaitForWindow(program.Id(), "Select Disc Type");
    ASSERT_NE(nullptr, chooser);
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDC_DISC_TYPE_VCD, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDC_DISC_TYPE_VCD)));
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_NE(-1, program.WaitForEnd()) << "Cancel ends the program";
  }
  EXPECT_EQ("1", IniValue("Vantrel", "DiscType")) << "the cancelled choice is not saved";
}

// A refusal at start-up: one box with the given text, then the program
// ends without showing the chooser.
void ExpectRefusal(const std::string& text) {
  Vantrel program;
  ASSERT_TRUE(program.Start());
  HWND box = WaitForWindow(program.Id(), "", "#32770");
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(text, BoxText(box));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(0, program.WaitForEnd());
  EXPECT_EQ("<none>", IniValue("Vantrel", "DiscType")) << "nothing is written";
}

TEST_F(VantrelProgramTest, MissingFilterLibraryStopsTheProgram) {
  std::string aside = std::string(kFilter) + ".aside";
  ASSERT_TRUE(MoveFileA(kFilter, aside.c_str()));
  ExpectRefusal(std::string("LoadLibrary:") + kFilter + " failed!");
  ASSERT_TRUE(MoveFileA(aside.c_str(), kFilter));
}

TEST_F(VantrelProgramTest, OldDirectXStopsTheProgram) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0,
                                         KEY_READ | KEY_WRITE, &key));
  auto set = [key](const char* version) {
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));
  };
  set("4.07.00.0716");
  ExpectRefusal("This program needs directX 8.0 or greater to run!   ");
  set("4.09.00.0904");
  RegCloseKey(key);
}

}  // namespace

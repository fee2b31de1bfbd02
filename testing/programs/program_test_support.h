// What the disc programs' Windows tests share: the conversion control
// registered as an installer registers it, the DirectX version of the
// prefix set for a while, and a program started as another process with
// its windows found by title.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace program_test {

// Loads the conversion control (MPEGCreator.dll) from that path, registers
// it with its own DllRegisterServer and lets dialogs host controls.
::testing::AssertionResult RegisterConversionControl(const std::string& dllPath);

// Sets the DirectX version text of the prefix while it lives; puts the old
// one back.
class DirectXVersion {
public:
  explicit DirectXVersion(const char* version);
  ~DirectXVersion();
  DirectXVersion(const DirectXVersion&) = delete;
  DirectXVersion& operator=(const DirectXVersion&) = delete;

  static bool Set(const char* version);
  // Any value as "Version" (NULL data: no value at all).
  static bool SetValue(DWORD type, const void* data, DWORD size);
  static void Remove();  // the key itself, as a damaged install has it

private:
  std::string saved_;  // "" when there was none
};

// A program started as its user starts it; ended by force if it still runs
// when the test lets go of it.
class ProgramProcess {
public:
  ProgramProcess() = default;
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Starts exe in folder (its own folder when empty).
  bool Start(const std::string& exe, const std::string& folder = "");
  bool Started() const { return info_.hProcess != NULL; }
  DWORD Id() const { return info_.dwProcessId; }
  // Pumps this thread's messages until the program ends; false after the
  // time.
  bool WaitForEnd(DWORD timeoutMs = 20000);
  // The exit code once ended, -1 while it runs.
  int ExitCode() const;

private:
  PROCESS_INFORMATION info_ = {};
};

// A visible top-level window of the process with that title and class
// ("" for either: any), waited for while this thread's messages are
// pumped; NULL after the time.
HWND WaitForProcessWindow(DWORD process, const std::string& title, const std::string& className = "",
                          DWORD timeoutMs = 20000);

// The text of a message box: its longest static text.
std::string MessageBoxText(HWND box);

// The text of a window, which may belong to another process.
std::string WindowText(HWND window);

// Waits until a control of another process shows the text; false after
// the time.
bool WaitForText(HWND control, const std::string& text, DWORD timeoutMs = 20000);

// Chooses one file in the process's "Add video files" dialog: the name
// typed into the dialog's file name field, then Open (failures are
// reported through the test framework).
void ChooseInFileDialog(DWORD process, const std::string& path);

}  // namespace program_test

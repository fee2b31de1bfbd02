#include "testing/programs/program_test_support.h"

#include <commctrl.h>

#include <cstring>

namespace program_test {

::testing::AssertionResult RegisterConversionControl(const std::string& dllPath) {
  HMODULE dll = LoadLibraryA(dllPath.c_str());
  if (dll == NULL) return ::testing::AssertionFailure() << "cannot load " << dllPath;
  typedef HRESULT(WINAPI * RegisterFn)();
  RegisterFn registerServer =
      reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
  if (registerServer == NULL) return ::testing::AssertionFailure() << "no DllRegisterServer in " << dllPath;
  HRESULT result = registerServer();
  if (result != S_OK) return ::testing::AssertionFailure() << "DllRegisterServer gave " << std::hex << result;
  AfxEnableControlContainer();
  return ::testing::AssertionSuccess();
}

// ---- The DirectX version -------------------------------------------------------------

namespace {
const char kDirectXKey[] = "SOFTWARE\\Microsoft\\DirectX";
}

DirectXVersion::DirectXVersion(const char* version) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDirectXKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    char buffer[256] = "";
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key, "Version", NULL, NULL, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS)
      saved_ = buffer;
    RegCloseKey(key);
  }
  Set(version);
}

DirectXVersion::~DirectXVersion() {
  if (!saved_.empty()) Set(saved_.c_str());
}

bool DirectXVersion::Set(const char* version) {
  return SetValue(REG_SZ, version, static_cast<DWORD>(strlen(version) + 1));
}

bool DirectXVersion::SetValue(DWORD type, const void* data, DWORD size) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDirectXKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
    return false;
  LONG result = data == NULL ? RegDeleteValueA(key, "Version")
                             : RegSetValueExA(key, "Version", 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

void DirectXVersion::Remove() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDirectXKey); }

// ---- Programs as other processes -------------------------------------------------------

ProgramProcess::~ProgramProcess() {
  if (info_.hProcess == NULL) return;
  if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

bool ProgramProcess::Start(const std::string& exe, const std::string& folder) {
  if (Started()) return false;
  std::string directory = folder.empty() ? exe.substr(0, exe.find_last_of('\\')) : folder;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string command = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, directory.c_str(), &startup, &info_)) {
    info_ = PROCESS_INFORMATION();
    return false;
  }
  return true;
}

bool ProgramProcess::WaitForEnd(DWORD timeoutMs) {
  if (!Started()) return false;
  return guitest::PumpUntil([&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

int ProgramProcess::ExitCode() const {
  DWORD code = 0;
  if (!Started() || WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) return -1;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

namespace {

struct WindowSearch {
  DWORD process;
  const std::string* title;      // "" : any
  const std::string* className;  // "" : any
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  char text[256] = "", cls[64] = "";
  GetWindowTextA(window, text, sizeof text);
  GetClassNameA(window, cls, sizeof cls);
  if (!search->title->empty() && *search->title != text) return TRUE;
  if (!search->className->empty() && *search->className != cls) return TRUE;
  search->found = window;
  return FALSE;
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

}  // namespace

HWND WaitForProcessWindow(DWORD process, const std::string& title, const std::string& className, DWORD timeoutMs) {
  WindowSearch search = {process, &title, &className, NULL};
  auto look = [&] {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != NULL;
  };
  guitest::PumpUntil(look, timeoutMs);
  return search.found;
}

std::string MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

std::string WindowText(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool WaitForText(HWND control, const std::string& text, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (WindowText(control) == text) return true;
    Sleep(50);
  }
  return false;
}

void ChooseInFileDialog(DWORD process, const std::string& path) {
  HWND dialog = WaitForProcessWindow(process, "Add video files");
  ASSERT_NE(nullptr, dialog);
  const int kNameFields[] = {0x47C /* cmb13 */, 0x480 /* edt1 */};
  bool typed = false;
  for (int id : kNameFields) typed = SetDlgItemTextA(dialog, id, path.c_str()) || typed;
  ASSERT_TRUE(typed) << "no file name field";
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 400 && IsWindow(dialog); ++i) Sleep(25);
}

}  // namespace program_test

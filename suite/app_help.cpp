#include "suite/app_help.h"

namespace {

// HTML Help's command to show a topic.
enum { kHelpDisplayTopic = 0 };
typedef HWND(WINAPI* HtmlHelpFn)(HWND, LPCSTR, UINT, DWORD_PTR);

const char kHtmlHelpClassKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

}  // namespace

CString HelpFilePath(const char* programFolder) {
  return CString(programFolder) + "\\help.CHM::./Index.htm";
}

CString HtmlHelpLibraryPath() {
  HKEY key = NULL;
  CString path = "hhctrl.ocx";
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpClassKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    char value[MAX_PATH + 1] = "";
    DWORD size = MAX_PATH;  // one byte stays for the terminator
    DWORD type = 0;
    if (RegQueryValueExA(key, NULL, NULL, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && value[0] != '\0') {
      value[size < MAX_PATH ? size : MAX_PATH] = '\0';
      path = value;
    }
    RegCloseKey(key);
  }
  return path;
}

HWND ShowHtmlHelp(HWND owner, const char* path) {
  // Loaded once and kept: the help window lives on after this call.
  static HMODULE library = LoadLibraryA(HtmlHelpLibraryPath());
  if (library == NULL) return NULL;
  HtmlHelpFn htmlHelp = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")));
  if (htmlHelp == nullptr) return NULL;
  return htmlHelp(owner, path, kHelpDisplayTopic, 0);
}

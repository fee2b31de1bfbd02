// The filter libraries that the disc creator and the converter register at
// every start ("MPEGFilter.dll", "MPEGWriteFilter.dll", "DVDEncoder.dll",
// "RealMedia.dll"): one source, built once per name (QUORBEL_FILTER_NAME).
// Registering records the library under HKCU\Software\Quorbel\Filters\<name>
// (its path and how often it was registered) and in the trace.
//
// A test makes a registration fail by naming the library in the
// environment variable QUORBEL_FILTER_FAIL (names separated by ';').
#include <windows.h>

#include <cstring>
#include <string>

#include "standins/common/standin_trace.h"

#ifndef QUORBEL_FILTER_NAME
#error "QUORBEL_FILTER_NAME names the library"
#endif

namespace {

HMODULE g_module = NULL;

bool AskedToFail() {
  char names[1024] = "";
  DWORD length = GetEnvironmentVariableA("QUORBEL_FILTER_FAIL", names, sizeof names);
  if (length == 0 || length >= sizeof names) return false;
  std::string list = std::string(";") + names + ";";
  return list.find(std::string(";") + QUORBEL_FILTER_NAME + ";") != std::string::npos;
}

std::string KeyPath() { return std::string("Software\\Quorbel\\Filters\\") + QUORBEL_FILTER_NAME; }

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HRESULT WINAPI DllRegisterServer(void) {
  if (AskedToFail()) {
    StandinTrace(QUORBEL_FILTER_NAME, "DllRegisterServer -> failure (asked for)");
    return E_FAIL;
  }
  char path[MAX_PATH] = "";
  GetModuleFileNameA(g_module, path, sizeof path);
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath().c_str(), 0, NULL, 0, KEY_READ | KEY_WRITE, NULL, &key, NULL) !=
      ERROR_SUCCESS) {
    StandinTrace(QUORBEL_FILTER_NAME, "DllRegisterServer -> cannot write the registry");
    return E_FAIL;
  }
  DWORD count = 0, type = 0, size = sizeof count;
  if (RegQueryValueExA(key, "Registrations", NULL, &type, reinterpret_cast<BYTE*>(&count), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    count = 0;
  ++count;
  RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), static_cast<DWORD>(strlen(path) + 1));
  RegSetValueExA(key, "Registrations", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
  RegCloseKey(key);
  StandinTrace(QUORBEL_FILTER_NAME, "DllRegisterServer from \"%s\" (%lu)", path, static_cast<unsigned long>(count));
  return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer(void) {
  RegDeleteKeyA(HKEY_CURRENT_USER, KeyPath().c_str());
  StandinTrace(QUORBEL_FILTER_NAME, "DllUnregisterServer");
  return S_OK;
}

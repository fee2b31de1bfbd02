// The filter libraries, registered as the disc creator and the converter
// register them at start: loaded, DllRegisterServer called; each records
// itself in the registry; a failure asked for through the environment comes
// back as a negative result.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "standins/tests/win_test_util.h"

using namespace standin_test;

namespace {

typedef HRESULT(WINAPI* RegisterFn)(void);

HRESULT Register(const std::string& path) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == NULL) return E_HANDLE;
  RegisterFn registerServer = reinterpret_cast<RegisterFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  HRESULT result = registerServer != nullptr ? registerServer() : E_NOINTERFACE;
  FreeLibrary(module);
  return result;
}

DWORD Registrations(const char* name, std::string* path) {
  HKEY key;
  std::string subkey = std::string("Software\\Quorbel\\Filters\\") + name;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD count = 0, size = sizeof count;
  RegQueryValueExA(key, "Registrations", NULL, NULL, reinterpret_cast<BYTE*>(&count), &size);
  char text[MAX_PATH] = "";
  size = sizeof text;
  RegQueryValueExA(key, "Path", NULL, NULL, reinterpret_cast<BYTE*>(text), &size);
  *path = text;
  RegCloseKey(key);
  return count;
}

std::string ExeFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(NULL, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

TEST(FilterLibraries, RegisterAndRecordThemselves) {
  SetEnvironmentVariableA("QUORBEL_TRACE_DIR", CurrentFolder().c_str());
  for (const char* name : {"MPEGFilter", "MPEGWriteFilter", "DVDEncoder", "RealMedia"}) {
    std::string unused;
    DWORD before = Registrations(name, &unused);
    std::string path = ExeFolder() + name + ".dll";
    EXPECT_GE(Register(path), 0) << name;
    std::string recorded;
    EXPECT_EQ(before + 1, Registrations(name, &recorded)) << name;
    EXPECT_EQ(0, lstrcmpiA(path.c_str(), recorded.c_str())) << recorded;
    EXPECT_FALSE(ReadBytes(CurrentFolder() + name + ".trace").empty()) << name;
  }
}

TEST(FilterLibraries, AFailureAskedForIsNegative) {
  SetEnvironmentVariableA("QUORBEL_FILTER_FAIL", "MPEGWriteFilter;DVDEncoder");
  EXPECT_LT(Register(ExeFolder() + "DVDEncoder.dll"), 0);
  EXPECT_LT(Register(ExeFolder() + "MPEGWriteFilter.dll"), 0);
  EXPECT_GE(Register(ExeFolder() + "MPEGFilter.dll"), 0);
  SetEnvironmentVariableA("QUORBEL_FILTER_FAIL", NULL);
  EXPECT_GE(Register(ExeFolder() + "DVDEncoder.dll"), 0);
}

}  // namespace

// Helpers of the stand-ins' tests under Wine: files, the test's own drive
// settings and disc folders, and waiting for callbacks and messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "discimage/tests/test_support.h"

namespace standin_test {

using test_support::Bytes;
using test_support::ReadBytes;
using test_support::WriteBytes;
using test_support::WriteText;

// Bytes that differ from sector to sector.
inline Bytes Pattern(size_t size, uint32_t seed) {
  Bytes data(size);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    data[i] = static_cast<uint8_t>(x);
  }
  return data;
}

inline std::string CurrentFolder() {
  char buffer[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof buffer, buffer);
  std::string folder = buffer;
  if (!folder.empty() && folder.back() != '\\') folder += "\\";
  return folder;
}

// This test's drive settings and discs, in its working folder.
inline void UseOwnDrives(const std::string& ini) {
  std::string folder = CurrentFolder();
  SetEnvironmentVariableA("QUORBEL_DRIVES_INI", (folder + "drives.ini").c_str());
  SetEnvironmentVariableA("QUORBEL_DISCS_DIR", (folder + "discs").c_str());
  WriteText(folder + "drives.ini", ini);
}

// A used disc's folder as an erase finds it: holding the file, or (file
// "") not there at all, as for a disc marked used in the drives file and
// never written here. False when it cannot be laid out.
inline bool LayUsedDisc(const std::string& disc, const std::string& file) {
  std::string folder = disc;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  test_support::FreshFolder(folder);
  if (file.empty()) return RemoveDirectoryA(folder.c_str()) != 0;
  WriteText(folder + "\\" + file, "what was on the disc");
  return true;
}

inline std::string IniValue(const char* section, const char* key) {
  char buffer[256] = "";
  GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, (CurrentFolder() + "drives.ini").c_str());
  return buffer;
}

// Waits (pumping this thread's messages) until done() holds; false after
// the timeout.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 30000) {
  DWORD start = GetTickCount();
  while (!done()) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(5);
  }
  return true;
}

}  // namespace standin_test

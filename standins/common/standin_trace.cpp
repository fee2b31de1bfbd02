#include "standins/common/standin_trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

std::string ReadTraceDir() {
  char buffer[MAX_PATH] = "";
  DWORD length = GetEnvironmentVariableA("QUORBEL_TRACE_DIR", buffer, sizeof buffer);
  if (length > 0 && length < sizeof buffer) return buffer;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quorbel\\StandIns", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::string();
  DWORD type = 0, size = sizeof buffer - 1;
  std::string dir;
  if (RegQueryValueExA(key, "TraceDir", NULL, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ) {
    buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
    dir = buffer;
  }
  RegCloseKey(key);
  return dir;
}

}  // namespace

const char* StandinTraceDir() {
  static const std::string dir = ReadTraceDir();
  return dir.c_str();
}

void StandinTrace(const char* library, const char* format, ...) {
  const char* dir = StandinTraceDir();
  if (dir[0] == '\0') return;
  char text[1536];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  char line[1700];
  int length = snprintf(line, sizeof line, "%lu %lu %s\r\n", static_cast<unsigned long>(GetTickCount()),
                        static_cast<unsigned long>(GetCurrentThreadId()), text);
  if (length < 0) return;
  if (length >= static_cast<int>(sizeof line)) length = sizeof line - 1;
  std::string path = std::string(dir) + "\\" + library + ".trace";
  // One append per line, so the lines of several threads never mix.
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, NULL);
  CloseHandle(file);
}

// The settings value rules on arbitrary stored texts: an integer is taken
// only when strtoll reads the same whole number, and a folder is either the
// default or ends with a backslash within its size.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "suite/settings_values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.c_str();  // a stored text ends at its first zero

  int value = 0;
  bool parsed = ParseSettingInt(text.c_str(), &value);
  // The same number by another road: strtoll on the trimmed decimal text.
  size_t first = text.find_first_not_of(" \t");
  size_t last = text.find_last_not_of(" \t");
  bool expected = false;
  long long number = 0;
  if (first != std::string::npos) {
    std::string core = text.substr(first, last - first + 1);
    bool digits = !core.empty();
    size_t start = (core[0] == '+' || core[0] == '-') ? 1 : 0;
    if (start == core.size()) digits = false;
    for (size_t i = start; i < core.size() && digits; ++i) digits = core[i] >= '0' && core[i] <= '9';
    if (digits) {
      errno = 0;
      number = strtoll(core.c_str(), NULL, 10);
      expected = errno == 0 && number >= INT_MIN && number <= INT_MAX;
    }
  }
  if (parsed != expected) abort();
  if (parsed && value != number) abort();

  int clamped = SettingIntOrDefault(text.c_str(), 2, 0, 2);
  if (clamped < 0 || clamped > 2) abort();

  CString folder = SettingFolderOrDefault(text.c_str(), "C:\\Quorbel\\", 64);
  if (folder != "C:\\Quorbel\\" &&
      (folder.GetLength() > 64 || folder.IsEmpty() || folder[folder.GetLength() - 1] != '\\'))
    abort();
  return 0;
}

#include "suite/settings_values.h"

#include <climits>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool ParseSettingInt(const char* text, int* value) {
  if (text == NULL) return false;
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  long long number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    number = number * 10 + (*p - '0');
    if (number > static_cast<long long>(INT_MAX) + 1) return false;
  }
  while (IsBlank(*p)) ++p;
  if (*p != 0) return false;
  if (negative) number = -number;
  if (number < INT_MIN || number > INT_MAX) return false;
  if (value != NULL) *value = static_cast<int>(number);
  return true;
}

int SettingIntOrDefault(const char* text, int def, int lo, int hi) {
  int number = 0;
  if (!ParseSettingInt(text, &number) || number < lo || number > hi) return def;
  return number;
}

CString SettingFolderOrDefault(const char* text, const char* def, int maxLength) {
  CString folder(text);
  folder.Trim();
  if (folder.IsEmpty()) return CString(def);
  if (folder[folder.GetLength() - 1] != '\\') folder += '\\';
  if (folder.GetLength() > maxLength) return CString(def);
  return folder;
}

#include "suite/ini_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "suite/settings_values.h"

CString CIniFile::ReadString(const char* section, const char* key, const char* def,
                             int maxLength) const {
  if (maxLength < 0) maxLength = 0;
  // Room for one character more than allowed and the terminator: a text
  // that fills it was too long.
  std::vector<char> buffer(static_cast<size_t>(maxLength) + 2, 0);
  // The sentinel default tells a missing key from an empty one (no blanks
  // in it: the system strips those from a default).
  static const char kMissing[] = "\x01<no key>\x01";
  ::GetPrivateProfileStringA(section, key, kMissing, buffer.data(),
                             static_cast<DWORD>(buffer.size()), m_path);
  buffer.back() = 0;
  if (strcmp(buffer.data(), kMissing) == 0) return CString(def);
  return CString(buffer.data());
}

int CIniFile::ReadInt(const char* section, const char* key, int def, int lo, int hi) const {
  // Read as text: the system's integer reader takes "12abc" as 12 and
  // "abc" as 0, where a damaged value should give the default.
  CString text = ReadString(section, key, "", 63);
  return SettingIntOrDefault(text, def, lo, hi);
}

CString CIniFile::ReadFolder(const char* section, const char* key, const char* def,
                             int maxLength) const {
  CString text = ReadString(section, key, def, maxLength);
  return SettingFolderOrDefault(text, def, maxLength);
}

BOOL CIniFile::WriteString(const char* section, const char* key, const char* value) const {
  return ::WritePrivateProfileStringA(section, key, value != NULL ? value : "", m_path);
}

BOOL CIniFile::WriteInt(const char* section, const char* key, int value) const {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  return ::WritePrivateProfileStringA(section, key, text, m_path);
}

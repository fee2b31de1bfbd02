// A private ini file read and written key by key through the system's
// private-profile functions, with the settings rules of settings_values.h.
// Thin on purpose: every read and write goes to the file at once, as the
// disc programs' settings records expect.
#pragma once

#include <windows.h>

#include "mfc/core.h"

class CIniFile {
public:
  explicit CIniFile(const char* path) : m_path(path) {}

  const CString& GetPath() const { return m_path; }

  // The key's text, or def when the key (or the file) is missing. Texts
  // longer than maxLength characters come back cut to maxLength + 1, so
  // that the caller can tell they were too long.
  CString ReadString(const char* section, const char* key, const char* def, int maxLength) const;
  // The key's integer when it is one in [lo, hi], else def.
  int ReadInt(const char* section, const char* key, int def, int lo, int hi) const;
  // A folder: def when missing, empty or too long; ends with a backslash.
  CString ReadFolder(const char* section, const char* key, const char* def, int maxLength) const;

  BOOL WriteString(const char* section, const char* key, const char* value) const;
  // Written as "%d".
  BOOL WriteInt(const char* section, const char* key, int value) const;

private:
  CString m_path;
};

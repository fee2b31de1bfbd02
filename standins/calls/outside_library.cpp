#include "standins/calls/outside_library.h"

bool OutsideLibrary::Load(const char* name) {
  Free();
  if (name == NULL || name[0] == '\0') return false;
  m_module = LoadLibraryA(name);
  return m_module != NULL;
}

void OutsideLibrary::Free() {
  if (m_module != NULL) FreeLibrary(m_module);
  m_module = NULL;
}

FARPROC OutsideLibrary::Entry(const char* name) const {
  return m_module != NULL && name != NULL ? GetProcAddress(m_module, name) : NULL;
}

FARPROC OutsideLibrary::Entry(int ordinal) const {
  if (m_module == NULL || ordinal <= 0 || ordinal > 0xFFFF) return NULL;
  return GetProcAddress(m_module, MAKEINTRESOURCEA(ordinal));
}

// A library outside the suite, loaded at run time, and its entries looked up
// by name or by ordinal. One object per library; it frees the library when it
// goes away.
#pragma once

#include <windows.h>

class OutsideLibrary {
public:
  OutsideLibrary() = default;
  ~OutsideLibrary() { Free(); }
  OutsideLibrary(const OutsideLibrary&) = delete;
  OutsideLibrary& operator=(const OutsideLibrary&) = delete;

  // LoadLibrary with the usual search (program folder, system folder, PATH).
  bool Load(const char* name);
  void Free();
  bool IsLoaded() const { return m_module != NULL; }
  HMODULE Module() const { return m_module; }

  // NULL when the library is not loaded or has no such entry.
  FARPROC Entry(const char* name) const;
  FARPROC Entry(int ordinal) const;

  // Typed look-ups.
  template <class Fn>
  bool Bind(const char* name, Fn* fn) const {
    *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(Entry(name)));
    return *fn != nullptr;
  }
  template <class Fn>
  bool Bind(int ordinal, Fn* fn) const {
    *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(Entry(ordinal)));
    return *fn != nullptr;
  }

private:
  HMODULE m_module = NULL;
};

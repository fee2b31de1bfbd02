// The programs' side of the DVD authoring library "DVDAuthorDLL": the
// process-wide authoring block and the call of AuthorDVD with it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "standins/calls/outside_library.h"
#include "standins/include/dvdauthor.h"

class DvdAuthorCall {
public:
  bool Load(const char* name = DVDAUTHOR_LIBRARY_NAME);
  bool IsLoaded() const { return m_entry != nullptr; }

  // The block's fields; the list is kept here and handed over as an array.
  void SetWindow(HWND window) { m_window = window; }
  void ClearFiles() { m_files.clear(); }
  void AddFile(const std::string& path) { m_files.push_back(path); }
  void SetOutputFolder(const std::string& folder) { m_outputFolder = folder; }
  void SetVideoOptions(int tvType, int aspect, int letterBox) {
    m_tvType = tvType;
    m_aspect = aspect;
    m_letterBox = letterBox;
  }
  const std::vector<std::string>& Files() const { return m_files; }

  // Fills the block and calls AuthorDVD on this (the user-interface) thread:
  // its result, or -1 without the library (then nothing is posted).
  int32_t Run();

private:
  OutsideLibrary m_library;
  AuthorDvdFn m_entry = nullptr;
  HWND m_window = NULL;
  std::vector<std::string> m_files;
  std::string m_outputFolder;
  int m_tvType = 0;
  int m_aspect = 0;
  int m_letterBox = 0;
  std::vector<const char*> m_fileArray;  // what the block points at
  AuthorDvdParams m_params = {};
};

// The process-wide authoring call; the first call loads "DVDAuthorDLL".
DvdAuthorCall& DvdAuthor();

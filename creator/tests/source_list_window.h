// A stand-in of the creator's list window for the dialogs that read it
// (the disc job dialog reads its sources from list control 1007).
#pragma once

#include <windows.h>

#include <string>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace program_test {

// The part of the creator's list window a disc job reads: list control
// 1007 with the path and the duration text of every source.
class SourceListWindow : public CDialog {
public:
  SourceListWindow();
  bool Open();  // modeless, with its two columns
  void Close();
  HWND Control();
  void AddSource(const std::string& path, const std::string& duration);

private:
  guitest::DialogTemplate template_;  // kept while the window lives
};

}  // namespace program_test

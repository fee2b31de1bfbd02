// CreatorApp: the disc creator's application object. Its InitInstance
// prepares the process before any window opens (DirectX check, filter
// library registration, the multiplexer library, the skin library, the
// settings), lets the user choose the disc type and runs the source-file
// list window as the modal main window; it always returns FALSE, so the
// program ends when that window closes.
#pragma once

#include <windows.h>

#include "suite/disc_type_dialog.h"
#include "mfc/mfc.h"

// The creator's chooser: dialog 150, pictures 1037, 1038, 1040, bitmaps 152
// (not chosen) and 151 (chosen), only the VCD picture restyled.
extern const DiscTypeDialogIds kCreatorDiscTypeIds;

class CreatorApp : public CWinApp {
public:
  CreatorApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  // 1 once the skin library was started (ended again at exit).
  int skinLoaded = 0;

protected:
  // The start-up steps before the windows, in order; FALSE ends the program
  // (each failure has shown its message).
  BOOL PrepareProcess();
  // Virtual, each of the following: they stand over modal windows and the
  // machine's set-up, which tests stand in for to drive the start-up.
  // The chooser on the settings' disc type; FALSE when cancelled.
  virtual BOOL ChooseDiscType();
  // The list window as the modal main window.
  virtual void RunMainWindow();
  // The installed DirectX version (GetDirectXVersion).
  virtual int DirectXVersion() const;
  // Where the filter libraries are looked for: the system folder (without
  // a trailing backslash) and the program folder (with one).
  virtual CString FilterSystemFolder() const;
  virtual CString FilterProgramFolder() const;
};

// The program title, set once the disc type is chosen ("Quorbel " for a
// DVD); the About dialog shows it.
CString GetProgramTitle();
void SetProgramTitle(const char* title);


// CreatorApp: the disc creator's application object. Its InitInstance
// prepares the process before any window opens (DirectX check, filter
// library registration, the multiplexer library, the skin library, the
// settings), lets the user choose the disc type and runs the source-file
// list window as the modal main window; it always returns FALSE, so the
// program ends when that window closes.
#pragma once

#include <windows.h>

#include "mfc/mfc.h"

class CreatorApp : public CWinApp {
public:
  CreatorApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  // Registers one filter library: loads it and calls its DllRegisterServer.
  // 1 on success (the library stays loaded), else 0 after its message box.
  static int RegisterDll(const char* path);

  // 1 once the skin library was started (ended again at exit).
  int skinLoaded = 0;

protected:
  // The start-up steps before the windows, in order; FALSE ends the program
  // (each failure has shown its message).
  BOOL PrepareProcess();
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

// The minimum DirectX version (8.0) and its refusal.
enum { kMinimumDirectXVersion = 80 };
extern const char kDirectXTooOldText[];  // "This program needs directX 8.0 or greater to run!   "
// The filter libraries registered at every start: in the system folder,
// then in the program folder.
extern const char* const kSystemFilterLibraries[3];  // "\MPEGFilter.dll", ...
extern const char kProgramFilterLibrary[];           // "RealMedia.dll"

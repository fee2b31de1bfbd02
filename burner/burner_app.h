// BurnerApp: the disc burner's application object. Its InitInstance
// checks DirectX, loads the multiplexer library (kept loaded, never
// called), starts the skin library, reads the settings, lets the user
// choose the disc type and runs the main window modally; it always returns
// FALSE, so the program ends when that window closes. ExitInstance saves
// the settings when they were read.
#pragma once

#include <windows.h>

#include "mfc/mfc.h"

class BurnerApp : public CWinApp {
public:
  BurnerApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  int skinStarted;   // 1 once the skin library was started (ended at exit)
  CString appTitle;  // "Zephon ... Burner " once the disc type is chosen

protected:
  // The chooser (FALSE: cancelled) and the main window; tests stand in.
  virtual BOOL ChooseDiscType();
  virtual void RunMainWindow();
};

// The application title, as the windows show it ("" before the disc type
// is chosen).
CString GetBurnerTitle();
void SetBurnerTitle(const char* title);

// The stored skin's resource id and type.
enum { kBurnerSkinResource = 129 };
extern const char kSkinResourceType[];  // "RT_VENEERKIT"

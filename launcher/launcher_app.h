// LauncherApp: the launcher's application object. One copy runs at a time
// (the named mutex "Quorbel"); it needs DirectX 8 or later, starts the skin
// library with its own skin and runs the shaped main window until it
// closes.
#pragma once

#include "mfc/mfc.h"

class LauncherApp : public CWinApp {
public:
  LauncherApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  // The installed DirectX version (50 to 93), or -1 after "Fail to read
  // register!  " when the key cannot be opened.
  static int GetDirectXVersion();

  HANDLE m_mutex = NULL;  // held until the process ends
  int m_skinStarted = 0;  // 1 once the skin library was started
};

#include "launcher/launcher_app.h"

#include "suite/app_startup.h"
#include "suite/app_utils.h"

#include "launcher/launcher_dialogs.h"
#include "launcher/launcher_rules.h"
#include "launcher/res/launcher_resource.h"
#include "skin/core/skin_ops.h"

LauncherApp::LauncherApp() : CWinApp(NULL) {}

// The disc programs' rule, with the launcher's own box.
int LauncherApp::GetDirectXVersion() { return ::GetDirectXVersion("Fail to read register!  "); }

BOOL LauncherApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControlsStatic();
  HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "Quorbel");
  if (other != NULL) {
    CloseHandle(other);
    return FALSE;
  }
  m_mutex = CreateMutexA(NULL, TRUE, "Quorbel");
  // Another launcher started at the same moment made it between the two
  // calls: it runs, this one ends as silently.
  if (m_mutex != NULL && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(m_mutex);
    m_mutex = NULL;
    return FALSE;
  }
  if (!app_startup::CheckDirectX(GetDirectXVersion())) return FALSE;
  SkinLibInit(m_hInstance, NULL, NULL, 0);
  SkinLoadResource(NULL, MAKEINTRESOURCEA(IDR_LAUNCHER_SKIN), "RT_VENEERKIT");
  m_skinStarted = 1;
  SkinSetDefaultDialogSkin("Dialog");
  LauncherMainDialog mainWindow;
  m_pMainWnd = &mainWindow;
  mainWindow.DoModal();
  m_pMainWnd = NULL;
  return FALSE;
}

int LauncherApp::ExitInstance() {
  if (m_skinStarted) SkinLibExit();
  return CWinApp::ExitInstance();
}

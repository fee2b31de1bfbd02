#include "converter/converter_app.h"

#include "converter/convert_rules.h"
#include "converter/converter_dialogs.h"
#include "converter/converter_main_dialog.h"
#include "converter/converter_settings.h"
#include "converter/res/converter_resource.h"
#include "suite/app_skin.h"
#include "suite/app_startup.h"
#include "suite/app_utils.h"
#include "standins/calls/muxtools_calls.h"

ConverterApp::ConverterApp() : CWinApp(NULL) {}

BOOL ConverterApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  if (!app_startup::CheckDirectX(GetDirectXVersion())) return FALSE;
  if (!app_startup::RegisterFilterLibraries(GetSystemFolder(), GetAppFolder())) return FALSE;
  if (!app_startup::LoadMultiplexer()) return FALSE;
  app_startup::StartSkin(m_hInstance, IDR_CONVERTER_SKIN);
  m_skinStarted = 1;
  skarven::g_settings.Load();
  DiscTypeDialog chooser(&skarven::g_settings.discType, kConverterDiscTypeIds);
  if (chooser.DoModal() != IDOK) return FALSE;
  m_appTitle = ConverterTitle(skarven::g_settings.discType).c_str();
  ConverterMainDialog mainWindow(m_appTitle);
  m_pMainWnd = &mainWindow;
  mainWindow.DoModal();
  m_pMainWnd = NULL;
  return FALSE;
}

int ConverterApp::ExitInstance() {
  if (m_skinStarted == 1) app_skin::End();
  FreeMplexLibrary();
  return CWinApp::ExitInstance();
}

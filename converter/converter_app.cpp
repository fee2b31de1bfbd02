#include "converter/converter_app.h"

#include "converter/convert_rules.h"
#include "converter/converter_dialogs.h"
#include "converter/converter_main_dialog.h"
#include "converter/converter_settings.h"
#include "converter/res/converter_resource.h"
#include "creator/app_skin.h"
#include "creator/app_utils.h"
#include "standins/calls/muxtools_calls.h"

ConverterApp::ConverterApp() : CWinApp(NULL) {}

int ConverterApp::RegisterDll(const char* path) {
  HMODULE library = LoadLibraryA(path);
  if (library == NULL) {
    AfxMessageBox(CString("LoadLibrary:") + path + " failed!");
    return 0;
  }
  typedef HRESULT(WINAPI * RegisterFn)(void);
  RegisterFn registerServer =
      reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
  if (registerServer == nullptr) {
    AfxMessageBox(CString("DllRegisterServer failed:") + path);
    return 0;
  }
  if (registerServer() < 0) {
    AfxMessageBox(CString("DllRegisterServer failed:") + path);
    FreeLibrary(library);
    return 0;
  }
  return 1;
}

BOOL ConverterApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  if (GetDirectXVersion() <= 79) {
    AfxMessageBox("This program needs directX 8.0 or greater to run!   ");
    return FALSE;
  }
  CString system = GetSystemFolder();
  const CString filters[] = {system + "\\MPEGFilter.dll", system + "\\MPEGWriteFilter.dll",
                             system + "\\DVDEncoder.dll", GetAppFolder() + "RealMedia.dll"};
  for (const CString& filter : filters)
    if (!RegisterDll(filter)) return FALSE;
  switch (LoadMplexLibrary()) {
    case kMplexNoLibrary:
      AfxMessageBox(kMplexCannotLoadText);
      return FALSE;
    case kMplexNoEntry:
      AfxMessageBox(kMplexNoEntryText);
      return FALSE;
    default:
      break;
  }
  app_skin::Start(m_hInstance);
  app_skin::LoadSkinResource(IDR_CONVERTER_SKIN);
  m_skinStarted = 1;
  skarven::g_settings.Load();
  DiscTypeDialog chooser(&skarven::g_settings.discType);
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

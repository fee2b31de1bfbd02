#include "creator/app_creator.h"

#include <string>

#include "creator/app_skin.h"
#include "creator/app_utils.h"
#include "creator/convert_settings.h"
#include "creator/disc_type_dialog.h"
#include "creator/main_dialog.h"
#include "creator/main_dialog_rules.h"
#include "creator/res/creator_resource.h"
#include "standins/calls/muxtools_calls.h"

const char kDirectXTooOldText[] = "This program needs directX 8.0 or greater to run!   ";
const char* const kSystemFilterLibraries[3] = {"\\MPEGFilter.dll", "\\MPEGWriteFilter.dll", "\\DVDEncoder.dll"};
const char kProgramFilterLibrary[] = "RealMedia.dll";

namespace {

CString g_programTitle;

typedef HRESULT(WINAPI* DllRegisterServerFn)();

}  // namespace

CString GetProgramTitle() { return g_programTitle; }
void SetProgramTitle(const char* title) { g_programTitle = title != nullptr ? title : ""; }

CreatorApp::CreatorApp() : CWinApp("Vantrel") {}

int CreatorApp::RegisterDll(const char* path) {
  HMODULE library = LoadLibraryA(path);
  if (library == NULL) {
    AfxMessageBox(CString("LoadLibrary:") + path + " failed!");
    return 0;
  }
  DllRegisterServerFn registerServer = reinterpret_cast<DllRegisterServerFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
  if (registerServer == nullptr) {
    AfxMessageBox(CString("DllRegisterServer failed:") + path);
    return 0;
  }
  if (FAILED(registerServer())) {
    AfxMessageBox(CString("DllRegisterServer failed:") + path);
    FreeLibrary(library);
    return 0;
  }
  return 1;  // the library stays loaded for the conversion control
}

BOOL CreatorApp::PrepareProcess() {
  if (DirectXVersion() < kMinimumDirectXVersion) {
    AfxMessageBox(kDirectXTooOldText);
    return FALSE;
  }
  CString systemFolder = FilterSystemFolder();
  for (const char* name : kSystemFilterLibraries)
    if (!RegisterDll(systemFolder + name)) return FALSE;
  if (!RegisterDll(FilterProgramFolder() + kProgramFilterLibrary)) return FALSE;

  switch (LoadMplexLibrary()) {
    case kMplexNoLibrary: AfxMessageBox(kMplexCannotLoadText); return FALSE;
    case kMplexNoEntry: AfxMessageBox(kMplexNoEntryText); return FALSE;
    default: break;
  }

  app_skin::Start(m_hInstance);
  app_skin::LoadSkinResource(IDR_CREATOR_SKIN);
  skinLoaded = 1;

  g_convertSettings.Load();
  return TRUE;
}

int CreatorApp::DirectXVersion() const { return GetDirectXVersion(); }
CString CreatorApp::FilterSystemFolder() const { return GetSystemFolder(); }
CString CreatorApp::FilterProgramFolder() const { return GetAppFolder(); }

BOOL CreatorApp::ChooseDiscType() {
  // The chooser works on a copy: Cancel ends the program and must leave the
  // record as it was read.
  int discType = g_convertSettings.discType;
  DiscTypeDialog chooser(&discType);
  if (chooser.DoModal() != IDOK) return FALSE;
  g_convertSettings.discType = discType;
  return TRUE;
}

void CreatorApp::RunMainWindow() {
  CreatorMainDialog mainWindow;
  m_pMainWnd = &mainWindow;
  mainWindow.DoModal();
  m_pMainWnd = NULL;
}

BOOL CreatorApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  if (!PrepareProcess()) return FALSE;
  if (!ChooseDiscType()) return FALSE;
  SetProgramTitle(ProgramTitle(g_convertSettings.discType).c_str());
  RunMainWindow();
  return FALSE;
}

int CreatorApp::ExitInstance() {
  FreeMplexLibrary();
  if (skinLoaded == 1) {
    app_skin::End();
    skinLoaded = 0;
  }
  return CWinApp::ExitInstance();
}

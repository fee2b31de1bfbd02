#include "creator/app_creator.h"

#include <string>

#include "suite/app_skin.h"
#include "suite/app_startup.h"
#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "suite/disc_type_dialog.h"
#include "creator/main_dialog.h"
#include "suite/source_list_rules.h"
#include "creator/res/creator_resource.h"
#include "standins/calls/muxtools_calls.h"

const DiscTypeDialogIds kCreatorDiscTypeIds = {
    IDD_CREATOR_DISC_TYPE, {IDC_DISC_TYPE_VCD, IDC_DISC_TYPE_SVCD, IDC_DISC_TYPE_DVD},
    IDB_CREATOR_NOT_CHOSEN, IDB_CREATOR_CHOSEN, false};

namespace {

CString g_programTitle;

}  // namespace

CString GetProgramTitle() { return g_programTitle; }
void SetProgramTitle(const char* title) { g_programTitle = title != nullptr ? title : ""; }

CreatorApp::CreatorApp() : CWinApp("Vantrel") {}

BOOL CreatorApp::PrepareProcess() {
  if (!app_startup::CheckDirectX(DirectXVersion())) return FALSE;
  if (!app_startup::RegisterFilterLibraries(FilterSystemFolder(), FilterProgramFolder())) return FALSE;
  if (!app_startup::LoadMultiplexer()) return FALSE;
  app_startup::StartSkin(m_hInstance, IDR_CREATOR_SKIN);
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
  DiscTypeDialog chooser(&discType, kCreatorDiscTypeIds);
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

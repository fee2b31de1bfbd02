#include "burner/burner_app.h"

#include "burner/burn_settings.h"
#include "burner/burner_dialogs.h"
#include "burner/burner_main_dialog.h"
#include "burner/burner_rules.h"
#include "suite/app_skin.h"
#include "suite/app_startup.h"
#include "suite/app_utils.h"
#include "standins/calls/muxtools_calls.h"

const char kSkinResourceType[] = "RT_VENEERKIT";

namespace {
CString g_title;
}

CString GetBurnerTitle() { return g_title; }
void SetBurnerTitle(const char* title) { g_title = title; }

BurnerApp::BurnerApp() : skinStarted(0) {}

BOOL BurnerApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();

  if (!app_startup::CheckDirectX(GetDirectXVersion())) return FALSE;
  if (!app_startup::LoadMultiplexer()) return FALSE;
  app_startup::StartSkin(m_hInstance, kBurnerSkinResource);
  skinStarted = 1;

  g_burnSettings.Load();

  if (!ChooseDiscType()) return FALSE;

  appTitle = burner::AppTitleFor(g_burnSettings.discType);
  SetBurnerTitle(appTitle);

  RunMainWindow();
  return FALSE;
}

BOOL BurnerApp::ChooseDiscType() {
  DiscTypeDialog chooser(&g_burnSettings.discType, kBurnerDiscTypeIds);
  return chooser.DoModal() == IDOK;
}

void BurnerApp::RunMainWindow() {
  BurnerMainDialog dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = NULL;
}

int BurnerApp::ExitInstance() {
  // Settings that were never read are not written over the file.
  if (g_burnSettings.IsLoaded()) g_burnSettings.Save();
  FreeMplexLibrary();
  if (skinStarted == 1) {
    app_skin::End();
    skinStarted = 0;
  }
  return CWinApp::ExitInstance();
}

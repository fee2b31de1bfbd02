#include "suite/scan_wait_dialog.h"

#include <string>

#include "suite/app_skin.h"
#include "suite/source_list_rules.h"

IMPLEMENT_DYNAMIC(ScanWaitDialog, CDialog)

BEGIN_MESSAGE_MAP(ScanWaitDialog, CDialog)
END_MESSAGE_MAP()

ScanWaitDialog::ScanWaitDialog(int dialogId, int textId)
    : CDialog(dialogId), m_dialogId(dialogId), m_textId(textId) {}

BOOL ScanWaitDialog::CreateHidden(CWnd* pOwner) {
  // The template has no WS_VISIBLE: the window stays hidden until shown.
  return Create(m_dialogId, pOwner);
}

BOOL ScanWaitDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  app_skin::SkinDialog(m_hWnd, app_skin::kDialogSkin);
  return TRUE;
}

void ScanWaitDialog::ShowCentered() {
  CenterWindow(GetOwner());
  ShowWindow(SW_SHOW);
  UpdateWindow();
}

void ScanWaitDialog::Hide() { ShowWindow(SW_HIDE); }

void ScanWaitDialog::SetScanText(LPCTSTR path) {
  SetDlgItemText(m_textId, ScanningText(path != NULL ? path : "").c_str());
  // The probe that follows holds this thread: paint now, not later.
  RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

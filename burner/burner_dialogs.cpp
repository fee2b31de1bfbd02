#include "burner/burner_dialogs.h"

#include "burner/burner_rules.h"
#include "suite/app_skin.h"

const char kBurnerHomePage[] = "http://www.quorbel.example/";
const char kBurnerSupportAddress[] = "mailto:support@quorbel.example";

const DiscTypeDialogIds kBurnerDiscTypeIds = {
    IDD_BURNER_DISC_TYPE, {IDC_DISC_TYPE_VCD, IDC_DISC_TYPE_SVCD, IDC_DISC_TYPE_DVD},
    IDB_BURNER_NOT_CHOSEN, IDB_BURNER_CHOSEN, true};

const AboutDialogIds kBurnerAboutIds = {
    IDD_BURNER_ABOUT, IDC_ABOUT_VERSION, IDC_ABOUT_HOME_LINK, IDC_ABOUT_SUPPORT_LINK,
    kBurnerHomePage, kBurnerSupportAddress, 10, true, false, false};

// ---- ScanProgressDialog ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(ScanProgressDialog, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

ScanProgressDialog::ScanProgressDialog() : CDialog(IDD), m_owner(NULL) {
  m_white.CreateSolidBrush(RGB(255, 255, 255));
}

ScanProgressDialog::~ScanProgressDialog() {
  if (m_hWnd != NULL) DestroyWindow();
}

BOOL ScanProgressDialog::Create(CWnd* owner) {
  m_owner = owner;
  return CDialog::Create(IDD, owner);
}

BOOL ScanProgressDialog::OnInitDialog() {
  app_skin::Detach(m_hWnd);
  CDialog::OnInitDialog();
  m_progress.SubclassDlgItem(IDC_SCAN_PROGRESS, this);
  m_progress.SetRange(0, 100);
  return TRUE;
}

void ScanProgressDialog::ShowCentered() {
  CenterWindow(m_owner);
  ShowWindow(SW_SHOW);
  UpdateWindow();
}

void ScanProgressDialog::SetProgress(int percent) {
  if (m_progress.m_hWnd != NULL) m_progress.SetPos(percent);
}

int ScanProgressDialog::GetProgress() const {
  return m_progress.m_hWnd != NULL ? m_progress.GetPos() : 0;
}

HBRUSH ScanProgressDialog::OnCtlColor(CDC*, CWnd*, UINT) {
  return static_cast<HBRUSH>(m_white.GetSafeHandle());
}

// ---- LoadingFilesDialog ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(LoadingFilesDialog, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

LoadingFilesDialog::LoadingFilesDialog() : CDialog(IDD) {
  m_white.CreateSolidBrush(RGB(255, 255, 255));
}

LoadingFilesDialog::~LoadingFilesDialog() {
  if (m_hWnd != NULL) DestroyWindow();
}

BOOL LoadingFilesDialog::Create(CWnd* owner) { return CDialog::Create(IDD, owner); }

BOOL LoadingFilesDialog::OnInitDialog() {
  app_skin::Detach(m_hWnd);
  return CDialog::OnInitDialog();
}

HBRUSH LoadingFilesDialog::OnCtlColor(CDC*, CWnd*, UINT) {
  return static_cast<HBRUSH>(m_white.GetSafeHandle());
}

// ---- InvalidMpegDialog -------------------------------------------------------------------

InvalidMpegDialog::InvalidMpegDialog(const char* path, int discType, CWnd* pParent)
    : CDialog(IDD, pParent), m_path(path), m_discType(discType) {}

BOOL InvalidMpegDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_INVALID_TEXT, burner::InvalidFileText(m_discType, m_path).c_str());
  SetDlgItemText(IDC_INVALID_ADVICE, burner::InvalidFileAdvice(m_discType).c_str());
  app_skin::SkinFrame(m_hWnd, app_skin::kDialogSkin);
  ::MessageBeep(MB_ICONASTERISK);
  return TRUE;
}

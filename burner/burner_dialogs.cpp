#include "burner/burner_dialogs.h"

#include "burner/burner_app.h"
#include "burner/burner_rules.h"
#include "controls/hyperlink_static.h"
#include "creator/app_skin.h"
#include "creator/app_utils.h"
#include "creator/settings_values.h"

const char kBurnerHomePage[] = "http://www.quorbel.example/";
const char kBurnerSupportAddress[] = "mailto:support@quorbel.example";

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

// ---- DiscTypeDialog -----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(DiscTypeDialog, CDialog)
  ON_WM_PAINT()
  ON_STN_CLICKED(IDC_DISC_TYPE_VCD, OnChooseVcd)
  ON_STN_CLICKED(IDC_DISC_TYPE_SVCD, OnChooseSvcd)
  ON_STN_CLICKED(IDC_DISC_TYPE_DVD, OnChooseDvd)
END_MESSAGE_MAP()

DiscTypeDialog::DiscTypeDialog(int* discType, CWnd* pParent)
    : CDialog(IDD, pParent), m_discType(discType), m_openedWith(*discType) {}

void DiscTypeDialog::OnCancel() {
  *m_discType = m_openedWith;
  CDialog::OnCancel();
}

int DiscTypeDialog::PictureIdFor(int discType) {
  if (discType == kDiscTypeVcd) return IDC_DISC_TYPE_VCD;
  if (discType == kDiscTypeSvcd) return IDC_DISC_TYPE_SVCD;
  return IDC_DISC_TYPE_DVD;
}

BOOL DiscTypeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  app_skin::SkinDialog(m_hWnd, app_skin::kDialogSkin);
  m_notChosen.LoadBitmap(IDB_BURNER_NOT_CHOSEN);
  m_chosen.LoadBitmap(IDB_BURNER_CHOSEN);
  static const int kPictures[] = {IDC_DISC_TYPE_VCD, IDC_DISC_TYPE_SVCD, IDC_DISC_TYPE_DVD};
  for (int id : kPictures) {
    HWND picture = ::GetDlgItem(m_hWnd, id);
    LONG_PTR style = ::GetWindowLongPtrA(picture, GWL_STYLE);
    ::SetWindowLongPtrA(picture, GWL_STYLE, style | SS_BITMAP | SS_CENTERIMAGE);
  }
  ::SendDlgItemMessageA(m_hWnd, PictureIdFor(*m_discType), STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_chosen.GetSafeHandle()));
  return TRUE;
}

void DiscTypeDialog::Choose(int discType) {
  static const int kPictures[] = {IDC_DISC_TYPE_VCD, IDC_DISC_TYPE_SVCD, IDC_DISC_TYPE_DVD};
  for (int id : kPictures)
    ::SendDlgItemMessageA(m_hWnd, id, STM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(m_notChosen.GetSafeHandle()));
  *m_discType = discType;
  ::SendDlgItemMessageA(m_hWnd, PictureIdFor(discType), STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_chosen.GetSafeHandle()));
}

void DiscTypeDialog::OnChooseVcd() { Choose(kDiscTypeVcd); }
void DiscTypeDialog::OnChooseSvcd() { Choose(kDiscTypeSvcd); }
void DiscTypeDialog::OnChooseDvd() { Choose(kDiscTypeDvd); }

void DiscTypeDialog::OnPaint() {
  CPaintDC dc(this);
  static const int kPictures[] = {IDC_DISC_TYPE_VCD, IDC_DISC_TYPE_SVCD, IDC_DISC_TYPE_DVD};
  for (int id : kPictures) ::RedrawWindow(::GetDlgItem(m_hWnd, id), NULL, NULL, RDW_INVALIDATE);
}

// ---- AboutDialog ----------------------------------------------------------------------------

AboutDialog::AboutDialog(CWnd* pParent)
    : CDialog(IDD, pParent), m_homeLink(new HyperLinkStatic), m_supportLink(new HyperLinkStatic) {}

AboutDialog::~AboutDialog() {
  delete m_homeLink;
  delete m_supportLink;
}

BOOL AboutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_homeLink->SubclassDlgItem(IDC_ABOUT_HOME_LINK, this);
  m_homeLink->SetURL(kBurnerHomePage);
  m_supportLink->SubclassDlgItem(IDC_ABOUT_SUPPORT_LINK, this);
  m_supportLink->SetURL(kBurnerSupportAddress);
  CString title = GetBurnerTitle();
  SetWindowText("About " + title);
  char version[16] = "";
  ::GetPrivateProfileStringA("main", "AppVer", "", version, sizeof version,
                             GetAppFolder() + "app.ini");
  SetDlgItemText(IDC_ABOUT_VERSION, title + burner::CutVersion(version).c_str());
  return TRUE;
}

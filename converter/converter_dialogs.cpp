#include "converter/converter_dialogs.h"

#include "creator/app_skin.h"
#include "creator/app_utils.h"

const char kMakerHomePage[] = "http://www.quorbel.example/";
const char kMakerSupport[] = "mailto:support@quorbel.example";

CString ReadAppVersion(int maxChars) {
  char version[64] = "";
  if (maxChars >= static_cast<int>(sizeof version)) maxChars = sizeof version - 1;
  CString ini = GetAppFolder() + "app.ini";
  GetPrivateProfileStringA("main", "AppVer", "", version, maxChars + 1, ini);
  return version;
}

// ---- DiscTypeDialog ---------------------------------------------------------------

IMPLEMENT_DYNAMIC(DiscTypeDialog, CDialog)

BEGIN_MESSAGE_MAP(DiscTypeDialog, CDialog)
  ON_WM_PAINT()
  ON_STN_CLICKED(IDC_DISC_VCD, OnChooseVcd)
  ON_STN_CLICKED(IDC_DISC_SVCD, OnChooseSvcd)
  ON_STN_CLICKED(IDC_DISC_DVD, OnChooseDvd)
END_MESSAGE_MAP()

DiscTypeDialog::DiscTypeDialog(int* discType, CWnd* pParent) : CDialog(IDD, pParent), m_discType(discType) {}

int DiscTypeDialog::PictureIdFor(int discType) {
  switch (discType) {
    case 0: return IDC_DISC_VCD;
    case 1: return IDC_DISC_SVCD;
    default: return IDC_DISC_DVD;
  }
}

BOOL DiscTypeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  app_skin::SkinDialog(m_hWnd, app_skin::kDialogSkin);
  m_notChosen.LoadBitmap(IDB_CONVERTER_NOT_CHOSEN);
  m_chosen.LoadBitmap(IDB_CONVERTER_CHOSEN);
  if (CWnd* vcd = GetDlgItem(IDC_DISC_VCD)) vcd->ModifyStyle(0, SS_BITMAP | SS_CENTERIMAGE);
  if (CStatic* chosen = static_cast<CStatic*>(GetDlgItem(PictureIdFor(*m_discType))))
    chosen->SetBitmap(m_chosen);
  return TRUE;
}

void DiscTypeDialog::Choose(int discType) {
  static const int kPictures[] = {IDC_DISC_VCD, IDC_DISC_SVCD, IDC_DISC_DVD};
  for (int id : kPictures)
    if (CStatic* picture = static_cast<CStatic*>(GetDlgItem(id))) picture->SetBitmap(m_notChosen);
  *m_discType = discType;
  if (CStatic* chosen = static_cast<CStatic*>(GetDlgItem(PictureIdFor(discType)))) chosen->SetBitmap(m_chosen);
}

void DiscTypeDialog::OnPaint() {
  Default();
  static const int kPictures[] = {IDC_DISC_VCD, IDC_DISC_SVCD, IDC_DISC_DVD};
  for (int id : kPictures)
    if (CWnd* picture = GetDlgItem(id)) picture->RedrawWindow();
}

// ---- ScanWaitDialog --------------------------------------------------------------------

IMPLEMENT_DYNAMIC(ScanWaitDialog, CDialog)

BOOL ScanWaitDialog::CreateHidden(CWnd* pOwner) { return Create(IDD, pOwner); }

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
  CString text;
  text.Format("Scanning video files, please wait...\n\n%s", path);
  SetDlgItemText(IDC_SCAN_TEXT, text);
  RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- ConverterAboutDialog -----------------------------------------------------------------

IMPLEMENT_DYNAMIC(ConverterAboutDialog, CDialog)

ConverterAboutDialog::ConverterAboutDialog(const CString& appTitle, CWnd* pParent)
    : CDialog(IDD, pParent), m_appTitle(appTitle) {}

void ConverterAboutDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ABOUT_HOMEPAGE, m_homePage);
  DDX_Control(pDX, IDC_ABOUT_SUPPORT, m_support);
}

BOOL ConverterAboutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText("About " + m_appTitle);
  m_homePage.SetURL(kMakerHomePage);
  m_support.SetURL(kMakerSupport);
  SetDlgItemText(IDC_ABOUT_VERSION, m_appTitle + ReadAppVersion(10));
  return TRUE;
}

#include "creator/main_dialog_about.h"

#include "creator/app_creator.h"
#include "creator/app_skin.h"
#include "creator/app_utils.h"
#include "creator/ini_file.h"
#include "creator/main_dialog.h"

IMPLEMENT_DYNAMIC(CreatorAboutDialog, CDialog)

namespace {

enum { kVersionLength = 10 };

}  // namespace

CreatorAboutDialog::CreatorAboutDialog(CWnd* pParent) : CDialog(IDD, pParent) {}

CString CreatorAboutDialog::VersionLine(const char* programTitle, const char* appIniPath) {
  CString version = CIniFile(appIniPath).ReadString("main", "AppVer", "", kVersionLength);
  return CString(programTitle) + version.Left(kVersionLength);
}

BOOL CreatorAboutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  app_skin::SkinDialog(m_hWnd, app_skin::kDialogSkin);
  CString title = GetProgramTitle();
  SetWindowText(CString("About ") + title);
  SetDlgItemText(IDC_ABOUT_VERSION, VersionLine(title, GetAppFolder() + "app.ini"));
  m_homeLink.SubclassDlgItem(IDC_ABOUT_HOME_LINK, this);
  m_homeLink.SetURL(CreatorMainDialog::kHomePageUrl);
  m_homeLink.SetUnderline(1);
  m_mailLink.SubclassDlgItem(IDC_ABOUT_MAIL_LINK, this);
  m_mailLink.SetURL(CreatorMainDialog::kSupportMailUrl);
  m_mailLink.SetUnderline(1);
  return TRUE;
}

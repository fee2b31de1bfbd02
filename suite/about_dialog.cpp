#include "suite/about_dialog.h"

#include "suite/app_skin.h"
#include "suite/app_utils.h"

IMPLEMENT_DYNAMIC(AboutDialog, CDialog)

AboutDialog::AboutDialog(const AboutDialogIds& ids, const CString& title, CWnd* pParent)
    : CDialog(ids.dialog, pParent), m_ids(ids), m_title(title) {}

CString AboutDialog::VersionLine(const char* programTitle, const char* appIniPath, int maxChars) {
  char version[64] = "";
  if (maxChars < 0) maxChars = 0;
  if (maxChars >= static_cast<int>(sizeof version)) maxChars = sizeof version - 1;
  ::GetPrivateProfileStringA("main", "AppVer", "", version, maxChars + 1, appIniPath);
  return CString(programTitle) + version;
}

BOOL AboutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_ids.skinned) app_skin::SkinDialog(m_hWnd, app_skin::kDialogSkin);
  if (m_ids.captionWithTitle) SetWindowText(CString("About ") + m_title);
  SetDlgItemText(m_ids.versionText, VersionLine(m_title, GetAppFolder() + "app.ini", m_ids.versionChars));
  m_homeLink.SubclassDlgItem(m_ids.homeLink, this);
  m_homeLink.SetURL(m_ids.homeUrl);
  m_supportLink.SubclassDlgItem(m_ids.supportLink, this);
  m_supportLink.SetURL(m_ids.supportUrl);
  if (m_ids.underlinedLinks) {
    m_homeLink.SetUnderline(1);
    m_supportLink.SetUnderline(1);
  }
  return TRUE;
}

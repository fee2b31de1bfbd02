// CreatorAboutDialog: the disc creator's About box (dialog 100), opened by
// the list window's About button and its system menu item. It shows the
// program title with the version from "app.ini" and links to the maker's
// home page and support address.
#pragma once

#include "controls/hyperlink_static.h"
#include "creator/res/creator_resource.h"
#include "mfc/mfc.h"

class CreatorAboutDialog : public CDialog {
  DECLARE_DYNAMIC(CreatorAboutDialog)
public:
  enum { IDD = IDD_CREATOR_ABOUT };

  explicit CreatorAboutDialog(CWnd* pParent = NULL);

  // The version line: the program title and the "AppVer" value of section
  // "main" of the ini file (at most 10 characters, empty when missing).
  static CString VersionLine(const char* programTitle, const char* appIniPath);

protected:
  BOOL OnInitDialog() override;

  HyperLinkStatic m_homeLink;  // 1074: the home page
  HyperLinkStatic m_mailLink;  // 1076: the support address
};

// AboutDialog: a suite program's About box. It shows the program title with
// the version from "app.ini" (section "main", key "AppVer") and links to the
// maker's home page and support address. Each program passes its own
// template and control ids, addresses and manner (AboutDialogIds).
#pragma once

#include "controls/hyperlink_static.h"
#include "mfc/mfc.h"

struct AboutDialogIds {
  int dialog;              // the About template
  int versionText;         // the static showing title and version
  int homeLink;            // the home page link static
  int supportLink;         // the support address link static
  const char* homeUrl;     // the maker's home page
  const char* supportUrl;  // the maker's support address
  int versionChars;        // most characters of "AppVer" shown
  bool captionWithTitle;   // caption := "About " + title
  bool skinned;            // skinned with the named skin "Dialog"
  bool underlinedLinks;    // the links are drawn underlined
};

class AboutDialog : public CDialog {
  DECLARE_DYNAMIC(AboutDialog)
public:
  // title: the program title that leads the version line (and the caption).
  AboutDialog(const AboutDialogIds& ids, const CString& title, CWnd* pParent = NULL);

  // The version line: the program title and the "AppVer" value of section
  // "main" of the ini file (at most maxChars characters, empty when missing).
  static CString VersionLine(const char* programTitle, const char* appIniPath, int maxChars = 10);

protected:
  BOOL OnInitDialog() override;

  AboutDialogIds m_ids;          // the program's template, controls and addresses
  CString m_title;               // the program title
  HyperLinkStatic m_homeLink;    // ids.homeLink
  HyperLinkStatic m_supportLink; // ids.supportLink
};

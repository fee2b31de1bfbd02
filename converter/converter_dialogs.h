// The converter's small dialogs: the disc-type chooser shown once at
// start, the modeless "please wait" window the main window shows while it
// probes added files, and the About box.
#pragma once

#include "controls/hyperlink_static.h"
#include "converter/res/converter_resource.h"
#include "mfc/mfc.h"

// "Select Disc Type" (155): pictures 1047 VCD, 1046 SVCD, 1045 DVD show
// bitmap 159 on the chosen type and 158 on the others; a click chooses.
// OK keeps the choice, Cancel ends the program.
class DiscTypeDialog : public CDialog {
  DECLARE_DYNAMIC(DiscTypeDialog)
public:
  enum { IDD = IDD_CONVERTER_DISC_TYPE };

  // discType: the settings field shown and changed (0 VCD, 1 SVCD, 2 DVD).
  explicit DiscTypeDialog(int* discType, CWnd* pParent = NULL);

  // The picture of a disc type (DVD for unknown types).
  static int PictureIdFor(int discType);

protected:
  BOOL OnInitDialog() override;
  afx_msg void OnPaint();
  afx_msg void OnChooseVcd() { Choose(0); }
  afx_msg void OnChooseSvcd() { Choose(1); }
  afx_msg void OnChooseDvd() { Choose(2); }
  void Choose(int discType);

  int* m_discType;      // the settings record's field
  CBitmap m_notChosen;  // 158
  CBitmap m_chosen;     // 159

  DECLARE_MESSAGE_MAP()
};

// The scanning window (150): created hidden with the main window.
class ScanWaitDialog : public CDialog {
  DECLARE_DYNAMIC(ScanWaitDialog)
public:
  enum { IDD = IDD_CONVERTER_SCAN_WAIT };

  BOOL CreateHidden(CWnd* pOwner);
  void ShowCentered();
  void Hide();
  // "Scanning video files, please wait...\n\n%s", drawn at once: the
  // caller probes on this thread right afterwards.
  void SetScanText(LPCTSTR path);

protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
};

// About (100): "About " + the application title, the title and the version
// from "app.ini", and two links.
class ConverterAboutDialog : public CDialog {
  DECLARE_DYNAMIC(ConverterAboutDialog)
public:
  enum { IDD = IDD_CONVERTER_ABOUT };
  explicit ConverterAboutDialog(const CString& appTitle, CWnd* pParent = NULL);

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  CString m_appTitle;
  HyperLinkStatic m_homePage;  // 1061
  HyperLinkStatic m_support;   // 1063
};

// The maker's addresses (the About links and the Home button).
extern const char kMakerHomePage[];
extern const char kMakerSupport[];

// The "AppVer" of section "main" of "app.ini" in the program folder, at
// most maxChars characters ("" when missing).
CString ReadAppVersion(int maxChars);

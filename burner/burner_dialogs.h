// The disc burner's small dialogs: the scanning window the main window
// keeps while the video scanner runs, the loading window (kept, never
// shown), the refusal of a file that does not fit the disc type, the
// disc-type chooser shown at start and the About box.
#pragma once

#include "burner/res/burner_resource.h"
#include "mfc/mfc.h"

class HyperLinkStatic;

// "Scanning Mpeg File...": modeless, no caption, white, progress 0-100.
class ScanProgressDialog : public CDialog {
public:
  enum { IDD = IDD_BURNER_SCAN };
  ScanProgressDialog();
  ~ScanProgressDialog() override;

  BOOL Create(CWnd* owner);
  // Centres the window over its owner and shows it.
  void ShowCentered();
  void SetProgress(int percent);
  int GetProgress() const;

  CWnd* m_owner;          // the main window that shows it
  CProgressCtrl m_progress;  // 1013

protected:
  BOOL OnInitDialog() override;
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

  CBrush m_white;         // the dialog's and its statics' background

  DECLARE_MESSAGE_MAP()
};

// "Loading mpeg files": modeless, white, never shown by the program.
class LoadingFilesDialog : public CDialog {
public:
  enum { IDD = IDD_BURNER_LOADING };
  LoadingFilesDialog();
  ~LoadingFilesDialog() override;
  BOOL Create(CWnd* owner);

protected:
  BOOL OnInitDialog() override;
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

  CBrush m_white;  // background

  DECLARE_MESSAGE_MAP()
};

// "Invalid MPEG file": names the refused file and points to the converter
// and the disc creator.
class InvalidMpegDialog : public CDialog {
public:
  enum { IDD = IDD_BURNER_INVALID };
  InvalidMpegDialog(const char* path, int discType, CWnd* pParent = NULL);

  CString m_path;  // the refused file
  int m_discType;  // names the disc type in the texts

protected:
  BOOL OnInitDialog() override;
};

// "Select Disc Type": three pictures, the chosen one marked; a click
// chooses. The choice is written straight into the settings' disc type;
// Cancel puts back the type the dialog opened with (the program then ends
// and saves what it had read).
class DiscTypeDialog : public CDialog {
public:
  enum { IDD = IDD_BURNER_DISC_TYPE };
  explicit DiscTypeDialog(int* discType, CWnd* pParent = NULL);

  // The picture static of a disc type (DVD for unknown types).
  static int PictureIdFor(int discType);

protected:
  BOOL OnInitDialog() override;
  void OnCancel() override;
  afx_msg void OnPaint();
  afx_msg void OnChooseVcd();
  afx_msg void OnChooseSvcd();
  afx_msg void OnChooseDvd();
  void Choose(int discType);

  int* m_discType;      // the settings' field
  int m_openedWith;     // its value when the dialog opened
  CBitmap m_notChosen;  // 151
  CBitmap m_chosen;     // 152

  DECLARE_MESSAGE_MAP()
};

// The About box: application title and version, links to the maker's
// home page and support.
class AboutDialog : public CDialog {
public:
  enum { IDD = IDD_BURNER_ABOUT };
  explicit AboutDialog(CWnd* pParent = NULL);
  ~AboutDialog() override;

protected:
  BOOL OnInitDialog() override;

  HyperLinkStatic* m_homeLink;     // 1017
  HyperLinkStatic* m_supportLink;  // 1019
};

// The maker's addresses.
extern const char kBurnerHomePage[];
extern const char kBurnerSupportAddress[];

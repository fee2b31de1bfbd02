// The disc burner's small dialogs: the scanning window the main window
// keeps while the video scanner runs, the loading window (kept, never
// shown), the refusal of a file that does not fit the disc type, and the
// burner's ids for the suite's disc-type chooser and About box.
#pragma once

#include "burner/res/burner_resource.h"
#include "suite/disc_type_dialog.h"
#include "suite/about_dialog.h"
#include "mfc/mfc.h"

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

// "Select Disc Type" (149): pictures 1060 VCD, 1061 SVCD, 1062 DVD, all
// restyled as centred bitmaps; bitmap 151 not chosen, 152 chosen.
extern const DiscTypeDialogIds kBurnerDiscTypeIds;

// The About box (100): "About " + the application title, the title and the
// version in 1021, links 1017 (home page) and 1019 (support).
extern const AboutDialogIds kBurnerAboutIds;

// The maker's addresses.
extern const char kBurnerHomePage[];
extern const char kBurnerSupportAddress[];

// ScanWaitDialog: the modeless "please wait" window (dialog 143) that the
// source-file list window creates hidden when it opens and shows, centred
// on itself, while it probes added files. One static text, 1016, names the
// file being probed.
#pragma once

#include "creator/res/creator_resource.h"
#include "mfc/mfc.h"

class ScanWaitDialog : public CDialog {
  DECLARE_DYNAMIC(ScanWaitDialog)
public:
  enum { IDD = IDD_CREATOR_SCAN_WAIT };

  ScanWaitDialog() = default;

  // Creates the window hidden, owned by the list window.
  BOOL CreateHidden(CWnd* pOwner);
  // Centres the window on its owner and shows it.
  void ShowCentered();
  void Hide();
  // 1016 := "Scanning video files, please wait...\n\n%s"; redrawn at once,
  // since the caller probes on this thread right afterwards.
  void SetScanText(LPCTSTR path);

protected:
  BOOL OnInitDialog() override;
  // Neither Enter nor Escape closes it: the list window decides.
  void OnOK() override {}
  void OnCancel() override {}

  DECLARE_MESSAGE_MAP()
};

// ScanWaitDialog: the modeless "please wait" window that a program's file
// list window creates hidden when it opens and shows, centred on itself,
// while it probes added files. One static text names the file being
// probed. Each program passes its own template and text ids.
#pragma once

#include "mfc/mfc.h"

class ScanWaitDialog : public CDialog {
  DECLARE_DYNAMIC(ScanWaitDialog)
public:
  ScanWaitDialog(int dialogId, int textId);

  // Creates the window hidden, owned by the list window.
  BOOL CreateHidden(CWnd* pOwner);
  // Centres the window on its owner and shows it.
  void ShowCentered();
  void Hide();
  // The text := "Scanning video files, please wait...\n\n%s"; redrawn at
  // once, since the caller probes on this thread right afterwards.
  void SetScanText(LPCTSTR path);

protected:
  BOOL OnInitDialog() override;
  // Neither Enter nor Escape closes it: the list window decides.
  void OnOK() override {}
  void OnCancel() override {}

  int m_dialogId;  // the program's template
  int m_textId;    // the static that names the file

  DECLARE_MESSAGE_MAP()
};

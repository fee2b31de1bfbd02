// DiscTypeDialog: "Select Disc Type" (dialog 150), shown once at start-up.
// Three picture statics (1037 VCD, 1038 SVCD, 1040 DVD) show bitmap 151 on
// the chosen type and 152 on the others; a click on one chooses its type.
// The choice is the disc type of the settings record: OK keeps it for the
// whole run, Cancel ends the program.
#pragma once

#include "creator/res/creator_resource.h"
#include "mfc/mfc.h"

class DiscTypeDialog : public CDialog {
  DECLARE_DYNAMIC(DiscTypeDialog)
public:
  enum { IDD = IDD_CREATOR_DISC_TYPE };

  // discType: the disc type field to show and change (0 VCD, 1 SVCD, 2 DVD).
  explicit DiscTypeDialog(int* discType, CWnd* pParent = NULL);
  ~DiscTypeDialog() override;

  // The picture static of a disc type (DVD for unknown types).
  static int PictureIdFor(int discType);

protected:
  BOOL OnInitDialog() override;

  afx_msg void OnPaint();
  afx_msg void OnChooseVcd();
  afx_msg void OnChooseSvcd();
  afx_msg void OnChooseDvd();

  // Marks pictureId chosen, the others not, and stores the type.
  void Choose(int discType);

  int* m_discType;               // the settings record's field
  CBitmap m_notChosen;           // 152
  CBitmap m_chosen;              // 151

  DECLARE_MESSAGE_MAP()
};

// DiscTypeDialog: "Select Disc Type", shown once at start-up by each disc
// program. Three picture statics (VCD, SVCD, DVD) show the "chosen" bitmap
// on the chosen type and the "not chosen" bitmap on the others; a click on
// one chooses its type. The choice is the disc type of the settings record:
// OK keeps it for the whole run, Cancel puts back the type the dialog
// opened with (the program then ends without taking the click).
// Each program passes its own template, control and bitmap ids.
#pragma once

#include "mfc/mfc.h"

struct DiscTypeDialogIds {
  int dialog;             // the "Select Disc Type" template
  int pictures[3];        // picture statics of VCD, SVCD and DVD
  int notChosenBitmap;    // shown on the types not chosen
  int chosenBitmap;       // shown on the chosen type
  bool centreAllPictures; // all three get the centred-bitmap style, not only VCD
};

class DiscTypeDialog : public CDialog {
  DECLARE_DYNAMIC(DiscTypeDialog)
public:
  // discType: the disc type field to show and change (0 VCD, 1 SVCD, 2 DVD).
  DiscTypeDialog(int* discType, const DiscTypeDialogIds& ids, CWnd* pParent = NULL);
  ~DiscTypeDialog() override;

  // The picture static of a disc type (DVD for unknown types).
  int PictureIdFor(int discType) const;

protected:
  BOOL OnInitDialog() override;
  void OnCancel() override;

  // A click on a picture (STN_CLICKED) chooses its type; the ids differ
  // by program, so they are matched here rather than in the message map.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  afx_msg void OnPaint();

  // Marks the picture of discType chosen, the others not, and stores the type.
  void Choose(int discType);

  DiscTypeDialogIds m_ids;  // the program's template, pictures and bitmaps
  int* m_discType;          // the settings record's field
  int m_openedWith;         // its value when the dialog opened
  CBitmap m_notChosen;      // ids.notChosenBitmap
  CBitmap m_chosen;         // ids.chosenBitmap

  DECLARE_MESSAGE_MAP()
};

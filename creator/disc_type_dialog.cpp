#include "creator/disc_type_dialog.h"

#include "creator/app_skin.h"
#include "creator/settings_values.h"

IMPLEMENT_DYNAMIC(DiscTypeDialog, CDialog)

BEGIN_MESSAGE_MAP(DiscTypeDialog, CDialog)
  ON_WM_PAINT()
  ON_STN_CLICKED(IDC_DISC_TYPE_VCD, OnChooseVcd)
  ON_STN_CLICKED(IDC_DISC_TYPE_SVCD, OnChooseSvcd)
  ON_STN_CLICKED(IDC_DISC_TYPE_DVD, OnChooseDvd)
END_MESSAGE_MAP()

namespace {

const int kPictures[] = {IDC_DISC_TYPE_VCD, IDC_DISC_TYPE_SVCD, IDC_DISC_TYPE_DVD};

}  // namespace

DiscTypeDialog::DiscTypeDialog(int* discType, CWnd* pParent) : CDialog(IDD, pParent), m_discType(discType) {}

DiscTypeDialog::~DiscTypeDialog() = default;

int DiscTypeDialog::PictureIdFor(int discType) {
  switch (discType) {
    case kDiscTypeVcd: return IDC_DISC_TYPE_VCD;
    case kDiscTypeSvcd: return IDC_DISC_TYPE_SVCD;
    default: return IDC_DISC_TYPE_DVD;
  }
}

BOOL DiscTypeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  app_skin::SkinDialog(m_hWnd, app_skin::kDialogSkin);
  m_notChosen.LoadBitmap(IDB_CREATOR_NOT_CHOSEN);
  m_chosen.LoadBitmap(IDB_CREATOR_CHOSEN);
  if (CWnd* vcd = GetDlgItem(IDC_DISC_TYPE_VCD))
    vcd->ModifyStyle(SS_TYPEMASK, SS_BITMAP | SS_CENTERIMAGE);
  // The others keep bitmap 152 from the template.
  if (CStatic* current = static_cast<CStatic*>(GetDlgItem(PictureIdFor(*m_discType))))
    current->SetBitmap(m_chosen);
  return TRUE;
}

void DiscTypeDialog::OnPaint() {
  CDialog::OnPaint();
  for (int id : kPictures)
    if (CWnd* picture = GetDlgItem(id)) picture->Invalidate();
}

void DiscTypeDialog::Choose(int discType) {
  for (int id : kPictures)
    if (CStatic* picture = static_cast<CStatic*>(GetDlgItem(id))) picture->SetBitmap(m_notChosen);
  *m_discType = discType;
  if (CStatic* picture = static_cast<CStatic*>(GetDlgItem(PictureIdFor(discType)))) picture->SetBitmap(m_chosen);
}

void DiscTypeDialog::OnChooseVcd() { Choose(kDiscTypeVcd); }
void DiscTypeDialog::OnChooseSvcd() { Choose(kDiscTypeSvcd); }
void DiscTypeDialog::OnChooseDvd() { Choose(kDiscTypeDvd); }

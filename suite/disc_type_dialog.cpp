#include "suite/disc_type_dialog.h"

#include "suite/app_skin.h"
#include "suite/settings_values.h"

IMPLEMENT_DYNAMIC(DiscTypeDialog, CDialog)

BEGIN_MESSAGE_MAP(DiscTypeDialog, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

const int kTypes[] = {kDiscTypeVcd, kDiscTypeSvcd, kDiscTypeDvd};

}  // namespace

DiscTypeDialog::DiscTypeDialog(int* discType, const DiscTypeDialogIds& ids, CWnd* pParent)
    : CDialog(ids.dialog, pParent), m_ids(ids), m_discType(discType), m_openedWith(*discType) {}

DiscTypeDialog::~DiscTypeDialog() = default;

int DiscTypeDialog::PictureIdFor(int discType) const {
  switch (discType) {
    case kDiscTypeVcd: return m_ids.pictures[0];
    case kDiscTypeSvcd: return m_ids.pictures[1];
    default: return m_ids.pictures[2];
  }
}

BOOL DiscTypeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  app_skin::SkinDialog(m_hWnd, app_skin::kDialogSkin);
  m_notChosen.LoadBitmap(m_ids.notChosenBitmap);
  m_chosen.LoadBitmap(m_ids.chosenBitmap);
  const int centred = m_ids.centreAllPictures ? 3 : 1;
  for (int i = 0; i < centred; ++i)
    if (CWnd* picture = GetDlgItem(m_ids.pictures[i]))
      picture->ModifyStyle(SS_TYPEMASK, SS_BITMAP | SS_CENTERIMAGE);
  // The others keep the "not chosen" bitmap from the template.
  if (CStatic* current = static_cast<CStatic*>(GetDlgItem(PictureIdFor(*m_discType))))
    current->SetBitmap(m_chosen);
  return TRUE;
}

BOOL DiscTypeDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == STN_CLICKED) {
    for (int i = 0; i < 3; ++i) {
      if (static_cast<int>(LOWORD(wParam)) == m_ids.pictures[i]) {
        Choose(kTypes[i]);
        return TRUE;
      }
    }
  }
  return CDialog::OnCommand(wParam, lParam);
}

void DiscTypeDialog::OnCancel() {
  // Cancel ends the program: the clicked type must not be saved.
  *m_discType = m_openedWith;
  CDialog::OnCancel();
}

void DiscTypeDialog::OnPaint() {
  CDialog::OnPaint();
  for (int id : m_ids.pictures)
    if (CWnd* picture = GetDlgItem(id)) picture->Invalidate();
}

void DiscTypeDialog::Choose(int discType) {
  for (int id : m_ids.pictures)
    if (CStatic* picture = static_cast<CStatic*>(GetDlgItem(id))) picture->SetBitmap(m_notChosen);
  *m_discType = discType;
  if (CStatic* picture = static_cast<CStatic*>(GetDlgItem(PictureIdFor(discType)))) picture->SetBitmap(m_chosen);
}

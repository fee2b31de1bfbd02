// Control wrappers: creation, the members that need more than one message,
// and owner-draw routing.
#include "mfc/win/controls.h"

#include "mfc/win/imagelist.h"
#include "mfc/win/internal.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

using quorbel_mfc::EnsureCommonControls;

void quorbel_mfc::EnsureCommonControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  done = true;
}

namespace {

// Owner-draw messages that the parent hands back to the control they are
// about: WM_DRAWITEM, and WM_MEASUREITEM for controls that measure their
// items. Each is answered TRUE; false for any other message.
template <class Control>
bool DrawReflected(Control* control, UINT message, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return false;
  control->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult != NULL) *pResult = TRUE;
  return true;
}

template <class Control>
bool DrawOrMeasureReflected(Control* control, UINT message, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_MEASUREITEM) return DrawReflected(control, message, lParam, pResult);
  control->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
  if (pResult != NULL) *pResult = TRUE;
  return true;
}

// Item nIndex's text of a combo box or list box, read with the control's
// length and text messages; empty when there is no such item.
void ListItemText(const CWnd& list, UINT lengthMessage, UINT textMessage, int nIndex, CString& rString) {
  int length = static_cast<int>(list.SendMessage(lengthMessage, nIndex));
  if (length < 0) {  // CB_ERR, LB_ERR
    rString.Empty();
    return;
  }
  char* buffer = rString.GetBuffer(length + 1);
  int got = static_cast<int>(list.SendMessage(textMessage, nIndex, reinterpret_cast<LPARAM>(buffer)));
  rString.ReleaseBuffer(got < 0 ? 0 : got);
}

}  // namespace

// ---- Creation ---------------------------------------------------------------------

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("EDIT", NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("COMBOBOX", NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("LISTBOX", NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("SCROLLBAR", NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  EnsureCommonControls();
  return CWnd::Create(WC_LISTVIEWA, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  EnsureCommonControls();
  return CWnd::Create(PROGRESS_CLASSA, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  EnsureCommonControls();
  return CWnd::Create(TRACKBAR_CLASSA, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  EnsureCommonControls();
  return CWnd::Create(UPDOWN_CLASSA, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  EnsureCommonControls();
  BOOL ok = CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), NULL, NULL);
  if (ok) ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return ok;
}

// ---- Owner draw ---------------------------------------------------------------------

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
void CListCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (DrawReflected(this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (DrawReflected(this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (DrawOrMeasureReflected(this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (DrawOrMeasureReflected(this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (DrawReflected(this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- Edit, combo box, list box ---------------------------------------------------------

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const {
  if (nMaxLength <= 0) return 0;
  // EM_GETLINE takes the buffer size in its first WORD.
  if (nMaxLength < static_cast<int>(sizeof(WORD))) {
    char small[sizeof(WORD)] = {};
    *reinterpret_cast<WORD*>(small) = sizeof(WORD);
    int got = static_cast<int>(SendMessage(EM_GETLINE, nIndex, reinterpret_cast<LPARAM>(small)));
    if (got > nMaxLength) got = nMaxLength;
    for (int i = 0; i < got; ++i) lpszBuffer[i] = small[i];
    return got;
  }
  *reinterpret_cast<WORD*>(lpszBuffer) = static_cast<WORD>(nMaxLength > 0xFFFF ? 0xFFFF : nMaxLength);
  return static_cast<int>(SendMessage(EM_GETLINE, nIndex, reinterpret_cast<LPARAM>(lpszBuffer)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  ListItemText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, rString);
}

void CListBox::GetText(int nIndex, CString& rString) const {
  ListItemText(*this, LB_GETTEXTLEN, LB_GETTEXT, nIndex, rString);
}

// ---- List view -------------------------------------------------------------------------

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.pszText = const_cast<LPSTR>(lpszColumnHeading);
  column.fmt = nFormat;
  if (nWidth != -1) {
    column.mask |= LVCF_WIDTH;
    column.cx = nWidth;
  }
  if (nSubItem != -1) {
    column.mask |= LVCF_SUBITEM;
    column.iSubItem = nSubItem;
  }
  return InsertColumn(nCol, &column);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam) {
  LVITEMA item = {};
  item.mask = nMask;
  item.iItem = nItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.state = nState;
  item.stateMask = nStateMask;
  item.iImage = nImage;
  item.lParam = lParam;
  return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  LVITEMA item = {};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  // The control gives no length: grow the buffer until the text fits.
  CString text;
  for (int size = 256;; size *= 2) {
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.cchTextMax = size;
    item.pszText = text.GetBuffer(size);
    int got = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item)));
    text.ReleaseBuffer(got < 0 ? 0 : got);
    if (got < size - 1 || size >= (1 << 20)) break;
  }
  return text;
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
  LVITEMA item = {};
  item.iSubItem = nSubItem;
  item.cchTextMax = nLen;
  item.pszText = lpszText;
  return static_cast<int>(SendMessage(LVM_GETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  item.lParam = static_cast<LPARAM>(dwData);
  return SetItem(&item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEMA item = {};
  item.state = nState;
  item.stateMask = nMask;
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
  lpRect->left = static_cast<LONG>(nCode);
  return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, nItem, reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const {
  ref.top = iSubItem;
  ref.left = nArea;
  return static_cast<BOOL>(SendMessage(LVM_GETSUBITEMRECT, iItem, reinterpret_cast<LPARAM>(static_cast<RECT*>(&ref))));
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  int first = GetNextItem(-1, LVNI_SELECTED);
  return reinterpret_cast<POSITION>(static_cast<INT_PTR>(first + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
  int item = static_cast<int>(reinterpret_cast<INT_PTR>(pos)) - 1;
  int next = GetNextItem(item, LVNI_SELECTED);
  pos = reinterpret_cast<POSITION>(static_cast<INT_PTR>(next + 1));
  return item;
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  LVHITTESTINFO info = {};
  info.pt = pt;
  int item = HitTest(&info);
  if (pFlags != NULL) *pFlags = info.flags;
  return item;
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
      SendMessage(LVM_SETIMAGELIST, nImageListType, reinterpret_cast<LPARAM>(pImageList->GetSafeHandle()))));
}

CImageList* CListCtrl::GetImageList(int nImageListType) const {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, nImageListType)));
}

// ---- Progress bar --------------------------------------------------------------------------

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
  PBRANGE range = {};
  SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  nLower = range.iLow;
  nUpper = range.iHigh;
}

// ---- Tooltips ---------------------------------------------------------------------------------

void CToolTipCtrl::FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) {
  ti = TTTOOLINFOA();
  // The version-2 size is accepted by every comctl32 the programs meet.
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  HWND hWnd = pWnd->GetSafeHwnd();
  if (nIDTool == 0) {
    // The whole window: the tool is the window itself, owned by its parent.
    HWND hParent = ::GetParent(hWnd);
    ti.hwnd = hParent != NULL ? hParent : hWnd;
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(hWnd);
  } else {
    ti.hwnd = hWnd;
    ti.uFlags = 0;
    ti.uId = nIDTool;
  }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  if (nIDTool == 0 && lpRectTool != NULL) {
    // A rectangle of a window needs an id of its own.
    ti.hwnd = pWnd->GetSafeHwnd();
    ti.uFlags = 0;
    ti.uId = 0;
  }
  if (lpRectTool != NULL) ti.rect = *lpRectTool;
  // No TTF_SUBCLASS: the owner hands mouse messages over with RelayEvent
  // from PreTranslateMessage.
  ti.hinst = NULL;
  ti.lpszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  CString text;
  text.LoadString(nIDText);
  return AddTool(pWnd, text, lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.lpszText = const_cast<LPSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const {
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  // The control copies up to 80 characters (its classic limit) unless it
  // knows a longer text: give it room for any text.
  ti.lpszText = str.GetBuffer(4096);
  ti.lpszText[0] = '\0';
  SendMessage(TTM_GETTEXTA, 4096, reinterpret_cast<LPARAM>(&ti));
  str.ReleaseBuffer();
}

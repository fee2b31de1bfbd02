// CToolBar over the common toolbar control.
#include "mfc/win/toolbar.h"

#include <vector>

#include "mfc/win/app.h"
#include "mfc/win/gdi.h"

IMPLEMENT_DYNAMIC(CToolBar, CWnd)

CToolBar::~CToolBar() {
  DestroyWindow();
  if (m_hbmImageWell != NULL) ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);
  // The bar styles (low word) are ours; the control gets window styles and
  // its own TBSTYLE_ bits.
  DWORD style = (dwStyle & 0xFFFF0000) | (dwCtrlStyle & 0xFFFF) | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, NULL, style, 0, 0, 0, 0, pParentWnd->GetSafeHwnd(),
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), NULL))
    return FALSE;
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  m_sizeButton = sizeButton;
  m_sizeImage = sizeImage;
  if (m_hWnd != NULL) {
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
  }
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName) {
  HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
  if (hInst == NULL || m_hWnd == NULL) return FALSE;
  HRSRC hRes = ::FindResourceA(hInst, lpszResourceName, RT_TOOLBAR);
  HGLOBAL hGlobal = hRes != NULL ? ::LoadResource(hInst, hRes) : NULL;
  const WORD* data = hGlobal != NULL ? static_cast<const WORD*>(::LockResource(hGlobal)) : NULL;
  DWORD size = hRes != NULL ? ::SizeofResource(hInst, hRes) : 0;
  // version, image width, image height, item count, then the items.
  if (data == NULL || size < 4 * sizeof(WORD) || data[0] != 1) return FALSE;
  WORD count = data[3];
  if (size < (4u + count) * sizeof(WORD) || data[1] == 0 || data[2] == 0) return FALSE;
  std::vector<UINT> ids(data + 4, data + 4 + count);
  SIZE image = {data[1], data[2]};
  SIZE button = {data[1] + 7, data[2] + 7};
  SetSizes(button, image);
  if (!LoadBitmap(lpszResourceName)) return FALSE;
  return SetButtons(ids.data(), count);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName) {
  HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
  if (hInst == NULL || m_hWnd == NULL) return FALSE;
  HBITMAP hbm = AfxLoadSysColorBitmap(hInst, ::FindResourceA(hInst, lpszResourceName, RT_BITMAP));
  if (hbm == NULL) return FALSE;
  BITMAP bm = {};
  ::GetObjectA(hbm, sizeof(bm), &bm);
  TBADDBITMAP add = {NULL, reinterpret_cast<UINT_PTR>(hbm)};
  int images = m_sizeImage.cx > 0 ? bm.bmWidth / m_sizeImage.cx : 0;
  if (SendMessage(TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&add)) < 0) {
    ::DeleteObject(hbm);
    return FALSE;
  }
  if (m_hbmImageWell != NULL) ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = hbm;
  return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  if (m_hWnd == NULL) return FALSE;
  while (SendMessage(TB_BUTTONCOUNT) > 0) SendMessage(TB_DELETEBUTTON, 0);
  std::vector<TBBUTTON> buttons(static_cast<size_t>(nIDCount > 0 ? nIDCount : 0));
  int image = 0;
  for (int i = 0; i < nIDCount; ++i) {
    TBBUTTON& b = buttons[i];
    b = TBBUTTON();
    UINT id = lpIDArray != NULL ? lpIDArray[i] : 0;
    if (id == 0) {
      b.fsStyle = TBSTYLE_SEP;
      b.iBitmap = 8;  // separator width
    } else {
      b.idCommand = static_cast<int>(id);
      b.iBitmap = image++;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = TBSTYLE_BUTTON;
    }
  }
  if (buttons.empty()) return TRUE;
  return static_cast<BOOL>(SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON b = {};
  if (!SendMessage(TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(&b))) return 0;
  return b.fsStyle & TBSTYLE_SEP ? 0 : static_cast<UINT>(b.idCommand);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
  TBBUTTON b = {};
  if (!SendMessage(TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(&b))) {
    nID = 0;
    nStyle = 0;
    iImage = -1;
    return;
  }
  nID = static_cast<UINT>(b.idCommand);
  nStyle = MAKELONG(b.fsStyle, b.fsState);
  iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
  TBBUTTONINFOA info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_STATE | TBIF_IMAGE;
  info.idCommand = static_cast<int>(nID);
  info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
  info.fsState = static_cast<BYTE>(HIWORD(nStyle));
  info.iImage = iImage;
  SendMessage(TB_SETBUTTONINFOA, nIndex, reinterpret_cast<LPARAM>(&info));
}

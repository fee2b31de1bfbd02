// CToolBar: a toolbar control loaded from a toolbar resource (the command
// ids of the buttons) and the bitmap of the same id (their images, one
// strip). Enough to place buttons and ask which image a command has.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "mfc/win/wnd.h"

// Bar styles; only the placement is kept, the control itself is plain.
#define CBRS_ALIGN_LEFT   0x1000L
#define CBRS_ALIGN_TOP    0x2000L
#define CBRS_ALIGN_RIGHT  0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY    0xF000L
#define CBRS_TOP    CBRS_ALIGN_TOP
#define CBRS_BOTTOM CBRS_ALIGN_BOTTOM
#define CBRS_LEFT   CBRS_ALIGN_LEFT
#define CBRS_RIGHT  CBRS_ALIGN_RIGHT
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY    0x0020L

// Control id of a frame's first toolbar.
#define AFX_IDW_TOOLBAR 0xE800

// Resource type of toolbar resources.
#define RT_TOOLBAR MAKEINTRESOURCE(241)

class CToolBar : public CWnd {
  DECLARE_DYNAMIC(CToolBar)
public:
  CToolBar() = default;
  ~CToolBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
              UINT nID = AFX_IDW_TOOLBAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                UINT nID = AFX_IDW_TOOLBAR);
  // Buttons from the toolbar resource and images from the bitmap of the
  // same name. FALSE when either is missing or malformed.
  BOOL LoadToolBar(LPCTSTR lpszResourceName);
  BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCEA(nIDResource)); }
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
  // Buttons from ids (ID_SEPARATOR = 0 makes a separator); image i goes to
  // the i-th non-separator.
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
  void SetSizes(SIZE sizeButton, SIZE sizeImage);

  int GetCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
  int CommandToIndex(UINT nIDFind) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind)); }
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const {
    SendMessage(TB_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(lpRect));
  }
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
  void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);

protected:
  SIZE m_sizeImage = {16, 15};   // size of one image in the strip
  SIZE m_sizeButton = {23, 22};  // size of one button
  HBITMAP m_hbmImageWell = NULL; // the image strip, owned (the control only borrows it)
};

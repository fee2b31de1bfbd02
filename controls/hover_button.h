// HoverButton: the owner-drawn push button of the programs' main windows.
// Attached to a resource button, it draws itself flat with an icon (or
// bitmap) and an optional caption, shows a raised border while the mouse
// is over it, carries a tooltip, and can act as a check box. It holds an
// owner-drawn popup menu and sound records for callers that want them.
#pragma once

#include "controls/owner_menu.h"
#include "mfc/mfc.h"

class HoverButton : public CButton {
  DECLARE_DYNAMIC(HoverButton)
public:
  // Colour pairs.
  enum ColorPair {
    kColorIn = 0,     // hovered or pressed
    kColorOut = 1,    // normal
    kColorFocus = 2,  // focused
  };
  // How the "out" icon is made from the "in" icon.
  enum DerivedIcon {
    kGrayOut = 1,     // grey of the same brightness
    kDarkerOut = 2,   // each channel a quarter darker
  };
  // Where the image stands (SetAlign).
  enum Align { kAlignLeft = 0, kAlignTop = 1, kAlignRight = 2 };
  // Results of the setters.
  enum { kOk = 0, kInvalidAlign = 4, kInvalidPressedStyle = 6 };
  // Sound records: what to play when the mouse comes over it, and on a click.
  enum SoundEvent { kSoundHover = 0, kSoundClick = 1 };

  HoverButton();
  ~HoverButton() override;

  // Icons from the module's resources: the "in" icon and an optional
  // "out" icon (0: none). Repaints.
  BOOL SetIcon(UINT nIconIn, UINT nIconOut = 0);
  // The same from icon handles, which the button then owns.
  BOOL SetIcon(HICON hIconIn, HICON hIconOut);
  // The "in" icon, and an "out" icon made from it.
  BOOL SetIcon(HICON hIconIn, DerivedIcon how);
  // Bitmaps with crTransparent as their transparent colour; the button owns them.
  BOOL SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransparentIn, HBITMAP hBitmapOut = NULL,
                  COLORREF crTransparentOut = RGB(0, 0, 0));

  // 0 image left of the caption, 1 above, 2 right; above 3: kInvalidAlign.
  int SetAlign(int nAlign, BOOL bRepaint = TRUE);
  // 0: pressed content moves (1, 1); 1: it moves (0, 2); else kInvalidPressedStyle.
  int SetPressedStyle(int nStyle, BOOL bRepaint = TRUE);
  int SetColor(int nPair, COLORREF crBackground, COLORREF crForeground, BOOL bRepaint = TRUE);
  void ResetColors(BOOL bRepaint = TRUE);
  void SetFlat(BOOL bFlat, BOOL bRepaint = TRUE);
  void SetDrawBorder(BOOL bBorder, BOOL bRepaint = TRUE);
  void SetFlatFocus(BOOL bFocus, BOOL bRepaint = TRUE);
  // Without track-self the hover needs an active window.
  void SetTrackSelf(BOOL bTrackSelf) { m_bTrackSelf = bTrackSelf; }
  // The cursor shown over the button; the button destroys it.
  void SetButtonCursor(HCURSOR hCursor);
  // Paints over a copy of the parent's pixels instead of a background.
  void SetTransparent(BOOL bRepaint = TRUE);
  void SetTooltipText(LPCTSTR lpszText, BOOL bActivate = TRUE);
  CToolTipCtrl* GetTooltip() { return m_tooltip.GetSafeHwnd() != NULL ? &m_tooltip : NULL; }
  void SetURL(LPCTSTR lpszURL);
  LPCTSTR GetURL() const { return m_szURL; }
  // A sound (file name, or resource name with hModule) for an event;
  // NULL clears it. Played asynchronously, never the system default.
  void SetSound(SoundEvent nEvent, LPCTSTR lpszSound, HMODULE hModule = NULL, BOOL bEnable = TRUE);
  BOOL HasSound(SoundEvent nEvent) const;
  // Test seam: where sounds go instead of PlaySound.
  typedef void (*SoundPlayer)(LPCTSTR lpszSound, HMODULE hModule, DWORD dwFlags, void* pContext);
  static void SetSoundPlayer(SoundPlayer pfnPlayer, void* pContext);

  // The popup menu it holds, with the window, message and lParam of its notification.
  COwnerMenu& GetMenu() { return m_menu; }
  void SetMenuNotify(HWND hWnd, UINT nMessage, LPARAM lParam) {
    m_hMenuNotify = hWnd;
    m_nMenuNotifyMessage = nMessage;
    m_menuNotifyParam = lParam;
  }

  BOOL IsHovered() const { return m_bHover; }
  BOOL IsCheckBox() const { return m_bCheckBox; }
  BOOL IsDefault() const { return m_bDefault; }
  int GetTick() const { return m_nTick; }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
  void PreSubclassWindow() override;
  virtual void DrawBackground(CDC* pDC, CRect* pRect);
  virtual void DrawBorder(CDC* pDC, CRect* pRect);
  virtual void DrawIconImage(CDC* pDC, CRect* pRect, CRect* pCaptionRect);
  virtual void DrawBitmapImage(CDC* pDC, CRect* pRect, CRect* pCaptionRect);
  virtual void DrawCaption(CDC* pDC, CRect* pRect, const CString& text);

  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnCancelMode();
  afx_msg void OnMouseLeave();
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnSysColorChange();
  afx_msg BOOL OnClicked();
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg UINT OnGetDlgCode();
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);

  // The mouse left (or the button can no longer be hovered): flat and
  // hovered buttons lose their raised border at once.
  void Leave();
  void Repaint(BOOL bRepaint);
  void EnsureTooltip();
  void FreeIcons();
  void FreeBitmaps();
  void DropBackground();
  void PlayEventSound(SoundEvent nEvent);

  struct Icon {
    HICON hIcon = NULL;
    int cx = 0;   // twice the hot spot's x
    int cy = 0;   // twice the hot spot's y
  };
  struct Bitmap {
    HBITMAP hBitmap = NULL;  // the image, its transparent parts black
    HBITMAP hMask = NULL;    // white where transparent
    int cx = 0;
    int cy = 0;
  };
  struct Sound {
    CString name;            // file or resource name; empty: none
    HMODULE hModule = NULL;  // resource module, or NULL for a file
    BOOL enabled = FALSE;
  };
  struct Colors {
    COLORREF background;
    COLORREF foreground;
  };

  int m_nStyleType = 0;          // the low five style bits at attach time
  BOOL m_bDefault = FALSE;       // a default push button
  BOOL m_bCheckBox = FALSE;      // acts as a check box
  int m_nTick = 0;               // check box state
  BOOL m_bPressed = FALSE;       // from the last DRAWITEMSTRUCT
  BOOL m_bFocused = FALSE;
  BOOL m_bDisabled = FALSE;
  BOOL m_bHover = FALSE;         // the mouse is over the button
  BOOL m_bFlat = TRUE;
  BOOL m_bDrawBorder = TRUE;     // border while flat and hovered
  BOOL m_bFlatFocus = FALSE;     // focus rectangle while flat
  BYTE m_nAlign = 0;             // image left (0), above (1), right (2)
  int m_nPressedX = 1;           // pressed offset of the content
  int m_nPressedY = 1;
  int m_nMarginX = 3;            // image margins
  int m_nMarginY = 3;
  BOOL m_bTrackSelf = TRUE;      // hover tracked without an active window
  BOOL m_bTransparent = FALSE;   // paint over the parent's pixels
  CDC m_dcBackground;            // the cached parent background...
  CBitmap m_bmpBackground;       // ...its bitmap...
  HGDIOBJ m_hOldBackground = NULL;   // ...and the bitmap it replaced
  Colors m_colors[3];            // in, out, focus
  HCURSOR m_hCursor = NULL;
  CToolTipCtrl m_tooltip;        // made on first use
  DWORD m_dwTooltipStyle = 0;
  Icon m_iconIn;
  Icon m_iconOut;
  Bitmap m_bitmapIn;
  Bitmap m_bitmapOut;
  TCHAR m_szURL[MAX_PATH];
  COwnerMenu m_menu;
  HWND m_hMenuNotify = NULL;
  UINT m_nMenuNotifyMessage = 0;
  LPARAM m_menuNotifyParam = 0;
  Sound m_sounds[2];             // hover, click

  DECLARE_MESSAGE_MAP()
};

// HoverButton: attaching, hover tracking, the check box mode, the tooltip
// and the drawing of every state.
#include "controls/hover_button.h"

#include <mmsystem.h>

#include <cstring>
#include <vector>

#include "controls/color_math.h"
#include "controls/hover_button_layout.h"

using namespace quorbel_controls;

IMPLEMENT_DYNAMIC(HoverButton, CButton)

BEGIN_MESSAGE_MAP(HoverButton, CButton)
  ON_WM_SETCURSOR()
  ON_WM_KILLFOCUS()
  ON_WM_CANCELMODE()
  ON_WM_MOUSELEAVE()
  ON_WM_ACTIVATE()
  ON_WM_MOUSEMOVE()
  ON_WM_SYSCOLORCHANGE()
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_WM_ENABLE()
  ON_WM_GETDLGCODE()
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_MENUCHAR()
  ON_WM_MEASUREITEM()
  ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
  ON_MESSAGE(BM_SETCHECK, OnSetCheck)
  ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

namespace {

// A CDC over a DC the button only borrows.
class BorrowedDC : public CDC {
public:
  explicit BorrowedDC(HDC hdc) { Attach(hdc); }
  ~BorrowedDC() override { Detach(); }
};

void PlayWithSystem(LPCTSTR lpszSound, HMODULE hModule, DWORD dwFlags, void*) {
  ::PlaySoundA(lpszSound, hModule, dwFlags);
}

HoverButton::SoundPlayer g_soundPlayer = &PlayWithSystem;
void* g_soundContext = NULL;

// An icon's drawing size: twice its hot spot (the centre of a standard icon).
void MeasureIcon(HICON hIcon, int& cx, int& cy) {
  cx = cy = 0;
  ICONINFO info = {};
  if (hIcon == NULL || !::GetIconInfo(hIcon, &info)) return;
  cx = static_cast<int>(info.xHotspot) * 2;
  cy = static_cast<int>(info.yHotspot) * 2;
  if (info.hbmColor != NULL) ::DeleteObject(info.hbmColor);
  if (info.hbmMask != NULL) ::DeleteObject(info.hbmMask);
}

// A copy of an icon with every colour greyed or darkened; its mask and
// alpha stay. NULL for an icon without a colour plane.
HICON DeriveIcon(HICON hIcon, HoverButton::DerivedIcon how) {
  ICONINFO info = {};
  if (hIcon == NULL || !::GetIconInfo(hIcon, &info)) return NULL;
  HICON hResult = NULL;
  BITMAP bm = {};
  if (info.hbmColor != NULL && ::GetObjectA(info.hbmColor, sizeof(bm), &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC hdcScreen = ::GetDC(NULL);
    if (::GetDIBits(hdcScreen, info.hbmColor, 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS)) {
      for (uint32_t& p : pixels) {
        ColorValue c = MakeColor((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        c = how == HoverButton::kGrayOut ? GrayColor(c) : DarkerColor(c);
        p = (p & 0xFF000000u) | (static_cast<uint32_t>(RedOf(c)) << 16) |
            (static_cast<uint32_t>(GreenOf(c)) << 8) | static_cast<uint32_t>(BlueOf(c));
      }
      void* bits = NULL;
      HBITMAP hColour = ::CreateDIBSection(hdcScreen, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
      if (hColour != NULL && bits != NULL) {
        std::memcpy(bits, pixels.data(), pixels.size() * sizeof(uint32_t));
        ICONINFO made = info;
        made.hbmColor = hColour;
        hResult = ::CreateIconIndirect(&made);
      }
      if (hColour != NULL) ::DeleteObject(hColour);
    }
    ::ReleaseDC(NULL, hdcScreen);
  }
  if (info.hbmColor != NULL) ::DeleteObject(info.hbmColor);
  if (info.hbmMask != NULL) ::DeleteObject(info.hbmMask);
  return hResult;
}

}  // namespace

HoverButton::HoverButton() {
  m_szURL[0] = '\0';
  ResetColors(FALSE);
}

HoverButton::~HoverButton() {
  DropBackground();
  FreeIcons();
  FreeBitmaps();
  if (m_hCursor != NULL) ::DestroyCursor(m_hCursor);
  m_menu.DestroyMenu();
  if (m_tooltip.GetSafeHwnd() != NULL) m_tooltip.DestroyWindow();
}

void HoverButton::SetSoundPlayer(SoundPlayer pfnPlayer, void* pContext) {
  g_soundPlayer = pfnPlayer != NULL ? pfnPlayer : &PlayWithSystem;
  g_soundContext = pContext;
}

// ---- Attaching and settings ---------------------------------------------------------------------

void HoverButton::PreSubclassWindow() {
  DWORD style = GetStyle();
  m_nStyleType = static_cast<int>(style & 0x1F);
  UINT type = style & BS_TYPEMASK;
  // A check box style makes a button that stays down while ticked.
  if ((style & BS_CHECKBOX) && type != BS_OWNERDRAW) m_bCheckBox = TRUE;
  if (type == BS_DEFPUSHBUTTON) {
    m_bDefault = TRUE;
    m_nStyleType &= ~BS_TYPEMASK;
  }
  CButton::PreSubclassWindow();
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

void HoverButton::Repaint(BOOL bRepaint) {
  if (bRepaint && m_hWnd != NULL) Invalidate();
}

BOOL HoverButton::SetIcon(UINT nIconIn, UINT nIconOut) {
  auto load = [](UINT nID) -> HICON {
    if (nID == 0) return NULL;
    LPCSTR name = MAKEINTRESOURCEA(nID);
    HINSTANCE hInst = AfxFindResourceHandle(name, RT_GROUP_ICON);
    return hInst != NULL ? static_cast<HICON>(::LoadImageA(hInst, name, IMAGE_ICON, 0, 0, 0)) : NULL;
  };
  return SetIcon(load(nIconIn), load(nIconOut));
}

BOOL HoverButton::SetIcon(HICON hIconIn, HICON hIconOut) {
  FreeIcons();
  m_iconIn.hIcon = hIconIn;
  MeasureIcon(hIconIn, m_iconIn.cx, m_iconIn.cy);
  m_iconOut.hIcon = hIconOut;
  MeasureIcon(hIconOut, m_iconOut.cx, m_iconOut.cy);
  Repaint(TRUE);
  return hIconIn != NULL;
}

BOOL HoverButton::SetIcon(HICON hIconIn, DerivedIcon how) { return SetIcon(hIconIn, DeriveIcon(hIconIn, how)); }

void HoverButton::FreeIcons() {
  if (m_iconIn.hIcon != NULL) ::DestroyIcon(m_iconIn.hIcon);
  if (m_iconOut.hIcon != NULL) ::DestroyIcon(m_iconOut.hIcon);
  m_iconIn = Icon();
  m_iconOut = Icon();
}

BOOL HoverButton::SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransparentIn, HBITMAP hBitmapOut,
                             COLORREF crTransparentOut) {
  FreeBitmaps();
  auto prepare = [](HBITMAP hSource, COLORREF crKey, Bitmap& out) {
    BITMAP bm = {};
    if (hSource == NULL || !::GetObjectA(hSource, sizeof(bm), &bm)) return;
    int cx = bm.bmWidth, cy = bm.bmHeight;
    HDC hdcScreen = ::GetDC(NULL);
    HDC hdcSource = ::CreateCompatibleDC(hdcScreen);
    HDC hdcMask = ::CreateCompatibleDC(hdcScreen);
    HDC hdcImage = ::CreateCompatibleDC(hdcScreen);
    out.hMask = ::CreateBitmap(cx, cy, 1, 1, NULL);
    out.hBitmap = ::CreateCompatibleBitmap(hdcScreen, cx, cy);
    out.cx = cx;
    out.cy = cy;
    HGDIOBJ oldSource = ::SelectObject(hdcSource, hSource);
    HGDIOBJ oldMask = ::SelectObject(hdcMask, out.hMask);
    HGDIOBJ oldImage = ::SelectObject(hdcImage, out.hBitmap);
    // The mask is white where the key colour is...
    ::SetBkColor(hdcSource, crKey);
    ::BitBlt(hdcMask, 0, 0, cx, cy, hdcSource, 0, 0, SRCCOPY);
    // ...and the image black there, so it can be ORed over the masked place.
    ::BitBlt(hdcImage, 0, 0, cx, cy, hdcSource, 0, 0, SRCCOPY);
    ::SetBkColor(hdcImage, RGB(255, 255, 255));
    ::SetTextColor(hdcImage, RGB(0, 0, 0));
    ::BitBlt(hdcImage, 0, 0, cx, cy, hdcMask, 0, 0, 0x00220326);  // DSna
    ::SelectObject(hdcSource, oldSource);
    ::SelectObject(hdcMask, oldMask);
    ::SelectObject(hdcImage, oldImage);
    ::DeleteDC(hdcSource);
    ::DeleteDC(hdcMask);
    ::DeleteDC(hdcImage);
    ::ReleaseDC(NULL, hdcScreen);
    ::DeleteObject(hSource);
  };
  prepare(hBitmapIn, crTransparentIn, m_bitmapIn);
  prepare(hBitmapOut, crTransparentOut, m_bitmapOut);
  Repaint(TRUE);
  return m_bitmapIn.hBitmap != NULL;
}

void HoverButton::FreeBitmaps() {
  for (Bitmap* pBitmap : {&m_bitmapIn, &m_bitmapOut}) {
    if (pBitmap->hBitmap != NULL) ::DeleteObject(pBitmap->hBitmap);
    if (pBitmap->hMask != NULL) ::DeleteObject(pBitmap->hMask);
    *pBitmap = Bitmap();
  }
}

int HoverButton::SetAlign(int nAlign, BOOL bRepaint) {
  if (nAlign < 0 || nAlign > 3) return kInvalidAlign;
  m_nAlign = static_cast<BYTE>(nAlign);
  Repaint(bRepaint);
  return kOk;
}

int HoverButton::SetPressedStyle(int nStyle, BOOL bRepaint) {
  switch (nStyle) {
    case 0:
      m_nPressedX = 1;
      m_nPressedY = 1;
      break;
    case 1:
      m_nPressedX = 0;
      m_nPressedY = 2;
      break;
    default:
      return kInvalidPressedStyle;
  }
  Repaint(bRepaint);
  return kOk;
}

int HoverButton::SetColor(int nPair, COLORREF crBackground, COLORREF crForeground, BOOL bRepaint) {
  if (nPair < kColorIn || nPair > kColorFocus) return -1;
  m_colors[nPair].background = crBackground;
  m_colors[nPair].foreground = crForeground;
  Repaint(bRepaint);
  return kOk;
}

void HoverButton::ResetColors(BOOL bRepaint) {
  for (Colors& colors : m_colors) {
    colors.background = ::GetSysColor(COLOR_BTNFACE);
    colors.foreground = ::GetSysColor(COLOR_BTNTEXT);
  }
  Repaint(bRepaint);
}

void HoverButton::SetFlat(BOOL bFlat, BOOL bRepaint) {
  m_bFlat = bFlat;
  Repaint(bRepaint);
}

void HoverButton::SetDrawBorder(BOOL bBorder, BOOL bRepaint) {
  m_bDrawBorder = bBorder;
  Repaint(bRepaint);
}

void HoverButton::SetFlatFocus(BOOL bFocus, BOOL bRepaint) {
  m_bFlatFocus = bFocus;
  Repaint(bRepaint);
}

void HoverButton::SetButtonCursor(HCURSOR hCursor) {
  if (m_hCursor != NULL && m_hCursor != hCursor) ::DestroyCursor(m_hCursor);
  m_hCursor = hCursor;
}

void HoverButton::SetTransparent(BOOL bRepaint) {
  m_bTransparent = TRUE;
  DropBackground();
  Repaint(bRepaint);
}

void HoverButton::DropBackground() {
  if (m_dcBackground.GetSafeHdc() != NULL) {
    if (m_hOldBackground != NULL) m_dcBackground.SelectObject(m_hOldBackground);
    m_dcBackground.DeleteDC();
  }
  m_hOldBackground = NULL;
  m_bmpBackground.DeleteObject();
}

void HoverButton::SetURL(LPCTSTR lpszURL) {
  lstrcpynA(m_szURL, lpszURL != NULL ? lpszURL : "", MAX_PATH);
}

void HoverButton::SetSound(SoundEvent nEvent, LPCTSTR lpszSound, HMODULE hModule, BOOL bEnable) {
  if (nEvent != kSoundHover && nEvent != kSoundClick) return;
  Sound& sound = m_sounds[nEvent];
  sound.name = lpszSound;
  sound.hModule = hModule;
  sound.enabled = lpszSound != NULL && bEnable;
}

BOOL HoverButton::HasSound(SoundEvent nEvent) const {
  return (nEvent == kSoundHover || nEvent == kSoundClick) && m_sounds[nEvent].enabled &&
         !m_sounds[nEvent].name.IsEmpty();
}

void HoverButton::PlayEventSound(SoundEvent nEvent) {
  if (!HasSound(nEvent)) return;
  const Sound& sound = m_sounds[nEvent];
  DWORD flags = SND_ASYNC | SND_NODEFAULT | (sound.hModule != NULL ? SND_RESOURCE : SND_FILENAME);
  g_soundPlayer(sound.name, sound.hModule, flags, g_soundContext);
}

// ---- Tooltip ----------------------------------------------------------------------------------------

void HoverButton::EnsureTooltip() {
  if (m_tooltip.GetSafeHwnd() != NULL || m_hWnd == NULL) return;
  if (!m_tooltip.Create(this, m_dwTooltipStyle)) return;
  m_tooltip.Activate(FALSE);
  m_tooltip.SetMaxTipWidth(400);
}

void HoverButton::SetTooltipText(LPCTSTR lpszText, BOOL bActivate) {
  if (lpszText == NULL) return;
  EnsureTooltip();
  if (m_tooltip.GetSafeHwnd() == NULL) return;
  if (m_tooltip.GetToolCount() == 0) {
    CRect client;
    GetClientRect(&client);
    m_tooltip.AddTool(this, lpszText, &client, 1);
  }
  m_tooltip.UpdateTipText(lpszText, this, 1);
  m_tooltip.Activate(bActivate);
}

BOOL HoverButton::PreTranslateMessage(MSG* pMsg) {
  EnsureTooltip();
  if (m_tooltip.GetSafeHwnd() != NULL) m_tooltip.RelayEvent(pMsg);
  // A quick second click is a click too, not a double click.
  if (pMsg->message == WM_LBUTTONDBLCLK) pMsg->message = WM_LBUTTONDOWN;
  return CButton::PreTranslateMessage(pMsg);
}

// ---- Messages -----------------------------------------------------------------------------------------

BOOL HoverButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (m_hCursor != NULL) {
    ::SetCursor(m_hCursor);
    return TRUE;
  }
  return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void HoverButton::Leave() {
  if (!m_bFlat || !m_bHover) return;
  m_bHover = FALSE;
  if (m_hWnd != NULL) {
    Invalidate();
    UpdateWindow();
  }
}

void HoverButton::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  Leave();
}

void HoverButton::OnCancelMode() {
  CButton::OnCancelMode();
  Leave();
}

void HoverButton::OnMouseLeave() {
  CButton::OnMouseLeave();
  Leave();
}

void HoverButton::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  CButton::OnActivate(nState, pWndOther, bMinimized);
  if (nState == WA_INACTIVE) Leave();
}

void HoverButton::OnMouseMove(UINT nFlags, CPoint point) {
  CButton::OnMouseMove(nFlags, point);
  CPoint screen = point;
  ClientToScreen(&screen);
  HWND hUnder = ::WindowFromPoint(screen);
  if ((nFlags & MK_LBUTTON) && !m_bHover) return;
  if (!m_bFlat) return;
  if (hUnder == m_hWnd && (m_bTrackSelf || ::GetActiveWindow() != NULL)) {
    if (!m_bHover) {
      m_bHover = TRUE;
      Invalidate();
      TRACKMOUSEEVENT track = {};
      track.cbSize = sizeof(track);
      track.dwFlags = TME_LEAVE;
      track.hwndTrack = m_hWnd;
      ::TrackMouseEvent(&track);
      PlayEventSound(kSoundHover);
    }
  } else {
    Leave();
  }
}

void HoverButton::OnSysColorChange() {
  CButton::OnSysColorChange();
  DropBackground();
  ResetColors(FALSE);
  Invalidate();
}

BOOL HoverButton::OnClicked() {
  SetFocus();
  if (m_bCheckBox) {
    m_nTick = !m_nTick;
    Invalidate();
  }
  PlayEventSound(kSoundClick);
  return FALSE;  // the parent still hears the click
}

void HoverButton::OnEnable(BOOL bEnable) {
  CButton::OnEnable(bEnable);
  if (bEnable) return;
  // A disabled window keeps a focus it can do nothing with: pass it on.
  if (::GetFocus() == m_hWnd) {
    HWND hParent = ::GetParent(m_hWnd);
    HWND hNext = hParent != NULL ? ::GetNextDlgTabItem(hParent, m_hWnd, FALSE) : NULL;
    if (hNext != NULL && hNext != m_hWnd)
      ::SetFocus(hNext);
    else if (hParent != NULL)
      ::SetFocus(hParent);
  }
  Leave();
}

UINT HoverButton::OnGetDlgCode() {
  UINT code = CButton::OnGetDlgCode();
  return code | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH HoverButton::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

LRESULT HoverButton::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
  if (pMenu != NULL && COwnerMenu::IsOwnMenu(pMenu->GetSafeHmenu()))
    return COwnerMenu::FindMenuChar(nChar, nFlags, pMenu);
  return CButton::OnMenuChar(nChar, nFlags, pMenu);
}

void HoverButton::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  if (lpMeasureItemStruct != NULL && lpMeasureItemStruct->CtlType == ODT_MENU && m_menu.GetSafeHmenu() != NULL) {
    CMenu* pOwner = CMenu::FindOwnerOfItem(m_menu.GetSafeHmenu(), lpMeasureItemStruct->itemID,
                                           lpMeasureItemStruct->itemData);
    if (pOwner != NULL) {
      pOwner->MeasureItem(lpMeasureItemStruct);
      return;
    }
  }
  CButton::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT HoverButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
  m_bDefault = type == BS_DEFPUSHBUTTON;
  // The control stays owner-drawn whatever style the dialog manager sets.
  return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT HoverButton::OnSetCheck(WPARAM wParam, LPARAM) {
  if (m_bCheckBox) {
    m_nTick = wParam == BST_CHECKED || wParam == BST_INDETERMINATE;
    Invalidate();
  }
  return 0;
}

LRESULT HoverButton::OnGetCheck(WPARAM, LPARAM) { return m_nTick; }

// ---- Drawing ---------------------------------------------------------------------------------------------

void HoverButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (lpDrawItemStruct == NULL || lpDrawItemStruct->hDC == NULL) return;
  BorrowedDC dc(lpDrawItemStruct->hDC);
  UINT state = lpDrawItemStruct->itemState;
  m_bPressed = (state & ODS_SELECTED) != 0 || (m_bCheckBox && m_nTick);
  m_bFocused = (state & ODS_FOCUS) != 0;
  m_bDisabled = (state & ODS_DISABLED) != 0;
  CRect item(lpDrawItemStruct->rcItem);
  dc.SetBkMode(TRANSPARENT);

  if (m_bTransparent) {
    if (m_dcBackground.GetSafeHdc() == NULL) {
      // The parent's pixels under the button, taken once.
      HWND hParent = ::GetParent(m_hWnd);
      CRect onParent = item;
      ::MapWindowPoints(m_hWnd, hParent, reinterpret_cast<LPPOINT>(&onParent), 2);
      HDC hdcParent = ::GetDC(hParent);
      CDC* pParentDC = CDC::FromHandle(hdcParent);
      if (m_dcBackground.CreateCompatibleDC(pParentDC) &&
          m_bmpBackground.CreateCompatibleBitmap(pParentDC, item.Width(), item.Height())) {
        m_hOldBackground = m_dcBackground.SelectObject(static_cast<HGDIOBJ>(m_bmpBackground.GetSafeHandle()));
        m_dcBackground.BitBlt(0, 0, item.Width(), item.Height(), pParentDC, onParent.left, onParent.top, SRCCOPY);
      }
      ::ReleaseDC(hParent, hdcParent);
    }
    dc.BitBlt(item.left, item.top, item.Width(), item.Height(), &m_dcBackground, 0, 0, SRCCOPY);
  } else {
    DrawBackground(&dc, &item);
  }
  DrawBorder(&dc, &item);

  CString title;
  GetWindowText(title);
  CRect caption = item;
  if (m_iconIn.hIcon != NULL) DrawIconImage(&dc, &item, &caption);
  if (m_bitmapIn.hBitmap != NULL) DrawBitmapImage(&dc, &item, &caption);
  if (!title.IsEmpty()) DrawCaption(&dc, &caption, title);

  if ((!m_bFlat || m_bFlatFocus) && m_bFocused) {
    CRect focus = item;
    focus.InflateRect(-3, -3);
    dc.DrawFocusRect(&focus);
  }
}

void HoverButton::DrawBackground(CDC* pDC, CRect* pRect) {
  if (!m_bFlat && (m_bFocused || m_bDefault)) {
    CBrush black(RGB(0, 0, 0));
    pDC->FrameRect(pRect, &black);
    pRect->DeflateRect(1, 1);
  }
  COLORREF background = m_colors[kColorOut].background;
  if (m_bHover || m_bPressed)
    background = m_colors[kColorIn].background;
  else if (m_bFocused)
    background = m_colors[kColorFocus].background;
  pDC->FillSolidRect(pRect, background);
}

void HoverButton::DrawBorder(CDC* pDC, CRect* pRect) {
  COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (m_bPressed) {
    if (m_bFlat) {
      if (m_bDrawBorder) pDC->Draw3dRect(pRect, shadow, highlight);
    } else {
      CBrush brush(shadow);
      pDC->FrameRect(pRect, &brush);
    }
    return;
  }
  if (!m_bFlat) {
    pDC->Draw3dRect(pRect, highlight, ::GetSysColor(COLOR_3DDKSHADOW));
    CRect inner = *pRect;
    inner.DeflateRect(1, 1);
    pDC->Draw3dRect(&inner, ::GetSysColor(COLOR_3DLIGHT), shadow);
  } else if (m_bHover && m_bDrawBorder) {
    pDC->Draw3dRect(pRect, highlight, shadow);
  }
}

void HoverButton::DrawIconImage(CDC* pDC, CRect* pRect, CRect* pCaptionRect) {
  bool useOut = m_iconOut.hIcon != NULL && !m_bPressed && (m_bCheckBox || !m_bHover);
  const Icon& icon = useOut ? m_iconOut : m_iconIn;
  CString title;
  GetWindowText(title);
  HoverImagePlacement place =
      PlaceHoverImage({pRect->left, pRect->top, pRect->right, pRect->bottom}, icon.cx, icon.cy, !title.IsEmpty(),
                      m_nAlign, m_nMarginX, m_nMarginY, m_bPressed && !m_bCheckBox, m_nPressedX, m_nPressedY);
  pCaptionRect->SetRect(place.caption.left, place.caption.top, place.caption.right, place.caption.bottom);
  pDC->DrawState(CPoint(place.x, place.y), CSize(icon.cx, icon.cy), icon.hIcon,
                 m_bDisabled ? DSS_DISABLED : DSS_NORMAL, static_cast<HBRUSH>(NULL));
}

void HoverButton::DrawBitmapImage(CDC* pDC, CRect* pRect, CRect* pCaptionRect) {
  bool useOut = m_bitmapOut.hBitmap != NULL && !m_bPressed && (m_bCheckBox || !m_bHover);
  const Bitmap& bitmap = useOut ? m_bitmapOut : m_bitmapIn;
  CString title;
  GetWindowText(title);
  HoverImagePlacement place = PlaceHoverImage({pRect->left, pRect->top, pRect->right, pRect->bottom}, bitmap.cx,
                                              bitmap.cy, !title.IsEmpty(), m_nAlign, m_nMarginX, m_nMarginY,
                                              m_bPressed && !m_bCheckBox, m_nPressedX, m_nPressedY);
  pCaptionRect->SetRect(place.caption.left, place.caption.top, place.caption.right, place.caption.bottom);
  HDC hdc = pDC->GetSafeHdc();
  HDC hdcMem = ::CreateCompatibleDC(hdc);
  if (!m_bDisabled) {
    // Mask out the image's place, then lay the image into it.
    COLORREF oldBk = ::SetBkColor(hdc, RGB(255, 255, 255));
    COLORREF oldText = ::SetTextColor(hdc, RGB(0, 0, 0));
    HGDIOBJ old = ::SelectObject(hdcMem, bitmap.hMask);
    ::BitBlt(hdc, place.x, place.y, bitmap.cx, bitmap.cy, hdcMem, 0, 0, SRCAND);
    ::SelectObject(hdcMem, bitmap.hBitmap);
    ::BitBlt(hdc, place.x, place.y, bitmap.cx, bitmap.cy, hdcMem, 0, 0, SRCPAINT);
    ::SelectObject(hdcMem, old);
    ::SetBkColor(hdc, oldBk);
    ::SetTextColor(hdc, oldText);
  } else {
    // The image over white, drawn disabled by the system.
    HBITMAP hComposed = ::CreateCompatibleBitmap(hdc, bitmap.cx, bitmap.cy);
    HDC hdcPart = ::CreateCompatibleDC(hdc);
    HGDIOBJ oldComposed = ::SelectObject(hdcMem, hComposed);
    ::PatBlt(hdcMem, 0, 0, bitmap.cx, bitmap.cy, WHITENESS);
    ::SetBkColor(hdcMem, RGB(255, 255, 255));
    ::SetTextColor(hdcMem, RGB(0, 0, 0));
    HGDIOBJ oldPart = ::SelectObject(hdcPart, bitmap.hMask);
    ::BitBlt(hdcMem, 0, 0, bitmap.cx, bitmap.cy, hdcPart, 0, 0, SRCAND);
    ::SelectObject(hdcPart, bitmap.hBitmap);
    ::BitBlt(hdcMem, 0, 0, bitmap.cx, bitmap.cy, hdcPart, 0, 0, SRCPAINT);
    ::SelectObject(hdcPart, oldPart);
    ::SelectObject(hdcMem, oldComposed);
    ::DeleteDC(hdcPart);
    pDC->DrawState(CPoint(place.x, place.y), CSize(bitmap.cx, bitmap.cy), hComposed, DSS_DISABLED,
                   static_cast<HBRUSH>(NULL));
    ::DeleteObject(hComposed);
  }
  ::DeleteDC(hdcMem);
}

void HoverButton::DrawCaption(CDC* pDC, CRect* pRect, const CString& text) {
  CRect area = *pRect;
  if (m_bPressed && !m_bCheckBox) area.OffsetRect(m_nPressedX, m_nPressedY);
  CRect measured(0, 0, area.Width(), 0);
  pDC->DrawText(text, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  CRect centred(CPoint(area.left + (area.Width() - measured.Width()) / 2,
                       area.top + (area.Height() - measured.Height()) / 2),
                CSize(measured.Width(), measured.Height()));
  if (m_bDisabled) {
    centred.OffsetRect(1, 1);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    pDC->DrawText(text, &centred, DT_WORDBREAK | DT_CENTER);
    centred.OffsetRect(-1, -1);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    pDC->DrawText(text, &centred, DT_WORDBREAK | DT_CENTER);
    return;
  }
  const Colors& colors = (m_bHover || m_bPressed) ? m_colors[kColorIn]
                         : m_bFocused             ? m_colors[kColorFocus]
                                                  : m_colors[kColorOut];
  pDC->SetTextColor(colors.foreground);
  pDC->SetBkColor(colors.background);
  pDC->DrawText(text, &centred, DT_WORDBREAK | DT_CENTER);
}

// COwnerMenu::DrawItem: one item in the flat XP look or the classic 3-D
// look, with its image or check mark, its text and its shortcut text, and
// the disabled copies of images. Reads the menu and its records, changes
// neither. Every brush and pen is made for the call and deleted in it.
#include <string>

#include "controls/color_math.h"
#include "controls/owner_menu.h"
#include "controls/owner_menu_layout.h"

using namespace quorbel_controls;
using namespace owner_menu_detail;

namespace {

// A CDC over a DC the menu only borrows.
class BorrowedDC : public CDC {
public:
  explicit BorrowedDC(HDC hdc) { Attach(hdc); }
  ~BorrowedDC() override { Detach(); }
};

CRect ToCRect(const MenuRect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

void FrameSolid(CDC* pDC, const RECT& rect, COLORREF colour) {
  CBrush brush(colour);
  pDC->FrameRect(&rect, &brush);
}

// Seven vertical strokes of three pixels, the tick's shape.
void DrawCheckMark(CDC* pDC, int x, int y, COLORREF colour) {
  CPen pen(PS_SOLID, 0, colour);
  CPen* pOld = pDC->SelectObject(&pen);
  for (int i = 0; i < 7; ++i) {
    pDC->MoveTo(x + i, y + CheckMarkRise(i));
    pDC->LineTo(x + i, y + CheckMarkRise(i) + 3);
  }
  pDC->SelectObject(pOld);
}

void DrawRadioMark(CDC* pDC, int x, int y, COLORREF colour) {
  CPen pen(PS_SOLID, 0, colour);
  CBrush brush(colour);
  CPen* pOldPen = pDC->SelectObject(&pen);
  CBrush* pOldBrush = pDC->SelectObject(&brush);
  pDC->Ellipse(x, y, x + 6, y + 6);
  pDC->SelectObject(pOldBrush);
  pDC->SelectObject(pOldPen);
}

void DrawTextPart(CDC* pDC, const std::wstring& text, const RECT& rect, UINT format) {
  RECT r = rect;
  ::DrawTextW(pDC->GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &r, format);
}

// What an item shows besides its text.
struct ItemLook {
  HIMAGELIST images = NULL;  // the item's image list (own or global)
  int image = -1;            // its image there
  bool hasImage = false;
  bool raisedTriple = false; // the global list holds faded and shadow copies behind it
  bool checkImages = false;  // the menu's check images stand for the check mark
  bool drawnMark = false;    // a drawn check or radio mark
  bool radio = false;
};

}  // namespace

void COwnerMenu::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (lpDrawItemStruct == NULL || lpDrawItemStruct->CtlType != ODT_MENU) return;
  OwnerMenuItem* pItem = FindRecord(lpDrawItemStruct->itemData);
  if (pItem == NULL || lpDrawItemStruct->hDC == NULL) return;
  BorrowedDC dc(lpDrawItemStruct->hDC);
  // A palette device cannot show the XP look's light tints.
  bool palette = (dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0;
  if (palette || !XpLook())
    DrawClassicItem(&dc, *lpDrawItemStruct, *pItem);
  else
    DrawXpItem(&dc, *lpDrawItemStruct, *pItem);
}

namespace {

ItemLook LookOf(const OwnerMenuItem& item, const DRAWITEMSTRUCT& dis, bool selected, CImageList* pCheckImages,
                int nCheckedImage, int nUncheckedImage) {
  ItemLook look;
  if (item.ownImageMarker >= 0 && item.ownImages != NULL && item.imageIndex >= 0) {
    look.images = item.ownImages->GetSafeHandle();
    look.image = item.imageIndex;
  } else if (item.ownImageMarker < 0 && item.globalImageIndex >= 0 && COwnerMenu::GetGlobalImages() != NULL) {
    look.images = COwnerMenu::GetGlobalImages()->GetSafeHandle();
    look.image = item.globalImageIndex;
    look.raisedTriple =
        COwnerMenu::Settings().raisedIcons != 0 && COwnerMenu::HasThreeGlobalEntries(item.globalImageIndex);
  }
  look.hasImage = look.images != NULL && look.image >= 0;
  bool checked = (dis.itemState & ODS_CHECKED) != 0;
  if (checked && !look.hasImage) {
    look.checkImages = pCheckImages != NULL && pCheckImages->GetSafeHandle() != NULL &&
                       ((selected && nCheckedImage > 0) || nUncheckedImage > 0);
    if (!look.checkImages) {
      look.drawnMark = true;
      MENUITEMINFOA info = {};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_CHECKMARKS;
      // An item given a checked-mark bitmap is one of a radio group.
      if (::GetMenuItemInfoA(reinterpret_cast<HMENU>(dis.hwndItem), dis.itemID, FALSE, &info))
        look.radio = info.hbmpChecked != NULL;
    }
  }
  return look;
}

void DrawImage(CDC* pDC, HIMAGELIST hList, int image, int x, int y) {
  ImageList_Draw(hList, image, pDC->GetSafeHdc(), x, y, ILD_TRANSPARENT);
}

}  // namespace

// ---- XP look --------------------------------------------------------------------------------------

void COwnerMenu::DrawXpItem(CDC* pTarget, const DRAWITEMSTRUCT& dis, OwnerMenuItem& item) {
  CRect rect(dis.rcItem);
  bool grayed = (dis.itemState & ODS_GRAYED) != 0;
  bool checked = (dis.itemState & ODS_CHECKED) != 0;
  // A grayed item is never drawn selected.
  bool selected = (dis.itemState & ODS_SELECTED) != 0 && !grayed;
  bool themed = XpWithTheme() != FALSE;
  COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  if (!themed) face = LightenColor(face, 0.25);
  COLORREF background = ::GetSysColor(COLOR_WINDOW);
  COLORREF selectionFrame = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF selectionFill = LightenColor(selectionFrame, themed ? 0.7 : 0.85);

  // Grayed items are composed off screen and copied in one piece.
  CDC memDC;
  CBitmap bitmap;
  CBitmap* pOldBitmap = NULL;
  CDC* pDC = pTarget;
  if (grayed && !pTarget->IsPrinting() && memDC.CreateCompatibleDC(pTarget) &&
      bitmap.CreateCompatibleBitmap(pTarget, rect.Width(), rect.Height())) {
    pOldBitmap = memDC.SelectObject(&bitmap);
    memDC.SetWindowOrg(rect.left, rect.top);
    pDC = &memDC;
  }
  HFONT hFont = CreateMenuFont();
  HGDIOBJ oldFont = pDC->SelectObject(static_cast<HGDIOBJ>(hFont));

  int gap = MenuIconGap(true, Settings().raisedIcons != 0);
  XpMenuGeometry g = ComputeXpMenuGeometry({rect.left, rect.top, rect.right, rect.bottom}, m_nIconWidth,
                                           m_nIconHeight, gap);
  CRect column = ToCRect(g.column);
  if (item.flags & MF_SEPARATOR) {
    pDC->FillSolidRect(&rect, background);
    pDC->FillSolidRect(&column, face);
    CRect edge = ToCRect(g.separatorEdge);
    pDC->DrawEdge(&edge, EDGE_ETCHED, BF_TOP);
  } else {
    if (selected) {
      pDC->FillSolidRect(&rect, selectionFill);
      FrameSolid(pDC, rect, selectionFrame);
    } else {
      pDC->FillSolidRect(&rect, background);
      FrameSolid(pDC, rect, background);
      pDC->FillSolidRect(&column, face);
      FrameSolid(pDC, column, face);
    }
    ItemLook look = LookOf(item, dis, selected, m_pCheckImages, m_nCheckedImage, m_nUncheckedImage);
    CRect iconBox = ToCRect(g.iconBox);
    int x = g.image.x, y = g.image.y;
    if (look.checkImages) {
      pDC->FillSolidRect(&iconBox, face);
      DrawImage(pDC, m_pCheckImages->GetSafeHandle(), selected ? 1 : 0, x, y);
    } else if (look.hasImage && grayed) {
      HBITMAP hRendered = RenderImage(look.images, look.image, m_nIconWidth, m_nIconHeight);
      if (hRendered != NULL) {
        DrawDisabledImage(pDC, hRendered, x, y, face);
        ::DeleteObject(hRendered);
      }
    } else if (look.hasImage && selected) {
      pDC->FillSolidRect(&iconBox, selectionFill);
      if (checked) {
        FrameSolid(pDC, iconBox, selectionFrame);
        DrawImage(pDC, look.images, look.image, x - 1, y - 1);
      } else if (look.raisedTriple) {
        DrawImage(pDC, look.images, look.image + 2, x + 1, y + 1);
        DrawImage(pDC, look.images, look.image, x - 1, y - 1);
      } else {
        DrawImage(pDC, look.images, look.image, x, y);
      }
    } else if (look.hasImage && checked) {
      pDC->FillSolidRect(&iconBox, LightenColor(selectionFrame, 0.85));
      FrameSolid(pDC, iconBox, selectionFrame);
      DrawImage(pDC, look.images, look.image, x - 1, y - 1);
    } else if (look.hasImage) {
      pDC->FillSolidRect(&iconBox, face);
      FrameSolid(pDC, iconBox, face);
      DrawImage(pDC, look.images, look.raisedTriple ? look.image + 1 : look.image, x, y);
    } else if (look.drawnMark) {
      CRect square = ToCRect(g.markSquare);
      pDC->FillSolidRect(&square, LightenColor(selectionFrame, 0.85));
      FrameSolid(pDC, square, selectionFrame);
      if (look.radio)
        DrawRadioMark(pDC, g.mark.x, g.mark.y, ::GetSysColor(COLOR_MENUTEXT));
      else
        DrawCheckMark(pDC, g.mark.x, g.mark.y, ::GetSysColor(COLOR_MENUTEXT));
    }

    COLORREF textColour = ::GetSysColor(COLOR_MENUTEXT);
    if (grayed) {
      textColour = ::GetSysColor(COLOR_GRAYTEXT);
      if (!selected && !themed) textColour = LightenColor(textColour, 0.4);
    }
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF oldColour = pDC->SetTextColor(textColour);
    MenuTextParts<std::wstring> parts = SplitAtLastTab(item.text);
    CRect textRect(g.textLeft, rect.top, rect.right, rect.bottom);
    DrawTextPart(pDC, parts.label, textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (parts.hasTab) {
      CRect shortcutRect(g.textLeft, rect.top, g.shortcutRight, rect.bottom);
      DrawTextPart(pDC, parts.shortcut, shortcutRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    pDC->SetTextColor(oldColour);
    pDC->SetBkMode(oldMode);
  }

  pDC->SelectObject(oldFont);
  ::DeleteObject(hFont);
  if (pDC == &memDC) {
    pTarget->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, rect.left, rect.top, SRCCOPY);
    memDC.SelectObject(pOldBitmap);
  }
}

// ---- Classic look ---------------------------------------------------------------------------------

void COwnerMenu::DrawClassicItem(CDC* pDC, const DRAWITEMSTRUCT& dis, OwnerMenuItem& item) {
  CRect rect(dis.rcItem);
  bool grayed = (dis.itemState & ODS_GRAYED) != 0;
  bool checked = (dis.itemState & ODS_CHECKED) != 0;
  bool selected = (dis.itemState & ODS_SELECTED) != 0;
  if (grayed && Settings().selectDisabled == 0) selected = false;
  bool themed = XpWithTheme() != FALSE;
  bool framed3d = VersionClass() > kMenuOtherNt;
  COLORREF face = ::GetSysColor(themed ? COLOR_BTNFACE : COLOR_MENU);
  COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  CPen facePen(PS_SOLID, 1, face);
  CBrush faceBrush(face);
  CBrush highlightBrush(::GetSysColor(COLOR_HIGHLIGHT));
  COLORREF textColour = ::GetSysColor(COLOR_MENUTEXT);
  CPen* pOldPen = pDC->SelectObject(&facePen);
  HFONT hFont = CreateMenuFont();
  HGDIOBJ oldFont = pDC->SelectObject(static_cast<HGDIOBJ>(hFont));

  ClassicMenuGeometry g =
      ComputeClassicMenuGeometry({rect.left, rect.top, rect.right, rect.bottom}, m_nIconWidth, m_nIconHeight);
  if (item.flags & MF_SEPARATOR) {
    pDC->FillRect(&rect, &faceBrush);
    CRect edge = ToCRect(g.separatorEdge);
    pDC->DrawEdge(&edge, EDGE_ETCHED, BF_TOP);
  } else {
    ItemLook look = LookOf(item, dis, selected, m_pCheckImages, m_nCheckedImage, m_nUncheckedImage);
    if (!selected) {
      pDC->FillRect(&rect, &faceBrush);
      pDC->Draw3dRect(&rect, face, face);
    } else {
      CRect lit = rect;
      if (look.hasImage || look.checkImages || checked) lit.left = g.selectionLeft;
      pDC->FillRect(&lit, &highlightBrush);
      textColour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    CRect smallBox = ToCRect(g.smallBox);
    CRect frameBox = ToCRect(g.frameBox);
    if (look.checkImages || look.hasImage) pDC->FrameRect(&smallBox, &faceBrush);
    if (look.checkImages) {
      pDC->FillRect(&smallBox, &faceBrush);
      pDC->FrameRect(&frameBox, &faceBrush);
      DrawImage(pDC, m_pCheckImages->GetSafeHandle(), selected ? 1 : 0, g.image.x, g.image.y);
    } else if (look.hasImage && grayed) {
      HBITMAP hRendered = RenderImage(look.images, look.image, m_nIconWidth, m_nIconHeight);
      pDC->FrameRect(&frameBox, &faceBrush);
      if (hRendered != NULL) {
        DrawDisabledImage(pDC, hRendered, g.image.x, g.image.y, face);
        ::DeleteObject(hRendered);
      }
    } else if (look.hasImage && selected) {
      pDC->FillRect(&smallBox, &faceBrush);
      if (framed3d) pDC->Draw3dRect(&frameBox, checked ? shadow : highlight, checked ? highlight : shadow);
      DrawImage(pDC, look.images, look.image, g.image.x, g.image.y);
    } else if (look.hasImage) {
      if (checked) {
        CBrush lighter(LightenColor(face, 0.6));
        pDC->FillRect(&smallBox, &lighter);
        if (framed3d) pDC->Draw3dRect(&frameBox, shadow, highlight);
      } else {
        pDC->FillRect(&smallBox, &faceBrush);
        pDC->FrameRect(&frameBox, &faceBrush);
      }
      DrawImage(pDC, look.images, look.image, g.image.x, g.image.y);
    } else if (look.drawnMark) {
      CRect markBox = ToCRect(g.markBox);
      CBrush markBrush(selected ? face : LightenColor(face, 0.6));
      pDC->FillRect(&markBox, &markBrush);
      if (framed3d) pDC->DrawEdge(&markBox, BDR_SUNKENOUTER, BF_RECT);
      MenuPoint corner = ClassicMarkCorner(g.markBox, look.radio);
      if (look.radio)
        DrawRadioMark(pDC, corner.x, corner.y, ::GetSysColor(COLOR_MENUTEXT));
      else
        DrawCheckMark(pDC, corner.x, corner.y, ::GetSysColor(COLOR_MENUTEXT));
    }

    MenuTextParts<std::wstring> parts = SplitAtTabs(item.text);
    CRect textRect = ToCRect(g.text);
    CRect shortcutRect = ToCRect(g.shortcut);
    auto drawText = [&](int dx, int dy) {
      CRect t = textRect, s = shortcutRect;
      t.OffsetRect(dx, dy);
      s.OffsetRect(dx, dy);
      if (parts.hasTab) DrawTextPart(pDC, parts.shortcut, s, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
      DrawTextPart(pDC, parts.label, t, DT_SINGLELINE | DT_VCENTER);
    };
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF oldColour;
    if (!grayed) {
      oldColour = pDC->SetTextColor(textColour);
      drawText(0, 0);
    } else if (selected) {
      oldColour = pDC->SetTextColor(face);
      drawText(0, 0);
    } else {
      // Embossed: a highlight one pixel down-right under the gray text.
      oldColour = pDC->SetTextColor(highlight);
      drawText(1, 1);
      pDC->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
      drawText(0, 0);
    }
    pDC->SetTextColor(oldColour);
    pDC->SetBkMode(oldMode);
  }
  pDC->SelectObject(oldFont);
  ::DeleteObject(hFont);
  pDC->SelectObject(pOldPen);
}

// ---- Disabled images ------------------------------------------------------------------------------

void COwnerMenu::DrawDisabledImage(CDC* pDC, HBITMAP hImage, int x, int y, COLORREF crBack) {
  int cx = m_nIconWidth, cy = m_nIconHeight;
  HDC hdcTarget = pDC->GetSafeHdc();
  HDC hdcImage = ::CreateCompatibleDC(hdcTarget);
  HGDIOBJ oldImage = ::SelectObject(hdcImage, hImage);
  HBRUSH hHighlight = ::CreateSolidBrush(::GetSysColor(COLOR_BTNHIGHLIGHT));
  HBRUSH hShadow = ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));

  if (m_nDisabledImageStyle != 1) {
    // Embossed: a mask black wherever the image has a pixel that is neither
    // the face nor the highlight colour...
    HDC hdcMask = ::CreateCompatibleDC(hdcTarget);
    HBITMAP hMask = ::CreateBitmap(cx, cy, 1, 1, NULL);
    HGDIOBJ oldMask = ::SelectObject(hdcMask, hMask);
    ::PatBlt(hdcMask, 0, 0, cx, cy, WHITENESS);
    ::SetBkColor(hdcImage, ::GetSysColor(COLOR_BTNFACE));
    ::BitBlt(hdcMask, 0, 0, cx, cy, hdcImage, 0, 0, SRCCOPY);
    ::SetBkColor(hdcImage, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::BitBlt(hdcMask, 0, 0, cx, cy, hdcImage, 0, 0, SRCPAINT);
    // ...painted in the highlight colour one pixel down-right, then in the
    // shadow colour in place.
    RECT all = {0, 0, cx, cy};
    HBRUSH hBack = ::CreateSolidBrush(crBack);
    ::FillRect(hdcImage, &all, hBack);
    ::DeleteObject(hBack);
    ::SetBkColor(hdcImage, RGB(0, 0, 0));
    ::SetTextColor(hdcImage, RGB(255, 255, 255));
    HGDIOBJ oldBrush = ::SelectObject(hdcImage, hHighlight);
    ::BitBlt(hdcImage, 0, 0, cx, cy, hdcMask, 0, 0, 0xE20746);
    ::BitBlt(hdcTarget, x + 1, y + 1, cx, cy, hdcImage, 0, 0, SRCCOPY);
    ::BitBlt(hdcImage, 1, 1, cx, cy, hdcMask, 0, 0, 0xE20746);
    ::SelectObject(hdcImage, hShadow);
    ::BitBlt(hdcImage, 0, 0, cx, cy, hdcMask, 0, 0, 0xE20746);
    ::BitBlt(hdcTarget, x, y, cx, cy, hdcImage, 0, 0, SRCCOPY);
    ::SelectObject(hdcImage, oldBrush);
    ::SelectObject(hdcMask, oldMask);
    ::DeleteObject(hMask);
    ::DeleteDC(hdcMask);
  } else {
    // Monochrome mask: the image in black and white, its black parts
    // painted in the highlight colour one pixel down-right and in the
    // shadow colour in place.
    struct MonoInfo {
      BITMAPINFOHEADER header;
      RGBQUAD colours[2];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = cx;
    info.header.biHeight = cy;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colours[1].rgbRed = info.colours[1].rgbGreen = info.colours[1].rgbBlue = 255;
    void* bits = NULL;
    HBITMAP hMono = ::CreateDIBSection(hdcTarget, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, NULL, 0);
    if (hMono != NULL) {
      HDC hdcMono = ::CreateCompatibleDC(hdcTarget);
      HGDIOBJ oldMono = ::SelectObject(hdcMono, hMono);
      ::SetBkColor(hdcImage, ::GetSysColor(COLOR_BTNFACE));
      ::BitBlt(hdcMono, 0, 0, cx, cy, hdcImage, 0, 0, SRCCOPY);
      RECT target = {x, y, x + cx, y + cy};
      HBRUSH hBack = ::CreateSolidBrush(crBack);
      ::FillRect(hdcTarget, &target, hBack);
      ::DeleteObject(hBack);
      COLORREF oldBk = ::SetBkColor(hdcTarget, RGB(255, 255, 255));
      COLORREF oldText = ::SetTextColor(hdcTarget, RGB(0, 0, 0));
      HGDIOBJ oldBrush = ::SelectObject(hdcTarget, hHighlight);
      ::BitBlt(hdcTarget, x + 1, y + 1, cx, cy, hdcMono, 0, 0, 0xB8074A);
      ::SelectObject(hdcTarget, hShadow);
      ::BitBlt(hdcTarget, x, y, cx, cy, hdcMono, 0, 0, 0xB8074A);
      ::SelectObject(hdcTarget, oldBrush);
      ::SetBkColor(hdcTarget, oldBk);
      ::SetTextColor(hdcTarget, oldText);
      ::SelectObject(hdcMono, oldMono);
      ::DeleteDC(hdcMono);
      ::DeleteObject(hMono);
    }
  }
  ::SelectObject(hdcImage, oldImage);
  ::DeleteDC(hdcImage);
  ::DeleteObject(hHighlight);
  ::DeleteObject(hShadow);
}

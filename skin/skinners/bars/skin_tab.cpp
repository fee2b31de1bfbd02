#include "skin/skinners/bars/skin_tab.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/controls/skin_static.h"
#include "skin/skinners/bars/skin_tab_geometry.h"

namespace {

SkinWindowObject* MakeTab(uint32_t type, SkinWindowObject* parent) { return new SkinTab(parent, type); }
SkinnerRegistrar g_tab(kSkinTab, &MakeTab);

const int kSetNormal = 0, kSetPressed = 1, kSetDisabled = 2, kSetHovered = 3;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
SkinRect ToSkin(const RECT& r) { return MakeSkinRect(r.left, r.top, r.right, r.bottom); }

}  // namespace

void SkinDrawTurned(HDC hdc, const RECT& dest, int angle, COLORREF key,
                    const std::function<void(HDC, const RECT&)>& paint)
{
    const bool quarter = angle == 90 || angle == 270;
    const int w = quarter ? Height(dest) : Width(dest), h = quarter ? Width(dest) : Height(dest);
    if (w <= 0 || h <= 0)
        return;
    SkinMemDC flat(hdc, w, h);
    const RECT area = {0, 0, w, h};
    SkinGdiUtil::FillSolidRect(flat, area, key);
    paint(flat, area);
    HBITMAP bitmap = flat.DetachBitmap();
    CSkinImage image;
    const bool made = image.CreateFromHBITMAP(bitmap) && (angle == 180 ? image.Flip() : image.Rotate(float(angle)));
    DeleteObject(bitmap);
    if (!made)
        return;
    HBITMAP turned = image.MakeBitmap(hdc);
    if (!turned)
        return;
    SkinGdiUtil::TransparentBlitBitmap(hdc, dest.left, dest.top, Width(dest), Height(dest), turned, 0, 0, key);
    DeleteObject(turned);
}

SkinTab::SkinTab(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinTabData* SkinTab::Data() const { return dynamic_cast<SkinTabData*>(GetSkinData()); }

BOOL SkinTab::Attach(HWND window)
{
    if (!window || (GetWindowLongA(window, GWL_STYLE) & TCS_OWNERDRAWFIXED))
        return FALSE;
    return SkinWindowBase::Attach(window);
}

int SkinTab::ItemSet(int index)
{
    if (!IsWindowEnabled(window_))
        return kSetDisabled;
    TCITEMA item = {};
    item.mask = TCIF_STATE;
    item.dwStateMask = TCIS_BUTTONPRESSED | TCIS_HIGHLIGHTED;
    SendMessageA(window_, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    const bool buttons = (GetWindowLongA(window_, GWL_STYLE) & TCS_BUTTONS) != 0;
    if (SendMessageA(window_, TCM_GETCURSEL, 0, 0) == index || (buttons && (item.dwState & TCIS_BUTTONPRESSED)))
        return kSetPressed;
    if (item.dwState & TCIS_HIGHLIGHTED)
        return kSetHovered;
    return kSetNormal;
}

void SkinTab::Draw(HDC hdc)
{
    SkinTabData* data = Data();
    RECT client;
    GetClientRect(window_, &client);
    if (!data || data->transparent)
        SkinPaintOwnerBackground(hdc, GetBackgroundOwner(), window_, client);
    if (data && !data->transparent)
        SkinGdiUtil::DrawLayoutImage(hdc, client, data->background, GetSysColor(COLOR_BTNFACE), TRUE);
    const int side = TabSideOfStyle(uint32_t(GetWindowLongA(window_, GWL_STYLE)));
    const int count = int(SendMessageA(window_, TCM_GETITEMCOUNT, 0, 0));
    std::vector<SkinRect> items;
    for (int i = 0; i < count; ++i) {
        RECT r = {};
        if (SendMessageA(window_, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
            items.push_back(ToSkin(r));
    }
    const RECT page = ToRect(TabPageRect(ToSkin(client), items, TabSide(side)));
    if (data)
        SkinGdiUtil::DrawLayoutImage(hdc, page, data->frame, GetSysColor(COLOR_BTNFACE), TRUE);
    else
        DrawEdge(hdc, const_cast<RECT*>(&page), EDGE_RAISED, BF_RECT);
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    for (int i = 0; i < count; ++i)
        DrawItem(hdc, i, side);
    RestoreDC(hdc, saved);
}

void SkinTab::DrawItem(HDC hdc, int index, int side)
{
    RECT r = {};
    if (!SendMessageA(window_, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) || IsRectEmpty(&r))
        return;
    char text[101] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text;
    item.cchTextMax = sizeof text - 1;
    item.iImage = -1;
    SendMessageA(window_, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(window_, TCM_GETIMAGELIST, 0, 0));
    int iconW = 0, iconH = 0;
    if (images && item.iImage >= 0)
        ImageList_GetIconSize(images, &iconW, &iconH);
    else
        item.iImage = -1;

    SkinTabData* data = Data();
    const int set = ItemSet(index);
    static const SkinStateBlock kNone = {};
    const SkinStateBlock& block = data ? data->states[set] : kNone;
    const SkinLayoutImage& image =
        data && !IsLayoutImageEmpty(block.image) ? block.image : (data ? data->states[kSetNormal].image : kNone.image);
    SkinTextEffect effect = block.effect;
    if (!data)
        SkinGdiUtil::PackColor24(effect.textColor, GetSysColor(set == kSetDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const int length = lstrlenA(text);
    const bool vertical = side == kTabsLeft || side == kTabsRight;

    // The tab's picture (image and icon) drawn as for a top tab.
    auto paintTab = [&](HDC dc, const RECT& area) {
        SkinGdiUtil::DrawLayoutImage(dc, area, image, GetSysColor(COLOR_BTNFACE), TRUE);
        SIZE extent = {};
        GetTextExtentPoint32A(hdc, text, length, &extent);
        const TabContent content = LayoutTabContent(ToSkin(area), iconW, iconH, extent.cx);
        if (item.iImage >= 0)
            ImageList_Draw(images, item.iImage, dc, content.icon.left, content.icon.top, ILD_TRANSPARENT);
    };
    SIZE extent = {};
    GetTextExtentPoint32A(hdc, text, length, &extent);
    if (!vertical) {
        if (side == kTabsBottom)
            SkinDrawTurned(hdc, r, 180, GetKeyColor(), [&](HDC dc, const RECT& area) {
                // Flipped upside down: the image only; icon and text come upright.
                SkinGdiUtil::DrawLayoutImage(dc, area, image, GetSysColor(COLOR_BTNFACE), TRUE);
            });
        else
            SkinGdiUtil::DrawLayoutImageKeyed(hdc, r, image, GetKeyColor());
        const TabContent content = LayoutTabContent(ToSkin(r), iconW, iconH, extent.cx);
        if (item.iImage >= 0)
            ImageList_Draw(images, item.iImage, hdc, content.icon.left, content.icon.top, ILD_TRANSPARENT);
        RECT textRect = ToRect(content.text);
        SkinGdiUtil::DrawEffectText(hdc, effect, textRect, text, length, DT_END_ELLIPSIS | DT_VCENTER | DT_CENTER | DT_SINGLELINE);
        return;
    }
    SkinDrawTurned(hdc, r, side == kTabsLeft ? 270 : 90, GetKeyColor(), paintTab);
    // The text written along the tab.
    LOGFONTA logFont = {};
    HFONT current = static_cast<HFONT>(GetCurrentObject(hdc, OBJ_FONT));
    GetObjectA(current, sizeof logFont, &logFont);
    logFont.lfEscapement = logFont.lfOrientation = side == kTabsLeft ? 900 : 2700;
    HFONT turned = CreateFontIndirectA(&logFont);
    HGDIOBJ old = SelectObject(hdc, turned);
    SetTextColor(hdc, SkinGdiUtil::UnpackColor24(effect.textColor));
    const int along = (Height(r) - extent.cx) / 2;
    const int across = (Width(r) - extent.cy) / 2;
    if (side == kTabsLeft)
        TextOutA(hdc, r.left + across, r.bottom - along, text, length);
    else
        TextOutA(hdc, r.right - across, r.top + along, text, length);
    SelectObject(hdc, old);
    DeleteObject(turned);
}

void SkinTab::PaintWithChildrenClipped()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (!dc)
        return;
    // Children and siblings on the tab paint themselves: leave them out.
    RECT client;
    GetClientRect(window_, &client);
    HRGN clip = CreateRectRgnIndirect(&client);
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    auto cut = [&](HWND other) {
        if (other == window_ || !IsWindowVisible(other))
            return;
        RECT r;
        ::GetWindowRect(other, &r);
        SkinGdiUtil::ScreenToClientRect(window_, &r);
        HRGN hole = CreateRectRgnIndirect(&r);
        CombineRgn(clip, clip, hole, RGN_DIFF);
        DeleteObject(hole);
    };
    HWND parent = GetParent(window_);
    if ((style & WS_CLIPSIBLINGS) && parent)
        for (HWND w = ::GetWindow(parent, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
            cut(w);
    if (style & WS_CLIPCHILDREN)
        for (HWND w = ::GetWindow(window_, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
            cut(w);
    DrawThroughMemory(dc, clip);
    DeleteObject(clip);
    EndPaint(window_, &ps);
}

LRESULT SkinTab::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        PaintWithChildrenClipped();
        return 0;
    case kSkinMsgChildBackground: {
        RECT client;
        GetClientRect(window_, &client);
        HDC target = reinterpret_cast<HDC>(wParam);
        HWND child = reinterpret_cast<HWND>(lParam);
        if (Width(client) <= 0 || Height(client) <= 0 || !target || !child)
            return 1;
        SkinMemDC memory(target, Width(client), Height(client));
        Draw(memory);
        RECT r;
        GetClientRect(child, &r);
        MapWindowPoints(child, window_, reinterpret_cast<POINT*>(&r), 2);
        BitBlt(target, 0, 0, Width(r), Height(r), memory, r.left, r.top, SRCCOPY);
        return 1;
    }
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}

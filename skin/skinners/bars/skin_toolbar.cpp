#include "skin/skinners/bars/skin_toolbar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/bars/skin_tab.h"

namespace {

SkinWindowObject* MakeToolBar(uint32_t type, SkinWindowObject* parent) { return new SkinToolBar(parent, type); }
SkinnerRegistrar g_toolBar(kSkinToolBar, &MakeToolBar);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// MFC control bars docked at a side: their bars run top to bottom.
bool DockedAtSide(HWND bar)
{
    char name[64] = {};
    if (!bar || !GetClassNameA(bar, name, sizeof name))
        return false;
    static const char* const kBars[] = {"AfxControlBar42sd", "AfxControlBar42s", "AfxControlBar42sud",
                                        "AfxControlBar42su"};
    bool known = false;
    for (const char* b : kBars)
        known = known || lstrcmpA(name, b) == 0;
    const LONG style = GetWindowLongA(bar, GWL_STYLE);
    return known && (style & (0x1000 | 0x4000));
}

void DrawDropArrow(HDC hdc, const RECT& button)
{
    // Four rows 7, 5, 3, 3 pixels wide, 3 to 9 pixels left of the edge.
    const int x = button.right - 9, y = (button.top + button.bottom) / 2 - 2;
    static const int kWidths[4] = {7, 5, 3, 3};
    static const int kInsets[4] = {0, 1, 2, 2};
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
    for (int i = 0; i < 4; ++i) {
        MoveToEx(hdc, x + kInsets[i], y + i, nullptr);
        LineTo(hdc, x + kInsets[i] + kWidths[i], y + i);
    }
    SelectObject(hdc, oldPen);
}

}  // namespace

SkinToolBar::SkinToolBar(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinToolBarData* SkinToolBar::Data() const { return dynamic_cast<SkinToolBarData*>(GetSkinData()); }

int SkinToolBar::ButtonImage(BYTE state, bool hot)
{
    if (state & (TBSTATE_PRESSED | TBSTATE_CHECKED))
        return 1;
    if ((state & TBSTATE_INDETERMINATE) || !(state & TBSTATE_ENABLED))
        return 3;
    return hot ? 2 : 0;
}

void SkinToolBar::DrawBackground(HDC hdc, const RECT& rect)
{
    SkinToolBarData* data = Data();
    const COLORREF fallback = data ? data->backColor : GetSysColor(COLOR_BTNFACE);
    if (!data) {
        SkinGdiUtil::FillSolidRect(hdc, rect, fallback);
        return;
    }
    if (DockedAtSide(GetParent(window_)))
        SkinDrawTurned(hdc, rect, 270, GetKeyColor(), [&](HDC dc, const RECT& area) {
            SkinGdiUtil::DrawLayoutImage(dc, area, data->images[0], fallback, TRUE);
        });
    else
        SkinGdiUtil::DrawLayoutImage(hdc, rect, data->images[0], fallback, TRUE);
}

std::string SkinToolBar::ButtonText(int command)
{
    // The toolbar copies the whole text: its length is asked first.
    const LRESULT length = SendMessageA(window_, TB_GETBUTTONTEXTA, WPARAM(command), 0);
    if (length <= 0)
        return std::string();
    std::string text(size_t(length) + 1, '\0');
    if (SendMessageA(window_, TB_GETBUTTONTEXTA, WPARAM(command), reinterpret_cast<LPARAM>(&text[0])) <= 0)
        return std::string();
    text.resize(std::min<size_t>(std::strlen(text.c_str()), kMaxButtonText));
    return text;
}

void SkinToolBar::DrawButton(HDC hdc, int index, bool hot, bool anyText)
{
    TBBUTTON button = {};
    RECT r = {};
    if (!SendMessageA(window_, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) ||
        !SendMessageA(window_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)))
        return;
    if ((button.fsStyle & TBSTYLE_SEP) || (button.fsState & TBSTATE_HIDDEN))
        return;
    SkinToolBarData* data = Data();
    const int look = ButtonImage(button.fsState, hot);
    if (data)
        SkinGdiUtil::DrawLayoutImageKeyed(hdc, r, data->images[1 + look], GetKeyColor());
    RECT content = r;
    if (button.fsStyle & (TBSTYLE_DROPDOWN | BTNS_WHOLEDROPDOWN)) {
        DrawDropArrow(hdc, r);
        content.right -= 6;
    }
    const bool disabled = look == 3;
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(
        SendMessageA(window_, hot ? TB_GETHOTIMAGELIST : TB_GETIMAGELIST, 0, 0));
    if (hot && !list)
        list = reinterpret_cast<HIMAGELIST>(SendMessageA(window_, TB_GETIMAGELIST, 0, 0));
    HIMAGELIST disabledList =
        disabled ? reinterpret_cast<HIMAGELIST>(SendMessageA(window_, TB_GETDISABLEDIMAGELIST, 0, 0)) : nullptr;
    int iconW = 0, iconH = 0;
    if (list)
        ImageList_GetIconSize(list, &iconW, &iconH);
    const std::string text = ButtonText(button.idCommand);
    const bool list_ = (GetWindowLongA(window_, GWL_STYLE) & TBSTYLE_LIST) != 0;
    POINT icon;
    RECT textRect = content;
    UINT format;
    if (!anyText) {
        icon = POINT{(content.left + content.right - iconW) / 2, (content.top + content.bottom - iconH) / 2};
        format = 0;
    } else if (list_) {
        icon = POINT{content.left + 2, (content.top + content.bottom - iconH) / 2};
        textRect.left = icon.x + iconW + 2;
        format = DT_VCENTER | DT_SINGLELINE;
    } else {
        icon = POINT{(content.left + content.right - iconW) / 2, content.top + 2};
        textRect.top = icon.y + iconH + 4;
        textRect.bottom -= 2;
        format = DT_CENTER | DT_VCENTER | DT_WORDBREAK;
    }
    if (list && button.iBitmap >= 0) {
        if (disabledList)
            ImageList_Draw(disabledList, button.iBitmap, hdc, icon.x, icon.y, ILD_TRANSPARENT);
        else if (disabled) {
            HICON drawn = ImageList_GetIcon(list, button.iBitmap, ILD_TRANSPARENT);
            DrawStateA(hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(drawn), 0, icon.x, icon.y, iconW, iconH,
                       DST_ICON | DSS_DISABLED);
            DestroyIcon(drawn);
        } else {
            ImageList_Draw(list, button.iBitmap, hdc, icon.x, icon.y, ILD_TRANSPARENT);
        }
    }
    if (anyText && !text.empty()) {
        SetTextColor(hdc, data ? COLORREF(data->font.color) : GetSysColor(COLOR_BTNTEXT));
        DrawTextA(hdc, text.c_str(), int(text.size()), &textRect, format);
    }
}

void SkinToolBar::Draw(HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    DrawBackground(hdc, client);
    const int count = int(SendMessageA(window_, TB_BUTTONCOUNT, 0, 0));
    bool anyText = false;
    for (int i = 0; i < count && !anyText; ++i) {
        TBBUTTON button = {};
        if (SendMessageA(window_, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) &&
            !(button.fsStyle & TBSTYLE_SEP))
            anyText = SendMessageA(window_, TB_GETBUTTONTEXTA, button.idCommand, 0) > 0;
    }
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    for (int i = 0; i < count; ++i)
        DrawButton(hdc, i, false, anyText);
    const int hot = int(SendMessageA(window_, TB_GETHOTITEM, 0, 0));
    if (hot >= 0 && hot < count)
        DrawButton(hdc, hot, true, anyText);
    RestoreDC(hdc, saved);
}

void SkinToolBar::PaintNonClient()
{
    HDC dc = GetWindowDC(window_);
    if (!dc)
        return;
    RECT window, client;
    ::GetWindowRect(window_, &window);
    GetClientRect(window_, &client);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    DrawBackground(dc, window);
    ReleaseDC(window_, dc);
}

std::string SkinToolBar::TooltipText(int command)
{
    char text[256] = {};
    if (!LoadStringA(GetModuleHandleA(nullptr), UINT(command), text, sizeof text))
        return std::string();
    const char* newline = std::strchr(text, '\n');
    return newline ? std::string(newline + 1) : std::string();
}

void SkinToolBar::OnMouseMove(LPARAM lParam)
{
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int index = int(SendMessageA(window_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
    const int count = int(SendMessageA(window_, TB_BUTTONCOUNT, 0, 0));
    SkinTooltipService* tooltip = SkinLibGetTooltip();
    if (index >= 0 && index < count) {
        if (index == hotItem_ || !GetTooltipData())
            return;
        hotItem_ = index;
        TBBUTTON button = {};
        SendMessageA(window_, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        tipText_ = TooltipText(button.idCommand);
        SetName("TB");
        if (tooltip && !tipText_.empty())
            ShowTooltipText(tipText_.c_str());
        return;
    }
    hotItem_ = -1;
    HideTooltip();
}

LRESULT SkinToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        // The control paints first (its state, its button layout), then
        // the skin's picture goes over it.
        CallPrevious(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(window_, &client);
        if (dc && Width(client) > 0 && Height(client) > 0) {
            SkinMemDC memory(dc, Width(client), Height(client));
            Draw(memory);
            BitBlt(dc, 0, 0, Width(client), Height(client), memory, 0, 0, SRCCOPY);
        }
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_NCPAINT: {
        const LRESULT result = CallPrevious(message, wParam, lParam);
        PaintNonClient();
        return result;
    }
    case WM_MOUSEMOVE: {
        const LRESULT result = CallPrevious(message, wParam, lParam);
        if (window_)
            OnMouseMove(lParam);
        return result;
    }
    case WM_LBUTTONDOWN: {
        HideTooltip();
        const LRESULT result = CallPrevious(message, wParam, lParam);
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int index = int(SendMessageA(window_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
        RECT r;
        if (index >= 0 && SendMessageA(window_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) {
            // The pressed look at once, not at the next paint.
            HDC dc = GetDC(window_);
            RECT client;
            GetClientRect(window_, &client);
            {
                SkinMemDC memory(dc, std::max(1, Width(client)), std::max(1, Height(client)));
                Draw(memory);
                BitBlt(dc, r.left, r.top, Width(r), Height(r), memory, r.left, r.top, SRCCOPY);
            }
            ReleaseDC(window_, dc);
        }
        return result;
    }
    case WM_LBUTTONUP:
        return CallPrevious(message, wParam, lParam);
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}

#include "skin/skinners/controls/skin_combo.h"

#include <windowsx.h>

#include <cstring>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

SkinWindowObject* MakeCombo(uint32_t type, SkinWindowObject* parent) { return new SkinComboBox(parent, type); }
SkinnerRegistrar g_combo(kSkinComboBox, &MakeCombo);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

enum Thumb { kThumbNormal, kThumbPressed, kThumbHovered, kThumbDisabled };

}  // namespace

SkinComboBox::SkinComboBox(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinComboBox::~SkinComboBox()
{
    if (normalBrush_)
        DeleteObject(normalBrush_);
    if (disabledBrush_)
        DeleteObject(disabledBrush_);
}

SkinComboData* SkinComboBox::Data() const { return dynamic_cast<SkinComboData*>(GetSkinData()); }

SkinDataObject* SkinComboBox::BindSkinData(SkinDataObject* object)
{
    if (normalBrush_)
        DeleteObject(normalBrush_);
    if (disabledBrush_)
        DeleteObject(disabledBrush_);
    normalBrush_ = disabledBrush_ = nullptr;
    if (auto* data = dynamic_cast<SkinComboData*>(object)) {
        normalBrush_ = CreateSolidBrush(data->backColor);
        disabledBrush_ = CreateSolidBrush(data->disabledBackColor);
    }
    return SkinWindowBase::BindSkinData(object);
}

BOOL SkinComboBox::Attach(HWND window)
{
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if ((style & CBS_OWNERDRAWVARIABLE) || (style & 3) == CBS_SIMPLE)
        return FALSE;
    ownerDrawFixed_ = (style & CBS_OWNERDRAWFIXED) != 0;
    return SkinWindowBase::Attach(window);
}

RECT SkinComboBox::Inside(const RECT& client) const
{
    SkinComboData* data = Data();
    if (!data)
        return client;
    const SkinLayoutImage& border = data->background;
    return RECT{client.left + border.marginLeft, client.top + border.marginTop, client.right - border.marginRight,
                client.bottom - border.marginBottom};
}

RECT SkinComboBox::ArrowRect()
{
    RECT client;
    GetClientRect(window_, &client);
    SkinComboData* data = Data();
    const SkinLayoutImage* border = data ? &data->background : nullptr;
    return RECT{client.right - GetSystemMetrics(SM_CYHSCROLL), client.top + (border ? border->marginTop : 0),
                client.right - (border ? border->marginRight : 0),
                client.bottom - (border ? border->marginBottom : 0)};
}

bool SkinComboBox::HasFocus()
{
    HWND focus = GetFocus();
    return focus && (focus == window_ || IsChild(window_, focus));
}

void SkinComboBox::DrawFrameAndArrow(HDC hdc, const RECT& client)
{
    SkinComboData* data = Data();
    if (!data)
        return;
    SkinGdiUtil::DrawLayoutBorder(hdc, client, data->background, data->backColor, TRUE);
    const bool enabled = IsWindowEnabled(window_) != 0;
    int thumb = kThumbNormal;
    if (!enabled)
        thumb = kThumbDisabled;
    else if (arrowState_ == kArrowHot)
        thumb = kThumbHovered;
    else if (arrowState_ == kArrowPressed)
        thumb = kThumbPressed;
    const SkinLayoutImage& image =
        IsLayoutImageEmpty(data->thumbs[thumb]) ? data->thumbs[kThumbNormal] : data->thumbs[thumb];
    SkinGdiUtil::DrawLayoutImageKeyed(hdc, ArrowRect(), image, keyColor_);
}

void SkinComboBox::Draw(HDC hdc)
{
    SkinComboData* data = Data();
    if (!data)
        return;
    RECT client;
    GetClientRect(window_, &client);
    const bool enabled = IsWindowEnabled(window_) != 0;
    const bool focused = HasFocus();
    const RECT inside = Inside(client);
    FillRect(hdc, &inside, enabled ? normalBrush_ : disabledBrush_);

    const RECT arrow = ArrowRect();
    RECT text = inside;
    InflateRect(&text, -1, -1);
    text.right = arrow.left - 2;
    if (!enabled)
        SkinGdiUtil::FillSolidRect(hdc, text, data->disabledBackColor);
    else if (focused)
        SkinGdiUtil::FillSolidRect(hdc, text, data->focusColor);

    const LRESULT selected = SendMessageA(window_, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) {
        const LRESULT length = SendMessageA(window_, CB_GETLBTEXTLEN, WPARAM(selected), 0);
        if (length > 0 && length < 0x10000) {
            std::string item(size_t(length) + 1, '\0');
            SendMessageA(window_, CB_GETLBTEXT, WPARAM(selected), reinterpret_cast<LPARAM>(&item[0]));
            item.resize(std::strlen(item.c_str()));
            const int saved = SaveDC(hdc);
            if (HFONT font = ControlFont())
                SelectObject(hdc, font);
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, !enabled ? data->disabledTextColor : focused ? data->focusTextColor : data->font.color);
            DrawTextA(hdc, item.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER);
            RestoreDC(hdc, saved);
        }
    }
    DrawFrameAndArrow(hdc, client);
}

void SkinComboBox::PaintOwnerDrawn()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    RECT client;
    GetClientRect(window_, &client);
    if (dc && Width(client) > 0 && Height(client) > 0) {
        SkinMemDC control(dc, Width(client), Height(client));
        SkinMemDC frame(dc, Width(client), Height(client));
        SkinGdiUtil::FillSolidRect(control, client, GetSysColor(COLOR_WINDOW));
        CallPrevious(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(static_cast<HDC>(control)), PRF_CLIENT);
        DrawFrameAndArrow(frame, client);
        // The control's own face inside the skin's border, left of the arrow.
        RECT face = Inside(client);
        face.right = ArrowRect().left;
        if (face.right > face.left && face.bottom > face.top)
            BitBlt(frame, face.left, face.top, Width(face), Height(face), control, face.left, face.top, SRCCOPY);
        BitBlt(dc, 0, 0, Width(client), Height(client), frame, 0, 0, SRCCOPY);
    }
    EndPaint(window_, &ps);
}

void SkinComboBox::SetArrowState(int state)
{
    if (state == arrowState_)
        return;
    arrowState_ = state;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void SkinComboBox::OnMouseLeave()
{
    SkinWindowBase::OnMouseLeave();
    SetArrowState(kArrowNormal);
}

LRESULT SkinComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    SkinComboData* data = Data();
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_COMMAND:
    case CB_SELECTSTRING:
    case CB_SETCURSEL:
        return HandleThenRepaint(message, wParam, lParam);
    case WM_PAINT:
        if (ownerDrawFixed_) {
            PaintOwnerDrawn();
            return 0;
        }
        break;
    case WM_MOUSEMOVE: {
        HWND window = window_;
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        if (!StillSkinnedBy(window, this))
            return result;
        const RECT arrow = ArrowRect();
        RECT hit = arrow;
        RECT client;
        GetClientRect(window_, &client);
        hit.top = client.top;
        const POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (arrowState_ != kArrowPressed)
            SetArrowState(PtInRect(&hit, p) ? kArrowHot : kArrowNormal);
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        // The control tells its parent (the list dropping down or closing),
        // which may destroy it or take its skin off.
        HWND window = window_;
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        if (StillSkinnedBy(window, this))
            SetArrowState(message == WM_LBUTTONDOWN ? kArrowPressed : kArrowNormal);
        return result;
    }
    case WM_CTLCOLOREDIT:
        if (data && normalBrush_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool enabled = IsWindowEnabled(window_) != 0;
            SetBkColor(dc, enabled ? data->backColor : data->disabledBackColor);
            SetTextColor(dc, enabled ? data->textColor : data->disabledTextColor);
            return reinterpret_cast<LRESULT>(enabled ? normalBrush_ : disabledBrush_);
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (data && disabledBrush_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, data->disabledBackColor);
            SetTextColor(dc, data->disabledTextColor);
            return reinterpret_cast<LRESULT>(disabledBrush_);
        }
        break;
    default:
        break;
    }
    return SkinWindowBase::WindowProc(message, wParam, lParam);
}

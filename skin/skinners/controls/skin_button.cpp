#include "skin/skinners/controls/skin_button.h"

#include <algorithm>
#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/controls/skin_control_base_geometry.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/controls/skin_static.h"

namespace {

SkinWindowObject* MakeButton(uint32_t type, SkinWindowObject* parent) { return new SkinButton(parent, type); }
SkinWindowObject* MakeCheckBox(uint32_t type, SkinWindowObject* parent) { return new SkinCheckBox(parent, type); }
SkinWindowObject* MakeRadio(uint32_t type, SkinWindowObject* parent) { return new SkinRadio(parent, type); }
SkinWindowObject* MakeGroupBox(uint32_t type, SkinWindowObject* parent) { return new SkinGroupBox(parent, type); }
SkinnerRegistrar g_button(kSkinButton, &MakeButton);
SkinnerRegistrar g_checkBox(kSkinCheckBox, &MakeCheckBox);
SkinnerRegistrar g_radio(kSkinRadio, &MakeRadio);
SkinnerRegistrar g_groupBox(kSkinGroupBox, &MakeGroupBox);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

SkinRect ToSkin(const RECT& r) { return MakeSkinRect(r.left, r.top, r.right, r.bottom); }
RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

std::string WindowText(HWND window, int limit)
{
    std::string text(size_t(limit) + 1, '\0');
    const int n = GetWindowTextA(window, &text[0], limit + 1);
    text.resize(size_t(std::max(n, 0)));
    return text;
}

}  // namespace

void DrawButtonText(HDC hdc, HWND button, HFONT font, const RECT& area, const char* text,
                    const SkinTextEffect& effect, bool checkLike)
{
    const LONG style = GetWindowLongA(button, GWL_STYLE);
    UINT format = (style & BS_MULTILINE) ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_CENTER;
    if (GetWindowLongA(button, GWL_EXSTYLE) & WS_EX_RTLREADING)
        format |= DT_RTLREADING;
    const int saved = SaveDC(hdc);
    if (font)
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    RECT measured = {0, 0, std::max(Width(area), 1), 0};
    DrawTextA(hdc, text, -1, &measured, format | DT_CALCRECT);
    const SkinRect placed = PlaceButtonText(ToSkin(area), Width(measured), Height(measured), uint32_t(style), checkLike);
    SkinGdiUtil::DrawEffectText(hdc, effect, ToRect(placed), text, -1, format);
    RestoreDC(hdc, saved);
}

// ---------------------------------------------------------------------------
// SkinButton

SkinButton::SkinButton(SkinWindowObject* parent, uint32_t kind) : SkinButtonBase(parent, kind) {}

SkinButtonData* SkinButton::Data() const { return dynamic_cast<SkinButtonData*>(GetSkinData()); }

SkinButton::State SkinButton::ChooseState()
{
    SkinButtonData* data = Data();
    auto empty = [data](int s) { return !data || IsLayoutImageEmpty(data->states[s].image); };
    // The first state of the chain whose image is there (the last one
    // anyway).
    auto first = [&](std::initializer_list<State> chain) {
        for (State s : chain)
            if (!empty(s))
                return s;
        return *(chain.end() - 1);
    };
    const LRESULT state = SendMessageA(window_, BM_GETSTATE, 0, 0);
    const bool focused = GetFocus() == window_;
    if (!IsWindowEnabled(window_))
        return first({kDisabled, kNormal});
    if ((state & BST_PUSHED) || pressed_)
        return first({kPressed, kNormal});
    if (hover_ && !empty(kHighlighted))
        return kHighlighted;
    if (state & BST_CHECKED)
        return first({kPressed, kNormal});
    if (default_)
        return focused ? first({kFocused, kDefault, kNormal}) : first({kDefault, kNormal});
    if (focused)
        return first({kFocused, kNormal});
    return kNormal;
}

void SkinButton::Draw(HDC hdc)
{
    SkinButtonData* data = Data();
    if (!data)
        return;
    RECT client;
    GetClientRect(window_, &client);
    const SkinStateBlock& block = data->states[ChooseState()];
    SkinGdiUtil::DrawLayoutImageKeyed(hdc, client, block.image, keyColor_);

    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    if (style & BS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(window_, BM_GETIMAGE, IMAGE_ICON, 0));
        if (!icon)
            return;
        SIZE size = {32, 32};
        ICONINFO info = {};
        if (GetIconInfo(icon, &info)) {
            BITMAP bm = {};
            if (GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm))
                size = SIZE{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
        }
        const SkinRect at = PlaceButtonText(ToSkin(client), size.cx, size.cy, uint32_t(style), false);
        DrawIcon(hdc, at.left, at.top, icon);
        return;
    }
    if (style & BS_BITMAP) {
        HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(window_, BM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bm = {};
        if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
            return;
        const SkinRect at = PlaceButtonText(ToSkin(client), bm.bmWidth, bm.bmHeight, uint32_t(style), false);
        HDC source = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(source, bitmap);
        BitBlt(hdc, at.left, at.top, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        return;
    }
    const std::string text = WindowText(window_, 300);
    DrawButtonText(hdc, window_, ControlFont(), client, text.c_str(), block.effect, false);
}

void SkinButton::PaintInto(HDC target)
{
    RECT client;
    GetClientRect(window_, &client);
    if (Width(client) <= 0 || Height(client) <= 0)
        return;
    SkinMemDC memory(target, Width(client), Height(client));
    SkinPaintOwnerBackground(memory, GetParent(window_), window_, client);
    Draw(memory);
    BitBlt(target, 0, 0, Width(client), Height(client), memory, 0, 0, SRCCOPY);
}

void SkinButton::Redraw()
{
    HDC dc = GetDC(window_);
    if (!dc)
        return;
    PaintInto(dc);
    ReleaseDC(window_, dc);
}

void SkinButton::BuildButtonRegion()
{
    SkinButtonData* data = Data();
    if (!data || !window_)
        return;
    RECT client;
    GetClientRect(window_, &client);
    if (Width(client) <= 0 || Height(client) <= 0)
        return;
    HDC dc = GetDC(window_);
    HBITMAP bitmap = nullptr;
    {
        SkinMemDC memory(dc, Width(client), Height(client));
        SkinGdiUtil::DrawLayoutImage(memory, client, data->states[kNormal].image, GetSysColor(COLOR_BTNFACE), TRUE);
        bitmap = memory.DetachBitmap();
    }
    ReleaseDC(window_, dc);
    // The skins key their buttons' corners with magenta whatever their
    // own key colour.
    HRGN region = SkinGdiUtil::RegionFromBitmap(bitmap, 0xFF00FF);
    DeleteObject(bitmap);
    SetWindowRgn(window_, nullptr, FALSE);
    ApplyWindowRegion(region, TRUE);
}

SkinDataObject* SkinButton::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinButtonBase::BindSkinData(object);
    if (window_)
        BuildButtonRegion();
    return previous;
}

BOOL SkinButton::Attach(HWND window)
{
    default_ = (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (!SkinButtonBase::Attach(window))
        return FALSE;
    if (GetSkinData())
        BuildButtonRegion();
    return TRUE;
}

LRESULT SkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: {
        const LRESULT result = SkinButtonBase::WindowProc(message, wParam, lParam);
        BuildButtonRegion();
        return result;
    }
    case WM_SETTEXT: {
        const LRESULT result = CallHidden(message, wParam, lParam);
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
        return result;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (dc)
            PaintInto(dc);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_STYLECHANGED:
        if (wParam == WPARAM(GWL_STYLE) && lParam)
            default_ = (reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        break;
    default:
        break;
    }
    return SkinButtonBase::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Check box and radio

SkinCheckBase::SkinCheckBase(SkinWindowObject* parent, uint32_t kind) : SkinButtonBase(parent, kind) {}

SkinCheckData* SkinCheckBase::Data() const { return dynamic_cast<SkinCheckData*>(GetSkinData()); }

SkinCheckBase::Look SkinCheckBase::ChooseLook()
{
    const LRESULT state = SendMessageA(window_, BM_GETSTATE, 0, 0);
    const bool checked = (state & 3) != 0;
    if (!IsWindowEnabled(window_))
        return checked ? Look{kGrayedSelected, {kDisabled, kNormal}, {kDisabled, kSelected}}
                       : Look{kGrayedNormal, {kDisabled, kNormal}, {kDisabled, kNormal}};
    if (state & BST_PUSHED)
        return Look{kSelected, {kNormal, -1}, {-1, -1}};
    if (GetFocus() == window_ || hover_)
        return checked ? Look{kHighlightedSelected, {kSelected, kNormal}, {kSelected, -1}}
                       : Look{kHighlightedNormal, {kNormal, -1}, {kNormal, -1}};
    if (checked)
        return Look{kSelected, {kNormal, -1}, {-1, -1}};
    return Look{kNormal, {-1, -1}, {-1, -1}};
}

void SkinCheckBase::Draw(HDC hdc)
{
    SkinCheckData* data = Data();
    if (!data)
        return;
    const Look look = ChooseLook();
    // The look's own image, else its fallbacks in order, else its own.
    auto pick = [data, &look](SkinImageRef SkinCheckBlock::*field, const int (&fallback)[2]) {
        if (!IsImageRefEmpty(data->states[look.set].*field))
            return look.set;
        for (int f : fallback)
            if (f >= 0 && !IsImageRefEmpty(data->states[f].*field))
                return f;
        return look.set;
    };
    const SkinCheckBlock& set = data->states[look.set];
    const SkinCheckBlock& backgroundSet = data->states[pick(&SkinCheckBlock::background, look.background)];
    const SkinImageRef& boxImage = data->states[pick(&SkinCheckBlock::box, look.box)].box;

    RECT client;
    GetClientRect(window_, &client);
    if (data->transparent)
        SkinPaintOwnerBackground(hdc, GetBackgroundOwner(), window_, client);
    else
        SkinGdiUtil::DrawImageRef(hdc, client, backgroundSet.background, GetSysColor(COLOR_BTNFACE), TRUE);

    // The 16 bytes stored after a background are its margins.
    RECT area = client;
    const uint32_t* margins = backgroundSet.gap;
    const RECT inset = {area.left + int32_t(margins[0]), area.top + int32_t(margins[1]),
                        area.right - int32_t(margins[2]), area.bottom - int32_t(margins[3])};
    if (inset.right > inset.left && inset.bottom > inset.top)
        area = inset;

    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    const bool hasBox = !IsImageRefEmpty(boxImage);
    const int boxWidth = hasBox ? boxImage.source.Width() : 13;
    const int boxHeight = hasBox ? boxImage.source.Height() : 13;
    SkinRect box, textArea;
    PlaceCheckBox(ToSkin(area), boxWidth, boxHeight, uint32_t(style), &box, &textArea);
    const RECT boxRect = ToRect(box);
    if (hasBox) {
        SkinMemDC memory(hdc, boxWidth, boxHeight);
        const RECT local = {0, 0, boxWidth, boxHeight};
        SkinGdiUtil::DrawImageRef(memory, local, boxImage, keyColor_, TRUE);
        SkinGdiUtil::TransparentStretchBlit(hdc, boxRect.left, boxRect.top, boxWidth, boxHeight, memory, 0, 0,
                                            boxWidth, boxHeight, keyColor_);
    } else {
        // A skin without box images still shows the state.
        const LRESULT state = SendMessageA(window_, BM_GETSTATE, 0, 0);
        UINT kind = GetSkinType() == kSkinRadio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
        if (state & 3)
            kind |= DFCS_CHECKED;
        if (!IsWindowEnabled(window_))
            kind |= DFCS_INACTIVE;
        RECT r = boxRect;
        DrawFrameControl(hdc, &r, DFC_BUTTON, kind);
    }
    const std::string text = WindowText(window_, 200);
    DrawButtonText(hdc, window_, ControlFont(), ToRect(textArea), text.c_str(), set.effect, true);
}

void SkinCheckBox::OnClick()
{
    const LONG type = GetWindowLongA(window_, GWL_STYLE) & BS_TYPEMASK;
    const LRESULT check = SendMessageA(window_, BM_GETCHECK, 0, 0);
    if (type == BS_AUTOCHECKBOX)
        SendMessageA(window_, BM_SETCHECK, check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
    else if (type == BS_AUTO3STATE)
        SendMessageA(window_, BM_SETCHECK, (check + 1) % 3, 0);
}

void SkinRadio::OnClick()
{
    if ((GetWindowLongA(window_, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
        return;
    SendMessageA(window_, BM_SETCHECK, BST_CHECKED, 0);
    HWND parent = GetParent(window_);
    if (!parent)
        return;
    // The group starts here or at the nearest earlier sibling with
    // WS_GROUP (the first sibling without one).
    HWND start = window_;
    while (!(GetWindowLongA(start, GWL_STYLE) & WS_GROUP)) {
        HWND previous = ::GetWindow(start, GW_HWNDPREV);
        if (!previous)
            break;
        start = previous;
    }
    for (HWND w = start; w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (w != start && (GetWindowLongA(w, GWL_STYLE) & WS_GROUP))
            break;
        if (SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
            SendMessageA(w, BM_SETCHECK, w == window_ ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

// ---------------------------------------------------------------------------
// SkinGroupBox

SkinGroupBox::SkinGroupBox(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinGroupBoxData* SkinGroupBox::Data() const { return dynamic_cast<SkinGroupBoxData*>(GetSkinData()); }

void SkinGroupBox::InvalidateInParent(const RECT& rect)
{
    HWND parent = GetParent(window_);
    if (!parent)
        return;
    RECT r = rect;
    MapWindowPoints(window_, parent, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(parent, &r, TRUE);
    UpdateWindow(parent);
}

BOOL SkinGroupBox::Attach(HWND window)
{
    const LONG ex = AddExStyleForSkin(window, WS_EX_TRANSPARENT);
    if (!SkinWindowBase::Attach(window)) {
        SetWindowLongA(window, GWL_EXSTYLE, ex);
        addedExStyle_ = 0;
        return FALSE;
    }
    RECT client;
    GetClientRect(window, &client);
    InvalidateInParent(client);
    return TRUE;
}

void SkinGroupBox::PaintOwnerBackground(HDC hdc, const RECT& rect)
{
    RECT client;
    GetClientRect(window_, &client);
    if (Width(client) <= 0 || Height(client) <= 0)
        return;
    SkinMemDC memory(hdc, Width(client), Height(client));
    SkinPaintOwnerBackground(memory, GetBackgroundOwner(), window_, client);
    BitBlt(hdc, rect.left, rect.top, Width(rect), Height(rect), memory, rect.left, rect.top, SRCCOPY);
}

void SkinGroupBox::Draw(HDC hdc)
{
    SkinGroupBoxData* data = Data();
    if (!data)
        return;
    RECT client;
    GetClientRect(window_, &client);
    const std::string text = WindowText(window_, 200);
    if (restoreCaption_) {
        PaintOwnerBackground(hdc, lastCaption_);
        restoreCaption_ = false;
    }
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(hdc, text.empty() ? "A" : text.c_str(), text.empty() ? 1 : int(text.size()), &extent);
    if (text.empty())
        extent.cx = 0;
    const SkinLayoutImage& caption = data->captionImage;
    const SkinRect margins = MakeSkinRect(caption.marginLeft, caption.marginTop, caption.marginRight,
                                          caption.marginBottom);
    const GroupBoxLayout layout =
        LayoutGroupBox(ToSkin(client), extent.cx, extent.cy, margins, uint32_t(GetWindowLongA(window_, GWL_STYLE)));
    lastCaption_ = RECT{client.left, layout.caption.top, client.right, layout.caption.bottom};

    SkinGdiUtil::DrawLayoutBorder(hdc, ToRect(layout.frame), data->background, data->backColor, FALSE);
    if (!text.empty()) {
        const RECT captionRect = ToRect(layout.caption);
        if (data->transparent)
            PaintOwnerBackground(hdc, captionRect);
        else
            SkinGdiUtil::DrawLayoutImage(hdc, captionRect, caption, data->captionColor, TRUE);
        SetBkMode(hdc, TRANSPARENT);
        SkinGdiUtil::DrawEffectText(hdc, data->effect, ToRect(layout.text), text.c_str(), -1,
                                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    RestoreDC(hdc, saved);
}

LRESULT SkinGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_ENABLE: {
        const LRESULT result = CallHidden(message, wParam, lParam);
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
        return result;
    }
    case WM_SETTEXT: {
        const std::string old = WindowText(window_, 200);
        const RECT oldCaption = lastCaption_;
        const LRESULT result = CallHidden(message, wParam, lParam);
        const char* now = reinterpret_cast<const char*>(lParam);
        if (now && std::strlen(now) < old.size()) {
            // The parent paints over what the longer caption covered.
            InvalidateInParent(oldCaption);
            InvalidateRect(window_, &oldCaption, FALSE);
        } else {
            InvalidateRect(window_, nullptr, FALSE);
        }
        return result;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (dc)
            Draw(dc);
        EndPaint(window_, &ps);
        // Controls inside the box that the paint went over.
        RECT mine;
        ::GetWindowRect(window_, &mine);
        for (HWND w = ::GetWindow(window_, GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
            if (GetWindowLongA(w, GWL_STYLE) & WS_GROUP)
                continue;
            RECT theirs, both;
            ::GetWindowRect(w, &theirs);
            if (IntersectRect(&both, &mine, &theirs))
                RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        return 0;
    }
    case WM_SETFONT: {
        const LRESULT result = CallHidden(message, wParam, lParam);
        restoreCaption_ = true;
        InvalidateRect(window_, nullptr, TRUE);
        return result;
    }
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}

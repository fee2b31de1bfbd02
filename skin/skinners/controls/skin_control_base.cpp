#include "skin/skinners/controls/skin_control_base.h"

#include <windowsx.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

// IP address controls: the scrollable base alone (border, scroll bars).
SkinWindowObject* MakeScrollable(uint32_t type, SkinWindowObject* parent)
{
    return new SkinScrollableBase(parent, type);
}
SkinnerRegistrar g_scrollControl(kSkinScrollControl, &MakeScrollable);

const SkinScrollBarHooks* g_scrollBarHooks = nullptr;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool IsButtonKind(uint32_t kind) { return kind == kSkinButton || kind == kSkinCheckBox || kind == kSkinRadio; }

}  // namespace

void SkinSetScrollBarHooks(const SkinScrollBarHooks* hooks) { g_scrollBarHooks = hooks; }

HBITMAP SkinRotateBitmap(HBITMAP picture, float angle)
{
    CSkinImage image;
    if (!picture || !image.CreateFromHBITMAP(picture) || !image.Rotate(angle))
        return nullptr;
    return image.MakeBitmap(nullptr);
}

void SkinBlitBitmap(HDC hdc, const RECT& dest, HBITMAP bitmap, const COLORREF* key)
{
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
        return;
    HDC source = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(source, bitmap);
    if (key)
        SkinGdiUtil::TransparentStretchBlit(hdc, dest.left, dest.top, Width(dest), Height(dest), source, 0, 0,
                                            bm.bmWidth, bm.bmHeight, *key);
    else
        StretchBlt(hdc, dest.left, dest.top, Width(dest), Height(dest), source, 0, 0, bm.bmWidth, bm.bmHeight,
                   SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void SkinBlitRotated(HDC hdc, const RECT& dest, HDC pictureDC, int width, int height, float angle,
                     const COLORREF* key)
{
    // The picture is copied out of its DC first: a bitmap selected into a
    // DC cannot be read by the image class.
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    if (!copy)
        return;
    HDC copyDC = CreateCompatibleDC(pictureDC);
    HGDIOBJ old = SelectObject(copyDC, copy);
    BitBlt(copyDC, 0, 0, width, height, pictureDC, 0, 0, SRCCOPY);
    SelectObject(copyDC, old);
    DeleteDC(copyDC);
    if (HBITMAP turned = SkinRotateBitmap(copy, angle)) {
        SkinBlitBitmap(hdc, dest, turned, key);
        DeleteObject(turned);
    }
    DeleteObject(copy);
}

void SkinDrawTurned(HDC hdc, const RECT& dest, const std::function<void(HDC, const RECT&)>& drawLying)
{
    const int w = Width(dest), h = Height(dest);
    if (w <= 0 || h <= 0)
        return;
    SkinMemDC picture(hdc, h, w);
    const RECT lying = {0, 0, h, w};
    drawLying(picture, lying);
    SkinBlitRotated(hdc, dest, picture, h, w, 270.0f, nullptr);
}

const SkinScrollBarHooks* SkinGetScrollBarHooks() { return g_scrollBarHooks; }

// ---------------------------------------------------------------------------
// SkinWindowBase

SkinWindowBase::SkinWindowBase(SkinWindowObject* parent, uint32_t kind)
    : parentWindow_(parent ? parent->GetWindow() : nullptr), kind_(kind)
{
}

SkinWindowBase::~SkinWindowBase() = default;

SkinControlData* SkinWindowBase::ControlData() const { return dynamic_cast<SkinControlData*>(GetSkinData()); }

bool SkinWindowBase::KeepsOwnFont() const
{
    return kind_ == kSkinProgressBar || kind_ == kSkinScrollBar || kind_ == kSkinSlider || kind_ == kSkinSpin;
}

SkinDataObject* SkinWindowBase::FindPerControlObject(HWND window) const
{
    // The parent skinner is looked up afresh: it may have gone since.
    SkinWindowObject* parent = parentWindow_ ? SkinManager::Instance().FindSkinObject(parentWindow_) : nullptr;
    SkinDataObject* parentObject = parent ? parent->GetSkinData() : nullptr;
    if (!parentObject || !window)
        return nullptr;
    const int32_t id = int32_t(GetDlgCtrlID(window));
    if (SkinDataObject* own = parentObject->FindChild(kind_, id))
        return own;
    if (kind_ == kSkinRichEdit)
        return parentObject->FindChild(kSkinEdit, id);
    return nullptr;
}

SkinDataObject* SkinWindowBase::GetTooltipData()
{
    SkinWindowObject* parent = parentWindow_ ? SkinManager::Instance().FindSkinObject(parentWindow_) : nullptr;
    if (parent && parent->GetSkinData())
        if (SkinDataObject* tip = parent->GetSkinData()->FindChild(kSkinTooltip, 0))
            return tip;
    if (GetSkinData())
        if (SkinDataObject* tip = GetSkinData()->FindChild(kSkinTooltip, 0))
            return tip;
    return SkinItem::GetTooltipData();
}

void SkinWindowBase::ApplySkinFont(HFONT font, BOOL redraw)
{
    if (KeepsOwnFont() || !window_ || !font)
        return;
    // The control's own font is read once it has settled (a dialog sets it
    // right after creating the control), before the skin's arrives.
    if (!hasSavedFont_ && !fontRecordPending_) {
        fontRecordPending_ = true;
        PostMessageA(window_, kSkinMsgRecordFont, 0, 0);
    }
    PostMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

void SkinWindowBase::ApplyObjectFontAndPlace(BOOL redrawFont)
{
    SkinDataObject* object = GetSkinData();
    SkinControlData* data = ControlData();
    if (!object)
        return;
    if (data && data->autoSkinFont)
        ApplySkinFont(static_cast<HFONT>(data->GetFontHandle()), redrawFont);
    if (object->autoPlace)
        MoveWindow(window_, object->rect.left, object->rect.top, object->rect.Width(), object->rect.Height(), TRUE);
}

SkinDataObject* SkinWindowBase::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* own = window_ ? FindPerControlObject(window_) : nullptr;
    SkinDataObject* previous = SkinWindowObject::BindSkinData(own ? own : object);
    if (!window_)
        return previous;
    SkinControlData* data = ControlData();
    if (own) {
        if (data && data->autoSkinFont)
            ApplySkinFont(static_cast<HFONT>(data->GetFontHandle()), FALSE);
        if (own->autoPlace) {
            MoveWindow(window_, own->rect.left, own->rect.top, own->rect.Width(), own->rect.Height(), TRUE);
            return previous;
        }
    } else if (data && data->autoSkinFont) {
        ApplySkinFont(static_cast<HFONT>(data->GetFontHandle()), FALSE);
    } else if (hasSavedFont_ && !KeepsOwnFont()) {
        SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(savedFont_), FALSE);
        hasSavedFont_ = false;
        savedFont_ = nullptr;
    }
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    return previous;
}

BOOL SkinWindowBase::Attach(HWND window)
{
    if (!window || !IsWindow(window))
        return FALSE;
    // The parent may keep some controls in their system look.
    if (HWND parent = GetParent(window))
        if (SendMessageA(parent, kSkinMsgRefuseSkin, WPARAM(GetDlgCtrlID(window)), reinterpret_cast<LPARAM>(window)))
            return FALSE;
    if (SkinDataObject* own = FindPerControlObject(window)) {
        BindSkinData(own);
        if (!SkinWindowObject::Attach(window))
            return FALSE;
        // A placed control is moved (and repainted) anyway.
        ApplyObjectFontAndPlace(!own->autoPlace);
        return TRUE;
    }
    if (!SkinWindowObject::Attach(window))
        return FALSE;
    if (SkinControlData* data = ControlData())
        if (data->autoSkinFont)
            ApplySkinFont(static_cast<HFONT>(data->GetFontHandle()), TRUE);
    return TRUE;
}

void SkinWindowBase::Detach()
{
    if (window_ && !KeepsOwnFont() && hasSavedFont_ && !destroyed_)
        SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(savedFont_), TRUE);
    hasSavedFont_ = false;
    savedFont_ = nullptr;
    fontRecordPending_ = false;
    if (window_ && addedExStyle_ && !destroyed_)
        SetWindowLongA(window_, GWL_EXSTYLE, GetWindowLongA(window_, GWL_EXSTYLE) & ~addedExStyle_);
    addedExStyle_ = 0;
    SkinWindowObject::Detach();
}

LONG SkinWindowBase::AddExStyleForSkin(HWND window, LONG bits)
{
    const LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
    addedExStyle_ |= bits & ~ex;
    SetWindowLongA(window, GWL_EXSTYLE, ex | bits);
    return ex;
}

bool SkinWindowBase::PreviousIsProcHandle() const
{
    if (SkinGdiUtil::GetOsClass() != 7)
        return false;
    const uintptr_t proc = reinterpret_cast<uintptr_t>(previousProc_);
    return proc >= (~uintptr_t(0) & ~uintptr_t(0xFFFF));
}

LRESULT SkinWindowBase::OnNcDestroy()
{
    HWND window = window_;
    if (parentWindow_ && IsWindow(parentWindow_))
        SendMessageA(parentWindow_, kSkinMsgChildDying, reinterpret_cast<WPARAM>(window), 0);
    if (!PreviousIsProcHandle())
        return SkinWindowObject::OnNcDestroy();
    // Windows XP: the saved value is a procedure handle; the buttons'
    // destruction goes to the system button procedure recorded at start.
    const uint32_t kind = kind_;
    WNDPROC previous = previousProc_;
    destroyed_ = true;
    if (!SkinManager::Instance().RemoveSkin(window, TRUE))
        DetachForDestroy();
    // this is gone now.
    WNDPROC target = IsButtonKind(kind) && SkinLibGetButtonProc() ? SkinLibGetButtonProc() : previous;
    if (!target)
        return DefWindowProcA(window, WM_NCDESTROY, 0, 0);
    return CallWindowProcA(target, window, WM_NCDESTROY, 0, 0);
}

LRESULT SkinWindowBase::BaseProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC button = SkinLibGetButtonProc();
    if (!IsButtonKind(kind_) || !button || !PreviousIsProcHandle())
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    WNDPROC saved = previousProc_;
    previousProc_ = button;
    const LRESULT result = SkinWindowObject::WindowProc(message, wParam, lParam);
    if (previousProc_ == button)
        previousProc_ = saved;
    return result;
}

LRESULT SkinWindowBase::CallHidden(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = window_;
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (style & WS_VISIBLE)
        SetWindowLongA(window, GWL_STYLE, style & ~WS_VISIBLE);
    const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
    if ((style & WS_VISIBLE) && IsWindow(window))
        SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_VISIBLE);
    return result;
}

HFONT SkinWindowBase::ControlFont() { return reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0)); }

void SkinWindowBase::DrawThroughMemory(HDC dc, HRGN clip)
{
    RECT client;
    GetClientRect(window_, &client);
    if (Width(client) <= 0 || Height(client) <= 0)
        return;
    SkinMemDC memory(dc, Width(client), Height(client));
    Draw(memory);
    HRGN previous = nullptr;
    bool hadClip = false;
    if (clip) {
        previous = CreateRectRgn(0, 0, 0, 0);
        hadClip = GetClipRgn(dc, previous) == 1;
        ExtSelectClipRgn(dc, clip, RGN_AND);
    }
    BitBlt(dc, 0, 0, Width(client), Height(client), memory, 0, 0, SRCCOPY);
    if (clip) {
        SelectClipRgn(dc, hadClip ? previous : nullptr);
        DeleteObject(previous);
    }
}

LRESULT SkinWindowBase::HandleThenRepaint(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = window_;
    const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
    if (IsWindow(window)) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    return result;
}

void SkinWindowBase::PaintBuffered()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (!dc)
        return;
    DrawThroughMemory(dc);
    EndPaint(window_, &ps);
}

void SkinWindowBase::OnMouseLeave()
{
    if (hover_) {
        hover_ = false;
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }
    // Moving onto the tooltip itself keeps it.
    if (SkinTooltipService* tooltip = SkinLibGetTooltip()) {
        HWND tip = tooltip->GetWindow();
        POINT cursor;
        RECT r;
        if (tip && IsWindowVisible(tip) && GetCursorPos(&cursor) && ::GetWindowRect(tip, &r) && PtInRect(&r, cursor))
            return;
    }
    HideTooltip();
}

LRESULT SkinWindowBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        PaintBuffered();
        return 0;
    case WM_UPDATEUISTATE:
        return 0;  // the system would draw focus cues over the skin
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY:
        OnNcDestroy();  // this is deleted
        return 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        HideTooltip();
        break;
    case WM_MOUSEMOVE:
        if (!hover_) {
            TRACKMOUSEEVENT track = {};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = window_;
            TrackMouseEvent(&track);
            hover_ = true;
            InvalidateRect(window_, nullptr, FALSE);
            UpdateWindow(window_);
            ShowTooltip();
        }
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case kSkinMsgRecordFont:
        if (fontRecordPending_) {
            savedFont_ = reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0));
            hasSavedFont_ = true;
            fontRecordPending_ = false;
        }
        return 0;
    default:
        break;
    }
    return BaseProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// SkinButtonBase

SkinButtonBase::SkinButtonBase(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

BOOL SkinButtonBase::Attach(HWND window)
{
    if ((GetWindowLongA(window, GWL_STYLE) & BS_OWNERDRAW) == BS_OWNERDRAW)
        return FALSE;
    return SkinWindowBase::Attach(window);
}

void SkinButtonBase::Redraw()
{
    HDC dc = GetDC(window_);
    if (!dc)
        return;
    DrawThroughMemory(dc);
    ReleaseDC(window_, dc);
}

void SkinButtonBase::PostClicked()
{
    PostMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), BN_CLICKED),
                 reinterpret_cast<LPARAM>(window_));
}

bool SkinButtonBase::InsideClient(LPARAM point) const
{
    RECT client;
    GetClientRect(window_, &client);
    const POINT p = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return PtInRect(&client, p) != 0;
}

void SkinButtonBase::EndPress()
{
    const bool was = pressed_;
    pressed_ = false;
    if (GetCapture() == window_)
        ReleaseCapture();
    if (was)
        Redraw();
}

LRESULT SkinButtonBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    HWND window = window_;
    switch (message) {
    case WM_KILLFOCUS:
        // A press (by mouse or space bar) ends with the focus.
        EndPress();
        if (IsWindow(window))
            Redraw();
        return 0;
    case WM_SETFOCUS:
        if (IsWindow(window))
            Redraw();
        return 0;
    case WM_CANCELMODE:
        EndPress();
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a message box): the press ends.
        if (reinterpret_cast<HWND>(lParam) != window && pressed_) {
            pressed_ = false;
            Redraw();
        }
        break;
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE: {
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        if (IsWindow(window))
            Redraw();
        return result;
    }
    case BM_GETCHECK:
        return CallPrevious(BM_GETCHECK, 0, 0) & 3;
    case BM_SETCHECK: {
        // The check state stays where the button keeps it; the system
        // button must not paint its own look meanwhile.
        CallHidden(BM_SETCHECK, wParam & 3, 0);
        Redraw();
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam != VK_SPACE)
            break;
        pressed_ = true;
        Redraw();
        return 0;
    case WM_KEYUP:
        if (wParam != VK_SPACE)
            break;
        // Only a space that went down here clicks.
        if (pressed_) {
            pressed_ = false;
            OnClick();
            Redraw();
            PostClicked();
        }
        return 0;
    case WM_CHAR:
    case WM_DEADCHAR:
        if (GetCapture() == window)
            EndPress();
        break;
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && GetCapture() == window) {
            pressed_ = InsideClient(lParam);
            Redraw();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        HideTooltip();
        if (GetFocus() != window)
            SetFocus(window);
        SetCapture(window);
        pressed_ = true;
        Redraw();
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window) {
            pressed_ = false;
            ReleaseCapture();
            const bool inside = InsideClient(lParam);
            if (inside)
                OnClick();
            Redraw();
            if (inside)
                PostClicked();
            return 0;
        }
        break;
    default:
        break;
    }
    return SkinWindowBase::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// SkinScrollableBase

SkinScrollableBase::SkinScrollableBase(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

bool SkinScrollableBase::NeedsResync()
{
    const int os = SkinGdiUtil::GetOsClass();
    return os == 3 || os == 4;
}

SkinDataObject* SkinScrollableBase::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinWindowBase::BindSkinData(object);
    if (scrollBarsSkinned_)
        ApplyScrollBarSizes();
    return previous;
}

BOOL SkinScrollableBase::Attach(HWND window)
{
    if (!SkinWindowBase::Attach(window))
        return FALSE;
    PostMessageA(window, kSkinMsgSkinScrollBars, 0, 0);
    return TRUE;
}

void SkinScrollableBase::Detach()
{
    if (scrollBarsSkinned_ && g_scrollBarHooks && window_)
        g_scrollBarHooks->uninitialize(window_);
    scrollBarsSkinned_ = false;
    SkinWindowBase::Detach();
}

void SkinScrollableBase::ApplyScrollBarSizes()
{
    const SkinManager::PinnedSkin skin;
    auto* bars = dynamic_cast<SkinScrollBarData*>(skin->FindObjectByType(kSkinScrollBar));
    if (!bars || !g_scrollBarHooks || !window_)
        return;
    const int size = bars->horizontal[0].arrow1.source.Width();
    const int thumb = bars->horizontal[0].thumb.source.Height();
    if (size > 0)
        g_scrollBarHooks->setSize(window_, SB_BOTH, size, size);
    if (thumb > 0)
        g_scrollBarHooks->setMinThumbSize(window_, SB_BOTH, thumb);
}

void SkinScrollableBase::SkinScrollBars()
{
    if (scrollBarsSkinned_ || !g_scrollBarHooks || !window_)
        return;
    if (!SkinManager::PinnedSkin()->FindObjectByType(kSkinScrollBar))
        return;
    if (!g_scrollBarHooks->initialize(window_))
        return;
    g_scrollBarHooks->setStyle(window_, SB_BOTH, 2);
    scrollBarsSkinned_ = true;
    ApplyScrollBarSizes();
}

void SkinScrollableBase::ResyncScrollBar(int bar)
{
    SCROLLINFO own = {};
    own.cbSize = sizeof own;
    own.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    if (!::GetScrollInfo(window_, bar, &own))
        return;
    SCROLLINFO skinned = {};
    skinned.cbSize = sizeof skinned;
    skinned.fMask = own.fMask;
    g_scrollBarHooks->getScrollInfo(window_, bar, &skinned);
    if (own.nMin == skinned.nMin && own.nMax == skinned.nMax) {
        if (own.nPos != skinned.nPos) {
            SCROLLINFO pos = {};
            pos.cbSize = sizeof pos;
            pos.fMask = SIF_POS;
            pos.nPos = own.nPos;
            g_scrollBarHooks->setScrollInfo(window_, bar, &pos, FALSE);
        }
    } else {
        own.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        g_scrollBarHooks->setScrollInfo(window_, bar, &own, FALSE);
    }
}

void SkinScrollableBase::ResyncScrollBars()
{
    if (!scrollBarsSkinned_ || !g_scrollBarHooks)
        return;
    ResyncScrollBar(SB_HORZ);
    ResyncScrollBar(SB_VERT);
    RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

SIZE SkinScrollableBase::BorderWidths() const
{
    const LONG ex = GetWindowLongA(window_, GWL_EXSTYLE);
    SIZE widths = {0, 0};
    if (ex & WS_EX_CLIENTEDGE) {
        widths.cx += GetSystemMetrics(SM_CXEDGE);
        widths.cy += GetSystemMetrics(SM_CYEDGE);
    }
    if (ex & WS_EX_DLGMODALFRAME) {
        widths.cx += GetSystemMetrics(SM_CXDLGFRAME);
        widths.cy += GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (ex & WS_EX_STATICEDGE) {
        widths.cx += 1;
        widths.cy += 1;
    }
    return widths;
}

void SkinScrollableBase::OnNcPaint(HRGN region)
{
    SkinControlData* data = ControlData();
    if (!data || IsLayoutImageEmpty(data->background)) {
        BaseProc(WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
        return;
    }
    const SIZE widths = BorderWidths();
    // The system paints the rest of the frame (the scroll bars) inside
    // the border; the border is the skin's.
    RECT window;
    ::GetWindowRect(window_, &window);
    RECT inner = window;
    InflateRect(&inner, -widths.cx, -widths.cy);
    HRGN rest = CreateRectRgnIndirect(&inner);
    BaseProc(WM_NCPAINT, reinterpret_cast<WPARAM>(rest), 0);
    DeleteObject(rest);
    if (widths.cx == 0 && widths.cy == 0)
        return;
    HDC dc = GetWindowDC(window_);
    if (!dc)
        return;
    const RECT bounds = {0, 0, Width(window), Height(window)};
    ExcludeClipRect(dc, widths.cx, widths.cy, bounds.right - widths.cx, bounds.bottom - widths.cy);
    const RECT borders = {widths.cx, widths.cy, widths.cx, widths.cy};
    SkinGdiUtil::DrawLayoutBorderSized(dc, bounds, borders, data->background, data->backColor, FALSE);
    ReleaseDC(window_, dc);
}

BOOL SkinScrollableBase::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    const DWORD style = DWORD(GetWindowLongA(window_, GWL_STYLE));
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    SetWindowLongA(window_, GWL_STYLE, LONG(changed));
    if (flags)
        SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                     flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void SkinScrollableBase::Invalidate()
{
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

LRESULT SkinScrollableBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: {
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        if (NeedsResync())
            PostMessageA(window_, kSkinMsgResyncScrollBars, 0, 0);
        return result;
    }
    case WM_PAINT:
    case WM_ERASEBKGND:
        return BaseProc(message, wParam, lParam);  // the control paints itself
    case WM_NCPAINT:
        OnNcPaint(reinterpret_cast<HRGN>(wParam));
        return 0;
    case kSkinMsgSkinScrollBars:
        SkinScrollBars();
        return 0;
    case kSkinMsgResyncScrollBars:
        if (NeedsResync())
            ResyncScrollBars();
        return 0;
    case WM_NCDESTROY:
        return SkinWindowBase::WindowProc(message, wParam, lParam);  // this goes
    default: {
        HWND window = window_;
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        // The message may have destroyed the window and this with it.
        if (NeedsResync() && IsWindow(window) && SkinManager::Instance().FindSkinObject(window) == this)
            ResyncAfter(message, wParam, lParam);
        return result;
    }
    }
}

void SkinScrollableBase::ResyncAfter(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!NeedsResync() || !window_ || !scrollBarsSkinned_ || !g_scrollBarHooks)
        return;
    if (ChangesContent(message, wParam, lParam))
        PostMessageA(window_, kSkinMsgResyncScrollBars, 0, 0);
    if (message == WM_HSCROLL || message == WM_VSCROLL || message == WM_MOUSEWHEEL) {
        ResyncScrollBar(message == WM_HSCROLL ? SB_HORZ : SB_VERT);
        RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

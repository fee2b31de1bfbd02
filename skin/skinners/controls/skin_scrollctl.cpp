#include "skin/skinners/controls/skin_scrollctl.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

namespace {

SkinWindowObject* MakeScrollBar(uint32_t type, SkinWindowObject* parent)
{
    return new SkinScrollBarCtrl(parent, type);
}
SkinnerRegistrar g_scrollBar(kSkinScrollBar, &MakeScrollBar);

enum Block { kNormal, kPressed, kHighlighted, kDisabled };

RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

const int kScrollCodes[] = {0, SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN};

}  // namespace

SkinScrollBarCtrl::SkinScrollBarCtrl(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind)
{
    info_.cbSize = sizeof info_;
}

SkinScrollBarData* SkinScrollBarCtrl::Data() const { return dynamic_cast<SkinScrollBarData*>(GetSkinData()); }

bool SkinScrollBarCtrl::IsVertical() const { return (GetWindowLongA(window_, GWL_STYLE) & SBS_VERT) != 0; }

SkinDataObject* SkinScrollBarCtrl::BindSkinData(SkinDataObject* object)
{
    if (auto* data = dynamic_cast<SkinScrollBarData*>(object)) {
        arrow_[0] = data->horizontal[kNormal].arrow1.source.Width();
        arrow_[1] = data->vertical[kNormal].arrow1.source.Height();
        minThumb_[0] = data->horizontal[kNormal].thumb.source.Width();
        minThumb_[1] = data->vertical[kNormal].thumb.source.Height();
    }
    return SkinWindowBase::BindSkinData(object);
}

BOOL SkinScrollBarCtrl::Attach(HWND window)
{
    if (!SkinWindowBase::Attach(window))
        return FALSE;
    PostMessageA(window, kSkinMsgApplyColors, 0, 0);
    return TRUE;
}

ScrollCtlGeometry SkinScrollBarCtrl::Geometry() const
{
    RECT client;
    GetClientRect(window_, &client);
    const int v = IsVertical() ? 1 : 0;
    const int length = v ? client.bottom - client.top : client.right - client.left;
    const int pos = dragging_ ? info_.nTrackPos : info_.nPos;
    return LayoutScrollCtl(length, arrow_[v], info_.nMin, info_.nMax, info_.nPage, pos, minThumb_[v]);
}

int SkinScrollBarCtrl::Along(POINT point) const { return IsVertical() ? point.y : point.x; }

int SkinScrollBarCtrl::Along(LPARAM point) const
{
    return Along(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)});
}

bool SkinScrollBarCtrl::Notify(int code, int position)
{
    HWND window = window_;
    SendMessageA(GetParent(window), IsVertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(window));
    return StillSkinnedBy(window, this);
}

void SkinScrollBarCtrl::Repaint()
{
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void SkinScrollBarCtrl::LoadInfo()
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    CallPrevious(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    info_ = info;
    info_.fMask = 0;
    loaded_ = true;
    Repaint();
}

LRESULT SkinScrollBarCtrl::SetInfo(BOOL redraw, const SCROLLINFO* in)
{
    if (!in)
        return info_.nPos;
    if (in->fMask & SIF_RANGE) {
        info_.nMin = in->nMin;
        info_.nMax = in->nMax;
    }
    if (in->fMask & SIF_PAGE)
        info_.nPage = in->nPage;
    if (in->fMask & SIF_POS)
        info_.nPos = in->nPos;
    if (in->fMask & SIF_TRACKPOS)
        info_.nTrackPos = in->nTrackPos;
    // As the system keeps them: the page within the range, the position
    // where a whole page still shows.
    const int64_t range = int64_t(info_.nMax) - info_.nMin + 1;
    if (range > 0 && int64_t(info_.nPage) > range)
        info_.nPage = UINT(range);
    const int64_t last = std::max<int64_t>(info_.nMin, int64_t(info_.nMax) - std::max<int64_t>(info_.nPage, 1) + 1);
    info_.nPos = int(std::min<int64_t>(std::max<int64_t>(info_.nPos, info_.nMin), last));
    if (in->fMask & SIF_DISABLENOSCROLL) {
        const bool canScroll = info_.nMin < info_.nMax && int64_t(info_.nPage) < range;
        EnableWindow(window_, canScroll);
    }
    // The control keeps the same state for when the skin goes.
    SCROLLINFO copy = *in;
    CallHidden(SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&copy));
    if (redraw)
        Repaint();
    return info_.nPos;
}

void SkinScrollBarCtrl::OnPress(LPARAM point)
{
    if (GetWindowLongA(window_, GWL_STYLE) & SBS_SIZEGRIP)
        return;
    const ScrollCtlGeometry g = Geometry();
    const int part = HitTestScrollCtl(g, Along(point));
    if (part == kScrollCtlNone) {
        ReleaseCapture();
        return;
    }
    HideTooltip();
    SetCapture(window_);
    pressed_ = true;
    pressedPart_ = part;
    if (part == kScrollCtlThumb) {
        dragging_ = true;
        dragOffset_ = Along(point) - g.thumbStart;
        info_.nTrackPos = info_.nPos;
        if (!Notify(SB_THUMBTRACK, info_.nTrackPos))
            return;
    } else {
        if (!Notify(kScrollCodes[part]))
            return;
        // The parent may have ended the press meanwhile (a message box
        // taking the capture).
        if (pressed_)
            SetTimer(window_, kRepeatTimer, kRepeatMs, nullptr);
    }
    Repaint();
}

void SkinScrollBarCtrl::OnRepeat()
{
    if (!pressed_ || dragging_) {
        KillTimer(window_, kRepeatTimer);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(window_, &cursor);
    const int part = HitTestScrollCtl(Geometry(), Along(cursor));
    // A page area stops once the thumb has come to the cursor.
    if ((pressedPart_ == kScrollCtlPageBefore || pressedPart_ == kScrollCtlPageAfter) && part == kScrollCtlThumb) {
        KillTimer(window_, kRepeatTimer);
        return;
    }
    if (part == pressedPart_)
        Notify(kScrollCodes[pressedPart_]);
}

bool SkinScrollBarCtrl::OnMove(WPARAM keys, LPARAM point)
{
    if ((keys & MK_LBUTTON) && pressed_) {
        if (dragging_) {
            const int position =
                ScrollCtlDragPosition(Geometry(), Along(point), dragOffset_, info_.nMin, info_.nMax, info_.nPage);
            if (position != info_.nTrackPos) {
                info_.nTrackPos = position;
                if (!Notify(SB_THUMBTRACK, position))
                    return false;
                Repaint();
            }
        } else if (HitTestScrollCtl(Geometry(), Along(point)) == pressedPart_) {
            SetTimer(window_, kRepeatTimer, kRepeatMs, nullptr);
        } else {
            KillTimer(window_, kRepeatTimer);
        }
        return true;
    }
    const int part = HitTestScrollCtl(Geometry(), Along(point));
    if (part != hotPart_) {
        hotPart_ = part;
        Repaint();
    }
    return true;
}

void SkinScrollBarCtrl::OnRelease(LPARAM point)
{
    if (!pressed_)
        return;
    EndPress(true, dragging_ ? ScrollCtlDragPosition(Geometry(), Along(point), dragOffset_, info_.nMin, info_.nMax,
                                                     info_.nPage)
                             : 0);
}

bool SkinScrollBarCtrl::EndPress(bool notify, int thumbPosition)
{
    if (!pressed_)
        return true;
    const bool dragged = dragging_;
    // Cleared first: releasing the capture comes back as WM_CAPTURECHANGED.
    pressed_ = false;
    dragging_ = false;
    KillTimer(window_, kRepeatTimer);
    if (GetCapture() == window_)
        ReleaseCapture();
    if (notify) {
        if (dragged && !Notify(SB_THUMBPOSITION, thumbPosition))
            return false;
        if (!Notify(SB_ENDSCROLL))
            return false;
    }
    Repaint();
    return true;
}

void SkinScrollBarCtrl::Detach()
{
    HWND window = window_;
    // The parent may destroy the bar on hearing the end; its destruction
    // then lets go of the window.
    EndPress(true, info_.nTrackPos);
    if (window_ != window)
        return;
    KillTimer(window_, kRepeatTimer);
    SkinWindowBase::Detach();
}

void SkinScrollBarCtrl::OnMouseLeave()
{
    SkinWindowBase::OnMouseLeave();
    if (hotPart_ != kScrollCtlNone) {
        hotPart_ = kScrollCtlNone;
        Repaint();
    }
}

void SkinScrollBarCtrl::Draw(HDC hdc)
{
    // A focused system scroll bar blinks a caret over its own thumb,
    // which is not where the skin's is. Painting runs with the caret
    // hidden, so it goes without leaving its pattern behind.
    if (GetFocus() == window_)
        DestroyCaret();
    SkinScrollBarData* data = Data();
    RECT client;
    GetClientRect(window_, &client);
    if (!data) {
        SkinGdiUtil::FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
        return;
    }
    if (GetWindowLongA(window_, GWL_STYLE) & SBS_SIZEGRIP) {
        SkinGdiUtil::DrawImageRef(hdc, client, data->gripper, GetSysColor(COLOR_BTNFACE), TRUE);
        return;
    }
    const bool vertical = IsVertical();
    const SkinScrollBlock* blocks = vertical ? data->vertical : data->horizontal;
    if (!loaded_) {
        SkinGdiUtil::DrawLayoutImage(hdc, client, blocks[kNormal].bar, GetSysColor(COLOR_BTNFACE), TRUE);
        return;
    }
    // Each piece: the normal image, or the state's when it has one.
    SkinImageRef arrow1 = blocks[kNormal].arrow1, arrow2 = blocks[kNormal].arrow2;
    SkinLayoutImage bar = blocks[kNormal].bar, thumb = blocks[kNormal].thumb;
    auto take = [&](int part, int block) {
        const SkinScrollBlock& b = blocks[block];
        switch (part) {
        case kScrollCtlArrow1: if (!IsImageRefEmpty(b.arrow1)) arrow1 = b.arrow1; break;
        case kScrollCtlArrow2: if (!IsImageRefEmpty(b.arrow2)) arrow2 = b.arrow2; break;
        case kScrollCtlPageBefore:
        case kScrollCtlPageAfter: if (!IsLayoutImageEmpty(b.bar)) bar = b.bar; break;
        case kScrollCtlThumb: if (!IsLayoutImageEmpty(b.thumb)) thumb = b.thumb; break;
        default: break;
        }
    };
    if (!IsWindowEnabled(window_)) {
        for (int part : {kScrollCtlArrow1, kScrollCtlArrow2, kScrollCtlPageBefore, kScrollCtlThumb})
            take(part, kDisabled);
    } else {
        if (hotPart_ != kScrollCtlNone && !pressed_)
            take(hotPart_, kHighlighted);
        if (pressed_)
            take(pressedPart_, kPressed);
    }
    const ScrollCtlGeometry g = Geometry();
    auto span = [&](int start, int end) {
        return vertical ? RECT{client.left, start, client.right, end} : RECT{start, client.top, end, client.bottom};
    };
    SkinGdiUtil::DrawLayoutImage(hdc, client, bar, GetSysColor(COLOR_BTNFACE), TRUE);
    SkinGdiUtil::DrawImageRef(hdc, span(0, g.arrow), arrow1, GetSysColor(COLOR_BTNFACE), TRUE);
    SkinGdiUtil::DrawImageRef(hdc, span(g.length - g.arrow, g.length), arrow2, GetSysColor(COLOR_BTNFACE), TRUE);
    if (g.thumbLength > 0)
        SkinGdiUtil::DrawLayoutImageKeyed(hdc, span(g.thumbStart, g.thumbStart + g.thumbLength), thumb, keyColor_);
}

LRESULT SkinScrollBarCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    if (message == kSkinMsgApplyColors) {
        LoadInfo();
        return 0;
    }
    if (!loaded_)
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    switch (message) {
    case SBM_SETSCROLLINFO:
        return SetInfo(BOOL(wParam), reinterpret_cast<const SCROLLINFO*>(lParam));
    case SBM_GETSCROLLINFO: {
        auto* out = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!out)
            return FALSE;
        if (out->fMask & SIF_RANGE) {
            out->nMin = info_.nMin;
            out->nMax = info_.nMax;
        }
        if (out->fMask & SIF_PAGE)
            out->nPage = info_.nPage;
        if (out->fMask & SIF_POS)
            out->nPos = info_.nPos;
        if (out->fMask & SIF_TRACKPOS)
            out->nTrackPos = info_.nTrackPos;
        return (out->fMask & (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)) != 0;
    }
    case SBM_GETPOS:
        return info_.nPos;
    // The older messages change the same copy.
    case SBM_SETPOS: {
        const int old = info_.nPos;
        SCROLLINFO in = {sizeof in, SIF_POS, 0, 0, 0, int(wParam), 0};
        SetInfo(BOOL(lParam), &in);
        return old;
    }
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        const int old = info_.nPos;
        SCROLLINFO in = {sizeof in, SIF_RANGE, int(wParam), int(lParam), 0, 0, 0};
        SetInfo(message == SBM_SETRANGEREDRAW, &in);
        return old;
    }
    case SBM_GETRANGE:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = info_.nMin;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = info_.nMax;
        return 0;
    case WM_ENABLE: {
        const LRESULT result = CallHidden(message, wParam, lParam);
        Repaint();
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Repaint();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnPress(lParam);
        return 0;
    case WM_LBUTTONUP:
        OnRelease(lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // The capture taken away in the middle of a press ends it.
        if (reinterpret_cast<HWND>(lParam) != window_ && !EndPress(true, info_.nTrackPos))
            return 0;
        break;
    case WM_CANCELMODE:
        if (!EndPress(true, info_.nTrackPos))
            return 0;
        break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE: {
        if (message == WM_MOUSEMOVE && !OnMove(wParam, lParam))
            return 0;
        // The control sees the mouse too, but must not paint its own
        // hover look over the skin.
        return CallHidden(message, wParam, lParam);
    }
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            OnRepeat();
            return 0;
        }
        break;
    default:
        break;
    }
    return SkinWindowBase::WindowProc(message, wParam, lParam);
}

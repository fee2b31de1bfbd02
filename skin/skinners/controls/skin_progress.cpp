#include "skin/skinners/controls/skin_progress.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/controls/skin_control_base_geometry.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

SkinWindowObject* MakeProgress(uint32_t type, SkinWindowObject* parent) { return new SkinProgress(parent, type); }
SkinnerRegistrar g_progress(kSkinProgressBar, &MakeProgress);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SkinProgress::SkinProgress(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinProgressData* SkinProgress::Data() const { return dynamic_cast<SkinProgressData*>(GetSkinData()); }

BOOL SkinProgress::Attach(HWND window)
{
    if (!SkinWindowBase::Attach(window))
        return FALSE;
    PostMessageA(window, kSkinMsgProgressState, 0, 0);
    return TRUE;
}

void SkinProgress::TakeStateOver()
{
    PBRANGE range = {};
    CallPrevious(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    min_ = range.iLow;
    max_ = range.iHigh;
    pos_ = int(CallPrevious(PBM_GETPOS, 0, 0));
    // The control does not tell its step: one step from the minimum shows
    // it (the control paints nothing meanwhile).
    CallHidden(PBM_SETPOS, WPARAM(min_), 0);
    CallHidden(PBM_STEPIT, 0, 0);
    step_ = int(CallPrevious(PBM_GETPOS, 0, 0)) - min_;
    if (step_ <= 0)
        step_ = 1;
    CallHidden(PBM_SETPOS, WPARAM(pos_), 0);
    active_ = true;
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Changed();
}

void SkinProgress::Detach()
{
    HWND window = window_;
    const bool active = active_ && !destroyed_;
    active_ = false;
    SkinWindowBase::Detach();
    if (active && window && IsWindow(window)) {
        SendMessageA(window, PBM_SETRANGE32, WPARAM(min_), LPARAM(max_));
        SendMessageA(window, PBM_SETPOS, WPARAM(pos_), 0);
        SendMessageA(window, PBM_SETSTEP, WPARAM(step_), 0);
    }
}

void SkinProgress::Clamp() { pos_ = std::min(std::max(pos_, min_), max_); }

void SkinProgress::Changed()
{
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

void SkinProgress::DrawBar(HDC hdc, const RECT& rect)
{
    SkinProgressData* data = Data();
    if (!data)
        return;
    SkinGdiUtil::DrawLayoutImage(hdc, rect, data->background, data->backColor, TRUE);
    const int width = Width(rect);
    const int d = ProgressFillLength(pos_, min_, max_, width);
    if (d <= 0)
        return;
    const SkinLayoutImage& image = data->progressImage;
    const bool hasImage = !IsLayoutImageEmpty(image);
    const RECT filled = {rect.left, rect.top, rect.left + d, rect.bottom};
    switch (data->style) {
    case 1: {
        // Revealed: the whole picture, of which the first d pixels show.
        SkinMemDC picture(hdc, width, Height(rect));
        const RECT all = {0, 0, width, Height(rect)};
        SkinGdiUtil::DrawLayoutImage(picture, all, image, data->textColor, TRUE);
        SkinGdiUtil::TransparentStretchBlit(hdc, rect.left, rect.top, d, Height(rect), picture, 0, 0, d, Height(rect),
                                            keyColor_);
        break;
    }
    case 2: {
        const int block = image.source.Width();
        if (!hasImage || block <= 0)
            break;
        for (int i = 0; i < d / block; ++i) {
            const RECT r = {rect.left + i * block, rect.top, rect.left + (i + 1) * block, rect.bottom};
            SkinGdiUtil::DrawLayoutImageKeyed(hdc, r, image, keyColor_);
        }
        break;
    }
    default:
        if (hasImage)
            SkinGdiUtil::DrawLayoutImageKeyed(hdc, filled, image, keyColor_);
        else
            SkinGdiUtil::FillSolidRect(hdc, filled, data->textColor);
        break;
    }
}

void SkinProgress::Draw(HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    if (!(GetWindowLongA(window_, GWL_STYLE) & PBS_VERTICAL)) {
        DrawBar(hdc, client);
        return;
    }
    // The skin draws bars lying down: a vertical one is drawn lying and
    // turned, so that it fills from the bottom.
    SkinDrawTurned(hdc, client, [this](HDC picture, const RECT& lying) { DrawBar(picture, lying); });
}

void SkinProgress::PaintBorder()
{
    SkinProgressData* data = Data();
    if (!data)
        return;
    RECT window, client;
    ::GetWindowRect(window_, &window);
    GetClientRect(window_, &client);
    const int w = Width(window), h = Height(window);
    if (w == Width(client) && h == Height(client))
        return;
    HDC dc = GetWindowDC(window_);
    if (!dc)
        return;
    const int x = (w - Width(client)) / 2, y = (h - Height(client)) / 2;
    ExcludeClipRect(dc, x, y, x + Width(client), y + Height(client));
    const RECT bounds = {0, 0, w, h};
    SkinGdiUtil::DrawLayoutImage(dc, bounds, data->background, data->backColor, TRUE);
    ReleaseDC(window_, dc);
}

LRESULT SkinProgress::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    if (message == kSkinMsgProgressState) {
        if (!active_)
            TakeStateOver();
        return 0;
    }
    if (!active_)
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    switch (message) {
    case PBM_SETRANGE: {
        const LRESULT old = MAKELONG(min_, max_);
        min_ = LOWORD(lParam);
        max_ = HIWORD(lParam);
        Clamp();
        Changed();
        return old;
    }
    case PBM_SETRANGE32: {
        const LRESULT old = MAKELONG(min_, max_);
        min_ = int(wParam);
        max_ = int(lParam);
        Clamp();
        Changed();
        return old;
    }
    case PBM_SETPOS: {
        const int old = pos_;
        pos_ = int(wParam);
        Clamp();
        Changed();
        return old;
    }
    case PBM_DELTAPOS: {
        // A negative delta may pass the minimum, as the system's does.
        const int old = pos_;
        pos_ = int(std::min<int64_t>(int64_t(pos_) + int(wParam), max_));
        Changed();
        return old;
    }
    case PBM_SETSTEP: {
        const int old = step_;
        step_ = int(wParam);
        return old;
    }
    case PBM_STEPIT: {
        const int old = pos_;
        pos_ = int(std::min<int64_t>(int64_t(pos_) + step_, max_));
        Changed();
        return old;
    }
    case PBM_GETRANGE:
        if (lParam) {
            auto* range = reinterpret_cast<PBRANGE*>(lParam);
            range->iLow = min_;
            range->iHigh = max_;
        }
        return wParam ? min_ : max_;
    case PBM_GETPOS:
        return pos_;
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR:
        return LRESULT(0xFF000000);  // CLR_DEFAULT: the skin's colours stay
    case kSkinMsgRecordFont:
        return 0;
    case WM_NCPAINT:
        PaintBorder();
        return 0;
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}

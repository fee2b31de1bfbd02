#include "skin/skinners/controls/skin_slider.h"

#include <commctrl.h>

#include <utility>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

SkinWindowObject* MakeTrackBar(uint32_t type, SkinWindowObject* parent) { return new SkinTrackBar(parent, type); }
SkinnerRegistrar g_trackBar(kSkinSlider, &MakeTrackBar);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SkinTrackBar::SkinTrackBar(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinSliderData* SkinTrackBar::Data() const { return dynamic_cast<SkinSliderData*>(GetSkinData()); }

BOOL SkinTrackBar::Attach(HWND window)
{
    savedStyle_ = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, savedStyle_ | TBS_BOTH);
    if (!SkinWindowBase::Attach(window)) {
        SetWindowLongA(window, GWL_STYLE, savedStyle_);
        return FALSE;
    }
    return TRUE;
}

void SkinTrackBar::Detach()
{
    HWND window = window_;
    SkinWindowBase::Detach();
    if (window && IsWindow(window)) {
        SetWindowLongA(window, GWL_STYLE, savedStyle_);
        InvalidateRect(window, nullptr, TRUE);
    }
}

void SkinTrackBar::DrawBackground(HDC hdc, const RECT& rect)
{
    SkinSliderData* data = Data();
    if (data && data->transparent) {
        SkinGdiUtil::FillSolidRect(hdc, rect, GetSysColor(COLOR_BTNFACE));
        if (HWND owner = GetBackgroundOwner())
            SendMessageA(owner, kSkinMsgChildBackground, reinterpret_cast<WPARAM>(hdc),
                         reinterpret_cast<LPARAM>(window_));
        return;
    }
    if (data)
        SkinGdiUtil::DrawLayoutImage(hdc, rect, data->background, GetSysColor(COLOR_BTNFACE), TRUE);
    else
        SkinGdiUtil::FillSolidRect(hdc, rect, GetSysColor(COLOR_BTNFACE));
}

void SkinTrackBar::Draw(HDC hdc)
{
    SkinSliderData* data = Data();
    RECT client;
    GetClientRect(window_, &client);
    RECT thumb = {}, channel = {};
    SendMessageA(window_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    SendMessageA(window_, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    if (!data) {
        DrawBackground(hdc, client);
        return;
    }
    if (GetWindowLongA(window_, GWL_STYLE) & TBS_VERT) {
        DrawVertical(hdc, client, channel, thumb);
        return;
    }
    DrawBackground(hdc, client);
    SkinGdiUtil::DrawLayoutImage(hdc, channel, data->channel, data->backColor, TRUE);
    SkinGdiUtil::DrawLayoutImageKeyed(hdc, thumb, data->thumbHorizontal, keyColor_);
}

void SkinTrackBar::DrawVertical(HDC hdc, const RECT& client, const RECT& channelIn, const RECT& thumb)
{
    SkinSliderData* data = Data();
    const int w = Width(client), h = Height(client);
    if (w <= 0 || h <= 0)
        return;
    // The channel as the control reports it: some systems give it lying,
    // as for a horizontal slider.
    RECT channel = channelIn;
    if (Width(channel) > Height(channel))
        channel = RECT{channelIn.top, channelIn.left, channelIn.bottom, channelIn.right};
    // The lying picture: w x h turned anticlockwise (270) stands upright;
    // a client point (x, y) lies at (h - y, x) in it.
    SkinDrawTurned(hdc, client, [&](HDC picture, const RECT& lying) {
        if (data->transparent) {
            SkinMemDC upright(hdc, w, h);
            DrawBackground(upright, client);
            SkinBlitRotated(picture, lying, upright, w, h, 90.0f, nullptr);
        } else {
            DrawBackground(picture, lying);
        }
        const RECT channelLying = {h - channel.bottom, channel.left, h - channel.top, channel.right};
        SkinGdiUtil::DrawLayoutImage(picture, channelLying, data->channel, data->backColor, TRUE);
    });

    if (!IsLayoutImageEmpty(data->thumbVertical)) {
        SkinGdiUtil::DrawLayoutImageKeyed(hdc, thumb, data->thumbVertical, keyColor_);
        return;
    }
    const int tw = Width(thumb), th = Height(thumb);
    if (tw <= 0 || th <= 0)
        return;
    SkinMemDC lyingThumb(hdc, th, tw);
    const RECT all = {0, 0, th, tw};
    SkinGdiUtil::DrawLayoutImage(lyingThumb, all, data->thumbHorizontal, keyColor_, TRUE);
    SkinBlitRotated(hdc, thumb, lyingThumb, th, tw, 270.0f, &keyColor_);
}

LRESULT SkinTrackBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        if (!(wParam & MK_LBUTTON))
            break;
        // fall through: the control moves the thumb, the skin shows it
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return HandleThenRepaint(message, wParam, lParam);
    default:
        break;
    }
    return SkinWindowBase::WindowProc(message, wParam, lParam);
}

#include "skin/skinners/controls/skin_calendar.h"

#include <commctrl.h>
#include <windowsx.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

namespace {

SkinWindowObject* MakeMonthCal(uint32_t type, SkinWindowObject* parent) { return new SkinMonthCal(parent, type); }
SkinnerRegistrar g_monthCal(kSkinMonthCalendar, &MakeMonthCal);

}  // namespace

SkinMonthCal::SkinMonthCal(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinMonthCalData* SkinMonthCal::Data() const { return dynamic_cast<SkinMonthCalData*>(GetSkinData()); }

BOOL SkinMonthCal::Attach(HWND window)
{
    if (!SkinWindowBase::Attach(window))
        return FALSE;
    FindButtons();
    PostMessageA(window, kSkinMsgApplyColors, 0, 0);
    return TRUE;
}

SkinDataObject* SkinMonthCal::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinWindowBase::BindSkinData(object);
    if (window_)
        PostMessageA(window_, kSkinMsgApplyColors, 0, 0);
    return previous;
}

void SkinMonthCal::FindButtons() { SkinGdiUtil::FindMonthCalNavButtons(window_, &previous_, &next_); }

void SkinMonthCal::ApplyColors()
{
    SkinMonthCalData* data = Data();
    if (!data)
        return;
    const struct {
        int part;
        COLORREF color;
    } colours[] = {
        {MCSC_BACKGROUND, data->backColor}, {MCSC_MONTHBK, data->colors[0]},  {MCSC_TEXT, data->textColor},
        {MCSC_TITLEBK, data->colors[1]},    {MCSC_TITLETEXT, data->colors[2]}, {MCSC_TRAILINGTEXT, data->colors[3]},
    };
    for (const auto& c : colours)
        SendMessageA(window_, MCM_SETCOLOR, c.part, c.color);
}

int SkinMonthCal::ButtonAt(LPARAM point) const
{
    const POINT p = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (PtInRect(&previous_, p))
        return kPrevious;
    if (PtInRect(&next_, p))
        return kNext;
    return kNone;
}

void SkinMonthCal::Draw(HDC hdc)
{
    SkinMonthCalData* data = Data();
    RECT client;
    GetClientRect(window_, &client);
    if (data)
        SkinGdiUtil::DrawLayoutImage(hdc, client, data->background, data->backColor, TRUE);
    CallPrevious(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), PRF_CLIENT);
    if (!data)
        return;
    const bool enabled = IsWindowEnabled(window_) != 0;
    for (int button : {kPrevious, kNext}) {
        const SkinLayoutImage* images = &data->images[button == kPrevious ? 0 : 3];  // normal, pressed, disabled
        const SkinLayoutImage* chosen = &images[0];
        if (!enabled && !IsLayoutImageEmpty(images[2]))
            chosen = &images[2];
        else if (enabled && pressed_ == button && !IsLayoutImageEmpty(images[1]))
            chosen = &images[1];
        const RECT& r = GetButtonRect(button);
        if (!IsLayoutImageEmpty(*chosen) && !IsRectEmpty(&r))
            SkinGdiUtil::DrawLayoutImageKeyed(hdc, r, *chosen, GetKeyColor());
    }
}

LRESULT SkinMonthCal::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case kSkinMsgApplyColors:
        ApplyColors();
        return 1;
    case WM_SIZE: {
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        if (window_)
            FindButtons();
        return result;
    }
    case WM_LBUTTONDOWN:
        pressed_ = ButtonAt(lParam);
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    case WM_LBUTTONUP:
        pressed_ = kNone;
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    case WM_MOUSEMOVE: {
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        if ((wParam & MK_LBUTTON) && window_) {
            const int under = ButtonAt(lParam);
            if (under != pressed_) {
                pressed_ = under;
                InvalidateRect(window_, nullptr, FALSE);
            }
        }
        return result;
    }
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}

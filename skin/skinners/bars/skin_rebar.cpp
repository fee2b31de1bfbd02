#include "skin/skinners/bars/skin_rebar.h"

#include <commctrl.h>

#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

namespace {

SkinWindowObject* MakeReBar(uint32_t type, SkinWindowObject* parent) { return new SkinReBar(parent, type); }
SkinnerRegistrar g_reBar(kSkinRebar, &MakeReBar);

}  // namespace

SkinReBar::SkinReBar(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

void SkinReBar::Draw(HDC hdc)
{
    auto* data = dynamic_cast<SkinRebarData*>(GetSkinData());
    RECT client;
    GetClientRect(window_, &client);
    static const SkinLayoutImage kNone = {};
    SkinGdiUtil::DrawLayoutImage(hdc, client, data ? data->background : kNone, GetSysColor(COLOR_BTNFACE), TRUE);
    // The band text style is the record after the band image.
    SkinTextEffect style = {};
    if (data) {
        static_assert(sizeof data->tail == sizeof style, "the band text style is a text effect");
        std::memcpy(&style, data->tail, sizeof style);
    }
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetTextColor(hdc, data ? SkinGdiUtil::UnpackColor24(style.textColor) : GetSysColor(COLOR_BTNTEXT));
    SetBkMode(hdc, TRANSPARENT);
    const int bands = int(SendMessageA(window_, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < bands; ++i) {
        RECT r = {};
        if (!SendMessageA(window_, RB_GETRECT, i, reinterpret_cast<LPARAM>(&r)))
            continue;
        char text[201] = {};
        REBARBANDINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_TEXT;
        info.lpText = text;
        info.cch = sizeof text - 1;
        SendMessageA(window_, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info));
        const SkinLayoutImage& band = data ? data->bandImage : kNone;
        SkinGdiUtil::DrawLayoutImage(hdc, r, band, GetSysColor(COLOR_BTNFACE), TRUE);
        if (text[0]) {
            RECT t = {r.left + band.marginLeft, r.top + band.marginTop, r.right, r.bottom - band.marginBottom};
            DrawTextA(hdc, text, -1, &t, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
        }
    }
    RestoreDC(hdc, saved);
}

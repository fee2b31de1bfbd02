#include "skin/skinners/bars/skin_header.h"

#include <commctrl.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

namespace {

SkinWindowObject* MakeHeader(uint32_t type, SkinWindowObject* parent) { return new SkinHeader(parent, type); }
SkinnerRegistrar g_header(kSkinHeader, &MakeHeader);

}  // namespace

SkinHeader::SkinHeader(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

void SkinHeader::Draw(HDC hdc)
{
    auto* data = dynamic_cast<SkinHeaderData*>(GetSkinData());
    RECT client;
    GetClientRect(window_, &client);
    static const SkinLayoutImage kNone = {};
    const SkinLayoutImage& background = data ? data->background : kNone;
    SkinGdiUtil::DrawLayoutImage(hdc, client, background, GetSysColor(COLOR_BTNFACE), TRUE);
    SkinTextEffect effect = {};
    if (data)
        effect = data->effect;
    else
        SkinGdiUtil::PackColor24(effect.textColor, GetSysColor(COLOR_BTNTEXT));
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    const int count = int(SendMessageA(window_, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[101] = {};
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = text;
        item.cchTextMax = sizeof text - 1;
        RECT r = {};
        if (!SendMessageA(window_, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)) ||
            !SendMessageA(window_, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
            continue;
        SkinGdiUtil::DrawLayoutImage(hdc, r, data ? data->item : kNone, GetSysColor(COLOR_BTNFACE), TRUE);
        r.left += background.marginLeft;
        r.right -= background.marginRight;
        UINT format = DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
            format |= DT_CENTER;
        else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
            format |= DT_RIGHT;
        SkinGdiUtil::DrawEffectText(hdc, effect, r, text, -1, format);
    }
    RestoreDC(hdc, saved);
}

#include "skin/skinners/popups/skin_tooltip_geometry.h"

SkinRect TooltipRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t placement)
{
    int32_t left, top;
    switch (placement) {
    case 1: left = x - w / 2; top = y + 22; break;
    case 2: left = x - w - 2; top = y + 22; break;
    case 3: left = x + 2; top = y - h / 2; break;
    case 4: left = x - w - 2; top = y - h / 2; break;
    case 5: left = x + 2; top = y - 2 - h; break;
    case 6: left = x - w / 2; top = y - 2 - h; break;
    case 7: left = x - w - 2; top = y - 2 - h; break;
    default: left = x + 2; top = y + 22; break;
    }
    return MakeSkinRect(left, top, left + w, top + h);
}

bool TooltipFits(const SkinRect& r, const SkinRect& work)
{
    auto inside = [&](int32_t x, int32_t y) {
        return x >= work.left && x < work.right && y >= work.top && y < work.bottom;
    };
    return inside(r.left, r.top) && inside(r.right, r.bottom);
}

SkinRect PlaceTooltip(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t placement, const SkinRect& work)
{
    const SkinRect wanted = TooltipRect(x, y, w, h, placement);
    if (TooltipFits(wanted, work))
        return wanted;
    for (uint32_t p = 0; p < 8; ++p) {
        const SkinRect r = TooltipRect(x, y, w, h, p);
        if (TooltipFits(r, work))
            return r;
    }
    return TooltipRect(x, y, w, h, 7);
}

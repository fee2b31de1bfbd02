#include "skin/skinners/popups/skin_popup_menu_geometry.h"

#include <algorithm>

PopupScrollLayout LayoutPopupItems(int32_t clientHeight, int32_t itemHeight, int32_t count)
{
    PopupScrollLayout l;
    if (itemHeight <= 0 || count <= 0) {
        l.visible = std::max(count, 0);
        return l;
    }
    if (int64_t(clientHeight) >= int64_t(itemHeight) * count) {
        l.visible = count;
        return l;
    }
    l.scrolling = true;
    const int32_t h = std::max(clientHeight, 0);
    l.visible = h / itemHeight;
    if (h % itemHeight < 10 && l.visible > 0)
        --l.visible;
    l.margin = (h - l.visible * itemHeight) / 2;
    return l;
}

int32_t PopupItemAt(int32_t y, int32_t clientHeight, int32_t itemHeight, int32_t margin, int32_t first,
                    int32_t count)
{
    if (count <= 0 || itemHeight <= 0 || y < margin || y >= clientHeight - margin)
        return -1;
    const int32_t item = (y - margin) / itemHeight + first;
    return item < count ? item : -1;
}

SkinRect PlaceSubmenu(const SkinRect& item, int32_t cx, int32_t cy, const SkinRect& work)
{
    SkinRect r = MakeSkinRect(item.right, item.top, item.right + cx, item.top + cy);
    if (r.bottom > work.bottom) {
        r.bottom = work.bottom - 1;
        r.top = std::max(r.bottom - cy, work.top + 1);
    }
    if (r.right > work.right) {
        r.right = item.left;
        r.left = std::max(r.right - cx, work.left);
        r.right = std::min(r.left + cx, work.right);
    }
    return r;
}

int32_t NextPopupItem(const std::vector<bool>& separators, int32_t current, int32_t direction)
{
    const int32_t count = int32_t(separators.size());
    if (count == 0)
        return -1;
    int32_t i = current;
    if (i < 0 || i >= count)
        i = direction > 0 ? -1 : count;
    for (int32_t step = 0; step < count; ++step) {
        i += direction > 0 ? 1 : -1;
        if (i >= count)
            i = 0;
        if (i < 0)
            i = count - 1;
        if (!separators[size_t(i)])
            return i;
    }
    return -1;
}

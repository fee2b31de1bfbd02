#include "skin/skinners/bars/skin_tab_geometry.h"

#include <algorithm>

namespace {

const uint32_t kTcsBottomOrRight = 0x2, kTcsVertical = 0x80, kTcsMultiline = 0x200;

}  // namespace

TabSide TabSideOfStyle(uint32_t style)
{
    const uint32_t right = kTcsVertical | kTcsBottomOrRight | kTcsMultiline;
    if ((style & right) == right)
        return kTabsRight;
    if (style & kTcsVertical)
        return kTabsLeft;
    if (style & kTcsBottomOrRight)
        return kTabsBottom;
    return kTabsTop;
}

SkinRect TabPageRect(const SkinRect& client, const std::vector<SkinRect>& items, TabSide side)
{
    SkinRect page = client;
    for (const SkinRect& item : items) {
        switch (side) {
        case kTabsTop: page.top = std::max(page.top, item.bottom - 1); break;
        case kTabsLeft: page.left = std::max(page.left, item.right - 1); break;
        case kTabsRight: page.right = std::min(page.right, item.left + 1); break;
        case kTabsBottom: page.bottom = std::min(page.bottom, item.top + 1); break;
        }
    }
    return page;
}

TabContent LayoutTabContent(const SkinRect& item, int32_t iconWidth, int32_t iconHeight, int32_t textWidth)
{
    TabContent out;
    const int32_t gap = iconWidth > 0 ? 4 : 0;
    const int32_t total = iconWidth + gap + textWidth;
    const int32_t left = total <= item.Width() ? item.left + (item.Width() - total) / 2 : item.left;
    if (iconWidth > 0) {
        const int32_t top = item.top + (item.Height() - iconHeight) / 2;
        out.icon = MakeSkinRect(left, top, left + iconWidth, top + iconHeight);
    }
    out.text = MakeSkinRect(left + iconWidth + gap, item.top, std::min(item.right, left + total), item.bottom);
    if (out.text.right < out.text.left)
        out.text.right = out.text.left;
    return out;
}

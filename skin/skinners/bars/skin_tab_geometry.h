// Pure geometry of the tab control skinner: which side the tabs are on,
// the page left between the tab rows, and where a tab's icon and text go.
// No windows.h, so it is tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_TAB_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_TAB_GEOMETRY_H

#include <cstdint>
#include <vector>

#include "skin/core/skin_data_types.h"

enum TabSide { kTabsTop = 0, kTabsLeft = 1, kTabsRight = 2, kTabsBottom = 3 };

// TCS_VERTICAL|TCS_RIGHT|TCS_MULTILINE all set: right; TCS_VERTICAL
// otherwise: left; TCS_BOTTOM: bottom; else top.
TabSide TabSideOfStyle(uint32_t style);

// The client rectangle less the tab rows: on the tabs' side the page edge
// moves past every item (overlapping it by one pixel).
SkinRect TabPageRect(const SkinRect& client, const std::vector<SkinRect>& items, TabSide side);

struct TabContent {
    SkinRect icon;  // empty without an icon
    SkinRect text;
};
// Icon, a 4-pixel gap and text centred in the item (from its left when
// they do not fit); the icon centred vertically, the text over the
// item's height.
TabContent LayoutTabContent(const SkinRect& item, int32_t iconWidth, int32_t iconHeight, int32_t textWidth);

#endif

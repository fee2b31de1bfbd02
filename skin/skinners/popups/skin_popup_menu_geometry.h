// Pure geometry of the skinned popup menu window: how many items show when
// the menu is taller than its window (and the scroll strips), which item
// lies under a point, where a submenu opens inside the work area, and how
// the keyboard moves the hot item. No windows.h, tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_POPUP_MENU_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_POPUP_MENU_GEOMETRY_H

#include <cstdint>
#include <vector>

#include "skin/core/skin_data_types.h"

// The items a client area of `clientHeight` shows.
struct PopupScrollLayout {
    bool scrolling = false;  // more items than fit
    int32_t visible = 0;     // items shown at once
    int32_t margin = 0;      // above the first shown item (and below the last)
};
// Scrolling when the items do not fit: as many whole items as fit, one
// less when under 10 pixels would remain, the rest split above and below
// (the scroll strips).
PopupScrollLayout LayoutPopupItems(int32_t clientHeight, int32_t itemHeight, int32_t count);

// The item at client y: (y - margin) / item height + first visible; -1
// above or below the item area (clientHeight less the margins) or past
// the last item.
int32_t PopupItemAt(int32_t y, int32_t clientHeight, int32_t itemHeight, int32_t margin, int32_t first,
                    int32_t count);

// Where a cx x cy submenu goes for an item whose screen rectangle is
// `item`: its top-left at the item's top-right corner; inside workArea a
// submenu reaching below the bottom moves up to end one pixel above it
// (not above the area's top + 1), and one reaching past the right edge
// opens to the left of the item (not left of the area), cut at the right
// edge.
SkinRect PlaceSubmenu(const SkinRect& item, int32_t cx, int32_t cy, const SkinRect& workArea);

// The next hot item from `current` in `direction` (+1 down, -1 up),
// wrapping and skipping separators; from no hot item (-1) Down starts at
// the first item and Up at the last. -1 when every item is a separator.
int32_t NextPopupItem(const std::vector<bool>& separators, int32_t current, int32_t direction);

#endif

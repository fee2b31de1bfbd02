// Pure geometry of the skinned menu bar: accelerator letters of item texts,
// the bar's height for a width, where its items and the maximised MDI
// child's buttons go, which item the arrow keys move to, and where a
// drop-down menu opens inside the monitor's work area. No windows.h, so it
// is tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_MENUBAR_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_MENUBAR_GEOMETRY_H

#include <cstdint>
#include <vector>

#include "skin/core/skin_data_types.h"

// The letter after the first single '&' upper-cased; a doubled "&&" is
// passed over from its second '&' (so "&&&x" gives 'X'); 0 without one or
// at the end of the text.
char GetAccelChar(const char* text);

struct MenuBarItemSize {
    int32_t width;
    int32_t height;
};

// The bar's height for a window band of width pixels: 0 without items;
// lines of items as LayoutMenuBar lays them out (the first indented 4
// pixels, 20 when an MDI child is maximised, and then, on the last line,
// 48 pixels kept for the three buttons), each
// line the tallest item plus 2, plus the background's top and bottom
// margins. margins: left, top, right, bottom of the background image.
int32_t MenuBarHeight(int32_t width, const std::vector<MenuBarItemSize>& items, bool mdiMaximized,
                      const SkinRect& margins);

struct MenuBarLayoutResult {
    std::vector<SkinRect> items;  // one per item, window coordinates
    SkinRect buttons[4];          // icon, minimise, restore, close (MDI child maximised)
};
// Places the items in the bar rectangle inset by margins: from 4 pixels
// (20 with a maximised MDI child) into the band, wrapping to a new line of
// the tallest item's height plus 2 when an item would pass the band's right
// edge; the 16 x 16 buttons: icon at the band's left, close at its right
// end, restore and minimise each 2 pixels further left.
MenuBarLayoutResult LayoutMenuBar(const SkinRect& bar, const std::vector<MenuBarItemSize>& items,
                                  bool mdiMaximized, const SkinRect& margins);

// The item the arrow keys move to from `open` among `count` items (wrapping
// around); -1 when nothing is open or there are no items.
int MenuBarNeighbour(int open, int count, bool right);

// Moves rect inside bounds, keeping its size.
SkinRect ClampRectInto(const SkinRect& bounds, const SkinRect& rect);

// A drop-down of width x height for an item (screen coordinates): below
// the item with the left edges aligned; right-aligned with the item when it
// would pass the work area's right edge; above the item when it would pass
// the bottom; then kept one pixel inside the work area's top and left
// edges. The item is first moved into the work area.
SkinRect PlaceMenuBarPopup(const SkinRect& item, int32_t width, int32_t height, const SkinRect& work);

#endif

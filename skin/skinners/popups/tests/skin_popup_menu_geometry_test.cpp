// Popup menu geometry: scrolling layouts, the item under a point, submenu
// placement inside the work area and keyboard movement of the hot item.
#include <gtest/gtest.h>

#include "skin/skinners/popups/skin_popup_menu_geometry.h"

namespace {

TEST(PopupGeometry, ItemsThatDoNotFitScroll)
{
    PopupScrollLayout l = LayoutPopupItems(200, 20, 10);
    EXPECT_FALSE(l.scrolling);
    EXPECT_EQ(l.visible, 10);
    EXPECT_EQ(l.margin, 0);
    // 215 / 20 = 10 rows and 15 pixels left: all ten shown, 7 above.
    l = LayoutPopupItems(215, 20, 30);
    EXPECT_TRUE(l.scrolling);
    EXPECT_EQ(l.visible, 10);
    EXPECT_EQ(l.margin, 7);
    // Under 10 pixels would remain: one item less, room for the strips.
    l = LayoutPopupItems(205, 20, 30);
    EXPECT_EQ(l.visible, 9);
    EXPECT_EQ(l.margin, 12);
}

TEST(PopupGeometry, TheItemUnderAPoint)
{
    // Margin 12, items of 20 from the third.
    EXPECT_EQ(PopupItemAt(11, 205, 20, 12, 2, 30), -1);
    EXPECT_EQ(PopupItemAt(12, 205, 20, 12, 2, 30), 2);
    EXPECT_EQ(PopupItemAt(31, 205, 20, 12, 2, 30), 2);
    EXPECT_EQ(PopupItemAt(32, 205, 20, 12, 2, 30), 3);
    EXPECT_EQ(PopupItemAt(193, 205, 20, 12, 2, 30), -1);  // the lower strip
    EXPECT_EQ(PopupItemAt(45, 100, 20, 0, 0, 2), -1);     // past the last item
    EXPECT_EQ(PopupItemAt(5, 100, 20, 0, 0, 0), -1);      // empty menu
}

TEST(PopupGeometry, SubmenusStayInsideTheWorkArea)
{
    const SkinRect work = MakeSkinRect(0, 0, 1000, 800);
    // Room enough: at the item's top-right corner.
    EXPECT_EQ(PlaceSubmenu(MakeSkinRect(100, 50, 200, 70), 150, 100, work), MakeSkinRect(200, 50, 350, 150));
    // Past the right edge: opens on the left of the item.
    EXPECT_EQ(PlaceSubmenu(MakeSkinRect(800, 50, 900, 70), 150, 100, work), MakeSkinRect(650, 50, 800, 150));
    // Past the bottom: moved up to end one pixel above it.
    EXPECT_EQ(PlaceSubmenu(MakeSkinRect(100, 750, 200, 770), 150, 100, work), MakeSkinRect(200, 699, 350, 799));
    // Taller than the area: from the top + 1.
    EXPECT_EQ(PlaceSubmenu(MakeSkinRect(100, 50, 200, 70), 150, 900, work).top, 1);
    // Too wide either way: not left of the area, cut at its right edge.
    EXPECT_EQ(PlaceSubmenu(MakeSkinRect(100, 50, 990, 70), 1200, 100, work), MakeSkinRect(0, 50, 1000, 150));
}

TEST(PopupGeometry, KeysMoveTheHotItemPastSeparators)
{
    const std::vector<bool> separators = {false, true, false, false, true};
    EXPECT_EQ(NextPopupItem(separators, -1, +1), 0);
    EXPECT_EQ(NextPopupItem(separators, -1, -1), 3);
    EXPECT_EQ(NextPopupItem(separators, 0, +1), 2);
    EXPECT_EQ(NextPopupItem(separators, 3, +1), 0);  // wraps past the separator
    EXPECT_EQ(NextPopupItem(separators, 0, -1), 3);
    EXPECT_EQ(NextPopupItem({true, true}, -1, +1), -1);
    EXPECT_EQ(NextPopupItem({}, -1, +1), -1);
}

}  // namespace

// The menu bar's pure geometry: accelerator letters, the bar's height and
// item lines, the maximised MDI child's buttons, arrow-key neighbours and
// where a drop-down opens inside the work area.
#include <gtest/gtest.h>

#include "skin/skinners/frames/skin_menubar_geometry.h"

namespace {

SkinRect R(int l, int t, int r, int b) { return MakeSkinRect(l, t, r, b); }

void ExpectRect(const SkinRect& got, const SkinRect& want, const char* what)
{
    EXPECT_TRUE(got == want) << what << ": got " << got.left << "," << got.top << "," << got.right << ","
                             << got.bottom << " want " << want.left << "," << want.top << "," << want.right << ","
                             << want.bottom;
}

TEST(GetAccelChar, LetterAfterTheFirstSingleAmpersand)
{
    const struct {
        const char* text;
        char accel;
    } cases[] = {
        {"E&xit", 'X'},        {"Exit", 0},      {"&&x", 'X'},
        {"&file", 'F'},        {"Trailing&", 0}, {"", 0},        {"A&&&b", 'B'},
        {"&1 Recent", '1'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetAccelChar(c.text), c.accel) << c.text;
    EXPECT_EQ(GetAccelChar(nullptr), 0);
}

TEST(MenuBarHeight, LinesOfTheTallestItemPlusMargins)
{
    const SkinRect margins = R(3, 2, 5, 4);
    const std::vector<MenuBarItemSize> three = {{40, 15}, {50, 17}, {30, 15}};
    EXPECT_EQ(MenuBarHeight(500, {}, false, margins), 0);
    // 120 pixels fit in 492: one line of 17 + 2.
    EXPECT_EQ(MenuBarHeight(500, three, false, margins), 19 + 6);
    // Available 92: 40+50 fit, 30 wraps.
    EXPECT_EQ(MenuBarHeight(100, three, false, margins), 2 * 19 + 6);
    // With a maximised MDI child the first line starts 20 in and 48 pixels
    // stay free for the buttons: 20+120+48 > 180 gives a second line.
    EXPECT_EQ(MenuBarHeight(188, three, true, margins), 2 * 19 + 6);
    EXPECT_EQ(MenuBarHeight(500, three, true, margins), 19 + 6);
}

// The bar is as high as the lines its layout makes, also when the items
// fit the band only without the layout's indent of the first line.
TEST(MenuBarHeight, CountsTheLinesTheLayoutMakes)
{
    const std::vector<MenuBarItemSize> items = {{40, 16}, {50, 16}, {30, 16}};
    const int line = 16 + 2;
    for (const bool mdi : {false, true})
        for (int width = 60; width <= 260; ++width) {
            const MenuBarLayoutResult laid = LayoutMenuBar(R(0, 0, width, 10 * line), items, mdi, SkinRect());
            const int laidLines = laid.items.back().bottom / line;
            const int lines = MenuBarHeight(width, items, mdi, SkinRect()) / line;
            if (mdi)
                EXPECT_GE(lines, laidLines) << "width " << width << " (a line more for the MDI buttons)";
            else
                EXPECT_EQ(lines, laidLines) << "width " << width;
        }
    // 120 pixels of items in a 122-pixel band: the last one wraps.
    EXPECT_EQ(MenuBarHeight(122, items, false, SkinRect()), 2 * line);
}

TEST(LayoutMenuBar, ItemsInLinesAndTheMdiButtons)
{
    const std::vector<MenuBarItemSize> items = {{40, 16}, {50, 16}, {30, 16}};
    const MenuBarLayoutResult plain = LayoutMenuBar(R(10, 30, 110, 66), items, false, SkinRect());
    ASSERT_EQ(plain.items.size(), 3u);
    ExpectRect(plain.items[0], R(14, 30, 54, 48), "first item 4 pixels in");
    ExpectRect(plain.items[1], R(54, 30, 104, 48), "second follows it");
    ExpectRect(plain.items[2], R(10, 48, 40, 66), "third wraps to the band's left");

    const MenuBarLayoutResult mdi = LayoutMenuBar(R(0, 0, 300, 18), items, true, SkinRect());
    ExpectRect(mdi.items[0], R(20, 0, 60, 18), "first item 20 pixels in");
    ExpectRect(mdi.buttons[0], R(2, 1, 18, 17), "icon");
    ExpectRect(mdi.buttons[3], R(284, 1, 300, 17), "close at the right end");
    ExpectRect(mdi.buttons[2], R(266, 1, 282, 17), "restore 2 left of close");
    ExpectRect(mdi.buttons[1], R(248, 1, 264, 17), "minimise 2 left of restore");
}

TEST(MenuBarNeighbour, ArrowKeysWrapAround)
{
    EXPECT_EQ(MenuBarNeighbour(2, 3, true), 0);
    EXPECT_EQ(MenuBarNeighbour(0, 3, false), 2);
    EXPECT_EQ(MenuBarNeighbour(1, 3, true), 2);
    EXPECT_EQ(MenuBarNeighbour(-1, 3, true), -1);
    EXPECT_EQ(MenuBarNeighbour(0, 0, true), -1);
}

TEST(ClampRectInto, KeepsSizeInsideBounds)
{
    const SkinRect bounds = R(0, 0, 100, 100);
    ExpectRect(ClampRectInto(bounds, R(90, -5, 120, 10)), R(70, 0, 100, 15), "past right and top");
    ExpectRect(ClampRectInto(bounds, R(-10, 95, 10, 105)), R(0, 90, 20, 100), "past left and bottom");
    ExpectRect(ClampRectInto(bounds, R(10, 10, 20, 20)), R(10, 10, 20, 20), "inside");
}

TEST(PlaceMenuBarPopup, BelowTheItemElseRightAlignedOrAbove)
{
    const SkinRect work = R(0, 0, 800, 600);
    ExpectRect(PlaceMenuBarPopup(R(100, 40, 140, 58), 150, 200, work), R(100, 58, 250, 258), "below, left aligned");
    ExpectRect(PlaceMenuBarPopup(R(700, 40, 760, 58), 150, 200, work), R(610, 58, 760, 258),
               "right-aligned with the item at the right edge");
    ExpectRect(PlaceMenuBarPopup(R(100, 500, 140, 518), 150, 200, work), R(100, 300, 250, 500),
               "above the item at the bottom");
    // Taller than the space above and below: kept inside from the top.
    ExpectRect(PlaceMenuBarPopup(R(100, 300, 140, 318), 150, 590, work), R(100, 1, 250, 591), "tall");
    // Wider than the work area: one pixel inside its left edge.
    ExpectRect(PlaceMenuBarPopup(R(10, 40, 50, 58), 900, 100, work), R(1, 58, 799, 158), "wide");
}

}  // namespace

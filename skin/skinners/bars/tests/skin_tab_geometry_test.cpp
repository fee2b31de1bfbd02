// The tab skinner's geometry: the tabs' side from the style, the page
// between the tab rows, and the icon and text of a tab.
#include <gtest/gtest.h>

#include "skin/skinners/bars/skin_tab_geometry.h"

namespace {

SkinRect R(int l, int t, int r, int b) { return MakeSkinRect(l, t, r, b); }

TEST(TabSideOfStyle, VerticalRightNeedsMultiline)
{
    EXPECT_EQ(TabSideOfStyle(0), kTabsTop);
    EXPECT_EQ(TabSideOfStyle(0x2), kTabsBottom);
    EXPECT_EQ(TabSideOfStyle(0x80), kTabsLeft);
    EXPECT_EQ(TabSideOfStyle(0x82), kTabsLeft);  // right without multiline
    EXPECT_EQ(TabSideOfStyle(0x282), kTabsRight);
}

TEST(TabPageRect, ThePageEdgeMovesPastEveryTabOnItsSide)
{
    const SkinRect client = R(0, 0, 200, 100);
    const std::vector<SkinRect> top = {R(2, 2, 50, 20), R(50, 0, 100, 22)};
    EXPECT_TRUE(TabPageRect(client, top, kTabsTop) == R(0, 21, 200, 100));
    const std::vector<SkinRect> left = {R(0, 2, 20, 40), R(0, 40, 24, 80)};
    EXPECT_TRUE(TabPageRect(client, left, kTabsLeft) == R(23, 0, 200, 100));
    const std::vector<SkinRect> right = {R(180, 2, 200, 40)};
    EXPECT_TRUE(TabPageRect(client, right, kTabsRight) == R(0, 0, 181, 100));
    const std::vector<SkinRect> bottom = {R(2, 80, 50, 100)};
    EXPECT_TRUE(TabPageRect(client, bottom, kTabsBottom) == R(0, 0, 200, 81));
    EXPECT_TRUE(TabPageRect(client, {}, kTabsTop) == client);
}

TEST(LayoutTabContent, CentredWhenItFitsElseFromTheLeft)
{
    const TabContent both = LayoutTabContent(R(0, 0, 100, 20), 16, 16, 40);
    EXPECT_TRUE(both.icon == R(20, 2, 36, 18));
    EXPECT_TRUE(both.text == R(40, 0, 80, 20));
    const TabContent textOnly = LayoutTabContent(R(10, 0, 60, 20), 0, 0, 30);
    EXPECT_TRUE(textOnly.icon.IsEmpty());
    EXPECT_TRUE(textOnly.text == R(20, 0, 50, 20));
    const TabContent tight = LayoutTabContent(R(10, 0, 40, 20), 16, 16, 40);
    EXPECT_EQ(tight.icon.left, 10);
    EXPECT_EQ(tight.text.left, 30);
    EXPECT_EQ(tight.text.right, 40);  // cut to the item
}

}  // namespace

// Tooltip placement: the eight placements, what fits the work area, and
// the order in which the others are tried.
#include <gtest/gtest.h>

#include "skin/skinners/popups/skin_tooltip_geometry.h"

namespace {

TEST(TooltipGeometry, EightPlacementsAroundThePoint)
{
    struct Case {
        uint32_t placement;
        int32_t left, top;
    } cases[] = {
        {0, 502, 322}, {1, 460, 322}, {2, 418, 322}, {3, 502, 290},
        {4, 418, 290}, {5, 502, 278}, {6, 460, 278}, {7, 418, 278}, {99, 502, 322},
    };
    for (const Case& c : cases) {
        const SkinRect r = TooltipRect(500, 300, 80, 20, c.placement);
        EXPECT_EQ(r, MakeSkinRect(c.left, c.top, c.left + 80, c.top + 20)) << c.placement;
    }
}

TEST(TooltipGeometry, ACornerOnTheRightOrBottomEdgeIsOutside)
{
    const SkinRect work = MakeSkinRect(0, 0, 1000, 800);
    EXPECT_TRUE(TooltipFits(MakeSkinRect(0, 0, 999, 799), work));
    EXPECT_FALSE(TooltipFits(MakeSkinRect(0, 0, 1000, 700), work));
    EXPECT_FALSE(TooltipFits(MakeSkinRect(0, 0, 900, 800), work));
    EXPECT_FALSE(TooltipFits(MakeSkinRect(-1, 0, 900, 700), work));
}

TEST(TooltipGeometry, TheFirstPlacementThatFits)
{
    const SkinRect work = MakeSkinRect(0, 0, 1000, 800);
    // Room below right: as wanted.
    EXPECT_EQ(PlaceTooltip(500, 300, 80, 20, 0, work), TooltipRect(500, 300, 80, 20, 0));
    // Crossing the right edge with placement 0: placement 2, on the left...
    EXPECT_EQ(PlaceTooltip(990, 300, 80, 20, 0, work), TooltipRect(990, 300, 80, 20, 2));
    // ...unless the centred one (tried first) fits.
    EXPECT_EQ(PlaceTooltip(950, 300, 80, 20, 0, work), TooltipRect(950, 300, 80, 20, 1));
    // Near the bottom right: the first of 0..7 that fits is 4 (left).
    EXPECT_EQ(PlaceTooltip(950, 785, 80, 20, 0, work), TooltipRect(950, 785, 80, 20, 4));
    // A wanted placement that fits is kept even when 0 would fit too.
    EXPECT_EQ(PlaceTooltip(500, 300, 80, 20, 6, work), TooltipRect(500, 300, 80, 20, 6));
    // Nothing fits: placement 7.
    EXPECT_EQ(PlaceTooltip(500, 300, 2000, 20, 0, work), TooltipRect(500, 300, 2000, 20, 7));
}

}  // namespace

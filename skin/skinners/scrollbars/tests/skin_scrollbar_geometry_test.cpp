// Scroll-bar geometry: clamping of scroll information, when a bar stays
// shown, arrow and thumb sizes, the portion under a point, the position a
// dragged thumb stands for, the drawn pieces and the drag snap area.
#include <gtest/gtest.h>

#include <climits>

#include "skin/skinners/scrollbars/skin_scrollbar_geometry.h"

namespace {

ScrollRange Range(int32_t min, int32_t max, int32_t page, int32_t pos)
{
    ScrollRange r;
    r.min = min;
    r.max = max;
    r.page = page;
    r.pos = pos;
    return r;
}

TEST(ScrollGeometry, MulDivRoundsAsTheSystemDoes)
{
    EXPECT_EQ(ScrollMulDiv(10, 3, 4), 8);    // 7.5 rounds up
    EXPECT_EQ(ScrollMulDiv(-10, 3, 4), -8);  // away from zero
    EXPECT_EQ(ScrollMulDiv(5, 5, 0), -1);
    EXPECT_EQ(ScrollMulDiv(INT32_MAX, INT32_MAX, 1), -1);
}

TEST(ScrollGeometry, InformationIsClampedLikeTheSystemBars)
{
    const ScrollRange old = Range(0, 100, 10, 50);
    // Page at most the range count, position at most max - page + 1.
    ScrollRange r = ClampScrollRange(old, Range(0, 0, 500, 0), false, true, false);
    EXPECT_EQ(r.page, 101);
    EXPECT_EQ(r.pos, 0);
    r = ClampScrollRange(old, Range(0, 0, 0, 1000), false, false, true);
    EXPECT_EQ(r.pos, 91);
    r = ClampScrollRange(old, Range(0, 0, 0, -5), false, false, true);
    EXPECT_EQ(r.pos, 0);
    // Page 0 lets the position reach the maximum.
    r = ClampScrollRange(old, Range(20, 40, 0, 99), true, true, true);
    EXPECT_EQ(r.min, 20);
    EXPECT_EQ(r.pos, 40);
    // An inverted range leaves no page and the minimum as position.
    r = ClampScrollRange(old, Range(50, 10, 5, 30), true, true, true);
    EXPECT_EQ(r.page, 0);
    EXPECT_EQ(r.pos, 50);
}

TEST(ScrollGeometry, WhenABarStaysShown)
{
    struct Case {
        ScrollRange range;
        bool keep;
        bool shown;
    } cases[] = {
        {Range(0, 100, 10, 0), false, true},
        {Range(0, 0, 0, 0), false, false},      // page and max 0: hidden
        {Range(0, 0, 0, 0), true, true},        // SIF_DISABLENOSCROLL keeps it
        {Range(5, 5, 1, 5), false, false},      // min == max
        {Range(0, 10, 20, 0), false, false},    // page beyond the maximum
        {Range(0, 10, 10, 0), false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollBarWanted(c.range, c.keep), c.shown) << c.range.max << " " << c.range.page;
}

TEST(ScrollGeometry, ArrowsThumbAndPortions)
{
    // 200 pixels, 16-pixel arrows, a quarter of the range per page.
    ScrollBarLayout l = LayoutScrollBar(200, 16, Range(0, 99, 25, 0), 6);
    EXPECT_EQ(l.arrow, 16);
    EXPECT_EQ(l.freeLength, 168);
    EXPECT_EQ(l.thumbLength, 42);
    EXPECT_EQ(l.thumbOffset, 0);
    l = LayoutScrollBar(200, 16, Range(0, 99, 25, 75), 6);
    EXPECT_EQ(l.thumbOffset, 126);  // at the end of the free length
    EXPECT_EQ(ScrollPortionAt(l, 0), kPortionFirstArrow);
    EXPECT_EQ(ScrollPortionAt(l, 15), kPortionFirstArrow);
    EXPECT_EQ(ScrollPortionAt(l, 16), kPortionTrackBefore);
    EXPECT_EQ(ScrollPortionAt(l, 16 + 126), kPortionThumb);
    EXPECT_EQ(ScrollPortionAt(l, 183), kPortionThumb);
    EXPECT_EQ(ScrollPortionAt(l, 184), kPortionLastArrow);
    EXPECT_EQ(ScrollPortionAt(l, 199), kPortionLastArrow);
    EXPECT_EQ(ScrollPortionAt(l, 200), kPortionNone);
    EXPECT_EQ(ScrollPortionAt(l, -1), kPortionNone);
    // A small page gets the minimum thumb; page 0 a thumb as long as an arrow.
    EXPECT_EQ(LayoutScrollBar(200, 16, Range(0, 9999, 1, 0), 6).thumbLength, 6);
    EXPECT_EQ(LayoutScrollBar(200, 16, Range(0, 100, 0, 0), 6).thumbLength, 16);
    // A range too wide for the arithmetic: no thumb at the start.
    l = LayoutScrollBar(200, 16, Range(INT32_MIN, INT32_MAX, 10, 0), 6);
    EXPECT_EQ(l.thumbLength, 0);
    EXPECT_EQ(l.thumbOffset, 0);
}

TEST(ScrollGeometry, ABarShorterThanTwoArrowsHasHalfArrowsAndNoThumb)
{
    const ScrollBarLayout l = LayoutScrollBar(25, 16, Range(0, 100, 10, 0), 6);
    EXPECT_EQ(l.arrow, 12);
    EXPECT_EQ(l.freeLength, 1);
    EXPECT_EQ(ScrollPortionAt(l, 11), kPortionFirstArrow);
    EXPECT_EQ(ScrollPortionAt(l, 12), kPortionNone);  // the middle pixel
    EXPECT_EQ(ScrollPortionAt(l, 13), kPortionLastArrow);
    const ScrollBarPieces p = ScrollBarDrawPieces(l, true);
    EXPECT_EQ(p.arrow1End, 12);
    EXPECT_EQ(p.arrow2Start, 13);
    EXPECT_EQ(p.thumbStart, p.thumbEnd);
}

TEST(ScrollGeometry, DraggedThumbPositions)
{
    const ScrollRange range = Range(0, 99, 25, 0);
    const ScrollBarLayout l = LayoutScrollBar(200, 16, range, 6);
    EXPECT_EQ(ScrollPosFromThumb(l, range, 0), 0);
    EXPECT_EQ(ScrollPosFromThumb(l, range, 126), 75);
    EXPECT_EQ(ScrollPosFromThumb(l, range, 63), 38);
    // Counted from the minimum.
    const ScrollRange shifted = Range(100, 199, 25, 100);
    EXPECT_EQ(ScrollPosFromThumb(l, shifted, 126), 175);
    // A range that cannot move: the offset itself.
    EXPECT_EQ(ScrollPosFromThumb(l, Range(0, 0, 0, 0), 7), 7);
    EXPECT_EQ(ClampThumbOffset(l, 500), 126);
    EXPECT_EQ(ClampThumbOffset(l, -3), 0);
}

TEST(ScrollGeometry, DrawnPiecesAndTheSnapArea)
{
    const ScrollBarLayout l = LayoutScrollBar(200, 16, Range(0, 99, 25, 40), 6);
    ScrollBarPieces p = ScrollBarDrawPieces(l, true);
    EXPECT_EQ(p.trackBeforeStart, 16);
    EXPECT_EQ(p.trackBeforeEnd, p.thumbStart);
    EXPECT_EQ(p.trackAfterStart, p.thumbEnd);
    EXPECT_EQ(p.trackAfterEnd, 184);
    p = ScrollBarDrawPieces(l, false);
    EXPECT_EQ(p.thumbStart, p.thumbEnd);
    EXPECT_EQ(p.trackBeforeEnd, 184);
    // 48 pixels beyond the ends, 24 beside the bar.
    EXPECT_TRUE(ThumbDragInside(-48, 0, 200, 16));
    EXPECT_FALSE(ThumbDragInside(-49, 0, 200, 16));
    EXPECT_TRUE(ThumbDragInside(247, 39, 200, 16));
    EXPECT_FALSE(ThumbDragInside(100, 40, 200, 16));
    EXPECT_FALSE(ThumbDragInside(100, -25, 200, 16));
}

}  // namespace

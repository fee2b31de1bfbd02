// The animation skinner's rules: frame times, the playback cursor through
// ranges and repeat counts, and frame placement.
#include <gtest/gtest.h>

#include <vector>

#include "skin/skinners/controls/skin_animate_geometry.h"

namespace {

TEST(AnimateFrameTime, WholeFramesPerSecond)
{
    EXPECT_EQ(AnimateFrameTime(15, 1), 66u);
    EXPECT_EQ(AnimateFrameTime(30000, 1001), 34u);  // 29 frames a second
    EXPECT_EQ(AnimateFrameTime(1, 2), 2000u);       // slower than one a second
    EXPECT_EQ(AnimateFrameTime(1, 100), 10000u);    // capped
    EXPECT_EQ(AnimateFrameTime(0, 1), 100u);
    EXPECT_EQ(AnimateFrameTime(10, 0), 100u);
}

// The frames a play shows, at most max of them.
std::vector<int> Play(uint32_t lParam, int repeat, int length, size_t max = 40)
{
    AnimateCursor cursor;
    AnimateSetRange(&cursor, lParam, repeat, length);
    std::vector<int> shown;
    do
        shown.push_back(cursor.current);
    while (AnimateAdvance(&cursor, length) && shown.size() < max);
    shown.push_back(-100 - cursor.current);  // where it rests
    return shown;
}

TEST(AnimateCursor, RangesAndRepeats)
{
    // Repeat 1: every frame once, resting on the last.
    EXPECT_EQ(Play(0xFFFF0000u, 1, 4), (std::vector<int>{0, 1, 2, 3, -103}));
    // Repeat 2 over frames 1..2.
    EXPECT_EQ(Play(0x00020001u, 2, 5), (std::vector<int>{1, 2, 1, 2, -102}));
    // A last frame past the clip is cut to it; a first of -1 is 0.
    EXPECT_EQ(Play(0x0009FFFFu, 1, 3), (std::vector<int>{0, 1, 2, -102}));
    // Endless until stopped.
    EXPECT_EQ(Play(0xFFFF0000u, -1, 2, 5).size(), 6u);
}

TEST(PlaceAnimateFrame, CentredAndCutOrAtTheOrigin)
{
    AnimatePlacement p = PlaceAnimateFrame(40, 20, 100, 60, true);
    EXPECT_TRUE(p.dest == MakeSkinRect(30, 20, 70, 40));
    p = PlaceAnimateFrame(120, 20, 100, 60, true);
    EXPECT_TRUE(p.dest == MakeSkinRect(0, 20, 100, 40));
    EXPECT_EQ(p.sourceX, 10);
    p = PlaceAnimateFrame(120, 20, 100, 60, false);
    EXPECT_TRUE(p.dest == MakeSkinRect(0, 0, 120, 20));
}

}  // namespace

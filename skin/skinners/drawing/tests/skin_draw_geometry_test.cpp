// Nine-piece cuts and their stretch rules, layout mode 8's strips, the
// popup menu placement, the OS class and the frame hit test.
#include <gtest/gtest.h>

#include "skin/skinners/drawing/skin_draw_geometry.h"

namespace {

TEST(LayoutPieces, NinePiecesByTheMargins)
{
    const SkinRect dest = MakeSkinRect(10, 20, 110, 70);
    const SkinRect source = MakeSkinRect(0, 0, 16, 16);
    const SkinRect margins = MakeSkinRect(4, 3, 5, 6);
    auto pieces = LayoutImagePieces(dest, margins, source, margins, 0, true);
    ASSERT_EQ(pieces.size(), 9u);
    EXPECT_EQ(pieces[0].dest, MakeSkinRect(10, 20, 14, 23));
    EXPECT_EQ(pieces[1].dest, MakeSkinRect(14, 20, 105, 23));
    EXPECT_EQ(pieces[2].dest, MakeSkinRect(105, 20, 110, 23));
    EXPECT_EQ(pieces[4].dest, MakeSkinRect(14, 23, 105, 64));
    EXPECT_EQ(pieces[8].dest, MakeSkinRect(105, 64, 110, 70));
    EXPECT_EQ(pieces[4].source, MakeSkinRect(4, 3, 11, 10));
    EXPECT_EQ(pieces[8].source, MakeSkinRect(11, 10, 16, 16));
    // Drawing order: rows from the top, left to right.
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(pieces[i].position, LayoutPiece::Position(i));
    // The border variant leaves the centre out.
    auto border = LayoutImagePieces(dest, margins, source, margins, 0, false);
    ASSERT_EQ(border.size(), 8u);
    for (const LayoutPiece& p : border)
        EXPECT_NE(p.position, LayoutPiece::kCentre);
}

TEST(LayoutPieces, TheModeChoosesWhatStretches)
{
    const SkinRect r = MakeSkinRect(0, 0, 30, 30), m = MakeSkinRect(5, 5, 5, 5);
    // Which of the nine positions stretch, per mode (1 = stretched).
    struct Case {
        uint32_t mode;
        const char* stretched;  // TL T TR L C R BL B BR
    } cases[] = {
        {1, "111111111"}, {2, "000000010"}, {3, "000010000"}, {4, "000100000"},
        {5, "010101010"}, {6, "000001000"}, {7, "010000000"}, {8, "010101010"},
        {0, "000000000"}, {9, "000000000"},
    };
    for (const Case& c : cases) {
        auto pieces = LayoutImagePieces(r, m, r, m, c.mode, true);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(pieces[i].stretch, c.stretched[i] == '1') << "mode " << c.mode << " piece " << i;
    }
}

TEST(LayoutPieces, ModeEightStripsEndAtTheRightEdge)
{
    // A centre of twice the strip width and a bit: three strips, the last
    // narrower.
    auto strips = CentreStrips(MakeSkinRect(10, 0, 10 + 2 * 16 + 5, 8), 16);
    ASSERT_EQ(strips.size(), 3u);
    EXPECT_EQ(strips[0], MakeSkinRect(10, 0, 26, 8));
    EXPECT_EQ(strips[1], MakeSkinRect(26, 0, 42, 8));
    EXPECT_EQ(strips[2], MakeSkinRect(42, 0, 47, 8));
    EXPECT_EQ(CentreStrips(MakeSkinRect(0, 0, 32, 8), 16).size(), 2u);
    EXPECT_EQ(CentreStrips(MakeSkinRect(0, 0, 0, 8), 16).size(), 0u);
    EXPECT_EQ(CentreStrips(MakeSkinRect(0, 0, 9, 8), 0).size(), 1u);
}

TEST(PopupPlacement, AlignmentFlags)
{
    const SkinRect area = MakeSkinRect(0, 0, 1280, 1000);
    EXPECT_EQ(PlacePopupMenu(100, 100, 50, 40, 0, area), MakeSkinRect(100, 100, 150, 140));
    EXPECT_EQ(PlacePopupMenu(100, 100, 50, 40, 0x4, area), MakeSkinRect(75, 100, 125, 140));
    EXPECT_EQ(PlacePopupMenu(100, 100, 50, 40, 0x8, area), MakeSkinRect(50, 100, 100, 140));
    EXPECT_EQ(PlacePopupMenu(100, 100, 50, 40, 0x20, area), MakeSkinRect(100, 60, 150, 100));
    EXPECT_EQ(PlacePopupMenu(100, 100, 50, 40, 0x10, area), MakeSkinRect(100, 80, 150, 120));
}

TEST(PopupPlacement, KeptInsideTheWorkArea)
{
    const SkinRect area = MakeSkinRect(0, 0, 1280, 1000);
    // Right-aligned at the left edge: moved right to start at the edge.
    EXPECT_EQ(PlacePopupMenu(10, 100, 50, 40, 0x8, area), MakeSkinRect(0, 100, 50, 140));
    // Past the right and bottom edges: moved back.
    EXPECT_EQ(PlacePopupMenu(1270, 990, 50, 40, 0, area), MakeSkinRect(1230, 960, 1280, 1000));
    // Taller than the area: its whole height.
    EXPECT_EQ(PlacePopupMenu(100, 100, 50, 2000, 0, area), MakeSkinRect(100, 0, 150, 1000));
    // Wider than the area: its whole width.
    const SkinRect offset = MakeSkinRect(1280, 0, 2560, 1000);
    EXPECT_EQ(PlacePopupMenu(1300, 100, 1500, 40, 0, offset), MakeSkinRect(1280, 100, 2560, 140));
}

TEST(OsClass, FromTheVersionNumbers)
{
    EXPECT_EQ(OsClassFromVersion(true, 3, 95, true), 0);   // Win32s
    EXPECT_EQ(OsClassFromVersion(true, 4, 0, true), 2);    // Windows 95
    EXPECT_EQ(OsClassFromVersion(true, 4, 10, true), 3);   // Windows 98
    EXPECT_EQ(OsClassFromVersion(true, 4, 90, true), 4);   // Windows ME
    EXPECT_EQ(OsClassFromVersion(true, 4, 10, false), 2);  // no detailed version
    EXPECT_EQ(OsClassFromVersion(false, 4, 0, true), 5);   // NT 4
    EXPECT_EQ(OsClassFromVersion(false, 5, 0, true), 6);   // Windows 2000
    EXPECT_EQ(OsClassFromVersion(false, 5, 1, true), 7);   // Windows XP
    EXPECT_EQ(OsClassFromVersion(false, 5, 2, true), 1);   // Server 2003
    EXPECT_EQ(OsClassFromVersion(false, 6, 1, true), 1);   // Windows 7 (what Wine reports)
    EXPECT_EQ(OsClassFromVersion(false, 5, 1, false), 1);
}

TEST(FrameHit, SizingSquaresBandsAndClient)
{
    const SkinRect parts[9] = {
        {0, 0, 86, 30},    {86, 0, 297, 30},    {297, 0, 400, 30},
        {0, 30, 10, 288},  {10, 30, 390, 288},  {390, 30, 400, 288},
        {0, 288, 10, 300}, {10, 288, 390, 300}, {390, 288, 400, 300},
    };
    struct Case {
        int x, y, sizable, fixed;
    } cases[] = {
        {0, 0, kHitTopLeft, kHitCaption},     {5, 0, kHitCaption, kHitCaption},
        {4, 4, kHitTopLeft, kHitCaption},     {100, 2, kHitTop, kHitCaption},
        {100, 10, kHitCaption, kHitCaption},  {399, 0, kHitTopRight, kHitCaption},
        {394, 4, kHitCaption, kHitCaption},   {2, 100, kHitLeft, kHitNowhere},
        {395, 100, kHitRight, kHitNowhere},   {200, 100, kHitClient, kHitClient},
        {399, 299, kHitBottomRight, kHitNowhere}, {391, 289, kHitBottom, kHitNowhere},
        {0, 299, kHitBottomLeft, kHitNowhere},    {200, 295, kHitBottom, kHitNowhere},
        {500, 500, kHitError, kHitError},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrameHitTest(parts, c.x, c.y, true), c.sizable) << c.x << "," << c.y;
        EXPECT_EQ(FrameHitTest(parts, c.x, c.y, false), c.fixed) << c.x << "," << c.y;
    }
}

}  // namespace

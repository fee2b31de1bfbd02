// Geometry of the control skinners, natively: button text and check box
// placement by style, group box captions, the scroll bar control's thumb,
// hit test and dragging, progress fill and spin halves.
#include <gtest/gtest.h>

#include "skin/skinners/controls/skin_control_base_geometry.h"

namespace {

SkinRect R(int l, int t, int r, int b) { return MakeSkinRect(l, t, r, b); }

void ExpectRect(const SkinRect& got, const SkinRect& want)
{
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
}

TEST(ButtonTextPlacement, FollowsTheAlignmentStyles)
{
    const SkinRect area = R(0, 0, 100, 30);
    struct Case {
        uint32_t style;
        bool checkLike;
        int width, height;
        SkinRect want;
    } cases[] = {
        {0, false, 40, 10, R(30, 10, 70, 20)},                  // no style: centred
        {0, true, 40, 10, R(0, 10, 40, 20)},                    // check boxes keep left
        {kBsCenter, true, 40, 10, R(30, 10, 70, 20)},
        {kBsRight, false, 40, 10, R(60, 10, 100, 20)},
        {kBsLeft, false, 40, 10, R(0, 10, 40, 20)},
        {kBsTop, false, 40, 10, R(30, 0, 70, 10)},
        {kBsBottom, false, 40, 10, R(30, 20, 70, 30)},
        {kBsVCenter | kBsRight, false, 40, 10, R(60, 10, 100, 20)},
        {kBsRight, false, 140, 10, R(0, 10, 140, 20)},         // wider than the area: left
        {0, false, 40, 50, R(30, 0, 70, 50)},                   // taller: from the top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style << " check " << c.checkLike);
        ExpectRect(PlaceButtonText(area, c.width, c.height, c.style, c.checkLike), c.want);
    }
}

TEST(CheckBoxPlacement, BoxLeftOrRightTextTwoPixelsApart)
{
    SkinRect box, text;
    PlaceCheckBox(R(0, 0, 100, 20), 16, 16, 0, &box, &text);
    ExpectRect(box, R(0, 2, 16, 18));
    ExpectRect(text, R(18, 0, 100, 20));
    PlaceCheckBox(R(0, 0, 100, 20), 16, 16, kBsLeftText | kBsTop, &box, &text);
    ExpectRect(box, R(84, 0, 100, 16));
    ExpectRect(text, R(0, 0, 82, 20));
    PlaceCheckBox(R(0, 0, 100, 20), 16, 16, kBsBottom, &box, &text);
    ExpectRect(box, R(0, 4, 16, 20));
}

TEST(GroupBoxLayout, CaptionPlacesAndFrameStartsAtItsMiddle)
{
    const SkinRect client = R(0, 0, 200, 100);
    const SkinRect margins = R(2, 1, 2, 1);
    GroupBoxLayout left = LayoutGroupBox(client, 50, 14, margins, 0);
    ExpectRect(left.caption, R(4, 0, 58, 16));
    ExpectRect(left.text, R(6, 1, 56, 15));
    ExpectRect(left.frame, R(0, 8, 200, 100));
    GroupBoxLayout right = LayoutGroupBox(client, 50, 14, margins, kBsRight);
    EXPECT_EQ(right.caption.right, 196);
    EXPECT_EQ(right.caption.left, 196 - 54 - 4);
    GroupBoxLayout centre = LayoutGroupBox(client, 50, 14, margins, kBsCenter);
    EXPECT_EQ(centre.caption.left, 73);
    EXPECT_EQ(centre.caption.right, 127);
    // Long captions stay inside the client.
    EXPECT_EQ(LayoutGroupBox(client, 400, 14, margins, 0).caption.right, 198);
    EXPECT_EQ(LayoutGroupBox(client, 400, 14, margins, kBsRight).caption.left, 2);
}

TEST(ScrollCtlGeometry, ThumbFollowsPageAndPosition)
{
    // 200 pixels, 16-pixel arrows: a 168-pixel track.
    ScrollCtlGeometry g = LayoutScrollCtl(200, 16, 0, 99, 10, 0, 8);
    EXPECT_EQ(g.thumbLength, 17);  // MulDiv(10, 168, 100)
    EXPECT_EQ(g.thumbStart, 16);
    g = LayoutScrollCtl(200, 16, 0, 99, 10, 90, 8);
    EXPECT_EQ(g.thumbStart + g.thumbLength, 184);  // the last position ends at the second arrow
    g = LayoutScrollCtl(200, 16, 0, 99, 10, 45, 8);
    EXPECT_EQ(g.thumbStart, 16 + 76);  // MulDiv(45, 151, 90)
    // No page: the minimum thumb.
    g = LayoutScrollCtl(200, 16, 0, 99, 0, 99, 8);
    EXPECT_EQ(g.thumbLength, 8);
    EXPECT_EQ(g.thumbStart, 184 - 8);
    // The minimum holds for a tiny page; positions beyond the range clamp.
    g = LayoutScrollCtl(200, 16, 0, 100000, 1, 500000, 12);
    EXPECT_EQ(g.thumbLength, 12);
    EXPECT_EQ(g.thumbStart, 184 - 12);
    // A range wider than 0x7FFFFFFE with a page: a thumb of length 0 at the start.
    g = LayoutScrollCtl(200, 16, -2, 0x7FFFFFFF, 10, 5, 8);
    EXPECT_EQ(g.thumbLength, 0);
    EXPECT_EQ(g.thumbStart, 16);
    // Shorter than two arrows: the arrows share the bar, no thumb.
    g = LayoutScrollCtl(20, 16, 0, 10, 2, 0, 8);
    EXPECT_EQ(g.arrow, 10);
    EXPECT_EQ(g.thumbLength, 0);
}

TEST(ScrollCtlGeometry, HitTestAndDrag)
{
    const ScrollCtlGeometry g = LayoutScrollCtl(200, 16, 0, 99, 10, 45, 8);  // thumb 92..109
    struct Case {
        int at, part;
    } cases[] = {
        {-1, kScrollCtlNone}, {0, kScrollCtlArrow1},      {15, kScrollCtlArrow1},   {16, kScrollCtlPageBefore},
        {91, kScrollCtlPageBefore}, {92, kScrollCtlThumb}, {108, kScrollCtlThumb}, {109, kScrollCtlPageAfter},
        {183, kScrollCtlPageAfter}, {184, kScrollCtlArrow2}, {199, kScrollCtlArrow2}, {200, kScrollCtlNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestScrollCtl(g, c.at), c.part) << "at " << c.at;
    // Held 5 pixels into the thumb: where the thumb start goes decides.
    EXPECT_EQ(ScrollCtlDragPosition(g, 92 + 5, 5, 0, 99, 10), 45);
    EXPECT_EQ(ScrollCtlDragPosition(g, 16 + 5, 5, 0, 99, 10), 0);
    EXPECT_EQ(ScrollCtlDragPosition(g, 0, 5, 0, 99, 10), 0);
    EXPECT_EQ(ScrollCtlDragPosition(g, 400, 5, 0, 99, 10), 90);
    // Without a page the last position is max itself.
    const ScrollCtlGeometry noPage = LayoutScrollCtl(200, 16, 0, 99, 0, 0, 8);
    EXPECT_EQ(ScrollCtlDragPosition(noPage, 400, 0, 0, 99, 0), 99);
    // Nowhere to move: the minimum.
    const ScrollCtlGeometry full = LayoutScrollCtl(200, 16, 0, 9, 10, 0, 8);
    EXPECT_EQ(ScrollCtlDragPosition(full, 100, 0, 0, 9, 10), 0);
}

TEST(ProgressAndSpin, FillLengthAndHalves)
{
    EXPECT_EQ(ProgressFillLength(50, 0, 100, 200), 100);
    EXPECT_EQ(ProgressFillLength(0, 0, 100, 200), 0);
    EXPECT_EQ(ProgressFillLength(100, 0, 100, 200), 200);
    EXPECT_EQ(ProgressFillLength(5, 5, 5, 200), 0);
    EXPECT_EQ(ProgressFillLength(-20, 0, 100, 200), 0);
    EXPECT_EQ(ProgressFillLength(300, 0, 100, 200), 200);
    EXPECT_EQ(ProgressFillLength(0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 1000), 1000);

    const SkinRect client = R(0, 0, 16, 30);
    EXPECT_EQ(SpinHitTest(client, 5, 3, false), 1);
    EXPECT_EQ(SpinHitTest(client, 5, 15, false), 2);
    EXPECT_EQ(SpinHitTest(client, 3, 20, true), 1);
    EXPECT_EQ(SpinHitTest(client, 8, 2, true), 2);
    EXPECT_EQ(SpinHitTest(client, 16, 2, true), 0);
    EXPECT_EQ(SpinHitTest(client, 2, -1, false), 0);
}

}  // namespace

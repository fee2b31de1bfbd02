// The rich-text drawing operations, drawn into memory DCs: gradients,
// borders, rules, recoloured bitmaps, images with keys and shadows, icons.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "skin/richtext/markup_tags.h"
#include "skin/richtext/rich_text_gdi.h"
#include "skin/richtext/tests/test_surface.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kMagenta = RGB(255, 0, 255);

bool Near(COLORREF a, COLORREF b, int tolerance) { return guitest::SameColor(a, b, tolerance); }

// A DIB of the given size whose pixels come from a function of (x, y).
template <typename F>
HBITMAP MakeBitmap(int width, int height, F color)
{
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelV(dc, x, y, color(x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return b;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

class GdiOps : public ::testing::Test {
protected:
    RichTextGdi gdi;
};

TEST_F(GdiOps, GradientOf32PixelsDrawsEveryOddBand)
{
    TestSurface s(40, 4);
    gdi.GradientBand64(s.Dc(), 0, 0, 32, 4, RGB(0, 0, 0), kWhite, true);
    for (int k = 0; k < 32; ++k) {
        const int v = 255 * (2 * k + 1) / 64;  // band 2k+1 covers pixel k
        EXPECT_EQ(s.At(k, 2), RGB(v, v, v)) << k;
    }
    EXPECT_EQ(s.At(32, 2), kWhite);  // nothing past the rectangle
}

TEST_F(GdiOps, FillGradientEffects)
{
    const COLORREF a = RGB(200, 0, 0), mid = RGB(0, 200, 0), end = RGB(0, 0, 200);
    struct Case {
        int effect;
        POINT at;
        COLORREF want;
    } cases[] = {
        {1, {0, 8}, a},     {1, {63, 8}, end},  {2, {30, 0}, a},    {2, {30, 63}, end},
        {3, {0, 8}, a},     {3, {31, 8}, end},  {3, {63, 8}, a},    {4, {8, 0}, a},
        {4, {8, 31}, end},  {4, {8, 63}, a},    {5, {0, 8}, a},     {5, {31, 8}, mid},
        {5, {63, 8}, end},  {6, {8, 0}, a},     {6, {8, 32}, mid},  {6, {8, 63}, end},
        {0, {40, 40}, a},   {99, {40, 40}, a},
    };
    for (const Case& c : cases) {
        TestSurface s(64, 64);
        gdi.FillGradient(s.Dc(), c.effect, RECT{0, 0, 64, 64}, a, mid, end);
        EXPECT_TRUE(Near(s.At(c.at.x, c.at.y), c.want, 8))
            << "effect " << c.effect << " at " << c.at.x << "," << c.at.y << ": "
            << guitest::ColorText(s.At(c.at.x, c.at.y));
    }
}

TEST_F(GdiOps, DoubleBorderDrawsTwoRectanglesTwoPixelsApart)
{
    TestSurface s(60, 50);
    gdi.DrawBorderBox(s.Dc(), RECT{10, 10, 50, 40}, kRed, kBlue, kRtBorderDouble, 1);
    EXPECT_EQ(s.At(10, 25), kRed);
    EXPECT_EQ(s.At(11, 25), kWhite);
    EXPECT_EQ(s.At(12, 25), kRed);
    EXPECT_EQ(s.At(50, 25), kBlue);  // the edges are inclusive
    EXPECT_EQ(s.At(49, 25), kWhite);
    EXPECT_EQ(s.At(48, 25), kBlue);
    EXPECT_EQ(s.At(30, 10), kRed);
    EXPECT_EQ(s.At(30, 12), kRed);
    EXPECT_EQ(s.At(30, 40), kBlue);
    EXPECT_EQ(s.At(30, 38), kBlue);
    EXPECT_EQ(s.At(30, 25), kWhite);
}

TEST_F(GdiOps, BorderStylesAndNothingForNoneOrZeroWidth)
{
    TestSurface s(60, 50);
    gdi.DrawBorderBox(s.Dc(), RECT{10, 10, 50, 40}, kRed, kRed, kRtBorderNone, 3);
    gdi.DrawBorderBox(s.Dc(), RECT{10, 10, 50, 40}, kRed, kRed, kRtBorderSolid, 0);
    EXPECT_EQ(s.CountInRow(10, 0, 60, kRed), 0);
    gdi.DrawBorderBox(s.Dc(), RECT{10, 10, 50, 40}, kRed, kRed, kRtBorderSolid, 1);
    EXPECT_EQ(s.CountInRow(10, 0, 60, kRed), 41);  // the right edge's first pixel too
    s.Fill(kWhite);
    gdi.DrawBorderBox(s.Dc(), RECT{10, 10, 50, 40}, kRed, kRed, kRtBorderDashed, 1);
    const int dashed = s.CountInRow(10, 10, 50, kRed);
    EXPECT_GT(dashed, 5);
    EXPECT_LT(dashed, 40);  // gaps between the dashes
}

TEST_F(GdiOps, RuleLines)
{
    TestSurface s(30, 20);
    gdi.DrawRuleLine(s.Dc(), 0, 5, 20, 5, kGreen, kRtBorderDouble, 1);
    EXPECT_EQ(s.CountInRow(5, 0, 30, kGreen), 20);
    EXPECT_EQ(s.CountInRow(6, 0, 30, kGreen), 0);
    EXPECT_EQ(s.CountInRow(7, 0, 30, kGreen), 20);  // the second line 2 below
    s.Fill(kWhite);
    gdi.DrawRuleLine(s.Dc(), 3, 0, 3, 10, kGreen, kRtBorderDouble, 1);
    EXPECT_EQ(s.At(3, 4), kGreen);
    EXPECT_EQ(s.At(5, 4), kGreen);  // to the right of a vertical one
    EXPECT_EQ(s.At(3, 12), kWhite);
    s.Fill(kWhite);
    gdi.DrawRuleLine(s.Dc(), 0, 5, 20, 5, kGreen, kRtBorderNone, 1);
    EXPECT_EQ(s.CountInRow(5, 0, 30, kGreen), 0);
}

TEST_F(GdiOps, RecolorBitmapEffects)
{
    const COLORREF plain = RGB(100, 150, 200);
    HBITMAP source = MakeBitmap(3, 1, [&](int x, int) { return x == 0 ? kMagenta : x == 1 ? plain : RGB(220, 40, 0); });
    struct Case {
        int effects;
        BOOL keyed;
        COLORREF want[3];
    } cases[] = {
        {0, TRUE, {RGB(0, 0, 0), plain, RGB(220, 40, 0)}},
        {0, FALSE, {kMagenta, plain, RGB(220, 40, 0)}},
        {kRtEffectGrey, TRUE, {0, RGB(140, 140, 140), RGB(89, 89, 89)}},
        {kRtEffectDarker, TRUE, {0, RGB(75, 112, 150), RGB(165, 30, 0)}},
        {kRtEffectLighter, TRUE, {0, RGB(125, 187, 250), RGB(255, 50, 0)}},
        {kRtEffectFill, TRUE, {0, RGB(1, 2, 3), RGB(1, 2, 3)}},
        {kRtEffectFill | kRtEffectInvert, TRUE, {kWhite, RGB(254, 253, 252), RGB(254, 253, 252)}},
    };
    for (const Case& c : cases) {
        HBITMAP out = gdi.RecolorBitmap(source, 3, 1, c.effects, c.keyed, kMagenta, RGB(1, 2, 3));
        ASSERT_NE(out, nullptr);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelOf(out, x, 0), c.want[x]) << "effects " << c.effects << " pixel " << x;
        DeleteObject(out);
    }
    EXPECT_EQ(gdi.RecolorBitmap(nullptr, 3, 1, 0, FALSE, 0, 0), nullptr);
    EXPECT_EQ(gdi.RecolorBitmap(source, 0, 1, 0, FALSE, 0, 0), nullptr);
    DeleteObject(source);
}

TEST_F(GdiOps, ImagesWithKeyAndShadow)
{
    // 10 x 10: the left half is the key colour, the right half green.
    HBITMAP image = MakeBitmap(10, 10, [](int x, int) { return x < 5 ? kMagenta : kGreen; });
    TestSurface s(40, 40);
    gdi.DrawImageWithEffects(s.Dc(), 5, 5, 10, 10, image, TRUE, kMagenta, 0, false, 4, 4, 7, 7, RGB(128, 128, 128));
    EXPECT_EQ(s.At(7, 8), kWhite);  // transparent
    EXPECT_EQ(s.At(12, 8), kGreen);

    // A hard shadow of darkness 50: the background under it keeps 128/255.
    s.Fill(kWhite);
    gdi.DrawImageWithEffects(s.Dc(), 5, 5, 10, 10, image, TRUE, kMagenta, kRtEffectShadow, true, 4, 4, 7, 7,
                             RGB(128, 128, 128));
    EXPECT_EQ(s.At(12, 8), kGreen);
    EXPECT_EQ(s.At(16, 17), RGB(128, 128, 128));  // under the green half's shadow
    EXPECT_EQ(s.At(10, 17), kWhite);              // the key half casts none
    EXPECT_EQ(s.At(7, 8), kWhite);

    // Shadowed in the other style only: the picture moves onto the shadow.
    s.Fill(kWhite);
    gdi.DrawImageWithEffects(s.Dc(), 5, 5, 10, 10, image, TRUE, kMagenta, 0, true, 4, 4, 7, 7, RGB(128, 128, 128));
    EXPECT_EQ(s.At(12, 8), kWhite);
    EXPECT_EQ(s.At(16, 12), kGreen);

    // Stretched to twice the size, grey.
    s.Fill(kWhite);
    gdi.DrawImageWithEffects(s.Dc(), 0, 0, 20, 20, image, TRUE, kMagenta, kRtEffectGrey, false, 4, 4, 7, 7, 0);
    EXPECT_EQ(s.At(5, 5), kWhite);
    const int g = int(0.587 * 255);
    EXPECT_EQ(s.At(15, 15), RGB(g, g, g));
    DeleteObject(image);
}

TEST_F(GdiOps, SoftShadowIsDarkestInItsMiddle)
{
    HBITMAP shadow = MakeBitmap(40, 40, [](int, int) { return RGB(128, 128, 128); });
    TestSurface s(40, 40);
    gdi.DrawSoftShadow(s.Dc(), 0, 0, 40, 40, shadow, true, 7, 7);
    EXPECT_EQ(s.At(20, 20), RGB(128, 128, 128));
    EXPECT_GT(GetRValue(s.At(0, 0)), 220);
    EXPECT_GT(GetRValue(s.At(3, 20)), GetRValue(s.At(20, 20)));
    EXPECT_LT(GetRValue(s.At(3, 20)), GetRValue(s.At(0, 20)));
    // A blur larger than the shadow leaves nothing to darken.
    s.Fill(kWhite);
    gdi.DrawSoftShadow(s.Dc(), 0, 0, 40, 40, shadow, true, 60, 60);
    EXPECT_EQ(s.At(20, 20), kWhite);
    DeleteObject(shadow);
}

// A 16 x 16 icon: green, its left half transparent.
HICON MakeIcon()
{
    HBITMAP color = MakeBitmap(16, 16, [](int, int) { return kGreen; });
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, 16, 16, BLACKNESS);
    PatBlt(dc, 0, 0, 8, 16, WHITENESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

TEST_F(GdiOps, Icons)
{
    HICON icon = MakeIcon();
    ASSERT_NE(icon, nullptr);
    const SIZE size = RichTextGdi::GetIconSize(icon);
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);
    EXPECT_EQ(RichTextGdi::GetIconSize(nullptr).cx, 0);

    HICON big = gdi.StretchIcon(icon, 32, 32);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(RichTextGdi::GetIconSize(big).cx, 32);
    DestroyIcon(big);

    // The transparent half keeps the background even with an opaque
    // background colour set on the DC.
    TestSurface s(40, 40);
    SetBkColor(s.Dc(), kRed);
    SetTextColor(s.Dc(), kBlue);
    gdi.DrawIconWithEffects(s.Dc(), 4, 4, 16, 16, icon, 0, false, 4, 4, 7, 7, RGB(128, 128, 128));
    EXPECT_EQ(s.At(6, 10), kWhite);
    EXPECT_EQ(s.At(15, 10), kGreen);
    EXPECT_EQ(GetBkColor(s.Dc()), kRed);  // given back
    EXPECT_EQ(GetTextColor(s.Dc()), kBlue);

    s.Fill(kWhite);
    gdi.DrawIconWithEffects(s.Dc(), 0, 0, 32, 32, icon, kRtEffectShadow, true, 4, 4, 7, 7, RGB(128, 128, 128));
    EXPECT_EQ(s.At(25, 10), kGreen);            // stretched
    EXPECT_EQ(s.At(34, 20), RGB(128, 128, 128));  // its hard shadow
    DestroyIcon(icon);
}

TEST_F(GdiOps, TileBitmapCutsAtTheEdges)
{
    HBITMAP tile = MakeBitmap(4, 4, [](int x, int y) { return x == 0 && y == 0 ? kRed : kBlue; });
    TestSurface s(20, 20);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, tile);
    gdi.TileBitmap(s.Dc(), 2, 2, 10, 6, source, 0, 0, 4, 4);
    SelectObject(source, old);
    DeleteDC(source);
    EXPECT_EQ(s.At(2, 2), kRed);
    EXPECT_EQ(s.At(6, 6), kRed);
    EXPECT_EQ(s.At(10, 2), kRed);
    EXPECT_EQ(s.At(11, 7), kBlue);
    EXPECT_EQ(s.At(12, 2), kWhite);  // cut at x + width
    EXPECT_EQ(s.At(2, 8), kWhite);   // and at y + height
    DeleteObject(tile);
}

}  // namespace

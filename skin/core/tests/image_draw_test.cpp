// CSkinImage drawing and GDI bitmap conversion, drawn into a memory DC over
// a 32-bit DIB section whose pixels are sampled at known places.
#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/core/skin_image.h"
#include "testing/gui/gui_test.h"

namespace {

constexpr COLORREF kBackground = RGB(0, 128, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// The harness's canvas (a memory DC over a 32-bit section) filled with
// kBackground.
struct Canvas : guitest::Canvas {
    Canvas(int w, int h) : guitest::Canvas(w, h, kBackground) {}
};

SkinRgbQuad Q(COLORREF c)
{
    return SkinRgbQuad::FromColorRef(c);
}

bool Near(COLORREF a, COLORREF b, int tolerance = 2)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

#define EXPECT_COLOR(canvas, x, y, c) EXPECT_EQ((canvas).At(x, y), COLORREF(c)) << "at " << (x) << "," << (y)

// 4 x 4: top two rows red, bottom two blue (rows count from the bottom).
CSkinImage TwoBands(uint32_t bpp)
{
    CSkinImage img(4, 4, bpp);
    if (bpp < 24) {
        img.SetPaletteColor(0, 255, 0, 0);
        img.SetPaletteColor(1, 0, 0, 255);
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            img.SetPixelColor(x, y, Q(y >= 2 ? kRed : kBlue));
    return img;
}

TEST(SkinImageDraw, NaturalSizeAtEveryDepth)
{
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        SCOPED_TRACE(bpp);
        Canvas canvas(10, 10);
        CSkinImage img = TwoBands(bpp);
        ASSERT_TRUE(img.Draw(canvas.dc(), 3, 2));
        EXPECT_COLOR(canvas, 3, 2, kRed);
        EXPECT_COLOR(canvas, 6, 3, kRed);
        EXPECT_COLOR(canvas, 3, 4, kBlue);
        EXPECT_COLOR(canvas, 6, 5, kBlue);
        EXPECT_COLOR(canvas, 2, 2, kBackground);
        EXPECT_COLOR(canvas, 7, 5, kBackground);
        EXPECT_COLOR(canvas, 3, 6, kBackground);
    }
}

TEST(SkinImageDraw, ScaledNearestNeighbour)
{
    // 2 x 2 of four colours drawn at 6 x 4: each quadrant one colour.
    CSkinImage img(2, 2, 24);
    img.SetPixelColor(0, 1, Q(kRed));
    img.SetPixelColor(1, 1, Q(kBlue));
    img.SetPixelColor(0, 0, Q(kWhite));
    img.SetPixelColor(1, 0, Q(kMagenta));
    Canvas canvas(8, 6);
    ASSERT_TRUE(img.Draw(canvas.dc(), 1, 1, 6, 4));
    EXPECT_COLOR(canvas, 1, 1, kRed);
    EXPECT_COLOR(canvas, 3, 2, kRed);
    EXPECT_COLOR(canvas, 4, 1, kBlue);
    EXPECT_COLOR(canvas, 6, 2, kBlue);
    EXPECT_COLOR(canvas, 1, 3, kWhite);
    EXPECT_COLOR(canvas, 3, 4, kWhite);
    EXPECT_COLOR(canvas, 6, 4, kMagenta);
    EXPECT_COLOR(canvas, 7, 4, kBackground);
    EXPECT_COLOR(canvas, 1, 5, kBackground);
}

TEST(SkinImageDraw, TransparentColourIsSkippedExactly)
{
    // 24 bits: the index only switches transparency on; the colour decides.
    CSkinImage rgb = TwoBands(24);
    rgb.SetPixelColor(1, 3, Q(kMagenta));
    rgb.SetPixelColor(2, 0, Q(RGB(254, 0, 255)));  // near the key, but not it
    rgb.SetTransIndex(0);
    rgb.SetTransColor(Q(kMagenta));
    Canvas canvas(6, 6);
    ASSERT_TRUE(rgb.Draw(canvas.dc(), 1, 1));
    EXPECT_COLOR(canvas, 2, 1, kBackground);
    EXPECT_COLOR(canvas, 1, 1, kRed);
    EXPECT_COLOR(canvas, 3, 4, RGB(254, 0, 255));
    EXPECT_COLOR(canvas, 1, 4, kBlue);

    // Palette image: every pixel of the transparent index's colour.
    CSkinImage pal = TwoBands(8);
    pal.SetTransIndex(1);  // blue
    Canvas canvas2(6, 6);
    ASSERT_TRUE(pal.Draw(canvas2.dc(), 0, 0));
    EXPECT_COLOR(canvas2, 0, 0, kRed);
    EXPECT_COLOR(canvas2, 3, 1, kRed);
    EXPECT_COLOR(canvas2, 0, 2, kBackground);
    EXPECT_COLOR(canvas2, 3, 3, kBackground);

    // Scaled with transparency.
    Canvas canvas3(10, 10);
    ASSERT_TRUE(pal.Draw(canvas3.dc(), 0, 0, 8, 8));
    EXPECT_COLOR(canvas3, 7, 3, kRed);
    EXPECT_COLOR(canvas3, 7, 4, kBackground);
}

TEST(SkinImageDraw, AlphaPlane)
{
    CSkinImage img = TwoBands(24);
    ASSERT_TRUE(img.AlphaCreate());  // all 0: nothing shows
    Canvas canvas(6, 6);
    ASSERT_TRUE(img.Draw(canvas.dc(), 0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_COLOR(canvas, x, y, kBackground);

    img.AlphaSet(0, 3, 255);
    img.AlphaSet(1, 3, 128);
    img.AlphaSet(0, 0, 255);
    ASSERT_TRUE(img.Draw(canvas.dc(), 0, 0));
    EXPECT_COLOR(canvas, 0, 0, kRed);
    EXPECT_TRUE(Near(canvas.At(1, 0), RGB(128, 64, 0))) << std::hex << canvas.At(1, 0);
    EXPECT_COLOR(canvas, 0, 3, kBlue);
    EXPECT_COLOR(canvas, 1, 3, kBackground);

    // The alpha maximum scales every value.
    canvas.Fill(kBackground);
    img.AlphaSetMax(127);
    ASSERT_TRUE(img.Draw(canvas.dc(), 0, 0));
    EXPECT_TRUE(Near(canvas.At(0, 0), RGB(127, 64, 0))) << std::hex << canvas.At(0, 0);
}

TEST(SkinImageDraw, ClipRectangleLimitsAndIsUndone)
{
    CSkinImage img = TwoBands(8);
    Canvas canvas(8, 8);
    RECT clip = {2, 2, 4, 8};
    ASSERT_TRUE(img.Draw(canvas.dc(), 1, 1, -1, -1, &clip));
    EXPECT_COLOR(canvas, 1, 1, kBackground);
    EXPECT_COLOR(canvas, 2, 2, kRed);
    EXPECT_COLOR(canvas, 3, 4, kBlue);
    EXPECT_COLOR(canvas, 4, 4, kBackground);
    // The DC had no clip region before and has none after.
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(canvas.dc(), probe), 0);
    DeleteObject(probe);
    ASSERT_TRUE(img.Draw(canvas.dc(), 1, 1));
    EXPECT_COLOR(canvas, 1, 1, kRed);
}

TEST(SkinImageDraw, NothingToDraw)
{
    Canvas canvas(4, 4);
    CSkinImage empty;
    EXPECT_FALSE(empty.Draw(canvas.dc(), 0, 0));
    CSkinImage img = TwoBands(24);
    EXPECT_FALSE(img.Draw(nullptr, 0, 0));
    EXPECT_FALSE(img.Draw(canvas.dc(), 0, 0, 0, 4));
    EXPECT_FALSE(img.Stretch(canvas.dc(), 0, 0, 4, 0));
    img.Enable(false);
    EXPECT_FALSE(img.Draw(canvas.dc(), 0, 0));
    EXPECT_FALSE(img.StretchOpaque(canvas.dc(), 0, 0, 4, 4));
    RECT r = {0, 0, 4, 4};
    EXPECT_FALSE(img.Tile(canvas.dc(), &r));
    EXPECT_COLOR(canvas, 1, 1, kBackground);
}

TEST(SkinImageDraw, StretchHonoursTheKeyAndStretchOpaqueDoesNot)
{
    for (uint32_t bpp : {8u, 24u}) {
        SCOPED_TRACE(bpp);
        CSkinImage img = TwoBands(bpp);
        if (bpp == 8) {
            img.SetPaletteColor(2, 255, 0, 255);
            img.SetPixelIndex(0, 0, 2);
            img.SetTransIndex(2);
        } else {
            img.SetPixelColor(0, 0, Q(kMagenta));
            img.SetTransIndex(0);
            img.SetTransColor(Q(kMagenta));
        }
        Canvas canvas(10, 10);
        const COLORREF oldBk = GetBkColor(canvas.dc());
        ASSERT_TRUE(img.Stretch(canvas.dc(), 1, 1, 8, 8));
        EXPECT_EQ(GetBkColor(canvas.dc()), oldBk);
        EXPECT_COLOR(canvas, 1, 1, kRed);
        EXPECT_COLOR(canvas, 8, 4, kRed);
        EXPECT_COLOR(canvas, 8, 8, kBlue);
        EXPECT_COLOR(canvas, 1, 8, kBackground);  // the key pixel, doubled
        EXPECT_COLOR(canvas, 2, 7, kBackground);
        EXPECT_COLOR(canvas, 3, 8, kBlue);

        canvas.Fill(kBackground);
        ASSERT_TRUE(img.StretchOpaque(canvas.dc(), 1, 1, 8, 8));
        EXPECT_COLOR(canvas, 1, 8, kMagenta);
        EXPECT_COLOR(canvas, 8, 1, kRed);
        EXPECT_COLOR(canvas, 0, 0, kBackground);
    }
}

TEST(SkinImageDraw, TileCutsTheLastRowAndColumn)
{
    CSkinImage img(2, 2, 24);
    img.SetPixelColor(0, 1, Q(kRed));
    img.SetPixelColor(1, 1, Q(kBlue));
    img.SetPixelColor(0, 0, Q(kWhite));
    img.SetPixelColor(1, 0, Q(kMagenta));
    Canvas canvas(10, 10);
    RECT r = {1, 1, 6, 4};  // 5 x 3: two and a half tiles across
    ASSERT_TRUE(img.Tile(canvas.dc(), &r));
    EXPECT_COLOR(canvas, 1, 1, kRed);
    EXPECT_COLOR(canvas, 2, 1, kBlue);
    EXPECT_COLOR(canvas, 3, 1, kRed);
    EXPECT_COLOR(canvas, 5, 1, kRed);
    EXPECT_COLOR(canvas, 4, 2, kMagenta);
    EXPECT_COLOR(canvas, 5, 3, kRed);
    EXPECT_COLOR(canvas, 6, 1, kBackground);
    EXPECT_COLOR(canvas, 1, 4, kBackground);
    EXPECT_COLOR(canvas, 0, 0, kBackground);
}

TEST(SkinImageBitmap, MakeBitmapAndBack)
{
    for (uint32_t bpp : {8u, 24u}) {
        SCOPED_TRACE(bpp);
        CSkinImage img = TwoBands(bpp);
        img.SetPixelColor(3, 0, Q(bpp == 8 ? kRed : RGB(10, 20, 30)));
        Canvas canvas(4, 4);
        for (HDC dc : {HDC(nullptr), canvas.dc()}) {
            HBITMAP bitmap = img.MakeBitmap(dc);
            ASSERT_NE(bitmap, nullptr);
            BITMAP bm;
            ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), int(sizeof bm));
            EXPECT_EQ(bm.bmWidth, 4);
            EXPECT_EQ(bm.bmHeight, 4);

            CSkinImage back;
            ASSERT_TRUE(back.CreateFromHBITMAP(bitmap, nullptr)) << back.GetLastError();
            EXPECT_EQ(back.GetWidth(), 4);
            EXPECT_TRUE(back.GetPixelColor(0, 3).SameRgb(Q(kRed)));
            EXPECT_TRUE(back.GetPixelColor(0, 0).SameRgb(Q(kBlue)));
            EXPECT_TRUE(back.GetPixelColor(3, 0).SameRgb(img.GetPixelColor(3, 0)));
            DeleteObject(bitmap);
        }
    }
    CSkinImage empty;
    EXPECT_EQ(empty.MakeBitmap(nullptr), nullptr);
    EXPECT_FALSE(empty.CreateFromHBITMAP(nullptr, nullptr));
}

}  // namespace

// Flip, mirror, rotate and crop of CSkinImage on small images with known
// pixels, at every depth, alpha plane included.
#include <gtest/gtest.h>

#include <functional>

#include "skin/core/skin_image.h"

namespace {

constexpr int kW = 5, kH = 3;

// A distinct value per pixel (as far as the depth allows), as index or colour.
uint8_t ValueAt(int x, int y)
{
    return uint8_t(x + y * kW + 1);
}

CSkinImage MakePattern(uint32_t bpp)
{
    CSkinImage img(kW, kH, bpp, 1);
    for (uint32_t i = 0; i < img.GetNumColors(); ++i)
        img.SetPaletteColor(uint8_t(i), uint8_t(i * 16), uint8_t(i), uint8_t(255 - i));
    EXPECT_TRUE(img.AlphaCreate());
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (img.GetNumColors())
                img.SetPixelIndex(x, y, uint8_t(ValueAt(x, y) % img.GetNumColors()));
            else
                img.SetPixelColor(x, y, SkinRgbQuad::Make(ValueAt(x, y), uint8_t(x * 50), uint8_t(y * 70)));
            img.AlphaSet(x, y, uint8_t(ValueAt(x, y) * 10));
        }
    return img;
}

struct Mapping {
    const char* name;
    std::function<bool(CSkinImage&, CSkinImage*)> apply;
    bool swapsSides;
    // Source pixel of output pixel (i, j); rows count from the bottom.
    std::function<void(int i, int j, int& sx, int& sy)> source;
};

TEST(SkinImageTransform, PixelMappingsAtEveryDepth)
{
    const Mapping mappings[] = {
        {"Flip", [](CSkinImage& s, CSkinImage*) { return s.Flip(); }, false,
         [](int i, int j, int& sx, int& sy) { sx = i; sy = kH - 1 - j; }},
        {"Mirror", [](CSkinImage& s, CSkinImage*) { return s.Mirror(); }, false,
         [](int i, int j, int& sx, int& sy) { sx = kW - 1 - i; sy = j; }},
        {"Rotate180", [](CSkinImage& s, CSkinImage* d) { return s.Rotate180(d); }, false,
         [](int i, int j, int& sx, int& sy) { sx = kW - 1 - i; sy = kH - 1 - j; }},
        // 90 turns clockwise as shown: the top-left pixel ends top-right.
        {"Rotate 90", [](CSkinImage& s, CSkinImage* d) { return s.Rotate(90, d); }, true,
         [](int i, int j, int& sx, int& sy) { sx = kW - 1 - j; sy = i; }},
        {"Rotate -270", [](CSkinImage& s, CSkinImage* d) { return s.Rotate(-270, d); }, true,
         [](int i, int j, int& sx, int& sy) { sx = kW - 1 - j; sy = i; }},
        {"Rotate 270", [](CSkinImage& s, CSkinImage* d) { return s.Rotate(270, d); }, true,
         [](int i, int j, int& sx, int& sy) { sx = j; sy = kH - 1 - i; }},
        {"Rotate 360", [](CSkinImage& s, CSkinImage* d) { return s.Rotate(360, d); }, false,
         [](int i, int j, int& sx, int& sy) { sx = i; sy = j; }},
    };
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        for (const Mapping& m : mappings) {
            for (bool toOther : {false, true}) {
                SCOPED_TRACE(testing::Message() << m.name << " bpp " << bpp << (toOther ? " into another" : ""));
                if (toOther && (std::string(m.name) == "Flip" || std::string(m.name) == "Mirror"))
                    continue;
                const CSkinImage original = MakePattern(bpp);
                CSkinImage work(original);
                CSkinImage other;
                ASSERT_TRUE(m.apply(work, toOther ? &other : nullptr));
                const CSkinImage& out = toOther ? other : work;
                if (toOther) {  // the source is left as it was
                    EXPECT_EQ(work.GetPixelColor(1, 0).red, original.GetPixelColor(1, 0).red);
                }
                ASSERT_EQ(out.GetWidth(), m.swapsSides ? kH : kW);
                ASSERT_EQ(out.GetHeight(), m.swapsSides ? kW : kH);
                EXPECT_EQ(out.GetBpp(), bpp);
                EXPECT_EQ(out.GetType(), 1u);
                for (int j = 0; j < out.GetHeight(); ++j)
                    for (int i = 0; i < out.GetWidth(); ++i) {
                        int sx, sy;
                        m.source(i, j, sx, sy);
                        const SkinRgbQuad want = original.GetPixelColor(sx, sy);
                        const SkinRgbQuad got = out.GetPixelColor(i, j);
                        EXPECT_TRUE(got.SameRgb(want)) << i << "," << j;
                        EXPECT_EQ(got.reserved, want.reserved) << "alpha at " << i << "," << j;
                    }
            }
        }
    }
}

TEST(SkinImageTransform, CropCountsFromTheTopAndOrdersItsPairs)
{
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        SCOPED_TRACE(bpp);
        CSkinImage img = MakePattern(bpp);
        img.SetTransIndex(1);
        img.SetTransColor(SkinRgbQuad::Make(255, 0, 255));
        struct Case {
            int l, t, r, b;
        } cases[] = {{1, 0, 4, 2}, {4, 2, 1, 0}, {4, 0, 1, 2}};
        for (const Case& c : cases) {
            CSkinImage out;
            ASSERT_TRUE(img.Crop(c.l, c.t, c.r, c.b, &out));
            ASSERT_EQ(out.GetWidth(), 3);
            ASSERT_EQ(out.GetHeight(), 2);
            EXPECT_EQ(out.GetTransIndex(), 1);
            EXPECT_EQ(out.GetTransColor().ToColorRef(), img.GetTransColor().ToColorRef());
            EXPECT_EQ(out.GetPaletteSize(), img.GetPaletteSize());
            // Top rows 0..1 are the image's rows kH-1 .. kH-2 from the bottom.
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 3; ++i) {
                    const SkinRgbQuad want = img.GetPixelColor(1 + i, kH - 2 + j);
                    const SkinRgbQuad got = out.GetPixelColor(i, j);
                    EXPECT_TRUE(got.SameRgb(want)) << i << "," << j;
                    EXPECT_EQ(got.reserved, want.reserved);
                }
        }
    }
}

TEST(SkinImageTransform, CropClampsAndRefusesEmptyRectangles)
{
    CSkinImage img = MakePattern(8);
    CSkinImage out;
    EXPECT_FALSE(img.Crop(2, 0, 2, 3, &out));
    EXPECT_FALSE(img.Crop(0, 1, 5, 1, &out));
    EXPECT_FALSE(img.Crop(7, 0, 9, 3, &out));  // both clamp to the right edge
    EXPECT_FALSE(out.IsValid());
    ASSERT_TRUE(img.Crop(-10, -10, 100, 100, &out));
    EXPECT_EQ(out.GetWidth(), kW);
    EXPECT_EQ(out.GetHeight(), kH);
    ASSERT_TRUE(img.Crop(0, 0, 1, 1));  // in place
    EXPECT_EQ(img.GetWidth(), 1);
    EXPECT_EQ(img.GetPixelIndex(0, 0), ValueAt(0, kH - 1));
    CSkinImage empty;
    EXPECT_FALSE(empty.Crop(0, 0, 1, 1));
    EXPECT_FALSE(empty.Rotate(90));
    EXPECT_FALSE(empty.Rotate180());
    EXPECT_FALSE(empty.Flip());
    EXPECT_FALSE(empty.Mirror());
}

TEST(SkinImageTransform, FreeAngleUsesTheBoundingBox)
{
    CSkinImage img(5, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            img.SetPixelColor(x, y, SkinRgbQuad::Make(9, 99, 199));
    img.SetTransIndex(0);
    img.SetTransColor(SkinRgbQuad::Make(255, 0, 255));
    ASSERT_TRUE(img.AlphaCreate());
    CSkinImage out;
    ASSERT_TRUE(img.Rotate(45, &out));
    // Rotated corners span 0..4 across and -3..1 up; two pixels of margin.
    EXPECT_EQ(out.GetWidth(), 6);
    EXPECT_EQ(out.GetHeight(), 6);
    EXPECT_TRUE(out.AlphaIsValid());
    EXPECT_TRUE(out.GetPixelColor(2, 2).SameRgb(SkinRgbQuad::Make(9, 99, 199)));
    // Corners fall outside the source and take its transparent colour.
    EXPECT_TRUE(out.GetPixelColor(0, 5).SameRgb(SkinRgbQuad::Make(255, 0, 255)));
    EXPECT_EQ(out.AlphaGet(0, 5), 0);
}

}  // namespace

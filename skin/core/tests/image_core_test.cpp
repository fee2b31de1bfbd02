// CSkinImage buffers, palette, pixels, alpha plane and the memory stream.
#include <gtest/gtest.h>

#include <cstring>

#include "skin/core/skin_image.h"

namespace {

TEST(SkinImageCreate, RoundsDepthAndLaysOutTheBlock)
{
    struct Case {
        uint32_t askedBpp, bpp, colors;
    } cases[] = {
        {0, 1, 2}, {1, 1, 2}, {2, 4, 16}, {3, 4, 16}, {4, 4, 16}, {5, 8, 256},
        {8, 8, 256}, {9, 24, 0}, {16, 24, 0}, {24, 24, 0}, {32, 24, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.askedBpp);
        CSkinImage img;
        ASSERT_NE(img.Create(5, 3, c.askedBpp, 1), nullptr);
        EXPECT_EQ(img.GetBpp(), c.bpp);
        EXPECT_EQ(img.GetNumColors(), c.colors);
        const uint32_t eff = (5 * c.bpp + 31) / 32 * 4;
        EXPECT_EQ(img.GetEffWidth(), eff);
        EXPECT_EQ(img.GetSize(), 40 + c.colors * 4 + eff * 3);
        // The block starts with the header GDI reads.
        const SkinBitmapInfoHeader* h = static_cast<const SkinBitmapInfoHeader*>(img.GetDIB());
        EXPECT_EQ(h->biSize, 40u);
        EXPECT_EQ(h->biWidth, 5);
        EXPECT_EQ(h->biHeight, 3);
        EXPECT_EQ(h->biPlanes, 1);
        EXPECT_EQ(h->biBitCount, c.bpp);
        EXPECT_EQ(h->biSizeImage, eff * 3);
        EXPECT_EQ(h->biXPelsPerMeter, 3780);
        EXPECT_EQ(img.GetBits(0), static_cast<uint8_t*>(img.GetDIB()) + 40 + c.colors * 4);
        EXPECT_EQ(img.GetType(), 1u);
    }
}

TEST(SkinImageCreate, RefusesEmptyAndHugeSizes)
{
    struct Case {
        int32_t w, h;
        uint32_t bpp;
    } cases[] = {
        {0, 5, 8}, {5, 0, 8}, {-1, 5, 8}, {5, -3, 24},
        {CSkinImage::kMaxSide + 1, 1, 1}, {20000, 20000, 24}, {0x7FFFFFFF, 0x7FFFFFFF, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        CSkinImage img;
        EXPECT_EQ(img.Create(c.w, c.h, c.bpp), nullptr);
        EXPECT_STREQ(img.GetLastError(), "CSkinImage::Create can't allocate memory");
        EXPECT_FALSE(img.IsValid());
    }
}

TEST(SkinImageBuffers, GetBitsRowsAndInside)
{
    CSkinImage img(4, 3, 8);
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetBits(1), img.GetBits(0) + 4);
    EXPECT_EQ(img.GetBits(2), img.GetBits(0) + 8);
    EXPECT_EQ(img.GetBits(3), nullptr);
    EXPECT_TRUE(img.IsInside(3, 2));
    EXPECT_FALSE(img.IsInside(4, 0));
    EXPECT_FALSE(img.IsInside(0, -1));
    CSkinImage empty;
    EXPECT_EQ(empty.GetBits(0), nullptr);
    EXPECT_EQ(empty.GetSize(), 0u);
}

TEST(SkinImageBuffers, TransferGhostAndCopy)
{
    CSkinImage src(3, 2, 24);
    src.SetPixelColor(1, 1, SkinRgbQuad::Make(10, 20, 30));
    ASSERT_TRUE(src.AlphaCreate());
    src.AlphaSet(2, 0, 77);
    src.SetTransIndex(0);

    CSkinImage copy(src);
    EXPECT_NE(copy.GetDIB(), src.GetDIB());
    EXPECT_TRUE(copy.GetPixelColor(1, 1).SameRgb(SkinRgbQuad::Make(10, 20, 30)));
    EXPECT_EQ(copy.AlphaGet(2, 0), 77);
    EXPECT_EQ(copy.GetTransIndex(), 0);

    CSkinImage paletteOnly(src, false, false);
    EXPECT_EQ(paletteOnly.GetWidth(), 3);
    EXPECT_FALSE(paletteOnly.AlphaIsValid());
    EXPECT_TRUE(paletteOnly.GetPixelColor(1, 1).SameRgb(SkinRgbQuad()));

    {
        CSkinImage ghost;
        ghost.Ghost(&src);
        EXPECT_EQ(ghost.GetDIB(), src.GetDIB());
    }  // the ghost frees nothing
    EXPECT_TRUE(src.GetPixelColor(1, 1).SameRgb(SkinRgbQuad::Make(10, 20, 30)));

    void* block = src.GetDIB();
    CSkinImage taker;
    EXPECT_TRUE(taker.Transfer(src));
    EXPECT_EQ(taker.GetDIB(), block);
    EXPECT_EQ(taker.AlphaGet(2, 0), 77);
    EXPECT_FALSE(src.IsValid());
    EXPECT_FALSE(src.AlphaIsValid());
}

TEST(SkinImagePalette, EntriesAndGreyRamp)
{
    CSkinImage img(2, 2, 4);
    img.SetPaletteColor(3, 1, 2, 3, 4);
    SkinRgbQuad c = img.GetPaletteColor(3);
    EXPECT_EQ(c.red, 1);
    EXPECT_EQ(c.green, 2);
    EXPECT_EQ(c.blue, 3);
    EXPECT_EQ(c.reserved, 4);
    EXPECT_EQ(img.GetPaletteColor(16).red, 0);  // out of range
    img.SetPaletteColor(200, 9, 9, 9);           // ignored quietly
    EXPECT_EQ(img.GetPaletteSize(), 64u);

    img.SetGrayPalette();
    EXPECT_EQ(img.GetPaletteColor(0).red, 0);
    EXPECT_EQ(img.GetPaletteColor(1).green, 17);
    EXPECT_EQ(img.GetPaletteColor(15).blue, 255);

    CSkinImage rgb(2, 2, 24);
    EXPECT_EQ(rgb.GetPalette(), nullptr);
    EXPECT_EQ(rgb.GetPaletteSize(), 0u);
}

TEST(SkinImagePalette, NearestSearchAndItsCache)
{
    CSkinImage img(1, 1, 4);
    img.SetPaletteColor(0, 0, 0, 0);
    img.SetPaletteColor(1, 250, 0, 0);
    img.SetPaletteColor(2, 250, 0, 0);  // same colour: the first one wins
    img.SetPaletteColor(5, 0, 0, 200);
    EXPECT_EQ(img.GetNearestIndex(SkinRgbQuad::Make(240, 10, 0)), 1);
    EXPECT_EQ(img.GetNearestIndex(SkinRgbQuad::Make(0, 0, 200)), 5);
    EXPECT_EQ(img.GetNearestIndex(SkinRgbQuad::Make(10, 10, 10)), 0);

    // The cached answer follows a palette change.
    EXPECT_EQ(img.GetNearestIndex(SkinRgbQuad::Make(0, 0, 190)), 5);
    img.SetPaletteColor(7, 0, 0, 190);
    EXPECT_EQ(img.GetNearestIndex(SkinRgbQuad::Make(0, 0, 190)), 7);
    SkinRgbQuad pal[2] = {SkinRgbQuad::Make(0, 0, 190), SkinRgbQuad::Make(1, 1, 1)};
    img.SetPalette(pal, 2);
    EXPECT_EQ(img.GetNearestIndex(SkinRgbQuad::Make(0, 0, 190)), 0);

    // SetPixelColor on a palette image stores the nearest index.
    img.SetPixelColor(0, 0, SkinRgbQuad::Make(2, 2, 2));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
}

TEST(SkinImagePixels, IndexPackingPerDepth)
{
    // 1 bpp: bit 7 - (x mod 8); 4 bpp: high nibble for even x.
    CSkinImage one(10, 2, 1);
    one.SetPixelIndex(0, 1, 1);
    one.SetPixelIndex(9, 1, 1);
    EXPECT_EQ(one.GetBits(1)[0], 0x80);
    EXPECT_EQ(one.GetBits(1)[1], 0x40);
    EXPECT_EQ(one.GetPixelIndex(9, 1), 1);
    EXPECT_EQ(one.GetPixelIndex(8, 1), 0);
    one.SetPixelIndex(0, 1, 0);
    EXPECT_EQ(one.GetBits(1)[0], 0x00);

    CSkinImage four(3, 1, 4);
    four.SetPixelIndex(0, 0, 0xA);
    four.SetPixelIndex(1, 0, 0x5);
    four.SetPixelIndex(2, 0, 0xF);
    EXPECT_EQ(four.GetBits(0)[0], 0xA5);
    EXPECT_EQ(four.GetBits(0)[1], 0xF0);
    EXPECT_EQ(four.GetPixelIndex(1, 0), 5);

    CSkinImage eight(2, 2, 8);
    eight.SetPixelIndex(1, 1, 200);
    EXPECT_EQ(eight.GetBits(1)[1], 200);
}

TEST(SkinImagePixels, OutsideValues)
{
    CSkinImage img(2, 2, 8);
    img.SetPaletteColor(4, 40, 41, 42);
    img.SetPaletteColor(9, 90, 91, 92);
    img.SetPixelIndex(0, 0, 4);
    // No transparent index: the first pixel byte and the colour of (0, 0).
    EXPECT_EQ(img.GetPixelIndex(-1, 0), 4);
    EXPECT_EQ(img.GetPixelColor(5, 5).red, 40);
    img.SetTransIndex(9);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 9);
    EXPECT_EQ(img.GetPixelColor(0, 7).red, 90);
    EXPECT_EQ(img.GetTransColor().blue, 92);

    CSkinImage rgb(2, 2, 24);
    rgb.SetPixelColor(0, 0, SkinRgbQuad::Make(1, 2, 3));
    EXPECT_EQ(rgb.GetPixelColor(9, 9).green, 2);
    rgb.SetTransIndex(0);
    rgb.SetTransColor(SkinRgbQuad::Make(255, 0, 255));
    EXPECT_TRUE(rgb.GetPixelColor(9, 9).SameRgb(SkinRgbQuad::Make(255, 0, 255)));
    EXPECT_TRUE(rgb.GetTransColor().SameRgb(SkinRgbQuad::Make(255, 0, 255)));
}

TEST(SkinImageAlpha, PlaneFollowsPixels)
{
    CSkinImage img(3, 2, 24);
    EXPECT_EQ(img.AlphaGet(0, 0), 0);  // no plane
    ASSERT_TRUE(img.AlphaCreate());
    EXPECT_EQ(img.AlphaGet(1, 1), 0);  // starts transparent
    img.SetPixelColor(2, 1, SkinRgbQuad::Make(1, 2, 3, 99), true);
    EXPECT_EQ(img.AlphaGet(2, 1), 99);
    EXPECT_EQ(img.GetPixelColor(2, 1).reserved, 99);
    img.SetPixelColor(0, 0, SkinRgbQuad::Make(1, 2, 3, 55), false);
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    img.AlphaSet(5, 5, 1);  // outside: ignored
    EXPECT_EQ(img.AlphaGet(5, 5), 0);

    img.AlphaSet(0, 0, 10);
    img.AlphaFlip();
    EXPECT_EQ(img.AlphaGet(0, 1), 10);
    EXPECT_EQ(img.AlphaGet(2, 0), 99);
    img.AlphaMirror();
    EXPECT_EQ(img.AlphaGet(2, 1), 10);
    EXPECT_EQ(img.AlphaGet(0, 0), 99);
    img.AlphaClear();
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    img.AlphaDelete();
    EXPECT_FALSE(img.AlphaIsValid());

    // Create drops an old plane.
    ASSERT_TRUE(img.AlphaCreate());
    img.Create(2, 2, 8);
    EXPECT_FALSE(img.AlphaIsValid());
}

TEST(SkinImageResolution, DpiAndPelsPerMetre)
{
    CSkinImage img(1, 1, 8);
    EXPECT_EQ(img.GetXDPI(), 96);
    img.SetXDPI(72);
    img.SetYDPI(300);
    EXPECT_EQ(img.GetHeader().biXPelsPerMeter, 2835);
    EXPECT_EQ(img.GetHeader().biYPelsPerMeter, 11811);
    EXPECT_EQ(static_cast<const SkinBitmapInfoHeader*>(img.GetDIB())->biYPelsPerMeter, 11811);
}

TEST(SkinImageRows, IteratorRefusesRowsOutside)
{
    CSkinImage img(4, 3, 8);
    ImageRowIterator it(&img);
    EXPECT_FALSE(it.SetY(-1));
    EXPECT_FALSE(it.SetY(3));
    ASSERT_TRUE(it.SetY(2));
    EXPECT_EQ(it.GetRow(), img.GetBits(2));
    EXPECT_FALSE(it.NextRow());
}

TEST(ImageMemoryStreamTest, GrowsInPagesAndReadsBack)
{
    ImageMemoryStream s;
    EXPECT_EQ(s.Tell(), -1);
    EXPECT_EQ(s.Size(), -1);
    EXPECT_TRUE(s.Eof());
    ASSERT_TRUE(s.Open());
    EXPECT_FALSE(s.Open());  // a buffer is attached already
    std::vector<uint8_t> data(4097, 0x5A);
    EXPECT_EQ(s.Write(data.data(), 1, data.size()), data.size());
    EXPECT_EQ(s.GetCapacity(), 8192u);
    EXPECT_EQ(s.Size(), 4097);
    EXPECT_TRUE(s.Eof());

    ASSERT_TRUE(s.Seek(-2, 2));
    uint8_t two[4] = {};
    EXPECT_EQ(s.Read(two, 2, 2), 1u);  // one whole 2-byte item remains
    EXPECT_EQ(s.GetC(), -1);
    EXPECT_FALSE(s.Seek(-1, 0));
    EXPECT_TRUE(s.Seek(10, 2));  // past the end is allowed
    EXPECT_TRUE(s.Error());
    EXPECT_EQ(s.Read(two, 1, 1), 0u);
    EXPECT_TRUE(s.PutC(7));  // the gap reads back as zeros
    EXPECT_EQ(s.Size(), 4108);
    ASSERT_TRUE(s.Seek(4100, 0));
    EXPECT_EQ(s.GetC(), 0);
}

TEST(ImageMemoryStreamTest, BorrowedBufferIsNotFreed)
{
    uint8_t bytes[3] = {1, 2, 3};
    {
        ImageMemoryStream s(bytes, sizeof bytes);
        EXPECT_FALSE(s.OwnsBuffer());
        EXPECT_EQ(s.GetC(), 1);
        EXPECT_TRUE(s.Seek(1, 1));
        EXPECT_EQ(s.GetC(), 3);
        EXPECT_TRUE(s.Eof());
        // Writing copies the bytes into a buffer of the stream's own.
        ASSERT_TRUE(s.Seek(0, 0));
        EXPECT_TRUE(s.PutC(9));
        EXPECT_TRUE(s.OwnsBuffer());
        EXPECT_NE(s.GetBuffer(), bytes);
        EXPECT_EQ(s.GetBuffer()[0], 9);
        EXPECT_EQ(s.GetBuffer()[2], 3);
    }
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[2], 3);
}

}  // namespace

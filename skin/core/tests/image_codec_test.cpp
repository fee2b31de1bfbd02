// BMP and TGA reading and writing of CSkinImage. Fixtures are built here
// byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/core/skin_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct BmpSpec {
    int32_t width = 1;
    int32_t height = 1;  // negative: top-down
    uint16_t bpp = 8;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t headerSize = 40;
    bool fileHeader = true;
    std::vector<SkinRgbQuad> palette;  // written as it stands
    Bytes extra;                       // after the palette, before the bits
    Bytes bits;                        // pixel data as stored
};

Bytes MakeBmp(const BmpSpec& s)
{
    Bytes info;
    if (s.headerSize == 12) {
        Put32(info, 12);
        Put16(info, uint32_t(s.width));
        Put16(info, uint32_t(s.height));
        Put16(info, 1);
        Put16(info, s.bpp);
    } else {
        Put32(info, s.headerSize);
        Put32(info, uint32_t(s.width));
        Put32(info, uint32_t(s.height));
        Put16(info, 1);
        Put16(info, s.bpp);
        Put32(info, s.compression);
        Put32(info, uint32_t(s.bits.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, s.clrUsed);
        Put32(info, 0);
        info.resize(s.headerSize, 0);
    }
    for (const SkinRgbQuad& q : s.palette) {
        info.push_back(q.blue);
        info.push_back(q.green);
        info.push_back(q.red);
        if (s.headerSize != 12)
            info.push_back(0);
    }
    info.insert(info.end(), s.extra.begin(), s.extra.end());
    Bytes out;
    if (s.fileHeader) {
        out.push_back('B');
        out.push_back('M');
        Put32(out, uint32_t(14 + info.size() + s.bits.size()));
        Put32(out, 0);
        Put32(out, uint32_t(14 + info.size()));
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), s.bits.begin(), s.bits.end());
    return out;
}

std::vector<SkinRgbQuad> Ramp(uint32_t n)
{
    std::vector<SkinRgbQuad> p;
    for (uint32_t i = 0; i < n; ++i)
        p.push_back(SkinRgbQuad::Make(uint8_t(i * 10), uint8_t(i * 3), uint8_t(255 - i)));
    return p;
}

bool Decode(CSkinImage& img, const Bytes& b, uint32_t format)
{
    return img.Decode(b.data(), uint32_t(b.size()), format);
}

// A refused decode reports why and leaves the image it was to replace as
// it was (2 x 2, index 42 at (1, 1)).
void ExpectRefusedKeepingTheImage(const Bytes& data, uint32_t format, const char* error)
{
    CSkinImage img(2, 2, 8);
    img.SetPixelIndex(1, 1, 42);
    EXPECT_FALSE(Decode(img, data, format));
    EXPECT_STREQ(img.GetLastError(), error);
    EXPECT_EQ(img.GetWidth(), 2);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 42);
}

SkinRgbQuad Rgb(uint8_t r, uint8_t g, uint8_t b)
{
    return SkinRgbQuad::Make(r, g, b);
}

#define EXPECT_RGB(c, r, g, b) EXPECT_TRUE((c).SameRgb(Rgb(r, g, b))) \
    << "got " << int((c).red) << "," << int((c).green) << "," << int((c).blue)

// ---------------------------------------------------------------------------
// BMP

TEST(BmpDecode, RawRowsAtEveryPaletteDepth)
{
    // 3 x 2 image; file rows bottom first, each padded to 4 bytes.
    struct Case {
        uint16_t bpp;
        Bytes bits;
        uint8_t bottom[3], top[3];
    } cases[] = {
        {1, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}, {1, 0, 1}, {0, 1, 0}},
        {4, {0x12, 0x30, 0, 0, 0xFE, 0xD0, 0, 0}, {1, 2, 3}, {15, 14, 13}},
        {8, {7, 8, 9, 0, 200, 201, 255, 0}, {7, 8, 9}, {200, 201, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        BmpSpec s;
        s.width = 3;
        s.height = 2;
        s.bpp = c.bpp;
        s.palette = Ramp(1u << c.bpp);
        s.bits = c.bits;
        CSkinImage img;
        ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), c.bpp);
        EXPECT_EQ(img.GetType(), 1u);
        EXPECT_EQ(img.GetXDPI(), 72);
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(img.GetPixelIndex(x, 0), c.bottom[x]);
            EXPECT_EQ(img.GetPixelIndex(x, 1), c.top[x]);
        }
        const SkinRgbQuad top2 = img.GetPixelColor(2, 1);
        EXPECT_RGB(top2, uint8_t(c.top[2] * 10), uint8_t(c.top[2] * 3), uint8_t(255 - c.top[2]));
    }
}

TEST(BmpDecode, TrueColourDepths)
{
    // One row of two pixels: red, then (10, 20, 30).
    struct Case {
        const char* name;
        uint16_t bpp;
        uint32_t compression;
        Bytes extra, bits;
        SkinRgbQuad first, second;
    } cases[] = {
        {"24", 24, 0, {}, {0, 0, 255, 30, 20, 10, 0, 0}, Rgb(255, 0, 0), Rgb(10, 20, 30)},
        {"32", 32, 0, {}, {0, 0, 255, 0x80, 30, 20, 10, 0}, Rgb(255, 0, 0), Rgb(10, 20, 30)},
        // 5-5-5: 0x7C00 is full red, 0x0421 is 1 in each channel.
        {"16/555", 16, 0, {}, {0x00, 0x7C, 0x21, 0x04}, Rgb(248, 0, 0), Rgb(8, 8, 8)},
        // 5-6-5 by bit fields: 0xF800 red, 0x07E0 green.
        {"16/565", 16, 3, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0},
         {0x00, 0xF8, 0xE0, 0x07}, Rgb(248, 0, 0), Rgb(0, 252, 0)},
        // 32 bits with the channels swapped by bit fields (R in the low byte).
        {"32/fields", 32, 3, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0},
         {255, 0, 0, 0, 10, 20, 30, 0}, Rgb(255, 0, 0), Rgb(10, 20, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpSpec s;
        s.width = 2;
        s.bpp = c.bpp;
        s.compression = c.compression;
        s.extra = c.extra;
        s.bits = c.bits;
        CSkinImage img;
        ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), 24u);
        EXPECT_RGB(img.GetPixelColor(0, 0), c.first.red, c.first.green, c.first.blue);
        EXPECT_RGB(img.GetPixelColor(1, 0), c.second.red, c.second.green, c.second.blue);
    }
}

TEST(BmpDecode, TopDownRowsComeOutBottomUp)
{
    BmpSpec s;
    s.width = 1;
    s.height = -3;
    s.palette = Ramp(256);
    s.bits = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};  // first stored row is the top
    CSkinImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
    EXPECT_EQ(img.GetHeight(), 3);
    EXPECT_EQ(img.GetBits(0)[0], 3);
    EXPECT_EQ(img.GetBits(1)[0], 2);
    EXPECT_EQ(img.GetBits(2)[0], 1);
}

TEST(BmpDecode, HeaderlessDibAndCoreHeader)
{
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bpp = 8;
    s.palette = Ramp(256);
    s.bits = {5, 6, 0, 0};
    s.fileHeader = false;
    CSkinImage dib;
    ASSERT_TRUE(Decode(dib, MakeBmp(s), 1)) << dib.GetLastError();
    EXPECT_EQ(dib.GetPixelIndex(1, 0), 6);
    EXPECT_RGB(dib.GetPixelColor(0, 0), 50, 15, 250);

    // OS/2 core header: 16-bit fields and 3-byte palette entries.
    s.fileHeader = true;
    s.headerSize = 12;
    s.bpp = 4;
    s.palette = Ramp(16);
    s.bits = {0x9A, 0, 0, 0};
    CSkinImage core;
    ASSERT_TRUE(Decode(core, MakeBmp(s), 1)) << core.GetLastError();
    EXPECT_EQ(core.GetPixelIndex(0, 0), 9);
    EXPECT_RGB(core.GetPixelColor(1, 0), 100, 30, 245);
}

TEST(BmpDecode, LongerHeadersAndShortPalettes)
{
    // 64-byte header; 124-byte (newer) header describing a plain bitmap;
    // a palette of 3 used colours in an 8-bit image.
    for (uint32_t size : {64u, 124u}) {
        SCOPED_TRACE(size);
        BmpSpec s;
        s.headerSize = size;
        s.width = 1;
        s.bpp = 24;
        s.bits = {1, 2, 3, 0};
        CSkinImage img;
        ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
        EXPECT_RGB(img.GetPixelColor(0, 0), 3, 2, 1);
    }
    BmpSpec s;
    s.clrUsed = 3;
    s.palette = Ramp(3);
    s.bits = {2, 0, 0, 0};
    CSkinImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
    EXPECT_EQ(img.GetNumColors(), 256u);
    EXPECT_RGB(img.GetPixelColor(0, 0), 20, 6, 253);
}

TEST(BmpDecode, Rle8)
{
    BmpSpec s;
    s.width = 6;
    s.height = 3;
    s.compression = 1;
    s.palette = Ramp(256);
    s.bits = {
        3, 7,            // run of three 7s
        0, 3, 1, 2, 3, 0,  // literal of 3 (odd: one pad byte)
        0, 0,            // end of line
        0, 2, 2, 1,      // delta: 2 columns right, 1 row up
        2, 9,            // two 9s at columns 2-3 of row 2
        0, 1,            // end of bitmap
        5, 5,            // never read
    };
    CSkinImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
    const uint8_t expected[3][6] = {
        {7, 7, 7, 1, 2, 3},
        {0, 0, 0, 0, 0, 0},
        {0, 0, 9, 9, 0, 0},
    };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(img.GetPixelIndex(x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpDecode, Rle4)
{
    BmpSpec s;
    s.width = 7;
    s.height = 2;
    s.bpp = 4;
    s.compression = 2;
    s.palette = Ramp(16);
    s.bits = {
        5, 0x12,              // 1 2 1 2 1
        0, 0,                 // end of line
        0, 3, 0xAB, 0xC0,     // literal of 3 nibbles in 2 bytes: no pad
        0, 2, 1, 0,           // delta: one column right
        2, 0xEF,              // E F at columns 4-5
        0, 1,
    };
    CSkinImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
    const uint8_t expected[2][7] = {
        {1, 2, 1, 2, 1, 0, 0},
        {10, 11, 12, 0, 14, 15, 0},
    };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(img.GetPixelIndex(x, y), expected[y][x]) << x << "," << y;

    // A literal of 5 nibbles takes 3 bytes and one pad byte.
    s.width = 6;
    s.height = 1;
    s.bits = {0, 5, 0x12, 0x34, 0x50, 0x00, 1, 0xFF, 0, 1};
    ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
    const uint8_t row[6] = {1, 2, 3, 4, 5, 15};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 0), row[x]) << x;
}

TEST(BmpDecode, HostileRleStaysInsideItsRows)
{
    struct Case {
        const char* name;
        Bytes bits;
    } cases[] = {
        {"run past row end", {255, 1, 255, 1, 0, 1}},
        {"literal past row end", {0, 200, 0}},  // and past the data
        {"delta past the image", {0, 2, 255, 255, 4, 4, 0, 2, 1, 1, 4, 4}},
        {"delta cut short", {0, 2, 1}},
        {"no end of bitmap", {2, 3, 0, 0, 2, 3, 0, 0, 2, 3, 0, 0, 2, 3}},
        {"end of line beyond the last row", {0, 0, 0, 0, 0, 0, 0, 0, 3, 3}},
        {"lone count byte", {4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (uint32_t compression : {1u, 2u}) {
            BmpSpec s;
            s.width = 3;
            s.height = 2;
            s.bpp = compression == 1 ? 8 : 4;
            s.compression = compression;
            s.palette = Ramp(1u << s.bpp);
            s.bits = c.bits;
            CSkinImage img;
            ASSERT_TRUE(Decode(img, MakeBmp(s), 1)) << img.GetLastError();
            EXPECT_EQ(img.GetWidth(), 3);
        }
    }
    // The run past the row end fills only its own row.
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.compression = 1;
    s.palette = Ramp(256);
    s.bits = {255, 4, 0, 1};
    CSkinImage img;
    ASSERT_TRUE(Decode(img, MakeBmp(s), 1));
    EXPECT_EQ(img.GetPixelIndex(2, 0), 4);
    EXPECT_EQ(img.GetPixelIndex(0, 1), 0);
    EXPECT_EQ(img.GetBits(0)[3], 0);  // row padding untouched
}

// The resolution read is turned into dots per inch and back into pels per
// metre: near the int limit the way back rounds past it and is held there.
TEST(BmpDecode, ResolutionNearTheIntLimitStaysInRange)
{
    struct Case {
        uint32_t pelsPerMetre;
        int32_t dpi;
        int32_t kept;
    };
    const Case cases[] = {
        {2835, 72, 2835},
        {0x7FFFFF45, 54546080, 2147483465},
        {0x7FFFFFFF, 54546085, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pelsPerMetre);
        BmpSpec spec;
        spec.bpp = 24;
        spec.bits = {1, 2, 3, 0};
        Bytes data = MakeBmp(spec);
        for (size_t at : {size_t(14 + 24), size_t(14 + 28)})
            for (int i = 0; i < 4; ++i)
                data[at + i] = uint8_t(c.pelsPerMetre >> (8 * i));
        CSkinImage img;
        ASSERT_TRUE(Decode(img, data, CSkinImage::kFormatBmp));
        EXPECT_EQ(img.GetXDPI(), c.dpi);
        EXPECT_EQ(img.GetYDPI(), c.dpi);
        EXPECT_EQ(img.GetHeader().biXPelsPerMeter, c.kept);
        EXPECT_EQ(img.GetHeader().biYPelsPerMeter, c.kept);
    }
}

TEST(BmpDecode, BadInputIsAnErrorAndKeepsTheImage)
{
    struct Case {
        const char* name;
        Bytes data;
        const char* error;
    } cases[] = {
        {"empty", {}, "Not a BMP"},
        {"short file header", {'B', 'M', 1, 2}, "Not a BMP"},
        {"short info header", [] { Bytes b = MakeBmp(BmpSpec()); b.resize(30); return b; }(),
         "Error reading BMP info"},
        {"header size 20", [] { BmpSpec s; s.headerSize = 20; s.palette = Ramp(256); s.bits = {0, 0, 0, 0};
                                Bytes b = MakeBmp(s); b[14] = 20; return b; }(),
         "Error reading BMP info"},
        {"newer header with RLE", [] { BmpSpec s; s.headerSize = 108; s.compression = 1;
                                       s.palette = Ramp(256); s.bits = {0, 1}; return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"zero width", [] { BmpSpec s; s.width = 0; s.palette = Ramp(256); return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"2 bits per pixel", [] { BmpSpec s; s.bpp = 2; s.palette = Ramp(4); s.bits = {0, 0, 0, 0};
                                  return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"huge sides", [] { BmpSpec s; s.width = 0x7FFFFFFF; s.height = -0x7FFFFFFF; s.bpp = 24;
                            s.bits = {1, 2, 3, 4}; return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"most negative height", [] { BmpSpec s; s.height = INT32_MIN; s.bpp = 24; s.bits = {1, 2, 3, 0};
                                      return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"block over the cap", [] { BmpSpec s; s.width = 30000; s.height = 30000; s.bpp = 24;
                                    s.compression = 0; s.bits.assign(16, 0); return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"RLE claims more than its data", [] { BmpSpec s; s.width = 2000; s.height = 2000; s.compression = 1;
                                               s.palette = Ramp(256); s.bits = {0, 1}; return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"RLE block over the cap", [] { BmpSpec s; s.width = 16000; s.height = 4200; s.compression = 1;
                                        s.palette = Ramp(256); s.bits.assign(600000, 0); return MakeBmp(s); }(),
         "Can't allocate memory"},
        {"pixels cut short", [] { BmpSpec s; s.width = 4; s.height = 4; s.palette = Ramp(256);
                                  s.bits.assign(10, 1); return MakeBmp(s); }(),
         "Error reading BMP info"},
        {"palette cut short", [] { BmpSpec s; s.palette = Ramp(256); Bytes b = MakeBmp(s);
                                   b.resize(14 + 40 + 100); return b; }(),
         "Error reading BMP info"},
        {"compression 5", [] { BmpSpec s; s.compression = 5; s.palette = Ramp(256); s.bits = {0, 0, 0, 0};
                               return MakeBmp(s); }(),
         "compression type not supported"},
        {"24 bits with RLE", [] { BmpSpec s; s.bpp = 24; s.compression = 1; s.bits = {0, 0, 0, 0};
                                  return MakeBmp(s); }(),
         "unknown compression"},
        {"32 bits with RLE4", [] { BmpSpec s; s.bpp = 32; s.compression = 2; s.bits = {0, 0, 0, 0};
                                   return MakeBmp(s); }(),
         "unknown compression"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefusedKeepingTheImage(c.data, 1, c.error);
    }
}

TEST(BmpEncode, FileLayoutAndRoundTripAtEveryDepth)
{
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        SCOPED_TRACE(bpp);
        CSkinImage img(5, 3, bpp);
        const uint32_t colors = img.GetNumColors();
        for (uint32_t i = 0; i < colors; ++i)
            img.SetPaletteColor(uint8_t(i), uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                if (colors)
                    img.SetPixelIndex(x, y, uint8_t((x * 3 + y * 5) % colors));
                else
                    img.SetPixelColor(x, y, Rgb(uint8_t(x * 40), uint8_t(y * 60), uint8_t(x + y)));
            }
        uint8_t* buffer = nullptr;
        int32_t size = 0;
        ASSERT_TRUE(img.Encode(buffer, size, 1)) << img.GetLastError();
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(uint32_t(size), img.GetSize() + 14);
        EXPECT_EQ(buffer[0], 'B');
        EXPECT_EQ(buffer[1], 'M');
        EXPECT_EQ(buffer[2] | (buffer[3] << 8), size);
        EXPECT_EQ(buffer[10] | (buffer[11] << 8), int(14 + 40 + colors * 4));

        CSkinImage back;
        ASSERT_TRUE(back.Decode(buffer, uint32_t(size), 1)) << back.GetLastError();
        CSkinImage::FreeMemory(buffer);
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(back.GetWidth(), 5);
        EXPECT_EQ(back.GetHeight(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_TRUE(back.GetPixelColor(x, y).SameRgb(img.GetPixelColor(x, y))) << x << "," << y;
    }
}

// ---------------------------------------------------------------------------
// TGA

struct TgaSpec {
    uint8_t idLength = 0;
    uint8_t mapType = 0;
    uint8_t type = 2;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapBits = 0;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
    Bytes map;
    Bytes pixels;
};

Bytes MakeTga(const TgaSpec& s)
{
    Bytes b = {s.idLength, s.mapType, s.type};
    Put16(b, s.mapFirst);
    Put16(b, s.mapLength);
    b.push_back(s.mapBits);
    Put32(b, 0);
    Put16(b, s.width);
    Put16(b, s.height);
    b.push_back(s.depth);
    b.push_back(s.descriptor);
    for (int i = 0; i < s.idLength; ++i)
        b.push_back('i');
    b.insert(b.end(), s.map.begin(), s.map.end());
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

TEST(TgaDecode, ImageTypesAndDepths)
{
    struct Case {
        const char* name;
        TgaSpec spec;
        uint32_t bpp;
        SkinRgbQuad bottomLeft, bottomRight;
    };
    std::vector<Case> cases;
    {
        TgaSpec s;  // colour-mapped, 24-bit map starting at entry 2
        s.mapType = 1;
        s.type = 1;
        s.mapFirst = 2;
        s.mapLength = 2;
        s.mapBits = 24;
        s.map = {3, 2, 1, 30, 20, 10};
        s.width = 2;
        s.depth = 8;
        s.idLength = 3;
        s.pixels = {2, 3};
        cases.push_back({"mapped", s, 8, Rgb(1, 2, 3), Rgb(10, 20, 30)});
        s.mapBits = 32;  // 4-byte map entries
        s.map = {3, 2, 1, 0xFF, 30, 20, 10, 0xFF};
        cases.push_back({"mapped, 32-bit map", s, 8, Rgb(1, 2, 3), Rgb(10, 20, 30)});
    }
    {
        TgaSpec s;
        s.type = 3;
        s.width = 2;
        s.depth = 8;
        s.pixels = {0, 200};
        cases.push_back({"grey", s, 8, Rgb(0, 0, 0), Rgb(200, 200, 200)});
    }
    {
        TgaSpec s;
        s.width = 2;
        s.depth = 16;
        s.pixels = {0x00, 0x7C, 0x1F, 0x00};
        cases.push_back({"16-bit", s, 24, Rgb(248, 0, 0), Rgb(0, 0, 248)});
        s.depth = 15;
        cases.push_back({"15-bit", s, 24, Rgb(248, 0, 0), Rgb(0, 0, 248)});
        s.depth = 24;
        s.pixels = {1, 2, 3, 4, 5, 6};
        cases.push_back({"24-bit", s, 24, Rgb(3, 2, 1), Rgb(6, 5, 4)});
    }
    {
        TgaSpec s;  // run-length true colour: one run of 2
        s.type = 10;
        s.width = 2;
        s.pixels = {0x81, 9, 8, 7};
        cases.push_back({"RLE 24-bit", s, 24, Rgb(7, 8, 9), Rgb(7, 8, 9)});
        s.type = 11;  // run-length grey: literal of 2
        s.depth = 8;
        s.pixels = {0x01, 17, 34};
        cases.push_back({"RLE grey", s, 8, Rgb(17, 17, 17), Rgb(34, 34, 34)});
        s.type = 9;
        s.mapType = 1;
        s.mapLength = 2;
        s.mapBits = 24;
        s.map = {0, 0, 255, 255, 0, 0};
        s.pixels = {0x00, 1, 0x00, 0};
        cases.push_back({"RLE mapped", s, 8, Rgb(0, 0, 255), Rgb(255, 0, 0)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSkinImage img;
        ASSERT_TRUE(Decode(img, MakeTga(c.spec), 2)) << img.GetLastError();
        EXPECT_EQ(img.GetType(), 2u);
        EXPECT_EQ(img.GetBpp(), c.bpp);
        EXPECT_FALSE(img.AlphaIsValid());
        EXPECT_RGB(img.GetPixelColor(0, 0), c.bottomLeft.red, c.bottomLeft.green, c.bottomLeft.blue);
        EXPECT_RGB(img.GetPixelColor(1, 0), c.bottomRight.red, c.bottomRight.green, c.bottomRight.blue);
    }
}

TEST(TgaDecode, AlphaOriginAndMirror)
{
    // 2 x 2, 32-bit, first stored row is the top (bit 5), right-to-left (bit 4).
    TgaSpec s;
    s.width = 2;
    s.height = 2;
    s.depth = 32;
    s.descriptor = 0x20 | 0x10 | 8;
    s.pixels = {
        1, 1, 1, 10, 2, 2, 2, 20,   // top row as stored
        3, 3, 3, 30, 4, 4, 4, 40,   // bottom row
    };
    CSkinImage img;
    ASSERT_TRUE(Decode(img, MakeTga(s), 2)) << img.GetLastError();
    ASSERT_TRUE(img.AlphaIsValid());
    // Top row at y = 1, and mirrored: stored pixel 0 lands at x = 1.
    EXPECT_RGB(img.GetPixelColor(1, 1), 1, 1, 1);
    EXPECT_EQ(img.AlphaGet(1, 1), 10);
    EXPECT_RGB(img.GetPixelColor(0, 1), 2, 2, 2);
    EXPECT_EQ(img.AlphaGet(0, 1), 20);
    EXPECT_RGB(img.GetPixelColor(1, 0), 3, 3, 3);
    EXPECT_EQ(img.AlphaGet(0, 0), 40);
}

TEST(TgaDecode, RunPacketSpanningTwoRows)
{
    // 3 x 2 RLE: a run of 4 covers row 0 and the first pixel of row 1, then
    // a literal of 3 runs from row 1 into... nothing more: 2 pixels remain.
    TgaSpec s;
    s.type = 10;
    s.width = 3;
    s.height = 2;
    s.pixels = {0x83, 50, 60, 70, 0x01, 1, 1, 1, 2, 2, 2};
    CSkinImage img;
    ASSERT_TRUE(Decode(img, MakeTga(s), 2)) << img.GetLastError();
    EXPECT_RGB(img.GetPixelColor(2, 0), 70, 60, 50);
    EXPECT_RGB(img.GetPixelColor(0, 1), 70, 60, 50);
    EXPECT_RGB(img.GetPixelColor(1, 1), 1, 1, 1);
    EXPECT_RGB(img.GetPixelColor(2, 1), 2, 2, 2);

    // A literal packet spanning rows goes on reading in the next row.
    s.pixels = {0x03, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 0x81, 9, 9, 9};
    ASSERT_TRUE(Decode(img, MakeTga(s), 2)) << img.GetLastError();
    EXPECT_RGB(img.GetPixelColor(2, 0), 3, 3, 3);
    EXPECT_RGB(img.GetPixelColor(0, 1), 4, 4, 4);
    EXPECT_RGB(img.GetPixelColor(2, 1), 9, 9, 9);
}

TEST(TgaDecode, BadInputIsAnErrorAndKeepsTheImage)
{
    auto tga = [](auto edit) {
        TgaSpec s;
        s.width = 2;
        s.height = 2;
        s.pixels.assign(12, 7);
        edit(s);
        return MakeTga(s);
    };
    struct Case {
        const char* name;
        Bytes data;
        const char* error;
    } cases[] = {
        {"short header", {0, 0, 2, 0, 0}, "Not a TGA"},
        {"type 4", tga([](TgaSpec& s) { s.type = 4; }), "Unknown TGA image type"},
        {"type 0", tga([](TgaSpec& s) { s.type = 0; }), "Unknown TGA image type"},
        {"zero width", tga([](TgaSpec& s) { s.width = 0; }), "bad TGA header"},
        {"depth 12", tga([](TgaSpec& s) { s.depth = 12; }), "bad TGA header"},
        {"map of 257", tga([](TgaSpec& s) { s.mapType = 1; s.mapLength = 257; s.mapBits = 24; }),
         "bad TGA header"},
        {"map entries of 7 bits", tga([](TgaSpec& s) { s.mapType = 1; s.mapLength = 2; s.mapBits = 7; }),
         "bad TGA header"},
        {"raw pixels cut short", tga([](TgaSpec& s) { s.pixels.resize(11); }), "corrupted TGA"},
        {"RLE cannot cover the image", tga([](TgaSpec& s) { s.type = 10; s.width = 60000; s.height = 60000;
                                                           s.pixels = {0xFF, 1, 2, 3}; }),
         "corrupted TGA"},
        {"RLE runs dry before the last row", tga([](TgaSpec& s) { s.type = 10; s.height = 3; s.width = 2;
                                                                  s.pixels = {0x81, 1, 2, 3, 0x81}; }),
         "corrupted TGA"},
        {"over the size cap", tga([](TgaSpec& s) { s.type = 10; s.width = 65535; s.height = 1;
                                                  s.pixels.assign(4000, 0xFF); }),
         "TGA Create failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefusedKeepingTheImage(c.data, 2, c.error);
    }
}

TEST(TgaEncode, RoundTripsAndHeader)
{
    CSkinImage pal(3, 2, 8);
    pal.SetPaletteColor(1, 10, 20, 30);
    pal.SetPaletteColor(255, 1, 2, 3);
    pal.SetPixelIndex(2, 1, 255);
    pal.SetPixelIndex(0, 0, 1);

    CSkinImage rgba(2, 2, 24);
    rgba.SetPixelColor(1, 0, Rgb(5, 6, 7));
    ASSERT_TRUE(rgba.AlphaCreate());
    rgba.AlphaSet(1, 0, 200);
    rgba.AlphaSetMax(128);

    struct Case {
        const char* name;
        CSkinImage* img;
        uint8_t mapType, type, depth;
        size_t size;
    } cases[] = {
        {"8-bit", &pal, 1, 1, 8, 18 + 256 * 3 + 6},
        {"24-bit with alpha", &rgba, 0, 2, 32, 18 + 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImageMemoryStream out;
        ASSERT_TRUE(out.Open());
        ASSERT_TRUE(c.img->Encode(&out, 2)) << c.img->GetLastError();
        const uint8_t* b = out.GetBuffer();
        EXPECT_EQ(size_t(out.Size()), c.size);
        EXPECT_EQ(b[1], c.mapType);
        EXPECT_EQ(b[2], c.type);
        EXPECT_EQ(b[16], c.depth);
        EXPECT_EQ(b[17] & 0x30, 0);  // bottom-left origin

        CSkinImage back;
        ASSERT_TRUE(back.Decode(b, uint32_t(out.Size()), 2)) << back.GetLastError();
        for (int y = 0; y < c.img->GetHeight(); ++y)
            for (int x = 0; x < c.img->GetWidth(); ++x)
                EXPECT_TRUE(back.GetPixelColor(x, y).SameRgb(c.img->GetPixelColor(x, y))) << x << "," << y;
    }
    CSkinImage back;
    ImageMemoryStream out;
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(rgba.Encode(&out, 2));
    ASSERT_TRUE(back.Decode(out.GetBuffer(), uint32_t(out.Size()), 0));
    EXPECT_EQ(back.AlphaGet(1, 0), 200 * 128 / 255);  // scaled by the alpha maximum

    CSkinImage mono(2, 2, 1);
    ImageMemoryStream sink;
    ASSERT_TRUE(sink.Open());
    EXPECT_FALSE(mono.Encode(&sink, 2));
    EXPECT_STREQ(mono.GetLastError(), "Bit depth must be 8 or 24");
}

// ---------------------------------------------------------------------------
// Format choice, memory encoding, failures

TEST(ImageDecode, FormatZeroTriesBmpThenTga)
{
    TgaSpec t;
    t.width = 2;
    t.pixels = {1, 2, 3, 4, 5, 6};
    const Bytes tga = MakeTga(t);
    ImageMemoryStream s(const_cast<uint8_t*>(tga.data()), tga.size());
    CSkinImage img;
    ASSERT_TRUE(img.Decode(&s, 0)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), 2u);
    EXPECT_RGB(img.GetPixelColor(1, 0), 6, 5, 4);

    BmpSpec b;
    b.bpp = 24;
    b.bits = {1, 2, 3, 0};
    ASSERT_TRUE(Decode(img, MakeBmp(b), 0)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), 1u);

    // Neither: the stream is back where it started.
    const Bytes junk = {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ImageMemoryStream js(const_cast<uint8_t*>(junk.data()), junk.size());
    ASSERT_TRUE(js.Seek(2, 0));
    EXPECT_FALSE(img.Decode(&js, 0));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
    EXPECT_EQ(js.Tell(), 2);
    EXPECT_EQ(img.GetType(), 1u);  // former image kept

    EXPECT_FALSE(Decode(img, MakeBmp(b), 7));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
}

TEST(ImageEncode, FailuresAndMemoryBuffer)
{
    CSkinImage img(2, 2, 8);
    uint8_t dummy = 0;
    uint8_t* buffer = &dummy;
    int32_t size = 0;
    EXPECT_FALSE(img.Encode(buffer, size, 1));  // buffer must start null
    EXPECT_EQ(buffer, &dummy);

    ImageMemoryStream s;
    ASSERT_TRUE(s.Open());
    EXPECT_FALSE(img.Encode(&s, 3));
    EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format");
    EXPECT_FALSE(img.Encode(static_cast<ImageStream*>(nullptr), 1));
    EXPECT_STREQ(img.GetLastError(), "null file handler");
    CSkinImage empty;
    EXPECT_FALSE(empty.Encode(&s, 1));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

TEST(ImageDecode, EscapeCancels)
{
    BmpSpec b;
    b.bpp = 24;
    b.bits = {1, 2, 3, 0};
    CSkinImage img;
    img.SetEscape(1);
    EXPECT_FALSE(Decode(img, MakeBmp(b), 1));
    EXPECT_STREQ(img.GetLastError(), "Cancelled");
    TgaSpec t;
    t.pixels = {1, 2, 3};
    EXPECT_FALSE(Decode(img, MakeTga(t), 2));
    EXPECT_STREQ(img.GetLastError(), "Cancelled");
}

}  // namespace

// TGA codec of the skin image class: reads colour-mapped, true-colour and
// grey images, raw or run-length coded, of 8, 15, 16, 24 and 32 bits (the
// fourth byte of 32-bit pixels becomes the alpha plane); writes 8-bit
// colour-mapped or 24/32-bit true-colour images, raw, bottom row first.
#include "skin/core/image_codec.h"

#include <algorithm>
#include <vector>

using namespace skin_image_detail;

namespace {

enum TgaType : uint8_t {
    kMapped = 1, kTrueColor = 2, kGrey = 3,
    kRleMapped = 9, kRleTrueColor = 10, kRleGrey = 11,
};

constexpr uint8_t kDescRightToLeft = 0x10;
constexpr uint8_t kDescTopDown = 0x20;

struct TgaHeader {
    uint8_t idLength;
    uint8_t mapType;
    uint8_t imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntryBits;
    uint16_t width;
    uint16_t height;
    uint8_t depth;
    uint8_t descriptor;
};

bool Fail(CSkinImage& img, const char* text)
{
    img.SetLastError(text);
    return false;
}

SkinRgbQuad Expand16(uint32_t v)
{
    return SkinRgbQuad::Make(uint8_t((v >> 7) & 0xF8), uint8_t((v >> 2) & 0xF8), uint8_t(v << 3));
}

// Stores one file pixel at (x, y) of the image (y from the bottom).
void PutPixel(CSkinImage& img, uint8_t* row, const uint8_t* px, uint32_t depth, int32_t x, int32_t y)
{
    switch (depth) {
    case 8:
        if (img.GetBpp() == 8)
            row[x] = px[0];
        else
            row[size_t(x) * 3] = row[size_t(x) * 3 + 1] = row[size_t(x) * 3 + 2] = px[0];
        break;
    case 15:
    case 16: {
        const SkinRgbQuad c = Expand16(Le16(px));
        row[size_t(x) * 3] = c.blue;
        row[size_t(x) * 3 + 1] = c.green;
        row[size_t(x) * 3 + 2] = c.red;
        break;
    }
    case 24:
        row[size_t(x) * 3] = px[0];
        row[size_t(x) * 3 + 1] = px[1];
        row[size_t(x) * 3 + 2] = px[2];
        break;
    case 32:
        row[size_t(x) * 3] = px[0];
        row[size_t(x) * 3 + 1] = px[1];
        row[size_t(x) * 3 + 2] = px[2];
        img.AlphaSet(x, y, px[3]);
        break;
    default:
        break;
    }
}

// Run-length packets may run on from one row into the next: the packet in
// progress is kept here between rows.
struct RlePacket {
    uint32_t left = 0;      // pixels of the packet still to come
    bool run = false;       // one repeated pixel (else literal pixels)
    uint8_t pixel[4] = {};  // the repeated pixel
};

// One run-length coded row. A short read ends the row quietly.
void ReadRleRow(ImageStream& s, CSkinImage& img, uint8_t* row, uint32_t depth, uint32_t bytesPerPixel,
                int32_t y, RlePacket& packet)
{
    for (int32_t x = 0; x < img.GetWidth(); ++x) {
        if (packet.left == 0) {
            const int header = s.GetC();
            if (header < 0)
                return;
            packet.run = (header & 0x80) != 0;
            packet.left = packet.run ? uint32_t(header - 127) : uint32_t(header + 1);
            if (packet.run && s.Read(packet.pixel, 1, bytesPerPixel) != bytesPerPixel) {
                packet.left = 0;
                return;
            }
        }
        uint8_t literal[4];
        const uint8_t* px = packet.pixel;
        if (!packet.run) {
            if (s.Read(literal, 1, bytesPerPixel) != bytesPerPixel) {
                packet.left = 0;
                return;
            }
            px = literal;
        }
        PutPixel(img, row, px, depth, x, y);
        --packet.left;
    }
}

}  // namespace

bool SkinTgaDecode(CSkinImage& img, ImageStream& s)
{
    uint8_t raw[18];
    if (s.Read(raw, 1, sizeof raw) != sizeof raw)
        return Fail(img, "Not a TGA");
    TgaHeader h;
    h.idLength = raw[0];
    h.mapType = raw[1];
    h.imageType = raw[2];
    h.mapFirst = Le16(raw + 3);
    h.mapLength = Le16(raw + 5);
    h.mapEntryBits = raw[7];
    h.width = Le16(raw + 12);
    h.height = Le16(raw + 14);
    h.depth = raw[16];
    h.descriptor = raw[17];

    bool rle;
    switch (h.imageType) {
    case kMapped: case kTrueColor: case kGrey: rle = false; break;
    case kRleMapped: case kRleTrueColor: case kRleGrey: rle = true; break;
    default: return Fail(img, "Unknown TGA image type");
    }
    if (h.width == 0 || h.height == 0 || h.depth == 0 || h.mapLength > 256 ||
        (h.depth != 8 && h.depth != 15 && h.depth != 16 && h.depth != 24 && h.depth != 32))
        return Fail(img, "bad TGA header");
    // A colour map's entries must have a size we can read past.
    const uint32_t mapEntryBytes = h.mapType ? (h.mapEntryBits + 7u) / 8u : 0;
    if (h.mapType > 1 ||
        (h.mapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 &&
         h.mapEntryBits != 32))
        return Fail(img, "bad TGA header");

    // The pixel data cannot be shorter than what the header promises: raw
    // rows in full, run-length packets at most 128 pixels each.
    const uint32_t bytesPerPixel = (h.depth + 7u) / 8u;
    const uint64_t pixels = uint64_t(h.width) * h.height;
    const int64_t dataBytes = s.Remaining() - h.idLength - int64_t(mapEntryBytes) * h.mapLength;
    const uint64_t minimum = rle ? (pixels + 127) / 128 * (1 + bytesPerPixel) : pixels * bytesPerPixel;
    if (dataBytes <= 0 || uint64_t(dataBytes) < minimum)
        return Fail(img, "corrupted TGA");

    if (!img.Create(h.width, h.height, h.depth, CSkinImage::kFormatTga))
        return Fail(img, "TGA Create failed");
    if (h.depth == 32 && !img.AlphaCreate())
        return Fail(img, "TGA Create failed");
    if (img.GetEscape())
        return Fail(img, "Cancelled");
    if (h.idLength && !s.Seek(h.idLength, 1))
        return Fail(img, "corrupted TGA");

    if (h.mapType == 1 && h.mapLength) {
        std::vector<uint8_t> map(size_t(h.mapLength) * mapEntryBytes);
        if (s.Read(map.data(), 1, map.size()) != map.size())
            return Fail(img, "corrupted TGA");
        for (uint32_t i = 0; i < h.mapLength; ++i) {
            const uint32_t index = h.mapFirst + i;
            if (index >= img.GetNumColors())
                break;
            const uint8_t* e = &map[size_t(i) * mapEntryBytes];
            const SkinRgbQuad c = mapEntryBytes == 2 ? Expand16(Le16(e)) : SkinRgbQuad::Make(e[2], e[1], e[0]);
            img.SetPaletteColor(uint8_t(index), c.red, c.green, c.blue);
        }
    }
    if (h.imageType == kGrey || h.imageType == kRleGrey)
        img.SetGrayPalette();

    const int32_t width = h.width, height = h.height;
    const bool topDown = (h.descriptor & kDescTopDown) != 0;
    std::vector<uint8_t> fileRow(size_t(width) * bytesPerPixel);
    RlePacket packet;
    for (int32_t i = 0; i < height; ++i) {
        img.SetProgress(uint32_t(int64_t(i) * 100 / height));
        if (img.GetEscape())
            return Fail(img, "Cancelled");
        if (s.Eof())
            return Fail(img, "corrupted TGA");
        const int32_t y = topDown ? height - 1 - i : i;
        uint8_t* row = img.GetBits(0) + size_t(y) * img.GetEffWidth();
        if (rle) {
            ReadRleRow(s, img, row, h.depth, bytesPerPixel, y, packet);
        } else {
            s.Read(fileRow.data(), 1, fileRow.size());
            for (int32_t x = 0; x < width; ++x)
                PutPixel(img, row, &fileRow[size_t(x) * bytesPerPixel], h.depth, x, y);
        }
    }
    img.SetProgress(100);
    if (h.descriptor & kDescRightToLeft)
        img.Mirror();
    return true;
}

bool SkinTgaEncode(CSkinImage& img, ImageStream& s)
{
    if (!img.IsValid())
        return Fail(img, "null image!!!");
    const uint32_t bpp = img.GetBpp();
    if (bpp < 8)
        return Fail(img, "Bit depth must be 8 or 24");
    const bool withAlpha = bpp == 24 && img.AlphaIsValid();
    const uint32_t outBytes = bpp == 8 ? 1 : withAlpha ? 4 : 3;

    uint8_t h[18] = {};
    h[1] = bpp == 8 ? 1 : 0;
    h[2] = bpp == 8 ? kMapped : kTrueColor;
    PutLe16(h + 3, 0);
    PutLe16(h + 5, bpp == 8 ? 256 : 0);
    h[7] = bpp == 8 ? 24 : 0;
    PutLe16(h + 12, uint32_t(img.GetWidth()));
    PutLe16(h + 14, uint32_t(img.GetHeight()));
    h[16] = uint8_t(outBytes * 8);
    // Bottom-left origin; a 32-bit image declares its 8 alpha bits.
    h[17] = withAlpha ? 8 : 0;
    if (s.Write(h, 1, sizeof h) != sizeof h)
        return Fail(img, "null file handler");

    if (bpp == 8) {
        uint8_t map[256 * 3] = {};
        for (uint32_t i = 0; i < 256; ++i) {
            const SkinRgbQuad c = img.GetPaletteColor(uint8_t(i));
            map[i * 3] = c.blue;
            map[i * 3 + 1] = c.green;
            map[i * 3 + 2] = c.red;
        }
        if (s.Write(map, 1, sizeof map) != sizeof map)
            return Fail(img, "null file handler");
    }

    const int32_t width = img.GetWidth();
    std::vector<uint8_t> out(size_t(width) * outBytes);
    for (int32_t y = 0; y < img.GetHeight(); ++y) {
        const uint8_t* row = img.GetBits(0) + size_t(y) * img.GetEffWidth();
        if (!withAlpha) {
            std::copy(row, row + out.size(), out.begin());
        } else {
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* o = &out[size_t(x) * 4];
                o[0] = row[size_t(x) * 3];
                o[1] = row[size_t(x) * 3 + 1];
                o[2] = row[size_t(x) * 3 + 2];
                o[3] = uint8_t(img.AlphaGet(x, y) * img.AlphaGetMax() / 255);
            }
        }
        if (s.Write(out.data(), 1, out.size()) != out.size())
            return Fail(img, "null file handler");
    }
    return true;
}

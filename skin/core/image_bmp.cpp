// BMP codec of the skin image class: reads Windows and OS/2 bitmaps (with
// or without the 14-byte file header) of 1, 4, 8, 16, 24 and 32 bits, raw
// or RLE4/RLE8, bottom-up or top-down; writes the DIB block as it stands.
//
// Every count from the file is checked against what the stream still holds
// and against the image's own caps before anything is allocated or read.
#include "skin/core/image_codec.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace skin_image_detail;

namespace {

constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

struct BmpInfo {
    uint32_t size = 0;  // header size as stored
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    bool core = false;  // OS/2 1.x header: 3-byte palette entries
};

uint64_t RowBytes(int32_t width, uint32_t bpp)
{
    return (uint64_t(width) * bpp + 31) / 32 * 4;
}

// Reads the info header in any of its sizes. Leaves the stream after it.
bool ReadInfo(ImageStream& s, BmpInfo& info)
{
    uint8_t h[40];
    if (s.Read(h, 1, 4) != 4)
        return false;
    info.size = Le32(h);
    if (info.size == 12) {
        // Core header: 16-bit fields, nothing after the bit count. Read on
        // its own, so that a tiny core bitmap is not cut short.
        if (s.Read(h + 4, 1, 8) != 8)
            return false;
        info.width = Le16(h + 4);
        info.height = Le16(h + 6);
        info.planes = Le16(h + 8);
        info.bitCount = Le16(h + 10);
        info.core = true;
        return true;
    }
    if (s.Read(h + 4, 1, 36) != 36)
        return false;
    info.width = int32_t(Le32(h + 4));
    info.height = int32_t(Le32(h + 8));
    info.planes = Le16(h + 12);
    info.bitCount = Le16(h + 14);
    info.compression = Le32(h + 16);
    info.sizeImage = Le32(h + 20);
    info.xPelsPerMeter = int32_t(Le32(h + 24));
    info.yPelsPerMeter = int32_t(Le32(h + 28));
    info.clrUsed = Le32(h + 32);
    if (info.size == 40)
        return true;
    if (info.size == 64)
        return s.Seek(24, 1);
    if (info.size < 41)
        return false;
    // Other (newer) headers are taken only when they describe a plain
    // uncompressed bitmap that the 40-byte part tells completely.
    const int64_t absHeight = info.height < 0 ? -int64_t(info.height) : info.height;
    const uint64_t computed = info.width > 0 ? RowBytes(info.width, info.bitCount) * uint64_t(absHeight) : 0;
    if ((info.sizeImage != 0 && info.sizeImage != computed) || info.planes != 1 ||
        info.compression != kRgb || info.clrUsed != 0)
        return false;
    return s.Seek(int64_t(info.size) - 40, 1);
}

// Shifts a masked channel into the top bits of a byte.
struct ChannelMask {
    uint32_t mask = 0;
    int shift = 0;  // trailing zero bits
    int bits = 0;   // width of the mask

    explicit ChannelMask(uint32_t m) : mask(m)
    {
        if (!m)
            return;
        while (!(m & 1)) {
            m >>= 1;
            ++shift;
        }
        while (m & 1) {
            m >>= 1;
            ++bits;
        }
    }
    uint8_t Apply(uint32_t v) const
    {
        if (!mask)
            return 0;
        const uint32_t c = (v & mask) >> shift;
        return bits >= 8 ? uint8_t(c >> (bits - 8)) : uint8_t(c << (8 - bits));
    }
};

// RLE8 (nibbles = false) or RLE4 (nibbles = true) into a palette image.
// Pixels that fall outside a row or past the last row are dropped; a short
// read ends the bitmap quietly.
void DecodeRle(ImageStream& s, CSkinImage& img, bool nibbles)
{
    const int32_t width = img.GetWidth(), height = img.GetHeight();
    const uint32_t bpp = img.GetBpp();
    int32_t x = 0, y = 0;
    auto put = [&](uint8_t index) {
        if (x < width) {
            PutRowIndex(img.GetBits(0) + size_t(y) * img.GetEffWidth(), bpp, x, index);
            ++x;
        }
    };
    while (y < height) {
        const int count = s.GetC();
        const int value = s.GetC();
        if (count < 0 || value < 0)
            return;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i) {
                if (nibbles)
                    put((i & 1) ? uint8_t(value & 0x0F) : uint8_t(value >> 4));
                else
                    put(uint8_t(value));
            }
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return;
        case 2: {  // delta
            const int dx = s.GetC();
            const int dy = s.GetC();
            if (dx < 0 || dy < 0)
                return;
            x = x + dx > width ? width : x + dx;
            y += dy;
            break;
        }
        default: {  // literal run of `value` pixels, padded to 16 bits
            const int bytes = nibbles ? (value + 1) / 2 : value;
            uint8_t literal[255];
            if (s.Read(literal, 1, size_t(bytes)) != size_t(bytes))
                return;
            for (int i = 0; i < value && x < width; ++i) {
                if (nibbles)
                    put((i & 1) ? uint8_t(literal[i / 2] & 0x0F) : uint8_t(literal[i / 2] >> 4));
                else
                    put(literal[i]);
            }
            if (bytes & 1)
                s.GetC();
            break;
        }
        }
    }
}

bool Fail(CSkinImage& img, const char* text)
{
    img.SetLastError(text);
    return false;
}

}  // namespace

bool SkinBmpDecode(CSkinImage& img, ImageStream& s)
{
    const int64_t start = s.Tell();
    if (start < 0)
        return Fail(img, "Not a BMP");
    uint8_t fileHeader[14];
    if (s.Read(fileHeader, 1, sizeof fileHeader) != sizeof fileHeader)
        return Fail(img, "Not a BMP");
    uint32_t bitOffset = 0;
    if (Le16(fileHeader) == kBmpType) {
        bitOffset = Le32(fileHeader + 10);
    } else if (!s.Seek(start, 0)) {
        // Not "BM": a bare DIB that starts with its info header.
        return Fail(img, "Not a BMP");
    }

    BmpInfo info;
    if (!ReadInfo(s, info))
        return Fail(img, "Error reading BMP info");
    const uint32_t bpp = info.bitCount;
    if (info.width <= 0 || info.height == 0 || info.height < -CSkinImage::kMaxSide ||
        info.width > CSkinImage::kMaxSide || info.height > CSkinImage::kMaxSide ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return Fail(img, "Error reading BMP info");
    const bool topDown = info.height < 0;
    const int32_t height = topDown ? -info.height : info.height;
    const uint64_t rowBytes = RowBytes(info.width, bpp);
    if (info.sizeImage == 0)
        info.sizeImage = uint32_t(rowBytes * uint64_t(height));
    uint32_t colors = 0;
    if (bpp <= 8) {
        colors = info.clrUsed == 0 || info.clrUsed > (1u << bpp) ? (1u << bpp) : info.clrUsed;
    }

    // What the pixel stage will ask for, checked before any allocation.
    bool rle = false;
    if (bpp <= 8) {
        if (info.compression == kRle8 || info.compression == kRle4)
            rle = true;
        else if (info.compression != kRgb)
            return Fail(img, "compression type not supported");
    } else if (bpp == 24 && info.compression != kRgb) {
        return Fail(img, "unknown compression");
    } else if (bpp == 32 && info.compression != kRgb && info.compression != kBitFields) {
        return Fail(img, "unknown compression");
    }

    // Bit fields sit right after a 40-byte header, before any palette.
    uint32_t masks[3] = {0, 0, 0};
    const bool bitFields = (bpp == 16 || bpp == 32) && info.compression == kBitFields;
    if (bitFields && info.size == 40) {
        uint8_t m[12];
        if (s.Read(m, 1, sizeof m) != sizeof m)
            return Fail(img, "Error reading BMP info");
        masks[0] = Le32(m);
        masks[1] = Le32(m + 4);
        masks[2] = Le32(m + 8);
    }
    if (!bitFields || (masks[0] | masks[1] | masks[2]) == 0) {
        if (bpp == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x3E0;
            masks[2] = 0x1F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0xFF00;
            masks[2] = 0xFF;
        }
    }

    const int64_t paletteBytes = int64_t(colors) * (info.core ? 3 : 4);
    const int64_t dataStart = bitOffset ? start + bitOffset : s.Tell() + paletteBytes;
    const int64_t available = s.Size() - dataStart;
    if (s.Remaining() < paletteBytes)
        return Fail(img, "Error reading BMP info");
    if (!rle) {
        // Raw rows must all be there (the last row's padding may be missing).
        const uint64_t lastRow = (uint64_t(info.width) * bpp + 7) / 8;
        const uint64_t needed = rowBytes * uint64_t(height - 1) + lastRow;
        if (available < 0 || uint64_t(available) < needed)
            return Fail(img, "Error reading BMP info");
    } else {
        // A run paints at most 255 pixels for 2 bytes. Skips (delta, end of
        // line) can leave a picture mostly blank, but a small file may not
        // claim a big one: beyond a megapixel, the data must be able to
        // cover it.
        const uint64_t pixels = uint64_t(info.width) * uint64_t(height);
        if (available <= 0 || (pixels > (1u << 20) && pixels > uint64_t(available) * 128))
            return Fail(img, "Error reading BMP info");
    }

    if (!img.Create(info.width, height, bpp, CSkinImage::kFormatBmp))
        return Fail(img, "Can't allocate memory");
    if (info.xPelsPerMeter > 0)
        img.SetXDPI(int32_t(std::floor(info.xPelsPerMeter * 0.0254 + 0.5)));
    if (info.yPelsPerMeter > 0)
        img.SetYDPI(int32_t(std::floor(info.yPelsPerMeter * 0.0254 + 0.5)));

    if (img.GetEscape())
        return Fail(img, "Cancelled");
    if (colors) {
        SkinRgbQuad palette[256];
        for (uint32_t i = 0; i < colors; ++i) {
            uint8_t e[4] = {0, 0, 0, 0};
            if (s.Read(e, 1, info.core ? 3 : 4) != (info.core ? 3u : 4u))
                return Fail(img, "Error reading BMP info");
            palette[i] = SkinRgbQuad::Make(e[2], e[1], e[0]);
        }
        img.SetPalette(palette, colors);
    }

    if (img.GetEscape())
        return Fail(img, "Cancelled");
    if (bitOffset && !s.Seek(start + bitOffset, 0))
        return Fail(img, "Error reading BMP info");

    const uint32_t effWidth = img.GetEffWidth();
    if (bpp <= 8) {
        if (rle) {
            DecodeRle(s, img, info.compression == kRle4);
        } else {
            for (int32_t y = 0; y < height; ++y)
                s.Read(img.GetBits(0) + size_t(y) * effWidth, 1, effWidth);
        }
    } else if (bpp == 24) {
        for (int32_t y = 0; y < height; ++y)
            s.Read(img.GetBits(0) + size_t(y) * effWidth, 1, effWidth);
    } else {
        // 16 and 32 bits: one file row at a time, widened to B, G, R.
        std::vector<uint8_t> row(size_t(rowBytes), 0);
        const ChannelMask red(masks[0]), green(masks[1]), blue(masks[2]);
        const bool plain32 = bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
        for (int32_t y = 0; y < height; ++y) {
            s.Read(row.data(), 1, row.size());
            uint8_t* out = img.GetBits(0) + size_t(y) * effWidth;
            for (int32_t x = 0; x < info.width; ++x, out += 3) {
                if (plain32) {
                    std::memcpy(out, &row[size_t(x) * 4], 3);
                    continue;
                }
                const uint32_t v = bpp == 16 ? Le16(&row[size_t(x) * 2]) : Le32(&row[size_t(x) * 4]);
                out[0] = blue.Apply(v);
                out[1] = green.Apply(v);
                out[2] = red.Apply(v);
            }
        }
    }

    if (topDown)
        img.Flip();
    return true;
}

bool SkinBmpEncode(CSkinImage& img, ImageStream& s)
{
    if (!img.IsValid())
        return Fail(img, "null image!!!");
    const uint32_t blockSize = img.GetSize();
    uint8_t fileHeader[14];
    PutLe16(fileHeader, kBmpType);
    PutLe32(fileHeader + 2, blockSize + 14);
    PutLe16(fileHeader + 6, 0);
    PutLe16(fileHeader + 8, 0);
    PutLe32(fileHeader + 10, 14 + 40 + img.GetPaletteSize());
    if (s.Write(fileHeader, 1, sizeof fileHeader) != sizeof fileHeader)
        return Fail(img, "null file handler");
    // The block's own header may lag behind the working copy (resolution).
    const SkinBitmapInfoHeader& h = img.GetHeader();
    uint8_t info[40];
    PutLe32(info, 40);
    PutLe32(info + 4, uint32_t(h.biWidth));
    PutLe32(info + 8, uint32_t(h.biHeight));
    PutLe16(info + 12, 1);
    PutLe16(info + 14, h.biBitCount);
    PutLe32(info + 16, 0);
    PutLe32(info + 20, h.biSizeImage);
    PutLe32(info + 24, uint32_t(h.biXPelsPerMeter));
    PutLe32(info + 28, uint32_t(h.biYPelsPerMeter));
    PutLe32(info + 32, h.biClrUsed);
    PutLe32(info + 36, h.biClrImportant);
    if (s.Write(info, 1, sizeof info) != sizeof info)
        return Fail(img, "null file handler");
    const uint8_t* rest = static_cast<const uint8_t*>(img.GetDIB()) + 40;
    if (s.Write(rest, 1, blockSize - 40) != blockSize - 40)
        return Fail(img, "null file handler");
    return true;
}

// CSkinImage: buffers, palette, pixels and the alpha plane.
#include "skin/core/skin_image.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double kInchesPerMetre = 39.37007874015748;

// A resolution read from a file may be near the int limit: the value in
// pels per metre is held inside the int range the header has room for.
int32_t DpiToPelsPerMeter(int32_t dpi)
{
    const double pels = std::floor(dpi * kInchesPerMetre + 0.5);
    if (pels >= double(INT32_MAX))
        return INT32_MAX;
    if (pels <= double(INT32_MIN))
        return INT32_MIN;
    return int32_t(pels);
}

uint32_t RoundBpp(uint32_t bpp)
{
    if (bpp < 2)
        return 1;
    if (bpp < 5)
        return 4;
    if (bpp < 9)
        return 8;
    return 24;
}

}  // namespace

CSkinImage::CSkinImage(uint32_t formatType)
{
    Init(formatType);
}

CSkinImage::CSkinImage(int32_t width, int32_t height, uint32_t bpp, uint32_t formatType)
{
    Init(formatType);
    Create(width, height, bpp, formatType);
}

CSkinImage::CSkinImage(const CSkinImage& src, bool copyPixels, bool copyAlpha)
{
    Init(src.info_.type);
    info_ = src.info_;
    info_.ghost = nullptr;
    info_.image = nullptr;
    if (!src.dib_)
        return;
    if (!Create(src.head_.biWidth, src.head_.biHeight, src.head_.biBitCount, src.info_.type))
        return;
    if (copyPixels) {
        std::memcpy(dib_, src.dib_, GetSize());
        head_ = src.head_;
    } else {
        SetPalette(src.GetPalette(), src.GetPaletteSize() / 4);
    }
    if (copyAlpha && src.alpha_ && AlphaCreate())
        std::memcpy(alpha_, src.alpha_, size_t(head_.biWidth) * size_t(head_.biHeight));
}

CSkinImage::~CSkinImage()
{
    Destroy();
}

void CSkinImage::Init(uint32_t formatType)
{
    dib_ = nullptr;
    alpha_ = nullptr;
    head_ = SkinBitmapInfoHeader();
    info_ = Info();
    head_.biSize = sizeof(SkinBitmapInfoHeader);
    info_.type = formatType;
    info_.transIndex = -1;
    info_.alphaMax = 255;
    info_.enabled = 1;
    SetXDPI(96);
    SetYDPI(96);
}

void CSkinImage::SetLastError(const char* text)
{
    std::snprintf(info_.lastError, sizeof info_.lastError, "%s", text ? text : "");
}

void* CSkinImage::Create(int32_t width, int32_t height, uint32_t bpp, uint32_t formatType)
{
    Destroy();
    bpp = RoundBpp(bpp);
    const uint32_t colors = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
    // 64-bit sizes and the caps keep a hostile width x height from wrapping
    // or asking for gigabytes.
    const uint64_t effWidth = width > 0 ? (uint64_t(width) * bpp + 31) / 32 * 4 : 0;
    const uint64_t imageSize = height > 0 ? effWidth * uint64_t(height) : 0;
    const uint64_t blockSize = sizeof(SkinBitmapInfoHeader) + colors * 4 + imageSize;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        blockSize > kMaxBlockBytes) {
        SetLastError("CSkinImage::Create can't allocate memory");
        return nullptr;
    }
    dib_ = std::malloc(size_t(blockSize));
    if (!dib_) {
        SetLastError("CSkinImage::Create can't allocate memory");
        return nullptr;
    }
    head_.biSize = sizeof(SkinBitmapInfoHeader);
    head_.biWidth = width;
    head_.biHeight = height;
    head_.biPlanes = 1;
    head_.biBitCount = uint16_t(bpp);
    head_.biCompression = 0;
    head_.biSizeImage = uint32_t(imageSize);
    head_.biXPelsPerMeter = DpiToPelsPerMeter(info_.xDpi);
    head_.biYPelsPerMeter = DpiToPelsPerMeter(info_.yDpi);
    head_.biClrUsed = colors;
    head_.biClrImportant = 0;
    info_.effWidth = uint32_t(effWidth);
    info_.type = formatType;
    info_.ghost = nullptr;
    InvalidateNearestCache();

    std::memcpy(dib_, &head_, sizeof head_);
    uint8_t* palette = static_cast<uint8_t*>(dib_) + sizeof head_;
    std::memset(palette, 0, colors * 4);
    info_.image = palette + colors * 4;
    // Rows start zeroed so a short or cancelled decode leaves no garbage.
    std::memset(info_.image, 0, size_t(imageSize));
    return dib_;
}

void CSkinImage::Destroy()
{
    if (!info_.ghost) {
        std::free(dib_);
        std::free(alpha_);
    }
    dib_ = nullptr;
    alpha_ = nullptr;
    info_.image = nullptr;
    info_.ghost = nullptr;
    info_.effWidth = 0;
    head_.biWidth = 0;
    head_.biHeight = 0;
    head_.biBitCount = 0;
    head_.biSizeImage = 0;
    head_.biClrUsed = 0;
}

uint8_t* CSkinImage::GetBits(uint32_t row) const
{
    if (!dib_)
        return nullptr;
    if (row == 0)
        return info_.image;
    if (row < uint32_t(head_.biHeight))
        return PixelRow(int32_t(row));
    return nullptr;
}

uint32_t CSkinImage::GetSize() const
{
    if (!dib_)
        return 0;
    return head_.biSize + head_.biSizeImage + GetPaletteSize();
}

bool CSkinImage::IsInside(int32_t x, int32_t y) const
{
    return dib_ && x >= 0 && y >= 0 && x < head_.biWidth && y < head_.biHeight;
}

bool CSkinImage::Transfer(CSkinImage& from)
{
    if (&from == this)
        return true;
    Destroy();
    head_ = from.head_;
    info_ = from.info_;
    dib_ = from.dib_;
    alpha_ = from.alpha_;
    from.dib_ = nullptr;
    from.alpha_ = nullptr;
    from.info_.image = nullptr;
    from.info_.ghost = nullptr;
    from.Destroy();
    return true;
}

void CSkinImage::Ghost(const CSkinImage* from)
{
    if (!from || from == this)
        return;
    Destroy();
    head_ = from->head_;
    info_ = from->info_;
    dib_ = from->dib_;
    alpha_ = from->alpha_;
    info_.ghost = from;
}

SkinRgbQuad CSkinImage::GetTransColor() const
{
    if (head_.biBitCount < 24 && info_.transIndex >= 0)
        return GetPaletteColor(uint8_t(info_.transIndex));
    return info_.transColor;
}

void CSkinImage::SetXDPI(int32_t dpi)
{
    if (dpi <= 0)
        dpi = 96;
    info_.xDpi = dpi;
    head_.biXPelsPerMeter = DpiToPelsPerMeter(dpi);
    if (dib_)
        static_cast<SkinBitmapInfoHeader*>(dib_)->biXPelsPerMeter = head_.biXPelsPerMeter;
}

void CSkinImage::SetYDPI(int32_t dpi)
{
    if (dpi <= 0)
        dpi = 96;
    info_.yDpi = dpi;
    head_.biYPelsPerMeter = DpiToPelsPerMeter(dpi);
    if (dib_)
        static_cast<SkinBitmapInfoHeader*>(dib_)->biYPelsPerMeter = head_.biYPelsPerMeter;
}

// ---------------------------------------------------------------------------
// Palette

uint32_t CSkinImage::GetPaletteSize() const
{
    return dib_ ? head_.biClrUsed * 4 : 0;
}

SkinRgbQuad* CSkinImage::GetPalette() const
{
    if (!dib_ || head_.biClrUsed == 0)
        return nullptr;
    return reinterpret_cast<SkinRgbQuad*>(static_cast<uint8_t*>(dib_) + head_.biSize);
}

void CSkinImage::SetPalette(const SkinRgbQuad* entries, uint32_t count)
{
    SkinRgbQuad* palette = GetPalette();
    if (!palette || !entries)
        return;
    const uint32_t n = count < head_.biClrUsed ? count : head_.biClrUsed;
    std::memcpy(palette, entries, n * sizeof(SkinRgbQuad));
    InvalidateNearestCache();
}

void CSkinImage::SetPaletteColor(uint8_t index, uint8_t r, uint8_t g, uint8_t b, uint8_t alpha)
{
    SkinRgbQuad* palette = GetPalette();
    if (!palette || index >= head_.biClrUsed)
        return;
    palette[index] = SkinRgbQuad::Make(r, g, b, alpha);
    InvalidateNearestCache();
}

SkinRgbQuad CSkinImage::GetPaletteColor(uint8_t index) const
{
    const SkinRgbQuad* palette = GetPalette();
    if (!palette || index >= head_.biClrUsed)
        return SkinRgbQuad();
    return palette[index];
}

void CSkinImage::SetGrayPalette()
{
    SkinRgbQuad* palette = GetPalette();
    if (!palette || head_.biClrUsed < 2)
        return;
    const uint32_t step = 255 / (head_.biClrUsed - 1);
    for (uint32_t i = 0; i < head_.biClrUsed; ++i) {
        const uint8_t v = uint8_t(i * step);
        palette[i] = SkinRgbQuad::Make(v, v, v);
    }
    InvalidateNearestCache();
}

uint8_t CSkinImage::GetNearestIndex(SkinRgbQuad c)
{
    const SkinRgbQuad* palette = GetPalette();
    if (!palette)
        return 0;
    if (info_.lastColorValid && info_.lastColor.SameRgb(c))
        return info_.lastColorIndex;
    const uint32_t entries = head_.biClrUsed ? head_.biClrUsed : 256;
    long best = 200000;
    uint8_t bestIndex = 0;
    for (uint32_t i = 0; i < entries && i < 256; ++i) {
        const long dr = long(palette[i].red) - c.red;
        const long dg = long(palette[i].green) - c.green;
        const long db = long(palette[i].blue) - c.blue;
        const long d = dr * dr + dg * dg + db * db;
        if (d == 0) {
            bestIndex = uint8_t(i);
            break;
        }
        if (d < best) {
            best = d;
            bestIndex = uint8_t(i);
        }
    }
    info_.lastColor = c;
    info_.lastColorIndex = bestIndex;
    info_.lastColorValid = true;
    return bestIndex;
}

// ---------------------------------------------------------------------------
// Pixels

uint8_t CSkinImage::GetPixelIndex(int32_t x, int32_t y) const
{
    if (!dib_ || head_.biClrUsed == 0)
        return 0;
    if (!IsInside(x, y)) {
        if (info_.transIndex >= 0)
            return uint8_t(info_.transIndex);
        return info_.image[0];
    }
    const uint8_t* row = PixelRow(y);
    switch (head_.biBitCount) {
    case 8:
        return row[x];
    case 4: {
        const uint8_t b = row[x >> 1];
        return (x & 1) ? (b & 0x0F) : uint8_t(b >> 4);
    }
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default:
        return 0;
    }
}

SkinRgbQuad CSkinImage::GetPixelColor(int32_t x, int32_t y) const
{
    if (!dib_)
        return SkinRgbQuad();
    if (!IsInside(x, y)) {
        if (info_.transIndex < 0) {
            x = 0;
            y = 0;
        } else {
            return GetTransColor();
        }
    }
    SkinRgbQuad c;
    if (head_.biClrUsed) {
        c = GetPaletteColor(GetPixelIndex(x, y));
    } else {
        const uint8_t* p = PixelRow(y) + size_t(x) * 3;
        c = SkinRgbQuad::Make(p[2], p[1], p[0]);
    }
    if (alpha_)
        c.reserved = AlphaGet(x, y);
    return c;
}

void CSkinImage::SetPixelIndex(int32_t x, int32_t y, uint8_t index)
{
    if (!IsInside(x, y) || head_.biClrUsed == 0)
        return;
    uint8_t* row = PixelRow(y);
    switch (head_.biBitCount) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        uint8_t& b = row[x >> 1];
        if (x & 1)
            b = uint8_t((b & 0xF0) | (index & 0x0F));
        else
            b = uint8_t((b & 0x0F) | (index << 4));
        break;
    }
    case 1: {
        const uint8_t mask = uint8_t(1u << (7 - (x & 7)));
        if (index)
            row[x >> 3] |= mask;
        else
            row[x >> 3] &= uint8_t(~mask);
        break;
    }
    default:
        break;
    }
}

void CSkinImage::SetPixelColor(int32_t x, int32_t y, SkinRgbQuad c, bool setAlpha)
{
    if (!IsInside(x, y))
        return;
    if (head_.biClrUsed) {
        SetPixelIndex(x, y, GetNearestIndex(c));
        return;
    }
    uint8_t* p = PixelRow(y) + size_t(x) * 3;
    p[0] = c.blue;
    p[1] = c.green;
    p[2] = c.red;
    if (setAlpha)
        AlphaSet(x, y, c.reserved);
}

// ---------------------------------------------------------------------------
// Alpha plane

bool CSkinImage::AlphaCreate()
{
    AlphaDelete();
    if (!dib_)
        return false;
    alpha_ = static_cast<uint8_t*>(std::calloc(size_t(head_.biWidth) * size_t(head_.biHeight), 1));
    return alpha_ != nullptr;
}

void CSkinImage::AlphaClear()
{
    if (alpha_)
        std::memset(alpha_, 0, size_t(head_.biWidth) * size_t(head_.biHeight));
}

void CSkinImage::AlphaDelete()
{
    // A ghost never frees what it borrows.
    if (alpha_ && !info_.ghost)
        std::free(alpha_);
    alpha_ = nullptr;
}

void CSkinImage::AlphaSet(int32_t x, int32_t y, uint8_t value)
{
    if (alpha_ && IsInside(x, y))
        alpha_[size_t(y) * size_t(head_.biWidth) + size_t(x)] = value;
}

uint8_t CSkinImage::AlphaGet(int32_t x, int32_t y) const
{
    if (alpha_ && IsInside(x, y))
        return alpha_[size_t(y) * size_t(head_.biWidth) + size_t(x)];
    return 0;
}

void CSkinImage::AlphaFlip()
{
    if (!alpha_)
        return;
    const size_t w = size_t(head_.biWidth);
    for (int32_t top = 0, bottom = head_.biHeight - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = alpha_ + size_t(top) * w;
        uint8_t* b = alpha_ + size_t(bottom) * w;
        for (size_t i = 0; i < w; ++i) {
            const uint8_t t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
}

void CSkinImage::AlphaMirror()
{
    if (!alpha_)
        return;
    const size_t w = size_t(head_.biWidth);
    for (int32_t y = 0; y < head_.biHeight; ++y) {
        uint8_t* row = alpha_ + size_t(y) * w;
        for (size_t l = 0, r = w - 1; l < r; ++l, --r) {
            const uint8_t t = row[l];
            row[l] = row[r];
            row[r] = t;
        }
    }
}

// ---------------------------------------------------------------------------

bool ImageRowIterator::SetY(int32_t row)
{
    if (!image_ || !image_->IsValid() || row < 0 || row >= image_->GetHeight())
        return false;
    row_ = row;
    row_ptr_ = image_->GetBits(0) + size_t(row) * image_->GetEffWidth();
    return true;
}

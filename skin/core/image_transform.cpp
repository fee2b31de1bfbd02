// CSkinImage: flip, mirror, rotate and crop.
#include "skin/core/skin_image.h"

#include <cmath>
#include <cstring>
#include <vector>

bool CSkinImage::CreateLike(const CSkinImage& src, int32_t width, int32_t height)
{
    Destroy();
    // Settings first: Create keeps them and writes the resolution.
    info_ = src.info_;
    info_.ghost = nullptr;
    info_.image = nullptr;
    info_.progress = 0;
    if (!Create(width, height, src.head_.biBitCount, src.info_.type))
        return false;
    SetPalette(src.GetPalette(), src.head_.biClrUsed);
    if (src.alpha_)
        return AlphaCreate();
    return true;
}

void CSkinImage::CopyPixel(const CSkinImage& src, int32_t sx, int32_t sy, int32_t x, int32_t y)
{
    if (head_.biClrUsed)
        SetPixelIndex(x, y, src.GetPixelIndex(sx, sy));
    else
        SetPixelColor(x, y, src.GetPixelColor(sx, sy), false);
    if (alpha_)
        AlphaSet(x, y, src.AlphaGet(sx, sy));
}

bool CSkinImage::Deliver(CSkinImage& result, CSkinImage* dst)
{
    return (dst ? dst : this)->Transfer(result);
}

bool CSkinImage::Flip()
{
    if (!dib_)
        return false;
    std::vector<uint8_t> swap(info_.effWidth);
    for (int32_t top = head_.biHeight - 1, bottom = 0; bottom < top; --top, ++bottom) {
        uint8_t* a = PixelRow(bottom);
        uint8_t* b = PixelRow(top);
        std::memcpy(swap.data(), a, info_.effWidth);
        std::memcpy(a, b, info_.effWidth);
        std::memcpy(b, swap.data(), info_.effWidth);
    }
    AlphaFlip();
    return true;
}

bool CSkinImage::Mirror()
{
    if (!dib_)
        return false;
    const int32_t width = head_.biWidth;
    const uint32_t bpp = head_.biBitCount;
    for (int32_t y = 0; y < head_.biHeight; ++y) {
        uint8_t* row = PixelRow(y);
        for (int32_t l = 0, r = width - 1; l < r; ++l, --r) {
            if (bpp == 24) {
                for (int c = 0; c < 3; ++c) {
                    const uint8_t t = row[size_t(l) * 3 + c];
                    row[size_t(l) * 3 + c] = row[size_t(r) * 3 + c];
                    row[size_t(r) * 3 + c] = t;
                }
            } else if (bpp == 8) {
                const uint8_t t = row[l];
                row[l] = row[r];
                row[r] = t;
            } else {
                const uint8_t a = GetPixelIndex(l, y), b = GetPixelIndex(r, y);
                SetPixelIndex(l, y, b);
                SetPixelIndex(r, y, a);
            }
        }
    }
    AlphaMirror();
    return true;
}

bool CSkinImage::Rotate180(CSkinImage* dst)
{
    if (!dib_)
        return false;
    CSkinImage result;
    if (!result.CreateLike(*this, head_.biWidth, head_.biHeight)) {
        SetLastError(result.GetLastError());
        return false;
    }
    const int32_t w = head_.biWidth, h = head_.biHeight;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            result.CopyPixel(*this, w - 1 - x, h - 1 - y, x, y);
    return Deliver(result, dst);
}

bool CSkinImage::Rotate(float angle, CSkinImage* dst)
{
    if (!dib_)
        return false;
    const int32_t w = head_.biWidth, h = head_.biHeight;

    // Quarter turns are exact pixel permutations: the result has the
    // swapped size and loses no row or column.
    double turn = std::fmod(double(angle), 360.0);
    if (turn < 0)
        turn += 360.0;
    if (turn == 180.0)
        return Rotate180(dst);
    if (turn == 0.0 || turn == 90.0 || turn == 270.0) {
        const bool quarter = turn != 0.0;
        CSkinImage result;
        if (!result.CreateLike(*this, quarter ? h : w, quarter ? w : h)) {
            SetLastError(result.GetLastError());
            return false;
        }
        for (int32_t j = 0; j < result.GetHeight(); ++j) {
            result.SetProgress(uint32_t(int64_t(j) * 100 / result.GetHeight()));
            for (int32_t i = 0; i < result.GetWidth(); ++i) {
                if (turn == 90.0)  // clockwise as shown (rows run bottom-up)
                    result.CopyPixel(*this, w - 1 - j, i, i, j);
                else if (turn == 270.0)
                    result.CopyPixel(*this, j, h - 1 - i, i, j);
                else
                    result.CopyPixel(*this, i, j, i, j);
            }
        }
        return Deliver(result, dst);
    }

    // Any other angle: nearest-neighbour inverse mapping over the rotated
    // bounding box; corners outside the source take its outside value.
    const double ang = -double(angle) * std::acos(0.0) / 90.0;
    const double cosa = std::cos(ang), sina = std::sin(ang);
    const double cx[4] = {0, double(w - 1), 0, double(w - 1)};
    const double cy[4] = {0, 0, double(h - 1), double(h - 1)};
    int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
    for (int k = 0; k < 4; ++k) {
        // Forward map (the inverse of the sampling below).
        const int64_t x = int64_t(std::floor(cx[k] * cosa - cy[k] * sina));
        const int64_t y = int64_t(std::floor(cx[k] * sina + cy[k] * cosa));
        minX = x < minX ? x : minX;
        maxX = x > maxX ? x : maxX;
        minY = y < minY ? y : minY;
        maxY = y > maxY ? y : maxY;
    }
    const int64_t newW = maxX - minX + 2, newH = maxY - minY + 2;
    if (newW > kMaxSide || newH > kMaxSide) {
        SetLastError("CSkinImage::Create can't allocate memory");
        return false;
    }
    CSkinImage result;
    if (!result.CreateLike(*this, int32_t(newW), int32_t(newH))) {
        SetLastError(result.GetLastError());
        return false;
    }
    for (int32_t j = 0; j < result.GetHeight(); ++j) {
        result.SetProgress(uint32_t(int64_t(j) * 100 / result.GetHeight()));
        if (info_.escape) {
            SetLastError("Cancelled");
            return false;
        }
        const double y = double(minY + j);
        for (int32_t i = 0; i < result.GetWidth(); ++i) {
            const double x = double(minX + i);
            const double sx = std::floor(x * cosa + y * sina + 0.5);
            const double sy = std::floor(y * cosa - x * sina + 0.5);
            // Far outside stays outside without overflowing the cast.
            const int32_t ix = sx < -1 ? -1 : sx > w ? w : int32_t(sx);
            const int32_t iy = sy < -1 ? -1 : sy > h ? h : int32_t(sy);
            result.CopyPixel(*this, ix, iy, i, j);
        }
    }
    return Deliver(result, dst);
}

bool CSkinImage::Crop(int32_t left, int32_t top, int32_t right, int32_t bottom, CSkinImage* dst)
{
    if (!dib_)
        return false;
    const int32_t w = head_.biWidth, h = head_.biHeight;
    auto clamp = [](int32_t v, int32_t hi) { return v < 0 ? 0 : v > hi ? hi : v; };
    left = clamp(left, w);
    right = clamp(right, w);
    top = clamp(top, h);
    bottom = clamp(bottom, h);
    if (left == right || top == bottom)
        return false;
    if (left > right) {
        const int32_t t = left;
        left = right;
        right = t;
    }
    if (top > bottom) {
        const int32_t t = top;
        top = bottom;
        bottom = t;
    }
    const int32_t cw = right - left, ch = bottom - top;
    CSkinImage result;
    if (!result.CreateLike(*this, cw, ch)) {
        SetLastError(result.GetLastError());
        return false;
    }
    // Result row j (from the bottom) is source row h - bottom + j.
    const uint32_t bpp = head_.biBitCount;
    for (int32_t j = 0; j < ch; ++j) {
        const int32_t sy = h - bottom + j;
        if (bpp >= 8) {
            const size_t bytes = bpp / 8;
            std::memcpy(result.PixelRow(j), PixelRow(sy) + size_t(left) * bytes, size_t(cw) * bytes);
        } else {
            for (int32_t i = 0; i < cw; ++i)
                result.SetPixelIndex(i, j, GetPixelIndex(left + i, sy));
        }
        if (alpha_)
            std::memcpy(result.alpha_ + size_t(j) * size_t(cw), alpha_ + size_t(sy) * size_t(w) + left, size_t(cw));
    }
    return Deliver(result, dst);
}

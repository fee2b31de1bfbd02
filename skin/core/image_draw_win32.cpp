// CSkinImage: conversion to and from GDI bitmaps, and drawing into a DC.
#include "skin/core/skin_image.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

// The DIB block is handed to GDI as it stands.
static_assert(sizeof(SkinBitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "info header size");
static_assert(offsetof(SkinBitmapInfoHeader, biBitCount) == offsetof(BITMAPINFOHEADER, biBitCount),
              "info header layout");
static_assert(offsetof(SkinBitmapInfoHeader, biClrUsed) == offsetof(BITMAPINFOHEADER, biClrUsed),
              "info header layout");
static_assert(sizeof(SkinRgbQuad) == sizeof(RGBQUAD) && offsetof(SkinRgbQuad, red) == offsetof(RGBQUAD, rgbRed),
              "palette entry layout");

namespace {

// A 24-bit bottom-up DIB section selected into a memory DC, freed with it.
class SectionDC {
public:
    SectionDC(HDC reference, int32_t width, int32_t height) : width_(width), height_(height)
    {
        std::memset(&bmi_, 0, sizeof bmi_);
        bmi_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi_.bmiHeader.biWidth = width;
        bmi_.bmiHeader.biHeight = height;
        bmi_.bmiHeader.biPlanes = 1;
        bmi_.bmiHeader.biBitCount = 24;
        bmi_.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(reference);
        if (!dc_)
            return;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &bmi_, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap_)
            return;
        bits_ = static_cast<uint8_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~SectionDC()
    {
        if (old_)
            SelectObject(dc_, old_);
        if (bitmap_)
            DeleteObject(bitmap_);
        if (dc_)
            DeleteDC(dc_);
    }
    SectionDC(const SectionDC&) = delete;
    SectionDC& operator=(const SectionDC&) = delete;

    bool Ok() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    const BITMAPINFO* Info() const { return &bmi_; }
    uint8_t* Bits() const { return bits_; }
    size_t Stride() const { return (size_t(width_) * 3 + 3) & ~size_t(3); }
    // Row r counted from the top of the section.
    uint8_t* TopRow(int32_t r) const { return bits_ + size_t(height_ - 1 - r) * Stride(); }

private:
    BITMAPINFO bmi_;
    int32_t width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint8_t* bits_ = nullptr;
};

// Saves a DC's clip region on construction and puts it back on destruction.
class ClipSaver {
public:
    explicit ClipSaver(HDC dc) : dc_(dc)
    {
        saved_ = CreateRectRgn(0, 0, 0, 0);
        if (saved_ && GetClipRgn(dc_, saved_) != 1) {
            // No clip region before: restore to none.
            DeleteObject(saved_);
            saved_ = nullptr;
        }
    }
    ~ClipSaver()
    {
        SelectClipRgn(dc_, saved_);
        if (saved_)
            DeleteObject(saved_);
    }
    ClipSaver(const ClipSaver&) = delete;
    ClipSaver& operator=(const ClipSaver&) = delete;

private:
    HDC dc_;
    HRGN saved_ = nullptr;
};

COLORREF ToColorRef(SkinRgbQuad c)
{
    return RGB(c.red, c.green, c.blue);
}

}  // namespace

HBITMAP CSkinImage::MakeBitmap(HDC dc) const
{
    if (!dib_)
        return nullptr;
    const BITMAPINFO* bmi = static_cast<const BITMAPINFO*>(dib_);
    if (dc)
        return CreateDIBitmap(dc, &bmi->bmiHeader, CBM_INIT, info_.image, bmi, DIB_RGB_COLORS);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = mem ? CreateDIBSection(mem, bmi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap && bits)
        std::memcpy(bits, info_.image, head_.biSizeImage);
    if (mem)
        DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

bool CSkinImage::CreateFromHBITMAP(HBITMAP bitmap, HPALETTE palette)
{
    Destroy();
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != int(sizeof bm))
        return false;
    if (!Create(bm.bmWidth, bm.bmHeight, bm.bmBitsPixel, kFormatUnknown))
        return false;
    HDC screen = GetDC(nullptr);
    HPALETTE oldPalette = nullptr;
    if (palette) {
        oldPalette = SelectPalette(screen, palette, FALSE);
        RealizePalette(screen);
    }
    const int rows = GetDIBits(screen, bitmap, 0, UINT(head_.biHeight), info_.image,
                               static_cast<BITMAPINFO*>(dib_), DIB_RGB_COLORS);
    if (palette)
        SelectPalette(screen, oldPalette, FALSE);
    ReleaseDC(nullptr, screen);
    // GetDIBits may rewrite header fields (colours used, image size); ours
    // describe the block as it was allocated.
    std::memcpy(dib_, &head_, sizeof head_);
    InvalidateNearestCache();
    if (rows == 0) {
        SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

bool CSkinImage::DrawableSize(HDC dc, int32_t& cx, int32_t& cy) const
{
    if (!dib_ || !dc || !info_.enabled)
        return false;
    if (cx < 0)
        cx = head_.biWidth;
    if (cy < 0)
        cy = head_.biHeight;
    return cx != 0 && cy != 0;
}

bool CSkinImage::Draw(HDC dc, int32_t x, int32_t y, int32_t cx, int32_t cy, const RECT* clip)
{
    if (!DrawableSize(dc, cx, cy))
        return false;
    const int32_t w = head_.biWidth, h = head_.biHeight;

    // The caller's clip rectangle narrows the DC's clip region for this
    // call only; the former region (or none) is put back afterwards.
    ClipSaver saver(dc);
    if (clip)
        IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);

    const BITMAPINFO* bmi = static_cast<const BITMAPINFO*>(dib_);
    const bool keyed = info_.transIndex != -1;
    const bool blended = keyed || alpha_ || info_.alphaPalette;
    if (!blended && cx == w && cy == h) {
        SetDIBitsToDevice(dc, x, y, DWORD(w), DWORD(h), 0, 0, 0, UINT(h), info_.image, bmi, DIB_RGB_COLORS);
        return true;
    }

    // Only the part of the destination inside the clip box is worked on.
    RECT box;
    if (GetClipBox(dc, &box) == ERROR)
        return true;
    RECT dest = {x, y, x + cx, y + cy}, visible;
    if (!IntersectRect(&visible, &dest, &box))
        return true;
    const int32_t vw = visible.right - visible.left, vh = visible.bottom - visible.top;
    SectionDC section(dc, vw, vh);
    if (!section.Ok())
        return true;
    if (blended)
        BitBlt(section.Dc(), 0, 0, vw, vh, dc, visible.left, visible.top, SRCCOPY);

    // Source column of every visible column, source row (from the image's
    // bottom) of every visible row; nearest neighbour when scaled.
    const bool natural = cx == w && cy == h;
    const float fx = float(w) / float(cx), fy = float(h) / float(cy);
    std::vector<int32_t> srcX(static_cast<size_t>(vw)), srcY(static_cast<size_t>(vh));
    for (int32_t i = 0; i < vw; ++i) {
        const int32_t dx = visible.left + i - x;
        int32_t sx = natural ? dx : int32_t(std::floor(float(dx) * fx));
        srcX[size_t(i)] = sx < 0 ? 0 : sx >= w ? w - 1 : sx;
    }
    for (int32_t j = 0; j < vh; ++j) {
        const int32_t dy = visible.top + j - y;
        int32_t sy = natural ? h - 1 - dy : h - int32_t(std::ceil(float(dy + 1) * fy));
        srcY[size_t(j)] = sy < 0 ? 0 : sy >= h ? h - 1 : sy;
    }

    const SkinRgbQuad* palette = GetPalette();
    const SkinRgbQuad key = GetTransColor();
    const uint32_t bpp = head_.biBitCount;
    GdiFlush();
    for (int32_t j = vh - 1; j >= 0; --j) {
        uint8_t* out = section.TopRow(j);
        const int32_t sy = srcY[size_t(j)];
        const uint8_t* row = PixelRow(sy);
        for (int32_t i = 0; i < vw; ++i, out += 3) {
            const int32_t sx = srcX[size_t(i)];
            SkinRgbQuad c;
            uint32_t a = 255;
            if (bpp == 24) {
                const uint8_t* p = row + size_t(sx) * 3;
                c = SkinRgbQuad::Make(p[2], p[1], p[0]);
            } else {
                uint8_t index;
                if (bpp == 8)
                    index = row[sx];
                else if (bpp == 4)
                    index = (sx & 1) ? (row[sx >> 1] & 0x0F) : (row[sx >> 1] >> 4);
                else
                    index = (row[sx >> 3] >> (7 - (sx & 7))) & 1;
                c = palette[index];
            }
            if (!blended) {
                out[0] = c.blue;
                out[1] = c.green;
                out[2] = c.red;
                continue;
            }
            if (alpha_)
                a = alpha_[size_t(sy) * size_t(w) + size_t(sx)];
            a = (a * (uint32_t(info_.alphaMax) + 1)) >> 8;
            if (info_.alphaPalette && bpp < 24)
                a = (a * (uint32_t(c.reserved) + 1)) >> 8;
            if ((keyed && c.SameRgb(key)) || a == 0)
                continue;
            if (a == 255) {
                out[0] = c.blue;
                out[1] = c.green;
                out[2] = c.red;
            } else {
                const uint32_t na = a ^ 255;
                out[0] = uint8_t((c.blue * a + out[0] * na) >> 8);
                out[1] = uint8_t((c.green * a + out[1] * na) >> 8);
                out[2] = uint8_t((c.red * a + out[2] * na) >> 8);
            }
        }
    }
    SetDIBitsToDevice(dc, visible.left, visible.top, DWORD(vw), DWORD(vh), 0, 0, 0, UINT(vh),
                      section.Bits(), section.Info(), DIB_RGB_COLORS);
    return true;
}

bool CSkinImage::StretchOpaque(HDC dc, int32_t x, int32_t y, int32_t cx, int32_t cy)
{
    if (!DrawableSize(dc, cx, cy))
        return false;
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, cx, cy, 0, 0, head_.biWidth, head_.biHeight, info_.image,
                  static_cast<const BITMAPINFO*>(dib_), DIB_RGB_COLORS, SRCCOPY);
    if (oldMode)
        SetStretchBltMode(dc, oldMode);
    return true;
}

bool CSkinImage::Stretch(HDC dc, int32_t x, int32_t y, int32_t cx, int32_t cy)
{
    if (info_.transIndex == -1)
        return StretchOpaque(dc, x, y, cx, cy);
    if (!DrawableSize(dc, cx, cy))
        return false;
    const int32_t w = head_.biWidth, h = head_.biHeight;
    RECT dest = {x, y, x + cx, y + cy};
    if (!RectVisible(dc, &dest))
        return true;

    // The image as a device bitmap, and a mask that is white where the
    // image has the transparent colour.
    HDC imageDC = CreateCompatibleDC(dc);
    HDC maskDC = CreateCompatibleDC(dc);
    HBITMAP image = CreateCompatibleBitmap(dc, w, h);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    if (imageDC && maskDC && image && mask) {
        HGDIOBJ oldImage = SelectObject(imageDC, image);
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        SetDIBitsToDevice(imageDC, 0, 0, DWORD(w), DWORD(h), 0, 0, 0, UINT(h), info_.image,
                          static_cast<const BITMAPINFO*>(dib_), DIB_RGB_COLORS);
        SetBkColor(imageDC, ToColorRef(GetTransColor()));
        BitBlt(maskDC, 0, 0, w, h, imageDC, 0, 0, SRCCOPY);

        // dest ^ image, cleared where opaque, ^ image again: the image where
        // opaque, the destination where transparent.
        const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, cx, cy, imageDC, 0, 0, w, h, SRCINVERT);
        StretchBlt(dc, x, y, cx, cy, maskDC, 0, 0, w, h, SRCAND);
        StretchBlt(dc, x, y, cx, cy, imageDC, 0, 0, w, h, SRCINVERT);
        if (oldMode)
            SetStretchBltMode(dc, oldMode);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBk);

        SelectObject(maskDC, oldMask);
        SelectObject(imageDC, oldImage);
    }
    if (mask)
        DeleteObject(mask);
    if (image)
        DeleteObject(image);
    if (maskDC)
        DeleteDC(maskDC);
    if (imageDC)
        DeleteDC(imageDC);
    return true;
}

bool CSkinImage::Tile(HDC dc, const RECT* rect)
{
    if (!dib_ || !dc || !rect || !info_.enabled)
        return false;
    const int32_t w = head_.biWidth, h = head_.biHeight;
    if (rect->right <= rect->left || rect->bottom <= rect->top)
        return false;
    for (int32_t ty = rect->top; ty < rect->bottom; ty += h) {
        for (int32_t tx = rect->left; tx < rect->right; tx += w) {
            RECT tile = {tx, ty, tx + w, ty + h}, part;
            IntersectRect(&part, &tile, rect);
            Draw(dc, tx, ty, -1, -1, &part);
        }
    }
    return true;
}

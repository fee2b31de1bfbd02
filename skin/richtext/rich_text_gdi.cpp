#include "skin/richtext/rich_text_gdi.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "skin/richtext/markup_tags.h"
#include "skin/richtext/rich_types.h"

namespace {

// A 32-bit DIB section selected into a memory DC for as long as it lives.
class DibSurface {
public:
    DibSurface(int width, int height) : width_(width), height_(height)
    {
        if (width <= 0 || height <= 0 || width > rtlimits::kMaxImageSide || height > rtlimits::kMaxImageSide)
            return;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        info.bmiHeader.biSizeImage = DWORD(width) * DWORD(height) * 4;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap_)
            return;
        dc_ = CreateCompatibleDC(nullptr);
        if (!dc_) {
            DeleteObject(bitmap_);
            bitmap_ = nullptr;
            return;
        }
        old_ = SelectObject(dc_, bitmap_);
        bits_ = static_cast<uint8_t*>(bits);
    }
    ~DibSurface()
    {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    bool Valid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    uint8_t* Bits() const { return bits_; }
    size_t Pixels() const { return size_t(width_) * size_t(height_); }
    // Gives the bitmap away (deselected); the surface is empty afterwards.
    HBITMAP Release()
    {
        GdiFlush();
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        dc_ = nullptr;
        HBITMAP b = bitmap_;
        bitmap_ = nullptr;
        bits_ = nullptr;
        return b;
    }

private:
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint8_t* bits_ = nullptr;
};

// A bitmap selected into a memory DC compatible with the screen.
class SelectedBitmap {
public:
    explicit SelectedBitmap(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr))
    {
        if (dc_)
            old_ = SelectObject(dc_, bitmap);
    }
    ~SelectedBitmap()
    {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC Dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

HBITMAP CreateScreenBitmap(int width, int height)
{
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    return b;
}

int PenStyle(int borderStyle)
{
    switch (borderStyle) {
    case 2: return PS_DASH;
    case 3: return PS_DOT;
    case 4: return PS_DASHDOT;
    case 5: return PS_DASHDOTDOT;
    default: return PS_SOLID;
    }
}

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

COLORREF Inverted(COLORREF c) { return ~c & 0xFFFFFF; }

}  // namespace

SIZE RichTextGdi::GetIconSize(HICON icon)
{
    SIZE size = {0, 0};
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return size;
    size.cx = LONG(info.xHotspot * 2);
    size.cy = LONG(info.yHotspot * 2);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return size;
}

SIZE RichTextGdi::GetBitmapSize(HGDIOBJ bitmap)
{
    SIZE size = {0, 0};
    BITMAP bm;
    if (bitmap && GetObjectType(bitmap) == OBJ_BITMAP && GetObjectA(bitmap, sizeof(bm), &bm)) {
        size.cx = bm.bmWidth;
        size.cy = bm.bmHeight;
    }
    return size;
}

HBITMAP RichTextGdi::RecolorBitmap(HBITMAP bitmap, int width, int height, int effects, BOOL keyed,
                                   COLORREF key, COLORREF fill)
{
    if (!bitmap)
        return nullptr;
    DibSurface dib(width, height);
    if (!dib.Valid())
        return nullptr;
    {
        SelectedBitmap source(bitmap);
        BitBlt(dib.Dc(), 0, 0, width, height, source.Dc(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    const uint8_t keyR = GetRValue(key), keyG = GetGValue(key), keyB = GetBValue(key);
    uint8_t* p = dib.Bits();
    for (size_t i = 0; i < dib.Pixels(); ++i, p += 4) {
        int b = p[0], g = p[1], r = p[2];
        if (keyed && r == keyR && g == keyG && b == keyB) {
            r = g = b = 0;
        } else {
            if (effects & kRtEffectGrey) {
                const int v = int(0.299 * r + 0.587 * g + 0.114 * b);
                r = g = b = v;
            }
            if (effects & kRtEffectDarker) {
                r = int(r * 0.75);
                g = int(g * 0.75);
                b = int(b * 0.75);
            }
            if (effects & kRtEffectLighter) {
                r = std::min(255, int(r * 1.25));
                g = std::min(255, int(g * 1.25));
                b = std::min(255, int(b * 1.25));
            }
            if (effects & kRtEffectFill) {
                r = GetRValue(fill);
                g = GetGValue(fill);
                b = GetBValue(fill);
            }
        }
        if (effects & kRtEffectInvert) {
            r = 255 - r;
            g = 255 - g;
            b = 255 - b;
        }
        p[0] = uint8_t(b);
        p[1] = uint8_t(g);
        p[2] = uint8_t(r);
        p[3] = 0;
    }
    return dib.Release();
}

HICON RichTextGdi::StretchIcon(HICON icon, int width, int height)
{
    ICONINFO info;
    if (!icon || width <= 0 || height <= 0 || !GetIconInfo(icon, &info))
        return nullptr;
    const int sourceWidth = int(info.xHotspot * 2);
    const int sourceHeight = int(info.yHotspot * 2);
    HICON result = nullptr;
    HBITMAP color = info.hbmColor ? CreateScreenBitmap(width, height) : nullptr;
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (mask && (color || !info.hbmColor)) {
        if (color) {
            SelectedBitmap from(info.hbmColor), to(color);
            SetStretchBltMode(to.Dc(), COLORONCOLOR);
            StretchBlt(to.Dc(), 0, 0, width, height, from.Dc(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
        }
        {
            SelectedBitmap from(info.hbmMask), to(mask);
            StretchBlt(to.Dc(), 0, 0, width, height, from.Dc(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
        }
        ICONINFO made = {};
        made.fIcon = TRUE;
        made.hbmColor = color;
        made.hbmMask = mask;
        result = CreateIconIndirect(&made);
    }
    if (color)
        DeleteObject(color);
    if (mask)
        DeleteObject(mask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return result;
}

void RichTextGdi::GradientBand64(HDC dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                                 bool horizontal)
{
    const long long start = horizontal ? left : top;
    const long long extent = horizontal ? (long long)right - left : (long long)bottom - top;
    if (extent <= 0)
        return;
    const int r0 = GetRValue(from), g0 = GetGValue(from), b0 = GetBValue(from);
    const int r1 = GetRValue(to), g1 = GetGValue(to), b1 = GetBValue(to);
    for (int i = 0; i < 64; ++i) {
        const int a = int(start + ((extent * i) >> 6));
        const int b = int(start + ((extent * (i + 1)) >> 6));
        if (a == b)
            continue;
        const COLORREF c = RGB((r0 * 64 + (r1 - r0) * i) / 64, (g0 * 64 + (g1 - g0) * i) / 64,
                               (b0 * 64 + (b1 - b0) * i) / 64);
        const RECT band = horizontal ? RECT{a, top, b, bottom} : RECT{left, a, right, b};
        HBRUSH brush = CreateSolidBrush(c);
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

void RichTextGdi::FillGradient(HDC dc, int effect, const RECT& r, COLORREF color, COLORREF middle, COLORREF end)
{
    const int midX = r.left + (r.right - r.left) / 2;
    const int midY = r.top + (r.bottom - r.top) / 2;
    switch (effect) {
    case kRtEffectHGradient:
        GradientBand64(dc, r.left, r.top, r.right, r.bottom, color, end, true);
        break;
    case kRtEffectVGradient:
        GradientBand64(dc, r.left, r.top, r.right, r.bottom, color, end, false);
        break;
    case kRtEffectHCGradient:
        GradientBand64(dc, r.left, r.top, midX, r.bottom, color, end, true);
        GradientBand64(dc, midX, r.top, r.right, r.bottom, end, color, true);
        break;
    case kRtEffectVCGradient:
        GradientBand64(dc, r.left, r.top, r.right, midY, color, end, false);
        GradientBand64(dc, r.left, midY, r.right, r.bottom, end, color, false);
        break;
    case kRtEffect3HGradient:
        GradientBand64(dc, r.left, r.top, midX, r.bottom, color, middle, true);
        GradientBand64(dc, midX, r.top, r.right, r.bottom, middle, end, true);
        break;
    case kRtEffect3VGradient:
        GradientBand64(dc, r.left, r.top, r.right, midY, color, middle, false);
        GradientBand64(dc, r.left, midY, r.right, r.bottom, middle, end, false);
        break;
    default: {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        break;
    }
    }
}

void RichTextGdi::TileBitmap(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                             int tileWidth, int tileHeight)
{
    if (tileWidth <= 0 || tileHeight <= 0)
        return;
    for (long long y0 = y; y0 < (long long)y + height; y0 += tileHeight) {
        const int h = int(std::min<long long>(tileHeight, (long long)y + height - y0));
        for (long long x0 = x; x0 < (long long)x + width; x0 += tileWidth) {
            const int w = int(std::min<long long>(tileWidth, (long long)x + width - x0));
            BitBlt(dc, int(x0), int(y0), w, h, source, sourceX, sourceY, SRCCOPY);
        }
    }
}

void RichTextGdi::DrawImageWithEffects(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, BOOL keyed,
                                       COLORREF key, int style, bool shadowed, int shadowX, int shadowY,
                                       int blurWidth, int blurHeight, COLORREF shadowColor)
{
    if (!bitmap || width <= 0 || height <= 0)
        return;
    const SIZE natural = GetBitmapSize(bitmap);
    HBITMAP scaled = CreateScreenBitmap(width, height);
    if (!scaled)
        return;
    {
        SelectedBitmap from(bitmap), to(scaled);
        if (natural.cx == width && natural.cy == height) {
            BitBlt(to.Dc(), 0, 0, width, height, from.Dc(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(to.Dc(), COLORONCOLOR);
            StretchBlt(to.Dc(), 0, 0, width, height, from.Dc(), 0, 0, natural.cx, natural.cy, SRCCOPY);
        }
    }
    const COLORREF white = RGB(255, 255, 255);
    HBITMAP mask = RecolorBitmap(scaled, width, height, kRtEffectInvert | kRtEffectFill, keyed, key, white);
    HBITMAP picture = RecolorBitmap(scaled, width, height, style, keyed, key, white);
    int px = x, py = y;
    if (shadowed) {
        if (style & kRtShadowBits) {
            HBITMAP shadow = RecolorBitmap(scaled, width, height, kRtEffectInvert | kRtEffectFill, keyed, key,
                                           Inverted(shadowColor));
            DrawSoftShadow(dc, x + shadowX, y + shadowY, width, height, shadow, (style & kRtEffectSoftShadow) != 0,
                           blurWidth, blurHeight);
            if (shadow)
                DeleteObject(shadow);
        } else {
            px = x + shadowX;
            py = y + shadowY;
        }
    }
    if (mask && picture) {
        {
            SelectedBitmap m(mask);
            BitBlt(dc, px, py, width, height, m.Dc(), 0, 0, SRCAND);
        }
        SelectedBitmap p(picture);
        BitBlt(dc, px, py, width, height, p.Dc(), 0, 0, SRCPAINT);
    }
    if (mask)
        DeleteObject(mask);
    if (picture)
        DeleteObject(picture);
    DeleteObject(scaled);
}

void RichTextGdi::DrawIconWithEffects(HDC dc, int x, int y, int width, int height, HICON icon, int style,
                                      bool shadowed, int shadowX, int shadowY, int blurWidth, int blurHeight,
                                      COLORREF shadowColor)
{
    if (!icon || width <= 0 || height <= 0)
        return;
    const SIZE natural = GetIconSize(icon);
    HICON sized = natural.cx == width && natural.cy == height ? CopyIcon(icon) : StretchIcon(icon, width, height);
    if (!sized)
        return;
    ICONINFO info;
    if (!GetIconInfo(sized, &info)) {
        DestroyIcon(sized);
        return;
    }
    int px = x, py = y;
    if (!info.hbmColor) {
        // A monochrome icon has no colour bitmap to recolour.
        if (shadowed && !(style & kRtShadowBits)) {
            px = x + shadowX;
            py = y + shadowY;
        }
        DrawIconEx(dc, px, py, sized, width, height, 0, nullptr, DI_NORMAL);
    } else {
        const COLORREF white = RGB(255, 255, 255);
        HBITMAP picture = RecolorBitmap(info.hbmColor, width, height, style, TRUE, RGB(0, 0, 0), white);
        if (shadowed) {
            if (style & kRtShadowBits) {
                HBITMAP shadow = RecolorBitmap(info.hbmMask, width, height, kRtEffectInvert | kRtEffectFill, TRUE,
                                               white, Inverted(shadowColor));
                DrawSoftShadow(dc, x + shadowX, y + shadowY, width, height, shadow,
                               (style & kRtEffectSoftShadow) != 0, blurWidth, blurHeight);
                if (shadow)
                    DeleteObject(shadow);
            } else {
                px = x + shadowX;
                py = y + shadowY;
            }
        }
        if (picture) {
            // The mask is monochrome: its opaque bits take the text colour
            // and its transparent ones the background colour, so both are
            // set for the blit (the background one is the style's otherwise).
            const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
            const COLORREF oldBack = SetBkColor(dc, white);
            {
                SelectedBitmap m(info.hbmMask);
                BitBlt(dc, px, py, width, height, m.Dc(), 0, 0, SRCAND);
            }
            SetTextColor(dc, oldText);
            SetBkColor(dc, oldBack);
            SelectedBitmap p(picture);
            BitBlt(dc, px, py, width, height, p.Dc(), 0, 0, SRCPAINT);
            DeleteObject(picture);
        }
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    DestroyIcon(sized);
}

void RichTextGdi::DrawSoftShadow(HDC dc, int x, int y, int width, int height, HBITMAP shadow, bool soft,
                                 int blurWidth, int blurHeight)
{
    if (!shadow)
        return;
    DibSurface mask(width, height);
    DibSurface dest(width, height);
    if (!mask.Valid() || !dest.Valid())
        return;
    blurWidth = std::max(1, std::min(blurWidth, rtlimits::kMaxImageSide));
    blurHeight = std::max(1, std::min(blurHeight, rtlimits::kMaxImageSide));
    if (soft) {
        PatBlt(mask.Dc(), 0, 0, width, height, WHITENESS);
        if (blurWidth % 2 == 0)
            ++blurWidth;
        if (blurHeight % 2 == 0)
            ++blurHeight;
        const SIZE natural = GetBitmapSize(shadow);
        if (width - blurWidth > 0 && height - blurHeight > 0) {
            SelectedBitmap from(shadow);
            SetStretchBltMode(mask.Dc(), COLORONCOLOR);
            StretchBlt(mask.Dc(), blurWidth / 2, blurHeight / 2, width - blurWidth, height - blurHeight, from.Dc(),
                       0, 0, natural.cx, natural.cy, SRCCOPY);
        }
    } else {
        SelectedBitmap from(shadow);
        BitBlt(mask.Dc(), 0, 0, width, height, from.Dc(), 0, 0, SRCCOPY);
    }
    BitBlt(dest.Dc(), 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();

    // The factor of a pixel is numerator[i] / denominator: the shadow's
    // first channel over 255, averaged over the blur box when soft. Sums
    // are kept in integers so that whole factors come out exact.
    const size_t w = size_t(width), h = size_t(height);
    std::vector<long long> numerator(w * h);
    long long denominator = 255;
    const uint8_t* m = mask.Bits();
    if (soft) {
        // Box sums over blurWidth x blurHeight, outside counting as white:
        // running sums along the rows, then along the columns.
        const int rx = blurWidth / 2, ry = blurHeight / 2;
        std::vector<long long> rows(w * h);
        for (size_t yy = 0; yy < h; ++yy) {
            const uint8_t* line = m + yy * w * 4;
            long long sum = 255LL * rx;  // the part left of column 0
            for (int k = 0; k <= rx; ++k)
                sum += size_t(k) < w ? line[size_t(k) * 4] : 255;
            for (size_t xx = 0; xx < w; ++xx) {
                rows[yy * w + xx] = sum;
                const long long leaving = (long long)xx - rx;
                const long long entering = (long long)xx + rx + 1;
                sum -= leaving >= 0 ? line[size_t(leaving) * 4] : 255;
                sum += entering < (long long)w ? line[size_t(entering) * 4] : 255;
            }
        }
        const long long outsideRow = 255LL * blurWidth;
        for (size_t xx = 0; xx < w; ++xx) {
            long long sum = outsideRow * ry;
            for (int k = 0; k <= ry; ++k)
                sum += size_t(k) < h ? rows[size_t(k) * w + xx] : outsideRow;
            for (size_t yy = 0; yy < h; ++yy) {
                numerator[yy * w + xx] = sum;
                const long long leaving = (long long)yy - ry;
                const long long entering = (long long)yy + ry + 1;
                sum -= leaving >= 0 ? rows[size_t(leaving) * w + xx] : outsideRow;
                sum += entering < (long long)h ? rows[size_t(entering) * w + xx] : outsideRow;
            }
        }
        denominator = 255LL * blurWidth * blurHeight;
    } else {
        for (size_t i = 0; i < w * h; ++i)
            numerator[i] = m[i * 4];
    }
    uint8_t* d = dest.Bits();
    for (size_t i = 0; i < w * h; ++i) {
        if (numerator[i] < 0 || numerator[i] >= denominator)
            continue;  // a factor of 1 (or more) leaves the pixel
        for (int c = 0; c < 3; ++c)
            d[i * 4 + c] = uint8_t(d[i * 4 + c] * numerator[i] / denominator);
    }
    BitBlt(dc, x, y, width, height, dest.Dc(), 0, 0, SRCCOPY);
}

void RichTextGdi::DrawBorderBox(HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int style, int width)
{
    if (style == 0 || width <= 0)
        return;
    const int penStyle = PenStyle(style);
    HPEN lightPen = CreatePen(penStyle, width, light);
    HPEN darkPen = dark != light ? CreatePen(penStyle, width, dark) : nullptr;
    HGDIOBJ old = SelectObject(dc, lightPen);
    const int passes = style == 6 ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int h = width / 2 + pass * 2 * width;
        const int l = rect.left + h, t = rect.top + h, r = rect.right - h, b = rect.bottom - h;
        SelectObject(dc, lightPen);
        MoveToEx(dc, l, b, nullptr);
        LineTo(dc, l, t);
        LineTo(dc, r, t);
        if (darkPen)
            SelectObject(dc, darkPen);
        MoveToEx(dc, r, t, nullptr);
        LineTo(dc, r, b);
        LineTo(dc, l, b);
    }
    SelectObject(dc, old);
    DeleteObject(lightPen);
    if (darkPen)
        DeleteObject(darkPen);
}

void RichTextGdi::DrawRuleLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color, int style, int width)
{
    if (style == 0 || width <= 0)
        return;
    HPEN pen = CreatePen(PenStyle(style), width, color);
    HGDIOBJ old = SelectObject(dc, pen);
    Line(dc, x1, y1, x2, y2);
    if (style == 6) {
        const int dx = y1 != y2 ? 2 * width : 0;  // right of a line that is not horizontal
        const int dy = x1 != x2 ? 2 * width : 0;  // below a line that is not vertical
        Line(dc, x1 + dx, y1 + dy, x2 + dx, y2 + dy);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

// CSkinImage: the skin library's in-memory bitmap.
//
// One heap block holds a device-independent bitmap exactly as GDI takes it:
// a 40-byte info header, the palette (B, G, R, reserved per entry) and the
// pixel rows, bottom row first, each padded to 4 bytes. Depths are 1, 4, 8
// or 24 bits; an optional 8-bit alpha plane (row 0 = bottom row, 0 =
// transparent) and an optional transparent colour come with it. Reads and
// writes BMP (format 1) and TGA (format 2).
//
// Pixel coordinates (x, y) count y from the bottom row, as the DIB stores
// them; Crop alone takes its rectangle counted from the top row.
//
// Everything except the drawing and HBITMAP conversion is platform-neutral;
// those members exist only in Windows builds (image_draw_win32.cpp).
#ifndef QUORBEL_SKIN_CORE_SKIN_IMAGE_H
#define QUORBEL_SKIN_CORE_SKIN_IMAGE_H

#include <cstddef>
#include <cstdint>

#include "skin/core/image_stream.h"

#ifdef _WIN32
#include <windows.h>
#endif

// One palette entry or one colour, laid out as GDI's RGBQUAD.
struct SkinRgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;  // alpha where a colour carries one

    static SkinRgbQuad Make(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0)
    {
        SkinRgbQuad q;
        q.red = r;
        q.green = g;
        q.blue = b;
        q.reserved = a;
        return q;
    }
    // COLORREF layout: 0x00BBGGRR.
    static SkinRgbQuad FromColorRef(uint32_t c)
    {
        return Make(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16));
    }
    uint32_t ToColorRef() const { return red | (green << 8) | (uint32_t(blue) << 16); }
    bool SameRgb(const SkinRgbQuad& o) const
    {
        return red == o.red && green == o.green && blue == o.blue;
    }
};
static_assert(sizeof(SkinRgbQuad) == 4, "palette entries are 4 bytes");

// BITMAPINFOHEADER's layout, so the DIB block can be handed to GDI as is.
struct SkinBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(SkinBitmapInfoHeader) == 40, "DIB info header is 40 bytes");

class CSkinImage {
public:
    enum Format : uint32_t { kFormatUnknown = 0, kFormatBmp = 1, kFormatTga = 2 };

    static constexpr const char* kVersion = "CSkinImage 5.80";
    // Sanity caps: no side beyond kMaxSide pixels, no DIB block beyond
    // kMaxBlockBytes, so a hostile header cannot ask for a huge allocation.
    static constexpr int32_t kMaxSide = 32768;
    static constexpr uint64_t kMaxBlockBytes = 64u * 1024 * 1024;

    explicit CSkinImage(uint32_t formatType = kFormatUnknown);
    CSkinImage(int32_t width, int32_t height, uint32_t bpp, uint32_t formatType = kFormatUnknown);
    // Copies the information and, as asked, the pixels and the alpha plane;
    // without copyPixels only the palette is taken over.
    CSkinImage(const CSkinImage& src, bool copyPixels = true, bool copyAlpha = true);
    CSkinImage& operator=(const CSkinImage&) = delete;
    ~CSkinImage();

    // --- construction and buffers -------------------------------------
    // bpp is rounded up to 1, 4, 8 or 24. Returns the DIB block or null
    // (last error "CSkinImage::Create can't allocate memory").
    void* Create(int32_t width, int32_t height, uint32_t bpp, uint32_t formatType = kFormatUnknown);
    // Frees the buffers unless this is a ghost; the image is empty after.
    void Destroy();
    // Row 0 = bottom row; null for rows outside the image or when empty.
    uint8_t* GetBits(uint32_t row = 0) const;
    // Bytes of header + palette + pixel rows (0 when empty).
    uint32_t GetSize() const;
    bool IsInside(int32_t x, int32_t y) const;
    // Takes over the source's content; the source is left empty.
    bool Transfer(CSkinImage& from);
    // Shallow view of another image's buffers, freed by nobody here.
    void Ghost(const CSkinImage* from);

    bool IsValid() const { return dib_ != nullptr; }
    void* GetDIB() const { return dib_; }
    const SkinBitmapInfoHeader& GetHeader() const { return head_; }
    int32_t GetWidth() const { return head_.biWidth; }
    int32_t GetHeight() const { return head_.biHeight; }
    uint32_t GetBpp() const { return head_.biBitCount; }
    uint32_t GetEffWidth() const { return info_.effWidth; }
    uint32_t GetNumColors() const { return head_.biClrUsed; }
    uint32_t GetType() const { return info_.type; }
    const char* GetLastError() const { return info_.lastError; }
    uint32_t GetProgress() const { return info_.progress; }
    void SetProgress(uint32_t p) { info_.progress = p; }
    int32_t GetEscape() const { return info_.escape; }
    // Decoders and Rotate stop ("Cancelled") while this is non-zero.
    void SetEscape(int32_t e) { info_.escape = e; }
    bool IsEnabled() const { return info_.enabled != 0; }
    // A disabled image draws nothing.
    void Enable(bool enable = true) { info_.enabled = enable ? 1 : 0; }

    // --- transparency and resolution ----------------------------------
    int32_t GetTransIndex() const { return info_.transIndex; }
    // -1 switches transparency off; for 24-bit images any other value only
    // switches it on (the colour is then GetTransColor).
    void SetTransIndex(int32_t index) { info_.transIndex = index; }
    void SetTransColor(SkinRgbQuad c) { info_.transColor = c; }
    SkinRgbQuad GetTransColor() const;
    int32_t GetXDPI() const { return info_.xDpi; }
    int32_t GetYDPI() const { return info_.yDpi; }
    void SetXDPI(int32_t dpi);
    void SetYDPI(int32_t dpi);

    // --- palette and pixels -------------------------------------------
    uint32_t GetPaletteSize() const;  // entries x 4
    SkinRgbQuad* GetPalette() const;  // null for 24 bpp or when empty
    void SetPalette(const SkinRgbQuad* entries, uint32_t count);
    void SetPaletteColor(uint8_t index, uint8_t r, uint8_t g, uint8_t b, uint8_t alpha = 0);
    SkinRgbQuad GetPaletteColor(uint8_t index) const;
    void SetGrayPalette();
    uint8_t GetPixelIndex(int32_t x, int32_t y) const;
    SkinRgbQuad GetPixelColor(int32_t x, int32_t y) const;
    void SetPixelIndex(int32_t x, int32_t y, uint8_t index);
    void SetPixelColor(int32_t x, int32_t y, SkinRgbQuad c, bool setAlpha = false);
    // Closest palette entry by squared RGB distance; cached for the last
    // colour until the palette changes.
    uint8_t GetNearestIndex(SkinRgbQuad c);

    // --- alpha plane --------------------------------------------------
    bool AlphaCreate();
    void AlphaClear();
    void AlphaDelete();
    bool AlphaIsValid() const { return alpha_ != nullptr; }
    uint8_t* AlphaGetPointer() const { return alpha_; }
    void AlphaSet(int32_t x, int32_t y, uint8_t value);
    uint8_t AlphaGet(int32_t x, int32_t y) const;
    void AlphaFlip();
    void AlphaMirror();
    uint8_t AlphaGetMax() const { return info_.alphaMax; }
    void AlphaSetMax(uint8_t max) { info_.alphaMax = max; }
    // Lets the palette entries' reserved bytes act as alpha when drawing.
    void AlphaPaletteEnable(bool enable = true) { info_.alphaPalette = enable ? 1 : 0; }
    bool AlphaPaletteIsEnabled() const { return info_.alphaPalette != 0; }

    // --- geometry -----------------------------------------------------
    // Each builds a new image; a null destination means this image.
    bool Flip();    // rows reversed
    bool Mirror();  // columns reversed
    // Degrees; 90 turns clockwise, 270 anticlockwise (as shown on screen).
    bool Rotate(float angle, CSkinImage* dst = nullptr);
    bool Rotate180(CSkinImage* dst = nullptr);
    // Rectangle counted from the top row, clamped to the image.
    bool Crop(int32_t left, int32_t top, int32_t right, int32_t bottom, CSkinImage* dst = nullptr);

    // --- files and memory ---------------------------------------------
    bool Encode(ImageStream* stream, uint32_t format);
    // buffer must be null on entry; on success it holds size bytes that
    // the caller releases with FreeMemory (free()).
    bool Encode(uint8_t*& buffer, int32_t& size, uint32_t format);
    static void FreeMemory(void* buffer);
    // format 0 tries BMP, then TGA.
    bool Decode(ImageStream* stream, uint32_t format);
    bool Decode(const uint8_t* buffer, uint32_t size, uint32_t format);

#ifdef _WIN32
    // --- display (image_draw_win32.cpp) --------------------------------
    // With a DC a device-dependent bitmap, without one a DIB section.
    HBITMAP MakeBitmap(HDC dc = nullptr) const;
    bool CreateFromHBITMAP(HBITMAP bitmap, HPALETTE palette = nullptr);
    // Width or height below 0 means the image's own. All return false when
    // there is nothing to draw (empty, disabled, no DC, zero size).
    bool Draw(HDC dc, int32_t x = 0, int32_t y = 0, int32_t cx = -1, int32_t cy = -1,
              const RECT* clip = nullptr);
    bool Stretch(HDC dc, int32_t x, int32_t y, int32_t cx, int32_t cy);
    bool StretchOpaque(HDC dc, int32_t x, int32_t y, int32_t cx, int32_t cy);
    bool Tile(HDC dc, const RECT* rect);
#endif

    // Stores an error text (cut to 255 characters).
    void SetLastError(const char* text);

private:
#ifdef _WIN32
    // Whether the image draws into dc at all; a negative cx or cy becomes
    // the image's own width or height.
    bool DrawableSize(HDC dc, int32_t& cx, int32_t& cy) const;
#endif
    void Init(uint32_t formatType);
    bool IsPaletteImage() const { return dib_ && head_.biBitCount < 24; }
    void InvalidateNearestCache() { info_.lastColorValid = false; }
    uint8_t* PixelRow(int32_t y) const { return info_.image + size_t(y) * info_.effWidth; }
    // Empty image of the given size with src's depth, palette, format and
    // settings (transparency, resolution, alpha maximum).
    bool CreateLike(const CSkinImage& src, int32_t width, int32_t height);
    // Copies one pixel (index or colour, and alpha) from src; positions
    // outside src give its outside value and alpha 0.
    void CopyPixel(const CSkinImage& src, int32_t sx, int32_t sy, int32_t x, int32_t y);
    // Hands a finished result to dst (or to this image when dst is null).
    bool Deliver(CSkinImage& result, CSkinImage* dst);

    struct Info {
        uint32_t effWidth;           // bytes per pixel row, 4-byte padded
        uint8_t* image;              // first (bottom) pixel row in dib_
        const CSkinImage* ghost;     // non-null: buffers borrowed from it
        uint32_t type;               // format the image came from / goes to
        char lastError[256];         // last failure text
        uint32_t progress;           // 0..100 during long operations
        int32_t escape;              // non-zero cancels decoders and Rotate
        int32_t transIndex;          // transparent palette index, -1 = none
        SkinRgbQuad transColor;      // transparent colour for 24 bpp
        int32_t xDpi, yDpi;          // resolution (header keeps it per metre)
        uint8_t alphaMax;            // scales every alpha value when drawing
        uint8_t alphaPalette;        // palette reserved bytes act as alpha
        uint8_t enabled;             // 0: draws nothing
        SkinRgbQuad lastColor;       // nearest-index cache: colour asked
        uint8_t lastColorIndex;      //   and its answer
        bool lastColorValid;         //   cleared when the palette changes
    };

    void* dib_ = nullptr;        // header + palette + rows, one allocation
    SkinBitmapInfoHeader head_;  // working copy of the block's header
    Info info_;
    uint8_t* alpha_ = nullptr;   // width x height alpha bytes, or null
};

// Walks the rows of one image; row 0 is the bottom row.
class ImageRowIterator {
public:
    explicit ImageRowIterator(const CSkinImage* image) : image_(image) {}
    // Refuses negative rows and rows beyond the height.
    bool SetY(int32_t row);
    int32_t GetY() const { return row_; }
    uint8_t* GetRow() const { return row_ptr_; }
    bool NextRow() { return SetY(row_ + 1); }

private:
    const CSkinImage* image_;      // image walked (not owned)
    int32_t row_ = -1;             // current row, -1 before SetY
    uint8_t* row_ptr_ = nullptr;   // its first byte
};

#endif

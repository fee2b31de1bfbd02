// Small value types and integer helpers shared by the rich-text renderer's
// platform-neutral half (markup, style sheets, layout) and its GDI half.
// Colours are COLORREF values (0x00bbggrr) held as uint32_t, so this header
// needs no windows.h.
#ifndef QUORBEL_SKIN_RICHTEXT_RICH_TYPES_H
#define QUORBEL_SKIN_RICHTEXT_RICH_TYPES_H

#include <cstdint>

using RtColor = uint32_t;

constexpr RtColor RtRgb(int r, int g, int b)
{
    return RtColor(r & 0xFF) | (RtColor(g & 0xFF) << 8) | (RtColor(b & 0xFF) << 16);
}
constexpr int RtRed(RtColor c) { return int(c & 0xFF); }
constexpr int RtGreen(RtColor c) { return int((c >> 8) & 0xFF); }
constexpr int RtBlue(RtColor c) { return int((c >> 16) & 0xFF); }

struct RtSize {
    int cx = 0;
    int cy = 0;
};

struct RtRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Limits that keep hostile markup and style sheets to bounded work and
// memory. Tooltip texts stay far below every one of them.
namespace rtlimits {
// Lengths and sizes read from markup or style sheets are clamped to this.
constexpr int kMaxLength = 32767;
// Layout coordinates saturate here instead of overflowing.
constexpr int kMaxCoord = 1 << 24;
// Opened tags that save a style; further tags are ignored until some close.
constexpr int kMaxStyleDepth = 128;
// Tables nested deeper than this are left out (no room, nothing drawn).
constexpr int kMaxTableDepth = 8;
// Grid columns and rows of one table, and a cell's column or row span.
constexpr int kMaxTableColumns = 64;
constexpr int kMaxTableRows = 256;
// Grid cells of all tables of one call together; a table that would pass
// it keeps only the rows that fit.
constexpr int kMaxGridCells = 65536;
// Counts of "br" and "t" tags.
constexpr int kMaxBreakCount = 100;
// Link areas kept per drawing pass, and the part of a link target kept.
constexpr int kMaxLinkAreas = 1024;
constexpr int kMaxLinkTarget = 2048;
// Font faces (LOGFONT keeps 31 characters) and background image texts.
constexpr int kMaxFaceLength = 31;
constexpr int kMaxImageText = 1024;
// Declaration text kept per style rule.
constexpr int kMaxRuleText = 4096;
// Width and height of one image as drawn.
constexpr int kMaxImageSide = 2048;
}  // namespace rtlimits

// a * b / c rounded to the nearest integer (halves away from zero), as the
// Windows MulDiv computes it; -1 when c is 0 or the result does not fit.
int RtMulDiv(int a, int b, int c);

// Clamps a 64-bit intermediate into [lo, hi].
inline int RtClamp(long long v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : int(v);
}
// Saturating coordinate arithmetic of the layout.
inline int RtCoord(long long v)
{
    return RtClamp(v, -rtlimits::kMaxCoord, rtlimits::kMaxCoord);
}

#endif

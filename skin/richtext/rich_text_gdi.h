// RichTextGdi: the GDI drawing the rich-text layout needs beyond text:
// images with colour effects and drop shadows, gradient fills, tiled
// bitmaps, borders and rules. Stateless; every GDI object it makes is
// deleted before the operation returns. Windows only.
#ifndef QUORBEL_SKIN_RICHTEXT_RICH_TEXT_GDI_H
#define QUORBEL_SKIN_RICHTEXT_RICH_TEXT_GDI_H

#include <windows.h>

class RichTextGdi {
public:
    virtual ~RichTextGdi() = default;

    // Twice the icon's hot spot; (0, 0) for no icon or a failed query.
    static SIZE GetIconSize(HICON icon);
    // bmWidth and bmHeight; (0, 0) when the object is not a bitmap.
    static SIZE GetBitmapSize(HGDIOBJ bitmap);

    // A new 32-bit DIB section of width x height with the bitmap's pixels
    // and the effects applied (grey 1, darker 2, lighter 4, fill 8, invert
    // 0x8000); with keyed set, pixels of the key colour become black first.
    // nullptr when it cannot be made. The caller deletes it.
    HBITMAP RecolorBitmap(HBITMAP bitmap, int width, int height, int effects, BOOL keyed, COLORREF key,
                          COLORREF fill);
    // A new icon: the icon's colour and mask stretched to width x height.
    HICON StretchIcon(HICON icon, int width, int height);

    // 64 bands from one colour to the other, left to right or top down.
    void GradientBand64(HDC dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                        bool horizontal);
    // Background effects 1 to 6 (gradients); anything else a solid fill.
    void FillGradient(HDC dc, int effect, const RECT& rect, COLORREF color, COLORREF middle, COLORREF end);
    // Tiles of the source DC's bitmap over the rectangle, cut at its edges.
    void TileBitmap(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int tileWidth, int tileHeight);

    // The bitmap scaled to width x height with the style's effects; key
    // pixels transparent; with shadowed, a shadow (style bit 0x100 hard,
    // 0x200 soft) at the shadow offset, or, for a style without a shadow
    // bit, the picture moved onto the shadow's place.
    void DrawImageWithEffects(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, BOOL keyed,
                              COLORREF key, int style, bool shadowed, int shadowX, int shadowY, int blurWidth,
                              int blurHeight, COLORREF shadowColor);
    void DrawIconWithEffects(HDC dc, int x, int y, int width, int height, HICON icon, int style, bool shadowed,
                             int shadowX, int shadowY, int blurWidth, int blurHeight, COLORREF shadowColor);
    // Darkens the destination by a shadow bitmap (white: untouched, the
    // shadow colour: darkened by it), blurred by a box filter when soft.
    void DrawSoftShadow(HDC dc, int x, int y, int width, int height, HBITMAP shadow, bool soft, int blurWidth,
                        int blurHeight);

    // Border styles: 0 none, 1 solid, 2 dashed, 3 dotted, 4 dash-dot,
    // 5 dash-dot-dot, 6 double. Light colour left and top, dark right and
    // bottom; the lines run on the rectangle's edges inclusive.
    void DrawBorderBox(HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int style, int width);
    void DrawRuleLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color, int style, int width);
};

#endif

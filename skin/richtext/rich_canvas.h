// RichTextCanvas: what the layout asks of the device it measures on and
// draws into. The GDI renderer implements it on a device context; tests
// and fuzz targets implement it with fixed metrics. Method names stay
// clear of the Win32 A/W macros (DrawText, LoadString, ...), since the
// interface is seen both with and without windows.h.
#ifndef QUORBEL_SKIN_RICHTEXT_RICH_CANVAS_H
#define QUORBEL_SKIN_RICHTEXT_RICH_CANVAS_H

#include <memory>
#include <string>

#include "skin/richtext/markup_tags.h"
#include "skin/richtext/rich_values.h"
#include "skin/richtext/text_style.h"

// An image loaded for one tag: its natural size; the canvas knows the rest.
class RichTextImage {
public:
    virtual ~RichTextImage() = default;
    int width = 0;
    int height = 0;
};

class RichTextCanvas : public LengthMetrics {
public:
    // Makes the style's font current and sets its text colour, background
    // colour and background mode.
    virtual void SelectStyle(const TextStyle& style) = 0;
    // tmAscent of the current font (FontHeight gives tmHeight).
    virtual int FontAscent() = 0;
    virtual RtSize TextExtent(const std::string& text) = 0;
    // A string of the resource module, "" when there is none.
    virtual std::string ReadString(int id) = 0;

    // The bitmap the attributes name ("idres", then "file", then
    // "handle"), or nullptr.
    virtual std::unique_ptr<RichTextImage> OpenBitmap(const ImageAttributes& image) = 0;
    // The icon they name, loaded at width x height, or nullptr.
    virtual std::unique_ptr<RichTextImage> OpenIcon(const ImageAttributes& image, int width, int height) = 0;
    virtual RtSize SystemIconSize() = 0;
    // Icon size of the image list, when there is one and it holds index.
    virtual bool ListIconSize(int index, RtSize* size) = 0;

    virtual void PaintText(int x, int y, const std::string& text) = 0;
    // A solid line (overlines and rules).
    virtual void PaintLine(int x1, int y1, int x2, int y2, RtColor color, int width) = 0;
    // source: the part of the bitmap drawn (a strip cell or all of it).
    virtual void PaintBitmap(RichTextImage& bitmap, const RtRect& source, int x, int y, int width, int height,
                             const ImageAttributes& image, int style, bool shadowed) = 0;
    virtual void PaintIcon(RichTextImage& icon, int x, int y, int width, int height, int style, bool shadowed) = 0;
    virtual void PaintListIcon(int index, int x, int y, int width, int height, int style, bool shadowed) = 0;
    // The style's background effect and colours over the rectangle.
    virtual void PaintBackground(const RtRect& rect, const TextStyle& style) = 0;
    // The style's border (style and colours) with the given pen width.
    virtual void PaintBorder(const RtRect& rect, const TextStyle& style, int penWidth) = 0;
    virtual void TileImage(RichTextImage& bitmap, const RtRect& rect) = 0;
};

#endif

// GdiCanvas: the rich-text layout's canvas on a Windows device context,
// for the length of one Measure or Draw call. It makes the fonts of the
// styles (deleting each when the next replaces it), loads the images the
// markup names, and gives the device context its font, colours and
// background mode back when it ends.
#ifndef QUORBEL_SKIN_RICHTEXT_GDI_CANVAS_H
#define QUORBEL_SKIN_RICHTEXT_GDI_CANVAS_H

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "skin/richtext/rich_canvas.h"
#include "skin/richtext/rich_text_gdi.h"

// What the canvas draws with besides the device context.
struct GdiCanvasResources {
    HINSTANCE module = nullptr;        // bitmaps, icons and strings by id
    HIMAGELIST imageList = nullptr;    // "ilst" images without a bitmap
    int listIconWidth = 0;
    int listIconHeight = 0;
    LOGFONTA baseFont = {};            // every font starts from it
    ShadowSettings shadow;
};

class GdiCanvas : public RichTextCanvas {
public:
    GdiCanvas(HDC dc, const GdiCanvasResources& resources, RichTextGdi& gdi);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    // The string-table string in full ("" for id 0 or none).
    static std::string LoadFullString(HINSTANCE module, UINT id);

    int FontHeight() override { return metrics_.tmHeight; }
    int XHeight() override;
    int PixelsPerInchY() override;

    void SelectStyle(const TextStyle& style) override;
    int FontAscent() override { return metrics_.tmAscent; }
    RtSize TextExtent(const std::string& text) override;
    std::string ReadString(int id) override { return LoadFullString(resources_.module, UINT(id)); }
    std::unique_ptr<RichTextImage> OpenBitmap(const ImageAttributes& image) override;
    std::unique_ptr<RichTextImage> OpenIcon(const ImageAttributes& image, int width, int height) override;
    RtSize SystemIconSize() override;
    bool ListIconSize(int index, RtSize* size) override;
    void PaintText(int x, int y, const std::string& text) override;
    void PaintLine(int x1, int y1, int x2, int y2, RtColor color, int width) override;
    void PaintBitmap(RichTextImage& bitmap, const RtRect& source, int x, int y, int width, int height,
                     const ImageAttributes& image, int style, bool shadowed) override;
    void PaintIcon(RichTextImage& icon, int x, int y, int width, int height, int style, bool shadowed) override;
    void PaintListIcon(int index, int x, int y, int width, int height, int style, bool shadowed) override;
    void PaintBackground(const RtRect& rect, const TextStyle& style) override;
    void PaintBorder(const RtRect& rect, const TextStyle& style, int penWidth) override;
    void TileImage(RichTextImage& bitmap, const RtRect& rect) override;

private:
    HDC dc_;
    const GdiCanvasResources& resources_;
    RichTextGdi& gdi_;
    HFONT font_ = nullptr;         // font of the current style, ours
    HGDIOBJ oldFont_ = nullptr;    // the device context's own, given back at the end
    int oldBkMode_ = 0;
    COLORREF oldTextColor_ = 0;
    COLORREF oldBkColor_ = 0;
    TEXTMETRICA metrics_ = {};
    int xHeight_ = -1;             // of the current font, measured when first asked
};

#endif

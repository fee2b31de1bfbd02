// HtmlTextRenderer: draws short rich texts (an HTML-like markup styled by
// a CSS-like style sheet) into a Windows device context. The skin
// library's tooltip window owns one: it hands it the style sheet of the
// skin's Tooltip object, measures a text and then draws it into a
// rectangle at least that big.
//
// The markup, the style sheet syntax and the layout are RichTextLayout's;
// this class puts them on GDI. Fonts and other GDI objects made during a
// call are deleted before it returns, and the device context gets its
// font, colours and background mode back. One thread (the tooltip's).
#ifndef QUORBEL_SKIN_RICHTEXT_HTML_TEXT_RENDERER_H
#define QUORBEL_SKIN_RICHTEXT_HTML_TEXT_RENDERER_H

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "skin/richtext/gdi_canvas.h"
#include "skin/richtext/rich_layout.h"
#include "skin/richtext/rich_text_gdi.h"

class HtmlTextRenderer {
public:
    HtmlTextRenderer();
    virtual ~HtmlTextRenderer();
    HtmlTextRenderer(const HtmlTextRenderer&) = delete;
    HtmlTextRenderer& operator=(const HtmlTextRenderer&) = delete;

    // Replaces the style rules; nullptr installs the built-in sheet.
    void SetStyleSheet(const char* text);
    void InitDefaultStyles() { SetStyleSheet(nullptr); }
    // The declarations of a rule (any case), or nullptr.
    const std::string* FindRule(const std::string& name) const { return layout_.StyleSheet().FindRule(name); }

    // The widest line plus 2 and the total height plus 2 (an empty text
    // measures 2 x 2). Keeps the line records and table sizes for Draw.
    SIZE Measure(HDC dc, const char* text);
    // Lays the text out into the rectangle (its right and bottom edges
    // moved in by 1) and draws it; a text other than the last measured one
    // is measured first. Returns the size as Measure, less 1 each way.
    SIZE Draw(HDC dc, const char* text, const RECT& rect);

    // Part part (0-based, cut at line feeds) of string id of the resource
    // module; "" when the string or the part is not there.
    std::string LoadStringPart(UINT id, int part) const;

    // Stores the images' drop shadow; darkness above 100 counts as 100.
    // Returns the grey level of the shadow colour, 255 * (100 - darkness) / 100.
    int SetShadow(int offsetX, int offsetY, int darkness, BOOL soft, int blurWidth, int blurHeight);

    // The module whose bitmaps, icons and strings the markup loads.
    void SetResourceInstance(HINSTANCE module);
    HINSTANCE ResourceInstance() const { return resources_.module; }
    // The image list of "ilst" tags without a bitmap; the renderer takes
    // it over and destroys it.
    void SetImageList(HIMAGELIST list, int iconWidth, int iconHeight);
    void SetHoveredLink(int index) { layout_.SetHoveredLink(index); }

    HCURSOR HandCursor() const { return handCursor_; }
    const LOGFONTA& BaseFont() const { return resources_.baseFont; }
    // Line records, table sizes and link areas of the last calls.
    const RichTextLayout& Layout() const { return layout_; }
    RichTextGdi& Gdi() { return gdi_; }

private:
    RichTextLayout layout_;
    RichTextGdi gdi_;
    GdiCanvasResources resources_;
    HCURSOR handCursor_ = nullptr;
    bool ownsHandCursor_ = false;  // a copy taken from winhlp32.exe
};

#endif

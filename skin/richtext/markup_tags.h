// Attributes of the markup's tags: images ("bmp", "icon", "ilst"), "font",
// "hr", "string", and the box attributes shared by "table", "tr" and "td".
#ifndef QUORBEL_SKIN_RICHTEXT_MARKUP_TAGS_H
#define QUORBEL_SKIN_RICHTEXT_MARKUP_TAGS_H

#include <cstdint>
#include <string>

#include "skin/richtext/markup_reader.h"
#include "skin/richtext/rich_values.h"
#include "skin/richtext/text_style.h"

// Image effect bits (the "style" letters and the drawing operations).
enum : int {
    kRtEffectGrey = 1,
    kRtEffectDarker = 2,
    kRtEffectLighter = 4,
    kRtEffectFill = 8,
    kRtEffectShadow = 0x100,
    kRtEffectSoftShadow = 0x200,
    kRtEffectInvert = 0x8000,
};
constexpr int kRtShadowBits = kRtEffectShadow | kRtEffectSoftShadow;

// Drop shadow of images, as the renderer's owner sets it.
struct ShadowSettings {
    int offsetX = 4;
    int offsetY = 4;
    int soft = 1;
    int blurWidth = 7;
    int blurHeight = 7;
    int darkness = 50;            // percent, 0 to 100
    RtColor color = 0x808080;     // grey of the darkness
};

struct ImageAttributes {
    int index = 0;                // cell of a strip, or image-list index
    int resourceId = 0;           // "idres": bitmap or icon of the resource module
    int dllResourceId = 0;        // "iddll": read; nothing is loaded from another module
    uint32_t handle = 0;          // "handle": an HBITMAP or HICON, drawn and not deleted
    std::string file;             // "file": bitmap or icon file
    std::string sourceDll;        // "srcdll": read and ignored
    RtColor keyColor = 0xFF00FF;  // "mask": pixels of this colour are transparent...
    bool keyed = false;           // ...only when "mask" was written
    int style = 0;                // effect bits drawn normally
    int hotStyle = 0;             // effect bits inside the hovered link
    int cellWidth = 0;            // "cx", "cy": one cell of an image strip
    int cellHeight = 0;
    std::string width;            // as written ("" = the default size)
    std::string height;

    // Whether any source other than an image list is named.
    bool NamesSource() const { return resourceId != 0 || !file.empty() || handle != 0 || dllResourceId != 0; }
    bool HasShadow() const { return ((style | hotStyle) & kRtShadowBits) != 0; }
};

// "g" grey, "d" darker, "l" lighter, "s" shadow (only with a shadow offset;
// soft or hard as the settings say).
int ReadStyleLetters(const std::string& letters, const ShadowSettings& shadow);

ImageAttributes ReadImageAttributes(const MarkupTag& tag, const ColorNameMap& colors,
                                    const ShadowSettings& shadow);

// "face", "size", "color", "weight", "style" (b i u s o, "-" turns off),
// "bkgnd".
void ApplyFontAttributes(TextStyle& style, const MarkupTag& tag, LengthMetrics& metrics,
                         const ColorNameMap& colors);

// What the box attributes give besides the style.
struct BoxAttributes {
    int colspan = 1;
    int rowspan = 1;
    std::string width;  // "width" of a table, as written
};

// Borders, backgrounds, alignment and spacing of "table", "tr" and "td";
// spans and the table width come back.
BoxAttributes ApplyBoxAttributes(TextStyle& style, const MarkupTag& tag, LengthMetrics& metrics,
                                 const ColorNameMap& colors);

// A rule ("hr").
struct RuleAttributes {
    bool percent = true;  // width is a percentage of the line width
    int width = 100;
    int thickness = 1;
    RtColor color = 0;
};

// style: the copy of the current style that the "hr" rule was applied to.
RuleAttributes ReadRuleAttributes(const MarkupTag& tag, const TextStyle& style, LengthMetrics& metrics,
                                  const ColorNameMap& colors);

// "string": the id of "idres" or "iddll", whichever was written last.
int ReadStringId(const MarkupTag& tag);

#endif

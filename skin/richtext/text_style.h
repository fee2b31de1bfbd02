// TextStyle: everything a tag or a style rule can change, the current style
// of the renderer and the copies saved on its style stack.
#ifndef QUORBEL_SKIN_RICHTEXT_TEXT_STYLE_H
#define QUORBEL_SKIN_RICHTEXT_TEXT_STYLE_H

#include <string>

#include "skin/richtext/rich_types.h"

// Values of TextStyle::backgroundMode (the SetBkMode values).
enum : int { kRtTransparent = 1, kRtOpaque = 2 };

// TextStyle::backgroundEffect: none, solid, and the gradients of FillGradient.
enum : int {
    kRtEffectNone = -1,
    kRtEffectSolid = 0,
    kRtEffectHGradient = 1,
    kRtEffectVGradient = 2,
    kRtEffectHCGradient = 3,
    kRtEffectVCGradient = 4,
    kRtEffect3HGradient = 5,
    kRtEffect3VGradient = 6,
};

enum : int { kRtAlignLeft = 0, kRtAlignCenter = 1, kRtAlignRight = 2 };
enum : int { kRtVAlignTop = 0, kRtVAlignMiddle = 1, kRtVAlignBottom = 2, kRtVAlignBaseline = 3 };

enum : int {
    kRtBorderNone = 0,
    kRtBorderSolid = 1,
    kRtBorderDashed = 2,
    kRtBorderDotted = 3,
    kRtBorderDashDot = 4,
    kRtBorderDashDotDot = 5,
    kRtBorderDouble = 6,
};

enum : int { kRtTransformNone = 0, kRtTransformUpper = 1, kRtTransformLower = 2, kRtTransformCapitalize = 3 };

// TextStyle::linkKind.
enum : int { kRtNoLink = 0, kRtLinkWithTarget = 1, kRtLinkWithoutTarget = 2 };

struct TextStyle {
    std::string tagName;              // stack name of the tag that saved this copy
    int fontSize = 12;                // LOGFONT height in pixels
    int fontWeight = 400;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int overline = 0;                 // drawn by the renderer, not by the font
    std::string fontFace = "Verdana";
    RtColor textColor = 0;
    RtColor backgroundColor = 0xFFFFFF;
    RtColor borderColorLight = 0;     // left and top edges
    RtColor borderColorDark = 0;      // right and bottom edges
    RtColor gradientMiddleColor = 0xFFFFFF;
    RtColor gradientEndColor = 0xFFFFFF;
    int backgroundMode = kRtTransparent;
    int backgroundEffect = kRtEffectNone;
    std::string backgroundImage;      // "idres:<id>" or "file:<path>"
    int textAlign = kRtAlignLeft;
    int verticalAlign = kRtVAlignBaseline;
    int borderStyle = kRtBorderNone;
    int borderWidth = 0;
    int textTransform = kRtTransformNone;
    // Between a box's border and its content (the "margin-*" declarations
    // and "cellpadding").
    int innerLeft = 2;
    int innerRight = 2;
    int innerTop = 2;
    int innerBottom = 2;
    // Outside a box's background and border ("padding-*", "cellspacing").
    int outerLeft = 0;
    int outerRight = 0;
    int outerTop = 0;
    int outerBottom = 0;
    int linkKind = kRtNoLink;
    std::string linkTarget;

    // Back to the values above, with the base font's height and face.
    void Reset(int baseFontSize, const std::string& baseFace);

    // Setters of the string fields that keep them within their limits.
    void SetFace(const std::string& face);
    void SetBackgroundImage(const std::string& text);
    void SetLinkTarget(const std::string& target);
};

// Size of a border drawn around a box: its width, three times it for a
// double border (used to move rectangles inside a border).
inline int BorderInset(const TextStyle& s)
{
    return s.borderStyle == kRtBorderDouble ? 3 * s.borderWidth : s.borderWidth;
}

#endif

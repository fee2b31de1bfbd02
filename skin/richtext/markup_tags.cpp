#include "skin/richtext/markup_tags.h"

namespace {

int ReadInt(const std::string& value, int lo, int hi) { return RtClamp(ParseBasedInteger(value), lo, hi); }

}  // namespace

int ReadStyleLetters(const std::string& letters, const ShadowSettings& shadow)
{
    int bits = 0;
    for (const char c : letters) {
        if (c == 'g')
            bits |= kRtEffectGrey;
        else if (c == 'd')
            bits |= kRtEffectDarker;
        else if (c == 'l')
            bits |= kRtEffectLighter;
        else if (c == 's' && (shadow.offsetX != 0 || shadow.offsetY != 0))
            bits |= shadow.soft ? kRtEffectSoftShadow : kRtEffectShadow;
    }
    return bits;
}

ImageAttributes ReadImageAttributes(const MarkupTag& tag, const ColorNameMap& colors,
                                    const ShadowSettings& shadow)
{
    ImageAttributes a;
    for (const auto& [name, value] : tag.attributes) {
        if (name == "index") {
            a.index = ReadInt(value, -1, 1 << 30);
        } else if (name == "idres") {
            a.resourceId = ReadInt(value, 0, 0xFFFF);
        } else if (name == "iddll") {
            a.dllResourceId = ReadInt(value, 0, 0xFFFF);
        } else if (name == "handle") {
            const long long v = ParseBasedInteger(value);
            a.handle = v < 0 ? 0 : uint32_t(v);
        } else if (name == "file") {
            a.file = value.substr(0, rtlimits::kMaxImageText);
        } else if (name == "srcdll") {
            a.sourceDll = value.substr(0, rtlimits::kMaxImageText);
        } else if (name == "mask") {
            a.keyColor = ParseColorValue(value, a.keyColor, colors);
            a.keyed = true;
        } else if (name == "style") {
            a.style = a.hotStyle = ReadStyleLetters(value, shadow);
        } else if (name == "hotstyle") {
            a.hotStyle = ReadStyleLetters(value, shadow);
        } else if (name == "cx") {
            a.cellWidth = ReadInt(value, 0, rtlimits::kMaxLength);
        } else if (name == "cy") {
            a.cellHeight = ReadInt(value, 0, rtlimits::kMaxLength);
        } else if (name == "width") {
            a.width = value.substr(0, 64);
        } else if (name == "height") {
            a.height = value.substr(0, 64);
        }
    }
    return a;
}

void ApplyFontAttributes(TextStyle& s, const MarkupTag& tag, LengthMetrics& metrics, const ColorNameMap& colors)
{
    for (const auto& [name, value] : tag.attributes) {
        if (name == "face") {
            s.SetFace(value);
        } else if (name == "size") {
            s.fontSize = ParseLengthValue(value, s.fontSize, metrics, true);
        } else if (name == "color") {
            s.textColor = ParseColorValue(value, s.textColor, colors);
        } else if (name == "weight") {
            s.fontWeight = ParseFontWeight(value, s.fontWeight);
        } else if (name == "style") {
            bool off = false;
            for (const char c : value) {
                const int set = off ? 0 : 1;
                switch (c) {
                case '-': off = true; continue;
                case 'b': s.fontWeight = off ? 400 : 700; break;
                case 'i': s.italic = set; break;
                case 'u': s.underline = set; break;
                case 's': s.strikeOut = set; break;
                case 'o': s.overline = set; break;
                default: break;
                }
                off = false;
            }
        } else if (name == "bkgnd") {
            if (value.empty() || value == "transparent") {
                s.backgroundMode = kRtTransparent;
            } else {
                s.backgroundMode = kRtOpaque;
                s.backgroundColor = ParseColorValue(value, s.backgroundColor, colors);
            }
        }
    }
}

BoxAttributes ApplyBoxAttributes(TextStyle& s, const MarkupTag& tag, LengthMetrics& metrics,
                                 const ColorNameMap& colors)
{
    BoxAttributes box;
    for (const auto& [name, value] : tag.attributes) {
        if (name == "colspan") {
            box.colspan = ReadInt(value, 1, rtlimits::kMaxTableColumns);
        } else if (name == "rowspan") {
            box.rowspan = ReadInt(value, 1, rtlimits::kMaxTableRows);
        } else if (name == "border") {
            s.borderWidth = ParseBorderWidth(value, s.borderWidth, metrics);
            if (s.borderWidth == 0)
                s.borderStyle = kRtBorderNone;
            else if (s.borderStyle == kRtBorderNone)
                s.borderStyle = kRtBorderSolid;
        } else if (name == "borderstyle") {
            s.borderStyle = ParseBorderStyle(value, s.borderStyle);
        } else if (name == "bordercolor") {
            s.borderColorLight = ParseColorValue(value, s.borderColorLight, colors);
            s.borderColorDark = ParseColorValue(value, s.borderColorDark, colors);
        } else if (name == "bordercolorlight") {
            s.borderColorLight = ParseColorValue(value, s.borderColorLight, colors);
        } else if (name == "bordercolordark") {
            s.borderColorDark = ParseColorValue(value, s.borderColorDark, colors);
        } else if (name == "bgcolor") {
            s.backgroundColor = ParseColorValue(value, s.backgroundColor, colors);
            if (s.backgroundEffect == kRtEffectNone)
                s.backgroundEffect = kRtEffectSolid;
        } else if (name == "bgmidcolor") {
            s.gradientMiddleColor = ParseColorValue(value, s.gradientMiddleColor, colors);
        } else if (name == "bgendcolor") {
            s.gradientEndColor = ParseColorValue(value, s.gradientEndColor, colors);
        } else if (name == "bgeffect") {
            s.backgroundEffect = ParseBackgroundEffect(value, s.backgroundEffect, metrics);
        } else if (name == "align") {
            s.textAlign = ParseTextAlign(value, s.textAlign);
        } else if (name == "valign") {
            s.verticalAlign = ParseVerticalAlign(value, s.verticalAlign);
        } else if (name == "cellpadding") {
            s.innerLeft = ParseLengthValue(value, s.innerLeft, metrics);
            s.innerRight = ParseLengthValue(value, s.innerRight, metrics);
            s.innerTop = ParseLengthValue(value, s.innerTop, metrics);
            s.innerBottom = ParseLengthValue(value, s.innerBottom, metrics);
        } else if (name == "cellspacing") {
            s.outerLeft = ParseLengthValue(value, s.outerLeft, metrics);
            s.outerRight = ParseLengthValue(value, s.outerRight, metrics);
            s.outerTop = ParseLengthValue(value, s.outerTop, metrics);
            s.outerBottom = ParseLengthValue(value, s.outerBottom, metrics);
        } else if (name == "background") {
            s.SetBackgroundImage(value);
        } else if (name == "width") {
            box.width = value.substr(0, 64);
        }
    }
    return box;
}

RuleAttributes ReadRuleAttributes(const MarkupTag& tag, const TextStyle& style, LengthMetrics& metrics,
                                  const ColorNameMap& colors)
{
    RuleAttributes r;
    r.color = style.textColor;
    for (const auto& [name, value] : tag.attributes) {
        if (name == "width") {
            if (IsPercentValue(value)) {
                r.percent = true;
                r.width = RtClamp(PercentNumber(value), 0, 100000);
            } else if (!value.empty()) {
                r.percent = false;
                r.width = ParseLengthValue(value, 0, metrics);
            }
        } else if (name == "size") {
            r.thickness = ParseLengthValue(value, r.thickness, metrics);
        } else if (name == "color") {
            r.color = ParseColorValue(value, r.color, colors);
        }
    }
    return r;
}

int ReadStringId(const MarkupTag& tag)
{
    int id = 0;
    for (const auto& [name, value] : tag.attributes)
        if (name == "idres" || name == "iddll")
            id = ReadInt(value, 0, 0xFFFF);
    return id;
}

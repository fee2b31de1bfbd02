// Value forms of style declarations and markup attributes: integers with a
// base prefix, colours, lengths with units, and the enumerated keywords.
// A value that does not parse leaves the field it would set unchanged, so
// every parser takes the current value and returns the new one.
#ifndef QUORBEL_SKIN_RICHTEXT_RICH_VALUES_H
#define QUORBEL_SKIN_RICHTEXT_RICH_VALUES_H

#include <map>
#include <string>

#include "skin/richtext/rich_types.h"

using ColorNameMap = std::map<std::string, RtColor>;

// What lengths in "em", "ex" and the absolute units are measured against:
// the font selected when the value is read, and the device.
class LengthMetrics {
public:
    virtual ~LengthMetrics() = default;
    virtual int FontHeight() = 0;      // tmHeight of the selected font
    virtual int XHeight() = 0;         // height of the text "x" in it
    virtual int PixelsPerInchY() = 0;  // LOGPIXELSY
};

// An integer whose base comes from its prefix: "0x" hexadecimal, a leading
// "0" octal, otherwise decimal; an optional sign; reading stops at the
// first character that is not a digit of the base. Saturates at the int
// range. ok (when given) tells whether any digit was read.
long long ParseBasedInteger(const std::string& text, bool* ok = nullptr);
// Leading decimal digits (optional sign), saturating; 0 when there are none.
long long ParseDecimal(const std::string& text, bool* ok = nullptr);

// A colour: "#rrggbb" (exactly 7 characters), a number taken as the
// COLORREF itself, or a name of the map (exactly as written).
RtColor ParseColorValue(const std::string& text, RtColor current, const ColorNameMap& names);

// A length: "n%" of the current value, a number with a unit (px, em, ex,
// in, cm, mm, pt, pc) or a plain number of pixels. fontSize maps the plain
// numbers 1 to 7 to the classic font sizes. Results are clamped to
// [0, rtlimits::kMaxLength].
int ParseLengthValue(const std::string& text, int current, LengthMetrics& metrics, bool fontSize = false);

// Whether a value is a percentage, and its number (for image and table
// widths, which keep percentages apart from lengths).
bool IsPercentValue(const std::string& text);
int PercentNumber(const std::string& text);

// Enumerated keywords; an unknown word leaves the value.
int ParseFontWeight(const std::string& text, int current);
int ParseTextAlign(const std::string& text, int current);
int ParseVerticalAlign(const std::string& text, int current);
int ParseBorderStyle(const std::string& text, int current);
int ParseTextTransform(const std::string& text, int current);
// "thin", "medium", "thick" or a length.
int ParseBorderWidth(const std::string& text, int current, LengthMetrics& metrics);
// Background effect names ("solid", "hgradient", ...) or a number.
int ParseBackgroundEffect(const std::string& text, int current, LengthMetrics& metrics);

// Text helpers.
std::string ToLowerAscii(std::string text);
inline bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
inline bool IsAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

#endif

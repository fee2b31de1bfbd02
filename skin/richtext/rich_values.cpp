#include "skin/richtext/rich_values.h"

#include <climits>
#include <cstdint>

int RtMulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    long long product = (long long)a * b;
    long long divisor = c;
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    // Round halves away from zero.
    const long long result = product >= 0 ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
    if (result > INT_MAX || result < -INT_MAX)
        return -1;
    return int(result);
}

std::string ToLowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

namespace {

// Saturation bounds of the integer readers: every int and every COLORREF.
constexpr long long kIntegerLow = INT_MIN;
constexpr long long kIntegerHigh = UINT32_MAX;

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

long long ReadDigits(const std::string& text, size_t pos, int base, bool negative, bool* ok)
{
    long long value = 0;
    bool any = false;
    for (; pos < text.size(); ++pos) {
        const int d = DigitValue(text[pos]);
        if (d >= base)
            break;
        any = true;
        if (value <= kIntegerHigh)
            value = value * base + d;  // saturated below, never past 2^36
    }
    if (ok)
        *ok = any;
    if (negative)
        value = -value;
    return value < kIntegerLow ? kIntegerLow : value > kIntegerHigh ? kIntegerHigh : value;
}

size_t SkipSpaceAndSign(const std::string& text, bool* negative)
{
    size_t pos = 0;
    while (pos < text.size() && IsAsciiSpace(text[pos]))
        ++pos;
    *negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        *negative = text[pos] == '-';
        ++pos;
    }
    return pos;
}

int ClampLength(long long v) { return RtClamp(v, 0, rtlimits::kMaxLength); }

}  // namespace

long long ParseBasedInteger(const std::string& text, bool* ok)
{
    bool negative;
    size_t pos = SkipSpaceAndSign(text, &negative);
    int base = 10;
    if (pos < text.size() && text[pos] == '0') {
        if (pos + 2 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
            DigitValue(text[pos + 2]) < 16) {
            base = 16;
            pos += 2;
        } else {
            base = 8;
        }
    }
    return ReadDigits(text, pos, base, negative, ok);
}

long long ParseDecimal(const std::string& text, bool* ok)
{
    bool negative;
    const size_t pos = SkipSpaceAndSign(text, &negative);
    return ReadDigits(text, pos, 10, negative, ok);
}

RtColor ParseColorValue(const std::string& text, RtColor current, const ColorNameMap& names)
{
    if (text.empty())
        return current;
    if (text[0] == '#') {
        if (text.size() != 7)
            return current;
        int rgb[3];
        for (int i = 0; i < 3; ++i) {
            const int hi = DigitValue(text[1 + 2 * i]);
            const int lo = DigitValue(text[2 + 2 * i]);
            if (hi > 15 || lo > 15)
                return current;
            rgb[i] = hi * 16 + lo;
        }
        return RtRgb(rgb[0], rgb[1], rgb[2]);
    }
    if (text[0] >= '0' && text[0] <= '9') {
        const long long v = ParseBasedInteger(text);
        return RtColor(v < 0 ? 0 : v);
    }
    const auto it = names.find(text);
    return it == names.end() ? current : it->second;
}

bool IsPercentValue(const std::string& text) { return !text.empty() && text.back() == '%'; }

int PercentNumber(const std::string& text)
{
    const long long n = ParseDecimal(text.substr(0, text.empty() ? 0 : text.size() - 1));
    return RtClamp(n, INT_MIN + 1, INT_MAX);
}

int ParseLengthValue(const std::string& text, int current, LengthMetrics& metrics, bool fontSize)
{
    if (text.empty())
        return current;
    if (IsPercentValue(text))
        return ClampLength(RtMulDiv(current, PercentNumber(text), 100));
    std::string body = text;
    if (body[0] == '+' || body[0] == '-')
        body.erase(0, 1);
    if (body.size() >= 2) {
        const std::string unit = body.substr(body.size() - 2);
        const long long n = ParseDecimal(body.substr(0, body.size() - 2));
        if (unit == "px")
            return ClampLength(n);
        if (unit == "em")
            return ClampLength(n * metrics.FontHeight());
        if (unit == "ex")
            return ClampLength(n * metrics.XHeight());
        if (unit == "in")
            return ClampLength(n * metrics.PixelsPerInchY());
        if (unit == "cm")
            return ClampLength((long long)(double(n) * metrics.PixelsPerInchY() * 0.39370078740157477));
        if (unit == "mm")
            return ClampLength((long long)(double(n) * metrics.PixelsPerInchY() * 0.03937007874015748));
        if (unit == "pt")
            return ClampLength(n * metrics.PixelsPerInchY() / 72);
        if (unit == "pc")
            return ClampLength(n * metrics.PixelsPerInchY() / 6);
    }
    const long long n = ParseBasedInteger(body);
    if (fontSize && n >= 1 && n <= 7) {
        static const int kClassicSizes[7] = {8, 10, 12, 14, 18, 24, 36};
        return kClassicSizes[n - 1];
    }
    return ClampLength(n);
}

int ParseFontWeight(const std::string& text, int current)
{
    if (text.empty() || text == "normal")
        return 400;
    if (text == "bold")
        return 700;
    if (text == "bolder")
        return 900;
    if (text == "lighter")
        return 100;
    bool ok = false;
    const long long v = ParseBasedInteger(text, &ok);
    return ok ? RtClamp(v, 0, 1000) : current;
}

int ParseTextAlign(const std::string& text, int current)
{
    if (text.empty() || text == "left")
        return 0;
    if (text == "center")
        return 1;
    if (text == "right")
        return 2;
    return current;
}

int ParseVerticalAlign(const std::string& text, int current)
{
    if (text.empty() || text == "baseline")
        return 3;
    if (text == "middle" || text == "vcenter")
        return 1;
    if (text == "top")
        return 0;
    if (text == "bottom")
        return 2;
    return current;
}

int ParseBorderStyle(const std::string& text, int current)
{
    if (text.empty() || text == "none")
        return 0;
    if (text == "solid")
        return 1;
    if (text == "dashed")
        return 2;
    if (text == "dotted")
        return 3;
    if (text == "double")
        return 6;
    return current;
}

int ParseTextTransform(const std::string& text, int current)
{
    if (text.empty() || text == "none")
        return 0;
    if (text == "uppercase")
        return 1;
    if (text == "lowercase")
        return 2;
    if (text == "capitalize")
        return 3;
    return current;
}

int ParseBorderWidth(const std::string& text, int current, LengthMetrics& metrics)
{
    if (text == "thin")
        return ClampLength(RtMulDiv(current, 75, 100));
    if (text == "thick")
        return ClampLength(RtMulDiv(current, 125, 100));
    if (text == "medium")
        return current;
    return ParseLengthValue(text, current, metrics);
}

int ParseBackgroundEffect(const std::string& text, int current, LengthMetrics& metrics)
{
    static const char* const kNames[] = {"transparent", "solid",      "hgradient",  "vgradient",
                                         "hcgradient",  "vcgradient", "3hgradient", "3vgradient"};
    for (int i = 0; i < 8; ++i)
        if (text == kNames[i])
            return i - 1;
    return ParseLengthValue(text, current, metrics);
}

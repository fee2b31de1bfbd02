#include "skin/richtext/style_sheet.h"

#include <algorithm>

namespace {

bool StartsName(char c) { return IsAsciiAlnum(c) || c == '.'; }

size_t SkipToName(const std::string& text, size_t pos)
{
    while (pos < text.size() && !StartsName(text[pos]))
        ++pos;
    return pos;
}

size_t SkipSpaces(const std::string& text, size_t pos)
{
    while (pos < text.size() && IsAsciiSpace(text[pos]))
        ++pos;
    return pos;
}

std::string TrimTrailingSpaces(std::string text)
{
    while (!text.empty() && IsAsciiSpace(text.back()))
        text.pop_back();
    return text;
}

// "underline line-through", "underline,overline", "none".
void ApplyTextDecoration(TextStyle& style, const std::string& value)
{
    if (value.empty()) {
        style.underline = style.strikeOut = style.overline = 0;
        return;
    }
    size_t pos = 0;
    while (pos < value.size()) {
        while (pos < value.size() && (IsAsciiSpace(value[pos]) || value[pos] == ','))
            ++pos;
        const size_t start = pos;
        while (pos < value.size() && !IsAsciiSpace(value[pos]) && value[pos] != ',')
            ++pos;
        const std::string word = value.substr(start, pos - start);
        if (word == "none")
            style.underline = style.strikeOut = style.overline = 0;
        else if (word == "underline")
            style.underline = 1;
        else if (word == "line-through")
            style.strikeOut = 1;
        else if (word == "overline")
            style.overline = 1;
    }
}

void ApplyDeclaration(TextStyle& s, const std::string& name, const std::string& value, LengthMetrics& m,
                      const ColorNameMap& colors)
{
    if (name == "font-size") {
        s.fontSize = ParseLengthValue(value, s.fontSize, m, true);
    } else if (name == "font-family") {
        if (!value.empty())
            s.SetFace(value);
    } else if (name == "font-style") {
        if (value.empty() || value == "normal")
            s.italic = 0;
        else if (value == "italic" || value == "oblique")
            s.italic = 1;
    } else if (name == "font-weight") {
        s.fontWeight = ParseFontWeight(value, s.fontWeight);
    } else if (name == "text-align") {
        s.textAlign = ParseTextAlign(value, s.textAlign);
    } else if (name == "text-transform") {
        s.textTransform = ParseTextTransform(value, s.textTransform);
    } else if (name == "color") {
        s.textColor = ParseColorValue(value, s.textColor, colors);
    } else if (name == "background-color") {
        if (value.empty() || value == "transparent") {
            s.backgroundMode = kRtTransparent;
        } else {
            s.backgroundMode = kRtOpaque;
            s.backgroundColor = ParseColorValue(value, s.backgroundColor, colors);
        }
    } else if (name == "text-decoration") {
        ApplyTextDecoration(s, value);
    } else if (name == "vertical-align") {
        s.verticalAlign = ParseVerticalAlign(value, s.verticalAlign);
    } else if (name == "border-color") {
        s.borderColorLight = ParseColorValue(value, s.borderColorLight, colors);
        s.borderColorDark = ParseColorValue(value, s.borderColorDark, colors);
    } else if (name == "border-width" || name == "size") {
        s.borderWidth = ParseBorderWidth(value, s.borderWidth, m);
    } else if (name == "border-style") {
        s.borderStyle = ParseBorderStyle(value, s.borderStyle);
    } else if (name == "margin-left") {
        s.innerLeft = ParseLengthValue(value, s.innerLeft, m);
    } else if (name == "margin-right") {
        s.innerRight = ParseLengthValue(value, s.innerRight, m);
    } else if (name == "margin-top") {
        s.innerTop = ParseLengthValue(value, s.innerTop, m);
    } else if (name == "margin-bottom") {
        s.innerBottom = ParseLengthValue(value, s.innerBottom, m);
    } else if (name == "padding-left") {
        s.outerLeft = ParseLengthValue(value, s.outerLeft, m);
    } else if (name == "padding-right") {
        s.outerRight = ParseLengthValue(value, s.outerRight, m);
    } else if (name == "padding-top") {
        s.outerTop = ParseLengthValue(value, s.outerTop, m);
    } else if (name == "padding-bottom") {
        s.outerBottom = ParseLengthValue(value, s.outerBottom, m);
    }
}

}  // namespace

const char* RichStyleSheet::BuiltInText()
{
    return "body {font-size: 10pt; color:black; font-family:Verdana}\r\n"
           "p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
           "h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\r\n"
           "h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
           "h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\r\n"
           "pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\r\n"
           "code {color:#990000; font-family:Arial}\r\n"
           "a:link {text-decoration:none; color:blue}\r\n"
           "a:hover {text-decoration:underline; color:blue}\r\n"
           "sub {font-size:65%; vertical-align:bottom}\r\n"
           "sup {font-size:65%; vertical-align:top}\r\n"
           "big {font-size:125%}\r\n"
           "small {font-size:75%}\r\n"
           ".cpp-comment {color:green; font-style:italic}\r\n";
}

void RichStyleSheet::SetStyleSheet(const char* text)
{
    rules_.clear();
    if (!text)
        text = BuiltInText();
    text_ = text;
    const std::string& s = text_;
    size_t pos = 0;
    for (;;) {
        pos = SkipToName(s, pos);
        if (pos >= s.size())
            return;
        size_t end = pos;
        while (end < s.size() && !IsAsciiSpace(s[end]) && s[end] != '{')
            ++end;
        const std::string selector = ToLowerAscii(s.substr(pos, end - pos));
        const size_t open = s.find('{', end);
        if (open == std::string::npos)
            return;
        const size_t close = s.find('}', open + 1);
        if (close == std::string::npos)
            return;
        // Very long rules are cut: every use of a rule reads it again.
        const size_t length = std::min<size_t>(close - open - 1, rtlimits::kMaxRuleText);
        rules_[selector] = ToLowerAscii(s.substr(open + 1, length));
        pos = close + 1;
    }
}

const std::string* RichStyleSheet::FindRule(const std::string& name) const
{
    const auto it = rules_.find(ToLowerAscii(name));
    return it == rules_.end() ? nullptr : &it->second;
}

void ApplyDeclarations(TextStyle& style, const std::string& declarations, LengthMetrics& metrics,
                       const ColorNameMap& colors)
{
    const std::string text = ToLowerAscii(declarations);
    size_t pos = 0;
    for (;;) {
        pos = SkipToName(text, pos);
        if (pos >= text.size())
            return;
        size_t end = pos;
        while (end < text.size() && !IsAsciiSpace(text[end]) && text[end] != ':')
            ++end;
        const std::string name = text.substr(pos, end - pos);
        pos = SkipSpaces(text, end);
        if (pos >= text.size() || text[pos] != ':') {
            pos = text.find(';', pos);  // not a declaration: on to the next one
            if (pos == std::string::npos)
                return;
            continue;
        }
        pos = SkipSpaces(text, pos + 1);
        std::string value;
        if (pos < text.size() && text[pos] == '"') {
            const size_t quote = text.find('"', pos + 1);
            const size_t stop = quote == std::string::npos ? text.size() : quote;
            value = text.substr(pos + 1, stop - pos - 1);
            pos = quote == std::string::npos ? text.size() : quote + 1;
        } else {
            size_t stop = text.find(';', pos);
            if (stop == std::string::npos)
                stop = text.size();
            // Spaces before the ";" or the closing brace are not part of the
            // value ("color: red }").
            value = TrimTrailingSpaces(text.substr(pos, stop - pos));
            pos = stop;
        }
        ApplyDeclaration(style, name, value, metrics, colors);
    }
}

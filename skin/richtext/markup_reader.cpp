#include "skin/richtext/markup_reader.h"


#include "skin/richtext/rich_types.h"
#include "skin/richtext/rich_values.h"

namespace {

struct TagName {
    const char* name;
    TagId id;
};

const TagName kTagNames[] = {
    {"b", TagId::Bold},         {"i", TagId::Italic},       {"em", TagId::Italic},
    {"u", TagId::Underline},    {"s", TagId::Strike},       {"strike", TagId::Strike},
    {"font", TagId::Font},      {"left", TagId::Left},      {"center", TagId::Center},
    {"right", TagId::Right},    {"top", TagId::Top},        {"baseline", TagId::Baseline},
    {"bottom", TagId::Bottom},  {"middle", TagId::VCenter}, {"vcenter", TagId::VCenter},
    {"body", TagId::Body},      {"h1", TagId::H1},          {"h2", TagId::H2},
    {"h3", TagId::H3},          {"h4", TagId::H4},          {"h5", TagId::H5},
    {"h6", TagId::H6},          {"code", TagId::Code},      {"pre", TagId::Pre},
    {"big", TagId::Big},        {"small", TagId::Small},    {"sub", TagId::Sub},
    {"sup", TagId::Sup},        {"span", TagId::Span},      {"a", TagId::Anchor},
    {"hr", TagId::Hr},          {"br", TagId::Br},          {"t", TagId::Tab},
    {"bmp", TagId::Bmp},        {"icon", TagId::Icon},      {"ilst", TagId::Ilst},
    {"string", TagId::String},  {"table", TagId::Table},    {"tr", TagId::Tr},
    {"td", TagId::Td},
};

bool StartsAttributeName(char c) { return IsAsciiAlnum(c) || c == '.'; }

// Tag names and unquoted values end at any white space, so a tag broken
// over lines reads like one written on a single line.
size_t NameEnd(const std::string& text, size_t pos)
{
    while (pos < text.size() && !IsAsciiSpace(text[pos]) && text[pos] != '=')
        ++pos;
    return pos;
}

size_t SkipSpaces(const std::string& text, size_t pos)
{
    while (pos < text.size() && IsAsciiSpace(text[pos]))
        ++pos;
    return pos;
}

}  // namespace

TagId LookupTag(const std::string& lowerName)
{
    for (const TagName& t : kTagNames)
        if (lowerName == t.name)
            return t.id;
    return TagId::Unknown;
}

const char* TagStackName(TagId id)
{
    switch (id) {
    case TagId::Bold: return "bold";
    case TagId::Italic: return "italic";
    case TagId::Underline: return "underline";
    case TagId::Strike: return "strikeout";
    case TagId::Font: return "font";
    case TagId::Left: return "left";
    case TagId::Center: return "center";
    case TagId::Right: return "right";
    case TagId::Top: return "top";
    case TagId::Baseline: return "baseline";
    case TagId::Bottom: return "bottom";
    case TagId::VCenter: return "vcenter";
    case TagId::Body: return "body";
    case TagId::H1: return "h1";
    case TagId::H2: return "h2";
    case TagId::H3: return "h3";
    case TagId::H4: return "h4";
    case TagId::H5: return "h5";
    case TagId::H6: return "h6";
    case TagId::Code: return "code";
    case TagId::Pre: return "pre";
    case TagId::Big: return "big";
    case TagId::Small: return "small";
    case TagId::Sub: return "sub";
    case TagId::Sup: return "sup";
    case TagId::Span: return "span";
    case TagId::Anchor: return "link";
    case TagId::Table: return "table";
    case TagId::Tr: return "tr";
    case TagId::Td: return "td";
    default: return nullptr;
    }
}

void ReadTagName(const std::string& text, size_t start, size_t end, std::string* lowerName, bool* closing)
{
    size_t pos = start;
    *closing = pos < end && text[pos] == '/';
    if (*closing)
        ++pos;
    while (pos < end && IsAsciiSpace(text[pos]))
        ++pos;
    lowerName->clear();
    // Known names are short; a longer one is unknown however it goes on.
    for (; pos < end && !IsAsciiSpace(text[pos]) && text[pos] != '=' && lowerName->size() <= 16; ++pos)
        *lowerName += text[pos] >= 'A' && text[pos] <= 'Z' ? char(text[pos] - 'A' + 'a') : text[pos];
}

MarkupTag ReadTag(const std::string& tagText)
{
    MarkupTag tag;
    const std::string text = ToLowerAscii(tagText);
    size_t pos = 0;
    tag.closing = !text.empty() && text[0] == '/';
    if (tag.closing)
        pos = 1;
    pos = SkipSpaces(text, pos);
    size_t end = NameEnd(text, pos);
    tag.name = text.substr(pos, end - pos);

    // "br=3", "t = 2": a count right after the name.
    size_t countPos = SkipSpaces(text, end);
    if (countPos < text.size() && text[countPos] == '=') {
        bool ok = false;
        const long long n = ParseDecimal(text.substr(SkipSpaces(text, countPos + 1)), &ok);
        if (ok)
            tag.count = RtClamp(n, 1, rtlimits::kMaxBreakCount);
    }

    pos = end;
    for (;;) {
        while (pos < text.size() && !StartsAttributeName(text[pos]))
            ++pos;
        if (pos >= text.size())
            break;
        end = NameEnd(text, pos);
        std::string name = text.substr(pos, end - pos);
        std::string value;
        pos = SkipSpaces(text, end);
        if (pos < text.size() && text[pos] == '=') {
            pos = SkipSpaces(text, pos + 1);
            if (pos < text.size() && text[pos] == '"') {
                const size_t quote = text.find('"', pos + 1);
                if (quote == std::string::npos) {
                    pos = text.size();  // no closing quote: no value
                } else {
                    value = text.substr(pos + 1, quote - pos - 1);
                    pos = quote + 1;
                }
            } else {
                const size_t start = pos;
                while (pos < text.size() && !IsAsciiSpace(text[pos]))
                    ++pos;
                value = text.substr(start, pos - start);
            }
        }
        tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    return tag;
}

void MarkupTokens::Tokenize(const std::string& text, bool breakCharacters)
{
    text_ = text;
    breakCharacters_ = breakCharacters;
    tokens_.clear();
    tableEnd_.clear();
    const std::string& s = text_;
    const size_t n = s.size();
    size_t pos = 0;
    size_t runStart = 0;
    auto endRun = [&](size_t runEnd) {
        if (runEnd > runStart)
            tokens_.push_back({MarkupTokenKind::Run, false, TagId::Unknown, uint32_t(runStart),
                               uint32_t(runEnd - runStart)});
    };
    while (pos < n) {
        const char c = s[pos];
        if (c == '\t' || c == '\n' || c == '\r') {
            if (!breakCharacters) {
                ++pos;
                continue;
            }
            endRun(pos);
            const MarkupTokenKind kind = c == '\t'   ? MarkupTokenKind::Tab
                                         : c == '\n' ? MarkupTokenKind::LineFeed
                                                     : MarkupTokenKind::CarriageReturn;
            tokens_.push_back({kind, false, TagId::Unknown, uint32_t(pos), 1});
            runStart = ++pos;
            continue;
        }
        if (c != '<') {
            ++pos;
            continue;
        }
        if (pos + 1 >= n || s[pos + 1] == '<') {
            pos += 2;  // "<<", or a "<" that ends the text: one "<" of the run
            continue;
        }
        endRun(pos);
        const size_t tagStart = pos + 1;
        size_t close = s.find('>', tagStart);
        const size_t tagEnd = close == std::string::npos ? n : close;
        MarkupToken token{MarkupTokenKind::Tag, false, TagId::Unknown, uint32_t(tagStart),
                          uint32_t(tagEnd - tagStart)};
        std::string name;
        ReadTagName(s, tagStart, tagEnd, &name, &token.closing);
        token.tag = LookupTag(name);
        tokens_.push_back(token);
        pos = close == std::string::npos ? n : close + 1;
        runStart = pos;
    }
    endRun(n);

    tableEnd_.assign(tokens_.size(), uint32_t(tokens_.size()));
    std::vector<uint32_t> open;
    for (size_t i = 0; i < tokens_.size(); ++i) {
        if (IsOpen(i, TagId::Table)) {
            open.push_back(uint32_t(i));
        } else if (IsClose(i, TagId::Table) && !open.empty()) {
            tableEnd_[open.back()] = uint32_t(i);
            open.pop_back();
        }
    }
}

std::string MarkupTokens::RunText(const MarkupToken& token) const
{
    std::string out;
    out.reserve(token.length);
    const size_t end = size_t(token.start) + token.length;
    for (size_t i = token.start; i < end; ++i) {
        const char c = text_[i];
        if (c == '<') {
            out += '<';
            ++i;  // the second "<" of "<<" (or past the end)
        } else if (c == '\t' || c == '\n' || c == '\r') {
            if (breakCharacters_)
                out += c;  // not reached: break characters end runs
        } else {
            out += c;
        }
    }
    return out;
}

std::string MarkupTokens::TagText(const MarkupToken& token) const { return text_.substr(token.start, token.length); }

size_t MarkupTokens::TableEnd(size_t i) const { return i < tableEnd_.size() ? tableEnd_[i] : tokens_.size(); }

std::string ApplyTextTransform(const std::string& run, int transform)
{
    std::string out = run;
    switch (transform) {
    case 1:
        for (char& c : out)
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        break;
    case 2:
        out = ToLowerAscii(out);
        break;
    case 3:
        out = ToLowerAscii(out);
        for (size_t i = 0; i < out.size(); ++i)
            if ((i == 0 || out[i - 1] == ' ') && out[i] >= 'a' && out[i] <= 'z')
                out[i] = char(out[i] - 'a' + 'A');
        break;
    default:
        break;
    }
    return out;
}

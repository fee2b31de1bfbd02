// Cutting rich-text markup into text runs and tags, and reading a tag's
// name and attributes. A text is cut once into tokens; the layout walks
// the tokens, so cutting work is linear in the text whatever it holds.
//
// "<<" writes one "<", and so does a "<" that ends the text; there are no
// character entities. A tag without ">" runs to the end of the text. Tab,
// line feed and carriage return end a run and become tags of their own
// (or, with break characters off, are dropped from the run).
#ifndef QUORBEL_SKIN_RICHTEXT_MARKUP_READER_H
#define QUORBEL_SKIN_RICHTEXT_MARKUP_READER_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class MarkupTokenKind : uint8_t { Run, Tag, LineFeed, Tab, CarriageReturn };

// The tags the renderer knows; anything else is Unknown and ignored.
enum class TagId : uint8_t {
    Unknown,
    Bold, Italic, Underline, Strike, Font,
    Left, Center, Right, Top, Baseline, Bottom, VCenter,
    Body, H1, H2, H3, H4, H5, H6, Code, Pre, Big, Small, Sub, Sup,
    Span, Anchor, Hr, Br, Tab, Bmp, Icon, Ilst, String,
    Table, Tr, Td,
};

TagId LookupTag(const std::string& lowerName);
// The name under which an opening tag saves the style ("bold" for "b"), or
// nullptr for tags that save nothing.
const char* TagStackName(TagId id);

struct MarkupToken {
    MarkupTokenKind kind;
    bool closing;   // Tag: written with a leading "/"
    TagId tag;      // Tag: its name
    uint32_t start;   // Run: the raw run text; Tag: the text between "<" and ">"
    uint32_t length;
};

class MarkupTokens {
public:
    MarkupTokens() = default;
    MarkupTokens(const std::string& text, bool breakCharacters) { Tokenize(text, breakCharacters); }
    void Tokenize(const std::string& text, bool breakCharacters);

    const std::vector<MarkupToken>& Tokens() const { return tokens_; }
    size_t size() const { return tokens_.size(); }
    const MarkupToken& operator[](size_t i) const { return tokens_[i]; }

    // The text of a run with "<<" made one "<" (and, with break characters
    // off, tabs and line breaks left out).
    std::string RunText(const MarkupToken& token) const;
    // The raw text of a tag, between "<" and ">".
    std::string TagText(const MarkupToken& token) const;

    // For the "table" tag at index i: the index of the "/table" tag that
    // closes it, or size() when it is never closed. Nested tables count.
    size_t TableEnd(size_t i) const;

    bool IsOpen(size_t i, TagId id) const
    {
        return tokens_[i].kind == MarkupTokenKind::Tag && tokens_[i].tag == id && !tokens_[i].closing;
    }
    bool IsClose(size_t i, TagId id) const
    {
        return tokens_[i].kind == MarkupTokenKind::Tag && tokens_[i].tag == id && tokens_[i].closing;
    }

private:
    std::string text_;
    bool breakCharacters_ = true;
    std::vector<MarkupToken> tokens_;
    std::vector<uint32_t> tableEnd_;  // per token; meaningful for opening "table" tags
};

// One tag read in full. The whole tag text is lower-cased first, attribute
// values included.
struct MarkupTag {
    std::string name;
    bool closing = false;
    std::vector<std::pair<std::string, std::string>> attributes;  // in writing order
    int count = 1;  // "br=3", "t=2": the number after "=" (at least 1)
};

MarkupTag ReadTag(const std::string& tagText);
// Only the name and the closing flag of the tag text text[start, end)
// (what cutting needs).
void ReadTagName(const std::string& text, size_t start, size_t end, std::string* lowerName, bool* closing);

// text-transform of a run: 1 upper case, 2 lower case, 3 lower case with
// the first letter of the run and every letter after a space capitalised.
std::string ApplyTextTransform(const std::string& run, int transform);

#endif

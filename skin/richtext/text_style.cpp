#include "skin/richtext/text_style.h"

namespace {

std::string Cut(const std::string& text, int limit)
{
    return text.size() > size_t(limit) ? text.substr(0, size_t(limit)) : text;
}

}  // namespace

void TextStyle::Reset(int baseFontSize, const std::string& baseFace)
{
    *this = TextStyle();
    fontSize = baseFontSize;
    SetFace(baseFace);
}

void TextStyle::SetFace(const std::string& face) { fontFace = Cut(face, rtlimits::kMaxFaceLength); }

void TextStyle::SetBackgroundImage(const std::string& text) { backgroundImage = Cut(text, rtlimits::kMaxImageText); }

void TextStyle::SetLinkTarget(const std::string& target) { linkTarget = Cut(target, rtlimits::kMaxLinkTarget); }

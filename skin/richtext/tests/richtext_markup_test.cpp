// Cutting markup into runs and tags, reading tags and their attributes.
#include <gtest/gtest.h>

#include "skin/richtext/color_names.h"
#include "skin/richtext/markup_reader.h"
#include "skin/richtext/markup_tags.h"
#include "skin/richtext/tests/fake_canvas.h"

namespace {

// "R:text" for runs, "T:/name" or "T:name" for tags, "LF", "TAB", "CR".
std::vector<std::string> Describe(const std::string& text, bool breakCharacters = true)
{
    MarkupTokens tokens(text, breakCharacters);
    std::vector<std::string> out;
    for (const MarkupToken& t : tokens.Tokens()) {
        switch (t.kind) {
        case MarkupTokenKind::Run: out.push_back("R:" + tokens.RunText(t)); break;
        case MarkupTokenKind::Tag: out.push_back("T:" + tokens.TagText(t)); break;
        case MarkupTokenKind::LineFeed: out.push_back("LF"); break;
        case MarkupTokenKind::Tab: out.push_back("TAB"); break;
        case MarkupTokenKind::CarriageReturn: out.push_back("CR"); break;
        }
    }
    return out;
}

using V = std::vector<std::string>;

TEST(MarkupTokens, RunsAndTags)
{
    EXPECT_EQ(Describe(""), V{});
    EXPECT_EQ(Describe("plain & simple"), V{"R:plain & simple"});
    EXPECT_EQ(Describe("a<b>bold</b>c"), (V{"R:a", "T:b", "R:bold", "T:/b", "R:c"}));
    EXPECT_EQ(Describe("1 << 2"), V{"R:1 < 2"});          // two "<" write one
    EXPECT_EQ(Describe("ends in <"), V{"R:ends in <"});   // so does a last "<"
    EXPECT_EQ(Describe("x<<<b>y"), (V{"R:x<", "T:b", "R:y"}));
    EXPECT_EQ(Describe("a<font color=red"), (V{"R:a", "T:font color=red"}));  // unterminated: to the end
    EXPECT_EQ(Describe("a\tb\r\nc"), (V{"R:a", "TAB", "R:b", "CR", "LF", "R:c"}));
    EXPECT_EQ(Describe("a\tb\r\nc", false), V{"R:abc"});
    EXPECT_EQ(Describe("<>x"), (V{"T:", "R:x"}));
}

TEST(MarkupTokens, TagNamesAndClosing)
{
    MarkupTokens tokens("<B><  Font size=2></FONT><p><table width=5><br=2><TD>", true);
    ASSERT_EQ(tokens.size(), 7u);
    EXPECT_EQ(tokens[0].tag, TagId::Bold);
    EXPECT_EQ(tokens[1].tag, TagId::Font);
    EXPECT_FALSE(tokens[1].closing);
    EXPECT_EQ(tokens[2].tag, TagId::Font);
    EXPECT_TRUE(tokens[2].closing);
    EXPECT_EQ(tokens[3].tag, TagId::Unknown);  // "p" is not a tag of this markup
    EXPECT_EQ(tokens[4].tag, TagId::Table);
    EXPECT_EQ(tokens[5].tag, TagId::Br);
    EXPECT_EQ(tokens[6].tag, TagId::Td);
}

TEST(MarkupTokens, TableEndsCountNesting)
{
    MarkupTokens tokens("<table>a<table>b</table>c</table>d<table>e", true);
    // 0 table, 1 a, 2 table, 3 b, 4 /table, 5 c, 6 /table, 7 d, 8 table, 9 e
    EXPECT_EQ(tokens.TableEnd(0), 6u);
    EXPECT_EQ(tokens.TableEnd(2), 4u);
    EXPECT_EQ(tokens.TableEnd(8), tokens.size());  // never closed
}

TEST(MarkupTokens, HostileTextIsCutInOnePass)
{
    std::string text;
    for (int i = 0; i < 50000; ++i)
        text += "<table>";
    text += std::string(100000, '<');
    MarkupTokens tokens(text, true);
    EXPECT_EQ(tokens.size(), 50001u);
    EXPECT_EQ(tokens.TableEnd(0), tokens.size());
}

TEST(ReadTag, NamesAttributesAndValues)
{
    MarkupTag tag = ReadTag("FONT Face=\"Courier New\" COLOR=Red weight = 700 flag size=\"2");
    EXPECT_EQ(tag.name, "font");
    EXPECT_FALSE(tag.closing);
    ASSERT_EQ(tag.attributes.size(), 5u);
    EXPECT_EQ(tag.attributes[0], std::make_pair(std::string("face"), std::string("courier new")));
    EXPECT_EQ(tag.attributes[1], std::make_pair(std::string("color"), std::string("red")));
    EXPECT_EQ(tag.attributes[2], std::make_pair(std::string("weight"), std::string("700")));
    EXPECT_EQ(tag.attributes[3], std::make_pair(std::string("flag"), std::string()));
    EXPECT_EQ(tag.attributes[4], std::make_pair(std::string("size"), std::string()));  // no closing quote

    tag = ReadTag("/b");
    EXPECT_EQ(tag.name, "b");
    EXPECT_TRUE(tag.closing);
    EXPECT_EQ(ReadTag("br=3").count, 3);
    EXPECT_EQ(ReadTag("t = 2").count, 2);
    EXPECT_EQ(ReadTag("br").count, 1);
    EXPECT_EQ(ReadTag("br=0").count, 1);
    EXPECT_EQ(ReadTag("br=999999999").count, rtlimits::kMaxBreakCount);
}

class TagAttributes : public ::testing::Test {
protected:
    FakeCanvas canvas;
    ColorNameMap colors;
    TextStyle style;
    void SetUp() override { InitColorNames(colors, nullptr); }
};

TEST_F(TagAttributes, FontFaceEndsAtASpaceUnlessQuoted)
{
    ApplyFontAttributes(style, ReadTag("font face=Courier New"), canvas, colors);
    EXPECT_EQ(style.fontFace, "courier");
    ApplyFontAttributes(style, ReadTag("font face=\"Courier New\""), canvas, colors);
    EXPECT_EQ(style.fontFace, "courier new");
}

TEST_F(TagAttributes, FontStyleLettersSizeAndBackground)
{
    ApplyFontAttributes(style, ReadTag("font style=biuso+x size=7 color=#00ff00 bkgnd=yellow"), canvas, colors);
    EXPECT_EQ(style.fontWeight, 700);
    EXPECT_EQ(style.italic + style.underline + style.strikeOut + style.overline, 4);
    EXPECT_EQ(style.fontSize, 36);
    EXPECT_EQ(style.textColor, 0x00FF00u);
    EXPECT_EQ(style.backgroundMode, kRtOpaque);
    EXPECT_EQ(style.backgroundColor, 0x00FFFFu);
    ApplyFontAttributes(style, ReadTag("font style=-b-i-o bkgnd=transparent weight=bolder"), canvas, colors);
    EXPECT_EQ(style.fontWeight, 900);
    EXPECT_EQ(style.italic, 0);
    EXPECT_EQ(style.overline, 0);
    EXPECT_EQ(style.underline, 1);
    EXPECT_EQ(style.backgroundMode, kRtTransparent);
}

TEST_F(TagAttributes, ImageAttributes)
{
    ShadowSettings shadow;
    ImageAttributes a = ReadImageAttributes(
        ReadTag("bmp idres=0x65 file=\"C:\\Pics\\A.bmp\" mask=#00ff00 style=gds hotstyle=l cx=16 cy=8 width=50% height=20"),
        colors, shadow);
    EXPECT_EQ(a.resourceId, 0x65);
    EXPECT_EQ(a.file, "c:\\pics\\a.bmp");  // the tag is lower-cased whole
    EXPECT_TRUE(a.keyed);
    EXPECT_EQ(a.keyColor, 0x00FF00u);
    EXPECT_EQ(a.style, kRtEffectGrey | kRtEffectDarker | kRtEffectSoftShadow);
    EXPECT_EQ(a.hotStyle, kRtEffectLighter);
    EXPECT_EQ(a.cellWidth, 16);
    EXPECT_EQ(a.cellHeight, 8);
    EXPECT_EQ(a.width, "50%");
    EXPECT_EQ(a.height, "20");

    a = ReadImageAttributes(ReadTag("icon iddll=5"), colors, shadow);
    EXPECT_FALSE(a.keyed);
    EXPECT_EQ(a.keyColor, 0xFF00FFu);
    EXPECT_TRUE(a.NamesSource());

    shadow.soft = 0;
    EXPECT_EQ(ReadStyleLetters("s", shadow), kRtEffectShadow);
    shadow.offsetX = shadow.offsetY = 0;
    EXPECT_EQ(ReadStyleLetters("s", shadow), 0);  // no offset, no shadow
}

TEST_F(TagAttributes, BoxAttributes)
{
    BoxAttributes box = ApplyBoxAttributes(
        style,
        ReadTag("td colspan=3 rowspan=2 border=2 bordercolorlight=red bordercolordark=blue bgcolor=white "
                "bgeffect=vgradient bgendcolor=black align=right valign=bottom cellpadding=4 cellspacing=1 "
                "background=idres:7 width=50%"),
        canvas, colors);
    EXPECT_EQ(box.colspan, 3);
    EXPECT_EQ(box.rowspan, 2);
    EXPECT_EQ(box.width, "50%");
    EXPECT_EQ(style.borderWidth, 2);
    EXPECT_EQ(style.borderStyle, kRtBorderSolid);
    EXPECT_EQ(style.borderColorLight, 0x0000FFu);
    EXPECT_EQ(style.borderColorDark, 0xFF0000u);
    EXPECT_EQ(style.backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(style.backgroundEffect, kRtEffectVGradient);
    EXPECT_EQ(style.gradientEndColor, 0u);
    EXPECT_EQ(style.textAlign, kRtAlignRight);
    EXPECT_EQ(style.verticalAlign, kRtVAlignBottom);
    EXPECT_EQ(style.innerLeft + style.innerRight + style.innerTop + style.innerBottom, 16);
    EXPECT_EQ(style.outerLeft + style.outerRight + style.outerTop + style.outerBottom, 4);
    EXPECT_EQ(style.backgroundImage, "idres:7");

    ApplyBoxAttributes(style, ReadTag("table border=0 colspan=99999999"), canvas, colors);
    EXPECT_EQ(style.borderStyle, kRtBorderNone);
    EXPECT_EQ(ApplyBoxAttributes(style, ReadTag("td colspan=99999999"), canvas, colors).colspan,
              rtlimits::kMaxTableColumns);
    TextStyle fresh;
    ApplyBoxAttributes(fresh, ReadTag("td bgcolor=red"), canvas, colors);
    EXPECT_EQ(fresh.backgroundEffect, kRtEffectSolid);  // a colour without an effect is solid
}

TEST(TextTransform, Modes)
{
    EXPECT_EQ(ApplyTextTransform("hello World-wide web", 0), "hello World-wide web");
    EXPECT_EQ(ApplyTextTransform("hello World", 1), "HELLO WORLD");
    EXPECT_EQ(ApplyTextTransform("Hello WORLD", 2), "hello world");
    EXPECT_EQ(ApplyTextTransform("hELLO wORLD-wide  web", 3), "Hello World-wide  Web");
    EXPECT_EQ(ApplyTextTransform(" x", 3), " X");
}

}  // namespace

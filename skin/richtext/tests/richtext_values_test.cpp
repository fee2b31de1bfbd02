// Values, colour names and style sheets of the rich-text renderer.
#include <gtest/gtest.h>

#include "skin/richtext/color_names.h"
#include "skin/richtext/rich_values.h"
#include "skin/richtext/style_sheet.h"
#include "skin/richtext/tests/fake_canvas.h"

namespace {

// Metrics for lengths: tmHeight 16, "x" 8 high, 96 dots per inch.
class FixedMetrics : public LengthMetrics {
public:
    int FontHeight() override { return 16; }
    int XHeight() override { return 8; }
    int PixelsPerInchY() override { return 96; }
};

ColorNameMap WebColors()
{
    ColorNameMap map;
    InitColorNames(map, nullptr);
    return map;
}

TEST(RichValues, MulDivRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(RtMulDiv(255, 50, 100), 128);  // 127.5
    EXPECT_EQ(RtMulDiv(-255, 50, 100), -128);
    EXPECT_EQ(RtMulDiv(13, 65, 100), 8);
    EXPECT_EQ(RtMulDiv(5, 7, 0), -1);
    EXPECT_EQ(RtMulDiv(0x7FFFFFFF, 4, 1), -1);
}

TEST(RichValues, BasedIntegers)
{
    struct Case {
        const char* text;
        long long value;
        bool ok;
    } cases[] = {
        {"255", 255, true},  {"0x1F", 31, true},   {"010", 8, true},   {"0", 0, true},
        {"-12", -12, true},  {"+7", 7, true},      {"12abc", 12, true}, {"abc", 0, false},
        {"", 0, false},      {"0x", 0, true},      {"99999999999999999999", 0xFFFFFFFFLL, true},
        {"-99999999999999999999", -2147483648LL, true},
    };
    for (const Case& c : cases) {
        bool ok = false;
        EXPECT_EQ(ParseBasedInteger(c.text, &ok), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
}

TEST(RichValues, Colors)
{
    const ColorNameMap names = WebColors();
    const RtColor keep = 0x123456;
    struct Case {
        const char* text;
        RtColor value;
    } cases[] = {
        {"", keep},
        {"#ff0000", 0x0000FF},        // red
        {"#0000ff", 0xFF0000},
        {"#f00", keep},               // not 7 characters
        {"#ff00001", keep},
        {"#gg0000", keep},
        {"255", 0x0000FF},            // the number is the COLORREF
        {"0xff0000", 0xFF0000},       // pure blue
        {"red", 0x0000FF},
        {"gray", 0x808080},
        {"grey", keep},               // one spelling only
        {"Red", keep},                // names as written (values arrive lower-cased)
        {"nosuchcolour", keep},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseColorValue(c.text, keep, names), c.value) << c.text;
}

TEST(RichValues, Lengths)
{
    FixedMetrics m;
    struct Case {
        const char* text;
        int current;
        bool fontSize;
        int value;
    } cases[] = {
        {"", 20, false, 20},      {"50%", 20, false, 10},  {"65%", 13, true, 8},    {"10px", 0, false, 10},
        {"2em", 0, false, 32},    {"2ex", 0, false, 16},   {"1in", 0, false, 96},   {"2cm", 0, false, 75},
        {"10mm", 0, false, 37},   {"10pt", 0, true, 13},   {"1pc", 0, false, 16},   {"-5px", 0, false, 5},
        {"+2", 12, true, 10},     {"2", 12, false, 2},     {"7", 12, true, 36},     {"8", 12, true, 8},
        {"0x10", 0, false, 16},   {"-50%", 20, false, 0},  {"99999999px", 0, false, rtlimits::kMaxLength},
        {"99999999999999%", 20, false, rtlimits::kMaxLength},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLengthValue(c.text, c.current, m, c.fontSize), c.value) << c.text;
}

TEST(RichValues, Keywords)
{
    FixedMetrics m;
    EXPECT_EQ(ParseFontWeight("bold", 400), 700);
    EXPECT_EQ(ParseFontWeight("bolder", 400), 900);
    EXPECT_EQ(ParseFontWeight("lighter", 400), 100);
    EXPECT_EQ(ParseFontWeight("", 700), 400);
    EXPECT_EQ(ParseFontWeight("600", 400), 600);
    EXPECT_EQ(ParseFontWeight("heavy", 500), 500);
    EXPECT_EQ(ParseTextAlign("center", 0), 1);
    EXPECT_EQ(ParseTextAlign("justify", 2), 2);
    EXPECT_EQ(ParseVerticalAlign("vcenter", 3), 1);
    EXPECT_EQ(ParseVerticalAlign("", 0), 3);
    EXPECT_EQ(ParseBorderStyle("double", 0), 6);
    EXPECT_EQ(ParseBorderStyle("groove", 2), 2);
    EXPECT_EQ(ParseTextTransform("capitalize", 0), 3);
    EXPECT_EQ(ParseBorderWidth("thin", 4, m), 3);
    EXPECT_EQ(ParseBorderWidth("thick", 4, m), 5);
    EXPECT_EQ(ParseBorderWidth("medium", 4, m), 4);
    EXPECT_EQ(ParseBackgroundEffect("3vgradient", -1, m), 6);
    EXPECT_EQ(ParseBackgroundEffect("transparent", 2, m), -1);
    EXPECT_EQ(ParseBackgroundEffect("4", -1, m), 4);
}

TEST(ColorNames, WebAndSystemNames)
{
    ColorNameMap map = WebColors();
    EXPECT_EQ(map.size(), 140u);
    EXPECT_EQ(map.at("aqua"), map.at("cyan"));
    EXPECT_EQ(map.at("fuchsia"), map.at("magenta"));
    EXPECT_EQ(map.at("darkseagreen"), RtRgb(143, 188, 143));
    EXPECT_EQ(map.at("lightgrey"), RtRgb(211, 211, 211));
    EXPECT_EQ(map.count("lightgray"), 0u);
    for (const char* gray : {"gray", "darkgray", "darkslategray", "dimgray", "lightslategray", "slategray"}) {
        EXPECT_EQ(map.count(gray), 1u) << gray;
        std::string grey(gray);
        grey.replace(grey.find("gray"), 4, "grey");
        EXPECT_EQ(map.count(grey), 0u) << grey;
    }
    EXPECT_EQ(LookupColor(map, "grey", 7u), 7u);

    InitColorNames(map, [](int index) { return RtColor(0x010000 * index + 1); });
    EXPECT_EQ(map.size(), 140u + 28u);
    EXPECT_EQ(map.at("infobackground"), RtColor(0x010000 * 24 + 1));
    EXPECT_EQ(map.at("threedface"), map.at("buttonface"));
    EXPECT_EQ(map.at("windowtext"), RtColor(0x010000 * 8 + 1));
}

// --- style sheets ----------------------------------------------------------------------------

TEST(StyleSheet, BuiltInRules)
{
    RichStyleSheet sheet;
    EXPECT_EQ(sheet.Rules().size(), 17u);
    ASSERT_NE(sheet.FindRule("H6"), nullptr);
    EXPECT_EQ(*sheet.FindRule("h6"), "font-size: 65%; color:#626262; font-family:verdana; font-weight:normal");
    EXPECT_NE(sheet.FindRule(".cpp-comment"), nullptr);
    EXPECT_NE(sheet.FindRule("a:hover"), nullptr);
    sheet.SetStyleSheet("td {color: red}");
    EXPECT_EQ(sheet.Rules().size(), 1u);
    sheet.SetStyleSheet(nullptr);
    EXPECT_EQ(sheet.Rules().size(), 17u);
}

TEST(StyleSheet, Parsing)
{
    RichStyleSheet sheet;
    sheet.SetStyleSheet("TD {COLOR: RED}\n"
                        "b {font-weight: 900}\n"
                        "h1, h2 {color: blue}\n"
                        "tr {color: green} tr {font-weight: bold}\n"
                        "\t.Note\t{ font-style: italic }\n"
                        "table {border-width: 2");
    EXPECT_EQ(*sheet.FindRule("td"), "color: red");
    EXPECT_NE(sheet.FindRule("b"), nullptr);
    EXPECT_NE(sheet.FindRule("h1,"), nullptr);  // stored under the first selector with its comma
    EXPECT_EQ(sheet.FindRule("h2"), nullptr);
    EXPECT_EQ(*sheet.FindRule("tr"), "font-weight: bold");  // replaced whole
    EXPECT_NE(sheet.FindRule(".note"), nullptr);
    EXPECT_EQ(sheet.FindRule("table"), nullptr);  // no closing brace
}

TEST(StyleSheet, HostileSheetsStayBounded)
{
    RichStyleSheet sheet;
    sheet.SetStyleSheet("x {");
    EXPECT_TRUE(sheet.Rules().empty());
    sheet.SetStyleSheet("/* comment */ body {color: red}");
    EXPECT_NE(sheet.FindRule("comment"), nullptr);  // no comments: the words are selectors
    std::string huge = "body {" + std::string(100000, 'a') + "}";
    sheet.SetStyleSheet(huge.c_str());
    EXPECT_EQ(sheet.FindRule("body")->size(), size_t(rtlimits::kMaxRuleText));
    std::string many;
    for (int i = 0; i < 20000; ++i)
        many += "r" + std::to_string(i) + "{x:1}";
    sheet.SetStyleSheet(many.c_str());
    EXPECT_EQ(sheet.Rules().size(), 20000u);
}

class Declarations : public ::testing::Test {
protected:
    FixedMetrics metrics;
    ColorNameMap colors = WebColors();
    TextStyle style;

    void Apply(const std::string& text) { ApplyDeclarations(style, text, metrics, colors); }
};

TEST_F(Declarations, FontAndColour)
{
    Apply("Font-Size: 20PX; COLOR: Red; font-family: \"Courier New\"; font-weight: bold; font-style: oblique");
    EXPECT_EQ(style.fontSize, 20);
    EXPECT_EQ(style.textColor, 0x0000FFu);
    EXPECT_EQ(style.fontFace, "courier new");
    EXPECT_EQ(style.fontWeight, 700);
    EXPECT_EQ(style.italic, 1);
    Apply("font-size: 50%; font-style: normal");
    EXPECT_EQ(style.fontSize, 10);
    EXPECT_EQ(style.italic, 0);
}

TEST_F(Declarations, TrailingSpacesBeforeTheBraceDoNotSpoilValues)
{
    Apply(" color: red ; font-size: 10pt ");
    EXPECT_EQ(style.textColor, 0x0000FFu);
    EXPECT_EQ(style.fontSize, 13);
}

TEST_F(Declarations, BackgroundDecorationBorders)
{
    Apply("background-color: #102030");
    EXPECT_EQ(style.backgroundMode, kRtOpaque);
    EXPECT_EQ(style.backgroundColor, RtRgb(0x10, 0x20, 0x30));
    Apply("background-color: transparent");
    EXPECT_EQ(style.backgroundMode, kRtTransparent);
    Apply("text-decoration: underline, overline line-through");
    EXPECT_EQ(style.underline + style.overline + style.strikeOut, 3);
    Apply("text-decoration: none");
    EXPECT_EQ(style.underline + style.overline + style.strikeOut, 0);
    Apply("border-color: blue; border-style: dashed; border-width: 4px; size: thick");
    EXPECT_EQ(style.borderColorLight, 0xFF0000u);
    EXPECT_EQ(style.borderColorDark, 0xFF0000u);
    EXPECT_EQ(style.borderStyle, 2);
    EXPECT_EQ(style.borderWidth, 5);
}

TEST_F(Declarations, MarginsAreInnerAndPaddingsOuterSpacing)
{
    Apply("margin-left: 5px; margin-right: 6; margin-top: 7; margin-bottom: 8;"
          "padding-left: 1; padding-right: 2; padding-top: 3; padding-bottom: 4");
    EXPECT_EQ(style.innerLeft, 5);
    EXPECT_EQ(style.innerRight, 6);
    EXPECT_EQ(style.innerTop, 7);
    EXPECT_EQ(style.innerBottom, 8);
    EXPECT_EQ(style.outerLeft, 1);
    EXPECT_EQ(style.outerRight, 2);
    EXPECT_EQ(style.outerTop, 3);
    EXPECT_EQ(style.outerBottom, 4);
}

TEST_F(Declarations, MalformedDeclarationsChangeNothing)
{
    const TextStyle before = style;
    Apply("color red; font-size; : 5; text-align: justify; unknown: 3; vertical-align: sideways;"
          "font-family: ; color: #12");
    EXPECT_EQ(style.textColor, before.textColor);
    EXPECT_EQ(style.fontSize, before.fontSize);
    EXPECT_EQ(style.textAlign, before.textAlign);
    EXPECT_EQ(style.verticalAlign, before.verticalAlign);
    EXPECT_EQ(style.fontFace, before.fontFace);
    Apply("color red; font-weight: bold");  // the one after a broken one still applies
    EXPECT_EQ(style.fontWeight, 700);
}

TEST_F(Declarations, LongFacesAreCut)
{
    Apply("font-family: " + std::string(500, 'f'));
    EXPECT_EQ(style.fontFace.size(), size_t(rtlimits::kMaxFaceLength));
}

}  // namespace

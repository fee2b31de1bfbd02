// HtmlTextRenderer on memory DCs: sizes, line records, string parts,
// shadow settings, and the colours of known areas (table borders and
// fills, gradient ends, rules, overlines, images) - never text pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/richtext/html_text_renderer.h"
#include "skin/richtext/tests/test_surface.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kMagenta = RGB(255, 0, 255);

// A screen-compatible bitmap filled by a function of (x, y).
template <typename F>
HBITMAP MakeBitmap(int width, int height, F color)
{
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelV(dc, x, y, color(x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return b;
}

std::string HandleText(HGDIOBJ object)
{
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(object)));
}

// A 24-bit BMP file of one colour.
void WriteBmp(const std::string& path, int width, int height, COLORREF c)
{
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = uint32_t(stride * height);
    std::vector<uint8_t> file(54 + imageSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = uint8_t(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, imageSize);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &file[54 + size_t(y) * stride + size_t(x) * 3];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

class Renderer : public ::testing::Test {
protected:
    HtmlTextRenderer renderer;

    void SetUp() override { renderer.SetResourceInstance(GetModuleHandleA(nullptr)); }

    // Measures and draws the text at (0, 0) of a white surface.
    SIZE Render(TestSurface& s, const std::string& text)
    {
        const SIZE size = renderer.Measure(s.Dc(), text.c_str());
        renderer.Draw(s.Dc(), text.c_str(), RECT{0, 0, s.Width(), s.Height()});
        GdiFlush();
        return size;
    }
};

TEST_F(Renderer, EmptyTextMeasuresTwoByTwo)
{
    TestSurface s(10, 10);
    const SIZE size = renderer.Measure(s.Dc(), "");
    EXPECT_EQ(size.cx, 2);
    EXPECT_EQ(size.cy, 2);
    EXPECT_EQ(renderer.Measure(s.Dc(), nullptr).cx, 2);
    const SIZE drawn = renderer.Draw(s.Dc(), "", RECT{0, 0, 10, 10});
    EXPECT_EQ(drawn.cx, 1);
    EXPECT_EQ(drawn.cy, 1);
}

TEST_F(Renderer, LineFeedsMakeLinesDrawnAtTheMeasuredHeights)
{
    TestSurface s(200, 100);
    const SIZE measured = renderer.Measure(s.Dc(), "one\ntwo\nthree");
    const auto& lines = renderer.Layout().Lines();
    ASSERT_EQ(lines.size(), 3u);
    int height = 0;
    for (const LineRecord& r : lines) {
        EXPECT_GT(r.height, 0);
        height += r.height;
    }
    EXPECT_EQ(measured.cy, height + 2);
    EXPECT_GT(lines[2].width, lines[0].width);  // "three" is wider than "one"
    const SIZE drawn = renderer.Draw(s.Dc(), "one\ntwo\nthree", RECT{0, 0, 200, 100});
    EXPECT_EQ(drawn.cy, measured.cy - 1);
    EXPECT_EQ(renderer.Layout().Lines().size(), 3u);
}

TEST_F(Renderer, GivesTheDeviceContextItsStateBack)
{
    TestSurface s(100, 40);
    HFONT font = CreateFontA(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(s.Dc(), font);
    SetTextColor(s.Dc(), RGB(1, 2, 3));
    SetBkColor(s.Dc(), RGB(4, 5, 6));
    SetBkMode(s.Dc(), OPAQUE);
    Render(s, "<b>bold <font color=red bkgnd=blue>x</font></b>");
    EXPECT_EQ(GetCurrentObject(s.Dc(), OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(s.Dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(s.Dc()), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(s.Dc()), OPAQUE);
    SelectObject(s.Dc(), old);
    DeleteObject(font);
}

TEST_F(Renderer, StringParts)
{
    EXPECT_EQ(renderer.LoadStringPart(101, 0), "Short");
    EXPECT_EQ(renderer.LoadStringPart(101, 1), "A longer description");
    EXPECT_EQ(renderer.LoadStringPart(101, 2), "");
    EXPECT_EQ(renderer.LoadStringPart(102, 0), "Only one part");
    EXPECT_EQ(renderer.LoadStringPart(0, 0), "");
    EXPECT_EQ(renderer.LoadStringPart(999, 0), "");

    // The "string" tag places the string whole.
    TestSurface s(300, 40);
    const SIZE with = renderer.Measure(s.Dc(), "<string idres=103>");
    const SIZE plain = renderer.Measure(s.Dc(), "From the <<string> tag");
    EXPECT_EQ(with.cx, plain.cx);
    EXPECT_EQ(renderer.Measure(s.Dc(), "<string idres=998>").cx, renderer.Measure(s.Dc(), "").cx);
}

TEST_F(Renderer, ShadowGreyLevel)
{
    EXPECT_EQ(renderer.SetShadow(4, 4, 50, TRUE, 7, 7), 128);
    EXPECT_EQ(renderer.Layout().Shadow().color, RtColor(0x808080));
    EXPECT_EQ(renderer.SetShadow(4, 4, 150, FALSE, 7, 7), 0);
    EXPECT_EQ(renderer.SetShadow(2, 2, 0, FALSE, 3, 3), 255);
}

TEST_F(Renderer, ColourNamesIncludeSystemColours)
{
    const ColorNameMap& names = renderer.Layout().ColorNames();
    EXPECT_EQ(names.at("infobackground"), RtColor(GetSysColor(COLOR_INFOBK)));
    EXPECT_EQ(names.at("darkseagreen"), RtRgb(143, 188, 143));
    EXPECT_NE(renderer.HandCursor(), nullptr);
}

TEST_F(Renderer, TableBordersAndCellFills)
{
    TestSurface s(200, 60);
    Render(s, "<table border=1 bordercolor=blue bgcolor=red cellpadding=6><tr>"
              "<td bgcolor=#00ff00>a</td><td>b</td></tr></table>");
    const TableRecord& table = renderer.Layout().Tables().at(0);
    ASSERT_EQ(table.columnWidths.size(), 2u);
    const int height = table.rowHeights[0] + 2;
    // The table spreads over the width; its border is blue on every side.
    EXPECT_EQ(s.At(0, height / 2), kBlue);
    EXPECT_EQ(s.At(100, 0), kBlue);
    EXPECT_EQ(s.At(198, height / 2), kBlue);  // right edge, one inside the rectangle
    EXPECT_EQ(s.At(100, height - 1), kBlue);
    // Cell fills, sampled in their spacing away from the text: the first
    // cell green, the second the table's red (cells inherit it); the
    // columns share the spare width, the odd pixels going to the first.
    const int spare = 197 - (table.columnWidths[0] + table.columnWidths[1]);
    const int firstRight = 1 + table.columnWidths[0] + spare / 2 + spare % 2;
    EXPECT_EQ(s.At(4, height - 4), kGreen);
    EXPECT_EQ(s.At(firstRight - 4, height - 4), kGreen);
    EXPECT_EQ(s.At(firstRight + 4, height - 4), kRed);
    EXPECT_EQ(s.At(190, 4), kRed);
    EXPECT_EQ(s.At(100, height + 3), kWhite);  // nothing below the table
    s.Save("richtext_table_cells");
}

TEST_F(Renderer, GradientTableEnds)
{
    TestSurface s(140, 40);
    Render(s, "<table width=128 bgeffect=hgradient bgcolor=black bgendcolor=white cellpadding=0 cellspacing=0>"
              "<tr><td><font size=1> </font></td></tr></table>");
    // 64 bands over the table (and its one cell, which inherits the
    // gradient): dark at the left end, light at the right.
    EXPECT_LT(GetRValue(s.At(1, 3)), 10);
    EXPECT_GT(GetRValue(s.At(126, 3)), 240);
    EXPECT_LT(GetRValue(s.At(40, 3)), GetRValue(s.At(90, 3)));
    EXPECT_EQ(s.At(131, 3), kWhite);  // the page beyond the table
}

TEST_F(Renderer, RuleAndOverlineRows)
{
    TestSurface s(120, 60);
    Render(s, "<hr size=1 color=red>");
    const int lineHeight = renderer.Layout().Lines()[0].height;
    EXPECT_EQ(lineHeight, 9);  // thickness + 8
    // Drawn across the rectangle (its right edge moved in by one).
    EXPECT_GE(s.CountInRow(lineHeight / 2, 0, 120, kRed), 117);
    EXPECT_EQ(s.CountInRow(lineHeight / 2 + 1, 0, 120, kRed), 0);

    s.Fill(kWhite);
    Render(s, "<font style=o color=blue>text</font> rest");
    const std::string drawnWidth = std::to_string(renderer.Layout().Lines()[0].width);
    // The overline runs along the line's top over the first run only.
    const int blue = s.CountInRow(0, 0, 120, kBlue);
    EXPECT_GT(blue, 10);
    EXPECT_LT(blue, renderer.Layout().Lines()[0].width) << drawnWidth;
    EXPECT_EQ(s.At(0, 0), kBlue);
}

TEST_F(Renderer, ImagesByHandleFileAndStrip)
{
    HBITMAP green = MakeBitmap(8, 8, [](int, int) { return kGreen; });
    HBITMAP strip = MakeBitmap(8, 4, [](int x, int) { return x < 4 ? kRed : kBlue; });
    HBITMAP keyed = MakeBitmap(8, 8, [](int x, int) { return x < 4 ? kMagenta : kGreen; });
    WriteBmp("pic.bmp", 6, 6, kBlue);

    TestSurface s(120, 40);
    Render(s, "<bmp handle=" + HandleText(green) + ">");
    EXPECT_EQ(s.At(3, 3), kGreen);
    EXPECT_EQ(s.At(9, 3), kWhite);

    s.Fill(kWhite);
    Render(s, "<bmp handle=" + HandleText(green) + " width=200% height=50%><bmp file=pic.bmp>");
    EXPECT_EQ(s.At(15, 3), kGreen);  // 16 x 4 on the baseline of a line 6 high
    EXPECT_EQ(s.At(15, 1), kWhite);
    EXPECT_EQ(s.At(19, 5), kBlue);   // the file's 6 x 6 after it

    s.Fill(kWhite);
    Render(s, "<ilst handle=" + HandleText(strip) + " cx=4 cy=4 index=1><ilst handle=" + HandleText(strip) +
                  " cx=4 cy=4 index=2>x");
    // Cell 1 on the text's baseline; cell 2 does not exist and takes no room.
    const LineRecord line = renderer.Layout().Lines()[0];
    const int top = line.height - line.descent - 4;
    EXPECT_EQ(s.At(2, top + 1), kBlue);
    EXPECT_EQ(s.At(2, top - 1), kWhite);

    s.Fill(kWhite);
    Render(s, "<bmp handle=" + HandleText(keyed) + " mask=#ff00ff>");
    EXPECT_EQ(s.At(2, 3), kWhite);
    EXPECT_EQ(s.At(6, 3), kGreen);

    // Drawn, not deleted: the handles still work.
    EXPECT_EQ(RichTextGdi::GetBitmapSize(green).cx, 8);
    DeleteObject(green);
    DeleteObject(strip);
    DeleteObject(keyed);
    std::remove("pic.bmp");
}

TEST_F(Renderer, ImageShadowDarkensTheBackground)
{
    HBITMAP green = MakeBitmap(10, 10, [](int, int) { return kGreen; });
    renderer.SetShadow(4, 4, 50, FALSE, 7, 7);
    TestSurface s(60, 40);
    Render(s, "<bmp handle=" + HandleText(green) + " style=s>");
    EXPECT_EQ(s.At(5, 5), kGreen);
    EXPECT_EQ(s.At(12, 12), RGB(128, 128, 128));  // right of and below the image
    EXPECT_EQ(s.At(2, 12), kWhite);
    DeleteObject(green);
}

TEST_F(Renderer, TakesTheTooltipObjectsStyleSheet)
{
    SkinTooltipData tooltip;
    tooltip.styleSheet = "TD {background-color: yellow} table {border-width: 2; border-style: solid}";
    renderer.SetStyleSheet(tooltip.styleSheet.c_str());
    ASSERT_NE(renderer.FindRule("td"), nullptr);
    EXPECT_EQ(renderer.FindRule("body"), nullptr);  // the built-in rules are gone
    TestSurface s(60, 40);
    Render(s, "<table><tr><td>x</td></tr></table>");
    EXPECT_EQ(s.At(0, 5), RGB(0, 0, 0));  // a 2-pixel black border
    EXPECT_EQ(s.At(1, 5), RGB(0, 0, 0));
    renderer.InitDefaultStyles();
    EXPECT_NE(renderer.FindRule("body"), nullptr);
}

TEST_F(Renderer, HostileMarkupStaysBounded)
{
    HBITMAP dot = MakeBitmap(1, 1, [](int, int) { return kRed; });
    std::string text = "<font size=99999999>huge</font><bmp handle=" + HandleText(dot) +
                       " width=999999 height=999999 style=s><hr size=999999 width=999999>";
    for (int i = 0; i < 3000; ++i)
        text += "<table border=99999 cellpadding=99999 colspan=99999><tr><td rowspan=99999><b><i><u>";
    text += "<icon idres=77 width=-5><string idres=65535><br=99999><t=99999><font face=" + std::string(300, 'f') + ">";
    TestSurface s(200, 100);
    const SIZE size = renderer.Measure(s.Dc(), text.c_str());
    EXPECT_GT(size.cx, 0);
    EXPECT_LE(size.cx, rtlimits::kMaxCoord + 2);
    renderer.Draw(s.Dc(), text.c_str(), RECT{0, 0, 200, 100});
    EXPECT_LE(renderer.Layout().Tables().size(), size_t(rtlimits::kMaxTableDepth));
    DeleteObject(dot);
}

// Pictures to look at: a tooltip-like text with headings, styles, a rule,
// a table with spans, gradients and borders, and shadowed images.
TEST_F(Renderer, Screenshots)
{
    HBITMAP picture = MakeBitmap(24, 24, [](int x, int y) {
        return (x - 12) * (x - 12) + (y - 12) * (y - 12) < 100 ? RGB(40, 120, 220) : kMagenta;
    });
    const std::string handle = HandleText(picture);
    const std::string text =
        "<h2>Disc creator</h2>\n"
        "<bmp handle=" + handle + " mask=#ff00ff style=s> <b>Burn</b> the <i>project</i> to a "
        "<font color=#c00000><u>VideoCD</u></font>\n"
        "<hr width=90% size=1 color=gray>\n"
        "<table border=1 bordercolor=#404040 cellpadding=3 bgeffect=vgradient bgcolor=#ffffff bgendcolor=#c8d8f0>"
        "<tr><td colspan=2 align=center bgeffect=hgradient bgcolor=#203060 bgendcolor=#6080c0>"
        "<font color=white><b>Capacity</b></font></td></tr>"
        "<tr><td>Used</td><td align=right>612 MB</td></tr>"
        "<tr><td>Free</td><td bgcolor=#fff0c0 bgeffect=solid>88 MB</td></tr></table>\n"
        "<span class=cpp-comment>// hover a link:</span> <a href=x>open folder</a><t>"
        "<bmp handle=" + handle + " mask=#ff00ff style=gs width=16 height=16>";
    TestSurface s(300, 220, GetSysColor(COLOR_INFOBK));
    const SIZE size = renderer.Measure(s.Dc(), text.c_str());
    EXPECT_GT(size.cx, 100);
    EXPECT_GT(size.cy, 100);
    renderer.Draw(s.Dc(), text.c_str(), RECT{4, 4, 4 + size.cx, 4 + size.cy});
    EXPECT_FALSE(s.Save("richtext_tooltip").empty());

    TestSurface t(260, 120, kWhite);
    const std::string effects =
        "<table border=2 borderstyle=double bordercolorlight=#2060c0 bordercolordark=#002060 cellspacing=2>"
        "<tr><td bgeffect=3hgradient bgcolor=red bgmidcolor=yellow bgendcolor=green width=80>3h</td>"
        "<td bgeffect=hcgradient bgcolor=#000080 bgendcolor=#8080ff><font color=white>hc</font></td>"
        "<td rowspan=2 bgeffect=3vgradient bgcolor=#ffffff bgmidcolor=#ff8000 bgendcolor=#800000>3v</td></tr>"
        "<tr><td borderstyle=dashed border=1>dashed</td><td borderstyle=dotted border=1>dotted</td></tr></table>";
    renderer.Measure(t.Dc(), effects.c_str());
    renderer.Draw(t.Dc(), effects.c_str(), RECT{0, 0, 260, 120});
    EXPECT_FALSE(t.Save("richtext_effects").empty());
    DeleteObject(picture);
}

}  // namespace

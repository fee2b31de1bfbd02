// Layout of flows and tables against a canvas of fixed metrics (a font of
// size s: s high, ascent s * 4 / 5, characters s / 2 wide).
#include <gtest/gtest.h>

#include "skin/richtext/rich_layout.h"
#include "skin/richtext/tests/fake_canvas.h"

namespace {

class Layout : public ::testing::Test {
protected:
    FakeCanvas canvas;
    RichTextLayout layout;

    // A body font of 10 pixels: lines 10 high (ascent 8, descent 2),
    // characters 5 wide.
    void SetUp() override { layout.SetStyleSheet("body {font-size: 10px}"); }

    RtSize Measure(const std::string& text) { return layout.Measure(canvas, text); }
    RtSize Draw(const std::string& text, RtRect rect = {0, 0, 200, 200})
    {
        canvas.Clear();
        layout.Measure(canvas, text);
        return layout.Draw(canvas, text, rect);
    }
    const FakeCanvas::TextCall* FindText(const std::string& text) const
    {
        for (const auto& t : canvas.texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
};

TEST_F(Layout, EmptyTextLaysOutNothing)
{
    const RtSize size = Measure("");
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    EXPECT_TRUE(layout.Lines().empty());
}

TEST_F(Layout, TwoLineFeedsMakeThreeLinesDrawnWhereMeasured)
{
    const RtSize size = Measure("ab\ncdef\ng");
    EXPECT_EQ(size.cx, 20);
    EXPECT_EQ(size.cy, 30);
    ASSERT_EQ(layout.Lines().size(), 3u);
    for (const LineRecord& r : layout.Lines()) {
        EXPECT_EQ(r.height, 10);
        EXPECT_EQ(r.descent, 2);
    }
    Draw("ab\ncdef\ng", {5, 7, 200, 200});
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[0].y, 7);
    EXPECT_EQ(canvas.texts[1].y, 17);
    EXPECT_EQ(canvas.texts[2].y, 27);
    EXPECT_EQ(canvas.texts[2].x, 5);
}

TEST_F(Layout, DrawWithoutMeasureMeasuresFirst)
{
    const RtSize size = layout.Draw(canvas, "a\nb", {0, 0, 100, 100});
    EXPECT_EQ(size.cy, 20);
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[1].y, 10);
    // A different text than the one measured is measured again.
    layout.Measure(canvas, "x");
    canvas.Clear();
    layout.Draw(canvas, "a\nb\nc", {0, 0, 100, 100});
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[2].y, 20);
}

TEST_F(Layout, StyleStackPopsOnlyAMatchingTop)
{
    Draw("<b><i>one</b>two</i>three");
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[0].style.fontWeight, 800);  // 400 doubled
    EXPECT_EQ(canvas.texts[0].style.italic, 1);
    EXPECT_EQ(canvas.texts[1].style.fontWeight, 800);  // the closing "b" was ignored
    EXPECT_EQ(canvas.texts[1].style.italic, 1);
    EXPECT_EQ(canvas.texts[2].style.fontWeight, 800);  // "/i" popped back to bold
    EXPECT_EQ(canvas.texts[2].style.italic, 0);
}

TEST_F(Layout, TagsSharingAStackName)
{
    Draw("<i>a</em>b<b><b>c<p>d");
    EXPECT_EQ(FindText("a")->style.italic, 1);
    EXPECT_EQ(FindText("b")->style.italic, 0);
    EXPECT_EQ(FindText("c")->style.fontWeight, 900);  // doubled twice, capped
    EXPECT_EQ(FindText("d")->style.fontWeight, 900);  // "p" is ignored
}

TEST_F(Layout, StyleTagsAndRules)
{
    layout.SetStyleSheet(nullptr);
    Draw("<h6>a</h6><pre>b</pre><span class=cpp-comment>c</span><span>d</span><u><s>e<font face=arial size=+2>f");
    EXPECT_EQ(FindText("a")->style.fontSize, 8);  // 65% of the body's 13
    EXPECT_EQ(FindText("a")->style.textColor, RtRgb(0x62, 0x62, 0x62));
    EXPECT_EQ(FindText("b")->style.fontFace, "courier");
    EXPECT_EQ(FindText("b")->style.backgroundMode, kRtOpaque);
    EXPECT_EQ(FindText("c")->style.textColor, RtRgb(0, 128, 0));
    EXPECT_EQ(FindText("c")->style.italic, 1);
    EXPECT_EQ(FindText("d")->style.italic, 0);
    EXPECT_EQ(FindText("e")->style.underline, 1);
    EXPECT_EQ(FindText("e")->style.strikeOut, 1);
    EXPECT_EQ(FindText("f")->style.fontSize, 10);  // sign dropped, size 2 of the classic table
    EXPECT_EQ(FindText("f")->style.fontFace, "arial");
}

TEST_F(Layout, RuleWrittenInCapitalsWorks)
{
    layout.SetStyleSheet("BODY {FONT-SIZE: 20PX; COLOR: #FF0000}");
    Draw("x");
    EXPECT_EQ(canvas.texts[0].style.fontSize, 20);
    EXPECT_EQ(canvas.texts[0].style.textColor, 0x0000FFu);
}

TEST_F(Layout, TextTransform)
{
    layout.SetStyleSheet("body {font-size: 10px; text-transform: capitalize}");
    Draw("hello big world");
    EXPECT_EQ(canvas.texts[0].text, "Hello Big World");
}

TEST_F(Layout, LineBreaks)
{
    Measure("<br>");
    ASSERT_EQ(layout.Lines().size(), 2u);
    EXPECT_EQ(layout.Lines()[0].height, 10);  // a line holding only a break: the font's height

    Draw("a<br=3>b");
    EXPECT_EQ(FindText("b")->y, 30);
    Draw("a</br>b");
    EXPECT_EQ(FindText("b")->y, 10);
    EXPECT_EQ(Measure("a<br=999999>b").cy, 10 * rtlimits::kMaxBreakCount + 10);
}

TEST_F(Layout, TabStops)
{
    Draw("a<t>b");
    EXPECT_EQ(FindText("b")->x, 32);
    Draw("<t=2>b");
    EXPECT_EQ(FindText("b")->x, 64);
    Draw("abcdefg\tb");  // 35 pixels, on to 64
    EXPECT_EQ(FindText("b")->x, 64);
}

TEST_F(Layout, AlignmentAndVerticalAlignment)
{
    Draw("<center>abcd</center>\n<right>ab", {0, 0, 100, 100});
    EXPECT_EQ(FindText("abcd")->x, 40);
    EXPECT_EQ(FindText("ab")->x, 90);

    // A big item makes the line 20 high; small text sits by its alignment.
    Draw("<font size=20px>B</font><top>t</top><vcenter>m</vcenter><bottom>o</bottom>b");
    const int lineHeight = layout.Lines()[0].height;  // ascent 16 + descent 4
    EXPECT_EQ(lineHeight, 20);
    EXPECT_EQ(FindText("t")->y, 0);
    EXPECT_EQ(FindText("m")->y, (20 - 10) / 2);
    EXPECT_EQ(FindText("o")->y, 20 - 8);
    EXPECT_EQ(FindText("b")->y, 20 - 4 - 8);
}

TEST_F(Layout, OverlineIsDrawnAtTheLineTop)
{
    Draw("a<font style=o>bc</font><font style=bo>d", {0, 0, 100, 100});
    ASSERT_EQ(canvas.lines.size(), 2u);
    EXPECT_EQ(canvas.lines[0].x1, 5);
    EXPECT_EQ(canvas.lines[0].x2, 15);
    EXPECT_EQ(canvas.lines[0].y1, 0);
    EXPECT_EQ(canvas.lines[0].width, 1);
    EXPECT_EQ(canvas.lines[1].width, 2);  // bold: 2 pixels
}

TEST_F(Layout, RulesOfAPercentage)
{
    Draw("<hr width=50%>", {0, 0, 200, 100});
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].x1, 0);
    EXPECT_EQ(canvas.lines[0].x2, 100);
    EXPECT_EQ(canvas.lines[0].y1, 9 / 2);  // thickness 1 + 8 high line
    EXPECT_EQ(layout.Lines()[0].height, 9);

    // 50 pixels of text and a half rule on one line, 60 on the next: the
    // flow takes the first line's width plus half of 60.
    EXPECT_EQ(Measure("abcdefghij<hr width=50%>\nabcdefghijkl").cx, 80);

    Draw("<hr width=30 size=3 color=red>", {0, 0, 200, 100});
    EXPECT_EQ(canvas.lines[0].x2 - canvas.lines[0].x1, 30);
    EXPECT_EQ(canvas.lines[0].width, 3);
    EXPECT_EQ(canvas.lines[0].color, 0x0000FFu);
}

TEST_F(Layout, RuleTakesItsColourFromTheHrRule)
{
    layout.SetStyleSheet("body {font-size: 10px} hr {color: blue}");
    Draw("<hr>");
    EXPECT_EQ(canvas.lines[0].color, 0xFF0000u);
}

TEST_F(Layout, LinksAndHover)
{
    Draw("x<a href=\"http://example\">go</a><a msg=hi>on</a>");
    ASSERT_EQ(layout.Links().size(), 2u);
    const LinkArea& a = layout.Links()[0];
    EXPECT_EQ(a.kind, 1);
    EXPECT_EQ(a.index, 0);
    EXPECT_EQ(a.target, "http://example");
    EXPECT_EQ(a.x, 5);
    EXPECT_EQ(a.width, 10);
    EXPECT_EQ(layout.Links()[1].kind, 2);
    EXPECT_EQ(layout.Links()[1].index, 1);

    layout.SetStyleSheet(nullptr);
    layout.SetHoveredLink(1);
    Draw("<a>go</a><a>on</a>");
    EXPECT_EQ(FindText("go")->style.underline, 0);  // a:link
    EXPECT_EQ(FindText("on")->style.underline, 1);  // a:hover
    EXPECT_EQ(FindText("on")->style.textColor, 0xFF0000u);
    // Link areas are those of the last drawing only.
    layout.Draw(canvas, "<a>go</a><a>on</a>", {0, 0, 100, 100});
    EXPECT_EQ(layout.Links().size(), 2u);
}

TEST_F(Layout, StringResources)
{
    canvas.strings[7] = "Name\nA longer description";
    Draw("<string idres=7>x<string iddll=9><string>");
    ASSERT_FALSE(canvas.texts.empty());
    EXPECT_EQ(canvas.texts[0].text, "Name\nA longer description");
    EXPECT_EQ(canvas.texts.size(), 2u);  // unknown and missing strings take no room
}

TEST_F(Layout, Images)
{
    canvas.bitmaps[1] = {40, 20};
    canvas.bitmaps[2] = {64, 16};
    canvas.icons[3] = true;
    canvas.listCount = 2;
    Draw("<bmp idres=1 width=50%><icon idres=3><ilst idres=2 cx=16 cy=16 index=2><ilst index=1>"
         "<bmp idres=99><ilst idres=2 cx=16 cy=16 index=4><bmp iddll=1>",
         {0, 0, 300, 100});
    ASSERT_EQ(canvas.images.size(), 4u);
    EXPECT_EQ(canvas.images[0].kind, 'b');
    EXPECT_EQ(canvas.images[0].width, 20);
    EXPECT_EQ(canvas.images[0].height, 20);
    EXPECT_EQ(canvas.images[1].kind, 'i');
    EXPECT_EQ(canvas.images[1].x, 20);
    EXPECT_EQ(canvas.images[1].width, 32);  // the system icon size
    EXPECT_EQ(canvas.images[2].kind, 'b');
    EXPECT_EQ(canvas.images[2].source.left, 32);  // cell 2 of a 4 x 1 strip
    EXPECT_EQ(canvas.images[2].source.right, 48);
    EXPECT_EQ(canvas.images[2].x, 52);
    EXPECT_EQ(canvas.images[3].kind, 'l');
    EXPECT_EQ(canvas.images[3].width, 16);
    // The line is as high as the tallest image (baseline: all bottoms meet).
    EXPECT_EQ(layout.Lines()[0].height, 32);
    EXPECT_EQ(canvas.images[0].y, 12);
}

TEST_F(Layout, ShadowedImagesTakeTheShadowOffset)
{
    canvas.bitmaps[1] = {10, 10};
    Draw("<bmp idres=1 style=s>x");
    ASSERT_EQ(canvas.images.size(), 1u);
    EXPECT_TRUE(canvas.images[0].shadowed);
    EXPECT_EQ(canvas.images[0].width, 10);
    EXPECT_EQ(FindText("x")->x, 14);
    EXPECT_EQ(layout.Lines()[0].height, 14 + 2);  // the box as ascent, the text's descent
    ShadowSettings none;
    none.offsetX = none.offsetY = 0;
    layout.SetShadow(none);
    Draw("<bmp idres=1 style=s>x");
    EXPECT_FALSE(canvas.images[0].shadowed);
    EXPECT_EQ(FindText("x")->x, 10);
}

// --- tables ----------------------------------------------------------------------------------

TEST(TableGrid, SpansShareWhatTheirColumnsLack)
{
    struct Case {
        int a, b, outer;
        int wantA, wantB;
    } columns[] = {{30, 30, 100, 50, 50}, {30, 31, 100, 49, 51}, {60, 50, 100, 60, 50}};
    for (const Case& c : columns) {
        TableGrid grid;
        grid.Init(2, 2);
        grid.Place(0, 0, 1, 1);
        grid.At(0, 0).outerWidth = c.a;
        grid.Place(0, 1, 1, 1);
        grid.At(0, 1).outerWidth = c.b;
        grid.Place(1, 0, 2, 1);
        grid.At(1, 0).outerWidth = c.outer;
        std::vector<int> widths, heights;
        grid.ComputeSizes(&widths, &heights);
        EXPECT_EQ(widths, (std::vector<int>{c.wantA, c.wantB})) << c.a << " " << c.b;
    }
    // Rows: the odd pixel goes to the first row.
    TableGrid grid;
    grid.Init(2, 2);
    grid.Place(0, 0, 1, 2);
    grid.At(0, 0).outerHeight = 100;
    grid.Place(0, 1, 1, 1);
    grid.At(0, 1).outerHeight = 30;
    grid.Place(1, 1, 1, 1);
    grid.At(1, 1).outerHeight = 31;
    std::vector<int> widths, heights;
    grid.ComputeSizes(&widths, &heights);
    EXPECT_EQ(heights, (std::vector<int>{50, 50}));
    EXPECT_EQ(grid.At(1, 0).colspan, -1);
}

TEST(TableGrid, ColumnsCountCellsPushedRightBySpansFromAbove)
{
    // Row 1: a cell spanning two rows and one more; row 2: two cells, the
    // first of which lands in column 1 and the second in column 2.
    EXPECT_EQ(CountGridColumns({{{1, 2}, {1, 1}}, {{1, 1}, {1, 1}}}), 3);
    EXPECT_EQ(CountGridColumns({{{3, 1}}, {{1, 1}}}), 3);
    EXPECT_EQ(CountGridColumns({}), 0);
    EXPECT_EQ(CountGridColumns({{{1, 1}, {rtlimits::kMaxTableColumns, 1}}}), rtlimits::kMaxTableColumns);
}

TEST(TableGrid, WidthAttribute)
{
    FakeCanvas c;
    EXPECT_EQ(ResolveTableWidth("", true, 80, 0, c), 80);
    EXPECT_EQ(ResolveTableWidth("50%", true, 80, 0, c), 160);
    EXPECT_EQ(ResolveTableWidth("200%", true, 80, 0, c), 160);
    EXPECT_EQ(ResolveTableWidth("0%", true, 80, 0, c), 80);
    EXPECT_EQ(ResolveTableWidth("", false, 80, 300, c), 300);
    EXPECT_EQ(ResolveTableWidth("50%", false, 80, 300, c), 150);
    EXPECT_EQ(ResolveTableWidth("20%", false, 80, 300, c), 80);  // never below the columns
    EXPECT_EQ(ResolveTableWidth("120", false, 80, 300, c), 120);
}

TEST_F(Layout, TableOfOneCell)
{
    // Cells start from the reset style: size 12 (12 high, characters 6
    // wide), 2 pixels of inner spacing on every side.
    const RtSize size = Measure("<table><tr><td>ab</td></tr></table>");
    EXPECT_EQ(size.cx, 12 + 4);
    EXPECT_EQ(size.cy, 12 + 4);
    ASSERT_EQ(layout.Tables().size(), 1u);
    EXPECT_EQ(layout.Tables()[0].columnWidths, std::vector<int>{16});

    Draw("<table><tr><td>ab</td></tr></table>", {10, 20, 200, 200});
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].x, 12);
    EXPECT_EQ(canvas.texts[0].y, 22);
    EXPECT_EQ(canvas.texts[0].style.fontSize, 12);
}

TEST_F(Layout, ColumnSpanInMarkup)
{
    canvas.bitmaps[1] = {26, 10};  // outer 30
    canvas.bitmaps[2] = {27, 10};  // outer 31
    canvas.bitmaps[3] = {96, 10};  // outer 100
    Measure("<table><tr><td><bmp idres=1></td><td><bmp idres=2></td></tr>"
            "<tr><td colspan=2><bmp idres=3></td></tr></table>");
    ASSERT_EQ(layout.Tables().size(), 1u);
    EXPECT_EQ(layout.Tables()[0].columnWidths, (std::vector<int>{49, 51}));
}

TEST_F(Layout, TableWidthPercentage)
{
    layout.SetStyleSheet("td {font-size: 20px; margin-left: 0; margin-right: 0}");
    EXPECT_EQ(Measure("<table width=50%><tr><td>abcdefgh</td></tr></table>").cx, 160);
}

TEST_F(Layout, CellMarginsAndPaddings)
{
    layout.SetStyleSheet("td {margin-left: 5px}");
    Draw("<table><tr><td>x</td></tr></table>");
    EXPECT_EQ(canvas.texts[0].x, 5);

    layout.SetStyleSheet("td {padding-left: 5px}");
    Draw("<table><tr><td>x</td></tr></table>");
    ASSERT_FALSE(canvas.borders.empty());
    EXPECT_EQ(canvas.borders.back().rect.left, 5);  // the cell's box
    EXPECT_EQ(canvas.texts[0].x, 7);
}

TEST_F(Layout, CellsInheritTheTableBorder)
{
    const RtSize size = Measure("<table border=1><tr><td>x</td></tr></table>");
    EXPECT_EQ(size.cx, 6 + 4 + 2 + 2);
    Draw("<table border=1><tr><td>x</td></tr></table>");
    ASSERT_EQ(canvas.borders.size(), 2u);
    EXPECT_EQ(canvas.borders[0].penWidth, 1);  // the table
    EXPECT_EQ(canvas.borders[1].penWidth, 1);  // its cell
    EXPECT_EQ(canvas.borders[1].style.borderStyle, kRtBorderSolid);
    EXPECT_EQ(canvas.borders[1].style.borderWidth, 1);
    EXPECT_EQ(canvas.texts[0].x, 1 + 1 + 2);  // table border, cell border, spacing
}

TEST_F(Layout, TableBackgroundsAndPlacement)
{
    canvas.bitmaps[4] = {8, 8};
    Draw("<table align=center width=40 bgcolor=red><tr><td bgcolor=blue>x</td></tr></table>"
         "<table background=idres:4><tr><td>y</td></tr></table>",
         {0, 0, 100, 100});
    ASSERT_GE(canvas.backgrounds.size(), 3u);
    EXPECT_EQ(canvas.backgrounds[0].rect.left, 30);
    EXPECT_EQ(canvas.backgrounds[0].rect.right, 70);
    EXPECT_EQ(canvas.backgrounds[0].style.backgroundColor, 0x0000FFu);
    EXPECT_EQ(canvas.backgrounds[1].style.backgroundColor, 0xFF0000u);  // the cell
    EXPECT_EQ(canvas.backgrounds[2].penWidth, -2);                      // the tiled table
    EXPECT_EQ(canvas.backgrounds[2].rect.top, 16);
}

TEST_F(Layout, VerticalAlignmentInCells)
{
    canvas.bitmaps[1] = {10, 40};
    Draw("<table><tr><td><bmp idres=1></td><td valign=middle>m</td><td valign=bottom>b</td></tr></table>");
    // Row 44 high; content boxes 40 high; text lines 12 high. The cell's
    // alignment also places the text in its line: bottom puts the ascent
    // (9) at the line's bottom.
    EXPECT_EQ(FindText("m")->y, 2 + (40 - 12) / 2);
    EXPECT_EQ(FindText("b")->y, 2 + 40 - 12 + (12 - 9));
}

TEST_F(Layout, TextAroundTablesAndNestedTables)
{
    const std::string text = "top<table><tr><td>a<table><tr><td>in</td></tr></table>b</td></tr></table>end";
    const RtSize size = Measure(text);
    Draw(text);
    ASSERT_NE(FindText("end"), nullptr);
    EXPECT_EQ(layout.Tables().size(), 2u);
    // top (10) + table + end (10)
    EXPECT_EQ(FindText("end")->y, size.cy - 10);
    EXPECT_LT(FindText("a")->y, FindText("in")->y);
    EXPECT_LT(FindText("in")->y, FindText("b")->y);
}

TEST_F(Layout, TableEdges)
{
    EXPECT_EQ(Measure("<table></table>").cy, 0);
    EXPECT_EQ(Measure("<table><tr></tr></table>").cy, 0);  // no columns
    // Missing closing tags: cells end at the next cell, rows at the next row.
    Measure("<table><tr><td>a<td>b<tr><td>c");
    ASSERT_EQ(layout.Tables().size(), 1u);
    EXPECT_EQ(layout.Tables()[0].grid.Rows(), 2);
    EXPECT_EQ(layout.Tables()[0].grid.Columns(), 2);
    Draw("<table><tr><td>a<td>b<tr><td>c");
    EXPECT_EQ(canvas.texts.size(), 3u);
    // An empty cell holds one empty line.
    Measure("<table><tr><td></td></tr></table>");
    EXPECT_EQ(layout.Tables()[0].rowHeights, std::vector<int>{12 + 4});
}

// --- hostile input ------------------------------------------------------------------------

TEST_F(Layout, HostileMarkupStaysBounded)
{
    std::string deep;
    for (int i = 0; i < 20000; ++i)
        deep += "<table><tr><td>";
    deep += "x";
    Draw(deep);
    EXPECT_LE(layout.Tables().size(), size_t(rtlimits::kMaxTableDepth));

    std::string tags;
    for (int i = 0; i < 100000; ++i)
        tags += "<b><a href=x>";
    tags += "y";
    Draw(tags);
    EXPECT_EQ(FindText("y")->style.fontWeight, 900);

    std::string wide = "<table><tr><td colspan=99999999 rowspan=99999999>a</td></tr>";
    for (int i = 0; i < 2000; ++i)
        wide += "<tr><td>b";
    wide += "</table>";
    Draw(wide);
    EXPECT_EQ(layout.Tables()[0].grid.Columns(), rtlimits::kMaxTableColumns);
    EXPECT_EQ(layout.Tables()[0].grid.Rows(), rtlimits::kMaxTableRows);

    std::string many;
    for (int i = 0; i < 200; ++i) {
        many += "<table><tr><td colspan=64>x</td></tr>";
        for (int r = 0; r < 20; ++r)
            many += "<tr>";
        many += "</table>";
    }
    Draw(many);
    size_t cells = 0;
    for (const TableRecord& t : layout.Tables())
        cells += size_t(t.grid.Rows()) * t.grid.Columns();
    EXPECT_LE(cells, size_t(rtlimits::kMaxGridCells));

    Draw("<font size=99999999>x<font size=999999999999%>y<hr width=99999999 size=99999999><t=99999999><bmp");
    EXPECT_EQ(FindText("x")->style.fontSize, rtlimits::kMaxLength);
}

}  // namespace

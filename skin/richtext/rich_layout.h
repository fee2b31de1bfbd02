// RichTextLayout: lays rich-text markup out into lines and tables and, in
// its drawing pass, paints it through a RichTextCanvas. It is the whole of
// the renderer's behaviour apart from the device; HtmlTextRenderer puts it
// on a Windows device context.
//
// Every call is one pass. The measuring pass computes sizes and keeps a
// record per line and the grid and sizes of every table; the drawing pass
// replays them, so a text is measured before it is drawn (Draw measures
// first by itself when the last measured text was another).
//
// Lines break only where the text says so. Bounds (rich_types.h): style
// stack depth, table nesting, grid size, counts, lengths, link areas.
#ifndef QUORBEL_SKIN_RICHTEXT_RICH_LAYOUT_H
#define QUORBEL_SKIN_RICHTEXT_RICH_LAYOUT_H

#include <string>
#include <vector>

#include "skin/richtext/markup_reader.h"
#include "skin/richtext/markup_tags.h"
#include "skin/richtext/rich_canvas.h"
#include "skin/richtext/style_sheet.h"
#include "skin/richtext/table_grid.h"
#include "skin/richtext/text_style.h"

struct LineRecord {
    int width = 0;        // x reached at the line's end, from the left edge
    int height = 0;       // largest ascent plus largest descent
    int descent = 0;      // largest descent of its text runs
    int rulePercent = 0;  // sum of the percentages of its rules
    int alignment = 0;    // text alignment of its last item (or its start)
};

// A hot rectangle of a link, gathered while drawing.
struct LinkArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int kind = 0;         // 1 with target, 2 without
    int index = 0;        // which link of the text, from 0
    std::string target;
};

// What the measuring pass keeps of one table.
struct TableRecord {
    TableGrid grid;
    std::vector<int> columnWidths;
    std::vector<int> rowHeights;
};

class RichTextLayout {
public:
    RichTextLayout();

    // nullptr installs the built-in sheet.
    void SetStyleSheet(const char* text);
    const RichStyleSheet& StyleSheet() const { return sheet_; }
    ColorNameMap& ColorNames() { return colors_; }
    const ColorNameMap& ColorNames() const { return colors_; }

    void SetShadow(const ShadowSettings& shadow);
    const ShadowSettings& Shadow() const { return shadow_; }
    void SetHoveredLink(int index);
    int HoveredLink() const { return hoveredLink_; }
    void SetBreakCharacters(bool on);
    void SetBaseFont(int size, const std::string& face);
    // The next Draw measures again (the device's resources changed).
    void ForgetMeasure() { measured_ = false; }
    int BaseFontSize() const { return baseFontSize_; }
    const std::string& BaseFontFace() const { return baseFace_; }

    // The widest segment and the summed height of the segments, as laid
    // out (without the renderer's extra pixels).
    RtSize Measure(RichTextCanvas& canvas, const std::string& text);
    RtSize Draw(RichTextCanvas& canvas, const std::string& text, const RtRect& rect);

    const std::vector<LineRecord>& Lines() const { return lines_; }
    const std::vector<LinkArea>& Links() const { return links_; }
    const std::vector<TableRecord>& Tables() const { return tables_; }

private:
    // The line being laid out.
    struct LineState {
        int width = 0;
        int height = 0;       // ascent while measuring, full height while drawing
        int descent = 0;
        int rulePercent = 0;
        int alignment = 0;
    };
    // A flow being laid out.
    struct Flow {
        RtRect rect;
        int x = 0;
        int y = 0;
        int width = 0;        // widest line so far
    };

    RtSize Run(RichTextCanvas& canvas, const std::string& text, const RtRect& rect, bool measuring);

    RtSize LayoutFlow(size_t first, size_t last, const RtRect& rect, bool body);
    void StartLine(Flow& f);
    void BreakLine(Flow& f, int count, bool startNext);
    void PlaceText(Flow& f, const std::string& text);
    void PlaceImage(Flow& f, TagId id, const MarkupTag& tag);
    void PlaceRule(Flow& f, const MarkupTag& tag);
    void HandleTag(Flow& f, size_t index);
    void OpenStyleTag(TagId id, const MarkupTag& tag);
    void RecordLink(int x, int y, int width, int height);

    RtSize LayoutTable(size_t first, size_t last, const RtRect& rect, int depth);
    void CountGrid(size_t first, size_t last, TableGrid& grid);
    RtSize LayoutCellContent(size_t first, size_t last, const RtRect& rect, int depth);
    // The next tag of this table level from index on, nested tables passed
    // over; last when none.
    size_t NextTableTag(size_t index, size_t last) const;

    bool PushStyle(const char* stackName, bool always = false);
    void PopStyle(const char* stackName);
    void UnwindTo(size_t depth);
    void ApplyRule(const std::string& name);
    void ApplyRuleTo(TextStyle& style, const std::string& name);
    void SelectCurrent();
    bool InHoveredLink() const;

    // Settings.
    RichStyleSheet sheet_;
    ColorNameMap colors_;
    ShadowSettings shadow_;
    int hoveredLink_ = -2;         // link drawn in its hover style
    bool breakCharacters_ = true;  // tab, line feed, carriage return end runs
    int baseFontSize_ = 12;
    std::string baseFace_ = "Verdana";

    // Kept between calls.
    std::vector<LineRecord> lines_;
    std::vector<LinkArea> links_;
    std::vector<TableRecord> tables_;
    std::string measuredText_;     // text of the last measuring pass...
    bool measured_ = false;        // ...valid while settings are unchanged

    // State of the call in progress.
    RichTextCanvas* canvas_ = nullptr;
    bool measuring_ = false;
    MarkupTokens tokens_;
    TextStyle current_;
    std::vector<TextStyle> stack_;
    LineState line_;
    int lineIndex_ = 0;
    int tableCounter_ = -1;
    int linkCounter_ = -1;
    int gridCellsLeft_ = 0;        // measuring: grid cells the call may still make
};

#endif

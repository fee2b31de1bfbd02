#include "skin/richtext/rich_layout.h"

#include <algorithm>

#include "skin/richtext/color_names.h"

namespace {

bool IsStyleTag(TagId id)
{
    switch (id) {
    case TagId::Bold: case TagId::Italic: case TagId::Underline: case TagId::Strike: case TagId::Font:
    case TagId::Left: case TagId::Center: case TagId::Right: case TagId::Top: case TagId::Baseline:
    case TagId::Bottom: case TagId::VCenter: case TagId::Body: case TagId::H1: case TagId::H2:
    case TagId::H3: case TagId::H4: case TagId::H5: case TagId::H6: case TagId::Code: case TagId::Pre:
    case TagId::Big: case TagId::Small: case TagId::Sub: case TagId::Sup: case TagId::Span:
    case TagId::Anchor:
        return true;
    default:
        return false;
    }
}

// Offset of an item of the given height from the line's top.
int VerticalOffset(int alignment, int lineHeight, int lineDescent, int itemHeight, int itemAscent)
{
    switch (alignment) {
    case kRtVAlignTop: return 0;
    case kRtVAlignMiddle: return (lineHeight - itemHeight) / 2;
    case kRtVAlignBottom: return lineHeight - itemAscent;
    default: return lineHeight - lineDescent - itemAscent;
    }
}

int ResolveImageSide(const std::string& value, int natural, LengthMetrics& metrics)
{
    long long side = natural;
    if (IsPercentValue(value))
        side = RtMulDiv(natural, PercentNumber(value), 100);
    else if (!value.empty())
        side = ParseLengthValue(value, natural, metrics);
    return RtClamp(side, 0, rtlimits::kMaxImageSide);
}

}  // namespace

RichTextLayout::RichTextLayout() { InitColorNames(colors_, nullptr); }

void RichTextLayout::SetStyleSheet(const char* text)
{
    sheet_.SetStyleSheet(text);
    measured_ = false;
}

void RichTextLayout::SetShadow(const ShadowSettings& shadow)
{
    shadow_ = shadow;
    measured_ = false;
}

void RichTextLayout::SetHoveredLink(int index)
{
    hoveredLink_ = index;
    measured_ = false;
}

void RichTextLayout::SetBreakCharacters(bool on)
{
    breakCharacters_ = on;
    measured_ = false;
}

void RichTextLayout::SetBaseFont(int size, const std::string& face)
{
    baseFontSize_ = size;
    baseFace_ = face;
    measured_ = false;
}

RtSize RichTextLayout::Measure(RichTextCanvas& canvas, const std::string& text)
{
    const RtSize size = Run(canvas, text, RtRect(), true);
    measuredText_ = text;
    measured_ = true;
    return size;
}

RtSize RichTextLayout::Draw(RichTextCanvas& canvas, const std::string& text, const RtRect& rect)
{
    // Drawing replays the line records and table sizes of a measuring pass
    // over the same text.
    if (!measured_ || text != measuredText_)
        Measure(canvas, text);
    return Run(canvas, text, rect, false);
}

RtSize RichTextLayout::Run(RichTextCanvas& canvas, const std::string& text, const RtRect& rect, bool measuring)
{
    canvas_ = &canvas;
    measuring_ = measuring;
    links_.clear();
    if (measuring) {
        tables_.clear();
        lines_.clear();
        gridCellsLeft_ = rtlimits::kMaxGridCells;
    }
    tableCounter_ = -1;
    linkCounter_ = -1;
    lineIndex_ = 0;
    stack_.clear();
    line_ = LineState();

    current_.Reset(baseFontSize_, baseFace_);
    SelectCurrent();
    ApplyRule("body");
    SelectCurrent();

    tokens_.Tokenize(text, breakCharacters_);
    const size_t n = tokens_.size();
    RtSize total;
    long long y = rect.top;
    size_t pos = 0;
    while (pos < n) {
        size_t table = pos;
        while (table < n && !tokens_.IsOpen(table, TagId::Table))
            ++table;
        if (table > pos) {
            const RtRect seg{rect.left, RtCoord(y), rect.right, rect.bottom};
            const RtSize s = LayoutFlow(pos, table, seg, true);
            total.cx = std::max(total.cx, s.cx);
            y += s.cy;
        }
        if (table >= n)
            break;
        const size_t end = tokens_.TableEnd(table);
        const RtRect seg{rect.left, RtCoord(y), rect.right, rect.bottom};
        const RtSize s = LayoutTable(table, end, seg, 0);
        total.cx = std::max(total.cx, s.cx);
        y += s.cy;
        pos = end + 1;
    }
    total.cy = RtCoord(y - rect.top);
    stack_.clear();
    canvas_ = nullptr;
    return total;
}

// --- styles ---------------------------------------------------------------------------------

bool RichTextLayout::PushStyle(const char* stackName, bool always)
{
    if (!always && stack_.size() >= size_t(rtlimits::kMaxStyleDepth))
        return false;
    stack_.push_back(current_);
    stack_.back().tagName = stackName;
    return true;
}

void RichTextLayout::PopStyle(const char* stackName)
{
    if (stack_.empty() || stack_.back().tagName != stackName)
        return;
    current_ = std::move(stack_.back());
    stack_.pop_back();
    SelectCurrent();
}

void RichTextLayout::UnwindTo(size_t depth)
{
    // Tags left open inside a box end with it.
    if (stack_.size() <= depth)
        return;
    current_ = std::move(stack_[depth]);
    stack_.resize(depth);
    SelectCurrent();
}

void RichTextLayout::ApplyRule(const std::string& name) { ApplyRuleTo(current_, name); }

void RichTextLayout::ApplyRuleTo(TextStyle& style, const std::string& name)
{
    if (const std::string* rule = sheet_.FindRule(name))
        ApplyDeclarations(style, *rule, *canvas_, colors_);
}

void RichTextLayout::SelectCurrent() { canvas_->SelectStyle(current_); }

bool RichTextLayout::InHoveredLink() const
{
    return current_.linkKind != kRtNoLink && linkCounter_ == hoveredLink_;
}

void RichTextLayout::RecordLink(int x, int y, int width, int height)
{
    if (measuring_ || current_.linkKind == kRtNoLink || links_.size() >= size_t(rtlimits::kMaxLinkAreas))
        return;
    links_.push_back({x, y, width, height, current_.linkKind, linkCounter_, current_.linkTarget});
}

// --- flow layout ----------------------------------------------------------------------------

RtSize RichTextLayout::LayoutFlow(size_t first, size_t last, const RtRect& rect, bool body)
{
    Flow f;
    f.rect = rect;
    f.x = rect.left;
    f.y = rect.top;
    const int firstLine = lineIndex_;
    const size_t depth = stack_.size();
    if (body) {
        // A flow segment reads as if written between "<body>" and "</body>".
        PushStyle("body", true);
        ApplyRule("body");
        SelectCurrent();
    }
    StartLine(f);
    for (size_t i = first; i < last; ++i) {
        const MarkupToken& t = tokens_[i];
        switch (t.kind) {
        case MarkupTokenKind::Run:
            PlaceText(f, ApplyTextTransform(tokens_.RunText(t), current_.textTransform));
            break;
        case MarkupTokenKind::LineFeed:
            BreakLine(f, 1, true);
            break;
        case MarkupTokenKind::Tab:
            f.x = NextTabStop(f.x, f.rect.left, 1);
            break;
        case MarkupTokenKind::CarriageReturn:
            break;
        case MarkupTokenKind::Tag:
            HandleTag(f, i);
            break;
        }
    }
    BreakLine(f, 1, false);
    const int height = RtCoord((long long)f.y - rect.top);
    // Rules of a percentage of the line widen the flow by that share.
    for (int k = firstLine; k < lineIndex_ && k < int(lines_.size()); ++k) {
        const LineRecord& r = lines_[size_t(k)];
        if (r.rulePercent)
            f.width = RtCoord(std::max<long long>(f.width, r.width + (long long)r.rulePercent * f.width / 100));
    }
    UnwindTo(depth);
    return {f.width, height};
}

void RichTextLayout::StartLine(Flow& f)
{
    if (measuring_) {
        LineRecord r;
        r.alignment = current_.textAlign;
        lines_.push_back(r);
        line_ = LineState();
        line_.alignment = r.alignment;
        f.x = f.rect.left;
        return;
    }
    LineRecord r;
    if (lineIndex_ < int(lines_.size())) {
        r = lines_[size_t(lineIndex_)];
    } else {
        r.height = canvas_->FontHeight();  // not measured: a line of the font's height
    }
    const long long width = r.width + (long long)f.rect.Width() * r.rulePercent / 100;
    line_.width = RtCoord(width);
    line_.height = r.height;
    line_.descent = r.descent;
    line_.rulePercent = r.rulePercent;
    line_.alignment = r.alignment;
    if (r.alignment == kRtAlignCenter)
        f.x = RtCoord(f.rect.left + ((long long)f.rect.right - width - f.rect.left) / 2);
    else if (r.alignment == kRtAlignRight)
        f.x = RtCoord(f.rect.right - width);
    else
        f.x = f.rect.left;
}

void RichTextLayout::BreakLine(Flow& f, int count, bool startNext)
{
    count = std::max(1, count);
    int lineHeight;
    if (measuring_) {
        if (line_.height == 0)
            line_.height = canvas_->FontHeight();
        LineRecord& r = lines_[size_t(lineIndex_)];
        r.width = RtCoord((long long)f.x - f.rect.left);
        r.height = RtCoord((long long)line_.height + line_.descent);
        r.descent = line_.descent;
        r.rulePercent = line_.rulePercent;
        r.alignment = line_.alignment;
        f.width = std::max(f.width, r.width);
        lineHeight = r.height;
    } else {
        if (lineIndex_ < int(lines_.size()))
            f.width = std::max(f.width, lines_[size_t(lineIndex_)].width);
        lineHeight = line_.height;
    }
    f.y = RtCoord(f.y + (long long)count * lineHeight);
    ++lineIndex_;
    f.x = f.rect.left;
    if (startNext)
        StartLine(f);
}

void RichTextLayout::PlaceText(Flow& f, const std::string& text)
{
    if (text.empty())
        return;
    const RtSize size = canvas_->TextExtent(text);
    const int ascent = canvas_->FontAscent();
    if (measuring_) {
        line_.alignment = current_.textAlign;
        line_.height = std::max(line_.height, ascent);
        line_.descent = std::max(line_.descent, size.cy - ascent);
    } else {
        const int y = RtCoord((long long)f.y + VerticalOffset(current_.verticalAlign, line_.height, line_.descent,
                                                               canvas_->FontHeight(), ascent));
        // Middle centres the font's full height; the others place its ascent.
        canvas_->PaintText(f.x, y, text);
        if (current_.overline)
            canvas_->PaintLine(f.x, f.y, RtCoord((long long)f.x + size.cx), f.y, current_.textColor,
                               current_.fontWeight >= 700 ? 2 : 1);
        RecordLink(f.x, y, size.cx, size.cy);
    }
    f.x = RtCoord((long long)f.x + size.cx);
}

void RichTextLayout::PlaceImage(Flow& f, TagId id, const MarkupTag& tag)
{
    const ImageAttributes a = ReadImageAttributes(tag, colors_, shadow_);
    std::unique_ptr<RichTextImage> image;
    RtRect source;
    int width = 0;
    int height = 0;
    bool fromList = false;
    if (id == TagId::Bmp) {
        image = canvas_->OpenBitmap(a);
        if (!image)
            return;
        source = {0, 0, image->width, image->height};
        width = ResolveImageSide(a.width, image->width, *canvas_);
        height = ResolveImageSide(a.height, image->height, *canvas_);
    } else if (id == TagId::Icon) {
        const RtSize system = canvas_->SystemIconSize();
        width = ResolveImageSide(a.width, system.cx, *canvas_);
        height = ResolveImageSide(a.height, system.cy, *canvas_);
        if (width <= 0 || height <= 0)
            return;
        image = canvas_->OpenIcon(a, width, height);
        if (!image)
            return;
    } else if (a.NamesSource()) {
        // A cell of an image strip: cx by cy cells, row by row.
        if (a.cellWidth <= 0 || a.cellHeight <= 0 || a.index < 0)
            return;
        image = canvas_->OpenBitmap(a);
        if (!image)
            return;
        const int perRow = image->width / a.cellWidth;
        const long long cells = (long long)perRow * (image->height / a.cellHeight);
        if (a.index >= cells)
            return;
        const int column = a.index % perRow;
        const int row = a.index / perRow;
        source = {column * a.cellWidth, row * a.cellHeight, (column + 1) * a.cellWidth, (row + 1) * a.cellHeight};
        width = ResolveImageSide(a.width, a.cellWidth, *canvas_);
        height = ResolveImageSide(a.height, a.cellHeight, *canvas_);
    } else {
        RtSize listSize;
        if (!canvas_->ListIconSize(a.index, &listSize))
            return;
        fromList = true;
        width = ResolveImageSide(a.width, listSize.cx, *canvas_);
        height = ResolveImageSide(a.height, listSize.cy, *canvas_);
    }
    if (width <= 0 || height <= 0)
        return;

    const bool shadowed = a.HasShadow();
    const int boxWidth = std::max(0, width + (shadowed ? shadow_.offsetX : 0));
    const int boxHeight = std::max(0, height + (shadowed ? shadow_.offsetY : 0));
    if (measuring_) {
        line_.alignment = current_.textAlign;
        line_.height = std::max(line_.height, boxHeight);
    } else {
        const int y = RtCoord(
            (long long)f.y + VerticalOffset(current_.verticalAlign, line_.height, line_.descent, boxHeight, boxHeight));
        const int style = InHoveredLink() ? a.hotStyle : a.style;
        if (fromList)
            canvas_->PaintListIcon(a.index, f.x, y, width, height, style, shadowed);
        else if (id == TagId::Icon)
            canvas_->PaintIcon(*image, f.x, y, width, height, style, shadowed);
        else
            canvas_->PaintBitmap(*image, source, f.x, y, width, height, a, style, shadowed);
        RecordLink(f.x, y, boxWidth, boxHeight);
    }
    f.x = RtCoord((long long)f.x + boxWidth);
}

void RichTextLayout::PlaceRule(Flow& f, const MarkupTag& tag)
{
    TextStyle ruleStyle = current_;
    ApplyRuleTo(ruleStyle, "hr");
    const RuleAttributes rule = ReadRuleAttributes(tag, ruleStyle, *canvas_, colors_);
    if (measuring_) {
        if (rule.percent)
            line_.rulePercent = RtCoord((long long)line_.rulePercent + rule.width);
        else
            f.x = RtCoord((long long)f.x + rule.width);
        line_.height = std::max(line_.height, RtCoord((long long)rule.thickness + 8));
        line_.alignment = current_.textAlign;
        return;
    }
    const int width = rule.percent ? RtCoord((long long)f.rect.Width() * rule.width / 100) : rule.width;
    const int y = RtCoord(f.y + (long long)line_.height / 2);
    canvas_->PaintLine(f.x, y, RtCoord((long long)f.x + width), y, rule.color, rule.thickness);
    f.x = RtCoord((long long)f.x + width);
}

void RichTextLayout::HandleTag(Flow& f, size_t index)
{
    const MarkupToken& t = tokens_[index];
    const TagId id = t.tag;
    switch (id) {
    case TagId::Unknown:
    case TagId::Table:
    case TagId::Tr:
    case TagId::Td:
        return;  // tables are cut out before; stray table tags mean nothing here
    default:
        break;
    }
    if (t.closing && IsStyleTag(id)) {
        PopStyle(TagStackName(id));
        return;
    }
    // Closing forms of the other tags act like their opening forms.
    const MarkupTag tag = ReadTag(tokens_.TagText(t));
    switch (id) {
    case TagId::Br:
        BreakLine(f, tag.count, true);
        break;
    case TagId::Tab:
        f.x = NextTabStop(f.x, f.rect.left, tag.count);
        break;
    case TagId::Hr:
        PlaceRule(f, tag);
        break;
    case TagId::Bmp:
    case TagId::Icon:
    case TagId::Ilst:
        PlaceImage(f, id, tag);
        break;
    case TagId::String: {
        const int stringId = ReadStringId(tag);
        if (stringId != 0)
            PlaceText(f, canvas_->ReadString(stringId));
        break;
    }
    default:
        OpenStyleTag(id, tag);
        break;
    }
}

void RichTextLayout::OpenStyleTag(TagId id, const MarkupTag& tag)
{
    std::string spanClass;
    if (id == TagId::Span) {
        bool hasClass = false;
        for (const auto& [name, value] : tag.attributes)
            if (name == "class") {
                spanClass = value;
                hasClass = true;
            }
        if (!hasClass)
            return;
    }
    if (!PushStyle(TagStackName(id)))
        return;
    TextStyle& s = current_;
    switch (id) {
    case TagId::Bold: s.fontWeight = std::min(s.fontWeight * 2, 900); break;
    case TagId::Italic: s.italic = !s.italic; break;
    case TagId::Underline: s.underline = !s.underline; break;
    case TagId::Strike: s.strikeOut = !s.strikeOut; break;
    case TagId::Font: ApplyFontAttributes(s, tag, *canvas_, colors_); break;
    case TagId::Left: s.textAlign = kRtAlignLeft; break;
    case TagId::Center: s.textAlign = kRtAlignCenter; break;
    case TagId::Right: s.textAlign = kRtAlignRight; break;
    case TagId::Top: s.verticalAlign = kRtVAlignTop; break;
    case TagId::Baseline: s.verticalAlign = kRtVAlignBaseline; break;
    case TagId::Bottom: s.verticalAlign = kRtVAlignBottom; break;
    case TagId::VCenter: s.verticalAlign = kRtVAlignMiddle; break;
    case TagId::Span: ApplyRule("." + spanClass); break;
    case TagId::Anchor:
        s.linkKind = kRtLinkWithoutTarget;
        s.linkTarget.clear();
        for (const auto& [name, value] : tag.attributes) {
            if (name == "href") {
                s.linkKind = kRtLinkWithTarget;
                s.SetLinkTarget(value);
            } else if (name == "msg") {
                s.linkKind = kRtLinkWithoutTarget;
            }
        }
        ++linkCounter_;
        ApplyRule(linkCounter_ == hoveredLink_ ? "a:hover" : "a:link");
        break;
    default:
        // body, h1-h6, code, pre, big, small, sub, sup: their rule.
        ApplyRule(TagStackName(id));
        break;
    }
    SelectCurrent();
}

// --- tables ---------------------------------------------------------------------------------

size_t RichTextLayout::NextTableTag(size_t index, size_t last) const
{
    for (size_t i = index; i < last; ++i) {
        const MarkupToken& t = tokens_[i];
        if (t.kind != MarkupTokenKind::Tag)
            continue;
        if (t.tag == TagId::Table) {
            if (t.closing)
                return i;
            i = tokens_.TableEnd(i);  // a nested table: passed over whole
            continue;
        }
        if (t.tag == TagId::Tr || t.tag == TagId::Td)
            return i;
    }
    return last;
}

void RichTextLayout::CountGrid(size_t first, size_t last, TableGrid& grid)
{
    // Rows are the "tr" tags of this table, cells the "td" tags inside them.
    std::vector<std::vector<std::pair<int, int>>> rows;
    bool inRow = false;
    for (size_t i = NextTableTag(first, last); i < last; i = NextTableTag(i + 1, last)) {
        const MarkupToken& t = tokens_[i];
        if (t.tag == TagId::Table)
            break;  // its closing tag
        if (t.tag == TagId::Tr) {
            inRow = !t.closing && rows.size() < size_t(rtlimits::kMaxTableRows);
            if (inRow)
                rows.emplace_back();
            continue;
        }
        if (t.closing || !inRow || rows.back().size() >= size_t(rtlimits::kMaxTableColumns))
            continue;
        int colspan = 1;
        int rowspan = 1;
        for (const auto& [name, value] : ReadTag(tokens_.TagText(t)).attributes) {
            if (name == "colspan")
                colspan = RtClamp(ParseBasedInteger(value), 1, rtlimits::kMaxTableColumns);
            else if (name == "rowspan")
                rowspan = RtClamp(ParseBasedInteger(value), 1, rtlimits::kMaxTableRows);
        }
        rows.back().push_back({colspan, rowspan});
    }
    const int columns = CountGridColumns(rows);
    int rowCount = int(rows.size());
    if (columns > 0 && (long long)rowCount * columns > gridCellsLeft_)
        rowCount = gridCellsLeft_ / columns;  // over the call's budget: the rows that fit
    if (columns == 0 || rowCount == 0) {
        grid.Init(0, 0);
        return;
    }
    grid.Init(rowCount, columns);
    gridCellsLeft_ -= rowCount * columns;
}

RtSize RichTextLayout::LayoutTable(size_t first, size_t last, const RtRect& rect, int depth)
{
    if (depth >= rtlimits::kMaxTableDepth)
        return {};
    const int index = ++tableCounter_;
    if (measuring_) {
        tables_.resize(size_t(index) + 1);
        CountGrid(first + 1, last, tables_[size_t(index)].grid);
    }
    if (index >= int(tables_.size()) || tables_[size_t(index)].grid.Empty())
        return {};

    // A table does not inherit from the text around it.
    const size_t depthMark = stack_.size();
    PushStyle("table", true);
    current_.Reset(baseFontSize_, baseFace_);
    ApplyRule("table");
    const BoxAttributes box = ApplyBoxAttributes(current_, ReadTag(tokens_.TagText(tokens_[first])), *canvas_, colors_);
    SelectCurrent();
    const TextStyle tableStyle = current_;
    const int inset = BorderInset(tableStyle);

    // Drawing: the table's rectangle, background, border and the columns
    // spread over its inner width. Measuring keeps nothing of these.
    std::vector<int> columnWidths;
    std::vector<int> rowHeights;
    std::vector<long long> columnStart;
    std::vector<long long> rowStart;
    RtRect inner;
    int measuredHeight = 0;
    if (!measuring_) {
        const TableRecord& record = tables_[size_t(index)];
        columnWidths = record.columnWidths;
        rowHeights = record.rowHeights;
        long long natural = 0;
        for (const int w : columnWidths)
            natural += w;
        long long heights = 0;
        for (const int h : rowHeights)
            heights += h;
        measuredHeight = RtCoord(heights + 2LL * inset);
        const int available = rect.Width();
        const int width = ResolveTableWidth(box.width, false, RtCoord(natural), available, *canvas_);
        RtRect table{rect.left, rect.top, RtCoord((long long)rect.left + width),
                     RtCoord((long long)rect.top + measuredHeight)};
        if (width < available) {
            const int shift = tableStyle.textAlign == kRtAlignCenter  ? (available - width) / 2
                              : tableStyle.textAlign == kRtAlignRight ? available - width
                                                                      : 0;
            table.left += shift;
            table.right += shift;
        }
        if (tableStyle.backgroundEffect >= 0) {
            canvas_->PaintBackground(table, tableStyle);
        } else if (tableStyle.backgroundImage.size() >= 6) {
            // "idres:<id>" or "file:<path>", up to a ";".
            const std::string& text = tableStyle.backgroundImage;
            const size_t colon = text.find(':');
            if (colon != std::string::npos) {
                const std::string name = text.substr(0, colon);
                const std::string value = text.substr(colon + 1, text.find(';', colon + 1) - colon - 1);
                ImageAttributes a;
                if (name == "idres")
                    a.resourceId = RtClamp(ParseBasedInteger(value), 0, 0xFFFF);
                else if (name == "file")
                    a.file = value;
                if (a.resourceId != 0 || !a.file.empty())
                    if (std::unique_ptr<RichTextImage> tile = canvas_->OpenBitmap(a))
                        canvas_->TileImage(*tile, table);
            }
        }
        canvas_->PaintBorder(table, tableStyle, tableStyle.borderWidth);
        inner = {table.left + inset, table.top + inset, table.right - inset, table.bottom - inset};
        SpreadColumns(columnWidths, inner.Width());
        columnStart.assign(columnWidths.size() + 1, inner.left);
        for (size_t c = 0; c < columnWidths.size(); ++c)
            columnStart[c + 1] = columnStart[c] + columnWidths[c];
        rowStart.assign(rowHeights.size() + 1, inner.top);
        for (size_t r = 0; r < rowHeights.size(); ++r)
            rowStart[r + 1] = rowStart[r] + rowHeights[r];
    }

    int row = -1;
    size_t i = NextTableTag(first + 1, last);
    while (i < last) {
        if (!tokens_.IsOpen(i, TagId::Tr)) {
            if (tokens_.IsClose(i, TagId::Table))
                break;
            i = NextTableTag(i + 1, last);  // a stray "/tr", "td" or "/td" between rows
            continue;
        }
        ++row;
        const size_t rowMark = stack_.size();
        PushStyle("tr", true);
        ApplyRule("tr");
        ApplyBoxAttributes(current_, ReadTag(tokens_.TagText(tokens_[i])), *canvas_, colors_);
        SelectCurrent();

        int column = 0;
        i = NextTableTag(i + 1, last);
        while (i < last && !tokens_.IsOpen(i, TagId::Tr) && !tokens_.IsClose(i, TagId::Tr) &&
               !tokens_.IsClose(i, TagId::Table)) {
            if (!tokens_.IsOpen(i, TagId::Td)) {
                i = NextTableTag(i + 1, last);  // a stray "/td"
                continue;
            }
            const size_t cellTag = i;
            // The cell runs to its "/td", or to the next cell or row when
            // the closing tag is left out.
            const size_t cellEnd = NextTableTag(cellTag + 1, last);
            const size_t next = cellEnd < last && tokens_.IsClose(cellEnd, TagId::Td) ? cellEnd + 1 : cellEnd;

            const size_t cellMark = stack_.size();
            PushStyle("td", true);
            ApplyRule("td");
            const BoxAttributes span =
                ApplyBoxAttributes(current_, ReadTag(tokens_.TagText(tokens_[cellTag])), *canvas_, colors_);
            SelectCurrent();
            TableGrid& grid = tables_[size_t(index)].grid;
            const int c = grid.FreeColumn(row, column);
            if (c >= 0) {
                const TextStyle cs = current_;
                const int borderInset = cs.borderWidth == 0 ? 0 : cs.borderStyle == kRtBorderDouble ? 3 : 1;
                if (measuring_) {
                    grid.Place(row, c, span.colspan, span.rowspan);
                    const RtSize content = LayoutCellContent(cellTag + 1, cellEnd, RtRect(), depth);
                    TableCell& cell = tables_[size_t(index)].grid.At(row, c);
                    cell.contentWidth = content.cx;
                    cell.contentHeight = content.cy;
                    cell.outerWidth = RtCoord((long long)content.cx + cs.innerLeft + cs.innerRight + cs.outerLeft +
                                              cs.outerRight + 2LL * borderInset);
                    cell.outerHeight = RtCoord((long long)content.cy + cs.innerTop + cs.innerBottom + cs.outerTop +
                                               cs.outerBottom + 2LL * borderInset);
                } else {
                    const TableCell cell = grid.At(row, c);
                    const int colEnd = std::min<int>(c + std::max(1, cell.colspan), int(columnWidths.size()));
                    const int rowEnd = std::min<int>(row + std::max(1, cell.rowspan), int(rowHeights.size()));
                    RtRect r{RtCoord(columnStart[size_t(c)] + cs.outerLeft), RtCoord(rowStart[size_t(row)] + cs.outerTop),
                             RtCoord(columnStart[size_t(colEnd)] - cs.outerRight),
                             RtCoord(rowStart[size_t(rowEnd)] - cs.outerBottom)};
                    if (cs.backgroundEffect >= 0)
                        canvas_->PaintBackground(r, cs);
                    canvas_->PaintBorder(r, cs, 1);
                    r = {r.left + borderInset + cs.innerLeft, r.top + borderInset + cs.innerTop,
                         r.right - borderInset - cs.innerRight, r.bottom - borderInset - cs.innerBottom};
                    if (cs.verticalAlign == kRtVAlignMiddle)
                        r.top += (r.Height() - cell.contentHeight) / 2;
                    else if (cs.verticalAlign == kRtVAlignBottom)
                        r.top = r.bottom - cell.contentHeight;
                    LayoutCellContent(cellTag + 1, cellEnd, r, depth);
                }
                column = c + 1;
            }
            UnwindTo(cellMark);
            i = next < last ? NextTableTag(next, last) : last;
        }
        UnwindTo(rowMark);
        if (i < last && tokens_.IsClose(i, TagId::Tr))
            i = NextTableTag(i + 1, last);
    }

    RtSize result;
    if (measuring_) {
        TableRecord& record = tables_[size_t(index)];
        record.grid.ComputeSizes(&record.columnWidths, &record.rowHeights);
        long long natural = 2LL * inset;
        for (const int w : record.columnWidths)
            natural += w;
        long long height = 2LL * inset;
        for (const int h : record.rowHeights)
            height += h;
        result.cx = ResolveTableWidth(box.width, true, RtCoord(natural), 0, *canvas_);
        result.cy = RtCoord(height);
    } else {
        result.cx = rect.Width();
        result.cy = measuredHeight;
    }
    UnwindTo(depthMark);
    return result;
}

RtSize RichTextLayout::LayoutCellContent(size_t first, size_t last, const RtRect& rect, int depth)
{
    // Flows and nested tables, each below the one before.
    RtSize size;
    long long y = rect.top;
    size_t pos = first;
    bool laidOut = false;
    for (;;) {
        size_t table = pos;
        while (table < last && !tokens_.IsOpen(table, TagId::Table))
            ++table;
        // An empty cell still holds one empty line.
        if (table > pos || (table >= last && !laidOut)) {
            const RtSize s = LayoutFlow(pos, table, {rect.left, RtCoord(y), rect.right, rect.bottom}, false);
            size.cx = std::max(size.cx, s.cx);
            y += s.cy;
            laidOut = true;
        }
        if (table >= last)
            break;
        const size_t end = std::min(tokens_.TableEnd(table), last);
        const RtSize s = LayoutTable(table, end, {rect.left, RtCoord(y), rect.right, rect.bottom}, depth + 1);
        size.cx = std::max(size.cx, s.cx);
        y += s.cy;
        laidOut = true;
        pos = end + 1;
        if (pos >= last)
            break;
    }
    size.cy = RtCoord(y - rect.top);
    return size;
}

#include "skin/richtext/table_grid.h"

#include <algorithm>

namespace {

long long Sum(const std::vector<int>& v, int first, int count)
{
    long long s = 0;
    for (int i = first; i < first + count; ++i)
        s += v[size_t(i)];
    return s;
}

// One span pass over the sizes (columns or rows).
void SpreadSpans(std::vector<int>& sizes, std::vector<std::pair<int, std::pair<int, int>>>& cells, bool remainderToLast)
{
    // (span, (first index, outer size)), spans in rising order, grid order within.
    std::stable_sort(cells.begin(), cells.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [span, placement] : cells) {
        const int first = placement.first;
        const int outer = placement.second;
        if (span == 1) {
            sizes[size_t(first)] = std::max(sizes[size_t(first)], outer);
            continue;
        }
        const long long have = Sum(sizes, first, span);
        if (have >= outer)
            continue;
        const int missing = int(outer - have);
        for (int i = first; i < first + span; ++i)
            sizes[size_t(i)] += missing / span;
        sizes[size_t(remainderToLast ? first + span - 1 : first)] += missing % span;
    }
}

}  // namespace

void TableGrid::Init(int rows, int columns)
{
    rows_ = std::max(0, rows);
    columns_ = std::max(0, columns);
    cells_.assign(size_t(rows_) * size_t(columns_), TableCell());
}

int TableGrid::FreeColumn(int row, int column) const
{
    if (row < 0 || row >= rows_)
        return -1;
    for (int c = std::max(0, column); c < columns_; ++c)
        if (At(row, c).colspan != -1)
            return c;
    return -1;
}

void TableGrid::Place(int row, int column, int colspan, int rowspan)
{
    colspan = std::max(1, std::min(colspan, columns_ - column));
    rowspan = std::max(1, std::min(rowspan, rows_ - row));
    TableCell& cell = At(row, column);
    cell.colspan = colspan;
    cell.rowspan = rowspan;
    // The whole block, so that no later cell lands under a spanning one.
    for (int r = row; r < row + rowspan; ++r)
        for (int c = column; c < column + colspan; ++c)
            if (r != row || c != column)
                At(r, c).colspan = -1;
}

void TableGrid::ComputeSizes(std::vector<int>* columnWidths, std::vector<int>* rowHeights) const
{
    columnWidths->assign(size_t(columns_), 0);
    rowHeights->assign(size_t(rows_), 0);
    std::vector<std::pair<int, std::pair<int, int>>> byColumn, byRow;
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < columns_; ++c) {
            const TableCell& cell = At(r, c);
            if (cell.colspan < 1)
                continue;
            byColumn.push_back({cell.colspan, {c, cell.outerWidth}});
            byRow.push_back({cell.rowspan, {r, cell.outerHeight}});
        }
    SpreadSpans(*columnWidths, byColumn, true);
    SpreadSpans(*rowHeights, byRow, false);
}

int CountGridColumns(const std::vector<std::vector<std::pair<int, int>>>& rows)
{
    const int maxColumns = rtlimits::kMaxTableColumns;
    std::vector<char> covered(rows.size() * size_t(maxColumns), 0);
    int columns = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        int column = 0;
        for (const auto& [colspanIn, rowspanIn] : rows[r]) {
            int c = column;
            while (c < maxColumns && covered[r * maxColumns + size_t(c)])
                ++c;
            if (c >= maxColumns)
                break;
            const int colspan = std::max(1, std::min(colspanIn, maxColumns - c));
            const size_t rowspan = size_t(std::max(1, std::min<int>(rowspanIn, int(rows.size() - r))));
            for (size_t rr = r; rr < r + rowspan; ++rr)
                for (int cc = c; cc < c + colspan; ++cc)
                    covered[rr * maxColumns + size_t(cc)] = 1;
            columns = std::max(columns, c + colspan);
            column = c + 1;
        }
    }
    return columns;
}

int ResolveTableWidth(const std::string& width, bool measuring, int natural, int available, LengthMetrics& metrics)
{
    long long result;
    if (width.empty()) {
        result = measuring ? natural : std::max(available, natural);
    } else if (IsPercentValue(width)) {
        const int p = PercentNumber(width);
        if (measuring)
            result = p <= 0 ? natural : p <= 100 ? RtMulDiv(natural, 100, p) : RtMulDiv(natural, p, 100);
        else
            result = p < 100 ? RtMulDiv(available, p, 100) : available;
    } else {
        result = ParseLengthValue(width, natural, metrics);
    }
    return RtCoord(std::max<long long>(result, natural));
}

void SpreadColumns(std::vector<int>& widths, int innerWidth)
{
    if (widths.empty())
        return;
    long long sum = 0;
    for (const int w : widths)
        sum += w;
    if (sum >= innerWidth)
        return;
    const long long missing = innerWidth - sum;
    const int n = int(widths.size());
    for (int& w : widths)
        w = RtCoord(w + missing / n);
    widths[0] = RtCoord(widths[0] + missing % n);
}

int NextTabStop(int x, int left, int count)
{
    long long offset = (long long)x - left;
    count = std::max(1, count);
    if (offset % 32 != 0) {
        // Up to the next stop (floor division, for lines that start left
        // of their rectangle).
        long long stops = offset / 32;
        if (offset < 0)
            --stops;
        offset = (stops + 1) * 32;
        --count;
    }
    return RtCoord(left + offset + 32LL * count);
}

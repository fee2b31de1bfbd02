// The grid of one table: cell records by row and column, spans, and the
// column widths and row heights the cells ask for.
#ifndef QUORBEL_SKIN_RICHTEXT_TABLE_GRID_H
#define QUORBEL_SKIN_RICHTEXT_TABLE_GRID_H

#include <string>
#include <utility>
#include <vector>

#include "skin/richtext/rich_values.h"

struct TableCell {
    int colspan = 1;        // -1: covered by another cell's span
    int rowspan = 1;
    int contentWidth = 0;
    int contentHeight = 0;
    int outerWidth = 0;     // content, spacing and border
    int outerHeight = 0;
};

class TableGrid {
public:
    void Init(int rows, int columns);
    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    bool Empty() const { return rows_ == 0 || columns_ == 0; }
    TableCell& At(int row, int column) { return cells_[size_t(row) * columns_ + column]; }
    const TableCell& At(int row, int column) const { return cells_[size_t(row) * columns_ + column]; }

    // The first position of the row from column on that no span covers;
    // -1 when there is none.
    int FreeColumn(int row, int column) const;
    // Places a cell: spans are cut at the grid's edges and stored, and the
    // positions the cell covers besides its own are marked.
    void Place(int row, int column, int colspan, int rowspan);

    // Column widths and row heights wide and high enough for every cell:
    // single spans first, then wider spans share what their columns lack
    // (the odd pixels to the last column, or to the first row).
    void ComputeSizes(std::vector<int>* columnWidths, std::vector<int>* rowHeights) const;

private:
    int rows_ = 0;
    int columns_ = 0;
    std::vector<TableCell> cells_;
};

// Rows of (colspan, rowspan) as the markup writes them, placed as the
// layout will place them: the grid's column count, taking cells that
// spans from above push to the right into account. Cells that would start
// beyond rtlimits::kMaxTableColumns are dropped.
int CountGridColumns(const std::vector<std::vector<std::pair<int, int>>>& rows);

// The width of a table from its "width" attribute (a length or a
// percentage; "" for none), its natural width and the width available.
int ResolveTableWidth(const std::string& width, bool measuring, int natural, int available, LengthMetrics& metrics);

// Drawing: a table wider than its columns gives each column an even share
// of the difference and the odd pixels to the first.
void SpreadColumns(std::vector<int>& widths, int innerWidth);

// x after a tab of count stops, measured from left; stops every 32 pixels.
int NextTabStop(int x, int left, int count);

#endif

// One column of a grid as the file writers (comma-separated text, HTML) and
// the printer read it: every cell's text as the grid shows it, the current cell's through its
// in-cell editor, with the column's format and menu options read once so
// that a loop over many rows sends no message per cell.
#pragma once

#include <string>
#include <string_view>

#include "grid/grid_record.h"

class GridFileColumn {
public:
    GridFileColumn(GridRecord* record, int column);

    int Type() const { return c_.type; }
    // Text cells their text; numbers their text as shown ("" without a
    // value); check boxes "Yes" or "No" (MODE 1: the printed check and cross
    // characters); menus the selected option's text.
    std::string Text(int row, int mode = 0) const;
    // Numbers: whether the cell holds a value; menus: whether an option is
    // selected; other cells always.
    bool HasValue(int row) const;
    // The column's output format (real and double columns).
    const std::string& Format() const { return texts_.format; }
    // The cell's own colours (packed red + 256 green + 65536 blue, -1 for
    // none): from its colour record when the column has colour records,
    // else the column control's.
    void OwnColours(int row, int& fore, int& back) const;
    bool HasColourRecords() const { return c_.colours != nullptr; }

private:
    bool Current(int row) const;
    int MenuIndex(int row) const;

    GridRecord* r_;
    int column_;
    const GridColumnRecord& c_;
    GridColumnTexts texts_;
    int controlFore_ = -1, controlBack_ = -1;
};

// The label of ROW (up to its NUL, at most 50 characters); empty without labels.
std::string_view GridLabelOf(const GridRecord* record, int row);

// The range FIRST..LAST (counted from 1, absent: all) of COUNT items, 0-based:
// FROM at least 0, TO at most COUNT - 1.
void GridFileRange(const int* first, const int* last, int count, int& from, int& to);

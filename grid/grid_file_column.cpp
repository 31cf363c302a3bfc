// The cells of one grid column as the file writers read them (see grid_file_column.h).
#include "grid/grid_file_column.h"

#include "core/fixed_text.h"

GridFileColumn::GridFileColumn(GridRecord* record, int column)
    : r_(record), column_(column), c_(record->column[column]), texts_(c_)
{
}

bool GridFileColumn::Current(int row) const
{
    return r_->editor && column_ == r_->currentColumn && row == r_->currentRow;
}

int GridFileColumn::MenuIndex(int row) const
{
    if (Current(row))
        return static_cast<int>(SendMessageA(r_->editor, CB_GETCURSEL, 0, 0));
    return c_.cells ? static_cast<const int32_t*>(c_.cells)[row] : -1;
}

std::string GridFileColumn::Text(int row, int mode) const
{
    if (c_.type == kCellMenu) {
        const int index = MenuIndex(row);
        return index >= 0 && index < static_cast<int>(texts_.options.size()) ? texts_.options[static_cast<size_t>(index)]
                                                                               : std::string();
    }
    if (Current(row))
        return GridCellText(r_, column_, row, mode);
    if (c_.type == kCellText)
        return GridTextCell(c_, row);
    return texts_.Text(row, mode);
}

bool GridFileColumn::HasValue(int row) const
{
    switch (c_.type) {
    case kCellInteger:
    case kCellReal:
    case kCellDouble:
        if (Current(row)) {
            const std::string t = GridCellText(r_, column_, row, 0);
            return t.find_first_not_of(' ') != std::string::npos;
        }
        return (c_.states[row] & kCellHasValue) != 0;
    case kCellMenu: {
        const int index = MenuIndex(row);
        return index >= 0 && index < static_cast<int>(texts_.options.size());
    }
    default:
        return true;
    }
}

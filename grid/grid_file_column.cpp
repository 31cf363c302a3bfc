// The cells of one grid column as the file writers read them (see grid_file_column.h).
#include "grid/grid_file_column.h"

#include <algorithm>
#include <cstring>

#include "core/fixed_text.h"
#include "dialogs/dialog_fields.h"

GridFileColumn::GridFileColumn(GridRecord* record, int column)
    : r_(record), column_(column), c_(record->column[column]), texts_(c_)
{
    if (FieldRecord* f = FieldRecordOf(c_.control)) {
        controlFore_ = f->foreColour;
        controlBack_ = f->backColour;
    }
}

void GridFileColumn::OwnColours(int row, int& fore, int& back) const
{
    if (!c_.colours) {
        fore = controlFore_;
        back = controlBack_;
        return;
    }
    const uint8_t* k = c_.colours + static_cast<size_t>(row) * kGridColourBytes;
    fore = (k[0] & 1) ? k[1] + 256 * k[2] + 65536 * k[3] : -1;
    back = (k[0] & 2) ? k[4] + 256 * k[5] + 65536 * k[6] : -1;
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

std::string_view GridLabelOf(const GridRecord* record, int row)
{
    if (!record->labels || row < 0 || row >= record->rowsAllocated)
        return {};
    const char* label = record->labels + static_cast<size_t>(row) * kGridLabelBytes;
    return std::string_view(label, strnlen(label, kGridLabelLength));
}

void GridFileRange(const int* first, const int* last, int count, int& from, int& to)
{
    from = std::max(first ? *first : 1, 1) - 1;
    to = std::min(last ? *last : count, count) - 1;
}

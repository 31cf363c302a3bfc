// Finding a text in a grid and sorting its rows by one column. The search
// reads each cell as the cell-string routine would give it (blank-padded to
// the column's buffer) and makes the first cell that holds the text current.
// The sort reads each key once, orders the rows stably, and then moves the
// rows into that order by the rules of the row exchange: the values and row
// labels go with their rows, number cells take their protection along, and
// the in-cell editor's pending value travels with its row.
#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/string_routines.h"
#include "core/numeric.h"
#include "grid/grid_engine.h"
#include "grid/grid_public.h"

namespace {

// Find options.
constexpr int kFindAfterCurrent = 1;
constexpr int kFindNoCase = 2;
constexpr int kFindNumbers = 4;
// Sort options.
constexpr int kSortDescending = 1;
constexpr int kSortNoCase = 2;
constexpr int kSortLabels = 4;

void UpperInPlace(std::string& s)
{
    YYUpperCase(std::span<char>(s.data(), s.size()));
}

// ---- Find -----------------------------------------------------------------------------

// Whether NEEDLE occurs in TEXT blank-padded to SIZE characters (TEXT at
// most SIZE long), without making the padded text: the needle's part before
// its trailing blanks must occur in TEXT followed by as many blanks within SIZE.
bool OccursPadded(std::string_view text, size_t size, std::string_view needle)
{
    size_t core = needle.size();
    while (core > 0 && needle[core - 1] == ' ')
        --core;
    const size_t blanks = needle.size() - core;
    if (core == 0) { // only blanks: a run of them in the padded text
        size_t run = size - text.size();
        for (size_t i = text.size(); i-- > 0 && run < blanks && text[i] == ' ';)
            ++run;
        for (size_t i = 0, inner = 0; i < text.size() && run < blanks; ++i) {
            inner = text[i] == ' ' ? inner + 1 : 0;
            run = std::max(run, inner);
        }
        return run >= blanks;
    }
    const std::string_view part = needle.substr(0, core);
    for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
        const size_t after = at + core;
        if (after + blanks > size)
            return false; // later occurrences end later still
        size_t j = after;
        while (j < text.size() && j < after + blanks && text[j] == ' ')
            ++j;
        if (j == after + blanks || j == text.size())
            return true;
    }
    return false;
}

// Searches rows FIRST..LAST (0-based) of COLUMN for NEEDLE; the row found, or -1.
int FindInColumn(GridRecord* r, int column, int first, int last, const std::string& needle, bool noCase)
{
    const GridColumnRecord& c = r->column[column];
    if (!c.cells || !c.states)
        return -1;
    // The cell's text as the cell-string routine gives it into this buffer.
    const size_t size = c.type == kCellText ? static_cast<size_t>(std::max(c.maxChars, 0)) + 1
                        : c.type == kCellInteger ? kGridIntegerTextLimit
                                                 : kGridNumberTextLength;
    if (needle.size() > size)
        return -1;
    const GridColumnTexts texts(c);
    std::string cell;
    for (int row = first; row <= last; ++row) {
        std::string_view text;
        if (r->editor && column == r->currentColumn && row == r->currentRow) {
            cell = GridWindowText(r->editor, static_cast<int>(size));
            text = cell;
        } else if (c.type == kCellText) {
            const char* t = GridTextCell(c, row);
            text = std::string_view(t, strnlen(t, size));
        } else {
            cell.clear();
            texts.Append(row, 0, cell);
            text = cell;
        }
        text = text.substr(0, std::min(text.size(), size));
        if (noCase) {
            if (text.data() != cell.data())
                cell.assign(text);
            UpperInPlace(cell);
            text = std::string_view(cell).substr(0, text.size());
        }
        if (OccursPadded(text, size, needle))
            return row;
    }
    return -1;
}

// ---- Sort -------------------------------------------------------------------------------

// The key of one cell of the sort column.
struct SortKey {
    std::string text;
    double number = 0.0;
};

// Texts compare as unsigned bytes, the shorter one padded with blanks.
int TextCompare(const std::string& a, const std::string& b)
{
    const size_t n = std::max(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(i < a.size() ? a[i] : ' ');
        const auto y = static_cast<unsigned char>(i < b.size() ? b[i] : ' ');
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

// The keys of rows FIRST..LAST of COLUMN; empty cells take the value that
// sorts last in the chosen direction.
std::vector<SortKey> SortKeys(int id, GridRecord* r, int column, int first, int last, bool descending, bool noCase)
{
    const GridColumnRecord& c = r->column[column];
    std::vector<SortKey> keys(static_cast<size_t>(last - first + 1));
    for (int row = first; row <= last; ++row) {
        SortKey& k = keys[static_cast<size_t>(row - first)];
        const bool current = r->editor && column == r->currentColumn && row == r->currentRow;
        switch (c.type) {
        case kCellText: {
            k.text = current ? GridWindowText(r->editor, c.maxChars) : std::string(GridTextCell(c, row));
            if (k.text.empty())
                k.text = descending ? std::string(" ") : std::string(1, '\xFF');
            else if (noCase)
                UpperInPlace(k.text);
            break;
        }
        case kCellInteger:
        case kCellReal:
        case kCellDouble: {
            double v = 0.0;
            bool has = false;
            if (current) {
                int local = id;
                GridGetCellNumber(local, column, row, v);
                has = local == id;
            } else if (c.states[row] & kCellHasValue) {
                has = true;
                v = c.type == kCellInteger ? GridIntCell(const_cast<GridColumnRecord&>(c), row)
                    : c.type == kCellReal  ? static_cast<double>(GridRealCell(const_cast<GridColumnRecord&>(c), row))
                                           : GridDoubleCell(const_cast<GridColumnRecord&>(c), row);
            }
            if (!(v == v))
                has = false;
            if (c.type == kCellInteger)
                k.number = has ? TruncateToInt(v) : (descending ? -2147483647.0 : 2147483647.0);
            else if (c.type == kCellReal)
                k.number = has ? SaturateToFloat(v) : (descending ? -FLT_MAX : FLT_MAX);
            else
                k.number = has ? v : (descending ? -DBL_MAX : DBL_MAX);
            break;
        }
        case kCellCheckBox:
            k.number = current ? (SendMessageA(r->editor, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0)
                               : GridIntCell(const_cast<GridColumnRecord&>(c), row);
            break;
        default: {
            if (current) {
                LRESULT sel = SendMessageA(r->editor, CB_GETCURSEL, 0, 0);
                k.number = sel == CB_ERR ? 0 : static_cast<double>(sel) + 1;
            } else {
                k.number = static_cast<double>(GridIntCell(const_cast<GridColumnRecord&>(c), row)) + 1;
            }
            break;
        }
        }
    }
    return keys;
}

// Puts the units of UNIT bytes from BASE on into the order ORDER (ORDER[i]
// the unit that comes to place i).
void Permute(void* base, size_t unit, const std::vector<int>& order)
{
    auto* bytes = static_cast<unsigned char*>(base);
    const std::vector<unsigned char> kept(bytes, bytes + order.size() * unit);
    for (size_t i = 0; i < order.size(); ++i)
        std::memcpy(bytes + i * unit, kept.data() + static_cast<size_t>(order[i]) * unit, unit);
}

// Puts rows FIRST.. into the order ORDER (relative to FIRST): the values of
// every column, the states of number columns, and with LABELS the row labels.
void RowsReorder(GridRecord* r, int first, const std::vector<int>& order, bool labels)
{
    for (int col = 0; col < r->columns; ++col) {
        GridColumnRecord& c = r->column[col];
        if (!c.cells || !c.states)
            continue;
        const size_t size = GridCellSize(c.type);
        Permute(static_cast<unsigned char*>(c.cells) + static_cast<size_t>(first) * size, size, order);
        if (c.type == kCellInteger || c.type == kCellReal || c.type == kCellDouble)
            Permute(c.states + first, 1, order);
    }
    if (labels && r->labels)
        Permute(r->labels + static_cast<size_t>(first) * kGridLabelBytes, kGridLabelBytes, order);
}

} // namespace

void WGridFind(int id, std::string_view text, const int* options, int* found, const int* firstColumn,
               const int* lastColumn, const int* firstRow, const int* lastRow)
{
    if (GridNoDialog(id, "WGridFind"))
        return;
    int local = id, columns = 0, rows = 0;
    GridInfo(local, kInfoColumns, columns);
    if (GridStatusReport(local, "WGridFind"))
        return;
    GridInfo(local, kInfoRows, rows);
    HWND grid;
    GridRecord* r = GridFind(local, grid);
    if (!r)
        return;
    const int opts = options ? *options : 0;
    const int c1 = std::max(firstColumn ? *firstColumn : 1, 1);
    const int c2 = std::min(lastColumn ? *lastColumn : columns, columns);
    const int r1 = std::max(firstRow ? *firstRow : 1, 1);
    const int r2 = std::min(lastRow ? *lastRow : rows, rows);
    int startColumn = c1, startRow = r1;
    if (opts & kFindAfterCurrent) {
        const int current = r->currentColumn + 1;
        if (current >= c1) {
            startColumn = current;
            startRow = std::max(r->currentRow + 2, r1);
        }
    }
    std::string needle(text);
    const bool noCase = (opts & kFindNoCase) != 0;
    if (noCase)
        UpperInPlace(needle);
    if (found)
        *found = 0;
    for (int column = startColumn; column <= c2; ++column) {
        const int type = r->column[column - 1].type;
        const bool searched = type == kCellText || ((opts & kFindNumbers) && type <= kCellDouble);
        const int from = column == startColumn ? startRow : r1;
        if (!searched || from > r2)
            continue;
        const int row = FindInColumn(r, column - 1, from - 1, r2 - 1, needle, noCase);
        if (row >= 0) {
            WGridSetCell(id, column, row + 1);
            if (found)
                *found = -1;
            return;
        }
    }
}

void WGridSort(int id, int column, const int* options, const int* firstRow, const int* lastRow)
{
    if (GridNoDialog(id, "WGridSort", true))
        return;
    int local = id, rows = 0, columns = 0;
    GridInfo(local, kInfoRows, rows);
    if (GridStatusReport(local, "WGridSort"))
        return;
    GridInfo(local, kInfoColumns, columns);
    if (column < 1 || column > columns) {
        YYErrorReport(kErrorCellRange, "WGridSort");
        return;
    }
    HWND grid;
    GridRecord* r = GridFind(local, grid);
    if (!r || !r->column[column - 1].cells)
        return;
    const int opts = options ? *options : 0;
    // The range is cut to the rows in use.
    const int first = std::max(firstRow ? *firstRow : 1, 1) - 1;
    const int last = std::min(lastRow ? *lastRow : rows, rows) - 1;
    if (first >= last)
        return;
    const bool descending = (opts & kSortDescending) != 0;
    GridRedrawSuspend();
    std::vector<SortKey> keys = SortKeys(id, r, column - 1, first, last, descending, (opts & kSortNoCase) != 0);
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    const bool isText = r->column[column - 1].type == kCellText;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const SortKey& x = keys[static_cast<size_t>(a)];
        const SortKey& y = keys[static_cast<size_t>(b)];
        if (isText) {
            const int c = TextCompare(x.text, y.text);
            return descending ? c > 0 : c < 0;
        }
        return descending ? x.number > y.number : x.number < y.number;
    });
    bool moved = false;
    for (size_t i = 0; i < order.size() && !moved; ++i)
        moved = order[i] != static_cast<int>(i);
    if (moved) {
        GridSelectionClear(grid);
        // An editor in the range goes into its cell, travels with its row and
        // then shows the row that arrived.
        const bool editorInRange = r->editor && r->currentRow >= first && r->currentRow <= last;
        if (editorInRange)
            GridCellEditorStore(r);
        const bool labels = (opts & kSortLabels) && (GetWindowLongA(grid, GWL_STYLE) & kGridRowHeaders);
        RowsReorder(r, first, order, labels);
        if (editorInRange)
            GridCellEditorLoad(r);
        if (labels)
            GridRowHeadersRefresh(r);
        r->modified = 1;
        r->modified2 = 1;
    }
    GridRedrawResume(local);
}

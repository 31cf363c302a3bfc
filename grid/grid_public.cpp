// The public grid routines (see grid/grid_public.h): each tests that a dialog
// is current, calls the grid engine with 0-based numbers on a copy of the
// identifier, and maps the engine's status to the library's error codes
// under its own name. Inserting and deleting rows move the cells of whole
// columns at once, by the rules the single-cell routines follow.
#include "grid/grid_public.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/string_routines.h"
#include "core/numeric.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/message_box.h"
#include "grid/grid_engine.h"

namespace {

constexpr int kFormatLength = 50;
constexpr int kNumberTextLength = 100;

// ---- Moving rows ----------------------------------------------------------------------

// Limits of a number column, read once.
struct ColumnRange {
    double lower = 1000.0, upper = -1000.0;
    bool Outside(double v) const { return lower <= upper && (v < lower || v > upper); }
};

// Moves the cell of row SOURCE into row TARGET of column C as reading it and
// putting it again would: a text keeps its text, a number its value (a number
// outside the column's range is refused with 1009 under the put routine's
// name and the target keeps its own), a cell without a value empties the
// target, check boxes and menus keep their value. The protection follows the
// source. A text cell's storage moves, leaving the source empty.
void CellMove(GridColumnRecord& c, const ColumnRange& range, int source, int target)
{
    uint8_t& to = c.states[target];
    const uint8_t from = c.states[source];
    switch (c.type) {
    case kCellText: {
        auto** texts = static_cast<char**>(c.cells);
        std::free(texts[target]);
        texts[target] = texts[source];
        texts[source] = nullptr;
        const char* t = texts[target] ? texts[target] : "";
        const bool nonBlank = t[std::strspn(t, " ")] != '\0';
        to = static_cast<uint8_t>((to & ~(kCellHasValue | kCellNonBlank)) | (t[0] ? kCellHasValue : 0) |
                                  (nonBlank ? kCellNonBlank : 0));
        break;
    }
    case kCellInteger:
    case kCellReal:
    case kCellDouble: {
        if (!(from & kCellHasValue)) {
            if (c.type == kCellInteger)
                GridIntCell(c, target) = 0;
            else if (c.type == kCellReal)
                GridRealCell(c, target) = 0.0f;
            else
                GridDoubleCell(c, target) = 0.0;
            to = static_cast<uint8_t>(to & ~(kCellHasValue | kCellNonBlank));
            break;
        }
        const double v = c.type == kCellInteger ? GridIntCell(c, source)
                         : c.type == kCellReal  ? static_cast<double>(GridRealCell(c, source))
                                                : GridDoubleCell(c, source);
        if (range.Outside(v)) {
            YYErrorReport(kErrorFieldValueRange, c.type == kCellInteger ? "WGridPutCellInteger"
                                : c.type == kCellReal  ? "WGridPutCellReal"
                                                       : "WGridPutCellDouble");
            break;
        }
        if (c.type == kCellInteger)
            GridIntCell(c, target) = GridIntCell(c, source);
        else if (c.type == kCellReal)
            GridRealCell(c, target) = GridRealCell(c, source);
        else
            GridDoubleCell(c, target) = GridDoubleCell(c, source);
        to = static_cast<uint8_t>(to | kCellHasValue | kCellNonBlank);
        break;
    }
    default:
        GridIntCell(c, target) = GridIntCell(c, source);
        break;
    }
    to = static_cast<uint8_t>((to & ~kCellProtected) | (from & kCellProtected));
}

// Empties rows FIRST..LAST of every column as clearing a cell does; menu
// cells take their first option. Protection stays.
void RowsEmpty(GridRecord* r, int first, int last)
{
    for (int col = 0; col < r->columns; ++col) {
        GridColumnRecord& c = r->column[col];
        if (!c.cells || !c.states)
            continue;
        for (int w = first; w <= last; ++w)
            GridCellEmpty(c, w);
    }
}

void LabelsEmpty(GridRecord* r, int first, int last)
{
    for (int w = first; w <= last; ++w)
        r->labels[static_cast<size_t>(w) * kGridLabelBytes] = '\0';
}

bool HasMenuColumn(const GridRecord* r)
{
    for (int col = 0; col < r->columns; ++col)
        if (r->column[col].type == kCellMenu)
            return true;
    return false;
}

// Moves rows by COUNT (positive: down, for inserting; negative: up, for
// deleting) between FIRST and LAST (0-based, inclusive) as the target range,
// then empties EMPTYFIRST..EMPTYLAST; LABELS moves and empties the labels too.
void RowsShift(HWND grid, GridRecord* r, int count, int first, int last, int emptyFirst, int emptyLast, bool labels)
{
    const bool moves = first <= last;
    const bool empties = emptyFirst <= emptyLast;
    if (!moves && !empties)
        return;
    GridSelectionClear(grid);
    // Every row from the first one touched down to the last row moves or is
    // emptied: an editor there goes into its cell first and shows the new
    // cell afterwards.
    const bool editorTouched = r->editor && r->currentRow >= std::min(first, emptyFirst);
    if (editorTouched)
        GridCellEditorStore(r);
    if (moves) {
        for (int col = 0; col < r->columns; ++col) {
            GridColumnRecord& c = r->column[col];
            if (!c.cells || !c.states)
                continue;
            ColumnRange range;
            if (FieldRecord* f = FieldRecordOf(c.control)) {
                range.lower = f->lowerLimit;
                range.upper = f->upperLimit;
            }
            if (count > 0)
                for (int t = last; t >= first; --t)
                    CellMove(c, range, t - count, t);
            else
                for (int t = first; t <= last; ++t)
                    CellMove(c, range, t - count, t);
        }
        if (labels && r->labels) {
            const int source = first - count;
            std::memmove(r->labels + static_cast<size_t>(first) * kGridLabelBytes,
                         r->labels + static_cast<size_t>(source) * kGridLabelBytes,
                         static_cast<size_t>(last - first + 1) * kGridLabelBytes);
        }
    }
    if (empties) {
        RowsEmpty(r, emptyFirst, emptyLast);
        if (labels && r->labels)
            LabelsEmpty(r, emptyFirst, emptyLast);
    }
    if (moves || (empties && HasMenuColumn(r))) {
        r->modified = 1;
        r->modified2 = 1;
    }
    if (editorTouched)
        GridCellEditorLoad(r);
    if (labels)
        GridRowHeadersRefresh(r);
    if (r->cellArea)
        InvalidateRect(r->cellArea, nullptr, FALSE);
}

// The common start of inserting and deleting: the grid (and GRID), with
// ROWS := the rows in use, once ROW and COUNT passed their checks; nullptr
// after a report.
GridRecord* RowsCommand(int id, int row, int count, HWND& grid, int& rows, const char* name)
{
    if (GridNoDialog(id, name))
        return nullptr;
    int local = id;
    GridRecord* r = GridFind(local, grid);
    if (GridStatusReport(local, name))
        return nullptr;
    rows = r->rows;
    if (row < 1 || row > rows || count < 1) {
        YYErrorReport(kErrorCellRange, name);
        return nullptr;
    }
    return r;
}

// The common frame of a routine on one cell: the dialog test, then the
// engine member CALL on a copy of the identifier with 0-based numbers, then
// its status reported under NAME. True when the member succeeded.
template <class Call>
bool OnCell(int id, const char* name, Call call)
{
    if (GridNoDialog(id, name))
        return false;
    int local = id;
    call(local);
    return !GridStatusReport(local, name);
}

// ---- Numbers ----------------------------------------------------------------------------

template <typename T>
void GetNumber(int id, int column, int row, T& value, T undefined, T (*convert)(double), const char* name)
{
    if (GridNoDialog(id, name))
        return;
    int local = id;
    double v = 0.0;
    GridGetCellNumber(local, column - 1, row - 1, v);
    if (local == kGridFailed) {
        value = undefined;
        YYErrorReport(kErrorFieldUndefined, name);
        return;
    }
    if (!GridStatusReport(local, name))
        value = convert(v);
}

int TruncConvert(double v)
{
    return TruncateToInt(v);
}

float RealConvert(double v)
{
    return SaturateToFloat(v);
}

double DoubleConvert(double v)
{
    return v;
}

// The put routines' one body: ENTRY 0 integer, 1 real, 2 double.
void PutNumber(int entry, int id, int column, int row, double value, std::string_view format, const char* name)
{
    if (GridNoDialog(id, name))
        return;
    std::string fmt;
    if (entry != 0) {
        FixedText<kFormatLength> held;
        if (!TrimRight(format).empty()) {
            PutText(held.span(), format);
        } else {
            char columnFormat[kFormatLength + 1];
            int local = id;
            GridColumnFormat(local, column - 1, columnFormat);
            PutText(held.span(), columnFormat);
        }
        fmt = std::string(TrimRight(GridUpToNul(held.view())));
    }
    // The text that shows the value, whatever row it lies in.
    FixedText<kNumberTextLength> text;
    if (entry == 0)
        PutText(text.span(), std::to_string(TruncateToInt(value)));
    else if (entry == 1)
        IRealToString(SaturateToFloat(value), text.span(), fmt);
    else
        IDoubleToString(value, text.span(), fmt);
    YYJustify(text.span(), "L");
    int local = id;
    GridColumnRangeCheck(local, column - 1, value);
    if (GridStatusReport(local, name, kErrorFieldValueRange))
        return;
    GridPutCellText(local, column - 1, row - 1, value, text.trimmed(), fmt);
    GridStatusReport(local, name);
}

} // namespace

// ---- Shared ------------------------------------------------------------------------------

bool GridNoDialog(int id, std::string_view name, bool evenForZero)
{
    if (gDialogStatus.currentDialogId != 0 || (id == 0 && !evenForZero))
        return false;
    YYErrorReport(kErrorNoDialog, name);
    return true;
}

bool GridStatusReport(int status, std::string_view name, int failedCode)
{
    int code = 0;
    if (status == kGridNoGrid)
        code = kErrorFieldIdentifier;
    else if (status == kGridOutOfRange)
        code = kErrorCellRange;
    else if (status == kGridFailed)
        code = failedCode;
    if (code == 0)
        return false;
    YYErrorReport(code, name);
    return true;
}

// ---- Cells ----------------------------------------------------------------------------------

void WGridSetCell(int id, int column, int row, const int* caret)
{
    OnCell(id, "WGridSetCell",
           [&](int& local) { GridSetCurrentCell(local, column - 1, row - 1, caret ? *caret - 1 : -1); });
}

void WGridClearCell(int id, int column, int row)
{
    OnCell(id, "WGridClearCell", [&](int& local) { GridCellClear(local, column - 1, row - 1, 0); });
}

void WGridLabelRow(int id, int row, std::string_view text)
{
    if (GridNoDialog(id, "WGridLabelRow"))
        return;
    int local = id, allocated = 0;
    GridInfo(local, kInfoRowsAllocated, allocated);
    if (GridStatusReport(local, "WGridLabelRow"))
        return;
    if (row < 1 || row > allocated) {
        YYErrorReport(kErrorCellRange, "WGridLabelRow");
        return;
    }
    text = TrimRight(text);
    GridPutRowLabel(local, row - 1, text.substr(0, std::min<size_t>(text.size(), kGridLabelLength)));
}

void WGridPutCellOption(int id, int column, int row, int option)
{
    OnCell(id, "WGridPutCellOption", [&](int& local) { GridPutMenu(local, column - 1, row - 1, option); });
}

void WGridPutCellCheckBox(int id, int column, int row, int state)
{
    OnCell(id, "WGridPutCellCheckBox", [&](int& local) { GridPutCheckBox(local, column - 1, row - 1, state); });
}

void WGridGetCellCheckBox(int id, int column, int row, int& state)
{
    OnCell(id, "WGridGetCellCheckBox", [&](int& local) { GridGetCheckBox(local, column - 1, row - 1, state); });
}

void WGridGetCellMenu(int id, int column, int row, int& option)
{
    OnCell(id, "WGridGetCellMenu", [&](int& local) { GridGetMenu(local, column - 1, row - 1, option); });
}

void WGridGetCellString(int id, int column, int row, std::span<char> text)
{
    std::string buffer(text.size() + 1, '\0');
    if (OnCell(id, "WGridGetCellString", [&](int& local) { GridGetCellText(local, column - 1, row - 1, buffer); }))
        PutText(text, GridUpToNul(buffer));
}

void WGridGetCellInteger(int id, int column, int row, int& value)
{
    GetNumber(id, column, row, value, gDialogStatus.undefinedInteger, TruncConvert, "WGridGetCellInteger");
}

void WGridGetCellReal(int id, int column, int row, float& value)
{
    GetNumber(id, column, row, value, gDialogStatus.undefinedReal, RealConvert, "WGridGetCellReal");
}

void WGridGetCellDouble(int id, int column, int row, double& value)
{
    GetNumber(id, column, row, value, gDialogStatus.undefinedDouble, DoubleConvert, "WGridGetCellDouble");
}

void WGridPutCellInteger(int id, int column, int row, int value)
{
    PutNumber(0, id, column, row, value, {}, "WGridPutCellInteger");
}

void WGridPutCellReal(int id, int column, int row, float value, std::string_view format)
{
    PutNumber(1, id, column, row, value, format, "WGridPutCellReal");
}

void WGridPutCellDouble(int id, int column, int row, double value, std::string_view format)
{
    PutNumber(2, id, column, row, value, format, "WGridPutCellDouble");
}

// ---- Rows -------------------------------------------------------------------------------------

void WGridRows(int id, int rows)
{
    if (GridNoDialog(id, "WGridRows"))
        return;
    int local = id, allocated = 0;
    GridInfo(local, kInfoRowsAllocated, allocated);
    if (GridStatusReport(local, "WGridRows"))
        return;
    if (rows < 1) {
        YYErrorReport(kErrorGridTooManyRows, "WGridRows");
        return;
    }
    if (rows > allocated) {
        GridSetRows(local, allocated);
        YYErrorReport(kErrorGridTooManyRows, "WGridRows");
        return;
    }
    GridSetRows(local, rows);
}

void WGridInsertRows(int id, int row, const int* count, const int* grow, const int* labels)
{
    const int n = count ? *count : 1;
    int rows = 0, local = id;
    HWND grid;
    GridRecord* r = RowsCommand(id, row, n, grid, rows, "WGridInsertRows");
    if (!r)
        return;
    // Suspended before the rows grow: the row count only marks the cells.
    GridRedrawSuspend();
    if (grow && *grow == 1) {
        const int wanted = static_cast<int>(std::min<long long>(static_cast<long long>(rows) + n, r->rowsAllocated));
        WGridRows(id, wanted);
        rows = r->rows;
    }
    // Targets from the last row up to ROW + COUNT; the rows opened are emptied.
    const long long firstTarget = static_cast<long long>(row) - 1 + n;
    const int emptyLast = static_cast<int>(std::min<long long>(firstTarget, rows) - 1);
    RowsShift(grid, r, n, static_cast<int>(std::min<long long>(firstTarget, rows)), rows - 1, row - 1, emptyLast,
              labels && *labels == 1);
    GridRedrawResume(local);
}

void WGridDeleteRows(int id, int row, const int* count, const int* shrink, const int* labels)
{
    int n = count ? *count : 1;
    int rows = 0, local = id;
    HWND grid;
    GridRecord* r = RowsCommand(id, row, n, grid, rows, "WGridDeleteRows");
    if (!r)
        return;
    n = std::min(n, rows - row + 1);
    GridRedrawSuspend();
    // Targets from ROW to ROWS - COUNT; the rows freed at the end are emptied,
    // so that what was deleted never comes back when the rows grow again.
    RowsShift(grid, r, -n, row - 1, rows - n - 1, rows - n, rows - 1, labels && *labels == 1);
    // Deleting every row asks for 0 rows: WGridRows reports it and the count stays.
    if (shrink && *shrink == 1)
        WGridRows(id, rows - n);
    GridRedrawResume(local);
}

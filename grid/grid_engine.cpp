// The cell engine: reading and changing single cells of a grid and asking
// for column properties, for the public grid routines, find and sort, the
// grid's files and the grid window itself. Every member finds its grid by
// identifier, writes its outcome back into the identifier, keeps the in-cell
// editor consistent when the cell it touches is the current cell, and
// repaints the touched cell otherwise.
#include "grid/grid_engine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>

#include "core/conversions.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/field_subclass.h"

namespace {

constexpr std::string_view kDefaultFormat = "(G15.5E2)";
// Characters read from an editor whose text is parsed as a number.
constexpr int kNumberReadLength = 255;

bool CellValid(const GridRecord* r, int column, int row, int rowLimit)
{
    return r->column && column >= 0 && column < r->columns && row >= 0 && row < rowLimit &&
           r->column[column].cells && r->column[column].states;
}

bool ColumnValid(const GridRecord* r, int column)
{
    return r->column && column >= 0 && column < r->columns;
}

bool IsCurrent(const GridRecord* r, int column, int row)
{
    return r->editor && column == r->currentColumn && row == r->currentRow;
}

void Repaint(GridRecord* r, int column, int row)
{
    GridCellInvalidate(r, column, row, gGridRedrawFlag == 1 ? 1 : 0);
}

bool NonBlank(std::string_view text)
{
    return TrimRight(text).size() > 0;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

// Makes FORMAT the column's output format unless it already is (ignoring
// case); the in-cell editor of the column shares the column's text.
void FormatReplace(GridRecord* r, int column, std::string_view format)
{
    GridColumnRecord& c = r->column[column];
    FieldRecord* f = FieldRecordOf(c.control);
    if (!f || (f->format && EqualNoCase(f->format, format)))
        return;
    auto* copy = static_cast<char*>(std::malloc(format.size() + 1));
    if (!copy)
        return;
    std::memcpy(copy, format.data(), format.size());
    copy[format.size()] = '\0';
    std::free(f->format);
    f->format = copy;
    if (r->editor && r->currentColumn == column)
        if (FieldRecord* ef = FieldRecordOf(r->editor))
            ef->format = copy;
    RECT strip;
    if ((c.type == kCellReal || c.type == kCellDouble) && GridColumnStrip(r, column, strip)) {
        InvalidateRect(r->cellArea, &strip, FALSE);
        UpdateWindow(r->cellArea);
    }
}

void RangeOf(HWND control, double& lower, double& upper)
{
    lower = 1000.0;
    upper = -1000.0;
    if (FieldRecord* f = FieldRecordOf(control)) {
        lower = f->lowerLimit;
        upper = f->upperLimit;
    }
}

} // namespace

// ---- Shared ---------------------------------------------------------------------------

GridRecord* GridFind(int& id, HWND& grid)
{
    grid = GridWindowById(id);
    GridRecord* r = GridRecordOf(grid);
    if (!r) {
        id = kGridNoGrid;
        grid = nullptr;
    }
    return r;
}

GridRecord* GridColumnOf(int& id, HWND& grid, int column, unsigned types)
{
    GridRecord* r = GridFind(id, grid);
    if (!r)
        return nullptr;
    if (!ColumnValid(r, column) || !(types & GridColumnOfType(r->column[column].type))) {
        id = kGridOutOfRange;
        return nullptr;
    }
    return r;
}

GridRecord* GridCellOf(int& id, HWND& grid, int column, int row, unsigned types, bool rowsAllocated)
{
    GridRecord* r = GridColumnOf(id, grid, column, types);
    if (!r)
        return nullptr;
    if (!CellValid(r, column, row, rowsAllocated ? r->rowsAllocated : r->rows)) {
        id = kGridOutOfRange;
        return nullptr;
    }
    return r;
}

void GridCopyOut(std::span<char> buffer, std::string_view text)
{
    if (buffer.empty())
        return;
    const size_t n = std::min(text.size(), buffer.size() - 1);
    if (n)
        std::memcpy(buffer.data(), text.data(), n);
    buffer[n] = '\0';
}

std::string_view GridUpToNul(std::string_view text)
{
    return text.substr(0, std::min(text.find('\0'), text.size()));
}

// ---- Reading --------------------------------------------------------------------------

void GridCellColours(int& id, int column, int row, int& foreRed, int& foreGreen, int& foreBlue, int& backRed,
                     int& backGreen, int& backBlue)
{
    int fore = -1, back = -1;
    HWND grid = GridWindowById(id);
    GridRecord* r = GridRecordOf(grid);
    if (r && ColumnValid(r, column)) {
        const GridColumnRecord& c = r->column[column];
        if (c.colours && row >= 0 && row < r->rowsAllocated) {
            const uint8_t* k = c.colours + static_cast<size_t>(row) * kGridColourBytes;
            fore = (k[0] & 1) ? k[1] + 256 * k[2] + 65536 * k[3] : -1;
            back = (k[0] & 2) ? k[4] + 256 * k[5] + 65536 * k[6] : -1;
        } else if (!c.colours) {
            if (FieldRecord* f = FieldRecordOf(c.control)) {
                fore = f->foreColour;
                back = f->backColour;
            }
            FieldRecord* g = FieldRecordOf(grid);
            if (fore == -1 && g)
                fore = g->foreColour;
            if (back == -1 && g)
                back = g->backColour;
        }
    }
    auto split = [](int colour, int& red, int& green, int& blue) {
        if (colour == -1) {
            red = green = blue = -1;
            return;
        }
        red = colour & 0xFF;
        green = (colour >> 8) & 0xFF;
        blue = (colour >> 16) & 0xFF;
    };
    split(fore, foreRed, foreGreen, foreBlue);
    split(back, backRed, backGreen, backBlue);
}

void GridHeaderInfo(int& id, int& hasColumnHeaders, int& labelWidth)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    hasColumnHeaders = (r && r->columnHeader) ? 1 : 0;
    labelWidth = (r && r->rowHeaderWindows > 0) ? r->rowHeaderWidth : 0;
}

void GridColumnAlignment(int& id, int column, int& alignment)
{
    alignment = 0;
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !ColumnValid(r, column))
        return;
    const GridColumnRecord& c = r->column[column];
    if (c.type == kCellCheckBox) {
        alignment = 1;
    } else if (c.type <= kCellDouble) {
        LONG style = GetWindowLongA(c.control, GWL_STYLE);
        alignment = (style & ES_RIGHT) ? 2 : (style & ES_CENTER) ? 1 : 0;
    }
}

void GridGetCellText(int& id, int column, int row, std::span<char> buffer)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row, kTextOrNumberColumn);
    if (!r)
        return;
    if (IsCurrent(r, column, row))
        GridCopyOut(buffer, GridWindowText(r->editor, std::max(static_cast<int>(buffer.size()) - 1, 0)));
    else
        GridCopyOut(buffer, GridColumnTexts(r->column[column]).Text(row));
}

void GridGetCellNumber(int& id, int column, int row, double& value)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row, kTextOrNumberColumn);
    if (!r)
        return;
    GridColumnRecord& c = r->column[column];
    const bool current = IsCurrent(r, column, row);
    if (c.type == kCellText) {
        std::string text = current ? GridWindowText(r->editor, kNumberReadLength) : GridTextCell(c, row);
        if (!NonBlank(text)) {
            id = kGridFailed;
            return;
        }
        YYTextToDoubleQuiet(value, text);
        return;
    }
    if (current) {
        std::string text = GridWindowText(r->editor, kNumberReadLength);
        if (!NonBlank(text)) {
            id = kGridFailed;
        } else if (SendMessageA(r->editor, EM_GETMODIFY, 0, 0)) {
            YYTextToDoubleQuiet(value, text);
        } else {
            FieldRecord* ef = FieldRecordOf(r->editor);
            value = ef ? ef->value : 0.0;
        }
        return;
    }
    if (!(c.states[row] & kCellHasValue)) {
        id = kGridFailed;
        return;
    }
    value = c.type == kCellInteger ? GridIntCell(c, row)
            : c.type == kCellReal  ? static_cast<double>(GridRealCell(c, row))
                                   : GridDoubleCell(c, row);
}

void GridGetCheckBox(int& id, int column, int row, int& state)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row);
    if (!r)
        return;
    if (r->column[column].type != kCellCheckBox)
        return;
    state = IsCurrent(r, column, row) ? (SendMessageA(r->editor, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0)
                                      : GridIntCell(r->column[column], row);
}

void GridGetMenu(int& id, int column, int row, int& option)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row);
    if (!r)
        return;
    if (r->column[column].type != kCellMenu)
        return;
    if (IsCurrent(r, column, row)) {
        LRESULT sel = SendMessageA(r->editor, CB_GETCURSEL, 0, 0);
        option = sel == CB_ERR ? 0 : static_cast<int>(sel) + 1;
    } else {
        option = GridIntCell(r->column[column], row) + 1;
    }
}

void GridMenuOptionText(int& id, int column, int option, std::span<char> buffer)
{
    GridCopyOut(buffer, "");
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !ColumnValid(r, column) || r->column[column].type != kCellMenu || option < 1)
        return;
    HWND control = r->column[column].control;
    LRESULT n = SendMessageA(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(option - 1), 0);
    if (n == CB_ERR || n < 0)
        return;
    std::string text(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(control, CB_GETLBTEXT, static_cast<WPARAM>(option - 1), reinterpret_cast<LPARAM>(text.data()));
    GridCopyOut(buffer, GridUpToNul(text));
}

void GridColumnFormat(int& id, int column, std::span<char> buffer)
{
    GridCopyOut(buffer, kDefaultFormat);
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !ColumnValid(r, column))
        return;
    const GridColumnRecord& c = r->column[column];
    if (c.type == kCellReal || c.type == kCellDouble)
        GridCopyOut(buffer, GridFormatOf(c.control));
}

// ---- Storing --------------------------------------------------------------------------

void GridPutCellText(int& id, int column, int row, double value, std::string_view text, std::string_view format)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row, kTextOrNumberColumn);
    if (!r)
        return;
    GridColumnRecord& c = r->column[column];
    text = GridUpToNul(text);
    const bool nonBlank = NonBlank(text);
    GridSelectionClear(grid);
    double number = value;
    int parsed = 0;
    if (c.type != kCellText && value == 0.0) {
        double d = 0.0;
        YYTextToDoubleChecked(d, parsed, text);
        number = d;
    }
    if (IsCurrent(r, column, row)) {
        const std::string shown(text);
        SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        if (FieldRecord* ef = FieldRecordOf(r->editor)) {
            ef->value = (value == 0.0 && parsed) ? number : value;
            ef->hasValue = nonBlank ? 1 : 0;
        }
        SendMessageA(r->editor, EM_SETMODIFY, FALSE, 0);
    }
    FormatReplace(r, column, GridUpToNul(format));
    switch (c.type) {
    case kCellText:
        GridTextCellSet(c, row, text);
        break;
    case kCellInteger:
        GridIntCell(c, row) = TruncateToInt(number);
        break;
    case kCellReal:
        GridRealCell(c, row) = SaturateToFloat(number);
        break;
    default:
        GridDoubleCell(c, row) = (number == number) ? number : 0.0;
        break;
    }
    uint8_t& state = c.states[row];
    state = static_cast<uint8_t>(text.empty() ? state & ~kCellHasValue : state | kCellHasValue);
    state = static_cast<uint8_t>(nonBlank ? state | kCellNonBlank : state & ~kCellNonBlank);
    r->modified = 1;
    r->modified2 = 1;
    Repaint(r, column, row);
}

void GridPutCheckBox(int& id, int column, int row, int state)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row, GridColumnOfType(kCellCheckBox));
    if (!r)
        return;
    GridSelectionClear(grid);
    GridIntCell(r->column[column], row) = state != 0 ? 1 : 0;
    if (IsCurrent(r, column, row))
        SendMessageA(r->editor, BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    else
        Repaint(r, column, row);
    r->modified = 1;
    r->modified2 = 1;
}

void GridPutMenu(int& id, int column, int row, int option)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row, GridColumnOfType(kCellMenu));
    if (!r)
        return;
    GridSelectionClear(grid);
    GridIntCell(r->column[column], row) = option - 1;
    if (IsCurrent(r, column, row))
        SendMessageA(r->editor, CB_SETCURSEL, static_cast<WPARAM>(option - 1), 0);
    else
        Repaint(r, column, row);
    r->modified = 1;
    r->modified2 = 1;
}

void GridPutMenuByText(int& id, int column, int row, int& notFound, std::string_view text)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !CellValid(r, column, row, r->rowsAllocated) || r->column[column].type != kCellMenu)
        return;
    const std::string wanted(GridUpToNul(text));
    LRESULT index = SendMessageA(r->column[column].control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(wanted.c_str()));
    notFound = index == CB_ERR ? 1 : 0;
    const int option = index == CB_ERR ? 0 : static_cast<int>(index);
    GridIntCell(r->column[column], row) = option;
    if (IsCurrent(r, column, row))
        SendMessageA(r->editor, CB_SETCURSEL, static_cast<WPARAM>(option), 0);
    else
        Repaint(r, column, row);
}

void GridMenuAddOption(int& id, int column, int row, std::string_view text)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !ColumnValid(r, column) || r->column[column].type != kCellMenu) {
        id = kGridNoGrid;
        return;
    }
    const std::string option(GridUpToNul(text));
    SendMessageA(r->column[column].control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option.c_str()));
    if (IsCurrent(r, column, row))
        SendMessageA(r->editor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option.c_str()));
}

void GridMenuClearOptions(int& id, int column, int row)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !ColumnValid(r, column) || r->column[column].type != kCellMenu) {
        id = kGridNoGrid;
        return;
    }
    if (IsCurrent(r, column, row))
        SendMessageA(r->editor, CB_RESETCONTENT, 0, 0);
    SendMessageA(r->column[column].control, CB_RESETCONTENT, 0, 0);
}

void GridCellClear(int& id, int column, int row, int mode)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row, kAnyColumn, mode != 0);
    if (!r)
        return;
    GridSelectionClear(grid);
    GridColumnRecord& c = r->column[column];
    if (c.type == kCellMenu && mode != 2) {
        id = kGridOutOfRange;
        return;
    }
    if (IsCurrent(r, column, row)) {
        HWND e = r->editor;
        if (c.type <= kCellDouble) {
            SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
            SendMessageA(e, EM_SETMODIFY, FALSE, 0);
            if (FieldRecord* ef = FieldRecordOf(e)) {
                ef->value = 0.0;
                ef->hasValue = 0;
            }
        } else if (c.type == kCellCheckBox) {
            SendMessageA(e, BM_SETCHECK, BST_UNCHECKED, 0);
        } else {
            SendMessageA(e, CB_SETCURSEL, 0, 0);
        }
    }
    GridCellEmpty(c, row);
    Repaint(r, column, row);
}

// ---- Current cell and block -----------------------------------------------------------

void GridSetCurrentCell(int& id, int column, int row, int caret)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row);
    if (!r)
        return;
    GridSelectionClear(grid);
    HWND parent = GetParent(grid);
    const bool focus =
        parent && IsWindowVisible(parent) && !(GetWindowLongA(parent, GWL_STYLE) & WS_DISABLED);
    if (focus)
        SetFocus(parent);
    GridMoveCurrentCell(grid, column, row, focus ? 1 : 0, 0);
    if (!focus)
        return;
    SetFocus(grid);
    HWND editor = GetFocus();
    if (caret >= 0 && editor && FieldIsEditLike(editor)) {
        SendMessageA(editor, EM_SETSEL, static_cast<WPARAM>(caret), caret);
        SendMessageA(editor, EM_SCROLLCARET, 0, 0);
    }
}

void GridSelectionClearById(int& id)
{
    HWND grid;
    if (GridFind(id, grid))
        GridSelectionClear(grid);
}

void GridSelectBlock(int& id, int firstColumn, int firstRow, int lastColumn, int lastRow)
{
    HWND grid;
    GridRecord* r = GridFind(id, grid);
    if (!r)
        return;
    auto columnIn = [r](int c) { return c >= 0 && c < r->columns; };
    auto rowIn = [r](int w) { return w >= 0 && w < r->rows; };
    if (!columnIn(firstColumn) || !columnIn(lastColumn) || !rowIn(firstRow) || !rowIn(lastRow)) {
        id = kGridOutOfRange;
        return;
    }
    GridSelectionSet(grid, std::min(firstRow, lastRow), std::max(firstRow, lastRow), std::min(firstColumn, lastColumn),
                     std::max(firstColumn, lastColumn));
}

// ---- Ranges and protection ------------------------------------------------------------

void GridColumnRangeCheck(int& id, int column, double value)
{
    HWND grid;
    if (GridFind(id, grid))
        GridColumnRangeTest(id, grid, column, value);
}

void GridColumnRangeTest(int& status, HWND grid, int column, double value)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || !ColumnValid(r, column)) {
        status = kGridOutOfRange;
        return;
    }
    double lower, upper;
    RangeOf(r->column[column].control, lower, upper);
    if (lower <= upper && (value < lower || value > upper))
        status = kGridFailed;
}

namespace {

void ProtectionSet(GridRecord* r, int column, int row, bool protect)
{
    GridColumnRecord& c = r->column[column];
    c.states[row] = static_cast<uint8_t>(protect ? c.states[row] | kCellProtected : c.states[row] & ~kCellProtected);
    if (IsCurrent(r, column, row))
        GridEditorReadOnly(r->editor, c.type, protect ? 1 : 0, 1);
    else
        Repaint(r, column, row);
}

} // namespace

void GridCellProtect(int& id, int column, int row, int state)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row);
    if (!r)
        return;
    ProtectionSet(r, column, row, state != 1);
}

void GridCopyRowState(int& id, int column, int source, int target)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !CellValid(r, column, source, r->rowsAllocated) || target < 0 || target >= r->rowsAllocated)
        return;
    ProtectionSet(r, column, target, (r->column[column].states[source] & kCellProtected) != 0);
}

// ---- Column queries -------------------------------------------------------------------

void GridColumnType(int& id, int column, int& type)
{
    HWND grid;
    GridRecord* r = GridColumnOf(id, grid, column);
    if (!r)
        return;
    static const int kFieldTypes[] = {4, 5, 6, 7, 9, 11};
    const int t = r->column[column].type;
    type = (t >= 0 && t <= kCellMenu) ? kFieldTypes[t] : 0;
}

void GridTextColumnSize(int& id, int column, int& size)
{
    HWND grid;
    GridRecord* r = GridColumnOf(id, grid, column, GridColumnOfType(kCellText));
    if (!r)
        return;
    size = r->column[column].maxChars + 1;
}

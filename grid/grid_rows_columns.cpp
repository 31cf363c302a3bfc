// The second half of the grid engine: what changes the shape and look of a
// grid rather than one cell's value. The numbered information queries, the
// number of rows in use, rebuilding the columns from the template dialog,
// column titles and row labels, cell and column colours, column ranges and
// spin steps, and the texts a grid editor hands out.
#include "grid/grid_engine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>

#include "core/window_table.h"
#include "core/numeric.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_services.h"
#include "dialogs/field_subclass.h"
#include "dialogs/numeric_edit_classes.h"

GridEditorLastClosed gGridEditorLastClosed;

namespace {

// Spin controls take their range as 16-bit words; the limits stay a little
// inside them.
constexpr double kUpDownLimit = 31073.0;

// Row-header window I shows the label of row FIRST VISIBLE ROW + I.
HWND RowHeaderShowing(const GridRecord* r, int row)
{
    const int i = row - r->firstVisibleRow;
    if (!r->rowHeaders || i < 0 || i >= r->rowsShown || i >= r->rowHeaderWindows)
        return nullptr;
    return r->rowHeaders[i];
}

void ColumnFree(GridRecord* r, GridColumnRecord& c)
{
    if (c.control) {
        FieldRecord* f = FieldRecordOf(c.control);
        HWND upDown = f ? f->upDownBuddy : nullptr;
        FieldRecordRelease(c.control, false); // its format copy with it
        if (upDown && IsWindow(upDown))
            DestroyWindow(upDown);
        DestroyWindow(c.control);
        c.control = nullptr;
    }
    GridColumnFree(c, r->rowsAllocated);
}

void ColumnsFree(GridRecord* r)
{
    GridPaintCacheFree(r);
    if (r->column)
        for (int i = 0; i < r->columns; ++i)
            ColumnFree(r, r->column[i]);
    std::free(r->column);
    r->column = nullptr;
}

// Applies the 256 / -1 rules of the colour routines to one colour of a
// record: flag bit BIT and the three bytes at K.
void ColourRecordSet(uint8_t* record, int bit, uint8_t* k, int red, int green, int blue)
{
    if (red == 256) {
        record[0] = static_cast<uint8_t>(record[0] & ~bit);
    } else if (red != -1) {
        record[0] = static_cast<uint8_t>(record[0] | bit);
        k[0] = static_cast<uint8_t>(red & 0xFF);
        k[1] = static_cast<uint8_t>(green & 0xFF);
        k[2] = static_cast<uint8_t>(blue & 0xFF);
    }
}

void UpDownRange(HWND upDown, double lower, double upper)
{
    if (!upDown || !IsWindow(upDown))
        return;
    auto word = [](double v) {
        return static_cast<short>(TruncateToInt(std::clamp(v == v ? v : 0.0, -kUpDownLimit, kUpDownLimit)));
    };
    SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(word(upper), word(lower)));
}

// The spin field of COLUMN of class index SPINCLASS (its column control),
// with its record; ID := -2 for a column of another class.
FieldRecord* SpinColumn(int& id, int column, int spinClass, GridRecord*& r)
{
    HWND grid;
    r = GridColumnOf(id, grid, column);
    if (!r)
        return nullptr;
    if (NumericClassOf(r->column[column].control) != spinClass) {
        id = kGridOutOfRange;
        return nullptr;
    }
    FieldRecord* f = FieldRecordOf(r->column[column].control);
    if (!f)
        id = kGridOutOfRange;
    return f;
}

// The column's spin record and, for the current column, the editor's.
template <class Set>
void SpinStepsSet(int& id, int column, int spinClass, Set set)
{
    GridRecord* r = nullptr;
    FieldRecord* f = SpinColumn(id, column, spinClass, r);
    if (!f)
        return;
    set(*f);
    if (r->editor && r->currentColumn == column)
        if (FieldRecord* ef = FieldRecordOf(r->editor))
            set(*ef);
}

} // namespace

// ---- Information ------------------------------------------------------------------------

void GridInfo(int& id, int code, int& answer)
{
    if (id == kGridLastEditor) {
        if (code == kInfoUnmodified)
            answer = 1 - gGridEditorLastClosed.modified;
        else if (code == kInfoModified2)
            answer = gGridEditorLastClosed.modified2;
        return;
    }
    HWND grid;
    GridRecord* r = GridFind(id, grid);
    if (!r)
        return;
    const bool block = r->selFirstRow >= 0 && r->selFirstColumn >= 0;
    switch (code) {
    case kInfoColumns: answer = r->columns; break;
    case kInfoRowsAllocated: answer = r->rowsAllocated; break;
    case kInfoRows: answer = r->rows; break;
    case kInfoCurrentColumn: answer = r->currentColumn + 1; break;
    case kInfoCurrentRow: answer = r->currentRow + 1; break;
    case kInfoUnmodified: answer = 1 - r->modified; break;
    case kInfoModified2: answer = r->modified2; break;
    case kInfoFirstVisibleColumn: answer = r->firstVisibleColumn + 1; break;
    case kInfoFirstVisibleRow: answer = r->firstVisibleRow + 1; break;
    case kInfoSelFirstColumn: answer = block ? r->selFirstColumn + 1 : 0; break;
    case kInfoSelFirstRow: answer = block ? r->selFirstRow + 1 : 0; break;
    case kInfoSelLastColumn: answer = block ? r->selLastColumn + 1 : 0; break;
    case kInfoSelLastRow: answer = block ? r->selLastRow + 1 : 0; break;
    case kInfoRowsShown: answer = r->rowsShown; break;
    case kInfoColumnsAllocated: answer = r->columnsAllocated; break;
    default: break;
    }
}

// ---- Rows ---------------------------------------------------------------------------------

void GridRecordCurrentCell(HWND grid, int id, int packedCell)
{
    if (id == 0) {
        GridEditorRecordCell(packedCell);
        return;
    }
    HWND dialog = DialogCurrentWindow();
    int32_t* w = dialog ? DialogRecordWords(dialog) : nullptr;
    if (w && GetParent(grid) == dialog && w[kDlgCurrentField] == GetDlgCtrlID(grid))
        w[kDlgGridCell] = packedCell;
}

void GridSetRows(int& id, int rows)
{
    HWND grid;
    if (!GridFind(id, grid))
        return;
    GridApplyRowCount(grid, id, rows);
    if (id == 0)
        GridEditorFitFrame();
}

void GridApplyRowCount(HWND grid, int id, int rows)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || rows < 1 || rows > r->rowsAllocated)
        return;
    GridSelectionClear(grid);
    GridCellEditorStore(r);
    const int oldRows = r->rows;
    const bool headers = (GetWindowLongA(grid, GWL_STYLE) & kGridRowHeaders) && r->rowHeaders;
    if (headers && oldRows < rows && r->page >= oldRows) {
        const int to = std::min({rows, r->rowsAllocated, r->page + 1, r->rowHeaderWindows});
        for (int i = oldRows; i < to; ++i)
            if (r->rowHeaders[i])
                ShowWindow(r->rowHeaders[i], SW_SHOWNA);
    }
    r->rows = rows;
    if (headers) {
        const int to = std::min({r->rowsShown, r->rowsAllocated, r->rowHeaderWindows});
        for (int i = rows; i < to; ++i)
            if (r->rowHeaders[i])
                ShowWindow(r->rowHeaders[i], SW_HIDE);
    }
    if (r->currentRow >= rows || r->firstVisibleRow + r->page - 1 >= rows) {
        const bool editorFocused = r->editor && GetFocus() == r->editor;
        GridCellEditorDestroy(r, 1);
        if (r->currentRow >= rows) {
            r->currentRow = rows - 1;
            GridRecordCurrentCell(grid, id, GridPackedCell(r->currentRow, r->currentColumn));
        }
        r->firstVisibleRow = std::max(0, r->currentRow - r->page + 1);
        GridRowHeadersRefresh(r);
        GridCellEditorCreate(r);
        if (editorFocused && r->editor)
            SetFocus(r->editor);
        HWND dialog = DialogCurrentWindow();
        if (dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog) && GridHasFocusInside(grid))
            SetFocus(grid);
    }
    GridVerticalRange(grid, r, gGridRedrawFlag == 1);
    if (r->cellArea) {
        InvalidateRect(r->cellArea, nullptr, TRUE);
        if (gGridRedrawFlag == 1)
            UpdateWindow(r->cellArea);
    }
}

// ---- Columns ------------------------------------------------------------------------------

void GridRebuildColumns(int& id, int columns, const int* columnList)
{
    HWND grid;
    GridRecord* r = GridFind(id, grid);
    if (!r)
        return;
    GridSelectionClear(grid);
    const bool hadFocus = GridHasFocusInside(grid);
    GridCellEditorDestroy(r, 1);
    r->currentColumn = 0;
    r->currentRow = 0;
    GridRecordCurrentCell(grid, id, GridPackedCell(0, 0));
    // The view goes back to the first row and column, with their labels.
    r->firstVisibleColumn = 0;
    r->firstVisibleRow = 0;
    SetScrollPos(grid, SB_HORZ, 0, TRUE);
    SetScrollPos(grid, SB_VERT, 0, TRUE);
    GridRowHeadersRefresh(r);
    if (r->columnHeader)
        for (int item = static_cast<int>(SendMessageA(r->columnHeader, HDM_GETITEMCOUNT, 0, 0)) - 1; item >= 0; --item)
            SendMessageA(r->columnHeader, HDM_DELETEITEM, static_cast<WPARAM>(item), 0);
    ColumnsFree(r);
    r->columns = 0;
    HWND templ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(r->templateId),
                                    gWindowTable.frame[0], GridTemplateDialogProc, r->templateId);
    r->columns = std::max(columns, 0);
    r->columnsAllocated = r->columns;
    const bool built = templ && r->columns > 0 &&
                       SendMessageA(grid, kGridBuildColumns, reinterpret_cast<WPARAM>(templ),
                                    reinterpret_cast<LPARAM>(columnList)) == 1;
    if (built) {
        SendMessageA(grid, kGridRanges, 0, 0);
        if (hadFocus && IsWindowVisible(grid))
            SetFocus(grid);
        if (id == 0)
            GridEditorFitFrame();
        if (r->cellArea)
            RedrawWindow(r->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    } else {
        // What a failed build made is given up: the grid has no columns.
        GridCellEditorDestroy(r, 0);
        ColumnsFree(r);
        r->columns = 0;
        r->columnsAllocated = 0;
        if (r->cellArea)
            InvalidateRect(r->cellArea, nullptr, TRUE);
        id = kGridNoGrid;
    }
    if (templ)
        DestroyWindow(templ);
}

// ---- Titles and labels ----------------------------------------------------------------------

void GridPutColumnTitle(int& id, int item, std::string_view text)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !r->columnHeader || item < 0 || item > r->columns)
        return;
    GridHeaderItemText(r->columnHeader, item, std::string(GridUpToNul(text)).c_str());
    UpdateWindow(r->columnHeader);
}

void GridGetColumnTitle(int& id, int item, std::span<char> buffer)
{
    GridCopyOut(buffer, "");
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !r->columnHeader || item < 0 || item > r->columns || buffer.empty())
        return;
    HDITEMA it{};
    it.mask = HDI_TEXT;
    it.pszText = buffer.data();
    it.cchTextMax = static_cast<int>(std::min<size_t>(buffer.size(), 0x7FFFFFFF));
    SendMessageA(r->columnHeader, HDM_GETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    buffer[buffer.size() - 1] = '\0';
}

void GridPutRowLabel(int& id, int row, std::string_view text)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !r->labels || row < 0 || row >= r->rowsAllocated)
        return;
    text = GridUpToNul(text).substr(0, std::min<size_t>(GridUpToNul(text).size(), kGridLabelLength));
    char* label = r->labels + static_cast<size_t>(row) * kGridLabelBytes;
    std::memcpy(label, text.data(), text.size());
    label[text.size()] = '\0';
    if (HWND w = RowHeaderShowing(r, row)) {
        GridHeaderItemText(w, 0, label);
        UpdateWindow(w);
    }
}

void GridGetRowLabel(int& id, int row, std::span<char> buffer)
{
    GridCopyOut(buffer, "");
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r || !r->labels || row < 0 || row >= r->rowsAllocated)
        return;
    const char* label = r->labels + static_cast<size_t>(row) * kGridLabelBytes;
    GridCopyOut(buffer, std::string_view(label, strnlen(label, kGridLabelLength)));
}

// ---- Colours ----------------------------------------------------------------------------------

void GridPutCellColours(int& id, int column, int row, int foreRed, int foreGreen, int foreBlue, int backRed,
                        int backGreen, int backBlue)
{
    HWND grid;
    GridRecord* r = GridCellOf(id, grid, column, row);
    if (!r)
        return;
    GridColumnRecord& c = r->column[column];
    if (!c.colours) {
        const size_t rows = static_cast<size_t>(std::max(r->rowsAllocated, 1));
        auto* records = static_cast<uint8_t*>(std::calloc(rows, kGridColourBytes));
        if (!records) {
            id = kGridFailed;
            return;
        }
        const FieldRecord* f = FieldRecordOf(c.control);
        const int fore = f ? f->foreColour : -1, back = f ? f->backColour : -1;
        for (size_t i = 0; i < rows; ++i) {
            uint8_t* k = records + i * kGridColourBytes;
            if (fore != -1)
                ColourRecordSet(k, 1, k + 1, fore & 0xFF, (fore >> 8) & 0xFF, (fore >> 16) & 0xFF);
            if (back != -1)
                ColourRecordSet(k, 2, k + 4, back & 0xFF, (back >> 8) & 0xFF, (back >> 16) & 0xFF);
        }
        c.colours = records;
    }
    uint8_t* k = c.colours + static_cast<size_t>(row) * kGridColourBytes;
    ColourRecordSet(k, 1, k + 1, foreRed, foreGreen, foreBlue);
    ColourRecordSet(k, 2, k + 4, backRed, backGreen, backBlue);
    if (r->editor && r->currentColumn == column && r->currentRow == row) {
        DialogFieldColours(r->editor, 1, foreRed, foreGreen, foreBlue);
        DialogFieldColours(r->editor, 2, backRed, backGreen, backBlue);
        InvalidateRect(r->editor, nullptr, TRUE);
    } else {
        GridCellInvalidate(r, column, row, gGridRedrawFlag == 1 ? 1 : 0);
    }
}

void GridPutColumnColours(int& id, int column, int foreRed, int foreGreen, int foreBlue, int backRed, int backGreen,
                          int backBlue)
{
    HWND grid;
    GridRecord* r = GridColumnOf(id, grid, column);
    if (!r)
        return;
    GridColumnRecord& c = r->column[column];
    std::free(c.colours);
    c.colours = nullptr;
    if (r->editor && r->currentColumn == column) {
        DialogFieldColours(r->editor, 1, foreRed, foreGreen, foreBlue);
        DialogFieldColours(r->editor, 2, backRed, backGreen, backBlue);
        InvalidateRect(r->editor, nullptr, TRUE);
    }
    DialogFieldColours(c.control, 1, foreRed, foreGreen, foreBlue);
    DialogFieldColours(c.control, 2, backRed, backGreen, backBlue);
    RECT strip;
    if (GridColumnStrip(r, column, strip)) {
        InvalidateRect(r->cellArea, &strip, FALSE);
        UpdateWindow(r->cellArea);
    }
}

// ---- Ranges and spin steps ----------------------------------------------------------------------

void GridPutColumnRange(int& id, int column, double lower, double upper)
{
    HWND grid;
    GridRecord* r = GridColumnOf(id, grid, column);
    if (!r)
        return;
    auto apply = [&](HWND control) {
        if (FieldRecord* f = FieldRecordOf(control)) {
            f->lowerLimit = lower;
            f->upperLimit = upper;
            UpDownRange(f->upDownBuddy, lower, upper);
        }
    };
    apply(r->column[column].control);
    if (r->editor && r->currentColumn == column)
        apply(r->editor);
}

void GridIntegerSpinSteps(int& id, int column, int smallStep, int largeStep, int origin)
{
    SpinStepsSet(id, column, 1, [&](FieldRecord& f) {
        f.smallStep = smallStep;
        f.largeStep = largeStep == 0 ? smallStep : largeStep;
        f.stepOrigin = origin;
    });
}

void GridRealSpinSteps(int& id, int column, float smallStep, float largeStep)
{
    SpinStepsSet(id, column, 3, [&](FieldRecord& f) {
        f.smallStep = smallStep;
        f.largeStep = largeStep;
    });
}

void GridDoubleSpinSteps(int& id, int column, double smallStep, double largeStep)
{
    SpinStepsSet(id, column, 5, [&](FieldRecord& f) {
        f.smallStep = smallStep;
        f.largeStep = largeStep;
    });
}

// ---- Grid editor texts --------------------------------------------------------------------------

void GridEditorText(int window, int code, std::span<char> buffer)
{
    if (window == -1) {
        const GridEditorLastClosed& last = gGridEditorLastClosed;
        if (code == 1)
            GridCopyOut(buffer, last.findText);
        else if (code == 2)
            GridCopyOut(buffer, last.secondText);
        else if (code == 3)
            GridCopyOut(buffer, last.fileName);
        return;
    }
    if (window < 1 || window > kLastWindow)
        return;
    HWND frame = gWindowTable.frame[static_cast<size_t>(window)];
    if (frame && WindowRecordTypeOf(frame) == kRecordGridEditor)
        GridEditorLiveText(frame, code, buffer);
}

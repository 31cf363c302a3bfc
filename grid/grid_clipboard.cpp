// The grid's clipboard: blocks of cells exchanged as plain text, cells
// separated by TAB and every row ended by CR LF. Copying the block
// selection, pasting a clipboard block from the current cell on, clearing
// the block, and the tests the menus and keys make before they offer these
// commands. Single values (text without TAB or line break) are left to the
// in-cell editor, which pastes them like any edit control.
#include "grid/grid_engine.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/string_routines.h"
#include "core/numeric.h"
#include "dialogs/dialog_fields.h"

namespace {

// Characters of a pasted field other than text.
constexpr size_t kPasteFieldLimit = 32767;

bool HasBlock(const GridRecord* r)
{
    return r->selFirstRow >= 0 && r->selFirstColumn >= 0 && r->selLastRow >= r->selFirstRow &&
           r->selLastColumn >= r->selFirstColumn;
}

bool ReadOnly(HWND grid)
{
    return (GetWindowLongA(grid, GWL_STYLE) & kGridReadOnly) != 0;
}

// The clipboard's text, read once while the clipboard is open.
struct ClipboardText {
    bool open = false;
    bool hasText = false; // CF_TEXT is offered
    bool hasData = false; // and data could be had
    std::string text;
    explicit ClipboardText(HWND owner)
    {
        hasText = IsClipboardFormatAvailable(CF_TEXT) != 0;
        if (!hasText)
            return;
        open = OpenClipboard(owner) != 0;
        if (!open)
            return;
        HANDLE data = GetClipboardData(CF_TEXT);
        if (!data)
            return;
        const auto* p = static_cast<const char*>(GlobalLock(data));
        if (!p)
            return;
        const size_t size = GlobalSize(data);
        text.assign(p, strnlen(p, size));
        GlobalUnlock(data);
        hasData = true;
    }
    ~ClipboardText()
    {
        if (open)
            CloseClipboard();
    }
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;
};

// The rows and columns of a clipboard block, cut as the paste walk cuts it
// (GridPasteFromClipboard): a field ends at TAB, CR or the end of the text; a
// CR, or a CR and the LF after it, ends a row; a LF after anything else stays
// in its field. Rows = 1 + the row ends followed by further text; columns =
// the most fields of one row. So the rectangle the paste check looks at holds
// every cell the paste writes.
void BlockSizeOf(std::string_view text, int& rows, int& columns)
{
    rows = 1;
    columns = 1;
    int fields = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\t') {
            if (fields < INT_MAX)
                columns = std::max(columns, ++fields);
        } else if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            fields = 1;
            if (i + 1 < text.size() && rows < INT_MAX)
                ++rows;
        }
    }
}

// No cell of the rectangle is protected (columns and rows from 0, inclusive).
bool Unprotected(const GridRecord* r, int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    if (!r->column)
        return false;
    for (int c = firstColumn; c <= lastColumn; ++c) {
        const uint8_t* states = r->column[c].states;
        if (!states)
            return false;
        for (int w = firstRow; w <= lastRow; ++w)
            if (states[w] & kCellProtected)
                return false;
    }
    return true;
}

std::string Upper(std::string_view text)
{
    std::string u(text);
    YYUpperCase(std::span<char>(u.data(), u.size()));
    return u;
}

// Index of the first of OPTIONS (upper-cased) that begins with TEXT
// ignoring case; -1 when none does.
int OptionStartingWith(const std::vector<std::string>& options, std::string_view text)
{
    const std::string wanted = Upper(text);
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i].compare(0, wanted.size(), wanted) == 0)
            return static_cast<int>(i);
    return -1;
}

bool IsYes(std::string_view text)
{
    return Upper(text) == "YES";
}

void CopyFailedBox()
{
    MessageBoxA(nullptr,
                "Either the clipboard is in use by another application or there is\r"
                "insufficient memory available for the amount of data being copied",
                "Unable to Copy Data to Clipboard", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

// What a paste needs of one column, read once.
struct PasteColumn {
    int type = 0;
    size_t limit = kPasteFieldLimit;
    double lower = 1000.0, upper = -1000.0;
    std::vector<std::string> options; // upper-cased
};

// Pastes FIELD into cell (COLUMN, ROW); the cell is inside the grid.
void PasteCell(GridRecord* r, const PasteColumn& pc, int column, int row, std::string_view field)
{
    GridColumnRecord& c = r->column[column];
    field = field.substr(0, std::min(field.size(), pc.limit));
    const bool current = r->editor && column == r->currentColumn && row == r->currentRow;
    HWND e = current ? r->editor : nullptr;
    switch (pc.type) {
    case kCellText: {
        GridTextCellSet(c, row, field);
        if (e) {
            const std::string shown(GridUpToNul(field));
            SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        }
        break;
    }
    case kCellInteger:
    case kCellReal:
    case kCellDouble: {
        std::string text(field);
        if (pc.type != kCellDouble)
            std::replace_if(text.begin(), text.end(), [](char ch) { return ch == 'D' || ch == 'd'; }, 'E');
        double value = 0.0;
        int ok = 0;
        YYTextToDoubleChecked(value, ok, text);
        if (!ok || (pc.lower <= pc.upper && (value < pc.lower || value > pc.upper)))
            return;
        if (pc.type == kCellInteger) {
            if (text.find_first_of("Ee") != std::string::npos)
                return;
            text = text.substr(0, std::min(text.find('.'), text.size()));
        }
        if (e) {
            // The editor shows the text as its field would write it: room for
            // the longest number text, blank-padded.
            std::string shown = text;
            shown.resize(std::max<size_t>(text.size(), kGridNumberTextLength) + 1, ' ');
            std::span<char> span(shown.data(), shown.size());
            if (!text.empty()) {
                if (pc.type == kCellInteger)
                    YYIntegerFieldText(span);
                else if (pc.type == kCellReal)
                    YYRealFieldText(span, GridFormatOf(e));
                else
                    YYDoubleFieldText(span, GridFormatOf(e));
            }
            shown = std::string(TrimRight(GridUpToNul(shown)));
            SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
            if (FieldRecord* ef = FieldRecordOf(e)) {
                YYTextToDoubleQuiet(ef->value, shown);
                ef->hasValue = 1;
            }
            SendMessageA(e, EM_SETMODIFY, FALSE, 0);
        }
        if (pc.type == kCellInteger)
            GridIntCell(c, row) = TruncateToInt(value);
        else if (pc.type == kCellReal)
            GridRealCell(c, row) = SaturateToFloat(value);
        else
            GridDoubleCell(c, row) = value;
        uint8_t& state = c.states[row];
        state = static_cast<uint8_t>(text.empty() ? state & ~kCellHasValue : state | kCellHasValue | kCellNonBlank);
        break;
    }
    case kCellCheckBox: {
        const bool yes = IsYes(field);
        GridIntCell(c, row) = yes ? 1 : 0;
        if (e)
            SendMessageA(e, BM_SETCHECK, yes ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    }
    default: {
        const int index = OptionStartingWith(pc.options, field);
        if (index < 0)
            return;
        GridIntCell(c, row) = index;
        if (e)
            SendMessageA(e, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        break;
    }
    }
    GridCellInvalidate(r, column, row, 0);
}

} // namespace

// ---- Tests -----------------------------------------------------------------------------

int GridClipboardTextKind()
{
    ClipboardText clip(nullptr);
    if (!clip.hasText || !clip.open)
        return 0;
    const std::string& t = clip.text;
    if (t.find('\t') != std::string::npos || t.find("\r\n") != std::string::npos)
        return 2;
    return 1;
}

void GridClipboardBlockSize(int& rows, int& columns)
{
    ClipboardText clip(nullptr);
    BlockSizeOf(clip.text, rows, columns);
}

int GridSelectionUnprotected(HWND grid)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || ReadOnly(grid) || !HasBlock(r) || r->selLastColumn >= r->columns || r->selLastRow >= r->rowsAllocated)
        return 0;
    return Unprotected(r, r->selFirstRow, r->selLastRow, r->selFirstColumn, r->selLastColumn) ? 1 : 0;
}

int GridPasteTargetUnprotected(HWND grid)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || ReadOnly(grid) || r->rows < 1 || r->columns < 1)
        return 0;
    int rows, columns;
    GridClipboardBlockSize(rows, columns);
    const int lastRow = static_cast<int>(std::min<int64_t>(int64_t(r->currentRow) + rows - 1, r->rows - 1));
    const int lastColumn = static_cast<int>(std::min<int64_t>(int64_t(r->currentColumn) + columns - 1, r->columns - 1));
    return Unprotected(r, r->currentRow, lastRow, r->currentColumn, lastColumn) ? 1 : 0;
}

// ---- Copy ---------------------------------------------------------------------------------

int GridCopyToClipboard(HWND grid)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || !HasBlock(r) || !r->column || r->selLastColumn >= r->columns || r->selLastRow >= r->rowsAllocated)
        return 0;
    // The text is sized by what the cells hold, not by the longest text they
    // could hold, and made before the clipboard is opened, which other
    // programs then wait for only while the text is handed over.
    HGLOBAL memory = nullptr;
    try {
        std::string text;
        std::vector<GridColumnTexts> columns;
        for (int c = r->selFirstColumn; c <= r->selLastColumn; ++c)
            columns.emplace_back(r->column[c]);
        for (int row = r->selFirstRow; row <= r->selLastRow; ++row) {
            for (int c = r->selFirstColumn; c <= r->selLastColumn; ++c) {
                if (c > r->selFirstColumn)
                    text += '\t';
                if (r->editor && c == r->currentColumn && row == r->currentRow)
                    text += GridCellText(r, c, row, 0);
                else
                    columns[static_cast<size_t>(c - r->selFirstColumn)].Append(row, 0, text);
            }
            text += "\r\n";
        }
        memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
        if (char* p = memory ? static_cast<char*>(GlobalLock(memory)) : nullptr) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
        } else if (memory) {
            GlobalFree(memory);
            memory = nullptr;
        }
    } catch (const std::bad_alloc&) {
        memory = nullptr;
    }
    if (!memory || !OpenClipboard(grid)) {
        if (memory)
            GlobalFree(memory);
        CopyFailedBox();
        return 0;
    }
    EmptyClipboard();
    const bool handed = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!handed)
        GlobalFree(memory);
    CloseClipboard();
    if (!handed)
        CopyFailedBox();
    return handed ? 1 : 0;
}

// ---- Paste --------------------------------------------------------------------------------

void GridPasteFromClipboard(HWND grid)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || !r->column || r->columns < 1 || r->rows < 1)
        return;
    ClipboardText clip(grid);
    if (!clip.hasText || !clip.open || !clip.hasData)
        return;
    GridSelectionClear(grid);
    const int startRow = r->currentRow, startColumn = r->currentColumn;
    const int lastRow = r->rows - 1, lastColumn = r->columns - 1;
    std::vector<PasteColumn> columns(static_cast<size_t>(r->columns));
    std::vector<bool> prepared(static_cast<size_t>(r->columns), false);
    auto columnOf = [&](int c) -> const PasteColumn& {
        PasteColumn& pc = columns[static_cast<size_t>(c)];
        if (!prepared[static_cast<size_t>(c)]) {
            prepared[static_cast<size_t>(c)] = true;
            const GridColumnRecord& col = r->column[c];
            pc.type = col.type;
            if (col.type == kCellText)
                pc.limit = static_cast<size_t>(std::max(col.maxChars, 0));
            if (FieldRecord* f = FieldRecordOf(col.control)) {
                pc.lower = f->lowerLimit;
                pc.upper = f->upperLimit;
            }
            if (col.type == kCellMenu)
                for (const std::string& o : GridColumnTexts(col).options)
                    pc.options.push_back(Upper(o));
        }
        return pc;
    };

    const std::string& t = clip.text;
    int row = startRow, column = startColumn;
    int largestRow = startRow, largestColumn = startColumn;
    size_t pos = 0;
    // Rows only grow: once they pass the last row no further field lands.
    while (pos < t.size() && row <= lastRow) {
        size_t end = t.find_first_of("\t\r", pos);
        if (end == std::string::npos)
            end = t.size();
        if (column <= lastColumn && r->column[column].cells && r->column[column].states) {
            PasteCell(r, columnOf(column), column, row, std::string_view(t).substr(pos, end - pos));
            largestRow = std::max(largestRow, row);
            largestColumn = std::max(largestColumn, column);
        }
        if (end >= t.size())
            break;
        if (t[end] == '\t') {
            ++column;
            pos = end + 1;
        } else {
            column = startColumn;
            ++row;
            pos = end + 1;
            if (pos < t.size() && t[pos] == '\n')
                ++pos;
        }
    }
    if (gGridRedrawFlag == 1 && r->cellArea)
        UpdateWindow(r->cellArea);
    if (GetWindowLongA(grid, GWL_STYLE) & kGridReportPaste)
        GridStoreBlockEvent(grid, 1, GridPackedCell(startRow, startColumn), GridPackedCell(largestRow, largestColumn),
                            true);
    r->modified = 1;
    r->modified2 = 1;
}

// ---- Clear --------------------------------------------------------------------------------

void GridClearSelectedCells(HWND grid)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || !HasBlock(r) || !r->column || r->selLastColumn >= r->columns || r->selLastRow >= r->rowsAllocated)
        return;
    const int firstRow = r->selFirstRow, lastRow = r->selLastRow;
    const int firstColumn = r->selFirstColumn, lastColumn = r->selLastColumn;
    for (int c = firstColumn; c <= lastColumn; ++c) {
        GridColumnRecord& col = r->column[c];
        if (!col.cells || !col.states)
            continue;
        for (int w = firstRow; w <= lastRow; ++w) {
            if (col.type == kCellText)
                GridTextCellSet(col, w, "");
            else if (col.type == kCellCheckBox || col.type == kCellMenu)
                GridIntCell(col, w) = 0;
            col.states[w] &= static_cast<uint8_t>(~kCellHasValue);
        }
    }
    GridSelectionClear(grid);
    const bool currentInBlock = r->currentRow >= firstRow && r->currentRow <= lastRow &&
                                r->currentColumn >= firstColumn && r->currentColumn <= lastColumn;
    if (currentInBlock && r->editor) {
        const int type = r->column[r->currentColumn].type;
        if (type == kCellCheckBox) {
            SendMessageA(r->editor, BM_SETCHECK, BST_UNCHECKED, 0);
        } else if (type == kCellMenu) {
            SendMessageA(r->editor, CB_SETCURSEL, 0, 0);
        } else {
            SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
            if (FieldRecord* ef = FieldRecordOf(r->editor))
                ef->value = 0.0;
        }
    }
    if (r->cellArea) {
        for (int c = firstColumn; c <= lastColumn; ++c)
            for (int w = std::max(firstRow, r->firstVisibleRow); w <= lastRow && w < r->firstVisibleRow + r->rowsShown; ++w)
                GridCellInvalidate(r, c, w, 0);
        if (gGridRedrawFlag == 1)
            UpdateWindow(r->cellArea);
    }
    if (GetWindowLongA(grid, GWL_STYLE) & kGridReportPaste)
        GridStoreBlockEvent(grid, 1, GridPackedCell(firstRow, firstColumn), GridPackedCell(lastRow, lastColumn), true);
    r->modified = 1;
    r->modified2 = 1;
}

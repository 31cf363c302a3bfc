// The grid editor's own grid: a "KVBGRID" window on the editor's frame made
// as a full copy of the template grid field. The template's structure
// (columns, rows, header sizes, template identifier), every column's cells,
// cell states and colour records, the row labels, the hidden column
// controls with their field records, and the column header items are
// copied once; afterwards the two grids share nothing.
#include "grid/grid_editor.h"
#include "grid/grid_editor_internal.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/dialog_fields.h"
#include "grid/grid_record.h"

namespace {

HMENU ControlId(int id)
{
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

char* TextDup(const char* text)
{
    if (!text)
        return nullptr;
    size_t n = std::strlen(text);
    auto* copy = static_cast<char*>(std::malloc(n + 1));
    if (copy)
        std::memcpy(copy, text, n + 1);
    return copy;
}

// Cells, states and colour records of column FROM into the freshly
// allocated column TO; false when memory is short.
bool CellsCopy(GridColumnRecord& to, const GridColumnRecord& from, int rows)
{
    if (!GridColumnAllocate(to, rows))
        return false;
    if (rows <= 0)
        return true;
    if (from.type == kCellText) {
        for (int row = 0; row < rows; ++row) {
            const char* text = GridTextCell(from, row);
            if (text[0] && !GridTextCellSet(to, row, text))
                return false;
        }
    } else if (from.cells) {
        std::memcpy(to.cells, from.cells, GridCellSize(from.type) * static_cast<size_t>(rows));
    }
    if (from.states)
        std::memcpy(to.states, from.states, static_cast<size_t>(rows));
    if (from.colours) {
        size_t bytes = static_cast<size_t>(rows) * kGridColourBytes;
        to.colours = static_cast<uint8_t*>(std::malloc(bytes));
        if (!to.colours)
            return false;
        std::memcpy(to.colours, from.colours, bytes);
    }
    return true;
}

bool IsUpDownClass(HWND w)
{
    char cls[32] = {};
    if (w)
        GetClassNameA(w, cls, sizeof cls);
    return lstrcmpiA(cls, UPDOWN_CLASSA) == 0;
}

// The hidden control of one column, copied from the template's column control T.
HWND ColumnControlCopy(GridRecord* g, const GridColumnRecord& column, HFONT font)
{
    HWND t = column.control;
    if (!t)
        return nullptr;
    char cls[64] = {};
    GetClassNameA(t, cls, sizeof cls);
    LONG style = (GetWindowLongA(t, GWL_STYLE) | WS_BORDER) & ~(WS_VISIBLE | WS_DISABLED);
    LONG ex = GetWindowLongA(t, GWL_EXSTYLE);
    FieldRecord* tf = FieldRecordOf(t);
    RECT tr = GridControlExtent(t);
    if (column.type == kCellMenu) {
        RECT dropped{};
        SendMessageA(t, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        tr.bottom = std::max(tr.bottom, dropped.bottom);
        style |= WS_VSCROLL;
    }
    std::string caption = GridWindowText(t, 259);
    HWND c = CreateWindowExA(ex, cls, caption.c_str(), style, 0, 0, tr.right - tr.left, tr.bottom - tr.top, g->cellArea,
                             ControlId(-1), GetModuleHandleA(nullptr), nullptr);
    if (!c)
        return nullptr;
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (column.type == kCellMenu)
        GridComboDropMatch(c, t, static_cast<int>(tr.bottom - tr.top));
    FieldRecord* cf = FieldRecordOf(c);
    if (!cf)
        cf = FieldRecordCreate(c);
    if (cf && tf) {
        cf->foreColour = tf->foreColour;
        cf->backColour = tf->backColour;
        cf->lowerLimit = tf->lowerLimit;
        cf->upperLimit = tf->upperLimit;
        cf->smallStep = tf->smallStep;
        cf->largeStep = tf->largeStep;
        cf->stepOrigin = tf->stepOrigin;
        cf->textLimit = tf->textLimit;
        std::free(cf->format);
        cf->format = TextDup(tf->format);
    }
    if (FieldIsEditLike(c) && cf && cf->textLimit > 0)
        SendMessageA(c, EM_LIMITTEXT, static_cast<WPARAM>(cf->textLimit), 0);
    if (cf && tf && cf->upDownBuddy && tf->upDownBuddy && IsUpDownClass(cf->upDownBuddy)) {
        int lo = 0, hi = 0;
        SendMessageA(tf->upDownBuddy, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
        SendMessageA(cf->upDownBuddy, UDM_SETRANGE32, static_cast<WPARAM>(lo), hi);
        UDACCEL accel[2]{};
        LRESULT count = SendMessageA(tf->upDownBuddy, UDM_GETACCEL, 2, reinterpret_cast<LPARAM>(accel));
        count = std::clamp<LRESULT>(count, 0, 2);
        if (count > 0)
            SendMessageA(cf->upDownBuddy, UDM_SETACCEL, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(accel));
        ShowWindow(cf->upDownBuddy, IsWindowVisible(t) ? SW_SHOWNA : SW_HIDE);
    }
    if (column.type == kCellMenu) {
        SendMessageA(c, CB_RESETCONTENT, 0, 0);
        int count = static_cast<int>(SendMessageA(t, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LRESULT n = SendMessageA(t, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            if (n == CB_ERR)
                continue;
            std::string item(static_cast<size_t>(n) + 1, '\0');
            SendMessageA(t, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
            SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        LRESULT sel = SendMessageA(t, CB_GETCURSEL, 0, 0);
        if (sel != CB_ERR)
            SendMessageA(c, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
    }
    return c;
}

void HeaderItemsCopy(HWND from, HWND to, const GridRecord* g)
{
    if (!from || !to)
        return;
    while (SendMessageA(to, HDM_GETITEMCOUNT, 0, 0) > 0)
        SendMessageA(to, HDM_DELETEITEM, 0, 0);
    for (int item = 0; item <= g->columns; ++item)
        GridHeaderItemCopy(from, to, item, true,
                           item > 0 ? std::optional<int>(g->column[item - 1].width - 1) : std::nullopt);
}

} // namespace

void GridEditorGridCopy(HWND frame, GridEditorRecord* r, HWND templateGrid)
{
    GridRecord* s = GridRecordOf(templateGrid);
    if (!s)
        return;
    RECT area{};
    if (r->grid == nullptr) {
        // The grid takes the place the layout leaves: the hidden client
        // window's rectangle, else the frame's client area.
        GetClientRect(frame, &area);
    }
    const LONG style = GetWindowLongA(templateGrid, GWL_STYLE) | WS_CHILD | kGridKeepHeight | kGridEnterMovesDown |
                       kGridTabMovesCells;
    const LONG ex = GetWindowLongA(templateGrid, GWL_EXSTYLE) | WS_EX_CLIENTEDGE;
    HWND grid = CreateWindowExA(ex, "KVBGRID", "", static_cast<DWORD>(style), 0, 0, area.right, area.bottom, frame,
                                ControlId(kGridEditorGridId), GetModuleHandleA(nullptr), nullptr);
    GridRecord* g = GridRecordOf(grid);
    if (!g) {
        if (grid)
            DestroyWindow(grid);
        return;
    }
    r->grid = grid;
    SendMessageA(grid, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);

    g->columns = s->columns;
    g->lastScrollStart = s->lastScrollStart;
    g->rowsAllocated = s->rowsAllocated;
    g->columnsAllocated = s->columnsAllocated;
    g->rows = s->rows;
    g->rowHeaderWidth = s->rowHeaderWidth;
    g->columnHeaderHeight = s->columnHeaderHeight;
    g->templateId = s->templateId;
    g->sizeLock = 0;
    const int rows = std::max(g->rowsAllocated, 0);
    if (s->column && s->columns > 0) {
        g->column = static_cast<GridColumnRecord*>(
            std::calloc(static_cast<size_t>(std::max(s->columns, s->columnsAllocated)), sizeof(GridColumnRecord)));
        if (!g->column) {
            g->columns = 0;
        }
        for (int c = 0; g->column && c < s->columns; ++c) {
            GridColumnRecord& to = g->column[c];
            const GridColumnRecord& from = s->column[c];
            to.width = from.width;
            to.type = from.type;
            to.maxChars = from.maxChars;
            if (!CellsCopy(to, from, rows)) {
                // What could not be copied stays empty; the columns stand.
                if (!to.cells)
                    GridColumnAllocate(to, rows);
            }
        }
    }
    if (s->labels && rows > 0) {
        size_t bytes = static_cast<size_t>(rows) * kGridLabelBytes;
        g->labels = static_cast<char*>(std::malloc(bytes));
        if (g->labels)
            std::memcpy(g->labels, s->labels, bytes);
    }

    RECT client;
    GetClientRect(grid, &client);
    g->cellArea = CreateWindowExA(0, "KVBGRIDCLIENT", "", WS_CHILD | WS_VISIBLE, g->rowHeaderWidth,
                                  g->columnHeaderHeight, std::max(0L, client.right - g->rowHeaderWidth),
                                  std::max(0L, client.bottom - g->columnHeaderHeight), grid, ControlId(-1),
                                  GetModuleHandleA(nullptr), nullptr);
    if (g->cellArea) {
        SendMessageA(g->cellArea, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
        const int pitch = std::max(g->rowHeight - 1, 1);
        g->page = std::max(1, (GridCellAreaHeight(g) - g->rowHeight) / pitch + 1);
        for (int c = 0; g->column && c < g->columns; ++c)
            g->column[c].control = ColumnControlCopy(g, s->column[c], r->font);
    }
    HeaderItemsCopy(s->columnHeader, g->columnHeader, g);
    if (g->columnHeader) {
        RECT h;
        GetWindowRect(g->columnHeader, &h);
        SetWindowPos(g->columnHeader, nullptr, 0, 0, client.right, g->columnHeaderHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    g->setUp = s->setUp;
    // The row-header controls (with GridStyle 0x400) and the rows shown are
    // made by the cell area's own sizing from none.
    g->rowHeaderWindows = 0;
    g->rowsShown = 0;
    GridCellAreaSize(grid, g);
    SendMessageA(grid, kGridRanges, 0, 0);
    GridEditorFitFrame(r);
    GridEditorLayout(frame, r);
    GridRowHeadersRefresh(g);
}

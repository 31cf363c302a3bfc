// Grid scrolling, sizing and header interaction: the scroll ranges with their
// power-of-two scale, horizontal and vertical scrolling by line, page and
// thumb, the mouse wheel, the layout of the grid and of its cell area (which
// creates and destroys row-header windows), bringing the current cell into
// view when the grid gets the focus, column dragging and header clicks.
#include "grid/grid_record.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>

#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

constexpr int kMinColumnWidth = 14;

void LastVisibleCompute(GridRecord* r)
{
    const int width = GridCellAreaWidth(r);
    int last = r->firstVisibleColumn;
    int sum = 1;
    for (int c = r->firstVisibleColumn; c < r->columns; ++c) {
        if (sum + r->column[c].width - 1 > width)
            break;
        sum += r->column[c].width - 1;
        last = c;
    }
    r->lastVisibleColumn = last;
}

// Moves the editor and its up-down control by hand (the cell area is hidden,
// so scrolling its contents moved nothing).
void EditorShift(GridRecord* r, int dx, int dy)
{
    if (!r->editor)
        return;
    HWND windows[2] = {r->editor, nullptr};
    if (FieldRecord* f = FieldRecordOf(r->editor))
        windows[1] = f->upDownBuddy;
    for (HWND w : windows) {
        if (!w || !IsWindow(w))
            continue;
        RECT rc;
        GetWindowRect(w, &rc);
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
        SetWindowPos(w, nullptr, rc.left + dx, rc.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool EditorInvalid(GridRecord* r)
{
    HWND focus = GetFocus();
    return focus && focus == r->editor && NumericFieldCheck(r->editor, r->editor, 1) != 0;
}

void FocusEditorFromGrid(GridRecord* r)
{
    if (!r->editor || GetFocus() == r->editor)
        return;
    gGridSwitches.gridMovedFocus = 1;
    SetFocus(r->editor);
    gGridSwitches.gridMovedFocus = 0;
}

void ThumbScroll(HWND grid, UINT message, int position)
{
    SendMessageA(grid, message, MAKEWPARAM(SB_THUMBPOSITION, std::clamp(position, 0, 65535)), 0);
}

// Sets a scroll bar's position without drawing it now: the frame is marked
// and the bar drawn when the message loop next runs, once for a series of
// scrolls (drawing a scroll bar costs more here than drawing every cell).
void BarPositionSet(HWND grid, int bar, int position)
{
    SetScrollPos(grid, bar, position, FALSE);
    RECT window, client;
    GetWindowRect(grid, &window);
    MapWindowPoints(nullptr, grid, reinterpret_cast<POINT*>(&window), 2);
    GetClientRect(grid, &client);
    HRGN frame = CreateRectRgnIndirect(&window);
    HRGN inside = CreateRectRgnIndirect(&client);
    if (frame && inside && CombineRgn(frame, frame, inside, RGN_DIFF) != ERROR)
        RedrawWindow(grid, nullptr, frame, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
    else
        SetScrollPos(grid, bar, position, TRUE);
    if (frame)
        DeleteObject(frame);
    if (inside)
        DeleteObject(inside);
}

void VerticalThumbToRow(HWND grid, GridRecord* r, int firstRow)
{
    // A pending first row of 0 means none: the thumb position 0 then gives row 0.
    r->pendingFirstRow = firstRow;
    ThumbScroll(grid, WM_VSCROLL, 0);
}

void RowHeaderPlace(GridRecord* r, int i, int& y, int& h)
{
    y = i == 0 ? r->columnHeaderHeight : r->columnHeaderHeight + i * (r->rowHeight - 1) + 1;
    h = i == 0 ? r->rowHeight : r->rowHeight - 1;
}

void HeaderText(HWND header, const char* text, int width)
{
    HDITEMA it{};
    it.mask = HDI_TEXT;
    it.pszText = const_cast<char*>(text);
    it.cchTextMax = static_cast<int>(std::strlen(text));
    if (SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) > 0) {
        SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    } else {
        it.mask |= HDI_WIDTH | HDI_FORMAT;
        it.cxy = width;
        it.fmt = HDF_STRING | HDF_LEFT;
        SendMessageA(header, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
    }
}

const char* LabelOfRow(GridRecord* r, int row)
{
    return (r->labels && row >= 0 && row < r->rowsAllocated) ? r->labels + row * kGridLabelBytes : "";
}

} // namespace

void GridVerticalRange(HWND grid, GridRecord* r, bool redraw)
{
    int n = r->rows, scale = 1;
    while (n > 65536) {
        n /= 2;
        scale *= 2;
    }
    r->scrollScale = scale;
    if (!(GetWindowLongA(grid, GWL_STYLE) & WS_VSCROLL))
        return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(n - 1, 0);
    si.nPage = static_cast<UINT>(std::max(r->page / scale, 0));
    si.nPos = r->firstVisibleRow / scale;
    SetScrollInfo(grid, SB_VERT, &si, redraw ? TRUE : FALSE);
}

LRESULT GridRanges(HWND grid, GridRecord* r)
{
    GridVerticalRange(grid, r, true);
    const LONG style = GetWindowLongA(grid, GWL_STYLE);
    if (!r->column)
        return 0;
    const int width = GridCellAreaWidth(r);
    int sum = 1, fitting = 0, start = 0;
    for (int c = r->columns - 1; c >= 0; --c) {
        if (sum + r->column[c].width - 1 > width) {
            start = c + 1;
            break;
        }
        sum += r->column[c].width - 1;
        ++fitting;
    }
    r->lastScrollStart = std::min(start, std::max(r->columns - 1, 0));
    if (style & WS_HSCROLL) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = std::max(r->columns - 1, 0);
        si.nPage = static_cast<UINT>(fitting);
        si.nPos = r->firstVisibleColumn;
        SetScrollInfo(grid, SB_HORZ, &si, TRUE);
    }
    LastVisibleCompute(r);
    return 0;
}

void GridHeaderWidths(GridRecord* r)
{
    if (!r->columnHeader || !r->column)
        return;
    const int last = std::min(r->lastVisibleColumn + 1, r->columns - 1);
    for (int c = 0; c <= last; ++c) {
        HDITEMA it{};
        it.mask = HDI_WIDTH;
        it.cxy = c < r->firstVisibleColumn ? 0 : r->column[c].width - 1;
        SendMessageA(r->columnHeader, HDM_SETITEMA, c + 1, reinterpret_cast<LPARAM>(&it));
    }
}

void GridHScroll(HWND grid, GridRecord* r, int code, int position)
{
    if (!r->column || EditorInvalid(r))
        return;
    const int fv = r->firstVisibleColumn;
    int target = fv;
    switch (code) {
    case SB_LINELEFT:
        target = fv - 1;
        break;
    case SB_LINERIGHT:
        target = fv + 1;
        break;
    case SB_PAGELEFT: {
        const int width = GridCellAreaWidth(r);
        target = fv;
        while (target > 0 && GridColumnsFit(r, target - 1, fv - 1, width))
            --target;
        break;
    }
    case SB_PAGERIGHT:
        target = r->lastVisibleColumn;
        break;
    case SB_THUMBPOSITION:
        target = position;
        break;
    default:
        return;
    }
    target = std::clamp(target, 0, std::max(r->lastScrollStart, 0));
    const int step = target - fv;
    if (step == 0)
        return;
    const bool focusInside = GridHasFocusInside(grid);
    GridSelectionClear(grid);
    int dx = step > 0 ? GridColumnsSpan(r, fv, target) : -GridColumnsSpan(r, target, fv);
    r->firstVisibleColumn = target;
    BarPositionSet(grid, SB_HORZ, target);
    LastVisibleCompute(r);
    if (r->cellArea) {
        ScrollWindowEx(r->cellArea, -dx, 0, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        if (!IsWindowVisible(r->cellArea))
            EditorShift(r, -dx, 0);
    }
    GridHeaderWidths(r);
    int column = std::clamp(r->currentColumn, r->firstVisibleColumn, std::max(r->firstVisibleColumn, r->lastVisibleColumn));
    GridMoveCurrentCell(grid, column, r->currentRow, 0, 0);
    if (focusInside)
        FocusEditorFromGrid(r);
    if (r->cellArea)
        RedrawWindow(r->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (r->columnHeader)
        RedrawWindow(r->columnHeader, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void GridVScroll(HWND grid, GridRecord* r, int code, int position)
{
    if (!r->column || EditorInvalid(r))
        return;
    const int fvr = r->firstVisibleRow;
    int step = 0;
    switch (code) {
    case SB_LINEUP:
        step = -1;
        break;
    case SB_LINEDOWN:
        step = 1;
        break;
    case SB_PAGEUP:
        step = -r->page;
        break;
    case SB_PAGEDOWN:
        step = r->page;
        break;
    case SB_THUMBPOSITION:
        if (r->pendingFirstRow != 0) {
            step = r->pendingFirstRow - fvr;
            r->pendingFirstRow = 0;
        } else {
            step = position * r->scrollScale - fvr;
        }
        break;
    default:
        return;
    }
    if (step > 0) {
        int room = r->rows - r->page - fvr;
        step = room < 1 ? 0 : std::min(step, room);
    } else if (step < 0) {
        step = std::max(step, -fvr);
    }
    if (step == 0)
        return;
    const int modified = r->modified, modified2 = r->modified2;
    const bool focusInside = GridHasFocusInside(grid);
    GridSelectionClear(grid);
    GridCellEditorStore(r);
    r->firstVisibleRow = fvr + step;
    BarPositionSet(grid, SB_VERT, r->firstVisibleRow / std::max(r->scrollScale, 1));
    const int dy = step * (r->rowHeight - 1);
    if (r->cellArea) {
        if (dy >= GridCellAreaHeight(r) || -dy >= GridCellAreaHeight(r)) {
            // Nothing of the old view stays in sight: the whole area is drawn
            // anew, and only the editor (with its up-down) moves.
            InvalidateRect(r->cellArea, nullptr, TRUE);
            EditorShift(r, 0, -dy);
        } else {
            ScrollWindowEx(r->cellArea, 0, -dy, nullptr, nullptr, nullptr, nullptr,
                           SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
            if (!IsWindowVisible(r->cellArea))
                EditorShift(r, 0, -dy);
        }
    }
    int row = std::clamp(r->currentRow, r->firstVisibleRow, r->firstVisibleRow + std::max(r->page, 1) - 1);
    GridMoveCurrentCell(grid, r->currentColumn, row, 0, 0);
    if (focusInside)
        FocusEditorFromGrid(r);
    GridRowHeadersRefresh(r);
    // What the scroll uncovered and what the rows changed is invalid: drawn now.
    if (r->cellArea)
        RedrawWindow(r->cellArea, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (r->page < r->rowsShown && r->rowHeaders && r->rowsShown > 0) {
        HWND last = r->rowHeaders[r->rowsShown - 1];
        if (last)
            ShowWindow(last, r->firstVisibleRow + r->page < r->rows ? SW_SHOWNA : SW_HIDE);
    }
    r->modified = modified;
    r->modified2 = modified2;
}

void GridMouseWheel(HWND grid, GridRecord* r, int distance)
{
    r->wheelRemainder += distance;
    if (distance < 0) {
        while (r->wheelRemainder < -119) {
            r->wheelRemainder += 120;
            SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
        }
    } else {
        while (r->wheelRemainder > 119) {
            r->wheelRemainder -= 120;
            SendMessageA(grid, WM_VSCROLL, SB_LINEUP, 0);
        }
    }
}

void GridScrollColumnToRight(HWND grid, GridRecord* r, int column)
{
    const int width = GridCellAreaWidth(r);
    int first = column;
    while (first > 0 && GridColumnsFit(r, first - 1, column, width))
        --first;
    ThumbScroll(grid, WM_HSCROLL, first);
}

void GridKeepCurrentColumn(HWND grid, GridRecord* r)
{
    if (r->currentColumn > r->lastVisibleColumn)
        GridScrollColumnToRight(grid, r, r->currentColumn);
    else if (r->firstVisibleColumn > r->lastScrollStart)
        ThumbScroll(grid, WM_HSCROLL, r->lastScrollStart);
}

void GridSize(HWND grid, GridRecord* r)
{
    RECT c;
    GetClientRect(grid, &c);
    if (r->columnHeader) {
        RECT h;
        GetWindowRect(r->columnHeader, &h);
        SetWindowPos(r->columnHeader, nullptr, 0, 0, c.right, h.bottom - h.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!r->cellArea || !r->column)
        return;
    int broadest = 0;
    for (int i = 0; i < r->columns; ++i)
        broadest = std::max(broadest, static_cast<int>(r->column[i].width));
    int width = std::max(static_cast<int>(c.right) - r->rowHeaderWidth, broadest);
    int height = std::max(static_cast<int>(c.bottom) - r->columnHeaderHeight, static_cast<int>(r->rowHeight));
    SetWindowPos(r->cellArea, nullptr, r->rowHeaderWidth, r->columnHeaderHeight, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const int lastVisible = r->lastVisibleColumn;
    SendMessageA(grid, kGridRanges, 0, 0);
    if (r->lastVisibleColumn != lastVisible)
        InvalidateRect(r->cellArea, nullptr, TRUE);
    GridKeepCurrentColumn(grid, r);
}

void GridCellAreaSize(HWND grid, GridRecord* r)
{
    if (!r->cellArea)
        return;
    const int busy = gNumericCheck.gridBusy;
    gNumericCheck.gridBusy = 1;
    // The grid takes the focus after a change of its rows, but not while it
    // is being built (its dialog may be hidden) or while its size is locked.
    const bool takeFocus = r->setUp && !r->sizeLock;
    const int pitch = std::max(r->rowHeight - 1, 1);
    const int newPage = std::max(1, (GridCellAreaHeight(r) - r->rowHeight) / pitch + 1);
    const int needed = std::min(newPage + 1, r->rowsAllocated);
    if (needed == r->rowHeaderWindows) {
        r->page = newPage;
    } else if (needed < r->rowHeaderWindows) {
        if (r->currentRow >= r->firstVisibleRow + needed - 1)
            VerticalThumbToRow(grid, r, r->currentRow - newPage + 1);
        if (r->rowHeaders)
            for (int i = needed; i < r->rowHeaderWindows; ++i) {
                if (r->rowHeaders[i])
                    DestroyWindow(r->rowHeaders[i]);
                r->rowHeaders[i] = nullptr;
            }
        r->page = newPage;
        r->rowHeaderWindows = needed;
        r->rowsShown = std::min(needed, r->rowsShown);
        if (takeFocus)
            SetFocus(grid);
    } else if (r->rowsShown != r->rowHeaderWindows) {
        r->page = newPage;
    } else {
        if (r->rows < r->firstVisibleRow + needed) {
            const int column = r->currentColumn, row = r->currentRow;
            r->page += 1;
            VerticalThumbToRow(grid, r, std::max(r->rows - needed, 0));
            r->page -= 1;
            GridMoveCurrentCell(grid, column, row, 0, 0);
        }
        int created = needed;
        if (GetWindowLongA(grid, GWL_STYLE) & kGridRowHeaders) {
            auto* grown = static_cast<HWND*>(std::realloc(r->rowHeaders, sizeof(HWND) * static_cast<size_t>(needed)));
            if (!grown) {
                created = r->rowHeaderWindows;
            } else {
                r->rowHeaders = grown;
                for (int i = r->rowHeaderWindows; i < needed; ++i) {
                    int y, h;
                    RowHeaderPlace(r, i, y, h);
                    int row = r->firstVisibleRow + i;
                    HWND w = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | HDS_BUTTONS | (row < r->rows ? WS_VISIBLE : 0),
                                             0, y, r->rowHeaderWidth, h, grid,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(i)),
                                             GetModuleHandleA(nullptr), nullptr);
                    if (!w) {
                        created = i;
                        break;
                    }
                    WNDPROC old = reinterpret_cast<WNDPROC>(
                        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridHeaderProc)));
                    if (old && old != GridHeaderProc)
                        gGridClasses.headerProc = old;
                    if (r->font)
                        SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
                    HeaderText(w, LabelOfRow(r, row), r->rowHeaderWidth + 1);
                    r->rowHeaders[i] = w;
                }
            }
        }
        r->rowHeaderWindows = created;
        r->rowsShown = created;
        r->page = created < needed ? std::max(created, 1) : newPage;
        GridRowHeadersRefresh(r);
        if (takeFocus)
            SetFocus(grid);
    }
    gNumericCheck.gridBusy = busy;
}

void GridFocus(HWND grid, GridRecord* r, HWND previous)
{
    if (!r->column)
        return;
    const int column = r->currentColumn, row = r->currentRow;
    if (row < r->firstVisibleRow)
        VerticalThumbToRow(grid, r, row);
    else if (row >= r->firstVisibleRow + r->page)
        VerticalThumbToRow(grid, r, row - r->page + 1);
    if (column < r->firstVisibleColumn)
        ThumbScroll(grid, WM_HSCROLL, column);
    else if (column > r->lastVisibleColumn)
        GridScrollColumnToRight(grid, r, column);
    if (r->currentColumn != column || r->currentRow != row)
        GridMoveCurrentCell(grid, column, row, 0, 0);
    if (!r->editor)
        return;
    SetFocus(r->editor);
    if (previous && previous == r->cellArea && FieldIsEditLike(r->editor)) {
        SendMessageA(r->editor, EM_SETSEL, 0, -1);
        SendMessageA(r->editor, EM_SCROLLCARET, 0, 0);
    }
}

void GridRowHeadersRefresh(GridRecord* r)
{
    if (!r->rowHeaders || r->rowHeaderWindows <= 0)
        return;
    int count = r->firstVisibleRow + r->page < r->rows ? r->rowsShown : std::min(r->page, r->rows);
    count = std::min(count, r->rowHeaderWindows);
    for (int i = 0; i < count; ++i) {
        HWND w = r->rowHeaders[i];
        if (!w)
            continue;
        int row = r->firstVisibleRow + i;
        HeaderText(w, LabelOfRow(r, row), r->rowHeaderWidth + 1);
        if (row < r->rows)
            ShowWindow(w, SW_SHOWNA);
        UpdateWindow(w);
    }
}

LRESULT GridHeaderNotify(HWND grid, GridRecord* r, NMHDR* n)
{
    if (!n || !r->column)
        return 0;
    auto* nh = reinterpret_cast<NMHEADERA*>(n);
    const bool columnHeader = n->hwndFrom == r->columnHeader && r->columnHeader;
    switch (n->code) {
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW: {
        if (!columnHeader || nh->iItem < 1 || !(GetWindowLongA(grid, GWL_STYLE) & kGridColumnDrag))
            return TRUE;
        return nh->iItem - 1 < r->firstVisibleColumn ? TRUE : FALSE;
    }
    case HDN_TRACKA:
    case HDN_TRACKW: {
        if (!columnHeader || nh->iItem < 1 || nh->iItem > r->columns || !nh->pitem)
            return 0;
        GridColumnRecord& c = r->column[nh->iItem - 1];
        FieldRecord* f = FieldRecordOf(c.control);
        const bool upDown = f && f->upDownBuddy && IsWindow(f->upDownBuddy);
        int minimum = kMinColumnWidth + ((c.type == kCellMenu || upDown) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        int width = nh->pitem->cxy + 1;
        int clamped = std::clamp(width, minimum, std::max(minimum, GridCellAreaWidth(r)));
        if (clamped != width) {
            nh->pitem->cxy = clamped - 1;
            HDITEMA it{};
            it.mask = HDI_WIDTH;
            it.cxy = clamped - 1;
            SendMessageA(r->columnHeader, HDM_SETITEMA, nh->iItem, reinterpret_cast<LPARAM>(&it));
        }
        const int change = clamped - c.width;
        if (change == 0)
            return 0;
        c.width = clamped;
        SendMessageA(grid, kGridRanges, 0, 0);
        int upDownWidth = 0;
        if (upDown) {
            RECT u;
            GetWindowRect(f->upDownBuddy, &u);
            upDownWidth = u.right - u.left;
        }
        RECT cr;
        GetWindowRect(c.control, &cr);
        SetWindowPos(c.control, nullptr, 0, 0, clamped - upDownWidth, cr.bottom - cr.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (r->editor) {
            const int column = nh->iItem - 1;
            RECT er;
            GetWindowRect(r->editor, &er);
            MapWindowPoints(nullptr, r->cellArea, reinterpret_cast<POINT*>(&er), 2);
            FieldRecord* ef = FieldRecordOf(r->editor);
            HWND eu = (ef && ef->upDownBuddy && IsWindow(ef->upDownBuddy)) ? ef->upDownBuddy : nullptr;
            int euWidth = 0;
            if (eu) {
                RECT u;
                GetWindowRect(eu, &u);
                euWidth = u.right - u.left;
            }
            if (r->currentColumn == column) {
                SetWindowPos(r->editor, nullptr, 0, 0, clamped - euWidth, er.bottom - er.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                if (eu)
                    SetWindowPos(eu, nullptr, er.left + clamped - euWidth, er.top, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            } else if (r->currentColumn > column) {
                SetWindowPos(r->editor, nullptr, er.left + change, er.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                if (eu) {
                    RECT u;
                    GetWindowRect(eu, &u);
                    MapWindowPoints(nullptr, r->cellArea, reinterpret_cast<POINT*>(&u), 2);
                    SetWindowPos(eu, nullptr, u.left + change, u.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
            }
        }
        InvalidateRect(r->cellArea, nullptr, TRUE);
        UpdateWindow(r->cellArea);
        return 0;
    }
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
        if (!columnHeader)
            return 0;
    {
        const int busy = gNumericCheck.gridBusy;
        gNumericCheck.gridBusy = 1;
        GridKeepCurrentColumn(grid, r);
        GridHeaderWidths(r);
        gNumericCheck.gridBusy = busy;
        return 0;
    }
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW: {
        if (r->rows <= 0 || r->columns <= 0)
            return 0;
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        auto focusGrid = [&] {
            gGridSwitches.gridMovedFocus = 1;
            SetFocus(grid);
            gGridSwitches.gridMovedFocus = 0;
        };
        if (columnHeader) {
            if (nh->iItem == 0) {
                focusGrid();
                GridSelectionSet(grid, 0, r->rows - 1, 0, r->columns - 1);
                return 0;
            }
            const int column = nh->iItem - 1;
            if (column >= r->columns)
                return 0;
            if (shift) {
                focusGrid();
                GridSelectionSet(grid, 0, r->rows - 1, std::min(r->currentColumn, column),
                                 std::max(r->currentColumn, column));
            } else {
                GridMoveCurrentCell(grid, column, r->firstVisibleRow, 1, 0);
                GridSelectionSet(grid, 0, r->rows - 1, column, column);
            }
            return 0;
        }
        for (int i = 0; r->rowHeaders && i < r->rowHeaderWindows; ++i) {
            if (r->rowHeaders[i] != n->hwndFrom)
                continue;
            const int row = r->firstVisibleRow + i;
            if (row >= r->rows)
                return 0;
            if (shift) {
                focusGrid();
                GridSelectionSet(grid, std::min(r->currentRow, row), std::max(r->currentRow, row), 0, r->columns - 1);
            } else {
                GridMoveCurrentCell(grid, r->firstVisibleColumn, row, 1, 0);
                GridSelectionSet(grid, row, row, 0, r->columns - 1);
            }
            return 0;
        }
        return 0;
    }
    default:
        return 0;
    }
}

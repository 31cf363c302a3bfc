// The current cell and its in-cell editor: moving the current cell, creating,
// loading, storing and destroying the editor (a live control of the column's
// class over the cell), the block selection with its anchor and its
// field-changed events, and the editor's subclass procedure with every key it
// handles.
#include "grid/grid_record.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>

#include "core/conversions.h"
#include "core/events.h"
#include "core/numeric.h"
#include "core/window_table.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

constexpr int kCheckEditorBlanks = 31;

HWND GridOfEditor(HWND editor)
{
    HWND area = GetParent(editor);
    return area ? GetParent(area) : nullptr;
}

bool HasBlock(const GridRecord* r)
{
    return r->selFirstRow >= 0 && r->selFirstColumn >= 0;
}

int CurrentType(const GridRecord* r)
{
    return (r->column && r->currentColumn >= 0 && r->currentColumn < r->columns) ? r->column[r->currentColumn].type
                                                                                   : -1;
}

bool IsClass(HWND w, ATOM atom)
{
    return w && atom && ClassAtomOf(w) == atom;
}

// Invalidates the block's rectangle (borders included) in the cell area.
void BlockInvalidate(HWND grid, GridRecord* r)
{
    RECT rc;
    if (r->cellArea && GridSelectionRect(grid, rc)) {
        InflateRect(&rc, 1, 1);
        InvalidateRect(r->cellArea, &rc, FALSE);
    }
}

// Repaints the block now (without a block only the editor is marked: the
// rest of the cell area is left to its own update).
void BlockRepaint(HWND grid, GridRecord* r)
{
    BlockInvalidate(grid, r);
    if (r->editor)
        InvalidateRect(r->editor, nullptr, TRUE);
    if (r->cellArea && HasBlock(r))
        UpdateWindow(r->cellArea);
}

// Block from cell (c1, r1) to (c2, r2).
void BlockBetween(HWND grid, int c1, int r1, int c2, int r2)
{
    GridSelectionSet(grid, std::min(r1, r2), std::max(r1, r2), std::min(c1, c2), std::max(c1, c2));
}

// Extends the block to the new current cell from the old one or the anchor.
void ExtendTo(HWND grid, GridRecord* r, int oldColumn, int oldRow, int anchorColumn, int anchorRow)
{
    const int c = r->currentColumn, row = r->currentRow;
    if (anchorColumn < 0) {
        BlockBetween(grid, oldColumn, oldRow, c, row);
        r->anchorColumn = oldColumn;
        r->anchorRow = oldRow;
    } else if (anchorColumn != c || anchorRow != row) {
        BlockBetween(grid, anchorColumn, anchorRow, c, row);
        r->anchorColumn = anchorColumn;
        r->anchorRow = anchorRow;
    } else {
        GridSelectionClear(grid);
    }
}

bool NonBlank(const std::string& s)
{
    return s.find_first_not_of(' ') != std::string::npos;
}

// Position of the character under the caret of an edit-like editor, and the
// text's length; check boxes and menus count as an empty text.
void CaretOf(HWND e, int& position, int& length)
{
    position = 0;
    length = 0;
    if (!FieldIsEditLike(e))
        return;
    length = GetWindowTextLengthA(e);
    POINT caret{};
    if (GetFocus() != e || !GetCaretPos(&caret)) {
        DWORD end = 0;
        SendMessageA(e, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
        position = static_cast<int>(end);
        return;
    }
    LRESULT at = SendMessageA(e, EM_CHARFROMPOS, 0, MAKELPARAM(caret.x + 2, caret.y));
    position = LOWORD(at);
}

LRESULT KeyDown(HWND e, GridRecord* r, WPARAM key, const WNDPROC own, UINT message, LPARAM lParam)
{
    HWND grid = GridOfEditor(e);
    const LONG style = GetWindowLongA(grid, GWL_STYLE);
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const int type = CurrentType(r);
    const int col = r->currentColumn, row = r->currentRow;
    const int lastCol = r->columns - 1, lastRow = r->rows - 1;
    const bool wrap = (style & kGridWrapRows) != 0;
    const bool dropped = r->droppedCombo && r->droppedCombo == e;
    auto callOwn = [&] {
        return own ? CallWindowProcA(own, e, message, key, lParam) : DefWindowProcA(e, message, key, lParam);
    };
    auto move = [&](int c, int rw, bool extend) { GridMoveCurrentCell(grid, c, rw, 1, extend ? 1 : 0); };
    auto left = [&](bool extend) {
        if (col > 0)
            move(col - 1, row, extend);
        else if (wrap && row > 0)
            move(lastCol, row - 1, extend);
        else
            GridBeep();
    };
    auto right = [&](bool extend) {
        if (col < lastCol)
            move(col + 1, row, extend);
        else if (wrap && row < lastRow)
            move(0, row + 1, extend);
        else
            GridBeep();
    };
    auto down = [&] {
        if (row < lastRow)
            move(col, row + 1, shift);
        else
            GridBeep();
    };
    switch (key) {
    case VK_TAB:
        if (style & kGridTabMovesCells) {
            if (shift)
                left(false);
            else
                right(false);
            return 0;
        }
        if (type == kCellCheckBox || type == kCellMenu) {
            SendMessageA(GetParent(grid), WM_NEXTDLGCTL, shift ? 1 : 0, 0);
            return 0;
        }
        return callOwn();
    case VK_RETURN:
        if (style & kGridEnterMovesDown) {
            if (dropped)
                return callOwn();
            down();
            return 0;
        }
        return callOwn();
    case VK_DOWN:
        if (dropped)
            return callOwn();
        down();
        return 0;
    case VK_UP:
        if (dropped)
            return callOwn();
        if (row > 0)
            move(col, row - 1, shift);
        else
            GridBeep();
        return 0;
    case VK_PRIOR:
        if (dropped)
            return callOwn();
        if (ctrl)
            move(col, 0, shift);
        else
            GridScrollWithSelection(grid, WM_VSCROLL, SB_PAGEUP, 0, shift);
        return 0;
    case VK_NEXT:
        if (dropped)
            return callOwn();
        if (ctrl)
            move(col, lastRow, shift);
        else if (r->page < r->rows)
            GridScrollWithSelection(grid, WM_VSCROLL, SB_PAGEDOWN, 0, shift);
        return 0;
    case VK_HOME:
    case VK_END:
        if (!ctrl)
            return callOwn();
        move(key == VK_HOME ? 0 : lastCol, row, shift);
        return 0;
    case VK_LEFT: {
        int position, length;
        CaretOf(e, position, length);
        if (position != 0 && r->anchorColumn < 0)
            return callOwn();
        if (ctrl)
            GridScrollWithSelection(grid, WM_HSCROLL, SB_PAGELEFT, 0, shift);
        else
            left(shift);
        return 0;
    }
    case VK_RIGHT: {
        int position, length;
        CaretOf(e, position, length);
        if (position < length)
            return callOwn();
        if (ctrl)
            GridScrollWithSelection(grid, WM_HSCROLL, SB_PAGERIGHT, 0, shift);
        else
            right(shift);
        return 0;
    }
    case VK_ESCAPE: {
        HWND parent = GetParent(grid);
        if ((type == kCellCheckBox || type == kCellMenu) && IsClass(parent, gControlClasses.dialog)) {
            SendMessageA(parent, WM_CLOSE, 0, 0);
            return 0;
        }
        return callOwn();
    }
    case VK_INSERT:
        if (shift && GridClipboardTextKind() == 2) {
            if (GridPasteTargetUnprotected(grid))
                GridPasteFromClipboard(grid);
            return 0;
        }
        return callOwn();
    case VK_DELETE:
        if (HasBlock(r)) {
            if (GridSelectionUnprotected(grid)) {
                if (!shift || GridCopyToClipboard(grid))
                    GridClearSelectedCells(grid);
            }
            return 0;
        }
        return callOwn();
    default:
        return callOwn();
    }
}

LRESULT Char(HWND e, GridRecord* r, WPARAM ch, const WNDPROC own, UINT message, LPARAM lParam)
{
    HWND grid = GridOfEditor(e);
    switch (ch) {
    case 1:
        if (FieldIsEditLike(e)) {
            SendMessageA(e, EM_SETSEL, 0, -1);
            SendMessageA(e, EM_SCROLLCARET, 0, 0);
            return 0;
        }
        break;
    case 3:
        if (HasBlock(r)) {
            GridCopyToClipboard(grid);
            return 0;
        }
        break;
    case 9:
    case 13:
        return 0;
    case 22:
        if (GridClipboardTextKind() == 2) {
            if (GridPasteTargetUnprotected(grid))
                GridPasteFromClipboard(grid);
            return 0;
        }
        break;
    case 24:
        if (HasBlock(r)) {
            if (GridSelectionUnprotected(grid) && GridCopyToClipboard(grid))
                GridClearSelectedCells(grid);
            return 0;
        }
        break;
    default:
        break;
    }
    return own ? CallWindowProcA(own, e, message, ch, lParam) : DefWindowProcA(e, message, ch, lParam);
}

// Paints a check-box editor into a memory bitmap and shows it with its
// button face in the highlight colour.
void PaintHighlightedCheck(HWND e, WNDPROC own)
{
    RECT rc;
    GetClientRect(e, &rc);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(e, &ps);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP source = CreateCompatibleBitmap(dc, std::max(1L, rc.right), std::max(1L, rc.bottom));
    HBITMAP target = CreateCompatibleBitmap(dc, std::max(1L, rc.right), std::max(1L, rc.bottom));
    HBITMAP work = CreateCompatibleBitmap(dc, std::max(1L, rc.right), std::max(1L, rc.bottom));
    HGDIOBJ old = SelectObject(mem, source);
    FillRect(mem, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (own)
        CallWindowProcA(own, e, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    SelectObject(mem, old);
    GridTransparentBlt(source, target, work);
    old = SelectObject(mem, target);
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(source);
    DeleteObject(target);
    DeleteObject(work);
    DeleteDC(mem);
    EndPaint(e, &ps);
}

bool FrameClickContains(HWND grid)
{
    HWND f = gWindowSystem.pressedCaptionFrame;
    return f && (f == grid || IsChild(f, grid));
}

} // namespace

// ---- Queries ---------------------------------------------------------------------

bool GridHasFocusInside(HWND grid)
{
    HWND focus = GetFocus();
    return focus && grid && (focus == grid || IsChild(grid, focus));
}

bool GridCellSelected(const GridRecord* r, int column, int row)
{
    return HasBlock(r) && row >= r->selFirstRow && row <= r->selLastRow && column >= r->selFirstColumn &&
           column <= r->selLastColumn;
}

bool GridCellHighlighted(HWND grid, const GridRecord* r, int column, int row)
{
    return IsWindowEnabled(grid) && GridCellSelected(r, column, row) && GridHasFocusInside(grid);
}

// ---- Current cell ----------------------------------------------------------------

void GridMoveCurrentCell(HWND grid, int column, int row, int focus, int extend)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || !r->column || column < 0 || column >= r->columns || row < 0 || row >= r->rows)
        return;
    const bool same = column == r->currentColumn && row == r->currentRow;
    if (same && r->editor && !gGridSwitches.focusFromOutside)
        return;
    if (!same && r->editor && NumericFieldCheck(r->editor, r->editor, 1) != 0)
        return;
    const int oldColumn = r->currentColumn, oldRow = r->currentRow;
    const int anchorColumn = r->anchorColumn, anchorRow = r->anchorRow;
    const bool focusInside = GridHasFocusInside(grid);
    GridCellEditorDestroy(r, 1);
    r->currentColumn = column;
    r->currentRow = row;
    GridCellEditorCreate(r);
    if (focus)
        SetFocus(grid);
    else if (focusInside)
        GridReportCellChange(grid, r);
    if (extend)
        ExtendTo(grid, r, oldColumn, oldRow, anchorColumn, anchorRow);
    else
        GridSelectionClear(grid);
}

// ---- In-cell editor ---------------------------------------------------------------

void GridCellEditorCreate(GridRecord* r)
{
    if (!r || r->editor || !r->column || r->columns < 1 || r->rows < 1 || !r->cellArea)
        return;
    HWND grid = GetParent(r->cellArea);
    if (!IsWindowEnabled(grid))
        return;
    if (r->currentColumn < 0 || r->currentColumn >= r->columns || r->currentRow < 0 || r->currentRow >= r->rows)
        return;
    GridColumnRecord& c = r->column[r->currentColumn];
    if (!c.control || !c.cells)
        return;
    const int fv = r->firstVisibleColumn;
    int x = r->currentColumn >= fv ? GridColumnsSpan(r, fv, r->currentColumn) : -GridColumnsSpan(r, r->currentColumn, fv);
    int y = (r->currentRow - r->firstVisibleRow) * (r->rowHeight - 1);
    int height = r->rowHeight;
    LONG style = (GetWindowLongA(c.control, GWL_STYLE) | WS_VISIBLE | WS_BORDER) & ~WS_DISABLED;
    if (c.type == kCellMenu) {
        RECT dropped{};
        SendMessageA(c.control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        height = r->rowHeight + (dropped.bottom - dropped.top);
        style |= WS_VSCROLL;
    }
    if ((GetWindowLongA(grid, GWL_STYLE) & kGridReadOnly) && c.type != kCellCheckBox && c.type != kCellMenu)
        style |= ES_READONLY;
    char cls[64] = {};
    GetClassNameA(c.control, cls, sizeof cls);
    HWND e = CreateWindowExA(GetWindowLongA(c.control, GWL_EXSTYLE), cls, "", style, x, y, c.width, height,
                             r->cellArea, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                             GetModuleHandleA(nullptr), nullptr);
    if (!e)
        return;
    FieldRecord* ef = FieldRecordOf(e);
    if (!ef)
        ef = FieldRecordCreate(e);
    FieldRecord* cf = FieldRecordOf(c.control);
    if (ef && cf) {
        ef->value = cf->value;
        ef->lowerLimit = cf->lowerLimit;
        ef->upperLimit = cf->upperLimit;
        ef->smallStep = cf->smallStep;
        ef->largeStep = cf->largeStep;
        ef->stepOrigin = cf->stepOrigin;
        ef->hasValue = cf->hasValue;
        ef->foreColour = cf->foreColour;
        ef->backColour = cf->backColour;
        ef->textLimit = cf->textLimit;
        std::free(ef->format);
        ef->format = cf->format; // shared with the column control
    }
    SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
    if (c.type <= kCellDouble)
        SendMessageA(e, EM_LIMITTEXT, static_cast<WPARAM>(c.type == kCellInteger ? kGridIntegerTextLimit : c.maxChars), 0);
    r->editor = e;
    GridCellEditorLoad(r);
    if (ef) {
        ef->previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(e, GWLP_WNDPROC));
        SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridCellEditorProc));
        if (HWND ud = ef->upDownBuddy; ud && IsWindow(ud)) {
            LONG_PTR old = SetWindowLongPtrA(ud, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridShiftClickProc));
            SetWindowLongPtrA(ud, GWLP_USERDATA, old);
        }
    }
}

void GridCellEditorDestroy(GridRecord* r, int store)
{
    if (!r || !r->editor)
        return;
    if (store)
        GridCellEditorStore(r);
    HWND e = r->editor;
    r->editor = nullptr;
    if (r->droppedCombo == e)
        r->droppedCombo = nullptr;
    FieldRecord* ef = FieldRecordOf(e);
    if (ef && ef->previousProc)
        SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ef->previousProc));
    // The focus stays inside the grid while the editor goes; the numeric
    // check of a leaving editor does not apply (its value is stored or dropped).
    const int busy = gNumericCheck.gridBusy;
    gNumericCheck.gridBusy = 1;
    if (GetFocus() == e && r->cellArea)
        SetFocus(r->cellArea);
    HWND ud = ef ? ef->upDownBuddy : nullptr;
    if (ef)
        ef->format = nullptr; // the column control's
    if (ud && IsWindow(ud)) {
        if (LONG_PTR old = GetWindowLongPtrA(ud, GWLP_USERDATA))
            SetWindowLongPtrA(ud, GWLP_WNDPROC, old);
        DestroyWindow(ud);
    }
    if (NumericClassOf(e) < 0)
        FieldRecordRelease(e, true); // the numeric classes free their own
    DestroyWindow(e);
    gNumericCheck.gridBusy = busy;
}

void GridCellEditorLoad(GridRecord* r)
{
    if (!r || !r->editor || !r->column)
        return;
    HWND e = r->editor;
    GridColumnRecord& c = r->column[r->currentColumn];
    const int row = r->currentRow;
    FieldRecord* ef = FieldRecordOf(e);
    if (c.colours && ef) {
        const uint8_t* k = c.colours + static_cast<size_t>(row) * kGridColourBytes;
        ef->foreColour = (k[0] & 1) ? k[1] + 256 * k[2] + 65536 * k[3] : -1;
        ef->backColour = (k[0] & 2) ? k[4] + 256 * k[5] + 65536 * k[6] : -1;
    }
    const uint8_t state = c.states[row];
    const bool hasValue = (state & kCellHasValue) != 0;
    auto setText = [e](const std::string& t) { SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str())); };
    switch (c.type) {
    case kCellText:
        setText(GridTextCell(c, row));
        break;
    case kCellInteger:
        setText(hasValue ? GridIntegerText(GridIntCell(c, row)) : std::string());
        if (ef)
            ef->value = hasValue ? GridIntCell(c, row) : 0.0;
        break;
    case kCellReal:
        setText(hasValue ? GridRealText(GridRealCell(c, row), GridFormatOf(e)) : std::string());
        if (ef)
            ef->value = hasValue ? GridRealCell(c, row) : 0.0;
        break;
    case kCellDouble:
        setText(hasValue ? GridDoubleText(GridDoubleCell(c, row), GridFormatOf(e)) : std::string());
        if (ef)
            ef->value = hasValue ? GridDoubleCell(c, row) : 0.0;
        break;
    case kCellCheckBox:
        setText(std::string(kCheckEditorBlanks, ' '));
        SendMessageA(e, BM_SETCHECK, GridIntCell(c, row) == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case kCellMenu: {
        SendMessageA(e, CB_RESETCONTENT, 0, 0);
        int count = static_cast<int>(SendMessageA(c.control, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LRESULT n = SendMessageA(c.control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            if (n == CB_ERR)
                continue;
            std::string item(static_cast<size_t>(n) + 1, '\0');
            SendMessageA(c.control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
            SendMessageA(e, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageA(e, CB_SETCURSEL, static_cast<WPARAM>(GridIntCell(c, row)), 0);
        break;
    }
    }
    if (c.type <= kCellDouble)
        SendMessageA(e, EM_SETMODIFY, FALSE, 0);
    if (ef)
        ef->hasValue = (state & kCellNonBlank) ? 1 : 0;
    GridEditorReadOnly(e, c.type, (state & kCellProtected) ? 1 : 0, 0);
    InvalidateRect(e, nullptr, TRUE);
}

void GridCellEditorStore(GridRecord* r)
{
    if (!r || !r->editor || !r->column)
        return;
    HWND e = r->editor;
    GridColumnRecord& c = r->column[r->currentColumn];
    const int row = r->currentRow;
    if (!c.cells)
        return;
    FieldRecord* ef = FieldRecordOf(e);
    switch (c.type) {
    case kCellText:
        GridTextCellSet(c, row, GridWindowText(e, c.maxChars));
        break;
    case kCellInteger:
    case kCellReal:
    case kCellDouble: {
        std::string text = GridWindowText(e, kGridNumberTextLength);
        double value = ef ? ef->value : 0.0;
        const bool modified = SendMessageA(e, EM_GETMODIFY, 0, 0) != 0;
        if (modified)
            YYTextToDoubleQuiet(value, c.type == kCellInteger ? std::string_view(text).substr(0, std::min<size_t>(text.size(), kGridIntegerTextLimit))
                                                               : std::string_view(text));
        if (c.type == kCellInteger)
            GridIntCell(c, row) = modified ? RoundToInt(value) : TruncateToInt(value);
        else if (c.type == kCellReal)
            GridRealCell(c, row) = SaturateToFloat(value);
        else
            GridDoubleCell(c, row) = (value == value) ? value : 0.0;
        if (NonBlank(text))
            c.states[row] |= kCellHasValue | kCellNonBlank;
        else
            c.states[row] &= static_cast<uint8_t>(~kCellHasValue);
        break;
    }
    case kCellCheckBox:
        GridIntCell(c, row) = SendMessageA(e, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        break;
    case kCellMenu: {
        LRESULT sel = SendMessageA(e, CB_GETCURSEL, 0, 0);
        GridIntCell(c, row) = sel == CB_ERR ? -1 : static_cast<int>(sel);
        break;
    }
    }
}

void GridEditorReadOnly(HWND editor, int type, int readOnly, int update)
{
    if (!editor || type < 0)
        return;
    HWND grid = GridOfEditor(editor);
    if (!readOnly && (GetWindowLongA(grid, GWL_STYLE) & kGridReadOnly))
        return;
    if (type <= kCellDouble) {
        SendMessageA(editor, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
        if (update)
            UpdateWindow(editor);
        FieldRecord* f = FieldRecordOf(editor);
        if (f && f->upDownBuddy && IsWindow(f->upDownBuddy)) {
            EnableWindow(f->upDownBuddy, readOnly ? FALSE : TRUE);
            if (update)
                RedrawWindow(f->upDownBuddy, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    } else if (type == kCellCheckBox) {
        LONG style = GetWindowLongA(editor, GWL_STYLE);
        LONG kind = readOnly ? BS_CHECKBOX : BS_AUTOCHECKBOX;
        if ((style & 15) != kind)
            SendMessageA(editor, BM_SETSTYLE, static_cast<WPARAM>((style & ~15L) | kind), update ? TRUE : FALSE);
    }
}

void GridClearAll(HWND grid, int withMenus)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || !r->column)
        return;
    GridSelectionClear(grid);
    if (HWND e = r->editor) {
        switch (CurrentType(r)) {
        case kCellCheckBox:
            SendMessageA(e, BM_SETCHECK, BST_UNCHECKED, 0);
            break;
        case kCellMenu:
            SendMessageA(e, withMenus ? CB_RESETCONTENT : CB_SETCURSEL, 0, 0);
            break;
        default:
            SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
            SendMessageA(e, EM_SETMODIFY, FALSE, 0);
            if (FieldRecord* f = FieldRecordOf(e)) {
                f->value = 0.0;
                f->hasValue = 0;
            }
            break;
        }
    }
    for (int col = 0; col < r->columns; ++col) {
        GridColumnRecord& c = r->column[col];
        if (withMenus && c.type == kCellMenu && c.control)
            SendMessageA(c.control, CB_RESETCONTENT, 0, 0);
        if (!c.cells)
            continue;
        for (int row = 0; row < r->rowsAllocated; ++row)
            GridCellEmpty(c, row);
    }
    if (r->cellArea) {
        InvalidateRect(r->cellArea, nullptr, FALSE);
        UpdateWindow(r->cellArea);
    }
}

void GridClearAll(HWND grid)
{
    GridClearAll(grid, 1);
}

// ---- Block selection --------------------------------------------------------------

void GridStoreBlockEvent(HWND grid, int value3, int x, int y, bool always)
{
    if (gEventEnableMask.flag[kEventFieldChanged - 1] == 0)
        return;
    auto& s = gCurrentEventSlot;
    if (!always && !(s.waiting == 1 || s.type != kEventFieldChanged))
        return;
    int32_t* w = DialogRecordWords(GetParent(grid));
    int id = GetDlgCtrlID(grid);
    s.type = kEventFieldChanged;
    s.window = w ? w[kDlgIdentifier] : -1;
    s.value1 = id;
    s.value2 = id;
    s.value3 = value3;
    s.value4 = -1;
    s.x = x;
    s.y = y;
    s.time = static_cast<int>(GetMessageTime());
    const bool waited = s.waiting == 1;
    s.waiting = 0;
    s.firstChange = 0;
    if (waited)
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void GridSelectionSet(HWND grid, int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r)
        return;
    if (r->selFirstRow == firstRow && r->selLastRow == lastRow && r->selFirstColumn == firstColumn &&
        r->selLastColumn == lastColumn)
        return;
    HWND focus = GetFocus();
    if (focus && GridHasFocusInside(grid) && ButtonKindOf(focus) < 0 && !IsClass(focus, gControlClasses.comboBox))
        SendMessageA(focus, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    BlockInvalidate(grid, r);
    r->selFirstRow = firstRow;
    r->selLastRow = lastRow;
    r->selFirstColumn = firstColumn;
    r->selLastColumn = lastColumn;
    BlockRepaint(grid, r);
    if (GetWindowLongA(grid, GWL_STYLE) & kGridReportSelection)
        GridStoreBlockEvent(grid, 2, GridPackedCell(firstRow, firstColumn), GridPackedCell(lastRow, lastColumn), false);
}

void GridSelectionClear(HWND grid)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r)
        return;
    if (HasBlock(r)) {
        BlockInvalidate(grid, r);
        if (r->editor)
            InvalidateRect(r->editor, nullptr, TRUE);
        r->selFirstRow = r->selLastRow = r->selFirstColumn = r->selLastColumn = -1;
        if (r->cellArea)
            UpdateWindow(r->cellArea);
        if (r->editor)
            UpdateWindow(r->editor);
        if (GetWindowLongA(grid, GWL_STYLE) & kGridReportSelection)
            GridStoreBlockEvent(grid, 2, 0, 0, false);
    }
    r->anchorColumn = -1;
    r->anchorRow = -1;
}

LRESULT GridScrollWithSelection(HWND grid, UINT message, int code, LPARAM lParam, int extend)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r)
        return 0;
    const int oldColumn = r->currentColumn, oldRow = r->currentRow;
    const int anchorColumn = r->anchorColumn, anchorRow = r->anchorRow;
    LRESULT result = SendMessageA(grid, message, static_cast<WPARAM>(code), lParam);
    if (extend && (r = GridRecordOf(grid)) != nullptr)
        ExtendTo(grid, r, oldColumn, oldRow, anchorColumn, anchorRow);
    return result;
}

// ---- Editor subclass ----------------------------------------------------------------

LRESULT CALLBACK GridCellEditorProc(HWND e, UINT message, WPARAM wParam, LPARAM lParam)
{
    FieldRecord* ef = FieldRecordOf(e);
    WNDPROC own = ef ? ef->previousProc : nullptr;
    auto callOwn = [&] {
        return own ? CallWindowProcA(own, e, message, wParam, lParam) : DefWindowProcA(e, message, wParam, lParam);
    };
    HWND grid = GridOfEditor(e);
    GridRecord* r = GridRecordOf(grid);
    if (!r || r->editor != e)
        return callOwn();
    const LONG style = GetWindowLongA(grid, GWL_STYLE);
    switch (message) {
    case WM_KEYDOWN:
        return KeyDown(e, r, wParam, own, message, lParam);
    case WM_CHAR:
        return Char(e, r, wParam, own, message, lParam);
    case WM_GETDLGCODE: {
        LRESULT code = callOwn();
        if (style & kGridEnterMovesDown)
            code |= DLGC_WANTALLKEYS;
        else if (style & kGridTabMovesCells)
            code |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        else
            code |= DLGC_WANTARROWS | DLGC_WANTCHARS;
        return code;
    }
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            MapWindowPoints(e, r->cellArea, &p, 1);
            int column, row;
            if (GridCellAt(r, p.x, p.y, column, row) &&
                !(column == gGridSwitches.pressColumn && row == gGridSwitches.pressRow)) {
                if (column == r->currentColumn && row == r->currentRow)
                    GridSelectionClear(grid);
                else
                    BlockBetween(grid, r->currentColumn, r->currentRow, column, row);
                gGridSwitches.pressColumn = -1;
                gGridSwitches.pressRow = -1;
            }
        }
        return callOwn();
    case WM_SETFOCUS: {
        HWND from = reinterpret_cast<HWND>(wParam);
        const bool inside = from && (from == grid || IsChild(grid, from));
        if (inside) {
            if (FrameClickContains(grid))
                gWindowSystem.pressedCaptionFrame = nullptr;
            else if (gGridSwitches.blockRepaintPending)
                BlockRepaint(grid, r);
            else
                gGridSwitches.blockRepaintPending = 1;
            gGridSwitches.focusFromOutside = 0;
        } else {
            gGridSwitches.focusFromOutside = 1;
        }
        if (!(gGridSwitches.gridMovedFocus && inside))
            GridReportCellChange(grid, r);
        LRESULT result = callOwn();
        RedrawWindow(e, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    case WM_SETTEXT: {
        LRESULT result = callOwn();
        RedrawWindow(e, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    case WM_KILLFOCUS:
        if (!FrameClickContains(grid)) {
            HWND to = reinterpret_cast<HWND>(wParam);
            HWND keep = grid;
            char cls[32] = {};
            if (HWND parent = GetParent(grid); parent && GetClassNameA(parent, cls, sizeof cls) &&
                                                   lstrcmpiA(cls, "QUILCHILD") == 0)
                keep = parent;
            if (to != keep) {
                gGridSwitches.blockRepaintPending = 1;
                BlockInvalidate(grid, r);
            } else {
                gGridSwitches.blockRepaintPending = 0;
            }
        }
        return callOwn();
    case WM_PAINT:
        if (CurrentType(r) == kCellCheckBox && GridHasFocusInside(grid) &&
            GridCellSelected(r, r->currentColumn, r->currentRow)) {
            PaintHighlightedCheck(e, own);
            return 0;
        }
        return callOwn();
    case WM_CONTEXTMENU:
        if (!HasBlock(r))
            SetFocus(e);
        return DefWindowProcA(e, message, wParam, lParam);
    case WM_MOUSEWHEEL:
        return DefWindowProcA(e, message, wParam, lParam);
    case WM_NCHITTEST:
        if (r->sizeLock)
            return HTTRANSPARENT;
        return callOwn();
    default:
        return callOwn();
    }
}

LRESULT CALLBACK GridShiftClickProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (message == WM_LBUTTONDOWN && GetKeyState(VK_SHIFT) < 0) {
        if (HWND buddy = reinterpret_cast<HWND>(SendMessageA(w, UDM_GETBUDDY, 0, 0)))
            return SendMessageA(buddy, message, wParam, lParam);
    }
    return previous ? CallWindowProcA(previous, w, message, wParam, lParam) : DefWindowProcA(w, message, wParam, lParam);
}

// The grid's cell area ("KVBGRIDCLIENT"): painting the grid lines and the
// visible cells, mouse clicks that move the current cell or set the block,
// the context menu and the grid window's menu commands, the colours of the
// in-cell editor, and the editor's notifications turned into cell changes
// and the grid's modified flags.
#include "grid/grid_record.h"

#include <algorithm>
#include <string>
#include <vector>

#include <commctrl.h>

#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/field_subclass.h"

namespace {

constexpr int kCheckCaptionBlanks = 29;

// The brush last handed out for an editor background.
HBRUSH gEditorBrush = nullptr;

void EditorBrushDelete()
{
    if (gEditorBrush) {
        DeleteObject(gEditorBrush);
        gEditorBrush = nullptr;
    }
}

bool IsClass(HWND w, ATOM atom)
{
    return w && atom && ClassAtomOf(w) == atom;
}

// Field colours (-1 unset) of a column control and of the grid field, read
// once per column while painting.
struct FieldColours {
    int fore = -1;
    int back = -1;
};

FieldColours FieldColoursOf(HWND control)
{
    FieldColours c;
    if (FieldRecord* f = FieldRecordOf(control)) {
        c.fore = f->foreColour;
        c.back = f->backColour;
    }
    return c;
}

// The set colours of a cell (-1 where none is set): its colour record, else
// its column control's field colours; what is unset takes the grid field's.
void CellColours(const GridColumnRecord& c, int row, FieldColours column, FieldColours grid, int& fore, int& back)
{
    fore = column.fore;
    back = column.back;
    if (c.colours) {
        const uint8_t* k = c.colours + static_cast<size_t>(row) * kGridColourBytes;
        fore = (k[0] & 1) ? k[1] + 256 * k[2] + 65536 * k[3] : -1;
        back = (k[0] & 2) ? k[4] + 256 * k[5] + 65536 * k[6] : -1;
    }
    if (fore == -1)
        fore = grid.fore;
    if (back == -1)
        back = grid.back;
}

} // namespace

// What painting a column needs from its column control, made once and kept
// while the column's look stays the same: the check-box images and where the
// control puts the first character of a text.
struct GridPaintCache {
    struct Column {
        // What the parts below were made for.
        HWND control = nullptr;
        int width = -1, height = -1;
        LONG style = 0, exStyle = 0;
        HFONT font = nullptr;
        COLORREF face = 0, highlight = 0;
        // The column control's record.
        FieldRecord* field = nullptr;
        // Check boxes: [checked][highlighted], each kept selected into a
        // memory context of its own (selecting a bitmap costs far more than
        // copying it).
        HBITMAP image[2][2] = {};
        HDC imageDC[2][2] = {};
        HGDIOBJ imageOld[2][2] = {};
        // Texts: the formatting rectangle, and where character 0 of a text of
        // width w starts: x = anchor (left), anchor - w (right), anchor -
        // (w + round) / 2 (centre); y = top. Per cell when the control
        // follows none of these (perCell).
        bool laidOut = false;
        bool perCell = false;
        RECT format{};
        int align = 0, anchor = 0, round = 0, top = 0;
        void Release()
        {
            for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 2; ++j) {
                    if (imageDC[i][j]) {
                        SelectObject(imageDC[i][j], imageOld[i][j]);
                        DeleteDC(imageDC[i][j]);
                        imageDC[i][j] = nullptr;
                    }
                    if (image[i][j]) {
                        DeleteObject(image[i][j]);
                        image[i][j] = nullptr;
                    }
                }
            laidOut = false;
        }
    };
    std::vector<Column> columns;
};

void GridPaintCacheFree(GridRecord* r)
{
    if (!r || !r->paintCache)
        return;
    for (GridPaintCache::Column& c : r->paintCache->columns)
        c.Release();
    delete r->paintCache;
    r->paintCache = nullptr;
}

namespace {

// The column control's look unchecked and checked, and their highlighted copies.
void CheckImagesMake(HWND area, HDC dc, const GridColumnRecord& c, int height, HFONT font,
                     GridPaintCache::Column& out)
{
    const int width = std::max(c.width, 1);
    LONG style = (GetWindowLongA(c.control, GWL_STYLE) | WS_VISIBLE);
    HWND button = CreateWindowExA(GetWindowLongA(c.control, GWL_EXSTYLE), "BUTTON",
                                  std::string(kCheckCaptionBlanks, ' ').c_str(), style, -32000, -32000, width, height,
                                  area, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), GetModuleHandleA(nullptr),
                                  nullptr);
    HDC mem = CreateCompatibleDC(dc);
    for (int checked = 0; checked < 2; ++checked) {
        out.image[checked][0] = CreateCompatibleBitmap(dc, width, height);
        out.image[checked][1] = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ old = SelectObject(mem, out.image[checked][0]);
        RECT all{0, 0, width, height};
        FillRect(mem, &all, GetSysColorBrush(COLOR_BTNFACE));
        if (button) {
            if (font)
                SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            SendMessageA(button, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
        }
        SelectObject(mem, old);
        HBITMAP work = CreateCompatibleBitmap(dc, width, height);
        GridTransparentBlt(out.image[checked][0], out.image[checked][1], work);
        DeleteObject(work);
    }
    DeleteDC(mem);
    if (button)
        DestroyWindow(button);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            if (out.image[i][j] && (out.imageDC[i][j] = CreateCompatibleDC(dc)) != nullptr)
                out.imageOld[i][j] = SelectObject(out.imageDC[i][j], out.image[i][j]);
}

// The position of character 0 of TEXT in the column control CONTROL.
POINT TextStart(HWND control, const char* text)
{
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    LRESULT at = SendMessageA(control, EM_POSFROMCHAR, 0, 0);
    if (at == -1)
        return POINT{0, 0};
    return POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
}

int TextWidth(HDC dc, const std::string& text)
{
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Finds where the control puts character 0 from two probe texts of
// different widths (measured in DC's font, the one the cells are drawn in).
void TextLayoutMake(HDC dc, HWND control, GridPaintCache::Column& k)
{
    SendMessageA(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&k.format));
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    k.align = (style & ES_RIGHT) ? 2 : (style & ES_CENTER) ? 1 : 0;
    const std::string probes[2] = {"0", "0000000"};
    POINT at[2];
    int w[2];
    for (int i = 0; i < 2; ++i) {
        at[i] = TextStart(control, probes[i].c_str());
        w[i] = TextWidth(dc, probes[i]);
    }
    k.top = at[0].y;
    k.perCell = at[0].y != at[1].y;
    if (k.align == 0) {
        k.anchor = at[0].x;
        k.perCell = k.perCell || at[1].x != at[0].x;
    } else if (k.align == 2) {
        k.anchor = at[0].x + w[0];
        k.perCell = k.perCell || at[1].x + w[1] != k.anchor;
    } else {
        bool found = false;
        for (int round = 0; round < 2 && !found; ++round) {
            const int anchor = at[0].x + (w[0] + round) / 2;
            if (at[1].x + (w[1] + round) / 2 == anchor) {
                k.anchor = anchor;
                k.round = round;
                found = true;
            }
        }
        k.perCell = k.perCell || !found;
    }
    k.laidOut = true;
}

// The cached parts of column COL, made again when its look changed.
GridPaintCache::Column& PaintColumn(HWND area, HDC dc, GridRecord* r, int col)
{
    if (!r->paintCache)
        r->paintCache = new GridPaintCache;
    auto& columns = r->paintCache->columns;
    if (columns.size() < static_cast<size_t>(r->columns))
        columns.resize(static_cast<size_t>(r->columns));
    GridPaintCache::Column& k = columns[static_cast<size_t>(col)];
    const GridColumnRecord& c = r->column[col];
    const LONG style = GetWindowLongA(c.control, GWL_STYLE), exStyle = GetWindowLongA(c.control, GWL_EXSTYLE);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT);
    if (k.control != c.control || k.width != c.width || k.height != r->rowHeight || k.style != style ||
        k.exStyle != exStyle || k.font != r->font || k.face != face || k.highlight != highlight) {
        k.Release();
        k.control = c.control;
        k.width = c.width;
        k.height = r->rowHeight;
        k.style = style;
        k.exStyle = exStyle;
        k.font = r->font;
        k.face = face;
        k.highlight = highlight;
        k.field = FieldRecordOf(c.control);
    }
    if (c.type == kCellCheckBox && !k.image[0][0])
        CheckImagesMake(area, dc, c, r->rowHeight, r->font, k);
    if (c.type <= kCellDouble && !k.laidOut)
        TextLayoutMake(dc, c.control, k);
    return k;
}

void Paint(HWND area)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(area, &ps);
    HWND grid = GetParent(area);
    GridRecord* r = GridRecordOf(grid);
    if (!r || !r->column || r->columns <= 0) {
        EndPaint(area, &ps);
        return;
    }
    RECT client;
    GetClientRect(area, &client);
    const int drawn = GridRowsDrawn(r);
    const int pitch = r->rowHeight - 1;
    const int lastColumn = std::min(r->lastVisibleColumn + 1, r->columns - 1);

    // Grid lines in the default pen.
    const int lineBottom = std::min(drawn * pitch, static_cast<int>(client.bottom));
    int x = 0;
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 0, lineBottom + 1);
    for (int c = r->firstVisibleColumn; c <= lastColumn; ++c) {
        x += r->column[c].width - 1;
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, lineBottom + 1);
    }
    const int lineRight = std::min(x, static_cast<int>(client.right));
    for (int i = 0; i <= drawn; ++i) {
        int y = i * pitch;
        if (y > client.bottom)
            break;
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, lineRight + 1, y);
    }

    HGDIOBJ oldFont = r->font ? SelectObject(dc, r->font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    const LONG style = GetWindowLongA(grid, GWL_STYLE);
    const bool enabled = IsWindowEnabled(grid) != 0;
    const bool readOnlyGrid = (style & kGridReadOnly) != 0;
    const bool showColours = (style & kGridShowColoursReadOnly) != 0;
    const bool focusInside = GridHasFocusInside(grid);
    const FieldColours gridColours = FieldColoursOf(grid);

    int left = 0;
    for (int col = r->firstVisibleColumn; col <= lastColumn; ++col) {
        GridColumnRecord& c = r->column[col];
        const int colLeft = left;
        left += c.width - 1;
        if (c.width <= 1 || !c.cells || colLeft > ps.rcPaint.right || colLeft + c.width - 1 < ps.rcPaint.left)
            continue;
        GridPaintCache::Column& k = PaintColumn(area, dc, r, col);
        FieldColours columnColours;
        if (k.field) {
            columnColours.fore = k.field->foreColour;
            columnColours.back = k.field->backColour;
        }
        const GridColumnTexts texts(c);
        for (int i = 0; i < drawn; ++i) {
            const int row = r->firstVisibleRow + i;
            const int top = i * pitch;
            if (row >= r->rowsAllocated || top > ps.rcPaint.bottom || top + pitch < ps.rcPaint.top)
                continue;
            RECT in = GridCellInterior(r, col, row);
            const bool highlighted = enabled && focusInside && GridCellSelected(r, col, row);
            if (c.type == kCellCheckBox) {
                if (HDC image = k.imageDC[GridIntCell(c, row) == 1 ? 1 : 0][highlighted ? 1 : 0])
                    BitBlt(dc, in.left, in.top, in.right - in.left, in.bottom - in.top, image, 1, 1, SRCCOPY);
                continue;
            }
            const bool isProtected = (c.states[row] & kCellProtected) != 0;
            COLORREF fore, back;
            if (!enabled) {
                fore = GetSysColor(COLOR_GRAYTEXT);
                back = GetSysColor(COLOR_BTNFACE);
            } else if (highlighted) {
                fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
                back = GetSysColor(COLOR_HIGHLIGHT);
            } else if ((!readOnlyGrid && !isProtected) || showColours) {
                int f, b;
                CellColours(c, row, columnColours, gridColours, f, b);
                fore = f != -1 ? static_cast<COLORREF>(f) : GetSysColor(COLOR_WINDOWTEXT);
                back = b != -1 ? static_cast<COLORREF>(b)
                               : GetSysColor((readOnlyGrid || isProtected) ? COLOR_BTNFACE : COLOR_WINDOW);
            } else {
                fore = GetSysColor(COLOR_WINDOWTEXT);
                back = GetSysColor(COLOR_BTNFACE);
            }
            SetBkColor(dc, back);
            ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &in, nullptr, 0, nullptr);
            const bool editorCell = r->editor && col == r->currentColumn && row == r->currentRow;
            const std::string text = editorCell ? GridCellText(r, col, row, 1) : texts.Text(row, 1);
            if (text.empty())
                continue;
            SetTextColor(dc, fore);
            if (c.type == kCellMenu) {
                ExtTextOutA(dc, in.left + 3, in.top + 3, ETO_CLIPPED, &in, text.c_str(), static_cast<UINT>(text.size()),
                            nullptr);
                continue;
            }
            POINT start{k.anchor, k.top};
            if (k.perCell)
                start = TextStart(c.control, text.c_str());
            else if (k.align == 2)
                start.x = k.anchor - TextWidth(dc, text);
            else if (k.align == 1)
                start.x = k.anchor - (TextWidth(dc, text) + k.round) / 2;
            const RECT& format = k.format;
            RECT clip{in.left + format.left - 2, in.top + format.top - 1, in.left + format.right - 1,
                      in.top + format.bottom - 1};
            IntersectRect(&clip, &clip, &in);
            ExtTextOutA(dc, in.left + start.x - 1, in.top + start.y - 1, ETO_CLIPPED, &clip, text.c_str(),
                        static_cast<UINT>(text.size()), nullptr);
        }
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(area, &ps);
}

void MouseDown(HWND area, GridRecord* r, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND grid = GetParent(area);
    if (message == WM_RBUTTONDOWN && r->selFirstRow >= 0)
        return;
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    int column, row;
    if (!GridCellAt(r, x, y, column, row))
        return;
    if (message == WM_LBUTTONDOWN && (wParam & MK_SHIFT)) {
        if (column == r->currentColumn && row == r->currentRow)
            GridSelectionClear(grid);
        else
            GridSelectionSet(grid, std::min(row, r->currentRow), std::max(row, r->currentRow),
                             std::min(column, r->currentColumn), std::max(column, r->currentColumn));
        return;
    }
    GridMoveCurrentCell(grid, column, row, 0, 0);
    if (r->currentColumn != column || r->currentRow != row)
        return; // the editor kept the cell (an invalid number)
    if (r->editor) {
        POINT p{x, y};
        MapWindowPoints(area, r->editor, &p, 1);
        gGridSwitches.gridMovedFocus = 1;
        SendMessageA(r->editor, message, wParam, MAKELPARAM(p.x, p.y));
        gGridSwitches.gridMovedFocus = 0;
    }
    int pressColumn = column, pressRow = row;
    if (column > r->lastVisibleColumn) {
        GridScrollColumnToRight(grid, r, column);
        ++pressColumn;
    }
    if (row >= r->firstVisibleRow + r->page) {
        SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
        ++pressRow;
    }
    gGridSwitches.pressColumn = pressColumn;
    gGridSwitches.pressRow = pressRow;
}

void ContextMenu(HWND area, GridRecord* r, HWND target, LPARAM lParam)
{
    HWND grid = GetParent(area);
    r->menuTarget = target;
    const bool block = r->selFirstRow >= 0;
    const bool isCheck = IsClass(target, gControlClasses.button);
    const bool isCombo = IsClass(target, gControlClasses.comboBox);
    const bool isEdit = target && !isCheck && !isCombo && target != area;
    const bool readOnlyGrid = (GetWindowLongA(grid, GWL_STYLE) & kGridReadOnly) != 0;
    const bool readOnlyTarget = isEdit && (GetWindowLongA(target, GWL_STYLE) & ES_READONLY);
    const bool writable = isEdit && !readOnlyTarget && !readOnlyGrid;
    DWORD start = 0, end = 0;
    int length = 0;
    if (isEdit) {
        SendMessageA(target, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        length = GetWindowTextLengthA(target);
    }
    const bool selection = isEdit && start != end;
    const int kind = GridClipboardTextKind();

    const bool undo = !block && writable && SendMessageA(target, EM_CANUNDO, 0, 0) != 0;
    const bool cut = block ? GridSelectionUnprotected(grid) != 0 : (writable && selection);
    const bool copy = block ? true : selection;
    const bool paste = kind == 2 ? GridPasteTargetUnprotected(grid) != 0 : (kind == 1 && writable);
    const bool selectAll = !block && isEdit && length > 0 && !(start == 0 && static_cast<int>(end) == length);

    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    auto add = [menu](bool enabled, int id, const char* text) {
        AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(id), text);
    };
    add(undo, kGridCmdUndo, "&Undo");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    add(cut, block ? kGridCmdCutBlock : kGridCmdCut, "Cu&t");
    add(copy, block ? kGridCmdCopyBlock : kGridCmdCopy, "&Copy");
    add(paste, kind == 2 ? kGridCmdPasteBlock : kGridCmdPaste, "&Paste");
    add(cut, block ? kGridCmdDeleteBlock : kGridCmdClear, "&Delete");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    add(selectAll, kGridCmdSelectAll, "Select &All");
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) { // from the keyboard: at the target's corner
        RECT w;
        GetWindowRect(target ? target : area, &w);
        at = POINT{w.left, w.bottom};
    }
    TrackPopupMenu(menu, TPM_LEFTBUTTON, at.x, at.y, 0, grid, nullptr);
    DestroyMenu(menu);
}

void Notification(HWND area, GridRecord* r, WPARAM wParam, LPARAM lParam)
{
    HWND grid = GetParent(area);
    HWND control = reinterpret_cast<HWND>(lParam);
    const int code = HIWORD(wParam);
    switch (code) {
    case CBN_DROPDOWN:
        r->droppedCombo = control;
        return;
    case CBN_CLOSEUP:
        r->droppedCombo = nullptr;
        return;
    default:
        break;
    }
    if (!r->editor || control != r->editor || !r->column)
        return;
    auto change = [&] {
        GridColumnRecord& c = r->column[r->currentColumn];
        const bool blocked = (GetWindowLongA(grid, GWL_STYLE) & kGridReadOnly) ||
                             (c.states[r->currentRow] & kCellProtected);
        if (blocked) {
            if (code == CBN_SELCHANGE)
                SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(GridIntCell(c, r->currentRow)), 0);
            return;
        }
        GridReportCellChange(grid, r);
        GridSelectionClear(grid);
    };
    if ((code == BN_CLICKED && IsClass(control, gControlClasses.button)) ||
        (code == CBN_SELCHANGE && IsClass(control, gControlClasses.comboBox))) {
        r->modified = 1;
        r->modified2 = 1;
        change();
    } else if (code == EN_CHANGE) {
        r->modified = 1;
        r->modified2 = 1;
        GridSelectionClear(grid);
        FieldRecord* g = FieldRecordOf(grid);
        if (g && g->reportChanges)
            change();
    }
}

LRESULT EditorColours(HWND area, GridRecord* r, UINT message, HDC dc, HWND control)
{
    HWND grid = GetParent(area);
    EditorBrushDelete();
    FieldRecord* f = FieldRecordOf(control);
    if (!f || GetParent(control) != area)
        return 0;
    if (control == r->editor && GridCellHighlighted(grid, r, r->currentColumn, r->currentRow)) {
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    FieldRecord* g = FieldRecordOf(grid);
    int fore = f->foreColour != -1 ? f->foreColour : (g ? g->foreColour : -1);
    int back = f->backColour != -1 ? f->backColour : (g ? g->backColour : -1);
    const bool button = message == WM_CTLCOLORBTN || IsClass(control, gControlClasses.button);
    if (fore != -1)
        SetTextColor(dc, static_cast<COLORREF>(fore));
    else if (back != -1)
        SetTextColor(dc, GetSysColor(button ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
    if (back != -1) {
        SetBkColor(dc, static_cast<COLORREF>(back));
        gEditorBrush = CreateSolidBrush(GetNearestColor(dc, static_cast<COLORREF>(back)));
        return reinterpret_cast<LRESULT>(gEditorBrush);
    }
    if (fore != -1) {
        int system = button ? COLOR_BTNFACE : COLOR_WINDOW;
        SetBkColor(dc, GetSysColor(system));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(system));
    }
    return 0;
}

} // namespace

bool GridMenuCommand(HWND grid, GridRecord* r, int id)
{
    HWND target = r->menuTarget;
    switch (id) {
    case kGridCmdCutBlock:
        if (GridCopyToClipboard(grid))
            GridClearSelectedCells(grid);
        return true;
    case kGridCmdCopyBlock:
        GridCopyToClipboard(grid);
        return true;
    case kGridCmdPasteBlock:
        GridPasteFromClipboard(grid);
        return true;
    case kGridCmdDeleteBlock:
        GridClearSelectedCells(grid);
        return true;
    case kGridCmdUndo:
        SendMessageA(target, EM_UNDO, 0, 0);
        return true;
    case kGridCmdCut:
        SendMessageA(target, WM_CUT, 0, 0);
        return true;
    case kGridCmdCopy:
        SendMessageA(target, WM_COPY, 0, 0);
        return true;
    case kGridCmdPaste:
        SendMessageA(target, WM_PASTE, 0, 0);
        return true;
    case kGridCmdClear:
        SendMessageA(target, WM_CLEAR, 0, 0);
        return true;
    case kGridCmdSelectAll:
        SendMessageA(target, EM_SETSEL, 0, -1);
        SendMessageA(target, EM_SCROLLCARET, 0, 0);
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK GridClientProc(HWND area, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND grid = GetParent(area);
    GridRecord* r = GridRecordOf(grid);
    if (!r)
        return DefWindowProcA(area, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        Paint(area);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        MouseDown(area, r, message, wParam, lParam);
        return 0;
    case WM_CONTEXTMENU:
        ContextMenu(area, r, reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_COMMAND:
        if (lParam != 0)
            Notification(area, r, wParam, lParam);
        return DefWindowProcA(area, message, wParam, lParam);
    case WM_VSCROLL:
        if (lParam != 0 && IsClass(reinterpret_cast<HWND>(lParam), gControlClasses.upDown)) {
            if (LOWORD(wParam) != SB_ENDSCROLL) {
                if (!DialogInModalClone(GetParent(grid)))
                    GridReportCellChange(grid, r);
                r->modified = 1;
                r->modified2 = 1;
                GridSelectionClear(grid);
            }
            return 0;
        }
        return DefWindowProcA(area, message, wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return EditorColours(area, r, message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC: {
        // Check boxes ask with this message; so does a read-only edit.
        HWND control = reinterpret_cast<HWND>(lParam);
        const bool checkEditor = control == r->editor && IsClass(control, gControlClasses.button);
        const bool readOnlyEdit = control == r->editor && FieldIsEditLike(control) &&
                                  (GetWindowLongA(control, GWL_STYLE) & ES_READONLY) &&
                                  (GridCellHighlighted(grid, r, r->currentColumn, r->currentRow) ||
                                   (GetWindowLongA(grid, GWL_STYLE) & kGridShowColoursReadOnly));
        if (checkEditor || readOnlyEdit)
            return EditorColours(area, r, message, reinterpret_cast<HDC>(wParam), control);
        return DefWindowProcA(area, message, wParam, lParam);
    }
    case DM_GETDEFID: {
        HWND dialog = GetParent(grid);
        LRESULT answer = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(answer) == DC_HASDEFID) {
            int id = LOWORD(answer);
            HWND button = GetDlgItem(dialog, id);
            if (button && IsWindowEnabled(button))
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        }
        return answer;
    }
    case WM_CLOSE:
    case WM_NEXTDLGCTL:
    case WM_NOTIFY:
        return SendMessageA(GetParent(grid), message, wParam, lParam);
    case WM_NCHITTEST:
        if (r->sizeLock)
            return HTTRANSPARENT;
        return DefWindowProcA(area, message, wParam, lParam);
    case WM_SIZE:
        GridCellAreaSize(grid, r);
        return 0;
    default:
        return DefWindowProcA(area, message, wParam, lParam);
    }
}

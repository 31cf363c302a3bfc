// The grid editor's command side: what each menu, toolbar and accelerator
// command does and which reach the program as events, the enabling of the
// popup items when a popup opens, the help texts in the status bar, the
// toolbar's tool tips, the numeric spin steps of the in-cell editor, and the
// reaction to a change of the current cell.
#include "grid/grid_editor.h"
#include "grid/grid_editor_internal.h"

#include <commctrl.h>

#include <cstdio>

#include "core/events.h"
#include "core/frame_window.h"
#include "core/menus.h"
#include "core/special_windows.h"
#include "core/window_table.h"
#include "dialogs/dialog_table.h"
#include "dialogs/numeric_edit_classes.h"
#include "grid/grid_engine.h"
#include "grid/grid_record.h"

namespace {

void StoreCommand(HWND frame, int id)
{
    EventStore(kEventCommand, 0, static_cast<WPARAM>(id), 0, frame);
}

bool HasBlock(const GridRecord* g)
{
    return g->selFirstRow >= 0 && g->selLastRow >= 0 && g->selFirstColumn >= 0 && g->selLastColumn >= 0;
}

bool GridReadOnly(HWND grid)
{
    return (GetWindowLongA(grid, GWL_STYLE) & kGridReadOnly) != 0;
}

// The in-cell text editor, and whether it holds a non-empty text selection.
bool TextSelection(GridRecord* g, HWND& editor)
{
    editor = GridTextEditor(g);
    if (!editor)
        return false;
    DWORD from = 0, to = 0;
    SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return to > from;
}

bool EditorWritable(HWND grid, HWND editor)
{
    return editor && !(GetWindowLongA(editor, GWL_STYLE) & ES_READONLY) && !GridReadOnly(grid);
}

bool RowProtected(const GridRecord* g, int row)
{
    for (int c = 0; g->column && c < g->columns; ++c)
        if (g->column[c].states && (g->column[c].states[row] & kCellProtected))
            return true;
    return false;
}

bool RowsProtected(const GridRecord* g, int first, int last)
{
    for (int row = std::max(first, 0); row <= last && row < g->rowsAllocated; ++row)
        if (RowProtected(g, row))
            return true;
    return false;
}

void Enable(HMENU m, int id, bool on)
{
    EnableMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

// The help text the caller's "KVBMENUSTRING" resource attaches to ID in the
// window's menu bar, nullptr when none.
const char* AttachedHelp(HWND frame, int id)
{
    int n = WindowTableIndex(frame);
    if (n < 0 || !gWindowTable.menuHelpResource[n])
        return nullptr;
    return MenuHelpText(gWindowTable.menuHelpResource[n], id);
}

struct Block {
    int firstRow = -1, lastRow = -1, firstColumn = -1, lastColumn = -1;
};

Block BlockOf(const GridRecord* g)
{
    if (!g || !HasBlock(g))
        return {};
    return {g->selFirstRow, g->selLastRow, g->selFirstColumn, g->selLastColumn};
}

void Cut(GridEditorRecord* r, GridRecord* g)
{
    if (!HasBlock(g)) {
        if (HWND e = GridTextEditor(g))
            SendMessageA(e, WM_CUT, 0, 0);
    } else if (GridCopyToClipboard(r->grid)) {
        GridClearSelectedCells(r->grid);
    }
}

void Paste(GridEditorRecord* r, GridRecord* g)
{
    switch (GridClipboardTextKind()) {
    case 1:
        if (HWND e = GridTextEditor(g))
            SendMessageA(e, WM_PASTE, 0, 0);
        break;
    case 2:
        GridPasteFromClipboard(r->grid);
        break;
    default:
        break;
    }
}

void FileCommand(HWND f, GridEditorRecord* r, GridRecord* g, int id)
{
    const int w = r->window;
    const std::string_view filter(r->filter.data());
    int result = 0;
    switch (id) {
    case kGridEdNew:
        if (!r->newEnabled || !GridEditorSavePrompt(f))
            return;
        GridClearAll(r->grid, 0);
        r->fileName[0] = '\0';
        GridEditorTitle(f);
        g->modified = g->modified2 = 0;
        StoreCommand(f, id);
        return;
    case kGridEdOpen:
        if (!r->openEnabled || !GridEditorSavePrompt(f))
            return;
        YYGridLoadCSV(w, 1, r->rowCountChange, result, r->filterIndex, r->csvHeader, r->fileName, filter);
        if (result != 1)
            return;
        g->modified = g->modified2 = 0;
        GridEditorTitle(f);
        StoreCommand(f, id);
        return;
    case kGridEdSave:
    case kGridEdSaveAs:
        if (!(id == kGridEdSave ? r->saveEnabled : r->saveAsEnabled))
            return;
        YYGridSaveCSV(w, id == kGridEdSaveAs ? 1 : 0, result, r->filterIndex, r->backup, r->csvHeader, -1, -1, -1, -1,
                      r->fileName, filter);
        if (result != 1)
            return;
        g->modified = 0;
        GridEditorTitle(f);
        StoreCommand(f, id);
        return;
    case kGridEdSaveSelection: {
        if (!r->saveAsEnabled)
            return;
        Block b = BlockOf(g);
        YYGridSaveCSV(w, 1, result, r->filterIndex, r->backup, r->csvHeader, b.firstRow, b.lastRow, b.firstColumn,
                      b.lastColumn, r->fileName, filter);
        return;
    }
    case kGridEdSaveHtml: {
        if (!r->saveHtmlEnabled)
            return;
        Block b = BlockOf(g);
        YYGridSaveHTMLDialog(w, b.firstRow, b.lastRow, b.firstColumn, b.lastColumn, result, r->backup,
                             std::string_view(r->fileName.data()));
        if (result == 1)
            StoreCommand(f, id);
        return;
    }
    case kGridEdPrint:
        YYGridPrintDialog(w, 0, g->rows - 1, 0, g->columns - 1, result);
        if (result == 1)
            StoreCommand(f, id);
        return;
    case kGridEdPrintSelection: {
        Block b = BlockOf(g);
        YYGridPrintDialog(w, b.firstRow, b.lastRow, b.firstColumn, b.lastColumn, result);
        if (result == 1)
            StoreCommand(f, id);
        return;
    }
    default:
        return;
    }
}

// One command; false when ID names none (the caller stores the event).
bool Command(HWND f, GridEditorRecord* r, int id, bool fromToolbar)
{
    GridRecord* g = GridRecordOf(r->grid);
    if (!g)
        return false;
    const int w = r->window;
    int result = 0;
    switch (id) {
    case kGridEdNew:
    case kGridEdOpen:
    case kGridEdSave:
    case kGridEdSaveAs:
    case kGridEdSaveSelection:
    case kGridEdSaveHtml:
    case kGridEdPrint:
    case kGridEdPrintSelection:
        FileCommand(f, r, g, id);
        return true;
    case kGridEdExit:
        SendMessageA(f, WM_CLOSE, 0, 0);
        return true;
    case kGridEdCut:
        // The toolbar's button is never greyed: it acts only when the Edit
        // popup would offer the command.
        if (!fromToolbar || GridEditorCutAllowed(r))
            Cut(r, g);
        return true;
    case kGridEdCopy:
        if (!HasBlock(g)) {
            if (HWND e = GridTextEditor(g))
                SendMessageA(e, WM_COPY, 0, 0);
        } else {
            GridCopyToClipboard(r->grid);
        }
        return true;
    case kGridEdPaste:
        if (!fromToolbar || GridEditorPasteAllowed(r))
            Paste(r, g);
        return true;
    case kGridEdDelete:
        if (!HasBlock(g)) {
            if (HWND e = GridTextEditor(g))
                SendMessageA(e, WM_CLEAR, 0, 0);
        } else {
            GridClearSelectedCells(r->grid);
        }
        return true;
    case kGridEdSelectAll:
        GridSelectionSet(r->grid, 0, g->rows - 1, 0, g->columns - 1);
        return true;
    case kGridEdSort:
        YYGridSortDialog(w, r->labelsMove, result);
        if (result == 1)
            StoreCommand(f, id);
        return true;
    case kGridEdInsertBefore:
    case kGridEdInsertAfter:
    case kGridEdDeleteRow:
        if (!r->rowCommands)
            return true;
        if (id == kGridEdDeleteRow)
            YYGridDeleteRow(w, r->labelsMove, r->rowCountChange);
        else
            YYGridInsertRow(w, r->labelsMove, r->rowCountChange, id == kGridEdInsertAfter ? 1 : 0);
        if (GridRecord* now = GridRecordOf(r->grid))
            now->modified = now->modified2 = 1;
        StoreCommand(f, id);
        return true;
    case kGridEdFind:
    case kGridEdFindNext:
        if (r->findEnabled)
            YYGridFindDialog(w, id == kGridEdFind ? 1 : 2, r->matchCase, r->numericColumns, r->findText);
        return true;
    case kGridEdGotoCell:
    case kGridEdGotoRow:
    case kGridEdGotoColumn:
        YYGridGotoDialog(w, id - kGridEdGotoCell + 1);
        return true;
    default:
        return false;
    }
}

} // namespace

bool GridEditorCutAllowed(GridEditorRecord* r)
{
    GridRecord* g = GridRecordOf(r->grid);
    if (!g)
        return false;
    if (HasBlock(g))
        return GridSelectionUnprotected(r->grid) != 0;
    HWND e = nullptr;
    return TextSelection(g, e) && EditorWritable(r->grid, e);
}

bool GridEditorPasteAllowed(GridEditorRecord* r)
{
    GridRecord* g = GridRecordOf(r->grid);
    if (!g)
        return false;
    switch (GridClipboardTextKind()) {
    case 2:
        return GridPasteTargetUnprotected(r->grid) != 0;
    case 1:
        return EditorWritable(r->grid, GridTextEditor(g));
    default:
        return false;
    }
}

LRESULT GridEditorCommandMessage(HWND frame, GridEditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    auto from = reinterpret_cast<HWND>(lParam);
    const int code = HIWORD(wParam);
    const bool fromToolbar = from && from == r->toolbar;
    bool windowToolbar = false;
    for (HWND tb : r->toolbars)
        windowToolbar = windowToolbar || (from && from == tb);
    if (from && !fromToolbar && !windowToolbar)
        return DefWindowProcA(frame, WM_COMMAND, wParam, lParam);
    if (!from && code != 0 && code != 1)
        return DefWindowProcA(frame, WM_COMMAND, wParam, lParam);
    const int id = LOWORD(wParam);
    if (!Command(frame, r, id, fromToolbar))
        EventStore(kEventCommand, 0, wParam, lParam, frame);
    return 0;
}

void GridEditorPopupInit(GridEditorRecord* r, HMENU popup)
{
    GridRecord* g = GridRecordOf(r->grid);
    if (!popup || !g)
        return;
    if (popup == r->filePopup) {
        bool block = HasBlock(g);
        Enable(popup, kGridEdSaveSelection, block);
        Enable(popup, kGridEdPrintSelection, block);
    } else if (popup == r->editPopup) {
        const bool block = HasBlock(g);
        HWND e = nullptr;
        const bool selected = TextSelection(g, e);
        bool cut = GridEditorCutAllowed(r);
        Enable(popup, kGridEdCut, cut);
        Enable(popup, kGridEdDelete, cut);
        Enable(popup, kGridEdCopy, block || selected);
        Enable(popup, kGridEdPaste, GridEditorPasteAllowed(r));
        const bool readOnly = GridReadOnly(r->grid);
        const bool guard = !r->protectionIgnored;
        Enable(popup, kGridEdSort, !readOnly && !(guard && RowsProtected(g, 0, g->rows - 1)));
        const int row = g->currentRow;
        const bool below = guard && RowsProtected(g, row + 1, g->rows - 1);
        const bool after = !readOnly && !below && row != g->rowsAllocated - 1 &&
                           !(row == g->rows - 1 && !r->rowCountChange);
        Enable(popup, kGridEdInsertAfter, after);
        const bool beforeOrDelete = !readOnly && !below && !(guard && RowProtected(g, row));
        Enable(popup, kGridEdInsertBefore, beforeOrDelete);
        Enable(popup, kGridEdDeleteRow, beforeOrDelete);
    } else if (popup == r->searchPopup) {
        Enable(popup, kGridEdFindNext, r->findText[0] != '\0');
    }
}

const char* GridEditorHelpText(int id)
{
    switch (id) {
    case 0: return "";
    case kGridEdFilePopup: return "Commands to Load and Save files";
    case kGridEdEditPopup: return "Commands for Editing and Sorting cells";
    case kGridEdSearchPopup: return "Commands for Searching and Navigation";
    case kGridEdNew: return "Clears the grid";
    case kGridEdOpen: return "Loads an existing grid";
    case kGridEdSave: return "Saves the grid";
    case kGridEdSaveAs: return "Saves the grid with a new name";
    case kGridEdPrint: return "Prints the grid";
    case kGridEdPrintSelection: return "Prints the selected cells";
    case kGridEdExit: return "Closes the grid; prompts you to save changes";
    case kGridEdSaveHtml: return "Saves the grid as an HTML document";
    case kGridEdSaveSelection: return "Saves the selected cells";
    case kGridEdCut: return "Cuts the selected cells and places them on the clipboard";
    case kGridEdCopy: return "Copies the selected cells and places them on the clipboard";
    case kGridEdPaste: return "Inserts clipboard contents";
    case kGridEdDelete: return "Clears the selected cells";
    case kGridEdSelectAll: return "Selects the entire grid";
    case kGridEdSort: return "Sorts the rows of the grid";
    case kGridEdInsertBefore: return "Inserts a row into the grid, before the current row";
    case kGridEdInsertAfter: return "Inserts a row into the grid, after the current row";
    case kGridEdDeleteRow: return "Deletes a row from the grid";
    case kGridEdFind: return "Finds the specified string value";
    case kGridEdFindNext: return "Repeats the last find";
    case kGridEdGotoCell: return "Moves to the specified cell";
    case kGridEdGotoRow: return "Moves to the specified row";
    case kGridEdGotoColumn: return "Moves to the specified column";
    default: return nullptr;
    }
}

const char* GridEditorToolTip(int id)
{
    switch (id) {
    case kGridEdNew: return "New";
    case kGridEdOpen: return "Open";
    case kGridEdSave: return "Save";
    case kGridEdPrint: return "Print";
    case kGridEdCut: return "Cut";
    case kGridEdCopy: return "Copy";
    case kGridEdPaste: return "Paste";
    case kGridEdFind: return "Find";
    default: return "";
    }
}

bool GridEditorMenuSelect(HWND frame, GridEditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    const UINT flags = HIWORD(wParam);
    if (!r->statusBar || (flags == 0xFFFF && lParam == 0) || (flags & MF_SYSMENU))
        return false;
    int id = LOWORD(wParam);
    if (flags & MF_POPUP) {
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID;
        id = GetMenuItemInfoA(reinterpret_cast<HMENU>(lParam), static_cast<UINT>(id), TRUE, &mi)
                 ? static_cast<int>(mi.wID)
                 : -1;
        if (id == 0)
            id = -1;
    } else if (flags & MF_SEPARATOR) {
        id = 0;
    }
    const char* text = id > 0 ? AttachedHelp(frame, id) : nullptr;
    if (!text && id >= 0)
        text = GridEditorHelpText(id);
    if (!text)
        return false;
    SendMessageA(r->statusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
    return true;
}

bool GridEditorNotify(HWND frame, GridEditorRecord* r, NMHDR* h, LRESULT& result)
{
    if (!h)
        return false;
    if (h->code == TTN_GETDISPINFOA || h->code == TTN_GETDISPINFOW) {
        if (!r->toolTips || h->hwndFrom != r->toolTips) {
            result = FrameWindowProc(frame, WM_NOTIFY, h->idFrom, reinterpret_cast<LPARAM>(h));
            return true;
        }
        const char* text = GridEditorToolTip(static_cast<int>(h->idFrom));
        if (!text[0])
            return false;
        if (h->code == TTN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(h);
            info->lpszText = info->szText;
            lstrcpynA(info->szText, text, sizeof info->szText);
        } else {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(h);
            info->lpszText = info->szText;
            MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText, static_cast<int>(std::size(info->szText)));
        }
        result = 0;
        return true;
    }
    if (h->code == static_cast<UINT>(UDN_DELTAPOS)) {
        HWND buddy = reinterpret_cast<HWND>(SendMessageA(h->hwndFrom, UDM_GETBUDDY, 0, 0));
        if (NumericIsSpin(NumericClassOf(buddy))) {
            result = NumericSpinStep(buddy, reinterpret_cast<NMUPDOWN*>(h));
            return true;
        }
    }
    return false;
}

void GridEditorCellChange(HWND frame, GridEditorRecord* r, LPARAM packedCell)
{
    const auto packed = static_cast<uint32_t>(packedCell);
    if (r->statusBar) {
        char text[32];
        std::snprintf(text, sizeof text, "\t\t%u", packed % 262144u);
        SendMessageA(r->statusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
        std::snprintf(text, sizeof text, "\t\t%u", packed / 262144u);
        SendMessageA(r->statusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(text));
        UpdateWindow(r->statusBar);
    }
    if (r->mode == 1)
        return;
    if (gEventEnableMask.flag[kEventFieldChanged - 1] != 0) {
        auto& s = gCurrentEventSlot;
        s.type = kEventFieldChanged;
        s.time = static_cast<int>(GetMessageTime());
        s.window = WindowTableIndex(frame);
        s.value1 = s.value2 = s.value3 = 0;
        s.value4 = -1;
        if (s.firstChange)
            s.x = r->currentCell;
        s.y = static_cast<int>(packedCell);
        const bool waited = s.waiting == 1;
        s.waiting = 0;
        s.firstChange = 0;
        if (waited)
            PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    r->currentCell = static_cast<int32_t>(packedCell);
    SpecialPaneFocus(frame);
}

// The grid control's records and the services every grid file shares: the
// per-grid record hung on a "KVBGRID" window, the per-column records with
// their typed cell storage, cell states and colours, the grid styles and
// private messages, the switches shared by all grids, and the small helpers
// (cell text, row swap, cell repaint, redraw switch, dialog units, ...).
//
// Inside the grid rows and columns count from 0; everything that leaves the
// grid (messages, events) counts from 1 through GridPackedCell.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---- Cell types, states, styles ---------------------------------------------

enum GridCellType : int32_t {
    kCellText = 0,
    kCellInteger = 1,
    kCellReal = 2,
    kCellDouble = 3,
    kCellCheckBox = 4,
    kCellMenu = 5,
};

// Bits of the state byte of every cell.
enum GridCellState : uint8_t {
    kCellProtected = 1, // no edit, paste, cut or clear from the user interface
    kCellHasValue = 2,  // a number cell without it is blank
    kCellNonBlank = 4,  // the stored value came from a text with a non-blank character
};

// Window-style bits of a grid field.
enum GridStyle : LONG {
    kGridShowColoursReadOnly = 0x10,
    kGridReportSelection = 0x20,
    kGridReportPaste = 0x40,
    kGridNoLabelLines = 0x80,
    kGridKeepHeight = 0x100,
    kGridColumnHeader = 0x200,
    kGridRowHeaders = 0x400,
    kGridReadOnly = 0x800,
    kGridEnterMovesDown = 0x1000,
    kGridColumnDrag = 0x2000,
    kGridTabMovesCells = 0x4000,
    kGridWrapRows = 0x8000,
};

// The grid's private messages.
enum GridMessage : UINT {
    kGridBuildColumns = WM_USER + 1, // wParam template dialog, lParam int positions or 0
    kGridBuildRowHeaders = WM_USER + 2,   // wParam width in dialog units, lParam const std::string_view*
    kGridRanges = WM_USER + 3,
    kGridDimension = WM_USER + 4,    // wParam rows, lParam columns
    kGridSetUpLock = WM_USER + 5,
    kGridHeaderWidths = WM_USER + 6,
};

// Menu commands of the grid window (sent by the context menu).
enum GridMenuCommand : int {
    kGridCmdCutBlock = 32122,
    kGridCmdCopyBlock = 32123,
    kGridCmdPasteBlock = 32124,
    kGridCmdDeleteBlock = 32125,
    kGridCmdUndo = 32221,
    kGridCmdCut = 32222,
    kGridCmdCopy = 32223,
    kGridCmdPaste = 32224,
    kGridCmdClear = 32225,
    kGridCmdSelectAll = 32226,
};

// The largest row count whose rows GridPackedCell can name.
constexpr int kGridMaxRows = 262142;
// Characters of a row label (without its NUL) and the bytes kept per row.
constexpr int kGridLabelLength = 50;
constexpr int kGridLabelBytes = 51;
// Text limit of a text column whose template gives none, and of integers.
constexpr int kGridDefaultTextLimit = 1024;
constexpr int kGridIntegerTextLimit = 11;
// Longest text of a real or double cell.
constexpr int kGridNumberTextLength = 50;
// Bytes of one cell colour record.
constexpr int kGridColourBytes = 7;

// (row + 1) + (column + 1) x 2^18, rows and columns from 0.
inline int32_t GridPackedCell(int row, int column)
{
    return (row + 1) + (column + 1) * 262144;
}

// ---- Records ------------------------------------------------------------------

struct GridPaintCache;

// One column. The storage holds rows-allocated cells: for text columns one
// pointer per cell to a NUL-terminated text allocated by its length (nullptr
// is the empty text), for the other types the values themselves.
struct GridColumnRecord {
    int32_t width;       // pixels
    int32_t type;        // GridCellType
    int32_t maxChars;    // longest text of a text cell
    void* cells;
    uint8_t* states;     // one GridCellState byte per allocated row
    uint8_t* colours;    // kGridColourBytes per allocated row, nullptr until the first colour
    HWND control;        // hidden control of the column's class, child of the cell area
};

struct GridRecord {
    uint32_t tag;
    int32_t setUp;
    int32_t columns;
    int32_t lastScrollStart;
    int32_t rowsAllocated;
    int32_t columnsAllocated;
    int32_t rows;
    int32_t page;
    int32_t rowHeaderWindows;
    int32_t rowsShown;
    int32_t rowHeight;
    int32_t currentColumn;
    int32_t currentRow;
    int32_t firstVisibleColumn;
    int32_t lastVisibleColumn;
    int32_t firstVisibleRow;
    int32_t rowHeaderWidth;
    int32_t columnHeaderHeight;
    int32_t templateId;
    int32_t selFirstRow;
    int32_t selLastRow;
    int32_t selFirstColumn;
    int32_t selLastColumn;
    int32_t anchorColumn;
    int32_t anchorRow;
    int32_t scrollScale;
    int32_t pendingFirstRow;
    int32_t wheelRemainder;
    int32_t creationClientHeight;
    int32_t frameHeight;
    GridColumnRecord* column;
    HWND cellArea;
    HWND editor;
    HWND columnHeader;
    HWND* rowHeaders;
    HWND menuTarget;
    char* labels;         // kGridLabelBytes per allocated row
    HWND droppedCombo;
    int32_t modified;
    int32_t modified2;
    int32_t sizeLock;
    HFONT font;
    // What painting keeps between paints (check-box images, text layout per
    // column); nullptr until the first paint.
    GridPaintCache* paintCache;
};

// ---- Shared state ---------------------------------------------------------------

// Class atoms and the registered message, set once per process.
struct GridClassState {
    ATOM grid = 0;
    ATOM client = 0;
    UINT cellChange = 0;       // "GM_CELLCHANGE"
    WNDPROC headerProc = nullptr; // the header class procedure under GridHeaderProc
};
extern GridClassState gGridClasses;

// 1: a cell changed by a routine is repainted at once; 0: only marked.
extern int gGridRedrawFlag;

// Switches shared by all grids.
struct GridSwitches {
    int gridMovedFocus = 0;      // the grid itself is moving the focus to its editor
    int focusFromOutside = 0;    // the editor got the focus from outside the grid
    int blockRepaintPending = 1; // the block lost its highlight with the focus
    int pressColumn = -1;        // cell pressed last in a cell area
    int pressRow = -1;
    int beeps = 0;               // beeps given at the grid's edges (counted for the record)
};
extern GridSwitches gGridSwitches;

// ---- Records on windows ---------------------------------------------------------

// The record of grid window GRID, nullptr when GRID is not a grid window or
// has no record (before creation, after destruction).
GridRecord* GridRecordOf(HWND grid);
// A zeroed, tagged record, and its release.
GridRecord* GridRecordNew();
void GridRecordDelete(GridRecord* record);
// The grid window of a cell area, in-cell editor or column control.
HWND GridOfCellArea(HWND cellArea);
// The grid field ID of the current dialog; ID 0 names the grid of the current
// grid editor window. nullptr when none.
HWND GridWindowById(int id);

// ---- Cell storage ---------------------------------------------------------------

// Bytes of one stored cell of TYPE (text cells: one pointer).
size_t GridCellSize(int type);
// Allocates zeroed storage and states for ROWS cells of column C; false when
// memory is short (nothing allocated then).
bool GridColumnAllocate(GridColumnRecord& c, int rows);
// Frees the cells (texts included), states and colour records of C.
void GridColumnFree(GridColumnRecord& c, int rowsAllocated);

// Text cells: the stored text ("" when empty) and its replacement, cut to the
// column's maximum characters. False when memory is short (cell unchanged).
const char* GridTextCell(const GridColumnRecord& c, int row);
bool GridTextCellSet(GridColumnRecord& c, int row, std::string_view text);
int32_t& GridIntCell(GridColumnRecord& c, int row);
// Empties a stored cell: an empty text, a number without a value, an
// unchecked check box, a menu's first option; the protection stays.
void GridCellEmpty(GridColumnRecord& c, int row);
float& GridRealCell(GridColumnRecord& c, int row);
double& GridDoubleCell(GridColumnRecord& c, int row);

// The format of a column control (or editor): its own, else "(G15.5E2)".
std::string_view GridFormatOf(HWND control);
// A number written as a grid shows it: integers "(I11)", reals and doubles
// with FORMAT, left-justified, trailing blanks dropped.
std::string GridIntegerText(int value);
std::string GridRealText(float value, std::string_view format);
std::string GridDoubleText(double value, std::string_view format);

// The window text of W, at most MAXCHARS characters.
std::string GridWindowText(HWND w, int maxChars);

// The texts of the stored cells of one column, with the column control's
// format and menu options read once: a loop over many cells then sends no
// window message and looks nothing up per cell.
struct GridColumnTexts {
    explicit GridColumnTexts(const GridColumnRecord& column);
    // The stored cell's text: the display form, or with MODE 1 the printing form.
    std::string Text(int row, int mode = 0) const;
    // The same added to the end of OUT.
    void Append(int row, int mode, std::string& out) const;
    const GridColumnRecord* column;
    std::string format;               // the column's output format or "(G15.5E2)"
    std::vector<std::string> options; // the options of a menu column
};

// The printing form of a check-box cell: the check (checked) and the cross
// (not checked) of the "Wingdings" font.
constexpr char kGridPrintCheck = '\xFC';
constexpr char kGridPrintCross = '\xFB';

// ---- Services of the records --------------------------------------------------

// Writes the cell's text (display form, or mode 1 the printing form) into
// TEXT, NUL-terminated; the caller provides room for the longest form.
void GridCellToText(GridRecord* record, int column, int row, char* text, int mode);
// The same as a string.
std::string GridCellText(GridRecord* record, int column, int row, int mode);
// Exchanges rows ROW1 and ROW2 (0-based) of grid ID; with LABELS non-zero
// also their labels.
void GridSwapRows(int& id, int& row1, int& row2, int& labels);
// Marks one cell for repainting when it is shown; UPDATE repaints at once.
void GridCellInvalidate(GridRecord* record, int column, int row, int update);
void GridRedrawSuspend();
void GridRedrawResume(int& id);
// Sets the text of header item ITEM.
void GridHeaderItemText(HWND header, int item, const char* text);
// Converts RECT from dialog units to pixels with WINDOW's font.
void GridDialogUnits(HWND window, RECT& rect);
// TM := the metrics of FONT (nullptr: the DC's own) on WINDOW's DC; false,
// TM zero, when the window gives no DC.
bool GridFontMetrics(HWND window, HFONT font, TEXTMETRICA& tm);
// Copies header item ITEM (text, width, format) of FROM into TO, inserted
// with INSERT, else set; WIDTH, when given, replaces the width. Nothing
// when FROM has no item ITEM.
// CONTROL's window rectangle, widened to the right edge of its up-down
// buddy when it has one.
RECT GridControlExtent(HWND control);
// Makes the combo box COPY, created CREATED pixels high, drop its list as
// far as the combo box MODEL does.
void GridComboDropMatch(HWND copy, HWND model, int created);
void GridHeaderItemCopy(HWND from, HWND to, int item, bool insert, std::optional<int> width = std::nullopt);
// The in-cell editor when it is an EDIT or numeric edit control, else nullptr.
HWND GridTextEditor(GridRecord* record);
// CASE := 1 upper-case, 2 lower-case column, else 0; ID := -1 no grid, -2 bad column.
void GridColumnCase(int& id, int& column, int& letterCase);
// Copies SOURCE into TARGET with every button-face pixel in the highlight colour.
void GridTransparentBlt(HBITMAP source, HBITMAP target, HBITMAP work);

// ---- Geometry --------------------------------------------------------------------

// Sum of (width - 1) of the columns FROM up to, not including, TO.
int GridColumnsSpan(const GridRecord* record, int from, int to);
// Whether the columns FROM..TO (inclusive) fit into WIDTH pixels.
bool GridColumnsFit(const GridRecord* record, int from, int to, int width);
// Client width and height of the cell area (0 without one).
int GridCellAreaWidth(const GridRecord* record);
int GridCellAreaHeight(const GridRecord* record);
// Number of rows the cell area draws.
int GridRowsDrawn(const GridRecord* record);
// The cell under point (X, Y) of the cell area among the visible columns and
// drawn rows; false when none.
bool GridCellAt(const GridRecord* record, int x, int y, int& column, int& row);
// Interior of a shown cell in cell-area pixels.
RECT GridCellInterior(const GridRecord* record, int column, int row);
// The strip of the cell area (its full height) under COLUMN; false when the
// column is not shown.
bool GridColumnStrip(const GridRecord* record, int column, RECT& strip);
// The block selection's rectangle in cell-area pixels; 0 when it shows nothing.
int GridSelectionRect(HWND grid, RECT& rect);

// ---- Grid window (grid_window.cpp) ---------------------------------------------

void GridRegisterClasses();
LRESULT CALLBACK GridWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int GridFieldSetup(HWND grid, std::string_view text, int& used);
INT_PTR CALLBACK GridTemplateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void GridCopyState(HWND target, HWND source);
LRESULT CALLBACK GridHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sends GM_CELLCHANGE for the current cell to the grid's parent.
void GridReportCellChange(HWND grid, GridRecord* record);
// The library's beep at a grid edge.
void GridBeep();

// ---- Scrolling, sizing, headers (grid_scroll.cpp) --------------------------------

LRESULT GridRanges(HWND grid, GridRecord* record);
// The scroll scale for the rows in use and the vertical bar (when the grid
// has one), drawn now with REDRAW.
void GridVerticalRange(HWND grid, GridRecord* record, bool redraw);
void GridHeaderWidths(GridRecord* record);
void GridHScroll(HWND grid, GridRecord* record, int code, int position);
void GridVScroll(HWND grid, GridRecord* record, int code, int position);
void GridMouseWheel(HWND grid, GridRecord* record, int distance);
void GridSize(HWND grid, GridRecord* record);
void GridCellAreaSize(HWND grid, GridRecord* record);
void GridFocus(HWND grid, GridRecord* record, HWND previous);
LRESULT GridHeaderNotify(HWND grid, GridRecord* record, NMHDR* header);
void GridRowHeadersRefresh(GridRecord* record);
// Scrolls (thumb position) so that COLUMN becomes the last column that fits.
void GridScrollColumnToRight(HWND grid, GridRecord* record, int column);
// The current column kept in view after a size change (grid size step 4).
void GridKeepCurrentColumn(HWND grid, GridRecord* record);

// ---- Cell area (grid_client.cpp) ----------------------------------------------

LRESULT CALLBACK GridClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Releases what painting keeps; the next paint makes it again.
void GridPaintCacheFree(GridRecord* record);
// The grid window's menu commands (WM_COMMAND with lParam 0).
bool GridMenuCommand(HWND grid, GridRecord* record, int id);

// ---- Current cell and in-cell editor (grid_cell_editor.cpp) ---------------------

void GridMoveCurrentCell(HWND grid, int column, int row, int focus, int extend);
void GridCellEditorCreate(GridRecord* record);
void GridCellEditorDestroy(GridRecord* record, int store);
void GridCellEditorLoad(GridRecord* record);
void GridCellEditorStore(GridRecord* record);
void GridSelectionSet(HWND grid, int firstRow, int lastRow, int firstColumn, int lastColumn);
void GridSelectionClear(HWND grid);
LRESULT GridScrollWithSelection(HWND grid, UINT message, int code, LPARAM lParam, int extend);
LRESULT CALLBACK GridCellEditorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GridShiftClickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The editor's read-only state: types 0-3 EM_SETREADONLY, 4 plain or
// automatic check box; never editable in a read-only grid.
void GridEditorReadOnly(HWND editor, int type, int readOnly, int update);
// Whether the focus is GRID or a window inside it.
bool GridHasFocusInside(HWND grid);
// Empties every cell of every allocated row (protection stays) and resets the
// in-cell editor; WITHMENUS also removes the menu columns' options. The
// one-argument form is the dialog manager's field clear: with menus.
void GridClearAll(HWND grid, int withMenus);
void GridClearAll(HWND grid);
// Stores a field-changed event of a block of GRID (VALUE3 1 paste or clear,
// 2 block selection; X and Y the packed corners) straight into the
// current-event slot and ends the wait, when event type 10 is enabled.
// Unless ALWAYS, only while the caller waits or while the event waiting to
// be taken is not a field change.
void GridStoreBlockEvent(HWND grid, int value3, int x, int y, bool always);
// Whether the cell lies in the block selection.
bool GridCellSelected(const GridRecord* record, int column, int row);
// Whether the cell is drawn highlighted (enabled grid, focus inside, in the block).
bool GridCellHighlighted(HWND grid, const GridRecord* record, int column, int row);

// ---- Clipboard (grid_clipboard.cpp; declared with the engine) ------------------

int GridClipboardTextKind();
int GridSelectionUnprotected(HWND grid);
int GridPasteTargetUnprotected(HWND grid);
int GridCopyToClipboard(HWND grid);
void GridPasteFromClipboard(HWND grid);
void GridClearSelectedCells(HWND grid);

// The grid engine: the internal routines through which everything outside
// the grid window reads and changes cells, rows, columns, titles, labels and
// colours of a grid, and the clipboard routines of the grid window.
//
// Every member that takes an identifier finds its grid the same way: an
// identifier other than 0 names the grid field of that id in the current
// dialog, 0 the grid of the current grid editor window. The outcome is
// written back into the identifier, which the caller has copied beforehand:
// unchanged on success, -1 no grid, -2 a column or row out of range (or a
// column of the wrong type), -3 a failure of the routine's own. Rows and
// columns count from 0 here; the public routines (grid_public.h) count from 1.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "grid/grid_record.h"

// Outcomes written back into an identifier.
enum GridStatus : int {
    kGridNoGrid = -1,
    kGridOutOfRange = -2,
    kGridFailed = -3,
};

// ---- Finding the grid -------------------------------------------------------------

// The grid window and record of identifier ID; ID := -1 (and nullptr) when
// there is none.
GridRecord* GridFind(int& id, HWND& grid);

// Column types a member accepts: one bit per GridCellType.
constexpr unsigned kAnyColumn = 0x3F;
constexpr unsigned kTextOrNumberColumn = 0x0F;
constexpr unsigned GridColumnOfType(int type)
{
    return 1u << type;
}
// The grid of ID when COLUMN lies inside it and is of a type in TYPES; else
// nullptr with ID := -1 (no grid) or -2.
GridRecord* GridColumnOf(int& id, HWND& grid, int column, unsigned types = kAnyColumn);
// The same when also ROW lies inside the rows in use, or with
// ROWSALLOCATED inside the rows allocated.
GridRecord* GridCellOf(int& id, HWND& grid, int column, int row, unsigned types = kAnyColumn,
                       bool rowsAllocated = false);

// ---- Clipboard (grid_clipboard.cpp) ------------------------------------------------

// 0 no text on the clipboard (or it cannot be opened), 1 a single value, 2 a
// block (a TAB or a CR LF somewhere in the text).
int GridClipboardTextKind();
// ROWS := 1 + the CR LFs followed by further text, COLUMNS := the most
// TAB-separated fields of one row; 1 and 1 without text.
void GridClipboardBlockSize(int& rows, int& columns);
// 1 when the grid is not read-only and no cell of the block selection is
// protected (0 without a block).
int GridSelectionUnprotected(HWND grid);
// 1 when the grid is not read-only and no cell a paste would fill is protected.
int GridPasteTargetUnprotected(HWND grid);
// Copies the block selection as text; 1 on success, 0 without a block or on
// failure (after an error box).
int GridCopyToClipboard(HWND grid);
// Pastes the clipboard text from the current cell on (protected cells too).
void GridPasteFromClipboard(HWND grid);
// Empties every cell of the block selection.
void GridClearSelectedCells(HWND grid);

// ---- Cells (grid_engine.cpp) --------------------------------------------------------

// Colours of a cell as components 0-255, -1 in all three for the default.
void GridCellColours(int& id, int column, int row, int& foreRed, int& foreGreen, int& foreBlue, int& backRed,
                     int& backGreen, int& backBlue);
// HASCOLUMNHEADERS := 1/0; LABELWIDTH := the row-label width in pixels, 0 without.
void GridHeaderInfo(int& id, int& hasColumnHeaders, int& labelWidth);
// 0 left, 1 centre, 2 right.
void GridColumnAlignment(int& id, int column, int& alignment);
// The text of a text or number cell, NUL-terminated within BUFFER.
void GridGetCellText(int& id, int column, int row, std::span<char> buffer);
// The number of a cell; -3 when it has none.
void GridGetCellNumber(int& id, int column, int row, double& value);
void GridGetCheckBox(int& id, int column, int row, int& state);
// OPTION := the selected option from 1, 0 for none.
void GridGetMenu(int& id, int column, int row, int& option);
// The text of option OPTION (from 1) of a menu column, NUL-terminated within BUFFER.
void GridMenuOptionText(int& id, int column, int option, std::span<char> buffer);
// The column's output format, NUL-terminated within BUFFER; "(G15.5E2)" for
// columns that are not real or double or have none.
void GridColumnFormat(int& id, int column, std::span<char> buffer);
// Stores VALUE with its text form TEXT into a text or number cell; FORMAT
// becomes the column's format when it differs.
void GridPutCellText(int& id, int column, int row, double value, std::string_view text, std::string_view format);
void GridPutCheckBox(int& id, int column, int row, int state);
// Selects option OPTION (from 1) of a menu cell.
void GridPutMenu(int& id, int column, int row, int option);
// Selects the option equal to TEXT ignoring case, else the first with NOTFOUND := 1.
void GridPutMenuByText(int& id, int column, int row, int& notFound, std::string_view text);
void GridMenuAddOption(int& id, int column, int row, std::string_view text);
void GridMenuClearOptions(int& id, int column, int row);
// Empties a cell. MODE 0 bounds the row by the rows in use, any other by the
// rows allocated; MODE 2 also resets a menu cell to its first option.
void GridCellClear(int& id, int column, int row, int mode);
// Moves the current cell, with the focus when its window can take it, and
// places the caret before character CARET (-1: left alone).
void GridSetCurrentCell(int& id, int column, int row, int caret);
void GridSelectionClearById(int& id);
void GridSelectBlock(int& id, int firstColumn, int firstRow, int lastColumn, int lastRow);
// -3 when VALUE lies outside the column's range.
void GridColumnRangeCheck(int& id, int column, double value);
void GridColumnRangeTest(int& status, HWND grid, int column, double value);
// STATE 1 unprotects the cell, any other protects it.
void GridCellProtect(int& id, int column, int row, int state);
// The protection of row SOURCE copied to row TARGET.
void GridCopyRowState(int& id, int column, int source, int target);
// The column type as a field type: 4 text, 5 integer, 6 real, 7 double, 9
// check box, 11 menu.
void GridColumnType(int& id, int column, int& type);
// Maximum characters + 1 of a text column.
void GridTextColumnSize(int& id, int column, int& size);

// ---- Rows, columns, titles, labels, colours (grid_rows_columns.cpp) ----------------

// Answers of GridInfo.
enum GridInfoCode : int {
    kInfoColumns = 1,
    kInfoRowsAllocated = 2,
    kInfoRows = 3,
    kInfoCurrentColumn = 4,
    kInfoCurrentRow = 5,
    kInfoUnmodified = 6,
    kInfoModified2 = 7,
    kInfoFirstVisibleColumn = 8,
    kInfoFirstVisibleRow = 9,
    kInfoSelFirstColumn = 10,
    kInfoSelFirstRow = 11,
    kInfoSelLastColumn = 12,
    kInfoSelLastRow = 13,
    kInfoRowsShown = 101,
    kInfoColumnsAllocated = 102,
};
// The identifier that asks for what the last modal grid editor left.
constexpr int kGridLastEditor = -2;
void GridInfo(int& id, int code, int& answer);
// Sets the rows in use (the caller has checked 1 <= ROWS <= rows allocated).
void GridSetRows(int& id, int rows);
void GridApplyRowCount(HWND grid, int id, int rows);
// Rebuilds the columns from the grid's template; COLUMNLIST holds one
// template position (from 1) per column, or is nullptr for the controls in order.
void GridRebuildColumns(int& id, int columns, const int* columnList);
// Header item ITEM: 0 the corner, n column n counted from 1.
void GridPutColumnTitle(int& id, int item, std::string_view text);
void GridGetColumnTitle(int& id, int item, std::span<char> buffer);
void GridPutRowLabel(int& id, int row, std::string_view text);
void GridGetRowLabel(int& id, int row, std::span<char> buffer);
// Components 0-255; red 256 resets that colour to the default, red -1 leaves it.
void GridPutCellColours(int& id, int column, int row, int foreRed, int foreGreen, int foreBlue, int backRed,
                        int backGreen, int backBlue);
void GridPutColumnColours(int& id, int column, int foreRed, int foreGreen, int foreBlue, int backRed, int backGreen,
                          int backBlue);
void GridPutColumnRange(int& id, int column, double lower, double upper);
void GridIntegerSpinSteps(int& id, int column, int smallStep, int largeStep, int origin);
void GridRealSpinSteps(int& id, int column, float smallStep, float largeStep);
void GridDoubleSpinSteps(int& id, int column, double smallStep, double largeStep);
// One text of a grid editor: CODE 1 the find text, 2 the second text, 3 the
// file name; WINDOW -1 the texts the last modal grid editor left.
void GridEditorText(int window, int code, std::span<char> buffer);

// What the last modal grid editor window left when it closed (its two
// modified flags and three texts); written by the grid editor.
struct GridEditorLastClosed {
    int modified = 0;
    int modified2 = 0;
    std::string findText;
    std::string secondText;
    std::string fileName;
};
extern GridEditorLastClosed gGridEditorLastClosed;

// ---- Answers of the grid editor window (grid_editor_window.cpp) --------------------

// The grid of the current child window when it is a grid editor, else nullptr.
HWND GridEditorCurrentGrid();
// Shrinks the current grid editor's frame to its grid's extent.
void GridEditorFitFrame();
// Records the packed current cell in the current grid editor's record.
void GridEditorRecordCell(int packedCell);
// One text of the live grid editor whose frame is FRAME (codes as GridEditorText).
void GridEditorLiveText(HWND frame, int code, std::span<char> buffer);

// ---- Shared by the engine files ------------------------------------------------------

// Writes TEXT into BUFFER, cut to its size less 1 and NUL-terminated.
void GridCopyOut(std::span<char> buffer, std::string_view text);
// The text of TEXT up to its first NUL.
std::string_view GridUpToNul(std::string_view text);
// Records the packed cell of a moved current cell: in the grid editor for
// identifier 0, else in the dialog when the grid is its current field.
void GridRecordCurrentCell(HWND grid, int id, int packedCell);

// ---- Shared by the public routines (grid_public.cpp) ---------------------------------

// Reports 1005 under NAME when no dialog is current and the identifier is not
// 0 (or, with EVENFORZERO, whatever the identifier); true then.
bool GridNoDialog(int id, std::string_view name, bool evenForZero = false);
// Reports the library error of STATUS under NAME: -1 1006, -2 1017, and -3
// the routine's own code FAILEDCODE (nothing when 0). True when it reported.
bool GridStatusReport(int status, std::string_view name, int failedCode = 0);

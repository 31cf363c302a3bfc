// The grid editor: a child window of the library turned into a small table
// editor around a working copy of a grid field of the current dialog. Its
// frame carries a GridEditorRecord (window record type 4), a menu bar (File,
// Edit, Search), a toolbar, the window's status bar and the editor's own
// "KVBGRID" window, which the public grid routines reach with identifier 0.
//
// grid_editor_window.cpp   creation, layout, the modal loop, title, frame fit,
//                          the window procedure's window messages, the opener
// grid_editor_copy.cpp     the editor's grid as a full copy of the template
// grid_editor_commands.cpp commands, popup enabling, help texts, tool tips,
//                          spin steps, cell changes
// grid_editor_dialogs.cpp  goto, find, row commands, sort, print dialogs
// grid_editor_files.cpp    save prompt, CSV save and load, HTML save dialog
//
// Opening an editor from a program: WGridEditor (below). Its status codes:
//   0 none; 1 the current window is the main window (1022); 8 the window is
//   already a special window (1038); 12 the window has child windows (1057);
//   11 no grid field with that identifier in the current dialog (1006);
//   6 no memory for the record (1053); 5 modal or semi-modeless mode asked
//   for a frame with the child style, made modeless (1052); 4 a menu asked
//   for a child inside its parent, no menu made (1051); 2 a menu asked for
//   in modal mode, not made (1026); 3 the menu resource cannot be loaded,
//   empty bar (1002). Codes 2 to 5 leave an editor created; the numbers in
//   brackets are the library errors reported under "WGridEditor".
//
// Menu columns: a grid's menu column offers the template combo box's
// options from the second on. The template's first option is a caption,
// not one of the grid's options (the grid's option 1 is the template's
// option 2); while the template has it selected it is the column's title.
// A CSV file that holds the first template option's text in such a column
// matches no option: the cell loads as the grid's first option, and the
// editor shows the box "Non-matching data found for menu cell". Give the
// template a caption option first, then the values the cells may hold.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/window_table.h"

// Lengths of the record's NUL-terminated texts (NUL included).
constexpr int kGridEditorNameLength = 260;
constexpr int kGridEditorTextLength = 1024;
constexpr int kGridEditorFilterLength = 1001;

// Option bits of GridEditorCreate.
enum GridEditorFlags : int {
    kGridEditorNoToolbar = 0x20,
    kGridEditorNoNewOpen = 0x100,
    kGridEditorNoSaveAs = 0x200,
    kGridEditorNoPrint = 0x400,
    kGridEditorLabelsMove = 0x800,
    kGridEditorNoFind = 0x1000,
    kGridEditorNoSave = 0x2000,
    kGridEditorBackup = 0x20000,
    kGridEditorNoHtml = 0x40000,
    kGridEditorIgnoreProtection = 0x80000,
    kGridEditorRowCount = 0x100000,
    kGridEditorNoRowCommands = 0x200000,
    kGridEditorNoMenu = 0x800000,
    kGridEditorCsvHeader = 0x2000000,
};

// Command identifiers of the menus, accelerators and toolbar.
enum GridEditorCommand : int {
    kGridEdFilePopup = 32100,
    kGridEdNew = 32101,
    kGridEdOpen = 32102,
    kGridEdSave = 32103,
    kGridEdSaveAs = 32104,
    kGridEdPrint = 32105,
    kGridEdPrintSelection = 32106,
    kGridEdExit = 32107,
    kGridEdSaveHtml = 32108,
    kGridEdSaveSelection = 32109,
    kGridEdEditPopup = 32120,
    kGridEdCut = 32122,
    kGridEdCopy = 32123,
    kGridEdPaste = 32124,
    kGridEdDelete = 32125,
    kGridEdSelectAll = 32126,
    kGridEdSort = 32127,
    kGridEdInsertBefore = 32128,
    kGridEdInsertAfter = 32129,
    kGridEdDeleteRow = 32130,
    kGridEdSearchPopup = 32140,
    kGridEdFind = 32141,
    kGridEdFindNext = 32142,
    kGridEdGotoCell = 32144,
    kGridEdGotoRow = 32145,
    kGridEdGotoColumn = 32146,
};

// Child identifiers inside the frame.
constexpr int kGridEditorToolbarId = 1001;
constexpr int kGridEditorGridId = 1002;

// The record hung on the editor's frame, allocated zero-filled.
// The head (core/window_table.h) holds, in order: the type 4; the window's
// toolbars (top, left, right, bottom), none in mode 1; the editor's own grid
// window; the editor's toolbar, or none; its tool-tip window; the window's
// status bar, or none.
struct GridEditorRecord : GridEditorRecordHead {
    HMENU menuBar;
    HMENU filePopup;
    HMENU editPopup;
    HMENU searchPopup;
    HACCEL ownAccelerators;    // built from the option bits, or none
    HACCEL callerAccelerators; // loaded by the caller's menu identifier, or none
    int32_t mode;              // 1 modal, 2 modeless, 3 semi-modeless
    int32_t labelsMove;        // option 0x800
    int32_t rowCountChange;    // option 0x100000
    int32_t csvHeader;         // option 0x2000000
    std::array<char, kGridEditorNameLength> fileName;   // empty until opened or saved
    std::array<char, kGridEditorTextLength> caption;    // the caption at creation
    std::array<char, kGridEditorTextLength> findText;
    std::array<char, kGridEditorTextLength> secondText; // left empty by the editor
    std::array<char, kGridEditorFilterLength> filter;   // empty: the built-in CSV filter
    int32_t filterIndex;
    int32_t matchCase;      // find options
    int32_t numericColumns;
    int32_t done;           // a modal editor was allowed to close
    // Enable words, 0 or 1 unless stated.
    int32_t newEnabled;
    int32_t readOnly;       // the template's GridStyle 0x800 (the bit value)
    int32_t openEnabled;
    int32_t saveEnabled;
    int32_t saveAsEnabled;
    int32_t saveHtmlEnabled;
    int32_t printEnabled;
    int32_t findEnabled;
    int32_t rowCommands;
    int32_t protectionIgnored; // option 0x80000 (the bit value)
    int32_t backup;            // option 0x20000
    int32_t currentCell;       // GridPackedCell of the current cell (modes 2 and 3)
    // Kept by the window side.
    int32_t window;            // the frame's window number
    int32_t flags;             // the option bits given at creation
    HWND returnWindow;         // the window current when the editor was opened
    HFONT font;                // the template's font made again for the frame and grid
};

// The record of FRAME when it is a grid editor, else nullptr.
GridEditorRecord* GridEditorRecordOf(HWND frame);
// The frame of window number WINDOW when it is a grid editor, else nullptr.
HWND GridEditorFrameOf(int window);

// ---- Window (grid_editor_window.cpp) -----------------------------------------

// Turns the current window into a grid editor around grid field FIELDID of the
// current dialog. STATUS gets a code (see the head of this file).
void GridEditorCreate(int& status, int fieldId, int mode, int menuId, int flags, int filterIndex, int splitWindow,
                      std::string_view fileName, std::string_view filter);
LRESULT CALLBACK GridEditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The modal loop of the editor in the current window.
void GridEditorMessageLoop();
// Shows the file name in the caption, or in status-bar part 4 for a frame
// without a caption bar.
void GridEditorTitle(HWND frame);
// Shrinks the frame to its grid's whole extent; never enlarges it.
void GridEditorFitFrame(GridEditorRecord* record);
// The frame size that shows the whole grid (width, height), bounded; with
// ONECELL one column as broad as the broadest and one row.
SIZE GridEditorNeededFrame(HWND frame, GridEditorRecord* record, bool oneCell);
// The save prompt of the editor on FRAME when Save is enabled: 1 the caller
// may go on, 0 it must not.
int GridEditorSavePrompt(HWND frame);

// Public opener: GridEditorCreate on the current window and, in mode 1, the
// modal loop. Statuses other than 0 are reported as library errors; a mode
// outside 1 to 3 opens nothing (status 5, error 1052).
void WGridEditor(int fieldId, int mode, int flags, int* status = nullptr, const int* menuId = nullptr,
                 std::string_view fileName = {}, std::string_view filter = {}, const int* filterIndex = nullptr,
                 const int* splitWindow = nullptr);

// ---- Commands (grid_editor_commands.cpp) -------------------------------------

// WM_COMMAND of the frame: one command (control notifications go to default
// handling); the message's answer.
LRESULT GridEditorCommandMessage(HWND frame, GridEditorRecord* record, WPARAM wParam, LPARAM lParam);
// WM_INITMENUPOPUP: greys the items of the popup that opens.
void GridEditorPopupInit(GridEditorRecord* record, HMENU popup);
// WM_MENUSELECT: help texts in the status bar; false when default handling runs.
bool GridEditorMenuSelect(HWND frame, GridEditorRecord* record, WPARAM wParam, LPARAM lParam);
// WM_NOTIFY: tool tips and spin steps; RESULT is the answer when handled.
bool GridEditorNotify(HWND frame, GridEditorRecord* record, NMHDR* header, LRESULT& result);
// GM_CELLCHANGE with the packed new current cell.
void GridEditorCellChange(HWND frame, GridEditorRecord* record, LPARAM packedCell);
// The built-in help text of command ID (popups by their identifiers), nullptr
// when it has none.
const char* GridEditorHelpText(int id);
// The tool tip of toolbar button ID, "" for other identifiers.
const char* GridEditorToolTip(int id);

// ---- Command dialogs (grid_editor_dialogs.cpp) -------------------------------
// WINDOW is the frame's window number; each makes it current for its duration.

// MODE 1 cell, 2 row, 3 column.
void YYGridGotoDialog(int window, int mode);
// MODE 1 Find (with the dialog), 2 Find Next (without). MATCHCASE, NUMERIC
// and TEXT (NUL-terminated) are the record's find options and find text.
void YYGridFindDialog(int window, int mode, int& matchCase, int& numeric, std::span<char> text);
void YYGridDeleteRow(int window, int labelsMove, int rowCountChange);
// AFTER 0 inserts before the current row, 1 after it.
void YYGridInsertRow(int window, int labelsMove, int rowCountChange, int after);
// RESULT 1 when sorted, 0 when cancelled.
void YYGridSortDialog(int window, int labelsMove, int& result);
// The 0-based block; RESULT 1 when printed.
void YYGridPrintDialog(int window, int firstRow, int lastRow, int firstColumn, int lastColumn, int& result);

// ---- Files (grid_editor_files.cpp) ------------------------------------------
// FILENAME is the record's NUL-terminated file name (in and out), FILTER the
// record's filter (empty: the built-in one).

// RESULT 1 the caller may go on (saved or not wanted), 0 it must not.
void YYGridSavePrompt(int window, int modified, int& result, int& filterIndex, int backup, int csvHeader,
                      std::span<char> fileName, std::string_view filter);
// FIRSTROW -1 saves the whole grid, else the 0-based block; RESULT 1 when saved.
void YYGridSaveCSV(int window, int withDialog, int& result, int& filterIndex, int backup, int csvHeader, int firstRow,
                   int lastRow, int firstColumn, int lastColumn, std::span<char> fileName, std::string_view filter);
// RESULT 1 when the file was read (also with data errors).
void YYGridLoadCSV(int window, int withDialog, int rowCountChange, int& result, int& filterIndex, int csvHeader,
                   std::span<char> fileName, std::string_view filter);
// The block selection (-1 when none); RESULT 1 when saved.
void YYGridSaveHTMLDialog(int window, int firstRow, int lastRow, int firstColumn, int lastColumn, int& result,
                          int backup, std::string_view fileName);

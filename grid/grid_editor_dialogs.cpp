// The grid editor's commands that need a dialog or a row operation: Goto
// Cell, Row and Column, Find and Find Next, Delete Row, Insert Row before or
// after the current row, Sort and Print. They work on the editor's grid
// through the public grid routines with identifier 0 (the grid editor of the
// current window) while the editor's frame is the current window; errors
// those routines report are theirs, and the caller sees the last error code
// it had before.
#include "grid/grid_editor.h"
#include "grid/grid_editor_dialog_frame.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/fortran_format.h"
#include "core/library_state.h"
#include "core/os_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_values.h"
#include "dialogs/message_box.h"
#include "dialogs/window_snapshots.h"
#include "graphics/graphics_state.h"
#include "grid/grid_engine.h"
#include "grid/grid_print.h"
#include "grid/grid_public.h"
#include "hardcopy/hardcopy_state.h"

// ---- The frame every dialog routine runs in ------------------------------------------------

GridEditorWindowSwitch::GridEditorWindowSwitch(int window) : savedWindow_(gWindowSystem.currentWindow)
{
    if (window != savedWindow_ && WindowIsOpen(window)) {
        YYWINSEL(window, 0);
        switched_ = true;
    }
}

GridEditorWindowSwitch::~GridEditorWindowSwitch()
{
    if (switched_ && WindowIsOpen(savedWindow_))
        YYWINSEL(savedWindow_, 0);
}

GridEditorDialogFrame::GridEditorDialogFrame(int window)
    : window_(window), savedDialog_(gDialogStatus.currentDialogId), savedError_(gErrorState.lastCode),
      switch_(window)
{
    gErrorState.lastCode = 0;
}

GridEditorDialogFrame::~GridEditorDialogFrame()
{
    if (snapshot_) {
        int status = 0;
        WindowContentsSnapshot(0, -1, status);
    }
    if (loaded_ && DialogIndexById(loaded_) >= 1) {
        Select();
        WDialogUnload();
    }
    if (!keepError_)
        gErrorState.lastCode = savedError_;
    if (savedDialog_ != 0 && savedDialog_ != loaded_) {
        int id = savedDialog_;
        DialogSelectById(id);
        if (id != -1)
            gDialogStatus.currentDialogId = savedDialog_;
    }
}

bool GridEditorDialogFrame::Load(int resource)
{
    int ident = resource, owner = -1;
    WDialogLoad(resource, &ident, &owner);
    if (gErrorState.lastCode != 0 || !DialogCurrentWindow() || gDialogStatus.currentDialogId != resource) {
        GridEditorDialogMissingBox();
        // Anything the failed load left in the table under this number goes.
        if (DialogIndexById(resource) >= 1)
            loaded_ = resource;
        return false;
    }
    loaded_ = resource;
    return true;
}

void GridEditorDialogFrame::Select()
{
    int id = loaded_;
    DialogSelectById(id);
    if (id != -1)
        gDialogStatus.currentDialogId = loaded_;
}

int GridEditorDialogFrame::ShowModal(int focus)
{
    const int modal = kShowModal;
    gDialogStatus.exitField = 0;
    WDialogShow(nullptr, nullptr, &focus, &modal);
    return gDialogStatus.exitField;
}

void GridEditorDialogFrame::ShowPlaced(int focus)
{
    int status = 0;
    WindowContentsSnapshot(1, -1, status);
    snapshot_ = true;
    YYDialogShowPlaced(focus, kShowSemiModeless, window_);
}

int GridEditorDialogFrame::NextButton()
{
    for (;;) {
        const int index = DialogIndexById(loaded_);
        if (index < 1 || !IsWindow(DialogTableWindow(index)))
            return IDCANCEL;
        int type = 0;
        EventMessage e;
        WMessageWait(type, e);
        // The wait ends without an event when the program is told to quit.
        if (type <= 0)
            return IDCANCEL;
        if (type == kEventPushButton && e.window == loaded_)
            return e.value1;
    }
}

void GridEditorDialogMissingBox()
{
    WMessageBox(kBoxOk, kIconStop, 1, "Unable to load required dialog", "Error");
}

std::string GridEditorDialogText(int field, size_t limit)
{
    std::string text(limit, ' ');
    WDialogGetString(field, text);
    return std::string(TrimRight(text));
}

namespace {

// The field identifiers of the dialogs.
enum : int {
    kFindDialog = 32106,
    kGotoCellDialog = 32107,
    kGotoDialog = 32108,
    kSortDialog = 32109,
    kPrintDialog = 32112,
    kOkButton = 1,
    kCancelButton = 2,
    kFindText = 1002,
    kFindMatchCase = 1003,
    kFindNumeric = 1004,
    kGotoLabel = 1001,
    kGotoFirst = 1002,
    kGotoRow = 1004,
    kSortColumn = 1002,
    kSortAscending = 1004,
    kSortDescending = 1005,
    kSortMatchCase = 1006,
    kPrintRowLines = 1002,
    kPrintColumnLines = 1003,
    kPrintHeadersFirst = 1005,
    kPrintHeadersEvery = 1006,
    kPrintNoColours = 1008,
    kPrintTextColours = 1009,
    kPrintAllColours = 1010,
    kPrintScale = 1012,
    kPrintPageSetup = 1014,
};

// Field types of GridColumnType.
enum : int { kColumnText = 4, kColumnInteger = 5, kColumnReal = 6, kColumnDouble = 7, kColumnMenu = 11 };

// Settings number of the grid editor's print settings.
constexpr int kEditorPrintSettings = 2;
// Characters of a column name in the sort dialog.
constexpr size_t kSortNameLength = 50;

// The choices of the sort dialog, kept for every grid editor of the process.
struct SortChoice {
    int direction = 1; // 1 ascending, 2 descending
    int matchCase = 0;
};
SortChoice gSortChoice;

int Info(int code)
{
    int id = 0, answer = 0;
    GridInfo(id, code, answer);
    return answer;
}

// The field type of COLUMN (from 1).
int ColumnType(int column)
{
    int id = 0, type = 0;
    GridColumnType(id, column - 1, type);
    return type;
}

// Every cell of ROW emptied (a menu cell to its first option), and its label
// with LABELS.
void EmptyRow(int row, int labels)
{
    const int columns = Info(kInfoColumns);
    for (int c = 1; c <= columns; ++c) {
        if (ColumnType(c) == kColumnMenu)
            WGridPutCellOption(0, c, row, 1);
        else
            WGridClearCell(0, c, row);
    }
    if (labels)
        WGridLabelRow(0, row, "");
}

// Row and column lookups and the row routines keep the window and the error
// code as the dialog routines do, without a dialog.
class RowFrame {
public:
    explicit RowFrame(int window) : savedError_(gErrorState.lastCode), switch_(window) { gErrorState.lastCode = 0; }
    ~RowFrame() { gErrorState.lastCode = savedError_; }
    RowFrame(const RowFrame&) = delete;
    RowFrame& operator=(const RowFrame&) = delete;

private:
    int savedError_;
    GridEditorWindowSwitch switch_;
};

} // namespace

// ---- Goto ---------------------------------------------------------------------------------------

void YYGridGotoDialog(int window, int mode)
{
    if (mode < 1 || mode > 3)
        return;
    GridEditorDialogFrame frame(window);
    const int columns = Info(kInfoColumns);
    const int rows = Info(kInfoRows);
    int column = Info(kInfoCurrentColumn);
    int row = Info(kInfoCurrentRow);
    const int one = 1;
    if (mode == 1) {
        if (!frame.Load(kGotoCellDialog))
            return;
        WDialogRangeInteger(kGotoFirst, &one, &columns);
        WDialogPutInteger(kGotoFirst, column);
        WDialogRangeInteger(kGotoRow, &one, &rows);
        WDialogPutInteger(kGotoRow, row);
    } else {
        if (!frame.Load(kGotoDialog))
            return;
        const bool byRow = mode == 2;
        WDialogTitle(byRow ? "Goto Row" : "Goto Column");
        WDialogPutString(kGotoLabel, byRow ? "&Row" : "&Column");
        WDialogRangeInteger(kGotoFirst, &one, byRow ? &rows : &columns);
        WDialogPutInteger(kGotoFirst, byRow ? row : column);
    }
    if (frame.ShowModal(kGotoFirst) != kOkButton)
        return;
    if (mode == 1) {
        WDialogGetInteger(kGotoFirst, column);
        WDialogGetInteger(kGotoRow, row);
    } else if (mode == 2) {
        WDialogGetInteger(kGotoFirst, row);
    } else {
        WDialogGetInteger(kGotoFirst, column);
    }
    WGridSetCell(0, column, row);
}

// ---- Find ---------------------------------------------------------------------------------------

void YYGridFindDialog(int window, int mode, int& matchCase, int& numeric, std::span<char> text)
{
    GridEditorDialogFrame frame(window);
    bool texts = false, numbers = false;
    const int columns = Info(kInfoColumns);
    for (int c = 1; c <= columns; ++c) {
        const int type = ColumnType(c);
        texts = texts || type == kColumnText;
        numbers = numbers || type == kColumnInteger || type == kColumnReal || type == kColumnDouble;
    }
    if (!texts && !numbers) {
        WMessageBox(kBoxOk, kIconExclamation, 1, "Grid contains no searchable columns", "Find");
        return;
    }
    if (!texts)
        numeric = 1;
    std::string what(GridUpToNul(std::string_view(text.data(), text.size())));
    if (mode == 1) {
        if (!frame.Load(kFindDialog))
            return;
        WDialogPutString(kFindText, what);
        WDialogPutCheckBox(kFindMatchCase, matchCase);
        WDialogPutCheckBox(kFindNumeric, numeric);
        WDialogFieldState(kFindNumeric, texts && numbers ? kStateEnabled : kStateHidden);
        frame.ShowPlaced(kFindText);
        bool search = false;
        for (bool waiting = true; waiting;) {
            const int button = frame.NextButton();
            frame.Select();
            if (button == kOkButton) {
                std::string typed = GridEditorDialogText(kFindText, text.empty() ? 0 : text.size() - 1);
                if (typed.empty()) {
                    YYBeepSwitch("BEEP");
                    continue;
                }
                what = std::move(typed);
                WDialogGetCheckBox(kFindMatchCase, matchCase);
                WDialogGetCheckBox(kFindNumeric, numeric);
                search = true;
                waiting = false;
            } else if (button == kCancelButton) {
                waiting = false;
            }
        }
        if (!search)
            return;
    }
    const std::string_view trimmed = TrimRight(what);
    const int options = 1 + (matchCase == 1 ? 0 : 2) + (numeric == 1 ? 4 : 0);
    int found = 0;
    WGridFind(0, trimmed, &options, &found);
    if (found == 0)
        WMessageBox(kBoxOk, kIconInformation, 1, "End of grid reached", "Find");
    GridCopyOut(text, trimmed);
}

// ---- Rows ---------------------------------------------------------------------------------------

void YYGridDeleteRow(int window, int labelsMove, int rowCountChange)
{
    RowFrame frame(window);
    const int row = Info(kInfoCurrentRow);
    const int rows = Info(kInfoRows);
    if (rows == 1 && rowCountChange) {
        EmptyRow(row, labelsMove);
        return;
    }
    const int one = 1;
    WGridDeleteRows(0, row, &one, &rowCountChange, &labelsMove);
}

void YYGridInsertRow(int window, int labelsMove, int rowCountChange, int after)
{
    RowFrame frame(window);
    const int row = Info(kInfoCurrentRow);
    const int rows = Info(kInfoRows);
    if (row == rows && after == 1) {
        if (!rowCountChange)
            return;
        // On the last allocated row the count cannot grow: the last row stays.
        WGridRows(0, rows + 1);
        if (Info(kInfoRows) == rows + 1)
            EmptyRow(rows + 1, labelsMove);
        return;
    }
    const int one = 1;
    WGridInsertRows(0, row + (after == 1 ? 1 : 0), &one, &rowCountChange, &labelsMove);
}

// ---- Sort ---------------------------------------------------------------------------------------

void YYGridSortDialog(int window, int labelsMove, int& result)
{
    result = 0;
    GridEditorDialogFrame frame(window);
    const int columns = Info(kInfoColumns);
    std::vector<std::string> names(static_cast<size_t>(std::max(columns, 0)));
    for (int c = 1; c <= columns; ++c) {
        std::array<char, kSortNameLength + 1> title{};
        int id = 0;
        GridGetColumnTitle(id, c, title);
        std::string name(TrimRight(GridUpToNul(std::string_view(title.data(), title.size()))));
        if (name.empty()) {
            std::string number = FortranFormat("(I7)", {c});
            number.erase(0, number.find_first_not_of(' '));
            name = "Column " + number;
        }
        names[static_cast<size_t>(c - 1)] = name.substr(0, kSortNameLength);
    }
    if (!frame.Load(kSortDialog))
        return;
    std::vector<std::string_view> options(names.begin(), names.end());
    WDialogPutMenu(kSortColumn, options, columns, Info(kInfoCurrentColumn));
    WDialogPutRadioButton(gSortChoice.direction == 1 ? kSortAscending : kSortDescending);
    WDialogPutCheckBox(kSortMatchCase, gSortChoice.matchCase);
    if (frame.ShowModal(kSortColumn) != kOkButton)
        return;
    result = 1;
    int column = 0, position = 1, matchCase = 0;
    WDialogGetMenu(kSortColumn, column);
    WDialogGetRadioButton(kSortAscending, position);
    WDialogGetCheckBox(kSortMatchCase, matchCase);
    gSortChoice.direction = position == 2 ? 2 : 1;
    gSortChoice.matchCase = matchCase == 1 ? 1 : 0;
    const int sortOptions = (gSortChoice.direction == 2 ? 1 : 0) + (gSortChoice.matchCase ? 0 : 2) + (labelsMove ? 4 : 0);
    const int first = 1, last = Info(kInfoRows);
    WGridSort(0, column, &sortOptions, &first, &last);
}

// ---- Print --------------------------------------------------------------------------------------

void YYGridPrintDialog(int window, int firstRow, int lastRow, int firstColumn, int lastColumn, int& result)
{
    result = 0;
    if (gHardcopyState.printerAvailable == 0) {
        WMessageBox(kBoxOk, kIconStop, 1, "No printer installed", "Error");
        return;
    }
    GridEditorDialogFrame frame(window);
    if (!frame.Load(kPrintDialog))
        return;
    int rowLines = 0, columnLines = 0, everyPage = 0, textColours = 0, backColours = 0, scale = 100;
    GridPrintOptionsGet(rowLines, columnLines, everyPage, textColours, backColours, scale, kEditorPrintSettings);
    WDialogPutCheckBox(kPrintRowLines, rowLines);
    WDialogPutCheckBox(kPrintColumnLines, columnLines);
    WDialogPutRadioButton(everyPage == 1 ? kPrintHeadersEvery : kPrintHeadersFirst);
    WDialogPutRadioButton(backColours == 1 ? kPrintAllColours : textColours == 1 ? kPrintTextColours : kPrintNoColours);
    WDialogPutInteger(kPrintScale, scale);
    frame.ShowPlaced(kOkButton);
    for (;;) {
        const int button = frame.NextButton();
        frame.Select();
        if (button == kPrintPageSetup) {
            GridPageSetup(-1, kEditorPrintSettings);
            frame.Select();
        } else if (button == kCancelButton) {
            return;
        } else if (button == kOkButton) {
            break;
        }
    }
    int headers = 1, colours = 1;
    WDialogGetCheckBox(kPrintRowLines, rowLines);
    WDialogGetCheckBox(kPrintColumnLines, columnLines);
    WDialogGetRadioButton(kPrintHeadersFirst, headers);
    WDialogGetRadioButton(kPrintNoColours, colours);
    WDialogGetInteger(kPrintScale, scale);
    GridPrintOptionsPut(rowLines, columnLines, headers == 2 ? 1 : 0, colours >= 2 ? 1 : 0, colours == 3 ? 1 : 0, scale,
                        kEditorPrintSettings);
    GridPrint(0, result, firstRow, lastRow, firstColumn, lastColumn, kEditorPrintSettings, "");
}

// The grid editor's commands: events for unknown identifiers, disabled
// commands arriving from a program's own accelerators, the toolbar's Cut
// and Paste acting only when the Edit popup would offer them, the row
// commands, help texts and tool tips, spin steps with an origin, at a limit
// and with odd deltas or a zero step, and the cell-change event of two
// changes before the program takes it.
#include <cstring>

#include "dialogs/dialog_fields.h"
#include "grid/grid_public.h"
#include "grid_editor_fixture.h"
#include "support/box_autopilot.h"

namespace {

void Command(HWND frame, int id, int code = 0, HWND from = nullptr)
{
    SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
}

std::string Clipboard()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

void ClipboardSet(const std::string& text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    if (!text.empty()) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        SetClipboardData(CF_TEXT, h);
    }
    CloseClipboard();
}

} // namespace

class GridEditorCommandsTest : public GridEditorFixture {};

TEST_F(GridEditorCommandsTest, UnknownIdentifiersBecomeEventsOnly)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    PutText(g, 0, 2, "keep");
    for (int id : {32110, 32121, 32131, 32140, 32143, 32147, 40000, 1}) {
        SCOPED_TRACE(id);
        gCurrentEventSlot = CurrentEventSlot{};
        Command(frame, id, 1);
        EXPECT_EQ(gCurrentEventSlot.type, kEventCommand);
        EXPECT_EQ(gCurrentEventSlot.value1, id);
        EXPECT_EQ(CellText(r, 0, 2), "keep");
        EXPECT_TRUE(IsWindow(frame));
    }
}

TEST_F(GridEditorCommandsTest, DisabledCommandsFromAProgramsKeysDoNothing)
{
    // No New/Open, no save, no row commands, no find: each arrives as a
    // key command (code 1) and neither acts nor reaches the program.
    GridEditorRecord* r = Create(0x100 | 0x2000 | 0x200000 | 0x1000);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    PutText(g, 0, 2, "keep");
    const int rows = g->rows;
    for (int id : {kGridEdNew, kGridEdOpen, kGridEdSave, kGridEdSaveAs, kGridEdSaveSelection, kGridEdSaveHtml,
                   kGridEdInsertBefore, kGridEdInsertAfter, kGridEdDeleteRow, kGridEdFind, kGridEdFindNext}) {
        SCOPED_TRACE(id);
        gCurrentEventSlot = CurrentEventSlot{};
        Command(frame, id, 1);
        EXPECT_EQ(gCurrentEventSlot.type, 0);
        EXPECT_EQ(CellText(r, 0, 2), "keep");
        EXPECT_EQ(g->rows, rows);
        EXPECT_EQ(g->modified, 0);
    }
    // Select All has no enabling condition: it acts.
    Command(frame, kGridEdSelectAll, 1);
    EXPECT_EQ(g->selFirstRow, 0);
    EXPECT_EQ(g->selLastRow, rows - 1);
    EXPECT_EQ(g->selLastColumn, g->columns - 1);
}

TEST_F(GridEditorCommandsTest, RowCommandsMarkTheGridModifiedAndReport)
{
    GridEditorRecord* r = Create(0x80000);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    PutText(g, 0, 2, "first");
    PutText(g, 0, 3, "second");
    GridMoveCurrentCell(r->grid, 1, 2, 0, 0);
    gCurrentEventSlot = CurrentEventSlot{};
    Command(frame, kGridEdInsertBefore);
    EXPECT_EQ(CellText(r, 0, 2), "");
    EXPECT_EQ(CellText(r, 0, 3), "first");
    EXPECT_EQ(g->modified, 1);
    EXPECT_EQ(g->modified2, 1);
    EXPECT_EQ(gCurrentEventSlot.type, kEventCommand);
    EXPECT_EQ(gCurrentEventSlot.value1, kGridEdInsertBefore);
    Command(frame, kGridEdDeleteRow);
    EXPECT_EQ(CellText(r, 0, 2), "first");
    EXPECT_EQ(gCurrentEventSlot.value1, kGridEdDeleteRow);
}

TEST_F(GridEditorCommandsTest, ToolbarCutAndPasteActOnlyWhenTheEditPopupWould)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    GridMoveCurrentCell(r->grid, 2, 8, 0, 0); // the in-cell editor away from the cells used
    PutText(g, 0, 1, "a");
    PutText(g, 0, 2, "b");
    // A block that reaches the protected last column: the toolbar's Cut
    // copies nothing; the same block without it is cut.
    ClipboardSet("");
    GridSelectionSet(r->grid, 1, 2, 5, 6);
    Command(frame, kGridEdCut, BN_CLICKED, r->toolbar);
    EXPECT_EQ(Clipboard(), "");
    GridSelectionSet(r->grid, 1, 2, 0, 0);
    Command(frame, kGridEdCut, BN_CLICKED, r->toolbar);
    EXPECT_EQ(Clipboard(), "a\r\nb\r\n");
    EXPECT_EQ(CellText(r, 0, 1), "");
    // A block paste whose target reaches the protected column is refused
    // from the toolbar; elsewhere it goes in.
    GridSelectionClear(r->grid);
    ClipboardSet("x\t7\r\n");
    GridMoveCurrentCell(r->grid, 5, 3, 0, 0);
    std::string before = CellText(r, 5, 3) + "|" + CellText(r, 6, 3);
    Command(frame, kGridEdPaste, BN_CLICKED, r->toolbar);
    EXPECT_EQ(CellText(r, 5, 3) + "|" + CellText(r, 6, 3), before);
    GridMoveCurrentCell(r->grid, 0, 3, 0, 0);
    Command(frame, kGridEdPaste, BN_CLICKED, r->toolbar);
    GridMoveCurrentCell(r->grid, 2, 8, 0, 0);
    EXPECT_EQ(CellText(r, 0, 3), "x");
    EXPECT_EQ(CellText(r, 1, 3), "7");
    ClipboardSet("");
}

TEST_F(GridEditorCommandsTest, HelpTextsAndToolTips)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    struct {
        int id;
        const char* text;
    } items[] = {
        {kGridEdNew, "Clears the grid"},
        {kGridEdSaveHtml, "Saves the grid as an HTML document"},
        {kGridEdExit, "Closes the grid; prompts you to save changes"},
        {kGridEdInsertAfter, "Inserts a row into the grid, after the current row"},
        {kGridEdGotoColumn, "Moves to the specified column"},
    };
    // In a menu loop the bar shows one part, the help text.
    SendMessageA(frame, WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_TRUE(SendMessageA(r->statusBar, SB_ISSIMPLE, 0, 0));
    for (auto& item : items) {
        SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(item.id, MF_STRING), reinterpret_cast<LPARAM>(r->filePopup));
        EXPECT_EQ(StatusText(r->statusBar, 0), item.text) << item.id;
    }
    // A popup by its position in the bar.
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), reinterpret_cast<LPARAM>(r->menuBar));
    EXPECT_EQ(StatusText(r->statusBar, 0), "Commands for Editing and Sorting cells");
    SendMessageA(frame, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(SendMessageA(r->statusBar, SB_ISSIMPLE, 0, 0));
    for (auto [id, text] : {std::pair{kGridEdNew, "New"}, {kGridEdPaste, "Paste"}, {kGridEdFind, "Find"}}) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = r->toolTips;
        info.hdr.idFrom = static_cast<UINT_PTR>(id);
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(info.lpszText, text);
    }
}

TEST_F(GridEditorCommandsTest, SpinStepsWithOriginLimitOddDeltaAndZeroStep)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    GridMoveCurrentCell(r->grid, 1, 0, 0, 0); // the integer spin column
    ASSERT_NE(g->editor, nullptr);
    FieldRecord* f = FieldRecordOf(g->editor);
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->upDownBuddy, nullptr);
    f->smallStep = 3.0;
    f->largeStep = 10.0;
    f->stepOrigin = 1;
    f->lowerLimit = 0.0;
    f->upperLimit = 20.0;
    auto step = [&](const char* text, int delta) {
        SetWindowTextA(g->editor, text);
        SendMessageA(g->editor, EM_SETMODIFY, TRUE, 0);
        NMUPDOWN nm{};
        nm.hdr.hwndFrom = f->upDownBuddy;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(f->upDownBuddy));
        nm.hdr.code = UDN_DELTAPOS;
        nm.iDelta = delta;
        SendMessageA(frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
        EXPECT_EQ(nm.iDelta, 0);
        return Text(g->editor);
    };
    EXPECT_EQ(step("5", 1), "7");    // 8 onto the grid 1, 4, 7, ...
    EXPECT_EQ(step("5", -1), "1");   // 2 onto the grid
    EXPECT_EQ(step("19", 5), "20");  // the limit stays though off the grid
    EXPECT_EQ(step("1", -5), "0");
    EXPECT_EQ(step("6", 2), "6");    // another delta leaves the value
    EXPECT_EQ(f->hasValue, 1);
    f->smallStep = 0.0;
    EXPECT_EQ(step("5", 1), "5");    // a zero step does not snap (nor divide)
    f->lowerLimit = 1.0;
    f->upperLimit = 0.0;             // no range: the value saturates
    f->smallStep = 1.0;
    EXPECT_EQ(step("2147483647", 1), "2147483647");
}

TEST_F(GridEditorCommandsTest, TwoCellChangesGiveTheFirstCellAndTheLast)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    WMessageEnable(kEventFieldChanged, 1);
    DuringWait([] {
        WGridSetCell(0, 2, 3);
        WGridSetCell(0, 4, 5);
    });
    GridEvent e = Next();
    while (e.type != kEventFieldChanged && !IsWatchdog(e))
        e = Next();
    ASSERT_EQ(e.type, kEventFieldChanged) << Describe(e);
    EXPECT_EQ(e.m.window, window);
    EXPECT_EQ(gCurrentEventSlot.x, GridPackedCell(0, 0));
    EXPECT_EQ(gCurrentEventSlot.y, GridPackedCell(4, 3));
    EXPECT_EQ(r->currentCell, GridPackedCell(4, 3));
    EXPECT_EQ(StatusText(r->statusBar, 1), "\t\t5");
    EXPECT_EQ(StatusText(r->statusBar, 3), "\t\t4");
}

TEST_F(GridEditorCommandsTest, CancelledSavePromptOfNewKeepsEverything)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    PutText(g, 0, 2, "data");
    g->modified = 1;
    GridEditorTextCopy(r->fileName, "C:\\nowhere\\t.csv");
    gCurrentEventSlot = CurrentEventSlot{};
    {
        BoxAutopilot pilot(IDCANCEL);
        Command(frame, kGridEdNew);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].title, "Quillodrane Grid Editor");
    }
    EXPECT_EQ(CellText(r, 0, 2), "data");
    EXPECT_STREQ(r->fileName.data(), "C:\\nowhere\\t.csv");
    EXPECT_EQ(gCurrentEventSlot.type, 0);
    {
        BoxAutopilot pilot(IDNO);
        Command(frame, kGridEdNew);
    }
    EXPECT_EQ(CellText(r, 0, 2), "");
    EXPECT_EQ(r->fileName[0], '\0');
    EXPECT_EQ(g->modified, 0);
    EXPECT_EQ(gCurrentEventSlot.value1, kGridEdNew);
}

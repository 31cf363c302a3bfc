// The current cell moved from the keyboard (Shift and Ctrl through the
// keyboard state), the block selection that Shift extends, and the events a
// grid raises through its dialog: cell changes, block changes, a click, a
// protected menu, Esc in a menu cell and a numeric editor that keeps its cell.
#include <string>
#include <vector>

#include "grid_fixture.h"

namespace {

constexpr int kAny = -123456;

class GridKeys : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        dialog = Load(500);
        ASSERT_NE(dialog, nullptr);
        grid = GetDlgItem(dialog, 501);
        r = GridRecordOf(grid);
        ASSERT_NE(r, nullptr);
        Show(dialog);
        SetFocus(grid);
        Drain();
        ASSERT_EQ(GetFocus(), r->editor);
    }
    void At(int column, int row) const
    {
        EXPECT_EQ(r->currentColumn, column);
        EXPECT_EQ(r->currentRow, row);
    }

    struct Expected {
        int type;
        int value2;
        int value3;
        int x;
        int y;
        const char* why;
    };
    static void ExpectEvents(const std::vector<Expected>& expected)
    {
        for (const Expected& x : expected) {
            GridEvent e = Next();
            EXPECT_EQ(e.type, x.type) << x.why << ": got " << Describe(e);
            if (e.type != x.type)
                continue;
            EXPECT_EQ(e.m.window, 500) << x.why;
            EXPECT_EQ(e.m.value2, x.value2) << x.why;
            EXPECT_EQ(e.m.value3, x.value3) << x.why;
            if (x.x != kAny) {
                EXPECT_EQ(e.m.pixelX, x.x) << x.why << ": got " << Describe(e);
            }
            if (x.y != kAny) {
                EXPECT_EQ(e.m.pixelY, x.y) << x.why << ": got " << Describe(e);
            }
        }
    }

    HWND dialog = nullptr;
    HWND grid = nullptr;
    GridRecord* r = nullptr;
};

TEST_F(GridKeys, KeysMoveTheCurrentCellAndBeepAtTheEdges)
{
    struct Step {
        int key;
        bool shift, ctrl;
        int column, row;
        int beeps;
        const char* why;
    };
    const std::vector<Step> steps = {
        {VK_DOWN, false, false, 0, 1, 0, "down"},
        {VK_UP, false, false, 0, 0, 0, "up"},
        {VK_UP, false, false, 0, 0, 1, "up at row 0 beeps"},
        {VK_TAB, false, false, 1, 0, 0, "Tab moves between cells (0x4000)"},
        {VK_TAB, true, false, 0, 0, 0, "Shift+Tab back"},
        {VK_TAB, true, false, 0, 0, 1, "Shift+Tab at the first cell beeps"},
        {VK_END, false, true, 6, 0, 0, "Ctrl+End: last column"},
        {VK_TAB, false, false, 0, 1, 0, "Tab at the row's end wraps (0x8000)"},
        {VK_LEFT, false, false, 6, 0, 0, "Left at column 0 wraps back"},
        {VK_HOME, false, true, 0, 0, 0, "Ctrl+Home: column 0"},
        {VK_NEXT, false, true, 0, 29, 0, "Ctrl+PgDn: last row"},
        {VK_RETURN, false, false, 0, 29, 1, "Enter moves down (0x1000); at the last row it beeps"},
        {VK_DOWN, false, false, 0, 29, 1, "down at the last row beeps"},
        {VK_END, false, true, 6, 29, 0, "last cell"},
        {VK_TAB, false, false, 6, 29, 1, "Tab at the last cell beeps even with wrapping"},
        {VK_PRIOR, false, true, 6, 0, 0, "Ctrl+PgUp: row 0"},
        {VK_RETURN, false, false, 6, 1, 0, "Enter as down"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        const int beeps = gGridSwitches.beeps;
        Press(grid, s.key, s.shift, s.ctrl);
        At(s.column, s.row);
        EXPECT_EQ(gGridSwitches.beeps - beeps, s.beeps);
        EXPECT_EQ(GetFocus(), r->editor) << "the new editor has the focus";
        EXPECT_GE(r->currentRow, r->firstVisibleRow) << "the cell is in view";
        EXPECT_LT(r->currentRow, r->firstVisibleRow + r->page);
        EXPECT_GE(r->currentColumn, r->firstVisibleColumn);
        EXPECT_LE(r->currentColumn, r->lastVisibleColumn);
    }
}

TEST_F(GridKeys, LeftAndRightLeaveATextOnlyAtItsEnds)
{
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    SendMessageA(r->editor, EM_SETSEL, 3, 3);
    Press(grid, VK_LEFT);
    At(0, 0); // the caret moves inside the text
    SendMessageA(r->editor, EM_SETSEL, 3, 3);
    Press(grid, VK_RIGHT);
    At(1, 0); // at the end: the next cell
    Press(grid, VK_LEFT);
    At(0, 0); // an empty number text has its caret at the start
    EXPECT_STREQ(GridTextCell(r->column[0], 0), "abc");
}

TEST_F(GridKeys, ShiftExtendsTheBlockFromItsAnchor)
{
    GridMoveCurrentCell(grid, 2, 5, 1, 0);
    At(2, 5);
    for (int i = 0; i < 3; ++i)
        Press(grid, VK_DOWN, true);
    At(2, 8);
    EXPECT_EQ(r->selFirstRow, 5);
    EXPECT_EQ(r->selLastRow, 8);
    EXPECT_EQ(r->selFirstColumn, 2);
    EXPECT_EQ(r->selLastColumn, 2);
    EXPECT_EQ(r->anchorColumn, 2);
    EXPECT_EQ(r->anchorRow, 5);
    for (int i = 0; i < 3; ++i)
        Press(grid, VK_UP, true);
    At(2, 5);
    EXPECT_EQ(r->selFirstRow, -1) << "back on the anchor: no block";
    EXPECT_EQ(r->anchorColumn, -1);

    Press(grid, VK_RIGHT, true);
    Press(grid, VK_DOWN, true);
    EXPECT_EQ(r->selFirstColumn, 2);
    EXPECT_EQ(r->selLastColumn, 3);
    EXPECT_EQ(r->selLastRow, 6);
    Press(grid, VK_DOWN); // a move without Shift removes the block
    EXPECT_EQ(r->selFirstRow, -1);
}

TEST_F(GridKeys, MovesAreReportedAsFieldChanges)
{
    WMessageEnable(kEventFieldChanged, 1);
    DuringWait([this] { Press(grid, VK_DOWN); });
    ExpectEvents({{10, 501, 0, 0x40001, GridPackedCell(1, 0), "down: from the first cell to row 2"}});
    DuringWait([this] { Press(grid, VK_TAB); });
    ExpectEvents({{10, 501, 0, GridPackedCell(1, 0), GridPackedCell(1, 1), "Tab"}});
    DuringWait([this] { Press(grid, VK_UP); });
    ExpectEvents({{10, 501, 0, GridPackedCell(1, 1), GridPackedCell(0, 1), "up"}});
    DuringWait([this] { Press(grid, VK_UP); });
    GridEvent e = Next(500);
    EXPECT_TRUE(IsWatchdog(e)) << "a beep raises nothing: " << Describe(e);
}

TEST_F(GridKeys, BlockChangesAreReportedWithTheirCorners)
{
    WMessageEnable(kEventFieldChanged, 1);
    GridMoveCurrentCell(grid, 4, 0, 1, 0);
    Drain();
    // Shift+click on the header of column 2 (the current cell is in column 5).
    auto headerClick = [this](HWND header, int item, bool shift) {
        NMHEADERA n{};
        n.hdr.hwndFrom = header;
        n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
        n.hdr.code = HDN_ITEMCLICKA;
        n.iItem = item;
        Keys(shift, false);
        SendMessageA(grid, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
        Keys(false, false);
    };
    DuringWait([&] { headerClick(r->columnHeader, 2, true); });
    ExpectEvents({{10, 501, 2, GridPackedCell(0, 1), GridPackedCell(29, 4), "columns 2 to 5, all rows"}});
    EXPECT_EQ(r->selFirstColumn, 1);
    EXPECT_EQ(r->selLastColumn, 4);
    At(4, 0);

    DuringWait([&] { GridSelectionClear(grid); });
    ExpectEvents({{10, 501, 2, 0, 0, "the block removed"}});

    DuringWait([&] { headerClick(r->columnHeader, 0, false); });
    ExpectEvents({{10, 501, 2, 0x40001, GridPackedCell(29, 6), "the corner: the whole grid"}});

    // A row header without Shift: its row becomes the block, its first
    // visible cell current; the cell change comes first.
    const int firstColumn = r->firstVisibleColumn;
    DuringWait([&] { headerClick(r->rowHeaders[2], 0, false); });
    ExpectEvents({{10, 501, 0, kAny, GridPackedCell(2, firstColumn), "the row's first visible cell"}});
    At(firstColumn, 2);
    EXPECT_EQ(r->selFirstRow, 2);
    EXPECT_EQ(r->selLastRow, 2);
    EXPECT_EQ(r->selFirstColumn, 0);
    EXPECT_EQ(r->selLastColumn, 6);
}

TEST_F(GridKeys, AClickMovesTheCellAndTogglesACheckBox)
{
    WMessageEnable(kEventFieldChanged, 1);
    POINT p = CellCentre(r, 1, 2);
    DuringWait([&] {
        SendMessageA(r->cellArea, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(r->editor, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    });
    ExpectEvents({{10, 501, 0, kAny, GridPackedCell(2, 1), "the clicked cell"}});
    At(1, 2);
    EXPECT_EQ(GetFocus(), r->editor);

    // Make the check-box column visible, then click a box.
    SendMessageA(grid, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 4), 0);
    ASSERT_LE(r->firstVisibleColumn, 4);
    ASSERT_GE(r->lastVisibleColumn, 4);
    r->modified = 0;
    p = CellCentre(r, 4, 3);
    DuringWait([&] {
        SendMessageA(r->cellArea, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(r->editor, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    });
    ExpectEvents({
        {10, 501, 0, kAny, GridPackedCell(3, 4), "the box's cell"},
        {10, 501, 0, GridPackedCell(3, 4), GridPackedCell(3, 4), "its value changed"},
    });
    EXPECT_EQ(SendMessageA(r->editor, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(r->modified, 1);
    GridCellEditorStore(r);
    EXPECT_EQ(GridIntCell(r->column[4], 3), 1);
}

TEST_F(GridKeys, AProtectedMenuSnapsBackWithoutAnEvent)
{
    WMessageEnable(kEventFieldChanged, 1);
    r->column[5].states[1] |= kCellProtected;
    GridMoveCurrentCell(grid, 5, 1, 1, 0);
    Drain();
    r->modified = 0;
    DuringWait([this] {
        SendMessageA(r->editor, CB_SETCURSEL, 1, 0);
        SendMessageA(r->cellArea, WM_COMMAND, MAKEWPARAM(0xFFFF, CBN_SELCHANGE), reinterpret_cast<LPARAM>(r->editor));
    });
    GridEvent e = Next(500);
    EXPECT_TRUE(IsWatchdog(e)) << Describe(e);
    EXPECT_EQ(SendMessageA(r->editor, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(r->modified, 1);
}

TEST_F(GridKeys, EscInAMenuCellClosesTheDialogAsCancel)
{
    GridMoveCurrentCell(grid, 5, 0, 1, 0);
    Drain();
    DuringWait([this] { Press(grid, VK_ESCAPE); });
    GridEvent e = Next();
    EXPECT_EQ(e.type, kEventPushButton) << Describe(e);
    EXPECT_EQ(e.m.value1, IDCANCEL);
}

TEST_F(GridKeys, AnInvalidNumberKeepsItsCell)
{
    GridMoveCurrentCell(grid, 1, 0, 1, 0);
    Drain();
    ASSERT_EQ(GetFocus(), r->editor);
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    POINT p = CellCentre(r, 0, 3);
    SendMessageA(r->cellArea, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    At(1, 0);
    Press(grid, VK_DOWN);
    At(1, 0);
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("17"));
    SendMessageA(r->editor, EM_SETMODIFY, TRUE, 0);
    Press(grid, VK_DOWN);
    At(1, 1);
    EXPECT_EQ(GridIntCell(r->column[1], 0), 17);
}

// While the grid's size is locked its headers, cell area and in-cell editor
// are transparent to the mouse; otherwise they answer as usual.
TEST_F(GridKeys, ALockedGridIsTransparentToTheMouse)
{
    const HWND parts[] = {r->columnHeader, r->rowHeaders[0], r->cellArea, r->editor};
    auto hit = [](HWND w) {
        RECT rc{};
        GetWindowRect(w, &rc);
        return SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(rc.left + 2, rc.top + 2));
    };
    ASSERT_EQ(r->sizeLock, 0);
    for (HWND w : parts) {
        ASSERT_NE(w, nullptr);
        EXPECT_NE(hit(w), HTTRANSPARENT);
    }
    SendMessageA(grid, kGridSetUpLock, 0, 0);
    EXPECT_EQ(r->sizeLock, 1);
    for (HWND w : parts)
        EXPECT_EQ(hit(w), HTTRANSPARENT);
    r->sizeLock = 0;
}

// The in-cell editor's question for the default button goes through the
// cell area to the dialog, which presses its enabled default button.
TEST_F(GridKeys, TheDefaultButtonQuestionReachesTheDialog)
{
    LRESULT answer = 0;
    DuringWait([&] { answer = SendMessageA(r->cellArea, DM_GETDEFID, 0, 0); });
    GridEvent e = Next();
    EXPECT_EQ(e.type, kEventPushButton) << Describe(e);
    EXPECT_EQ(e.m.value1, IDOK);
    EXPECT_EQ(answer, MAKELRESULT(IDOK, DC_HASDEFID));

    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    DuringWait([&] { answer = SendMessageA(r->cellArea, DM_GETDEFID, 0, 0); });
    e = Next(500);
    EXPECT_TRUE(IsWatchdog(e)) << "a disabled default button is not pressed: " << Describe(e);
    EXPECT_EQ(answer, MAKELRESULT(IDOK, DC_HASDEFID));
}

// A spin cell's up-down control: a click steps the value; with Shift held
// the click goes to the edit instead and the value stays.
TEST_F(GridKeys, AShiftClickOnASpinCellsArrowsGoesToItsEdit)
{
    PutInt(r, 1, 0, 5);
    GridMoveCurrentCell(grid, 1, 0, 1, 0);
    Drain();
    FieldRecord* f = FieldRecordOf(r->editor);
    ASSERT_NE(f, nullptr);
    HWND ud = f->upDownBuddy;
    ASSERT_NE(ud, nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(ud, GWLP_WNDPROC)), GridShiftClickProc);
    static int editPresses;
    static WNDPROC editProc;
    editPresses = 0;
    editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        r->editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_LBUTTONDOWN)
                ++editPresses;
            return CallWindowProcA(editProc, w, m, wp, lp);
        })));
    auto text = [this] {
        char t[32] = {};
        GetWindowTextA(r->editor, t, sizeof t);
        return std::string(t);
    };
    RECT rc{};
    GetClientRect(ud, &rc);
    const LPARAM upper = MAKELPARAM(rc.right / 2, rc.bottom / 4);
    const std::string before = text();

    Keys(true, false);
    SendMessageA(ud, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, upper);
    SendMessageA(r->editor, WM_LBUTTONUP, MK_SHIFT, upper);
    Keys(false, false);
    EXPECT_EQ(editPresses, 1);
    EXPECT_EQ(text(), before);

    SendMessageA(ud, WM_LBUTTONDOWN, MK_LBUTTON, upper);
    SendMessageA(ud, WM_LBUTTONUP, 0, upper);
    EXPECT_EQ(editPresses, 1);
    EXPECT_NE(text(), before) << "a plain click steps the value";
    SetWindowLongPtrA(r->editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc));
    Drain();
}

} // namespace

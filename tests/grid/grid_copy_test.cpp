// The copy of a grid's state into a dialog's modal copy and back: the copy
// shares the loaded grid's cells and labels, takes its view and current cell
// with the editor's unstored text, and its own edits come back; destroying
// the copy leaves the loaded grid's storage alive.
#include "grid_fixture.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class GridCopy : public GridFixture {
protected:
    void TearDown() override
    {
        if (copy && IsWindow(copy))
            DestroyWindow(copy);
        gDialogTable.slot[0] = nullptr;
        GridFixture::TearDown();
    }
    HWND copy = nullptr;
};

TEST_F(GridCopy, TheModalCopyTakesTheGridInAndOut)
{
    HWND dialog = Load(500);
    ASSERT_NE(dialog, nullptr);
    HWND grid = GetDlgItem(dialog, 501);
    GridRecord* r = GridRecordOf(grid);
    ASSERT_NE(r, nullptr);
    PutText(r, 0, 9, "nine");
    SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 6), 0);
    GridMoveCurrentCell(grid, 0, 7, 0, 0);
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("unstored"));

    // The copy: a second window of the same template, made the running modal copy.
    copy = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(500), nullptr, PlainDialogProc, 0);
    ASSERT_NE(copy, nullptr);
    gDialogTable.slot[0] = copy;
    HWND copyGrid = GetDlgItem(copy, 501);
    GridCopyState(copyGrid, grid);
    GridRecord* c = GridRecordOf(copyGrid);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->setUp, 1);
    EXPECT_EQ(c->column, r->column) << "the cells are shared";
    EXPECT_EQ(c->labels, r->labels);
    EXPECT_EQ(c->firstVisibleRow, 6);
    EXPECT_EQ(c->currentRow, 7);
    ASSERT_NE(c->cellArea, nullptr);
    EXPECT_NE(c->cellArea, r->cellArea);
    ASSERT_NE(c->editor, nullptr);
    EXPECT_EQ(Text(c->editor), "unstored") << "the editor's live text comes along";
    EXPECT_EQ(GridCellText(c, 0, 9, 0), "nine");
    EXPECT_EQ(GetScrollPos(copyGrid, SB_VERT), 6);
    EXPECT_EQ(c->rowHeaderWindows, r->rowHeaderWindows);
    ASSERT_NE(c->rowHeaders, nullptr);
    ASSERT_NE(c->rowHeaders[0], nullptr);
    EXPECT_NE(c->rowHeaders[0], r->rowHeaders[0]);

    // The user works in the copy: a new cell, a new text.
    GridMoveCurrentCell(copyGrid, 0, 8, 0, 0);
    SendMessageA(c->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("edited"));
    EXPECT_STREQ(GridTextCell(r->column[0], 7), "unstored") << "the copy stored the text it took over";

    // Back: the loaded grid drops its stale editor and takes the copy's.
    GridCopyState(grid, copyGrid);
    EXPECT_EQ(r->currentRow, 8);
    ASSERT_NE(r->editor, nullptr);
    EXPECT_EQ(Text(r->editor), "edited");
    DestroyWindow(copy);
    copy = nullptr;
    gDialogTable.slot[0] = nullptr;
    EXPECT_STREQ(GridTextCell(r->column[0], 8), "edited") << "the copy stored its editor when it closed";
    EXPECT_EQ(GridCellText(r, 0, 9, 0), "nine") << "the loaded grid's storage lives on";
    GridMoveCurrentCell(grid, 1, 8, 0, 0);
    EXPECT_STREQ(GridTextCell(r->column[0], 8), "edited");
}

} // namespace

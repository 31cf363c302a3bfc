// Scroll positions after line, page, thumb and wheel scrolling, the scale of
// long grids, the current cell kept in view, and the cell area's resizing
// that creates and destroys row-header windows.
#include <vector>

#include "grid_fixture.h"

namespace {

class GridScroll : public GridFixture {
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
        ASSERT_LT(r->page, r->rows) << "the test grid must scroll";
    }
    LRESULT V(int code, int position = 0) { return SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(code, position), 0); }
    LRESULT H(int code, int position = 0) { return SendMessageA(grid, WM_HSCROLL, MAKEWPARAM(code, position), 0); }
    int BarPosition(int bar) { return GetScrollPos(grid, bar); }

    HWND dialog = nullptr;
    HWND grid = nullptr;
    GridRecord* r = nullptr;
};

TEST_F(GridScroll, LineAndPageStepsStopWithTheLastRowOnThePage)
{
    const int page = r->page;
    const int last = r->rows - page;
    struct Step {
        int code;
        int first;
        const char* why;
    };
    const std::vector<Step> steps = {
        {SB_LINEDOWN, 1, "line down"},
        {SB_LINEUP, 0, "line up"},
        {SB_LINEUP, 0, "nothing above row 0"},
        {SB_PAGEDOWN, page, "page down"},
        {SB_PAGEDOWN, std::min(2 * page, last), "again"},
        {SB_PAGEDOWN, std::min(3 * page, last), "again"},
        {SB_PAGEDOWN, std::min(4 * page, last), "again"},
        {SB_PAGEDOWN, last, "the last row stays on the last line"},
        {SB_LINEDOWN, last, "no further"},
        {SB_PAGEUP, last - page, "page up"},
        {SB_THUMBTRACK, last - page, "a dragged thumb moves nothing"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        V(s.code, 7);
        EXPECT_EQ(r->firstVisibleRow, s.first);
        EXPECT_EQ(BarPosition(SB_VERT), s.first);
        EXPECT_GE(r->currentRow, r->firstVisibleRow) << "the current row stays in view";
        EXPECT_LT(r->currentRow, r->firstVisibleRow + page);
    }
    V(SB_THUMBPOSITION, 0);
    EXPECT_EQ(r->firstVisibleRow, 0) << "released thumb";
    EXPECT_EQ(r->currentRow, page - 1) << "a row below the view becomes the last visible";
    V(SB_PAGEDOWN);
    EXPECT_EQ(r->currentRow, page) << "a row above the view becomes the first visible";
}

TEST_F(GridScroll, TheWheelScrollsWholeNotches)
{
    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), 0);
    EXPECT_EQ(r->firstVisibleRow, 3);
    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(r->firstVisibleRow, 3) << "half a notch waits";
    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(r->firstVisibleRow, 4);
    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    EXPECT_EQ(r->firstVisibleRow, 2);
    // The editor hands the wheel up to the grid.
    ASSERT_NE(r->editor, nullptr);
    SendMessageA(r->editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(r->firstVisibleRow, 3);
}

TEST_F(GridScroll, ScrollingNeverMarksTheGridModified)
{
    r->modified = r->modified2 = 0;
    V(SB_PAGEDOWN);
    H(SB_LINERIGHT);
    EXPECT_EQ(r->modified, 0);
    EXPECT_EQ(r->modified2, 0);
}

TEST_F(GridScroll, ColumnsScrollUpToTheLastScrollStart)
{
    ASSERT_GT(r->lastScrollStart, 0) << "the test grid's columns must not all fit";
    EXPECT_FALSE(GridColumnsFit(r, r->lastScrollStart - 1, r->columns - 1, GridCellAreaWidth(r)));
    EXPECT_TRUE(GridColumnsFit(r, r->lastScrollStart, r->columns - 1, GridCellAreaWidth(r)));
    H(SB_LINERIGHT);
    EXPECT_EQ(r->firstVisibleColumn, 1);
    EXPECT_EQ(BarPosition(SB_HORZ), 1);
    EXPECT_EQ(r->currentColumn, 1) << "the current column follows into view";
    H(SB_THUMBPOSITION, 6);
    EXPECT_EQ(r->firstVisibleColumn, r->lastScrollStart);
    EXPECT_EQ(r->lastVisibleColumn, r->columns - 1);
    H(SB_LINERIGHT);
    EXPECT_EQ(r->firstVisibleColumn, r->lastScrollStart);
    H(SB_LINELEFT);
    EXPECT_EQ(r->firstVisibleColumn, r->lastScrollStart - 1);
    const int first = r->firstVisibleColumn;
    H(SB_PAGELEFT);
    EXPECT_LT(r->firstVisibleColumn, first);
    EXPECT_TRUE(GridColumnsFit(r, r->firstVisibleColumn, first - 1, GridCellAreaWidth(r)));
    H(SB_THUMBTRACK, 3);
    EXPECT_LT(r->firstVisibleColumn, first);
}

TEST_F(GridScroll, LongGridsScaleTheirBar)
{
    HWND d = Load(530);
    ASSERT_NE(d, nullptr);
    struct Case {
        int id;
        int scale;
        int maximum;
    };
    for (const Case& c : {Case{531, 1, 65535}, Case{532, 2, 32767}}) {
        SCOPED_TRACE(c.id);
        HWND g = GetDlgItem(d, c.id);
        GridRecord* lr = GridRecordOf(g);
        ASSERT_NE(lr, nullptr);
        EXPECT_EQ(lr->scrollScale, c.scale);
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE;
        ASSERT_TRUE(GetScrollInfo(g, SB_VERT, &si));
        EXPECT_EQ(si.nMax, c.maximum);
        // A released thumb lands on its position times the scale; the line
        // step stays one row.
        SendMessageA(g, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), 0);
        EXPECT_EQ(lr->firstVisibleRow, 1000 * c.scale);
        SendMessageA(g, WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(lr->firstVisibleRow, 1000 * c.scale + 1);
        EXPECT_EQ(GetScrollPos(g, SB_VERT), (1000 * c.scale + 1) / c.scale);
    }
}

TEST_F(GridScroll, TheFocusBringsTheCurrentCellIntoView)
{
    SetFocus(GetDlgItem(dialog, 502));
    V(SB_THUMBPOSITION, 12);
    H(SB_THUMBPOSITION, 3);
    ASSERT_EQ(r->currentRow, 12);
    // Put the current cell far from the view without scrolling.
    GridMoveCurrentCell(grid, 0, 2, 0, 0);
    ASSERT_EQ(r->firstVisibleRow, 12);
    SetFocus(grid);
    EXPECT_EQ(r->firstVisibleRow, 2);
    EXPECT_EQ(r->firstVisibleColumn, 0);
    EXPECT_EQ(r->currentRow, 2);
    EXPECT_EQ(r->currentColumn, 0);
    EXPECT_EQ(GetFocus(), r->editor);
}

TEST_F(GridScroll, ResizingTheCellAreaMakesAndDropsRowHeaders)
{
    auto headerWindows = [this] {
        int n = 0;
        for (HWND c = GetWindow(grid, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (c != r->columnHeader && c != r->cellArea)
                ++n;
        return n;
    };
    const int pitch = r->rowHeight - 1;
    RECT w;
    GetWindowRect(grid, &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    const int page = r->page;
    EXPECT_EQ(headerWindows(), r->rowHeaderWindows);

    SetWindowPos(grid, nullptr, 0, 0, width, height - 3 * pitch, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(r->page, page - 3);
    EXPECT_EQ(r->rowHeaderWindows, page - 2);
    EXPECT_EQ(headerWindows(), page - 2);

    SetWindowPos(grid, nullptr, 0, 0, width, height + 2 * pitch, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(r->page, page + 2);
    EXPECT_EQ(r->rowHeaderWindows, page + 3);
    EXPECT_EQ(r->rowsShown, page + 3);
    EXPECT_EQ(headerWindows(), page + 3);
    char text[32] = {};
    HDITEMA it{};
    it.mask = HDI_TEXT;
    it.pszText = text;
    it.cchTextMax = sizeof text;
    SendMessageA(r->rowHeaders[page + 2], HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_STREQ(text, ("R" + std::to_string(page + 3)).c_str()) << "a new row header shows its row's label";
}

TEST_F(GridScroll, DraggedColumnsKeepAMinimumWidth)
{
    auto notify = [this](UINT code, int item, int width) {
        HDITEMA it{};
        it.mask = HDI_WIDTH;
        it.cxy = width;
        NMHEADERA n{};
        n.hdr.hwndFrom = r->columnHeader;
        n.hdr.idFrom = 0;
        n.hdr.code = code;
        n.iItem = item;
        n.pitem = &it;
        LRESULT answer = SendMessageA(grid, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
        return std::make_pair(answer, it.cxy);
    };
    EXPECT_EQ(notify(HDN_BEGINTRACKA, 1, 0).first, TRUE) << "no dragging without GridStyle 0x2000";

    auto [answer, written] = notify(HDN_TRACKA, 1, 5);
    EXPECT_EQ(r->column[0].width, 14);
    EXPECT_EQ(written, 13) << "the clamped width goes back into the dragged item";
    RECT e;
    GetWindowRect(r->editor, &e);
    EXPECT_EQ(e.right - e.left, 14) << "the editor in that column follows";

    notify(HDN_TRACKA, 6, 5);
    EXPECT_EQ(r->column[5].width, 14 + GetSystemMetrics(SM_CXVSCROLL)) << "a menu column keeps room for its button";
    notify(HDN_TRACKA, 1, 60);
    EXPECT_EQ(r->column[0].width, 61);
}

TEST_F(GridScroll, AGridWithFewerRowsThanItsPageDoesNotScroll)
{
    HWND d = Load(510);
    HWND g = GetDlgItem(d, 511);
    GridRecord* sr = GridRecordOf(g);
    ASSERT_NE(sr, nullptr);
    RECT w;
    GetWindowRect(g, &w);
    SetWindowPos(g, nullptr, 0, 0, w.right - w.left, 10 * sr->rowHeight, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_GE(sr->page, sr->rows);
    SendMessageA(g, WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageA(g, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(sr->firstVisibleRow, 0);
}

} // namespace

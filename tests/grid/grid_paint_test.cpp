// Painting of the cell area, read back at computed cell centres: default,
// protected, cell, column and grid-field colours, the highlighted block,
// read-only grids with and without their colours, a disabled grid, and the
// check-box images. Cell geometry comes from the grid's own row height (the
// platform's drop-down list), never from fixed pixel sizes.
#include <cstdlib>
#include <vector>

#include "grid/grid_engine.h"
#include "grid_fixture.h"

namespace {

constexpr COLORREF kRed = RGB(200, 30, 40);
constexpr COLORREF kBlue = RGB(10, 120, 200);
constexpr COLORREF kGreen = RGB(40, 160, 60);

class GridPaint : public GridFieldFixture {
protected:
    void Open(int resource, int id)
    {
        GridFieldFixture::Open(resource, id);
        if (!HasFatalFailure())
            Show(dialog);
    }
    COLORREF At(int column, int row)
    {
        Repaint(r);
        return PixelAt(r->cellArea, CellCentre(r, column, row));
    }
    // Sets the background of one cell through a colour record of its column.
    void CellBackground(int column, int row, COLORREF c)
    {
        GridColumnRecord& col = r->column[column];
        if (!col.colours)
            col.colours = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(r->rowsAllocated), kGridColourBytes));
        uint8_t* k = col.colours + row * kGridColourBytes;
        k[0] |= 2;
        k[4] = GetRValue(c);
        k[5] = GetGValue(c);
        k[6] = GetBValue(c);
    }
};

TEST_F(GridPaint, CellColoursAtTheirCentres)
{
    Open(500, 501);
    SetFocus(GetDlgItem(dialog, 502)); // no highlight, no editor over the cells in question
    EXPECT_EQ(At(0, 3), GetSysColor(COLOR_WINDOW)) << "an empty editable cell";
    r->column[0].states[2] |= kCellProtected;
    EXPECT_EQ(At(0, 2), GetSysColor(COLOR_BTNFACE)) << "a protected cell on the button face";
    CellBackground(0, 4, kRed);
    EXPECT_EQ(At(0, 4), kRed) << "a cell colour";
    EXPECT_EQ(At(0, 3), GetSysColor(COLOR_WINDOW)) << "its neighbour keeps the default";
    FieldRecordOf(r->column[1].control)->backColour = static_cast<int>(kBlue);
    EXPECT_EQ(At(1, 5), kBlue) << "the column control's colour";
    FieldRecordOf(grid)->backColour = static_cast<int>(kGreen);
    EXPECT_EQ(At(2, 5), kGreen) << "the grid field's colour where the column has none";
    EXPECT_EQ(At(1, 5), kBlue);
    EXPECT_EQ(At(0, 5), kGreen) << "a cell record without a background falls back to the grid field";
}

TEST_F(GridPaint, TheBlockIsHighlightedWhileTheGridHasTheFocus)
{
    Open(500, 501);
    SetFocus(grid);
    Drain();
    ASSERT_GE(r->rowsShown, 3);
    GridSelectionSet(grid, 1, 2, 0, 1);
    EXPECT_EQ(At(0, 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(1, 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(2, 2), GetSysColor(COLOR_WINDOW));
    SetFocus(GetDlgItem(dialog, 502));
    Drain();
    EXPECT_EQ(At(0, 1), GetSysColor(COLOR_WINDOW)) << "without the focus the block is not shown";
}

TEST_F(GridPaint, ReadOnlyGridsShowTheirColoursOnlyWhenAsked)
{
    dialog = Load(520);
    ASSERT_NE(dialog, nullptr);
    Show(dialog);
    for (int id : {521, 522}) {
        SCOPED_TRACE(id);
        grid = GetDlgItem(dialog, id);
        r = GridRecordOf(grid);
        ASSERT_NE(r, nullptr);
        CellBackground(0, 2, kRed);
        const bool shows = id == 522;
        EXPECT_EQ(At(0, 2), shows ? kRed : GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(At(0, 3), GetSysColor(COLOR_BTNFACE)) << "the default of a read-only grid";
    }
}

TEST_F(GridPaint, ADisabledGridIsGreyed)
{
    Open(500, 501);
    CellBackground(0, 4, kRed);
    EnableWindow(grid, FALSE);
    EXPECT_EQ(r->editor, nullptr) << "no editor while disabled";
    EXPECT_EQ(At(0, 4), GetSysColor(COLOR_BTNFACE));
    EnableWindow(grid, TRUE);
    EXPECT_NE(r->editor, nullptr);
    EXPECT_EQ(At(0, 4), kRed);
}

TEST_F(GridPaint, CheckBoxCellsShowTheirState)
{
    Open(500, 501);
    SendMessageA(grid, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 4), 0);
    ASSERT_LE(r->firstVisibleColumn, 4);
    ASSERT_GE(r->lastVisibleColumn, 4);
    SetFocus(GetDlgItem(dialog, 502));
    GridIntCell(r->column[4], 3) = 1;
    GridIntCell(r->column[4], 4) = 0;
    Repaint(r);
    // Count the pixels of each interior that differ between the two cells.
    RECT a = GridCellInterior(r, 4, 3), b = GridCellInterior(r, 4, 4);
    HDC dc = GetDC(r->cellArea);
    int differing = 0, highlight = 0;
    for (int y = 0; y < a.bottom - a.top; ++y)
        for (int x = 0; x < a.right - a.left; ++x)
            if (GetPixel(dc, a.left + x, a.top + y) != GetPixel(dc, b.left + x, b.top + y))
                ++differing;
    ReleaseDC(r->cellArea, dc);
    EXPECT_GT(differing, 4) << "checked and unchecked look different";

    SetFocus(grid);
    Drain();
    GridSelectionSet(grid, 3, 4, 4, 4);
    Repaint(r);
    dc = GetDC(r->cellArea);
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x)
            if (GetPixel(dc, x, y) == GetSysColor(COLOR_HIGHLIGHT))
                ++highlight;
    ReleaseDC(r->cellArea, dc);
    EXPECT_GT(highlight, (b.right - b.left) * (b.bottom - b.top) / 2) << "a highlighted box on the highlight colour";
}

// The first and last screen column, inside the interior of cell (COLUMN,
// ROW), that holds a pixel of colour INK; -1 and -1 when none does.
void InkSpan(GridRecord* r, int column, int row, COLORREF ink, int& first, int& last)
{
    RECT in = GridCellInterior(r, column, row);
    MapWindowPoints(r->cellArea, nullptr, reinterpret_cast<POINT*>(&in), 2);
    HDC screen = GetDC(nullptr);
    first = last = -1;
    for (int x = in.left; x < in.right; ++x)
        for (int y = in.top; y < in.bottom; ++y)
            if (GetPixel(screen, x, y) == ink) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    ReleaseDC(nullptr, screen);
}

TEST_F(GridPaint, AlignedTextsStandAsTheEditorPlacesThem)
{
    // A painted cell and the editor over it, for left-aligned texts,
    // right-aligned reals (grid 501) and centred texts (the benchmark's
    // column 7): whatever the alignment and the text's width, the painted
    // text keeps one and the same distance from the editor's.
    struct Case {
        int column;
        const char* text;
    };
    struct Grid {
        int resource, id;
        std::vector<Case> cases;
    };
    const Grid grids[] = {
        {500, 501, {{0, "ab"}, {0, "left"}, {2, "1.5"}, {2, "-12345.5"}}},
        {545, 541, {{6, "m"}, {6, "mid"}, {6, "centre"}}},
    };
    int offset = 0;
    bool first = true;
    for (const Grid& g : grids) {
        DialogTableDestroyAll();
        Open(g.resource, g.id);
        for (const Case& c : g.cases) {
            SCOPED_TRACE(c.text);
            GridMoveCurrentCell(grid, c.column, 4, 0, 0);
            int id = g.id;
            GridPutCellText(id, c.column, 3, 0.0, c.text, "");
            SetFocus(nullptr);
            Repaint(r);
            Drain();
            const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
            int paintedFirst, paintedLast;
            InkSpan(r, c.column, 3, ink, paintedFirst, paintedLast);
            ASSERT_GE(paintedFirst, 0) << "the painted text";
            GridMoveCurrentCell(grid, c.column, 3, 0, 0);
            Drain();
            int shownFirst, shownLast;
            InkSpan(r, c.column, 3, ink, shownFirst, shownLast);
            ASSERT_GE(shownFirst, 0) << "the editor's text";
            if (first)
                offset = shownFirst - paintedFirst;
            first = false;
            EXPECT_LE(std::abs(shownFirst - paintedFirst - offset), 1);
            EXPECT_LE(std::abs(shownLast - paintedLast - offset), 1);
        }
    }
}

} // namespace

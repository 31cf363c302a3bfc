// Cell storage and its services: the text of every cell type in the display
// and printing forms, the state bits the in-cell editor's store and load
// keep, the exchange of two rows, and the repaint of one cell.
#include <cfloat>
#include <vector>

#include "grid_fixture.h"

namespace {

class GridCells : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        dialog = Load(500);
        ASSERT_NE(dialog, nullptr);
        grid = GetDlgItem(dialog, 501);
        r = GridRecordOf(grid);
        ASSERT_NE(r, nullptr);
    }
    HWND dialog = nullptr;
    HWND grid = nullptr;
    GridRecord* r = nullptr;
};

TEST_F(GridCells, TextOfEveryTypeInBothForms)
{
    PutText(r, 0, 5, "hello");
    PutInt(r, 1, 5, 42);
    PutReal(r, 2, 5, 1.5f);
    PutDouble(r, 3, 5, 2.25);
    GridIntCell(r->column[4], 5) = 1;
    GridIntCell(r->column[5], 5) = 1;
    PutInt(r, 1, 6, 7, false);         // a number without the has-value bit
    GridDoubleCell(r->column[3], 6) = 9.5; // likewise
    GridIntCell(r->column[5], 6) = -1; // no option
    struct Case {
        int column, row;
        std::string display, printing;
    };
    const std::vector<Case> cases = {
        {0, 5, "hello", "hello"}, {1, 5, "42", "42"},          {2, 5, "1.5000", "1.5000"},
        {3, 5, "2.250", "2.250"}, {4, 5, "Yes", "\xFC"},       {5, 5, "c", "c"},
        {1, 6, "", ""},           {3, 6, "", ""},              {4, 6, "No", "\xFB"},
        {5, 6, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("cell " + std::to_string(c.column) + "," + std::to_string(c.row));
        EXPECT_EQ(GridCellText(r, c.column, c.row, 0), c.display);
        EXPECT_EQ(GridCellText(r, c.column, c.row, 1), c.printing);
        char buffer[64];
        GridCellToText(r, c.column, c.row, buffer, 0);
        EXPECT_EQ(std::string(buffer), c.display);
    }

    // A menu column without options shows nothing, whatever its index.
    SendMessageA(r->column[5].control, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(GridCellText(r, 5, 5, 0), "");

    // The current cell's text comes from its editor, stored or not.
    ASSERT_NE(r->editor, nullptr);
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
    EXPECT_EQ(GridCellText(r, 0, 0, 0), "typed");
    EXPECT_STREQ(GridTextCell(r->column[0], 0), "");
    GridMoveCurrentCell(grid, 4, 5, 0, 0);
    SendMessageA(r->editor, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(GridCellText(r, 4, 5, 0), "No");
    EXPECT_EQ(GridIntCell(r->column[4], 5), 1) << "not stored yet";
    EXPECT_STREQ(GridTextCell(r->column[0], 0), "typed") << "the move stored the text editor";
}

TEST_F(GridCells, TextCellsKeepTheirLimitWithoutReservingIt)
{
    GridColumnRecord& c = r->column[0]; // 20 characters
    ASSERT_TRUE(GridTextCellSet(c, 3, "0123456789012345678901234"));
    EXPECT_STREQ(GridTextCell(c, 3), "01234567890123456789");
    ASSERT_TRUE(GridTextCellSet(c, 3, ""));
    EXPECT_EQ(static_cast<char**>(c.cells)[3], nullptr) << "an empty text holds no storage";
}

TEST_F(GridCells, EditorStoreKeepsOrClearsTheValue)
{
    PutInt(r, 1, 2, 5);
    GridMoveCurrentCell(grid, 1, 2, 0, 0);
    ASSERT_NE(r->editor, nullptr);
    EXPECT_EQ(Text(r->editor), "5");
    FieldRecord* f = FieldRecordOf(r->editor);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->value, 5.0);
    EXPECT_EQ(f->hasValue, 1);

    GridCellEditorStore(r); // untouched: the stored number stays
    EXPECT_EQ(GridIntCell(r->column[1], 2), 5);
    EXPECT_TRUE(r->column[1].states[2] & kCellHasValue);

    f->value = 7.9; // unedited: the record's value, truncated
    GridCellEditorStore(r);
    EXPECT_EQ(GridIntCell(r->column[1], 2), 7);

    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("12.6"));
    SendMessageA(r->editor, EM_SETMODIFY, TRUE, 0);
    GridCellEditorStore(r); // edited: parsed and rounded
    EXPECT_EQ(GridIntCell(r->column[1], 2), 13);

    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    SendMessageA(r->editor, EM_SETMODIFY, TRUE, 0);
    GridCellEditorStore(r);
    EXPECT_FALSE(r->column[1].states[2] & kCellHasValue) << "an emptied text clears the value";
    EXPECT_TRUE(r->column[1].states[2] & kCellNonBlank) << "bit 2 is left by the editor's store";
    EXPECT_EQ(GridCellText(r, 1, 2, 0), "");

    // The has-value bit of a loaded editor is the cell's state bit 2.
    GridMoveCurrentCell(grid, 1, 3, 0, 0);
    EXPECT_EQ(FieldRecordOf(r->editor)->hasValue, 0);
    EXPECT_EQ(Text(r->editor), "");
}

TEST_F(GridCells, NumbersOutOfRangeAreStoredWithoutOverflow)
{
    struct Case {
        int column;
        const char* text;
        double expected;
    };
    const std::vector<Case> cases = {
        {1, "1e12", 2147483647.0},
        {1, "-1e12", -2147483648.0},
        {2, "1e39", static_cast<double>(FLT_MAX)},
        {3, "1e300", 1e300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        GridMoveCurrentCell(grid, c.column, 4, 0, 0);
        ASSERT_NE(r->editor, nullptr);
        SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
        SendMessageA(r->editor, EM_SETMODIFY, TRUE, 0);
        GridCellEditorStore(r);
        double stored = c.column == 1   ? GridIntCell(r->column[1], 4)
                        : c.column == 2 ? GridRealCell(r->column[2], 4)
                                        : GridDoubleCell(r->column[3], 4);
        EXPECT_EQ(stored, c.expected);
    }
}

TEST_F(GridCells, SwapRowsFollowsTheRulesOfEachType)
{
    PutText(r, 0, 3, "three");
    PutText(r, 0, 8, "eight");
    r->column[0].states[3] |= kCellProtected;
    PutInt(r, 1, 3, 3);
    PutInt(r, 1, 8, 8);
    r->column[1].states[3] |= kCellProtected;
    GridIntCell(r->column[4], 3) = 1;
    GridIntCell(r->column[4], 8) = 0;
    r->column[4].states[8] |= kCellProtected;
    GridIntCell(r->column[5], 3) = 0;
    GridIntCell(r->column[5], 8) = 1;
    r->modified = r->modified2 = 0;

    int id = 501, a = 3, b = 8, labels = 1;
    GridSwapRows(id, a, b, labels);
    EXPECT_STREQ(GridTextCell(r->column[0], 3), "eight");
    EXPECT_STREQ(GridTextCell(r->column[0], 8), "three");
    EXPECT_TRUE(r->column[0].states[3] & kCellProtected) << "text states stay";
    EXPECT_EQ(GridIntCell(r->column[1], 3), 8);
    EXPECT_EQ(GridIntCell(r->column[1], 8), 3);
    EXPECT_TRUE(r->column[1].states[8] & kCellProtected) << "number states move with the values";
    EXPECT_FALSE(r->column[1].states[3] & kCellProtected);
    EXPECT_EQ(GridIntCell(r->column[4], 3), 0);
    EXPECT_EQ(GridIntCell(r->column[4], 8), 1);
    EXPECT_TRUE(r->column[4].states[8] & kCellProtected) << "check-box states stay";
    EXPECT_EQ(GridIntCell(r->column[5], 3), 1);
    EXPECT_STREQ(r->labels + 3 * kGridLabelBytes, "R9");
    EXPECT_STREQ(r->labels + 8 * kGridLabelBytes, "R4");
    EXPECT_EQ(r->modified, 1);
    EXPECT_EQ(r->modified2, 1);

    // A row with itself: unchanged.
    a = b = 3;
    GridSwapRows(id, a, b, labels);
    EXPECT_STREQ(GridTextCell(r->column[0], 3), "eight");
    EXPECT_EQ(GridIntCell(r->column[1], 3), 8);

    // The edited, unstored editor value travels with its row; the editor
    // shows the row that arrives.
    GridMoveCurrentCell(grid, 1, 3, 0, 0);
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("99"));
    SendMessageA(r->editor, EM_SETMODIFY, TRUE, 0);
    a = 3;
    b = 8;
    GridSwapRows(id, a, b, labels);
    EXPECT_EQ(GridIntCell(r->column[1], 8), 99);
    EXPECT_EQ(Text(r->editor), "3");
}

TEST_F(GridCells, OneCellIsRepaintedOnlyWhenShown)
{
    Show(dialog);
    ValidateRect(r->cellArea, nullptr);
    GridCellInvalidate(r, 0, r->rows - 1, 0);
    EXPECT_FALSE(GetUpdateRect(r->cellArea, nullptr, FALSE)) << "a row below the view";
    GridCellInvalidate(r, 1, 2, 0);
    RECT u;
    ASSERT_TRUE(GetUpdateRect(r->cellArea, &u, FALSE));
    POINT centre = CellCentre(r, 1, 2);
    EXPECT_TRUE(PtInRect(&u, centre));
    UpdateWindow(r->cellArea);
}

} // namespace

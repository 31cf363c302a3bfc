// The public grid routines: the error each one reports, numbers read and
// written with their formats, the row count, and rows inserted and deleted
// with their cells, protection, labels and the in-cell editor's value.
#include <functional>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/fixed_text.h"
#include "dialogs/message_box.h"
#include "grid/grid_engine.h"
#include "grid/grid_public.h"
#include "grid_fixture.h"

namespace {

class GridPublic : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        gDialogStatus.undefinedInteger = -999;
        gDialogStatus.undefinedReal = -999.0f;
        gDialogStatus.undefinedDouble = -999.0;
    }
    GridRecord* Open(int dialogId, int gridId)
    {
        HWND d = Load(dialogId);
        return d ? GridRecordOf(GetDlgItem(d, gridId)) : nullptr;
    }
    static std::string CellString(int id, int column, int row)
    {
        FixedText<40> text;
        WGridGetCellString(id, column, row, text.span());
        return std::string(text.trimmed());
    }
};

TEST_F(GridPublic, EachRoutineReportsItsErrors)
{
    GridRecord* r = Open(550, 551);
    ASSERT_NE(r, nullptr);
    GridIntCell(r->column[6], 0) = 1;
    int value = 0;
    float real = 0.0f;
    FixedText<8> text;
    struct Case {
        const char* what;
        std::function<void()> call;
        int code;
    };
    const std::vector<Case> cases = {
        {"no such grid", [&] { WGridSetCell(999, 1, 1); }, kErrorFieldIdentifier},
        {"column beyond the grid", [&] { WGridSetCell(551, 9, 1); }, kErrorCellRange},
        {"row 0", [&] { WGridClearCell(551, 1, 0); }, kErrorCellRange},
        {"clearing a menu cell", [&] { WGridClearCell(551, 7, 1); }, kErrorCellRange},
        {"label beyond the rows allocated", [&] { WGridLabelRow(551, 13, "x"); }, kErrorCellRange},
        {"option of a check box", [&] { WGridPutCellOption(551, 6, 1, 1); }, kErrorCellRange},
        {"check box of a text", [&] { WGridPutCellCheckBox(551, 1, 1, 1); }, kErrorCellRange},
        {"string of a check box", [&] { WGridGetCellString(551, 6, 1, text.span()); }, kErrorCellRange},
        {"integer of an empty cell", [&] { WGridGetCellInteger(551, 2, 1, value); }, kErrorFieldUndefined},
        {"real of an empty cell", [&] { WGridGetCellReal(551, 4, 1, real); }, kErrorFieldUndefined},
        {"integer outside the range", [&] { WGridPutCellInteger(551, 3, 1, 500); }, kErrorFieldValueRange},
        {"no rows", [&] { WGridRows(551, 0); }, kErrorGridTooManyRows},
        {"insert below the rows", [&] { WGridInsertRows(551, 13); }, kErrorCellRange},
        {"insert no rows", [&] { const int none = 0; WGridInsertRows(551, 1, &none); }, kErrorCellRange},
        {"delete a negative count", [&] { const int back = -2; WGridDeleteRows(551, 3, &back); }, kErrorCellRange},
        {"sort by column 9", [&] { WGridSort(551, 9); }, kErrorCellRange},
        {"find in no grid", [&] { WGridFind(999, "x"); }, kErrorFieldIdentifier},
        {"a grid editor's grid (none is open)", [&] { WGridGetCellMenu(0, 7, 1, value); }, kErrorFieldIdentifier},
    };
    for (const Case& c : cases) {
        gErrorState.lastCode = 0;
        c.call();
        EXPECT_EQ(gErrorState.lastCode, c.code) << c.what;
    }
    EXPECT_EQ(value, -999) << "an empty cell reads as the blank-field value";
    EXPECT_EQ(real, -999.0f);
    EXPECT_EQ(GridIntCell(r->column[2], 0), 0) << "a number outside the range is not stored";
    EXPECT_EQ(GridIntCell(r->column[6], 0), 1) << "a menu cell keeps its option";
    EXPECT_EQ(r->rows, 12);

    // Success leaves the last error as it was.
    gErrorState.lastCode = 77;
    WGridPutCellInteger(551, 3, 1, 100);
    WGridLabelRow(551, 12, "last");
    WGridGetCellInteger(551, 3, 1, value);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(gErrorState.lastCode, 77);

    // Too many rows: the rows allocated, and still 1018.
    WGridRows(551, 17);
    EXPECT_EQ(r->rows, 12);
    EXPECT_EQ(gErrorState.lastCode, kErrorGridTooManyRows);

    // Without a current dialog only the grid editor's identifier 0 is looked for.
    DialogTableDestroyAll();
    struct NoDialog {
        const char* what;
        std::function<void()> call;
        int code;
    };
    const std::vector<NoDialog> none = {
        {"a field", [&] { WGridSetCell(551, 1, 1); }, kErrorNoDialog},
        {"identifier 0", [&] { WGridSetCell(0, 1, 1); }, kErrorFieldIdentifier},
        {"find with identifier 0", [&] { WGridFind(0, "x"); }, kErrorFieldIdentifier},
        {"sort with identifier 0", [&] { WGridSort(0, 1); }, kErrorNoDialog},
        {"rows of a field", [&] { WGridRows(551, 3); }, kErrorNoDialog},
    };
    for (const NoDialog& c : none) {
        gErrorState.lastCode = 0;
        c.call();
        EXPECT_EQ(gErrorState.lastCode, c.code) << c.what;
    }
}

TEST_F(GridPublic, NumbersWithTheirFormats)
{
    GridRecord* r = Open(550, 551);
    ASSERT_NE(r, nullptr);
    GridMoveCurrentCell(GetDlgItem(DialogCurrentWindow(), 551), 0, 11, 0, 0);
    PutReal(r, 3, 5, 2.9f);
    PutReal(r, 3, 6, -2.9f);
    PutText(r, 0, 7, " 1.5 ");
    int i = 0;
    WGridGetCellInteger(551, 4, 6, i);
    EXPECT_EQ(i, 2) << "truncated toward zero";
    WGridGetCellInteger(551, 4, 7, i);
    EXPECT_EQ(i, -2);
    double d = 0.0;
    WGridGetCellDouble(551, 1, 8, d);
    EXPECT_EQ(d, 1.5) << "a text cell holding a number";

    // A format of its own shows the value in it and becomes the column's.
    WGridPutCellReal(551, 4, 1, 2.5f, "(F6.2)");
    EXPECT_EQ(CellString(551, 4, 1), "2.50");
    EXPECT_EQ(CellString(551, 4, 6), "2.90") << "the whole column takes it";
    WGridPutCellReal(551, 4, 2, 1.25f, "      ");
    EXPECT_EQ(CellString(551, 4, 2), "1.25") << "a blank format keeps the column's";
    WGridPutCellInteger(551, 1, 3, 42);
    EXPECT_EQ(CellString(551, 1, 3), "42") << "a text column receives the text";

    // A row outside the view gets the text of its value too.
    GridRecord* q = Open(500, 501);
    ASSERT_NE(q, nullptr);
    ASSERT_LT(q->firstVisibleRow + q->rowsShown, 29) << "row 29 lies outside the view";
    WGridPutCellDouble(501, 1, 29, 3.25, "(F5.2)");
    EXPECT_EQ(CellString(501, 1, 29), "3.25");
    WGridPutCellInteger(501, 1, 30, -7);
    EXPECT_EQ(CellString(501, 1, 30), "-7");
}

// Grid 501 cut to 10 rows: texts t1..t10, integers 1..10, menu options
// alternating, and the current cell moved out of the way.
class GridRowMoves : public GridPublic {
protected:
    void SetUp() override
    {
        GridPublic::SetUp();
        r = Open(500, 501);
        ASSERT_NE(r, nullptr);
        grid = GetDlgItem(DialogCurrentWindow(), 501);
        WGridRows(501, 10);
        ASSERT_EQ(r->rows, 10);
        GridMoveCurrentCell(grid, 2, 9, 0, 0);
        for (int row = 0; row < 10; ++row) {
            PutText(r, 0, row, ("t" + std::to_string(row + 1)).c_str());
            PutInt(r, 1, row, row + 1);
            GridIntCell(r->column[5], row) = (row + 1) % 2;
        }
    }
    // The texts of column 1, rows 1..10, as one line.
    std::string Texts()
    {
        std::string all;
        for (int row = 1; row <= 10; ++row)
            all += CellString(501, 1, row) + ",";
        return all;
    }
    std::string Label(int row)
    {
        char label[64];
        int id = 501;
        GridGetRowLabel(id, row - 1, label);
        return label;
    }
    GridRecord* r = nullptr;
    HWND grid = nullptr;
};

TEST_F(GridRowMoves, InsertingMovesRowsDownAndEmptiesTheOpenedOnes)
{
    r->column[1].states[2] |= kCellProtected; // row 3
    r->column[0].states[3] |= kCellProtected; // row 4
    GridMoveCurrentCell(grid, 0, 2, 0, 0);    // row 3, with a text not yet stored
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("edited"));
    const int count = 3, labels = 1;
    WGridInsertRows(501, 2, &count, nullptr, &labels);
    EXPECT_EQ(Texts(), "t1,,,,t2,edited,t4,t5,t6,t7,");
    EXPECT_EQ(Text(r->editor), "") << "the editor shows its row's new, empty cell";
    EXPECT_EQ(r->rows, 10) << "without grow the rows stay";
    int option = 0;
    WGridGetCellMenu(501, 6, 3, option);
    EXPECT_EQ(option, 1) << "an opened menu cell shows option 1";
    WGridGetCellMenu(501, 6, 5, option);
    EXPECT_EQ(option, 1) << "row 2's option";
    EXPECT_TRUE(r->column[1].states[5] & kCellProtected) << "protection moves with the cell";
    EXPECT_TRUE(r->column[1].states[2] & kCellProtected) << "an opened row keeps its own protection";
    EXPECT_TRUE(r->column[0].states[6] & kCellProtected);
    EXPECT_EQ(Label(5), "  x") << "row 2's label";
    EXPECT_EQ(Label(2), "") << "an opened row's label";
    EXPECT_EQ(Label(1), "First");
    int value = 0;
    WGridGetCellInteger(501, 2, 10, value);
    EXPECT_EQ(value, 7);

    // With grow the rows that still fit stay.
    const int one = 1;
    WGridInsertRows(501, 1, &one, &one);
    EXPECT_EQ(r->rows, 11);
    EXPECT_EQ(CellString(501, 1, 11), "t7");
    EXPECT_EQ(r->modified, 1);
}

TEST_F(GridRowMoves, DeletingMovesRowsUpAndEmptiesTheFreedOnes)
{
    const int four = 4;
    WGridDeleteRows(501, 9, &four);
    EXPECT_EQ(Texts(), "t1,t2,t3,t4,t5,t6,t7,t8,,,") << "only rows 9 and 10 exist to delete";
    EXPECT_EQ(r->rows, 10);

    const int two = 2, shrink = 1;
    WGridDeleteRows(501, 2, &two, &shrink);
    EXPECT_EQ(r->rows, 8);
    WGridRows(501, 10);
    EXPECT_EQ(Texts(), "t1,t4,t5,t6,t7,t8,,,,,") << "deleted rows never come back";

    // A moved number outside a range narrowed meanwhile is refused and reported.
    int id = 501;
    GridPutColumnRange(id, 1, 0.0, 5.0);
    gErrorState.lastCode = 0;
    WGridDeleteRows(501, 1);
    EXPECT_EQ(gErrorState.lastCode, kErrorFieldValueRange);
    int value = 0;
    WGridGetCellInteger(501, 2, 3, value);
    EXPECT_EQ(value, 5) << "row 4's value 6 is refused; row 3 keeps its own";

    // Deleting every row with shrink empties them; no row count of 0 is
    // asked for without its report, and the count stays.
    const int all = 10;
    gErrorState.lastCode = 0;
    WGridDeleteRows(501, 1, &all, &shrink);
    EXPECT_EQ(gErrorState.lastCode, kErrorGridTooManyRows);
    EXPECT_EQ(r->rows, 10);
    EXPECT_EQ(Texts(), ",,,,,,,,,,");
}

} // namespace

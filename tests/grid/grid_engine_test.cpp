// The grid engine under the public routines: the statuses every member
// writes back, storing values with their texts and formats, menus, the
// protection and the editor's read-only state, colours, ranges and spin
// steps, the row count, rebuilding the columns, titles, labels and the
// information codes.
#include <cfloat>
#include <functional>
#include <vector>

#include "grid/grid_engine.h"
#include "grid_fixture.h"

namespace {

// Columns of grid 551 (template 630).
enum : int { kText, kWhole, kRanged, kReal, kDouble, kCheck, kMenu, kSpin };

class GridEngine : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        Open(550, kId);
        ASSERT_EQ(r->columns, 8);
        ASSERT_EQ(r->rows, 12);
    }
    std::string EditorText() { return Text(r->editor); }
    static constexpr int kId = 551;
};

TEST_F(GridEngine, EveryMemberWritesItsStatusBack)
{
    PutText(r, kText, 1, "  12.5  ");
    PutText(r, kText, 2, "   ");
    struct Case {
        const char* what;
        int id;
        std::function<void(int&)> call;
        int status;
    };
    double number = 0.0;
    int value = 0;
    char buffer[32];
    const std::vector<Case> cases = {
        {"no such field", 999, [&](int& id) { GridGetCellText(id, kText, 0, buffer); }, -1},
        {"a field that is no grid", 552, [&](int& id) { GridGetCellText(id, kText, 0, buffer); }, -1},
        {"no grid editor", 0, [&](int& id) { GridGetCellNumber(id, kWhole, 0, number); }, -1},
        {"text of a check box", kId, [&](int& id) { GridGetCellText(id, kCheck, 0, buffer); }, -2},
        {"text of a menu", kId, [&](int& id) { GridGetCellText(id, kMenu, 0, buffer); }, -2},
        {"row at the row count", kId, [&](int& id) { GridGetCellText(id, kText, 12, buffer); }, -2},
        {"column -1", kId, [&](int& id) { GridGetCellText(id, -1, 0, buffer); }, -2},
        {"number of a menu", kId, [&](int& id) { GridGetCellNumber(id, kMenu, 3, number); }, -2},
        {"number without a value", kId, [&](int& id) { GridGetCellNumber(id, kWhole, 3, number); }, -3},
        {"number of a blank text", kId, [&](int& id) { GridGetCellNumber(id, kText, 2, number); }, -3},
        {"number of a text", kId, [&](int& id) { GridGetCellNumber(id, kText, 1, number); }, kId},
        {"text into a menu", kId, [&](int& id) { GridPutCellText(id, kMenu, 3, 1.0, "1", ""); }, -2},
        {"check into a text", kId, [&](int& id) { GridPutCheckBox(id, kText, 3, 1); }, -2},
        {"option into a check box", kId, [&](int& id) { GridPutMenu(id, kCheck, 3, 1); }, -2},
        {"clear a menu, mode 0", kId, [&](int& id) { GridCellClear(id, kMenu, 3, 0); }, -2},
        {"clear beyond the rows, mode 0", kId, [&](int& id) { GridCellClear(id, kText, 12, 0); }, -2},
        {"block past the last column", kId, [&](int& id) { GridSelectBlock(id, 0, 0, 8, 1); }, -2},
        {"value outside the range", kId, [&](int& id) { GridColumnRangeCheck(id, kRanged, 101.0); }, -3},
        {"value on the limit", kId, [&](int& id) { GridColumnRangeCheck(id, kRanged, 100.0); }, kId},
        {"any value without a range", kId, [&](int& id) { GridColumnRangeCheck(id, kWhole, 1e300); }, kId},
        {"range of column 8", kId, [&](int& id) { GridColumnRangeCheck(id, 8, 0.0); }, -2},
        {"text size of a number column", kId, [&](int& id) { GridTextColumnSize(id, kReal, value); }, -2},
        {"type of column 8", kId, [&](int& id) { GridColumnType(id, 8, value); }, -2},
        {"protect beyond the rows", kId, [&](int& id) { GridCellProtect(id, kText, 12, 0); }, -2},
        {"colours of column 8", kId, [&](int& id) { GridPutColumnColours(id, 8, 0, 0, 0, 0, 0, 0); }, -2},
        {"real spin steps on a real edit", kId, [&](int& id) { GridRealSpinSteps(id, kReal, 1.0f, 2.0f); }, -2},
        {"integer spin steps on a real spin", kId, [&](int& id) { GridIntegerSpinSteps(id, kSpin, 1, 2, 0); }, -2},
        {"information of no grid", 999, [&](int& id) { GridInfo(id, kInfoRows, value); }, -1},
    };
    for (const Case& c : cases) {
        int id = c.id;
        c.call(id);
        EXPECT_EQ(id, c.status) << c.what;
    }
    int id = kId;
    GridGetCellNumber(id, kText, 1, number);
    EXPECT_EQ(number, 12.5) << "a text between blanks reads as its number";
    GridCellClear(id, kText, 11, 1);
    EXPECT_EQ(id, kId) << "any other mode admits the rows allocated";
    GridTextColumnSize(id, kText, value);
    EXPECT_EQ(value, 11);
    const int types[] = {4, 5, 5, 6, 7, 9, 11, 6};
    for (int c = 0; c < 8; ++c) {
        GridColumnType(id, c, value);
        EXPECT_EQ(value, types[c]) << "column " << c;
    }
    value = 77;
    GridInfo(id, 50, value);
    EXPECT_EQ(value, 77) << "an unknown code leaves the answer";
    EXPECT_EQ(id, kId);
}

TEST_F(GridEngine, StoringAValueWithItsText)
{
    int id = kId;
    GridPutCellText(id, kWhole, 4, 0.0, "42", "");
    EXPECT_EQ(GridIntCell(r->column[kWhole], 4), 42) << "value 0.0: the text is parsed";

    // The current cell: the value is stored, the editor shows the text.
    GridMoveCurrentCell(grid, kWhole, 5, 0, 0);
    GridPutCellText(id, kWhole, 5, 7.0, "42", "");
    EXPECT_EQ(GridIntCell(r->column[kWhole], 5), 7);
    EXPECT_EQ(EditorText(), "42");
    GridMoveCurrentCell(grid, kText, 0, 0, 0);
    EXPECT_EQ(GridIntCell(r->column[kWhole], 5), 7) << "the unmodified editor stores its value, not its text";

    GridPutCellText(id, kWhole, 6, 0.0, "   ", "");
    EXPECT_EQ(r->column[kWhole].states[6] & (kCellHasValue | kCellNonBlank), kCellHasValue)
        << "blanks: a value, but not a non-blank text";
    GridPutCellText(id, kWhole, 6, 0.0, "", "");
    EXPECT_EQ(r->column[kWhole].states[6] & (kCellHasValue | kCellNonBlank), 0);

    // Numbers far beyond the cell's type saturate.
    GridPutCellText(id, kWhole, 7, 1e20, "1e20", "");
    EXPECT_EQ(GridIntCell(r->column[kWhole], 7), 2147483647);
    GridPutCellText(id, kReal, 7, -1e300, "-1e300", "");
    EXPECT_EQ(GridRealCell(r->column[kReal], 7), -FLT_MAX);

    // A text is cut to the column's limit.
    GridPutCellText(id, kText, 7, 0.0, "abcdefghijklmnop", "");
    EXPECT_STREQ(GridTextCell(r->column[kText], 7), "abcdefghij");
    EXPECT_EQ(r->modified, 1);
    EXPECT_EQ(r->modified2, 1);
}

TEST_F(GridEngine, ANewFormatRewritesTheWholeColumn)
{
    PutDouble(r, kDouble, 2, 2.5);
    PutDouble(r, kDouble, 3, 1.0 / 3.0);
    EXPECT_EQ(GridCellText(r, kDouble, 3, 0), "0.333");
    int id = kId;
    GridPutCellText(id, kDouble, 2, 2.5, "2.50", "(F8.2)");
    EXPECT_EQ(GridCellText(r, kDouble, 3, 0), "0.33") << "every cell of the column takes the new format";
    char format[16];
    GridColumnFormat(id, kDouble, format);
    EXPECT_STREQ(format, "(F8.2)");
    const char* kept = FieldRecordOf(r->column[kDouble].control)->format;
    GridPutCellText(id, kDouble, 2, 2.5, "2.50", "(f8.2)");
    EXPECT_EQ(FieldRecordOf(r->column[kDouble].control)->format, kept) << "the same format in other case is kept";
    GridColumnFormat(id, kText, format);
    EXPECT_STREQ(format, "(G15.5E2)") << "a column that is not real or double";
    GridColumnFormat(id, kDouble, std::span<char>(format, 4));
    EXPECT_STREQ(format, "(F8") << "cut to the buffer";
}

TEST_F(GridEngine, MenusFindTheirOptionsWithoutLetterCase)
{
    int id = kId, notFound = -5;
    GridPutMenuByText(id, kMenu, 2, notFound, "BETA");
    EXPECT_EQ(notFound, 0);
    EXPECT_EQ(GridIntCell(r->column[kMenu], 2), 1);
    GridPutMenuByText(id, kMenu, 2, notFound, "gamma");
    EXPECT_EQ(notFound, 1);
    EXPECT_EQ(GridIntCell(r->column[kMenu], 2), 0) << "no match selects the first option";

    char small[4];
    GridMenuOptionText(id, kMenu, 1, small);
    EXPECT_STREQ(small, "alp") << "the option is cut to the buffer";
    GridMenuOptionText(id, kMenu, 3, small);
    EXPECT_STREQ(small, "") << "no third option";

    GridMoveCurrentCell(grid, kMenu, 2, 0, 0);
    GridMenuAddOption(id, kMenu, 2, "gamma");
    EXPECT_EQ(SendMessageA(r->column[kMenu].control, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(r->editor, CB_GETCOUNT, 0, 0), 3) << "the current cell's editor gets it too";
    GridPutMenu(id, kMenu, 2, 3);
    int option = 0;
    GridGetMenu(id, kMenu, 2, option);
    EXPECT_EQ(option, 3);
    GridMenuClearOptions(id, kMenu, 2);
    EXPECT_EQ(SendMessageA(r->editor, CB_GETCOUNT, 0, 0), 0);
    GridGetMenu(id, kMenu, 2, option);
    EXPECT_EQ(option, 0) << "nothing selected";
    id = kId;
    GridMenuAddOption(id, kText, 2, "x");
    EXPECT_EQ(id, -1) << "a column that is not a menu";
}

TEST_F(GridEngine, ProtectionMakesTheEditorReadOnly)
{
    int id = kId;
    GridMoveCurrentCell(grid, kCheck, 3, 0, 0);
    GridCellProtect(id, kCheck, 3, 0);
    EXPECT_TRUE(r->column[kCheck].states[3] & kCellProtected);
    EXPECT_EQ(GetWindowLongA(r->editor, GWL_STYLE) & 15, BS_CHECKBOX) << "a protected check box ignores clicks";
    GridCellProtect(id, kCheck, 3, 1);
    EXPECT_EQ(GetWindowLongA(r->editor, GWL_STYLE) & 15, BS_AUTOCHECKBOX);
    GridCopyRowState(id, kText, 3, 4);
    EXPECT_FALSE(r->column[kText].states[4] & kCellProtected);

    // In a read-only grid unprotecting leaves the editor read-only.
    HWND readOnly = Load(520);
    GridRecord* q = GridRecordOf(GetDlgItem(readOnly, 521));
    ASSERT_NE(q, nullptr);
    ASSERT_NE(q->editor, nullptr);
    id = 521;
    GridCellProtect(id, 0, 0, 1);
    EXPECT_EQ(id, 521);
    EXPECT_TRUE(GetWindowLongA(q->editor, GWL_STYLE) & ES_READONLY);
}

TEST_F(GridEngine, TheCurrentCellInAHiddenDialogTakesNoFocus)
{
    HWND before = GetFocus();
    int id = kId;
    GridSetCurrentCell(id, kText, 9, 2);
    EXPECT_EQ(id, kId);
    EXPECT_EQ(r->currentRow, 9);
    EXPECT_EQ(GetFocus(), before);

    Show(dialog);
    GridSetCurrentCell(id, kText, 4, 2);
    ASSERT_EQ(GetFocus(), r->editor);
    PutText(r, kText, 5, "abcdef");
    GridSetCurrentCell(id, kText, 5, 2);
    DWORD start = 0, end = 0;
    SendMessageA(r->editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 2u);
}

TEST_F(GridEngine, CellAndColumnColours)
{
    int id = kId;
    GridPutCellColours(id, kText, 3, 10, 20, 30, 40, 50, 60);
    int fr, fg, fb, br, bg, bb;
    GridCellColours(id, kText, 3, fr, fg, fb, br, bg, bb);
    EXPECT_EQ(std::vector<int>({fr, fg, fb, br, bg, bb}), std::vector<int>({10, 20, 30, 40, 50, 60}));
    // Red 256 restores the default text colour, red -1 keeps the background.
    GridPutCellColours(id, kText, 3, 256, 0, 0, -1, 0, 0);
    GridCellColours(id, kText, 3, fr, fg, fb, br, bg, bb);
    EXPECT_EQ(std::vector<int>({fr, fg, fb, br, bg, bb}), std::vector<int>({-1, -1, -1, 40, 50, 60}));
    GridCellColours(id, kText, 4, fr, fg, fb, br, bg, bb);
    EXPECT_EQ(fr, -1) << "other cells keep the default";

    GridPutColumnColours(id, kText, 1, 2, 3, -1, 0, 0);
    EXPECT_EQ(r->column[kText].colours, nullptr) << "the column colours discard the cell colours";
    GridCellColours(id, kText, 3, fr, fg, fb, br, bg, bb);
    EXPECT_EQ(std::vector<int>({fr, fg, fb, br, bg, bb}), std::vector<int>({1, 2, 3, -1, -1, -1}));
    // New cell colours start from the column's.
    GridPutCellColours(id, kText, 5, -1, 0, 0, 7, 8, 9);
    GridCellColours(id, kText, 6, fr, fg, fb, br, bg, bb);
    EXPECT_EQ(std::vector<int>({fr, fg, fb, br, bg, bb}), std::vector<int>({1, 2, 3, -1, -1, -1}));
}

TEST_F(GridEngine, RangesAndSpinSteps)
{
    int id = kId;
    GridPutColumnRange(id, kRanged, -5.0, 40000.0);
    FieldRecord* f = FieldRecordOf(r->column[kRanged].control);
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->upDownBuddy, nullptr);
    LRESULT range = SendMessageA(f->upDownBuddy, UDM_GETRANGE, 0, 0);
    EXPECT_EQ(static_cast<short>(LOWORD(range)), 31073) << "the up-down's upper end";
    EXPECT_EQ(static_cast<short>(HIWORD(range)), -5);
    GridColumnRangeCheck(id, kRanged, 35000.0);
    EXPECT_EQ(id, kId) << "the range itself reaches the limit";
    GridColumnRangeCheck(id, kRanged, 40000.5);
    EXPECT_EQ(id, -3);

    id = kId;
    GridIntegerSpinSteps(id, kRanged, 5, 0, 2);
    EXPECT_EQ(f->smallStep, 5.0);
    EXPECT_EQ(f->largeStep, 5.0) << "a large step of 0 takes the small one";
    EXPECT_EQ(f->stepOrigin, 2);
    GridMoveCurrentCell(grid, kSpin, 0, 0, 0);
    GridRealSpinSteps(id, kSpin, 0.5f, 2.5f);
    EXPECT_EQ(id, kId);
    EXPECT_EQ(FieldRecordOf(r->column[kSpin].control)->largeStep, 2.5);
    EXPECT_EQ(FieldRecordOf(r->editor)->smallStep, 0.5) << "the current column's editor too";
}

TEST_F(GridEngine, RowCountChangesKeepTheCurrentCellInside)
{
    int id = kId;
    GridMoveCurrentCell(grid, kText, 10, 0, 0);
    int32_t* words = DialogRecordWords(dialog);
    ASSERT_NE(words, nullptr);
    words[kDlgCurrentField] = kId;
    GridSetRows(id, 6);
    EXPECT_EQ(r->rows, 6);
    EXPECT_EQ(r->currentRow, 5) << "the current cell moves to the last row";
    EXPECT_EQ(words[kDlgGridCell], GridPackedCell(5, kText)) << "and the dialog records it";
    ASSERT_NE(r->editor, nullptr);
    GridSetRows(id, 12);
    EXPECT_EQ(r->currentRow, 5) << "growing leaves the current cell";

    // The scroll scale follows the rows.
    HWND longDialog = Load(530);
    HWND longGrid = GetDlgItem(longDialog, 532);
    GridRecord* q = GridRecordOf(longGrid);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->scrollScale, 2);
    id = 532;
    GridSetRows(id, 65536);
    EXPECT_EQ(q->scrollScale, 1);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    GetScrollInfo(longGrid, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 65535);
}

TEST_F(GridEngine, RebuildingTheColumnsFromTheTemplate)
{
    PutText(r, kText, 0, "gone");
    SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
    GridMoveCurrentCell(grid, kReal, 4, 0, 0);
    const int list[] = {7, 1};
    int id = kId;
    GridRebuildColumns(id, 2, list);
    ASSERT_EQ(id, kId);
    ASSERT_EQ(r->columns, 2);
    EXPECT_EQ(r->column[0].type, kCellMenu);
    EXPECT_EQ(r->column[1].type, kCellText);
    EXPECT_EQ(r->currentColumn, 0);
    EXPECT_EQ(r->currentRow, 0);
    EXPECT_EQ(r->firstVisibleRow, 0);
    EXPECT_STREQ(GridTextCell(r->column[1], 0), "") << "the new columns are empty";
    EXPECT_EQ(SendMessageA(r->columnHeader, HDM_GETITEMCOUNT, 0, 0), 3);
    char title[16];
    GridGetColumnTitle(id, 2, title);
    EXPECT_STREQ(title, "Text");
    ASSERT_NE(r->editor, nullptr);

    // A list naming no template control: the grid is left without columns.
    const int bad[] = {99};
    GridRebuildColumns(id, 1, bad);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(r->columns, 0);
    id = kId;
    char text[8];
    GridGetCellText(id, 0, 0, text);
    EXPECT_EQ(id, -2);
    Repaint(r);
}

TEST_F(GridEngine, TitlesAndLabelsStayInsideTheirBuffers)
{
    int id = kId;
    GridPutColumnTitle(id, 1, "First");
    char title[4];
    GridGetColumnTitle(id, 1, title);
    EXPECT_STREQ(title, "Fir");
    // A grid without column headers ignores titles.
    HWND plain = Load(520);
    ASSERT_NE(GridRecordOf(GetDlgItem(plain, 521)), nullptr);
    int other = 521;
    GridPutColumnTitle(other, 1, "x");
    char read[8] = "junk";
    GridGetColumnTitle(other, 1, read);
    EXPECT_STREQ(read, "");

    WDialogSelect(550);
    const std::string sixty(60, 'L');
    GridPutRowLabel(id, 1, sixty);
    char label[64];
    GridGetRowLabel(id, 1, label);
    EXPECT_EQ(std::string(label), std::string(50, 'L'));
    char shortLabel[6];
    GridGetRowLabel(id, 1, shortLabel);
    EXPECT_STREQ(shortLabel, "LLLLL");
    HDITEMA it{};
    char shown[64] = {};
    it.mask = HDI_TEXT;
    it.pszText = shown;
    it.cchTextMax = sizeof shown;
    SendMessageA(r->rowHeaders[1], HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(std::string(shown), std::string(50, 'L')) << "the row header showing the row";
    GridPutRowLabel(id, 12, "beyond");
    GridGetRowLabel(id, 12, label);
    EXPECT_STREQ(label, "") << "no row 12";
}

TEST_F(GridEngine, InformationCodes)
{
    int id = kId;
    GridMoveCurrentCell(grid, kDouble, 3, 0, 0);
    r->modified = 0;
    r->modified2 = 1;
    struct Case {
        int code, answer;
    };
    const std::vector<Case> before = {{1, 8}, {2, 12}, {3, 12}, {4, 5}, {5, 4}, {6, 1}, {7, 1},
                                      {8, 1}, {9, 1},  {10, 0}, {11, 0}, {12, 0}, {13, 0}, {102, 8}};
    for (const Case& c : before) {
        int answer = -77;
        GridInfo(id, c.code, answer);
        EXPECT_EQ(answer, c.answer) << "code " << c.code;
    }
    GridSelectBlock(id, 1, 2, 3, 4);
    const std::vector<Case> block = {{10, 2}, {11, 3}, {12, 4}, {13, 5}};
    for (const Case& c : block) {
        int answer = -77;
        GridInfo(id, c.code, answer);
        EXPECT_EQ(answer, c.answer) << "code " << c.code;
    }
    int shown = 0;
    GridInfo(id, kInfoRowsShown, shown);
    EXPECT_EQ(shown, r->rowsShown);

    // What the last modal grid editor left: nothing yet.
    int last = kGridLastEditor, answer = -77;
    GridInfo(last, kInfoUnmodified, answer);
    EXPECT_EQ(answer, 1);
    GridInfo(last, kInfoModified2, answer);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(last, kGridLastEditor);
    gGridEditorLastClosed.fileName = "table.csv";
    char name[6];
    GridEditorText(-1, 3, name);
    EXPECT_STREQ(name, "table");
    GridEditorText(-1, 4, name);
    EXPECT_STREQ(name, "table") << "other codes do nothing";
    GridEditorText(7, 3, name);
    EXPECT_STREQ(name, "table") << "a window that is no grid editor";
    gGridEditorLastClosed = GridEditorLastClosed{};
}

} // namespace

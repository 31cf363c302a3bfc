// Grid classes and the set-up of grid fields from their "[Grids]" records and
// template dialogs: column types and storage, column controls, menu options,
// protection, titles, row labels, and records that cannot be carried out.
#include <vector>

#include "grid_fixture.h"

namespace {

class GridSetup : public GridFixture {};

std::string HeaderItemText(HWND header, int item)
{
    char text[128] = {};
    HDITEMA it{};
    it.mask = HDI_TEXT;
    it.pszText = text;
    it.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, item, reinterpret_cast<LPARAM>(&it));
    return text;
}

// The class name in upper case (the platform spells its own classes its way).
std::string ClassOf(HWND w)
{
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    CharUpperA(cls);
    return cls;
}

TEST_F(GridSetup, ClassesAndMessageAreRegisteredOnce)
{
    const GridClassState before = gGridClasses;
    ASSERT_NE(before.grid, 0);
    ASSERT_NE(before.client, 0);
    GridRegisterClasses();
    EXPECT_EQ(gGridClasses.grid, before.grid);
    EXPECT_EQ(gGridClasses.client, before.client);
    EXPECT_EQ(gGridClasses.cellChange, RegisterWindowMessageA("GM_CELLCHANGE"));
    EXPECT_NE(gGridClasses.cellChange, 0u);
    EXPECT_EQ(gControlClasses.grid, before.grid);

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "KVBGRID", &wc));
    EXPECT_EQ(wc.lpfnWndProc, GridWindowProc);
    EXPECT_EQ(wc.cbWndExtra, static_cast<int>(sizeof(void*)));
    EXPECT_TRUE(wc.style & CS_PARENTDC);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "KVBGRIDCLIENT", &wc));
    EXPECT_EQ(wc.lpfnWndProc, GridClientProc);
}

TEST_F(GridSetup, TemplateBuildsAColumnOfEveryCellType)
{
    HWND d = Load(500);
    ASSERT_NE(d, nullptr);
    HWND grid = GetDlgItem(d, 501);
    GridRecord* r = GridRecordOf(grid);
    ASSERT_NE(r, nullptr) << "the grid was refused";
    EXPECT_EQ(r->setUp, 1);
    EXPECT_EQ(r->columns, 7);
    EXPECT_EQ(r->rows, 30);
    EXPECT_EQ(r->rowsAllocated, 30);
    EXPECT_EQ(r->templateId, 600);

    struct Column {
        int type;
        int maxChars;
        const char* cls;
        const char* title;
    };
    const std::vector<Column> expected = {
        {kCellText, 20, "EDIT", "Name"},       // "[Lengths]" of the template
        {kCellInteger, 11, "INTEGERSPIN", "Count"},
        {kCellReal, 0, "REALEDIT", "Size"},
        {kCellDouble, 0, "DOUBLEEDIT", "Weight"},
        {kCellCheckBox, 0, "BUTTON", "Done"},
        {kCellMenu, 0, "COMBOBOX", "a"},       // a combo box's text: its selected option
        {kCellText, 1024, "EDIT", "Fixed"},     // no "[Lengths]" line: 1024
    };
    for (int c = 0; c < 7; ++c) {
        SCOPED_TRACE("column " + std::to_string(c));
        const GridColumnRecord& col = r->column[c];
        EXPECT_EQ(col.type, expected[c].type);
        EXPECT_EQ(col.maxChars, expected[c].maxChars);
        ASSERT_NE(col.control, nullptr);
        EXPECT_EQ(ClassOf(col.control), expected[c].cls);
        EXPECT_EQ(GetParent(col.control), r->cellArea);
        EXPECT_FALSE(IsWindowVisible(col.control));
        EXPECT_GT(col.width, 1);
        EXPECT_EQ(HeaderItemText(r->columnHeader, c + 1), expected[c].title);
        if (col.type <= kCellDouble) {
            EXPECT_TRUE(GetWindowLongA(col.control, GWL_STYLE) & ES_MULTILINE);
        }
        // Only the template's read-only edit protects its column.
        bool everyRowProtected = true, anyRowProtected = false;
        for (int row = 0; row < r->rowsAllocated; ++row) {
            everyRowProtected = everyRowProtected && (col.states[row] & kCellProtected);
            anyRowProtected = anyRowProtected || (col.states[row] & kCellProtected);
        }
        EXPECT_EQ(everyRowProtected, c == 6);
        EXPECT_EQ(anyRowProtected, c == 6);
    }
    EXPECT_EQ(HeaderItemText(r->columnHeader, 0), "");
    EXPECT_EQ(SendMessageA(r->columnHeader, HDM_GETITEMCOUNT, 0, 0), 8);

    // The menu column offers the template's options from the second on.
    HWND menu = r->column[5].control;
    ASSERT_EQ(SendMessageA(menu, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(GridCellText(r, 5, 3, 0), "b") << "option 0 of a new grid is the first one copied";
    GridIntCell(r->column[5], 3) = 1;
    EXPECT_EQ(GridCellText(r, 5, 3, 0), "c");
    EXPECT_EQ(GridFormatOf(r->column[3].control), "(F8.3)");
    EXPECT_EQ(GridFormatOf(r->column[2].control), "(G15.5E2)");

    // A new grid holds empty texts, numbers without a value, unchecked boxes.
    EXPECT_EQ(GridCellText(r, 0, 4, 0), "");
    EXPECT_EQ(GridCellText(r, 1, 4, 0), "");
    EXPECT_EQ(GridCellText(r, 3, 4, 0), "");
    EXPECT_EQ(GridCellText(r, 4, 4, 0), "No");

    // The extras reader went on after the record and its 30 label lines.
    EXPECT_EQ(IsDlgButtonChecked(d, 503), BST_CHECKED);

    // The in-cell editor sits on cell (0, 0), a live control of the column's class.
    ASSERT_NE(r->editor, nullptr);
    EXPECT_EQ(ClassOf(r->editor), "EDIT");
    EXPECT_TRUE(IsWindowVisible(r->editor) || !IsWindowVisible(d));
}

TEST_F(GridSetup, RowHeightComesFromTheDropDownListAndLabelsFromTheRecord)
{
    HWND d = Load(500);
    HWND grid = GetDlgItem(d, 501);
    GridRecord* r = GridRecordOf(grid);
    ASSERT_NE(r, nullptr);

    HWND probe = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, grid, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(probe, WM_SETFONT, SendMessageA(grid, WM_GETFONT, 0, 0), FALSE);
    RECT pr;
    GetWindowRect(probe, &pr);
    DestroyWindow(probe);
    EXPECT_EQ(r->rowHeight, pr.bottom - pr.top - 1);
    EXPECT_EQ(r->rowHeaderWindows, std::min(r->rows, r->page + 1));
    EXPECT_GT(r->rowHeaderWidth, 0);

    auto label = [r](int row) { return std::string(r->labels + row * kGridLabelBytes); };
    EXPECT_EQ(label(0), "First");
    EXPECT_EQ(label(1), "  x") << "leading blanks stay, trailing ones go";
    EXPECT_EQ(label(2), std::string("ABCDEFGHIJ") + "ABCDEFGHIJ" + "ABCDEFGHIJ" + "ABCDEFGHIJ" + "ABCDEFGHIJ")
        << "a label keeps its first 50 characters";
    EXPECT_EQ(label(29), "R30");
    EXPECT_EQ(HeaderItemText(r->rowHeaders[0], 0), "First");
    EXPECT_EQ(HeaderItemText(r->rowHeaders[1], 0), "  x");
}

TEST_F(GridSetup, RecordsThatCannotBeCarriedOut)
{
    HWND d = Load(510);
    ASSERT_NE(d, nullptr);
    GridRecord* r = GridRecordOf(GetDlgItem(d, 511));
    ASSERT_NE(r, nullptr) << "row headers without label lines";
    EXPECT_EQ(r->rows, 5);
    for (int row = 0; row < 5; ++row)
        EXPECT_STREQ(r->labels + row * kGridLabelBytes, "");
    EXPECT_EQ(GetDlgItem(d, 512), nullptr) << "262143 rows cannot be named by a packed cell";
    EXPECT_EQ(GetDlgItem(d, 514), nullptr) << "a record without its template id";
    EXPECT_EQ(IsDlgButtonChecked(d, 513), BST_CHECKED) << "the reader went on with the next section";
}

TEST_F(GridSetup, ReadOnlyGridMakesEditorsReadOnlyAndCheckBoxesPlain)
{
    HWND d = Load(520);
    HWND grid = GetDlgItem(d, 521);
    GridRecord* r = GridRecordOf(grid);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(GetWindowLongA(r->column[4].control, GWL_STYLE) & 15, BS_CHECKBOX);
    EXPECT_TRUE(GetWindowLongA(r->column[0].control, GWL_STYLE) & ES_READONLY);
    ASSERT_NE(r->editor, nullptr);
    EXPECT_TRUE(GetWindowLongA(r->editor, GWL_STYLE) & ES_READONLY);
    GridMoveCurrentCell(grid, 4, 1, 0, 0);
    ASSERT_NE(r->editor, nullptr);
    EXPECT_EQ(GetWindowLongA(r->editor, GWL_STYLE) & 15, BS_CHECKBOX) << "clicks do not toggle it";
    SendMessageA(r->editor, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(r->editor, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(GridSetup, PackedCellsCountFromOne)
{
    EXPECT_EQ(GridPackedCell(0, 0), 0x40001);
    EXPECT_EQ(GridPackedCell(4, 2), 786437);
    EXPECT_EQ(GridPackedCell(kGridMaxRows - 1, 0), 262142 + 262144);
}

} // namespace

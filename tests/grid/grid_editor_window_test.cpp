// The grid editor window: creation statuses, the full copy of the template,
// the menus, keys, toolbar and status bar per option set, the frame's size
// limits, the three modes (modal loop and what it leaves, close requests,
// other windows disabled), a split pane's menu and close prompt, and
// creating and reverting many times without losing windows or GDI objects.
#include <chrono>
#include <cstdio>

#include "core/error_codes.h"
#include "core/frame_window.h"
#include "core/split_windows.h"
#include "core/window_services.h"
#include "graphics/graphics_state.h"
#include "grid/grid_public.h"
#include "grid_editor_fixture.h"
#include "support/bar_pixels.h"
#include "support/box_autopilot.h"
#include "support/window_count.h"

namespace {

using Texts = std::vector<std::string>;

const Texts kSearchAll = {"&Find\tCtrl+F", "Find &Next\tF3", "-", "&Goto Cell", "Goto Ro&w", "Goto &Column"};

// Timer actions run inside a modal editor's loop.
HWND gModal = nullptr;
void CALLBACK Destroy(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    DestroyWindow(gModal);
}

// While the modal editor is up: checks its state, marks the grid modified and
// sets the texts it is to keep, then closes it.
void CALLBACK InspectAndCloseModal(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    GridEditorRecord* r = GridEditorRecordOf(gModal);
    if (!r)
        return;
    // While up: other windows disabled, no field-changed events, the
    // status bar follows the current cell, the record's cell stays.
    EXPECT_FALSE(IsWindowEnabled(gWindowTable.frame[0]));
    gCurrentEventSlot.type = 0;
    WMessageEnable(kEventFieldChanged, 1);
    SendMessageA(gModal, gGridClasses.cellChange, 0, GridPackedCell(4, 2));
    EXPECT_EQ(gCurrentEventSlot.type, 0);
    EXPECT_EQ(r->currentCell, GridPackedCell(0, 0));
    char part[32] = {};
    SendMessageA(r->statusBar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(part));
    EXPECT_STREQ(part, "\t\t5");
    GridRecord* g = GridRecordOf(r->grid);
    g->modified = 1;
    g->modified2 = 1;
    GridEditorTextCopy(r->findText, "needle");
    GridEditorTextCopy(r->fileName, "kept.csv");
    PostMessageA(gModal, WM_CLOSE, 0, 0);
}

void CALLBACK PostQuit3(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostQuitMessage(3);
}

} // namespace

class GridEditorWindowTest : public GridEditorFixture {};

TEST_F(GridEditorWindowTest, StatusesOfCreation)
{
    // 11: no such grid field; nothing is made.
    int status = -1;
    GridEditorRecord* r = Create(0, 2, false, &status);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(status, 0);
    // 8: already a grid editor.
    GridEditorCreate(status, field, 2, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 8);
    int other = OpenWindow();
    GridEditorCreate(status, 999, 2, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 11);
    EXPECT_EQ(WindowRecordOf(gWindowTable.frame[other]), nullptr);
    // 12: the client window has a child window.
    HWND extra = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, gWindowTable.client[other], nullptr,
                                 nullptr, nullptr);
    GridEditorCreate(status, field, 2, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 12);
    DestroyWindow(extra);
    // 3: a menu that cannot be loaded leaves an editor with the own popups.
    GridEditorCreate(status, field, 2, 9999, 0, -1, -1, "", "");
    EXPECT_EQ(status, 3);
    GridEditorRecord* r3 = GridEditorRecordOf(gWindowTable.frame[other]);
    ASSERT_NE(r3, nullptr);
    EXPECT_EQ(GetMenuItemCount(r3->menuBar), 3);
    // 1: the main window is current.
    WindowMakeCurrent(0);
    GridEditorCreate(status, field, 2, 0, 0, -1, -1, "", "");
    EXPECT_EQ(status, 1);
    // A caller's menu follows the three popups; its keys are loaded.
    int n = OpenWindow();
    GridEditorCreate(status, field, 2, 700, 0, -1, -1, "", "");
    EXPECT_EQ(status, 0);
    GridEditorRecord* rm = GridEditorRecordOf(gWindowTable.frame[n]);
    ASSERT_NE(rm, nullptr);
    EXPECT_EQ((Texts{"&File", "&Edit", "&Search", "&Extra"}), Items(rm->menuBar));
    EXPECT_NE(rm->callerAccelerators, nullptr);
    EXPECT_EQ(GetMenu(gWindowTable.frame[n]), rm->menuBar);
    // Through the public opener a status becomes a library error.
    gErrorState = ErrorState{};
    WindowMakeCurrent(n);
    WGridEditor(field, 2, 0, &status);
    EXPECT_EQ(status, 8);
    EXPECT_EQ(gErrorState.lastCode, kErrorWindowAlreadyConverted);
}

TEST_F(GridEditorWindowTest, TheGridIsAFullCopyOfTheTemplate)
{
    dialog = Load(500);
    ASSERT_NE(dialog, nullptr);
    HWND templ = GetDlgItem(dialog, 501);
    GridRecord* t = GridRecordOf(templ);
    ASSERT_NE(t, nullptr);
    PutText(t, 0, 1, "alpha");
    PutInt(t, 1, 2, 42);
    PutDouble(t, 3, 29, 2.5);
    GridIntCell(t->column[4], 1) = 1;
    window = OpenWindow();
    int status = -1;
    GridEditorCreate(status, 501, 2, 0, 0, -1, -1, "", "");
    ASSERT_EQ(status, 0);
    frame = gWindowTable.frame[window];
    GridEditorRecord* r = GridEditorRecordOf(frame);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->columns, t->columns);
    EXPECT_EQ(g->rows, t->rows);
    EXPECT_EQ(g->rowsAllocated, t->rowsAllocated);
    EXPECT_EQ(GetDlgCtrlID(r->grid), kGridEditorGridId);
    EXPECT_EQ(GetWindowLongA(r->grid, GWL_STYLE) & (kGridKeepHeight | kGridEnterMovesDown | kGridTabMovesCells),
              kGridKeepHeight | kGridEnterMovesDown | kGridTabMovesCells);
    for (int c = 0; c < g->columns; ++c) {
        EXPECT_EQ(g->column[c].type, t->column[c].type) << c;
        EXPECT_EQ(g->column[c].width, t->column[c].width) << c;
        EXPECT_NE(g->column[c].cells, t->column[c].cells) << c;
        EXPECT_NE(g->column[c].control, nullptr) << c;
    }
    for (auto [c, row] : {std::pair{0, 1}, {1, 2}, {3, 29}, {4, 1}, {6, 5}})
        EXPECT_EQ(CellText(r, c, row), GridCellText(t, c, row, 0)) << c << "," << row;
    EXPECT_EQ(g->column[6].states[0] & kCellProtected, kCellProtected); // the read-only column's cells
    EXPECT_STREQ(g->labels + 3 * kGridLabelBytes, "R4");
    // Changes in the editor leave the template alone: the two share nothing.
    int id = 0;
    WGridPutCellInteger(id, 2, 3, 7);
    EXPECT_EQ(CellText(r, 1, 2), "7");
    EXPECT_EQ(GridCellText(t, 1, 2, 0), "42");
    // GridWindowById(0) names the editor's grid while its window is current.
    EXPECT_EQ(GridWindowById(0), r->grid);
    WindowMakeCurrent(0);
    EXPECT_EQ(GridWindowById(0), nullptr);
}

TEST_F(GridEditorWindowTest, MenusKeysToolbarAndStatusBarPerOptionSet)
{
    const Texts editAll = {"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All", "-",
                           "&Sort", "&Insert Row Before Current\tCtrl+I", "&Insert Row After Current\tCtrl+Shift+I",
                           "D&elete Row\tCtrl+E"};
    struct Case {
        const char* name;
        int flags;
        bool readOnly;
        Texts file, edit, search;
        std::vector<int> buttons;
        int keys; // accelerator entries
    } cases[] = {
        {"all", 0, false,
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "Save &As\tF12", "Save S&election", "Save As &HTML", "-",
          "&Print\tCtrl+P", "Prin&t Selection", "-", "E&xit"},
         editAll, kSearchAll, {32101, 32102, 32103, 0, 32105, 0, 32141, 0, 32122, 32123, 32124}, 10},
        {"read-only template", 0, true,
         {"&Open\tCtrl+O", "Save &As\tF12", "Save S&election", "Save As &HTML", "-", "&Print\tCtrl+P",
          "Prin&t Selection", "-", "E&xit"},
         {"&Copy\tCtrl+C", "-", "Select &All"}, kSearchAll, {32102, 0, 32105, 0, 32141, 0, 32123}, 5},
        {"no keys at all", 0x100 | 0x2000 | 0x200 | 0x400 | 0x1000 | 0x200000, false, {"E&xit"},
         {"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All", "-", "&Sort"},
         {"&Goto Cell", "Goto Ro&w", "Goto &Column"}, {32122, 32123, 32124}, 0},
        {"no HTML, no print, no save as", 0x40000 | 0x400 | 0x200, false,
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "-", "E&xit"}, editAll, kSearchAll,
         {32101, 32102, 32103, 0, 32141, 0, 32122, 32123, 32124}, 8},
        {"no menu, no toolbar", 0x800000 | 0x20, false, {}, {}, {}, {}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridEditorRecord* r = Create(c.flags, 2, c.readOnly);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(Items(r->filePopup), c.file);
        EXPECT_EQ(Items(r->editPopup), c.edit);
        EXPECT_EQ(Items(r->searchPopup), c.search);
        EXPECT_EQ(Buttons(r->toolbar), c.buttons);
        int keys = r->ownAccelerators ? CopyAcceleratorTableA(r->ownAccelerators, nullptr, 0) : 0;
        EXPECT_EQ(keys, c.keys);
        if (c.file.empty()) {
            EXPECT_EQ(GetMenu(frame), nullptr);
            EXPECT_EQ(r->toolbar, nullptr);
        } else {
            EXPECT_EQ(GetMenu(frame), r->menuBar);
            EXPECT_EQ((Texts{"&File", "&Edit", "&Search"}), Items(r->menuBar));
        }
        ASSERT_NE(r->statusBar, nullptr);
        EXPECT_EQ(SendMessageA(r->statusBar, SB_GETPARTS, 0, 0), 4);
        EXPECT_EQ((Texts{StatusText(r->statusBar, 0), StatusText(r->statusBar, 1), StatusText(r->statusBar, 2),
                         StatusText(r->statusBar, 3)}),
                  (Texts{"Row", "\t\t1", "\tColumn", "\t\t1"}));
        WindowCloseChild(window);
        DialogTableDestroyAll();
    }
}

TEST_F(GridEditorWindowTest, GreyStatesWhenPopupsOpen)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    GridRecord* g = GridRecordOf(r->grid);
    auto open = [&](HMENU m) { SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m), 0); };
    open(r->filePopup);
    EXPECT_TRUE(Grey(r->filePopup, kGridEdSaveSelection));
    EXPECT_TRUE(Grey(r->filePopup, kGridEdPrintSelection));
    GridSelectionSet(r->grid, 0, 1, 0, 1);
    open(r->filePopup);
    EXPECT_FALSE(Grey(r->filePopup, kGridEdSaveSelection));
    EXPECT_FALSE(Grey(r->filePopup, kGridEdPrintSelection));
    // The template's last column is read-only: its cells are protected, so
    // Sort and the row commands are greyed, Cut and Delete only on blocks
    // that reach it.
    open(r->editPopup);
    EXPECT_FALSE(Grey(r->editPopup, kGridEdCut));
    EXPECT_FALSE(Grey(r->editPopup, kGridEdDelete));
    EXPECT_FALSE(Grey(r->editPopup, kGridEdCopy));
    EXPECT_TRUE(Grey(r->editPopup, kGridEdSort));
    EXPECT_TRUE(Grey(r->editPopup, kGridEdInsertBefore));
    EXPECT_TRUE(Grey(r->editPopup, kGridEdInsertAfter));
    EXPECT_TRUE(Grey(r->editPopup, kGridEdDeleteRow));
    GridSelectionSet(r->grid, 0, 1, 5, 6);
    open(r->editPopup);
    EXPECT_TRUE(Grey(r->editPopup, kGridEdCut));
    EXPECT_TRUE(Grey(r->editPopup, kGridEdDelete));
    open(r->searchPopup);
    EXPECT_TRUE(Grey(r->searchPopup, kGridEdFindNext));
    GridEditorTextCopy(r->findText, "x");
    open(r->searchPopup);
    EXPECT_FALSE(Grey(r->searchPopup, kGridEdFindNext));

    // Protection ignored: Sort and the row commands come back, except Insert
    // Row After Current on the last row without the row-count option.
    WindowCloseChild(window);
    DialogTableDestroyAll();
    r = Create(0x80000);
    ASSERT_NE(r, nullptr);
    g = GridRecordOf(r->grid);
    open(r->editPopup);
    EXPECT_FALSE(Grey(r->editPopup, kGridEdSort));
    EXPECT_FALSE(Grey(r->editPopup, kGridEdInsertBefore));
    EXPECT_FALSE(Grey(r->editPopup, kGridEdInsertAfter));
    EXPECT_FALSE(Grey(r->editPopup, kGridEdDeleteRow));
    GridMoveCurrentCell(r->grid, 0, g->rows - 1, 0, 0);
    open(r->editPopup);
    EXPECT_TRUE(Grey(r->editPopup, kGridEdInsertAfter));
    EXPECT_FALSE(Grey(r->editPopup, kGridEdInsertBefore));
}

// A menu cell drops its list as far as the template's combo box does: in the
// dialog's grid field and in a grid editor made from it, the in-cell
// editor's open list is as tall as the template's, several options high.
TEST_F(GridEditorWindowTest, MenuCellsDropAListAsTallAsTheTemplates)
{
    // The height of COMBO's list while it is dropped down.
    auto listHeight = [](HWND combo) {
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        RECT list{};
        GetWindowRect(info.hwndList, &list);
        const int itemHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        return std::make_pair(static_cast<int>(list.bottom - list.top), itemHeight);
    };
    HWND templ = Load(7140);
    ASSERT_NE(templ, nullptr);
    Show(templ);
    const auto [wanted, itemHeight] = listHeight(GetDlgItem(templ, 7142));
    ASSERT_GE(wanted, 3 * itemHeight) << "the template's list shows several options";

    dialog = Load(7150);
    ASSERT_NE(dialog, nullptr);
    Show(dialog);
    GridRecord* fieldGrid = GridRecordOf(GetDlgItem(dialog, 7151));
    ASSERT_NE(fieldGrid, nullptr);
    window = OpenWindow();
    int status = -1;
    GridEditorCreate(status, 7151, 2, 0, 0, -1, -1, "", "");
    ASSERT_EQ(status, 0);
    frame = gWindowTable.frame[window];
    GridEditorRecord* r = GridEditorRecordOf(frame);
    ASSERT_NE(r, nullptr);
    GridRecord* editorGrid = GridRecordOf(r->grid);
    ASSERT_NE(editorGrid, nullptr);
    for (const auto& [what, g] : {std::make_pair("grid field", fieldGrid), std::make_pair("grid editor", editorGrid)}) {
        SCOPED_TRACE(what);
        ASSERT_NE(g->editor, nullptr);
        const int shown = listHeight(g->editor).first;
        EXPECT_GE(shown, wanted - 2) << "the template's list is " << wanted << " pixels";
        EXPECT_LE(shown, wanted + itemHeight);
    }
}

TEST_F(GridEditorWindowTest, FrameSizeLimitsAndFit)
{
    // Dialog 520's grid has five rows: a 640 x 480 frame is shrunk to it.
    GridEditorRecord* r = Create(0, 2, true);
    ASSERT_NE(r, nullptr);
    SIZE need = GridEditorNeededFrame(frame, r, false);
    RECT f;
    GetWindowRect(frame, &f);
    EXPECT_EQ(f.bottom - f.top, std::min(480L, need.cy));
    EXPECT_EQ(f.right - f.left, std::min(640L, need.cx));
    MINMAXINFO mm{};
    mm.ptMaxSize = {5000, 5000};
    mm.ptMaxTrackSize = {5000, 5000};
    SendMessageA(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_LE(mm.ptMaxSize.y, need.cy);
    EXPECT_EQ(mm.ptMaxTrackSize.x, mm.ptMaxSize.x);
    SIZE least = GridEditorNeededFrame(frame, r, true);
    EXPECT_EQ(mm.ptMinTrackSize.x, least.cx);
    EXPECT_LT(least.cy, need.cy);
    // A frame smaller than the grid is never enlarged.
    const int w = least.cx + 10, h = least.cy + 5;
    ASSERT_LT(h, need.cy);
    SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
    GridEditorFitFrame(r);
    GetWindowRect(frame, &f);
    EXPECT_EQ(f.right - f.left, w);
    EXPECT_EQ(f.bottom - f.top, h);
}

// A frame made larger than its limit from outside (as a window manager
// resizes or maximises it) takes that size and is painted to its edges:
// the bars span the width, the grid fills the rest, the area beyond its
// cells shows the button face, and nothing is left from before.
TEST_F(GridEditorWindowTest, AFrameMadeLargerFromOutsideIsPaintedToItsEdges)
{
    GridEditorRecord* r = Create(0, 2, true);
    ASSERT_NE(r, nullptr);
    barpixels::Settle(frame);
    const SIZE need = GridEditorNeededFrame(frame, r, false);
    const int w = need.cx + 150, h = need.cy + 90;
    SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    barpixels::Settle(frame);
    RECT f{}, client{}, toolbar{}, bar{}, grid{}, toolbarWindow{};
    GetWindowRect(frame, &f);
    EXPECT_EQ(f.right - f.left, w);
    EXPECT_EQ(f.bottom - f.top, h);
    GetClientRect(frame, &client);
    GetClientRect(r->toolbar, &toolbar);
    GetClientRect(r->statusBar, &bar);
    EXPECT_EQ(toolbar.right, client.right);
    EXPECT_EQ(bar.right, client.right);
    GetWindowRect(r->grid, &grid);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&grid), 2);
    EXPECT_EQ(grid.right, client.right);
    GetWindowRect(r->toolbar, &toolbarWindow);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&toolbarWindow), 2);
    EXPECT_EQ(grid.top, toolbarWindow.bottom);
    EXPECT_EQ(grid.bottom, client.bottom - bar.bottom);
    // The cell area's corner beyond the last column and row.
    GridRecord* g = GridRecordOf(r->grid);
    RECT area{};
    GetClientRect(g->cellArea, &area);
    EXPECT_EQ(PixelAt(g->cellArea, {area.right - 3, area.bottom - 3}), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(barpixels::ToolbarStripUnpainted(r->toolbar), 0);
    EXPECT_EQ(barpixels::StatusBarStale(r->statusBar), 0u);
    // The system's own sizing and maximising still stop at the limit.
    MINMAXINFO mm{};
    mm.ptMaxSize = {5000, 5000};
    mm.ptMaxTrackSize = {5000, 5000};
    SendMessageA(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_LE(mm.ptMaxTrackSize.x, need.cx);
    EXPECT_LE(mm.ptMaxTrackSize.y, need.cy);
}

TEST_F(GridEditorWindowTest, TitleShowsTheFileNameOrStatusPartFour)
{
    GridEditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    GridEditorTextCopy(r->fileName, "C:\\data\\table.csv");
    GridEditorTitle(frame);
    char title[300] = {};
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "Table - [C:\\data\\table.csv]");
    // A frame without a caption bar: a fifth part shows the name.
    int n = OpenWindow();
    HWND bare = gWindowTable.frame[n];
    SetWindowLongA(bare, GWL_STYLE, GetWindowLongA(bare, GWL_STYLE) & ~WS_CAPTION);
    SetWindowPos(bare, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    int status = -1;
    GridEditorCreate(status, field, 2, 0, 0, -1, -1, "", "");
    ASSERT_EQ(status, 0);
    r = GridEditorRecordOf(bare);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(SendMessageA(r->statusBar, SB_GETPARTS, 0, 0), 5);
    GridEditorTextCopy(r->fileName, "b.csv");
    GridEditorTitle(bare);
    EXPECT_EQ(StatusText(r->statusBar, 4), "b.csv");
}

TEST_F(GridEditorWindowTest, ModalEditorReturnsAfterCloseWithTheSavedValues)
{
    // Without Save there is no prompt: the close ends the loop at once.
    dialog = Load(500);
    window = OpenWindow();
    frame = gModal = gWindowTable.frame[window];
    UINT_PTR t = SetTimer(nullptr, 0, 50, InspectAndCloseModal);
    int status = -1;
    WGridEditor(501, 1, kGridEditorNoSave, &status);
    KillTimer(nullptr, t);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_TRUE(IsWindowEnabled(gWindowTable.frame[0]));
    int last = kGridLastEditor, answer = -1;
    GridInfo(last, kInfoUnmodified, answer);
    EXPECT_EQ(answer, 0);
    GridInfo(last, kInfoModified2, answer);
    EXPECT_EQ(answer, 1);
    char text[64];
    GridEditorText(-1, 1, text);
    EXPECT_STREQ(text, "needle");
    GridEditorText(-1, 3, text);
    EXPECT_STREQ(text, "kept.csv");
    gGridEditorLastClosed = GridEditorLastClosed{};
}

TEST_F(GridEditorWindowTest, ModalLoopEndsWhenTheFrameIsDestroyedOrTheQueueQuits)
{
    dialog = Load(500);
    window = OpenWindow();
    gModal = gWindowTable.frame[window];
    SetTimer(nullptr, 0, 30, Destroy);
    int status = -1;
    WGridEditor(501, 1, 0, &status);
    EXPECT_FALSE(IsWindow(gModal));
    EXPECT_TRUE(IsWindowEnabled(gWindowTable.frame[0]));

    window = OpenWindow();
    gModal = gWindowTable.frame[window];
    SetTimer(nullptr, 0, 30, PostQuit3);
    WGridEditor(501, 1, 0, &status);
    EXPECT_FALSE(IsWindow(gModal)); // destroyed before the record was freed
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // posted again
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(GridEditorWindowTest, ModelessCloseGivesEventNineOnly)
{
    GridEditorRecord* r = Create(kGridEditorNoSave);
    ASSERT_NE(r, nullptr);
    gCurrentEventSlot = CurrentEventSlot{};
    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(gCurrentEventSlot.type, kEventClose);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_NE(GridEditorRecordOf(frame), nullptr);
}

TEST_F(GridEditorWindowTest, SemiModelessDisablesOtherWindowsUntilClosed)
{
    int other = OpenWindow();
    GridEditorRecord* r = Create(0, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->mode, 3);
    EXPECT_EQ(gWindowSystem.semiModelessCount, 1);
    EXPECT_FALSE(IsWindowEnabled(gWindowTable.frame[0]));
    EXPECT_FALSE(IsWindowEnabled(gWindowTable.frame[other]));
    EXPECT_TRUE(IsWindowEnabled(frame));
    WindowCloseChild(window);
    EXPECT_EQ(gWindowSystem.semiModelessCount, 0);
    EXPECT_TRUE(IsWindowEnabled(gWindowTable.frame[0]));
    EXPECT_TRUE(IsWindowEnabled(gWindowTable.frame[other]));
}

TEST_F(GridEditorWindowTest, SplitPaneTakesTheMenuAndAsksBeforeClosing)
{
    dialog = Load(500);
    int panes[2] = {-1, -1}, flags[2] = {kWindowStatusBar, 0}, menus[2] = {0, 0}, bars[2][4] = {}, dialogs[2] = {0, 0},
        colours[2] = {-1, -1};
    int split = OpenWindow(0);
    SplitWindowCreate(panes, 0, flags, -1, menus, bars, dialogs, colours, "", "");
    ASSERT_GT(panes[0], 0);
    WindowMakeCurrent(panes[0]);
    int status = -1;
    GridEditorCreate(status, 501, 2, 0, 0, -1, split, "", "");
    EXPECT_EQ(status, 0);
    HWND pane = gWindowTable.frame[panes[0]];
    GridEditorRecord* r = GridEditorRecordOf(pane);
    ASSERT_NE(r, nullptr);
    HWND splitFrame = gWindowTable.frame[split];
    EXPECT_EQ(GetMenu(splitFrame), r->menuBar);
    EXPECT_EQ(gWindowTable.menu[split], r->menuBar);
    EXPECT_EQ(WindowRecordAs<SplitRecord>(splitFrame, kRecordSplit)->specialPane, pane);

    // Modified with Save enabled: the close asks; Cancel keeps the window.
    GridRecordOf(r->grid)->modified = 1;
    {
        BoxAutopilot pilot(IDCANCEL);
        EXPECT_EQ(SplitCloseQuery(splitFrame), 0);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].text, "Do you want to save changes?");
    }
    {
        BoxAutopilot pilot(IDNO);
        EXPECT_EQ(SplitCloseQuery(splitFrame), 1);
        EXPECT_EQ(pilot.Seen().size(), 1u);
    }
    GridRecordOf(r->grid)->modified = 0;
    BoxAutopilot silent(IDCANCEL);
    EXPECT_EQ(SplitCloseQuery(splitFrame), 1);
    EXPECT_TRUE(silent.Seen().empty());

    // Turned back into a plain window, the pane's editor takes its bar away
    // from the split window too: no window keeps a destroyed menu.
    HMENU bar = r->menuBar;
    int dialogId = 0;
    WindowTypeRevert(dialogId, 0, status);
    ASSERT_EQ(status, 0);
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_EQ(gWindowTable.menu[split], nullptr);
    EXPECT_NE(GetMenu(splitFrame), bar);
    EXPECT_EQ(WindowRecordAs<SplitRecord>(splitFrame, kRecordSplit)->specialPane, nullptr);
}

TEST_F(GridEditorWindowTest, CreateAndRevertManyTimesKeepsWindowsAndGdiObjects)
{
    dialog = Load(500);
    window = OpenWindow();
    auto once = [&] {
        int status = -1;
        GridEditorCreate(status, 501, 2, 0, 0, -1, -1, "", "");
        ASSERT_EQ(status, 0);
        GridEditorRecord* r = GridEditorRecordOf(gWindowTable.frame[window]);
        HFONT font = r->font;
        HMENU bar = r->menuBar;
        HACCEL keys = r->ownAccelerators;
        int dialogId = 0;
        WindowTypeRevert(dialogId, 0, status);
        ASSERT_EQ(status, 0);
        // What the editor made is gone: its font, menus and key table.
        EXPECT_EQ(GetObjectType(font), 0u);
        EXPECT_FALSE(IsMenu(bar));
        EXPECT_EQ(CopyAcceleratorTableA(keys, nullptr, 0), 0);
        EXPECT_EQ(WindowRecordOf(gWindowTable.frame[window]), nullptr);
    };
    once(); // the first round loads what stays loaded (common controls, images)
    Drain();
    const int windows = ThreadWindowCount();
    // The process's GDI object count (Wine answers 0; Windows counts).
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 100; ++i)
        once();
    Drain();
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_TRUE(IsWindowVisible(gWindowTable.client[window]));
    EXPECT_EQ(GetMenu(gWindowTable.frame[window]), nullptr);
}

// Benchmark (disabled by default; run with --gtest_also_run_disabled_tests):
// opening an editor on a grid of 100,000 rows x 10 columns, which copies
// every cell, prints the time and the peak memory; no figure is a pass mark.
TEST_F(GridEditorWindowTest, DISABLED_OpenOn100000By10)
{
    dialog = Load(540);
    ASSERT_NE(dialog, nullptr);
    GridRecord* t = GridRecordOf(GetDlgItem(dialog, 541));
    ASSERT_NE(t, nullptr);
    for (int row = 0; row < t->rows; ++row) {
        char text[32];
        std::snprintf(text, sizeof text, "row %d", row);
        PutText(t, 0, row, text);
        PutInt(t, 1, row, row);
        PutReal(t, 2, row, static_cast<float>(row) * 0.5f);
        PutDouble(t, 3, row, row / 7.0);
        std::snprintf(text, sizeof text, "%d", row % 997);
        PutText(t, 6, row, text);
    }
    window = OpenWindow();
    auto t0 = std::chrono::steady_clock::now();
    int status = -1;
    GridEditorCreate(status, 541, 2, 0, 0, -1, -1, "", "");
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    ASSERT_EQ(status, 0);
    GridEditorRecord* r = GridEditorRecordOf(gWindowTable.frame[window]);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(CellText(r, 0, 99999), "row 99999");
    EXPECT_EQ(CellText(r, 6, 99999), GridCellText(t, 6, 99999, 0));
    using Query = BOOL(WINAPI*)(HANDLE, void*, DWORD);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    struct {
        DWORD cb;
        DWORD faults;
        SIZE_T peakWorkingSet, workingSet, a, b, c, d, pagefile, peakPagefile;
    } m{};
    m.cb = sizeof m;
    if (query)
        query(GetCurrentProcess(), &m, sizeof m);
    std::printf("grid editor on 100,000 x 10: open (full copy) %.1f ms, peak working set %.1f MB, peak committed %.1f MB\n",
                ms, m.peakWorkingSet / 1048576.0, m.peakPagefile / 1048576.0);
}

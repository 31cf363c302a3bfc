// The context menu of the cell area: with a block selection its commands are
// the block commands, without one the editor's own; read while the menu is
// open and then dismissed. Also the commands that reach the grid window.
#include <vector>

#include "grid_fixture.h"

namespace {

struct MenuItem {
    UINT id;
    bool enabled;
};

std::vector<MenuItem>& SeenItems()
{
    static std::vector<MenuItem> items;
    return items;
}

// Reads the open popup menu's items and closes it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup)
        return; // not open yet: the timer fires again
    KillTimer(nullptr, id);
    auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        UINT itemId = GetMenuItemID(menu, i);
        if (itemId == 0)
            continue; // a separator
        UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        SeenItems().push_back({itemId, !(state & (MF_GRAYED | MF_DISABLED))});
    }
    EndMenu();
}

class GridMenu : public GridFixture {
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
    }
    std::vector<MenuItem> Open(HWND target)
    {
        SeenItems().clear();
        UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadOpenMenu);
        POINT p = CellCentre(r, 0, 0);
        ClientToScreen(r->cellArea, &p);
        SendMessageA(r->cellArea, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), MAKELPARAM(p.x, p.y));
        KillTimer(nullptr, timer);
        Drain();
        return SeenItems();
    }
    HWND dialog = nullptr;
    HWND grid = nullptr;
    GridRecord* r = nullptr;
};

TEST_F(GridMenu, ABlockOffersTheBlockCommands)
{
    GridSelectionSet(grid, 1, 2, 0, 1);
    POINT p = CellCentre(r, 1, 2);
    SendMessageA(r->cellArea, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(r->selFirstRow, 1) << "a right click keeps the block";
    EXPECT_EQ(r->currentRow, 0);
    std::vector<MenuItem> items = Open(r->editor);
    ASSERT_EQ(items.size(), 6u);
    const std::vector<UINT> ids = {kGridCmdUndo, kGridCmdCutBlock, kGridCmdCopyBlock, kGridCmdPaste,
                                   kGridCmdDeleteBlock, kGridCmdSelectAll};
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(items[i].id, ids[i]) << i;
    EXPECT_FALSE(items[0].enabled) << "no undo with a block";
    EXPECT_TRUE(items[2].enabled) << "a block can always be copied";
    EXPECT_FALSE(items[5].enabled) << "no select-all with a block";
    EXPECT_EQ(r->menuTarget, r->editor);
}

TEST_F(GridMenu, WithoutABlockTheEditorsOwnCommands)
{
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hello"));
    SendMessageA(r->editor, EM_SETSEL, 0, 2);
    std::vector<MenuItem> items = Open(r->editor);
    ASSERT_EQ(items.size(), 6u);
    const std::vector<UINT> ids = {kGridCmdUndo, kGridCmdCut, kGridCmdCopy, kGridCmdPaste, kGridCmdClear,
                                   kGridCmdSelectAll};
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(items[i].id, ids[i]) << i;
    EXPECT_TRUE(items[1].enabled) << "cut a selected text";
    EXPECT_TRUE(items[2].enabled) << "copy it";
    EXPECT_TRUE(items[4].enabled) << "delete it";
    EXPECT_TRUE(items[5].enabled) << "not all of the text is selected";

    // The commands reach the grid window and act on the menu target.
    SendMessageA(grid, WM_COMMAND, kGridCmdSelectAll, 0);
    DWORD start = 1, end = 0;
    SendMessageA(r->editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
    SendMessageA(grid, WM_COMMAND, kGridCmdClear, 0);
    EXPECT_EQ(Text(r->editor), "");

    // On the protected column nothing can be changed; on the cell area itself
    // only nothing at all.
    GridMoveCurrentCell(grid, 6, 0, 1, 0);
    Drain();
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("fixed"));
    SendMessageA(r->editor, EM_SETSEL, 0, 2);
    items = Open(r->editor);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_FALSE(items[1].enabled) << "no cut from a read-only editor";
    EXPECT_TRUE(items[2].enabled) << "but a copy";
    items = Open(r->cellArea);
    ASSERT_EQ(items.size(), 6u);
    for (const MenuItem& m : items)
        EXPECT_FALSE(m.enabled) << m.id;
}

} // namespace

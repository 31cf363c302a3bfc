// Shared set-up of the grid editor tests: the library and its main window
// once for the program, a child window per editor made current, the grid
// field of dialog 500 (seven columns of every cell type, 30 rows, headers
// and labels) or the read-only grid of dialog 520 as the template, and
// readers for menus, toolbars and status-bar parts.
#pragma once

#include <commctrl.h>

#include <string>
#include <vector>

#include "core/child_windows.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "grid/grid_editor.h"
#include "grid/grid_editor_internal.h"
#include "grid/grid_engine.h"
#include "grid_fixture.h"

class GridEditorFixture : public GridFixture {
protected:
    static void SetUpTestSuite()
    {
        if (gLibraryState.mainWindowOpen)
            return;
        WLibraryStart();
        int flags = kWindowFlagsDefault, x = 10, y = 10, w = 300, h = 200;
        WindowOpen(&flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "Grid editor tests");
    }

    void TearDown() override
    {
        for (int n = 1; n <= kLastWindow; ++n)
            if (gWindowTable.frame[n])
                WindowCloseChild(n);
        gWindowSystem.semiModelessCount = 0;
        gCurrentEventSlot = CurrentEventSlot{};
        GridFixture::TearDown();
    }

    // A child window (status bar and caption unless told otherwise), current.
    static int OpenWindow(int extraFlags = kWindowStatusBar, int w = 640, int h = 480)
    {
        int n = -1, flags = kWindowFlagsDefault | extraFlags, x = 330, y = 20;
        WindowOpenChild(n, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "Table");
        return n;
    }

    // Loads the template dialog (500 with grid 501, or 520 with the read-only
    // grid 521), opens a window and makes it a grid editor in MODE.
    GridEditorRecord* Create(int flags, int mode = 2, bool readOnly = false, int* statusOut = nullptr,
                             int menuId = 0, int extraWindowFlags = kWindowStatusBar)
    {
        dialog = Load(readOnly ? 520 : 500);
        field = readOnly ? 521 : 501;
        if (!dialog)
            return nullptr;
        window = OpenWindow(extraWindowFlags);
        if (window < 0)
            return nullptr;
        int status = -1;
        GridEditorCreate(status, field, mode, menuId, flags, -1, -1, "", "");
        if (statusOut)
            *statusOut = status;
        frame = gWindowTable.frame[window];
        return GridEditorRecordOf(frame);
    }

    static std::vector<std::string> Items(HMENU m)
    {
        std::vector<std::string> items;
        for (int i = 0; m && i < GetMenuItemCount(m); ++i) {
            char text[128] = {};
            GetMenuStringA(m, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            items.push_back(text[0] ? text : "-");
        }
        return items;
    }
    static std::vector<int> Buttons(HWND toolbar)
    {
        std::vector<int> ids;
        int count = toolbar ? static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            TBBUTTON b{};
            SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
            ids.push_back((b.fsStyle & BTNS_SEP) ? 0 : b.idCommand);
        }
        return ids;
    }
    static bool Grey(HMENU m, int id)
    {
        UINT state = GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
    }
    static std::string StatusText(HWND bar, int part)
    {
        char text[512] = {};
        SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
        return text;
    }
    static std::string CellText(GridEditorRecord* r, int column, int row)
    {
        return GridCellText(GridRecordOf(r->grid), column, row, 0);
    }

    HWND dialog = nullptr;
    int field = 0;
    int window = -1;
    HWND frame = nullptr;
};

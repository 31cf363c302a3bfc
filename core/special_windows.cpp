// Menus, menu placing and pane focus shared by the editor and grid editor windows.
#include "core/special_windows.h"

#include "core/menus.h"
#include "core/window_table.h"

HACCEL MenuKeysCreate(const std::vector<MenuKey>& keys)
{
    std::vector<ACCEL> table;
    for (const MenuKey& k : keys)
        table.push_back({static_cast<BYTE>(k.flags | FVIRTKEY | FNOINVERT), k.key, static_cast<WORD>(k.command)});
    return table.empty() ? nullptr : CreateAcceleratorTableA(table.data(), static_cast<int>(table.size()));
}

void MenuItemAppend(HMENU m, int id, const char* text, bool present)
{
    if (present)
        AppendMenuA(m, MF_STRING, static_cast<UINT_PTR>(id), text);
}

void MenuSeparatorAppend(HMENU m, bool present)
{
    if (present)
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
}

void MenuPopupInsert(HMENU bar, int position, HMENU popup, int id, const char* text)
{
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    mi.wID = static_cast<UINT>(id);
    mi.hSubMenu = popup;
    mi.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(bar, static_cast<UINT>(position), TRUE, &mi);
}

void SpecialMenuPlace(HWND f, HMENU bar, int window, bool childStyle, int split)
{
    if (!childStyle) {
        HMENU old = gWindowTable.menu[window];
        SetMenu(f, bar);
        if (old && old != bar) {
            MenuFreeHelp(old, window);
            DestroyMenu(old);
        }
        gWindowTable.accelerators[window] = nullptr;
        gWindowTable.menuHelpResource[window] = {};
        gWindowTable.menu[window] = bar;
        DrawMenuBar(f);
        return;
    }
    if (!WindowIsOpen(split))
        return;
    HWND splitFrame = gWindowTable.frame[split];
    if (WindowRecordTypeOf(splitFrame) != kRecordSplit || !IsChild(splitFrame, f))
        return;
    HWND pane = f;
    for (int depth = 0; depth < kWindowRows && pane != splitFrame; ++depth) {
        HWND client = GetParent(pane);
        HWND holder = client ? GetParent(client) : nullptr;
        auto* s = WindowRecordAs<SplitRecord>(holder, kRecordSplit);
        if (!s)
            break;
        int h = WindowTableIndex(holder);
        if (h >= 0 && !gWindowTable.menu[h]) {
            gWindowTable.menu[h] = bar;
            if (!(GetWindowLongA(holder, GWL_STYLE) & WS_CHILD)) {
                SetMenu(holder, bar);
                DrawMenuBar(holder);
            }
        }
        s->specialPane = f;
        pane = holder;
    }
}

void SpecialPaneFocus(HWND f)
{
    HWND pane = f;
    int n = WindowTableIndex(f);
    HMENU chosen = n >= 0 ? gWindowTable.menu[n] : nullptr;
    HWND outer = nullptr;
    for (int depth = 0; depth < kWindowRows; ++depth) {
        if (!(GetWindowLongA(pane, GWL_STYLE) & WS_CHILD))
            break;
        HWND client = GetParent(pane);
        HWND e = client ? GetParent(client) : nullptr;
        auto* split = WindowRecordAs<SplitRecord>(e, kRecordSplit);
        if (!split)
            break;
        split->focusedPane = pane;
        int en = WindowTableIndex(e);
        if (!chosen && en >= 0 && gWindowTable.menu[en])
            chosen = gWindowTable.menu[en];
        outer = e;
        pane = e;
    }
    if (outer && chosen && GetMenu(outer) != chosen)
        SetMenu(outer, chosen);
}

// Menus of library windows.
#include "core/menus.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/fixed_text.h"
#include "core/window_table.h"

namespace {

// The window whose menu the item routines use: the current window when it
// has a menu or a toolbar, else window 0.
int MenuWindow()
{
    int n = gWindowSystem.currentWindow;
    if (n < 0 || n > kLastWindow)
        return 0;
    return WindowHasBars(n) ? n : 0;
}

bool IsChildFrame(HWND f)
{
    return f && (GetWindowLongA(f, GWL_STYLE) & WS_CHILD);
}

const unsigned char* ResourceData(int id, LPCSTR type, unsigned& size)
{
    HRSRC r = FindResourceA(gWindowSystem.instance, MAKEINTRESOURCEA(id), type);
    if (!r)
        return nullptr;
    HGLOBAL g = LoadResource(gWindowSystem.instance, r);
    if (!g)
        return nullptr;
    size = SizeofResource(gWindowSystem.instance, r);
    return static_cast<const unsigned char*>(LockResource(g));
}

int Word(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

char* HelpOf(HMENU menu, UINT pos)
{
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(menu, pos, TRUE, &mi))
        return nullptr;
    return reinterpret_cast<char*>(mi.dwItemData);
}

void HelpSet(HMENU menu, UINT pos, char* text)
{
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_DATA;
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(text);
    SetMenuItemInfoA(menu, pos, TRUE, &mi);
}

// The toolbar of window N that has button ID, or nullptr.
HWND ToolbarWithButton(int n, int id)
{
    for (HWND tb : gWindowTable.toolbars[n])
        if (tb && SendMessageA(tb, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0) != -1)
            return tb;
    return nullptr;
}

} // namespace

MenuHelpResource MenuHelpResourceLoad(int id)
{
    MenuHelpResource res;
    if (id <= 0 || id > 0xFFFF)
        return res;
    unsigned size = 0;
    const unsigned char* data = ResourceData(id, "KVBMENUSTRING", size);
    if (data) {
        res.data = data;
        res.size = size;
    }
    return res;
}

const char* MenuHelpText(const MenuHelpResource& res, int id)
{
    if (!res.data || id == 0)
        return nullptr;
    unsigned i = 0;
    while (i + 2 <= res.size) {
        int item = Word(res.data + i);
        i += 2;
        if (item == 0)
            return nullptr;
        unsigned start = i;
        while (i < res.size && res.data[i] != 0)
            ++i;
        if (i >= res.size)
            return nullptr; // a text without its NUL: the resource is cut off
        if (item == (id & 0xFFFF))
            return reinterpret_cast<const char*>(res.data + start);
        ++i;
    }
    return nullptr;
}

void WindowMenuRowLoad(int n, HMENU menu, int id)
{
    gWindowTable.menu[n] = menu;
    if (menu && id > 0 && id <= 0xFFFF) {
        MenuApplyIds(menu, id);
        gWindowTable.accelerators[n] = LoadAcceleratorsA(gWindowSystem.instance, MAKEINTRESOURCEA(id));
        gWindowTable.menuHelpResource[n] = MenuHelpResourceLoad(id);
    } else {
        gWindowTable.accelerators[n] = nullptr;
        gWindowTable.menuHelpResource[n] = {};
    }
}

HMENU MenuLoad(int id)
{
    if (id <= 0 || id > 0xFFFF)
        return nullptr;
    HMENU m = LoadMenuA(gWindowSystem.instance, MAKEINTRESOURCEA(id));
    if (!m)
        return nullptr;
    MenuApplyIds(m, id);
    MenuGreyDisabled(m);
    return m;
}

void MenuApplyIds(HMENU menu, int id)
{
    if (!menu || id <= 0 || id > 0xFFFF)
        return;
    unsigned size = 0;
    const unsigned char* data = ResourceData(id, reinterpret_cast<LPCSTR>(RT_RCDATA), size);
    if (!data)
        return;
    unsigned i = 0;
    while (i + 2 <= size) {
        int command = Word(data + i);
        i += 2;
        if (command == 0)
            return;
        // The path of 1-based positions, ended by 0.
        int path[32];
        int depth = 0;
        for (;;) {
            if (i + 2 > size)
                return;
            int p = Word(data + i);
            i += 2;
            if (p == 0)
                break;
            if (depth < 32)
                path[depth++] = p;
        }
        if (depth == 0)
            continue;
        HMENU m = menu;
        for (int k = 0; k < depth - 1 && m; ++k)
            m = GetSubMenu(m, path[k] - 1);
        if (!m)
            continue;
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID;
        mi.wID = static_cast<UINT>(command);
        SetMenuItemInfoA(m, static_cast<UINT>(path[depth - 1] - 1), TRUE, &mi);
    }
}

void MenuGreyDisabled(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        if (HMENU sub = GetSubMenu(menu, pos)) {
            MenuGreyDisabled(sub);
            continue;
        }
        UINT state = GetMenuState(menu, static_cast<UINT>(pos), MF_BYPOSITION);
        if (state != static_cast<UINT>(-1) && (state & MF_DISABLED))
            EnableMenuItem(menu, static_cast<UINT>(pos), MF_BYPOSITION | MF_GRAYED);
    }
}

void MenuCopyTexts(HMENU menu, HMENU from)
{
    int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &mi))
            continue;
        if (mi.wID != 0 && !(mi.fType & MFT_SEPARATOR)) {
            HMENU holder = nullptr;
            int at = MenuItemFind(from, static_cast<int>(mi.wID), holder);
            if (at >= 0) {
                char text[101] = {};
                MENUITEMINFOA src{};
                src.cbSize = sizeof src;
                src.fMask = MIIM_STRING | MIIM_STATE;
                src.dwTypeData = text;
                src.cch = 100;
                if (GetMenuItemInfoA(holder, static_cast<UINT>(at), TRUE, &src)) {
                    MENUITEMINFOA dst{};
                    dst.cbSize = sizeof dst;
                    dst.fMask = MIIM_STRING | MIIM_STATE;
                    dst.dwTypeData = text;
                    dst.fState = src.fState;
                    SetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &dst);
                }
            }
        }
        if (mi.hSubMenu)
            MenuCopyTexts(mi.hSubMenu, from);
    }
}

int MenuItemFind(HMENU menu, int id, HMENU& holder)
{
    if (!menu)
        return -1;
    int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &mi))
            continue;
        if (!(mi.fType & MFT_SEPARATOR) && static_cast<int>(mi.wID) == id) {
            holder = menu;
            return pos;
        }
        if (mi.hSubMenu) {
            int at = MenuItemFind(mi.hSubMenu, id, holder);
            if (at >= 0)
                return at;
        }
    }
    return -1;
}

void MenuBarRefresh(int id, int window)
{
    if (window < 0 || window > kLastWindow || !gWindowTable.menu[window])
        return;
    HMENU holder = nullptr;
    if (MenuItemFind(gWindowTable.menu[window], id, holder) >= 0 && holder == gWindowTable.menu[window]) {
        HWND f = gWindowTable.frame[window];
        UpdateWindow(f);
        DrawMenuBar(f);
    }
}

void WindowMenuSet(int& id, int window)
{
    if (window < 0 || window > kLastWindow || !gWindowTable.frame[window]) {
        id = -2;
        return;
    }
    HWND f = gWindowTable.frame[window];
    HWND enclosing = IsChildFrame(f) ? GetParent(GetParent(f)) : nullptr;
    bool isPane = enclosing && WindowRecordTypeOf(enclosing) == kRecordSplit;
    int type = WindowRecordTypeOf(f);
    if ((IsChildFrame(f) && !isPane) || type == kRecordEditor) {
        id = -2;
        return;
    }
    HMENU m = nullptr;
    if (id != 0) {
        m = MenuLoad(id);
        if (!m) {
            id = -1;
            return;
        }
    }
    HMENU old = gWindowTable.menu[window];
    HWND t = f;
    HMENU chosen = m;
    if (type == kRecordSplit || isPane) {
        while (IsChildFrame(t) && GetParent(GetParent(t)))
            t = GetParent(GetParent(t));
        // H: the window whose menu T shows; L: the menu of the innermost
        // window with one along the focused panes from T.
        HMENU shown = GetMenu(t);
        int h = -1;
        for (int i = 0; i <= kLastWindow; ++i)
            if (shown && gWindowTable.menu[i] == shown)
                h = i;
        HMENU inner = nullptr;
        HWND walk = t;
        for (int depth = 0; depth < kWindowRows && walk; ++depth) {
            int w = WindowTableIndex(walk);
            if (w >= 0 && w != window && gWindowTable.menu[w])
                inner = gWindowTable.menu[w];
            auto* split = WindowRecordAs<SplitRecord>(walk, kRecordSplit);
            walk = split ? split->focusedPane : nullptr;
        }
        HWND hf = h >= 0 ? gWindowTable.frame[h] : nullptr;
        if (hf && (hf == f || IsChild(f, hf)))
            chosen = m ? m : inner;
        else
            chosen = (GetMenu(t) == old) ? m : GetMenu(t);
    }
    if (GetMenu(t) != chosen)
        SetMenu(t, chosen);
    if (old) {
        MenuFreeHelp(old, window);
        DestroyMenu(old);
    }
    gWindowTable.menu[window] = nullptr;
    gWindowTable.accelerators[window] = nullptr;
    gWindowTable.menuHelpResource[window] = {};
    if (m) {
        gWindowTable.menu[window] = m;
        gWindowTable.accelerators[window] = LoadAcceleratorsA(gWindowSystem.instance, MAKEINTRESOURCEA(id));
        gWindowTable.menuHelpResource[window] = MenuHelpResourceLoad(id);
    }
    if (type == kRecordBitmapViewer) {
        RECT r;
        GetWindowRect(f, &r);
        int extra = (IsZoomed(f) && m && !GetMenu(t)) ? GetSystemMetrics(SM_CYMENU) : 0;
        SetWindowPos(f, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + extra,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        auto* v = reinterpret_cast<BitmapViewerRecordHead*>(WindowRecordOf(f));
        if (v && v->viewer) {
            RECT cr;
            GetClientRect(v->viewer, &cr);
            SendMessageA(v->viewer, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
        }
    }
}

void PopupMenuShow(int& id, int x, int y, int client)
{
    HMENU m = MenuLoad(id);
    if (!m) {
        id = -1;
        return;
    }
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(m), "Dummy");
    int current = gWindowSystem.currentWindow;
    if (current < 0 || current > kLastWindow)
        current = 0;
    int owner = MenuOwnerWindow(current);
    if (owner >= 0 && gWindowTable.menu[owner])
        MenuCopyTexts(m, gWindowTable.menu[owner]);
    HWND clientWindow = gWindowTable.client[current];
    POINT p{x, y};
    if (client && clientWindow)
        ClientToScreen(clientWindow, &p);
    gWindowSystem.popupHelp = MenuHelpResourceLoad(id);
    TrackPopupMenu(m, TPM_LEFTBUTTON, p.x, p.y, 0, clientWindow, nullptr);
    DestroyMenu(popup); // destroys M with it
    gWindowSystem.popupHelp = {};
}

void MenuItemTextSet(int& id, std::string_view text)
{
    int n = MenuWindow();
    HMENU holder = nullptr;
    int pos = MenuItemFind(gWindowTable.menu[n], id, holder);
    if (pos < 0) {
        id = -1;
        return;
    }
    std::string t(TrimRight(text));
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = t.data();
    SetMenuItemInfoA(holder, static_cast<UINT>(pos), TRUE, &mi);
    MenuBarRefresh(id, n);
}

void MenuItemCheck(int id, int& state)
{
    int n = MenuWindow();
    HMENU holder = nullptr;
    int pos = MenuItemFind(gWindowTable.menu[n], id, holder);
    bool on = state != 0;
    if (pos >= 0)
        CheckMenuItem(holder, static_cast<UINT>(pos), MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED));
    else
        state = -1;
    bool button = false;
    for (HWND tb : gWindowTable.toolbars[n])
        if (tb && SendMessageA(tb, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0) != -1) {
            SendMessageA(tb, TB_CHECKBUTTON, static_cast<WPARAM>(id), MAKELPARAM(on ? TRUE : FALSE, 0));
            button = true;
        }
    if (button)
        state = 1;
}

void MenuItemEnable(int id, int& state)
{
    int n = MenuWindow();
    HMENU holder = nullptr;
    int pos = MenuItemFind(gWindowTable.menu[n], id, holder);
    bool on = state != 0;
    if (pos >= 0) {
        EnableMenuItem(holder, static_cast<UINT>(pos), MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
        MenuBarRefresh(id, n);
    } else {
        state = -1;
    }
    bool button = false;
    for (HWND tb : gWindowTable.toolbars[n])
        if (tb && SendMessageA(tb, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0) != -1) {
            SendMessageA(tb, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(on ? TRUE : FALSE, 0));
            button = true;
        }
    if (button)
        state = 1;
}

void MenuItemStateGet(int id, int what, int& state)
{
    int n = MenuWindow();
    HMENU holder = nullptr;
    int pos = MenuItemFind(gWindowTable.menu[n], id, holder);
    if (pos >= 0) {
        UINT s = GetMenuState(holder, static_cast<UINT>(pos), MF_BYPOSITION);
        if (what == 1)
            state = (s & MF_GRAYED) ? 0 : 1;
        else
            state = (s & MF_CHECKED) ? 1 : 0;
        return;
    }
    if (HWND tb = ToolbarWithButton(n, id)) {
        UINT msg = what == 1 ? TB_ISBUTTONENABLED : TB_ISBUTTONCHECKED;
        state = SendMessageA(tb, msg, static_cast<WPARAM>(id), 0) ? 1 : 0;
        return;
    }
    state = -1;
}

void MenuItemHelpSet(int& id, std::string_view text)
{
    int n = MenuWindow();
    HMENU holder = nullptr;
    int pos = MenuItemFind(gWindowTable.menu[n], id, holder);
    if (pos < 0) {
        id = -1;
        return;
    }
    char* old = HelpOf(holder, static_cast<UINT>(pos));
    std::string t(TrimRight(text));
    char* copy = nullptr;
    if (!t.empty()) {
        copy = static_cast<char*>(std::malloc(t.size() + 1));
        if (copy)
            std::memcpy(copy, t.c_str(), t.size() + 1);
    }
    HelpSet(holder, static_cast<UINT>(pos), copy);
    if (old)
        std::free(old);
    if (!old && copy)
        ++gWindowTable.menuHelpCount[n];
    else if (old && !copy && gWindowTable.menuHelpCount[n] > 0)
        --gWindowTable.menuHelpCount[n];
}

void MenuItemInsert(int& id, int where, int newId, std::string_view text)
{
    int n = MenuWindow();
    HMENU holder = nullptr;
    int pos = MenuItemFind(gWindowTable.menu[n], id, holder);
    if (pos < 0) {
        id = -1;
        return;
    }
    int count = GetMenuItemCount(holder);
    UINT at = static_cast<UINT>(pos);
    if (where >= 2) {
        long long target = static_cast<long long>(pos) + (where - 1);
        at = target >= count ? static_cast<UINT>(-1) : static_cast<UINT>(target);
    }
    std::string t(TrimRight(text));
    if (newId == 0)
        InsertMenuA(holder, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    else
        InsertMenuA(holder, at, MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(newId), t.c_str());
    MenuBarRefresh(newId, n);
}

void MenuItemDelete(int& id)
{
    int n = MenuWindow();
    HMENU holder = nullptr;
    int pos = MenuItemFind(gWindowTable.menu[n], id, holder);
    if (pos < 0) {
        id = -1;
        return;
    }
    if (char* help = HelpOf(holder, static_cast<UINT>(pos))) {
        HelpSet(holder, static_cast<UINT>(pos), nullptr);
        std::free(help);
        if (gWindowTable.menuHelpCount[n] > 0)
            --gWindowTable.menuHelpCount[n];
    }
    bool top = holder == gWindowTable.menu[n];
    DeleteMenu(holder, static_cast<UINT>(pos), MF_BYPOSITION);
    if (top)
        DrawMenuBar(gWindowTable.frame[n]);
}

void MenuFreeHelp(HMENU menu, int window)
{
    if (menu) {
        int count = GetMenuItemCount(menu);
        for (int pos = 0; pos < count; ++pos) {
            if (char* help = HelpOf(menu, static_cast<UINT>(pos))) {
                HelpSet(menu, static_cast<UINT>(pos), nullptr);
                std::free(help);
            }
            if (HMENU sub = GetSubMenu(menu, pos))
                MenuFreeHelp(sub, -1);
        }
    }
    if (window >= 0 && window <= kLastWindow)
        gWindowTable.menuHelpCount[window] = 0;
}

int MenuOwnerWindow(int window)
{
    for (int depth = 0; depth < kWindowRows; ++depth) {
        if (window < 0 || window > kLastWindow)
            return 0;
        HWND f = gWindowTable.frame[window];
        if (!IsChildFrame(f))
            break;
        int p = WindowTableIndex(GetParent(f));
        if (p < 0)
            break;
        window = p;
    }
    return (window >= 0 && window <= kLastWindow && gWindowTable.menu[window]) ? window : 0;
}

int WindowHasBars(int window)
{
    if (window < 0 || window > kLastWindow)
        return 0;
    if (gWindowTable.menu[window])
        return 1;
    for (HWND tb : gWindowTable.toolbars[window])
        if (tb)
            return 1;
    return 0;
}

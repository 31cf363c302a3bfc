// Toolbars of library windows and their tool tips.
#include "core/toolbars.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/menus.h"
#include "core/window_table.h"

namespace {

WNDPROC gToolbarClassProc = nullptr;

int Word(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

bool AnyToolbar(int n)
{
    for (HWND tb : gWindowTable.toolbars[n])
        if (tb)
            return true;
    return false;
}

// The own toolbar of an editor or grid editor on FRAME, above the window's top toolbar.
HWND EditorOwnToolbar(HWND frame)
{
    if (auto* g = WindowRecordAs<GridEditorRecordHead>(frame, kRecordGridEditor))
        return g->toolbar;
    auto* e = WindowRecordAs<EditorRecordHead>(frame, kRecordEditor);
    return e ? e->editorToolbar : nullptr;
}

RECT ScreenRect(HWND w)
{
    RECT r{};
    if (w)
        GetWindowRect(w, &r);
    return r;
}

} // namespace

LRESULT CALLBACK ToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(gToolbarClassProc, window, message, wParam, lParam);
}

void ToolTipTableFree(int n)
{
    if (n < 0 || n > kLastWindow)
        return;
    std::free(gWindowTable.toolTips[n]);
    gWindowTable.toolTips[n] = nullptr;
    gWindowTable.toolTipCount[n] = 0;
}

void BarsZOrder(int window)
{
    if (window < 0 || window > kLastWindow)
        return;
    HWND frame = gWindowTable.frame[window];
    auto* editor = WindowRecordAs<EditorRecordHead>(frame, kRecordEditor);
    auto* gridEditor = WindowRecordAs<GridEditorRecordHead>(frame, kRecordGridEditor);
    std::vector<HWND> order;
    if (editor && editor->editorToolbar)
        order.push_back(editor->editorToolbar);
    if (gridEditor && gridEditor->toolbar)
        order.push_back(gridEditor->toolbar);
    if (gWindowTable.statusBar[window])
        order.push_back(gWindowTable.statusBar[window]);
    for (HWND tb : gWindowTable.toolbars[window])
        if (tb)
            order.push_back(tb);
    if (editor) {
        if (editor->commandPanel)
            order.push_back(editor->commandPanel);
        if (editor->commandLine)
            order.push_back(editor->commandLine);
    }
    HWND after = HWND_TOP;
    for (HWND w : order) {
        SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = w;
    }
}

void ToolbarCreate(int& id, int window, int slot, int& width, int& height)
{
    width = height = -1;
    if (window < 0 || window > kLastWindow || !gWindowTable.frame[window]) {
        id = -2;
        return;
    }
    if (slot < 0 || slot > 3)
        return;
    HWND f = gWindowTable.frame[window];
    RECT oldRect{};
    if (HWND old = gWindowTable.toolbars[window][slot]) {
        oldRect = ScreenRect(old);
        DestroyWindow(old);
        gWindowTable.toolbars[window][slot] = nullptr;
        gWindowTable.toolbarExtents[window][slot] = 0;
        if (!AnyToolbar(window))
            ToolTipTableFree(window);
    }
    HWND tb = nullptr;
    RECT newRect{};
    if (id != 0) {
        HRSRC res = (id > 0 && id <= 0xFFFF)
                        ? FindResourceA(gWindowSystem.instance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_RCDATA))
                        : nullptr;
        HGLOBAL g = res ? LoadResource(gWindowSystem.instance, res) : nullptr;
        auto* data = g ? static_cast<const unsigned char*>(LockResource(g)) : nullptr;
        unsigned size = res ? SizeofResource(gWindowSystem.instance, res) : 0;
        if (!data || size < 4) {
            id = -1;
        } else {
            int imageW = Word(data), imageH = Word(data + 2);
            // Entries up to the two closing 0 words.
            std::vector<int> entries;
            for (unsigned i = 4; i + 2 <= size; i += 2) {
                int w = Word(data + i);
                if (w == 0 && i + 4 <= size && Word(data + i + 2) == 0)
                    break;
                entries.push_back(w);
            }
            tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS,
                                 0, 0, 1, 1, f, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 gWindowSystem.instance, nullptr);
            if (tb) {
                WNDPROC proc = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrA(tb, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolbarSubclassProc)));
                if (!gToolbarClassProc)
                    gToolbarClassProc = proc;
                gWindowTable.toolbars[window][slot] = tb;
                BarsZOrder(window);
                SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
                SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(imageW, imageH));
                SendMessageA(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(imageW + 6, imageH + 6));
                std::vector<TBBUTTON> buttons(entries.size());
                int image = 0;
                HMENU menu = gWindowTable.menu[window];
                for (size_t k = 0; k < entries.size(); ++k) {
                    TBBUTTON& b = buttons[k];
                    std::memset(&b, 0, sizeof b);
                    b.idCommand = entries[k];
                    if (entries[k] == 0) {
                        b.fsStyle = TBSTYLE_SEP;
                        continue;
                    }
                    b.fsStyle = TBSTYLE_BUTTON;
                    b.iBitmap = image++;
                    HMENU holder = nullptr;
                    int pos = MenuItemFind(menu, entries[k], holder);
                    if (pos < 0) {
                        b.fsState = TBSTATE_ENABLED;
                    } else {
                        UINT s = GetMenuState(holder, static_cast<UINT>(pos), MF_BYPOSITION);
                        if (s & MF_CHECKED)
                            b.fsState |= TBSTATE_CHECKED;
                        if (!(s & MF_GRAYED))
                            b.fsState |= TBSTATE_ENABLED;
                    }
                }
                TBADDBITMAP bitmap{gWindowSystem.instance, static_cast<UINT_PTR>(id)};
                SendMessageA(tb, TB_ADDBITMAP, entries.size(), reinterpret_cast<LPARAM>(&bitmap));
                SendMessageA(tb, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
                if (slot == kToolbarLeft || slot == kToolbarRight) {
                    RECT rows{};
                    SendMessageA(tb, TB_SETROWS, MAKEWPARAM(std::max<size_t>(1, entries.size()), TRUE),
                                 reinterpret_cast<LPARAM>(&rows));
                }
                RECT cr;
                GetClientRect(f, &cr);
                int x = 0, y = 0, w, h;
                if (slot == kToolbarLeft || slot == kToolbarRight) {
                    w = imageW + 3;
                    h = cr.bottom;
                    x = slot == kToolbarLeft ? 0 : cr.right - w;
                    gWindowTable.toolbarExtents[window][slot] = w;
                } else {
                    w = cr.right;
                    h = imageH + 6;
                    if (slot == kToolbarTop) {
                        if (HWND own = EditorOwnToolbar(f)) {
                            RECT o = ScreenRect(own);
                            y = o.bottom - o.top;
                        }
                    } else {
                        y = cr.bottom - h;
                        if (HWND sb = gWindowTable.statusBar[window]) {
                            RECT s = ScreenRect(sb);
                            y -= s.bottom - s.top;
                        }
                    }
                    gWindowTable.toolbarExtents[window][slot] = h;
                }
                SetWindowPos(tb, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
                if (slot == kToolbarTop && !EditorOwnToolbar(f)) {
                    // The frame's layout auto-sizes the top toolbar: take the
                    // height it settles at, so that the client keeps its size.
                    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
                    RECT t = ScreenRect(tb);
                    gWindowTable.toolbarExtents[window][slot] = t.bottom - t.top;
                }

                int count = 0;
                for (HWND t : gWindowTable.toolbars[window])
                    if (t)
                        count += static_cast<int>(SendMessageA(t, TB_BUTTONCOUNT, 0, 0));
                if (count > gWindowTable.toolTipCount[window]) {
                    auto* table = static_cast<ToolTipRecord*>(std::calloc(static_cast<size_t>(count),
                                                                          sizeof(ToolTipRecord)));
                    if (table) {
                        if (gWindowTable.toolTips[window])
                            std::memcpy(table, gWindowTable.toolTips[window],
                                        sizeof(ToolTipRecord) * static_cast<size_t>(gWindowTable.toolTipCount[window]));
                        std::free(gWindowTable.toolTips[window]);
                        gWindowTable.toolTips[window] = table;
                        gWindowTable.toolTipCount[window] = count;
                    }
                }
                newRect = ScreenRect(tb);
            }
        }
    }
    // The record's toolbar words: an editor's and a grid editor's words 2 to 5,
    // a bitmap viewer's 1 to 4.
    WindowRecord* r = WindowRecordOf(f);
    if (r && r->type == kRecordEditor)
        reinterpret_cast<EditorRecordHead*>(r)->toolbars[slot] = tb;
    else if (r && r->type == kRecordGridEditor)
        reinterpret_cast<GridEditorRecordHead*>(r)->toolbars[slot] = tb;
    else if (r && r->type == kRecordBitmapViewer)
        reinterpret_cast<BitmapViewerRecordHead*>(r)->toolbars[slot] = tb;

    int dh = (newRect.bottom - newRect.top) - (oldRect.bottom - oldRect.top);
    int dw = (newRect.right - newRect.left) - (oldRect.right - oldRect.left);
    if (tb && !IsIconic(f) && (dh || dw) && IsZoomed(f)) {
        RECT o = ScreenRect(f);
        SetWindowPos(f, nullptr, 0, 0, (o.right - o.left) + (dw > 1 ? dw : 0), (o.bottom - o.top) + (dh > 1 ? dh : 0),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND client = gWindowTable.client[window];
    if (id == -1 || IsIconic(f) || (dh == 0 && dw == 0) || !client)
        return;
    RECT fc;
    GetClientRect(f, &fc);
    SendMessageA(f, WM_SIZE, IsZoomed(f) ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(fc.right, fc.bottom));
    bool vertical = slot == kToolbarLeft || slot == kToolbarRight;
    if ((vertical && dw != 0) || (!vertical && dh != 0)) {
        RECT cr;
        GetClientRect(client, &cr);
        width = cr.right;
        height = cr.bottom;
    }
}

void ToolTipSet(int& id, std::string_view text, int len)
{
    int n = gWindowSystem.currentWindow;
    if (n < 0 || n > kLastWindow || !AnyToolbar(n))
        n = 0;
    bool known = false;
    for (HWND tb : gWindowTable.toolbars[n])
        if (tb && SendMessageA(tb, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0) != -1)
            known = true;
    if (!known) {
        id = -1;
        return;
    }
    ToolTipRecord* table = gWindowTable.toolTips[n];
    int count = gWindowTable.toolTipCount[n];
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (table[i].id == id)
            at = i;
    if (at < 0)
        for (int i = 0; i < count; ++i)
            if (table[i].id == 0)
                at = i;
    if (at < 0)
        return;
    ToolTipRecord& rec = table[at];
    if (len <= 1) {
        rec.id = 0;
        rec.text[0] = '\0';
        return;
    }
    size_t chars = std::min<size_t>({static_cast<size_t>(len - 1), 79, text.size()});
    std::memcpy(rec.text, text.data(), chars);
    rec.text[chars] = '\0';
    rec.id = id;
}

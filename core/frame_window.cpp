// The frame and client window procedures of every library window.
#include "core/frame_window.h"

#include <commctrl.h>

#include <cstring>

#include "core/dialog_services.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/graphics_services.h"
#include "core/menus.h"
#include "core/special_windows.h"
#include "core/split_windows.h"
#include "core/status_bar.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"

bool IsInsideChild(HWND frame)
{
    return frame && (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD) != 0;
}

HWND EnclosingFrame(HWND frame)
{
    HWND parentClient = GetParent(frame);
    return parentClient ? GetParent(parentClient) : nullptr;
}

void FocusWalkOut(HWND frame, HMENU own, bool splitsOnly)
{
    HMENU chosen = own;
    HWND f = frame;
    HWND outer = nullptr;
    for (int depth = 0; depth < kWindowRows && IsInsideChild(f); ++depth) {
        HWND e = EnclosingFrame(f);
        if (!e)
            break;
        if (auto* split = WindowRecordAs<SplitRecord>(e, kRecordSplit))
            split->focusedPane = f;
        else if (splitsOnly)
            break;
        int en = WindowTableIndex(e);
        if (!chosen && en >= 0 && gWindowTable.menu[en])
            chosen = gWindowTable.menu[en];
        f = e;
        outer = e;
    }
    if (outer && chosen && GetMenu(outer) != chosen)
        SetMenu(outer, chosen);
}

void ChildPlacement(HWND f, int n, WPARAM kind)
{
    if (!IsInsideChild(f))
        return;
    if (n >= 0) {
        auto& saved = gWindowTable.savedPlacement[n];
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (kind == SIZE_MAXIMIZED && saved[0] == kNoPlacement) {
            GetWindowPlacement(f, &wp);
            saved = {static_cast<int>(wp.rcNormalPosition.left), static_cast<int>(wp.rcNormalPosition.top),
                     static_cast<int>(wp.rcNormalPosition.right), static_cast<int>(wp.rcNormalPosition.bottom)};
        } else if (kind == SIZE_RESTORED && saved[0] != kNoPlacement) {
            GetWindowPlacement(f, &wp);
            wp.rcNormalPosition = {saved[0], saved[1], saved[2], saved[3]};
            saved[0] = kNoPlacement;
            wp.showCmd = SW_SHOWNORMAL;
            SetWindowPlacement(f, &wp);
            ShowWindow(f, SW_SHOWNORMAL);
        }
    }
    if (kind == SIZE_MINIMIZED) {
        SendMessageA(f, WM_NCACTIVATE, FALSE, 0);
        if (HWND outer = EnclosingFrame(f))
            SendMessageA(outer, WM_NCACTIVATE, TRUE, 0);
    }
}

namespace {

// Realizes the library's palette on WINDOW's device context, when there is a
// palette (256-colour displays) and a window.
void PaletteRealize(HWND window)
{
    HPALETTE palette = WindowGraphicsPalette();
    if (!palette || !window)
        return;
    HDC dc = GetDC(window);
    HPALETTE old = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(window, dc);
}


constexpr UINT kMciNotify = 0x3B9; // MM_MCINOTIFY

void BringToTop(HWND frame)
{
    SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

// ---- layout on WM_SIZE --------------------------------------------------

void FrameLayout(HWND f, int n, WPARAM kind)
{
    ChildPlacement(f, n, kind);
    if (kind == SIZE_MINIMIZED)
        return;
    if (n < 0)
        return;
    RECT r;
    GetClientRect(f, &r);
    const UINT place = SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER;
    if (HWND sb = gWindowTable.statusBar[n]) {
        int parts = static_cast<int>(SendMessageA(sb, SB_GETPARTS, 0, 0));
        StatusBarPartsLayout(n, parts);
        InvalidateRect(sb, nullptr, FALSE);
        SendMessageA(sb, WM_SIZE, 0, 0);
        RECT s;
        GetWindowRect(sb, &s);
        r.bottom -= s.bottom - s.top;
    }
    auto& tb = gWindowTable.toolbars[n];
    if (HWND t = tb[kToolbarTop]) {
        SendMessageA(t, TB_AUTOSIZE, 0, 0);
        RECT s;
        GetWindowRect(t, &s);
        r.top += s.bottom - s.top;
    }
    if (HWND t = tb[kToolbarBottom]) {
        RECT s;
        GetWindowRect(t, &s);
        int h = s.bottom - s.top;
        r.bottom -= h;
        SetWindowPos(t, nullptr, 0, r.bottom, r.right - r.left, h, place);
    }
    if (HWND t = tb[kToolbarLeft]) {
        int w = gWindowTable.toolbarExtents[n][kToolbarLeft];
        SetWindowPos(t, nullptr, 0, r.top, w, r.bottom - r.top, place);
        r.left += w;
    }
    if (HWND t = tb[kToolbarRight]) {
        int w = gWindowTable.toolbarExtents[n][kToolbarRight];
        SetWindowPos(t, nullptr, r.right - w, r.top, w, r.bottom - r.top, place);
        r.right -= w;
    }
    if (HWND c = gWindowTable.client[n]) {
        int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(c, nullptr, r.left, r.top, w > 0 ? w : 0, h > 0 ? h : 0, SWP_NOZORDER);
    }
    if (auto* split = WindowRecordAs<SplitRecord>(f, kRecordSplit)) {
        RECT o;
        GetWindowRect(f, &o);
        split->outerWidth = o.right - o.left;
        split->outerHeight = o.bottom - o.top;
    }
}

// ---- size limits and hit testing ----------------------------------------

LRESULT MinMaxInfo(HWND f, WPARAM wParam, LPARAM lParam)
{
    auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
    if (auto* split = WindowRecordAs<SplitRecord>(f, kRecordSplit)) {
        if (!split->placing) {
            bool horizontal = split->options & kSplitHorizontal;
            bool proportional = split->options & kSplitProportional;
            bool widthFixed, heightFixed;
            if (horizontal) {
                widthFixed = SplitPaneFixed(split, 0, 0) || SplitPaneFixed(split, 1, 0);
                heightFixed = !proportional && SplitPaneFixed(split, 0, 1) && SplitPaneFixed(split, 1, 1);
            } else {
                widthFixed = !proportional && SplitPaneFixed(split, 0, 0) && SplitPaneFixed(split, 1, 0);
                heightFixed = SplitPaneFixed(split, 0, 1) || SplitPaneFixed(split, 1, 1);
            }
            if (widthFixed)
                mm->ptMaxSize.x = mm->ptMinTrackSize.x = mm->ptMaxTrackSize.x = split->outerWidth;
            if (heightFixed)
                mm->ptMaxSize.y = mm->ptMinTrackSize.y = mm->ptMaxTrackSize.y = split->outerHeight;
        }
        return 0;
    }
    if (auto* c = WindowRecordAs<ContentsDialogRecord>(f, kRecordContentsDialog)) {
        if (WindowDialogs().isResizable(c->dialog)) {
            mm->ptMinTrackSize.x = c->outerWidth;
            mm->ptMinTrackSize.y = c->outerHeight;
            return 0;
        }
    }
    return DefWindowProcA(f, WM_GETMINMAXINFO, wParam, lParam);
}

LRESULT HitTest(HWND f, WPARAM wParam, LPARAM lParam)
{
    LRESULT h = DefWindowProcA(f, WM_NCHITTEST, wParam, lParam);
    if (h == HTCAPTION && IsInsideChild(f) &&
        WindowRecordTypeOf(EnclosingFrame(f)) == kRecordSplit)
        return HTBORDER;
    auto* split = WindowRecordAs<SplitRecord>(f, kRecordSplit);
    if (!split)
        return h;
    bool horizontal = split->options & kSplitHorizontal;
    bool proportional = split->options & kSplitProportional;
    bool widthFixed = horizontal ? SplitPaneFixed(split, 1, 0) != 0
                                 : (!proportional && SplitPaneFixed(split, 0, 0) && SplitPaneFixed(split, 1, 0));
    bool heightFixed = horizontal ? (!proportional && SplitPaneFixed(split, 0, 1) && SplitPaneFixed(split, 1, 1))
                                  : (SplitPaneFixed(split, 0, 1) || SplitPaneFixed(split, 1, 1));
    if (widthFixed) {
        if (h == HTLEFT || h == HTRIGHT)
            h = HTBORDER;
        else if (h == HTTOPLEFT || h == HTTOPRIGHT)
            h = HTTOP;
        else if (h == HTBOTTOMLEFT || h == HTBOTTOMRIGHT)
            h = HTBOTTOM;
    }
    if (heightFixed) {
        if (h == HTTOP || h == HTBOTTOM)
            h = HTBORDER;
        else if (h == HTTOPLEFT || h == HTBOTTOMLEFT)
            h = HTLEFT;
        else if (h == HTTOPRIGHT || h == HTBOTTOMRIGHT)
            h = HTRIGHT;
    }
    return h;
}

// ---- tool tips ----------------------------------------------------------

LRESULT ToolTipText(LPARAM lParam)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->code != TTN_NEEDTEXTA)
        return 0;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    int id = static_cast<int>(hdr->idFrom);
    const char* found = nullptr;
    bool matched = false;
    for (int n = 0; n <= kLastWindow && !matched; ++n) {
        for (int slot = kToolbarTop; slot <= kToolbarRight; ++slot) {
            HWND tb = gWindowTable.toolbars[n][slot];
            if (!tb || reinterpret_cast<HWND>(SendMessageA(tb, TB_GETTOOLTIPS, 0, 0)) != hdr->hwndFrom)
                continue;
            matched = true;
            ToolTipRecord* table = gWindowTable.toolTips[n];
            for (int i = 0; table && i < gWindowTable.toolTipCount[n]; ++i)
                if (table[i].id == id)
                    found = table[i].text;
            break;
        }
    }
    if (found) {
        lstrcpynA(info->szText, found, sizeof info->szText);
        return 0;
    }
    char text[81];
    if (LoadStringA(gWindowSystem.instance, static_cast<UINT>(id), text, sizeof text) > 0)
        lstrcpynA(info->szText, text, sizeof info->szText);
    return 0;
}

// ---- menu help ----------------------------------------------------------

// The window whose menu the loop of frame window N shows; -1 when none.
int MenuLoopOwner(int n, HWND frame)
{
    if (gWindowSystem.popupMenuLoop)
        return MenuOwnerWindow(n);
    HMENU shown = GetMenu(frame);
    if (!shown)
        return -1;
    int owner = -1;
    for (int i = 0; i <= kLastWindow; ++i) {
        if (!gWindowTable.frame[i])
            continue;
        WindowRecord* r = WindowRecordOf(gWindowTable.frame[i]);
        HMENU m = (r && r->type == kRecordEditor) ? SpecialRecordMenu(r) : gWindowTable.menu[i];
        if (m == shown)
            owner = i;
    }
    return owner;
}

bool HelpApplies(int m, HWND frame)
{
    if (gWindowSystem.popupHelp || !GetMenu(frame))
        return true;
    if (m < 0)
        return false;
    if (gWindowTable.menuHelpResource[m] || gWindowTable.menuHelpCount[m] > 0)
        return true;
    int t = WindowRecordTypeOf(gWindowTable.frame[m]);
    return t == kRecordEditor || t == kRecordGridEditor;
}

void SimpleText(HWND sb, const char* text)
{
    SendMessageA(sb, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
}

void EnterMenuLoop(HWND frame, int n, WPARAM wParam)
{
    gWindowSystem.popupMenuLoop = static_cast<int>(wParam);
    HWND sb = WindowStatusBarOf(n);
    if (!sb)
        return;
    int m = MenuLoopOwner(n, frame);
    if (HelpApplies(m, frame)) {
        SimpleText(sb, "");
        SendMessageA(sb, SB_SIMPLE, TRUE, 0);
    }
}

void MenuSelect(HWND frame, int n, WPARAM wParam, LPARAM lParam)
{
    HWND sb = WindowStatusBarOf(n);
    if (!sb)
        return;
    int m = MenuLoopOwner(n, frame);
    if (!HelpApplies(m, frame))
        return;
    UINT flags = HIWORD(wParam);
    if (flags != 0xFFFF && (flags & MF_SYSMENU)) {
        SimpleText(sb, SystemMenuHelpText(LOWORD(wParam)));
        return;
    }
    bool lookUp = gWindowSystem.popupHelp || (m >= 0 && (gWindowTable.menuHelpResource[m] ||
                                                         gWindowTable.menuHelpCount[m] > 0));
    const char* text = nullptr;
    if (lookUp) {
        UINT id = LOWORD(wParam);
        if (flags != 0xFFFF && (flags & MF_POPUP) && lParam) {
            MENUITEMINFOA mi{};
            mi.cbSize = sizeof mi;
            mi.fMask = MIIM_ID;
            if (GetMenuItemInfoA(reinterpret_cast<HMENU>(lParam), id, TRUE, &mi))
                id = mi.wID;
            else
                id = 0;
        }
        if (id) {
            int owner = MenuOwnerWindow(n);
            if (owner >= 0 && gWindowTable.menu[owner]) {
                MENUITEMINFOA mi{};
                mi.cbSize = sizeof mi;
                mi.fMask = MIIM_DATA;
                if (GetMenuItemInfoA(gWindowTable.menu[owner], id, FALSE, &mi) && mi.dwItemData)
                    text = reinterpret_cast<const char*>(mi.dwItemData);
            }
            if (!text && m >= 0)
                text = MenuHelpText(gWindowTable.menuHelpResource[m], static_cast<int>(id));
            if (!text)
                text = MenuHelpText(gWindowSystem.popupHelp, static_cast<int>(id));
        }
        SimpleText(sb, text ? text : "");
        if (text)
            return;
    }
    int t = m >= 0 ? WindowRecordTypeOf(gWindowTable.frame[m]) : 0;
    if ((t == kRecordEditor || t == kRecordGridEditor) && !gWindowSystem.statusBarRequest) {
        WindowRecord* r = WindowRecordOf(gWindowTable.frame[m]);
        if (HWND* field = SpecialRecordStatusBarField(r)) {
            gWindowSystem.statusBarRequest = 1;
            gWindowSystem.statusBarSaveWord = *field;
            *field = sb;
            SendMessageA(gWindowTable.frame[m], WM_MENUSELECT, wParam, lParam);
            *field = gWindowSystem.statusBarSaveWord;
            gWindowSystem.statusBarSaveWord = nullptr;
            gWindowSystem.statusBarRequest = 0;
            return;
        }
    }
    if (!lookUp)
        SimpleText(sb, "");
}

// ---- commands -----------------------------------------------------------

// The pane that the menu commands of FRAME (and their accelerators) reach
// when FRAME is a split window: the pane the user works in (the focused
// pane, split by split) when it is an editor of the kind whose menu the
// split carries, else that editor (the special pane); with no special pane,
// the focused pane. FRAME itself when it is no split window.
HWND SplitCommandPane(HWND frame)
{
    HWND focused = frame, special = nullptr;
    for (int depth = 0; depth < kWindowRows; ++depth) {
        auto* split = WindowRecordAs<SplitRecord>(focused, kRecordSplit);
        if (!split)
            break;
        if (!special)
            special = split->specialPane;
        if (!split->focusedPane)
            break;
        focused = split->focusedPane;
    }
    if (!special || WindowRecordTypeOf(focused) == WindowRecordTypeOf(special))
        return focused;
    return special;
}

void Command(HWND frame, int n, WPARAM wParam, LPARAM lParam)
{
    HWND target = lParam == 0 ? SplitCommandPane(frame) : frame;
    int t = WindowRecordTypeOf(target);
    // An editor frame hands the commands it does not take to this procedure:
    // only a pane reached through a split window is sent the command.
    if (target != frame && (t == kRecordEditor || t == kRecordGridEditor))
        SendMessageA(target, WM_COMMAND, wParam, lParam);
    else
        EventStore(kEventCommand, 0, wParam, lParam, target);
    if (lParam && n >= 0)
        for (HWND tb : gWindowTable.toolbars[n])
            if (tb && tb == reinterpret_cast<HWND>(lParam))
                UpdateWindow(tb);
}

void FrameButtonDown(HWND frame, UINT message, WPARAM wParam)
{
    int button = message == WM_NCLBUTTONDOWN ? 1 : message == WM_NCMBUTTONDOWN ? 2 : 3;
    if (message == WM_NCLBUTTONDOWN)
        gWindowSystem.pressedCaptionFrame = frame;
    if (wParam != HTMINBUTTON)
        EventStore(kEventFrameButton, button, wParam, 0, frame);
    BringToTop(frame);
    WindowFocusActivate(frame);
    HWND f = frame;
    for (int depth = 0; depth < kWindowRows; ++depth) {
        auto* split = WindowRecordAs<SplitRecord>(f, kRecordSplit);
        if (!split || !split->focusedPane)
            break;
        WindowFocusActivate(split->focusedPane);
        f = split->focusedPane;
    }
}

void SoundNotify(LPARAM device)
{
    using MciSend = DWORD(WINAPI*)(UINT, UINT, DWORD_PTR, DWORD_PTR);
    for (int n = 0; n <= kLastWindow; ++n)
        if (gWindowTable.soundDevice[n] == static_cast<unsigned>(device))
            gWindowTable.soundDevice[n] = 0;
    if (HMODULE winmm = LoadLibraryA("winmm.dll")) {
        if (auto send = reinterpret_cast<MciSend>(reinterpret_cast<void*>(GetProcAddress(winmm, "mciSendCommandA"))))
            send(static_cast<UINT>(device), 0x0804 /* MCI_CLOSE */, 0, 0);
        FreeLibrary(winmm);
    }
}

} // namespace

const char* SystemMenuHelpText(UINT cmd)
{
    switch (cmd & 0xFFF0) {
    case SC_SIZE:
        return "Changes the window size";
    case SC_MOVE:
        return "Changes the window position";
    case SC_MINIMIZE:
        return "Reduces the window to an icon";
    case SC_MAXIMIZE:
        return "Enlarges the window to full size";
    case SC_CLOSE:
        return "Closes the window";
    case SC_RESTORE:
        return "Restores the window to its normal size";
    default:
        return "";
    }
}

HWND WindowStatusBarOf(int n)
{
    for (int depth = 0; depth < kWindowRows && n >= 0 && n <= kLastWindow; ++depth) {
        if (gWindowTable.statusBar[n])
            return gWindowTable.statusBar[n];
        HWND frame = gWindowTable.frame[n];
        if (!IsInsideChild(frame))
            return nullptr;
        n = WindowTableIndex(GetParent(frame));
    }
    return nullptr;
}

int SplitCloseQuery(HWND frame)
{
    auto* split = WindowRecordAs<SplitRecord>(frame, kRecordSplit);
    if (!split)
        return 1;
    int answer = 1;
    for (int p = 0; p < 2 && answer != 0; ++p) {
        int pane = split->pane[p];
        if (!WindowIsOpen(pane))
            continue;
        HWND pf = gWindowTable.frame[pane];
        WindowRecord* r = WindowRecordOf(pf);
        if (!r)
            continue;
        answer = r->type == kRecordSplit ? SplitCloseQuery(pf) : SpecialRecordCloseQuery(pf, r, pane);
    }
    return answer;
}

int SplitAcceleratorsTranslate(int n, int m, MSG* msg)
{
    if (n < 0 || n > kLastWindow || m < 0 || m > kLastWindow)
        return 0;
    HWND frame = gWindowTable.frame[n];
    auto* split = WindowRecordAs<SplitRecord>(frame, kRecordSplit);
    if (split && split->specialPane) {
        HWND pane = SplitCommandPane(frame);
        WindowRecord* r = WindowRecordOf(pane);
        if (r && (r->type == kRecordEditor || r->type == kRecordGridEditor)) {
            for (int which = r->type == kRecordEditor ? 0 : 1; which <= 2; ++which) {
                HACCEL a = SpecialRecordAccelerators(r, which);
                if (a && TranslateAcceleratorA(pane, a, msg))
                    return 1;
            }
            return 0;
        }
    }
    HACCEL a = gWindowTable.accelerators[m];
    return (a && frame && TranslateAcceleratorA(frame, a, msg)) ? 1 : 0;
}

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    int n = WindowTableIndex(window);
    switch (message) {
    case WM_DESTROY:
        if (n >= 0) {
            if (gWindowTable.menu[n])
                MenuFreeHelp(gWindowTable.menu[n], n);
            gWindowTable.menu[n] = nullptr;
            gWindowTable.accelerators[n] = nullptr;
            gWindowTable.menuHelpResource[n] = {};
            gWindowTable.toolbars[n] = {};
            ToolTipTableFree(n);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
        FrameLayout(window, n, wParam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam))
            WindowFocusActivate(window);
        DefWindowProcA(window, message, wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        if (n >= 0 && gWindowTable.client[n])
            SetFocus(gWindowTable.client[n]);
        return 0;
    case WM_CLOSE:
        if (!WindowRecordAs<SplitRecord>(window, kRecordSplit) || SplitCloseQuery(window))
            EventStore(kEventClose, 0, wParam, lParam, window);
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam) {
            WindowFocusActivate(nullptr);
        } else if (n >= 0) {
            PaletteRealize(gWindowTable.client[n]);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_GETMINMAXINFO:
        return MinMaxInfo(window, wParam, lParam);
    case WM_NOTIFY:
        return ToolTipText(lParam);
    case WM_NCHITTEST:
        return HitTest(window, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        FrameButtonDown(window, message, wParam);
        DefWindowProcA(window, message, wParam, lParam);
        return 0;
    case WM_NCLBUTTONUP:
        gWindowSystem.pressedCaptionFrame = nullptr;
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        BringToTop(window);
        WindowFocusActivate(window);
        return 0;
    case WM_SYSCHAR:
        if (IsInsideChild(window) && wParam != '-')
            return SendMessageA(GetParent(window), message, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 || HIWORD(wParam) == 1)
            Command(window, n, wParam, lParam);
        else
            DefWindowProcA(window, message, wParam, lParam);
        return 0;
    case WM_TIMER:
        KillTimer(window, wParam);
        EventStore(kEventTimer, 0, wParam, lParam, window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_INITMENUPOPUP: {
        HWND f = window;
        for (int depth = 0; depth < kWindowRows; ++depth) {
            auto* split = WindowRecordAs<SplitRecord>(f, kRecordSplit);
            if (!split || !split->focusedPane)
                break;
            f = split->focusedPane;
        }
        int t = WindowRecordTypeOf(f);
        if (f != window && (t == kRecordEditor || t == kRecordGridEditor))
            return SendMessageA(f, message, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_ENTERMENULOOP:
        EnterMenuLoop(window, n, wParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MENUSELECT:
        MenuSelect(window, n, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_EXITMENULOOP:
        gWindowSystem.pressedCaptionFrame = nullptr;
        if (HWND sb = WindowStatusBarOf(n))
            SendMessageA(sb, SB_SIMPLE, FALSE, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_EXITSIZEMOVE: {
        LONG style = GetWindowLongA(window, GWL_STYLE);
        if ((style & WS_CHILD) && (style & WS_MINIMIZE) && window != gWindowTable.frame[0])
            ArrangeIconicWindows(GetParent(window));
        return 0;
    }
    case WM_PALETTECHANGED:
        if (n >= 0 && gWindowTable.client[n])
            return SendMessageA(gWindowTable.client[n], message, wParam, lParam);
        return 0;
    case kMciNotify:
        SoundNotify(lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// ---- the client procedure -------------------------------------------------

namespace {

HWND FrameOfClient(HWND client)
{
    return GetParent(client);
}

// Expose or resize that happened while nobody waited: held for the window.
void PendingAfter(HWND client, int n, bool paint, bool hidden)
{
    auto& s = gCurrentEventSlot;
    if (n < 0 || s.waiting != 0 || s.dispatching || gWindowSystem.snapshotsActive || hidden || s.type <= 0)
        return;
    int t = WindowRecordTypeOf(FrameOfClient(client));
    if (t == kRecordSplit || t == kRecordContentsDialog)
        return;
    PendingEvent& p = gPendingEventTable.entry[n];
    if (p.type == kEventResize && paint)
        return;
    p.type = paint ? kEventExpose : kEventResize;
    p.value1 = s.value1;
    p.value2 = s.value2;
    p.value3 = s.value3;
    p.value4 = s.value4;
    p.x = s.x;
    p.y = s.y;
    p.time = s.time;
}

void KeyDown(HWND client, WPARAM v, LPARAM lParam)
{
    MSG next;
    bool haveChar = false;
    WPARAM c = 0;
    if (PeekMessageA(&next, client, 0, 0, PM_NOREMOVE) && next.message == WM_CHAR) {
        PeekMessageA(&next, client, WM_CHAR, WM_CHAR, PM_REMOVE);
        haveChar = true;
        c = next.wParam;
    }
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (haveChar) {
        if (v >= 96 && v <= 111)
            EventStore(kEventKey, 1, v, lParam, client);
        else if (shift && c == 9)
            EventStore(kEventKey, 1, VK_TAB + kKeyMarkShift, lParam, client);
        else
            EventStore(kEventKey, 0, c, lParam, client);
        return;
    }
    if ((v >= 16 && v <= 20) || v == 144 || v == 145)
        return;
    WPARAM key = v;
    if (ctrl)
        key += kKeyMarkCtrl;
    else if (shift)
        key += kKeyMarkShift;
    EventStore(kEventKey, 1, key, lParam, client);
}

void MouseDown(HWND client, UINT message, WPARAM wParam, LPARAM lParam)
{
    int button = 1;
    bool dbl = false;
    switch (message) {
    case WM_LBUTTONDBLCLK:
        dbl = true;
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        button = 1;
        break;
    case WM_MBUTTONDBLCLK:
        dbl = true;
        [[fallthrough]];
    case WM_MBUTTONDOWN:
        button = 2;
        break;
    case WM_RBUTTONDBLCLK:
        dbl = true;
        [[fallthrough]];
    default:
        button = 3;
        break;
    }
    int type = (dbl && gEventEnableMask.flag[kEventDoubleClick - 1]) ? kEventDoubleClick : kEventMouseDown;
    SetCapture(client);
    EventStore(type, button, wParam, lParam, client);
    HWND frame = FrameOfClient(client);
    BringToTop(frame);
    WindowFocusActivate(frame);
}

// Walks outward from the frame that got the focus, recording the focused
// pane of every enclosing split window, and shows the right menu on the
// outermost frame.
void FocusMenus(HWND frame, int n)
{
    if (auto* encl = IsInsideChild(frame) ? WindowRecordAs<SplitRecord>(EnclosingFrame(frame), kRecordSplit)
                                          : nullptr)
        encl->focusedPane = frame;
    if (WindowRecordTypeOf(frame) == kRecordSplit)
        return;
    FocusWalkOut(frame, n >= 0 ? gWindowTable.menu[n] : nullptr, false);
}

void ClientFocus(HWND client, int n)
{
    HWND frame = FrameOfClient(client);
    gWindowSystem.lastActiveFrame = frame;
    gActiveDialog = nullptr;
    if (!(n == 0 && !IsWindowVisible(frame)))
        BringToTop(frame);
    FocusMenus(frame, n);
    if (auto* c = WindowRecordAs<ContentsDialogRecord>(frame, kRecordContentsDialog)) {
        int saved = gEventEnableMask.flag[kEventFieldChanged - 1];
        gEventEnableMask.flag[kEventFieldChanged - 1] = 0;
        SetWindowPos(c->dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        SendMessageA(c->dialog, WM_ACTIVATE, WA_ACTIVE, 0);
        HWND focus = GetFocus();
        if (focus != c->dialog && !IsChild(c->dialog, focus))
            SetFocus(c->dialog);
        gActiveDialog = c->dialog;
        gEventEnableMask.flag[kEventFieldChanged - 1] = saved;
    }
    if (auto* split = WindowRecordAs<SplitRecord>(frame, kRecordSplit)) {
        if (split->focusedPane) {
            WindowFocusActivate(split->focusedPane);
            SetFocus(split->focusedPane);
        }
    }
}

void ClientPaint(HWND client, int n, WPARAM wParam, LPARAM lParam)
{
    HWND frame = FrameOfClient(client);
    PaletteRealize(client);
    if (gWindowSystem.snapshotsActive) {
        HBITMAP snap = n >= 0 ? gWindowTable.snapshotBitmap[n] : nullptr;
        HWND snapWindow = client;
        if (!snap && IsInsideChild(frame) && !WindowRecordOf(frame)) {
            HWND f = frame;
            while (IsInsideChild(f) && EnclosingFrame(f))
                f = EnclosingFrame(f);
            int o = WindowTableIndex(f);
            if (o >= 0) {
                snap = gWindowTable.snapshotBitmap[o];
                snapWindow = gWindowTable.client[o];
            }
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(client, &ps);
        if (snap) {
            RECT r;
            GetClientRect(client, &r);
            MapWindowPoints(client, snapWindow, reinterpret_cast<POINT*>(&r), 2);
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, snap);
            BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, mem, r.left, r.top, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        EndPaint(client, &ps);
        return;
    }
    int t = WindowRecordTypeOf(frame);
    if (t != kRecordContentsDialog && t != kRecordSplit)
        EventStore(kEventExpose, 0, wParam, lParam, client);
    DefWindowProcA(client, WM_PAINT, wParam, lParam);
    PendingAfter(client, n, true, false);
}

BOOL CALLBACK RemaximiseChild(HWND child, LPARAM parent)
{
    if (GetParent(child) != reinterpret_cast<HWND>(parent))
        return TRUE;
    char cls[16];
    if (GetClassNameA(child, cls, sizeof cls) && lstrcmpiA(cls, "QUILCHILD") == 0 && IsZoomed(child)) {
        HWND before = GetWindow(child, GW_HWNDPREV);
        SetWindowLongA(child, GWL_STYLE, GetWindowLongA(child, GWL_STYLE) & ~WS_MAXIMIZE);
        ShowWindow(child, SW_SHOWMAXIMIZED);
        SetWindowPos(child, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    return TRUE;
}

void ClientSize(HWND client, int n, WPARAM wParam, LPARAM lParam)
{
    HWND frame = FrameOfClient(client);
    if (auto* split = WindowRecordAs<SplitRecord>(frame, kRecordSplit)) {
        SplitLayout(split);
        ValidateRect(client, nullptr);
        return;
    }
    if (auto* c = WindowRecordAs<ContentsDialogRecord>(frame, kRecordContentsDialog)) {
        SetWindowPos(c->dialog, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                     SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER);
        ValidateRect(client, nullptr);
        return;
    }
    ArrangeIconicWindows(client);
    if (IsInsideChild(frame))
        ArrangeIconicWindows(GetParent(frame));
    RedrawWindow(client, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW | RDW_NOCHILDREN);
    EventStore(kEventResize, 0, wParam, lParam, client);
    bool hidden = !IsWindowVisible(client);
    EnumChildWindows(client, RemaximiseChild, reinterpret_cast<LPARAM>(client));
    PendingAfter(client, n, false, hidden);
}

} // namespace

LRESULT CALLBACK ClientWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    int n = WindowTableIndex(window);
    switch (message) {
    case WM_KEYDOWN:
        KeyDown(window, wParam, lParam);
        return 0;
    case WM_CHAR:
        EventStore(kEventKey, 0, wParam, lParam, window);
        return 0;
    case WM_SYSCHAR:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 || HIWORD(wParam) == 1) {
            EventStore(kEventCommand, 0, wParam, lParam, window);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        MouseDown(window, message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP: {
        ReleaseCapture();
        int button = message == WM_LBUTTONUP ? 1 : message == WM_MBUTTONUP ? 2 : 3;
        EventStore(kEventMouseUp, button, wParam, lParam, window);
        return 0;
    }
    case WM_MOUSEMOVE:
        EventStore(kEventMouseMove, 0, wParam, lParam, window);
        return 0;
    case WM_MOUSEWHEEL: {
        short delta = static_cast<short>(HIWORD(wParam));
        EventStore(kEventMouseDown, delta >= 0 ? 4 : 5, wParam, lParam, window);
        return 0;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCRBUTTONDOWN: {
        int button = message == WM_NCLBUTTONDOWN ? 1 : message == WM_NCMBUTTONDOWN ? 2 : 3;
        EventStore(kEventFrameButton, button, wParam, lParam, window);
        HWND frame = FrameOfClient(window);
        BringToTop(frame);
        WindowFocusActivate(frame);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_TIMER:
        if (wParam == kTimerWaitId && gWindowSystem.timerWaitFlag) {
            gWindowSystem.timerWaitFlag = 0;
            KillTimer(window, kTimerWaitId);
        } else {
            EventStore(kEventTimer, 0, wParam, lParam, window);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:
        ClientFocus(window, n);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam))
            WindowFocusActivate(FrameOfClient(window));
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETCURSOR: {
        HCURSOR cursor = (n >= 0 && gWindowTable.cursor[n]) ? gWindowTable.cursor[n] : gGlobalCursor;
        if (cursor && LOWORD(lParam) == HTCLIENT) {
            int t = WindowRecordTypeOf(FrameOfClient(window));
            if (t == 0 || t == kRecordBitmapViewer) {
                SetCursor(cursor);
                return TRUE;
            }
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_ERASEBKGND:
        if (n >= 0 && gWindowTable.backgroundBrush[n]) {
            RECT r;
            GetClipBox(reinterpret_cast<HDC>(wParam), &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, gWindowTable.backgroundBrush[n]);
            return 1;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT:
        ClientPaint(window, n, wParam, lParam);
        return 0;
    case WM_SIZE:
        ClientSize(window, n, wParam, lParam);
        return 0;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != window)
            PaletteRealize(window);
        return 0;
    case WM_MENUSELECT:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Child windows: opening at the lowest free number, closing with everything
// that depends on the window.
#include "core/child_windows.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

#include "core/dialog_services.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/graphics_services.h"
#include "core/layer_steps.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/menus.h"
#include "core/split_windows.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"

namespace {

int ScreenWidth()
{
    return gLibraryState.screenWidth > 0 ? gLibraryState.screenWidth : GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight()
{
    return gLibraryState.screenHeight > 0 ? gLibraryState.screenHeight : GetSystemMetrics(SM_CYSCREEN);
}

// (extent - 1) x value / 9999 or extent x value / 9999 in 64 bits, kept in int range.
int Scale(long long extent, long long value)
{
    long long r = extent * value / 9999;
    return static_cast<int>(std::clamp<long long>(r, INT_MIN, INT_MAX));
}

// W lies inside FRAME, or its top-level window is owned (directly or through
// further owners, or through windows inside them) by FRAME or a window inside it.
bool DescendsFrom(HWND w, HWND frame)
{
    if (!w || !frame || w == frame)
        return false;
    for (int depth = 0; w && depth < 64; ++depth) {
        if (IsChild(frame, w))
            return true;
        HWND top = GetAncestor(w, GA_ROOT);
        if (top == frame)
            return true;
        w = top ? GetWindow(top, GW_OWNER) : nullptr;
        if (w == frame)
            return true;
    }
    return false;
}

// Frees what row I holds and clears it (the window itself goes with its parent).
void RowRelease(int i, HWND mainFrame)
{
    HWND f = gWindowTable.frame[i];
    if (gWindowTable.menu[i])
        MenuFreeHelp(gWindowTable.menu[i], i);
    ToolTipTableFree(i);
    if (gWindowSystem.lastActiveFrame == f)
        gWindowSystem.lastActiveFrame = mainFrame;
    if (gWindowSystem.semiModelessDialog && (gWindowSystem.semiModelessDialog == f))
        gWindowSystem.semiModelessDialog = nullptr;
    gWindowTable.menu[i] = nullptr;
    gWindowTable.accelerators[i] = nullptr;
    gWindowTable.menuHelpResource[i] = {};
    gWindowTable.menuHelpCount[i] = 0;
    WindowRowClear(i);
}

void MenuDrop(int i, HWND f, bool keep)
{
    HMENU m = gWindowTable.menu[i];
    if (!m)
        return;
    MenuFreeHelp(m, i);
    if (!keep) {
        if (f && IsWindow(f) && GetMenu(f) == m)
            SetMenu(f, nullptr);
        DestroyMenu(m);
    }
    gWindowTable.menu[i] = nullptr;
}

} // namespace

void WindowSoundClose(int n)
{
    if (n < 0 || n > kLastWindow || !gWindowTable.soundDevice[n])
        return;
    using MciSend = DWORD(WINAPI*)(UINT, UINT, DWORD_PTR, DWORD_PTR);
    UINT device = gWindowTable.soundDevice[n];
    gWindowTable.soundDevice[n] = 0;
    if (HMODULE winmm = LoadLibraryA("winmm.dll")) {
        if (auto send = reinterpret_cast<MciSend>(reinterpret_cast<void*>(GetProcAddress(winmm, "mciSendCommandA")))) {
            send(device, 0x0808 /* MCI_STOP */, 0, 0);
            send(device, 0x0804 /* MCI_CLOSE */, 0, 0);
        }
        FreeLibrary(winmm);
    }
}

void ChildWindowCreate(int x, int y, int width, int height, int& handle, int flags, int menu,
                       const int toolbars[4], int& dialog, int parent, int background, const char* title)
{
    int n = WindowSlotFree();
    if (n < 0) {
        handle = -1;
        return;
    }
    bool inside = flags & kWindowInsideParent;
    if (inside) {
        if (parent < 0 || parent > kLastWindow || !gWindowTable.frame[parent]) {
            handle = -5;
            return;
        }
        HWND pf = gWindowTable.frame[parent];
        if (!IsWindowVisible(pf)) {
            handle = -2;
            return;
        }
        int t = WindowRecordTypeOf(pf);
        if (t == kRecordContentsDialog) {
            handle = -3;
            return;
        }
        if (t != 0) {
            handle = -4;
            return;
        }
    }
    if (parent < 0 || parent > kLastWindow)
        parent = 0;

    int working = flags;
    bool fits = false;
    if (dialog != 0) {
        int status = 0;
        if (WindowDialogs().indexById(dialog) >= 0)
            status = -5;
        else if (WindowDialogs().tableCount() >= 100)
            status = -3;
        else
            status = ContentsDialogProbe(dialog, gWindowTable.frame[0], width, height, working);
        if (status < 0)
            dialog = status;
        else
            fits = true;
    }

    DWORD base = (inside ? WS_CHILD : WS_POPUP) | WS_CAPTION | WS_CLIPCHILDREN;
    DWORD style = FrameStyle(working, base);
    if (gWindowSystem.semiModelessCount > 0)
        style |= WS_DISABLED;
    DWORD ex = FrameExStyle(working, WS_EX_APPWINDOW);
    if (working & kWindowToolWindow)
        ex = (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW;
    HWND owner = inside ? gWindowTable.client[parent]
                        : ((working & kWindowOwned) ? gWindowTable.frame[parent] : nullptr);
    HMENU hmenu = (!inside && menu) ? LoadMenuA(gWindowSystem.instance, MAKEINTRESOURCEA(menu)) : nullptr;
    WindowBackgroundSet(n, background);

    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, hmenu != nullptr, 0);
    AdjustWindowRectEx(&outer, style, FALSE, ex);
    int outerW = outer.right - outer.left, outerH = outer.bottom - outer.top;
    bool centreX = x == kCentred, centreY = y == kCentred;
    int roomW = ScreenWidth(), roomH = ScreenHeight();
    if (inside) {
        RECT pr{};
        GetClientRect(gWindowTable.client[parent], &pr);
        roomW = pr.right;
        roomH = pr.bottom;
    }
    if (centreX)
        x = (roomW - outerW) / 2;
    if (centreY)
        y = (roomH - outerH) / 2;

    HWND activeHost = nullptr;
    if (gActiveDialog && IsWindowVisible(gActiveDialog)) {
        HWND host = WindowDialogs().recordHandle(gActiveDialog, kDlgHost);
        activeHost = host ? host : gActiveDialog;
    }
    gWindowTable.activationOwner[n] = activeHost ? activeHost : gWindowSystem.lastActiveFrame;

    HWND frame = CreateWindowExA(ex, "QUILCHILD", title, style, x, y, outerW, outerH, owner, hmenu,
                                 gWindowSystem.instance, nullptr);
    if (!frame) {
        if (hmenu)
            DestroyMenu(hmenu);
        WindowRowClear(n);
        handle = -1;
        return;
    }
    gWindowTable.frame[n] = frame;
    WindowMenuRowLoad(n, GetMenu(frame), menu);
    gWindowTable.savedPlacement[n] = {kNoPlacement, 0, 0, 0};
    RECT pos;
    GetWindowRect(frame, &pos);
    if (inside)
        MapWindowPoints(nullptr, gWindowTable.client[parent], reinterpret_cast<POINT*>(&pos), 2);
    WindowBarsCreate(n, toolbars, working, centreX, centreY, pos);
    HWND client = ClientWindowCreate(n);
    if (!client) {
        DestroyWindow(frame);
        gWindowTable.frame[n] = nullptr;
        gWindowTable.client[n] = nullptr;
        WindowRowClear(n);
        handle = -1;
        return;
    }
    if (fits)
        dialog = ContentsDialogAttach(n, dialog, working);
    RECT cr;
    if (working & kWindowHidden) {
        if (working & kWindowMaximised) {
            GetClientRect(frame, &cr);
            SendMessageA(frame, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(cr.right, cr.bottom));
        }
    } else {
        ShowWindow(frame, (working & kWindowMaximised) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        ValidateRect(client, nullptr);
        if (auto* cd = WindowRecordAs<ContentsDialogRecord>(frame, kRecordContentsDialog))
            UpdateWindow(cd->dialog);
        gWindowTable.savedPlacement[n] = {kNoPlacement, 0, 0, 0};
        SetFocus(client);
        WindowFocusActivate(frame);
    }
    handle = n;
}

void WindowOpenChild(int& handle, const int* flags, const int* x, const int* y, const int* width,
                     const int* height, const int* menu, const int* toolbars, int* dialog, std::string_view title,
                     const int* parent, const int* bgColour)
{
    int f = flags ? *flags : kWindowFlagsDefault;
    int px = x ? *x : kCentred;
    int py = y ? *y : kCentred;
    int p = parent ? *parent : 0;
    int m = menu ? *menu : 0;
    int bars[4] = {0, 0, 0, 0};
    if (toolbars)
        std::copy(toolbars, toolbars + 4, bars);
    int d = dialog ? *dialog : 0;
    int background = bgColour ? *bgColour : -1;
    int savedW = gLibraryState.currentWindowWidth, savedH = gLibraryState.currentWindowHeight;
    int w, h;
    if (f & kWindowInsideParent) {
        w = (width && *width > 0) ? *width : 8000;
        h = (height && *height > 0) ? *height : 8000;
        if (p >= 0 && p <= kLastWindow && gWindowTable.frame[p])
            WindowTargetSelect(p, 0);
        long long pw = gLibraryState.currentWindowWidth, ph = gLibraryState.currentWindowHeight;
        if (px != kCentred)
            px = Scale(pw - 1, px);
        if (py != kCentred)
            py = Scale(ph - 1, py);
        w = Scale(pw, w);
        h = Scale(ph, h);
    } else {
        w = (width && *width > 0) ? *width : ScreenWidth() * 8 / 10;
        h = (height && *height > 0) ? *height : ScreenHeight() * 8 / 10;
    }
    gLibraryState.currentWindowWidth = w;
    gLibraryState.currentWindowHeight = h;
    std::string text(TrimRight(title));
    int n = -1;
    ChildWindowCreate(px, py, w, h, n, f, m, bars, d, p, background, text.c_str());
    if (dialog)
        *dialog = d;
    if (n < 0) {
        gLibraryState.currentWindowWidth = savedW;
        gLibraryState.currentWindowHeight = savedH;
        static const struct {
            int status, code;
        } parentErrors[] = {{-2, kErrorParentHidden},
                          {-3, kErrorParentCombined},
                          {-4, kErrorParentConverted},
                          {-5, kErrorWindowHandle}};
        for (auto e : parentErrors)
            if (n == e.status)
                YYErrorReport(e.code, "WindowOpenChild");
        handle = -1;
        return;
    }
    handle = n;
    WindowTargetSelect(n, 0);
    gLibraryState.windowFlags[n] = f;
    if (d > 0) {
        WindowCurrentDialog() = d;
    } else if (d < 0) {
        static const struct {
            int status, code;
        } dialogErrors[] = {{-1, kErrorDialogNotInResource},
                          {-2, kErrorDialogStyle},
                          {-3, kErrorTooManyDialogs},
                          {-4, kErrorDialogCreate},
                          {-5, kErrorDialogLoaded}};
        for (auto e : dialogErrors)
            if (d == e.status)
                YYErrorReport(e.code, "WindowOpenChild");
    }
}

void WindowCloseChild(int handle)
{
    int n = handle;
    ChildWindowClose(n, WindowCurrentDialog());
    if (n == -1) {
        YYErrorReport(kErrorWindowHandle, "WindowCloseChild");
        return;
    }
    if (!WindowIsOpen(gLibraryState.currentWindow)) {
        if (handle >= 0 && handle <= kLastWindow)
            gLibraryState.windowFlags[handle] = -1;
        if (WindowIsOpen(0))
            WindowTargetSelect(0, 0);
        else
            gLibraryState.currentWindow = 0;
    }
    LibraryLayerWindowClosed(handle);
}

void ChildWindowClose(int& n, int& currentDialog)
{
    if (n < 1 || n > kLastWindow || !gWindowTable.frame[n]) {
        n = -1;
        return;
    }
    HWND f = gWindowTable.frame[n];
    if (GetWindowLongA(f, GWL_STYLE) & WS_CHILD) {
        HWND enclosing = GetParent(GetParent(f));
        if (enclosing && WindowRecordAs<SplitRecord>(enclosing, kRecordSplit)) {
            SplitUndo(enclosing, currentDialog);
            return;
        }
    }
    WindowCloseTree(n, currentDialog);
}

void WindowCloseTree(int n, int& currentDialog)
{
    if (n < 0 || n > kLastWindow || !gWindowTable.frame[n])
        return;
    if (auto* split = WindowRecordAs<SplitRecord>(gWindowTable.frame[n], kRecordSplit)) {
        int p0 = split->pane[0], p1 = split->pane[1];
        WindowCloseTree(p0, currentDialog);
        WindowCloseTree(p1, currentDialog);
    }
    WindowDestroy(n, currentDialog);
}

void WindowDestroy(int n, int& currentDialog)
{
    if (n < 0 || n > kLastWindow || !gWindowTable.frame[n])
        return;
    HWND frame = gWindowTable.frame[n];
    HWND mainFrame = gWindowTable.frame[0];
    WindowSoundClose(n);
    if (n == gWindowSystem.currentWindow && gWindowSystem.windowDC) {
        if (WindowSurfaceDC() == gWindowSystem.windowDC)
            WindowSurfaceRelease();
        ReleaseDC(gWindowSystem.windowDCOwner, gWindowSystem.windowDC);
        gWindowSystem.windowDC = nullptr;
        gWindowSystem.windowDCOwner = nullptr;
    }
    WindowOffscreenFree(gWindowTable.client[n]);
    auto dropContents = [&](HWND f) {
        auto* cd = WindowRecordAs<ContentsDialogRecord>(f, kRecordContentsDialog);
        if (!cd)
            return;
        int id = WindowDialogs().recordIdentifier(cd->dialog);
        int index = id ? WindowDialogs().indexById(id) : -1;
        if (index > 0) {
            int hide = index;
            WindowDialogs().hide(hide);
            WindowDialogs().destroyById(0, index);
        } else if (IsWindow(cd->dialog)) {
            DestroyWindow(cd->dialog);
        }
        if (id && currentDialog == id)
            currentDialog = 0;
        WindowRecordDetach(f);
        WindowRecordFree(cd);
    };
    dropContents(frame);

    for (int i = 1; i <= kLastWindow; ++i) {
        HWND f = gWindowTable.frame[i];
        if (i == n || !f)
            continue;
        if (DescendsFrom(f, frame)) {
            bool sharesMenu = false;
            if (auto* split = WindowRecordAs<SplitRecord>(f, kRecordSplit)) {
                sharesMenu = split->specialPane != nullptr;
                WindowRecordDetach(f);
                WindowRecordFree(split);
            }
            dropContents(f);
            MenuDrop(i, f, sharesMenu);
            RowRelease(i, mainFrame);
        }
    }
    for (int i = 0; i <= kLastWindow; ++i) {
        auto* split = WindowRecordAs<SplitRecord>(gWindowTable.frame[i], kRecordSplit);
        if (split && split->specialPane == frame) {
            split->specialPane = nullptr;
            gWindowTable.menu[i] = nullptr;
        }
    }
    for (int slot = WindowDialogs().tableCount(); slot >= 1; --slot) {
        HWND d = WindowDialogs().tableWindow(slot);
        if (!DescendsFrom(d, frame))
            continue;
        int index = slot;
        WindowDialogs().hide(index);
        if (index == slot)
            WindowDialogs().destroyById(0, slot);
    }
    HWND inherited = gWindowTable.activationOwner[n];
    for (int i = 1; i <= kLastWindow; ++i)
        if (gWindowTable.activationOwner[i] == frame)
            gWindowTable.activationOwner[i] = inherited;
    WindowDialogs().linksReplace(frame, inherited);

    bool sharesMenu = false;
    if (auto* split = WindowRecordAs<SplitRecord>(frame, kRecordSplit)) {
        sharesMenu = split->specialPane != nullptr;
        WindowRecordDetach(frame);
        if (split->bar && IsWindow(split->bar))
            DestroyWindow(split->bar);
        WindowRecordFree(split);
    }
    MenuDrop(n, frame, sharesMenu);

    if (gWindowTable.client[n])
        DestroyWindow(gWindowTable.client[n]);
    DestroyWindow(frame);
    RowRelease(n, mainFrame);
    gWindowTable.activationOwner[n] = nullptr;
    gWindowTable.menuHelpCount[n] = 0;
}

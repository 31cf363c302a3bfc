// Menus, menu placing, pane focus and creation steps shared by the editor and
// grid editor windows, and the table of the answers that each kind of special
// window installs for its record type.
#include "core/special_windows.h"

#include <commctrl.h>

#include <array>
#include <cstddef>

#include "core/dialog_services.h"
#include "core/events.h"
#include "core/frame_window.h"
#include "core/graphics_services.h"
#include "core/menus.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"

namespace {

// Indexed by record type; constant-initialised, so that an owner may install
// its answers from any file's initialisation.
constinit std::array<SpecialRecordAnswers, kRecordSplit + 1> gSpecialRecordAnswers{};

const SpecialRecordAnswers& AnswersOf(const WindowRecord* record)
{
    static constexpr SpecialRecordAnswers kNone{};
    if (!record || record->type < 0 || static_cast<std::size_t>(record->type) >= gSpecialRecordAnswers.size())
        return kNone;
    return gSpecialRecordAnswers[static_cast<std::size_t>(record->type)];
}

} // namespace

SpecialRecordAnswers SpecialRecordAnswersSet(int type, const SpecialRecordAnswers& answers)
{
    if (type < 0 || static_cast<std::size_t>(type) >= gSpecialRecordAnswers.size())
        return {};
    SpecialRecordAnswers& slot = gSpecialRecordAnswers[static_cast<std::size_t>(type)];
    const SpecialRecordAnswers previous = slot;
    slot = answers;
    return previous;
}

HMENU SpecialRecordMenu(WindowRecord* record)
{
    auto answer = AnswersOf(record).menu;
    return answer ? answer(record) : nullptr;
}

HACCEL SpecialRecordAccelerators(WindowRecord* record, int which)
{
    auto answer = AnswersOf(record).accelerators;
    return answer ? answer(record, which) : nullptr;
}

HWND* SpecialRecordStatusBarField(WindowRecord* record)
{
    auto answer = AnswersOf(record).statusBarField;
    return answer ? answer(record) : nullptr;
}

HWND SpecialRecordFocusControl(WindowRecord* record)
{
    auto answer = AnswersOf(record).focusControl;
    return answer ? answer(record) : nullptr;
}

HWND SpecialRecordModelessDialog(WindowRecord* record)
{
    auto answer = AnswersOf(record).modelessDialog;
    return answer ? answer(record) : nullptr;
}

int SpecialRecordCloseQuery(HWND frame, WindowRecord* record, int n)
{
    auto answer = AnswersOf(record).closeQuery;
    return answer ? answer(frame, record, n) : 1;
}

void SpecialRecordRelease(HWND frame, WindowRecord* record)
{
    if (auto answer = AnswersOf(record).release)
        answer(frame, record);
}

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

HMENU SpecialMenuBarLoad(int menuId, int mode, int& status)
{
    HMENU bar = nullptr;
    if (menuId != 0 && mode != 1) {
        bar = LoadMenuA(gWindowSystem.instance, MAKEINTRESOURCEA(menuId));
        if (bar)
            MenuApplyIds(bar, menuId);
        else
            status = 3;
    } else if (menuId != 0) {
        status = 2;
    }
    return bar ? bar : CreateMenu();
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
        HWND holder = EnclosingFrame(pane);
        auto* s = WindowRecordAs<SplitRecord>(holder, kRecordSplit);
        if (!s)
            break;
        // The split's special pane is the editor whose menu it carries: a
        // split that has a menu already keeps the pane that owns it.
        int h = WindowTableIndex(holder);
        if (h >= 0 && !gWindowTable.menu[h]) {
            gWindowTable.menu[h] = bar;
            if (!IsInsideChild(holder)) {
                SetMenu(holder, bar);
                DrawMenuBar(holder);
            }
            s->specialPane = f;
        }
        pane = holder;
    }
}

void SpecialPaneFocus(HWND f)
{
    int n = WindowTableIndex(f);
    FocusWalkOut(f, n >= 0 ? gWindowTable.menu[n] : nullptr, true);
}

namespace {

int Height(HWND w)
{
    RECT r{};
    GetWindowRect(w, &r);
    return r.bottom - r.top;
}

} // namespace

void SpecialToolbarsPlace(int n, const HWND toolbars[4], RECT& a)
{
    const UINT place = SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER;
    if (HWND t = toolbars[kToolbarTop]) {
        int h = Height(t);
        SetWindowPos(t, nullptr, a.left, a.top, a.right - a.left, h, place);
        a.top += h;
    }
    if (HWND t = toolbars[kToolbarBottom]) {
        int h = Height(t);
        a.bottom -= h;
        SetWindowPos(t, nullptr, a.left, a.bottom, a.right - a.left, h, place);
    }
    if (HWND t = toolbars[kToolbarLeft]) {
        int w = n >= 0 ? gWindowTable.toolbarExtents[n][kToolbarLeft] : 0;
        SetWindowPos(t, nullptr, a.left, a.top, w, a.bottom - a.top, place);
        a.left += w;
    }
    if (HWND t = toolbars[kToolbarRight]) {
        int w = n >= 0 ? gWindowTable.toolbarExtents[n][kToolbarRight] : 0;
        a.right -= w;
        SetWindowPos(t, nullptr, a.right, a.top, w, a.bottom - a.top, place);
    }
}

void SpecialBarsPlace(int n, HWND statusBar, bool invalidateStatus, HWND toolbar, const HWND toolbars[4], RECT& a)
{
    if (statusBar) {
        if (invalidateStatus)
            InvalidateRect(statusBar, nullptr, TRUE);
        SendMessageA(statusBar, WM_SIZE, 0, 0);
        a.bottom -= Height(statusBar);
    }
    if (toolbar) {
        SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
        a.top += Height(toolbar);
    }
    SpecialToolbarsPlace(n, toolbars, a);
}

void SpecialChildPlacement(HWND f, WPARAM kind)
{
    int n = WindowTableIndex(f);
    if (n >= 0)
        ChildPlacement(f, n, kind);
}

void SpecialMenuBarRelease(HWND frame, int n, HMENU bar)
{
    if (!bar)
        return;
    if (n >= 0 && gWindowTable.menu[n] == bar)
        MenuFreeHelp(bar, n);
    if (GetMenu(frame) == bar)
        SetMenu(frame, nullptr);
    if (n >= 0 && gWindowTable.menu[n] == bar) {
        gWindowTable.menu[n] = nullptr;
        gWindowTable.accelerators[n] = nullptr;
        gWindowTable.menuHelpResource[n] = {};
    }
    // Split windows that took this bar forget it.
    for (int i = 0; i <= kLastWindow; ++i) {
        if (gWindowTable.menu[i] != bar)
            continue;
        HWND f = gWindowTable.frame[i];
        if (f && GetMenu(f) == bar)
            SetMenu(f, nullptr);
        gWindowTable.menu[i] = nullptr;
        if (auto* s = WindowRecordAs<SplitRecord>(f, kRecordSplit); s && s->specialPane == frame)
            s->specialPane = nullptr;
    }
    DestroyMenu(bar);
}

void SpecialModalRowsRelease(HWND f, int n)
{
    if (n < 0 || n > kLastWindow)
        return;
    HWND client = gWindowTable.client[n];
    if (gWindowSystem.windowDC && gWindowSystem.windowDCOwner == client)
        DrawingDCRelease();
    for (int i = 1; i <= kLastWindow; ++i) {
        HWND other = gWindowTable.frame[i];
        if (other && i != n && GetWindow(other, GW_OWNER) == f && !(GetWindowLongA(other, GWL_STYLE) & WS_CHILD))
            WindowRowClear(i);
    }
    WindowRowClear(n);
    gWindowTable.menu[n] = nullptr;
    gWindowTable.accelerators[n] = nullptr;
    gWindowTable.menuHelpResource[n] = {};
    gWindowTable.activationOwner[n] = nullptr;
    if (gWindowSystem.lastActiveFrame == f)
        gWindowSystem.lastActiveFrame = gWindowTable.frame[0];
    if (gWindowSystem.currentWindow == n && WindowIsOpen(0))
        WindowTargetSelect(0, 0);
}

bool SpecialMenuAllowed(HWND frame, bool& isPane, HWND& outerSplit)
{
    isPane = false;
    outerSplit = nullptr;
    if (!IsInsideChild(frame))
        return true;
    HWND holder = EnclosingFrame(frame);
    if (WindowRecordTypeOf(holder) != kRecordSplit)
        return false;
    isPane = true;
    HWND w = holder;
    while (IsInsideChild(w)) {
        HWND e = EnclosingFrame(w);
        if (!e || WindowRecordTypeOf(e) != kRecordSplit)
            break;
        w = e;
    }
    outerSplit = w;
    return !IsInsideChild(w);
}

void SpecialModeless(int& mode, int& status)
{
    if (mode == 1) {
        int ignored = 0;
        WindowContentsSnapshotTake(0, -1, ignored);
    }
    status = 5;
    mode = 2;
}

void SpecialUpdateStates::Take()
{
    for (int i = 0; i <= kLastWindow; ++i)
        had[i] = gWindowTable.client[i] && GetUpdateRect(gWindowTable.client[i], nullptr, FALSE);
}

void SpecialUpdateStates::Restore(HWND outer) const
{
    for (int i = 0; i <= kLastWindow; ++i) {
        HWND f = gWindowTable.frame[i];
        if (!had[i] && gWindowTable.client[i] && f && outer && (f == outer || IsChild(outer, f)))
            ValidateRect(gWindowTable.client[i], nullptr);
    }
}

void SpecialToolbarsTake(HWND frame, int n, int mode, HWND toolbars[4], bool resizeIconic)
{
    if (mode != 1) {
        for (int s = 0; s < 4; ++s)
            toolbars[s] = gWindowTable.toolbars[n][s];
        return;
    }
    bool any = false;
    for (HWND& tb : gWindowTable.toolbars[n]) {
        if (tb) {
            DestroyWindow(tb);
            tb = nullptr;
            any = true;
        }
    }
    if (!any)
        return;
    ToolTipTableFree(n);
    if (resizeIconic || !IsIconic(frame)) {
        RECT cr;
        GetClientRect(frame, &cr);
        SendMessageA(frame, WM_SIZE, IsZoomed(frame) ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
    }
}

void SpecialEditorShow(HWND frame, int mode, HWND refocus)
{
    if (mode == 3)
        ++gWindowSystem.semiModelessCount;
    if (!IsWindowEnabled(frame)) {
        EnableWindow(frame, TRUE);
        if (refocus)
            SetFocus(refocus);
    }
    ShowWindow(frame, SW_SHOW);
    WindowFocusActivate(frame);
    if (mode == 1 || mode == 3)
        WindowOthersDisable(frame, 1);
}

void SpecialMenuLoopStatus(HWND statusBar, bool entering)
{
    if (!statusBar)
        return;
    if (entering)
        SendMessageA(statusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
    SendMessageA(statusBar, SB_SIMPLE, entering ? TRUE : FALSE, 0);
}

void SpecialFrameFocus(HWND frame, HWND control)
{
    gWindowSystem.lastActiveFrame = frame;
    gActiveDialog = nullptr;
    if (control && IsWindow(control))
        SetFocus(control);
}

void SpecialModalEnd(HWND frame, void* record)
{
    // A frame still alive is destroyed first; its destroy leaves the record
    // to the loop.
    if (IsWindow(frame))
        DestroyWindow(frame);
    WindowRecordFree(record);
    HWND back = gWindowSystem.semiModelessDialog ? gWindowSystem.semiModelessDialog : gWindowTable.frame[0];
    WindowOthersEnable(back, 1);
    if (back && IsWindow(back)) {
        SetActiveWindow(back);
        SetFocus(back);
    }
}

// Showing, hiding and unloading dialogs, the modal show, the disabling of
// the other windows around modal activities, title and icon, and the small
// routines on the current dialog (see dialogs/dialog_show.h).
#include "dialogs/dialog_show.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/common_dialogs.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_info.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_services.h"
#include "dialogs/field_subclass.h"
#include "dialogs/field_values.h"
#include "dialogs/message_box.h"
#include "dialogs/numeric_edit_classes.h"
#include "dialogs/window_snapshots.h"
#include "graphics/coordinates.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"

namespace {

bool IsChildStyle(HWND w)
{
    return w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) != 0;
}

bool HasClass(HWND w, const char* name)
{
    char cls[32];
    return w && GetClassNameA(w, cls, sizeof cls) > 0 && lstrcmpiA(cls, name) == 0;
}

// Slot 1..count of DIALOG, 0 when it is not loaded.
int SlotOf(HWND dialog)
{
    for (int i = 1; i <= gDialogTable.count; ++i)
        if (gDialogTable.slot[i] == dialog)
            return i;
    return 0;
}

int32_t* Words(HWND dialog)
{
    return DialogRecordWords(dialog);
}

// A shown dialog whose parent or owner is a library frame or client, or
// none: the dialogs that modal activities disable.
bool IsTopDialog(HWND d)
{
    int32_t* w = Words(d);
    if (!w || !w[kDlgShown])
        return false;
    HWND above = GetParent(d);
    return !above || WindowTableIndex(above) >= 0;
}

// Another loaded dialog has a tab item whose page is the dialog with
// IDENTIFIER.
bool IsPageOfAnother(HWND dialog, int identifier)
{
    for (int slot = 1; slot <= gDialogTable.count; ++slot) {
        HWND other = gDialogTable.slot[slot];
        if (!other || other == dialog)
            continue;
        for (HWND c = GetWindow(other, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (ClassAtomOf(c) != gControlClasses.tab)
                continue;
            auto n = static_cast<int>(SendMessageA(c, TCM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < n; ++i)
                if (TabItemDataGet(c, i).page == identifier)
                    return true;
        }
    }
    return false;
}

// DIALOG depends on W: it lies inside W, or W is in its owner chain.
bool DependsOn(HWND dialog, HWND w)
{
    if (!dialog || dialog == w)
        return false;
    if (IsChild(w, dialog))
        return true;
    if (IsChildStyle(dialog))
        return false;
    int guard = 0;
    for (HWND o = GetWindow(dialog, GW_OWNER); o && guard < 256; o = GetWindow(o, GW_OWNER), ++guard)
        if (o == w)
            return true;
    return false;
}

// The tab item of TAB whose page identifier is PAGE, -1 none.
int TabItemOfPage(HWND tab, int page)
{
    auto n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i)
        if (TabItemDataGet(tab, i).page == page)
            return i;
    return -1;
}

HWND PageDialog(int identifier)
{
    int index = DialogIndexById(identifier);
    return index >= 1 ? gDialogTable.slot[index] : nullptr;
}

// The id of the control that has the focus when it lies inside DIALOG.
int FocusFieldId(HWND dialog)
{
    HWND focus = GetFocus();
    return (focus && focus != dialog && IsChild(dialog, focus)) ? GetDlgCtrlID(focus) : 0;
}

} // namespace

// ---- show -------------------------------------------------------------------------

void DialogShow(int x, int y, int px, int py, int& type, int focus, int mode)
{
    HWND d = DialogCurrentWindow();
    int32_t* w = Words(d);
    DialogRecord* r = DialogRecordOf(d);
    if (!d || !w || !r) {
        type = -1;
        return;
    }
    bool child = IsChildStyle(d);
    bool hostHidden = false, hostHasContents = false;
    if (child) {
        HWND parent = GetParent(d);
        HWND h = parent ? GetParent(parent) : nullptr;
        hostHidden = h && !IsWindowVisible(h);
        hostHasContents = h && WindowRecordTypeOf(h) == kRecordContentsDialog;
    }
    if (w[kDlgHost] && mode == 0) {
        type = -4;
        return;
    }
    if (w[kDlgShown]) {
        ShowWindow(d, SW_RESTORE);
        SetWindowPos(d, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (child) {
            SetFocus(d);
            gActiveDialog = d;
            WindowFocusActivate(d);
        }
        type = 0;
        return;
    }

    int status = 0;
    WindowSystemState& ws = gWindowSystem;
    if (type == kShowModeless && ws.semiModelessCount > 0) {
        type = kShowSemiModeless;
        status = -1;
    }
    if (child && type != kShowModeless) {
        if (type == kShowModal) {
            int s = 0;
            WindowContentsSnapshot(0, -1, s);
        }
        type = kShowModeless;
        status = -1;
    }
    gDialogPendingShow.focus = focus;
    gDialogPendingShow.x = child ? px : x;
    gDialogPendingShow.y = child ? py : y;

    HWND owner = DialogOwnerWindow();
    DialogRecord* record = DialogRecordOf(d);
    DialogHandleSet(record, kDlgOwner, owner);
    DialogHandleSet(record, kDlgReturn, ws.semiModelessDialog ? ws.semiModelessDialog : owner);
    w[kDlgShowType] = type;

    if (type == kShowModal) {
        HWND lastFrame = ws.lastActiveFrame;
        HWND active = gActiveDialog;
        OtherWindowsDisable(owner, 1);
        gDialogTable.creating = 1;
        gFieldProcState.focusMoving = 1;
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(r->resource & 0xFFFF), owner, DialogProc, 0);
        gDialogTable.creating = 0;
        gFieldProcState.focusMoving = 0;
        gDialogTable.slot[0] = nullptr;
        OtherWindowsEnable(ws.semiModelessDialog ? ws.semiModelessDialog : owner, 1);
        ws.lastActiveFrame = lastFrame;
        gActiveDialog = active;
        if (owner && IsWindow(owner) && IsChildStyle(owner)) {
            SetFocus(owner);
            WindowFocusActivate(owner);
            if (SlotOf(owner))
                gActiveDialog = owner;
        }
        type = status;
        return;
    }

    if (type == kShowSemiModeless) {
        ++ws.semiModelessCount;
        ws.semiModelessDialog = d;
        OtherWindowsDisable(nullptr, 0);
        for (int n = 0; n <= kLastWindow; ++n)
            if (gWindowTable.frame[n])
                EnableWindow(gWindowTable.frame[n], FALSE);
    }

    if (child && mode == 0 && (hostHidden || hostHasContents)) {
        type = hostHidden ? -2 : -3;
        return;
    }

    DialogTabPagesAttach(d);
    DialogCentre(d);
    SetWindowPos(d, nullptr, gDialogPendingShow.x, gDialogPendingShow.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    if (child) {
        SetWindowPos(d, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        WindowFocusActivate(d);
        gActiveDialog = d;
    }
    // A top-level dialog is shown (and activated) before its focus is set:
    // a hidden window cannot take the focus.
    ShowWindow(d, SW_RESTORE);
    if (mode != 2) {
        HWND target = focus != 0 ? GetDlgItem(d, focus) : d;
        if (target)
            SetFocus(target);
        DialogFieldSelectAll(GetFocus());
    }
    UpdateWindow(d);
    w[kDlgPreviousField] = FocusFieldId(d);
    w[kDlgShown] = 1;
    type = status;
}

void WDialogShow(const int* ix, const int* iy, const int* ifocus, const int* itype)
{
    if (gDialogStatus.currentDialogId == 0) {
        YYErrorReport(kErrorNoDialog, "WDialogShow");
        return;
    }
    int x = ix ? *ix : -1;
    int y = iy ? *iy : -1;
    int focus = ifocus ? *ifocus : 0;
    int requested = itype ? *itype : kShowModeless;

    // Positions of a dialog inside a window are 0..9999 of its parent's
    // client area.
    int px = x, py = y;
    int before = gLibraryState.currentWindow;
    bool switched = false;
    HWND d = DialogCurrentWindow();
    if (d && IsChildStyle(d)) {
        int n = 0;
        DialogParentWindow(n);
        if (n != before && WindowIsOpen(n)) {
            YYWINSEL(n, 0);
            switched = true;
        }
        int cx = 0, cy = 0;
        YYNormalToPixel(x, y, cx, cy);
        px = x == -1 ? -1 : cx;
        py = y == -1 ? -1 : cy;
    }

    if (requested == kShowModal) {
        int s = 0;
        WindowContentsSnapshot(1, -1, s);
        if (s != 0)
            YYErrorReport(s, "WDialogShow");
    }
    int status = requested;
    DialogShow(x, y, px, py, status, focus, 0);
    if (switched && WindowIsOpen(before))
        YYWINSEL(before, 0);

    if (requested == kShowModal) {
        if (status == -1) {
            YYErrorReport(kErrorDialogMode, "WDialogShow");
            return;
        }
        int s = 0;
        WindowContentsSnapshot(0, -1, s);
        int exitDialog = 0;
        DialogEventFields(3, exitDialog);
        gDialogStatus.exitDialog = exitDialog;
        // The push button that ended the show may belong to a tab page: its
        // record holds the exit words then.
        int index = DialogIndexById(exitDialog);
        int32_t* words = index >= 1 ? Words(gDialogTable.slot[index]) : nullptr;
        if (words) {
            gDialogStatus.exitField = words[kDlgCurrentField];
            gDialogStatus.previousField = words[kDlgPreviousField];
        } else {
            DialogEventFields(1, gDialogStatus.exitField);
            DialogEventFields(2, gDialogStatus.previousField);
        }
    }
    switch (status) {
    case -1: YYErrorReport(kErrorDialogMode, "WDialogShow"); break;
    case -2: YYErrorReport(kErrorParentHidden, "WDialogShow"); break;
    case -3: YYErrorReport(kErrorParentCombined, "WDialogShow"); break;
    case -4: YYErrorReport(kErrorDialogCombined, "WDialogShow"); break;
    default: break;
    }
}

void YYDialogShowPlaced(int ifocus, int itype, int iwindow)
{
    int x = 0, y = 0;
    WindowScreenOrigin(iwindow, x, y);
    WDialogShow(&x, &y, &ifocus, &itype);
}

// ---- hide and unload ------------------------------------------------------------

void DialogHide(int& index)
{
    int slot = index == -1 ? gDialogTable.current : index;
    HWND d = (slot >= 1 && slot <= gDialogTable.count) ? gDialogTable.slot[slot] : nullptr;
    int32_t* w = Words(d);
    if (!d || !w)
        return;
    if (w[kDlgHost] && index == -1)
        return; // a contents dialog is hidden with its window
    if (IsChildStyle(d) && IsPageOfAnother(d, w[kDlgIdentifier])) {
        index = -2;
        return;
    }
    WindowSystemState& ws = gWindowSystem;
    bool active = d == gActiveDialog;
    const DialogRecord* record = DialogRecordOf(d);
    HWND owner = DialogHandleGet(record, kDlgOwner);
    HWND back = DialogHandleGet(record, kDlgReturn);
    if (w[kDlgShown] && w[kDlgShowType] == kShowSemiModeless) {
        if (ws.semiModelessCount > 0)
            --ws.semiModelessCount;
        OtherWindowsEnable(active ? back : nullptr, 1);
    }
    for (int i = 1; i <= gDialogTable.count; ++i) {
        DialogRecord* o = DialogRecordOf(gDialogTable.slot[i]);
        if (!o || gDialogTable.slot[i] == d)
            continue;
        if (DialogHandleGet(o, kDlgOwner) == d)
            DialogHandleSet(o, kDlgOwner, owner);
        if (DialogHandleGet(o, kDlgReturn) == d)
            DialogHandleSet(o, kDlgReturn, back);
    }
    for (int n = 1; n <= kLastWindow; ++n)
        if (gWindowTable.activationOwner[n] == d)
            gWindowTable.activationOwner[n] = owner;
    if (active)
        gActiveDialog = nullptr;
    SetWindowPos(d, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    w[kDlgShown] = 0;
    if (d == ws.semiModelessDialog)
        ws.semiModelessDialog = ws.semiModelessCount > 0 ? back : nullptr;
    if (active && owner && IsWindow(owner)) {
        SetFocus(owner);
        SendMessageA(owner, WM_NCACTIVATE, TRUE, 0);
        if (SlotOf(owner))
            gActiveDialog = owner;
    }
    if (index == -1)
        index = 0;
}

void WDialogHide()
{
    if (gDialogStatus.currentDialogId == 0) {
        YYErrorReport(kErrorNoDialog, "WDialogHide");
        return;
    }
    int status = -1;
    DialogHide(status);
    if (status == -1)
        YYErrorReport(kErrorDialogCombined, "WDialogHide");
    else if (status == -2)
        YYErrorReport(kErrorSubDialog, "WDialogHide");
}

void WDialogUnload(const int* iflag)
{
    if (gDialogStatus.currentDialogId == 0) {
        YYErrorReport(kErrorNoDialog, "WDialogUnload");
        return;
    }
    int status = -1;
    DialogHide(status);
    if (status == 0) {
        DialogDestroyById(iflag ? *iflag : 0, -1);
        gDialogStatus.currentDialogId = 0;
    } else if (status == -1) {
        YYErrorReport(kErrorDialogCombined, "WDialogUnload");
    } else if (status == -2) {
        YYErrorReport(kErrorSubDialog, "WDialogUnload");
    }
}

void DialogDestroyById(int flag, int index)
{
    int slot = index == -1 ? gDialogTable.current : index;
    HWND d = (slot >= 1 && slot <= gDialogTable.count) ? gDialogTable.slot[slot] : nullptr;
    if (!d)
        return;
    DialogPagesDetach(d);
    DialogDestroy(d, flag, index);
}

void DialogDestroy(HWND window, int flag, int index)
{
    // Dialogs being destroyed further up the call chain (pages that name
    // each other) are left to that call.
    static std::vector<HWND> destroying;
    if (!window || !SlotOf(window) || std::find(destroying.begin(), destroying.end(), window) != destroying.end())
        return;
    destroying.push_back(window);
    struct Done {
        HWND w;
        ~Done() { std::erase(destroying, w); }
    } done{window};
    if (flag == 0) {
        std::vector<int> pages;
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (ClassAtomOf(c) != gControlClasses.tab)
                continue;
            auto n = static_cast<int>(SendMessageA(c, TCM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < n; ++i)
                pages.push_back(TabItemDataGet(c, i).page);
        }
        for (int id : pages) {
            HWND page = PageDialog(id);
            if (page && page != window) {
                DialogPagesDetach(page);
                DialogDestroy(page, 0, 0);
            }
        }
    }
    // The dialogs that depend on it go first (each at most once: a tab page
    // of another dialog is hidden but stays).
    std::vector<HWND> handled;
    for (bool again = true; again;) {
        again = false;
        for (int slot = gDialogTable.count; slot >= 1; --slot) {
            HWND d = gDialogTable.slot[slot];
            if (!d || !DependsOn(d, window) || std::find(handled.begin(), handled.end(), d) != handled.end())
                continue;
            handled.push_back(d);
            int hide = slot;
            DialogHide(hide);
            if (hide == slot)
                DialogDestroyById(0, slot);
            again = true;
            break;
        }
    }

    int slot = SlotOf(window);
    if (!slot)
        return;
    if (gGdiSurfaceState.window && (gGdiSurfaceState.window == window || IsChild(window, gGdiSurfaceState.window)))
        DrawingDCRelease(); // the surface must not outlive its window
    if (gActiveDialog == window)
        gActiveDialog = nullptr;
    if (gWindowSystem.semiModelessDialog == window)
        gWindowSystem.semiModelessDialog = nullptr;
    DialogRecord* r = DialogRecordOf(window);
    DestroyWindow(window);
    DialogRecordFree(r);

    DialogTable& t = gDialogTable;
    for (int i = slot; i < t.count; ++i)
        t.slot[i] = t.slot[i + 1];
    t.slot[t.count] = nullptr;
    --t.count;
    // The current index follows its dialog; it becomes 0 only when the
    // current dialog itself is gone.
    if (t.current == slot) {
        t.current = 0;
        gDialogStatus.currentDialogId = 0;
    } else if (t.current > slot) {
        --t.current;
    }
    (void)index;
    if (t.count == 0) {
        bool visible = false;
        for (int n = 0; n <= kLastWindow && !visible; ++n)
            visible = gWindowTable.frame[n] && IsWindowVisible(gWindowTable.frame[n]);
        if (!visible)
            gWindowSystem.lastActiveFrame = gWindowTable.frame[0];
    }
}

void DialogLinksReplace(HWND from, HWND to)
{
    for (int slot = 1; slot <= gDialogTable.count; ++slot) {
        DialogRecord* r = DialogRecordOf(gDialogTable.slot[slot]);
        if (!r)
            continue;
        if (DialogHandleGet(r, kDlgOwner) == from)
            DialogHandleSet(r, kDlgOwner, to);
        if (DialogHandleGet(r, kDlgReturn) == from)
            DialogHandleSet(r, kDlgReturn, to);
    }
}

// ---- other windows around modal activities ---------------------------------------

void OtherWindowsDisable(HWND except, int withWindows)
{
    for (int slot = 1; slot <= gDialogTable.count; ++slot) {
        HWND d = gDialogTable.slot[slot];
        if (!d || d == except || !IsTopDialog(d))
            continue;
        if (except && DialogHandleGet(DialogRecordOf(d), kDlgHost) == except)
            continue;
        EnableWindow(d, FALSE);
    }
    if (withWindows != 1)
        return;
    for (int n = 0; n <= kLastWindow; ++n) {
        HWND f = gWindowTable.frame[n];
        if (f && f != except && IsWindowVisible(f))
            EnableWindow(f, FALSE);
    }
}

void OtherWindowsEnable(HWND window, int withWindows)
{
    if (gWindowSystem.semiModelessCount > 0) {
        if (window && IsWindow(window))
            EnableWindow(window, TRUE);
        return;
    }
    for (int slot = 1; slot <= gDialogTable.count; ++slot) {
        HWND d = gDialogTable.slot[slot];
        if (d && IsTopDialog(d))
            EnableWindow(d, TRUE);
    }
    if (withWindows != 1)
        return;
    for (int n = 0; n <= kLastWindow; ++n) {
        HWND f = gWindowTable.frame[n];
        if (f && IsWindowVisible(f))
            EnableWindow(f, TRUE);
    }
}

// ---- title and icon ---------------------------------------------------------------

void DialogTitleSet(int& icon, int setTitle, std::string_view text)
{
    HWND d = DialogCurrentWindow();
    DialogRecord* r = DialogRecordOf(d);
    if (!d || !r)
        return;
    LONG style = GetWindowLongA(d, GWL_STYLE);
    bool caption = (style & WS_CAPTION) != 0;
    std::string t(text);
    if (setTitle == 1) {
        if (caption) {
            SetWindowTextA(d, t.c_str());
        } else if (style & WS_CHILD) {
            for (int slot = 1; slot <= gDialogTable.count; ++slot) {
                HWND other = gDialogTable.slot[slot];
                if (!other || other == d)
                    continue;
                for (HWND c = GetWindow(other, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                    if (ClassAtomOf(c) != gControlClasses.tab)
                        continue;
                    auto n = static_cast<int>(SendMessageA(c, TCM_GETITEMCOUNT, 0, 0));
                    bool changed = false;
                    for (int i = 0; i < n; ++i) {
                        if (TabItemDataGet(c, i).page != r->words[kDlgIdentifier])
                            continue;
                        TCITEMA item{};
                        item.mask = TCIF_TEXT;
                        item.pszText = t.data();
                        SendMessageA(c, TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                        changed = true;
                    }
                    if (changed) {
                        // Only the label strip: the page itself is not repainted.
                        InvalidateRect(c, nullptr, TRUE);
                        RECT area{};
                        GetClientRect(c, &area);
                        SendMessageA(c, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
                        ValidateRect(c, &area);
                        UpdateWindow(c);
                    }
                }
            }
        }
    }
    if (!caption || icon == -1)
        return;
    HMODULE module = GetModuleHandleA(nullptr);
    HICON loaded = nullptr;
    if (icon == 0)
        loaded = static_cast<HICON>(LoadImageA(module, "icon1", IMAGE_ICON, 0, 0, 0));
    else if (icon > 0 && icon <= 0xFFFF)
        loaded = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON, 0, 0, 0));
    if (!loaded) {
        icon = -2;
        return;
    }
    auto previous = reinterpret_cast<HICON>(SendMessageA(d, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(loaded)));
    auto small = reinterpret_cast<HICON>(SendMessageA(d, WM_GETICON, ICON_SMALL, 0));
    // Only icons this routine loaded belong to the dialog; the class icon
    // it starts with is shared and stays.
    if (r->titleIcon && (previous == r->titleIcon || small == r->titleIcon)) {
        if (small == r->titleIcon)
            SendMessageA(d, WM_SETICON, ICON_SMALL, 0);
        DestroyIcon(r->titleIcon);
    }
    r->titleIcon = loaded;
}

void WDialogTitle(std::optional<std::string_view> title, const int* icon)
{
    if (gDialogStatus.currentDialogId == 0) {
        YYErrorReport(kErrorNoDialog, "WDialogTitle");
        return;
    }
    int ic = icon ? *icon : -1;
    if (title)
        DialogTitleSet(ic, 1, TrimRight(*title));
    else
        DialogTitleSet(ic, 0, {});
    if (ic == -2)
        YYErrorReport(kErrorImageIdentifier, "WDialogTitle");
}

// ---- focus, tabs, size, tab stops ------------------------------------------------

void DialogFieldSelectAll(HWND field)
{
    if (!field)
        return;
    ATOM a = ClassAtomOf(field);
    if (a && (a == gControlClasses.edit || NumericClassOf(field) >= 0)) {
        bool multiLine = a == gControlClasses.edit && (GetWindowLongA(field, GWL_STYLE) & ES_MULTILINE);
        if (multiLine)
            SendMessageA(field, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        else
            SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, EM_SCROLLCARET, 0, 0);
    } else if (a && a == gControlClasses.comboBox) {
        SendMessageA(field, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
}

void DialogFieldFocus(int& field, int position)
{
    HWND d = DialogCurrentWindow();
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    if (!IsWindowVisible(d))
        return;
    SetFocus(c);
    ATOM a = ClassAtomOf(c);
    bool edit = FieldIsEditLike(c);
    bool combo = a == gControlClasses.comboBox;
    if ((edit || combo) && position != -1) {
        if (combo) {
            SendMessageA(c, CB_SETEDITSEL, 0, MAKELPARAM(position, position));
        } else {
            SendMessageA(c, EM_SETSEL, static_cast<WPARAM>(position), position);
            SendMessageA(c, EM_SCROLLCARET, 0, 0);
        }
    } else {
        DialogFieldSelectAll(c);
    }
    if (int32_t* w = Words(d))
        w[kDlgCurrentField] = field;
    DialogFocusRemember(d, c);
    if (IsChildStyle(d) && HasClass(GetParent(d), "QUILCLIENT")) {
        SetWindowPos(d, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        gActiveDialog = d;
        WindowFocusActivate(d);
    }
}

void DialogTabSelect(int& tabField, int& page)
{
    HWND tab = DialogCurrentField(tabField);
    if (!tab || ClassAtomOf(tab) != gControlClasses.tab) {
        tabField = -1;
        return;
    }
    auto n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    int item = -1;
    for (int i = 0; i < n && item < 0; ++i) {
        TabItemData data = TabItemDataGet(tab, i);
        if (data.page == page && data.disabled == 0)
            item = i;
    }
    if (item < 0) {
        page = -1;
        return;
    }
    auto current = static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    if (current == item)
        return;
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(item), 0);
    if (!IsWindowVisible(tab))
        return;
    if (HWND old = current >= 0 ? PageDialog(TabItemDataGet(tab, current).page) : nullptr)
        ShowWindow(old, SW_HIDE);
    HWND fresh = PageDialog(page);
    if (fresh) {
        SetWindowPos(fresh, tab, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
        int32_t* w = Words(DialogCurrentWindow());
        DialogPageFocusFirst(tab, fresh, w ? w[kDlgShown] : 0);
    }
    InvalidateRect(tab, nullptr, TRUE);
}

void DialogTabEnable(int& tabField, int& page, int enable)
{
    HWND tab = DialogCurrentField(tabField);
    if (!tab || ClassAtomOf(tab) != gControlClasses.tab) {
        tabField = -1;
        return;
    }
    int item = TabItemOfPage(tab, page);
    if (item < 0) {
        page = -1;
        return;
    }
    TabItemData data = TabItemDataGet(tab, item);
    int disabled = enable == 0 ? 1 : 0;
    if (data.disabled == disabled)
        return;
    data.disabled = disabled;
    TabItemDataSet(tab, item, data);
    if (IsWindowVisible(tab)) {
        RECT r{};
        if (SendMessageA(tab, TCM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)))
            RedrawWindow(tab, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void TrackBarUndefinedSet(int value)
{
    gFieldValueState.trackBarUndefined = value;
}

void DialogResize(int width, int height, int& status)
{
    HWND d = DialogCurrentWindow();
    int32_t* w = Words(d);
    if (!d || !w || w[kDlgHost]) {
        status = -1;
        return;
    }
    status = 0;
    RECT old{};
    GetClientRect(d, &old);
    RECT fresh{0, 0, width, height};
    MapDialogRect(d, &fresh);
    if (width <= 0)
        fresh.right = old.right;
    if (height <= 0)
        fresh.bottom = old.bottom;
    bool resizable = DialogIsResizable(d) != 0;
    const ControlClassTable& k = gControlClasses;
    auto isField = [&k](HWND c) {
        ATOM a = ClassAtomOf(c);
        bool grip = a == k.scrollBar && (GetWindowLongA(c, GWL_STYLE) & SBS_SIZEGRIP);
        return a != k.upDown && a != k.dialog && !grip;
    };
    std::vector<HWND> hidden;
    if (!resizable) {
        HWND focus = GetFocus();
        bool focusHidden = false;
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!isField(c) || DialogFieldInRect(c, old) != 1 || DialogFieldInRect(c, fresh) == 1)
                continue;
            FieldRecord* f = FieldRecordOf(c);
            int kept = f ? f->state : FieldStateOf(c);
            if (focus && (focus == c || IsChild(c, focus)))
                focusHidden = true;
            FieldStateSet(c, kStateHidden, 0);
            if (f)
                f->state = kept;
        }
        if (focusHidden)
            SendMessageA(d, WM_NEXTDLGCTL, 0, FALSE);
    }
    RECT outer = fresh;
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(d, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(d, GWL_EXSTYLE)));
    int ow = outer.right - outer.left, oh = outer.bottom - outer.top;
    SetWindowPos(d, nullptr, 0, 0, ow, oh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    w[kDlgMinWidth] = std::min(w[kDlgMinWidth], ow);
    w[kDlgMinHeight] = std::min(w[kDlgMinHeight], oh);
    if (!resizable) {
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!isField(c) || DialogFieldInRect(c, fresh) != 1 || DialogFieldInRect(c, old) == 1)
                continue;
            FieldRecord* f = FieldRecordOf(c);
            FieldStateSet(c, f ? f->state : kStateEnabled, 1);
        }
    }
}

void DialogFieldTabStops(int& field, const int* stops, int count)
{
    HWND c = DialogCurrentField(field);
    ATOM a = ClassAtomOf(c);
    bool edit = a && a == gControlClasses.edit && (GetWindowLongA(c, GWL_STYLE) & ES_MULTILINE);
    bool list = a && a == gControlClasses.listBox;
    if (!edit && !list) {
        field = -1;
        return;
    }
    int n = (stops && count > 0) ? count : 0;
    SendMessageA(c, edit ? EM_SETTABSTOPS : LB_SETTABSTOPS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(stops));
    InvalidateRect(c, nullptr, TRUE);
    UpdateWindow(c);
    if (FieldRecord* f = FieldRecordOf(c)) {
        std::free(f->tabStops);
        f->tabStops = nullptr;
        f->tabStopCount = 0;
        if (n > 0) {
            f->tabStops = static_cast<int32_t*>(std::calloc(static_cast<size_t>(n), sizeof(int32_t)));
            if (f->tabStops) {
                std::copy(stops, stops + n, f->tabStops);
                f->tabStopCount = n;
            }
        }
    }
}

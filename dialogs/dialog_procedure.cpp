// The dialog procedure of every library dialog, tab page and modal copy, and
// the routines beside it (see dialogs/dialog_procedure.h).
#include "dialogs/dialog_procedure.h"

#include <commctrl.h>

#include "core/events.h"
#include "core/library_state.h"
#include "core/os_services.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_services.h"
#include "dialogs/field_subclass.h"
#include "dialogs/numeric_edit_classes.h"
#include "dialogs/window_snapshots.h"

namespace {

// The one solid brush handed out by the last colour answer.
HBRUSH gFieldBrush = nullptr;

bool HasClass(HWND w, const char* name)
{
    char cls[32];
    return w && GetClassNameA(w, cls, sizeof cls) > 0 && lstrcmpiA(cls, name) == 0;
}

bool IsChildStyle(HWND w)
{
    return (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) != 0;
}

// WM_COMMAND notification codes are numbered per control class and overlap:
// 1 is LBN_SELCHANGE and CBN_SELCHANGE, 2 LBN_DBLCLK, CBN_DBLCLK and a
// button's BN_HILITE, 3 CBN_SETFOCUS and LBN_SELCANCEL, 4 LBN_SETFOCUS and
// CBN_KILLFOCUS, 5 CBN_EDITCHANGE and LBN_KILLFOCUS, 6 BN_SETFOCUS and
// CBN_EDITUPDATE. The procedure names each code by the meaning it acts on and
// tells buttons apart where the meanings differ.
static_assert(LBN_SELCHANGE == CBN_SELCHANGE && LBN_DBLCLK == CBN_DBLCLK);

bool IsFocusNotification(int code)
{
    return code == EN_SETFOCUS || code == CBN_SETFOCUS || code == LBN_SETFOCUS || code == BN_SETFOCUS;
}

// Current field := ID after remembering the one before.
void FieldChangeRecord(DialogRecord* r, int id)
{
    if (!r)
        return;
    r->words[kDlgPreviousField] = r->words[kDlgCurrentField];
    r->words[kDlgCurrentField] = id;
}

// Both words := ID: a change of the field that has it.
void FieldChangeSame(DialogRecord* r, int id)
{
    if (!r)
        return;
    r->words[kDlgPreviousField] = id;
    r->words[kDlgCurrentField] = id;
}

HWND PageOfTabItem(HWND tab, int item)
{
    if (item < 0)
        return nullptr;
    int index = DialogIndexById(TabItemDataGet(tab, item).page);
    return index >= 0 ? gDialogTable.slot[index] : nullptr;
}

bool IsSizeGrip(HWND w)
{
    return ClassAtomOf(w) == gControlClasses.scrollBar && (GetWindowLongA(w, GWL_STYLE) & SBS_SIZEGRIP);
}

HWND SizeGripOf(HWND dialog)
{
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsSizeGrip(c))
            return c;
    return nullptr;
}

// Window rectangle of W in the client coordinates of its parent.
RECT RectInParent(HWND w)
{
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void SystemMenuStates(HWND dialog, WPARAM sizeType)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu)
        return;
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    auto set = [menu](UINT item, bool enabled) { EnableMenuItem(menu, item, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)); };
    if (sizeType == SIZE_MINIMIZED) {
        set(SC_MINIMIZE, false);
        set(SC_RESTORE, true);
    } else if (sizeType == SIZE_MAXIMIZED) {
        set(SC_MAXIMIZE, false);
        set(SC_RESTORE, true);
    } else {
        set(SC_MINIMIZE, (style & WS_MINIMIZEBOX) != 0);
        set(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) != 0);
        set(SC_RESTORE, false);
    }
}

INT_PTR Answer(HWND dialog, LRESULT result)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

// Mouse messages of the dialog's own graphics area.
void AreaMouse(HWND dialog, DialogRecord* r, UINT message, WPARAM wParam, LPARAM lParam)
{
    int type;
    int button = 0;
    switch (message) {
    case WM_MOUSEMOVE:
        type = kEventAreaMouseMove;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetCapture(dialog);
        type = kEventAreaMouseDown;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        ReleaseCapture();
        type = kEventAreaMouseUp;
        break;
    default: {
        SetCapture(dialog);
        int enabled = 0;
        EventTypeEnabled(kEventDoubleClick, enabled);
        type = enabled ? kEventAreaDoubleClick : kEventAreaMouseDown;
        break;
    }
    }
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK)
        button = 1;
    else if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK)
        button = 3;
    else if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP || message == WM_MBUTTONDBLCLK)
        button = 2;
    r->words[kDlgMouseButton] = button;
    r->words[kDlgGraphicsField] = 0;
    EventStore(type, button, wParam, lParam, dialog);
}

// A push button (or a command without a control).
INT_PTR PushButton(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    HWND focus = GetFocus();
    NumericCheckState& n = gNumericCheck;
    if (NumericFieldCheck(focus, focus, 0))
        n.pendingRejected = focus;
    if (n.pendingRejected && id == IDOK) {
        // OK is refused while a field's rejection waits.
        BeepIfEnabled();
        HWND field = n.pendingRejected;
        n.pendingRejected = nullptr;
        SetFocus(field);
        DialogFieldSelectAll(field);
        return 0;
    }
    if (n.pendingRejected) {
        HWND field = n.pendingRejected;
        SetWindowTextA(field, n.savedText);
        if (FieldRecord* f = FieldRecordOf(field))
            f->value = n.savedValue;
        n.captureRequest = 1;
        n.pendingRejected = nullptr;
    }
    DialogRecord* r = DialogRecordOf(dialog);
    if (DialogInModalClone(dialog)) {
        // The push button ends the modal show.
        HWND copy = gDialogTable.slot[0];
        gDialogTable.exitDialog = r ? r->words[kDlgIdentifier] : 0;
        if (r) {
            r->words[kDlgCurrentField] = id;
            if (focus && focus != control)
                r->words[kDlgPreviousField] = GetDlgCtrlID(focus);
        }
        DialogPagesDetach(copy);
        gDialogTable.creating = 1;
        if (HWND loaded = DialogCurrentWindow())
            DialogStateCopy(loaded, copy);
        gActiveDialog = nullptr;
        DialogRecordRelease(copy);
        EndDialog(copy, 0);
        gDialogTable.creating = 0;
        return 1;
    }
    if (r) {
        bool buttonHasFocus = focus && IsChild(dialog, focus) && GetDlgCtrlID(focus) == id;
        if (!buttonHasFocus)
            r->words[kDlgPreviousField] = r->words[kDlgCurrentField];
    }
    EventStore(kEventPushButton, 0, wParam, lParam, dialog);
    return 0;
}

INT_PTR Command(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    int code = HIWORD(wParam);
    int id = LOWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);

    // A command of the system menu popped up on a child dialog's caption.
    if (code == BN_CLICKED && IsChildStyle(dialog)) {
        UINT cmd = static_cast<UINT>(id);
        if (cmd == SC_SIZE || cmd == SC_MOVE || cmd == SC_MINIMIZE || cmd == SC_MAXIMIZE || cmd == SC_CLOSE ||
            cmd == SC_RESTORE)
            return Answer(dialog, SendMessageA(dialog, WM_SYSCOMMAND, cmd, 0));
    }
    bool button = control && ClassAtomOf(control) == gControlClasses.button;
    if (code == BN_CLICKED && (!control || (GetWindowLongA(control, GWL_STYLE) & 15) <= 1))
        return PushButton(dialog, wParam, lParam);
    if (code == LBN_DBLCLK) {
        // A double-click in a list or combo box; a button's 2 is BN_HILITE.
        if (button)
            return 0;
        FieldRecord* f = FieldRecordOf(control);
        if (!(f && (f->flags & 1)))
            DialogDefaultButtonPress(control ? control : dialog);
        return 0;
    }
    bool change = code == LBN_SELCHANGE || code == CBN_SETFOCUS || code == LBN_SETFOCUS ||
                  code == CBN_EDITCHANGE || code == BN_SETFOCUS || code == EN_SETFOCUS || code == EN_CHANGE ||
                  (code == BN_CLICKED && button);
    if (!change)
        return 0;
    if (code == CBN_EDITUPDATE && !button)
        return 0;
    if (gDialogTable.creating)
        return 0;
    if (code == EN_CHANGE || code == CBN_EDITCHANGE) {
        FieldRecord* f = FieldRecordOf(control);
        if (!(f && f->reportChanges))
            return 0;
    }
    DialogRecord* r = DialogRecordOf(dialog);
    FieldChangeRecord(r, id);
    if (!DialogInModalClone(dialog)) {
        bool sameField = r && r->words[kDlgCurrentField] == r->words[kDlgPreviousField];
        if (!(IsFocusNotification(code) && sameField))
            EventStore(kEventFieldChanged, 0, wParam, lParam, dialog);
    }
    if (control)
        DialogFocusRemember(dialog, control);
    return 0;
}

INT_PTR Scroll(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control || gDialogTable.creating)
        return 0;
    ATOM a = ClassAtomOf(control);
    int code = LOWORD(wParam);
    bool modal = DialogInModalClone(dialog) != 0;
    if (a == gControlClasses.trackBar && code != TB_ENDTRACK) {
        if ((GetWindowLongA(control, GWL_STYLE) & TBS_ENABLESELRANGE) && GetKeyState(VK_SHIFT) < 0) {
            LPARAM pos = SendMessageA(control, TBM_GETPOS, 0, 0);
            LPARAM anchor = gFieldProcState.trackBarAnchor;
            SendMessageA(control, TBM_SETSELSTART, FALSE, pos < anchor ? pos : anchor);
            SendMessageA(control, TBM_SETSELEND, TRUE, pos < anchor ? anchor : pos);
        }
        if (!modal) {
            FieldChangeSame(DialogRecordOf(dialog), GetDlgCtrlID(control));
            DialogFocusRemember(dialog, control);
            EventStore(kEventFieldChanged, 0, wParam, lParam, dialog);
        }
    } else if (message == WM_VSCROLL && a == gControlClasses.upDown && code != SB_ENDSCROLL && !modal) {
        HWND buddy = reinterpret_cast<HWND>(SendMessageA(control, UDM_GETBUDDY, 0, 0));
        FieldChangeSame(DialogRecordOf(dialog), buddy ? GetDlgCtrlID(buddy) : 0);
        if (buddy)
            DialogFocusRemember(dialog, buddy);
        FieldRecord* own = FieldRecordOf(control);
        if (!(own && own->reportChanges))
            EventStore(kEventFieldChanged, 0, wParam, lParam, dialog);
    }
    return 0;
}

INT_PTR TabNotify(HWND dialog, NMHDR* nm, WPARAM wParam, LPARAM lParam)
{
    HWND tab = nm->hwndFrom;
    int item = static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    TabItemData data = TabItemDataGet(tab, item);
    HWND page = PageOfTabItem(tab, item);
    DialogRecord* r = DialogRecordOf(dialog);
    NumericCheckState& n = gNumericCheck;
    if (nm->code == static_cast<UINT>(TCN_SELCHANGING)) {
        HWND focus = GetFocus();
        if (focus && focus != tab && NumericFieldCheck(focus, focus, 0))
            n.pendingTab = focus;
        if (n.pendingTab || n.pendingRejected) {
            n.savedTabSelection = item;
            BeepIfEnabled();
        } else {
            if (page)
                SetWindowPos(page, nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (!gDialogTable.creating && r)
                r->words[kDlgOldPage] = data.page;
        }
        return Answer(dialog, FALSE);
    }
    if (nm->code == static_cast<UINT>(TCN_SELCHANGE)) {
        HWND back = n.pendingTab ? n.pendingTab : n.pendingRejected;
        if (back) {
            SendMessageA(tab, TCM_SETCURSEL, n.savedTabSelection, 0);
            SetFocus(back);
            return 0;
        }
        if (page)
            TabPageInFront(tab, page, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE);
        InvalidateRect(tab, nullptr, TRUE);
        if (page) {
            if (GetFocus() != tab)
                DialogPageFocusFirst(tab, page, 1);
            RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        if (!gDialogTable.creating && r) {
            r->words[kDlgNewPage] = data.page;
            if (!DialogInModalClone(dialog))
                EventStore(kEventTabChanged, 0, wParam, lParam, dialog);
        }
    }
    return 0;
}

INT_PTR TreeNotify(HWND dialog, NMHDR* nm, WPARAM wParam, LPARAM lParam)
{
    HWND tree = nm->hwndFrom;
    UINT code = nm->code;
    if (code == TVN_SELCHANGEDA || code == TVN_SELCHANGEDW || code == TVN_ITEMEXPANDEDA ||
        code == TVN_ITEMEXPANDEDW) {
        if (gDialogTable.creating)
            return 0;
        FieldChangeSame(DialogRecordOf(dialog), GetDlgCtrlID(tree));
        DialogFocusRemember(dialog, tree);
        if (!DialogInModalClone(dialog))
            EventStore(kEventFieldChanged, 0, wParam, lParam, dialog);
    } else if (code == static_cast<UINT>(NM_DBLCLK)) {
        FieldRecord* f = FieldRecordOf(tree);
        if (f && (f->flags & 1))
            return 0;
        auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (!item)
            return 0;
        TVITEMA tv{};
        tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
        tv.hItem = item;
        if (SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) && tv.cChildren == 0)
            DialogDefaultButtonPress(tree);
    }
    return 0;
}

INT_PTR Notify(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    auto* nm = reinterpret_cast<NMHDR*>(lParam);
    if (!nm || !nm->hwndFrom)
        return 0;
    ATOM a = ClassAtomOf(nm->hwndFrom);
    if (a == gControlClasses.tab)
        return TabNotify(dialog, nm, wParam, lParam);
    if (a == gControlClasses.treeView)
        return TreeNotify(dialog, nm, wParam, lParam);
    if (a == gControlClasses.upDown && nm->code == static_cast<UINT>(UDN_DELTAPOS)) {
        HWND buddy = reinterpret_cast<HWND>(SendMessageA(nm->hwndFrom, UDM_GETBUDDY, 0, 0));
        if (NumericIsSpin(NumericClassOf(buddy)))
            return Answer(dialog, NumericSpinStep(buddy, reinterpret_cast<NMUPDOWN*>(lParam)));
    }
    return 0;
}

void Paint(HWND dialog, DialogRecord* r, WPARAM wParam, LPARAM lParam)
{
    int slot = 0;
    for (int i = 1; i <= gDialogTable.count; ++i)
        if (gDialogTable.slot[i] == dialog)
            slot = i;
    HBITMAP snapshot = (gWindowSystem.snapshotsActive && slot) ? DialogSnapshotBitmap(slot) : nullptr;
    if (snapshot) {
        RECT rc;
        GetClientRect(dialog, &rc);
        HDC dc = GetDC(dialog);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, snapshot);
        BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(dialog, dc);
        ValidateRect(dialog, nullptr);
    } else if (r && r->words[kDlgGraphicsArea] && !gWindowSystem.snapshotsActive) {
        r->words[kDlgGraphicsField] = 0;
        EventStore(kEventAreaExpose, 0, wParam, lParam, dialog);
    }
}

void SystemMenuPopUp(HWND dialog, LPARAM lParam)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu)
        return;
    UINT state = GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND);
    bool restoreEnabled = state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
    SetMenuDefaultItem(menu, restoreEnabled ? SC_RESTORE : SC_CLOSE, FALSE);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, static_cast<short>(LOWORD(lParam)),
                   static_cast<short>(HIWORD(lParam)), 0, dialog, nullptr);
}

void MouseActivate(HWND dialog, DialogRecord* r)
{
    HWND host = DialogHandleGet(r, kDlgHost);
    if (IsChildStyle(dialog) && HasClass(GetParent(dialog), "QUILCLIENT") && !host) {
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        HWND focus = GetFocus();
        if (!(focus == dialog || IsChild(dialog, focus)))
            SetFocus(dialog);
        gActiveDialog = dialog;
    }
    if (!host)
        WindowFocusActivate(dialog);
    else if (GetActiveWindow() != host)
        WindowFocusActivate(host);
}

// Frees what the fields of DIALOG own; the modal copy shares its formats,
// fonts and images with the loaded dialog and frees none of them.
void FieldsRelease(HWND dialog)
{
    bool copy = dialog == gDialogTable.slot[0];
    auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HWND child = GetWindow(dialog, GW_CHILD);
    while (child) {
        HWND next = GetWindow(child, GW_HWNDNEXT);
        if (FieldRecord* f = FieldRecordOf(child)) {
            if (f->previousProc)
                SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(f->previousProc));
            FieldRecordRelease(child, copy);
        }
        ATOM a = ClassAtomOf(child);
        if (a == gControlClasses.tab && gControlClasses.tabProc)
            SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gControlClasses.tabProc));
        if (!copy) {
            auto font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
            bool ownFont = font && font != dialogFont && font != GetStockObject(SYSTEM_FONT) &&
                           font != GetStockObject(SYSTEM_FIXED_FONT);
            LONG style = GetWindowLongA(child, GWL_STYLE);
            HANDLE image = nullptr;
            UINT kind = IMAGE_BITMAP;
            if (a == gControlClasses.staticText) {
                LONG t = style & 0x1F;
                if (t == SS_BITMAP || t == SS_ICON || t == SS_ENHMETAFILE) {
                    kind = t == SS_BITMAP ? IMAGE_BITMAP : t == SS_ICON ? IMAGE_ICON : IMAGE_ENHMETAFILE;
                    image = reinterpret_cast<HANDLE>(SendMessageA(child, STM_GETIMAGE, kind, 0));
                }
            } else if (a == gControlClasses.button && (style & (BS_BITMAP | BS_ICON))) {
                kind = (style & BS_BITMAP) ? IMAGE_BITMAP : IMAGE_ICON;
                image = reinterpret_cast<HANDLE>(SendMessageA(child, BM_GETIMAGE, kind, 0));
            }
            if (ownFont || image) {
                DestroyWindow(child);
                if (ownFont)
                    DeleteObject(font);
                if (image) {
                    if (kind == IMAGE_ICON)
                        DestroyIcon(static_cast<HICON>(image));
                    else if (kind == IMAGE_ENHMETAFILE)
                        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(image));
                    else
                        DeleteObject(image);
                }
            }
        }
        child = next;
    }
}

} // namespace

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const UINT cellChange = RegisterWindowMessageA("GM_CELLCHANGE");
    if (cellChange && message == cellChange) {
        if (!gDialogTable.creating) {
            FieldChangeRecord(DialogRecordOf(dialog), static_cast<int>(wParam));
            if (!DialogInModalClone(dialog))
                EventStore(kEventFieldChanged, 0, wParam, lParam, dialog);
            DialogFocusRemember(dialog, GetDlgItem(dialog, static_cast<int>(wParam)));
        }
        return 0;
    }
    DialogRecord* r = DialogRecordOf(dialog);
    switch (message) {
    case WM_INITDIALOG: {
        if (HMENU menu = GetSystemMenu(dialog, FALSE)) {
            LONG style = GetWindowLongA(dialog, GWL_STYLE);
            EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_GRAYED);
            if (!(style & WS_MINIMIZEBOX))
                EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
            if (!(style & WS_MAXIMIZEBOX))
                EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
            if (!(style & WS_THICKFRAME))
                EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
        }
        return DialogInitFields(dialog, reinterpret_cast<DialogRecord*>(lParam));
    }
    case WM_COMMAND:
        return Command(dialog, wParam, lParam);
    case WM_HSCROLL:
    case WM_VSCROLL:
        return Scroll(dialog, message, wParam, lParam);
    case WM_NOTIFY:
        return Notify(dialog, wParam, lParam);
    case WM_HELP:
        if (!DialogInModalClone(dialog) && r) {
            HWND focus = GetFocus();
            if (!(focus && GetDlgCtrlID(focus) == 9))
                r->words[kDlgPreviousField] = r->words[kDlgCurrentField];
            EventStore(kEventPushButton, 0, 9, 0, dialog);
        }
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return DialogFieldColourApply(dialog, message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
            SystemMenuStates(dialog, wParam);
            if (wParam != SIZE_MINIMIZED && DialogIsResizable(dialog))
                DialogLayout(dialog, LOWORD(lParam), HIWORD(lParam));
            if (!DialogInModalClone(dialog) && r && r->words[kDlgGraphicsArea]) {
                r->words[kDlgGraphicsField] = 0;
                RedrawWindow(dialog, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW | RDW_NOCHILDREN);
                EventStore(kEventAreaResize, 0, wParam, lParam, dialog);
            }
        }
        return 0;
    case WM_GETMINMAXINFO:
        if (r && DialogIsResizable(dialog)) {
            auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
            mm->ptMinTrackSize.x = r->words[kDlgMinWidth];
            mm->ptMinTrackSize.y = r->words[kDlgMinHeight];
        }
        return 0;
    case WM_PAINT:
        if (!DialogInModalClone(dialog))
            Paint(dialog, r, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        if (r && r->words[kDlgGraphicsArea] && !DialogInModalClone(dialog))
            AreaMouse(dialog, r, message, wParam, lParam);
        return 0;
    case WM_NCRBUTTONUP:
        if ((wParam == HTCAPTION || wParam == HTSYSMENU) && IsChildStyle(dialog) && LOBYTE(LOWORD(GetVersion())) >= 4)
            SystemMenuPopUp(dialog, lParam);
        return 0;
    case WM_MOUSEACTIVATE:
        MouseActivate(dialog, r);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            gActiveDialog = dialog;
        } else {
            gActiveDialog = nullptr;
            gWindowSystem.lastActiveFrame = dialog;
        }
        return 0;
    case WM_SETFOCUS:
        if (IsChildStyle(dialog) && HasClass(GetParent(dialog), "QUILCLIENT") && r) {
            HWND field = DialogHandleGet(r, kDlgFocusField);
            if (field && IsWindow(field)) {
                SetFocus(field);
                return 1;
            }
        }
        return 0;
    case WM_DESTROY:
        FieldsRelease(dialog);
        return 0;
    case WM_NCDESTROY:
        DialogRecordUnhook(dialog); // the destroyer frees the record
        return 0;
    default:
        return 0;
    }
}

INT_PTR DialogFieldColourApply(HWND dialog, UINT message, HDC dc, HWND control)
{
    DialogFieldBrushDelete();
    if (!control || ClassAtomOf(control) == gControlClasses.treeView)
        return 0;
    HWND field = nullptr;
    HWND parent = GetParent(control);
    HWND grand = parent ? GetParent(parent) : nullptr;
    if (parent == dialog)
        field = control;
    else if (grand == dialog)
        field = parent;
    else if (grand && GetParent(grand) == dialog)
        field = grand;
    FieldRecord* f = FieldRecordOf(field);
    if (!f)
        return 0;
    bool buttonLike = message == WM_CTLCOLORBTN || message == WM_CTLCOLORSTATIC;
    if (f->foreColour != -1)
        SetTextColor(dc, static_cast<COLORREF>(f->foreColour));
    else if (f->backColour != -1)
        SetTextColor(dc, GetSysColor(message == WM_CTLCOLORBTN ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
    if (f->backColour == -1) {
        if (f->foreColour == -1)
            return 0;
        int sys = buttonLike ? COLOR_BTNFACE : COLOR_WINDOW;
        SetBkColor(dc, GetSysColor(sys));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(sys));
    }
    COLORREF c = GetNearestColor(dc, static_cast<COLORREF>(f->backColour));
    SetBkColor(dc, c);
    gFieldBrush = CreateSolidBrush(c);
    return reinterpret_cast<INT_PTR>(gFieldBrush);
}


void DialogFieldBrushDelete()
{
    if (gFieldBrush)
        DeleteObject(gFieldBrush);
    gFieldBrush = nullptr;
}

void DialogWindowOpenReset()
{
    gNumericCheck.captureRequest = 1;
    gFieldBrush = nullptr; // deleted when the window system went down
}

int DialogIsResizable(HWND dialog)
{
    DialogRecord* r = DialogRecordOf(dialog);
    return (r && r->words[kDlgStretchField] != 0) ? 1 : 0;
}

void DialogPagesDetach(HWND dialog)
{
    HWND child = GetWindow(dialog, GW_CHILD);
    while (child) {
        HWND next = GetWindow(child, GW_HWNDNEXT);
        if (ClassAtomOf(child) == gControlClasses.dialog) {
            SetParent(child, gWindowTable.client[0]);
            ShowWindow(child, SW_HIDE);
            DialogSizeGripCreate(child);
        }
        child = next;
    }
}


int DialogInModalClone(HWND window)
{
    HWND copy = gDialogTable.slot[0];
    if (!copy)
        return 0;
    for (HWND w = window; w;) {
        if (w == copy)
            return 1;
        if (!IsChildStyle(w))
            return 0;
        w = GetParent(w);
    }
    return 0;
}

void DialogTabPagesAttach(HWND dialog)
{
    for (HWND tab = GetWindow(dialog, GW_CHILD); tab; tab = GetWindow(tab, GW_HWNDNEXT)) {
        if (ClassAtomOf(tab) != gControlClasses.tab)
            continue;
        int n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
        int selected = static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
        bool tabVisible = (GetWindowLongA(tab, GWL_STYLE) & WS_VISIBLE) != 0;
        for (int i = 0; i < n; ++i) {
            HWND page = PageOfTabItem(tab, i);
            // A page that holds this dialog (extras naming each other) stays where it is.
            if (!page || page == dialog || IsChild(page, dialog))
                continue;
            LONG style = GetWindowLongA(page, GWL_STYLE);
            style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
            style |= WS_CHILD | DS_CONTROL;
            SetWindowLongA(page, GWL_STYLE, style);
            if (DialogIsResizable(page))
                if (HWND grip = SizeGripOf(page))
                    DestroyWindow(grip);
            SetParent(page, dialog);
            RECT area = TabDisplayArea(tab);
            // In front of the tab control, not behind it: a page behind the
            // control lies under its display area and is never seen.
            UINT flags = SWP_NOACTIVATE | ((i == selected && tabVisible) ? SWP_SHOWWINDOW : 0);
            TabPageInFront(tab, page, area.left, area.top, flags);
            EnableWindow(page, TRUE);
            DialogTabPagesAttach(page);
        }
    }
}

void DialogPageFocusFirst(HWND tab, HWND page, int giveFocus)
{
    HWND target = nullptr;
    for (HWND c = page ? GetWindow(page, GW_CHILD) : nullptr; c && !target; c = GetWindow(c, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(c, GWL_STYLE);
        if ((style & WS_VISIBLE) && !(style & WS_DISABLED) && (style & WS_TABSTOP))
            target = c;
    }
    if (!target)
        target = tab;
    if (giveFocus)
        SetFocus(target);
    DialogFieldSelectAll(target);
}

void DialogSizeGripCreate(HWND dialog)
{
    if (!DialogIsResizable(dialog) || SizeGripOf(dialog))
        return;
    DialogRecord* r = DialogRecordOf(dialog);
    HWND host = DialogHandleGet(r, kDlgHost);
    // A window with a status bar (or a first split pane) has a grip of its own.
    for (int guard = 0; host && guard <= kLastWindow; ++guard) {
        int n = WindowTableIndex(host);
        if (n < 0)
            break;
        if (gWindowTable.statusBar[n])
            return;
        HWND enclosing = nullptr;
        for (int m = 0; m <= kLastWindow && !enclosing; ++m) {
            auto* split = WindowRecordAs<SplitRecord>(gWindowTable.frame[m], kRecordSplit);
            if (!split)
                continue;
            if (split->pane[0] == n)
                return;
            if (split->pane[1] == n)
                enclosing = gWindowTable.frame[m];
        }
        host = enclosing;
    }
    RECT rc;
    GetClientRect(dialog, &rc);
    CreateWindowExA(0, "SCROLLBAR", " ",
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP | SBS_SIZEGRIP |
                        SBS_SIZEBOXBOTTOMRIGHTALIGN,
                    0, 0, rc.right, rc.bottom, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                    GetModuleHandleA(nullptr), nullptr);
}

void DialogCentre(HWND dialog)
{
    DialogPendingShow& p = gDialogPendingShow;
    if (p.x != -1 && p.y != -1)
        return;
    RECT d;
    GetWindowRect(dialog, &d);
    int dw = d.right - d.left, dh = d.bottom - d.top;
    int pw, ph;
    if (IsChildStyle(dialog)) {
        RECT c{};
        GetClientRect(GetParent(dialog), &c);
        pw = c.right;
        ph = c.bottom;
    } else {
        pw = gLibraryState.screenWidth > 0 ? gLibraryState.screenWidth : GetSystemMetrics(SM_CXSCREEN);
        ph = gLibraryState.screenHeight > 0 ? gLibraryState.screenHeight : GetSystemMetrics(SM_CYSCREEN);
    }
    if (p.x == -1)
        p.x = (pw - dw) / 2;
    if (p.y == -1)
        p.y = (ph - dh) / 2;
}

void DialogLayout(HWND dialog, int width, int height)
{
    DialogRecord* r = DialogRecordOf(dialog);
    HWND host = DialogHandleGet(r, kDlgHost);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOCOPYBITS;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ATOM a = ClassAtomOf(child);
        if (IsSizeGrip(child)) {
            RECT g = RectInParent(child);
            int gw = g.right - g.left, gh = g.bottom - g.top;
            bool hide = IsZoomed(dialog) || (host && IsZoomed(host));
            SetWindowPos(child, nullptr, width - gw, height - gh, 0, 0, flags | SWP_NOSIZE);
            ShowWindow(child, hide ? SW_HIDE : SW_SHOWNA);
            continue;
        }
        if (a == gControlClasses.upDown || a == gControlClasses.dialog)
            continue;
        FieldRecord* f = FieldRecordOf(child);
        if (!f || !f->anchors)
            continue;
        RECT rc = RectInParent(child);
        HWND buddy = (f->upDownBuddy && IsWindow(f->upDownBuddy)) ? f->upDownBuddy : nullptr;
        int right = rc.right, buddyWidth = 0;
        if (buddy) {
            RECT b = RectInParent(buddy);
            buddyWidth = b.right - b.left;
            if (b.right > right)
                right = b.right;
        }
        int dx = width - (right + f->rightMargin);
        int dy = height - (rc.bottom + f->bottomMargin);
        if (f->anchors & kAnchorLeft)
            rc.left += dx;
        if (f->anchors & kAnchorRight)
            rc.right += dx;
        if (f->anchors & kAnchorTop)
            rc.top += dy;
        if (f->anchors & kAnchorBottom)
            rc.bottom += dy;
        SetWindowPos(child, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, flags);
        if (buddy)
            SetWindowPos(buddy, nullptr, rc.right, rc.top, buddyWidth, rc.bottom - rc.top, flags);
    }
}

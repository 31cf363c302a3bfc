// Class probing and the procedures put in front of the controls of every
// dialog (see dialogs/field_subclass.h).
#include "dialogs/field_subclass.h"

#include <commctrl.h>

#include "core/events.h"
#include "core/window_services.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_services.h"
#include "dialogs/numeric_edit_classes.h"

ControlClassTable gControlClasses;
FieldProcState gFieldProcState;

namespace {

HMODULE ProgramModule()
{
    return GetModuleHandleA(nullptr);
}

ATOM ProbeClass(const char* name, WNDPROC* proc)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ATOM atom = static_cast<ATOM>(GetClassInfoExA(ProgramModule(), name, &wc));
    if (atom && proc)
        *proc = wc.lpfnWndProc;
    return atom;
}

[[maybe_unused]] void CommonControlsInit()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                             ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
}

HWND DialogOfField(HWND field)
{
    return GetParent(field);
}

int ButtonNumber(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return 3;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return 2;
    default:
        return 0;
    }
}

// Tab items with the disabled flag set.
bool TabHasDisabled(HWND tab)
{
    int n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i)
        if (TabItemDataGet(tab, i).disabled)
            return true;
    return false;
}

// The nearest enabled tab from FROM in direction STEP, -1 when none.
int TabNearestEnabled(HWND tab, int from, int step)
{
    int n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = from + step; i >= 0 && i < n; i += step)
        if (!TabItemDataGet(tab, i).disabled)
            return i;
    return -1;
}

HWND TabPageOf(HWND tab, int item)
{
    if (item < 0)
        return nullptr;
    int index = DialogIndexById(TabItemDataGet(tab, item).page);
    return index >= 0 ? gDialogTable.slot[index] : nullptr;
}

void TabPaintDisabled(HWND tab)
{
    int n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    bool any = false;
    for (int i = 0; i < n; ++i) {
        if (!TabItemDataGet(tab, i).disabled)
            continue;
        RECT r;
        if (!SendMessageA(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
            continue;
        char text[1025] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        RECT label = r;
        InflateRect(&label, -2, -2);
        HDC dc = GetDC(tab);
        HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(tab, WM_GETFONT, 0, 0)));
        RECT t = label;
        t.top += 3;
        OffsetRect(&t, 1, 1);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text, -1, &t, DT_CENTER | DT_TOP | DT_SINGLELINE);
        OffsetRect(&t, -1, -1);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextA(dc, text, -1, &t, DT_CENTER | DT_TOP | DT_SINGLELINE);
        SelectObject(dc, oldFont);
        ReleaseDC(tab, dc);
        ValidateRect(tab, &label);
        any = true;
    }
    if (any)
        if (HWND first = GetWindow(tab, GW_CHILD))
            InvalidateRect(first, nullptr, TRUE);
}

struct TabItemWithData {
    TCITEMHEADERA header;
    TabItemData data;
};

} // namespace

// ---- class probing -------------------------------------------------------------

ATOM ClassAtomOf(HWND window)
{
    return window ? static_cast<ATOM>(GetClassLongA(window, GCW_ATOM)) : 0;
}


void ControlClassProcsProbe()
{
    CommonControlsInit();
    auto& c = gControlClasses;
    c.button = ProbeClass("BUTTON", &c.buttonProc);
    c.staticText = ProbeClass("STATIC", &c.staticProc);
    c.trackBar = ProbeClass(TRACKBAR_CLASSA, &c.trackBarProc);
    c.treeView = ProbeClass(WC_TREEVIEWA, &c.treeViewProc);
    c.tab = ProbeClass(WC_TABCONTROLA, &c.tabProc);
    c.probed = 1;
}

void ControlClassAtomsProbe()
{
    CommonControlsInit();
    auto& c = gControlClasses;
    c.dialog = ProbeClass("#32770", nullptr);
    if (!c.dialog)
        c.dialog = 32770; // the dialog class's fixed atom
    c.listBox = ProbeClass("LISTBOX", nullptr);
    c.comboBox = ProbeClass("COMBOBOX", nullptr);
    c.progress = ProbeClass(PROGRESS_CLASSA, nullptr);
    c.upDown = ProbeClass(UPDOWN_CLASSA, &c.upDownProc);
    c.header = ProbeClass(WC_HEADERA, nullptr);
    c.scrollBar = ProbeClass("SCROLLBAR", nullptr);
    c.grid = ProbeClass("KVBGRID", nullptr);
}


void ControlClassesEnsure()
{
    auto& c = gControlClasses;
    if (!c.probed || !c.edit || !c.dialog) {
        NumericEditClassesRegister();
        ControlClassProcsProbe();
        ControlClassAtomsProbe();
    }
    if (!c.grid)
        c.grid = ProbeClass("KVBGRID", nullptr);
}

// ---- tab items -----------------------------------------------------------------

TabItemData TabItemDataGet(HWND tab, int item)
{
    TabItemWithData it{};
    it.header.mask = TCIF_PARAM;
    if (!tab || !SendMessageA(tab, TCM_GETITEMA, item, reinterpret_cast<LPARAM>(&it)))
        return TabItemData{};
    return it.data;
}

void TabItemDataSet(HWND tab, int item, const TabItemData& data)
{
    TabItemWithData it{};
    it.header.mask = TCIF_PARAM;
    it.data = data;
    SendMessageA(tab, TCM_SETITEMA, item, reinterpret_cast<LPARAM>(&it));
}

void TabItemInsert(HWND tab, int item, const char* label, const TabItemData& data)
{
    TabItemWithData it{};
    it.header.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    it.header.pszText = const_cast<char*>(label);
    it.header.iImage = -1;
    it.data = data;
    SendMessageA(tab, TCM_INSERTITEMA, item, reinterpret_cast<LPARAM>(&it));
}

RECT TabDisplayArea(HWND tab)
{
    RECT r{};
    GetWindowRect(tab, &r);
    MapWindowPoints(nullptr, GetParent(tab), reinterpret_cast<POINT*>(&r), 2);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TabPageInFront(HWND tab, HWND page, int x, int y, UINT flags)
{
    LONG style = GetWindowLongA(tab, GWL_STYLE);
    if (!(style & WS_CLIPSIBLINGS))
        SetWindowLongA(tab, GWL_STYLE, style | WS_CLIPSIBLINGS);
    HWND before = GetWindow(tab, GW_HWNDPREV);
    if (before == page)
        flags |= SWP_NOZORDER;
    SetWindowPos(page, before ? before : HWND_TOP, x, y, 0, 0, flags | SWP_NOSIZE);
}

void TabPagesPlace(HWND tab)
{
    RECT area = TabDisplayArea(tab);
    int n = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i)
        if (HWND page = TabPageOf(tab, i))
            SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- the procedures ------------------------------------------------------------

LRESULT CALLBACK FieldSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FieldRecord* f = FieldRecordOf(window);
    WNDPROC previous = f ? f->previousProc : nullptr;
    if (!previous || previous == FieldSubclassProc)
        return DefWindowProcA(window, message, wParam, lParam);
    // The field's own focus, known here without asking the system.
    if (message == WM_SETFOCUS)
        f->focused = 1;
    else if (message == WM_KILLFOCUS)
        f->focused = 0;
    LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // A control destroyed on its own (not with its dialog) frees its record here.
        FieldRecordRelease(window, DialogInModalClone(window) != 0);
        return result;
    }
    f = FieldRecordOf(window);
    if (!f || !f->graphicsArea || (message != WM_PAINT && message != WM_SIZE))
        return result;
    HWND dialog = DialogOfField(window);
    if (DialogInModalClone(dialog))
        return result;
    if (DialogRecord* r = DialogRecordOf(dialog))
        r->words[kDlgGraphicsField] = GetDlgCtrlID(window);
    if (message == WM_PAINT) {
        EventStore(kEventAreaExpose, 0, wParam, lParam, window);
    } else {
        RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW | RDW_NOCHILDREN);
        EventStore(kEventAreaResize, 0, wParam, lParam, window);
    }
    return result;
}

LRESULT CALLBACK ButtonSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC classProc = gControlClasses.buttonProc;
    HWND dialog = DialogOfField(window);
    switch (message) {
    case BM_SETSTATE: {
        bool pushed = wParam != 0;
        bool now = (SendMessageA(window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        FieldRecord* f = FieldRecordOf(window);
        if (pushed != now && f && f->graphicsArea && !DialogInModalClone(dialog)) {
            if (DialogRecord* r = DialogRecordOf(dialog))
                r->words[kDlgGraphicsField] = GetDlgCtrlID(window);
            EventStore(kEventAreaExpose, 0, wParam, lParam, window);
        }
        break;
    }
    case WM_SETFOCUS:
        // Every button reports its focus, whatever its styles.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_SETFOCUS),
                     reinterpret_cast<LPARAM>(window));
        break;
    case WM_KILLFOCUS:
        if (gNumericCheck.pendingRejected && gNumericCheck.rejectGuard)
            NumericFieldReject(window, gNumericCheck.pendingRejected, 1);
        break;
    case WM_LBUTTONUP:
        if (gNumericCheck.pendingRejected) {
            RECT r;
            GetClientRect(window, &r);
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (!PtInRect(&r, p)) {
                gNumericCheck.rejectGuard = 0;
                NumericFieldReject(window, gNumericCheck.pendingRejected, 0);
                gNumericCheck.rejectGuard = 1;
            }
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(classProc, window, message, wParam, lParam);
}

LRESULT CALLBACK StaticSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC classProc = gControlClasses.staticProc;
    FieldRecord* f = FieldRecordOf(window);
    bool area = f && f->graphicsArea;
    if (message == WM_SETCURSOR) {
        if (LOWORD(lParam) == HTCLIENT && area) {
            HCURSOR cursor = f->cursor ? f->cursor : gGlobalCursor;
            if (cursor) {
                SetCursor(cursor);
                return 0;
            }
        }
        return CallWindowProcA(classProc, window, message, wParam, lParam);
    }
    if (message == WM_NCHITTEST) {
        LRESULT hit = CallWindowProcA(classProc, window, message, wParam, lParam);
        if (hit == HTTRANSPARENT && (GetWindowLongA(window, GWL_STYLE) & SS_NOTIFY))
            hit = HTCLIENT;
        return hit;
    }
    if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) {
        HWND dialog = DialogOfField(window);
        if (area && !DialogInModalClone(dialog)) {
            int type;
            int button = ButtonNumber(message);
            switch (message) {
            case WM_MOUSEMOVE:
                type = kEventAreaMouseMove;
                break;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
                SetCapture(window);
                type = kEventAreaMouseDown;
                break;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP:
                ReleaseCapture();
                type = kEventAreaMouseUp;
                break;
            default: { // double-clicks
                SetCapture(window);
                int enabled = 0;
                EventTypeEnabled(kEventDoubleClick, enabled);
                type = enabled ? kEventAreaDoubleClick : kEventAreaMouseDown;
                break;
            }
            }
            if (DialogRecord* r = DialogRecordOf(dialog)) {
                r->words[kDlgMouseButton] = button;
                r->words[kDlgGraphicsField] = GetDlgCtrlID(window);
            }
            EventStore(type, button, wParam, lParam, window);
        }
        return 0;
    }
    if (message == WM_ENABLE)
        return 0;
    return CallWindowProcA(classProc, window, message, wParam, lParam);
}

LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && wParam == 1) { // Ctrl+A
        SendMessageA(window, EM_SETSEL, 0, -1);
        SendMessageA(window, EM_SCROLLCARET, 0, 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && !(GetWindowLongA(window, GWL_STYLE) & ES_WANTRETURN) &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        DialogDefaultButtonPress(window);
        return 0;
    }
    return CallWindowProcA(gControlClasses.editProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TrackBarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC classProc = gControlClasses.trackBarProc;
    HWND dialog = DialogOfField(window);
    bool selRange = (GetWindowLongA(window, GWL_STYLE) & TBS_ENABLESELRANGE) != 0;
    switch (message) {
    case WM_SETFOCUS:
        // Reported like an edit's focus.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), EN_SETFOCUS),
                     reinterpret_cast<LPARAM>(window));
        break;
    case WM_KILLFOCUS:
        gFieldProcState.trackBarAnchor = 0;
        break;
    case WM_KEYDOWN: {
        if (!selRange || (lParam & (1 << 30)))
            break; // only the first press of a key
        bool changed = false;
        if (wParam == VK_SHIFT) {
            gFieldProcState.trackBarAnchor = static_cast<int>(SendMessageA(window, TBM_GETPOS, 0, 0));
        } else if (wParam == VK_DELETE) {
            SendMessageA(window, TBM_CLEARSEL, TRUE, 0);
            gFieldProcState.trackBarAnchor = 0;
            changed = true;
        } else if (wParam == 'A' && GetKeyState(VK_CONTROL) < 0) {
            LPARAM lo = SendMessageA(window, TBM_GETRANGEMIN, 0, 0);
            LPARAM hi = SendMessageA(window, TBM_GETRANGEMAX, 0, 0);
            SendMessageA(window, TBM_SETSELSTART, FALSE, lo);
            SendMessageA(window, TBM_SETSELEND, TRUE, hi);
            changed = true;
        }
        if (changed && !DialogInModalClone(dialog)) {
            if (DialogRecord* r = DialogRecordOf(dialog)) {
                r->words[kDlgPreviousField] = r->words[kDlgCurrentField];
                r->words[kDlgCurrentField] = GetDlgCtrlID(window);
            }
            DialogFocusRemember(dialog, window);
            EventStore(kEventFieldChanged, 0, wParam, lParam, dialog);
        }
        break;
    }
    case WM_KEYUP:
        if (selRange && wParam == VK_SHIFT) {
            LPARAM start = SendMessageA(window, TBM_GETSELSTART, 0, 0);
            LPARAM end = SendMessageA(window, TBM_GETSELEND, 0, 0);
            if (start == end)
                SendMessageA(window, TBM_CLEARSEL, TRUE, 0);
            gFieldProcState.trackBarAnchor = 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(classProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TabSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC classProc = gControlClasses.tabProc;
    switch (message) {
    case WM_PAINT:
        TabPaintDisabled(window);
        return CallWindowProcA(classProc, window, message, wParam, lParam);
    case WM_MOVE:
    case WM_SIZE: {
        LRESULT result = CallWindowProcA(classProc, window, message, wParam, lParam);
        if (message == WM_MOVE || wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
            TabPagesPlace(window);
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_LEFT || wParam == VK_RIGHT) {
            int focus = static_cast<int>(SendMessageA(window, TCM_GETCURFOCUS, 0, 0));
            int next = TabNearestEnabled(window, focus, wParam == VK_LEFT ? -1 : 1);
            if (next >= 0)
                SendMessageA(window, TCM_SETCURFOCUS, next, 0);
            return 0;
        }
        if ((wParam == VK_UP || wParam == VK_DOWN) && TabHasDisabled(window))
            return 0;
        break;
    case WM_LBUTTONDOWN: {
        TCHITTESTINFO hit{};
        hit.pt.x = static_cast<short>(LOWORD(lParam));
        hit.pt.y = static_cast<short>(HIWORD(lParam));
        int item = static_cast<int>(SendMessageA(window, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (item >= 0 && TabItemDataGet(window, item).disabled)
            return 0;
        break;
    }
    default:
        break;
    }
    return CallWindowProcA(classProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TreeViewSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS && !gFieldProcState.focusMoving) {
        HWND dialog = DialogOfField(window);
        int id = GetDlgCtrlID(window);
        if (DialogRecord* r = DialogRecordOf(dialog)) {
            bool changed = r->words[kDlgCurrentField] != id;
            r->words[kDlgPreviousField] = r->words[kDlgCurrentField];
            r->words[kDlgCurrentField] = id;
            if (changed && !DialogInModalClone(dialog))
                EventStore(kEventFieldChanged, 0, wParam, lParam, dialog);
        }
    }
    return CallWindowProcA(gControlClasses.treeViewProc, window, message, wParam, lParam);
}

LRESULT CALLBACK UpDownSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        if (HWND buddy = reinterpret_cast<HWND>(SendMessageA(window, UDM_GETBUDDY, 0, 0)))
            SetFocus(buddy);
    }
    WNDPROC classProc = gControlClasses.upDownProc;
    if (!classProc)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(classProc, window, message, wParam, lParam);
}

// Split windows: two panes inside the divided window's client area and the
// bar between them.
#include "core/split_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/child_windows.h"
#include "core/dialog_services.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/main_window.h"
#include "core/menus.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"

namespace {

bool Horizontal(const SplitRecord* r)
{
    return r->options & kSplitHorizontal;
}

// The split axis: 1 (height) for a horizontal bar, 0 (width) for a vertical one.
int Axis(const SplitRecord* r)
{
    return Horizontal(r) ? 1 : 0;
}

RECT RectIn(HWND w, HWND parent)
{
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Along(const RECT& r, bool horizontal)
{
    return horizontal ? r.bottom - r.top : r.right - r.left;
}

// Frame extent less client extent of pane window N along the axis.
int Overhead(int n, bool horizontal)
{
    RECT f{}, c{};
    GetWindowRect(gWindowTable.frame[n], &f);
    GetClientRect(gWindowTable.client[n], &c);
    return Along(f, horizontal) - Along(c, horizontal);
}

int ClientExtent(int n, bool horizontal)
{
    RECT c{};
    GetClientRect(gWindowTable.client[n], &c);
    return Along(c, horizontal);
}

void Place(HWND w, const RECT& r, UINT extra)
{
    SetWindowPos(w, nullptr, r.left, r.top, std::max<LONG>(0, r.right - r.left), std::max<LONG>(0, r.bottom - r.top),
                 SWP_NOZORDER | SWP_NOACTIVATE | extra);
}

// Rectangles of pane 0, bar and pane 1 when pane 0 ends at END0 and pane 1
// starts at START1, across the full extent of R.
void Arrange(SplitRecord* s, const RECT& R, int end0, int barStart, int start1)
{
    bool h = Horizontal(s);
    RECT p0 = R, b = R, p1 = R;
    if (h) {
        p0.bottom = end0;
        b.top = barStart;
        b.bottom = barStart + GetSystemMetrics(SM_CXFRAME);
        p1.top = start1;
    } else {
        p0.right = end0;
        b.left = barStart;
        b.right = barStart + GetSystemMetrics(SM_CXFRAME);
        p1.left = start1;
    }
    Place(gWindowTable.frame[s->pane[0]], p0, SWP_NOMOVE);
    Place(s->bar, b, 0);
    Place(gWindowTable.frame[s->pane[1]], p1, 0);
}

void PaneBars(int n, const int toolbars[4], int flags)
{
    for (int slot = 0; slot < 4; ++slot) {
        if (!toolbars || !toolbars[slot])
            continue;
        int id = toolbars[slot], w = 0, h = 0;
        ToolbarCreate(id, n, slot, w, h);
    }
    gWindowTable.partStyle[n].fill(0);
    gWindowTable.partWidth[n].fill(0);
    if (flags & kWindowStatusBar) {
        HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, gWindowTable.frame[n],
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(999)), gWindowSystem.instance, nullptr);
        gWindowTable.statusBar[n] = sb;
        gWindowTable.partWidth[n][0] = -1;
    }
}

void PaneDestroy(int n)
{
    if (n < 1 || n > kLastWindow)
        return;
    if (gWindowTable.frame[n])
        DestroyWindow(gWindowTable.frame[n]);
    if (gWindowTable.menu[n]) {
        MenuFreeHelp(gWindowTable.menu[n], n);
        DestroyMenu(gWindowTable.menu[n]);
    }
    gWindowTable.menu[n] = nullptr;
    gWindowTable.accelerators[n] = nullptr;
    gWindowTable.menuHelpResource[n] = {};
    ToolTipTableFree(n);
    WindowRowClear(n);
}

} // namespace

int SplitPaneFixed(const SplitRecord* record, int pane, int axis)
{
    if (!record || pane < 0 || pane > 1)
        return 0;
    if (axis == Axis(record) && (record->paneFlags[pane] & kWindowFixedSize))
        return 1;
    int n = record->pane[pane];
    if (n < 0 || n > kLastWindow)
        return 0;
    auto* inner = WindowRecordAs<SplitRecord>(gWindowTable.frame[n], kRecordSplit);
    if (!inner)
        return 0;
    bool proportional = inner->options & kSplitProportional;
    int innerAxis = Axis(inner);
    bool either = SplitPaneFixed(inner, 0, axis) || SplitPaneFixed(inner, 1, axis);
    bool both = SplitPaneFixed(inner, 0, axis) && SplitPaneFixed(inner, 1, axis);
    // Across the inner bar either fixed pane fixes it; along it only both, and
    // only without proportional sharing.
    if (axis != innerAxis)
        return either ? 1 : 0;
    return (!proportional && both) ? 1 : 0;
}

void SplitLayout(SplitRecord* s)
{
    if (!s || !WindowIsOpen(s->window) || !WindowIsOpen(s->pane[0]) || !WindowIsOpen(s->pane[1]) || !s->bar)
        return;
    HWND client = gWindowTable.client[s->window];
    bool h = Horizontal(s);
    RECT R;
    GetClientRect(client, &R);
    int extent = Along(R, h);
    int bar = GetSystemMetrics(SM_CXFRAME);
    RECT p0 = RectIn(gWindowTable.frame[s->pane[0]], client);
    RECT p1 = RectIn(gWindowTable.frame[s->pane[1]], client);
    RECT b = RectIn(s->bar, client);
    int end0, barStart, start1;
    if (s->options & kSplitProportional) {
        int ov0 = Overhead(s->pane[0], h), ov1 = Overhead(s->pane[1], h);
        long long room = static_cast<long long>(extent) - bar - ov0 - ov1;
        long long e0 = s->paneExtent[0], e1 = s->paneExtent[1];
        long long c0 = (e0 + e1) > 0 ? room * e0 / (e0 + e1) : room / 2;
        end0 = static_cast<int>(c0) + ov0;
        barStart = end0;
        start1 = barStart + bar;
    } else if ((s->options & kSplitSizeIsPane1) || SplitPaneFixed(s, 1, Axis(s))) {
        int keep = Along(p1, h);
        start1 = extent - keep;
        barStart = start1 - bar;
        end0 = barStart;
    } else {
        end0 = h ? p0.bottom : p0.right;
        barStart = h ? b.top : b.left;
        start1 = barStart + bar;
    }
    Arrange(s, R, end0, barStart, start1);
    ValidateRect(client, nullptr);
}

namespace {

// Whether window C can be split: 0, or the status SplitWindowCreate returns
// (-1 no open window with a client area, -3 a contents dialog, -4 another
// special window, -6 it has child windows).
int SplitHostStatus(int c)
{
    if (!WindowIsOpen(c) || !gWindowTable.client[c])
        return -1;
    int t = WindowRecordTypeOf(gWindowTable.frame[c]);
    if (t == kRecordContentsDialog)
        return -3;
    if (t != 0)
        return -4;
    HWND cc = gWindowTable.client[c];
    for (int i = 1; i <= kLastWindow; ++i)
        if (gWindowTable.frame[i] && GetParent(gWindowTable.frame[i]) == cc)
            return -6;
    return 0;
}

// Two free window numbers for the panes, into S; false when there are not
// two.
bool SplitPaneNumbers(SplitRecord* s)
{
    int n0 = WindowSlotFree();
    int n1 = -1;
    if (n0 > 0) {
        gWindowTable.frame[n0] = reinterpret_cast<HWND>(1); // reserved while the second is found
        n1 = WindowSlotFree();
        gWindowTable.frame[n0] = nullptr;
    }
    if (n0 < 0 || n1 < 0)
        return false;
    s->pane[0] = n0;
    s->pane[1] = n1;
    return true;
}

// Checks and probes the contents dialog of each pane that asks for one
// (a failure becomes its DIALOGS entry); FITS[p] := it can be attached. A
// fixed-size dialog fixes its pane, and the sized pane's SIZE becomes the
// dialog's extent along the split.
void SplitDialogsProbe(SplitRecord* s, int dialogs[2], const RECT& client, int& size, bool fits[2])
{
    const bool h = Horizontal(s);
    for (int p = 0; p < 2; ++p) {
        if (!dialogs[p])
            continue;
        int status = 0;
        int flags = s->paneFlags[p];
        SIZE ext{};
        if (WindowDialogs().indexById(dialogs[p]) >= 0)
            status = -5;
        else if (WindowDialogs().tableCount() >= 100)
            status = -3;
        else
            status = ContentsDialogProbe(dialogs[p], gWindowTable.frame[0], client.right, client.bottom, flags, &ext);
        if (status < 0) {
            dialogs[p] = status;
            continue;
        }
        fits[p] = true;
        if (flags & kWindowFixedSize) {
            if (p == 0) {
                s->paneFlags[0] |= kWindowFixedSize;
                s->options &= ~(kSplitProportional | kSplitSizeIsPane1);
            } else if (!(s->paneFlags[0] & kWindowFixedSize)) {
                s->paneFlags[1] |= kWindowFixedSize;
                s->options &= ~kSplitProportional;
            }
        }
        int sized = (s->options & kSplitSizeIsPane1) ? 1 : 0;
        if (p == sized && (flags & kWindowFixedSize))
            size = h ? ext.cy : ext.cx;
    }
}

// What the panes are made of, as SplitWindowCreate received it.
struct SplitPaneRequest {
    int size;                  // client extent of the sized pane; below 0: even halves
    const int* menus;          // [2], may be nullptr
    const int (*toolbars)[4];  // [2][4], may be nullptr
    int* dialogs;              // [2]
    const int* colours;        // [2], may be nullptr
    std::string titles[2];
};

// Creates the two pane windows (with menu rows, tool bars, client areas and
// contents dialogs) and the split bar; false when one of them fails.
bool SplitPanesCreate(SplitRecord* s, SplitPaneRequest& q, const RECT& client, const bool fits[2])
{
    HWND cc = gWindowTable.client[s->window];
    const bool h = Horizontal(s);
    const int extent = Along(client, h);
    const int bar = GetSystemMetrics(SM_CXFRAME);
    const bool even = q.size < 0;
    const int sizedPane = (s->options & kSplitSizeIsPane1) ? 1 : 0;
    for (int p = 0; p < 2; ++p) {
        int n = s->pane[p];
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION;
        if (!even)
            style |= WS_VISIBLE;
        if (s->paneFlags[p] & kWindowNoCaption)
            style &= ~WS_CAPTION;
        if (gWindowSystem.semiModelessCount > 0)
            style |= WS_DISABLED;
        // Outer extent of the sized pane from its client extent.
        int e0, s1;
        if (even) {
            e0 = (extent - bar) / 2;
            s1 = (extent + bar) / 2;
        } else {
            RECT adj{0, 0, q.size, q.size};
            AdjustWindowRectEx(&adj, style, FALSE, 0);
            int outerSize = Along(adj, h);
            if (sizedPane == 0) {
                e0 = outerSize;
                s1 = e0 + bar;
            } else {
                s1 = extent - outerSize;
                e0 = s1 - bar;
            }
        }
        RECT r = client;
        if (p == 0)
            (h ? r.bottom : r.right) = e0;
        else
            (h ? r.top : r.left) = s1;
        WindowBackgroundSet(n, q.colours ? q.colours[p] : -1);
        HWND f = CreateWindowExA(0, "QUILCHILD", q.titles[p].c_str(), style, r.left, r.top,
                                 std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top), cc, nullptr,
                                 gWindowSystem.instance, nullptr);
        if (!f)
            return false;
        gWindowTable.frame[n] = f;
        gWindowTable.savedPlacement[n] = {kNoPlacement, 0, 0, 0};
        gWindowTable.activationOwner[n] = gWindowSystem.lastActiveFrame;
        HMENU m = (q.menus && q.menus[p]) ? MenuLoad(q.menus[p]) : nullptr;
        WindowMenuRowLoad(n, m, q.menus ? q.menus[p] : 0);
        PaneBars(n, q.toolbars ? q.toolbars[p] : nullptr, s->paneFlags[p]);
        if (!ClientWindowCreate(n))
            return false;
        if (fits[p])
            q.dialogs[p] = ContentsDialogAttach(n, q.dialogs[p], s->paneFlags[p] | (even ? kWindowHidden : 0));
    }
    s->bar = CreateWindowExA(WS_EX_TOPMOST, h ? "QUILSPLITH" : "QUILSPLITV", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 1, 1, cc, nullptr, gWindowSystem.instance,
                             nullptr);
    return s->bar != nullptr;
}

// The first layout of a new split: the bar between the panes, even halves
// shown at once, each pane's client (and contents dialog) painted and
// sized, the first pane's menu on the outer frame and the focus in it.
void SplitFirstLayout(SplitRecord* s, const RECT& client, bool even)
{
    HWND cf = gWindowTable.frame[s->window];
    HWND cc = gWindowTable.client[s->window];
    const int n0 = s->pane[0], n1 = s->pane[1];
    const bool h = Horizontal(s);
    const int bar = GetSystemMetrics(SM_CXFRAME);
    HWND outer = cf;
    while ((GetWindowLongA(outer, GWL_STYLE) & WS_CHILD) && GetParent(GetParent(outer)))
        outer = GetParent(GetParent(outer));

    SetWindowLongPtrA(s->bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
    // Put the bar between the panes.
    RECT p0 = RectIn(gWindowTable.frame[n0], cc);
    RECT b = client;
    if (h) {
        b.top = p0.bottom;
        b.bottom = b.top + bar;
    } else {
        b.left = p0.right;
        b.right = b.left + bar;
    }
    Place(s->bar, b, 0);
    BringWindowToTop(s->bar);
    if (even) {
        s->paneExtent[0] = s->paneExtent[1] = 1;
        int saved = s->options;
        s->options |= kSplitProportional;
        SplitLayout(s);
        s->options = saved;
        ShowWindow(gWindowTable.frame[n0], SW_SHOWNA);
        ShowWindow(gWindowTable.frame[n1], SW_SHOWNA);
    } else {
        s->paneExtent[0] = ClientExtent(n0, h);
        s->paneExtent[1] = ClientExtent(n1, h);
    }
    for (int n : {n0, n1}) {
        RedrawWindow(gWindowTable.client[n], nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
        ValidateRect(gWindowTable.client[n], nullptr);
        if (auto* cd = WindowRecordAs<ContentsDialogRecord>(gWindowTable.frame[n], kRecordContentsDialog)) {
            RECT cr;
            GetClientRect(gWindowTable.client[n], &cr);
            SetWindowPos(cd->dialog, nullptr, 0, 0, cr.right, cr.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (gWindowTable.menu[n0] && GetMenu(outer) != gWindowTable.menu[n0])
        SetMenu(outer, gWindowTable.menu[n0]);
    if (GetFocus() == cc) {
        SetFocus(gWindowTable.client[n0]);
        WindowFocusActivate(gWindowTable.frame[n0]);
        if (WindowRecordTypeOf(gWindowTable.frame[n0]) == kRecordContentsDialog)
            WindowDialogs().fieldSelectAll(GetFocus());
    }
    s->focusedPane = gWindowTable.frame[n0];
}

// Pane 0 ends at the bar and pane 1 starts after it; the pane extents are
// taken from the new pane client sizes.
void PanesFollowBar(SplitRecord* s)
{
    if (!WindowIsOpen(s->pane[0]) || !WindowIsOpen(s->pane[1]))
        return;
    const bool h = Horizontal(s);
    HWND parent = GetParent(s->bar);
    RECT R;
    GetClientRect(parent, &R);
    RECT b = RectIn(s->bar, parent);
    RECT p0 = R, p1 = R;
    if (h) {
        p0.bottom = b.top;
        p1.top = b.bottom;
    } else {
        p0.right = b.left;
        p1.left = b.right;
    }
    Place(gWindowTable.frame[s->pane[0]], p0, SWP_NOMOVE);
    Place(gWindowTable.frame[s->pane[1]], p1, 0);
    s->paneExtent[0] = ClientExtent(s->pane[0], h);
    s->paneExtent[1] = ClientExtent(s->pane[1], h);
}

// The bar follows the mouse itself rather than through the platform's move
// loop: that loop moves the window only once, after the loop has ended, when
// the system does not show window contents while dragging, and the panes
// would then not follow. The mouse is captured from the button press on;
// every move puts the bar (kept on its axis and inside the divided window's
// client area) under the mouse, and the panes follow it (WM_MOVE).
void BarDragStart(HWND bar, SplitRecord* s, LPARAM screenPoint)
{
    const bool h = Horizontal(s);
    HWND parent = GetParent(bar);
    POINT p{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    ScreenToClient(parent, &p);
    RECT b = RectIn(bar, parent);
    s->dragAnchor = h ? b.left : b.top;
    s->dragGrip = h ? p.y - b.top : p.x - b.left;
    SetCapture(bar);
}

void BarDragTrack(HWND bar, SplitRecord* s, LPARAM clientPoint)
{
    const bool h = Horizontal(s);
    HWND parent = GetParent(bar);
    POINT p{static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
    MapWindowPoints(bar, parent, &p, 1);
    RECT R;
    GetClientRect(parent, &R);
    const int thickness = GetSystemMetrics(SM_CXFRAME);
    const int room = std::max<int>(0, Along(R, h) - thickness);
    const int start = std::clamp<int>((h ? p.y : p.x) - s->dragGrip, 0, room);
    RECT b = RectIn(bar, parent);
    if (start == (h ? b.top : b.left))
        return;
    SetWindowPos(bar, nullptr, h ? s->dragAnchor : start, h ? start : s->dragAnchor, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void SplitWindowCreate(int panes[2], int options, const int paneFlags[2], int size, const int menus[2],
                       const int toolbars[2][4], int dialogs[2], const int colours[2], std::string_view title0,
                       std::string_view title1)
{
    int c = gWindowSystem.currentWindow;
    auto fail = [&](int status) { panes[0] = panes[1] = status; };
    if (int status = SplitHostStatus(c); status != 0) {
        fail(status);
        return;
    }
    HWND cf = gWindowTable.frame[c];
    HWND cc = gWindowTable.client[c];
    auto* s = static_cast<SplitRecord*>(WindowRecordAttach(cf, kRecordSplit, sizeof(SplitRecord)));
    if (!s) {
        fail(-1);
        return;
    }
    s->window = c;
    s->dragAnchor = kNoPlacement;
    if (!SplitPaneNumbers(s)) {
        WindowRecordDetach(cf);
        WindowRecordFree(s);
        fail(-1);
        return;
    }
    s->options = options;
    s->paneFlags[0] = paneFlags[0];
    s->paneFlags[1] = paneFlags[1];
    RECT o;
    GetWindowRect(cf, &o);
    s->outerWidth = o.right - o.left;
    s->outerHeight = o.bottom - o.top;
    RECT client;
    GetClientRect(cc, &client);

    bool fits[2] = {false, false};
    SplitDialogsProbe(s, dialogs, client, size, fits);
    SplitPaneRequest request{size, menus, toolbars, dialogs, colours,
                             {std::string(TrimRight(title0)), std::string(TrimRight(title1))}};
    if (!SplitPanesCreate(s, request, client, fits)) {
        if (s->bar)
            DestroyWindow(s->bar);
        PaneDestroy(s->pane[0]);
        PaneDestroy(s->pane[1]);
        WindowRecordDetach(cf);
        WindowRecordFree(s);
        fail(-1);
        return;
    }
    SplitFirstLayout(s, client, size < 0);
    panes[0] = s->pane[0];
    panes[1] = s->pane[1];
}

void SplitUndo(HWND frame, int& currentDialog)
{
    auto* s = WindowRecordAs<SplitRecord>(frame, kRecordSplit);
    if (!s)
        return;
    WindowRecordDetach(frame);
    int w = s->window;
    if (w >= 0 && w <= kLastWindow && !(GetWindowLongA(frame, GWL_STYLE) & WS_CHILD))
        SetMenu(frame, gWindowTable.menu[w]);
    WindowCloseTree(s->pane[0], currentDialog);
    WindowCloseTree(s->pane[1], currentDialog);
    if (s->bar && IsWindow(s->bar))
        DestroyWindow(s->bar);
    WindowRecordFree(s);
}

LRESULT CALLBACK SplitterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = reinterpret_cast<SplitRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!s || s->type != kRecordSplit)
        return DefWindowProcA(window, message, wParam, lParam);
    bool h = Horizontal(s);
    bool fixed = SplitPaneFixed(s, 0, Axis(s)) || SplitPaneFixed(s, 1, Axis(s));
    HWND parent = GetParent(window);
    switch (message) {
    case WM_NCHITTEST:
        return fixed ? HTBORDER : HTCAPTION;
    case WM_SETCURSOR:
        if (!fixed) {
            SetCursor(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)));
            return 1;
        }
        return 0;
    case WM_ENTERSIZEMOVE: {
        RECT b = RectIn(window, parent);
        s->dragAnchor = h ? b.left : b.top;
        return 0;
    }
    case WM_MOVING:
        if (s->dragAnchor != kNoPlacement) {
            auto* r = reinterpret_cast<RECT*>(lParam);
            POINT origin{0, 0};
            ClientToScreen(parent, &origin);
            if (h) {
                int w = r->right - r->left;
                r->left = origin.x + s->dragAnchor;
                r->right = r->left + w;
            } else {
                int ht = r->bottom - r->top;
                r->top = origin.y + s->dragAnchor;
                r->bottom = r->top + ht;
            }
        }
        return 1;
    case WM_MOVE:
        if (s->dragAnchor != kNoPlacement)
            PanesFollowBar(s);
        return 0;
    case WM_EXITSIZEMOVE:
        s->dragAnchor = kNoPlacement;
        return 0;
    case WM_SETFOCUS:
        if (s->focusedPane)
            SetFocus(s->focusedPane);
        return 0;
    case WM_DESTROY:
        return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCRBUTTONDOWN: {
        int button = message == WM_NCLBUTTONDOWN ? 1 : message == WM_NCMBUTTONDOWN ? 2 : 3;
        if (WindowIsOpen(s->window))
            EventStore(kEventFrameButton, button, wParam, lParam, gWindowTable.frame[s->window]);
        if (message == WM_NCLBUTTONDOWN && wParam == HTCAPTION && !fixed) {
            BarDragStart(window, s, lParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_MOUSEMOVE:
        if (GetCapture() == window && s->dragAnchor != kNoPlacement)
            BarDragTrack(window, s, lParam);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window)
            ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        // The end of a drag, however the capture was lost.
        s->dragAnchor = kNoPlacement;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

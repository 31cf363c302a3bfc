// Services on the library's windows: cursors, focus, device contexts,
// geometry, placement, caption and icon, plain window text and system queries.
#include "core/window_services.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/child_windows.h"
#include "core/dialog_services.h"
#include "core/fixed_text.h"
#include "core/frame_window.h"
#include "core/graphics_services.h"
#include "core/library_state.h"
#include "core/special_windows.h"
#include "core/status_bar.h"
#include "core/window_table.h"

HCURSOR gGlobalCursor = nullptr;
int gGlobalCursorShape = 0;
WindowTextState gWindowTextState;

namespace {

int Current()
{
    int n = gWindowSystem.currentWindow;
    return (n >= 0 && n <= kLastWindow) ? n : 0;
}

HCURSOR CursorForShape(int shape)
{
    static const LPCSTR ids[] = {IDC_ARROW, IDC_WAIT, IDC_APPSTARTING, IDC_CROSS, IDC_IBEAM, IDC_NO,
                                 IDC_SIZEALL, IDC_SIZENS, IDC_SIZEWE, IDC_SIZENESW, IDC_SIZENWSE, IDC_UPARROW};
    if (shape >= 0 && shape <= 11)
        return LoadCursorA(nullptr, ids[shape]);
    return LoadCursorA(gWindowSystem.instance, MAKEINTRESOURCEA(shape));
}

bool MouseOver(HWND w)
{
    POINT p;
    return w && GetCursorPos(&p) && WindowFromPoint(p) == w;
}

// A window-colour index kept inside the table.
COLORREF TableColour(int index, HDC dc)
{
    COLORREF c = static_cast<COLORREF>(gWindowColourTable.rgb[std::clamp(index, 0, 17)]);
    if (gLibraryState.colourCount == 256 && dc)
        c = GetNearestColor(dc, c);
    return c;
}

COLORREF FillColour(int colour, HDC dc)
{
    if (colour == -1)
        return TableColour(gWindowTextState.background, dc);
    COLORREF c = static_cast<COLORREF>(colour & 0xFFFFFF);
    if (gLibraryState.colourCount == 256 && dc)
        c = GetNearestColor(dc, c);
    return c;
}

// The normal placement of W in screen coordinates (top-level) or its
// parent's client coordinates (child).
RECT NormalRect(HWND w)
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(w, &wp);
    RECT r = wp.rcNormalPosition;
    if (!IsInsideChild(w)) {
        POINT off = ProbeOffset();
        OffsetRect(&r, off.x, off.y);
    }
    return r;
}

RECT FrameRect(HWND w)
{
    if (IsIconic(w))
        return NormalRect(w);
    RECT r;
    GetWindowRect(w, &r);
    if (IsInsideChild(w))
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int ShowStateOf(HWND w)
{
    if (!IsWindowVisible(w))
        return 3;
    if (IsIconic(w))
        return 0;
    if (IsZoomed(w))
        return 2;
    return 1;
}

} // namespace

// ---- cursors ------------------------------------------------------------------

void CursorShapeSet(int shape, int scope, int kind, int n)
{
    HCURSOR cursor = CursorForShape(shape);
    if (scope == 1) {
        if (kind != 3) {
            if (n < 0 || n > kLastWindow)
                return;
            gWindowTable.cursor[n] = cursor;
            gWindowTable.cursorShape[n] = shape;
            if (MouseOver(gWindowTable.client[n]) && cursor)
                SetCursor(cursor);
        } else if (n != 0) {
            WindowDialogs().targetFieldCursorSet(cursor, shape);
            if (WindowGraphicsTargetKind() == kTargetDialogField && MouseOver(WindowSurfaceWindow()) && cursor)
                SetCursor(cursor);
        }
        return;
    }
    if (scope != 2) {
        for (int i = 0; i <= kLastWindow; ++i) {
            gWindowTable.cursor[i] = nullptr;
            gWindowTable.cursorShape[i] = 0;
        }
        WindowDialogs().fieldCursorsClear();
    }
    gGlobalCursor = cursor;
    gGlobalCursorShape = shape;
    if (cursor)
        SetCursor(cursor);
}

void CursorShapeGet(int& out, int scope, int n)
{
    out = gGlobalCursorShape;
    if (scope == 1 && n >= 0 && n <= kLastWindow && gWindowTable.cursor[n]) {
        out = gWindowTable.cursorShape[n];
    } else if (scope == 3 && n != 0) {
        int shape = 0;
        if (WindowDialogs().targetFieldCursor(shape))
            out = shape;
    }
}

void CursorPositionSet(int x, int y, int kind)
{
    HWND w = kind == 1 ? gWindowTable.client[Current()] : WindowSurfaceWindow();
    if (!w)
        return;
    POINT p{x, y};
    ClientToScreen(w, &p);
    SetCursorPos(p.x, p.y);
}

// ---- focus and drawing context ---------------------------------------------------

void WindowFocusActivate(HWND frame)
{
    if (frame && WindowTableIndex(frame) >= 0)
        SetFocus(frame);
    for (int i = 1; i <= kLastWindow; ++i) {
        HWND f = gWindowTable.frame[i];
        if (!f)
            continue;
        bool active = frame && (f == frame || IsChild(f, frame));
        SendMessageA(f, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    }
    int count = WindowDialogs().tableCount();
    for (int slot = 1; slot <= count; ++slot) {
        HWND d = WindowDialogs().tableWindow(slot);
        if (d)
            SendMessageA(d, WM_NCACTIVATE, (frame && d == frame) ? TRUE : FALSE, 0);
    }
}

void DrawingDCSelectWindow(int& width, int& height, int& n)
{
    if (!WindowIsOpen(n) || !gWindowTable.client[n]) {
        n = -1;
        return;
    }
    if (gWindowSystem.windowDC && WindowSurfaceDC() == gWindowSystem.windowDC)
        WindowSurfaceRelease();
    if (gWindowSystem.windowDC)
        ReleaseDC(gWindowSystem.windowDCOwner, gWindowSystem.windowDC);
    HWND client = gWindowTable.client[n];
    gWindowSystem.currentWindow = n;
    gWindowSystem.windowDC = GetDC(client);
    gWindowSystem.windowDCOwner = client;
    if (WindowGraphicsTargetKind() == 0 || WindowGraphicsTargetKind() == kTargetWindow)
        WindowSurfaceSelect(gWindowSystem.windowDC, client);
    RECT r{};
    GetClientRect(client, &r);
    width = r.right;
    height = r.bottom;
    gLibraryState.currentWindowWidth = width;
    gLibraryState.currentWindowHeight = height;
}

void DrawingDCRelease()
{
    HDC dc = WindowSurfaceDC();
    HWND w = WindowSurfaceWindow();
    bool metafile = WindowSurfaceMetafile() != nullptr;
    WindowSurfaceRelease();
    if (!dc)
        return;
    if (WindowGraphicsTargetKind() == kTargetDialogField && w) {
        ReleaseDC(w, dc);
    } else if (GetObjectType(dc) == OBJ_MEMDC) {
        DeleteDC(dc);
    } else if (metafile) {
        WindowSurfaceMetafileForget();
    }
}

// ---- geometry ---------------------------------------------------------------------

POINT ProbeOffset()
{
    POINT off{0, 0};
    HWND probe = CreateWindowExA(0, "STATIC", " ", 11, 0, 0, 10, 10, nullptr, nullptr, gWindowSystem.instance,
                                 nullptr);
    if (!probe)
        return off;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(probe, &wp);
    RECT r;
    GetWindowRect(probe, &r);
    off.x = r.left - wp.rcNormalPosition.left;
    off.y = r.top - wp.rcNormalPosition.top;
    DestroyWindow(probe);
    return off;
}

void WindowRectQuery(int mode, int& a, int& b, int& isChild, int& parent)
{
    HWND w = mode <= 1 ? gWindowTable.frame[Current()] : WindowDialogs().currentWindow();
    isChild = 0;
    parent = 0;
    if (!w) {
        a = b = 0;
        return;
    }
    RECT r = FrameRect(w);
    if (IsInsideChild(w)) {
        isChild = 1;
        parent = WindowTableIndex(GetParent(w));
    }
    if (mode == 0 || mode == 2) {
        a = r.left;
        b = r.top;
    } else {
        a = r.right - r.left;
        b = r.bottom - r.top;
    }
}

void WindowClientOrigin(int& x, int& y)
{
    POINT p{0, 0};
    ClientToScreen(gWindowTable.client[Current()], &p);
    x = p.x;
    y = p.y;
}

void WindowShowState(int& out)
{
    HWND f = gWindowTable.frame[Current()];
    out = f ? ShowStateOf(f) : 3;
}

void WindowClientArea(int& width, int& height, int& x, int& y, int& isChild, int& parent)
{
    int n = Current();
    HWND f = gWindowTable.frame[n];
    HWND c = gWindowTable.client[n];
    isChild = 0;
    parent = 0;
    if (!f || !c) {
        width = height = x = y = 0;
        return;
    }
    if (IsZoomed(f)) {
        RECT normal = NormalRect(f);
        RECT fr, cr;
        GetWindowRect(f, &fr);
        GetClientRect(c, &cr);
        width = (normal.right - normal.left) - ((fr.right - fr.left) - cr.right);
        height = (normal.bottom - normal.top) - ((fr.bottom - fr.top) - cr.bottom);
        x = normal.left;
        y = normal.top;
        if (IsInsideChild(f)) {
            isChild = 1;
            parent = WindowTableIndex(GetParent(f));
        }
        return;
    }
    RECT cr;
    GetClientRect(c, &cr);
    width = cr.right;
    height = cr.bottom;
    WindowRectQuery(0, x, y, isChild, parent);
}

void WindowParentNumber(int& out)
{
    HWND f = gWindowTable.frame[Current()];
    out = IsInsideChild(f) ? WindowTableIndex(GetParent(f)) : -1;
}

void WindowNumberValid(int n, int& out)
{
    out = WindowIsOpen(n) ? 1 : 0;
}

void WindowRecordType(int& out)
{
    out = WindowRecordTypeOf(gWindowTable.frame[Current()]);
}

void TargetClientSize(int kind, int n, int& width, int& height)
{
    HWND w = nullptr;
    if (kind == 1 && n >= 0 && n <= kLastWindow)
        w = gWindowTable.client[n];
    else if (kind == 3) {
        HWND d = WindowDialogs().currentWindow();
        w = (d && n != 0) ? GetDlgItem(d, n) : d;
    }
    RECT r{};
    if (w)
        GetClientRect(w, &r);
    width = r.right;
    height = r.bottom;
}

// ---- changing the current window ----------------------------------------------------

void WindowPlacementSet(int x, int y, int& width, int& height, int state)
{
    int n = Current();
    HWND f = gWindowTable.frame[n];
    HWND c = gWindowTable.client[n];
    if (!f || !c)
        return;
    bool child = IsInsideChild(f);
    bool minimised = IsIconic(f), maximised = IsZoomed(f);
    if (state == -1)
        state = minimised ? 0 : maximised ? 2 : IsWindowVisible(f) ? 1 : 3;
    POINT off{0, 0};
    if (!child && (minimised || maximised || state == 0 || state == 2))
        off = ProbeOffset();

    RECT cur;
    int clientW, clientH;
    RECT cr;
    GetClientRect(c, &cr);
    if (minimised || maximised) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(f, &wp);
        cur = wp.rcNormalPosition;
        if (!child)
            OffsetRect(&cur, off.x, off.y);
    } else {
        cur = FrameRect(f);
    }
    // Overhead of frame, menu and bars: outer size less client size.
    RECT fr;
    GetWindowRect(f, &fr);
    int overheadW = (fr.right - fr.left) - cr.right;
    int overheadH = (fr.bottom - fr.top) - cr.bottom;
    if (maximised) {
        clientW = (cur.right - cur.left) - overheadW;
        clientH = (cur.bottom - cur.top) - overheadH;
    } else {
        clientW = cr.right;
        clientH = cr.bottom;
    }

    int newX = x == kCentred || x == -999999 ? cur.left : x;
    int newY = y == kCentred || y == -999999 ? cur.top : y;
    int newW = width == -999999 ? clientW : width;
    int newH = height == -999999 ? clientH : height;
    if (auto* cd = WindowRecordAs<ContentsDialogRecord>(f, kRecordContentsDialog)) {
        if (!WindowDialogs().isResizable(cd->dialog)) {
            newW = clientW;
            newH = clientH;
        } else {
            cd->outerWidth = std::min<int32_t>(cd->outerWidth, newW);
            cd->outerHeight = std::min<int32_t>(cd->outerHeight, newH);
        }
    }

    // Outer size: client adjusted for the client's and the frame's styles
    // and menu, plus toolbars and status bar.
    RECT o{0, 0, newW, newH};
    AdjustWindowRectEx(&o, static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(c, GWL_EXSTYLE)));
    AdjustWindowRectEx(&o, static_cast<DWORD>(GetWindowLongA(f, GWL_STYLE)), GetMenu(f) != nullptr,
                       static_cast<DWORD>(GetWindowLongA(f, GWL_EXSTYLE)));
    int outerW = o.right - o.left, outerH = o.bottom - o.top;
    auto& tb = gWindowTable.toolbars[n];
    for (int s = 0; s < 4; ++s) {
        if (!tb[s])
            continue;
        RECT t;
        GetWindowRect(tb[s], &t);
        if (s == kToolbarLeft || s == kToolbarRight)
            outerW += t.right - t.left;
        else
            outerH += t.bottom - t.top;
    }
    if (HWND sb = gWindowTable.statusBar[n]) {
        RECT t;
        GetWindowRect(sb, &t);
        outerH += t.bottom - t.top;
    }

    auto* split = WindowRecordAs<SplitRecord>(f, kRecordSplit);
    if (split)
        split->placing = 1;

    // A pane of a split window: only the bar moves, the panes follow.
    HWND parentFrame = child ? GetParent(GetParent(f)) : nullptr;
    auto* outer = parentFrame ? WindowRecordAs<SplitRecord>(parentFrame, kRecordSplit) : nullptr;
    if (outer && (outer->pane[0] == n || outer->pane[1] == n) && outer->bar) {
        bool horizontal = outer->options & kSplitHorizontal;
        RECT b = FrameRect(outer->bar);
        RECT pr;
        GetClientRect(GetParent(f), &pr);
        int saved = outer->dragAnchor;
        outer->dragAnchor = 0;
        if (outer->pane[0] == n) {
            if (horizontal)
                SetWindowPos(outer->bar, nullptr, b.left, outerH, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            else
                SetWindowPos(outer->bar, nullptr, outerW, b.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            if (horizontal) {
                int shift = (pr.bottom - outerH) - b.bottom;
                SetWindowPos(outer->bar, nullptr, b.left, b.top + shift, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            } else {
                int shift = (pr.right - outerW) - b.right;
                SetWindowPos(outer->bar, nullptr, b.left + shift, b.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        (void)saved;
        outer->dragAnchor = kNoPlacement;
    } else if (minimised || maximised || state == 0 || state == 2) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(f, &wp);
        RECT np{newX, newY, newX + outerW, newY + outerH};
        if (!child)
            OffsetRect(&np, -off.x, -off.y);
        else if (maximised)
            gWindowTable.savedPlacement[n] = {np.left, np.top, np.right, np.bottom};
        wp.rcNormalPosition = np;
        wp.showCmd = state == 0 ? SW_SHOWMINNOACTIVE : state == 1 ? SW_SHOWNOACTIVATE
                     : state == 2 ? SW_SHOWMAXIMIZED : SW_HIDE;
        wp.flags = 0;
        SetWindowPlacement(f, &wp);
    } else {
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (state == 3) {
            flags |= SWP_HIDEWINDOW;
        } else {
            flags |= SWP_SHOWWINDOW;
            if (auto* cd = WindowRecordAs<ContentsDialogRecord>(f, kRecordContentsDialog))
                ShowWindow(cd->dialog, SW_SHOWNA);
        }
        SetWindowPos(f, nullptr, newX, newY, outerW, outerH, flags);
    }
    if (split)
        split->placing = 0;
    GetClientRect(c, &cr);
    width = cr.right;
    height = cr.bottom;
}

void WindowTitleIconSet(int& icon, int mode, const char* text)
{
    HWND f = gWindowTable.frame[Current()];
    if (!f)
        return;
    if (mode == 1 && text)
        SetWindowTextA(f, text);
    if (icon == -1)
        return;
    LPCSTR name = icon == 0 ? "icon1" : MAKEINTRESOURCEA(icon);
    auto big = static_cast<HICON>(LoadImageA(gWindowSystem.instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (!big) {
        icon = -2;
        return;
    }
    auto oldBig = reinterpret_cast<HICON>(SendMessageA(f, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)));
    auto oldSmall = reinterpret_cast<HICON>(SendMessageA(f, WM_GETICON, ICON_SMALL, 0));
    if (oldBig && oldBig != big)
        DestroyIcon(oldBig);
    if (oldSmall && oldSmall != big && oldSmall != oldBig) {
        SendMessageA(f, WM_SETICON, ICON_SMALL, 0);
        DestroyIcon(oldSmall);
    }
}

void WindowToFront()
{
    int n = Current();
    HWND f = gWindowTable.frame[n];
    if (!f)
        return;
    std::vector<HWND> chain{f};
    for (HWND w = f; IsInsideChild(w);) {
        HWND e = GetParent(GetParent(w));
        if (!e)
            break;
        chain.push_back(e);
        w = e;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    EnableWindow(f, TRUE);
    WindowRecord* r = WindowRecordOf(f);
    HWND focus = f;
    if (r) {
        if (r->type == kRecordContentsDialog)
            focus = reinterpret_cast<ContentsDialogRecord*>(r)->dialog;
        else if (r->type == kRecordBitmapViewer)
            focus = reinterpret_cast<BitmapViewerRecordHead*>(r)->viewer;
        else if (r->type == kRecordEditor || r->type == kRecordGridEditor)
            focus = SpecialRecordFocusControl(r);
    }
    if (focus)
        SetFocus(focus);
    WindowFocusActivate(f);
}

void WindowTypeRevert(int& dialogId, int flags, int& status)
{
    int n = Current();
    HWND f = gWindowTable.frame[n];
    if (!f) {
        status = 1;
        return;
    }
    WindowRecord* r = WindowRecordOf(f);
    if (!r || r->type < 1 || r->type > 5) {
        status = 2;
        return;
    }
    status = 0;
    switch (r->type) {
    case kRecordEditor:
    case kRecordGridEditor:
    case kRecordBitmapViewer: {
        SetWindowLongPtrA(f, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameWindowProc));
        WindowRecordDetach(f);
        // The owner of the record releases its inner windows, menus, toolbars,
        // fonts, files and the record itself.
        SpecialRecordRelease(f, r);
        RECT cr;
        GetClientRect(f, &cr);
        SendMessageA(f, WM_SIZE, IsZoomed(f) ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
        if (gWindowTable.client[n])
            ShowWindow(gWindowTable.client[n], SW_SHOW);
        if (gWindowTable.statusBar[n]) {
            int saved = gWindowSystem.currentWindow;
            gWindowSystem.currentWindow = n;
            StatusBarPartDefine(1, -1, 1);
            StatusBarPartsApply(1);
            StatusBarPartText(1, "");
            gWindowSystem.currentWindow = saved;
        }
        break;
    }
    case kRecordContentsDialog: {
        auto* cd = reinterpret_cast<ContentsDialogRecord*>(r);
        WindowRecordDetach(f);
        int id = WindowDialogs().recordIdentifier(cd->dialog);
        if (id != 0 && dialogId == id)
            dialogId = 0;
        int index = id ? WindowDialogs().indexById(id) : -1;
        if (index > 0) {
            int hideIndex = index;
            WindowDialogs().hide(hideIndex);
            WindowDialogs().destroyById(0, index);
        } else if (IsWindow(cd->dialog)) {
            DestroyWindow(cd->dialog);
        }
        LONG style = GetWindowLongA(f, GWL_STYLE);
        LONG next = style;
        if (!(flags & 64))
            next |= WS_THICKFRAME;
        if (flags & 4)
            next |= WS_MAXIMIZEBOX;
        if (next != style) {
            SetWindowLongA(f, GWL_STYLE, next);
            SetWindowPos(f, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
            InvalidateRect(f, nullptr, TRUE);
            UpdateWindow(f);
        }
        WindowRecordFree(cd);
        break;
    }
    case kRecordSplit: {
        int pane = reinterpret_cast<SplitRecord*>(r)->pane[0];
        ChildWindowClose(pane, WindowCurrentDialog());
        break;
    }
    }
}

// ---- information ------------------------------------------------------------------

int YYWindowInfo(int code)
{
    int n = gLibraryState.currentWindow;
    if (n < 0 || n > kLastWindow || !gWindowTable.frame[n])
        return 0;
    int saved = gWindowSystem.currentWindow;
    gWindowSystem.currentWindow = n;
    int a = 0, b = 0, isChild = 0, parent = 0, w = 0, h = 0;
    int result = 0;
    auto normalised = [&](int px, int py, bool wantX) {
        if (!isChild)
            return wantX ? px : py;
        int before = gLibraryState.currentWindow;
        WindowTargetSelect(parent, 0);
        int nx = 0, ny = 0;
        WindowPixelToNormal(px, py, nx, ny);
        WindowTargetSelect(before, 0);
        return wantX ? nx : ny;
    };
    switch (code) {
    case 1:
    case 2: {
        RECT r{};
        GetClientRect(gWindowTable.client[n], &r);
        result = code == 1 ? r.right : r.bottom;
        break;
    }
    case 3:
        result = gLibraryState.windowFlags[n];
        break;
    case 4:
        result = n;
        break;
    case 5:
    case 6:
        WindowRectQuery(0, a, b, isChild, parent);
        result = normalised(a, b, code == 5);
        break;
    case 7:
    case 8:
        WindowClientOrigin(a, b);
        result = code == 7 ? a : b;
        break;
    case 9:
        WindowShowState(result);
        break;
    case 10:
        WindowRecordType(result);
        break;
    case 11:
    case 12:
        WindowClientArea(w, h, a, b, isChild, parent);
        result = code == 11 ? w : h;
        break;
    case 13:
    case 14:
        WindowClientArea(w, h, a, b, isChild, parent);
        result = normalised(a, b, code == 13);
        break;
    default:
        result = 0;
        break;
    }
    gWindowSystem.currentWindow = saved;
    return result;
}

// ---- plain window text -------------------------------------------------------------

void WindowTextFont(int family, int bold, int italic, int& width, int& height)
{
    auto& t = gWindowTextState;
    if (t.font && !t.stockFont)
        DeleteObject(t.font);
    t.font = nullptr;
    static const char* faces[] = {"Times New Roman", "Arial", "Courier New", "Symbol", "Wingdings"};
    static const DWORD pitch[] = {FF_ROMAN, FF_SWISS, FF_MODERN, FF_DONTCARE, FF_DONTCARE};
    if (family >= 2 && family <= 6) {
        t.font = CreateFontA(height, width, 0, 0, bold ? 700 : 400, italic ? TRUE : FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             VARIABLE_PITCH | pitch[family - 2], faces[family - 2]);
        t.stockFont = false;
    }
    if (!t.font) {
        int stock = family == 1 ? SYSTEM_FIXED_FONT : family == -99 ? DEFAULT_GUI_FONT : SYSTEM_FONT;
        t.font = static_cast<HFONT>(GetStockObject(stock));
        t.stockFont = true;
    }
    t.family = family;
    t.bold = bold;
    t.italic = italic;
    HWND owner = gWindowSystem.windowDC ? gWindowSystem.windowDCOwner : nullptr;
    HDC dc = gWindowSystem.windowDC ? gWindowSystem.windowDC : GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, t.font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    if (!gWindowSystem.windowDC)
        ReleaseDC(owner, dc);
    height = tm.tmHeight;
    width = tm.tmAveCharWidth;
    t.width = width;
    t.height = height;
}

void WindowTextColours(int foreground, int background)
{
    gWindowTextState.foreground = foreground;
    gWindowTextState.background = background;
}

void WindowTextFlag(int underline)
{
    gWindowTextState.underline = underline;
}

void WindowColourSet(int index, int red, int green, int blue)
{
    if (index < 0 || index > 17)
        return;
    int rgb = (red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF);
    gWindowColourTable.rgb[index] = rgb;
    if (gLibraryState.colourCount == 256)
        WindowPaletteSet(gLibraryState.paletteSize + index, rgb, 0);
}

void WindowTextOut(int& x, int& y, std::string_view text)
{
    HDC dc = gWindowSystem.windowDC;
    if (!dc)
        return;
    auto& t = gWindowTextState;
    HGDIOBJ oldFont = SelectObject(dc, t.font ? t.font : GetStockObject(SYSTEM_FONT));
    int oldMode = SetBkMode(dc, OPAQUE);
    UINT oldAlign = SetTextAlign(dc, TA_BASELINE | TA_UPDATECP);
    COLORREF fg = TableColour(t.foreground, dc);
    COLORREF oldText = SetTextColor(dc, fg);
    COLORREF oldBk = SetBkColor(dc, TableColour(t.background, dc));
    POINT oldPos;
    MoveToEx(dc, x, y, &oldPos);
    size_t len = text.find('\0');
    if (len == std::string_view::npos)
        len = text.size();
    TextOutA(dc, 0, 0, text.data(), static_cast<int>(len));
    POINT now;
    GetCurrentPositionEx(dc, &now);
    if (t.underline) {
        HPEN pen = CreatePen(PS_SOLID, 1, fg);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        MoveToEx(dc, x, y + 2, nullptr);
        LineTo(dc, now.x, now.y + 2);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    MoveToEx(dc, oldPos.x, oldPos.y, nullptr);
    x = now.x;
    y = now.y;
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    SelectObject(dc, oldFont);
}

void WindowTextWidth(int& width, std::string_view text)
{
    HDC dc = gWindowSystem.windowDC;
    bool own = !dc;
    if (own)
        dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, gWindowTextState.font ? gWindowTextState.font : GetStockObject(SYSTEM_FONT));
    size_t len = text.find('\0');
    if (len == std::string_view::npos)
        len = text.size();
    SIZE s{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(len), &s);
    SelectObject(dc, old);
    if (own)
        ReleaseDC(nullptr, dc);
    width = s.cx;
}

void WindowFillRect(int left, int top, int right, int bottom, int colour)
{
    HDC dc = gWindowSystem.windowDC;
    if (!dc)
        return;
    HBRUSH brush = CreateSolidBrush(FillColour(colour, dc));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    int oldRop = SetROP2(dc, R2_COPYPEN);
    Rectangle(dc, left, top, right + 2, bottom + 2);
    SetROP2(dc, oldRop);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void WindowScroll(int dx, int dy, int colour)
{
    HWND c = gWindowTable.client[Current()];
    HDC dc = gWindowSystem.windowDC;
    if (!c || !dc)
        return;
    HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
    ScrollWindowEx(c, dx, dy, nullptr, nullptr, uncovered, nullptr, SW_INVALIDATE);
    HBRUSH brush = CreateSolidBrush(FillColour(colour, dc));
    FillRgn(dc, uncovered, brush);
    DeleteObject(brush);
    DeleteObject(uncovered);
    RECT r;
    GetClientRect(c, &r);
    if (dx > 0)
        r.right = dx;
    else if (dx < 0)
        r.left = r.right + dx;
    if (dy > 0)
        r.bottom = dy;
    else if (dy < 0)
        r.top = r.bottom + dy;
    ValidateRect(c, &r);
}

INT_PTR CALLBACK ProbeDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

// ---- system queries -------------------------------------------------------------------

void SystemColourGet(int which, int& out)
{
    out = static_cast<int>(GetSysColor(which == 6 ? COLOR_WINDOWTEXT : COLOR_WINDOW));
}

void MouseButtonCount(int& out)
{
    out = GetSystemMetrics(SM_CMOUSEBUTTONS);
}

void SpecialFolderPath(int csidl, std::span<char> buffer)
{
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    static GetFolderPath fn = [] {
        HMODULE shell = GetModuleHandleA("shell32.dll");
        return shell ? reinterpret_cast<GetFolderPath>(
                           reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")))
                     : nullptr;
    }();
    if (!fn)
        return;
    char path[MAX_PATH + 1] = {};
    if (fn(nullptr, csidl, nullptr, 0, path) >= 0)
        PutText(buffer, path);
    else
        PutText(buffer, "");
}

void SystemDirectoryGet(std::span<char> buffer)
{
    char path[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryA(path, sizeof path);
    PutText(buffer, n < sizeof path ? std::string_view(path, n) : std::string_view());
}

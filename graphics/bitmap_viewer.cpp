// The bitmap viewer window ("KVBBITMAP"), its frame subclass and the modal
// loop of a modal viewer.
#include "graphics/bitmap_viewer.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "core/child_windows.h"
#include "core/dialog_services.h"
#include "core/events.h"
#include "core/frame_window.h"
#include "core/library_state.h"
#include "core/menus.h"
#include "core/special_windows.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "graphics/bitmaps.h"
#include "graphics/gdi_surface.h"

namespace {

constexpr char kViewerClass[] = "KVBBITMAP";
constexpr int kViewerId = 1001;
constexpr int kNoLargest = -999;
constexpr UINT kSystemTimer = 0x0118;
constexpr WPARAM kHeldSystemTimer = 0xFFF6;

BitmapViewerRecord* RecordOfViewer(HWND viewer)
{
    auto* r = reinterpret_cast<BitmapViewerRecord*>(GetWindowLongPtrA(viewer, GWLP_USERDATA));
    return (r && r->type == kRecordBitmapViewer) ? r : nullptr;
}

BitmapViewerRecord* RecordOfFrame(HWND frame)
{
    return WindowRecordAs<BitmapViewerRecord>(frame, kRecordBitmapViewer);
}

int ScrollPos(HWND viewer, int bar)
{
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(viewer, bar, &si);
    return si.nPos;
}

// Sets the position of BAR (clamped by the system to its range less page)
// and answers whether it moved.
bool ScrollTo(HWND viewer, int bar, int pos)
{
    const int before = ScrollPos(viewer, bar);
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, std::max(pos, 0), 0};
    SetScrollInfo(viewer, bar, &si, TRUE);
    return ScrollPos(viewer, bar) != before;
}

void ReportPosition(HWND viewer)
{
    EventStore(kEventViewerPosition, 0, static_cast<WPARAM>(ScrollPos(viewer, SB_HORZ)),
               static_cast<LPARAM>(ScrollPos(viewer, SB_VERT)), GetParent(viewer));
}

// Scrolls by (DX, DY) pixels; redraws and reports when a position moved.
void ScrollBy(HWND viewer, int dx, int dy)
{
    bool moved = false;
    if (dx != 0)
        moved |= ScrollTo(viewer, SB_HORZ, ScrollPos(viewer, SB_HORZ) + dx);
    if (dy != 0)
        moved |= ScrollTo(viewer, SB_VERT, ScrollPos(viewer, SB_VERT) + dy);
    if (moved) {
        InvalidateRect(viewer, nullptr, FALSE);
        ReportPosition(viewer);
    }
}

void RealizeOn(HWND window)
{
    if (!gGdiSurfaceState.palette || !window)
        return;
    HDC dc = GetDC(window);
    HPALETTE old = SelectPalette(dc, gGdiSurfaceState.palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(window, dc);
}

void Paint(HWND viewer, BitmapViewerRecord* r)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(viewer, &ps);
    HPALETTE oldPalette = nullptr;
    if (gGdiSurfaceState.palette) {
        oldPalette = SelectPalette(dc, gGdiSurfaceState.palette, FALSE);
        RealizePalette(dc);
    }
    RECT c;
    GetClientRect(viewer, &c);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = (mem && r && r->bitmap) ? SelectObject(mem, r->bitmap) : nullptr;
    if (old && old != HGDI_ERROR) {
        const int sx = ScrollPos(viewer, SB_HORZ), sy = ScrollPos(viewer, SB_VERT);
        const int w = std::min<int>(c.right, r->width - sx), h = std::min<int>(c.bottom, r->height - sy);
        BitBlt(dc, 0, 0, w, h, mem, sx, sy, SRCCOPY);
        // What the bitmap does not cover keeps the window colour.
        HBRUSH background = GetSysColorBrush(COLOR_WINDOW);
        if (w < c.right) {
            RECT rest{std::max(w, 0), 0, c.right, c.bottom};
            FillRect(dc, &rest, background);
        }
        if (h < c.bottom) {
            RECT rest{0, std::max(h, 0), c.right, c.bottom};
            FillRect(dc, &rest, background);
        }
        SelectObject(mem, old);
    }
    if (mem)
        DeleteDC(mem);
    if (oldPalette)
        SelectPalette(dc, oldPalette, FALSE);
    EndPaint(viewer, &ps);
}

// The page of each scroll bar from the client size (the bitmap size while
// the frame is as large as the whole bitmap); event 15 when that moved a
// position.
void Size(HWND viewer, BitmapViewerRecord* r, int width, int height)
{
    if (!r)
        return;
    const int hx = ScrollPos(viewer, SB_HORZ), vy = ScrollPos(viewer, SB_VERT);
    RECT f;
    GetWindowRect(GetParent(viewer), &f);
    const bool largest = r->largestWidth != kNoLargest && f.right - f.left >= r->largestWidth &&
                         f.bottom - f.top >= r->largestHeight;
    SCROLLINFO si{sizeof si, SIF_PAGE, 0, 0, 0, 0, 0};
    si.nPage = static_cast<UINT>(std::max(largest ? r->width : width, 0));
    SetScrollInfo(viewer, SB_HORZ, &si, TRUE);
    si.nPage = static_cast<UINT>(std::max(largest ? r->height : height, 0));
    SetScrollInfo(viewer, SB_VERT, &si, TRUE);
    InvalidateRect(viewer, nullptr, FALSE);
    if (ScrollPos(viewer, SB_HORZ) != hx || ScrollPos(viewer, SB_VERT) != vy)
        ReportPosition(viewer);
}

void Scroll(HWND viewer, int bar, WPARAM wParam)
{
    RECT c;
    GetClientRect(viewer, &c);
    const int page = bar == SB_HORZ ? c.right : c.bottom;
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(viewer, bar, &si);
    int pos = si.nPos;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    ScrollTo(viewer, bar, pos);
    InvalidateRect(viewer, nullptr, FALSE);
    ReportPosition(viewer);
}

// Keyboard scrolling; false for a key that is not a scrolling key.
bool Key(HWND viewer, WPARAM key)
{
    RECT c;
    GetClientRect(viewer, &c);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const int whole = 0x3FFFFFFF;
    switch (key) {
    case VK_PRIOR: ScrollBy(viewer, 0, ctrl ? -whole : -c.bottom); return true;
    case VK_NEXT: ScrollBy(viewer, 0, ctrl ? whole : c.bottom); return true;
    case VK_HOME: ScrollBy(viewer, ctrl ? -whole : -c.right, 0); return true;
    case VK_END: ScrollBy(viewer, ctrl ? whole : c.right, 0); return true;
    case VK_LEFT: ScrollBy(viewer, -1, 0); return true;
    case VK_RIGHT: ScrollBy(viewer, 1, 0); return true;
    case VK_UP: ScrollBy(viewer, 0, -1); return true;
    case VK_DOWN: ScrollBy(viewer, 0, 1); return true;
    default: return false;
    }
}

LRESULT CALLBACK ViewerProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam)
{
    BitmapViewerRecord* r = RecordOfViewer(viewer);
    const bool keys = r && (r->mode == 1 || (r->flags & 1));
    const bool drag = r && (r->mode == 1 || (r->flags & 2));
    switch (message) {
    case WM_PAINT:
        Paint(viewer, r);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Size(viewer, r, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        Scroll(viewer, message == WM_HSCROLL ? SB_HORZ : SB_VERT, wParam);
        return 0;
    case WM_KEYDOWN:
        if (keys && Key(viewer, wParam))
            return 0;
        return ClientWindowProc(viewer, message, wParam, lParam);
    case WM_CHAR:
    case WM_SYSCHAR:
        return ClientWindowProc(viewer, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        if (drag) {
            SetFocus(viewer);
            SetCapture(viewer);
            SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
            r->dragActive = 1;
            r->dragStart = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            r->dragScrollX = ScrollPos(viewer, SB_HORZ);
            r->dragScrollY = ScrollPos(viewer, SB_VERT);
            return 0;
        }
        return ClientWindowProc(viewer, message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (drag) {
            if (r->dragActive) {
                const int x = std::max(0, r->dragScrollX - (GET_X_LPARAM(lParam) - static_cast<int>(r->dragStart.x)));
                const int y = std::max(0, r->dragScrollY - (GET_Y_LPARAM(lParam) - static_cast<int>(r->dragStart.y)));
                ScrollBy(viewer, x - ScrollPos(viewer, SB_HORZ), y - ScrollPos(viewer, SB_VERT));
            }
            return 0;
        }
        return ClientWindowProc(viewer, message, wParam, lParam);
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
        if (drag) {
            if (r->dragActive) {
                r->dragActive = 0;
                ReleaseCapture();
                const int n = WindowTableIndex(viewer);
                HCURSOR c = (n >= 0 && gWindowTable.cursor[n]) ? gWindowTable.cursor[n] : LoadCursor(nullptr, IDC_ARROW);
                SetCursor(c);
            }
            return 0;
        }
        return ClientWindowProc(viewer, message, wParam, lParam);
    case WM_MOUSEWHEEL: {
        RECT c;
        GetClientRect(viewer, &c);
        const int delta = -static_cast<short>(HIWORD(wParam));
        const int limit = std::max<int>(c.bottom / 2, 1);
        ScrollBy(viewer, 0, std::clamp(delta, -limit, limit));
        return 0;
    }
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != viewer)
            RealizeOn(viewer);
        return 0;
    default:
        return DefWindowProcA(viewer, message, wParam, lParam);
    }
}

// The frame size that shows the whole bitmap: its size plus what the frame
// puts around the viewer (frame, caption, menu, bars).
SIZE WholeFrame(HWND frame, const BitmapViewerRecord* r)
{
    RECT f, v;
    GetWindowRect(frame, &f);
    GetWindowRect(r->viewer, &v);
    return SIZE{r->width + (f.right - f.left) - (v.right - v.left), r->height + (f.bottom - f.top) - (v.bottom - v.top)};
}

LRESULT CALLBACK ViewerFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    BitmapViewerRecord* r = RecordOfFrame(frame);
    if (!r)
        return FrameWindowProc(frame, message, wParam, lParam);
    switch (message) {
    case WM_GETMINMAXINFO: {
        LRESULT result = FrameWindowProc(frame, message, wParam, lParam);
        auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
        if (r->viewer) {
            const SIZE whole = WholeFrame(frame, r);
            RECT work{};
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            const LONG w = std::min<LONG>(whole.cx, work.right - work.left);
            const LONG h = std::min<LONG>(whole.cy, work.bottom - work.top);
            mm->ptMaxTrackSize.x = w;
            mm->ptMaxTrackSize.y = h;
            const bool fits = w == whole.cx && h == whole.cy;
            r->largestWidth = fits ? w : kNoLargest;
            r->largestHeight = fits ? h : kNoLargest;
        }
        return result;
    }
    case WM_CLOSE:
        if (r->mode == 1) {
            r->endFlag = 1;
            const int n = WindowTableIndex(frame);
            if (n >= 1)
                WindowCloseChild(n);
            else
                DestroyWindow(frame);
            return 0;
        }
        EventStore(kEventClose, 0, wParam, lParam, frame);
        return 0;
    case WM_SIZE: {
        LRESULT result = FrameWindowProc(frame, message, wParam, lParam);
        const int n = WindowTableIndex(frame);
        HWND client = n >= 0 ? gWindowTable.client[n] : nullptr;
        if (client && r->viewer) {
            RECT c;
            GetWindowRect(client, &c);
            MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&c), 2);
            SetWindowPos(r->viewer, nullptr, c.left, c.top, c.right - c.left, c.bottom - c.top, SWP_NOZORDER);
        }
        return result;
    }
    case WM_ACTIVATEAPP:
        if (wParam)
            RealizeOn(r->viewer);
        return FrameWindowProc(frame, message, wParam, lParam);
    case WM_SETFOCUS:
        WindowFocusActivate(frame);
        if (r->viewer)
            SetFocus(r->viewer);
        return 0;
    case WM_DESTROY: {
        if (r->mode == 3) {
            BitmapTable& t = gBitmapTable;
            t.semiModalViewers = std::max(t.semiModalViewers - 1, 0);
            WindowOthersEnable(nullptr, 1);
            HWND owner = GetWindow(frame, GW_OWNER);
            if (!owner)
                owner = gWindowTable.frame[0];
            if (owner && owner != frame)
                SetActiveWindow(owner);
        }
        if (r->viewer)
            SetWindowLongPtrA(r->viewer, GWLP_USERDATA, 0);
        WindowRecordDetach(frame);
        if (r->mode == 1)
            r->endFlag = 1; // the loop frees the record
        else
            WindowRecordFree(r);
        return FrameWindowProc(frame, message, wParam, lParam);
    }
    default:
        return FrameWindowProc(frame, message, wParam, lParam);
    }
}

bool ClassRegistered()
{
    WNDCLASSA existing;
    if (GetClassInfoA(gWindowSystem.instance, kViewerClass, &existing))
        return true;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ViewerProc;
    wc.hInstance = gWindowSystem.instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kViewerClass;
    return RegisterClassA(&wc) != 0;
}

bool HasChildWindows(int n)
{
    HWND client = gWindowTable.client[n];
    HWND frame = gWindowTable.frame[n];
    for (int m = 1; m <= kLastWindow; ++m) {
        HWND f = gWindowTable.frame[m];
        if (m != n && f && (IsChild(frame, f) || (client && IsChild(client, f)) || GetWindow(f, GW_OWNER) == frame))
            return true;
    }
    return false;
}

// The modal loop: until the end flag is set, the frame is gone or WM_QUIT
// arrives (posted again for the caller's loop).
void ModalLoop(HWND frame, BitmapViewerRecord* r)
{
    MSG msg;
    while (!r->endFlag && IsWindow(frame)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (msg.message == kSystemTimer && LOWORD(msg.wParam) == kHeldSystemTimer)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

void BitmapViewerShow(BitmapViewerRecord* r, int slot, int x, int y)
{
    if (!r || !r->viewer)
        return;
    int w = 0, h = 0;
    BitmapSize(slot, w, h);
    r->bitmap = BitmapHandleBitmap(slot + 1);
    r->slot = slot;
    r->width = w;
    r->height = h;
    r->largestWidth = kNoLargest;
    r->largestHeight = kNoLargest;
    r->dragActive = 0;
    HWND frame = GetParent(r->viewer);
    if (!IsZoomed(frame) && !IsIconic(frame)) {
        const SIZE whole = WholeFrame(frame, r);
        RECT f;
        GetWindowRect(frame, &f);
        LONG fw = f.right - f.left, fh = f.bottom - f.top;
        const bool wider = fw > whole.cx, taller = fh > whole.cy;
        if (wider && taller) {
            fw = whole.cx;
            fh = whole.cy;
        } else if (wider) {
            fw = std::min<LONG>(fw, whole.cx + GetSystemMetrics(SM_CXVSCROLL));
        } else if (taller) {
            fh = std::min<LONG>(fh, whole.cy + GetSystemMetrics(SM_CYHSCROLL));
        }
        if (fw != f.right - f.left || fh != f.bottom - f.top)
            SetWindowPos(frame, nullptr, 0, 0, fw, fh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT c;
    GetClientRect(r->viewer, &c);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    si.nMax = std::max(w - 1, 0);
    si.nPage = static_cast<UINT>(std::min<int>(c.right, w));
    SetScrollInfo(r->viewer, SB_HORZ, &si, TRUE);
    si.nMax = std::max(h - 1, 0);
    si.nPage = static_cast<UINT>(std::min<int>(c.bottom, h));
    SetScrollInfo(r->viewer, SB_VERT, &si, TRUE);
    if (x >= 0)
        ScrollTo(r->viewer, SB_HORZ, x);
    if (y >= 0)
        ScrollTo(r->viewer, SB_VERT, y);
    GetClientRect(r->viewer, &c);
    SendMessageA(r->viewer, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right, c.bottom));
    InvalidateRect(r->viewer, nullptr, FALSE);
}

void BitmapViewerShowSlot(int n, int slot)
{
    BitmapViewerRecord* r = (n >= 1 && n <= kLastWindow) ? RecordOfFrame(gWindowTable.frame[n]) : nullptr;
    if (r && r->viewer)
        BitmapViewerShow(r, slot, ScrollPos(r->viewer, SB_HORZ), ScrollPos(r->viewer, SB_VERT));
}

int BitmapViewerOf(int slot)
{
    HBITMAP b = BitmapHandleBitmap(slot + 1);
    if (!b)
        return 0;
    for (int n = 1; n <= kLastWindow; ++n) {
        const BitmapViewerRecord* r = RecordOfFrame(gWindowTable.frame[n]);
        if (r && r->bitmap == b)
            return n;
    }
    return 0;
}

void BitmapViewerInfo(int n, int code, int& value)
{
    value = 0;
    const BitmapViewerRecord* r = (n >= 0 && n <= kLastWindow) ? RecordOfFrame(gWindowTable.frame[n]) : nullptr;
    if (!r || !r->viewer)
        return;
    switch (code) {
    case 3: value = BitmapViewerOf(r->slot) == n ? r->slot + 1 : 0; break;
    case 4: value = ScrollPos(r->viewer, SB_HORZ); break;
    case 5: value = ScrollPos(r->viewer, SB_VERT); break;
    case 101: value = r->width; break;
    case 102: value = r->height; break;
    case 103: {
        RECT c;
        GetClientRect(r->viewer, &c);
        value = ScrollPos(r->viewer, SB_VERT) + c.bottom;
        SCROLLBARINFO sb{};
        sb.cbSize = sizeof sb;
        if (GetScrollBarInfo(r->viewer, OBJID_HSCROLL, &sb) && !(sb.rgstate[0] & STATE_SYSTEM_INVISIBLE))
            value += GetSystemMetrics(SM_CYHSCROLL);
        break;
    }
    default: break;
    }
}

void BitmapViewerOpen(int slot, int x, int y, int mode, int flags, int& status)
{
    const int n = gWindowSystem.currentWindow;
    if (n <= 0 || n > kLastWindow || !gWindowTable.frame[n]) {
        status = kViewerOnMainWindow;
        return;
    }
    HBITMAP bitmap = BitmapHandleBitmap(slot + 1);
    if (!bitmap) {
        status = kViewerBadSlot;
        return;
    }
    {
        HDC probe = CreateCompatibleDC(nullptr);
        HGDIOBJ old = probe ? SelectObject(probe, bitmap) : nullptr;
        const bool free = old && old != HGDI_ERROR;
        if (free)
            SelectObject(probe, old);
        if (probe)
            DeleteDC(probe);
        if (!free) {
            status = kViewerBitmapBusy;
            return;
        }
    }
    HWND frame = gWindowTable.frame[n];
    if (BitmapViewerRecord* existing = RecordOfFrame(frame)) {
        BitmapViewerShow(existing, slot, std::max(x, 0), std::max(y, 0));
        InvalidateRect(existing->viewer, nullptr, FALSE);
        status = kViewerOpened;
        return;
    }
    if (WindowRecordOf(frame)) {
        status = kViewerOtherRecord;
        return;
    }
    if (HasChildWindows(n)) {
        status = kViewerHasChildren;
        return;
    }
    status = kViewerOpened;
    if ((gLibraryState.windowFlags[n] & kWindowInsideParent) && mode != 2) {
        mode = 2;
        status = kViewerMadeModeless;
    }
    if (!ClassRegistered()) {
        status = kViewerNoMemory;
        return;
    }
    auto* r = static_cast<BitmapViewerRecord*>(WindowRecordAttach(frame, kRecordBitmapViewer, sizeof(BitmapViewerRecord)));
    if (!r) {
        status = kViewerNoMemory;
        return;
    }
    r->mode = mode;
    r->flags = flags;
    r->statusBar = gWindowTable.statusBar[n];
    if (mode == 1) {
        int none = 0;
        WindowMenuSet(none, n);
        for (int bar = kToolbarTop; bar <= kToolbarBottom; ++bar) {
            int id = 0, w = 0, h = 0;
            if (gWindowTable.toolbars[n][static_cast<size_t>(bar)]) {
                const int saved = gWindowSystem.currentWindow;
                ToolbarCreate(id, n, bar, w, h);
                gWindowSystem.currentWindow = saved;
            }
        }
    } else {
        for (int bar = 0; bar < 4; ++bar)
            r->toolbars[bar] = gWindowTable.toolbars[n][static_cast<size_t>(bar)];
    }
    HWND client = gWindowTable.client[n];
    RECT c{};
    GetWindowRect(client, &c);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&c), 2);
    r->viewer = CreateWindowExA(0, kViewerClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                                c.left, c.top, c.right - c.left, c.bottom - c.top, frame,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kViewerId)), gWindowSystem.instance, nullptr);
    if (!r->viewer) {
        WindowRecordDetach(frame);
        WindowRecordFree(r);
        status = kViewerNoMemory;
        return;
    }
    SetWindowLongPtrA(r->viewer, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(r));
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewerFrameProc));
    BitmapViewerShow(r, slot, std::max(x, 0), std::max(y, 0));
    SetFocus(r->viewer);
    ShowWindow(client, SW_HIDE);
    if (mode == 3)
        ++gBitmapTable.semiModalViewers;
    if (!IsWindowEnabled(frame))
        EnableWindow(frame, TRUE);
    SetFocus(r->viewer);
    ShowWindow(frame, SW_SHOW);
    if (mode != 2)
        WindowOthersDisable(frame, 1);
    if (mode != 1)
        return;

    ModalLoop(frame, r);
    if (IsWindow(frame) && RecordOfFrame(frame) == r) {
        // The loop ended without the window closing (WM_QUIT): the window
        // turns back into a plain one.
        SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameWindowProc));
        WindowRecordDetach(frame);
        if (IsWindow(r->viewer))
            DestroyWindow(r->viewer);
        ShowWindow(client, SW_SHOW);
    }
    WindowRecordFree(r);
    WindowOthersEnable(nullptr, 1);
    HWND owner = IsWindow(frame) ? GetWindow(frame, GW_OWNER) : nullptr;
    if (!owner)
        owner = gWindowTable.frame[0];
    if (owner) {
        SetActiveWindow(owner);
        SetFocus(owner);
    }
}

void BitmapViewerRelease(HWND frame, WindowRecord* record)
{
    if (!record || record->type != kRecordBitmapViewer)
        return;
    auto* r = reinterpret_cast<BitmapViewerRecord*>(record);
    if (r->viewer && IsWindow(r->viewer)) {
        SetWindowLongPtrA(r->viewer, GWLP_USERDATA, 0);
        DestroyWindow(r->viewer);
    }
    if (r->mode == 3)
        gBitmapTable.semiModalViewers = std::max(gBitmapTable.semiModalViewers - 1, 0);
    if (r->mode != 2)
        WindowOthersEnable(frame, 1);
    if (r->mode == 1)
        r->endFlag = 1; // the modal loop frees the record
    else
        WindowRecordFree(r);
}

namespace {

// The viewer's answer for its records when its window turns back into a plain
// one, installed while the program starts from this file, which attaches them.
const bool gRecordAnswersInstalled =
    (SpecialRecordAnswersSet(kRecordBitmapViewer, {.release = BitmapViewerRelease}), true);

} // namespace

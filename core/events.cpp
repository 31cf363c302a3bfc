// The event queue and the message loop: EventStore records what window and
// dialog procedures report, MessageWait runs the loop until an event is
// recorded and WMessageWait hands it to the caller.
#include "core/events.h"

#include <cstring>

#include "core/dialog_services.h"
#include "core/frame_window.h"
#include "core/graphics_services.h"
#include "core/library_state.h"
#include "core/special_windows.h"
#include "core/window_table.h"

EventEnableMask gEventEnableMask;
CurrentEventSlot gCurrentEventSlot;
PendingEventTable gPendingEventTable;
DeferredEventSlot gDeferredEventSlot;
HWND gActiveDialog = nullptr;

namespace {

constexpr UINT kSysTimer = 0x0118;

// The 32-bit word of a message parameter that an event hands to the caller
// as one of its integer values: a field change's parameter is a packed grid
// cell or a control's window handle, and a window handle's value fits 32 bits
// on 64-bit Windows too. The event message itself is 14 32-bit integers.
int32_t ParamWord(LPARAM p) { return static_cast<int32_t>(p); }

// The signed client position packed in a mouse message's parameter.
int ParamX(LPARAM p) { return static_cast<short>(LOWORD(p)); }
int ParamY(LPARAM p) { return static_cast<short>(HIWORD(p)); }

bool IsClass(HWND w, const char* name)
{
    char cls[32];
    return w && GetClassNameA(w, cls, sizeof cls) > 0 && lstrcmpiA(cls, name) == 0;
}

int FlagIndex(int type)
{
    return type <= 100 ? type - 1 : type - 101;
}

// The dialog and field of a dialog graphics-area event raised on WINDOW: the
// dialog itself (its graphics field word) or a field inside it.
void AreaOf(HWND window, HWND& dialog, int& field)
{
    if (IsClass(window, "#32770")) {
        dialog = window;
        int32_t* w = WindowDialogs().recordWords(window);
        field = w ? w[kDlgGraphicsField] : 0;
    } else {
        dialog = GetParent(window);
        field = GetDlgCtrlID(window);
    }
}

void SlotValues(int v1, int v2, int v3, int v4, int x, int y)
{
    auto& s = gCurrentEventSlot;
    s.value1 = v1;
    s.value2 = v2;
    s.value3 = v3;
    s.value4 = v4;
    s.x = x;
    s.y = y;
}

// Ends the wait: the loop sees the flag after the message being handled; a
// posted WM_NULL makes GetMessage return even when the event was raised while
// a message sent from another thread or process was handled.
void EndWait()
{
    bool wasWaiting = gCurrentEventSlot.waiting == 1;
    gCurrentEventSlot.waiting = 0;
    if (wasWaiting)
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

} // namespace

void EventEnableMaskDefaults()
{
    static const int on[] = {1, 2, 3, 4, 7, 8, 9, 13, 14};
    gEventEnableMask.flag.fill(0);
    for (int t : on)
        gEventEnableMask.flag[t - 1] = 1;
}

void EventTypeEnable(int type, int value)
{
    if (type >= 1 && type <= 16)
        gEventEnableMask.flag[type - 1] = value;
}

void EventTypeEnabled(int type, int& out)
{
    out = (type >= 1 && type <= 16) ? gEventEnableMask.flag[type - 1] : 0;
}

void WMessageEnable(int type, int enable)
{
    EventTypeEnable(type, enable != 0 ? 1 : 0);
}

int MouseStateBits(int keyState)
{
    int bits = 0;
    if (keyState & MK_CONTROL)
        bits |= 1;
    if (keyState & MK_SHIFT)
        bits |= 2;
    if (keyState & MK_LBUTTON)
        bits |= 4;
    if (keyState & MK_MBUTTON)
        bits |= 8;
    if (keyState & MK_RBUTTON)
        bits |= 16;
    return bits;
}

int KeyCodeTranslate(int key, int offset)
{
    switch (key) {
    case VK_TAB:
        return offset == 20 ? 274 : 9;
    case VK_UP:
        return 258 + offset / 5;
    case VK_DOWN:
        return 259 + offset / 5;
    case VK_RIGHT:
        return 260 + offset / 5;
    case VK_LEFT:
        return 261 + offset / 5;
    case VK_PRIOR:
        return 262;
    case VK_NEXT:
        return 263;
    case VK_HOME:
        return 270;
    case VK_END:
    case VK_SELECT:
        return 271;
    case VK_INSERT:
        return 272;
    case VK_DELETE:
        return 273;
    case VK_SNAPSHOT:
        return 300;
    case VK_CLEAR:
        return 285;
    case VK_SUBTRACT:
        return 290;
    case VK_DECIMAL:
        return 291;
    case VK_ADD:
    case VK_SEPARATOR:
        return 292;
    case VK_DIVIDE:
        return 293;
    case VK_MULTIPLY:
        return 294;
    default:
        break;
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return 280 + (key - VK_NUMPAD0);
    if (key >= VK_F1 && key <= VK_F20)
        return key + offset + 189;
    return key;
}

namespace {

// The steps of EventStore, one per kind of event that needs more than its
// values. Each returns true when the wait is to end, false when the event
// is kept back (or only noted) and the wait goes on.

// A key: a key code marked by the window procedure (A 1) is translated into
// the library's key numbers; a character (any other A) is stored as it is.
void StoreKey(int a, WPARAM wParam, HWND window, int viewer)
{
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    int value1;
    if (a == 1) {
        int key = static_cast<int>(wParam);
        int offset = 0;
        if (key > kKeyMarkCtrl) {
            key -= kKeyMarkCtrl;
            offset = 40;
        } else if (key > kKeyMarkShift) {
            key -= kKeyMarkShift;
            offset = 20;
        }
        value1 = KeyCodeTranslate(key, offset);
    } else {
        value1 = static_cast<int>(wParam);
    }
    SlotValues(value1, -1, viewer, -1, p.x, p.y);
}

void StorePushButton(WPARAM wParam, HWND window)
{
    int32_t* w = WindowDialogs().recordWords(window);
    gCurrentEventSlot.window = w ? w[kDlgIdentifier] : -1;
    // value1 is the command: the push button's id, 2 for the cancel
    // command, 9 for a help request.
    SlotValues(LOWORD(wParam), w ? w[kDlgPreviousField] : -1, -1, -1, -1, -1);
}

// A resize of a window: its new size, also as the drawing layer's current
// size; a hidden window's target is resized at once and no event ends the
// wait.
bool StoreResize(WPARAM wParam, LPARAM lParam, HWND window, bool visible)
{
    if (wParam == SIZE_MINIMIZED)
        return false;
    int w = LOWORD(lParam), h = HIWORD(lParam);
    SlotValues(w, h, 0, -1, -1, -1);
    int n = WindowTableIndex(window);
    // The drawing layer's current size follows its own window only.
    if (n >= 0 && n == gLibraryState.currentWindow) {
        gLibraryState.currentWindowWidth = w;
        gLibraryState.currentWindowHeight = h;
    }
    if (!visible) {
        if (gWindowSystem.windowDC && n >= 0)
            WindowTargetWindowResized(n, w, h);
        return false;
    }
    return true;
}

// A field change: outside a wait for it, it is deferred (while the loop
// waits for another event) or dropped; the dialog record keeps the last
// change's parameter for the next one.
bool StoreFieldChanged(LPARAM lParam, HWND window)
{
    auto& s = gCurrentEventSlot;
    int32_t* w = WindowDialogs().recordWords(window);
    int id = w ? w[kDlgIdentifier] : -1;
    int left = w ? w[kDlgPreviousField] : -1;
    int now = w ? w[kDlgCurrentField] : -1;
    if (s.waiting == 0) {
        if (s.inWait == 1) {
            auto& d = gDeferredEventSlot;
            d.type = kEventFieldChanged;
            d.window = id;
            d.value1 = left;
            d.value2 = now;
            d.value3 = 0;
            d.value4 = -1;
            d.x = w ? w[kDlgGridCell] : 0;
            d.y = ParamWord(lParam);
            d.time = static_cast<int>(GetMessageTime());
            if (w)
                w[kDlgGridCell] = ParamWord(lParam);
        }
        return false;
    }
    s.window = id;
    int x = s.x;
    if (s.firstChange) {
        x = w ? w[kDlgGridCell] : 0;
        s.firstChange = 0;
    }
    SlotValues(left, now, 0, -1, x, ParamWord(lParam));
    if (w)
        w[kDlgGridCell] = ParamWord(lParam);
    return true;
}

void StoreTabChanged(HWND window)
{
    int32_t* w = WindowDialogs().recordWords(window);
    gCurrentEventSlot.window = w ? w[kDlgIdentifier] : -1;
    SlotValues(w ? w[kDlgOldPage] : -1, w ? w[kDlgNewPage] : -1, -1, -1, -1, -1);
}

// An event of a dialog's graphics area (or of a graphics field): stored as
// the window event it stands for, with the field in value 4.
bool StoreAreaEvent(int type, WPARAM wParam, LPARAM lParam, HWND window, bool visible)
{
    auto& s = gCurrentEventSlot;
    HWND dialog;
    int field;
    AreaOf(window, dialog, field);
    int32_t* w = WindowDialogs().recordWords(dialog);
    s.window = w ? w[kDlgIdentifier] : -1;
    if (type == kEventAreaExpose) {
        s.type = kEventExpose;
        SlotValues(-1, -1, 1, field, -1, -1);
    } else if (type == kEventAreaResize) {
        if (wParam == SIZE_MINIMIZED)
            return false;
        int fw = LOWORD(lParam), fh = HIWORD(lParam);
        s.type = kEventResize;
        SlotValues(fw, fh, 1, field, -1, -1);
        if (!visible) {
            WindowTargetFieldResized(w ? w[kDlgIdentifier] : 0, field, fw, fh);
            return false;
        }
    } else {
        s.type = type - 100;
        int button = type == kEventAreaMouseMove ? -1 : (w ? w[kDlgMouseButton] : -1);
        SlotValues(button, MouseStateBits(LOWORD(wParam)), 1, field, ParamX(lParam), ParamY(lParam));
    }
    return true;
}

} // namespace

void EventStore(int type, int a, WPARAM wParam, LPARAM lParam, HWND window)
{
    int fi = FlagIndex(type);
    if (fi < 0 || fi >= 16 || gEventEnableMask.flag[fi] == 0)
        return;
    auto& s = gCurrentEventSlot;
    if ((type == kEventExpose || type == kEventAreaExpose) && s.type == kEventResize && s.waiting == 0)
        return;

    bool visible = window && IsWindowVisible(window);
    if (!((type == kEventFieldChanged && s.waiting == 0) || (type == kEventResize && !visible))) {
        s.type = type;
        s.window = WindowTableIndex(window);
        s.time = static_cast<int>(GetMessageTime());
    }
    int viewer = IsClass(window, "KVBBITMAP") ? 2 : 0;

    bool end = true;
    switch (type) {
    case kEventKey:
        StoreKey(a, wParam, window, viewer);
        break;
    case kEventCommand:
        SlotValues(LOWORD(wParam), -1, -1, -1, -1, -1);
        break;
    case kEventPushButton:
        StorePushButton(wParam, window);
        break;
    case kEventMouseDown:
    case kEventMouseUp:
    case kEventDoubleClick: {
        POINT p{ParamX(lParam), ParamY(lParam)};
        if (a == 4 || a == 5)
            ScreenToClient(window, &p);
        SlotValues(a, MouseStateBits(LOWORD(wParam)), viewer, -1, p.x, p.y);
        break;
    }
    case kEventMouseMove:
        SlotValues(-1, MouseStateBits(LOWORD(wParam)), viewer, -1, ParamX(lParam), ParamY(lParam));
        break;
    case kEventExpose: {
        RECT r{};
        GetUpdateRect(window, &r, TRUE);
        SlotValues(r.right - r.left, r.bottom - r.top, 0, -1, r.left, r.top);
        break;
    }
    case kEventResize:
        end = StoreResize(wParam, lParam, window, visible);
        break;
    case kEventClose:
    case kEventCommandLine:
        SlotValues(-1, -1, -1, -1, -1, -1);
        break;
    case kEventFieldChanged:
        end = StoreFieldChanged(lParam, window);
        break;
    case kEventTabChanged:
        StoreTabChanged(window);
        break;
    case kEventFrameButton:
        SlotValues(a, -1, -1, -1, -1, -1);
        break;
    case kEventTimer:
        SlotValues(static_cast<int>(wParam), -1, -1, -1, -1, -1);
        break;
    case kEventViewerPosition:
        SlotValues(static_cast<int>(wParam), static_cast<int>(lParam), 2, -1, static_cast<int>(wParam),
                   static_cast<int>(lParam));
        break;
    case kEventAreaMouseDown:
    case kEventAreaMouseUp:
    case kEventAreaMouseMove:
    case kEventAreaDoubleClick:
    case kEventAreaExpose:
    case kEventAreaResize:
        end = StoreAreaEvent(type, wParam, lParam, window, visible);
        break;
    default:
        SlotValues(-1, -1, -1, -1, -1, -1);
        break;
    }
    if (end)
        EndWait();
}

namespace {

// Offers MSG to the accelerators of the active dialog's host window; true
// when translated.
bool ActiveDialogAccelerators(MSG& msg)
{
    int32_t* w = WindowDialogs().recordWords(gActiveDialog);
    if (!w)
        return false;
    HWND host = WindowDialogs().recordHandle(gActiveDialog, kDlgHost);
    if (host) {
        int h = WindowTableIndex(host);
        if (h < 0)
            return false;
        if (gWindowTable.menu[h])
            return SplitAcceleratorsTranslate(h, h, &msg) != 0;
        // An inside child without a menu: the enclosing frames through split
        // windows, the first with a menu translates.
        HWND frame = gWindowTable.frame[h];
        while (frame && (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) {
            int e = WindowTableIndex(GetParent(frame));
            if (e < 0)
                break;
            if (gWindowTable.menu[e])
                return SplitAcceleratorsTranslate(e, e, &msg) != 0;
            if (WindowRecordTypeOf(gWindowTable.frame[e]) != kRecordSplit)
                break;
            frame = gWindowTable.frame[e];
        }
        return false;
    }
    if (w[kDlgMainAccelerators])
        return SplitAcceleratorsTranslate(0, 0, &msg) != 0;
    return false;
}

// The editor or grid editor that MSG's window belongs to (up to three
// parents up), nullptr for none.
WindowRecord* SpecialWindowOf(HWND w)
{
    for (int i = 0; i < 4 && w; ++i, w = GetParent(w)) {
        if (IsClass(w, "QUILCHILD")) {
            WindowRecord* r = WindowRecordOf(w);
            if (r)
                return (r->type == kRecordEditor || r->type == kRecordGridEditor) ? r : nullptr;
        }
    }
    return nullptr;
}

void Dispatch(MSG& msg, bool markPaintSize)
{
    if (msg.message == kSysTimer && LOWORD(msg.wParam) == 0xFFF6 && gWindowSystem.systemTimerHold)
        return;
    bool mark = markPaintSize && (msg.message == WM_PAINT || msg.message == WM_SIZE);
    if (mark)
        gCurrentEventSlot.dispatching = 1;
    DispatchMessageA(&msg);
    if (mark)
        gCurrentEventSlot.dispatching = 0;
}

// Routes one message as the wait loop does.
void RouteMessage(MSG& msg)
{
    if (gActiveDialog && IsWindow(gActiveDialog)) {
        if (ActiveDialogAccelerators(msg))
            return;
        if (IsDialogMessageA(gActiveDialog, &msg))
            return;
    }
    if (WindowRecord* r = SpecialWindowOf(msg.hwnd)) {
        HWND modeless = SpecialRecordModelessDialog(r);
        if (modeless && IsDialogMessageA(modeless, &msg))
            return;
        for (int which = 1; which <= 2; ++which) {
            HACCEL a = SpecialRecordAccelerators(r, which);
            HWND f = msg.hwnd;
            while (f && !IsClass(f, "QUILCHILD"))
                f = GetParent(f);
            if (a && TranslateAcceleratorA(f ? f : msg.hwnd, a, &msg))
                return;
        }
        TranslateMessage(&msg);
        Dispatch(msg, false);
        return;
    }
    int n = WindowTableIndex(msg.hwnd);
    if (n >= 0) {
        int m = n;
        while (m != 0 && !gWindowTable.menu[m]) {
            HWND parent = GetParent(gWindowTable.frame[m]);
            int p = WindowTableIndex(parent);
            m = p < 0 ? 0 : p;
        }
        if (gWindowTable.menu[m] && SplitAcceleratorsTranslate(n, m, &msg))
            return;
    }
    TranslateMessage(&msg);
    Dispatch(msg, true);
}

void ReturnSlot(int& type, int& value1, int& value2, int& value3, int& value4, int& x, int& y, int& window,
                int& time)
{
    auto& s = gCurrentEventSlot;
    if ((s.type == kEventExpose || s.type == kEventResize) && s.value3 == 0 && s.window >= 0 &&
        s.window <= kLastWindow) {
        PendingEvent& p = gPendingEventTable.entry[s.window];
        bool heldExpose = p.type == kEventExpose;
        p.type = 0;
        if (heldExpose && s.type == kEventExpose) {
            RECT r{};
            if (gWindowTable.client[s.window])
                GetClientRect(gWindowTable.client[s.window], &r);
            s.x = 0;
            s.y = 0;
            s.value1 = r.right;
            s.value2 = r.bottom;
        }
    }
    type = s.type;
    window = s.window;
    value1 = s.value1;
    value2 = s.value2;
    value3 = s.value3;
    value4 = s.value4;
    x = s.x;
    y = s.y;
    time = s.time;
    s.inWait = 0;
    s.type = 0;
}

// Steps 1 to 3 of both waits: a pending expose or resize, or the deferred
// field change. True when one was returned.
bool HeldEvent(int& type, int& value1, int& value2, int& value3, int& value4, int& x, int& y, int& window,
               int& time)
{
    auto& s = gCurrentEventSlot;
    for (int n = 0; n <= kLastWindow; ++n) {
        PendingEvent& p = gPendingEventTable.entry[n];
        if (p.type <= 0 || !gWindowTable.client[n])
            continue;
        type = p.type;
        window = n;
        if (p.type == kEventExpose) {
            RECT r{};
            GetClientRect(gWindowTable.client[n], &r);
            x = y = 0;
            value1 = r.right;
            value2 = r.bottom;
            value3 = 0;
        } else {
            value1 = p.value1;
            value2 = p.value2;
            value3 = p.value3;
            x = p.x;
            y = p.y;
        }
        value4 = p.value4;
        time = p.time;
        p.type = 0;
        s.inWait = 0;
        return true;
    }
    auto& d = gDeferredEventSlot;
    if (d.type) {
        type = d.type;
        window = d.window;
        value1 = d.value1;
        value2 = d.value2;
        value3 = d.value3;
        value4 = d.value4;
        x = d.x;
        y = d.y;
        time = d.time;
        d.type = 0;
        s.inWait = 0;
        return true;
    }
    return false;
}

// A wait that starts while another one runs (a library dialog waiting for
// its push buttons inside a command that the program's wait dispatched)
// gives the outer wait its slot and flags back when it returns: the event
// it took was its own, and the outer wait goes on until one arrives for it
// instead of ending on the emptied slot with no event at all.
class OuterWaitKeeper {
public:
    OuterWaitKeeper() : outer_(gCurrentEventSlot), nested_(gCurrentEventSlot.inWait == 1) {}
    ~OuterWaitKeeper()
    {
        if (nested_)
            gCurrentEventSlot = outer_;
    }
    OuterWaitKeeper(const OuterWaitKeeper&) = delete;
    OuterWaitKeeper& operator=(const OuterWaitKeeper&) = delete;

private:
    CurrentEventSlot outer_;
    bool nested_;
};

} // namespace

void MessageWait(int& type, int& value1, int& value2, int& value3, int& value4, int& x, int& y, int& window,
                 int& time)
{
    auto& s = gCurrentEventSlot;
    OuterWaitKeeper outer;
    s.inWait = 1;
    s.type = 0;
    if (HeldEvent(type, value1, value2, value3, value4, x, y, window, time))
        return;
    s.firstChange = 1;
    s.waiting = 1;
    while (s.waiting == 1) {
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // WM_QUIT (left for the caller's own loop) or a broken queue:
            // no event can arrive here any more.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            s.waiting = 0;
            s.type = 0;
            break;
        }
        RouteMessage(msg);
    }
    ReturnSlot(type, value1, value2, value3, value4, x, y, window, time);
}

void MessagePeek(int& type, int& value1, int& value2, int& value3, int& value4, int& x, int& y, int& window,
                 int& time)
{
    auto& s = gCurrentEventSlot;
    OuterWaitKeeper outer;
    s.inWait = 1;
    s.type = 0;
    if (HeldEvent(type, value1, value2, value3, value4, x, y, window, time))
        return;
    s.firstChange = 1;
    s.waiting = 1;
    while (s.type == 0) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) || msg.message == WM_QUIT) {
            if (msg.message == WM_QUIT)
                PostQuitMessage(static_cast<int>(msg.wParam));
            s.type = -1;
            break;
        }
        RouteMessage(msg);
    }
    s.waiting = 0;
    ReturnSlot(type, value1, value2, value3, value4, x, y, window, time);
}

void WMessageWait(int& type, EventMessage& message)
{
    MessageWait(type, message.value1, message.value2, message.value3, message.value4, message.pixelX,
                message.pixelY, message.window, message.time);
    WindowEventWorldCoords(type, message);
}

int TimerSet(int period, int id, int where)
{
    HWND client = gWindowTable.client[0];
    HWND frame = gWindowTable.frame[0];
    if (period > 0)
        return static_cast<int>(SetTimer(where == 1 ? client : frame, static_cast<UINT_PTR>(id), period, nullptr));
    int a = client ? KillTimer(client, static_cast<UINT_PTR>(id)) : 0;
    int b = frame ? KillTimer(frame, static_cast<UINT_PTR>(id)) : 0;
    return a || b;
}

void TimerWait(int n)
{
    HWND client = gWindowTable.client[0];
    if (!client)
        return;
    // n hundredths of a second, kept within the timer's range.
    long long ms = static_cast<long long>(n) * 10;
    if (ms < 1)
        ms = 1;
    if (ms > 0x7FFFFFFF)
        ms = 0x7FFFFFFF;
    if (!SetTimer(client, kTimerWaitId, static_cast<UINT>(ms), nullptr))
        return;
    gWindowSystem.timerWaitFlag = 1;
    while (gWindowSystem.timerWaitFlag) {
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            KillTimer(client, kTimerWaitId);
            gWindowSystem.timerWaitFlag = 0;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TickCount(int& out)
{
    out = static_cast<int>(GetTickCount() & 0x7FFFFFFFu);
}

// The event queue of the library: the one current-event slot that window and
// dialog procedures store into, the per-window pending exposes and resizes,
// the deferred field change, the enable mask, the blocking and non-blocking
// message waits, key codes, mouse-state bits and timers.
#pragma once

#include <windows.h>

#include <array>

// Event types handed to the caller.
enum EventType : int {
    kEventKey = 1,
    kEventCommand = 2,
    kEventPushButton = 3,
    kEventMouseDown = 4,
    kEventMouseUp = 5,
    kEventMouseMove = 6,
    kEventExpose = 7,
    kEventResize = 8,
    kEventClose = 9,
    kEventFieldChanged = 10,
    kEventTabChanged = 11,
    kEventFrameButton = 12,
    kEventTimer = 13,
    kEventCommandLine = 14,
    kEventViewerPosition = 15,
    kEventDoubleClick = 16,
    // Raised inside a dialog graphics area, delivered as the type less 100.
    kEventAreaMouseDown = 104,
    kEventAreaMouseUp = 105,
    kEventAreaMouseMove = 106,
    kEventAreaExpose = 107,
    kEventAreaResize = 108,
    kEventAreaDoubleClick = 116,
};

// The 14 words handed to the caller with each event.
struct EventMessage {
    int window = 0;       // window number, or the dialog id of dialog events; -1 none
    int value1 = 0;
    int value2 = 0;
    int value3 = 0;       // 0 window, 1 dialog graphics area, 2 bitmap viewer, -1 none
    int value4 = 0;       // graphics-area field id, else -1
    int x = 0;            // 0..9999 across the client area (see the event types)
    int y = 0;
    int cornerWorldX = 0; // expose: world position of the far corner
    int cornerWorldY = 0;
    int worldX = 0;       // world position of the event
    int worldY = 0;
    int time = 0;         // message time in milliseconds
    int pixelX = 0;       // pixel position as recorded, -1 without one
    int pixelY = 0;
};
static_assert(sizeof(EventMessage) == 14 * sizeof(int));

// One flag per event type 1..16; only enabled types are recorded.
struct EventEnableMask {
    std::array<int, 16> flag{};
};
extern EventEnableMask gEventEnableMask;
// Types 1, 2, 3, 4, 7, 8, 9, 13, 14 on; the others off.
void EventEnableMaskDefaults();

// The event being delivered and the flags of the wait.
struct CurrentEventSlot {
    int type = 0;
    int window = 0;
    int value1 = 0, value2 = 0, value3 = 0, value4 = 0;
    int x = 0, y = 0;
    int time = 0;
    int waiting = 0;     // 1 while MessageWait loops for an event
    int inWait = 0;      // 1 from start to end of MessageWait / MessagePeek
    int firstChange = 0; // set when a wait starts looping, cleared by the first field change
    int dispatching = 0; // 1 while the wait loop dispatches a WM_PAINT or WM_SIZE
};
extern CurrentEventSlot gCurrentEventSlot;

// One held expose (7) or resize (8) per window number.
struct PendingEvent {
    int type = 0; // 0 empty
    int value1 = 0, value2 = 0, value3 = 0, value4 = 0;
    int x = 0, y = 0;
    int time = 0;
};
struct PendingEventTable {
    std::array<PendingEvent, 52> entry{};
};
extern PendingEventTable gPendingEventTable;

// One held field change.
struct DeferredEventSlot {
    int type = 0; // 0 empty, else 10
    int value1 = 0, value2 = 0, value3 = 0, value4 = 0;
    int x = 0, y = 0;
    int window = 0; // dialog id
    int time = 0;
};
extern DeferredEventSlot gDeferredEventSlot;

// The modeless dialog that the wait loop offers messages to first.
extern HWND gActiveDialog;

// Public: blocks until an event is available, then returns its type and words.
void WMessageWait(int& type, EventMessage& message);
// Public: switches recording of event type TYPE (1..16) on (non-zero) or off.
void WMessageEnable(int type, int enable);

void EventTypeEnable(int type, int value);
void EventTypeEnabled(int type, int& out);

// Records one event from a window message. A is the button, the wheel
// direction, or for a key 1 (virtual key with modifier mark) or 0 (character).
void EventStore(int type, int a, WPARAM wParam, LPARAM lParam, HWND window);

// Modifier marks added to a virtual key stored with A = 1.
constexpr int kKeyMarkShift = 0x1000;
constexpr int kKeyMarkCtrl = 0x2000;

// The message loop: blocks until an event is recorded.
void MessageWait(int& type, int& value1, int& value2, int& value3, int& value4, int& x, int& y,
                 int& window, int& time);
// The same without blocking; type -1 when the queue held no event.
void MessagePeek(int& type, int& value1, int& value2, int& value3, int& value4, int& x, int& y,
                 int& window, int& time);

// KeyCode of virtual key KEY with OFFSET 0, 20 (Shift) or 40 (Ctrl).
int KeyCodeTranslate(int key, int offset);
// MouseStateBits of a mouse message's key-state word.
int MouseStateBits(int keyState);

// Starts (PERIOD > 0) timer ID on the main client (WHERE = 1) or frame, or
// stops it on both; returns the platform's result.
int TimerSet(int period, int id, int where);
// Waits N hundredths of a second while dispatching messages.
void TimerWait(int n);
// Milliseconds since system start with the top bit cleared.
void TickCount(int& out);

// The timer id TimerWait uses on client window 0.
constexpr UINT_PTR kTimerWaitId = 999;

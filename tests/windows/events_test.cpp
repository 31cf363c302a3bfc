// Events through the library's wait: keys, mouse, expose and resize with their
// merging, close requests, frame clicks, timers and the enable mask.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "core/events.h"
#include "core/window_table.h"
#include "graphics/coordinates.h"
#include "graphics/graphics_state.h"
#include "support/poll.h"
#include "window_fixture.h"

namespace {

class Events : public ::testing::Test {
protected:
    void SetUp() override
    {
        MainWindowEnsure();
        EventsDrain();
        client = gWindowTable.client[0];
        frame = gWindowTable.frame[0];
        RECT r;
        GetClientRect(client, &r);
        width = r.right;
        height = r.bottom;
    }
    void TearDown() override { EventsDrain(); }

    // trunc((p + 0.5) x 9999 / extent)
    static int Normal(int p, int extent) { return static_cast<int>((p + 0.5) * 9999 / extent); }

    HWND client = nullptr;
    HWND frame = nullptr;
    int width = 0;
    int height = 0;
};

TEST(KeyCodes, TranslateTable)
{
    struct Case {
        int key, offset, code;
    } cases[] = {
        {VK_TAB, 0, 9},       {VK_TAB, 20, 274},    {VK_TAB, 40, 9},       {VK_UP, 0, 258},
        {VK_UP, 20, 262},     {VK_UP, 40, 266},     {VK_DOWN, 20, 263},    {VK_LEFT, 40, 269},
        {VK_RIGHT, 0, 260},   {VK_PRIOR, 40, 262},  {VK_NEXT, 20, 263},    {VK_HOME, 0, 270},
        {VK_END, 20, 271},    {VK_SELECT, 0, 271},  {VK_INSERT, 40, 272},  {VK_DELETE, 0, 273},
        {VK_SNAPSHOT, 0, 300}, {VK_CLEAR, 0, 285},  {VK_NUMPAD0, 0, 280},  {VK_NUMPAD5, 20, 285},
        {VK_NUMPAD9, 0, 289}, {VK_SUBTRACT, 0, 290}, {VK_DECIMAL, 0, 291}, {VK_ADD, 0, 292},
        {VK_SEPARATOR, 0, 292}, {VK_DIVIDE, 0, 293}, {VK_MULTIPLY, 0, 294}, {VK_F1, 0, 301},
        {VK_F1, 20, 321},     {VK_F12, 40, 352},    {VK_F20, 0, 320},      {VK_F20, 40, 360},
        {'Q', 0, 'Q'},        {VK_ESCAPE, 0, 27},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyCodeTranslate(c.key, c.offset), c.code) << "key " << c.key << " offset " << c.offset;
}

TEST(KeyCodes, MouseStateBits)
{
    EXPECT_EQ(MouseStateBits(MK_CONTROL | MK_SHIFT | MK_LBUTTON | MK_MBUTTON | MK_RBUTTON), 31);
    EXPECT_EQ(MouseStateBits(MK_SHIFT | MK_RBUTTON), 2 + 16);
    EXPECT_EQ(MouseStateBits(0), 0);
}

TEST_F(Events, MaskDefaultsAndEnable)
{
    const int on[] = {1, 2, 3, 4, 7, 8, 9, 13, 14};
    for (int t = 1; t <= 16; ++t) {
        int flag = -1;
        EventTypeEnabled(t, flag);
        bool expected = std::find(std::begin(on), std::end(on), t) != std::end(on);
        EXPECT_EQ(flag, expected ? 1 : 0) << "type " << t;
    }
    WMessageEnable(6, 5);
    int flag = 0;
    EventTypeEnabled(6, flag);
    EXPECT_EQ(flag, 1);
    WMessageEnable(0, 1);
    WMessageEnable(17, 1);
    EventTypeEnabled(17, flag);
    EXPECT_EQ(flag, 0);
}

// Posted key strokes with the thread's keyboard state as modifiers.
TEST_F(Events, KeyCodesFromPostedKeys)
{
    struct Case {
        UINT vk;
        bool shift, ctrl, numLock;
        int code;
        const char* what;
    } cases[] = {
        {'A', false, false, false, 'a', "plain letter gives its character"},
        {'B', false, true, false, 2, "Ctrl+B gives the control character"},
        {VK_TAB, false, false, false, 9, "Tab"},
        {VK_TAB, true, false, false, 274, "Shift+Tab"},
        {VK_TAB, false, true, false, 9, "Ctrl+Tab"},
        {VK_NUMPAD5, false, false, true, 285, "keypad 5 with Num Lock"},
        {VK_F1, true, false, false, 321, "Shift+F1"},
        {VK_F12, false, true, false, 352, "Ctrl+F12"},
        {VK_UP, true, false, false, 262, "Shift+Up"},
        {VK_UP, false, true, false, 266, "Ctrl+Up"},
        {VK_DELETE, false, false, false, 273, "Delete"},
    };
    for (const Case& c : cases) {
        KeyState(c.shift, c.ctrl, c.numLock);
        PostMessageA(client, WM_KEYDOWN, c.vk, KeyParam(c.vk));
        EventMessage m;
        ASSERT_EQ(WaitEvent(m), kEventKey) << c.what;
        EXPECT_EQ(m.value1, c.code) << c.what;
        EXPECT_EQ(m.window, 0) << c.what;
        EXPECT_EQ(m.value3, 0) << c.what;
        EventsDrain();
    }
}

TEST_F(Events, ModifierKeysAloneRaiseNothing)
{
    KeyState(true, false);
    PostMessageA(client, WM_KEYDOWN, VK_SHIFT, KeyParam(VK_SHIFT));
    PostMessageA(client, WM_KEYDOWN, VK_CAPITAL, KeyParam(VK_CAPITAL));
    KeyState(false, false);
    PostMessageA(client, WM_KEYDOWN, VK_HOME, KeyParam(VK_HOME));
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventKey);
    EXPECT_EQ(m.value1, 270);
}

TEST_F(Events, ClickCarriesTheWorldPointOfTheDrawingWindow)
{
    // World units 0..10 across and 0..5 up over the whole client area: the
    // centre of pixel (px, py) lies at device (px + 0.5, height - py - 0.5).
    IGrSelect(1, nullptr);
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrUnits(0.0f, 0.0f, 10.0f, 5.0f);
    RECT rc;
    GetClientRect(client, &rc);
    const int width = rc.right, height = rc.bottom;
    const int px = 40, py = 10;
    PostMessageA(client, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px, py));
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventMouseDown);
    float wx = EventWorldValue(m.worldX), wy = EventWorldValue(m.worldY);
    EXPECT_NEAR(wx, 10.0f * (px + 0.5f) / width, 10.0f / width);
    EXPECT_NEAR(wy, 5.0f * (height - py - 0.5f) / height, 5.0f / height);
    // The opposite corner of the client area maps to the far end of the units.
    PostMessageA(client, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(width - 1, 0));
    ASSERT_EQ(WaitEvent(m), kEventMouseDown);
    EXPECT_NEAR(EventWorldValue(m.worldX), 10.0f, 10.0f / width);
    EXPECT_NEAR(EventWorldValue(m.worldY), 5.0f, 5.0f / height);
}

TEST_F(Events, MouseButtonsPositionsAndState)
{
    int px = 100, py = 50;
    PostMessageA(client, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(px, py));
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventMouseDown);
    EXPECT_EQ(m.value1, 3);
    EXPECT_EQ(m.value2, 16 + 2);
    EXPECT_EQ(m.value3, 0);
    EXPECT_EQ(m.pixelX, px);
    EXPECT_EQ(m.pixelY, py);
    EXPECT_EQ(m.x, Normal(px, width));
    EXPECT_EQ(m.y, Normal(py, height));

    // Button-up events are off by default: switched on they arrive.
    PostMessageA(client, WM_RBUTTONUP, 0, MAKELPARAM(px, py));
    PostMessageA(client, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, height - 1));
    ASSERT_EQ(WaitEvent(m), kEventMouseDown) << "the up event of a disabled type is skipped";
    EXPECT_EQ(m.value1, 1);
    EXPECT_EQ(m.x, Normal(0, width));
    EXPECT_EQ(m.y, Normal(height - 1, height));
    EXPECT_GE(m.x, 0);
    EXPECT_LE(m.y, 9999);
    WMessageEnable(kEventMouseUp, 1);
    PostMessageA(client, WM_LBUTTONUP, 0, MAKELPARAM(7, 8));
    ASSERT_EQ(WaitEvent(m), kEventMouseUp);
    EXPECT_EQ(m.value1, 1);
    EXPECT_EQ(m.pixelX, 7);
    EXPECT_EQ(m.pixelY, 8);
}

TEST_F(Events, MouseMoveOnlyWhenEnabled)
{
    PostMessageA(client, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(30, 40));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventClose) << "mouse moves are off by default";
    WMessageEnable(kEventMouseMove, 1);
    PostMessageA(client, WM_MOUSEMOVE, MK_CONTROL | MK_MBUTTON, MAKELPARAM(30, 40));
    ASSERT_EQ(WaitEvent(m), kEventMouseMove);
    EXPECT_EQ(m.value1, -1);
    EXPECT_EQ(m.value2, 1 + 8);
    EXPECT_EQ(m.pixelX, 30);
    EXPECT_EQ(m.pixelY, 40);
}

TEST_F(Events, DoubleClickIsSecondPressUnlessEnabled)
{
    PostMessageA(client, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventMouseDown);
    EXPECT_EQ(m.value1, 1);
    WMessageEnable(kEventDoubleClick, 1);
    PostMessageA(client, WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(10, 10));
    ASSERT_EQ(WaitEvent(m), kEventDoubleClick);
    EXPECT_EQ(m.value1, 2);
}

TEST_F(Events, WheelPositionMappedToClient)
{
    POINT p{60, 70};
    ClientToScreen(client, &p);
    PostMessageA(client, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(p.x, p.y));
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventMouseDown);
    EXPECT_EQ(m.value1, 5);
    EXPECT_EQ(m.pixelX, 60);
    EXPECT_EQ(m.pixelY, 70);
    PostMessageA(client, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(p.x, p.y));
    ASSERT_EQ(WaitEvent(m), kEventMouseDown);
    EXPECT_EQ(m.value1, 4);
}

TEST_F(Events, CloseRequestLeavesWindowOpen)
{
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventClose);
    EXPECT_EQ(m.window, 0);
    EXPECT_EQ(m.value1, -1);
    EXPECT_TRUE(IsWindow(frame));
}

TEST_F(Events, FrameButtonsRaiseEvent12ExceptMinimiseButton)
{
    WMessageEnable(kEventFrameButton, 1);
    RECT r;
    GetWindowRect(frame, &r);
    LPARAM at = MAKELPARAM(r.left + 40, r.top + 5);
    PostMessageA(frame, WM_NCMBUTTONDOWN, HTMINBUTTON, at);
    PostMessageA(frame, WM_NCRBUTTONDOWN, HTBORDER, at);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventFrameButton);
    EXPECT_EQ(m.value1, 3) << "the press on the minimise button raised no event";
    EXPECT_EQ(m.window, 0);
    EventsDrain();
}

TEST_F(Events, ExposeOfPartInWaitAndWholeAfterTimerWait)
{
    RECT part{100, 50, 150, 90};
    InvalidateRect(client, &part, FALSE);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventExpose);
    EXPECT_EQ(m.pixelX, 100);
    EXPECT_EQ(m.pixelY, 50);
    EXPECT_EQ(m.x, Normal(100, width));
    EXPECT_EQ(m.value1, Normal(149, width) - Normal(100, width));
    EXPECT_EQ(m.value2, Normal(89, height) - Normal(50, height));

    // A paint while TimerWait runs is held and returned for the whole client.
    InvalidateRect(client, &part, FALSE);
    TimerWait(5);
    EXPECT_EQ(gPendingEventTable.entry[0].type, kEventExpose);
    ASSERT_EQ(WaitEvent(m), kEventExpose);
    EXPECT_EQ(m.pixelX, 0);
    EXPECT_EQ(m.pixelY, 0);
    EXPECT_EQ(m.value1, Normal(width - 1, width) - Normal(0, width));
    EXPECT_EQ(gPendingEventTable.entry[0].type, 0);
}

TEST_F(Events, ResizeThenPaintKeepsOnePendingResize)
{
    RECT fr;
    GetWindowRect(frame, &fr);
    int w = fr.right - fr.left, h = fr.bottom - fr.top;
    SetWindowPos(frame, nullptr, 0, 0, w + 20, h + 10, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(client);
    EXPECT_EQ(gPendingEventTable.entry[0].type, kEventResize);
    RECT cr;
    GetClientRect(client, &cr);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventResize);
    EXPECT_EQ(m.value1, cr.right);
    EXPECT_EQ(m.value2, cr.bottom);
    EXPECT_EQ(gPendingEventTable.entry[0].type, 0);

    // A paint followed by a resize leaves the resize.
    InvalidateRect(client, nullptr, FALSE);
    UpdateWindow(client);
    EXPECT_EQ(gPendingEventTable.entry[0].type, kEventExpose);
    SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(gPendingEventTable.entry[0].type, kEventResize);
    GetClientRect(client, &cr);
    ASSERT_EQ(WaitEvent(m), kEventResize);
    EXPECT_EQ(m.value1, cr.right);
    EXPECT_EQ(m.value2, cr.bottom);
}

TEST_F(Events, NoExposeWhileSnapshotsActive)
{
    gWindowSystem.snapshotsActive = 1;
    InvalidateRect(client, nullptr, FALSE);
    UpdateWindow(client);
    gWindowSystem.snapshotsActive = 0;
    EXPECT_EQ(gCurrentEventSlot.type, 0);
    EXPECT_EQ(gPendingEventTable.entry[0].type, 0);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(client, &r, FALSE)) << "the paint was done from the snapshot";
}

TEST_F(Events, ClientTimerRepeatsFrameTimerFiresOnce)
{
    ASSERT_NE(TimerSet(60, 7, 1), 0);
    EventMessage m;
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_EQ(WaitEvent(m), kEventTimer) << "tick " << tick;
        EXPECT_EQ(m.value1, 7);
    }
    TimerSet(0, 7, 1);
    EventsDrain();

    ASSERT_NE(TimerSet(60, 8, 0), 0);
    ASSERT_EQ(WaitEvent(m), kEventTimer);
    EXPECT_EQ(m.value1, 8);
    EXPECT_EQ(m.window, 0);
    // No second tick: poll for one over several periods.
    bool again = PollUntil([] { return gCurrentEventSlot.type == kEventTimer; }, 400);
    EXPECT_FALSE(again);
}

TEST_F(Events, PeekReturnsMinusOneOnEmptyQueue)
{
    int type = 0, v1, v2, v3, v4, x, y, w, t;
    MessagePeek(type, v1, v2, v3, v4, x, y, w, t);
    EXPECT_EQ(type, -1);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    MessagePeek(type, v1, v2, v3, v4, x, y, w, t);
    EXPECT_EQ(type, kEventClose);
    EXPECT_EQ(w, 0);
}

// A push button and a field change in the same dispatch: the wait returns
// the button, the next wait the field change without taking a message.
void CALLBACK ButtonThenFieldChange(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    EventStore(kEventPushButton, 0, 0, 0, nullptr);
    EventStore(kEventFieldChanged, 0, 0, 77, nullptr);
}

TEST_F(Events, FieldChangeAfterAnotherEventIsDeferred)
{
    WMessageEnable(kEventFieldChanged, 1);
    SetTimer(nullptr, 0, 10, ButtonThenFieldChange);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventPushButton);
    EXPECT_EQ(gDeferredEventSlot.type, kEventFieldChanged);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitEvent(m), kEventFieldChanged);
    EXPECT_EQ(m.pixelY, 77);
    EXPECT_EQ(gDeferredEventSlot.type, 0);
    ASSERT_EQ(WaitEvent(m), kEventClose) << "the close request was still queued";

    // Disabled (the default), field changes never arrive.
    WMessageEnable(kEventFieldChanged, 0);
    SetTimer(nullptr, 0, 10, ButtonThenFieldChange);
    ASSERT_EQ(WaitEvent(m), kEventPushButton);
    EXPECT_EQ(gDeferredEventSlot.type, 0);
}

// An event raised while a message sent from another thread is handled ends
// the wait at once.
TEST_F(Events, SentMessageFromOtherThreadEndsWait)
{
    std::atomic<bool> done{false};
    HWND f = frame;
    std::thread sender([&] {
        while (!gCurrentEventSlot.inWait && !done)
            Sleep(1);
        DWORD_PTR result;
        SendMessageTimeoutA(f, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &result);
    });
    DWORD start = GetTickCount();
    EventMessage m;
    int type = WaitEvent(m, 4000);
    DWORD elapsed = GetTickCount() - start;
    done = true;
    sender.join();
    EXPECT_EQ(type, kEventClose);
    // How long the sent close took to end the wait: a figure, not a bound.
    std::printf("[ figure ] close sent from another thread ended the wait after %lu ms\n",
                static_cast<unsigned long>(elapsed));
}

} // namespace

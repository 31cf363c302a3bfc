#include "window_fixture.h"

#include <gtest/gtest.h>

#include "core/child_windows.h"
#include "core/errors.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"

namespace {

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
{
    EventStore(kEventTimer, 0, kWatchdogValue, 0, nullptr);
}

} // namespace

void MainWindowEnsure()
{
    if (gLibraryState.mainWindowOpen)
        return;
    WLibraryStart();
    int flags = kWindowFlagsDefault | kWindowStatusBar;
    int x = 40, y = 40, w = kMainClientWidth, h = kMainClientHeight, menu = 100;
    int bars[4] = {200, 0, 0, 201};
    WindowOpen(&flags, &x, &y, &w, &h, &menu, bars, nullptr, "Window tests");
    ASSERT_TRUE(gWindowTable.frame[0]);
    EventsDrain();
}

void EventsDrain()
{
    ReleaseCapture();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    gCurrentEventSlot.type = 0;
    gCurrentEventSlot.waiting = 0;
    gCurrentEventSlot.inWait = 0;
    for (auto& p : gPendingEventTable.entry)
        p.type = 0;
    gDeferredEventSlot.type = 0;
    EventEnableMaskDefaults();
    KeyState(false, false);
    gErrorState.lastCode = 0;
}

int WaitEvent(EventMessage& m, int timeoutMs)
{
    UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(timeoutMs), Watchdog);
    int type = 0;
    WMessageWait(type, m);
    KillTimer(nullptr, timer);
    return type;
}

bool WaitEventOfType(int type, EventMessage& m, int timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        int left = timeoutMs - static_cast<int>(GetTickCount() - start);
        if (left <= 0)
            return false;
        int t = WaitEvent(m, left);
        if (t == kEventTimer && m.value1 == kWatchdogValue)
            return false;
        if (t == type)
            return true;
    }
}

LPARAM KeyParam(UINT vk)
{
    return 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16);
}

void KeyState(bool shift, bool ctrl, bool numLock)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    auto set = [&](int vk, bool down) { keys[vk] = down ? 0x80 : 0; };
    set(VK_SHIFT, shift);
    set(VK_LSHIFT, shift);
    set(VK_CONTROL, ctrl);
    set(VK_LCONTROL, ctrl);
    set(VK_MENU, false);
    keys[VK_NUMLOCK] = numLock ? 0x01 : 0x00;
    SetKeyboardState(keys);
}

void ChildWindowsCloseAll()
{
    for (int n = kLastWindow; n >= 1; --n)
        if (gWindowTable.frame[n])
            WindowCloseChild(n);
}

// Shared set-up of the window-system tests: one main window for the whole
// program (shown, with menu 100, toolbar 200 at the top, toolbar 201 at the
// bottom and a status bar), a bounded event wait and queue draining.
#pragma once

#include <windows.h>

#include "core/events.h"

// Client size of the main window the tests open.
constexpr int kMainClientWidth = 500;
constexpr int kMainClientHeight = 300;

// Opens the main window once (later calls do nothing).
void MainWindowEnsure();
// Empties the message queue, the current slot, the pending and deferred
// events, and puts the enable mask back to its defaults.
void EventsDrain();
// WMessageWait bounded by a watchdog: when nothing arrives within TIMEOUTMS a
// timer event with value1 kWatchdogValue is returned instead.
constexpr int kWatchdogValue = 0x5EED;
int WaitEvent(EventMessage& m, int timeoutMs = 5000);
// Waits until an event of TYPE arrives (others are skipped); false on watchdog.
bool WaitEventOfType(int type, EventMessage& m, int timeoutMs = 5000);
// lParam of a key message for virtual key VK.
LPARAM KeyParam(UINT vk);
// Sets the thread's keyboard state: Shift, Ctrl and Num Lock as given.
void KeyState(bool shift, bool ctrl, bool numLock = false);
// Closes every child window 1..50 that is open.
void ChildWindowsCloseAll();

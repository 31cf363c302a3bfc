// Shared set-up of the dialog-manager tests: a clean dialog table before and
// after each test, loading from the test resources, showing a dialog, and
// reading events through the library's own wait with a watchdog, so that a
// missing event fails the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "core/errors.h"
#include "core/events.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/message_box.h"
#include "support/poll.h"

// Value1 of the timer event the watchdog stores when no event came in time.
constexpr int kWatchdogId = 0x5EED;

struct SeenEvent {
    int type = 0;
    EventMessage m{};
};

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ControlClassesEnsure();
        EventEnableMaskDefaults();
        DialogTableDestroyAll();
        gErrorState = ErrorState{};
        Drain();
    }
    void TearDown() override
    {
        DialogTableDestroyAll();
        gActiveDialog = nullptr;
        EventEnableMaskDefaults();
        Drain();
    }

    static void Drain()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // Loads RESOURCE (as IDENT when given) and returns the current dialog.
    static HWND Load(int resource, int ident = 0)
    {
        if (ident)
            WDialogLoad(resource, &ident);
        else
            WDialogLoad(resource);
        return DialogCurrentWindow();
    }

    // Shows DIALOG as the active window (the show routines are not the
    // subject here).
    static void Show(HWND dialog)
    {
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        SetActiveWindow(dialog);
        PollUntil([dialog] { return GetActiveWindow() == dialog; }, 5000);
        Drain();
        gActiveDialog = dialog;
    }

    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
    {
        EventStore(kEventTimer, 0, kWatchdogId, 0, nullptr);
    }

    // The next event from WMessageWait, or a timer event kWatchdogId.
    static SeenEvent Next(int timeoutMs = 5000)
    {
        UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(timeoutMs), Watchdog);
        SeenEvent e;
        WMessageWait(e.type, e.m);
        KillTimer(nullptr, timer);
        return e;
    }

    static std::string Describe(const SeenEvent& e)
    {
        return "type " + std::to_string(e.type) + " window " + std::to_string(e.m.window) + " values " +
               std::to_string(e.m.value1) + ", " + std::to_string(e.m.value2);
    }

    static std::string Text(HWND w)
    {
        char buf[512] = {};
        SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
};

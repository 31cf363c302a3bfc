// The dialog tests that need the window system: the library started and its
// main window open for each test, and shut down again after it, so that the
// tests without windows see none.
#pragma once

#include <cstdio>

#include "core/child_windows.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "support/dialog_fixture.h"
#include "dialogs/dialog_show.h"
#include "modal_pilot.h"

class WindowedDialogs : public DialogFixture {
protected:
    static constexpr int kMainWidth = 400;
    static constexpr int kMainHeight = 250;

    void SetUp() override
    {
        WLibraryStart();
        int flags = kWindowFlagsDefault, x = 700, y = 40, w = kMainWidth, h = kMainHeight;
        WindowOpen(&flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "Dialog tests");
        ASSERT_TRUE(gWindowTable.frame[0]);
        DialogFixture::SetUp();
        gErrorState = ErrorState{};
    }
    void TearDown() override
    {
        DialogFixture::TearDown();
        WLibraryShutdown();
        gWindowSystem.semiModelessCount = 0;
        gWindowSystem.semiModelessDialog = nullptr;
        gWindowSystem.lastActiveFrame = nullptr;
        Drain();
    }

    // The next event that is not an expose or resize of a window.
    static SeenEvent NextOfDialogs(int timeoutMs = 5000)
    {
        SeenEvent e = Next(timeoutMs);
        for (int guard = 0; guard < 50 && (e.type == kEventExpose || e.type == kEventResize); ++guard)
            e = Next(timeoutMs);
        return e;
    }
    // A popup child window with client W x H at screen (X, Y); its number.
    static int Popup(int w, int h, int x, int y)
    {
        int n = -1, flags = kWindowFlagsDefault;
        WindowOpenChild(n, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "popup");
        return n;
    }
    // WDialogShow with every argument given.
    static void ShowAt(int x, int y, int type, int focus = 0) { WDialogShow(&x, &y, &focus, &type); }

    static bool Enabled(HWND w) { return IsWindowEnabled(w) != 0; }
};

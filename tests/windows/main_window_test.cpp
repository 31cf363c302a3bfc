// The main window opened with defaults and hidden, a second opening, and the
// shut-down of the window system.
#include <gtest/gtest.h>

#include "core/events.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "window_fixture.h"

namespace {

void CloseAllWindows()
{
    AllWindowsDestroy();
    gLibraryState.mainWindowOpen = 0;
}

TEST(MainWindow, HiddenWithDefaultsThenDestroyed)
{
    MainWindowEnsure();
    CloseAllWindows();
    for (int n = 0; n <= kLastWindow; ++n)
        ASSERT_EQ(gWindowTable.frame[n], nullptr);

    int flags = kWindowFlagsDefault | kWindowHidden;
    int ncol = 20;
    WindowOpen(&flags, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "hidden   ", &ncol);
    HWND frame = gWindowTable.frame[0];
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_NE(gLibraryState.mainWindowOpen, 0);
    EXPECT_EQ(gLibraryState.windowFlags[0], flags);
    char title[32] = {};
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "hidden");
    LONG style = GetWindowLongA(frame, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_EQ(gWindowTable.statusBar[0], nullptr);

    int sw = gLibraryState.screenWidth, sh = gLibraryState.screenHeight;
    RECT cr, fr;
    GetClientRect(gWindowTable.client[0], &cr);
    GetWindowRect(frame, &fr);
    EXPECT_EQ(cr.right, sw * 8 / 10);
    EXPECT_EQ(cr.bottom, sh * 8 / 10);
    EXPECT_EQ(fr.left, (sw - (fr.right - fr.left)) / 2);
    EXPECT_EQ(fr.top, (sh - (fr.bottom - fr.top)) / 2);

    // A second opening changes nothing.
    int other = kWindowFlagsDefault;
    WindowOpen(&other);
    EXPECT_EQ(gWindowTable.frame[0], frame);

    // Focus on the hidden main window's client does not show it.
    SetFocus(gWindowTable.client[0]);
    EXPECT_FALSE(IsWindowVisible(frame));

    WMessageEnable(kEventMouseMove, 1);
    CloseAllWindows();
    EXPECT_FALSE(IsWindow(frame));
    for (int n = 0; n <= kLastWindow; ++n) {
        EXPECT_EQ(gWindowTable.frame[n], nullptr);
        EXPECT_EQ(gWindowTable.client[n], nullptr);
        EXPECT_EQ(gWindowTable.statusBar[n], nullptr);
    }
    int flag = -1;
    EventTypeEnabled(kEventMouseMove, flag);
    EXPECT_EQ(flag, 0) << "the mask is back at its defaults";
    MainWindowEnsure();
    EXPECT_TRUE(IsWindowVisible(gWindowTable.frame[0]));
}

TEST(MainWindow, CentredWindowMovesUpByHalfTheBars)
{
    MainWindowEnsure();
    CloseAllWindows();
    auto openAt = [](int flags, const int* bars) {
        int w = 400, h = 200;
        WindowOpen(&flags, nullptr, nullptr, &w, &h, nullptr, bars);
        RECT fr;
        GetWindowRect(gWindowTable.frame[0], &fr);
        RECT cr;
        GetClientRect(gWindowTable.client[0], &cr);
        EXPECT_EQ(cr.right, 400);
        EXPECT_EQ(cr.bottom, 200);
        return fr;
    };
    RECT plain = openAt(kWindowFlagsDefault | kWindowHidden, nullptr);
    CloseAllWindows();
    int bars[4] = {200, 0, 0, 0};
    RECT barred = openAt(kWindowFlagsDefault | kWindowHidden | kWindowStatusBar, bars);
    int grown = (barred.bottom - barred.top) - (plain.bottom - plain.top);
    int topHeight = gWindowTable.toolbarExtents[0][kToolbarTop];
    RECT s;
    GetWindowRect(gWindowTable.statusBar[0], &s);
    EXPECT_EQ(grown, topHeight + (s.bottom - s.top));
    EXPECT_EQ(plain.top - barred.top, topHeight / 2 + (s.bottom - s.top) / 2);
    EXPECT_EQ(barred.left, plain.left);
    CloseAllWindows();
    MainWindowEnsure();
}

} // namespace

// Child and split windows: numbering, limits, geometry inside a parent,
// errors, closing cascades, splitter layout and dragging, and object counts
// over many openings.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/child_windows.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/split_windows.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "window_fixture.h"
#include "support/poll.h"
#include "support/window_count.h"

namespace {

class ChildWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        MainWindowEnsure();
        ChildWindowsCloseAll();
        EventsDrain();
    }
    void TearDown() override
    {
        ChildWindowsCloseAll();
        EventsDrain();
    }
    // A popup child with client size W x H at (X, Y); its number.
    static int Popup(int w, int h, int flags = kWindowFlagsDefault, int x = 100, int y = 100)
    {
        int n = -1;
        WindowOpenChild(n, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "popup");
        return n;
    }
    static int Inside(int parent, int x, int y, int w, int h, int flags = kWindowFlagsDefault | kWindowInsideParent)
    {
        int n = -1;
        WindowOpenChild(n, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "inside", &parent);
        return n;
    }
    static RECT RectInParent(HWND w)
    {
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

TEST_F(ChildWindows, FiftyOpenTheFiftyFirstFailsWithoutReport)
{
    int flags = kWindowFlagsDefault | kWindowHidden;
    for (int i = 1; i <= 50; ++i)
        ASSERT_EQ(Popup(120, 80, flags), i);
    gErrorState.lastCode = 0;
    EXPECT_EQ(Popup(120, 80, flags), -1);
    EXPECT_EQ(gErrorState.lastCode, 0);
    // The lowest free number is given first.
    WindowCloseChild(7);
    WindowCloseChild(3);
    EXPECT_EQ(gWindowTable.frame[3], nullptr);
    EXPECT_EQ(Popup(120, 80, flags), 3);
    EXPECT_EQ(Popup(120, 80, flags), 7);
}

TEST_F(ChildWindows, ClientSizeAndFlagsRecorded)
{
    int n = Popup(321, 123, kWindowFlagsDefault | kWindowStatusBar);
    ASSERT_GT(n, 0);
    RECT r;
    GetClientRect(gWindowTable.client[n], &r);
    EXPECT_EQ(r.right, 321);
    EXPECT_EQ(r.bottom, 123);
    EXPECT_NE(gWindowTable.statusBar[n], nullptr);
    EXPECT_EQ(gLibraryState.windowFlags[n], kWindowFlagsDefault | kWindowStatusBar);
    EXPECT_EQ(gLibraryState.currentWindow, n);
    EXPECT_EQ(YYWindowInfo(1), 321);
    EXPECT_EQ(YYWindowInfo(2), 123);
    EXPECT_EQ(YYWindowInfo(4), n);
    EXPECT_EQ(YYWindowInfo(9), 1);
    EXPECT_EQ(YYWindowInfo(99), 0);
}

TEST_F(ChildWindows, InsideChildPositionAndSizeInNormalUnits)
{
    int parent = Popup(1001, 400);
    ASSERT_GT(parent, 0);
    int n = Inside(parent, 9999, 0, 8000, 5000, kWindowFlagsDefault | kWindowInsideParent | kWindowFixedSize);
    ASSERT_GT(n, 0);
    HWND f = gWindowTable.frame[n];
    EXPECT_EQ(GetParent(f), gWindowTable.client[parent]);
    EXPECT_EQ(RectInParent(f).left, 1000);
    RECT cr;
    GetClientRect(gWindowTable.client[n], &cr);
    EXPECT_EQ(cr.right, 800);
    EXPECT_EQ(cr.bottom, 400 * 5000 / 9999);
    EXPECT_EQ(gLibraryState.currentWindow, n);
    EXPECT_EQ(YYWindowInfo(5), static_cast<int>((1000 + 0.5) * 9999 / 1001)) << "0..9999 of the parent";
    EXPECT_EQ(YYWindowInfo(6), static_cast<int>(0.5 * 9999 / 400));
    EXPECT_EQ(gLibraryState.currentWindow, n) << "the window that was current is current again";
    // Far out-of-range units are converted in 64 bits, not wrapped.
    int big = Inside(parent, 0, 0, 2000000000, 100);
    ASSERT_GT(big, 0);
    RECT br;
    GetWindowRect(gWindowTable.frame[big], &br);
    EXPECT_GT(br.right - br.left, 0);
}

TEST_F(ChildWindows, MaximisedInsideChildRestoresItsRectangle)
{
    int parent = Popup(600, 400);
    int n = Inside(parent, 1000, 1000, 4000, 4000);
    ASSERT_GT(n, 0);
    HWND f = gWindowTable.frame[n];
    RECT before = RectInParent(f);
    ShowWindow(f, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(f));
    EXPECT_NE(gWindowTable.savedPlacement[n][0], kNoPlacement);
    ShowWindow(f, SW_RESTORE);
    RECT after = RectInParent(f);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(gWindowTable.savedPlacement[n][0], kNoPlacement);
}

// Bringing the current window to the front: an inside child comes up with
// every frame that encloses it, above the windows that covered them, is
// enabled and gets the focus.
TEST_F(ChildWindows, ToFrontRaisesTheWindowAndTheFramesAroundIt)
{
    int parent = Popup(400, 300, kWindowFlagsDefault, 100, 100);
    int n = Inside(parent, 1000, 1000, 5000, 5000);
    int sibling = Inside(parent, 1500, 1500, 5000, 5000);
    int cover = Popup(400, 300, kWindowFlagsDefault, 150, 150);
    ASSERT_GT(n, 0);
    ASSERT_GT(sibling, 0);
    ASSERT_GT(cover, 0);
    HWND f = gWindowTable.frame[n];
    // Whether A lies above B among their siblings.
    auto above = [](HWND a, HWND b) {
        for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == b)
                return true;
        return false;
    };
    ASSERT_TRUE(above(gWindowTable.frame[cover], gWindowTable.frame[parent]));
    ASSERT_TRUE(above(gWindowTable.frame[sibling], f));
    EnableWindow(f, FALSE);
    gWindowSystem.currentWindow = n;
    WindowToFront();
    EXPECT_TRUE(above(gWindowTable.frame[parent], gWindowTable.frame[cover]));
    EXPECT_TRUE(above(f, gWindowTable.frame[sibling]));
    EXPECT_TRUE(IsWindowEnabled(f));
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == f || IsChild(f, focus)) << "the focus went to " << focus;
}

TEST_F(ChildWindows, ParentErrorsAndInvalidClose)
{
    struct Case {
        int parent;
        int code;
        const char* what;
    } cases[] = {
        {Popup(200, 100, kWindowFlagsDefault | kWindowHidden), 1016, "hidden parent"},
        {42, 1003, "parent not open"},
    };
    for (const Case& c : cases) {
        gErrorState.lastCode = 0;
        EXPECT_EQ(Inside(c.parent, 0, 0, 5000, 5000), -1) << c.what;
        EXPECT_EQ(gErrorState.lastCode, c.code) << c.what;
    }
    gErrorState.lastCode = 0;
    WindowCloseChild(49);
    EXPECT_EQ(gErrorState.lastCode, 1003);
    gErrorState.lastCode = 0;
    WindowCloseChild(0);
    EXPECT_EQ(gErrorState.lastCode, 1003) << "the main window is no child window";
    EXPECT_TRUE(IsWindow(gWindowTable.frame[0]));
}

TEST_F(ChildWindows, ContentsDialogProblemsLeaveWindowOpen)
{
    struct Case {
        int dialog;
        int status;
        int code;
    } cases[] = {{999, -1, 1007}, {301, -2, 1045}};
    for (const Case& c : cases) {
        gErrorState.lastCode = 0;
        int n = -1, flags = kWindowFlagsDefault, w = 200, h = 100, d = c.dialog;
        WindowOpenChild(n, &flags, nullptr, nullptr, &w, &h, nullptr, nullptr, &d, "dialog");
        EXPECT_GT(n, 0) << c.dialog;
        EXPECT_EQ(d, c.status) << c.dialog;
        EXPECT_EQ(gErrorState.lastCode, c.code) << c.dialog;
        EXPECT_EQ(WindowRecordTypeOf(gWindowTable.frame[n]), 0);
    }
}

TEST_F(ChildWindows, ClosingCascadesToInsideAndOwnedWindows)
{
    int a = Popup(400, 300);
    int inside = Inside(a, 100, 100, 4000, 4000);
    int nested = Inside(inside, 0, 0, 5000, 5000);
    int owned = -1, flags = kWindowFlagsDefault | kWindowOwned, parentA = a;
    WindowOpenChild(owned, &flags, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "owned",
                    &parentA);
    int insideOwned = Inside(owned, 0, 0, 5000, 5000);
    int other = Popup(100, 100);
    ASSERT_TRUE(a > 0 && inside > 0 && nested > 0 && owned > 0 && insideOwned > 0 && other > 0);
    EXPECT_EQ(gLibraryState.currentWindow, other);
    HWND frames[] = {gWindowTable.frame[a], gWindowTable.frame[inside], gWindowTable.frame[nested],
                     gWindowTable.frame[owned], gWindowTable.frame[insideOwned]};
    WindowCloseChild(a);
    for (int n : {a, inside, nested, owned, insideOwned}) {
        EXPECT_EQ(gWindowTable.frame[n], nullptr) << n;
        EXPECT_EQ(gWindowTable.client[n], nullptr) << n;
    }
    for (HWND f : frames)
        EXPECT_FALSE(IsWindow(f));
    EXPECT_TRUE(IsWindow(gWindowTable.frame[other]));
    EXPECT_EQ(gLibraryState.currentWindow, other) << "the current window stays";
    WindowCloseChild(other);
    EXPECT_EQ(gLibraryState.windowFlags[other], -1) << "the closed window was current";
    EXPECT_EQ(gLibraryState.currentWindow, 0);
}

// GetGuiResources gives the counts on Windows (Wine answers 0); the thread's
// windows and the handles each opening creates are checked as well.
TEST_F(ChildWindows, OpenCloseThousandLeavesObjectCountsUnchanged)
{
    HANDLE self = GetCurrentProcess();
    int leakedHandles = 0;
    auto cycle = [&] {
        int n = Popup(150, 100, kWindowFlagsDefault | kWindowStatusBar | kWindowHidden);
        int bg = 0x336699, flags = kWindowFlagsDefault | kWindowHidden, w = 80, h = 60, menu = 100;
        int bars[4] = {200, 0, 0, 0};
        int m = -1;
        WindowOpenChild(m, &flags, nullptr, nullptr, &w, &h, &menu, bars, nullptr, "m", nullptr, &bg);
        if (n <= 0 || m <= 0)
            return false;
        HBRUSH brush = gWindowTable.backgroundBrush[m];
        HMENU hmenu = gWindowTable.menu[m];
        int tip = 101;
        gWindowSystem.currentWindow = m;
        ToolTipSet(tip, "tip", 4);
        WindowCloseChild(m);
        WindowCloseChild(n);
        if (!brush || GetObjectType(brush) != 0)
            ++leakedHandles;
        if (!hmenu || IsMenu(hmenu))
            ++leakedHandles;
        if (gWindowTable.toolTips[m] || gWindowTable.menuHelpCount[m])
            ++leakedHandles;
        return true;
    };
    ASSERT_TRUE(cycle());
    DWORD gdi0 = GetGuiResources(self, GR_GDIOBJECTS);
    DWORD user0 = GetGuiResources(self, GR_USEROBJECTS);
    int windows0 = ThreadWindowCount();
    DWORD start = GetTickCount();
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(cycle()) << i;
    DWORD ms = GetTickCount() - start;
    DWORD gdi1 = GetGuiResources(self, GR_GDIOBJECTS);
    DWORD user1 = GetGuiResources(self, GR_USEROBJECTS);
    int windows1 = ThreadWindowCount();
    std::printf("1000 child windows opened and closed in %lu ms; GDI objects %lu -> %lu, USER objects %lu -> %lu, "
                "thread windows %d -> %d\n",
                static_cast<unsigned long>(ms), static_cast<unsigned long>(gdi0), static_cast<unsigned long>(gdi1),
                static_cast<unsigned long>(user0), static_cast<unsigned long>(user1), windows0, windows1);
    EXPECT_EQ(gdi1, gdi0);
    EXPECT_EQ(user1, user0);
    EXPECT_EQ(windows1, windows0);
    EXPECT_EQ(leakedHandles, 0);
}

class SplitWindows : public ChildWindows {
protected:
    // Divides a new popup of client W x H; returns its number, PANES the panes.
    int Divide(int w, int h, int options, int size, int panes[2], const int paneFlags[2] = nullptr)
    {
        int c = Popup(w, h);
        EXPECT_GT(c, 0);
        static const int noFlags[2] = {0, 0};
        int menus[2] = {0, 0};
        int bars[2][4] = {};
        int dialogs[2] = {0, 0};
        int colours[2] = {-1, -1};
        SplitWindowCreate(panes, options, paneFlags ? paneFlags : noFlags, size, menus, bars, dialogs, colours,
                          "left", "right");
        return c;
    }
    static int ClientWidth(int n)
    {
        RECT r;
        GetClientRect(gWindowTable.client[n], &r);
        return r.right;
    }
    static int ClientHeight(int n)
    {
        RECT r;
        GetClientRect(gWindowTable.client[n], &r);
        return r.bottom;
    }
};

TEST_F(SplitWindows, EvenVerticalSplitAndClosingOnePaneUndoesIt)
{
    int panes[2];
    int c = Divide(400, 300, 0, -1, panes);
    ASSERT_GT(panes[0], 0);
    ASSERT_GT(panes[1], 0);
    auto* s = WindowRecordAs<SplitRecord>(gWindowTable.frame[c], kRecordSplit);
    ASSERT_NE(s, nullptr);
    int bar = GetSystemMetrics(SM_CXFRAME);
    RECT p0 = RectInParent(gWindowTable.frame[panes[0]]);
    RECT p1 = RectInParent(gWindowTable.frame[panes[1]]);
    RECT b = RectInParent(s->bar);
    EXPECT_EQ(p0.left, 0);
    EXPECT_EQ(b.left, p0.right);
    EXPECT_EQ(b.right - b.left, bar);
    EXPECT_EQ(p1.left, b.right);
    EXPECT_EQ(p1.right, 400);
    EXPECT_LE(std::abs((p0.right - p0.left) - (p1.right - p1.left)), 1);
    EXPECT_EQ(p0.bottom, 300);
    EXPECT_EQ(YYWindowInfo(10), kRecordSplit) << "the divided window is current";

    // Dividing again, or dividing a window with windows inside, is refused.
    int again[2];
    int menus[2] = {0, 0}, bars[2][4] = {}, dialogs[2] = {0, 0}, colours[2] = {-1, -1}, flags[2] = {0, 0};
    gWindowSystem.currentWindow = c;
    SplitWindowCreate(again, 0, flags, -1, menus, bars, dialogs, colours, "", "");
    EXPECT_EQ(again[0], -4);
    EXPECT_EQ(again[1], -4);

    WindowCloseChild(panes[1]);
    EXPECT_EQ(gWindowTable.frame[panes[0]], nullptr);
    EXPECT_EQ(gWindowTable.frame[panes[1]], nullptr);
    EXPECT_TRUE(IsWindow(gWindowTable.frame[c]));
    EXPECT_EQ(WindowRecordTypeOf(gWindowTable.frame[c]), 0);
}

TEST_F(SplitWindows, ProportionalSplitSharesGrowthByExtents)
{
    int panes[2];
    int c = Divide(400, 200, kSplitProportional, 200, panes);
    ASSERT_GT(panes[0], 0);
    auto* s = WindowRecordAs<SplitRecord>(gWindowTable.frame[c], kRecordSplit);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(ClientWidth(panes[0]), 200);
    s->paneExtent[0] = 200;
    s->paneExtent[1] = 100;
    int w0 = ClientWidth(panes[0]), w1 = ClientWidth(panes[1]);
    RECT fr;
    GetWindowRect(gWindowTable.frame[c], &fr);
    SetWindowPos(gWindowTable.frame[c], nullptr, 0, 0, fr.right - fr.left + 30, fr.bottom - fr.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    int room = (w0 + w1 + 30);
    int expected0 = room * 200 / 300;
    EXPECT_EQ(ClientWidth(panes[0]), expected0);
    EXPECT_EQ(ClientWidth(panes[1]), room - expected0);
}

TEST_F(SplitWindows, BarDragStaysOnItsAxisAndPanesFollow)
{
    int panes[2];
    int c = Divide(400, 200, 0, 150, panes);
    ASSERT_GT(panes[0], 0);
    auto* s = WindowRecordAs<SplitRecord>(gWindowTable.frame[c], kRecordSplit);
    ASSERT_NE(s, nullptr);
    HWND bar = s->bar;
    EXPECT_EQ(SendMessageA(bar, WM_NCHITTEST, 0, 0), HTCAPTION);
    SendMessageA(bar, WM_ENTERSIZEMOVE, 0, 0);
    RECT b = RectInParent(bar);
    EXPECT_EQ(s->dragAnchor, b.top);
    RECT proposed;
    GetWindowRect(bar, &proposed);
    OffsetRect(&proposed, 40, 25);
    SendMessageA(bar, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
    RECT now;
    GetWindowRect(bar, &now);
    EXPECT_EQ(proposed.top, now.top) << "a vertical bar moves only left and right";
    EXPECT_EQ(proposed.left, now.left + 40);
    SetWindowPos(bar, nullptr, b.left + 40, b.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(bar, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(s->dragAnchor, kNoPlacement);
    RECT p0 = RectInParent(gWindowTable.frame[panes[0]]);
    RECT p1 = RectInParent(gWindowTable.frame[panes[1]]);
    EXPECT_EQ(p0.right, b.left + 40);
    EXPECT_EQ(p1.left, b.right + 40);
    EXPECT_EQ(p1.right, 400);
    EXPECT_EQ(s->paneExtent[0], ClientWidth(panes[0]));
}

// Real input, as a user gives it from outside the program: the mouse moved
// to screen point P, its left button pressed or released.
void MouseTo(POINT p)
{
    SetCursorPos(p.x, p.y);
}
void LeftButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}
// Polls COND from a thread that has no windows (the program's thread pumps
// meanwhile) until it holds or TIMEOUTMS have passed.
bool WaitFromOutside(const std::function<bool()>& cond, int timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!cond()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return false;
        SwitchToThread();
    }
    return true;
}

// The bar dragged with the mouse, with and without the system's "show window
// contents while dragging": the panes follow the bar on every move, the bar
// stays on its axis, and the pane extents are those of the new panes. The
// mouse is driven from a thread of its own while the program's thread runs
// its message loop, so that a drag loop that waits for the mouse cannot
// stall the test.
TEST_F(SplitWindows, MouseDragMovesThePanesOnEveryMoveWhateverTheDragSetting)
{
    BOOL original = FALSE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &original, 0));
    for (BOOL full : {FALSE, TRUE}) {
        SCOPED_TRACE(full ? "DragFullWindows 1" : "DragFullWindows 0");
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0));
        BOOL now = !full;
        SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &now, 0);
        ASSERT_EQ(now, full);
        for (int options : {0, static_cast<int>(kSplitHorizontal)}) {
            SCOPED_TRACE(options ? "horizontal bar" : "vertical bar");
            const bool h = options == kSplitHorizontal;
            int panes[2];
            int c = Divide(400, 300, options, 120, panes);
            ASSERT_GT(panes[0], 0);
            auto* s = WindowRecordAs<SplitRecord>(gWindowTable.frame[c], kRecordSplit);
            ASSERT_NE(s, nullptr);
            const HWND bar = s->bar, frame0 = gWindowTable.frame[panes[0]], frame1 = gWindowTable.frame[panes[1]];
            const RECT b0 = RectInParent(bar);
            RECT screen;
            GetWindowRect(bar, &screen);
            const POINT grab{(screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2};

            // What the mouse thread saw after each move: bar, pane 0, pane 1.
            struct Step {
                int by;
                bool followed = false;
                RECT b{}, p0{}, p1{};
            };
            std::vector<Step> steps = {{40}, {90}, {60}};
            std::atomic<bool> done{false};
            bool grabbed = false;
            std::thread mouse([&] {
                MouseTo(grab);
                grabbed = WaitFromOutside([&] {
                    POINT p;
                    return GetCursorPos(&p) && p.x == grab.x && p.y == grab.y;
                });
                LeftButton(true);
                for (Step& step : steps) {
                    // Moved along the axis and across it: only the first counts.
                    POINT to = grab;
                    (h ? to.y : to.x) += step.by;
                    (h ? to.x : to.y) += 15;
                    MouseTo(to);
                    step.followed = WaitFromOutside([&] {
                        step.b = RectInParent(bar);
                        step.p0 = RectInParent(frame0);
                        step.p1 = RectInParent(frame1);
                        int at = h ? step.b.top : step.b.left;
                        return at == (h ? b0.top : b0.left) + step.by && (h ? step.p0.bottom : step.p0.right) == at &&
                               (h ? step.p1.top : step.p1.left) == (h ? step.b.bottom : step.b.right);
                    });
                }
                LeftButton(false);
                done = true;
            });
            EXPECT_TRUE(PollUntil([&] { return done.load(); }, 60000));
            mouse.join();
            ASSERT_TRUE(grabbed);
            for (const Step& step : steps) {
                SCOPED_TRACE(step.by);
                EXPECT_TRUE(step.followed) << "bar at " << step.b.left << "," << step.b.top << "; pane 0 ends at "
                                           << (h ? step.p0.bottom : step.p0.right) << ", pane 1 starts at "
                                           << (h ? step.p1.top : step.p1.left);
                EXPECT_EQ(h ? step.b.left : step.b.top, h ? b0.left : b0.top) << "the bar stays on its axis";
                EXPECT_EQ(h ? step.p1.bottom : step.p1.right, h ? 300 : 400);
            }
            EXPECT_TRUE(PollUntil([&] { return s->dragAnchor == kNoPlacement; })) << "the drag ends";
            EXPECT_EQ(GetCapture(), nullptr);
            EXPECT_EQ(s->paneExtent[0], h ? ClientHeight(panes[0]) : ClientWidth(panes[0]));
            EXPECT_EQ(s->paneExtent[1], h ? ClientHeight(panes[1]) : ClientWidth(panes[1]));
            WindowCloseChild(c);
        }
    }
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
}

TEST_F(SplitWindows, BarNextToFixedPaneCannotBeDragged)
{
    int panes[2];
    int flags[2] = {kWindowFixedSize, 0};
    int c = Divide(300, 200, kSplitHorizontal, 80, panes, flags);
    ASSERT_GT(panes[0], 0);
    auto* s = WindowRecordAs<SplitRecord>(gWindowTable.frame[c], kRecordSplit);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SplitPaneFixed(s, 0, 1), 1);
    EXPECT_EQ(SplitPaneFixed(s, 0, 0), 0);
    EXPECT_EQ(SendMessageA(s->bar, WM_NCHITTEST, 0, 0), HTBORDER);
    RECT p0 = RectInParent(gWindowTable.frame[panes[0]]);
    RECT b = RectInParent(s->bar);
    EXPECT_EQ(b.top, p0.bottom) << "a horizontal bar lies below pane 0";
    EXPECT_EQ(b.right, 300);
}

TEST_F(SplitWindows, ClosingTheDividedWindowClosesItsPanes)
{
    int panes[2];
    int c = Divide(300, 200, kSplitHorizontal, -1, panes);
    ASSERT_GT(panes[0], 0);
    HWND bar = WindowRecordAs<SplitRecord>(gWindowTable.frame[c], kRecordSplit)->bar;
    WindowCloseChild(c);
    for (int n : {c, panes[0], panes[1]})
        EXPECT_EQ(gWindowTable.frame[n], nullptr) << n;
    EXPECT_FALSE(IsWindow(bar));
}

TEST_F(SplitWindows, RefusedWhenWindowsInside)
{
    int c = Popup(300, 200);
    ASSERT_GT(Inside(c, 0, 0, 3000, 3000), 0);
    gWindowSystem.currentWindow = c;
    int panes[2], flags[2] = {0, 0}, menus[2] = {0, 0}, bars[2][4] = {}, dialogs[2] = {0, 0}, colours[2] = {-1, -1};
    SplitWindowCreate(panes, 0, flags, -1, menus, bars, dialogs, colours, "", "");
    EXPECT_EQ(panes[0], -6);
    EXPECT_EQ(panes[1], -6);
}

// Child process: every main frame creation is refused by a CBT hook; the
// fatal box is closed by a helper thread that records its text.
LRESULT CALLBACK RefuseFrames(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if (!IS_INTRESOURCE(cbt->lpcs->lpszClass) && lstrcmpiA(cbt->lpcs->lpszClass, "QUILLODRANE") == 0)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Finds the fatal box, writes its text to the file named by P and answers it.
DWORD WINAPI FatalBoxAnswer(LPVOID p)
{
    const char* path = static_cast<const char*>(p);
    for (;;) {
        HWND box = FindWindowA(nullptr, "Quillodrane Window");
        if (box) {
            char text[200] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD done;
            WriteFile(f, text, lstrlenA(text), &done, nullptr);
            CloseHandle(f);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
}

TEST(FatalBox, WindowCreationFailureEndsProcessWithNonZeroCode)
{
    const char* marker = std::getenv("QUIL_FATAL_CHILD");
    if (marker) {
        // In the child: answer the box from a helper thread, then fail.
        static std::string path;
        path = marker;
        CreateThread(nullptr, 0, FatalBoxAnswer, path.data(), 0, nullptr);
        SetWindowsHookExA(WH_CBT, RefuseFrames, nullptr, GetCurrentThreadId());
        int flags = kWindowFlagsDefault | kWindowHidden;
        WindowOpen(&flags);
        std::_Exit(0); // not reached when the box ended the process
    }
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string out = std::string(temp) + "quil_fatal_box.txt";
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("QUIL_FATAL_CHILD", out.c_str());
    std::string cmd = std::string("\"") + exe + "\" --gtest_filter=FatalBox.*";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    SetEnvironmentVariableA("QUIL_FATAL_CHILD", nullptr);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_NE(code, 0u);
    HANDLE f = CreateFileA(out.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << "the fatal box was not shown";
    char text[200] = {};
    DWORD got = 0;
    ReadFile(f, text, sizeof text - 1, &got, nullptr);
    CloseHandle(f);
    DeleteFileA(out.c_str());
    EXPECT_STREQ(text, "Failed to create window - aborting.");
}

} // namespace

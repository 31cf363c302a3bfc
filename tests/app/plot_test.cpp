// Plot windows and the plot refresh with the library running, as the program
// runs it: the main window hidden, plot windows as popup child windows. The
// drawing is seen through a recording device driver.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "charts/graph_state.h"
#include "core/child_windows.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "graphics/device_ops.h"
#include "graphics/device_recorder.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "support/box_autopilot.h"
#include "support/reference_image.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace {

using SM = SplineModule;

class PlotTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "kestrow_plot_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        if (gLibraryState.mainWindowOpen)
            return;
        WLibraryStart();
        const int hidden = 128;
        WindowOpen(&hidden);
    }
    void SetUp() override
    {
        ASSERT_TRUE(gWindowTable.frame[0]);
        CloseAll();
        char old[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        SplineModuleInit();
        KnotVectorBuild();
        ASSERT_EQ(SplineTabulate(), kTabulateOk);
        gKestrowApp = KestrowAppState{};
        gKestrowApp.windowtitle = FixedText<100>(kPlotWindowTitle);
        gPlotState = PlotState{};
        gErrorState.lastCode = 0;
    }
    void TearDown() override
    {
        CloseAll();
        SetCurrentDirectoryA(oldDir_.c_str());
    }
    static void CloseAll()
    {
        PlotWindowList& list = gPlotWindowList;
        while (list.count > 0)
            PlotWindowRemove(list.window[list.count - 1]);
    }
    std::vector<int> Listed() const
    {
        return std::vector<int>(gPlotWindowList.window.begin(), gPlotWindowList.window.begin() + gPlotWindowList.count);
    }

    static std::string folder_;
    std::string oldDir_;
};
std::string PlotTest::folder_;

// Three windows at (230, 10) with a client of 750 x 600 and the caption; a
// fourth is refused with the box; removing the middle keeps the order; a
// close request for the main window only sets the flag; a new window gets
// the lowest free number.
TEST_F(PlotTest, WindowListAndCloseRequests)
{
    int win = -7;
    for (int i = 0; i < 3; ++i)
        PlotWindowOpen(win, kPlotWindowTitle);
    ASSERT_EQ(Listed(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(win, 3);
    HWND frame = gWindowTable.frame[1];
    ASSERT_TRUE(frame);
    RECT r{}, c{};
    GetWindowRect(frame, &r);
    GetClientRect(gWindowTable.client[1], &c);
    EXPECT_EQ(r.left, 230);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(c.right - c.left, 750);
    EXPECT_EQ(c.bottom - c.top, 600);
    char caption[128] = {};
    GetWindowTextA(frame, caption, sizeof caption);
    EXPECT_STREQ(caption, kPlotWindowTitle);

    {
        BoxAutopilot pilot(IDOK);
        PlotWindowOpen(win, kPlotWindowTitle);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].title, "Window Error");
        EXPECT_EQ(pilot.Seen()[0].text, "Maximum child windows created.\rPlease close one and try again.");
    }
    EXPECT_EQ(win, 3);
    EXPECT_EQ(Listed(), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(gWindowTable.frame[4]);

    PlotWindowRemove(2);
    EXPECT_EQ(Listed(), (std::vector<int>{1, 3}));
    EXPECT_FALSE(gWindowTable.frame[2]);

    int exitflag = 0;
    EventMessage event;
    event.window = 0;
    PlotWindowCloseRequest(exitflag, &event);
    EXPECT_EQ(exitflag, 1);
    EXPECT_EQ(Listed(), (std::vector<int>{1, 3}));
    exitflag = 0;
    PlotWindowCloseRequest(exitflag);
    EXPECT_EQ(exitflag, 1);
    exitflag = 0;
    event.window = 3;
    PlotWindowCloseRequest(exitflag, &event);
    EXPECT_EQ(exitflag, 0);
    EXPECT_EQ(Listed(), (std::vector<int>{1}));
    EXPECT_FALSE(gWindowTable.frame[3]);

    PlotWindowOpen(win, kPlotWindowTitle);
    EXPECT_EQ(win, 2);
    EXPECT_EQ(Listed(), (std::vector<int>{1, 2}));
}

// The prepared graph by plot choice: the table drawn, the title and the y
// range; an unknown choice keeps what the last refresh prepared.
TEST_F(PlotTest, PreparedGraphByPlotChoice)
{
    SplineModule& s = gSplineModule;
    auto range = [](const std::vector<float>& t) { return std::minmax_element(t.begin(), t.end()); };
    int win = 0;
    struct Case {
        int choice;
        const std::vector<float>* table;
        const char* title;
        bool unitRange;
    };
    const Case cases[] = {
        {kPlotFirstDerivatives, &s.spl1derdraw, "First derivatives", false},
        {kPlotValues, &s.spldraw, "Splines", true},
        {kPlotSecondDerivatives, &s.spl2derdraw, "Second derivatives", false},
        {0, &s.spl2derdraw, "Second derivatives", false}, // unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        gKestrowApp.plotcontent = c.choice;
        int k = 0;
        PlotRefresh(win, k);
        EXPECT_EQ(s.yvalues, *c.table);
        EXPECT_EQ(gPlotState.plottitle.trimmed(), c.title);
        if (c.unitRange) {
            EXPECT_EQ(gPlotState.ymin, 0.0f);
            EXPECT_EQ(gPlotState.ymax, 1.0f);
        } else {
            auto [lo, hi] = range(*c.table);
            EXPECT_EQ(gPlotState.ymin, *lo);
            EXPECT_EQ(gPlotState.ymax, *hi);
            EXPECT_LT(gPlotState.ymin, 0.0f);
        }
        EXPECT_EQ(gPlotState.xmin, 0.0f);
        EXPECT_EQ(gPlotState.xmax, 2.5f);
        EXPECT_EQ(gPlotState.plotexists, 1);
        for (int i = 0; i < SM::ncurves; ++i)
            EXPECT_EQ(std::string(s.descr[i].data(), 4), std::string("T") + char('1' + i) + "  ");
    }
}

// A refresh for k <= 0 (an expose of the main window) opens the missing plot
// window but erases and draws nothing; a refresh into a window draws the
// seven curves, each in its colour at width 2.
TEST_F(PlotTest, RefreshDrawsOnlyIntoAWindow)
{
    DeviceRecorder recorder(true, false);
    int win = 0, k = 0;
    PlotRefresh(win, k);
    EXPECT_EQ(win, 1) << "the missing plot window is opened";
    EXPECT_EQ(Listed(), (std::vector<int>{1}));
    EXPECT_EQ(gPlotState.plotexists, 1);
    // Opening the window sets up its drawing state; nothing else reaches a device.
    recorder.Clear();
    PlotRefresh(win, k);
    EXPECT_TRUE(recorder.ops.empty()) << recorder.ops.size() << " operations for k = 0";

    recorder.Clear();
    PlotRefresh(win, win);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    EXPECT_EQ(gGraphicsState.targetId, 1);
    std::set<int> curveColours;
    for (const RecordedOp& op : recorder.ops)
        if ((op.op == 32 || op.op == 2) && op.state.lineWidth == 2)
            curveColours.insert(op.state.currentNumber);
    for (int colour : kCurveColours)
        EXPECT_TRUE(curveColours.count(colour)) << "no curve in colour " << colour;
}

// The refresh draws the graph off the screen and shows it at its end: the
// window then holds, pixel for pixel, what the same graph drawn directly on
// it shows. The off-screen picture is one GDI object, kept from one refresh
// to the next, made again for a new size and deleted with the window.
TEST_F(PlotTest, RefreshShowsTheGraphAsDrawnDirectlyAndKeepsOneOffscreenPicture)
{
    int win = 0;
    PlotRefresh(win, win);
    ASSERT_EQ(win, 1);
    HWND client = gWindowTable.client[1];
    ASSERT_TRUE(client);
    auto shown = [client] {
        RECT r{};
        GetClientRect(client, &r);
        HDC dc = GetDC(client);
        std::vector<int> rgb = DcPixels(dc, 0, 0, r.right, r.bottom);
        ReleaseDC(client, dc);
        return rgb;
    };
    const std::vector<int> refreshed = shown();
    ASSERT_EQ(refreshed.size(), 750u * 600u);
    EXPECT_EQ(gGdiSurfaceState.offscreen.window, client);
    EXPECT_FALSE(gGdiSurfaceState.offscreen.active);

    WindowMakeCurrent(win);
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrAreaErase();
    SplinePlotDraw();
    const std::vector<int> direct = shown();
    ASSERT_NE(direct, std::vector<int>(direct.size(), direct[0])) << "nothing drawn";
    EXPECT_TRUE(refreshed == direct) << "the refreshed window differs from the direct drawing";

    const int objects = GdiLiveObjectCount();
    for (int i = 0; i < 5; ++i)
        PlotRefresh(win, win);
    EXPECT_EQ(GdiLiveObjectCount(), objects);
    EXPECT_TRUE(shown() == direct);

    // A larger window: the picture of the old size goes, one of the new comes.
    RECT frame{};
    GetWindowRect(gWindowTable.frame[1], &frame);
    SetWindowPos(gWindowTable.frame[1], nullptr, 0, 0, frame.right - frame.left + 50, frame.bottom - frame.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlotRefresh(win, win);
    EXPECT_EQ(GdiLiveObjectCount(), objects);
    EXPECT_EQ(gGdiSurfaceState.offscreen.width, 800);
    EXPECT_EQ(gGdiSurfaceState.offscreen.height, 630);

    PlotWindowRemove(win);
    EXPECT_EQ(gGdiSurfaceState.offscreen.bitmap, nullptr);
    EXPECT_EQ(GdiLiveObjectCount(), objects - 1);
}

// The plot window closed, the next refresh (WIN and K the same variable)
// opens a new window with the lowest free number and draws into it.
TEST_F(PlotTest, RefreshReopensClosedWindow)
{
    int win = 0;
    PlotWindowOpen(win, kPlotWindowTitle);
    ASSERT_EQ(win, 1);
    int exitflag = 0;
    EventMessage event;
    event.window = 1;
    PlotWindowCloseRequest(exitflag, &event);
    ASSERT_EQ(gPlotWindowList.count, 0);

    DeviceRecorder recorder(true, false);
    win = -1; // a stale number, replaced by the new window's
    PlotRefresh(win, win);
    EXPECT_EQ(win, 1);
    EXPECT_EQ(Listed(), (std::vector<int>{1}));
    EXPECT_EQ(gGraphicsState.targetId, 1);
    EXPECT_FALSE(recorder.ops.empty());
}

// All switches off with the first derivatives: every entry is 0, so the y
// range is empty; the graph range falls back to 0..1 with error 16.
TEST_F(PlotTest, EmptyDerivativeRangeFallsBack)
{
    SplineModule& s = gSplineModule;
    std::fill(s.cdraw.begin(), s.cdraw.end(), 0.0);
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    gKestrowApp.plotcontent = kPlotFirstDerivatives;
    DeviceRecorder recorder(true, false);
    int win = 0;
    PlotRefresh(win, win);
    EXPECT_EQ(gPlotState.ymin, 0.0f);
    EXPECT_EQ(gPlotState.ymax, 0.0f);
    EXPECT_EQ(gErrorState.lastCode, 16);
    EXPECT_EQ(gPgGraphState.userY1, 0.0f);
    EXPECT_EQ(gPgGraphState.userY2, 1.0f);
}

} // namespace

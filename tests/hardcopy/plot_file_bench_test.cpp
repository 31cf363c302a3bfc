// Benchmark, not a timed test: the application's graph written 100 times
// through the PostScript and the SVG driver (each graph its own file: open,
// draw, close), timed with QueryPerformanceCounter inside the process, so
// that Wine's start-up is not counted; and the same graph sent to a driver
// that does nothing, the share of the graph and graphics layers. Screen
// output is off while timing. Disabled by default; bench/plot_file_bench.sh runs it, or
//   test_hardcopy --gtest_also_run_disabled_tests --gtest_filter=PlotFileBench.*
// The files go to KESTROW_BENCH_DIR (a Unix or Windows path), else to the
// temporary folder. Each figure is printed as a line
//   bench <name> <milliseconds per graph>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "core/library_start.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "plot_file_fixture.h"

namespace {

std::string BenchFolder()
{
    const char* dir = std::getenv("KESTROW_BENCH_DIR");
    if (!dir || !*dir)
        return plotfile::TempPath("bench");
    std::string folder = dir;
    if (folder[0] == '/')
        folder = "Z:" + folder;
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    return folder;
}

// Milliseconds per call of DRAW, over REPEATS calls after one to warm up.
template <class F>
double PerGraph(int repeats, F&& draw)
{
    draw();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < repeats; ++i)
        draw();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart) / repeats;
}

TEST(PlotFileBench, DISABLED_ApplicationGraph)
{
    const std::string folder = BenchFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    char old[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, old);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
    if (!gLibraryState.mainWindowOpen) {
        WLibraryStart();
        const int hidden = 128;
        WindowOpen(&hidden);
    }
    SplineModuleInit();
    KnotVectorBuild();
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    gKestrowApp = KestrowAppState{};
    gKestrowApp.windowtitle = FixedText<100>(kPlotWindowTitle);
    gPlotState = PlotState{};
    int window = 0;
    PlotRefresh(window, window);
    ASSERT_GT(window, 0);

    GraphicsStateGuard guard;
    gGraphicsState.screenOutput = 0; // the drivers' time, not the screen's
    constexpr int kGraphs = 100;
    struct Driver {
        int number;
        const char* file;
        const char* name;
    } drivers[] = {{kDriverPostScript, "graph.ps", "quillodrane-postscript"},
                   {kDriverSvg, "graph.svg", "quillodrane-svg"}};
    for (const Driver& d : drivers) {
        YYHardcopySelect(1, d.number);
        const std::string path = folder + "\\" + d.file;
        const double ms = PerGraph(kGraphs, [&] {
            std::string_view file = path;
            YYHardcopyOpen(&file);
            SplinePlotDraw();
            std::string_view close = "S";
            YYHardcopyOpen(&close);
        });
        std::printf("bench %s %.3f\n", d.name, ms);
    }
    // The layers alone: a hardcopy driver that only answers its number.
    DeviceDriverOverride(kHardcopySide, [](int, int op) {
        if (op == DeviceOp::kInitialise && gDeviceParameterBlock.N == kDriverNumberQuery)
            gDeviceParameterBlock.N = kDriverPostScript;
    });
    const double layers = PerGraph(kGraphs, [] {
        YYHardcopyOpen();
        SplinePlotDraw();
        std::string_view close = "S";
        YYHardcopyOpen(&close);
    });
    DeviceDriverOverride(kHardcopySide, nullptr);
    std::printf("bench quillodrane-layers-without-driver %.3f\n", layers);
    std::fflush(stdout);
    YYHardcopySelect(1, kDriverWindowsPrinter);
    while (gPlotWindowList.count > 0)
        PlotWindowRemove(gPlotWindowList.window[gPlotWindowList.count - 1]);
    SetCurrentDirectoryA(old);
}

} // namespace

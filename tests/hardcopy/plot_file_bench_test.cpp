// Benchmark, not a timed test: the application's graph written 100 times
// through each plot-file driver (each graph its own file: open, draw,
// close), timed with QueryPerformanceCounter inside the process, so that
// Wine's start-up is not counted; and the same graph sent to a driver that
// does nothing, the share of the graph and graphics layers. Screen output is
// off while timing. Disabled by default; bench/plot_file_bench.sh runs it, or
//   test_hardcopy --gtest_also_run_disabled_tests --gtest_filter=PlotFileBench.*
// The files go to KESTROW_BENCH_DIR (a Unix or Windows path), else to the
// temporary folder. Each figure is printed as a line
//   bench <name> <median milliseconds per graph, open to close>
// with, per driver, the medians of its three phases apart (the open, which
// creates the file and writes its head; the drawing; the close) as
//   bench <name>-open|-draw|-close <milliseconds>
// and the size of its file as
//   bytes <name> <bytes>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "core/library_start.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "bench_timing.h"
#include "plot_file_fixture.h"

namespace {

std::string BenchFolder()
{
    return bench::Folder(plotfile::TempPath("bench"));
}

using bench::Median;
using bench::Now;

// Median milliseconds of one call of DRAW over REPEATS calls, after one
// call to warm up.
template <class F>
double PerGraph(int repeats, F&& draw)
{
    draw();
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const double start = Now();
        draw();
        times.push_back(Now() - start);
    }
    return Median(times);
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
        int setting; // HP-GL/2 device kind or plotter model
        const char* file;
        const char* name;
    } drivers[] = {{kDriverPostScript, 0, "graph.ps", "quillodrane-postscript"},
                   {kDriverSvg, 0, "graph.svg", "quillodrane-svg"},
                   {kDriverHpgl2, 2, "graph.plt", "quillodrane-hpgl2"},
                   {kDriverHpgl2, 1, "graph.plt", "quillodrane-hpgl2-pcl-mono"},
                   {kDriverHpgl, 1, "graph.plt", "quillodrane-hpgl"},
                   {kDriverDxf, 0, "graph.dxf", "quillodrane-dxf"}};
    for (const Driver& d : drivers) {
        gHardcopyState.hpgl2Kind = d.setting;
        gHardcopyState.plotterModel = d.setting;
        YYHardcopySelect(1, d.number);
        const std::string path = folder + "\\" + d.file;
        std::vector<double> open, draw, close;
        const double ms = PerGraph(kGraphs, [&] {
            std::string_view file = path;
            const double t0 = Now();
            YYHardcopyOpen(&file);
            const double t1 = Now();
            SplinePlotDraw();
            const double t2 = Now();
            std::string_view closing = "S";
            YYHardcopyOpen(&closing);
            open.push_back(t1 - t0);
            draw.push_back(t2 - t1);
            close.push_back(Now() - t2);
        });
        std::printf("bench %s %.3f\n", d.name, ms);
        std::printf("bench %s-open %.3f\nbench %s-draw %.3f\nbench %s-close %.3f\n", d.name, Median(open), d.name,
                    Median(draw), d.name, Median(close));
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            std::printf("bytes %s %lu\n", d.name, static_cast<unsigned long>(data.nFileSizeLow));
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

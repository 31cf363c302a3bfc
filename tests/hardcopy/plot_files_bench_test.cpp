// Benchmark (disabled; run with --gtest_also_run_disabled_tests): the
// application's graph 100 times into each plot-file driver with screen
// output off. Prints the medians of the open (which creates the file and
// writes its head), the drawing and the close, and the file's size.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "graph_file_fixture.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

TEST_F(GraphFileTest, DISABLED_GraphBenchmark)
{
    const struct {
        const char* name;
        int driver, kind;
        const char* file;
    } drivers[] = {
        {"HP-GL/2 kind 2", kDriverHpgl2, 2, "bench.plt"},
        {"HP-GL/2 kind 1", kDriverHpgl2, 1, "bench.plt"},
        {"HP-GL model 1", kDriverHpgl, 1, "bench.plt"},
        {"DXF", kDriverDxf, 0, "bench.dxf"},
    };
    std::printf("%-16s %10s %10s %10s %10s\n", "driver", "open ms", "graph ms", "close ms", "bytes");
    // The graph alone, no hardcopy open: what the drivers add comes on top.
    std::vector<double> alone;
    for (int i = 0; i < 100; ++i) {
        const double t0 = Now();
        SplinePlotDraw();
        alone.push_back(Now() - t0);
    }
    std::printf("%-16s %10s %10.3f\n", "(no hardcopy)", "", Median(alone));
    for (const auto& d : drivers) {
        gHardcopyState.hpgl2Kind = d.kind;
        gHardcopyState.plotterModel = d.kind;
        std::vector<double> open, draw, close;
        for (int i = 0; i < 100; ++i) {
            const double t0 = Now();
            Open(d.driver, d.file);
            const double t1 = Now();
            SplinePlotDraw();
            const double t2 = Now();
            Close();
            const double t3 = Now();
            open.push_back(t1 - t0);
            draw.push_back(t2 - t1);
            close.push_back(t3 - t2);
        }
        std::printf("%-16s %10.3f %10.3f %10.3f %10zu\n", d.name, Median(open), Median(draw), Median(close),
                    Bytes().size());
    }
}

} // namespace

// Benchmarks (disabled by default; run with --gtest_also_run_disabled_tests).
// The first fills grids of 100,000 and of 1,000 rows x 10 columns of mixed
// cell types, repaints each 100 times and moves each thumb 100 times,
// printing the times and the peak memory of the process. The second times
// the bulk routines on 100,000 rows: sorts by each key pattern, a search
// without a match, a row insertion, and a copy and paste of the whole grid.
// The third times the grid files and the print of the same grid: a CSV file
// saved and loaded into a one-row grid that grows, beside Python's csv
// module on the same file, the HTML file, and 10,000 rows printed into a
// metafile per page.
// They assert only that the grid holds what the operations should leave; no
// figure is a pass mark.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "grid/grid_engine.h"
#include "grid/grid_files.h"
#include "grid/grid_print.h"
#include "grid/grid_public.h"
#include "grid_fixture.h"
#include "hardcopy/scratch_files.h"
#include "hardcopy/unix_tools.h"

namespace {

using Clock = std::chrono::steady_clock;

struct MemoryCounters {
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
};

// Peak working set and peak committed bytes, 0 when the system cannot say.
void PeakMemory(SIZE_T& workingSet, SIZE_T& committed)
{
    workingSet = committed = 0;
    using Query = BOOL(WINAPI*)(HANDLE, MemoryCounters*, DWORD);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    MemoryCounters m{};
    m.cb = sizeof m;
    if (query && query(GetCurrentProcess(), &m, sizeof m)) {
        workingSet = m.PeakWorkingSetSize;
        committed = m.PeakPagefileUsage;
    }
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

class GridBench : public GridFixture {
protected:
    // Loads benchmark dialog RESOURCE (grid 541) and fills every row.
    GridRecord* LoadFilled(int resource, HWND& grid)
    {
        HWND dialog = Load(resource);
        grid = dialog ? GetDlgItem(dialog, 541) : nullptr;
        GridRecord* r = GridRecordOf(grid);
        if (!r)
            return nullptr;
        Show(dialog);
        GridMoveCurrentCell(grid, 9, 2, 0, 0); // the editor away from the cells filled
        for (int row = 0; row < r->rows; ++row) {
            char text[32];
            std::snprintf(text, sizeof text, "row %d", row);
            PutText(r, 0, row, text);
            PutInt(r, 1, row, row);
            PutReal(r, 2, row, static_cast<float>(row) * 0.5f);
            PutDouble(r, 3, row, row / 7.0);
            GridIntCell(r->column[4], row) = row & 1;
            GridIntCell(r->column[5], row) = row % 3;
            std::snprintf(text, sizeof text, "%d", row % 997);
            PutText(r, 6, row, text);
            PutInt(r, 7, row, -row);
            PutDouble(r, 8, row, row * 1.0e-3);
            GridIntCell(r->column[9], row) = (row / 2) & 1;
        }
        return r;
    }
    // 100 repaints and 100 thumb moves: the median time of one of each in
    // ms (robust against a busy machine).
    static void View(HWND grid, GridRecord* r, double& repaint, double& scroll)
    {
        std::vector<double> times;
        auto median = [&times] {
            std::sort(times.begin(), times.end());
            const double m = times[times.size() / 2];
            times.clear();
            return m;
        };
        for (int i = 0; i < 100; ++i) {
            auto t0 = Clock::now();
            Repaint(r);
            times.push_back(Ms(Clock::now() - t0));
        }
        repaint = median();
        // Each move jumps more than a page to a new position: the editor is
        // stored and made again, and the whole cell area is drawn.
        const int positions = std::max((r->rows - r->page) / std::max(r->scrollScale, 1), 2);
        for (int i = 0; i < 100; ++i) {
            auto t0 = Clock::now();
            SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, (i * 7919 + 500) % positions), 0);
            times.push_back(Ms(Clock::now() - t0));
        }
        scroll = median();
    }
};

TEST_F(GridBench, DISABLED_RepaintAndThumbScrollOf100000And1000Rows)
{
    SIZE_T ws0, pf0;
    PeakMemory(ws0, pf0);
    auto t0 = Clock::now();
    HWND grid;
    GridRecord* r = LoadFilled(540, grid);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->rows, 100000);
    ASSERT_EQ(r->columns, 10);
    auto t1 = Clock::now();
    double repaint, scroll;
    View(grid, r, repaint, scroll);
    SIZE_T ws1, pf1;
    PeakMemory(ws1, pf1);
    EXPECT_EQ(GridCellText(r, 0, 99999, 0), "row 99999");
    EXPECT_EQ(GridCellText(r, 7, 12345, 0), "-12345");
    EXPECT_EQ(GridCellText(r, 5, 5, 0), "high");

    DialogTableDestroyAll(); // one grid on the screen at a time
    HWND small;
    GridRecord* s = LoadFilled(545, small);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->rows, 1000);
    double repaintSmall, scrollSmall;
    View(small, s, repaintSmall, scrollSmall);

    std::printf("grid benchmark: 10 columns, %d rows drawn per repaint\n", GridRowsDrawn(r));
    std::printf("  load, set-up and fill of 100,000 rows %10.1f ms\n", Ms(t1 - t0));
    std::printf("  (median of 100 each)\n");
    std::printf("  repaint         100,000 rows %8.2f ms   1,000 rows %8.2f ms\n", repaint, repaintSmall);
    std::printf("  thumb scroll    100,000 rows %8.2f ms   1,000 rows %8.2f ms\n", scroll, scrollSmall);
    std::printf("  peak working set   %10.1f MiB (%.1f MiB before)\n", ws1 / 1048576.0, ws0 / 1048576.0);
    std::printf("  peak committed     %10.1f MiB (%.1f MiB before)\n", pf1 / 1048576.0, pf0 / 1048576.0);
    std::fflush(stdout);
}

TEST_F(GridBench, DISABLED_BulkRoutinesOn100000Rows)
{
    HWND grid;
    GridRecord* r = LoadFilled(540, grid);
    ASSERT_NE(r, nullptr);
    const int rows = r->rows;
    std::printf("grid bulk routines on %d rows x %d columns\n", rows, r->columns);

    // Sorts by the integer column: its keys in each pattern.
    const char* patterns[] = {"random", "sorted", "reversed", "all equal"};
    for (int pattern = 0; pattern < 4; ++pattern) {
        unsigned seed = 12345;
        for (int row = 0; row < rows; ++row) {
            seed = seed * 1103515245u + 12345u;
            const int v = pattern == 0 ? static_cast<int>((seed >> 8) % 50000u)
                          : pattern == 1 ? row
                          : pattern == 2 ? rows - row
                                         : 7;
            PutInt(r, 1, row, v);
        }
        auto t0 = Clock::now();
        WGridSort(541, 2);
        auto t1 = Clock::now();
        std::printf("  sort, %-9s keys         %8.1f ms\n", patterns[pattern], Ms(t1 - t0));
        bool ordered = true;
        for (int row = 1; row < rows && ordered; ++row)
            ordered = GridIntCell(r->column[1], row - 1) <= GridIntCell(r->column[1], row);
        EXPECT_TRUE(ordered) << patterns[pattern];
    }
    {
        for (int row = 0; row < rows; ++row)
            PutText(r, 0, row, row % 3 ? "Beta" : (row % 5 ? "alpha" : ""));
        auto t0 = Clock::now();
        const int noCase = 2;
        WGridSort(541, 1, &noCase);
        auto t1 = Clock::now();
        std::printf("  sort, texts without case      %8.1f ms\n", Ms(t1 - t0));
        EXPECT_STREQ(GridTextCell(r->column[0], 0), "alpha");
        EXPECT_STREQ(GridTextCell(r->column[0], rows - 1), "");
    }

    int found = 1;
    const int numbers = 4;
    auto t0 = Clock::now();
    WGridFind(541, "no such text", &numbers, &found);
    auto t1 = Clock::now();
    std::printf("  find, no match, numbers too   %8.1f ms\n", Ms(t1 - t0));
    EXPECT_EQ(found, 0);

    const std::string before = GridCellText(r, 6, 0, 0);
    t0 = Clock::now();
    WGridInsertRows(541, 1);
    t1 = Clock::now();
    std::printf("  insert at row 1               %8.1f ms\n", Ms(t1 - t0));
    EXPECT_EQ(GridCellText(r, 6, 1, 0), before);

    GridMoveCurrentCell(grid, 0, 0, 0, 0);
    GridSelectionSet(grid, 0, rows - 1, 0, r->columns - 1);
    t0 = Clock::now();
    ASSERT_EQ(GridCopyToClipboard(grid), 1);
    t1 = Clock::now();
    const std::string last = GridCellText(r, 8, rows - 1, 0);
    PutDouble(r, 8, rows - 1, -1.0);
    auto t2 = Clock::now();
    GridPasteFromClipboard(grid);
    auto t3 = Clock::now();
    std::printf("  copy of the whole grid        %8.1f ms\n", Ms(t1 - t0));
    std::printf("  paste of the whole grid       %8.1f ms\n", Ms(t3 - t2));
    EXPECT_EQ(GridCellText(r, 8, rows - 1, 0), last);
    std::fflush(stdout);
}

// Pages drawn into metafiles that are thrown away.
HDC BenchOpen(GridPrintSettings&)
{
    return CreateCompatibleDC(nullptr);
}
int BenchStartDoc(HDC, const char*)
{
    return 1;
}
HDC BenchStartPage(HDC printer)
{
    return CreateEnhMetaFileA(printer, nullptr, nullptr, nullptr);
}
void BenchEndPage(HDC, HDC page)
{
    DeleteEnhMetaFile(CloseEnhMetaFile(page));
}
void BenchEndDoc(HDC) {}
void BenchClose(HDC printer)
{
    DeleteDC(printer);
}
BOOL BenchPageSetup(PAGESETUPDLGA* p)
{
    p->ptPaperSize = {8500, 11000};
    p->rtMargin = {1000, 1000, 1000, 1000};
    p->Flags |= PSD_INTHOUSANDTHSOFINCHES;
    return TRUE;
}

TEST_F(GridBench, DISABLED_FilesAndPrintOf100000Rows)
{
    HWND grid = nullptr;
    GridRecord* r = LoadFilled(540, grid);
    ASSERT_NE(r, nullptr);
    const std::string csv = TempName("bench.csv"), html = TempName("bench.html");
    std::printf("Grid files and printing, 100,000 rows x 10 columns\n");
    auto t0 = Clock::now();
    WGridSave(541, csv);
    auto t1 = Clock::now();
    const size_t bytes = ReadAll(csv).size();
    std::printf("  CSV save (%zu bytes)      %8.1f ms\n", bytes, Ms(t1 - t0));
    const std::string last = GridCellText(r, 8, r->rows - 1, 0);
    PutDouble(r, 8, r->rows - 1, -1.0);
    WGridRows(541, 1);
    const int grow = 1;
    t0 = Clock::now();
    WGridLoad(541, csv, &grow);
    t1 = Clock::now();
    std::printf("  CSV load, growing from 1 row %8.1f ms\n", Ms(t1 - t0));
    EXPECT_EQ(r->rows, 100000);
    EXPECT_EQ(GridCellText(r, 8, r->rows - 1, 0), last);
    if (unixtools::Available("/usr/bin/python3")) {
        const std::string script = TempName("bench.py"), copy = TempName("bench-copy.csv");
        const std::string source = R"(import csv, sys, time
t0 = time.perf_counter()
with open(sys.argv[1], newline='', encoding='latin-1') as f:
    rows = list(csv.reader(f))
t1 = time.perf_counter()
with open(sys.argv[2], 'w', newline='', encoding='latin-1') as f:
    csv.writer(f).writerows(rows)
t2 = time.perf_counter()
print('  Python csv: reading %.1f ms, writing %.1f ms' % ((t1 - t0) * 1000, (t2 - t1) * 1000))
)";
        WriteAll(script, std::vector<uint8_t>(source.begin(), source.end()));
        std::string out;
        unixtools::Run("/usr/bin/python3 '" + unixtools::UnixPath(script) + "' '" + unixtools::UnixPath(csv) + "' '" +
                           unixtools::UnixPath(copy) + "'",
                       &out);
        std::printf("%s", out.c_str());
        DeleteFileA(script.c_str());
        DeleteFileA(copy.c_str());
    }
    t0 = Clock::now();
    WGridSaveHTML(541, html);
    t1 = Clock::now();
    std::printf("  HTML save (%zu bytes)     %8.1f ms\n", ReadAll(html).size(), Ms(t1 - t0));

    gGridPrintDevice = GridPrintDevice{BenchPageSetup, nullptr, BenchOpen, BenchStartDoc, BenchStartPage,
                                       BenchEndPage, BenchEndDoc, BenchClose};
    gGridPrintState.defaultsFilled = 0;
    int result = 0;
    t0 = Clock::now();
    GridPrint(541, result, 0, 9999, 0, 9, 1, "bench");
    t1 = Clock::now();
    std::printf("  print of 10,000 rows          %8.1f ms\n", Ms(t1 - t0));
    EXPECT_EQ(result, 1);
    gGridPrintDevice = GridPrintDeviceDefault();
    gGridPrintState.defaultsFilled = 0;
    DeleteFileA(csv.c_str());
    DeleteFileA(html.c_str());
    std::fflush(stdout);
}

} // namespace

// Benchmark (disabled by default; run with --gtest_also_run_disabled_tests):
// fills a 100,000 x 10 grid of mixed cell types and repaints it 100 times,
// printing the times and the peak memory of the process. It asserts only
// that the grid holds what was put in; no figure is a pass mark.
#include <chrono>
#include <cstdio>
#include <string>

#include "grid_fixture.h"

namespace {

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

class GridBench : public GridFixture {};

TEST_F(GridBench, DISABLED_Fill100000By10AndRepaint100Times)
{
    using Clock = std::chrono::steady_clock;
    SIZE_T ws0, pf0;
    PeakMemory(ws0, pf0);
    auto t0 = Clock::now();
    HWND dialog = Load(540);
    ASSERT_NE(dialog, nullptr);
    HWND grid = GetDlgItem(dialog, 541);
    GridRecord* r = GridRecordOf(grid);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->rows, 100000);
    ASSERT_EQ(r->columns, 10);
    Show(dialog);
    auto t1 = Clock::now();

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
    auto t2 = Clock::now();

    for (int i = 0; i < 100; ++i)
        Repaint(r);
    auto t3 = Clock::now();
    // Each scroll step stores and re-creates the in-cell editor, shifts the
    // cell area and repaints it.
    for (int i = 0; i < 100; ++i)
        SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, (i * 997) % 60000), 0);
    auto t4 = Clock::now();
    SIZE_T ws1, pf1;
    PeakMemory(ws1, pf1);

    auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("grid benchmark: %d rows x %d columns, %d rows drawn per repaint\n", r->rows, r->columns,
                GridRowsDrawn(r));
    std::printf("  load and set-up    %10.1f ms\n", ms(t1 - t0));
    std::printf("  fill               %10.1f ms\n", ms(t2 - t1));
    std::printf("  100 repaints       %10.1f ms (%.2f ms each)\n", ms(t3 - t2), ms(t3 - t2) / 100.0);
    std::printf("  100 thumb scrolls  %10.1f ms (%.2f ms each)\n", ms(t4 - t3), ms(t4 - t3) / 100.0);
    std::printf("  peak working set   %10.1f MiB (%.1f MiB before)\n", ws1 / 1048576.0, ws0 / 1048576.0);
    std::printf("  peak committed     %10.1f MiB (%.1f MiB before)\n", pf1 / 1048576.0, pf0 / 1048576.0);
    std::fflush(stdout);

    EXPECT_EQ(GridCellText(r, 0, 99999, 0), "row 99999");
    EXPECT_EQ(GridCellText(r, 7, 12345, 0), "-12345");
    EXPECT_EQ(GridCellText(r, 5, 5, 0), "high");
}

} // namespace

// Benchmark of an accepted change, not a timed test: disabled by default;
// bench/change_bench.sh builds and runs it (or run test_app with
// --gtest_also_run_disabled_tests --gtest_filter='ChangeBench.*').
//
// The application is set up as its main program sets it up (library, hidden
// main window, the modeless main dialog, one plot window with the first
// graph), in a folder of its own (KESTROW_BENCH_DIR, else the temporary
// folder). It prints the minimum, median and maximum milliseconds over 300
// repetitions (after 50 not counted) of: the tabulation with its four files,
// the formatter alone (the 608 records of the four files, in memory), the
// redraw alone, the controls read, the parameter log written, and the whole
// change as the event loop runs it (controls reread, parameter log,
// tabulation and files, redraw), the track bar p1 moved to a new value before
// each one. Then a soak of 10,000 whole changes (KESTROW_BENCH_SOAK where it
// is set) prints the process's private bytes, the live GDI objects of the
// library's own count (and the system's where it keeps one) and the windows
// before and after. No figure is a pass mark; the test asserts only that the
// set-up worked and that the changes leave the files the tabulation writes.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/main_program.h"
#include "app/parameter_log.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "core/events.h"
#include "core/fortran_format.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_values.h"
#include "graphics/gdi_surface.h"
#include "support/window_count.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using SM = SplineModule;
using Clock = std::chrono::steady_clock;

constexpr int kRepetitions = 300;
constexpr int kWarmUp = 50;
constexpr int kSoakChanges = 10000;

// The soak's length: KESTROW_BENCH_SOAK changes where it is set (at least the
// warm-up), else kSoakChanges.
int SoakChanges()
{
    const char* text = std::getenv("KESTROW_BENCH_SOAK");
    const int n = text && *text ? std::atoi(text) : kSoakChanges;
    return std::max(n, kWarmUp + 1);
}

struct Figures {
    double min = 0, median = 0, max = 0;
};

// Runs F REPEATS times after PREPARE (not timed) and returns the figures in
// milliseconds. The first kWarmUp runs are not counted: they fill the caches
// and let the system's own start-up work settle.
template <class Prepare, class F>
Figures Time(int repeats, Prepare&& prepare, F&& f)
{
    for (int i = 0; i < kWarmUp; ++i) {
        prepare(i);
        f();
    }
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(repeats));
    for (int i = 0; i < repeats; ++i) {
        prepare(i);
        const auto t0 = Clock::now();
        f();
        const auto t1 = Clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

void Print(const char* name, const Figures& f)
{
    std::printf("bench %-28s min %8.3f  median %8.3f  max %8.3f ms  (%d repetitions)\n", name, f.min, f.median,
                f.max, kRepetitions);
    std::fflush(stdout);
}

// Dispatches what the windows have queued, as the loop does between events.
void Drain()
{
    for (int guard = 0; guard < 1000; ++guard) {
        int type = 0, v1 = 0, v2 = 0, v3 = 0, v4 = 0, x = 0, y = 0, window = 0, time = 0;
        MessagePeek(type, v1, v2, v3, v4, x, y, window, time);
        if (type == -1)
            return;
    }
}

// The process's private bytes (Wine leaves PrivateUsage at 0; its
// PagefileUsage is the private data).
size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m))
        return 0;
    return m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage;
}

// Windows in the library's tables: frames and clients of the window table
// and the loaded dialogs.
int LibraryWindows()
{
    int count = 0;
    for (HWND w : gWindowTable.frame)
        count += w && IsWindow(w) ? 1 : 0;
    for (HWND w : gWindowTable.client)
        count += w && IsWindow(w) ? 1 : 0;
    for (int slot = 1; slot <= DialogTableCount(); ++slot) {
        HWND d = DialogTableWindow(slot);
        count += d && IsWindow(d) ? 1 : 0;
    }
    return count;
}

struct Usage {
    size_t privateBytes = 0;
    long gdi = 0;       // the library's own count (GetGuiResources is a stub under Wine)
    long systemGdi = 0; // the system's, where it keeps one
    int libraryWindows = 0;
    int threadWindows = 0;
};

Usage Measure()
{
    Usage u;
    u.privateBytes = PrivateBytes();
    u.gdi = GdiLiveObjectCount();
    u.systemGdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    u.libraryWindows = LibraryWindows();
    u.threadWindows = ThreadWindowCount();
    return u;
}

std::string ReadFile(const char* name)
{
    std::string out;
    if (std::FILE* f = std::fopen(name, "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

class ChangeBench : public ::testing::Test {
protected:
    void SetUp() override
    {
        // KESTROW_BENCH_DIR is a Unix or a Windows path.
        const char* dir = std::getenv("KESTROW_BENCH_DIR");
        std::string base;
        if (dir && *dir) {
            base = dir;
            if (base[0] == '/')
                base = "Z:" + base;
            std::replace(base.begin(), base.end(), '/', '\\');
        } else {
            char temp[MAX_PATH] = {};
            GetTempPathA(MAX_PATH, temp);
            base = temp;
        }
        folder_ = base + "\\kestrow_change_bench_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        char old[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));

        // As the main program starts.
        KestrowAppState& app = gKestrowApp;
        app = KestrowAppState{};
        gPlotState = PlotState{};
        SplineModuleInit();
        KnotVectorBuild();
        ASSERT_EQ(SplineTabulate(), kTabulateOk);
        if (!gLibraryState.mainWindowOpen) {
            WLibraryStart();
            const int hidden = 128;
            WindowOpen(&hidden);
        }
        MainWindowsOpen();
        ASSERT_GT(app.win, 0);
        // The track bar the changes move has the focus, as when the user drags it.
        WDialogSelect(kMainDialog);
        WDialogSetField(kTrackBars[0]);
        Drain();
    }
    void TearDown() override
    {
        PlotWindowList& list = gPlotWindowList;
        while (list.count > 0)
            PlotWindowRemove(list.window[list.count - 1]);
        WDialogSelect(kMainDialog);
        WDialogUnload();
        SetCurrentDirectoryA(oldDir_.c_str());
        for (const char* f : {kSplinesFile, kFirstDerFile, kSecondDerFile, kKnotsFile, "povi.txt"})
            DeleteFileA((folder_ + "\\" + f).c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    // Moves track bar p1 to a value other than the one before (0..100).
    static void MoveP1(int i)
    {
        WDialogSelect(kMainDialog);
        WDialogPutTrackBar(kTrackBars[0], (i * 37 + 11) % 101);
        Drain();
    }

    std::string folder_;
    std::string oldDir_;
};

TEST_F(ChangeBench, DISABLED_ChangePathAndSoak)
{
    KestrowAppState& app = gKestrowApp;
    auto none = [](int) {};

    Print("tabulation with files", Time(kRepetitions, none, [] { SplineTabulate(); }));

    // The formatter alone: the 608 records of the four files, in memory, as
    // the tabulation forms them.
    std::array<std::string, 4> texts;
    Print("formatter alone", Time(kRepetitions, none, [&] { ResultFileTextsBuild(texts); }));
    // 603 records of 234 characters and 5 of 52, each with CR LF; the same
    // texts as the files.
    EXPECT_EQ(texts[0].size() + texts[1].size() + texts[2].size() + texts[3].size(), 603u * 236u + 5u * 54u);
    EXPECT_EQ(texts[0], ReadFile(kSplinesFile));
    EXPECT_EQ(texts[3], ReadFile(kKnotsFile));

    Print("redraw alone", Time(kRepetitions, none, [&] { PlotRefresh(app.win, app.win); }));

    // The other steps of a change: the dialog's controls read (and its
    // integer fields put), the parameter log written.
    Print("controls read", Time(kRepetitions, MoveP1, [] { ChangeControlsRead(); }));
    const SplineModule& s = gSplineModule;
    Print("parameter log", Time(kRepetitions, none, [&] {
              ParameterLogWrite(s.pxdraw, s.cdraw, app.plotcontent);
          }));

    Print("whole change", Time(kRepetitions, MoveP1, [] { ChangeAccepted(); }));
    ASSERT_EQ(app.exitflag, 0);

    // The files left by the last change are those a tabulation of the same
    // settings writes.
    const std::string splines = ReadFile(kSplinesFile);
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    EXPECT_EQ(ReadFile(kSplinesFile), splines);

    // Soak: 10,000 whole changes; the counts after the warm-up and at the end.
    Usage before;
    const int soakChanges = SoakChanges();
    for (int i = 0; i < soakChanges; ++i) {
        if (i == kWarmUp)
            before = Measure();
        MoveP1(i);
        ChangeAccepted();
    }
    Drain();
    const Usage after = Measure();
    ASSERT_EQ(app.exitflag, 0);
    std::printf("soak %d whole changes (counts after %d and after all):\n", soakChanges, kWarmUp);
    std::printf("soak private bytes       %12zu -> %12zu\n", before.privateBytes, after.privateBytes);
    std::printf("soak live GDI objects    %12ld -> %12ld  (the library's count; the system's %ld -> %ld)\n",
                before.gdi, after.gdi, before.systemGdi, after.systemGdi);
    std::printf("soak library windows     %12d -> %12d\n", before.libraryWindows, after.libraryWindows);
    std::printf("soak thread windows      %12d -> %12d\n", before.threadWindows, after.threadWindows);
}

} // namespace

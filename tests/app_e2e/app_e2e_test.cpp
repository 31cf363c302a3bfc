// The program end to end: Kestrow.exe started in a fresh folder, driven
// through its dialog with posted messages (focus with WM_NEXTDLGCTL, track
// bars with TBM_SETPOS and WM_HSCROLL, BM_CLICK on buttons) and watched
// through its files, its windows and the screen.
#include <gtest/gtest.h>

#include "kestrow_process.h"

#include "app/app_state.h"
#include "app/plot_refresh.h"
#include "graphics/colours.h"
#include "support/poll.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

using namespace e2e;

namespace {

constexpr const char* kDialogTitle = "Kestrow splines";
constexpr const char* kPlotTitle = "Advection-diffusion, Chebyshev tension splines, Kestrow";
constexpr int kStartMs = 30000;
constexpr int kWaitMs = 15000;

const std::vector<double> kAllOn(7, 1.0);

// The four result files equal WANT byte for byte.
void ExpectFiles(const ResultFiles& got, const ResultFiles& want)
{
    ASSERT_FALSE(want.knots.empty()) << "no reference files";
    EXPECT_EQ(got.splines, want.splines);
    EXPECT_EQ(got.firstDer, want.firstDer);
    EXPECT_EQ(got.secondDer, want.secondDer);
    EXPECT_EQ(got.knots, want.knots);
}

// One running program with its main dialog and plot window found.
class Kestrow : public ::testing::Test {
public:
    // A new program object for the next start (the old one is ended when still running).
    void Fresh() { app_ = std::make_unique<KestrowProcess>(); }
    void StartIn(const std::string& folder, bool faultBoxes = false)
    {
        ASSERT_FALSE(ProgramPath().empty()) << "KESTROW_EXE is not set";
        ASSERT_TRUE(app_->Start(folder, faultBoxes));
    }
    // Starts in a fresh folder and waits for the dialog, the plot window
    // and the four result files.
    void StartAndFind()
    {
        folder_ = NewFolder("run");
        ASSERT_FALSE(folder_.empty());
        StartIn(folder_);
        ASSERT_TRUE(PollUntil([&] { return (dialog_ = app_->FindTop("#32770", kDialogTitle)) != nullptr; }, kStartMs))
            << "the dialog did not appear";
        ASSERT_TRUE(PollUntil([&] { return (plot_ = app_->FindTop(nullptr, kPlotTitle)) != nullptr; }, kWaitMs))
            << "the plot window did not appear";
        ASSERT_TRUE(PollUntil([&] { return Files().knots.size() == 5 * 54u; }, kWaitMs));
        ASSERT_TRUE(app_->Sync(dialog_));
    }
    HWND Field(int id) const { return GetDlgItem(dialog_, id); }
    std::string Path(const char* name) const { return folder_ + "\\" + name; }
    std::string Povi() const { return ReadFile(Path("povi.txt")); }
    ResultFiles Files() const { return ReadResultFiles(folder_); }

    // Gives track bar ID the focus (a bare focus move) and waits until it has it.
    void FocusField(int id)
    {
        PostMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Field(id)), TRUE);
        ASSERT_TRUE(PollUntil([&] { return app_->Focus() == Field(id); }, kWaitMs));
        ASSERT_TRUE(app_->Sync(dialog_));
    }
    // Moves the focused track bar ID to POS as a drag would.
    void Drag(int id, int pos)
    {
        HWND bar = Field(id);
        PostMessageA(bar, TBM_SETPOS, TRUE, pos);
        PostMessageA(dialog_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, pos), reinterpret_cast<LPARAM>(bar));
    }
    void Click(int id) { PostMessageA(Field(id), BM_CLICK, 0, 0); }
    // Waits until "povi.txt" holds exactly EXPECTED, then until the change
    // has been handled to its end.
    void ExpectPovi(const std::string& expected)
    {
        ASSERT_TRUE(PollUntil([&] { return Povi() == expected; }, kWaitMs)) << "povi.txt:\n" << Povi();
        ASSERT_TRUE(app_->Sync(dialog_));
    }
    // The middle of the plot window's client area on the screen (clear of
    // the dialog next to it).
    RECT PlotArea() const
    {
        RECT c{};
        GetClientRect(plot_, &c);
        POINT tl{c.right / 5, 0}, br{c.right, c.bottom};
        ClientToScreen(plot_, &tl);
        ClientToScreen(plot_, &br);
        return RECT{tl.x, tl.y, br.x, br.y};
    }
    void ExpectExit(DWORD code)
    {
        DWORD exitCode = 12345;
        ASSERT_TRUE(app_->WaitExit(kWaitMs, exitCode)) << "the program did not end";
        EXPECT_EQ(exitCode, code);
    }

    std::unique_ptr<KestrowProcess> app_ = std::make_unique<KestrowProcess>();
    std::string folder_;
    HWND dialog_ = nullptr;
    HWND plot_ = nullptr;
};

// Start-up: files, windows and their places, the dialog's initial state, the
// graph with the six curve colours that differ from the frame colour.
TEST_F(Kestrow, StartUp)
{
    ASSERT_NO_FATAL_FAILURE(StartAndFind());

    ResultFiles got = Files();
    ExpectFiles(got, ReferenceFiles({0, 0, 0, 0}, kAllOn));
    // The bytes committed for this state, which the 32-bit and the 64-bit
    // program must both write.
    ExpectFiles(got, CommittedReferenceFiles("start"));
    EXPECT_EQ(Lines(got.splines).size(), 201u);
    EXPECT_FALSE(Exists(Path("povi.txt"))) << "the log is written only at a change";

    RECT d{}, p{};
    GetWindowRect(dialog_, &d);
    GetWindowRect(plot_, &p);
    EXPECT_EQ(d.left, 10);
    EXPECT_EQ(d.top, 10);
    EXPECT_EQ(p.left, 230);
    EXPECT_EQ(p.top, 10);
    RECT c{};
    GetClientRect(plot_, &c);
    EXPECT_EQ(c.right, 750);
    EXPECT_EQ(c.bottom, 600);
    HWND main = app_->FindTop("QUILLODRANE", nullptr, false);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));

    EXPECT_EQ(SendMessageA(Field(1001), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Field(1023), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    for (int id = 1009; id <= 1015; ++id)
        EXPECT_EQ(SendMessageA(Field(id), BM_GETCHECK, 0, 0), BST_CHECKED) << id;
    for (int id : {1021, 1022, 1005, 1033}) {
        EXPECT_EQ(SendMessageA(Field(id), TBM_GETPOS, 0, 0), 0) << id;
        EXPECT_EQ(SendMessageA(Field(id), TBM_GETRANGEMAX, 0, 0), 100) << id;
    }
    for (int id : {1004, 1027, 1028, 1031})
        EXPECT_EQ(WindowText(Field(id)), "0") << id;

    // The graph: every curve colour but the seventh (which is the frame's
    // colour too) shows on the screen.
    YYColourTableInit();
    Capture shot;
    bool allColours = PollUntil([&] {
        shot = CaptureScreen(PlotArea());
        for (int i = 0; i < 6; ++i)
            if (shot.Count(gColourTable.entries[kCurveColours[i]]) < 50)
                return false;
        return true;
    }, kWaitMs);
    for (int i = 0; i < 6; ++i)
        EXPECT_GE(shot.Count(gColourTable.entries[kCurveColours[i]]), 50) << "curve " << i + 1;
    EXPECT_TRUE(allColours);

    Click(1002);
    ExpectExit(0);
}

// The road of a session: a bare focus move changes nothing; p2 = 40; T3
// off; the plot choice redraws another table; the About box three times;
// the plot window closed and reopened by the next change; Exit.
TEST_F(Kestrow, Session)
{
    ASSERT_NO_FATAL_FAILURE(StartAndFind());
    const ResultFiles start = Files();

    // Tabbing to a field: no table, no file, no graph changes.
    ASSERT_NO_FATAL_FAILURE(FocusField(1022));
    EXPECT_FALSE(Exists(Path("povi.txt")));
    EXPECT_EQ(Files().splines, start.splines);

    // p2 = 40.
    Drag(1022, 40);
    ASSERT_NO_FATAL_FAILURE(ExpectPovi("    0    40     0\r\n    0\r\n"
                                       "  1.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00\r\n"
                                       "    1\r\n"));
    {
        ResultFiles got = Files();
        ExpectFiles(got, ReferenceFiles({0, 40, 0, 0}, kAllOn));
        ExpectFiles(got, CommittedReferenceFiles("p40"));
        EXPECT_NE(got.splines, start.splines);
        EXPECT_EQ(WindowText(Field(1027)), "40");
    }

    // T3 off: the log's third switch and a zero column 3 in the result files.
    const std::vector<double> t3Off{1, 1, 0, 1, 1, 1, 1};
    Click(1011);
    ASSERT_NO_FATAL_FAILURE(ExpectPovi("    0    40     0\r\n    0\r\n"
                                       "  1.00E+00   1.00E+00   0.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00\r\n"
                                       "    1\r\n"));
    {
        ResultFiles ref = ReferenceFiles({0, 40, 0, 0}, t3Off);
        ResultFiles got = Files();
        EXPECT_EQ(got.splines, ref.splines);
        EXPECT_EQ(got.firstDer, ref.firstDer);
        EXPECT_EQ(got.secondDer, ref.secondDer);
        const std::string zero = std::string(4, ' ') + "0.000000000000000E+000";
        for (const std::string* file : {&got.splines, &got.firstDer, &got.secondDer}) {
            std::vector<std::string> lines = Lines(*file);
            ASSERT_EQ(lines.size(), 201u);
            for (const std::string& line : lines) {
                ASSERT_EQ(line.size(), 234u);
                ASSERT_EQ(line.substr(3 * 26, 26), zero) << line;
            }
        }
    }

    // The plot choice: another table is drawn; back to the first, the same picture.
    Capture values;
    ASSERT_TRUE(PollUntil([&] { values = CaptureScreen(PlotArea()); return values.width > 0; }));
    const std::string logLines = "    0    40     0\r\n    0\r\n"
                                 "  1.00E+00   1.00E+00   0.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00\r\n";
    Click(1023);
    ASSERT_NO_FATAL_FAILURE(ExpectPovi(logLines + "    2\r\n"));
    Capture first;
    EXPECT_TRUE(PollUntil([&] { first = CaptureScreen(PlotArea()); return !(first == values); }, kWaitMs))
        << "the first derivatives look like the values";
    Click(1024);
    ASSERT_NO_FATAL_FAILURE(ExpectPovi(logLines + "    3\r\n"));
    EXPECT_TRUE(PollUntil([&] {
        Capture second = CaptureScreen(PlotArea());
        return !(second == values) && !(second == first);
    }, kWaitMs)) << "the second derivatives look like another table";
    Click(1001);
    ASSERT_NO_FATAL_FAILURE(ExpectPovi(logLines + "    1\r\n"));
    EXPECT_TRUE(PollUntil([&] { return CaptureScreen(PlotArea()) == values; }, kWaitMs))
        << "the values are not drawn as before";

    // The About dialog, modal at (10, 500), any number of times.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        Click(1003);
        HWND about = nullptr;
        ASSERT_TRUE(PollUntil([&] { return (about = app_->FindTop("#32770", "About")) != nullptr; }, kWaitMs));
        RECT r{};
        GetWindowRect(about, &r);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 500);
        EXPECT_EQ(WindowText(GetDlgItem(about, 1006)), kAboutLine);
        EXPECT_FALSE(IsWindowEnabled(dialog_)) << "the main dialog is disabled while the box is up";
        PostMessageA(GetDlgItem(about, round == 1 ? 1008 : 1007), BM_CLICK, 0, 0);
        ASSERT_TRUE(PollUntil([&] { return app_->FindTop("#32770", "About") == nullptr; }, kWaitMs));
        ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(dialog_) != FALSE; }, kWaitMs));
    }

    // Closing the plot window: the next change opens a new one at the same place.
    PostMessageA(plot_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(plot_); }, kWaitMs));
    ASSERT_TRUE(app_->Sync(dialog_));
    EXPECT_EQ(app_->FindTop(nullptr, kPlotTitle), nullptr);
    Click(1011); // T3 on again
    ASSERT_NO_FATAL_FAILURE(ExpectPovi("    0    40     0\r\n    0\r\n"
                                       "  1.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00   1.00E+00\r\n"
                                       "    1\r\n"));
    ASSERT_TRUE(PollUntil([&] { return (plot_ = app_->FindTop(nullptr, kPlotTitle)) != nullptr; }, kWaitMs));
    RECT p{};
    GetWindowRect(plot_, &p);
    EXPECT_EQ(p.left, 230);
    EXPECT_EQ(p.top, 10);
    YYColourTableInit();
    EXPECT_TRUE(PollUntil([&] {
        return CaptureScreen(PlotArea()).Count(gColourTable.entries[kCurveColours[0]]) >= 50;
    }, kWaitMs)) << "the new plot window shows no graph";

    Click(1002);
    ExpectExit(0);
}

// A resize redraws the graph across the new size. (An expose cannot be told
// apart from outside: the library repaints a window's client from its own copy.)
TEST_F(Kestrow, ResizeRedraws)
{
    ASSERT_NO_FATAL_FAILURE(StartAndFind());
    YYColourTableInit();
    const int red = gColourTable.entries[kCurveColours[0]];
    ASSERT_TRUE(PollUntil([&] { return CaptureScreen(PlotArea()).Count(red) >= 50; }, kWaitMs));

    // 150 pixels wider: the right end of the curves and the legend move into the new band.
    RECT outer{};
    GetWindowRect(plot_, &outer);
    SetWindowPos(plot_, nullptr, 0, 0, outer.right - outer.left + 150, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PollUntil([&] {
        RECT c{};
        GetClientRect(plot_, &c);
        return c.right == 900;
    }, kWaitMs));
    EXPECT_TRUE(PollUntil([&] {
        RECT band{760, 0, 900, 600};
        POINT tl{band.left, band.top}, br{band.right, band.bottom};
        ClientToScreen(plot_, &tl);
        ClientToScreen(plot_, &br);
        return CaptureScreen(RECT{tl.x, tl.y, br.x, br.y}).Count(red) >= 20;
    }, kWaitMs)) << "the graph was not redrawn across the new width";

    Click(1002);
    ExpectExit(0);
}

// Every way out ends the program with exit code 0.
TEST_F(Kestrow, WaysOut)
{
    struct Way {
        const char* name;
        void (*leave)(Kestrow&);
    };
    const Way ways[] = {
        {"Exit", [](Kestrow& k) { k.Click(1002); }},
        {"the dialog's close box (its cancel command)",
         [](Kestrow& k) { PostMessageA(k.dialog_, WM_CLOSE, 0, 0); }},
        {"Escape",
         [](Kestrow& k) {
             k.FocusField(1009);
             PostMessageA(k.Field(1009), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }},
        {"closing the main window",
         [](Kestrow& k) { PostMessageA(k.app_->FindTop("QUILLODRANE", nullptr, false), WM_CLOSE, 0, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Fresh();
        ASSERT_NO_FATAL_FAILURE(StartAndFind());
        way.leave(*this);
        ASSERT_NO_FATAL_FAILURE(ExpectExit(0));
    }
}

// Files that cannot be written: a box naming the file and a non-zero exit
// code, whether at start-up or after a change.
TEST_F(Kestrow, UnwritableFiles)
{
    struct Case {
        const char* name;
        const char* file;
        bool blockBeforeStart; // else blocked after start-up, before a change
        bool readOnly;         // a read-only file; else a folder of that name
    };
    const Case cases[] = {
        {"result file at start-up", "Kestrow_splines.txt", true, false},
        {"knots file at start-up, read-only", "Kestrow_knots.txt", true, true},
        {"parameter log", "povi.txt", true, false},
        {"parameter log, read-only", "povi.txt", true, true},
        {"result file after a change", "Kestrow_firstder.txt", false, false},
    };
    // Whether this system refuses to write a read-only file at all (Wine run
    // as root does not): the read-only cases are left out where it does not.
    bool readOnlyHolds = false;
    {
        const std::string probeFolder = NewFolder("probe");
        const std::string probe = probeFolder + "\\probe.txt";
        if (std::FILE* f = std::fopen(probe.c_str(), "wb"))
            std::fclose(f);
        SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
        std::FILE* f = std::fopen(probe.c_str(), "wb");
        readOnlyHolds = f == nullptr;
        if (f)
            std::fclose(f);
        SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(probe.c_str());
        RemoveDirectoryA(probeFolder.c_str());
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.readOnly && !readOnlyHolds) {
            std::printf("[ SKIPPED  ] %s: read-only files can be written on this system\n", c.name);
            continue;
        }
        Fresh();
        folder_ = NewFolder("bad");
        const std::string path = Path(c.file);
        auto block = [&] {
            DeleteFileA(path.c_str());
            if (c.readOnly) {
                std::FILE* f = std::fopen(path.c_str(), "wb");
                ASSERT_NE(f, nullptr);
                std::fclose(f);
                ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
            } else {
                ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
            }
        };
        const bool atStartUp = std::string(c.file) != "povi.txt" && c.blockBeforeStart;
        if (c.blockBeforeStart) {
            ASSERT_NO_FATAL_FAILURE(block());
        }
        StartIn(folder_, true);
        if (!atStartUp) {
            ASSERT_TRUE(PollUntil([&] { return (dialog_ = app_->FindTop("#32770", kDialogTitle)) != nullptr; },
                                  kStartMs));
            ASSERT_TRUE(app_->Sync(dialog_));
            if (!c.blockBeforeStart) {
                ASSERT_NO_FATAL_FAILURE(block());
            }
            ASSERT_NO_FATAL_FAILURE(FocusField(1021));
            Drag(1021, 5);
        }
        HWND box = nullptr;
        ASSERT_TRUE(PollUntil([&] { return (box = app_->FindTop("#32770", "Run-time error")) != nullptr; }, kStartMs))
            << "no box";
        std::vector<std::string> texts = ChildTexts(box);
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [&](const std::string& t) { return t.find(c.file) != std::string::npos; }))
            << "the box does not name " << c.file;
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        DWORD exitCode = 0;
        ASSERT_TRUE(app_->WaitExit(kWaitMs, exitCode));
        EXPECT_NE(exitCode, 0u);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Load: 500 accepted changes in a row. Every change rewrites the log and the
// result files; the process's windows, GUI objects and memory end where they
// were after the first few. Prints the median time from the posted change to
// the redrawn graph (a benchmark figure, not a limit).
TEST_F(Kestrow, FiveHundredChanges)
{
    ASSERT_NO_FATAL_FAILURE(StartAndFind());
    ASSERT_NO_FATAL_FAILURE(FocusField(1021));

    struct Usage {
        int windows = 0;
        DWORD gdi = 0, user = 0;
        SIZE_T privateBytes = 0, workingSet = 0;
    };
    auto usage = [&] {
        Usage u;
        u.windows = app_->WindowCount();
        u.gdi = GetGuiResources(app_->process(), GR_GDIOBJECTS);
        u.user = GetGuiResources(app_->process(), GR_USEROBJECTS);
        PROCESS_MEMORY_COUNTERS_EX m{};
        m.cb = sizeof m;
        if (GetProcessMemoryInfo(app_->process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m)) {
            // Wine leaves PrivateUsage at 0; its PagefileUsage is the private data.
            u.privateBytes = m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage;
            u.workingSet = m.WorkingSetSize;
        }
        return u;
    };

    constexpr int kChanges = 500;
    constexpr int kWarmUp = 20;
    std::vector<double> ms;
    Usage before;
    std::string lastSplines = Files().splines;
    int p1 = 0;
    for (int i = 0; i < kChanges; ++i) {
        if (i == kWarmUp)
            before = usage();
        p1 = ((i + 1) * 37) % 101; // never the value before
        const std::string expected = ExpectedParameterLog({p1, 0, 0, 0}, kAllOn, 1);
        auto t0 = std::chrono::steady_clock::now();
        Drag(1021, p1);
        ASSERT_TRUE(PollUntil([&] { return Povi() == expected; }, kWaitMs)) << "change " << i;
        ASSERT_TRUE(app_->Sync(dialog_));
        auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        std::string splines = Files().splines;
        ASSERT_NE(splines, lastSplines) << "change " << i << " did not rewrite the values file";
        lastSplines = splines;
        if (i % 100 == 99) {
            ResultFiles ref = ReferenceFiles({p1, 0, 0, 0}, kAllOn);
            ResultFiles got = Files();
            ASSERT_EQ(got.splines, ref.splines) << "change " << i;
            ASSERT_EQ(got.firstDer, ref.firstDer) << "change " << i;
            ASSERT_EQ(got.secondDer, ref.secondDer) << "change " << i;
            ASSERT_EQ(got.knots, ref.knots) << "change " << i;
        }
    }
    const Usage after = usage();

    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("[ BENCH    ] posted change to redrawn graph: median %.1f ms, fastest %.1f ms, slowest %.1f ms "
                "over %d changes\n",
                median, ms.front(), ms.back(), kChanges);
    std::printf("[ USAGE    ] after %d / %d changes: windows %d / %d, GDI objects %lu / %lu, USER objects %lu / %lu, "
                "private bytes %lu / %lu, working set %lu / %lu\n",
                kWarmUp, kChanges, before.windows, after.windows, before.gdi, after.gdi, before.user, after.user,
                static_cast<unsigned long>(before.privateBytes), static_cast<unsigned long>(after.privateBytes),
                static_cast<unsigned long>(before.workingSet), static_cast<unsigned long>(after.workingSet));
    RecordProperty("median_change_ms", std::to_string(median));

    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    // A leak of even one small allocation per change would show here; the
    // allowance covers the heap's growth in whole pages.
    EXPECT_LE(after.privateBytes, before.privateBytes + 256 * 1024);

    Click(1002);
    ExpectExit(0);
}

} // namespace

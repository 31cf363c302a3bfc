// Library start-up and shut-down. The start-up steps that can run more than
// once (install directory, temporary names, environment, command line,
// hardcopy models, editor buffers) are tested here directly; the whole
// start-up, which runs once per process, in child processes that report the
// state they end with.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/box_autopilot.h"
#include "support/child_process.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/window_table.h"
#include "dialogs/message_box.h"
#include "editor/editor_buffers.h"
#include "hardcopy/hardcopy_state.h"

using namespace startup_test;

namespace {

// Sets environment variables for one test and restores them afterwards.
class EnvScope {
public:
    void Set(const std::string& name, const char* value)
    {
        char old[4096];
        DWORD n = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
        saved_.emplace_back(name, n > 0 && n < sizeof old ? std::string(old, n) : std::string(), n > 0);
        SetEnvironmentVariableA(name.c_str(), value);
    }
    ~EnvScope()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            SetEnvironmentVariableA(std::get<0>(*it).c_str(), std::get<2>(*it) ? std::get<1>(*it).c_str() : nullptr);
    }

private:
    std::vector<std::tuple<std::string, std::string, bool>> saved_;
};

std::string Trim(std::string_view s)
{
    return std::string(TrimRight(s));
}

TEST(LibraryStartSteps, EnvironmentVariable)
{
    EnvScope env;
    env.Set("KVB_VALUE", "abc");
    env.Set("KVB_UNSET", nullptr);
    gErrorState = ErrorState{};
    FixedText<5> v("zzzzz");
    IOsVariable("KVB_VALUE   ", v);
    EXPECT_EQ(v.view(), "abc  ");
    IOsVariable("KVB_UNSET", v);
    EXPECT_EQ(v.view(), "     ");
    EXPECT_EQ(gErrorState.lastCode, 0);

    env.Set("KVB_VALUE", "abcde");
    IOsVariable("KVB_VALUE", v);
    EXPECT_EQ(v.view(), "abcde"); // exactly fits
    env.Set("KVB_VALUE", "abcdef");
    FixedText<5> w("zzzzz");
    IOsVariable("KVB_VALUE", w);
    EXPECT_EQ(w.view(), "     ");
    EXPECT_EQ(gErrorState.lastCode, 1023);
    gErrorState = ErrorState{};
}

TEST(LibraryStartSteps, InstallDirectory)
{
    struct Case {
        const char* quillo;
        const char* zote;
        const char* dir;
    } cases[] = {
        {"C:\\lib", nullptr, "C:\\lib\\"},
        {"C:\\lib\\", "D:\\x\\zote", "C:\\lib\\"},
        {nullptr, "D:\\tools\\zote\\bin", "D:\\tools\\"},
        {nullptr, "D:\\Zote\\x\\ZOTE\\y", "D:\\Zote\\x\\"}, // the last occurrence, any case
        {nullptr, "C:\\myzote", "C:\\my\\"},                 // cut before the word, separator appended
        {nullptr, "E:\\apps", "E:\\apps\\"},                // no word: the whole value, with a separator
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        EnvScope env;
        env.Set("QUILLO", c.quillo);
        env.Set("ZOTE", c.zote);
        gLibraryPaths.LFNGEN = 0;
        YYInstallDirectory();
        EXPECT_EQ(gLibraryPaths.installDirectory.trimmed(), c.dir)
            << (c.quillo ? c.quillo : "-") << " " << (c.zote ? c.zote : "-");
        EXPECT_EQ(gLibraryPaths.LFNGEN, 40);
        EXPECT_EQ(gLibraryPaths.pathSeparator, '\\');
        EXPECT_EQ(gLibraryState.localeDecimalSwitch, 0);
        EXPECT_NE(gLibraryPaths.localeDecimalSeparator, ' ');
    }
}

TEST(LibraryStartSteps, TemporaryFileNames)
{
    std::string dir = NewScratchFolder();
    ASSERT_FALSE(dir.empty());
    WriteFile(dir + "\\kvb$$00.plt", "");
    WriteFile(dir + "\\kvb$$01.plt", "");
    WriteFile(dir + "\\kvb$$00.dmp", "");
    {
        EnvScope env;
        env.Set("TEMP", dir.c_str()); // without the final "\"
        env.Set("TMP", "Z:\\never");
        YYTempFileNames();
        EXPECT_EQ(gLibraryPaths.tempPlotFile.trimmed(), dir + "\\kvb$$02.plt");
        EXPECT_EQ(gLibraryPaths.tempDumpFile.trimmed(), dir + "\\kvb$$01.dmp");
    }
    std::string dir2 = NewScratchFolder();
    {
        EnvScope env;
        env.Set("TEMP", nullptr);
        env.Set("TMP", (dir2 + "\\").c_str());
        for (int i = 0; i < 100; ++i) {
            char n[8];
            std::snprintf(n, sizeof n, "%02d", i);
            WriteFile(dir2 + "\\kvb$$" + n + ".plt", "");
        }
        YYTempFileNames();
        EXPECT_EQ(gLibraryPaths.tempPlotFile.trimmed(), dir2 + "\\kvb$$99.plt"); // all taken
        EXPECT_EQ(gLibraryPaths.tempDumpFile.trimmed(), dir2 + "\\kvb$$00.dmp");
    }
    {
        EnvScope env;
        env.Set("TEMP", nullptr);
        env.Set("TMP", nullptr);
        YYTempFileNames();
        if (!Exists("C:\\kvb$$00.plt")) {
            EXPECT_EQ(gLibraryPaths.tempPlotFile.trimmed(), "C:\\kvb$$00.plt");
        }
        EXPECT_EQ(gLibraryPaths.tempDumpFile.trimmed().substr(0, 8), "C:\\kvb$$");
    }
}

TEST(LibraryStartSteps, VersionAndScreen)
{
    FixedText<6> v("zzzzzz");
    YYVersionString(v);
    EXPECT_EQ(v.view(), "8.0d  ");

    int w = 0, h = 0, nc = 0, ps = 0;
    ScreenCapsQuery(w, h, nc, ps);
    EXPECT_EQ(w, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(h, GetSystemMetrics(SM_CYSCREEN));
    HDC dc = GetDC(nullptr);
    int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(nc, 1 << std::min(bits, 24));
    EXPECT_EQ(ps, nc == 2 ? 2 : nc == 16 ? 8 : nc == 256 ? 16 : 256);
    EXPECT_EQ(gLibraryState.screenWidth, w);
    EXPECT_EQ(gLibraryState.colourCount, nc);
    EXPECT_GT(gLibraryState.dotsPerInchX, 0);
    EXPECT_EQ(gLibraryState.ntFamily, 1); // Wine reports the NT family
}

TEST(LibraryStartSteps, CommandLineTokens)
{
    struct Case {
        const char* line;
        std::vector<std::string> tokens;
    } cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"   prog    a   ", {"prog", "a"}},
        {"\"C:\\Program Files\\k.exe\" x", {"C:\\Program Files\\k.exe", "x"}},
        {"p \"two words\" last", {"p", "two words", "last"}},
        {"p \"\" x", {"p", "x"}},                // an empty quoted token is not counted
        {"p \"open to the end", {"p", "open to the end"}},
        {"p \"q\"z rest", {"p", "q", "rest"}},   // the character after the quote is skipped
        {"p a\"b c", {"p", "a\"b", "c"}},        // a quote inside a token is a character
        {"", {}},
        {"     ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandLineTokens(c.line), c.tokens) << c.line;
}

TEST(LibraryStartSteps, CommandLineArgument)
{
    std::vector<std::string> tokens = CommandLineTokens(GetCommandLineA());
    ASSERT_GE(tokens.size(), 1u);
    const int last = static_cast<int>(tokens.size()) - 1;
    FixedText<300> arg("unchanged");
    EXPECT_EQ(YYCommandLineArgument(-1, arg), last);
    EXPECT_EQ(arg.trimmed(), "unchanged");
    EXPECT_EQ(YYCommandLineArgument(last + 1, arg), last);
    EXPECT_EQ(arg.trimmed(), "unchanged");
    if (last >= 1) {
        EXPECT_EQ(YYCommandLineArgument(last, arg), last);
        EXPECT_EQ(arg.trimmed(), tokens[last]);
    }
    // Token 0 is the program file's full path.
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    EXPECT_EQ(YYCommandLineArgument(0, arg), 0);
    EXPECT_EQ(arg.trimmed(), module);
    // A short ARG receives the token cut.
    FixedText<3> shortArg;
    YYCommandLineArgument(0, shortArg);
    EXPECT_EQ(shortArg.view(), std::string(module).substr(0, 3));
}

TEST(LibraryStartSteps, HardcopyDeviceSettings)
{
    struct Case {
        int printer, plotter, hpgl2;
        int model, cls, dotsPerBand, resolution0, resolutionCount, option24, plotterModel, kind;
    } cases[] = {
        // PRINTER 27, 1, 39 and absent give model 28: class 7, 300 dpi, kind 1.
        {27, 0, 0, 28, 7, 1, 300, 4, 2, 1, 1},
        {1, 0, 0, 28, 7, 1, 300, 4, 2, 1, 1},
        {39, 0, 0, 28, 7, 1, 300, 4, 2, 1, 1},
        {0, 0, 0, 28, 7, 1, 300, 4, 2, 1, 1},
        // 29: class 11 folded to 7 with 600 dpi first; its description gives kind 3.
        {29, 0, 0, 29, 7, 1, 600, 4, 2, 1, 3},
        // HPGL2 = 3 wins over the printer model.
        {32, 0, 3, 32, 8, 1, 300, 4, 2, 1, 3},
        {32, 0, 0, 32, 8, 1, 300, 4, 2, 1, 2},
        {36, 0, 0, 36, 6, 1, 720, 3, 1, 1, 1},
        {19, 5, 0, 19, 4, 24, 360, 4, 0, 5, 1},
        {9, 0, 0, 9, 3, 8, 160, 2, 0, 1, 1},
        // PLOTTER 12 gives kind 2; HPGL2 = 4 overrides it, HPGL2 = 9 derives it.
        {0, 12, 0, 28, 7, 1, 300, 4, 2, 1, 2},
        {0, 12, 4, 28, 7, 1, 300, 4, 2, 1, 4},
        {35, 12, 9, 35, 7, 1, 300, 4, 2, 1, 2},
        {38, 11, 9, 38, 7, 1, 600, 4, 2, 1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.printer << " " << c.plotter << " " << c.hpgl2);
        gHardcopyState = HardcopyState{};
        HardcopyStateStartupReset();
        // The order of library start-up.
        YYSetPrinterModel(c.printer);
        YYSetPlotterModel(c.plotter);
        if (c.hpgl2 != 0 || gHardcopyState.hpgl2Kind == 0)
            YYSetHpgl2Device(c.hpgl2);
        const HardcopyState& h = gHardcopyState;
        EXPECT_EQ(h.printerModel, c.model);
        EXPECT_EQ(h.printerClass, c.cls);
        EXPECT_EQ(h.dotsPerBand, c.dotsPerBand);
        EXPECT_EQ(h.resolutions[0], c.resolution0);
        EXPECT_EQ(h.resolutionCount, c.resolutionCount);
        EXPECT_EQ(h.option24Limit, c.option24);
        EXPECT_EQ(h.plotterModel, c.plotterModel);
        EXPECT_EQ(h.hpgl2Kind, c.kind);
    }
    // Command families of the dot-matrix classes.
    YYSetPrinterModel(9);
    EXPECT_EQ(gHardcopyState.commandFamily, 22);
    YYSetPrinterModel(19);
    EXPECT_EQ(gHardcopyState.commandFamily, 29);
    YYSetPrinterModel(17);
    EXPECT_EQ(gHardcopyState.commandFamily, 24);
    EXPECT_EQ(gHardcopyState.colourKind, 0);
    YYSetPrinterModel(13);
    EXPECT_EQ(gHardcopyState.colourKind, 1);
    EXPECT_EQ(gHardcopyState.colourDigit, 3);

    // Dump defaults: 2 the PostScript file, anything else the Windows printer.
    const int two = 2, four = 4;
    YYSetPrinterModel(36);
    YYSetDumpDefaults(&two);
    EXPECT_EQ(gHardcopyState.dump.device, 2);
    EXPECT_EQ(gHardcopyState.dump.code(1), 756);
    EXPECT_EQ(gHardcopyState.dump.code(4), -20);
    EXPECT_EQ(gHardcopyState.dump.code(24), 1);
    EXPECT_EQ(gLibraryPaths.dumpFileName.trimmed(), "quildump.ps");
    YYSetDumpDefaults(&four);
    EXPECT_EQ(gHardcopyState.dump.device, 10);
    YYSetDumpDefaults();
    EXPECT_EQ(gHardcopyState.dump.device, 10);
    EXPECT_EQ(gHardcopyState.dump.code(7), 1);
    EXPECT_EQ(gHardcopyState.dump.code(19), 3);
    if (gHardcopyState.printerAvailable) {
        EXPECT_GT(gHardcopyState.dump.code(1), 0);
        EXPECT_EQ(gHardcopyState.dump.code(3), 72);
    } else {
        EXPECT_EQ(gHardcopyState.dump.code(1), 0); // no default printer: nothing read
    }
}

TEST(LibraryStartSteps, EditorBufferStore)
{
    EditorBufferStoreCreate();
    FixedText<12> name("zzzzzzzzzzzz");
    YYEditBufferGetName(3, 1, name);
    EXPECT_EQ(name.view(), std::string(1, '\0') + std::string(11, ' '));

    YYEditBufferPutName(3, 1, "first.txt   ");
    YYEditBufferPutName(3, 2, "second.txt");
    YYEditBufferPutName(3, 3, "third.txt");
    YYEditBufferPutName(0, 35, "main.txt");
    YYEditBufferGetName(3, 2, name);
    EXPECT_EQ(name.view(), std::string("second.txt") + '\0' + ' ');
    FixedText<4> cut;
    YYEditBufferGetName(3, 2, cut);
    EXPECT_EQ(cut.view(), "seco");

    EditorBufferEntry(3, 2)->unmodified = 1;
    int saved = 7;
    YYEditBufferGetValue(3, 2, saved);
    EXPECT_EQ(saved, 1);

    // Freeing buffer 1 moves 2 and 3 down and empties the last.
    YYEditBufferFree(3, 1);
    YYEditBufferGetName(3, 1, name);
    EXPECT_EQ(name.trimmed().substr(0, 10), "second.txt");
    YYEditBufferGetName(3, 2, name);
    EXPECT_EQ(name.trimmed().substr(0, 9), "third.txt");
    EXPECT_EQ(EditorBufferEntry(3, 3)->namePresent, 0);
    EXPECT_EQ(EditorBufferEntry(3, 1)->unmodified, 1);

    // Out-of-range windows and buffers are ignored.
    EXPECT_EQ(EditorBufferEntry(51, 1), nullptr);
    EXPECT_EQ(EditorBufferEntry(0, 0), nullptr);
    EXPECT_EQ(EditorBufferEntry(0, 36), nullptr);
    YYEditBufferPutName(-1, 1, "x");
    YYEditBufferGetValue(0, 36, saved);
    YYEditBufferFree(51, 1);

    EditorBufferStoreRelease(3);
    EXPECT_EQ(EditorBufferEntry(3, 1)->namePresent, 0);
    EXPECT_EQ(EditorBufferEntry(0, 35)->namePresent, 1);
    EditorBufferStoreShutdown();
    EXPECT_EQ(EditorBufferEntry(0, 35)->namePresent, 0);
    EXPECT_EQ(EditorBufferEntry(0, 35)->name, nullptr);
}

// ---------------------------------------------------------------------------
// The whole start-up in a child process.

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

void WriteReport(const std::string& file)
{
    std::ostringstream r;
    const LibraryState& s = gLibraryState;
    const LibraryPaths& p = gLibraryPaths;
    const HardcopyState& h = gHardcopyState;
    r << "guard=" << s.startupGuard << "\n"
      << "level=" << gErrorState.level << "\n"
      << "lastCode=" << gErrorState.lastCode << "\n"
      << "install=" << Trim(p.installDirectory.view()) << "\n"
      << "chardir=" << Trim(p.CHARDIR.view()) << "\n"
      << "charset=" << Trim(p.CHARSET.view()) << "\n"
      << "lfngen=" << p.LFNGEN << "\n"
      << "lfnploti=" << p.LFNPLOTI << "\n"
      << "tempPlot=" << Trim(p.tempPlotFile.view()) << "\n"
      << "tempDump=" << Trim(p.tempDumpFile.view()) << "\n"
      << "hardcopyFile=" << Trim(p.hardcopyFileName.view()) << "\n"
      << "PRINTER=" << h.PRINTER << "\n"
      << "PLOTTER=" << h.PLOTTER << "\n"
      << "HPGL2=" << h.HPGL2 << "\n"
      << "printerModel=" << h.printerModel << "\n"
      << "plotterModel=" << h.plotterModel << "\n"
      << "hpgl2Kind=" << h.hpgl2Kind << "\n"
      << "dumpDevice=" << h.dump.device << "\n"
      << "driverNumber=" << h.driverNumber << "\n"
      << "beep=" << s.beepSwitch << "\n"
      << "aspect=" << (s.textAspectFactor == 1.32f ? "1.32" : "other") << "\n"
      << "fontMemo=" << s.lastWindowTextFont.family << s.lastWindowTextFont.bold
      << s.lastWindowTextFont.italic << s.lastWindowTextFont.widthPixels
      << s.lastWindowTextFont.heightPixels << "\n"
      << "undefined=" << gDialogStatus.undefinedInteger << "," << gDialogStatus.undefinedReal << ","
      << gDialogStatus.undefinedDouble << "\n"
      << "screen=" << (s.screenWidth > 0 && s.screenHeight > 0 ? "yes" : "no") << "\n"
      << "dialogWords=" << gDialogStatus.currentDialogId << gDialogStatus.exitField
      << gDialogStatus.previousField << gDialogStatus.exitDialog << gDialogStatus.lastAnswer << "\n"
      << "window0Flags=" << s.windowFlags[0] << "\n"
      << "mainOpen=" << s.mainWindowOpen << "\n";
    WriteFile(file, r.str());
}

// KVB_INIFILE: the INIFILE argument ("<absent>" for none); KVB_SECOND_INIFILE:
// a second start-up call; KVB_SHUTDOWN: shut down and report again.
TEST(DISABLED_StartupChild, Run)
{
    BoxAutopilot pilot(IDOK, Env("KVB_CHILD_BOXLOG").c_str());
    std::string ini = Env("KVB_INIFILE");
    if (ini == "<absent>")
        WLibraryStart();
    else
        WLibraryStart(ini);
    if (!Env("KVB_SECOND_INIFILE").empty())
        WLibraryStart(Env("KVB_SECOND_INIFILE"));
    WriteReport("report.txt");
    if (!Env("KVB_SHUTDOWN").empty()) {
        // State that shut-down clears.
        // A window in the window table, which shut-down closes.
        HWND w = CreateWindowExA(0, "STATIC", "x", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        gWindowTable.frame[3] = w;
        gLibraryState.mainWindowOpen = 1;
        gLibraryState.windowFlags[0] = 7;
        gDialogStatus = DialogStatus{101, 1007, 3, 102, 2, gDialogStatus.undefinedInteger,
                                     gDialogStatus.undefinedReal, gDialogStatus.undefinedDouble};
        YYEditBufferPutName(0, 1, "a.txt");
        YYEditBufferPutName(7, 35, "b.txt");
        WLibraryShutdown();
        WriteReport("after.txt");
        WriteFile("after_extra.txt", std::string(IsWindow(w) ? "window" : "nowindow") +
                                         (EditorBufferEntry(0, 1)->namePresent ? " name0" : "") +
                                         (EditorBufferEntry(7, 35)->namePresent ? " name7" : ""));
        // A second start-up after shut-down does nothing.
        gLibraryPaths.LFNGEN = 1;
        WLibraryStart();
        WriteFile("restart.txt", std::to_string(gLibraryPaths.LFNGEN));
    }
    std::exit(0);
}

using Report = std::map<std::string, std::string>;

Report ParseReport(const std::string& text)
{
    Report r;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            r[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return r;
}

class Startup : public testing::Test {
protected:
    void SetUp() override
    {
        dir = NewScratchFolder();
        ASSERT_FALSE(dir.empty());
        // A known environment: nothing of the library's variables set.
        env = {{"QUILLO", ""}, {"ZOTE", ""}, {"QUILINIT", ""}, {"QUILDEBUG", ""}, {"TEMP", dir},
               {"TMP", ""}, {"KVB_INIFILE", "<absent>"}, {"KVB_SECOND_INIFILE", ""}, {"KVB_SHUTDOWN", ""},
               {"KVB_CHILD_BOXLOG", dir + "\\boxes.txt"}};
    }
    void SetEnv(const std::string& name, const std::string& value)
    {
        for (auto& e : env)
            if (e.first == name) {
                e.second = value;
                return;
            }
        env.emplace_back(name, value);
    }
    Report Run(const std::string& file = "report.txt")
    {
        ChildRun run = RunChildTest("DISABLED_StartupChild.Run", env, dir);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return ParseReport(ReadFile(dir + "\\" + file));
    }
    std::string dir;
    std::vector<std::pair<std::string, std::string>> env;
};

TEST_F(Startup, DefaultsWithoutConfiguration)
{
    SetEnv("QUILLO", "C:\\lib");
    Report r = Run();
    EXPECT_EQ(r["guard"], "-9999");
    EXPECT_EQ(r["install"], "C:\\lib\\");
    EXPECT_EQ(r["chardir"], "C:\\lib\\charsets\\");
    EXPECT_EQ(r["charset"], "standard.chr");
    EXPECT_EQ(r["lfngen"], "40");
    EXPECT_EQ(r["lfnploti"], "42");
    EXPECT_EQ(r["tempPlot"], dir + "\\kvb$$00.plt");
    EXPECT_EQ(r["tempDump"], dir + "\\kvb$$00.dmp");
    EXPECT_EQ(r["hardcopyFile"], "");
    EXPECT_EQ(r["level"], "0");
    EXPECT_EQ(r["lastCode"], "0");
    EXPECT_EQ(r["printerModel"], "28");
    EXPECT_EQ(r["plotterModel"], "1");
    EXPECT_EQ(r["hpgl2Kind"], "1");
    EXPECT_EQ(r["dumpDevice"], "10");
    EXPECT_EQ(r["driverNumber"], "0");
    EXPECT_EQ(r["beep"], "1");
    EXPECT_EQ(r["aspect"], "1.32");
    EXPECT_EQ(r["fontMemo"], "-1-1-1-1-1");
    EXPECT_EQ(r["undefined"], "-999,-999,-999");
    EXPECT_EQ(r["screen"], "yes");
    EXPECT_EQ(r["mainOpen"], "0");
    EXPECT_FALSE(Exists(dir + "\\boxes.txt"));

    // No install directory: CHARDIR blank.
    SetEnv("QUILLO", "");
    SetEnv("ZOTE", "D:\\tools\\zote\\bin");
    Report z = Run();
    EXPECT_EQ(z["install"], "D:\\tools\\");
    EXPECT_EQ(z["chardir"], "D:\\tools\\charsets\\");
    SetEnv("ZOTE", "");
    Report none = Run();
    EXPECT_EQ(none["install"], "");
    EXPECT_EQ(none["chardir"], "");
}

TEST_F(Startup, ConfigurationFileSearchOrder)
{
    std::string inst = dir + "\\inst";
    ASSERT_TRUE(CreateDirectoryA(inst.c_str(), nullptr));
    WriteFile(inst + "\\quillo.ini", "PRINTER=6\n");
    SetEnv("QUILLO", inst);
    EXPECT_EQ(Run()["PRINTER"], "6"); // the install directory's file

    WriteFile(dir + "\\quillo.ini", "PRINTER=3\n");
    EXPECT_EQ(Run()["PRINTER"], "3"); // the current directory's file first

    WriteFile(dir + "\\q.ini", "PRINTER=4\n");
    SetEnv("QUILINIT", dir + "\\q.ini");
    EXPECT_EQ(Run()["PRINTER"], "4"); // QUILINIT first

    SetEnv("QUILINIT", dir + "\\missing.ini");
    EXPECT_EQ(Run()["PRINTER"], "3"); // a missing QUILINIT file is passed over

    SetEnv("QUILINIT", dir + "\\q.ini");
    WriteFile(dir + "\\i.ini", "PRINTER=5\nCHARSET=mine.chr\n");
    SetEnv("KVB_INIFILE", dir + "\\i.ini");
    EXPECT_EQ(Run()["PRINTER"], "5"); // INIFILE first of all

    SetEnv("KVB_INIFILE", dir + "\\nothere.ini");
    EXPECT_EQ(Run()["PRINTER"], "4"); // an unusable INIFILE falls back to the search
    SetEnv("KVB_INIFILE", "   ");
    EXPECT_EQ(Run()["PRINTER"], "4");

    // A second start-up changes nothing, even with another INIFILE.
    WriteFile(dir + "\\j.ini", "PRINTER=9\nCHARSET=other.chr\nLFNGEN=77\n");
    SetEnv("KVB_INIFILE", dir + "\\i.ini");
    SetEnv("KVB_SECOND_INIFILE", dir + "\\j.ini");
    Report twice = Run();
    EXPECT_EQ(twice["PRINTER"], "5");
    EXPECT_EQ(twice["charset"], "mine.chr");
    EXPECT_EQ(twice["lfngen"], "40");
}

TEST_F(Startup, ConfigurationKeys)
{
    WriteFile(dir + "\\quillo.ini",
              " debug = 2 \r\n"
              "DE=3\r\n"
              "=4\r\n"
              "PRINTER=abc\r\n"
              "LFNGEN=42\r\n"
              "DEBUGGER=1\r\n"
              "LFNPLOTI=50\r\n"
              "CHARDIR=X:\\fonts\r\n"
              "HPGL2=0\r\n"
              "PRINTER=29\r\n"
              "PLOTTER=4\r\n");
    Report r = Run();
    EXPECT_EQ(r["level"], "2");
    EXPECT_EQ(r["lastCode"], "0");
    EXPECT_EQ(r["PRINTER"], "29");
    EXPECT_EQ(r["lfngen"], "40");
    EXPECT_EQ(r["lfnploti"], "50");
    EXPECT_EQ(r["chardir"], "X:\\fonts\\"); // "\" appended
    EXPECT_EQ(r["hpgl2Kind"], "3");         // from printer model 29's description
    EXPECT_EQ(r["plotterModel"], "4");
    // The bad number was reported at the level then in force: the debug log.
    EXPECT_EQ(ReadFile(dir + "\\debug"), "Routine:IStringToInteger Error=  12:Invalid character detected\r\n");

    WriteFile(dir + "\\quillo.ini", "PRINTER=32\nHPGL2=3\n");
    EXPECT_EQ(Run()["hpgl2Kind"], "3");
}

TEST_F(Startup, ReportLevelFromTheEnvironment)
{
    struct Case {
        const char* value;
        const char* level;
    } cases[] = {{"4", "4"}, {"1", "1"}, {"0", "0"}, {"9", "0"}, {"x", "0"}, {"12", "0"}};
    for (const Case& c : cases) {
        SetEnv("QUILDEBUG", c.value);
        Report r = Run();
        EXPECT_EQ(r["level"], c.level) << c.value;
        EXPECT_EQ(r["lastCode"], "0") << c.value; // 1023 of "12" is cleared
    }
    // The configuration file comes after the environment.
    SetEnv("QUILDEBUG", "4");
    WriteFile(dir + "\\quillo.ini", "DEBUG=1\n");
    EXPECT_EQ(Run()["level"], "1");
}

TEST_F(Startup, VersionRequestShowsTheVersionAndEnds)
{
    for (const char* line : {"VERSION=x\n", "ver=\n"}) {
        WriteFile(dir + "\\quillo.ini", line);
        DeleteFileA((dir + "\\boxes.txt").c_str());
        DeleteFileA((dir + "\\report.txt").c_str());
        ChildRun run = RunChildTest("DISABLED_StartupChild.Run", env, dir);
        EXPECT_EQ(run.exitCode, 0) << line;
        EXPECT_EQ(ReadFile(dir + "\\boxes.txt"), "Quillodrane|Abnormal exit (code 0) : Quillodrane version 8.0d\n")
            << line;
        EXPECT_FALSE(Exists(dir + "\\report.txt")) << line; // start-up never returned
    }
}

TEST_F(Startup, ShutdownReleasesAndResets)
{
    SetEnv("KVB_SHUTDOWN", "1");
    Report before = Run("report.txt");
    Report after = ParseReport(ReadFile(dir + "\\after.txt"));
    EXPECT_EQ(after["window0Flags"], "-1");
    EXPECT_EQ(after["mainOpen"], "0");
    EXPECT_EQ(after["dialogWords"], "00000");
    EXPECT_EQ(after["undefined"], "-999,-999,-999"); // kept
    EXPECT_EQ(after["guard"], "-9999");              // not reset
    EXPECT_EQ(ReadFile(dir + "\\after_extra.txt"), "nowindow");
    EXPECT_EQ(ReadFile(dir + "\\restart.txt"), "1"); // the library cannot start again
}

} // namespace

// Library start-up and shut-down: screen and system values, global defaults,
// install and temporary directories, the configuration file, the report level
// from the environment, the command line, and the hand-over of the hardcopy
// settings; at shut-down the release of hardcopy, metafiles, windows, the
// public dialog words and the editor buffers.
#include "core/library_start.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "core/config_file.h"
#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/fortran_format.h"
#include "core/layer_steps.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/os_services.h"

LibraryState gLibraryState;
LibraryPaths gLibraryPaths;

namespace {

constexpr const char* kVersion = "8.0d";
constexpr int kPathLength = 260;

// The command line, copied at the first YYCommandLineArgument.
bool gCommandLineRead = false;
std::vector<std::string> gCommandLineTokens;

std::string Trimmed(std::span<const char> text)
{
    return std::string(TrimRight(TextOf(text)));
}

// The value of an environment variable through IOsVariable into a text of
// LENGTH characters, trimmed.
std::string EnvironmentValue(std::string_view name, int length = kPathLength)
{
    std::string buffer(length, ' ');
    IOsVariable(name, std::span<char>(buffer.data(), buffer.size()));
    return std::string(TrimRight(buffer));
}

bool FileExists(const std::string& name)
{
    if (name.empty())
        return false;
    DWORD a = GetFileAttributesA(name.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool NameExists(const std::string& name)
{
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

void IOsVariable(std::string_view name, std::span<char> value)
{
    std::fill(value.begin(), value.end(), ' ');
    std::string n(TrimRight(name));
    std::string buffer(value.size() + 1, '\0');
    int length = 0;
    OsGetEnv(length, n.c_str(), buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0)
        return;
    if (length >= static_cast<int>(buffer.size())) {
        YYErrorReport(kErrorTextTooSmall, "IOsVariable");
        return;
    }
    PutText(value, std::string_view(buffer.data(), static_cast<size_t>(length)));
}

void ScreenCapsQuery(int& width, int& height, int& ncolours, int& palsize)
{
    HDC dc = GetDC(nullptr);
    width = GetDeviceCaps(dc, HORZRES);
    height = GetDeviceCaps(dc, VERTRES);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    int planes = GetDeviceCaps(dc, PLANES);
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);

    int exponent = std::max(planes, 0) * std::clamp(bits, 0, 24);
    exponent = std::min(exponent, 30); // 2^30 fits; more planes than one never occur
    ncolours = 1 << exponent;
    palsize = ncolours == 2 ? 2 : ncolours == 16 ? 8 : ncolours == 256 ? 16 : 256;

    int platform = 0, major = 0, minor = 0;
    OsPlatform(platform);
    OsVersion(major, minor);
    gLibraryState.screenWidth = width;
    gLibraryState.screenHeight = height;
    gLibraryState.dotsPerInchX = dpi;
    gLibraryState.colourCount = ncolours;
    gLibraryState.paletteSize = palsize;
    gLibraryState.ntFamily = platform == 4 ? 1 : 0;
    gLibraryState.osMajorVersion = major;
}

std::string InstallDirectoryFromZote(std::string_view zote)
{
    std::string upper(zote);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    size_t at = upper.rfind("ZOTE");
    if (at == std::string::npos)
        return std::string(zote);
    return std::string(zote.substr(0, at));
}

void YYInstallDirectory()
{
    LibraryPaths& p = gLibraryPaths;
    p.pathSeparator = '\\';
    char separator = ' ';
    LocaleDecimalSeparator(separator);
    gLibraryState.localeDecimalSwitch = 0;

    std::string dir = EnvironmentValue("QUILLO");
    if (dir.empty())
        dir = InstallDirectoryFromZote(EnvironmentValue("ZOTE"));
    // Either way the directory ends with a separator, so that file names can
    // be appended to it.
    if (!dir.empty() && dir.back() != '\\')
        dir += '\\';
    PutText(p.installDirectory.span(), dir);
    p.LFNGEN = 40;
}

void YYTempFileNames()
{
    std::string dir = EnvironmentValue("TEMP");
    if (dir.empty())
        dir = EnvironmentValue("TMP");
    if (dir.empty())
        dir = "C:\\";
    if (dir.back() != '\\')
        dir += '\\';

    auto firstFree = [&](const char* extension) {
        std::string name;
        for (int nn = 0; nn <= 99; ++nn) {
            name = dir + "kvb$$" + FortranFormat("(I2.2)", {nn}) + extension;
            if (!NameExists(name))
                break;
        }
        return name;
    };
    PutText(gLibraryPaths.tempPlotFile.span(), firstFree(".plt"));
    PutText(gLibraryPaths.tempDumpFile.span(), firstFree(".dmp"));
}

void YYVersionString(std::span<char> text)
{
    PutText(text, kVersion);
}

std::vector<std::string> CommandLineTokens(std::string_view text)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (text[i] == '"') {
            size_t close = text.find('"', i + 1);
            size_t end = close == std::string_view::npos ? n : close;
            if (end > i + 1)
                tokens.emplace_back(text.substr(i + 1, end - i - 1));
            // Past the closing quote and the character after it.
            i = close == std::string_view::npos ? n : close + 2;
            continue;
        }
        size_t end = text.find(' ', i);
        if (end == std::string_view::npos)
            end = n;
        tokens.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return tokens;
}

int YYCommandLineArgument(int n, std::span<char> arg)
{
    if (!gCommandLineRead) {
        gCommandLineRead = true;
        char line[kOsCommandLineSize];
        std::memset(line, 0, sizeof line);
        OsCommandLine(line);
        line[kOsCommandLineSize - 1] = '\0';
        // Everything from the first NUL on is blank.
        std::string text(line, std::strlen(line));
        gCommandLineTokens = CommandLineTokens(text);
    }
    const int last = static_cast<int>(gCommandLineTokens.size()) - 1;
    if (n == 0) {
        char module[MAX_PATH + 1] = {};
        OsModuleFileName(module, MAX_PATH);
        module[MAX_PATH] = '\0';
        PutText(arg, module);
        return last >= 0 ? 0 : last;
    }
    if (n >= 1 && n <= last) {
        PutText(arg, gCommandLineTokens[n]);
        return n;
    }
    return last;
}

void WLibraryStart(std::optional<std::string_view> iniFile)
{
    LibraryState& s = gLibraryState;
    LibraryPaths& p = gLibraryPaths;

    // 1. Once per process.
    if (s.startupGuard == kLibraryStartedGuard)
        return;
    s.startupGuard = kLibraryStartedGuard;

    // 2, 3. Screen and system; install directory.
    int w, h, nc, ps;
    ScreenCapsQuery(w, h, nc, ps);
    YYInstallDirectory();

    // 4. Defaults.
    p.LFNPLOTI = 42;
    s.mainWindowOpen = 0;
    s.textAspectFactor = 1.32f;
    s.lastWindowTextFont = LibraryState::WindowTextFontMemo{};
    gErrorState = ErrorState{};
    // The dialog words, the hardcopy models and the editor's buffer store.
    LibraryLayerStepsRun(&LibraryLayerSteps::start);

    // 5, 6. Beep on; stroke-font directory.
    BeepEnable(1);
    std::string install = Trimmed(p.installDirectory.view());
    PutText(p.CHARDIR.span(), install.empty() ? std::string() : install + "charsets");

    // 7. The configuration file the search finds.
    std::string configPath;
    std::string quilinit = EnvironmentValue("QUILINIT");
    if (FileExists(quilinit))
        configPath = quilinit;
    else if (FileExists("quillo.ini"))
        configPath = "quillo.ini";
    else if (!install.empty() && FileExists(install + "quillo.ini"))
        configPath = install + "quillo.ini";

    // 8, 9. File names.
    PutText(p.dumpFileName.span(), "");
    PutText(p.hardcopyFileName.span(), "");
    PutText(p.CHARSET.span(), "standard.chr");
    YYTempFileNames();

    // 10. Report level from "QUILDEBUG": one character "0" to "4".
    char level[1] = {' '};
    IOsVariable("QUILDEBUG", std::span<char>(level, 1));
    YYErrorLevelSet(level[0] - '0');
    gErrorState.lastCode = 0;

    // 11. Read and keep the command line.
    char unused[1] = {' '};
    YYCommandLineArgument(-1, std::span<char>(unused, 1));

    // 12, 13. The configuration file.
    ConfigSettings settings;
    settings.LFNGEN = p.LFNGEN;
    settings.LFNPLOTI = p.LFNPLOTI;
    settings.CHARDIR = Trimmed(p.CHARDIR.view());
    settings.CHARSET = Trimmed(p.CHARSET.view());
    bool applied = false;
    if (iniFile) {
        std::string name(TrimRight(*iniFile));
        if (FileExists(name))
            applied = ConfigFileApply(name, settings);
    }
    if (!applied && !configPath.empty())
        ConfigFileApply(configPath, settings);
    p.LFNGEN = settings.LFNGEN;
    p.LFNPLOTI = settings.LFNPLOTI;
    PutText(p.CHARDIR.span(), settings.CHARDIR);
    PutText(p.CHARSET.span(), settings.CHARSET);

    // 14. CHARDIR ends in "\".
    std::string chardir = Trimmed(p.CHARDIR.view());
    if (!chardir.empty() && chardir.back() != '\\')
        PutText(p.CHARDIR.span(), chardir + "\\");

    // 15. Hardcopy device settings (the hardcopy layer's).
    LibraryLayerConfigure(settings);

    // 16. A version request shows the version and ends the program.
    if (settings.versionRequested) {
        char version[8];
        YYVersionString(std::span<char>(version, sizeof version));
        std::string text = "Quillodrane version " + Trimmed(std::span<const char>(version, sizeof version));
        YYAbnormalExit(text, 0);
    }
}

void WLibraryShutdown()
{
    // 1, 2. The graphics layer ends an open hardcopy and frees the metafile
    // slots in use.
    LibraryLayerStepsRun(&LibraryLayerSteps::beforeWindows);

    // 3. Every window, dialog and resource of the window engine.
    AllWindowsDestroy();

    // 4, 5. Window words; then the dialog words and the editor buffers.
    gLibraryState.mainWindowOpen = 0;
    gLibraryState.windowFlags[0] = -1;
    LibraryLayerStepsRun(&LibraryLayerSteps::afterWindows);
}

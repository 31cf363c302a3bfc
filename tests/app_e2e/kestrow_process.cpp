#include "kestrow_process.h"

#include "app/parameter_log.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "support/poll.h"
#include "support/reference_image.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

// The Linux path in environment variable NAME as a Windows path ("Z:" plus
// backslashes); empty when the variable is not set.
std::string WindowsPathFromEnv(const char* name)
{
    const char* linux = std::getenv(name);
    if (!linux || !*linux)
        return std::string();
    std::string path = std::string("Z:") + linux;
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}

} // namespace

std::string ProgramPath() { return WindowsPathFromEnv("KESTROW_EXE"); }

ResultFiles CommittedReferenceFiles(const std::string& state)
{
    ResultFiles r;
    const std::string dir = WindowsPathFromEnv("KESTROW_REFERENCE_DIR");
    if (dir.empty())
        return r;
    r.splines = ReadFile(dir + "\\" + state + "_splines.txt");
    r.firstDer = ReadFile(dir + "\\" + state + "_firstder.txt");
    r.secondDer = ReadFile(dir + "\\" + state + "_secondder.txt");
    r.knots = ReadFile(dir + "\\knots.txt");
    return r;
}

std::string NewFolder(const std::string& tag)
{
    static int counter = 0;
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    for (;;) {
        std::string name = std::string(tmp) + "kestrow_e2e_" + tag + "_" + std::to_string(GetCurrentProcessId()) +
                           "_" + std::to_string(++counter);
        if (CreateDirectoryA(name.c_str(), nullptr))
            return name;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[8192];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string ExpectedParameterLog(const std::vector<int32_t>& p, const std::vector<double>& c, int plot)
{
    std::string text;
    for (const std::string& r : ParameterLogRecords(p, c, plot))
        text += r + "\r\n";
    return text;
}

ResultFiles ReadResultFiles(const std::string& folder)
{
    ResultFiles r;
    r.splines = ReadFile(folder + "\\" + kSplinesFile);
    r.firstDer = ReadFile(folder + "\\" + kFirstDerFile);
    r.secondDer = ReadFile(folder + "\\" + kSecondDerFile);
    r.knots = ReadFile(folder + "\\" + kKnotsFile);
    return r;
}

ResultFiles ReferenceFiles(const std::vector<int32_t>& p, const std::vector<double>& c)
{
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    std::string folder = NewFolder("ref");
    ResultFiles r;
    if (folder.empty() || !SetCurrentDirectoryA(folder.c_str()))
        return r;
    SplineModuleInit();
    KnotVectorBuild();
    SplineModule& s = gSplineModule;
    for (size_t i = 0; i < p.size() && i < s.pxdraw.size(); ++i)
        s.pxdraw[i] = p[i];
    for (size_t i = 0; i < c.size() && i < s.cdraw.size(); ++i)
        s.cdraw[i] = c[i];
    if (SplineTabulate() == kTabulateOk)
        r = ReadResultFiles(folder);
    SetCurrentDirectoryA(old);
    for (const char* f : {kSplinesFile, kFirstDerFile, kSecondDerFile, kKnotsFile})
        DeleteFileA((folder + "\\" + f).c_str());
    RemoveDirectoryA(folder.c_str());
    return r;
}

int Capture::Count(int rgb) const
{
    const uint32_t want = static_cast<uint32_t>(((rgb & 0xff) << 16) | (rgb & 0xff00) | ((rgb >> 16) & 0xff));
    int n = 0;
    for (uint32_t px : pixels)
        n += px == want;
    return n;
}

Capture CaptureScreen(const RECT& r)
{
    Capture c;
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    const std::vector<int> rgb = DcPixels(screen, r.left, r.top, w, h);
    ReleaseDC(nullptr, screen);
    if (rgb.empty())
        return c;
    c.width = w;
    c.height = h;
    c.pixels.reserve(rgb.size());
    for (int v : rgb) // packed RGB to 0x00RRGGBB
        c.pixels.push_back(static_cast<uint32_t>(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF)));
    return c;
}

KestrowProcess::~KestrowProcess()
{
    if (pi_.hProcess) {
        if (Running()) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 10000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
}

bool KestrowProcess::Start(const std::string& folder, bool faultBoxes)
{
    folder_ = folder;
    std::string exe = ProgramPath();
    if (exe.empty())
        return false;
    // The child inherits our environment; around its start the fault-box
    // switch is removed when the boxes are wanted.
    char saved[64] = {};
    DWORD had = GetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", saved, sizeof saved);
    if (faultBoxes)
        SetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", nullptr);
    else
        SetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", "1");
    // The child's standard handles are the null device: left to default it
    // would share (and under Wine disturb) this program's output.
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    BOOL ok = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &pi_);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    SetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", had > 0 && had < sizeof saved ? saved : nullptr);
    if (!ok) {
        pi_ = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

namespace {

struct FindArgs {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND w, LPARAM lp)
{
    auto* a = reinterpret_cast<FindArgs*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == a->pid)
        a->found.push_back(w);
    return TRUE;
}

BOOL CALLBACK CountChild(HWND, LPARAM lp)
{
    ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND w, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

} // namespace

HWND KestrowProcess::FindTop(const char* cls, const char* title, bool visibleOnly) const
{
    if (!pi_.hProcess)
        return nullptr;
    FindArgs a{pi_.dwProcessId, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&a));
    for (HWND w : a.found) {
        char c[128] = {}, t[512] = {};
        GetClassNameA(w, c, sizeof c);
        GetWindowTextA(w, t, sizeof t);
        if (cls && std::string(c) != cls)
            continue;
        if (title && std::string(t) != title)
            continue;
        if (visibleOnly && !IsWindowVisible(w))
            continue;
        return w;
    }
    return nullptr;
}

int KestrowProcess::WindowCount() const
{
    FindArgs a{pi_.dwProcessId, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&a));
    int n = static_cast<int>(a.found.size());
    for (HWND w : a.found)
        EnumChildWindows(w, CountChild, reinterpret_cast<LPARAM>(&n));
    return n;
}

bool KestrowProcess::Sync(HWND window, int timeoutMs) const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result) != 0;
}

HWND KestrowProcess::Focus() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(pi_.dwThreadId, &info))
        return nullptr;
    return info.hwndFocus;
}

bool KestrowProcess::Running() const
{
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool KestrowProcess::WaitExit(int timeoutMs, DWORD& exitCode)
{
    if (!pi_.hProcess)
        return false;
    if (!PollUntil([&] { return !Running(); }, timeoutMs))
        return false;
    return GetExitCodeProcess(pi_.hProcess, &exitCode) != 0;
}

std::string WindowText(HWND w)
{
    char buf[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, &result);
    return buf;
}

std::vector<std::string> ChildTexts(HWND w)
{
    std::vector<HWND> children;
    EnumChildWindows(w, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<std::string> texts;
    for (HWND c : children)
        texts.push_back(WindowText(c));
    return texts;
}

} // namespace e2e

// Driving the built program from outside: Kestrow.exe started in a folder of
// its own, its windows found by process, stimuli posted to them, its files
// read, and reference files computed in this process with the same numerics.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// The program as a Windows path: KESTROW_EXE (a Linux path) as "Z:" plus
// backslashes; empty when the variable is not set.
std::string ProgramPath();

// A new empty folder under the temporary folder.
std::string NewFolder(const std::string& tag);

std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// The lines of a text whose lines end in CR LF (the last one included).
std::vector<std::string> Lines(const std::string& text);

// The exact bytes of "povi.txt" for the given values.
std::string ExpectedParameterLog(const std::vector<int32_t>& p, const std::vector<double>& c, int plot);

// The four result files (name -> bytes) that the program writes for the given
// parameters and switches, computed in this process in a scratch folder.
struct ResultFiles {
    std::string splines, firstDer, secondDer, knots;
};
ResultFiles ReferenceFiles(const std::vector<int32_t>& p, const std::vector<double>& c);
// The files committed in tests/app_e2e/reference for STATE ("start": all
// parameters 0; "p40": p2 = 40), every switch on, values plotted. Both
// architectures must write exactly these bytes. Empty when
// KESTROW_REFERENCE_DIR is not set.
ResultFiles CommittedReferenceFiles(const std::string& state);
ResultFiles ReadResultFiles(const std::string& folder);

// An RGB image of a screen rectangle.
struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows from the top
    bool operator==(const Capture& o) const
    {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
    // Pixels of exactly the packed colour RGB (red + 256 green + 65536 blue).
    int Count(int rgb) const;
};
Capture CaptureScreen(const RECT& screenRect);

class KestrowProcess {
public:
    KestrowProcess() = default;
    ~KestrowProcess();
    KestrowProcess(const KestrowProcess&) = delete;
    KestrowProcess& operator=(const KestrowProcess&) = delete;

    // Starts the program in FOLDER. FAULTBOXES: let it show its failure boxes
    // (the test environment suppresses them otherwise).
    bool Start(const std::string& folder, bool faultBoxes = false);

    // Top-level windows of the process with class CLS (any when null) and
    // title TITLE (any when null); the first visible one is preferred.
    HWND FindTop(const char* cls, const char* title, bool visibleOnly = true) const;
    // The number of windows of the process, top-level and children.
    int WindowCount() const;

    // Waits until the process has handled everything posted so far that
    // reached its message loop: a message sent to WINDOW returns only when
    // the program waits for messages again.
    bool Sync(HWND window, int timeoutMs = 15000) const;
    // The window that has the keyboard focus in the program's thread.
    HWND Focus() const;

    // Polls for the end of the process; EXITCODE receives its code.
    bool WaitExit(int timeoutMs, DWORD& exitCode);
    bool Running() const;

    HANDLE process() const { return pi_.hProcess; }
    DWORD processId() const { return pi_.dwProcessId; }
    DWORD threadId() const { return pi_.dwThreadId; }
    const std::string& folder() const { return folder_; }

private:
    PROCESS_INFORMATION pi_{};
    std::string folder_;
};

// Text of a window of another process (WM_GETTEXT).
std::string WindowText(HWND w);
// Texts of every child window of W.
std::vector<std::string> ChildTexts(HWND w);

} // namespace e2e

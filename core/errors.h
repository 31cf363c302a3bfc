// Error model of the library: the one reporter every public routine calls with
// a library error code and its own name, the error state, the message texts,
// the debug log and the abnormal exit.
#pragma once

#include <span>
#include <string_view>

// The error state: five words, all 0 after library start-up.
struct ErrorState {
    int lastCode = 0;    // last library error code recorded; 0 = none
    int osError = 0;     // OS or I/O code that belongs to the last error 1 or 2
    int status = 0;      // second status (compression status with 1044, OS code with 13)
    int level = 0;       // report level 0..4
    int osErrorKind = 0; // 2 Windows error code in osError, 1 I/O status, 0 nothing
};
extern ErrorState gErrorState;

// Records CODE and delivers the error line at the current report level.
// NAME is the reporting routine's name ("IFileOpen", "YYGAPI", ...).
void YYErrorReport(int code, std::string_view name);
void YYErrorCodeSet(int code);
void YYErrorLevelSet(int level);
// Message text of CODE, blank-padded or cut to TEXT's length. KIND: absent or 1
// library table, 2 or 4 Windows system message, 3 compression status; other
// kinds leave TEXT unchanged.
void YYErrorMessage(int code, std::span<char> text, const int* kind = nullptr);
void YYDebugLogText(std::string_view text);
void DebugLogOpen();
void DebugLogLine(const char* text);
void DebugLogValue(const char* name, int value);
[[noreturn]] void YYAbnormalExit(std::string_view text, int code);

// Level 3 delivers the error line to part 1 of the main window's status bar.
// The window layer installs the delivery when the main window exists; without
// it level 3 shows nothing (as for a missing bar).
using ErrorStatusBarDelivery = void (*)(std::string_view line);
void ErrorStatusBarDeliverySet(ErrorStatusBarDelivery delivery);

// Error model of the library: the one reporter every public routine calls with
// a library error code (named in core/error_codes.h) and its own name, the
// error state, the message texts, the debug log and the abnormal exit.
#pragma once

#include <span>
#include <string>
#include <string_view>

// The error state: five words, all 0 after library start-up.
struct ErrorState {
    int lastCode = 0;    // last library error code recorded; 0 = none
    int osError = 0;     // OS or I/O code that belongs to the last error 1 or 2
    int status = 0;      // second status (zlib status with kErrorCompression, OS code with kErrorOperatingSystem)
    int level = 0;       // report level 0..4
    int osErrorKind = 0; // 2 Windows error code in osError, 1 I/O status, 0 nothing
};
extern ErrorState gErrorState;

// Report levels: where the error line goes.
constexpr int kReportNone = 0;       // only recorded
constexpr int kReportStdout = 1;     // one line on standard output
constexpr int kReportDebugLog = 2;   // one line of the debug log
constexpr int kReportStatusBar = 3;  // part 1 of the main window's status bar
constexpr int kReportMessageBox = 4; // OK/Cancel box "Library Error"; Cancel ends the process

// Length of the error line and of the system-message work text.
constexpr int kErrorLineLength = 200;
constexpr int kSystemMessageLength = 300;

// Records CODE and delivers the error line at the current report level.
// NAME is the reporting routine's name ("IFileOpen", "YYGAPI", ...).
void YYErrorReport(int code, std::string_view name);
void YYErrorCodeSet(int code);
// Sets the report level when LEVEL is 0..4; other values change nothing.
void YYErrorLevelSet(int level);
// Message text of CODE, blank-padded or cut to TEXT's length. KIND: absent or 1
// library table, 2 or 4 Windows system message, 3 compression status; other
// kinds leave TEXT unchanged.
void YYErrorMessage(int code, std::span<char> text, const int* kind = nullptr);

// The error line YYErrorReport delivers for CODE and NAME with the current
// osError, status and osErrorKind, trimmed (at most 200 characters).
std::string ErrorLineCompose(int code, std::string_view name);
// The three-line text (lines separated by a carriage return) of the
// "Library Error" box for the same report.
std::string ErrorBoxTextCompose(int code, std::string_view name);

// Debug log: "debug", else "debug.txt", else "debug.dat" in the current
// directory, created at the first write of the process and kept open.
void YYDebugLogText(std::string_view text);
void DebugLogOpen();
void DebugLogLine(const char* text);
void DebugLogValue(const char* name, int value);
// The name of the log file in use; empty before the first write or when none
// of the three names could be created.
std::string DebugLogFileName();

// Ends the process with exit code CODE, first showing TEXT (when not blank)
// in an error box captioned "Quillodrane".
// Exit code of the process when the user answers Cancel in the level-4 box.
inline constexpr int kErrorCancelExitCode = 1;
[[noreturn]] void YYAbnormalExit(std::string_view text, int code);
// The text of that box: "Abnormal exit (code N) : " followed by TEXT.
std::string AbnormalExitText(std::string_view text, int code);

// Level 3 delivers the error line to part 1 of the main window's status bar.
// The window layer installs the delivery when the main window exists; without
// it level 3 shows nothing (as for a missing bar).
using ErrorStatusBarDelivery = void (*)(std::string_view line);
void ErrorStatusBarDeliverySet(ErrorStatusBarDelivery delivery);

// Level 4 shows the error text in the "Library Error" box (OK, Cancel). The
// dialog layer installs the box while the program starts; it returns true
// when the user answered Cancel in a box that was shown, which ends the
// process with kErrorCancelExitCode. Without it level 4 shows nothing.
using ErrorBoxDelivery = bool (*)(std::string_view text);
void ErrorBoxDeliverySet(ErrorBoxDelivery delivery);

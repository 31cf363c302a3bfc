// The main window: WindowOpen with its engine MainWindowCreate (window
// classes, frame, bars, client, contents dialog, drawing set-up), the shut-down
// of the whole window system, and the creation steps child windows share.
#pragma once

#include <windows.h>

#include <string_view>

// Public: opens the main window (window 0). Every argument is optional;
// TOOLBARS points to four ids; DIALOG is in and out (id kept, or a negative
// status when the dialog did not become the window's contents).
void WindowOpen(const int* flags = nullptr, const int* x = nullptr, const int* y = nullptr,
                const int* width = nullptr, const int* height = nullptr, const int* menu = nullptr,
                const int* toolbars = nullptr, int* dialog = nullptr, std::string_view title = {},
                const int* ncol = nullptr, const int* bgColour = nullptr);

// The engine: WIDTH and HEIGHT in (client size asked) and out (obtained);
// DIALOG in and out (-1, -2, -4 on failure). Ends the process with the fatal
// box when a class or window cannot be made.
void MainWindowCreate(int x, int y, int& width, int& height, int flags, int menu, const int toolbars[4],
                      int ncol, int& dialog, int background, const char* title);

void AllWindowsDestroy();

// Shows the fatal box TEXT and ends the process with a non-zero exit code.
[[noreturn]] void WindowFatal(const char* text);

// ---- steps shared with child windows and split panes ----

// Tries dialog DIALOGID as a window's contents of client size WIDTH x HEIGHT
// with PARENT as the probe parent: 0 when it fits (FLAGS made fixed-size when
// the dialog is not resizable), -1 no resource, -2 wrong style, -4 creation
// failed. EXTENT returns the dialog's window size when it fits.
int ContentsDialogProbe(int dialogId, HWND parent, int width, int height, int& flags, SIZE* extent = nullptr);
// Frame style and extended style of the window-opening flags.
DWORD FrameStyle(int flags, DWORD base);
DWORD FrameExStyle(int flags, DWORD base);
// Creates the toolbars and, with flag 32, the status bar of window N (frame
// already in the table); grows OUTER (the frame's rectangle) by them and, for
// a centred axis, moves it back by half the growth. Returns whether any bar
// was made.
bool WindowBarsCreate(int n, const int toolbars[4], int flags, bool centreX, bool centreY, RECT& outer);
// Creates the client window of window N in the frame's client area less its bars.
HWND ClientWindowCreate(int n);
// Loads DIALOGID for window N for real, shows it unless hidden, attaches the
// type 3 record. Returns the dialog status (positive id, or negative).
int ContentsDialogAttach(int n, int dialogId, int flags);
// Background brush and colour of row N (colour -1: none).
void WindowBackgroundSet(int n, int colour);

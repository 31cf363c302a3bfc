// Child windows 1 to 50: popup windows or windows inside their parent's
// client area, opened at the lowest free number; closing a window closes
// everything inside it and every popup it owns.
#pragma once

#include <string_view>

// Public: opens a child window; HANDLE returns its number or -1. Every other
// argument is optional (TOOLBARS points to four ids; DIALOG in and out).
void WindowOpenChild(int& handle, const int* flags = nullptr, const int* x = nullptr, const int* y = nullptr,
                     const int* width = nullptr, const int* height = nullptr, const int* menu = nullptr,
                     const int* toolbars = nullptr, int* dialog = nullptr, std::string_view title = {},
                     const int* parent = nullptr, const int* bgColour = nullptr);
// Public: closes child window HANDLE (error 1003 when it is not open).
void WindowCloseChild(int handle);

// The engine: HANDLE out (number, or -1 no free number, -2 parent hidden,
// -3 parent holds a dialog, -4 parent is special, -5 no parent); DIALOG in
// and out (-1, -2, -3, -4, -5 on failure).
void ChildWindowCreate(int x, int y, int width, int height, int& handle, int flags, int menu,
                       const int toolbars[4], int& dialog, int parent, int background, const char* title);
// Closes child N (N := -1 when it is not an open child 1..50); the caller's
// CURRENTDIALOG becomes 0 when that dialog goes with the window.
void ChildWindowClose(int& n, int& currentDialog);
void WindowCloseTree(int n, int& currentDialog);
void WindowDestroy(int n, int& currentDialog);
void WindowSoundClose(int n);

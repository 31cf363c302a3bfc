// Services on the library's windows, most of them on the engine's current
// window: cursors, focus and activation, the window and drawing device
// contexts, geometry queries, placement, caption and icon, bringing to front,
// turning a special window back, plain window text and a few system queries.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

// The global cursor (0 = the class cursor).
extern HCURSOR gGlobalCursor;
extern int gGlobalCursorShape;

void CursorShapeSet(int shape, int scope, int kind, int n);
void CursorShapeGet(int& out, int scope, int n);
void CursorPositionSet(int x, int y, int kind);

void WindowFocusActivate(HWND frame);
void DrawingDCSelectWindow(int& width, int& height, int& n);
void DrawingDCRelease();

void WindowRectQuery(int mode, int& a, int& b, int& isChild, int& parent);
void WindowClientOrigin(int& x, int& y);
void WindowShowState(int& out);
void WindowClientArea(int& width, int& height, int& x, int& y, int& isChild, int& parent);
void WindowParentNumber(int& out);
void WindowNumberValid(int n, int& out);
void WindowRecordType(int& out);
void TargetClientSize(int kind, int n, int& width, int& height);
// Offset between work-area and screen coordinates, measured with a probe window.
POINT ProbeOffset();

void WindowPlacementSet(int x, int y, int& width, int& height, int state);
void WindowTitleIconSet(int& icon, int mode, const char* text);
void WindowToFront();
void WindowTypeRevert(int& dialogId, int flags, int& status);

int YYWindowInfo(int code);

// Plain window text.
struct WindowTextState {
    HFONT font = nullptr;   // the window-text font (nullptr: none created yet)
    bool stockFont = true;  // the font is a stock object (never deleted)
    int foreground = 0;     // index into the window colours
    int background = 15;
    int underline = 0;
    int family = 0;
    int bold = 0;
    int italic = 0;
    int width = 0;          // last character width and height in pixels
    int height = 0;
    int normalWidth = 0;    // the same in 0..9999 units of the window
    int normalHeight = 0;
};
extern WindowTextState gWindowTextState;

void WindowTextFont(int family, int bold, int italic, int& width, int& height);
void WindowTextColours(int foreground, int background);
void WindowTextFlag(int underline);
void WindowColourSet(int index, int red, int green, int blue);
void WindowTextOut(int& x, int& y, std::string_view text);
void WindowTextWidth(int& width, std::string_view text);
void WindowFillRect(int left, int top, int right, int bottom, int colour);
void WindowScroll(int dx, int dy, int colour);
INT_PTR CALLBACK ProbeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void SystemColourGet(int which, int& out);
void MouseButtonCount(int& out);
void SpecialFolderPath(int csidl, std::span<char> buffer);
void SystemDirectoryGet(std::span<char> buffer);

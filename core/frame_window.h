// The two window procedures of every library window: the frame procedure
// (classes "QUILLODRANE" and "QUILCHILD": bars, menus, commands, close,
// frame clicks, size limits, tool tips, menu help) and the client procedure
// (class "QUILCLIENT": keys, mouse, expose, resize, focus).
#pragma once

#include <windows.h>

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ClientWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// True when FRAME is an inside child: a frame living in another frame's
// client area (a child window opened inside, or a pane of a split window).
bool IsInsideChild(HWND frame);
// The frame that encloses the client window holding the inside child FRAME.
HWND EnclosingFrame(HWND frame);
// Walks outward from FRAME through its enclosing frames (with SPLITS_ONLY
// only while they are split windows), each split window noting the pane it
// holds as focused; the outermost frame reached shows OWN, or else the menu
// of the first enclosing frame that has one.
void FocusWalkOut(HWND frame, HMENU own, bool splitsOnly);
// An inside child F (window N, or -1) going to KIND (SIZE_...): a maximise
// stores the normal placement of window N once, a restore puts a stored one
// back, a minimise deactivates F's caption and activates the enclosing
// frame's. Nothing for a frame that is no inside child.
void ChildPlacement(HWND f, int n, WPARAM kind);

// The status bar of window N, or of the window whose client area holds it
// (outward through inside children); nullptr when none.
HWND WindowStatusBarOf(int n);
// 1 when FRAME is not a split window; else asks its panes whether they may close.
int SplitCloseQuery(HWND frame);
// Translates MSG with the accelerators of window M on window N's frame, or
// with the tables of N's special pane when N is a split window with one.
int SplitAcceleratorsTranslate(int n, int m, MSG* msg);

// System-menu help text of command CMD.
const char* SystemMenuHelpText(UINT cmd);

// Split windows: a window divided into two panes (child windows inside its
// client) by a bar the user drags.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/window_table.h"

// Divides the current window. PANES gets the two pane numbers or two equal
// negative statuses (-1 no room or creation failed, -3 contents dialog,
// -4 special window, -6 windows inside).
void SplitWindowCreate(int panes[2], int options, const int paneFlags[2], int size, const int menus[2],
                       const int toolbars[2][4], int dialogs[2], const int colours[2], std::string_view title0,
                       std::string_view title1);
LRESULT CALLBACK SplitterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// 1 when pane PANE (0, 1) of RECORD is fixed along AXIS (0 width, 1 height).
int SplitPaneFixed(const SplitRecord* record, int pane, int axis);
// Lays out the panes and the bar in the divided window's client area.
void SplitLayout(SplitRecord* record);
// Undoes the split whose record is on FRAME: panes closed, bar destroyed.
void SplitUndo(HWND frame, int& currentDialog);

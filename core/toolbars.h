// Toolbars of library windows: built from an RCDATA button list and a bitmap
// of the same id, kept in z-order with the status bar, and their tool tips.
#pragma once

#include <windows.h>

#include <string_view>

void ToolbarCreate(int& id, int window, int slot, int& width, int& height);
void ToolTipSet(int& id, std::string_view text, int len);
void BarsZOrder(int window);
LRESULT CALLBACK ToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Frees window N's tool-tip table.
void ToolTipTableFree(int n);

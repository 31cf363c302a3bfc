// Status bars of library windows: the part layout, the part styles, texts put
// into parts, and the delivery of level-3 error lines to the main window's bar.
#pragma once

#include <string_view>

// PART 1..255: the trimmed TEXT goes to that part of the current window's
// status bar; any other PART does nothing.
void YYStatusBarText(int part, std::string_view text);
// Puts TEXT (NUL-terminated) into part PART of the current window's status bar.
void StatusBarPartText(int part, const char* text);
// Stores width (-1 = fill) and style (0 no borders, 2 pop-out, other plain) of
// part PART (1..255) of the current window; other parts are ignored.
void StatusBarPartDefine(int part, int width, int style);
// Lays out N parts on the current window's status bar and rewrites their texts.
void StatusBarPartsApply(int n);
// Sends the right edges of N parts of WINDOW's status bar.
void StatusBarPartsLayout(int window, int n);
// Computes the right edges of N parts from WIDTHS (-1 = fill) for a bar of
// client width TOTAL. Returns the number of edges written.
int StatusBarPartEdges(const int* widths, int n, int total, int* edges);
// Installs the level-3 error delivery to part 1 of window 0's status bar.
void StatusBarErrorDeliveryInstall();

// The application's plot windows: popup child windows of the hidden main
// window, opened with a fixed place, size and caption, at most three at a
// time, listed in the order of opening.
#pragma once

#include <array>
#include <string_view>

struct EventMessage;

struct PlotWindowList {
    int count = 0;                // entries 1..count in use
    std::array<int, 3> window{};  // window numbers in the order of opening
};
extern PlotWindowList gPlotWindowList;

// Place and size of a plot window: screen pixels and client pixels.
inline constexpr int kPlotWindowX = 230;
inline constexpr int kPlotWindowY = 10;
inline constexpr int kPlotWindowWidth = 750;
inline constexpr int kPlotWindowHeight = 600;

// Opens a plot window with caption TITLE and lists it; WIN receives its
// number. With three listed, shows the "Window Error" box and leaves WIN.
void PlotWindowOpen(int& win, std::string_view title);
// A close request: for the main window (number 0, also when EVENT is absent)
// EXITFLAG is set; any other window is closed and taken off the list.
void PlotWindowCloseRequest(int& exitflag, const EventMessage* event = nullptr);
// Takes window N off the list when it is there, then closes it.
void PlotWindowRemove(int n);

// The graph of the application: which table it shows (values, first or
// second derivatives of the seven basis functions), its title, ranges and
// legend texts, and the drawing of it with the presentation-graphics routines
// into a plot window.
#pragma once

#include "core/fixed_text.h"

struct PlotState {
    FixedText<40> plottitle;
    float xmin = 0.0f, xmax = 0.0f; // user range of the graph
    float ymin = 0.0f, ymax = 0.0f;
    int plotexists = 0;             // set by the first refresh
};
extern PlotState gPlotState;

// Colour numbers of curves 1..7.
inline constexpr int kCurveColours[7] = {19, 51, 83, 115, 147, 179, 223};

// Prepares the graph for the current plot choice and, when K > 0, redraws
// window K. When no plot window is open, one is opened first and its number
// stored in WIN (which may be the same variable as K).
void PlotRefresh(int& win, int& k);
// Draws the graph into the current drawing target.
void SplinePlotDraw();

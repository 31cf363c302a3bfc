// User ranges of the current graph (x, y, z and the polar unit), its plot
// area and legend area as fractions of the graphics area, the log-axis
// request, the axis positions, and the conversion of a data value into the
// world coordinates of the graphics area. State: gPgGraphState.
#pragma once

#include <string_view>


// User range (note the order x1, y1, x2, y2). Equal ends of an axis give
// 0..1 on that axis with error 16 under "IPgArea" (once per axis).
void IPgArea(float x1, float y1, float x2, float y2);
// Range of the third axis; z2 <= z1 gives 0..1 with error 16.
void IPgUnitsZ(float z1, float z2);
// Polar unit; a unit not above 0 gives 1 with error 16.
void IPgUnitsPolar(float unit);
// Plot area: each value is taken when it lies in its interval ([0, 1) for
// x1 and y1, (0, 1] for x2 and y2), else that field keeps its value. It stays
// for later graphs until set again.
void IPgPlotAreaFractions(float x1, float y1, float x2, float y2);
// "LOG" (any case) in the first three characters requests a log axis; any
// other text a linear one. The request belongs to no graph: IPgGraphBegin
// keeps it, so every later graph (of a type that can have that log axis)
// gets it too, until IPgLogAxes is called again or the graphics start-up
// clears it. A program that wants one log graph among linear ones asks for
// linear axes again after it.
void IPgLogAxes(std::string_view xKind, std::string_view yKind);

// Data value to world coordinate (linear or logarithmic axis).
float YYPgToWorldX(float x);
float YYPgToWorldY(float y);
void YYPgToWorld(float x, float y, float& wx, float& wy);

// Position of axis variant 1 or 2 (a y value for the x axis, an x value for
// the y axis); without VALUE the variant's position is switched off.
void IPgXAxisPosition(int variant, const float* value = nullptr);
void IPgYAxisPosition(int variant, const float* value = nullptr);

// Legend area; x2 <= x1 or y2 <= y1 means none (the legend places itself).
void IPgLegendArea(float x1, float y1, float x2, float y2);

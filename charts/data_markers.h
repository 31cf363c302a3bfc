// Markers at data points: the drawing routine of a type-7 graph. Each call
// draws the next data set, every point at its own x and y as a marker
// symbol, a letter, a number, a character of the marker font or a point, as
// the set's second style word says.
#pragma once

#include <span>

// Draws the next set of the current type-7 graph: point i at (X[i], Y[i])
// (for a polar graph X is the angle in degrees and Y the distance). COUNT
// (absent: the graph's point count) is raised to at least 1 and lowered to
// at most the point count; points for which X or Y holds no value count as
// missing. Does nothing on a graph of another type or past the last set.
void IPgMarkersDraw(std::span<const float> x, std::span<const float> y, const int* count = nullptr);

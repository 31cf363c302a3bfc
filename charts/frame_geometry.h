// The frame of the current graph and the base of an oblique graph.
//
// IPgFrameDraw draws the frame that the graph's options call for: the plot
// circle with its two diameters (polar), a box over the base parallelogram
// (oblique 3-D axes), a flat box in oblique view (3-D bars), or two straight
// lines through a data point. YYBaseGeometry and YYBaseCorners lay out the
// base of an oblique graph; the oblique axes, the graph texts and the frame
// read them. Nothing here keeps state between calls.
#pragma once

#include <array>

// Draws the frame. X and Y (absent: 0) are the data point the two straight
// lines of a flat graph pass through; a point outside the graph's range
// moves that line to the first value of the range.
void IPgFrameDraw(const float* x = nullptr, const float* y = nullptr);

// Layout of an oblique graph's base in data units: x step per point, x step
// per data set, y fall per data set, y rise per point, the scale of the
// third axis (data y per third-axis unit), and the origin (corner 1).
void YYBaseGeometry(float& pointStepX, float& setStepX, float& setFallY, float& pointRiseY,
                    float& zScale, float& originX, float& originY);

// World corners 1 to 4 of the base parallelogram (index 0 is corner 1):
// corner 1 to 2 runs along the points, 1 to 4 along the data sets. LEFTMOST
// is the number (1..4) of the corner with the smallest world x, the first of
// equal ones; LEFTMOST_Y its y in data units.
void YYBaseCorners(std::array<float, 4>& wx, std::array<float, 4>& wy, int& leftmost,
                   float& leftmostY);

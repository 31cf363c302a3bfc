// Clipping of device segments to the graphics area and the small geometric
// helpers that the filled primitives share: the crossing of an edge with a
// scan line, the sort of hatch crossings and a plain exchange.
//
// Device units, origin at the bottom left, y upwards. Arithmetic is done in
// double and stored back into 32-bit reals through SaturateToFloat, so that
// no coordinate, however far outside the target, overflows or traps. No
// Win32 here.
#pragma once

#include <cfloat>
#include <cmath>
#include <utility>

#include "core/numeric.h"

// Clips the segment (X1, Y1)-(X2, Y2) in place to the device area of
// GraphicsState; VISIBLE is false when no part of it lies in the area. An end
// counts as inside when it lies in the clip box, bounds included. A segment
// whose ends share their integer x (or y) is clipped as vertical
// (horizontal). A NaN coordinate makes the segment invisible.
void YYClipLine(float& x1, float& y1, float& x2, float& y2, bool& visible);

// x of the line through (X1, Y1) and (X2, Y2) at height Y; a horizontal edge
// or a result beyond 2147480064 in magnitude gives +2147480064.
float YYEdgeCrossX(float x1, float y1, float x2, float y2, float y);

// Sorts KEYS[LO..HI] ascending (0-based, inclusive), moving COMPANIONS
// alike: ranges of fewer than 7 keys by exchange, larger ones by partitioning
// around the first key.
void YYCrossingSort(float* keys, float* companions, int lo, int hi);

template <class T>
inline void YYSwap(T& a, T& b)
{
    std::swap(a, b);
}

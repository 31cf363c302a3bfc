// Trapezia and parallelograms with two axis-parallel sides, in world units.
// The shape reaches the screen as the quadrilateral DeviceOp 7/8 and an open
// hardcopy as DeviceOp 7 (M = the orientation, then M = -1); hatching,
// outlines and line fills are drawn as device lines in the fill passes.
// Every entry reports its errors under "IGrTrapezium".
//
// Orientation 1: the parallel sides are vertical, at x1 from y1 to y1 + w1
// and at x2 from y2 - w2 to y2. Orientation 2 (any value but 1): horizontal,
// at y1 from x1 to x1 + w1 and at y2 from x2 - w2 to x2. Any orientation
// other than 1 and 2 is drawn as 2 without ordering the points and without
// the zero-size test, and goes to the devices as 2.
#pragma once

void IGrTrapezium(float x1, float y1, float x2, float y2, float w1, float w2, int orientation);
void IGrTrapeziumRel(float dx, float dy, float w1, float w2, int orientation);
void IGrParallelogram(float x1, float y1, float x2, float y2, float w, int orientation);
void IGrParallelogramRel(float dx, float dy, float w, int orientation);

// Filled and outlined ellipses and circles in world units. The screen side
// receives DeviceOp 4 (outline) or 5/6 (fill); an open hardcopy DeviceOp 5
// with M = 1 and, after the software passes, M = -1. Hatching, line fills
// and the outline a hardcopy driver asks for are drawn as device lines over
// the ellipse's polygon.
#pragma once

// Ellipse centred at world (X, Y), radius R in world x units, height ratio
// H. R or H not above 0 (or NaN) reports error 20 under "YYELIP" and leaves
// the pen; otherwise the pen moves to (X, Y), also when nothing is visible.
void YYELIP(float x, float y, float r, float h);
void YYCircle(float x, float y, float r);
void YYCircleAtPen(float r);
// The same ellipse by its other entry names: at (X, Y), and at the pen.
void YYEllipse(float x, float y, float radius, float ratio);
void YYEllipseAtPen(float radius, float ratio);

// The polygon of an ellipse with centre (DX, DY) and radii (RX, RY) in
// device units on a target TARGET_WIDTH pixels wide, written into
// DevicePointArrays: 2m points (2m + 1 when the single-precision step lies
// below pi/m) for m = trunc(RX) x 75 / TARGET_WIDTH + 25, at most 2000.
// Returns the point count.
int YYEllipsePolygon(float dx, float dy, float rx, float ry, int targetWidth);

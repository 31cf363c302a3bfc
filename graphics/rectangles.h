// Rectangles, triangles and gradient polygons in world units.
//
// Rectangle and triangle honour the fill style: solid and half-tone fills
// reach the screen as one fill DeviceOp (10/9, 12/11) and an open hardcopy as
// the odd code with M = 1 and M = -1; hatching, outlines and fills a driver
// asks for as lines are drawn as device lines in a screen and a hardcopy
// pass. The gradient polygon is always drawn as lines, one per pixel (or per
// hardcopy dot), in colours running from the previous to the current colour.
// Errors are reported under "IGrRectangle", "IGrTriangle" and
// "IGrPolygonGrad".
#pragma once

// Corners in any order. Equal x or equal y corners report error 22 and draw
// nothing; the pen ends at (X1, Y1), also when nothing is visible.
void IGrRectangle(float x1, float y1, float x2, float y2);
// Corners: the pen and the pen plus (DX, DY); the pen stays.
void YYRectangleRel(float dx, float dy);
// Corners in device units, any order; the pen stays.
void YYDeviceRectangle(float x1, float y1, float x2, float y2);

// Vertices in any order. Three equal x or three equal y draw nothing (error
// 22 only while the outline flag is set); the pen ends at (X1, Y1).
void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
// Vertices: the pen, the pen plus (DX2, DY2), the pen plus (DX3, DY3); the
// pen stays.
void YYTriangleRel(float dx2, float dy2, float dx3, float dy3);

// Polygon of N points filled with a gradient from the previous to the
// current colour: DIRECTION 1 upwards, 2 to the right, 3 downwards, 4 to the
// left (turned with the page). The pen ends at the first point (it stays
// when N <= 0).
void IGrPolygonGrad(const float* x, const float* y, int n, int direction);

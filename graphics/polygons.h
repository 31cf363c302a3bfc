// Filled polygons, clipped polylines and the smooth-curve resampler.
//
// YYPolygon sends the polygon to the screen side as DeviceOp 15/16 (solid and
// half-tone fills) and to an open hardcopy as DeviceOp 15 with M = 1 and
// M = -1; hatching, outlines and fills a driver asks for as lines are drawn
// as device lines: diagonal hatching through YYHatchFill, horizontal and
// vertical lines by a scan-line fill whose screen lines run through pixel
// centres. YYPolyline sends the visible runs of a polyline as DeviceOp 32.
#pragma once

// Polygon of N points; DEVICE = 0: world points (the pen moves to the first
// point), else device points. A last point equal to the first is dropped.
void YYPolygon(const float* x, const float* y, int n, int device);

// Polyline of N points clipped to the clip box; DEVICE as for YYPolygon (the
// pen moves to the last point).
void YYPolyline(const float* x, const float* y, int n, int device);

// Resamples the curve through the N points (X, Y) into M points (XO, YO)
// from piecewise quadratic Bezier curves through the points; M absent gives
// 10 N (the output arrays must hold that many). Nothing for N <= 2.
void YYCurveResample(const float* x, const float* y, int n, float* xo, float* yo, const int* m = nullptr);

// Curves and area charts of a type-4 graph: IPgCurveDraw draws the next data
// set as a polyline, a smooth curve or an area filled down to the baseline,
// optionally stacked on the sets drawn before it, with markers or labels at
// selected points. Also the missing-value test, the smooth-curve routine,
// the running sums of a stacked graph (StackBaseTable) and the two rules the
// polar branch shares with the plain one: closing a run of points and the
// markers after a curve.
#pragma once

#include <functional>
#include <span>
#include <vector>

// The running sums of the sets of a stacked curve graph drawn so far, one per
// point. Set 1 (re)creates it with zeros; it is freed after the last set.
struct StackBaseTable {
    std::vector<float> base;
};
extern StackBaseTable gStackBaseTable;

// Draws the next set of the current type-4 graph from its Y values, one per
// point (the graph's point count). Points for which Y holds no value count as
// missing. Does nothing on a graph of another type or past the last set.
void IPgCurveDraw(std::span<const float> y);

// True when VALUE is present: false only while bit 0 of the missing-value
// switch is set and VALUE equals the missing value exactly.
bool YYStateDiffers(float value);

// Smooth curve through the N world points (X, Y), resampled into M points
// (absent: 10 N) and drawn as a polyline. Nothing for N < 3 or M < 2.
void YYCurveDraw(const float* x, const float* y, int n, const int* m = nullptr);

// Closes a run of K world points (X, Y): with smoothing a straight line for
// two points and a smooth curve through three or more, else a polyline. K
// becomes 0.
void YYCurveRunClose(const float* x, const float* y, int& k);

// The world position of point I (1-based) of a set; false skips the point.
using CurvePointPosition = std::function<bool(int i, float& wx, float& wy)>;

// Markers or labels of line-drawn set SET after its curve, by the set's
// second style word: at each point selected by the point steps whose value in
// Y is present, at the position POSITION gives.
void YYCurveMarkers(int set, std::span<const float> y, const CurvePointPosition& position);

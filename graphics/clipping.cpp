// Segment clipping against the graphics area, edge crossings and the sort of
// hatch crossings.
#include "graphics/clipping.h"

#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"

namespace {

bool AnyNan(float a, float b, float c, float d)
{
    return std::isnan(a) || std::isnan(b) || std::isnan(c) || std::isnan(d);
}

// A vertical (or horizontal) segment: the low end raised to LO, the high end
// lowered to HI along the coordinate pair (A1, A2); which end is low is
// decided by A2 <= A1.
void ClampAxis(float& a1, float& a2, float lo, float hi)
{
    if (a2 <= a1) {
        if (a2 < lo)
            a2 = lo;
        if (a1 > hi)
            a1 = hi;
    } else {
        if (a1 < lo)
            a1 = lo;
        if (a2 > hi)
            a2 = hi;
    }
}

void ExchangeSort(float* keys, float* companions, int lo, int hi)
{
    for (int i = lo; i < hi; ++i)
        for (int j = i + 1; j <= hi; ++j)
            if (keys[i] > keys[j]) {
                YYSwap(keys[i], keys[j]);
                YYSwap(companions[i], companions[j]);
            }
}

} // namespace

void YYClipLine(float& x1, float& y1, float& x2, float& y2, bool& visible)
{
    visible = true;
    if (AnyNan(x1, y1, x2, y2)) {
        visible = false;
        return;
    }
    if (YYInsideClip(x1, y1) && YYInsideClip(x2, y2))
        return;
    const auto& a = gGraphicsState.deviceArea; // x1a, y1a, x2a, y2a

    if (YYDeviceTrunc(x1) == YYDeviceTrunc(x2)) {
        if (std::fmin(y1, y2) > a[3] || std::fmax(y1, y2) < a[1]) {
            visible = false;
            return;
        }
        ClampAxis(y1, y2, a[1], a[3]);
        visible = YYInsideClip(x1, y1);
        return;
    }
    if (YYDeviceTrunc(y1) == YYDeviceTrunc(y2)) {
        if (std::fmin(x1, x2) > a[2] || std::fmax(x1, x2) < a[0]) {
            visible = false;
            return;
        }
        ClampAxis(x1, x2, a[0], a[2]);
        visible = YYInsideClip(x1, y1);
        return;
    }

    // The line y = m x + b and its points on the four edges of the area.
    const double m = (static_cast<double>(y2) - y1) / (static_cast<double>(x2) - x1);
    const double b = y1 - m * x1;
    float px = 0.0f, py = 0.0f;
    // An edge point counts when it lies on the current segment and inside.
    auto accept = [&](double ex, double ey) {
        px = SaturateToFloat(ex);
        py = SaturateToFloat(ey);
        return YYPointOnSegmentInClip(px, py, x1, y1, x2, y2);
    };
    auto setEnd1 = [&] { x1 = px; y1 = py; };
    auto setEnd2 = [&] { x2 = px; y2 = py; };

    // Top.
    if (m != 0.0 && accept((a[3] - b) / m, a[3])) {
        bool in1 = YYInsideClip(x1, y1), in2 = YYInsideClip(x2, y2);
        if (in1 && y1 < y2) {
            setEnd2();
            return;
        }
        if (in2 && y2 < y1) {
            setEnd1();
            return;
        }
        if (y2 <= y1)
            setEnd1();
        else
            setEnd2();
    }
    // Bottom.
    if (m != 0.0 && accept((a[1] - b) / m, a[1])) {
        bool in1 = YYInsideClip(x1, y1), in2 = YYInsideClip(x2, y2);
        if (in1 && y2 < y1) {
            setEnd2();
            return;
        }
        if (in2 && y1 < y2) {
            setEnd1();
            return;
        }
        if (y1 <= y2)
            setEnd1();
        else
            setEnd2();
    }
    // Right.
    if (accept(a[2], m * a[2] + b)) {
        bool in1 = YYInsideClip(x1, y1), in2 = YYInsideClip(x2, y2);
        if (in1 && x1 < x2) {
            setEnd2();
            return;
        }
        if (in2 && x2 < x1) {
            setEnd1();
            return;
        }
        if (x2 <= x1)
            setEnd1();
        else
            setEnd2();
    }
    // Left.
    if (accept(a[0], m * a[0] + b)) {
        if (YYInsideClip(x1, y1)) {
            setEnd2();
            return;
        }
        if (YYInsideClip(x2, y2)) {
            setEnd1();
            return;
        }
    }
    visible = false;
}

float YYEdgeCrossX(float x1, float y1, float x2, float y2, float y)
{
    constexpr double kLimit = kDeviceCoordinateLimit;
    if (AnyNan(x1, y1, x2, y2) || std::isnan(y))
        return kDeviceCoordinateLimit;
    const double dy = static_cast<double>(y2) - y1;
    double r;
    if (dy < 0.0)
        r = x2 + (static_cast<double>(y) - y2) * (static_cast<double>(x2) - x1) / dy;
    else if (dy > 0.0)
        r = x1 + (static_cast<double>(y) - y1) * (static_cast<double>(x2) - x1) / dy;
    else
        return kDeviceCoordinateLimit;
    if (std::isnan(r) || std::fabs(r) > kLimit)
        return kDeviceCoordinateLimit;
    return static_cast<float>(r);
}

void YYCrossingSort(float* keys, float* companions, int lo, int hi)
{
    // Partition the larger ranges around their first key; recurse into the
    // smaller part and go on with the larger, so the depth stays logarithmic.
    while (hi - lo + 1 >= 7) {
        const float pivot = keys[lo];
        int i = lo - 1, j = hi + 1;
        for (;;) {
            do
                ++i;
            while (keys[i] < pivot);
            do
                --j;
            while (keys[j] > pivot);
            if (i >= j)
                break;
            YYSwap(keys[i], keys[j]);
            YYSwap(companions[i], companions[j]);
        }
        // lo <= j < hi: both parts are smaller than the range.
        if (j - lo < hi - j) {
            YYCrossingSort(keys, companions, lo, j);
            lo = j + 1;
        } else {
            YYCrossingSort(keys, companions, j + 1, hi);
            hi = j;
        }
    }
    if (hi > lo)
        ExchangeSort(keys, companions, lo, hi);
}

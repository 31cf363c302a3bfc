// One piece of a filled area chart between two consecutive present points:
// a trapezium, a triangle where a side has no height, or two triangles where
// the data crosses the lower edge; then the line along the data for hatched
// and outline-only fills.
//
// The lower edge runs from the lower end of the first side to the lower end
// of the second. Without stacking both lie on the baseline. In a stacked
// chart the edge is the top of the sets below and may slope, so the second
// side's lower end is taken from its own data point and height, and the data
// is found to cross the edge where the two heights, interpolated along the
// segment, are 0. That crossing needs no division by a difference of
// heights of the same sign, so data points at equal heights with heights of
// opposite signs are drawn like any other crossing.
#include "charts/area_segments.h"

#include <cmath>

#include "charts/graph_state.h"
#include "graphics/clipping.h"
#include "graphics/lines.h"
#include "graphics/rectangles.h"
#include "graphics/trapezia.h"

namespace {

// a + b (and a - b) as 32-bit reals, computed in double and saturated.
float Add(float a, float b) { return SaturateToFloat(static_cast<double>(a) + b); }
float Sub(float a, float b) { return SaturateToFloat(static_cast<double>(a) - b); }

// -1, 0 or 1 by the sign of a finite height (exact comparisons with 0).
int SignOf(float h) { return h > 0.0f ? 1 : (h < 0.0f ? -1 : 0); }

// The line along the data is drawn for hatched and outline-only fills.
bool OutlineWanted()
{
    const int set = gPgGraphState.setCounter;
    if (set < 1 || set > kMaxDataSets)
        return false;
    return gDataSetStyleTable.Set(set).styleWord1 < 3;
}

} // namespace

void YYAreaChartSegment(float b, float x1, float y1, float x2, float y2, float& h1, float h2)
{
    const float first = h1;
    h1 = h2;
    // A coordinate that is not finite has no piece to draw.
    for (float v : {b, x1, y1, x2, y2, first, h2})
        if (!std::isfinite(v))
            return;

    const bool stacked = gPgGraphState.stacked != 0;
    const int s1 = SignOf(first), s2 = SignOf(h2);
    // Lower end of the second side.
    const float low2 = stacked ? Sub(y2, h2) : y1;
    bool outline = OutlineWanted();

    if (s1 > 0 && s2 > 0) {
        IGrTrapezium(x1, y1, x2, y2, first, h2, 1);
    } else if (s1 < 0 && s2 < 0) {
        IGrTrapezium(x1, Add(y1, first), x2, low2, -first, -h2, 1);
    } else if (s1 == 0 && s2 == 0) {
        outline = true;
    } else if (s1 == 0) {
        IGrTriangle(x1, y1, x2, Sub(y2, h2), x2, y2);
    } else if (s2 == 0) {
        IGrTriangle(x1, y1, x1, Add(y1, first), x2, y2);
    } else {
        // Opposite signs: the heights have a non-zero difference.
        const double t = static_cast<double>(first) / (static_cast<double>(first) - h2);
        const float xz = SaturateToFloat(x1 + t * (static_cast<double>(x2) - x1));
        if (stacked) {
            const float yz = SaturateToFloat(y1 + t * (static_cast<double>(low2) - y1));
            IGrTriangle(x1, y1, x1, Add(y1, first), xz, yz);
            IGrTriangle(xz, yz, x2, low2, x2, y2);
        } else {
            IGrTriangle(x1, b, x1, Add(b, first), xz, b);
            IGrTriangle(xz, b, x2, b, x2, y2);
        }
    }

    if (outline)
        YYLineBetween(x1, Add(y1, first), x2, y2);
}

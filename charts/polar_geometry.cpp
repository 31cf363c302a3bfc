// Plot circle and polar data points of a polar graph.
#include "charts/polar_geometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "core/numeric.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_state.h"

namespace {


// World y units per world x unit of the same length on the output being
// drawn: the screen's target aspect while screen output is on, else the
// hardcopy page's. The area's width and height are taken from its current
// fractions, which stay right while a data set is drawn in the narrowed
// plot area. A geometry that gives no positive ratio counts as 1.
double WorldAspect()
{
    const GraphicsState& g = gGraphicsState;
    double aspect = g.screenOutput == 1 ? g.aspect : gHardcopyState.pageAspect;
    double uw = g.unitSize[0], uh = g.unitSize[1];
    double aw = static_cast<double>(g.areaFractions[2]) - g.areaFractions[0];
    double ah = static_cast<double>(g.areaFractions[3]) - g.areaFractions[1];
    if (uw == 0.0 || ah == 0.0)
        return 1.0;
    double s = uh / uw * aspect * (aw / ah);
    return (std::isfinite(s) && s > 0.0) ? s : 1.0;
}

void Circle(double s, double& cx, double& cy, double& rx)
{
    PgGraphState& p = gPgGraphState;
    // All conversions of the circle are linear.
    int xLog = p.xLog, yLog = p.yLog;
    p.xLog = 0;
    p.yLog = 0;
    float wx1, wy1, wx2, wy2, mx, my;
    YYPgToWorld(p.userX1, p.userY1, wx1, wy1);
    YYPgToWorld(p.userX2, p.userY2, wx2, wy2);
    float midX = SaturateToFloatKeepNaN((static_cast<double>(p.userX1) + p.userX2) * 0.5);
    float midY = SaturateToFloatKeepNaN((static_cast<double>(p.userY1) + p.userY2) * 0.5);
    YYPgToWorld(midX, midY, mx, my);
    p.xLog = xLog;
    p.yLog = yLog;
    double dx = static_cast<double>(wx2) - wx1;
    double dh = (static_cast<double>(wy2) - wy1) / s;
    rx = dh < dx ? 0.5 * dh : 0.5 * dx;
    cx = mx;
    cy = my;
}

} // namespace

void YYPolarCircle(float& cx, float& cy, float& rx, float& ry)
{
    double s = WorldAspect();
    double x, y, r;
    Circle(s, x, y, r);
    cx = SaturateToFloatKeepNaN(x);
    cy = SaturateToFloatKeepNaN(y);
    rx = SaturateToFloatKeepNaN(r);
    ry = SaturateToFloatKeepNaN(r * s);
}

void YYPolarToWorld(float angle, float radius, float& wx, float& wy)
{
    const PgGraphState& p = gPgGraphState;
    if (!std::isfinite(angle) || std::isnan(radius)) {
        // No direction to place the point in: a point nowhere on the target.
        wx = wy = std::numeric_limits<float>::quiet_NaN();
        return;
    }
    double s = WorldAspect();
    double cx, cy, rx;
    Circle(s, cx, cy, rx);
    double alpha = angle * kDegreesToRadians;
    double rho;
    if (p.yLog != 0 && p.logPolarOffset > 0.0f)
        rho = (static_cast<double>(YYLog10(radius)) + 38.0) / p.logPolarOffset;
    else
        rho = static_cast<double>(radius) / p.polarUnit; // the polar unit is always > 0
    if (!std::isfinite(rho)) {
        wx = wy = std::numeric_limits<float>::quiet_NaN();
        return;
    }
    wx = SaturateToFloatKeepNaN(cx + std::cos(alpha) * rho * rx);
    wy = SaturateToFloatKeepNaN(cy + s * std::sin(alpha) * rho * rx);
}

void YYPolarPasses(const std::function<void()>& draw)
{
    GraphicsState& g = gGraphicsState;
    const int screen = g.screenOutput, hardcopy = g.hardcopyOpen;
    if (screen != 0) {
        g.hardcopyOpen = 0;
        draw();
    }
    if (hardcopy > 0) {
        g.screenOutput = 0;
        g.hardcopyOpen = hardcopy;
        draw();
    }
    g.screenOutput = screen;
    g.hardcopyOpen = hardcopy;
}

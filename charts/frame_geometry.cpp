// Graph frame and the base layout of oblique graphs.
#include "charts/frame_geometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/plot_clip.h"
#include "charts/polar_geometry.h"
#include "core/numeric.h"
#include "graphics/colours.h"
#include "graphics/ellipses.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/polygons.h"
#include "hardcopy/hardcopy_state.h"

namespace {

// 1.4142 x cos(v -+ 45 degrees) = cos v +- sin v.
constexpr float kRootTwo = 1.4142f;

// Scratch of the frame: the base corners with corner 1 repeated, and one wall.
float gBaseX[5], gBaseY[5];
float gWallX[4], gWallY[4];
// Base corners in data units.
float gCornerDataX[4], gCornerDataY[4];

// Corner number K + D reduced into 1..4.
int CornerAfter(int k, int d)
{
    int j = k + d;
    while (j > 4)
        j -= 4;
    return j;
}

// A quotient that is 0 when the divisor is 0 or the result leaves the float
// range, so that a degenerate layout never traps.
float SafeQuotient(double a, double b)
{
    if (b == 0.0)
        return 0.0f;
    double q = a / b;
    if (!std::isfinite(q) || std::fabs(q) > FLT_MAX)
        return 0.0f;
    return static_cast<float>(q);
}

// Selects a wall's colour and, for a half-tone wall, its second colour.
void WallColours(int colour, int second)
{
    IGrColourN(colour);
    if (gPgGraphState.wallFill == kFillHalftone)
        IGrColourN(second);
}

void WallPolygon(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4)
{
    gWallX[0] = x1;
    gWallY[0] = y1;
    gWallX[1] = x2;
    gWallY[1] = y2;
    gWallX[2] = x3;
    gWallY[2] = y3;
    gWallX[3] = x4;
    gWallY[3] = y4;
    YYPolygonDraw(gWallX, gWallY, 4);
}

// The plot circle with its horizontal and vertical diameters, once for each
// output with that output's aspect.
void PolarFrame()
{
    GraphicsState& g = gGraphicsState;
    const int fill = g.fillMode;
    g.fillMode = kFillOutline;
    YYPolarPasses([&g] {
        const float aspect = g.screenOutput != 0 ? g.aspect : gHardcopyState.pageAspect;
        float cx, cy, rx, ry;
        YYPolarCircle(cx, cy, rx, ry);
        YYLineBetween(cx - rx, cy, cx + rx, cy);
        YYLineBetween(cx, cy - ry, cx, cy + ry);
        // A radius or aspect of 0 gives ratio 0, which the ellipse reports.
        YYELIP(cx, cy, rx, SafeQuotient(ry, static_cast<double>(aspect) * rx));
    });
    g.fillMode = fill;
}

// Box over the base of an oblique graph: floor and the two back walls.
void ObliqueBox()
{
    const PgGraphState& s = gPgGraphState;
    std::array<float, 4> X, Y;
    int c;
    float cy;
    YYBaseCorners(X, Y, c, cy);
    const float h = YYPgToWorldY(s.userY1 + s.yWidth * 0.5f) - YYPgToWorldY(s.userY1);
    const int j1 = CornerAfter(c, 1), j2 = CornerAfter(c, 2), j3 = CornerAfter(c, 3);
    const int b = Y[j1 - 1] > Y[j3 - 1] ? j1 : j3;
    auto x = [&](int k) { return X[static_cast<size_t>(k - 1)]; };
    auto y = [&](int k) { return Y[static_cast<size_t>(k - 1)]; };

    if (s.wallFill != 0) {
        YYPlotStateSave(0);
        gGraphicsState.fillMode = s.wallFill;
        WallColours(s.wallColour3, s.frameColour3);
        WallPolygon(X[0], Y[0], X[1], Y[1], X[2], Y[2], X[3], Y[3]);
        const bool odd = (c % 2) == 1;
        WallColours(odd ? s.wallColour1 : s.wallColour2, odd ? s.frameColour1 : s.frameColour2);
        WallPolygon(x(c), y(c), x(c), y(c) + h, x(b), y(b) + h, x(b), y(b));
        WallColours(odd ? s.wallColour2 : s.wallColour1, odd ? s.frameColour2 : s.frameColour1);
        WallPolygon(x(j2), y(j2), x(j2), y(j2) + h, x(b), y(b) + h, x(b), y(b));
        YYPlotStateSave(1);
    }

    for (int k = 0; k < 4; ++k) {
        gBaseX[k] = X[static_cast<size_t>(k)];
        gBaseY[k] = Y[static_cast<size_t>(k)];
    }
    gBaseX[4] = gBaseX[0];
    gBaseY[4] = gBaseY[0];
    YYPolylineDraw(gBaseX, gBaseY, 5);
    YYLineBetween(x(c), y(c), x(c), y(c) + h);
    YYDrawTo(x(b), y(b) + h);
    YYDrawTo(x(b), y(b));
    YYLineBetween(x(j2), y(j2), x(j2), y(j2) + h);
    YYDrawTo(x(b), y(b) + h);
}

// Flat box in oblique view: back wall inset by the depth fraction, floor and
// left wall.
void FlatBox(float wx1, float wy1, float wx2, float wy2)
{
    const PgGraphState& s = gPgGraphState;
    const float ix = (wx2 - wx1) * s.depthFraction;
    const float iy = s.depthFraction * (wy2 - wy1);
    const float xa = wx1 + ix, xb = wx2 - ix, yb = wy1 + iy, ya = wy2 - iy;

    if (s.wallFill != 0) {
        YYPlotStateSave(0);
        gGraphicsState.fillMode = s.wallFill;
        WallColours(s.wallColour3, s.frameColour3);
        WallPolygon(xa, yb, xa, wy2, wx2, wy2, wx2, yb);
        WallColours(s.wallColour1, s.frameColour1);
        WallPolygon(xa, yb, wx1, wy1, xb, wy1, wx2, yb);
        WallColours(s.wallColour2, s.frameColour2);
        WallPolygon(xa, yb, wx1, wy1, wx1, ya, xa, wy2);
        YYPlotStateSave(1);
    }

    YYLineBetween(xa, yb, wx2, yb);
    YYDrawTo(wx2, wy2);
    YYDrawTo(xa, wy2);
    YYDrawTo(xa, yb);
    YYDrawTo(wx1, wy1);
    YYLineBetween(wx1, ya, xa, wy2);
    YYLineBetween(wx2, yb, xb, wy1);
    YYDrawTo(wx1, wy1);
    YYDrawTo(wx1, ya);
}

} // namespace

void IPgFrameDraw(const float* x, const float* y)
{
    const PgGraphState& s = gPgGraphState;
    float x0 = x ? *x : 0.0f;
    float y0 = y ? *y : 0.0f;
    float wx1, wy1, wx2, wy2;
    YYPgToWorld(s.userX1, s.userY1, wx1, wy1);
    YYPgToWorld(s.userX2, s.userY2, wx2, wy2);

    if (s.polar != 0) {
        PolarFrame();
    } else if (s.threeD != 0 && s.threeDAxes != 0) {
        ObliqueBox();
    } else if (s.threeD != 0) {
        FlatBox(wx1, wy1, wx2, wy2);
    } else {
        // The bounds themselves are inside; a value that does not compare
        // (NaN) is outside too.
        if (!(std::isgreaterequal(x0, s.xMin) && std::islessequal(x0, s.xMax)))
            x0 = s.userX1;
        if (!(std::isgreaterequal(y0, s.yMin) && std::islessequal(y0, s.yMax)))
            y0 = s.userY1;
        float px, py;
        YYPgToWorld(x0, y0, px, py);
        YYLineBetween(px, wy1, px, wy2);
        YYLineBetween(wx1, py, wx2, py);
    }
}

void YYBaseGeometry(float& pointStepX, float& setStepX, float& setFallY, float& pointRiseY,
                    float& zScale, float& originX, float& originY)
{
    const PgGraphState& s = gPgGraphState;
    // A graph begun with a single point in a direction counts one interval
    // there, so that the layout never divides by zero.
    const double P = std::max(s.pointIntervals, 1.0f);
    const double S = std::max(s.pointIntervals2, 1.0f);
    const double w = s.pointShare, e = s.viewElevation;
    const double cm = kRootTwo * s.viewCosMinus45, cp = kRootTwo * s.viewCosPlus45;
    const double Wx = s.xWidth, Wy = s.yWidth, Wz = s.zWidth;
    const double x1 = s.userX1, y1 = s.userY1, y2 = s.userY2;

    // Formed in double and stored saturated, so that no range traps.
    double px = w * cm * Wx / P;
    double sx = (1.0 - w) * cp * Wx / S;
    double sy = cm * (0.5 * ((y2 + y1) - (1.0 - e) * Wy) - y1) / S;
    double py = cp * (0.5 * Wy * e) / P;

    const double ends[4] = {0.0, P * px, S * sx, P * px + S * sx};
    const double E = *std::max_element(ends, ends + 4) - *std::min_element(ends, ends + 4);
    if (E > Wx && E > 0.0) {
        const double f = Wx / E;
        px *= f;
        sx *= f;
        sy *= f;
        py *= f;
    }

    zScale = SafeQuotient(0.5 * Wy, Wz);
    originX = SaturateToFloatKeepNaN(x1 + (Wx - P * px - S * sx) * 0.5);

    const double a1 = P * py, a3 = -S * sy, a2 = a1 + a3;
    const double lo = std::min({0.0, a1, a2, a3});
    const double hi = std::max({0.0, a1, a2, a3});
    const double H = (hi - lo) + 0.5 * Wy;
    originY = SaturateToFloatKeepNaN(Wy > H ? y1 - lo + (Wy - H) * 0.5 : y1 - lo);

    pointStepX = SaturateToFloatKeepNaN(px);
    setStepX = SaturateToFloatKeepNaN(sx);
    setFallY = SaturateToFloatKeepNaN(sy);
    pointRiseY = SaturateToFloatKeepNaN(py);
}

void YYBaseCorners(std::array<float, 4>& wx, std::array<float, 4>& wy, int& leftmost, float& leftmostY)
{
    const PgGraphState& s = gPgGraphState;
    float px, sx, sy, py, zScale, ox, oy;
    YYBaseGeometry(px, sx, sy, py, zScale, ox, oy);
    const double P = std::max(s.pointIntervals, 1.0f);
    const double S = std::max(s.pointIntervals2, 1.0f);

    gCornerDataX[0] = ox;
    gCornerDataY[0] = oy;
    gCornerDataX[1] = SaturateToFloatKeepNaN(static_cast<double>(ox) + P * px);
    gCornerDataY[1] = SaturateToFloatKeepNaN(static_cast<double>(oy) + P * py);
    gCornerDataX[2] = SaturateToFloatKeepNaN(static_cast<double>(ox) + P * px + S * sx);
    gCornerDataY[2] = SaturateToFloatKeepNaN(static_cast<double>(oy) + P * py - S * sy);
    gCornerDataX[3] = SaturateToFloatKeepNaN(static_cast<double>(ox) + S * sx);
    gCornerDataY[3] = SaturateToFloatKeepNaN(static_cast<double>(oy) - S * sy);

    leftmost = 1;
    for (int k = 0; k < 4; ++k) {
        wx[static_cast<size_t>(k)] = YYPgToWorldX(gCornerDataX[k]);
        wy[static_cast<size_t>(k)] = YYPgToWorldY(gCornerDataY[k]);
        if (wx[static_cast<size_t>(k)] < wx[static_cast<size_t>(leftmost - 1)])
            leftmost = k + 1;
    }
    leftmostY = gCornerDataY[leftmost - 1];
}

// Markers, triangle-based polygon fill and the character cell.
#include "graphics/markers.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "graphics/clipping.h"
#include "graphics/ellipses.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/polygon_decompose.h"
#include "graphics/rectangles.h"
#include "graphics/text_state.h"

namespace {

bool In(int n, std::initializer_list<int> set)
{
    for (int k : set)
        if (k == n)
            return true;
    return false;
}

// The marker box: centre, half width S and half height H, and the shorthand
// L = x - S, R = x + S, B = y - H, T = y + H.
struct MarkerBox {
    float x, y, S, H, L, R, B, T;
    // x + f S and y + f H as single-precision values.
    float X(double f) const { return SaturateToFloat(x + f * S); }
    float Y(double f) const { return SaturateToFloat(y + f * H); }
};

void Line(float x1, float y1, float x2, float y2) { YYLineBetween(x1, y1, x2, y2); }

// The figure of markers 11 to 26 and 29 to 40, after the common parts.
void OwnFigure(int n, const MarkerBox& m)
{
    const float x = m.x, y = m.y, L = m.L, R = m.R, B = m.B, T = m.T;
    switch (n) {
    case 11: // pyramid
        Line(L, B, m.X(0.5), B);
        Line(m.X(0.5), B, R, m.Y(-0.5));
        Line(L, B, m.X(-0.25), T);
        Line(m.X(0.5), B, m.X(-0.25), T);
        Line(R, m.Y(-0.5), m.X(-0.25), T);
        break;
    case 12: // cube
        Line(L, B, m.X(0.5), B);
        Line(m.X(0.5), B, m.X(0.5), m.Y(0.5));
        Line(m.X(0.5), m.Y(0.5), L, m.Y(0.5));
        Line(L, m.Y(0.5), L, B);
        Line(L, m.Y(0.5), m.X(-0.5), T);
        Line(m.X(0.5), m.Y(0.5), R, T);
        Line(m.X(0.5), B, R, m.Y(-0.5));
        Line(m.X(-0.5), T, R, T);
        Line(R, m.Y(-0.5), R, T);
        break;
    case 13: IGrRectangle(L, B, R, T); break;
    case 14: YYCircle(x, y, m.S); break;
    case 15: IGrTriangle(L, B, R, B, x, T); break;
    case 16: IGrTriangle(L, T, R, T, x, B); break;
    case 17: IGrTriangle(L, B, L, T, R, y); break;
    case 18: IGrTriangle(R, B, R, T, L, y); break;
    case 19:
        IGrTriangle(L, B, R, B, x, y);
        IGrTriangle(L, T, R, T, x, y);
        break;
    case 20:
        IGrTriangle(L, B, L, T, x, y);
        IGrTriangle(R, B, R, T, x, y);
        break;
    case 21: {
        const float px[4] = {L, x, R, x}, py[4] = {y, T, y, B};
        YYPolygonDraw(px, py, 4);
        break;
    }
    case 22: {
        const float px[6] = {L, m.X(-0.6), m.X(0.6), R, m.X(0.6), m.X(-0.6)};
        const float py[6] = {y, T, T, y, B, B};
        YYPolygonDraw(px, py, 6);
        break;
    }
    case 23: IGrTriangle(L, B, R, B, R, T); break;
    case 24: IGrTriangle(L, B, L, T, R, T); break;
    case 25: IGrTriangle(R, B, L, T, L, B); break;
    case 26: IGrTriangle(R, B, L, T, R, T); break;
    case 29:
        Line(L, T, R, T);
        Line(L, B, R, B);
        break;
    case 30:
        Line(L, B, L, T);
        Line(R, B, R, T);
        break;
    case 31:
        Line(L, T, R, y);
        Line(R, y, L, B);
        Line(L, B, L, T);
        break;
    case 32:
        Line(R, T, L, y);
        Line(L, y, R, B);
        Line(R, B, R, T);
        break;
    case 33:
    case 39:
        Line(x, T, R, y);
        Line(R, y, x, B);
        Line(x, B, L, y);
        Line(L, y, x, T);
        break;
    case 34:
    case 40:
        Line(m.X(-0.6), T, m.X(0.6), T);
        Line(m.X(0.6), T, R, y);
        Line(R, y, m.X(0.6), B);
        Line(m.X(0.6), B, m.X(-0.6), B);
        Line(m.X(-0.6), B, L, y);
        Line(L, y, m.X(-0.6), T);
        break;
    case 35:
        Line(L, B, R, T);
        Line(R, T, R, B);
        Line(R, B, L, B);
        break;
    case 36:
        Line(L, B, R, T);
        Line(R, T, L, T);
        Line(L, T, L, B);
        break;
    case 37:
        Line(L, T, R, B);
        Line(R, B, L, B);
        Line(L, B, L, T);
        break;
    case 38:
        Line(L, T, R, B);
        Line(R, B, R, T);
        Line(R, T, L, T);
        break;
    default:
        break;
    }
}

} // namespace

void YYMarker(float x, float y, int n)
{
    if (n < 1 || n > 40)
        n = 1;
    if (std::isnan(x) || std::isnan(y))
        return;
    GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    MarkerBox m;
    m.x = x;
    m.y = y;
    m.S = SaturateToFloat(0.375 * g.unitSize[0] * t.charWidth);
    m.H = SaturateToFloat(0.338 * g.unitSize[1] * t.charHeight);
    m.L = SaturateToFloat(static_cast<double>(x) - m.S);
    m.R = SaturateToFloat(static_cast<double>(x) + m.S);
    m.B = SaturateToFloat(static_cast<double>(y) - m.H);
    m.T = SaturateToFloat(static_cast<double>(y) + m.H);
    const auto& u = g.units;
    if (m.R < u[0] || m.L > u[2] || m.T < u[1] || m.B > u[3])
        return;
    const float L = m.L, R = m.R, B = m.B, T = m.T;

    if (In(n, {1, 6, 7, 8, 27, 28, 39, 40})) { // plus
        Line(L, y, R, y);
        Line(x, B, x, T);
    }
    if (In(n, {2, 9, 27, 28, 29, 30})) { // cross
        Line(L, B, R, T);
        Line(L, T, R, B);
    }
    if (In(n, {3, 6, 9, 28})) { // square
        Line(L, B, R, B);
        Line(R, B, R, T);
        Line(R, T, L, T);
        Line(L, T, L, B);
    }
    if (In(n, {4, 7, 10})) { // upward triangle
        Line(L, B, x, T);
        Line(x, T, R, B);
        Line(R, B, L, B);
    }
    if (In(n, {5, 8, 10})) { // downward triangle
        Line(L, T, x, B);
        Line(x, B, R, T);
        Line(R, T, L, T);
    }
    if ((n >= 11 && n <= 26) || n >= 29) {
        const int fillMode = g.fillMode;
        g.fillMode = kFillSolid;
        OwnFigure(n, m);
        g.fillMode = fillMode;
    }
}

void YYMarkerAtPen(int n)
{
    const auto pen = gGraphicsState.penPosition;
    YYMarker(pen[0], pen[1], n);
}

void YYPolygonFill(const float* x, const float* y, int n)
{
    if (n <= 0 || !x || !y)
        return;
    GraphicsState& g = gGraphicsState;
    if (n <= 2) {
        YYPenMoveTo(x[0], y[0]);
        return;
    }
    const int mode = g.fillMode;
    if (mode >= kFillHatch && mode <= kFillSolid) {
        std::vector<int> tri(static_cast<size_t>(3 * n - 6));
        int count = 0;
        YYPolygonDecompose(x, y, n, tri.data(), count);
        if (count == 0) {
            YYPenMoveTo(x[0], y[0]);
            return;
        }
        const int outline = g.outline;
        g.outline = 0;
        for (int k = 0; k < count; ++k) {
            const int a = tri[static_cast<size_t>(3 * k)] - 1, b = tri[static_cast<size_t>(3 * k + 1)] - 1,
                      c = tri[static_cast<size_t>(3 * k + 2)] - 1;
            IGrTriangle(x[a], y[a], x[b], y[b], x[c], y[c]);
        }
        g.outline = outline;
    }
    if (g.outline != 0 && mode < kFillHalftone) {
        YYPenMoveTo(x[0], y[0]);
        for (int i = 1; i < n; ++i)
            YYDrawTo(x[i], y[i]);
        if (x[n - 1] != x[0] || y[n - 1] != y[0])
            YYDrawTo(x[0], y[0]);
    }
    YYPenMoveTo(x[0], y[0]);
}

void YYCharCell(float& w, float& h)
{
    const GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    if (t.builtInFont != 0) {
        w = SaturateToFloat(static_cast<double>(g.textUnitSize[0]) * t.charWidth);
        h = SaturateToFloat(static_cast<double>(g.textUnitSize[1]) * t.charHeight);
        return;
    }
    const double dw = static_cast<double>(g.areaFractionSize[0]) * t.textScaleX;
    const double dh = static_cast<double>(g.areaFractionSize[1]) * t.textScaleY;
    w = dw != 0.0 ? SaturateToFloat(g.textUnitSize[0] / dw) : 0.0f;
    h = dh != 0.0 ? SaturateToFloat(g.textUnitSize[1] / dh) : 0.0f;
}

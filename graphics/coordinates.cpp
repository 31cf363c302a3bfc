// World/device conversions, pixel/normal conversions and shared geometry.
// Intermediate results are computed in double and stored as 32-bit reals,
// saturated to the float range, so that no conversion traps.
#include "graphics/coordinates.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "core/library_state.h"
#include "core/numeric.h"
#include "graphics/graphics_state.h"

namespace {

// a / b, or 0 when b is 0 (a degenerate area or unit range).
double Quot(double a, double b) { return b != 0.0 ? a / b : 0.0; }

} // namespace

void YYWorldToDevice(float wx, float wy, float& dx, float& dy)
{
    const GraphicsState& g = gGraphicsState;
    double ux1 = g.units[0], uy1 = g.units[1];
    double uw = g.unitSize[0], uh = g.unitSize[1];
    double ax1 = g.deviceArea[0], ay1 = g.deviceArea[1];
    double ax2 = g.deviceArea[2], ay2 = g.deviceArea[3];
    double aw = g.areaSize[0], ah = g.areaSize[1];
    double x = wx, y = wy;
    switch (g.pageRotation) {
    case 0:
        dx = SaturateToFloat(ax1 + Quot(aw * (x - ux1), uw));
        dy = SaturateToFloat(ay1 + Quot((y - uy1) * ah, uh));
        break;
    case 90:
        dx = SaturateToFloat(ax2 - Quot((y - uy1) * aw, uh));
        dy = SaturateToFloat(ay1 + Quot((x - ux1) * ah, uw));
        break;
    case 180:
        dx = SaturateToFloat(ax2 - Quot(aw * (x - ux1), uw));
        dy = SaturateToFloat(ay2 - Quot((y - uy1) * ah, uh));
        break;
    case 270:
        dx = SaturateToFloat(ax1 + Quot((y - uy1) * aw, uh));
        dy = SaturateToFloat(ay2 - Quot((x - ux1) * ah, uw));
        break;
    default:
        break;
    }
}

void YYDeviceToWorld(float dx, float dy, float& wx, float& wy)
{
    const GraphicsState& g = gGraphicsState;
    double ux1 = g.units[0], uy1 = g.units[1];
    double ux2 = g.units[2], uy2 = g.units[3];
    double uw = g.unitSize[0], uh = g.unitSize[1];
    double ax1 = g.deviceArea[0], ay1 = g.deviceArea[1];
    double aw = g.areaSize[0], ah = g.areaSize[1];
    double x = dx, y = dy;
    switch (g.pageRotation) {
    case 0:
        wx = SaturateToFloat(ux1 + Quot(uw * (x - ax1), aw));
        wy = SaturateToFloat(uy1 + Quot((y - ay1) * uh, ah));
        break;
    case 90:
        wx = SaturateToFloat(ux1 + Quot((y - ay1) * uw, ah));
        wy = SaturateToFloat(uy2 - Quot((x - ax1) * uh, aw));
        break;
    case 180:
        wx = SaturateToFloat(ux2 - Quot(uw * (x - ax1), aw));
        wy = SaturateToFloat(uy2 - Quot((y - ay1) * uh, ah));
        break;
    case 270:
        wx = SaturateToFloat(ux2 - Quot((y - ay1) * uw, ah));
        wy = SaturateToFloat(uy1 + Quot((x - ax1) * uh, aw));
        break;
    default:
        break;
    }
}

void YYPixelToNormal(int px, int py, int& nx, int& ny)
{
    int w = gLibraryState.currentWindowWidth;
    int h = gLibraryState.currentWindowHeight;
    nx = w > 1 ? TruncateToInt((px + 0.5) * 9999.0 / w) : 0;
    ny = h > 1 ? TruncateToInt((py + 0.5) * 9999.0 / h) : 0;
}

void YYNormalToPixel(int nx, int ny, int& px, int& py)
{
    int64_t w = gLibraryState.currentWindowWidth;
    int64_t h = gLibraryState.currentWindowHeight;
    px = static_cast<int>((w - 1) * nx / 9999);
    py = static_cast<int>((h - 1) * ny / 9999);
}

bool YYInsideClip(float x, float y)
{
    if (std::isnan(x) || std::isnan(y))
        return false;
    const auto& c = gGraphicsState.clipBox;
    return c[0] <= x && x <= c[2] && c[1] <= y && y <= c[3];
}

bool YYPointOnSegmentInClip(float x, float y, float x1, float y1, float x2, float y2)
{
    if (!YYInsideClip(x, y) || std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
        return false;
    return std::fmin(x1, x2) <= x && x <= std::fmax(x1, x2) && std::fmin(y1, y2) <= y &&
           y <= std::fmax(y1, y2);
}

void YYLineCoefficients(float x1, float y1, float x2, float y2, float& a, float& b, float& c)
{
    a = SaturateToFloat(static_cast<double>(y1) - y2);
    b = SaturateToFloat(static_cast<double>(x2) - x1);
    c = SaturateToFloat(static_cast<double>(y2) * x1 - static_cast<double>(y1) * x2);
}

void YYSegmentIntersect(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                        float y4, float& x, float& y, int& status)
{
    for (float v : {x1, y1, x2, y2, x3, y3, x4, y4}) {
        if (std::isnan(v)) {
            x = y = 0.0f;
            status = 1;
            return;
        }
    }
    float fa1, fb1, fc1, fa2, fb2, fc2;
    YYLineCoefficients(x1, y1, x2, y2, fa1, fb1, fc1);
    YYLineCoefficients(x3, y3, x4, y4, fa2, fb2, fc2);
    double a1 = fa1, b1 = fb1, c1 = fc1, a2 = fa2, b2 = fb2, c2 = fc2;
    double det = a2 * b1 - a1 * b2;
    if (std::fabs(det) > (std::fabs(a2 * b1) + std::fabs(a1 * b2)) / 2000000.0) {
        double px = (b2 * c1 - b1 * c2) / det;
        double py = (a1 * c2 - a2 * c1) / det;
        x = SaturateToFloat(px);
        y = SaturateToFloat(py);
        auto within = [&](double xa, double ya, double xb, double yb) {
            double ex = std::fmax(std::fabs(xa), std::fabs(xb)) / 1000000.0;
            double ey = std::fmax(std::fabs(ya), std::fabs(yb)) / 1000000.0;
            return std::fmin(xa, xb) - ex <= px && px <= std::fmax(xa, xb) + ex &&
                   std::fmin(ya, yb) - ey <= py && py <= std::fmax(ya, yb) + ey;
        };
        status = 2;
        if (within(x1, y1, x2, y2))
            status += 1;
        if (within(x3, y3, x4, y4))
            status += 2;
        return;
    }
    x = 0.0f;
    y = 0.0f;
    double t = (std::fabs(b2 * c1) + std::fabs(b1 * c2)) / 2000000.0;
    if (std::fabs(b2 * c1 - b1 * c2) > t)
        status = 1;
    else if (std::fabs(a2 * c1 - a1 * c2) > t)
        status = 1;
    else
        status = 0;
}

float YYEdgeInterpolate(float x1, float y1, float x2, float y2, float x)
{
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2) || std::isnan(x) ||
        x2 == x1)
        return kDeviceCoordinateLimit;
    double xs = x1, ys = y1;
    if (x2 < x1) {
        xs = x2;
        ys = y2;
    }
    double y = ys + (static_cast<double>(y2) - y1) * (x - xs) / (static_cast<double>(x2) - x1);
    if (std::isnan(y) || std::fabs(y) > kDeviceCoordinateLimit)
        return kDeviceCoordinateLimit;
    return static_cast<float>(y);
}

float YYBezierPoint(const float* values, float control, int i, float t)
{
    double p0 = values[i - 1];
    double p1 = control;
    double p2 = values[i + 1];
    double tt = t;
    return SaturateToFloat((1.0 - tt) * (p0 + tt * (p1 - p0)) + tt * (p1 + tt * (p2 - p1)));
}

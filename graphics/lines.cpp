// Lines, points, the pen and arrowheads.
#include "graphics/lines.h"

#include <algorithm>
#include <cmath>

#include "core/numeric.h"
#include "graphics/clipping.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/ellipses.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/polygons.h"

namespace {


// A + B as the single-precision sum, saturated instead of overflowing.
float Sum(float a, float b) { return SaturateToFloat(static_cast<double>(a) + b); }

// The clipped segment of the block's X(1..2), Y(1..2): the screen side first
// (integer words, while screen output is on), then an open hardcopy (reals).
void SendBlockLine()
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const GraphicsState& g = gGraphicsState;
    bool visible = false;
    YYClipLine(b.X[0], b.Y[0], b.X[1], b.Y[1], visible);
    if (!visible)
        return;
    if (g.screenOutput > 0) {
        b.IX[0] = YYDeviceTrunc(b.X[0]);
        b.IY[0] = YYDeviceTrunc(b.Y[0]);
        b.IX[1] = YYDeviceTrunc(b.X[1]);
        b.IY[1] = YYDeviceTrunc(b.Y[1]);
        YYScreenDeviceCall(DeviceOp::kLine);
    }
    if (g.hardcopyOpen > 0)
        YYHardcopyCallIfOpen(DeviceOp::kLine);
}

// The point at the pen, after the pen has been set.
void SendPenPoint()
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const auto& pen = gGraphicsState.penPosition;
    YYWorldToDevice(pen[0], pen[1], b.X[0], b.Y[0]);
    if (!YYInsideClip(b.X[0], b.Y[0]))
        return;
    b.IX[0] = YYDeviceTrunc(b.X[0]);
    b.IY[0] = YYDeviceTrunc(b.Y[0]);
    // The screen driver itself ignores the point while screen output is off;
    // a memory metafile that is the target records it.
    YYScreenDeviceCall(DeviceOp::kPoint);
    YYHardcopyCallIfOpen(DeviceOp::kPoint);
}

} // namespace

void YYWorldLine(float x1, float y1, float x2, float y2)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    YYWorldToDevice(x1, y1, b.X[0], b.Y[0]);
    YYWorldToDevice(x2, y2, b.X[1], b.Y[1]);
    SendBlockLine();
}

void YYDeviceLine(float x1, float y1, float x2, float y2)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.X[0] = x1;
    b.Y[0] = y1;
    b.X[1] = x2;
    b.Y[1] = y2;
    SendBlockLine();
}

void YYLineBetween(float x1, float y1, float x2, float y2)
{
    YYWorldLine(x1, y1, x2, y2);
    YYPenMoveTo(x2, y2);
}

void YYLineRel(float x, float y, float dx, float dy)
{
    float ex = Sum(x, dx), ey = Sum(y, dy);
    YYWorldLine(x, y, ex, ey);
    YYPenMoveTo(ex, ey);
}

void YYDrawTo(float x, float y)
{
    const auto pen = gGraphicsState.penPosition;
    YYWorldLine(pen[0], pen[1], x, y);
    YYPenMoveTo(x, y);
}

void YYDrawRel(float dx, float dy)
{
    const auto pen = gGraphicsState.penPosition;
    float ex = Sum(pen[0], dx), ey = Sum(pen[1], dy);
    YYWorldLine(pen[0], pen[1], ex, ey);
    YYPenMoveTo(ex, ey);
}

void YYPointPlot(float x, float y)
{
    YYPenMoveTo(x, y);
    SendPenPoint();
}

void YYPointRel(float dx, float dy)
{
    const auto pen = gGraphicsState.penPosition;
    YYPenMoveTo(Sum(pen[0], dx), Sum(pen[1], dy));
    SendPenPoint();
}

void YYPolygonDraw(const float* x, const float* y, int n) { YYPolygon(x, y, n, 0); }

void YYPolylineDraw(const float* x, const float* y, int n) { YYPolyline(x, y, n, 0); }

void YYArrowDraw(float x, float y, float length, float angle, int type, const float* head)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(length) || !std::isfinite(angle) ||
        length == 0.0f || (head && !std::isfinite(*head)))
        return;
    GraphicsState& g = gGraphicsState;
    const int screen = g.screenOutput, hardcopy = g.hardcopyOpen;
    const double a = static_cast<double>(angle * kDegreesToRadiansFloat);
    const double quarter = 45.0 * kDegreesToRadiansFloat;
    const double unitRatio = g.textUnitSize[0] != 0.0f
                                 ? static_cast<double>(g.textUnitSize[1]) / g.textUnitSize[0]
                                 : 1.0;

    auto pass = [&](double aspect) {
        const double len = length;
        const double gy = aspect * len * unitRatio;
        double factor = 0.25;
        if (head && gy != 0.0 && std::isfinite(gy))
            factor = *head * 0.70710677 / gy;
        const double hx = factor * len, hy = factor * gy;
        // The barbs point back from the tip at 45 degrees on either side.
        const double b1x = x - hx * std::cos(a + quarter), b1y = y - hy * std::sin(a + quarter);
        const double b2x = x - hx * std::cos(quarter - a), b2y = y + hy * std::sin(quarter - a);
        const double tailX = x - len * std::cos(a), tailY = y - gy * std::sin(a);
        if (type == 2) {
            // Tip, barb, the four corners of a shaft a third as wide as the
            // head, the other barb.
            const double baseX = (b1x + b2x) / 2.0, baseY = (b1y + b2y) / 2.0;
            const double wx = (b1x - b2x) / 6.0, wy = (b1y - b2y) / 6.0;
            const double px[7] = {x, b1x, baseX + wx, tailX + wx, tailX - wx, baseX - wx, b2x};
            const double py[7] = {y, b1y, baseY + wy, tailY + wy, tailY - wy, baseY - wy, b2y};
            float fx[7], fy[7];
            for (int k = 0; k < 7; ++k) {
                fx[k] = SaturateToFloat(px[k]);
                fy[k] = SaturateToFloat(py[k]);
            }
            YYPolygon(fx, fy, 7, 0);
        } else {
            YYWorldLine(SaturateToFloat(tailX), SaturateToFloat(tailY), x, y);
            YYWorldLine(x, y, SaturateToFloat(b1x), SaturateToFloat(b1y));
            YYWorldLine(x, y, SaturateToFloat(b2x), SaturateToFloat(b2y));
        }
    };

    if (screen != 0) {
        g.hardcopyOpen = 0;
        pass(g.aspect);
        g.hardcopyOpen = hardcopy;
    }
    if (hardcopy != 0) {
        g.screenOutput = 0;
        g.hardcopyOpen = 1;
        pass(gHardcopyState.pageAspect);
    }
    g.screenOutput = screen;
    g.hardcopyOpen = hardcopy;
    YYPenMoveTo(x, y);
}

void YYArrowAlong(float x1, float y1, float x2, float y2, int type, const float* head)
{
    if (x1 == x2 && y1 == y2)
        return;
    const GraphicsState& g = gGraphicsState;
    double scale = g.textUnitSize[0] != 0.0f
                       ? static_cast<double>(g.aspect) * g.textUnitSize[1] / g.textUnitSize[0]
                       : 0.0;
    if (scale == 0.0 || !std::isfinite(scale))
        scale = 1.0;
    const double dx = static_cast<double>(x2) - x1;
    const double dy = (static_cast<double>(y2) - y1) / scale;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double angle = std::atan2(dy, dx) / static_cast<double>(kDegreesToRadiansFloat);
    YYArrowDraw(x2, y2, SaturateToFloat(length), SaturateToFloat(angle), type, head);
}

void YYPenMoveTo(float x, float y)
{
    gGraphicsState.penPosition = {x, y};
}

namespace {
// A sum of two world coordinates, held within the float range so that the
// store itself can never overflow.
float Add(float a, float b)
{
    const double s = static_cast<double>(a) + b;
    if (std::isnan(s))
        return static_cast<float>(s);
    return static_cast<float>(std::clamp(s, -3.4e38, 3.4e38));
}
} // namespace

void YYPenMoveRel(float dx, float dy)
{
    auto& pen = gGraphicsState.penPosition;
    pen = {Add(pen[0], dx), Add(pen[1], dy)};
}

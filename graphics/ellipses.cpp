// Ellipses and circles.
#include "graphics/ellipses.h"

#include <algorithm>
#include <cmath>

#include "core/error_codes.h"
#include "core/errors.h"
#include "graphics/clipping.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/hatch_fill.h"
#include "graphics/lines.h"

namespace {

// At most 2m + 1 points with m <= 999: no more than 2000.
constexpr int64_t kMaxHalfCount = 999;

double Quot(double a, double b) { return b != 0.0 ? a / b : 0.0; }

// Y moved up by S until it is no longer below LO.
float AdvanceTo(float y, float s, float lo)
{
    for (int guard = 0; y < lo; ++guard) {
        const double next = static_cast<double>(y) + s;
        if (guard > 100000 || !(static_cast<float>(next) > y))
            return lo;
        y = static_cast<float>(next);
    }
    return y;
}

struct Box {
    float xlo, ylo, xhi, yhi;
};

// The ellipse's box clamped to the device area.
Box ClampedBox(float dx, float dy, float rx, float ry)
{
    const auto& a = gGraphicsState.deviceArea;
    return {SaturateToFloat(std::fmax(static_cast<double>(dx) - rx, a[0])),
            SaturateToFloat(std::fmax(static_cast<double>(dy) - ry, a[1])),
            SaturateToFloat(std::fmin(static_cast<double>(dx) + rx, a[2])),
            SaturateToFloat(std::fmin(static_cast<double>(dy) + ry, a[3]))};
}

// Horizontal lines across the ellipse, from multiples of the spacing.
void EllipseLineFill(int pass, float dx, float dy, float rx, float ry, const Box& box)
{
    HatchSpacing s;
    YYHatchSpacing(pass, gGraphicsState.hatchDensity, s);
    if (!HatchSpacingUsable(s.sy, s.isy) || ry == 0.0f)
        return;
    const float e = s.inset;
    const float y0 = static_cast<float>((static_cast<int64_t>(YYDeviceTrunc(box.ylo)) / s.isy) * s.isy);
    auto lineSet = [&](float first) {
        const float start = AdvanceTo(first, s.sy, box.ylo);
        HatchLineRun(start, s.sy, box.yhi, true, box.ylo, box.yhi, [&](float y) {
            double t = (static_cast<double>(y) - dy) / ry;
            t = std::clamp(t, -1.0, 1.0);
            double w = std::fabs(std::sin(std::acos(t)) * rx);
            if (pass == 1)
                w = YYDeviceTrunc(w);
            YYDeviceLine(SaturateToFloat(dx - w + e), y, SaturateToFloat(dx + w - e), y);
        });
    };
    lineSet(y0 + s.sy);
    int set = 1;
    YYFillColourRound(pass, set);
    if (set == 2) {
        lineSet(y0 + 0.5f * s.sy + s.sy);
        YYFillColourRound(pass, set);
    }
}

} // namespace

int YYEllipsePolygon(float dx, float dy, float rx, float ry, int targetWidth)
{
    int64_t k = targetWidth > 0 ? static_cast<int64_t>(YYDeviceTrunc(rx)) * 75 / targetWidth : 0;
    const int64_t m = std::clamp<int64_t>(k + 25, 1, kMaxHalfCount);
    const float pi = 3.14159265f;
    const float step = pi / static_cast<float>(m);
    const double twoPi = static_cast<double>(2.0f * pi);
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(static_cast<int>(2 * m + 1));
    int count = 0;
    // The angle is accumulated in double from the single-precision step.
    for (double a = 0.0; a < twoPi && count < 2 * m + 1; a += step) {
        p.x[static_cast<size_t>(count)] = SaturateToFloat(dx + static_cast<double>(rx) * std::cos(a));
        p.y[static_cast<size_t>(count)] = SaturateToFloat(dy + static_cast<double>(ry) * std::sin(a));
        ++count;
    }
    return count;
}

void YYELIP(float x, float y, float r, float h)
{
    if (std::isnan(r) || std::isnan(h) || r <= 0.0f || h <= 0.0f) {
        YYErrorReport(kErrorEllipseSize, "YYELIP");
        return;
    }
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    float dx = 0.0f, dy = 0.0f;
    YYWorldToDevice(x, y, dx, dy);

    // Radii of both sides.
    const double q = Quot(static_cast<double>(h) * r * g.orientedAreaSize[1], g.textUnitSize[0]);
    const double hardcopyAspect = gHardcopyState.pageAspect;
    float rxS, ryS, rxH, ryH;
    if (g.pageRotation % 180 == 0) {
        rxS = rxH = SaturateToFloat(Quot(static_cast<double>(r) * g.areaSize[0], g.unitSize[0]));
        ryS = SaturateToFloat(g.aspect * q);
        ryH = SaturateToFloat(hardcopyAspect * q);
    } else {
        rxS = SaturateToFloat(g.aspect * q);
        rxH = SaturateToFloat(hardcopyAspect * q);
        ryS = ryH = SaturateToFloat(Quot(static_cast<double>(r) * g.areaSize[1], g.unitSize[0]));
    }

    const auto& a = g.deviceArea;
    const double cx = dx, cy = dy;
    if (cx - rxS > a[2] || a[0] > cx + rxS || cy - ryS > a[3] || a[1] > cy + ryS) {
        YYPenMoveTo(x, y);
        return;
    }
    Box box = ClampedBox(dx, dy, rxS, ryS);

    b.IX[0] = YYDeviceTrunc(dx);
    b.IY[0] = YYDeviceTrunc(dy);
    b.IX[1] = YYDeviceTrunc(rxS);
    b.IY[1] = YYDeviceTrunc(ryS);
    b.IY[2] = YYDeviceTrunc(box.ylo);
    b.IY[3] = YYDeviceTrunc(box.yhi);
    b.X[0] = dx;
    b.Y[0] = dy;
    b.X[1] = rxS;
    b.Y[1] = ryS;
    b.Y[2] = box.ylo;
    b.Y[3] = box.yhi;
    b.X[2] = h;
    b.X[3] = r;
    bool hardcopyOutline = false;

    const bool lineFill = g.fillMode == kFillHalftone || g.fillMode == kFillSolid;
    if (lineFill) {
        int op = g.fillMode + 2;
        YYFillModeMerge(DeviceOp::kEllipseSolid, op);
        YYScreenDeviceCall(op);
        if (g.LineFillRequest[kScreenSide] == 0 && g.hardcopyOpen <= 0) {
            YYPenMoveTo(x, y);
            return;
        }
    }
    if (g.hardcopyOpen > 0) {
        b.X[1] = rxH;
        b.Y[1] = ryH;
        b.M = 1;
        g.LineFillSpacing[kHardcopySide] = 100.0f;
        YYHardcopyCallIfOpen(DeviceOp::kEllipseHalftone);
        // A driver that cannot draw the ellipse leaves M = -1 and has its
        // outline drawn as lines.
        if (b.M == -1)
            hardcopyOutline = true;
    }

    const int targetWidth = g.targetWidth;
    YYFillPasses(DeviceOp::kEllipseHalftone, lineFill, [&](int pass) {
        const bool hatch = g.fillMode == kFillHatch || g.fillMode == kFillCrossHatch;
        float rx = rxS, ry = ryS;
        if (pass == 1) {
            if (!lineFill && g.outline != 0)
                YYScreenDeviceCall(DeviceOp::kEllipseOutline);
        } else {
            rx = rxH;
            ry = ryH;
            box = ClampedBox(dx, dy, rx, ry);
        }
        const bool outline = pass == 2 && hardcopyOutline && g.outline != 0;
        if (!outline && !hatch && !lineFill)
            return;
        const int count = YYEllipsePolygon(dx, dy, rx, ry, targetWidth);
        if (outline)
            YYPolygonOutline(count, true);
        if (hatch)
            YYHatchFill(pass, box.xlo, box.ylo, box.xhi, box.yhi, count);
        else if (lineFill)
            EllipseLineFill(pass, dx, dy, rx, ry, box);
    });
    YYPenMoveTo(x, y);
}

void YYCircle(float x, float y, float r) { YYELIP(x, y, r, 1.0f); }

void YYCircleAtPen(float r)
{
    const auto pen = gGraphicsState.penPosition;
    YYELIP(pen[0], pen[1], r, 1.0f);
}

void YYEllipse(float x, float y, float radius, float ratio) { YYELIP(x, y, radius, ratio); }

void YYEllipseAtPen(float radius, float ratio)
{
    const auto pen = gGraphicsState.penPosition;
    YYELIP(pen[0], pen[1], radius, ratio);
}

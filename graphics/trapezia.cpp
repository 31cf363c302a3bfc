// Trapezia and parallelograms.
#include "graphics/trapezia.h"

#include <algorithm>
#include <cmath>

#include "core/error_codes.h"
#include "core/errors.h"
#include "graphics/clipping.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/hatch_fill.h"
#include "graphics/lines.h"

namespace {


struct Pt {
    float x, y;
};

float Sum(float a, float b) { return SaturateToFloat(static_cast<double>(a) + b); }

bool Within(float v, float lo, float hi) { return lo <= v && v <= hi; }

// The line fill of the quadrilateral P[0..3] (P1..P4) with box (xmin, ymin,
// xmax, ymax): lines parallel to its slanted sides, horizontal and vertical
// lines, by kind, direction and orientation.
void ParallelogramLines(int pass, int kind, int direction, int orient, const Pt* P, float xmin,
                        float ymin, float xmax, float ymax)
{
    HatchSpacing s;
    YYHatchSpacing(pass, gGraphicsState.hatchDensity, s);
    const float e = s.inset;
    const auto& clip = gGraphicsState.clipBox;
    const bool slanted = direction == 1 || direction == 2;
    const bool axisDirection = direction == 3 || direction == 4;
    const bool horizontal = (direction == 3 || kind == 2) && (orient != 1 || axisDirection);
    const bool vertical = (direction == 4 || kind == 2) && (orient != 2 || axisDirection);

    if (slanted) {
        if (orient == 2 && HatchSpacingUsable(s.sx, s.isx)) {
            const float shift = SaturateToFloat(static_cast<double>(P[2].x) - P[1].x);
            const float first = static_cast<float>(FloorMultiple(YYDeviceTrunc(P[0].x), s.isx)) + s.sx;
            HatchLineRun(first, s.sx, P[1].x, false, clip[0] - std::fmax(0.0f, shift),
                         clip[2] - std::fmin(0.0f, shift), [&](float X) {
                YYDeviceLine(X, P[0].y + e, Sum(X, shift), P[3].y - e);
            });
        } else if (orient == 1 && HatchSpacingUsable(s.sy, s.isy)) {
            const float shift = SaturateToFloat(static_cast<double>(P[2].y) - P[3].y);
            const float first = static_cast<float>(FloorMultiple(YYDeviceTrunc(P[0].y), s.isy)) + s.sy;
            HatchLineRun(first, s.sy, P[3].y, false, clip[1] - std::fmax(0.0f, shift),
                         clip[3] - std::fmin(0.0f, shift), [&](float Y) {
                YYDeviceLine(P[0].x + e, Y, P[1].x - e, Sum(Y, shift));
            });
        }
    }

    if (horizontal && HatchSpacingUsable(s.sy, s.isy)) {
        const float g0 = static_cast<float>(FloorMultiple(YYDeviceTrunc(ymin), s.isy));
        auto set = [&](float first) {
            HatchLineRun(std::fmax(first, ymin), s.sy, ymax, false, clip[1], clip[3], [&](float Y) {
                float left, right;
                if (orient == 2) {
                    left = YYEdgeCrossX(P[0].x, P[0].y, P[3].x, P[3].y, Y);
                    right = YYEdgeCrossX(P[1].x, P[1].y, P[2].x, P[2].y, Y);
                } else {
                    const float a = YYEdgeCrossX(P[0].x, P[0].y, P[1].x, P[1].y, Y);
                    const float b = YYEdgeCrossX(P[3].x, P[3].y, P[2].x, P[2].y, Y);
                    const bool inA = Within(a, xmin, xmax), inB = Within(b, xmin, xmax);
                    left = xmin;
                    right = xmax;
                    if (!inA) {
                        if (inB && P[3].y < P[2].y)
                            left = b;
                        else if (inB)
                            right = b;
                    } else if (inB) {
                        left = std::fmin(a, b);
                        right = std::fmax(a, b);
                    } else if (P[1].y < P[0].y) {
                        left = a;
                    } else {
                        right = a;
                    }
                }
                YYDeviceLine(left + e, Y, right - e, Y);
            });
        };
        set(g0 + s.sy);
        int round = 1;
        YYFillColourRound(pass, round);
        if (round == 2) {
            set(g0 + 1.5f * s.sy);
            YYFillColourRound(pass, round);
        }
    }

    if (vertical && HatchSpacingUsable(s.sx, s.isx)) {
        const float h0 = static_cast<float>(FloorMultiple(YYDeviceTrunc(xmin), s.isx));
        HatchLineRun(std::fmax(h0 + s.sx, xmin), s.sx, xmax, false, clip[0], clip[2], [&](float X) {
            float low, high;
            if (orient == 1) {
                low = YYEdgeInterpolate(P[0].x, P[0].y, P[1].x, P[1].y, X);
                high = YYEdgeInterpolate(P[2].x, P[2].y, P[3].x, P[3].y, X);
            } else {
                const float a = YYEdgeInterpolate(P[0].x, P[0].y, P[3].x, P[3].y, X);
                const float b = YYEdgeInterpolate(P[1].x, P[1].y, P[2].x, P[2].y, X);
                const bool inA = Within(a, ymin, ymax), inB = Within(b, ymin, ymax);
                low = ymin;
                high = ymax;
                if (!inA) {
                    if (inB && P[1].x < P[2].x)
                        low = b;
                    else if (inB)
                        high = b;
                } else if (inB) {
                    low = std::fmin(a, b);
                    high = std::fmax(a, b);
                } else if (P[3].x < P[0].x) {
                    low = a;
                } else {
                    high = a;
                }
            }
            YYDeviceLine(X, low + e, X, high - e);
        });
    }
}

// The body of all four entries; TWO_WIDTHS for the trapezium entries.
void Trapezium(bool twoWidths, float x1, float y1, float x2, float y2, float w1, float w2, int orientation)
{
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    // Quiet comparisons: a NaN coordinate must not trap.
    if ((orientation == 1 && std::isless(x2, x1)) || (orientation == 2 && std::isless(y2, y1))) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (!std::isgreater(w1, 0.0f) || !std::isgreater(w2, 0.0f)) {
        YYErrorReport(kErrorParallelogramSide, "IGrTrapezium");
        return;
    }
    if ((orientation == 1 && x1 == x2) || (orientation == 2 && y1 == y2)) {
        YYErrorReport(kErrorZeroWidthHeight, "IGrTrapezium");
        return;
    }
    // Any orientation but 1 is built as 2 and goes to the devices as given,
    // except -1: that M marks the closing call, and a driver would take the
    // shape's fill call for it and leave the shape unfilled.
    const int orient = orientation == 1 ? 1 : 2;
    const int sentOrientation = orientation == -1 ? 2 : orientation;
    Pt W[4];
    W[0] = {x1, y1};
    W[2] = {x2, y2};
    if (orient == 1) {
        W[1] = {x2, Sum(y2, -w2)};
        W[3] = {x1, Sum(y1, w1)};
    } else {
        W[1] = {Sum(x1, w1), y1};
        W[3] = {Sum(x2, -w2), y2};
    }
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(4);
    Pt P[4];
    for (size_t k = 0; k < 4; ++k) {
        YYWorldToDevice(W[k].x, W[k].y, P[k].x, P[k].y);
        p.x[k] = P[k].x;
        p.y[k] = P[k].y;
        b.IX[k] = YYDeviceTrunc(P[k].x);
        b.IY[k] = YYDeviceTrunc(P[k].y);
    }
    const float xmin = std::fmin(std::fmin(P[0].x, P[1].x), std::fmin(P[2].x, P[3].x));
    const float xmax = std::fmax(std::fmax(P[0].x, P[1].x), std::fmax(P[2].x, P[3].x));
    const float ymin = std::fmin(std::fmin(P[0].y, P[1].y), std::fmin(P[2].y, P[3].y));
    const float ymax = std::fmax(std::fmax(P[0].y, P[1].y), std::fmax(P[2].y, P[3].y));
    const auto& a = g.deviceArea;
    if (xmin > a[2] || a[0] > xmax || ymin > a[3] || a[1] > ymax) {
        YYPenMoveTo(x1, y1);
        return;
    }

    b.M = sentOrientation;
    const bool lineFill = g.fillMode == kFillHalftone || g.fillMode == kFillSolid;
    int kind = g.fillMode, direction = g.hatchDirection;
    if (lineFill) {
        b.N = 4;
        int op = g.fillMode + 4;
        YYFillModeMerge(DeviceOp::kQuadSolid, op);
        YYScreenDeviceCall(op);
        if (g.LineFillRequest[kScreenSide] == 0 && g.hardcopyOpen <= 0) {
            YYPenMoveTo(x1, y1);
            return;
        }
        kind = 1;
        direction = 3;
    }
    if (g.hardcopyOpen > 0) {
        b.M = sentOrientation;
        YYHardcopyCallIfOpen(DeviceOp::kQuadHalftone);
    }
    YYFillPasses(DeviceOp::kQuadHalftone, lineFill, [&](int pass) {
        const int mode = g.fillMode;
        if (mode <= kFillCrossHatch)
            YYPolygonOutline(4, true);
        if (twoWidths && (mode == kFillHatch || mode == kFillCrossHatch))
            YYHatchFill(pass, xmin, ymin, xmax, ymax, 4);
        else if (kind == 1 || kind == 2)
            ParallelogramLines(pass, kind, direction, orient, P, xmin, ymin, xmax, ymax);
    });
    YYPenMoveTo(x1, y1);
}

} // namespace

void IGrTrapezium(float x1, float y1, float x2, float y2, float w1, float w2, int orientation)
{
    Trapezium(true, x1, y1, x2, y2, w1, w2, orientation);
}

void IGrTrapeziumRel(float dx, float dy, float w1, float w2, int orientation)
{
    const auto pen = gGraphicsState.penPosition;
    Trapezium(true, pen[0], pen[1], Sum(pen[0], dx), Sum(pen[1], dy), w1, w2, orientation);
}

void IGrParallelogram(float x1, float y1, float x2, float y2, float w, int orientation)
{
    Trapezium(false, x1, y1, x2, y2, w, w, orientation);
}

void IGrParallelogramRel(float dx, float dy, float w, int orientation)
{
    const auto pen = gGraphicsState.penPosition;
    Trapezium(false, pen[0], pen[1], Sum(pen[0], dx), Sum(pen[1], dy), w, w, orientation);
}

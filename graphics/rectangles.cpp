// Rectangles, triangles and gradient polygons.
#include "graphics/rectangles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "graphics/clipping.h"
#include "graphics/colours.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/hatch_fill.h"
#include "graphics/lines.h"
#include "graphics/scan_edges.h"

namespace {

constexpr int kActiveEdgeLimit = 99;

float Sum(float a, float b) { return SaturateToFloat(static_cast<double>(a) + b); }

bool IsLineFill(int mode) { return mode == kFillHalftone || mode == kFillSolid; }

// Horizontal lines across a shape, the direction of each by the alternate
// flag: with it the lines zigzag, starting left to right; without it every
// line runs right to left.
class RowLines {
public:
    explicit RowLines(bool alternate) : alternate_(alternate) {}
    void Horizontal(float left, float right, float y)
    {
        if (Forward())
            YYDeviceLine(left, y, right, y);
        else
            YYDeviceLine(right, y, left, y);
    }
    // Vertical lines: upwards first with the zigzag, else top to bottom.
    void Vertical(float x, float low, float high)
    {
        if (Forward())
            YYDeviceLine(x, low, x, high);
        else
            YYDeviceLine(x, high, x, low);
    }

private:
    bool Forward()
    {
        if (!alternate_)
            return false;
        forward_ = !forward_;
        return forward_;
    }
    bool alternate_;
    bool forward_ = false;
};

// ---- Rectangle ------------------------------------------------------------------

// The software part of one pass over the device rectangle.
void RectanglePass(int pass, float xmin, float ymin, float xmax, float ymax)
{
    GraphicsState& g = gGraphicsState;
    const int mode = g.fillMode;
    if (mode <= kFillCrossHatch && g.outline != 0)
        YYRectOutline(xmin, ymin, xmax, ymax);
    if (mode == kFillOutline)
        return;
    HatchSpacing s;
    YYHatchSpacing(pass, g.hatchDensity, s);
    const float e = s.inset;
    const bool crossed = mode == kFillCrossHatch;
    const int direction = IsLineFill(mode) ? 3 : g.hatchDirection;
    const int64_t ixmin = YYDeviceTrunc(xmin), iymin = YYDeviceTrunc(ymin);

    if (direction == 1 || direction == 2) {
        if (!HatchSpacingUsable(s.sy, s.isy))
            return;
        // The long diagonal lines are clipped to the rectangle by narrowing
        // the graphics area to it for the time of the set (its own save: a
        // caller's saved area stays as it was).
        const std::array<float, 4> savedArea = g.areaFractions;
        const auto a = g.deviceArea;
        YYAreaLimits(std::fmax(xmin, a[0]) + e, std::fmax(ymin, a[1]) + e, std::fmin(xmax, a[2]) - e,
                     std::fmin(ymax, a[3]) - e);
        const auto& clip = g.clipBox;
        const double w = static_cast<double>(YYDeviceTrunc(xmax)) - static_cast<double>(ixmin);
        const float fw = SaturateToFloat(w);
        if (direction == 1 || crossed) {
            const double g0 = static_cast<double>(FloorMultiple(iymin - static_cast<int64_t>(w), s.isy));
            HatchLineRun(SaturateToFloat(g0 + s.sy), s.sy, ymax, false, clip[1] - w, clip[3],
                         [&](float y) { YYDeviceLine(xmin, y, xmax, Sum(y, fw)); });
        }
        if (direction == 2 || crossed) {
            const double g0 = static_cast<double>(FloorMultiple(iymin, s.isy));
            HatchLineRun(SaturateToFloat(g0 + s.sy), s.sy, Sum(ymax, fw), false, clip[1], clip[3] + w,
                         [&](float y) { YYDeviceLine(xmin, y, xmax, Sum(y, -fw)); });
        }
        YYAreaLimitsOfFractions(savedArea);
        return;
    }

    RowLines rows(s.alternate);
    const auto& clip = g.clipBox;
    if ((direction == 3 || crossed) && HatchSpacingUsable(s.sy, s.isy)) {
        const float g0 = static_cast<float>(FloorMultiple(iymin, s.isy));
        auto set = [&](float first) {
            HatchLineRun(std::fmax(first, ymin), s.sy, ymax, true, clip[1], clip[3],
                         [&](float y) { rows.Horizontal(xmin + e, xmax - e, y); });
        };
        set(g0 + s.sy);
        int round = 1;
        YYFillColourRound(pass, round);
        if (round == 2) {
            set(g0 + 1.5f * s.sy);
            YYFillColourRound(pass, round);
        }
    }
    if ((direction == 4 || crossed) && HatchSpacingUsable(s.sx, s.isx)) {
        const float h0 = static_cast<float>(FloorMultiple(ixmin, s.isx));
        HatchLineRun(std::fmax(h0 + s.sx, xmin), s.sx, xmax, true, clip[0], clip[2],
                     [&](float x) { rows.Vertical(x, ymin + e, ymax - e); });
    }
}

// Steps 3 to 8 of the rectangle on sorted device corners.
void RectangleDraw(float xmin, float ymin, float xmax, float ymax)
{
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const auto& ia = g.integerArea;
    const int txmin = YYDeviceTrunc(xmin), tymin = YYDeviceTrunc(ymin);
    const int txmax = YYDeviceTrunc(xmax), tymax = YYDeviceTrunc(ymax);
    if (txmin > ia[2] || txmax < ia[0] || tymin > ia[3] || tymax < ia[1])
        return;
    b.X[0] = xmin;
    b.Y[0] = ymin;
    b.X[1] = xmax;
    b.Y[1] = ymax;
    b.IX[0] = std::max(txmin, ia[0]);
    b.IY[0] = std::max(tymin, ia[1]);
    b.IX[1] = std::min(txmax, ia[2]);
    b.IY[1] = std::min(tymax, ia[3]);

    const bool lineFill = IsLineFill(g.fillMode);
    if (lineFill) {
        int op = g.fillMode + 6;
        YYFillModeMerge(DeviceOp::kRectangleSolid, op);
        YYScreenDeviceCall(op);
        if (g.LineFillRequest[kScreenSide] == 0 && g.hardcopyOpen <= 0)
            return;
    }
    if (g.hardcopyOpen > 0) {
        b.M = 1;
        YYHardcopyCallIfOpen(DeviceOp::kRectangleHalftone);
    }
    YYFillPasses(DeviceOp::kRectangleHalftone, lineFill,
                 [&](int pass) { RectanglePass(pass, xmin, ymin, xmax, ymax); });
}

// Entry 1 IGrRectangle, 2 YYRectangleRel: world corners.
void RectangleWorld(int entry, float x1, float y1, float x2, float y2)
{
    if (x1 == x2 || y1 == y2) {
        YYErrorReport(kErrorZeroWidthHeight, "IGrRectangle");
        return;
    }
    float dx1, dy1, dx2, dy2;
    YYWorldToDevice(x1, y1, dx1, dy1);
    YYWorldToDevice(x2, y2, dx2, dy2);
    RectangleDraw(std::fmin(dx1, dx2), std::fmin(dy1, dy2), std::fmax(dx1, dx2), std::fmax(dy1, dy2));
    if (entry == 1)
        YYPenMoveTo(x1, y1);
}

// ---- Triangle -------------------------------------------------------------------

// The line fill of the triangle in DevicePointArrays (sorted by y).
void TriangleLineFill(int pass)
{
    HatchSpacing s;
    YYHatchSpacing(pass, gGraphicsState.hatchDensity, s);
    if (!HatchSpacingUsable(s.sy, s.isy))
        return;
    const DevicePointArrays& p = gDevicePointArrays;
    const float x1 = p.x[0], y1 = p.y[0], x2 = p.x[1], y2 = p.y[1], x3 = p.x[2], y3 = p.y[2];
    const float e = s.inset;
    const auto& clip = gGraphicsState.clipBox;
    RowLines rows(s.alternate);
    const float g0 = static_cast<float>(FloorMultiple(YYDeviceTrunc(y1), s.isy));
    auto set = [&](float first) {
        HatchLineRun(std::fmax(first, y1), s.sy, y3, false, clip[1], clip[3], [&](float y) {
            float a, b;
            if (y == y3 && y3 == y2) {
                a = x2;
                b = x3;
            } else if (y < y2) {
                a = YYEdgeCrossX(x1, y1, x2, y2, y);
                b = YYEdgeCrossX(x1, y1, x3, y3, y);
            } else {
                a = YYEdgeCrossX(x1, y1, x3, y3, y);
                b = YYEdgeCrossX(x2, y2, x3, y3, y);
            }
            rows.Horizontal(std::fmin(a, b) + e, std::fmax(a, b) - e, y);
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

// Entry 1 IGrTriangle (the pen moves to the first vertex), 2 YYTriangleRel.
void TriangleWorld(int entry, float x1, float y1, float x2, float y2, float x3, float y3)
{
    GraphicsState& g = gGraphicsState;
    if ((x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3)) {
        if (g.outline != 0)
            YYErrorReport(kErrorZeroWidthHeight, "IGrTriangle");
        return;
    }
    DevicePointArrays& p = gDevicePointArrays;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    p.Reserve(3);
    YYWorldToDevice(x1, y1, p.x[0], p.y[0]);
    YYWorldToDevice(x2, y2, p.x[1], p.y[1]);
    YYWorldToDevice(x3, y3, p.x[2], p.y[2]);
    for (int i = 0; i < 2; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (p.y[static_cast<size_t>(i)] > p.y[static_cast<size_t>(j)]) {
                std::swap(p.y[static_cast<size_t>(i)], p.y[static_cast<size_t>(j)]);
                std::swap(p.x[static_cast<size_t>(i)], p.x[static_cast<size_t>(j)]);
            }
    for (size_t k = 0; k < 3; ++k) {
        b.IX[k] = YYDeviceTrunc(p.x[k]);
        b.IY[k] = YYDeviceTrunc(p.y[k]);
    }
    const float xmin = std::fmin(p.x[0], std::fmin(p.x[1], p.x[2]));
    const float xmax = std::fmax(p.x[0], std::fmax(p.x[1], p.x[2]));
    const auto& a = g.deviceArea;
    const bool visible = xmin <= a[2] && xmax >= a[0] && p.y[0] <= a[3] && p.y[2] >= a[1];
    auto finish = [&] {
        if (entry == 1)
            YYPenMoveTo(x1, y1);
    };
    if (!visible) {
        finish();
        return;
    }
    const bool lineFill = IsLineFill(g.fillMode);
    if (lineFill) {
        b.N = 3;
        int op = g.fillMode + 8;
        YYFillModeMerge(DeviceOp::kTriangleSolid, op);
        YYScreenDeviceCall(op);
        if (g.LineFillRequest[kScreenSide] == 0 && g.hardcopyOpen <= 0) {
            finish();
            return;
        }
    }
    if (g.hardcopyOpen > 0) {
        b.M = 1;
        YYHardcopyCallIfOpen(DeviceOp::kTriangleHalftone);
    }
    YYFillPasses(DeviceOp::kTriangleHalftone, lineFill, [&](int pass) {
        const int mode = g.fillMode;
        if (mode <= kFillCrossHatch)
            YYPolygonOutline(3, true);
        if (mode == kFillHatch || mode == kFillCrossHatch)
            YYHatchFill(pass, xmin, p.y[0], xmax, p.y[2], 3);
        else if (lineFill)
            TriangleLineFill(pass);
    });
    finish();
}

// ---- Gradient polygon -------------------------------------------------------------

// One dot of the hardcopy in the target's device units along the scan axis
// (AXIS 0 x, 1 y); 0 when the hardcopy's page words give none. A raster
// driver's page in dots is the bitmap it draws into. For the other drivers
// the page option is in points and a dot is one 1/resolution of an inch:
// the page holds option / 72 x resolution dots.
float HardcopyDotStep(int axis)
{
    const GraphicsState& g = gGraphicsState;
    const HardcopyState& h = gHardcopyState;
    const size_t k = static_cast<size_t>(axis);
    const double limit = g.targetLimit[k];
    double step = 0.0;
    if (h.driverNumber == kDriverRasterPrinter || h.driverNumber == kDriverImageFile) {
        const double dots = h.rasterDots[k];
        step = dots > 0.0 ? limit / dots : 0.0;
    } else {
        const double option = h.options[static_cast<size_t>(HardcopyOptionSlot(axis == 0 ? 1 : 2))];
        const double den = option * (axis == 0 ? h.resolutionX : h.resolutionY);
        step = den > 0.0 ? 72.0 * limit / den : 0.0;
    }
    return (std::isfinite(step) && step > 0.0) ? SaturateToFloat(step) : 0.0f;
}

class Gradient {
public:
    Gradient(const float* x, const float* y, int n, int direction);
    // False when error 49 ended the drawing.
    bool Pass(int pass);

private:
    void Line(int pass, double s, double a, double b);

    std::vector<double> scan_, other_;
    std::vector<ScanEdge> edges_;
    double smin_ = 1e38, smax_ = -1e38, omin_ = 1e38, omax_ = -1e38;
    bool byY_ = true; // scan along y: horizontal lines
    int start_[3] = {0, 0, 0};
    double diff_[3] = {0, 0, 0};
    bool sorted_ = true;
};

Gradient::Gradient(const float* x, const float* y, int n, int direction)
{
    const GraphicsState& g = gGraphicsState;
    int d = direction - g.pageRotation / 90;
    if (d <= 0)
        d += 4;
    byY_ = (d % 2) != 0;
    int from = g.previousRgb, to = g.currentRgb;
    if (d >= 3)
        std::swap(from, to);
    int e[3];
    YYRgbSplit(from, &start_[0], &start_[1], &start_[2]);
    YYRgbSplit(to, &e[0], &e[1], &e[2]);
    for (int c = 0; c < 3; ++c)
        diff_[c] = static_cast<double>(e[c]) - start_[c];

    for (int i = 0; i < n; ++i) {
        float dx, dy;
        YYWorldToDevice(x[i], y[i], dx, dy);
        scan_.push_back(byY_ ? dy : dx);
        other_.push_back(byY_ ? dx : dy);
        smin_ = std::fmin(smin_, scan_.back());
        smax_ = std::fmax(smax_, scan_.back());
        omin_ = std::fmin(omin_, other_.back());
        omax_ = std::fmax(omax_, other_.back());
    }
    for (int i = 0; i < n; ++i) {
        const size_t a = static_cast<size_t>(i), b = static_cast<size_t>(i + 1 < n ? i + 1 : 0);
        if (scan_[a] == scan_[b])
            continue;
        const size_t low = scan_[a] < scan_[b] ? a : b;
        edges_.push_back({(other_[a] - other_[b]) / (scan_[a] - scan_[b]), scan_[low],
                          std::fmax(scan_[a], scan_[b]), other_[low]});
    }
    sorted_ = ScanEdgesSort(edges_);
    if (!sorted_)
        YYErrorReport(kErrorFillTooComplex, "IGrPolygonGrad");
}

// A device line at scan value S from A to B of the other coordinate.
void Gradient::Line(int, double s, double a, double b)
{
    const float fs = SaturateToFloat(s), fa = SaturateToFloat(a), fb = SaturateToFloat(b);
    if (byY_)
        YYDeviceLine(fa, fs, fb, fs);
    else
        YYDeviceLine(fs, fa, fs, fb);
}

bool Gradient::Pass(int pass)
{
    if (!sorted_)
        return false;
    if (edges_.empty()) {
        Line(pass, scan_[0], omin_, omax_);
        return true;
    }
    const GraphicsState& g = gGraphicsState;
    double s0 = smin_, step = 1.0;
    if (pass == 1) {
        const double t = YYDeviceTrunc(smin_);
        s0 = smin_ < 0.0 ? t - 0.5 : t + 0.5;
    } else {
        step = HardcopyDotStep(byY_ ? 1 : 0);
        if (!(step > 0.0))
            return true;
    }
    const auto& clip = g.clipBox;
    const double lo = byY_ ? clip[1] : clip[0], hi = byY_ ? clip[3] : clip[2];
    const double range = smax_ - s0;
    std::vector<size_t> active;
    std::vector<double> cross;
    size_t next = 0;
    bool ok = true;
    HatchLineRun(SaturateToFloat(s0), SaturateToFloat(step), SaturateToFloat(smax_), false, lo, hi,
                 [&](float fs) {
        if (!ok)
            return;
        const double s = fs;
        // The colour of this line: the start colour at s0, the end colour at
        // the far bound (the start colour when the two coincide).
        const double t = range > 0.0 ? 1.0 - (smax_ - s) / range : 0.0;
        int c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = start_[k] + static_cast<int>(std::trunc(t * diff_[k]));
        const int rgb = c[0] + 256 * c[1] + 65536 * c[2];
        if (rgb != gGraphicsState.currentRgb)
            IGrColourN(rgb);

        while (next < edges_.size() && edges_[next].lower <= s)
            active.push_back(next++);
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](size_t k) { return edges_[k].upper <= s; }),
                     active.end());
        if (static_cast<int>(active.size()) > kActiveEdgeLimit) {
            YYErrorReport(kErrorFillTooComplex, "IGrPolygonGrad");
            ok = false;
            return;
        }
        cross.clear();
        for (size_t k : active)
            cross.push_back(edges_[k].cross + (s - edges_[k].lower) * edges_[k].slope);
        const size_t n = cross.size();
        if (n % 2 == 1 || n == 0)
            return;
        for (size_t i = 0; i + 1 < n; ++i)
            for (size_t j = i + 1; j < n; ++j)
                if (cross[i] > cross[j])
                    std::swap(cross[i], cross[j]);
        for (size_t k = 0; k + 1 < n; k += 2) {
            double a = cross[k], b = cross[k + 1];
            if (k + 3 < n) {
                const bool meet = pass == 1 ? YYDeviceTrunc(b) == YYDeviceTrunc(cross[k + 2])
                                            : b == cross[k + 2];
                if (meet) {
                    b = cross[k + 3];
                    k += 2;
                }
            }
            Line(pass, s, a, b);
        }
    });
    return ok;
}

} // namespace

void IGrRectangle(float x1, float y1, float x2, float y2) { RectangleWorld(1, x1, y1, x2, y2); }

void YYRectangleRel(float dx, float dy)
{
    const auto pen = gGraphicsState.penPosition;
    RectangleWorld(2, pen[0], pen[1], Sum(pen[0], dx), Sum(pen[1], dy));
}

void YYDeviceRectangle(float x1, float y1, float x2, float y2)
{
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
        return;
    RectangleDraw(std::fmin(x1, x2), std::fmin(y1, y2), std::fmax(x1, x2), std::fmax(y1, y2));
}

void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3)
{
    TriangleWorld(1, x1, y1, x2, y2, x3, y3);
}

void YYTriangleRel(float dx2, float dy2, float dx3, float dy3)
{
    const auto pen = gGraphicsState.penPosition;
    TriangleWorld(2, pen[0], pen[1], Sum(pen[0], dx2), Sum(pen[1], dy2), Sum(pen[0], dx3), Sum(pen[1], dy3));
}

void IGrPolygonGrad(const float* x, const float* y, int n, int direction)
{
    if (n <= 0 || !x || !y)
        return;
    GraphicsState& g = gGraphicsState;
    if (n == 1) {
        YYPenMoveTo(x[0], y[0]);
        return;
    }
    int m = n;
    if (x[m - 1] == x[0] && y[m - 1] == y[0])
        --m;

    Gradient gradient(x, y, m, direction);

    // Save and override the drawing state.
    HardcopyState& h = gHardcopyState;
    int& monochrome = h.options[static_cast<size_t>(HardcopyOptionSlot(7))];
    const int savedMonochrome = monochrome;
    const int savedModel = g.colourModel;
    const int savedStyle = g.lineStyle;
    const int screen = g.screenOutput, hardcopy = g.hardcopyOpen;
    const int pn = g.previousNumber, prgb = g.previousRgb, pdev = g.previousDevice;
    const int cn = g.currentNumber, crgb = g.currentRgb, cdev = g.currentDevice;
    monochrome = 0;
    g.colourModel = kColourModelRgb;
    if (g.lineStyle != 0) {
        const int solid = 0;
        IGrLineStyleSelect(&solid);
    }

    bool ok = true;
    if (screen != 0) {
        g.hardcopyOpen = 0;
        ok = gradient.Pass(1);
        g.screenOutput = screen;
        g.hardcopyOpen = hardcopy;
    }
    if (ok && hardcopy != 0) {
        g.screenOutput = 0;
        g.hardcopyOpen = 1;
        gradient.Pass(2);
    }

    // Restore: both colours as they were, the previous one first.
    g.colourModel = savedModel;
    g.screenOutput = screen;
    g.hardcopyOpen = hardcopy;
    monochrome = savedMonochrome;
    g.currentNumber = pn;
    g.currentRgb = prgb;
    g.currentDevice = pdev;
    YYColourSetDirect(cn, crgb, cdev, 0);
    if (g.lineStyle != savedStyle)
        IGrLineStyleSelect(&savedStyle);
    YYPenMoveTo(x[0], y[0]);
}

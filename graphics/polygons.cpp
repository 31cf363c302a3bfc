// Polygons, polylines and curve resampling.
#include "graphics/polygons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "graphics/clipping.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/scan_edges.h"
#include "graphics/hatch_fill.h"
#include "graphics/lines.h"

namespace {

constexpr int kActiveEdgeLimit = 100;

// The scan-line fill of the N-point polygon in DevicePointArrays.
class ScanFill {
public:
    ScanFill(int n, float xmin, float ymin, float xmax, float ymax)
        : n_(n), box_{xmin, ymin, xmax, ymax}
    {
        const DevicePointArrays& p = gDevicePointArrays;
        x_.assign(p.x.begin(), p.x.begin() + n);
        y_.assign(p.y.begin(), p.y.begin() + n);
    }

    // KIND 1 single (mode 2 for direction 4, else mode 1), 2 crossed.
    void Run(int pass, int kind, int direction)
    {
        if (kind == 1) {
            Mode(pass, direction == 4 ? 2 : 1);
        } else if (kind == 2) {
            Mode(pass, 1);
            Mode(pass, 2);
        }
    }

private:
    void Mode(int pass, int mode);
    void Lines(int pass, int mode, const std::vector<ScanEdge>& edges, float s0, float step, double smax);

    int n_;
    float box_[4];
    std::vector<float> x_, y_;
    bool ended_ = false; // the fill of this call ended with error 49
};

// Mode 1 horizontal lines, mode 2 vertical lines (x and y exchanged).
void ScanFill::Mode(int pass, int mode)
{
    if (ended_)
        return;
    const GraphicsState& g = gGraphicsState;
    HatchSpacing s;
    YYHatchSpacing(pass, g.hatchDensity, s);
    const float step = mode == 1 ? s.sy : s.sx;
    const std::vector<float>& scan = mode == 1 ? y_ : x_;
    const std::vector<float>& other = mode == 1 ? x_ : y_;
    const float smin = mode == 1 ? box_[1] : box_[0];
    const float smax = mode == 1 ? box_[3] : box_[2];

    float s0 = smin;
    if (pass == 1) {
        const float t = static_cast<float>(YYDeviceTrunc(smin));
        s0 = smin < 0.0f ? t - 0.5f : t + 0.5f;
    }

    std::vector<ScanEdge> edges;
    edges.reserve(static_cast<size_t>(n_));
    for (int i = 0; i < n_; ++i) {
        const size_t a = static_cast<size_t>(i), b = static_cast<size_t>(i + 1 < n_ ? i + 1 : 0);
        if (scan[a] == scan[b])
            continue;
        ScanEdge e;
        e.slope = (static_cast<double>(other[a]) - other[b]) / (static_cast<double>(scan[a]) - scan[b]);
        const size_t low = scan[a] < scan[b] ? a : b;
        e.lower = scan[low];
        e.upper = std::fmax(scan[a], scan[b]);
        e.cross = other[low];
        edges.push_back(e);
    }
    if (!ScanEdgesSort(edges)) {
        YYErrorReport(kErrorFillTooComplex, "YYPolygon");
        ended_ = true;
        return;
    }
    if (edges.empty()) {
        // A flat polygon: one line across its box.
        if (mode == 1)
            YYDeviceLine(box_[0], y_[0], box_[2], y_[0]);
        else
            YYDeviceLine(x_[0], box_[1], x_[0], box_[3]);
    } else {
        if (!HatchSpacingUsable(step, 1))
            return;
        Lines(pass, mode, edges, s0, step, smax);
        if (ended_)
            return;
    }
    int set = 1;
    YYFillColourRound(pass, set);
    if (set == 2) {
        if (!edges.empty() && HatchSpacingUsable(step, 1))
            Lines(pass, mode, edges, s0 + 0.5f * step, step, smax);
        YYFillColourRound(pass, set);
    }
}

void ScanFill::Lines(int pass, int mode, const std::vector<ScanEdge>& edges, float s0, float step, double smax)
{
    const auto& clip = gGraphicsState.clipBox;
    const double lo = mode == 1 ? clip[1] : clip[0];
    const double hi = mode == 1 ? clip[3] : clip[2];
    std::vector<int> active;
    std::vector<float> cross;
    size_t next = 0;
    bool first = true;
    HatchLineRun(s0, step, SaturateToFloat(smax), false, lo, hi, [&](float s) {
        if (ended_)
            return;
        // The first edge is active from the first scan position on; the
        // others join in sorted order once their lower end is reached.
        if (first) {
            active.push_back(0);
            next = 1;
            first = false;
        }
        while (next < edges.size() && edges[next].lower <= s)
            active.push_back(static_cast<int>(next++));
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](int k) { return edges[static_cast<size_t>(k)].upper <= s; }),
                     active.end());
        if (static_cast<int>(active.size()) >= kActiveEdgeLimit) {
            YYErrorReport(kErrorFillTooComplex, "YYPolygon");
            ended_ = true;
            return;
        }
        cross.clear();
        for (int k : active) {
            const ScanEdge& e = edges[static_cast<size_t>(k)];
            cross.push_back(SaturateToFloat((s - e.lower) * e.slope + e.cross));
        }
        const size_t c = cross.size();
        if (c % 2 == 1 || c == 0)
            return;
        if (c == 2) {
            if (cross[0] > cross[1])
                std::swap(cross[0], cross[1]);
        } else {
            for (size_t i = 0; i + 1 < c; ++i)
                for (size_t j = i + 1; j < c; ++j)
                    if (cross[i] > cross[j])
                        std::swap(cross[i], cross[j]);
        }
        for (size_t k = 0; k + 1 < c; k += 2) {
            float left = cross[k], right = cross[k + 1];
            if (!(left <= right))
                continue;
            if (mode == 2) {
                YYDeviceLine(s, left, s, right);
                continue;
            }
            // Two pairs that meet are drawn as one line (never three).
            if (k + 3 < c) {
                const float nextLeft = cross[k + 2];
                const bool meet = pass == 1 ? YYDeviceTrunc(right) == YYDeviceTrunc(nextLeft)
                                            : right == nextLeft;
                if (meet && nextLeft <= cross[k + 3]) {
                    right = cross[k + 3];
                    k += 2;
                }
            }
            YYDeviceLine(left, s, right, s);
        }
    });
}

} // namespace

void YYPolygon(const float* x, const float* y, int n, int device)
{
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    auto done = [&] {
        if (device == 0 && n >= 1)
            YYPenMoveTo(x[0], y[0]);
    };
    if (n <= 1 || !x || !y) {
        done();
        return;
    }
    int m = n;
    if (x[m - 1] == x[0] && y[m - 1] == y[0])
        --m;

    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(m);
    float xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    for (int i = 0; i < m; ++i) {
        float dx = SaturateToFloat(x[i]), dy = SaturateToFloat(y[i]);
        if (device == 0)
            YYWorldToDevice(x[i], y[i], dx, dy);
        p.x[static_cast<size_t>(i)] = dx;
        p.y[static_cast<size_t>(i)] = dy;
        if (i == 0 || dx < xmin)
            xmin = dx;
        if (i == 0 || dx > xmax)
            xmax = dx;
        if (i == 0 || dy < ymin)
            ymin = dy;
        if (i == 0 || dy > ymax)
            ymax = dy;
    }
    const auto& a = g.deviceArea;
    if (xmin > a[2] || a[0] > xmax || ymin > a[3] || a[1] > ymax) {
        done();
        return;
    }
    b.N = m;
    b.IX[0] = YYDeviceTrunc(p.x[0]);
    b.IY[0] = YYDeviceTrunc(p.y[0]);
    b.IX[1] = YYDeviceTrunc(xmin);
    b.IY[1] = YYDeviceTrunc(ymin);
    b.IX[2] = YYDeviceTrunc(xmax);
    b.IY[2] = YYDeviceTrunc(ymax);

    const bool lineFill = g.fillMode == kFillHalftone || g.fillMode == kFillSolid;
    int kind = g.fillMode, direction = g.hatchDirection;
    if (lineFill) {
        int op = g.fillMode + 12;
        YYFillModeMerge(DeviceOp::kPolygonSolid, op);
        YYScreenDeviceCall(op);
        if (g.LineFillRequest[kScreenSide] == 0 && g.hardcopyOpen <= 0) {
            done();
            return;
        }
        kind = 1;
        direction = 3;
    }
    if (g.hardcopyOpen > 0) {
        b.M = 1;
        YYHardcopyCallIfOpen(DeviceOp::kPolygonHalftone);
    }
    ScanFill scan(m, xmin, ymin, xmax, ymax);
    YYFillPasses(DeviceOp::kPolygonHalftone, lineFill, [&](int pass) {
        if (!lineFill)
            YYPolygonOutline(m, true);
        if ((g.fillMode == kFillHatch || g.fillMode == kFillCrossHatch) && (direction == 1 || direction == 2))
            YYHatchFill(pass, xmin, ymin, xmax, ymax, m);
        else if (kind == 1 || kind == 2)
            scan.Run(pass, kind, direction);
    });
    done();
}

void YYPolyline(const float* x, const float* y, int n, int device)
{
    if (n < 2 || !x || !y)
        return;
    std::vector<float> px(static_cast<size_t>(n)), py(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        float dx = SaturateToFloat(x[i]), dy = SaturateToFloat(y[i]);
        if (device == 0)
            YYWorldToDevice(x[i], y[i], dx, dy);
        px[static_cast<size_t>(i)] = dx;
        py[static_cast<size_t>(i)] = dy;
    }
    DevicePointArrays& p = gDevicePointArrays;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    p.Reserve(n + 1);
    int run = 0;
    auto add = [&](float ax, float ay) {
        p.x[static_cast<size_t>(run)] = ax;
        p.y[static_cast<size_t>(run)] = ay;
        ++run;
    };
    auto send = [&] {
        if (run >= 2) {
            b.N = run;
            YYScreenDeviceCall(DeviceOp::kPolyline);
            YYHardcopyCallIfOpen(DeviceOp::kPolyline);
        }
        run = 0;
    };
    bool prevInside = YYInsideClip(px[0], py[0]);
    if (prevInside)
        add(px[0], py[0]);
    for (int i = 1; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        const bool inside = YYInsideClip(px[k], py[k]);
        if (inside && prevInside) {
            add(px[k], py[k]);
        } else if (prevInside) {
            // Leaving: the run ends at the crossing.
            float x1 = px[k - 1], y1 = py[k - 1], x2 = px[k], y2 = py[k];
            bool visible = false;
            YYClipLine(x1, y1, x2, y2, visible);
            if (visible)
                add(x2, y2);
            send();
        } else if (inside) {
            // Entering: a new run starts at the crossing.
            float x1 = px[k - 1], y1 = py[k - 1], x2 = px[k], y2 = py[k];
            bool visible = false;
            YYClipLine(x1, y1, x2, y2, visible);
            run = 0;
            if (visible)
                add(x1, y1);
            add(px[k], py[k]);
        } else {
            YYDeviceLine(px[k - 1], py[k - 1], px[k], py[k]);
        }
        prevInside = inside;
    }
    send();
    if (device == 0)
        YYPenMoveTo(x[n - 1], y[n - 1]);
}

void YYCurveResample(const float* x, const float* y, int n, float* xo, float* yo, const int* m)
{
    if (n <= 2 || !x || !y || !xo || !yo)
        return;
    const int64_t mm = m ? *m : 10 * static_cast<int64_t>(n);
    if (mm < 1 || mm > 100000000)
        return;
    const int M = static_cast<int>(mm);
    xo[0] = x[0];
    yo[0] = y[0];
    xo[M - 1] = x[n - 1];
    yo[M - 1] = y[n - 1];
    const double c = static_cast<double>(M) / (n - 1);
    // Q_k(t): the quadratic Bezier piece through points k, k+1, k+2 (1-based)
    // that passes through point k+1 at t = 0.5.
    auto piece = [&](const float* v, int k, double t) {
        const float ctrl = SaturateToFloat(2.0 * v[k] - (static_cast<double>(v[k - 1]) + v[k + 1]) / 2.0);
        return static_cast<double>(YYBezierPoint(v, ctrl, k, static_cast<float>(t)));
    };
    for (int i = 1; i <= M - 2; ++i) {
        const int k = static_cast<int>(static_cast<int64_t>(n - 1) * i / M) + 1;
        const double d = std::fmod(i + 1e-7, c) * 0.5 / c;
        for (int axis = 0; axis < 2; ++axis) {
            const float* v = axis == 0 ? x : y;
            double value;
            if (k > 1 && k < n - 1)
                value = (1.0 - 2.0 * d) * piece(v, k - 1, d + 0.5) + 2.0 * d * piece(v, k, d);
            else if (k == 1)
                value = piece(v, 1, d);
            else
                value = piece(v, n - 2, d + 0.5);
            (axis == 0 ? xo : yo)[i] = SaturateToFloat(value);
        }
    }
}

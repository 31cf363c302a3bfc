// Polar curves: a set of a polar graph as a closed curve or as filled pieces
// around the centre.
//
// The positions depend on the aspect of the output, so the set is drawn once
// per output (the screen with the hardcopy switched off, then the hardcopy
// with the screen switched off). The markers follow once both curves are
// drawn: they switch to the set's second colour and a solid line, which the
// curve on the second output must not inherit.
//
// A value counts as present when the missing-value test passes and it is a
// finite number; stacked sums are formed in double and saturated, so that no
// value reaches an ordered comparison as a NaN or makes a sum overflow.
#include "charts/polar_curves.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "charts/curves.h"
#include "charts/graph_state.h"
#include "charts/polar_geometry.h"
#include "graphics/clipping.h"
#include "graphics/lines.h"
#include "graphics/markers.h"
#include "graphics/rectangles.h"

namespace {

// The points of one polar set: their angles, their values (stacked on the
// sets below) and which of them are present.
class PolarSet {
public:
    PolarSet(std::span<const float> y, bool stacked) : stacked_(stacked)
    {
        const PgGraphState& s = gPgGraphState;
        n_ = std::max(s.pointCount, 1);
        given_ = static_cast<int>(std::min(static_cast<size_t>(n_), y.size()));
        const double points = s.pointCountReal >= 1.0f ? s.pointCountReal : static_cast<double>(n_);
        step_ = 360.0 / points;
        value_.resize(static_cast<size_t>(given_));
        present_.resize(static_cast<size_t>(given_));
        for (int i = 1; i <= given_; ++i) {
            const float v = y[static_cast<size_t>(i - 1)];
            const bool present = YYStateDiffers(v) && std::isfinite(v);
            present_[static_cast<size_t>(i - 1)] = present;
            value_[static_cast<size_t>(i - 1)] =
                present && stacked_ ? SaturateToFloat(static_cast<double>(v) + Below(i)) : v;
        }
    }

    int Count() const { return n_; }
    int Given() const { return given_; }
    bool Present(int i) const { return i >= 1 && i <= given_ && present_[static_cast<size_t>(i - 1)] != 0; }
    float Angle(int i) const { return static_cast<float>((i - 1) * step_); }
    // The value of point I with the sets below it added.
    float Value(int i) const { return value_[static_cast<size_t>(i - 1)]; }
    // The running sum of the sets below at point I (0 without stacking).
    float Below(int i) const
    {
        const std::vector<float>& base = gStackBaseTable.base;
        const size_t k = static_cast<size_t>(i - 1);
        return stacked_ && k < base.size() ? base[k] : 0.0f;
    }

    // World position of present point I on the output being drawn; false
    // when it has none.
    bool Data(int i, float& wx, float& wy) const
    {
        if (!Present(i))
            return false;
        YYPolarToWorld(Angle(i), Value(i), wx, wy);
        return std::isfinite(wx) && std::isfinite(wy);
    }
    // Where the piece of a filled point starts: the centre, or stacked the
    // curve of the sets below.
    void Base(int i, float cx, float cy, float& wx, float& wy) const
    {
        if (stacked_) {
            YYPolarToWorld(Angle(i), Below(i), wx, wy);
        } else {
            wx = cx;
            wy = cy;
        }
    }

private:
    bool stacked_;
    int n_ = 1;
    int given_ = 0;
    double step_ = 360.0;
    std::vector<float> value_;
    std::vector<char> present_;
};

// A line-drawn set: runs of present points closed by the curve rule, the
// last run closed back to point 1.
void CurvePass(const PolarSet& p)
{
    const int given = p.Given();
    std::vector<float> x(static_cast<size_t>(given) + 1), y(static_cast<size_t>(given) + 1);
    int k = 0;
    for (int i = 1; i <= given; ++i) {
        if (p.Data(i, x[static_cast<size_t>(k)], y[static_cast<size_t>(k)]))
            ++k;
        else
            YYCurveRunClose(x.data(), y.data(), k);
    }
    if (given < p.Count()) // the points the caller gave no value for are missing
        YYCurveRunClose(x.data(), y.data(), k);
    if (p.Data(1, x[static_cast<size_t>(k)], y[static_cast<size_t>(k)]))
        ++k;
    YYCurveRunClose(x.data(), y.data(), k);
}

// A filled set: one piece per pair of neighbouring present points, from
// point n to point 1 first.
void FilledPass(const PolarSet& p, int set, bool stacked, bool outline)
{
    float cx, cy, rx, ry;
    YYPolarCircle(cx, cy, rx, ry);
    float bx = 0, by = 0, dx = 0, dy = 0;
    bool previous = p.Data(p.Count(), dx, dy);
    if (previous)
        p.Base(p.Count(), cx, cy, bx, by);
    for (int i = 1; i <= p.Given(); ++i) {
        float x, y;
        if (!p.Data(i, x, y)) {
            previous = false;
            continue;
        }
        float x0, y0;
        p.Base(i, cx, cy, x0, y0);
        if (previous) {
            if (!stacked || set == 1) {
                IGrTriangle(x0, y0, x, y, dx, dy);
            } else {
                const float qx[4] = {x0, x, dx, bx}, qy[4] = {y0, y, dy, by};
                YYPolygonFill(qx, qy, 4);
            }
            if (outline)
                YYLineBetween(dx, dy, x, y);
        }
        previous = true;
        bx = x0;
        by = y0;
        dx = x;
        dy = y;
    }
}

} // namespace

void YYPolarCurveDraw(std::span<const float> y, int set, bool filled)
{
    PgGraphState& s = gPgGraphState;
    if (set < 1 || set > kMaxDataSets)
        return;
    const bool stacked = s.stacked != 0;
    const PolarSet points(y, stacked);
    const bool outline = gDataSetStyleTable.Set(set).styleWord1 < 3;

    // A single point has no curve and no fill, only its marker.
    if (points.Count() >= 2) {
        YYPolarPasses([&] {
            if (filled)
                FilledPass(points, set, stacked, outline);
            else
                CurvePass(points);
        });
    }
    if (!filled) {
        YYPolarPasses([&] {
            YYCurveMarkers(set, y, [&](int i, float& wx, float& wy) { return points.Data(i, wx, wy); });
        });
    }

    // Where the set ended, for curve-end labels: the angle and value of its
    // last present point, the centre when it has none.
    int last = 0;
    for (int i = points.Given(); i >= 1 && last == 0; --i)
        if (points.Present(i))
            last = i;
    SetEndTable& ends = gSetEndTable;
    const size_t row = static_cast<size_t>(set - 1);
    if (row < ends.endX.size() && row < ends.endY.size()) {
        ends.endX[row] = last > 0 ? points.Angle(last) : 0.0f;
        ends.endY[row] = last > 0 ? points.Value(last) : 0.0f;
    }

    if (stacked) {
        std::vector<float>& base = gStackBaseTable.base;
        for (int i = 1; i <= points.Given(); ++i)
            if (points.Present(i) && static_cast<size_t>(i - 1) < base.size())
                base[static_cast<size_t>(i - 1)] = points.Value(i);
    }
}

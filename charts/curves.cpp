// Curves and area charts of a type-4 graph, the missing-value test, the
// smooth curve, and the run and marker rules shared with the polar branch.
//
// A set's values stand at evenly spaced data x across the graph's x range.
// A line-drawn set collects the world points of each run of present values
// and closes the run as a polyline or smooth curve; a filled set draws one
// area piece per pair of consecutive present points. Data values are the
// caller's and may be anything: sums and differences are computed in double
// and saturated to the float range, comparisons that may meet a NaN are the
// quiet ones, so that no value makes the drawing trap.
#include "charts/curves.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "charts/area_segments.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/plot_clip.h"
#include "charts/polar_curves.h"
#include "core/conversions.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/string_routines.h"
#include "fonts/builtin_fonts.h"
#include "fonts/text_draw.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/markers.h"
#include "graphics/polygons.h"
#include "graphics/text_state.h"

StackBaseTable gStackBaseTable;

namespace {

// Resampled points per point of a smooth run, and the most points a smooth
// curve is resampled into.
constexpr int64_t kSmoothFactor = 16;
constexpr int64_t kMaxResampled = 100000000;

int Magnitude(int w) { return w == INT_MIN ? INT_MAX : (w < 0 ? -w : w); }

// A negative style word counts only on an output of at most two colours.
bool FewColours() { return gGraphicsState.roundingColours <= 2; }

// a + b and a - b; infinities of opposite directions give a NaN.
float Sum(float a, float b)
{
    if (std::isinf(a) && std::isinf(b) && std::signbit(a) != std::signbit(b))
        return std::numeric_limits<float>::quiet_NaN();
    return SaturateToFloatKeepNaN(static_cast<double>(a) + b);
}
float Difference(float a, float b) { return Sum(a, -b); }

// The line style of a line-drawn set from its first style word.
int LineStyleOf(int w1)
{
    if (w1 < 0 && !FewColours())
        return 0;
    const int style = Magnitude(w1);
    return style <= 7 ? style : 0;
}

// The data x of the points of a set: point 1 at the smaller end of the x
// range, each further point one even step on, whether present or not.
class PointX {
public:
    PointX()
    {
        const PgGraphState& s = gPgGraphState;
        x_ = s.xWidth >= 0.0f ? s.userX1 : s.userX2;
        if (s.pointCount > 1 && s.pointIntervals > 0.0f)
            dx_ = std::fabs(s.xWidth) / s.pointIntervals;
    }
    // The x of point I (1-based); I never decreases between calls.
    float At(int i)
    {
        for (; at_ < i; ++at_)
            x_ = SaturateToFloatKeepNaN(static_cast<double>(x_) + dx_);
        return x_;
    }

private:
    float x_ = 0.0f;
    float dx_ = 0.0f;
    int at_ = 1;
};

// Points of a set that the caller gave values for.
int PointsGiven(std::span<const float> y)
{
    const int n = gPgGraphState.pointCount;
    return static_cast<int>(std::min<size_t>(static_cast<size_t>(std::max(n, 0)), y.size()));
}

// The baseline's data value: the lower range end when it lies above 0, 0
// when the range reaches it, else the upper end.
float BaselineValue()
{
    const PgGraphState& s = gPgGraphState;
    if (s.userY1 > 0.0f)
        return s.userY1;
    return s.userY2 >= 0.0f ? 0.0f : s.userY2;
}

void StackBaseFree() { std::vector<float>().swap(gStackBaseTable.base); }

// Steps 8 to 13: the set drawn as a curve or an area.
void PlainSetDraw(std::span<const float> y, int set, bool filled)
{
    PgGraphState& s = gPgGraphState;
    const bool stacked = s.stacked != 0;
    std::vector<float>& base = gStackBaseTable.base;
    const int given = PointsGiven(y);

    const float b0 = BaselineValue();
    const float yb = YYPgToWorldY(b0);

    // The run of a line-drawn set.
    std::vector<float> rx, ry;
    if (!filled) {
        rx.resize(static_cast<size_t>(given));
        ry.resize(static_cast<size_t>(given));
    }
    int k = 0;

    // The previous present point of a filled set's run.
    bool inRun = false;
    float px = 0.0f, pl = 0.0f, h = 0.0f;

    bool anyPresent = false;
    float lastValue = 0.0f;
    PointX xs;
    for (int i = 1; i <= given; ++i) {
        const float x = xs.At(i);
        const float v = y[static_cast<size_t>(i - 1)];
        if (!YYStateDiffers(v)) {
            if (!filled)
                YYCurveRunClose(rx.data(), ry.data(), k);
            inRun = false;
            continue;
        }
        anyPresent = true;
        lastValue = v;
        const float wx = YYPgToWorldX(x);
        float lo, top;
        if (!stacked) {
            lo = yb;
            top = YYPgToWorldY(v);
        } else {
            float& sum = base[static_cast<size_t>(i - 1)];
            const float below = YYPgToWorldY(sum);
            lo = std::isgreater(below, yb) ? below : yb;
            sum = Sum(sum, v);
            top = YYPgToWorldY(sum);
        }

        if (!filled) {
            rx[static_cast<size_t>(k)] = wx;
            ry[static_cast<size_t>(k)] = top;
            ++k;
        } else if (!inRun) {
            h = Difference(top, lo);
            inRun = true;
        } else if (s.xWidth >= 0.0f) {
            YYAreaChartSegment(yb, px, pl, wx, top, h, Difference(top, lo));
        } else {
            // The points run from right to left: the segment goes in
            // reverse, from this point to the previous one.
            float height = Difference(top, lo);
            const float previous = h;
            YYAreaChartSegment(yb, wx, lo, px, Sum(pl, h), height, previous);
            h = Difference(top, lo);
        }
        px = wx;
        pl = lo;
    }

    // Where the curve ended, for the legend. A set without a present value
    // ends on the baseline, or on the end of the set below when stacked.
    SetEndTable& ends = gSetEndTable;
    const size_t row = static_cast<size_t>(set - 1);
    if (row < ends.endX.size() && row < ends.endY.size()) {
        ends.endX[row] = s.userX2;
        float endY = anyPresent ? lastValue : (stacked ? 0.0f : b0);
        if (stacked && set > 1)
            endY = Sum(endY, ends.endY[row - 1]);
        ends.endY[row] = endY;
    }

    if (!filled) {
        YYCurveRunClose(rx.data(), ry.data(), k);
        rx = {};
        ry = {};
        PointX mx;
        YYCurveMarkers(set, y, [&](int i, float& wx, float& wy) {
            const float v = stacked ? base[static_cast<size_t>(i - 1)] : y[static_cast<size_t>(i - 1)];
            YYPgToWorld(mx.At(i), v, wx, wy);
            return true;
        });
    }
}

} // namespace

bool YYStateDiffers(float value)
{
    const PgGraphState& s = gPgGraphState;
    if ((s.missingValueOn & 1) == 0)
        return true;
    if (std::isnan(value) || std::isnan(s.missingValue))
        return true;
    return value != s.missingValue;
}

void YYCurveDraw(const float* x, const float* y, int n, const int* m)
{
    if (n < 3 || !x || !y)
        return;
    const int64_t count = m ? *m : 10 * static_cast<int64_t>(n);
    if (count < 2 || count > kMaxResampled)
        return;
    const int points = static_cast<int>(count);
    std::vector<float> rx(static_cast<size_t>(points)), ry(static_cast<size_t>(points));
    YYCurveResample(x, y, n, rx.data(), ry.data(), &points);
    YYPolyline(rx.data(), ry.data(), points, 0);
}

void YYCurveRunClose(const float* x, const float* y, int& k)
{
    if (gPgGraphState.optionFlag128 != 0) {
        if (k == 2) {
            YYLineBetween(x[0], y[0], x[1], y[1]);
        } else if (k >= 3) {
            const int64_t count = std::min(kSmoothFactor * k, kMaxResampled);
            const int m = static_cast<int>(count);
            YYCurveDraw(x, y, k, &m);
        }
    } else {
        YYPolylineDraw(x, y, k);
    }
    k = 0;
}

void YYCurveMarkers(int set, std::span<const float> y, const CurvePointPosition& position)
{
    if (set < 1 || set > kMaxDataSets)
        return;
    const DataSetStyle style = gDataSetStyleTable.Set(set);
    if (style.styleWord2 < 0 && !FewColours())
        return;
    const int mode = Magnitude(style.styleWord2);
    if (mode < 1 || mode > 4)
        return;

    TextState& t = gTextState;
    t.justification = 1;
    t.stacking = 0;
    if (gGraphicsState.lineStyle != 0) {
        const int solid = 0;
        IGrLineStyleSelect(&solid);
    }
    IGrColourN(style.colour2);

    int m = style.marker;
    if (m < 0)
        m = mode == 4 ? set + 202 : set;

    FixedText<11> label;
    if (mode <= 2) {
        t.slant = 0.0f;
        if (mode == 1) {
            IntegerToString(m, label, "(I11)");
            YYJustify(label, "L");
        } else {
            const unsigned code = static_cast<unsigned>(m) + (m <= 26 ? 64u : 70u);
            label.data[0] = static_cast<char>(code & 0xFFu);
        }
    }
    const char symbol = static_cast<char>(static_cast<unsigned>(m) & 0xFFu);
    if (mode == 4)
        YYSymbolsLoad(1);

    const PgGraphState& s = gPgGraphState;
    const int step1 = std::max(s.pointStep1, 1), step2 = std::max(s.pointStep2, 1);
    const int given = PointsGiven(y);
    for (int64_t point = step1; point <= given; point += step2) {
        const int i = static_cast<int>(point);
        if (!YYStateDiffers(y[static_cast<size_t>(i - 1)]))
            continue;
        float wx = 0.0f, wy = 0.0f;
        if (!position(i, wx, wy))
            continue;
        switch (mode) {
        case 3:
            YYMarker(wx, wy, m);
            break;
        case 4:
            YYTextDraw(&wx, &wy, std::string_view(&symbol, 1));
            break;
        default:
            YYTextDraw(&wx, &wy, label.trimmed());
            break;
        }
    }

    if (mode == 4)
        YYSymbolsLoad(0);
}

void IPgCurveDraw(std::span<const float> y)
{
    PgGraphState& s = gPgGraphState;
    GraphicsState& g = gGraphicsState;
    if (s.graphType != 4 || s.setCounter >= s.setCount)
        return;
    const int set = ++s.setCounter;

    YYGraphAreaSelect();

    const DataSetStyle style = gDataSetStyleTable.Set(set);
    IGrColourN(style.colour2);
    IGrColourN(style.colour1);

    const bool filled = style.styleWord3 > 0 && s.optionFlag128 == 0;
    if (filled) {
        YYFillSettings(&style.styleWord1, &style.styleWord2, &style.styleWord3);
        g.outline = 0;
    } else {
        const int lineStyle = LineStyleOf(style.styleWord1);
        if (lineStyle != g.lineStyle)
            IGrLineStyleSelect(&lineStyle);
    }

    // The running sums start afresh with set 1 (and whenever they do not fit
    // the graph's points).
    const size_t points = static_cast<size_t>(std::max(s.pointCount, 0));
    if (s.stacked != 0 && (set == 1 || gStackBaseTable.base.size() != points)) {
        StackBaseFree();
        gStackBaseTable.base.assign(points, 0.0f);
    }

    if (s.polar != 0)
        YYPolarCurveDraw(y, set, filled);
    else
        PlainSetDraw(y, set, filled);

    if (s.stacked != 0 && set == s.setCount)
        StackBaseFree();

    YYGraphAreaRestore();
}

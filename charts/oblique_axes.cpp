// The axes of a graph on an oblique base (3-D option on types 5, 6, 7, 8 and
// 10): the x axis (along the points) and the y axis (along the data sets) run
// along edges of the base parallelogram, chosen by the quadrant of the view
// angle; the third axis stands upright at the leftmost corner of the base.
//
// Where the label text would run nearly along its edge, the labels are
// measured first and shrink to one edge step; otherwise each tick is drawn
// with its label in one pass. The third axis always measures first.
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "charts/axes.h"
#include "charts/axis_scaling.h"
#include "charts/frame_geometry.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "core/numeric.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/clipping.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/text_state.h"

namespace {

// Label and edge directions closer than this (degrees) count as parallel.
constexpr double kParallelAngle = 15.0;

using Corners = std::array<float, 4>;

// Corner number K (1..4, or up to 7) reduced into 1..4.
int Corner(int k) { return k > 4 ? k - 4 : k; }

// Quadrant of the view angle: 1 around 0 degrees, 4 around 90, 3 around
// 180, 2 around 270.
int Quadrant(float v)
{
    if (!std::isfinite(v) || v < 45.0f || v >= 315.0f)
        return 1;
    if (v < 135.0f)
        return 4;
    return v < 225.0f ? 3 : 2;
}

// An angle in degrees folded into [0, 180): a direction without its sense.
double Fold(double a) { return std::fmod(std::fmod(a, 180.0) + 180.0, 180.0); }

// Whether the labels of axis 1 or 2 run nearly along their reference edge
// (within 15 degrees either way round, so 179 and 1 degrees are parallel).
// The edge's y is taken in the measure of x, as the text aspect sees it.
bool LabelsAlongEdge(const AxisCall& c, int q, const Corners& X, const Corners& Y)
{
    const GraphicsState& g = gGraphicsState;
    const int next = Corner(q + 1), opposite = Corner(q + 2), previous = Corner(q + 3);
    const int from = std::isless(Y[static_cast<size_t>(next - 1)], Y[static_cast<size_t>(previous - 1)]) ? next
                                                                                                         : previous;
    const int to = c.axis == 2 - (q % 2) ? opposite : q;
    const double dx = static_cast<double>(X[static_cast<size_t>(to - 1)]) - X[static_cast<size_t>(from - 1)];
    const double dy = static_cast<double>(Y[static_cast<size_t>(to - 1)]) - Y[static_cast<size_t>(from - 1)];
    const double scale = static_cast<double>(c.aspect) * g.textUnitSize[1];
    if (scale == 0.0)
        return false;
    const double e = std::atan2(dy * g.textUnitSize[0] / scale, dx) / kDegreesToRadians;
    const double t = c.thetaT;
    if (!std::isfinite(e) || !std::isfinite(t))
        return false;
    double d = std::fabs(Fold(e) - Fold(t));
    d = std::fmin(d, 180.0 - d);
    return d < kParallelAngle;
}

// The edge each axis runs along, by quadrant, with the signs of its tick and
// label directions and whether the label justification is mirrored.
struct EdgeRow {
    int start, end;
    float p, q;
    bool mirrored;
};
constexpr EdgeRow kEdges[2][4] = {
    // axis 1, quadrants 1 to 4
    {{4, 3, 1, 1, false}, {1, 2, 1, -1, true}, {1, 2, 1, 1, false}, {4, 3, 1, -1, true}},
    // axis 2
    {{1, 4, -1, -1, false}, {1, 4, -1, 1, true}, {2, 3, -1, -1, false}, {2, 3, -1, 1, true}},
};

// A tick of an axis and its label.
struct Tick {
    float x = 0, y = 0;      // world point of the tick
    std::string text;
};

void Measure(const std::vector<Tick>& ticks, float& longest)
{
    for (const Tick& k : ticks) {
        YYAxisLabelBufferPut(k.text);
        longest = std::fmax(longest, YYTextLength(k.text));
    }
}

void DrawLabels(const std::vector<Tick>& ticks, float dx, float dy)
{
    for (const Tick& k : ticks) {
        YYAxisLabelBufferPut(k.text);
        float x = k.x + dx, y = k.y + dy;
        if (!k.text.empty())
            YYTextDraw(&x, &y, k.text);
    }
}

// The x axis (axis 1) or the y axis (axis 2) along its edge of the base.
void EdgeAxis(const AxisCall& c, const Corners& X, const Corners& Y)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const bool xAxis = c.axis == 1;
    const int q = Quadrant(s.viewAngle);
    const EdgeRow& row = kEdges[xAxis ? 0 : 1][q - 1];
    if (row.mirrored)
        t.justification = 2 - t.justification;
    const bool measuring = c.labels && LabelsAlongEdge(c, q, X, Y);

    const float lo = xAxis ? s.userX1 : s.userY1, hi = xAxis ? s.userX2 : s.userY2;
    float step, span, first, offset;
    int count, exponent;
    YYAxisRound(lo, hi, step, count, span, exponent, first, offset);

    double x0 = X[static_cast<size_t>(row.start - 1)], y0 = Y[static_cast<size_t>(row.start - 1)];
    const double ex = X[static_cast<size_t>(row.end - 1)] - x0, ey = Y[static_cast<size_t>(row.end - 1)] - y0;
    double vx = span != 0.0f ? ex / span : 0.0, vy = span != 0.0f ? ey / span : 0.0;
    double labelFirst = first, labelStep = step;

    // A cell graph puts its ticks at the middles of its cells; up to three
    // cells get one labelled tick each.
    if (s.graphType == 10 || (s.graphType == 8 && s.optionFlag128 != 0)) {
        // The count in force: a graph begun with one point has two, while
        // its count as a real still says one.
        const int n = std::max(xAxis ? s.pointCount : s.pointCount2, 1);
        const double cells = n;
        x0 += ex / (2.0 * cells);
        y0 += ey / (2.0 * cells);
        if (n <= 3) {
            vx = ex / cells;
            vy = ey / cells;
            count = n;
            offset = 0.0f;
            labelFirst = lo;
            // A graph begun with one point has no interval: the frame's 1.
            const float intervals = xAxis ? s.pointIntervals : s.pointIntervals2;
            labelStep = (xAxis ? s.xWidth : s.yWidth) / std::fmax(intervals, 1.0f);
        } else {
            vx *= (n - 1) / cells;
            vy *= (n - 1) / cells;
        }
    }

    std::vector<Tick> ticks;
    for (int j = 1; j <= count; ++j) {
        Tick k;
        const double along = j - 1.0 + offset;
        k.x = SaturateToFloat(x0 + along * vx);
        k.y = SaturateToFloat(y0 + along * vy);
        if (c.labels)
            k.text = c.labelForm ? std::string(YYAxisCallerLabel(c, j))
                                 : YYAxisTickText(SaturateToFloat(labelFirst + (j - 1.0) * labelStep), exponent, 1);
        ticks.push_back(std::move(k));
    }

    const double a = c.aspect, ca = std::cos(c.thetaA), sn = std::sin(c.thetaA);
    const float tickDx = SaturateToFloat(-2.0 * row.q * c.tx * ca / a);
    const float tickDy = SaturateToFloat(-2.0 * row.p * c.tx * sn);
    const float labelDx = SaturateToFloat(4.0 * row.q * std::fabs(c.tx) * ca / a);
    const float labelDy = SaturateToFloat(4.0 * row.p * std::fabs(c.tx) * sn);

    if (!measuring) {
        for (const Tick& k : ticks) {
            if (c.ticks) {
                YYPenMoveTo(k.x, k.y);
                YYDrawRel(tickDx, tickDy);
            }
            if (c.labels)
                DrawLabels({k}, labelDx, labelDy);
        }
        return;
    }
    float longest = 0.0f;
    for (const Tick& k : ticks) {
        if (c.ticks) {
            YYPenMoveTo(k.x, k.y);
            YYDrawRel(tickDx, tickDy);
        }
    }
    Measure(ticks, longest);
    // One edge step, its y in the measure of x, as a fraction of the area.
    const double ux = g.textUnitSize[0], uy = g.textUnitSize[1];
    if (longest != 0.0f && ux != 0.0 && uy != 0.0) {
        const double stepLength = std::hypot(vx / ux, vy / (a * uy));
        const double limit = stepLength / longest;
        if (std::isfinite(limit) && limit > 0.0)
            YYCharAspect(SaturateToFloat(limit), 0);
    }
    DrawLabels(ticks, labelDx, labelDy);
}

// The third axis, upright at the leftmost corner of the base.
void ThirdAxis(const AxisCall& c, const Corners& X, int leftmost, float cornerY, float zScale)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    float step, first, labelStep, firstLabel;
    int count, exponent;
    YYAxisTicks(s.userZ1, s.userZ2, 0, 0, 3, step, first, count, exponent, labelStep, firstLabel);

    double position = cornerY + (static_cast<double>(first) - s.userZ1) * zScale;
    double positionStep = static_cast<double>(step) * zScale;
    if (s.graphType == 10) {
        // A cell graph puts its ticks at the middles of its cells.
        const double cells = std::max(s.pointCount3, 1);
        position += zScale * 0.5 * s.zWidth / cells;
        positionStep *= (cells - 1.0) / cells;
        if (first + static_cast<double>(count) * labelStep <= s.userZ2 + labelStep / 100000.0)
            ++count;
    }

    const float x = X[static_cast<size_t>(leftmost - 1)];
    std::vector<Tick> ticks;
    float value = first;
    for (int j = 1; j <= count; ++j) {
        Tick k;
        k.x = x;
        k.y = YYPgToWorldY(SaturateToFloat(position));
        if (c.labels)
            k.text = c.labelForm ? std::string(YYAxisCallerLabel(c, j))
                                 : YYAxisTickText(value, exponent, s.graphType == 2 ? 1 : 0);
        ticks.push_back(std::move(k));
        position += positionStep;
        const float previous = value;
        value = SaturateToFloat(static_cast<double>(value) + labelStep);
        // A label that is a rounding residue of zero reads "0".
        if (previous != 0.0f && std::fabs(static_cast<double>(value) / previous) < 0.01)
            value = 0.0f;
    }

    const double a = c.aspect, ca = std::cos(c.thetaA), sn = std::sin(c.thetaA);
    if (c.ticks) {
        for (const Tick& k : ticks) {
            YYPenMoveTo(k.x, k.y);
            YYDrawRel(SaturateToFloat(c.tx * ca), SaturateToFloat(c.tx * a * sn));
        }
    }
    if (!c.labels)
        return;
    float longest = 0.0f;
    Measure(ticks, longest);
    // The longest label across the text into the distance of the last two
    // values, as a fraction of the area's width (a single value: no distance).
    const double m = std::fabs(static_cast<double>(longest) * t.angleSinK);
    const size_t n = ticks.size();
    const double measure = m * a * g.textUnitSize[1];
    if (n >= 2 && measure != 0.0 && std::isfinite(measure)) {
        const double limit = std::fabs(static_cast<double>(ticks[n - 1].y) - ticks[n - 2].y) / std::fabs(measure);
        if (std::isfinite(limit) && limit > 0.0)
            YYCharAspect(SaturateToFloat(limit), 0);
    }
    DrawLabels(ticks, SaturateToFloat(-ca * c.dy), SaturateToFloat(-a * sn * c.dy));
}

} // namespace

void YYAxisOblique(AxisCall& c)
{
    float pointStepX, setStepX, setFallY, pointRiseY, zScale, originX, originY;
    YYBaseGeometry(pointStepX, setStepX, setFallY, pointRiseY, zScale, originX, originY);
    Corners X, Y;
    int leftmost;
    float cornerY;
    YYBaseCorners(X, Y, leftmost, cornerY);
    if (leftmost < 1 || leftmost > 4)
        leftmost = 1;
    if (c.axis == 3)
        ThirdAxis(c, X, leftmost, cornerY, zScale);
    else
        EdgeAxis(c, X, Y);
}

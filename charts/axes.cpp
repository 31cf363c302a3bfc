// Axis drawing: options, the common preparation, the plain linear and
// logarithmic x and y axes with their two passes, and the restore.
//
// The plain axes first list the values the tick loop visits (stations):
// their world positions, whether they are below the axis minimum, minor
// (half ticks of a logarithmic axis) and labelled. Pass 1 draws the ticks
// and measures the labels, the characters then shrink so that the longest
// label fits one tick spacing along the text direction, and pass 2 draws
// the labels.
#include "charts/axes.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "charts/axis_scaling.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "core/conversions.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/option_string.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_state.h"

namespace {


// The exponent text of a decade label, "(I3)".
char gExponentText[3] = {' ', ' ', ' '};

// Justification of the labels (0 left, 1 centre, 2 right) from the quadrant k.
int LabelJustification(const AxisCall& c, int k)
{
    const PgGraphState& s = gPgGraphState;
    auto pick = [k](int k0, int k1, int k2, int k3) {
        switch (k) {
        case 0: return k0;
        case 1: return k1;
        case 2: return k2;
        case 3: return k3;
        default: return 1;
        }
    };
    if (s.polar != 0)
        return 1;
    if (c.axis == 3)
        return pick(2, 1, 0, 1);
    if (s.threeDAxes != 0)
        return c.axis == 1 ? 0 : 2;
    if (c.axis == 2)
        return c.variant == 1 ? pick(2, 1, 0, 1) : pick(0, 1, 2, 1);
    return c.variant == 1 ? pick(1, 2, 1, 0) : pick(1, 0, 1, 2);
}

// One value the tick loop visits.
struct Station {
    float position = 0.0f;   // world coordinate along the axis
    bool below = false;      // below the axis minimum: nothing drawn
    bool minor = false;      // half-length tick
    bool labelled = false;
    int labelIndex = 0;      // k of the caller labels, from 1
    std::string text;        // label (or the "10" part of a decade label)
    std::string exponent;    // exponent of a decade label
};

// The multiplier M written with "(I11)" from its first non-blank character.
std::string MultiplierText(int m)
{
    char buf[11];
    IntegerToString(m, std::span<char>(buf, 11), "(I11)");
    std::string_view v(buf, 11);
    size_t f = v.find_first_not_of(' ');
    return f == std::string_view::npos ? std::string() : std::string(TrimRight(v.substr(f)));
}

struct AxisValues {
    bool log = false;
    int decadeCount = 0;
    int startDecade = 0;
    std::vector<Station> stations;
};

// Stations of a linear axis from MIN to MAX (positions along x when X is
// true, else along y).
AxisValues LinearStations(const AxisCall& c, bool x)
{
    const PgGraphState& s = gPgGraphState;
    AxisValues out;
    const float lo = x ? s.xMin : s.yMin;
    const float hi = x ? s.xMax : s.yMax;
    const int category = (x ? s.graphType == 1 : s.graphType == 2) ? 1 : 0;
    float step, first, labelStep, firstLabel;
    int count, exponent;
    YYAxisTicks(lo, hi, category, s.pointCount, c.axis, step, first, count, exponent, labelStep, firstLabel);
    if (s.threeD != 0 && c.variant == 2)
        first = SaturateToFloatKeepNaN(static_cast<double>(first) +
                                       static_cast<double>(x ? s.xWidth : s.yWidth) * s.depthFraction);
    float position = first, label = firstLabel;
    for (int i = 1; i <= count; ++i) {
        Station st;
        st.position = x ? YYPgToWorldX(position) : YYPgToWorldY(position);
        st.below = position < lo;
        st.labelled = true;
        st.labelIndex = i;
        if (c.labels && !c.labelForm)
            st.text = YYAxisTickText(label, exponent, category);
        out.stations.push_back(std::move(st));
        position = SaturateToFloatKeepNaN(static_cast<double>(position) + step);
        const float previous = label;
        label = SaturateToFloatKeepNaN(static_cast<double>(label) + labelStep);
        // A label that is a rounding residue of zero reads "0".
        if (previous != 0.0f && std::fabs(static_cast<double>(label) / previous) < 0.01)
            label = 0.0f;
    }
    return out;
}

// Stations of a logarithmic axis: the labelled decades and, for at most five
// decades, the multiples 2..9 of each.
AxisValues LogStations(bool x)
{
    const PgGraphState& s = gPgGraphState;
    AxisValues out;
    out.log = true;
    const float lo = x ? s.xMin : s.yMin;
    const float hi = x ? s.xMax : s.yMax;
    int labelStep, topDecade;
    YYLogRange(lo, hi, labelStep, out.decadeCount, out.startDecade, topDecade);
    labelStep = std::max(labelStep, 1);
    auto where = [x](double v) {
        const float f = SaturateToFloatKeepNaN(v);
        return x ? YYPgToWorldX(f) : YYPgToWorldY(f);
    };
    int k = 0;
    for (int i = out.startDecade; i <= topDecade; i += labelStep) {
        const double decade = std::pow(10.0, i);
        Station st;
        st.position = where(decade);
        st.below = decade < lo;
        st.labelled = true;
        st.labelIndex = ++k;
        const std::string exponent = YYAxisExponentText(i);
        st.exponent = exponent;
        st.text = out.decadeCount == 0 ? "1*10" : "10";
        out.stations.push_back(std::move(st));
        if (out.decadeCount <= 5) {
            for (int m = 2; m <= 9; ++m) {
                const double v = m * decade;
                if (v > hi)
                    break;
                if (v < lo)
                    continue;
                Station minor;
                minor.position = where(v);
                minor.minor = true;
                if (out.decadeCount == 0) {
                    minor.labelled = true;
                    minor.labelIndex = ++k;
                    minor.exponent = exponent;
                    minor.text = MultiplierText(m) + "*10";
                }
                out.stations.push_back(std::move(minor));
            }
        }
        if (i > INT_MAX - labelStep)
            break;
    }
    return out;
}

// The plain x axis (X true) or y axis.
void PlainAxis(AxisCall& c, bool x)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const bool log = x ? s.xLog != 0 : s.yLog != 0;
    const bool rightOrTop = c.variant != 1;

    // Axis position (where the ticks stand) and the label line.
    float axisAt, labelAt, md = c.md;
    float tick = x ? c.ty : c.tx;
    if (x) {
        axisAt = rightOrTop ? c.y2w : c.y1w;
        if (s.threeD == 0) {
            if (c.variant == 1 && s.xAxisPositionSet1 != 0)
                axisAt = YYPgToWorldY(s.xAxisPosition1);
            else if (c.variant == 2 && s.xAxisPositionSet2 != 0)
                axisAt = YYPgToWorldY(s.xAxisPosition2);
            else if (s.yMin < 0.0f && 0.0f < s.yMax)
                axisAt = YYPgToWorldY(0.0f);
        }
        if (rightOrTop) {
            md = (g.units[3] - c.y2w) * s.axisMarginFraction;
            labelAt = c.y2w + md;
            tick = -tick;
        } else {
            labelAt = c.labelY;
        }
    } else {
        axisAt = rightOrTop ? c.x2w : c.x1w;
        if (s.threeD == 0) {
            if (c.variant == 1 && s.yAxisPositionSet1 != 0)
                axisAt = YYPgToWorldX(s.yAxisPosition1);
            else if (c.variant == 2 && s.yAxisPositionSet2 != 0)
                axisAt = YYPgToWorldX(s.yAxisPosition2);
            else if (s.xMin < 0.0f && 0.0f < s.xMax)
                axisAt = YYPgToWorldX(0.0f);
        }
        if (rightOrTop) {
            labelAt = c.x2w + c.dy;
            tick = -tick;
        } else {
            labelAt = c.labelX;
        }
    }

    // Offsets of the labels from the axis angle, for outward ticks only.
    float across = 0.0f; // added to every label's coordinate along the axis
    if (c.s > 0.0f) {
        if (x) {
            labelAt += c.sigma * (1.0f - c.ca) * md;
            across = c.sigma * c.saByA * md;
        } else {
            labelAt += (1.0f - c.ca) * c.sigma * c.dy;
            across = -c.sigma * c.sa * c.dy;
        }
    }

    AxisValues values = log ? LogStations(x) : LinearStations(c, x);
    const int justification = t.justification;

    // Offset h of the "10" of a decade label on a y axis, in character widths.
    auto decadeOffset = [&]() -> float {
        if (x || !log)
            return 0.0f;
        if (justification == 0)
            return YYTextLength("10");
        if (justification == 1)
            return 0.0f;
        const int a = std::abs(values.startDecade);
        std::string_view w = a <= 9 ? "-9" : (a <= 99 ? "-99" : (a <= 999 ? "-999" : "-9999"));
        return -s.axisFactor1 * YYTextLength(w);
    };

    auto labelText = [&](const Station& st) -> std::string {
        if (c.labelForm)
            return std::string(YYAxisCallerLabel(c, st.labelIndex));
        return st.text;
    };
    auto labelPoint = [&](const Station& st, float& px, float& py) {
        if (x) {
            px = st.position + across;
            py = labelAt;
        } else {
            px = labelAt;
            py = st.position + across;
        }
    };

    // Pass 1: ticks, and the longest label.
    float longest = 0.0f;
    for (const Station& st : values.stations) {
        if (st.below)
            continue;
        if (c.ticks) {
            const float tk = st.minor ? tick / 2.0f : tick;
            if (x) {
                YYPenMoveTo(st.position, axisAt);
                YYDrawRel(-tk * c.saByA, tk * c.ca);
            } else {
                YYPenMoveTo(axisAt, st.position);
                YYDrawRel(tk * c.ca, tk * c.sa);
            }
        }
        if (c.labels && st.labelled) {
            std::string text = (values.log && !c.labelForm) ? st.exponent : labelText(st);
            YYAxisLabelBufferPut(text);
            longest = std::max(longest, YYTextLength(text));
        }
    }
    if (!c.labels)
        return;

    // Shrinking: the longest label, along the text direction, into one tick
    // spacing (the last two values visited). The world spacing is turned into
    // a fraction of the graphics area, the measure of the character size.
    float m = longest;
    if (values.log && !c.labelForm)
        m = YYAxisDecadeLength(c, m, values.decadeCount == 0);
    m = std::fabs(m * (x ? t.angleCos : t.angleSinK));
    const size_t n = values.stations.size();
    if (m != 0.0f && std::isfinite(m) && n >= 2) {
        const double spacing = std::fabs(static_cast<double>(values.stations[n - 1].position) -
                                          values.stations[n - 2].position);
        const double extent = x ? g.textUnitSize[0] : g.textUnitSize[1];
        const double value = x ? spacing / m : spacing / (static_cast<double>(c.aspect) * m);
        if (spacing > 0.0 && extent != 0.0)
            YYCharAspect(SaturateToFloatKeepNaN(value / std::fabs(extent)), 0);
    }
    const float rememberedWidth = t.charWidth, rememberedHeight = t.charHeight;
    const float cw = g.textUnitSize[0] * t.charWidth;
    const float h = decadeOffset();

    // Pass 2: the labels.
    for (const Station& st : values.stations) {
        if (st.below || !st.labelled)
            continue;
        float px, py;
        labelPoint(st, px, py);
        if (!values.log || c.labelForm) {
            std::string text = labelText(st);
            if (text.empty())
                continue;
            YYAxisLabelBufferPut(text);
            YYTextDraw(&px, &py, text);
            continue;
        }
        // Decade label: "10" (or "m*10") moved by h along the text.
        YYAxisDecadeLabelDraw(c, px + h * cw * c.ct, py + h * cw * c.st, st.text, st.exponent, rememberedWidth,
                              rememberedHeight);
    }
}

} // namespace

float YYOutputAspect()
{
    const GraphicsState& g = gGraphicsState;
    const float a = g.screenOutput == 1 ? g.aspect : gHardcopyState.pageAspect;
    return (std::isfinite(a) && a > 0.0f) ? a : 1.0f;
}

void YYAxisAspectSet(AxisCall& c, float aspect)
{
    c.aspect = aspect;
    const double rt = c.thetaT * static_cast<double>(kDegreesToRadiansFloat);
    c.st = static_cast<float>(aspect * std::sin(rt));
    c.sa = static_cast<float>(aspect * std::sin(c.thetaA));
    c.saByA = static_cast<float>(std::sin(c.thetaA) / aspect);
}

std::string YYAxisTickText(float value, int exponent, int extraDigit)
{
    int first = 0, last = 0;
    YYTickLabel(value, exponent, extraDigit, first, last);
    if (first < 1 || last < first || last > kAxisLabelLength)
        return std::string();
    return std::string(gAxisLabelBuffer.text.data() + first - 1, static_cast<size_t>(last - first + 1));
}

std::string YYAxisExponentText(int i)
{
    IntegerToString(i, std::span<char>(gExponentText, 3), "(I3)");
    std::string_view v(gExponentText, 3);
    size_t f = v.find_first_not_of(' ');
    return f == std::string_view::npos ? std::string() : std::string(TrimRight(v.substr(f)));
}

void YYAxisLabelBufferPut(std::string_view text)
{
    PutText(std::span<char>(gAxisLabelBuffer.text.data(), gAxisLabelBuffer.text.size()), text);
}

float YYAxisDecadeLength(const AxisCall& c, float m, bool multiplier)
{
    return m * gPgGraphState.axisFactor1 + (-c.st * c.e) + YYTextLength(multiplier ? "1*10" : "10");
}

void YYAxisDecadeLabelDraw(const AxisCall& c, float x, float y, std::string_view ten, std::string_view exponent,
                           float width, float height)
{
    TextState& t = gTextState;
    const float factor = gPgGraphState.axisFactor1;
    const int justification = t.justification;
    t.justification = 2;
    YYTextDraw(&x, &y, ten);
    YYCharSize(factor * width, factor * height);
    t.justification = 0;
    float ex = x - c.st * c.e;
    float ey = y + c.ct * c.e;
    YYAxisLabelBufferPut(exponent);
    YYTextDraw(&ex, &ey, exponent);
    t.justification = justification;
    YYCharSize(width, height);
}

std::string_view YYAxisCallerLabel(const AxisCall& call, int k)
{
    if (k >= 1 && k <= call.callerCount && static_cast<size_t>(k) <= call.callerLabels.size()) {
        std::string_view v = TrimRight(call.callerLabels[static_cast<size_t>(k - 1)]);
        if (!v.empty())
            return v;
    }
    return " ";
}

void YYAxisDraw(int entry, std::string_view options, std::span<const std::string_view> labels, int n)
{
    if (entry < 1 || entry > 10)
        return;
    static constexpr std::array<int, 10> kAxis = {1, 1, 2, 2, 3, 1, 1, 2, 2, 3};
    static constexpr std::array<int, 10> kVariant = {1, 2, 1, 2, 1, 1, 2, 1, 2, 0};
    const PgGraphState& s = gPgGraphState;
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;

    AxisCall c;
    c.axis = kAxis[static_cast<size_t>(entry - 1)];
    c.variant = kVariant[static_cast<size_t>(entry - 1)];
    c.labelForm = entry <= 5;

    // 1. Options.
    if (c.labelForm) {
        c.ticks = false;
        c.labels = true;
        c.s = 1.0f;
        c.callerLabels = labels;
        c.callerCount = n;
    } else if (TrimRight(options).empty()) {
        c.ticks = true;
        c.labels = true;
        c.s = 1.0f;
    } else {
        const bool inward = YYOptionHas(options, 'I');
        c.s = inward ? -1.0f : 1.0f;
        c.ticks = inward || YYOptionHas(options, 'T');
        c.labels = YYOptionHas(options, 'N');
    }

    // 2. Common preparation.
    if (s.threeDAxes != 0 && c.axis == 1)
        c.variant = 2;
    c.sigma = c.variant == 1 ? 1.0f : -1.0f;

    const int savedJustification = t.justification;
    const int savedStacking = t.stacking;
    const float savedAngle = t.angle;
    const int savedFill = g.fillMode;
    c.thetaA = c.axis == 1 ? s.axisAngleX : (c.axis == 2 ? s.axisAngleY : s.axisAngleZ);
    c.thetaT = c.axis == 1 ? s.axisAngle2X : (c.axis == 2 ? s.axisAngle2Y : s.axisAngle2Z);
    c.tickLength = c.axis == 1 ? s.tickLengthX : (c.axis == 2 ? s.tickLengthY : s.tickLengthZ);
    t.stacking = 0;
    YYTextAngle(c.thetaT);

    double a = c.thetaT;
    if (a < 0.0)
        a += 360.0;
    const double b = c.ticks ? c.thetaA / static_cast<double>(kDegreesToRadiansFloat) : 0.0;
    double q = a - b;
    if (!(s.threeDAxes != 0 && c.axis != 3))
        q += 45.0;
    const int k = std::isfinite(q) ? TruncateToInt(std::fmod(q, 360.0) / 90.0) : 0;
    t.justification = LabelJustification(c, k);

    YYPgToWorld(s.userX1, s.userY1, c.x1w, c.y1w);
    YYPgToWorld(s.userX2, s.userY2, c.x2w, c.y2w);
    c.aspect = YYOutputAspect();
    c.tx = SaturateToFloatKeepNaN((static_cast<double>(c.x1w) - c.x2w) * c.s * c.tickLength / 80.0);
    c.ty = SaturateToFloatKeepNaN((static_cast<double>(c.y1w) - c.y2w) * c.s * c.tickLength / 80.0);
    c.dy = s.tickLabelDistance * std::fabs(c.tx);
    if (t.justification == 1)
        c.dy += std::fabs(c.tx);
    c.labelX = c.x1w - c.dy;
    c.md = (c.y1w - g.units[1]) * s.axisMarginFraction;
    c.labelY = c.y1w - c.md;
    c.savedWidth = t.charWidth;
    c.savedHeight = t.charHeight;
    c.cw = g.textUnitSize[0] * t.charWidth;
    c.ch = g.textUnitSize[1] * t.charHeight;
    c.e = c.ch * s.axisFactor2;
    c.ct = static_cast<float>(std::cos(c.thetaT * static_cast<double>(kDegreesToRadiansFloat)));
    c.ca = static_cast<float>(std::cos(c.thetaA));
    YYAxisAspectSet(c, c.aspect);

    if (s.threeDAxes != 0)
        YYAxisOblique(c);
    else if (s.graphType == 9)
        YYAxisTable(c);
    else if (s.polar != 0)
        YYAxisPolar(c);
    else
        PlainAxis(c, c.axis == 1);

    // 9. Restore.
    t.stacking = savedStacking;
    t.justification = savedJustification;
    if (t.angle != savedAngle)
        YYTextAngle(savedAngle);
    if (t.charWidth != c.savedWidth || t.charHeight != c.savedHeight)
        YYCharSize(c.savedWidth, c.savedHeight);
    g.fillMode = savedFill;
}

void IPgXAxisLabels(std::span<const std::string_view> labels, int n) { YYAxisDraw(1, {}, labels, n); }
void IPgXAxis2Labels(std::span<const std::string_view> labels, int n) { YYAxisDraw(2, {}, labels, n); }
void IPgYAxisLabels(std::span<const std::string_view> labels, int n) { YYAxisDraw(3, {}, labels, n); }
void IPgYAxis2Labels(std::span<const std::string_view> labels, int n) { YYAxisDraw(4, {}, labels, n); }
void IPgZAxisLabels(std::span<const std::string_view> labels, int n) { YYAxisDraw(5, {}, labels, n); }
void IPgXAxis(std::string_view options) { YYAxisDraw(6, options, {}, 0); }
void IPgXAxis2(std::string_view options) { YYAxisDraw(7, options, {}, 0); }
void IPgYAxis(std::string_view options) { YYAxisDraw(8, options, {}, 0); }
void IPgYAxis2(std::string_view options) { YYAxisDraw(9, options, {}, 0); }
void IPgZAxis(std::string_view options) { YYAxisDraw(10, options, {}, 0); }

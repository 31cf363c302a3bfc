// The axes of a polar graph: the angular axis around the plot circle (axis
// 1) and the radial axis from the centre to the left or right (axes 2 and
// 3), linear or logarithmic.
//
// The circle depends on the aspect of the output, so each axis is drawn once
// per output with that output's aspect and its own character size: the
// screen with the hardcopy switched off, then the hardcopy with the screen
// switched off.
#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "charts/axes.h"
#include "charts/axis_scaling.h"
#include "charts/graph_state.h"
#include "charts/polar_geometry.h"
#include "core/numeric.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/clipping.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/text_state.h"

namespace {

constexpr int kAngularTicks = 12;
constexpr float kAngularStep = 30.0f;

// One value the radial axis visits.
struct RadialValue {
    float x = 0.0f;          // world x of the tick
    bool minor = false;      // half tick, no label (multiples of a decade)
    int labelIndex = 0;      // k of the caller labels, from 1; 0 for a minor value
    std::string text;        // linear label, or the exponent of a decade label
};

// The values of the radial axis: the steps of the polar unit from the first
// one (the centre gets no tick), or the labelled decades with, for at most
// five decades, their multiples up to the polar unit.
std::vector<RadialValue> RadialValues(const AxisCall& c, float cx, float rx)
{
    const PgGraphState& s = gPgGraphState;
    const double unit = std::isgreater(s.polarUnit, 0.0f) ? s.polarUnit : 1.0;
    const double side = c.variant == 1 ? -1.0 : 1.0;
    auto at = [&](double rho) { return SaturateToFloat(cx + side * rho * rx); };
    std::vector<RadialValue> out;
    if (s.yLog == 0) {
        float step;
        int count, exponent;
        YYAxisNumbers(s.polarUnit, step, count, exponent);
        for (int i = 2; i <= count; ++i) {
            RadialValue r;
            const float value = SaturateToFloat((i - 1.0) * step);
            r.x = at(value / unit);
            r.labelIndex = i - 1;
            if (c.labels && !c.labelForm)
                r.text = YYAxisTickText(value, exponent, 0);
            out.push_back(std::move(r));
        }
        return out;
    }
    // A polar unit at the foot of the logarithmic scale gives it no length:
    // distances are then linear, as for the data.
    const bool scaled = s.logPolarOffset > 0.0f;
    auto rhoOf = [&](double log10Value) {
        return scaled ? (log10Value + 38.0) / s.logPolarOffset : std::pow(10.0, log10Value) / unit;
    };
    int labelStep, decades, start, top;
    YYAxisDecades(s.polarUnit, labelStep, decades, start, top);
    labelStep = std::max(labelStep, 1);
    int k = 0;
    for (int i = start; i <= top; i += labelStep) {
        RadialValue r;
        r.x = at(rhoOf(i));
        r.labelIndex = ++k;
        r.text = YYAxisExponentText(i);
        out.push_back(std::move(r));
        if (decades <= 5) {
            for (int m = 2; m <= 9; ++m) {
                if (std::isgreater(m * std::pow(10.0, i), unit))
                    break;
                RadialValue minor;
                minor.x = at(rhoOf(i + std::log10(static_cast<double>(m))));
                minor.minor = true;
                out.push_back(std::move(minor));
            }
        }
        if (i > INT_MAX - labelStep)
            break;
    }
    return out;
}

// The radial axis on the output being drawn: ticks along the horizontal
// radius, labels below it; the labels shrink so that the longest fits the
// narrowest gap between neighbouring labels.
void RadialAxis(const AxisCall& c)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    float cx, cy, rx, ry;
    YYPolarCircle(cx, cy, rx, ry);
    const bool decadeLabels = s.yLog != 0 && !c.labelForm;
    const std::vector<RadialValue> values = RadialValues(c, cx, rx);

    // Label point of a tick at X; outward ticks move it with the axis angle.
    float labelShiftX = 0.0f, labelY = cy - c.dy;
    if (c.s > 0.0f) {
        labelY += (1.0f - c.ca) * c.sigma * c.dy;
        labelShiftX = c.sigma * c.saByA * c.dy;
    }
    auto text = [&](const RadialValue& r) {
        return c.labelForm ? std::string(YYAxisCallerLabel(c, r.labelIndex)) : r.text;
    };

    // Pass 1: ticks, and the longest label (of a decade label its exponent).
    float longest = 0.0f;
    for (const RadialValue& r : values) {
        if (c.ticks) {
            const float tick = r.minor ? c.ty / 2.0f : c.ty;
            YYPenMoveTo(r.x, cy);
            YYDrawRel(-tick * c.saByA, tick * c.ca);
        }
        if (c.labels && !r.minor) {
            const std::string label = text(r);
            YYAxisLabelBufferPut(label);
            longest = std::max(longest, YYTextLength(label));
        }
    }
    if (!c.labels)
        return;

    // The longest label along the text direction into the narrowest gap
    // between neighbouring labels, the first measured from the centre.
    float m = decadeLabels ? YYAxisDecadeLength(c, longest, false) : longest;
    m = std::fabs(m * t.angleCos);
    double gap = rx;
    bool known = false;
    float previous = cx;
    for (const RadialValue& r : values) {
        if (r.minor)
            continue;
        const double d = std::fabs(static_cast<double>(r.x) - previous);
        gap = known ? std::min(gap, d) : d;
        known = true;
        previous = r.x;
    }
    const double measure = static_cast<double>(m) * g.textUnitSize[0];
    if (measure != 0.0 && std::isfinite(measure) && std::isgreater(gap, 0.0)) {
        const double limit = gap / std::fabs(measure);
        if (std::isfinite(limit))
            YYCharAspect(SaturateToFloat(limit), 0);
    }
    const float width = t.charWidth, height = t.charHeight;

    // Pass 2: the labels.
    for (const RadialValue& r : values) {
        if (r.minor)
            continue;
        const float x = r.x + labelShiftX;
        if (decadeLabels) {
            YYAxisDecadeLabelDraw(c, x, labelY, "10", r.text, width, height);
            continue;
        }
        const std::string label = text(r);
        if (label.empty())
            continue;
        YYAxisLabelBufferPut(label);
        float px = x, py = labelY;
        YYTextDraw(&px, &py, label);
    }
}

// The angular axis on the output being drawn: twelve ticks at 30-degree
// steps pointing in from the circle (out for outward ticks), each with its
// label centred beyond the circle.
void AngularAxis(const AxisCall& c)
{
    float cx, cy, rx, ry;
    YYPolarCircle(cx, cy, rx, ry);
    const double a = c.aspect;
    for (int k = 1; k <= kAngularTicks; ++k) {
        const float angle = kAngularStep * static_cast<float>(k - 1);
        const double cs = std::cos(angle * kDegreesToRadians), sn = std::sin(angle * kDegreesToRadians);
        if (c.labels) {
            const std::string label =
                c.labelForm ? std::string(YYAxisCallerLabel(c, k)) : YYAxisTickText(angle, 0, 0);
            YYAxisLabelBufferPut(label);
            float x = SaturateToFloat(cx + cs * (rx + c.md / a));
            float y = SaturateToFloat(cy + sn * (ry + c.md));
            if (!label.empty())
                YYTextDraw(&x, &y, label);
        }
        if (c.ticks) {
            YYLineBetween(SaturateToFloat(cx + cs * rx), SaturateToFloat(cy + sn * ry),
                          SaturateToFloat(cx + cs * (rx - c.tx / a)), SaturateToFloat(cy + sn * (ry - c.tx)));
        }
    }
}

} // namespace

void YYAxisPolar(AxisCall& call)
{
    YYPolarPasses([&call] {
        // Each output sizes its labels afresh, with its own aspect.
        const TextState& t = gTextState;
        if (t.charWidth != call.savedWidth || t.charHeight != call.savedHeight)
            YYCharSize(call.savedWidth, call.savedHeight);
        YYAxisAspectSet(call, YYOutputAspect());
        if (call.axis == 1)
            AngularAxis(call);
        else
            RadialAxis(call);
    });
}

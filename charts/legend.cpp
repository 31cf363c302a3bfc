// The legend: area, choice of layout, the list, row, turned and stacked
// layouts, the curve-end labels, background and frame, and the restore.
#include "charts/legend.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "charts/axes.h"
#include "charts/axis_scaling.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/legend_entries.h"
#include "charts/plot_clip.h"
#include "charts/polar_geometry.h"
#include "core/fixed_text.h"
#include "core/option_string.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/markers.h"
#include "graphics/rectangles.h"
#include "graphics/text_state.h"

namespace {

// Length of an entry before its label, plus the advance to the next entry.
constexpr float kEntryLead = 2.35f;
constexpr float kEntryAdvance = 3.35f;
constexpr int kShrinkTries = 30;

float Quotient(double a, double b)
{
    if (b == 0.0)
        return 0.0f;
    const double q = a / b;
    return (std::isfinite(q) && std::fabs(q) <= FLT_MAX) ? static_cast<float>(q) : 0.0f;
}

// Measures of the entries: the widest description (character widths), the
// most characters, and the number column in character widths (u x z) and
// in characters (u).
struct Measures {
    float widest = 0.0f;
    int most = 0;
    float numberWidth = 0.0f;
    int numberChars = 0;
};

Measures Measure(const LegendCall& c, int n)
{
    Measures m;
    for (int i = 1; i <= n; ++i) {
        std::string_view d = YYLegendDescription(c, i);
        m.widest = std::max(m.widest, d.empty() ? 0.0f : YYTextLength(d));
        m.most = std::max(m.most, static_cast<int>(d.size()));
    }
    m.numberChars = YYLegendNumberColumn(0);
    m.numberWidth = static_cast<float>(m.numberChars) * YYTextLength("0");
    return m;
}

// The set of the k-th entry (k from 1): set k, or set n + 1 - k reversed.
int EntrySet(const LegendCall& c, int k, int n) { return c.reverse ? n + 1 - k : k; }

// The label handed to an entry: the description without trailing blanks,
// at least one character.
std::string_view EntryLabel(const LegendCall& c, int set)
{
    std::string_view d = YYLegendDescription(c, set);
    return d.empty() ? std::string_view(" ") : d;
}

// Vertical list: one entry under the other, set 1 at the top.
void ListLayout(const LegendCall& c, int n, float keptWidth, float keptHeight)
{
    gTextState.stacking = 0;
    LegendTitleSize ts;
    float t = 0.0f;
    if (c.hasTitle) {
        ts = YYLegendTitleSize(c, c.fw, kEntryAdvance, keptWidth, keptHeight);
        t = 0.5f * (ts.lt + 1.0f) * ts.wt;
    }
    Measures ms = Measure(c, n);
    float M = ms.widest + ms.numberWidth;
    float E = kEntryAdvance + M;
    const float D = c.right - c.left;
    const float H = c.top - c.bottom - (c.hasTitle ? 1.5f * ts.ht : 0.0f);
    const float X0 = c.right - 0.5f * D;
    const float Yc = c.bottom + 0.5f * H;

    // The entries are measured again at each size tried: a device's letters
    // need not shrink in step with the cell.
    float widthLimit = c.fw / E;
    const float heightLimit = c.hasTitle ? c.fh / (static_cast<float>(n) + 1.5f) : c.fh / static_cast<float>(n);
    float w = 0.0f, h = 0.0f;
    for (int i = 0; i < kShrinkTries; ++i) {
        YYCharShrink(widthLimit, heightLimit);
        YYCharCell(w, h);
        ms = Measure(c, n);
        M = ms.widest + ms.numberWidth;
        E = kEntryAdvance + M;
        if (E * w <= D)
            break;
        widthLimit = std::min(widthLimit, c.fw / E) * 0.99f;
    }
    const float hw = std::max(t, 0.5f * (M + kEntryLead) * w);

    LegendFrame f;
    f.top = Yc + 0.625f * h + 0.5f * static_cast<float>(n - 1) * H / static_cast<float>(n + 1);
    f.bottom = 2.0f * Yc - f.top;
    if (c.hasTitle) {
        f.separator = f.top;
        f.top = f.separator + 1.5f * ts.ht;
    }
    f.left = X0 - hw - 0.5f * w;
    f.right = X0 + hw + 0.5f * w;
    YYLegendBackgroundFrame(c, f, c.hasTitle);

    const float half = static_cast<float>(n + 1) / 2.0f;
    for (int k = 1; k <= n; ++k) {
        const int set = EntrySet(c, k, n);
        const float y = Yc + (half - static_cast<float>(k)) * H / static_cast<float>(n + 1);
        YYLegendEntryDraw(set, X0 - hw, y, EntryLabel(c, set));
    }
    if (c.hasTitle)
        YYLegendTitleDraw(c, ts, X0, (f.top + f.separator) / 2.0f);
}

// Row below the plot: the entries one after the other.
void RowLayout(const LegendCall& c, int n)
{
    const PgGraphState& s = gPgGraphState;
    TextState& t = gTextState;
    t.stacking = 0;
    const Measures ms = Measure(c, n);
    float total = ms.numberWidth * static_cast<float>(n);
    for (int i = 1; i <= n; ++i) {
        std::string_view d = YYLegendDescription(c, i);
        total += (d.empty() ? 0.0f : YYTextLength(d)) + kEntryAdvance;
    }
    float gap = 0.0f;
    const float fits = Quotient(c.fw, total);
    if (fits < t.charWidth)
        YYCharAspect(fits, 0);
    else if (n > 1 && t.charWidth > 0.0f)
        gap = (c.fw / t.charWidth - total) / static_cast<float>(n - 1);

    float w, h;
    YYCharCell(w, h);
    const float Y = c.explicitArea ? (c.bottom + c.top) / 2.0f
                                   : c.bottom + (1.0f - s.legendFraction) * (c.top - c.bottom);
    LegendFrame f;
    f.left = c.left;
    f.right = c.right;
    f.bottom = Y - 0.625f * h;
    f.top = Y + 0.625f * h;
    YYLegendBackgroundFrame(c, f, false);

    float x = c.left + 0.5f * w;
    for (int k = 1; k <= n; ++k) {
        const int set = EntrySet(c, k, n);
        YYLegendEntryDraw(set, x, Y, EntryLabel(c, set));
        x = gGraphicsState.penPosition[0] + (1.0f + gap) * w;
    }
}

// Columns of text turned by 90 degrees, set 1 on the left.
void TurnedLayout(const LegendCall& c, int n, float keptWidth, float keptHeight)
{
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    t.stacking = 0;
    const Measures ms = Measure(c, n);
    const float M = ms.widest + ms.numberWidth;
    const float keptAngle = t.angle;
    LegendTitleSize ts;
    float tw = 0.0f;
    if (c.hasTitle) {
        YYTextAngle(0.0f);
        ts = YYLegendTitleSize(c, c.fw, 1.0f, keptWidth, keptHeight);
        tw = 0.5f * ts.lt * ts.wt;
    }
    YYTextAngle(90.0f);
    const float aspect = YYOutputAspect();
    const float AW = g.areaFractionSize[0], AH = g.areaFractionSize[1];
    // Along y the entries take (3.35 + M) character widths of the area's
    // height; across x the n columns take n character heights of its width.
    // The height limit converts with AW x aspect / AH, the reciprocal of the
    // width limit's factor, as the turned cell P below does: with the same
    // factor the columns would overlap on a tall target and shrink on a wide one.
    YYCharShrink(Quotient(static_cast<double>(c.fh) * AH, static_cast<double>(AW) * (kEntryAdvance + M) * aspect),
                 Quotient(static_cast<double>(c.fw) * AW * aspect, static_cast<double>(AH) * n));

    float P, Q;
    YYLegendTurnedCell(aspect, P, Q);
    const float D = c.right - c.left;
    const float H = c.top - c.bottom - (c.hasTitle ? 1.5f * ts.ht : 0.0f);
    const float X0 = c.right - 0.5f * D;
    const float Yc = c.bottom + 0.5f * H;
    const float Yb = Yc - 0.5f * (M + kEntryLead) * Q;

    LegendFrame f;
    f.bottom = Yb - 0.25f * Q;
    f.top = 2.0f * Yc - Yb + 0.25f * Q;
    if (c.hasTitle) {
        f.separator = f.top;
        f.top += 1.5f * ts.ht;
    }
    const float half = std::max(tw, 0.5f * static_cast<float>(n - 1) * D / static_cast<float>(n + 1)) + 0.625f * P;
    f.left = X0 - half;
    f.right = X0 + half;
    YYLegendBackgroundFrame(c, f, c.hasTitle);

    const float middle = static_cast<float>(n + 1) / 2.0f;
    for (int k = 1; k <= n; ++k) {
        const int set = EntrySet(c, k, n);
        const float x = X0 + (static_cast<float>(k) - middle) * D / static_cast<float>(n + 1);
        YYLegendEntryDraw(set, x, Yb, EntryLabel(c, set));
    }
    if (c.hasTitle) {
        YYTextAngle(0.0f);
        YYLegendTitleDraw(c, ts, X0, (f.top + f.separator) / 2.0f);
    }
    YYTextAngle(keptAngle);
}

// Columns of stacked characters, set 1 on the left.
void StackedLayout(const LegendCall& c, int n, float keptWidth, float keptHeight)
{
    TextState& t = gTextState;
    LegendTitleSize ts;
    float tw = 0.0f;
    if (c.hasTitle) {
        t.stacking = 0;
        ts = YYLegendTitleSize(c, c.fw, 1.0f, keptWidth, keptHeight);
        tw = 0.5f * ts.lt * ts.wt;
    }
    t.stacking = 1;
    const Measures ms = Measure(c, n);
    const float M = static_cast<float>(ms.most + ms.numberChars);
    const float E = kEntryLead + M;
    YYCharShrink(c.fw / static_cast<float>(n), c.hasTitle ? c.fh / (M + 3.85f) : c.fh / E);
    float w, h;
    YYCharCell(w, h);
    const float D = c.right - c.left;
    const float H = c.top - c.bottom - (c.hasTitle ? 1.5f * ts.ht : 0.0f);
    const float X0 = c.left + 0.5f * D;
    const float Yc = c.bottom + 0.5f * H;
    const float Ye = Yc + 0.5f * E * h;

    LegendFrame f;
    const float half = std::max(tw, 0.5f * static_cast<float>(n - 1) * D / static_cast<float>(n + 1)) + 0.625f * w;
    f.left = X0 - half;
    f.right = X0 + half;
    if (c.hasTitle) {
        f.separator = Yc + 0.5f * (M + 2.6f) * ts.ht;
        f.top = f.separator + 1.5f * ts.ht;
        f.bottom = Yc - 0.5f * (M + 2.6f) * ts.ht;
    } else {
        f.top = Ye + 0.25f * h;
        f.bottom = 2.0f * Yc - f.top;
    }
    YYLegendBackgroundFrame(c, f, c.hasTitle);

    const float middle = static_cast<float>(n + 1) / 2.0f;
    for (int k = 1; k <= n; ++k) {
        const int set = EntrySet(c, k, n);
        const float x = X0 + (static_cast<float>(k) - middle) * D / static_cast<float>(n + 1);
        YYLegendEntryDraw(set, x, Ye, EntryLabel(c, set));
    }
    if (c.hasTitle) {
        t.stacking = 0;
        YYLegendTitleDraw(c, ts, X0, Ye + ts.ht);
    }
}

// Labels at the ends of the curves.
void CurveEndLabels(const LegendCall& c, int n)
{
    const PgGraphState& s = gPgGraphState;
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    t.justification = 0;
    t.stacking = 0;
    const float offset = 0.5f * g.textUnitSize[0] * t.charWidth;
    const SetEndTable& ends = gSetEndTable;
    auto draw = [&]() {
        for (int i = 1; i <= n; ++i) {
            const size_t k = static_cast<size_t>(i - 1);
            if (k >= ends.endX.size() || k >= ends.endY.size())
                break;
            float x, y;
            if (s.polar != 0) {
                YYPolarToWorld(ends.endX[k], ends.endY[k], x, y);
            } else {
                x = YYPgToWorldX(ends.endX[k]);
                y = YYPgToWorldY(ends.endY[k]);
            }
            x += offset;
            const std::string_view d = static_cast<size_t>(i) <= c.descriptions.size()
                                           ? c.descriptions[k]
                                           : std::string_view(" ");
            YYTextDraw(&x, &y, d);
        }
    };
    if (s.polar == 0)
        draw();
    else
        YYPolarPasses(draw);
}

} // namespace

void YYLegendBackgroundFrame(const LegendCall& c, const LegendFrame& f, bool titleLine)
{
    GraphicsState& g = gGraphicsState;
    if (c.clear) {
        YYPlotStateSave(0);
        g.fillMode = kFillSolid;
        IGrColourN(c.background);
        IGrRectangle(f.left, f.bottom, f.right, f.top);
        YYPlotStateSave(1);
    }
    if (c.frame) {
        const int fill = g.fillMode;
        g.fillMode = kFillOutline;
        IGrRectangle(f.left, f.bottom, f.right, f.top);
        g.fillMode = fill;
        if (titleLine)
            YYLineBetween(f.left, f.separator, f.right, f.separator);
    }
}

LegendTitleSize YYLegendTitleSize(const LegendCall& c, float width, float extra, float keptWidth, float keptHeight)
{
    TextState& t = gTextState;
    LegendTitleSize s;
    s.lt = YYTextLength(c.title);
    YYCharAspect(Quotient(width, static_cast<double>(s.lt) + extra), 0);
    s.width = t.charWidth;
    s.height = t.charHeight;
    YYCharCell(s.wt, s.ht);
    YYCharSize(keptWidth, keptHeight);
    return s;
}

void YYLegendTitleDraw(const LegendCall& c, const LegendTitleSize& ts, float x, float y)
{
    const TextState& t = gTextState;
    if (t.charWidth != ts.width || t.charHeight != ts.height)
        YYCharSize(ts.width, ts.height);
    YYTextDraw(&x, &y, c.title);
}

void YYLegendTurnedCell(float aspect, float& p, float& q)
{
    const GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    const float ux = g.textUnitSize[0], uy = g.textUnitSize[1];
    if (t.builtInFont != 0) {
        p = Quotient(static_cast<double>(ux) * t.charHeight, aspect);
        q = aspect * uy * t.charWidth;
    } else {
        p = Quotient(ux, static_cast<double>(g.areaFractionSize[0]) * aspect * t.textScaleY);
        q = Quotient(static_cast<double>(aspect) * uy, static_cast<double>(g.areaFractionSize[1]) * t.textScaleX);
    }
}

std::string_view YYLegendDescription(const LegendCall& call, int i)
{
    if (i < 1 || static_cast<size_t>(i) > call.descriptions.size())
        return {};
    return TrimRight(call.descriptions[static_cast<size_t>(i - 1)]);
}

void IPgLegendDraw(std::span<const std::string_view> descriptions, std::string_view options,
                   const std::string_view* title)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const int n = std::clamp(s.setCount, 1, kMaxDataSets);

    LegendCall c;
    c.descriptions = descriptions;
    c.options = options;
    c.reverse = YYOptionHas(options, 'R');
    c.frame = YYOptionHas(options, 'B');
    c.row = YYOptionHas(options, 'X');
    c.turned = YYOptionHas(options, '9');
    c.stacked = YYOptionHas(options, 'V');
    c.curveEnds = YYOptionHas(options, 'E');
    c.clear = YYOptionHas(options, 'C');
    c.strip = YYOptionHas(options, 'U');
    if (title) {
        c.title = TrimRight(*title);
        c.hasTitle = c.title.find_first_not_of(' ') != std::string_view::npos;
    }
    if (g.colourModel == kColourModelNumbers)
        c.background = 0;
    else
        YYColourGet(0, c.background);

    float px1, py1, px2, py2;
    YYPgToWorld(s.userX1, s.userY1, px1, py1);
    YYPgToWorld(s.userX2, s.userY2, px2, py2);
    if (s.legendX2 > s.legendX1 && s.legendY2 > s.legendY1) {
        c.explicitArea = true;
        c.left = g.units[0] + s.legendX1 * g.unitSize[0];
        c.right = g.units[0] + s.legendX2 * g.unitSize[0];
        c.bottom = g.units[1] + s.legendY1 * g.unitSize[1];
        c.top = g.units[1] + s.legendY2 * g.unitSize[1];
        c.fw = s.legendX2 - s.legendX1;
        c.fh = s.legendY2 - s.legendY1;
    } else if (c.row) {
        c.left = px1;
        c.right = px2;
        c.bottom = g.units[1];
        c.top = py1;
        c.fw = s.plotX2 - s.plotX1;
        c.fh = s.plotY1;
    } else {
        c.left = px2;
        c.right = g.units[2];
        c.bottom = py1;
        c.top = py2;
        c.fw = 1.0f - s.plotX2;
        c.fh = s.plotY2 - s.plotY1;
    }

    const float keptWidth = t.charWidth, keptHeight = t.charHeight;
    const int keptStacking = t.stacking, keptJustification = t.justification;

    if (s.graphType == 3)
        YYPieLabels(c);
    else if (s.optionKind == 3 && (s.graphType == 8 || s.graphType == 5))
        YYLegendGradient(c);
    else if (c.strip)
        YYLegendStrip(c);
    else if (c.curveEnds && (s.graphType == 4 || s.graphType == 6))
        CurveEndLabels(c, n);
    else if (c.row)
        RowLayout(c, n);
    else if (c.turned)
        TurnedLayout(c, n, keptWidth, keptHeight);
    else if (c.stacked)
        StackedLayout(c, n, keptWidth, keptHeight);
    else
        ListLayout(c, n, keptWidth, keptHeight);

    YYCharSize(keptWidth, keptHeight);
    t.stacking = keptStacking;
    t.justification = keptJustification;
}

// Two legends without samples: the colour strip (option U), one block per
// data set in the set's colour and fill with the descriptions beside or
// under the blocks, and the gradient legend of the two-set scheme, a band
// running from the first set's colour to the second's with the first two
// descriptions at its ends.
//
// Both lay out in the legend area IPgLegendDraw fixed, as a row below the
// plot (X), a column of stacked characters (V), a column of turned text (9)
// or a plain column; IPgLegendDraw puts the character size, stacking and
// justification back after them. A size limit that comes out as no positive
// number (all descriptions blank) keeps the size: the blocks are still drawn.
#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "charts/axes.h"
#include "charts/axis_scaling.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "charts/plot_clip.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/markers.h"
#include "graphics/rectangles.h"
#include "graphics/text_state.h"

namespace {

constexpr int kShrinkTries = 30;

// Where a text goes: its point and justification (0 left, 1 centred, 2 right).
struct Place {
    float x = 0, y = 0;
    int justification = 1;
};

struct Box {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Limits the character width (WHICH 0) or height to VALUE, when VALUE is a
// positive number.
void LimitSize(double value, int which)
{
    if (std::isfinite(value) && value > 0.0)
        YYCharAspect(static_cast<float>(std::fmin(value, 1.0e30)), which);
}

// The legend title, sized at angle 0 to WIDTH / (Lt + 1), WIDTH the legend's
// width (0.8 of it beside a column of turned or stacked text). A row below
// the plot has no title.
struct Title {
    bool drawn = false;
    LegendTitleSize size;
    float width = 0.0f; // Wt: the title's width in world units
};
Title TitleFor(const LegendCall& c, float keptWidth, float keptHeight)
{
    Title title;
    if (!c.hasTitle || c.row)
        return title;
    YYTextAngle(0.0f);
    const float width = (c.turned || c.stacked) ? 0.8f * c.fw : c.fw;
    title.drawn = true;
    title.size = YYLegendTitleSize(c, width, 1.0f, keptWidth, keptHeight);
    title.width = (title.size.lt + 1.0f) * title.size.wt;
    return title;
}

// The title centred over the frame, above its separator.
void TitleDraw(const LegendCall& c, const Title& title, const LegendFrame& f)
{
    if (title.drawn)
        YYLegendTitleDraw(c, title.size, (f.left + f.right) / 2.0f, (f.top + f.separator) / 2.0f);
}

// Option B: the frame's outline and, under a title, the separator.
void Outline(const LegendCall& c, const LegendFrame& f, bool titleLine)
{
    LegendCall outline = c;
    outline.clear = false;
    YYLegendBackgroundFrame(outline, f, titleLine);
}

// Option C: the frame filled with the background colour.
void Background(const LegendCall& c, const LegendFrame& f)
{
    LegendCall background = c;
    background.frame = false;
    YYLegendBackgroundFrame(background, f, false);
}

// Turned text: the characters sized so that WIDTHS character widths run
// along the legend's height, and the turned cell P, Q that results.
void TurnedSize(const LegendCall& c, float widths, float& p, float& q)
{
    const GraphicsState& g = gGraphicsState;
    const float aspect = YYOutputAspect();
    const double across = static_cast<double>(g.areaFractionSize[0]) * widths * aspect;
    if (across != 0.0)
        LimitSize(static_cast<double>(g.areaFractionSize[1]) * c.fh / across, 0);
    YYLegendTurnedCell(aspect, p, q);
}

// The strip of a row below the plot: at the top of an explicit legend area,
// else at the legend fraction's height; a tenth of the area high.
void RowStrip(const LegendCall& c, float& bottom, float& top)
{
    const float h = c.top - c.bottom;
    if (c.explicitArea) {
        bottom = c.top - 0.1f * h;
        top = c.top;
    } else {
        const float centre = c.bottom + (1.0f - gPgGraphState.legendFraction) * h;
        bottom = centre - 0.05f * h;
        top = centre + 0.05f * h;
    }
}

// Whether set SET is drawn filled in its chart, so that a half-tone fill
// style shows in its block.
bool FilledInChart(int set)
{
    const PgGraphState& s = gPgGraphState;
    switch (s.graphType) {
    case 1:
    case 2:
        return true;
    case 4:
        return gDataSetStyleTable.Set(set).styleWord3 > 0;
    case 8:
        return s.threeD == 0 ? s.optionFlag8 != 0 : s.optionKind == 0;
    default:
        return false;
    }
}

// The block of set SET in its colour (marker charts: its second colour) and,
// for a half-tone set, mixed with its second colour.
void BlockDraw(int set, const Box& b)
{
    GraphicsState& g = gGraphicsState;
    const DataSetStyle style = gDataSetStyleTable.Set(set);
    const int colour = gPgGraphState.graphType == 7 ? style.colour2 : style.colour1;
    if (style.styleWord1 == 3 && FilledInChart(set)) {
        g.fillMode = kFillHalftone;
        IGrColourN(style.colour2);
    } else {
        g.fillMode = kFillSolid;
    }
    IGrColourN(colour);
    IGrRectangle(b.x1, b.y1, b.x2, b.y2);
}

void TextAt(const Place& p, std::string_view text)
{
    if (text.empty())
        return;
    gTextState.justification = p.justification;
    float x = p.x, y = p.y;
    YYTextDraw(&x, &y, text);
}

// The length of the longest description in character widths.
float Longest(const LegendCall& c, int n)
{
    float longest = 0.0f;
    for (int i = 1; i <= n; ++i) {
        const std::string_view d = YYLegendDescription(c, i);
        if (!d.empty())
            longest = std::max(longest, YYTextLength(d));
    }
    return longest;
}

// The number of descriptions in the shortest run of consecutive blank ones
// among sets 1..N; 0 when no description is blank.
int ShortestBlankRun(const LegendCall& c, int n)
{
    int shortest = 0, run = 0;
    for (int i = 1; i <= n + 1; ++i) {
        if (i <= n && YYLegendDescription(c, i).empty()) {
            ++run;
            continue;
        }
        if (run > 0 && (shortest == 0 || run < shortest))
            shortest = run;
        run = 0;
    }
    return shortest;
}

} // namespace

void YYLegendStrip(LegendCall& c)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const int n = std::clamp(s.setCount, 1, kMaxDataSets);
    const float keptAngle = t.angle;
    t.stacking = 0;

    // Measures over the non-blank descriptions, two characters between
    // neighbours.
    float longest = 0.0f, widths = 0.0f;
    int characters = 0, nonBlank = 0;
    for (int i = 1; i <= n; ++i) {
        const std::string_view d = YYLegendDescription(c, i);
        if (d.empty())
            continue;
        const float length = YYTextLength(d);
        longest = std::max(longest, length);
        if (nonBlank++ > 0) {
            widths += 2.0f;
            characters += 2;
        }
        widths += length;
        characters += static_cast<int>(d.size());
    }

    const Title title = TitleFor(c, t.charWidth, t.charHeight);
    const float top = title.drawn ? c.top - 1.5f * title.size.ht : c.top;
    const float D = c.right - c.left;
    const float fn = static_cast<float>(n);

    // Entry k (from 0) is set k + 1, or set n - k reversed: the first set is
    // the leftmost block of a row and the lowest of a column.
    std::vector<Place> places(static_cast<size_t>(n));
    std::vector<Box> blocks(static_cast<size_t>(n));
    LegendFrame f;
    bool stackedText = false;
    float w = 0.0f, h = 0.0f;
    // A column of blocks between X2 and X3, from BOTTOM to TOP, each entry's
    // text at X, centred by JUSTIFICATION on its block's middle.
    auto column = [&](float x2, float x3, float bottom, float columnTop, float x, int justification) {
        for (int k = 0; k < n; ++k) {
            const float fk = static_cast<float>(k);
            const float step = (columnTop - bottom) / fn;
            blocks[static_cast<size_t>(k)] = {x2, bottom + fk * step, x3, bottom + (fk + 1.0f) * step};
            places[static_cast<size_t>(k)] = {x, bottom + (fk + 0.5f) * step, justification};
        }
    };

    if (c.row) {
        float stripBottom, stripTop;
        RowStrip(c, stripBottom, stripTop);
        if (widths > 0.0f)
            YYCharShrink(c.fw / widths, 0.95f * (stripBottom - c.bottom) / g.textUnitSize[1]);
        YYCharCell(w, h);
        const float y = (c.bottom + stripBottom) / 2.0f;
        for (int k = 0; k < n; ++k) {
            const float fk = static_cast<float>(k);
            blocks[static_cast<size_t>(k)] = {c.left + fk * D / fn, stripBottom, c.left + (fk + 1.0f) * D / fn,
                                              stripTop};
            places[static_cast<size_t>(k)] = {c.left + (fk + 0.5f) * D / fn, y, 1};
        }
        f = {c.left, std::max(y - 0.625f * h, c.bottom), c.right, stripTop};
    } else if (c.stacked) {
        if (characters > 0)
            LimitSize(static_cast<double>(c.fh) / characters, 1);
        YYCharCell(w, h);
        const float x2 = c.left + 0.2f * D, x3 = c.left + 0.3f * D;
        column(x2, x3, c.bottom, top, x3 + w, 1);
        stackedText = true;
        f = {x2, c.bottom, std::min(std::max(x2 + title.width, x3 + 2.0f * w), c.right), c.top};
    } else if (c.turned) {
        float p, q;
        TurnedSize(c, widths, p, q);
        const float x2 = c.left + 0.2f * D, x3 = c.left + 0.3f * D;
        column(x2, x3, c.bottom, top, x3 + p, 1);
        YYTextAngle(90.0f);
        f = {x2, c.bottom, std::min(std::max(x2 + title.width, x3 + 2.0f * p), c.right), c.top};
    } else {
        // A blank description after a label leaves its room to that label.
        const int run = ShortestBlankRun(c, n);
        const int rows = std::max(n / (run + 1), 1);
        // The texts run from one cell right of the blocks, and the frame a
        // quarter cell beyond the longest: Lmax + 1.25 cells fit 0.8 of the
        // width. They are measured again at each size tried, as a device's
        // letters need not shrink in step with the cell.
        float widthLimit = 0.8f * c.fw / (1.25f + longest);
        for (int i = 0; i < kShrinkTries; ++i) {
            YYCharShrink(widthLimit, c.fh / static_cast<float>(rows));
            YYCharCell(w, h);
            longest = Longest(c, n);
            if ((longest + 1.25f) * w <= 0.8f * D)
                break;
            widthLimit = std::min(widthLimit, 0.8f * c.fw / (1.25f + longest)) * 0.99f;
        }
        const float x2 = c.left + 0.099999964f * D, x3 = c.left + 0.19999999f * D;
        float columnTop = top, bottom = c.bottom;
        // Rows tighter than one cell: the outer texts keep inside the area.
        const bool ends = !YYLegendDescription(c, 1).empty() || !YYLegendDescription(c, n).empty();
        if ((c.top - c.bottom) / fn < h && ends) {
            columnTop -= 0.5f * h;
            bottom = c.bottom + 0.5f * h;
        }
        column(x2, x3, bottom, columnTop, x3 + w, 0);
        f = {x2, c.bottom, std::min(std::max(x3 + (longest + 1.25f) * w, x2 + title.width), c.right), c.top};
    }
    if (title.drawn)
        f.separator = f.top - 1.5f * title.size.ht;

    auto setOf = [&](int k) { return c.reverse ? n - k : k + 1; };
    Background(c, f);
    YYPlotStateSave(0);
    for (int k = 0; k < n; ++k)
        BlockDraw(setOf(k), blocks[static_cast<size_t>(k)]);
    YYPlotStateSave(1);

    t.stacking = stackedText ? 1 : 0;
    for (int k = 0; k < n; ++k)
        TextAt(places[static_cast<size_t>(k)], YYLegendDescription(c, setOf(k)));
    YYTextAngle(keptAngle);
    t.stacking = 0;
    t.justification = 1;

    Outline(c, f, title.drawn);
    TitleDraw(c, title, f);
}

void YYLegendGradient(LegendCall& c)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const float keptAngle = t.angle;
    t.stacking = 0;

    // Descriptions 1 and 2 only; a graph of one set has no second.
    const std::string_view d1 = YYLegendDescription(c, 1);
    const std::string_view d2 = s.setCount >= 2 ? YYLegendDescription(c, 2) : std::string_view();
    const float t1 = d1.empty() ? 0.0f : YYTextLength(d1), t2 = d2.empty() ? 0.0f : YYTextLength(d2);
    const float widths = t1 + 2.0f + t2;

    const Title title = TitleFor(c, t.charWidth, t.charHeight);
    const float D = c.right - c.left;

    // The band (x1, y1)-(x2, y2), the places of ends 1 and 2 and the frame.
    Box band;
    Place end1, end2;
    LegendFrame f;
    int direction = 1;
    bool stackedText = false;
    float w = 0.0f, h = 0.0f;
    if (c.row) {
        direction = 2;
        band.x1 = c.left;
        band.x2 = c.right;
        RowStrip(c, band.y1, band.y2);
        YYCharShrink(c.fw / widths, 0.95f * (band.y1 - c.bottom) / g.textUnitSize[1]);
        YYCharCell(w, h);
        const float y = (c.bottom + band.y1) / 2.0f;
        end1 = {c.left + 0.25f * w, y, 0};
        end2 = {c.right - 0.25f * w, y, 2};
        f = {c.left, std::max(y - 0.625f * h, c.bottom), c.right, band.y2};
    } else if (c.stacked) {
        LimitSize(static_cast<double>(c.fh) / (static_cast<double>(d1.size()) + d2.size() + 2.0), 1);
        YYCharCell(w, h);
        band = {c.left + 0.2f * D, c.bottom, c.left + 0.3f * D, c.top};
        const float x = std::min(band.x2 + w, (c.right + band.x2) / 2.0f);
        end1 = {x, c.bottom + 0.25f * h, 2};
        end2 = {x, c.top - 0.25f * h, 0};
        stackedText = true;
        const float at = YYTextLength("@");
        f = {band.x1, c.bottom, std::min(std::max(x + at * w, band.x1 + title.width), c.right), c.top};
    } else if (c.turned) {
        float p, q;
        TurnedSize(c, widths, p, q);
        band = {c.left + 0.2f * D, c.bottom, c.left + 0.3f * D, c.top};
        const float x = std::min(band.x2 + p, (c.right + band.x2) / 2.0f);
        end1 = {x, c.bottom + 0.25f * q, 0};
        end2 = {x, c.top - 0.25f * q, 2};
        YYTextAngle(90.0f);
        f = {band.x1, c.bottom, std::min(std::max(x + 0.625f * p, band.x1 + title.width), c.right), c.top};
    } else {
        const float longest = std::max(t1, t2);
        LimitSize(static_cast<double>(c.fw) / (longest + 1.0), 0);
        YYCharCell(w, h);
        const float xc = (c.left + c.right) / 2.0f;
        band = {xc - 0.05f * D, c.bottom + 1.1f * h, xc + 0.05f * D, c.top - 1.1f * h};
        end1 = {xc, c.bottom + 0.5f * h, 1};
        end2 = {xc, c.top - 0.5f * h, 1};
        const float hw = std::max(0.5f * title.width, (0.5f * longest + 0.25f) * w);
        f = {xc - hw, c.bottom, std::min(xc + hw, c.right), c.top};
    }
    if (title.drawn) {
        band.y2 -= 1.5f * title.size.ht;
        f.separator = c.top - 1.5f * title.size.ht;
        end2.y -= 1.5f * title.size.ht;
    }

    Background(c, f);

    // The first end of the band (left or bottom) gets the colour of the set
    // whose description stands there: set 1, or set 2 reversed.
    if (c.reverse)
        std::swap(end1, end2);
    const int first = c.reverse ? 2 : 1;
    YYPlotStateSave(0);
    IGrColourN(gDataSetStyleTable.Set(first).colour1);
    IGrColourN(gDataSetStyleTable.Set(3 - first).colour1);
    const float x[4] = {band.x1, band.x2, band.x2, band.x1};
    const float y[4] = {band.y2, band.y2, band.y1, band.y1};
    IGrPolygonGrad(x, y, 4, direction);
    YYPlotStateSave(1);

    t.stacking = stackedText ? 1 : 0;
    TextAt(end1, d1);
    TextAt(end2, d2);
    YYTextAngle(keptAngle);
    t.stacking = 0;
    t.justification = 1;

    TitleDraw(c, title, f);
    Outline(c, f, title.drawn);
}

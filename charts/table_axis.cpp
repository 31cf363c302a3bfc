// The labels of a table graph (type 9): a band beside the plot with one row
// label per point (axes 2 and 3), or a band below or above it with one
// column label per data set (axis 1), each band ruled into its cells. Only
// the entries with caller labels draw anything.
//
// Labels beyond the caller's array are blanks, which show nothing: they are
// neither measured nor drawn, so a count far beyond the array costs nothing.
#include <algorithm>
#include <cmath>

#include "charts/axes.h"
#include "charts/axis_scaling.h"
#include "charts/graph_state.h"
#include "core/fixed_text.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/clipping.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/rectangles.h"
#include "graphics/text_state.h"

namespace {

// The band of one table axis in world units: its cells run along the plot
// edge from START by STEP (COUNT of them); across, from the plot edge EDGE to
// the outer edge OUTER.
struct Band {
    bool rows = true;
    float start = 0, step = 0;
    int count = 0;
    float edge = 0, outer = 0;
};

// The previous colour in the current colour model.
int PreviousColour()
{
    const GraphicsState& g = gGraphicsState;
    return g.colourModel == kColourModelNumbers ? g.previousNumber : g.previousRgb;
}

// Draws a line along the band (ALONG true: parallel to the plot edge) or
// across it, at the given position.
void BandLine(const Band& b, bool along, float at, float from, float to)
{
    if (b.rows == along)
        YYLineBetween(at, from, at, to);
    else
        YYLineBetween(from, at, to, at);
}

} // namespace

void YYAxisTable(AxisCall& c)
{
    if (!c.labelForm)
        return;
    const PgGraphState& s = gPgGraphState;
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    YYTextAngle(0.0f);

    const int given =
        c.callerCount <= 0 ? 0 : static_cast<int>(std::min(static_cast<size_t>(c.callerCount), c.callerLabels.size()));
    float longest = 0.0f;
    for (int k = 1; k <= given; ++k) {
        const std::string_view label = TrimRight(c.callerLabels[static_cast<size_t>(k - 1)]);
        if (!label.empty())
            longest = std::max(longest, YYTextLength(label));
    }

    // The band, limited to the room between the plot and the edge of the
    // graphics area, and the characters shrunk to fit its cells.
    Band b;
    b.rows = c.axis != 1;
    const bool first = c.variant == 1;
    float across;
    if (b.rows) {
        b.count = std::max(s.pointCount, 1);
        b.start = c.y1w;
        b.step = SaturateToFloat((static_cast<double>(c.y2w) - c.y1w) / b.count);
        const float w = (longest + 1.0f) * c.cw;
        across = first ? -std::min(w, c.x1w - g.units[0]) : std::min(w, g.units[2] - c.x2w);
        b.edge = first ? c.x1w : c.x2w;
        YYCharShrink(std::fabs(across) / ((longest + 1.0f) * g.unitSize[0]),
                     std::fabs(b.step) / (1.5f * g.unitSize[1]));
    } else {
        b.count = std::max(s.setCount, 1);
        b.start = c.x1w;
        b.step = SaturateToFloat((static_cast<double>(c.x2w) - c.x1w) / b.count);
        const float h = 1.5f * c.ch;
        across = first ? -std::min(h, c.y1w - g.units[1]) : std::min(h, g.units[3] - c.y2w);
        b.edge = first ? c.y1w : c.y2w;
        YYCharShrink(std::fabs(b.step) / ((longest + 1.0f) * g.unitSize[0]),
                     std::fabs(across) / (1.5f * g.unitSize[1]));
    }
    b.outer = b.edge + across;
    const float end = b.rows ? c.y2w : c.x2w;

    if (s.optionFlag8 != 0) {
        g.fillMode = kFillSolid;
        IGrColourN(PreviousColour());
        if (b.rows)
            IGrRectangle(b.edge, b.start, b.outer, end);
        else
            IGrRectangle(b.start, b.edge, end, b.outer);
        IGrColourN(PreviousColour());
    }

    // Row labels left-justified from the top row down, column labels centred
    // from the left.
    const float cw = g.textUnitSize[0] * t.charWidth;
    for (int i = 1; i <= given; ++i) {
        const std::string_view label = YYAxisCallerLabel(c, i);
        YYAxisLabelBufferPut(label);
        float x, y;
        if (b.rows) {
            t.justification = 0;
            x = (first ? b.outer : b.edge) + 0.5f * cw;
            y = SaturateToFloat(c.y2w - (i - 0.5) * b.step);
        } else {
            t.justification = 1;
            x = SaturateToFloat(c.x1w + (i - 0.5) * b.step);
            y = b.edge + across / 2.0f;
        }
        YYTextDraw(&x, &y, label);
    }

    // The grid: the two long edges of the band, then the cell borders.
    BandLine(b, true, b.edge, b.start, end);
    BandLine(b, true, b.outer, b.start, end);
    for (int j = 0; j <= b.count; ++j)
        BandLine(b, false, SaturateToFloat(b.start + static_cast<double>(j) * b.step), b.edge, b.outer);
}

// The labels of a pie chart (type 3): each slice's description written
// beside the slice, optionally with its share in percent and a leader line
// from the slice to the label. The slices are read from SetQuadTable and
// the pie geometry words of the graph, in the 0..1 user range that the pie
// uses; the caller's range is put back afterwards.
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "charts/plot_clip.h"
#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/option_string.h"
#include "fonts/text_draw.h"
#include "graphics/clipping.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/text_state.h"

namespace {

constexpr int kLabelLength = 200;
constexpr int kNumberLength = 5;

// The share of a slice as "nnnnn% ": written into the first five characters
// (R: one decimal, else P: a whole number), then cut at the start position
// that drops the blanks a share of at most 100 never needs. The start never
// passes the first digit, so larger shares keep all of theirs.
std::string PercentText(float share, bool oneDecimal)
{
    std::array<char, kNumberLength + 2> text;
    text.fill(' ');
    text[kNumberLength] = '%';
    const std::span<char> number(text.data(), kNumberLength);
    int start;
    if (oneDecimal) {
        IRealToString(share, number, "(F5.1)");
        start = text[0] == '1' ? 1 : 2;
    } else {
        const double rounded = static_cast<double>(share) + 0.5;
        if (rounded < 2147483648.0) {
            IntegerToString(static_cast<int>(rounded), number, "(I5)");
        } else {
            // No whole number of the integer range: the field overflows.
            std::fill(number.begin(), number.end(), '*');
            YYErrorReport(kErrorNumberToString, "IntegerToString");
        }
        start = text[2] == '1' ? 3 : 4;
    }
    const std::string_view all(text.data(), text.size());
    start = std::min(start, std::max(YYStringStart(all), 1));
    return std::string(all.substr(static_cast<size_t>(start - 1)));
}

// The first non-blank character of TEXT onwards.
std::string_view FromFirstNonBlank(std::string_view text)
{
    const int first = YYStringStart(text);
    return first > 0 ? text.substr(static_cast<size_t>(first - 1)) : std::string_view();
}

bool Finite(std::initializer_list<float> values)
{
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

} // namespace

void YYPieLabels(LegendCall& c)
{
    PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    t.stacking = 0;
    const bool oneDecimal = YYOptionHas(c.options, 'R');
    const bool percent = oneDecimal || YYOptionHas(c.options, 'P');
    const bool leaders = s.optionFlag128 != 0;
    const bool columns = s.optionFlag512 != 0;
    const int leaderColour = g.colourModel == kColourModelNumbers ? g.previousNumber : g.previousRgb;
    const float keptX1 = s.userX1, keptY1 = s.userY1, keptX2 = s.userX2, keptY2 = s.userY2;
    IPgArea(0.0f, 0.0f, 1.0f, 1.0f);

    const std::vector<SetQuad>& slices = gSetQuadTable.rows;
    const int n = std::min(std::clamp(s.setCount, 1, kMaxDataSets), static_cast<int>(slices.size()));
    for (int i = 1; i <= n; ++i) {
        const SetQuad& q = slices[static_cast<size_t>(i - 1)];
        if (!std::isgreaterequal(q.share, 0.0f)) // no slice (a NaN share neither)
            continue;
        if (!Finite({q.offset, q.directionX, q.directionY, s.pieCentreX, s.pieCentreY, s.pieScaleX, s.pieScaleY,
                     s.pieRadius, s.pieLeaderLength, s.pieLabelColumnLeft, s.pieLabelColumnRight}))
            continue; // a slice with no place on the page

        // The leader runs along the slice's middle from INNER to OUTER (in
        // pie units from the centre), then across to the label's end.
        double outer, inner;
        if (!leaders) {
            outer = 1.13 * (static_cast<double>(q.offset) + s.pieRadius);
            inner = q.offset;
        } else {
            outer = static_cast<double>(q.offset) + s.pieRadius - (std::isgreater(q.offset, 0.12f) ? 0.12 : 0.0);
            inner = q.offset + 0.6;
        }
        const double dx = static_cast<double>(q.directionX) * s.pieScaleX;
        const double dy = static_cast<double>(q.directionY) * s.pieScaleY;
        const float outerX = SaturateToFloat(s.pieCentreX + outer * dx);
        float ix, iy, ox, oy;
        YYPgToWorld(SaturateToFloat(s.pieCentreX + inner * dx), SaturateToFloat(s.pieCentreY + inner * dy), ix, iy);
        YYPgToWorld(outerX, SaturateToFloat(s.pieCentreY + outer * dy), ox, oy);
        const bool left = std::isless(dx, 0.0);
        const double side = left ? -1.0 : 1.0;
        const double end = columns ? s.pieCentreX + side * s.pieScaleX * (left ? s.pieLabelColumnLeft
                                                                               : s.pieLabelColumnRight)
                                   : outerX + side * s.pieScaleX * s.pieLeaderLength;
        const float endX = YYPgToWorldX(SaturateToFloat(end));

        if (leaders) {
            YYPlotStateSave(0);
            IGrColourN(leaderColour);
            YYWorldLine(ix, iy, ox, oy);
            YYWorldLine(ox, oy, endX, oy);
            YYPlotStateSave(1);
        }

        // Left of the pie the label ends at the leader (the description,
        // then the share); right of it the label starts there.
        t.justification = left ? 2 : 0;
        const std::string_view description =
            (static_cast<size_t>(i) <= c.descriptions.size() ? c.descriptions[static_cast<size_t>(i - 1)] : "")
                .substr(0, kLabelLength);
        std::string label(description);
        if (percent) {
            const std::string share = PercentText(q.share, oneDecimal);
            if (!left)
                label = share + label;
            else
                label = std::string(TrimRight(description)) + " " +
                        std::string(columns ? std::string_view(share) : FromFirstNonBlank(share));
        }
        if (label.size() > kLabelLength)
            label.resize(kLabelLength);
        const std::string_view text = TrimRight(label);
        if (text.empty())
            continue;
        float x = SaturateToFloat(endX + side * 0.5 * g.textUnitSize[0] * t.charWidth);
        float y = oy;
        YYTextDraw(&x, &y, text);
    }

    IPgArea(keptX1, keptY1, keptX2, keptY2);
}

// Markers at data points of a type-7 graph: the symbol of the set chosen by
// its style, then one marker, label, marker-font character or point per
// present point; a polar graph is drawn once per output so that each device
// gets its points with its own aspect.
#include "charts/data_markers.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string_view>

#include "charts/curves.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/plot_clip.h"
#include "charts/polar_geometry.h"
#include "core/conversions.h"
#include "core/fixed_text.h"
#include "core/string_routines.h"
#include "fonts/builtin_fonts.h"
#include "fonts/text_draw.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/markers.h"
#include "graphics/text_state.h"

namespace {

int Magnitude(int w) { return w == INT_MIN ? INT_MAX : (w < 0 ? -w : w); }

// The symbol of set SET for marker kind KIND: the set's marker number, else
// its first style word (marker-font codes up to 25 moved up by 202); the set
// number when that lies outside the kind's range.
int SymbolOf(int set, int kind)
{
    const DataSetStyle& style = gDataSetStyleTable.Set(set);
    int m = style.marker;
    if (m < 0) {
        m = style.styleWord1;
        if (kind == 4 && m <= 25)
            m += 202;
    }
    bool inRange;
    switch (kind) {
    case 1: inRange = m >= 0; break;
    case 2: inRange = m >= 1 && m <= 52; break;
    case 4: inRange = m >= 1 && m <= 255; break;
    default: inRange = m >= 1 && m <= 40; break;
    }
    return inRange ? m : set;
}

// One pass over the points with the outputs as they are set.
void PointsDraw(std::span<const float> x, std::span<const float> y, int n, int kind, int symbol,
                std::string_view label)
{
    const bool polar = gPgGraphState.polar != 0;
    const char code = static_cast<char>(symbol & 0xFF);
    for (int i = 0; i < n; ++i) {
        const size_t at = static_cast<size_t>(i);
        if (at >= x.size() || at >= y.size())
            break;
        if (!YYStateDiffers(x[at]) || !YYStateDiffers(y[at]))
            continue;
        float wx = 0.0f, wy = 0.0f;
        if (polar)
            YYPolarToWorld(x[at], y[at], wx, wy);
        else
            YYPgToWorld(x[at], y[at], wx, wy);
        switch (kind) {
        case 1:
        case 2: YYTextDraw(&wx, &wy, label); break;
        case 3: YYMarker(wx, wy, symbol); break;
        case 4: YYTextDraw(&wx, &wy, std::string_view(&code, 1)); break;
        default: YYPointPlot(wx, wy); break;
        }
    }
}

} // namespace

void IPgMarkersDraw(std::span<const float> x, std::span<const float> y, const int* count)
{
    PgGraphState& s = gPgGraphState;
    GraphicsState& g = gGraphicsState;
    if (s.graphType != 7 || s.setCounter >= s.setCount)
        return;
    const int set = ++s.setCounter;
    const int n = count ? std::clamp(*count, 1, std::max(s.pointCount, 1)) : s.pointCount;

    YYGraphAreaSelect();
    TextState& t = gTextState;
    t.justification = 1;
    t.stacking = 0;
    const DataSetStyle style = gDataSetStyleTable.Set(set);
    const int kind = Magnitude(style.styleWord2);
    if (g.lineStyle != 0) {
        const int solid = 0;
        IGrLineStyleSelect(&solid);
    }
    IGrColourN(style.colour2);

    const int symbol = SymbolOf(set, kind);
    FixedText<11> label;
    if (kind == 4)
        YYSymbolsLoad(1);
    if (kind < 3) {
        t.slant = 0.0f;
        if (kind == 1) {
            IntegerToString(symbol, label, "(I11)");
            YYJustify(label, "L");
        } else if (kind == 2) {
            label.data[0] = static_cast<char>(symbol <= 26 ? 64 + symbol : 70 + symbol);
        }
    }

    if (s.polar == 0) {
        PointsDraw(x, y, n, kind, symbol, label.trimmed());
    } else {
        // Once per output, each with its own aspect.
        YYPolarPasses([&] { PointsDraw(x, y, n, kind, symbol, label.trimmed()); });
    }

    if (kind == 4)
        YYSymbolsLoad(0);
    YYGraphAreaRestore();
}

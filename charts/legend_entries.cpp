// Legend entries: the sample kind of a set, its cell geometry, the sample
// and the label.
#include "charts/legend_entries.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <span>
#include <string>

#include "charts/axes.h"
#include "charts/graph_state.h"
#include "charts/plot_clip.h"
#include "core/conversions.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/string_routines.h"
#include "fonts/builtin_fonts.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/lines.h"
#include "graphics/markers.h"
#include "graphics/rectangles.h"
#include "graphics/text_state.h"
#include "graphics/trapezia.h"

namespace {

// Advances before the label, and the line and arrow samples' lengths
// (2.35 - 0.2 and 2.35 - 0.6 in single precision).
constexpr float kLabelAdvance = 2.35f;
constexpr float kLineSample = 2.1499999f;
constexpr float kArrowSample = 1.7499999f;

// Sample kind by graph type 1..11.
constexpr std::array<int, 11> kStartKind = {1, 1, 1, 2, 3, 2, 2, 2, 1, 1, 4};

long long Magnitude(int v) { return v < 0 ? -static_cast<long long>(v) : v; }

float Quotient(double a, double b)
{
    if (b == 0.0)
        return 0.0f;
    const double q = a / b;
    return (std::isfinite(q) && std::fabs(q) <= FLT_MAX) ? static_cast<float>(q) : 0.0f;
}

// Digit measure of a number: 1 for 0, else the integer part of log10.
int DigitMeasure(long long v)
{
    if (v <= 0)
        return v == 0 ? 1 : 0;
    return TruncateToInt(std::log10(static_cast<double>(v)));
}

bool FewColours() { return gGraphicsState.roundingColours <= 2; }

// The sample kind of set N.
int SampleKind(int n)
{
    const PgGraphState& s = gPgGraphState;
    const DataSetStyle& st = gDataSetStyleTable.Set(n);
    const int T = s.graphType;
    const int w1 = st.styleWord1, w2 = st.styleWord2, w3 = st.styleWord3;
    int K = (T >= 1 && T <= 11) ? kStartKind[static_cast<size_t>(T - 1)] : 2;
    if (T == 8) {
        if (s.optionKind == 3)
            return 1;
        if (s.threeD != 0)
            return 0;
        if (s.optionFlag8 != 0)
            return 1;
    } else if (T == 10) {
        if (s.threeD != 0)
            return 0;
    } else if (T == 5) {
        if (s.threeD != 0 || w3 > 0)
            return 0;
    } else if (T == 4) {
        if (w3 > 0 && s.optionFlag128 == 0)
            return 0;
    }
    if (T == 4 || T == 6 || T == 8) {
        if (w2 == 0 || Magnitude(w2) >= 5 || (w2 < 0 && !FewColours()))
            K = 3;
    } else if (T == 1 || T == 2) {
        if (Magnitude(w1) == 5)
            K = -1;
    }
    return K;
}

} // namespace

int YYLegendNumberColumn(int fallback)
{
    const PgGraphState& s = gPgGraphState;
    const int count = std::clamp(s.setCount, 0, kMaxDataSets);
    int u = 0;
    for (int i = 1; i <= count; ++i) {
        const DataSetStyle& st = gDataSetStyleTable.Set(i);
        if (Magnitude(st.styleWord2) != 1)
            continue;
        long long v;
        if (st.marker >= 0)
            v = st.marker;
        else if (s.graphType == 8)
            v = st.styleWord3;
        else if (s.graphType == 7 && s.threeD == 0)
            v = st.styleWord1;
        else
            v = i;
        if (v < 0)
            v = fallback > 0 ? fallback : i;
        u = std::max(u, DigitMeasure(v));
    }
    return u;
}

void YYLegendEntryDraw(int n, float x, float y, std::string_view label)
{
    const PgGraphState& s = gPgGraphState;
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    if (n < 1 || n > s.setCount || n > kMaxDataSets)
        return;

    YYPlotStateSave(0);
    const float A0 = t.angle;
    const int justification = t.justification;
    t.justification = 0;
    int a = TruncateToInt(static_cast<double>(A0) + 0.1) % 180;
    if (a != 0 && a != 90) {
        YYTextAngle(0.0f);
        a = 0;
    }

    const DataSetStyle& st = gDataSetStyleTable.Set(n);
    const int T = s.graphType;
    const int w1 = st.styleWord1, w2 = st.styleWord2, w3 = st.styleWord3;
    const int K = SampleKind(n);

    // Cell: extents in x and y, advance along the text, height across it.
    float cx, cy, adv, hgt;
    if (a == 90) {
        const float aspect = YYOutputAspect();
        const bool turnedPage = (g.pageRotation % 180) != 0;
        const float ux = turnedPage ? g.textUnitSize[1] : g.textUnitSize[0];
        const float uy = turnedPage ? g.textUnitSize[0] : g.textUnitSize[1];
        if (t.builtInFont != 0) {
            cx = Quotient(static_cast<double>(g.textUnitSize[0]) * t.charHeight, aspect);
            cy = aspect * g.textUnitSize[1] * t.charWidth;
        } else {
            cx = Quotient(g.orientedLimit[0], static_cast<double>(t.textScaleY) * aspect) *
                 Quotient(ux, g.orientedAreaSize[0]);
            cy = Quotient(static_cast<double>(aspect) * g.orientedLimit[1], t.textScaleX) *
                 Quotient(uy, g.orientedAreaSize[1]);
        }
        adv = cy;
        hgt = cx;
    } else {
        YYCharCell(cx, cy);
        adv = cx;
        hgt = cy;
    }

    const bool stacked = t.stacking == 1;
    const float stepX = stacked ? t.angleSinByK * hgt : t.angleCos * adv;
    const float stepY = stacked ? -t.angleCos * hgt : t.angleSinK * adv;
    const float x0 = stacked ? x + 0.5f * cx * t.angleSinByK : x + 0.5f * cx * t.angleCos;
    const float y0 = stacked ? y - 0.5f * cy * t.angleCos : y + 0.5f * cy * t.angleSinK;
    const float z = stacked ? 1.0f : YYTextLength("0");
    const float u = static_cast<float>(YYLegendNumberColumn(n)) * z;
    auto at = [&](float bx, float by, float k, float& px, float& py) {
        px = bx + k * stepX;
        py = by + k * stepY;
    };

    if (K <= 1) {
        // Box samples.
        if (T == 9) {
            IGrColourN(w1 == 0 ? st.colour1 : st.colour2);
            const int solid = 4, one = 1;
            YYFillSettings(&solid, &one, &one);
        } else {
            IGrColourN(st.colour2);
            IGrColourN(st.colour1);
            const int style = static_cast<int>(std::min<long long>(Magnitude(w1), INT_MAX));
            YYFillSettings(&style, &w2, &w3);
        }
        const float x1 = x0 - 0.5f * cx, y1 = y0 - 0.5f * cy;
        const float x2 = x1 + cx, y2 = y1 + cy;
        if (K == 1) {
            IGrRectangle(x1, y1, x2, y2);
        } else if (K == -1) {
            const float bx[4] = {x1, x1, x2, x2};
            const float by[4] = {y1, y2, y2, y1};
            IGrPolygonGrad(bx, by, 4, T);
        } else {
            IGrParallelogram(x1, y1, x2, y2, cy, 1);
        }
        if ((T == 1 || T == 2) && s.threeD == 0 && w1 > 0) {
            IGrColourN(g.colourModel == kColourModelNumbers ? s.graphColourNumber : s.graphColourRgb);
            YYWorldLine(x1, y1, x1, y2);
            YYWorldLine(x1, y2, x2, y2);
            YYWorldLine(x2, y2, x2, y1);
            YYWorldLine(x2, y1, x1, y1);
        }
    } else if (K == 2) {
        // Symbol samples, by marker kind.
        if (g.lineStyle != 0) {
            const int solid = 0;
            IGrLineStyleSelect(&solid);
        }
        IGrColourN(st.colour2);
        const long long kind = Magnitude(w2);
        long long sym;
        if (st.marker >= 0) {
            sym = st.marker;
        } else if (T == 8 || (T == 7 && s.threeD == 0)) {
            sym = T == 8 ? w3 : w1;
            if (kind == 4 && sym <= 25)
                sym += 202;
        } else {
            sym = kind == 4 ? n + 202 : n;
        }
        long long top = 40, bottom = 1;
        if (kind == 1) {
            bottom = 0;
            top = INT_MAX;
        } else if (kind == 2) {
            top = 52;
        } else if (kind == 4) {
            top = 255;
        }
        if (sym < bottom || sym > top)
            sym = n;
        const int symbol = static_cast<int>(sym);

        const float slant = t.slant;
        t.slant = 0.0f;
        float px, py;
        if (kind == 1) {
            char buf[11];
            IntegerToString(symbol, std::span<char>(buf, 11), "(I11)");
            YYJustify(std::span<char>(buf, 11), "L");
            const std::string text(TrimRight(std::string_view(buf, 11)));
            const float v = static_cast<float>(DigitMeasure(symbol)) * z;
            at(x, y, u - v, px, py);
            YYTextDraw(&px, &py, text);
        } else if (kind == 2) {
            const char letter = static_cast<char>(symbol <= 26 ? 64 + symbol : 70 + symbol);
            at(x, y, u, px, py);
            YYTextDraw(&px, &py, std::string_view(&letter, 1));
        } else if (kind == 3) {
            at(x0, y0, u, px, py);
            YYMarker(px, py, symbol);
        } else if (kind == 4) {
            const char code = static_cast<char>(static_cast<unsigned char>(symbol));
            YYSymbolsLoad(1);
            at(x, y, u, px, py);
            YYTextDraw(&px, &py, std::string_view(&code, 1));
            YYSymbolsLoad(0);
        } else {
            at(x0, y0, u, px, py);
            YYPointPlot(px, py);
        }
        t.slant = slant;
    } else if (K == 3) {
        // Line sample in the set's line style.
        int style = static_cast<int>(std::min<long long>(Magnitude(w1), INT_MAX));
        if (w1 < 0 && !FewColours())
            style = 0;
        if (style != g.lineStyle)
            IGrLineStyleSelect(&style);
        IGrColourN(st.colour1);
        YYPenMoveTo(x, y);
        YYDrawRel(kLineSample * stepX, kLineSample * stepY);
    } else {
        // Arrow.
        if (w1 != 4 && g.lineStyle != 0) {
            const int solid = 0;
            IGrLineStyleSelect(&solid);
        }
        IGrColourN(st.colour1);
        int form = 1;
        if (w1 == 0) {
            form = 2;
            g.fillMode = kFillOutline;
        } else if (w1 == 4) {
            form = 2;
            g.fillMode = kFillSolid;
        }
        float px, py;
        at(x, y, kArrowSample, px, py);
        YYArrowAlong(x, y, px, py, form);
    }

    YYPlotStateSave(1);
    float lx, ly;
    at(x, y, u + kLabelAdvance, lx, ly);
    YYTextDraw(&lx, &ly, label);

    if (t.angle != A0)
        YYTextAngle(A0);
    t.justification = justification;
}

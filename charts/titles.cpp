// Graph title and axis labels: flat placement beside the plot area, and the
// oblique placement along the edges of an oblique graph's base.
#include "charts/titles.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

#include "charts/axes.h"
#include "charts/frame_geometry.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/option_string.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"

namespace {


// The base corners of the oblique placement (index 0 is corner 1).
std::array<float, 4> gCornerX, gCornerY;

// A / B, or 0 when B is 0 or the quotient leaves the float range.
float Quotient(double a, double b)
{
    if (b == 0.0)
        return 0.0f;
    const double q = a / b;
    return (std::isfinite(q) && std::fabs(q) <= FLT_MAX) ? static_cast<float>(q) : 0.0f;
}

int CornerAfter(int k, int d)
{
    int j = k + d;
    while (j > 4)
        j -= 4;
    return j;
}

struct Flags {
    bool L, R, T, B, nine;
};

// Direction of a vertical label: 270 with R, else 90 with 9, else 0 (stacked).
int VerticalDirection(const Flags& f) { return f.R ? 270 : (f.nine ? 90 : 0); }

// Fits a vertical label into HEIGHT (a fraction of the graphics area's
// height) and turns it, or stacks it; returns the least distance d of its
// reference point from the area's edge in world x.
float FitVertical(int direction, float height, float L, int n)
{
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const float A = YYOutputAspect();
    const float AW = g.areaFractionSize[0], AH = g.areaFractionSize[1];
    const float TX = g.textUnitSize[0];
    if (direction != 0) {
        if (L > 0.0f)
            YYCharAspect(Quotient(static_cast<double>(height) * AH, static_cast<double>(L) * AW * A), 0);
        t.stacking = 0;
        YYTextAngle(static_cast<float>(direction));
        return 0.5f * TX * t.charHeight / A;
    }
    YYCharAspect(height / static_cast<float>(n), 1);
    return 0.5f * TX * t.charWidth;
}

// Position along a vertical label's side: its upper end at TOP with T, its
// lower end at BOTTOM with B, else centred between them.
float AlongVertical(const Flags& f, int direction, float bottom, float top)
{
    TextState& t = gTextState;
    if (f.T) {
        t.justification = direction == 90 ? 2 : 0;
        return top;
    }
    if (f.B) {
        t.justification = direction == 90 ? 0 : 2;
        return bottom;
    }
    t.justification = 1;
    return (bottom + top) * 0.5f;
}

// Title and x labels of a flat graph (entries 1 to 3).
void FlatTitle(int entry, const Flags& f, float F, float L, float wx1, float wy1, float wx2, float wy2,
               float& x, float& y)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    if (L > 0.0f)
        YYCharAspect(Quotient(static_cast<double>(s.plotX2) - s.plotX1, L), 0);
    if (f.L) {
        x = wx1;
        t.justification = 0;
    } else if (f.R) {
        x = wx2;
        t.justification = 2;
    } else {
        x = (wx1 + wx2) * 0.5f;
        t.justification = 1;
    }
    const float G = 1.0f - F;
    const float d = 0.5f * g.textUnitSize[1] * t.charHeight;
    const float UY1 = g.units[1], UY2 = g.units[3];
    if (entry == 2)
        y = UY1 + std::max((wy1 - UY1) * G, d);
    else
        y = UY2 - std::max((UY2 - wy2) * G, d);
}

// Y labels of a flat graph (entries 4 and 5).
void FlatYLabel(int entry, const Flags& f, float F, float L, int n, float wx1, float wy1, float wx2,
                float wy2, float& x, float& y)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    const int direction = VerticalDirection(f);
    const float d = FitVertical(direction, s.plotY2 - s.plotY1, L, n);
    y = AlongVertical(f, direction, wy1, wy2);
    const float G = 1.0f - F;
    const float UX1 = g.units[0], UX2 = g.units[2];
    if (entry == 5)
        x = UX1 + std::max((wx1 - UX1) * G, d);
    else
        x = UX2 - std::max((UX2 - wx2) * G, d);
}

// X and y labels of an oblique graph (entries 2 to 5): along the near edge
// of the base below it, or along the far edge above the box.
void ObliqueLabel(int entry, const Flags& f, float F, float L, float wy1, float wy2, float& x, float& y)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    int leftmost;
    float leftmostY;
    YYBaseCorners(gCornerX, gCornerY, leftmost, leftmostY);
    auto X = [](int k) { return gCornerX[static_cast<size_t>(k - 1)]; };
    auto Y = [](int k) { return gCornerY[static_cast<size_t>(k - 1)]; };
    const float h = YYPgToWorldY(s.userY1 + s.yWidth * 0.5f) - YYPgToWorldY(s.userY1);

    const float v = s.viewAngle;
    const int fc = (v < 45.0f || v >= 315.0f) ? 1 : (v < 135.0f ? 4 : (v < 225.0f ? 3 : 2));
    const int j1 = CornerAfter(fc, 1), j2 = CornerAfter(fc, 2), j3 = CornerAfter(fc, 3);
    const int lo = Y(j1) < Y(j3) ? j1 : j3;
    const int hi = lo == j1 ? j3 : j1;
    t.stacking = 0;

    const float UY1 = g.units[1], UY2 = g.units[3];
    const float EX = g.unitSize[0], EY = g.unitSize[1];
    const float TX = g.textUnitSize[0], TY = g.textUnitSize[1];
    const float AW = g.areaFractionSize[0], AH = g.areaFractionSize[1];
    const float A = YYOutputAspect();
    const bool below = entry == 2 || entry == 5;
    const float M = below ? wy1 - UY1 : UY2 - wy2;
    const float m = Quotient(M, EY);
    const float k = m < 0.1f ? 2.0f : (m < 0.25f ? 2.66666f - m / 0.15f : 1.0f);
    const float D = k * F * m;
    const float Dx = D * EX, Dy = D * EY;

    float a;
    if (f.L) {
        a = 0.0f;
        t.justification = 0;
    } else if (f.R) {
        a = 1.0f;
        t.justification = 2;
    } else {
        a = 0.5f;
        t.justification = 1;
    }

    const int p = (fc % 2) == 1 ? 1 : 2;
    const bool xLabel = entry == 2 || entry == 3;
    int nearStart, nearEnd, farStart;
    if ((xLabel && p == 1) || (!xLabel && p == 2)) {
        nearStart = lo;
        nearEnd = j2;
        farStart = fc;
    } else {
        nearStart = fc;
        nearEnd = lo;
        farStart = hi;
    }
    const float dX = X(nearEnd) - X(nearStart), dY = Y(nearEnd) - Y(nearStart);

    const double ratio = (TY != 0.0f && AW != 0.0f) ? (static_cast<double>(AH) / AW) * (TX / TY) / A : 0.0;
    const double theta = std::atan2(dY * ratio, static_cast<double>(dX)) / kDegreesToRadiansFloat;
    YYTextAngle(static_cast<float>(theta));
    const float c = t.angleCos, sn = t.angleSinByK;
    if (below) {
        x = X(nearStart) + a * dX + Dx * sn;
        y = Y(nearStart) + a * dY - Dy * c;
    } else {
        x = X(farStart) + a * dX - Dx * sn;
        y = Y(farStart) + a * dY + h + Dy * c;
    }

    const double r = std::sqrt(std::pow(Quotient(dX, TX), 2.0) + std::pow(Quotient(dY, TY), 2.0));
    const double phi = static_cast<float>(theta) * static_cast<double>(kDegreesToRadiansFloat);
    const double ac = std::fabs(std::cos(phi)), as = std::fabs(std::sin(phi));
    YYCharAspect(Quotient(r * (ac + AH * as), static_cast<double>(L) * (ac + static_cast<double>(AW) * A * as)), 0);
}

// Label of the third axis of an oblique graph (entries 6 and 7), beside the
// box at its leftmost corner or the corner opposite.
void ThirdAxisLabel(int entry, const Flags& f, float F, float L, int n, float wx1, float wx2, float& x,
                    float& y)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    int c;
    float cy;
    YYBaseCorners(gCornerX, gCornerY, c, cy);
    const float h = YYPgToWorldY(s.userY1 + s.yWidth * 0.5f) - YYPgToWorldY(s.userY1);
    const int direction = VerticalDirection(f);
    const float d = FitVertical(direction, (s.plotY2 - s.plotY1) * 0.5f, L, n);
    float b;
    if (entry == 7) {
        x = gCornerX[static_cast<size_t>(c - 1)] - std::max((wx1 - g.units[0]) * F, d);
        b = gCornerY[static_cast<size_t>(c - 1)];
    } else {
        const int o = CornerAfter(c, 2);
        x = gCornerX[static_cast<size_t>(o - 1)] + std::max((g.units[2] - wx2) * F, d);
        b = gCornerY[static_cast<size_t>(o - 1)];
    }
    y = AlongVertical(f, direction, b, b + h);
}

} // namespace

void GraphTextFamily(int entry, std::string_view text, std::string_view options)
{
    if (entry < 1 || entry > 7)
        return;
    const PgGraphState& s = gPgGraphState;
    TextState& t = gTextState;

    const std::string_view shown = TrimRight(text);
    const int n = static_cast<int>(shown.size());
    if (n == 0 || shown.find_first_not_of(' ') == std::string_view::npos)
        return;

    Flags f{YYOptionHas(options, 'L'), YYOptionHas(options, 'R'), YYOptionHas(options, 'T'),
            YYOptionHas(options, 'B'), YYOptionHas(options, '9')};
    const float savedWidth = t.charWidth, savedHeight = t.charHeight;
    const int savedStacking = t.stacking, savedJustification = t.justification;
    const float savedAngle = t.angle;
    t.stacking = entry >= 4 ? 1 : 0;

    float wx1, wy1, wx2, wy2;
    YYPgToWorld(s.userX1, s.userY1, wx1, wy1);
    YYPgToWorld(s.userX2, s.userY2, wx2, wy2);
    const int measureByDevice = 0;
    const float L = YYTextLength(shown, &measureByDevice);

    const float F = entry == 1 ? s.titleFraction
                    : entry <= 3 ? s.xLabelFraction
                    : entry <= 5 ? s.yLabelFraction
                                 : s.zLabelFraction;
    float x = 0.0f, y = 0.0f;
    bool draw = true;
    if (s.threeDAxes != 0 && entry >= 2) {
        if (entry <= 5)
            ObliqueLabel(entry, f, F, L, wy1, wy2, x, y);
        else
            ThirdAxisLabel(entry, f, F, L, n, wx1, wx2, x, y);
    } else if (entry >= 6) {
        draw = false; // a third-axis label needs an oblique graph
    } else if (entry >= 4) {
        FlatYLabel(entry, f, F, L, n, wx1, wy1, wx2, wy2, x, y);
    } else {
        FlatTitle(entry, f, F, L, wx1, wy1, wx2, wy2, x, y);
    }
    if (draw)
        YYTextDraw(&x, &y, shown);

    YYCharSize(savedWidth, savedHeight);
    t.stacking = savedStacking;
    t.justification = savedJustification;
    if (t.angle != savedAngle)
        YYTextAngle(savedAngle);
}

void IPgTitle(std::string_view text, std::string_view options) { GraphTextFamily(1, text, options); }
void IPgXLabel(std::string_view text, std::string_view options) { GraphTextFamily(2, text, options); }
void IPgXLabel2(std::string_view text, std::string_view options) { GraphTextFamily(3, text, options); }
void IPgYLabel2(std::string_view text, std::string_view options) { GraphTextFamily(4, text, options); }
void IPgYLabel(std::string_view text, std::string_view options) { GraphTextFamily(5, text, options); }
void IPgZLabel2(std::string_view text, std::string_view options) { GraphTextFamily(6, text, options); }
void IPgZLabel(std::string_view text, std::string_view options) { GraphTextFamily(7, text, options); }

// The clip option, the narrowing of the graphics area to the plot area
// around one data set, and the save and restore of the drawing state.
#include "charts/plot_clip.h"

#include <algorithm>

#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "core/option_string.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"

ClipSaveArea gClipSaveArea;
PlotStateSaveArea gPlotStateSaveArea;

namespace {

// A fraction of the target, kept inside 0..1 against rounding.
float Fraction(double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); }

} // namespace

void IPgGraphOptions(std::string_view options)
{
    gPgGraphState.clipToPlot = YYOptionHas(options, 'P') ? -1 : 0;
}

void YYGraphAreaSelect()
{
    PgGraphState& s = gPgGraphState;
    GraphicsState& g = gGraphicsState;
    ClipSaveArea& c = gClipSaveArea;
    c.narrowed = 0;
    if (s.clipToPlot != 0) {
        const auto f = g.areaFractions;
        g.areaFractionSize = {f[2] - f[0], f[3] - f[1]};
        c.area = f;
        c.plot = {s.plotX1, s.plotY1, s.plotX2, s.plotY2};
        c.units = g.units;
        const double w = static_cast<double>(f[2]) - f[0], h = static_cast<double>(f[3]) - f[1];
        const double ax = f[0], ay = f[1];
        const double px1 = s.plotX1, px2 = s.plotX2, py1 = s.plotY1, py2 = s.plotY2;
        double r[4];
        bool known = true;
        switch (g.pageRotation) {
        case 0:
            r[0] = ax + px1 * w;
            r[1] = ay + py1 * h;
            r[2] = ax + px2 * w;
            r[3] = ay + py2 * h;
            break;
        case 90:
            r[0] = ax + (1.0 - py2) * w;
            r[1] = ay + px1 * h;
            r[2] = ax + (1.0 - py1) * w;
            r[3] = ay + px2 * h;
            break;
        case 180:
            r[0] = ax + (1.0 - px2) * w;
            r[1] = ay + (1.0 - py2) * h;
            r[2] = ax + (1.0 - px1) * w;
            r[3] = ay + (1.0 - py1) * h;
            break;
        case 270:
            r[0] = ax + py1 * w;
            r[1] = ay + (1.0 - px2) * h;
            r[2] = ax + py2 * w;
            r[3] = ay + (1.0 - px1) * h;
            break;
        default:
            known = false; // no narrowing, and the plot area stays
            break;
        }
        if (known) {
            YYPlotAreaSet(Fraction(r[0]), Fraction(r[1]), Fraction(r[2]), Fraction(r[3]));
            IPgPlotAreaFractions(0.0f, 0.0f, 1.0f, 1.0f);
            c.narrowed = 1;
        }
    }
    YYPlotStateSave(0);
    c.outline = g.outline;
    c.justification = gTextState.justification;
    c.slant = gTextState.slant;
}

void YYGraphAreaRestore()
{
    GraphicsState& g = gGraphicsState;
    ClipSaveArea& c = gClipSaveArea;
    // What the select narrowed is put back, even when the clip option was
    // changed in between.
    if (c.narrowed) {
        IGrArea(c.area[0], c.area[1], c.area[2], c.area[3]);
        IGrUnits(c.units[0], c.units[1], c.units[2], c.units[3]);
        IPgPlotAreaFractions(c.plot[0], c.plot[1], c.plot[2], c.plot[3]);
        c.narrowed = 0;
    }
    YYPlotStateSave(1);
    gTextState.justification = c.justification;
    gTextState.slant = c.slant;
    g.outline = c.outline;
}

void YYPlotAreaSet(float x1, float y1, float x2, float y2)
{
    GraphicsState& g = gGraphicsState;
    const auto A = g.areaFractions;
    const auto U = g.units;
    const double ex = g.unitSize[0], ey = g.unitSize[1];
    const double aw = static_cast<double>(A[2]) - A[0], ah = static_cast<double>(A[3]) - A[1];

    g.textGeometryFrozen = 1;
    IGrArea(x1, y1, x2, y2);
    // The area IGrArea accepted (it replaces an invalid one by the target).
    const auto N = g.areaFractions;

    if (aw > 0.0 && ah > 0.0) {
        const double kx = ex / aw, ky = ey / ah;     // world per fraction along x, y
        const double kxy = ex / ah, kyx = ey / aw;   // rotated by 90 or 270
        double u[4];
        bool known = true;
        switch (g.pageRotation) {
        case 0:
            u[0] = U[0] + (N[0] - A[0]) * kx;
            u[2] = U[0] + (N[2] - A[0]) * kx;
            u[1] = U[1] + (N[1] - A[1]) * ky;
            u[3] = U[1] + (N[3] - A[1]) * ky;
            break;
        case 90: // world x along the y fractions, world y against the x fractions
            u[0] = U[0] + (N[1] - A[1]) * kxy;
            u[2] = U[0] + (N[3] - A[1]) * kxy;
            u[1] = U[1] + (A[2] - N[2]) * kyx;
            u[3] = U[1] + (A[2] - N[0]) * kyx;
            break;
        case 180: // both reversed
            u[0] = U[0] + (A[2] - N[2]) * kx;
            u[2] = U[0] + (A[2] - N[0]) * kx;
            u[1] = U[1] + (A[3] - N[3]) * ky;
            u[3] = U[1] + (A[3] - N[1]) * ky;
            break;
        case 270: // world x against the y fractions, world y along the x fractions
            u[0] = U[0] + (A[3] - N[3]) * kxy;
            u[2] = U[0] + (A[3] - N[1]) * kxy;
            u[1] = U[1] + (N[0] - A[0]) * kyx;
            u[3] = U[1] + (N[2] - A[0]) * kyx;
            break;
        default:
            known = false;
            break;
        }
        if (known)
            IGrUnits(static_cast<float>(u[0]), static_cast<float>(u[1]), static_cast<float>(u[2]),
                     static_cast<float>(u[3]));
    }
    g.textGeometryFrozen = 0;
}

void YYPlotStateSave(int mode)
{
    GraphicsState& g = gGraphicsState;
    PlotStateSaveArea& p = gPlotStateSaveArea;
    const float W = static_cast<float>(g.targetWidth), H = static_cast<float>(g.targetHeight);
    switch (mode) {
    case 0:
        p.previousNumber = g.previousNumber;
        p.currentNumber = g.currentNumber;
        p.previousRgb = g.previousRgb;
        p.currentRgb = g.currentRgb;
        p.previousDevice = g.previousDevice;
        p.currentDevice = g.currentDevice;
        p.lineStyle = g.lineStyle;
        p.stacking = gTextState.stacking;
        p.fillMode = g.fillMode;
        p.hatchDirection = g.hatchDirection;
        p.hatchDensity = g.hatchDensity;
        break;
    case 1:
        // The saved previous colour first, so that both slots end as saved.
        YYColourSetDirect(p.previousNumber, p.previousRgb, p.previousDevice, 0);
        YYColourSetDirect(p.currentNumber, p.currentRgb, p.currentDevice, 0);
        if (g.lineStyle != p.lineStyle)
            IGrLineStyleSelect(&p.lineStyle);
        gTextState.stacking = p.stacking;
        g.fillMode = p.fillMode;
        g.hatchDirection = p.hatchDirection;
        g.hatchDensity = p.hatchDensity;
        break;
    case 2:
        p.area = g.areaFractions;
        break;
    case 3:
        YYAreaLimitsOfFractions(p.area);
        break;
    case 4: {
        p.area = g.areaFractions;
        const auto& a = g.integerArea;
        bool whole = a[0] == 0 && a[1] == 0 && a[2] == g.targetWidth - 1 && a[3] == g.targetHeight - 1;
        if (!whole)
            YYAreaLimits(0.0f, 0.0f, W, H);
        break;
    }
    default:
        break;
    }
}

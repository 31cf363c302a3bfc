// What every filled primitive shares: the two fill passes, the spacing of
// hatch and line-fill lines, the half-tone merge, the second colour of a
// two-colour line fill, the software hatching and outline of the polygon held
// in DevicePointArrays, and the outlines of a device rectangle and of the
// graphics area.
//
// The fill passes: a filled shape reaches the screen side as one fill
// DeviceOp and an open hardcopy as the odd code of its pair, with M = 1
// before the software passes and M = -1 after them. Whatever the device does
// not draw itself (hatching, outlines of hatched shapes, fills a driver asks
// for as lines) is drawn as device lines, pass 1 for the screen side and
// pass 2 for the hardcopy side; during a pass the screen-output and
// hardcopy-open words are set so that each line reaches one side only.
//
// Hatch lines start from multiples of the integer spacing in device
// coordinates, so that the hatching of neighbouring shapes lines up. A
// spacing that is not positive draws no lines. No Win32 here.
#pragma once

#include <cmath>
#include <cstdint>

#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"

// Spacing of a pass's lines in device units, as reals and as integers; the
// inset of screen lines under a combining plot mode; whether hardcopy hatch
// lines run in a zigzag.
struct HatchSpacing {
    float sx = 0.0f, sy = 0.0f;
    int isx = 0, isy = 0;
    float inset = 0.0f;
    bool alternate = false;
};

// The spacing of PASS (1 screen, 2 hardcopy) for hatch DENSITY 1..5 and the
// current fill mode. Words a row of the rule does not set keep their values.
void YYHatchSpacing(int pass, int density, HatchSpacing& s);

// OP := CODE when the half-tone fill (fill mode 3) would show one colour only.
void YYFillModeMerge(int code, int& op);

// Around the line sets of a two-colour line fill (the pass's LineFillRequest
// 2 with fill mode 3): after set 1 switches to the second colour and answers
// SET = 2 when a second set is due; after a later set puts both colours back
// and counts SET on.
void YYFillColourRound(int pass, int& set);

// Hatch lines of the N-point polygon in DevicePointArrays within the box
// (XMIN, YMIN)-(XMAX, YMAX), by the fill mode, hatch direction and density.
void YYHatchFill(int pass, float xmin, float ymin, float xmax, float ymax, int n);

// Outline of the N-point polygon in DevicePointArrays (nothing while the
// outline flag is clear); CLOSED adds the side from point N to point 1.
void YYPolygonOutline(int n, bool closed);

// Outline of a device rectangle on both sides; under a combining plot mode
// the screen sides leave out their first pixel so no corner is drawn twice.
void YYRectOutline(float x1, float y1, float x2, float y2);

// Outline of the graphics area.
void YYAreaOutline();

// ---- Helpers of the filled primitives ----------------------------------------

// A spacing lines can step by: positive, and not so large that sums of
// coordinates and spacings leave the float range.
inline bool HatchSpacingUsable(float s, int is)
{
    return !std::isnan(s) && s > 0.0f && s <= 1.0e30f && is > 0;
}

// The largest multiple of IS (above 0) not above V.
inline int64_t FloorMultiple(int64_t v, int64_t is)
{
    int64_t q = v / is;
    if (v % is != 0 && v < 0)
        --q;
    return q * is;
}

// Calls LINE(v) for v = V0, V0 + S, ... while v <= VMAX (v < VMAX when
// STRICT). Lines whose v lies below LO or above HI are outside the area and
// invisible: a long run of them at the start is stepped over (by an even
// number of steps, so that a zigzag keeps its phase) and the run stops after
// HI. Nothing when S is not positive.
template <class Line>
void HatchLineRun(float v0, float s, float vmax, bool strict, double lo, double hi, Line&& line)
{
    if (std::isnan(s) || !(s > 0.0f) || !std::isfinite(s) || std::isnan(v0) || std::isnan(vmax))
        return;
    double v = v0;
    if (v < lo - 2.0 * s) {
        double k = std::floor((lo - v) / s) - 2.0;
        if (k > 0.0) {
            k -= std::fmod(k, 2.0);
            v += k * s;
        }
    }
    const double end = std::fmin(static_cast<double>(vmax), hi + 2.0 * s);
    float fv = static_cast<float>(v);
    while (strict ? fv < end : fv <= end) {
        line(fv);
        // The single-precision sum, computed so that it cannot overflow.
        const double next = static_cast<double>(fv) + s;
        if (next > 3.0e38 || !(static_cast<float>(next) > fv))
            break;
        fv = static_cast<float>(next);
    }
}

// Runs the fill passes of a shape whose odd fill code is ODD_OP, then sends
// the closing call (M = -1, ODD_OP) to an open hardcopy. LINE_FILL: the fill
// mode is 3 or 4, so a pass runs only when its side asked for the fill as
// lines. BODY(pass) draws one pass. Each pass's LineFillRequest is cleared
// when it is over, whether it ran or not; the block's operands of the fill
// call are put back for the closing call.
template <class Body>
void YYFillPasses(int oddOp, bool lineFill, Body&& body)
{
    GraphicsState& g = gGraphicsState;
    const DeviceParameterBlock operands = gDeviceParameterBlock;
    const int screen = g.screenOutput, hardcopy = g.hardcopyOpen;
    if (screen != 0 && (!lineFill || g.LineFillRequest[kScreenSide] != 0)) {
        g.hardcopyOpen = 0;
        body(1);
        g.screenOutput = screen;
        g.hardcopyOpen = hardcopy;
    }
    g.LineFillRequest[kScreenSide] = 0;
    if (hardcopy != 0 && (!lineFill || g.LineFillRequest[kHardcopySide] != 0)) {
        g.screenOutput = 0;
        g.hardcopyOpen = 1;
        body(2);
        g.screenOutput = screen;
        g.hardcopyOpen = hardcopy;
    }
    g.LineFillRequest[kHardcopySide] = 0;
    gDeviceParameterBlock = operands;
    gDeviceParameterBlock.M = -1;
    YYHardcopyCallIfOpen(oddOp);
}

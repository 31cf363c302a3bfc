// The stroke text renderer (see stroke_text.h).
#include "fonts/stroke_text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "core/errors.h"
#include "core/numeric.h"
#include "core/string_routines.h"
#include "fonts/text_measure.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/lines.h"
#include "graphics/polygons.h"
#include "graphics/text_state.h"

StrokePointBuffers gStrokePointBuffers;

namespace {

// Digit values of the glyph alphabet; -1 for every other character.
constexpr std::array<int, 256> MakeDigitValues()
{
    std::array<int, 256> v{};
    for (int& d : v)
        d = -1;
    for (size_t i = 0; i < kStrokeDigits.size(); ++i)
        v[static_cast<unsigned char>(kStrokeDigits[i])] = static_cast<int>(i);
    return v;
}
constexpr std::array<int, 256> kDigitValues = MakeDigitValues();

// Device coordinates stay far inside the float range, so that storing one
// can never overflow; the primitives clip them to the target anyway.
constexpr double kCoordinateLimit = 1.0e30;
float ToDevice(double v) { return SaturateToFloatWithin(v, kCoordinateLimit); }

double Quotient(double a, double b)
{
    if (b == 0.0)
        return 0.0;
    const double q = a / b;
    return std::isfinite(q) ? q : 0.0;
}

int Doubled(int v)
{
    if (v > INT_MAX / 2)
        return INT_MAX;
    if (v < INT_MIN / 2)
        return INT_MIN;
    return v * 2;
}

// A character code mapped as the renderer reads the font: 32 for codes that
// draw nothing, 127 for the extra glyph.
int MapCode(int code)
{
    const StrokeFont& f = gStrokeFont;
    if (code < 32 || code == 127 || (code >= 129 && code <= 160))
        return 32;
    if (code == 128)
        return f.extraGlyphFlag ? 127 : 32;
    if (code >= 161 && f.charsetBits == 7)
        return 32;
    return code;
}

// First position and the position after the glyph of a mapped code (1-based).
void GlyphSpan(int mapped, int& first, int& next)
{
    const StrokeFont& f = gStrokeFont;
    if (mapped >= 33 && mapped <= 126) {
        first = f.lowStart[static_cast<size_t>(mapped - 33)];
        next = f.lowStart[static_cast<size_t>(mapped - 32)];
    } else if (mapped == 127) {
        first = f.lowStart[94];
        next = f.lowStart[95];
    } else if (mapped >= 161 && mapped <= 255) {
        first = f.highStart[static_cast<size_t>(mapped - 161)];
        next = f.highStart[static_cast<size_t>(mapped - 160)];
    } else {
        first = next = 0;
    }
}

// The frame of one call: glyph origin, directions and scales.
struct GlyphFrame {
    double gx, gy;     // glyph origin
    double ex, ey;     // baseline direction (c, s1)
    double ux, uy;     // up direction (-s2, c)
    double xs, ys, sh; // x scale, y scale, shear
};

void DrawContour(int n)
{
    if (n < 2)
        return;
    StrokePointBuffers& p = gStrokePointBuffers;
    if (gStrokeFont.polylineFlag == 0)
        YYPolygon(p.x.data(), p.y.data(), n, 1);
    else if (n == 2)
        YYDeviceLine(p.x[0], p.y[0], p.x[1], p.y[1]);
    else
        YYPolyline(p.x.data(), p.y.data(), n, 1);
}

// Decodes the glyph at positions FIRST..LAST of the glyph string and draws
// it contour by contour. Never reads outside the span, never writes past the
// point buffers.
void DrawGlyph(int first, int last, const GlyphFrame& fr)
{
    const auto& s = gStrokeFont.glyphString;
    StrokePointBuffers& buf = gStrokePointBuffers;
    auto at = [&](int pos) { return kDigitValues[static_cast<unsigned char>(s[static_cast<size_t>(pos - 1)])]; };
    int n = 0;
    bool cut = false;
    auto add = [&](int q) {
        if (n >= kStrokeContourMax) {
            cut = true;
            return;
        }
        const double dx = std::max(at(q), 0), dy = std::max(at(q + 1), 0);
        const double u = dx * fr.xs + dy * fr.ys * fr.sh;
        const double v = dy * fr.ys;
        buf.x[static_cast<size_t>(n)] = ToDevice(fr.gx + u * fr.ex + v * fr.ux);
        buf.y[static_cast<size_t>(n)] = ToDevice(fr.gy + u * fr.ey + v * fr.uy);
        ++n;
    };
    int p = first;
    while (p + 1 <= last) {
        n = 0;
        add(p);
        int q = p + 2;
        if (q + 1 > last) { // a lone point: nothing to draw
            break;
        }
        add(q);
        bool glyphEnds = false;
        for (;;) {
            if (q + 2 >= last) {
                glyphEnds = true;
                break;
            }
            if (at(q + 2) < 0)
                break;
            q += 2;
            add(q);
        }
        DrawContour(n);
        if (glyphEnds)
            break;
        p = q + 3;
    }
#ifndef NDEBUG
    if (cut)
        YYDebugLogText("YYStrokeText: a glyph contour longer than 152 points was cut");
#else
    (void)cut;
#endif
}

} // namespace

void YYStrokeText(float x, float y, std::string_view text, float w, float h)
{
    const StrokeFont& f = gStrokeFont;
    const StrokeWidthTable& widths = gStrokeWidthTable;
    const TextState& t = gTextState;
    GraphicsState& g = gGraphicsState;

    // 1. Scales.
    double xs = Quotient(w, f.nominalWidth);
    if (t.spacing != TextSpacing::kFixedPitch && f.cellExtentA < 8.0f)
        xs *= 0.75;
    const double ys = Quotient(h, f.nominalHeight);
    const double sh = Quotient(static_cast<double>(t.slant) * w, h);

    // 2. Text length.
    const int one = 1;
    const double length = YYTextLength(text, &one);
    const double ax = t.advanceX, ay = t.advanceY;

    // 3. Set-up.
    const bool filled = f.polylineFlag == 0;
    const bool bold = !filled && (t.style & TextStyleBits::kBold) != 0;
    int& hardcopyWidth = gHardcopyState.options[static_cast<size_t>(HardcopyOptionSlot(9))];
    const int savedFill = g.fillMode;
    const int savedScreenWidth = g.lineWidth;
    const int savedHardcopyWidth = hardcopyWidth;
    if (filled) {
        g.fillMode = kFillSolid;
        g.strokeTextFlag = 1;
    } else if (bold) {
        g.lineWidth = Doubled(g.lineWidth);
        hardcopyWidth = Doubled(hardcopyWidth);
        YYScreenDeviceCall(DeviceOp::kLineWidth);
        YYHardcopyCallIfOpen(DeviceOp::kLineWidth);
    }

    GlyphFrame fr{};
    fr.ex = t.deviceCos;
    fr.ey = t.deviceSinK;
    fr.ux = -static_cast<double>(t.deviceSinByK);
    fr.uy = t.deviceCos;
    fr.xs = xs;
    fr.ys = ys;
    fr.sh = sh;
    const bool stacked = t.stacking != 0;
    const double halfCell = 0.5 * f.cellExtentA * xs;

    // 4. Characters.
    double bx = x, by = y;
    if (stacked) {
        const double down = 0.5 * (f.cellExtentB * ys + h);
        fr.gx = x - halfCell * fr.ex - down * fr.ux;
        fr.gy = y - halfCell * fr.ey - down * fr.uy;
    }
    for (size_t k = 0; k < text.size(); ++k) {
        const int mapped = MapCode(YYCharCode(text[k]));
        double wk = 1.0;
        if (t.spacing != TextSpacing::kFixedPitch)
            wk = mapped == 127 ? widths.low[95]
                 : mapped >= 161 ? widths.high[static_cast<size_t>(mapped - 161)]
                                 : widths.low[static_cast<size_t>(mapped - 32)];
        if (stacked) {
            if (k > 0) {
                fr.gx -= h * fr.ux;
                fr.gy -= h * fr.uy;
            }
        } else {
            const double along = 0.5 * (wk * w) - halfCell;
            fr.gx = bx + along * fr.ex - 0.5 * h * fr.ux;
            fr.gy = by + along * fr.ey - 0.5 * h * fr.uy;
            bx += wk * ax;
            by += wk * ay;
        }
        if (mapped == 32)
            continue;
        int first = 0, next = 0;
        GlyphSpan(mapped, first, next);
        // An empty span, or one the store cannot hold, draws nothing.
        if (first < 1 || next <= first || next - 1 > kStrokeGlyphCapacity)
            continue;
        DrawGlyph(first, next - 1, fr);
    }

    // 5. Underline, as long as the whole text.
    if (!stacked && (t.style & TextStyleBits::kUnderline)) {
        const double ux = x - 0.45 * h * fr.ux, uy = y - 0.45 * h * fr.uy;
        YYDeviceLine(ToDevice(ux), ToDevice(uy), ToDevice(ux + length * ax), ToDevice(uy + length * ay));
    }

    // 6. Restore.
    if (filled) {
        g.fillMode = savedFill;
        g.strokeTextFlag = 0;
    } else if (bold) {
        g.lineWidth = savedScreenWidth;
        hardcopyWidth = savedHardcopyWidth;
        YYScreenDeviceCall(DeviceOp::kLineWidth);
        YYHardcopyCallIfOpen(DeviceOp::kLineWidth);
    }
}

// Graphics text drawing (see text_draw.h).
//
// Quantities of one call, in device units: R the reference point, J the part
// of the text's length before R (justification x 0.5), n the number of
// characters, Wc x Hc the nominal character cell, cw x ch the cell used for
// placing (the device font's actual cell for device text on the screen
// side), e the baseline direction, a = cw e one character along it and h one
// character height across it. A text position is the left end of the centre
// line of the first character; a stacked column's is the top centre of its
// first cell.
#include "fonts/text_draw.h"

#include <algorithm>
#include <cmath>

#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/string_routines.h"
#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "fonts/stroke_text.h"
#include "fonts/text_font.h"
#include "fonts/text_measure.h"
#include "graphics/colours.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/lines.h"
#include "graphics/polygons.h"
#include "graphics/text_state.h"

namespace {

struct Vec {
    double x = 0.0, y = 0.0;
};
Vec operator+(Vec p, Vec q) { return {p.x + q.x, p.y + q.y}; }
Vec operator-(Vec p, Vec q) { return {p.x - q.x, p.y - q.y}; }
Vec operator*(double s, Vec p) { return {s * p.x, s * p.y}; }

// Device coordinates stay far inside the float range, so that storing one
// can never overflow.
constexpr double kCoordinateLimit = 1.0e30;
float F32(double v) { return SaturateToFloatWithin(v, kCoordinateLimit); }

double Quotient(double a, double b, double otherwise)
{
    if (b == 0.0)
        return otherwise;
    const double q = a / b;
    return std::isfinite(q) ? q : otherwise;
}

bool Inside(Vec p) { return YYInsideClip(F32(p.x), F32(p.y)); }

const int kMeasureByDevice = 0;
const int kMeasureByTable = 1;

// Width of character I (1-based) of TEXT, measured as OVERRIDE says; a
// device's measure is that of DEVICE, the output of the pass.
double CharLength(int device, std::string_view text, size_t i, const int& override)
{
    return YYTextLengthOn(device, text.substr(i - 1, 1), &override);
}

void SendText(int device)
{
    if (device == kTextScreen)
        YYScreenDeviceCall(DeviceOp::kText);
    else
        YYHardcopyCallIfOpen(DeviceOp::kText);
}

void PutRun(std::string_view run)
{
    PutText(std::span<char>(gDeviceTextBuffer.text.data(), kDeviceTextLength), run);
}

// IX2 of a text sent in parts on the hardcopy: bit 0 the first, bit 1 the
// last part (3 for one part that is both).
int PartFlags(bool first, bool last) { return (first ? 1 : 0) | (last ? 2 : 0); }

// Sends the visible run as whole-string text operations (IX4 := 1 before
// each): one operation when it fits the 260-character buffer; otherwise in
// consecutive pieces of at most 260 characters, each placed where the
// previous one ended (along the baseline by the device's measure, with left
// justification for the pieces; stacked one character height lower per
// character). UNDERLINE becomes true when a driver left IX4 at 1.
void SendWhole(int device, std::string_view run, bool stacked, Vec V, Vec F, Vec E, Vec a, Vec h,
               bool& underline)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    TextState& t = gTextState;
    if (run.size() <= static_cast<size_t>(kDeviceTextLength)) {
        PutRun(run);
        b.IX[0] = static_cast<int32_t>(run.size());
        if (device == kTextHardcopy)
            b.IX[1] = 3;
        b.IX[3] = 1;
        SendText(device);
        underline = b.IX[3] == 1;
        return;
    }
    const int savedJustification = t.justification;
    if (!stacked)
        t.justification = 0;
    underline = false;
    double before = 0.0;
    for (size_t off = 0; off < run.size(); off += kDeviceTextLength) {
        const std::string_view piece = run.substr(off, kDeviceTextLength);
        const bool last = off + piece.size() >= run.size();
        Vec start;
        if (stacked) {
            start = V - static_cast<double>(off) * h;
        } else {
            start = V + before * a;
            const double w = last ? 0.0 : YYTextLengthOn(device, piece, &kMeasureByDevice);
            const Vec end = start + w * a;
            b.X[2] = F32(last ? F.x : end.x);
            b.Y[2] = F32(last ? F.y : end.y);
            b.X[3] = F32(last ? E.x : end.x);
            b.Y[3] = F32(last ? E.y : end.y);
            before += w;
        }
        b.X[0] = F32(start.x);
        b.Y[0] = F32(start.y);
        PutRun(piece);
        b.IX[0] = static_cast<int32_t>(piece.size());
        if (device == kTextHardcopy)
            b.IX[1] = PartFlags(off == 0, last);
        b.IX[3] = 1;
        SendText(device);
        if (b.IX[3] == 1)
            underline = true;
    }
    t.justification = savedJustification;
}

} // namespace

void YYTextBox(float x, float y, std::string_view text, int override, int screen, int hardcopy)
{
    GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    const int selector = screen == 0 ? 2 : (hardcopy == 0 ? 1 : 0);

    // 1. The previous colour becomes the current one for the box.
    const int number = g.currentNumber, rgb = g.currentRgb, device = g.currentDevice;
    const int fill = g.fillMode;
    YYColourSetDirect(g.previousNumber, g.previousRgb, g.previousDevice, selector);

    // 2. Corners.
    const Vec X{x, y};
    const Vec a{t.advanceX, t.advanceY};
    const Vec h{-static_cast<double>(t.upX), t.upY};
    Vec P[4];
    if (t.stacking == 0) {
        const double T = YYTextLength(text, &override);
        P[0] = X - 0.5 * h;
        P[1] = P[0] + T * a;
        P[2] = P[1] + h;
        P[3] = P[2] - T * a;
    } else {
        double W = 0.0;
        if (!text.empty() && t.spacing == TextSpacing::kFixedPitch)
            W = 1.0;
        else
            for (char c : text)
                W = std::max(W, static_cast<double>(YYStrokeCharWidth(YYCharCode(c))));
        const double n = static_cast<double>(text.size());
        P[0] = X - 0.5 * W * a;
        P[1] = P[0] - n * h;
        P[2] = P[1] + W * a;
        P[3] = P[2] + n * h;
    }
    float px[5], py[5];
    for (int i = 0; i < 5; ++i) {
        px[i] = F32(P[i % 4].x);
        py[i] = F32(P[i % 4].y);
    }

    // 3. Solid, to the chosen outputs only; then everything back.
    const int screenOutput = g.screenOutput, hardcopyOpen = g.hardcopyOpen;
    g.fillMode = kFillSolid;
    g.screenOutput = screen;
    g.hardcopyOpen = hardcopy;
    YYPolygon(px, py, 5, 1);
    g.screenOutput = screenOutput;
    g.hardcopyOpen = hardcopyOpen;
    YYColourSetDirect(number, rgb, device, selector);
    g.fillMode = fill;
}

namespace {

// Step 2, the metrics of one pass: the nominal cell Wc x Hc, the cell
// cw x ch used for placing, e, a and h, and the text's length TL in cells.
// The advance and up vectors are also written into TextState. Every length
// of a pass is measured by the output it serves, DEVICE, which is what that
// output prints.
struct PassMetrics {
    int device = kTextScreen;
    double Wc = 0.0, Hc = 0.0, cw = 0.0, ch = 0.0;
    Vec e, a, h;
    double tl = 0.0;
};

PassMetrics PassMetricsFor(int device, bool deviceCell, std::string_view text)
{
    TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    PassMetrics m;
    m.device = device;
    m.Wc = static_cast<double>(t.charWidth) * g.orientedAreaSize[0];
    m.Hc = static_cast<double>(t.charHeight) * g.orientedAreaSize[1];
    m.cw = m.Wc;
    m.ch = m.Hc;
    if (deviceCell) {
        m.cw = Quotient(g.orientedLimit[0], t.textScaleX, m.Wc);
        m.ch = Quotient(g.orientedLimit[1], t.textScaleY, m.Hc);
    }
    t.advanceX = F32(m.cw * t.deviceCos);
    t.advanceY = F32(m.cw * t.deviceSinK);
    t.upY = F32(m.ch * t.deviceCos);
    t.upX = F32(m.ch * t.deviceSinByK);
    m.e = Vec{t.deviceCos, t.deviceSinK};
    m.a = Vec{t.advanceX, t.advanceY};
    m.h = Vec{-static_cast<double>(t.upX), t.upY};
    m.tl = t.spacing == TextSpacing::kFixedPitch ? static_cast<double>(text.size())
                                                 : YYTextLengthOn(device, text, &kMeasureByDevice);
    return m;
}

// Step 3, the placement: S0 the start of the text, E and F the ends of its
// baseline by the device's and by the nominal measure (not for a stacked
// column), P the pen after it. The pen after a stacked column stands where
// a column drawn next would continue it (left justification: one cell below
// its last character), measured in nominal cells like the pen after text
// along the baseline.
struct Placement {
    Vec S0, E, F, P;
};

Placement PlacementFor(Vec R, double J, size_t n, bool stacked, const PassMetrics& m)
{
    const TextState& t = gTextState;
    Placement p;
    if (!stacked) {
        const double L = m.tl * m.cw, Lw = m.tl * m.Wc;
        p.S0 = R - (J * L) * m.e;
        p.E = p.S0 + L * m.e;
        p.F = R + ((1.0 - J) * Lw) * m.e;
        p.P = R + (J * m.Wc + (1.0 - J) * Lw) * m.e;
    } else {
        p.S0 = R + (J * static_cast<double>(n)) * m.h;
        const Vec hNominal{-m.Hc * t.deviceSinByK, m.Hc * t.deviceCos};
        p.P = R - (J + (1.0 - J) * static_cast<double>(n)) * hNominal;
    }
    return p;
}

// Step 6, one pass of stroke text: the box (when asked for) and the strokes
// at S0 in a cell of CW x CH. FORCED 1 (the screen side) or 2 (the
// hardcopy) draws on that side only, upright or at the italic slant of
// STYLE; 0 (the built-in font chosen) on every active output at once.
void StrokePass(int forced, int style, std::string_view text, Vec S0, double cw, double ch)
{
    TextState& t = gTextState;
    GraphicsState& g = gGraphicsState;
    if (forced)
        t.slant = (style & TextStyleBits::kItalic) ? kItalicSlant : 0.0f;
    const int screenOutput = g.screenOutput, hardcopyOpen = g.hardcopyOpen;
    if (forced == 1)
        g.hardcopyOpen = 0;
    else if (forced == 2)
        g.screenOutput = 0;
    if (style & TextStyleBits::kBox)
        YYTextBox(F32(S0.x), F32(S0.y), text, kMeasureByTable, g.screenOutput, g.hardcopyOpen);
    YYStrokeText(F32(S0.x), F32(S0.y), text, F32(cw), F32(ch));
    g.screenOutput = screenOutput;
    g.hardcopyOpen = hardcopyOpen;
}

// Step 7: when DEVICE limits its own text and a cell of CW x CH is beyond
// it, the stroke face of the current family replaces the device font (the
// font saved first) and the result is true.
bool StrokeFontForced(int device, double cw, double ch)
{
    TextState& t = gTextState;
    if (!(t.sizeLimit[static_cast<size_t>(device)] < kNoTextSizeLimit))
        return false;
    int need = 0;
    YYNeedStrokeFont(device, F32(cw), F32(ch), need);
    if (need == 0)
        return false;
    YYFontSaveRestore(-1);
    switch (t.family) {
    case TextFontFamily::kSwiss: YYFontSwissSelect(); break;
    case TextFontFamily::kRoman: YYFontRomanSelect(); break;
    case TextFontFamily::kSymbol: YYFontSymbol(); break;
    default: YYFontFixedSelect(); break;
    }
    t.builtInFont = 1;
    return true;
}

// Step 9, the visible run: characters are dropped from both ends until the
// ends of the run lie inside the clip box. FIRST and LAST (1-based) bound
// the run, V := its position; F and E move back with the dropped end.
// False when no character is visible.
bool VisibleRun(std::string_view text, bool stacked, const PassMetrics& m, Vec S, Vec& F, Vec& E, size_t& first,
                size_t& last, Vec& V)
{
    const size_t n = text.size();
    const Vec a = m.a, h = m.h;
    first = 1;
    last = n;
    const Vec halfH = 0.5 * h, halfA = 0.5 * a;
    if (!stacked) {
        const Vec start = S;
        while (!(Inside(S + halfH) && Inside(S - halfH))) {
            S = S + CharLength(m.device, text, first, kMeasureByDevice) * a;
            if (++first > n)
                return false;
        }
        Vec end = start + YYTextLengthOn(m.device, text, &kMeasureByDevice) * a;
        while (!(Inside(end + halfH) && Inside(end - halfH))) {
            const Vec step = CharLength(m.device, text, last, kMeasureByDevice) * a;
            end = end - step;
            F = F - step;
            E = E - step;
            if (--last < first)
                return false;
        }
        V = S;
        return true;
    }
    bool visible = false;
    for (size_t i = 1; i <= n; ++i) {
        const Vec top = S - static_cast<double>(i - 1) * h;
        if (Inside(top - halfA) && Inside(top + halfA)) {
            first = i;
            visible = true;
            break;
        }
    }
    if (!visible)
        return false;
    visible = false;
    for (size_t i = n; i >= first; --i) {
        const Vec bottom = S - static_cast<double>(i) * h;
        if (Inside(bottom - halfA) && Inside(bottom + halfA)) {
            last = i;
            visible = true;
            break;
        }
    }
    V = S - halfA - halfH - static_cast<double>(first - 1) * h;
    return visible;
}

// Step 12, the screen side: whole strings, or character by character at
// the width table's advances. True when the underline is left to draw.
bool SendScreenRun(std::string_view run, bool stacked, Vec V, Vec F, Vec E, const PassMetrics& m)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    if (stacked || gTextState.spacing != TextSpacing::kWidthTable) {
        bool underlineLeft = false;
        SendWhole(kTextScreen, run, stacked, V, F, E, m.a, m.h, underlineLeft);
        return underlineLeft;
    }
    Vec at = V;
    b.IX[0] = 1;
    for (size_t i = 0; i < run.size(); ++i) {
        PutRun(run.substr(i, 1));
        b.X[0] = F32(at.x);
        b.Y[0] = F32(at.y);
        SendText(kTextScreen);
        at = at + CharLength(kTextScreen, run, i + 1, kMeasureByTable) * m.a;
    }
    return true;
}

// Step 13, the hardcopy, a stacked column character by character, each
// centred in its cell; Q the page's aspect correction.
void SendHardcopyColumn(std::string_view run, Vec V, const PassMetrics& m, double q)
{
    TextState& t = gTextState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const int savedJustification = t.justification, savedSpacing = t.spacing;
    const bool ownSpacing = t.deviceProportional[1] == 1;
    if (t.spacing != TextSpacing::kFixedPitch && ownSpacing) {
        t.justification = 1;
        t.spacing = TextSpacing::kDevice;
    }
    const Vec along{t.advanceX, t.advanceY * q};
    b.IX[0] = 1;
    for (size_t i = 0; i < run.size(); ++i) {
        Vec at = V - static_cast<double>(i) * m.h;
        if (t.spacing != TextSpacing::kFixedPitch) {
            const double shift = ownSpacing ? 0.5 : 0.5 * (1.0 - CharLength(kTextHardcopy, run, i + 1, kMeasureByDevice));
            at = at + shift * along;
        }
        PutRun(run.substr(i, 1));
        b.X[0] = F32(at.x);
        b.Y[0] = F32(at.y);
        b.X[2] = F32(at.x + t.deviceCos);
        b.Y[2] = F32(at.y + t.deviceSinK);
        b.IX[1] = PartFlags(i == 0, i + 1 == run.size());
        SendText(kTextHardcopy);
    }
    t.justification = savedJustification;
    t.spacing = savedSpacing;
}

// Step 13, the hardcopy: a whole string, characters along the baseline, or
// a stacked column. True when the underline is left to draw.
bool SendHardcopyRun(std::string_view run, bool stacked, Vec V, Vec F, Vec E, const PassMetrics& m, double q)
{
    const TextState& t = gTextState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    if (stacked) {
        SendHardcopyColumn(run, V, m, q);
        return true;
    }
    if (t.spacing == TextSpacing::kFixedPitch ||
        (t.spacing == TextSpacing::kDevice && t.deviceProportional[1] == 1)) {
        bool underlineLeft = false;
        SendWhole(kTextHardcopy, run, stacked, V, F, E, m.a, m.h, underlineLeft);
        return underlineLeft;
    }
    double x = V.x, y = V.y;
    b.IX[0] = 1;
    for (size_t i = 0; i < run.size(); ++i) {
        PutRun(run.substr(i, 1));
        b.X[0] = F32(x);
        b.Y[0] = F32(y);
        b.IX[1] = PartFlags(i == 0, i + 1 == run.size());
        SendText(kTextHardcopy);
        const double w = CharLength(kTextHardcopy, run, i + 1, kMeasureByTable);
        x += w * t.advanceX;
        y += w * t.advanceY * q;
    }
    return true;
}

// Step 14, the underline that the device did not draw, on DEVICE's side
// only, placed by the justification between V and F.
void UnderlineDraw(int device, std::string_view run, Vec V, Vec F, const PassMetrics& m, double q)
{
    const TextState& t = gTextState;
    GraphicsState& g = gGraphicsState;
    const int screenOutput = g.screenOutput, hardcopyOpen = g.hardcopyOpen;
    if (device == kTextScreen)
        g.hardcopyOpen = 0;
    else
        g.screenOutput = 0;
    const double U = YYTextLengthOn(device, run, &kMeasureByDevice) * m.cw;
    const Vec o = (0.45 * m.ch) * Vec{t.deviceSinByK, -static_cast<double>(t.deviceCos)};
    const double s = device == kTextScreen ? t.deviceSinK : t.deviceSinK * q;
    const Vec Ub = U * Vec{t.deviceCos, s};
    Vec from;
    if (t.justification == 0)
        from = V + o;
    else if (t.justification == 2)
        from = F + o - Ub;
    else
        from = 0.5 * (V + F - Ub) + o;
    const Vec to = from + Ub;
    YYDeviceLine(F32(from.x), F32(from.y), F32(to.x), F32(to.y));
    g.screenOutput = screenOutput;
    g.hardcopyOpen = hardcopyOpen;
}

} // namespace

void YYTextDraw(const float* xp, const float* yp, std::string_view text)
{
    TextState& t = gTextState;
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;

    // 1. Set-up.
    float rx = 0.0f, ry = 0.0f;
    YYWorldToDevice(xp ? *xp : g.penPosition[0], yp ? *yp : g.penPosition[1], rx, ry);
    const Vec R{rx, ry};
    const double J = t.justification * 0.5;
    const size_t n = text.size();
    const bool stacked = t.stacking != 0;
    const int style = t.style;
    const int savedLineStyle = g.lineStyle;
    const int stroke = t.builtInFont;
    int forced = 0;
    int device = (g.screenOutput == 0 && g.hardcopyOpen > 0) ? kTextHardcopy : kTextScreen;
    const int solid = 0;

    for (;;) {
        // 2, 3. Metrics and placement of the pass.
        const PassMetrics m = PassMetricsFor(device, device == kTextScreen && !stroke && !forced, text);
        const double cw = m.cw, ch = m.ch;
        Placement place = PlacementFor(R, J, n, stacked, m);
        const Vec S0 = place.S0;
        Vec E = place.E, F = place.F;

        // 4. Solid lines for strokes and the underline.
        if (g.lineStyle != 0 && (stroke || forced || (!stacked && (style & TextStyleBits::kUnderline))))
            IGrLineStyleSelect(&solid);

        // 5. The pen moves before anything is drawn.
        if (device == kTextScreen || g.screenOutput == 0) {
            float wx = 0.0f, wy = 0.0f;
            YYDeviceToWorld(F32(place.P.x), F32(place.P.y), wx, wy);
            YYPenMoveTo(wx, wy);
        }

        // 6. Stroke text.
        if (stroke || forced) {
            const float savedSlant = t.slant;
            StrokePass(forced, style, text, S0, cw, ch);
            if (stroke)
                break; // the primitives served every active output at once
            YYFontSaveRestore(0);
            t.slant = savedSlant;
            if (forced == 2 || g.hardcopyOpen <= 0)
                break;
            forced = 0;
            device = kTextHardcopy;
            continue;
        }

        // 7. Stroke decision for a device that limits its own text.
        if (StrokeFontForced(device, cw, ch)) {
            forced = device == kTextScreen ? 1 : 2;
            continue;
        }

        // 9 (first part). An empty text ends here, without a further pass.
        if (n == 0)
            break;

        // 8. Proportional device text starts 0.14 of its first character
        // later and ends 0.14 of its last one earlier.
        Vec S = S0;
        if (!stacked && t.spacing != TextSpacing::kFixedPitch) {
            const double wFirst = CharLength(device, text, 1, kMeasureByDevice);
            const double wLast = CharLength(device, text, n, kMeasureByDevice);
            S = S + (0.14 * wFirst) * m.a;
            F = F - (0.14 * wLast) * m.a;
            E = E - (0.14 * wLast) * m.a;
        }

        // 9. The visible run.
        size_t first = 1, last = n;
        Vec V;
        if (!VisibleRun(text, stacked, m, S, F, E, first, last, V))
            break; // nothing to draw, and no further pass
        const std::string_view run = text.substr(first - 1, last - first + 1);

        // 10. Background box where the device does not draw it.
        const int passScreen = device == kTextScreen ? g.screenOutput : 0;
        if (style & TextStyleBits::kBox) {
            if (stacked) {
                const Vec at = V + 0.5 * m.a + 0.5 * m.h;
                YYTextBox(F32(at.x), F32(at.y), run, kMeasureByTable, passScreen, device);
            } else if (t.spacing == TextSpacing::kWidthTable ||
                       (device == kTextHardcopy && t.hardcopyTextBox == 0)) {
                YYTextBox(F32(V.x), F32(V.y), run, kMeasureByTable, passScreen, device);
            }
        }

        // 11. Operands.
        b.X[0] = F32(V.x);
        b.Y[0] = F32(V.y);
        b.X[1] = F32(cw);
        b.Y[1] = F32(ch);
        if (!stacked) {
            b.X[2] = F32(F.x);
            b.Y[2] = F32(F.y);
            b.X[3] = F32(E.x);
            b.Y[3] = F32(E.y);
        }
        const double q = Quotient(gHardcopyState.pageAspect, g.aspect, 1.0);

        // 12, 13. The text to the device of the pass.
        const bool underlineLeft = device == kTextScreen ? SendScreenRun(run, stacked, V, F, E, m)
                                                         : SendHardcopyRun(run, stacked, V, F, E, m, q);

        // 14. The underline that the device did not draw.
        if (!stacked && (style & TextStyleBits::kUnderline) && underlineLeft)
            UnderlineDraw(device, run, V, F, m, q);

        // 15. After the screen side, an open hardcopy.
        if (device == kTextScreen && g.hardcopyOpen > 0) {
            device = kTextHardcopy;
            continue;
        }
        break;
    }

    if (g.lineStyle != savedLineStyle)
        IGrLineStyleSelect(&savedLineStyle);
}

// HP-GL command writers and the drawing steps both HP-GL drivers share (see
// hpgl_commands.h).
#include "hardcopy/hpgl_commands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "core/fixed_fields.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/file_driver_support.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_colours.h"
#include "hardcopy/plot_file_driver.h"
#include "hardcopy/plot_output.h"

HpglCommandState gHpglCommandState;

namespace {

// Longest text the writers take (YYHpglTextWrite), and the longest encoded
// polyline line with its ";", and where such a line normally ends.
constexpr size_t kCommandLength = 50;
constexpr size_t kPolylineLineLimit = 260;
constexpr size_t kPolylineBreak = 247;

int Option(int code) { return gHardcopyState.options[static_cast<size_t>(HardcopyOptionSlot(code))]; }

void PutLine(std::string_view line)
{
    if (gHpglCommandState.linePrefix == 1) {
        static constexpr std::uint8_t kBlank[] = {' '};
        YYPlotPutBytes(kPlotUnit, kBlank, 1);
    }
    YYPlotPutLine(kPlotUnit, line);
}

bool PenIsAt(double x, double y)
{
    const auto& p = gHardcopyState.lastPosition;
    return static_cast<double>(p[0]) == x && static_cast<double>(p[1]) == y;
}

// A device coordinate of the block, a number.
double Coord(float v) { return ClampToFloatRange(v); }

} // namespace

// ---- Composing --------------------------------------------------------------------

void HpglPenAt(double x, double y) { gHardcopyState.lastPosition = {SaturateToFloat(x), SaturateToFloat(y)}; }

std::string HpglSqueeze(std::string_view text)
{
    std::string out(text.substr(0, std::min<size_t>(2, text.size())));
    out.resize(2, ' ');
    bool blank = false;
    for (size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') {
            blank = out.size() > 2; // a run right after the mnemonic goes
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

void HpglInt(std::string& out, int64_t value, int width)
{
    const size_t at = out.size();
    AppendIntField(out, value, width);
    if (out.size() - at > static_cast<size_t>(width))
        out.insert(at, 1, ' ');
}

void HpglFixed(std::string& out, double value, int width, int decimals)
{
    const size_t at = out.size();
    AppendFixedField(out, ClampToFloatRange(value), width, decimals);
    if (out.size() - at > static_cast<size_t>(width))
        out.insert(at, 1, ' ');
}

void HpglEncode(std::string& out, int64_t value)
{
    // Deltas of 32-bit plot units: the doubled magnitude fits 64 bits.
    uint64_t v = value >= 0 ? 2 * static_cast<uint64_t>(value) : 2 * (0 - static_cast<uint64_t>(value)) + 1;
    while (v >= 32) {
        out += static_cast<char>(v % 32 + 63);
        v /= 32;
    }
    out += static_cast<char>(v + 95);
}

int32_t HpglUnitsX(double x) { return YYDeviceTrunc(x * static_cast<double>(gHardcopyState.scaleX)); }
int32_t HpglUnitsY(double y) { return YYDeviceTrunc(y * static_cast<double>(gHardcopyState.scaleY)); }

// ---- Writers -------------------------------------------------------------------------

void YYHpglCommandWrite(std::string_view command) { PutLine(HpglSqueeze(command)); }

void YYHpglTextWrite(std::string_view text) { PutLine(HpglSqueeze(text.substr(0, std::min(text.size(), kCommandLength)))); }

void YYHpglLineWrite(std::string_view text) { PutLine(text); }

void YYHpglLabelWrite(std::string_view text)
{
    static constexpr std::uint8_t kLabel[] = {' ', 'L', 'B'};
    if (gHpglCommandState.linePrefix == 1)
        YYPlotPutBytes(kPlotUnit, kLabel, 3);
    else
        YYPlotPutBytes(kPlotUnit, std::span<const std::uint8_t>(kLabel + 1, 2), 2);
    YYPlotPutLine(kPlotUnit, text);
}

void YYHpglPointCommand(std::string_view mnemonic, double x, double y)
{
    std::string s(mnemonic.substr(0, 2));
    HpglInt(s, HpglUnitsX(x), 6);
    HpglInt(s, HpglUnitsY(y), 6);
    YYHpglCommandWrite(s);
}

void YYHpglEncodedPolyline(int n)
{
    const DevicePointArrays& a = gDevicePointArrays;
    n = std::min<int>(n, static_cast<int>(std::min(a.x.size(), a.y.size())));
    std::string line = "PE7";
    if (n >= 2) {
        int64_t px = HpglUnitsX(Coord(a.x[0])), py = HpglUnitsY(Coord(a.y[0]));
        std::string point;
        for (size_t i = 1; i < static_cast<size_t>(n); ++i) {
            const int64_t x = HpglUnitsX(Coord(a.x[i])), y = HpglUnitsY(Coord(a.y[i]));
            point.clear();
            HpglEncode(point, x - px);
            HpglEncode(point, y - py);
            if (line.size() >= kPolylineBreak || line.size() + point.size() + 1 > kPolylineLineLimit) {
                line += ';';
                YYHpglLineWrite(line);
                line = "PE7";
            }
            line += point;
            px = x;
            py = y;
        }
    }
    line += ';';
    YYHpglLineWrite(line);
}

void YYHpglPenColour(int pen, int red, int green, int blue)
{
    std::array<int, 3> c = {std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255)};
    ColourSwapBytes(c, Option(6));
    std::string s = "PC";
    HpglInt(s, pen, 4);
    for (int v : c) {
        s += ' ';
        HpglInt(s, v, 3);
    }
    YYHpglCommandWrite(s);
}

void YYHpglFillPattern(uint32_t mask)
{
    for (int half = 0; half < 2; ++half) {
        std::string line;
        for (int k = 0; k < 16; ++k) {
            const bool clear = ((mask >> (16 * half + k)) & 1u) == 0;
            line += clear ? '1' : '0';
            line += ',';
        }
        if (half == 1)
            line.back() = ';';
        YYHpglLineWrite(line);
    }
}

uint32_t HpglCheckerboard(uint32_t first, uint32_t second)
{
    uint32_t out = 0;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 8; ++column) {
            const int bit = 8 * row + column;
            const uint32_t from = (row + column) % 2 == 0 ? first : second;
            out |= from & (1u << bit);
        }
    return out;
}

void YYHpglArcCommand(int op, bool plotter)
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    const GraphicsState& g = gGraphicsState;
    gHardcopyState.pagePending = -1;
    const bool arcOnly = g.fillMode == kFillOutline && g.hatchDensity > 2;
    if (!(op == DeviceOp::kArc && arcOnly)) {
        YYHpglPointCommand("PU", Coord(b.X[0]), Coord(b.Y[0]));
        if (!plotter && (g.fillMode == kFillHatch || g.fillMode == kFillCrossHatch))
            HpglComment(4, HpglFillFields());
    }
    // Angles in degrees: a sweep beyond a full turn draws nothing more (and
    // would keep a reader turning), a start is taken modulo a turn.
    const double startDegrees = std::fmod(Coord(b.X[3]), 360.0);
    const double sweepDegrees = std::clamp(Coord(b.Y[3]), -360.0, 360.0);
    const HpglStretch stretch = HpglStretchedScale(1.0);
    const double radius = Coord(b.X[1]) * stretch.radius * static_cast<double>(gHardcopyState.scaleX);
    const double cx = Coord(b.X[0]) * stretch.centreX, cy = Coord(b.Y[0]) * stretch.centreY;
    if (arcOnly) {
        const double ux = cx * static_cast<double>(gHardcopyState.scaleX);
        const double uy = cy * static_cast<double>(gHardcopyState.scaleY);
        const double start = Coord(b.X[2]);
        std::string s = "PU";
        HpglInt(s, YYDeviceTrunc(radius * std::cos(start) + ux), 6);
        HpglInt(s, YYDeviceTrunc(radius * std::sin(start) + uy), 6);
        YYHpglCommandWrite(s);
        YYHpglTextWrite(plotter ? "PD" : "PD;");
        s = "AA";
        HpglInt(s, YYDeviceTrunc(ux), 6);
        HpglInt(s, YYDeviceTrunc(uy), 6);
        HpglFixed(s, sweepDegrees, 7, 1);
        YYHpglCommandWrite(s);
        // The end of the arc lies in the stretched scale; the next drawing
        // lifts the pen to where it starts.
        HpglPenAt(-9999.0, -9999.0);
    } else {
        std::string s = op == DeviceOp::kSectorHalftone ? "WG" : "EW";
        HpglInt(s, YYDeviceTrunc(radius), 6);
        HpglFixed(s, startDegrees, 7, 1);
        HpglFixed(s, sweepDegrees, 7, 1);
        YYHpglCommandWrite(s);
        HpglPenAt(Coord(b.X[0]), Coord(b.Y[0]));
    }
    YYHpglCommandWrite(kHpglScale);
}

void HpglComment(int code, std::string_view fields)
{
    std::string s = "CO\"";
    AppendIntField(s, code, 0);
    s += fields;
    s += "\";";
    YYHpglCommandWrite(s);
}

std::string HpglFillFields()
{
    const GraphicsState& g = gGraphicsState;
    std::string s;
    for (int v : {g.fillMode, g.hatchDensity, g.hatchDirection, g.outline}) {
        s += ' ';
        HpglInt(s, v, 1);
    }
    return s;
}

// ---- What both drivers do alike ------------------------------------------------------

int HpglShapeCode(int op)
{
    switch (op) {
    case DeviceOp::kEllipseHalftone: return 5;
    case DeviceOp::kQuadHalftone: return 8;
    case DeviceOp::kRectangleHalftone: return 6;
    case DeviceOp::kTriangleHalftone: return 7;
    case DeviceOp::kSectorHalftone: return 4;
    default: return 11;
    }
}

void HpglEllipse(bool fill, void (*note)())
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    const double x = Coord(b.X[0]), y = Coord(b.Y[0]);
    YYHpglPointCommand("PU", x, y);
    if (note)
        note();
    const HpglStretch stretch = HpglStretchedScale(Coord(b.X[2]));
    if (fill)
        YYHpglTextWrite("PM0");
    std::string ci = "CI";
    HpglInt(ci, HpglUnitsX(Coord(b.X[1]) * stretch.radius), 6);
    HpglInt(ci, 0, 6);
    YYHpglCommandWrite(ci);
    if (fill)
        YYHpglTextWrite("PM2;FP");
    HpglPenAt(x, y);
    YYHpglCommandWrite(kHpglScale);
}

HpglPage HpglCorners(double unitsPerPoint)
{
    auto units = [&](int64_t points) { return static_cast<int64_t>(YYDeviceTrunc(static_cast<double>(points) * unitsPerPoint)); };
    HpglPage p;
    p.p1x = units(Option(3));
    p.p1y = units(Option(4));
    p.p2x = units(static_cast<int64_t>(Option(1)) + Option(3));
    p.p2y = units(static_cast<int64_t>(Option(2)) + Option(4));
    return p;
}

void HpglScaleFactors()
{
    HardcopyState& h = gHardcopyState;
    h.scaleX = static_cast<float>(kHpglScaleTop) / DriverExtent(gGraphicsState.targetWidth);
    h.scaleY = static_cast<float>(kHpglScaleTop) / DriverExtent(gGraphicsState.targetHeight);
}

void HpglPlotHead(const HpglPage& page, bool rotate, char terminator)
{
    auto corners = [&](std::string s) {
        for (int64_t v : {page.p1x, page.p1y, page.p2x, page.p2y})
            HpglInt(s, v, 7);
        YYHpglCommandWrite(s);
    };
    corners("IN; IP");
    corners(rotate ? "RO 90; IP" : "RO  0; IP");
    // The terminator goes as it is: the squeeze would drop a blank one.
    std::string dt = "DT";
    dt += terminator;
    YYHpglLineWrite(dt);
    YYHpglTextWrite("DI1. 0.");
}

void HpglInputWindow(const HpglPage& page, double unitsPerPoint)
{
    const GraphicsState& g = gGraphicsState;
    const double fx = Option(1) * unitsPerPoint / DriverExtent(gGraphicsState.targetWidth);
    const double fy = Option(2) * unitsPerPoint / DriverExtent(gGraphicsState.targetHeight);
    const auto& a = g.deviceArea;
    const int64_t x1 = static_cast<int64_t>(YYDeviceTrunc(Coord(a[0]) * fx)) + page.p1x;
    const int64_t y1 = static_cast<int64_t>(YYDeviceTrunc(Coord(a[1]) * fy)) + page.p1y;
    const int64_t x2 = std::min(static_cast<int64_t>(YYDeviceTrunc(Coord(a[2]) * fx + 0.99)) + page.p1x, page.p2x);
    const int64_t y2 = std::min(static_cast<int64_t>(YYDeviceTrunc(Coord(a[3]) * fy + 0.99)) + page.p1y, page.p2y);
    YYHpglTextWrite("SC");
    std::string s = "IW";
    for (int64_t v : {x1, y1, x2, y2})
        HpglInt(s, v, 7);
    YYHpglCommandWrite(s);
    YYHpglCommandWrite(kHpglScale);
}

void HpglMoveTo(double x, double y)
{
    if (!PenIsAt(x, y))
        YYHpglPointCommand("PU", x, y);
}

void HpglLine()
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    gHardcopyState.pagePending = -1;
    HpglMoveTo(Coord(b.X[0]), Coord(b.Y[0]));
    YYHpglPointCommand("PD", Coord(b.X[1]), Coord(b.Y[1]));
    HpglPenAt(Coord(b.X[1]), Coord(b.Y[1]));
}

void HpglPoint()
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    gHardcopyState.pagePending = -1;
    HpglMoveTo(Coord(b.X[0]), Coord(b.Y[0]));
    YYHpglPointCommand("PD", Coord(b.X[0]), Coord(b.Y[0]));
    HpglPenAt(Coord(b.X[0]), Coord(b.Y[0]));
}

void HpglLineType(std::string_view pattern)
{
    std::string s = "LT";
    s += pattern;
    YYHpglCommandWrite(s);
}

void HpglTextDirection()
{
    const TextState& t = gTextState;
    std::string s = "DI";
    HpglFixed(s, t.deviceCos, 6, 3);
    s += ' ';
    HpglFixed(s, t.deviceSinK, 6, 3);
    YYHpglCommandWrite(s);
}

void HpglPenWidth(double width, double lo, double hi)
{
    std::string s = "PW";
    HpglFixed(s, std::clamp(ClampToFloatRange(width), lo, hi), 5, 3);
    YYHpglCommandWrite(s);
}

HpglStretch HpglStretchedScale(double heightRatio)
{
    const GraphicsState& g = gGraphicsState;
    const double a = ClampToFloatRange(g.areaFractionSize[0]), b = ClampToFloatRange(g.areaFractionSize[1]);
    const double r = ClampToFloatRange(gHardcopyState.pageAspect);
    const double h = ClampToFloatRange(heightRatio);
    const double top = kHpglScaleTop;
    const bool upright = g.pageRotation % 180 == 0;
    const double numerator = upright ? top * a : top * a * r * h;
    const double denominator = upright ? b * r * h : b;
    // A degenerate area, aspect or ratio keeps the plain scale; otherwise k
    // stays where both ranges are at least 1.
    constexpr int64_t kSquare = static_cast<int64_t>(kHpglScaleTop) * kHpglScaleTop;
    int64_t k = kHpglScaleTop;
    if (numerator > 0.0 && denominator > 0.0) {
        const double v = numerator / denominator;
        if (v >= 1.0)
            k = std::min<int64_t>(YYDeviceTrunc(v), kSquare);
    }
    HpglStretch s;
    std::string sc = "SC0 ";
    if (k > kHpglScaleTop) {
        const int64_t xTop = kSquare / k;
        HpglInt(sc, xTop, 5);
        sc += " 0 ";
        HpglInt(sc, kHpglScaleTop, 5);
        s.radius = top / static_cast<double>(k);
        s.centreX = static_cast<double>(xTop) / top;
    } else {
        HpglInt(sc, kHpglScaleTop, 5);
        sc += " 0 ";
        HpglInt(sc, k, 5);
        s.centreY = static_cast<double>(k) / top;
    }
    YYHpglCommandWrite(sc);
    return s;
}

void HpglTextPoint(double p, double q, int justification, double& x, double& y)
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    const TextState& t = gTextState;
    const double d1 = ClampToFloatRange(t.advanceX), d2 = ClampToFloatRange(t.advanceY), d3 = ClampToFloatRange(t.upY), d4 = ClampToFloatRange(t.upX);
    const double xs = Coord(b.X[0]) + q * d1 + p * d4, ys = Coord(b.Y[0]) + q * d2 - p * d3;
    const double xe = Coord(b.X[2]) + q * d1 + p * d4, ye = Coord(b.Y[2]) + q * d2 - p * d3;
    x = xs;
    y = ys;
    if (justification == 1) {
        x = 0.5 * (xs + xe);
        y = 0.5 * (ys + ye);
    } else if (justification == 2) {
        x = xe;
        y = ye;
    }
    x = ClampToFloatRange(x);
    y = ClampToFloatRange(y);
}

void HpglRelativeSize(double t1, double t2, double cellFactor)
{
    const GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    const bool turned = g.pageRotation % 180 != 0;
    const double wp = turned ? DriverExtent(gGraphicsState.targetHeight) : DriverExtent(gGraphicsState.targetWidth);
    const double hp = turned ? DriverExtent(gGraphicsState.targetWidth) : DriverExtent(gGraphicsState.targetHeight);
    const double cw = ClampToFloatRange(t.charWidth) * ClampToFloatRange(g.orientedAreaSize[0]);
    const double ch = ClampToFloatRange(t.charHeight) * ClampToFloatRange(g.orientedAreaSize[1]);
    double w = 100.0 * cw * t1 / (wp * cellFactor);
    double h = 100.0 * ch * t2 / (2.0 * hp);
    if (turned) {
        double r = ClampToFloatRange(gHardcopyState.pageAspect);
        if (r <= 0.0)
            r = 1.0;
        w *= r;
        h /= r;
    }
    // A size of no characters, which readers refuse, becomes the least the
    // command shows.
    auto shown = [](double v) { return std::fabs(v) < 0.005 ? 0.01 : v; };
    std::string s = "SR";
    HpglFixed(s, shown(w), 8, 2);
    HpglFixed(s, shown(h), 8, 2);
    YYHpglCommandWrite(s);
}

std::string HpglLabelText(char terminator)
{
    const int n = std::clamp<int>(gDeviceParameterBlock.IX[0], 0, kDeviceTextLength);
    std::string s(gDeviceTextBuffer.text.data(), static_cast<size_t>(n));
    std::replace(s.begin(), s.end(), terminator, ' ');
    return s;
}

std::string HpglTitleText(std::string_view title)
{
    std::string s;
    for (char c : TrimRight(title)) {
        if (c == ';')
            continue;
        s += static_cast<unsigned char>(c) < 32 || c == 127 ? ' ' : c;
    }
    return std::string(TrimRight(s));
}

// The SVG driver XXSVG: document, stroke, fill and text groups, the clip
// path, lines, polylines, shapes, arcs and text.
#include "hardcopy/driver_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/fixed_fields.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_colours.h"
#include "hardcopy/plot_fields.h"
#include "hardcopy/plot_file_driver.h"
#include "hardcopy/plot_output.h"
#include "hardcopy/plot_text.h"
#include "hardcopy/standard_faces.h"

SvgState gSvgState;

namespace {

constexpr size_t kPointsLine = 256; // a line of polygon or polyline points

constexpr std::string_view kDashArrays[8] = {
    "none", "1 5", "6 6", "1 3 4 4", "1 2 1 2 4 2", "5 2 3 2", "3 3", "5 2 3 2 3 2",
};
constexpr std::string_view kJoins[3] = {"miter", "round", "bevel"};
constexpr std::string_view kCaps[3] = {"butt", "round", "square"};
constexpr std::string_view kFamilies[5] = {
    "", "'Courier New',Courier;", "Arial,Helvetica;", "'Times New Roman','Times Roman';", "Symbol;",
};
constexpr double kSizeFactor[3] = {1.65, 1.33, 1.72};
constexpr double kPi = 3.14159265358979323846;

SvgState& S() { return gSvgState; }
DeviceParameterBlock& B() { return gDeviceParameterBlock; }
HardcopyState& H() { return gHardcopyState; }

void Put(std::string_view line) { YYPlotPutLine(kPlotUnit, line); }

// Device units to SVG user units.
double SvgX(double x) { return x * S().scaleX; }
double SvgY(double y) { return (static_cast<double>(gGraphicsState.targetHeight) - 1.0 - y) * S().scaleY; }

void AppendPoint(std::string& s, double x, double y)
{
    AppendSvgNumber(s, x);
    s += ',';
    AppendSvgNumber(s, y);
}

// NAME="VALUE" with a blank before it.
void Attribute(std::string& s, std::string_view name, double value)
{
    s += ' ';
    s += name;
    s += "=\"";
    AppendSvgNumber(s, value);
    s += '"';
}

// ---- Groups ----------------------------------------------------------------------

void CloseFillGroup()
{
    if (S().fillGroupOpen)
        Put("</g>");
    S().fillGroupOpen = false;
}

void CloseTextGroup()
{
    if (S().textGroupOpen)
        Put("</g>");
    S().textGroupOpen = false;
}

// Closes the groups inside the stroke group, then the stroke group.
void CloseGroups()
{
    CloseFillGroup();
    CloseTextGroup();
    if (S().groupOpen)
        Put("</g>");
    S().groupOpen = false;
}

std::array<int, 3> Swapped(std::array<int, 3> rgb)
{
    ColourSwapBytes(rgb, H().option(6));
    return rgb;
}

// Ops 3, 29, 30, 36 and 37: a new stroke group when colour, width, line
// style, join or cap differ from the open one.
void Style()
{
    SvgState& s = S();
    HardcopyState& h = H();
    const std::array<int, 3> c = Swapped(ColourComponents(HardcopyCurrentColour()));
    const int width = std::max(1, YYDeviceTrunc(h.option(9) * 150.0 / 720.0 + 0.5));
    const int style = std::clamp(gGraphicsState.lineStyle, 0, 7);
    const int join = std::clamp(h.option(10), 0, 2), cap = std::clamp(h.option(11), 0, 2);
    const std::array<int, 7> wanted{c[0], c[1], c[2], width, style, join, cap};
    if (s.groupOpen && wanted == s.group)
        return;
    CloseGroups();
    YYSvgColourHex(c[0], c[1], c[2], s.strokeHex);
    std::string& line = s.line;
    line = "<g style=\"fill:none;stroke:#";
    line.append(s.strokeHex.data(), s.strokeHex.size());
    line += ";stroke-dasharray:";
    line += kDashArrays[style];
    line += ";stroke-width:";
    AppendIntField(line, width, 0);
    line += ";stroke-linejoin:";
    line += kJoins[join];
    line += ";stroke-linecap:";
    line += kCaps[cap];
    line += "\">";
    Put(line);
    s.group = wanted;
    s.groupOpen = true;
}

// ---- Document --------------------------------------------------------------------

void Initialise()
{
    DeviceParameterBlock& b = B();
    if (b.N == kDriverNumberQuery) {
        b.N = kDriverSvg;
        return;
    }
    HardcopyState& h = H();
    YYHardcopyDefaults();
    h.option(1) = 640;
    h.option(2) = 480;
    h.option(3) = 0;
    h.option(4) = 0;
    h.option(5) = 0;
    HardcopyDeviceDescription d;
    d.driver = kDriverSvg;
    d.capability = "00000111111111100010011011110";
    d.defaultName = "quilplot.svg";
    d.printCommandAllowed = 0;
    d.largestCharacter = kNoTextSizeLimit;
    d.characterSets = 8;
    d.angles = 360;
    d.platform = 2;
    d.trueColour = 1;
    d.shadedPolygons = 0;
    d.deviceJustification = 1;
    d.lastCapability = 0;
    d.colours = 256;
    d.palette = 256;
    d.resolution = 72;
    HardcopyDescribe(d);
}

void BeginPlot()
{
    SvgState& s = S();
    HardcopyState& h = H();
    const GraphicsState& g = gGraphicsState;
    s.scaleX = static_cast<float>(h.option(1) / DriverExtent(g.targetWidth));
    s.scaleY = static_cast<float>(h.option(2) / DriverExtent(g.targetHeight));
    h.scaleX = s.scaleX;
    h.scaleY = s.scaleY;
    if (B().M < 1)
        return;
    if (!PlotFileBegin())
        return;
    Put("<?xml version=\"1.0\"?>");
    Put("<!DOCTYPE svg SYSTEM \"\">");
    std::string& line = s.line;
    line = "<svg width=\"";
    AppendIntField(line, h.option(1), 0);
    line += "\" height=\"";
    AppendIntField(line, h.option(2), 0);
    line += "\" xmlns=\"http://www.w3.org/2000/svg\">";
    Put(line);
    s.group.fill(-1);
    s.groupOpen = s.fillGroupOpen = s.textGroupOpen = false;
    s.clipActive = false;
    s.clipCounter = 0;
}

void EndPlot()
{
    const bool open = S().groupOpen;
    S().groupOpen = false;
    CloseFillGroup();
    CloseTextGroup();
    Put(open ? "</g></svg>" : "</svg>");
    YYPlotClose(kPlotUnit);
}

// ---- Lines and points ------------------------------------------------------------

void LineElement(double x1, double y1, double x2, double y2, std::string_view end)
{
    std::string& line = S().line;
    line = "<line";
    Attribute(line, "x1", SvgX(x1));
    Attribute(line, "y1", SvgY(y1));
    Attribute(line, "x2", SvgX(x2));
    Attribute(line, "y2", SvgY(y2));
    line += end;
    Put(line);
}

// HEAD (e.g. "<polygon points=\"") and the points "x,y" one blank apart,
// lines of at most 256 characters, then the closing quote and "/>".
void PointsElement(std::string_view head, const std::vector<double>& x, const std::vector<double>& y)
{
    std::string& line = S().line;
    line = head;
    std::string point;
    bool first = true;
    for (size_t i = 0; i < x.size(); ++i) {
        point.clear();
        AppendPoint(point, x[i], y[i]);
        if (!first && line.size() + point.size() > kPointsLine) {
            line.pop_back(); // the blank after the last point
            Put(line);
            line.clear();
        }
        line += point;
        line += ' ';
        first = false;
    }
    if (!first)
        line.pop_back();
    constexpr std::string_view kClose = "\"/>";
    if (line.size() + kClose.size() > kPointsLine) {
        Put(line);
        line.clear();
    }
    line += kClose;
    Put(line);
}

int PointCount(int n)
{
    const DevicePointArrays& a = gDevicePointArrays;
    return std::clamp<int>(n, 0, static_cast<int>(std::min(a.x.size(), a.y.size())));
}

void Polyline()
{
    H().pagePending = -1;
    const DevicePointArrays& a = gDevicePointArrays;
    const int n = PointCount(B().N);
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = SvgX(a.x[i]);
        y[i] = SvgY(a.y[i]);
    }
    PointsElement("<polyline points=\"", x, y);
}

// A closed polygon of device points, clipped to the range of the number
// fields so that no corner has to be brought in.
void Polygon(const float* px, const float* py, size_t n)
{
    std::vector<double> x(n), y(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = SvgX(px[i]);
        y[i] = SvgY(py[i]);
    }
    const FieldRange r = FieldRangeOf(8, 2);
    PolygonClipToBox(x, y, r.low, r.low, r.high, r.high);
    if (!x.empty())
        PointsElement("<polygon points=\"", x, y);
}

// ---- Filled shapes ---------------------------------------------------------------

void FillGroup()
{
    SvgState& s = S();
    const GraphicsState& g = gGraphicsState;
    std::array<int, 3> c = ColourComponents(HardcopyCurrentColour());
    if (g.fillMode == kFillHalftone) {
        const std::array<int, 3> before = ColourComponents(HardcopyPreviousColour());
        for (size_t i = 0; i < 3; ++i)
            c[i] = (before[i] + c[i]) / 2;
    }
    c = Swapped(c);
    CloseFillGroup();
    std::string& line = s.line;
    line = "<g style=\"stroke:none;fill:#";
    AppendColourHex(line, c[0], c[1], c[2]);
    if (s.clipActive) {
        line += ";clip-path:url(#clip";
        AppendIntField(line, s.clipCounter, 0);
        line += ')';
    }
    line += "\">";
    Put(line);
    s.fillGroupOpen = true;
}

void Ellipse()
{
    const DeviceParameterBlock& b = B();
    const double rx = SvgX(b.X[1]), ry = static_cast<double>(b.Y[1]) * S().scaleY;
    if (!std::isfinite(rx) || !std::isfinite(ry) || rx <= 0.0 || ry <= 0.0)
        return; // no ellipse to draw
    std::string& line = S().line;
    line = "<ellipse";
    Attribute(line, "cx", SvgX(b.X[0]));
    Attribute(line, "cy", SvgY(b.Y[0]));
    Attribute(line, "rx", rx);
    Attribute(line, "ry", ry);
    line += "/>";
    Put(line);
}

void FilledShape(int op)
{
    const DeviceParameterBlock& b = B();
    const int mode = gGraphicsState.fillMode;
    const bool solid = mode == kFillHalftone || mode == kFillSolid;
    if (b.M == -1) {
        if (solid)
            CloseFillGroup();
        return;
    }
    H().pagePending = -1;
    if (!solid) {
        if (op == DeviceOp::kEllipseHalftone)
            Ellipse(); // outlined, in the stroke group
        return;
    }
    FillGroup();
    const DevicePointArrays& a = gDevicePointArrays;
    switch (op) {
    case DeviceOp::kEllipseHalftone: Ellipse(); break;
    case DeviceOp::kRectangleHalftone: {
        const float x[4] = {b.X[0], b.X[1], b.X[1], b.X[0]};
        const float y[4] = {b.Y[0], b.Y[0], b.Y[1], b.Y[1]};
        Polygon(x, y, 4);
        break;
    }
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kTriangleHalftone: {
        const int n = op == DeviceOp::kQuadHalftone ? 4 : 3;
        if (PointCount(n) == n)
            Polygon(a.x.data(), a.y.data(), static_cast<size_t>(n));
        break;
    }
    case DeviceOp::kPolygonHalftone: Polygon(a.x.data(), a.y.data(), static_cast<size_t>(PointCount(b.N))); break;
    case DeviceOp::kSectorHalftone: YYSvgArc(op); break;
    default: break;
    }
}

// ---- Clip and text -----------------------------------------------------------------

void Clip()
{
    SvgState& s = S();
    const GraphicsState& g = gGraphicsState;
    const auto& f = g.areaFractions;
    s.clipActive = f[0] > 0.0f || f[1] > 0.0f || f[2] < 1.0f || f[3] < 1.0f;
    if (!s.clipActive)
        return;
    ++s.clipCounter;
    const auto& a = g.deviceArea;
    std::string& line = s.line;
    line = "<defs><clipPath id=\"clip";
    AppendIntField(line, s.clipCounter, 0);
    line += "\"><rect";
    Attribute(line, "width", (static_cast<double>(a[2]) - a[0]) * s.scaleX);
    Attribute(line, "height", (static_cast<double>(a[3]) - a[1]) * s.scaleY);
    Attribute(line, "x", SvgX(a[0]));
    Attribute(line, "y", SvgY(a[3]));
    line += "/></clipPath></defs>";
    Put(line);
}

// The font size (the em) of text in page units.
double FontSize()
{
    const TextState& t = gTextState;
    return kSizeFactor[std::clamp(t.spacing, 0, 2)] * t.charWidth *
           static_cast<double>(gGraphicsState.orientedAreaSize[0]) * H().textScaleX;
}

// Text width: the text in the standard face of its family at the font size
// the text group writes, in the target's device units.
void TextWidth()
{
    std::string written;
    AppendSvgNumber(written, FontSize());
    const double scale = H().textScaleX;
    if (scale > 0.0)
        StandardFaceTextWidthAnswer(std::strtod(written.c_str(), nullptr) / scale);
}

void TextGroup()
{
    SvgState& s = S();
    const TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    CloseTextGroup();
    const int family = t.family >= 0 && t.family <= 4 ? t.family : 0;
    std::string& line = s.line;
    line = "<g style=\"fill:#";
    line.append(s.strokeHex.data(), s.strokeHex.size());
    line += ";stroke:none;font-family:";
    line += kFamilies[family];
    if (family != TextFontFamily::kSymbol) {
        if (t.style & TextStyleBits::kBold)
            line += "font-weight:bold;";
        if (t.style & TextStyleBits::kItalic)
            line += "font-style:italic;";
    }
    if (t.spacing != TextSpacing::kWidthTable) {
        if (t.justification == 1)
            line += "text-anchor:middle;";
        else if (t.justification == 2)
            line += "text-anchor:end;";
    }
    line += "font-size:";
    AppendSvgNumber(line, FontSize());
    line += "\">";
    Put(line);
    s.textGroupOpen = true;
}

void Text()
{
    const DeviceParameterBlock& b = B();
    const TextState& t = gTextState;
    H().pagePending = -1;
    if (b.IX[1] & 1)
        TextGroup();
    double x = b.X[0], y = b.Y[0];
    if (t.spacing != TextSpacing::kWidthTable && t.justification == 1) {
        x = (x + b.X[2]) * 0.5;
        y = (y + b.Y[2]) * 0.5;
    } else if (t.spacing != TextSpacing::kWidthTable && t.justification == 2) {
        x = b.X[2];
        y = b.Y[2];
    }
    x += 0.2 * t.upX;
    y -= 0.2 * t.upY;
    std::string& line = S().line;
    line = "<text transform=\"translate(";
    AppendPoint(line, SvgX(x), SvgY(y));
    line += ')';
    if (t.deviceAngle != 0.0f) {
        line += "rotate(";
        AppendSvgNumber(line, -static_cast<double>(t.deviceAngle));
        line += ')';
    }
    line += "\">";
    const int n = std::clamp<int>(b.IX[0], 0, kDeviceTextLength);
    AppendXmlText(line, std::string_view(gDeviceTextBuffer.text.data(), static_cast<size_t>(n)));
    line += "</text>";
    Put(line);
    if (b.IX[1] & 2)
        CloseTextGroup();
}

} // namespace

void AppendSvgNumber(std::string& out, double value)
{
    const size_t start = out.size();
    AppendFixedField(out, FieldClamp(value, 8, 2), 0, 2);
    const std::string_view text(out.data() + start, out.size() - start);
    if (text.size() >= 3 && text.substr(text.size() - 3) == ".00")
        out.resize(out.size() - 3); // a whole number: "480"
    else if (!text.empty() && text.back() == '0')
        out.pop_back();
}

void YYSvgNumber(float value, std::span<char> text, int& first, int& last)
{
    std::string s;
    AppendSvgNumber(s, value);
    PutText(text, s);
    const size_t n = std::min(s.size(), text.size());
    first = n > 0 ? 1 : 0;
    last = static_cast<int>(n);
}

void YYSvgArc(int op)
{
    const DeviceParameterBlock& b = B();
    const GraphicsState& g = gGraphicsState;
    H().pagePending = -1;
    const double cx = b.X[0], cy = b.Y[0], rx = b.X[1], ry = b.Y[1], a1 = b.X[2];
    const double span = static_cast<double>(b.Y[2]) - a1;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry) || !std::isfinite(span))
        return;
    // Counter-clockwise from the start angle to the end angle, as PostScript
    // draws it: an end before the start comes round by whole turns.
    double sweep = std::min(span, 2.0 * kPi);
    if (span < 0.0) {
        sweep = std::fmod(span, 2.0 * kPi);
        if (sweep < 0.0)
            sweep += 2.0 * kPi;
    }
    auto at = [&](std::string& s, double angle) {
        AppendPoint(s, SvgX(cx + rx * std::cos(angle)), SvgY(cy + ry * std::sin(angle)));
    };
    auto arcTo = [&](std::string& s, double angle, bool large) {
        s += " A ";
        AppendSvgNumber(s, SvgX(rx));
        s += ',';
        AppendSvgNumber(s, ry * S().scaleY);
        s += large ? " 0 1 0 " : " 0 0 0 ";
        at(s, angle);
    };
    std::string& line = S().line;
    line = "<path d=\"M ";
    at(line, a1);
    if (sweep >= 2.0 * kPi) {
        // A whole turn ends where it starts: two half turns.
        arcTo(line, a1 + kPi, true);
        arcTo(line, a1, true);
    } else {
        arcTo(line, a1 + sweep, sweep >= 3.1415927);
    }
    const bool pie = op == DeviceOp::kSectorHalftone || g.fillMode != kFillOutline || g.hatchDensity <= 2;
    if (pie) {
        line += " L ";
        AppendPoint(line, SvgX(cx), SvgY(cy));
        line += " L ";
        at(line, a1);
    }
    line += "\"/>";
    Put(line);
}

void XXSVG(int op)
{
    const DeviceParameterBlock& b = B();
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); break;
    case DeviceOp::kLine:
        H().pagePending = -1;
        LineElement(b.X[0], b.Y[0], b.X[1], b.Y[1], "/>");
        break;
    case DeviceOp::kColour:
    case DeviceOp::kLineStyle:
    case DeviceOp::kLineWidth:
    case DeviceOp::kLineJoin:
    case DeviceOp::kLineCap: Style(); break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone: FilledShape(op); break;
    case DeviceOp::kBeginPlot: BeginPlot(); break;
    case DeviceOp::kEndPlot: EndPlot(); break;
    case DeviceOp::kText: Text(); break;
    case DeviceOp::kTextWidth: TextWidth(); break;
    case DeviceOp::kClip: Clip(); break;
    case DeviceOp::kPoint:
        H().pagePending = -1;
        LineElement(b.X[0], b.Y[0], b.X[0], b.Y[0], " />");
        break;
    case DeviceOp::kPolyline: Polyline(); break;
    case DeviceOp::kArc: YYSvgArc(op); break;
    default: break; // 20 (one picture for all pages) and the others
    }
}

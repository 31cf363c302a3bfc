// The PostScript driver XXPS: document frame (prolog, re-encoded fonts,
// pages, encapsulated output) and the drawing operations.
#include "hardcopy/driver_postscript.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_fields.h"
#include "core/fixed_text.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/plot_colours.h"
#include "hardcopy/plot_fields.h"
#include "hardcopy/plot_file_driver.h"
#include "hardcopy/plot_output.h"
#include "hardcopy/plot_text.h"
#include "hardcopy/standard_faces.h"

PostScriptDriverState gPostScriptDriverState;

namespace {

constexpr int kLineLimit = 255;
constexpr size_t kTextLimit = 249; // escaped text: "(" + 249 + ") csh" fills a line

constexpr std::string_view kProlog[] = {
    "/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def",
    "/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def",
    "/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def",
    "/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def",
    "/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def",
};
constexpr std::string_view kCopyDict = "dup length dict begin";
constexpr std::string_view kCopyEntries = "{1 index /FID ne {def} {pop pop} ifelse} forall";

struct FontFamily {
    std::string_view base;
    std::string_view suffix[4]; // plain, bold, italic, bold italic
};
constexpr FontFamily kFonts[] = {
    {"/Courier", {"", "-Bold", "-Oblique", "-BoldOblique"}},
    {"/Helvetica", {"", "-Bold", "-Oblique", "-BoldOblique"}},
    {"/Times", {"-Roman", "-Bold", "-Italic", "-BoldItalic"}},
};

constexpr std::string_view kDashes[8] = {
    "[] 0", "[1 5] 4", "[6 6] 3", "[1 3 4 4] 0", "[1 2 1 2 4 2] 0", "[5 2 3 2] 2", "[3 3] 1", "[5 2 3 2 3 2] 0",
};

// Font size factors by the spacing mode 0, 1, 2.
constexpr double kWidthFactor[3] = {1.65, 1.33, 1.72};
constexpr double kHeightFactor[3] = {1.0, 0.82, 0.82};

PostScriptDriverState& S() { return gPostScriptDriverState; }
DeviceParameterBlock& B() { return gDeviceParameterBlock; }
HardcopyState& H() { return gHardcopyState; }
bool Encapsulated() { return H().option(22) != 0; }

double NotANumber() { return std::numeric_limits<double>::quiet_NaN(); }

// A / B, or NaN when B is zero or either is not finite: the caller tests the
// result with std::isfinite instead of dividing under the traps.
double Quotient(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b) || b == 0.0)
        return NotANumber();
    return a / b;
}

// ---- Lines and numbers -------------------------------------------------------------

// A line is built in the state's buffer between Begin and End.
std::string& Begin()
{
    std::string& line = S().line;
    line.clear();
    if (S().linePrefix == 1)
        line += ' ';
    return line;
}

void End()
{
    std::string& line = S().line;
    const size_t prefix = S().linePrefix == 1 ? 1 : 0;
    if (line.size() > prefix + kLineLimit)
        line.resize(prefix + kLineLimit);
    YYPlotPutLine(kPlotUnit, line);
}

void Fixed(std::string_view text)
{
    Begin() += text;
    End();
}

// (F9.2), squeezed: ".00" at the end loses its last zero.
void AppendValue(std::string& s, double v)
{
    AppendFixedField(s, FieldClamp(v, 9, 2), 0, 2);
    if (s.size() >= 3 && s.compare(s.size() - 3, 3, ".00") == 0)
        s.pop_back();
}

// (Fw.d), squeezed.
void AppendFixed(std::string& s, double v, int width, int decimals)
{
    AppendFixedField(s, FieldClamp(v, width, decimals), 0, decimals);
}

void AppendInt(std::string& s, int64_t v) { AppendIntField(s, v, 0); }

// Values (F9.2 each) and WORD, one blank apart.
void WriteValues(std::initializer_list<double> values, std::string_view word)
{
    std::string& s = Begin();
    for (double v : values) {
        AppendValue(s, v);
        s += ' ';
    }
    s += word;
    End();
}

// A device point in points.
void WritePoint(double x, double y, std::string_view word)
{
    WriteValues({x * H().scaleX, y * H().scaleY}, word);
}

// Two values along y and x (a page turned by 90 or 270 degrees).
void WriteValuesYX(double a, double b, std::string_view word)
{
    WriteValues({a * H().scaleY, b * H().scaleX}, word);
}

void WriteColour(const std::array<float, 3>& c, std::string_view word)
{
    WriteValues({c[0], c[1], c[2]}, word);
}

// ---- Document frame ----------------------------------------------------------------

void Initialise()
{
    DeviceParameterBlock& b = B();
    if (b.N == kDriverNumberQuery) {
        b.N = kDriverPostScript;
        return;
    }
    HardcopyState& h = H();
    YYHardcopyDefaults();
    h.option(1) = 756; // a 10.5 by 7.5 inch picture
    h.option(2) = 540;
    h.option(3) = 42;
    h.option(4) = -20;
    h.option(5) = 1;
    h.option(15) = 1;
    h.option(16) = 255;
    h.option(22) = 0;
    HardcopyDeviceDescription d;
    d.driver = kDriverPostScript;
    d.capability = "00000111111111100010011011110";
    d.defaultName = "quilplot.ps";
    d.printCommandAllowed = 1;
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
    d.resolution = 600;
    HardcopyDescribe(d);
}

// The plot title for its comment line: control codes become blanks.
std::string TitleText()
{
    std::string title(H().plotTitle.trimmed());
    for (char& c : title)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    return title;
}

void PageComment(int page)
{
    std::string& s = Begin();
    s += "%%Page: ";
    AppendInt(s, page);
    s += ' ';
    AppendInt(s, page);
    End();
}

void BeginPlot()
{
    HardcopyState& h = H();
    const GraphicsState& g = gGraphicsState;
    h.scaleX = static_cast<float>(h.option(1) / DriverExtent(g.targetWidth));
    h.scaleY = static_cast<float>(h.option(2) / DriverExtent(g.targetHeight));
    if (B().M < 1)
        return;
    if (!PlotFileBegin())
        return;
    const bool titled = B().IX[0] == 1;

    PostScriptDriverState& s = S();
    s.linePrefix = h.option(17) != 0 ? 1 : 2;
    s.fontPending = -1;
    s.segments = 0;
    s.written = {-1.0f, -1.0f, -1.0f};
    s.writtenStyle = 0;
    s.writtenWidth = 0;
    s.colourValue = -1;

    const bool eps = Encapsulated(), rotated = h.option(5) != 0;
    const int64_t w = h.option(1), ht = h.option(2);
    double tx = 0.0, ty = 0.0;
    int64_t boxW = w, boxH = ht;
    if (eps && rotated) {
        ty = -static_cast<double>(ht);
        boxW = ht;
        boxH = w;
    } else if (!eps) {
        tx = h.option(3);
        // The fixed 540 anchors the picture's lower edge on the turned page.
        ty = static_cast<double>(h.option(4)) - (rotated ? 540.0 : 0.0);
    }

    Fixed(eps ? "%!PS-Adobe-3.0 EPSF-3.0" : "%!PS-Adobe-3.0");
    if (eps) {
        std::string& line = Begin();
        line += "%%BoundingBox: 0 0 ";
        AppendInt(line, boxW);
        line += ' ';
        AppendInt(line, boxH);
        End();
    }
    if (titled) {
        const std::string title = "%%Title: " + TitleText();
        YYPSWriteSqueezed(title, static_cast<int>(title.size()));
    }
    Fixed("%%Creator: K.V.B. PostScript driver");
    Fixed("%%EndComments");
    for (std::string_view line : kProlog)
        Fixed(line);
    Fixed("%%EndProlog");
    for (const FontFamily& f : kFonts) {
        for (int style = 1; style <= 4; ++style) {
            std::string& line = Begin();
            line += f.base;
            line += f.suffix[style - 1];
            line += " ff";
            End();
            Fixed(kCopyDict);
            Fixed(kCopyEntries);
            Fixed("/Encoding ISOLatin1Encoding def");
            std::string& last = Begin();
            last += "currentdict end ";
            last += f.base;
            last += '-';
            last += static_cast<char>('0' + style);
            last += " exch definefont pop";
            End();
        }
    }
    Fixed("/Symbol ff");
    Fixed(kCopyDict);
    Fixed(kCopyEntries);
    Fixed("currentdict end /Symbol exch definefont pop");
    if (rotated)
        Fixed("90.0 ro");
    std::string& line = Begin();
    AppendFixed(line, tx, 8, 1);
    line += ' ';
    AppendFixed(line, ty, 8, 1);
    line += " translate";
    End();
    Fixed("newpath");
    s.page = 1;
    PageComment(s.page);
}

void EndPage()
{
    H().pagePending = 0;
    YYPSFlushPath(1);
    if (!Encapsulated()) {
        std::string& line = Begin();
        line += "/#copies ";
        AppendInt(line, std::clamp(H().option(8), 1, 999));
        line += " def";
        End();
        Fixed("gsave showpage grestore");
    }
    if (B().N == 0) {
        ++S().page;
        PageComment(S().page);
    }
}

void EndPlot()
{
    Fixed("%%EOF");
    if (!Encapsulated()) {
        Fixed("initgraphics");
        if (H().option(15) != 0) {
            static constexpr std::uint8_t kEndOfJob[] = {32, 4};
            YYPlotPutBytes(kPlotUnit, kEndOfJob, 2);
        }
    }
    YYPlotClose(kPlotUnit);
}

// ---- Colours and attributes ----------------------------------------------------------

// The colour op 3 chooses: black (-1) for every colour but number 0 when
// monochrome (option 7), else the colour of the colour model.
int MonochromeValue(int number, int colour)
{
    return H().option(7) != 0 && number != 0 ? -1 : colour;
}

void Colour()
{
    const GraphicsState& g = gGraphicsState;
    PostScriptDriverState& s = S();
    s.colourValue = MonochromeValue(g.currentNumber, HardcopyCurrentColour());
    const std::array<float, 3> c = YYPSColourUnits(s.colourValue);
    if (c != s.pending) {
        YYPSFlushPath(1);
        s.pending = c;
    }
}

void LineStyle()
{
    const int style = std::clamp(gGraphicsState.lineStyle, 0, 7);
    if (style == S().writtenStyle)
        return;
    YYPSFlushPath(1);
    std::string& line = Begin();
    line += kDashes[style];
    line += " d";
    End();
    S().writtenStyle = style;
}

void LineWidth()
{
    const int width = H().option(9);
    if (width == S().writtenWidth)
        return;
    YYPSFlushPath(1);
    WriteValues({width / 10.0}, "w");
    S().writtenWidth = width;
}

void LineJoin()
{
    YYPSFlushPath(1);
    const int join = std::clamp(H().option(10), 0, 2);
    std::string& line = Begin();
    line += static_cast<char>('0' + join);
    line += " setlinejoin";
    End();
    if (join == 0)
        Fixed("5.0 setmiterlimit");
}

void LineCap()
{
    YYPSFlushPath(1);
    std::string& line = Begin();
    line += static_cast<char>('0' + std::clamp(H().option(11), 0, 2));
    line += " setlinecap";
    End();
}

// ---- Paths ---------------------------------------------------------------------------

int PathLimit() { return std::clamp(H().option(16), 10, 255); }

bool AtPen(float x, float y)
{
    return x == H().lastPosition[0] && y == H().lastPosition[1];
}

void Line(float x1, float y1, float x2, float y2)
{
    PostScriptDriverState& s = S();
    H().pagePending = -1;
    if (s.segments >= PathLimit())
        YYPSFlushPath(1);
    if (!AtPen(x1, y1) || s.segments == 0)
        WritePoint(x1, y1, "m");
    WritePoint(x2, y2, "l");
    ++s.segments;
    H().lastPosition = {x2, y2};
}

int PointCount(int n)
{
    const DevicePointArrays& a = gDevicePointArrays;
    return std::clamp<int>(n, 0, static_cast<int>(std::min(a.x.size(), a.y.size())));
}

void Polyline()
{
    PostScriptDriverState& s = S();
    const DevicePointArrays& a = gDevicePointArrays;
    const int n = PointCount(B().N);
    H().pagePending = -1;
    if (n < 1)
        return;
    if (s.segments >= PathLimit())
        YYPSFlushPath(1);
    if (!AtPen(a.x[0], a.y[0]) || s.segments == 0)
        WritePoint(a.x[0], a.y[0], "m");
    for (size_t i = 1; i < static_cast<size_t>(n); ++i) {
        if (s.segments >= PathLimit()) {
            YYPSFlushPath(1);
            WritePoint(a.x[i - 1], a.y[i - 1], "m");
        }
        WritePoint(a.x[i], a.y[i], "l");
        ++s.segments;
    }
    H().lastPosition = {a.x[static_cast<size_t>(n - 1)], a.y[static_cast<size_t>(n - 1)]};
}

void Clip()
{
    if (Encapsulated())
        return;
    YYPSFlushPath(1);
    Fixed("initclip");
    const auto& a = gGraphicsState.deviceArea;
    const double x1 = std::trunc(a[0]), y1 = std::trunc(a[1]);
    const double x2 = std::trunc(a[2] + 0.99), y2 = std::trunc(a[3] + 0.99);
    WritePoint(x1, y1, "m");
    WritePoint(x2, y1, "l");
    WritePoint(x2, y2, "l");
    WritePoint(x1, y2, "l");
    Fixed("clip");
    Fixed("newpath");
}

// ---- Filled shapes -------------------------------------------------------------------

// The closed polygon XS, YS (device units), filled. A polygon reaching
// beyond the number fields is clipped to them first.
void PolygonFill(const std::vector<double>& xs, const std::vector<double>& ys)
{
    const FieldRange r = FieldRangeOf(9, 2);
    std::vector<double> x(xs.size()), y(ys.size());
    for (size_t i = 0; i < xs.size(); ++i) {
        x[i] = xs[i] * H().scaleX;
        y[i] = ys[i] * H().scaleY;
    }
    PolygonClipToBox(x, y, r.low, r.low, r.high, r.high);
    if (x.empty())
        return;
    WriteValues({x[0], y[0]}, "m");
    for (size_t i = 1; i < x.size(); ++i)
        WriteValues({x[i], y[i]}, "l");
    S().segments = static_cast<int>(x.size());
    YYPSFlushPath(2);
}

void ArrayPolygon(int n)
{
    const DevicePointArrays& a = gDevicePointArrays;
    n = PointCount(n);
    std::vector<double> x(a.x.begin(), a.x.begin() + n), y(a.y.begin(), a.y.begin() + n);
    PolygonFill(x, y);
}

void Rectangle()
{
    const DeviceParameterBlock& b = B();
    double x1 = b.X[0], y1 = b.Y[0], x2 = b.X[1], y2 = b.Y[1];
    if (Encapsulated()) {
        // No clip is written into an encapsulated picture: the rectangle
        // keeps to the graphics area itself.
        const auto& a = gGraphicsState.deviceArea;
        x1 = std::max<double>(x1, a[0]);
        y1 = std::max<double>(y1, a[1]);
        x2 = std::min<double>(x2, a[2]);
        y2 = std::min<double>(y2, a[3]);
        if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2)) || x1 > x2 || y1 > y2)
            return; // wholly outside the area
    }
    WritePoint(x1, y1, "m");
    WritePoint(x2, y1, "l");
    WritePoint(x2, y2, "l");
    WritePoint(x1, y2, "l");
    S().segments = 4;
    YYPSFlushPath(2);
}

// The y scale written with "scale", in (F8.4), when it is a usable one: a
// scale that is not a positive finite number (or that the field would write
// as 0) draws nothing.
bool UsableScale(double& scale)
{
    if (!std::isfinite(scale) || scale < 0.00005)
        return false;
    scale = FieldClamp(scale, 8, 4);
    return true;
}

void ScaledBegin(double scale)
{
    std::string& line = Begin();
    line += "gsave 1.0 ";
    AppendFixed(line, scale, 8, 4);
    line += " scale newpath";
    End();
}

// The colour inside gsave (the written colour is not updated, since
// grestore takes it back), the closing word and "grestore".
void ScaledEnd(std::string_view word)
{
    const PostScriptDriverState& s = S();
    if (s.pending != s.written)
        WriteColour(s.pending, "g");
    Fixed(word);
    Fixed("grestore");
}

bool RotatedPage() { return gGraphicsState.pageRotation % 180 != 0; }

void Ellipse()
{
    const DeviceParameterBlock& b = B();
    const GraphicsState& g = gGraphicsState;
    HardcopyState& h = H();
    const double fw = g.areaFractionSize[0], fh = g.areaFractionSize[1], ratio = b.X[2];
    const double w = h.option(1), ht = h.option(2), aspect = h.pageAspect;
    double scale = RotatedPage() ? Quotient(fh, ratio * fw) * aspect * Quotient(w, ht)
                                 : ratio * Quotient(fh, fw) * aspect * Quotient(ht, w);
    const double radius = static_cast<double>(b.X[1]) * h.scaleX;
    if (!UsableScale(scale) || !std::isfinite(radius) || radius < 0.0)
        return;
    ScaledBegin(scale);
    WriteValues({b.X[0] * h.scaleX, b.Y[0] * h.scaleY / scale, radius}, "90. 450. arc");
    const int mode = g.fillMode;
    ScaledEnd(mode == kFillHalftone || mode == kFillSolid ? "cf" : "s");
}

void FilledShape(int op)
{
    PostScriptDriverState& s = S();
    const GraphicsState& g = gGraphicsState;
    const int mode = g.fillMode;
    if (B().M == -1) {
        // Outline pass: the drawing colour comes back after the fill.
        if (mode > kFillOutline)
            YYPSFlushPath(1);
        s.pending = YYPSColourUnits(s.colourValue);
        return;
    }
    H().pagePending = -1;
    const bool solid = mode == kFillHalftone || mode == kFillSolid;
    if (solid || ((mode == kFillHatch || mode == kFillCrossHatch) && H().option(7) != 0)) {
        YYPSFlushPath(1);
        std::array<float, 3> c = YYPSColourUnits(s.colourValue);
        if (mode == kFillHalftone) {
            const std::array<float, 3> before =
                YYPSColourUnits(MonochromeValue(g.previousNumber, HardcopyPreviousColour()));
            for (size_t i = 0; i < 3; ++i)
                c[i] = (before[i] + c[i]) * 0.5f;
        }
        s.pending = c;
    }
    if (op == DeviceOp::kEllipseHalftone) {
        Ellipse();
        return;
    }
    if (!solid)
        return;
    const DeviceParameterBlock& b = B();
    switch (op) {
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kTriangleHalftone: {
        const int n = op == DeviceOp::kQuadHalftone ? 4 : 3;
        if (PointCount(n) == n)
            ArrayPolygon(n);
        break;
    }
    case DeviceOp::kPolygonHalftone: ArrayPolygon(b.N); break;
    case DeviceOp::kRectangleHalftone: Rectangle(); break;
    case DeviceOp::kSectorHalftone: YYPSArc(op); break;
    default: break;
    }
}

// ---- Text ----------------------------------------------------------------------------

// A font dimension in points: the character size on the page, at least 1.
double FontSize(double v) { return std::isfinite(v) ? std::clamp(v, 1.0, 999.0) : 1.0; }

// The width of the font's em in points.
double FontWidth()
{
    const TextState& t = gTextState;
    return FontSize(static_cast<double>(t.charWidth) * gGraphicsState.orientedAreaSize[0] * H().textScaleX) *
           kWidthFactor[std::clamp(t.spacing, 0, 2)];
}

// Text width: the text in the standard face at the em width the font line
// writes (one decimal), in the target's device units.
void TextWidth()
{
    std::string written;
    AppendFixed(written, FontWidth(), 5, 1);
    const double scale = H().textScaleX;
    if (scale > 0.0)
        StandardFaceTextWidthAnswer(std::strtod(written.c_str(), nullptr) / scale);
}

void FontLine()
{
    const TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    HardcopyState& h = H();
    const char* base = nullptr;
    switch (t.family) {
    case TextFontFamily::kFixed: base = "/Courier"; break;
    case TextFontFamily::kSwiss: base = "/Helvetica"; break;
    case TextFontFamily::kRoman: base = "/Times"; break;
    case TextFontFamily::kSymbol: base = "/Symbol"; break;
    default: return; // no font line
    }
    const int spacing = std::clamp(t.spacing, 0, 2);
    const double w = FontWidth();
    const double ht = FontSize(static_cast<double>(t.charHeight) * g.orientedAreaSize[1] * h.textScaleY) *
                      kHeightFactor[spacing];
    std::string& line = Begin();
    line += base;
    if (t.family != TextFontFamily::kSymbol) {
        line += '-';
        line += static_cast<char>('0' + (t.style & 3) + 1);
    }
    line += " ff [";
    AppendFixed(line, w, 5, 1);
    line += " 0 0 ";
    AppendFixed(line, ht, 5, 1);
    line += " 0 0] ms";
    End();
}

void Text()
{
    PostScriptDriverState& s = S();
    const DeviceParameterBlock& b = B();
    const TextState& t = gTextState;
    H().pagePending = -1;
    YYPSFlushPath(3);
    if (s.fontPending & 1)
        FontLine();
    s.fontPending = 0;

    // The baseline lies 0.27 character heights below the given point.
    const double xa = b.X[0] + 0.27 * t.upX, ya = b.Y[0] - 0.27 * t.upY;
    const double xb = xa + (static_cast<double>(b.X[2]) - b.X[0]), yb = ya + (static_cast<double>(b.Y[2]) - b.Y[0]);
    double x = xa, y = ya;
    std::string_view show = "lsh";
    if (t.spacing != TextSpacing::kWidthTable && t.justification == 1) {
        x = (xa + xb) * 0.5;
        y = (ya + yb) * 0.5;
        show = "csh";
    } else if (t.spacing != TextSpacing::kWidthTable && t.justification == 2) {
        x = xb;
        y = yb;
        show = "rsh";
    }
    WritePoint(x, y, "m");
    const bool turned = t.deviceAngle != 0.0f;
    const double angle = std::isfinite(t.deviceAngle) ? std::trunc(std::fmod(t.deviceAngle, 360.0f)) : 0.0;
    if (turned)
        WriteValues({angle}, "ro");
    const int n = std::clamp<int>(b.IX[0], 0, kDeviceTextLength);
    std::string& line = Begin();
    line += '(';
    AppendPostScriptString(line, std::string_view(gDeviceTextBuffer.text.data(), static_cast<size_t>(n)), kTextLimit);
    line += ") ";
    line += show;
    End();
    if (turned)
        WriteValues({360.0 - angle}, "ro");
    H().lastPosition = {-9999.0f, -9999.0f};
}

// ---- Images --------------------------------------------------------------------------

void Image()
{
    DeviceParameterBlock& b = B();
    ErrorState& e = gErrorState;
    YYPSFlushPath(1);
    const int savedCode = e.lastCode, savedLevel = e.level;
    e.lastCode = 0;
    e.level = kReportNone; // a failure is answered in M, not shown
    // The picture of the image file named in the text buffer, when its size
    // is exactly IX2 by IY2 (another size gives 27).
    const std::string_view name = TrimRight(std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength));
    std::vector<int> pixels;
    int osError = 0, status = 0;
    const int result = ImageFileDecodeSized(name, b.IX[1], b.IY[1], pixels, osError, status);
    ImageLoadErrorReport(result, osError, status, "IGrLoadImageData");
    e.level = savedLevel;
    if (result != 0) {
        b.M = result;
        b.N = e.osError;
        return;
    }
    H().pagePending = -1;
    e.lastCode = savedCode;
    b.M = 0;
    const int64_t width = b.IX[1], height = b.IY[1];
    Fixed("gsave");
    std::string& picstr = Begin();
    picstr += "/picstr ";
    AppendInt(picstr, 3 * width);
    picstr += " string def";
    End();
    const int rotation = gGraphicsState.pageRotation;
    WriteValues({static_cast<double>(rotation)}, "ro");
    const auto& a = gGraphicsState.deviceArea;
    const double x1 = a[0], y1 = a[1], x2 = a[2], y2 = a[3];
    switch (rotation) {
    case 90:
        WriteValuesYX(y1, -x2, "translate");
        WriteValuesYX(y2 - y1, x2 - x1, "scale");
        break;
    case 180:
        WritePoint(-x2, -y2, "translate");
        WritePoint(x2 - x1, y2 - y1, "scale");
        break;
    case 270:
        WriteValuesYX(-y2, x1, "translate");
        WriteValuesYX(y2 - y1, x2 - x1, "scale");
        break;
    default:
        WritePoint(x1, y1, "translate");
        WritePoint(x2 - x1, y2 - y1, "scale");
        break;
    }
    std::string& matrix = Begin();
    AppendInt(matrix, width);
    matrix += ' ';
    AppendInt(matrix, height);
    matrix += " 8 [";
    AppendInt(matrix, width);
    matrix += " 0 0 -";
    AppendInt(matrix, height);
    matrix += " 0 ";
    AppendInt(matrix, height);
    matrix += ']';
    End();
    Fixed("{currentfile picstr readhexstring pop}");
    Fixed("false 3");
    Fixed("colorimage");
    constexpr size_t kPixelsPerLine = 40;
    for (size_t i = 0; i < pixels.size(); i += kPixelsPerLine) {
        std::string& line = Begin();
        for (size_t k = i; k < std::min(pixels.size(), i + kPixelsPerLine); ++k) {
            int r = 0, gr = 0, bl = 0;
            YYRgbSplit(pixels[k], &r, &gr, &bl);
            AppendColourHex(line, r, gr, bl);
        }
        End();
    }
    Fixed("grestore");
}

} // namespace

void YYPSWriteLine(std::string_view text, int n)
{
    const size_t count = std::min(text.size(), static_cast<size_t>(std::clamp(n, 0, kLineLimit)));
    Begin().append(text.substr(0, count));
    End();
}

void YYPSWriteSqueezed(std::string_view text, int n)
{
    text = text.substr(0, std::min(text.size(), static_cast<size_t>(std::max(n, 0))));
    std::string squeezed;
    bool blank = true; // drops the leading blanks
    for (char c : text) {
        if (c == ' ') {
            blank = true;
            continue;
        }
        if (blank && !squeezed.empty())
            squeezed += ' ';
        blank = false;
        squeezed += c;
    }
    YYPSWriteLine(squeezed, static_cast<int>(squeezed.size()));
}

void YYPSFlushPath(int mode)
{
    PostScriptDriverState& s = S();
    if (s.segments == 0 && mode < 3)
        return;
    if (s.pending != s.written) {
        s.written = s.pending;
        WriteColour(s.written, "g");
    }
    if (mode == 3)
        return;
    Fixed(mode == 1 ? "s" : "cf");
    s.segments = 0;
}

std::array<float, 3> YYPSColourUnits(int colour)
{
    std::array<float, 3> c{0.0f, 0.0f, 0.0f};
    if (colour != -1) {
        const std::array<int, 3> bytes = ColourComponents(colour);
        for (size_t i = 0; i < 3; ++i)
            c[i] = static_cast<float>(bytes[i]) / 255.0f;
    }
    const int swap = H().option(6);
    const bool dark = c[0] < 0.04f && c[1] < 0.04f && c[2] < 0.04f;
    const bool light = c[0] > 0.96f && c[1] > 0.96f && c[2] > 0.96f;
    if (swap == 1 || (swap == 2 && (dark || light)))
        for (float& v : c)
            v = 1.0f - v;
    return c;
}

void YYPSArc(int op)
{
    const DeviceParameterBlock& b = B();
    const GraphicsState& g = gGraphicsState;
    HardcopyState& h = H();
    H().pagePending = -1;
    const double w = h.option(1), ht = h.option(2), aspect = h.pageAspect;
    double scale = (RotatedPage() ? Quotient(w, ht * aspect) : Quotient(ht * aspect, w)) *
                   Quotient(g.areaFractionSize[1], g.areaFractionSize[0]);
    const double radius = static_cast<double>(b.X[1]) * h.scaleX;
    constexpr double kRadiansPerDegree = 0.017453292;
    const double start = b.X[2] / kRadiansPerDegree, end = b.Y[2] / kRadiansPerDegree;
    if (!UsableScale(scale) || !std::isfinite(radius) || radius < 0.0 || !std::isfinite(start) ||
        !std::isfinite(end))
        return;
    ScaledBegin(scale);
    const double cx = b.X[0] * h.scaleX, cy = b.Y[0] * h.scaleY / scale;
    const bool pie = op == DeviceOp::kSectorHalftone || g.fillMode != kFillOutline || g.hatchDensity <= 2;
    if (pie)
        WriteValues({cx, cy}, "m");
    std::string word;
    AppendFixed(word, start, 8, 1);
    word += ' ';
    AppendFixed(word, end, 8, 1);
    word += " arc";
    WriteValues({cx, cy, radius}, word);
    ScaledEnd(op == DeviceOp::kSectorHalftone ? "cf" : pie ? "cs" : "s");
}

void XXPS(int op)
{
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); break;
    case DeviceOp::kLine: {
        const DeviceParameterBlock& b = B();
        Line(b.X[0], b.Y[0], b.X[1], b.Y[1]);
        break;
    }
    case DeviceOp::kColour:
    case DeviceOp::kReloadPalette: Colour(); break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone: FilledShape(op); break;
    case DeviceOp::kBeginPlot: BeginPlot(); break;
    case DeviceOp::kEndPlot: EndPlot(); break;
    case DeviceOp::kEndPage: EndPage(); break;
    case DeviceOp::kFont: S().fontPending = -1; break;
    case DeviceOp::kText: Text(); break;
    case DeviceOp::kTextWidth: TextWidth(); break;
    case DeviceOp::kClip: Clip(); break;
    case DeviceOp::kPoint: {
        const DeviceParameterBlock& b = B();
        Line(b.X[0], b.Y[0], b.X[0], b.Y[0]);
        break;
    }
    case DeviceOp::kLineStyle: LineStyle(); break;
    case DeviceOp::kLineWidth: LineWidth(); break;
    case DeviceOp::kPolyline: Polyline(); break;
    case DeviceOp::kArc: YYPSArc(op); break;
    case DeviceOp::kLineJoin: LineJoin(); break;
    case DeviceOp::kLineCap: LineCap(); break;
    case DeviceOp::kImageFile: Image(); break;
    default: break; // 4, the even fill codes, 17, 23, 25, 27, 28, 31, 33, 39, 40
    }
}

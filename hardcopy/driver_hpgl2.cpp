// Hardcopy driver 12, XXHPGL2: the drawing as an HP-GL/2 plot file. The
// five device kinds differ in the PCL wrapper of the printer kinds (into
// HP-GL/2 at the start, copies and form feed at each page end, back at the
// end), the pens (2 for the black-and-white kinds, else 256 defined on first
// use from the colour table), the page and the font. Besides the drawing the
// file carries comments (CO) with the library's own state for a later reader.
#include <algorithm>
#include <array>
#include <string>

#include "core/fixed_fields.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/file_driver_support.h"
#include "hardcopy/halftone.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/hpgl_commands.h"
#include "hardcopy/plot_colours.h"
#include "hardcopy/plot_file_driver.h"
#include "hardcopy/plot_output.h"

namespace {

constexpr double kUnitsPerPoint = 14.111111; // 1016 plotter units per inch
constexpr char kEsc = '\x1b';

struct Kind {
    bool pcl;          // wrapped in PCL escapes
    int pens;          // 2 black and white, else 256
    int width, height; // default page, plotter units
    int resolution;    // dots per inch
    char fontLetter;   // S standard font, A alternate font
    double cellFactor;
};
constexpr std::array<Kind, 5> kKinds = {{
    {true, 2, 10860, 7918, 300, 'S', 1.5},
    {true, 256, 10860, 7918, 300, 'A', 1.2},
    {true, 2, 10860, 7918, 600, 'A', 1.2},
    {false, 256, 15836, 10860, 600, 'A', 1.2},
    {true, 256, 10860, 7918, 600, 'A', 1.2},
}};

// Roman-8 codes of the Latin-1 characters 161..255, for the standard font of
// kind 1.
constexpr std::array<unsigned char, 95> kRoman8 = {
    184, 191, 175, 186, 188, 124, 189, 171, 99,  249, 251, 32,  246, 82,  176, 179, 254, 50,  51,
    168, 243, 244, 242, 44,  49,  250, 253, 247, 248, 245, 185, 161, 224, 162, 225, 216, 208, 211,
    180, 163, 220, 164, 165, 230, 229, 166, 167, 227, 182, 232, 231, 223, 233, 218, 120, 210, 173,
    237, 174, 219, 177, 240, 222, 200, 196, 192, 226, 204, 212, 215, 181, 201, 197, 193, 205, 217,
    213, 209, 221, 228, 183, 202, 198, 194, 234, 206, 32,  214, 203, 199, 195, 207, 178, 241, 239};

// Line patterns of line styles 0..7.
constexpr std::array<std::string_view, 8> kLinePatterns = {"", "1 .3", "2 2", "4 3", "7 2", "5 3", "3 1", "6 3"};

struct Hpgl2State {
    int kind = 1;                 // 1..5
    HpglPage page;
    std::string currentPen;       // pen text of the last selection; empty before the first
    std::string fillPen;          // pen of a half-tone mean, empty when none
    std::array<bool, 256> penDefined{};
    bool fontChanged = true;
    int lastSpacing = 0, lastFamily = -1, lastStyle = -1, lastJustification = -1;
    int fillType = -1;            // -1 none, 1 raster pattern 1, 2 raster pattern 2
    int pattern1Colour = -1;      // packed RGB behind raster pattern 1
    std::array<int, 2> pattern2Colours{-1, -1};
    char terminator = 4;
};
Hpgl2State gHpgl2;

const Kind& K() { return kKinds[static_cast<size_t>(gHpgl2.kind - 1)]; }
DeviceParameterBlock& B() { return gDeviceParameterBlock; }
int Option(int code) { return gHardcopyState.option(code); }
bool TwoPens() { return K().pens == 2; }

void Comment(int code, int value, int width)
{
    std::string f = " ";
    HpglInt(f, value, width);
    HpglComment(code, f);
}

void SelectPen(const std::string& pen)
{
    YYHpglCommandWrite("PU;SP" + pen);
}

// ---- Initialisation and plot ---------------------------------------------------

void Initialise()
{
    HardcopyState& h = gHardcopyState;
    YYHardcopyDefaults();
    HalftoneOverridesClear();
    gHpgl2.kind = std::clamp(h.hpgl2Kind, 1, 5);
    const Kind& k = K();
    h.option(3) = 0;
    h.option(4) = 0;
    h.option(1) = static_cast<int>(k.width / kUnitsPerPoint);
    h.option(2) = static_cast<int>(k.height / kUnitsPerPoint);
    h.option(5) = 1;
    h.option(18) = 0;
    h.option(21) = 4;
    gHpgl2.fontChanged = true;
    HardcopyDeviceDescription d;
    d.driver = kDriverHpgl2;
    d.capability = k.pens == 2 ? "00000100000011100010001001110" : "00000100011111100010011011110";
    d.defaultName = "quilplot.plt";
    d.printCommandAllowed = 1;
    d.largestCharacter = kNoTextSizeLimit;
    d.characterSets = 8;
    d.angles = 360;
    d.platform = 2;
    d.deviceJustification = 1;
    d.colours = k.pens;
    d.palette = 256;
    d.resolution = k.resolution;
    HardcopyDescribe(d);
}

void BeginPlot()
{
    const DeviceParameterBlock& b = B();
    HpglScaleFactors();
    if (b.M <= 0) {
        YYHpglCommandWrite(kHpglScale);
        return;
    }
    if (!PlotFileBegin())
        return;
    Hpgl2State& s = gHpgl2;
    gHpglCommandState.linePrefix = Option(17) != 0 ? 1 : 2;
    s.terminator = static_cast<char>(std::clamp(Option(21), 1, 127));
    s.currentPen.clear();
    s.fillPen.clear();
    s.fillType = -1;
    s.pattern1Colour = -1;
    s.pattern2Colours = {-1, -1};
    s.penDefined.fill(false);
    s.lastSpacing = 0;
    s.lastFamily = s.lastStyle = s.lastJustification = -1;
    const Kind& k = K();
    if (k.pcl)
        YYHpglLineWrite(std::string{kEsc} + "%0B");
    if (b.IX[0] != 0)
        YYHpglLineWrite("CO: " + HpglTitleText(gHardcopyState.plotTitle.view()) + ";");
    s.page = HpglCorners(kUnitsPerPoint);
    const bool rotate = s.kind == 4 ? Option(5) == 0 : Option(5) != 0;
    HpglPlotHead(s.page, rotate, s.terminator);
    YYHpglTextWrite("TR0");
    if (s.kind != 1)
        YYHpglTextWrite("AD1,14;SA");
    if (k.pens == 256)
        YYHpglTextWrite("NP256");
    std::string f = " ";
    HpglInt(f, s.kind, 2);
    f += ' ';
    HpglFixed(f, k.cellFactor, 3, 1);
    f += ' ';
    HpglInt(f, 9, 1);
    HpglComment(13, f);
    Comment(2, Option(6), 1);
    YYHpglCommandWrite(kHpglScale);
}

void EndPlot()
{
    if (K().pcl)
        YYHpglLineWrite(std::string{kEsc} + "%0A");
    YYPlotClose(kPlotUnit);
}

void EndPage()
{
    Comment(3, B().M, 3);
    if (K().pcl) {
        // Back to PCL, the copies (at least two digits), a form feed, and on
        // into HP-GL/2 for the next page.
        const int copies = std::max(Option(8), 1);
        std::string line{kEsc};
        line += "%1A";
        line += kEsc;
        line += "&l";
        if (copies < 10)
            line += '0';
        AppendIntField(line, copies, 0);
        line += 'X';
        line += '\f';
        line += kEsc;
        line += "%0B";
        YYHpglLineWrite(line);
    } else {
        YYHpglTextWrite("PG");
    }
    gHardcopyState.pagePending = 0;
}

// ---- Colours ------------------------------------------------------------------------

void DefinePen(int pen, const std::array<int, 3>& rgb)
{
    YYHpglPenColour(pen, rgb[0], rgb[1], rgb[2]);
}

void Colour()
{
    Hpgl2State& s = gHpgl2;
    const int c = CurrentColourNumber();
    std::string pen;
    if (!TwoPens()) {
        HpglInt(pen, c, 3);
        if (!s.penDefined[static_cast<size_t>(c)]) {
            int rgb = 0;
            YYColourGet(c, rgb);
            int r = 0, g = 0, b = 0;
            YYRgbSplit(rgb, &r, &g, &b);
            DefinePen(c, {r, g, b});
            s.penDefined[static_cast<size_t>(c)] = true;
        }
    } else {
        const int white = Option(6) != 0 ? 223 : 0;
        pen = c == white ? "0" : "1";
    }
    if (pen != s.currentPen) {
        s.currentPen = pen;
        SelectPen(pen);
    }
    if (!HardcopyLineFillActive())
        Comment(1, PackedRgb(ColourComponents(HardcopyCurrentColour())), 8);
}

void PenColour()
{
    const DeviceParameterBlock& b = B();
    if (b.N < 0 || b.N > 255)
        return;
    int r = 0, g = 0, bl = 0;
    YYRgbSplit(b.IX[0], &r, &g, &bl);
    DefinePen(b.N, {r, g, bl});
    gHpgl2.penDefined[static_cast<size_t>(b.N)] = true;
}

// ---- Shapes ---------------------------------------------------------------------------

// The half-tone mask of a colour on this two-colour device.
uint32_t Mask(const std::array<int, 3>& rgb, int number)
{
    HalftoneColour colour;
    colour.red = rgb[0];
    colour.green = rgb[1];
    colour.blue = rgb[2];
    colour.colourNumber = gGraphicsState.colourModel == kColourModelNumbers ? number : -1;
    colour.deviceColours = gGraphicsState.hardcopyColours;
    colour.colourSwap = Option(6);
    int p1 = 0, p2 = 0, p3 = 0;
    HalftonePatternsFor(1, colour, p1, p2, p3);
    return static_cast<uint32_t>(p1);
}

// The raster fill of a two-pen kind: the current colour's pattern, or the
// previous and the current colour's in a checkerboard.
void TwoPenFill()
{
    Hpgl2State& s = gHpgl2;
    const GraphicsState& g = gGraphicsState;
    if (g.strokeTextFlag != 0) {
        YYHpglTextWrite("FT2");
        s.fillType = -1;
        return;
    }
    const std::array<int, 3> current = ColourComponents(HardcopyCurrentColour());
    const int now = PackedRgb(current);
    if (g.fillMode == kFillSolid || SameColours()) {
        if (now != s.pattern1Colour) {
            YYHpglLineWrite("RF1,8,4,");
            YYHpglFillPattern(Mask(current, g.currentNumber));
            s.pattern1Colour = now;
        }
        if (s.fillType != 1) {
            YYHpglTextWrite("FT11 1");
            s.fillType = 1;
        }
        return;
    }
    const std::array<int, 3> previous = ColourComponents(HardcopyPreviousColour());
    const std::array<int, 2> pair = {PackedRgb(previous), now};
    if (pair != s.pattern2Colours) {
        YYHpglLineWrite("RF2,8,4,");
        YYHpglFillPattern(HpglCheckerboard(Mask(previous, g.previousNumber), Mask(current, g.currentNumber)));
        s.pattern2Colours = pair;
    }
    if (s.fillType != 2) {
        YYHpglTextWrite("FT11 2");
        s.fillType = 2;
    }
}

// A half-tone fill of two colours on a 256-pen kind: pen 255 - c takes the
// mean of both colours for this fill and is given back its own colour at its
// next selection.
void MeanPenFill()
{
    Hpgl2State& s = gHpgl2;
    const int pen = 255 - CurrentColourNumber();
    const std::array<int, 3> a = ColourComponents(HardcopyPreviousColour()), c = ColourComponents(HardcopyCurrentColour());
    DefinePen(pen, {(a[0] + c[0]) / 2, (a[1] + c[1]) / 2, (a[2] + c[2]) / 2});
    s.fillPen.clear();
    HpglInt(s.fillPen, pen, 3);
    SelectPen(s.fillPen);
    s.penDefined[static_cast<size_t>(pen)] = false;
}

// The ellipse drawn and, in half-tone and solid fills, filled; an outline
// or hatched ellipse carries its comment.
void Ellipse()
{
    const bool fill = gGraphicsState.fillMode >= kFillHalftone;
    HpglEllipse(fill, fill ? nullptr : +[] { HpglComment(5, HpglFillFields()); });
}

// A polygon of N points of DevicePointArrays filled in polygon mode.
void PolygonFill(int n)
{
    const DevicePointArrays& a = gDevicePointArrays;
    n = std::min<int>(n, static_cast<int>(std::min(a.x.size(), a.y.size())));
    if (n < 1)
        return;
    const double x = ClampToFloatRange(a.x[0]), y = ClampToFloatRange(a.y[0]);
    YYHpglPointCommand("PU", x, y);
    YYHpglTextWrite("PM0");
    YYHpglEncodedPolyline(n);
    YYHpglTextWrite("PM2;FP");
    HpglPenAt(x, y);
}

void FillPass(int op)
{
    const DeviceParameterBlock& b = B();
    const GraphicsState& g = gGraphicsState;
    gHpgl2.fillPen.clear();
    if (g.fillMode < kFillHalftone) {
        // Outlines and hatching arrive as lines; only the ellipse is drawn here.
        if (op == DeviceOp::kEllipseHalftone)
            Ellipse();
        return;
    }
    if (TwoPens())
        TwoPenFill();
    else if (g.fillMode == kFillHalftone && !SameColours())
        MeanPenFill();
    HpglComment(HpglShapeCode(op), HpglFillFields());
    switch (op) {
    case DeviceOp::kRectangleHalftone:
        YYHpglPointCommand("PU", ClampToFloatRange(b.X[0]), ClampToFloatRange(b.Y[0]));
        YYHpglPointCommand("RA", ClampToFloatRange(b.X[1]), ClampToFloatRange(b.Y[1]));
        HpglPenAt(ClampToFloatRange(b.X[0]), ClampToFloatRange(b.Y[0]));
        break;
    case DeviceOp::kQuadHalftone: PolygonFill(4); break;
    case DeviceOp::kTriangleHalftone: PolygonFill(3); break;
    case DeviceOp::kPolygonHalftone: PolygonFill(b.N); break;
    case DeviceOp::kEllipseHalftone: Ellipse(); break;
    case DeviceOp::kSectorHalftone: YYHpglArcCommand(DeviceOp::kSectorHalftone, false); break;
    default: break;
    }
}

void OutlinePass(int op)
{
    Hpgl2State& s = gHpgl2;
    if (op == DeviceOp::kEllipseHalftone || op == DeviceOp::kSectorHalftone ||
        gGraphicsState.fillMode >= kFillHalftone)
        Comment(HpglShapeCode(op), -1, 1);
    // After every fill pass, not only a mean-pen one: the fill pen is blank
    // otherwise, which differs from any pen selected.
    if (s.fillPen != s.currentPen)
        SelectPen(s.currentPen);
    s.fillPen.clear();
}

void Shape(int op)
{
    gHardcopyState.pagePending = -1;
    if (B().M == -1)
        OutlinePass(op);
    else
        FillPass(op);
}

// ---- Lines and text ---------------------------------------------------------------------

void Polyline()
{
    const DevicePointArrays& a = gDevicePointArrays;
    const int n = std::min<int>(B().N, static_cast<int>(std::min(a.x.size(), a.y.size())));
    gHardcopyState.pagePending = -1;
    if (n < 1)
        return;
    HpglMoveTo(ClampToFloatRange(a.x[0]), ClampToFloatRange(a.y[0]));
    YYHpglEncodedPolyline(n);
    const size_t last = static_cast<size_t>(n - 1);
    HpglPenAt(ClampToFloatRange(a.x[last]), ClampToFloatRange(a.y[last]));
}

void FontSelect(int family, int style, int spacing)
{
    const bool bold = (style & TextStyleBits::kBold) != 0;
    std::string s = (style & TextStyleBits::kItalic) ? "SL.2" : "SL0.";
    s += ';';
    s += K().fontLetter;
    s += "D 2 ";
    switch (family) {
    case TextFontFamily::kFixed: s += bold ? "0 6 5" : "0 6 0"; break;
    case TextFontFamily::kSwiss: s += bold ? "1 6 3 7 4148" : "1 6 0 7 4148"; break;
    case TextFontFamily::kRoman: s += bold ? "1 6 3 7 4101" : "1 6 0 7 4101"; break;
    default: s += bold ? "1 6 3 7 4101 1 173" : "1 6 0 7 4101 1 173"; break;
    }
    YYHpglCommandWrite(s);
    gHpgl2.lastFamily = family;
    gHpgl2.lastStyle = style;
    gHpgl2.lastSpacing = spacing;
}

void Text()
{
    Hpgl2State& st = gHpgl2;
    const TextState& t = gTextState;
    gHardcopyState.pagePending = -1;
    const int s = std::clamp(t.spacing, 0, 2);
    if (st.fontChanged) {
        static constexpr double kT1[3] = {1.0, 0.932, 1.06};
        static constexpr double kT2[3] = {1.0, 1.211, 1.211};
        if (s != st.lastSpacing)
            Comment(10, s, 1);
        HpglRelativeSize(kT1[s], kT2[s], K().cellFactor);
        st.fontChanged = false;
    }
    const int family = std::clamp(t.family, 1, 4);
    if (family != st.lastFamily || t.style != st.lastStyle || s != st.lastSpacing)
        FontSelect(family, t.style, s);
    std::string text = HpglLabelText(st.terminator);
    if (st.kind == 1 && !(s != 0 && family == TextFontFamily::kSymbol))
        for (char& c : text) {
            const unsigned u = static_cast<unsigned char>(c);
            if (u >= 161)
                c = static_cast<char>(kRoman8[u - 161]);
        }
    const double p = s == 0 ? 0.22 : 0.3, q = s == 0 ? 0.22 : 0.0;
    const int j = s == TextSpacing::kWidthTable ? 0 : std::clamp(t.justification, 0, 2);
    if (j != st.lastJustification) {
        YYHpglTextWrite(j == 0 ? "LO1" : j == 1 ? "LO4" : "LO7");
        st.lastJustification = j;
    }
    double x = 0, y = 0;
    HpglTextPoint(p, q, j, x, y);
    YYHpglPointCommand("PU", x, y);
    text += st.terminator;
    YYHpglLabelWrite(text);
    HpglPenAt(-9999.0, -9999.0);
}

// ---- Settings ---------------------------------------------------------------------------

void LineStyle()
{
    HpglLineType(kLinePatterns[static_cast<size_t>(std::clamp(gGraphicsState.lineStyle, 0, 7))]);
}

void LineJoin()
{
    static constexpr const char* kJoins[3] = {"LA2 1", "LA2 4", "LA2 5"};
    YYHpglCommandWrite(kJoins[std::clamp(Option(10), 0, 2)]);
}

void LineCap()
{
    static constexpr const char* kCaps[3] = {"LA1 1", "LA1 4", "LA1 2"};
    YYHpglCommandWrite(kCaps[std::clamp(Option(11), 0, 2)]);
}

void Arc()
{
    YYHpglArcCommand(DeviceOp::kArc, false);
    B().M = 1;
}

} // namespace

void XXHPGL2(int op)
{
    DeviceParameterBlock& b = B();
    if (op == DeviceOp::kInitialise && b.N == kDriverNumberQuery) {
        b.N = kDriverHpgl2;
        return;
    }
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); break;
    case DeviceOp::kLine: HpglLine(); break;
    case DeviceOp::kColour:
    case DeviceOp::kReloadPalette: Colour(); break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone: Shape(op); break;
    case DeviceOp::kBeginPlot: BeginPlot(); break;
    case DeviceOp::kEndPlot: EndPlot(); break;
    case DeviceOp::kEndPage: EndPage(); break;
    case DeviceOp::kFont: gHpgl2.fontChanged = true; break;
    case DeviceOp::kText: Text(); break;
    case DeviceOp::kClip: HpglInputWindow(gHpgl2.page, kUnitsPerPoint); break;
    case DeviceOp::kPoint: HpglPoint(); break;
    case DeviceOp::kPaletteEntry: PenColour(); break;
    case DeviceOp::kLineStyle: LineStyle(); break;
    case DeviceOp::kLineWidth: HpglPenWidth(Option(9) * 0.4 / kUnitsPerPoint, 0.0284, 5.0); break;
    case DeviceOp::kPolyline: Polyline(); break;
    case DeviceOp::kTextAngle: HpglTextDirection(); break;
    case DeviceOp::kArc: Arc(); break;
    case DeviceOp::kLineJoin: LineJoin(); break;
    case DeviceOp::kLineCap: LineCap(); break;
    default: break;
    }
}

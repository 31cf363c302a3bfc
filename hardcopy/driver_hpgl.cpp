// Hardcopy driver 1, XXHPGL: the drawing as an HP-GL file for a pen plotter.
// The plotter model (1..10) fixes the page, the pens and the shapes the
// plotter fills itself (only with option 25 set); every other fill goes back
// to the graphics core as hatch lines. While option 18 is set the file also
// carries data records for a later reader: scale commands with a negative
// first number, each undone by the plain user scale before anything is drawn
// with it.
#include <algorithm>
#include <array>
#include <string>

#include "core/numeric.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/file_driver_support.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/hpgl_commands.h"
#include "hardcopy/plot_colours.h"
#include "hardcopy/plot_file_driver.h"
#include "hardcopy/plot_output.h"

namespace {

constexpr char kEsc = '\x1b';

struct Model {
    char plotterClass; // U, E, F or H
    int unitsPerInch;
    int margin;        // left margin, plotter units
    int width, height; // page, plotter units
    int pens;
};
constexpr std::array<Model, 10> kModels = {{
    {'U', 1016, 400, 10870, 7480, 4},
    {'H', 1021, 400, 11040, 7721, 6},
    {'H', 1021, 400, 16158, 11040, 6},
    {'E', 1016, 400, 10900, 7650, 4},
    {'F', 1016, 400, 10880, 7640, 6},
    {'H', 1016, 0, 10880, 7640, 8},
    {'H', 1016, 0, 10869, 7600, 8},
    {'H', 1016, 0, 15970, 10870, 8},
    {'F', 1016, 400, 10960, 7480, 6},
    {'F', 1016, 400, 15880, 10960, 6},
}};

struct PlotterClass {
    char letter;
    int fillSet;                // bit op / 2 - 1 of each shape the plotter fills itself
    std::string_view style1;    // pattern of line style 1
    std::string_view capability;
};
constexpr std::array<PlotterClass, 4> kClasses = {{
    {'U', 0, "1 .3", "00000100000000000010000000010"},
    {'E', 0, "1 .3", "00000100000000000010000000000"},
    {'F', 40, "1 1", "00000100000010000010000000010"},
    {'H', 126, "1 .3", "00000100000011100010001001010"},
}};

struct HpglState {
    int model = 1;              // 1..10
    double unitsPerPoint = 1016.0 / 72.0;
    HpglPage page;
    char currentPen = ' ';      // pen digit; blank before the first selection
    bool reselect = false;      // select the pen again before the next drawing (after a page end)
    bool fontChanged = true;
    int lastStyle = -1, lastSpacing = 0;
    double lastThickness = -1.0;
    bool nativeFill = false;    // the last fill pass was the plotter's own
    char terminator = 4;
};
HpglState gHpgl;

const Model& Plotter() { return kModels[static_cast<size_t>(gHpgl.model - 1)]; }
const PlotterClass& C()
{
    for (const PlotterClass& c : kClasses)
        if (c.letter == Plotter().plotterClass)
            return c;
    return kClasses[0];
}
DeviceParameterBlock& B() { return gDeviceParameterBlock; }
int Option(int code) { return gHardcopyState.option(code); }
bool Records() { return Option(18) != 0; }

// ---- Data records ----------------------------------------------------------------------

void ResetScale()
{
    if (Records())
        YYHpglCommandWrite(kHpglScale);
}

// Record N with A, B and C + 32760; RESET undoes it in the same line (from
// position 25, which for record 1 cuts the last digit of its third number).
void ScaleRecord(int n, bool reset, int64_t a, int64_t b, int64_t c)
{
    if (!Records())
        return;
    std::string s = "SC-";
    HpglInt(s, n, n >= 10 ? 2 : 1);
    HpglInt(s, a, n == 1 ? 9 : 6);
    HpglInt(s, b, 6);
    HpglInt(s, c + kHpglScaleTop, 6);
    if (s.size() <= 25)
        s.resize(reset ? 24 : 23, ' ');
    if (reset) {
        s += ';';
        s += kHpglScale;
    }
    YYHpglCommandWrite(s);
}

void PointRecord(double x, double y)
{
    if (!Records())
        return;
    std::string s = "SC-9 ";
    HpglInt(s, HpglUnitsX(x), 6);
    HpglInt(s, HpglUnitsY(y), 6);
    s += " 0";
    YYHpglCommandWrite(s);
}

void AngleRecord(double a, double b)
{
    if (!Records())
        return;
    std::string s = "SC-9 ";
    HpglFixed(s, a, 10, 4);
    HpglFixed(s, b, 10, 4);
    s += " 0";
    YYHpglCommandWrite(s);
}

// ---- Initialisation, plot and pages ---------------------------------------------

void Initialise()
{
    HardcopyState& h = gHardcopyState;
    YYHardcopyDefaults();
    gHpgl.model = std::clamp(h.plotterModel, 1, 10);
    const Model& m = Plotter();
    const double u = m.unitsPerInch / 72.0;
    gHpgl.unitsPerPoint = u;
    h.option(3) = static_cast<int>(m.margin / u);
    h.option(4) = 0;
    h.option(1) = static_cast<int>(m.width / u - h.option(3));
    h.option(2) = static_cast<int>(m.height / u);
    h.option(5) = 1;
    h.option(12) = 80;
    h.option(18) = 1;
    h.option(19) = 0;
    h.option(21) = 4;
    h.option(25) = 0;
    gHpgl.fontChanged = true;
    HardcopyDeviceDescription d;
    d.driver = kDriverHpgl;
    d.capability = C().capability;
    d.defaultName = "quilplot.plt";
    d.printCommandAllowed = 1;
    d.largestCharacter = kNoTextSizeLimit;
    d.characterSets = 7;
    d.angles = 360;
    d.platform = 2;
    d.colours = m.pens;
    d.palette = 9;
    d.resolution = 90;
    HardcopyDescribe(d);
}

void BeginPlot()
{
    HpglScaleFactors();
    if (B().M <= 0) {
        YYHpglCommandWrite(kHpglScale);
        return;
    }
    if (!PlotFileBegin())
        return;
    HpglState& s = gHpgl;
    gHpglCommandState.linePrefix = Option(17) != 0 ? 1 : 2;
    s.terminator = static_cast<char>(std::clamp(Option(21), 1, 127));
    s.currentPen = ' ';
    s.lastThickness = -1.0;
    s.reselect = false;
    s.lastStyle = -1;
    s.lastSpacing = 0;
    s.nativeFill = false;
    if (Option(19) != 0)
        YYHpglLineWrite(std::string{kEsc} + ".Y");
    s.page = HpglCorners(s.unitsPerPoint);
    HpglPlotHead(s.page, Option(5) == 0, s.terminator);
    ScaleRecord(2, false, 9, 0, 0);
    ScaleRecord(13, false, s.model, 0, 0);
    YYHpglCommandWrite(kHpglScale);
}

void EndPlot()
{
    if (Option(19) != 0)
        YYHpglLineWrite(std::string{kEsc} + ".Z");
    YYPlotClose(kPlotUnit);
}

void EndPage()
{
    gHardcopyState.pagePending = 0;
    ScaleRecord(3, true, B().M, 0, 0);
    YYHpglTextWrite(gHpgl.model == 7 || gHpgl.model == 8 ? "PU;SP0 ;PG;" : "PU;SP0 ;");
    gHpgl.reselect = true;
}

// The first drawing of a page: after a page end the pen is selected again.
void PenReselect()
{
    HardcopyState& h = gHardcopyState;
    if (h.pagePending != 0)
        return;
    h.pagePending = -1;
    if (gHpgl.reselect) {
        YYHpglTextWrite(std::string("SP") + gHpgl.currentPen);
        gHpgl.reselect = false;
    }
}

void Colour()
{
    static constexpr int kPenOrder[8] = {0, 2, 4, 1, 5, 3, 6, 7};
    const int c = CurrentColourNumber();
    const char pen = static_cast<char>('1' + kPenOrder[((c + 16) / 32) % 8] % Plotter().pens);
    if (pen != gHpgl.currentPen) {
        gHpgl.currentPen = pen;
        gHpgl.reselect = false;
        YYHpglTextWrite(std::string("PU;SP") + pen);
    }
    if (!HardcopyLineFillActive())
        ScaleRecord(1, true, PackedRgb(ColourComponents(HardcopyCurrentColour())), 0, 0);
}

// ---- Shapes ---------------------------------------------------------------------------

void PenThickness()
{
    const double w = std::clamp(Option(12) * 25.4 / 7200.0, 0.1, 5.0);
    if (w == gHpgl.lastThickness)
        return;
    std::string s = "FT2;PT  ";
    HpglFixed(s, w, 4, 2);
    YYHpglCommandWrite(s);
    gHpgl.lastThickness = w;
}

// The ellipse drawn and, by the plotter, filled; otherwise with its record.
void Ellipse(bool native)
{
    HpglEllipse(native, native ? nullptr : +[] {
        const GraphicsState& g = gGraphicsState;
        ScaleRecord(5, false, g.fillMode, g.hatchDensity, g.hatchDirection);
    });
}

// The N points of DevicePointArrays: filled by the plotter, or as records.
void Points(int n, bool native)
{
    const DevicePointArrays& a = gDevicePointArrays;
    n = std::min<int>(n, static_cast<int>(std::min(a.x.size(), a.y.size())));
    if (n < 1)
        return;
    if (!native) {
        for (size_t i = 0; i < static_cast<size_t>(n); ++i)
            PointRecord(ClampToFloatRange(a.x[i]), ClampToFloatRange(a.y[i]));
        ResetScale();
        return;
    }
    const double x = ClampToFloatRange(a.x[0]), y = ClampToFloatRange(a.y[0]);
    YYHpglPointCommand("PU", x, y);
    YYHpglTextWrite("PM0");
    for (size_t i = 1; i < static_cast<size_t>(n); ++i)
        YYHpglPointCommand("PD", ClampToFloatRange(a.x[i]), ClampToFloatRange(a.y[i]));
    YYHpglTextWrite("PM2;FP");
    HpglPenAt(x, y);
}

void FillPass(int op)
{
    const DeviceParameterBlock& b = B();
    const GraphicsState& g = gGraphicsState;
    PenReselect();
    const bool inSet = ((C().fillSet >> (op / 2 - 1)) & 1) != 0;
    bool native = inSet && Option(25) != 0 &&
                  (g.fillMode == kFillSolid || (g.fillMode == kFillHalftone && SameColours()));
    if (op == DeviceOp::kPolygonHalftone && C().letter == 'H' && b.N > 127)
        native = false;
    gHpgl.nativeFill = native;
    if (!native) {
        HardcopyLineFillRequest();
        if (op != DeviceOp::kEllipseHalftone)
            ScaleRecord(HpglShapeCode(op), false, g.fillMode, g.hatchDensity, g.hatchDirection + 10 * g.outline);
    } else {
        PenThickness();
    }
    switch (op) {
    case DeviceOp::kEllipseHalftone: Ellipse(native); break;
    case DeviceOp::kRectangleHalftone:
        if (native) {
            YYHpglPointCommand("PU", ClampToFloatRange(b.X[0]), ClampToFloatRange(b.Y[0]));
            YYHpglPointCommand("RA", ClampToFloatRange(b.X[1]), ClampToFloatRange(b.Y[1]));
            HpglPenAt(ClampToFloatRange(b.X[0]), ClampToFloatRange(b.Y[0]));
        } else {
            PointRecord(ClampToFloatRange(b.X[0]), ClampToFloatRange(b.Y[0]));
            PointRecord(ClampToFloatRange(b.X[1]), ClampToFloatRange(b.Y[1]));
            ResetScale();
        }
        break;
    case DeviceOp::kTriangleHalftone: Points(3, native); break;
    case DeviceOp::kQuadHalftone: Points(4, native); break;
    case DeviceOp::kSectorHalftone:
        if (native) {
            YYHpglArcCommand(DeviceOp::kSectorHalftone, true);
        } else {
            PointRecord(ClampToFloatRange(b.X[0]), ClampToFloatRange(b.Y[0]));
            PointRecord(ClampToFloatRange(b.X[1]), ClampToFloatRange(b.Y[1]));
            AngleRecord(ClampToFloatRange(b.X[2]), ClampToFloatRange(b.Y[2]));
            ResetScale();
        }
        break;
    case DeviceOp::kPolygonHalftone:
        if (!native)
            ScaleRecord(12, false, b.N, 0, 0);
        Points(b.N, native);
        break;
    default: break;
    }
}

void Shape(int op)
{
    if (B().M != -1)
        FillPass(op);
    else if (!gHpgl.nativeFill)
        ScaleRecord(HpglShapeCode(op), true, -1, 0, 0);
}

// ---- Lines and text ---------------------------------------------------------------------

void Polyline()
{
    const DevicePointArrays& a = gDevicePointArrays;
    const int n = std::min<int>(B().N, static_cast<int>(std::min(a.x.size(), a.y.size())));
    PenReselect();
    if (n < 1)
        return;
    HpglMoveTo(ClampToFloatRange(a.x[0]), ClampToFloatRange(a.y[0]));
    for (size_t i = 1; i < static_cast<size_t>(n); ++i)
        YYHpglPointCommand("PD", ClampToFloatRange(a.x[i]), ClampToFloatRange(a.y[i]));
    const size_t last = static_cast<size_t>(n - 1);
    HpglPenAt(ClampToFloatRange(a.x[last]), ClampToFloatRange(a.y[last]));
}

void Font()
{
    const TextState& t = gTextState;
    ScaleRecord(10, true, t.family, t.style, t.spacing);
    gHpgl.fontChanged = true;
}

void Text()
{
    HpglState& st = gHpgl;
    const TextState& t = gTextState;
    PenReselect();
    const int s = std::clamp(t.spacing, 0, 2);
    if (st.fontChanged) {
        static constexpr double kT1[3] = {1.0, 1.007, 1.007};
        static constexpr double kT2[3] = {1.0, 1.211, 1.211};
        HpglRelativeSize(kT1[s], kT2[s], 1.5);
        st.fontChanged = false;
    }
    if (t.style != st.lastStyle || s != st.lastSpacing) {
        YYHpglTextWrite((t.style & TextStyleBits::kItalic) ? "SL.2" : "SL0.");
        st.lastStyle = t.style;
        st.lastSpacing = s;
    }
    double x = 0, y = 0;
    HpglTextPoint(s == 0 ? 0.22 : 0.3, s == 0 ? 0.22 : 0.0, 0, x, y);
    YYHpglPointCommand("PU", x, y);
    std::string text = HpglLabelText(st.terminator);
    text += st.terminator;
    YYHpglLabelWrite(text);
    HpglPenAt(-9999.0, -9999.0);
}

void LineStyle()
{
    static constexpr std::array<std::string_view, 8> kPatterns = {"", "", "2 2", "4 3", "6 2", "5 3", "3 1", "6 4"};
    const int style = std::clamp(gGraphicsState.lineStyle, 0, 7);
    HpglLineType(style == 1 ? C().style1 : kPatterns[static_cast<size_t>(style)]);
}

void Arc()
{
    YYHpglArcCommand(DeviceOp::kArc, true);
    B().M = 1;
}

} // namespace

void XXHPGL(int op)
{
    DeviceParameterBlock& b = B();
    if (op == DeviceOp::kInitialise && b.N == kDriverNumberQuery) {
        b.N = kDriverHpgl;
        return;
    }
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); break;
    case DeviceOp::kLine:
        PenReselect();
        HpglLine();
        break;
    case DeviceOp::kColour: Colour(); break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone: Shape(op); break;
    case DeviceOp::kBeginPlot: BeginPlot(); break;
    case DeviceOp::kEndPlot: EndPlot(); break;
    case DeviceOp::kEndPage: EndPage(); break;
    case DeviceOp::kFont: Font(); break;
    case DeviceOp::kText: Text(); break;
    case DeviceOp::kClip: HpglInputWindow(gHpgl.page, gHpgl.unitsPerPoint); break;
    case DeviceOp::kPoint:
        PenReselect();
        HpglPoint();
        break;
    case DeviceOp::kLineStyle: LineStyle(); break;
    case DeviceOp::kLineWidth:
        if (Records())
            HpglPenWidth(Option(9) * 0.4 / gHpgl.unitsPerPoint, 0.1, 5.0);
        break;
    case DeviceOp::kPolyline: Polyline(); break;
    case DeviceOp::kTextAngle: HpglTextDirection(); break;
    case DeviceOp::kArc: Arc(); break;
    default: break;
    }
}

// Hardcopy driver 8, XXDXF: the drawing as an ASCII DXF file. Begin plot
// writes a fixed HEADER and TABLES section, every drawing operation one
// entity of the ENTITIES section, and end plot closes it. Coordinates are
// inches of the page. Fills a DXF entity cannot express go back to the
// graphics core, which draws them as hatch lines or outlines.
#include "hardcopy/driver_dxf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "core/fixed_fields.h"
#include "core/numeric.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/file_driver_support.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_colours.h"
#include "hardcopy/plot_file_driver.h"
#include "hardcopy/plot_output.h"

namespace {

struct LineType {
    std::string_view name;
    std::string_view description; // 46 characters, written in full
    std::string_view count, total;
    std::array<std::string_view, 6> elements; // dash > 0, dot 0, gap < 0 (inches)
};
constexpr std::array<LineType, 7> kLineTypes = {{
    {"DOT", "..............................................", "2", "0.25", {"0", "-0.25"}},
    {"DASHED", "__ __ __ __ __ __ __ __ __ __ __ __ __ __ __  ", "2", "0.75", {"0.5", "-0.25"}},
    {"DASHDOT", "__ . __ . __ . __ . __ . __ . __ . __ . __ .  ", "4", "1", {"0.5", "-0.25", "0", "-0.25"}},
    {"DIVIDE", "__ . . __ . . __ . . __ . . __ . . __ . . __  ", "6", "1.25",
     {"0.5", "-0.25", "0", "-0.25", "0", "-0.25"}},
    {"CENTER", "____ _ ____ _ ____ _ ____ _ ____ _ ____ _ ____", "4", "2", {"1.25", "-0.25", "0.25", "-0.25"}},
    {"HIDDEN", "_ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ ", "2", "0.25", {"0.12", "-0.12"}},
    {"PHANTOM", "____ _ _ ____ _ _ ____ _ _ ____ _ _ ____ _ _ _", "6", "2.5",
     {"1.25", "-0.25", "0.25", "-0.25", "0.25", "-0.25"}},
}};

// Text height by spacing mode (fixed, width table, device), of the cell.
constexpr double kHeightFactor[3] = {0.78, 0.63, 0.63};

struct DxfState {
    int colourValue = 7;   // colour index, or RGB with option 23 = 24
    int cachedRgb = -1;    // the last colour looked up in the palette
    int cachedIndex = 7;
};
DxfState gDxf;

DeviceParameterBlock& B() { return gDeviceParameterBlock; }
int Option(int code) { return gHardcopyState.option(code); }

// The palette and its points in the colour cone, built once.
struct Palette {
    std::array<int, 256> rgb{};
    std::array<float, 256> x{}, y{}, v{};
};

int Pack(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// Hue in degrees, saturation and value 0..255 to packed RGB, each component
// truncated.
int FromHsv(double hue, double saturation, double value)
{
    const double c = value * saturation;
    const double h = hue / 60.0;
    const double x = c * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    const double m = value - c;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h) % 6) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
    }
    return Pack(static_cast<int>(r + m), static_cast<int>(g + m), static_cast<int>(b + m));
}

const Palette& ThePalette()
{
    static const Palette palette = [] {
        Palette p;
        auto& e = p.rgb;
        e[0] = 0;
        e[1] = Pack(255, 0, 0);
        e[2] = Pack(255, 255, 0);
        e[3] = Pack(0, 255, 0);
        e[4] = Pack(0, 255, 255);
        e[5] = Pack(0, 0, 255);
        e[6] = Pack(255, 0, 255);
        e[7] = Pack(255, 255, 255);
        e[8] = Pack(76, 76, 76);
        e[9] = Pack(165, 165, 165);
        static constexpr double kValues[5] = {255, 165, 127, 76, 38};
        for (int i = 10; i < 250; ++i) {
            const int group = (i - 10) / 10, member = (i - 10) % 10;
            e[static_cast<size_t>(i)] =
                FromHsv(15.0 * group, member % 2 == 0 ? 1.0 : 0.5, kValues[member / 2]);
        }
        static constexpr int kGreys[5] = {84, 118, 152, 186, 220};
        for (int i = 0; i < 5; ++i)
            e[static_cast<size_t>(250 + i)] = Pack(kGreys[i], kGreys[i], kGreys[i]);
        e[255] = Pack(255, 255, 255);
        static constexpr int kListed[][4] = {
            {32, 185, 82, 0},    {33, 165, 124, 82},  {42, 165, 124, 0},   {43, 165, 145, 82},
            {62, 124, 165, 0},   {63, 145, 165, 82},  {72, 82, 165, 72},   {73, 124, 165, 82},
            {113, 82, 165, 124}, {122, 0, 165, 124},  {123, 82, 165, 145}, {142, 0, 124, 165},
            {143, 82, 145, 165}, {153, 82, 124, 165}, {193, 124, 82, 165}, {202, 124, 0, 165},
            {203, 145, 82, 165}, {222, 165, 0, 124},  {223, 165, 82, 145}, {233, 165, 82, 124},
        };
        for (const auto& l : kListed)
            e[static_cast<size_t>(l[0])] = Pack(l[1], l[2], l[3]);
        for (size_t i = 0; i < 256; ++i) {
            float h = 0, s = 0, v = 0;
            YYColourToHSV(e[i], h, s, v);
            p.x[i] = v * s * std::cos(h);
            p.y[i] = v * s * std::sin(h);
            p.v[i] = v;
        }
        return p;
    }();
    return palette;
}

bool SquareArea() { return gGraphicsState.areaFractionSize[0] == gGraphicsState.areaFractionSize[1]; }

// ---- Initialisation, plot and pages ---------------------------------------------

void Initialise()
{
    HardcopyState& h = gHardcopyState;
    YYHardcopyDefaults();
    h.option(1) = 756;
    h.option(2) = 540;
    h.option(3) = 0;
    h.option(4) = 0;
    h.option(5) = 0;
    h.option(12) = 80;
    h.option(23) = 8;
    HardcopyDeviceDescription d;
    d.driver = kDriverDxf;
    d.capability = "00000100000011000010000000010";
    d.defaultName = "quilplot.dxf";
    d.printCommandAllowed = 0;
    d.largestCharacter = 0.222f;
    d.characterSets = 8;
    d.angles = 360;
    d.platform = 2;
    d.trueColour = 1;
    d.deviceJustification = 1;
    d.colours = 255;
    d.palette = 255;
    d.resolution = 90;
    HardcopyDescribe(d);
}

void Group(std::string_view code, std::string_view value) { YYDxfPair(code, value); }

void Head()
{
    const std::string w = DxfRealText(Option(1) / 72.0), h = DxfRealText(Option(2) / 72.0);
    const std::string cx = DxfRealText(Option(1) / 72.0 * 0.5), cy = DxfRealText(Option(2) / 72.0 * 0.5);
    Group("0", "SECTION");
    Group("2", "HEADER");
    Group("9", "$EXTMIN");
    Group("10", "0.0");
    Group("20", "0.0");
    Group("9", "$EXTMAX");
    Group("10", w);
    Group("20", h);
    Group("9", "$CECOLOR");
    Group("62", "7");
    Group("9", "$CELTYPE");
    Group("6", "DASHDOT");
    Group("9", "$VIEWCTR");
    Group("10", cx);
    Group("20", cy);
    Group("9", "$LIMMIN");
    Group("10", "0.0");
    Group("20", "0.0");
    Group("9", "$LIMMAX");
    Group("10", w);
    Group("20", h);
    Group("0", "ENDSEC");

    Group("0", "SECTION");
    Group("2", "TABLES");
    Group("0", "TABLE");
    Group("2", "LTYPE");
    Group("70", "9");
    for (const LineType& t : kLineTypes) {
        Group("0", "LTYPE");
        Group("2", t.name);
        Group("70", "0");
        Group("3", t.description);
        Group("72", "65");
        Group("73", t.count);
        Group("40", t.total);
        for (std::string_view e : t.elements)
            if (!e.empty())
                Group("49", e);
    }
    Group("0", "ENDTAB");

    Group("0", "TABLE");
    Group("2", "STYLE");
    Group("70", "1");
    Group("0", "STYLE");
    Group("2", "STANDARD");
    Group("70", "0");
    Group("40", "0");
    Group("41", "1");
    Group("50", "0");
    Group("71", "0");
    Group("42", "0");
    Group("3", "txt");
    Group("0", "ENDTAB");

    Group("0", "TABLE");
    Group("2", "LAYER");
    Group("70", "9");
    for (char layer = '1'; layer <= '9'; ++layer) {
        Group("0", "LAYER");
        Group("2", std::string_view(&layer, 1));
        Group("70", "0");
        Group("62", "7");
        Group("6", "CONTINUOUS");
    }
    Group("0", "ENDTAB");
    Group("0", "ENDSEC");

    Group("0", "SECTION");
    Group("2", "ENTITIES");
}

void BeginPlot()
{
    HardcopyState& h = gHardcopyState;
    h.scaleX = SaturateToFloat(Option(1) / (72.0 * DriverExtent(gGraphicsState.targetWidth)));
    h.scaleY = SaturateToFloat(Option(2) / (72.0 * DriverExtent(gGraphicsState.targetHeight)));
    if (B().M <= 0)
        return;
    if (!PlotFileBegin())
        return;
    const int depth = Option(23);
    gDeviceCapabilityWords.trueColour[kHardcopySide] = depth < 8 ? 0 : 1;
    gGraphicsState.hardcopyColours = depth < 8 ? (depth == 4 ? 14 : 7) : 255;
    Head();
    gDxf.cachedRgb = -1;
    gDxf.cachedIndex = 7;
}

void EndPlot()
{
    Group("0", "ENDSEC");
    Group("0", "EOF");
    YYPlotClose(kPlotUnit);
}

// ---- Colours ------------------------------------------------------------------------

void Colour()
{
    DxfState& s = gDxf;
    const int rgb = PackedRgb(ColourComponents(HardcopyCurrentColour()));
    const int c = CurrentColourNumber();
    switch (Option(23)) {
    case 24: {
        int r = 0, g = 0, b = 0;
        YYRgbSplit(rgb, &r, &g, &b);
        s.colourValue = r * 65536 + g * 256 + b;
        break;
    }
    case 8:
        if (rgb != s.cachedRgb) {
            s.cachedRgb = rgb;
            s.cachedIndex = YYDxfNearestColour(rgb);
        }
        s.colourValue = s.cachedIndex;
        break;
    case 4: {
        static constexpr int kSixteen[16] = {8, 1, 9, 2, 2, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 8};
        s.colourValue = kSixteen[c / 16];
        break;
    }
    default: {
        const int v = ((c + 16) / 32) % 8;
        s.colourValue = v == 0 ? 7 : v;
        break;
    }
    }
}

// ---- Entities -------------------------------------------------------------------------

// Group 6 with the line type of the current style (none for solid lines).
void LineTypeGroup()
{
    const int style = gGraphicsState.lineStyle;
    if (style >= 1 && style <= 7)
        Group("6", kLineTypes[static_cast<size_t>(style - 1)].name);
}

// The line width as the entity's thickness.
void Thickness() { YYDxfReal("39", Option(9) / 720.0); }

void Line()
{
    const DeviceParameterBlock& b = B();
    gHardcopyState.pagePending = -1;
    YYDxfEntityStart("LINE");
    if (!HardcopyLineFillActive())
        LineTypeGroup();
    Thickness();
    YYDxfPoint("10", "20", b.X[0], b.Y[0]);
    YYDxfPoint("11", "21", b.X[1], b.Y[1]);
}

void Point()
{
    gHardcopyState.pagePending = -1;
    YYDxfEntityStart("POINT");
    YYDxfPoint("10", "20", B().X[0], B().Y[0]);
}

void Polyline()
{
    const DevicePointArrays& a = gDevicePointArrays;
    const int n = std::min<int>(B().N, static_cast<int>(std::min(a.x.size(), a.y.size())));
    gHardcopyState.pagePending = -1;
    YYDxfEntityStart("POLYLINE");
    LineTypeGroup();
    Thickness();
    Group("66", "1");
    Group("70", "0");
    for (size_t i = 0; i < static_cast<size_t>(std::max(n, 0)); ++i) {
        Group("0", "VERTEX");
        Group("8", "1");
        YYDxfPoint("10", "20", a.x[i], a.y[i]);
    }
    Group("0", "SEQEND");
}

void Arc()
{
    DeviceParameterBlock& b = B();
    if (!SquareArea()) {
        b.M = 2;
        return;
    }
    gHardcopyState.pagePending = -1;
    YYDxfEntityStart("ARC");
    LineTypeGroup();
    Thickness();
    YYDxfPoint("10", "20", b.X[0], b.Y[0]);
    YYDxfReal("40", ClampToFloatRange(b.X[1]) * gHardcopyState.scaleX);
    const double start = ClampToFloatRange(b.X[3]), end = start + ClampToFloatRange(b.Y[3]);
    YYDxfReal("50", std::min(start, end));
    YYDxfReal("51", std::max(start, end));
    b.M = 1;
}

// A point of DevicePointArrays (0-based) as the corner groups CX, CY.
void Corner(std::string_view cx, std::string_view cy, size_t i)
{
    const DevicePointArrays& a = gDevicePointArrays;
    if (i < a.x.size() && i < a.y.size())
        YYDxfPoint(cx, cy, a.x[i], a.y[i]);
    else
        YYDxfPoint(cx, cy, 0.0, 0.0);
}

void Solid(int op)
{
    const DeviceParameterBlock& b = B();
    gHardcopyState.pagePending = -1;
    YYDxfEntityStart("SOLID");
    if (op == DeviceOp::kRectangleHalftone) {
        const auto& area = gGraphicsState.deviceArea;
        const double x1 = std::max(ClampToFloatRange(b.X[0]), ClampToFloatRange(area[0])), y1 = std::max(ClampToFloatRange(b.Y[0]), ClampToFloatRange(area[1]));
        const double x2 = std::min(ClampToFloatRange(b.X[1]), ClampToFloatRange(area[2])), y2 = std::min(ClampToFloatRange(b.Y[1]), ClampToFloatRange(area[3]));
        YYDxfPoint("10", "20", x1, y1);
        YYDxfPoint("11", "21", x1, y2);
        YYDxfPoint("12", "22", x2, y1);
        YYDxfPoint("13", "23", x2, y2);
        return;
    }
    // The fourth corner: a quadrilateral's third point (the corners go
    // across), a triangle's third point again.
    const bool quad = op == DeviceOp::kQuadHalftone;
    Corner("10", "20", 0);
    Corner("11", "21", 1);
    Corner("12", "22", quad ? 3 : 2);
    Corner("13", "23", 2);
}

void Shape(int op)
{
    DeviceParameterBlock& b = B();
    if (b.M == -1)
        return; // the outline pass: outlines arrive as lines
    const int mode = gGraphicsState.fillMode;
    const bool round = op == DeviceOp::kEllipseHalftone || op == DeviceOp::kSectorHalftone ||
                       op == DeviceOp::kPolygonHalftone;
    if (mode == kFillHalftone || round) {
        HardcopyLineFillRequest();
        if (mode >= kFillHalftone)
            return;
        if (op == DeviceOp::kEllipseHalftone && b.X[2] == 1.0f && SquareArea()) {
            gHardcopyState.pagePending = -1;
            YYDxfEntityStart("CIRCLE");
            Thickness();
            YYDxfPoint("10", "20", b.X[0], b.Y[0]);
            YYDxfReal("40", ClampToFloatRange(b.X[1]) * gHardcopyState.scaleX);
        } else {
            b.M = -1;
        }
        return;
    }
    if (mode == kFillSolid)
        Solid(op);
}

void Text()
{
    const DeviceParameterBlock& b = B();
    const GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    gHardcopyState.pagePending = -1;
    YYDxfEntityStart("TEXT");
    const bool turned = g.pageRotation % 180 != 0;
    const double perW = Option(1) / (72.0 * DriverExtent(gGraphicsState.targetWidth)), perH = Option(2) / (72.0 * DriverExtent(gGraphicsState.targetHeight));
    const double cwi = ClampToFloatRange(ClampToFloatRange(g.orientedAreaSize[0]) * ClampToFloatRange(t.charWidth) * (turned ? perH : perW));
    const double chi = ClampToFloatRange(ClampToFloatRange(g.orientedAreaSize[1]) * ClampToFloatRange(t.charHeight) * (turned ? perW : perH));
    const int s = std::clamp(t.spacing, 0, 2);
    YYDxfReal("40", chi * kHeightFactor[s]);
    // A text of no height keeps the style's width factor.
    const double ratio = chi != 0.0 ? ClampToFloatRange(cwi * ClampToFloatRange(gHardcopyState.pageAspect) / chi) : 1.0;
    YYDxfReal("41", ratio);
    YYDxfInt("50", YYDeviceTrunc(t.deviceAngle));
    const int n = std::clamp<int>(b.IX[0], 0, kDeviceTextLength);
    std::string text(gDeviceTextBuffer.text.data(), static_cast<size_t>(n));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    Group("1", text);
    Group("7", "STANDARD");
    const double x = ClampToFloatRange(b.X[0]) + 0.22 * ClampToFloatRange(t.upX), y = ClampToFloatRange(b.Y[0]) - 0.22 * ClampToFloatRange(t.upY);
    if (t.stacking != 0) {
        Group("72", "1");
        YYDxfPoint("10", "20", x, y);
        const double half = ClampToFloatRange(b.X[1]) / 2.0;
        YYDxfPoint("11", "21", x + ClampToFloatRange(t.deviceCos) * half, y + ClampToFloatRange(t.deviceSinByK) * half);
    } else {
        Group("72", "0");
        YYDxfPoint("10", "20", x, y);
    }
}

} // namespace

// ---- Writers -----------------------------------------------------------------------------

namespace {

// Appends the (F15.6) text of VALUE without its leading blanks (a field of
// no width has none) and without the zeros at the end of its fraction.
void AppendReal(std::string& out, double value)
{
    const size_t at = out.size();
    AppendFixedField(out, ClampToFloatRange(value), 0, 6);
    if (out.find('.', at) != std::string::npos)
        while (out.size() > at && out.back() == '0')
            out.pop_back();
}

// A group as one piece: the code line, CR LF and the value, which the plot
// unit ends with CR LF.
std::string gGroup;

void PutGroup() { YYPlotPutLine(kPlotUnit, gGroup); }

void StartGroup(std::string_view code)
{
    gGroup.assign(code);
    gGroup += "\r\n";
}

} // namespace

std::string DxfRealText(double value)
{
    std::string s;
    AppendReal(s, value);
    return s;
}

void YYDxfPair(std::string_view code, std::string_view value)
{
    StartGroup(code);
    gGroup += value;
    PutGroup();
}

void YYDxfInt(std::string_view code, int value)
{
    StartGroup(code);
    AppendIntField(gGroup, value, 0);
    PutGroup();
}

void YYDxfReal(std::string_view code, double value)
{
    StartGroup(code);
    AppendReal(gGroup, value);
    PutGroup();
}

void YYDxfPoint(std::string_view codeX, std::string_view codeY, double x, double y)
{
    YYDxfReal(codeX, ClampToFloatRange(x) * gHardcopyState.scaleX);
    YYDxfReal(codeY, ClampToFloatRange(y) * gHardcopyState.scaleY);
}

void YYDxfEntityStart(std::string_view name)
{
    YYDxfPair("0", name);
    YYDxfPair("8", "1");
    YYDxfInt(Option(23) == 24 ? "420" : "62", gDxf.colourValue);
}

int YYDxfPaletteEntry(int index)
{
    if (index < 0 || index > 255)
        return 0;
    return ThePalette().rgb[static_cast<size_t>(index)];
}

int YYDxfNearestColour(int rgb)
{
    const Palette& p = ThePalette();
    float h = 0, s = 0, v = 0;
    YYColourToHSV(rgb, h, s, v);
    const float x = v * s * std::cos(h), y = v * s * std::sin(h);
    int best = 7;
    float distance = 9999999.0f;
    for (size_t i = 1; i < 256; ++i) {
        if (p.rgb[i] == (rgb & 0xFFFFFF))
            return static_cast<int>(i);
        const float dx = x - p.x[i], dy = y - p.y[i], dv = v - p.v[i];
        const float d = dx * dx + dy * dy + dv * dv;
        if (d < distance) {
            distance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void XXDXF(int op)
{
    DeviceParameterBlock& b = B();
    if (op == DeviceOp::kInitialise && b.N == kDriverNumberQuery) {
        b.N = kDriverDxf;
        return;
    }
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); break;
    case DeviceOp::kLine: Line(); break;
    case DeviceOp::kColour: Colour(); break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone: Shape(op); break;
    case DeviceOp::kBeginPlot: BeginPlot(); break;
    case DeviceOp::kEndPlot: EndPlot(); break;
    case DeviceOp::kEndPage: gHardcopyState.pagePending = 0; break;
    case DeviceOp::kText: Text(); break;
    case DeviceOp::kPoint: Point(); break;
    case DeviceOp::kPolyline: Polyline(); break;
    case DeviceOp::kArc: Arc(); break;
    default: break;
    }
}

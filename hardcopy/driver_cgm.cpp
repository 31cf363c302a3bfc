// The CGM driver XXCGM (hardcopy driver 9): the drawing as a binary CGM file
// through plot unit 2. Each page is one picture: the end of a page ends it,
// and the next element opens a new one, which restates what a new picture's
// defaults undo (line type and width, clip, character orientation, font,
// line join and cap). Attribute elements are written only when they change.
// No Win32 here.
#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/cgm_encoding.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_output.h"

namespace {

constexpr char kCapability[] = "00000110111111100010011011100";
constexpr std::string_view kDefaultFile = "quilplot.cgm";
constexpr int kResolution = 600;

// Plot unit 2 as a CGM sink: a write fails once the unit has reported a
// failure (its abort flag).
class PlotUnitSink : public CgmSink {
public:
    bool Put(const std::uint8_t* bytes, std::size_t n) override
    {
        YYPlotPutBytes(kPlotUnit, std::span<const std::uint8_t>(bytes, n), static_cast<int>(n));
        return gHardcopyState.outputAbort != -1;
    }
};

struct CgmDriverState {
    bool plotOpen = false;
    bool pictureOpen = false;
    CgmHead head;
    CgmAttributeCache cache;
    int lineJoin = 0, lineCap = 0;
    CgmRgb current;
    // What the open picture has stated, for the next picture to restate;
    // -1 not stated.
    int lineType = -1, lineWidth = -1;
    bool clipStated = false;
    std::array<int, 4> clip{};
    bool orientationStated = false;
    CgmOrientation orientation;
    int fontIndex = -1, charHeight = -1;
};

CgmDriverState gCgm;
PlotUnitSink gSink;
CgmWriter gWriter(gSink);
std::array<char, 200> gTitle{};

CgmDriverState& S() { return gCgm; }
DeviceParameterBlock& B() { return gDeviceParameterBlock; }
int Swap() { return gHardcopyState.option(6); }

CgmScale Scale()
{
    return {gHardcopyState.scaleX, gHardcopyState.scaleY};
}

// The width of option 9 (tenths of a point) in VDC units.
int WidthOption()
{
    HardcopyState& h = gHardcopyState;
    const std::int64_t page = std::max(h.option(1), 1);
    return CgmVdc(static_cast<double>(std::int64_t(h.option(9)) * S().head.vdcWidth / (10 * page)));
}

void RestateAfterNewPicture();

// The writer with a picture open: after the end of a page the next element
// first opens the next picture.
CgmWriter& Picture()
{
    if (!S().pictureOpen) {
        S().pictureOpen = true;
        CgmPictureBegin(gWriter, S().head);
        S().cache.Reset();
        RestateAfterNewPicture();
    }
    return gWriter;
}

void RestateAfterNewPicture()
{
    CgmDriverState& s = S();
    CgmWriter& w = gWriter;
    if (s.lineType >= 0)
        CgmIntElement(w, CgmElement::kLineType, {s.lineType});
    if (s.lineWidth >= 0)
        CgmIntElement(w, CgmElement::kLineWidth, {s.lineWidth});
    if (s.clipStated) {
        CgmIntElement(w, CgmElement::kClipIndicator, {1});
        w.Begin(CgmElement::kClipRectangle);
        w.Point(s.clip[0], s.clip[1]);
        w.Point(s.clip[2], s.clip[3]);
        w.End();
    }
    if (s.orientationStated)
        CgmCharacterOrientation(w, s.orientation);
    if (s.fontIndex >= 0)
        CgmIntIfChanged(w, CgmElement::kTextFontIndex, s.cache.fontIndex, s.fontIndex);
    if (s.charHeight >= 0)
        CgmIntIfChanged(w, CgmElement::kCharacterHeight, s.cache.charHeight, s.charHeight);
    if (s.lineJoin != 0)
        CgmIntElement(w, CgmElement::kLineJoin, {s.lineJoin + 2});
    if (s.lineCap != 0)
        CgmIntElement(w, CgmElement::kLineCap, {s.lineCap + 2, 1});
}

// ---- Operations ---------------------------------------------------------------------------

void Initialise()
{
    HardcopyState& h = gHardcopyState;
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    DeviceCapabilityWords& words = gDeviceCapabilityWords;
    YYHardcopyDefaults();
    h.option(1) = 756;
    h.option(2) = 540;
    h.option(3) = 0;
    h.option(4) = 0;
    h.option(5) = 0;
    h.option(28) = 2;
    h.resolutionX = kResolution;
    h.resolutionY = kResolution;
    g.hardcopyColours = 256;
    h.paletteSize = 256;
    t.sizeLimit[kTextHardcopy] = kNoTextSizeLimit;
    t.deviceCharset[kTextHardcopy] = 8;
    t.rotation[kTextHardcopy] = 360;
    t.deviceProportional[kTextHardcopy] = 1;
    t.hardcopySpacing = 1;
    t.hardcopyTextBox = 1;
    words.angleLimit[kHardcopySide] = 360;
    words.textKind[kHardcopySide] = 2;
    words.trueColour[kHardcopySide] = 1;
    words.gradient[kHardcopySide] = 2;
    h.printCommandAllowed = 0;
    std::copy_n(kCapability, kCapabilityLength, gDeviceCapabilityString[kHardcopySide].begin());
    PutText(gLibraryPaths.hardcopyFileName.span(), kDefaultFile);
    h.driverNumber = kDriverCgm;
}

void BeginPlot()
{
    CgmDriverState& s = S();
    HardcopyState& h = gHardcopyState;
    GraphicsState& g = gGraphicsState;
    if (B().M > 0) {
        const int saved = gErrorState.lastCode;
        gErrorState.lastCode = kErrorNone;
        YYPlotOpen(kPlotUnit);
        if (gErrorState.lastCode != kErrorNone) {
            g.hardcopyOpen = 0;
            return;
        }
        gErrorState.lastCode = saved;
        const int set = h.option(28);
        s = CgmDriverState{};
        s.plotOpen = true;
        s.pictureOpen = true;
        s.head.fontSet = set >= 0 && set <= 2 ? set : 2;
        CgmVdcExtent(h.option(1), h.option(2), s.head.vdcWidth, s.head.vdcHeight);
        s.head.background = YYCgmColourSwap({255, 255, 255}, Swap());
        if (B().IX[0] != 0) {
            const std::string_view title = h.plotTitle.trimmed();
            const std::size_t n = std::min(title.size(), gTitle.size());
            std::copy_n(title.begin(), n, gTitle.begin());
            s.head.title = std::string_view(gTitle.data(), n);
        }
        CgmMetafileHead(gWriter, s.head);
        s.cache.Reset();
    }
    const double w = g.targetLimit[0], ht = g.targetLimit[1];
    h.scaleX = w > 0.0 ? SaturateToFloat(s.head.vdcWidth / w) : 1.0f;
    h.scaleY = ht > 0.0 ? SaturateToFloat(s.head.vdcHeight / ht) : 1.0f;
}

void EndPlot()
{
    CgmDriverState& s = S();
    if (!s.plotOpen)
        return;
    if (s.pictureOpen)
        CgmEndPicture(gWriter);
    CgmEndMetafile(gWriter);
    YYPlotClose(kPlotUnit);
    s.plotOpen = false;
    s.pictureOpen = false;
}

void EndPage()
{
    gHardcopyState.pagePending = 0;
    if (S().plotOpen && S().pictureOpen) {
        CgmEndPicture(gWriter);
        S().pictureOpen = false;
    }
}

void Line(double x1, double y1, double x2, double y2)
{
    CgmWriter& w = Picture();
    const CgmScale sc = Scale();
    CgmColourIfChanged(w, CgmElement::kLineColour, S().cache.lineColour, S().current);
    const int x[2] = {sc.X(x1), sc.X(x2)}, y[2] = {sc.Y(y1), sc.Y(y2)};
    CgmPolylines(w, x, y);
}

void Fill(int op)
{
    const GraphicsState& g = gGraphicsState;
    const DeviceParameterBlock& b = B();
    CgmDriverState& s = S();
    // M = -1 is the outline pass, which writes nothing here; every other M is
    // the fill pass (a quadrilateral's carries its orientation, 1 or 2).
    if (b.M == -1)
        return;
    const bool ellipse = op == DeviceOp::kEllipseHalftone;
    if (!ellipse && g.fillMode != kFillHalftone && g.fillMode != kFillSolid)
        return; // outlines and hatching come as lines
    CgmWriter& w = Picture();
    const CgmScale sc = Scale();
    CgmColourIfChanged(w, CgmElement::kFillColour, s.cache.fillColour, CgmFillColour(s.current, Swap()));
    switch (op) {
    case DeviceOp::kEllipseHalftone: {
        CgmEllipseRequest e;
        e.cx = sc.X(b.X[0]);
        e.cy = sc.Y(b.Y[0]);
        e.px = sc.X(static_cast<double>(b.X[0]) + b.X[1]);
        e.py = e.cy;
        e.qx = e.cx;
        e.qy = sc.Y(static_cast<double>(b.Y[0]) + b.Y[1]);
        e.outline = g.fillMode < kFillHalftone;
        e.edge = s.current;
        e.edgeType = CgmLineType(g.lineStyle);
        e.edgeWidth = WidthOption();
        CgmEllipse(w, s.cache, e);
        break;
    }
    case DeviceOp::kRectangleHalftone: {
        const auto& a = g.deviceArea;
        CgmIntElement(w, CgmElement::kInteriorStyle, {1});
        CgmRectangle(w, sc.X(std::fmax(b.X[0], a[0])), sc.Y(std::fmax(b.Y[0], a[1])), sc.X(std::fmin(b.X[1], a[2])),
                     sc.Y(std::fmin(b.Y[1], a[3])));
        break;
    }
    case DeviceOp::kSectorHalftone:
        CgmIntElement(w, CgmElement::kInteriorStyle, {1});
        CgmDeviceSector(w, sc, b.Y[1]);
        break;
    default: { // quadrilateral, triangle, polygon
        const int count = op == DeviceOp::kQuadHalftone ? 4 : op == DeviceOp::kTriangleHalftone ? 3 : b.N;
        CgmIntElement(w, CgmElement::kInteriorStyle, {1});
        CgmDevicePolygon(w, sc, count);
        break;
    }
    }
}

void Font()
{
    CgmDriverState& s = S();
    const TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    CgmWriter& w = Picture();
    s.fontIndex = CgmFontIndex(t.family, t.style, t.spacing);
    const double height = 0.55 * t.charHeight * g.orientedAreaSize[1] * gHardcopyState.textScaleY;
    s.charHeight = std::max(1, CgmVdc(height));
    CgmIntIfChanged(w, CgmElement::kTextFontIndex, s.cache.fontIndex, s.fontIndex);
    CgmIntIfChanged(w, CgmElement::kCharacterHeight, s.cache.charHeight, s.charHeight);
}

void Text()
{
    CgmDriverState& s = S();
    CgmWriter& w = Picture();
    CgmDeviceText(w, s.cache, Scale(), gHardcopyState.textScaleX, s.current, CgmPreviousColour(Swap()));
}

void Clip()
{
    CgmDriverState& s = S();
    CgmWriter& w = Picture();
    const CgmScale sc = Scale();
    const auto& a = gGraphicsState.deviceArea;
    s.clip = {sc.X(a[0]), sc.Y(a[1]), sc.X(a[2]), sc.Y(a[3])};
    s.clipStated = true;
    CgmIntElement(w, CgmElement::kClipIndicator, {1});
    w.Begin(CgmElement::kClipRectangle);
    w.Point(s.clip[0], s.clip[1]);
    w.Point(s.clip[2], s.clip[3]);
    w.End();
}

void Orientation()
{
    CgmDriverState& s = S();
    const TextState& t = gTextState;
    CgmWriter& w = Picture();
    const double g = static_cast<double>(t.charWidth) * gGraphicsState.orientedAreaSize[0] * gHardcopyState.textScaleX;
    s.orientation = CgmOrientationOf(g, t.deviceCos, t.deviceSinK, t.deviceSinByK);
    s.orientationStated = true;
    CgmCharacterOrientation(w, s.orientation);
}

void Image()
{
    const GraphicsState& g = gGraphicsState;
    HardcopyState& h = gHardcopyState;
    CgmWriter& w = Picture();
    const CgmScale sc = Scale();
    const auto& a = g.deviceArea;
    const std::array<int, 6> pqr = {sc.X(a[0]), sc.Y(a[3]), sc.X(a[2]), sc.Y(a[1]), sc.X(a[2]), sc.Y(a[3])};
    // A write that fails during the image ends it: the unit's abort flag
    // says so row by row.
    const int savedAbort = h.outputAbort;
    h.outputAbort = 0;
    if (!CgmDeviceImage(w, pqr, Swap())) {
        B().M = kErrorFileReadWrite;
        B().N = gErrorState.osError;
        return;
    }
    h.outputAbort = savedAbort;
}

void Operation(int op)
{
    CgmDriverState& s = S();
    const DeviceParameterBlock& b = B();
    const GraphicsState& g = gGraphicsState;
    HardcopyState& h = gHardcopyState;
    switch (op) {
    case DeviceOp::kLine:
        h.pagePending = -1;
        Line(b.X[0], b.Y[0], b.X[1], b.Y[1]);
        break;
    case DeviceOp::kPoint:
        h.pagePending = -1;
        Line(b.X[0], b.Y[0], b.X[0], b.Y[0]);
        break;
    case DeviceOp::kColour:
    case DeviceOp::kReloadPalette:
        s.current = CgmCurrentColour(Swap());
        break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone:
        h.pagePending = -1;
        Fill(op);
        break;
    case DeviceOp::kFont: Font(); break;
    case DeviceOp::kText:
        h.pagePending = -1;
        Text();
        break;
    case DeviceOp::kClip: Clip(); break;
    case DeviceOp::kLineStyle:
        s.lineType = CgmLineType(g.lineStyle);
        CgmIntElement(Picture(), CgmElement::kLineType, {s.lineType});
        break;
    case DeviceOp::kLineWidth:
        s.lineWidth = WidthOption();
        CgmIntElement(Picture(), CgmElement::kLineWidth, {s.lineWidth});
        break;
    case DeviceOp::kPolyline: {
        h.pagePending = -1;
        CgmWriter& w = Picture();
        CgmColourIfChanged(w, CgmElement::kLineColour, s.cache.lineColour, s.current);
        CgmDevicePolyline(w, Scale(), b.N);
        break;
    }
    case DeviceOp::kTextAngle: Orientation(); break;
    case DeviceOp::kLineJoin:
        if (h.option(10) != s.lineJoin) {
            s.lineJoin = h.option(10);
            CgmIntElement(Picture(), CgmElement::kLineJoin, {s.lineJoin + 2});
        }
        break;
    case DeviceOp::kLineCap:
        if (h.option(11) != s.lineCap) {
            s.lineCap = h.option(11);
            CgmIntElement(Picture(), CgmElement::kLineCap, {s.lineCap + 2, 1});
        }
        break;
    case DeviceOp::kImageFile:
        h.pagePending = -1;
        Image();
        break;
    case DeviceOp::kShadedPolygon:
        h.pagePending = -1;
        CgmDeviceShaded(Picture(), Scale(), Swap());
        break;
    default: break;
    }
}

} // namespace

void XXCGM(int op)
{
    DeviceParameterBlock& b = B();
    switch (op) {
    case DeviceOp::kInitialise:
        if (b.N == kDriverNumberQuery)
            b.N = kDriverCgm;
        else
            Initialise();
        return;
    case DeviceOp::kBeginPlot: BeginPlot(); return;
    case DeviceOp::kEndPlot: EndPlot(); return;
    case DeviceOp::kEndPage: EndPage(); return;
    default:
        if (S().plotOpen)
            Operation(op);
        return;
    }
}

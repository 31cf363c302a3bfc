// The Windows printer driver XXWIN: the print job and its pages; and the
// operation bodies that it shares with the Windows metafile driver: colours,
// pens with dash tables, fills, fonts, text, clip, points, arcs, images and
// shaded polygons, drawn with GDI into the driver's drawing context.
#include "hardcopy/printer_driver.h"

#include <float.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "core/os_services.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "graphics/shaded_polygons.h"
#include "graphics/text_state.h"
#include "hardcopy/gdi_image.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_colours.h"

PrinterDrawingState gPrinterDrawingState;

namespace {

constexpr char kCapability[] = "00000111111111100010011011110";
constexpr std::string_view kDefaultTitle = "Quillodrane graphic";

PrinterDrawingState& P() { return gPrinterDrawingState; }
DeviceParameterBlock& B() { return gDeviceParameterBlock; }

// The driver whose operation runs: its state and its rules.
GdiDriverState* gActiveState = &gPrinterDrawingState;
const GdiDriverRules* gActiveRules = nullptr;
GdiDriverState& D() { return *gActiveState; }
const GdiDriverRules& R() { return *gActiveRules; }

// Keeps the floating-point control word over calls into printer drivers,
// which may change it.
class ControlWordGuard {
public:
    ControlWordGuard() : saved_(_controlfp(0, 0)) {}
    ~ControlWordGuard()
    {
        _clearfp();
        _controlfp(saved_, _MCW_EM);
    }
    ControlWordGuard(const ControlWordGuard&) = delete;
    ControlWordGuard& operator=(const ControlWordGuard&) = delete;

private:
    unsigned saved_;
};

int Clamp32(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// V points at RESOLUTION dots per inch: V x RESOLUTION / 72 (integers).
int PointsToPixels(int v, int resolution) { return Clamp32(static_cast<int64_t>(v) * resolution / 72); }

double SafeQuotient(double a, double b) { return (b != 0.0 && std::isfinite(b)) ? a / b : a; }

// An angle in radians, 0 when it is not a number.
double Angle(float a) { return std::isfinite(a) ? static_cast<double>(a) : 0.0; }

int PX(double x) { return YYDeviceTrunc(x * gHardcopyState.scaleX); }
int PY(double y) { return YYDeviceTrunc((gGraphicsState.targetLimit[1] - y) * gHardcopyState.scaleY); }
int RX(double r) { return YYDeviceTrunc(r * gHardcopyState.scaleX); }
int RY(double r) { return YYDeviceTrunc(r * gHardcopyState.scaleY); }

int ScreenDpi()
{
    if (gGdiSurfaceState.screenDpi > 0)
        return gGdiSurfaceState.screenDpi;
    if (gLibraryState.dotsPerInchX > 0)
        return gLibraryState.dotsPerInchX;
    return 96;
}

int ColourCount(HDC dc)
{
    int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    return 1 << std::clamp(bits, 1, 24);
}

void Report(int code, int windowsError)
{
    gErrorState.osError = windowsError;
    gErrorState.osErrorKind = 2;
    YYErrorReport(code, "XXWIN");
}

bool Ready() { return R().ready(); }

// ---- Colours ------------------------------------------------------------------

std::array<int, 3> Split(int colour)
{
    std::array<int, 3> t{};
    YYColourSplit(colour, t[0], t[1], t[2]);
    return t;
}

int CurrentColour()
{
    const GraphicsState& g = gGraphicsState;
    return g.colourModel == kColourModelRgb ? g.currentRgb : g.currentNumber;
}

int PreviousColour()
{
    const GraphicsState& g = gGraphicsState;
    return g.colourModel == kColourModelRgb ? g.previousRgb : g.previousNumber;
}

// Colour swap of option 6: 1 inverts every colour, 2 only near-black and
// near-white ones.
void Swap(std::array<int, 3>& t)
{
    ColourSwapBytes(t, gHardcopyState.option(6));
}

// The GDI colours: the current one moves to previous.
void GdiColour(const std::array<int, 3>& t)
{
    D().gdiPrevious = D().gdiCurrent;
    D().gdiCurrent = RGB(t[0], t[1], t[2]);
}

void Colour()
{
    GdiDriverState& p = D();
    const GraphicsState& g = gGraphicsState;
    p.previous = p.current;
    if (R().monochrome && gHardcopyState.option(7) != 0) {
        const bool white = g.colourModel == kColourModelRgb ? (g.currentRgb & 0xFFFFFF) == 0xFFFFFF
                                                            : g.currentNumber == 0;
        p.current = white ? std::array<int, 3>{255, 255, 255} : std::array<int, 3>{0, 0, 0};
    } else {
        p.current = Split(CurrentColour());
        Swap(p.current);
    }
    GdiColour(p.current);
}

// ---- Job and pages -------------------------------------------------------------

bool Testing() { return P().testContext != nullptr; }

void PenCacheReset(GdiDriverState& s)
{
    s.penColour = s.penStyle = s.penWidthMade = -1;
}

// Starts a page when one is pending: start page, window origin and extent,
// the current font, the clip region, a transparent background.
bool PageReady()
{
    PrinterDrawingState& p = P();
    if (!p.dc)
        return false;
    if (p.pageStartPending) {
        ControlWordGuard guard;
        if (!Testing())
            StartPage(p.dc);
        SetWindowOrgEx(p.dc, p.originX, p.originY, nullptr);
        SetWindowExtEx(p.dc, p.extentW, p.extentH, nullptr);
        if (p.font)
            SelectObject(p.dc, p.font);
        SelectClipRgn(p.dc, p.clip);
        SetBkMode(p.dc, TRANSPARENT);
        PenCacheReset(p);
        p.pageStartPending = 0;
        ++p.pagesStarted;
    }
    gHardcopyState.pagePending = -1;
    return true;
}

void DashScale()
{
    P().dashResolution = P().resolutionX;
    GdiDriverDashScale(P());
}

// Starts the print job (or, with a job active, rereads the printer's
// resolution and offsets). Returns the Windows error code, 0 on success.
int JobStart()
{
    PrinterDrawingState& p = P();
    HardcopyState& h = gHardcopyState;
    ControlWordGuard guard;
    const bool first = !p.jobActive;
    if (first) {
        HDC dc = p.testContext;
        if (!dc) {
            SetLastError(0);
            dc = GdiPrinterDC(h.option(5), h.option(8));
            if (!dc) {
                int err = static_cast<int>(GetLastError());
                return err != 0 ? err : ERROR_INVALID_PRINTER_NAME;
            }
            std::string name(TrimRight(h.plotTitle.view()));
            DOCINFOA info{};
            info.cbSize = sizeof(info);
            info.lpszDocName = name.c_str();
            if (StartDocA(dc, &info) <= 0) {
                int err = static_cast<int>(GetLastError());
                DeleteDC(dc);
                return err != 0 ? err : ERROR_INVALID_HANDLE;
            }
        }
        p.dc = dc;
        p.jobActive = 1;
        p.pagesStarted = 0;
    }
    p.printerColours = ColourCount(p.dc);
    p.resolutionX = std::max(1, GetDeviceCaps(p.dc, LOGPIXELSX));
    p.resolutionY = std::max(1, GetDeviceCaps(p.dc, LOGPIXELSY));
    const int offsetX = GetDeviceCaps(p.dc, PHYSICALOFFSETX);
    const int offsetY = GetDeviceCaps(p.dc, PHYSICALOFFSETY);
    DashScale();
    p.originX = Clamp32(static_cast<int64_t>(offsetX) - PointsToPixels(h.option(3), p.resolutionX));
    p.originY = Clamp32(static_cast<int64_t>(offsetY) - PointsToPixels(h.option(4), p.resolutionY));
    p.extentW = PointsToPixels(h.option(1), p.resolutionX);
    p.extentH = PointsToPixels(h.option(2), p.resolutionY);
    if (first) {
        p.pageStartPending = 1;
        PageReady();
        h.pagePending = 0; // an empty first page is not a drawn one
        if (p.clip) {
            DeleteObject(p.clip);
            p.clip = nullptr;
        }
        SelectClipRgn(p.dc, nullptr);
    }
    return 0;
}

void BeginPlot()
{
    PrinterDrawingState& p = P();
    HardcopyState& h = gHardcopyState;
    GraphicsState& g = gGraphicsState;
    if (B().M == 1) {
        if (p.infoError != 0) {
            Report(kErrorFileOpen, p.infoError);
            g.hardcopyOpen = 0;
            return;
        }
        if (h.titleGiven == 0)
            h.plotTitle = FixedText<200>(kDefaultTitle);
        const int err = JobStart();
        if (err != 0) {
            Report(kErrorFileOpen, err);
            g.hardcopyOpen = 0;
            return;
        }
        h.resolutionX = p.resolutionX;
        h.resolutionY = p.resolutionY;
        p.pageWidth = PointsToPixels(h.option(1), p.resolutionX);
        p.pageHeight = PointsToPixels(h.option(2), p.resolutionY);
        g.hardcopyColours = std::min(p.printerColours, 256);
        p.current = {255, 255, 255};
    }
    h.scaleX = static_cast<float>(p.pageWidth) / static_cast<float>(std::max(g.targetWidth, 1));
    h.scaleY = static_cast<float>(p.pageHeight) / static_cast<float>(std::max(g.targetHeight, 1));
}

void EndPlot()
{
    PrinterDrawingState& p = P();
    if (!p.jobActive)
        return;
    ControlWordGuard guard;
    GdiDriverRelease(p);
    if (!Testing()) {
        if (!p.pageStartPending)
            EndPage(p.dc);
        EndDoc(p.dc);
        DeleteDC(p.dc);
    }
    p.dc = nullptr;
    p.jobActive = 0;
    p.pageStartPending = 0;
}

void EndOfPage()
{
    PrinterDrawingState& p = P();
    gHardcopyState.pagePending = 0;
    if (!p.jobActive || p.pageStartPending)
        return;
    if (!Testing()) {
        ControlWordGuard guard;
        EndPage(p.dc);
    }
    p.pageStartPending = 1;
}

// ---- Pens and drawing-context routines -------------------------------------------

void PenSelect()
{
    GdiDriverState& p = D();
    const int colour = static_cast<int>(p.gdiCurrent);
    if (p.pen == nullptr || colour != p.penColour || p.lineStyle != p.penStyle || p.penWidth != p.penWidthMade) {
        SelectObject(p.dc, GetStockObject(BLACK_PEN));
        if (p.pen)
            DeleteObject(p.pen);
        p.pen = nullptr;
        if (gLibraryState.ntFamily && R().userDashes && p.lineStyle >= 1 && p.lineStyle <= 7) {
            const std::vector<DWORD>& d = p.dashes[static_cast<size_t>(p.lineStyle - 1)];
            if (R().systemDashes) {
                LOGBRUSH lb{BS_SOLID, p.gdiCurrent, 0};
                p.pen = ExtCreatePen(PS_GEOMETRIC | static_cast<DWORD>(p.gdiPenStyle) | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                                     static_cast<DWORD>(std::max(p.penWidth, 1)), &lb, 0, nullptr);
            } else if (!d.empty()) {
                LOGBRUSH lb{BS_SOLID, p.gdiCurrent, 0};
                p.pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                                     static_cast<DWORD>(std::max(p.penWidth, 1)), &lb,
                                     static_cast<DWORD>(d.size()), d.data());
            }
        }
        if (!p.pen)
            p.pen = CreatePen(p.gdiPenStyle, p.penWidth, p.gdiCurrent);
        p.penColour = colour;
        p.penStyle = p.lineStyle;
        p.penWidthMade = p.penWidth;
    }
    SelectObject(p.dc, p.pen);
}

// Runs DRAW with BRUSH and PEN selected, then selects the cached pen back.
template <class F>
void WithObjects(HBRUSH brush, HPEN pen, F draw)
{
    HDC dc = D().dc;
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    draw();
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

// A solid brush and (when PEN) a 1-pixel solid pen of the current colour.
template <class F>
void Filled(bool pen, F draw)
{
    HBRUSH brush = CreateSolidBrush(D().gdiCurrent);
    HPEN outline = pen ? CreatePen(PS_SOLID, 1, D().gdiCurrent) : static_cast<HPEN>(GetStockObject(NULL_PEN));
    WithObjects(brush, outline, draw);
    DeleteObject(brush);
    if (pen)
        DeleteObject(outline);
}

void LineDraw(int x1, int y1, int x2, int y2)
{
    PenSelect();
    MoveToEx(D().dc, x1, y1, nullptr);
    LineTo(D().dc, x2, y2);
    if (D().lineStyle == 0)
        SetPixel(D().dc, x2, y2, D().gdiCurrent);
}

void PolylineDraw(const std::vector<POINT>& points)
{
    if (points.size() < 2)
        return;
    PenSelect();
    // Formats of 16-bit counts take a long polyline in pieces, each starting
    // at the last point of the one before.
    const size_t limit = R().pointLimit > 1 ? static_cast<size_t>(R().pointLimit) : points.size();
    for (size_t start = 0; start + 1 < points.size(); start += limit - 1) {
        const size_t count = std::min(limit, points.size() - start);
        Polyline(D().dc, points.data() + start, static_cast<int>(count));
    }
    const POINT& first = points.front();
    const POINT& last = points.back();
    if (D().lineStyle == 0 && (last.x != first.x || last.y != first.y))
        SetPixel(D().dc, last.x, last.y, D().gdiCurrent);
}

std::vector<POINT> ArrayPoints(int n)
{
    const DevicePointArrays& a = gDevicePointArrays;
    n = std::clamp<int>(n, 0, static_cast<int>(std::min(a.x.size(), a.y.size())));
    std::vector<POINT> points(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        points[static_cast<size_t>(i)] = POINT{PX(a.x[static_cast<size_t>(i)]), PY(a.y[static_cast<size_t>(i)])};
    return points;
}

std::vector<POINT> CornerPoints(int n)
{
    std::vector<POINT> points(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        points[static_cast<size_t>(i)] = POINT{PX(B().X[static_cast<size_t>(i)]), PY(B().Y[static_cast<size_t>(i)])};
    return points;
}

// The ellipse box of centre (X1, Y1) and radii (X2, Y2): from (cx - rx - 1,
// cy - ry - 1) to (cx + rx + 2, cy + ry + 2).
RECT EllipseBox()
{
    const int cx = PX(B().X[0]), cy = PY(B().Y[0]);
    const int rx = RX(B().X[1]), ry = RY(B().Y[1]);
    return RECT{Clamp32(int64_t(cx) - rx - 1), Clamp32(int64_t(cy) - ry - 1), Clamp32(int64_t(cx) + rx + 2),
                Clamp32(int64_t(cy) + ry + 2)};
}

// The radial points of the sector of operations 13 and 34, with the end
// point moved by one pixel when both fall on the same pixel of a short sweep.
void SectorPoints(POINT& s, POINT& e)
{
    const DeviceParameterBlock& b = B();
    const double cx = b.X[0], cy = b.Y[0], rx = b.X[1], ry = b.Y[1];
    s = POINT{PX(cx + rx * std::cos(Angle(b.X[2]))), PY(cy + ry * std::sin(Angle(b.X[2])))};
    e = POINT{PX(cx + rx * std::cos(Angle(b.Y[2]))), PY(cy + ry * std::sin(Angle(b.Y[2])))};
    if (s.x == e.x && s.y == e.y && std::fabs(b.Y[3]) <= 10.0f) {
        double a = std::isfinite(b.X[3]) ? std::fmod(static_cast<double>(b.X[3]), 360.0) : 0.0;
        if (a < 0.0)
            a += 360.0;
        if (a < 90.0) {
            e.x -= 1;
            e.y -= 1;
        } else if (a < 180.0) {
            e.x -= 1;
            e.y += 1;
        } else if (a < 270.0) {
            e.x += 1;
            e.y += 1;
        } else {
            e.x += 1;
            e.y -= 1;
        }
    }
}

// ---- Filled shapes ---------------------------------------------------------------

bool FillColoured()
{
    const int mode = gGraphicsState.fillMode;
    return mode == kFillHalftone || mode == kFillSolid ||
           ((mode == kFillHatch || mode == kFillCrossHatch) && R().monochrome && gHardcopyState.option(7) != 0);
}

void FilledShape(int op)
{
    GdiDriverState& p = D();
    const GraphicsState& g = gGraphicsState;
    if (B().M == -1) {
        // Outline pass: the colours of the fill pass are put back.
        if (FillColoured()) {
            GdiColour(p.previous);
            GdiColour(p.current);
        }
        return;
    }
    if (!Ready())
        return;
    if (FillColoured()) {
        p.fill = Split(CurrentColour());
        if (g.fillMode == kFillHalftone) {
            const std::array<int, 3> before = Split(PreviousColour());
            for (size_t i = 0; i < 3; ++i)
                p.fill[i] = (p.fill[i] + before[i]) / 2;
        }
        Swap(p.fill);
        GdiColour(p.fill);
    }
    if (g.fillMode != kFillHalftone && g.fillMode != kFillSolid) {
        if (op == DeviceOp::kEllipseHalftone) {
            const RECT r = EllipseBox();
            PenSelect();
            HGDIOBJ old = SelectObject(p.dc, GetStockObject(NULL_BRUSH));
            Ellipse(p.dc, r.left, r.top, r.right, r.bottom);
            SelectObject(p.dc, old);
        }
        return;
    }
    switch (op) {
    case DeviceOp::kEllipseHalftone: {
        const RECT r = EllipseBox();
        Filled(true, [&] { Ellipse(p.dc, r.left, r.top, r.right, r.bottom); });
        break;
    }
    case DeviceOp::kRectangleHalftone: {
        const auto& a = g.deviceArea;
        const double x1 = std::max(B().X[0], a[0]), y1 = std::max(B().Y[0], a[1]);
        const double x2 = std::min(B().X[1], a[2]), y2 = std::min(B().Y[1], a[3]);
        if (!(x1 <= x2 && y1 <= y2))
            break;
        const int left = PX(x1), top = PY(y2), right = PX(x2), bottom = PY(y1);
        Filled(false, [&] { Rectangle(p.dc, left, top, Clamp32(int64_t(right) + 2), Clamp32(int64_t(bottom) + 2)); });
        break;
    }
    case DeviceOp::kSectorHalftone: {
        const RECT r = EllipseBox();
        POINT s, e;
        SectorPoints(s, e);
        Filled(true, [&] { Pie(p.dc, r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y); });
        break;
    }
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kPolygonHalftone: {
        std::vector<POINT> points = op == DeviceOp::kQuadHalftone       ? CornerPoints(4)
                                    : op == DeviceOp::kTriangleHalftone ? CornerPoints(3)
                                                                        : ArrayPoints(B().N);
        if (R().pointLimit > 0 && points.size() > static_cast<size_t>(R().pointLimit))
            points.resize(static_cast<size_t>(R().pointLimit));
        if (points.size() >= 2)
            Filled(true, [&] { Polygon(p.dc, points.data(), static_cast<int>(points.size())); });
        break;
    }
    default: break;
    }
}

// ---- Fonts and text ---------------------------------------------------------------

HFONT FontMake(int height, int width, int angle)
{
    const TextState& t = gTextState;
    int style = t.style;
    if (t.spacing == TextSpacing::kWidthTable)
        style &= ~TextStyleBits::kUnderline;
    const char* face = "";
    std::string named;
    BYTE charset = ANSI_CHARSET;
    BYTE family = FF_DONTCARE;
    switch (t.requestedFamily) {
    case TextFontFamily::kNamedDevice:
        named = std::string(TrimRight(std::string_view(t.deviceFontName, sizeof t.deviceFontName)));
        face = named.c_str();
        charset = DEFAULT_CHARSET;
        break;
    case TextFontFamily::kSwiss: face = "Arial"; family = FF_SWISS; break;
    case TextFontFamily::kRoman: face = "Times New Roman"; family = FF_ROMAN; break;
    case TextFontFamily::kSymbol: face = "Symbol"; family = FF_ROMAN; charset = SYMBOL_CHARSET; break;
    default: face = "Courier New"; family = FF_MODERN; break;
    }
    return CreateFontA(-height, width, 10 * angle, 10 * angle, (style & TextStyleBits::kBold) ? 700 : 400,
                       (style & TextStyleBits::kItalic) ? TRUE : FALSE,
                       (style & TextStyleBits::kUnderline) ? TRUE : FALSE, FALSE, charset, OUT_CHARACTER_PRECIS,
                       CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, static_cast<BYTE>(VARIABLE_PITCH | family), face);
}

void Font()
{
    GdiDriverState& p = D();
    const TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    const HardcopyState& h = gHardcopyState;
    double w = static_cast<double>(t.charWidth) * g.orientedAreaSize[0] * h.textScaleX;
    double ht = static_cast<double>(t.charHeight) * g.orientedAreaSize[1] * h.textScaleY;
    if (t.spacing != TextSpacing::kFixedPitch) {
        ht *= t.spacing == TextSpacing::kWidthTable ? 0.607 : 0.725;
        if (t.requestedFamily == TextFontFamily::kSymbol)
            ht *= 1.38;
        w *= 0.821;
    }
    const int width = std::max(1, YYDeviceTrunc(w));
    const int height = std::max(1, YYDeviceTrunc(ht));
    const int angle = std::isfinite(t.deviceAngle) ? static_cast<int>(std::fmod(t.deviceAngle, 3600.0f)) : 0;
    if (!R().measuredFont) {
        // Made once, at the height asked for and at its angle.
        if (p.dc)
            SelectObject(p.dc, GetStockObject(SYSTEM_FONT));
        if (p.font)
            DeleteObject(p.font);
        p.font = FontMake(height, width, angle);
        if (p.dc && p.font)
            SelectObject(p.dc, p.font);
        return;
    }

    // Measure the font upright, then make it at its cell height and angle.
    HDC measure = p.dc ? p.dc : GetDC(nullptr);
    if (!measure)
        return;
    if (p.dc)
        SelectObject(p.dc, GetStockObject(SYSTEM_FONT));
    if (p.font)
        DeleteObject(p.font);
    p.font = nullptr;
    HFONT upright = FontMake(height, width, 0);
    HGDIOBJ old = SelectObject(measure, upright);
    TEXTMETRICA tm{};
    GetTextMetricsA(measure, &tm);
    SelectObject(measure, old);
    DeleteObject(upright);
    if (!p.dc)
        ReleaseDC(nullptr, measure);
    p.ascent = tm.tmAscent;
    p.cellHeight = std::max<int>(1, tm.tmHeight);
    p.font = FontMake(p.cellHeight, width, angle);
    if (p.dc && p.font)
        SelectObject(p.dc, p.font);
}

void Text()
{
    GdiDriverState& p = D();
    DeviceParameterBlock& b = B();
    const TextState& t = gTextState;
    const HardcopyState& h = gHardcopyState;
    if (!Ready())
        return;
    double dx = 0.0, dy = 0.0;
    if (R().quarterTextShift) {
        // A quarter of the character height vector across the baseline.
        dx = 0.25 * t.upX;
        dy = 0.25 * t.upY;
    } else {
        // From the middle of the character cell to the baseline.
        const double d = p.ascent - p.cellHeight / 2.0;
        dx = SafeQuotient(d * t.deviceSinByK, h.textScaleX);
        dy = SafeQuotient(d * t.deviceCos, h.textScaleY);
    }
    const int x1 = PX(b.X[0] + dx), y1 = PY(b.Y[0] - dy);
    const int x3 = PX(b.X[2] + dx), y3 = PY(b.Y[2] - dy);
    const int justification = t.spacing == TextSpacing::kWidthTable ? 0 : t.justification;
    const bool perCharacter = b.IX[1] != 3;
    const bool box = (t.style & TextStyleBits::kBox) && t.spacing != TextSpacing::kWidthTable && !perCharacter;
    const int n = std::clamp<int>(b.IX[0], 0, kDeviceTextLength);
    SetTextColor(p.dc, p.gdiCurrent);
    SetBkColor(p.dc, p.gdiPrevious);
    SetBkMode(p.dc, box ? OPAQUE : TRANSPARENT);
    int x = x1, y = y1;
    UINT align = TA_BASELINE | TA_LEFT;
    if (justification == 1) {
        x = static_cast<int>((static_cast<int64_t>(x1) + x3) / 2);
        y = static_cast<int>((static_cast<int64_t>(y1) + y3) / 2);
        align = TA_BASELINE | TA_CENTER;
    } else if (justification == 2) {
        x = x3;
        y = y3;
        align = TA_BASELINE | TA_RIGHT;
    }
    SetTextAlign(p.dc, align);
    TextOutA(p.dc, x, y, gDeviceTextBuffer.text.data(), n);
    SetBkMode(p.dc, TRANSPARENT);
    b.IX[3] = 0;
}

void TextWidth()
{
    GdiDriverState& p = D();
    DeviceParameterBlock& b = B();
    if (!p.dc)
        return;
    const int n = std::clamp<int>(b.M, 0, kDeviceTextLength);
    SIZE size{};
    GetTextExtentPoint32A(p.dc, gDeviceTextBuffer.text.data(), n, &size);
    b.X[0] = SaturateToFloatKeepNaN(SafeQuotient(size.cx, gHardcopyState.textScaleX));
    b.N = 1;
}

// ---- The other operations -----------------------------------------------------------

void Clip()
{
    GdiDriverState& p = D();
    const auto& a = gGraphicsState.deviceArea;
    const HardcopyState& h = gHardcopyState;
    const double height = gGraphicsState.targetLimit[1];
    const int64_t left = YYDeviceTrunc(a[0] * static_cast<double>(h.scaleX));
    const int64_t top = YYDeviceTrunc((height - a[3]) * h.scaleY);
    const int64_t right = YYDeviceTrunc(a[2] * static_cast<double>(h.scaleX) + 0.99);
    const int64_t bottom = YYDeviceTrunc((height - a[1]) * h.scaleY + 0.99);
    if (p.clip)
        DeleteObject(p.clip);
    p.clip = CreateRectRgn(Clamp32(left - p.originX), Clamp32(top - p.originY), Clamp32(right - p.originX),
                           Clamp32(bottom - p.originY));
    if (p.dc)
        SelectClipRgn(p.dc, p.clip);
}

void Point()
{
    GdiDriverState& p = D();
    if (!Ready())
        return;
    const int x = PX(B().X[0]), y = PY(B().Y[0]);
    if (!R().squarePoint) {
        SetPixel(p.dc, x, y, p.gdiCurrent);
        return;
    }
    const int w = std::max(p.penWidth, 1);
    Filled(false, [&] { Rectangle(p.dc, x - w / 2, y - w / 2, x + w - w / 2 + 1, y + w - w / 2 + 1); });
}

void LineStyle()
{
    const int style = std::clamp(gGraphicsState.lineStyle, 0, 7);
    D().lineStyle = style;
    D().gdiPenStyle = kGdiPenStyles[static_cast<size_t>(style)];
}

void LineWidth()
{
    P().penWidth = PrinterPenWidth(gHardcopyState.option(9), P().resolutionX, P().resolutionY);
    DashScale();
}

void Arc()
{
    GdiDriverState& p = D();
    if (!Ready())
        return;
    const RECT r = EllipseBox();
    POINT s, e;
    SectorPoints(s, e);
    PenSelect();
    HGDIOBJ old = SelectObject(p.dc, GetStockObject(NULL_BRUSH));
    if (gGraphicsState.hatchDensity > 2)
        ::Arc(p.dc, r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y);
    else
        Pie(p.dc, r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y);
    SelectObject(p.dc, old);
}

void Image()
{
    DeviceParameterBlock& b = B();
    const auto& a = gGraphicsState.deviceArea;
    if (!Ready())
        return;
    const int ix1 = PX(a[0]), ix2 = PX(a[2]);
    const int iy1 = YYDeviceTrunc(a[1] * static_cast<double>(gHardcopyState.scaleY));
    const int iy2 = YYDeviceTrunc(a[3] * static_cast<double>(gHardcopyState.scaleY));
    ImageBox box = ImageBoxForArea(ix1, iy1, ix2, iy2, D().pageHeight, gGraphicsState.pageRotation);
    std::string_view name(gDeviceTextBuffer.text.data(), kDeviceTextLength);
    int result = 0, osError = 0;
    ImageDrawToTarget(b.IX[0], R().imageTarget, box.x1, box.y1, box.x2, box.y2, b.IY[0], b.IY[2],
                      gGraphicsState.pageRotation, box.dx, box.dy, result, osError, name);
    b.M = result;
    b.N = osError;
}

void PixelCallback(int x, int y, int rgb)
{
    if (D().dc)
        SetPixel(D().dc, x, y, static_cast<COLORREF>(rgb) & 0xFFFFFF);
}

void GradientTriangles(const int* x, const int* y, const int* colours, const int* triangles, int n, int m,
                       int& status)
{
    using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    static GradientFillFn fill = [] {
        HMODULE lib = LoadLibraryA("msimg32.dll");
        return lib ? reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(GetProcAddress(lib, "GradientFill")))
                   : nullptr;
    }();
    status = 1;
    if (!fill || !D().dc || n < 3 || m < 1)
        return;
    std::vector<TRIVERTEX> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int c = colours[i];
        v[static_cast<size_t>(i)] = TRIVERTEX{x[i], y[i], static_cast<COLOR16>((c & 0xFF) << 8),
                                              static_cast<COLOR16>(((c >> 8) & 0xFF) << 8),
                                              static_cast<COLOR16>(((c >> 16) & 0xFF) << 8), 0};
    }
    std::vector<GRADIENT_TRIANGLE> t;
    for (int k = 0; k < m; ++k) {
        const int a = triangles[3 * k], b = triangles[3 * k + 1], c = triangles[3 * k + 2];
        if (a < 1 || a > n || b < 1 || b > n || c < 1 || c > n)
            return;
        t.push_back(GRADIENT_TRIANGLE{static_cast<ULONG>(a - 1), static_cast<ULONG>(b - 1), static_cast<ULONG>(c - 1)});
    }
    if (fill(D().dc, v.data(), static_cast<ULONG>(n), t.data(), static_cast<ULONG>(m), GRADIENT_FILL_TRIANGLE))
        status = 0;
}

void ShadedPolygon()
{
    const DevicePointArrays& a = gDevicePointArrays;
    ShadedPolygonBuffer& s = gShadedPolygonBuffer;
    if (!Ready())
        return;
    s.count = a.shadedCount;
    const int n = std::clamp<int>(a.shadedCount, 0,
                                  std::min<int>(kShadedPolygonCapacity, static_cast<int>(std::min(a.x.size(), a.y.size()))));
    for (int i = 0; i < n; ++i) {
        s.x[static_cast<size_t>(i)] = PX(a.x[static_cast<size_t>(i)]);
        s.y[static_cast<size_t>(i)] = PY(a.y[static_cast<size_t>(i)]);
    }
    const auto& area = gGraphicsState.deviceArea;
    YYShadedPolygon(R().shadedPerPixel ? 1 : gDeviceCapabilityWords.gradient[kHardcopySide], PX(area[0]), PY(area[3]), PX(area[2]),
                    PY(area[1]), PixelCallback, GradientTriangles);
}

// ---- Initialisation -------------------------------------------------------------------

void Initialise()
{
    PrinterDrawingState& p = P();
    HardcopyState& h = gHardcopyState;
    GraphicsState& g = gGraphicsState;
    YYHardcopyDefaults();
    if (B().M != -998) {
        int paperLong = 0, paperShort = 0, pageWidth = 0, pageHeight = 0, xOffset = 0, yOffset = 0, rotation = 0,
            copies = 0, colours = 0, error = 0;
        GdiPrinterInfo(h.printerSetup, paperLong, paperShort, pageWidth, pageHeight, xOffset, yOffset, rotation,
                       copies, colours, error);
        p.infoError = error;
        h.printerAvailable = error == 0 ? 1 : 0;
        if (error == 0) {
            // A page of the paper less 144 points, at 72 points from its
            // corner, landscape, one copy.
            h.paperLongSide = paperLong;
            h.paperShortSide = paperShort;
            h.option(1) = paperLong - 144;
            h.option(2) = paperShort - 144;
            h.option(3) = 72;
            h.option(4) = 72;
            h.option(5) = 1;
            h.option(8) = 1;
        }
        p.printerColours = colours;
        h.paletteSize = 256;
        g.hardcopyColours = colours;
        h.option(7) = colours <= 2 ? 1 : 0;
    }
    GdiDriverCapabilities();
    h.driverNumber = kDriverWindowsPrinter;
}

} // namespace

void PrinterDashTables(int resolutionX, int screenDpi, int width, std::array<std::vector<DWORD>, 7>& dashes)
{
    const unsigned screen = static_cast<unsigned>(std::max(screenDpi, 1));
    const unsigned printer = resolutionX > 0 ? static_cast<unsigned>(resolutionX) : screen;
    for (size_t s = 0; s < kGdiBaseDashes.size(); ++s) {
        dashes[s] = kGdiBaseDashes[s];
        for (size_t i = 0; i < dashes[s].size(); ++i) {
            DWORD v = kGdiBaseDashes[s][i] * printer / screen;
            if (width > 1 && i % 2 == 1)
                v += static_cast<DWORD>(width - 1);
            dashes[s][i] = v;
        }
    }
}

int PrinterPenWidth(int tenthsOfPoint, int resolutionX, int resolutionY)
{
    auto dots = [&](int resolution) {
        const double v = static_cast<double>(tenthsOfPoint) * resolution / 720.0 + 0.5;
        return std::max(1, YYDeviceTrunc(v));
    };
    const int64_t sum = static_cast<int64_t>(dots(resolutionX)) + dots(resolutionY) - 2;
    return Clamp32(sum / 2);
}

void GdiDriverCapabilities()
{
    TextState& t = gTextState;
    t.sizeLimit[kTextHardcopy] = kNoTextSizeLimit;
    t.deviceCharset[kTextHardcopy] = 8;
    t.rotation[kTextHardcopy] = 360;
    t.deviceProportional[kTextHardcopy] = 1;
    t.hardcopySpacing = 1;
    t.hardcopyTextBox = 1;
    DeviceCapabilityWords& w = gDeviceCapabilityWords;
    w.angleLimit[kHardcopySide] = 360;
    w.textKind[kHardcopySide] = gLibraryState.ntFamily ? 2 : 1;
    w.trueColour[kHardcopySide] = 1;
    int gradient = 1;
    GradientFillAvailable(gradient);
    w.gradient[kHardcopySide] = gradient;
    gHardcopyState.printCommandAllowed = 0;
    std::copy_n(kCapability, kCapabilityLength, gDeviceCapabilityString[kHardcopySide].begin());
}

HDC PrinterDrawingContext(HRGN& clip)
{
    clip = P().clip;
    return PageReady() ? P().dc : nullptr;
}

void GdiDriverDashScale(GdiDriverState& state)
{
    PrinterDashTables(state.dashResolution, ScreenDpi(), state.penWidth, state.dashes);
}

void GdiDriverRelease(GdiDriverState& p)
{
    if (p.dc) {
        SelectClipRgn(p.dc, nullptr);
        SelectObject(p.dc, GetStockObject(SYSTEM_FONT));
        SelectObject(p.dc, GetStockObject(BLACK_PEN));
    }
    if (p.clip)
        DeleteObject(p.clip);
    if (p.font)
        DeleteObject(p.font);
    if (p.pen)
        DeleteObject(p.pen);
    p.clip = nullptr;
    p.font = nullptr;
    p.pen = nullptr;
    PenCacheReset(p);
}

void GdiDriverOperation(GdiDriverState& state, const GdiDriverRules& rules, int op)
{
    GdiDriverState* const savedState = gActiveState;
    const GdiDriverRules* const savedRules = gActiveRules;
    gActiveState = &state;
    gActiveRules = &rules;
    DeviceParameterBlock& b = B();
    switch (op) {
    case DeviceOp::kColour:
    case DeviceOp::kReloadPalette: Colour(); break;
    case DeviceOp::kFont:
    case DeviceOp::kTextAngle: Font(); break;
    case DeviceOp::kClip: Clip(); break;
    case DeviceOp::kLineStyle: LineStyle(); break;
    case DeviceOp::kTextWidth: TextWidth(); break;
    default:
        if (!state.dc)
            break; // drawing needs an open plot
        switch (op) {
        case DeviceOp::kLine:
            if (Ready())
                LineDraw(PX(b.X[0]), PY(b.Y[0]), PX(b.X[1]), PY(b.Y[1]));
            break;
        case DeviceOp::kEllipseHalftone:
        case DeviceOp::kQuadHalftone:
        case DeviceOp::kRectangleHalftone:
        case DeviceOp::kTriangleHalftone:
        case DeviceOp::kSectorHalftone:
        case DeviceOp::kPolygonHalftone: FilledShape(op); break;
        case DeviceOp::kText: Text(); break;
        case DeviceOp::kPoint: Point(); break;
        case DeviceOp::kPolyline:
            if (Ready())
                PolylineDraw(ArrayPoints(b.N));
            break;
        case DeviceOp::kArc: Arc(); break;
        case DeviceOp::kImageFile: Image(); break;
        case DeviceOp::kShadedPolygon: ShadedPolygon(); break;
        default: break;
        }
        break;
    }
    gActiveState = savedState;
    gActiveRules = savedRules;
}

void XXWIN(int op)
{
    static const GdiDriverRules kRules{kImageTargetPrinter, true, true, true, false, true, false, 0, false, PageReady};
    DeviceParameterBlock& b = B();
    if (op == DeviceOp::kInitialise && b.N == kDriverNumberQuery) {
        b.N = kDriverWindowsPrinter;
        return;
    }
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); return;
    case DeviceOp::kBeginPlot: BeginPlot(); return;
    case DeviceOp::kEndPlot: EndPlot(); return;
    case DeviceOp::kEndPage: EndOfPage(); return;
    case DeviceOp::kLineWidth: LineWidth(); return;
    default: GdiDriverOperation(P(), kRules, op); return;
    }
}

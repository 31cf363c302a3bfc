// The screen device driver YYGAPI: one DeviceOp on the current GDI surface.
#include "graphics/screen_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/os_services.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/metafile_slots.h"
#include "graphics/shaded_polygons.h"
#include "graphics/text_state.h"

namespace {

// The font the screen driver made last.
struct FontCache {
    int width = -1, height = -1, angle = -1, family = -1, style = -1;
    std::string face;
    int ascent = -1;
    int measuredHeight = -1;
    int measuredWidth = -1; // of the 52 letters
};
FontCache gFont;
bool gPalettePending = false;

DeviceParameterBlock& B() { return gDeviceParameterBlock; }

// y of the block (up) to y of the surface (down): H - y - 1, saturated.
int Flip(int y)
{
    int64_t v = static_cast<int64_t>(gGraphicsState.targetHeight) - y - 1;
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int Trunc(double v) { return YYDeviceTrunc(v); }

// The fill of a filled-shape op: the odd op of each pair is the half-tone one.
GdiFill FillOf(int op) { return op % 2 == 1 ? GdiFill::kHalftone : GdiFill::kSolid; }

float Ratio(float a, float b)
{
    if (b == 0.0f || !std::isfinite(a) || !std::isfinite(b))
        return 1.0f;
    float r = a / b;
    return std::isfinite(r) ? r : 1.0f;
}

void LoadPoints(int n)
{
    const DevicePointArrays& p = gDevicePointArrays;
    n = std::max(0, std::min<int>(n, static_cast<int>(p.x.size())));
    GdiPointsAlloc(n);
    for (int i = 0; i < n; ++i)
        GdiPointSet(Trunc(p.x[static_cast<size_t>(i)]), Flip(Trunc(p.y[static_cast<size_t>(i)])), i);
}

void LoadCorners(int n)
{
    GdiPointsAlloc(n);
    for (int i = 0; i < n; ++i)
        GdiPointSet(B().IX[static_cast<size_t>(i)], Flip(B().IY[static_cast<size_t>(i)]), i);
}

// Start and end points of the sector and arc operations.
void SectorPoints(int& xs, int& ys, int& xe, int& ye)
{
    DeviceParameterBlock& b = B();
    xs = Trunc(b.IX[0] + static_cast<double>(b.X[1]) * std::cos(b.X[2]));
    ys = Flip(Trunc(b.IY[0] + static_cast<double>(b.Y[1]) * std::sin(b.X[2])));
    xe = Trunc(b.IX[0] + static_cast<double>(b.X[1]) * std::cos(b.Y[2]));
    ye = Flip(Trunc(b.IY[0] + static_cast<double>(b.Y[1]) * std::sin(b.Y[2])));
    if (xs == xe && ys == ye && std::fabs(b.Y[3]) <= 10.0f) {
        double a = std::isfinite(b.X[3]) ? std::fmod(static_cast<double>(b.X[3]), 360.0) : 0.0;
        if (a < 0.0)
            a += 360.0;
        if (a < 90.0) {
            xe -= 1;
            ye -= 1;
        } else if (a < 180.0) {
            xe -= 1;
            ye += 1;
        } else if (a < 270.0) {
            xe += 1;
            ye += 1;
        } else {
            xe += 1;
            ye -= 1;
        }
    }
}

void Initialise()
{
    auto& w = gDeviceCapabilityWords;
    w.angleLimit[kScreenSide] = 360;
    w.textKind[kScreenSide] = gLibraryState.ntFamily ? 2 : 1;
    w.trueColour[kScreenSide] = gLibraryState.colourCount > 256 ? 1 : 0;
    int gradient = 1;
    GradientFillAvailable(gradient);
    w.gradient[kScreenSide] = gradient;
    TextState& t = gTextState;
    t.deviceCharset[kScreenSide] = 8;
    t.sizeLimit[kScreenSide] = 1.7e38f;
    t.rotation[kScreenSide] = 360;
    t.deviceProportional[kScreenSide] = 1;
    static constexpr char kCapability[] = "11111111111111111110111011111";
    auto& cap = gDeviceCapabilityString[kScreenSide];
    std::copy_n(kCapability, kCapabilityLength, cap.begin());
    if (gGraphicsState.targetKind == kTargetMetafileSlot)
        cap[28] = '0';
}

void FontApply()
{
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    t.textScaleX = Ratio(g.orientedLimit[0], t.charWidth * g.orientedAreaSize[0]);
    t.textScaleY = Ratio(g.orientedLimit[1], t.charHeight * g.orientedAreaSize[1]);
    double w = static_cast<double>(t.charWidth) * g.orientedAreaSize[0];
    double h = static_cast<double>(t.charHeight) * g.orientedAreaSize[1];
    int style = t.style & 7;
    if (t.spacing == 1 || t.spacing == 2) {
        w *= t.spacing == 1 ? 0.607 : 0.78;
        if (t.requestedFamily == 4)
            w *= 1.38;
        h *= 0.821;
        if (t.spacing == 1)
            style &= ~4;
    }
    int width = std::max(1, Trunc(w));
    int height = std::max(1, Trunc(h));
    int angle = Trunc(t.deviceAngle);
    int family = t.requestedFamily;
    std::string face =
        family == 0 ? std::string(TrimRight(std::string_view(t.deviceFontName, sizeof t.deviceFontName))) : std::string();
    bool same = width == gFont.width && height == gFont.height && angle == gFont.angle &&
                family == gFont.family && style == gFont.style && face == gFont.face;
    if (!same) {
        gFont.width = width;
        gFont.height = height;
        gFont.angle = angle;
        gFont.family = family;
        gFont.style = style;
        gFont.face = face;
        int mw = width, mh = height, ascent = 0;
        GdiFontCreate(mw, mh, ascent, angle, family, style, face);
        gFont.measuredHeight = mh;
        gFont.ascent = ascent;
        gFont.measuredWidth = mw;
    }
    if (t.spacing == 0 && gFont.measuredWidth > 0)
        t.textScaleX = Ratio(g.orientedLimit[0] * 52.0f, static_cast<float>(gFont.measuredWidth));
}

void Text()
{
    DeviceParameterBlock& b = B();
    TextState& t = gTextState;
    float d = gFont.ascent >= 0 ? gFont.ascent - gFont.measuredHeight * 0.5f : 0.0f;
    double x = b.X[0] + static_cast<double>(t.deviceSinByK) * d;
    double y = b.Y[0] - static_cast<double>(t.deviceCos) * d;
    double ex = b.X[2] + static_cast<double>(t.deviceSinByK) * d;
    double ey = b.Y[2] - static_cast<double>(t.deviceCos) * d;
    int n = std::clamp(b.IX[0], 0, kDeviceTextLength);
    std::string_view text(gDeviceTextBuffer.text.data(), kDeviceTextLength);
    if (t.stacking != 0) {
        // A stacked column: each character alone, centred in its cell and
        // without background, one character height below the one before.
        // (X1, Y1) is the left end of the first cell's middle line.
        double cx = x + 0.5 * t.advanceX, cy = y + 0.5 * t.advanceY;
        for (int i = 0; i < n; ++i) {
            int px = Trunc(cx), py = Flip(Trunc(cy));
            GdiText(px, py, px, py, 1, 0, text.substr(static_cast<size_t>(i), 1), 1);
            cx += t.upX;
            cy -= t.upY;
        }
        b.IX[3] = 0;
        return;
    }
    int justification = t.spacing == 1 ? 0 : t.justification;
    int background = ((t.style & 8) != 0 && t.spacing != 1) ? 1 : 0;
    GdiText(Trunc(x), Flip(Trunc(y)), Trunc(ex), Flip(Trunc(ey)), justification, background, text, n);
    b.IX[3] = 0;
}

void PrintArea()
{
    const GraphicsState& g = gGraphicsState;
    HardcopyState& h = gHardcopyState;
    if (!h.printerAvailable) {
        gErrorState.osError = 0;
        gErrorState.osErrorKind = 0;
        YYErrorReport(kErrorFileOpen, "YYGAPI");
        return;
    }
    int status = 1;
    std::string name(TrimRight(std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength)));
    DumpSettings& dump = h.dump;
    GdiPrintBegin(dump.code(1), dump.code(2), dump.code(3), dump.code(4), status, dump.code(5),
                  dump.code(8), name);
    if (status != 0) {
        YYErrorReport(kErrorFileOpen, "YYGAPI");
        return;
    }
    GdiPrintArea(g.integerArea[0], Flip(g.integerArea[3]), g.integerArea[2], Flip(g.integerArea[1]), status);
    if (status != 0)
        YYErrorReport(kErrorImageTransfer, "YYGAPI");
    GdiPrintEnd();
}

// The display palette entry I by the display colour count.
int DisplayPaletteEntry(int i)
{
    int rgb = 0;
    if (gGraphicsState.displayColours == 16)
        YYPalette16Entry(i, rgb);
    else
        YYPalette128Entry(i, rgb);
    return rgb;
}

int DisplayPaletteSize()
{
    int d = gGraphicsState.displayColours;
    return d == 16 ? 16 : std::clamp(d, 0, 128);
}

void ResendColours()
{
    GraphicsState& g = gGraphicsState;
    if (g.colourModel != kColourModelNumbers)
        return;
    YYColourGet(g.previousNumber, g.previousRgb);
    YYColourGet(g.currentNumber, g.currentRgb);
    GdiColourSet(g.previousDevice, g.previousRgb);
    GdiColourSet(g.currentDevice, g.currentRgb);
}

void PaletteEntry()
{
    DeviceParameterBlock& b = B();
    GraphicsState& g = gGraphicsState;
    if (!gGdiSurfaceState.palette)
        return;
    int entry = (b.M >= 0 && b.M < DisplayPaletteSize()) ? DisplayPaletteEntry(b.M) : b.IX[0];
    if (entry != b.IX[0]) {
        if (b.IX[3] == 1) {
            GdiPaletteSet(b.M, b.IX[0], gPalettePending ? 2 : 1);
            gPalettePending = true;
        } else {
            GdiPaletteSet(b.M, b.IX[0], gPalettePending ? 3 : 0);
            gPalettePending = false;
        }
    } else if (b.IX[3] == 0 && gPalettePending) {
        GdiPaletteSet(b.M, b.IX[0], 3);
        gPalettePending = false;
    }
    if (g.colourModel == kColourModelNumbers && (b.M == g.previousDevice || b.M == g.currentDevice)) {
        GdiColourSet(g.previousDevice, g.previousRgb);
        GdiColourSet(g.currentDevice, g.currentRgb);
    }
}

void ReloadPalette()
{
    if (gGdiSurfaceState.palette) {
        int n = DisplayPaletteSize();
        for (int i = 0; i < n; ++i)
            GdiPaletteSet(i, DisplayPaletteEntry(i), i == 0 ? 1 : (i == n - 1 ? 3 : 2));
    }
    ResendColours();
}

void LineWidth()
{
    const GraphicsState& g = gGraphicsState;
    int width = g.lineWidth;
    if (g.targetKind == kTargetMetafileSlot) {
        int physical = 0, pixels = 0;
        MetafileSlotWidths(g.targetId, physical, pixels);
        int64_t den = static_cast<int64_t>(physical) * 10;
        width = den > 0 ? static_cast<int>(static_cast<int64_t>(g.metafileLineWidth) * pixels / den) : 1;
    }
    GdiLineWidthSet(width);
}

void AreaMove()
{
    DeviceParameterBlock& b = B();
    if (gGraphicsState.targetKind == kTargetMetafileSlot)
        return;
    int height = b.IY[1] - b.IY[0];
    GdiAreaMove(b.IX[0], Flip(b.IY[1]), b.IX[1], Flip(b.IY[0]), b.IX[2], Flip(b.IY[2] + height),
                b.M != 0 ? 1 : 0, gColourTable.entries[0]);
}

void Clip()
{
    const GraphicsState& g = gGraphicsState;
    const auto& a = g.integerArea;
    bool whole = a[0] < 1 && a[1] < 1 && a[2] >= g.targetWidth - 1 && a[3] >= g.targetHeight - 1;
    if (whole && g.targetKind != kTargetDialogField)
        GdiClip(0, 0, 0, -1);
    else
        GdiClip(a[0], Flip(a[3]), a[2] + 1, Flip(a[1]) + 1);
}

// The shaded-polygon vertices in surface pixels (values below 0 lowered by
// 0.999 before truncation, y flipped), shaded with the system gradient fill
// when the display has it, else pixel by pixel, clipped to the area.
void ShadedPolygon()
{
    const DevicePointArrays& p = gDevicePointArrays;
    ShadedPolygonBuffer& s = gShadedPolygonBuffer;
    s.count = p.shadedCount;
    const int n = std::clamp<int>(p.shadedCount, 0, std::min<int>(kShadedPolygonCapacity, static_cast<int>(p.x.size())));
    auto pixel = [](float v) {
        double d = v;
        if (std::isless(d, 0.0))
            d -= 0.999;
        return Trunc(d);
    };
    for (int i = 0; i < n; ++i) {
        s.x[static_cast<size_t>(i)] = pixel(p.x[static_cast<size_t>(i)]);
        s.y[static_cast<size_t>(i)] = Flip(pixel(p.y[static_cast<size_t>(i)]));
    }
    const auto& a = gGraphicsState.integerArea;
    YYShadedPolygon(gDeviceCapabilityWords.gradient[kScreenSide], a[0], Flip(a[3]), a[2], Flip(a[1]),
                    GdiPixelCallback, GdiGradientTriangles);
}

} // namespace

void ScreenBatchBegin() { GdiBatchBegin(); }

void ScreenBatchEnd() { GdiBatchEnd(); }

void YYGAPI(int op)
{
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = B();
    if (g.screenOutput == 0)
        return;
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); break;
    case DeviceOp::kLine: GdiLine(b.IX[0], Flip(b.IY[0]), b.IX[1], Flip(b.IY[1])); break;
    case DeviceOp::kColour: GdiColourSet(g.currentDevice, g.currentRgb); break;
    case DeviceOp::kEllipseOutline: GdiEllipse(b.IX[0], Flip(b.IY[0]), b.IX[1], b.IY[1], GdiFill::kOutline); break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kEllipseSolid:
        GdiEllipse(b.IX[0], Flip(b.IY[0]), b.IX[1], b.IY[1], FillOf(op));
        break;
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kQuadSolid:
        LoadCorners(4);
        GdiPolygon(4, FillOf(op));
        GdiPointsFree();
        break;
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kRectangleSolid:
        GdiRectangle(b.IX[0], Flip(b.IY[1]), b.IX[1], Flip(b.IY[0]), FillOf(op));
        break;
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kTriangleSolid:
        LoadCorners(3);
        GdiPolygon(3, FillOf(op));
        GdiPointsFree();
        break;
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kSectorSolid: {
        int xs, ys, xe, ye;
        SectorPoints(xs, ys, xe, ye);
        GdiPie(b.IX[0], Flip(b.IY[0]), Trunc(b.X[1]), Trunc(b.Y[1]), xs, ys, xe, ye, FillOf(op));
        break;
    }
    case DeviceOp::kPolygonHalftone:
    case DeviceOp::kPolygonSolid:
        LoadPoints(b.N);
        GdiPolygon(b.N, FillOf(op));
        GdiPointsFree();
        break;
    case DeviceOp::kClear: GdiClear(g.targetWidth, g.targetHeight, gColourTable.entries[0]); break;
    case DeviceOp::kBeginPlot: gFont = FontCache{}; break;
    case DeviceOp::kEndPage:
        // The printed area and the image are read and drawn on the window itself.
        GdiBatchFlush();
        PrintArea();
        break;
    case DeviceOp::kFont:
    case DeviceOp::kTextAngle: FontApply(); break;
    case DeviceOp::kText: Text(); break;
    case DeviceOp::kMoveArea: AreaMove(); break;
    case DeviceOp::kClip: Clip(); break;
    case DeviceOp::kTextWidth: {
        int width = 0;
        int n = std::clamp(b.M, 0, kDeviceTextLength);
        GdiTextWidth(width, std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength), n);
        b.X[0] = static_cast<float>(width);
        b.N = 1;
        break;
    }
    case DeviceOp::kPoint: GdiPixel(b.IX[0], Flip(b.IY[0])); break;
    case DeviceOp::kPlotMode: GdiPlotMode(g.plotMode); break;
    case DeviceOp::kPaletteEntry: PaletteEntry(); break;
    case DeviceOp::kLineStyle: GdiLineStyleSet(g.lineStyle); break;
    case DeviceOp::kLineWidth: LineWidth(); break;
    case DeviceOp::kReadPixel: {
        if (g.targetKind == kTargetMetafileSlot) {
            b.IX[0] = -1;
            break;
        }
        int r = -1, gr = 0, bl = 0;
        GdiPixelGet(b.IX[0], Flip(b.IY[0]), r, gr, bl);
        b.IX[0] = r < 0 ? -1 : r + 256 * gr + 65536 * bl;
        break;
    }
    case DeviceOp::kPolyline:
        LoadPoints(b.N);
        GdiPolyline(b.N);
        GdiPointsFree();
        break;
    case DeviceOp::kArc: {
        int xs, ys, xe, ye;
        SectorPoints(xs, ys, xe, ye);
        GdiArc(b.IX[0], Flip(b.IY[0]), Trunc(b.X[1]), Trunc(b.Y[1]), xs, ys, xe, ye, g.hatchDensity,
               g.fillMode);
        break;
    }
    case DeviceOp::kReloadPalette: ReloadPalette(); break;
    case DeviceOp::kImageFile:
        GdiBatchFlush();
        ScreenImageDraw();
        break;
    case DeviceOp::kShadedPolygon: ShadedPolygon(); break;
    default: break; // 19, 36, 37, 39 and unknown codes; 38 comes with the image files
    }
}

// GraphicsState and the settings that change it: units, area, target
// selection, erase, line style and width, fill style and plot mode, and the
// engine that keeps the geometry in step when a target is selected or
// resized.
#include "graphics/graphics_state.h"

#include <windows.h>

#include <cmath>

#include "core/dialog_services.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/graphics_services.h"
#include "core/library_state.h"
#include "core/window_services.h"
#include "graphics/bitmaps.h"
#include "graphics/colours.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_neighbours.h"
#include "graphics/hardcopy_side.h"
#include "graphics/metafile_slots.h"
#include "graphics/window_text.h"

GraphicsState gGraphicsState;

namespace {

// The text layer's steps (GraphicsTextStepsSet).
constinit GraphicsTextSteps gTextSteps;


GraphicsState& G() { return gGraphicsState; }

// A fraction pair is accepted when 0 <= lo < 1, 0 < hi <= 1 and hi > lo.
bool FractionsValid(float lo, float hi)
{
    if (std::isnan(lo) || std::isnan(hi))
        return false;
    return lo >= 0.0f && lo < 1.0f && hi > 0.0f && hi <= 1.0f && hi > lo;
}

bool UnitsValid(float lo, float hi)
{
    if (std::isnan(lo) || std::isnan(hi))
        return false;
    return hi > lo && std::isfinite(hi - lo);
}

} // namespace

void IGrUnits(float x1, float y1, float x2, float y2)
{
    GraphicsState& g = G();
    if (UnitsValid(x1, x2)) {
        g.units[0] = x1;
        g.units[2] = x2;
    } else {
        g.units[0] = 0.0f;
        g.units[2] = 1.0f;
        YYErrorReport(kErrorUnitRange, "IGrUnits");
    }
    if (UnitsValid(y1, y2)) {
        g.units[1] = y1;
        g.units[3] = y2;
    } else {
        g.units[1] = 0.0f;
        g.units[3] = 1.0f;
        YYErrorReport(kErrorUnitRange, "IGrUnits");
    }
    g.unitSize = {g.units[2] - g.units[0], g.units[3] - g.units[1]};
    if (!g.textGeometryFrozen)
        g.textUnitSize = g.unitSize;
}

void IGrArea(float x1, float y1, float x2, float y2)
{
    GraphicsState& g = G();
    if (FractionsValid(x1, x2)) {
        g.areaFractions[0] = x1;
        g.areaFractions[2] = x2;
    } else {
        g.areaFractions[0] = 0.0f;
        g.areaFractions[2] = 1.0f;
        YYErrorReport(kErrorAreaRange, "IGrArea");
    }
    if (FractionsValid(y1, y2)) {
        g.areaFractions[1] = y1;
        g.areaFractions[3] = y2;
    } else {
        g.areaFractions[1] = 0.0f;
        g.areaFractions[3] = 1.0f;
        YYErrorReport(kErrorAreaRange, "IGrArea");
    }
    float w = static_cast<float>(g.targetWidth), h = static_cast<float>(g.targetHeight);
    const auto& f = g.areaFractions;
    YYAreaLimits(w * f[0], h * f[1], w * f[2], h * f[3]);
    if (g.reapplyArea)
        return;
    YYHardcopyCallIfOpen(DeviceOp::kClip);
    if (!g.textGeometryFrozen) {
        g.areaFractionSize = {f[2] - f[0], f[3] - f[1]};
        YYAspectSet();
    }
}

void YYAreaLimits(float x1, float y1, float x2, float y2)
{
    GraphicsState& g = G();
    float maxX = static_cast<float>(g.targetWidth) - 0.01f;
    float maxY = static_cast<float>(g.targetHeight) - 0.01f;
    x1 = std::isnan(x1) ? 0.0f : std::fmax(x1, 0.0f);
    y1 = std::isnan(y1) ? 0.0f : std::fmax(y1, 0.0f);
    x2 = std::isnan(x2) ? maxX : std::fmin(x2, maxX);
    y2 = std::isnan(y2) ? maxY : std::fmin(y2, maxY);
    g.deviceArea = {x1, y1, x2, y2};
    g.clipBox = {x1 - 0.001f, y1 - 0.001f, x2 + 0.001f, y2 + 0.001f};
    g.integerArea = {YYDeviceTrunc(x1), YYDeviceTrunc(y1), YYDeviceTrunc(x2), YYDeviceTrunc(y2)};
    g.integerAreaSize = {g.integerArea[2] - g.integerArea[0] + 1, g.integerArea[3] - g.integerArea[1] + 1};
    g.areaSize = {x2 - x1, y2 - y1};
    YYScreenDeviceCall(DeviceOp::kClip);
}

void YYAreaLimitsOfFractions(const std::array<float, 4>& fractions)
{
    const GraphicsState& g = G();
    const float W = static_cast<float>(g.targetWidth), H = static_cast<float>(g.targetHeight);
    YYAreaLimits(fractions[0] * W, fractions[1] * H, fractions[2] * W, fractions[3] * H);
}

void GraphicsTextStepsSet(const GraphicsTextSteps& steps)
{
    gTextSteps = steps;
}

void GraphicsTextStartup()
{
    if (gTextSteps.startup)
        gTextSteps.startup();
}

void YYAspectSet()
{
    YYAspectWordsSet();
    if (gTextSteps.aspectChanged)
        gTextSteps.aspectChanged();
}

void YYAspectWordsSet()
{
    GraphicsState& g = G();
    HardcopyState& h = gHardcopyState;
    float w = static_cast<float>(g.targetWidth), ht = static_cast<float>(g.targetHeight);
    bool rotated = (g.pageRotation % 180) != 0;
    float num = rotated ? ht : w;
    float den = rotated ? w : ht;
    // A zero extent keeps the previous aspect.
    if (num > 0.0f && den > 0.0f)
        g.aspect = num / den;
    if (!rotated) {
        g.orientedLimit = g.targetLimit;
        g.orientedPlotScale = {h.scaleX, h.scaleY};
        g.orientedAreaSize = g.areaSize;
    } else {
        g.orientedLimit = {g.targetLimit[1], g.targetLimit[0]};
        g.orientedPlotScale = {h.scaleY, h.scaleX};
        g.orientedAreaSize = {g.areaSize[1], g.areaSize[0]};
    }
    h.textScaleX = g.orientedPlotScale[0];
    h.textScaleY = g.orientedPlotScale[1];
    if (g.screenOutput == 0 && h.pageAspect > 0.0f)
        g.aspect = h.pageAspect;
}

void YYTargetSetSize(int kind, int id, int width, int height)
{
    GraphicsState& g = G();
    if (g.targetKind != kind || g.targetId != id)
        return;
    gDeviceParameterBlock.M = -1;
    g.targetWidth = width;
    g.targetHeight = height;
    g.targetLimit = {static_cast<float>(width) - 0.01f, static_cast<float>(height) - 0.01f};
    YYHardcopyCallIfOpen(DeviceOp::kBeginPlot);
    g.textGeometryFrozen = 0;
    IGrArea(g.areaFractions[0], g.areaFractions[1], g.areaFractions[2], g.areaFractions[3]);
}

void YYWINSEL(int n, int reapply)
{
    GraphicsState& g = G();
    int width = 0, height = 0, number = n;
    DrawingDCSelectWindow(width, height, number);
    if (number == -1) {
        YYErrorReport(kErrorWindowHandle, "YYWINSEL");
        return;
    }
    gLibraryState.currentWindow = n;
    gLibraryState.currentWindowWidth = width;
    gLibraryState.currentWindowHeight = height;
    if (g.targetKind == kTargetWindow)
        g.targetId = n;
    g.reapplyArea = reapply;
    YYTargetSetSize(kTargetWindow, n, width, height);
    g.reapplyArea = 0;
    YYWindowTextFontPixels();
}

void WindowMakeCurrent(int n) { YYWINSEL(n, 0); }

void YYTargetWindowResized(int n, int width, int height)
{
    if (n != gLibraryState.currentWindow)
        return;
    gLibraryState.currentWindowWidth = width;
    gLibraryState.currentWindowHeight = height;
    YYWindowTextFontPixels();
    YYTargetSetSize(kTargetWindow, n, width, height);
}

void YYTargetFieldResized(int dialog, int field, int width, int height)
{
    GraphicsState& g = G();
    if (g.targetKind != kTargetDialogField || dialog != g.targetDialog || field != g.targetId)
        return;
    YYWindowTextFontPixels();
    YYTargetSetSize(kTargetDialogField, field, width, height);
}

void IGrSelect(int kind, const int* id)
{
    GraphicsState& g = G();
    int wasRouting = g.memoryMetafileRouting;
    g.memoryMetafileRouting = 0;
    bool failed = false;
    if (kind >= 1 && kind <= 4) {
        g.targetKind = kind;
        DrawingDCRelease();
        int width = 0, height = 0, status = 0;
        switch (kind) {
        case kTargetWindow: {
            int saved = gErrorState.lastCode;
            gErrorState.lastCode = 0;
            g.targetId = id ? *id : gLibraryState.currentWindow;
            g.targetDialog = 0;
            WindowMakeCurrent(g.targetId);
            if (gErrorState.lastCode == kErrorWindowHandle)
                failed = true;
            else
                gErrorState.lastCode = saved;
            break;
        }
        case kTargetBitmap:
            g.targetId = id ? *id : 1;
            BitmapSelectTarget(g.targetId - 1, status, width, height);
            if (status > 0)
                failed = true;
            else
                YYTargetSetSize(kTargetBitmap, g.targetId, width, height);
            break;
        case kTargetDialogField: {
            if (WindowCurrentDialog() == 0) {
                failed = true;
                break;
            }
            g.targetId = id ? *id : 0;
            g.targetDialog = WindowCurrentDialog();
            int field = g.targetId;
            GraphicsDialogTarget(field, width, height);
            if (field == -1)
                failed = true;
            else
                YYTargetSetSize(kTargetDialogField, g.targetId, width, height);
            break;
        }
        default:
            g.targetId = id ? *id : 1;
            YYDrawableHandleInfo(g.targetId, status, width, height);
            if (status > 0) {
                g.memoryMetafileRouting = 0;
                failed = true;
            } else {
                YYTargetSetSize(kTargetMetafileSlot, g.targetId, width, height);
            }
            break;
        }
    } else {
        // Another kind keeps the target, and with it the routing.
        g.memoryMetafileRouting = wasRouting;
    }
    if (failed) {
        // Back to the current window, its surface selected again, so that
        // drawing never goes to a released surface.
        g.targetKind = kTargetWindow;
        g.targetId = gLibraryState.currentWindow;
        g.targetDialog = 0;
        int saved = gErrorState.lastCode;
        WindowMakeCurrent(g.targetId);
        gErrorState.lastCode = saved;
        YYTargetSetSize(kTargetWindow, g.targetId, gLibraryState.currentWindowWidth,
                        gLibraryState.currentWindowHeight);
        YYErrorReport(kErrorDrawingTarget, "IGrSelect");
    }
    YYScreenDeviceCall(DeviceOp::kInitialise);
    if (!failed && (wasRouting || g.memoryMetafileRouting)) {
        YYScreenDeviceCall(DeviceOp::kBeginPlot);
        YYScreenDeviceCall(DeviceOp::kLineWidth);
        YYScreenDeviceCall(DeviceOp::kLineStyle);
        YYScreenDeviceCall(DeviceOp::kReloadPalette);
        YYScreenDeviceCall(DeviceOp::kClip);
        if (g.reapplyArea)
            YYScreenDeviceCall(DeviceOp::kFont);
    }
}

void IGrAreaErase()
{
    GraphicsState& g = G();
    const auto& a = g.integerArea;
    if (a[0] == 0 && a[1] == 0 && a[2] + 1 == g.targetWidth && a[3] + 1 == g.targetHeight) {
        YYScreenDeviceCall(DeviceOp::kClear);
        return;
    }
    int fillMode = g.fillMode;
    int plotMode = g.plotMode;
    int number = g.currentNumber, rgb = g.currentRgb, device = g.currentDevice;
    g.fillMode = kFillSolid;
    bool plotChanged = plotMode != kPlotCopy;
    if (plotChanged) {
        g.plotMode = kPlotCopy;
        YYScreenDeviceCall(DeviceOp::kPlotMode);
    }
    bool colourChanged = device != 0;
    if (colourChanged) {
        g.currentDevice = 0;
        g.currentNumber = 0;
        g.currentRgb = gColourTable.entries[0];
        YYScreenDeviceCall(DeviceOp::kColour);
    }
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.IX[0] = a[0];
    b.IY[0] = a[1];
    b.IX[1] = a[2];
    b.IY[1] = a[3];
    YYScreenDeviceCall(DeviceOp::kRectangleSolid);
    g.fillMode = fillMode;
    if (plotChanged) {
        g.plotMode = plotMode;
        YYScreenDeviceCall(DeviceOp::kPlotMode);
    }
    if (colourChanged) {
        g.currentNumber = number;
        g.currentRgb = rgb;
        g.currentDevice = device;
        YYScreenDeviceCall(DeviceOp::kColour);
    }
}

void IGrLineWidthSet(const int* screen, const int* hardcopy, const int* metafile)
{
    GraphicsState& g = G();
    if (screen && *screen > 0) {
        g.lineWidth = *screen;
        if (g.targetKind != kTargetMetafileSlot)
            YYScreenDeviceCall(DeviceOp::kLineWidth);
    }
    if (hardcopy && *hardcopy > 0) {
        gHardcopyState.options[static_cast<size_t>(HardcopyOptionSlot(9))] = *hardcopy;
        YYHardcopyCallIfOpen(DeviceOp::kLineWidth);
    }
    if (metafile && *metafile > 0) {
        g.metafileLineWidth = *metafile;
        if (g.targetKind == kTargetMetafileSlot)
            YYScreenDeviceCall(DeviceOp::kLineWidth);
    }
}

void IGrLineStyleSelect(const int* style)
{
    int s = style ? *style : 0;
    G().lineStyle = (s >= 0 && s <= 7) ? s : 0;
    YYScreenDeviceCall(DeviceOp::kLineStyle);
    YYHardcopyCallIfOpen(DeviceOp::kLineStyle);
}

void YYSetDrawMode(const int* mode)
{
    G().plotMode = mode ? *mode : 0;
    YYScreenDeviceCall(DeviceOp::kPlotMode);
}

void YYFillSettings(const int* style, const int* density, const int* direction)
{
    GraphicsState& g = G();
    int s = style ? *style : 0;
    if (s < -2 || s > 4) {
        g.fillMode = kFillOutline;
        g.outline = 1;
    } else {
        g.fillMode = s < 0 ? -s : s;
        g.outline = s >= 0 ? 1 : 0;
    }
    int d = density ? *density : 2;
    g.hatchDensity = (d >= 1 && d <= 5) ? d : 2;
    int r = direction ? *direction : 3;
    g.hatchDirection = (r >= 1 && r <= 4) ? r : 3;
}

namespace {

constinit DialogServices gDialogServices{};

} // namespace

void DialogServicesSet(const DialogServices& services)
{
    gDialogServices = services;
}

void GraphicsDialogSelect(int identifier)
{
    if (gDialogServices.select)
        gDialogServices.select(identifier);
}

void GraphicsDialogTarget(int& field, int& width, int& height)
{
    if (gDialogServices.graphicsTarget)
        gDialogServices.graphicsTarget(field, width, height);
    else
        field = -1;
}

namespace {

// The window system reaches the drawing target, the surface, the palette and
// the other graphics services it needs through these hooks.
const bool gInstalled =
    (WindowGraphicsServicesSet({.targetKind = &gGraphicsState.targetKind,
                                .targetId = &gGraphicsState.targetId,
                                .surfaceSelect = GdiSurfaceSelect,
                                .surfaceRelease = GdiSurfaceRelease,
                                .surfaceDestroy = GdiSurfaceDestroy,
                                .offscreenFree = GdiOffscreenFree,
                                .bitmapsDestroy = BitmapTableDestroyAll,
                                .surfaceDC = [] { return gGdiSurfaceState.dc; },
                                .surfaceWindow = [] { return gGdiSurfaceState.window; },
                                .surfaceMetafile = [] { return gGdiSurfaceState.metafileDC; },
                                .surfaceMetafileForget = [] { gGdiSurfaceState.metafileDC = nullptr; },
                                .palette = [] { return gGdiSurfaceState.palette; },
                                .paletteInstall = GdiPaletteInstall,
                                .paletteSet = GdiPaletteSet,
                                .colourTableInit = YYColourTableInit,
                                .colourGet = YYColourGet,
                                .defaults = YYGraphicsDefaults,
                                .windowSelect = YYWINSEL,
                                .pixelToNormal = YYPixelToNormal,
                                .windowResized = YYTargetWindowResized,
                                .fieldResized = YYTargetFieldResized,
                                .eventWorldCoords = YYEventWorldCoords}),
     true);

} // namespace

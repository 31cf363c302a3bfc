// Graphics start-up: the drawing state, text, hardcopy and graph defaults in
// their order, run once when the main window opens (the text, hardcopy and
// graph steps through the hooks their layers install); and the graphics
// layer's part of the library shut-down.
#include "core/layer_steps.h"
#include "core/library_state.h"
#include "core/option_string.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/metafile_slots.h"
#include "graphics/text_state.h"

namespace {

// Step 11, installed by the presentation-graphics layer.
constinit GraphicsDefaultsStep gGraphStartupStep = nullptr;

} // namespace

void GraphicsDefaultsGraphStepSet(GraphicsDefaultsStep step)
{
    gGraphStartupStep = step;
}

void YYGraphicsDefaults(std::string_view options)
{
    GraphicsState& g = gGraphicsState;

    // 1. Geometry and text.
    g.areaFractions = {0.0f, 0.0f, 1.0f, 1.0f};
    g.areaFractionSize = {1.0f, 1.0f};
    g.unitSize = {1.0f, 1.0f};
    g.pageRotation = 0;
    YYTextStateDefaults();
    g.strokeTextFlag = 0;

    // 2. Colours and lines.
    g.previousRgb = 0xFFFFFF;
    g.colourModel = kColourModelNumbers;
    g.previousNumber = 0;
    g.currentRgb = 0;
    g.plotMode = kPlotCopy;
    g.lineStyle = 0;
    g.lineWidth = 1;
    g.currentNumber = 223;
    g.metafileLineWidth = 5;

    // 3. Screen output.
    if (YYOptionHas(options, 'H')) {
        g.screenOutput = 0;
    } else {
        g.screenOutput = 1;
        YYScreenDeviceCall(DeviceOp::kBeginPlot);
    }

    // 4. The current window as target.
    int window = gLibraryState.currentWindow;
    IGrSelect(kTargetWindow, &window);

    // 5. Colours and drawing state to the screen.
    if (g.screenOutput == 1) {
        if (g.screenColours == 0)
            g.screenColours = gLibraryState.paletteSize;
        g.displayColours = g.screenColours;
        g.roundingColours = g.screenColours;
        IGrColourN(g.previousNumber);
        IGrColourN(223);
        YYScreenDeviceCall(DeviceOp::kPlotMode);
        YYScreenDeviceCall(DeviceOp::kLineStyle);
        YYScreenDeviceCall(DeviceOp::kLineWidth);
        YYScreenDeviceCall(DeviceOp::kFont);
    }

    // 6. Text (the text layer's step).
    GraphicsTextStartup();

    // 7-9. Hardcopy and replay geometry (the hardcopy layer's step).
    HardcopyLayerStartup(options);

    // 10. Units, pen and fill.
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    g.penPosition = {0.0f, 0.0f};
    g.outline = 1;
    g.fillMode = kFillOutline;
    g.LineFillRequest = {0, 0};

    // 11. Presentation graphics.
    if (gGraphStartupStep)
        gGraphStartupStep();
}

namespace {

// The graphics layer's part of the library shut-down, before the windows
// go: an open hardcopy is ended, then every metafile slot in use freed.
void GraphicsShutdown()
{
    HardcopyLayerClose();
    for (int slot = 1; slot <= kMetafileSlotCount; ++slot)
        if (MetafileSlotKind(slot) != 0)
            MetafileSlotRelease(slot);
}

// Installed while the program starts (the graphics start-up runs from this
// file).
const bool gLayerStepsInstalled =
    (LibraryLayerStepsSet(LibraryLayer::kGraphics, {.beforeWindows = GraphicsShutdown}), true);

} // namespace

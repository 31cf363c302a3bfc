// Graphics start-up: the drawing state, text, hardcopy and graph defaults in
// their order, run once when the main window opens.
#include <array>

#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/option_string.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/hardcopy_open.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_state.h"

namespace {

// Step 11, installed by the presentation-graphics layer.
constinit GraphicsDefaultsStep gGraphStartupStep = nullptr;

// Step 8 of the start-up: initialise the current hardcopy driver, keeping
// its options over the initialisation with option "P".
void HardcopyDriverInitialise(std::string_view options)
{
    HardcopyState& h = gHardcopyState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    bool keep = h.driverNumber != 0 && YYOptionHas(options, 'P');
    std::array<int, kHardcopyOptionSlots> saved{};
    FixedText<260> savedName;
    if (keep) {
        saved = h.options;
        savedName = gLibraryPaths.hardcopyFileName;
        b.M = -998;
    } else {
        b.M = 0;
    }
    for (int code = 1; code <= 29; ++code)
        h.options[static_cast<size_t>(HardcopyOptionSlot(code))] = 0;
    b.N = 0; // a full initialisation, not the driver-number query
    HardcopyDriverCall(DeviceOp::kInitialise);
    b.M = 0;
    if (keep) {
        gLibraryPaths.hardcopyFileName = savedName;
        for (int code = 1; code <= 29; ++code)
            YYHardcopyOption(code, saved[static_cast<size_t>(HardcopyOptionSlot(code))]);
        for (int code = 101; code <= 109; ++code)
            YYHardcopyOption(code, saved[static_cast<size_t>(HardcopyOptionSlot(code))]);
    }
}

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

    // 7-8. Hardcopy.
    gHardcopyState.pagePending = 0;
    std::string_view close = "S";
    YYHardcopyOpen(&close);
    HardcopyDriverInitialise(options);

    // 9. Replay geometry.
    gHardcopyState.replayReals = {0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    gHardcopyState.replayIntegers = {1, 1, 1, 1};

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

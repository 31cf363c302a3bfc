// Opening and closing a hardcopy plot with the whole protocol: close of an
// open plot (end of a pending page, end of plot), the print command that a
// closed plot runs, the driver-number query, the output name (the driver's
// default, the caller's, or the temporary plot file when the name carries a
// print command " @ "), the title, begin plot, the aspect words, the colour
// numbers of RGB colours and the re-sent drawing state. Also the hardcopy
// steps of the graphics start-up and shut-down.
#include "hardcopy/hardcopy_open.h"

#include <array>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/option_string.h"
#include "core/os_services.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_output.h"

namespace {

// Step 8 of the graphics start-up: initialise the current hardcopy driver,
// keeping its options over the initialisation with option "P".
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

void PutBuffer(std::string_view text) { PutText(std::span<char>(gDeviceTextBuffer.text), text); }

// Runs the stored print command with its first "@" replaced by the trimmed
// temporary plot file, deletes that file and blanks the command.
void RunPrintCommand()
{
    HardcopyState& h = gHardcopyState;
    std::string_view stored = h.printCommand.view();
    if (TrimRight(stored).empty())
        return;
    std::string temp(TrimRight(gLibraryPaths.tempPlotFile.view()));
    std::string command;
    size_t at = stored.find('@');
    if (at == std::string_view::npos)
        command = std::string(TrimRight(stored));
    else
        command = std::string(stored.substr(0, at)) + temp + std::string(TrimRight(stored.substr(at + 1)));
    YYPRNCMD(command);
    IOsDeleteFile(temp);
    h.printCommand = FixedText<260>();
}

} // namespace

void YYHardcopyOpen(const std::string_view* file, const std::string_view* title)
{
    GraphicsState& g = gGraphicsState;
    HardcopyState& h = gHardcopyState;
    DeviceParameterBlock& b = gDeviceParameterBlock;

    // 1-2: close what is open.
    if (h.pagePending & 1) {
        b.M = 32;
        b.N = 1;
        YYHardcopyCallIfOpen(DeviceOp::kEndPage);
    }
    YYHardcopyCallIfOpen(DeviceOp::kEndPlot);
    g.hardcopyOpen = 0;

    // 3: "S" closes only (and runs a pending print command).
    if (file && file->size() == 1 && ((*file)[0] == 'S' || (*file)[0] == 's')) {
        RunPrintCommand();
        return;
    }

    // 4: is there a driver?
    b.N = kDriverNumberQuery;
    HardcopyDriverCall(DeviceOp::kInitialise);
    if (b.N == kDriverNumberQuery)
        return;
    h.driverNumber = b.N;

    // 5-6: the output name.
    std::string_view name = gLibraryPaths.hardcopyFileName.view();
    b.N = 1;
    if (file && !TrimRight(*file).empty()) {
        name = *file;
        b.N = 0;
    }
    if (h.printCommandAllowed && std::string_view(TrimRight(name)).find(" @ ") != std::string_view::npos) {
        h.printCommand = FixedText<260>(name);
        name = gLibraryPaths.tempPlotFile.view();
    } else if (!OsFileNameFits(name)) {
        // A name that does not fit the device text is refused, never cut:
        // nothing is opened.
        gErrorState.osError = kOsErrorNameTooLong;
        gErrorState.osErrorKind = 2;
        YYErrorReport(kErrorFileOpen, "YYHardcopyOpen");
        return;
    }
    PutBuffer(name);

    // 7: the title.
    if (title) {
        h.plotTitle = FixedText<200>(*title);
        h.titleGiven = 1;
        b.IX[0] = 1;
    } else {
        h.titleGiven = 0;
        b.IX[0] = 0;
    }

    // 8: begin the plot.
    g.hardcopyOpen = 1;
    b.M = 1;
    YYHardcopyCallIfOpen(DeviceOp::kBeginPlot);

    // 9-11: aspect, colours, pen.
    YYHardcopyAspect();
    YYAspectWordsSet();
    if (g.screenOutput == 0)
        g.roundingColours = g.hardcopyColours;
    if (g.previousNumber == -1)
        YYColourNearest(g.previousRgb, g.previousNumber);
    if (g.currentNumber == -1)
        YYColourNearest(g.currentRgb, g.currentNumber);
    h.lastPosition = {-9999.0f, -9999.0f};

    // 12: the drawing state to the new plot.
    for (int op : {DeviceOp::kLineWidth, DeviceOp::kLineStyle, DeviceOp::kLineJoin, DeviceOp::kLineCap,
                   DeviceOp::kClip, DeviceOp::kFont, DeviceOp::kColour})
        YYHardcopyCallIfOpen(op);
}

void HardcopyGraphicsStartup(std::string_view options)
{
    // 7-8. The hardcopy closed and its driver initialised.
    gHardcopyState.pagePending = 0;
    std::string_view close = "S";
    YYHardcopyOpen(&close);
    HardcopyDriverInitialise(options);

    // 9. Replay geometry.
    gHardcopyState.replayReals = {0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    gHardcopyState.replayIntegers = {1, 1, 1, 1};
}

void HardcopyClose()
{
    const std::string_view closeOnly = "S";
    YYHardcopyOpen(&closeOnly);
}

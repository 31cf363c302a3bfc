// Hardcopy device settings derived from the configuration: the raster
// printer model and its class, the pen plotter model, the HP-GL/2 device kind
// and the screen-dump defaults.
#include "hardcopy/hardcopy_state.h"

#include <cstring>

#include "core/config_file.h"
#include "core/layer_steps.h"
#include "core/library_state.h"
#include "graphics/gdi_surface.h"
#include "hardcopy/gdi_image.h"
#include "hardcopy/hardcopy_open.h"

namespace {

// One record per printer model 2..38: class letter, colour digit, colour
// marker, option-24 limit, HP-GL/2 mark ("2") or blank.
constexpr const char* kPrinterModelTable[] = {
    "M1M0 ", "F1M0 ", "F1M0 ", "F1M0 ", "F1M0 ", "M1M0 ", "M1M0 ", "S1M0 ", "L1M0 ", // 2-10
    "L1M0 ", "M1M0 ", "P3R1 ", "D1M2 ", "M1M0 ", "M1M0 ", "Q1M0 ", "Q1M0 ", "X1M0 ", // 11-19
    "X1M0 ", "D3R2 ", "D1M2 ", "F3C0 ", "F3C0 ", "Q3C0 ", "Q3C0 ", " 1M0 ", "L1M22", // 20-28
    "41M22", "33R1 ", "D3C2 ", "D3C22", "51M2 ", "53C2 ", "L3C22", "21M1 ", "23C1 ", // 29-37
    "43C22",                                                                         // 38
};
constexpr int kFirstPrinterModel = 2;
constexpr int kLastPrinterModel = 38;
constexpr int kDefaultPrinterModel = 28;
constexpr const char* kClassLetters = "MFSXQ2LDP345";

struct PrinterClass {
    int count;
    int resolutions[4];
};
// Resolutions of classes 1 to 12.
constexpr PrinterClass kClassResolutions[12] = {
    {3, {240, 120, 60}},       {4, {240, 120, 90, 80}}, {2, {160, 80}},
    {4, {360, 180, 120, 60}}, {4, {360, 180, 120, 90}}, {3, {720, 360, 180}},
    {4, {300, 150, 100, 75}}, {4, {300, 150, 100, 75}}, {2, {180, 90}},
    {4, {300, 150, 100, 75}}, {4, {600, 300, 200, 150}}, {3, {300, 150, 75}},
};

int PositionIn(const char* set, char c)
{
    const char* p = std::strchr(set, c);
    return (p && c != '\0') ? static_cast<int>(p - set) + 1 : 0;
}

} // namespace

void HardcopyStateStartupReset()
{
    HardcopyState& h = gHardcopyState;
    h.printerModel = 0;
    h.plotterModel = 0;
    h.hpgl2Kind = 0;
    h.PRINTER = h.PLOTTER = h.HPGL2 = 0;
    h.printerGiven = h.plotterGiven = h.hpgl2Given = 0;
    h.driverNumber = 0;
    h.printerSetup = 0;
}

void YYSetPrinterModel(int model)
{
    HardcopyState& h = gHardcopyState;
    if (model >= kFirstPrinterModel && model <= kLastPrinterModel && model != 27) {
        h.printerModel = model;
        h.printerGiven = 1;
    } else {
        h.printerModel = kDefaultPrinterModel;
    }
    const char* record = kPrinterModelTable[h.printerModel - kFirstPrinterModel];
    h.printerClass = PositionIn(kClassLetters, record[0]);
    h.colourDigit = record[1] - '0';
    h.colourKind = PositionIn("RC", record[2]);
    h.option24Limit = record[3] - '0';
    if (record[4] == '2' && h.hpgl2Given == 0)
        YYSetHpgl2Device(0);

    int cls = h.printerClass;
    if (cls >= 1 && cls <= 5) {
        h.commandFamily = 23;
        h.dotsPerBand = 8;
        if (cls == 3)
            h.commandFamily = 22;
        else if (cls == 4) {
            h.commandFamily = 29;
            h.dotsPerBand = 24;
        } else if (cls == 5) {
            h.commandFamily = 24;
            h.dotsPerBand = 24;
        }
    } else if (cls >= 6) {
        h.dotsPerBand = 1;
    }
    if (cls >= 1 && cls <= 12) {
        const PrinterClass& pc = kClassResolutions[cls - 1];
        h.resolutionCount = pc.count;
        for (int i = 0; i < pc.count; ++i)
            h.resolutions[i] = pc.resolutions[i];
    }
    if (cls == 11)
        h.printerClass = 7;
    else if (cls == 12)
        h.printerClass = 8;
}

void YYSetPlotterModel(int model)
{
    HardcopyState& h = gHardcopyState;
    if (model >= 1 && model <= 10) {
        h.plotterModel = model;
        h.plotterGiven = 1;
    } else if (model >= 11 && model <= 15) {
        h.plotterModel = 1;
        h.hpgl2Given = 1;
        h.hpgl2Kind = model - 10;
    } else {
        h.plotterModel = 1;
    }
}

void YYSetHpgl2Device(int kind)
{
    HardcopyState& h = gHardcopyState;
    if (kind >= 1 && kind <= 5) {
        h.hpgl2Kind = kind;
        h.hpgl2Given = 1;
        return;
    }
    switch (h.printerModel) {
    case 29: h.hpgl2Kind = 3; break;
    case 32:
    case 35: h.hpgl2Kind = 2; break;
    case 38: h.hpgl2Kind = 5; break;
    default: h.hpgl2Kind = 1; break;
    }
}

void YYSetDumpDefaults(const int* device)
{
    HardcopyState& h = gHardcopyState;
    DumpSettings& d = h.dump;
    d.device = (device && *device == 2) ? kDriverPostScript : kDriverWindowsPrinter;
    if (d.device == kDriverPostScript) {
        d.code(1) = 756;
        d.code(2) = 540;
        d.code(3) = 42;
        d.code(4) = -20;
        d.code(5) = 1;
        d.code(8) = 1;
        PutText(gLibraryPaths.dumpFileName.span(), "quildump.ps");
    } else {
        // The default printer's paper (longer side first) and page: the paper
        // less 144 points, at offsets of 72 points, rotated, one copy.
        int paperLong, paperShort, pageWidth, pageHeight, xOffset, yOffset, rotation, copies, colours, error;
        GdiPrinterInfo(h.printerSetup, paperLong, paperShort, pageWidth, pageHeight, xOffset, yOffset,
                       rotation, copies, colours, error);
        const bool ok = error == 0;
        d.code(1) = ok ? pageWidth : 0;
        d.code(2) = ok ? pageHeight : 0;
        d.code(3) = ok ? xOffset : 0;
        d.code(4) = ok ? yOffset : 0;
        d.code(5) = ok ? rotation : 0;
        d.code(8) = ok ? copies : 0;
        h.printerAvailable = ok ? 1 : 0;
        h.paperLongSide = paperLong;
        h.paperShortSide = paperShort;
    }
    d.code(6) = 0;
    d.code(7) = 1;
    d.code(13) = 0;
    d.code(19) = 3;
    d.code(20) = 0;
    d.code(24) = h.option24Limit < 2 ? h.option24Limit : 2;
}

void HardcopyConfigure(const ConfigSettings& settings)
{
    HardcopyState& hc = gHardcopyState;
    hc.PRINTER = settings.PRINTER;
    hc.PLOTTER = settings.PLOTTER;
    hc.HPGL2 = settings.HPGL2;
    hc.hpgl2Kind = 0;
    YYSetPrinterModel(settings.PRINTER);
    YYSetPlotterModel(settings.PLOTTER);
    if (settings.HPGL2 != 0 || hc.hpgl2Kind == 0)
        YYSetHpgl2Device(settings.HPGL2);
    const int dumpDevice = 0;
    YYSetDumpDefaults(&dumpDevice);
}

void HardcopyLayerInstall()
{
    HardcopyLayerHooksSet({.dispatch = YYHardcopyCall,
                           .screenImage = ImageDrawForScreen,
                           .startup = HardcopyGraphicsStartup,
                           .close = HardcopyClose});
    LibraryLayerStepsSet(LibraryLayer::kHardcopy, {.start = HardcopyStateStartupReset, .configure = HardcopyConfigure});
}

namespace {

// Installed while the program starts (every hardcopy path uses the device
// settings of this file or the dispatcher, which installs the same).
const bool gLayerInstalled = (HardcopyLayerInstall(), true);

} // namespace

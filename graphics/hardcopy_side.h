// The hardcopy side as the graphics core sees it: the hardcopy record that
// its drawing path consults, and the hooks through which it reaches the
// hardcopy layer above it.
//
// The record: the graphics core reads the page words (aspect, plot and text
// scales, resolution, the number of the driver that answered), the options
// table (page size 1 and 2, monochrome 7, line width 9) and the dump page on
// its drawing path; the hardcopy layer (hardcopy/hardcopy_state.h) holds the
// code that sets them, and the drivers keep their own words in the same
// record. The hardcopy open flag is gGraphicsState.hardcopyOpen. No Win32
// here.
#pragma once

#include <array>
#include <string_view>

#include "core/fixed_text.h"

// Driver numbers: 1 HP-GL, 2 PostScript, 3 SVG, 4 raster printer, 6 image
// file, 8 DXF, 9 CGM, 10 Windows printer, 11 Windows metafile, 12 HP-GL/2.
enum HardcopyDriverNumber : int {
    kDriverHpgl = 1,
    kDriverPostScript = 2,
    kDriverSvg = 3,
    kDriverRasterPrinter = 4,
    kDriverImageFile = 6,
    kDriverDxf = 8,
    kDriverCgm = 9,
    kDriverWindowsPrinter = 10,
    kDriverWindowsMetafile = 11,
    kDriverHpgl2 = 12,
};

// Slots of the HardcopyOption table: codes 1 to 29 use slot = code, codes
// 101 to 109 slot = code - 68.
constexpr int kHardcopyOptionSlots = 42;
constexpr int HardcopyOptionSlot(int code)
{
    return code >= 101 ? code - 68 : code;
}

// The screen-dump device and page, laid out like HardcopyOption codes 1 to 24
// (one integer per code, index code - 1) plus the device number.
struct DumpSettings {
    int device = 0; // 2 PostScript file, 10 Windows printer
    std::array<int, 24> codes{};
    int& code(int c) { return codes[c - 1]; }
};

// Plot units: operating-system file handles by unit number 0..7; every
// file-writing driver writes its plot file on unit 2.
constexpr int kPlotUnitCount = 8;
constexpr int kPlotUnit = 2;

struct HardcopyState {
    // Dispatch.
    int dispatchDriver = kDriverWindowsPrinter; // driver YYHardcopyCall dispatches on
    int driverNumber = 0;        // written by the driver that answered DeviceOp 1; 0 none
    int pagePending = 0;         // -1 after a drawing operation, 0 after the end of a page
    int printCommandAllowed = 0; // the driver's output may go to a print command
    int paletteSize = 0;         // hardcopy palette size, written by the driver at DeviceOp 1
    float pageAspect = 0.0f;     // width over height of the hardcopy page
    int resolutionX = 0, resolutionY = 0;    // device dots per inch
    std::array<int, 2> rasterDots{};         // a raster driver's bitmap width and height in dots
    float scaleX = 0.0f, scaleY = 0.0f;      // plot scale: driver units per target unit
    float textScaleX = 0.0f, textScaleY = 0.0f;
    std::array<float, 2> lastPosition{};     // remembered pen position; -9999 when opened
    int resolutionChoice = 0;
    FixedText<260> printCommand;  // blank when none
    FixedText<200> plotTitle;
    int titleGiven = 0;
    int outputAbort = 0;          // -1 after a plot-file open or write failure, 0 after an open
    std::array<int, kPlotUnitCount> plotUnits = {-1, -1, -1, -1, -1, -1, -1, -1};

    // The Windows printer.
    int printerSetup = 0;     // printer set-up word (re-query request of the printer query)
    int printerAvailable = 0; // the default printer's settings were read at the last query
    int paperLongSide = 0;    // paper size in points from that query
    int paperShortSide = 0;

    // Device models from the configuration.
    int printerModel = 0;  // 2..38
    int plotterModel = 0;  // 1..10
    int hpgl2Kind = 0;     // 1..5
    int PRINTER = 0, PLOTTER = 0, HPGL2 = 0; // the configured values
    int printerGiven = 0, plotterGiven = 0, hpgl2Given = 0;
    int printerClass = 0;  // 1..12 (11 and 12 folded to 7 and 8)
    int commandFamily = 0; // 23, 22, 29 or 24 for classes 1 to 5
    int dotsPerBand = 0;
    int resolutionCount = 0;
    std::array<int, 4> resolutions{}; // dots per inch, highest first
    int colourDigit = 0;
    int colourKind = 0;    // 1 "R", 2 "C", 0 otherwise
    int option24Limit = 0;

    // HardcopyOption values by slot (HardcopyOptionSlot); option(code) reads
    // and writes one.
    std::array<int, kHardcopyOptionSlots> options{};
    int& option(int code) { return options[static_cast<size_t>(HardcopyOptionSlot(code))]; }
    DumpSettings dump;
    // Replay geometry: six reals (0, 0, 1, 1, 1, 1) and four integers (1).
    std::array<float, 6> replayReals{};
    std::array<int, 4> replayIntegers{};
};
extern HardcopyState gHardcopyState;

// ---- Hooks of the hardcopy layer -------------------------------------------------

// What the graphics core needs of the hardcopy layer, installed by that layer
// while the program starts (HardcopyLayerInstall, run from the files of its
// device settings and of its dispatcher, one of which every program that uses
// the layer links). Without them (a program that does not link the hardcopy
// layer):
// - a hardcopy op goes nowhere, as to a driver number without a driver: a
//   driver-number query stays unanswered, so no hardcopy opens;
// - DeviceOp 38 on the screen side draws nothing and answers M = 27 (image
//   file format not supported), N = 0;
// - the hardcopy steps of the graphics start-up and shut-down do nothing.
struct HardcopyLayerHooks {
    void (*dispatch)(int op) = nullptr; // YYHardcopyCall
    // The screen driver's DeviceOp 38: the image file of the DeviceTextBuffer
    // drawn into the graphics area (the image decoder and the GDI drawing of
    // pictures belong to the hardcopy layer).
    void (*screenImage)() = nullptr;
    // Steps 7 to 9 of the graphics start-up (the hardcopy closed, the current
    // driver initialised, option "P" keeping its options, the replay
    // geometry reset).
    void (*startup)(std::string_view options) = nullptr;
    // The library shut-down: an open hardcopy plot ended.
    void (*close)() = nullptr;
};
void HardcopyLayerHooksSet(const HardcopyLayerHooks& hooks);

// The hooks as the graphics core calls them.
void HardcopyLayerDispatch(int op);
void ScreenImageDraw();
void HardcopyLayerStartup(std::string_view options);
void HardcopyLayerClose();

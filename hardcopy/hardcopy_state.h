// The shared hardcopy state, the dispatcher that passes each DeviceOp to the
// selected hardcopy driver, the numbered hardcopy options with their range
// checks, and the device settings that library start-up derives from the
// configuration: printer model, plotter model, HP-GL/2 device kind and the
// screen-dump defaults.
//
// File names kept with the library paths (core/library_state.h): the default
// output file of the current driver is gLibraryPaths.hardcopyFileName, the
// temporary plot file gLibraryPaths.tempPlotFile and the dump file name
// gLibraryPaths.dumpFileName. The hardcopy open flag is
// gGraphicsState.hardcopyOpen. No Win32 here.
#pragma once

#include <array>

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

// ---- Dispatch and options ----------------------------------------------------

// Passes OP to the driver the dispatcher's driver number selects; numbers
// without a built driver do nothing, so a driver-number query (DeviceOp 1
// with N = -999) stays unanswered.
void YYHardcopyCall(int op);
// CODE 1: the dispatcher's driver number := DRIVER, which is then initialised
// (DeviceOp 1 as a full initialisation). Other codes do nothing.
void YYHardcopySelect(int code, int driver);
// Sets one HardcopyOption (1..29, 101..109) with its range check; values out
// of range, code 14 and codes outside the table change nothing and report
// nothing. Options 9, 10 and 11 also go to an open hardcopy as DeviceOps 30,
// 36 and 37; options 22 and 26 change the extension of the default output
// name while the PostScript (22) or the image-file driver (26) is current.
void YYHardcopyOption(int code, int value);
// Page aspect := option 1 / option 2 (option 2 / option 1 when the page is
// rotated by 90 or 270 degrees), unchanged unless both are positive.
void YYHardcopyAspect();
// The option defaults every driver's initialisation starts from.
void YYHardcopyDefaults();

// ---- Device settings -----------------------------------------------------------

// Start-up reset: the device models, the configured values with their given
// flags, the current driver number and the printer set-up words := 0.
void HardcopyStateStartupReset();

struct ConfigSettings;
// The device settings of the configuration file: PRINTER, PLOTTER and HPGL2
// taken as configured values, and the dump defaults.
void HardcopyConfigure(const ConfigSettings& settings);

// PRINTER 2..38 except 27 is taken (and its given flag set), anything else
// gives model 28; the model's record sets class, densities and colour kind and
// may derive the HP-GL/2 kind.
void YYSetPrinterModel(int model);
// PLOTTER 1..10 sets the plotter model; 11..15 plotter model 1 and HP-GL/2
// kind PLOTTER - 10; anything else plotter model 1.
void YYSetPlotterModel(int model);
// HPGL2 1..5 sets the kind; anything else derives it from the printer model.
void YYSetHpgl2Device(int kind);
// 2 selects the PostScript dump file; anything else (or absent) the Windows
// printer, whose page settings are read from the default printer.
void YYSetDumpDefaults(const int* device = nullptr);

// The code that acts on the hardcopy record (HardcopyState, kept with the
// graphics core in graphics/hardcopy_side.h): the dispatcher that passes each
// DeviceOp to the selected hardcopy driver, the numbered hardcopy options
// with their range checks, and the device settings that library start-up
// derives from the configuration: printer model, plotter model, HP-GL/2
// device kind and the screen-dump defaults.
//
// File names kept with the library paths (core/library_state.h): the default
// output file of the current driver is gLibraryPaths.hardcopyFileName, the
// temporary plot file gLibraryPaths.tempPlotFile and the dump file name
// gLibraryPaths.dumpFileName. The hardcopy open flag is
// gGraphicsState.hardcopyOpen. No Win32 here.
#pragma once

#include "graphics/hardcopy_side.h"


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

// The hardcopy layer's hooks in the graphics core (graphics/hardcopy_side.h:
// the dispatcher, the screen's image drawing, the start-up and shut-down
// steps) and its steps of the library start-up (the device settings).
// Installed while the program starts by this layer's files; running it again
// changes nothing.
void HardcopyLayerInstall();

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

// Library-wide state set by start-up and shut-down: the screen and system
// values, global switches, the per-window option flags and the library's
// paths and file names. Start-up (core/library_start.cpp) writes the defaults;
// the other subsystems read and write the words they own as described beside
// each field.
//
// Words that other subsystems keep in their own areas:
// - the current dialog identifier, the last message-box answer and the values
//   returned for undefined fields are the `DialogStatus` words
//   (gDialogStatus, dialogs/message_box.h);
// - the screen-output flag, the window re-selection word and the hardcopy-open
//   flag are words of the graphics drawing state;
// - the hardcopy driver numbers, device models and printer set-up words are
//   in `HardcopyState` (graphics/hardcopy_side.h).
#pragma once

#include <array>

#include "core/fixed_text.h"

// Number of library windows: 0 the main window, 1 to 50 child windows.
constexpr int kLibraryWindowCount = 51;
// Number of metafile slots (numbered 1 to 20 at the interface).
constexpr int kMetafileSlotCount = 20;
// Value of the start-up guard once the library has started.
constexpr int kLibraryStartedGuard = -9999;

struct LibraryState {
    int startupGuard = 0;     // -9999 after the first WLibraryStart
    int screenWidth = 0;      // desktop resolution in pixels
    int screenHeight = 0;
    int dotsPerInchX = 0;     // desktop logical pixels per inch (horizontal)
    int colourCount = 0;      // 2^(planes x bits per pixel), bits counted at most 24
    int paletteSize = 0;      // default palette size: 2, 8, 16 or 256
    int ntFamily = 0;         // 1 on the NT platform family
    int osMajorVersion = 0;   // major version number of the operating system
    int beepSwitch = 0;       // 1 beeps on
    int localeDecimalSwitch = 0; // 1: numbers use the locale decimal separator (never set by the library)
    int mainWindowOpen = 0;   // -1 while the main window is open, 0 otherwise
    float textAspectFactor = 0.0f; // 1.32 after start-up
    // The last plain window-text font applied; -1 each after start-up so that
    // the first request is always applied.
    struct WindowTextFontMemo {
        int family = -1;
        int bold = -1;
        int italic = -1;
        int widthPixels = -1;
        int heightPixels = -1;
    } lastWindowTextFont;
    // WindowFlags each window 0..50 was opened with; -1 for window 0 after
    // shut-down. Written by the window-opening routines.
    std::array<int, kLibraryWindowCount> windowFlags{};
    // Current window of the public routines and its client size in pixels;
    // written when a window is made current.
    int currentWindow = 0;
    int currentWindowWidth = 0;
    int currentWindowHeight = 0;
};
extern LibraryState gLibraryState;

// Paths, file units and file names of the library. Texts are blank-padded.
struct LibraryPaths {
    int LFNGEN = 0;           // unit of the general text files (configuration, grid, data); 40
    int LFNPLOTI = 0;         // unit of plot-file input; 42
    char pathSeparator = ' '; // '\'
    char localeDecimalSeparator = ' '; // first character of the user locale's decimal separator
    FixedText<260> dumpFileName;     // output file of screen dumps
    FixedText<260> hardcopyFileName; // default output file of the current hardcopy driver
    FixedText<260> CHARSET;          // stroke-font file name; "standard.chr"
    FixedText<260> tempPlotFile;     // temporary directory + "kvb$$nn.plt"
    FixedText<260> tempDumpFile;     // temporary directory + "kvb$$nn.dmp"
    FixedText<260> CHARDIR;          // stroke-font directory ending in '\', or blank
    FixedText<260> installDirectory; // ending in '\', or blank
};
extern LibraryPaths gLibraryPaths;

// The Windows metafile driver XXWMF (hardcopy driver 11): a plot recorded
// as a placeable metafile file, a plain metafile file, an enhanced metafile
// file or, without an output name, a metafile placed on the clipboard. It
// draws with the Windows printer driver's operation bodies into the
// metafile's drawing context. Plain and placeable metafiles use units of a
// tenth of a point (a coarser unit for pages beyond 3276 points, so that
// extents fit their 16-bit words); enhanced metafiles the pixels of their
// reference device.
//
// Also: MetafilePlayToTarget, which plays a metafile file or the clipboard's
// enhanced metafile into the screen, printer or metafile drawing context.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "hardcopy/printer_driver.h"

// Output kinds (HardcopyOption 27 at the begin of a plot).
constexpr int kMetafilePlain = 0;
constexpr int kMetafileEnhancedOutput = 2;
// (any other value: placeable)

struct MetafileDrawingState : GdiDriverState {
    int outputKind = 0;       // 2 enhanced, 0 plain, other placeable; 0 after close
    int clipboard = 0;        // 1: delivered to the clipboard at close
    int extentW = 0, extentH = 0; // the page in metafile units
    int frameW = 0, frameH = 0;   // the page in hundredths of a millimetre
    int unitDivisor = 1;      // plain and placeable: tenths of a point per unit
    float widthRatio = 1.0f;  // enhanced: extent w / (option 1 x 10), for pen widths
    int systemDashes = 0;     // option 29: system dash styles (enhanced)
    int file = -1;            // the output file (core/os_services.h), -1 none;
                              // the metafile is recorded in memory and written at close
};
extern MetafileDrawingState gMetafileDrawingState;

// Plays a metafile into a drawing context. SOURCEKIND 0 plain, 1
// placeable, 2 enhanced metafile FILE, or, when FILE is one character long,
// the clipboard's enhanced metafile; into the box X1, Y1, X2, Y2 of TARGET
// (0 the screen surface, 10 the printer, 11 the metafile being recorded),
// turned by ROTATION about (DX, DY) on the NT family. RESULT: 0 played; 1
// the file cannot be opened; 2 not a metafile (short, wrong key, refused by
// the platform); 1094 the clipboard cannot be opened; 1095 no enhanced
// metafile on it. A box with X2 = X1 or Y2 = Y1 draws nothing.
void MetafilePlayToTarget(int sourceKind, int x1, int y1, int x2, int y2, int target, int rotation, int dx,
                          int dy, int& result, std::string_view file);

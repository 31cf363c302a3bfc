// The Windows printer driver XXWIN (hardcopy driver 10): a plot is one print
// job on the default printer, a page of the plot one printed page, and every
// DeviceOp is drawn with GDI into the printer's drawing context. Device
// units of the drawing target (y up) become printer pixels: point (x, y) is
// (trunc(x * scale x), trunc((H - y) * scale y)), H the target height less
// 0.01, the scales those of the hardcopy state.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "hardcopy/hardcopy_drivers.h"

struct PrinterDrawingState {
    HDC dc = nullptr;           // the printer's drawing context while a job is active
    int jobActive = 0;          // a document has been started and not ended
    int pageStartPending = 0;   // 1 after an end of page: the next drawing starts a page
    int pagesStarted = 0;       // pages started in the current job
    int originX = 0, originY = 0; // window origin, printer pixels
    int extentW = 0, extentH = 0; // window extent, printer pixels
    int resolutionX = 0, resolutionY = 0; // dots per inch
    int pageWidth = 0, pageHeight = 0;    // the page (options 1 and 2) in printer pixels
    int infoError = 0;          // the printer query's error at initialisation; 0 read
    int printerColours = 0;     // the printer's colour count

    // Colour triples (red, green, blue) and the GDI colours.
    std::array<int, 3> current{};
    std::array<int, 3> previous{};
    std::array<int, 3> fill{};
    COLORREF gdiCurrent = 0;
    COLORREF gdiPrevious = 0;

    // Pens: the cached pen and what it was made for (-1: nothing yet).
    HPEN pen = nullptr;
    int penColour = -1, penStyle = -1, penWidthMade = -1;
    int lineStyle = 0;          // 0..7
    int gdiPenStyle = PS_SOLID;
    int penWidth = 0;           // printer pixels
    std::array<std::vector<DWORD>, 7> dashes; // styles 1..7, printer pixels

    // The font and its metrics (printer pixels).
    HFONT font = nullptr;
    int ascent = 0;
    int cellHeight = 0;

    HRGN clip = nullptr;        // the clip rectangle, device coordinates

    // Test seam: while set, a plot is drawn into this context instead of a
    // print job (no document or page calls; pages are still counted).
    HDC testContext = nullptr;
};
extern PrinterDrawingState gPrinterDrawingState;

// The printer's drawing context with a pending page started, and its clip
// region; nullptr when no job is active (image drawing into target 10).
HDC PrinterDrawingContext(HRGN& clip);

// Rescales the dash tables for the printer resolution RESOLUTIONX against the
// screen resolution, with the gaps lengthened by WIDTH - 1 for pens wider
// than one pixel.
void PrinterDashTables(int resolutionX, int screenDpi, int width,
                       std::array<std::vector<DWORD>, 7>& dashes);
// The pen width in printer pixels for HardcopyOption 9 (tenths of a point).
int PrinterPenWidth(int tenthsOfPoint, int resolutionX, int resolutionY);

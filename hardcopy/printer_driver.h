// The Windows printer driver XXWIN (hardcopy driver 10): a plot is one print
// job on the default printer, a page of the plot one printed page, and every
// DeviceOp is drawn with GDI into the printer's drawing context. Its
// operation bodies also serve the Windows metafile driver (XXWMF), which
// draws the same way into a metafile's drawing context. Device
// units of the drawing target (y up) become printer pixels: point (x, y) is
// (trunc(x * scale x), trunc((H - y) * scale y)), H the target height less
// 0.01, the scales those of the hardcopy state.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "hardcopy/hardcopy_drivers.h"

// What the two GDI drivers (the Windows printer and the Windows metafile)
// keep while they draw: the drawing context, colours, the cached pen, font
// and clip region, in the context's pixels.
struct GdiDriverState {
    HDC dc = nullptr;           // the drawing context while a plot is open

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
    int penWidth = 0;           // pixels of the context
    int dashResolution = 0;     // dots per inch the dash tables are scaled to
    std::array<std::vector<DWORD>, 7> dashes; // styles 1..7, pixels of the context

    // The font and its metrics (pixels of the context).
    HFONT font = nullptr;
    int ascent = 0;
    int cellHeight = 0;

    HRGN clip = nullptr;        // the clip rectangle, device coordinates
    int originX = 0, originY = 0; // window origin the clip rectangle is moved by
    int pageHeight = 0;         // height of the page in pixels of the context
};

// How one GDI driver differs in the operations both drive.
struct GdiDriverRules {
    int imageTarget;         // the target of DeviceOp 38 (ImageDrawToTarget)
    bool monochrome;         // HardcopyOption 7 prints every colour but white black
    bool measuredFont;       // fonts measured upright first (ascent and cell height)
    bool squarePoint;        // a point is a square of the pen width, else one pixel
    bool quarterTextShift;   // text moved by a quarter of the character height
                             // vector, else from the cell middle to the baseline
    bool userDashes;         // dashed pens from the dash tables allowed
    bool systemDashes;       // the system dash styles instead of the dash tables
    int pointLimit;          // most points of a polygon or polyline piece (0 any)
    bool shadedPerPixel;     // shaded polygons pixel by pixel, else by TextState
    bool (*ready)();         // prepares the context for drawing (false: none)
};

// Runs one drawing or state operation of a GDI driver on STATE by RULES:
// DeviceOps 2, 3, 5 to 15 (odd), 21, 22, 24, 25, 26, 29, 32, 33, 34, 35, 38
// and 40. Others are left to the driver.
void GdiDriverOperation(GdiDriverState& state, const GdiDriverRules& rules, int op);
// Rescales the dash tables of STATE for its pen width and dash resolution.
void GdiDriverDashScale(GdiDriverState& state);
// The hardcopy words both GDI drivers write at initialisation: the text and
// colour capabilities, no print command, and the capability string.
void GdiDriverCapabilities();
// Deselects and deletes the pen, font and clip region of STATE and resets
// the pen cache.
void GdiDriverRelease(GdiDriverState& state);

struct PrinterDrawingState : GdiDriverState {
    int jobActive = 0;          // a document has been started and not ended
    int pageStartPending = 0;   // 1 after an end of page: the next drawing starts a page
    int pagesStarted = 0;       // pages started in the current job
    int extentW = 0, extentH = 0; // window extent, printer pixels
    int resolutionX = 0, resolutionY = 0; // dots per inch
    int pageWidth = 0;          // the page (options 1 and 2) in printer pixels
    int infoError = 0;          // the printer query's error at initialisation; 0 read
    int printerColours = 0;     // the printer's colour count

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

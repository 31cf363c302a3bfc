// The GDI surface: the small layer through which the screen driver draws on
// the current Windows device context (window client area, bitmap, dialog
// field, enhanced metafile or printer). It keeps GdiSurfaceState (the current
// device context and what is selected into it), makes pens with dash
// patterns per line style, solid and half-tone brushes, palette entries and
// device fonts, and prints a rectangle of the surface on the Windows printer.
// Coordinates are device pixels with y downwards.
#pragma once

#include <windows.h>

#include <array>
#include <string_view>
#include <vector>

// Dash tables of line styles 1..7 in pixels at screen resolution (dash, gap,
// ...), scaled by each device to its own resolution, and the GDI pen style of
// each line style 0..7.
extern const std::array<std::vector<DWORD>, 7> kGdiBaseDashes;
extern const std::array<int, 8> kGdiPenStyles;

// The off-screen picture of a drawing batch (GdiBatchBegin): a 32-bit DIB
// section of the window client's size in a memory DC of its own, kept from
// one batch to the next while the size stays.
struct GdiOffscreen {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;     // counted with the surface's objects
    HGDIOBJ bitmapReplaced = nullptr;
    HWND window = nullptr;        // client it was last made for
    int width = 0;
    int height = 0;
    int depth = 0;                // batches begun and not yet ended
    bool active = false;          // the primitives draw on it now
};

struct GdiSurfaceState {
    HDC dc = nullptr;             // the surface selected (window, bitmap, field, metafile, printer)
    HDC drawDC = nullptr;         // the DC the primitives draw on: dc, or the off-screen one in a batch
    HWND window = nullptr;        // window or field whose DC it is (none for memory DCs)
    HDC metafileDC = nullptr;     // enhanced-metafile DC while the surface is a metafile
    COLORREF current = 0;         // colours as selected for drawing
    COLORREF previous = 0;
    HPALETTE palette = nullptr;   // the library's logical palette (256-colour displays)
    std::vector<PALETTEENTRY> paletteEntries; // its entry copy
    HBITMAP pattern = nullptr;    // 8 x 8 bitmap of the half-tone brush
    bool patternStale = true;
    HPEN pen = nullptr;           // current line pen
    HPEN penReplaced = nullptr;   // the pen it replaced in drawDC
    int penStyle = PS_SOLID;      // GDI pen style of the line style
    int lineStyle = 0;            // 0..7
    int lineWidth = 1;            // pixels
    int rop = R2_COPYPEN;         // raster operation of the plot mode
    HFONT font = nullptr;         // current device font
    HFONT fontReplaced = nullptr; // the font it replaced in drawDC
    HRGN clip = nullptr;          // graphics-area region, or none
    std::vector<POINT> points;    // point buffer of one operation
    int screenDpi = 0;            // horizontal dots per inch of the screen
    int referenceDpi = 0;         // of the reference device of the current metafile
    bool geometricPens = true;    // user-styled geometric pens available (NT family)
    std::array<std::vector<DWORD>, 7> dashes; // scaled dash tables of styles 1..7
    GdiOffscreen offscreen;
};
extern GdiSurfaceState gGdiSurfaceState;

// The library's own count of the GDI objects (pens, brushes, regions, fonts,
// bitmaps, the palette) that the surface has made, or taken over, and not yet
// deleted: the system's count is not available everywhere. Every object the
// surface makes goes through GdiObjectCounted and is deleted with
// GdiObjectDelete (false when there was nothing to delete).
void GdiObjectCountCreated();
template <class Handle>
Handle GdiObjectCounted(Handle object)
{
    if (object)
        GdiObjectCountCreated();
    return object;
}
bool GdiObjectDelete(HGDIOBJ object);
int GdiLiveObjectCount();

// Selecting and releasing a surface (window, bitmap, dialog field and
// metafile selections): DC becomes the current device context of WINDOW
// (nullptr for a memory or metafile DC); the 8 x 8 pattern bitmap is made
// anew for it and marked stale, the plot mode's raster operation and a
// transparent background are set, the current pen and font are selected
// (their predecessors kept), the dash tables scaled and the palette, when
// there is one, selected and realized.
void GdiSurfaceSelect(HDC dc, HWND window);
// Selects back the pen and font the DC had before the library's and forgets
// the DC (the caller releases or deletes it).
void GdiSurfaceRelease();
// Deletes the pattern bitmap, pen, font, clip region, palette and the
// off-screen picture (shut-down of the window system).
void GdiSurfaceDestroy();
// A batch of drawing on a window: from the first erase of the whole client
// area after GdiBatchBegin (GdiClear of the client's size) up to the
// outermost GdiBatchEnd, the primitives draw into the off-screen picture,
// which the end copies to the window in one piece; before that erase they
// draw on the window as always, as they do on every other surface and on a
// palette display. Batches nest. Releasing the surface, installing a palette
// and GdiBatchFlush end the off-screen drawing early (the picture copied);
// what the batch draws after that goes to the surface directly. Only the
// primitives of this surface draw into the picture: a caller draws nothing
// on the window by other means while a batch is open.
void GdiBatchBegin();
void GdiBatchEnd();
void GdiBatchFlush();
// Deletes the off-screen picture when it was last made for WINDOW (when the
// window is destroyed); the shut-down (GdiSurfaceDestroy) deletes it in any case.
void GdiOffscreenFree(HWND window);
// Installs the library's logical palette (the surface owns it from then on)
// with its entry copy; nullptr removes it.
void GdiPaletteInstall(HPALETTE palette, const std::vector<PALETTEENTRY>& entries);

// Drawing primitives.
void GdiLine(int x1, int y1, int x2, int y2);
void GdiPolyline(int n);
void GdiPixel(int x, int y);
void GdiPixelGet(int x, int y, int& r, int& g, int& b);
void GdiColourSet(int device, int rgb);
HBRUSH GdiHalftoneBrush();
// How a shape is drawn: its outline only (ellipses), filled with the current
// colour, or filled with the half-tone brush of the previous and current colour.
enum class GdiFill { kOutline, kSolid, kHalftone };
void GdiEllipse(int cx, int cy, int rx, int ry, GdiFill fill);
void GdiRectangle(int x1, int y1, int x2, int y2, GdiFill fill);
void GdiPie(int cx, int cy, int rx, int ry, int xs, int ys, int xe, int ye, GdiFill fill);
void GdiArc(int cx, int cy, int rx, int ry, int xs, int ys, int xe, int ye, int p, int q);
void GdiPolygon(int n, GdiFill fill);
void GdiGradientTriangles(const int* x, const int* y, const int* colours, const int* triangles,
                          int n, int m, int& status);
void GdiClear(int width, int height, int rgb);
void GdiAreaMove(int sx1, int sy1, int sx2, int sy2, int dx, int dy, int clear, int rgb);
void GdiClip(int x1, int y1, int x2, int y2);
void GdiPlotMode(int mode);
void GdiLineStyleSet(int style);
void GdiLineWidthSet(int width);
void GdiPenCreate();
void GdiDashScale();
void GdiPaletteSet(int index, int rgb, int mode);
void GdiPaletteEntry(int index, int rgb, int mode);
void GdiPixelCallback(int x, int y, int rgb);
void GdiPointsAlloc(int n);
void GdiPointSet(int x, int y, int i);
void GdiPointsFree();

// Device fonts and text.
void GdiFontCreate(int& width, int& height, int& ascent, int angle, int family, int style,
                   std::string_view face);
void GdiText(int x1, int y1, int x2, int y2, int justification, int background,
             std::string_view text, int length);
void GdiTextWidth(int& width, std::string_view text, int length);

// Printing a rectangle of the surface and the default printer.
void GdiPrintBegin(int pageWidth, int pageHeight, int xMargin, int yMargin, int& status,
                   int landscape, int copies, std::string_view documentName);
void GdiPrintArea(int x1, int y1, int x2, int y2, int& status);
void GdiPrintEnd();
int GdiDibColourBytes(const BITMAPINFOHEADER& header);
void GdiPrinterInfo(int refresh, int& pageWidth, int& pageHeight, int& areaWidth, int& areaHeight,
                    int& xDpi, int& yDpi, int& a, int& b, int& colours, int& error);
HDC GdiPrinterDC(int landscape, int copies);

// The default printer as last read from the system profile, and the
// settings of the print dialog while they are in force.
struct GdiPrinterSettings {
    bool known = false;
    char device[260] = {};
    char driver[260] = {};
    char port[260] = {};
    bool dialogInForce = false; // the print dialog's settings apply
    DEVMODEA dialogMode{};      // its device mode
    int paperWidth = 0;         // its paper size
    int paperHeight = 0;
    bool paperInThousandthsInch = false; // else hundredths of a millimetre
};
extern GdiPrinterSettings gGdiPrinterSettings;

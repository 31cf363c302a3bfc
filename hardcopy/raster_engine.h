// The page bitmap of the two raster drivers (the raster printer, driver 4,
// and the image file, driver 6) and the raster engine that draws every
// DeviceOp into it, with the drawing primitives it uses: the pixel with colour
// reduction, the dither table, the thick dashed line, the spans, the edge
// intersection and the row-by-row shape fills.
//
// The bitmap is an array of 32-bit words in one of four layouts (row 0 is the
// bottom of the page, W the words per row, S the plane stride):
//   depth 1       layout 1: one bit, word W*y + x/32, bit x mod 32
//   depth 3 and 4 layout 2: bit planes, bit k of the value in word k*S + W*y + x/32
//   depth 8       layout 3: one byte, word W*y + x/4, byte x mod 4
//   depth 24      layout 4: one word of packed RGB, word W*y + x
// The drivers set the geometry and allocate the bitmap before the begin-plot
// operation reaches the engine. Every store is kept inside the bitmap; guard
// words before and after it show that none strays. No Win32 here.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The largest bitmap the engine allocates (its spare word included) and the
// longest side in pixels: a page beyond either counts as a failed allocation.
constexpr std::int64_t kRasterMaxWords = std::int64_t(1) << 26;
constexpr std::int64_t kRasterMaxSide = std::int64_t(1) << 24;
// A freed bitmap of up to this many words keeps its storage for the next
// plot.
constexpr std::int64_t kRasterSpareWords = std::int64_t(1) << 23;
// Pixel coordinates are held within +-kRasterCoordinateLimit, far outside any
// bitmap, so that the primitives' sums and products cannot overflow.
constexpr int kRasterCoordinateLimit = 1 << 26;

// Guard words on each side of the bitmap and their value.
constexpr int kRasterGuardWords = 16;
constexpr std::uint32_t kRasterGuardValue = 0xA5C3E10Fu;

// Pixel layouts.
constexpr int kRasterLayoutBit = 1;
constexpr int kRasterLayoutPlanes = 2;
constexpr int kRasterLayoutByte = 3;
constexpr int kRasterLayoutWord = 4;

struct RasterState {
    // Guard words, the bitmap (total words + 1, the last one spare), guard
    // words; empty while no bitmap is allocated.
    std::vector<std::uint32_t> store;

    // Geometry, set by the driver.
    int width = 0, height = 0;
    int xLimit = -1, yLimit = -1;         // width - 1, height - 1
    int wordsPerRow = 0;
    std::int64_t planeStride = 0;         // words per plane: words per row x height
    std::int64_t totalWords = 0;          // plane stride x planes
    std::int64_t clearLimit = 0;          // highest word index the clear operation writes
    std::uint32_t background = 0;         // the word the clear operation writes
    int depth = 1;                        // 1, 3, 4, 8 or 24 bits per pixel
    int layout = kRasterLayoutBit;
    int planesLess1 = 0;
    float resolutionX = 0.0f, resolutionY = 0.0f; // device dots per inch, its own orientation

    // Drawing state.
    float scaleX = 0.0f, scaleY = 0.0f;   // pixels per device unit of the target
    int clipXMin = 0, clipXMax = -1;      // clip box in pixels, inside the bitmap
    int clipYMin = 0, clipYMax = -1;
    int pixelValue = 0, previousPixelValue = 0;
    std::array<std::uint32_t, 3> patterns{};         // half-tone patterns of the current colour
    std::array<std::uint32_t, 3> previousPatterns{}; // and of the previous one
    std::uint32_t fillEven = 0, fillOdd = 0;         // depth-1 fill words of even and odd columns
    int twoColour = 0;                    // two-colour half-tone fill in progress
    int dashBits = 4095, dashLength = 12; // the dash pattern, bit 0 first
    int dashPosition = 0, dashCounter = 1;
    int dashElementX = 1, dashElementY = 1; // pixels per pattern bit along x and y
    int extraRows = 0, extraColumns = 0;  // line thickness beyond one pixel
    int endX = -9999, endY = -9999;       // end of the last line drawn
    // The byte layout's masks: while drawing the complements of 255 x 2^(8k),
    // while the image-file driver writes a page the masks themselves.
    std::array<std::uint32_t, 4> byteMasks = {~0xFFu, ~0xFF00u, ~0xFF0000u, ~0xFF000000u};
};
extern RasterState gRasterState;

// The dither table: per colour cell (r, g, b in 0..15, index r + 16 g + 256 b)
// the red, green and blue half-tone patterns of that cell's colour.
struct RasterDitherTable {
    std::array<std::array<std::uint32_t, 4096>, 3> patterns{};
    bool built = false;
};
extern RasterDitherTable gRasterDitherTable;

// ---- The bitmap ----------------------------------------------------------------

// Allocates the bitmap of gRasterState.totalWords + 1 words (zeros) with its
// guard words. False, with nothing allocated, when the size is negative,
// above kRasterMaxWords or the memory cannot be had.
bool RasterBitmapAllocate();
// Frees the bitmap; storage of up to kRasterSpareWords is kept for the next
// allocation.
void RasterBitmapFree();
bool RasterBitmapAllocated();
// Word I of the bitmap (0 .. total words; the caller keeps I in range).
std::uint32_t& RasterWord(std::int64_t i);
// Every guard word still holds kRasterGuardValue (true without a bitmap).
bool RasterGuardsIntact();

// Sets the layout and the limits from the depth, width and height.
void RasterGeometryDerive();

// Stores VALUE at pixel (X, Y) in the current layout: a bit, the value's
// bits in the planes, a byte, or the word. Pixels outside the bitmap are
// left alone.
void YYRasterStore(int value, int x, int y);
// The value at pixel (X, Y) as YYRasterStore stores it; 0 outside.
int RasterPixelValue(int x, int y);

// The 4-bit value (1 red, 2 green, 4 blue, 8 intensity) of a colour number's
// group of 16 at depth 4.
int RasterGroupValue(int colourNumber);

// The pixel of a device coordinate: the product with the scale truncated
// toward zero, held within +-kRasterCoordinateLimit.
int RasterPixelX(float x);
int RasterPixelY(float y);

// ---- The engine ------------------------------------------------------------------

// Draws one DeviceOp into the bitmap (operands in the DeviceParameterBlock,
// DevicePointArrays and DeviceTextBuffer).
void YYRasterDraw(int op);

// What both raster drivers route alike: DeviceOp 1 answers a driver-number
// query with NUMBER, else runs INITIALISE; DeviceOp 18 runs BEGINPLOT for a
// new plot (M >= 1) and only rescales otherwise. True when OP was one of
// them.
bool RasterDriverRoute(int op, int number, void (*initialise)(), void (*beginPlot)());

// ---- Primitives -------------------------------------------------------------------

// Pixel (X, Y) in the packed RGB colour RGB, reduced to the bitmap's depth:
// ordered dither at depths 1 and 3, the nearest colour number at 4 and 8.
void YYRasterPixel(int x, int y, int rgb);
// The pixel value YYRasterPixel stores for RGB at (X, Y).
int RasterReducedValue(int x, int y, int rgb);
// Fills gRasterDitherTable (once; the table does not change).
void YYRasterDitherBuild();
// A line in the current pixel value with the current dash pattern and
// thickness; bit 0 of SKIP leaves out the first pixel.
void YYRasterLine(int x0, int y0, int x1, int y1, int skip);
// VALUE into pixels X1..X2 of row Y; nothing when X2 < X1.
void YYRasterSpan(int value, int x1, int y, int x2);
// Pixels X1..X2 of row Y in the current fill pattern; nothing when X2 < X1.
void YYRasterPatternSpan(int x1, int x2, int y);
// The x at row Y of the line through (XA, YA) and (XB, YB), anchored at its
// lower end and computed in 64 bits; 32767 when the line is horizontal.
int YYRasterEdgeX(int xa, int ya, int xb, int yb, int y);

// The shape fills, every row a pattern span within the clip box: the
// rectangle of corners (XA, YA) and (XB, YB); the triangle of the three
// points; the quadrilateral of four points bottom-left, bottom-right,
// top-right, top-left, MODE 1 taking its left and right sides as vertical.
void RasterRectangleFill(int xa, int ya, int xb, int yb);
void RasterTriangleFill(const std::array<int, 3>& x, const std::array<int, 3>& y);
void RasterQuadrilateralFill(const std::array<int, 4>& x, const std::array<int, 4>& y, int mode);

// The monochrome patterns of the depth-1 dither, by colour index 0..15.
extern const std::array<std::uint32_t, 16> kRasterMonochromePatterns;

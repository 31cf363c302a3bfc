// The raster printer driver's command strings and data output: Epson ESC/P
// bit-image bands (printer classes 1 to 5), ESC/P2 raster rows (class 6) and
// HP PCL raster rows (classes 7 and above), built for each page from the
// printer model and the hardcopy options, and the page bitmap of the raster
// engine sent in the printer's order with the row compressions of PCL and
// ESC/P2. No Win32 here.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

using RasterBytes = std::vector<std::uint8_t>;

// One page's printer commands.
struct RasterPrinterCommands {
    RasterBytes init;       // sent once before the page's raster data
    RasterBytes end;        // sent after it
    RasterBytes prefix;     // before each band (ESC/P) or each dot row (ESC/P2)
    // PCL transfer commands: [0] for the last plane of a row ("W"), [1] and
    // [2] for the planes before it ("V").
    std::array<RasterBytes, 3> transfer;
    RasterBytes rowAdvance; // ESC/P2: one row down
    std::array<RasterBytes, 2> passSpacing;     // ESC/P with two passes: before pass 1 and 2
    std::array<RasterBytes, 4> colourSelectors; // yellow, magenta, cyan, black
    int leftMarginBytes = 0; // ESC/P: zero bytes before each band's data
    int passes = 1;          // ESC/P: 2 when each band is printed in two interleaved passes
    int planes = 1;
    int compression = 0;     // PCL method: 0 none, 1 run-length pairs, 2 packed bits
    int pageWidth = 0;       // dots along the print head
    int pageHeight = 0;      // dots along the paper feed
};
extern RasterPrinterCommands gRasterPrinterCommands;

// The plane the pixel-fetch routines read: 0, 1, 2, or -1 for the black pass.
extern int gRasterPlaneIndex;

// A pixel-fetch routine: true when the dot in column C (along the print
// head) of row R (from the top of the printed page) prints.
using RasterFetch = bool (*)(int c, int r);

// The fetch routine the driver uses for PRINTERCLASS, a ROTATED page and the
// bitmap's DEPTH.
RasterFetch RasterPrinterFetchFor(int printerClass, bool rotated, int depth);

// Fills gRasterPrinterCommands for a page of WIDTH x HEIGHT dots in printing
// orientation; a WIDTH below 1 sets up a screen dump of the current
// graphics area with the dump settings instead.
void YYRasterPrinterSetup(int width, int height);

// Writes the page: the init string, the bitmap in bands, rows or plane rows
// read through FETCH, and the end string, to plot UNIT. Stops when the
// output abort flag is raised.
void YYRasterPrinterSend(int unit, RasterFetch fetch);

// PCL row compression by the method of option 24 (1 run-length pairs, 2 and
// above packed bits) of the first COUNT bytes of ROW into PACKED (which needs
// 2 x COUNT + 2 bytes); COUNT := the packed length, written into transfer
// command INDEX.
void YYPclCompress(std::span<const std::uint8_t> row, int& count, int index, RasterBytes& packed);

// ESC/P2 packed bits of the first COUNT bytes of ROW into PACKED. When that
// is shorter, COUNT := its length, the prefix's compression byte := 1 and
// the result is true; otherwise the byte := 0 and the raw row is sent.
bool YYPackBitsRow(std::span<const std::uint8_t> row, int& count, RasterBytes& packed);

// Writes the column count of the ESC/P band prefix for a band of COUNT
// bytes (COUNT raised to whole columns of three bytes with 24 dots per band).
void YYEscpCountSet(int& count);

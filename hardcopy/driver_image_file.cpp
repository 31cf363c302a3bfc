// The image-file driver XXIMAG (hardcopy driver 6): the plot is drawn into
// the raster engine's bitmap (the page shrunk until it can be allocated)
// and each page is written as a PCX, BMP or PNG file. Page 1 goes to the
// output name, page k > 1 to a file of its own with "-k" before the
// extension. No Win32 here.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/image_file_writers.h"
#include "hardcopy/plot_output.h"
#include "hardcopy/raster_engine.h"

namespace {

constexpr char kCapability[] = "00000111111111110010011111000";
constexpr std::array<std::uint32_t, 4> kPlainMasks = {0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u};
constexpr std::array<std::uint32_t, 4> kDrawingMasks = {~0xFFu, ~0xFF00u, ~0xFF0000u, ~0xFF000000u};

// The plot's output name as begin plot found it, and the pages written.
struct ImagePlot {
    std::string name;
    int pages = 0;
};
ImagePlot gPlot;

HardcopyState& H() { return gHardcopyState; }

bool RunLengthBmp() { return (gRasterState.depth == 4 || gRasterState.depth == 8) && H().option(26) == 2; }

void Initialise()
{
    HardcopyState& h = H();
    YYRasterDraw(DeviceOp::kInitialise);
    h.option(1) = 640;
    h.option(2) = 480;
    h.option(5) = 0;
    h.option(23) = 8;
    h.option(26) = 0;
    gGraphicsState.hardcopyColours = 256;
    h.paletteSize = 256;
    h.printCommandAllowed = 0;
    std::copy_n(kCapability, kCapabilityLength, gDeviceCapabilityString[kHardcopySide].begin());
    PutText(gLibraryPaths.hardcopyFileName.span(), "quilplot.pcx");
    h.driverNumber = kDriverImageFile;
}

void PageTooLarge()
{
    YYErrorReport(kErrorPageTooLarge, "XXIMAG");
}

// The page does not fit a field of the file format chosen.
bool FormatCannotHold(std::int64_t width, std::int64_t height, int depth)
{
    const int format = H().option(26);
    if (format == 3)
        return PngImageBytes(width, height, depth) > kPngMaxChunk;
    if (format != 1 && format != 2)
        return width > kPcxMaxSide || height > kPcxMaxSide;
    return false;
}

void BeginPlot()
{
    HardcopyState& h = H();
    RasterState& r = gRasterState;
    GraphicsState& g = gGraphicsState;
    const int depth = h.option(23);
    r.depth = (depth == 4 || depth == 8 || depth == 24) ? depth : 1;
    r.byteMasks = kDrawingMasks;
    h.option(6) = 0;
    const int planes = r.depth == 4 ? 4 : 1;
    const int perWord = r.depth == 24 ? 1 : r.depth == 8 ? 4 : 32;
    r.planesLess1 = planes - 1;
    gDeviceCapabilityWords.trueColour[kHardcopySide] = r.depth == 24 ? 1 : 0;
    r.background = r.depth == 24 ? ~0u : 0u;
    r.resolutionX = r.resolutionY = 150.0f;
    std::int64_t width = h.option(1), height = h.option(2);
    for (;;) {
        if (width < 1 || height < 1) {
            PageTooLarge(); // under one pixel
            g.hardcopyOpen = 0;
            return;
        }
        const std::int64_t wordsPerRow = (width + perWord - 1) / perWord;
        const std::int64_t total = wordsPerRow * height * planes; // below 2^63: sides below 2^31
        r.width = static_cast<int>(std::min(width, kRasterMaxSide));
        r.height = static_cast<int>(std::min(height, kRasterMaxSide));
        r.wordsPerRow = static_cast<int>(std::min(wordsPerRow, kRasterMaxSide));
        r.planeStride = r.wordsPerRow * std::int64_t(r.height);
        r.totalWords = total;
        if (width <= kRasterMaxSide && height <= kRasterMaxSide && RasterBitmapAllocate())
            break;
        PageTooLarge();
        // About 90 per cent of the area; nothing left to shrink at one word.
        const std::int64_t ninetyPercent = total / 10 * 9 + total % 10 * 9 / 10;
        if (ninetyPercent < 1) {
            g.hardcopyOpen = 0;
            return;
        }
        const double divisor = std::sqrt(static_cast<double>(total) / static_cast<double>(ninetyPercent));
        width = TruncateToInt(static_cast<double>(width) / divisor);
        height = TruncateToInt(static_cast<double>(height) / divisor);
    }
    if (FormatCannotHold(width, height, r.depth)) {
        RasterBitmapFree();
        PageTooLarge();
        g.hardcopyOpen = 0;
        return;
    }
    r.clearLimit = r.totalWords;
    gPlot.name = std::string(TrimRight(std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength)));
    gPlot.pages = 0;
    YYRasterDraw(DeviceOp::kBeginPlot);
    YYRasterDraw(DeviceOp::kClear);
}

// Closes the file of the last page written; a run-length encoded BMP gets
// its sizes.
void PageFileFinish()
{
    YYPlotClose(kPlotUnit);
    if (gPlot.pages >= 1 && RunLengthBmp() && H().outputAbort == 0)
        YYBMP2(ImagePageFileName(gPlot.name, gPlot.pages));
}

// Opens the file of page PAGE on the plot unit (the unit opens the name in
// the DeviceTextBuffer, which is put back afterwards).
void PageFileOpen(int page)
{
    const DeviceTextBuffer saved = gDeviceTextBuffer;
    gDeviceTextBuffer = DeviceTextBuffer{};
    PutText(std::span<char>(gDeviceTextBuffer.text), ImagePageFileName(gPlot.name, page));
    YYPlotOpen(kPlotUnit);
    gDeviceTextBuffer = saved;
}

void EndPage()
{
    HardcopyState& h = H();
    RasterState& r = gRasterState;
    if (h.pagePending == 0)
        return;
    if (gPlot.pages >= 1) {
        PageFileFinish();
        PageFileOpen(gPlot.pages + 1);
    }
    ++gPlot.pages;
    r.byteMasks = kPlainMasks;
    if (h.outputAbort == 0) {
        const int format = h.option(26);
        if (format == 1 || format == 2)
            YYWriteBmp();
        else if (format == 3)
            YYWritePng();
        else
            YYWritePcx();
    }
    h.pagePending = 0;
    r.byteMasks = kDrawingMasks;
    YYRasterDraw(DeviceOp::kClear);
}

} // namespace

void XXIMAG(int op)
{
    if (RasterDriverRoute(op, kDriverImageFile, Initialise, BeginPlot))
        return;
    switch (op) {
    case DeviceOp::kEndPlot:
        PageFileFinish();
        YYRasterDraw(op); // frees the bitmap
        break;
    case DeviceOp::kEndPage: EndPage(); break;
    default: YYRasterDraw(op); break;
    }
}

// Shared set-up of the raster tests: the global areas the raster engine, its
// two drivers and the hardcopy open write are saved and put back around each
// test; a page bitmap of a given depth and size for the primitives; a target
// of W x H pixels with screen output off for the drivers, and a plot opened
// and closed through the library's own hardcopy open; files read back.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/fixed_text.h"
#include "graphics/colours.h"
#include "graphics/graphics_fixture.h"
#include "hardcopy/halftone.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/raster_engine.h"
#include "hardcopy/raster_printer.h"

namespace rastertest {

using Bytes = std::vector<std::uint8_t>;

// Saves every area the raster code writes and puts it back.
class RasterGuard {
public:
    RasterGuard()
        : raster_(gRasterState), commands_(gRasterPrinterCommands), text_(gDeviceTextBuffer),
          points_(gDevicePointArrays), capability_(gDeviceCapabilityString), halftone_(gHalftoneState),
          colours_(gColourTable)
    {
        YYColourTableInit();
        HalftoneOverridesClear();
    }
    ~RasterGuard()
    {
        if (gGraphicsState.hardcopyOpen > 0) {
            std::string_view close = "S";
            YYHardcopyOpen(&close);
        }
        gRasterState = raster_;
        gRasterPrinterCommands = commands_;
        gDeviceTextBuffer = text_;
        gDevicePointArrays = points_;
        gDeviceCapabilityString = capability_;
        gHalftoneState = halftone_;
        gColourTable = colours_;
    }

private:
    GraphicsStateGuard graphics_;
    RasterState raster_;
    RasterPrinterCommands commands_;
    DeviceTextBuffer text_;
    DevicePointArrays points_;
    DeviceCapabilityString capability_;
    HalftoneState halftone_;
    ColourTable colours_;
};

// Collects the error lines reported while it lives.
class ErrorCapture {
public:
    ErrorCapture()
    {
        Lines().clear();
        YYErrorLevelSet(kReportStatusBar);
        ErrorStatusBarDeliverySet([](std::string_view line) { Lines().emplace_back(line); });
    }
    ~ErrorCapture()
    {
        ErrorStatusBarDeliverySet(nullptr);
        YYErrorLevelSet(kReportNone);
    }
    // Reports of CODE under NAME.
    int Count(int code, std::string_view name) const
    {
        const std::string line = ErrorLineCompose(code, name);
        int n = 0;
        for (const std::string& l : Lines())
            n += l == line ? 1 : 0;
        return n;
    }
    int Total() const { return static_cast<int>(Lines().size()); }

private:
    static std::vector<std::string>& Lines()
    {
        static std::vector<std::string> lines;
        return lines;
    }
};

// A page bitmap of DEPTH (1, 3, 4, 8 or 24) and WIDTH x HEIGHT pixels,
// allocated and clear, drawn at scale 1 (device units are pixels), with the
// whole page as clip box, solid thin lines and pixel value 1.
inline void Page(int depth, int width, int height)
{
    RasterState& r = gRasterState;
    r = RasterState{};
    r.depth = depth;
    r.width = width;
    r.height = height;
    const int perWord = depth == 24 ? 1 : depth == 8 ? 4 : 32;
    const int planes = depth == 3 ? 3 : depth == 4 ? 4 : 1;
    r.planesLess1 = planes - 1;
    r.wordsPerRow = (width + perWord - 1) / perWord;
    r.planeStride = std::int64_t(r.wordsPerRow) * height;
    r.totalWords = r.planeStride * planes;
    r.clearLimit = r.totalWords;
    r.resolutionX = r.resolutionY = 72.0f;
    RasterGeometryDerive();
    ASSERT_TRUE(RasterBitmapAllocate());
    r.scaleX = r.scaleY = 1.0f;
    r.clipXMin = r.clipYMin = 0;
    r.clipXMax = width - 1;
    r.clipYMax = height - 1;
    r.pixelValue = 1;
    YYRasterDitherBuild();
}

// The pixel values of the page, row 0 (the bottom) first.
inline std::vector<int> Pixels()
{
    const RasterState& r = gRasterState;
    std::vector<int> v;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            v.push_back(RasterPixelValue(x, y));
    return v;
}

// The page as text, top row first: '#' for a non-zero pixel, '.' else.
inline std::vector<std::string> Picture()
{
    const RasterState& r = gRasterState;
    std::vector<std::string> rows;
    for (int y = r.height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < r.width; ++x)
            row += RasterPixelValue(x, y) != 0 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// A window target of W x H pixels, the whole of it the graphics area,
// screen output off, colour numbers, no rotation.
inline void Target(int w, int h)
{
    GraphicsState& g = gGraphicsState;
    g.targetKind = kTargetWindow;
    g.targetWidth = w;
    g.targetHeight = h;
    g.targetLimit = {w - 0.01f, h - 0.01f};
    g.screenOutput = 0;
    g.hardcopyOpen = 0;
    g.memoryMetafileRouting = 0;
    g.pageRotation = 0;
    g.colourModel = kColourModelNumbers;
    g.currentNumber = g.previousNumber = 223;
    g.fillMode = kFillOutline;
    g.lineStyle = 0;
    g.deviceArea = {0.0f, 0.0f, w - 0.01f, h - 0.01f};
    g.integerArea = {0, 0, w - 1, h - 1};
    g.integerAreaSize = {w, h};
    g.LineFillRequest = {0, 0};
}

inline std::string TempPath(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "kvbraster_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

inline Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Opens a plot of the selected driver into PATH through the hardcopy open.
inline void Open(const std::string& path)
{
    std::string_view file = path;
    YYHardcopyOpen(&file);
}

// Closes the open plot (ending its page).
inline void Close()
{
    std::string_view close = "S";
    YYHardcopyOpen(&close);
}

// Sends OP to the open hardcopy with mode word M.
inline void Op(int op, int m = 0)
{
    gDeviceParameterBlock.M = m;
    YYHardcopyCallIfOpen(op);
}

// Colour number N made current on the hardcopy.
inline void Colour(int n)
{
    GraphicsState& g = gGraphicsState;
    g.previousNumber = g.currentNumber;
    g.currentNumber = n;
    Op(DeviceOp::kColour);
}

inline void Line(float x1, float y1, float x2, float y2)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.X[0] = x1;
    b.Y[0] = y1;
    b.X[1] = x2;
    b.Y[1] = y2;
    Op(DeviceOp::kLine);
}

// A filled rectangle with FILLMODE (3 half-tone of the previous and current
// colour, 4 solid).
inline void Rectangle(float x1, float y1, float x2, float y2, int fillMode)
{
    gGraphicsState.fillMode = fillMode;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.X[0] = x1;
    b.Y[0] = y1;
    b.X[1] = x2;
    b.Y[1] = y2;
    Op(DeviceOp::kRectangleHalftone, 1);
    gGraphicsState.fillMode = kFillOutline;
}

// A picture of lines in several colours, a solid and a half-tone rectangle,
// a diagonal and a dashed line, on a target of W x H device units.
inline void DrawSample(float w, float h)
{
    Colour(223);
    Line(0, 0, w - 1, 0);
    Line(0, h - 1, w - 1, h - 1);
    Line(0, 0, 0, h - 1);
    Line(w - 1, 0, w - 1, h - 1);
    const int colours[] = {19, 37, 51, 83, 115, 147, 179, 240};
    for (int i = 0; i < 8; ++i) {
        Colour(colours[i]);
        Line(2, 2 + 2 * static_cast<float>(i), w * 0.6f, h * 0.5f + static_cast<float>(i));
    }
    Colour(37);
    Rectangle(w * 0.6f, h * 0.15f, w * 0.9f, h * 0.45f, kFillSolid);
    Colour(51);
    Colour(147);
    Rectangle(w * 0.1f, h * 0.6f, w * 0.45f, h * 0.9f, kFillHalftone);
    gGraphicsState.lineStyle = 2;
    Op(DeviceOp::kLineStyle);
    Colour(223);
    Line(w * 0.5f, h * 0.95f, w * 0.95f, h * 0.55f);
    gGraphicsState.lineStyle = 0;
    Op(DeviceOp::kLineStyle);
}

} // namespace rastertest

// Shared set-up of the plot-file driver tests: the global areas the drivers
// and the hardcopy open write are saved and put back around each test; the
// drawing target is W x H pixels with the whole target as graphics area and
// screen output off; a plot is opened through the library's own hardcopy
// open with a driver selected, drawn on by sending DeviceOps through the
// hardcopy router as the graphics layer does, and closed again; the file is
// read back as lines, or rendered by Ghostscript, rsvg-convert and xmllint.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/fixed_text.h"
#include "graphics/colours.h"
#include "graphics/device_recorder.h"
#include "graphics/graphics_fixture.h"
#include "hardcopy/driver_postscript.h"
#include "hardcopy/driver_svg.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/plot_output.h"
#include "unix_tools.h"

namespace plotfile {

inline std::string TempPath(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "kvbplot_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The lines of BYTES, each ended by CR LF; bytes after the last CR LF form
// a last line.
inline std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", start)) {
        out.push_back(bytes.substr(start, at - start));
        start = at + 2;
    }
    if (start < bytes.size())
        out.push_back(bytes.substr(start));
    return out;
}

// A decoded PNG, packed RGB values, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<int> rgb;
    int At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return -1;
        return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    // Pixels of the box X1..X2, Y1..Y2 (inclusive) for which PRED holds.
    template <class P>
    int Count(int x1, int y1, int x2, int y2, P pred) const
    {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                n += At(x, y) >= 0 && pred(At(x, y)) ? 1 : 0;
        return n;
    }
};

inline bool LoadPicture(const std::string& path, Picture& p)
{
    std::vector<std::uint8_t> bytes;
    int osError = 0, zlib = 0;
    ImageHeader header;
    if (ImageFileLoad(path, bytes, osError) != 0 || ImageDecode(bytes, header, p.rgb, zlib) != 0)
        return false;
    p.width = header.width;
    p.height = header.height;
    return true;
}

inline int Red(int c) { return c & 0xFF; }
inline int Green(int c) { return (c >> 8) & 0xFF; }
inline int Blue(int c) { return (c >> 16) & 0xFF; }
// Each component within TOL of the packed RGB value WANT.
inline bool Near(int c, int want, int tol = 24)
{
    return c >= 0 && std::abs(Red(c) - Red(want)) <= tol && std::abs(Green(c) - Green(want)) <= tol &&
           std::abs(Blue(c) - Blue(want)) <= tol;
}
inline bool Dark(int c) { return c >= 0 && Red(c) < 100 && Green(c) < 100 && Blue(c) < 100; }

// What a reader run left: its exit status, everything it printed, and the
// pictures it wrote.
struct Rendering {
    int status = -1;
    std::string output;
    std::vector<Picture> pages;
};

inline bool ReaderMissing(const char* path)
{
    return !unixtools::Available(path);
}

// Ghostscript renders the PostScript file PS at 72 dots per inch, one PNG per
// page (with -dEPSCrop for an encapsulated file, the picture's box).
inline Rendering Ghostscript(const std::string& ps, bool epsCrop = false)
{
    Rendering r;
    const std::string base = ps + "_page";
    for (int i = 1; i <= 9; ++i)
        DeleteFileA((base + std::to_string(i) + ".png").c_str());
    const std::string command = "/usr/bin/gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 " +
                                std::string(epsCrop ? "-dEPSCrop " : "") + "-sOutputFile='" +
                                unixtools::UnixPath(base) + "%d.png' '" + unixtools::UnixPath(ps) + "'";
    r.status = unixtools::Run(command, &r.output);
    for (int i = 1; i <= 9; ++i) {
        const std::string png = base + std::to_string(i) + ".png";
        Picture p;
        if (!LoadPicture(png, p))
            break;
        r.pages.push_back(std::move(p));
        DeleteFileA(png.c_str());
    }
    return r;
}

// xmllint checks the SVG file; rsvg-convert renders it on white. The
// rendering's status is that of the two together, its output both outputs.
inline Rendering Rsvg(const std::string& svg)
{
    Rendering r;
    const std::string png = svg + ".png";
    DeleteFileA(png.c_str());
    std::string lint, render;
    const int a = unixtools::Run("/usr/bin/xmllint --noout '" + unixtools::UnixPath(svg) + "'", &lint);
    const int b = unixtools::Run("/usr/bin/rsvg-convert -b white '" + unixtools::UnixPath(svg) + "' -o '" +
                                     unixtools::UnixPath(png) + "'",
                                 &render);
    r.status = a != 0 ? a : b;
    r.output = lint + render;
    Picture p;
    if (LoadPicture(png, p))
        r.pages.push_back(std::move(p));
    DeleteFileA(png.c_str());
    return r;
}

// Sends OP to the open hardcopy as the graphics layer does.
inline void Send(int op) { YYHardcopyCallIfOpen(op); }

inline DeviceParameterBlock& Block() { return gDeviceParameterBlock; }

inline void Corners(float x1, float y1, float x2, float y2)
{
    DeviceParameterBlock& b = Block();
    b.X[0] = x1;
    b.Y[0] = y1;
    b.X[1] = x2;
    b.Y[1] = y2;
}

inline void Line(float x1, float y1, float x2, float y2)
{
    Corners(x1, y1, x2, y2);
    Send(DeviceOp::kLine);
}

// The new current colour (the old one becomes the previous colour), in the
// RGB model with its nearest colour number, sent as op 3.
inline void Rgb(int rgb)
{
    GraphicsState& g = gGraphicsState;
    g.previousRgb = g.currentRgb;
    g.previousNumber = g.currentNumber;
    g.currentRgb = rgb;
    YYColourNearest(rgb, g.currentNumber);
    Send(DeviceOp::kColour);
}

inline void Points(const std::vector<std::pair<float, float>>& points)
{
    DevicePointArrays& a = gDevicePointArrays;
    a.Reserve(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) {
        a.x[i] = points[i].first;
        a.y[i] = points[i].second;
    }
    Block().N = static_cast<int>(points.size());
}

inline void Polyline(const std::vector<std::pair<float, float>>& points)
{
    Points(points);
    Send(DeviceOp::kPolyline);
}

// A filled shape as the graphics layer sends it: the fill pass (M = FILLM),
// then the outline pass (M = -1) with the same operands, in fill mode MODE.
inline void Shape(int op, int mode, int fillM = 1)
{
    gGraphicsState.fillMode = mode;
    const DeviceParameterBlock operands = Block();
    Block().M = fillM;
    Send(op);
    Block() = operands;
    Block().M = -1;
    Send(op);
}

// Text TEXT from (X1, Y1) to the end point (X3, Y3) of its baseline, as one
// piece (PIECES 3) or the piece word the caller gives.
inline void Text(std::string_view text, float x1, float y1, float x3, float y3, int pieces = 3)
{
    DeviceParameterBlock& b = Block();
    PutText(std::span<char>(gDeviceTextBuffer.text), text);
    b.IX[0] = static_cast<int>(std::min<size_t>(text.size(), kDeviceTextLength));
    b.IX[1] = pieces;
    b.X[0] = x1;
    b.Y[0] = y1;
    b.X[2] = x3;
    b.Y[2] = y3;
    Send(DeviceOp::kText);
}

// Text of family FAMILY, style bits STYLE, justification JUST and spacing
// SPACING, characters W x H device units, upright unless ANGLE; sent as the
// font operation 21.
inline void Font(int family, int style, int just, int spacing, float w, float h, float angle = 0.0f)
{
    TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    t.requestedFamily = t.family = family;
    t.style = style;
    t.justification = just;
    t.spacing = spacing;
    t.charWidth = w / g.orientedAreaSize[0];
    t.charHeight = h / g.orientedAreaSize[1];
    t.deviceAngle = angle;
    const double a = angle * 0.017453292519943295;
    t.upX = static_cast<float>(h * std::sin(a));
    t.upY = static_cast<float>(h * std::cos(a));
    Send(DeviceOp::kFont);
}

// Hands the hardcopy-side operations of a recording to DRIVER as they were
// recorded: the parameter block, the points, the text (the output name of
// op 18, the text of op 22) and the drawing state of each.
inline void Replay(const std::vector<RecordedOp>& ops, void (*driver)(int))
{
    for (const RecordedOp& r : ops) {
        if (r.side != kHardcopySide)
            continue;
        gDeviceParameterBlock = r.block;
        gGraphicsState = r.state;
        DevicePointArrays& a = gDevicePointArrays;
        a.Reserve(static_cast<int>(r.x.size()));
        std::copy(r.x.begin(), r.x.end(), a.x.begin());
        std::copy(r.y.begin(), r.y.end(), a.y.begin());
        if (r.op == DeviceOp::kBeginPlot || r.op == DeviceOp::kText || r.op == DeviceOp::kImageFile)
            PutText(std::span<char>(gDeviceTextBuffer.text), r.text);
        driver(r.op);
    }
}

class PlotFileTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;

    void SetUp() override
    {
        YYColourTableInit();
        Target(757, 541);
    }
    void TearDown() override
    {
        if (gGraphicsState.hardcopyOpen > 0)
            Close();
        gPostScriptDriverState = ps_;
        gSvgState = svg_;
        gDeviceCapabilityString = caps_;
        gColourTable = colours_;
        gDeviceTextBuffer = text_;
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
    }

    // A target of W x H pixels, the whole of it the graphics area, screen
    // output off, RGB colours black on white, solid lines, no fill.
    static void Target(int w, int h)
    {
        GraphicsState& g = gGraphicsState;
        g.targetKind = kTargetWindow;
        g.targetWidth = w;
        g.targetHeight = h;
        g.targetLimit = {w - 0.01f, h - 0.01f};
        g.screenOutput = 0;
        g.hardcopyOpen = 0;
        g.pageRotation = 0;
        g.textGeometryFrozen = 0;
        g.areaFractions = {0.0f, 0.0f, 1.0f, 1.0f};
        g.areaFractionSize = {1.0f, 1.0f};
        YYAreaLimits(0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)); // area, clip box and sizes
        g.colourModel = kColourModelRgb;
        g.previousRgb = 0xFFFFFF;
        g.currentRgb = 0;
        YYColourNearest(g.previousRgb, g.previousNumber);
        YYColourNearest(g.currentRgb, g.currentNumber);
        g.fillMode = kFillOutline;
        g.hatchDensity = 3;
        g.lineStyle = 0;
        g.outline = 0;
        g.LineFillRequest = {0, 0};
        gHardcopyState.pagePending = 0;
        YYAspectWordsSet();
    }

    // Selects and initialises DRIVER, sets OPTIONS (code, value) through the
    // option routine, and opens a plot on the scratch file NAME (with TITLE
    // when given). Returns the file's path.
    std::string Open(int driver, const std::string& name, std::vector<std::pair<int, int>> options = {},
                     const std::string_view* title = nullptr)
    {
        gErrorState.lastCode = 0;
        YYHardcopySelect(1, driver);
        for (const auto& [code, value] : options)
            YYHardcopyOption(code, value);
        const std::string path = TempPath(name);
        files_.push_back(path);
        std::string_view file = path;
        YYHardcopyOpen(&file, title);
        return path;
    }

    // Ends the plot (a pending page first) and closes the file.
    static void Close()
    {
        std::string_view close = "S";
        YYHardcopyOpen(&close);
    }

    // Everything the file holds after the marker line that Mark wrote.
    std::vector<std::string> LinesAfterMark(const std::string& path) const
    {
        std::vector<std::string> lines = Lines(ReadFile(path));
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == kMark || lines[i] == std::string(" ") + kMark)
                return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, lines.end());
        ADD_FAILURE() << "no mark in " << path;
        return {};
    }
    // A marker line in the plot file, so that a test reads what follows it.
    static void Mark() { YYPlotPutLine(kPlotUnit, kMark); }
    static constexpr const char* kMark = "%%%mark";

    void Remember(const std::string& path) { files_.push_back(path); }

private:
    PostScriptDriverState ps_ = gPostScriptDriverState;
    SvgState svg_ = gSvgState;
    DeviceCapabilityString caps_ = gDeviceCapabilityString;
    ColourTable colours_ = gColourTable;
    DeviceTextBuffer text_ = gDeviceTextBuffer;
    std::vector<std::string> files_;
};

} // namespace plotfile

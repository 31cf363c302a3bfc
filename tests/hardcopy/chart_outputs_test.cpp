// One chart, one picture on every output: a chart of four graphs (an x-y
// graph with a long title and axis labels and a list legend, a colour-strip
// legend, a table graph's row and column labels, and a gradient legend) is
// drawn in the application's plot window with a PostScript, an SVG and a
// PNG file open, once with the screen output on and once with it off, in
// each family's own spacing (Courier, Helvetica), in Helvetica spaced by the
// width table (sent character by character) and in a face named by the
// caller at fixed pitch (Arial on the screen, Courier in the files). Every output must hold every text
// whole: the screen by the text operations it received, PostScript and SVG
// by the strings in their files. No legend text may run across its frame,
// in the window's pixels or in the readers' pictures of the files. And the
// gradient band is filled in the files: its lines lie no further apart than
// one dot of the page.
//
// Each file maps one device unit to one point or pixel (PostScript as an
// upright encapsulated picture), so that a place in device units is the
// same place in every picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "application_graph_fixture.h"
#include "charts/axes.h"
#include "charts/curves.h"
#include "charts/frame_geometry.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "charts/titles.h"
#include "core/window_table.h"
#include "fonts/text_font.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/screen_driver.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "plot_file_fixture.h"
#include "support/reference_image.h"

namespace {

using namespace plotfile;

// The texts of the chart in the order it draws them.
const std::vector<std::string> kTexts = {
    "Readings of the three stations",
    "Time since the start of the measurement in seconds (all sample values)",
    "Amplitude",
    "Alpha",
    "Gamma",
    "Curve three",
    "Set one",
    "Set two",
    "Set three",
    "January",
    "February",
    "March",
    "April",
    "May",
    "First",
    "Second",
    "Third",
    "Lowest",
    "Highest",
};

// The chart: four graphs in the four quarters of the target, each with the
// default plot area (0.1 to 0.9), so that the legends and the row band have
// only the margins right of their plots.
void Chart(int fontCode, int spacing)
{
    const int plain = 0;
    const std::string_view face = "Arial";
    WGrTextFont(&fontCode, &plain, nullptr, nullptr, &face, &spacing);
    const int points[] = {5};
    const std::string_view sets[] = {"Set one", "Set two", "Set three"};

    IGrArea(0.0f, 0.5f, 0.5f, 1.0f);
    IPgGraphBegin(4, 3, points);
    IPgArea(0.0f, 0.0f, 4.0f, 1.0f);
    IPgPlotAreaFractions(0.12f, 0.15f, 0.72f, 0.85f);
    IPgTitle(kTexts[0], "C");
    IPgXLabel(kTexts[1], "C");
    IPgYLabel(kTexts[2], "C9");
    IPgFrameDraw();
    const float curve[] = {0.1f, 0.4f, 0.2f, 0.8f, 0.5f};
    for (int i = 0; i < 3; ++i)
        IPgCurveDraw(curve);
    IPgLegendArea(1.0f, 1.0f, 0.0f, 0.0f);
    const std::string_view curves[] = {kTexts[3], kTexts[4], kTexts[5]};
    IPgLegendDraw(curves, "B");

    IGrArea(0.5f, 0.5f, 1.0f, 1.0f);
    IPgGraphBegin(4, 3, points);
    IPgPlotAreaFractions(0.1f, 0.1f, 0.75f, 0.9f);
    IPgFrameDraw();
    IPgLegendDraw(sets, "UB");

    IGrArea(0.0f, 0.0f, 0.5f, 0.5f);
    IPgGraphBegin(9, 3, points);
    const std::string_view months[] = {kTexts[9], kTexts[10], kTexts[11], kTexts[12], kTexts[13]};
    IPgYAxis2Labels(months, 5);
    const std::string_view columns[] = {kTexts[14], kTexts[15], kTexts[16]};
    IPgXAxisLabels(columns, 3);

    IGrArea(0.5f, 0.0f, 1.0f, 0.5f);
    const int scheme[] = {11, 5};
    const int twoSetScheme = 16;
    IPgGraphBegin(8, 2, scheme, &twoSetScheme);
    const int low = 31, high = 63;
    IPgDataSetStyle(1, nullptr, nullptr, nullptr, &low);
    IPgDataSetStyle(2, nullptr, nullptr, nullptr, &high);
    const std::string_view ends[] = {kTexts[17], kTexts[18]};
    IPgLegendDraw(ends, "B");
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
}

// What the outputs received while the chart was drawn: the screen's texts,
// the outline rectangles (the legend frames) and the rows of the gradient's
// lines (drawn in the RGB colour model) that reached the hardcopy.
struct Received {
    std::vector<std::string> screenTexts;
    std::vector<std::array<float, 4>> frames;
    std::vector<float> bandRows;
    float bandMiddle = 0.0f;
};
Received gReceived;

void Recorder(int side, int op)
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    const GraphicsState& g = gGraphicsState;
    if (side == kScreenSide && op == DeviceOp::kText && g.screenOutput != 0)
        gReceived.screenTexts.emplace_back(gDeviceTextBuffer.text.data(), static_cast<size_t>(std::max(0, b.IX[0])));
    if (side == kHardcopySide && op == DeviceOp::kRectangleHalftone && b.M == 1 && g.fillMode == kFillOutline)
        gReceived.frames.push_back({std::min(b.X[0], b.X[1]), std::min(b.Y[0], b.Y[1]), std::max(b.X[0], b.X[1]),
                                    std::max(b.Y[0], b.Y[1])});
    if (side == kHardcopySide && op == DeviceOp::kLine && g.colourModel == kColourModelRgb && b.Y[0] == b.Y[1]) {
        gReceived.bandRows.push_back(b.Y[0]);
        gReceived.bandMiddle = (b.X[0] + b.X[1]) / 2.0f;
    }
    if (side == kScreenSide)
        YYGAPI(op);
    else
        YYHardcopyCall(op);
}

// The texts one after another: an output that gets a text character by
// character (width-table spacing) holds the same characters in the same
// order as one that gets it whole.
std::string Joined(const std::vector<std::string>& texts)
{
    std::string all;
    for (const std::string& t : texts)
        all += t;
    return all;
}

// The texts of a PostScript file: the strings its show procedures print.
std::vector<std::string> PostScriptTexts(const std::string& bytes)
{
    std::vector<std::string> out;
    for (const std::string& line : Lines(bytes)) {
        if (line.size() < 6 || line[0] != '(')
            continue;
        const std::string show = line.substr(line.size() - 5);
        if (show != ") lsh" && show != ") csh" && show != ") rsh")
            continue;
        std::string text;
        for (size_t i = 1; i + 5 < line.size(); ++i)
            text += line[i] == '\\' ? line[++i] : line[i];
        out.push_back(text);
    }
    return out;
}

// The texts of an SVG file: the contents of its text elements.
std::vector<std::string> SvgTexts(const std::string& bytes)
{
    std::vector<std::string> out;
    static const std::regex element(">([^<>]*)</text>");
    for (std::sregex_iterator it(bytes.begin(), bytes.end(), element), end; it != end; ++it)
        out.push_back((*it)[1].str());
    return out;
}

// A picture of the target in device units: the pixel of device point (x, y).
struct DevicePicture {
    Picture picture;
    int left = 0, bottom = 0; // where device (0, 0) lies, bottom counted from the last row
    int At(float x, float y) const
    {
        return picture.At(left + static_cast<int>(std::floor(x)),
                          picture.height - 1 - bottom - static_cast<int>(std::floor(y)));
    }
};

bool Ink(int c) { return c >= 0 && std::min({Red(c), Green(c), Blue(c)}) < 200; }

// Nothing drawn just right of each frame, between its top and bottom: no
// text runs across a frame's right line.
void ExpectNothingRightOfTheFrames(const DevicePicture& p, const std::vector<std::array<float, 4>>& frames,
                                   const std::string& what)
{
    for (const auto& f : frames) {
        int crossing = 0;
        for (float y = f[1] + 3.0f; y <= f[3] - 3.0f; y += 1.0f)
            for (float x = f[2] + 2.0f; x <= f[2] + 6.0f; x += 1.0f)
                crossing += Ink(p.At(x, y)) ? 1 : 0;
        EXPECT_EQ(crossing, 0) << what << ": ink right of the frame (" << f[0] << ", " << f[1] << ") - (" << f[2]
                               << ", " << f[3] << ")";
    }
}

class ChartOutputs : public ApplicationGraphFixture {
protected:
    void SetUp() override
    {
        ApplicationGraphFixture::SetUp();
        screenDriver_ = DeviceDriverOverrideOf(kScreenSide);
        hardcopyDriver_ = DeviceDriverOverrideOf(kHardcopySide);
        DeviceDriverOverride(kScreenSide, &Recorder);
        DeviceDriverOverride(kHardcopySide, &Recorder);
    }
    void TearDown() override
    {
        DeviceDriverOverride(kScreenSide, screenDriver_);
        DeviceDriverOverride(kHardcopySide, hardcopyDriver_);
        ApplicationGraphFixture::TearDown();
    }

    // The chart in the plot window, with DRIVER's file NAME open (options
    // for one device unit per point or pixel) and the screen output on or
    // off. The file's path.
    std::string Draw(int driver, const std::string& name, bool screen, int fontCode, int spacing)
    {
        GraphicsStateGuard guard;
        gReceived = Received{};
        WindowMakeCurrent(window_);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrAreaErase();
        width_ = gGraphicsState.targetWidth;
        height_ = gGraphicsState.targetHeight;
        limitY_ = gGraphicsState.targetLimit[1];
        YYHardcopySelect(1, driver);
        // PostScript encapsulated and upright, PNG in true colour.
        std::vector<std::pair<int, int>> options = {{1, width_ - 1}, {2, height_ - 1}, {22, 1}, {5, 0}};
        if (driver == kDriverImageFile)
            options = {{1, width_}, {2, height_}, {23, 24}, {26, 3}};
        for (const auto& [code, value] : options)
            YYHardcopyOption(code, value);
        const std::string path = folder_ + "\\" + name;
        std::string_view file = path;
        YYHardcopyOpen(&file);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        gGraphicsState.screenOutput = screen ? 1 : 0;
        Chart(fontCode, spacing);
        gGraphicsState.screenOutput = 1;
        std::string_view close = "S";
        YYHardcopyOpen(&close);
        YYHardcopySelect(1, kDriverWindowsPrinter);
        return path;
    }

    // The window's client area.
    DevicePicture Screen() const
    {
        DevicePicture p;
        HWND client = gWindowTable.client[static_cast<size_t>(window_)];
        HDC dc = GetDC(client);
        p.picture.rgb = DcPixels(dc, 0, 0, width_, height_);
        ReleaseDC(client, dc);
        p.picture.width = width_;
        p.picture.height = height_;
        return p;
    }

    void DrawAndCheck(int fontCode, int spacing, int driver, const char* name, double resolution, bool screen);

    int width_ = 0, height_ = 0;
    double limitY_ = 0.0;

private:
    DeviceDriver screenDriver_ = nullptr, hardcopyDriver_ = nullptr;
};

// The chart in FONTCODE through DRIVER's file NAME (a page given in points
// at RESOLUTION dots per inch, or a bitmap for 0), the screen output on or
// off; every check on what each output got.
void ChartOutputs::DrawAndCheck(int fontCode, int spacing, int driver, const char* name, double resolution,
                                bool screen)
{
    const std::string path = Draw(driver, name, screen, fontCode, spacing);
    const Received got = gReceived;
    const std::string bytes = ReadFile(path);
    if (screen) {
        EXPECT_EQ(Joined(got.screenTexts), Joined(kTexts));
        ExpectNothingRightOfTheFrames(Screen(), got.frames, "screen");
    }
    if (driver == kDriverPostScript) {
        EXPECT_EQ(Joined(PostScriptTexts(bytes)), Joined(kTexts));
    } else if (driver == kDriverSvg) {
        EXPECT_EQ(Joined(SvgTexts(bytes)), Joined(kTexts));
    }
    ASSERT_EQ(got.frames.size(), 3u) << "the three legend frames";

    // The gradient band: rows one dot apart or closer, filling it. The page
    // is the target's height less one in points, or the target's height in
    // pixels.
    const double dot = resolution > 0.0 ? 72.0 * limitY_ / ((height_ - 1) * resolution) : limitY_ / height_;
    std::vector<float> rows = got.bandRows;
    std::sort(rows.begin(), rows.end());
    ASSERT_GE(rows.size(), 2u) << "no gradient band";
    double gap = 0.0;
    for (size_t i = 1; i < rows.size(); ++i)
        gap = std::max(gap, static_cast<double>(rows[i]) - rows[i - 1]);
    EXPECT_LE(gap, dot * 1.0001);
    EXPECT_GE(static_cast<double>(rows.size()), (rows.back() - rows.front()) / dot);

    DevicePicture picture;
    if (driver == kDriverPostScript) {
        if (ReaderMissing("/usr/bin/gs"))
            return;
        const Rendering r = Ghostscript(path, true);
        EXPECT_EQ(r.status, 0) << r.output;
        ASSERT_EQ(r.pages.size(), 1u);
        picture = {r.pages[0], 0, 0};
    } else if (driver == kDriverSvg) {
        if (ReaderMissing("/usr/bin/rsvg-convert") || ReaderMissing("/usr/bin/xmllint"))
            return;
        const Rendering r = Rsvg(path);
        EXPECT_EQ(r.status, 0) << r.output;
        ASSERT_EQ(r.pages.size(), 1u);
        picture = {r.pages[0], 0, -1}; // y = 0 lies on the picture's lower edge
    } else {
        ASSERT_TRUE(LoadPicture(path, picture.picture));
    }
    ExpectNothingRightOfTheFrames(picture, got.frames, name);
    // The band is coloured from its first row to its last, at its middle.
    int unfilled = 0;
    for (float y = rows.front() + 1.0f; y <= rows.back() - 1.0f; y += 1.0f)
        unfilled += Ink(picture.At(got.bandMiddle, y)) ? 0 : 1;
    EXPECT_EQ(unfilled, 0) << name << ": rows of the band left white";
}

TEST_F(ChartOutputs, EveryOutputHoldsEveryTextWholeAndInsideItsFrame)
{
    const struct {
        int code, spacing;
        const char* name;
    } fonts[] = {{101, 0, "Courier"},
                 {102, 0, "Helvetica"},
                 {102, 2, "Helvetica by the width table"},
                 {100, 1, "Arial by name at fixed pitch"}};
    const struct {
        int driver;
        const char* name;
        double resolution;
    } files[] = {{kDriverPostScript, "chart.ps", 600.0}, {kDriverSvg, "chart.svg", 72.0}, {kDriverImageFile, "chart.png", 0.0}};
    for (const auto& font : fonts)
        for (const auto& file : files)
            for (bool screen : {true, false}) {
                SCOPED_TRACE(std::string(font.name) + ", " + file.name + (screen ? ", screen on" : ", screen off"));
                DrawAndCheck(font.code, font.spacing, file.driver, file.name, file.resolution, screen);
            }
}

} // namespace

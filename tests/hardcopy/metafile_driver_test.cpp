// The Windows metafile driver: the placeable header (also for pages whose
// extents would not fit 16 bits), placeable, plain and enhanced files read
// by wmf2svg and emf2svg-conv, the clipboard delivery, the long polyline
// cut in pieces, a refused output name, and metafile playback with its bad
// inputs.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/graphics_fixture.h"
#include "graphics/metafile_headers.h"
#include "hardcopy/driver_wmf.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_open.h"
#include "scratch_files.h"
#include "unix_tools.h"

namespace {

constexpr int kRed = 0x0000FF, kBlue = 0xFF0000;

int U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint32_t>(U16(b, at)) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}

// The value of attribute NAME of the first <svg> element, 0 without it.
double SvgSize(const std::string& svg, const std::string& name)
{
    const size_t tag = svg.find("<svg");
    const size_t at = svg.find(" " + name + "=\"", tag);
    if (tag == std::string::npos || at == std::string::npos)
        return 0.0;
    return std::atof(svg.c_str() + at + name.size() + 3);
}

// The colour as the readers write it: #rrggbb, rgb(r,g,b) or its name.
bool HasColour(const std::string& svg, const char* hex, const char* rgb, const char* named)
{
    std::string lower = svg;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find(hex) != std::string::npos || lower.find(rgb) != std::string::npos ||
           lower.find(std::string(":") + named + ";") != std::string::npos ||
           lower.find(std::string(":") + named + "\"") != std::string::npos ||
           lower.find(std::string("\"") + named + "\"") != std::string::npos;
}
bool HasRed(const std::string& svg) { return HasColour(svg, "#ff0000", "rgb(255,0,0)", "red"); }
bool HasBlue(const std::string& svg) { return HasColour(svg, "#0000ff", "rgb(0,0,255)", "blue"); }

class MetafileDriverTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    FixedText<260> defaultName = gLibraryPaths.hardcopyFileName;
    void SetUp() override
    {
        GraphicsState& g = gGraphicsState;
        g.screenOutput = 0;
        g.hardcopyOpen = 0;
        g.targetKind = kTargetWindow;
        g.targetWidth = 200;
        g.targetHeight = 100;
        g.targetLimit = {199.99f, 99.99f};
        g.deviceArea = {0.0f, 0.0f, 199.99f, 99.99f};
        g.integerArea = {0, 0, 199, 99};
        g.areaFractions = {0, 0, 1, 1};
        g.orientedAreaSize = {199.99f, 99.99f};
        g.pageRotation = 0;
        g.fillMode = kFillSolid;
        g.lineStyle = 0;
        g.colourModel = kColourModelRgb;
        g.previousRgb = kWhite;
        g.currentRgb = kBlack;
        gHardcopyState.pagePending = 0;
        YYHardcopySelect(1, kDriverWindowsMetafile);
        gErrorState.lastCode = 0;
    }
    void TearDown() override
    {
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
        YYHardcopySelect(1, kDriverWindowsPrinter);
        gLibraryPaths.hardcopyFileName = defaultName;
    }
    static void Colour(int rgb)
    {
        GraphicsState& g = gGraphicsState;
        g.previousRgb = g.currentRgb;
        g.currentRgb = rgb;
        YYHardcopyCallIfOpen(DeviceOp::kColour);
    }
    // A red rectangle on the left and a blue line across, then closed.
    static void Scene()
    {
        DeviceParameterBlock& b = gDeviceParameterBlock;
        Colour(kRed);
        b.X[0] = 10;
        b.Y[0] = 10;
        b.X[1] = 90;
        b.Y[1] = 90;
        b.M = 1;
        YYHardcopyCallIfOpen(DeviceOp::kRectangleHalftone);
        b.M = -1;
        YYHardcopyCallIfOpen(DeviceOp::kRectangleHalftone);
        Colour(kBlue);
        b.X[0] = 10;
        b.Y[0] = 50;
        b.X[1] = 190;
        b.Y[1] = 50;
        YYHardcopyCallIfOpen(DeviceOp::kLine);
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
    }
    static void Open(const std::string& name)
    {
        const std::string_view file = name;
        YYHardcopyOpen(name.empty() ? nullptr : &file);
    }
};

TEST(PlaceableHeader, DefaultPageAndPagesBeyondSixteenBits)
{
    const struct {
        int width, height;
        int right, bottom, upi, divisor;
    } cases[] = {
        {756, 540, 10500, 7500, 1000, 1},
        {2359, 100, 32763, 1388, 1000, 1},
        {2360, 100, 32745, 1387, 999, 1},    // units per inch drop just enough
        {3276, 3276, 32760, 32760, 720, 1},  // the extents still fit
        {3277, 10, 32724, 99, 719, 2},       // a coarser unit
        {100000, 50000, 31944, 15972, 23, 31},
    };
    for (const auto& c : cases) {
        const PlaceableExtent e = PlaceableExtentFor(c.width, c.height);
        EXPECT_EQ(e.unitsPerInch, c.upi) << c.width;
        EXPECT_EQ(e.right, c.right) << c.width;
        EXPECT_EQ(e.bottom, c.bottom) << c.width;
        const int divisor = MetafileUnitDivisor(c.width, c.height);
        EXPECT_EQ(divisor, c.divisor) << c.width;
        EXPECT_LE(c.width * 10 / divisor + 1, 32767);
    }
    const auto h = PlaceableHeader(10500, 7500, 1000);
    EXPECT_EQ(h[20] | h[21] << 8, 0x60B1);
    EXPECT_TRUE(PlaceableHeaderValid(h));
    std::array<uint8_t, 22> wrong = h;
    wrong[3] = 0;
    EXPECT_FALSE(PlaceableHeaderValid(wrong));
    EXPECT_FALSE(PlaceableHeaderValid(std::span<const uint8_t>(h.data(), 21)));
}

TEST_F(MetafileDriverTest, InitialisationAndTheDefaultPlaceableFile)
{
    HardcopyState& h = gHardcopyState;
    EXPECT_EQ(h.driverNumber, kDriverWindowsMetafile);
    EXPECT_EQ(h.option(1), 756);
    EXPECT_EQ(h.option(2), 540);
    EXPECT_EQ(h.option(27), 1);
    EXPECT_EQ(h.resolutionX, 600);
    EXPECT_EQ(gLibraryPaths.hardcopyFileName.trimmed(), "");
    EXPECT_EQ(std::string(gDeviceCapabilityString[kHardcopySide].data(), kCapabilityLength),
              "00000111111111100010011011110");
    gDeviceParameterBlock.N = kDriverNumberQuery;
    XXWMF(DeviceOp::kInitialise);
    EXPECT_EQ(gDeviceParameterBlock.N, kDriverWindowsMetafile);

    const std::string name = TempName("default.wmf");
    Open(name);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    EXPECT_FLOAT_EQ(h.scaleX, 7560.0f / 199.99f);
    Scene();
    EXPECT_EQ(gErrorState.lastCode, 0);
    const std::vector<uint8_t> bytes = ReadAll(name);
    ASSERT_GT(bytes.size(), 22u + kWmfHeaderSize);
    EXPECT_EQ(U32(bytes, 0), kPlaceableKey);
    EXPECT_EQ(U16(bytes, 10), 10500);
    EXPECT_EQ(U16(bytes, 12), 7500);
    EXPECT_EQ(U16(bytes, 14), 1000);
    EXPECT_EQ(U16(bytes, 20), 0x60B1);
    EXPECT_TRUE(WmfHeaderValid(std::span<const uint8_t>(bytes).subspan(22)));

    if (!unixtools::Available("/usr/bin/wmf2svg")) {
        DeleteFileA(name.c_str());
        GTEST_SKIP() << "wmf2svg (libwmf-bin) is missing";
    }
    const std::string svgName = TempName("default.svg");
    std::string out;
    ASSERT_EQ(unixtools::Run("/usr/bin/wmf2svg -o '" + unixtools::UnixPath(svgName) + "' '" +
                                 unixtools::UnixPath(name) + "'", &out), 0) << out;
    const std::vector<uint8_t> svgBytes = ReadAll(svgName);
    const std::string svg(svgBytes.begin(), svgBytes.end());
    const double w = SvgSize(svg, "width"), ht = SvgSize(svg, "height");
    ASSERT_GT(ht, 0.0) << svg.substr(0, 400);
    EXPECT_NEAR(w / ht, 1.4, 0.02);
    EXPECT_TRUE(HasRed(svg)) << svg.substr(0, 2000);
    EXPECT_TRUE(HasBlue(svg));
    DeleteFileA(name.c_str());
    DeleteFileA(svgName.c_str());
}

TEST_F(MetafileDriverTest, ALargePageStaysReadable)
{
    gHardcopyState.option(1) = 5000;
    gHardcopyState.option(2) = 3000;
    const std::string name = TempName("large.wmf");
    Open(name);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    EXPECT_EQ(gMetafileDrawingState.unitDivisor, 2);
    EXPECT_EQ(gMetafileDrawingState.extentW, 25000);
    Scene();
    const std::vector<uint8_t> bytes = ReadAll(name);
    ASSERT_GT(bytes.size(), 22u);
    const PlaceableExtent e = PlaceableExtentFor(5000, 3000);
    EXPECT_EQ(U16(bytes, 10), e.right);
    EXPECT_EQ(U16(bytes, 14), e.unitsPerInch);
    EXPECT_LT(U16(bytes, 10), 32768);
    if (unixtools::Available("/usr/bin/wmf2svg")) {
        const std::string svgName = TempName("large.svg");
        std::string out;
        EXPECT_EQ(unixtools::Run("/usr/bin/wmf2svg -o '" + unixtools::UnixPath(svgName) + "' '" +
                                     unixtools::UnixPath(name) + "'", &out), 0) << out;
        const std::vector<uint8_t> s = ReadAll(svgName);
        const std::string svg(s.begin(), s.end());
        EXPECT_NEAR(SvgSize(svg, "width") / std::max(SvgSize(svg, "height"), 1e-9), 5.0 / 3.0, 0.02);
        DeleteFileA(svgName.c_str());
    }
    DeleteFileA(name.c_str());
}

TEST_F(MetafileDriverTest, AnEnhancedFileWithDescription)
{
    gHardcopyState.option(27) = 2;
    const std::string name = TempName("plot.emf");
    const std::string_view file = name, title = "Test title";
    YYHardcopyOpen(&file, &title);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    Scene();
    EXPECT_EQ(gErrorState.lastCode, 0);
    HENHMETAFILE h = GetEnhMetaFileA(name.c_str());
    ASSERT_TRUE(h);
    char description[128] = {};
    const UINT n = GetEnhMetaFileDescriptionA(h, sizeof description, description);
    ASSERT_GT(n, 0u);
    EXPECT_STREQ(description, "KVB metafile driver");
    EXPECT_STREQ(description + 20, "Test title");
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(h, sizeof header, &header);
    EXPECT_EQ(header.rclFrame.right, 756 * 10 * 254 / 72);
    EXPECT_EQ(header.rclFrame.bottom, 540 * 10 * 254 / 72);
    DeleteEnhMetaFile(h);
    if (unixtools::Available("/usr/bin/emf2svg-conv")) {
        const std::string svgName = TempName("plot.svg");
        std::string out;
        ASSERT_EQ(unixtools::Run("/usr/bin/emf2svg-conv -i '" + unixtools::UnixPath(name) + "' -o '" +
                                     unixtools::UnixPath(svgName) + "'", &out), 0) << out;
        const std::vector<uint8_t> s = ReadAll(svgName);
        const std::string svg(s.begin(), s.end());
        EXPECT_TRUE(HasRed(svg)) << svg.substr(0, 2000);
        EXPECT_TRUE(HasBlue(svg));
        DeleteFileA(svgName.c_str());
    } else {
        std::printf("emf2svg-conv is missing: the enhanced file was read back by GDI only\n");
    }
    DeleteFileA(name.c_str());
}

// Without an output name the metafile goes to the clipboard: enhanced as
// CF_ENHMETAFILE, otherwise as CF_METAFILEPICT; read back, both convert.
TEST_F(MetafileDriverTest, TheClipboardTakesThePlot)
{
    for (int kind : {2, 1}) {
        SCOPED_TRACE(kind);
        gHardcopyState.option(27) = kind;
        Open("");
        ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
        EXPECT_EQ(gMetafileDrawingState.clipboard, 1);
        Scene();
        EXPECT_EQ(gErrorState.lastCode, 0);
        ASSERT_TRUE(PollUntil([] { return OpenClipboard(nullptr) != 0; }, 3000));
        std::string name;
        if (kind == 2) {
            auto h = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
            ASSERT_TRUE(h);
            name = TempName("clip.emf");
            HENHMETAFILE copy = CopyEnhMetaFileA(h, name.c_str());
            EXPECT_TRUE(copy);
            DeleteEnhMetaFile(copy);
        } else {
            HANDLE g = GetClipboardData(CF_METAFILEPICT);
            ASSERT_TRUE(g);
            auto* pict = static_cast<METAFILEPICT*>(GlobalLock(g));
            ASSERT_TRUE(pict);
            EXPECT_EQ(pict->mm, MM_ANISOTROPIC);
            EXPECT_EQ(pict->xExt, 756 * 10 * 254 / 72);
            const UINT size = GetMetaFileBitsEx(pict->hMF, 0, nullptr);
            std::vector<uint8_t> bits(size);
            GetMetaFileBitsEx(pict->hMF, size, bits.data());
            GlobalUnlock(g);
            // As a placeable file, so that a reader knows its size.
            const auto header = PlaceableHeader(10500, 7500, 1000);
            bits.insert(bits.begin(), header.begin(), header.end());
            name = TempName("clip.wmf");
            WriteAll(name, bits);
        }
        CloseClipboard();
        const std::string tool = kind == 2 ? "/usr/bin/emf2svg-conv" : "/usr/bin/wmf2svg";
        if (unixtools::Available(tool)) {
            const std::string svgName = TempName("clip.svg");
            const std::string command = kind == 2 ? tool + " -i '" + unixtools::UnixPath(name) + "' -o '" +
                                                        unixtools::UnixPath(svgName) + "'"
                                                  : tool + " -o '" + unixtools::UnixPath(svgName) + "' '" +
                                                        unixtools::UnixPath(name) + "'";
            std::string out;
            EXPECT_EQ(unixtools::Run(command, &out), 0) << out;
            const std::vector<uint8_t> s = ReadAll(svgName);
            const std::string svg(s.begin(), s.end());
            EXPECT_TRUE(HasRed(svg)) << svg.substr(0, 1000);
            DeleteFileA(svgName.c_str());
        }
        DeleteFileA(name.c_str());
    }
}

// A plain-metafile polyline of 70000 points: META_POLYLINE records of at
// most 32767 points (the format's signed 16-bit count), each starting at
// the last point of the one before.
TEST_F(MetafileDriverTest, ALongPolylineInPieces)
{
    gHardcopyState.option(27) = 0;
    const std::string name = TempName("long.wmf");
    Open(name);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(70000);
    for (size_t i = 0; i < 70000; ++i) {
        p.x[i] = static_cast<float>(i % 200);
        p.y[i] = static_cast<float>((i / 200) % 100);
    }
    gDeviceParameterBlock.N = 70000;
    YYHardcopyCallIfOpen(DeviceOp::kPolyline);
    const std::string_view close = "S";
    YYHardcopyOpen(&close);
    const std::vector<uint8_t> bytes = ReadAll(name);
    ASSERT_TRUE(WmfHeaderValid(bytes));
    std::vector<size_t> polylines;
    for (size_t at = kWmfHeaderSize; at + 6 <= bytes.size();) {
        const uint32_t words = U32(bytes, at);
        if (words < 3 || at + 2ull * words > bytes.size())
            break;
        if (U16(bytes, at + 4) == 0x0325)
            polylines.push_back(at);
        at += 2ull * words;
    }
    ASSERT_EQ(polylines.size(), 3u);
    const int counts[] = {32767, 32767, 70000 - 2 * 32766};
    for (size_t k = 0; k < 3; ++k)
        EXPECT_EQ(U16(bytes, polylines[k] + 6), counts[k]) << k;
    for (size_t k = 0; k + 1 < 3; ++k) {
        const size_t last = polylines[k] + 8 + 4 * 32766;
        EXPECT_EQ(U32(bytes, last), U32(bytes, polylines[k + 1] + 8)) << k;
    }
    DeleteFileA(name.c_str());
}

// Pens wider than one unit lengthen every gap of the dash tables by the
// width less one, as the printer's do.
TEST_F(MetafileDriverTest, DashGapsFollowThePenWidth)
{
    gHardcopyState.option(27) = 0;
    const std::string name = TempName("dashes.wmf");
    Open(name);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    MetafileDrawingState& m = gMetafileDrawingState;
    YYHardcopyOption(9, 1);
    ASSERT_EQ(m.penWidth, 1);
    const auto thin = m.dashes;
    YYHardcopyOption(9, 3);
    ASSERT_EQ(m.penWidth, 3);
    for (size_t style = 0; style < 7; ++style) {
        ASSERT_EQ(m.dashes[style].size(), thin[style].size());
        for (size_t i = 0; i < thin[style].size(); ++i)
            EXPECT_EQ(m.dashes[style][i] - thin[style][i], i % 2 == 1 ? 2u : 0u) << style << " " << i;
    }
    const std::string_view close = "S";
    YYHardcopyOpen(&close);
    DeleteFileA(name.c_str());
}

TEST_F(MetafileDriverTest, ARefusedOutputNameLeavesNothingOpen)
{
    for (int kind : {1, 0, 2}) {
        gHardcopyState.option(27) = kind;
        gErrorState.lastCode = 0;
        YYErrorLevelSet(kReportStdout);
        testing::internal::CaptureStdout();
        Open("Z:\\no\\such\\folder\\x.wmf");
        const std::string printed = testing::internal::GetCapturedStdout();
        YYErrorLevelSet(kReportNone);
        EXPECT_EQ(gErrorState.lastCode, 1) << kind;
        EXPECT_NE(printed.find("XXWMF"), std::string::npos) << printed;
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
        EXPECT_EQ(gMetafileDrawingState.dc, nullptr);
        EXPECT_EQ(gMetafileDrawingState.file, -1);
    }
}

// Playback into the screen surface, and its bad inputs.
TEST_F(MetafileDriverTest, PlayingMetafilesAndBadOnes)
{
    const std::string name = TempName("play.wmf");
    Open(name);
    Scene();
    const std::vector<uint8_t> bytes = ReadAll(name);
    ASSERT_GT(bytes.size(), 40u);

    MemorySurface surface(100, 50);
    int result = -1;
    // A box without width or height draws nothing.
    MetafilePlayToTarget(1, 10, 10, 10, 40, 0, 0, 0, 0, result, name);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(surface.Pixel(20, 30), kWhite);
    MetafilePlayToTarget(1, 0, 0, 99, 49, 0, 0, 0, 0, result, name);
    EXPECT_EQ(result, 0);
    // The red rectangle covered x 10..90 and y 10..90 of a 200 x 100 target.
    EXPECT_EQ(surface.Pixel(20, 15), kRed);
    EXPECT_EQ(surface.Pixel(20, 40), kRed);
    EXPECT_EQ(surface.Pixel(50, 15), kWhite);
    EXPECT_EQ(surface.Pixel(80, 10), kWhite);

    const std::string bad = TempName("bad.wmf");
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        int kind;
    } cases[] = {
        {"shorter than the placeable header", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 21), 1},
        {"shorter than the metafile header", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30), 1},
        {"a wrong key", [&] { auto b = bytes; b[0] ^= 0xFF; return b; }(), 1},
        {"a placeable file as a plain one", bytes, 0},
        {"a metafile as an enhanced one", bytes, 2},
        {"empty", {}, 2},
    };
    for (const auto& c : cases) {
        WriteAll(bad, c.bytes);
        result = -1;
        MetafilePlayToTarget(c.kind, 0, 0, 99, 49, 0, 0, 0, 0, result, bad);
        EXPECT_EQ(result, 2) << c.what;
    }
    MetafilePlayToTarget(1, 0, 0, 99, 49, 0, 0, 0, 0, result, TempName("missing.wmf"));
    EXPECT_EQ(result, 1);
    DeleteFileA(bad.c_str());
    DeleteFileA(name.c_str());
}

} // namespace

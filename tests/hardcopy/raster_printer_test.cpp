// The raster printer driver: command strings of the printer families, the
// resolution fall-back, the row compressions, and whole pages read back
// dot for dot by the test's stream decoder (and ESC/P2 by escp2topbm).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "raster_stream_decoder.h"
#include "raster_test_support.h"
#include "unix_tools.h"

namespace {

using namespace rastertest;

Bytes B(std::initializer_list<int> bytes)
{
    Bytes out;
    for (int b : bytes)
        out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

Bytes B(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes ESC = {27};

// Printer MODEL selected and driver 4 initialised; OPTIONS (code, value)
// then applied.
void Printer(int model, std::initializer_list<std::pair<int, int>> options = {})
{
    YYSetPrinterModel(model);
    YYHardcopySelect(1, kDriverRasterPrinter);
    for (auto [code, value] : options)
        YYHardcopyOption(code, value);
}

bool StartsWith(const Bytes& b, const Bytes& head)
{
    return b.size() >= head.size() && std::equal(head.begin(), head.end(), b.begin());
}

bool EndsWith(const Bytes& b, const Bytes& tail)
{
    return b.size() >= tail.size() && std::equal(tail.begin(), tail.end(), b.end() - static_cast<long>(tail.size()));
}

TEST(RasterPrinterSetup, PclPageOfTheLaserPrinterDefaults)
{
    RasterGuard guard;
    Target(400, 300);
    Printer(28, {{13, 1}}); // 300 dots per inch; rotation 1, offsets 100 and 70
    const std::string path = TempPath("pcl300.prn");
    Open(path);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    EXPECT_EQ(gRasterState.width, 2400);
    EXPECT_EQ(gRasterState.height, 1800);
    Colour(223);
    Line(10, 10, 300, 200);
    Close();
    const Bytes file = ReadFile(path);
    DeleteFileA(path.c_str());
    EXPECT_EQ(gRasterPrinterCommands.pageWidth, 1800);
    EXPECT_EQ(gRasterPrinterCommands.pageHeight, 2400);
    const Bytes init = Cat({ESC, B("E"), ESC, B("&a0700h1000V"), ESC, B("*t300R"), ESC, B("*r1800s1A"), ESC, B("*b2M")});
    const Bytes end = Cat({ESC, B("&l01X"), ESC, B("*rB"), ESC, B("E")});
    EXPECT_TRUE(StartsWith(file, init));
    EXPECT_TRUE(EndsWith(file, end));

    // Printer reset 0: no reset at either end.
    Printer(28, {{19, 0}});
    YYRasterPrinterSetup(1800, 2400);
    EXPECT_EQ(gRasterPrinterCommands.init[0], 27);
    EXPECT_NE(gRasterPrinterCommands.init[1], 'E');
    EXPECT_EQ(gRasterPrinterCommands.end, Cat({ESC, B("&l01X"), ESC, B("*rB")}));
    // Numbers too large for their fields keep all their digits.
    Printer(28, {{3, 2000}, {4, -30}, {5, 0}});
    YYRasterPrinterSetup(1800, 2400);
    const std::string text(gRasterPrinterCommands.init.begin(), gRasterPrinterCommands.init.end());
    EXPECT_NE(text.find("&a20000h0000V"), std::string::npos) << text;
}

TEST(RasterPrinterSetup, EscpPassesAndPrefixes)
{
    RasterGuard guard;
    Target(400, 300);
    // A 9-pin printer at 120 dots per inch: two passes a band.
    Printer(2, {{4, 0}});
    const std::string path = TempPath("escp.prn");
    Open(path);
    EXPECT_NEAR(gRasterState.resolutionY, 8.0 * 216.0 / 23.0 * 2.0, 1e-3);
    Close();
    DeleteFileA(path.c_str());
    YYRasterPrinterSetup(100, 50);
    RasterPrinterCommands& c = gRasterPrinterCommands;
    EXPECT_EQ(c.passes, 2);
    EXPECT_EQ(c.init, B({27, 'U', 1}));
    EXPECT_EQ(c.passSpacing[0], B({27, '3', 1}));
    EXPECT_EQ(c.passSpacing[1], B({27, '3', 22}));
    EXPECT_EQ(c.prefix, B({27, 'L', 100, 0}));
    EXPECT_EQ(c.end, B({27, '2', 12}));
    // At 60 dots per inch one pass, the band spacing in the init string.
    Printer(2, {{13, 3}, {4, 10}, {19, 0}});
    YYRasterPrinterSetup(100, 50);
    EXPECT_EQ(c.init, B({27, 'U', 1, 27, 'J', 30, 27, '3', 23}));
    EXPECT_EQ(c.prefix, B({27, 'K', 100, 0}));
    EXPECT_EQ(c.end, B({27, '2'}));
    // A 24-pin printer of class 4 at 360: the count in bytes, plus one.
    Printer(19, {{13, 1}, {3, 2}});
    YYRasterPrinterSetup(1000, 50);
    EXPECT_EQ(c.prefix, B({27, '[', 'g', (3 * 1010 + 1) & 255, (3 * 1010 + 1) >> 8, 12}));
    EXPECT_EQ(c.leftMarginBytes, 30);
    // Negative margins count as none.
    Printer(17, {{3, -50}, {4, -50}});
    YYRasterPrinterSetup(300, 50);
    EXPECT_EQ(c.leftMarginBytes, 0);
    EXPECT_EQ(c.init, B({27, 'U', 1, 27, '3', 24}));
}

TEST(RasterPrinterSetup, Escp2UnitsFollowTheResolution)
{
    RasterGuard guard;
    Printer(36, {{13, 2}, {3, 0}, {4, 0}}); // 360 dots per inch
    YYRasterPrinterSetup(200, 100);
    RasterPrinterCommands& c = gRasterPrinterCommands;
    EXPECT_EQ(c.init, B({27, '@', 27, '(', 'G', 1, 0, 1, 27, '(', 'U', 1, 0, 10, 27, '(', 'V', 2, 0, 0, 0}));
    EXPECT_EQ(c.prefix, B({27, '\\', 0, 0, 27, '.', 0, 10, 10, 1, 0, 0}));
    EXPECT_EQ(c.rowAdvance, B({27, '(', 'v', 2, 0, 1, 0}));
    EXPECT_EQ(c.end, B({27, '@', 12}));
    // The driver's own offsets (100 and 70 points, rotated page) at 720.
    Printer(36, {{13, 1}});
    YYRasterPrinterSetup(200, 100);
    EXPECT_EQ(c.init[13], 5);               // unit 5/3600 inch
    EXPECT_EQ(c.init[19] | c.init[20] << 8, 1000); // 100 points down
    EXPECT_EQ(c.prefix[2] | c.prefix[3] << 8, 700);
}

TEST(RasterPrinterSetup, ScreenDumpsTakeTheirResolutionFromTheArea)
{
    RasterGuard guard;
    Target(600, 400);
    Printer(28);
    YYSetDumpDefaults(std::array<int, 1>{2}.data()); // 756 x 540 points, rotated
    YYRasterPrinterSetup(0, 0);
    RasterPrinterCommands& c = gRasterPrinterCommands;
    // 72 dots per inch at least: the lowest resolution, 75, serves.
    const std::string text(c.init.begin(), c.init.end());
    EXPECT_NE(text.find("*t075R"), std::string::npos) << text;
    EXPECT_EQ(c.pageWidth, 562);
    EXPECT_EQ(c.pageHeight, 787);
    // Dump codes of nothing: resolution entry 1, the page the area's size.
    gHardcopyState.dump.codes.fill(0);
    YYRasterPrinterSetup(0, 0);
    const std::string zero(c.init.begin(), c.init.end());
    EXPECT_NE(zero.find("*t300R"), std::string::npos) << zero;
    EXPECT_EQ(c.pageWidth, 600);
    EXPECT_EQ(c.pageHeight, 400);
}

TEST(RasterPrinterSetup, PagesTooLargeOrTooSmallCloseTheHardcopy)
{
    RasterGuard guard;
    Target(400, 300);
    struct Case {
        int model, resolution, width, height, reports;
    };
    const Case cases[] = {
        {28, 1, 2147483647, 2147483647, 1}, // every resolution tried, one report
        {2, 1, 2147483647, 10, 1},
        {36, 1, 2147483647, 2147483647, 1},
        {2, 3, 1, 1, 1},                    // under one dot at 60 dots per inch
        {28, 1, 1, 1, 0},                   // 4 x 4 dots at 300: drawn
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        Printer(c.model, {{1, c.width}, {2, c.height}, {13, c.resolution}});
        const int count = gHardcopyState.resolutionCount;
        ErrorCapture errors;
        const std::string path = TempPath("large.prn");
        Open(path);
        EXPECT_EQ(errors.Count(kErrorPageTooLarge, "XXRAST"), c.reports);
        if (c.reports > 0) {
            EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
            if (c.width > 100) {
                EXPECT_EQ(gHardcopyState.resolutionChoice, count);
            }
        } else {
            EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
            Colour(223);
            Line(0, 0, 399, 299);
            Close();
            EXPECT_GT(ReadFile(path).size(), 20u);
        }
        EXPECT_TRUE(RasterGuardsIntact());
        Close();
        DeleteFileA(path.c_str());
    }
}

TEST(RasterPrinterOutput, RowCompressions)
{
    RasterGuard guard;
    Printer(28, {{5, 0}});
    YYRasterPrinterSetup(2400, 10);
    RasterPrinterCommands& c = gRasterPrinterCommands;
    Bytes packed;
    // PCL method 1: (repeat - 1, byte) pairs.
    c.compression = 1;
    int count = 4;
    YYPclCompress(B({5, 5, 5, 7}), count, 0, packed);
    EXPECT_EQ(packed, B({2, 5, 0, 7}));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(c.transfer[0], Cat({ESC, B("*b4W")}));
    // A row that grows: 600 bytes without repeats make 1200, all digits.
    Bytes row(600);
    for (size_t i = 0; i < row.size(); ++i)
        row[i] = static_cast<std::uint8_t>(i);
    count = 600;
    YYPclCompress(row, count, 1, packed);
    EXPECT_EQ(count, 1200);
    EXPECT_EQ(c.transfer[1], Cat({ESC, B("*b1200V")}));
    // PCL method 2: 300 zero bytes as runs of 128, 128 and 44.
    c.compression = 2;
    count = 300;
    YYPclCompress(Bytes(300, 0), count, 0, packed);
    EXPECT_EQ(packed, B({129, 0, 129, 0, 213, 0}));
    EXPECT_EQ(c.transfer[0], Cat({ESC, B("*b6W")}));
    // Literals end before three equal bytes; a single last byte stands alone.
    count = 9;
    YYPclCompress(B({1, 2, 3, 3, 4, 4, 4, 4, 9}), count, 0, packed);
    EXPECT_EQ(packed, B({3, 1, 2, 3, 3, 253, 4, 0, 9}));

    // ESC/P2 packed bits, kept only when shorter.
    Printer(36);
    YYRasterPrinterSetup(2000, 10);
    count = 130;
    EXPECT_TRUE(YYPackBitsRow(Bytes(130, 7), count, packed));
    EXPECT_EQ(packed, B({129, 7, 255, 7}));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(c.prefix[6], 1);
    count = 129;
    YYPackBitsRow(Bytes(129, 7), count, packed);
    EXPECT_EQ(packed, B({130, 7, 255, 7}));
    count = 10;
    EXPECT_FALSE(YYPackBitsRow(B({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), count, packed));
    EXPECT_EQ(packed.size(), 11u);
    EXPECT_EQ(count, 10);
    EXPECT_EQ(c.prefix[6], 0);

    // ESC/P counts: whole columns of three bytes with 24 pins.
    Printer(17);
    YYRasterPrinterSetup(100, 10);
    count = 4;
    YYEscpCountSet(count);
    EXPECT_EQ(count, 6);
    EXPECT_EQ(c.prefix, B({27, '*', 39, 2, 0})); // 180 dots per inch
    Printer(19);
    YYRasterPrinterSetup(100, 10);
    count = 7;
    YYEscpCountSet(count);
    EXPECT_EQ(c.prefix[3], 8);
}

TEST(RasterPrinterOutput, AWhitePageOfPclRows)
{
    RasterGuard guard;
    Target(400, 300);
    for (int method : {0, 2}) {
        Printer(28, {{5, 0}, {13, 1}, {1, 576}, {2, 2}, {24, method}}); // 2400 x 8 dots: rows of 300 bytes
        const std::string path = TempPath("white.prn");
        Open(path);
        Colour(0);
        Line(0, 0, 399, 0); // white on white
        Close();
        const Bytes file = ReadFile(path);
        DeleteFileA(path.c_str());
        const Bytes row = method == 0 ? Cat({ESC, B("*b000W")}) : Cat({ESC, B("*b6W"), B({129, 0, 129, 0, 213, 0})});
        size_t rows = 0;
        for (auto it = std::search(file.begin(), file.end(), row.begin(), row.end()); it != file.end();
             it = std::search(it + 1, file.end(), row.begin(), row.end()))
            ++rows;
        EXPECT_EQ(rows, 8u) << method;
    }
}

TEST(RasterPrinterOutput, InkPlanesOfAColourDotMatrixPrinter)
{
    RasterGuard guard;
    Page(3, 2, 1);
    gHardcopyState.colourKind = 2;
    YYRasterStore(7, 0, 0); // black: all ink planes
    YYRasterStore(6, 1, 0); // red: no cyan (plane 0), magenta and yellow
    const RasterFetch fetch = RasterPrinterFetchFor(2, false, 3);
    std::string passes;
    for (int plane : {2, 1, 0, -1}) {
        gRasterPlaneIndex = plane;
        passes += std::string(fetch(0, 0) ? "#" : ".") + (fetch(1, 0) ? "#" : ".") + " ";
    }
    EXPECT_EQ(passes, ".# .# .. #. "); // yellow, magenta, cyan, black
}

struct PageCase {
    const char* name;
    int model;
    std::vector<std::pair<int, int>> options;
};

// Draws the sample picture on MODEL with OPTIONS and compares the decoded
// stream with the dots the fetch routine gives for the bitmap.
rasterdecode::Decoded RoundTrip(const PageCase& pc)
{
    Target(100, 60);
    YYSetPrinterModel(pc.model);
    YYHardcopySelect(1, kDriverRasterPrinter);
    YYHardcopyOption(1, 50);
    YYHardcopyOption(2, 30);
    for (auto [code, value] : pc.options)
        YYHardcopyOption(code, value);
    const std::string path = TempPath(std::string(pc.name) + ".prn");
    Open(path);
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
    DrawSample(100, 60);

    // The dots of every plane, in printing order, before the page goes out.
    const HardcopyState& h = gHardcopyState;
    const RasterState& r = gRasterState;
    const bool rotated = gHardcopyState.options[5] != 0;
    const int width = rotated ? r.height : r.width, height = rotated ? r.width : r.height;
    const RasterFetch fetch = RasterPrinterFetchFor(h.printerClass, rotated, r.depth);
    const int planes = r.planesLess1 + 1;
    std::vector<int> planeKeys;
    if (h.printerClass >= 7)
        for (int m = 0; m < planes; ++m)
            planeKeys.push_back(m);
    else if (planes > 1)
        planeKeys = {2, 1, 0, -1};
    else
        planeKeys = {0};
    std::map<int, std::vector<std::uint8_t>> expected;
    for (int key : planeKeys) {
        gRasterPlaneIndex = key;
        std::vector<std::uint8_t>& dots = expected[key];
        for (int row = 0; row < height; ++row)
            for (int c = 0; c < width; ++c)
                dots.push_back(fetch(c, row) ? 1 : 0);
    }
    const int band = h.dotsPerBand;
    Close();
    const Bytes file = ReadFile(path);
    DeleteFileA(path.c_str());

    const RasterPrinterCommands& cmd = gRasterPrinterCommands;
    EXPECT_EQ(cmd.pageWidth, width);
    EXPECT_EQ(cmd.pageHeight, height);
    // Past the init string the stream is raster data up to the end string.
    EXPECT_TRUE(StartsWith(file, cmd.init));
    EXPECT_TRUE(EndsWith(file, cmd.end));
    rasterdecode::Decoded d;
    if (h.printerClass >= 7) {
        d = rasterdecode::DecodePcl(file, width, height);
    } else if (h.printerClass == 6) {
        d = rasterdecode::DecodeEscp2(file, width, height);
    } else {
        const int perColumn = band / 8;
        d = rasterdecode::DecodeEscp(file, width, height, band, cmd.passes, cmd.leftMarginBytes / perColumn);
    }
    EXPECT_EQ(d.error, "");
    int ink = 0;
    for (int key : planeKeys) {
        std::vector<std::uint8_t> got(static_cast<size_t>(width) * height, 0);
        if (d.planes.count(key))
            got = d.planes.at(key);
        EXPECT_TRUE(got == expected[key]) << "plane " << key;
        ink += static_cast<int>(std::count(got.begin(), got.end(), 1));
    }
    EXPECT_GT(ink, 100);
    EXPECT_EQ(d.planes.size(), planeKeys.size());
    return d;
}

TEST(RasterPrinterOutput, StreamsDecodeToTheBitmap)
{
    RasterGuard guard;
    const PageCase cases[] = {
        {"9pin120", 2, {}},                                   // two passes a band
        {"9pin60rotated", 2, {{13, 3}, {5, 1}, {3, 20}}},
        {"9pin160", 9, {{13, 1}}},                            // class 3
        {"colour90", 23, {{13, 3}, {3, 15}, {4, 5}}},         // three ink planes
        {"24pin180", 19, {{13, 2}, {3, 10}}},                 // class 4
        {"24pin360rotated", 25, {{13, 1}, {5, 1}}},           // class 5, colour
        {"escp2", 36, {{13, 3}}},                             // rotated, margins
        {"escp2colour", 37, {{13, 3}, {5, 0}, {3, 0}}},
        {"escp2mono", 37, {{13, 3}, {6, 1}}},                 // colour swap: one plane
        {"pcl0", 28, {{13, 3}, {24, 0}}},
        {"pcl1", 28, {{13, 3}, {24, 1}, {5, 0}}},
        {"pcl2", 28, {{13, 4}, {24, 2}}},
        {"pclink", 35, {{13, 4}, {24, 2}}},                  // three ink planes
        {"pcllight", 30, {{13, 4}, {24, 1}, {20, 1}}},       // three light planes, padded rows
        {"pcl180", 13, {{13, 2}}},
    };
    for (const PageCase& pc : cases) {
        SCOPED_TRACE(pc.name);
        const rasterdecode::Decoded d = RoundTrip(pc);
        if (std::string(pc.name) == "pcl2") {
            EXPECT_TRUE(std::all_of(d.methods.begin(), d.methods.end(), [](int m) { return m == 2; }));
        }
        if (std::string(pc.name) == "escp2") {
            EXPECT_EQ(d.marginDots, 70 * 180 / 72);
        }
    }
}

// The PBM that escp2topbm makes of FILE, as dots.
bool Escp2ToPbm(const std::string& file, int& width, int& height, std::vector<std::uint8_t>& dots)
{
    const std::string pbm = file + ".pbm";
    const int status = unixtools::Run("/usr/bin/escp2topbm '" + unixtools::UnixPath(file) + "' > '" +
                                      unixtools::UnixPath(pbm) + "'");
    const Bytes b = ReadFile(pbm);
    DeleteFileA(pbm.c_str());
    if (status != 0 || b.size() < 3 || b[0] != 'P' || b[1] != '4')
        return false;
    // "P4", width, height, one white-space character, then the rows.
    size_t pos = 2;
    int numbers[2] = {0, 0};
    for (int& n : numbers) {
        while (pos < b.size() && std::isspace(b[pos]))
            ++pos;
        while (pos < b.size() && std::isdigit(b[pos]))
            n = n * 10 + (b[pos++] - '0');
    }
    ++pos;
    width = numbers[0];
    height = numbers[1];
    const size_t stride = (static_cast<size_t>(width) + 7) / 8;
    if (b.size() < pos + stride * height)
        return false;
    dots.clear();
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            dots.push_back((b[pos + r * stride + c / 8] >> (7 - c % 8)) & 1);
    return true;
}

TEST(RasterPrinterOutput, Escp2PageReadBackByEscp2topbm)
{
    if (!unixtools::Available("/usr/bin/escp2topbm"))
        GTEST_SKIP() << "escp2topbm (netpbm) is not installed";
    RasterGuard guard;
    Target(100, 60);
    Printer(36, {{13, 3}, {1, 50}, {2, 30}, {3, 0}, {4, 0}, {5, 0}});
    const std::string path = TempPath("escp2topbm.prn");
    Open(path);
    DrawSample(100, 60);
    Colour(223);
    Line(99.99f, 0, 99.99f, 59.99f); // the right edge: every row as wide as the page
    const RasterState& r = gRasterState;
    const int width = r.width, height = r.height;
    const RasterFetch fetch = RasterPrinterFetchFor(6, false, 1);
    std::vector<std::uint8_t> expected;
    for (int row = 0; row < height; ++row)
        for (int c = 0; c < width; ++c)
            expected.push_back(fetch(c, row) ? 1 : 0);
    Close();
    const rasterdecode::Decoded d = rasterdecode::DecodeEscp2(ReadFile(path), width, height);
    // Rows that pack and rows sent raw.
    EXPECT_NE(std::count(d.methods.begin(), d.methods.end(), 0), 0);
    EXPECT_NE(std::count(d.methods.begin(), d.methods.end(), 1), 0);
    int w = 0, h = 0;
    std::vector<std::uint8_t> dots;
    ASSERT_TRUE(Escp2ToPbm(path, w, h, dots));
    DeleteFileA(path.c_str());
    // Rows go out in whole bytes: the dots past the page's width are blank.
    ASSERT_EQ(w, (width + 7) / 8 * 8);
    ASSERT_EQ(h, height);
    std::vector<std::uint8_t> page, beyond;
    for (int row = 0; row < h; ++row)
        for (int c = 0; c < w; ++c)
            (c < width ? page : beyond).push_back(dots[static_cast<size_t>(row * w + c)]);
    EXPECT_TRUE(page == expected);
    EXPECT_EQ(std::count(beyond.begin(), beyond.end(), 1), 0);
}

TEST(RasterPrinterSetup, EveryModelAndResolutionTakesPagesOfAnySize)
{
    RasterGuard guard;
    Target(50, 40);
    const std::string path = TempPath("models.prn");
    for (int model = 2; model <= 38; ++model) {
        YYSetPrinterModel(model);
        for (int resolution = 1; resolution <= gHardcopyState.resolutionCount; ++resolution)
            for (int side : {1, 2147483647}) {
                SCOPED_TRACE(std::to_string(model) + " " + std::to_string(resolution) + " " + std::to_string(side));
                Printer(model, {{1, side}, {2, side}, {13, resolution}});
                ErrorCapture errors;
                Open(path);
                const int reports = errors.Count(kErrorPageTooLarge, "XXRAST");
                EXPECT_EQ(reports + gGraphicsState.hardcopyOpen, 1);
                EXPECT_EQ(errors.Total(), reports);
                if (gGraphicsState.hardcopyOpen) {
                    Colour(223);
                    Line(0, 0, 49.99f, 39.99f);
                    EXPECT_TRUE(RasterGuardsIntact());
                    Close();
                    EXPECT_GT(ReadFile(path).size(), gRasterPrinterCommands.init.size());
                }
                // A screen dump with no dump settings.
                gHardcopyState.dump.codes.fill(0);
                YYRasterPrinterSetup(0, 0);
                EXPECT_EQ(gRasterPrinterCommands.pageWidth, 50);
            }
    }
    DeleteFileA(path.c_str());
}

} // namespace

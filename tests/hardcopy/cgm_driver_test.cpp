// The binary CGM encoding and the CGM driver: the file's head byte for
// byte, the encoding's edge cases (long forms, partitions, saturation,
// clipping, long strings), attribute caches, pages as pictures, bad input,
// shaded triangles, and images (DeviceOp 38) from both producers, the
// driver and the memory metafile, at four page rotations. Every file is
// walked by the test walker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "cgm_walker.h"
#include "core/error_codes.h"
#include "fixtures_data.h"
#include "graphics/graphics_fixture.h"
#include "graphics/metafile_slots.h"
#include "graphics/shaded_polygons.h"
#include "hardcopy/cgm_encoding.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/memory_metafile.h"
#include "image_test_support.h"
#include "scratch_files.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kRed = 0x0000FF, kBlue = 0xFF0000;

// Bytes built piece by piece, for expected encodings.
struct Expect {
    Bytes b;
    Expect& W(int v)
    {
        b.push_back(static_cast<uint8_t>(v >> 8));
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Expect& B(std::initializer_list<int> v)
    {
        for (int x : v)
            b.push_back(static_cast<uint8_t>(x));
        return *this;
    }
    Expect& S(const std::string& s)
    {
        b.push_back(static_cast<uint8_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
};

// A 24-bit BMP of W x H packed RGB values, top row first.
Bytes Bmp24(int w, int h, const std::vector<int>& rgb)
{
    Bytes data;
    const int stride = (3 * w + 3) / 4 * 4;
    for (int r = h - 1; r >= 0; --r) {
        for (int c = 0; c < w; ++c) {
            const int p = rgb[static_cast<size_t>(r * w + c)];
            data.push_back(static_cast<uint8_t>(p >> 16));
            data.push_back(static_cast<uint8_t>(p >> 8));
            data.push_back(static_cast<uint8_t>(p));
        }
        data.resize(data.size() + static_cast<size_t>(stride - 3 * w), 0);
    }
    return imagetest::Bmp(w, h, 24, 0, {}, data);
}

class CgmDriverTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    FixedText<260> defaultName = gLibraryPaths.hardcopyFileName;
    std::string file = TempName("driver.cgm");

    void SetUp() override
    {
        GraphicsState& g = gGraphicsState;
        g.screenOutput = 0;
        g.hardcopyOpen = 0;
        g.memoryMetafileRouting = 0;
        g.targetKind = kTargetWindow;
        g.targetWidth = 756;
        g.targetHeight = 540;
        g.targetLimit = {755.99f, 539.99f};
        g.deviceArea = {0.0f, 0.0f, 755.99f, 539.99f};
        g.integerArea = {0, 0, 755, 539};
        g.areaFractions = {0, 0, 1, 1};
        g.areaFractionSize = {1, 1};
        g.areaSize = {755.99f, 539.99f};
        g.orientedAreaSize = {755.99f, 539.99f};
        g.pageRotation = 0;
        g.fillMode = kFillSolid;
        g.lineStyle = 0;
        g.colourModel = kColourModelRgb;
        g.previousRgb = kWhite;
        g.currentRgb = kBlack;
        g.previousNumber = g.currentNumber = -1;
        gTextState.spacing = TextSpacing::kFixedPitch;
        gTextState.justification = 0;
        gTextState.style = 0;
        gTextState.stacking = 0;
        gTextState.upX = 0.0f;
        gTextState.upY = 10.0f;
        gHardcopyState.pagePending = 0;
        YYHardcopySelect(1, kDriverCgm);
        gErrorState.lastCode = 0;
    }
    void TearDown() override
    {
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
        YYHardcopySelect(1, kDriverWindowsPrinter);
        gLibraryPaths.hardcopyFileName = defaultName;
        for (int s = 1; s <= kMetafileSlotCount; ++s)
            MetafileSlotRelease(s);
    }

    // The file the driver writes while DRAW runs, opened with TITLE.
    Bytes Plot(const std::function<void()>& draw, const std::string_view* title = nullptr)
    {
        const std::string_view name = file;
        YYHardcopyOpen(&name, title);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        draw();
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
        return ReadAll(file);
    }
    static void Op(int op) { YYHardcopyCallIfOpen(op); }
    static void Colour(int rgb)
    {
        GraphicsState& g = gGraphicsState;
        g.previousRgb = g.currentRgb;
        g.currentRgb = rgb;
        Op(DeviceOp::kColour);
    }
    static void Line(float x1, float y1, float x2, float y2)
    {
        DeviceParameterBlock& b = gDeviceParameterBlock;
        b.X[0] = x1;
        b.Y[0] = y1;
        b.X[1] = x2;
        b.Y[1] = y2;
        Op(DeviceOp::kLine);
    }
    static void Points(const std::vector<float>& x, const std::vector<float>& y)
    {
        DevicePointArrays& p = gDevicePointArrays;
        p.Reserve(static_cast<int>(x.size()));
        std::copy(x.begin(), x.end(), p.x.begin());
        std::copy(y.begin(), y.end(), p.y.begin());
        gDeviceParameterBlock.N = static_cast<int>(x.size());
    }
    static void Text(const std::string& s)
    {
        DeviceParameterBlock& b = gDeviceParameterBlock;
        gDeviceTextBuffer.text.fill(' ');
        std::copy(s.begin(), s.end(), gDeviceTextBuffer.text.begin());
        b.IX[0] = static_cast<int>(s.size());
        b.X[0] = 100;
        b.Y[0] = 100;
        b.X[2] = 100.0f + 10.0f * static_cast<float>(s.size());
        b.Y[2] = 100;
        Op(DeviceOp::kText);
    }
    static cgmwalk::Walk Walked(const Bytes& bytes)
    {
        cgmwalk::Walk w = cgmwalk::WalkCgm(bytes);
        EXPECT_TRUE(w.ok) << w.error;
        return w;
    }
};

TEST_F(CgmDriverTest, HeadOfTheDefaultFile)
{
    const Bytes bytes = Plot([] {});
    Expect e;
    e.W(0x002D).S("KVB CGM File").B({0});     // BEGIN METAFILE
    e.W(0x1022).W(1);                          // METAFILE VERSION
    e.W(0x1052).S("KVB CGM driver v4");        // METAFILE DESCRIPTION
    e.W(0x1062).W(0);                          // VDC TYPE integer
    e.W(0x1082).W(16);                         // INTEGER PRECISION
    e.W(0x10A6).W(1).W(16).W(16);              // REAL PRECISION fixed 16.16
    e.W(0x10C2).W(16);                         // INDEX PRECISION
    e.W(0x11BF).W(260);                        // FONT LIST, long form
    for (const char* f : {"Courier New", "Courier New Bold", "Courier New Italic", "Courier New Bold Italic", "Arial",
                          "Arial Bold", "Arial Italic", "Arial Bold Italic", "Times New Roman", "Times New Roman Bold",
                          "Times New Roman Italic", "Times New Roman Bold Italic", "Symbol", "Symbol Italic",
                          "Symbol Bold", "Symbol Bold Italic"})
        e.S(f);
    e.W(0x10E2).W(8);                          // COLOUR PRECISION
    e.W(0x1146).B({0, 0, 0, 255, 255, 255});   // COLOUR VALUE EXTENT
    e.W(0x006D).S("KVB CGM Data").B({0});     // BEGIN PICTURE
    e.W(0x2062).W(0);                          // LINE WIDTH SPECIFICATION MODE absolute
    e.W(0x20A2).W(0);                          // EDGE WIDTH SPECIFICATION MODE absolute
    e.W(0x2042).W(1);                          // COLOUR SELECTION MODE direct
    e.W(0x3022).W(16);                         // VDC INTEGER PRECISION
    e.W(0x20C8).W(0).W(0).W(6300).W(4500);     // VDC EXTENT
    e.W(0x20E4).B({255, 255, 255, 0});         // BACKGROUND COLOUR white
    e.W(0x0080);                               // BEGIN PICTURE BODY
    e.W(0x524C).W(1).W(5).W(0).W(0).W(0).W(0); // TEXT ALIGNMENT left, bottom
    ASSERT_GE(bytes.size(), e.b.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(e.b.size())), e.b);
    // The file ends with END PICTURE and END METAFILE.
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{0x00, 0xA0, 0x00, 0x40}));
    Walked(bytes);
    EXPECT_EQ(gHardcopyState.driverNumber, kDriverCgm);
    EXPECT_EQ(gLibraryPaths.hardcopyFileName.trimmed(), "quilplot.cgm");
}

TEST_F(CgmDriverTest, TitleAndFontLists)
{
    const std::string title(40, 'Q');
    const std::string_view t = title;
    const Bytes titled = Plot([] {}, &t);
    EXPECT_EQ(Bytes(titled.begin(), titled.begin() + 5), (Bytes{0x00, 0x3F, 0x00, 0x29, 40}));
    Walked(titled);

    // Option 28 picks the font list; anything outside 0..2 is the third.
    struct Case {
        int option;
        size_t length;
        std::string first;
    };
    for (const Case& c : {Case{0, 204, "COURIER"}, Case{1, 203, "Courier"}, Case{2, 260, "Courier New"},
                          Case{7, 260, "Courier New"}, Case{-1, 260, "Courier New"}}) {
        gHardcopyState.option(28) = c.option;
        const cgmwalk::Walk w = Walked(Plot([] {}));
        const auto lists = w.All(1, 13);
        ASSERT_EQ(lists.size(), 1u);
        EXPECT_EQ(lists[0]->params.size(), c.length) << c.option;
        size_t at = 0;
        std::string name;
        ASSERT_TRUE(cgmwalk::ReadString(lists[0]->params, at, lists[0]->params.size(), name));
        EXPECT_EQ(name, c.first) << c.option;
    }
}

TEST_F(CgmDriverTest, AttributesAreWrittenWhenTheyChange)
{
    const cgmwalk::Walk w = Walked(Plot([] {
        Colour(kRed);
        Line(0, 0, 100, 100);
        Line(100, 100, 200, 0);
        Colour(kBlue);
        Line(0, 0, 1, 1);
        // A half-tone fill of red over blue: the mean.
        GraphicsState& g = gGraphicsState;
        g.fillMode = kFillHalftone;
        g.previousRgb = kBlue;
        g.currentRgb = kRed;
        Op(DeviceOp::kColour);
        gDeviceParameterBlock.M = 1;
        Points({10, 20, 20}, {10, 10, 20});
        Op(DeviceOp::kTriangleHalftone);
        gDeviceParameterBlock.M = -1;
        Op(DeviceOp::kTriangleHalftone);
        // Outline fill of a polygon writes nothing: its outline comes as lines.
        g.fillMode = kFillOutline;
        gDeviceParameterBlock.M = 1;
        Op(DeviceOp::kPolygonHalftone);
    }));
    const auto colours = w.All(5, 4);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[0]->params, (Bytes{255, 0, 0, 0}));
    EXPECT_EQ(colours[1]->params, (Bytes{0, 0, 255, 0}));
    EXPECT_EQ(w.CountOf(4, 1), 3);
    const auto fills = w.All(5, 23);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0]->params, (Bytes{127, 0, 127, 0}));
    EXPECT_EQ(w.CountOf(4, 7), 1);
}

TEST_F(CgmDriverTest, QuadrilateralsOfEitherOrientationAreFilled)
{
    // A quadrilateral's fill pass carries its orientation in M (1 or 2);
    // only the outline pass (M = -1) writes nothing.
    for (int orientation : {1, 2}) {
        const cgmwalk::Walk w = Walked(Plot([orientation] {
            gGraphicsState.fillMode = kFillSolid;
            Colour(kRed);
            gDeviceParameterBlock.M = orientation;
            Points({10, 40, 50, 20}, {10, 10, 30, 30});
            Op(DeviceOp::kQuadHalftone);
            gDeviceParameterBlock.M = -1;
            Op(DeviceOp::kQuadHalftone);
        }));
        EXPECT_EQ(w.CountOf(4, 7), 1) << "orientation " << orientation;
    }
}

TEST_F(CgmDriverTest, LongElements)
{
    // The POLYLINE header of two points; a polyline of 8191 points in one
    // partition; 10000 points as two polylines sharing point 8191.
    const int kLongLine = 10000;
    std::vector<float> x(kLongLine), y(kLongLine);
    for (int i = 0; i < kLongLine; ++i) {
        x[static_cast<size_t>(i)] = static_cast<float>(i % 700);
        y[static_cast<size_t>(i)] = static_cast<float>(i / 700);
    }
    const Bytes bytes = Plot([&] {
        Line(0, 0, 10, 10);
        Points(std::vector<float>(x.begin(), x.begin() + 8191), std::vector<float>(y.begin(), y.begin() + 8191));
        Op(DeviceOp::kPolyline);
        Points(x, y);
        Op(DeviceOp::kPolyline);
    });
    const cgmwalk::Walk w = Walked(bytes);
    const auto lines = w.All(4, 1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(bytes[lines[0]->offset], 0x40);
    EXPECT_EQ(bytes[lines[0]->offset + 1], 0x28);
    EXPECT_EQ(lines[1]->partitions, std::vector<int>{32764});
    EXPECT_EQ(lines[2]->params.size(), 8191u * 4);
    EXPECT_EQ(lines[3]->params.size(), 1810u * 4);
    const double sx = gHardcopyState.scaleX, sy = gHardcopyState.scaleY;
    EXPECT_EQ(cgmwalk::Points(*lines[3])[0], std::make_pair(static_cast<int>(x[8190] * sx), static_cast<int>(y[8190] * sy)));
}

TEST_F(CgmDriverTest, LongPolygonsContinueInPartitions)
{
    // 20000 distinct points: partitions of 8191 points; 9000 points made of
    // pairs of repeats: the repeats dropped, one partition.
    std::vector<float> x(20000), y(20000), rx(9000), ry(9000);
    for (int i = 0; i < 20000; ++i) {
        x[static_cast<size_t>(i)] = static_cast<float>(i % 700);
        y[static_cast<size_t>(i)] = static_cast<float>(i / 700 * 10);
    }
    for (int i = 0; i < 9000; ++i) {
        rx[static_cast<size_t>(i)] = static_cast<float>(i / 2 % 700);
        ry[static_cast<size_t>(i)] = static_cast<float>(i / 2 / 700 * 40 + (i / 2 % 2));
    }
    const cgmwalk::Walk w = Walked(Plot([&] {
        gDeviceParameterBlock.M = 1;
        Points(x, y);
        Op(DeviceOp::kPolygonHalftone);
        gDeviceParameterBlock.M = 1;
        Points(rx, ry);
        Op(DeviceOp::kPolygonHalftone);
    }));
    const auto polygons = w.All(4, 7);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0]->partitions, (std::vector<int>{32764, 32764, 14472}));
    EXPECT_EQ(polygons[1]->params.size(), 4500u * 4);
    EXPECT_EQ(polygons[1]->partitions.size(), 1u);
}

TEST_F(CgmDriverTest, BadCoordinatesSaturateAndPolygonsAreClipped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const cgmwalk::Walk w = Walked(Plot([&] {
        Line(-1e9f, nan, 1e9f, 1e9f);
        Line(-inf, 0, inf, -1);
        gDeviceParameterBlock.M = 1;
        Points({-1e9f, 1e9f, 1e9f, -1e9f}, {-1e9f, -1e9f, 1e9f, 1e9f});
        Op(DeviceOp::kPolygonHalftone);
        gDeviceParameterBlock.M = 1;
        Points({nan, 10, 10}, {0, nan, 20});
        Op(DeviceOp::kPolygonHalftone);
        Text(std::string(260, 'x'));
    }));
    const auto lines = w.All(4, 1);
    ASSERT_EQ(lines.size(), 2u);
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(cgmwalk::Points(*lines[0]), (P{{-32767, 0}, {32767, 32767}}));
    EXPECT_EQ(cgmwalk::Points(*lines[1]), (P{{-32767, 0}, {32767, -8}}));
    const auto polygons = w.All(4, 7);
    ASSERT_EQ(polygons.size(), 2u);
    // The square clipped to the VDC range: its four corners (the clip may
    // start the outline at another one).
    P square = cgmwalk::Points(*polygons[0]);
    std::sort(square.begin(), square.end());
    EXPECT_EQ(square, (P{{-32767, -32767}, {-32767, 32767}, {32767, -32767}, {32767, 32767}}));
    const auto texts = cgmwalk::Texts(w);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], std::string(260, 'x'));
}

TEST_F(CgmDriverTest, TextElements)
{
    // RESTRICTED TEXT: 19 characters fit the short form (length 30), 20 take
    // the long form; 255 characters and more the long string. Width-table
    // spacing sends one character per TEXT element. The point lies 0.38 of
    // the character height below the middle line.
    gTextState.upY = 50.0f;
    const Bytes bytes = Plot([] {
        Text(std::string(19, 'a'));
        Text(std::string(20, 'b'));
        Text(std::string(255, 'c'));
        gTextState.spacing = TextSpacing::kWidthTable;
        Text("d");
    });
    const cgmwalk::Walk w = Walked(bytes);
    const auto restricted = w.All(4, 5);
    ASSERT_EQ(restricted.size(), 3u);
    EXPECT_FALSE(restricted[0]->longForm);
    EXPECT_EQ(restricted[0]->params.size(), 30u);
    EXPECT_TRUE(restricted[1]->longForm);
    EXPECT_EQ(restricted[1]->params.size(), 31u);
    EXPECT_EQ(restricted[2]->params[10], 255);
    EXPECT_EQ(restricted[2]->Word(11), 255);
    const auto single = w.All(4, 4);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0]->params.size(), 8u);
    const double sy = gHardcopyState.scaleY;
    EXPECT_EQ(single[0]->Word(2), static_cast<int>((100.0 - 0.38 * 50.0) * sy));
}

TEST_F(CgmDriverTest, PagesArePictures)
{
    struct Case {
        const char* name;
        std::function<void()> draw;
        int pictures;
    };
    auto page = [] {
        gDeviceParameterBlock.M = 0;
        gDeviceParameterBlock.N = 0;
        Op(DeviceOp::kEndPage);
    };
    const std::vector<Case> cases = {
        {"one page, no end of page", [] { Line(0, 0, 1, 1); }, 1},
        {"a page ended, nothing after it", [&] { Line(0, 0, 1, 1); page(); page(); }, 1},
        {"a colour after the page opens nothing", [&] { Line(0, 0, 1, 1); page(); Colour(kRed); }, 1},
        {"three pages", [&] { Line(0, 0, 1, 1); page(); Line(0, 0, 1, 1); page(); Line(1, 1, 2, 2); }, 3},
    };
    for (const Case& c : cases) {
        const cgmwalk::Walk w = Walked(Plot(c.draw));
        EXPECT_EQ(w.pictures, c.pictures) << c.name;
        EXPECT_EQ(w.CountOf(0, 5), c.pictures) << c.name;
        EXPECT_EQ(w.CountOf(2, 7), c.pictures) << c.name;
    }
    // A new picture restates line join and cap when they are not the default.
    gHardcopyState.option(10) = 1;
    gHardcopyState.option(11) = 2;
    const cgmwalk::Walk w = Walked(Plot([&] { Line(0, 0, 1, 1); page(); Line(0, 0, 1, 1); }));
    for (const cgmwalk::Element* e : w.All(5, 38))
        EXPECT_EQ(e->Word(0), 3);
    EXPECT_EQ(w.CountOf(5, 38), 2);
    EXPECT_EQ(w.CountOf(5, 37), 2);
}

TEST_F(CgmDriverTest, ColourSwapAndOpenFailure)
{
    gHardcopyState.option(6) = 1;
    const cgmwalk::Walk w = Walked(Plot([] {
        Colour(kRed);
        Line(0, 0, 1, 1);
    }));
    EXPECT_EQ(w.All(2, 7)[0]->params, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(w.All(5, 4)[0]->params, (Bytes{0, 255, 255, 0}));

    file = TempName("no_such_folder\\x.cgm");
    const std::string_view name = file;
    YYHardcopyOpen(&name);
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
    EXPECT_EQ(gErrorState.lastCode, kErrorFileOpen);
}

TEST_F(CgmDriverTest, ShadedPolygonTrianglesUseTheConvertedVertices)
{
    // A quadrilateral whose second and third vertices meet: one triangle,
    // the merged vertex with the mean colour.
    const cgmwalk::Walk w = Walked(Plot([] {
        DevicePointArrays& p = gDevicePointArrays;
        p.Reserve(4);
        const float xs[4] = {10, 100, 100, 10}, ys[4] = {10, 10, 10, 80};
        std::copy(xs, xs + 4, p.x.begin());
        std::copy(ys, ys + 4, p.y.begin());
        p.shadedCount = 4;
        gShadedPolygonBuffer.colour[0] = kRed;
        gShadedPolygonBuffer.colour[1] = kBlue;
        gShadedPolygonBuffer.colour[2] = 0x00FF00;
        gShadedPolygonBuffer.colour[3] = kWhite;
        Op(DeviceOp::kShadedPolygon);
    }));
    const auto interiors = w.All(5, 43);
    ASSERT_EQ(interiors.size(), 1u);
    const double sx = gHardcopyState.scaleX, sy = gHardcopyState.scaleY;
    const int x1 = static_cast<int>(10 * sx), y1 = static_cast<int>(10 * sy);
    const int x2 = static_cast<int>(100 * sx), y4 = static_cast<int>(80 * sy);
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(cgmwalk::Points(*w.All(5, 31)[0]), (P{{x1, y1}}));
    EXPECT_EQ(interiors[0]->Word(2), x2 - x1);
    EXPECT_EQ(interiors[0]->Word(8), y4 - y1);
    EXPECT_EQ(Bytes(interiors[0]->params.begin() + 12, interiors[0]->params.end()),
              (Bytes{255, 0, 0, 0, 127, 127, 255, 255, 255, 0}));
    EXPECT_EQ(cgmwalk::Points(*w.All(4, 7)[0]), (P{{x1, y1}, {x2, y1}, {x1, y4}}));
    EXPECT_EQ(w.All(5, 22).back()->Word(0), 6);
}

// ---- Images, from both producers ---------------------------------------------------------

// One producer of CGM bytes that the image tests drive alike.
struct ImageProducer {
    const char* name;
    bool memory;
};

class CgmImageTest : public CgmDriverTest, public ::testing::WithParamInterface<ImageProducer> {
protected:
    // The bytes of one DeviceOp 38 on an image file IMAGE of W x H pixels.
    Bytes Image(const std::string& image, int w, int h)
    {
        DeviceParameterBlock& b = gDeviceParameterBlock;
        int m = 0, n = 0;
        auto draw = [&] {
            gDeviceTextBuffer.text.fill(' ');
            std::copy(image.begin(), image.end(), gDeviceTextBuffer.text.begin());
            b.IX[1] = w;
            b.IY[1] = h;
            b.M = -5;
            b.N = -5;
            if (GetParam().memory)
                YYScreenDeviceCall(DeviceOp::kImageFile);
            else
                Op(DeviceOp::kImageFile);
            m = b.M;
            n = b.N;
        };
        if (!GetParam().memory) {
            const Bytes bytes = Plot(draw);
            b.M = m;
            b.N = n;
            return bytes;
        }
        const int slot = WMetafileCgmCreate(756, 540, 1 << 22);
        EXPECT_GT(slot, 0);
        const int rotation = gGraphicsState.pageRotation;
        WMetafileCgmBegin(slot);
        gGraphicsState.pageRotation = rotation;
        draw();
        WMetafileCgmClose(slot);
        b.M = m;
        b.N = n;
        const auto bytes = MemoryMetafileBytes(slot);
        const Bytes copy(bytes.begin(), bytes.end());
        WMetafileDestroy(slot);
        return copy;
    }
    static std::vector<cgmwalk::CellArray> Cells(const Bytes& bytes)
    {
        std::vector<cgmwalk::CellArray> out;
        const cgmwalk::Walk w = cgmwalk::WalkCgm(bytes);
        EXPECT_TRUE(w.ok) << w.error;
        for (const cgmwalk::Element* e : w.All(4, 9)) {
            cgmwalk::CellArray c;
            std::string why;
            EXPECT_TRUE(cgmwalk::DecodeCellArray(*e, c, why)) << why;
            out.push_back(c);
        }
        return out;
    }
};

TEST_P(CgmImageTest, FixturesAsTheDecoderReadsThem)
{
    for (int i = 0; i < kImageFixtureCount; ++i) {
        const ImageFixture& f = kImageFixtures[i];
        const std::string image = TempName(f.name);
        WriteAll(image, Bytes(f.bytes, f.bytes + f.size));
        Bytes bytes(f.bytes, f.bytes + f.size);
        ImageHeader header;
        std::vector<int> decoded;
        int zlib = 0;
        ASSERT_EQ(ImageDecode(bytes, header, decoded, zlib), 0) << f.name;
        const auto cells = Cells(Image(image, f.width, f.height));
        EXPECT_EQ(gDeviceParameterBlock.M, 0) << f.name;
        ASSERT_EQ(cells.size(), 1u) << f.name;
        EXPECT_EQ(cells[0].nx, f.width);
        EXPECT_EQ(cells[0].ny, f.height);
        EXPECT_EQ(cells[0].cells, decoded) << f.name;
        DeleteFileA(image.c_str());
    }
}

TEST_P(CgmImageTest, FourRotations)
{
    // A 3 x 2 picture, top row a b c, bottom row d e f. Turned by the page
    // rotation, its cell array holds (top row first):
    const int a = 0x000001, b = 0x000002, c = 0x000003, d = 0x000004, e = 0x000005, f = 0x000006;
    const std::string image = TempName("turn.bmp");
    WriteAll(image, Bmp24(3, 2, {a, b, c, d, e, f}));
    struct Case {
        int rotation, nx, ny;
        std::vector<int> cells;
    };
    for (const Case& k : {Case{0, 3, 2, {a, b, c, d, e, f}}, Case{90, 2, 3, {c, f, b, e, a, d}},
                          Case{180, 3, 2, {f, e, d, c, b, a}}, Case{270, 2, 3, {d, a, e, b, f, c}}}) {
        gGraphicsState.pageRotation = k.rotation;
        const auto cells = Cells(Image(image, 3, 2));
        ASSERT_EQ(cells.size(), 1u) << k.rotation;
        EXPECT_EQ(cells[0].nx, k.nx) << k.rotation;
        EXPECT_EQ(cells[0].ny, k.ny) << k.rotation;
        EXPECT_EQ(cells[0].cells, k.cells) << k.rotation;
    }
    DeleteFileA(image.c_str());
}

TEST_P(CgmImageTest, LongRowsAndBadFiles)
{
    // 7000 cells of alternating colours: 35000 bytes a row, continued in a
    // second partition.
    std::vector<int> stripes(7000);
    for (size_t i = 0; i < stripes.size(); ++i)
        stripes[i] = i % 2 ? kRed : kBlue;
    const std::string wide = TempName("wide.bmp");
    WriteAll(wide, Bmp24(7000, 2, [&] {
        std::vector<int> v = stripes;
        v.insert(v.end(), stripes.begin(), stripes.end());
        return v;
    }()));
    const Bytes bytes = Image(wide, 7000, 2);
    const cgmwalk::Walk w = cgmwalk::WalkCgm(bytes);
    ASSERT_TRUE(w.ok) << w.error;
    ASSERT_EQ(w.CountOf(4, 9), 1);
    EXPECT_EQ(w.All(4, 9)[0]->partitions, (std::vector<int>{20, 32760, 2240, 32760, 2240}));
    EXPECT_EQ(Cells(bytes)[0].cells.size(), 14000u);

    // A missing file, a file that is no image, a size other than the
    // picture's, a folder that cannot be read: the error in M, the system
    // code of this read in N (not one left from before), no cell array.
    const std::string junk = TempName("junk.bmp");
    WriteAll(junk, Bytes(100, 7));
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + ".";
    struct Case {
        std::string file;
        int w, h;
        int m;
    };
    for (const Case& k : {Case{TempName("missing.bmp"), 3, 2, kErrorImageFormat}, Case{junk, 3, 2, kErrorImageFormat},
                          Case{wide, 7000, 3, kErrorImageFormat}, Case{wide, 6999, 2, kErrorImageFormat},
                          Case{"", 1, 1, kErrorImageFormat}, Case{folder, 1, 1, kErrorFileOpen}}) {
        gErrorState.lastCode = 0;
        gErrorState.osError = 99;
        const Bytes out = Image(k.file, k.w, k.h);
        EXPECT_EQ(gDeviceParameterBlock.M, k.m) << k.file << " " << k.w;
        if (k.m == kErrorImageFormat)
            EXPECT_EQ(gDeviceParameterBlock.N, 0) << k.file;
        else
            EXPECT_NE(gDeviceParameterBlock.N, 0) << k.file;
        EXPECT_EQ(gErrorState.lastCode, k.m) << k.file;
        EXPECT_EQ(cgmwalk::WalkCgm(out).CountOf(4, 9), 0);
        EXPECT_TRUE(cgmwalk::WalkCgm(out).ok);
    }
    DeleteFileA(wide.c_str());
    DeleteFileA(junk.c_str());
}

INSTANTIATE_TEST_SUITE_P(Producers, CgmImageTest,
                         ::testing::Values(ImageProducer{"driver", false}, ImageProducer{"memory", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CgmDriverTest, ImageRowThatCannotBeWrittenEndsTheImage)
{
    const std::string image = TempName("fail.bmp");
    WriteAll(image, Bmp24(2, 2, {1, 2, 3, 4}));
    Plot([&] {
        DeviceParameterBlock& b = gDeviceParameterBlock;
        gDeviceTextBuffer.text.fill(' ');
        std::copy(image.begin(), image.end(), gDeviceTextBuffer.text.begin());
        b.IX[1] = 2;
        b.IY[1] = 2;
        // The unit's handle gone: every write fails.
        const int handle = gHardcopyState.plotUnits[kPlotUnit];
        gHardcopyState.plotUnits[kPlotUnit] = -1;
        Op(DeviceOp::kImageFile);
        EXPECT_EQ(b.M, kErrorFileReadWrite);
        EXPECT_NE(b.N, 0);
        gHardcopyState.plotUnits[kPlotUnit] = handle;
    });
    DeleteFileA(image.c_str());
}

// ---- The encoding alone ---------------------------------------------------------------------

TEST(CgmEncoding, ValuesAndExtents)
{
    struct Vdc {
        double in;
        int out;
    };
    for (const Vdc& v : {Vdc{-1, -1}, Vdc{-1.9, -1}, Vdc{32767.9, 32767}, Vdc{40000, 32767}, Vdc{-1e9, -32767},
                         Vdc{std::numeric_limits<double>::quiet_NaN(), 0},
                         Vdc{-std::numeric_limits<double>::infinity(), -32767}})
        EXPECT_EQ(CgmVdc(v.in), v.out) << v.in;

    CgmVectorSink sink;
    CgmWriter w(sink);
    w.Begin(CgmElement::kPolyline);
    w.Point(-1, 0);
    w.Point(1, -32768);
    w.End();
    EXPECT_EQ(sink.bytes, (Bytes{0x40, 0x28, 0xFF, 0xFF, 0, 0, 0, 1, 0x80, 0x01}));

    struct Extent {
        int w, h, vx, vy;
    };
    for (const Extent& e : {Extent{756, 540, 6300, 4500}, Extent{800, 600, 6666, 5000}, Extent{4000, 3000, 32767, 24575},
                            Extent{2147483647, 1, 32767, 1}, Extent{1, 1, 8, 8}}) {
        int vx = 0, vy = 0;
        CgmVdcExtent(e.w, e.h, vx, vy);
        EXPECT_EQ(vx, e.vx) << e.w;
        EXPECT_EQ(vy, e.vy) << e.w;
    }

    struct Swap {
        int mode;
        CgmRgb in, out;
    };
    for (const Swap& s : {Swap{1, {10, 20, 30}, {245, 235, 225}}, Swap{2, {9, 0, 5}, {246, 255, 250}},
                          Swap{2, {10, 0, 5}, {10, 0, 5}}, Swap{2, {250, 246, 255}, {5, 9, 0}}, Swap{0, {1, 2, 3}, {1, 2, 3}}}) {
        const CgmRgb o = YYCgmColourSwap(s.in, s.mode);
        EXPECT_EQ(o.Packed(), s.out.Packed()) << s.mode;
    }

    // Font indices stay inside the list: family 0 (a named device font) is
    // the fixed family at fixed pitch and the swiss one otherwise;
    // out-of-range families are taken as the nearest one.
    struct Font {
        int family, style, spacing, index;
    };
    constexpr int kFixed = TextSpacing::kFixedPitch, kTable = TextSpacing::kWidthTable;
    for (const Font& f : {Font{1, 0, kFixed, 1}, Font{1, 3, kTable, 4}, Font{2, 1, kFixed, 6}, Font{3, 2, kFixed, 11},
                          Font{4, 7, kFixed, 16}, Font{0, 0, kFixed, 1}, Font{0, 1, kTable, 6},
                          Font{0, 2, TextSpacing::kDevice, 7}, Font{9, 0, kFixed, 13}, Font{-3, 0, kTable, 1}})
        EXPECT_EQ(CgmFontIndex(f.family, f.style, f.spacing), f.index) << f.family << "/" << f.style << "/" << f.spacing;
}

} // namespace

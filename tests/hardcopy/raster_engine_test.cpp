// The raster engine and its primitives on small page bitmaps: the four
// layouts and the guard words around them, pixel values by depth, lines with
// their skip, thickness and dashes, spans, the edge intersection, the shape
// fills, and images drawn at the four page rotations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error_codes.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/image_writers.h"
#include "raster_test_support.h"

namespace {

using namespace rastertest;

std::vector<std::string> Rows(std::initializer_list<const char*> rows)
{
    return std::vector<std::string>(rows.begin(), rows.end());
}

TEST(RasterBitmap, LayoutsPutEachValueInItsWordAndNowhereElse)
{
    RasterGuard guard;
    struct Case {
        int depth, width, height, value, x, y;
        std::int64_t word;        // the word that changes (plane 0)
        std::uint32_t expected;   // its value afterwards
    };
    const Case cases[] = {
        {1, 40, 3, 1, 33, 2, 5, 1u << 1},        // W = 2: word 2 x 2 + 1, bit 1
        {3, 40, 4, 5, 3, 1, 2, 1u << 3},         // planes 0 and 2 set, plane 1 not
        {4, 40, 4, 8, 35, 3, 7 + 3 * 8, 1u << 3}, // intensity plane (3) only
        {8, 10, 2, 0xAB, 6, 1, 4, 0xABu << 16},  // W = 3: word 3 + 1, byte 2
        {24, 5, 2, 0x123456, 2, 1, 7, 0x123456u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        Page(c.depth, c.width, c.height);
        YYRasterStore(c.value, c.x, c.y);
        EXPECT_EQ(RasterWord(c.word), c.expected);
        EXPECT_EQ(RasterPixelValue(c.x, c.y), c.value);
        int changed = 0;
        for (std::int64_t i = 0; i <= gRasterState.totalWords; ++i)
            changed += RasterWord(i) != 0 ? 1 : 0;
        EXPECT_EQ(changed, c.depth == 3 ? 2 : 1);
        // Stores outside the bitmap change nothing.
        const std::vector<int> before = Pixels();
        const std::pair<int, int> outside[] = {{-1, 0}, {c.width, 0}, {0, c.height}, {0, -1}, {1 << 30, 1 << 30}};
        for (auto [x, y] : outside)
            YYRasterStore(c.value, x, y);
        EXPECT_EQ(Pixels(), before);
        EXPECT_TRUE(RasterGuardsIntact());
    }
    // A byte store keeps the other bytes of its word.
    Page(8, 8, 1);
    YYRasterStore(0x11, 0, 0);
    YYRasterStore(0x22, 1, 0);
    YYRasterStore(0x33, 1, 0);
    EXPECT_EQ(RasterWord(0), 0x3311u);
}

TEST(RasterBitmap, ClearWritesTheBackgroundOnlyWithABitmap)
{
    RasterGuard guard;
    gRasterState = RasterState{};
    gRasterState.totalWords = 10;
    gRasterState.clearLimit = 10;
    YYRasterDraw(DeviceOp::kClear); // no bitmap: nothing happens
    EXPECT_FALSE(RasterBitmapAllocated());
    Page(24, 3, 2);
    gRasterState.background = 0xFFFFFF;
    YYRasterDraw(DeviceOp::kClear);
    EXPECT_EQ(Pixels(), std::vector<int>(6, 0xFFFFFF));
    EXPECT_TRUE(RasterGuardsIntact());
}

TEST(RasterEngine, PixelValueOfTheCurrentColourByDepth)
{
    RasterGuard guard;
    Target(10, 10);
    struct Case {
        int depth, model, colour, swap, kind, value;
    };
    const Case cases[] = {
        {1, kColourModelNumbers, 0, 0, 1, 0},     // white: no ink
        {1, kColourModelNumbers, 5, 0, 1, 1},
        {1, kColourModelNumbers, 223, 1, 1, 0},   // swapped: black is the paper
        {1, kColourModelNumbers, 0, 2, 1, 1},
        {3, kColourModelRgb, 0x0000FF, 0, 2, 6},  // red on ink planes: 7 - 1
        {3, kColourModelRgb, 0x0000FF, 0, 1, 1},
        {3, kColourModelRgb, 0, 2, 1, 7},         // near black swapped
        {4, kColourModelNumbers, 37, 0, 1, 1},    // group 2
        {4, kColourModelNumbers, 223, 0, 1, 15},
        {8, kColourModelNumbers, 37, 0, 1, 37},
        {24, kColourModelRgb, 0x123456, 0, 1, 0x123456},
        {24, kColourModelNumbers, 223, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.depth) + " " + std::to_string(c.colour));
        Page(c.depth, 8, 4);
        GraphicsState& g = gGraphicsState;
        g.colourModel = c.model;
        g.hardcopyColours = c.depth >= 8 ? 256 : 1 << c.depth;
        if (c.model == kColourModelRgb) {
            g.currentRgb = c.colour;
            g.currentNumber = -1;
        } else {
            g.currentNumber = c.colour;
        }
        gHardcopyState.option(6) = c.swap;
        gHardcopyState.colourKind = c.kind;
        YYRasterDraw(DeviceOp::kColour);
        EXPECT_EQ(gRasterState.pixelValue, c.value);
    }
}

TEST(RasterPrimitives, DitherGivesWhiteAsPaperAndBlackAsInk)
{
    RasterGuard guard;
    Page(1, 16, 8);
    gHardcopyState.option(6) = 0;
    EXPECT_EQ(gRasterDitherTable.patterns[0][4095], ~0u);
    EXPECT_EQ(gRasterDitherTable.patterns[2][4095], ~0u);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(RasterReducedValue(x, y, 0xFFFFFF), 0);
            EXPECT_EQ(RasterReducedValue(x, y, 0), 1);
        }
    // A mid grey is a mixture of both.
    Page(1, 16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            YYRasterPixel(x, y, 0x808080);
    int ink = 0;
    for (int v : Pixels())
        ink += v;
    EXPECT_GT(ink, 16);
    EXPECT_LT(ink, 112);
}

TEST(RasterPrimitives, EdgeIntersection)
{
    EXPECT_EQ(YYRasterEdgeX(0, 3, 10, 3, 3), 32767);
    EXPECT_EQ(YYRasterEdgeX(0, 0, 10, 4, 2), 5);
    EXPECT_EQ(YYRasterEdgeX(0, 0, 10, 4, 3), 7); // 30 div 4
    EXPECT_EQ(YYRasterEdgeX(10, 4, 0, 0, 3), 7); // anchored at the lower end either way
    EXPECT_EQ(YYRasterEdgeX(0, 0, 10, -4, -3), 8); // 10 + 10 div -4 from (10, -4)
    EXPECT_EQ(YYRasterEdgeX(0, 0, 2000000000, 2, 1), 1000000000); // the product needs 64 bits
}

TEST(RasterPrimitives, SolidLinesSkipTheirFirstPixelAndGrowInRows)
{
    RasterGuard guard;
    Page(8, 12, 14);
    YYRasterLine(5, 10, 9, 10, 1);
    YYRasterLine(5, 12, 5, 12, 1); // a point with its first pixel skipped
    YYRasterLine(9, 2, 9, 5, 1);   // vertical, upwards: y = 2 left out
    std::vector<std::string> p = Picture();
    EXPECT_EQ(p[13 - 10], "......####..");
    EXPECT_EQ(p[13 - 12], "............");
    EXPECT_EQ(p[13 - 2], "............");
    EXPECT_EQ(p[13 - 3], ".........#..");
    EXPECT_EQ(p[13 - 5], ".........#..");

    // Two extra rows: rows 9, 10 and 11; at the clip box's bottom only two.
    Page(8, 6, 14);
    gRasterState.extraRows = 2;
    gRasterState.clipYMin = 2;
    YYRasterLine(1, 10, 3, 10, 0);
    YYRasterLine(1, 2, 3, 2, 0);
    p = Picture();
    for (int y : {1, 4, 5, 6, 7, 8, 12})
        EXPECT_EQ(p[static_cast<size_t>(13 - y)], "......") << y;
    for (int y : {2, 3, 9, 10, 11})
        EXPECT_EQ(p[static_cast<size_t>(13 - y)], ".###..") << y;
}

TEST(RasterPrimitives, DashPatternsRunAlongAndOnAcrossLines)
{
    RasterGuard guard;
    Target(100, 10);
    Page(8, 100, 3);
    // Style 2 at one pixel per pattern bit: 111000000111, twice.
    gGraphicsState.lineStyle = 2;
    YYRasterDraw(DeviceOp::kLineStyle);
    YYRasterLine(0, 1, 23, 1, 0);
    EXPECT_EQ(Picture()[1].substr(0, 25), "###......######......###.");

    // Style 1 at 300 dots per inch: elements of 4 pixels; skip 8, draw 4,
    // skip 20, draw 4, skip 12. The pattern goes on into the next line.
    Page(8, 100, 3);
    gRasterState.resolutionX = gRasterState.resolutionY = 300.0f;
    gGraphicsState.lineStyle = 1;
    YYRasterDraw(DeviceOp::kLineStyle);
    YYRasterLine(0, 1, 29, 1, 0);
    YYRasterLine(30, 1, 95, 1, 0);
    const std::string period = std::string(8, '.') + "####" + std::string(20, '.') + "####" + std::string(12, '.');
    EXPECT_EQ(Picture()[1].substr(0, 96), (period + period).substr(0, 96));
}

TEST(RasterEngine, LineWidthInPixelsAndItsTurnWithThePage)
{
    RasterGuard guard;
    Page(1, 4, 4);
    gHardcopyState.option(5) = 0;
    gHardcopyState.option(9) = 5;
    gRasterState.resolutionX = gRasterState.resolutionY = 150.0f; // 1.04 dots
    YYRasterDraw(DeviceOp::kLineWidth);
    EXPECT_EQ(gRasterState.extraRows, 0);
    EXPECT_EQ(gRasterState.extraColumns, 0);
    gRasterState.resolutionX = 300.0f; // 2.08 dots: one extra column
    gRasterState.resolutionY = 720.0f; // 5 dots: four extra rows
    YYRasterDraw(DeviceOp::kLineWidth);
    EXPECT_EQ(gRasterState.extraRows, 4);
    EXPECT_EQ(gRasterState.extraColumns, 1);
    gHardcopyState.option(5) = 1;
    YYRasterDraw(DeviceOp::kLineWidth);
    EXPECT_EQ(gRasterState.extraRows, 1);
    EXPECT_EQ(gRasterState.extraColumns, 4);
    gHardcopyState.option(9) = 2147483647; // far too wide: no overflow
    YYRasterDraw(DeviceOp::kLineWidth);
    EXPECT_GT(gRasterState.extraRows, 0);
}

TEST(RasterPrimitives, TwoColourSpansAlternateByPosition)
{
    RasterGuard guard;
    Page(3, 4, 1);
    gRasterState.twoColour = 1;
    gRasterState.patterns = {~0u, 0u, 0u};         // red everywhere
    gRasterState.previousPatterns = {0u, 0u, ~0u}; // blue everywhere
    YYRasterPatternSpan(0, 3, 0);
    EXPECT_EQ(Pixels(), (std::vector<int>{1, 4, 1, 4}));
    Page(8, 4, 1);
    gRasterState.twoColour = 1;
    gRasterState.pixelValue = 7;
    gRasterState.previousPixelValue = 9;
    YYRasterPatternSpan(0, 3, 0);
    EXPECT_EQ(Pixels(), (std::vector<int>{9, 7, 9, 7}));
}

TEST(RasterShapes, RowByRowFills)
{
    RasterGuard guard;
    // Quadrilateral with vertical sides (mode 1): bounded by its slanted
    // bottom and top edges beyond the sides' ends.
    Page(8, 8, 7);
    RasterQuadrilateralFill({1, 6, 6, 1}, {0, 2, 5, 4}, 1);
    EXPECT_EQ(Picture(), Rows({"........", "......#.", ".######.", ".######.", ".######.", ".###....", ".#......"}));
    // Any other mode: between the left and the right edge.
    Page(8, 8, 4);
    RasterQuadrilateralFill({0, 4, 7, 3}, {0, 0, 3, 3}, 2);
    EXPECT_EQ(Picture(), Rows({"...#####", "..#####.", ".#####..", "#####..."}));
    // The same cut by the clip box.
    Page(8, 8, 4);
    gRasterState.clipXMax = 5;
    gRasterState.clipYMax = 2;
    RasterQuadrilateralFill({0, 4, 7, 3}, {0, 0, 3, 3}, 2);
    EXPECT_EQ(Picture(), Rows({"........", "..####..", ".#####..", "#####..."}));
    // Triangle of (0, 0), (6, 2), (2, 5), in any order.
    Page(8, 8, 6);
    RasterTriangleFill({2, 0, 6}, {5, 0, 2});
    EXPECT_EQ(Picture(), Rows({"..#.....", ".###....", ".####...", "#######.", "####....", "#......."}));
    // A rectangle reaching beyond the page.
    Page(8, 4, 3);
    RasterRectangleFill(-5, -5, 1, 1);
    RasterRectangleFill(3, 2, 100, 100);
    EXPECT_EQ(Picture(), Rows({"...#", "##..", "##.."}));
    EXPECT_TRUE(RasterGuardsIntact());
}

TEST(RasterEngine, FilledShapesByFillMode)
{
    RasterGuard guard;
    Target(8, 4);
    Page(1, 8, 4);
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    gHardcopyState.option(6) = 0;
    // An ellipse not filled: the graphics layer draws it (M := -1).
    g.fillMode = kFillOutline;
    b.M = 1;
    YYRasterDraw(DeviceOp::kEllipseHalftone);
    EXPECT_EQ(b.M, -1);
    EXPECT_EQ(g.LineFillRequest[kHardcopySide], 0);
    // Filled: the engine asks for lines one pixel row apart.
    g.fillMode = kFillSolid;
    b.M = 1;
    YYRasterDraw(DeviceOp::kPolygonHalftone);
    EXPECT_EQ(g.LineFillRequest[kHardcopySide], 1);
    EXPECT_FLOAT_EQ(g.LineFillSpacing[kHardcopySide], 3.0f / 4.0f);
    // Those lines become spans of the fill: black solid is all ink at depth 1.
    g.currentNumber = g.previousNumber = 223;
    g.hardcopyColours = 2;
    YYRasterDraw(DeviceOp::kColour);
    YYRasterDraw(DeviceOp::kPolygonHalftone);
    b.X[0] = 1;
    b.Y[0] = 2;
    b.X[1] = 6;
    b.Y[1] = 2;
    YYRasterDraw(DeviceOp::kLine);
    g.LineFillRequest[kHardcopySide] = 0;
    // White solid leaves the paper; a rectangle of it clears what is there.
    g.currentNumber = 0;
    YYRasterDraw(DeviceOp::kColour);
    b.X[0] = 3;
    b.Y[0] = 2;
    b.X[1] = 4;
    b.Y[1] = 3;
    b.M = 1;
    YYRasterDraw(DeviceOp::kRectangleHalftone);
    EXPECT_EQ(Picture(), Rows({"........", ".##..##.", "........", "........"}));
    // The outline pass draws nothing.
    b.M = -1;
    g.currentNumber = 223;
    YYRasterDraw(DeviceOp::kColour);
    YYRasterDraw(DeviceOp::kRectangleHalftone);
    EXPECT_EQ(Picture()[1], ".##..##.");
}

// A 4 x 3 picture of twelve colours written as a PNG file.
std::string ImageFile(const std::string& leaf, std::vector<int>& pixels)
{
    PictureData p;
    p.width = 4;
    p.height = 3;
    for (int i = 0; i < 12; ++i)
        p.values.push_back(0x101010 * (i + 1) + 7 * i);
    std::vector<std::uint8_t> bytes;
    int zlib = 0;
    EXPECT_EQ(PngEncode(p, 8, bytes, zlib), 0);
    const std::string path = TempPath(leaf);
    int osError = 0;
    EXPECT_EQ(ImageBytesWrite(path, bytes, osError), 0);
    // The reference pixels are what the library's decoder reads.
    ImageHeader header;
    EXPECT_EQ(ImageDecode(bytes, header, pixels, zlib), 0);
    return path;
}

void ImageOp(const std::string& path, int w, int h)
{
    gDeviceTextBuffer = DeviceTextBuffer{};
    PutText(std::span<char>(gDeviceTextBuffer.text), path);
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.IX[1] = w;
    b.IY[1] = h;
    b.M = -5;
    b.N = -5;
    YYRasterDraw(DeviceOp::kImageFile);
}

TEST(RasterEngine, ImagesAtTheFourPageRotations)
{
    RasterGuard guard;
    std::vector<int> image;
    const std::string path = ImageFile("rot.png", image);
    auto at = [&](int row, int column) { return image[static_cast<size_t>(row * 4 + column)]; };
    struct Case {
        int rotation, width, height;
        int corners[4][2]; // image row and column at the bitmap's bottom-left,
                           // bottom-right, top-left and top-right
    };
    const Case cases[] = {
        {0, 8, 6, {{2, 0}, {2, 3}, {0, 0}, {0, 3}}}, // upright
        {90, 6, 8, {{0, 0}, {2, 0}, {0, 3}, {2, 3}}},
        {180, 8, 6, {{0, 3}, {0, 0}, {2, 3}, {2, 0}}},
        {270, 6, 8, {{2, 3}, {0, 3}, {2, 0}, {0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation);
        Page(24, c.width, c.height);
        gGraphicsState.pageRotation = c.rotation;
        ImageOp(path, 4, 3);
        EXPECT_EQ(gDeviceParameterBlock.M, 0);
        const int X = c.width - 1, Y = c.height - 1;
        const int corner[4][2] = {{0, 0}, {X, 0}, {0, Y}, {X, Y}};
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(RasterPixelValue(corner[k][0], corner[k][1]), at(c.corners[k][0], c.corners[k][1])) << k;
        // Every pixel holds one of the picture's colours, each twice by twice.
        if (c.rotation == 0) {
            for (int y = 0; y <= Y; ++y)
                for (int x = 0; x <= X; ++x)
                    EXPECT_EQ(RasterPixelValue(x, y), at(2 - y / 2, x / 2));
        }
    }
    DeleteFileA(path.c_str());
}

TEST(RasterEngine, ImagesOfTheWrongSizeOrMissingDrawNothing)
{
    RasterGuard guard;
    std::vector<int> image;
    const std::string path = ImageFile("size.png", image);
    Page(24, 8, 6);
    gErrorState.level = 2;
    gErrorState.lastCode = 0;
    const std::pair<int, int> sizes[] = {{5, 3}, {4, 2}, {0, 0}, {-4, -3}, {2147483647, 2147483647}};
    for (auto [w, h] : sizes) {
        ImageOp(path, w, h);
        EXPECT_EQ(gDeviceParameterBlock.M, kErrorImageFormat) << w;
        EXPECT_EQ(gDeviceParameterBlock.N, 0);
    }
    ImageOp(TempPath("no-such-image.png"), 4, 3);
    EXPECT_EQ(gDeviceParameterBlock.M, kErrorImageFormat);
    EXPECT_EQ(gErrorState.lastCode, kErrorImageFormat);
    EXPECT_EQ(gErrorState.level, 2);
    EXPECT_EQ(Pixels(), std::vector<int>(48, 0));
    // An empty clip box: read, nothing drawn.
    gRasterState.clipXMax = -1;
    gErrorState.lastCode = 0;
    ImageOp(path, 4, 3);
    EXPECT_EQ(gDeviceParameterBlock.M, 0);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(Pixels(), std::vector<int>(48, 0));
    EXPECT_TRUE(RasterGuardsIntact());
    DeleteFileA(path.c_str());
}

TEST(RasterEngine, FarCoordinatesStayInsideTheBitmap)
{
    RasterGuard guard;
    Target(16, 16);
    Page(8, 16, 16);
    gRasterState.extraRows = gRasterState.extraColumns = 3;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const float distant[] = {-3.0e38f, -1.0e9f, 7.0f, 1.0e9f, 3.0e38f};
    for (float x1 : distant)
        for (float y2 : distant) {
            b.X[0] = x1;
            b.Y[0] = 5;
            b.X[1] = 9;
            b.Y[1] = y2;
            YYRasterDraw(DeviceOp::kLine);
            b.M = 1;
            gGraphicsState.fillMode = kFillSolid;
            YYRasterDraw(DeviceOp::kRectangleHalftone);
            b.X[0] = x1;
            YYRasterDraw(DeviceOp::kPoint);
        }
    EXPECT_TRUE(RasterGuardsIntact());
}

TEST(RasterPrimitives, LinesEnteringFromOutsideMatchTheirVisiblePart)
{
    RasterGuard guard;
    Target(200, 40);
    struct Case {
        int x0, y0, x1, y1, style;
    };
    // Each line drawn whole on a 100 x 40 page, and shifted along its major
    // axis by 40 pixels (flat lines) or 20 (steep ones) onto a page that
    // much smaller, so that it starts outside it.
    const Case cases[] = {
        {0, 3, 90, 20, 0}, {0, 3, 90, 20, 4}, {90, 25, 0, 2, 6}, {10, 0, 30, 35, 3}, {60, 39, 50, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x0) + " " + std::to_string(c.style));
        const bool steep = std::abs(c.x1 - c.x0) < std::abs(c.y1 - c.y0);
        const int dx = steep ? 0 : 40, dy = steep ? 20 : 0;
        Page(8, 100, 40);
        gGraphicsState.lineStyle = c.style;
        YYRasterDraw(DeviceOp::kLineStyle);
        YYRasterLine(c.x0, c.y0, c.x1, c.y1, 0);
        const int pos = gRasterState.dashPosition, counter = gRasterState.dashCounter;
        const std::vector<std::string> whole = Picture();
        Page(8, 100 - dx, 40 - dy);
        YYRasterDraw(DeviceOp::kLineStyle);
        YYRasterLine(c.x0 - dx, c.y0 - dy, c.x1 - dx, c.y1 - dy, 0);
        const std::vector<std::string> part = Picture();
        for (size_t row = 0; row < part.size(); ++row)
            EXPECT_EQ(part[row], whole[row].substr(static_cast<size_t>(dx))) << row;
        EXPECT_EQ(gRasterState.dashPosition, pos);
        EXPECT_EQ(gRasterState.dashCounter, counter);
    }
}

} // namespace

// The screen driver and the GDI surface, drawing on a memory bitmap: the
// pixels each DeviceOp lights.
#include "graphics_fixture.h"

#include "graphics/screen_driver.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "graphics/colours.h"
#include "hardcopy/image_reader.h"
#include "support/poll.h"
#include "tests/hardcopy/unix_tools.h"

namespace {

class ScreenDriverTest : public ::testing::Test, protected ScreenDriverCalls {
protected:
    GraphicsStateGuard guard;
    MemorySurface surface{100, 100};
};

TEST_F(ScreenDriverTest, RectangleCoversTheFlippedRowsInclusive)
{
    Rectangle(DeviceOp::kRectangleSolid, 10, 0, 20, 9);
    for (int y = 85; y < 100; ++y) {
        for (int x = 5; x < 25; ++x) {
            bool inside = x >= 10 && x <= 20 && y >= 90 && y <= 99;
            ASSERT_EQ(surface.Pixel(x, y), inside ? kBlack : kWhite) << x << "," << y;
        }
    }
}

TEST_F(ScreenDriverTest, SolidLineLightsItsEndPixelDashedLineDoesNot)
{
    Line(0, 0, 10, 0);
    EXPECT_EQ(surface.Pixel(0, 99), kBlack);
    EXPECT_EQ(surface.Pixel(10, 99), kBlack);
    EXPECT_EQ(surface.Pixel(11, 99), kWhite);

    // Style 2: dash 8, gap 6, so pixel 10 falls into the first gap.
    Style(2, 1);
    Line(0, 50, 10, 50);
    EXPECT_EQ(surface.Pixel(0, 49), kBlack);
    EXPECT_EQ(surface.Pixel(10, 49), kWhite);
}

TEST_F(ScreenDriverTest, DashTablesWidenTheGapsWithTheLineWidth)
{
    Style(2, 3);
    EXPECT_EQ(gGdiSurfaceState.dashes[1], (std::vector<DWORD>{8, 8}));
    EXPECT_EQ(gGdiSurfaceState.dashes[3], (std::vector<DWORD>{1, 6, 1, 6, 8, 6}));
    Style(2, 1);
    EXPECT_EQ(gGdiSurfaceState.dashes[1], (std::vector<DWORD>{8, 6}));
}

TEST_F(ScreenDriverTest, DashPeriodAtWidthThreeIsSixteenPixels)
{
    Style(2, 3);
    Line(0, 50, 99, 50);
    int row = 100 - 50 - 1;
    int lit = 0;
    for (int x = 0; x < 16; ++x)
        lit += surface.Pixel(x + 20, row) == kBlack;
    EXPECT_GT(lit, 0);
    EXPECT_LT(lit, 16);
    for (int x = 4; x < 70; ++x)
        ASSERT_EQ(surface.Pixel(x, row), surface.Pixel(x + 16, row)) << x;
    // The line is three pixels wide.
    EXPECT_EQ(surface.Pixel(20, row - 1), surface.Pixel(20, row));
    EXPECT_EQ(surface.Pixel(20, row + 1), surface.Pixel(20, row));
}

TEST_F(ScreenDriverTest, HalftoneFillIsACheckerboardOfPreviousAndCurrent)
{
    const int red = 0x0000FF, blue = 0xFF0000;
    MemorySurface::SetColours(red, blue);
    Rectangle(DeviceOp::kRectangleHalftone, 10, 10, 40, 40);
    for (int y = 60; y <= 89; ++y)
        for (int x = 10; x <= 40; ++x)
            ASSERT_EQ(surface.Pixel(x, y), (x + y) % 2 == 0 ? blue : red) << x << "," << y;
    EXPECT_EQ(surface.Pixel(41, 70), kWhite);
}

TEST_F(ScreenDriverTest, HalftoneOnAMetafileSurfaceIsTheMeanColour)
{
    gGdiSurfaceState.metafileDC = surface.dc();
    MemorySurface::SetColours(0x0000FF, 0xFF0000);
    Rectangle(DeviceOp::kRectangleHalftone, 10, 10, 20, 20);
    gGdiSurfaceState.metafileDC = nullptr;
    EXPECT_EQ(surface.Pixel(15, 85), 0x7F007F);
    EXPECT_EQ(surface.Pixel(16, 85), 0x7F007F);
}

TEST_F(ScreenDriverTest, PolygonIsClippedToTheGraphicsArea)
{
    Area(20, 30, 59, 69);
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(4);
    p.x = {0, 99, 99, 0};
    p.y = {0, 0, 99, 99};
    b.N = 4;
    YYGAPI(DeviceOp::kPolygonSolid);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            int dy = 99 - y;
            bool inside = x >= 20 && x <= 59 && dy >= 30 && dy <= 69;
            ASSERT_EQ(surface.Pixel(x, y), inside ? kBlack : kWhite) << x << "," << y;
        }
    }
    // The whole surface as area removes the clip region.
    Area(0, 0, 99, 99);
    EXPECT_EQ(gGdiSurfaceState.clip, nullptr);
    YYGAPI(DeviceOp::kPolygonSolid);
    EXPECT_EQ(surface.Pixel(0, 0), kBlack);
}

TEST_F(ScreenDriverTest, DialogFieldTargetAlwaysGetsAClipRegion)
{
    gGraphicsState.targetKind = kTargetDialogField;
    Area(0, 0, 99, 99);
    EXPECT_NE(gGdiSurfaceState.clip, nullptr);
}

TEST_F(ScreenDriverTest, ExclusiveOrLineDrawnTwiceLeavesNothing)
{
    // A white pen turns white pixels black under exclusive or.
    MemorySurface::SetColours(kBlack, kWhite);
    gGraphicsState.plotMode = kPlotXor;
    YYGAPI(DeviceOp::kPlotMode);
    Line(5, 5, 30, 20);
    EXPECT_EQ(surface.Pixel(5, 94), kBlack);
    EXPECT_EQ(surface.Pixel(30, 79), kBlack);
    Line(5, 5, 30, 20);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(surface.Pixel(x, y), kWhite) << x << "," << y;
}

TEST_F(ScreenDriverTest, PlotModeOutsideTheListKeepsTheRasterOperation)
{
    gGraphicsState.plotMode = kPlotXor;
    YYGAPI(DeviceOp::kPlotMode);
    gGraphicsState.plotMode = 9;
    YYGAPI(DeviceOp::kPlotMode);
    EXPECT_EQ(gGdiSurfaceState.rop, R2_XORPEN);
    EXPECT_EQ(GetROP2(surface.dc()), R2_XORPEN);
}

TEST_F(ScreenDriverTest, ClosedSolidPolylineSetsItsLastPixelOnce)
{
    MemorySurface::SetColours(kBlack, kWhite);
    gGraphicsState.plotMode = kPlotXor;
    YYGAPI(DeviceOp::kPlotMode);
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(4);
    p.x = {10, 30, 30, 10};
    p.y = {10, 10, 30, 10};
    b.N = 4;
    YYGAPI(DeviceOp::kPolyline);
    // The closing point is the start point: drawn once, so lit under XOR.
    EXPECT_EQ(surface.Pixel(10, 89), kBlack);
    EXPECT_EQ(surface.Pixel(30, 69), kBlack);
}

// A wide solid polyline lights exactly the pixels of one system polyline of
// the same pen and plot mode (plus the end pixel of a copy-mode line):
// zigzags with sharp turns, straight runs, repeated points, flat stretches,
// runs that turn back and long curves.
TEST_F(ScreenDriverTest, WideSolidPolylineLightsThePixelsOfOneSystemPolyline)
{
    struct Shape {
        const char* what;
        std::vector<POINT> points; // device pixels, y upwards
    };
    std::vector<Shape> shapes = {
        {"zigzag", {{5, 5}, {90, 10}, {8, 20}, {92, 30}, {6, 40}, {50, 95}, {51, 5}, {52, 95}, {60, 50}, {61, 51}}},
        {"straight runs", {{10, 10}, {20, 10}, {30, 10}, {40, 10}, {40, 20}, {40, 30}, {40, 40}, {50, 50},
                           {60, 60}, {70, 70}, {80, 70}, {90, 70}}},
        {"repeated points", {{20, 20}, {20, 20}, {20, 20}, {30, 25}, {30, 25}, {40, 60}, {40, 60}, {40, 60},
                             {40, 60}, {40, 60}, {40, 60}, {40, 60}, {41, 61}}},
    };
    // A basis function as plotted: flat at zero, a bump whose top spans one
    // row for several points, flat again; and runs that turn back on themselves.
    Shape bump{"flat stretches", {}};
    for (int i = 0; i <= 30; ++i) {
        const double t = (i - 15) / 7.0;
        const int y = std::abs(i - 15) >= 7 ? 10 : 10 + static_cast<int>(std::lround(60 * (1 - t * t) * (1 - t * t)));
        bump.points.push_back({5 + 3 * i, y});
    }
    shapes.push_back(bump);
    shapes.push_back(
        {"runs that turn back", {{50, 10}, {50, 20}, {50, 60}, {50, 30}, {70, 30}, {90, 30}, {75, 30}, {75, 80}}});
    Shape curve{"curve", {}};
    for (int i = 0; i <= 90; ++i)
        curve.points.push_back({5 + i, 50 + static_cast<int>(std::lround(40 * std::sin(i * 0.13)))});
    shapes.push_back(curve);

    for (const Shape& shape : shapes) {
        for (int width : {2, 3, 5}) {
            for (int mode : {kPlotCopy, kPlotXor}) {
                SCOPED_TRACE(std::string(shape.what) + ", width " + std::to_string(width) + ", mode " +
                             std::to_string(mode));
                MemorySurface drawn(100, 100);
                MemorySurface::SetColours(kWhite, 0x0000FF);
                gGraphicsState.plotMode = mode;
                YYGAPI(DeviceOp::kPlotMode);
                Style(0, width);
                DevicePointArrays& p = gDevicePointArrays;
                const size_t n = shape.points.size();
                p.Reserve(static_cast<int>(n));
                for (size_t i = 0; i < n; ++i) {
                    p.x[i] = static_cast<float>(shape.points[i].x);
                    p.y[i] = static_cast<float>(shape.points[i].y);
                }
                b.N = static_cast<int>(n);
                YYGAPI(DeviceOp::kPolyline);

                // The same line as one system polyline on a bitmap of its own.
                MemorySurface reference(100, 100);
                GdiSurfaceRelease();
                std::vector<POINT> down(shape.points);
                for (POINT& q : down)
                    q.y = 99 - q.y;
                HPEN pen = CreatePen(PS_SOLID, width, RGB(0xFF, 0, 0));
                HGDIOBJ old = SelectObject(reference.dc(), pen);
                SetROP2(reference.dc(), mode == kPlotXor ? R2_XORPEN : R2_COPYPEN);
                Polyline(reference.dc(), down.data(), static_cast<int>(n));
                if (mode == kPlotCopy)
                    SetPixel(reference.dc(), down.back().x, down.back().y, RGB(0xFF, 0, 0));
                SelectObject(reference.dc(), old);
                DeleteObject(pen);

                int differing = 0, lit = 0;
                for (int y = 0; y < 100; ++y) {
                    for (int x = 0; x < 100; ++x) {
                        differing += drawn.Pixel(x, y) != reference.Pixel(x, y);
                        lit += reference.Pixel(x, y) != kWhite;
                    }
                }
                EXPECT_EQ(differing, 0);
                EXPECT_GT(lit, 10);
            }
        }
    }
}

TEST_F(ScreenDriverTest, ScreenOutputOffDoesNothingAtAll)
{
    gGraphicsState.screenOutput = 0;
    gDeviceCapabilityString[kScreenSide].fill('0');
    YYGAPI(DeviceOp::kInitialise);
    EXPECT_EQ(gDeviceCapabilityString[kScreenSide][0], '0');
    Rectangle(DeviceOp::kRectangleSolid, 0, 0, 99, 99);
    EXPECT_EQ(surface.Pixel(50, 50), kWhite);
}

TEST_F(ScreenDriverTest, InitialiseWritesTheScreenCapabilities)
{
    YYGAPI(DeviceOp::kInitialise);
    std::string cap(gDeviceCapabilityString[kScreenSide].begin(), gDeviceCapabilityString[kScreenSide].end());
    EXPECT_EQ(cap, "11111111111111111110111011111");
    EXPECT_EQ(gDeviceCapabilityWords.angleLimit[kScreenSide], 360);
    EXPECT_EQ(gTextState.deviceCharset[kScreenSide], 8);
    EXPECT_EQ(gTextState.rotation[kScreenSide], 360);
    EXPECT_FLOAT_EQ(gTextState.sizeLimit[kScreenSide], 1.7e38f);
    gGraphicsState.targetKind = kTargetMetafileSlot;
    YYGAPI(DeviceOp::kInitialise);
    EXPECT_EQ(gDeviceCapabilityString[kScreenSide][28], '0');
}

TEST_F(ScreenDriverTest, ClearAndPixelReadUseTheColourTable)
{
    YYColourTableInit();
    Rectangle(DeviceOp::kRectangleSolid, 0, 0, 99, 99);
    YYGAPI(DeviceOp::kClear);
    EXPECT_EQ(surface.Pixel(0, 0), gColourTable.entries[0]);
    EXPECT_EQ(surface.Pixel(99, 99), gColourTable.entries[0]);
    b.IX[0] = 3;
    b.IY[0] = 4;
    YYGAPI(DeviceOp::kPoint);
    b.IX[0] = 3;
    b.IY[0] = 4;
    YYGAPI(DeviceOp::kReadPixel);
    EXPECT_EQ(b.IX[0], kBlack);
    EXPECT_EQ(surface.Pixel(3, 95), kBlack);
}

// A moved block lands whole at its destination; with the clear flag exactly
// the part of the source it left is painted in the clear colour, in every
// direction, and nothing else changes.
TEST_F(ScreenDriverTest, AreaMoveWithClearPaintsOnlyTheUncoveredSource)
{
    struct Move {
        int ox, oy;
    };
    const Move moves[] = {{5, 7}, {-5, 7}, {5, -7}, {-5, -7}, {6, 0}, {0, -6}, {30, 30}};
    constexpr int kLeft = 30, kTop = 30, kSize = 20, kClear = 0x00C000;
    // A different colour for every pixel of the source block.
    auto original = [](int x, int y) { return 0x400000 + (x << 8) + y; };
    for (const Move& m : moves) {
        SCOPED_TRACE(testing::Message() << "move " << m.ox << "," << m.oy);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                SetPixelV(surface.dc(), x, y, kWhite);
        for (int y = kTop; y < kTop + kSize; ++y)
            for (int x = kLeft; x < kLeft + kSize; ++x)
                SetPixelV(surface.dc(), x, y, static_cast<COLORREF>(original(x, y)));
        GdiAreaMove(kLeft, kTop, kLeft + kSize - 1, kTop + kSize - 1, kLeft + m.ox, kTop + m.oy, 1, kClear);
        auto inBlock = [](int x, int y, int left, int top) {
            return x >= left && x < left + kSize && y >= top && y < top + kSize;
        };
        int wrong = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                int expected = kWhite;
                if (inBlock(x, y, kLeft + m.ox, kTop + m.oy))
                    expected = original(x - m.ox, y - m.oy);
                else if (inBlock(x, y, kLeft, kTop))
                    expected = kClear;
                if (surface.Pixel(x, y) != expected && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << surface.Pixel(x, y)
                                  << " instead of " << expected;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// On a palette display the reload writes the 16- or 128-entry display
// palette into the library's palette (the entries above stay) and takes the
// previous and current colours again from the colour table by their numbers.
TEST_F(ScreenDriverTest, ReloadPaletteWritesTheDisplayPaletteAndResendsTheColours)
{
    GraphicsState& g = gGraphicsState;
    YYColourTableInit();
    g.colourModel = kColourModelNumbers;
    for (int size : {16, 128}) {
        SCOPED_TRACE(size);
        std::vector<BYTE> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), 0);
        auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = 256;
        HPALETTE palette = CreatePalette(logical);
        ASSERT_NE(palette, nullptr);
        GdiPaletteInstall(palette, std::vector<PALETTEENTRY>(256, PALETTEENTRY{}));
        g.displayColours = size;
        g.previousNumber = g.previousDevice = 2;
        g.currentNumber = g.currentDevice = 9;
        g.previousRgb = g.currentRgb = 0x123456;
        YYGAPI(DeviceOp::kReloadPalette);
        for (int i = 0; i < 256; ++i) {
            PALETTEENTRY e{};
            GetPaletteEntries(palette, static_cast<UINT>(i), 1, &e);
            int want = 0;
            if (i < size) {
                if (size == 16)
                    YYPalette16Entry(i, want);
                else
                    YYPalette128Entry(i, want);
            }
            ASSERT_EQ(e.peRed | e.peGreen << 8 | e.peBlue << 16, want) << "entry " << i;
        }
        int previous = 0, current = 0;
        YYColourGet(2, previous);
        YYColourGet(9, current);
        EXPECT_EQ(g.previousRgb, previous);
        EXPECT_EQ(g.currentRgb, current);
        // The point is drawn through the realized palette's entry 9.
        b.IX[0] = 5;
        b.IY[0] = 5;
        YYGAPI(DeviceOp::kPoint);
        int entry9 = 0;
        if (size == 16)
            YYPalette16Entry(9, entry9);
        else
            YYPalette128Entry(9, entry9);
        EXPECT_EQ(surface.Pixel(5, 94), entry9);
        GdiPaletteInstall(nullptr, {});
    }
}

// The print operation without a printer set up reports error 1 with the
// system's error words cleared and draws nothing; with a default printer
// the graphics area is printed as a page.
TEST_F(ScreenDriverTest, PrintAreaNeedsAPrinterAndPrintsTheGraphicsArea)
{
    HardcopyState& h = gHardcopyState;
    Rectangle(DeviceOp::kRectangleSolid, 20, 40, 80, 60);
    h.printerAvailable = 0;
    gErrorState.lastCode = 0;
    gErrorState.osError = 5;
    gErrorState.osErrorKind = 1;
    YYGAPI(DeviceOp::kEndPage);
    EXPECT_EQ(gErrorState.lastCode, 1);
    EXPECT_EQ(gErrorState.osError, 0);
    EXPECT_EQ(gErrorState.osErrorKind, 0);

    int v[9], error = 0;
    GdiPrinterInfo(1, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], error);
    if (error != 0)
        GTEST_SKIP() << "no default printer is configured (Windows error " << error << ")";
    const std::string folder = unixtools::CupsPdfFolder();
    if (!unixtools::Available("/usr/bin/pdftoppm") || folder.empty())
        GTEST_SKIP() << "pdftoppm or the Unix home folder is missing: the printed page cannot be read back";
    h.printerAvailable = 1;
    h.dump.code(1) = 540; // page 7.5 x 10 inches, margins of half an inch, portrait, one copy
    h.dump.code(2) = 720;
    h.dump.code(3) = 36;
    h.dump.code(4) = 36;
    h.dump.code(5) = 0;
    h.dump.code(8) = 1;
    gGraphicsState.integerArea = {0, 0, 99, 99};
    const std::string title = "kvbtest_area_" + std::to_string(GetTickCount());
    PutText(std::span<char>(gDeviceTextBuffer.text), title);
    gErrorState.lastCode = 0;
    YYGAPI(DeviceOp::kEndPage);
    EXPECT_EQ(gErrorState.lastCode, 0);

    const std::string pdf = unixtools::CupsPdfFile(folder, title);
    ASSERT_FALSE(pdf.empty()) << "no PDF named after " << title << " in " << folder;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string png = std::string(temp) + title + ".png";
    std::string out;
    ASSERT_TRUE(unixtools::PdfPageToPng(pdf, png.substr(0, png.size() - 4), 20, &out)) << out;
    std::vector<std::uint8_t> bytes;
    int osError = 0;
    ASSERT_EQ(ImageFileLoad(png, bytes, osError), 0);
    ImageHeader header;
    std::vector<int> pixels;
    int zlib = 0;
    ASSERT_EQ(ImageDecode(bytes, header, pixels, zlib), 0);
    int dark = 0;
    for (int c : pixels)
        dark += (c & 0xFF) < 64 && ((c >> 8) & 0xFF) < 64 && ((c >> 16) & 0xFF) < 64;
    EXPECT_GT(dark, 20) << "the black bar of the area is missing from the page";
    DeleteFileA(png.c_str());
    DeleteFileA(pdf.c_str());
}

TEST_F(ScreenDriverTest, SameFontTwiceMakesOneFont)
{
    gGraphicsState.orientedAreaSize = {100.0f, 100.0f};
    gGraphicsState.orientedLimit = {99.99f, 99.99f};
    gTextState.charWidth = 0.1f;
    gTextState.charHeight = 0.2f;
    gTextState.requestedFamily = 2;
    YYGAPI(DeviceOp::kBeginPlot);
    YYGAPI(DeviceOp::kFont);
    HFONT first = gGdiSurfaceState.font;
    ASSERT_NE(first, nullptr);
    YYGAPI(DeviceOp::kFont);
    EXPECT_EQ(gGdiSurfaceState.font, first);
    EXPECT_GT(gTextState.textScaleX, 0.0f);
    gTextState.style = 1;
    YYGAPI(DeviceOp::kFont);
    EXPECT_NE(gGdiSurfaceState.font, nullptr);

    // Text width of the first M characters.
    PutText(std::span<char>(gDeviceTextBuffer.text), "WWWW");
    b.M = 2;
    b.N = 0;
    YYGAPI(DeviceOp::kTextWidth);
    float two = b.X[0];
    b.M = 4;
    YYGAPI(DeviceOp::kTextWidth);
    EXPECT_EQ(b.N, 1);
    EXPECT_GT(two, 0.0f);
    EXPECT_FLOAT_EQ(b.X[0], 2 * two);
}

// Text widths follow the font: measured again (or kept) they are what the
// system measures with the font selected now, never a width of the font
// before.
TEST_F(ScreenDriverTest, TextWidthsFollowTheFont)
{
    gGraphicsState.orientedAreaSize = {100.0f, 100.0f};
    gGraphicsState.orientedLimit = {99.99f, 99.99f};
    gTextState.charHeight = 0.2f;
    YYGAPI(DeviceOp::kBeginPlot);
    PutText(std::span<char>(gDeviceTextBuffer.text), "Wide label");
    auto measure = [&](float width) {
        gTextState.charWidth = width;
        YYGAPI(DeviceOp::kFont);
        b.M = 10;
        b.N = 0;
        YYGAPI(DeviceOp::kTextWidth);
        EXPECT_EQ(b.N, 1);
        SIZE direct{};
        EXPECT_TRUE(GetTextExtentPoint32A(gGdiSurfaceState.drawDC, "Wide label", 10, &direct));
        EXPECT_EQ(static_cast<int>(b.X[0]), direct.cx) << "width " << width;
        return b.X[0];
    };
    const float small = measure(0.05f);
    const float smallAgain = measure(0.05f);
    const float large = measure(0.1f);
    const float smallOnceMore = measure(0.05f);
    EXPECT_GT(small, 0.0f);
    EXPECT_GT(large, small);
    EXPECT_EQ(smallAgain, small);
    EXPECT_EQ(smallOnceMore, small);
}

// The font drawn is the font measured: at a cell far narrower or wider
// than the face's own proportions, the letters the driver draws are as wide
// as the character cell its text scale reports (fixed pitch: the measured
// width of the 52 letters), so that text placed by that cell ends where it
// is drawn.
TEST_F(ScreenDriverTest, DrawnLettersAreAsWideAsTheReportedCell)
{
    gGraphicsState.orientedAreaSize = {200.0f, 200.0f};
    gGraphicsState.orientedLimit = {199.99f, 199.99f};
    gTextState.spacing = TextSpacing::kFixedPitch;
    YYGAPI(DeviceOp::kBeginPlot);
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (int family : {1, 2, 3}) {
        for (float width : {0.02f, 0.06f}) {
            SCOPED_TRACE(std::to_string(family) + " " + std::to_string(width));
            gTextState.requestedFamily = family;
            gTextState.charWidth = width;
            gTextState.charHeight = 0.1f;
            YYGAPI(DeviceOp::kFont);
            PutText(std::span<char>(gDeviceTextBuffer.text), letters);
            b.M = 52;
            b.N = 0;
            YYGAPI(DeviceOp::kTextWidth);
            const float cell = gGraphicsState.orientedLimit[0] / gTextState.textScaleX;
            EXPECT_NEAR(b.X[0], 52.0f * cell, 0.01f);
            // A fixed-pitch face keeps the cell asked for, to the pixel.
            if (family == 1)
                EXPECT_NEAR(cell, width * 200.0f, 1.0f);
            // Turned text keeps the cell of upright text.
            gTextState.deviceAngle = 90.0f;
            YYGAPI(DeviceOp::kFont);
            EXPECT_NEAR(gGraphicsState.orientedLimit[0] / gTextState.textScaleX, cell, 0.01f);
            gTextState.deviceAngle = 0.0f;
        }
    }
}

TEST_F(ScreenDriverTest, TextIsDrawnAndReportedDrawn)
{
    gGraphicsState.orientedAreaSize = {100.0f, 100.0f};
    gGraphicsState.orientedLimit = {99.99f, 99.99f};
    gTextState.charWidth = 0.1f;
    gTextState.charHeight = 0.2f;
    gTextState.justification = 0;
    YYGAPI(DeviceOp::kFont);
    PutText(std::span<char>(gDeviceTextBuffer.text), "HH");
    b.IX[0] = 2;
    b.IX[3] = 1;
    b.X[0] = 10.0f;
    b.Y[0] = 50.0f;
    b.X[2] = 40.0f;
    b.Y[2] = 50.0f;
    YYGAPI(DeviceOp::kText);
    EXPECT_EQ(b.IX[3], 0);
    int lit = 0;
    for (int y = 30; y < 70; ++y)
        for (int x = 5; x < 60; ++x)
            lit += surface.Pixel(x, y) != kWhite;
    EXPECT_GT(lit, 10);
}

} // namespace

// The bitmap table: handles and their errors, pixel arrays in and out,
// flip, rotate and resize read back pixel by pixel, the bitwise modes of
// copies onto the surface, and drawing into a bitmap as the target.
#include "graphics_fixture.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "graphics/bitmaps.h"
#include "graphics/lines.h"
#include "graphics/rectangles.h"

namespace {

constexpr int kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// Empties the bitmap table around a test and keeps the drawing state.
class BitmapsTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    void SetUp() override
    {
        BitmapTableDestroyAll();
        BitmapBitwiseMode(0);
        BitmapStretchMode(3);
        gErrorState.lastCode = 0;
    }
    void TearDown() override { BitmapTableDestroyAll(); }

    // A new bitmap filled with RGB; its 0-based slot.
    static int Make(int w, int h, int rgb = kWhite)
    {
        int handle = 0;
        BitmapSlotCreate(handle, w, h, rgb);
        EXPECT_GT(handle, 0);
        return handle - 1;
    }
    static std::vector<int> Pixels(int slot)
    {
        int w = 0, h = 0, status = -1;
        BitmapSize(slot, w, h);
        std::vector<int> v(static_cast<size_t>(w * h));
        BitmapGetPixels(slot, v, 0, 0, w - 1, h - 1, status);
        EXPECT_EQ(status, 0);
        return v;
    }
    static void Put(int slot, const std::vector<int>& v, int w, int h)
    {
        int status = -1;
        BitmapPutPixels(slot, v, 0, 0, w - 1, h - 1, status);
        ASSERT_EQ(status, 0);
    }
};

TEST_F(BitmapsTest, HandlesAndTheirErrors)
{
    std::vector<int> handles;
    for (int i = 0; i < kBitmapSlotCount; ++i) {
        int h = 0;
        WBitmapCreate(h, 2, 2);
        ASSERT_EQ(h, i + 1);
    }
    EXPECT_EQ(gErrorState.lastCode, 0);
    int extra = -1;
    WBitmapCreate(extra, 2, 2);
    EXPECT_EQ(extra, 0);
    EXPECT_EQ(gErrorState.lastCode, 1020);

    const struct {
        int handle;
        int code;
    } destroys[] = {{0, 1021}, {51, 1021}, {-3, 1021}, {7, 0}, {7, 1021}};
    for (const auto& d : destroys) {
        gErrorState.lastCode = 0;
        WBitmapDestroy(d.handle);
        EXPECT_EQ(gErrorState.lastCode, d.code) << d.handle;
    }
    int w = -1, h = -1;
    BitmapSize(6, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    BitmapSize(50, w, h);
    EXPECT_EQ(w + h, 0);

    // The freed slot is taken again; sizes below 1 make no bitmap.
    WBitmapCreate(extra, 30, 20);
    EXPECT_EQ(extra, 7);
    for (auto size : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-1, -1}}) {
        WBitmapDestroy(7);
        gErrorState.lastCode = 0;
        WBitmapCreate(extra, size.first, size.second);
        EXPECT_EQ(extra, 0);
        EXPECT_EQ(gErrorState.lastCode, 1020);
    }
}

TEST_F(BitmapsTest, PixelArraysInAndOut)
{
    const int slot = Make(4, 3);
    int status = -1;
    // One pixel, from value 0.
    const int one[] = {kRed};
    BitmapPutPixels(slot, one, 2, 1, 2, 1, status);
    EXPECT_EQ(status, 0);
    std::vector<int> v = Pixels(slot);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(v[static_cast<size_t>(y * 4 + x)], x == 2 && y == 1 ? kRed : kWhite) << x << "," << y;

    // A box: value (x2 - x1 + 1) * (y - y1) + (x - x1) is pixel (x, y).
    const int box[] = {kRed, kGreen, kBlue, 0x123456};
    BitmapPutPixels(slot, box, 1, 0, 2, 1, status);
    EXPECT_EQ(status, 0);
    std::vector<int> got(4);
    BitmapGetPixels(slot, got, 1, 0, 2, 1, status);
    EXPECT_EQ(got, (std::vector<int>{kRed, kGreen, kBlue, 0x123456}));

    // Boxes outside the bitmap, reversed, or with too few values: 1066 and
    // nothing written; a free slot 1021.
    const std::vector<int> before = Pixels(slot);
    const struct {
        int x1, y1, x2, y2;
        size_t values;
    } bad[] = {{-1, 0, 1, 1, 8}, {0, 0, 4, 0, 8}, {0, 0, 0, 3, 8}, {2, 0, 1, 0, 8},
               {0, 2, 0, 1, 8},  {0, 0, 3, 2, 11}, {0, 0, 0, 0, 0}};
    for (const auto& b : bad) {
        std::vector<int> values(b.values, kBlack);
        status = 0;
        BitmapPutPixels(slot, values, b.x1, b.y1, b.x2, b.y2, status);
        EXPECT_EQ(status, 1066) << b.x1 << " " << b.y1 << " " << b.x2 << " " << b.y2;
        status = 0;
        BitmapGetPixels(slot, values, b.x1, b.y1, b.x2, b.y2, status);
        EXPECT_EQ(status, 1066);
    }
    EXPECT_EQ(Pixels(slot), before);
    BitmapPutPixels(9, one, 0, 0, 0, 0, status);
    EXPECT_EQ(status, 1021);
}

// A 3 x 2 picture of six colours, and where each pixel goes.
TEST_F(BitmapsTest, FlipAndRotateMoveEveryPixel)
{
    const int W = 3, H = 2;
    std::vector<int> picture(6);
    for (int i = 0; i < 6; ++i)
        picture[static_cast<size_t>(i)] = 0x101010 * (i + 1);
    auto at = [&](int x, int y) { return picture[static_cast<size_t>(y * W + x)]; };

    const struct {
        const char* name;
        int angle;    // 0: a flip
        int vertical; // for flips
        int w, h;     // size afterwards
        int (*from)(int x, int y, int W, int H, int which);
    } cases[] = {
        {"flip vertical", 0, 1, 3, 2, [](int x, int y, int, int H, int) { return (H - 1 - y) * 16 + x; }},
        {"flip horizontal", 0, 0, 3, 2, [](int x, int y, int W, int, int) { return y * 16 + (W - 1 - x); }},
        // The source pixel of new pixel (x, y): (W - y - 1, x) for 90.
        {"rotate 90", 90, 0, 2, 3, [](int x, int y, int W, int, int) { return x * 16 + (W - y - 1); }},
        {"rotate 180", 180, 0, 3, 2, [](int x, int y, int W, int H, int) { return (H - 1 - y) * 16 + (W - 1 - x); }},
        {"rotate 270", 270, 0, 2, 3, [](int x, int y, int, int H, int) { return (H - 1 - x) * 16 + y; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int slot = Make(W, H);
        Put(slot, picture, W, H);
        int viewer = -1, status = -1;
        if (c.angle == 0)
            BitmapFlip(slot, c.vertical, viewer, status);
        else
            BitmapRotate(slot, c.angle, viewer, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(viewer, 0);
        int w = 0, h = 0;
        BitmapSize(slot, w, h);
        ASSERT_EQ(w, c.w);
        ASSERT_EQ(h, c.h);
        const std::vector<int> v = Pixels(slot);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int source = c.from(x, y, W, H, 0);
                EXPECT_EQ(v[static_cast<size_t>(y * w + x)], at(source % 16, source / 16)) << x << "," << y;
            }
        int s = -1;
        BitmapSlotDestroy(slot, s);
    }

    const int big = Make(30, 20);
    int viewer = 0, status = -1, w = 0, h = 0;
    BitmapRotate(big, 90, viewer, status);
    BitmapSize(big, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(20, 30));
    BitmapRotate(big, 90, viewer, status);
    BitmapSize(big, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(30, 20));
    BitmapRotate(big, 180, viewer, status);
    BitmapSize(big, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(30, 20));
    BitmapRotate(big, 45, viewer, status);
    EXPECT_EQ(status, 1066);
    BitmapSize(big, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(30, 20));
}

TEST_F(BitmapsTest, ResizeStretchesTheOldPicture)
{
    const int slot = Make(2, 1);
    Put(slot, {kRed, kBlue}, 2, 1);
    int viewer = 0, status = -1;
    BitmapResize(slot, 4, 2, viewer, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(Pixels(slot), (std::vector<int>{kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}));
    BitmapResize(slot, 0, 3, viewer, status);
    EXPECT_EQ(status, 1020);
    int w = 0, h = 0;
    BitmapSize(slot, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(4, 2));
}

// Copies onto the surface combine with what is there by the bitwise mode.
TEST_F(BitmapsTest, BitwiseModesOfTheCopies)
{
    MemorySurface surface(8, 8);
    const int below = 0x00F0CC, above = 0x0F0FAA;
    const struct {
        int mode;
        int expected;
    } cases[] = {{0, above}, {1, below | above}, {2, below & above}, {3, below ^ above}, {9, below ^ above}};
    const int slot = Make(2, 2, above);
    for (const auto& c : cases) {
        SetDCBrushColor(surface.dc(), static_cast<COLORREF>(below));
        RECT all{0, 0, 8, 8};
        FillRect(surface.dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        BitmapBitwiseMode(c.mode); // 9 keeps the mode before
        int status = -1;
        BitmapPut(slot, 0, 0, 3, 4, 2, 2, 1, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(surface.Pixel(3, 4), c.expected) << c.mode;
        EXPECT_EQ(surface.Pixel(4, 5), c.expected);
        EXPECT_EQ(surface.Pixel(5, 4), below);
    }

    // Surface to bitmap, and the whole bitmap stretched onto the surface.
    BitmapBitwiseMode(0);
    surface.SetColours(kWhite, kBlack);
    SetPixel(surface.dc(), 6, 6, RGB(0, 0, 255));
    int status = -1;
    BitmapGetFromSurface(slot, 5, 5, 2, 2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Pixels(slot)[3], kBlue);
    BitmapPutStretched(slot, 1, 0, 0, 8, 8, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(surface.Pixel(7, 7), kBlue);
    EXPECT_EQ(surface.Pixel(4, 4), kBlue);
    EXPECT_EQ(surface.Pixel(3, 3), below);
}

// The bitmap as the drawing target: what the primitives draw is in its
// pixels; destroying it gives the target back to the window without 1019.
TEST_F(BitmapsTest, DrawingIntoABitmapTarget)
{
    GraphicsState& g = gGraphicsState;
    g.screenOutput = 1;
    g.hardcopyOpen = 0;
    g.colourModel = kColourModelRgb;
    g.plotMode = 0;
    g.lineStyle = 0;
    g.lineWidth = 1;
    g.fillMode = kFillSolid;
    g.outline = 0;
    g.pageRotation = 0;
    g.textGeometryFrozen = 0;
    g.areaFractions = {0, 0, 1, 1};
    int handle = 0;
    BitmapSlotCreate(handle, 40, 30, kWhite);
    IGrSelect(kTargetBitmap, &handle);
    ASSERT_EQ(gErrorState.lastCode, 0);
    ASSERT_EQ(g.targetKind, kTargetBitmap);
    EXPECT_EQ(g.targetWidth, 40);
    EXPECT_EQ(g.targetHeight, 30);
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 40, 30);
    MemorySurface::SetColours(kWhite, kRed);
    IGrRectangle(5, 5, 15, 10);
    MemorySurface::SetColours(kRed, kBlue);
    YYDeviceLine(20, 20, 35, 20);

    // A pixel array read while the bitmap is the surface.
    const std::vector<int> v = Pixels(handle - 1);
    auto at = [&](int x, int yUp) { return v[static_cast<size_t>((29 - yUp) * 40 + x)]; };
    EXPECT_EQ(at(10, 7), kRed);
    EXPECT_EQ(at(2, 7), kWhite);
    EXPECT_EQ(at(28, 20), kBlue);
    EXPECT_EQ(at(28, 22), kWhite);
    // Still drawing afterwards: the surface got its bitmap back.
    YYDeviceLine(20, 2, 35, 2);
    EXPECT_EQ(Pixels(handle - 1)[static_cast<size_t>(27 * 40 + 28)], kBlue);

    WBitmapDestroy(handle);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(g.targetKind, kTargetWindow);
    EXPECT_EQ(gGdiSurfaceState.dc, nullptr);
}

// Speed of the array transfers: one put and one get of 1000 x 1000 pixels.
TEST_F(BitmapsTest, DISABLED_BenchmarkPutAndGetPixels)
{
    const int slot = Make(1000, 1000);
    std::vector<int> values(1000000);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int>(i * 2654435761u) & 0xFFFFFF;
    std::vector<int> back(values.size());
    int status = -1;
    const auto start = std::chrono::steady_clock::now();
    BitmapPutPixels(slot, values, 0, 0, 999, 999, status);
    BitmapGetPixels(slot, back, 0, 0, 999, 999, status);
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(status, 0);
    std::printf("BitmapPutPixels + BitmapGetPixels of 1000 x 1000: %.1f ms\n", ms);
}

} // namespace

// Drawing batches of the GDI surface on a real window: what a batch draws
// off the screen reaches the window only at its end, pixel for pixel as the
// same drawing done directly (plot modes, half-tones, clipping, area moves
// and pixel reads included); a batch that never erases the whole window
// draws directly; the off-screen picture is one GDI object, made again only
// for another size and deleted with its window.
#include "graphics_fixture.h"

#include <vector>

#include "graphics/screen_driver.h"
#include "support/reference_image.h"

namespace {

constexpr int kWidth = 160, kHeight = 120;
constexpr int kGrey = 0x808080;

// A visible top-level window without a background brush (nothing paints it
// but the test; no message is dispatched meanwhile), its client DC selected
// as the GDI surface of a window target of the client's size.
class WindowSurface {
public:
    WindowSurface(int width, int height)
    {
        static const ATOM atom = [] {
            WNDCLASSA c{};
            c.lpfnWndProc = DefWindowProcA;
            c.hInstance = GetModuleHandleA(nullptr);
            c.lpszClassName = "KestrowBatchTest";
            return RegisterClassA(&c);
        }();
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, WS_POPUP, FALSE, WS_EX_TOPMOST);
        window_ = CreateWindowExA(WS_EX_TOPMOST, MAKEINTATOM(atom), "", WS_POPUP | WS_VISIBLE, 40, 40,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
        dc_ = GetDC(window_);
        Select();
    }
    ~WindowSurface()
    {
        GdiClip(0, 0, 0, -1);
        if (gGdiSurfaceState.dc == dc_)
            GdiSurfaceRelease();
        GdiOffscreenFree(window_);
        ReleaseDC(window_, dc_);
        DestroyWindow(window_);
    }
    // Makes the window's client DC the surface again, with its current size.
    void Select()
    {
        RECT c{};
        GetClientRect(window_, &c);
        SurfaceTargetSelect(kTargetWindow, dc_, window_, c.right, c.bottom);
    }
    void Resize(int width, int height)
    {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, WS_POPUP, FALSE, WS_EX_TOPMOST);
        SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GdiSurfaceRelease();
        Select();
    }
    // The client area as the window shows it (packed RGB, rows from the top).
    std::vector<int> Shown() const
    {
        RECT c{};
        GetClientRect(window_, &c);
        return DcPixels(dc_, 0, 0, c.right, c.bottom);
    }
    // Paints the client area in RGB by other means than the surface.
    void Paint(int rgb) const
    {
        RECT c{};
        GetClientRect(window_, &c);
        HBRUSH brush = CreateSolidBrush(RGB(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
        FillRect(dc_, &c, brush);
        DeleteObject(brush);
    }
    HWND window() const { return window_; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

class DrawingBatchTest : public ::testing::Test, protected ScreenDriverCalls {
protected:
    GraphicsStateGuard guard;
    WindowSurface surface{kWidth, kHeight};

    static void Colours(int previous, int current)
    {
        GraphicsState& g = gGraphicsState;
        g.colourModel = kColourModelRgb;
        g.currentDevice = 0;
        g.currentRgb = previous;
        YYGAPI(DeviceOp::kColour);
        g.previousRgb = previous;
        g.currentRgb = current;
        YYGAPI(DeviceOp::kColour);
    }
    static void PlotMode(int mode)
    {
        gGraphicsState.plotMode = mode;
        YYGAPI(DeviceOp::kPlotMode);
    }
    int ReadPixel(int x, int y)
    {
        b.IX[0] = x;
        b.IY[0] = y;
        YYGAPI(DeviceOp::kReadPixel);
        return b.IX[0];
    }

    // A picture that erases the whole window first and uses what depends on
    // the pixels already there or on the DC's state: dashed and wide pens,
    // a half-tone fill, a clipped ellipse, exclusive-or lines and fills, an
    // area moved with a clear, and pixel reads (returned).
    std::vector<int> Picture()
    {
        std::vector<int> reads;
        GraphicsState& g = gGraphicsState;
        Area(0, 0, g.targetWidth - 1, g.targetHeight - 1);
        YYGAPI(DeviceOp::kClear);
        Colours(0xFFFFFF, 0x0000FF);
        Style(0, 1);
        Corners(DeviceOp::kLine, 3, 4, 150, 100);
        Style(3, 2);
        DevicePointArrays& p = gDevicePointArrays;
        p.Reserve(5);
        const float px[] = {10, 40, 70, 100, 130}, py[] = {20, 90, 30, 80, 10};
        for (size_t i = 0; i < 5; ++i) {
            p.x[i] = px[i];
            p.y[i] = py[i];
        }
        b.N = 5;
        YYGAPI(DeviceOp::kPolyline);
        Style(0, 1);
        Colours(0x00FF00, 0xFF0000);
        Corners(DeviceOp::kRectangleHalftone, 20, 10, 60, 50);
        Area(30, 30, 90, 80);
        Corners(DeviceOp::kEllipseSolid, 80, 60, 35, 25);
        Area(0, 0, g.targetWidth - 1, g.targetHeight - 1);
        reads.push_back(ReadPixel(80, 60));
        reads.push_back(ReadPixel(40, 30));
        PlotMode(3);
        Colours(0xFFFFFF, 0x00FFFF);
        Corners(DeviceOp::kLine, 0, 60, 159, 60);
        Corners(DeviceOp::kLine, 40, 60, 120, 60); // erases the middle again
        Corners(DeviceOp::kRectangleSolid, 70, 40, 140, 110);
        reads.push_back(ReadPixel(100, 60));
        reads.push_back(ReadPixel(20, 60));
        PlotMode(0);
        b.IX[0] = 10;
        b.IY[0] = 70;
        b.IX[1] = 50;
        b.IY[1] = 110;
        b.IX[2] = 100;
        b.IY[2] = 5;
        b.M = 1;
        YYGAPI(DeviceOp::kMoveArea);
        reads.push_back(ReadPixel(110, 20));
        return reads;
    }
};

TEST_F(DrawingBatchTest, TheWindowShowsTheBatchOnlyAtItsEndAsIfDrawnDirectly)
{
    const std::vector<int> directReads = Picture();
    const std::vector<int> direct = surface.Shown();
    ASSERT_EQ(direct.size(), static_cast<size_t>(kWidth * kHeight));
    ASSERT_NE(direct, std::vector<int>(direct.size(), direct[0])) << "the picture drew nothing";

    surface.Paint(kGrey);
    GdiBatchBegin();
    GdiBatchBegin(); // nested: the inner end shows nothing yet
    const std::vector<int> batchReads = Picture();
    GdiBatchEnd();
    EXPECT_EQ(surface.Shown(), std::vector<int>(direct.size(), kGrey)) << "the batch reached the window early";
    GdiBatchEnd();
    EXPECT_EQ(batchReads, directReads);
    EXPECT_TRUE(surface.Shown() == direct) << "the batch's picture differs from the direct one";

    // After the batch the surface draws on the window again.
    Colours(0xFFFFFF, 0x000000);
    Corners(DeviceOp::kRectangleSolid, 0, 0, 3, 3);
    EXPECT_EQ(surface.Shown()[static_cast<size_t>((kHeight - 1) * kWidth)], kBlack);
}

TEST_F(DrawingBatchTest, WithoutAWholeEraseOrAfterARelease_DrawingReachesTheWindowAtOnce)
{
    const size_t corner = static_cast<size_t>((kHeight - 1) * kWidth); // device (0, 0)
    surface.Paint(kWhite);
    Colours(0xFFFFFF, 0x000000);
    GdiBatchBegin();
    Corners(DeviceOp::kRectangleSolid, 0, 0, 3, 3);
    EXPECT_EQ(surface.Shown()[corner], kBlack) << "no whole erase: direct";

    // An erase of only a part of the window does not start the off-screen
    // drawing either.
    GdiClear(kWidth - 1, kHeight, 0xFFFFFF);
    EXPECT_EQ(surface.Shown()[corner], kWhite);
    GdiBatchEnd();

    // Releasing the surface in the middle of a batch shows what it drew;
    // the rest of the batch draws directly.
    surface.Paint(kGrey);
    GdiBatchBegin();
    YYGAPI(DeviceOp::kClear);
    Colours(0xFFFFFF, 0x000000);
    Corners(DeviceOp::kRectangleSolid, 0, 0, 3, 3);
    EXPECT_EQ(surface.Shown()[corner], kGrey);
    GdiSurfaceRelease();
    EXPECT_EQ(surface.Shown()[corner], kBlack);
    surface.Select();
    surface.Paint(kGrey);
    Corners(DeviceOp::kRectangleSolid, 0, 0, 3, 3);
    EXPECT_EQ(surface.Shown()[corner], kBlack);
    GdiBatchEnd();
}

TEST_F(DrawingBatchTest, TheOffscreenPictureIsOneObjectMadeAgainOnlyForANewSizeAndFreedWithItsWindow)
{
    auto refresh = [&] {
        GdiBatchBegin();
        YYGAPI(DeviceOp::kClear);
        GdiBatchEnd();
    };
    refresh();
    const int start = GdiLiveObjectCount() - 1;
    GdiOffscreenFree(surface.window());
    EXPECT_EQ(GdiLiveObjectCount(), start);
    refresh();
    EXPECT_EQ(GdiLiveObjectCount(), start + 1);
    for (int i = 0; i < 5; ++i)
        refresh();
    EXPECT_EQ(GdiLiveObjectCount(), start + 1) << "kept from one batch to the next";
    EXPECT_EQ(gGdiSurfaceState.offscreen.width, kWidth);

    surface.Resize(kWidth + 40, kHeight + 10);
    refresh();
    EXPECT_EQ(GdiLiveObjectCount(), start + 1) << "the old size's picture deleted";
    EXPECT_EQ(gGdiSurfaceState.offscreen.width, kWidth + 40);
    EXPECT_EQ(gGdiSurfaceState.offscreen.height, kHeight + 10);

    GdiOffscreenFree(nullptr);
    GdiOffscreenFree(GetDesktopWindow());
    EXPECT_EQ(GdiLiveObjectCount(), start + 1) << "made for another window";
    GdiOffscreenFree(surface.window());
    EXPECT_EQ(GdiLiveObjectCount(), start);
    EXPECT_EQ(gGdiSurfaceState.offscreen.bitmap, nullptr);
}

} // namespace

// The bitmap viewer in real windows: it shows the bitmap drawn as the
// target, reports scroll bars, keys and drags as event 15, shows a flipped
// bitmap at once, keeps its bitmap from being destroyed, and a modal viewer
// returns when its window closes.
#include "graphics_fixture.h"

#include "core/child_windows.h"
#include "core/events.h"
#include "core/library_start.h"
#include "core/main_window.h"
#include "core/window_table.h"
#include "graphics/bitmap_viewer.h"
#include "graphics/bitmaps.h"
#include "graphics/rectangles.h"
#include "support/poll.h"

namespace {

constexpr int kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr WPARAM kWatchdog = 0x5EED;

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
{
    EventStore(kEventTimer, 0, kWatchdog, 0, nullptr);
}

// The next event of TYPE within two seconds (other events are skipped).
bool NextEvent(int type, EventMessage& m)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        UINT_PTR timer = SetTimer(nullptr, 0, 2000, Watchdog);
        int got = 0;
        WMessageWait(got, m);
        KillTimer(nullptr, timer);
        if (got == type)
            return true;
        if (got == kEventTimer && m.value1 == static_cast<int>(kWatchdog))
            return false;
    }
    return false;
}

// Packed RGB of the viewer's pixel (X, Y) on the screen.
int Shown(HWND viewer, int x, int y)
{
    HDC dc = GetDC(viewer);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(viewer, dc);
    return static_cast<int>(c & 0xFFFFFF);
}

class BitmapViewerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gSavedLibrary = new LibraryState(gLibraryState);
        gSavedGraphics = new GraphicsState(gGraphicsState);
        WLibraryStart();
        int flags = kWindowFlagsDefault, x = 20, y = 20, w = 300, h = 200;
        WindowOpen(&flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "Viewer tests");
    }
    static void TearDownTestSuite()
    {
        WLibraryShutdown();
        gLibraryState = *gSavedLibrary;
        gGraphicsState = *gSavedGraphics;
        delete gSavedLibrary;
        delete gSavedGraphics;
    }
    void SetUp() override
    {
        ASSERT_TRUE(gWindowTable.frame[0]);
        BitmapTableDestroyAll();
        gErrorState.lastCode = 0;
    }
    void TearDown() override
    {
        for (int n = 1; n <= kLastWindow; ++n)
            if (gWindowTable.frame[n])
                WindowCloseChild(n);
        BitmapTableDestroyAll();
        WMessageEnable(kEventViewerPosition, 0);
    }
    // A child window of W x H client pixels, made current.
    static int Child(int w, int h)
    {
        int n = -1, flags = kWindowFlagsDefault, x = 60, y = 60;
        WindowOpenChild(n, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "Viewer");
        EXPECT_GT(n, 0);
        return n;
    }
    static HWND ViewerOf(int n)
    {
        auto* r = WindowRecordAs<BitmapViewerRecordHead>(gWindowTable.frame[n], kRecordBitmapViewer);
        return r ? r->viewer : nullptr;
    }

    static LibraryState* gSavedLibrary;
    static GraphicsState* gSavedGraphics;
};
LibraryState* BitmapViewerTest::gSavedLibrary = nullptr;
GraphicsState* BitmapViewerTest::gSavedGraphics = nullptr;

TEST_F(BitmapViewerTest, ShowsTheDrawingAndReportsItsPosition)
{
    // A 400 x 300 picture drawn as the target: left half red, right half blue.
    int handle = 0;
    BitmapSlotCreate(handle, 400, 300, kWhite);
    ASSERT_GT(handle, 0);
    GraphicsState& g = gGraphicsState;
    g.screenOutput = 1;
    g.colourModel = kColourModelRgb;
    g.fillMode = kFillSolid;
    g.outline = 0;
    g.areaFractions = {0, 0, 1, 1};
    IGrSelect(kTargetBitmap, &handle);
    ASSERT_EQ(g.targetKind, kTargetBitmap);
    IGrUnits(0, 0, 1, 1);
    MemorySurface::SetColours(kWhite, kRed);
    IGrRectangle(0, 0, 0.5f, 1);
    MemorySurface::SetColours(kRed, kBlue);
    IGrRectangle(0.5f, 0, 1, 1);

    const int n = Child(200, 150);
    int status = -1;
    // While the bitmap is the drawing target it cannot be shown.
    BitmapViewerOpen(handle - 1, 0, 0, 2, 3, status);
    EXPECT_EQ(status, kViewerBitmapBusy);
    IGrSelect(kTargetWindow, &n);
    ASSERT_EQ(g.targetKind, kTargetWindow);
    BitmapViewerOpen(handle - 1, 0, 0, 2, 3, status);
    ASSERT_EQ(status, kViewerOpened);
    HWND viewer = ViewerOf(n);
    ASSERT_TRUE(viewer);
    EXPECT_EQ(BitmapViewerOf(handle - 1), n);
    int value = 0;
    BitmapViewerInfo(n, 3, value);
    EXPECT_EQ(value, handle);
    BitmapViewerInfo(n, 101, value);
    EXPECT_EQ(value, 400);
    BitmapViewerInfo(n, 102, value);
    EXPECT_EQ(value, 300);
    BitmapViewerInfo(0, 101, value);
    EXPECT_EQ(value, 0);
    UpdateWindow(viewer);
    EXPECT_TRUE(PollUntil([&] { return Shown(viewer, 10, 10) == kRed; }, 3000));

    // The bitmap cannot go while it is shown.
    WBitmapDestroy(handle);
    EXPECT_EQ(gErrorState.lastCode, 1036);

    WMessageEnable(kEventViewerPosition, 1);
    RECT c;
    GetClientRect(viewer, &c);
    EventMessage m;
    // A page to the right: the client width.
    PostMessageA(viewer, WM_HSCROLL, SB_PAGEDOWN, 0);
    ASSERT_TRUE(NextEvent(kEventViewerPosition, m));
    EXPECT_EQ(m.window, n);
    EXPECT_EQ(m.value1, c.right);
    EXPECT_EQ(m.value2, 0);
    EXPECT_EQ(m.value3, 2);
    UpdateWindow(viewer);
    EXPECT_TRUE(PollUntil([&] { return Shown(viewer, 200 - c.right + 5, 10) == kBlue; }, 3000));
    // Keyboard scrolling: one line down.
    PostMessageA(viewer, WM_KEYDOWN, VK_DOWN, 1);
    ASSERT_TRUE(NextEvent(kEventViewerPosition, m));
    EXPECT_EQ(m.value1, c.right);
    EXPECT_EQ(m.value2, 1);
    // Dragging by (-10, -5) scrolls by (10, 5).
    PostMessageA(viewer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    PostMessageA(viewer, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 45));
    PostMessageA(viewer, WM_LBUTTONUP, 0, MAKELPARAM(40, 45));
    ASSERT_TRUE(NextEvent(kEventViewerPosition, m));
    EXPECT_EQ(m.value1, c.right + 10);
    EXPECT_EQ(m.value2, 6);

    // A flipped bitmap is shown at once: the left is blue now.
    int shownIn = 0;
    BitmapFlip(handle - 1, 0, shownIn, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(shownIn, n);
    PostMessageA(viewer, WM_HSCROLL, SB_TOP, 0);
    ASSERT_TRUE(NextEvent(kEventViewerPosition, m));
    EXPECT_EQ(m.value1, 0);
    UpdateWindow(viewer);
    EXPECT_TRUE(PollUntil([&] { return Shown(viewer, 10, 10) == kBlue; }, 3000));

    // Closing the window frees the bitmap for destruction.
    WindowCloseChild(n);
    EXPECT_EQ(BitmapViewerOf(handle - 1), 0);
    gErrorState.lastCode = 0;
    WBitmapDestroy(handle);
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST_F(BitmapViewerTest, StatusesOfTheOpen)
{
    int handle = 0;
    BitmapSlotCreate(handle, 50, 40, kWhite);
    int status = -1;
    WindowMakeCurrent(0);
    BitmapViewerOpen(handle - 1, 0, 0, 2, 0, status);
    EXPECT_EQ(status, kViewerOnMainWindow);
    const int n = Child(100, 80);
    BitmapViewerOpen(handle, 0, 0, 2, 0, status);
    EXPECT_EQ(status, kViewerBadSlot);
    BitmapViewerOpen(-1, 0, 0, 2, 0, status);
    EXPECT_EQ(status, kViewerBadSlot);
    // A child with a window inside it.
    int inner = -1, flags = kWindowFlagsDefault | kWindowInsideParent, x = 0, y = 0, w = 30, h = 30;
    WindowOpenChild(inner, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "Inner", &n);
    ASSERT_GT(inner, 0);
    WindowMakeCurrent(n);
    BitmapViewerOpen(handle - 1, 0, 0, 2, 0, status);
    EXPECT_EQ(status, kViewerHasChildren);
    // The inner window asked for a semi-modal viewer opens modeless.
    WindowMakeCurrent(inner);
    BitmapViewerOpen(handle - 1, -5, -5, 3, 0, status);
    EXPECT_EQ(status, kViewerMadeModeless);
    EXPECT_EQ(BitmapViewerOf(handle - 1), inner);
    int value = -1;
    BitmapViewerInfo(inner, 4, value);
    EXPECT_EQ(value, 0);
}

void CALLBACK CloseViewer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    for (int n = 1; n <= kLastWindow; ++n)
        if (WindowRecordTypeOf(gWindowTable.frame[n]) == kRecordBitmapViewer)
            PostMessageA(gWindowTable.frame[n], WM_CLOSE, 0, 0);
}

TEST_F(BitmapViewerTest, AModalViewerReturnsWhenItsWindowCloses)
{
    int handle = 0;
    BitmapSlotCreate(handle, 80, 60, kWhite);
    const int n = Child(100, 80);
    SetTimer(nullptr, 0, 200, CloseViewer);
    int status = -1;
    BitmapViewerOpen(handle - 1, 0, 0, 1, 0, status);
    EXPECT_EQ(status, kViewerOpened);
    EXPECT_FALSE(WindowIsOpen(n));
    EXPECT_EQ(BitmapViewerOf(handle - 1), 0);
    EXPECT_TRUE(IsWindowEnabled(gWindowTable.frame[0]));
    gErrorState.lastCode = 0;
    WBitmapDestroy(handle);
    EXPECT_EQ(gErrorState.lastCode, 0);
}

} // namespace

// Shared set-up of the graphics tests: a clean drawing state for each test
// (restored afterwards) and a memory bitmap that serves as the GDI surface.
#pragma once

#include <gtest/gtest.h>
#include <cmath>
#include <windows.h>

#include "core/errors.h"
#include "core/library_state.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "graphics/screen_driver.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_state.h"

// Saves the global areas the graphics layer writes and puts them back.
class GraphicsStateGuard {
public:
    GraphicsStateGuard()
        : graphics_(gGraphicsState), text_(gTextState), hardcopy_(gHardcopyState),
          block_(gDeviceParameterBlock), library_(gLibraryState), paths_(gLibraryPaths),
          errors_(gErrorState), words_(gDeviceCapabilityWords)
    {
    }
    ~GraphicsStateGuard()
    {
        gGraphicsState = graphics_;
        gTextState = text_;
        gHardcopyState = hardcopy_;
        gDeviceParameterBlock = block_;
        gLibraryState = library_;
        gLibraryPaths = paths_;
        gErrorState = errors_;
        gDeviceCapabilityWords = words_;
    }

private:
    GraphicsState graphics_;
    TextState text_;
    HardcopyState hardcopy_;
    DeviceParameterBlock block_;
    LibraryState library_;
    LibraryPaths paths_;
    ErrorState errors_;
    DeviceCapabilityWords words_;
};

// Selects DC (of WINDOW, or nullptr) as the GDI surface of a drawing target of
// KIND and WIDTH x HEIGHT pixels, whole area, screen output on, a solid
// 1-pixel pen in copy mode, no clip region.
inline void SurfaceTargetSelect(int kind, HDC dc, HWND window, int width, int height)
{
    GraphicsState& g = gGraphicsState;
    g.screenOutput = 1;
    g.hardcopyOpen = 0;
    g.memoryMetafileRouting = 0;
    g.targetKind = kind;
    g.targetId = 1;
    g.targetWidth = width;
    g.targetHeight = height;
    g.targetLimit = {width - 0.01f, height - 0.01f};
    g.areaFractions = {0, 0, 1, 1};
    g.plotMode = 0;
    g.lineStyle = 0;
    g.lineWidth = 1;
    gGdiSurfaceState.rop = R2_COPYPEN;
    gGdiSurfaceState.lineStyle = 0;
    gGdiSurfaceState.penStyle = PS_SOLID;
    gGdiSurfaceState.lineWidth = 1;
    GdiSurfaceSelect(dc, window);
    GdiClip(0, 0, 0, -1);
}

// Operations sent straight to the screen driver (device pixels, y upwards).
struct ScreenDriverCalls {
    DeviceParameterBlock& b = gDeviceParameterBlock;

    // An op on two corner words: a line, a rectangle, an ellipse (centre, radii).
    void Corners(int op, int x1, int y1, int x2, int y2)
    {
        b.IX[0] = x1;
        b.IY[0] = y1;
        b.IX[1] = x2;
        b.IY[1] = y2;
        YYGAPI(op);
    }
    void Line(int x1, int y1, int x2, int y2) { Corners(DeviceOp::kLine, x1, y1, x2, y2); }
    void Rectangle(int op, int x1, int y1, int x2, int y2) { Corners(op, x1, y1, x2, y2); }
    static void Style(int style, int width)
    {
        gGraphicsState.lineStyle = style;
        gGraphicsState.lineWidth = width;
        YYGAPI(DeviceOp::kLineWidth);
        YYGAPI(DeviceOp::kLineStyle);
    }
    static void Area(int x1, int y1, int x2, int y2)
    {
        gGraphicsState.integerArea = {x1, y1, x2, y2};
        YYGAPI(DeviceOp::kClip);
    }
};

// A 32-bit top-down DIB section in a memory DC, selected as the GDI surface,
// white at the start; GraphicsState describes it as a window target of the
// same size with the whole area as graphics area and screen output on.
class MemorySurface {
public:
    MemorySurface(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i)
            bits_[i] = 0xFFFFFF;
        SurfaceTargetSelect(kTargetBitmap, dc_, nullptr, width, height);
        SetColours(0xFFFFFF, 0x000000);
    }
    ~MemorySurface()
    {
        GdiClip(0, 0, 0, -1);
        GdiSurfaceRelease();
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    // Packed RGB (red + 256 green + 65536 blue) of surface pixel (x, y), y down.
    int Pixel(int x, int y) const
    {
        GdiFlush();
        unsigned v = bits_[y * width_ + x];
        return static_cast<int>(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16));
    }
    // Previous and current colour as packed RGB values, through DeviceOp 3.
    static void SetColours(int previous, int current)
    {
        GraphicsState& g = gGraphicsState;
        g.currentRgb = previous;
        g.currentDevice = 0;
        YYScreenDeviceCall(DeviceOp::kColour);
        g.previousRgb = previous;
        g.currentRgb = current;
        YYScreenDeviceCall(DeviceOp::kColour);
    }
    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    unsigned* bits_ = nullptr;
};

constexpr int kWhite = 0xFFFFFF;
constexpr int kBlack = 0x000000;

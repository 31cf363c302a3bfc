// What the window system asks of the graphics core above it through hooks:
// making a window the drawing target, selecting and releasing the drawing
// surface on a window's device context, the library palette, the graphics
// defaults and colour table when the main window opens, the notices that a
// target window or field changed size, the world coordinates of an event and
// pixel-to-normal conversions, and the bitmap table emptied when the windows
// are destroyed. The graphics core installs them while the program starts
// (graphics/graphics_state.cpp, beside the drawing state).
//
// Without them (a program without the graphics core) the window system keeps
// a drawing-target kind and identifier of its own (kTargetWindow and 0), every
// action does nothing, the surface reads give no DC, window or metafile
// (nullptr), there is no palette (nullptr), a conversion gives 0 and a
// colour read gives 0 (black).
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "core/drawing_target.h"

struct EventMessage;

struct WindowGraphicsServices {
    int* targetKind = nullptr; // DrawingTargetKind of the current drawing target
    int* targetId = nullptr;   // its identifier (0 for a window)
    void (*surfaceSelect)(HDC dc, HWND window) = nullptr; // GdiSurfaceSelect
    void (*surfaceRelease)() = nullptr;                   // GdiSurfaceRelease
    void (*surfaceDestroy)() = nullptr;                   // GdiSurfaceDestroy
    void (*offscreenFree)(HWND window) = nullptr;         // GdiOffscreenFree
    void (*bitmapsDestroy)() = nullptr;                   // BitmapTableDestroyAll
    HDC (*surfaceDC)() = nullptr;                         // the DC the surface is selected on
    HWND (*surfaceWindow)() = nullptr;                    // the window or field of that DC
    HDC (*surfaceMetafile)() = nullptr;                   // the metafile DC while the surface is one
    void (*surfaceMetafileForget)() = nullptr;            // the surface no longer names that metafile DC
    HPALETTE (*palette)() = nullptr;                      // the library's logical palette
    void (*paletteInstall)(HPALETTE palette, const std::vector<PALETTEENTRY>& entries) = nullptr;
    void (*paletteSet)(int index, int rgb, int mode) = nullptr; // GdiPaletteSet
    void (*colourTableInit)() = nullptr;                        // YYColourTableInit
    void (*colourGet)(int index, int& rgb) = nullptr;           // YYColourGet
    void (*defaults)(std::string_view options) = nullptr;       // YYGraphicsDefaults
    void (*windowSelect)(int n, int reapply) = nullptr;         // YYWINSEL: window n becomes the drawing target
    void (*pixelToNormal)(int px, int py, int& nx, int& ny) = nullptr; // YYPixelToNormal
    void (*windowResized)(int n, int width, int height) = nullptr;     // YYTargetWindowResized
    void (*fieldResized)(int dialog, int field, int width, int height) = nullptr; // YYTargetFieldResized
    void (*eventWorldCoords)(int type, EventMessage& message) = nullptr; // YYEventWorldCoords
};
void WindowGraphicsServicesSet(const WindowGraphicsServices& services);

// The services as the window system calls them.
int& WindowGraphicsTargetKind();
int& WindowGraphicsTargetId();
void WindowSurfaceSelect(HDC dc, HWND window);
void WindowSurfaceRelease();
void WindowSurfaceDestroy();
void WindowOffscreenFree(HWND window);
void WindowBitmapsDestroyAll();
HDC WindowSurfaceDC();
HWND WindowSurfaceWindow();
HDC WindowSurfaceMetafile();
void WindowSurfaceMetafileForget();
HPALETTE WindowGraphicsPalette();
void WindowPaletteInstall(HPALETTE palette, const std::vector<PALETTEENTRY>& entries);
void WindowPaletteSet(int index, int rgb, int mode);
void WindowGraphicsColourTableInit();
void WindowGraphicsColourGet(int index, int& rgb);
void WindowGraphicsDefaults(std::string_view options);
void WindowTargetSelect(int n, int reapply);
void WindowPixelToNormal(int px, int py, int& nx, int& ny);
void WindowTargetWindowResized(int n, int width, int height);
void WindowTargetFieldResized(int dialog, int field, int width, int height);
void WindowEventWorldCoords(int type, EventMessage& message);

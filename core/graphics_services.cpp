// The graphics core's services to the window system (see graphics_services.h).
#include "core/graphics_services.h"

namespace {

// Constant-initialised, so that the graphics core may install its services
// from any file's initialisation.
constinit WindowGraphicsServices gWindowGraphicsServices{};
// The drawing target while no graphics core installed its own.
constinit int gOwnTargetKind = kTargetWindow;
constinit int gOwnTargetId = 0;

} // namespace

void WindowGraphicsServicesSet(const WindowGraphicsServices& services)
{
    gWindowGraphicsServices = services;
}

int& WindowGraphicsTargetKind()
{
    return gWindowGraphicsServices.targetKind ? *gWindowGraphicsServices.targetKind : gOwnTargetKind;
}

int& WindowGraphicsTargetId()
{
    return gWindowGraphicsServices.targetId ? *gWindowGraphicsServices.targetId : gOwnTargetId;
}

void WindowSurfaceSelect(HDC dc, HWND window)
{
    if (gWindowGraphicsServices.surfaceSelect)
        gWindowGraphicsServices.surfaceSelect(dc, window);
}

void WindowSurfaceRelease()
{
    if (gWindowGraphicsServices.surfaceRelease)
        gWindowGraphicsServices.surfaceRelease();
}

void WindowSurfaceDestroy()
{
    if (gWindowGraphicsServices.surfaceDestroy)
        gWindowGraphicsServices.surfaceDestroy();
}

void WindowOffscreenFree(HWND window)
{
    if (gWindowGraphicsServices.offscreenFree)
        gWindowGraphicsServices.offscreenFree(window);
}

void WindowBitmapsDestroyAll()
{
    if (gWindowGraphicsServices.bitmapsDestroy)
        gWindowGraphicsServices.bitmapsDestroy();
}

HDC WindowSurfaceDC()
{
    return gWindowGraphicsServices.surfaceDC ? gWindowGraphicsServices.surfaceDC() : nullptr;
}

HWND WindowSurfaceWindow()
{
    return gWindowGraphicsServices.surfaceWindow ? gWindowGraphicsServices.surfaceWindow() : nullptr;
}

HDC WindowSurfaceMetafile()
{
    return gWindowGraphicsServices.surfaceMetafile ? gWindowGraphicsServices.surfaceMetafile() : nullptr;
}

void WindowSurfaceMetafileForget()
{
    if (gWindowGraphicsServices.surfaceMetafileForget)
        gWindowGraphicsServices.surfaceMetafileForget();
}

HPALETTE WindowGraphicsPalette()
{
    return gWindowGraphicsServices.palette ? gWindowGraphicsServices.palette() : nullptr;
}

void WindowPaletteInstall(HPALETTE palette, const std::vector<PALETTEENTRY>& entries)
{
    if (gWindowGraphicsServices.paletteInstall)
        gWindowGraphicsServices.paletteInstall(palette, entries);
}

void WindowPaletteSet(int index, int rgb, int mode)
{
    if (gWindowGraphicsServices.paletteSet)
        gWindowGraphicsServices.paletteSet(index, rgb, mode);
}

void WindowGraphicsColourTableInit()
{
    if (gWindowGraphicsServices.colourTableInit)
        gWindowGraphicsServices.colourTableInit();
}

void WindowGraphicsColourGet(int index, int& rgb)
{
    rgb = 0;
    if (gWindowGraphicsServices.colourGet)
        gWindowGraphicsServices.colourGet(index, rgb);
}

void WindowGraphicsDefaults(std::string_view options)
{
    if (gWindowGraphicsServices.defaults)
        gWindowGraphicsServices.defaults(options);
}

void WindowTargetSelect(int n, int reapply)
{
    if (gWindowGraphicsServices.windowSelect)
        gWindowGraphicsServices.windowSelect(n, reapply);
}

void WindowPixelToNormal(int px, int py, int& nx, int& ny)
{
    nx = 0;
    ny = 0;
    if (gWindowGraphicsServices.pixelToNormal)
        gWindowGraphicsServices.pixelToNormal(px, py, nx, ny);
}

void WindowTargetWindowResized(int n, int width, int height)
{
    if (gWindowGraphicsServices.windowResized)
        gWindowGraphicsServices.windowResized(n, width, height);
}

void WindowTargetFieldResized(int dialog, int field, int width, int height)
{
    if (gWindowGraphicsServices.fieldResized)
        gWindowGraphicsServices.fieldResized(dialog, field, width, height);
}

void WindowEventWorldCoords(int type, EventMessage& message)
{
    if (gWindowGraphicsServices.eventWorldCoords)
        gWindowGraphicsServices.eventWorldCoords(type, message);
}

// The library's off-screen bitmaps: a table of 50 platform bitmaps that the
// caller addresses by handle (slot + 1), and the engine routines under the
// public bitmap routines: create and destroy, the bitmap as the drawing
// surface, copies between a bitmap and the surface, colour arrays in and
// out, flip, rotate, resize and resources. The engine routines take the
// 0-based slot and return a status: 0 success, else the library error code
// (1020 a bitmap cannot be made, 1021 a free or bad slot, 1036 the bitmap is
// shown in a viewer, 1066 the copy or transfer failed or its arguments lie
// outside the bitmap).
//
// Surface coordinates of the copies are pixels of the current GDI surface
// (y down); pixel (x, y) of a bitmap is column x, row y counted from its top.
#pragma once

#include <windows.h>

#include <array>
#include <span>

constexpr int kBitmapSlotCount = 50;

struct BitmapSlot {
    HBITMAP bitmap = nullptr; // nullptr: free
    int width = 0;
    int height = 0;
};

struct BitmapTable {
    std::array<BitmapSlot, kBitmapSlotCount> slot{};
    DWORD bitwiseMode = SRCCOPY; // raster operation of the copies
    int stretchMode = 1;         // 1 black-on-white .. 4 half-tone
    // The slot whose bitmap is the current drawing surface (-1 none), the
    // memory DC it is selected into there, and the bitmap that DC held first.
    int surfaceSlot = -1;
    HDC surfaceDC = nullptr;
    HGDIOBJ surfaceReplaced = nullptr;
    int semiModalViewers = 0; // semi-modal bitmap viewers open
};
extern BitmapTable gBitmapTable;

// Public: a new WIDTH x HEIGHT bitmap filled with ColourTable entry 0;
// HANDLE := its handle 1..50, or 0 with error 1020 under "WBitmapCreate"
// (also for a width or height below 1).
void WBitmapCreate(int& handle, int width, int height);
// Public: destroys bitmap HANDLE. 1021 for a handle outside 1..50 or a free
// slot, 1036 while a viewer shows it, under "WBitmapDestroy". A bitmap that
// is the drawing target gives the target back to the current window first.
void WBitmapDestroy(int handle);

// The first free slot that takes a new bitmap (BitmapMake); HANDLE := slot
// + 1, or 0 when no slot is free or no bitmap can be made.
void BitmapSlotCreate(int& handle, int width, int height, int colour);
// A bitmap compatible with the drawing surface, filled with packed RGB
// COLOUR (palette index 0 on palette displays); nullptr on failure.
HBITMAP BitmapMake(int width, int height, int colour);
void BitmapSlotDestroy(int slot, int& status);
// (BitmapSelectTarget is declared with the graphics core's neighbours.)
void BitmapSelectTarget(int slot, int& status, int& width, int& height);
void BitmapGetFromSurface(int slot, int x, int y, int width, int height, int& status);
// DIRECTION not 0: bitmap (SX, SY) to surface (DX, DY); 0: surface to bitmap.
void BitmapPut(int slot, int sx, int sy, int dx, int dy, int width, int height, int direction, int& status);
// STRETCH not 0: the whole bitmap stretched into (X, Y, WIDTH, HEIGHT) of the
// surface; 0: at its own size at (X, Y).
void BitmapPutStretched(int slot, int stretch, int x, int y, int width, int height, int& status);
// VALUES[(x2 - x1 + 1) * (y - y1) + (x - x1)] is the packed RGB of pixel
// (x, y) of the box X1..X2, Y1..Y2 (inclusive, inside the bitmap, VALUES
// long enough; else 1066 and nothing written).
void BitmapPutPixels(int slot, std::span<const int> values, int x1, int y1, int x2, int y2, int& status);
void BitmapGetPixels(int slot, std::span<int> values, int x1, int y1, int x2, int y2, int& status);
// VIEWER := the window that shows the bitmap (BitmapViewerOf), which is
// shown the changed bitmap.
void BitmapFlip(int slot, int vertical, int& viewer, int& status);
// ANGLE 90, 180 or 270 (others: 1066, nothing changed).
void BitmapRotate(int slot, int angle, int& viewer, int& status);
void BitmapResize(int slot, int width, int height, int& viewer, int& status);
void BitmapLoadResource(int slot, int resource, int& status);
void BitmapResourceSize(int resource, int& width, int& height);
// 0 and 0 for a free or bad slot.
void BitmapSize(int slot, int& width, int& height);
// 0 copy, 1 or, 2 and, 3 exclusive or; other values keep the mode.
void BitmapBitwiseMode(int mode);
// 2 white-on-black, 3 colour-on-colour, 4 half-tone (NT family, else 1),
// any other value 1.
void BitmapStretchMode(int mode);
int BitmapStretchModeGet();

// The bitmap of library handle HANDLE (1..50), nullptr when free.
HBITMAP BitmapHandleBitmap(int handle);
// Deletes every bitmap and clears the table (window-system shut-down).
void BitmapTableDestroyAll();

// Gives the drawing target back to the current window (as IGrSelect(1)
// does, but reporting nothing), for a bitmap or metafile slot that is about
// to go away while it is the target.
void DrawingTargetToWindow();

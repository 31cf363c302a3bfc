// What the dialog manager uses of the grid control and of the bitmap and
// metafile tables, which live in higher layers, and the routines of the
// window layer it uses that live elsewhere.

#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string_view>

#include "core/neighbours.h"

// ---- Grid control -----------------------------------------------------------
// Sets up grid field GRID from its "[Grids]" record TEXT; CONSUMED := the
// characters read, also returned.
int GridFieldSetup(HWND grid, std::string_view text, int& consumed);
// Copies the cells and settings of grid field SOURCE into TARGET.
void GridCopyState(HWND target, HWND source);
// Clears every cell of grid field GRID.
void GridClearAll(HWND grid);

// ---- Bitmap and metafile tables ---------------------------------------------
// The bitmap of library bitmap handle HANDLE (1..50), nullptr when its slot
// holds none.
HBITMAP BitmapHandleBitmap(int handle);
// A copy of the enhanced metafile of metafile slot SLOT (1..20), its
// recording closed first; nullptr when the slot holds none.
HENHMETAFILE MetafileSlotCopy(int slot);

// What the dialog manager uses of routines that are not written yet (the
// grid control, the list and tree-view fields, the common dialogs, the
// bitmap and metafile tables), with the least bodies in
// dialogs/dialog_neighbours_pending.cpp, and the routines of the window layer
// it uses that live elsewhere.

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

// ---- List, combo and tree-view fields ---------------------------------------
// Appends copies of the items of tree view SOURCE below the root of TARGET.
void TreeCopyItems(HWND target, HWND source);

// ---- Common dialogs ---------------------------------------------------------
// Screen position of the client origin of window N (0..50), or for N = -1 of
// the top-level window that holds the active dialog (else the last active
// frame).
void WindowScreenOrigin(int n, int& x, int& y);

// ---- Bitmap and metafile tables ---------------------------------------------
// The bitmap of library bitmap handle HANDLE (1..50), nullptr when its slot
// holds none.
HBITMAP BitmapHandleBitmap(int handle);
// A copy of the enhanced metafile of metafile slot SLOT (1..20), its
// recording closed first; nullptr when the slot holds none.
HENHMETAFILE MetafileSlotCopy(int slot);

// The grid control, a higher layer, as the dialog manager uses it for grid
// fields (defined in grid/). The window-layer routines that the dialog
// manager defines for the core are declared in core/neighbours.h, included
// here for the files that define them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string_view>

#include "core/neighbours.h"

// Sets up grid field GRID from its "[Grids]" record TEXT; CONSUMED := the
// characters read, also returned.
int GridFieldSetup(HWND grid, std::string_view text, int& consumed);
// Copies the cells and settings of grid field SOURCE into TARGET.
void GridCopyState(HWND target, HWND source);
// Clears every cell of grid field GRID.
void GridClearAll(HWND grid);

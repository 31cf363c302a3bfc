// What the dialog manager uses of routines that are not written yet (the
// grid control, the later parts of the dialog manager itself) with the least
// bodies in dialogs/dialog_neighbours_pending.cpp, and the routines of the
// window layer it uses that live elsewhere.
//
// QUIL_DIALOG_ROUTINES_LANDED: the window layer (core/neighbours_pending.cpp)
// and the graphics core (graphics/graphics_neighbours_pending.cpp) still
// hold placeholder bodies of dialog routines (DialogCreate, DialogIndexById,
// DialogExtrasParse, WDialogSelect, ...). Two bodies of one routine cannot be
// linked, so the dialog manager defines those routines only once the
// placeholders are gone and this is 1; until then the library keeps the
// placeholders and no dialog can be loaded.
#pragma once

#ifndef QUIL_DIALOG_ROUTINES_LANDED
#define QUIL_DIALOG_ROUTINES_LANDED 0
#endif

#include <windows.h>

#include <commctrl.h>

#include <string_view>

#include "core/neighbours.h"

// ---- Grid control -----------------------------------------------------------
// Sets up grid field GRID from its "[Grids]" record TEXT; CONSUMED := the
// characters read, also returned.
int GridFieldSetup(HWND grid, std::string_view text, int& consumed);

// ---- Dialog manager, later parts --------------------------------------------
// Copies SOURCE's record, caption, icon, position and field contents into
// TARGET, made from the same template.
void DialogStateCopy(HWND target, HWND source);
// The numeric check of FIELD when the focus goes to TARGET: 1 refused.
int NumericFieldCheck(HWND field, HWND target, int strict);
// Puts the focus back into FIELD after TARGET took it.
void NumericFieldReject(HWND target, HWND field, int tab);
// The spin step of the up-down control's UDN_DELTAPOS for its spin buddy;
// returns the answer to the notification.
INT_PTR NumericSpinStep(HWND buddy, NMUPDOWN* notification);
// The snapshot bitmap of the dialog in table slot SLOT, nullptr when none.
HBITMAP DialogSnapshotBitmap(int slot);

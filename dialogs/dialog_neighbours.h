// What the dialog manager uses of routines that are not written yet (the
// grid control, the later parts of the dialog manager itself) with the least
// bodies in dialogs/dialog_neighbours_pending.cpp, and the routines of the
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

// Applying a dialog's extras (the RCDATA text read by
// dialogs/dialog_extras_parser.h) to the dialog window right after it has
// been created, and the resize anchors of a resizable dialog.
#pragma once

#include <windows.h>

// Parses and applies the extras of DIALOG: the RCDATA resource numbered by
// the low 16 bits of RESOURCE (nothing when there is none). TABLEINDEX is the
// dialog's slot in the dialog table, -1 for a dialog outside the table (the
// "[Menus]" initial selection then always selects the first item).
void DialogExtrasParse(HWND dialog, int resource, int tableIndex);
// Computes the resize anchors and margins of every field of DIALOG for the
// stretch field STRETCH; ALIGN non-zero aligns fields to its edges.
void DialogAnchorsCompute(HWND dialog, HWND stretch, int align);

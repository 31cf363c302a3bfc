// Small services on dialog fields that the loading, the extras and the
// dialog procedure use: the remembered focus field, field colours and numeric
// ranges.
#pragma once

#include <windows.h>

// Word 16 of DIALOG's record := FIELD, and of each enclosing dialog while
// DIALOG is a WS_CHILD whose parent is not a client window.
void DialogFocusRemember(HWND dialog, HWND field);
// WHICH 1 sets the text colour, 2 the background of CONTROL's record: red 256
// gives -1 (system colour), red -1 leaves it, else the packed RGB of the low
// bytes. Nothing for a control without a record.
void DialogFieldColours(HWND control, int which, int red, int green, int blue);
// Range of field FIELD of the current dialog (FIELD := -1 without a control
// or record); FieldRangeStore does the same on a control window.
void DialogFieldRangeSet(int& field, double lower, double upper);
bool FieldRangeStore(HWND control, double lower, double upper);

// The one dialog procedure of every dialog the library loads, of every tab
// page and of the modal copy: it turns what happens in a dialog into events
// 3, 10, 11 and the graphics-area events, keeps the current and previous
// field of the dialog record, colours fields, lays out a resizable dialog,
// switches tab pages, ends a modal show and frees the per-field resources
// when a dialog is destroyed. Beside it: tab-page attaching, the size grip,
// centring, and whether a window belongs to the running modal copy.
#pragma once

#include <windows.h>

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The answer to WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN and
// WM_CTLCOLORSTATIC: 0 (system painting) or a brush.
INT_PTR DialogFieldColourApply(HWND dialog, UINT message, HDC dc, HWND control);
// Deletes the brush handed out by the last colour answer.
void DialogFieldBrushDelete();
// The library words the opening of the main window resets: the numeric
// fields' capture request becomes 1 and the field-colour brush is forgotten.
void DialogWindowOpenReset();

// 1 when WINDOW is the running modal copy or lies inside it through WS_CHILD
// parents.
int DialogInModalClone(HWND window);
// Non-zero when DIALOG's record names a stretch field.
int DialogIsResizable(HWND dialog);
// Makes the page dialogs of every tab control of DIALOG children inside it.
void DialogTabPagesAttach(HWND dialog);
// Gives the first visible, enabled tab stop of PAGE (TAB when none) the
// focus when GIVEFOCUS, and selects its text.
void DialogPageFocusFirst(HWND tab, HWND page, int giveFocus);
// Gives every page dialog inside DIALOG back to the main client window.
void DialogPagesDetach(HWND dialog);
// Adds the size grip of a resizable dialog.
void DialogSizeGripCreate(HWND dialog);
// Replaces a pending show position of -1 by the centred position.
void DialogCentre(HWND dialog);
// Lays out the fields of a resizable DIALOG for a client area of WIDTH x
// HEIGHT, and keeps its size grip in the corner.
void DialogLayout(HWND dialog, int width, int height);

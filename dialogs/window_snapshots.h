// Window snapshots and dialog graphics areas. While a modal dialog, message
// box or common dialog covers the library's windows, the client areas of the
// visible top-level windows and of the shown dialogs that are drawing targets
// are kept in bitmaps, so that what gets uncovered is repainted from them at
// once instead of asking the blocked caller to redraw. Requests nest through
// a count per window and per dialog. Beside them: the current dialog or one
// of its fields as the drawing surface, field rectangles, dialog base units
// and the cursors of graphics-area fields.
#pragma once

#include <windows.h>

// MODE 1 takes the snapshots, 0 releases them; EXCEPT (0..50, -1 none) is a
// window left out of both. STATUS is always 0.
void WindowContentsSnapshot(int mode, int except, int& status);
// The snapshot bitmap of the dialog in table slot SLOT, nullptr when none.
HBITMAP DialogSnapshotBitmap(int slot);
// Snapshot count of window N (0..50); 0 for any other number.
int WindowSnapshotCount(int n);

// Non-zero when DIALOG or one of its fields (or the page shown by one of its
// tab controls) is a drawing target.
int DialogHasGraphicsArea(HWND dialog);
// The current dialog (FIELD 0) or its field FIELD as the surface of the GDI
// layer; WIDTH and HEIGHT its client size. FIELD := -1 on failure. (The
// graphics core reaches it through the dialog services of
// graphics/graphics_neighbours.h.)
void DialogGraphicsTarget(int& field, int& width, int& height);
// Pixel size of 4 horizontal and 8 vertical dialog units of the current
// dialog (0 without one).
void DialogBaseUnits(int& width, int& height);
// Rectangle of FIELD of the current dialog in pixels of the dialog's client
// area: KIND 1 its client area, else its window. FIELD := -1 without it.
void DialogFieldRect(int& field, int& x, int& y, int& width, int& height, int kind);

// Cursor (and SHAPE) of the dialog field that is the drawing target; nullptr
// when it has none.
HCURSOR DialogTargetFieldCursor(int& shape);
void DialogTargetFieldCursorSet(HCURSOR cursor, int shape);
// Clears the cursor of every field of every loaded dialog.
void DialogFieldCursorsClear();

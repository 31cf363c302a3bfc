// Routines of the dialog manager, the graphics core and the grid control that
// the window system calls by name; each is defined by its own layer. (The text
// editor, the grid editor and the bitmap viewer answer for their windows
// through the hooks of core/special_windows.h.) None of these waits for an
// unbuilt subsystem now; such a routine would get its placeholder body in
// core/neighbours_pending.cpp until the subsystem lands.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

// ---- Graphics core ----------------------------------------------------------
// (The drawing state, targets, colours, GDI surface and event coordinates are
// declared in graphics/graphics_state.h, graphics/colours.h,
// graphics/gdi_surface.h and graphics/coordinates.h.)
// Deletes every bitmap of the bitmap table and clears the slots.
void BitmapTableDestroyAll();

// ---- Dialog manager ---------------------------------------------------------
// The 20 words of the dialog record hung on DIALOG, nullptr when it has none.
int32_t* DialogRecordWords(HWND dialog);
// The full window handle kept for handle word WORD of DIALOG's record (15:
// the host frame), nullptr when none; and setting it (word and handle).
HWND DialogRecordHandle(HWND dialog, int word);
void DialogRecordHandleSet(HWND dialog, int word, HWND handle);
// The identifier word of DIALOG's record, 0 when it has none.
int DialogRecordIdentifier(HWND dialog);
void NumericEditClassesRegister();
void ControlClassProcsProbe();
void ControlClassAtomsProbe();
// The dialog words the main window opening resets: the numeric fields'
// capture request becomes 1 and the field-colour brush is forgotten.
void DialogWindowOpenReset();
void DialogExtrasParse(HWND dialog, int resource, int tableIndex);
int DialogIsResizable(HWND dialog);
void DialogCreate(int& resource, int identifier, int n, int hostFlag);
void DialogShow(int x, int y, int px, int py, int& type, int focus, int mode);
void DialogHide(int& index);
void DialogDestroyById(int flag, int index);
void DialogPagesDetach(HWND dialog);
int DialogIndexById(int identifier);
void DialogFieldSelectAll(HWND field);
// Loaded dialogs: their count and the window of slot 1..count.
int DialogTableCount();
HWND DialogTableWindow(int slot);
// Destroys every loaded dialog (tab pages detached first) and frees its
// record; resets the dialog table, the current dialog, the semi-modeless
// state and the dialog manager's focus and host words.
void DialogTableDestroyAll();
// Sets the owner and return links of every loaded dialog whose owner or
// return window is FROM to TO.
void DialogLinksReplace(HWND from, HWND to);
// The window of the current dialog, nullptr without one.
HWND DialogCurrentWindow();
// Deletes the dialog-field colour brush.
void DialogFieldBrushDelete();
// Cursor of the dialog field that is the drawing target (kind 3), and the
// clearing of every field cursor of every loaded dialog.
HCURSOR DialogTargetFieldCursor(int& shape);
void DialogTargetFieldCursorSet(HCURSOR cursor, int shape);
void DialogFieldCursorsClear();

// ---- Grid control -----------------------------------------------------------
void GridRegisterClasses();

// Routines of the dialog manager and the grid control that the window system
// calls by name; each is defined by its own layer. (The text editor, the grid
// editor and the bitmap viewer answer for their windows through the hooks of
// core/special_windows.h.) None of these waits for an unbuilt subsystem now;
// such a routine would get its placeholder body in core/neighbours_pending.cpp
// until the subsystem lands.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

// (The window system reaches the graphics core only through the hooks of
// core/graphics_services.h.)

// ---- Dialog manager ---------------------------------------------------------
// Words of the dialog record, in order (the window system reads some of them).
enum DialogWord : int {
    kDlgIdentifier = 0,     // the number by which the caller names the dialog
    kDlgUnused = 1,         // always 0
    kDlgShown = 2,          // 1 while shown modeless or semi-modeless
    kDlgCurrentField = 3,   // field that raised the last event or got the focus last
    kDlgPreviousField = 4,  // the current field before the last change
    kDlgNewPage = 5,        // page dialog selected by the last tab change
    kDlgOldPage = 6,        // page dialog left by the last tab change
    kDlgShowType = 7,       // DialogShowType of the last show
    kDlgOwner = 8,          // window active when shown (a handle)
    kDlgReturn = 9,         // window the focus returns to when hidden (a handle)
    kDlgGridCell = 10,      // packed cell of the last grid change; kept message parameter
    kDlgGraphicsField = 11, // 0 while events of the dialog's own graphics area are raised
    kDlgGraphicsArea = 12,  // 1 once the dialog itself is a drawing target
    kDlgMouseButton = 13,   // button of the last graphics-area mouse event
    kDlgMainAccelerators = 14, // 1: the main window's accelerators apply
    kDlgHost = 15,          // frame of the window whose contents the dialog is (a handle)
    kDlgFocusField = 16,    // field that had the focus last (a handle)
    kDlgStretchField = 17,  // control named by the "[Dialog]" line (a handle); non-zero: resizable
    kDlgMinWidth = 18,      // window width at load
    kDlgMinHeight = 19,     // window height at load
    kDialogWordCount = 20,
};

// The 20 words of the dialog record hung on DIALOG, nullptr when it has none.
int32_t* DialogRecordWords(HWND dialog);
// Hangs a zero-filled record on DIALOG and returns its words (nullptr when
// DIALOG is no window); and takes it off again, freeing it.
int32_t* DialogRecordAttach(HWND dialog);
void DialogRecordRelease(HWND dialog);
// The full window handle kept for handle word WORD of DIALOG's record
// (kDlgHost: the host frame), nullptr when none; and setting it (word and
// handle).
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

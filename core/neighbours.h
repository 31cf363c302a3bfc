// Routines of the dialog manager, the graphics core, text, grid, editor and
// bitmap viewer that the window system calls. Until those subsystems exist
// their bodies live in core/neighbours_pending.cpp, each doing the least the
// window system needs from it; a subsystem that lands removes its bodies there
// and defines the routines itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

struct WindowRecord;

// ---- Graphics core ----------------------------------------------------------
// (The drawing state, targets, colours, GDI surface and event coordinates are
// declared in graphics/graphics_state.h, graphics/colours.h,
// graphics/gdi_surface.h and graphics/coordinates.h.)
// Deletes every bitmap of the bitmap table and clears the slots.
void BitmapTableDestroyAll();
// The bitmap viewer's share of SpecialRecordRelease.
void BitmapViewerRelease(HWND frame, WindowRecord* record);

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
int YYGridSavePrompt(int window, HWND gridField);

// ---- Text editor, grid editor, bitmap viewer records ------------------------
// Words of the records of types 1 (editor) and 4 (grid editor).
HMENU SpecialRecordMenu(WindowRecord* record);
// Accelerator table WHICH: 0 the split-pane table (editor), 1 first, 2 second.
HACCEL SpecialRecordAccelerators(WindowRecord* record, int which);
// The record's status-bar field (nullptr when it has none).
HWND* SpecialRecordStatusBarField(WindowRecord* record);
HWND EditorFindReplaceDialog(WindowRecord* record);
// The inner control that takes the focus (editor control, viewer, grid).
HWND SpecialRecordFocusControl(WindowRecord* record);
// 1 when a grid editor has unsaved changes.
int SpecialRecordUnsaved(WindowRecord* record);
// Releases what the record's owner attached to FRAME (inner windows, fonts,
// files, menus, toolbars) and frees the record; used when a special window
// turns back into a plain one.
void SpecialRecordRelease(HWND frame, WindowRecord* record);
// The text editor's answers for its own records (type 1), defined by the
// editor: its menu bar, accelerator table WHICH (0 pane, 1 own, 2 user), its
// status-bar word, its focus control, and the release of everything it
// attached to FRAME (the record freed).
HMENU EditorRecordMenu(WindowRecord* record);
HACCEL EditorRecordAccelerators(WindowRecord* record, int which);
HWND* EditorRecordStatusBarField(WindowRecord* record);
HWND EditorRecordFocusControl(WindowRecord* record);
void EditorRecordRelease(HWND frame, WindowRecord* record);
int EditorSavePrompt(HWND frame, WindowRecord* record);
// The grid editor's answers for its own records (type 4), defined by the
// grid editor: its menu bar, accelerator table WHICH (1 own, 2 caller's),
// its status-bar word, its grid, whether a save prompt is due (Save enabled
// and the grid modified), and the release of everything it attached to
// FRAME (the record freed).
HMENU GridEditorRecordMenu(WindowRecord* record);
HACCEL GridEditorRecordAccelerators(WindowRecord* record, int which);
HWND* GridEditorRecordStatusBarField(WindowRecord* record);
HWND GridEditorRecordFocusControl(WindowRecord* record);
int GridEditorRecordUnsaved(WindowRecord* record);
void GridEditorRecordRelease(HWND frame, WindowRecord* record);
// Editor buffers (the store is editor/editor_buffers.h): count and current
// buffer of an editor window.
int EditorBufferCount(WindowRecord* record);
int EditorBufferCurrent(WindowRecord* record);
// Makes buffer TO of editor window N current: its text switched in
// (YYEditBufferSwitch), the current file name stored for FROM and fetched for
// TO (YYEditBufferPutName, YYEditBufferGetName) and the title updated
// (EditorTitleUpdate). 0 when the switch was refused (no memory for the
// text of FROM; a box said so), else 1.
int EditorBufferMakeCurrent(HWND frame, WindowRecord* record, int n, int from, int to);

// Pieces the text editor's and the grid editor's windows share: menus built
// item by item with an accelerator table from the entries present, the
// placing of an editor's menu bar on its frame or, for a split-window pane,
// on the enclosing split windows, a pane taking the focus, the window's four
// toolbars placed around the inner window, a child frame's stored placement
// on maximise and restore, what a modal editor's destroy takes from the
// window table, the steps both editors' creation takes, and the answers
// each kind of special window gives for its record.
#pragma once

#include <windows.h>

#include <vector>

#include "core/window_table.h"

// One virtual-key accelerator entry (FCONTROL, FSHIFT in FLAGS).
struct MenuKey {
    BYTE flags;
    WORD key;
    int command;
};
// The accelerator table of KEYS (none flash the menu); nullptr without entries.
HACCEL MenuKeysCreate(const std::vector<MenuKey>& keys);
// Appends a text item or a separator when PRESENT.
void MenuItemAppend(HMENU menu, int id, const char* text, bool present = true);
void MenuSeparatorAppend(HMENU menu, bool present = true);
// An editor's menu bar: the caller's menu MENUID (its items given their
// identifiers) unless MODE is 1, else an empty bar; STATUS := 3 when the menu
// cannot be loaded, 2 when one was asked for in modal mode.
HMENU SpecialMenuBarLoad(int menuId, int mode, int& status);
// Inserts POPUP with identifier ID and TEXT at POSITION of BAR.
void MenuPopupInsert(HMENU bar, int position, HMENU popup, int id, const char* text);
// An editor's BAR on FRAME (window WINDOW): a frame that is no child takes it
// and the window table's old menu is destroyed with its help texts; a pane of
// split window SPLIT gives it to every enclosing split window up to SPLIT
// that has no menu, each noting FRAME as its special pane.
void SpecialMenuPlace(HWND frame, HMENU bar, int window, bool childStyle, int split);
// A pane FRAME got the focus: it becomes the focus pane of its split window
// and every enclosing one, and the outermost frame shows the menu of FRAME's
// window, or else of the first enclosing split window that has one.
void SpecialPaneFocus(HWND frame);

// Places the window's toolbars TOOLBARS (top, left, right, bottom) of window
// WINDOW inside AREA (frame client pixels) and takes their room from it.
void SpecialToolbarsPlace(int window, const HWND toolbars[4], RECT& area);
// Places the editor's STATUS_BAR (when any, with INVALIDATE_STATUS repainted
// too) at the bottom of AREA and its own TOOLBAR (when any) at the top, then
// the window's four toolbars, each taking its room from AREA.
void SpecialBarsPlace(int window, HWND statusBar, bool invalidateStatus, HWND toolbar, const HWND toolbars[4],
                      RECT& area);
// A child frame F (window number known) going to KIND (SIZE_...): a maximise
// stores the normal placement once, a restore puts a stored one back, a
// minimise deactivates F's caption and activates the holding frame's.
void SpecialChildPlacement(HWND f, WPARAM kind);
// Releases BAR, the menu bar of the special window FRAME (window N): its help
// texts, its place in the window table and on the frame, and in every split
// window that took it over for a pane; then destroys it. Nothing for no bar.
void SpecialMenuBarRelease(HWND frame, int n, HMENU bar);
// The window-table side of a modal editor's destroy: F's drawing DC, the rows
// of the top-level windows F owns and its own row, its menu, keys, help texts
// and activation owner; the main window becomes current when F's was.
void SpecialModalRowsRelease(HWND f, int n);
// The end of a modal editor's loop: FRAME, when still alive (the loop ended
// on WM_QUIT), is destroyed, its RECORD freed, and the other windows are
// enabled again, the semi-modal dialog (else the main window) activated.
void SpecialModalEnd(HWND frame, void* record);

// ---- What the owners of special windows answer for their records ------------
// The text editor (type 1), the bitmap viewer (type 2) and the grid editor
// (type 4) each install the answers for their record type while the program
// starts, from the file that attaches such records, so that no record exists
// without its answers. A type without answers (or a null record) has no menu
// bar, accelerators, status-bar word, focus control or modeless dialog, closes
// without a prompt, and its release does nothing.
struct SpecialRecordAnswers {
    HMENU (*menu)(WindowRecord* record) = nullptr;
    // Accelerator table WHICH: 0 the split-pane table (editor), 1 own, 2 caller's.
    HACCEL (*accelerators)(WindowRecord* record, int which) = nullptr;
    // The record's status-bar word.
    HWND* (*statusBarField)(WindowRecord* record) = nullptr;
    // The inner control that takes the focus (editor control, viewer, grid).
    HWND (*focusControl)(WindowRecord* record) = nullptr;
    // A modeless dialog of the window that sees its keyboard messages first
    // (the editor's find and replace box), nullptr when none is up.
    HWND (*modelessDialog)(WindowRecord* record) = nullptr;
    // The split window holding pane N (frame FRAME) closes: the prompts for
    // unsaved work; 1 when the pane may close, 0 when the user cancelled.
    int (*closeQuery)(HWND frame, WindowRecord* record, int n) = nullptr;
    // Releases what the owner attached to FRAME (inner windows, fonts, files,
    // menus, toolbars) and frees the record; used when a special window turns
    // back into a plain one.
    void (*release)(HWND frame, WindowRecord* record) = nullptr;
};
// Installs the answers for records of TYPE and gives the ones they replace
// (none for a type outside the table, whose answers are not kept).
SpecialRecordAnswers SpecialRecordAnswersSet(int type, const SpecialRecordAnswers& answers);

// The answers as the window system asks them, for the record's type.
HMENU SpecialRecordMenu(WindowRecord* record);
HACCEL SpecialRecordAccelerators(WindowRecord* record, int which);
HWND* SpecialRecordStatusBarField(WindowRecord* record);
HWND SpecialRecordFocusControl(WindowRecord* record);
HWND SpecialRecordModelessDialog(WindowRecord* record);
int SpecialRecordCloseQuery(HWND frame, WindowRecord* record, int n);
void SpecialRecordRelease(HWND frame, WindowRecord* record);

// Creation steps both editors share.
// Where a new editor's FRAME stands: a frame that is no child can have a menu;
// a child frame only when it is a pane of split windows whose outermost one
// (OUTER_SPLIT, with IS_PANE set) is no child itself.
bool SpecialMenuAllowed(HWND frame, bool& isPane, HWND& outerSplit);
// An editor inside another window cannot be modal: MODE becomes 2 and STATUS
// 5, a modal one first taking the snapshot of the window contents.
void SpecialModeless(int& mode, int& status);
// Which client windows had an update region before a pane's editor was made;
// Restore validates those that had none again inside OUTER (a split window).
struct SpecialUpdateStates {
    bool had[kWindowRows] = {};
    void Take();
    void Restore(HWND outer) const;
};
// In MODE 1 the window N's toolbars are destroyed (FRAME resized to its client
// when any was, a minimised one too only when RESIZE_ICONIC); otherwise the
// editor takes them into TOOLBARS.
void SpecialToolbarsTake(HWND frame, int n, int mode, HWND toolbars[4], bool resizeIconic);
// Shows a new editor's FRAME in MODE: counts a semi-modal one, enables the
// frame (REFOCUS, when given, taking the focus again then), shows and
// activates it and, modal or semi-modal, disables the other windows.
void SpecialEditorShow(HWND frame, int mode, HWND refocus);

// Window-procedure steps both editors share.
// The editor's STATUS_BAR (when any) in a menu loop: ENTERING clears it into
// a simple pane for the item help, leaving shows its parts again.
void SpecialMenuLoopStatus(HWND statusBar, bool entering);
// FRAME took the focus: it is the last active frame, no dialog is active, and
// CONTROL (when alive) gets the focus.
void SpecialFrameFocus(HWND frame, HWND control);

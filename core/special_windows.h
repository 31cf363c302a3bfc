// Pieces the text editor's and the grid editor's windows share: menus built
// item by item with an accelerator table from the entries present, the
// placing of an editor's menu bar on its frame or, for a split-window pane,
// on the enclosing split windows, a pane taking the focus, the window's four
// toolbars placed around the inner window, a child frame's stored placement
// on maximise and restore, and what a modal editor's destroy takes from the
// window table.
#pragma once

#include <windows.h>

#include <vector>

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
// A child frame F (window number known) going to KIND (SIZE_...): a maximise
// stores the normal placement once, a restore puts a stored one back, a
// minimise deactivates F's caption and activates the holding frame's.
void SpecialChildPlacement(HWND f, WPARAM kind);
// The window-table side of a modal editor's destroy: F's drawing DC, the rows
// of the top-level windows F owns and its own row, its menu, keys, help texts
// and activation owner; the main window becomes current when F's was.
void SpecialModalRowsRelease(HWND f, int n);

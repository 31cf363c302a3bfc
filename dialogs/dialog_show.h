// Showing, hiding and unloading the current dialog, and the modal show that
// runs a copy of the loaded dialog made from the same template; the disabling
// of the other windows around every modal activity; the dialog's title and
// icon; and the smaller routines on the current dialog: focus, tab pages,
// size, tab stops, the copy of one dialog's state into another.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

// Public: shows the current dialog at IX, IY (screen pixels for a top-level
// dialog, 0..9999 of the parent's client area for a dialog inside a window;
// -1 centres; default -1), with the focus on field IFOCUS (default 0: the
// dialog) as show type ITYPE (1 modal, 2 modeless (default), 3
// semi-modeless). Errors 1005, 1014, 1016, 1046, 1047 under "WDialogShow".
void WDialogShow(const int* ix = nullptr, const int* iy = nullptr, const int* ifocus = nullptr,
                 const int* itype = nullptr);
// Shows the current dialog with WDialogShow at the screen position of the
// client origin of window IWINDOW (-1: of the top-level window that holds the
// active dialog, else the last active frame).
void YYDialogShowPlaced(int ifocus, int itype, int iwindow);
// The engine. TYPE in, status out: 0 shown, -1 the type was changed (shown
// all the same), -2 host hidden, -3 host holds a contents dialog, -4 the
// dialog is a window's contents and MODE is 0. MODE 0: a show by the caller;
// non-zero: by the window managers; 2 leaves the focus alone.
void DialogShow(int x, int y, int px, int py, int& type, int focus, int mode);

// Public: hides the current dialog; 1005, 1047, 1069 under "WDialogHide".
void WDialogHide();
// Hides the dialog in table slot INDEX (-1 the current one). Status out for
// -1: 0 done, -1 the dialog is a window's contents (nothing done); any
// index: -2 the dialog is an attached tab page of another dialog. An
// explicit index is left unchanged on success.
void DialogHide(int& index);
// Public: hides and destroys the current dialog and its tab pages (IFLAG 1:
// the pages stay loaded); no dialog is current afterwards. 1005, 1047, 1069
// under "WDialogUnload".
void WDialogUnload(const int* iflag = nullptr);
// Destroys the dialog in table slot INDEX (-1 the current one) after giving
// its attached tab pages back to the main window.
void DialogDestroyById(int flag, int index);
// Destroys dialog WINDOW, its pages (FLAG 0) and the dialogs that depend on
// it, frees its record and closes its table slot.
void DialogDestroy(HWND window, int flag, int index);
// Sets the owner and return links of every loaded dialog whose owner or
// return window is FROM to TO.
void DialogLinksReplace(HWND from, HWND to);

// Copies SOURCE's record, caption, icon, position and field contents into
// TARGET, made from the same template.
void DialogStateCopy(HWND target, HWND source);

// Disables every shown top-level library dialog but EXCEPT (and, WITHWINDOWS
// 1, every visible library frame but EXCEPT).
void OtherWindowsDisable(HWND except, int withWindows);
// Enables them again; while a semi-modeless dialog is up only WINDOW.
void OtherWindowsEnable(HWND window, int withWindows);

// Public: sets the current dialog's title (when given, trailing blanks
// removed) and large icon (ICON: -1 keep (default), 0 the program's "icon1",
// else the icon resource of that number). 1005, 1015 under "WDialogTitle".
void WDialogTitle(std::optional<std::string_view> title = std::nullopt, const int* icon = nullptr);
// The engine; ICON in, -2 out when the icon does not load.
void DialogTitleSet(int& icon, int setTitle, std::string_view text);

// Selects the whole text of an edit-like or combo field (a multi-line edit
// only scrolls its caret into view).
void DialogFieldSelectAll(HWND field);
// Focus to FIELD of the current dialog with the caret before character
// POSITION (0-based; -1 selects the whole text). FIELD := -1 without it.
void DialogFieldFocus(int& field, int position);
// Selects the enabled tab item of TABFIELD whose page is PAGE (-1 out when
// there is none); TABFIELD := -1 when there is no such control.
void DialogTabSelect(int& tabField, int& page);
// Enables or disables the tab item whose page is PAGE.
void DialogTabEnable(int& tabField, int& page, int enable);
// Sets the value the track-bar reading returns for a missing selection.
void TrackBarUndefinedSet(int value);
// Resizes the current dialog's client area to WIDTH x HEIGHT dialog units
// (0 or less keeps that extent); STATUS -1 for a window's contents.
void DialogResize(int width, int height, int& status);
// Sets COUNT tab stops of a multi-line edit or list box; FIELD := -1 for any
// other control.
void DialogFieldTabStops(int& field, const int* stops, int count);

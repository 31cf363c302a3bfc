// The table of loaded dialogs, the record hung on each dialog window, the
// pending show that the dialog initialisation reads, loading a dialog from
// its DIALOG resource and selecting the current dialog.
//
// Every dialog the library shows is first loaded into a hidden modeless
// dialog window that stays alive until it is unloaded; every other dialog
// routine works on the current dialog of this table.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "core/dialog_services.h"

// (The words of the dialog record, kDlg..., are named in core/dialog_services.h.)

// Show types.
enum DialogShowType : int { kShowModal = 1, kShowModeless = 2, kShowSemiModeless = 3 };

// The record of a loaded dialog: its 20 words (DialogWord), tagged so that it can
// never be taken for a field record, the DIALOG resource it came from and the
// icon it owns.
struct DialogRecord {
    uint32_t tag;
    int32_t words[kDialogWordCount];
    // The full window handles of the handle words (owner, return, host, focus
    // and stretch field); the other entries stay null.
    HWND handles[kDialogWordCount];
    int32_t resource; // DIALOG resource number the dialog was loaded from
    HICON titleIcon;  // large icon loaded by the title routine (owned; destroyed with the record)
};

// Window handles in record words. A window handle's value fits 32 bits, and
// the word shows it as the record always has (0: none); the full handle is
// kept beside it and is the one read back, so no handle is ever rebuilt from a
// 32-bit word. Set and read handle words only through these two.
void DialogHandleSet(DialogRecord* record, int word, HWND handle);
HWND DialogHandleGet(const DialogRecord* record, int word);
// The same by dialog window (for the window system, which knows no records).
HWND DialogRecordHandle(HWND dialog, int word);
void DialogRecordHandleSet(HWND dialog, int word, HWND handle);

// The record hung on DIALOG, nullptr when it has none (or another kind).
DialogRecord* DialogRecordOf(HWND dialog);
// The identifier word of DIALOG's record, 0 when it has none.
int DialogRecordIdentifier(HWND dialog);
// Allocates a zero-filled record, hangs it on DIALOG and returns its words;
// nullptr when DIALOG is no window. Used by the loader and by whoever parses
// a dialog's extras for a dialog outside the table.
int32_t* DialogRecordAttach(HWND dialog);
// Unhooks the record from DIALOG and frees it.
void DialogRecordRelease(HWND dialog);
// Unhooks the record from DIALOG without freeing it (its destroyer frees it).
void DialogRecordUnhook(HWND dialog);
// The same for a record not (or no longer) hung on a window.
DialogRecord* DialogRecordNew();
void DialogRecordHang(HWND dialog, DialogRecord* record);
void DialogRecordFree(DialogRecord* record);

constexpr int kDialogTableSize = 100;

// The loaded dialogs in load order: slots 1..count in use, no gaps; slot 0
// holds the running modal copy (0 otherwise).
struct DialogTable {
    std::array<HWND, kDialogTableSize + 1> slot{};
    int count = 0;
    int current = 0;  // slot of the current dialog, 0 none
    int creating = 0; // creation flag: no field change is recorded while set
    int exitDialog = 0; // dialog (or tab page) whose push button ended the last modal show
};
extern DialogTable gDialogTable;

// The show in progress: focus field and position, read by the modal copy's
// initialisation and by the centring.
struct DialogPendingShow {
    int focus = 0;
    int x = 0;
    int y = 0;
};
extern DialogPendingShow gDialogPendingShow;

// Public: loads DIALOG resource IDIALOG as dialog IDENT (default IDIALOG)
// owned by library window IWINDOW (default 0; -1: DialogOwnerWindow) and
// makes it current. Errors 1087, 1007, 1088 under "WDialogLoad".
void WDialogLoad(int idialog, const int* ident = nullptr, const int* iwindow = nullptr);
// Public: makes loaded dialog IDENT current; 1008 when it is not loaded.
void WDialogSelect(int ident);

// The engine of WDialogLoad: DialogCreate with host flag 0.
void DialogLoad(int& resource, int identifier, int n);
// Loads one dialog. RESOURCE in; out unchanged on success, -1 table full,
// -2 no DIALOG resource, -3 no window created. HOSTFLAG 1: the dialog is the
// contents of window N. A dialog already loaded under IDENTIFIER is only
// made current.
void DialogCreate(int& resource, int identifier, int n, int hostFlag);
// First slot 0..count whose dialog has IDENTIFIER, -1 none.
int DialogIndexById(int identifier);
// Current index := DialogIndexById; IDENTIFIER := -1 when not loaded.
void DialogSelectById(int& identifier);
// Number 0..50 of the library window whose frame or client is the parent of
// the current dialog; 0 when none.
void DialogParentWindow(int& n);
// The window that owns a new dialog, message box or common dialog.
HWND DialogOwnerWindow();

// Loaded dialogs: their count and the window of slot 1..count.
int DialogTableCount();
HWND DialogTableWindow(int slot);
// The window of the current dialog, nullptr without one.
HWND DialogCurrentWindow();
// The control with id FIELD of the current dialog, nullptr without one.
HWND DialogCurrentField(int field);
// The 20 words of the dialog record hung on DIALOG, nullptr when none.
int32_t* DialogRecordWords(HWND dialog);
// Destroys every loaded dialog (tab pages detached first) and frees its
// record; resets the table, the current dialog, the semi-modeless state and
// the focus and host words.
void DialogTableDestroyAll();

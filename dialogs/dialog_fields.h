// Dialog fields: the record hung on every control of a loaded dialog, the
// field types and states, the set-up of every control when a dialog window
// is initialised, and the routines that classify a field, read its state from
// its styles and set its state.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dialogs/dialog_table.h"

// The record of one control, allocated zero-filled with the defaults below
// and hung on the control; tagged so that it can never be taken for a dialog
// record.
struct FieldRecord {
    uint32_t tag;
    double value;         // last numeric value put into or normalised in the field
    double lowerLimit;    // 1000.0: with upperLimit -1000.0 no range applies
    double upperLimit;
    double smallStep;     // 1.0 for the six numeric classes, else 0.0
    double largeStep;     // 5.0 for the six numeric classes, else 0.0
    int32_t stepOrigin;
    int32_t hasValue;     // 1: holds a non-empty text put or typed as a value
    HWND upDownBuddy;     // the up-down control of a spin field
    WNDPROC previousProc; // what FieldSubclassProc passes every message to
    int32_t graphicsArea; // 1 once the field is a drawing target
    int32_t foreColour;   // packed RGB, -1 system colour
    int32_t backColour;
    int32_t tabPressed;   // 1 when Tab was the last key pressed in a numeric field
    int32_t textLimit;
    int32_t state;        // the recorded DialogFieldState
    int32_t tabStopCount;
    int32_t* tabStops;    // tabStopCount tab stops, owned
    char* format;         // NUL-terminated output format, owned (shared by a modal copy)
    int32_t reportChanges; // 1: every text change is reported as event 10
    int32_t rightMargin;  // distances to the dialog's client edges at load
    int32_t bottomMargin;
    int32_t anchors;      // resize anchor bits (below)
    int32_t flags;        // "[Flags]" value; bit 0: no default button on double-click
    HCURSOR cursor;       // cursor over a graphics-area field
    int32_t cursorShape;
    int32_t focusTracked; // 1 once FieldSubclassProc receives the field's messages
    int32_t focused;      // then 1 from the field's WM_SETFOCUS to its WM_KILLFOCUS
};

// Resize anchors: the edge moves with the change of the dialog's client size.
enum FieldAnchor : int { kAnchorLeft = 1, kAnchorRight = 2, kAnchorTop = 4, kAnchorBottom = 8 };

// Field types.
enum DialogFieldType : int {
    kFieldOther = 0,
    kFieldLabel = 1,
    kFieldStatic = 2,
    kFieldGroupBox = 3,
    kFieldString = 4,
    kFieldInteger = 5,
    kFieldReal = 6,
    kFieldDouble = 7,
    kFieldPushButton = 8,
    kFieldCheckBox = 9,
    kFieldRadioButton = 10,
    kFieldCombo = 11,
    kFieldList = 12,
    kFieldTab = 13,
    kFieldProgress = 14,
    kFieldGrid = 15,
    kFieldTrackBar = 16,
    kFieldTree = 17,
};

// Field states.
enum DialogFieldState : int { kStateDisabled = 0, kStateEnabled = 1, kStateReadOnly = 2, kStateHidden = 3 };

// The record hung on CONTROL, nullptr when it has none.
FieldRecord* FieldRecordOf(HWND control);
// Allocates a record with the defaults (both steps 0.0) and hangs it on
// CONTROL; returns it (nullptr for no window).
FieldRecord* FieldRecordCreate(HWND control);
// Unhooks CONTROL's record and frees it with its tab stops and, unless
// KEEPFORMAT, its format.
void FieldRecordRelease(HWND control, bool keepFormat);

// The field type of CONTROL (any window).
int FieldTypeOf(HWND control);
// 1 for EDIT and the six numeric edit classes.
bool FieldIsEditLike(HWND control);
// The button kind (style & 15) of a BUTTON control, -1 for any other control.
int ButtonKindOf(HWND control);

// WM_INITDIALOG work: RECORD is the dialog record of a dialog being loaded,
// nullptr for the modal copy. Returns the answer to WM_INITDIALOG.
INT_PTR DialogInitFields(HWND dialog, DialogRecord* record);
// Engine routines on the current dialog; FIELD := -1 when no such control.
void DialogFieldTypeGet(int& field, int& type);
void DialogFieldStateGet(int& field, int& state);
void DialogFieldStateSet(int& field, int state, int deferred);
// The same on a control window.
int FieldStateOf(HWND control);
void FieldStateSet(HWND control, int state, int deferred);
// Public: sets the state of FIELD of the current dialog; 1005, 1006 under
// "WDialogFieldState".
void WDialogFieldState(int field, int state);
// Turns every pixel of the colour of BITMAP's top-left pixel into the button
// face colour.
void ButtonBitmapTransparent(HBITMAP bitmap);
// 1 when FIELD (extended to its up-down buddy) lies wholly inside RECT (its
// parent's client coordinates), 2 when it overlaps it, 0 when wholly outside.
int DialogFieldInRect(HWND field, const RECT& rect);

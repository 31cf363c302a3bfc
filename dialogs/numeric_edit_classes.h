// The library's six numeric edit classes "INTEGEREDIT", "INTEGERSPIN",
// "REALEDIT", "REALSPIN", "DOUBLEEDIT" and "DOUBLESPIN": copies of the
// platform EDIT class with their own window procedures. A field of one of
// them keeps its number in its field record, made when the control is
// created; the classes must be registered before any dialog that uses them
// is created. They accept only the characters of a number, rewrite the text
// in a normal form when the focus leaves, refuse to let the focus leave while
// the text is not a number or lies outside the field's range, press the
// dialog's default button on Enter, and (the spin classes) carry an up-down
// control that steps the value.
//
// Also here: the words of the numeric-field check, shared with the dialog
// procedure and the button procedure, and the pressing of a dialog's default
// button.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>

// Class names, in the order of the number kinds integer, real, double, each
// as edit and as spin class.
constexpr std::array<const char*, 6> kNumericClassNames = {"INTEGEREDIT", "INTEGERSPIN", "REALEDIT",
                                                           "REALSPIN",    "DOUBLEEDIT",  "DOUBLESPIN"};
// Atoms of the six classes (0 until registered), in the order above.
extern std::array<ATOM, 6> gNumericClassAtoms;

// Index 0..5 of CONTROL's class in kNumericClassNames, -1 for any other.
int NumericClassOf(HWND control);
// The field type (5 integer, 6 real, 7 double) of a numeric class index.
inline int NumericFieldType(int index) { return index < 0 ? 0 : 5 + index / 2; }
// 1 for the spin classes.
inline bool NumericIsSpin(int index) { return index >= 0 && (index & 1) == 1; }

// Registers the six classes unless "INTEGEREDIT" already is; records the EDIT
// class's window procedure and atom.
void NumericEditClassesRegister();

LRESULT CALLBACK IntegerEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK IntegerSpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RealEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RealSpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DoubleEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DoubleSpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Words of the numeric-field check (one set for all dialogs).
struct NumericCheckState {
    HWND pendingRejected = nullptr; // rejection waiting for the push button that took the focus
    HWND pendingTab = nullptr;      // field that was invalid when a tab control took the focus
    int rejectionRunning = 0;       // set while a rejection runs: the check accepts everything
    int captureRequest = 1;         // the next numeric field that gets the focus saves its text
    char savedText[256] = {};       // text and value of that field when it got the focus
    double savedValue = 0.0;
    int gridBusy = 0;               // set by the grid's own procedures around their work
    int rejectGuard = 1;            // cleared while the button procedure rejects by itself
    int savedTabSelection = -1;     // tab noted when a tab change is refused
};
extern NumericCheckState gNumericCheck;

// Presses the default push button of the outermost dialog that holds WINDOW.
void DialogDefaultButtonPress(HWND window);

// The check of numeric field FIELD when the focus goes to TARGET: 1 when the
// change is refused (the focus is then back in FIELD), else 0. Any other
// control passes.
int NumericFieldCheck(HWND field, HWND target, int strict);
// Puts the focus back into FIELD (text selected) after TARGET took it; TAB 1
// makes TARGET the default button for the moment when it is a push button.
void NumericFieldReject(HWND target, HWND field, int tab);
// The step of spin field BUDDY for the up-down notification NOTIFICATION;
// returns the answer to it (1: handled, the up-down's own position kept).
INT_PTR NumericSpinStep(HWND buddy, NMUPDOWN* notification);
// Steps of a spin field of the current dialog; FIELD := -1 when it is not of
// the spin class of the routine.
void DialogIntegerSpinSteps(int& field, int smallStep, int largeStep, int origin);
void DialogRealSpinSteps(int& field, float smallStep, float largeStep);
void DialogDoubleSpinSteps(int& field, double smallStep, double largeStep);

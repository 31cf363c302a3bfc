// The library's message box: six button sets, four icons, a default button
// named by its answer, and the user's answer kept as the last answer of the
// public dialog words.
#pragma once

#include <string_view>

// The public dialog words, kept apart from the dialog table so that public
// routines can test them without touching windows. The first five are 0
// before the library starts and again after shut-down; the three values
// returned for blank numeric fields are set by start-up and keep them.
struct DialogStatus {
    int currentDialogId = 0; // identifier of the current dialog; 0 none
    int exitField = 0;       // control id that ended the last modal show
    int previousField = 0;   // previous field at the end of the last modal show; 0 after a message box
    int exitDialog = 0;      // dialog whose push button ended the last modal show
    int lastAnswer = 0;      // answer of the last message box or file dialog
    int undefinedInteger = 0; // -999 after start-up
    float undefinedReal = 0.0f;   // -999.0 after start-up
    double undefinedDouble = 0.0; // -999.0 after start-up
};
extern DialogStatus gDialogStatus;

// Message box types (button sets) and their answers:
// 0 OK (1); 1 OK, Cancel (1, 0); 2 Retry, Cancel (1, 0); 3 Yes, No (1, 2);
// 4 Yes, No, Cancel (1, 2, 0); 5 Abort, Retry, Ignore (2, 1, 0).
// Any other type shows OK only.
// Icons: 1 stop, 2 question, 3 exclamation, 4 information; others none.
enum MessageBoxCode : int {
    kBoxOk = 0,
    kBoxOkCancel = 1,
    kBoxRetryCancel = 2,
    kBoxYesNo = 3,
    kBoxYesNoCancel = 4,
    kBoxAbortRetryIgnore = 5,
    kIconStop = 1,
    kIconQuestion = 2,
    kIconExclamation = 3,
    kIconInformation = 4,
};

// Shows MESSAGE (trailing blanks removed) under TITLE with button set TYPE,
// icon ICON and the button whose answer is DEFAULTANSWER as the default. The
// answer becomes gDialogStatus.lastAnswer; previousField := 0. The box is
// owned by DialogOwnerWindow(); the other library windows are disabled and
// covered graphics windows repaint from snapshots while it is up. A box that
// cannot be shown reports 1004 under "WMessageBox" and makes the last answer
// -1.
void WMessageBox(int type, int icon, int defaultAnswer, std::string_view message,
                 std::string_view title);

// The engine: the position (1 to 3) of the default button for TYPE and
// DEFAULTANSWER.
int MessageBoxDefaultPosition(int type, int defaultAnswer);
// Shows the box; ANSWER := 1, 2 or 0 as above, -1 when no box was shown.
void MessageBoxRun(int type, int icon, int buttonPosition, int& answer,
                   std::string_view message, std::string_view title);
// The Windows flags (button set, icon, default button) of a box.
unsigned MessageBoxFlags(int type, int icon, int buttonPosition);
// The answer for a Windows result of MessageBox.
int MessageBoxAnswer(int windowsResult);

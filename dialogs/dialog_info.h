// Small queries on the dialog state: the fields that ended the last modal
// show, the current dialog, the last answer of a message box or file dialog,
// the position, size and kind of the current dialog, and a track bar's range.
#pragma once

// Integer result by CODE: 1 exit field, 2 previous field, 3 current dialog,
// 4 last answer, 5 exit dialog, 6 and 7 x and y, 8 and 9 width and height of
// the current dialog, 10 its kind; any other code 0.
int YYDialogInfo(int code);
// CODE 1 the current dialog's current field, 2 its previous field, 3 the
// dialog whose push button ended the last modal show; other codes 0.
void DialogEventFields(int code, int& value);
// Minimum and maximum of track bar FIELD of the current dialog; FIELD := -1
// when there is no such track bar.
void DialogTrackBarRangeGet(int& field, int& minimum, int& maximum);
// Kind of the current dialog: 0 none, 1 top-level, 2 child of a window of
// another class, 3 child of a dialog, 4 a window's contents.
int DialogKind();

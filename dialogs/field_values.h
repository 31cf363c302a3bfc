// Reading and writing the contents of the fields of the current dialog by
// kind of value: strings, numbers, check boxes, radio groups, track bars,
// menus (list and combo boxes) and images, clearing a field, giving it the
// focus and setting its range. Each public routine checks that a dialog is
// current (1005), calls an engine routine that addresses the control by its
// id and maps the engine's status to the library's error codes under its own
// name. The engines set the id to -1 when the control is missing or of the
// wrong kind; -2 stands for an empty value or a missing item.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string_view>

#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"

// Library words of the field routines.
struct FieldValueState {
    int trackBarUndefined = 0; // returned for a missing track-bar selection
};
extern FieldValueState gFieldValueState;

// ---- public routines -----------------------------------------------------------
void WDialogPutString(int field, std::string_view text);
// TEXT := the window text, cut or blank-padded (blanks on 1006).
void WDialogGetString(int field, std::span<char> text);
void WDialogGetStringLength(int field, int& length);
// Numbers are written left-justified: integers with "(I11)", reals and
// doubles with FORMAT when it is given and not blank, else the field's own.
// 1009 when the value lies outside the field's range (the field unchanged).
void WDialogPutInteger(int field, int value);
void WDialogPutReal(int field, float value, std::string_view format = {});
void WDialogPutDouble(int field, double value, std::string_view format = {});
// 1010 for a blank field: VALUE := the blank value (-999). A text that gives
// no number of the type read reports the conversion's code (12, 11, or 4 for
// a number the type cannot hold) and leaves VALUE unchanged: the value read
// is always the number the field shows.
void WDialogGetInteger(int field, int& value);
void WDialogGetReal(int field, float& value);
void WDialogPutCheckBox(int field, int state);
void WDialogGetCheckBox(int field, int& state);
void WDialogPutRadioButton(int field);
// POSITION := 1-based position of the checked button of FIELD's group.
void WDialogGetRadioButton(int field, int& position);
void WDialogPutTrackBar(int field, int position, const int* start = nullptr, const int* end = nullptr);
void WDialogGetTrackBar(int field, int& position, int* start = nullptr, int* end = nullptr);
// Fills a list or combo box with the first COUNT OPTIONS (trailing blanks
// removed) and selects option SELECTED (1-based); with SELECTED 0 an editable
// combo shows TEXT when it is given.
void WDialogPutMenu(int field, std::span<const std::string_view> options, int count, int selected,
                    std::optional<std::string_view> text = std::nullopt);
// SELECTED := 1-based selection (0: a typed combo text that is no option);
// TEXT, when not empty, := its text blank-padded.
void WDialogGetMenu(int field, int& selected, std::span<char> text = {});
void WDialogClearField(int field);
// Focus to FIELD with the caret before character POSITION (1-based); absent:
// the whole text selected.
void WDialogSetField(int field, const int* position = nullptr);
// Range of FIELD; both absent: no range.
void WDialogRangeInteger(int field, const int* lower = nullptr, const int* upper = nullptr);
// KIND 1 bitmap resource (default), 2 icon resource (0: "ICON1"), 3 library
// bitmap handle, 4 metafile slot, 5 "KVBMETAFILE" resource.
void WDialogPutImage(int field, int identifier, const int* kind = nullptr);

// ---- the frame of the public routines ---------------------------------------------
// True, with error 1005 under NAME, when no dialog is current.
bool DialogNotCurrent(std::string_view name);

// What DialogFieldCall returns when no dialog is current (CALL not made).
constexpr int kFieldCallNoDialog = -3;

// Runs the engine call CALL(id) on FIELD for the public routine NAME and
// reports an id it set to -1 as an unknown field; returns the id it left.
template <class Call>
int FieldCall(int field, std::string_view name, Call&& call)
{
    int id = field;
    call(id);
    if (id == -1)
        YYErrorReport(kErrorFieldIdentifier, name);
    return id;
}

// FieldCall on a field of the current dialog: without one, error 1005 and
// kFieldCallNoDialog.
template <class Call>
int DialogFieldCall(int field, std::string_view name, Call&& call)
{
    if (DialogNotCurrent(name))
        return kFieldCallNoDialog;
    return FieldCall(field, name, call);
}

// ---- engine routines -------------------------------------------------------------
// Puts TEXT and VALUE with FORMAT (empty: none) into FIELD; no event 10.
void DialogFieldPutText(int& field, double value, std::string_view text, std::string_view format);
// What DialogFieldGetNumber leaves in the field id for a text that gives no
// number of the kind asked for.
constexpr int kFieldNoNumber = -4;
// Number of FIELD read as a number of KIND: the field's own value when it is
// a numeric field whose text was not edited since, else its text's number.
// The id becomes -2 when the text is empty, kFieldNoNumber when the text gives
// no number of KIND (CODE, when given, := the conversion's code: 12 not a
// number, 4 one that KIND cannot hold, ...); VALUE is then unchanged.
void DialogFieldGetNumber(int& field, double& value, FieldNumberKind kind = FieldNumberKind::kDouble,
                          int* code = nullptr);
// Output format for reals and doubles (at most FORMAT's size, NUL-ended).
void DialogFieldFormat(int& field, std::span<char> format);
// -2 when VALUE lies outside FIELD's range.
void DialogFieldRangeCheck(int& field, double value);
void DialogFieldTextLength(int& field, int& length);
// Window text of FIELD into BUFFER (NUL-ended, at most its size less one).
void DialogFieldGetText(int& field, std::span<char> buffer);
void DialogCheckBoxGet(int& field, int& state);
void DialogCheckBoxPut(int& field, int state);
// First and last member of the radio group of BUTTON.
void DialogRadioGroupBounds(HWND button, HWND& first, HWND& last);
void DialogRadioGet(int& field, int& position);
void DialogRadioPut(int& field);
void DialogTrackBarGet(int& field, int& position, int& start, int& end);
void DialogTrackBarPut(int& field, int position, const int* start, const int* end);
// 1 single-selection list box, 2 drop-down list combo, 3 editable combo, 4
// multiple-selection list box, -1 any other window.
int DialogListKind(HWND control);
void DialogListAddItem(HWND control, std::string_view text);
// Selects 0-based INDEX; false when the control refuses it.
bool DialogListSetSelection(HWND control, int index);
void DialogListGet(int& field, int& selected, std::span<char> text);
void DialogComboGet(int& field, int& selected, std::span<char> text);
void DialogComboPutText(HWND combo, std::string_view text);
// -2 when the image cannot be made.
void DialogFieldPutImage(int& field, int identifier, int kind);
void DialogFieldClear(int& field);
void DialogProgressPut(int& field, int value, int mode);
void DialogProgressRange(int& field, int low, int high);
void DialogTrackBarRange(int& field, int minimum, int maximum, int ticFrequency);
void DialogTrackBarSteps(int& field, int line, int page);
void DialogTabGet(int& field, int& page);
void DialogFieldOptionSet(int& field, int option, int value);

// True for a static control that shows an image (bitmap, icon or enhanced
// metafile); TYPE := its image type. Its window text names a resource, so
// setting the text would replace the image.
bool IsImageStatic(HWND control, UINT& type);
// Frees IMAGE of image type TYPE (nothing for nullptr).
void ImageDelete(HANDLE image, UINT type);

// Field services used by loading, extras and the dialog procedure: the
// remembered focus field, field colours and numeric ranges.
#include "dialogs/field_services.h"

#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"

namespace {

bool IsClientWindow(HWND w)
{
    char cls[32];
    return w && GetClassNameA(w, cls, sizeof cls) > 0 && lstrcmpiA(cls, "QUILCLIENT") == 0;
}

} // namespace

void DialogFocusRemember(HWND dialog, HWND field)
{
    for (HWND d = dialog; d;) {
        if (DialogRecord* r = DialogRecordOf(d))
            DialogHandleSet(r, kDlgFocusField, field);
        if (!(GetWindowLongA(d, GWL_STYLE) & WS_CHILD))
            return;
        HWND parent = GetParent(d);
        if (!parent || IsClientWindow(parent))
            return;
        d = parent;
    }
}

void DialogFieldColours(HWND control, int which, int red, int green, int blue)
{
    FieldRecord* f = FieldRecordOf(control);
    if (!f || red == -1)
        return;
    int colour = red == 256 ? -1 : (red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF);
    if (which == 1)
        f->foreColour = colour;
    else if (which == 2)
        f->backColour = colour;
}

bool FieldRangeStore(HWND control, double lower, double upper)
{
    FieldRecord* f = FieldRecordOf(control);
    if (!f)
        return false;
    f->lowerLimit = lower;
    f->upperLimit = upper;
    return true;
}

void DialogFieldRangeSet(int& field, double lower, double upper)
{
    HWND d = DialogCurrentWindow();
    HWND control = d ? GetDlgItem(d, field) : nullptr;
    if (!control || !FieldRangeStore(control, lower, upper))
        field = -1;
}

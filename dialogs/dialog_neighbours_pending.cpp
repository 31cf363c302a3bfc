// Least bodies of the routines declared in dialogs/dialog_neighbours.h whose
// owners are not written yet. Each does what loading and the dialog
// procedure need from it now; the owner replaces it.
#include "dialogs/dialog_neighbours.h"

#include <cstring>

#include "dialogs/dialog_table.h"

// The grid control is not built: a "[Grids]" record reads nothing and the
// reader goes on with the next line.
int GridFieldSetup(HWND, std::string_view, int& consumed)
{
    consumed = 0;
    return consumed;
}

// Until the show routines exist, only the record words are copied.
void DialogStateCopy(HWND target, HWND source)
{
    DialogRecord* t = DialogRecordOf(target);
    DialogRecord* s = DialogRecordOf(source);
    if (t && s)
        std::memcpy(t->words, s->words, sizeof t->words);
}

// Numeric fields behave as plain edits for now: every focus change passes.
int NumericFieldCheck(HWND, HWND, int)
{
    return 0;
}

void NumericFieldReject(HWND, HWND field, int)
{
    if (field && IsWindow(field))
        SetFocus(field);
}

// No spin field has an up-down control yet: the notification goes on.
INT_PTR NumericSpinStep(HWND, NMUPDOWN*)
{
    return 0;
}

// No window snapshots are taken yet.
HBITMAP DialogSnapshotBitmap(int)
{
    return nullptr;
}

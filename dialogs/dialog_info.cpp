// Dialog information (see dialogs/dialog_info.h).
#include "dialogs/dialog_info.h"

#include <windows.h>

#include <commctrl.h>

#include "core/library_state.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/message_box.h"
#include "graphics/coordinates.h"
#include "graphics/graphics_state.h"

namespace {

// Position (MODE 2) or size (MODE 3) of the current dialog: screen pixels
// for a top-level dialog, 0..9999 of the parent's client area for a dialog
// inside a library window.
void DialogGeometry(int mode, int& a, int& b)
{
    int isChild = 0, parent = 0;
    WindowRectQuery(mode, a, b, isChild, parent);
    if (!isChild || parent < 0)
        return;
    int before = gLibraryState.currentWindow;
    bool switched = parent != before;
    if (switched)
        YYWINSEL(parent, 0);
    int nx = 0, ny = 0;
    YYPixelToNormal(a, b, nx, ny);
    a = nx;
    b = ny;
    if (switched && WindowIsOpen(before))
        YYWINSEL(before, 0);
}

} // namespace

int DialogKind()
{
    HWND d = DialogCurrentWindow();
    if (!d)
        return 0;
    int32_t* words = DialogRecordWords(d);
    if (words && words[kDlgHost])
        return 4;
    if (!(GetWindowLongA(d, GWL_STYLE) & WS_CHILD))
        return 1;
    HWND parent = GetParent(d);
    return (parent && ClassAtomOf(parent) == ClassAtomOf(d)) ? 3 : 2;
}

void DialogEventFields(int code, int& value)
{
    int32_t* words = DialogRecordWords(DialogCurrentWindow());
    switch (code) {
    case 1:
        value = words ? words[kDlgCurrentField] : 0;
        break;
    case 2:
        value = words ? words[kDlgPreviousField] : 0;
        break;
    case 3:
        value = gDialogTable.exitDialog;
        break;
    default:
        value = 0;
        break;
    }
}

int YYDialogInfo(int code)
{
    int a = 0, b = 0;
    switch (code) {
    case 1:
        return gDialogStatus.exitField;
    case 2:
        return gDialogStatus.previousField;
    case 3:
        return gDialogStatus.currentDialogId;
    case 4:
        return gDialogStatus.lastAnswer;
    case 5:
        return gDialogStatus.exitDialog;
    case 6:
    case 7:
        DialogGeometry(2, a, b);
        return code == 6 ? a : b;
    case 8:
    case 9:
        DialogGeometry(3, a, b);
        return code == 8 ? a : b;
    case 10:
        return DialogKind();
    default:
        return 0;
    }
}

void DialogTrackBarRangeGet(int& field, int& minimum, int& maximum)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.trackBar) {
        field = -1;
        return;
    }
    minimum = static_cast<int>(SendMessageA(c, TBM_GETRANGEMIN, 0, 0));
    maximum = static_cast<int>(SendMessageA(c, TBM_GETRANGEMAX, 0, 0));
}

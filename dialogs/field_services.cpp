// Field services used by loading, extras and the dialog procedure: the
// remembered focus field, field colours, numeric ranges, tree views filled
// from menu resources.
#include "dialogs/field_services.h"

#include <string>

#include "core/menus.h"
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

void TreeFillFromMenu(HWND tree, HTREEITEM parent, HMENU menu, int select)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info))
            continue;
        int length = GetMenuStringA(menu, i, nullptr, 0, MF_BYPOSITION);
        std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
        if (length > 0)
            GetMenuStringA(menu, i, text.data(), length + 1, MF_BYPOSITION);
        TVINSERTSTRUCTA ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        ins.item.pszText = text.data();
        ins.item.lParam = static_cast<LPARAM>(info.wID);
        ins.item.stateMask = TVIS_EXPANDED;
        ins.item.state = (info.hSubMenu && (info.fState & MFS_CHECKED)) ? TVIS_EXPANDED : 0;
        auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        if (!item)
            continue;
        if (static_cast<int>(info.wID) == select)
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        if (info.hSubMenu)
            TreeFillFromMenu(tree, item, info.hSubMenu, select);
    }
}

void DialogTreeFromMenu(HWND tree, int menuId, int select)
{
    if (menuId == 0 || !tree)
        return;
    HMENU menu = MenuLoad(menuId);
    if (!menu)
        return;
    TreeFillFromMenu(tree, TVI_ROOT, menu, select);
    DestroyMenu(menu);
}

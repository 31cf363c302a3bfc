// Least bodies of the routines declared in dialogs/dialog_neighbours.h whose
// owners are not written yet. Each does what the dialog manager needs from it
// now; the owner replaces it.
#include "dialogs/dialog_neighbours.h"

#include <string>

#include "core/events.h"
#include "core/window_table.h"

namespace {

void TreeCopyBelow(HWND target, HTREEITEM targetParent, HWND source, HTREEITEM sourceParent)
{
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(
        source, TVM_GETNEXTITEM, sourceParent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(sourceParent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageA(source, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        char text[1025] = {};
        TVITEMA tv{};
        tv.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = sizeof text;
        tv.stateMask = TVIS_EXPANDED;
        if (!SendMessageA(source, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
            continue;
        TVINSERTSTRUCTA ins{};
        ins.hParent = targetParent ? targetParent : TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = text;
        ins.item.lParam = tv.lParam;
        ins.item.iImage = tv.iImage;
        ins.item.iSelectedImage = tv.iSelectedImage;
        auto copy = reinterpret_cast<HTREEITEM>(
            SendMessageA(target, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        if (!copy)
            continue;
        TreeCopyBelow(target, copy, source, item);
        if (tv.state & TVIS_EXPANDED)
            SendMessageA(target, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(copy));
        if (SendMessageA(source, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LPARAM>(item))
            SendMessageA(target, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(copy));
    }
}

} // namespace

// Until the tree-view routines land: the items with their texts, data,
// images, expansion and the selection, copied in order.
void TreeCopyItems(HWND target, HWND source)
{
    if (target && source)
        TreeCopyBelow(target, nullptr, source, nullptr);
}

// Until the common dialogs land: the client origin on the screen, found as
// they describe it.
void WindowScreenOrigin(int n, int& x, int& y)
{
    HWND w = nullptr;
    if (n >= 0 && n <= kLastWindow) {
        w = gWindowTable.client[n];
    } else if (n == -1) {
        w = (gActiveDialog && IsWindow(gActiveDialog)) ? gActiveDialog : gWindowSystem.lastActiveFrame;
        while (w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) && GetParent(w) && GetParent(GetParent(w)))
            w = GetParent(GetParent(w));
        if (w && WindowTableIndex(w) >= 0)
            w = gWindowTable.client[WindowTableIndex(w)];
    }
    POINT p{0, 0};
    if (w)
        ClientToScreen(w, &p);
    x = p.x;
    y = p.y;
}

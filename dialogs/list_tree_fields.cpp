// List-box selection, field colours and tree views addressed by item
// identifiers (see dialogs/list_tree_fields.h).
#include "dialogs/list_tree_fields.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "core/menus.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_services.h"
#include "dialogs/field_subclass.h"
#include "dialogs/field_values.h"

TreeFieldState gTreeFieldState;

namespace {

// Longest item text a tree copy carries.
constexpr int kTreeTextLength = 32767;

// List box FIELD of the current dialog when its kind is one of KINDS
// (DialogListKind); FIELD := -1 otherwise.
HWND ListOf(int& field, std::initializer_list<int> kinds)
{
    HWND c = DialogCurrentField(field);
    if (!c || std::find(kinds.begin(), kinds.end(), DialogListKind(c)) == kinds.end()) {
        field = -1;
        return nullptr;
    }
    return c;
}

// Tree view FIELD of the current dialog; FIELD := -1 otherwise.
HWND TreeOf(int& field)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.treeView) {
        field = -1;
        return nullptr;
    }
    return c;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT which)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
}

// The item of TREE with IDENTIFIER; FIELD := -2 when there is none.
HTREEITEM ItemOf(HWND tree, int& field, int identifier)
{
    HTREEITEM item = TreeFindItem(tree, identifier);
    if (!item)
        field = -2;
    return item;
}

// The item with IDENTIFIER of tree view FIELD (TREE := the tree) when it
// has children; FIELD := -1, -2 or -3 (no children) otherwise.
HTREEITEM BranchOf(int& field, int identifier, HWND& tree)
{
    tree = TreeOf(field);
    HTREEITEM item = tree ? ItemOf(tree, field, identifier) : nullptr;
    if (item && !Next(tree, item, TVGN_CHILD)) {
        field = -3;
        return nullptr;
    }
    return item;
}

void Repaint(HWND control)
{
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
}

bool ItemSelected(HWND list, int index)
{
    return SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

} // namespace

// ---- list boxes ------------------------------------------------------------------------

void DialogListCount(int& field, int& count)
{
    if (HWND list = ListOf(field, {1, 4}))
        count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
}

void DialogListItemSelected(int& field, int index, int& state)
{
    if (HWND list = ListOf(field, {1, 4}))
        state = index < 0 ? -1 : static_cast<int>(SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(index), 0));
}

void DialogListItemSelect(int& field, int index, int state)
{
    HWND list = ListOf(field, {4});
    if (!list)
        return;
    const bool wanted = state == 1;
    if (index >= 0 && ItemSelected(list, index) != wanted)
        SendMessageA(list, LB_SETSEL, wanted ? TRUE : FALSE, index);
}

void DialogListRangeSelect(int& field, int first, int last, int state)
{
    HWND list = ListOf(field, {4});
    if (!list)
        return;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    if (first > last)
        return;
    const bool wanted = state == 1;
    if (last < 65536) {
        SendMessageA(list, LB_SELITEMRANGE, wanted ? TRUE : FALSE, MAKELPARAM(first, last));
        return;
    }
    for (int i = first; i <= last; ++i)
        if (ItemSelected(list, i) != wanted)
            SendMessageA(list, LB_SETSEL, wanted ? TRUE : FALSE, i);
}

// ---- colours -----------------------------------------------------------------------------

void DialogFieldColoursPut(int& field, int fr, int fg, int fb, int br, int bg, int bb)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    DialogFieldColours(c, 1, fr, fg, fb);
    DialogFieldColours(c, 2, br, bg, bb);
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---- tree views ----------------------------------------------------------------------------

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

void TreeCopyItems(HWND target, HTREEITEM parent, HWND source, HTREEITEM item)
{
    std::vector<char> text(kTreeTextLength + 1);
    for (; item; item = Next(source, item, TVGN_NEXT)) {
        TVITEMA tv{};
        tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM | TVIF_CHILDREN;
        tv.hItem = item;
        tv.pszText = text.data();
        tv.cchTextMax = static_cast<int>(text.size());
        tv.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
        text[0] = '\0';
        if (!SendMessageA(source, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
            continue;
        TVINSERTSTRUCTA ins{};
        ins.hParent = parent ? parent : TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM | TVIF_CHILDREN;
        ins.item.pszText = text.data();
        ins.item.state = tv.state & (TVIS_SELECTED | TVIS_EXPANDED);
        ins.item.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
        ins.item.lParam = tv.lParam;
        ins.item.cChildren = tv.cChildren;
        auto copy = reinterpret_cast<HTREEITEM>(SendMessageA(target, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        if (!copy)
            continue;
        if (tv.state & TVIS_SELECTED)
            SendMessageA(target, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(copy));
        if (HTREEITEM child = Next(source, item, TVGN_CHILD))
            TreeCopyItems(target, copy, source, child);
    }
}

HTREEITEM TreeFindItemFrom(HWND tree, HTREEITEM item, int identifier)
{
    for (; item; item = Next(tree, item, TVGN_NEXT)) {
        TVITEMA tv{};
        tv.mask = TVIF_HANDLE | TVIF_PARAM;
        tv.hItem = item;
        if (SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) &&
            static_cast<int>(tv.lParam) == identifier)
            return item;
        if (HTREEITEM child = Next(tree, item, TVGN_CHILD))
            if (HTREEITEM found = TreeFindItemFrom(tree, child, identifier))
                return found;
    }
    return nullptr;
}

HTREEITEM TreeFindItem(HWND tree, int identifier)
{
    return tree ? TreeFindItemFrom(tree, Next(tree, nullptr, TVGN_ROOT), identifier) : nullptr;
}

void TreeUniqueIdsSet(int on)
{
    gTreeFieldState.uniqueIds = on;
}

void DialogTreeInsert(int& field, int reference, int mode, int newId, std::string_view text)
{
    HWND tree = TreeOf(field);
    if (!tree)
        return;
    std::string label(TrimRight(text));
    TVINSERTSTRUCTA ins{};
    HTREEITEM anchor = nullptr;
    if (!Next(tree, nullptr, TVGN_ROOT)) {
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_FIRST;
    } else {
        anchor = ItemOf(tree, field, reference);
        if (!anchor)
            return;
        HTREEITEM parent = Next(tree, anchor, TVGN_PARENT);
        if (mode == 3) {
            ins.hParent = anchor;
            ins.hInsertAfter = TVI_LAST;
        } else if (mode == 1) {
            HTREEITEM before = Next(tree, anchor, TVGN_PREVIOUS);
            ins.hParent = parent ? parent : TVI_ROOT;
            ins.hInsertAfter = before ? before : TVI_FIRST;
        } else {
            ins.hParent = parent ? parent : TVI_ROOT;
            ins.hInsertAfter = anchor;
        }
        if (gTreeFieldState.uniqueIds == 1 && TreeFindItem(tree, newId)) {
            field = -3;
            return;
        }
    }
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = label.data();
    ins.item.lParam = newId;
    SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins));
    if (anchor && mode == 3) {
        // The reference's children indicator written back: its expand button shows.
        TVITEMA tv{};
        tv.mask = TVIF_HANDLE | TVIF_CHILDREN;
        tv.hItem = anchor;
        if (SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
            SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    }
    Repaint(tree);
}

void DialogTreeDelete(int& field, int identifier)
{
    HWND tree = TreeOf(field);
    if (HTREEITEM item = tree ? ItemOf(tree, field, identifier) : nullptr)
        SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void DialogTreeSetText(int& field, int identifier, std::string_view text)
{
    HWND tree = TreeOf(field);
    HTREEITEM item = tree ? ItemOf(tree, field, identifier) : nullptr;
    if (!item)
        return;
    std::string label(TrimRight(text));
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = label.data();
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

void DialogTreeGet(int& field, int& identifier, int textWanted, std::span<char> text)
{
    HWND tree = TreeOf(field);
    if (!tree)
        return;
    HTREEITEM item = Next(tree, nullptr, TVGN_CARET);
    if (!item) {
        field = -2;
        return;
    }
    std::vector<char> buffer(textWanted ? text.size() + 1 : 1, '\0');
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_PARAM | (textWanted ? TVIF_TEXT : 0);
    tv.hItem = item;
    tv.pszText = buffer.data();
    tv.cchTextMax = static_cast<int>(buffer.size());
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    identifier = static_cast<int>(tv.lParam);
    if (textWanted)
        PutText(text, buffer.data());
}

void DialogTreeSelect(int& field, int identifier)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    HTREEITEM item = ClassAtomOf(c) == gControlClasses.treeView ? TreeFindItem(c, identifier) : nullptr;
    if (!item) {
        field = -2;
        return;
    }
    SendMessageA(c, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Repaint(c);
}

void DialogTreeBranchState(int& field, int identifier, int& state)
{
    HWND tree = nullptr;
    if (HTREEITEM item = BranchOf(field, identifier, tree)) {
        LRESULT bits = SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
        state = (bits & TVIS_EXPANDED) ? 2 : 1;
    }
}

void DialogTreeExpand(int& field, int identifier, int how)
{
    HWND tree = nullptr;
    if (HTREEITEM item = BranchOf(field, identifier, tree))
        SendMessageA(tree, TVM_EXPAND, how == 1 ? TVE_COLLAPSE : TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

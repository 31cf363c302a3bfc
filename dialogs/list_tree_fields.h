// Engine routines of multiple-selection list boxes, field colours and tree
// views whose items carry an integer identifier (kept as the item's data) by
// which the caller addresses them. Each routine addresses a field by id in
// the current dialog and returns its status in the field argument: -1 the
// control is missing or not of the needed class, -2 no item with the
// identifier (or none selected), -3 as stated per routine.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <span>
#include <string_view>

// The unique-identifier switch: 1 (the start-up value) keeps identifiers
// unique within a tree; 0 lets several items share one, searches then find
// the first in depth-first order.
struct TreeFieldState {
    int uniqueIds = 1;
};
extern TreeFieldState gTreeFieldState;

// ---- list boxes ------------------------------------------------------------------------
// COUNT := the number of items of list box FIELD.
void DialogListCount(int& field, int& count);
// STATE := positive when item INDEX (0-based) is selected, 0 when not, -1
// for an index outside the list.
void DialogListItemSelected(int& field, int index, int& state);
// Selects (STATE 1) or deselects (any other) item INDEX of a
// multiple-selection list box when its state differs.
void DialogListItemSelect(int& field, int index, int state);
// The same for the items FIRST to LAST, both clamped to the list.
void DialogListRangeSelect(int& field, int first, int last, int state);

// ---- colours -----------------------------------------------------------------------------
// Text colour (FR, FG, FB) and background (BR, BG, BB) of any field: a red of
// 256 means the system colour, -1 leaves that colour; then the field and its
// children are repainted.
void DialogFieldColoursPut(int& field, int fr, int fg, int fb, int br, int bg, int bb);

// ---- tree views ----------------------------------------------------------------------------
// Fills TREE from menu resource MENUID (0: nothing) and selects the item
// whose command id is SELECT.
void DialogTreeFromMenu(HWND tree, int menuId, int select);
// Appends MENU's items (recursively) below PARENT of TREE: text, command id
// as identifier, expanded when a sub-menu's item is checked.
void TreeFillFromMenu(HWND tree, HTREEITEM parent, HMENU menu, int select);
// Copies ITEM of SOURCE and each sibling after it, with their subtrees,
// below PARENT of TARGET: text, selected and expanded state, identifier and
// children indicator; the copy of the selected item is selected.
void TreeCopyItems(HWND target, HTREEITEM parent, HWND source, HTREEITEM item);
// The first item with IDENTIFIER in depth-first order (an item, its subtree,
// then its next sibling), nullptr when none; TreeFindItemFrom searches from
// ITEM and its following siblings.
HTREEITEM TreeFindItem(HWND tree, int identifier);
HTREEITEM TreeFindItemFrom(HWND tree, HTREEITEM item, int identifier);
void TreeUniqueIdsSet(int on);

// Inserts an item with NEWID and TEXT relative to the item REFERENCE: MODE 1
// before it, 3 as its last child, any other after it (in an empty tree as
// the first root item whatever the reference); -2 reference missing, -3 NEWID
// exists while identifiers are unique.
void DialogTreeInsert(int& field, int reference, int mode, int newId, std::string_view text);
// Deletes the item with its subtree.
void DialogTreeDelete(int& field, int identifier);
void DialogTreeSetText(int& field, int identifier, std::string_view text);
// IDENTIFIER := that of the selected item and, when TEXTWANTED, TEXT := its
// text blank-padded; -2 when none is selected.
void DialogTreeGet(int& field, int& identifier, int textWanted, std::span<char> text);
// Selects the item and repaints; -2 also for a field that is not a tree view.
void DialogTreeSelect(int& field, int identifier);
// STATE := 2 expanded, 1 collapsed; -3 for an item without children.
void DialogTreeBranchState(int& field, int identifier, int& state);
// HOW 1 collapses, any other value expands; -3 for an item without children.
void DialogTreeExpand(int& field, int identifier, int how);

// The list and tree-view field routines on real controls: selection of list
// items (the range clamped to the list, one by one past 65535), field
// colours, trees filled from a menu, the statuses of the tree routines in one
// table, and a tree carried through a modal copy with everything it shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "dialogs/field_values.h"
#include "dialogs/list_tree_fields.h"
#include "pilot_steps.h"
#include "windowed_fixture.h"

namespace {

constexpr int kMultiList = 621, kTree = 622, kSingleList = 623, kEdit = 624, kLongList = 625;

// One tree item as the user sees it.
struct TreeLine {
    int depth;
    std::string text;
    int id;
    bool expanded, selected;
    int children; // the children indicator
    bool operator==(const TreeLine&) const = default;
};

void Dump(HWND tree, HTREEITEM item, int depth, std::vector<TreeLine>& out)
{
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        char text[100] = {};
        TVITEMA tv{};
        tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM | TVIF_CHILDREN;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = sizeof text;
        tv.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        out.push_back({depth, text, static_cast<int>(tv.lParam), (tv.state & TVIS_EXPANDED) != 0,
                       TreeView_GetSelection(tree) == item, tv.cChildren});
        Dump(tree, TreeView_GetChild(tree, item), depth + 1, out);
    }
}

std::vector<TreeLine> Dump(HWND tree)
{
    std::vector<TreeLine> out;
    Dump(tree, TreeView_GetRoot(tree), 0, out);
    return out;
}

std::string TreeText(const std::vector<TreeLine>& lines)
{
    std::string s;
    for (const TreeLine& l : lines)
        s += std::string(static_cast<size_t>(l.depth) * 2, ' ') + l.text + " #" + std::to_string(l.id) +
             (l.expanded ? " +" : "") + (l.selected ? " *" : "") + " c" + std::to_string(l.children) + "\n";
    return s;
}

class ListTreeFields : public WindowedDialogs {
protected:
    void SetUp() override
    {
        WindowedDialogs::SetUp();
        TreeUniqueIdsSet(1);
        dialog_ = Load(620);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override
    {
        TreeUniqueIdsSet(1);
        WindowedDialogs::TearDown();
    }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    HWND dialog_ = nullptr;
};

TEST_F(ListTreeFields, ATreeFromAMenuShowsCheckedSubMenusExpanded)
{
    std::vector<TreeLine> lines = Dump(Control(kTree));
    ASSERT_EQ(lines.size(), 7u) << TreeText(lines);
    const std::vector<std::pair<std::string, bool>> expected = {
        {"Open", true}, {"One", false}, {"Deep", false}, {"Leaf", false}, {"Shut", false}, {"Two", false},
        {"Plain", false}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].text, expected[i].first);
        EXPECT_EQ(lines[i].expanded, expected[i].second) << lines[i].text;
    }
    EXPECT_EQ(lines[1].id, 731);
    EXPECT_EQ(lines[3].id, 741);
    EXPECT_EQ(lines[3].depth, 2);
    EXPECT_TRUE(lines[6].selected) << "the extras select 733";
    EXPECT_EQ(lines[6].id, 733);
}

TEST_F(ListTreeFields, TreeRoutinesAndTheirStatuses)
{
    int clear = kTree;
    DialogFieldClear(clear);
    // One call of a tree routine: the field id it is given and the status
    // expected in it afterwards (the id itself when it succeeded).
    struct Case {
        std::string what;
        int field;
        std::function<void(int&)> call;
        int status;
    };
    int branch = 0, selected = 0;
    FixedText<12> text;
    const std::vector<Case> cases = {
        {"first root in an empty tree, whatever the reference", kTree, [](int& f) { DialogTreeInsert(f, 999, 3, 1, "root"); }, kTree},
        {"last child of 1", kTree, [](int& f) { DialogTreeInsert(f, 1, 3, 2, "child"); }, kTree},
        {"before 2", kTree, [](int& f) { DialogTreeInsert(f, 2, 1, 3, "before"); }, kTree},
        {"after 2", kTree, [](int& f) { DialogTreeInsert(f, 2, 0, 4, "after"); }, kTree},
        {"root after 1", kTree, [](int& f) { DialogTreeInsert(f, 1, 7, 5, "second root"); }, kTree},
        {"first root, before 1", kTree, [](int& f) { DialogTreeInsert(f, 1, 1, 6, "first root"); }, kTree},
        {"reference missing", kTree, [](int& f) { DialogTreeInsert(f, 77, 0, 8, "x"); }, -2},
        {"identifier exists", kTree, [](int& f) { DialogTreeInsert(f, 5, 3, 2, "again"); }, -3},
        {"no such control", 999, [](int& f) { DialogTreeInsert(f, 1, 0, 9, "x"); }, -1},
        {"a list is no tree", kMultiList, [](int& f) { DialogTreeDelete(f, 1); }, -1},
        {"nothing selected", kTree, [&](int& f) { DialogTreeGet(f, selected, 1, text); }, -2},
        {"select a missing item", kTree, [](int& f) { DialogTreeSelect(f, 77); }, -2},
        {"select in a list", kMultiList, [](int& f) { DialogTreeSelect(f, 1); }, -2},
        {"branch state of a leaf", kTree, [&](int& f) { DialogTreeBranchState(f, 4, branch); }, -3},
        {"expand a leaf", kTree, [](int& f) { DialogTreeExpand(f, 6, 2); }, -3},
        {"branch state of a missing item", kTree, [&](int& f) { DialogTreeBranchState(f, 77, branch); }, -2},
        {"set text", kTree, [](int& f) { DialogTreeSetText(f, 5, "renamed   "); }, kTree},
        {"set text of a missing item", kTree, [](int& f) { DialogTreeSetText(f, 77, "x"); }, -2},
        {"delete a missing item", kTree, [](int& f) { DialogTreeDelete(f, 77); }, -2},
    };
    for (const Case& c : cases) {
        int field = c.field;
        c.call(field);
        EXPECT_EQ(field, c.status) << c.what;
    }
    std::vector<TreeLine> lines = Dump(Control(kTree));
    const std::vector<std::pair<int, int>> order = {{0, 6}, {0, 1}, {1, 3}, {1, 2}, {1, 4}, {0, 5}};
    ASSERT_EQ(lines.size(), order.size()) << TreeText(lines);
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(lines[i].depth, order[i].first) << TreeText(lines);
        EXPECT_EQ(lines[i].id, order[i].second) << TreeText(lines);
    }
    EXPECT_EQ(lines[1].children, 1) << "the branch shows its button";
    EXPECT_EQ(lines[5].text, "renamed");

    // Expanding and collapsing a branch.
    int field = kTree;
    DialogTreeBranchState(field, 1, branch);
    EXPECT_EQ(branch, 1);
    for (int how : {2, 1, 5}) {
        DialogTreeExpand(field, 1, how);
        DialogTreeBranchState(field, 1, branch);
        EXPECT_EQ(branch, how == 1 ? 1 : 2) << "how " << how;
    }
    EXPECT_EQ(field, kTree);

    // Selection and reading back.
    DialogTreeSelect(field, 5);
    DialogTreeGet(field, selected, 1, text);
    EXPECT_EQ(field, kTree);
    EXPECT_EQ(selected, 5);
    EXPECT_EQ(text.view(), "renamed     ");

    // With the switch at 0 an identifier may repeat; searches find the first
    // in depth-first order (item 2 below 1, not the new one below 5).
    TreeUniqueIdsSet(0);
    DialogTreeInsert(field, 5, 3, 2, "duplicate");
    EXPECT_EQ(field, kTree);
    DialogTreeSelect(field, 2);
    HWND tree = Control(kTree);
    HTREEITEM chosen = TreeView_GetSelection(tree);
    EXPECT_EQ(TreeFindItem(tree, 1), TreeView_GetParent(tree, chosen));

    // Deleting takes the subtree with it.
    DialogTreeDelete(field, 1);
    EXPECT_EQ(TreeFindItem(tree, 3), nullptr);
    EXPECT_EQ(TreeFindItem(tree, 4), nullptr);
    EXPECT_NE(TreeFindItem(tree, 2), nullptr) << "the duplicate below 5 is left";
    EXPECT_EQ(field, kTree);
}

TEST_F(ListTreeFields, ATreeThroughAModalCopyKeepsWhatItShows)
{
    HWND tree = Control(kTree);
    int field = kTree;
    DialogTreeInsert(field, 733, 3, 900, "under Plain");
    DialogTreeInsert(field, 900, 0, 901, "sibling");
    DialogTreeExpand(field, 733, 2);
    DialogTreeSelect(field, 901);
    // An item that says it has children without holding any.
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_CHILDREN;
    tv.hItem = TreeFindItem(tree, 731);
    tv.cChildren = 1;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    ASSERT_EQ(field, kTree);
    const std::vector<TreeLine> before = Dump(tree);

    std::vector<TreeLine> inCopy;
    ModalPilot pilot([&](HWND copy) {
        HWND copied = GetDlgItem(copy, kTree);
        inCopy = Dump(copied);
        // The user selects another item and collapses "Open" in the copy.
        TreeView_SelectItem(copied, TreeFindItem(copied, 732));
        TreeView_Expand(copied, TreeFindItem(copied, 733), TVE_COLLAPSE);
        ModalPilot::Click(copy, IDOK);
    });
    ShowAt(100, 100, kShowModal);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(inCopy, before) << "copy:\n" << TreeText(inCopy) << "loaded:\n" << TreeText(before);

    // Back in the loaded dialog: what the user left in the copy.
    std::vector<TreeLine> after = Dump(tree);
    ASSERT_EQ(after.size(), before.size()) << TreeText(after);
    field = kTree;
    int selected = 0;
    DialogTreeGet(field, selected, 0, {});
    EXPECT_EQ(selected, 732);
    int state = 0;
    DialogTreeBranchState(field, 733, state);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(after[1].children, 1) << TreeText(after);
}

TEST_F(ListTreeFields, ListItemsAreSelectedOneByOneOrAsARangeClampedToTheList)
{
    HWND list = Control(kMultiList);
    for (int i = 0; i < 10; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
    auto selection = [list] {
        std::string s;
        for (int i = 0; i < 10; ++i)
            s += SendMessageA(list, LB_GETSEL, i, 0) > 0 ? 'x' : '.';
        return s;
    };
    int field = kMultiList, count = 0, state = 9;
    DialogListCount(field, count);
    EXPECT_EQ(count, 10);
    DialogListItemSelect(field, 3, 1);
    DialogListItemSelected(field, 3, state);
    EXPECT_GT(state, 0);
    DialogListItemSelected(field, 4, state);
    EXPECT_EQ(state, 0);
    DialogListItemSelected(field, 10, state);
    EXPECT_EQ(state, -1);
    DialogListItemSelected(field, -1, state);
    EXPECT_EQ(state, -1);
    DialogListItemSelect(field, 3, 7); // any other state deselects
    EXPECT_EQ(selection(), "..........");
    DialogListRangeSelect(field, 2, 5, 1);
    EXPECT_EQ(selection(), "..xxxx....");
    DialogListRangeSelect(field, -5, 0, 1);
    EXPECT_EQ(selection(), "x.xxxx....");
    DialogListRangeSelect(field, 4, 2147483647, 1);
    EXPECT_EQ(selection(), "x.xxxxxxxx") << "the last index is clamped to the list";
    DialogListRangeSelect(field, 3, 2147483647, 0);
    EXPECT_EQ(selection(), "x.x.......");
    DialogListRangeSelect(field, 8, 2, 1); // an empty range
    EXPECT_EQ(selection(), "x.x.......");
    EXPECT_EQ(field, kMultiList);

    // A single-selection list counts but takes no multiple selection.
    field = kSingleList;
    DialogListCount(field, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(field, kSingleList);
    DialogListItemSelect(field, 0, 1);
    EXPECT_EQ(field, -1);
    field = kEdit;
    DialogListCount(field, count);
    EXPECT_EQ(field, -1);
}

TEST_F(ListTreeFields, RangesPastTheSixteenBitLimitAreSetItemByItem)
{
    HWND list = Control(kLongList);
    constexpr int n = 65540;
    SendMessageA(list, LB_SETCOUNT, n, 0);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), n);
    int field = kLongList;
    DialogListRangeSelect(field, 65530, 70000, 1);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 10);
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 65529, 0), 0);
    EXPECT_GT(SendMessageA(list, LB_GETSEL, 65539, 0), 0);
    DialogListRangeSelect(field, 65535, 65536, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 8);
    EXPECT_GT(SendMessageA(list, LB_GETSEL, 65534, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 65536, 0), 0);
}

TEST_F(ListTreeFields, FieldColoursAreStoredAndShownAtOnce)
{
    Show(dialog_);
    HWND edit = Control(kEdit);
    int field = kEdit;
    DialogFieldColoursPut(field, 255, 0, 0, 0, 0, 255);
    EXPECT_EQ(field, kEdit);
    FieldRecord* f = FieldRecordOf(edit);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->foreColour, 0x0000FF);
    EXPECT_EQ(f->backColour, 0xFF0000);
    RECT r;
    GetClientRect(edit, &r);
    HDC dc = GetDC(edit);
    COLORREF pixel = GetPixel(dc, r.right - 3, r.bottom / 2);
    ReleaseDC(edit, dc);
    EXPECT_EQ(pixel, RGB(0, 0, 255)) << "repainted in the new background";

    DialogFieldColoursPut(field, -1, 0, 0, 256, 0, 0); // text kept, background the system's
    EXPECT_EQ(f->foreColour, 0x0000FF);
    EXPECT_EQ(f->backColour, -1);
    field = 999;
    DialogFieldColoursPut(field, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(field, -1);
}

} // namespace

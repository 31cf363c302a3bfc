// Events of a shown dialog read through the library's wait: clicks, scroll
// notifications, push buttons, the cancel command and tab changes, each
// scenario a table of the events expected in order. Stimuli are posted, as
// the user's input would arrive.
#include <vector>

#include "support/dialog_fixture.h"
#include "dialogs/dialog_procedure.h"

namespace {

// A value the scenario does not fix.
constexpr int kAny = -123456;

struct Expected {
    int type;
    int window;
    int value1;
    int value2;
    const char* why;
};

void CALLBACK SendHelp(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HELPINFO hi{};
    hi.cbSize = sizeof hi;
    SendMessageA(gActiveDialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
}

class DialogEvents : public DialogFixture {
protected:
    // Reads one event per entry and compares.
    static void ExpectEvents(const std::vector<Expected>& expected)
    {
        for (const Expected& x : expected) {
            SeenEvent e = Next();
            EXPECT_EQ(e.type, x.type) << x.why << ": got " << Describe(e);
            EXPECT_EQ(e.m.window, x.window) << x.why << ": got " << Describe(e);
            EXPECT_EQ(e.m.value1, x.value1) << x.why << ": got " << Describe(e);
            if (x.value2 != kAny) {
                EXPECT_EQ(e.m.value2, x.value2) << x.why << ": got " << Describe(e);
            }
        }
    }
    // The closing request arrives as the cancel command: event 3 with 2. It
    // ends each scenario, so that nothing else may come before it.
    static void Close(HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }
};

TEST_F(DialogEvents, CheckBoxClickedFromAnotherField)
{
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    Show(d);
    WMessageEnable(kEventFieldChanged, 1);
    SetFocus(GetDlgItem(d, 1004)); // nobody waits: the change is recorded, not delivered
    Drain();
    ASSERT_EQ(DialogRecordWords(d)[kDlgCurrentField], 1004);

    HWND box = GetDlgItem(d, 1010);
    PostMessageA(box, BM_CLICK, 0, 0);
    PostMessageA(box, BM_CLICK, 0, 0);
    Close(d);
    ExpectEvents({
        {10, 101, 1004, 1010, "the box takes the focus from the integer field"},
        {10, 101, 1010, 1010, "its check state changes"},
        {10, 101, 1010, 1010, "the second click: only the change"},
        {3, 101, 2, 1010, "the cancel command"},
    });
    EXPECT_EQ(IsDlgButtonChecked(d, 1010), BST_CHECKED); // unchecked, checked again
    EXPECT_EQ(DialogRecordWords(d)[kDlgCurrentField], 1010);
}

TEST_F(DialogEvents, TrackBarNotificationsButTheEndTrack)
{
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    Show(d);
    WMessageEnable(kEventFieldChanged, 1);
    SetFocus(GetDlgItem(d, 1004));
    Drain();
    HWND tb = GetDlgItem(d, 1022);
    auto scroll = [&](int code, int pos) {
        PostMessageA(d, WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(tb));
    };
    scroll(TB_THUMBTRACK, 10);
    scroll(TB_THUMBTRACK, 20);
    scroll(TB_THUMBPOSITION, 20);
    scroll(TB_ENDTRACK, 0);
    Close(d);
    ExpectEvents({
        {10, 101, 1022, 1022, "thumb track"},
        {10, 101, 1022, 1022, "thumb track"},
        {10, 101, 1022, 1022, "thumb position"},
        {3, 101, 2, 1022, "no event for the end of the track; then the cancel command"},
    });

    // A key on the track bar: one change for the line step, none for its end.
    PostMessageA(tb, WM_KEYDOWN, VK_RIGHT, 1);
    PostMessageA(tb, WM_KEYUP, VK_RIGHT, 0xC0000001);
    Close(d);
    ExpectEvents({
        {10, 101, 1022, 1022, "line down"},
        {3, 101, 2, 1022, "the cancel command"},
    });
    EXPECT_EQ(SendMessageA(tb, TBM_GETPOS, 0, 0), 1);
}

TEST_F(DialogEvents, PushButtonsAndCommandsWithoutControl)
{
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    Show(d);
    SetFocus(GetDlgItem(d, 1004));
    Drain();

    // Field changes are off (the default): a click on "Exit" gives one event.
    PostMessageA(GetDlgItem(d, 1002), BM_CLICK, 0, 0);
    Close(d);
    ExpectEvents({
        {3, 101, 1002, 1004, "Exit, with the field that had the focus before"},
        {3, 101, 2, 1002, "the cancel command, the focus on Exit"},
    });

    // Enter without a default push button: the command 1 without a control.
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    ExpectEvents({{3, 101, 1, 1002, "command 1 without a control"}});

    // F1 asks for help as push button 9 (WM_HELP carries a pointer, so it is
    // sent, from a timer that runs while the wait dispatches).
    SetTimer(nullptr, 0, 10, SendHelp);
    ExpectEvents({{3, 101, 9, 1002, "help request"}});
}

TEST_F(DialogEvents, TabChangeShowsThePageAndRaisesEvent11)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    HWND tab = GetDlgItem(d, 321);
    HWND one = DialogTableWindow(DialogIndexById(351));
    HWND two = DialogTableWindow(DialogIndexById(352));
    DialogTabPagesAttach(d);
    EXPECT_EQ(GetParent(one), d);
    EXPECT_EQ(GetParent(two), d);
    EXPECT_NE(GetWindowLongA(two, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_EQ(GetWindowLongA(two, GWL_STYLE) & WS_POPUP, 0);
    Show(d);
    EXPECT_TRUE(IsWindowVisible(two)); // the initial page
    EXPECT_FALSE(IsWindowVisible(one));

    WMessageEnable(kEventTabChanged, 1);
    SetFocus(tab);
    Drain();
    PostMessageA(tab, WM_KEYDOWN, VK_LEFT, 1); // to the page before
    ExpectEvents({{11, 300, 352, 351, "page two left, page one shown"}});
    EXPECT_TRUE(IsWindowVisible(one));
    EXPECT_FALSE(IsWindowVisible(two));
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);

    // Left on the first tab changes nothing.
    PostMessageA(tab, WM_KEYDOWN, VK_LEFT, 1);
    Close(d);
    ExpectEvents({{3, 300, 2, kAny, "no tab change, then the cancel command"}});

    // A disabled tab is skipped by the arrow keys and cannot be clicked.
    TabItemDataSet(tab, 1, TabItemData{352, 1});
    PostMessageA(tab, WM_KEYDOWN, VK_RIGHT, 1);
    RECT r{};
    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 3, r.top + 3));
    PostMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 3, r.top + 3));
    Close(d);
    ExpectEvents({{3, 300, 2, kAny, "no tab change, then the cancel command"}});
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(DialogEvents, FocusMovesRecordTheCurrentField)
{
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    Show(d);
    WMessageEnable(kEventFieldChanged, 1);
    SetFocus(GetDlgItem(d, 1004));
    Drain();
    // Tabbing on moves the focus to the next tab stop, the track bar.
    PostMessageA(GetDlgItem(d, 1004), WM_KEYDOWN, VK_TAB, 1);
    PostMessageA(GetDlgItem(d, 1004), WM_KEYUP, VK_TAB, 0xC0000001);
    Close(d);
    ExpectEvents({
        {10, 101, 1004, 1021, "the track bar reports its focus like an edit"},
        {3, 101, 2, 1021, "the cancel command"},
    });
    EXPECT_EQ(GetFocus(), GetDlgItem(d, 1021));
    EXPECT_EQ(DialogRecordHandle(d, kDlgFocusField), GetDlgItem(d, 1021));
}

TEST_F(DialogEvents, ListComboEditAndTreeNotifications)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    Show(d);
    HWND list = GetDlgItem(d, 320), combo = GetDlgItem(d, 319), edit = GetDlgItem(d, 304);
    auto command = [d](HWND control, int code) {
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
    };
    // A double-click presses the default button, unless the field's flag
    // bit 0 says not to (the list box has "[Flags]" 1).
    command(list, LBN_DBLCLK);
    command(combo, CBN_DBLCLK);
    Close(d);
    ExpectEvents({
        {3, 300, 312, kAny, "the combo box's double-click presses the default button"},
        {3, 300, 2, kAny, "the list box's did not; the cancel command"},
    });
    EnableWindow(GetDlgItem(d, 312), FALSE);
    command(combo, CBN_DBLCLK);
    Close(d);
    ExpectEvents({{3, 300, 2, kAny, "a disabled default button is not pressed"}});

    // Text changes count only for a field that reports its changes.
    WMessageEnable(kEventFieldChanged, 1);
    SetFocus(combo);
    Drain();
    command(edit, EN_CHANGE);
    Drain(); // handled (and ignored) before the field reports its changes
    FieldRecordOf(edit)->reportChanges = 1;
    command(edit, EN_CHANGE);
    // A tree view's new selection is a change of the tree (Pear to Bread).
    PostMessageA(GetDlgItem(d, 324), WM_KEYDOWN, VK_DOWN, 1);
    Close(d);
    ExpectEvents({
        {10, 300, 319, 304, "the reported text change"},
        {10, 300, 324, 324, "the tree's selection"},
        {3, 300, 2, 324, "the cancel command"},
    });
}

TEST_F(DialogEvents, GraphicsAreaEvents)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    Show(d);
    HWND area = GetDlgItem(d, 329), plain = GetDlgItem(d, 330);
    // What selecting them as drawing targets marks.
    FieldRecordOf(area)->graphicsArea = 1;
    FieldRecordOf(plain)->graphicsArea = 1;
    EXPECT_EQ(SendMessageA(area, WM_NCHITTEST, 0, 0), HTCLIENT);
    EXPECT_EQ(SendMessageA(plain, WM_NCHITTEST, 0, 0), HTTRANSPARENT);

    InvalidateRect(area, nullptr, TRUE);
    SeenEvent expose = Next();
    EXPECT_EQ(expose.type, kEventExpose) << Describe(expose);
    EXPECT_EQ(expose.m.window, 300);
    EXPECT_EQ(expose.m.value3, 1);
    EXPECT_EQ(expose.m.value4, 329);

    struct AreaCase {
        HWND target;
        UINT message;
        int enableDoubleClick;
        int type, button, field;
    };
    const AreaCase cases[] = {
        {area, WM_LBUTTONDOWN, 0, kEventMouseDown, 1, 329},
        {area, WM_LBUTTONUP, 0, kEventMouseUp, 1, 329},
        {area, WM_RBUTTONDBLCLK, 0, kEventMouseDown, 3, 329}, // double-clicks off: a second press
        {area, WM_MBUTTONDBLCLK, 1, kEventDoubleClick, 2, 329},
        {area, WM_MBUTTONUP, 1, kEventMouseUp, 2, 329},
        {d, WM_RBUTTONDOWN, 0, kEventMouseDown, 3, 0}, // the dialog's own area
        {d, WM_RBUTTONUP, 0, kEventMouseUp, 3, 0},
    };
    DialogRecordWords(d)[kDlgGraphicsArea] = 1;
    WMessageEnable(kEventMouseUp, 1);
    for (const AreaCase& c : cases) {
        WMessageEnable(kEventDoubleClick, c.enableDoubleClick);
        PostMessageA(c.target, c.message, 0, MAKELPARAM(4, 3));
        SeenEvent e = Next();
        EXPECT_EQ(e.type, c.type) << Describe(e);
        EXPECT_EQ(e.m.window, 300);
        EXPECT_EQ(e.m.value1, c.button) << Describe(e);
        EXPECT_EQ(e.m.value3, 1);
        EXPECT_EQ(e.m.value4, c.field);
        EXPECT_EQ(DialogRecordWords(d)[kDlgMouseButton], c.button);
        EXPECT_EQ(DialogRecordWords(d)[kDlgGraphicsField], c.field);
    }
    ReleaseCapture();
    // A static that is no graphics area raises nothing.
    FieldRecordOf(area)->graphicsArea = 0;
    DialogRecordWords(d)[kDlgGraphicsArea] = 0;
    PostMessageA(area, WM_LBUTTONDOWN, 0, MAKELPARAM(4, 3));
    Close(d);
    ExpectEvents({{3, 300, 2, kAny, "nothing from the plain static; the cancel command"}});
}

} // namespace

// Menus, accelerators, toolbars, tool tips, status bars and menu help on the
// main window (menu 100, toolbar 200 on top, 201 at the bottom, status bar),
// and the window services that draw plain text and fills.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "core/child_windows.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/frame_window.h"
#include "core/menus.h"
#include "core/status_bar.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "window_fixture.h"

namespace {

class Bars : public ::testing::Test {
protected:
    void SetUp() override
    {
        MainWindowEnsure();
        ChildWindowsCloseAll();
        EventsDrain();
        gWindowSystem.currentWindow = 0;
        frame = gWindowTable.frame[0];
        sb = gWindowTable.statusBar[0];
        top = gWindowTable.toolbars[0][kToolbarTop];
        bottom = gWindowTable.toolbars[0][kToolbarBottom];
        menu = gWindowTable.menu[0];
    }
    void TearDown() override { EventsDrain(); }

    std::string StatusText(int part)
    {
        char text[256] = {};
        SendMessageA(sb, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Text a tool-tip request from toolbar TB for button ID receives.
    std::string ToolTipFor(HWND tb, int id)
    {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(tb, TB_GETTOOLTIPS, 0, 0));
        info.hdr.idFrom = static_cast<UINT_PTR>(id);
        info.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return info.szText;
    }

    HWND frame = nullptr, sb = nullptr, top = nullptr, bottom = nullptr;
    HMENU menu = nullptr;
};

TEST_F(Bars, MainWindowHasItsParts)
{
    ASSERT_NE(sb, nullptr);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(bottom, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenu(frame), menu);
    EXPECT_NE(gWindowTable.accelerators[0], nullptr);
    EXPECT_TRUE(gWindowTable.menuHelpResource[0]);
    RECT cr;
    GetClientRect(gWindowTable.client[0], &cr);
    EXPECT_EQ(cr.right, kMainClientWidth);
    EXPECT_EQ(cr.bottom, kMainClientHeight) << "the frame grew by the bars";
    // The client lies between the top toolbar and the bottom toolbar.
    RECT t, b, c;
    GetWindowRect(top, &t);
    GetWindowRect(bottom, &b);
    GetWindowRect(gWindowTable.client[0], &c);
    EXPECT_EQ(c.top, t.bottom);
    EXPECT_EQ(c.bottom, b.top);
    for (const char* cls : {"QUILLODRANE", "QUILCHILD", "QUILCLIENT", "QUILSPLITH", "QUILSPLITV"}) {
        WNDCLASSA wc;
        EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), cls, &wc)) << cls;
    }
    EXPECT_EQ(gWindowColourTable.rgb[1], 0xBF);
    EXPECT_EQ(gWindowColourTable.rgb[8], 0x404040);
    EXPECT_EQ(gWindowColourTable.rgb[15], 0xFFFFFF);
}

TEST_F(Bars, MenuIdListGivesIdsToItemsWithout)
{
    HMENU edit = GetSubMenu(menu, 1);
    EXPECT_EQ(GetMenuItemID(edit, 0), 110u);
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 2, TRUE, &mi));
    EXPECT_EQ(mi.wID, 120u);
    EXPECT_NE(mi.hSubMenu, nullptr);
    HMENU holder = nullptr;
    EXPECT_EQ(MenuItemFind(menu, 121, holder), 0);
    EXPECT_EQ(holder, GetSubMenu(menu, 2));
    EXPECT_EQ(MenuItemFind(menu, 555, holder), -1);
}

TEST_F(Bars, MenuCommandAndAcceleratorsArriveAsEvent2)
{
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(109, 0), 0);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventCommand);
    EXPECT_EQ(m.value1, 109);
    EXPECT_EQ(m.window, 0);
    EXPECT_EQ(m.value2, -1);

    KeyState(false, true);
    PostMessageA(gWindowTable.client[0], WM_KEYDOWN, 'A', KeyParam('A'));
    ASSERT_EQ(WaitEvent(m), kEventCommand);
    EXPECT_EQ(m.value1, 110);
    KeyState(false, false);
    PostMessageA(gWindowTable.client[0], WM_KEYDOWN, VK_F5, KeyParam(VK_F5));
    ASSERT_EQ(WaitEvent(m), kEventCommand);
    EXPECT_EQ(m.value1, 111);
}

TEST_F(Bars, ToolbarBuiltFromButtonListAndMenuStates)
{
    EXPECT_EQ(SendMessageA(top, TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(GetDlgCtrlID(top), 200);
    LRESULT size = SendMessageA(top, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_GE(LOWORD(size), 22) << "image width + 6, or the control's own minimum";
    EXPECT_EQ(HIWORD(size), 21);
    TBBUTTON b{};
    SendMessageA(top, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&b));
    EXPECT_TRUE(b.fsStyle & TBSTYLE_SEP);
    SendMessageA(top, TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b.idCommand, 103);
    EXPECT_EQ(b.iBitmap, 2);
    EXPECT_TRUE(SendMessageA(top, TB_ISBUTTONCHECKED, 101, 0)) << "checked menu item";
    EXPECT_FALSE(SendMessageA(top, TB_ISBUTTONENABLED, 102, 0)) << "greyed menu item";
    EXPECT_TRUE(SendMessageA(top, TB_ISBUTTONENABLED, 103, 0)) << "not in the menu";
    RECT t;
    GetWindowRect(top, &t);
    EXPECT_EQ(gWindowTable.toolbarExtents[0][kToolbarTop], t.bottom - t.top);
    EXPECT_GE(t.bottom - t.top, 15 + 6);
}

TEST_F(Bars, ToolbarButtonClickIsEvent2)
{
    RECT r{};
    SendMessageA(top, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(top, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(top, WM_LBUTTONUP, 0, at);
    EventMessage m;
    ASSERT_TRUE(WaitEventOfType(kEventCommand, m));
    EXPECT_EQ(m.value1, 103);
}

TEST_F(Bars, MenuItemStatesMirroredOnToolbar)
{
    int state = 0;
    MenuItemCheck(101, state);
    EXPECT_EQ(state, 1) << "the toolbar has the button";
    EXPECT_FALSE(SendMessageA(top, TB_ISBUTTONCHECKED, 101, 0));
    MenuItemStateGet(101, 2, state);
    EXPECT_EQ(state, 0);
    state = 1;
    MenuItemEnable(102, state);
    EXPECT_TRUE(SendMessageA(top, TB_ISBUTTONENABLED, 102, 0));
    MenuItemStateGet(102, 1, state);
    EXPECT_EQ(state, 1);
    state = 0;
    MenuItemCheck(111, state);
    EXPECT_EQ(state, 0) << "menu only";
    state = 1;
    MenuItemCheck(555, state);
    EXPECT_EQ(state, -1);
    MenuItemStateGet(103, 1, state);
    EXPECT_EQ(state, 1) << "looked up in the toolbar";
    MenuItemStateGet(556, 1, state);
    EXPECT_EQ(state, -1);
    state = 1;
    MenuItemCheck(101, state);
}

TEST_F(Bars, MenuItemInsertTextAndDelete)
{
    int id = 111;
    MenuItemInsert(id, 1, 0, "");
    HMENU edit = GetSubMenu(menu, 1);
    ASSERT_EQ(GetMenuItemCount(edit), 3);
    EXPECT_TRUE(GetMenuState(edit, 1, MF_BYPOSITION) & MF_SEPARATOR) << "separator directly before 111";
    EXPECT_EQ(GetMenuItemID(edit, 2), 111u);
    id = 111;
    MenuItemInsert(id, 9, 130, "Paste");
    EXPECT_EQ(GetMenuItemID(edit, 3), 130u) << "beyond the end appends";
    id = 130;
    MenuItemTextSet(id, "Paste special   ");
    char text[64] = {};
    GetMenuStringA(edit, 130, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Paste special");
    id = 130;
    MenuItemDelete(id);
    DeleteMenu(edit, 1, MF_BYPOSITION);
    EXPECT_EQ(GetMenuItemCount(edit), 2);
    id = 777;
    MenuItemDelete(id);
    EXPECT_EQ(id, -1);
}

TEST_F(Bars, StatusBarTextsAndParts)
{
    YYStatusBarText(1, "Ready   ");
    EXPECT_EQ(StatusText(0), "Ready");
    YYStatusBarText(0, "zero");
    YYStatusBarText(256, "too far");
    EXPECT_EQ(StatusText(0), "Ready");

    StatusBarPartDefine(1, 100, 1);
    StatusBarPartDefine(2, -1, 2);
    StatusBarPartDefine(3, 80, 0);
    StatusBarPartDefine(0, 5, 0);
    StatusBarPartDefine(256, 5, 0);
    StatusBarPartsApply(3);
    int edges[3] = {};
    ASSERT_EQ(SendMessageA(sb, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 3);
    RECT fc;
    GetClientRect(frame, &fc);
    EXPECT_EQ(edges[0], 100);
    EXPECT_EQ(edges[1], fc.right - 80);
    EXPECT_EQ(edges[2], fc.right);
    YYStatusBarText(3, "third");
    EXPECT_EQ(StatusText(2), "third");
    EXPECT_EQ(StatusText(0), "Ready") << "texts survive the new layout";
    EXPECT_EQ(HIWORD(SendMessageA(sb, SB_GETTEXTLENGTHA, 2, 0)), SBT_NOBORDERS);

    StatusBarPartDefine(1, -1, 1);
    StatusBarPartsApply(1);
}

TEST(StatusBarEdges, FillPartTakesTheRoomLeft)
{
    struct Case {
        int widths[3];
        int n;
        int total;
        int edges[3];
    } cases[] = {
        {{100, -1, 80}, 3, 500, {100, 420, 500}},
        {{100, 80, 0}, 2, 500, {100, 180, 0}},
        {{-1, 0, 0}, 1, 321, {321, 0, 0}},
        {{-1, 50, 60}, 3, 400, {290, 340, 400}},
    };
    for (const Case& c : cases) {
        int edges[3] = {0, 0, 0};
        StatusBarPartEdges(c.widths, c.n, c.total, edges);
        for (int i = 0; i < c.n; ++i)
            EXPECT_EQ(edges[i], c.edges[i]) << "part " << i;
    }
}

TEST_F(Bars, ErrorLineGoesToStatusBarAtLevel3)
{
    int saved = gErrorState.level;
    YYErrorLevelSet(3);
    YYErrorReport(1003, "WindowCloseChild");
    YYErrorLevelSet(saved);
    std::string text = StatusText(0);
    EXPECT_NE(text.find("WindowCloseChild"), std::string::npos) << text;
    EXPECT_NE(text.find("1003"), std::string::npos) << text;
}

TEST_F(Bars, MenuHelpTextsInSimpleMode)
{
    SendMessageA(frame, WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_TRUE(SendMessageA(sb, SB_ISSIMPLE, 0, 0));
    HMENU edit = GetSubMenu(menu, 1);
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(110, MF_STRING), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(StatusText(0), "Cuts the selection");
    // A help string attached to the item comes first.
    int id = 110;
    MenuItemHelpSet(id, "Attached help");
    EXPECT_EQ(gWindowTable.menuHelpCount[0], 1);
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(110, MF_STRING), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(StatusText(0), "Attached help");
    id = 110;
    MenuItemHelpSet(id, "");
    EXPECT_EQ(gWindowTable.menuHelpCount[0], 0);
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(109, MF_STRING), reinterpret_cast<LPARAM>(GetSubMenu(menu, 0)));
    EXPECT_EQ(StatusText(0), "") << "no help for 109";
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU), 0);
    EXPECT_EQ(StatusText(0), "Closes the window");
    SendMessageA(frame, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(SendMessageA(sb, SB_ISSIMPLE, 0, 0));
}

TEST_F(Bars, ToolTipsFromTableThenStringResource)
{
    int id = 101;
    ToolTipSet(id, "Open a file", 12);
    EXPECT_EQ(id, 101);
    EXPECT_EQ(ToolTipFor(top, 101), "Open a file");
    EXPECT_EQ(ToolTipFor(top, 103), "Third button") << "string resource";
    std::string longText(100, 'x');
    id = 102;
    ToolTipSet(id, longText, 101);
    EXPECT_EQ(ToolTipFor(top, 102), std::string(79, 'x'));
    id = 102;
    ToolTipSet(id, "", 1);
    EXPECT_EQ(ToolTipFor(top, 102), "") << "the record was freed";
    id = 999;
    ToolTipSet(id, "none", 5);
    EXPECT_EQ(id, -1);
    // The bottom toolbar is not searched: its tips come from the string table.
    id = 104;
    ToolTipSet(id, "From the table", 15);
    EXPECT_EQ(ToolTipFor(bottom, 104), "Bottom button");
    id = 101;
    ToolTipSet(id, "", 1);
    id = 104;
    ToolTipSet(id, "", 1);
}

TEST_F(Bars, ToolbarRemovedAndReplaced)
{
    int id = 0, w = 0, h = 0;
    ToolbarCreate(id, 0, kToolbarLeft, w, h);
    EXPECT_EQ(gWindowTable.toolbars[0][kToolbarLeft], nullptr);
    id = 200;
    ToolbarCreate(id, 0, kToolbarLeft, w, h);
    HWND left = gWindowTable.toolbars[0][kToolbarLeft];
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(gWindowTable.toolbarExtents[0][kToolbarLeft], 16 + 3);
    RECT cr;
    GetClientRect(gWindowTable.client[0], &cr);
    EXPECT_EQ(w, cr.right) << "the client became narrower";
    EXPECT_EQ(w, kMainClientWidth - (16 + 3));
    RECT c, l;
    GetWindowRect(gWindowTable.client[0], &c);
    GetWindowRect(left, &l);
    EXPECT_EQ(c.left, l.right);
    id = 0;
    ToolbarCreate(id, 0, kToolbarLeft, w, h);
    EXPECT_EQ(gWindowTable.toolbars[0][kToolbarLeft], nullptr);
    GetClientRect(gWindowTable.client[0], &cr);
    EXPECT_EQ(cr.right, kMainClientWidth);
    id = 4242;
    ToolbarCreate(id, 0, kToolbarRight, w, h);
    EXPECT_EQ(id, -1);
    id = 200;
    ToolbarCreate(id, 49, kToolbarTop, w, h);
    EXPECT_EQ(id, -2);
    EventsDrain();
}

TEST_F(Bars, WindowMenuSetLoadsReplacesAndRemoves)
{
    int n = -1, flags = kWindowFlagsDefault | kWindowHidden, w = 200, h = 100;
    WindowOpenChild(n, &flags, nullptr, nullptr, &w, &h, nullptr, nullptr, nullptr, "menu");
    ASSERT_GT(n, 0);
    HWND f = gWindowTable.frame[n];
    EXPECT_EQ(GetMenu(f), nullptr);
    int id = 100;
    WindowMenuSet(id, n);
    EXPECT_EQ(id, 100);
    EXPECT_NE(GetMenu(f), nullptr);
    EXPECT_EQ(GetMenu(f), gWindowTable.menu[n]);
    EXPECT_NE(gWindowTable.accelerators[n], nullptr);
    EXPECT_TRUE(gWindowTable.menuHelpResource[n]);
    HMENU holder = nullptr;
    EXPECT_GE(MenuItemFind(gWindowTable.menu[n], 110, holder), 0) << "ids applied";
    EXPECT_TRUE(GetMenuState(gWindowTable.menu[n], 102, MF_BYCOMMAND) & MF_GRAYED);
    id = 4242;
    WindowMenuSet(id, n);
    EXPECT_EQ(id, -1);
    id = 0;
    WindowMenuSet(id, n);
    EXPECT_EQ(GetMenu(f), nullptr);
    EXPECT_EQ(gWindowTable.menu[n], nullptr);
    EXPECT_EQ(gWindowTable.accelerators[n], nullptr);
    int parent = n;
    int inside = -1, insideFlags = kWindowFlagsDefault | kWindowInsideParent;
    ShowWindow(f, SW_SHOWNA);
    WindowOpenChild(inside, &insideFlags, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "in",
                    &parent);
    ASSERT_GT(inside, 0);
    id = 100;
    WindowMenuSet(id, inside);
    EXPECT_EQ(id, -2) << "an inside child takes no menu";
    id = 100;
    WindowMenuSet(id, 48);
    EXPECT_EQ(id, -2);
    WindowCloseChild(n);
}

TEST_F(Bars, PlainWindowTextAndFills)
{
    int w = 0, h = 0;
    WindowTextFont(3, 1, 0, w, h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    HDC dc = gWindowSystem.windowDC;
    ASSERT_NE(dc, nullptr);
    WindowFillRect(10, 10, 20, 20, 0x0000FF);
    EXPECT_EQ(GetPixel(dc, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 20, 20), RGB(255, 0, 0)) << "the fill reaches right and bottom";
    EXPECT_NE(GetPixel(dc, 21, 21), RGB(255, 0, 0));
    WindowFillRect(10, 10, 20, 20, -1);
    EXPECT_EQ(GetPixel(dc, 15, 15), RGB(255, 255, 255)) << "-1 is the text background (white)";
    WindowTextColours(13, 15);
    WindowTextFlag(1);
    int x = 30, y = 60;
    WindowTextOut(x, y, "Hello");
    EXPECT_GT(x, 30);
    EXPECT_EQ(y, 60);
    EXPECT_EQ(GetPixel(dc, 31, 62), RGB(0, 0, 255)) << "the underline two pixels below the baseline";
    int width = 0;
    WindowTextWidth(width, "Hello");
    EXPECT_EQ(width, x - 30);
    WindowTextFlag(0);
    WindowTextColours(0, 15);
    WindowTextFont(0, 0, 0, w, h);
}

TEST_F(Bars, CursorShapesPerWindowAndGlobal)
{
    CursorShapeSet(3, 1, 1, 0);
    CursorShapeSet(1, 2, 1, 0);
    int shape = -1;
    CursorShapeGet(shape, 1, 0);
    EXPECT_EQ(shape, 3) << "the window keeps its own cursor";
    CursorShapeGet(shape, 2, 0);
    EXPECT_EQ(shape, 1);
    CursorShapeSet(0, 0, 1, 0);
    CursorShapeGet(shape, 1, 0);
    EXPECT_EQ(shape, 0) << "scope 0 cleared the window cursors";
    EXPECT_EQ(gWindowTable.cursor[0], nullptr);
}

TEST_F(Bars, PlacementSetsClientSize)
{
    int w = 420, h = 260;
    WindowPlacementSet(60, 70, w, h, -1);
    EXPECT_EQ(w, 420);
    EXPECT_EQ(h, 260);
    RECT fr;
    GetWindowRect(frame, &fr);
    EXPECT_EQ(fr.left, 60);
    EXPECT_EQ(fr.top, 70);
    int keepW = -999999, keepH = -999999;
    WindowPlacementSet(40, 40, keepW, keepH, -1);
    EXPECT_EQ(keepW, 420);
    w = kMainClientWidth;
    h = kMainClientHeight;
    WindowPlacementSet(40, 40, w, h, -1);
    EXPECT_EQ(w, kMainClientWidth);
    EXPECT_EQ(h, kMainClientHeight);
    EventsDrain();
}

// Scrolling the client area: the picture moves, the strips it uncovers are
// filled, and only the part where both strips meet is left validated; a
// one-axis scroll leaves nothing to repaint.
TEST_F(Bars, ScrollMovesThePictureAndFillsWhatItUncovers)
{
    HDC dc = gWindowSystem.windowDC;
    ASSERT_NE(dc, nullptr);
    HWND client = gWindowTable.client[0];
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    auto paint = [&] {
        WindowFillRect(0, 0, kMainClientWidth, kMainClientHeight, 0xFFFFFF);
        WindowFillRect(40, 40, 59, 59, 0x0000FF);
        ValidateRect(client, nullptr);
    };
    paint();
    WindowScroll(10, 0, 0x00FF00);
    EXPECT_EQ(GetPixel(dc, 55, 45), red);
    EXPECT_EQ(GetPixel(dc, 69, 59), red);
    EXPECT_EQ(GetPixel(dc, 45, 45), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 5, 100), green);
    EXPECT_EQ(GetPixel(dc, 10, 100), RGB(255, 255, 255));
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(client, &update, FALSE)) << "nothing left to repaint";

    paint();
    WindowScroll(-10, -20, 0xFF0000);
    EXPECT_EQ(GetPixel(dc, 30, 20), red);
    EXPECT_EQ(GetPixel(dc, 49, 39), red);
    EXPECT_EQ(GetPixel(dc, 50, 40), RGB(255, 255, 255));
    RECT cr{};
    GetClientRect(client, &cr);
    EXPECT_EQ(GetPixel(dc, cr.right - 5, 100), blue);
    EXPECT_EQ(GetPixel(dc, 100, cr.bottom - 5), blue);
    HRGN left = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetUpdateRgn(client, left, FALSE), ERROR);
    EXPECT_FALSE(PtInRegion(left, cr.right - 5, cr.bottom - 5)) << "the corner of both strips is validated";
    EXPECT_TRUE(PtInRegion(left, cr.right - 5, 100));
    EXPECT_TRUE(PtInRegion(left, 100, cr.bottom - 5));
    EXPECT_FALSE(PtInRegion(left, 100, 100));
    DeleteObject(left);
    InvalidateRect(client, nullptr, TRUE);
    EventsDrain();
}

// The bars above one another: the status bar, then the toolbars by slot,
// each placed after the one before.
TEST_F(Bars, ZOrderPutsTheStatusBarAndThenTheToolbars)
{
    SetWindowPos(sb, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    BarsZOrder(0);
    std::vector<HWND> order;
    for (HWND w = GetWindow(frame, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        order.push_back(w);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], sb);
    EXPECT_EQ(order[1], top);
    EXPECT_EQ(order[2], bottom);
    BarsZOrder(-1); // no such window: nothing happens
    BarsZOrder(kLastWindow + 1);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), sb);
}

// A popup menu from a resource: its items mirror the texts and states of the
// window's own menu, its help texts serve while it is tracked, and the
// chosen item arrives as a menu command.
namespace popup {
std::string gSeenText;
UINT gSeenState = 0;
bool gSeenHelp = false;
void CALLBACK Pilot(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow)
        return; // not up yet: the timer comes again
    KillTimer(nullptr, id);
    HMENU shown = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    char text[64] = {};
    GetMenuStringA(shown, 121, text, sizeof text, MF_BYCOMMAND);
    gSeenText = text;
    gSeenState = GetMenuState(shown, 102, MF_BYCOMMAND);
    gSeenHelp = static_cast<bool>(gWindowSystem.popupHelp);
    // File, open it, its first item (Open, 101).
    PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menuWindow, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}
} // namespace popup

TEST_F(Bars, PopupMenuMirrorsTheWindowMenuAndSendsTheCommand)
{
    int missing = 4242;
    PopupMenuShow(missing, 10, 10, 1);
    EXPECT_EQ(missing, -1);

    // Save is greyed in the resource; the window's menu has it enabled.
    const bool saveGreyed = (GetMenuState(menu, 102, MF_BYCOMMAND) & MF_GRAYED) != 0;
    int enable = 1;
    MenuItemEnable(102, enable);
    int item = 121;
    MenuItemTextSet(item, "Zoom &in");
    popup::gSeenText.clear();
    SetTimer(nullptr, 0, 10, popup::Pilot);
    int id = 100;
    PopupMenuShow(id, 20, 20, 1);
    EXPECT_EQ(id, 100);
    EXPECT_EQ(popup::gSeenText, "Zoom &in");
    EXPECT_EQ(popup::gSeenState & MF_GRAYED, 0u) << "Save enabled as in the window's menu";
    EXPECT_TRUE(popup::gSeenHelp);
    EXPECT_FALSE(gWindowSystem.popupHelp);
    EventMessage m;
    ASSERT_EQ(WaitEvent(m), kEventCommand);
    EXPECT_EQ(m.value1, 101);
    item = 121;
    MenuItemTextSet(item, "&Zoom");
    enable = saveGreyed ? 0 : 1;
    MenuItemEnable(102, enable);
}

} // namespace

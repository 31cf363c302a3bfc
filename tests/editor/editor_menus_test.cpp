// Creation statuses, the modal editor's loop, and per option set the menus,
// keys, status-bar parts, menu help, tool tips and the events the program
// gets.
#include "editor_fixture.h"

#include <commctrl.h>

#include <vector>

namespace {

std::vector<std::string> Items(HMENU m)
{
    std::vector<std::string> items;
    for (int i = 0; m && i < GetMenuItemCount(m); ++i) {
        char text[128] = {};
        GetMenuStringA(m, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        items.push_back(text[0] ? text : "-");
    }
    return items;
}

std::vector<std::string> Keys(HACCEL a)
{
    std::vector<std::string> keys;
    if (!a)
        return keys;
    ACCEL table[64];
    int n = CopyAcceleratorTableA(a, table, 64);
    for (int i = 0; i < n; ++i) {
        std::string k = (table[i].fVirt & FCONTROL) ? "Ctrl+" : "";
        if (table[i].fVirt & FSHIFT)
            k += "Shift+";
        if (table[i].key >= VK_F1 && table[i].key <= VK_F12)
            k += "F" + std::to_string(table[i].key - VK_F1 + 1);
        else
            k += static_cast<char>(table[i].key);
        keys.push_back(k + "=" + std::to_string(table[i].cmd));
    }
    return keys;
}

std::string StatusText(HWND bar, int part)
{
    char text[256] = {};
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

using Texts = std::vector<std::string>;

// The end of a modal editor, run from a thread timer inside its loop.
HWND gModalFrame = nullptr;
void CALLBACK CloseModal(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    for (int n = 1; n <= kLastWindow; ++n)
        if (EditorRecordOf(gWindowTable.frame[n]))
            gModalFrame = gWindowTable.frame[n];
    if (gModalFrame)
        PostMessageA(gModalFrame, WM_CLOSE, 0, 0);
}
void CALLBACK DestroyModal(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    for (int n = 1; n <= kLastWindow; ++n)
        if (EditorRecordOf(gWindowTable.frame[n]))
            DestroyWindow(gWindowTable.frame[n]);
}

} // namespace

TEST_F(EditorTest, MenusPerOptionSet)
{
    struct Case {
        int options;
        Texts file, edit, search, format;
    } cases[] = {
        {0,
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "Save &As\tF12", "-", "&Print\tCtrl+P",
          "Prin&t Selection\tCtrl+Shift+P", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel",
          "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2",
          "Goto &Bookmark\tF2"},
         {}},
        {kEditorViewer | kEditorRichText | kEditorNoPrint,
         {"&Open\tCtrl+O", "Save &As\tF12", "-", "E&xit"},
         {"&Copy\tCtrl+C", "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {}},
        {kEditorRichText | kEditorWithBuffers | kEditorAlternativeKeys | kEditorNoSave,
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Close", "-", "&Print\tCtrl+P", "Prin&t Selection\tCtrl+Shift+P", "-",
          "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel",
          "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2",
          "Goto &Bookmark\tF2"},
         {"&Font", "&Bullet Style", "-", "Align &Left\tCtrl+Shift+L", "Align &Centre\tCtrl+Shift+E",
          "Align &Right\tCtrl+Shift+R"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        EditorRecord* r = Create(c.options);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(GetMenu(r->frame), r->menuBar);
        EXPECT_EQ(Items(r->popups[kPopupFile]), c.file);
        EXPECT_EQ(Items(r->popups[kPopupEdit]), c.edit);
        EXPECT_EQ(Items(r->popups[kPopupSearch]), c.search);
        EXPECT_EQ(Items(r->popups[kPopupFormat]), c.format);
        Texts bar = Items(r->menuBar);
        Texts expected = {"&File", "&Edit", "&Search"};
        if (!c.format.empty())
            expected.push_back("F&ormat");
        if (c.options & kEditorWithBuffers)
            expected.push_back("&View");
        EXPECT_EQ(bar, expected);
        EXPECT_EQ(GetMenuState(r->popups[kPopupSearch], kCmdGotoBookmark, MF_BYCOMMAND) & MF_GRAYED,
                  static_cast<UINT>(MF_GRAYED));
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

TEST_F(EditorTest, OwnKeysPerOptionSet)
{
    struct Case {
        int options;
        Texts keys;
    } cases[] = {
        {0,
         {"Ctrl+N=32101", "Ctrl+O=32102", "Ctrl+S=32103", "F12=32104", "Ctrl+P=32105", "Ctrl+Shift+P=32106",
          "Ctrl+F=32141", "F3=32142", "Shift+F2=32147", "F2=32148", "Ctrl+H=32143"}},
        {kEditorViewer | kEditorRichText | kEditorNoNewOpen | kEditorNoPrint,
         {"F12=32104", "Ctrl+F=32141", "F3=32142", "Shift+F2=32147", "F2=32148"}},
        {kEditorRichText,
         {"Ctrl+N=32101", "Ctrl+O=32102", "Ctrl+S=32103", "F12=32104", "Ctrl+P=32105", "Ctrl+Shift+P=32106",
          "Ctrl+F=32141", "F3=32142", "Shift+F2=32147", "F2=32148", "Ctrl+H=32143", "Ctrl+B=32166", "Ctrl+I=32167",
          "Ctrl+U=32168", "Ctrl+L=32163", "Ctrl+E=32164", "Ctrl+R=32165"}},
        {kEditorRichText | kEditorAlternativeKeys | kEditorNoSaveAs,
         {"Ctrl+N=32101", "Ctrl+O=32102", "Ctrl+S=32103", "Ctrl+P=32105", "Ctrl+Shift+P=32106", "Ctrl+F=32141",
          "F3=32142", "Shift+F2=32147", "F2=32148", "Ctrl+H=32143", "Ctrl+B=32166", "Ctrl+I=32167",
          "Ctrl+Shift+L=32163", "Ctrl+Shift+E=32164", "Ctrl+Shift+R=32165"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        EditorRecord* r = Create(c.options);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(Keys(r->ownKeys), c.keys);
        EXPECT_EQ(r->paneKeys, nullptr);
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

TEST_F(EditorTest, StatusBarHelpAndTips)
{
    EditorRecord* r = Create(kEditorWithBuffers | kEditorAlternativeKeys);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->statusBar, nullptr);
    int edges[6] = {};
    EXPECT_EQ(SendMessageA(r->statusBar, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(edges)), 4);
    EXPECT_EQ(edges[3], 250);
    EXPECT_EQ(StatusText(r->statusBar, 0), "Line:1   Col:1");
    EXPECT_EQ(StatusText(r->statusBar, 3), "\tINS");

    struct Help {
        WPARAM wParam;
        LPARAM lParam;
        const char* text;
    } help[] = {
        {MAKEWPARAM(kCmdNew, 0), 0, "Creates a new document"},
        {MAKEWPARAM(kCmdClose, 0), 0, "Closes the current document; prompts you to save changes"},
        {MAKEWPARAM(kCmdExit, 0), 0, "Closes the editor; prompts you to save changes"},
        {MAKEWPARAM(kCmdViewFirst, 0), 0, "Switch to this edit buffer"},
        {MAKEWPARAM(3, MF_POPUP), reinterpret_cast<LPARAM>(r->menuBar), "Commands to switch between files"},
        {MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(r->menuBar), "Commands to Load, Save and Print files"},
    };
    // In a menu loop the bar shows one part, the help text.
    SendMessageA(r->frame, WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_TRUE(SendMessageA(r->statusBar, SB_ISSIMPLE, 0, 0));
    for (const Help& h : help) {
        SCOPED_TRACE(h.text);
        SendMessageA(r->frame, WM_MENUSELECT, h.wParam, h.lParam);
        EXPECT_EQ(StatusText(r->statusBar, 0), h.text);
    }
    SendMessageA(r->frame, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(SendMessageA(r->statusBar, SB_ISSIMPLE, 0, 0));

    struct Tip {
        int id;
        const char* text;
    } tips[] = {{kCmdNew, "New"}, {kCmdPrintSelection, "Print selected text"}, {kCmdRedo, "Redo"},
                {kCmdInsertLink, "Insert Link"}, {kCmdHelp, "Help"}, {4242, ""}};
    ASSERT_NE(r->toolbarTips, nullptr);
    for (const Tip& t : tips) {
        SCOPED_TRACE(t.text);
        NMTTDISPINFOA a{};
        a.hdr.hwndFrom = r->toolbarTips;
        a.hdr.idFrom = static_cast<UINT_PTR>(t.id);
        a.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(r->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&a));
        EXPECT_STREQ(a.lpszText, t.text);
        NMTTDISPINFOW w{};
        w.hdr = a.hdr;
        w.hdr.code = TTN_GETDISPINFOW;
        SendMessageA(r->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&w));
        char back[80] = {};
        WideCharToMultiByte(CP_ACP, 0, w.lpszText, -1, back, sizeof back, nullptr, nullptr);
        EXPECT_STREQ(back, t.text);
    }

    // A window without a caption shows the title in a fifth part.
    int n = OpenWindow();
    ASSERT_GT(n, 0);
    HWND frame = gWindowTable.frame[n];
    SetWindowLongA(frame, GWL_STYLE, GetWindowLongA(frame, GWL_STYLE) & ~WS_CAPTION);
    int status = 0, mode = 2;
    EditorCreate(status, mode, 0, kEditorModifiedMark, 4, 10, -1, -1, "", "");
    EditorRecord* bare = EditorRecordOf(gWindowTable.frame[n]);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(SendMessageA(bare->statusBar, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(edges)), 5);
    EXPECT_EQ(edges[4], -1);
    std::string name = Path("noCaption.txt");
    std::memcpy(bare->fileName, name.c_str(), name.size() + 1);
    EditorTextSet(status, "changed");
    EXPECT_EQ(StatusText(bare->statusBar, 4), name + " *");
}

TEST_F(EditorTest, EventsReachTheProgram)
{
    EditorRecord* r = Create(kEditorPrintByProgram);
    ASSERT_NE(r, nullptr);
    int n = gWindowSystem.currentWindow;
    for (int id : {static_cast<int>(kCmdInsertPicture), static_cast<int>(kCmdPrint), static_cast<int>(kCmdPrintSelection), 555}) {
        SCOPED_TRACE(id);
        gCurrentEventSlot.type = 0;
        SendMessageA(r->frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        EXPECT_EQ(gCurrentEventSlot.type, kEventCommand);
        EXPECT_EQ(gCurrentEventSlot.value1, id);
        EXPECT_EQ(gCurrentEventSlot.window, n);
    }
    // Print Selection does nothing while printing is not allowed.
    EditorRecord* noPrint = Create(kEditorNoPrint);
    ASSERT_NE(noPrint, nullptr);
    gCurrentEventSlot.type = 0;
    SendMessageA(noPrint->frame, WM_COMMAND, kCmdPrintSelection, 0);
    EXPECT_EQ(gCurrentEventSlot.type, 0);

    // The control never sends its protected-text request under Wine: sent here.
    ENPROTECTED p{};
    p.nmhdr.hwndFrom = r->richEdit;
    p.nmhdr.code = EN_PROTECTED;
    p.msg = WM_CHAR;
    EXPECT_EQ(SendMessageA(r->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&p)), 1);
    p.msg = WM_COPY;
    EXPECT_EQ(SendMessageA(r->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&p)), 0);
    r->protectGuard = 0;
    p.msg = WM_CHAR;
    EXPECT_EQ(SendMessageA(r->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&p)), 0);
    r->protectGuard = 1;

    // Ctrl+Shift+period is swallowed only without rich text.
    MSGFILTER key{};
    key.nmhdr.hwndFrom = r->richEdit;
    key.nmhdr.code = EN_MSGFILTER;
    key.msg = WM_KEYDOWN;
    key.wParam = VK_OEM_PERIOD;
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    EXPECT_EQ(SendMessageA(r->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&key)), 1);
    EditorRecord* rich = Create(kEditorRichText);
    ASSERT_NE(rich, nullptr);
    key.nmhdr.hwndFrom = rich->richEdit;
    EXPECT_EQ(SendMessageA(rich->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&key)), 0);
    state[VK_CONTROL] = state[VK_SHIFT] = 0;
    SetKeyboardState(state);
    // Insert alone switches to overwrite in the status bar.
    key.wParam = VK_INSERT;
    SendMessageA(rich->frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&key));
    EXPECT_EQ(rich->insertMode, 0);
    EXPECT_EQ(StatusText(rich->statusBar, 3), "\tOVR");

    // A close request of a modeless editor goes to the program.
    gCurrentEventSlot.type = 0;
    SendMessageA(r->frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(gCurrentEventSlot.type, kEventClose);
    EXPECT_TRUE(IsWindow(r->frame));
}

TEST_F(EditorTest, CreationStatuses)
{
    // The main window is no editor.
    YYWINSEL(0, 1);
    int status = 0, mode = 2;
    EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, "", "");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(WindowRecordOf(gWindowTable.frame[0]), nullptr);

    // A client with a window inside it.
    int outer = OpenWindow();
    int inner = -1, flags = kWindowInsideParent | kWindowFlagsDefault, x = 5, y = 5, w = 100, h = 80;
    WindowOpenChild(inner, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "inner", &outer);
    ASSERT_GT(inner, 0);
    YYWINSEL(outer, 1);
    status = 0;
    EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, "", "");
    EXPECT_EQ(status, 11);

    // An inside-parent window: mode 2, and no menu.
    YYWINSEL(inner, 1);
    status = 0;
    mode = 3;
    EditorCreate(status, mode, 100, 0, 4, 10, -1, -1, "", "");
    EXPECT_EQ(status, 4);
    EXPECT_EQ(mode, 2);
    EditorRecord* r = EditorRecordOf(gWindowTable.frame[inner]);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->menuBar, nullptr);
    EXPECT_EQ(r->mode, 2);

    // A filter of 1200 characters keeps its first 1000 and ends with two NULs.
    std::string filter;
    while (filter.size() < 1200)
        filter += "Text (*.txt)|*.txt|";
    Create(0, "", &status, filter);
    EditorRecord* f = EditorCurrentRecord();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::string(f->filter, 12), "Text (*.txt)");
    EXPECT_EQ(f->filter[12], '\0');
    EXPECT_NE(f->filter[999], '\0');
    EXPECT_EQ(f->filter[1000], '\0');
    EXPECT_EQ(f->filter[1001], '\0');
}

TEST_F(EditorTest, TheModalLoopEndsWithTheEditor)
{
    // Mode 1 with a command line: no command line, status 7; the close ends
    // the loop and leaves the editor's values behind.
    int n = OpenWindow();
    ASSERT_GT(n, 0);
    int status = 0, mode = 1;
    gModalFrame = nullptr;
    SetTimer(nullptr, 0, 50, CloseModal);
    EditorCreate(status, mode, 0, kEditorCommandLine, 3, 9, -1, -1, "", "");
    EXPECT_EQ(status, 7);
    EXPECT_FALSE(IsWindow(gModalFrame));
    EXPECT_EQ(gWindowTable.frame[n], nullptr);
    int value = -1;
    EditorInfoGet(-1, 11, value);
    EXPECT_EQ(value, 3);
    EditorInfoGet(-1, 12, value);
    EXPECT_EQ(value, 9);
    EditorInfoGet(-1, 1, value);
    EXPECT_EQ(value, 1);

    // A frame destroyed without a close also ends it.
    n = OpenWindow();
    ASSERT_GT(n, 0);
    status = 0;
    mode = 1;
    SetTimer(nullptr, 0, 50, DestroyModal);
    EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, "", "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(gWindowTable.frame[n], nullptr);
    EXPECT_TRUE(IsWindowEnabled(gWindowTable.frame[0]));
}

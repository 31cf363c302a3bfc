// The editor's command line: Enter gives event 14 and fills the history,
// Esc, the keys that scroll the text, the prompt, and the routines that read
// and change the line and the history.
#include "editor_fixture.h"

#include <algorithm>
#include <vector>

#include "core/toolbars.h"
#include "core/window_services.h"

namespace {

std::string Line()
{
    char buffer[512] = {};
    int status = -9;
    EditorCommandLineGet(status, buffer);
    return buffer;
}

std::string Entry(int index)
{
    char buffer[512] = {};
    int status = -9;
    EditorHistoryGet(index, buffer, status);
    return status == 0 ? std::string(buffer) : "<" + std::to_string(status) + ">";
}

// Types TEXT into the command line and presses Enter; true when event 14
// reached the program.
bool Enter(EditorRecord* r, const std::string& text)
{
    SetWindowTextA(r->commandEdit, text.c_str());
    gCurrentEventSlot.type = 0;
    SendMessageA(r->commandEdit, WM_CHAR, '\r', 1);
    bool stored = gCurrentEventSlot.type == kEventCommandLine && gCurrentEventSlot.window == WindowTableIndex(r->frame);
    gCurrentEventSlot.type = 0;
    return stored;
}

int Left(HWND w)
{
    RECT rc;
    GetWindowRect(w, &rc);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
    return rc.left;
}

} // namespace

TEST_F(EditorTest, EnterFillsTheHistory)
{
    EditorRecord* r = Create(kEditorCommandHistory);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->commandEdit, r->commandLine) << "a combo box with its edit field";
    struct Step {
        std::string text;
        int entries;      // history entries afterwards
        std::string newest;
    } steps[] = {
        {"dir", 1, "dir"},
        {"dir", 1, "dir"}, // the same text again adds nothing
        {"DIR", 2, "DIR"}, // another case is another entry
        {"   ", 2, "DIR"}, // a blank line: the event, no entry
        {"", 2, "DIR"},
        {"type x", 3, "type x"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE("'" + s.text + "'");
        EXPECT_TRUE(Enter(r, s.text));
        EXPECT_EQ(Info(10), s.entries);
        EXPECT_EQ(Entry(0), s.newest);
    }
    EXPECT_EQ(Entry(2), "dir");
    EXPECT_EQ(Entry(3), "<3>");
    EXPECT_EQ(Entry(-1), "<3>");

    // 101 distinct lines keep the newest 100.
    int status = 0;
    EditorHistoryClear(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Info(10), 0);
    for (int i = 1; i <= 101; ++i)
        Enter(r, "line " + std::to_string(i));
    EXPECT_EQ(Info(10), 100);
    EXPECT_EQ(Entry(0), "line 101");
    EXPECT_EQ(Entry(99), "line 2");

    // Up and Down step through the entries.
    SendMessageA(r->commandLine, CB_SETCURSEL, 5, 0);
    SendMessageA(r->commandEdit, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(SendMessageA(r->commandLine, CB_GETCURSEL, 0, 0), 6);
    SendMessageA(r->commandEdit, WM_KEYDOWN, VK_UP, 1);
    SendMessageA(r->commandEdit, WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(SendMessageA(r->commandLine, CB_GETCURSEL, 0, 0), 4);
    // No entry chosen: the first from the top that begins with the typed text.
    EditorCommandLineSet(status, "line 5", 6);
    SendMessageA(r->commandEdit, WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(SendMessageA(r->commandLine, CB_GETCURSEL, 0, 0), 42);
    EXPECT_EQ(Line(), "line 59");

    // Insert: the oldest goes at 100; an index beyond the entries changes nothing.
    EditorHistoryInsert(0, "inserted");
    EXPECT_EQ(Info(10), 100);
    EXPECT_EQ(Entry(0), "inserted");
    EXPECT_EQ(Entry(99), "line 3");
    EditorHistoryInsert(101, "beyond");
    EditorHistoryInsert(-1, "before");
    EXPECT_EQ(Info(10), 100);
    EXPECT_EQ(Entry(0), "inserted");
}

TEST_F(EditorTest, EscEmptiesTheLineOrClosesTheList)
{
    EditorRecord* r = Create(kEditorCommandHistory);
    ASSERT_NE(r, nullptr);
    Enter(r, "first");
    int status = 0;
    EditorCommandLineSet(status, "typed", 5);
    SendMessageA(r->commandLine, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(r->commandLine, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageA(r->commandEdit, WM_CHAR, 27, 1);
    EXPECT_FALSE(SendMessageA(r->commandLine, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Line(), "typed") << "with the list open Esc only closes it";
    SendMessageA(r->commandEdit, WM_CHAR, 27, 1);
    EXPECT_EQ(Line(), "");
}

TEST_F(EditorTest, CommandLineRoutines)
{
    int status = -9;
    WindowMakeCurrent(0);
    EditorCommandLineGet(status, std::span<char>());
    EXPECT_EQ(status, 1) << "not an editor";

    EditorRecord* plain = Create(0);
    ASSERT_NE(plain, nullptr);
    char buffer[16] = {};
    EditorCommandLineGet(status, buffer);
    EXPECT_EQ(status, 3);
    EditorPromptSet(status, "x", 1);
    EXPECT_EQ(status, 2);
    EditorCommandLineSet(status, "x", 0);
    EXPECT_EQ(status, 2);
    EditorHistoryCheck(status);
    EXPECT_EQ(status, 2);
    WindowCloseChild(gWindowSystem.currentWindow);

    EditorRecord* r = Create(kEditorCommandLine);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->commandEdit, r->commandLine) << "an edit field without history";
    EditorHistoryCheck(status);
    EXPECT_EQ(status, 2);
    EditorHistoryClear(status);
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(Enter(r, "no history"));

    EditorCommandLineSet(status, "123456789012", 4);
    EXPECT_EQ(status, 0);
    DWORD a = 0, b = 0;
    SendMessageA(r->commandEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 4u);
    EXPECT_EQ(b, 4u);
    char ten[10];
    EditorCommandLineGet(status, ten);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(std::string(ten), "123456789");
    char thirteen[13];
    EditorCommandLineGet(status, thirteen);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::string(thirteen), "123456789012");

    // Ctrl+A selects the line; TAB gives the text the focus.
    SendMessageA(r->commandEdit, WM_CHAR, 1, 1);
    SendMessageA(r->commandEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 12u);
    SetFocus(r->commandEdit);
    SendMessageA(r->commandEdit, WM_CHAR, '\t', 1);
    EXPECT_EQ(GetFocus(), r->richEdit);
    EXPECT_EQ(Line(), "123456789012") << "TAB is not typed";

    // The prompt: the command line starts right of it, and at the left edge
    // again when it is emptied; the length bounds what is measured.
    int edge = Left(r->commandLine);
    EditorPromptSet(status, "Command:", 8);
    EXPECT_EQ(status, 0);
    int withPrompt = Left(r->commandLine);
    EXPECT_GT(withPrompt, edge + 20);
    char label[32] = {};
    GetWindowTextA(r->promptLabel, label, sizeof label);
    EXPECT_STREQ(label, "Command:");
    EditorPromptSet(status, "Command:", 1000);
    EXPECT_EQ(Left(r->commandLine), withPrompt) << "measured no further than the text";
    EditorPromptSet(status, "", 0);
    EXPECT_EQ(Left(r->commandLine), edge);
    RECT panel;
    GetWindowRect(r->commandPanel, &panel);
    EXPECT_EQ(panel.right - panel.left, 0);
}

TEST_F(EditorTest, PageKeysInTheCommandLineScrollTheText)
{
    EditorRecord* r = Create(kEditorCommandLine);
    ASSERT_NE(r, nullptr);
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\n";
    int status = 0;
    EditorTextSet(status, text);
    SendMessageA(r->richEdit, EM_SETSEL, 0, 0);
    SendMessageA(r->richEdit, EM_SCROLLCARET, 0, 0);
    SendMessageA(r->commandEdit, WM_KEYDOWN, VK_NEXT, 1);
    LRESULT afterPage = SendMessageA(r->richEdit, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(afterPage, 2);
    SendMessageA(r->commandEdit, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(SendMessageA(r->richEdit, EM_GETFIRSTVISIBLELINE, 0, 0), afterPage + 1);
    SendMessageA(r->commandEdit, WM_KEYDOWN, VK_PRIOR, 1);
    EXPECT_LT(SendMessageA(r->richEdit, EM_GETFIRSTVISIBLELINE, 0, 0), afterPage);
}

// The bars of an editor window above one another: its own toolbar, the
// status bar, then the command-line panel and the command line.
TEST_F(EditorTest, BarsZOrderOfAnEditorWindow)
{
    EditorRecord* r = Create(kEditorCommandLine);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->editorToolbar, nullptr);
    ASSERT_NE(r->statusBar, nullptr);
    ASSERT_NE(r->commandPanel, nullptr);
    const int n = gWindowSystem.currentWindow;
    for (HWND w : {r->editorToolbar, r->statusBar, r->commandPanel})
        SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    BarsZOrder(n);
    std::vector<HWND> order;
    for (HWND w = GetWindow(r->frame, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        order.push_back(w);
    auto place = [&](HWND w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
    EXPECT_EQ(place(r->editorToolbar), 0);
    EXPECT_EQ(place(r->statusBar), 1);
    EXPECT_LT(place(r->statusBar), place(r->commandPanel));
    EXPECT_EQ(place(r->commandLine), place(r->commandPanel) + 1);
    EXPECT_LT(place(r->commandLine), place(r->richEdit));
}

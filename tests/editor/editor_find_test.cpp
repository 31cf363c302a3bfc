// Find, Replace and Replace All through the registered find message, the
// real find dialog once, and the paste of plain-text editors and viewers.
#include "editor_fixture.h"

#include <cstring>

#include "support/box_autopilot.h"

namespace {

CHARRANGE Sel(EditorRecord* r)
{
    CHARRANGE s{};
    SendMessageA(r->richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

void Select(EditorRecord* r, int a, int b)
{
    CHARRANGE s{a, b};
    SendMessageA(r->richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&s));
}

// Sends the dialog's request REQUEST (FR_FINDNEXT, FR_REPLACE, FR_REPLACEALL)
// with the find record's other bits FLAGS, as the dialog would.
void Request(EditorRecord* r, DWORD request, DWORD flags, const char* find, const char* with = "")
{
    std::strcpy(r->findText, find);
    std::strcpy(r->replaceText, with);
    r->findRecord.Flags = flags | request;
    SendMessageA(r->frame, gWindowSystem.findReplaceMessage, 0, reinterpret_cast<LPARAM>(&r->findRecord));
}

int EndOfTextBoxes(const BoxAutopilot& pilot)
{
    int n = 0;
    for (const SeenBox& b : pilot.Seen())
        n += (b.title == "Find" && b.text == "End of text reached") ? 1 : 0;
    return n;
}

void ClipboardPut(const char* text, size_t bytes, const char* rtf)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(h), text, bytes);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    if (rtf) {
        size_t n = std::strlen(rtf) + 1;
        HGLOBAL hr = GlobalAlloc(GMEM_MOVEABLE, n);
        std::memcpy(GlobalLock(hr), rtf, n);
        GlobalUnlock(hr);
        SetClipboardData(RegisterClipboardFormatA("Rich Text Format"), hr);
    }
    CloseClipboard();
}

} // namespace

TEST_F(EditorTest, FindNextSearchesFromTheSelection)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    BoxAutopilot pilot(IDOK);
    struct Case {
        const char* text;
        const char* find;
        DWORD flags;
        CHARRANGE from;
        CHARRANGE found; // {-1, -1}: not found, with the box
    } cases[] = {
        {"aaa", "aa", FR_DOWN, {0, 0}, {0, 2}},
        {"aaa", "aa", FR_DOWN, {0, 2}, {1, 3}}, // restarts one after the selection's start
        {"aaa", "aa", FR_DOWN, {1, 3}, {-1, -1}},
        {"abc abc abc abc", "abc", 0, {10, 10}, {4, 7}}, // up from 10 back to 0
        {"abc abc abc abc", "abc", 0, {4, 7}, {0, 3}},
        {"cat concat cat", "cat", FR_DOWN | FR_WHOLEWORD, {1, 1}, {11, 14}},
        {"cat concat cat", "cat", FR_DOWN, {1, 1}, {7, 10}},
        {"Abc abc", "abc", FR_DOWN | FR_MATCHCASE, {0, 0}, {4, 7}},
        {"Abc abc", "abc", FR_DOWN, {0, 0}, {0, 3}},
        {"some text", "", FR_DOWN, {0, 0}, {-1, -1}}, // an empty find text finds nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.find);
        int status = 0;
        EditorTextSet(status, c.text);
        Select(r, c.from.cpMin, c.from.cpMax);
        size_t boxes = pilot.Seen().size();
        Request(r, FR_FINDNEXT, c.flags, c.find);
        if (c.found.cpMin < 0) {
            EXPECT_EQ(pilot.Seen().size(), boxes + 1);
            EXPECT_EQ(Sel(r).cpMin, c.from.cpMin) << "a miss leaves the selection";
            continue;
        }
        EXPECT_EQ(pilot.Seen().size(), boxes);
        EXPECT_EQ(Sel(r).cpMin, c.found.cpMin);
        EXPECT_EQ(Sel(r).cpMax, c.found.cpMax);
    }
    ASSERT_FALSE(pilot.Seen().empty());
    EXPECT_EQ(pilot.Seen()[0].title, "Find");
    EXPECT_EQ(pilot.Seen()[0].text, "End of text reached");
    EXPECT_EQ(pilot.Seen()[0].owner, r->frame);
}

TEST_F(EditorTest, ReplaceAndReplaceAll)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    BoxAutopilot pilot(IDOK);
    int status = 0;

    // Replace All puts in text that holds the find text, which is not
    // replaced again; it searches down from the start even when Up is left
    // over in the record.
    for (DWORD direction : {static_cast<DWORD>(FR_DOWN), static_cast<DWORD>(0)}) {
        SCOPED_TRACE(direction);
        EditorTextSet(status, "aaa");
        Select(r, 2, 2);
        size_t boxes = pilot.Seen().size();
        Request(r, FR_REPLACEALL, direction, "a", "aa");
        EXPECT_EQ(Text(), "aaaaaa");
        EXPECT_EQ(pilot.Seen().size(), boxes + 1);
    }
    EXPECT_EQ(EndOfTextBoxes(pilot), 2);

    // Replace: the selection is replaced only when it is the find text (with
    // or without case), then the next one is selected.
    EditorTextSet(status, "one ONE one");
    Select(r, 0, 3);
    Request(r, FR_REPLACE, FR_DOWN, "one", "two");
    EXPECT_EQ(Text(), "two ONE one");
    EXPECT_EQ(Sel(r).cpMin, 4);
    Request(r, FR_REPLACE, FR_DOWN | FR_MATCHCASE, "one", "two");
    EXPECT_EQ(Text(), "two ONE one") << "ONE is not one with case";
    EXPECT_EQ(Sel(r).cpMin, 8);
    Select(r, 0, 0);
    Request(r, FR_REPLACE, FR_DOWN, "one", "x");
    EXPECT_EQ(Text(), "two ONE one") << "an empty selection replaces nothing";
    EXPECT_EQ(Sel(r).cpMin, 4);
    Request(r, FR_REPLACE, FR_DOWN, "one", "x");
    EXPECT_EQ(Text(), "two x one");
    SendMessageA(r->richEdit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(), "two ONE one") << "one replacement is one undo step";
}

TEST_F(EditorTest, FindTextWithoutItsEndIsReadWithinTheRecord)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    std::string text(1024, 'x');
    EditorTextSet(status, "yy" + text + "z");
    // A find record whose text fills its whole buffer, with no NUL.
    char full[1024];
    std::memset(full, 'x', sizeof full);
    FINDREPLACEA f = r->findRecord;
    f.lpstrFindWhat = full;
    f.wFindWhatLen = sizeof full;
    f.Flags = FR_DOWN;
    Select(r, 0, 0);
    EXPECT_EQ(EditorFind(r->frame, r, &f), 1);
    EXPECT_EQ(Sel(r).cpMin, 2);
    EXPECT_EQ(Sel(r).cpMax, 2 + 1024);
}

TEST_F(EditorTest, RealFindDialogFindsAndCloses)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "aabb aabb");
    Select(r, 0, 0);
    SendMessageA(r->frame, WM_COMMAND, kCmdFind, 0);
    ASSERT_NE(r->findDialog, nullptr);
    HWND dialog = r->findDialog;
    SetDlgItemTextA(dialog, 0x480, "bb"); // the find text field
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(PollUntil([&] { return Sel(r).cpMin == 2; }, 5000));
    EXPECT_EQ(Sel(r).cpMax, 4);
    EXPECT_STREQ(r->findText, "bb");
    SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(PollUntil([&] { return r->findDialog == nullptr; }, 5000));
}

// An editor inside another window hooks its find dialog: Cancel gives the
// focus back to the editor's own frame, not to the top-level window the
// system takes as the dialog's owner. A popup editor needs no hook.
TEST_F(EditorTest, FindDialogOfAnInsideEditorGivesTheFocusBackOnCancel)
{
    EditorRecord* popup = Create(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->findRecord.Flags & FR_ENABLEHOOK, 0u);

    int parent = OpenWindow(false, "Parent");
    ASSERT_GT(parent, 0);
    int n = -1, flags = kWindowFlagsDefault | kWindowInsideParent, x = 10, y = 10, w = 300, h = 200;
    WindowOpenChild(n, &flags, &x, &y, &w, &h, nullptr, nullptr, nullptr, "inside", &parent);
    ASSERT_GT(n, 0);
    int status = 0, mode = 2;
    EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, "", {});
    EditorRecord* r = EditorRecordOf(gWindowTable.frame[n]);
    ASSERT_NE(r, nullptr);
    EXPECT_NE(r->findRecord.Flags & FR_ENABLEHOOK, 0u);
    EXPECT_EQ(r->findRecord.lpfnHook, EditorFindDialogHook);

    SendMessageA(r->frame, WM_COMMAND, kCmdFind, 0);
    ASSERT_NE(r->findDialog, nullptr);
    HWND dialog = r->findDialog;
    EXPECT_TRUE(IsWindowVisible(dialog));
    SetFocus(GetDlgItem(dialog, 0x480));
    SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(PollUntil([&] { return r->findDialog == nullptr; }, 5000));
    Pump();
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == r->frame || IsChild(r->frame, focus)) << "the focus went to " << focus;
}

TEST_F(EditorTest, PasteTakesPlainTextOnly)
{
    const char* rtf = "{\\rtf1\\ansi {\\b RICH}}";
    struct Case {
        int options;
        const char* expected;
    } cases[] = {
        {0, "before plain after"},
        {kEditorViewer, "before  after"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        EditorRecord* r = Create(c.options);
        ASSERT_NE(r, nullptr);
        int status = 0;
        EditorTextSet(status, "before  after");
        Select(r, 7, 7);
        ClipboardPut("plain", 6, rtf);
        SendMessageA(r->frame, WM_COMMAND, kCmdPaste, 0);
        EXPECT_EQ(Text(), c.expected);
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

TEST_F(EditorTest, PasteOfClipboardTextWithoutItsEnd)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "");
    ClipboardPut("abcdef", 3, nullptr); // a block of three letters, no NUL
    EditorPaste(r);
    // Nothing past the block is read (the system's clipboard may end the
    // text inside the block itself).
    std::string pasted = Text();
    EXPECT_FALSE(pasted.empty());
    EXPECT_EQ(std::string("abc").rfind(pasted, 0), 0u) << pasted;
}

// Program positions (a line break counts two) and the control's own, on
// every rich edit version and with option 0x10000; the routines that take
// and give positions; their answers to bad counts.
#include "editor_fixture.h"

namespace {

// "ab", a line break, "cd": program positions 0..6.
const char kText[] = "ab\r\ncd";

CHARRANGE ControlSelection(const EditorRecord* r)
{
    CHARRANGE s{};
    SendMessageA(r->richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

} // namespace

TEST_F(EditorTest, PositionsConvertOnEveryVersion)
{
    struct Case {
        int version;
        int options;
        int program;
        int control; // the selection the control shows for (program, program)
    } cases[] = {
        // Versions 2 and 3 count the line break once.
        {3, 0, 0, 0}, {3, 0, 2, 2}, {3, 0, 3, 2}, {3, 0, 4, 3}, {3, 0, 6, 5}, {3, 0, 100, 5},
        {2, 0, 0, 0}, {2, 0, 3, 2}, {2, 0, 4, 3}, {2, 0, 100, 5},
        // With option 0x10000 the positions are the control's.
        {3, kEditorControlPositions, 4, 4}, {3, kEditorControlPositions, 3, 3},
        // Version 1 counts the line break twice itself.
        {1, 0, 0, 0}, {1, 0, 4, 4}, {1, 0, 6, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " options " << c.options << " position "
                                        << c.program);
        EditorRichEditVersionForce(c.version);
        EditorRecord* r = Create(c.options);
        ASSERT_NE(r, nullptr);
        int status = 0;
        EditorTextSet(status, kText);
        int start = c.program;
        EditorSelectionSet(start, c.program);
        EXPECT_EQ(ControlSelection(r).cpMin, c.control);
        EXPECT_EQ(Info(8), c.version);
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

TEST_F(EditorTest, QueriesAnswerInProgramPositions)
{
    for (int version : {3, 2, 1}) {
        SCOPED_TRACE(version);
        EditorRichEditVersionForce(version);
        EditorRecord* r = Create(0);
        ASSERT_NE(r, nullptr);
        int status = 0;
        EditorTextSet(status, kText);
        // The caret at the start of the second line.
        int start = 4;
        EditorSelectionSet(start, 4);
        EXPECT_EQ(Info(4), 5);
        EXPECT_EQ(Info(5), 4);
        EXPECT_EQ(Info(2), 6);
        int line = -9;
        EditorLineIndex(1, 4, line);
        EXPECT_EQ(line, 1);
        EditorLineIndex(0, 1, line);
        EXPECT_EQ(line, 4);
        char range[8] = {};
        start = 3;
        EditorTextRangeGet(start, 3, range);
        EXPECT_EQ(start, 0);
        // Program position 3 is the line feed: the control's CR on versions 2 and 3.
        EXPECT_STREQ(range, version == 1 ? "\nc" : "\rc");
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

TEST_F(EditorTest, TheCacheFollowsTheEditorsOwnChanges)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "one\r\ntwo\r\nthree");
    // Inserts at the end keep the pair they met; a change before it empties it.
    int at = 15;
    EditorTextInsert(at, 15, "\r\nfour");
    EXPECT_EQ(at, 0);
    EXPECT_EQ(Text(), "one\rtwo\rthree\rfour");
    EXPECT_EQ(r->cacheCaller, 15);
    EXPECT_EQ(r->cacheControl, 13);
    at = 21;
    EditorTextInsert(at, 21, "!");
    EXPECT_EQ(r->cacheCaller, 21);
    EXPECT_EQ(Text(), "one\rtwo\rthree\rfour!");
    at = 0;
    EditorTextInsert(at, 0, "zero\r\n");
    EXPECT_EQ(r->cacheCaller, 0);
    at = 28;
    EditorTextInsert(at, 28, "?");
    EXPECT_EQ(Text(), "zero\rone\rtwo\rthree\rfour!?");
    EXPECT_EQ(r->cacheCaller, 28);
    // A change the editor did not make empties the cache.
    SendMessageA(r->richEdit, EM_SETSEL, 4, 4);
    SendMessageA(r->richEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("z"));
    EXPECT_EQ(r->cacheCaller, -1);
    // A range replaced across a line break.
    at = 2;
    EditorTextInsert(at, 8, "-");
    EXPECT_EQ(Text(), "ze-ne\rtwo\rthree\rfour!?");
}

TEST_F(EditorTest, CopiesAreCutToTheBuffer)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "twelve chars");
    char ten[10];
    EditorTextCopyOut(status, ten);
    EXPECT_EQ(status, 2);
    EXPECT_STREQ(ten, "twelve ch");
    char thirteen[13];
    EditorTextCopyOut(status, thirteen);
    EXPECT_EQ(status, 0);
    EXPECT_STREQ(thirteen, "twelve chars");
    // Bad counts and sizes never write past the buffer.
    char guard[4] = {'x', 'x', 'x', 'x'};
    EditorTextCopyOut(status, std::span<char>(guard, 0));
    EXPECT_EQ(status, 2);
    EXPECT_EQ(guard[0], 'x');
    int start = -5;
    EditorTextRangeGet(start, -3, std::span<char>(guard, 2));
    EXPECT_EQ(guard[0], '\0');
    EXPECT_EQ(guard[2], 'x');
    EditorTextPut(-7, "ignored");
    EXPECT_EQ(Text(), "");
    int length = 0;
    EditorTextLength(length);
    EXPECT_GE(length, 0);
    char small[3];
    EditorTextSet(status, "abcdef");
    EXPECT_EQ(EditorTextGet(small), 3);
}

TEST_F(EditorTest, RoutinesOnAWindowThatIsNoEditor)
{
    OpenWindow();
    int status = 0;
    EditorTextSet(status, "x");
    EXPECT_EQ(status, 1);
    int start = 3;
    EditorTextInsert(start, 3, "x");
    EXPECT_EQ(start, -1);
    int line = 0;
    EditorLineIndex(1, 0, line);
    EXPECT_EQ(line, -2);
    int length = 0;
    EditorTextLength(length);
    EXPECT_EQ(length, 1);
    int result = 77;
    EditorInfoGet(gWindowSystem.currentWindow, 1, result);
    EXPECT_EQ(result, 77);
    EditorInfoGet(-1, 8, result);
    EXPECT_EQ(result, EditorRichEditVersion());
    EditorBufferSet(1, status);
    EXPECT_EQ(status, 1);
}

TEST_F(EditorTest, BookmarksFollowChangesBeforeThem)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, std::string(200, 'a'));
    SendMessageA(r->richEdit, EM_SETSEL, 100, 100);
    SendMessageA(r->frame, WM_COMMAND, kCmdSetBookmark, 0);
    EXPECT_EQ(r->bookmark[0], 100);
    int at = 20;
    EditorTextInsert(at, 20, "12345");
    EXPECT_EQ(r->bookmark[0], 105);
    at = 150;
    EditorTextInsert(at, 150, "12345");
    EXPECT_EQ(r->bookmark[0], 105);
    SendMessageA(r->richEdit, EM_SETSEL, 0, 0);
    SendMessageA(r->frame, WM_COMMAND, kCmdGotoBookmark, 0);
    EXPECT_EQ(ControlSelection(r).cpMin, 105);
}

// The question before unsaved text is discarded: Yes writes the file, No
// leaves it, Cancel keeps the window; an untitled buffer's Yes runs the Save
// dialog, whose Cancel keeps the text; a split window asks for the editor in
// its pane before it closes.
#include "editor_fixture.h"

#include "core/frame_window.h"
#include "core/split_windows.h"
#include "dialogs/modal_pilot.h"
#include "support/box_autopilot.h"

TEST_F(EditorTest, ClosePromptAnswers)
{
    struct Case {
        int answer;
        const char* written;  // the file afterwards
        bool closeRequested;  // event 9 reached the program
    } cases[] = {
        {IDYES, "changed", true},
        {IDNO, "original", true},
        {IDCANCEL, "original", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        std::string file = Path("prompt.txt");
        Write(file, "original");
        EditorRecord* r = Create(kEditorModifiedMark, file);
        ASSERT_NE(r, nullptr);
        int status = 0;
        EditorTextSet(status, "changed");
        EXPECT_EQ(Info(1), 0);
        char title[300] = {};
        GetWindowTextA(r->frame, title, sizeof title);
        EXPECT_EQ(std::string(title), "Editor - [" + file + " *]");
        BoxAutopilot pilot(c.answer);
        gCurrentEventSlot.type = 0;
        SendMessageA(r->frame, WM_CLOSE, 0, 0);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].title, "Editor");
        EXPECT_EQ(pilot.Seen()[0].text, "Do you want to save changes to " + file + "?");
        EXPECT_EQ(pilot.Seen()[0].owner, r->frame);
        EXPECT_EQ(Read(file), c.written);
        EXPECT_EQ(gCurrentEventSlot.type == kEventClose, c.closeRequested);
        EXPECT_TRUE(IsWindow(r->frame)) << "a modeless editor waits for the program";
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

TEST_F(EditorTest, YesOnAnUntitledBufferRunsTheSaveDialog)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "unsaved words");
    int boxes = 0, fileDialogs = 0;
    std::string boxText;
    ModalPilot pilot([&](HWND dialog) {
        if (GetDlgItem(dialog, IDYES)) {
            ++boxes;
            char text[200] = {};
            for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                char cls[16] = {};
                GetClassNameA(c, cls, sizeof cls);
                if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(c, text, sizeof text) > 0)
                    boxText = text;
            }
            ModalPilot::Click(dialog, IDYES);
        } else {
            ++fileDialogs;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    gCurrentEventSlot.type = 0;
    SendMessageA(r->frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(boxText, "Do you want to save changes?");
    EXPECT_EQ(fileDialogs, 1);
    EXPECT_EQ(pilot.Rescued(), 0);
    EXPECT_NE(gCurrentEventSlot.type, kEventClose);
    EXPECT_EQ(Text(), "unsaved words");
    EXPECT_EQ(Info(1), 0);
}

TEST_F(EditorTest, CloseAsksEachModifiedBufferOnce)
{
    EditorRecord* r = Create(kEditorWithBuffers);
    ASSERT_NE(r, nullptr);
    int n = gWindowSystem.currentWindow;
    std::string files[3];
    for (int i = 0; i < 3; ++i) {
        files[i] = Path("each" + std::to_string(i) + ".txt");
        Write(files[i], "original");
        int status = 0, mode = 2;
        EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, files[i], "");
        EditorTextSet(status, "changed " + std::to_string(i));
    }
    ASSERT_EQ(r->bufferCount, 3);
    int status = 0;
    EditorBufferSet(2, status);
    {
        BoxAutopilot pilot(IDNO);
        SendMessageA(gWindowTable.frame[n], WM_CLOSE, 0, 0);
        ASSERT_EQ(pilot.Seen().size(), 3u);
        EXPECT_NE(pilot.Seen()[0].text.find(files[1]), std::string::npos);
        EXPECT_NE(pilot.Seen()[1].text.find(files[0]), std::string::npos);
        EXPECT_NE(pilot.Seen()[2].text.find(files[2]), std::string::npos);
    }
    // Cancel on the second question switches the first buffer back in.
    EditorBufferSet(2, status);
    int asked = 0;
    ModalPilot pilot([&](HWND box) { ModalPilot::Click(box, ++asked == 1 ? IDNO : IDCANCEL); });
    gCurrentEventSlot.type = 0;
    SendMessageA(gWindowTable.frame[n], WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_NE(gCurrentEventSlot.type, kEventClose);
    EXPECT_EQ(r->currentBuffer, 2);
    EXPECT_STREQ(r->fileName, files[1].c_str());
    EXPECT_EQ(Text(), "changed 1");
}

TEST_F(EditorTest, ASplitWindowAsksForItsPaneEditorsModifiedBuffers)
{
    int split = OpenWindow(false, "Split");
    ASSERT_GT(split, 0);
    int panes[2] = {-1, -1}, flags[2] = {0, 0}, menus[2] = {0, 0}, bars[2][4] = {}, dialogs[2] = {0, 0},
        colours[2] = {-1, -1};
    SplitWindowCreate(panes, 0, flags, -1, menus, bars, dialogs, colours, "", "");
    ASSERT_GT(panes[0], 0);
    WindowMakeCurrent(panes[0]);
    std::string files[2];
    for (int i = 0; i < 2; ++i) {
        files[i] = Path("pane" + std::to_string(i) + ".txt");
        Write(files[i], "original");
        int status = 0, mode = 2;
        EditorCreate(status, mode, 0, kEditorWithBuffers, 4, 10, -1, split, files[i], "");
        EditorTextSet(status, "changed " + std::to_string(i));
    }
    EditorRecord* r = EditorRecordOf(gWindowTable.frame[panes[0]]);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->bufferCount, 2);
    HWND splitFrame = gWindowTable.frame[split];

    // No to both: the current buffer is asked first, then the other one is
    // switched in for its question; the split window may close.
    {
        BoxAutopilot pilot(IDNO);
        EXPECT_EQ(SplitCloseQuery(splitFrame), 1);
        ASSERT_EQ(pilot.Seen().size(), 2u);
        EXPECT_NE(pilot.Seen()[0].text.find(files[1]), std::string::npos);
        EXPECT_NE(pilot.Seen()[1].text.find(files[0]), std::string::npos);
    }
    EXPECT_EQ(r->currentBuffer, 1);
    EXPECT_STREQ(r->fileName, files[0].c_str());

    // Cancel on the first question keeps the split window and asks no more.
    {
        BoxAutopilot pilot(IDCANCEL);
        EXPECT_EQ(SplitCloseQuery(splitFrame), 0);
        EXPECT_EQ(pilot.Seen().size(), 1u);
    }
    EXPECT_EQ(r->currentBuffer, 1);
    EXPECT_EQ(Text(), "changed 0");
}

// A split window whose panes are both editors carries the menu of the pane
// made first; its commands reach the pane the user works in. File > Exit
// chosen while the text typed in pane 0 is unsaved asks about pane 0's file,
// and about pane 1's when the user works there.
TEST_F(EditorTest, ASplitWindowsMenuCommandsReachThePaneInUse)
{
    int split = OpenWindow(false, "Split");
    ASSERT_GT(split, 0);
    int panes[2] = {-1, -1}, flags[2] = {0, 0}, menus[2] = {0, 0}, bars[2][4] = {}, dialogs[2] = {0, 0},
        colours[2] = {-1, -1};
    SplitWindowCreate(panes, 0, flags, -1, menus, bars, dialogs, colours, "", "");
    ASSERT_GT(panes[0], 0);
    ASSERT_GT(panes[1], 0);
    std::string files[2];
    EditorRecord* r[2] = {};
    for (int i = 0; i < 2; ++i) {
        files[i] = Path("inuse" + std::to_string(i) + ".txt");
        Write(files[i], "original");
        WindowMakeCurrent(panes[i]);
        int status = 0, mode = 2;
        EditorCreate(status, mode, 0, i == 0 ? kEditorWithBuffers : 0, 4, 10, -1, split, files[i], "");
        r[i] = EditorRecordOf(gWindowTable.frame[panes[i]]);
        ASSERT_NE(r[i], nullptr);
    }
    HWND splitFrame = gWindowTable.frame[split];
    auto* s = WindowRecordAs<SplitRecord>(splitFrame, kRecordSplit);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->specialPane, r[0]->frame) << "the pane whose menu the split window carries";
    EXPECT_EQ(GetMenu(splitFrame), r[0]->menuBar);

    for (int i : {0, 1}) {
        SCOPED_TRACE("typing in pane " + std::to_string(i));
        SendMessageA(r[i]->richEdit, EM_SETSEL, -1, -1);
        SendMessageA(r[i]->richEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(" typed"));
        SetFocus(r[i]->richEdit);
        ASSERT_TRUE(PollUntil([&] { return s->focusedPane == r[i]->frame; }, 5000));
        BoxAutopilot pilot(IDCANCEL);
        gCurrentEventSlot.type = 0;
        SendMessageA(splitFrame, WM_COMMAND, kCmdExit, 0);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].text, "Do you want to save changes to " + files[i] + "?");
        EXPECT_NE(gCurrentEventSlot.type, kEventClose);
        SendMessageA(r[i]->richEdit, EM_SETMODIFY, FALSE, 0);
    }
}

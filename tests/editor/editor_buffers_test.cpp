// Buffers: further files into one window, the View items, closing a buffer
// in the middle, the 36th file, the same path in another letter case, and a
// switch refused when the store has no memory for the text.
#include "editor_fixture.h"

#include "support/box_autopilot.h"

namespace {

std::string ViewItem(const EditorRecord* r, int position)
{
    char text[300] = {};
    GetMenuStringA(r->popups[kPopupView], static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

void OpenInto(const std::string& file, int filterIndex = -1, int* statusOut = nullptr)
{
    int status = 0, mode = 2;
    EditorCreate(status, mode, 0, 0, 4, 10, filterIndex, -1, file, "");
    if (statusOut)
        *statusOut = status;
}

} // namespace

TEST_F(EditorTest, FurtherFilesOpenIntoBuffers)
{
    EditorRecord* r = Create(kEditorWithBuffers);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->popups[kPopupView], nullptr);
    EXPECT_EQ(ViewItem(r, 0), "&1\tUntitled");
    // The only buffer, empty and untitled, takes the first file.
    std::string a = Path("Alpha.txt"), b = Path("beta.txt"), c = Path("gamma.txt");
    Write(a, "alpha");
    Write(b, "beta");
    Write(c, "gamma");
    OpenInto(a);
    EXPECT_EQ(r->bufferCount, 1);
    EXPECT_EQ(ViewItem(r, 0), "&1\t" + a);
    OpenInto(b, 2);
    OpenInto(c, 3);
    ASSERT_EQ(r->bufferCount, 3);
    EXPECT_EQ(r->currentBuffer, 3);
    EXPECT_EQ(Text(), "gamma");
    EXPECT_EQ(GetMenuState(r->popups[kPopupView], 2, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(r->popups[kPopupView], 0, MF_BYPOSITION) & MF_CHECKED, 0u);

    // The same path in another letter case only switches to its buffer.
    std::string upper = a;
    for (char& ch : upper)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    OpenInto(upper);
    EXPECT_EQ(r->bufferCount, 3);
    EXPECT_EQ(r->currentBuffer, 1);
    EXPECT_EQ(Text(), "alpha");

    // The View item of buffer 3 selects it and tells the program; an item
    // above the count is ignored.
    gCurrentEventSlot.type = 0;
    SendMessageA(r->frame, WM_COMMAND, kCmdViewPopup + 3, 0);
    EXPECT_EQ(r->currentBuffer, 3);
    EXPECT_EQ(gCurrentEventSlot.type, kEventCommand);
    EXPECT_EQ(gCurrentEventSlot.value1, kCmdViewPopup + 3);
    gCurrentEventSlot.type = 0;
    SendMessageA(r->frame, WM_COMMAND, kCmdViewPopup + 5, 0);
    EXPECT_EQ(r->currentBuffer, 3);
    EXPECT_EQ(gCurrentEventSlot.type, 0);
    int status = 0;
    EditorBufferSet(0, status);
    EXPECT_EQ(status, 2);
    EditorBufferSet(4, status);
    EXPECT_EQ(status, 2);

    // Closing buffer 2 of 3: the former 3 moves into slot 2 with its file,
    // filter index and bookmark.
    EditorBufferSet(3, status);
    SendMessageA(r->richEdit, EM_SETSEL, 2, 2);
    SendMessageA(r->frame, WM_COMMAND, kCmdSetBookmark, 0);
    HANDLE gammaFile = r->openFiles[2];
    ASSERT_NE(gammaFile, nullptr);
    EditorBufferSet(2, status);
    SendMessageA(r->frame, WM_COMMAND, kCmdClose, 0);
    EXPECT_EQ(r->bufferCount, 2);
    EXPECT_EQ(r->currentBuffer, 2);
    EXPECT_EQ(ViewItem(r, 0), "&1\t" + a);
    EXPECT_EQ(ViewItem(r, 1), "&2\t" + c);
    EXPECT_EQ(GetMenuItemCount(r->popups[kPopupView]), 2);
    EXPECT_EQ(r->openFiles[1], gammaFile);
    EXPECT_EQ(r->openFiles[2], nullptr);
    EXPECT_EQ(r->filterIndex[1], 3);
    EXPECT_EQ(r->bookmark[1], 2);
    EXPECT_STREQ(r->fileName, c.c_str());
    EXPECT_EQ(Text(), "gamma");
}

TEST_F(EditorTest, TheThirtySixthFileIsRefused)
{
    EditorRecord* r = Create(kEditorWithBuffers);
    ASSERT_NE(r, nullptr);
    for (int i = 1; i <= 35; ++i) {
        std::string f = Path("many" + std::to_string(i) + ".txt");
        Write(f, "file " + std::to_string(i));
        OpenInto(f);
    }
    ASSERT_EQ(r->bufferCount, 35);
    EXPECT_EQ(ViewItem(r, 34).substr(0, 3), "&Z\t");
    EXPECT_EQ(ViewItem(r, 9).substr(0, 3), "&A\t");
    std::string extra = Path("many36.txt");
    Write(extra, "one too many");
    int status = 0;
    OpenInto(extra, -1, &status);
    EXPECT_EQ(status, 12);
    EXPECT_EQ(r->bufferCount, 35);
    EXPECT_EQ(Text(), "file 35");
    // New does nothing at 35 buffers.
    SendMessageA(r->frame, WM_COMMAND, kCmdNew, 0);
    EXPECT_EQ(r->bufferCount, 35);
}

TEST_F(EditorTest, ASwitchWithoutMemoryIsRefused)
{
    EditorRecord* r = Create(kEditorWithBuffers);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "first");
    SendMessageA(r->frame, WM_COMMAND, kCmdNew, 0);
    EditorTextSet(status, "second");
    ASSERT_EQ(r->bufferCount, 2);
    BoxAutopilot pilot(IDOK);
    EditorBufferSaveFailures(1);
    EditorBufferSet(1, status);
    EXPECT_EQ(r->currentBuffer, 2);
    EXPECT_EQ(Text(), "second");
    ASSERT_EQ(pilot.Seen().size(), 1u);
    EditorBufferSaveFailures(1);
    SendMessageA(r->frame, WM_COMMAND, kCmdNew, 0);
    EXPECT_EQ(r->bufferCount, 2);
    EXPECT_EQ(pilot.Seen().size(), 2u);
    // With memory the switch keeps text, selection and modified state.
    SendMessageA(r->richEdit, EM_SETSEL, 1, 3);
    EditorBufferSet(1, status);
    EXPECT_EQ(Text(), "first");
    EditorBufferSet(2, status);
    EXPECT_EQ(Text(), "second");
    EXPECT_EQ(Info(4), 2);
    EXPECT_EQ(Info(5), 3);
    EXPECT_EQ(Info(1), 0);
    EXPECT_FALSE(SendMessageA(r->richEdit, EM_CANUNDO, 0, 0));
}

// Files through the editor: open, save and compare over a table of contents,
// directly and after the buffer has been switched away and back; the changes
// the control makes to what it reads; rich text read by an independent
// reader; files the editor refuses.
#include "editor_fixture.h"

#include "hardcopy/unix_tools.h"
#include "support/box_autopilot.h"

namespace {

struct RoundTrip {
    const char* name;
    std::string content;
    std::string saved; // what the save writes back
};

std::string AllBytes()
{
    std::string s;
    for (int c = 1; c <= 255; ++c)
        if (c != '\r' && c != '\n')
            s += static_cast<char>(c);
    return s + "\r\n";
}

std::string Lines(size_t total)
{
    std::string s;
    for (int i = 0; s.size() < total; ++i)
        s += "line " + std::to_string(i) + " of a long text to pass the default limit\r\n";
    return s;
}

std::vector<RoundTrip> Cases()
{
    std::string longLine(1000000, 'x');
    std::string big = Lines(200 * 1024);
    return {
        {"crlf", "one\r\ntwo\r\n", "one\r\ntwo\r\n"},
        {"last_line_open", "one\r\ntwo", "one\r\ntwo"},
        {"empty", "", ""},
        {"long_line", longLine + "\r\nend", longLine + "\r\nend"},
        {"200k", big, big},
        {"cp1252", AllBytes(), AllBytes()},
        {"tabs", "a\tb\t\tc\r\n\td\r\n", "a\tb\t\tc\r\n\td\r\n"},
        {"rtf_header", "{\\rtf1 not rich} text\r\n", "{\\rtf1 not rich} text\r\n"},
        // What the control changes.
        {"nul_bytes", std::string("a\0b\r\n", 5), "a b\r\n"},
        {"final_eof_mark", "abc\r\n\x1A", "abc\r\n"},
        {"lone_lf", "a\nb", "a\r\nb"},
        {"lone_cr", "a\rb", "a\r\nb"},
        {"cr_cr_lf", "a\r\r\nb", "a b"},
    };
}

} // namespace

TEST_F(EditorTest, OpenSaveKeepsTheBytesAndRecordsTheControlsChanges)
{
    for (const RoundTrip& c : Cases()) {
        SCOPED_TRACE(c.name);
        std::string file = Path(std::string(c.name) + ".txt");
        Write(file, c.content);
        EditorRecord* r = Create(0);
        ASSERT_NE(r, nullptr);
        int status = 0, mode = 2;
        EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, file, "");
        EXPECT_EQ(status, 0);
        EXPECT_STREQ(r->fileName, file.c_str());
        EXPECT_EQ(Info(1), 1) << "unmodified after opening";
        EXPECT_EQ(SendMessageA(r->richEdit, EM_GETLIMITTEXT, 0, 0), 104857500);
        EditorSave(0);
        EXPECT_TRUE(Read(file) == c.saved) << "saved " << Read(file).size() << " bytes";
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

TEST_F(EditorTest, ABufferSwitchKeepsTheText)
{
    EditorRecord* r = Create(kEditorWithBuffers);
    ASSERT_NE(r, nullptr);
    int n = gWindowSystem.currentWindow;
    for (const RoundTrip& c : Cases()) {
        SCOPED_TRACE(c.name);
        std::string file = Path(std::string("switch_") + c.name + ".txt");
        Write(file, c.content);
        int status = 0, mode = 2;
        EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, file, "");
        int b = r->currentBuffer;
        SendMessageA(gWindowTable.frame[n], WM_COMMAND, kCmdNew, 0);
        ASSERT_EQ(r->currentBuffer, b + 1);
        EditorBufferSet(b, status);
        ASSERT_EQ(status, 0);
        EXPECT_STREQ(r->fileName, file.c_str());
        EXPECT_EQ(Info(1), 1);
        EditorSave(0);
        EXPECT_TRUE(Read(file) == c.saved) << "saved " << Read(file).size() << " bytes";
        // The new buffer goes again, so that 35 are never reached.
        EditorBufferSet(b + 1, status);
        SendMessageA(gWindowTable.frame[n], WM_COMMAND, kCmdClose, 0);
    }
}

TEST_F(EditorTest, RichTextKeepsBoldForAnIndependentReader)
{
    const std::string unrtf = "/usr/bin/unrtf";
    std::string file = Path("bold.RTF");
    Write(file, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b heavy} plain\\par}");
    EditorRecord* r = Create(kEditorRichText, file);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Text(), "plain heavy plain");
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(r->richEdit, EM_SETSEL, 7, 8);
    SendMessageA(r->richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    std::string copy = Path("bold_copy.rtf");
    std::memcpy(r->fileName, copy.c_str(), copy.size() + 1);
    EditorSave(0);
    std::string saved = Read(copy);
    EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);
    if (!unixtools::Available(unrtf))
        GTEST_SKIP() << "unrtf is not installed";
    std::string html;
    ASSERT_EQ(unixtools::Run(unrtf + " --html '" + unixtools::UnixPath(copy) + "'", &html), 0);
    EXPECT_NE(html.find("<b>"), std::string::npos) << html;
    EXPECT_NE(html.find("heavy"), std::string::npos);

    // Without the rich-text option the same name is plain text.
    EditorRecord* plain = Create(0, file);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(Text().rfind("{\\rtf1", 0), 0u);
}

TEST_F(EditorTest, UnreadableFilesKeepTheTextAndName)
{
    BoxAutopilot pilot(IDOK);
    std::string good = Path("good.txt");
    Write(good, "kept\r\n");
    EditorRecord* r = Create(kEditorRichText, good);
    ASSERT_NE(r, nullptr);
    // A rich-text name whose bytes are no rich text is refused before the
    // control is touched.
    std::string bad = Path("bad.rtf");
    Write(bad, "plain words");
    std::memcpy(r->fileName, bad.c_str(), bad.size() + 1);
    EXPECT_EQ(EditorFileOpen(r->frame, 0), 0);
    EXPECT_EQ(Text(), "kept\r");
    ASSERT_EQ(pilot.Seen().size(), 1u);
    EXPECT_EQ(pilot.Seen()[0].title, "Read Error");
    EXPECT_EQ(r->openFiles[0], nullptr);

    // A missing file: "Open Error", unless the creation asked for no box.
    std::string missing = Path("missing.txt");
    EditorRecord* none = Create(kEditorNoOpenErrorBox, missing);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->fileName[0], '\0');
    EXPECT_EQ(pilot.Seen().size(), 1u);
    EditorRecord* boxed = Create(0, missing);
    ASSERT_NE(boxed, nullptr);
    ASSERT_EQ(pilot.Seen().size(), 2u);
    EXPECT_EQ(pilot.Seen()[1].title, "Open Error");

    // A path longer than 260 characters opens nothing and overflows nothing.
    std::string longName = Folder() + "\\" + std::string(300, 'n') + ".txt";
    EditorRecord* longer = Create(kEditorNoOpenErrorBox, longName);
    ASSERT_NE(longer, nullptr);
    EXPECT_EQ(longer->fileName[0], '\0');
}

TEST_F(EditorTest, BackupKeepsTheOldFile)
{
    std::string file = Path("backup.txt");
    Write(file, "old\r\n");
    Write(file + ".bak", "older\r\n");
    EditorRecord* r = Create(kEditorBackup, file);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "new\r\n");
    EditorSave(0);
    EXPECT_EQ(Read(file), "new\r\n");
    EXPECT_EQ(Read(file + ".bak"), "old\r\n");
}

TEST_F(EditorTest, TheShownFileIsDeniedToWriters)
{
    std::string file = Path("locked.txt");
    Write(file, "text\r\n");
    EditorRecord* r = Create(0, file);
    ASSERT_NE(r, nullptr);
    HANDLE w = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    EXPECT_EQ(w, INVALID_HANDLE_VALUE);
    if (w != INVALID_HANDLE_VALUE)
        CloseHandle(w);
    // A viewer closes it after reading.
    EditorRecord* v = Create(kEditorViewer, file);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->openFiles[0], nullptr);
}

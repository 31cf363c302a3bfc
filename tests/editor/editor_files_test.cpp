// Files through the editor: open, save and compare over a table of contents,
// directly and after the buffer has been switched away and back; the changes
// the control makes to what it reads; rich text read by an independent
// reader; files the editor refuses.
#include "editor_fixture.h"

#include "dialogs/modal_pilot.h"
#include "hardcopy/unix_tools.h"
#include "support/box_autopilot.h"
#include "support/file_faults.h"

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

// ---- Nothing lost -------------------------------------------------------------------

namespace {

// The control's text as UTF-16.
std::wstring WideText(HWND richEdit)
{
    std::wstring text(1 << 16, L'\0');
    GETTEXTEX g{};
    g.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    g.flags = GT_DEFAULT;
    g.codepage = 1200;
    SendMessageA(richEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&g), reinterpret_cast<LPARAM>(text.data()));
    return text.c_str();
}

// Appends TEXT (UTF-16) at the end of the control's text and marks it
// modified, as typing does.
void AppendWide(HWND richEdit, const std::wstring& text)
{
    SendMessageA(richEdit, EM_SETSEL, -1, -1);
    SETTEXTEX s{ST_SELECTION, 1200};
    SendMessageA(richEdit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(richEdit, EM_SETMODIFY, TRUE, 0);
}

std::string Utf16Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// The temporary files of a save left in the folder.
int TemporaryFiles(const std::string& folder)
{
    int n = 0;
    WIN32_FIND_DATAA e;
    HANDLE f = FindFirstFileA((folder + "\\~kq*.tmp").c_str(), &e);
    if (f != INVALID_HANDLE_VALUE) {
        do
            ++n;
        while (FindNextFileA(f, &e));
        FindClose(f);
    }
    return n;
}

} // namespace

// A plain file is written back in the encoding it was read in: a file with a
// UTF-8 or UTF-16 byte-order mark as UTF-8 or UTF-16 with the mark, its
// characters beyond the code page shown and kept; a file without a mark in
// the code page, where a character the code page lacks is asked about
// before anything is replaced.
TEST_F(EditorTest, APlainFileIsSavedInTheEncodingItWasReadIn)
{
    const std::wstring words = L"\x0141\x00F3" L"d\x017A \x6771\x4EAC\r\nline two\r\n"; // Łódź 東京
    const std::string utf8 = "\xC5\x81\xC3\xB3" "d\xC5\xBA \xE6\x9D\xB1\xE4\xBA\xAC\r\nline two\r\n";
    const struct {
        const char* name;
        std::string bytes, added; // the file, and the bytes of "!" typed at its end
    } cases[] = {
        {"utf8.txt", "\xEF\xBB\xBF" + utf8, "!"},
        {"utf16.txt", "\xFF\xFE" + Utf16Bytes(words), Utf16Bytes(L"!")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = Path(c.name);
        Write(file, c.bytes);
        EditorRecord* r = Create(0, file);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(WideText(r->richEdit).substr(0, 7), words.substr(0, 7));
        SendMessageA(r->richEdit, EM_SETMODIFY, TRUE, 0);
        EXPECT_EQ(EditorFileSave(r->frame, 0), 1);
        EXPECT_TRUE(Read(file) == c.bytes) << "saved " << Read(file).size() << " bytes";
        AppendWide(r->richEdit, L"!");
        EXPECT_EQ(EditorFileSave(r->frame, 0), 1);
        EXPECT_TRUE(Read(file) == c.bytes + c.added);
        WindowCloseChild(gWindowSystem.currentWindow);
    }

    // The code page: a character it lacks is asked about; No saves nothing.
    const std::string file = Path("codepage.txt");
    Write(file, "plain\r\n");
    EditorRecord* r = Create(0, file);
    ASSERT_NE(r, nullptr);
    AppendWide(r->richEdit, L"\x6771");
    {
        BoxAutopilot pilot(IDNO);
        EXPECT_EQ(EditorFileSave(r->frame, 0), 0);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_NE(pilot.Seen()[0].text.find("cannot be written in the file's encoding"), std::string::npos);
    }
    EXPECT_EQ(Read(file), "plain\r\n");
    EXPECT_EQ(Info(1), 0) << "still modified";
    {
        BoxAutopilot pilot(IDYES);
        EXPECT_EQ(EditorFileSave(r->frame, 0), 1);
        EXPECT_EQ(pilot.Seen().size(), 1u);
    }
    EXPECT_EQ(Read(file), "plain\r\n?");
}

// A save onto a disk that fills up: the write comes back short, the "Write
// Error" box says so, the old file stays whole (the text went to a temporary
// file that never replaced it) and the text stays modified, so that closing
// still asks. With room the same save writes the file.
TEST_F(EditorTest, AFailedSaveLeavesTheOldFileWholeAndTheTextModified)
{
    for (const char* leaf : {"whole.txt", "whole.rtf"}) {
        SCOPED_TRACE(leaf);
        const std::string file = Path(leaf);
        const bool rich = std::string(leaf).ends_with(".rtf");
        const std::string old = rich ? "{\\rtf1\\ansi old\\par}" : "old\r\n";
        Write(file, old);
        EditorRecord* r = Create(rich ? kEditorRichText : 0, file);
        ASSERT_NE(r, nullptr);
        int status = 0;
        EditorTextSet(status, std::string(5000, 'w'));
        SendMessageA(r->richEdit, EM_SETMODIFY, TRUE, 0);
        {
            WriteLimit full(100);
            BoxAutopilot pilot(IDOK);
            EXPECT_EQ(EditorFileSave(r->frame, 0), 0);
            ASSERT_EQ(pilot.Seen().size(), 1u);
            EXPECT_EQ(pilot.Seen()[0].title, "Write Error");
        }
        EXPECT_EQ(Read(file), old);
        EXPECT_EQ(TemporaryFiles(Folder()), 0);
        EXPECT_EQ(Info(1), 0) << "still modified";
        EXPECT_NE(r->openFiles[0], nullptr) << "the old file is shown again";
        {
            BoxAutopilot pilot(IDCANCEL);
            EXPECT_EQ(EditorSavePromptRun(r->frame, r), 0);
            EXPECT_EQ(pilot.Seen().size(), 1u);
        }
        EXPECT_EQ(EditorFileSave(r->frame, 0), 1);
        EXPECT_NE(Read(file).find(std::string(5000, 'w')), std::string::npos);
        EXPECT_EQ(TemporaryFiles(Folder()), 0);
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

// A name longer than the editor's name field is refused, never cut: the
// "Open Error" box names the cause, and the file that the cut name would
// name is not read in its place.
TEST_F(EditorTest, ANameTooLongIsRefusedNotCut)
{
    std::string cut;
    const std::string name = NameCutOnto(Folder(), cut);
    Write(Path(cut), "the cut name's file\r\n");
    BoxAutopilot pilot(IDOK);
    EditorRecord* r = Create(0, name);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(pilot.Seen().size(), 1u);
    EXPECT_EQ(pilot.Seen()[0].title, "Open Error");
    char reason[300] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILENAME_EXCED_RANGE, 0,
                   reason, sizeof reason, nullptr);
    EXPECT_EQ(pilot.Seen()[0].text.substr(0, 10), std::string(reason).substr(0, 10));
    EXPECT_EQ(r->fileName[0], '\0');
    EXPECT_EQ(Text(), "");
    // A further file given to the same editor: refused too, nothing changes.
    int status = 0, mode = 2;
    EditorTextSet(status, "typed");
    EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, name, "");
    EXPECT_EQ(pilot.Seen().size(), 2u);
    EXPECT_EQ(Text(), "typed");
    EXPECT_EQ(r->fileName[0], '\0');
}

// The text editor's saves under real faults (support/file_faults.h), plain
// and rich, one row each: every fault shows its box and nothing reports
// success. A name of 300 characters cannot be saved to, as the editor never
// holds one: given to the editor it is refused. (Typed into the Save As
// dialog, it makes Wine's own dialog overrun a buffer of its own.)
TEST_F(EditorTest, SavesReportEveryFault)
{
    FaultPlaces places;
    if (!places.Missing().empty())
        GTEST_SKIP() << places.Missing();
    for (const char* leaf : {"faults.txt", "faults.rtf"}) {
        const bool rich = std::string(leaf).ends_with(".rtf");
        EditorRecord* r = Create(rich ? kEditorRichText : 0);
        ASSERT_NE(r, nullptr);
        int status = 0;
        EditorTextSet(status, std::string(6000, 'f'));
        CheckWriter(places, rich ? "rich text save" : "plain text save", leaf, [&](const std::string& name) {
            SendMessageA(r->richEdit, EM_SETMODIFY, TRUE, 0);
            int boxes = 0, result = -1;
            ModalPilot pilot([&](HWND w) {
                char title[64] = {};
                GetWindowTextA(w, title, sizeof title);
                boxes += std::string(title) == "Open Error" || std::string(title) == "Write Error" ? 1 : 0;
                ModalPilot::Click(w, IDOK);
            });
            if (name.size() > static_cast<size_t>(kFileNameLimit)) {
                int mode = 2;
                EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, name, "");
            } else {
                std::snprintf(r->fileName, sizeof r->fileName, "%s", name.c_str());
                result = EditorFileSave(r->frame, 0);
            }
            return WriteOutcome{result == 1, boxes == 1};
        });
        WindowCloseChild(gWindowSystem.currentWindow);
    }
}

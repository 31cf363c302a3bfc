// Speed of the editor beside the bare control, printed as figures (run with
// --gtest_also_run_disabled_tests --gtest_filter='*Bench*'): opening and
// painting a 10 MB file against a bare stream-in, saving it, a New afterwards,
// and 1000 inserts at the end of a 1 MB text against bare replacements; Find
// Next, a miss and Replace All on 10 MB with 1000 matches, and one repaint by
// the line painter.
#include "editor_fixture.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "support/box_autopilot.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string TextOf(size_t bytes)
{
    std::string s;
    s.reserve(bytes + 100);
    for (int i = 0; s.size() < bytes; ++i)
        s += "line " + std::to_string(i) + " of the benchmark text, long enough to matter\r\n";
    return s;
}

struct In {
    const std::string* text;
    size_t done;
};

DWORD CALLBACK BareIn(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* count)
{
    auto* in = reinterpret_cast<In*>(cookie);
    size_t n = std::min(static_cast<size_t>(requested), in->text->size() - in->done);
    std::memcpy(buffer, in->text->data() + in->done, n);
    in->done += n;
    *count = static_cast<LONG>(n);
    return 0;
}

HWND BareControl(HWND parent)
{
    HWND c = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "", 0x50200144 | WS_HSCROLL | ES_AUTOHSCROLL, 0, 0,
                             500, 300, parent, nullptr, nullptr, nullptr);
    SendMessageA(c, EM_EXLIMITTEXT, 0, kEditorTextLimit);
    return c;
}

} // namespace

TEST_F(EditorTest, DISABLED_BenchBesideTheBareControl)
{
    std::string big = TextOf(10 << 20);
    std::string file = Path("bench10mb.txt");
    Write(file, big);
    int n = OpenWindow();
    ASSERT_GT(n, 0);

    auto t = std::chrono::steady_clock::now();
    HWND bare = BareControl(gWindowTable.frame[n]);
    In in{&big, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&in), 0, BareIn};
    SendMessageA(bare, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
    UpdateWindow(bare);
    double bareIn = Seconds(t);
    DestroyWindow(bare);

    t = std::chrono::steady_clock::now();
    int status = 0, mode = 2;
    EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, file, "");
    EditorRecord* r = EditorCurrentRecord();
    ASSERT_NE(r, nullptr);
    UpdateWindow(r->richEdit);
    double open = Seconds(t);

    t = std::chrono::steady_clock::now();
    EditorSave(0);
    double save = Seconds(t);

    t = std::chrono::steady_clock::now();
    SendMessageA(r->frame, WM_COMMAND, kCmdNew, 0);
    double fresh = Seconds(t);
    std::fflush(stdout);
    std::printf("10 MB: bare stream-in and paint %.2f s, editor open and paint %.2f s (%.2fx), save %.2f s, "
                "New afterwards %.2f s\n",
                bareIn, open, bareIn > 0 ? open / bareIn : 0.0, save, fresh);
    std::fflush(stdout);

    std::string one = TextOf(1 << 20);
    HWND bare2 = BareControl(gWindowTable.frame[n]);
    In in2{&one, 0};
    EDITSTREAM es2{reinterpret_cast<DWORD_PTR>(&in2), 0, BareIn};
    SendMessageA(bare2, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es2));
    t = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
        SendMessageA(bare2, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        SendMessageA(bare2, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("insert\r\n"));
    }
    double bareInserts = Seconds(t);
    DestroyWindow(bare2);

    EditorTextSet(status, one);
    int length = 0;
    EditorInfoGet(n, 2, length);
    t = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
        int at = length;
        EditorTextInsert(at, length, "insert\r\n");
        length += 8;
    }
    double inserts = Seconds(t);
    std::printf("1000 inserts at the end of 1 MB: bare %.2f s, editor %.2f s (%.2fx)\n", bareInserts, inserts,
                bareInserts > 0 ? inserts / bareInserts : 0.0);
}


// Find Next, a miss over the whole text and Replace All on 10 MB with 1000
// matches, beside a bare control's hidden search-and-replace loop; and one
// repaint by the editor's own painter beside the control's own paint.
TEST_F(EditorTest, DISABLED_BenchFindAndReplace)
{
    std::string big;
    big.reserve((10 << 20) + 200);
    const std::string filler = TextOf(10 << 10);
    for (int i = 0; i < 1000; ++i)
        big += filler + "NEEDLE\r\n";
    int n = OpenWindow();
    ASSERT_GT(n, 0);
    int status = 0, mode = 2;
    EditorCreate(status, mode, 0, 0, 4, 10, -1, -1, "", "");
    EditorRecord* r = EditorCurrentRecord();
    ASSERT_NE(r, nullptr);
    EditorTextSet(status, big);
    BoxAutopilot boxes(IDOK);
    auto request = [&](DWORD what, const char* find, const char* with) {
        std::strcpy(r->findText, find);
        std::strcpy(r->replaceText, with);
        r->findRecord.Flags = FR_DOWN | what;
        SendMessageA(r->frame, gWindowSystem.findReplaceMessage, 0, reinterpret_cast<LPARAM>(&r->findRecord));
    };

    SendMessageA(r->richEdit, EM_SETSEL, 0, 0);
    auto t = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i)
        request(FR_FINDNEXT, "NEEDLE", "");
    double finds = Seconds(t);
    SendMessageA(r->richEdit, EM_SETSEL, 0, 0);
    t = std::chrono::steady_clock::now();
    request(FR_FINDNEXT, "ABSENT", "");
    double miss = Seconds(t);

    t = std::chrono::steady_clock::now();
    request(FR_REPLACEALL, "NEEDLE", "PIN");
    double replaceAll = Seconds(t);
    EXPECT_EQ(Text().find("NEEDLE"), std::string::npos);

    HWND bare = BareControl(gWindowTable.frame[n]);
    ShowWindow(bare, SW_HIDE);
    In in{&big, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&in), 0, BareIn};
    SendMessageA(bare, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
    t = std::chrono::steady_clock::now();
    FINDTEXTEXA ft{};
    ft.lpstrText = "NEEDLE";
    ft.chrg = {0, -1};
    while (SendMessageA(bare, EM_FINDTEXTEX, FR_DOWN, reinterpret_cast<LPARAM>(&ft)) >= 0) {
        SendMessageA(bare, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&ft.chrgText));
        SendMessageA(bare, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("PIN"));
        ft.chrg = {ft.chrgText.cpMin + 3, -1};
    }
    double bareLoop = Seconds(t);
    DestroyWindow(bare);

    t = std::chrono::steady_clock::now();
    RedrawWindow(r->richEdit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    double ownPaint = Seconds(t);
    EditorLinePaintingOn();
    t = std::chrono::steady_clock::now();
    RedrawWindow(r->richEdit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    double painter = Seconds(t);
    std::printf("10 MB, 1000 matches: Find Next %.1f ms each, a miss %.2f s, Replace All %.2f s "
                "(bare hidden loop %.2f s); repaint: control %.1f ms, painter %.1f ms\n",
                finds * 1000 / 1000, miss, replaceAll, bareLoop, ownPaint * 1000, painter * 1000);
    std::fflush(stdout);
}

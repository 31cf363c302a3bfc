// The editor's own line painter: pixels at the cells the control reports
// for TAB characters inside the selection, for the line-colour hook's ranges
// and for plain text outside both.
#include "editor_fixture.h"

namespace {

POINT At(EditorRecord* r, int position)
{
    return EditorPositionFromChar(r, position);
}

// Whether some pixel of the cell of control position P (up to P + 1, one
// line high) has colour C.
bool CellHas(EditorRecord* r, int p, COLORREF c)
{
    POINT a = At(r, p), b = At(r, p + 1);
    HDC dc = GetDC(r->richEdit);
    bool found = false;
    for (int y = a.y + 1; y < a.y + r->lineHeight - 1 && !found; ++y)
        for (int x = a.x; x < std::max(b.x, a.x + 2) && !found; ++x)
            found = GetPixel(dc, x, y) == c;
    ReleaseDC(r->richEdit, dc);
    return found;
}

// The pixel in the middle of the cell of position P.
COLORREF CellMiddle(EditorRecord* r, int p)
{
    POINT a = At(r, p), b = At(r, p + 1);
    HDC dc = GetDC(r->richEdit);
    COLORREF c = GetPixel(dc, (a.x + b.x) / 2, a.y + r->lineHeight / 2);
    ReleaseDC(r->richEdit, dc);
    return c;
}

int gHookCalls = 0;
std::string gHookLines;

// Colours the second and third columns of lines that begin with "key" red,
// and reports a range past the line's end and more ranges than allowed.
void RedKeywords(int, int, int, int maximum, int* starts, int* ends, int* colours, int& count, char* text)
{
    ++gHookCalls;
    gHookLines += std::string(text) + "|";
    if (std::string(text).rfind("key", 0) != 0)
        return;
    starts[0] = 2;
    ends[0] = 3;
    colours[0] = RGB(255, 0, 0);
    starts[1] = 5;
    ends[1] = 5000;
    colours[1] = RGB(0, 0, 255);
    count = maximum + 50;
}

} // namespace

TEST_F(EditorTest, PainterDrawsSelectedTabCellsAndHookColours)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "a\tb\tc\nkeyword\tx\nplain");
    EditorLineColoursHookSet(RedKeywords);
    EditorLinePaintingOn();
    EXPECT_EQ(r->linePainting, 1);
    // The first line selected (control positions: a line break counts one).
    CHARRANGE s{0, 5};
    SendMessageA(r->richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&s));
    SetWindowPos(r->frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    gHookCalls = 0;
    gHookLines.clear();
    RedrawWindow(r->richEdit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EditorLineColoursHookSet(nullptr);
    EXPECT_GE(gHookCalls, 2) << "the selected line goes to the painter's own colours";
    EXPECT_NE(gHookLines.find("keyword\tx|"), std::string::npos);

    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(CellMiddle(r, 1), highlight) << "a TAB cell inside the selection";
    EXPECT_EQ(CellMiddle(r, 3), highlight);
    EXPECT_EQ(CellMiddle(r, 13), window) << "a TAB cell outside the selection";
    EXPECT_TRUE(CellHas(r, 0, GetSysColor(COLOR_HIGHLIGHTTEXT)));
    // Line two starts at 6: columns 2 and 3 ("ey") red, column 1 normal;
    // the range past the end was clamped to the line.
    EXPECT_TRUE(CellHas(r, 7, RGB(255, 0, 0)));
    EXPECT_TRUE(CellHas(r, 8, RGB(255, 0, 0)));
    EXPECT_FALSE(CellHas(r, 6, RGB(255, 0, 0)));
    EXPECT_TRUE(CellHas(r, 6, GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_TRUE(CellHas(r, 14, RGB(0, 0, 255)));
    EXPECT_FALSE(CellHas(r, 18, RGB(0, 0, 255))) << "the next line is not the hook's";
}

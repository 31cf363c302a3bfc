// The editor's own line painter: pixels at the cells the control reports
// for TAB characters inside the selection, for the line-colour hook's ranges
// and for plain text outside both.
#include "editor_fixture.h"

#include <string>
#include <vector>

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

namespace {

// What the control goes through after a wheel turn, seen above the
// editor's painter: hidden and shown, and its sizes while it is placed.
struct ZoomSeen {
    int hidden = 0, shown = 0;
    std::vector<SIZE> sizes;
    bool lastFrameChanged = false; // the last sizing came with a frame change
};
ZoomSeen gZoomSeen;
WNDPROC gZoomPainterProc = nullptr;
LRESULT CALLBACK ZoomWatch(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_SHOWWINDOW)
        ++(wp ? gZoomSeen.shown : gZoomSeen.hidden);
    if (m == WM_WINDOWPOSCHANGED) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
        if (!(pos->flags & SWP_NOSIZE)) {
            gZoomSeen.sizes.push_back(SIZE{pos->cx, pos->cy});
            gZoomSeen.lastFrameChanged = (pos->flags & SWP_FRAMECHANGED) != 0;
        }
    }
    return CallWindowProcA(gZoomPainterProc, w, m, wp, lp);
}

} // namespace

// Ctrl and the wheel zoom the control; with the editor's painter the view
// is laid out again: the control hidden, its selection set again without
// moving the view to it, shown, and its rectangle applied anew with a frame
// change (shrunk to 1 x 1 first). A turn without Ctrl only scrolls.
TEST_F(EditorTest, CtrlWheelLaysTheViewOutAgain)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    std::string text;
    for (int i = 0; i < 80; ++i)
        text += "line " + std::to_string(i) + "\n";
    int status = 0;
    EditorTextSet(status, text);
    EditorLinePaintingOn();
    // The selection on line 5, the view from line 20 on.
    const int at = static_cast<int>(SendMessageA(r->richEdit, EM_LINEINDEX, 5, 0));
    CHARRANGE s{at, at + 4};
    SendMessageA(r->richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&s));
    SendMessageA(r->richEdit, EM_LINESCROLL, 0, 20);
    ASSERT_EQ(SendMessageA(r->richEdit, EM_GETFIRSTVISIBLELINE, 0, 0), 20);
    RECT before{};
    GetWindowRect(r->richEdit, &before);
    gZoomSeen = ZoomSeen{};
    gZoomPainterProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(r->richEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ZoomWatch)));

    const LPARAM centre = MAKELPARAM((before.left + before.right) / 2, (before.top + before.bottom) / 2);
    SendMessageA(r->richEdit, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), centre);
    EXPECT_EQ(gZoomSeen.hidden, 1);
    EXPECT_EQ(gZoomSeen.shown, 1);
    ASSERT_GE(gZoomSeen.sizes.size(), 2u);
    const SIZE shrunk = gZoomSeen.sizes[gZoomSeen.sizes.size() - 2], back = gZoomSeen.sizes.back();
    EXPECT_EQ(shrunk.cx, 1);
    EXPECT_EQ(shrunk.cy, 1);
    EXPECT_EQ(back.cx, before.right - before.left);
    EXPECT_EQ(back.cy, before.bottom - before.top);
    EXPECT_TRUE(gZoomSeen.lastFrameChanged);
    EXPECT_GT(SendMessageA(r->richEdit, EM_GETFIRSTVISIBLELINE, 0, 0), 5) << "the view stays off the selection";
    CHARRANGE now{};
    SendMessageA(r->richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&now));
    EXPECT_EQ(now.cpMin, s.cpMin);
    EXPECT_EQ(now.cpMax, s.cpMax);
    EXPECT_TRUE(IsWindowVisible(r->richEdit));
    RECT after{};
    GetWindowRect(r->richEdit, &after);
    EXPECT_TRUE(EqualRect(&before, &after));

    gZoomSeen = ZoomSeen{};
    SendMessageA(r->richEdit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), centre);
    EXPECT_EQ(gZoomSeen.hidden, 0);
    EXPECT_TRUE(gZoomSeen.sizes.empty());
    SetWindowLongPtrA(r->richEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gZoomPainterProc));
}

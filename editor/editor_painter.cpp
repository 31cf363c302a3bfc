// The editor's own painter for the rich edit control: once switched on, it
// draws the visible lines itself at the positions the control reports, in
// the normal and selection colours, and lets the line-colour hook colour
// ranges of each line.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/window_table.h"

namespace {

constexpr int kLineReadLimit = 32768;
constexpr int kColourRanges = 100;
// Column codes of a line while it is drawn.
constexpr int kNormal = -2;
constexpr int kHighlight = -1;

EditorLineColoursHook gLineColoursHook = nullptr;

CHARRANGE Selection(HWND c)
{
    CHARRANGE s{};
    SendMessageA(c, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

// The characters of line LINE starting at control position START (the line
// break left out), at most 32768.
std::string LineText(HWND c, int start)
{
    LRESULT length = SendMessageA(c, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    int n = static_cast<int>(std::clamp<LRESULT>(length, 0, kLineReadLimit));
    if (n == 0)
        return {};
    TEXTRANGEA tr{};
    std::string text(static_cast<size_t>(n) + 1, '\0');
    tr.chrg = {start, start + n};
    tr.lpstrText = text.data();
    LRESULT got = SendMessageA(c, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, n)));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

HBRUSH BackgroundBrush(HWND c)
{
    auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(c, GCLP_HBRBACKGROUND));
    return brush ? brush : GetSysColorBrush(COLOR_WINDOW);
}

void Colours(HDC dc, int code)
{
    if (code == kHighlight) {
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    } else {
        SetTextColor(dc, code == kNormal ? GetSysColor(COLOR_WINDOWTEXT) : static_cast<COLORREF>(code));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    }
}

// The colour code of each column of a line of LENGTH characters: the
// selected columns highlighted, then the hook's ranges over them.
std::vector<int> ColumnCodes(EditorRecord* r, const std::string& text, int selFirst, int selLast)
{
    const int length = static_cast<int>(text.size());
    std::vector<int> codes(static_cast<size_t>(length), kNormal);
    for (int col = std::max(selFirst, 1); selFirst > 0 && col <= selLast && col <= length; ++col)
        codes[static_cast<size_t>(col - 1)] = kHighlight;
    int starts[kColourRanges] = {}, ends[kColourRanges] = {}, colours[kColourRanges] = {};
    int count = 0;
    std::string line = text;
    YYEditLineColours(WindowTableIndex(r->frame), selFirst, selLast, kColourRanges, starts, ends, colours, count,
                      line.data());
    count = std::clamp(count, 0, kColourRanges);
    for (int i = 0; i < count; ++i) {
        int from = std::max(starts[i], 1), to = std::min(ends[i], length);
        int code = colours[i] == -1 ? kHighlight : (colours[i] & 0xFFFFFF);
        for (int col = from; col <= to; ++col)
            codes[static_cast<size_t>(col - 1)] = code;
    }
    return codes;
}

struct PaintFont {
    HFONT font = nullptr;
    HFONT created = nullptr;
    int lineHeight = 0;
};

PaintFont FontForPaint(EditorRecord* r)
{
    PaintFont p{r->font, nullptr, r->lineHeight};
    if (r->version != 3)
        return p;
    WPARAM num = 0;
    LPARAM den = 0;
    SendMessageA(r->richEdit, EM_GETZOOM, reinterpret_cast<WPARAM>(&num), reinterpret_cast<LPARAM>(&den));
    if (num == 0 || den == 0 || static_cast<LPARAM>(num) == den)
        return p;
    int n = static_cast<int>(std::min<WPARAM>(num, 64)), d = static_cast<int>(std::min<LPARAM>(den, 64));
    p.created = CreateFontA(-MulDiv(r->charHeight, n, d), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 50, "Courier New");
    if (p.created)
        p.font = p.created;
    p.lineHeight = MulDiv(r->lineHeight, n, d);
    return p;
}

LRESULT Paint(HWND c, EditorRecord* r)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(c, &ps);
    RECT client;
    GetClientRect(c, &client);
    PaintFont pf = FontForPaint(r);
    HBRUSH background = BackgroundBrush(c);
    RECT edge{client.left, client.top, client.left + 1, client.bottom};
    FillRect(dc, &edge, background);
    edge = {client.right - 1, client.top, client.right, client.bottom};
    FillRect(dc, &edge, background);
    ExcludeClipRect(dc, client.left, client.top, client.left + 1, client.bottom);
    ExcludeClipRect(dc, client.right - 1, client.top, client.right, client.bottom);
    HGDIOBJ oldFont = pf.font ? SelectObject(dc, pf.font) : nullptr;
    SetBkMode(dc, OPAQUE);

    CHARRANGE sel = Selection(c);
    const bool all = sel.cpMin == 0 && sel.cpMax == -1;
    int lines = static_cast<int>(SendMessageA(c, EM_GETLINECOUNT, 0, 0));
    int line = static_cast<int>(SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0));
    int bandBottom = client.top;
    bool reachedEnd = true;
    bool firstLine = true;
    for (; line < lines; ++line) {
        int start = static_cast<int>(SendMessageA(c, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
        if (start < 0)
            break;
        POINT at = EditorPositionFromChar(r, start);
        if (at.y >= client.bottom) {
            reachedEnd = false;
            break;
        }
        std::string text = LineText(c, start);
        const int length = static_cast<int>(text.size());
        RECT band{client.left, firstLine ? client.top : at.y, client.right, at.y + pf.lineHeight + 1};
        firstLine = false;
        FillRect(dc, &band, background);
        bandBottom = band.bottom;
        if (all) {
            Colours(dc, kHighlight);
            if (length > 0)
                EditorTextOutTabs(r, dc, text.c_str(), start, length, pf.lineHeight);
            else
                TextOutA(dc, at.x, at.y, " ", 1);
            continue;
        }
        int selFirst = -1, selLast = -1;
        if (sel.cpMax > start && sel.cpMin < start + length) {
            selFirst = std::max(static_cast<int>(sel.cpMin) - start + 1, 1);
            selLast = std::min(static_cast<int>(sel.cpMax) - start, length);
        }
        std::vector<int> codes = ColumnCodes(r, text, selFirst, selLast);
        for (int col = 0; col < length;) {
            int run = col;
            while (run < length && codes[static_cast<size_t>(run)] == codes[static_cast<size_t>(col)])
                ++run;
            Colours(dc, codes[static_cast<size_t>(col)]);
            EditorTextOutTabs(r, dc, text.c_str() + col, start + col, run - col, pf.lineHeight);
            col = run;
        }
        int end = start + length;
        if (sel.cpMin <= end && sel.cpMax > end) {
            POINT e = EditorPositionFromChar(r, end);
            Colours(dc, kHighlight);
            TextOutA(dc, e.x, e.y, " ", 1);
        }
    }
    if (reachedEnd && bandBottom < client.bottom) {
        RECT rest{client.left, bandBottom, client.right, client.bottom};
        FillRect(dc, &rest, background);
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(c, &ps);
    if (pf.created)
        DeleteObject(pf.created);
    return 0;
}

// After the control's own zoom: re-applies its rectangle so that the
// painter's layout follows the new zoom.
void ZoomFollow(HWND c, EditorRecord* r)
{
    if (!r->redrawOff)
        ShowWindow(c, SW_HIDE);
    CHARRANGE sel = Selection(c);
    int first = static_cast<int>(SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageA(c, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    int now = static_cast<int>(SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageA(c, EM_LINESCROLL, 0, first - now);
    if (!r->redrawOff)
        ShowWindow(c, SW_SHOW);
    RECT place;
    GetWindowRect(c, &place);
    MapWindowPoints(nullptr, GetParent(c), reinterpret_cast<POINT*>(&place), 2);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE;
    SetWindowPos(c, nullptr, 0, 0, 1, 1, flags | SWP_NOREDRAW);
    SetWindowPos(c, nullptr, 0, 0, place.right - place.left, place.bottom - place.top, flags | SWP_FRAMECHANGED);
}

} // namespace

void EditorLineColoursHookSet(EditorLineColoursHook hook)
{
    gLineColoursHook = hook;
}

void YYEditLineColours(int window, int selectionStart, int selectionEnd, int maximum, int* starts, int* ends,
                       int* colours, int& count, char* lineText)
{
    count = 0;
    if (gLineColoursHook)
        gLineColoursHook(window, selectionStart, selectionEnd, maximum, starts, ends, colours, count, lineText);
}

POINT EditorPositionFromChar(EditorRecord* r, int position)
{
    POINTL at{};
    HWND c = r->richEdit;
    if (r->version == 2) {
        LRESULT packed = SendMessageA(c, EM_POSFROMCHAR, static_cast<WPARAM>(position), 0);
        at.x = static_cast<short>(LOWORD(packed));
        at.y = static_cast<short>(HIWORD(packed));
    } else {
        SendMessageA(c, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), position);
    }
    return POINT{at.x, at.y};
}

void EditorTextOutTabs(EditorRecord* r, HDC dc, const char* text, int first, int length, int lineHeight)
{
    HWND c = r->richEdit;
    CHARRANGE sel = Selection(c);
    const bool all = sel.cpMin == 0 && sel.cpMax == -1;
    for (int i = 0; i < length;) {
        if (text[i] == '\t') {
            int pos = first + i;
            if (all || (pos >= sel.cpMin && pos < sel.cpMax)) {
                POINT a = EditorPositionFromChar(r, pos), b = EditorPositionFromChar(r, pos + 1);
                RECT cell{a.x, a.y, b.y == a.y ? b.x : a.x, a.y + lineHeight};
                FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
            }
            ++i;
            continue;
        }
        int end = i;
        while (end < length && text[end] != '\t')
            ++end;
        POINT a = EditorPositionFromChar(r, first + i);
        TextOutA(dc, a.x, a.y, text + i, end - i);
        i = end;
    }
}

void EditorPainterAttach(EditorRecord* r)
{
    HWND c = r->richEdit;
    if (!c || !r->linePainting)
        return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(c, GWLP_WNDPROC)) == EditorTextPaintProc)
        return;
    LONG_PTR previous = SetWindowLongPtrA(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorTextPaintProc));
    SetWindowLongPtrA(c, GWLP_USERDATA, previous);
    InvalidateRect(c, nullptr, TRUE);
}

void EditorLinePaintingOn()
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r)
        return;
    r->linePainting = 1;
    EditorPainterAttach(r);
}

LRESULT CALLBACK EditorTextPaintProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
    EditorRecord* r = EditorRecordOf(GetParent(control));
    if (message == WM_PAINT && r && r->linePainting && r->richEdit == control)
        return Paint(control, r);
    LRESULT result = previous ? CallWindowProcA(previous, control, message, wParam, lParam)
                              : DefWindowProcA(control, message, wParam, lParam);
    if (message == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) && r && r->linePainting && r->richEdit == control)
        ZoomFollow(control, r);
    return result;
}

// The routines through which a program reads and changes the editor in the
// current window, and the conversion between the program's positions (a line
// break counts two, as in a file) and the control's own (one, on rich edit
// versions 2 and 3). A position cache keeps the last pair met, so that a run
// of changes near the end of a long text does not rescan it from the start.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// What a modal editor left behind when it closed.
struct EditorLastClosed {
    int unmodified = 0;
    int textLength = 0;
    int changedValue = 0;
    int selectionStart = 0;
    int selectionEnd = 0;
    int currentBuffer = 0;
    int bufferCount = 0;
    int firstVisibleLine = 0;
    int fontFamily = 0;
    int pointSize = 0;
    char findText[kEditorTextField + 1] = {};
    char replaceText[kEditorTextField + 1] = {};
    char fileName[kEditorNameLength + 1] = {};
};
EditorLastClosed gLastClosed;

// The first visible line and selection saved by EditorRedrawSet(0).
struct RedrawSave {
    int firstLine = 0;
    CHARRANGE selection{};
};
RedrawSave gRedrawSave;

CHARRANGE Selection(HWND c)
{
    CHARRANGE s{};
    SendMessageA(c, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

// The control's number of characters (a line break counts one on versions
// 2 and 3).
int ControlLength(const EditorRecord* r)
{
    if (r->version == 1)
        return static_cast<int>(SendMessageA(r->richEdit, WM_GETTEXTLENGTH, 0, 0));
    GETTEXTLENGTHEX g{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    return static_cast<int>(SendMessageA(r->richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
}

// The control's characters FROM .. TO (excluded).
std::string TextRange(HWND c, int from, int to)
{
    std::string text;
    if (to <= from)
        return text;
    text.resize(static_cast<size_t>(to - from) + 1);
    TEXTRANGEA tr{};
    tr.chrg = {from, to};
    tr.lpstrText = text.data();
    LRESULT n = SendMessageA(c, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, n)));
    return text;
}

int CodeTwoLength(EditorRecord* r)
{
    return (r->controlPositions && r->version >= 2) ? ControlLength(r) : EditorTextLengthQuiet(r);
}

void CopyCut(std::span<char> buffer, std::string_view text)
{
    if (buffer.empty())
        return;
    size_t n = std::min(text.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), text.data(), n);
    buffer[n] = '\0';
}

struct CountOut {
    long long bytes;
    char* buffer;
    size_t size;
};

DWORD CALLBACK CountOutCallback(DWORD_PTR cookie, LPBYTE block, LONG count, LONG* written)
{
    auto* out = reinterpret_cast<CountOut*>(cookie);
    size_t n = static_cast<size_t>(std::max(0L, count));
    if (out->buffer) {
        size_t room = out->size - static_cast<size_t>(out->bytes);
        size_t put = std::min(room, n);
        std::memcpy(out->buffer + out->bytes, block, put);
        out->bytes += static_cast<long long>(put);
    } else {
        out->bytes += static_cast<long long>(n);
    }
    *written = count;
    return 0;
}

long long StreamCount(EditorRecord* r, char* buffer, size_t size)
{
    CountOut out{0, buffer, size};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
    es.pfnCallback = CountOutCallback;
    SendMessageA(r->richEdit, EM_STREAMOUT, r->richText ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    return out.bytes;
}

} // namespace

bool EditorConverts(const EditorRecord* r)
{
    return r->version >= 2 && !r->controlPositions;
}

int EditorTextLengthQuiet(EditorRecord* r)
{
    if (r->version == 1)
        return static_cast<int>(SendMessageA(r->richEdit, WM_GETTEXTLENGTH, 0, 0));
    GETTEXTLENGTHEX g{GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    return static_cast<int>(SendMessageA(r->richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
}

int EditorLineBreaksBefore(EditorRecord* r, int count)
{
    std::string text = TextRange(r->richEdit, 0, std::max(0, count));
    return static_cast<int>(std::count(text.begin(), text.end(), '\r'));
}

int EditorProgramPosition(EditorRecord* r, int position)
{
    if (!EditorConverts(r) || position <= 0)
        return position;
    bool wraps = !(GetWindowLongA(r->richEdit, GWL_STYLE) & WS_HSCROLL);
    if (!wraps)
        return position + static_cast<int>(SendMessageA(r->richEdit, EM_EXLINEFROMCHAR, 0, position));
    return position + EditorLineBreaksBefore(r, position);
}

int EditorBookmarkLength(EditorRecord* r)
{
    return ControlLength(r);
}

void EditorPositionToControl(EditorRecord* r, int start, int end, int& controlStart, int& controlEnd)
{
    start = std::max(0, start);
    end = std::max(0, end);
    if (!EditorConverts(r)) {
        controlStart = start;
        controlEnd = end;
        return;
    }
    int k = r->cacheControl, m = r->cacheCaller;
    if (k < 0 || m < 0 || start < m || end < m)
        k = m = 0;
    int larger = std::max(start, end);
    int length = ControlLength(r);
    std::string text = TextRange(r->richEdit, k, std::min(length, k + (larger + 1 - m)));
    int a = -1, b = -1;
    for (size_t i = 0;; ++i) {
        if (a < 0 && m == start)
            a = k;
        if (b < 0 && m == end)
            b = k;
        if ((a >= 0 && b >= 0) || i >= text.size())
            break;
        if (text[i] == '\r') {
            // The line feed of the program's CR LF lies on the same character.
            if (a < 0 && m + 1 == start)
                a = k;
            if (b < 0 && m + 1 == end)
                b = k;
            ++m;
        }
        ++k;
        ++m;
    }
    r->cacheControl = k;
    r->cacheCaller = m;
    // A position past the end of the text is the end.
    controlStart = a >= 0 ? a : length;
    controlEnd = b >= 0 ? b : length;
}

void EditorUndoEmptyOn(EditorRecord* r)
{
    SendMessageA(r->richEdit, EM_EMPTYUNDOBUFFER, 0, 0);
    EditorToolbarButtonEnable(r, kCmdUndo, false);
    if (r->version >= 2)
        EditorToolbarButtonEnable(r, kCmdRedo, false);
}

void EditorLastClosedStore(EditorRecord* r)
{
    EditorLastClosed& s = gLastClosed;
    HWND c = r->richEdit;
    s.unmodified = SendMessageA(c, EM_GETMODIFY, 0, 0) ? 0 : 1;
    s.textLength = CodeTwoLength(r);
    s.changedValue = r->changedValue;
    CHARRANGE sel = Selection(c);
    s.selectionStart = EditorProgramPosition(r, sel.cpMin);
    s.selectionEnd = EditorProgramPosition(r, sel.cpMax);
    s.currentBuffer = r->currentBuffer;
    s.bufferCount = r->bufferCount;
    s.firstVisibleLine = static_cast<int>(SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0));
    s.fontFamily = r->fontFamily;
    s.pointSize = r->pointSize;
    std::memcpy(s.findText, r->findText, sizeof s.findText);
    std::memcpy(s.replaceText, r->replaceText, sizeof s.replaceText);
    std::memcpy(s.fileName, r->fileName, sizeof s.fileName);
}

// ---- the routines --------------------------------------------------------------

void EditorTextSet(int& status, std::string_view text)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        status = 1;
        return;
    }
    EditorStreamIn(r, text.data(), text.size(), false);
    status = 0;
}

void EditorTextInsert(int& start, int end, std::string_view text)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        start = -1;
        return;
    }
    HWND c = r->richEdit;
    if (!text.empty() || start != end)
        SendMessageA(c, r->version == 1 ? EM_EMPTYUNDOBUFFER : EM_STOPGROUPTYPING, 0, 0);
    int a = 0, b = 0;
    EditorPositionToControl(r, start, end, a, b);
    // The text before the change stays as it is: a cache that lies there
    // stays valid across the control's change notification.
    int keepK = r->cacheControl, keepM = r->cacheCaller;
    bool keep = keepM >= 0 && keepM <= std::min(std::max(0, start), std::max(0, end)) && keepK <= std::min(a, b);
    std::string owned(text);
    SendMessageA(c, EM_HIDESELECTION, TRUE, 0);
    CHARRANGE range{a, b};
    SendMessageA(c, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    r->protectGuard = 0;
    SendMessageA(c, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(owned.c_str()));
    r->protectGuard = 1;
    SendMessageA(c, EM_HIDESELECTION, FALSE, 0);
    SendMessageA(c, EM_SCROLLCARET, 0, 0);
    if (!r->redrawOff)
        InvalidateRect(c, nullptr, TRUE);
    if (keep) {
        r->cacheControl = keepK;
        r->cacheCaller = keepM;
    }
    start = 0;
}

void EditorTextCopyOut(int& status, std::span<char> buffer)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        status = 1;
        return;
    }
    int n = ControlLength(r);
    int size = static_cast<int>(std::min<size_t>(buffer.size(), 0x7FFFFFFF));
    int take = n < size ? n : std::max(0, size - 1);
    status = n < size ? 0 : 2;
    CopyCut(buffer, TextRange(r->richEdit, 0, take));
}

void EditorTextRangeGet(int& start, int count, std::span<char> buffer)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        start = -1;
        return;
    }
    int from = std::max(0, start);
    int to = from + std::max(0, count - 1);
    int a = 0, b = 0;
    EditorPositionToControl(r, from, to, a, b);
    CopyCut(buffer, TextRange(r->richEdit, a, b));
    start = 0;
}

void EditorTextLength(int& length)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        length = 1;
        return;
    }
    long long n = StreamCount(r, nullptr, 0);
    length = static_cast<int>(std::min<long long>(n, 0x7FFFFFFF));
}

int EditorTextGet(std::span<char> buffer)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r || buffer.empty())
        return 0;
    return static_cast<int>(StreamCount(r, buffer.data(), buffer.size()));
}

void EditorTextPut(int length, const char* text)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r)
        return;
    EditorStreamIn(r, text ? text : "", text ? static_cast<size_t>(std::max(0, length)) : 0, r->richText != 0);
}

void EditorSelectionSet(int& start, int end)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        start = -1;
        return;
    }
    int a = 0, b = 0;
    EditorPositionToControl(r, start, end, a, b);
    CHARRANGE range{a, b};
    SendMessageA(r->richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageA(r->richEdit, EM_SCROLLCARET, 0, 0);
}

void EditorCaretSet(int position)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r)
        return;
    int a = 0, b = 0;
    EditorPositionToControl(r, position, position, a, b);
    SendMessageA(r->richEdit, EM_SETSEL, static_cast<WPARAM>(a), a);
    SendMessageA(r->richEdit, EM_SCROLLCARET, 0, 0);
    InvalidateRect(r->richEdit, nullptr, FALSE);
}

void EditorLineScroll(int line)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r)
        return;
    LRESULT first = SendMessageA(r->richEdit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(r->richEdit, EM_LINESCROLL, 0, line - first);
}

void EditorLineIndex(int mode, int value, int& result)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        result = -2;
        return;
    }
    if (mode == 1) {
        int a = 0, b = 0;
        EditorPositionToControl(r, value, value, a, b);
        result = static_cast<int>(SendMessageA(r->richEdit, EM_EXLINEFROMCHAR, 0, a));
        return;
    }
    LRESULT startOfLine = SendMessageA(r->richEdit, EM_LINEINDEX, static_cast<WPARAM>(std::max(0, value)), 0);
    result = startOfLine < 0 ? -1 : EditorProgramPosition(r, static_cast<int>(startOfLine));
}

void EditorInfoGet(int window, int code, int& result)
{
    if (code == 8) {
        result = EditorRichEditVersion();
        return;
    }
    if (window == -1) {
        const EditorLastClosed& s = gLastClosed;
        switch (code) {
        case 1: result = s.unmodified; break;
        case 2: result = s.textLength; break;
        case 3: result = s.changedValue; break;
        case 4: result = s.selectionStart + 1; break;
        case 5: result = std::min(s.selectionEnd, s.textLength); break;
        case 6: result = s.currentBuffer; break;
        case 7: result = s.bufferCount; break;
        case 9: result = s.firstVisibleLine; break;
        case 10: result = 0; break;
        case 11: result = s.fontFamily; break;
        case 12: result = s.pointSize; break;
        default: break;
        }
        return;
    }
    EditorRecord* r = WindowIsOpen(window) ? EditorRecordOf(gWindowTable.frame[window]) : nullptr;
    if (!r)
        return;
    HWND c = r->richEdit;
    switch (code) {
    case 1: result = SendMessageA(c, EM_GETMODIFY, 0, 0) ? 0 : 1; break;
    case 2: result = CodeTwoLength(r); break;
    case 3: result = r->changedValue; break;
    case 4: result = EditorProgramPosition(r, Selection(c).cpMin) + 1; break;
    case 5: result = std::min(EditorProgramPosition(r, Selection(c).cpMax), CodeTwoLength(r)); break;
    case 6: result = r->currentBuffer; break;
    case 7: result = r->bufferCount; break;
    case 9: result = static_cast<int>(SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0)); break;
    case 10:
        result = (r->commandLine && r->commandLine != r->commandEdit)
                     ? static_cast<int>(SendMessageA(r->commandLine, CB_GETCOUNT, 0, 0))
                     : 0;
        break;
    case 11: result = r->fontFamily; break;
    case 12: result = r->pointSize; break;
    case 102: {
        RECT rc{};
        GetClientRect(c, &rc);
        int first = static_cast<int>(SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0));
        result = first + (r->lineHeight > 0 ? static_cast<int>(rc.bottom) / r->lineHeight : 0);
        break;
    }
    case 103: result = static_cast<int>(SendMessageA(c, EM_GETLINECOUNT, 0, 0)); break;
    case 104: result = r->controlPositions ? 1 : 0; break;
    default: break;
    }
}

void EditorStringGet(int window, int item, std::span<char> buffer)
{
    const char* text = nullptr;
    if (window == -1) {
        text = item == 1 ? gLastClosed.findText : item == 2 ? gLastClosed.replaceText
                                                             : item == 3 ? gLastClosed.fileName : nullptr;
    } else if (EditorRecord* r = WindowIsOpen(window) ? EditorRecordOf(gWindowTable.frame[window]) : nullptr) {
        text = item == 1 ? r->findText : item == 2 ? r->replaceText : item == 3 ? r->fileName : nullptr;
    }
    if (text)
        CopyCut(buffer, text);
}

void EditorModifiedSet(int unmodified, int changedValue)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r)
        return;
    SendMessageA(r->richEdit, EM_SETMODIFY, unmodified == 0 ? TRUE : FALSE, 0);
    r->changedValue = changedValue;
    if (r->modifiedMark)
        EditorTitleUpdate(r->frame);
}

void EditorUndoEmpty()
{
    if (EditorRecord* r = EditorCurrentRecord())
        EditorUndoEmptyOn(r);
}

void EditorBackupSet(int value)
{
    if (EditorRecord* r = EditorCurrentRecord())
        r->backup = value == 1 ? 1 : 0;
}

void EditorRedrawSet(int flag)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r)
        return;
    HWND c = r->richEdit;
    if (flag == 0) {
        r->redrawOff = 1;
        ShowWindow(c, SW_HIDE);
        gRedrawSave.firstLine = static_cast<int>(SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0));
        gRedrawSave.selection = Selection(c);
        return;
    }
    r->redrawOff = 0;
    SendMessageA(c, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&gRedrawSave.selection));
    LRESULT first = SendMessageA(c, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(c, EM_LINESCROLL, 0, gRedrawSave.firstLine - first);
    ShowWindow(c, SW_SHOW);
}

void EditorRepaint(int window)
{
    EditorRecord* r = WindowIsOpen(window) ? EditorRecordOf(gWindowTable.frame[window]) : nullptr;
    if (r)
        InvalidateRect(r->richEdit, nullptr, TRUE);
}

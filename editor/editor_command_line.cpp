// The editor's command line: an edit field (or a drop-down combo box whose
// list is the history of lines entered, newest first, at most 100) below the
// text, with a prompt on its left. Enter gives the program event 14; the
// routines set the prompt and read and change the line and the history.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/events.h"

namespace {

constexpr int kHistoryEntries = 100;

bool HasHistory(const EditorRecord* r)
{
    return r->commandLine && r->commandEdit && r->commandLine != r->commandEdit;
}

// The record of the editor whose command edit field is CONTROL.
EditorRecord* CommandRecord(HWND control)
{
    HWND parent = GetParent(control);
    EditorRecord* r = EditorRecordOf(parent);
    if (!r && parent)
        r = EditorRecordOf(GetParent(parent));
    return r;
}

// The field's own procedure, run with the subclass taken off meanwhile.
LRESULT CallPrevious(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
    if (!previous)
        return DefWindowProcA(control, message, wParam, lParam);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    LRESULT result = CallWindowProcA(previous, control, message, wParam, lParam);
    if (IsWindow(control) && message != WM_NCDESTROY)
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorCommandLineProc));
    return result;
}

std::string WindowText(HWND w)
{
    int n = GetWindowTextLengthA(w);
    std::string text(static_cast<size_t>(std::max(0, n)) + 1, '\0');
    int got = GetWindowTextA(w, text.data(), n + 1);
    text.resize(static_cast<size_t>(std::clamp(got, 0, n)));
    return text;
}

std::string HistoryEntry(HWND combo, int index)
{
    LRESULT n = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR || n < 0)
        return {};
    std::string text(static_cast<size_t>(n) + 1, '\0');
    LRESULT got = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, n)));
    return text;
}

bool Blank(const std::string& text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

// Copies TEXT into BUFFER cut to size - 1 and a NUL: 0 whole, 2 cut.
int CopyOut(std::span<char> buffer, const std::string& text)
{
    if (buffer.empty())
        return 2;
    size_t n = std::min(text.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), text.data(), n);
    buffer[n] = '\0';
    return text.size() < buffer.size() ? 0 : 2;
}

void StatusRepaint(EditorRecord* r)
{
    if (r->statusBar)
        UpdateWindow(r->statusBar);
}

// Up and Down in a command line with a history: the neighbouring entry, or,
// with no entry chosen, the first that begins with the typed text.
void HistoryStep(EditorRecord* r, bool up)
{
    HWND combo = r->commandLine;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    LRESULT chosen = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    LRESULT index;
    if (chosen != CB_ERR) {
        index = up ? chosen - 1 : chosen + 1;
    } else {
        std::string typed = WindowText(r->commandEdit);
        index = SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
        if (index == CB_ERR)
            index = 0;
    }
    index = up ? std::max<LRESULT>(index, 0) : std::min<LRESULT>(index, std::max<LRESULT>(count - 1, 0));
    if (count > 0)
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Enter: event 14, and with a history the line as its newest entry.
void Enter(HWND control, EditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    EventStore(kEventCommandLine, 0, 0, 0, r->frame);
    if (!HasHistory(r))
        return;
    HWND combo = r->commandLine;
    if (SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
        CallPrevious(control, WM_CHAR, wParam, lParam);
    std::string text = WindowText(r->commandEdit);
    if (Blank(text))
        return;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    if (count <= 0 || HistoryEntry(combo, 0) != text) {
        if (count >= kHistoryEntries)
            SendMessageA(combo, CB_DELETESTRING, kHistoryEntries - 1, 0);
        SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

LRESULT KeyDown(HWND control, EditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case VK_CAPITAL:
        EditorStatusPart(r, 1, (GetKeyState(VK_CAPITAL) & 1) ? "\tCAPS" : "");
        StatusRepaint(r);
        break;
    case VK_NUMLOCK:
        EditorStatusPart(r, 2, (GetKeyState(VK_NUMLOCK) & 1) ? "\tNUM" : "");
        StatusRepaint(r);
        break;
    case VK_PRIOR:
    case VK_NEXT:
        SendMessageA(r->richEdit, EM_SCROLL, wParam == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN, 0);
        return 0;
    case VK_UP:
    case VK_DOWN:
        if (!HasHistory(r)) {
            SendMessageA(r->richEdit, EM_SCROLL, wParam == VK_UP ? SB_LINEUP : SB_LINEDOWN, 0);
            return 0;
        }
        if (SendMessageA(r->commandLine, CB_GETDROPPEDSTATE, 0, 0))
            break;
        HistoryStep(r, wParam == VK_UP);
        return 0;
    default:
        break;
    }
    return CallPrevious(control, WM_KEYDOWN, wParam, lParam);
}

LRESULT Character(HWND control, EditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case 1: // Ctrl+A
        SendMessageA(control, EM_SETSEL, 0, -1);
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
        return 0;
    case '\t':
        gWindowSystem.lastActiveFrame = r->frame;
        gActiveDialog = nullptr;
        SetFocus(r->richEdit);
        return 0;
    case '\r':
        Enter(control, r, wParam, lParam);
        return 0;
    case 27: // Esc
        if (HasHistory(r) && SendMessageA(r->commandLine, CB_GETDROPPEDSTATE, 0, 0))
            SendMessageA(r->commandLine, CB_SHOWDROPDOWN, FALSE, 0);
        else
            SetWindowTextA(r->commandEdit, "");
        return 0;
    default:
        return CallPrevious(control, WM_CHAR, wParam, lParam);
    }
}

// The current editor with a command line; STATUS 1 not an editor, MISSING
// without a command line.
EditorRecord* CommandLineRecord(int& status, int missing)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        status = 1;
        return nullptr;
    }
    if (!r->commandLine || !r->commandEdit) {
        status = missing;
        return nullptr;
    }
    status = 0;
    return r;
}

} // namespace

LRESULT CALLBACK EditorCommandLineProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditorRecord* r = (message == WM_KEYDOWN || message == WM_CHAR) ? CommandRecord(control) : nullptr;
    if (r && message == WM_KEYDOWN)
        return KeyDown(control, r, wParam, lParam);
    if (r && message == WM_CHAR)
        return Character(control, r, wParam, lParam);
    return CallPrevious(control, message, wParam, lParam);
}

void EditorPromptSet(int& status, std::string_view text, int length)
{
    EditorRecord* r = CommandLineRecord(status, 2);
    if (!r)
        return;
    size_t n = static_cast<size_t>(std::clamp(length, 0, static_cast<int>(std::min<size_t>(text.size(), 0x7FFFFFFF))));
    std::string shown(text.substr(0, n));
    int width = 0;
    if (r->promptLabel) {
        SetWindowTextA(r->promptLabel, shown.c_str());
        if (!shown.empty()) {
            HDC dc = GetDC(r->promptLabel);
            auto font = reinterpret_cast<HFONT>(SendMessageA(r->promptLabel, WM_GETFONT, 0, 0));
            HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
            SIZE extent{};
            GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
            if (old)
                SelectObject(dc, old);
            ReleaseDC(r->promptLabel, dc);
            width = extent.cx + 2 * GetSystemMetrics(SM_CXBORDER);
        }
    }
    const UINT place = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (r->commandPanel)
        SetWindowPos(r->commandPanel, nullptr, 0, 0, width, r->commandHeight, place);
    if (r->promptLabel)
        SetWindowPos(r->promptLabel, nullptr, 0, 0, width, std::max(0, r->commandHeight - r->promptOffset), place);
    // The layout puts the command line right of the prompt (and of a left
    // toolbar), up to its right edge.
    EditorLayout(r);
    if (r->commandPanel)
        InvalidateRect(r->commandPanel, nullptr, TRUE);
    InvalidateRect(r->commandLine, nullptr, TRUE);
}

void EditorCommandLineSet(int& status, std::string_view text, int caret)
{
    EditorRecord* r = CommandLineRecord(status, 2);
    if (!r)
        return;
    HWND edit = r->commandEdit;
    if (HasHistory(r))
        SendMessageA(r->commandLine, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    std::string owned(text);
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_USERDATA));
    if (previous)
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SetWindowTextA(edit, owned.c_str());
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(caret), caret);
    if (previous)
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorCommandLineProc));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    InvalidateRect(r->commandLine, nullptr, TRUE);
}

void EditorCommandLineGet(int& status, std::span<char> buffer)
{
    EditorRecord* r = CommandLineRecord(status, 3);
    if (!r)
        return;
    status = CopyOut(buffer, WindowText(r->commandEdit));
}

void EditorHistoryCheck(int& status)
{
    EditorRecord* r = CommandLineRecord(status, 2);
    if (r && !HasHistory(r))
        status = 2;
}

void EditorHistoryClear(int& status)
{
    EditorRecord* r = CommandLineRecord(status, 2);
    if (!r)
        return;
    if (!HasHistory(r)) {
        status = 2;
        return;
    }
    SendMessageA(r->commandLine, CB_RESETCONTENT, 0, 0);
}

void EditorHistoryInsert(int index, std::string_view text)
{
    int status = 0;
    EditorRecord* r = CommandLineRecord(status, 2);
    if (!r || !HasHistory(r))
        return;
    HWND combo = r->commandLine;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    if (index < 0 || index > count || index >= kHistoryEntries)
        return;
    if (count >= kHistoryEntries)
        SendMessageA(combo, CB_DELETESTRING, kHistoryEntries - 1, 0);
    std::string owned(text);
    SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(owned.c_str()));
}

void EditorHistoryGet(int index, std::span<char> buffer, int& status)
{
    EditorRecord* r = CommandLineRecord(status, 3);
    if (!r)
        return;
    if (!HasHistory(r) || index < 0 || index >= SendMessageA(r->commandLine, CB_GETCOUNT, 0, 0)) {
        status = 3;
        return;
    }
    status = CopyOut(buffer, HistoryEntry(r->commandLine, index));
}

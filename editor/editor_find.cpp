// The editor's paste and its search and replace through the platform's
// modeless find and replace dialogs (the find record lives in the editor's
// record; the dialog talks to the frame through the registered find message).
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/events.h"
#include "core/window_services.h"

namespace {

CHARRANGE Selection(HWND c)
{
    CHARRANGE s{};
    SendMessageA(c, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

// The text of a find-record buffer: at most LIMIT characters, the dialog may
// have filled the whole buffer without a NUL.
std::string FieldText(const char* text, WORD limit)
{
    if (!text)
        return {};
    const void* nul = std::memchr(text, '\0', limit);
    size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : limit;
    return std::string(text, n);
}

// The clipboard's text, read inside its block (data without a NUL ends at the
// block's end). False when the clipboard holds no text or cannot be opened.
bool ClipboardText(std::string& text)
{
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr))
        return false;
    bool got = false;
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        SIZE_T size = GlobalSize(h);
        if (const auto* p = static_cast<const char*>(GlobalLock(h))) {
            const void* nul = std::memchr(p, '\0', size);
            size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - p) : size;
            text.assign(p, n);
            got = true;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return got;
}

// The "End of text reached" box: owned by the open find dialog (the frame is
// disabled while it is up), else by the frame.
void EndOfTextBox(HWND frame, EditorRecord* r)
{
    HWND dialog = (r->findDialog && IsWindow(r->findDialog)) ? r->findDialog : nullptr;
    if (dialog) {
        EnableWindow(frame, FALSE);
        MessageBoxA(dialog, "End of text reached", "Find", MB_OK | MB_ICONINFORMATION);
        EnableWindow(frame, TRUE);
    } else {
        MessageBoxA(frame, "End of text reached", "Find", MB_OK | MB_ICONINFORMATION);
    }
}

// Where the view stands: the scroll position (the first visible line costs
// a walk through the text on the newer controls).
LONG ViewTop(EditorRecord* r)
{
    if (r->version == 1)
        return static_cast<LONG>(SendMessageA(r->richEdit, EM_GETFIRSTVISIBLELINE, 0, 0));
    POINT p{};
    SendMessageA(r->richEdit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&p));
    return p.y;
}

// The search of EditorFind; SCROLL false leaves the view alone (Replace All
// scrolls once at its end).
int Find(HWND frame, EditorRecord* r, const FINDREPLACEA* find, bool scroll)
{
    HWND c = r->richEdit;
    DWORD bits = find->Flags & (FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE);
    if (r->version == 1)
        bits |= FR_DOWN;
    std::string what = FieldText(find->lpstrFindWhat, find->wFindWhatLen);
    CHARRANGE s = Selection(c);
    FINDTEXTEXA ft{};
    if (bits & FR_DOWN)
        ft.chrg = {s.cpMin == s.cpMax ? s.cpMin : s.cpMin + 1, -1};
    else
        ft.chrg = {s.cpMin == s.cpMax ? s.cpMax : std::max(0L, s.cpMax - 1), 0};
    ft.lpstrText = what.c_str();
    LRESULT at = what.empty() ? -1 : SendMessageA(c, EM_FINDTEXTEX, bits, reinterpret_cast<LPARAM>(&ft));
    if (at < 0) {
        EndOfTextBox(frame, r);
        return 0;
    }
    CHARRANGE hit{static_cast<LONG>(at), static_cast<LONG>(at) + static_cast<LONG>(what.size())};
    if (ft.chrgText.cpMax > ft.chrgText.cpMin && ft.chrgText.cpMin == hit.cpMin)
        hit.cpMax = ft.chrgText.cpMax;
    if (!scroll) {
        SendMessageA(c, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&hit));
        return 1;
    }
    LONG first = ViewTop(r);
    SendMessageA(c, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&hit));
    SendMessageA(c, EM_SCROLLCARET, 0, 0);
    if (ViewTop(r) != first) {
        // Keeps the match away from the window's edge.
        SendMessageA(c, EM_LINESCROLL, 0, 6);
        SendMessageA(c, EM_SCROLLCARET, 0, 0);
    }
    return 1;
}

int Replace(HWND frame, EditorRecord* r, const FINDREPLACEA* find, bool scroll)
{
    HWND c = r->richEdit;
    CHARRANGE s = Selection(c);
    std::string what = FieldText(find->lpstrFindWhat, find->wFindWhatLen);
    LONG length = s.cpMax - s.cpMin;
    if (!what.empty() && length > 0 && length <= kEditorTextField) {
        std::string selected(static_cast<size_t>(length) + 1, '\0');
        LRESULT n = SendMessageA(c, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected.data()));
        selected.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, length)));
        bool equal = (find->Flags & FR_MATCHCASE) ? selected == what : lstrcmpiA(selected.c_str(), what.c_str()) == 0;
        if (equal) {
            std::string with = FieldText(find->lpstrReplaceWith, find->wReplaceWithLen);
            int guard = r->protectGuard;
            r->protectGuard = 0;
            SendMessageA(c, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(with.c_str()));
            r->protectGuard = guard;
        }
    }
    return Find(frame, r, find, scroll);
}

} // namespace

void EditorPaste(EditorRecord* r)
{
    if (r->viewer)
        return;
    if (r->richText) {
        SendMessageA(r->richEdit, WM_PASTE, 0, 0);
        return;
    }
    std::string text;
    if (ClipboardText(text))
        SendMessageA(r->richEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

int EditorFind(HWND frame, EditorRecord* r, FINDREPLACEA* find)
{
    return Find(frame, r, find, true);
}

int EditorReplace(HWND frame, EditorRecord* r, FINDREPLACEA* find)
{
    return Replace(frame, r, find, true);
}

void EditorReplaceAll(HWND frame, EditorRecord* r)
{
    HWND c = r->richEdit;
    // Always downwards from the start, whatever direction the dialog holds.
    FINDREPLACEA down = r->findRecord;
    down.Flags |= FR_DOWN;
    SendMessageA(c, EM_SETSEL, 0, 0);
    // The control is hidden meanwhile: a visible one redraws the selection
    // at every step, which costs more than the search and replacement.
    const bool shown = IsWindowVisible(c) != 0;
    const bool focused = GetFocus() == c;
    if (shown)
        ShowWindow(c, SW_HIDE);
    // Each replacement moves on past the text it put in; the count bounds a
    // control that would keep finding the same place.
    for (int guard = 0; guard < kEditorTextLimit && Replace(frame, r, &down, false) == 1; ++guard) {
    }
    if (shown) {
        ShowWindow(c, SW_SHOW);
        if (focused)
            SetFocus(c);
    }
    SendMessageA(c, EM_SCROLLCARET, 0, 0);
}

UINT_PTR CALLBACK EditorFindDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        if (HWND owner = GetWindow(dialog, GW_OWNER)) {
            SetFocus(owner);
            WindowFocusActivate(owner);
        }
    }
    return 0;
}

// Editor files: reading a file into the current buffer, writing it back
// (with an optional backup copy), the question before unsaved text is
// discarded, the file dialogs, and the streams between the rich edit control
// and memory or files. A buffer's file stays open for reading, writing denied
// to others, while the buffer is shown.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "core/library_state.h"
#include "core/os_services.h"
#include "core/window_services.h"
#include "dialogs/dialog_show.h"

namespace {

const char kRichFilter[] = "Rich Text Files (*.RTF)\0*.RTF\0Text Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0";
const char kPlainFilter[] = "Text Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0";

// ---- streams between the control and memory or a file ----------------------------

struct MemoryIn {
    const char* data;
    size_t size;
    size_t done;
};

// Hands out the next block. A block never ends on a CR while more text
// follows: the control would read a CR LF split between two blocks as two
// line breaks.
DWORD CALLBACK MemoryInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* count)
{
    auto* in = reinterpret_cast<MemoryIn*>(cookie);
    size_t left = in->size - in->done;
    size_t n = std::min(left, static_cast<size_t>(std::max(0L, requested)));
    if (n > 1 && n < left && in->data[in->done + n - 1] == '\r')
        --n;
    if (n)
        std::memcpy(buffer, in->data + in->done, n);
    in->done += n;
    *count = static_cast<LONG>(n);
    return 0;
}

struct StringOut {
    std::string* sink;
    bool failed;
};

DWORD CALLBACK StringOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written)
{
    auto* out = reinterpret_cast<StringOut*>(cookie);
    try {
        out->sink->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(std::max(0L, count)));
    } catch (const std::bad_alloc&) {
        out->failed = true;
        *written = 0;
        return static_cast<DWORD>(count);
    }
    *written = count;
    return 0;
}

// The stream-out callback of a save: the bytes not written stop the stream.
DWORD CALLBACK EditorFileWriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written)
{
    DWORD done = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(std::max(0L, count)), &done, nullptr))
        done = 0;
    *written = static_cast<LONG>(done);
    return static_cast<DWORD>(count) - done;
}

HANDLE OpenForReading(const char* name)
{
    HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

HANDLE& BufferFile(EditorRecord* r)
{
    return r->openFiles[r->currentBuffer - 1];
}

void CloseBufferFile(EditorRecord* r)
{
    HANDLE& h = BufferFile(r);
    if (h)
        CloseHandle(h);
    h = nullptr;
}

bool RtfHeader(const char* data, size_t size)
{
    return (size >= 5 && std::memcmp(data, "{\\rtf", 5) == 0) || (size >= 6 && std::memcmp(data, "{\\urtf", 6) == 0);
}

// Reads the whole open file; an error code when it cannot be read whole.
DWORD ReadWhole(HANDLE h, const EditorRecord* r, bool rich, std::unique_ptr<char[]>& data, size_t& size)
{
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(h, &length))
        return GetLastError();
    // Plain text beyond the control's limit would be cut, and a save would
    // write it back short.
    if (length.QuadPart < 0 || (!rich && length.QuadPart > r->textLimit) || length.QuadPart > 0x7FFFFFF0LL)
        return ERROR_FILE_TOO_LARGE;
    size = static_cast<size_t>(length.QuadPart);
    data.reset(new (std::nothrow) char[size + 1]);
    if (!data)
        return ERROR_NOT_ENOUGH_MEMORY;
    LARGE_INTEGER zero{};
    SetFilePointerEx(h, zero, nullptr, FILE_BEGIN);
    size_t got = 0;
    while (got < size) {
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(size - got, 1 << 24));
        if (!ReadFile(h, data.get() + got, want, &n, nullptr))
            return GetLastError() ? GetLastError() : ERROR_READ_FAULT;
        if (n == 0)
            return ERROR_HANDLE_EOF;
        got += n;
    }
    data[size] = '\0';
    return 0;
}

} // namespace

// ---- shared pieces ------------------------------------------------------------

bool EditorIsRichFile(const EditorRecord* r, std::string_view name)
{
    if (!r->richText)
        return false;
    std::string_view tail = name.size() > 4 ? name.substr(name.size() - 4) : name;
    return tail.size() == 4 && _strnicmp(tail.data(), ".rtf", 4) == 0;
}

void EditorErrorBox(HWND frame, const char* title, DWORD error)
{
    char text[300] = {};
    OsErrorText(static_cast<int>(error), text, sizeof text);
    MessageBoxA(frame, text, title, MB_OK | MB_ICONEXCLAMATION);
}

void EditorControlRenew(EditorRecord* r)
{
    HWND old = r->richEdit;
    if (!old)
        return;
    RECT place;
    GetWindowRect(old, &place);
    MapWindowPoints(nullptr, r->frame, reinterpret_cast<POINT*>(&place), 2);
    char cls[32] = {};
    GetClassNameA(old, cls, sizeof cls);
    bool focused = GetFocus() == old;
    bool visible = IsWindowVisible(old) != 0;
    LONG style = GetWindowLongA(old, GWL_STYLE);
    LONG ex = GetWindowLongA(old, GWL_EXSTYLE);
    LRESULT mask = SendMessageA(old, EM_GETEVENTMASK, 0, 0);
    HWND fresh = CreateWindowExA(ex, cls, "", static_cast<DWORD>(style), place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, r->frame,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorRichEditId)),
                                 gWindowSystem.instance, nullptr);
    if (!fresh) {
        SetWindowTextA(old, "");
        return;
    }
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(fresh, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
    SendMessageA(fresh, EM_EXLIMITTEXT, 0, r->textLimit);
    SendMessageA(fresh, EM_SETEVENTMASK, 0, mask);
    r->richEdit = fresh;
    EditorPainterAttach(r);
    if (r->focusControl == old)
        r->focusControl = fresh;
    DestroyWindow(old);
    if (visible)
        ShowWindow(fresh, SW_SHOWNA);
    if (focused)
        SetFocus(fresh);
}

bool EditorStreamIn(EditorRecord* r, const char* data, size_t size, bool rtf)
{
    if (GetWindowTextLengthA(r->richEdit) > kEditorRenewAbove)
        EditorControlRenew(r);
    MemoryIn in{data, size, 0};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&in);
    es.pfnCallback = MemoryInCallback;
    int guard = r->protectGuard;
    r->protectGuard = 0;
    r->bulkChange = 1;
    SendMessageA(r->richEdit, EM_STREAMIN, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    r->bulkChange = 0;
    r->protectGuard = guard;
    return es.dwError == 0;
}

bool EditorStreamOut(EditorRecord* r, bool rtf, std::string& sink)
{
    StringOut out{&sink, false};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
    es.pfnCallback = StringOutCallback;
    SendMessageA(r->richEdit, EM_STREAMOUT, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0 && !out.failed;
}

bool EditorFileDialog(HWND frame, EditorRecord* r, bool save, char* name, int& index)
{
    // The dialog writes into a copy: a name buffer that is too small gets the
    // size it needs written into it.
    char copy[kEditorNameLength + 1] = {};
    std::memcpy(copy, name, kEditorNameLength);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = frame;
    ofn.hInstance = gWindowSystem.instance;
    ofn.lpstrFilter = r->filter[0] ? r->filter : (r->richText ? kRichFilter : kPlainFilter);
    ofn.nFilterIndex = static_cast<DWORD>(std::max(1, index));
    ofn.lpstrFile = copy;
    ofn.nMaxFile = kEditorNameLength;
    ofn.Flags = OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
    if (gLibraryState.osMajorVersion == 0 || gLibraryState.osMajorVersion >= 4)
        ofn.lpstrDefExt = "";
    bool modeless = r->mode == 2;
    if (modeless)
        OtherWindowsDisable(frame, 1);
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (modeless)
        OtherWindowsEnable(frame, 1);
    if (!ok)
        return false;
    copy[kEditorNameLength] = '\0';
    std::memcpy(name, copy, kEditorNameLength + 1);
    index = static_cast<int>(ofn.nFilterIndex);
    return true;
}

// ---- open, save, close ------------------------------------------------------------

int EditorFileOpen(HWND frame, int atCreation)
{
    EditorRecord* r = EditorRecordOf(frame);
    if (!r)
        return 0;
    r->protectGuard = 0;
    CloseBufferFile(r);
    HANDLE h = OpenForReading(r->fileName);
    int result = 0;
    if (!h) {
        DWORD error = GetLastError();
        if (!(atCreation && r->noOpenErrorBox))
            EditorErrorBox(frame, "Open Error", error);
        r->protectGuard = 1;
        return 0;
    }
    BufferFile(r) = h;
    bool rich = EditorIsRichFile(r, r->fileName);
    std::unique_ptr<char[]> data;
    size_t size = 0;
    DWORD error = ReadWhole(h, r, rich, data, size);
    if (!error && rich && !RtfHeader(data.get(), size))
        error = ERROR_INVALID_DATA;
    if (!error) {
        if (rich) {
            if (!EditorStreamIn(r, data.get(), size, true))
                error = ERROR_INVALID_DATA;
        } else {
            for (size_t i = 0; i < size; ++i)
                if (data[i] == '\0')
                    data[i] = ' ';
            if (size > 0 && data[size - 1] == 26)
                --size;
            EditorFormatsReset(r);
            if (!EditorStreamIn(r, data.get(), size, false))
                error = ERROR_INVALID_DATA;
        }
    }
    data.reset();
    if (error) {
        // Nothing of the file reached the control: its text and name stay.
        EditorErrorBox(frame, "Read Error", error);
        CloseBufferFile(r);
    } else {
        SendMessageA(r->richEdit, EM_SETSEL, 0, 0);
        SendMessageA(r->richEdit, EM_SCROLLCARET, 0, 0);
        EditorUndoEmptyOn(r);
        SendMessageA(r->richEdit, EM_SETMODIFY, FALSE, 0);
        r->changedValue = 0;
        EditorTitleUpdate(frame);
        result = 1;
    }
    EditorFormatButtonsUpdate(r);
    r->bookmark[r->currentBuffer - 1] = -1;
    if (r->viewer)
        CloseBufferFile(r);
    r->protectGuard = 1;
    return result;
}

int EditorFileSave(HWND frame, int withDialog)
{
    EditorRecord* r = EditorRecordOf(frame);
    if (!r)
        return 0;
    int n = WindowTableIndex(frame);
    if (withDialog || r->fileName[0] == '\0') {
        char chosen[kEditorNameLength + 1];
        std::memcpy(chosen, r->fileName, sizeof chosen);
        int index = r->filterIndex[r->currentBuffer - 1];
        bool ok = EditorFileDialog(frame, r, true, chosen, index);
        if (r->insideParent) {
            SetFocus(frame);
            WindowFocusActivate(frame);
        }
        if (!ok)
            return 0;
        r->filterIndex[r->currentBuffer - 1] = index;
        std::memcpy(r->fileName, chosen, sizeof chosen);
        YYEditBufferPutName(n, r->currentBuffer, r->fileName);
        if (r->buffers)
            EditorViewItemSet(r, r->currentBuffer, r->fileName);
        EditorTitleUpdate(frame);
    }
    bool rich = EditorIsRichFile(r, r->fileName);
    CloseBufferFile(r);
    if (r->backup) {
        std::string copy = std::string(r->fileName) + ".bak";
        if (copy.size() < MAX_PATH)
            CopyFileA(r->fileName, copy.c_str(), FALSE);
    }
    HANDLE h = CreateFileA(r->fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        h = CreateFileA(r->fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) {
        EditorErrorBox(frame, "Open Error", GetLastError());
        return 0;
    }
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(h);
    es.pfnCallback = EditorFileWriteCallback;
    SetLastError(0);
    SendMessageA(r->richEdit, EM_STREAMOUT, rich ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    int result = 0;
    if (es.dwError != 0) {
        DWORD error = GetLastError();
        EditorErrorBox(frame, "Write Error", error ? error : ERROR_WRITE_FAULT);
    } else {
        SendMessageA(r->richEdit, EM_SETMODIFY, FALSE, 0);
        if (r->modifiedMark)
            EditorTitleUpdate(frame);
        result = 1;
    }
    CloseHandle(h);
    if (!r->viewer)
        BufferFile(r) = OpenForReading(r->fileName);
    return result;
}

void EditorFileClose(HWND frame)
{
    if (EditorRecord* r = EditorRecordOf(frame))
        CloseBufferFile(r);
}

int EditorSavePromptRun(HWND frame, EditorRecord* r)
{
    if ((GetWindowLongA(r->richEdit, GWL_STYLE) & ES_READONLY) || !r->saveAllowed ||
        !SendMessageA(r->richEdit, EM_GETMODIFY, 0, 0))
        return 1;
    std::string question = "Do you want to save changes";
    if (r->fileName[0] && !r->noNameInTitle)
        question += std::string(" to ") + r->fileName;
    question += "?";
    int answer = MessageBoxA(frame, question.c_str(), r->caption, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    if (answer == IDYES)
        return EditorFileSave(frame, 0);
    return answer == IDNO ? 1 : 0;
}

void EditorSave(int withDialog)
{
    if (EditorRecord* r = EditorCurrentRecord())
        EditorFileSave(r->frame, withDialog);
}

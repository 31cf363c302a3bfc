// Editor files: reading a file into the current buffer, writing it back
// (with an optional backup copy), the question before unsaved text is
// discarded, the file dialogs, and the streams between the rich edit control
// and memory. A buffer's file stays open for reading, writing denied to
// others, while the buffer is shown.
//
// A plain file is written back in the encoding it was read in (the code
// page, or UTF-8 or UTF-16 with their byte-order mark), and a save goes
// through a temporary file that replaces the old one only once complete.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <cderr.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "core/file_replacement.h"
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
    size_t unit; // bytes per character: 1, or 2 for UTF-16
};

// Whether the character of IN that ends at byte END is a CR.
bool CarriageReturnBefore(const MemoryIn* in, size_t end)
{
    if (in->unit == 2)
        return end >= 2 && in->data[end - 2] == '\r' && in->data[end - 1] == '\0';
    return end >= 1 && in->data[end - 1] == '\r';
}

// Hands out the next block of whole characters. A block never ends on a CR
// while more text follows: the control would read a CR LF split between two
// blocks as two line breaks.
DWORD CALLBACK MemoryInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* count)
{
    auto* in = reinterpret_cast<MemoryIn*>(cookie);
    size_t left = in->size - in->done;
    size_t n = std::min(left, static_cast<size_t>(std::max(0L, requested)));
    n -= n % in->unit;
    if (n > in->unit && n < left && CarriageReturnBefore(in, in->done + n))
        n -= in->unit;
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

// Streams DATA (SIZE bytes of characters of UNIT bytes) into the control in
// FORMAT, replacing its text; false when the control reported an error.
bool StreamIn(EditorRecord* r, const char* data, size_t size, UINT format, size_t unit)
{
    if (GetWindowTextLengthA(r->richEdit) > kEditorRenewAbove)
        EditorControlRenew(r);
    MemoryIn in{data, size, 0, unit};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&in);
    es.pfnCallback = MemoryInCallback;
    int guard = r->protectGuard;
    r->protectGuard = 0;
    r->bulkChange = 1;
    SendMessageA(r->richEdit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    r->bulkChange = 0;
    r->protectGuard = guard;
    return es.dwError == 0;
}

// The control's text in FORMAT appended to SINK; false on an error.
bool StreamOut(EditorRecord* r, UINT format, std::string& sink)
{
    StringOut out{&sink, false};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
    es.pfnCallback = StringOutCallback;
    SendMessageA(r->richEdit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0 && !out.failed;
}

// ---- encodings of plain files -------------------------------------------------------

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

// TEXT (UTF-16) in code page PAGE; false when some character has no form
// there (a conversion back does not give TEXT again).
bool Encode(std::wstring_view text, UINT page, std::string& out)
{
    out.clear();
    if (text.empty())
        return true;
    const int n = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(page, 0, text.data(), n, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    out.resize(static_cast<size_t>(bytes));
    WideCharToMultiByte(page, 0, text.data(), n, out.data(), bytes, nullptr, nullptr);
    const int back = MultiByteToWideChar(page, 0, out.data(), bytes, nullptr, 0);
    std::wstring again(static_cast<size_t>(std::max(back, 0)), L'\0');
    if (back > 0)
        MultiByteToWideChar(page, 0, out.data(), bytes, again.data(), back);
    return again == text;
}

// The text of a plain file in UTF-16, when the file begins with a UTF-8 or
// UTF-16 byte-order mark and its rest is whole in that encoding; ENCODING
// says which (kEncodingCodePage: the bytes are the code page's, WIDE stays
// empty).
void Decode(const char* data, size_t size, EditorTextEncoding& encoding, std::wstring& wide)
{
    const std::string_view bytes(data, size);
    encoding = kEncodingCodePage;
    wide.clear();
    if (bytes.starts_with(kUtf16Mark) && size % 2 == 0) {
        wide.resize((size - kUtf16Mark.size()) / 2);
        std::memcpy(wide.data(), data + kUtf16Mark.size(), wide.size() * 2);
        encoding = kEncodingUtf16;
    } else if (bytes.starts_with(kUtf8Mark) && size - kUtf8Mark.size() <= static_cast<size_t>(INT_MAX)) {
        const char* rest = data + kUtf8Mark.size();
        const int n = static_cast<int>(size - kUtf8Mark.size());
        const int chars = n == 0 ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, rest, n, nullptr, 0);
        if (n != 0 && chars <= 0)
            return; // not UTF-8 after all: the bytes are shown and kept as they are
        wide.resize(static_cast<size_t>(chars));
        if (chars > 0)
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, rest, n, wide.data(), chars);
        encoding = kEncodingUtf8;
    }
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

// The bytes of the file a save writes: rich text as the control writes it,
// plain text in the encoding the buffer's file was read in. When the text
// cannot be written whole in that encoding, the user is asked first. False
// when the save goes no further: the user declined, or there was no memory
// for the text (shown in a "Write Error" box).
bool FileBytes(HWND frame, EditorRecord* r, bool rich, std::string& bytes)
{
    try {
        if (rich) {
            if (StreamOut(r, SF_RTF, bytes))
                return true;
        } else {
            std::string units;
            if (StreamOut(r, SF_TEXT | SF_UNICODE, units)) {
                const std::wstring_view text(reinterpret_cast<const wchar_t*>(units.data()), units.size() / 2);
                const auto encoding = static_cast<EditorTextEncoding>(r->textEncoding[r->currentBuffer - 1]);
                bool whole = true;
                if (encoding == kEncodingUtf16) {
                    bytes.assign(kUtf16Mark);
                    bytes += units;
                } else {
                    whole = Encode(text, encoding == kEncodingUtf8 ? CP_UTF8 : CP_ACP, bytes);
                    if (encoding == kEncodingUtf8)
                        bytes.insert(0, kUtf8Mark);
                }
                return whole ||
                       MessageBoxA(frame,
                                   "Some characters of the text cannot be written in the file's encoding and "
                                   "would be replaced.\nSave anyway?",
                                   r->caption, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
            }
        }
    } catch (const std::bad_alloc&) {
    }
    EditorErrorBox(frame, "Write Error", ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

// What a save could not do: the box's title (none when it succeeded), the
// Windows error, and whether the file was opened for the write.
struct SaveFailure {
    const char* title = nullptr;
    DWORD error = 0;
    bool written = false;
};

// Writes BYTES as the file NAME through a temporary file beside it, which
// replaces NAME only once it is complete: a save that fails leaves the old
// file whole. A write that puts fewer bytes than given is a failed write.
SaveFailure WriteReplacing(const char* name, const std::string& bytes)
{
    if (!OsFileNameFits(name))
        return {"Open Error", ERROR_FILENAME_EXCED_RANGE, false};
    FileReplacement replacement(name);
    if (replacement.Name().empty())
        return {"Open Error", static_cast<DWORD>(replacement.Error()), false};
    int handle = -1, err = 0;
    OsFileOpen(replacement.Name().c_str(), 1, handle, err);
    if (handle == -1)
        return {"Open Error", static_cast<DWORD>(err), false};
    constexpr size_t kBlock = size_t{1} << 24;
    for (size_t done = 0; done < bytes.size() && err == 0;) {
        const int n = static_cast<int>(std::min(bytes.size() - done, kBlock));
        int put = 0;
        OsFileWrite(handle, bytes.data() + done, n, put, err);
        done += static_cast<size_t>(std::max(put, 0));
    }
    OsFileClose(handle);
    if (err != 0)
        return {"Write Error", static_cast<DWORD>(err), true};
    if (const int replaced = replacement.Commit())
        return {"Open Error", static_cast<DWORD>(replaced), true};
    return {};
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
    return StreamIn(r, data, size, rtf ? SF_RTF : SF_TEXT, 1);
}

bool EditorStreamOut(EditorRecord* r, bool rtf, std::string& sink)
{
    return StreamOut(r, rtf ? SF_RTF : SF_TEXT, sink);
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
    if (!ok) {
        // A name longer than the name field was chosen: it is refused, never cut.
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            EditorErrorBox(frame, "Open Error", ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
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
            if (EditorStreamIn(r, data.get(), size, true))
                r->textEncoding[r->currentBuffer - 1] = kEncodingCodePage;
            else
                error = ERROR_INVALID_DATA;
        } else {
            // A file that begins with a byte-order mark is read (and later
            // written) in that encoding, else in the code page.
            EditorTextEncoding encoding = kEncodingCodePage;
            std::wstring wide;
            Decode(data.get(), size, encoding, wide);
            bool read = false;
            EditorFormatsReset(r);
            if (encoding == kEncodingCodePage) {
                std::replace(data.get(), data.get() + size, '\0', ' ');
                if (size > 0 && data[size - 1] == 26)
                    --size;
                read = EditorStreamIn(r, data.get(), size, false);
            } else {
                std::replace(wide.begin(), wide.end(), L'\0', L' ');
                if (!wide.empty() && wide.back() == 26)
                    wide.pop_back();
                read = StreamIn(r, reinterpret_cast<const char*>(wide.data()), wide.size() * 2, SF_TEXT | SF_UNICODE, 2);
            }
            if (read)
                r->textEncoding[r->currentBuffer - 1] = encoding;
            else
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
    std::string bytes;
    if (!FileBytes(frame, r, rich, bytes))
        return 0;
    CloseBufferFile(r);
    if (r->backup) {
        std::string copy = std::string(r->fileName) + ".bak";
        if (OsFileNameFits(copy))
            CopyFileA(r->fileName, copy.c_str(), FALSE);
    }
    const SaveFailure failure = WriteReplacing(r->fileName, bytes);
    if (failure.title) {
        EditorErrorBox(frame, failure.title, failure.error);
        // The old file is as it was; after a failed open the buffer keeps
        // no open file.
        if (!r->viewer && failure.written)
            BufferFile(r) = OpenForReading(r->fileName);
        return 0;
    }
    SendMessageA(r->richEdit, EM_SETMODIFY, FALSE, 0);
    if (r->modifiedMark)
        EditorTitleUpdate(frame);
    if (!r->viewer)
        BufferFile(r) = OpenForReading(r->fileName);
    return 1;
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

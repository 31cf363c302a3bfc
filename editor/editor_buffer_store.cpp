// Moving buffers between an editor window and the buffer store: saving the
// current buffer's text and state, loading another one, switching, making a
// buffer current, and the routine forms on the current window. The store
// routines act through the editor's routines on the window they are given,
// which they make current for the duration of the call.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <cstring>
#include <new>

#include "core/special_windows.h"
#include "graphics/graphics_state.h"

namespace {

int gSaveFailures = 0;

// Makes WINDOW current for the lifetime of the guard.
class CurrentWindowGuard {
public:
    explicit CurrentWindowGuard(int window) : saved_(gWindowSystem.currentWindow)
    {
        if (window != saved_)
            YYWINSEL(window, 1);
    }
    ~CurrentWindowGuard()
    {
        if (gWindowSystem.currentWindow != saved_ && WindowIsOpen(saved_))
            YYWINSEL(saved_, 1);
    }
    CurrentWindowGuard(const CurrentWindowGuard&) = delete;
    CurrentWindowGuard& operator=(const CurrentWindowGuard&) = delete;

private:
    int saved_;
};

// Buffer TO becomes current in the control and the record; the names move
// with it.
bool SwitchWithNames(HWND frame, EditorRecord* r, int n, int from, int to)
{
    if (!YYEditBufferSwitch(n, from, to))
        return false;
    r->currentBuffer = to;
    YYEditBufferPutName(n, from, r->fileName);
    char stored[kEditorNameLength + 1] = {};
    YYEditBufferGetName(n, to, std::span<char>(stored, kEditorNameLength));
    std::memcpy(r->fileName, stored, sizeof stored);
    EditorTitleUpdate(frame);
    return true;
}

} // namespace

void EditorBufferSaveFailures(int count)
{
    gSaveFailures = count;
}

bool YYEditBufferSave(int window, int buffer)
{
    EditorBufferRecord* e = EditorBufferEntry(window, buffer);
    if (!e)
        return false;
    CurrentWindowGuard select(window);
    int length = 0;
    EditorTextLength(length);
    std::unique_ptr<char[]> block;
    if (gSaveFailures > 0) {
        --gSaveFailures;
        return false;
    }
    if (length > 0) {
        block.reset(new (std::nothrow) char[static_cast<size_t>(length)]);
        if (!block)
            return false;
        length = EditorTextGet(std::span<char>(block.get(), static_cast<size_t>(length)));
    }
    e->text = std::move(block);
    e->streamLength = length > 0 ? length : 0;
    e->textPresent = 1;
    EditorInfoGet(window, 2, e->textLength);
    EditorInfoGet(window, 4, e->selectionStart);
    EditorInfoGet(window, 5, e->selectionEnd);
    EditorInfoGet(window, 1, e->unmodified);
    EditorInfoGet(window, 3, e->changedValue);
    EditorInfoGet(window, 9, e->firstVisibleLine);
    return true;
}

void YYEditBufferLoad(int window, int buffer)
{
    EditorBufferRecord* e = EditorBufferEntry(window, buffer);
    if (!e)
        return;
    CurrentWindowGuard select(window);
    EditorTextPut(e->streamLength, e->text ? e->text.get() : "");
    int start = e->selectionStart - 1;
    EditorSelectionSet(start, e->selectionEnd);
    EditorLineScroll(e->firstVisibleLine);
    EditorModifiedSet(e->unmodified, e->changedValue);
    EditorUndoEmpty();
    e->text.reset();
    e->textPresent = 0;
}

bool YYEditBufferSwitch(int window, int from, int to)
{
    if (from == to)
        return true;
    if (!YYEditBufferSave(window, from))
        return false;
    YYEditBufferLoad(window, to);
    return true;
}

void EditorBufferMemoryBox(HWND frame)
{
    EditorErrorBox(frame, "Buffer Error", ERROR_NOT_ENOUGH_MEMORY);
}

bool EditorBufferSelect(HWND frame, int n)
{
    EditorRecord* r = EditorRecordOf(frame);
    int window = WindowTableIndex(frame);
    if (!r || window < 0 || n < 1 || n > r->bufferCount)
        return false;
    int old = r->currentBuffer;
    if (!SwitchWithNames(frame, r, window, old, n)) {
        EditorBufferMemoryBox(frame);
        return false;
    }
    EditorViewItemCheck(r, old, false);
    EditorViewItemCheck(r, n, true);
    // Shrunk and given its place back, the control recomputes its scroll bars.
    RECT place;
    GetWindowRect(r->richEdit, &place);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(r->richEdit, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    SetWindowPos(r->richEdit, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    return true;
}

void EditorBufferSet(int n, int& status)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        status = 1;
        return;
    }
    if (!r->buffers || n < 1 || n > r->bufferCount) {
        status = 2;
        return;
    }
    EditorBufferSelect(r->frame, n);
    status = 0;
}

void EditorFilterIndexSet(int index, int& status)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        status = 1;
        return;
    }
    r->filterIndex[r->currentBuffer - 1] = index;
    status = 0;
}

// ---- what the window system asks of an editor ---------------------------------

int EditorCloseQuery(HWND frame, WindowRecord* record, int n)
{
    auto* r = reinterpret_cast<EditorRecord*>(record);
    // The current buffer first, then every other buffer with unsaved changes,
    // each made current for its prompt; a refused switch (no memory for the
    // text of the buffer left) keeps the pane open.
    int answer = EditorSavePromptRun(frame, r);
    const int count = r->bufferCount;
    int current = r->currentBuffer;
    const int start = current;
    for (int b = 1; answer != 0 && count > 1 && b <= count; ++b) {
        if (b == start)
            continue;
        int saved = 1;
        YYEditBufferGetValue(n, b, saved);
        if (saved != 0)
            continue;
        if (!SwitchWithNames(frame, r, n, current, b)) {
            EditorBufferMemoryBox(frame);
            return 0;
        }
        EditorViewItemCheck(r, current, false);
        EditorViewItemCheck(r, b, true);
        current = b;
        answer = EditorSavePromptRun(frame, r);
    }
    return answer;
}

HMENU EditorRecordMenu(WindowRecord* record)
{
    return reinterpret_cast<EditorRecord*>(record)->menuBar;
}

HACCEL EditorRecordAccelerators(WindowRecord* record, int which)
{
    auto* r = reinterpret_cast<EditorRecord*>(record);
    return which == 0 ? r->paneKeys : which == 1 ? r->ownKeys : which == 2 ? r->userKeys : nullptr;
}

HWND* EditorRecordStatusBarField(WindowRecord* record)
{
    return &reinterpret_cast<EditorRecord*>(record)->statusBar;
}

HWND EditorRecordFocusControl(WindowRecord* record)
{
    auto* r = reinterpret_cast<EditorRecord*>(record);
    return r->focusControl ? r->focusControl : r->richEdit;
}

HWND EditorRecordFindDialog(WindowRecord* record)
{
    return reinterpret_cast<EditorRecord*>(record)->findDialog;
}

void EditorRecordRelease(HWND frame, WindowRecord* record)
{
    auto* r = reinterpret_cast<EditorRecord*>(record);
    int n = WindowTableIndex(frame);
    for (HWND w : {r->findDialog, r->richEdit, r->editorToolbar, r->commandLine, r->commandPanel})
        if (w && IsWindow(w))
            DestroyWindow(w);
    for (HACCEL a : {r->ownKeys, r->userKeys, r->paneKeys})
        if (a)
            DestroyAcceleratorTable(a);
    if (r->font && r->font != GetStockObject(SYSTEM_FONT) && r->font != GetStockObject(SYSTEM_FIXED_FONT))
        DeleteObject(r->font);
    SpecialMenuBarRelease(frame, n, r->menuBar);
    for (HANDLE h : r->openFiles)
        if (h)
            CloseHandle(h);
    if (r->mode == 3 && gWindowSystem.semiModelessCount > 0)
        --gWindowSystem.semiModelessCount;
    WindowRecordFree(r);
}

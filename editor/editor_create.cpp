// Turning a child window into an editor: the record, the controls, the
// layout of bars, command line and rich edit control, the editor's font, the
// modal editor's message loop, and further files opened into an editor.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include "core/special_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "core/frame_window.h"
#include "core/library_state.h"
#include "core/os_services.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_show.h"
#include "dialogs/window_snapshots.h"

namespace {

int gForcedVersion = 0;

// The Windows major version read at start-up (6 when the library has not
// started).
int WindowsMajor()
{
    return gLibraryState.osMajorVersion > 0 ? gLibraryState.osMajorVersion : 6;
}

int WindowHeight(HWND w)
{
    RECT r{};
    GetWindowRect(w, &r);
    return r.bottom - r.top;
}

// The filter text in the NUL-separated form: every separator (the text's
// last character) becomes NUL; at most 1000 characters; two NULs at the end.
void FilterStore(EditorRecord* r, std::string_view filter)
{
    size_t nul = filter.find('\0');
    if (nul != std::string_view::npos)
        filter = filter.substr(0, nul);
    std::memset(r->filter, 0, sizeof r->filter);
    if (filter.empty())
        return;
    char separator = filter.back();
    size_t n = std::min(filter.size(), static_cast<size_t>(kEditorFilterChars));
    for (size_t i = 0; i < n; ++i)
        r->filter[i] = filter[i] == separator ? '\0' : filter[i];
}

// The full path of NAME into FULL (NAME itself when the system cannot form
// one); false when NAME or its full path does not fit the record's name
// field (kFileNameLimit characters).
bool FullPath(const std::string& name, std::string& full)
{
    if (!OsFileNameFits(name))
        return false;
    char path[MAX_PATH + 1] = {};
    char* part = nullptr;
    DWORD n = GetFullPathNameA(name.c_str(), sizeof path, path, &part);
    if (n > static_cast<DWORD>(kFileNameLimit))
        return false;
    full = n == 0 ? name : std::string(path);
    return true;
}

// A file name given to the editor that does not fit its name field is
// refused, never cut: the "Open Error" box names the cause (unless the
// editor's option suppresses it at creation) and nothing is opened.
void NameRefused(HWND frame, const EditorRecord* r)
{
    if (!r->noOpenErrorBox)
        EditorErrorBox(frame, "Open Error", ERROR_FILENAME_EXCED_RANGE);
}

std::string Trimmed(std::string_view s)
{
    size_t nul = s.find('\0');
    if (nul != std::string_view::npos)
        s = s.substr(0, nul);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return std::string(s);
}

void NameSet(EditorRecord* r, std::string_view name)
{
    size_t n = std::min(name.size(), static_cast<size_t>(kEditorNameLength));
    std::memcpy(r->fileName, name.data(), n);
    r->fileName[n] = '\0';
}

// ---- the command line -----------------------------------------------------

void CommandLineCreate(EditorRecord* r, HWND frame, bool history)
{
    const DWORD style = WindowsMajor() < 4 ? 0x54800000 : 0x54000000;
    const DWORD ex = WindowsMajor() < 4 ? 0 : WS_EX_CLIENTEDGE;
    HINSTANCE inst = gWindowSystem.instance;
    RECT adjust{0, 0, 0, r->lineHeight};
    AdjustWindowRectEx(&adjust, style, FALSE, ex);
    int labelHeight = adjust.bottom - adjust.top;
    r->commandHeight = labelHeight + (WindowsMajor() < 4 ? 6 : 2);
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorCommandLineId));
    if (history && WindowsMajor() >= 4) {
        r->commandLine = CreateWindowExA(ex, "COMBOBOX", "", style | 0x200242, 0, 0, 100, r->commandHeight * 10,
                                         frame, id, inst, nullptr);
        if (r->commandLine) {
            r->commandHeight = WindowHeight(r->commandLine);
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            r->commandEdit = GetComboBoxInfo(r->commandLine, &info) ? info.hwndItem : r->commandLine;
        }
    } else {
        r->commandLine = CreateWindowExA(ex, "EDIT", "", style | ES_AUTOHSCROLL, 0, 0, 100, r->commandHeight, frame,
                                         id, inst, nullptr);
        r->commandEdit = r->commandLine;
    }
    if (!r->commandLine)
        return;
    HMENU promptId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorPromptId));
    r->commandPanel = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, 0,
                                      r->commandHeight, frame, promptId, inst, nullptr);
    r->promptOffset = (r->commandHeight - labelHeight) / 2;
    r->promptLabel = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, r->promptOffset, 0,
                                     labelHeight, r->commandPanel, promptId, inst, nullptr);
    HWND fontTarget = (r->fontFamily == 1 && r->commandEdit) ? r->commandEdit : r->commandLine;
    SendMessageA(fontTarget, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
    if (r->promptLabel)
        SendMessageA(r->promptLabel, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
    if (r->commandEdit) {
        LONG_PTR previous = SetWindowLongPtrA(r->commandEdit, GWLP_WNDPROC,
                                              reinterpret_cast<LONG_PTR>(EditorCommandLineProc));
        SetWindowLongPtrA(r->commandEdit, GWLP_USERDATA, previous);
    }
}

HWND RichEditCreate(EditorRecord* r, HWND frame)
{
    DWORD style = 0x50200144;
    if (r->viewer)
        style |= ES_READONLY;
    if (!(r->options & kEditorWrap))
        style |= WS_HSCROLL | ES_AUTOHSCROLL;
    const char* cls = r->version == 1 ? "RICHEDIT" : "RichEdit20A";
    if (r->version == 1)
        LoadLibraryA("riched32.dll");
    else
        LoadLibraryA("riched20.dll");
    return CreateWindowExA(WS_EX_CLIENTEDGE, cls, "", style, 0, 0, 10, 10, frame,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorRichEditId)),
                           gWindowSystem.instance, nullptr);
}

void FindRecordSetup(EditorRecord* r, HWND frame)
{
    FINDREPLACEA& f = r->findRecord;
    std::memset(&f, 0, sizeof f);
    f.lStructSize = sizeof f;
    f.hwndOwner = frame;
    f.hInstance = gWindowSystem.instance;
    f.Flags = FR_DOWN;
    if (r->insideParent) {
        f.Flags |= FR_ENABLEHOOK;
        f.lpfnHook = EditorFindDialogHook;
    }
    if (r->version == 1)
        f.Flags |= FR_HIDEUPDOWN | FR_NOUPDOWN;
    f.lpstrFindWhat = r->findText;
    f.lpstrReplaceWith = r->replaceText;
    f.wFindWhatLen = kEditorTextField;
    f.wReplaceWithLen = kEditorTextField;
}

// The modal editor's loop: own keys, the find dialog, then dispatch, until
// the modal end word is set, the frame is gone, or the queue ends.
void ModalLoop(EditorRecord* r, HWND frame)
{
    MSG msg;
    while (!r->modalEnd && IsWindow(frame)) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
            break;
        }
        if (msg.message == 0x118 && LOWORD(msg.wParam) == 0xFFF6 && gWindowSystem.systemTimerHold)
            continue;
        if (r->ownKeys && TranslateAcceleratorA(frame, r->ownKeys, &msg))
            continue;
        if (r->findDialog && IsDialogMessageA(r->findDialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- a further file into an existing editor ---------------------------------

bool OnlyBufferEmpty(EditorRecord* r)
{
    return r->bufferCount == 1 && EditorTextLengthQuiet(r) == 0 && SendMessageA(r->richEdit, EM_GETMODIFY, 0, 0) == 0 &&
           !r->openFiles[0] && r->fileName[0] == '\0';
}

void FurtherFile(EditorRecord* r, HWND frame, int n, int& status, int filterIndex, const std::string& name,
                 bool refused)
{
    if (refused) {
        NameRefused(frame, r);
        return;
    }
    bool reuse = !r->buffers || OnlyBufferEmpty(r);
    if (!reuse) {
        YYEditBufferPutName(n, r->currentBuffer, r->fileName);
        for (int b = 1; b <= r->bufferCount && !name.empty(); ++b) {
            char stored[kEditorNameLength + 1] = {};
            YYEditBufferGetName(n, b, std::span<char>(stored, kEditorNameLength));
            if (b != r->currentBuffer && lstrcmpiA(stored, name.c_str()) == 0) {
                if (EditorBufferSelect(frame, b)) {
                    r->filterIndex[r->currentBuffer - 1] = filterIndex < 0 ? 1 : filterIndex;
                    EditorTitleUpdate(frame);
                }
                return;
            }
        }
        if (!name.empty() && lstrcmpiA(r->fileName, name.c_str()) == 0) {
            r->filterIndex[r->currentBuffer - 1] = filterIndex < 0 ? 1 : filterIndex;
            EditorTitleUpdate(frame);
            return;
        }
        if (r->bufferCount >= kEditorBuffers) {
            status = 12;
            return;
        }
        if (!YYEditBufferSave(n, r->currentBuffer)) {
            EditorBufferMemoryBox(frame);
            return;
        }
        EditorViewItemCheck(r, r->currentBuffer, false);
        int b = ++r->bufferCount;
        r->currentBuffer = b;
        r->openFiles[b - 1] = nullptr;
        r->textEncoding[b - 1] = kEncodingCodePage;
        r->bookmark[b - 1] = -1;
        r->bookmarkLength[b - 1] = -1;
        NameSet(r, name);
        bool opened = !name.empty() && EditorFileOpen(frame, 1) == 1;
        if (!opened)
            EditorBufferBlank(r);
        YYEditBufferPutName(n, b, r->fileName);
        EditorViewItemAppend(r, b, r->fileName);
    } else {
        NameSet(r, name);
        if (!name.empty()) {
            EditorFileClose(frame);
            if (EditorFileOpen(frame, 1) == 1) {
                if (r->buffers)
                    EditorViewItemSet(r, 1, r->fileName);
            } else {
                r->fileName[0] = '\0';
            }
        }
    }
    r->filterIndex[r->currentBuffer - 1] = filterIndex < 0 ? 1 : filterIndex;
    EditorTitleUpdate(frame);
}

} // namespace

int EditorRichEditVersion()
{
    if (gForcedVersion)
        return gForcedVersion;
    return gWindowSystem.richEditVersion > 0 ? gWindowSystem.richEditVersion : 3;
}

void EditorRichEditVersionForce(int version)
{
    gForcedVersion = (version >= 1 && version <= 3) ? version : 0;
}

EditorRecord* EditorRecordOf(HWND frame)
{
    return WindowRecordAs<EditorRecord>(frame, kRecordEditor);
}

EditorRecord* EditorCurrentRecord()
{
    int n = gWindowSystem.currentWindow;
    return WindowIsOpen(n) ? EditorRecordOf(gWindowTable.frame[n]) : nullptr;
}

// ---- font and formats ---------------------------------------------------------

void EditorFontCreate(EditorRecord* r, int family, int points)
{
    HFONT font = nullptr;
    int size = points;
    const char* face = nullptr;
    BYTE pitchFamily = VARIABLE_PITCH;
    BYTE charset = DEFAULT_CHARSET;
    switch (family) {
    case 1:
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
        break;
    case 2:
        face = "Times New Roman";
        pitchFamily |= FF_ROMAN;
        break;
    case 3:
        face = "Arial";
        pitchFamily |= FF_SWISS;
        break;
    case 4:
        face = "Courier New";
        pitchFamily |= FF_MODERN;
        break;
    case 7:
    case 8:
    case 9:
    case 10: {
        static const int lucida[] = {10, 11, 13, 14};
        face = "Lucida Console";
        size = lucida[family - 7];
        charset = OEM_CHARSET;
        pitchFamily = FIXED_PITCH | FF_MODERN;
        break;
    }
    default:
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        break;
    }
    if (face) {
        if (size == 0 && (r->version >= 2 || WindowsMajor() >= 5))
            size = 12;
        int height = 0;
        if (size != 0) {
            HDC dc = GetDC(nullptr);
            int dpi = GetDeviceCaps(dc, LOGPIXELSY);
            ReleaseDC(nullptr, dc);
            height = -MulDiv(size, dpi, 72);
        }
        font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchFamily, face);
        if (!font)
            font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    }
    r->font = font;
    r->fontFamily = family;
    r->pointSize = points;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    r->lineHeight = tm.tmHeight;
    r->charHeight = tm.tmHeight - tm.tmInternalLeading;
}

void EditorFormatsReset(EditorRecord* r)
{
    HWND c = r->richEdit;
    WPARAM zoomNum = 0;
    LPARAM zoomDen = 0;
    if (r->version == 3)
        SendMessageA(c, EM_GETZOOM, reinterpret_cast<WPARAM>(&zoomNum), reinterpret_cast<LPARAM>(&zoomDen));
    r->bulkChange = 1;
    if (GetWindowTextLengthA(c) > kEditorRenewAbove) {
        EditorControlRenew(r);
        c = r->richEdit;
    } else {
        SetWindowTextA(c, "");
    }
    r->bulkChange = 0;
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), TRUE);
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_TABSTOPS | PFM_NUMBERING;
    pf.wAlignment = PFA_LEFT;
    SendMessageA(c, EM_SETSEL, 0, -1);
    SendMessageA(c, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    SendMessageA(c, EM_SETSEL, 0, 0);
    if (r->version == 3)
        SendMessageA(c, EM_SETZOOM, zoomNum, zoomDen);
}

// ---- layout -------------------------------------------------------------------

void EditorLayout(EditorRecord* r)
{
    HWND f = r->frame;
    int n = WindowTableIndex(f);
    RECT a;
    GetClientRect(f, &a);
    const UINT place = SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER;
    // The status bar is repainted whole: its size grip moves with its right edge.
    SpecialBarsPlace(n, r->statusBar, true, r->editorToolbar, r->toolbars, a);
    if (r->commandLine) {
        a.bottom -= r->commandHeight;
        int promptWidth = 0;
        if (r->commandPanel) {
            RECT p;
            GetWindowRect(r->commandPanel, &p);
            promptWidth = p.right - p.left;
            SetWindowPos(r->commandPanel, nullptr, a.left, a.bottom, promptWidth, r->commandHeight, place);
        }
        int x = a.left + promptWidth;
        // A combo box keeps its drop-down list below the edit field.
        int h = r->commandEdit != r->commandLine ? r->commandHeight * 10 : r->commandHeight;
        SetWindowPos(r->commandLine, nullptr, x, a.bottom, std::max(0, static_cast<int>(a.right) - x), h, place);
    }
    int w = std::max(0, static_cast<int>(a.right - a.left));
    int h = std::max(0, static_cast<int>(a.bottom - a.top));
    if (r->richEdit)
        SetWindowPos(r->richEdit, nullptr, a.left, a.top, w, h, place);
    if (n >= 0 && gWindowTable.client[n])
        SetWindowPos(gWindowTable.client[n], nullptr, a.left, a.top, w, h, place);
}

// ---- creation -------------------------------------------------------------------

void EditorCreate(int& status, int& mode, int menuId, int options, int fontFamily, int pointSize,
                  int filterIndex, int split, std::string_view fileName, std::string_view filter)
{
    int n = gWindowSystem.currentWindow;
    HWND frame = WindowIsOpen(n) ? gWindowTable.frame[n] : nullptr;
    if (n == 0 || !frame) {
        status = 1;
        return;
    }
    const std::string given = Trimmed(fileName);
    std::string name;
    const bool refused = !given.empty() && !FullPath(given, name);
    if (WindowRecord* existing = WindowRecordOf(frame)) {
        if (existing->type == kRecordEditor)
            FurtherFile(reinterpret_cast<EditorRecord*>(existing), frame, n, status, filterIndex, name, refused);
        else
            status = 8;
        return;
    }
    HWND client = gWindowTable.client[n];
    if (client && GetWindow(client, GW_CHILD)) {
        status = 11;
        return;
    }

    bool inside = IsInsideChild(frame);
    bool isPane = false;
    HWND outerSplit = nullptr;
    const bool canHaveMenu = SpecialMenuAllowed(frame, isPane, outerSplit);
    SpecialUpdateStates updates;
    if (inside) {
        if (mode != 2)
            SpecialModeless(mode, status);
        if (menuId != 0 && !canHaveMenu)
            status = 4;
        if (isPane)
            updates.Take();
    }

    auto* r = static_cast<EditorRecord*>(WindowRecordAttach(frame, kRecordEditor, sizeof(EditorRecord)));
    if (!r) {
        status = 6;
        return;
    }
    r->frame = frame;
    r->insideParent = inside ? 1 : 0;
    r->version = EditorRichEditVersion();
    r->options = options;
    r->currentBuffer = 1;
    r->bufferCount = 1;
    r->protectGuard = 1;
    r->cacheControl = r->cacheCaller = -1;
    for (int b = 0; b < kEditorBuffers; ++b) {
        r->bookmark[b] = -1;
        r->bookmarkLength[b] = -1;
    }
    r->viewer = (options & kEditorViewer) ? 1 : 0;
    r->newAllowed = !(options & kEditorNoNewOpen) && !r->viewer;
    r->openAllowed = !(options & kEditorNoNewOpen);
    r->saveAllowed = !(options & kEditorNoSave) && !r->viewer;
    r->saveAsAllowed = !(options & (kEditorNoSaveAs | kEditorNoSave));
    r->printAllowed = !(options & kEditorNoPrint);
    r->richText = (options & kEditorRichText) ? 1 : 0;
    r->buffers = (options & kEditorWithBuffers) ? 1 : 0;
    r->noNameInTitle = (options & kEditorNoNameInTitle) ? 1 : 0;
    r->noOpenErrorBox = (options & kEditorNoOpenErrorBox) ? 1 : 0;
    r->printByProgram = (options & kEditorPrintByProgram) ? 1 : 0;
    r->alternativeKeys = (options & kEditorAlternativeKeys) ? 1 : 0;
    r->controlPositions = (options & kEditorControlPositions) ? 1 : 0;
    r->backup = (options & kEditorBackup) ? 1 : 0;
    r->modifiedMark = (options & kEditorModifiedMark) ? 1 : 0;
    r->textLimit = kEditorTextLimit;
    FilterStore(r, filter);
    r->filterIndex[0] = filterIndex < 0 ? 1 : filterIndex;

    EditorOwnKeysBuild(r);
    if (client)
        ShowWindow(client, SW_HIDE);
    if (canHaveMenu && !(options & kEditorNoMenu)) {
        EditorMenusBuild(r, n, menuId, mode, status);
        EditorMenuPlace(r, n, split);
        if (isPane)
            EditorPaneKeysBuild(r);
    }
    SpecialToolbarsTake(frame, n, mode, r->toolbars, false);
    if (menuId != 0 && mode != 1)
        EditorUserKeysLoad(r, n, menuId);
    if (!(options & kEditorNoToolbar))
        EditorToolbarBuild(r);
    r->statusBar = gWindowTable.statusBar[n];
    if (r->statusBar)
        EditorStatusBarSetup(r);
    EditorFontCreate(r, fontFamily, pointSize);
    if (options & (kEditorCommandLine | kEditorCommandHistory)) {
        if (mode == 1)
            status = 7;
        else
            CommandLineCreate(r, frame, (options & kEditorCommandHistory) != 0);
    }
    r->insertMode = 1;

    r->richEdit = RichEditCreate(r, frame);
    EditorLayout(r);
    BarsZOrder(n);
    HWND c = r->richEdit;
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
    SendMessageA(c, EM_EXLIMITTEXT, 0, r->textLimit);
    r->findText[0] = r->replaceText[0] = '\0';
    FindRecordSetup(r, frame);
    DWORD mask = ENM_CHANGE | ENM_SCROLL | ENM_MOUSEEVENTS | ENM_SELCHANGE | ENM_PROTECTED;
    if (r->statusBar)
        mask |= ENM_KEYEVENTS;
    SendMessageA(c, EM_SETEVENTMASK, 0, mask);

    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorWindowProc));
    GetWindowTextA(frame, r->caption, kEditorTextField);
    NameSet(r, name);
    if (!name.empty() && EditorFileOpen(frame, 1) != 1)
        r->fileName[0] = '\0';
    if (refused)
        NameRefused(frame, r);
    if (r->buffers)
        EditorViewItemSet(r, 1, r->fileName);
    EditorTitleUpdate(frame);

    r->focusControl = r->commandEdit ? r->commandEdit : c;
    SetFocus(r->focusControl);
    SendMessageA(c, EM_SETMODIFY, FALSE, 0);
    r->changedValue = 0;
    r->mode = mode;
    SpecialEditorShow(frame, mode, r->focusControl);
    if (isPane)
        updates.Restore(outerSplit);
    if (mode == 1) {
        ModalLoop(r, frame);
        SpecialModalEnd(frame, r);
    }
}

namespace {

// The editor's answers for its records, installed while the program starts
// from this file, which attaches them.
const bool gRecordAnswersInstalled = (SpecialRecordAnswersSet(kRecordEditor,
                                                              {.menu = EditorRecordMenu,
                                                               .accelerators = EditorRecordAccelerators,
                                                               .statusBarField = EditorRecordStatusBarField,
                                                               .focusControl = EditorRecordFocusControl,
                                                               .modelessDialog = EditorRecordFindDialog,
                                                               .closeQuery = EditorCloseQuery,
                                                               .release = EditorRecordRelease}),
                                      true);

} // namespace

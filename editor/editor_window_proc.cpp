// The editor frame's window procedure: the editor's commands (files, edit,
// search, bookmarks, formats, buffers), the rich edit control's
// notifications, layout on resize, focus, close and destroy, and the title.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/events.h"
#include "core/frame_window.h"
#include "core/menus.h"
#include "core/special_windows.h"
#include "core/window_services.h"
#include "dialogs/dialog_show.h"
#include "graphics/graphics_state.h"

namespace {

void StoreCommand(HWND frame, int id)
{
    EventStore(kEventCommand, 0, static_cast<WPARAM>(id), 0, frame);
}

int Window(HWND frame)
{
    return WindowTableIndex(frame);
}

CHARRANGE Selection(HWND c)
{
    CHARRANGE s{};
    SendMessageA(c, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

void Refocus(EditorRecord* r)
{
    if (r->insideParent) {
        SetFocus(r->frame);
        WindowFocusActivate(r->frame);
    }
}

// ---- commands --------------------------------------------------------------

void NewBuffer(HWND f, EditorRecord* r, int n)
{
    if (!r->newAllowed)
        return;
    if (r->buffers) {
        if (r->bufferCount >= kEditorBuffers)
            return;
        int cur = r->currentBuffer;
        if (!YYEditBufferSave(n, cur)) {
            EditorBufferMemoryBox(f);
            return;
        }
        EditorViewItemCheck(r, cur, false);
        YYEditBufferPutName(n, cur, r->fileName);
        r->protectGuard = 0;
        EditorBufferBlank(r);
        EditorFormatButtonsUpdate(r);
        StoreCommand(f, kCmdNew);
        r->protectGuard = 1;
        int b = r->bufferCount + 1;
        r->filterIndex[b - 1] = r->filterIndex[cur - 1];
        r->bufferCount = b;
        r->currentBuffer = b;
        r->openFiles[b - 1] = nullptr;
        r->textEncoding[b - 1] = kEncodingCodePage;
        r->bookmark[b - 1] = -1;
        r->bookmarkLength[b - 1] = -1;
        r->fileName[0] = '\0';
        EditorTitleUpdate(f);
        EditorViewItemAppend(r, b, "");
        return;
    }
    if (!EditorSavePromptRun(f, r))
        return;
    r->protectGuard = 0;
    EditorFileClose(f);
    r->fileName[0] = '\0';
    EditorBufferBlank(r);
    r->textEncoding[r->currentBuffer - 1] = kEncodingCodePage;
    r->bookmark[r->currentBuffer - 1] = -1;
    EditorTitleUpdate(f);
    StoreCommand(f, kCmdNew);
    r->protectGuard = 1;
}

bool SameName(const char* a, const char* b)
{
    return a[0] != '\0' && lstrcmpiA(a, b) == 0;
}

bool OnlyBufferEmpty(EditorRecord* r)
{
    return r->bufferCount == 1 && EditorTextLengthQuiet(r) == 0 && SendMessageA(r->richEdit, EM_GETMODIFY, 0, 0) == 0 &&
           !r->openFiles[0] && r->fileName[0] == '\0';
}

void OpenCommand(HWND f, EditorRecord* r, int n)
{
    if (!r->openAllowed)
        return;
    if (r->buffers ? r->bufferCount >= kEditorBuffers : !EditorSavePromptRun(f, r))
        return;
    char chosen[kEditorNameLength + 1];
    std::memcpy(chosen, r->fileName, sizeof chosen);
    int index = r->filterIndex[r->currentBuffer - 1];
    if (!EditorFileDialog(f, r, false, chosen, index)) {
        Refocus(r);
        return;
    }
    int previous = r->currentBuffer;
    char previousName[kEditorNameLength + 1];
    std::memcpy(previousName, r->fileName, sizeof previousName);
    bool newBuffer = false;
    if (r->buffers && !OnlyBufferEmpty(r)) {
        YYEditBufferPutName(n, r->currentBuffer, r->fileName);
        for (int b = 1; b <= r->bufferCount; ++b) {
            char stored[kEditorNameLength + 1] = {};
            if (b == r->currentBuffer)
                std::memcpy(stored, r->fileName, sizeof stored);
            else
                YYEditBufferGetName(n, b, std::span<char>(stored, kEditorNameLength));
            if (SameName(stored, chosen)) {
                if (EditorBufferSelect(f, b))
                    StoreCommand(f, kCmdViewPopup + b);
                Refocus(r);
                return;
            }
        }
        if (!YYEditBufferSave(n, r->currentBuffer)) {
            EditorBufferMemoryBox(f);
            Refocus(r);
            return;
        }
        EditorViewItemCheck(r, r->currentBuffer, false);
        newBuffer = true;
        int b = ++r->bufferCount;
        r->currentBuffer = b;
        r->openFiles[b - 1] = nullptr;
        r->textEncoding[b - 1] = kEncodingCodePage;
        r->bookmark[b - 1] = -1;
        r->bookmarkLength[b - 1] = -1;
        std::memcpy(r->fileName, chosen, sizeof chosen);
    } else {
        std::memcpy(r->fileName, chosen, sizeof chosen);
        EditorFileClose(f);
    }
    r->filterIndex[r->currentBuffer - 1] = index;
    if (EditorFileOpen(f, 0) == 1) {
        if (newBuffer) {
            YYEditBufferPutName(n, r->currentBuffer, r->fileName);
            EditorViewItemAppend(r, r->currentBuffer, r->fileName);
        } else if (r->buffers) {
            EditorViewItemSet(r, 1, r->fileName);
        }
        StoreCommand(f, kCmdOpen);
    } else if (newBuffer) {
        // The control still shows the previous buffer: its saved copy goes.
        --r->bufferCount;
        r->currentBuffer = previous;
        if (EditorBufferRecord* e = EditorBufferEntry(n, previous)) {
            e->text.reset();
            e->textPresent = 0;
        }
        std::memcpy(r->fileName, previousName, sizeof previousName);
        EditorViewItemCheck(r, previous, true);
        EditorTitleUpdate(f);
    } else {
        std::memcpy(r->fileName, previousName, sizeof previousName);
        EditorTitleUpdate(f);
    }
    Refocus(r);
}

void CloseBuffer(HWND f, EditorRecord* r, int n)
{
    if (!r->buffers || !EditorSavePromptRun(f, r))
        return;
    if (r->bufferCount == 1) {
        r->protectGuard = 0;
        EditorFileClose(f);
        r->fileName[0] = '\0';
        EditorBufferBlank(r);
        r->textEncoding[0] = kEncodingCodePage;
        r->bookmark[0] = -1;
        EditorTitleUpdate(f);
        r->protectGuard = 1;
        EditorViewItemSet(r, 1, "");
        StoreCommand(f, kCmdClose);
        return;
    }
    EditorFileClose(f);
    int cur = r->currentBuffer;
    YYEditBufferFree(n, cur);
    for (int b = cur; b < r->bufferCount; ++b) {
        r->openFiles[b - 1] = r->openFiles[b];
        r->textEncoding[b - 1] = r->textEncoding[b];
        r->filterIndex[b - 1] = r->filterIndex[b];
        r->bookmark[b - 1] = r->bookmark[b];
        r->bookmarkLength[b - 1] = r->bookmarkLength[b];
        char stored[kEditorNameLength + 1] = {};
        YYEditBufferGetName(n, b, std::span<char>(stored, kEditorNameLength));
        EditorViewItemSet(r, b, stored);
    }
    int last = r->bufferCount;
    r->openFiles[last - 1] = nullptr;
    r->textEncoding[last - 1] = kEncodingCodePage;
    r->filterIndex[last - 1] = 0;
    r->bookmark[last - 1] = -1;
    r->bookmarkLength[last - 1] = -1;
    if (r->popups[kPopupView])
        DeleteMenu(r->popups[kPopupView], static_cast<UINT>(last - 1), MF_BYPOSITION);
    r->bufferCount = last - 1;
    r->currentBuffer = std::min(cur, r->bufferCount);
    EditorViewItemCheck(r, r->currentBuffer, true);
    YYEditBufferLoad(n, r->currentBuffer);
    char stored[kEditorNameLength + 1] = {};
    YYEditBufferGetName(n, r->currentBuffer, std::span<char>(stored, kEditorNameLength));
    std::memcpy(r->fileName, stored, sizeof stored);
    EditorTitleUpdate(f);
    StoreCommand(f, kCmdClose);
}

void FindDialogOpen(HWND f, EditorRecord* r, bool replace)
{
    r->findRecord.Flags &= ~static_cast<DWORD>(FR_DIALOGTERM);
    if (r->findDialog && IsWindow(r->findDialog))
        DestroyWindow(r->findDialog);
    r->findDialog = replace ? ReplaceTextA(&r->findRecord) : FindTextA(&r->findRecord);
    if (r->findDialog && r->insideParent)
        SetWindowLongPtrA(r->findDialog, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(f));
}

void Print(HWND f, EditorRecord* r, bool selection)
{
    if (!r->printAllowed)
        return;
    int id = selection ? kCmdPrintSelection : kCmdPrint;
    if (r->printByProgram) {
        StoreCommand(f, id);
        return;
    }
    if (EditorPrint(f, r, selection ? 1 : 0, 1, 0, 0, r->fileName) == 1)
        StoreCommand(f, id);
}

void Command(HWND f, EditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    int n = Window(f);
    HWND c = r->richEdit;
    switch (id) {
    case kCmdNew:
        NewBuffer(f, r, n);
        return;
    case kCmdOpen:
        OpenCommand(f, r, n);
        return;
    case kCmdSave:
        if (r->saveAllowed && EditorFileSave(f, 0) == 1)
            StoreCommand(f, id);
        return;
    case kCmdSaveAs:
        if (r->saveAsAllowed && EditorFileSave(f, 1) == 1)
            StoreCommand(f, id);
        return;
    case kCmdPrint:
    case kCmdPrintSelection:
        Print(f, r, id == kCmdPrintSelection);
        return;
    case kCmdClose:
        CloseBuffer(f, r, n);
        return;
    case kCmdExit:
        SendMessageA(f, WM_CLOSE, 0, 0);
        return;
    case kCmdUndo:
        SendMessageA(c, EM_UNDO, 0, 0);
        return;
    case kCmdCut:
        SendMessageA(c, WM_CUT, 0, 0);
        return;
    case kCmdCopy:
        SendMessageA(c, WM_COPY, 0, 0);
        return;
    case kCmdPaste:
        EditorPaste(r);
        return;
    case kCmdDelete:
        SendMessageA(c, WM_CLEAR, 0, 0);
        return;
    case kCmdSelectAll:
        SendMessageA(c, EM_SETSEL, 0, -1);
        SendMessageA(c, EM_SCROLLCARET, 0, 0);
        return;
    case kCmdRedo:
        if (r->version >= 2)
            SendMessageA(c, EM_REDO, 0, 0);
        return;
    case kCmdFind:
        FindDialogOpen(f, r, false);
        return;
    case kCmdFindNext:
        EditorFind(f, r, &r->findRecord);
        return;
    case kCmdReplace:
        if (!r->viewer)
            FindDialogOpen(f, r, true);
        return;
    case kCmdSetBookmark: {
        int b = r->currentBuffer - 1;
        r->bookmark[b] = Selection(c).cpMax;
        r->bookmarkLength[b] = EditorBookmarkLength(r);
        return;
    }
    case kCmdGotoBookmark: {
        int mark = r->bookmark[r->currentBuffer - 1];
        if (mark >= 0) {
            SendMessageA(c, EM_SETSEL, static_cast<WPARAM>(mark), mark);
            SendMessageA(c, EM_SCROLLCARET, 0, 0);
        }
        return;
    }
    case kCmdFont:
        EditorFontDialog(f, r);
        return;
    case kCmdBullets:
        EditorBulletToggle(r);
        return;
    case kCmdAlignLeft:
    case kCmdCentre:
    case kCmdAlignRight:
        if (r->richText && !r->viewer)
            EditorAlignmentSet(r, id);
        return;
    case kCmdBold:
    case kCmdItalic:
    case kCmdUnderline:
        if (r->richText && !r->viewer)
            EditorCharFormatToggle(r, id);
        return;
    default:
        break;
    }
    if (id >= kCmdViewFirst && id <= kCmdViewLast && r->buffers) {
        // A View id above the buffer count names no buffer.
        int b = id - kCmdViewPopup;
        if (b <= r->bufferCount && EditorBufferSelect(f, b))
            StoreCommand(f, id);
        return;
    }
    EventStore(kEventCommand, 0, wParam, lParam, f);
}

// ---- notifications ---------------------------------------------------------------

void UndoButtons(EditorRecord* r, int n)
{
    bool undo = SendMessageA(r->richEdit, EM_CANUNDO, 0, 0) != 0;
    bool redo = r->version >= 2 && SendMessageA(r->richEdit, EM_CANREDO, 0, 0) != 0;
    HWND top = n >= 0 ? gWindowTable.toolbars[n][kToolbarTop] : nullptr;
    for (HWND tb : {r->editorToolbar, top}) {
        if (!tb)
            continue;
        SendMessageA(tb, TB_ENABLEBUTTON, kCmdUndo, MAKELPARAM(undo, 0));
        if (r->version >= 2)
            SendMessageA(tb, TB_ENABLEBUTTON, kCmdRedo, MAKELPARAM(redo, 0));
    }
}

void TextChanged(HWND f, EditorRecord* r)
{
    UndoButtons(r, Window(f));
    r->changedValue = 1;
    if (!r->keepCache)
        r->cacheControl = r->cacheCaller = -1;
    if (r->modifiedMark)
        EditorTitleUpdate(f);
    int b = r->currentBuffer - 1;
    if (r->bookmark[b] >= 0 && !r->bulkChange) {
        int length = EditorBookmarkLength(r);
        int d = length - r->bookmarkLength[b];
        int s = Selection(r->richEdit).cpMin;
        if (r->bookmark[b] >= s - d)
            r->bookmark[b] = std::max(0, r->bookmark[b] + d);
        r->bookmarkLength[b] = length;
    }
}

void StatusRepaint(EditorRecord* r)
{
    if (r->statusBar)
        UpdateWindow(r->statusBar);
}

LRESULT KeyFilter(EditorRecord* r, const MSGFILTER* m)
{
    if (m->msg != WM_KEYDOWN)
        return 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool alt = GetKeyState(VK_MENU) < 0;
    switch (m->wParam) {
    case VK_CAPITAL:
        EditorStatusPart(r, 1, (GetKeyState(VK_CAPITAL) & 1) ? "\tCAPS" : "");
        StatusRepaint(r);
        return 0;
    case VK_NUMLOCK:
        EditorStatusPart(r, 2, (GetKeyState(VK_NUMLOCK) & 1) ? "\tNUM" : "");
        StatusRepaint(r);
        return 0;
    case VK_INSERT:
        if (shift && !ctrl && !alt) {
            EditorPaste(r);
            return 1;
        }
        if (!shift && !ctrl && !alt) {
            r->insertMode = r->insertMode ? 0 : 1;
            EditorStatusPart(r, 3, r->insertMode ? "\tINS" : "\tOVR");
            StatusRepaint(r);
        }
        return 0;
    case 'V':
        if (ctrl && !shift && !alt) {
            EditorPaste(r);
            return 1;
        }
        return 0;
    case VK_OEM_COMMA:
    case VK_OEM_PERIOD:
        return (ctrl && shift && !r->richText) ? 1 : 0;
    default:
        return 0;
    }
}

void SelectionChanged(HWND f, EditorRecord* r, const SELCHANGE* s)
{
    if (!IsWindowVisible(r->richEdit))
        return;
    bool some = s->chrg.cpMax > s->chrg.cpMin;
    if (r->editorToolbar) {
        if (r->popups[kPopupEdit] && some)
            EnableMenuItem(r->popups[kPopupEdit], kCmdCopy, MF_BYCOMMAND | MF_ENABLED);
        // The control reports the protected attribute uniformly off.
        EditorToolbarButtonEnable(r, kCmdCut, some);
        EditorToolbarButtonEnable(r, kCmdCopy, some);
        EditorFormatButtonsUpdate(r);
    }
    int n = Window(f);
    if (HWND top = n >= 0 ? gWindowTable.toolbars[n][kToolbarTop] : nullptr) {
        SendMessageA(top, TB_ENABLEBUTTON, kCmdCut, MAKELPARAM(some, 0));
        SendMessageA(top, TB_ENABLEBUTTON, kCmdCopy, MAKELPARAM(some, 0));
    }
    LRESULT line = SendMessageA(r->richEdit, EM_EXLINEFROMCHAR, 0, s->chrg.cpMax);
    LRESULT start = SendMessageA(r->richEdit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    char text[64];
    std::snprintf(text, sizeof text, "Line:%u   Col:%u", static_cast<unsigned>(line + 1),
                  static_cast<unsigned>(s->chrg.cpMax - start + 1));
    EditorStatusPart(r, 0, text);
}

LRESULT Notify(HWND f, EditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    auto* h = reinterpret_cast<NMHDR*>(lParam);
    if (h->hwndFrom == r->richEdit) {
        switch (h->code) {
        case EN_MSGFILTER:
            return KeyFilter(r, reinterpret_cast<MSGFILTER*>(lParam));
        case EN_SELCHANGE:
            SelectionChanged(f, r, reinterpret_cast<SELCHANGE*>(lParam));
            return 0;
        case EN_PROTECTED: {
            auto* p = reinterpret_cast<ENPROTECTED*>(lParam);
            if (p->msg == WM_COPY)
                return 0;
            return r->protectGuard ? 1 : 0;
        }
        default:
            return 0;
        }
    }
    if (EditorToolTip(r, lParam))
        return 0;
    return FrameWindowProc(f, WM_NOTIFY, wParam, lParam);
}

void CommandMessage(HWND f, EditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    auto from = reinterpret_cast<HWND>(lParam);
    int code = HIWORD(wParam);
    if (from && from == r->richEdit) {
        if (code == EN_CHANGE)
            TextChanged(f, r);
        else if (code == EN_VSCROLL && r->version == 2)
            InvalidateRect(r->richEdit, nullptr, FALSE);
        else if (code == EN_SETFOCUS) {
            r->focusControl = from;
            SpecialPaneFocus(f);
        }
        return;
    }
    if (from && ((from == r->commandEdit && code == EN_SETFOCUS) ||
                 (from == r->commandLine && r->commandLine != r->commandEdit && code == CBN_SETFOCUS))) {
        r->focusControl = r->commandEdit;
        SpecialPaneFocus(f);
        return;
    }
    if (from && (from == r->commandLine || from == r->commandEdit))
        return;
    if (code == 0 || code == 1)
        Command(f, r, wParam, lParam);
}

void FindMessage(HWND f, EditorRecord* r)
{
    DWORD flags = r->findRecord.Flags;
    if (flags & FR_DIALOGTERM) {
        r->findDialog = nullptr;
    } else if (flags & FR_FINDNEXT) {
        EditorFind(f, r, &r->findRecord);
    } else if (flags & FR_REPLACE) {
        EditorReplace(f, r, &r->findRecord);
    } else if (flags & FR_REPLACEALL) {
        EditorReplaceAll(f, r);
    }
}

void ContextMenu(HWND f, EditorRecord* r, LPARAM lParam)
{
    HMENU edit = r->popups[kPopupEdit];
    if (!edit)
        return;
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {
        CHARRANGE s = Selection(r->richEdit);
        POINT at = EditorPositionFromChar(r, s.cpMax);
        int down = r->lineHeight;
        if (r->version == 3) {
            WPARAM num = 0;
            LPARAM den = 0;
            SendMessageA(r->richEdit, EM_GETZOOM, reinterpret_cast<WPARAM>(&num), reinterpret_cast<LPARAM>(&den));
            if (num > 0 && den > 0)
                down = MulDiv(down, static_cast<int>(num), static_cast<int>(den));
        }
        p = {at.x, at.y + down};
        ClientToScreen(r->richEdit, &p);
    }
    EditorMenuInit(r, edit);
    TrackPopupMenu(edit, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, f, nullptr);
}

void Resize(HWND f, EditorRecord* r, WPARAM kind)
{
    SpecialChildPlacement(f, kind);
    if (kind != SIZE_MINIMIZED)
        EditorLayout(r);
}

// Asks for the current buffer and then for every other modified buffer once;
// 1 when the window may close.
int ClosePrompt(HWND f, EditorRecord* r, int n)
{
    int start = r->currentBuffer;
    int answer = EditorSavePromptRun(f, r);
    for (int b = 1; r->buffers && answer != 0 && b <= r->bufferCount; ++b) {
        if (b == start || b == r->currentBuffer)
            continue;
        int saved = 1;
        YYEditBufferGetValue(n, b, saved);
        if (saved != 0)
            continue;
        if (!EditorBufferSelect(f, b)) {
            EditorBufferMemoryBox(f);
            answer = 0;
            break;
        }
        answer = EditorSavePromptRun(f, r);
    }
    if (answer == 0 && r->buffers && r->currentBuffer != start) {
        if (EditorBufferSelect(f, start))
            EditorTitleUpdate(f);
    }
    return answer;
}

void Destroy(HWND f, EditorRecord* r)
{
    int n = Window(f);
    if (r->mode == 3) {
        if (gWindowSystem.semiModelessCount > 0)
            --gWindowSystem.semiModelessCount;
        HWND back = n >= 0 ? gWindowTable.activationOwner[n] : nullptr;
        if (!back || !IsWindow(back) || back == f)
            back = gWindowTable.frame[0];
        OtherWindowsEnable(back, 1);
        if (back) {
            SetActiveWindow(back);
            SetFocus(back);
        }
    }
    for (HACCEL* a : {&r->ownKeys, &r->userKeys, &r->paneKeys}) {
        if (*a)
            DestroyAcceleratorTable(*a);
        *a = nullptr;
    }
    if (r->font && r->font != GetStockObject(SYSTEM_FONT) && r->font != GetStockObject(SYSTEM_FIXED_FONT))
        DeleteObject(r->font);
    r->font = nullptr;
    if (n >= 0 && gWindowTable.menu[n])
        MenuFreeHelp(gWindowTable.menu[n], n);
    if (r->mode == 1 && n >= 0) {
        EditorBufferStoreRelease(n);
        SpecialModalRowsRelease(f, n);
    }
    for (HANDLE& h : r->openFiles) {
        if (h)
            CloseHandle(h);
        h = nullptr;
    }
    if (r->findDialog && IsWindow(r->findDialog))
        DestroyWindow(r->findDialog);
    r->findDialog = nullptr;
    WindowRecordDetach(f);
    if (r->mode != 1)
        WindowRecordFree(r);
}

} // namespace

std::string EditorViewItemText(int n, std::string_view name)
{
    std::string text = "&";
    text += n <= 9 ? static_cast<char>('0' + n) : static_cast<char>('A' + (n - 10));
    text += '\t';
    size_t nul = name.find('\0');
    if (nul != std::string_view::npos)
        name = name.substr(0, nul);
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    text += name.empty() ? std::string_view("Untitled") : name;
    return text;
}

void EditorViewItemSet(EditorRecord* r, int n, std::string_view name)
{
    HMENU v = r->popups[kPopupView];
    if (!v)
        return;
    std::string text = EditorViewItemText(n, name);
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = text.data();
    SetMenuItemInfoA(v, static_cast<UINT>(n - 1), TRUE, &mi);
}

void EditorViewItemAppend(EditorRecord* r, int n, std::string_view name)
{
    HMENU v = r->popups[kPopupView];
    if (!v)
        return;
    std::string text = EditorViewItemText(n, name);
    AppendMenuA(v, MF_STRING | MF_CHECKED, static_cast<UINT_PTR>(kCmdViewPopup + n), text.c_str());
}

void EditorViewItemCheck(EditorRecord* r, int n, bool checked)
{
    if (HMENU v = r->popups[kPopupView])
        CheckMenuItem(v, static_cast<UINT>(n - 1), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void EditorBufferBlank(EditorRecord* r)
{
    EditorFormatsReset(r);
    SendMessageA(r->richEdit, EM_SETMODIFY, FALSE, 0);
    r->changedValue = 0;
}

void EditorTitleUpdate(HWND frame)
{
    EditorRecord* r = EditorRecordOf(frame);
    if (!r)
        return;
    bool modified = r->modifiedMark && SendMessageA(r->richEdit, EM_GETMODIFY, 0, 0) != 0;
    bool caption = (GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    if (caption) {
        std::string title = r->caption;
        if (r->fileName[0] && !r->noNameInTitle) {
            bool bracket = r->caption[0] != '\0';
            if (bracket)
                title += " - [";
            title += r->fileName;
            if (modified)
                title += " *";
            if (bracket)
                title += "]";
        }
        SetWindowTextA(frame, title.c_str());
    } else if (r->statusBar) {
        std::string text = r->fileName;
        if (modified)
            text += " *";
        EditorStatusPart(r, 4, text.c_str());
    }
}

LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditorRecord* r = EditorRecordOf(window);
    if (!r)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == gWindowSystem.findReplaceMessage && message != 0) {
        FindMessage(window, r);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_COMMAND:
        CommandMessage(window, r, wParam, lParam);
        return 0;
    case WM_NOTIFY:
        return Notify(window, r, wParam, lParam);
    case WM_INITMENUPOPUP:
        EditorMenuInit(r, reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MENUSELECT:
        if (EditorMenuHelp(r, wParam, lParam))
            return 0;
        return FrameWindowProc(window, message, wParam, lParam);
    case WM_ENTERMENULOOP:
        SpecialMenuLoopStatus(r->statusBar, true);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_EXITMENULOOP:
        SpecialMenuLoopStatus(r->statusBar, false);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CONTEXTMENU:
        ContextMenu(window, r, lParam);
        return 0;
    case WM_SIZE:
        Resize(window, r, wParam);
        return 0;
    case WM_SETFOCUS:
        SpecialFrameFocus(window, r->focusControl);
        return 0;
    case WM_ACTIVATE:
    case WM_KILLFOCUS:
    case WM_NCHITTEST:
    case WM_SETFONT:
    case WM_EXITSIZEMOVE:
        return FrameWindowProc(window, message, wParam, lParam);
    case WM_MOUSEACTIVATE:
    case WM_PARENTNOTIFY:
        if (r->insideParent && (message == WM_MOUSEACTIVATE || LOWORD(wParam) == WM_LBUTTONDOWN ||
                                LOWORD(wParam) == WM_RBUTTONDOWN || LOWORD(wParam) == WM_MBUTTONDOWN)) {
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
            HWND focus = GetFocus();
            if (focus != window && !IsChild(window, focus) && r->focusControl)
                SetFocus(r->focusControl);
            WindowFocusActivate(window);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        // The frame's own background is not erased (its children cover
        // it). A toolbar passes its own erase to its parent first, with its
        // own device context, and fills its background itself only when the
        // parent erased nothing: that request is answered "not erased".
        return WindowFromDC(reinterpret_cast<HDC>(wParam)) == window ? 1 : 0;
    case WM_CLOSE: {
        if (!ClosePrompt(window, r, Window(window)))
            return 0;
        if (r->mode == 1) {
            r->modalEnd = 1;
            EditorLastClosedStore(r);
            return DefWindowProcA(window, message, wParam, lParam);
        }
        EventStore(kEventClose, 0, wParam, lParam, window);
        return 0;
    }
    case WM_DESTROY:
        // The loop of a modal editor ends with its frame.
        r->modalEnd = 1;
        Destroy(window, r);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

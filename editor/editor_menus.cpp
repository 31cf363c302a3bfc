// The editor's menu bar, accelerator tables, toolbar and status-bar parts:
// what creation builds, how menu items are enabled when a menu opens, the
// menu help shown in the status bar and the tool tips of the own toolbar.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/menus.h"
#include "core/special_windows.h"

namespace {

constexpr BYTE kCtrl = FCONTROL;
constexpr BYTE kShift = FSHIFT;

void Enable(HMENU m, int id, bool on)
{
    EnableMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

CHARRANGE Selection(HWND c)
{
    CHARRANGE s{};
    SendMessageA(c, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

// 0 the selection is uniformly unprotected, 1 protected, 2 mixed.
int Protection(const EditorRecord* r)
{
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(r->richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    if (!(cf.dwMask & CFM_PROTECTED))
        return 2;
    return (cf.dwEffects & CFE_PROTECTED) ? 1 : 0;
}

// The help text the library attached to item ID from the window's
// "KVBMENUSTRING" resource, nullptr when none.
const char* AttachedHelp(const EditorRecord* r, int id)
{
    int n = WindowTableIndex(r->frame);
    if (n < 0 || !gWindowTable.menuHelpResource[n])
        return nullptr;
    return MenuHelpText(gWindowTable.menuHelpResource[n], id);
}

} // namespace

// ---- keys -------------------------------------------------------------------

void EditorOwnKeysBuild(EditorRecord* r)
{
    std::vector<MenuKey> keys;
    if (r->newAllowed)
        keys.push_back({kCtrl, 'N', kCmdNew});
    if (r->openAllowed)
        keys.push_back({kCtrl, 'O', kCmdOpen});
    if (r->saveAllowed)
        keys.push_back({kCtrl, 'S', kCmdSave});
    if (r->saveAsAllowed)
        keys.push_back({0, VK_F12, kCmdSaveAs});
    if (r->printAllowed) {
        keys.push_back({kCtrl, 'P', kCmdPrint});
        keys.push_back({kCtrl | kShift, 'P', kCmdPrintSelection});
    }
    keys.push_back({kCtrl, 'F', kCmdFind});
    keys.push_back({0, VK_F3, kCmdFindNext});
    keys.push_back({kShift, VK_F2, kCmdSetBookmark});
    keys.push_back({0, VK_F2, kCmdGotoBookmark});
    if (!r->viewer)
        keys.push_back({kCtrl, 'H', kCmdReplace});
    if (r->richText && !r->viewer) {
        keys.push_back({kCtrl, 'B', kCmdBold});
        keys.push_back({kCtrl, 'I', kCmdItalic});
        if (!r->alternativeKeys)
            keys.push_back({kCtrl, 'U', kCmdUnderline});
        BYTE align = r->alternativeKeys ? kCtrl | kShift : kCtrl;
        keys.push_back({align, 'L', kCmdAlignLeft});
        keys.push_back({align, 'E', kCmdCentre});
        keys.push_back({align, 'R', kCmdAlignRight});
    }
    r->ownKeys = MenuKeysCreate(keys);
}

void EditorPaneKeysBuild(EditorRecord* r)
{
    std::vector<MenuKey> keys;
    if (!r->viewer) {
        keys.push_back({kCtrl, 'Z', kCmdUndo});
        if (r->version >= 2)
            keys.push_back({kCtrl, 'Y', kCmdRedo});
        keys.push_back({kCtrl, 'X', kCmdCut});
        keys.push_back({kShift, VK_DELETE, kCmdCut});
        keys.push_back({kCtrl, 'V', kCmdPaste});
        keys.push_back({kShift, VK_INSERT, kCmdPaste});
        keys.push_back({0, VK_DELETE, kCmdDelete});
    }
    keys.push_back({kCtrl, 'C', kCmdCopy});
    keys.push_back({kCtrl, 'A', kCmdSelectAll});
    r->paneKeys = MenuKeysCreate(keys);
}

void EditorUserKeysLoad(EditorRecord* r, int window, int menuId)
{
    r->userKeys = LoadAcceleratorsA(gWindowSystem.instance, MAKEINTRESOURCEA(menuId));
    MenuHelpResource help = MenuHelpResourceLoad(menuId);
    if (help && window >= 0)
        gWindowTable.menuHelpResource[window] = help;
}

// ---- menus --------------------------------------------------------------------

void EditorMenusBuild(EditorRecord* r, int, int menuId, int mode, int& status)
{
    bool keys = r->ownKeys != nullptr;
    auto k = [keys](const char* withKey, const char* plain) { return keys ? withKey : plain; };

    HMENU file = CreatePopupMenu();
    MenuItemAppend(file, kCmdNew, k("&New\tCtrl+N", "&New"), r->newAllowed);
    MenuItemAppend(file, kCmdOpen, k("&Open\tCtrl+O", "&Open"), r->openAllowed);
    bool close = r->buffers && !(r->options & kEditorNoClose);
    MenuItemAppend(file, kCmdClose, "&Close", close);
    MenuSeparatorAppend(file, close && (r->saveAllowed || r->saveAsAllowed));
    MenuItemAppend(file, kCmdSave, k("&Save\tCtrl+S", "&Save"), r->saveAllowed);
    MenuItemAppend(file, kCmdSaveAs, k("Save &As\tF12", "Save &As"), r->saveAsAllowed);
    MenuSeparatorAppend(file, r->newAllowed || r->openAllowed || r->saveAllowed || r->saveAsAllowed);
    MenuItemAppend(file, kCmdPrint, k("&Print\tCtrl+P", "&Print"), r->printAllowed);
    MenuItemAppend(file, kCmdPrintSelection, k("Prin&t Selection\tCtrl+Shift+P", "Prin&t Selection"), r->printAllowed);
    MenuSeparatorAppend(file, r->printAllowed);
    MenuItemAppend(file, kCmdExit, "E&xit");

    HMENU edit = CreatePopupMenu();
    bool editable = !r->viewer;
    MenuItemAppend(edit, kCmdUndo, "&Undo\tCtrl+Z", editable);
    MenuItemAppend(edit, kCmdRedo, "&Redo\tCtrl+Y", editable && r->version >= 2);
    MenuSeparatorAppend(edit, editable);
    MenuItemAppend(edit, kCmdCut, "Cu&t\tCtrl+X", editable);
    MenuItemAppend(edit, kCmdCopy, "&Copy\tCtrl+C");
    MenuItemAppend(edit, kCmdPaste, "&Paste\tCtrl+V", editable);
    MenuItemAppend(edit, kCmdDelete, "&Delete\tDel", editable);
    MenuSeparatorAppend(edit);
    MenuItemAppend(edit, kCmdSelectAll, "Select &All\tCtrl+A");

    HMENU search = CreatePopupMenu();
    MenuItemAppend(search, kCmdFind, k("&Find\tCtrl+F", "&Find"));
    MenuItemAppend(search, kCmdFindNext, k("Find &Next\tF3", "Find &Next"));
    MenuItemAppend(search, kCmdReplace, k("&Replace\tCtrl+H", "&Replace"), editable);
    MenuSeparatorAppend(search);
    MenuItemAppend(search, kCmdSetBookmark, k("&Set Bookmark\tShift+F2", "&Set Bookmark"));
    AppendMenuA(search, MF_STRING | MF_GRAYED, kCmdGotoBookmark, k("Goto &Bookmark\tF2", "Goto &Bookmark"));

    HMENU format = nullptr;
    if (r->richText && editable) {
        format = CreatePopupMenu();
        MenuItemAppend(format, kCmdFont, "&Font");
        MenuItemAppend(format, kCmdBullets, "&Bullet Style");
        MenuSeparatorAppend(format);
        bool alt = r->alternativeKeys != 0;
        MenuItemAppend(format, kCmdAlignLeft, alt ? "Align &Left\tCtrl+Shift+L" : "Align &Left\tCtrl+L");
        MenuItemAppend(format, kCmdCentre, alt ? "Align &Centre\tCtrl+Shift+E" : "Align &Centre\tCtrl+E");
        MenuItemAppend(format, kCmdAlignRight, alt ? "Align &Right\tCtrl+Shift+R" : "Align &Right\tCtrl+R");
    }
    HMENU view = nullptr;
    if (r->buffers) {
        view = CreatePopupMenu();
        AppendMenuA(view, MF_STRING | MF_CHECKED, kCmdViewFirst, "&1\tUntitled");
    }

    HMENU bar = SpecialMenuBarLoad(menuId, mode, status);
    MenuPopupInsert(bar, 0, file, kCmdFilePopup, "&File");
    MenuPopupInsert(bar, 1, edit, kCmdEditPopup, "&Edit");
    MenuPopupInsert(bar, 2, search, kCmdSearchPopup, "&Search");
    int next = 3;
    if (format)
        MenuPopupInsert(bar, next++, format, kCmdFormatPopup, "F&ormat");
    if (view)
        MenuPopupInsert(bar, next, view, kCmdViewPopup, "&View");
    r->menuBar = bar;
    r->popups[kPopupFile] = file;
    r->popups[kPopupEdit] = edit;
    r->popups[kPopupSearch] = search;
    r->popups[kPopupFormat] = format;
    r->popups[kPopupView] = view;
}

void EditorMenuPlace(EditorRecord* r, int window, int split)
{
    SpecialMenuPlace(r->frame, r->menuBar, window, r->insideParent != 0, split);
}

void EditorMenuInit(EditorRecord* r, HMENU popup)
{
    HWND c = r->richEdit;
    CHARRANGE s = Selection(c);
    bool empty = s.cpMax <= s.cpMin;
    if (popup == r->popups[kPopupFile]) {
        Enable(popup, kCmdPrintSelection, !empty);
    } else if (popup == r->popups[kPopupEdit]) {
        int protection = Protection(r);
        Enable(popup, kCmdUndo, SendMessageA(c, EM_CANUNDO, 0, 0) != 0);
        if (r->version >= 2)
            Enable(popup, kCmdRedo, SendMessageA(c, EM_CANREDO, 0, 0) != 0);
        Enable(popup, kCmdCopy, !empty);
        Enable(popup, kCmdCut, !empty && protection == 0);
        Enable(popup, kCmdDelete, !empty && protection == 0);
        Enable(popup, kCmdPaste, IsClipboardFormatAvailable(CF_TEXT) && protection == 0);
    } else if (popup == r->popups[kPopupSearch]) {
        Enable(popup, kCmdFindNext, r->findText[0] != '\0');
        Enable(popup, kCmdGotoBookmark, r->bookmark[r->currentBuffer - 1] >= 0);
    } else if (popup && popup == r->popups[kPopupFormat]) {
        bool plain = Protection(r) == 0;
        Enable(popup, kCmdFont, plain);
        Enable(popup, kCmdBullets, plain);
    }
}

// ---- menu help and tool tips ---------------------------------------------------

const char* EditorMenuHelpText(const EditorRecord* r, int id, bool popup)
{
    if (popup) {
        switch (id) {
        case kPopupFile: return "Commands to Load, Save and Print files";
        case kPopupEdit: return "Commands for editing text";
        case kPopupSearch: return "Commands to locate and replace text";
        case kPopupFormat: return "Commands to change the formatting of text";
        case kPopupView: return "Commands to switch between files";
        default: return nullptr;
        }
    }
    if (id >= kCmdViewFirst && id <= kCmdViewLast)
        return "Switch to this edit buffer";
    switch (id) {
    case 0: return "";
    case kCmdNew: return "Creates a new document";
    case kCmdOpen: return "Opens an existing document";
    case kCmdSave: return "Saves the active document";
    case kCmdSaveAs: return "Saves the active document with a new name";
    case kCmdPrint: return "Prints the active document";
    case kCmdPrintSelection: return "Prints the selected text";
    case kCmdClose:
        return (r->viewer || !r->saveAllowed) ? "Closes the current document"
                                              : "Closes the current document; prompts you to save changes";
    case kCmdExit:
        return r->viewer ? "Closes the browser"
                         : r->saveAllowed ? "Closes the editor; prompts you to save changes" : "Closes the editor";
    case kCmdUndo: return "Reverses the last action";
    case kCmdCut: return "Cuts the selected text and places it on the clipboard";
    case kCmdCopy: return "Copies the selected text and places it on the clipboard";
    case kCmdPaste: return "Inserts clipboard contents";
    case kCmdDelete: return "Deletes the selected text";
    case kCmdSelectAll: return "Selects the entire document";
    case kCmdRedo: return "Redoes the last action that was undone";
    case kCmdFind: return "Finds the specified text";
    case kCmdFindNext: return "Repeats the last find";
    case kCmdReplace: return "Replaces specific text with different text";
    case kCmdSetBookmark: return "Bookmarks the current cursor position";
    case kCmdGotoBookmark: return "Moves to a previously bookmarked position";
    case kCmdFont: return "Selects the font for the selected or new text";
    case kCmdBullets: return "Inserts a bullet on this line";
    default: return nullptr;
    }
}

bool EditorMenuHelp(EditorRecord* r, WPARAM wParam, LPARAM lParam)
{
    UINT flags = HIWORD(wParam);
    if (!r->statusBar || (flags == 0xFFFF && lParam == 0) || (flags & MF_SYSMENU))
        return false;
    int id = LOWORD(wParam);
    const char* text = nullptr;
    if (flags & MF_POPUP) {
        HMENU sub = GetSubMenu(reinterpret_cast<HMENU>(lParam), id);
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID;
        int popupId = GetMenuItemInfoA(reinterpret_cast<HMENU>(lParam), static_cast<UINT>(id), TRUE, &mi)
                          ? static_cast<int>(mi.wID)
                          : 0;
        text = popupId ? AttachedHelp(r, popupId) : nullptr;
        for (int p = 0; !text && sub && p < 5; ++p)
            if (sub == r->popups[p])
                text = EditorMenuHelpText(r, p, true);
    } else {
        text = id ? AttachedHelp(r, id) : nullptr;
        if (!text)
            text = EditorMenuHelpText(r, id, false);
    }
    if (!text)
        return false;
    SendMessageA(r->statusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
    return true;
}

const char* EditorToolTipText(const EditorRecord* r, int id)
{
    switch (id) {
    case kCmdNew: return "New";
    case kCmdOpen: return "Open";
    case kCmdSave: return "Save";
    case kCmdPrint: return "Print";
    case kCmdPrintSelection: return "Print selected text";
    case kCmdUndo: return "Undo";
    case kCmdCut: return "Cut";
    case kCmdCopy: return "Copy";
    case kCmdPaste: return "Paste";
    case kCmdRedo: return "Redo";
    case kCmdFind: return "Find";
    case kCmdBullets: return "Bullets";
    case kCmdAlignLeft: return "Align Left";
    case kCmdCentre: return "Centre";
    case kCmdAlignRight: return "Align Right";
    case kCmdBold: return "Bold";
    case kCmdItalic: return "Italic";
    case kCmdUnderline: return "Underline";
    default: break;
    }
    if (r->alternativeKeys) {
        switch (id) {
        case kCmdInsertPicture: return "Insert Picture";
        case kCmdInsertLink: return "Insert Link";
        case kCmdHelp: return "Help";
        default: break;
        }
    }
    return "";
}

bool EditorToolTip(EditorRecord* r, LPARAM lParam)
{
    auto* h = reinterpret_cast<NMHDR*>(lParam);
    if (!r->toolbarTips || h->hwndFrom != r->toolbarTips)
        return false;
    int id = static_cast<int>(h->idFrom);
    const char* text = EditorToolTipText(r, id);
    if (h->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        info->lpszText = info->szText;
        lstrcpynA(info->szText, text, sizeof info->szText);
        return true;
    }
    if (h->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        info->lpszText = info->szText;
        MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText, static_cast<int>(std::size(info->szText)));
        info->szText[std::size(info->szText) - 1] = 0;
        return true;
    }
    return false;
}

// ---- toolbar and status bar -------------------------------------------------------

void EditorToolbarButtonEnable(EditorRecord* r, int id, bool enable)
{
    if (r->editorToolbar)
        SendMessageA(r->editorToolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(enable ? 1 : 0, 0));
}

void EditorToolbarBuild(EditorRecord* r)
{
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", 0x54000100, 0, 0, 0, 0, r->frame,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorToolbarId)),
                              gWindowSystem.instance, nullptr);
    if (!tb)
        return;
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    SendMessageA(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(22, 21));
    int base = static_cast<int>(SendMessageA(tb, TB_LOADIMAGES, IDB_STD_SMALL_COLOR,
                                             reinterpret_cast<LPARAM>(HINST_COMMCTRL)));
    if (base < 0)
        base = 0;
    std::vector<TBBUTTON> buttons;
    auto button = [&](int image, int id, BYTE state) {
        TBBUTTON b{};
        b.iBitmap = image;
        b.idCommand = id;
        b.fsState = state;
        b.fsStyle = BTNS_BUTTON;
        buttons.push_back(b);
    };
    auto separator = [&]() {
        TBBUTTON b{};
        b.fsStyle = BTNS_SEP;
        buttons.push_back(b);
    };
    const BYTE on = TBSTATE_ENABLED;
    bool editable = !r->viewer;
    if (r->newAllowed)
        button(base + STD_FILENEW, kCmdNew, on);
    if (r->openAllowed)
        button(base + STD_FILEOPEN, kCmdOpen, on);
    if (r->saveAllowed)
        button(base + STD_FILESAVE, kCmdSave, on);
    if (r->newAllowed || r->openAllowed || r->saveAllowed)
        separator();
    if (r->printAllowed) {
        button(base + STD_PRINT, kCmdPrint, on);
        separator();
    }
    button(base + STD_FIND, kCmdFind, on);
    separator();
    if (editable)
        button(base + STD_CUT, kCmdCut, 0);
    button(base + STD_COPY, kCmdCopy, 0);
    if (editable) {
        button(base + STD_PASTE, kCmdPaste, on);
        button(base + STD_UNDO, kCmdUndo, 0);
        if (r->version >= 2)
            button(base + STD_REDOW, kCmdRedo, 0);
    }
    HINSTANCE inst = gWindowSystem.instance;
    if (r->richText && editable && FindResourceA(inst, MAKEINTRESOURCEA(32101), MAKEINTRESOURCEA(2))) {
        TBADDBITMAP add{inst, 32101};
        int f = static_cast<int>(SendMessageA(tb, TB_ADDBITMAP, 7, reinterpret_cast<LPARAM>(&add)));
        separator();
        button(f + 0, kCmdBold, on);
        button(f + 1, kCmdItalic, on);
        if (!r->alternativeKeys)
            button(f + 2, kCmdUnderline, on);
        separator();
        button(f + 3, kCmdAlignLeft, on | TBSTATE_CHECKED);
        button(f + 4, kCmdCentre, on);
        button(f + 5, kCmdAlignRight, on);
        separator();
        button(f + 6, kCmdBullets, on);
        if (r->alternativeKeys && FindResourceA(inst, MAKEINTRESOURCEA(2001), MAKEINTRESOURCEA(2))) {
            TBADDBITMAP extra{inst, 2001};
            int x = static_cast<int>(SendMessageA(tb, TB_ADDBITMAP, 3, reinterpret_cast<LPARAM>(&extra)));
            button(x + 0, kCmdInsertPicture, on);
            button(x + 1, kCmdInsertLink, on);
            button(x + 2, kCmdHelp, on);
        }
    }
    SendMessageA(tb, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
    r->editorToolbar = tb;
    r->toolbarTips = reinterpret_cast<HWND>(SendMessageA(tb, TB_GETTOOLTIPS, 0, 0));
}

void EditorStatusPart(EditorRecord* r, int part, const char* text)
{
    if (r->statusBar)
        SendMessageA(r->statusBar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void EditorStatusBarSetup(EditorRecord* r)
{
    bool caption = (GetWindowLongA(r->frame, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    int edges[5] = {130, 170, 210, 250, -1};
    SendMessageA(r->statusBar, SB_SIMPLE, FALSE, 0);
    SendMessageA(r->statusBar, SB_SETPARTS, caption ? 4 : 5, reinterpret_cast<LPARAM>(edges));
    EditorStatusPart(r, 0, "Line:1   Col:1");
    EditorStatusPart(r, 1, (GetKeyState(VK_CAPITAL) & 1) ? "\tCAPS" : "");
    EditorStatusPart(r, 2, (GetKeyState(VK_NUMLOCK) & 1) ? "\tNUM" : "");
    EditorStatusPart(r, 3, "\tINS");
}

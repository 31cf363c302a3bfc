// The grid editor's window side: creation around a copy of a grid field,
// menus, accelerators, toolbar and status bar, the layout inside the frame,
// the frame's size limits, the title, the modal loop, close and destroy, the
// release when the window turns back into a plain one, the answers the grid
// engine asks of the editor, and the public opener.
#include "grid/grid_editor.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/frame_window.h"
#include "core/menus.h"
#include "core/special_windows.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/window_snapshots.h"
#include "graphics/graphics_state.h"
#include "grid/grid_editor_internal.h"
#include "grid/grid_engine.h"
#include "grid/grid_print.h"
#include "grid/grid_record.h"

namespace {

// WM_SYSTIMER: the system timer message the window manager may hold back.
constexpr UINT kSystemTimerMessage = 0x118;

// The font last given to a grid editor's frame, answered to WM_GETFONT.
HFONT gRememberedFont = nullptr;

int WindowHeight(HWND w)
{
    RECT r{};
    if (w)
        GetWindowRect(w, &r);
    return r.bottom - r.top;
}

int WindowWidth(HWND w)
{
    RECT r{};
    if (w)
        GetWindowRect(w, &r);
    return r.right - r.left;
}

void OwnKeysBuild(GridEditorRecord* r)
{
    std::vector<MenuKey> keys;
    if (r->newEnabled)
        keys.push_back({FCONTROL, 'N', kGridEdNew});
    if (r->openEnabled)
        keys.push_back({FCONTROL, 'O', kGridEdOpen});
    if (r->saveEnabled)
        keys.push_back({FCONTROL, 'S', kGridEdSave});
    if (r->saveAsEnabled)
        keys.push_back({0, VK_F12, kGridEdSaveAs});
    if (r->printEnabled)
        keys.push_back({FCONTROL, 'P', kGridEdPrint});
    if (r->findEnabled) {
        keys.push_back({FCONTROL, 'F', kGridEdFind});
        keys.push_back({0, VK_F3, kGridEdFindNext});
    }
    if (r->rowCommands) {
        keys.push_back({FCONTROL, 'I', kGridEdInsertBefore});
        keys.push_back({FCONTROL | FSHIFT, 'I', kGridEdInsertAfter});
        keys.push_back({FCONTROL, 'E', kGridEdDeleteRow});
    }
    r->ownAccelerators = MenuKeysCreate(keys);
}

void MenusBuild(GridEditorRecord* r, int menuId, int mode, int& status)
{
    const bool keys = r->ownAccelerators != nullptr;
    auto k = [keys](const char* withKey, const char* plain) { return keys ? withKey : plain; };
    const bool editable = !r->readOnly;

    HMENU file = CreatePopupMenu();
    MenuItemAppend(file, kGridEdNew, k("&New\tCtrl+N", "&New"), r->newEnabled);
    MenuItemAppend(file, kGridEdOpen, k("&Open\tCtrl+O", "&Open"), r->openEnabled);
    MenuItemAppend(file, kGridEdSave, k("&Save\tCtrl+S", "&Save"), r->saveEnabled);
    MenuItemAppend(file, kGridEdSaveAs, k("Save &As\tF12", "Save &As"), r->saveAsEnabled);
    MenuItemAppend(file, kGridEdSaveSelection, "Save S&election", r->saveAsEnabled);
    MenuItemAppend(file, kGridEdSaveHtml, "Save As &HTML", r->saveHtmlEnabled);
    MenuSeparatorAppend(file, r->newEnabled || r->openEnabled || r->saveEnabled || r->saveAsEnabled || r->saveHtmlEnabled);
    MenuItemAppend(file, kGridEdPrint, k("&Print\tCtrl+P", "&Print"), r->printEnabled);
    MenuItemAppend(file, kGridEdPrintSelection, "Prin&t Selection", r->printEnabled);
    MenuSeparatorAppend(file, r->printEnabled);
    MenuItemAppend(file, kGridEdExit, "E&xit");

    HMENU edit = CreatePopupMenu();
    MenuItemAppend(edit, kGridEdCut, "Cu&t\tCtrl+X", editable);
    MenuItemAppend(edit, kGridEdCopy, "&Copy\tCtrl+C");
    MenuItemAppend(edit, kGridEdPaste, "&Paste\tCtrl+V", editable);
    MenuItemAppend(edit, kGridEdDelete, "&Delete\tDel", editable);
    MenuSeparatorAppend(edit);
    MenuItemAppend(edit, kGridEdSelectAll, "Select &All");
    if (editable) {
        MenuSeparatorAppend(edit);
        MenuItemAppend(edit, kGridEdSort, "&Sort");
    }
    MenuItemAppend(edit, kGridEdInsertBefore, "&Insert Row Before Current\tCtrl+I", r->rowCommands);
    MenuItemAppend(edit, kGridEdInsertAfter, "&Insert Row After Current\tCtrl+Shift+I", r->rowCommands);
    MenuItemAppend(edit, kGridEdDeleteRow, "D&elete Row\tCtrl+E", r->rowCommands);

    HMENU search = CreatePopupMenu();
    MenuItemAppend(search, kGridEdFind, k("&Find\tCtrl+F", "&Find"), r->findEnabled);
    MenuItemAppend(search, kGridEdFindNext, k("Find &Next\tF3", "Find &Next"), r->findEnabled);
    MenuSeparatorAppend(search, r->findEnabled);
    MenuItemAppend(search, kGridEdGotoCell, "&Goto Cell");
    MenuItemAppend(search, kGridEdGotoRow, "Goto Ro&w");
    MenuItemAppend(search, kGridEdGotoColumn, "Goto &Column");

    HMENU bar = SpecialMenuBarLoad(menuId, mode, status);
    MenuPopupInsert(bar, 0, file, kGridEdFilePopup, "&File");
    MenuPopupInsert(bar, 1, edit, kGridEdEditPopup, "&Edit");
    MenuPopupInsert(bar, 2, search, kGridEdSearchPopup, "&Search");
    r->menuBar = bar;
    r->filePopup = file;
    r->editPopup = edit;
    r->searchPopup = search;
}

void ToolbarBuild(GridEditorRecord* r, HWND frame)
{
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS, 0, 0,
                              0, 0, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGridEditorToolbarId)),
                              gWindowSystem.instance, nullptr);
    if (!tb)
        return;
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    SendMessageA(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(22, 21));
    int base = static_cast<int>(
        SendMessageA(tb, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL)));
    if (base < 0)
        base = 0;
    std::vector<TBBUTTON> buttons;
    auto button = [&](int image, int id) {
        TBBUTTON b{};
        b.iBitmap = base + image;
        b.idCommand = id;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        buttons.push_back(b);
    };
    auto separator = [&]() {
        TBBUTTON b{};
        b.fsStyle = BTNS_SEP;
        buttons.push_back(b);
    };
    if (r->newEnabled)
        button(STD_FILENEW, kGridEdNew);
    if (r->openEnabled)
        button(STD_FILEOPEN, kGridEdOpen);
    if (r->saveEnabled)
        button(STD_FILESAVE, kGridEdSave);
    if (r->newEnabled || r->openEnabled || r->saveEnabled)
        separator();
    if (r->printEnabled) {
        button(STD_PRINT, kGridEdPrint);
        separator();
    }
    if (r->findEnabled) {
        button(STD_FIND, kGridEdFind);
        separator();
    }
    if (!r->readOnly)
        button(STD_CUT, kGridEdCut);
    button(STD_COPY, kGridEdCopy);
    if (!r->readOnly)
        button(STD_PASTE, kGridEdPaste);
    SendMessageA(tb, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
    r->toolbar = tb;
    r->toolTips = reinterpret_cast<HWND>(SendMessageA(tb, TB_GETTOOLTIPS, 0, 0));
}

void StatusPart(GridEditorRecord* r, int part, const char* text)
{
    if (r->statusBar)
        SendMessageA(r->statusBar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void StatusBarSetup(GridEditorRecord* r, HWND frame)
{
    bool caption = (GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    int edges[5] = {30, 90, 140, 200, -1};
    SendMessageA(r->statusBar, SB_SIMPLE, FALSE, 0);
    SendMessageA(r->statusBar, SB_SETPARTS, caption ? 4 : 5, reinterpret_cast<LPARAM>(edges));
    StatusPart(r, 0 | SBT_NOBORDERS, "Row");
    StatusPart(r, 1, "\t\t1");
    StatusPart(r, 2 | SBT_NOBORDERS, "\tColumn");
    StatusPart(r, 3, "\t\t1");
}

// The template grid's font made again: its text height and average
// character width, weight, italic, underline, strike-out, character set,
// pitch and family and face, with TrueType output precision.
HFONT FontReproduce(HWND templateGrid)
{
    auto font = reinterpret_cast<HFONT>(SendMessageA(templateGrid, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    if (!font || !GetObjectA(font, sizeof lf, &lf))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    TEXTMETRICA tm{};
    GridFontMetrics(templateGrid, font, tm);
    if (tm.tmHeight > 0) {
        lf.lfHeight = tm.tmHeight;
        lf.lfWidth = tm.tmAveCharWidth;
    }
    lf.lfOutPrecision = OUT_TT_PRECIS;
    return CreateFontIndirectA(&lf);
}

// Every client window's pending-update state, so that those without one can
// be validated again after a pane became an editor.
void LastClosedStore(GridEditorRecord* r)
{
    GridRecord* g = GridRecordOf(r->grid);
    gGridEditorLastClosed.modified = g ? g->modified : 0;
    gGridEditorLastClosed.modified2 = g ? g->modified2 : 0;
    gGridEditorLastClosed.findText = r->findText.data();
    gGridEditorLastClosed.secondText = r->secondText.data();
    gGridEditorLastClosed.fileName = r->fileName.data();
}

void FontRelease(GridEditorRecord* r)
{
    if (!r->font)
        return;
    if (gRememberedFont == r->font)
        gRememberedFont = nullptr;
    DeleteObject(r->font);
    r->font = nullptr;
}

void KeysRelease(GridEditorRecord* r)
{
    for (HACCEL* a : {&r->ownAccelerators, &r->callerAccelerators}) {
        if (*a)
            DestroyAcceleratorTable(*a);
        *a = nullptr;
    }
}

void Resize(HWND f, GridEditorRecord* r, WPARAM kind)
{
    SpecialChildPlacement(f, kind);
    if (kind != SIZE_MINIMIZED)
        GridEditorLayout(f, r);
}

void MinMaxInfo(HWND f, GridEditorRecord* r, MINMAXINFO* mm)
{
    if (!r->grid || !GridRecordOf(r->grid))
        return;
    SIZE need = GridEditorNeededFrame(f, r, false);
    // The desktop: the client area the frame lives in (its parent's for a
    // child frame, else the work area of the screen).
    RECT desk{};
    if (IsInsideChild(f) && GetParent(f))
        GetClientRect(GetParent(f), &desk);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &desk, 0);
    const int edge = 2 * GetSystemMetrics(SM_CXEDGE);
    LONG maxW = std::min({mm->ptMaxSize.x, need.cx, desk.right - desk.left + edge});
    LONG maxH = std::min({mm->ptMaxSize.y, need.cy, desk.bottom - desk.top + edge});
    mm->ptMaxSize = {maxW, maxH};
    mm->ptMaxTrackSize = {maxW, maxH};
    SIZE least = GridEditorNeededFrame(f, r, true);
    mm->ptMinTrackSize = {least.cx, least.cy};
}

// A size that comes from outside (a window manager that resizes or
// maximises the frame beyond its maximum) is taken as it is: the frame
// then lays its bars and grid out over the whole area the window has on
// the screen, where the default clamp would leave the window smaller than
// the area the window manager gives it, and that area unpainted. Only the
// minimum tracking size is kept; the maximum still limits the sizing and
// maximising that the system does itself (WM_GETMINMAXINFO).
void PositionChanging(HWND f, GridEditorRecord* r, WINDOWPOS* pos)
{
    if (!pos || (pos->flags & SWP_NOSIZE) || IsIconic(f) || !r->grid || !GridRecordOf(r->grid))
        return;
    // As the default handling: only a sizable frame or an overlapped one.
    const LONG style = GetWindowLongA(f, GWL_STYLE);
    if (!(style & WS_THICKFRAME) && (style & (WS_POPUP | WS_CHILD)))
        return;
    SIZE least = GridEditorNeededFrame(f, r, true);
    pos->cx = std::max(pos->cx, static_cast<int>(least.cx));
    pos->cy = std::max(pos->cy, static_cast<int>(least.cy));
}

void Destroy(HWND f, GridEditorRecord* r)
{
    int n = WindowTableIndex(f);
    if (r->mode == 3) {
        if (gWindowSystem.semiModelessCount > 0)
            --gWindowSystem.semiModelessCount;
        HWND back = r->returnWindow;
        if (!back || !IsWindow(back) || back == f)
            back = gWindowTable.frame[0];
        OtherWindowsEnable(back, 1);
        if (back) {
            SetActiveWindow(back);
            SetFocus(back);
        }
    }
    KeysRelease(r);
    if (n >= 0 && gWindowTable.menu[n])
        MenuFreeHelp(gWindowTable.menu[n], n);
    if (r->mode == 1)
        SpecialModalRowsRelease(f, n);
    // The grid and its controls go with the frame; the font after them.
    if (r->grid && IsWindow(r->grid))
        DestroyWindow(r->grid);
    r->grid = nullptr;
    FontRelease(r);
    WindowRecordDetach(f);
    if (r->mode != 1)
        WindowRecordFree(r);
}

void MouseActivate(HWND f, GridEditorRecord* r)
{
    HWND parent = GetParent(f);
    char cls[32] = {};
    if (parent)
        GetClassNameA(parent, cls, sizeof cls);
    if (IsInsideChild(f) && lstrcmpiA(cls, "QUILCLIENT") == 0) {
        SetWindowPos(f, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        SetActiveWindow(f);
        HWND focus = GetFocus();
        if (focus != f && !IsChild(f, focus) && r->grid)
            SetFocus(r->grid);
    }
    WindowFocusActivate(f);
}

} // namespace

// ---- Records ----------------------------------------------------------------------

GridEditorRecord* GridEditorRecordOf(HWND frame)
{
    return WindowRecordAs<GridEditorRecord>(frame, kRecordGridEditor);
}

HWND GridEditorFrameOf(int window)
{
    if (!WindowIsOpen(window))
        return nullptr;
    HWND f = gWindowTable.frame[window];
    return GridEditorRecordOf(f) ? f : nullptr;
}

void GridEditorTextCopy(std::span<char> to, std::string_view text)
{
    if (to.empty())
        return;
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    size_t n = std::min(text.size(), to.size() - 1);
    if (n)
        std::memcpy(to.data(), text.data(), n);
    to[n] = '\0';
}

// ---- Layout and size ----------------------------------------------------------------

void GridEditorLayout(HWND f, GridEditorRecord* r)
{
    int n = WindowTableIndex(f);
    RECT a;
    GetClientRect(f, &a);
    const UINT place = SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER;
    SpecialBarsPlace(n, r->statusBar, true, r->toolbar, r->toolbars, a);
    int w = std::max(0, static_cast<int>(a.right - a.left));
    int h = std::max(0, static_cast<int>(a.bottom - a.top));
    if (r->grid)
        SetWindowPos(r->grid, nullptr, a.left, a.top, w, h, place | SWP_NOCOPYBITS);
    if (n >= 0 && gWindowTable.client[n])
        SetWindowPos(gWindowTable.client[n], nullptr, a.left, a.top, w, h, place);
}

SIZE GridEditorNeededFrame(HWND frame, GridEditorRecord* r, bool oneCell)
{
    GridRecord* g = GridRecordOf(r->grid);
    if (!g || !frame)
        return SIZE{0, 0};
    long width = 1;
    int broadest = 0;
    for (int c = 0; g->column && c < g->columns; ++c) {
        width += g->column[c].width - 1;
        broadest = std::max(broadest, static_cast<int>(g->column[c].width));
    }
    long height = static_cast<long>(g->rowHeight - 1) * g->rows + 1;
    if (oneCell) {
        width = broadest;
        height = g->rowHeight;
    }
    width = std::min(width, 10000L);
    height = std::min(height, 10000L);
    width += g->rowHeaderWidth + WindowWidth(r->toolbars[kToolbarLeft]) + WindowWidth(r->toolbars[kToolbarRight]);
    height += g->columnHeaderHeight + WindowHeight(r->statusBar) + WindowHeight(r->toolbar) +
              WindowHeight(r->toolbars[kToolbarTop]) + WindowHeight(r->toolbars[kToolbarBottom]);
    RECT rc{0, 0, width, height};
    const LONG gridStyle = GetWindowLongA(r->grid, GWL_STYLE);
    AdjustWindowRectEx(&rc, static_cast<DWORD>(gridStyle & ~(WS_VSCROLL | WS_HSCROLL)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(r->grid, GWL_EXSTYLE)));
    const DWORD frameStyle = static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE));
    AdjustWindowRectEx(&rc, frameStyle & ~(WS_VSCROLL | WS_HSCROLL), GetMenu(frame) != nullptr && !IsInsideChild(frame),
                       static_cast<DWORD>(GetWindowLongA(frame, GWL_EXSTYLE)));
    SIZE s{rc.right - rc.left, rc.bottom - rc.top};
    if (gridStyle & 0x115)
        s.cy += GetSystemMetrics(SM_CYHSCROLL);
    if (gridStyle & 0x114)
        s.cx += GetSystemMetrics(SM_CXVSCROLL);
    return s;
}

void GridEditorFitFrame(GridEditorRecord* r)
{
    HWND frame = r && r->grid ? GetParent(r->grid) : nullptr;
    if (!frame)
        return;
    SIZE need = GridEditorNeededFrame(frame, r, false);
    RECT now;
    GetWindowRect(frame, &now);
    int w = std::min(static_cast<int>(now.right - now.left), static_cast<int>(need.cx));
    int h = std::min(static_cast<int>(now.bottom - now.top), static_cast<int>(need.cy));
    if (w != now.right - now.left || h != now.bottom - now.top)
        SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GridEditorTitle(HWND frame)
{
    GridEditorRecord* r = GridEditorRecordOf(frame);
    if (!r)
        return;
    bool caption = (GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    if (!caption) {
        StatusPart(r, 4, r->fileName.data());
        return;
    }
    std::string title(r->caption.data(), strnlen(r->caption.data(), kGridEditorTextLength - 1));
    if (r->fileName[0]) {
        title += " - [";
        title += r->fileName.data();
        title += "]";
    }
    SetWindowTextA(frame, title.c_str());
}

int GridEditorSavePrompt(HWND frame)
{
    GridEditorRecord* r = GridEditorRecordOf(frame);
    if (!r || !r->saveEnabled)
        return 1;
    GridRecord* g = GridRecordOf(r->grid);
    int result = 1;
    YYGridSavePrompt(r->window, g ? g->modified : 0, result, r->filterIndex, r->backup, r->csvHeader, r->fileName,
                     std::string_view(r->filter.data()));
    return result;
}

// ---- Creation ---------------------------------------------------------------------------

void GridEditorCreate(int& status, int fieldId, int mode, int menuId, int flags, int filterIndex, int splitWindow,
                      std::string_view fileName, std::string_view filter)
{
    status = 0;
    const int n = gWindowSystem.currentWindow;
    HWND frame = WindowIsOpen(n) ? gWindowTable.frame[n] : nullptr;
    if (n <= 0 || !frame) {
        status = 1;
        return;
    }
    if (WindowRecordOf(frame)) {
        status = 8;
        return;
    }
    HWND client = gWindowTable.client[n];
    if (client && GetWindow(client, GW_CHILD)) {
        status = 12;
        return;
    }
    bool isPane = false;
    HWND outerSplit = nullptr;
    // INSIDE: the editor can have no menu of its own.
    const bool inside = !SpecialMenuAllowed(frame, isPane, outerSplit);
    if (IsInsideChild(frame)) {
        if (mode == 2 && menuId != 0 && inside)
            status = 4;
        if (mode == 1 || mode == 3)
            SpecialModeless(mode, status);
    }
    HWND dialog = DialogCurrentWindow();
    HWND templ = dialog ? GetDlgItem(dialog, fieldId) : nullptr;
    char cls[16] = {};
    if (templ)
        GetClassNameA(templ, cls, sizeof cls);
    GridRecord* tr = GridRecordOf(templ);
    if (!tr || lstrcmpiA(cls, "KVBGRID") != 0) {
        status = 11;
        return;
    }
    SpecialUpdateStates updates;
    if (isPane)
        updates.Take();

    auto* r = static_cast<GridEditorRecord*>(WindowRecordAttach(frame, kRecordGridEditor, sizeof(GridEditorRecord)));
    if (!r) {
        status = 6;
        return;
    }
    const int readOnly = (GetWindowLongA(templ, GWL_STYLE) & kGridReadOnly) ? static_cast<int>(kGridReadOnly) : 0;
    r->window = n;
    r->flags = flags;
    r->returnWindow = gWindowSystem.lastActiveFrame;
    r->readOnly = readOnly;
    r->labelsMove = (flags & kGridEditorLabelsMove) ? 1 : 0;
    r->rowCountChange = (flags & kGridEditorRowCount) ? 1 : 0;
    r->csvHeader = (flags & kGridEditorCsvHeader) ? 1 : 0;
    r->newEnabled = !(flags & kGridEditorNoNewOpen) && !readOnly;
    r->openEnabled = !(flags & kGridEditorNoNewOpen);
    r->saveEnabled = !(flags & kGridEditorNoSave) && !readOnly;
    r->saveAsEnabled = !(flags & (kGridEditorNoSaveAs | kGridEditorNoSave));
    r->saveHtmlEnabled = !(flags & (kGridEditorNoHtml | kGridEditorNoSave));
    r->printEnabled = !(flags & kGridEditorNoPrint);
    r->findEnabled = !(flags & kGridEditorNoFind);
    r->rowCommands = !(flags & kGridEditorNoRowCommands) && !readOnly;
    r->protectionIgnored = flags & kGridEditorIgnoreProtection;
    r->backup = (flags & kGridEditorBackup) ? 1 : 0;
    r->currentCell = GridPackedCell(0, 0);
    GridEditorTextCopy(r->filter, filter.substr(0, std::min<size_t>(filter.size(), kGridEditorFilterLength - 1)));
    r->filterIndex = filterIndex == -1 ? 1 : filterIndex;

    OwnKeysBuild(r);
    if (client)
        ShowWindow(client, SW_HIDE);
    if (!inside && !(flags & kGridEditorNoMenu)) {
        MenusBuild(r, menuId, mode, status);
        SpecialMenuPlace(frame, r->menuBar, n, IsInsideChild(frame), splitWindow);
    }
    SpecialToolbarsTake(frame, n, mode, r->toolbars, true);
    if (menuId != 0) {
        r->callerAccelerators = LoadAcceleratorsA(gWindowSystem.instance, MAKEINTRESOURCEA(menuId));
        MenuHelpResource help = MenuHelpResourceLoad(menuId);
        if (help)
            gWindowTable.menuHelpResource[n] = help;
    }
    if (!(flags & kGridEditorNoToolbar))
        ToolbarBuild(r, frame);
    r->statusBar = gWindowTable.statusBar[n];
    if (r->statusBar)
        StatusBarSetup(r, frame);
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridEditorWindowProc));

    r->font = FontReproduce(templ);
    SendMessageA(frame, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
    GridEditorLayout(frame, r); // places the bars before the grid takes the rest
    BarsZOrder(n);
    GridEditorGridCopy(frame, r, templ);

    GetWindowTextA(frame, r->caption.data(), kGridEditorTextLength);
    r->fileName[0] = '\0';
    std::string_view name = TrimRight(fileName);
    if (!name.empty()) {
        // The whole name goes to the load: one that does not fit the
        // record's field is refused there (an open error), never cut.
        std::vector<char> chosen(name.begin(), name.end());
        chosen.push_back('\0');
        int result = 0;
        YYGridLoadCSV(n, 0, r->rowCountChange, result, r->filterIndex, r->csvHeader, chosen,
                      std::string_view(r->filter.data()));
        if (result == 1)
            GridEditorTextCopy(r->fileName, std::string_view(chosen.data(), chosen.size()));
    }
    GridEditorTitle(frame);

    GridRecord* g = GridRecordOf(r->grid);
    if (g && IsWindowEnabled(r->grid) && !g->editor)
        GridCellEditorCreate(g);
    if (r->grid)
        SetFocus(r->grid);
    r->mode = mode;
    SpecialEditorShow(frame, mode, nullptr);
    if (isPane)
        updates.Restore(outerSplit);
}

// ---- The modal loop ----------------------------------------------------------------------

void GridEditorMessageLoop()
{
    const int n = gWindowSystem.currentWindow;
    HWND frame = WindowIsOpen(n) ? gWindowTable.frame[n] : nullptr;
    GridEditorRecord* r = GridEditorRecordOf(frame);
    if (!r)
        return;
    if (GridRecord* g = GridRecordOf(r->grid))
        g->modified = g->modified2 = 0;
    if (r->mode != 1)
        return;
    r->done = 0;
    MSG msg;
    while (!r->done && IsWindow(frame)) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
            break;
        }
        if (msg.message == kSystemTimerMessage && LOWORD(msg.wParam) == 0xFFF6 && gWindowSystem.systemTimerHold)
            continue;
        int current = gWindowSystem.currentWindow;
        HWND target = WindowIsOpen(current) ? gWindowTable.frame[current] : frame;
        if (r->ownAccelerators && target && TranslateAcceleratorA(target, r->ownAccelerators, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    SpecialModalEnd(frame, r);
}

// ---- Window procedure ---------------------------------------------------------------------

LRESULT CALLBACK GridEditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GridEditorRecord* r = GridEditorRecordOf(window);
    if (!r)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == gGridClasses.cellChange && message != 0) {
        GridEditorCellChange(window, r, lParam);
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        return GridEditorCommandMessage(window, r, wParam, lParam);
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (GridEditorNotify(window, r, reinterpret_cast<NMHDR*>(lParam), result))
            return result;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_INITMENUPOPUP:
        GridEditorPopupInit(r, reinterpret_cast<HMENU>(wParam));
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MENUSELECT:
        if (!r->statusBar)
            return DefWindowProcA(window, message, wParam, lParam);
        if (GridEditorMenuSelect(window, r, wParam, lParam))
            return 0;
        FrameWindowProc(window, message, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_ENTERMENULOOP:
        SpecialMenuLoopStatus(r->statusBar, true);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_EXITMENULOOP:
        gWindowSystem.menuLoopWindow = nullptr;
        SpecialMenuLoopStatus(r->statusBar, false);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
        Resize(window, r, wParam);
        return 0;
    case WM_GETMINMAXINFO:
        MinMaxInfo(window, r, reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGING:
        PositionChanging(window, r, reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_SETFOCUS:
        SpecialFrameFocus(window, r->grid);
        return 0;
    case WM_SETFONT:
        gRememberedFont = reinterpret_cast<HFONT>(wParam);
        return FrameWindowProc(window, message, wParam, lParam);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(gRememberedFont);
    case WM_ACTIVATE:
    case WM_KILLFOCUS:
    case WM_NCHITTEST:
        return FrameWindowProc(window, message, wParam, lParam);
    case WM_MOUSEACTIVATE:
        MouseActivate(window, r);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PARENTNOTIFY: {
        const UINT what = LOWORD(wParam);
        if (what == WM_LBUTTONDOWN || what == WM_RBUTTONDOWN || what == WM_MBUTTONDOWN)
            MouseActivate(window, r);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_CLOSE:
        if (!GridEditorSavePrompt(window))
            return 0;
        if (r->mode == 1) {
            r->done = 1;
            LastClosedStore(r);
            DestroyWindow(window);
            return 0;
        }
        EventStore(kEventClose, 0, wParam, lParam, window);
        return 0;
    case WM_DESTROY:
        // The loop of a modal editor ends with its frame.
        r->done = 1;
        Destroy(window, r);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// ---- What the window system asks of a grid editor --------------------------------------
// Installed below for the grid editor's records (type 4), from this file,
// which attaches them.

namespace {

void GridEditorRecordRelease(HWND frame, WindowRecord* record)
{
    auto* r = reinterpret_cast<GridEditorRecord*>(record);
    int n = WindowTableIndex(frame);
    if (r->mode == 3) {
        if (gWindowSystem.semiModelessCount > 0)
            --gWindowSystem.semiModelessCount;
        OtherWindowsEnable(frame, 1);
    }
    for (HWND w : {r->grid, r->toolbar})
        if (w && IsWindow(w))
            DestroyWindow(w);
    r->grid = r->toolbar = nullptr;
    KeysRelease(r);
    FontRelease(r);
    SpecialMenuBarRelease(frame, n, r->menuBar);
    WindowRecordFree(r);
}

HMENU GridEditorRecordMenu(WindowRecord* record)
{
    return reinterpret_cast<GridEditorRecord*>(record)->menuBar;
}

HACCEL GridEditorRecordAccelerators(WindowRecord* record, int which)
{
    auto* r = reinterpret_cast<GridEditorRecord*>(record);
    return which == 1 ? r->ownAccelerators : which == 2 ? r->callerAccelerators : nullptr;
}

HWND* GridEditorRecordStatusBarField(WindowRecord* record)
{
    return &reinterpret_cast<GridEditorRecord*>(record)->statusBar;
}

HWND GridEditorRecordFocusControl(WindowRecord* record)
{
    return reinterpret_cast<GridEditorRecord*>(record)->grid;
}

// The split window holding the pane FRAME closes: a grid editor with Save enabled and
// a modified grid asks whether to save first.
int GridEditorCloseQuery(HWND frame, WindowRecord* record, int)
{
    auto* r = reinterpret_cast<GridEditorRecord*>(record);
    GridRecord* g = GridRecordOf(r->grid);
    if (!r->saveEnabled || !g || g->modified != 1)
        return 1;
    return GridEditorSavePrompt(frame) == 1 ? 1 : 0;
}

const bool gRecordAnswersInstalled = (SpecialRecordAnswersSet(kRecordGridEditor,
                                                              {.menu = GridEditorRecordMenu,
                                                               .accelerators = GridEditorRecordAccelerators,
                                                               .statusBarField = GridEditorRecordStatusBarField,
                                                               .focusControl = GridEditorRecordFocusControl,
                                                               .closeQuery = GridEditorCloseQuery,
                                                               .release = GridEditorRecordRelease}),
                                      true);

} // namespace

// ---- What the grid engine asks of the editor -------------------------------------------

HWND GridEditorCurrentGrid()
{
    const int n = gWindowSystem.currentWindow;
    GridEditorRecord* r = WindowIsOpen(n) ? GridEditorRecordOf(gWindowTable.frame[n]) : nullptr;
    return r ? r->grid : nullptr;
}

void GridEditorFitFrame()
{
    const int n = gWindowSystem.currentWindow;
    if (GridEditorRecord* r = WindowIsOpen(n) ? GridEditorRecordOf(gWindowTable.frame[n]) : nullptr)
        GridEditorFitFrame(r);
}

void GridEditorRecordCell(int packedCell)
{
    const int n = gWindowSystem.currentWindow;
    if (GridEditorRecord* r = WindowIsOpen(n) ? GridEditorRecordOf(gWindowTable.frame[n]) : nullptr)
        r->currentCell = packedCell;
}

void GridEditorLiveText(HWND frame, int code, std::span<char> buffer)
{
    GridEditorRecord* r = GridEditorRecordOf(frame);
    const char* text = "";
    if (r)
        text = code == 1 ? r->findText.data() : code == 2 ? r->secondText.data() : code == 3 ? r->fileName.data() : "";
    GridCopyOut(buffer, text);
}

void GridEditorFileName(HWND grid, std::span<char> buffer)
{
    GridEditorRecord* r = grid ? GridEditorRecordOf(GetParent(grid)) : nullptr;
    GridCopyOut(buffer, r ? r->fileName.data() : "");
}

// ---- Public opener ----------------------------------------------------------------------

void WGridEditor(int fieldId, int mode, int flags, int* status, const int* menuId, std::string_view fileName,
                 std::string_view filter, const int* filterIndex, const int* splitWindow)
{
    int s = 0;
    if (mode < 1 || mode > 3) {
        YYErrorReport(kErrorGridMode, "WGridEditor");
        if (status)
            *status = 5;
        return;
    }
    GridEditorCreate(s, fieldId, mode, menuId ? *menuId : 0, flags, filterIndex ? *filterIndex : -1,
                     splitWindow ? *splitWindow : -1, fileName, filter);
    if (status)
        *status = s;
    switch (s) {
    case 0: break;
    case 1: YYErrorReport(kErrorEditorNotChild, "WGridEditor"); break;
    case 2: YYErrorReport(kErrorUserMenuModal, "WGridEditor"); break;
    case 3: YYErrorReport(kErrorMenuLoad, "WGridEditor"); break;
    case 4: YYErrorReport(kErrorGridMenuInsideParent, "WGridEditor"); break;
    case 5: YYErrorReport(kErrorGridMode, "WGridEditor"); break;
    case 8: YYErrorReport(kErrorWindowAlreadyConverted, "WGridEditor"); break;
    case 11: YYErrorReport(kErrorFieldIdentifier, "WGridEditor"); break;
    case 12: YYErrorReport(kErrorInsideParentWindowsExist, "WGridEditor"); break;
    default: YYErrorReport(kErrorGridStart, "WGridEditor"); break;
    }
    if (s >= 0 && s <= 5 && s != 1)
        GridEditorMessageLoop();
}

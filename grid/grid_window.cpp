// The grid window: the two window classes and the registered cell-change
// message, the "KVBGRID" window procedure (creation, font and row height,
// dimensions, destruction, enabling), the set-up of a grid field from its
// "[Grids]" record and hidden template dialog (row headers and labels, the
// columns), the copy of a grid's state into and out of a dialog's modal copy,
// the subclass procedure of the header controls, and the grid's services to
// the layers below it (its classes registered when the main window opens, the
// dialog manager's grid fields).
#include "grid/grid_print.h"
#include "grid/grid_record.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <commctrl.h>

#include "core/layer_steps.h"
#include "core/os_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_extras.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/field_subclass.h"
#include "dialogs/grid_services.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

constexpr const char kGridClassName[] = "KVBGRID";
constexpr const char kClientClassName[] = "KVBGRIDCLIENT";
constexpr int kCheckCaptionBlanks = 29;

// The text of a "[Grids]" record at the row-header width, handed to
// kGridBuildRowHeaders; CONSUMED := the characters from the width to the last line
// end read, less 1.
struct RowHeaderText {
    std::string_view text;
    int consumed = 0;
};

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

HMENU ControlId(int id)
{
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

// Height of a drop-down list in FONT, less 1.
int ProbeRowHeight(HWND grid, HFONT font)
{
    HWND probe = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, grid,
                                 nullptr, Module(), nullptr);
    int height = 0;
    if (probe) {
        if (font)
            SendMessageA(probe, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        RECT r;
        GetWindowRect(probe, &r);
        height = r.bottom - r.top;
        DestroyWindow(probe);
    }
    if (height < 4) { // no probe: the font's height with a combo box's margins
        TEXTMETRICA tm{};
        GridFontMetrics(grid, font, tm);
        height = std::max(static_cast<int>(tm.tmHeight) + 8, 4);
    }
    return height - 1;
}

int ClientHeight(HWND w)
{
    RECT r{};
    GetClientRect(w, &r);
    return r.bottom;
}

// Window height cut to whole rows (creation step 5).
void FitHeight(HWND grid, GridRecord* r)
{
    RECT w;
    GetWindowRect(grid, &w);
    int height = (r->rowHeight - 1) * r->page + r->frameHeight + 1;
    if (GetWindowLongA(grid, GWL_STYLE) & kGridColumnHeader)
        height += 2;
    SetWindowPos(grid, nullptr, 0, 0, w.right - w.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int PageFor(int clientHeight, int rowHeight)
{
    return std::max(1, (clientHeight - 1) / std::max(1, rowHeight - 1));
}

void HeaderInsert(HWND header, int item, int width, const char* text, int format)
{
    HDITEMA it{};
    it.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    it.cxy = width;
    it.pszText = const_cast<char*>(text);
    it.cchTextMax = static_cast<int>(std::strlen(text));
    it.fmt = format;
    SendMessageA(header, HDM_INSERTITEMA, item, reinterpret_cast<LPARAM>(&it));
}

void Subclass(HWND header)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridHeaderProc)));
    if (old && old != GridHeaderProc)
        gGridClasses.headerProc = old;
}

HWND HeaderCreate(HWND parent, int x, int y, int width, int height, int id, HFONT font)
{
    HWND h = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, x, y, width, height, parent,
                             ControlId(id), Module(), nullptr);
    if (!h)
        return nullptr;
    Subclass(h);
    if (font)
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
}

// A label line: its first 50 characters without CRs, trailing blanks removed.
std::string LabelOf(std::string_view line)
{
    std::string label;
    for (char ch : line) {
        if (ch == '\r')
            continue;
        if (label.size() >= static_cast<size_t>(kGridLabelLength))
            break;
        label.push_back(ch);
    }
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

// Walks a "[Grids]" record from the row-header width: the rest of the width
// line, then (unless NOLABELS) one line per row while text remains. Calls
// EACH (row, label) for every row; returns the index of the last line end
// read (or the last character when the text ends without one).
template <class Each>
int WalkLabelLines(std::string_view text, int rows, bool noLabels, Each each)
{
    size_t pos = text.find('\n');
    size_t last = pos == std::string_view::npos ? (text.empty() ? 0 : text.size() - 1) : pos;
    pos = pos == std::string_view::npos ? text.size() : pos + 1;
    for (int row = 0; row < rows; ++row) {
        std::string label;
        if (pos < text.size() && !noLabels) {
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) {
                label = LabelOf(text.substr(pos));
                last = text.size() - 1;
                pos = text.size();
            } else {
                label = LabelOf(text.substr(pos, end - pos));
                last = end;
                pos = end + 1;
            }
        }
        each(row, label);
    }
    return static_cast<int>(last);
}

// ---- Creation, font, destruction ----------------------------------------------

LRESULT Create(HWND grid)
{
    GridRecord* r = GridRecordNew();
    if (!r)
        return -1;
    SetWindowLongPtrA(grid, 0, reinterpret_cast<LONG_PTR>(r));
    r->rowHeight = ProbeRowHeight(grid, nullptr);
    RECT w;
    GetWindowRect(grid, &w);
    int client = ClientHeight(grid);
    r->page = PageFor(client, r->rowHeight);
    r->frameHeight = (w.bottom - w.top) - client;
    r->creationClientHeight = client;
    r->selFirstRow = r->selLastRow = r->selFirstColumn = r->selLastColumn = -1;
    r->anchorColumn = r->anchorRow = -1;
    r->scrollScale = 1;
    if (HWND parent = GetParent(grid))
        r->font = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0));
    LONG style = GetWindowLongA(grid, GWL_STYLE);
    if (!(style & kGridKeepHeight))
        FitHeight(grid, r);
    if (style & kGridColumnHeader) {
        RECT c;
        GetClientRect(grid, &c);
        r->columnHeader = HeaderCreate(grid, 0, 0, c.right, r->rowHeight, 0, r->font);
        if (!r->columnHeader) {
            SetWindowLongPtrA(grid, 0, 0);
            GridRecordDelete(r);
            return -1;
        }
        RECT h;
        GetWindowRect(r->columnHeader, &h);
        r->columnHeaderHeight = h.bottom - h.top;
        r->page = std::max(1, r->page - 1);
    }
    return 0;
}

void FontSet(HWND grid, GridRecord* r, HFONT font)
{
    r->font = font;
    r->rowHeight = ProbeRowHeight(grid, font);
    r->page = PageFor(r->creationClientHeight, r->rowHeight);
    LONG style = GetWindowLongA(grid, GWL_STYLE);
    if (!(style & kGridKeepHeight) && !r->sizeLock)
        FitHeight(grid, r);
    if (r->columnHeader) {
        SendMessageA(r->columnHeader, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        RECT h;
        GetWindowRect(r->columnHeader, &h);
        SetWindowPos(r->columnHeader, nullptr, 0, 0, h.right - h.left, r->rowHeight + 1,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        r->columnHeaderHeight = r->rowHeight + 1;
        r->page = std::max(1, r->page - 1);
    }
}

void Destroy(HWND grid, GridRecord* r)
{
    GridCellEditorDestroy(r, 1);
    bool copy = DialogInModalClone(grid) != 0;
    if (!copy && r->column) {
        for (int c = 0; c < r->columns; ++c) {
            GridColumnRecord& col = r->column[c];
            if (col.control)
                FieldRecordRelease(col.control, false); // its format copy with it
            GridColumnFree(col, r->rowsAllocated);
        }
        std::free(r->column);
    }
    r->column = nullptr;
    std::free(r->rowHeaders);
    r->rowHeaders = nullptr;
    if (!copy)
        std::free(r->labels);
    r->labels = nullptr;
    GridPaintCacheFree(r);
    SetWindowLongPtrA(grid, 0, 0);
    GridRecordDelete(r);
}

void Enable(HWND grid, GridRecord* r, bool enable)
{
    if (enable)
        GridCellEditorCreate(r);
    else
        GridCellEditorDestroy(r, 1);
    if (r->column)
        for (int c = 0; c < r->columns; ++c)
            if (r->column[c].control)
                EnableWindow(r->column[c].control, enable);
    if (r->cellArea)
        InvalidateRect(r->cellArea, nullptr, TRUE);
}

// ---- Row headers and labels -------------------------------------------------

LRESULT RowHeadersBuild(HWND grid, GridRecord* r, int widthUnits, RowHeaderText* in)
{
    bool failed = false;
    const int windows = std::max(r->rowHeaderWindows, 0);
    std::free(r->rowHeaders);
    std::free(r->labels);
    r->rowHeaders = static_cast<HWND*>(std::calloc(static_cast<size_t>(std::max(windows, 1)), sizeof(HWND)));
    r->labels = static_cast<char*>(std::calloc(static_cast<size_t>(std::max(r->rowsAllocated, 1)), kGridLabelBytes));
    if (!r->rowHeaders || !r->labels)
        failed = true;
    RECT du{0, 0, widthUnits, 0};
    GridDialogUnits(grid, du);
    r->rowHeaderWidth = std::max(0L, du.right);
    if (!failed) {
        for (int i = 0; i < windows; ++i) {
            int y = i == 0 ? r->columnHeaderHeight : r->columnHeaderHeight + i * (r->rowHeight - 1) + 1;
            int h = i == 0 ? r->rowHeight : r->rowHeight - 1;
            r->rowHeaders[i] = HeaderCreate(grid, 0, y, r->rowHeaderWidth, h, i, r->font);
            if (!r->rowHeaders[i])
                failed = true;
        }
    }
    const bool noLabels = (GetWindowLongA(grid, GWL_STYLE) & kGridNoLabelLines) != 0;
    int last = WalkLabelLines(in ? in->text : std::string_view{}, r->rows, noLabels,
                              [&](int row, const std::string& label) {
                                  if (!r->labels || row >= r->rowsAllocated)
                                      return;
                                  std::memcpy(r->labels + row * kGridLabelBytes, label.c_str(), label.size() + 1);
                                  if (row < windows && r->rowHeaders && r->rowHeaders[row])
                                      HeaderInsert(r->rowHeaders[row], 0, r->rowHeaderWidth + 1, label.c_str(),
                                                   HDF_STRING | HDF_LEFT);
                              });
    if (in)
        in->consumed = last;
    return failed ? -1 : last;
}

// ---- Building the columns ---------------------------------------------------

int CellTypeOf(HWND control)
{
    ATOM a = ClassAtomOf(control);
    if (a && a == gControlClasses.edit)
        return kCellText;
    int numeric = NumericClassOf(control);
    if (numeric >= 0)
        return kCellInteger + numeric / 2;
    if (a && a == gControlClasses.button && (GetWindowLongA(control, GWL_STYLE) & 15) == BS_AUTOCHECKBOX)
        return kCellCheckBox;
    if (a && a == gControlClasses.comboBox)
        return kCellMenu;
    return -1; // no column type: the set-up is refused
}

bool IsUpDown(HWND w)
{
    if (gControlClasses.upDown)
        return ClassAtomOf(w) == gControlClasses.upDown;
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    return lstrcmpiA(cls, UPDOWN_CLASSA) == 0;
}

LRESULT BuildColumns(HWND grid, GridRecord* r, HWND templ, const int* positions)
{
    if (!templ || r->columns <= 0)
        return 0;
    if (!r->column) {
        r->column = static_cast<GridColumnRecord*>(std::calloc(static_cast<size_t>(r->columns), sizeof(GridColumnRecord)));
        if (!r->column)
            return 0;
    }
    const LONG gridStyle = GetWindowLongA(grid, GWL_STYLE);
    if (r->columnHeader)
        HeaderInsert(r->columnHeader, 0, r->rowHeaderWidth + 1, "", HDF_STRING);
    if (!r->cellArea) {
        RECT c;
        GetClientRect(grid, &c);
        r->cellArea = CreateWindowExA(0, kClientClassName, "", WS_CHILD | WS_VISIBLE, r->rowHeaderWidth,
                                      r->columnHeaderHeight, std::max(0L, c.right - r->rowHeaderWidth),
                                      std::max(0L, c.bottom - r->columnHeaderHeight), grid, ControlId(-1), Module(),
                                      nullptr);
        if (!r->cellArea)
            return 0;
    }
    const int areaWidth = GridCellAreaWidth(r);

    std::vector<HWND> templates;
    for (HWND w = GetWindow(templ, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (!IsUpDown(w))
            templates.push_back(w);

    for (int col = 0; col < r->columns; ++col) {
        size_t index = positions ? static_cast<size_t>(positions[col] - 1) : static_cast<size_t>(col);
        if (positions && positions[col] < 1)
            return 0;
        if (index >= templates.size())
            return 0;
        HWND t = templates[index];
        GridColumnRecord& c = r->column[col];
        int type = CellTypeOf(t);
        if (type < 0)
            return 0;
        FieldRecord* tf = FieldRecordOf(t);
        RECT tr = GridControlExtent(t);
        c.width = std::min(static_cast<int>(tr.right - tr.left), areaWidth);
        c.type = type;
        LONG templateStyle = GetWindowLongA(t, GWL_STYLE);
        LONG style = templateStyle | WS_BORDER | (gridStyle & WS_DISABLED);

        int limit = 0;
        if (type == kCellText)
            limit = (tf && tf->textLimit > 0) ? tf->textLimit : kGridDefaultTextLimit;
        else if (type == kCellInteger)
            limit = kGridIntegerTextLimit;
        if (tf)
            tf->textLimit = limit;
        c.maxChars = limit;

        std::string caption;
        int height = r->rowHeight;
        if (type == kCellCheckBox) {
            caption.assign(kCheckCaptionBlanks, ' ');
        } else if (type == kCellMenu) {
            style = (style & ~0x3L) | WS_VSCROLL | CBS_DROPDOWNLIST;
            RECT dropped{};
            SendMessageA(t, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            height = std::max(static_cast<int>(dropped.bottom - tr.top), r->rowHeight);
        }
        if (!GridColumnAllocate(c, r->rowsAllocated))
            return 0;
        if (type <= kCellDouble && (templateStyle & ES_READONLY))
            std::memset(c.states, kCellProtected, static_cast<size_t>(std::max(r->rowsAllocated, 1)));
        if (gridStyle & kGridReadOnly) {
            if (type <= kCellDouble)
                style |= ES_READONLY;
            else if (type == kCellCheckBox)
                style = (style & ~15L) | BS_CHECKBOX;
        }
        if (type <= kCellDouble)
            style |= ES_MULTILINE;
        style = (style & ~(WS_VISIBLE | WS_DISABLED)) | (gridStyle & WS_DISABLED);

        char cls[64] = {};
        GetClassNameA(t, cls, sizeof cls);
        LONG ex = GetWindowLongA(t, GWL_EXSTYLE) | WS_EX_NOPARENTNOTIFY;
        c.control = CreateWindowExA(ex, cls, caption.c_str(), style, 0, 0, c.width, height, r->cellArea,
                                    ControlId(-1), Module(), nullptr);
        if (!c.control)
            return 0;
        SendMessageA(c.control, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
        if (type == kCellMenu)
            GridComboDropMatch(c.control, t, height);
        if (type <= kCellDouble)
            SendMessageA(c.control, EM_LIMITTEXT, static_cast<WPARAM>(type == kCellInteger ? kGridIntegerTextLimit : limit), 0);
        FieldRecord* cf = FieldRecordOf(c.control);
        if (!cf) {
            cf = FieldRecordCreate(c.control);
            if (cf) {
                cf->lowerLimit = 0.0;
                cf->upperLimit = 0.0;
            }
        }
        if (cf && tf) {
            cf->lowerLimit = tf->lowerLimit;
            cf->upperLimit = tf->upperLimit;
            if (cf->upDownBuddy && tf->upDownBuddy) {
                int lo = 0, hi = 0;
                SendMessageA(tf->upDownBuddy, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
                SendMessageA(cf->upDownBuddy, UDM_SETRANGE32, static_cast<WPARAM>(lo), hi);
            }
            cf->smallStep = tf->smallStep;
            cf->largeStep = tf->largeStep;
            cf->stepOrigin = tf->stepOrigin;
            cf->textLimit = tf->textLimit;
            cf->value = tf->value;
            std::free(cf->format);
            cf->format = nullptr;
            if (tf->format) {
                size_t n = std::strlen(tf->format);
                cf->format = static_cast<char*>(std::malloc(n + 1));
                if (cf->format)
                    std::memcpy(cf->format, tf->format, n + 1);
            }
        }
        if (cf) {
            cf->foreColour = -1;
            cf->backColour = -1;
            cf->hasValue = 0;
        }
        if (type == kCellMenu) {
            SendMessageA(c.control, CB_RESETCONTENT, 0, 0);
            int count = static_cast<int>(SendMessageA(t, CB_GETCOUNT, 0, 0));
            for (int i = 1; i < count; ++i) {
                LRESULT n = SendMessageA(t, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
                if (n == CB_ERR)
                    continue;
                std::string item(static_cast<size_t>(n) + 1, '\0');
                SendMessageA(t, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
                SendMessageA(c.control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
            }
            LRESULT sel = SendMessageA(t, CB_GETCURSEL, 0, 0);
            if (sel != CB_ERR)
                SendMessageA(c.control, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
        }
        if (r->columnHeader) {
            std::string title = GridWindowText(t, 259);
            HeaderInsert(r->columnHeader, col + 1, c.width - 1, title.c_str(), HDF_STRING | HDF_CENTER);
        }
    }
    if (!(gridStyle & WS_DISABLED))
        GridCellEditorCreate(r);
    return 1;
}

// ---- Modal copy ------------------------------------------------------------------

void ScrollBarsCopy(HWND target, HWND source)
{
    LONG style = GetWindowLongA(target, GWL_STYLE);
    for (int bar : {SB_VERT, SB_HORZ}) {
        if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
            continue;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (GetScrollInfo(source, bar, &si))
            SetScrollInfo(target, bar, &si, TRUE);
    }
}

void RecreateChildren(HWND target, HWND source, GridRecord* t, GridRecord* s)
{
    RECT client;
    GetClientRect(target, &client);
    for (HWND child = GetWindow(source, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == s->columnHeader)
            continue;
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        LONG ex = GetWindowLongA(child, GWL_EXSTYLE);
        int id = GetDlgCtrlID(child);
        RECT rc;
        GetWindowRect(child, &rc);
        MapWindowPoints(nullptr, source, reinterpret_cast<POINT*>(&rc), 2);
        if (child == s->cellArea) {
            t->cellArea = CreateWindowExA(ex, cls, "", style, t->rowHeaderWidth, t->columnHeaderHeight,
                                          std::max(0L, client.right - t->rowHeaderWidth),
                                          std::max(0L, client.bottom - t->columnHeaderHeight), target, ControlId(id),
                                          Module(), nullptr);
            if (t->cellArea && s->font)
                SendMessageA(t->cellArea, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), FALSE);
            continue;
        }
        int index = -1;
        for (int i = 0; s->rowHeaders && i < s->rowHeaderWindows; ++i)
            if (s->rowHeaders[i] == child)
                index = i;
        if (index < 0 || !t->rowHeaders)
            continue;
        HWND h = CreateWindowExA(ex, cls, "", style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, target,
                                 ControlId(id), Module(), nullptr);
        if (!h)
            continue;
        Subclass(h);
        if (s->font)
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), FALSE);
        GridHeaderItemCopy(child, h, 0, true);
        t->rowHeaders[index] = h;
    }
}

void EditorLiveStateCopy(GridRecord* t, GridRecord* s)
{
    HWND from = s->editor, to = t->editor;
    if (!from || !to)
        return;
    std::string text = GridWindowText(from, 32767);
    SendMessageA(to, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    int type = t->column ? t->column[t->currentColumn].type : -1;
    if (type == kCellCheckBox)
        SendMessageA(to, BM_SETCHECK, SendMessageA(from, BM_GETCHECK, 0, 0), 0);
    if (type == kCellMenu) {
        LRESULT sel = SendMessageA(from, CB_GETCURSEL, 0, 0);
        if (sel != CB_ERR)
            SendMessageA(to, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
    }
    if (FieldIsEditLike(to)) {
        FieldRecord* ff = FieldRecordOf(from);
        FieldRecord* tf = FieldRecordOf(to);
        if (ff && tf) {
            tf->value = ff->value;
            tf->hasValue = ff->hasValue;
        }
        SendMessageA(to, EM_SETMODIFY, SendMessageA(from, EM_GETMODIFY, 0, 0), 0);
    }
}

} // namespace

// ---- Public to the library ------------------------------------------------------

RECT GridControlExtent(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    FieldRecord* f = FieldRecordOf(control);
    if (f && f->upDownBuddy && IsWindow(f->upDownBuddy)) {
        RECT ur;
        GetWindowRect(f->upDownBuddy, &ur);
        r.right = std::max(r.right, ur.right);
    }
    return r;
}

// The platforms differ in what a combo box's creation height and its
// CB_GETDROPPEDCONTROLRECT mean (the closed box and the list, or the list
// alone), so the copy is measured against the model and corrected once: a
// height changed by D moves the list's bottom by D on both.
void GridComboDropMatch(HWND copy, HWND model, int created)
{
    RECT want{}, have{};
    SendMessageA(model, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&want));
    SendMessageA(copy, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&have));
    const int change = static_cast<int>((want.bottom - want.top) - (have.bottom - have.top));
    if (change == 0)
        return;
    RECT now{};
    GetWindowRect(copy, &now);
    SetWindowPos(copy, nullptr, 0, 0, now.right - now.left, std::max(created + change, 1),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GridHeaderItemCopy(HWND from, HWND to, int item, bool insert, std::optional<int> width)
{
    char text[260] = {};
    HDITEMA it{};
    it.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    it.pszText = text;
    it.cchTextMax = sizeof text;
    if (!SendMessageA(from, HDM_GETITEMA, item, reinterpret_cast<LPARAM>(&it)))
        return;
    it.pszText = text;
    if (width)
        it.cxy = *width;
    SendMessageA(to, insert ? HDM_INSERTITEMA : HDM_SETITEMA, item, reinterpret_cast<LPARAM>(&it));
}

void GridRegisterClasses()
{
    WNDCLASSEXA probe{};
    probe.cbSize = sizeof probe;
    if (GetClassInfoExA(Module(), kGridClassName, &probe)) {
        if (!gGridClasses.grid) { // registered before this record was kept
            gGridClasses.grid = static_cast<ATOM>(GetClassInfoExA(Module(), kGridClassName, &probe));
            gGridClasses.client = static_cast<ATOM>(GetClassInfoExA(Module(), kClientClassName, &probe));
            gGridClasses.cellChange = RegisterWindowMessageA("GM_CELLCHANGE");
        }
        return;
    }
    gGridPrintState.defaultsFilled = 0; // the next print reads the default printer again
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_PARENTDC;
    wc.lpfnWndProc = GridWindowProc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = Module();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kGridClassName;
    gGridClasses.grid = RegisterClassExA(&wc);
    wc.lpfnWndProc = GridClientProc;
    wc.cbWndExtra = 0;
    wc.lpszClassName = kClientClassName;
    gGridClasses.client = RegisterClassExA(&wc);
    gGridClasses.cellChange = RegisterWindowMessageA("GM_CELLCHANGE");
    gControlClasses.grid = gGridClasses.grid;
}

void GridReportCellChange(HWND grid, GridRecord* r)
{
    if (!grid || !r)
        return;
    SendMessageA(GetParent(grid), gGridClasses.cellChange, static_cast<WPARAM>(GetDlgCtrlID(grid)),
                 GridPackedCell(r->currentRow, r->currentColumn));
}

void GridBeep()
{
    ++gGridSwitches.beeps;
    BeepIfEnabled();
}

LRESULT CALLBACK GridWindowProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return Create(grid);
    GridRecord* r = GridRecordOf(grid);
    if (!r)
        return DefWindowProcA(grid, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        Destroy(grid, r);
        return 0;
    case WM_SETFONT:
        FontSet(grid, r, reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(r->font);
    case WM_ENABLE:
        Enable(grid, r, wParam != 0);
        return 0;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && r->editor && r->column) {
            auto* ss = reinterpret_cast<STYLESTRUCT*>(lParam);
            if ((ss->styleOld ^ ss->styleNew) & kGridReadOnly) {
                GridColumnRecord& c = r->column[r->currentColumn];
                // A protected cell stays read-only when the grid becomes editable.
                int readOnly = (ss->styleNew & kGridReadOnly) || (c.states && (c.states[r->currentRow] & kCellProtected));
                GridEditorReadOnly(r->editor, c.type, readOnly ? 1 : 0, 1);
            }
        }
        return 0;
    case WM_SIZE:
        if (r->setUp)
            GridSize(grid, r);
        return 0;
    case WM_SETFOCUS:
        if (r->setUp)
            GridFocus(grid, r, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_HSCROLL:
        if (r->setUp)
            GridHScroll(grid, r, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_VSCROLL:
        if (lParam != 0)
            break;
        if (r->setUp)
            GridVScroll(grid, r, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        if (r->setUp)
            GridMouseWheel(grid, r, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_NOTIFY:
        return GridHeaderNotify(grid, r, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (lParam == 0 && GridMenuCommand(grid, r, LOWORD(wParam)))
            return 0;
        break;
    case kGridBuildColumns:
        return BuildColumns(grid, r, reinterpret_cast<HWND>(wParam), reinterpret_cast<const int*>(lParam));
    case kGridBuildRowHeaders:
        return RowHeadersBuild(grid, r, static_cast<int>(wParam), reinterpret_cast<RowHeaderText*>(lParam));
    case kGridRanges:
        return GridRanges(grid, r);
    case kGridDimension:
        r->rows = static_cast<int>(wParam);
        r->columns = static_cast<int>(lParam);
        r->rowHeaderWindows = std::min(r->rows, r->page + 1);
        r->rowsShown = r->rowHeaderWindows;
        r->rowsAllocated = r->rows;
        return 0;
    case kGridSetUpLock:
        r->setUp = 1;
        r->sizeLock = 1;
        return 0;
    case kGridHeaderWidths:
        GridHeaderWidths(r);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(grid, message, wParam, lParam);
}

INT_PTR CALLBACK GridTemplateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (NumericClassOf(c) < 0 && !FieldRecordOf(c))
                FieldRecordCreate(c); // no range, default colours, no format, no limit
        DialogExtrasParse(dialog, static_cast<int>(lParam), -1);
    } else if (message == WM_DESTROY) {
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            FieldRecordRelease(c, false);
    }
    return 0;
}

int GridFieldSetup(HWND grid, std::string_view text, int& used)
{
    const size_t lineEnd = std::min(text.find('\n'), text.size());
    size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < lineEnd && text[pos] == ' ')
            ++pos;
    };
    auto number = [&] {
        skipBlanks();
        size_t start = pos;
        bool negative = pos < lineEnd && text[pos] == '-';
        if (negative)
            ++pos;
        long long v = 0;
        while (pos < lineEnd && text[pos] >= '0' && text[pos] <= '9')
            v = std::min(2147483647LL, v * 10 + (text[pos++] - '0'));
        if (pos == start)
            v = 0;
        while (pos < lineEnd && text[pos] != ' ')
            ++pos;
        return static_cast<int>(negative ? -v : v);
    };
    int columns = number();
    int rows = number();
    skipBlanks();
    const size_t templateStart = pos;
    int templateId = number();
    used = static_cast<int>(templateStart);

    GridRecord* r = GridRecordOf(grid);
    if (!r)
        return used;
    const LONG style = GetWindowLongA(grid, GWL_STYLE);
    const bool rowHeaders = (style & kGridRowHeaders) != 0;

    // With row headers the record goes on: the width line, then the labels.
    size_t widthPos = std::string_view::npos;
    int widthUnits = 0;
    if (rowHeaders && lineEnd < text.size()) {
        widthPos = lineEnd + 1;
        while (widthPos < text.size() && text[widthPos] == ' ')
            ++widthPos;
        std::string_view w = text.substr(widthPos);
        bool negative = !w.empty() && w[0] == '-';
        long long v = 0;
        for (size_t i = negative ? 1 : 0; i < w.size() && w[i] >= '0' && w[i] <= '9'; ++i)
            v = std::min(2147483647LL, v * 10 + (w[i] - '0'));
        widthUnits = static_cast<int>(negative ? -v : v);
        // The lines are consumed whatever becomes of the grid.
        int last = WalkLabelLines(text.substr(widthPos), std::max(0, std::min(rows, kGridMaxRows)),
                                  (style & kGridNoLabelLines) != 0, [](int, const std::string&) {});
        used = static_cast<int>(widthPos) + last;
    }
    if (r->setUp)
        return used; // a grid is set up once; a second record changes nothing

    // A grid with more rows than a packed cell can name would report wrong cells.
    bool failed = columns <= 0 || rows < 0 || rows > kGridMaxRows || templateId <= 0 || templateId > 0xFFFF;
    HWND templ = nullptr;
    if (!failed) {
        SendMessageA(grid, kGridDimension, static_cast<WPARAM>(rows), columns);
        r->columnsAllocated = columns;
        templ = CreateDialogParamA(Module(), MAKEINTRESOURCEA(templateId), gWindowTable.frame[0],
                                   GridTemplateDialogProc, templateId);
        if (!templ)
            failed = true;
    }
    if (!failed && rowHeaders) {
        if (widthPos == std::string_view::npos) {
            failed = true;
        } else {
            RowHeaderText in{text.substr(widthPos), 0};
            if (SendMessageA(grid, kGridBuildRowHeaders, static_cast<WPARAM>(widthUnits), reinterpret_cast<LPARAM>(&in)) == -1)
                failed = true;
        }
    }
    if (!failed) {
        if (SendMessageA(grid, kGridBuildColumns, reinterpret_cast<WPARAM>(templ), 0) != 1) {
            failed = true;
        } else {
            SendMessageA(grid, kGridRanges, 0, 0);
            r->setUp = 1;
            r->templateId = templateId;
        }
    }
    if (templ)
        DestroyWindow(templ);
    if (failed)
        DestroyWindow(grid);
    return used;
}

void GridCopyState(HWND target, HWND source)
{
    GridRecord* t = GridRecordOf(target);
    GridRecord* s = GridRecordOf(source);
    if (!t || !s || t == s)
        return;
    GridCellEditorDestroy(t, 0);
    t->rows = s->rows;
    t->currentColumn = s->currentColumn;
    t->currentRow = s->currentRow;
    t->firstVisibleColumn = s->firstVisibleColumn;
    t->lastVisibleColumn = s->lastVisibleColumn;
    t->firstVisibleRow = s->firstVisibleRow;
    const LONG sourceStyle = GetWindowLongA(source, GWL_STYLE);
    if (DialogInModalClone(source)) {
        // Back from the modal copy: what the user changed in the headers.
        if (t->rowHeaders && s->rowHeaders)
            for (int i = 0; i < std::min({s->rowsShown, s->rowHeaderWindows, t->rowHeaderWindows}); ++i)
                if (t->rowHeaders[i] && s->rowHeaders[i])
                    GridHeaderItemCopy(s->rowHeaders[i], t->rowHeaders[i], 0, false);
        if (t->columnHeader && s->columnHeader && (sourceStyle & kGridColumnDrag)) {
            for (int item = 0; item <= t->columns; ++item) {
                HDITEMA it{};
                it.mask = HDI_WIDTH;
                if (SendMessageA(s->columnHeader, HDM_GETITEMA, item, reinterpret_cast<LPARAM>(&it)))
                    SendMessageA(t->columnHeader, HDM_SETITEMA, item, reinterpret_cast<LPARAM>(&it));
            }
        }
    } else {
        t->setUp = s->setUp;
        t->columns = s->columns;
        t->lastScrollStart = s->lastScrollStart;
        t->rowsAllocated = s->rowsAllocated;
        t->columnsAllocated = s->columnsAllocated;
        t->page = s->page;
        t->rowHeaderWindows = s->rowHeaderWindows;
        t->rowsShown = s->rowsShown;
        t->rowHeaderWidth = s->rowHeaderWidth;
        t->columnHeaderHeight = s->columnHeaderHeight;
        t->templateId = s->templateId;
        t->scrollScale = s->scrollScale;
        t->rowHeight = s->rowHeight;
        t->sizeLock = 0;
        t->column = s->column;
        t->labels = s->labels;
        std::free(t->rowHeaders);
        t->rowHeaders = nullptr;
        if (sourceStyle & kGridRowHeaders)
            t->rowHeaders = static_cast<HWND*>(
                std::calloc(static_cast<size_t>(std::max(s->rowHeaderWindows, 1)), sizeof(HWND)));
        RecreateChildren(target, source, t, s);
        if (t->columnHeader && s->columnHeader) {
            while (SendMessageA(t->columnHeader, HDM_GETITEMCOUNT, 0, 0) > 0)
                SendMessageA(t->columnHeader, HDM_DELETEITEM, 0, 0);
            for (int item = 0; item <= s->columns; ++item)
                GridHeaderItemCopy(s->columnHeader, t->columnHeader, item, true);
            RECT h;
            GetWindowRect(s->columnHeader, &h);
            SetWindowPos(t->columnHeader, nullptr, 0, 0, h.right - h.left, h.bottom - h.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ScrollBarsCopy(target, source);
    if (s->editor) {
        GridCellEditorCreate(t);
        EditorLiveStateCopy(t, s);
    }
    if (t->cellArea)
        InvalidateRect(t->cellArea, nullptr, TRUE);
}

LRESULT CALLBACK GridHeaderProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND grid = GetParent(header);
    GridRecord* r = GridRecordOf(grid);
    if (message == WM_SETCURSOR && !(GetWindowLongA(grid, GWL_STYLE) & kGridColumnDrag)) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    }
    if (message == WM_NCHITTEST && r && r->sizeLock)
        return HTTRANSPARENT;
    WNDPROC previous = gGridClasses.headerProc;
    return previous ? CallWindowProcA(previous, header, message, wParam, lParam)
                    : DefWindowProcA(header, message, wParam, lParam);
}

namespace {

// Installed while the program starts: every program links the whole library,
// and the grid's classes are registered in this file.
const bool gGridLayerInstalled =
    (LibraryLayerStepsSet(LibraryLayer::kGrid, {.classesRegister = GridRegisterClasses}),
     DialogGridServicesSet({.fieldSetup = GridFieldSetup, .copyState = GridCopyState, .clearAll = GridClearAll}),
     true);

} // namespace

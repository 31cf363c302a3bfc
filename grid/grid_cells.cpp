// Grid records and cell storage: the shared grid state, finding a grid's
// record, the typed cell storage of a column, the text of a cell, the
// exchange of two rows, the repaint of one cell, the redraw switch, dialog
// units, and the geometry of cells and of the block selection.
#include "grid/grid_record.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>

#include "core/conversions.h"
#include "core/fixed_text.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/numeric_edit_classes.h"
#include "grid/grid_engine.h"

GridClassState gGridClasses;
int gGridRedrawFlag = 1;
GridSwitches gGridSwitches;

namespace {

constexpr uint32_t kGridRecordTag = 0x44495247; // "GRID"
constexpr std::string_view kDefaultFormat = "(G15.5E2)";

} // namespace

void GridHeaderItemText(HWND header, int item, const char* text)
{
    HDITEMA it{};
    it.mask = HDI_TEXT;
    it.pszText = const_cast<char*>(text);
    it.cchTextMax = static_cast<int>(std::strlen(text));
    SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
}

// ---- Records on windows ---------------------------------------------------------

GridRecord* GridRecordOf(HWND grid)
{
    if (!grid || !gGridClasses.grid || ClassAtomOf(grid) != gGridClasses.grid)
        return nullptr;
    auto* r = reinterpret_cast<GridRecord*>(GetWindowLongPtrA(grid, 0));
    return (r && r->tag == kGridRecordTag) ? r : nullptr;
}

// Used by the window procedure to hang a new record.
GridRecord* GridRecordNew()
{
    auto* r = static_cast<GridRecord*>(std::calloc(1, sizeof(GridRecord)));
    if (r)
        r->tag = kGridRecordTag;
    return r;
}

void GridRecordDelete(GridRecord* r)
{
    if (r) {
        r->tag = 0;
        std::free(r);
    }
}

HWND GridOfCellArea(HWND cellArea)
{
    return cellArea ? GetParent(cellArea) : nullptr;
}

HWND GridWindowById(int id)
{
    if (id == 0) {
        HWND grid = GridEditorCurrentGrid();
        return GridRecordOf(grid) ? grid : nullptr;
    }
    HWND dialog = DialogCurrentWindow();
    HWND grid = dialog ? GetDlgItem(dialog, id) : nullptr;
    return GridRecordOf(grid) ? grid : nullptr;
}

// ---- Cell storage ---------------------------------------------------------------

size_t GridCellSize(int type)
{
    switch (type) {
    case kCellText:
        return sizeof(char*);
    case kCellDouble:
        return sizeof(double);
    case kCellReal:
        return sizeof(float);
    default:
        return sizeof(int32_t);
    }
}

bool GridColumnAllocate(GridColumnRecord& c, int rows)
{
    size_t n = static_cast<size_t>(std::max(rows, 1));
    void* cells = std::calloc(n, GridCellSize(c.type));
    auto* states = static_cast<uint8_t*>(std::calloc(n, 1));
    if (!cells || !states) {
        std::free(cells);
        std::free(states);
        return false;
    }
    c.cells = cells;
    c.states = states;
    return true;
}

void GridColumnFree(GridColumnRecord& c, int rowsAllocated)
{
    if (c.type == kCellText && c.cells) {
        auto** texts = static_cast<char**>(c.cells);
        for (int r = 0; r < rowsAllocated; ++r)
            std::free(texts[r]);
    }
    std::free(c.cells);
    std::free(c.states);
    std::free(c.colours);
    c.cells = nullptr;
    c.states = nullptr;
    c.colours = nullptr;
}

const char* GridTextCell(const GridColumnRecord& c, int row)
{
    const char* t = static_cast<char* const*>(c.cells)[row];
    return t ? t : "";
}

bool GridTextCellSet(GridColumnRecord& c, int row, std::string_view text)
{
    text = text.substr(0, std::min(text.size(), static_cast<size_t>(std::max(c.maxChars, 0))));
    text = text.substr(0, text.find('\0'));
    auto** texts = static_cast<char**>(c.cells);
    if (text.empty()) {
        std::free(texts[row]);
        texts[row] = nullptr;
        return true;
    }
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy)
        return false;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    std::free(texts[row]);
    texts[row] = copy;
    return true;
}

int32_t& GridIntCell(GridColumnRecord& c, int row)
{
    return static_cast<int32_t*>(c.cells)[row];
}

float& GridRealCell(GridColumnRecord& c, int row)
{
    return static_cast<float*>(c.cells)[row];
}

double& GridDoubleCell(GridColumnRecord& c, int row)
{
    return static_cast<double*>(c.cells)[row];
}

void GridCellEmpty(GridColumnRecord& c, int row)
{
    switch (c.type) {
    case kCellText:
        GridTextCellSet(c, row, "");
        break;
    case kCellReal:
        GridRealCell(c, row) = 0.0f;
        break;
    case kCellDouble:
        GridDoubleCell(c, row) = 0.0;
        break;
    default:
        GridIntCell(c, row) = 0;
        break;
    }
    c.states[row] &= static_cast<uint8_t>(~(kCellHasValue | kCellNonBlank));
}

std::string_view GridFormatOf(HWND control)
{
    FieldRecord* f = FieldRecordOf(control);
    return (f && f->format && f->format[0]) ? std::string_view(f->format) : kDefaultFormat;
}

std::string GridIntegerText(int value)
{
    // What "(I11)" writes, left-justified: every 32-bit integer fits.
    char digits[kGridIntegerTextLimit + 1];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

std::string GridRealText(float value, std::string_view format)
{
    FixedText<kGridNumberTextLength> t;
    yyrea2st(value, t, format);
    return std::string(t.trimmed());
}

std::string GridDoubleText(double value, std::string_view format)
{
    FixedText<kGridNumberTextLength> t;
    yydbl2st(value, t, format);
    return std::string(t.trimmed());
}

std::string GridWindowText(HWND w, int maxChars)
{
    if (!w || maxChars <= 0)
        return {};
    std::string text(static_cast<size_t>(maxChars) + 1, '\0');
    int n = static_cast<int>(
        SendMessageA(w, WM_GETTEXT, static_cast<WPARAM>(maxChars + 1), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<size_t>(std::clamp(n, 0, maxChars)));
    return text;
}

namespace {

std::string ComboItemText(HWND combo, int index)
{
    if (!combo || index < 0)
        return {};
    LRESULT n = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR || n < 0)
        return {};
    std::string text(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string_view CheckText(bool checked, int mode)
{
    static constexpr char kCheck[] = {kGridPrintCheck, '\0'};
    static constexpr char kCross[] = {kGridPrintCross, '\0'};
    if (mode == 1)
        return checked ? kCheck : kCross;
    return checked ? "Yes" : "No";
}

} // namespace

GridColumnTexts::GridColumnTexts(const GridColumnRecord& c) : column(&c)
{
    if (c.type == kCellReal || c.type == kCellDouble)
        format = std::string(GridFormatOf(c.control));
    if (c.type == kCellMenu && c.control) {
        LRESULT count = SendMessageA(c.control, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i)
            options.push_back(ComboItemText(c.control, i));
    }
}

void GridColumnTexts::Append(int row, int mode, std::string& out) const
{
    const GridColumnRecord& c = *column;
    if (!c.cells || !c.states)
        return;
    const bool hasValue = (c.states[row] & kCellHasValue) != 0;
    switch (c.type) {
    case kCellText:
        out += GridTextCell(c, row);
        break;
    case kCellInteger:
        if (hasValue) {
            char digits[kGridIntegerTextLimit + 1];
            out.append(digits, std::to_chars(digits, digits + sizeof digits, static_cast<const int32_t*>(c.cells)[row]).ptr);
        }
        break;
    case kCellReal:
    case kCellDouble:
        if (hasValue) {
            FixedText<kGridNumberTextLength> t;
            if (c.type == kCellReal)
                yyrea2st(static_cast<const float*>(c.cells)[row], t, format);
            else
                yydbl2st(static_cast<const double*>(c.cells)[row], t, format);
            out += t.trimmed();
        }
        break;
    case kCellCheckBox:
        out += CheckText(static_cast<const int32_t*>(c.cells)[row] == 1, mode);
        break;
    default: {
        const int index = static_cast<const int32_t*>(c.cells)[row];
        if (index >= 0 && index < static_cast<int>(options.size()))
            out += options[static_cast<size_t>(index)];
        break;
    }
    }
}

std::string GridColumnTexts::Text(int row, int mode) const
{
    std::string text;
    Append(row, mode, text);
    return text;
}

// ---- Services of the records --------------------------------------------------

std::string GridCellText(GridRecord* record, int column, int row, int mode)
{
    if (!record || column < 0 || column >= record->columns || row < 0 || row >= record->rowsAllocated ||
        !record->column)
        return {};
    GridColumnRecord& c = record->column[column];
    if (!c.cells)
        return {};
    if (record->editor && column == record->currentColumn && row == record->currentRow) {
        HWND e = record->editor;
        switch (c.type) {
        case kCellText:
            return GridWindowText(e, c.maxChars);
        case kCellInteger:
            return GridWindowText(e, kGridIntegerTextLimit);
        case kCellReal:
        case kCellDouble:
            return GridWindowText(e, kGridNumberTextLength);
        case kCellCheckBox:
            return std::string(CheckText(SendMessageA(e, BM_GETCHECK, 0, 0) == BST_CHECKED, mode));
        default:
            if (SendMessageA(c.control, CB_GETCOUNT, 0, 0) <= 0)
                return "";
            return ComboItemText(e, static_cast<int>(SendMessageA(e, CB_GETCURSEL, 0, 0)));
        }
    }
    return GridColumnTexts(c).Text(row, mode);
}

void GridCellToText(GridRecord* record, int column, int row, char* text, int mode)
{
    if (!text)
        return;
    std::string t = GridCellText(record, column, row, mode);
    std::memcpy(text, t.c_str(), t.size() + 1);
}

void GridSwapRows(int& id, int& row1, int& row2, int& labels)
{
    HWND grid = GridWindowById(id);
    GridRecord* r = GridRecordOf(grid);
    if (!r || !r->column || row1 < 0 || row2 < 0 || row1 >= r->rowsAllocated || row2 >= r->rowsAllocated)
        return;
    GridSelectionClear(grid);
    const int a = row1, b = row2;
    if (labels && (GetWindowLongA(grid, GWL_STYLE) & kGridRowHeaders) && r->labels) {
        char keep[kGridLabelBytes];
        std::memcpy(keep, r->labels + a * kGridLabelBytes, kGridLabelBytes);
        std::memcpy(r->labels + a * kGridLabelBytes, r->labels + b * kGridLabelBytes, kGridLabelBytes);
        std::memcpy(r->labels + b * kGridLabelBytes, keep, kGridLabelBytes);
        for (int row : {a, b}) {
            int i = row - r->firstVisibleRow;
            if (i >= 0 && i < r->rowsShown && i < r->rowHeaderWindows && r->rowHeaders && r->rowHeaders[i]) {
                GridHeaderItemText(r->rowHeaders[i], 0, r->labels + row * kGridLabelBytes);
                UpdateWindow(r->rowHeaders[i]);
            }
        }
    }
    // The editor's value, edited or not, goes into its cell first, so that it
    // travels with its row; the editor shows the row that arrives.
    bool editorInvolved = r->editor && (r->currentRow == a || r->currentRow == b);
    if (editorInvolved)
        GridCellEditorStore(r);
    if (a != b) {
        for (int col = 0; col < r->columns; ++col) {
            GridColumnRecord& c = r->column[col];
            if (!c.cells)
                continue;
            switch (c.type) {
            case kCellText:
                std::swap(static_cast<char**>(c.cells)[a], static_cast<char**>(c.cells)[b]);
                break;
            case kCellInteger:
            case kCellCheckBox:
            case kCellMenu:
                std::swap(GridIntCell(c, a), GridIntCell(c, b));
                break;
            case kCellReal:
                std::swap(GridRealCell(c, a), GridRealCell(c, b));
                break;
            case kCellDouble:
                std::swap(GridDoubleCell(c, a), GridDoubleCell(c, b));
                break;
            }
            if (c.type == kCellInteger || c.type == kCellReal || c.type == kCellDouble)
                std::swap(c.states[a], c.states[b]);
        }
    }
    if (editorInvolved)
        GridCellEditorLoad(r);
    for (int col = 0; col < r->columns; ++col) {
        GridCellInvalidate(r, col, a, 0);
        GridCellInvalidate(r, col, b, 0);
    }
    if (gGridRedrawFlag == 1 && r->cellArea)
        UpdateWindow(r->cellArea);
    r->modified = 1;
    r->modified2 = 1;
}

void GridCellInvalidate(GridRecord* r, int column, int row, int update)
{
    if (!r || !r->cellArea || !r->column)
        return;
    if (row < r->firstVisibleRow || row > r->firstVisibleRow + r->rowsShown - 1)
        return;
    if (column < r->firstVisibleColumn || column > r->lastVisibleColumn + 1 || column >= r->columns)
        return;
    const int pitch = r->rowHeight - 1;
    RECT rc;
    rc.top = std::max(0, (row - r->firstVisibleRow) * pitch);
    rc.bottom = std::min(GridCellAreaHeight(r), (row - r->firstVisibleRow + 1) * pitch);
    rc.left = GridColumnsSpan(r, r->firstVisibleColumn, column);
    rc.right = rc.left + r->column[column].width - 1;
    InvalidateRect(r->cellArea, &rc, FALSE);
    if (update)
        UpdateWindow(r->cellArea);
}

void GridRedrawSuspend()
{
    gGridRedrawFlag = 0;
}

void GridRedrawResume(int& id)
{
    gGridRedrawFlag = 1;
    if (GridRecord* r = GridRecordOf(GridWindowById(id)); r && r->cellArea)
        RedrawWindow(r->cellArea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

bool GridFontMetrics(HWND window, HFONT font, TEXTMETRICA& tm)
{
    tm = TEXTMETRICA{};
    HDC dc = GetDC(window);
    if (!dc)
        return false;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextMetricsA(dc, &tm);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(window, dc);
    return true;
}

void GridDialogUnits(HWND window, RECT& rect)
{
    TEXTMETRICA tm{};
    if (!GridFontMetrics(window, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), tm))
        return;
    rect.left = rect.left * tm.tmAveCharWidth / 4;
    rect.right = rect.right * tm.tmAveCharWidth / 4;
    rect.top = rect.top * tm.tmHeight / 8;
    rect.bottom = rect.bottom * tm.tmHeight / 8;
}

HWND GridTextEditor(GridRecord* r)
{
    if (!r || !r->editor)
        return nullptr;
    return FieldIsEditLike(r->editor) ? r->editor : nullptr;
}

void GridColumnCase(int& id, int& column, int& letterCase)
{
    GridRecord* r = GridRecordOf(GridWindowById(id));
    if (!r) {
        id = -1;
        return;
    }
    if (column < 0 || column >= r->columns || !r->column) {
        id = -2;
        return;
    }
    LONG style = GetWindowLongA(r->column[column].control, GWL_STYLE);
    letterCase = (style & ES_UPPERCASE) ? 1 : (style & ES_LOWERCASE) ? 2 : 0;
}

void GridTransparentBlt(HBITMAP source, HBITMAP target, HBITMAP work)
{
    BITMAP bm{};
    if (!source || !target || !work || !GetObjectA(source, sizeof bm, &bm))
        return;
    const int w = bm.bmWidth, h = bm.bmHeight;
    HDC screen = GetDC(nullptr);
    HDC src = CreateCompatibleDC(screen);
    HDC dst = CreateCompatibleDC(screen);
    HDC wrk = CreateCompatibleDC(screen);
    HDC msk = CreateCompatibleDC(screen);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ o1 = SelectObject(src, source);
    HGDIOBJ o2 = SelectObject(dst, target);
    HGDIOBJ o3 = SelectObject(wrk, work);
    HGDIOBJ o4 = SelectObject(msk, mask);
    BitBlt(wrk, 0, 0, w, h, src, 0, 0, SRCCOPY);
    RECT all{0, 0, w, h};
    FillRect(dst, &all, GetSysColorBrush(COLOR_HIGHLIGHT));
    // Mask: 1 where the work bitmap shows the button face.
    COLORREF oldBk = SetBkColor(wrk, GetSysColor(COLOR_BTNFACE));
    BitBlt(msk, 0, 0, w, h, wrk, 0, 0, SRCCOPY);
    SetBkColor(wrk, oldBk);
    // Colour blits from a mono source map 1 to the background colour, 0 to the text colour.
    SetBkColor(dst, RGB(255, 255, 255));
    SetTextColor(dst, RGB(0, 0, 0));
    BitBlt(dst, 0, 0, w, h, msk, 0, 0, SRCAND);   // target keeps the highlight only under the face
    SetBkColor(wrk, RGB(0, 0, 0));
    SetTextColor(wrk, RGB(255, 255, 255));
    BitBlt(wrk, 0, 0, w, h, msk, 0, 0, SRCAND);   // work keeps everything but the face
    BitBlt(dst, 0, 0, w, h, wrk, 0, 0, SRCPAINT);
    SelectObject(src, o1);
    SelectObject(dst, o2);
    SelectObject(wrk, o3);
    SelectObject(msk, o4);
    DeleteObject(mask);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteDC(wrk);
    DeleteDC(msk);
    ReleaseDC(nullptr, screen);
}

// ---- Geometry --------------------------------------------------------------------

int GridColumnsSpan(const GridRecord* r, int from, int to)
{
    int sum = 0;
    if (!r || !r->column)
        return 0;
    for (int c = std::max(from, 0); c < to && c < r->columns; ++c)
        sum += r->column[c].width - 1;
    return sum;
}

bool GridColumnsFit(const GridRecord* r, int from, int to, int width)
{
    return GridColumnsSpan(r, from, to + 1) + 1 <= width;
}

int GridCellAreaWidth(const GridRecord* r)
{
    RECT rc{};
    if (r && r->cellArea)
        GetClientRect(r->cellArea, &rc);
    return rc.right;
}

int GridCellAreaHeight(const GridRecord* r)
{
    RECT rc{};
    if (r && r->cellArea)
        GetClientRect(r->cellArea, &rc);
    return rc.bottom;
}

int GridRowsDrawn(const GridRecord* r)
{
    if (r->firstVisibleRow + r->page < r->rows)
        return r->rowsShown;
    return std::min(r->page, r->rows);
}

bool GridCellAt(const GridRecord* r, int x, int y, int& column, int& row)
{
    if (!r || !r->column || x < 0 || y < 0)
        return false;
    const int lastColumn = std::min(r->lastVisibleColumn + 1, r->columns - 1);
    int right = 0;
    column = -1;
    for (int c = r->firstVisibleColumn; c <= lastColumn; ++c) {
        right += r->column[c].width - 1;
        if (right >= x) {
            column = c;
            break;
        }
    }
    if (column < 0)
        return false;
    const int drawn = GridRowsDrawn(r);
    const int pitch = r->rowHeight - 1;
    for (int i = 0; i < drawn; ++i) {
        if ((i + 1) * pitch >= y) {
            row = r->firstVisibleRow + i;
            return true;
        }
    }
    return false;
}

RECT GridCellInterior(const GridRecord* r, int column, int row)
{
    RECT rc;
    rc.left = 1 + GridColumnsSpan(r, r->firstVisibleColumn, column);
    rc.right = rc.left + r->column[column].width - 2;
    rc.top = 1 + (row - r->firstVisibleRow) * (r->rowHeight - 1);
    rc.bottom = rc.top + r->rowHeight - 2;
    return rc;
}

bool GridColumnStrip(const GridRecord* r, int column, RECT& strip)
{
    if (!r || !r->cellArea || !r->column || column < r->firstVisibleColumn || column > r->lastVisibleColumn + 1 ||
        column >= r->columns)
        return false;
    strip.left = GridColumnsSpan(r, r->firstVisibleColumn, column);
    strip.right = strip.left + r->column[column].width;
    strip.top = 0;
    strip.bottom = GridCellAreaHeight(r);
    return true;
}

int GridSelectionRect(HWND grid, RECT& rect)
{
    GridRecord* r = GridRecordOf(grid);
    if (!r || !r->column || r->selFirstRow < 0 || r->selFirstColumn < 0)
        return 0;
    if (r->selLastRow < r->firstVisibleRow || r->selFirstRow >= r->firstVisibleRow + r->rowsShown ||
        r->selLastColumn < r->firstVisibleColumn || r->selFirstColumn > r->lastVisibleColumn + 1)
        return 0;
    const int pitch = r->rowHeight - 1;
    rect.top = std::max(0, (r->selFirstRow - r->firstVisibleRow) * pitch);
    rect.bottom = std::min(GridCellAreaHeight(r), (r->selLastRow - r->firstVisibleRow + 1) * pitch);
    const int lastShown = std::min(r->lastVisibleColumn + 1, r->columns - 1);
    rect.left = GridColumnsSpan(r, r->firstVisibleColumn, r->selFirstColumn);
    rect.right = GridColumnsSpan(r, r->firstVisibleColumn, std::min(r->selLastColumn, lastShown) + 1);
    return (rect.top < rect.bottom && rect.left < rect.right) ? 1 : 0;
}

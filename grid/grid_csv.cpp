// Comma-separated grid files (see grid/grid_files.h): the writer reads every
// column's texts once (the current cell through its editor) and writes the
// file in large blocks; the reader cuts the file into fields with the
// window-free scanner and stores each field through the engine and the
// public put routines, so that a field is converted, checked and reported
// exactly as a program putting it would be.
#include <algorithm>
#include <string>
#include <vector>

#include "core/byte_files.h"
#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/string_routines.h"
#include "dialogs/message_box.h"
#include "grid/grid_csv_fields.h"
#include "grid/grid_engine.h"
#include "grid/grid_file_column.h"
#include "grid/grid_files.h"
#include "grid/grid_public.h"

namespace {

// Options.
constexpr int kSaveNoQuotes = 1;
constexpr int kTitlesAndLabels = 2;
constexpr int kSaveBlankValues = 4;

// Bytes gathered before a write, and read per chunk.
constexpr size_t kWriteBlock = 1 << 16;
constexpr int kReadChunk = 65000;
// Characters of a title as read for the file.
constexpr int kTitleLength = 1024;

// ---- Writing ------------------------------------------------------------------------

// The output file and its pending bytes; after a failed write nothing more is written.
struct CsvOut {
    int handle = -1;
    bool failed = false;
    std::string pending;

    void Flush()
    {
        if (failed || pending.empty())
            return;
        int written = 0;
        IFileWriteChar(handle, pending, static_cast<int>(pending.size()), written);
        failed = written != static_cast<int>(pending.size());
        pending.clear();
    }
    void EndField(bool last)
    {
        pending += last ? "\r\n" : ",";
        if (pending.size() >= kWriteBlock)
            Flush();
    }
};

// TEXT without its trailing blanks with every quotation mark doubled,
// enclosed unless ENCLOSE is false.
void QuotedField(std::string& out, std::string_view text, bool enclose)
{
    std::string field(text);
    field.resize(field.size() * 2, ' ');
    int length = 0;
    YYCsvQuote(field, length);
    if (enclose)
        out += '"';
    out.append(field, 0, static_cast<size_t>(length));
    if (enclose)
        out += '"';
}

// Appends the field of ROW of column C to OUT.
void CellField(const GridFileColumn& c, int row, int options, std::string& out)
{
    const bool enclose = !(options & kSaveNoQuotes);
    const int type = c.Type();
    if (type == kCellCheckBox) {
        out += c.Text(row);
        return;
    }
    if (type == kCellText || type == kCellMenu) {
        if (c.HasValue(row)) // a menu without a selection: an empty field, never enclosed
            QuotedField(out, c.Text(row), enclose);
        return;
    }
    // Numbers: the text shown, or for a cell without a value the blank-field
    // value with option 4.
    std::string text;
    if (c.HasValue(row)) {
        text = std::string(TrimRight(c.Text(row)));
    } else if (options & kSaveBlankValues) {
        if (type == kCellInteger) {
            // "(I11)" into 36 characters, from its first non-blank on.
            FixedText<36> t;
            IntegerToString(gDialogStatus.undefinedInteger, t.span(), "(I11)");
            const std::string_view v = t.view();
            text = std::string(v.substr(std::min(v.find_first_not_of(' '), v.size())));
        } else if (type == kCellReal) {
            text = GridRealText(gDialogStatus.undefinedReal, c.Format());
        } else {
            text = GridDoubleText(gDialogStatus.undefinedDouble, c.Format());
        }
    }
    const bool quoted = enclose && type != kCellInteger;
    if (quoted)
        out += '"';
    out += text;
    if (quoted)
        out += '"';
}

// The range FIRST..LAST (from 1) of COUNT items, 0-based: first at least 0,
// last at most COUNT - 1.
void RangeOf(const int* first, const int* last, int count, int& from, int& to)
{
    from = std::max(first ? *first : 1, 1) - 1;
    to = std::min(last ? *last : count, count) - 1;
}

// ---- Reading ------------------------------------------------------------------------

// What the reader knows of one column.
struct LoadedColumn {
    int type = kCellText;
    int letterCase = 0;
    int size = 0; // maximum characters + 1 of a text column
    std::string format;
};

class CsvLoad {
public:
    CsvLoad(int id, int rows, int columns, bool grow, int options) : id_(id), rows_(rows), grow_(grow)
    {
        int hasHeaders = 0, labelWidth = 0, local = id;
        GridHeaderInfo(local, hasHeaders, labelWidth);
        labels_ = (options & kTitlesAndLabels) && labelWidth != 0;
        row_ = ((options & kTitlesAndLabels) && hasHeaders) ? -1 : 0;
        column_ = FirstColumn();
        columns_.resize(static_cast<size_t>(std::max(columns, 0)));
        for (int c = 0; c < columns; ++c) {
            LoadedColumn& k = columns_[static_cast<size_t>(c)];
            int type = 0;
            local = id;
            GridColumnType(local, c, type);
            k.type = type == 5 ? kCellInteger : type == 6 ? kCellReal : type == 7 ? kCellDouble
                     : type == 9 ? kCellCheckBox : type == 11 ? kCellMenu : kCellText;
            if (k.type == kCellText) {
                int column = c;
                local = id;
                GridColumnCase(local, column, k.letterCase);
                local = id;
                GridTextColumnSize(local, c, k.size);
                longestText_ = std::max(longestText_, k.size - 1);
            } else if (k.type == kCellReal || k.type == kCellDouble) {
                char format[51] = {};
                local = id;
                GridColumnFormat(local, c, std::span<char>(format, 50));
                k.format = std::string(TrimRight(GridUpToNul(std::string_view(format, 50))));
            }
        }
    }

    // The longest field the writer makes: twice the longest text (every
    // character a doubled quotation mark) and its enclosing pair, at least
    // one read chunk.
    size_t MaxField() const { return std::max<size_t>(kReadChunk, 2 * static_cast<size_t>(longestText_) + 2); }

    bool Stopped() const { return stopped_; }

    // Stores one field; LINEEND when the field ended its line.
    void Field(std::string& text, bool lineEnd)
    {
        if (stopped_)
            return;
        if (!skipLine_ && RowReady()) {
            if (column_ >= static_cast<int>(columns_.size())) {
                TooMuch();
                skipLine_ = true;
            } else {
                Store(text);
            }
        }
        if (stopped_)
            return;
        if (lineEnd)
            EndLine();
        else if (!skipLine_)
            ++column_;
    }

    // A field too long for any file the writer makes.
    void FieldTooLong()
    {
        TooMuch();
        stopped_ = true;
    }

    // Empties the rows the file did not reach.
    void Finish()
    {
        int local = id_;
        for (int w = std::max(row_, 0); w < rows_; ++w) {
            if (labels_) {
                local = id_;
                GridPutRowLabel(local, w, "");
            }
            for (int c = 0; c < static_cast<int>(columns_.size()); ++c) {
                local = id_;
                GridCellClear(local, c, w, 2);
            }
        }
    }

private:
    int FirstColumn() const { return labels_ ? -1 : 0; }

    void TooMuch()
    {
        if (!reported1054_)
            YYErrorReport(kErrorGridFileTooLarge, "WGridLoad");
        reported1054_ = true;
    }

    // Whether the field's row lies in the grid, after growing it when allowed;
    // otherwise the load ends.
    bool RowReady()
    {
        if (row_ < rows_)
            return true;
        if (grow_) {
            int allocated = 0, local = id_;
            GridInfo(local, kInfoRowsAllocated, allocated);
            if (row_ < allocated) {
                WGridRows(id_, row_ + 1);
                rows_ = row_ + 1;
                return true;
            }
        }
        TooMuch();
        stopped_ = true;
        return false;
    }

    void Store(std::string& text)
    {
        YYCsvUnquote(text);
        text.resize(TrimRight(text).size());
        int local = id_;
        if (row_ == -1) {
            GridPutColumnTitle(local, column_ + 1, text);
            return;
        }
        if (column_ == -1) {
            GridPutRowLabel(local, row_, std::string_view(text).substr(0, std::min<size_t>(text.size(), kGridLabelLength)));
            return;
        }
        const LoadedColumn& k = columns_[static_cast<size_t>(column_)];
        switch (k.type) {
        case kCellText:
            if (k.size > 0 && text.size() > static_cast<size_t>(k.size - 1))
                text.resize(static_cast<size_t>(k.size - 1));
            if (k.letterCase == 1)
                YYUpperCase(text);
            else if (k.letterCase == 2)
                YYLowerCase(text);
            GridPutCellText(local, column_, row_, 0.0, text, "");
            break;
        case kCellCheckBox: {
            std::string upper = text;
            YYUpperCase(upper);
            GridPutCheckBox(local, column_, row_, upper == "YES" ? 1 : 0);
            break;
        }
        case kCellMenu: {
            int notFound = 0;
            GridPutMenuByText(local, column_, row_, notFound, text);
            if (notFound)
                YYErrorReport(kErrorGridMenuValue, "WGridLoad");
            break;
        }
        default:
            StoreNumber(k, text);
            break;
        }
    }

    // Converts and puts a number; after any error the cell is emptied and
    // that error stays the last one, else the error that stood before stays.
    void StoreNumber(const LoadedColumn& k, const std::string& text)
    {
        const int saved = gErrorState.lastCode;
        gErrorState.lastCode = 0;
        if (k.type == kCellInteger) {
            int v = 0;
            IStringToInteger(text, v);
            if (gErrorState.lastCode == 0)
                WGridPutCellInteger(id_, column_ + 1, row_ + 1, v);
        } else if (k.type == kCellReal) {
            float v = 0.0f;
            IStringToReal(text, v);
            if (gErrorState.lastCode == 0)
                WGridPutCellReal(id_, column_ + 1, row_ + 1, v, k.format);
        } else {
            double v = 0.0;
            YYStringToDouble(text, v);
            if (gErrorState.lastCode == 0)
                WGridPutCellDouble(id_, column_ + 1, row_ + 1, v, k.format);
        }
        if (gErrorState.lastCode == 0) {
            gErrorState.lastCode = saved;
            return;
        }
        const int failed = gErrorState.lastCode;
        WGridClearCell(id_, column_ + 1, row_ + 1);
        gErrorState.lastCode = failed;
    }

    // The line ended: the columns after the last field read are emptied (on
    // the title line their titles), and the next line begins.
    void EndLine()
    {
        if (row_ < rows_) {
            for (int c = std::max(column_ + 1, 0); c < static_cast<int>(columns_.size()); ++c) {
                int local = id_;
                if (row_ == -1)
                    GridPutColumnTitle(local, c + 1, "");
                else
                    GridCellClear(local, c, row_, 1);
            }
        }
        ++row_;
        column_ = FirstColumn();
        skipLine_ = false;
    }

    int id_;
    int rows_;
    bool grow_;
    bool labels_ = false;
    int row_ = 0;
    int column_ = 0;
    bool skipLine_ = false;
    bool stopped_ = false;
    bool reported1054_ = false;
    int longestText_ = 0;
    std::vector<LoadedColumn> columns_;
};

} // namespace

void WGridSave(int id, std::string_view fileName, const int* firstColumn, const int* lastColumn, const int* firstRow,
               const int* lastRow, const int* options)
{
    if (GridNoDialog(id, "WGridSave"))
        return;
    int local = id;
    HWND grid = nullptr;
    GridRecord* r = GridFind(local, grid);
    if (GridStatusReport(local, "WGridSave") || !r)
        return;
    const int opts = options ? *options : 0;
    int c0, c1, r0, r1;
    RangeOf(firstColumn, lastColumn, r->columns, c0, c1);
    RangeOf(firstRow, lastRow, r->rows, r0, r1);

    CsvOut out;
    IFileOpen(fileName, 1, out.handle);
    if (out.handle == -1)
        return;
    std::vector<GridFileColumn> columns;
    columns.reserve(static_cast<size_t>(std::max(c1 - c0 + 1, 0)));
    for (int c = c0; c <= c1; ++c)
        columns.emplace_back(r, c);

    int hasHeaders = 0, labelWidth = 0;
    local = id;
    GridHeaderInfo(local, hasHeaders, labelWidth);
    const bool labels = (opts & kTitlesAndLabels) && labelWidth != 0;
    const bool enclose = !(opts & kSaveNoQuotes);
    // A line's fields: the label (or corner title) first, then the columns.
    auto line = [&](auto&& lead, auto&& field) {
        const int n = static_cast<int>(columns.size());
        if (labels) {
            lead();
            out.EndField(n == 0);
        }
        for (int i = 0; i < n && !out.failed; ++i) {
            field(i);
            out.EndField(i == n - 1);
        }
    };
    std::string text(kTitleLength + 1, '\0');
    auto title = [&](int item) {
        local = id;
        GridGetColumnTitle(local, item, text);
        QuotedField(out.pending, GridUpToNul(text), enclose);
    };
    if ((opts & kTitlesAndLabels) && hasHeaders)
        line([&] { title(0); }, [&](int i) { title(c0 + i + 1); });
    for (int row = r0; row <= r1 && !out.failed; ++row)
        line(
            [&] {
                local = id;
                GridGetRowLabel(local, row, text);
                QuotedField(out.pending, GridUpToNul(text), enclose);
            },
            [&](int i) { CellField(columns[static_cast<size_t>(i)], row, opts, out.pending); });
    out.Flush();
    IFileClose(out.handle);
}

void WGridLoad(int id, std::string_view fileName, const int* grow, const int* options)
{
    if (GridNoDialog(id, "WGridLoad"))
        return;
    int local = id, rows = 0, columns = 0;
    GridInfo(local, kInfoRows, rows);
    if (GridStatusReport(local, "WGridLoad"))
        return;
    GridInfo(local, kInfoColumns, columns);
    int handle = -1;
    IFileOpen(fileName, 0, handle);
    if (handle == -1)
        return;
    CsvLoad load(id, rows, columns, grow && *grow == 1, options ? *options : 0);
    CsvFieldScanner scanner(load.MaxField());
    GridRedrawSuspend();
    std::vector<char> buffer(kReadChunk);
    std::string field;
    bool lineEnd = false, readFailed = false;
    while (!load.Stopped()) {
        int got = 0;
        IFileReadChar(handle, buffer, kReadChunk, got);
        readFailed = got < 0; // reported by the read routine; the load ends there
        if (got <= 0)
            break;
        std::string_view chunk(buffer.data(), static_cast<size_t>(got));
        while (!load.Stopped()) {
            const CsvFieldScanner::Result result = scanner.Next(chunk, field, lineEnd);
            if (result == CsvFieldScanner::kNeedMore)
                break;
            if (result == CsvFieldScanner::kTooLong)
                load.FieldTooLong();
            else
                load.Field(field, lineEnd);
        }
    }
    if (!readFailed) {
        // A last line without an LF is read as well.
        if (!load.Stopped() && scanner.Finish(field))
            load.Field(field, true);
        load.Finish();
    }
    local = id;
    GridRedrawResume(local);
    IFileClose(handle);
}

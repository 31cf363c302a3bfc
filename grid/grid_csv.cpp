// Comma-separated grid files (see grid/grid_files.h): the writer reads every
// column's texts once (the current cell through its editor) and writes the
// file in large blocks; the reader cuts the file into fields with the
// window-free scanner, converts each field by its column's type and stores
// it by the rules of the put routines (see CsvLoad).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/byte_files.h"
#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/string_routines.h"
#include "dialogs/dialog_fields.h"
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

// ---- Reading ------------------------------------------------------------------------

// What the reader knows of one column, read once.
struct LoadedColumn {
    GridColumnRecord* c = nullptr;
    int letterCase = 0;
    std::string format;               // real and double columns
    std::vector<std::string> options; // menu columns
    double lower = 1000.0, upper = -1000.0; // the range; none while lower > upper
    bool Outside(double v) const { return lower <= upper && (v < lower || v > upper); }
};

// Stores the fields of a file into a grid. The cells are written straight
// into the grid's storage by the rules of the put routines (a number outside
// the column's range is refused with 1009 under the put routine's name); the
// current cell, whose editor shows it, goes through the engine and the
// public routines. The grid is repainted once at the end.
class CsvLoad {
public:
    CsvLoad(int id, HWND grid, GridRecord* r, bool grow, int options) : id_(id), grid_(grid), r_(r), rows_(r->rows), grow_(grow)
    {
        int hasHeaders = 0, labelWidth = 0, local = id;
        GridHeaderInfo(local, hasHeaders, labelWidth);
        labels_ = (options & kTitlesAndLabels) && labelWidth != 0 && r->labels;
        row_ = ((options & kTitlesAndLabels) && hasHeaders) ? -1 : 0;
        column_ = FirstColumn();
        allocated_ = r->rowsAllocated;
        columns_.resize(static_cast<size_t>(std::max(r->columns, 0)));
        for (int i = 0; i < r->columns; ++i) {
            LoadedColumn& k = columns_[static_cast<size_t>(i)];
            k.c = &r->column[i];
            const GridColumnTexts texts(*k.c);
            k.format = texts.format;
            k.options = texts.options;
            if (FieldRecord* f = FieldRecordOf(k.c->control)) {
                k.lower = f->lowerLimit;
                k.upper = f->upperLimit;
            }
            if (k.c->type == kCellText) {
                int column = i;
                local = id;
                GridColumnCase(local, column, k.letterCase);
            }
        }
        GridSelectionClear(grid);
    }

    // The longest field the writer makes for grid R: twice the longest text
    // (every character a doubled quotation mark) and its enclosing pair, at
    // least one read chunk.
    static size_t MaxField(const GridRecord* r)
    {
        int longest = 0;
        for (int i = 0; i < r->columns; ++i)
            if (r->column[i].type == kCellText)
                longest = std::max(longest, r->column[i].maxChars);
        return std::max<size_t>(kReadChunk, 2 * static_cast<size_t>(longest) + 2);
    }

    // The lines a load of grid ID (record R) can store: the rows it may
    // fill, and the title line when it reads one.
    static long long LinesStored(int id, const GridRecord* r, bool grow, int options)
    {
        int hasHeaders = 0, labelWidth = 0, local = id;
        GridHeaderInfo(local, hasHeaders, labelWidth);
        const int rows = grow ? std::max(r->rows, r->rowsAllocated) : r->rows;
        return std::max(rows, 0) + (((options & kTitlesAndLabels) && hasHeaders) ? 1 : 0);
    }

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

    // A field too long for any file the writer makes. The scan before the
    // load finds every one the load would meet; only a file changed since
    // then gets here, and the load ends as for too many rows.
    void FieldTooLong()
    {
        TooMuch();
        stopped_ = true;
    }

    // Sets the rows the file filled and, with EMPTYREST, empties the rows it
    // did not reach.
    void Finish(bool emptyRest)
    {
        if (rows_ != r_->rows)
            WGridRows(id_, rows_);
        for (int w = std::max(row_, 0); emptyRest && w < rows_; ++w) {
            if (labels_)
                Label(w, "");
            for (int c = 0; c < static_cast<int>(columns_.size()); ++c)
                Clear(c, w, 2);
        }
        if (labelsChanged_)
            GridRowHeadersRefresh(r_);
        if (changed_) {
            r_->modified = 1;
            r_->modified2 = 1;
        }
    }

private:
    int FirstColumn() const { return labels_ ? -1 : 0; }
    bool Current(int column, int row) const
    {
        return r_->editor && column == r_->currentColumn && row == r_->currentRow;
    }

    void TooMuch()
    {
        if (!reported1054_)
            YYErrorReport(kErrorGridFileTooLarge, "WGridLoad");
        reported1054_ = true;
    }

    // Whether the field's row lies in the grid, after growing it when allowed;
    // otherwise the load ends. The rows grow in the count kept here; the
    // grid takes it at the end.
    bool RowReady()
    {
        if (row_ < rows_)
            return true;
        if (grow_ && row_ < allocated_) {
            rows_ = row_ + 1;
            return true;
        }
        TooMuch();
        stopped_ = true;
        return false;
    }

    void Label(int row, std::string_view text)
    {
        text = text.substr(0, std::min<size_t>(text.size(), kGridLabelLength));
        char* label = r_->labels + static_cast<size_t>(row) * kGridLabelBytes;
        std::memcpy(label, text.data(), text.size());
        label[text.size()] = '\0';
        labelsChanged_ = true;
    }

    // Empties a cell; MODE 1 leaves menus, MODE 2 gives them their first option.
    void Clear(int column, int row, int mode)
    {
        GridColumnRecord& c = *columns_[static_cast<size_t>(column)].c;
        if (c.type == kCellMenu && mode != 2)
            return;
        if (Current(column, row)) {
            int local = id_;
            GridCellClear(local, column, row, 2);
        } else if (c.cells && c.states) {
            GridCellEmpty(c, row);
        }
        changed_ = true;
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
            Label(row_, text);
            return;
        }
        const LoadedColumn& k = columns_[static_cast<size_t>(column_)];
        GridColumnRecord& c = *k.c;
        if (!c.cells || !c.states)
            return;
        const bool current = Current(column_, row_);
        changed_ = true;
        switch (c.type) {
        case kCellText:
            text.resize(std::min(text.size(), static_cast<size_t>(std::max(c.maxChars, 0))));
            if (k.letterCase == 1)
                YYUpperCase(text);
            else if (k.letterCase == 2)
                YYLowerCase(text);
            if (current) {
                GridPutCellText(local, column_, row_, 0.0, text, "");
            } else {
                GridTextCellSet(c, row_, text);
                const bool nonBlank = text.find_first_not_of(' ') != std::string::npos;
                c.states[row_] = static_cast<uint8_t>((c.states[row_] & ~(kCellHasValue | kCellNonBlank)) |
                                                      (text.empty() ? 0 : kCellHasValue) | (nonBlank ? kCellNonBlank : 0));
            }
            break;
        case kCellCheckBox: {
            std::string upper = text;
            YYUpperCase(upper);
            const int checked = upper == "YES" ? 1 : 0;
            if (current)
                GridPutCheckBox(local, column_, row_, checked);
            else
                GridIntCell(c, row_) = checked;
            break;
        }
        case kCellMenu: {
            // The option equal to the text in any letter case, else the first.
            int option = 0;
            while (option < static_cast<int>(k.options.size()) &&
                   lstrcmpiA(k.options[static_cast<size_t>(option)].c_str(), text.c_str()) != 0)
                ++option;
            const bool found = option < static_cast<int>(k.options.size());
            if (!found)
                option = 0;
            if (current)
                GridPutMenu(local, column_, row_, option + 1);
            else
                GridIntCell(c, row_) = option;
            if (!found)
                YYErrorReport(kErrorGridMenuValue, "WGridLoad");
            break;
        }
        default:
            StoreNumber(k, text, current);
            break;
        }
    }

    // Converts and stores a number; after any error the cell is emptied and
    // that error stays the last one, else the error that stood before stays.
    void StoreNumber(const LoadedColumn& k, const std::string& text, bool current)
    {
        GridColumnRecord& c = *k.c;
        const int saved = gErrorState.lastCode;
        gErrorState.lastCode = 0;
        double value = 0.0;
        const char* put = "WGridPutCellInteger";
        if (c.type == kCellInteger) {
            int v = 0;
            IStringToInteger(text, v);
            value = v;
        } else if (c.type == kCellReal) {
            float v = 0.0f;
            IStringToReal(text, v);
            value = v;
            put = "WGridPutCellReal";
        } else {
            YYStringToDouble(text, value);
            put = "WGridPutCellDouble";
        }
        if (gErrorState.lastCode == 0) {
            if (current) {
                if (c.type == kCellInteger)
                    WGridPutCellInteger(id_, column_ + 1, row_ + 1, TruncateToInt(value));
                else if (c.type == kCellReal)
                    WGridPutCellReal(id_, column_ + 1, row_ + 1, SaturateToFloat(value), k.format);
                else
                    WGridPutCellDouble(id_, column_ + 1, row_ + 1, value, k.format);
            } else if (k.Outside(value)) {
                YYErrorReport(kErrorFieldValueRange, put);
            } else {
                if (c.type == kCellInteger)
                    GridIntCell(c, row_) = TruncateToInt(value);
                else if (c.type == kCellReal)
                    GridRealCell(c, row_) = SaturateToFloat(value);
                else
                    GridDoubleCell(c, row_) = value;
                c.states[row_] |= kCellHasValue | kCellNonBlank;
            }
        }
        if (gErrorState.lastCode == 0) {
            gErrorState.lastCode = saved;
            return;
        }
        const int failed = gErrorState.lastCode;
        Clear(column_, row_, 0);
        gErrorState.lastCode = failed;
    }

    // The line ended: the columns after the last field read are emptied (on
    // the title line their titles), and the next line begins.
    void EndLine()
    {
        for (int c = std::max(column_ + 1, 0); c < static_cast<int>(columns_.size()); ++c) {
            if (row_ == -1) {
                int local = id_;
                GridPutColumnTitle(local, c + 1, "");
            } else {
                Clear(c, row_, 1);
            }
        }
        ++row_;
        column_ = FirstColumn();
        skipLine_ = false;
    }

    int id_;
    HWND grid_;
    GridRecord* r_;
    int rows_;
    int allocated_ = 0;
    bool grow_;
    bool labels_ = false;
    int row_ = 0;
    int column_ = 0;
    bool skipLine_ = false;
    bool stopped_ = false;
    bool reported1054_ = false;
    bool labelsChanged_ = false;
    bool changed_ = false;
    std::vector<LoadedColumn> columns_;
};

// The file's bytes in chunks from its start. A UTF-8 byte-order mark at the
// start is skipped: spreadsheet programs begin their "CSV UTF-8" files with
// one, and it belongs to no field.
class CsvChunks {
public:
    explicit CsvChunks(int handle) : handle_(handle), buffer_(kReadChunk) {}

    // The next chunk into CHUNK; false at the end of the file and after a
    // failed read (reported by the read routine; Failed() says so).
    bool Next(std::string_view& chunk)
    {
        int got = 0;
        IFileReadChar(handle_, buffer_, kReadChunk, got);
        failed_ = got < 0;
        if (got <= 0)
            return false;
        chunk = std::string_view(buffer_.data(), static_cast<size_t>(got));
        if (first_ && chunk.starts_with(kByteOrderMark))
            chunk.remove_prefix(kByteOrderMark.size());
        first_ = false;
        return true;
    }
    bool Failed() const { return failed_; }

private:
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    int handle_;
    std::vector<char> buffer_;
    bool first_ = true;
    bool failed_ = false;
};

// Whether the file can be read through to the lines a load stores (LINES,
// and the field that would stop the load after them): a failed read or a
// field longer than MAXFIELD ends a load that must change nothing, so the
// file is scanned before anything is stored. A field too long to read is
// reported as error 2 under "WGridLoad" (no system code goes with it);
// the read routine reports its own failures. The file is left at its start.
bool CsvReadable(int handle, size_t maxField, long long lines)
{
    CsvChunks chunks(handle);
    CsvFieldScanner scanner(maxField);
    std::string_view chunk;
    std::string field;
    bool lineEnd = false, readable = true;
    long long ended = 0;
    while (readable && ended <= lines && chunks.Next(chunk)) {
        while (ended <= lines) {
            const CsvFieldScanner::Result result = scanner.Next(chunk, field, lineEnd);
            if (result == CsvFieldScanner::kNeedMore)
                break;
            if (result == CsvFieldScanner::kTooLong) {
                gErrorState.osError = 0;
                gErrorState.osErrorKind = 0;
                YYErrorReport(kErrorFileReadWrite, "WGridLoad");
                readable = false;
                break;
            }
            // The first field past LINES stops a load: nothing after it is read.
            ended += lineEnd || ended == lines ? 1 : 0;
        }
    }
    if (chunks.Failed())
        return false;
    int start = 0;
    IFileSeek(handle, start, 0);
    return readable && start == 0;
}

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
    GridFileRange(firstColumn, lastColumn, r->columns, c0, c1);
    GridFileRange(firstRow, lastRow, r->rows, r0, r1);

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
            [&] { QuotedField(out.pending, GridLabelOf(r, row), enclose); },
            [&](int i) { CellField(columns[static_cast<size_t>(i)], row, opts, out.pending); });
    out.Flush();
    IFileClose(out.handle);
}

void WGridLoad(int id, std::string_view fileName, const int* grow, const int* options)
{
    if (GridNoDialog(id, "WGridLoad"))
        return;
    int local = id;
    HWND grid = nullptr;
    GridRecord* r = GridFind(local, grid);
    if (GridStatusReport(local, "WGridLoad") || !r)
        return;
    int handle = -1;
    IFileOpen(fileName, 0, handle);
    if (handle == -1)
        return;
    const bool growing = grow && *grow == 1;
    const int opts = options ? *options : 0;
    // A file that cannot be read through changes nothing.
    if (!CsvReadable(handle, CsvLoad::MaxField(r), CsvLoad::LinesStored(id, r, growing, opts))) {
        IFileClose(handle);
        return;
    }
    CsvLoad load(id, grid, r, growing, opts);
    CsvFieldScanner scanner(CsvLoad::MaxField(r));
    GridRedrawSuspend();
    CsvChunks chunks(handle);
    std::string_view chunk;
    std::string field;
    bool lineEnd = false;
    while (!load.Stopped() && chunks.Next(chunk)) {
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
    // A last line without an LF is read as well; after a failed read (the
    // file changed since it was scanned) the rows not reached keep what they
    // held.
    const bool readFailed = chunks.Failed();
    if (!readFailed && !load.Stopped() && scanner.Finish(field))
        load.Field(field, true);
    load.Finish(!readFailed);
    local = id;
    GridRedrawResume(local);
    IFileClose(handle);
}

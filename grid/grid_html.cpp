// The grid written as an HTML table (see grid/grid_files.h): one item per
// line, the lines gathered and written in large blocks. Texts from the grid
// go out with "&", "<" and ">" as entities, so that no cell can end the
// table or add markup; the writer's own entities stay as they are.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/os_services.h"
#include "dialogs/dialog_fields.h"
#include "grid/grid_engine.h"
#include "grid/grid_file_column.h"
#include "grid/grid_files.h"
#include "grid/grid_html.h"
#include "grid/grid_public.h"

namespace {

// Options.
constexpr int kNoFrame = 1;
constexpr int kCentred = 2;
constexpr int kCheckLetters = 4;
constexpr int kNoColours = 8;

constexpr size_t kWriteBlock = 1 << 16;
// Characters of a cell text, title or label as written.
constexpr size_t kTextLength = 1023;

const char* const kAlignment[] = {"left", "center", "right"};

// "#" and six lower-case hexadecimal digits, red first, of a colour packed
// as red + 256 green + 65536 blue.
std::string Colour(int packed)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    return text;
}

// TEXT cut to the length written, with "&", "<" and ">" as entities.
std::string Escaped(std::string_view text)
{
    text = text.substr(0, std::min(text.size(), kTextLength));
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        if (ch == '&')
            out += "&amp;";
        else if (ch == '<')
            out += "&lt;";
        else if (ch == '>')
            out += "&gt;";
        else
            out += ch;
    }
    return out;
}

} // namespace

bool GridHtmlOutput::Open(std::string_view fileName)
{
    const std::string name(TrimRight(fileName));
    OsFileOpen(name.c_str(), 1, file, systemError);
    return file != -1;
}

void GridHtmlOutput::Flush(int& status)
{
    if (status != 0 || pending.empty() || file == -1) {
        pending.clear();
        return;
    }
    int written = 0;
    OsFileWrite(file, pending.data(), static_cast<int>(pending.size()), written, systemError);
    if (systemError != 0)
        status = systemError;
    pending.clear();
}

void GridHtmlOutput::Close(int& status)
{
    Flush(status);
    if (file != -1)
        OsFileClose(file);
    file = -1;
}

void YYGridHtmlWrite(GridHtmlOutput& out, std::string_view text, int& status)
{
    if (status != 0)
        return;
    out.pending += text;
    out.pending += "\r\n";
    if (out.pending.size() >= kWriteBlock)
        out.Flush(status);
}

namespace {

// Reports a failed write under the routine's name with the system's code.
void ReportWrite(const GridHtmlOutput& out, int code)
{
    gErrorState.osError = out.systemError;
    gErrorState.osErrorKind = 2;
    YYErrorReport(code, "WGridSaveHTML");
}

} // namespace

void WGridSaveHTML(int id, std::string_view fileName, const int* firstColumn, const int* lastColumn,
                   const int* firstRow, const int* lastRow, const int* options, std::optional<std::string_view> title,
                   const int* border, const int* background)
{
    if (GridNoDialog(id, "WGridSaveHTML"))
        return;
    int local = id;
    HWND grid = nullptr;
    GridRecord* r = GridFind(local, grid);
    if (GridStatusReport(local, "WGridSaveHTML") || !r)
        return;
    const int opts = options ? *options : 0;
    int c0, c1, r0, r1;
    GridFileRange(firstColumn, lastColumn, r->columns, c0, c1);
    GridFileRange(firstRow, lastRow, r->rows, r0, r1);

    GridHtmlOutput out;
    if (!out.Open(fileName)) {
        ReportWrite(out, kErrorFileOpen);
        return;
    }
    int status = 0;
    auto line = [&](std::string_view text) { YYGridHtmlWrite(out, text, status); };
    // Stops after a failed write: reported once, the file closed.
    auto failed = [&] {
        if (status == 0)
            return false;
        ReportWrite(out, kErrorFileReadWrite);
        int ignored = status;
        out.Close(ignored);
        return true;
    };
    const std::string titleText = title ? Escaped(TrimRight(*title)) : std::string();
    if (!(opts & kNoFrame)) {
        line("<html>");
        line("<head>");
        if (title)
            line("<title>" + titleText + "</title>");
        line("</head>");
        if (background) {
            line("<body bgcolor=" + Colour(*background) + ">");
        } else {
            line("<body>");
        }
    }
    if (opts & kCentred)
        line("<center>");
    if (!titleText.empty())
        line("<h2>" + titleText + "</h2>");
    line("<table border=" + std::to_string(border && *border >= 1 ? *border : 0) + " cellpadding=5>");
    if (failed())
        return;

    std::vector<GridFileColumn> columns;
    std::vector<std::string> align;
    for (int c = c0; c <= c1; ++c) {
        columns.emplace_back(r, c);
        int a = 0;
        local = id;
        GridColumnAlignment(local, c, a);
        align.push_back(std::string("<td align=") + kAlignment[std::clamp(a, 0, 2)]);
    }
    int hasHeaders = 0, labelWidth = 0;
    local = id;
    GridHeaderInfo(local, hasHeaders, labelWidth);
    FieldRecord* gridField = FieldRecordOf(grid);
    const int gridFore = gridField ? gridField->foreColour : -1;
    const int gridBack = gridField ? gridField->backColour : -1;
    std::string text(kTextLength + 1, '\0');
    if (hasHeaders) {
        line("<tr>");
        if (labelWidth != 0)
            line("<td></td>");
        for (int c = c0; c <= c1; ++c) {
            line("<td align=center>");
            local = id;
            GridGetColumnTitle(local, c + 1, text);
            line(Escaped(GridUpToNul(text)));
            line("</td>");
        }
        line("</tr>");
        if (failed())
            return;
    }
    for (int row = r0; row <= r1; ++row) {
        line("<tr>");
        if (labelWidth != 0) {
            line("<td align=left>");
            line(Escaped(GridLabelOf(r, row)));
            line("</td>");
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            const GridFileColumn& c = columns[i];
            // The cell's colours as the grid keeps them: its colour record,
            // or the column's colours over the grid field's.
            int fore = -1, back = -1;
            if (!(opts & kNoColours)) {
                c.OwnColours(row, fore, back);
                if (!c.HasColourRecords()) {
                    fore = fore == -1 ? gridFore : fore;
                    back = back == -1 ? gridBack : back;
                }
            }
            line(back != -1 ? align[i] + " bgcolor=" + Colour(back) + ">" : align[i] + ">");
            if (fore != -1)
                line("<font color=" + Colour(fore) + ">");
            switch (c.Type()) {
            case kCellCheckBox: {
                const bool checked = c.Text(row) == "Yes";
                if (opts & kCheckLetters)
                    line(checked ? "Y" : "N");
                else
                    line(checked ? "<font face=\"Symbol\">&middot;</font>" : "&nbsp;");
                break;
            }
            case kCellMenu:
                line(c.HasValue(row) ? Escaped(c.Text(row)) : std::string(" "));
                break;
            default:
                line(Escaped(c.Text(row)));
                break;
            }
            if (fore != -1)
                line("</font>");
            line("</td>");
        }
        line("</tr>");
        if (failed())
            return;
    }
    line("</table>");
    if (opts & kCentred)
        line("</center>");
    if (!(opts & kNoFrame)) {
        line("</body>");
        line("</html>");
    }
    out.Close(status);
    if (status != 0)
        ReportWrite(out, kErrorFileReadWrite);
}

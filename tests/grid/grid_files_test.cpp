// Comma-separated grid files: fixtures written by Python's csv module read
// into a grid and compared with what csv.reader reads; grid files of every
// cell type read back by csv.reader and by this reader again (same bytes on
// the second save); the reading rules; bad input.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/fixed_text.h"
#include "dialogs/message_box.h"
#include "grid/grid_engine.h"
#include "grid/grid_files.h"
#include "grid/grid_public.h"
#include "grid_fixture.h"
#include "hardcopy/scratch_files.h"
#include "hardcopy/unix_tools.h"
#include "support/file_faults.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string ReadText(const std::string& name)
{
    const auto bytes = ReadAll(name);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& name, const std::string& text)
{
    WriteAll(name, std::vector<uint8_t>(text.begin(), text.end()));
}

// Python 3 as the host runs it; empty outside Wine or without it.
bool HavePython()
{
    return unixtools::Available("/usr/bin/python3");
}

// Runs the Python program SOURCE with ARGS (Windows paths are passed as Unix
// paths by the caller); its standard output.
std::string Python(const std::string& source, const std::string& args = {})
{
    const std::string script = TempName("script.py");
    WriteText(script, source);
    std::string out;
    const int status = unixtools::Run("/usr/bin/python3 '" + unixtools::UnixPath(script) + "' " + args, &out);
    DeleteFileA(script.c_str());
    EXPECT_EQ(status, 0) << out;
    return out;
}

// What csv.reader reads from FILE (bytes taken one to one), each cell
// hex-coded in the transfer.
Rows CsvReader(const std::string& file, const std::string& encoding = "latin-1")
{
    const std::string out = Python(R"(import csv, sys
with open(sys.argv[1], newline='', encoding=sys.argv[2]) as f:
    for row in csv.reader(f):
        print(' '.join(c.encode(sys.argv[2]).hex() or '-' for c in row) + '.')
)",
                                   "'" + unixtools::UnixPath(file) + "' " + encoding);
    Rows rows;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.back() != '.')
            continue;
        line.pop_back();
        std::vector<std::string> row;
        std::istringstream cells(line);
        std::string hex;
        while (cells >> hex) {
            std::string cell;
            for (size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2)
                cell += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
            row.push_back(cell);
        }
        rows.push_back(row);
    }
    return rows;
}

// A test's file names, deleted at the end.
struct Scratch {
    std::vector<std::string> names;
    std::string operator()(const std::string& leaf)
    {
        names.push_back(TempName(leaf));
        return names.back();
    }
    ~Scratch()
    {
        for (const auto& n : names)
            DeleteFileA(n.c_str());
    }
};

// Counts the error lines a call prints at report level 1.
struct Reports {
    Reports()
    {
        YYErrorLevelSet(kReportStdout);
        testing::internal::CaptureStdout();
    }
    std::string Done()
    {
        std::string printed = testing::internal::GetCapturedStdout();
        YYErrorLevelSet(kReportNone);
        return printed;
    }
    static int Count(const std::string& printed, const std::string& what)
    {
        int n = 0;
        for (size_t at = printed.find(what); at != std::string::npos; at = printed.find(what, at + 1))
            ++n;
        return n;
    }
};

// Converts SOURCE with LibreOffice's CSV filter (fields by comma and
// quotation mark, read as Windows-1252) into a CSV file written with
// OUTOPTIONS; the converted file's name, empty when LibreOffice is missing or
// failed. Each call starts LibreOffice once (several seconds).
std::string LibreOfficeCsv(const std::string& source, const std::string& outOptions)
{
    if (!unixtools::Available("/usr/bin/soffice"))
        return {};
    const std::string dir = TempName("lo");
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string unixDir = unixtools::UnixPath(dir);
    std::string out;
    unixtools::Run("/usr/bin/soffice -env:UserInstallation=file://" + unixDir + "/profile --headless --infilter='CSV:44,34,1,1' "
                   "--convert-to 'csv:Text - txt - csv (StarCalc):" + outOptions + "' --outdir '" + unixDir + "/out' '" +
                   unixtools::UnixPath(source) + "'", &out);
    std::string leaf = source.substr(source.find_last_of('\\') + 1);
    const std::string converted = TempName("lo-converted.csv");
    const bool ok = CopyFileA((dir + "\\out\\" + leaf).c_str(), converted.c_str(), FALSE) != 0;
    unixtools::Run("rm -rf '" + unixDir + "'");
    EXPECT_TRUE(ok) << out;
    return ok ? converted : std::string();
}

// ---- Four text columns (the last of 5 characters, upper-case), 40 rows ----------

class GridCsvText : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        Open(660, 661);
        GridMoveCurrentCell(grid, 0, 39, 0, 0); // the editor away from the cells compared
    }
    std::string Cell(int column, int row) { return GridTextCell(r->column[column], row); }
    // The grid's rows as they should hold ROWS: each field without trailing
    // blanks, cut to the column's length and upper-cased in column 4; the
    // rows after them empty.
    void ExpectRows(const Rows& rows, const std::string& what)
    {
        ASSERT_LE(rows.size(), 39u) << what;
        for (size_t w = 0; w < 39; ++w)
            for (int c = 0; c < 4; ++c) {
                std::string want = w < rows.size() && static_cast<size_t>(c) < rows[w].size() ? rows[w][static_cast<size_t>(c)] : "";
                want = want.substr(0, want.find_last_not_of(' ') + 1);
                want = want.substr(0, c == 3 ? 5 : 1024);
                if (c == 3)
                    for (char& ch : want)
                        if (ch >= 'a' && ch <= 'z')
                            ch = static_cast<char>(ch - 32);
                ASSERT_EQ(Cell(c, static_cast<int>(w)), want) << what << ": row " << w + 1 << " column " << c + 1;
            }
    }
};

TEST_F(GridCsvText, PythonFixturesReadAsCsvReaderReadsThem)
{
    if (!HavePython())
        GTEST_SKIP() << "python3 is not available";
    Scratch files;
    const std::string dir = TempName(""); // the fixtures' names begin with it
    const std::vector<std::string> names = {"crlf.csv", "lf.csv", "open.csv", "long.csv", "boundary.csv", "bom.csv"};
    for (const auto& n : names)
        files(n);
    Python(R"(import csv, sys
d = sys.argv[1]
rows = [['a', 'b', 'c'], ['1,5', 'say "hi"', '', 'x'], ['line\nbreak', 'cr\r\nlf', '"', ''],
        ['\xe9\u20ac\xfc\xff', ' lead', 'trail  ', 'abcdefgh'], [], ['', '', '', ''], ['only']]
def write(name, rows, term='\r\n', enc='cp1252', cut=False):
    with open(d + name, 'w', newline='', encoding=enc) as f:
        csv.writer(f, lineterminator=term).writerows(rows)
    if cut:
        data = open(d + name, 'rb').read()
        open(d + name, 'wb').write(data[:-len(term)])
write('crlf.csv', rows)
write('lf.csv', rows, '\n')
write('open.csv', rows, cut=True)
write('long.csv', [['x' * 20000, 'y' * 30000, 'z ' * 15000, 'end'], ['after', 'the', 'long', 'line']])
# The blanks of the second line's first field lie across byte 65,000.
write('boundary.csv', [['h' * 64994], ['ab     cd', 'ef     ', 'g']])
open(d + 'bom.csv', 'wb').write(b'\xef\xbb\xbf' + 'head,x\r\n1,2\r\n'.encode())
)",
           "'" + unixtools::UnixPath(dir) + "'");
    for (const auto& n : names) {
        const std::string file = dir + n;
        Rows want = CsvReader(file);
        ASSERT_FALSE(want.empty()) << n;
        if (n == "bom.csv")
            want[0][0].erase(0, 3); // the reader skips a UTF-8 byte-order mark
        gErrorState.lastCode = 0;
        WGridLoad(661, file);
        EXPECT_EQ(gErrorState.lastCode, 0) << n;
        ExpectRows(want, n);
    }
    EXPECT_EQ(Cell(0, 0), "head");
}

// The grid's writers under real faults (support/file_faults.h): the CSV and
// the HTML file each report every failure, and neither reports success.
TEST_F(GridCsvText, WritersReportEveryFault)
{
    FaultPlaces places;
    if (!places.Missing().empty())
        GTEST_SKIP() << places.Missing();
    for (int w = 0; w < r->rows; ++w)
        for (int c = 0; c < 3; ++c)
            PutText(r, c, w, std::string(100, static_cast<char>('a' + c)).c_str());
    const auto byLastError = [] {
        const int code = gErrorState.lastCode;
        return WriteOutcome{code == 0, code == 1 || code == 2};
    };
    CheckWriter(places, "grid CSV", "grid.csv", [&](const std::string& name) {
        gErrorState.lastCode = 0;
        WGridSave(661, name);
        return byLastError();
    });
    CheckWriter(places, "grid HTML", "grid.htm", [&](const std::string& name) {
        gErrorState.lastCode = 0;
        WGridSaveHTML(661, name);
        return byLastError();
    });
}

// A UTF-8 byte-order mark at the start of a file (spreadsheet programs write
// one in their "CSV UTF-8" files) belongs to no field: a quoted first field
// behind it loses its quotation marks as any other. Only that mark at the
// very start is skipped; the bytes themselves stay as they are.
TEST_F(GridCsvText, AUtf8ByteOrderMarkIsSkipped)
{
    Scratch files;
    const std::string file = files("mark.csv");
    const struct {
        std::string bytes;
        std::string first, second;
    } cases[] = {
        {"\xEF\xBB\xBF\"first\",\"\xC5\x81\xC3\xB3" "d\xC5\xBA\"\r\n", "first", "\xC5\x81\xC3\xB3" "d\xC5\xBA"},
        {"\xEF\xBB\xBF\xEF\xBB\xBFx,y\r\n", "\xEF\xBB\xBFx", "y"},
        {"\xFF\xFEx,y\r\n", "\xFF\xFEx", "y"},
        {"a,\xEF\xBB\xBF\r\n", "a", "\xEF\xBB\xBF"},
    };
    for (const auto& c : cases) {
        WriteText(file, c.bytes);
        gErrorState.lastCode = 0;
        WGridLoad(661, file);
        EXPECT_EQ(gErrorState.lastCode, 0);
        EXPECT_EQ(Cell(0, 0), c.first);
        EXPECT_EQ(Cell(1, 0), c.second);
    }
    // The writer writes no mark.
    WGridSave(661, file);
    EXPECT_EQ(ReadText(file).substr(0, 3), "\"a\"");
}

// A field too long for any file the writer makes cannot be read: the load
// ends with error 2 (once, under WGridLoad) and changes nothing, since the
// file is scanned before anything is stored; a read that fails likewise.
TEST_F(GridCsvText, AFileThatCannotBeReadThroughChangesNothing)
{
    Scratch files;
    const std::string file = files("toolong.csv");
    WriteText(file, "new,cells\r\nmore\r\n" + std::string(70000, 'x') + "\r\n");
    PutText(r, 0, 0, "kept");
    PutText(r, 1, 5, "also kept");
    const int rows = r->rows;
    gErrorState.lastCode = 0;
    Reports reports;
    WGridLoad(661, file);
    const std::string printed = reports.Done();
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_EQ(Reports::Count(printed, "Error=   2"), 1) << printed;
    EXPECT_EQ(Reports::Count(printed, "WGridLoad"), 1) << printed;
    EXPECT_EQ(Cell(0, 0), "kept");
    EXPECT_EQ(Cell(1, 5), "also kept");
    EXPECT_EQ(r->rows, rows);

    // A field that long past the rows the grid takes is never reached.
    std::string text;
    for (int w = 1; w <= 45; ++w)
        text += "r" + std::to_string(w) + "\n";
    WriteText(file, text + std::string(70000, 'x') + "\n");
    gErrorState.lastCode = 0;
    WGridLoad(661, file);
    EXPECT_EQ(gErrorState.lastCode, 1054);
    EXPECT_EQ(Cell(0, 0), "r1");
}

// LibreOffice's CSV (LF line ends, every text quoted, rows padded) read as
// csv.reader reads it.
TEST_F(GridCsvText, LibreOfficeFileReadsAsCsvReaderReadsIt)
{
    if (!HavePython() || !unixtools::Available("/usr/bin/soffice"))
        GTEST_SKIP() << "python3 or LibreOffice is not available";
    const std::string source = TempName("lo-source.csv");
    Python(R"(import csv, sys
rows = [['a', 'b', 'c'], ['1,5', 'say "hi"', '', 'x'], ['line\nbreak', 'two\r\nlines', '"', ''],
        ['\xe9\u20ac\xfc\xff', ' lead', 'trail  ', 'abcdefgh'], ['q' * 30000, 'end'], ['only']]
with open(sys.argv[1], 'w', newline='', encoding='cp1252') as f:
    csv.writer(f).writerows(rows)
)",
           "'" + unixtools::UnixPath(source) + "'");
    const std::string converted = LibreOfficeCsv(source, "44,34,1,1,,0,true");
    DeleteFileA(source.c_str());
    ASSERT_FALSE(converted.empty());
    const std::string bytes = ReadText(converted);
    EXPECT_NE(bytes.find("\n\"only\",,,\n"), std::string::npos) << "LF line ends, texts quoted, rows padded";
    const Rows want = CsvReader(converted);
    ASSERT_EQ(want.size(), 6u);
    gErrorState.lastCode = 0;
    WGridLoad(661, converted);
    DeleteFileA(converted.c_str());
    EXPECT_EQ(gErrorState.lastCode, 0);
    ExpectRows(want, "LibreOffice");
}

TEST_F(GridCsvText, BoundaryBlanksAreKeptExactly)
{
    // Fields with inner and trailing blanks placed across every position
    // around the read chunk's end (65,000 bytes).
    Scratch files;
    const std::string file = files("edge.csv");
    for (int shift = 0; shift < 12; ++shift) {
        std::string text;
        const std::string filler(20000, 'f');
        while (text.size() + 20002 < 65000u - 6 + static_cast<size_t>(shift))
            text += filler + "\r\n";
        text += std::string(65000 - 6 + static_cast<size_t>(shift) - text.size(), 'g') + ",ab   cd,\"e  \"  ,h\r\n";
        WriteText(file, text);
        WGridLoad(661, file, nullptr, nullptr);
        const int last = static_cast<int>(std::count(text.begin(), text.end(), '\n')) - 1;
        ASSERT_LT(last, 39);
        EXPECT_EQ(Cell(1, last), "ab   cd") << "shift " << shift;
        EXPECT_EQ(Cell(2, last), "e") << "shift " << shift;
        EXPECT_EQ(Cell(3, last), "H") << "shift " << shift;
    }
}

TEST_F(GridCsvText, TitlesLabelsAndLineRules)
{
    Scratch files;
    const std::string file = files("rules.csv");
    const int titles = 2;
    // Title line (corner first), labels, a short line, a line too long, an
    // empty line; the rows after the file are emptied.
    for (int w = 0; w < 10; ++w)
        PutText(r, 1, w, "old");
    WriteText(file, "corner,T1,T2\r\nL1,a,b,c,d,e1,e2\r\nL2,x\r\nL3,1,2,3,4\r\n\r\n");
    Reports reports;
    WGridLoad(661, file, nullptr, &titles);
    const std::string printed = reports.Done();
    EXPECT_EQ(Reports::Count(printed, "WGridLoad"), 1) << printed;
    EXPECT_EQ(gErrorState.lastCode, 1054);
    char title[64];
    int local = 661;
    GridGetColumnTitle(local, 0, title);
    EXPECT_STREQ(title, "corner");
    GridGetColumnTitle(local, 2, title);
    EXPECT_STREQ(title, "T2");
    GridGetColumnTitle(local, 3, title);
    EXPECT_STREQ(title, "") << "titles after the line's last field are emptied";
    EXPECT_EQ(std::string(r->labels), "L1");
    EXPECT_EQ(Cell(3, 0), "D") << "upper-case column";
    EXPECT_EQ(Cell(0, 1), "x");
    EXPECT_EQ(Cell(1, 1), "") << "cells after the line's last field are emptied";
    EXPECT_EQ(Cell(0, 2), "1") << "the line after the field past the last column is read";
    EXPECT_EQ(Cell(1, 3), "");
    EXPECT_EQ(Cell(1, 9), "") << "rows after the file are emptied";

    // Without option 2 the same file is data from its first field on.
    WGridLoad(661, file);
    EXPECT_EQ(Cell(0, 0), "corner");
    EXPECT_EQ(Cell(0, 1), "L1");
}

TEST_F(GridCsvText, RowsBeyondTheGridAndGrowing)
{
    Scratch files;
    const std::string file = files("rows.csv");
    std::string text;
    for (int w = 1; w <= 45; ++w)
        text += "r" + std::to_string(w) + "\n";
    WriteText(file, text);
    WGridRows(661, 3);
    Reports reports;
    WGridLoad(661, file);
    std::string printed = reports.Done();
    EXPECT_EQ(Reports::Count(printed, "Error=1054"), 1) << printed;
    EXPECT_EQ(r->rows, 3);
    EXPECT_EQ(Cell(0, 2), "r3");
    EXPECT_EQ(Cell(0, 3), "") << "nothing stored past the rows in use";

    // Growing stops at the rows allocated (40).
    const int grow = 1;
    Reports again;
    WGridLoad(661, file, &grow);
    printed = again.Done();
    EXPECT_EQ(Reports::Count(printed, "Error=1054"), 1) << printed;
    EXPECT_EQ(r->rows, 40);
    EXPECT_EQ(Cell(0, 39), "r40");
    // A file shorter than the grid leaves the row count.
    WriteText(file, "one\n");
    WGridLoad(661, file, &grow);
    EXPECT_EQ(r->rows, 40);
    EXPECT_EQ(Cell(0, 0), "one");
    EXPECT_EQ(Cell(0, 1), "");
}

TEST_F(GridCsvText, BadInputGivesItsErrorOnce)
{
    Scratch files;
    const std::string file = files("bad.csv");
    struct Case {
        const char* what;
        std::string bytes;
        int code;   // last error after the load; -1 any
        int count;  // error lines printed; with code -1 at most this many
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    std::string wide;
    for (int i = 0; i < 10000; ++i)
        wide += "f" + std::to_string(i) + (i == 9999 ? "\n" : ",");
    const Case cases[] = {
        {"binary bytes", binary, -1, 1},
        {"NULs", std::string("a\0b,c\0\nd", 8), 0, 0},
        {"unclosed quote", "a,\"open\nb,c\n", 0, 0},
        {"lone CRs", "a\rb\r,c\r\rd\r", 0, 0},
        {"10,000 fields", wide, 1054, 1},
        {"empty file", "", 0, 0},
        {"a field longer than any written", std::string(70000, 'x'), 2, 1},
    };
    for (const Case& c : cases) {
        WriteText(file, c.bytes);
        gErrorState.lastCode = 0;
        Reports reports;
        WGridLoad(661, file);
        const std::string printed = reports.Done();
        if (c.code >= 0) {
            EXPECT_EQ(gErrorState.lastCode, c.code) << c.what;
            EXPECT_EQ(Reports::Count(printed, "WGridLoad"), c.count) << c.what << ": " << printed;
        } else {
            EXPECT_LE(Reports::Count(printed, "WGridLoad"), c.count) << c.what << ": " << printed;
        }
        for (int w = 0; w < 39; ++w)
            for (int col = 0; col < 4; ++col)
                ASSERT_LE(Cell(col, w).size(), col == 3 ? 5u : 1024u) << c.what;
    }
    EXPECT_EQ(Cell(0, 0), "");
    // The pieces that were read: a NUL ends a cell's text, an unclosed quote
    // runs to the end of the file, lone CRs are text.
    WriteText(file, std::string("a\0b,c\0\nd", 8));
    WGridLoad(661, file);
    EXPECT_EQ(Cell(0, 0), "a");
    EXPECT_EQ(Cell(0, 1), "d");
    WriteText(file, "a,\"open\nb,c\n");
    WGridLoad(661, file);
    EXPECT_EQ(Cell(1, 0), "open\nb,c\n");
    WriteText(file, "a\rb\r,c\r\rd\r");
    WGridLoad(661, file);
    EXPECT_EQ(Cell(0, 0), "a\rb\r");
    EXPECT_EQ(Cell(1, 0), "c\r\rd\r");

    // A folder, and a file that does not exist: error 1 from the open, nothing read.
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    for (const std::string& name : {std::string(dir), std::string(dir) + "no-such-file.csv"}) {
        PutText(r, 0, 0, "kept");
        Reports reports;
        WGridLoad(661, name);
        const std::string printed = reports.Done();
        EXPECT_EQ(gErrorState.lastCode, 1) << name;
        EXPECT_EQ(Reports::Count(printed, "IFileOpen"), 1) << printed;
        EXPECT_EQ(Cell(0, 0), "kept");
    }
    // No dialog, no grid.
    WGridLoad(662, file);
    EXPECT_EQ(gErrorState.lastCode, 1006);
}

// ---- Every cell type: the grid of dialog 500 (text, integer, real, double
// (F8.3), check box, menu b/c, text) with column headers and row labels ----

class GridCsvTypes : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        Open(500, 501);
        GridMoveCurrentCell(grid, 6, 29, 0, 0);
        gDialogStatus.undefinedInteger = -999;
        gDialogStatus.undefinedReal = -999.0f;
        gDialogStatus.undefinedDouble = -999.0;
        // Row 1 every value, row 2 every empty cell, row 3 awkward texts.
        PutText(r, 0, 0, "plain");
        PutInt(r, 1, 0, -2147483647);
        PutReal(r, 2, 0, 1.5e-3f);
        PutDouble(r, 3, 0, 1234.5);
        GridIntCell(r->column[4], 0) = 1;
        GridIntCell(r->column[5], 0) = 1;
        PutText(r, 6, 0, "x");
        GridIntCell(r->column[5], 1) = -1; // no option selected
        PutText(r, 0, 2, "say \"hi\", now");
        PutText(r, 6, 2, "l1\r\nl2 & <b>");
        GridIntCell(r->column[5], 2) = 0;
        int local = 501;
        GridPutColumnTitle(local, 1, "Name, \"first\"");
    }
};

TEST_F(GridCsvTypes, FilesReadByCsvReaderAndReadBack)
{
    if (!HavePython())
        GTEST_SKIP() << "python3 is not available";
    Scratch files;
    const std::string file = files("types.csv"), again = files("again.csv");
    const int first = 1, last = 3;
    for (int options : {0, 1, 2, 4, 6}) {
        WGridSave(501, file, nullptr, nullptr, &first, &last, &options);
        ASSERT_EQ(gErrorState.lastCode, 0);
        const Rows rows = CsvReader(file);
        const bool titles = options & 2;
        if (!(options & 1)) { // unenclosed, the line break of row 3 makes a line
            ASSERT_EQ(rows.size(), titles ? 4u : 3u) << options;
        }
        const auto& one = rows[titles ? 1 : 0];
        const auto& two = rows[titles ? 2 : 1];
        const size_t k = titles ? 1 : 0; // the label column
        if (titles) {
            EXPECT_EQ(rows[0][0], "");
            EXPECT_EQ(rows[0][1], "Name, \"first\"");
            EXPECT_EQ(one[0], "First");
        }
        ASSERT_EQ(one.size(), 7 + k);
        EXPECT_EQ(one[k], "plain");
        EXPECT_EQ(std::stod(one[k + 1]), -2147483647.0);
        EXPECT_NEAR(std::stod(one[k + 2]), 1.5e-3, 1e-9);
        EXPECT_EQ(std::stod(one[k + 3]), 1234.5);
        EXPECT_EQ(one[k + 4], "Yes");
        EXPECT_EQ(one[k + 5], "c");
        EXPECT_EQ(two[k + 4], "No");
        EXPECT_EQ(two[k + 5], "") << "no option selected";
        if (options & 4) {
            EXPECT_EQ(two[k + 1], "-999" + std::string(25, ' ')) << "the blank-field integer and 25 blanks";
            EXPECT_EQ(std::stod(two[k + 2]), -999.0);
            EXPECT_EQ(std::stod(two[k + 3]), -999.0);
        } else {
            EXPECT_EQ(two[k + 1], "");
            EXPECT_EQ(two[k + 2], "");
        }
        if (!(options & 1)) {
            const auto& three = rows[titles ? 3 : 2];
            EXPECT_EQ(three[k], "say \"hi\", now");
            EXPECT_EQ(three[k + 6], "l1\r\nl2 & <b>");
        }
    }
    // Save, load, save: the same bytes (the empty numbers of option 0 read
    // back empty with error 10); every menu cell with a selection.
    GridIntCell(r->column[5], 1) = 1;
    for (int options : {0, 2}) {
        WGridSave(501, file, nullptr, nullptr, &first, &last, &options);
        WGridLoad(501, file, nullptr, &options);
        WGridSave(501, again, nullptr, nullptr, &first, &last, &options);
        EXPECT_EQ(ReadText(file), ReadText(again)) << "options " << options;
    }
}

// LibreOffice reads a grid file (titles, labels, blank-field values): texts
// exact, numbers as numbers, the blank-field integer with its blanks too.
TEST_F(GridCsvTypes, LibreOfficeReadsTheGridFile)
{
    if (!HavePython() || !unixtools::Available("/usr/bin/soffice"))
        GTEST_SKIP() << "python3 or LibreOffice is not available";
    const std::string file = TempName("for-lo.csv");
    const int first = 1, last = 3, options = 6;
    WGridSave(501, file, nullptr, nullptr, &first, &last, &options);
    const std::string converted = LibreOfficeCsv(file, "44,34,76,1,,0,true,true,false");
    DeleteFileA(file.c_str());
    ASSERT_FALSE(converted.empty());
    const Rows rows = CsvReader(converted, "utf-8");
    DeleteFileA(converted.c_str());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1], "Name, \"first\"");
    const auto& one = rows[1];
    const auto& two = rows[2];
    ASSERT_GE(one.size(), 8u);
    ASSERT_GE(two.size(), 8u);
    EXPECT_EQ(one[0], "First");
    EXPECT_EQ(one[1], "plain");
    EXPECT_EQ(std::stod(one[2]), -2147483647.0);
    EXPECT_NEAR(std::stod(one[3]), 1.5e-3, 1e-9);
    EXPECT_EQ(std::stod(one[4]), 1234.5);
    EXPECT_EQ(one[5], "Yes");
    EXPECT_EQ(one[6], "c");
    EXPECT_EQ(two[2], "-999") << "the blank-field integer and its 25 blanks read as a number";
    EXPECT_EQ(std::stod(two[3]), -999.0);
    EXPECT_EQ(std::stod(two[4]), -999.0);
    EXPECT_EQ(rows[3][1], "say \"hi\", now");
}

TEST_F(GridCsvTypes, FieldsConvertByColumnType)
{
    Scratch files;
    const std::string file = files("convert.csv");
    // text, integer, real, double, check box, menu, text
    WriteText(file,
              "t1,-999                         ,\"\",2.5,yes,C,z\r\n"
              "t2,12x,1.5,,Y,nothing,z\r\n"
              "t3,7,1e99,3,YES,,z\r\n"
              "t4,8,2,4,1\r\n"
              "t5,\"5\",\"2.25\",\"6.125\",No,b,\"q\"\"q\"\r\n");
    for (int w = 0; w < 10; ++w)
        GridIntCell(r->column[5], w) = 1;
    Reports reports;
    WGridLoad(501, file);
    const std::string printed = reports.Done();
    int v = 0;
    WGridGetCellInteger(501, 2, 1, v);
    EXPECT_EQ(v, -999) << "the blank-field integer and its blanks read back";
    EXPECT_EQ(r->column[2].states[0] & kCellHasValue, 0) << "an empty real field reports 10 and stays empty";
    EXPECT_NE(printed.find("IStringToReal"), std::string::npos) << printed;
    EXPECT_EQ(r->column[1].states[1] & kCellHasValue, 0) << "12x";
    EXPECT_NE(printed.find("IStringToInteger"), std::string::npos) << printed;
    EXPECT_EQ(r->column[2].states[2] & kCellHasValue, 0) << "1e99 is too large for a real";
    EXPECT_EQ(Reports::Count(printed, "Error=1055"), 2) << "nothing, and the empty field: " << printed;
    double d = 0.0;
    WGridGetCellDouble(501, 4, 5, d);
    EXPECT_DOUBLE_EQ(d, 6.125);
    EXPECT_EQ(GridIntCell(r->column[4], 0), 1) << "yes";
    EXPECT_EQ(GridIntCell(r->column[4], 1), 0) << "Y";
    EXPECT_EQ(GridIntCell(r->column[4], 2), 1) << "YES";
    EXPECT_EQ(GridIntCell(r->column[4], 3), 0) << "1";
    EXPECT_EQ(GridIntCell(r->column[5], 0), 1) << "C selects c";
    EXPECT_EQ(GridIntCell(r->column[5], 1), 0) << "no match: the first option";
    EXPECT_EQ(GridIntCell(r->column[5], 3), 1) << "a short line leaves the menu";
    EXPECT_EQ(GridIntCell(r->column[5], 4), 0) << "b";
    EXPECT_EQ(std::string(GridTextCell(r->column[6], 4)), "q\"q");
    EXPECT_EQ(GridIntCell(r->column[5], 6), 0) << "rows after the file: menus to the first option";
    // A successful number field restores the error that stood before it.
    WriteText(file, "a,1\r\n");
    gErrorState.lastCode = 77;
    WGridLoad(501, file);
    EXPECT_EQ(gErrorState.lastCode, 77);
}

TEST_F(GridCsvTypes, EditorTextIsSavedAndLongFieldsWhole)
{
    Scratch files;
    const std::string file = files("editor.csv");
    GridMoveCurrentCell(grid, 6, 0, 0, 0);
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
    // 1,024 quotation marks double into 2,048 plus the pair.
    const std::string marks(1024, '"');
    int local = 501;
    GridPutCellText(local, 6, 1, 0.0, marks, "");
    const int first = 1, last = 2, c7 = 7;
    WGridSave(501, file, &c7, nullptr, &first, &last);
    EXPECT_EQ(ReadText(file), "\"typed\"\r\n\"" + std::string(2048, '"') + "\"\r\n");
    WGridSave(501, file, nullptr, nullptr, &first, &last);
    PutText(r, 6, 1, "");
    WGridLoad(501, file);
    EXPECT_EQ(std::string(GridTextCell(r->column[6], 1)), marks);
    // An unwritable file: error 1 from the open, nothing else.
    WGridSave(501, std::string("Z:\\no\\such\\folder\\x.csv"));
    EXPECT_EQ(gErrorState.lastCode, 1);
}

// The engine's grid (dialog 550): a text column of 10 characters and an
// integer column of range -100..100; the current cell through its editor.
class GridCsvRanges : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        Open(550, 551);
    }
};

TEST_F(GridCsvRanges, RangeLengthAndTheCurrentCell)
{
    const std::string file = TempName("ranges.csv");
    GridMoveCurrentCell(grid, 0, 1, 0, 0);
    ASSERT_NE(r->editor, nullptr);
    WriteText(file, "x,1,200\r\nabcdefghijkl,2,-5\r\n");
    YYErrorLevelSet(kReportStdout);
    testing::internal::CaptureStdout();
    WGridLoad(551, file);
    const std::string printed = testing::internal::GetCapturedStdout();
    YYErrorLevelSet(kReportNone);
    DeleteFileA(file.c_str());
    EXPECT_EQ(gErrorState.lastCode, 1009);
    EXPECT_NE(printed.find("WGridPutCellInteger"), std::string::npos) << printed;
    EXPECT_EQ(r->column[2].states[0] & kCellHasValue, 0) << "200 lies outside -100..100";
    EXPECT_EQ(GridIntCell(r->column[2], 1), -5);
    EXPECT_EQ(Text(r->editor), "abcdefghij") << "the current cell's editor shows the text, cut to the column";
    EXPECT_EQ(GridCellText(r, 0, 1, 0), "abcdefghij");
    EXPECT_EQ(r->modified, 1);
}

} // namespace

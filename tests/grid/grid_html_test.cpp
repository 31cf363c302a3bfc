// The grid as an HTML table: for every option case the file passes
// xmllint's HTML parser without a message and Python's html.parser finds
// the cells' texts in the table's cells ("a<b & c" too); the frame, the
// centring, the colours, check boxes and empty menus; open failures.
#include <sstream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "grid/grid_engine.h"
#include "grid/grid_file_column.h"
#include "grid/grid_files.h"
#include "grid_fixture.h"
#include "hardcopy/scratch_files.h"
#include "hardcopy/unix_tools.h"

namespace {

std::string ReadText(const std::string& name)
{
    const auto bytes = ReadAll(name);
    return std::string(bytes.begin(), bytes.end());
}

// The texts of the table cells of FILE by Python's html.parser (entities
// resolved, the line ends around each text taken off), one vector per row.
std::vector<std::vector<std::string>> TableCells(const std::string& file)
{
    const std::string script = TempName("cells.py");
    const std::string source = R"(import sys
from html.parser import HTMLParser
class Cells(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.cell = [], None
    def handle_starttag(self, tag, attrs):
        if tag == 'tr': self.rows.append([])
        if tag == 'td': self.cell = ''
    def handle_endtag(self, tag):
        if tag == 'td':
            self.rows[-1].append(self.cell.strip('\r\n'))
            self.cell = None
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
p = Cells()
p.feed(open(sys.argv[1], encoding='latin-1').read())
for row in p.rows:
    print(' '.join(c.encode('latin-1').hex() or '-' for c in row) + '.')
)";
    WriteAll(script, std::vector<uint8_t>(source.begin(), source.end()));
    std::string out;
    EXPECT_EQ(unixtools::Run("/usr/bin/python3 '" + unixtools::UnixPath(script) + "' '" + unixtools::UnixPath(file) + "'", &out), 0)
        << out;
    DeleteFileA(script.c_str());
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(out);
    std::string line, hex;
    while (std::getline(lines, line)) {
        if (line.empty() || line.back() != '.')
            continue;
        line.pop_back();
        rows.emplace_back();
        std::istringstream cells(line);
        while (cells >> hex) {
            std::string cell;
            for (size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2)
                cell += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
            rows.back().push_back(cell);
        }
    }
    return rows;
}

class GridHtml : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        Open(500, 501);
        GridMoveCurrentCell(grid, 6, 29, 0, 0);
        file = TempName("grid.html");
        PutText(r, 0, 0, "a<b & c");
        PutInt(r, 1, 0, 42);
        PutReal(r, 2, 0, 2.5f);
        PutDouble(r, 3, 0, 7.25);
        GridIntCell(r->column[4], 0) = 1;
        GridIntCell(r->column[5], 0) = 1;
        GridIntCell(r->column[5], 1) = -1; // no option selected
        PutText(r, 6, 1, "</td></tr></table>");
        int local = 501;
        GridPutColumnTitle(local, 2, "<Count>");
        GridPutCellColours(local, 0, 1, 255, 0, 0, -1, 0, 0);
        GridPutCellColours(local, 1, 1, -1, 0, 0, 0, 0, 255);
    }
    void TearDown() override
    {
        DeleteFileA(file.c_str());
        GridFieldFixture::TearDown();
    }
    std::string file;
};

TEST_F(GridHtml, EveryOptionCaseParsesAndHoldsTheCells)
{
    if (!unixtools::Available("/usr/bin/python3") || !unixtools::Available("/usr/bin/xmllint"))
        GTEST_SKIP() << "python3 or xmllint is not available";
    const int first = 1, last = 3;
    for (int options : {0, 1, 2, 3, 4, 8, 15}) {
        WGridSaveHTML(501, file, nullptr, nullptr, &first, &last, &options, "Grid & <title>");
        ASSERT_EQ(gErrorState.lastCode, 0);
        std::string lint;
        // xmllint exits 0 on HTML errors too: what it prints is the verdict.
        unixtools::Run("/usr/bin/xmllint --html --noout '" + unixtools::UnixPath(file) + "'", &lint);
        EXPECT_EQ(lint, "") << "options " << options;
        const auto rows = TableCells(file);
        ASSERT_EQ(rows.size(), 4u) << "options " << options;
        // The title row: the empty corner, then the column titles.
        ASSERT_EQ(rows[0].size(), 8u);
        EXPECT_EQ(rows[0][0], "");
        EXPECT_EQ(rows[0][2], "<Count>");
        for (int row = 0; row < 3; ++row) {
            ASSERT_EQ(rows[1 + row].size(), 8u) << "options " << options;
            char label[52];
            int local = 501;
            GridGetRowLabel(local, row, label);
            EXPECT_EQ(rows[1 + row][0], label);
            for (int c = 0; c < 7; ++c) {
                GridFileColumn column(r, c);
                std::string want = column.Text(row);
                if (c == 4)
                    want = (options & 4) ? want.substr(0, 1) : want == "Yes" ? "\xB7" : "\xA0";
                if (c == 5 && !column.HasValue(row))
                    want = " ";
                EXPECT_EQ(rows[1 + row][1 + static_cast<size_t>(c)], want) << "options " << options << " row " << row
                                                                           << " column " << c;
            }
        }
        const std::string html = ReadText(file);
        EXPECT_EQ(html.find("<html>") == 0, !(options & 1)) << html.substr(0, 40);
        EXPECT_EQ(html.find("<center>") != std::string::npos, (options & 2) != 0);
        EXPECT_EQ(html.find("<font color=#ff0000>\r\n\r\n</font>\r\n</td>") != std::string::npos, !(options & 8));
        EXPECT_EQ(html.find("bgcolor=#0000ff") != std::string::npos, !(options & 8));
    }
}

TEST_F(GridHtml, FrameTitleBorderAndBackground)
{
    const int options = 0, border = -3, red = 255, one = 1;
    WGridSaveHTML(501, file, &one, &one, &one, &one, &options, "    ", &border, &red);
    EXPECT_EQ(ReadText(file),
              "<html>\r\n<head>\r\n<title></title>\r\n</head>\r\n<body bgcolor=#ff0000>\r\n"
              "<table border=0 cellpadding=5>\r\n<tr>\r\n<td></td>\r\n<td align=center>\r\nName\r\n</td>\r\n</tr>\r\n"
              "<tr>\r\n<td align=left>\r\nFirst\r\n</td>\r\n<td align=left>\r\na&lt;b &amp; c\r\n</td>\r\n</tr>\r\n"
              "</table>\r\n</body>\r\n</html>\r\n");
    // No frame: from the heading (or the table) to the table's end; centred.
    const int bare = 3, two = 2;
    WGridSaveHTML(501, file, &two, &two, &two, &two, &bare, "T", &two);
    EXPECT_EQ(ReadText(file),
              "<center>\r\n<h2>T</h2>\r\n<table border=2 cellpadding=5>\r\n<tr>\r\n<td></td>\r\n"
              "<td align=center>\r\n&lt;Count&gt;\r\n</td>\r\n</tr>\r\n<tr>\r\n<td align=left>\r\n  x\r\n</td>\r\n"
              "<td align=left bgcolor=#0000ff>\r\n\r\n</td>\r\n</tr>\r\n</table>\r\n</center>\r\n");
}

TEST_F(GridHtml, OpenFailureReportsOnce)
{
    YYErrorLevelSet(kReportStdout);
    testing::internal::CaptureStdout();
    WGridSaveHTML(501, std::string("Z:\\no\\such\\folder\\grid.html"));
    const std::string printed = testing::internal::GetCapturedStdout();
    YYErrorLevelSet(kReportNone);
    EXPECT_EQ(gErrorState.lastCode, 1);
    EXPECT_NE(gErrorState.osError, 0);
    EXPECT_EQ(printed.find("WGridSaveHTML"), printed.rfind("WGridSaveHTML")) << printed;
    EXPECT_NE(printed.find("WGridSaveHTML"), std::string::npos) << printed;
    WGridSaveHTML(502, file);
    EXPECT_EQ(gErrorState.lastCode, 1006);
}

} // namespace

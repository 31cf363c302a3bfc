// Finding a text in a grid and sorting its rows. The sort is checked against
// Python's stable sort of the same keys by the same rules (texts as
// blank-padded unsigned bytes, a-z upper-cased without letter case, empty
// cells last in either direction) for random, sorted, reversed and equal
// keys; besides, what moves with a row and what stays.
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "grid/grid_engine.h"
#include "grid/grid_public.h"
#include "grid_fixture.h"
#include "hardcopy/unix_tools.h"

namespace {

class GridFind : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        Open(500, 501);
        GridMoveCurrentCell(grid, 2, 29, 0, 0); // out of the way of the cells filled
    }
    // Finds TEXT; returns "column,row" of the current cell when found, else "none".
    std::string Find(const std::string& text, int options, const int* firstColumn = nullptr,
                     const int* firstRow = nullptr)
    {
        int found = 99;
        WGridFind(501, text, &options, &found, firstColumn, nullptr, firstRow);
        if (found == 0)
            return "none";
        if (found != -1)
            return "found = " + std::to_string(found);
        return std::to_string(r->currentColumn + 1) + "," + std::to_string(r->currentRow + 1);
    }
};

TEST_F(GridFind, SearchRulesAndTheirOrder)
{
    PutText(r, 0, 2, "xABx");
    PutText(r, 0, 6, "ab");
    PutText(r, 6, 1, "cab");
    PutInt(r, 1, 0, 4123);
    GridIntCell(r->column[4], 0) = 1; // "Yes" is never searched
    EXPECT_EQ(Find("ab", 0), "1,7") << "letter case counts";
    EXPECT_EQ(Find("ab", 2), "1,3") << "without letter case";
    // Option 1 goes on after the current cell, then through the next
    // columns from their first row, and never wraps.
    EXPECT_EQ(Find("ab", 3), "1,7");
    EXPECT_EQ(Find("ab", 3), "7,2");
    EXPECT_EQ(Find("ab", 3), "none");
    EXPECT_EQ(r->currentColumn, 6) << "nothing found, nothing moved";
    const int second = 2;
    GridMoveCurrentCell(grid, 6, 0, 0, 0);
    EXPECT_EQ(Find("ab", 1, &second), "7,2") << "the current column lies inside the range";
    GridMoveCurrentCell(grid, 0, 0, 0, 0);
    EXPECT_EQ(Find("ab", 3, &second), "7,2") << "before the range: from the range's first cell";

    EXPECT_EQ(Find("12", 0), "none") << "numbers only with option 4";
    EXPECT_EQ(Find("12", 4), "2,1");
    EXPECT_EQ(Find("Yes", 4), "none") << "check boxes are never searched";
    const int row5 = 5;
    EXPECT_EQ(Find("ab", 0, nullptr, &row5), "1,7") << "from row 5";

    // Trailing blanks of the text count: the cell's buffer holds 21 characters.
    PutText(r, 0, 9, "abc");
    EXPECT_EQ(Find("abc" + std::string(18, ' '), 0), "1,10");
    EXPECT_EQ(Find("abc" + std::string(19, ' '), 0), "none");
    PutText(r, 0, 10, "xy  z ");
    EXPECT_EQ(Find("y  z", 0), "1,11") << "blanks inside the text";
    EXPECT_EQ(Find("z" + std::string(20, ' '), 0), "none") << "the buffer ends 15 places after z";
    EXPECT_EQ(Find("z" + std::string(15, ' '), 0), "1,11");
    EXPECT_EQ(Find(std::string(21, ' '), 0), "1,1") << "blanks only: an empty cell is all blanks";
    EXPECT_EQ(Find(std::string(22, ' '), 0), "7,1") << "only column 7's buffer of 1025 holds 22 blanks";
    // The unstored text of the current cell is searched.
    GridMoveCurrentCell(grid, 0, 11, 0, 0);
    SendMessageA(r->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("zebra"));
    EXPECT_EQ(Find("zeb", 0), "1,12");
}

// ---- Sort ------------------------------------------------------------------------------

// Python's stable sort of the keys in a file: one line per row, "identity
// TAB kind TAB value" (kind t: text in hex; n: number; e: empty).
// Python's stable sort of the keys in files named by a list: per line the
// keys file, the output file, the column type (t, i, r, d), descending (1/0)
// and without letter case (1/0). A keys file holds one line per row,
// "identity TAB kind TAB value" (kind t: text in hex; n: number; e: empty).
const char kSortScript[] = R"(import sys
limits = {'i': 2147483647.0, 'r': 3.4028234663852886e38, 'd': 1.7976931348623157e308}
for job in open(sys.argv[1], encoding='ascii'):
    keys_file, out_file, column_type, descending, nocase = job.split()
    descending, nocase = descending == '1', nocase == '1'
    rows = [line.rstrip('\n').split('\t') for line in open(keys_file, encoding='ascii')]
    def text_key(kind, value):
        if kind == 'e':
            return b' ' if descending else b'\xff'
        b = bytes.fromhex(value)
        if nocase:
            b = bytes(c - 32 if 97 <= c <= 122 else c for c in b)
        return b
    if column_type == 't':
        keys = [text_key(k, v) for _, k, v in rows]
        width = max(len(k) for k in keys)
        keys = [k.ljust(width, b' ') for k in keys]
    else:
        big = limits[column_type]
        keys = [(-big if descending else big) if k == 'e' else float(v) for _, k, v in rows]
    order = sorted(range(len(rows)), key=lambda i: keys[i], reverse=descending)
    with open(out_file, 'w') as out:
        out.write(' '.join(rows[i][0] for i in order))
)";

class GridSort : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        Open(560, 561);
        ASSERT_EQ(r->rows, 400);
        GridMoveCurrentCell(grid, 4, 0, 0, 0); // a check box, kept out of the keys
    }
    // Each row's identity in column 7 (a text column that moves with its row).
    void Identify()
    {
        for (int row = 0; row < r->rows; ++row)
            PutText(r, 6, row, std::to_string(row).c_str());
    }
    std::string Identities()
    {
        std::string all;
        for (int row = 0; row < r->rows; ++row)
            all += (row ? " " : "") + std::string(GridTextCell(r->column[6], row));
        return all;
    }
    static std::string Scratch(const std::string& name)
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        return std::string(dir) + "kvbsort" + std::to_string(GetCurrentProcessId()) + name;
    }
    // Writes the keys of COLUMN (0-based) of the current rows for Python's
    // sort job JOB and adds the job to the list.
    void KeysWrite(int job, int column, bool descending, bool noCase, std::ofstream& list)
    {
        const std::string keys = Scratch(".keys" + std::to_string(job));
        const std::string out = Scratch(".out" + std::to_string(job));
        std::ofstream k(keys, std::ios::binary);
        const GridColumnRecord& c = r->column[column];
        for (int row = 0; row < r->rows; ++row) {
            k << GridTextCell(r->column[6], row) << '\t';
            const bool has = (c.states[row] & kCellHasValue) != 0;
            char number[64];
            switch (c.type) {
            case kCellText: {
                std::string hex;
                for (unsigned char ch : std::string(GridTextCell(c, row))) {
                    std::snprintf(number, sizeof number, "%02x", ch);
                    hex += number;
                }
                k << (hex.empty() ? "e\t" : "t\t") << hex;
                break;
            }
            case kCellInteger:
                k << (has ? "n\t" : "e\t") << static_cast<const int32_t*>(c.cells)[row];
                break;
            case kCellReal:
                std::snprintf(number, sizeof number, "%.9g", static_cast<double>(static_cast<const float*>(c.cells)[row]));
                k << (has ? "n\t" : "e\t") << number;
                break;
            default:
                std::snprintf(number, sizeof number, "%.17g", static_cast<const double*>(c.cells)[row]);
                k << (has ? "n\t" : "e\t") << number;
                break;
            }
            k << '\n';
        }
        const char* type = column == 0 ? "t" : column == 1 ? "i" : column == 2 ? "r" : "d";
        list << unixtools::UnixPath(keys) << ' ' << unixtools::UnixPath(out) << ' ' << type << (descending ? " 1" : " 0")
             << (noCase ? " 1" : " 0") << '\n';
    }
    static std::string PythonOrder(int job)
    {
        const std::string out = Scratch(".out" + std::to_string(job));
        std::ifstream in(out, std::ios::binary);
        std::stringstream order;
        order << in.rdbuf();
        in.close();
        DeleteFileA(out.c_str());
        DeleteFileA(Scratch(".keys" + std::to_string(job)).c_str());
        return order.str();
    }
};

TEST_F(GridSort, OrdersAsPythonSortsTheSameKeys)
{
    if (!unixtools::Available("/usr/bin/python3"))
        GTEST_SKIP() << "python3 is not installed";
    std::mt19937 random(20240531);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* words[] = {"apple", "Apple", "APPLE", "apple  ", "b", "B", "", "a b", "zeta", "Zeta ", "~x", "\x7f"};
    enum Pattern { kRandom, kSorted, kReversed, kEqual };
    struct Job {
        std::string what, order;
    };
    std::vector<Job> jobs;
    const std::string list = Scratch(".jobs"), script = Scratch(".py");
    {
        std::ofstream(script, std::ios::binary) << kSortScript;
        std::ofstream jobList(list, std::ios::binary);
        for (int column : {0, 1, 2, 3}) {
            for (Pattern pattern : {kRandom, kSorted, kReversed, kEqual}) {
                for (int options : {0, 1, 2, 3}) {
                    if (column != 0 && (options & 2))
                        continue; // letter case concerns texts only
                    Identify();
                    for (int row = 0; row < r->rows; ++row) {
                        const int v = pattern == kRandom     ? pick(60) - 20
                                      : pattern == kSorted   ? row
                                      : pattern == kReversed ? r->rows - row
                                                             : 7;
                        const bool empty = pattern == kRandom && pick(8) == 0;
                        switch (column) {
                        case 0: {
                            char text[16];
                            std::snprintf(text, sizeof text, "k%03d", v);
                            PutText(r, 0, row, pattern == kRandom ? words[pick(12)] : pattern == kEqual ? "same" : text);
                            break;
                        }
                        case 1:
                            PutInt(r, 1, row, v, !empty);
                            break;
                        case 2:
                            PutReal(r, 2, row, static_cast<float>(v) / 3.0f);
                            SetValueBits(r, 2, row, !empty);
                            break;
                        default:
                            PutDouble(r, 3, row, v / 7.0);
                            SetValueBits(r, 3, row, !empty);
                            break;
                        }
                    }
                    KeysWrite(static_cast<int>(jobs.size()), column, options & 1, (options & 2) != 0, jobList);
                    WGridSort(561, column + 1, &options);
                    jobs.push_back({"column " + std::to_string(column + 1) + ", pattern " + std::to_string(pattern) +
                                        ", options " + std::to_string(options),
                                    Identities()});
                }
            }
        }
    }
    std::string output;
    ASSERT_EQ(unixtools::Run("/usr/bin/python3 '" + unixtools::UnixPath(script) + "' '" + unixtools::UnixPath(list) + "'",
                             &output),
              0)
        << output;
    DeleteFileA(list.c_str());
    DeleteFileA(script.c_str());
    ASSERT_EQ(jobs.size(), 40u);
    for (size_t i = 0; i < jobs.size(); ++i)
        EXPECT_EQ(jobs[i].order, PythonOrder(static_cast<int>(i))) << jobs[i].what;
}

TEST_F(GridSort, WhatMovesWithARowAndWhatStays)
{
    HWND labelled = GetDlgItem(Load(500), 501);
    GridRecord* q = GridRecordOf(labelled);
    ASSERT_NE(q, nullptr);
    WGridRows(501, 5);
    GridMoveCurrentCell(labelled, 1, 2, 0, 0); // before the cells are filled: it stores its own
    for (int row = 0; row < 5; ++row) {
        PutInt(q, 1, row, 10 * (row + 1)); // 10..50
        PutText(q, 0, row, ("t" + std::to_string(row + 1)).c_str());
    }
    q->column[1].states[0] |= kCellProtected; // the number 10
    q->column[0].states[0] |= kCellProtected; // the text t1
    // The current cell holds 30 and an edited text that is not stored yet.
    SendMessageA(q->editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("35"));
    SendMessageA(q->editor, EM_SETMODIFY, TRUE, 0);

    const int descending = 1;
    WGridSort(501, 2, &descending);
    auto column = [&](int c) {
        std::string all;
        for (int row = 0; row < 5; ++row)
            all += GridCellText(q, c, row, 0) + ",";
        return all;
    };
    EXPECT_EQ(column(1), "50,40,35,20,10,");
    EXPECT_EQ(Text(q->editor), "35") << "the editor shows the row now current";
    EXPECT_EQ(column(0), "t5,t4,t3,t2,t1,");
    EXPECT_TRUE(q->column[1].states[4] & kCellProtected) << "a number's protection moves with it";
    EXPECT_TRUE(q->column[0].states[0] & kCellProtected) << "a text's protection stays";
    EXPECT_FALSE(q->column[0].states[4] & kCellProtected);
    char label[64];
    int id = 501;
    GridGetRowLabel(id, 0, label);
    EXPECT_STREQ(label, "First") << "labels stay without option 4";

    const int withLabels = 4;
    WGridSort(501, 2, &withLabels);
    EXPECT_EQ(column(1), "10,20,35,40,50,");
    GridGetRowLabel(id, 0, label);
    EXPECT_STREQ(label, "R5") << "the label of the row holding 10";
    EXPECT_EQ(q->modified, 1);

    // A range beyond the rows is cut to them; rows outside it stay.
    const int first = 4, last = 99;
    WGridSort(501, 2, &descending, &first, &last);
    EXPECT_EQ(column(1), "10,20,35,50,40,");
}

} // namespace

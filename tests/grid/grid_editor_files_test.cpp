// The grid editor's files as a user meets them: the save prompt's three
// answers, a CSV file written by Python's csv module opened, edited, saved,
// saved as and saved in part, each read back by csv.reader; the data errors
// of a load, each in its box with the rows read kept; the Save As HTML
// dialog, its proposed name, its replace question and its kept options, the
// page checked by xmllint; and names and filters longer than the editor holds.
#include <windows.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "dialogs/message_box.h"
#include "graphics/graphics_state.h"
#include "grid/grid_editor.h"
#include "grid/grid_public.h"
#include "grid_editor_fixture.h"
#include "grid_editor_pilot.h"
#include "hardcopy/scratch_files.h"
#include "hardcopy/unix_tools.h"
#include "support/file_faults.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
constexpr int kFileNameBox = 0x47C; // the file name box of the platform's file dialog

void WriteText(const std::string& name, const std::string& text)
{
    WriteAll(name, std::vector<uint8_t>(text.begin(), text.end()));
}

bool Exists(const std::string& name)
{
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs the Python program SOURCE with the Unix form of FILE as its argument;
// its standard output.
std::string Python(const std::string& source, const std::string& file)
{
    const std::string script = TempName("editor_script.py");
    WriteText(script, source);
    std::string out;
    const int status = unixtools::Run("/usr/bin/python3 '" + unixtools::UnixPath(script) + "' '" +
                                          unixtools::UnixPath(file) + "'",
                                      &out);
    DeleteFileA(script.c_str());
    EXPECT_EQ(status, 0) << out;
    return out;
}

// What csv.reader reads from FILE: one line per row, cells separated by '|'.
Rows CsvReader(const std::string& file)
{
    const std::string out = Python(R"(import csv, sys
with open(sys.argv[1], newline='', encoding='latin-1') as f:
    for row in csv.reader(f):
        print('|'.join(row) + '.')
)",
                                   file);
    Rows rows;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.back() != '.')
            continue;
        line.pop_back();
        std::vector<std::string> row;
        std::string cell;
        std::istringstream cells(line);
        while (std::getline(cells, cell, '|'))
            row.push_back(cell);
        if (!line.empty() && line.back() == '|')
            row.emplace_back();
        rows.push_back(row);
    }
    return rows;
}

class GridEditorFiles : public GridEditorFixture {
protected:
    void SetUp() override
    {
        GridEditorFixture::SetUp();
        if (!unixtools::Available("/usr/bin/python3"))
            GTEST_SKIP() << "python3 is not available";
        r = Create(0);
        ASSERT_NE(r, nullptr);
        WindowMakeCurrent(0);
    }
    void TearDown() override
    {
        for (const auto& n : scratch_)
            DeleteFileA(n.c_str());
        GridEditorFixture::TearDown();
    }
    std::string Scratch(const std::string& leaf)
    {
        scratch_.push_back(TempName(leaf));
        return scratch_.back();
    }
    std::string FileName() const { return r->fileName.data(); }
    void SetFileName(const std::string& name)
    {
        std::snprintf(r->fileName.data(), r->fileName.size(), "%s", name.c_str());
    }
    int Info(int code)
    {
        WindowMakeCurrent(window);
        int id = 0, answer = 0;
        GridInfo(id, code, answer);
        WindowMakeCurrent(0);
        return answer;
    }
    std::string Cell(int column, int row) { return CellText(r, column - 1, row - 1); }
    int Load(int withDialog = 0)
    {
        int result = -1;
        YYGridLoadCSV(window, withDialog, 1, result, r->filterIndex, 0, r->fileName, r->filter.data());
        return result;
    }
    int Save(int withDialog, int firstRow = -1, int lastRow = -1, int firstColumn = -1, int lastColumn = -1)
    {
        int result = -1;
        YYGridSaveCSV(window, withDialog, result, r->filterIndex, 0, 0, firstRow, lastRow, firstColumn, lastColumn,
                      r->fileName, r->filter.data());
        return result;
    }
    // A step that types NAME into a file dialog and confirms it.
    static EditorPilot::Step Choose(const std::string& name)
    {
        return [name](HWND w) {
            SetDlgItemTextA(w, kFileNameBox, name.c_str());
            PostMessageA(w, WM_COMMAND, IDOK, 0);
        };
    }

    GridEditorRecord* r = nullptr;
    std::vector<std::string> scratch_;
};

// ---- Save prompt ----------------------------------------------------------------------------

TEST_F(GridEditorFiles, SavePromptAnswersYesNoAndCancel)
{
    const std::string name = Scratch("prompt.csv");
    struct Case {
        int button;
        int result;
        bool saved;
    };
    for (const Case& c : {Case{IDYES, 1, true}, Case{IDNO, 1, false}, Case{IDCANCEL, 0, false}}) {
        SCOPED_TRACE(c.button);
        DeleteFileA(name.c_str());
        SetFileName(name);
        EditorPilot pilot({EditorPilot::Press(c.button)});
        int result = -1;
        YYGridSavePrompt(window, 1, result, r->filterIndex, 0, 0, r->fileName, "");
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].title, "Quillodrane Grid Editor");
        EXPECT_EQ(pilot.Seen()[0].text, "Do you want to save changes to " + name + "?");
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Exists(name), c.saved);
    }
    // Unmodified: no question.
    EditorPilot none({});
    int result = -1;
    YYGridSavePrompt(window, 0, result, r->filterIndex, 0, 0, r->fileName, "");
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(none.Seen().empty());

    // Without a file name Yes opens the save dialog; its choice becomes the name.
    SetFileName("");
    const std::string chosen = Scratch("prompt_chosen.csv");
    EditorPilot named({EditorPilot::Press(IDYES), Choose(chosen)});
    YYGridSavePrompt(window, 1, result, r->filterIndex, 0, 0, r->fileName, "");
    ASSERT_EQ(named.Seen().size(), 2u);
    EXPECT_EQ(named.Seen()[0].text, "Do you want to save changes?");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(FileName(), chosen);
    EXPECT_TRUE(Exists(chosen));
}

// ---- CSV files --------------------------------------------------------------------------------

TEST_F(GridEditorFiles, APythonCsvOpenedEditedSavedSavedAsAndInPart)
{
    const std::string source = Scratch("python_in.csv");
    Python(R"(import csv, sys
with open(sys.argv[1], 'w', newline='') as f:
    w = csv.writer(f)
    w.writerow(['plain', '12', '1.5', '2.25', 'Y', 'b', ''])
    w.writerow(['with, comma', '-3', '2', '3', 'N', 'c', ''])
    w.writerow(['say "hi"', '5', '4', '8', 'N', 'c', ''])
)",
           source);
    SetFileName(source);
    {
        EditorPilot pilot({EditorPilot::Press(IDOK)});
        ASSERT_EQ(Load(), 1);
        for (const SeenWindow& s : pilot.Seen())
            ADD_FAILURE() << "box " << s.title << ": " << s.text;
    }
    EXPECT_EQ(FileName(), source);
    EXPECT_EQ(Cell(1, 2), "with, comma");
    EXPECT_EQ(Cell(1, 3), "say \"hi\"");
    EXPECT_EQ(Cell(2, 2), "-3");

    // Edit, save under the same name, read back.
    WindowMakeCurrent(window);
    WGridPutCellInteger(0, 2, 3, 41);
    WindowMakeCurrent(0);
    {
        EditorPilot pilot({EditorPilot::Press(IDOK)});
        ASSERT_EQ(Save(0), 1);
        for (const SeenWindow& s : pilot.Seen())
            ADD_FAILURE() << "box " << s.title << ": " << s.text;
    }
    Rows rows = CsvReader(source);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "plain");
    EXPECT_EQ(rows[1][0], "with, comma");
    EXPECT_EQ(rows[2][0], "say \"hi\"");
    EXPECT_EQ(rows[2][1], "41");
    EXPECT_EQ(rows[0][5], "b");

    // Save As: the dialog's name becomes the editor's.
    const std::string other = Scratch("python_as.csv");
    {
        EditorPilot pilot({Choose(other)});
        ASSERT_EQ(Save(1), 1);
        ASSERT_EQ(pilot.Seen().size(), 1u);
    }
    EXPECT_EQ(FileName(), other);
    EXPECT_EQ(CsvReader(other), rows);

    // A selection: rows 2 and 3, columns 1 and 2; the name stays.
    const std::string part = Scratch("python_part.csv");
    {
        EditorPilot pilot({Choose(part)});
        ASSERT_EQ(Save(1, 1, 2, 0, 1), 1);
    }
    EXPECT_EQ(FileName(), other);
    EXPECT_EQ(CsvReader(part), (Rows{{"with, comma", "-3"}, {"say \"hi\"", "41"}}));

    // A cancelled dialog saves nothing.
    {
        EditorPilot pilot({EditorPilot::Press(IDCANCEL)});
        EXPECT_EQ(Save(1), 0);
    }
}

// Each data error shows its box; the rows before it stay, (1, 1) is current
// and the name is taken. A file that cannot be opened counts as not loaded.
TEST_F(GridEditorFiles, DataErrorsShowTheirBoxAndKeepTheRowsRead)
{
    struct Case {
        const char* badLine;
        const char* title;
        const char* text;
        int result;
    };
    const std::vector<Case> cases = {
        {"bad,x1,1,1,Y,b,z", "Data Error", "Non-numeric data found for numeric cell", 1},
        {"bad,1,1.2.3,1,Y,b,z", "Data Error", "Non-numeric data found for numeric cell", 1},
        {"bad,99999999999,1,1,Y,b,z", "Data Error", "Out of range value found for numeric cell", 1},
        {"bad,1,1,1,Y,zz,z", "Data Error", "Non-matching data found for menu cell", 1},
        {"bad,1,1,1,Y,b,z,extra", "Data Error", "File contains too many rows/columns", 1},
    };
    const std::string file = Scratch("errors.csv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WriteText(file, std::string("good,7,1,1,Y,b,z\r\n") + c.badLine + "\r\n");
        SetFileName("");
        WindowMakeCurrent(window);
        WGridSetCell(0, 3, 3);
        WindowMakeCurrent(0);
        std::snprintf(r->fileName.data(), r->fileName.size(), "%s", file.c_str());
        gErrorState.lastCode = 77;
        EditorPilot pilot({EditorPilot::Press(IDOK)});
        EXPECT_EQ(Load(), c.result);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].title, c.title);
        EXPECT_EQ(pilot.Seen()[0].text, c.text);
        EXPECT_EQ(Cell(1, 1), "good");
        EXPECT_EQ(Cell(2, 1), "7");
        EXPECT_EQ(Info(kInfoCurrentColumn), 1);
        EXPECT_EQ(Info(kInfoCurrentRow), 1);
        EXPECT_EQ(gErrorState.lastCode, 77);
        EXPECT_EQ(FileName(), file);
    }
    // Too many rows: 31 lines for 30 rows.
    std::string lines;
    for (int i = 1; i <= 31; ++i)
        lines += "r" + std::to_string(i) + ",1,1,1,Y,b,z\r\n";
    WriteText(file, lines);
    EditorPilot many({EditorPilot::Press(IDOK)});
    EXPECT_EQ(Load(), 1);
    ASSERT_EQ(many.Seen().size(), 1u);
    EXPECT_EQ(many.Seen()[0].text, "File contains too many rows/columns");
    EXPECT_EQ(Cell(1, 30), "r30");

    // A missing file: not loaded, the name kept.
    const std::string missing = Scratch("missing.csv");
    SetFileName(missing);
    DeleteFileA(missing.c_str());
    EditorPilot open({EditorPilot::Press(IDOK)});
    std::array<char, kGridEditorNameLength> before = r->fileName;
    int result = -1;
    YYGridLoadCSV(window, 0, 1, result, r->filterIndex, 0, r->fileName, "");
    EXPECT_EQ(result, 0);
    ASSERT_EQ(open.Seen().size(), 1u);
    EXPECT_EQ(open.Seen()[0].title, "File Error");
    EXPECT_EQ(open.Seen()[0].text, "Error opening file");
    EXPECT_EQ(r->fileName, before);
}

// The backup is copied only when the file exists: a first save leaves no
// error behind; the next one keeps the old contents in NAME.bak.
TEST_F(GridEditorFiles, BackupOnlyOfAnExistingFile)
{
    const std::string name = Scratch("backup.csv");
    scratch_.push_back(name + ".bak");
    DeleteFileA(name.c_str());
    DeleteFileA((name + ".bak").c_str());
    SetFileName(name);
    gErrorState.lastCode = 0;
    int result = -1;
    YYGridSaveCSV(window, 0, result, r->filterIndex, 1, 0, -1, -1, -1, -1, r->fileName, "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_FALSE(Exists(name + ".bak"));
    WriteText(name, "old\r\n");
    YYGridSaveCSV(window, 0, result, r->filterIndex, 1, 0, -1, -1, -1, -1, r->fileName, "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(CsvReader(name + ".bak"), (Rows{{"old"}}));
}

// ---- HTML -------------------------------------------------------------------------------------

TEST_F(GridEditorFiles, HtmlDialogProposesAsksKeepsItsOptionsAndWritesCleanHtml)
{
    const std::string csv = Scratch("page.csv");
    const std::string html = csv.substr(0, csv.size() - 4) + ".htm";
    scratch_.push_back(html);
    DeleteFileA(html.c_str());
    WindowMakeCurrent(window);
    int id = 0;
    GridPutCellText(id, 0, 0, 0.0, "a < b & c", "");
    WindowMakeCurrent(0);
    SetFileName(csv);
    std::string proposed;
    bool selectionEnabled = true;
    EditorPilot first({[&](HWND w) {
        proposed = ControlText(w, 1002);
        selectionEnabled = IsWindowEnabled(GetDlgItem(w, 1018)) != 0;
        EditorPilot::SetText(w, 1013, "My page");
        EditorPilot::SetText(w, 1015, "3");
        SendDlgItemMessageA(w, 1010, BM_SETCHECK, BST_CHECKED, 0);
        EditorPilot::Click(w, 1);
    }});
    int result = -1;
    YYGridSaveHTMLDialog(window, -1, -1, -1, -1, result, 0, r->fileName.data());
    EXPECT_EQ(result, 1);
    EXPECT_EQ(proposed, html);
    EXPECT_FALSE(selectionEnabled);
    ASSERT_TRUE(Exists(html));
    if (unixtools::Available("/usr/bin/xmllint")) {
        std::string out;
        EXPECT_EQ(unixtools::Run("/usr/bin/xmllint --html --noout '" + unixtools::UnixPath(html) + "'", &out), 0)
            << out;
        EXPECT_TRUE(out.empty()) << out;
    }
    std::stringstream page;
    {
        std::ifstream in(html);
        page << in.rdbuf();
    }
    EXPECT_NE(page.str().find("My page"), std::string::npos);
    EXPECT_NE(page.str().find("a &lt; b &amp; c"), std::string::npos);

    // The file exists now: No keeps the dialog up, Yes replaces; the options
    // come back; a block selection is offered and chosen.
    std::string title, border;
    bool centre = false, selection = false;
    HWND shown = nullptr;
    // A box's answer, then the dialog's button BUTTON once the box has gone.
    auto answerThen = [&](int answer, int button) {
        return [&shown, answer, button](HWND box) {
            EditorPilot::Press(answer)(box);
            PilotSteps::PostWhenIdle(shown, button);
        };
    };
    EditorPilot second({[&](HWND w) {
                            shown = w;
                            title = ControlText(w, 1013);
                            border = ControlText(w, 1015);
                            centre = SendDlgItemMessageA(w, 1010, BM_GETCHECK, 0, 0) == BST_CHECKED;
                            selection = SendDlgItemMessageA(w, 1018, BM_GETCHECK, 0, 0) == BST_CHECKED;
                            EditorPilot::Click(w, 1);
                        },
                        answerThen(IDNO, 1), EditorPilot::Press(IDYES)});
    YYGridSaveHTMLDialog(window, 0, 0, 0, 0, result, 0, r->fileName.data());
    EXPECT_EQ(result, 1);
    EXPECT_EQ(title, "My page");
    EXPECT_EQ(border, "3");
    EXPECT_TRUE(centre);
    EXPECT_TRUE(selection);
    ASSERT_EQ(second.Seen().size(), 3u);
    EXPECT_EQ(second.Seen()[1].title, "Select File");
    EXPECT_EQ(second.Seen()[1].text, html + " already exists\rDo you want to replace it?");

    // The name replaces the extension of the file part only; an empty name
    // is refused with its box.
    const std::string dotted = "C:\\my.dir\\data";
    EditorPilot third({[&](HWND w) {
                           shown = w;
                           proposed = ControlText(w, 1002);
                           EditorPilot::SetText(w, 1002, "");
                           EditorPilot::Click(w, 1);
                       },
                       answerThen(IDOK, 2)});
    YYGridSaveHTMLDialog(window, -1, -1, -1, -1, result, 0, dotted);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(proposed, "C:\\my.dir\\data.htm");
    ASSERT_EQ(third.Seen().size(), 2u);
    EXPECT_EQ(third.Seen()[1].title, "Select File");
    EXPECT_EQ(third.Seen()[1].text, "You must enter a filename");
}

// ---- Nothing lost -----------------------------------------------------------------------------

// The temporary files of a save left in the folder of NAME.
std::vector<std::string> TemporaryFiles(const std::string& name)
{
    std::vector<std::string> found;
    const std::string folder = name.substr(0, name.rfind('\\') + 1);
    WIN32_FIND_DATAA e;
    HANDLE f = FindFirstFileA((folder + "~kq*.tmp").c_str(), &e);
    if (f != INVALID_HANDLE_VALUE) {
        do
            found.push_back(e.cFileName);
        while (FindNextFileA(f, &e));
        FindClose(f);
    }
    return found;
}

// Save through the editor's command onto a disk that fills up: the write
// comes back short, the box says so, the old file stays whole (the save went
// to a temporary file that never replaced it), the grid stays modified and
// closing still asks. Once the disk has room the same Save writes the file.
TEST_F(GridEditorFiles, AFailedSaveLeavesTheOldFileWholeAndTheGridModified)
{
    const std::string name = Scratch("whole.csv");
    const std::string old = "\"old\",1,1,1,Yes,b,\"kept\"\r\n";
    WriteText(name, old);
    SetFileName(name);
    GridRecord* g = GridRecordOf(r->grid);
    for (int row = 0; row < 20; ++row)
        PutText(g, 0, row, std::string(20, 'n').c_str());
    g->modified = 1;
    {
        WriteLimit full(100);
        EditorPilot pilot({EditorPilot::Press(IDOK)});
        SendMessageA(frame, WM_COMMAND, kGridEdSave, 0);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].title, "File Error");
        EXPECT_EQ(pilot.Seen()[0].text, "Error writing file");
    }
    std::vector<uint8_t> bytes = ReadAll(name);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), old);
    EXPECT_TRUE(TemporaryFiles(name).empty());
    EXPECT_EQ(g->modified, 1);
    {
        EditorPilot pilot({EditorPilot::Press(IDCANCEL)});
        EXPECT_EQ(GridEditorSavePrompt(frame), 0);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].text, "Do you want to save changes to " + name + "?");
    }
    EditorPilot none({});
    SendMessageA(frame, WM_COMMAND, kGridEdSave, 0);
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(g->modified, 0);
    // The first cell is the current one, saved as its editor shows it.
    EXPECT_EQ(CsvReader(name).at(1).at(0), std::string(20, 'n'));
    EXPECT_TRUE(TemporaryFiles(name).empty());
}

// Files that must not be adopted when an editor is made with them: a name
// longer than the editor's field (its first 259 characters name a CSV file
// that must not be read in its place), and a file with a field too long to
// read. Each shows its box; the editor keeps no name and the grid nothing of
// the file.
TEST_F(GridEditorFiles, ANameTooLongOrAFileThatCannotBeReadIsNotAdopted)
{
    const std::string folder = Scratch("").substr(0, Scratch("").rfind('\\'));
    std::string cut;
    const std::string longName = NameCutOnto(folder, cut);
    scratch_.push_back(folder + "\\" + cut);
    WriteText(folder + "\\" + cut, "cut,1,1,1,Y,b,z\r\n");
    const std::string tooLong = Scratch("toolong.csv");
    WriteText(tooLong, "new,1,1,1,Y,b,z\r\n" + std::string(70000, 'x') + "\r\n");
    struct Case {
        std::string name;
        const char* text;
        int osError;
    };
    for (const Case& c : {Case{longName, "Error opening file", ERROR_FILENAME_EXCED_RANGE},
                          Case{tooLong, "Error reading file", 0}}) {
        SCOPED_TRACE(c.text);
        const int w = OpenWindow();
        ASSERT_GT(w, 0);
        EditorPilot pilot({EditorPilot::Press(IDOK)});
        int status = -1;
        GridEditorCreate(status, field, 2, 0, 0, -1, -1, c.name, "");
        EXPECT_EQ(status, 0);
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].title, "File Error");
        EXPECT_EQ(pilot.Seen()[0].text, c.text);
        if (c.osError) {
            EXPECT_EQ(gErrorState.osError, c.osError);
        }
        GridEditorRecord* made = GridEditorRecordOf(gWindowTable.frame[w]);
        ASSERT_NE(made, nullptr);
        EXPECT_STREQ(made->fileName.data(), "");
        EXPECT_EQ(CellText(made, 0, 0), CellText(r, 0, 0)) << "the grid holds what the template held";
        WindowMakeCurrent(0);
    }
}

// ---- Bad input --------------------------------------------------------------------------------

// A name longer than a path can be fails to open: the box, nothing saved and
// the editor's name unchanged; a filter over 1,000 characters is cut to what
// the editor keeps and the dialog still runs.
TEST_F(GridEditorFiles, OverlongNamesAndFilters)
{
    const std::string longName = "C:\\" + std::string(300, 'n') + ".htm";
    EditorPilot pilot({[&](HWND w) {
                           EditorPilot::SetText(w, 1002, longName);
                           EditorPilot::Click(w, 1);
                       },
                       EditorPilot::Press(IDOK)});
    int result = -1;
    YYGridSaveHTMLDialog(window, -1, -1, -1, -1, result, 0, "");
    EXPECT_EQ(result, 0);
    ASSERT_EQ(pilot.Seen().size(), 2u);
    EXPECT_EQ(pilot.Seen()[1].title, "File Error");
    EXPECT_EQ(pilot.Seen()[1].text, "Error opening file");

    std::string filter;
    while (filter.size() < 1200)
        filter += "CSV Files|*.csv|";
    SetFileName("");
    EditorPilot cancel({EditorPilot::Press(IDCANCEL)});
    result = -1;
    YYGridSaveCSV(window, 1, result, r->filterIndex, 0, 0, -1, -1, -1, -1, r->fileName, filter);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FileName(), "");
}

} // namespace

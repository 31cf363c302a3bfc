// The file and folder dialogs shown for real and driven by the autopilot: the
// initial folder and name, the filters, the answers kept, the current
// directory, multiple choice and a buffer too short; the filter texts and the
// path splitting as tables; the folder dialog's edit field and its boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "dialogs/common_dialogs.h"
#include "pilot_steps.h"
#include "support/child_process.h"
#include "windowed_fixture.h"

namespace {

using startup_test::NewScratchFolder;
using startup_test::WriteFile;

constexpr int kNameBox = 0x47C;   // the file name box of the platform's file dialog
constexpr int kFilterBox = 0x470; // its list of filters

// What the file dialog showed when it came up.
struct FileDialogView {
    std::string title, folder, name;
    int filters = -1;
};

FileDialogView ReadFileDialog(HWND dialog)
{
    FileDialogView v;
    v.title = WindowText(dialog);
    char folder[MAX_PATH] = {};
    SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    v.folder = folder;
    v.name = ControlText(dialog, kNameBox);
    v.filters = static_cast<int>(SendDlgItemMessageA(dialog, kFilterBox, CB_GETCOUNT, 0, 0));
    return v;
}

// Types NAME into the file name box and confirms.
void Choose(HWND dialog, const std::string& name)
{
    SetDlgItemTextA(dialog, kNameBox, name.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

std::string CurrentDirectory()
{
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

class FileDialogs : public WindowedDialogs {
protected:
    void SetUp() override
    {
        WindowedDialogs::SetUp();
        root_ = NewScratchFolder();
        ASSERT_FALSE(root_.empty());
        data_ = root_ + "\\data";
        other_ = root_ + "\\other";
        CreateDirectoryA(data_.c_str(), nullptr);
        CreateDirectoryA(other_.c_str(), nullptr);
        for (const char* f : {"run1.csv", "a.csv", "b.csv"})
            WriteFile(data_ + "\\" + f, "1\n");
        WriteFile(other_ + "\\c.csv", "2\n");
        saved_ = CurrentDirectory();
        SetCurrentDirectoryA(root_.c_str());
        gDialogStatus.lastAnswer = -7;
        gDialogStatus.previousField = 33;
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(saved_.c_str());
        WindowedDialogs::TearDown();
    }
    std::string root_, data_, other_, saved_;
};

const std::string kCsvFilter = std::string("CSV files|*.csv|All files|*.*|") + '\0' + "not read";

TEST_F(FileDialogs, OpensInTheFolderOfThePathProposesItsNameAndReturnsTheChoice)
{
    FileDialogView seen;
    ModalPilot pilot([&](HWND d) {
        seen = ReadFileDialog(d);
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    FixedText<200> name(data_ + "\\run1.csv");
    int index = 1;
    WSelectFile(-1, kCsvFilter, 0, name, "Open data  ", &index);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(seen.title, "Open data");
    EXPECT_EQ(seen.folder, data_);
    EXPECT_EQ(seen.name, "run1.csv");
    EXPECT_EQ(seen.filters, 2) << "two descriptions and two patterns; the text ends at its NUL";
    EXPECT_EQ(gDialogStatus.lastAnswer, 1);
    EXPECT_EQ(gDialogStatus.previousField, 0);
    EXPECT_EQ(name.trimmed(), data_ + "\\run1.csv");
    EXPECT_EQ(index, 1);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(CurrentDirectory(), root_) << "restored without bit 3";
}

TEST_F(FileDialogs, ABlankPathOpensInTheCurrentFolderAndCancelChangesNothing)
{
    FileDialogView seen;
    ModalPilot pilot([&](HWND d) {
        seen = ReadFileDialog(d);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    SetCurrentDirectoryA(data_.c_str());
    FixedText<100> name;
    WSelectFile(0, "", 0, name);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(seen.title, "Select File");
    EXPECT_EQ(seen.folder, data_);
    EXPECT_EQ(seen.name, "");
    EXPECT_EQ(seen.filters, 0);
    EXPECT_EQ(gDialogStatus.lastAnswer, 0);
    EXPECT_EQ(gDialogStatus.previousField, 0);
    EXPECT_EQ(name.view(), std::string(100, ' '));
    EXPECT_EQ(gErrorState.lastCode, 0) << "a cancel is no error";
    EXPECT_EQ(CurrentDirectory(), data_);
}

TEST_F(FileDialogs, Bit3KeepsTheFolderTheUserWentTo)
{
    for (int flags : {0, static_cast<int>(kSelectKeepDirectory)}) {
        SCOPED_TRACE(flags);
        SetCurrentDirectoryA(root_.c_str());
        // The user goes to the other folder, then chooses a file there.
        PilotSteps steps({[&](HWND d) { Choose(d, other_); }, [](HWND d) { Choose(d, "c.csv"); }});
        ModalPilot pilot([&](HWND d) { steps.Start(d); });
        FixedText<200> name(data_ + "\\run1.csv");
        WSelectFile(-1, kCsvFilter, flags, name);
        ASSERT_EQ(pilot.Runs(), 1);
        EXPECT_EQ(steps.Done(), 2u);
        EXPECT_EQ(name.trimmed(), other_ + "\\c.csv");
        EXPECT_EQ(CurrentDirectory(), flags ? other_ : root_);
    }
}

TEST_F(FileDialogs, SeveralFilesComeBackAsTheFolderAndTheNamesSeparatedByNuls)
{
    ModalPilot pilot([&](HWND d) { Choose(d, "\"a.csv\" \"b.csv\""); });
    FixedText<200> name(data_ + "\\");
    WSelectFile(-1, kCsvFilter, kSelectMultiple | kSelectMustExist, name);
    ASSERT_EQ(pilot.Runs(), 1);
    ASSERT_EQ(gDialogStatus.lastAnswer, 1);
    const std::string expected = data_ + '\0' + "a.csv" + '\0' + "b.csv";
    EXPECT_EQ(std::string(name.view().substr(0, expected.size())), expected);
    EXPECT_EQ(TrimRight(name.view().substr(expected.size())), "") << "blank-padded after the names";
}

TEST_F(FileDialogs, TheChosenFilterComesBackFromATextOrAStringResource)
{
    struct Case {
        int ifilter;
        std::string text;
    };
    for (const Case& c : {Case{-1, kCsvFilter}, Case{640, "ignored"}}) {
        SCOPED_TRACE(c.ifilter);
        std::string second;
        ModalPilot pilot([&](HWND d) {
            HWND box = GetDlgItem(d, kFilterBox);
            char item[100] = {};
            SendMessageA(box, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
            second = item;
            SendMessageA(box, CB_SETCURSEL, 1, 0);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(kFilterBox, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
            Choose(d, data_ + "\\a.csv");
        });
        FixedText<200> name;
        int index = 1;
        WSelectFile(c.ifilter, c.text, 0, name, "", &index);
        ASSERT_EQ(pilot.Runs(), 1);
        EXPECT_EQ(second, c.ifilter == -1 ? "All files" : "Data files (*.csv)");
        EXPECT_EQ(index, 2);
    }
}

TEST_F(FileDialogs, ANameTooShortForTheChosenPathGivesAnErrorAndKeepsIt)
{
    ModalPilot pilot([&](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); });
    SetCurrentDirectoryA(data_.c_str());
    FixedText<12> name("run1.csv");
    WSelectFile(-1, kCsvFilter, 0, name);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(gDialogStatus.lastAnswer, 0);
    EXPECT_EQ(gErrorState.lastCode, 1004);
    EXPECT_EQ(name.view(), "run1.csv    ");
}

TEST_F(FileDialogs, AFilterThatDoesNotFitShowsNoDialog)
{
    ModalPilot pilot([&](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    FixedText<50> name("x.csv");
    const std::string tooLong = std::string(1023, 'a') + "|";
    WSelectFile(-1, tooLong, 0, name);
    EXPECT_EQ(pilot.Runs(), 0);
    EXPECT_EQ(gErrorState.lastCode, 1004);
    EXPECT_EQ(gDialogStatus.lastAnswer, 0);
    EXPECT_EQ(name.trimmed(), "x.csv");

    // YYSelectFileFiltered cuts its text to 1000 characters: it fits.
    gErrorState.lastCode = 0;
    YYSelectFileFiltered(tooLong + "   ", 0, name, "");
    EXPECT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST(FileFilters, SeparatorsBecomeNulsAndOnlyTextsThatFitAreTaken)
{
    struct Case {
        int id;
        std::string text;
        int result;
        std::string prepared; // the start of the buffer
    };
    const std::string fits = std::string(1021, 'b') + "|x";  // 1023 characters, separator 'x'
    const std::vector<Case> cases = {
        {-1, "CSV|*.csv|", 1, std::string("CSV\0*.csv\0\0", 11)},
        {-1, std::string("A|*.a|\0B|*.b|", 13), 1, std::string("A\0*.a\0\0\0", 8)},
        {-1, "CSV|*.csv", 1, std::string("CSV|*.cs\0\0", 10)}, // the last character is the separator
        {-1, "", 0, std::string(4, '\0')},
        {0, "CSV|*.csv|", 0, std::string(4, '\0')},
        {640, "", 1, std::string("Text files (*.txt)\0*.txt\0", 25)},
        {641, "", 0, std::string(4, '\0')},                   // no such string
        {-1, fits, 1, std::string(1021, 'b') + "|"},
        {-1, fits + "x", -1, std::string(4, '\0')},           // 1024 characters
        {-1, std::string(5000, 'c'), -1, std::string(4, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " text of " << c.text.size());
        std::array<char, kFilterBufferSize> out;
        out.fill('?');
        EXPECT_EQ(FileFilterPrepare(c.id, c.text, out), c.result);
        EXPECT_EQ(std::string(out.data(), c.prepared.size()), c.prepared);
        if (c.result == 1 && c.id == -1 && c.text.size() == 1023) {
            EXPECT_EQ(out[1022], '\0') << "the separator becomes the first closing NUL";
        }
        EXPECT_EQ(out[kFilterBufferSize - 1], '\0');
    }
}

TEST(SplitPath, FolderAndNameOfEveryKindOfPath)
{
    struct Case {
        std::string path, folder, name;
    };
    const std::vector<Case> cases = {
        {"C:\\data\\run1.csv", "C:\\data", "run1.csv"},
        {"C:\\dir\\file.txt", "C:\\dir", "file.txt"},
        {"C:\\", "C:\\", ""},
        {"report.txt", "", "report.txt"},
        {"C:\\dir\\", "C:\\dir", ""},
        {"C:\\dir\\..", "C:\\dir\\..", ""},
        {"..", "..", ""},
        {"C:\\run1.csv", "C:\\", "run1.csv"},  // the root, not the drive's current folder
        {"\\run1.csv", "\\", "run1.csv"},      // the root, not blank
        {"C:run1.csv", "C:", "run1.csv"},      // the drive, not a folder named C
        {"   C:\\x\\y.txt", "C:\\x", "y.txt"}, // left-justified first
        {"\\\\server\\share\\f.txt", "\\\\server\\share", "f.txt"},
        {"\\", "\\", ""},
        {"C:", "C:", ""},
        {"dir\\", "dir\\", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FixedText<40> path(c.path);
        FixedText<20> name("old");
        YYSplitPath(path, name);
        EXPECT_EQ(path.trimmed(), c.folder);
        EXPECT_EQ(name.trimmed(), c.name);
    }
    // A name longer than its buffer is cut; nothing is written past it.
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    FixedText<40> path("C:\\a\\longname.txt");
    YYSplitPath(path, std::span<char>(buffer, 4));
    EXPECT_EQ(std::string(buffer, 8), "long####");
}

// ---- folder dialog -------------------------------------------------------------------

std::string MessageBoxText(HWND box)
{
    std::string longest;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        std::string text = WindowText(c);
        if (lstrcmpiA(cls, "Static") == 0 && text.size() > longest.size())
            longest = text;
    }
    return longest;
}

class FolderDialog : public FileDialogs {};

TEST_F(FolderDialog, AnEditFieldWithThePathTakesThePlaceOfTheTextAboveTheTree)
{
    std::string caption, edit;
    bool textShown = true;
    ModalPilot pilot([&](HWND d) {
        caption = WindowText(d);
        edit = ControlText(d, kFolderEditId);
        textShown = IsWindowVisible(GetDlgItem(d, kFolderTitleId)) != 0;
        SetDlgItemTextA(d, kFolderEditId, other_.c_str());
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    char path[400];
    std::fill(std::begin(path), std::end(path), '#');
    std::copy(data_.begin(), data_.end(), path);
    path[data_.size()] = '\0';
    int answer = 0;
    DirectoryDialogRun(1, answer, 0, path, "Choose a folder");
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(caption, "Choose a folder");
    EXPECT_EQ(edit, data_);
    EXPECT_FALSE(textShown);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(std::string(path), other_);
}

TEST_F(FolderDialog, PathsThatAreNoFolderKeepTheDialogOpenWithTheirBox)
{
    struct Case {
        int flags;
        std::string typed;
        int click;         // the answer to the box
        std::string title; // of the box, empty: no box
        std::string text;
        int answer;
        bool created;
    };
    const std::string missing = root_ + "\\missing";
    const std::vector<Case> cases = {
        {0, missing, IDOK, "Invalid Directory", "The specified directory does not exist.\nSpecify a valid directory.", 2, false},
        {0, data_ + "\\run1.csv", IDOK, "Invalid Directory", "The specified path is not a valid directory name.\nSpecify a valid directory.", 2, false},
        {kFolderOfferCreate, missing, IDNO, "Create Directory?", "The specified directory does not exist.\nDo you wish to create it?", 2, false},
        {kFolderOfferCreate, missing, IDYES, "Create Directory?", "The specified directory does not exist.\nDo you wish to create it?", 1, true},
        {kFolderOfferCreate, root_ + "\\nowhere\\deeper", IDYES, "Create Directory?", "", 2, false},
        {kFolderMayNotExist, missing, IDOK, "", "", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + " flags " + std::to_string(c.flags) + " answer " + std::to_string(c.click));
        RemoveDirectoryA(missing.c_str());
        std::vector<std::string> titles, texts;
        HWND folder = nullptr;
        ModalPilot pilot([&](HWND d) {
            if (!folder) {
                folder = d;
                SetDlgItemTextA(d, kFolderEditId, c.typed.c_str());
                PostMessageA(d, WM_COMMAND, IDOK, 0);
                return;
            }
            const std::string title = WindowText(d);
            titles.push_back(title);
            texts.push_back(MessageBoxText(d));
            PostMessageA(d, WM_COMMAND, title == "Error" ? IDOK : c.click, 0);
            // The folder dialog stays up after the box: cancel it then.
            if (title != "Create Directory?" || c.click != IDYES)
                PilotSteps::PostWhenIdle(folder, IDCANCEL);
        });
        char path[300] = {};
        int answer = 0;
        DirectoryDialogRun(0, answer, c.flags, path, "");
        if (c.title.empty()) { // accepted as typed, without a box
            EXPECT_TRUE(titles.empty());
            EXPECT_EQ(std::string(path), missing);
        } else {
            ASSERT_GE(titles.size(), 1u);
            EXPECT_EQ(titles[0], c.title);
        }
        if (!c.text.empty()) {
            EXPECT_EQ(texts[0], c.text);
        }
        if (c.typed.find("deeper") != std::string::npos) {
            ASSERT_EQ(titles.size(), 2u) << "creating the folder fails: an error box follows";
            EXPECT_EQ(titles[1], "Error");
            EXPECT_EQ(texts[1], "An error occurred creating\nthe specified directory.");
        }
        EXPECT_EQ(answer, c.answer);
        const DWORD attributes = GetFileAttributesA(missing.c_str());
        EXPECT_EQ(attributes != INVALID_FILE_ATTRIBUTES, c.created);
        if (c.created) {
            EXPECT_EQ(std::string(path), missing);
        }
    }
}

TEST_F(FolderDialog, APathLongerThanTheDialogTakesIsCut)
{
    std::string edit;
    ModalPilot pilot([&](HWND d) {
        edit = ControlText(d, kFolderEditId);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    std::string path(400, 'p');
    path.replace(0, 3, "C:\\");
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    int answer = 0;
    DirectoryDialogRun(0, answer, kFolderMayNotExist, std::span<char>(buffer.data(), 300), "");
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(answer, 2);
    EXPECT_EQ(edit.size(), static_cast<size_t>(kFolderPathLength));
    EXPECT_LE(std::string(buffer.data()).size(), static_cast<size_t>(kFolderPathLength));
    EXPECT_EQ(buffer[300], 'p') << "nothing written past the buffer";
}

} // namespace

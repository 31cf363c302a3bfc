// Printing the editor's text on the CUPS PDF printer (the pages counted,
// the text read back and the ink looked for by the host's PDF tools), Print
// Selection, printing without a printer, and the page-setup records.
#include "editor_fixture.h"

#include <climits>
#include <cstring>
#include <fstream>
#include <vector>

#include "dialogs/modal_pilot.h"
#include "hardcopy/unix_tools.h"
#include "support/box_autopilot.h"

namespace {

// The text of 300 numbered lines with Latin-1 letters and TABs, and one line
// of 500 characters (no blank, no hyphen) after line 150.
std::string NumberedText(std::string& longLine)
{
    longLine.clear();
    for (int i = 0; i < 50; ++i)
        longLine += "0123456789";
    std::string text;
    for (int i = 1; i <= 300; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "Line %03d caf\xe9 \xfc\tber\n", i);
        text += line;
        if (i == 150)
            text += longLine + "\n";
    }
    return text;
}

std::string Utf8(const std::string& latin1)
{
    std::string out;
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The PDF in FOLDER whose name holds TAG, waited for.
std::string PdfWith(const std::string& folder, const std::string& tag)
{
    std::string pdf;
    PollUntil([&] {
        WIN32_FIND_DATAA found;
        HANDLE scan = FindFirstFileA((folder + "*" + tag + "*.pdf").c_str(), &found);
        if (scan == INVALID_HANDLE_VALUE)
            return false;
        FindClose(scan);
        pdf = folder + found.cFileName;
        return true;
    }, 90000);
    return pdf;
}

// The whole output of the Unix command once the PDF can be read.
std::string PdfTool(const std::string& command)
{
    std::string out;
    PollUntil([&] { return unixtools::Run(command, &out) == 0; }, 30000);
    return out;
}

int PageCount(const std::string& unixPdf)
{
    std::string info = PdfTool("/usr/bin/pdfinfo '" + unixPdf + "'");
    size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// Dark pixels of each page, from pdftoppm's grey images.
std::vector<int> InkPerPage(const std::string& unixPdf, int pages)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string prefix = std::string(dir) + "kvbink" + std::to_string(GetCurrentProcessId());
    PdfTool("/usr/bin/pdftoppm -r 40 -gray '" + unixPdf + "' '" + unixtools::UnixPath(prefix) + "'");
    std::vector<int> ink;
    for (int p = 1; p <= pages; ++p) {
        // pdftoppm numbers the pages with as many digits as the last needs.
        std::string number = std::to_string(p);
        while (number.size() < std::to_string(pages).size())
            number = "0" + number;
        std::string file = prefix + "-" + number + ".pgm";
        std::ifstream in(file, std::ios::binary);
        std::string magic;
        int w = 0, h = 0, max = 0;
        in >> magic >> w >> h >> max;
        in.get();
        std::vector<char> pixels(static_cast<size_t>(std::max(0, w * h)));
        in.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
        int dark = 0;
        for (char c : pixels)
            dark += static_cast<unsigned char>(c) < 160 ? 1 : 0;
        ink.push_back(magic == "P5" ? dark : -1);
        in.close();
        DeleteFileA(file.c_str());
    }
    return ink;
}

bool PdfToolsPresent(std::string& folder)
{
    folder = unixtools::CupsPdfFolder();
    return !folder.empty() && unixtools::Available("/usr/bin/pdfinfo") &&
           unixtools::Available("/usr/bin/pdftotext") && unixtools::Available("/usr/bin/pdftoppm");
}

bool HasPrinter()
{
    EditorPrinterDefaults();
    return gEditorPageSetupTable.devMode[0] != nullptr;
}

class EditorPrintTest : public EditorTest {
protected:
    void SetUp() override { EditorPrinterDefaultsReset(false); }
    void TearDown() override
    {
        EditorPrinterDefaultsReset(false);
        EditorTest::TearDown();
    }
};

} // namespace

TEST_F(EditorPrintTest, PrintsEveryLineOnItsPages)
{
    std::string folder;
    if (!PdfToolsPresent(folder) || !HasPrinter())
        GTEST_SKIP() << "no CUPS PDF printer or no PDF tools";
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    std::string longLine;
    const std::string text = NumberedText(longLine);
    int status = 0;
    EditorTextSet(status, text);
    const std::string title = "kvbedit" + std::to_string(GetTickCount());
    EditorPrintRange(status, 5, 5, title); // start >= end: the whole text
    ASSERT_EQ(status, 1);
    const int pages = EditorPrintedPages();
    EXPECT_GT(pages, 3);

    const std::string pdf = PdfWith(folder, title);
    ASSERT_FALSE(pdf.empty()) << "no PDF for " << title;
    const std::string unixPdf = unixtools::UnixPath(pdf);
    EXPECT_EQ(PageCount(unixPdf), pages);
    std::string printed = PdfTool("/usr/bin/pdftotext '" + unixPdf + "' -");
    std::string joined; // the lines without their breaks: a wrapped line is whole again
    for (char c : printed)
        if (c != '\n' && c != '\f' && c != '\r')
            joined += c;
    size_t at = 0;
    for (int i = 1; i <= 300; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "Line %03d caf\xe9 \xfc", i);
        const std::string expected = Utf8(line);
        size_t found = joined.find(expected, at);
        ASSERT_NE(found, std::string::npos) << expected << " missing or out of order";
        EXPECT_EQ(joined.find(expected, found + 1), std::string::npos) << expected << " twice";
        at = found + expected.size();
        if (i == 150) {
            EXPECT_NE(joined.find(longLine, at), std::string::npos) << "the long line whole after line 150";
        }
    }
    std::vector<int> ink = InkPerPage(unixPdf, pages);
    ASSERT_EQ(static_cast<int>(ink.size()), pages);
    for (int p = 0; p < pages; ++p)
        EXPECT_GT(ink[static_cast<size_t>(p)], 0) << "page " << p + 1;
    DeleteFileA(pdf.c_str());
}

TEST_F(EditorPrintTest, PrintSelectionPrintsItsRangeOnly)
{
    std::string folder;
    if (!PdfToolsPresent(folder) || !HasPrinter())
        GTEST_SKIP() << "no CUPS PDF printer or no PDF tools";
    const std::string tag = "kvbsel" + std::to_string(GetTickCount());
    const std::string file = Path(tag + ".txt");
    std::string longLine;
    Write(file, NumberedText(longLine));
    EditorRecord* r = Create(0, file);
    ASSERT_NE(r, nullptr);
    int from = 0, to = 0;
    EditorLineIndex(0, 9, from); // lines 10 to 12
    EditorLineIndex(0, 12, to);
    EditorSelectionSet(from, to);
    int dialogs = 0;
    ModalPilot pilot([&](HWND d) {
        ++dialogs;
        ModalPilot::Click(d, IDOK);
    });
    gCurrentEventSlot.type = 0;
    SendMessageA(r->frame, WM_COMMAND, kCmdPrintSelection, 0);
    EXPECT_EQ(dialogs, 1) << "the page setup dialog first";
    EXPECT_EQ(gCurrentEventSlot.type, kEventCommand) << "a printed selection reaches the program";
    EXPECT_EQ(EditorPrintedPages(), 1);
    const std::string pdf = PdfWith(folder, tag);
    ASSERT_FALSE(pdf.empty()) << "no PDF named after " << tag;
    std::string printed = PdfTool("/usr/bin/pdftotext '" + unixtools::UnixPath(pdf) + "' -");
    for (const char* line : {"Line 010", "Line 011", "Line 012"})
        EXPECT_NE(printed.find(line), std::string::npos) << line << "\n" << printed;
    for (const char* line : {"Line 009", "Line 013"})
        EXPECT_EQ(printed.find(line), std::string::npos) << line << "\n" << printed;
    DeleteFileA(pdf.c_str());
}

TEST_F(EditorPrintTest, WithoutAPrinterNothingIsPrinted)
{
    EditorPrinterDefaultsReset(true);
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "text that cannot be printed");
    BoxAutopilot boxes(IDOK);
    status = 9;
    EditorPrintRange(status, 0, 4, "nothing");
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(boxes.Seen().empty()) << "the routine shows no box";
    gCurrentEventSlot.type = 0;
    SendMessageA(r->frame, WM_COMMAND, kCmdPrint, 0);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].title, "Print Error");
    EXPECT_EQ(boxes.Seen()[0].text, "Unable to print text");
    EXPECT_EQ(boxes.Seen()[0].owner, r->frame);
    EXPECT_NE(gCurrentEventSlot.type, kEventCommand) << "nothing printed, no event";
    int value = 5;
    EditorPageSetupGet(5, value, 0);
    EXPECT_EQ(value, 0);
    EditorPageSetupSet(5, 1, 0); // no printer settings: nothing changes
    EditorPageSetupGet(5, value, 0);
    EXPECT_EQ(value, 0);
    status = 9;
    WindowMakeCurrent(0);
    EditorPrintRange(status, 0, 4, "nothing");
    EXPECT_EQ(status, 0) << "not an editor";
}

TEST_F(EditorPrintTest, ALayoutWithoutRoomPrintsNothing)
{
    if (!HasPrinter())
        GTEST_SKIP() << "no printer";
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "some text");
    PAGESETUPDLGA& p = gEditorPageSetupTable.record[0];
    p.Flags = PSD_INTHOUSANDTHSOFINCHES;
    p.ptPaperSize = {8500, 11000};
    p.rtMargin = {1000, 6000, 1000, 5000}; // top and bottom meet: no height
    status = 9;
    EditorPrintRange(status, 0, 0, "kvbnothing");
    EXPECT_EQ(status, 0);
    p.rtMargin = {INT_MAX, INT_MIN, INT_MIN, INT_MAX}; // extreme values: clamped, still no room
    EditorPrintRange(status, 0, 0, "kvbnothing");
    EXPECT_EQ(status, 0);
}

TEST_F(EditorPrintTest, PageSetupValuesInPoints)
{
    if (!HasPrinter())
        GTEST_SKIP() << "no printer";
    int accepted = 0, value = 0;
    ModalPilot pilot([](HWND d) { ModalPilot::Click(d, IDOK); });
    EditorPageSetup(1, 0, accepted);
    ASSERT_EQ(accepted, 1);
    PAGESETUPDLGA& p = gEditorPageSetupTable.record[0];
    EXPECT_TRUE(p.Flags & PSD_INTHOUSANDTHSOFINCHES);
    EditorPageSetupSet(3, 72, 0); // one inch
    EXPECT_EQ(p.rtMargin.left, 1000);
    EditorPageSetupGet(3, value, 0);
    EXPECT_EQ(value, 72);
    EditorPageSetupSet(4, 36, 0);
    EXPECT_EQ(p.rtMargin.top, 500);
    EditorPageSetupSet(1, 144, 0);
    EXPECT_EQ(p.rtMargin.right, 3000);
    EditorPageSetupGet(1, value, 0);
    EXPECT_EQ(value, 144);
    EditorPageSetupSet(2, 720, 0);
    EditorPageSetupGet(2, value, 0);
    EXPECT_EQ(value, 720);

    // Millimetres: the values are converted by 2.54065, truncated.
    p.rtMargin = {1000, 1000, 1000, 1000};
    EditorPageSetup(2, 0, accepted);
    ASSERT_EQ(accepted, 1);
    EXPECT_TRUE(p.Flags & PSD_INHUNDREDTHSOFMILLIMETERS);
    EXPECT_EQ(p.rtMargin.left, 2540);
    EditorPageSetupGet(3, value, 0);
    EXPECT_EQ(value, 72);

    // Orientation: the paper turns once.
    EditorPageSetupGet(5, value, 0);
    ASSERT_EQ(value, 0) << "the printer starts in portrait";
    POINT paper = p.ptPaperSize;
    EditorPageSetupSet(5, 1, 0);
    EditorPageSetupGet(5, value, 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(p.ptPaperSize.x, paper.y);
    EXPECT_EQ(p.ptPaperSize.y, paper.x);
    EditorPageSetupSet(5, 1, 0);
    EXPECT_EQ(p.ptPaperSize.x, paper.y) << "a second call changes nothing";
    // Value 2: portrait, and a margin box wider than high is turned too.
    p.rtMargin = {100, 200, 5100, 1200};
    EditorPageSetupSet(5, 2, 0);
    EXPECT_EQ(p.ptPaperSize.x, paper.x);
    EXPECT_EQ(p.rtMargin.right, 100 + 1000);
    EXPECT_EQ(p.rtMargin.bottom, 200 + 5000);

    // Bad input changes nothing; values near the limits are clamped.
    const PAGESETUPDLGA before = p;
    EditorPageSetupSet(5, 7, 0);
    EditorPageSetupSet(3, 10, 2);
    EditorPageSetupSet(3, 10, -1);
    EditorPageSetup(1, 5, accepted);
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(std::memcmp(&before, &p, sizeof p), 0);
    EditorPageSetupSet(3, INT_MAX, 0);
    EXPECT_EQ(p.rtMargin.left, INT_MAX);
    EditorPageSetupSet(1, INT_MAX, 0);
    EXPECT_EQ(p.rtMargin.right, INT_MAX);
    EditorPageSetupGet(1, value, 0);
    EXPECT_EQ(value, 0);
    EditorPageSetupSet(3, INT_MIN, 0);
    EditorPageSetupGet(3, value, 0);
    EXPECT_EQ(value, static_cast<int>(static_cast<long long>(INT_MIN) * 72 / 2540));
    EditorPageSetupGet(1, value, 5);
    EXPECT_EQ(value, 0);
}

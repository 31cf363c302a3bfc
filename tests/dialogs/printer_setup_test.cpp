// Page setup, print setup and the printer services on the CUPS PDF printer
// that scripts/printer-setup.sh configures (the tests skip without it): its
// papers and bin, paper sizes in both unit systems, the library's dialog on
// it, the print setup behind "Printer", and a plot printed after an accepted
// US Letter setup that arrives as a Letter page. Without a default printer:
// nothing is accepted and nothing kept.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/page_setup_dialog.h"
#include "dialogs/printer_services.h"
#include "graphics/device_ops.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/printer_driver.h"
#include "hardcopy/unix_tools.h"
#include "pilot_steps.h"
#include "windowed_fixture.h"

namespace {

// True when the system has a default printer (asked without any box).
bool DefaultPrinterExists()
{
    PRINTDLGA probe{};
    probe.lStructSize = sizeof probe;
    probe.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&probe))
        return false;
    GlobalFree(probe.hDevMode);
    GlobalFree(probe.hDevNames);
    return true;
}

std::vector<std::string> PaperNames(int count)
{
    std::vector<char> names(static_cast<size_t>(count) * 64, '\0');
    PrinterNameList(1, std::as_writable_bytes(std::span<char>(names)));
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        std::string_view item(names.data() + static_cast<size_t>(i) * 64, 64);
        out.emplace_back(item.substr(0, item.find('\0')));
    }
    return out;
}

// Resets what the page setup and the printer settings keep, before and after.
class PrinterSetup : public WindowedDialogs {
protected:
    void SetUp() override
    {
        WindowedDialogs::SetUp();
        Reset();
        if (!DefaultPrinterExists())
            GTEST_SKIP() << "no default printer: run scripts/printer-setup.sh for the CUPS PDF printer";
    }
    void TearDown() override
    {
        Reset();
        if (record_.hDevMode)
            GlobalFree(record_.hDevMode);
        if (record_.hDevNames)
            GlobalFree(record_.hDevNames);
        WindowedDialogs::TearDown();
    }
    static void Reset()
    {
        PageSetupState& s = gPageSetupState;
        for (HGLOBAL h : {s.devMode, s.devNames, s.print.hDevMode, s.print.hDevNames})
            if (h)
                GlobalFree(h);
        s = PageSetupState{};
        gGdiPrinterSettings = GdiPrinterSettings{};
    }
    // The default printer's page setup record, in use for the services.
    void RecordInUse()
    {
        record_.lStructSize = sizeof record_;
        record_.Flags = PSD_RETURNDEFAULT | PSD_INTHOUSANDTHSOFINCHES;
        ASSERT_TRUE(PageSetupDlgA(&record_));
        gPageSetupState.record = &record_;
    }
    // Runs PageSetupDialogRun through the library's dialog, choosing PAPER.
    int ChooseLibraryPaper(const std::string& paper, int units, int v[8])
    {
        gPageSetupState.choice = PageSetupChoice::Library;
        std::vector<std::string> seen;
        ModalPilot pilot([&](HWND d) {
            HWND combo = GetDlgItem(d, kPagePapers);
            const auto n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < n; ++i) {
                char text[80] = {};
                SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                seen.emplace_back(text);
            }
            auto at = std::find(seen.begin(), seen.end(), paper);
            SetFocus(combo);
            SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at - seen.begin()), 0);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(kPagePapers, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            PilotSteps::PostWhenIdle(d, IDOK);
        });
        int colours = -1, accepted = -1;
        PageSetupDialogRun(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], units, colours, accepted);
        gPageSetupState.choice = PageSetupChoice::Automatic;
        EXPECT_EQ(pilot.Runs(), 1);
        EXPECT_EQ(seen.size(), 65u);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        return accepted;
    }
    PAGESETUPDLGA record_{};
};

TEST_F(PrinterSetup, ThePdfPrinterListsItsPapersBinAndSizes)
{
    RecordInUse();
    int papers = 0, bins = 0;
    PrinterNameCount(1, papers);
    PrinterNameCount(2, bins);
    EXPECT_EQ(papers, 65);
    EXPECT_EQ(bins, 1);
    std::vector<std::string> names = PaperNames(papers);
    auto letter = std::find(names.begin(), names.end(), "US Letter");
    ASSERT_NE(letter, names.end());
    const int position = static_cast<int>(letter - names.begin());
    std::vector<uint16_t> ids(static_cast<size_t>(papers) + 4, 0xBEEF);
    PrinterNameList(3, std::as_writable_bytes(std::span<uint16_t>(ids.data(), static_cast<size_t>(papers))));
    EXPECT_EQ(ids[static_cast<size_t>(position)], DMPAPER_LETTER);
    EXPECT_EQ(ids[static_cast<size_t>(papers)], 0xBEEF) << "nothing past the list";

    int w = -1, h = -1;
    PrinterPaperDims(position, 5, w, h); // the caller's count does not bound the printer's list
    EXPECT_EQ(w, 2159);
    EXPECT_EQ(h, 2794);
    PrinterPaperDims(papers, 1000, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    PrinterPaperDims(-1, 1000, w, h);
    EXPECT_EQ(w, 0);

    // A list shorter than the printer's: only what fits is written.
    char shortList[70];
    std::fill(std::begin(shortList), std::end(shortList), '#');
    PrinterNameList(1, std::as_writable_bytes(std::span<char>(shortList, 64)));
    EXPECT_EQ(std::string(shortList + 64, 6), "######");

    // The paper and source of the settings, set and read back; -1 leaves one.
    int paper = 0, source = 0;
    PrinterPaperGet(paper, source);
    const int firstSource = source;
    PrinterPaperSet(DMPAPER_LETTER, -1);
    PrinterPaperGet(paper, source);
    EXPECT_EQ(paper, DMPAPER_LETTER);
    EXPECT_EQ(source, firstSource);
    PrinterPaperSet(-1, -1);
    PrinterPaperGet(paper, source);
    EXPECT_EQ(paper, DMPAPER_LETTER);

    // Without a record every service answers "none".
    gPageSetupState.record = nullptr;
    PrinterNameCount(1, papers);
    PrinterPaperGet(paper, source);
    PrinterPaperDims(position, 65, w, h);
    EXPECT_EQ(papers, 0);
    EXPECT_EQ(paper, -1);
    EXPECT_EQ(source, -1);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    std::fill(std::begin(shortList), std::end(shortList), '#');
    PrinterNameList(1, std::as_writable_bytes(std::span<char>(shortList, 64)));
    EXPECT_EQ(shortList[0], '#');
    PrinterPaperSet(1, 1); // nothing to set, nothing breaks
}

TEST_F(PrinterSetup, USLetterInTheLibraryDialogGivesItsSizeInBothUnits)
{
    struct Case {
        int units, width, height;
    };
    for (const Case& c : {Case{0, 8499, 10999}, Case{2, 21590, 27940}}) {
        SCOPED_TRACE(c.units);
        int v[8] = {8000, 9000, 6000, 7000, 1000, 1000, 0, 1};
        ASSERT_EQ(ChooseLibraryPaper("US Letter", c.units, v), 1);
        EXPECT_EQ(v[0], c.width);
        EXPECT_EQ(v[1], c.height);
        EXPECT_EQ(gPageSetupState.printerChosen, 1);
        const GdiPrinterSettings& p = gGdiPrinterSettings;
        EXPECT_TRUE(p.dialogInForce);
        EXPECT_EQ(std::string(p.device), "PDF");
        EXPECT_EQ(p.dialogMode.dmPaperSize, DMPAPER_LETTER);
        EXPECT_EQ(p.paperWidth, c.width);
        EXPECT_EQ(p.paperInThousandthsInch, c.units == 0);
    }
}

TEST_F(PrinterSetup, PrinterOpensPrintSetupOnThePrinterOfThePageSetup)
{
    RecordInUse();
    std::vector<std::string> titles;
    ModalPilot pilot([&](HWND d) {
        titles.push_back(WindowText(d));
        if (titles.size() == 1) {
            ModalPilot::Click(d, kPagePrinter);
        } else {
            // Print Setup: landscape, confirmed.
            CheckRadioButton(d, 0x420, 0x421, 0x421);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(0x421, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, 0x421)));
            PostMessageA(d, WM_COMMAND, IDOK, 0);
            PilotSteps::PostWhenIdle(GetWindow(d, GW_OWNER), IDOK);
        }
    });
    int v[9] = {8267, 11692, 6267, 9692, 1000, 1000, 0, 1, 0};
    int result = -5;
    YYPageSetupDialog(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], result);
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0], "Page Setup");
    EXPECT_EQ(titles[1], "Print Setup");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(v[6], 1) << "landscape from the print setup";
    EXPECT_GT(v[0], v[1]);
}

TEST_F(PrinterSetup, APlotAfterAUSLetterSetupIsPrintedOnLetter)
{
    const std::string folder = unixtools::CupsPdfFolder();
    if (!unixtools::Available("/usr/bin/pdfinfo") || folder.empty())
        GTEST_SKIP() << "pdfinfo or the Unix home folder is missing: the printed page cannot be measured";
    int v[8] = {8267, 11692, 6267, 9692, 1000, 1000, 0, 1};
    ASSERT_EQ(ChooseLibraryPaper("US Letter", 0, v), 1);

    // The Windows printer driver started again on the settings in force.
    HardcopyState& h = gHardcopyState;
    const HardcopyState saved = h;
    h.dispatchDriver = kDriverWindowsPrinter;
    h.printerSetup = 0;
    gDeviceParameterBlock.N = 0;
    XXWIN(DeviceOp::kInitialise);
    ASSERT_EQ(gPrinterDrawingState.infoError, 0);
    const std::string title = "kvbtest_letter_" + std::to_string(GetTickCount());
    std::string_view titleView = title;
    YYHardcopyOpen(nullptr, &titleView);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.X[0] = 10;
    b.Y[0] = 10;
    b.X[1] = 200;
    b.Y[1] = 100;
    YYHardcopyCallIfOpen(DeviceOp::kLine);
    std::string_view close = "S";
    YYHardcopyOpen(&close);
    h = saved;

    const std::string pdf = unixtools::CupsPdfFile(folder, title);
    ASSERT_FALSE(pdf.empty()) << "no PDF named after " << title << " in " << folder;
    std::string info;
    ASSERT_TRUE(PollUntil([&] {
        return unixtools::Run("/usr/bin/pdfinfo '" + unixtools::UnixPath(pdf) + "'", &info) == 0;
    }, 30000)) << info;
    DeleteFileA(pdf.c_str());
    const size_t at = info.find("Page size:");
    ASSERT_NE(at, std::string::npos) << info;
    double w = 0, h2 = 0;
    ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &w, &h2), 2) << info;
    EXPECT_NEAR(std::min(w, h2), 612.0, 1.0) << info;
    EXPECT_NEAR(std::max(w, h2), 792.0, 1.0) << "a Letter page, not the default A4\n" << info;
}

// ---- without a printer -------------------------------------------------------------------

// No default printer while it lives: the system profile's default printer
// entry is taken away, and put back at the end.
class NoDefaultPrinter {
public:
    NoDefaultPrinter()
    {
        GetProfileStringA("windows", "device", "", saved_, sizeof saved_);
        WriteProfileStringA("windows", "device", nullptr);
    }
    ~NoDefaultPrinter()
    {
        if (saved_[0])
            WriteProfileStringA("windows", "device", saved_);
    }
    NoDefaultPrinter(const NoDefaultPrinter&) = delete;
    NoDefaultPrinter& operator=(const NoDefaultPrinter&) = delete;

private:
    char saved_[600] = {};
};

class PrinterAbsent : public PrinterSetup {
protected:
    void SetUp() override
    {
        WindowedDialogs::SetUp();
        Reset();
    }
};

TEST_F(PrinterAbsent, NothingIsAcceptedAndNothingKept)
{
    NoDefaultPrinter absent;
    ASSERT_FALSE(DefaultPrinterExists());
    std::vector<std::string> boxes;
    ModalPilot pilot([&](HWND d) {
        boxes.push_back(WindowText(d));
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    int v[8] = {8500, 11000, 6500, 9000, 1000, 1000, 0, 1};
    int colours = -1, accepted = -1;
    PageSetupDialogRun(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], 0, colours, accepted);
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(v[0], 8500);
    EXPECT_EQ(v[4], 1000);
    EXPECT_EQ(colours, -1);
    EXPECT_EQ(gPageSetupState.devMode, nullptr);
    EXPECT_EQ(gPageSetupState.printerChosen, 0);
    EXPECT_FALSE(gGdiPrinterSettings.dialogInForce);
    EXPECT_LE(boxes.size(), 1u) << "at most the platform's note that there is no default printer";
    EXPECT_TRUE(Enabled(gWindowTable.frame[0])) << "the windows are enabled again";

    const size_t before = boxes.size();
    int orientation = 1, copies = 2;
    PrintDialogRun(orientation, copies, accepted);
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(orientation, 1);
    EXPECT_EQ(copies, 2);
    EXPECT_EQ(boxes.size(), before) << "the print setup fails silently";
}

} // namespace

// The library's page-setup dialog 32010 driven by the autopilot over a
// scripted printer: the margins shown and turned with the page, the paper
// list sorted and selected, paper sizes in both unit systems, a printer
// without bins or papers, the printer dialog, what OK and Cancel return, and
// the state every run leaves as it found it; the preview's pixels; and the
// choice between the library's and the platform's dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/events.h"
#include "dialogs/common_dialogs.h"
#include "dialogs/field_values.h"
#include "dialogs/page_setup_dialog.h"
#include "dialogs/printer_services.h"
#include "graphics/bitmaps.h"
#include "graphics/device_recorder.h"
#include "graphics/graphics_state.h"
#include "pilot_steps.h"
#include "windowed_fixture.h"

namespace {

// A printer made up for the tests: its papers (names exactly as the printer
// gives them, 64 characters each), their ids and sizes in tenths of a
// millimetre, its bins, the current paper and source, and what the dialog
// asked of it.
struct ScriptedPrinter {
    std::vector<std::string> papers{"Letter", "A4", "", "Legal", std::string(64, 'Z')};
    std::vector<int> paperIds{1, 9, 77, 5, 300};
    std::vector<POINT> sizes{{2159, 2794}, {2100, 2970}, {100, 100}, {2159, 3556}, {5000, 6000}};
    std::vector<std::string> bins{"Upper", "Auto"};
    std::vector<int> binIds{1, 7};
    int paper = 9, source = 7;
    std::vector<std::pair<int, int>> stored; // PrinterPaperSet calls
    int printDialogs = 0;
    int printOrientation = 1, printCopies = 3, printAccepted = 1;
};
ScriptedPrinter* gPrinter = nullptr;

void ScriptedCount(int kind, int& count)
{
    count = kind == 1 ? static_cast<int>(gPrinter->papers.size()) : kind == 2 ? static_cast<int>(gPrinter->bins.size()) : 0;
}

void ScriptedList(int kind, std::span<std::byte> list)
{
    std::vector<char> bytes;
    auto names = [&](const std::vector<std::string>& v, size_t size) {
        for (const std::string& n : v) {
            std::string item = n.substr(0, size);
            item.resize(size, '\0');
            bytes.insert(bytes.end(), item.begin(), item.end());
        }
    };
    auto ids = [&](const std::vector<int>& v) {
        for (int id : v) {
            const auto w = static_cast<uint16_t>(id);
            bytes.push_back(static_cast<char>(w & 0xFF));
            bytes.push_back(static_cast<char>(w >> 8));
        }
    };
    if (kind == 1)
        names(gPrinter->papers, 64);
    else if (kind == 2)
        names(gPrinter->bins, 24);
    else if (kind == 3)
        ids(gPrinter->paperIds);
    else if (kind == 4)
        ids(gPrinter->binIds);
    std::memcpy(list.data(), bytes.data(), std::min(list.size(), bytes.size()));
}

void ScriptedGet(int& paper, int& source)
{
    paper = gPrinter->paper;
    source = gPrinter->source;
}

void ScriptedSet(int paper, int source)
{
    gPrinter->stored.emplace_back(paper, source);
}

void ScriptedDims(int index, int, int& width, int& height)
{
    const bool inside = index >= 0 && index < static_cast<int>(gPrinter->sizes.size());
    width = inside ? gPrinter->sizes[static_cast<size_t>(index)].x : 0;
    height = inside ? gPrinter->sizes[static_cast<size_t>(index)].y : 0;
}

void ScriptedPrintDialog(int& orientation, int& copies, int& accepted)
{
    ++gPrinter->printDialogs;
    accepted = gPrinter->printAccepted;
    if (accepted) {
        orientation = gPrinter->printOrientation;
        copies = gPrinter->printCopies;
    }
}

// The values of one run of the dialog.
struct PageValues {
    int paperWidth, paperHeight, printableWidth, printableHeight, left, top, orientation, copies, units;
    bool operator==(const PageValues&) const = default;
};

std::string Shown(HWND dialog, int field)
{
    std::string text = ControlText(dialog, field);
    return std::string(TrimRight(text));
}

std::vector<std::string> ListItems(HWND combo)
{
    std::vector<std::string> items;
    const auto n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[100] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

// Puts TEXT into field ID as typed by the user.
void Type(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
    SendDlgItemMessageA(dialog, id, EM_SETMODIFY, TRUE, 0);
}

// Selects item INDEX of combo box ID as the user does: focus, then the
// selection change.
void ComboChoose(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SetFocus(combo);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

class PageSetupDialog : public WindowedDialogs {
protected:
    void SetUp() override
    {
        WindowedDialogs::SetUp();
        gPrinter = &printer_;
        gPageSetupPrinterServices = {ScriptedCount, ScriptedList, ScriptedGet, ScriptedSet, ScriptedDims,
                                     ScriptedPrintDialog};
    }
    void TearDown() override
    {
        gPageSetupPrinterServices = PageSetupPrinterServicesDefault();
        gPrinter = nullptr;
        WindowedDialogs::TearDown();
    }
    // Runs the dialog on V with STEPS driving it; the result.
    int Run(PageValues& v, std::vector<PilotSteps::Step> steps)
    {
        PilotSteps sequence(std::move(steps));
        ModalPilot pilot([&](HWND d) {
            if (GetDlgItem(d, kPagePreview))
                sequence.Start(d);
        });
        int result = -5;
        YYPageSetupDialog(v.paperWidth, v.paperHeight, v.printableWidth, v.printableHeight, v.left, v.top,
                          v.orientation, v.copies, v.units, result);
        EXPECT_EQ(pilot.Rescued(), 0) << "a step was missed";
        return result;
    }
    ScriptedPrinter printer_;
};

// 8.5 x 11 inches with margins of 1 inch left and right, 0.5 top and bottom.
constexpr PageValues kLetterInches{8500, 11000, 6500, 10000, 1000, 500, 0, 1, 0};

TEST_F(PageSetupDialog, MarginsAreShownInInchesOrMillimetres)
{
    struct Case {
        PageValues values;
        std::string box, left, top, right, bottom;
    };
    const std::vector<Case> cases = {
        {kLetterInches, "Margins (inches)", "1.0", "0.5", "1.0", "0.5"},
        {{21000, 29700, 16000, 24700, 2500, 2500, 0, 1, 2}, "Margins (millimeters)", "25.0", "25.0", "25.0", "25.0"},
        {{8500, 11000, 9000, -999, -999, 500, 0, 1, 0}, "Margins (inches)", "0.0", "0.5", "0.0", "10.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box + " " + c.left);
        std::vector<std::string> seen;
        PageValues v = c.values;
        int result = Run(v, {[&](HWND d) {
                                 for (int f : {kPageMarginsBox, kPageLeft, kPageTop, kPageRight, kPageBottom})
                                     seen.push_back(Shown(d, f));
                                 ModalPilot::Click(d, kPageCancel);
                             }});
        EXPECT_EQ(result, 0);
        EXPECT_EQ(seen, (std::vector<std::string>{c.box, c.left, c.top, c.right, c.bottom}));
        EXPECT_EQ(v, c.values) << "Cancel changes nothing";
    }
}

TEST_F(PageSetupDialog, MarginsTurnWithThePageAndBack)
{
    // Left 1, top 2, right 3, bottom 4 inches on a portrait letter page.
    PageValues v{8500, 11000, 4500, 5000, 1000, 2000, 0, 1, 0};
    std::vector<std::string> landscape, portrait;
    auto margins = [](HWND d) {
        std::vector<std::string> m;
        for (int f : {kPageLeft, kPageTop, kPageRight, kPageBottom})
            m.push_back(Shown(d, f));
        return m;
    };
    int result = Run(v, {[](HWND d) { ModalPilot::Click(d, kPageLandscape); },
                         [&](HWND d) {
                             landscape = margins(d);
                             ModalPilot::Click(d, kPagePortrait);
                         },
                         [&](HWND d) {
                             portrait = margins(d);
                             ModalPilot::Click(d, kPageLandscape);
                         },
                         [](HWND d) { ModalPilot::Click(d, kPageOk); }});
    EXPECT_EQ(landscape, (std::vector<std::string>{"4.0", "1.0", "2.0", "3.0"}));
    EXPECT_EQ(portrait, (std::vector<std::string>{"1.0", "2.0", "3.0", "4.0"}));
    ASSERT_EQ(result, 1);
    // OK in landscape: the paper turned (A4 is the printer's current paper,
    // its size is taken), margins 4, 1, 2, 3.
    EXPECT_EQ(v.orientation, 1);
    EXPECT_EQ(v.paperWidth, 11692);
    EXPECT_EQ(v.paperHeight, 8267);
    EXPECT_EQ(v.left, 4000);
    EXPECT_EQ(v.top, 1000);
    EXPECT_EQ(v.printableWidth, 11692 - 6000);
    EXPECT_EQ(v.printableHeight, 8267 - 4000);
    EXPECT_EQ(printer_.stored, (std::vector<std::pair<int, int>>{{9, 7}}));
}

TEST_F(PageSetupDialog, PapersAreSortedTheCurrentOneSelectedAndItsSizeConverted)
{
    // Letter of 2159 x 2794 tenths of a millimetre: 8499 x 10999 thousandths
    // of an inch (the single-precision divisor lies above 0.254), 21590 x
    // 27940 hundredths of a millimetre.
    for (int units : {0, 2}) {
        SCOPED_TRACE(units);
        printer_.stored.clear();
        std::vector<std::string> papers, sources;
        int selectedPaper = -1, selectedSource = -1;
        PageValues v = kLetterInches;
        v.units = units;
        int result = Run(v, {[&](HWND d) {
                                 papers = ListItems(GetDlgItem(d, kPagePapers));
                                 sources = ListItems(GetDlgItem(d, kPageSources));
                                 selectedPaper = static_cast<int>(SendDlgItemMessageA(d, kPagePapers, CB_GETCURSEL, 0, 0));
                                 selectedSource = static_cast<int>(SendDlgItemMessageA(d, kPageSources, CB_GETCURSEL, 0, 0));
                                 ComboChoose(d, kPagePapers, 2); // Letter
                             },
                             [](HWND d) { ComboChoose(d, kPageSources, 1); }, // Upper
                             [](HWND d) { ModalPilot::Click(d, kPageOk); }});
        ASSERT_EQ(result, 1);
        EXPECT_EQ(papers, (std::vector<std::string>{"A4", "Legal", "Letter", std::string(64, 'Z')}))
            << "sorted, the blank name left out, a name without NUL taken whole";
        EXPECT_EQ(sources, (std::vector<std::string>{"Auto", "Upper"}));
        EXPECT_EQ(selectedPaper, 0) << "the current paper, id 9";
        EXPECT_EQ(selectedSource, 0) << "the current source, id 7";
        EXPECT_EQ(v.paperWidth, units == 0 ? 8499 : 21590);
        EXPECT_EQ(v.paperHeight, units == 0 ? 10999 : 27940);
        EXPECT_EQ(printer_.stored, (std::vector<std::pair<int, int>>{{1, 7}, {1, 1}, {1, 1}}));
    }
}

TEST_F(PageSetupDialog, UnknownIdsSelectTheFirstEntryAndNoBinsStoreNone)
{
    printer_.paper = 12345;
    printer_.bins.clear();
    printer_.binIds.clear();
    std::vector<std::string> sources{"untouched"};
    int selected = -1;
    PageValues v = kLetterInches;
    int result = Run(v, {[&](HWND d) {
                             sources = ListItems(GetDlgItem(d, kPageSources));
                             selected = static_cast<int>(SendDlgItemMessageA(d, kPagePapers, CB_GETCURSEL, 0, 0));
                             ModalPilot::Click(d, kPageOk);
                         }});
    ASSERT_EQ(result, 1);
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(sources.empty());
    EXPECT_EQ(printer_.stored, (std::vector<std::pair<int, int>>{{9, -1}})) << "A4 is first; -1 for no source";
}

TEST_F(PageSetupDialog, WithoutPapersTheSizeInForceStays)
{
    printer_.papers.clear();
    printer_.paperIds.clear();
    PageValues v{8000, 9000, 6000, 7000, 1000, 1000, 0, 2, 0};
    int result = Run(v, {[](HWND d) { ModalPilot::Click(d, kPageOk); }});
    ASSERT_EQ(result, 1);
    EXPECT_EQ(v, (PageValues{8000, 9000, 6000, 7000, 1000, 1000, 0, 2, 0}));
    EXPECT_EQ(printer_.stored, (std::vector<std::pair<int, int>>{{-1, 7}}));
}

TEST_F(PageSetupDialog, ThePrinterDialogTurnsThePageAndTakesCopiesAndPaper)
{
    // The printer dialog is refused once, then confirmed with landscape and
    // 3 copies; the paper list is read again (now without A4).
    PageValues v = kLetterInches;
    int focusAfterRefusal = 0;
    int result = Run(v, {[](HWND d) {
                             gPrinter->printAccepted = 0;
                             ModalPilot::Click(d, kPagePrinter);
                         },
                         [&](HWND d) {
                             focusAfterRefusal = GetFocus() == GetDlgItem(d, kPageOk) ? kPageOk : -1;
                             gPrinter->printAccepted = 1;
                             gPrinter->papers[1] = "";
                             ModalPilot::Click(d, kPagePrinter);
                         },
                         [](HWND d) { ModalPilot::Click(d, kPageOk); }});
    ASSERT_EQ(result, 1);
    EXPECT_EQ(printer_.printDialogs, 2);
    EXPECT_EQ(v.orientation, 1);
    EXPECT_EQ(v.copies, 3);
    // The first paper of the new list is Legal, 2159 x 3556, turned.
    EXPECT_EQ(v.paperWidth, 13999);
    EXPECT_EQ(v.paperHeight, 8499);
    EXPECT_EQ(v.left, 500) << "margins turned with the page: left := old bottom";
    EXPECT_EQ(v.top, 1000);
    EXPECT_EQ(focusAfterRefusal, kPageOk) << "the focus goes to OK";
}

TEST_F(PageSetupDialog, EveryRunLeavesTheStateAsItFoundIt)
{
    HWND other = Load(500, 71);
    ASSERT_NE(other, nullptr);
    for (int enabled : {0, 1}) {
        for (int button : {kPageCancel, kPageOk}) {
            SCOPED_TRACE(std::to_string(enabled) + " " + std::to_string(button));
            WDialogSelect(71);
            EventTypeEnable(kEventFieldChanged, enabled);
            gErrorState.lastCode = 1234;
            PageValues v = kLetterInches;
            const int count = gDialogTable.count;
            int result = Run(v, {[&](HWND d) {
                                     Type(d, kPageLeft, ""); // a blank margin
                                     ModalPilot::Click(d, button);
                                 }});
            EXPECT_EQ(result, button == kPageOk ? 1 : 0);
            EXPECT_EQ(gDialogStatus.currentDialogId, 71);
            EXPECT_EQ(DialogCurrentWindow(), other);
            EXPECT_EQ(gErrorState.lastCode, 1234);
            int now = -1;
            EventTypeEnabled(kEventFieldChanged, now);
            EXPECT_EQ(now, enabled);
            EXPECT_EQ(gDialogTable.count, count) << "the dialog is unloaded";
            if (button == kPageOk) {
                EXPECT_EQ(v.left, 0) << "a blank margin counts as 0";
            }
        }
    }
    // Without a current dialog there is none afterwards either.
    gDialogStatus.currentDialogId = 0;
    gDialogTable.current = 0;
    PageValues v = kLetterInches;
    Run(v, {[](HWND d) { ModalPilot::Click(d, kPageCancel); }});
    EXPECT_EQ(gDialogStatus.currentDialogId, 0);
    EXPECT_EQ(DialogCurrentWindow(), nullptr);
}

TEST_F(PageSetupDialog, ImpossibleMarginsGiveDefinedValues)
{
    PageValues v = kLetterInches;
    int result = Run(v, {[](HWND d) {
                             Type(d, kPageLeft, "1e30");
                             Type(d, kPageRight, "-5");
                             Type(d, kPageTop, "12");
                             ModalPilot::Click(d, kPageOk);
                         }});
    ASSERT_EQ(result, 1);
    EXPECT_EQ(v.printableWidth, 0);
    EXPECT_EQ(v.printableHeight, 0);
    EXPECT_EQ(v.top, 12000);
    EXPECT_GT(v.left, 0);
}

TEST_F(PageSetupDialog, ADialogThatCannotBeLoadedGivesMinusOne)
{
    // A full dialog table: the dialog cannot be loaded.
    for (int i = 1; i <= kDialogTableSize; ++i) {
        int ident = 1000 + i;
        WDialogLoad(500, &ident);
    }
    ASSERT_EQ(gDialogTable.count, kDialogTableSize);
    WDialogSelect(1050);
    gErrorState.lastCode = 0;
    PageValues v = kLetterInches;
    int result = 5;
    YYPageSetupDialog(v.paperWidth, v.paperHeight, v.printableWidth, v.printableHeight, v.left, v.top,
                      v.orientation, v.copies, v.units, result);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(v, kLetterInches);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gDialogStatus.currentDialogId, 1050);
}

// ---- preview ---------------------------------------------------------------------------

// Drawn through a bitmap (the parameter) or straight into the field.
class PageSetupPreview : public PageSetupDialog, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        PageSetupDialog::SetUp();
        dialog_ = Load(kPageSetupDialogId);
        ASSERT_NE(dialog_, nullptr);
        Show(dialog_);
        field_ = GetDlgItem(dialog_, kPagePreview);
        GetClientRect(field_, &size_);
        work_.units = 0;
        work_.scale = 1000.0f;
        work_.paperWidth = 8500;
        work_.paperHeight = 11000;
        if (GetParam()) {
            WBitmapCreate(work_.bitmap, size_.right, size_.bottom);
            ASSERT_GT(work_.bitmap, 0);
        }
    }
    void TearDown() override
    {
        if (work_.bitmap > 0)
            WBitmapDestroy(work_.bitmap);
        PageSetupDialog::TearDown();
    }
    void Margins(const char* left, const char* top, const char* right, const char* bottom)
    {
        Type(dialog_, kPageLeft, left);
        Type(dialog_, kPageTop, top);
        Type(dialog_, kPageRight, right);
        Type(dialog_, kPageBottom, bottom);
    }
    // The preview drawn, then its pixels (from the field's image when it
    // shows one, else from the field).
    std::vector<COLORREF> Draw()
    {
        UpdateWindow(dialog_);
        YYPageSetupPreview(work_);
        const int w = size_.right, h = size_.bottom;
        std::vector<COLORREF> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
        HDC dc = GetDC(field_);
        HDC source = dc;
        HDC memory = nullptr;
        HGDIOBJ old = nullptr;
        auto image = reinterpret_cast<HBITMAP>(SendMessageA(field_, STM_GETIMAGE, IMAGE_BITMAP, 0));
        EXPECT_EQ(image != nullptr, GetParam()) << "the field shows the bitmap's copy";
        if (image) {
            memory = CreateCompatibleDC(dc);
            old = SelectObject(memory, image);
            source = memory;
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[static_cast<size_t>(y * w + x)] = GetPixel(source, x, y);
        if (memory) {
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        ReleaseDC(field_, dc);
        return pixels;
    }
    COLORREF At(const std::vector<COLORREF>& p, int x, int y) const
    {
        return p[static_cast<size_t>(y * size_.right + x)];
    }
    // Black pixels along row Y.
    int BlackInRow(const std::vector<COLORREF>& p, int y) const
    {
        int n = 0;
        for (int x = 0; x < size_.right; ++x)
            n += At(p, x, y) == RGB(0, 0, 0);
        return n;
    }
    // The most black pixels in a row around Y.
    int MostBlackNear(const std::vector<COLORREF>& p, int y) const
    {
        int most = 0;
        for (int r = std::max(y - 2, 0); r <= std::min(y + 2, static_cast<int>(size_.bottom) - 1); ++r)
            most = std::max(most, BlackInRow(p, r));
        return most;
    }
    HWND dialog_ = nullptr;
    HWND field_ = nullptr;
    RECT size_{};
    PageSetupWork work_;
};

TEST_P(PageSetupPreview, TheWhitePageWithItsOutlineAndMarginsOnTheButtonFace)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int w = size_.right, h = size_.bottom;
    ASSERT_GT(w, 40);
    ASSERT_GT(h, 40);
    const int savedTarget = gGraphicsState.targetKind;
    Margins("1.0", "1.0", "1.0", "1.0");
    std::vector<COLORREF> p = Draw();
    // Portrait page 8.5 x 11 over the whole height, centred: half its width
    // is 0.5 x 8.5 / 11 of the field's width.
    const int left = static_cast<int>((0.5 - 0.5 * 8.5 / 11.0) * w);
    EXPECT_EQ(At(p, 1, h / 2), face) << "beside the page";
    EXPECT_EQ(At(p, w / 2, h / 2), RGB(255, 255, 255)) << "the page";
    EXPECT_EQ(At(p, w / 2, 0), RGB(0, 0, 0)) << "the outline's top";
    EXPECT_EQ(At(p, w / 2, h - 1), RGB(0, 0, 0)) << "the outline's bottom";
    EXPECT_EQ(At(p, left - 2, h / 2), face);
    EXPECT_EQ(At(p, left + 3, h / 2), RGB(255, 255, 255));
    const int marginRow = h / 11; // one inch from the top
    EXPECT_GT(MostBlackNear(p, marginRow), 4) << "the dashed top margin";
    EXPECT_EQ(gGraphicsState.targetKind, savedTarget) << "the target is selected again";

    // Margins whose sum reaches the page's width: no margin rectangle.
    Margins("5.0", "1.0", "3.5", "1.0");
    p = Draw();
    EXPECT_EQ(MostBlackNear(p, marginRow), 2) << "only the page's sides";
    // A page without width: the background alone.
    work_.paperWidth = 0;
    p = Draw();
    EXPECT_EQ(At(p, w / 2, h / 2), face);
    EXPECT_EQ(At(p, w / 2, 0), face);
}

TEST_P(PageSetupPreview, LandscapePagesAreCentredVerticallyAndNothingReachesAHardcopy)
{
    DeviceRecorder hardcopy(false, true);
    gGraphicsState.hardcopyOpen = 1;
    work_.orientation = 1;
    Margins("0.5", "0.5", "0.5", "0.5");
    std::vector<COLORREF> p = Draw();
    const int w = size_.right, h = size_.bottom;
    EXPECT_TRUE(hardcopy.ops.empty());
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
    gGraphicsState.hardcopyOpen = 0;
    EXPECT_EQ(At(p, w / 2, h / 2), RGB(255, 255, 255));
    EXPECT_EQ(At(p, 0, h / 2), RGB(0, 0, 0)) << "the page spans the width";
    EXPECT_EQ(At(p, w / 2, 1), GetSysColor(COLOR_BTNFACE)) << "above the landscape page";
}

INSTANTIATE_TEST_SUITE_P(DrawnThrough, PageSetupPreview, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Bitmap" : "Field"; });

// ---- the platform's or the library's dialog -----------------------------------------------

TEST_F(PageSetupDialog, PageSetupRunShowsTheDialogTheChoiceNames)
{
    struct Case {
        PageSetupChoice choice;
        std::string title;
    };
    for (const Case& c : {Case{PageSetupChoice::Library, "Page Setup"}, Case{PageSetupChoice::Platform, ""}}) {
        SCOPED_TRACE(c.title);
        gPageSetupState.choice = c.choice;
        std::string title;
        ModalPilot pilot([&](HWND d) {
            title = WindowText(d);
            if (c.choice == PageSetupChoice::Library) {
                ModalPilot::Click(d, kPageLandscape);
                PilotSteps::PostWhenIdle(d, IDOK);
            } else {
                PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            }
        });
        PAGESETUPDLGA record{};
        record.lStructSize = sizeof record;
        record.Flags = PSD_INTHOUSANDTHSOFINCHES | PSD_MARGINS;
        record.ptPaperSize = {8500, 11000};
        record.rtMargin = {1000, 500, 1000, 500};
        const int answer = PageSetupRun(record);
        gPageSetupState.choice = PageSetupChoice::Automatic;
        if (c.choice == PageSetupChoice::Library) {
            ASSERT_EQ(pilot.Runs(), 1);
            EXPECT_EQ(title, c.title);
            EXPECT_EQ(answer, 1);
            EXPECT_EQ(record.ptPaperSize.x, 11692) << "A4 turned to landscape";
            EXPECT_EQ(record.ptPaperSize.y, 8267);
            EXPECT_EQ(record.rtMargin.left, 500);
            EXPECT_EQ(record.rtMargin.top, 1000);
            EXPECT_EQ(record.rtMargin.right, 500);
            EXPECT_EQ(record.rtMargin.bottom, 1000);
            EXPECT_EQ(gPageSetupState.record, nullptr) << "the record is not kept after the run";
        } else {
            // Without printer handles the platform's dialog may refuse to
            // come up; it is never the library's.
            EXPECT_NE(title, "Page Setup");
            EXPECT_EQ(answer, 0);
        }
    }
    // The resources of this program hold 32010 and the platform is new enough.
    EXPECT_EQ(PageSetupUsesLibraryDialog(), 1);
}

} // namespace

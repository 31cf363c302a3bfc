// Grid printing through a seam that gives every page an enhanced metafile:
// the pages' texts, fonts, colours and lines read back by EnumEnhMetaFile
// (rows per page, continuation pages across the columns, title rows,
// rulings, an over-wide column, the "Wingdings" check marks); the page
// values and the page set-up's unit conversion on a printer that exists
// only as its handles; the path without a printer; and a real print on the
// CUPS PDF printer read back by pdfinfo, pdftotext and pdftoppm.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dialogs/dialog_table.h"
#include "grid/grid_engine.h"
#include "grid/grid_print.h"
#include "grid/grid_public.h"
#include "grid_fixture.h"
#include "hardcopy/unix_tools.h"

namespace {

struct PrintedText {
    std::string text;
    POINT at{};
    RECT clip{};
    std::string face;
    int charset = 0;
    COLORREF colour = 0;
};

struct PrintedLine {
    POINT from{}, to{};
};

struct Page {
    std::vector<PrintedText> texts;
    std::vector<PrintedLine> lines;
    std::vector<std::vector<POINT>> polylines;
    // The lines that are neither horizontal nor vertical (no ruling is).
    std::vector<PrintedLine> Diagonals() const
    {
        std::vector<PrintedLine> d;
        for (const auto& l : lines)
            if (l.from.x != l.to.x && l.from.y != l.to.y)
                d.push_back(l);
        return d;
    }
    bool Has(const std::string& text) const
    {
        return std::any_of(texts.begin(), texts.end(), [&](const PrintedText& t) { return t.text == text; });
    }
    const PrintedText* Find(const std::string& text) const
    {
        for (const auto& t : texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
};

// What the seam saw of one print.
struct Printed {
    std::vector<Page> pages;
    std::vector<std::string> documents;
    int endDocs = 0;
    HDC reference = nullptr; // the drawing context that stands for the printer; nullptr: a memory one
};
Printed gPrinted;

std::string Narrow(const WCHAR* text, size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += static_cast<char>(text[i] & 0xFF);
    return s;
}

// Reads one page's metafile record by record.
struct PageReader {
    Page page;
    std::map<DWORD, std::pair<std::string, int>> fonts; // handle index: face, charset
    std::string face;
    int charset = 0;
    COLORREF colour = 0;
    POINT at{};

    static int CALLBACK Record(HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM data)
    {
        auto* self = reinterpret_cast<PageReader*>(data);
        const auto* bytes = reinterpret_cast<const BYTE*>(rec);
        switch (rec->iType) {
        case EMR_EXTCREATEFONTINDIRECTW: {
            const auto* f = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(rec);
            self->fonts[f->ihFont] = {Narrow(f->elfw.elfLogFont.lfFaceName, wcsnlen(f->elfw.elfLogFont.lfFaceName, LF_FACESIZE)),
                                      f->elfw.elfLogFont.lfCharSet};
            break;
        }
        case EMR_SELECTOBJECT: {
            const auto* s = reinterpret_cast<const EMRSELECTOBJECT*>(rec);
            auto it = self->fonts.find(s->ihObject);
            if (it != self->fonts.end()) {
                self->face = it->second.first;
                self->charset = it->second.second;
            }
            break;
        }
        case EMR_SETTEXTCOLOR:
            self->colour = reinterpret_cast<const EMRSETTEXTCOLOR*>(rec)->crColor;
            break;
        case EMR_EXTTEXTOUTW:
        case EMR_EXTTEXTOUTA: {
            const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
            PrintedText p;
            if (rec->iType == EMR_EXTTEXTOUTW)
                p.text = Narrow(reinterpret_cast<const WCHAR*>(bytes + t->emrtext.offString), t->emrtext.nChars);
            else
                p.text.assign(reinterpret_cast<const char*>(bytes + t->emrtext.offString), t->emrtext.nChars);
            p.at = {t->emrtext.ptlReference.x, t->emrtext.ptlReference.y};
            p.clip = {t->emrtext.rcl.left, t->emrtext.rcl.top, t->emrtext.rcl.right, t->emrtext.rcl.bottom};
            p.face = self->face;
            p.charset = self->charset;
            p.colour = self->colour;
            self->page.texts.push_back(p);
            break;
        }
        case EMR_POLYLINE16: {
            const auto* l = reinterpret_cast<const EMRPOLYLINE16*>(rec);
            std::vector<POINT> points;
            for (DWORD i = 0; i < l->cpts; ++i)
                points.push_back({l->apts[i].x, l->apts[i].y});
            self->page.polylines.push_back(points);
            break;
        }
        case EMR_POLYLINE: {
            const auto* l = reinterpret_cast<const EMRPOLYLINE*>(rec);
            std::vector<POINT> points;
            for (DWORD i = 0; i < l->cptl; ++i)
                points.push_back({l->aptl[i].x, l->aptl[i].y});
            self->page.polylines.push_back(points);
            break;
        }
        case EMR_MOVETOEX: {
            const auto* m = reinterpret_cast<const EMRMOVETOEX*>(rec);
            self->at = {m->ptl.x, m->ptl.y};
            break;
        }
        case EMR_LINETO: {
            const auto* l = reinterpret_cast<const EMRLINETO*>(rec);
            self->page.lines.push_back({self->at, {l->ptl.x, l->ptl.y}});
            self->at = {l->ptl.x, l->ptl.y};
            break;
        }
        default:
            break;
        }
        return 1;
    }
};

// Paper and margins (thousandths of an inch) of the stand-in printer.
int gPaperWidth = 8000, gPaperHeight = 4000;

// A default page set-up with device handles of a printer no one can open.
BOOL HandlesOnlyDefault(PAGESETUPDLGA* p)
{
    p->hDevMode = GlobalAlloc(GHND, sizeof(DEVMODEA));
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(p->hDevMode));
    mode->dmSize = sizeof(DEVMODEA);
    mode->dmFields = DM_ORIENTATION;
    mode->dmOrientation = DMORIENT_PORTRAIT;
    GlobalUnlock(p->hDevMode);
    const char strings[] = "winspool\0No such printer\0FILE:\0";
    p->hDevNames = GlobalAlloc(GHND, sizeof(DEVNAMES) + sizeof strings);
    auto* names = static_cast<DEVNAMES*>(GlobalLock(p->hDevNames));
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = sizeof(DEVNAMES) + 9;
    names->wOutputOffset = sizeof(DEVNAMES) + 25;
    std::memcpy(reinterpret_cast<char*>(names) + sizeof(DEVNAMES), strings, sizeof strings);
    GlobalUnlock(p->hDevNames);
    p->ptPaperSize = {gPaperWidth, gPaperHeight};
    p->rtMargin = {1000, 1000, 1000, 1000};
    p->Flags |= PSD_INTHOUSANDTHSOFINCHES;
    return TRUE;
}

BOOL NoPrinterDefault(PAGESETUPDLGA*)
{
    return FALSE;
}

int CancelledRun(PAGESETUPDLGA&)
{
    return 0;
}

HDC EmfOpen(GridPrintSettings&)
{
    return gPrinted.reference ? gPrinted.reference : CreateCompatibleDC(nullptr);
}
int EmfStartDoc(HDC, const char* name)
{
    gPrinted.documents.push_back(name);
    return 1;
}
HDC EmfStartPage(HDC printer)
{
    return CreateEnhMetaFileA(printer, nullptr, nullptr, nullptr);
}
void EmfEndPage(HDC, HDC page)
{
    HENHMETAFILE emf = CloseEnhMetaFile(page);
    PageReader reader;
    EnumEnhMetaFile(nullptr, emf, PageReader::Record, &reader, nullptr);
    DeleteEnhMetaFile(emf);
    gPrinted.pages.push_back(reader.page);
}
void EmfEndDoc(HDC)
{
    ++gPrinted.endDocs;
}
void EmfClose(HDC printer)
{
    if (printer != gPrinted.reference)
        DeleteDC(printer);
}

class GridPrintTest : public GridFieldFixture {
protected:
    void SetUp() override
    {
        GridFieldFixture::SetUp();
        gPrinted = Printed{};
        gPaperWidth = 8000;
        gPaperHeight = 4000;
        gGridPrintDevice = GridPrintDevice{HandlesOnlyDefault, CancelledRun, EmfOpen, EmfStartDoc,
                                           EmfStartPage, EmfEndPage, EmfEndDoc, EmfClose};
        Open(500, 501);
        GridMoveCurrentCell(grid, 2, 29, 0, 0);
        for (int row = 0; row < 30; ++row) {
            PutText(r, 0, row, ("t" + std::to_string(row)).c_str());
            PutText(r, 6, row, ("u" + std::to_string(row)).c_str());
        }
    }
    void TearDown() override
    {
        gGridPrintDevice = GridPrintDeviceDefault();
        gGridPrintState.defaultsFilled = 0;
        GridFieldFixture::TearDown();
    }
    // Prints rows FIRST..LAST of every column with settings 1.
    int Print(int first = 0, int last = 29)
    {
        int result = -1;
        GridPrint(501, result, first, last, 0, 6, 1, "Test grid");
        return result;
    }
    std::string Label(int row) const { return r->labels + static_cast<size_t>(row) * kGridLabelBytes; }
    // The rows (by their text in column 1) of each page.
    std::vector<std::vector<int>> RowsOfPages() const
    {
        std::vector<std::vector<int>> rows;
        for (const Page& p : gPrinted.pages) {
            rows.emplace_back();
            for (int row = 0; row < 30; ++row)
                if (p.Has(Label(row)))
                    rows.back().push_back(row);
        }
        return rows;
    }
};

TEST_F(GridPrintTest, RowsPerPageAndContinuationPages)
{
    ASSERT_EQ(Print(), 1);
    ASSERT_EQ(gPrinted.documents, std::vector<std::string>{"Test grid"});
    EXPECT_EQ(gPrinted.endDocs, 1);
    const auto rows = RowsOfPages();
    ASSERT_GT(rows.size(), 4u);
    // Pages come in blocks of consecutive rows, the same rows on every page
    // of a block (labels on every page), each block as long as the first.
    const size_t perPage = rows[0].size();
    ASSERT_GT(perPage, 1u);
    std::set<int> cellsSeen;
    int blocks = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_FALSE(rows[i].empty()) << "page " << i;
        if (i == 0 || rows[i] != rows[i - 1]) {
            ++blocks;
            EXPECT_EQ(rows[i].front(), i == 0 ? 0 : rows[i - 1].back() + 1);
            if (rows[i].back() != 29) {
                EXPECT_EQ(rows[i].size(), perPage);
            }
        }
        // Every page of a block shows the title row of its columns.
        const Page& p = gPrinted.pages[i];
        for (int c : {0, 6}) {
            char title[64];
            int local = 501;
            GridGetColumnTitle(local, c + 1, title);
            const std::string cell = (c == 0 ? "t" : "u") + std::to_string(rows[i].front());
            EXPECT_EQ(p.Has(title), p.Has(cell)) << "page " << i << " column " << c;
        }
        for (int row : rows[i]) {
            cellsSeen.insert(p.Has("t" + std::to_string(row)) ? row : -1);
            EXPECT_EQ(p.Has("t" + std::to_string(row)), p.Has("t" + std::to_string(rows[i].front())));
        }
        // Rulings: under every printed row and the title row, across the page.
        int across = 0;
        for (const PrintedLine& l : p.lines)
            across += l.from.y == l.to.y;
        EXPECT_GE(across, static_cast<int>(rows[i].size()) + 2) << "page " << i;
    }
    EXPECT_GT(rows.size(), static_cast<size_t>(blocks)) << "columns continue on further pages";
    for (int row = 0; row < 30; ++row)
        EXPECT_TRUE(cellsSeen.count(row)) << "row " << row;
    // Column 1's cells are drawn once each, over all pages.
    int drawn = 0;
    for (const Page& p : gPrinted.pages)
        for (const auto& t : p.texts)
            drawn += t.text.size() > 1 && t.text[0] == 't' && std::isdigit(static_cast<unsigned char>(t.text[1]));
    EXPECT_EQ(drawn, 30);
}

TEST_F(GridPrintTest, TitleRowOnlyOnTheFirstBlockWithoutHeadersOnEveryPage)
{
    GridPrintOptionsPut(1, 1, 0, 1, 1, 100, 1);
    ASSERT_EQ(Print(), 1);
    const auto rows = RowsOfPages();
    ASSERT_GT(rows.size(), 2u);
    char title[64];
    int local = 501;
    GridGetColumnTitle(local, 1, title);
    EXPECT_TRUE(gPrinted.pages[0].Has(title));
    // The row labels print only on a block's first page; its later pages
    // carry the cells alone. Later blocks hold one row more than the first.
    std::vector<std::vector<int>> blocks;
    for (const auto& page : rows)
        if (!page.empty())
            blocks.push_back(page);
    ASSERT_GE(blocks.size(), 3u);
    EXPECT_EQ(blocks[1].size(), blocks[0].size() + 1);
    for (size_t i = 1; i < gPrinted.pages.size(); ++i)
        EXPECT_FALSE(gPrinted.pages[i].Has(title)) << "page " << i;
}

TEST_F(GridPrintTest, AnOverWideColumnIsCutOnItsOwnPage)
{
    const std::string wideText(100, 'W');
    PutText(r, 6, 3, wideText.c_str());
    ASSERT_EQ(Print(0, 5), 1);
    ASSERT_GE(gPrinted.pages.size(), 2u);
    const Page& last = gPrinted.pages.back();
    const PrintedText* wide = last.Find(wideText);
    ASSERT_NE(wide, nullptr);
    // 96 pixels per inch, margins of an inch on paper 8 inches wide: the
    // column ends at pixel 672, its clip one pixel further.
    EXPECT_EQ(wide->clip.right, 673);
    EXPECT_TRUE(last.Has(Label(3))) << "the row labels again";
    for (const auto& t : last.texts)
        EXPECT_FALSE(t.text.size() > 1 && t.text[0] == 't' && std::isdigit(static_cast<unsigned char>(t.text[1])))
            << "only the wide column on its page: " << t.text;
    EXPECT_FALSE(gPrinted.pages[gPrinted.pages.size() - 2].Has("u3")) << "not on the page before";
}

TEST_F(GridPrintTest, CheckMarksColoursAndEmptyRanges)
{
    GridIntCell(r->column[4], 0) = 1;
    GridIntCell(r->column[4], 1) = 0;
    int local = 501;
    GridPutCellColours(local, 0, 2, 255, 0, 0, -1, 0, 0);
    gPaperWidth = 20000;
    ASSERT_EQ(Print(0, 2), 1);
    ASSERT_EQ(gPrinted.pages.size(), 1u);
    const Page& p = gPrinted.pages[0];
    const PrintedText* check = p.Find("\xFC");
    const PrintedText* cross = p.Find("\xFB");
    if (check || cross) {
        // The printer's "Wingdings" has both marks: its characters print.
        ASSERT_NE(check, nullptr);
        ASSERT_NE(cross, nullptr);
        EXPECT_EQ(check->face, "Wingdings");
        EXPECT_EQ(check->charset, SYMBOL_CHARSET);
        EXPECT_TRUE(p.polylines.empty());
    } else {
        // It lacks one: row 1 gets a drawn check (three points), rows 2 and
        // 3 a drawn cross each (two diagonal lines), below the check.
        ASSERT_EQ(p.polylines.size(), 1u);
        ASSERT_EQ(p.polylines[0].size(), 3u);
        const auto crosses = p.Diagonals();
        ASSERT_EQ(crosses.size(), 4u);
        const POINT tick = p.polylines[0][1];
        for (const auto& l : crosses)
            EXPECT_GT(std::min(l.from.y, l.to.y), tick.y);
        EXPECT_GT(std::min(crosses[2].from.y, crosses[2].to.y), std::max(crosses[0].from.y, crosses[0].to.y))
            << "one cross per row";
    }
    EXPECT_EQ(p.Find("t2")->colour, RGB(255, 0, 0));
    EXPECT_EQ(p.Find("t1")->colour, RGB(0, 0, 0));
    // Without text colours the cell keeps black.
    GridPrintOptionsPut(1, 1, 1, 0, 0, 100, 1);
    gPrinted = Printed{};
    ASSERT_EQ(Print(0, 2), 1);
    EXPECT_EQ(gPrinted.pages.at(0).Find("t2")->colour, RGB(0, 0, 0));

    // First row after the last: an empty document.
    gPrinted = Printed{};
    EXPECT_EQ(Print(5, 4), 1);
    EXPECT_EQ(gPrinted.documents.size(), 1u);
    EXPECT_EQ(gPrinted.endDocs, 1);
    EXPECT_TRUE(gPrinted.pages.empty());
    // An identifier naming no grid, and the grid editor's (none yet): nothing.
    int result = -1;
    GridPrint(502, result, 0, 1, 0, 1, 1, "x");
    EXPECT_EQ(result, 0);
    GridPrint(0, result, 0, 1, 0, 1, 2, "x");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(gPrinted.documents.size(), 1u);
    // Settings 2 take the grid editor's file name, here none.
    GridPrint(501, result, 0, 0, 0, 0, 2, "ignored");
    EXPECT_EQ(gPrinted.documents.back(), "Untitled Grid");
}

TEST_F(GridPrintTest, APageTooSmallForARowHoldsOne)
{
    gPaperHeight = 2100; // 10 pixels between the margins
    ASSERT_EQ(Print(0, 2), 1);
    std::vector<int> firstRows;
    for (const auto& rows : RowsOfPages())
        if (!rows.empty() && (firstRows.empty() || rows.front() != firstRows.back())) {
            EXPECT_EQ(rows.size(), 1u);
            firstRows.push_back(rows.front());
        }
    EXPECT_EQ(firstRows, (std::vector<int>{0, 1, 2}));
    // Scales far out of range give a document all the same.
    for (int scale : {0, -50, 2000000000}) {
        GridPrintOptionsPut(1, 1, 1, 1, 1, scale, 1);
        gPrinted = Printed{};
        EXPECT_EQ(Print(0, 1), 1) << scale;
    }
}

TEST_F(GridPrintTest, PageValuesAndUnitConversion)
{
    int v = -1;
    GridPrintPageGet(3, v, 1);
    EXPECT_EQ(v, 72) << "one inch in points";
    GridPrintPageSet(3, 36, 1);
    GridPrintPageSet(1, 144, 1);
    GridPrintSettings& s = GridPrintSettingsOf(1);
    EXPECT_EQ(s.pageSetup.rtMargin.left, 500);
    EXPECT_EQ(s.pageSetup.rtMargin.right, 2500);
    GridPrintPageGet(1, v, 1);
    EXPECT_EQ(v, 144);
    GridPrintPageGet(5, v, 1);
    EXPECT_EQ(v, 0);
    GridPrintPageSet(5, 1, 1);
    GridPrintPageGet(5, v, 1);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(GridPrintSettingsOf(2).pageSetup.rtMargin.left, 1000) << "the other settings keep theirs";
    // 2 (portrait) exchanges the differences when the horizontal one is larger.
    GridPrintPageSet(2, 72, 1); // bottom = top + 1000: across 2000, down 1000
    GridPrintPageSet(5, 2, 1);
    EXPECT_EQ(s.pageSetup.rtMargin.right - s.pageSetup.rtMargin.left, 1000);
    EXPECT_EQ(s.pageSetup.rtMargin.bottom - s.pageSetup.rtMargin.top, 2000);
    GridPrintPageGet(5, v, 1);
    EXPECT_EQ(v, 0);

    // The page set-up converts to millimetre units by 2.54065 before the
    // dialog, also when the dialog is then cancelled; and back.
    GridPrintSettings& t = GridPrintSettingsOf(2);
    EXPECT_EQ(GridPageSetup(2, 2), 0);
    EXPECT_EQ(t.marginUnits, 8);
    EXPECT_EQ(t.pageSetup.Flags, static_cast<DWORD>(PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MARGINS));
    EXPECT_EQ(t.pageSetup.rtMargin.left, 2540);
    EXPECT_EQ(t.pageSetup.ptPaperSize.x, static_cast<int>(gPaperWidth * 2.54065));
    GridPrintPageGet(3, v, 2);
    EXPECT_EQ(v, 72);
    EXPECT_EQ(GridPageSetup(0, 2), 0);
    EXPECT_EQ(t.pageSetup.rtMargin.left, 999) << "2540 / 2.54065, truncated";
    EXPECT_EQ(t.marginUnits, 4);
}

TEST_F(GridPrintTest, OptionsAndTheirDefaultsAfterRegistration)
{
    int o[6];
    GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], o[5], 2);
    EXPECT_EQ(std::vector<int>(o, o + 6), (std::vector<int>{1, 1, 1, 1, 1, 100}));
    GridPrintOptionsPut(2, 1, 0, 1, 7, 150, 2);
    GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], o[5], 2);
    EXPECT_EQ(std::vector<int>(o, o + 6), (std::vector<int>{0, 1, 0, 1, 0, 150}));
    GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], o[5], 1);
    EXPECT_EQ(o[0], 1) << "the first settings are apart";
    // The classes are registered already: a later call leaves the settings.
    GridRegisterClasses();
    GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], o[5], 2);
    EXPECT_EQ(std::vector<int>(o, o + 6), (std::vector<int>{0, 1, 0, 1, 0, 150}));
}

TEST_F(GridPrintTest, WithoutAPrinterEveryRoutineGivesNothing)
{
    gGridPrintDevice = GridPrintDeviceDefault();
    gGridPrintDevice.pageSetupDefault = NoPrinterDefault;
    gGridPrintState.defaultsFilled = 0;
    int result = -1;
    GridPrint(501, result, 0, 29, 0, 6, 1, "x");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(GridPageSetup(0, 1), 0);
    int v = -1;
    GridPrintPageGet(5, v, 1);
    EXPECT_EQ(v, 0);
    GridPrintPageSet(5, 1, 1);
    GridPrintPageGet(5, v, 1);
    EXPECT_EQ(v, 0);
    int o[6];
    GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], o[5], 1);
    EXPECT_EQ(std::vector<int>(o, o + 6), (std::vector<int>{1, 1, 1, 1, 1, 100}));
}

// A 120-row grid on the CUPS PDF printer: as many pages as the metafile
// run on the same printer's measures, the rows in order, a page rendered.
TEST_F(GridPrintTest, OnThePdfPrinter)
{
    gGridPrintDevice = GridPrintDeviceDefault();
    gGridPrintState.defaultsFilled = 0;
    GridPrintDefaults();
    GridPrintSettings& s = GridPrintSettingsOf(1);
    if (!s.pageSetup.hDevNames)
        GTEST_SKIP() << "no default printer";
    const std::string folder = unixtools::CupsPdfFolder();
    if (folder.empty() || !unixtools::Available("/usr/bin/pdfinfo") || !unixtools::Available("/usr/bin/pdftotext") ||
        !unixtools::Available("/usr/bin/pdftoppm"))
        GTEST_SKIP() << "poppler-utils or the Unix home folder is missing";
    DialogTableDestroyAll();
    Open(540, 541);
    WGridRows(541, 120);
    GridMoveCurrentCell(grid, 9, 119, 0, 0);
    for (int row = 0; row < 120; ++row) {
        char text[16];
        std::snprintf(text, sizeof text, "row%03d", row + 1);
        PutText(r, 0, row, text);
    }
    // The metafile run on an information context of the same printer.
    {
        auto* names = static_cast<DEVNAMES*>(GlobalLock(s.pageSetup.hDevNames));
        auto* mode = s.pageSetup.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(s.pageSetup.hDevMode)) : nullptr;
        const char* base = reinterpret_cast<const char*>(names);
        gPrinted.reference = CreateICA(base + names->wDriverOffset, base + names->wDeviceOffset,
                                       base + names->wOutputOffset, mode);
        if (mode)
            GlobalUnlock(s.pageSetup.hDevMode);
        GlobalUnlock(s.pageSetup.hDevNames);
    }
    ASSERT_NE(gPrinted.reference, nullptr);
    GridPrintDevice real = gGridPrintDevice;
    gGridPrintDevice.open = EmfOpen;
    gGridPrintDevice.startDoc = EmfStartDoc;
    gGridPrintDevice.startPage = EmfStartPage;
    gGridPrintDevice.endPage = EmfEndPage;
    gGridPrintDevice.endDoc = EmfEndDoc;
    gGridPrintDevice.close = EmfClose;
    int result = 0;
    GridPrint(541, result, 0, 119, 0, 9, 1, "x");
    DeleteDC(gPrinted.reference);
    ASSERT_EQ(result, 1);
    const size_t pages = gPrinted.pages.size();
    ASSERT_GT(pages, 1u);

    gGridPrintDevice = real;
    const std::string title = "kvbgrid_" + std::to_string(GetTickCount());
    GridPrint(541, result, 0, 119, 0, 9, 1, title);
    ASSERT_EQ(result, 1);
    const std::string pdf = unixtools::CupsPdfFile(folder, title);
    ASSERT_FALSE(pdf.empty()) << "no PDF named after " << title << " in " << folder;
    const std::string unixPdf = unixtools::UnixPath(pdf);
    std::string info;
    ASSERT_TRUE(PollUntil([&] { return unixtools::Run("/usr/bin/pdfinfo '" + unixPdf + "'", &info) == 0; }, 30000))
        << info;
    const size_t key = info.find("Pages:");
    ASSERT_NE(key, std::string::npos) << info;
    EXPECT_EQ(std::atoi(info.c_str() + key + 6), static_cast<int>(pages)) << info;
    std::string text;
    ASSERT_EQ(unixtools::Run("/usr/bin/pdftotext -layout '" + unixPdf + "' -", &text), 0) << text;
    size_t at = 0;
    for (int row = 1; row <= 120; ++row) {
        char want[16];
        std::snprintf(want, sizeof want, "row%03d", row);
        const size_t found = text.find(want, at);
        ASSERT_NE(found, std::string::npos) << want << " missing or out of order";
        at = found;
    }
    std::string out;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string png = std::string(temp) + title;
    EXPECT_TRUE(unixtools::PdfPageToPng(pdf, png, 20, &out)) << out;
    EXPECT_NE(GetFileAttributesA((png + ".png").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA((png + ".png").c_str());
    DeleteFileA(pdf.c_str());
}

} // namespace

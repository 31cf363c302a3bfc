// Grid printing (see grid/grid_print.h). The print is one document: for
// each block of rows that fits a page's height, pages across the columns,
// each with the row-label column (and the title row) and the rulings. The
// fonts are the grid's screen font scaled to the printer's resolution and
// the user's scale; check boxes print as check and cross characters of
// "Wingdings", or, where the printer's font lacks either glyph, as a check
// and a cross drawn with lines. The row-label column's width is measured
// once per print.
#include "grid/grid_print.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/window_table.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/printer_services.h"
#include "grid/grid_engine.h"
#include "grid/grid_file_column.h"

GridPrintState gGridPrintState;

namespace {

constexpr DWORD kInchUnits = PSD_INTHOUSANDTHSOFINCHES;      // 4
constexpr DWORD kMillimetreUnits = PSD_INHUNDREDTHSOFMILLIMETERS; // 8
// Millimetre units per inch unit as the margins are converted.
constexpr double kUnitFactor = 2.54065;

// A * B / C truncated, 0 for C = 0, saturated to the integers (a scale or
// a size of any value gives a defined result).
int MulDivSafe(long long a, long long b, long long c)
{
    if (c == 0)
        return 0;
    return TruncateToInt(static_cast<double>(a) * static_cast<double>(b) / static_cast<double>(c));
}

// ---- Printer defaults -----------------------------------------------------------------

HDC PrinterDc(GridPrintSettings& s, bool informationOnly)
{
    PAGESETUPDLGA& p = s.pageSetup;
    if (!p.hDevNames)
        return nullptr;
    auto* names = static_cast<DEVNAMES*>(GlobalLock(p.hDevNames));
    if (!names)
        return nullptr;
    s.deviceNames = names;
    s.deviceMode = p.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(p.hDevMode)) : nullptr;
    const char* base = reinterpret_cast<const char*>(names);
    const char* driver = base + names->wDriverOffset;
    const char* device = base + names->wDeviceOffset;
    const char* output = base + names->wOutputOffset;
    HDC dc = informationOnly ? CreateICA(driver, device, output, s.deviceMode)
                             : CreateDCA(driver, device, output, s.deviceMode);
    if (s.deviceMode)
        GlobalUnlock(p.hDevMode);
    GlobalUnlock(p.hDevNames);
    s.deviceMode = nullptr;
    s.deviceNames = nullptr;
    return dc;
}

BOOL DefaultPageSetup(PAGESETUPDLGA* record)
{
    return PageSetupDlgA(record);
}

HDC OpenPrinter(GridPrintSettings& s)
{
    return PrinterDc(s, false);
}

int StartPrinterDoc(HDC printer, const char* name)
{
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = name;
    return StartDocA(printer, &doc);
}

HDC StartPrinterPage(HDC printer)
{
    StartPage(printer);
    return printer;
}

void EndPrinterPage(HDC printer, HDC)
{
    EndPage(printer);
}

void EndPrinterDoc(HDC printer)
{
    EndDoc(printer);
}

void ClosePrinter(HDC printer)
{
    DeleteDC(printer);
}

// Orientation of the settings' device mode: 1 landscape, 0 portrait or none.
int Orientation(GridPrintSettings& s)
{
    int orientation = 0;
    if (auto* mode = s.pageSetup.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(s.pageSetup.hDevMode)) : nullptr) {
        orientation = mode->dmOrientation == DMORIENT_PORTRAIT ? 0 : 1;
        GlobalUnlock(s.pageSetup.hDevMode);
    }
    return orientation;
}

int InchDivisor(const GridPrintSettings& s)
{
    return (s.pageSetup.Flags & kInchUnits) ? 1000 : 2540;
}

} // namespace

GridPrintDevice GridPrintDeviceDefault()
{
    return GridPrintDevice{DefaultPageSetup, PageSetupRun, OpenPrinter, StartPrinterDoc, StartPrinterPage,
                           EndPrinterPage, EndPrinterDoc, ClosePrinter};
}

GridPrintDevice gGridPrintDevice = GridPrintDeviceDefault();

GridPrintSettings& GridPrintSettingsOf(int settingsNumber)
{
    return gGridPrintState.settings[settingsNumber == 1 ? 0 : 1];
}

void GridPrintDefaults()
{
    GridPrintState& g = gGridPrintState;
    if (g.defaultsFilled)
        return;
    for (GridPrintSettings& s : g.settings) {
        // The handles of an earlier fill are the settings' own.
        if (s.pageSetup.hDevMode)
            GlobalFree(s.pageSetup.hDevMode);
        if (s.pageSetup.hDevNames)
            GlobalFree(s.pageSetup.hDevNames);
        s = GridPrintSettings{};
        PAGESETUPDLGA& p = s.pageSetup;
        p.lStructSize = sizeof p;
        p.hwndOwner = gWindowTable.frame[0]; // the main window's frame
        p.hInstance = GetModuleHandleA(nullptr);
        p.Flags = PSD_RETURNDEFAULT;
        if (!gGridPrintDevice.pageSetupDefault(&p)) {
            p.hDevMode = nullptr;
            p.hDevNames = nullptr;
        }
        s.marginUnits = static_cast<int>(p.Flags & (kInchUnits | kMillimetreUnits));
    }
    // Both colour flags off for a printer of exactly two colours.
    int colours = 1;
    if (HDC ic = PrinterDc(g.settings[0], true)) {
        colours = GetDeviceCaps(ic, NUMCOLORS) == 2 ? 0 : 1;
        DeleteDC(ic);
    }
    for (GridPrintSettings& s : g.settings)
        s.textColours = s.backgroundColours = colours;
    g.defaultsFilled = 1;
}

// ---- Options and page values ----------------------------------------------------------------

void GridPrintOptionsGet(int& rowLines, int& columnLines, int& headersEveryPage, int& textColours,
                         int& backgroundColours, int& scale, int settingsNumber)
{
    GridPrintDefaults();
    const GridPrintSettings& s = GridPrintSettingsOf(settingsNumber);
    rowLines = s.rowLines == 1 ? 1 : 0;
    columnLines = s.columnLines == 1 ? 1 : 0;
    headersEveryPage = s.headersEveryPage == 1 ? 1 : 0;
    textColours = s.textColours == 1 ? 1 : 0;
    backgroundColours = s.backgroundColours == 1 ? 1 : 0;
    scale = s.scale;
}

void GridPrintOptionsPut(int rowLines, int columnLines, int headersEveryPage, int textColours, int backgroundColours,
                         int scale, int settingsNumber)
{
    GridPrintDefaults();
    GridPrintSettings& s = GridPrintSettingsOf(settingsNumber);
    s.rowLines = rowLines == 1 ? 1 : 0;
    s.columnLines = columnLines == 1 ? 1 : 0;
    s.headersEveryPage = headersEveryPage == 1 ? 1 : 0;
    s.textColours = textColours == 1 ? 1 : 0;
    s.backgroundColours = backgroundColours == 1 ? 1 : 0;
    s.scale = scale;
}

void GridPrintPageGet(int code, int& value, int settingsNumber)
{
    GridPrintDefaults();
    GridPrintSettings& s = GridPrintSettingsOf(settingsNumber);
    const RECT& m = s.pageSetup.rtMargin;
    const int divisor = InchDivisor(s);
    switch (code) {
    case 1: value = MulDivSafe(static_cast<long long>(m.right) - m.left, 72, divisor); break;
    case 2: value = MulDivSafe(static_cast<long long>(m.bottom) - m.top, 72, divisor); break;
    case 3: value = MulDivSafe(m.left, 72, divisor); break;
    case 4: value = MulDivSafe(m.top, 72, divisor); break;
    case 5: value = Orientation(s); break;
    default: break;
    }
}

void GridPrintPageSet(int code, int value, int settingsNumber)
{
    GridPrintDefaults();
    GridPrintSettings& s = GridPrintSettingsOf(settingsNumber);
    RECT& m = s.pageSetup.rtMargin;
    const int units = MulDivSafe(value, InchDivisor(s), 72);
    switch (code) {
    case 1: m.right = MulDivSafe(static_cast<long long>(m.left) + units, 1, 1); break;
    case 2: m.bottom = MulDivSafe(static_cast<long long>(m.top) + units, 1, 1); break;
    case 3: m.left = units; break;
    case 4: m.top = units; break;
    case 5: {
        if (value < 0 || value > 3)
            break;
        const long long across = static_cast<long long>(m.right) - m.left;
        const long long down = static_cast<long long>(m.bottom) - m.top;
        if ((value == 2 && across > down) || (value == 3 && across < down)) {
            m.right = MulDivSafe(m.left + down, 1, 1);
            m.bottom = MulDivSafe(m.top + across, 1, 1);
        }
        const int wanted = (value == 1 || value == 3) ? 1 : 0;
        auto* mode = s.pageSetup.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(s.pageSetup.hDevMode)) : nullptr;
        if (!mode)
            break;
        const int now = mode->dmOrientation == DMORIENT_PORTRAIT ? 0 : 1;
        if (now != wanted) {
            mode->dmOrientation = static_cast<short>(wanted ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
            std::swap(s.pageSetup.ptPaperSize.x, s.pageSetup.ptPaperSize.y);
        }
        GlobalUnlock(s.pageSetup.hDevMode);
        break;
    }
    default:
        break;
    }
}

// ---- Page set-up ---------------------------------------------------------------------------

int GridPageSetup(int units, int settingsNumber)
{
    GridPrintDefaults();
    GridPrintSettings& s = GridPrintSettingsOf(settingsNumber);
    PAGESETUPDLGA& p = s.pageSetup;
    if (!p.hDevNames || !p.hDevMode)
        return 0;
    DWORD flags = kMillimetreUnits;
    if (units == -1) {
        char measure[4] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure);
        flags = measure[0] == '1' ? kInchUnits : kMillimetreUnits;
    } else if (units < 2) {
        flags = kInchUnits;
    }
    p.Flags = flags;
    if (static_cast<int>(flags) != s.marginUnits) {
        const bool toMillimetres = flags == kMillimetreUnits;
        auto convert = [&](LONG& v) {
            v = TruncateToInt(toMillimetres ? v * kUnitFactor : v / kUnitFactor);
        };
        for (LONG* v : {&p.rtMargin.left, &p.rtMargin.top, &p.rtMargin.right, &p.rtMargin.bottom,
                        &p.ptPaperSize.x, &p.ptPaperSize.y})
            convert(*v);
        s.marginUnits = static_cast<int>(flags);
    }
    p.hwndOwner = DialogOwnerWindow();
    p.Flags |= PSD_MARGINS;
    if (!gGridPrintDevice.pageSetupRun(p))
        return 0;
    if (HDC dc = PrinterDc(s, false)) {
        const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        const int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
        const int perInch = (p.Flags & kInchUnits) ? 1000 : 2540;
        p.rtMinMargin.left = MulDivSafe(offX, perInch, dpiX);
        p.rtMinMargin.top = MulDivSafe(offY, perInch, dpiY);
        p.rtMinMargin.right = MulDivSafe(
            static_cast<long long>(GetDeviceCaps(dc, PHYSICALWIDTH)) - GetDeviceCaps(dc, HORZRES) - offX, perInch, dpiX);
        p.rtMinMargin.bottom = MulDivSafe(
            static_cast<long long>(GetDeviceCaps(dc, PHYSICALHEIGHT)) - GetDeviceCaps(dc, VERTRES) - offY, perInch, dpiY);
        DeleteDC(dc);
    }
    return 1;
}

// ---- Printing ------------------------------------------------------------------------------

namespace {

// The largest width or font height the print makes, in printer pixels.
constexpr int kSizeLimit = 1 << 20;

// Text alignments of the print.
constexpr UINT kLeftTop = TA_LEFT | TA_TOP;
constexpr UINT kCentreTop = TA_CENTER | TA_TOP;
constexpr UINT kRightTop = TA_RIGHT | TA_TOP;

// What one print keeps from page to page.
struct PrintJob {
    HWND grid = nullptr;
    GridRecord* r = nullptr;
    GridPrintSettings* s = nullptr;
    HDC printer = nullptr;
    HDC page = nullptr;
    HFONT font = nullptr, checkFont = nullptr;
    bool ownMarks = false; // the check-mark font lacks a mark: lines instead
    int h = 0, w = 0, H = 0, P = 0;
    int screenDpiX = 96, printerDpiX = 96;
    bool titleShown = false;
    bool cornerText = false;
    int labelWidth = -1; // widest row label + w, measured at the first page
    std::string corner;

    // Screen pixels in printer pixels at the scale, kept to sizes whose
    // sums cannot overflow.
    int Scaled(int screenPixels) const
    {
        return std::clamp(MulDivSafe(static_cast<long long>(screenPixels) * s->scale, printerDpiX,
                                     static_cast<long long>(screenDpiX) * 100),
                          0, kSizeLimit);
    }
    int TextWidth(const std::string& text) const
    {
        SIZE size{};
        GetTextExtentPoint32A(page, text.data(), static_cast<int>(text.size()), &size);
        return std::clamp(static_cast<int>(size.cx), 0, kSizeLimit);
    }
    void Line(int x0, int y0, int x1, int y1) const
    {
        MoveToEx(page, x0, y0, nullptr);
        LineTo(page, x1, y1);
    }
    void Text(int x, int y, UINT align, const std::string& text) const
    {
        SetTextAlign(page, align);
        TextOutA(page, x, y, text.data(), static_cast<int>(text.size()));
    }
    int GridBottom(int first, int last) const
    {
        return s->top + (titleShown ? H : 0) + (last - first + 1) * P + (s->rowLines ? 0 : h / 2);
    }
    void StartPage()
    {
        page = gGridPrintDevice.startPage(printer);
        SelectObject(page, font);
        SetTextColor(page, RGB(0, 0, 0));
        SetTextAlign(page, kLeftTop);
    }
    void EndPage()
    {
        gGridPrintDevice.endPage(printer, page);
        page = nullptr;
    }
};

// Whether CHECKFONT, as the printer realises it, is a symbol font with a
// glyph for both the check and the cross. A printer without "Wingdings"
// gets another face, which may lack either glyph (and print the same empty
// box for both) or not be a symbol font at all (and print letters).
bool CheckMarksPrintable(HDC printer, HFONT checkFont)
{
    HGDIOBJ old = SelectObject(printer, checkFont);
    const char marks[2] = {kGridPrintCheck, kGridPrintCross};
    WORD glyphs[2] = {0xFFFF, 0xFFFF};
    const bool symbol = GetTextCharset(printer) == SYMBOL_CHARSET;
    const DWORD found = GetGlyphIndicesA(printer, marks, 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(printer, old);
    return symbol && found == 2 && glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF;
}

// The print's own check (CHECKED) or cross, in the text colour, centred at
// CX on the text line at Y and kept inside BOX.
void OwnMark(const PrintJob& job, bool checked, int cx, int y, const RECT& box)
{
    HDC dc = job.page;
    const int half = std::max(job.h / 4, 2);
    const int cy = y + job.h / 2;
    const int save = SaveDC(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    HPEN pen = CreatePen(PS_SOLID, std::max(job.h / 10, 1), GetTextColor(dc));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (checked) {
        const POINT tick[3] = {{cx - half, cy}, {cx - half / 3, cy + half * 2 / 3}, {cx + half, cy - half}};
        Polyline(dc, tick, 3);
    } else {
        job.Line(cx - half, cy - half, cx + half, cy + half);
        job.Line(cx - half, cy + half, cx + half, cy - half);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    RestoreDC(dc, save);
}

std::string UpToNul(const std::vector<char>& buffer)
{
    return std::string(GridUpToNul(std::string_view(buffer.data(), buffer.size())));
}

// The row-label column of rows FIRST..LAST at X, X moved past it.
void GridPrintRowLabels(PrintJob& job, int first, int last, int& x)
{
    GridRecord* r = job.r;
    if (!(GetWindowLongA(job.grid, GWL_STYLE) & kGridRowHeaders))
        return;
    HDC dc = job.page;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    SetTextAlign(dc, kLeftTop);
    int width = job.Scaled(r->rowHeaderWidth);
    int y = job.s->top + job.h / 4;
    job.cornerText = false;
    if (job.titleShown) {
        if (!job.corner.empty()) {
            width = std::max(width, job.TextWidth(job.corner) + job.w);
            job.Text(x + job.w / 2, y, kLeftTop, job.corner);
            job.cornerText = true;
        }
        y += job.H;
    }
    if (job.labelWidth < 0) { // the labels of every row of the grid, once per print
        job.labelWidth = 0;
        for (int row = 0; row < r->rows; ++row)
            job.labelWidth = std::max(job.labelWidth, job.TextWidth(std::string(GridLabelOf(r, row))) + job.w);
    }
    width = std::max(width, job.labelWidth);
    for (int row = first; row <= last; ++row, y += job.P)
        job.Text(x + job.w / 2, y, kLeftTop, std::string(GridLabelOf(r, row)));
    const int old = x;
    x += width;
    const int bottom = job.GridBottom(first, last);
    job.Line(old, job.s->top + (job.titleShown && !job.cornerText ? job.H : 0), old, bottom);
    job.Line(x, job.s->top, x, bottom);
}

// The horizontal rulings of a page whose columns end at X.
void PageRulings(const PrintJob& job, int first, int last, int rulingStart, int x)
{
    const GridPrintSettings& s = *job.s;
    if (job.titleShown) {
        if (job.cornerText)
            job.Line(s.left, s.top, rulingStart, s.top);
        job.Line(s.left, s.top + job.H, x, s.top + job.H);
    }
    job.Line(rulingStart, s.top, x, s.top);
    if (s.rowLines) {
        const int y0 = s.top + (job.titleShown ? job.H : 0);
        for (int i = 1; i <= last - first + 1; ++i)
            job.Line(s.left, y0 + i * job.P, x, y0 + i * job.P);
    } else {
        const int bottom = job.GridBottom(first, last);
        job.Line(s.left, bottom, x, bottom);
    }
}

// The text colour (or -1) and background (or -1) of a cell by the settings:
// its own (colour record, or the column's), else the grid field's; text black
// when neither has one.
void CellColours(const PrintJob& job, const GridFileColumn& c, int row, int gridFore, int gridBack, int& fore,
                 int& back)
{
    fore = back = -1;
    int ownFore = -1, ownBack = -1;
    c.OwnColours(row, ownFore, ownBack);
    if (job.s->textColours)
        fore = ownFore != -1 ? ownFore : gridFore != -1 ? gridFore : static_cast<int>(RGB(0, 0, 0));
    if (job.s->backgroundColours)
        back = ownBack != -1 ? ownBack : gridBack;
}

} // namespace

void GridPrint(int id, int& result, int firstRow, int lastRow, int firstColumn, int lastColumn, int settingsNumber,
               std::string_view title)
{
    result = 0;
    const HWND grid = id == 0 ? GridEditorCurrentGrid() : GridWindowById(id);
    GridRecord* r = GridRecordOf(grid);
    if (!r || !r->column)
        return;
    GridPrintDefaults();
    PrintJob job;
    job.grid = grid;
    job.r = r;
    job.s = &GridPrintSettingsOf(settingsNumber);
    GridPrintSettings& s = *job.s;
    job.printer = gGridPrintDevice.open(s);
    if (!job.printer)
        return;
    // Rows and columns inside the grid.
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, r->rows - 1);
    firstColumn = std::max(firstColumn, 0);
    lastColumn = std::min(lastColumn, r->columns - 1);

    // Fonts: the screen font scaled to the printer and the scale.
    HDC screen = GetDC(grid);
    HFONT screenFont = r->font ? r->font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldScreenFont = SelectObject(screen, screenFont);
    TEXTMETRICA tm{};
    GetTextMetricsA(screen, &tm);
    LOGFONTA lf{};
    GetObjectA(screenFont, sizeof lf, &lf);
    job.screenDpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int screenDpiY = GetDeviceCaps(screen, LOGPIXELSY);
    job.printerDpiX = GetDeviceCaps(job.printer, LOGPIXELSX);
    const int printerDpiY = GetDeviceCaps(job.printer, LOGPIXELSY);
    lf.lfHeight = std::clamp(MulDivSafe(static_cast<long long>(tm.tmHeight - tm.tmInternalLeading) * printerDpiY,
                                        s.scale, static_cast<long long>(screenDpiY) * 100),
                             -kSizeLimit, kSizeLimit);
    lf.lfWidth = lf.lfEscapement = lf.lfOrientation = 0;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = 0;
    lf.lfQuality = 0;
    job.font = CreateFontIndirectA(&lf);
    LOGFONTA check = lf;
    check.lfCharSet = SYMBOL_CHARSET;
    check.lfPitchAndFamily = 0;
    std::strcpy(check.lfFaceName, "Wingdings");
    job.checkFont = CreateFontIndirectA(&check);
    job.ownMarks = !CheckMarksPrintable(job.printer, job.checkFont);

    // Page bounds in printer pixels; no printer offset is taken off.
    const int divisor = InchDivisor(s);
    const PAGESETUPDLGA& p = s.pageSetup;
    s.left = MulDivSafe(p.rtMargin.left, job.printerDpiX, divisor);
    s.right = MulDivSafe(static_cast<long long>(p.ptPaperSize.x) - p.rtMargin.right, job.printerDpiX, divisor);
    s.top = MulDivSafe(p.rtMargin.top, printerDpiY, divisor);
    s.bottom = MulDivSafe(static_cast<long long>(p.ptPaperSize.y) - p.rtMargin.bottom, printerDpiY, divisor);

    // The document.
    std::vector<char> text(1025, '\0');
    std::string name;
    if (settingsNumber == 2) {
        GridEditorFileName(grid, text);
        name = UpToNul(text);
    } else {
        name = std::string(TrimRight(GridUpToNul(title)));
    }
    if (TrimRight(name).empty())
        name = "Untitled Grid";
    gGridPrintDevice.startDoc(job.printer, name.c_str());
    job.page = job.printer;
    HGDIOBJ oldPrinterFont = SelectObject(job.printer, job.font);
    GetTextMetricsA(job.printer, &tm);
    job.h = std::clamp(static_cast<int>(tm.tmHeight), 0, kSizeLimit);
    job.w = std::clamp(static_cast<int>(tm.tmAveCharWidth), 0, kSizeLimit);
    job.H = 3 * job.h / 2;
    job.P = s.rowLines ? job.H : job.h;
    const bool headers = r->columnHeader != nullptr;
    int perPage = job.P > 0 ? (s.bottom - s.top) / job.P : 1;
    if (headers)
        --perPage;
    perPage = std::clamp(perPage, 1, INT32_MAX - 1); // at least one row per page
    {
        int local = id;
        if (headers)
            GridGetColumnTitle(local, 0, text);
        job.corner = headers ? UpToNul(text) : std::string();
    }
    FieldRecord* gridField = FieldRecordOf(grid);
    const int gridFore = gridField ? gridField->foreColour : -1;
    const int gridBack = gridField ? gridField->backColour : -1;
    std::vector<GridFileColumn> columns;
    for (int c = firstColumn; c <= lastColumn; ++c)
        columns.emplace_back(r, c);

    std::vector<std::string> cells;
    for (int first = firstRow; first <= lastRow;) {
        const int last = static_cast<int>(std::min<long long>(static_cast<long long>(first) + perPage - 1, lastRow));
        job.titleShown = headers && (s.headersEveryPage || first == firstRow);
        job.StartPage();
        int x = s.left;
        int rulingStart = x;
        GridPrintRowLabels(job, first, last, x);
        if (s.headersEveryPage || first == firstRow)
            rulingStart = x;
        int pageFirstColumn = firstColumn;
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const GridFileColumn& fc = columns[static_cast<size_t>(c - firstColumn)];
            const GridColumnRecord& col = r->column[c];
            int y = s.top + job.h / 4;
            // The width: the screen width scaled, raised to the widest text of the block.
            cells.clear();
            int width = job.Scaled(col.width);
            for (int row = first; row <= last; ++row) {
                cells.push_back(fc.Text(row, 1));
                if (col.type != kCellCheckBox)
                    width = std::max(width, job.TextWidth(cells.back()) + job.w);
            }
            if (c == pageFirstColumn && x + width > s.right)
                width = s.right - x;
            if (x + width > s.right) {
                const int bottom = job.GridBottom(first, last);
                if (!s.columnLines)
                    job.Line(x, s.top, x, bottom);
                PageRulings(job, first, last, rulingStart, x);
                job.EndPage();
                pageFirstColumn = c;
                job.StartPage();
                x = s.left;
                rulingStart = s.left;
                if (s.headersEveryPage) {
                    GridPrintRowLabels(job, first, last, x);
                    rulingStart = x;
                } else {
                    job.Line(s.left, s.top, s.left, bottom);
                }
                if (x + width > s.right)
                    width = s.right - x;
            }
            if (job.titleShown) {
                int local = id;
                GridGetColumnTitle(local, c + 1, text);
                SetTextColor(job.page, RGB(0, 0, 0));
                SetBkMode(job.page, TRANSPARENT);
                job.Text(x + width / 2, y, kCentreTop, UpToNul(text));
                y += job.H;
            }
            // Where the texts go.
            UINT align = kLeftTop;
            int tx = x + job.w / 2;
            if (col.type == kCellCheckBox) {
                align = kCentreTop;
                tx = x + width / 2;
            } else if (col.type <= kCellDouble) {
                const LONG style = GetWindowLongA(col.control, GWL_STYLE);
                if (style & ES_RIGHT) {
                    align = kRightTop;
                    tx = x + width - job.w / 2;
                } else if (style & ES_CENTER) {
                    align = kCentreTop;
                    tx = x + width / 2;
                }
            }
            SelectObject(job.page, col.type == kCellCheckBox ? job.checkFont : job.font);
            SetTextAlign(job.page, align);
            for (int row = first; row <= last; ++row, y += job.P) {
                int fore = -1, back = -1;
                CellColours(job, fc, row, gridFore, gridBack, fore, back);
                if (fore != -1)
                    SetTextColor(job.page, static_cast<COLORREF>(fore));
                if (s.backgroundColours)
                    SetBkMode(job.page, back != -1 ? OPAQUE : TRANSPARENT);
                if (back != -1)
                    SetBkColor(job.page, static_cast<COLORREF>(back));
                RECT box{x + 1, s.rowLines ? y - job.h / 4 : y, x + width + 1, 0};
                box.bottom = box.top + job.P;
                if (!s.rowLines && row == first)
                    box.top -= job.h / 4;
                if (!s.rowLines && row == last)
                    box.bottom += job.h / 4;
                const std::string& t = cells[static_cast<size_t>(row - first)];
                const bool drawn = job.ownMarks && col.type == kCellCheckBox;
                ExtTextOutA(job.page, tx, y, ETO_CLIPPED | (back != -1 ? ETO_OPAQUE : 0), &box, t.data(),
                            drawn ? 0 : static_cast<UINT>(t.size()), nullptr);
                if (drawn)
                    OwnMark(job, !t.empty() && t[0] == kGridPrintCheck, tx, y, box);
            }
            SelectObject(job.page, job.font);
            SetTextColor(job.page, RGB(0, 0, 0));
            x += width;
            if (s.columnLines || c == lastColumn)
                job.Line(x, s.top, x, job.GridBottom(first, last));
        }
        PageRulings(job, first, last, rulingStart, x);
        if (job.titleShown && first == firstRow && !s.headersEveryPage)
            ++perPage;
        job.EndPage();
        first = last + 1;
    }
    gGridPrintDevice.endDoc(job.printer);
    SelectObject(screen, oldScreenFont);
    ReleaseDC(grid, screen);
    SelectObject(job.printer, oldPrinterFont);
    DeleteObject(job.font);
    DeleteObject(job.checkFont);
    gGridPrintDevice.close(job.printer);
    result = 1;
}

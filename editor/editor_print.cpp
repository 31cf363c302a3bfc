// Printing the editor's text on a Windows printer with page margins, and the
// page-setup records that go with it: record 0 for the routines, record 1
// for the Print and Print Selection commands (shown in the page setup dialog
// at each command). Where the control renders no pages (Wine's
// EM_FORMATRANGE answers 0), the editor lays the text out itself.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/numeric.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_table.h"
#include "dialogs/printer_services.h"

EditorPageSetupTable gEditorPageSetupTable;

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kTabTwips = 720;
int gPrintedPages = 0;
bool gDefaultLookupFails = false;

int Clamp32(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Units per inch of a record: thousandths of an inch with that flag,
// hundredths of a millimetre otherwise.
int UnitsPerInch(const PAGESETUPDLGA& p)
{
    return (p.Flags & PSD_INTHOUSANDTHSOFINCHES) ? 1000 : 2540;
}

// V * MUL / DIV in 64 bits, clamped to the int range; 0 for a zero divisor.
int Scale(int64_t v, int64_t mul, int64_t div)
{
    return div == 0 ? 0 : Clamp32(v * mul / div);
}

void RecordPrepare(int index, HWND owner)
{
    EditorPageSetupTable& t = gEditorPageSetupTable;
    PAGESETUPDLGA& p = t.record[index];
    p.lStructSize = sizeof p;
    p.hwndOwner = owner;
    p.hDevMode = t.devMode[index];
    p.hDevNames = t.devNames[index];
    p.hInstance = gWindowSystem.instance;
    p.lpfnPageSetupHook = nullptr;
    p.lpfnPagePaintHook = nullptr;
    p.lpPageSetupTemplateName = nullptr;
    p.hPageSetupTemplate = nullptr;
    p.Flags &= ~static_cast<DWORD>(PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGEPAINTHOOK |
                                   PSD_ENABLEPAGESETUPTEMPLATE | PSD_ENABLEPAGESETUPTEMPLATEHANDLE);
}

void HandlesKeep(int index)
{
    EditorPageSetupTable& t = gEditorPageSetupTable;
    t.devMode[index] = t.record[index].hDevMode;
    t.devNames[index] = t.record[index].hDevNames;
}

// A device context for the printer of record INDEX; nullptr when it has no
// printer.
HDC PrinterDC(int index)
{
    const PAGESETUPDLGA& p = gEditorPageSetupTable.record[index];
    if (!p.hDevNames || !p.hDevMode)
        return nullptr;
    auto* names = static_cast<DEVNAMES*>(GlobalLock(p.hDevNames));
    if (!names)
        return nullptr;
    SIZE_T namesSize = GlobalSize(p.hDevNames);
    HDC dc = nullptr;
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(p.hDevMode));
    if (mode && namesSize > sizeof(DEVNAMES) && names->wDriverOffset < namesSize &&
        names->wDeviceOffset < namesSize && names->wOutputOffset < namesSize) {
        const char* base = reinterpret_cast<const char*>(names);
        std::string driver(base + names->wDriverOffset, strnlen(base + names->wDriverOffset, namesSize - names->wDriverOffset));
        std::string device(base + names->wDeviceOffset, strnlen(base + names->wDeviceOffset, namesSize - names->wDeviceOffset));
        std::string output(base + names->wOutputOffset, strnlen(base + names->wOutputOffset, namesSize - names->wOutputOffset));
        dc = CreateDCA(driver.c_str(), device.c_str(), output.empty() ? nullptr : output.c_str(), mode);
    }
    if (mode)
        GlobalUnlock(p.hDevMode);
    GlobalUnlock(p.hDevNames);
    return dc;
}

// The unprintable edges of the printer in the record's units.
void MinimumMarginsStore(PAGESETUPDLGA& p, HDC dc)
{
    const int64_t u = UnitsPerInch(p);
    const int64_t dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    const int64_t offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    const int64_t physW = GetDeviceCaps(dc, PHYSICALWIDTH), physH = GetDeviceCaps(dc, PHYSICALHEIGHT);
    const int64_t horz = GetDeviceCaps(dc, HORZRES), vert = GetDeviceCaps(dc, VERTRES);
    p.rtMinMargin.left = Scale(offX, u, dpiX);
    p.rtMinMargin.top = Scale(offY, u, dpiY);
    p.rtMinMargin.right = Scale(physW - horz - offX, u, dpiX);
    p.rtMinMargin.bottom = Scale(physH - vert - offY, u, dpiY);
}

// ---- the editor's own page layout --------------------------------------------------

// The record's font scaled from the screen to the printer.
HFONT PrinterFont(EditorRecord* r, HDC printer)
{
    LOGFONTA lf{};
    if (!r->font || !GetObjectA(r->font, sizeof lf, &lf))
        GetObjectA(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    HDC screen = GetDC(nullptr);
    int screenDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    int printerDpi = GetDeviceCaps(printer, LOGPIXELSY);
    if (lf.lfHeight == 0)
        lf.lfHeight = -12 * screenDpi / 72;
    lf.lfHeight = Scale(lf.lfHeight, printerDpi, screenDpi);
    lf.lfWidth = Scale(lf.lfWidth, printerDpi, screenDpi);
    return CreateFontIndirectA(&lf);
}

struct PageLayout {
    int width = 0;       // pixels of the layout rectangle
    int tab = 1;         // pixels between TAB stops
    const int* advance = nullptr; // pixel advance per character code
};

// The x of each character of LINE (TABs go to the next stop).
int Advance(const PageLayout& l, int x, char c)
{
    if (c == '\t')
        return (x / l.tab + 1) * l.tab;
    return x + l.advance[static_cast<unsigned char>(c)];
}

// Splits one line of text into the lines that fit the layout width: at the
// last blank before the edge, else before the character that does not fit.
void Wrap(const PageLayout& l, const std::string& line, std::vector<std::string>& out)
{
    size_t start = 0;
    while (true) {
        int x = 0;
        size_t i = start, lastBlank = std::string::npos;
        for (; i < line.size(); ++i) {
            int next = Advance(l, x, line[i]);
            if (next > l.width && i > start)
                break;
            if (line[i] == ' ')
                lastBlank = i;
            x = next;
        }
        if (i >= line.size()) {
            out.push_back(line.substr(start));
            return;
        }
        size_t end = (lastBlank != std::string::npos && lastBlank > start) ? lastBlank + 1 : i;
        out.push_back(line.substr(start, end - start));
        start = end;
    }
}

// The printed lines of TEXT (line ends CR, LF or CR LF).
std::vector<std::string> LayoutLines(const PageLayout& l, const std::string& text)
{
    std::vector<std::string> lines;
    size_t from = 0;
    while (from <= text.size()) {
        size_t end = text.find_first_of("\r\n", from);
        std::string line = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
        Wrap(l, line, lines);
        if (end == std::string::npos)
            break;
        from = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        if (from == text.size())
            break; // a final line end starts no further line
    }
    return lines;
}

void DrawLine(HDC dc, const PageLayout& l, int left, int y, const std::string& line)
{
    int x = 0;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == '\t') {
            x = Advance(l, x, '\t');
            ++i;
            continue;
        }
        size_t end = line.find('\t', i);
        if (end == std::string::npos)
            end = line.size();
        TextOutA(dc, left + x, y, line.data() + i, static_cast<int>(end - i));
        for (; i < end; ++i)
            x = Advance(l, x, line[i]);
    }
}

// Prints control positions FROM..TO as plain text in the record's font:
// the pages printed.
int PrintOwnLayout(EditorRecord* r, HDC dc, const RECT& layoutTwips, int from, int to)
{
    const int dpiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), dpiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    const int left = Scale(layoutTwips.left, dpiX, kTwipsPerInch), top = Scale(layoutTwips.top, dpiY, kTwipsPerInch);
    const int right = Scale(layoutTwips.right, dpiX, kTwipsPerInch);
    const int bottom = Scale(layoutTwips.bottom, dpiY, kTwipsPerInch);
    std::string text(static_cast<size_t>(to - from) + 1, '\0');
    TEXTRANGEA tr{};
    tr.chrg = {from, to};
    tr.lpstrText = text.data();
    LRESULT got = SendMessageA(r->richEdit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, to - from)));

    HFONT font = PrinterFont(r, dc);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    int advance[256] = {};
    if (!GetCharWidth32A(dc, 0, 255, advance))
        std::fill(std::begin(advance), std::end(advance), std::max(1, static_cast<int>(tm.tmAveCharWidth)));
    PageLayout l;
    l.width = std::max(1, right - left);
    l.tab = std::max(1, Scale(kTabTwips, dpiX, kTwipsPerInch));
    l.advance = advance;
    std::vector<std::string> lines = LayoutLines(l, text);
    const int lineHeight = std::max(1, static_cast<int>(tm.tmHeight + tm.tmExternalLeading));
    const int perPage = std::max(1, (bottom - top) / lineHeight);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    int pages = 0;
    for (size_t i = 0; i < lines.size(); i += static_cast<size_t>(perPage)) {
        StartPage(dc);
        // A page may forget the selected font on some drivers.
        if (font)
            SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        size_t end = std::min(lines.size(), i + static_cast<size_t>(perPage));
        for (size_t k = i; k < end; ++k)
            DrawLine(dc, l, left, top + static_cast<int>(k - i) * lineHeight, lines[k]);
        EndPage(dc);
        ++pages;
    }
    if (old)
        SelectObject(dc, old);
    if (font)
        DeleteObject(font);
    return pages;
}

// Prints through the control's own page formatting: the pages printed, or
// -1 when the control made no progress on the first page.
int PrintByControl(EditorRecord* r, HDC dc, const RECT& layout, const RECT& page, int from, int to)
{
    HWND c = r->richEdit;
    FORMATRANGE fr{};
    fr.hdc = dc;
    fr.hdcTarget = dc;
    fr.rc = layout;
    fr.rcPage = page;
    fr.chrg = {from, to};
    LRESULT measured = SendMessageA(c, EM_FORMATRANGE, 0, reinterpret_cast<LPARAM>(&fr));
    SendMessageA(c, EM_FORMATRANGE, 0, 0);
    if (measured <= from)
        return -1;
    int pages = 0;
    int position = from;
    while (position < to) {
        StartPage(dc);
        fr.rc = layout;
        fr.chrg = {position, to};
        LRESULT next = SendMessageA(c, EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&fr));
        EndPage(dc);
        ++pages;
        if (next <= position)
            break; // no progress: the loop would never end
        position = static_cast<int>(next);
    }
    SendMessageA(c, EM_FORMATRANGE, 0, 0);
    return pages;
}

void Refocus(HWND frame, EditorRecord* r)
{
    if (r->insideParent) {
        SetFocus(frame);
        WindowFocusActivate(frame);
    }
}

} // namespace

void EditorPrinterDefaults()
{
    EditorPageSetupTable& t = gEditorPageSetupTable;
    if (t.defaultsMade)
        return;
    t.defaultsMade = 1;
    for (int i = 0; i < 2; ++i) {
        PAGESETUPDLGA& p = t.record[i];
        p = PAGESETUPDLGA{};
        p.lStructSize = sizeof p;
        p.hwndOwner = gWindowTable.frame[0];
        p.Flags = PSD_RETURNDEFAULT;
        if (!gDefaultLookupFails && PageSetupDlgA(&p)) {
            t.devMode[i] = p.hDevMode;
            t.devNames[i] = p.hDevNames;
        } else {
            p.hDevMode = p.hDevNames = nullptr;
            t.devMode[i] = t.devNames[i] = nullptr;
        }
        p.Flags &= ~static_cast<DWORD>(PSD_RETURNDEFAULT);
    }
}

void EditorPrinterDefaultsReset(bool lookupFails)
{
    EditorPageSetupTable& t = gEditorPageSetupTable;
    for (int i = 0; i < 2; ++i) {
        // The two records may share nothing: each handle is freed once.
        if (t.devMode[i])
            GlobalFree(t.devMode[i]);
        if (t.devNames[i])
            GlobalFree(t.devNames[i]);
    }
    t = EditorPageSetupTable{};
    gDefaultLookupFails = lookupFails;
}

int EditorPrintedPages()
{
    return gPrintedPages;
}

int EditorPrint(HWND frame, EditorRecord* r, int rangeFlag, int recordIndex, int start, int end,
                std::string_view documentName)
{
    if (recordIndex != 0 && recordIndex != 1)
        return 0;
    gPrintedPages = 0;
    EditorPrinterDefaults();
    EditorPageSetupTable& t = gEditorPageSetupTable;
    PAGESETUPDLGA& p = t.record[recordIndex];
    RecordPrepare(recordIndex, frame);
    p.Flags = (p.Flags & ~static_cast<DWORD>(PSD_RETURNDEFAULT)) | PSD_MARGINS;
    const bool command = recordIndex == 1;
    // Without a printer the dialog cannot run: the command reports it below.
    if (command && p.hDevMode && p.hDevNames) {
        if (!PageSetupRun(p)) {
            HandlesKeep(recordIndex);
            Refocus(frame, r);
            return 0;
        }
    }
    HandlesKeep(recordIndex);
    HDC dc = PrinterDC(recordIndex);
    if (!dc) {
        if (command) {
            MessageBoxA(frame, "Unable to print text", "Print Error", MB_OK | MB_ICONWARNING);
            Refocus(frame, r);
        }
        return 0;
    }
    MinimumMarginsStore(p, dc);
    const int64_t u = UnitsPerInch(p);
    const RECT& m = p.rtMargin;
    const RECT& mm = p.rtMinMargin;
    RECT layout{Scale(static_cast<int64_t>(m.left) - mm.left, kTwipsPerInch, u),
                Scale(static_cast<int64_t>(m.top) - mm.top, kTwipsPerInch, u),
                Scale(static_cast<int64_t>(p.ptPaperSize.x) - m.right - mm.right, kTwipsPerInch, u),
                Scale(static_cast<int64_t>(p.ptPaperSize.y) - m.bottom - mm.bottom, kTwipsPerInch, u)};
    RECT page{0, 0, Scale(p.ptPaperSize.x, kTwipsPerInch, u), Scale(p.ptPaperSize.y, kTwipsPerInch, u)};
    // Margins inside the unprintable edges (0 when never set) would put text
    // where the printer cannot put it: the layout stays on the printable area.
    const LONG printableRight = Scale(GetDeviceCaps(dc, HORZRES), kTwipsPerInch, std::max(1, GetDeviceCaps(dc, LOGPIXELSX)));
    const LONG printableBottom = Scale(GetDeviceCaps(dc, VERTRES), kTwipsPerInch, std::max(1, GetDeviceCaps(dc, LOGPIXELSY)));
    layout.left = std::max(layout.left, 0L);
    layout.top = std::max(layout.top, 0L);
    layout.right = std::min(layout.right, printableRight);
    layout.bottom = std::min(layout.bottom, printableBottom);
    // A layout without room prints nothing.
    if (layout.right <= layout.left || layout.bottom <= layout.top) {
        DeleteDC(dc);
        if (command)
            Refocus(frame, r);
        return 0;
    }

    int from = 0, to = 0;
    HWND c = r->richEdit;
    if (rangeFlag == 0) {
        GETTEXTLENGTHEX g{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
        to = r->version == 1 ? static_cast<int>(SendMessageA(c, WM_GETTEXTLENGTH, 0, 0))
                             : static_cast<int>(SendMessageA(c, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
    } else if (command) {
        CHARRANGE s{};
        SendMessageA(c, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
        from = s.cpMin;
        to = s.cpMax;
    } else {
        from = start;
        to = end;
    }
    from = std::max(0, from);
    to = std::max(from, to);

    std::string name(command ? std::string_view(r->fileName) : documentName);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.empty())
        name = "Untitled Text";
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = name.c_str();
    if (StartDocA(dc, &doc) <= 0) {
        DeleteDC(dc);
        if (command) {
            MessageBoxA(frame, "Unable to print text", "Print Error", MB_OK | MB_ICONWARNING);
            Refocus(frame, r);
        }
        return 0;
    }
    int pages = 0;
    if (to > from) {
        pages = PrintByControl(r, dc, layout, page, from, to);
        if (pages < 0)
            pages = PrintOwnLayout(r, dc, layout, from, to);
    }
    EndDoc(dc);
    DeleteDC(dc);
    gPrintedPages = pages;
    return 1;
}

void EditorPrintRange(int& status, int start, int end, std::string_view documentName)
{
    status = 0;
    EditorRecord* r = EditorCurrentRecord();
    if (!r)
        return;
    int result;
    if (start >= 0 && start < end) {
        int a = 0, b = 0;
        EditorPositionToControl(r, start, end, a, b);
        result = EditorPrint(r->frame, r, 1, 0, a, b, documentName);
    } else {
        result = EditorPrint(r->frame, r, 0, 0, 0, 0, documentName);
    }
    status = result == 1 ? 1 : 0;
}

void EditorPageSetup(int units, int recordIndex, int& status)
{
    status = 0;
    if (recordIndex != 0 && recordIndex != 1)
        return;
    EditorPrinterDefaults();
    PAGESETUPDLGA& p = gEditorPageSetupTable.record[recordIndex];
    const bool wasInches = (p.Flags & PSD_INTHOUSANDTHSOFINCHES) != 0;
    bool inches;
    if (units == -1) {
        char system[4] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, system, sizeof system);
        inches = system[0] == '1';
    } else {
        inches = units < 2;
    }
    p.Flags = inches ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
    HWND owner = DialogOwnerWindow();
    if (owner && IsWindow(owner))
        owner = GetAncestor(owner, GA_ROOT);
    RecordPrepare(recordIndex, owner);
    if (inches != wasInches) {
        constexpr double kMillimetresPerInchUnit = 2.54065;
        auto convert = [&](LONG& v) {
            v = inches ? TruncateToInt(v / kMillimetresPerInchUnit) : TruncateToInt(v * kMillimetresPerInchUnit);
        };
        convert(p.rtMargin.left);
        convert(p.rtMargin.top);
        convert(p.rtMargin.right);
        convert(p.rtMargin.bottom);
        convert(p.ptPaperSize.x);
        convert(p.ptPaperSize.y);
    }
    p.Flags |= PSD_MARGINS;
    int confirmed = PageSetupRun(p);
    HandlesKeep(recordIndex);
    if (!confirmed)
        return;
    status = 1;
    if (HDC dc = PrinterDC(recordIndex)) {
        MinimumMarginsStore(p, dc);
        DeleteDC(dc);
    }
}

void EditorPageSetupGet(int item, int& value, int recordIndex)
{
    value = 0;
    if (recordIndex != 0 && recordIndex != 1)
        return;
    EditorPrinterDefaults();
    const PAGESETUPDLGA& p = gEditorPageSetupTable.record[recordIndex];
    const int64_t u = UnitsPerInch(p);
    const RECT& m = p.rtMargin;
    switch (item) {
    case 1: value = Scale(static_cast<int64_t>(m.right) - m.left, 72, u); break;
    case 2: value = Scale(static_cast<int64_t>(m.bottom) - m.top, 72, u); break;
    case 3: value = Scale(m.left, 72, u); break;
    case 4: value = Scale(m.top, 72, u); break;
    case 5:
        if (p.hDevMode) {
            if (auto* mode = static_cast<DEVMODEA*>(GlobalLock(p.hDevMode))) {
                value = mode->dmOrientation == DMORIENT_PORTRAIT ? 0 : 1;
                GlobalUnlock(p.hDevMode);
            }
        }
        break;
    default: break;
    }
}

void EditorPageSetupSet(int item, int value, int recordIndex)
{
    if (recordIndex != 0 && recordIndex != 1)
        return;
    EditorPrinterDefaults();
    PAGESETUPDLGA& p = gEditorPageSetupTable.record[recordIndex];
    const int units = Scale(value, UnitsPerInch(p), 72);
    RECT& m = p.rtMargin;
    switch (item) {
    case 1: m.right = Clamp32(static_cast<int64_t>(m.left) + units); return;
    case 2: m.bottom = Clamp32(static_cast<int64_t>(m.top) + units); return;
    case 3: m.left = units; return;
    case 4: m.top = units; return;
    case 5: break;
    default: return;
    }
    if (value < 0 || value > 3 || !p.hDevMode)
        return;
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(p.hDevMode));
    if (!mode)
        return;
    const short wanted = (value == 1 || value == 3) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    const bool isLandscape = mode->dmOrientation == DMORIENT_LANDSCAPE;
    if ((wanted == DMORIENT_LANDSCAPE) != isLandscape) {
        std::swap(p.ptPaperSize.x, p.ptPaperSize.y);
        mode->dmOrientation = wanted;
        mode->dmFields |= DM_ORIENTATION;
    }
    GlobalUnlock(p.hDevMode);
    const int64_t across = static_cast<int64_t>(m.right) - m.left, down = static_cast<int64_t>(m.bottom) - m.top;
    if ((value == 2 && across > down) || (value == 3 && across < down)) {
        m.right = Clamp32(m.left + down);
        m.bottom = Clamp32(m.top + across);
    }
}

// Page setup, print setup and the printer's paper and bin lists (see
// dialogs/printer_services.h).
#include "dialogs/printer_services.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "dialogs/common_dialogs.h"
#include "dialogs/page_setup_dialog.h"
#include "graphics/gdi_surface.h"

PageSetupState gPageSetupState;

namespace {

// A locked global memory block, unlocked at the end of the scope.
template <class T>
class Locked {
public:
    explicit Locked(HGLOBAL handle)
        : handle_(handle), data_(handle ? static_cast<T*>(GlobalLock(handle)) : nullptr),
          size_(data_ ? GlobalSize(handle) : 0)
    {
    }
    ~Locked()
    {
        if (data_)
            GlobalUnlock(handle_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    T* get() const { return size_ >= sizeof(T) ? data_ : nullptr; }
    size_t size() const { return size_; }

private:
    HGLOBAL handle_;
    T* data_;
    size_t size_;
};

// The NUL-terminated text at OFFSET of a printer-names block of SIZE bytes
// (empty when it lies outside).
std::string NamesText(const DEVNAMES* names, size_t size, WORD offset)
{
    if (offset >= size)
        return {};
    const char* base = reinterpret_cast<const char*>(names) + offset;
    return std::string(base, strnlen(base, size - offset));
}

// Driver, device and port of a printer-names block.
struct PrinterNames {
    std::string driver, device, port;
};

bool NamesRead(HGLOBAL handle, PrinterNames& out)
{
    Locked<DEVNAMES> names(handle);
    const DEVNAMES* n = names.get();
    if (!n)
        return false;
    out.driver = NamesText(n, names.size(), n->wDriverOffset);
    out.device = NamesText(n, names.size(), n->wDeviceOffset);
    out.port = NamesText(n, names.size(), n->wOutputOffset);
    return !out.device.empty();
}

// The printer of the running page setup, with its settings locked while
// the object lives.
class RecordPrinter {
public:
    RecordPrinter()
    {
        const PAGESETUPDLGA* record = gPageSetupState.record;
        if (!record || !record->hDevMode || !record->hDevNames || !NamesRead(record->hDevNames, names_))
            return;
        mode_.emplace(record->hDevMode);
    }
    bool Ready() const { return Mode() != nullptr; }
    DEVMODEA* Mode() const { return mode_ ? mode_->get() : nullptr; }
    // DeviceCapabilities of the printer; -1 without one.
    int Capability(WORD what, char* output) const
    {
        if (!Ready())
            return -1;
        return DeviceCapabilitiesA(names_.device.c_str(), names_.port.c_str(), what, output, Mode());
    }

private:
    PrinterNames names_;
    std::optional<Locked<DEVMODEA>> mode_;
};

// Orientation (0 or 1) and copies into a device mode, marked as set.
void ModeOrientationCopiesSet(DEVMODEA* mode, int orientation, int copies)
{
    if (!mode)
        return;
    mode->dmFields |= DM_ORIENTATION | DM_COPIES;
    mode->dmOrientation = orientation == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    mode->dmCopies = static_cast<short>(std::clamp(copies, 1, 32767));
}

void ModeOrientationCopiesGet(const DEVMODEA* mode, int& orientation, int& copies)
{
    if (!mode)
        return;
    orientation = mode->dmOrientation == DMORIENT_LANDSCAPE ? 1 : 0;
    copies = mode->dmCopies;
}

void HandleFree(HGLOBAL& handle)
{
    if (handle)
        GlobalFree(handle);
    handle = nullptr;
}

void NameCopy(char (&to)[260], const std::string& from)
{
    size_t n = std::min(from.size(), sizeof to - 1);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

// After an accepted page setup: the printer's names and settings for the
// Windows printer, and its colour count.
int PrinterSettingsKeep(HGLOBAL devMode, HGLOBAL devNames, POINT paper, DWORD unitsFlag)
{
    GdiPrinterSettings& p = gGdiPrinterSettings;
    PrinterNames names;
    Locked<DEVMODEA> mode(devMode);
    if (!NamesRead(devNames, names) || !mode.get())
        return 0;
    NameCopy(p.device, names.device);
    NameCopy(p.driver, names.driver);
    NameCopy(p.port, names.port);
    p.dialogMode = DEVMODEA{};
    std::memcpy(&p.dialogMode, mode.get(), std::min(mode.size(), sizeof(DEVMODEA)));
    p.dialogMode.dmSize = sizeof(DEVMODEA);
    p.dialogMode.dmDriverExtra = 0;
    p.known = true;
    p.dialogInForce = true;
    p.paperWidth = paper.x;
    p.paperHeight = paper.y;
    p.paperInThousandthsInch = unitsFlag == PSD_INTHOUSANDTHSOFINCHES;
    int colours = 0;
    if (HDC ic = CreateICA(names.driver.c_str(), names.device.c_str(), names.port.c_str(), mode.get())) {
        colours = GetDeviceCaps(ic, NUMCOLORS);
        DeleteDC(ic);
    }
    return colours;
}

// A paper size of one unit system in the other.
LONG PaperUnitsConvert(LONG value, DWORD from, DWORD to)
{
    if (from == to)
        return value;
    double v = to == PSD_INTHOUSANDTHSOFINCHES ? value / 2.54 : value * 2.54;
    return TruncateToInt(v);
}

} // namespace

// ---- page setup ---------------------------------------------------------------------------

void PageSetupDialogRun(int& paperWidth, int& paperHeight, int& printableWidth, int& printableHeight,
                        int& leftMargin, int& topMargin, int& orientation, int& copies, int units, int& colours,
                        int& accepted)
{
    PageSetupState& s = gPageSetupState;
    accepted = 0;
    const HWND activeBefore = gActiveDialog;
    {
        ModalScope scope;
        const DWORD unitsFlag = units < 2 ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
        PAGESETUPDLGA record{};
        record.lStructSize = sizeof record;
        record.hwndOwner = scope.Owner();
        record.hInstance = GetModuleHandleA(nullptr);
        if (s.printerChosen && s.devMode && s.devNames) {
            record.hDevMode = s.devMode;
            record.hDevNames = s.devNames;
            record.ptPaperSize = {PaperUnitsConvert(s.paperSize.x, s.unitsFlag, unitsFlag),
                                  PaperUnitsConvert(s.paperSize.y, s.unitsFlag, unitsFlag)};
        } else {
            HandleFree(s.devMode);
            HandleFree(s.devNames);
            s.printerChosen = 0;
            record.Flags = PSD_RETURNDEFAULT | unitsFlag;
            if (!PageSetupDlgA(&record)) {
                gActiveDialog = activeBefore;
                return; // no default printer: nothing is kept
            }
            s.devMode = record.hDevMode;
            s.devNames = record.hDevNames;
        }
        s.unitsFlag = unitsFlag;

        const int wanted = orientation == 1 ? 1 : 0;
        {
            Locked<DEVMODEA> mode(record.hDevMode);
            ModeOrientationCopiesSet(mode.get(), wanted, copies);
        }
        POINT& paper = record.ptPaperSize;
        if ((wanted == 1 && paper.x < paper.y) || (wanted == 0 && paper.y < paper.x))
            std::swap(paper.x, paper.y);
        const int left = std::max(leftMargin, 0), top = std::max(topMargin, 0);
        const int right = std::max(paperWidth - std::max(printableWidth, 0) - left, 0);
        const int bottom = std::max(paperHeight - std::max(printableHeight, 0) - top, 0);
        record.rtMargin = {left, top, right, bottom};
        record.Flags = unitsFlag | PSD_MARGINS;

        scope.Disable();
        const int confirmed = PageSetupRun(record);
        s.devMode = record.hDevMode;
        s.devNames = record.hDevNames;
        if (confirmed) {
            s.paperSize = record.ptPaperSize;
            paperWidth = record.ptPaperSize.x;
            paperHeight = record.ptPaperSize.y;
            const RECT& m = record.rtMargin;
            printableWidth = std::max<int>(paperWidth - m.left - m.right, 0);
            printableHeight = std::max<int>(paperHeight - m.top - m.bottom, 0);
            leftMargin = m.left;
            topMargin = m.top;
            {
                Locked<DEVMODEA> mode(record.hDevMode);
                ModeOrientationCopiesGet(mode.get(), orientation, copies);
            }
            colours = PrinterSettingsKeep(record.hDevMode, record.hDevNames, record.ptPaperSize, unitsFlag);
            s.printerChosen = 1;
            accepted = 1;
        }
    }
    gActiveDialog = activeBefore;
}

int PageSetupUsesLibraryDialog()
{
    switch (gPageSetupState.choice) {
    case PageSetupChoice::Platform:
        return 0;
    case PageSetupChoice::Library:
        return 1;
    default:
        break;
    }
    int major = gLibraryState.osMajorVersion;
    if (major == 0)
        major = LOBYTE(LOWORD(GetVersion()));
    if (major < 6)
        return 0;
    return FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kPageSetupDialogId), RT_DIALOG) ? 1 : 0;
}

int PageSetupRun(PAGESETUPDLGA& record)
{
    if (!PageSetupUsesLibraryDialog())
        return PageSetupDlgA(&record) ? 1 : 0;
    PageSetupState& s = gPageSetupState;
    PAGESETUPDLGA* previous = s.record;
    s.record = &record;
    int units = (record.Flags & PSD_INTHOUSANDTHSOFINCHES) ? 0 : 2;
    int paperWidth = record.ptPaperSize.x, paperHeight = record.ptPaperSize.y;
    const RECT& m = record.rtMargin;
    int left = m.left, top = m.top;
    int printableWidth = paperWidth - m.left - m.right;
    int printableHeight = paperHeight - m.top - m.bottom;
    int orientation = 0, copies = 1;
    {
        Locked<DEVMODEA> mode(record.hDevMode);
        ModeOrientationCopiesGet(mode.get(), orientation, copies);
    }
    int result = 0;
    YYPageSetupDialog(paperWidth, paperHeight, printableWidth, printableHeight, left, top, orientation, copies,
                      units, result);
    if (result == 1) {
        record.ptPaperSize = {paperWidth, paperHeight};
        record.rtMargin = {left, top, paperWidth - printableWidth - left, paperHeight - printableHeight - top};
        Locked<DEVMODEA> mode(record.hDevMode);
        ModeOrientationCopiesSet(mode.get(), orientation, copies);
    }
    s.record = previous;
    return result == 1 ? 1 : 0;
}

// ---- print setup -----------------------------------------------------------------------------

void PrintDialogRun(int& orientation, int& copies, int& accepted)
{
    accepted = 0;
    PageSetupState& p = gPageSetupState;
    if (!p.printReady) {
        PRINTDLGA& r = p.print;
        r = PRINTDLGA{};
        r.lStructSize = sizeof r;
        r.nFromPage = r.nToPage = 0xFFFF;
        r.nMinPage = 1;
        r.nMaxPage = 0xFFFF;
        r.hInstance = GetModuleHandleA(nullptr);
        r.Flags = PD_RETURNDEFAULT | PD_PRINTSETUP;
        if (!PrintDlgA(&r)) {
            r = PRINTDLGA{};
            return; // no default printer: nothing is kept
        }
        p.printReady = 1;
    }
    ModalScope scope;
    PRINTDLGA run = p.print;
    run.hwndOwner = scope.Owner();
    run.nCopies = static_cast<WORD>(std::clamp(copies, 1, 0xFFFF));
    PAGESETUPDLGA* record = p.record;
    const bool onRecord = record && record->hDevMode && record->hDevNames;
    if (onRecord) {
        run.hDevMode = record->hDevMode;
        run.hDevNames = record->hDevNames;
    }
    {
        Locked<DEVMODEA> mode(run.hDevMode);
        ModeOrientationCopiesSet(mode.get(), orientation == 1 ? 1 : 0, copies);
    }
    run.Flags = PD_PRINTSETUP;
    scope.Disable();
    const BOOL confirmed = PrintDlgA(&run);
    // The dialog may hand back new blocks: they replace the ones it was given.
    if (onRecord) {
        record->hDevMode = run.hDevMode;
        record->hDevNames = run.hDevNames;
    } else {
        p.print.hDevMode = run.hDevMode;
        p.print.hDevNames = run.hDevNames;
    }
    if (!confirmed)
        return;
    Locked<DEVMODEA> mode(run.hDevMode);
    ModeOrientationCopiesGet(mode.get(), orientation, copies);
    accepted = 1;
}

// ---- printer services --------------------------------------------------------------------------

void PrinterNameCount(int kind, int& count)
{
    count = 0;
    if (kind != 1 && kind != 2)
        return;
    RecordPrinter printer;
    count = std::max(printer.Capability(kind == 1 ? DC_PAPERNAMES : DC_BINNAMES, nullptr), 0);
}

void PrinterNameList(int kind, std::span<std::byte> list)
{
    static constexpr struct {
        WORD capability;
        size_t itemSize;
    } kLists[] = {{DC_PAPERNAMES, 64}, {DC_BINNAMES, 24}, {DC_PAPERS, 2}, {DC_BINS, 2}};
    if (kind < 1 || kind > 4)
        return;
    const auto& what = kLists[kind - 1];
    RecordPrinter printer;
    int n = printer.Capability(what.capability, nullptr);
    if (n <= 0)
        return;
    // The printer's own count sizes the fetch; the caller gets what fits.
    std::vector<char> items(static_cast<size_t>(n) * what.itemSize);
    if (printer.Capability(what.capability, items.data()) <= 0)
        return;
    std::memcpy(list.data(), items.data(), std::min(list.size(), items.size()));
}

void PrinterPaperGet(int& paper, int& source)
{
    paper = source = -1;
    RecordPrinter printer;
    if (!printer.Ready())
        return;
    paper = printer.Mode()->dmPaperSize;
    source = printer.Mode()->dmDefaultSource;
}

void PrinterPaperSet(int paper, int source)
{
    RecordPrinter printer;
    if (!printer.Ready())
        return;
    DEVMODEA* mode = printer.Mode();
    if (paper != -1) {
        mode->dmPaperSize = static_cast<short>(paper);
        mode->dmFields |= DM_PAPERSIZE;
    }
    if (source != -1) {
        mode->dmDefaultSource = static_cast<short>(source);
        mode->dmFields |= DM_DEFAULTSOURCE;
    }
}

void PrinterPaperDims(int index, int count, int& width, int& height)
{
    width = height = 0;
    RecordPrinter printer;
    int n = printer.Capability(DC_PAPERSIZE, nullptr);
    if (n <= 0 || index < 0 || index >= n)
        return;
    std::vector<POINT> sizes(static_cast<size_t>(n));
    if (printer.Capability(DC_PAPERSIZE, reinterpret_cast<char*>(sizes.data())) <= 0)
        return;
    width = sizes[static_cast<size_t>(index)].x;
    height = sizes[static_cast<size_t>(index)].y;
}

// The library's own page-setup dialog (see dialogs/page_setup_dialog.h): its
// event loop, the paper and source lists and the preview.
#include "dialogs/page_setup_dialog.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "charts/plot_clip.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "dialogs/common_dialogs.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_values.h"
#include "dialogs/message_box.h"
#include "dialogs/printer_services.h"
#include "dialogs/window_snapshots.h"
#include "graphics/bitmaps.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/rectangles.h"

PageSetupPrinterServices PageSetupPrinterServicesDefault()
{
    return {PrinterNameCount, PrinterNameList, PrinterPaperGet, PrinterPaperSet, PrinterPaperDims, PrintDialogRun};
}

PageSetupPrinterServices gPageSetupPrinterServices = PageSetupPrinterServicesDefault();

namespace {

// The margin fields in the order left, top, right, bottom.
constexpr std::array<int, 4> kMarginFields = {kPageLeft, kPageTop, kPageRight, kPageBottom};
enum { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };
const char kShownFormat[] = "(F10.1)";
// Largest margin taken from a field, in inches or millimetres: far beyond
// any paper, and small enough that the margin in the caller's units (at
// most 1000 times it) stays an integer.
constexpr double kMarginLimit = 1.0e6;
constexpr size_t kPaperNameLength = 64;
constexpr size_t kSourceNameLength = 24;

// A margin as its field holds it; blank, unreadable or negative give 0.
double MarginRead(int field)
{
    int id = field;
    double v = 0.0;
    DialogFieldGetNumber(id, v);
    if (id < 0 || !(v > 0.0))
        return 0.0;
    return std::min(v, kMarginLimit);
}

std::array<double, 4> MarginsRead()
{
    std::array<double, 4> m{};
    for (size_t i = 0; i < m.size(); ++i)
        m[i] = MarginRead(kMarginFields[i]);
    return m;
}

void MarginsShow(const std::array<double, 4>& m)
{
    for (size_t i = 0; i < m.size(); ++i)
        WDialogPutReal(kMarginFields[i], SaturateToFloatWithin(std::max(m[i], 0.0), kMarginLimit), kShownFormat);
}

// A paper dimension of the printer (tenths of a millimetre) in the caller's
// units: thousandths of an inch through the single-precision divisor 0.254
// (truncated, so 2159 gives 8499), or hundredths of a millimetre.
int PaperUnits(int tenths, int units)
{
    double v = units < 2 ? tenths / static_cast<double>(0.254f) : tenths * 10.0;
    return std::max(TruncateToInt(v), 0);
}

// The entries of one printer list after reading, filtering and sorting.
struct PrinterList {
    std::vector<std::string> names;
    std::vector<int> ids;
    std::vector<int> positions;
};

// Reads COUNT names of ITEMSIZE characters (list kind NAMEKIND) and their
// 16-bit ids (IDKIND): each name cut at its first NUL and blank-padded,
// blank names left out, sorted by name.
PrinterList PrinterListRead(int count, int nameKind, int idKind, size_t itemSize)
{
    const PageSetupPrinterServices& svc = gPageSetupPrinterServices;
    PrinterList list;
    if (count <= 0)
        return list;
    const auto n = static_cast<size_t>(count);
    std::vector<char> names(n * itemSize, '\0');
    std::vector<uint16_t> ids(n, 0);
    svc.nameList(nameKind, std::as_writable_bytes(std::span<char>(names)));
    svc.nameList(idKind, std::as_writable_bytes(std::span<uint16_t>(ids)));
    for (size_t i = 0; i < n; ++i) {
        std::string_view raw(names.data() + i * itemSize, itemSize);
        std::string name(raw.substr(0, raw.find('\0')));
        if (TrimRight(name).empty())
            continue;
        name.resize(itemSize, ' ');
        list.names.push_back(std::move(name));
        list.ids.push_back(ids[i]);
        list.positions.push_back(static_cast<int>(i));
    }
    // Selection sort: the smallest following name that is less than the
    // current minimum is swapped in.
    for (size_t i = 0; i < list.names.size(); ++i) {
        size_t smallest = i;
        for (size_t j = i + 1; j < list.names.size(); ++j)
            if (list.names[j] < list.names[smallest])
                smallest = j;
        if (smallest != i) {
            std::swap(list.names[i], list.names[smallest]);
            std::swap(list.ids[i], list.ids[smallest]);
            std::swap(list.positions[i], list.positions[smallest]);
        }
    }
    return list;
}

// Shows LIST in FIELD with the entry whose id is CURRENT selected (else the
// first); returns the selected index (0 for an empty list, which clears it).
int PrinterListShow(int field, const PrinterList& list, int current)
{
    if (list.names.empty()) {
        int id = field;
        DialogFieldClear(id);
        return 0;
    }
    auto found = std::find(list.ids.begin(), list.ids.end(), current);
    int selected = found == list.ids.end() ? 0 : static_cast<int>(found - list.ids.begin());
    std::vector<std::string_view> options(list.names.begin(), list.names.end());
    WDialogPutMenu(field, options, static_cast<int>(options.size()), selected + 1);
    return selected;
}

// The 0-based selection of list FIELD when it lies inside 0..COUNT-1, else
// FALLBACK.
int ListSelection(int field, int count, int fallback)
{
    int selected = 0;
    std::array<char, 1> none{};
    int id = field;
    DialogListGet(id, selected, std::span<char>(none.data(), 0));
    if (id == -1) {
        id = field;
        DialogComboGet(id, selected, std::span<char>(none.data(), 0));
    }
    if (id < 0 || selected < 1 || selected > count)
        return fallback;
    return selected - 1;
}

// The selected paper's size from the printer, in the caller's units; the
// size in force stays when there is no paper or the printer gives none.
void PaperSizeTake(PageSetupWork& work)
{
    if (work.paperPositions.empty())
        return;
    work.paperIndex = ListSelection(kPagePapers, static_cast<int>(work.paperPositions.size()), work.paperIndex);
    work.paperId = work.paperIds[static_cast<size_t>(work.paperIndex)];
    int w = 0, h = 0;
    gPageSetupPrinterServices.paperDims(work.paperPositions[static_cast<size_t>(work.paperIndex)],
                                        work.paperCount, w, h);
    if (w <= 0 || h <= 0)
        return;
    work.paperWidth = PaperUnits(w, work.units);
    work.paperHeight = PaperUnits(h, work.units);
}

void SourceTake(PageSetupWork& work)
{
    if (work.sourceCount == 0)
        return;
    work.sourceIndex = ListSelection(kPageSources, work.sourceCount, work.sourceIndex);
    work.sourceId = work.sourceIds[static_cast<size_t>(work.sourceIndex)];
}

void PaperStore(const PageSetupWork& work)
{
    gPageSetupPrinterServices.paperSet(work.paperNames.empty() ? -1 : work.paperId,
                                       work.sourceCount ? work.sourceId : -1);
}

// The checked radio button's orientation (0 or 1), else FALLBACK.
int OrientationChecked(int fallback)
{
    int id = kPagePortrait, position = 0;
    DialogRadioGet(id, position);
    return (id >= 0 && (position == 1 || position == 2)) ? position - 1 : fallback;
}

// Turns the margins with the page to ORIENTATION and checks its button.
void OrientationApply(PageSetupWork& work, int orientation)
{
    const std::array<double, 4> m = MarginsRead();
    std::array<double, 4> turned;
    if (orientation == 1)
        turned = {m[kBottom], m[kLeft], m[kTop], m[kRight]};
    else
        turned = {m[kTop], m[kRight], m[kBottom], m[kLeft]};
    MarginsShow(turned);
    int id = kPagePortrait + orientation;
    DialogRadioPut(id);
    work.orientation = orientation;
}

void FocusOk()
{
    int id = kPageOk;
    DialogFieldFocus(id, -1);
}

// The drawing target as it was, selected again (a dialog field through the
// dialog that holds it).
void TargetRestore(int kind, int id, int dialog)
{
    if (kind < kTargetWindow || kind > kTargetMetafileSlot)
        return;
    const int currentId = gDialogStatus.currentDialogId;
    const int currentSlot = gDialogTable.current;
    if (kind == kTargetDialogField && dialog != currentId) {
        const int slot = DialogIndexById(dialog);
        gDialogStatus.currentDialogId = slot >= 0 ? dialog : 0;
        gDialogTable.current = std::max(slot, 0);
    }
    IGrSelect(kind, &id);
    gDialogStatus.currentDialogId = currentId;
    gDialogTable.current = currentSlot;
}

} // namespace

// ---- lists ------------------------------------------------------------------------------------

void YYPageSetupPaperLists(PageSetupWork& work)
{
    const PageSetupPrinterServices& svc = gPageSetupPrinterServices;
    int paper = -1, source = -1;
    svc.paperGet(paper, source);

    int papers = 0;
    svc.nameCount(1, papers);
    work.paperCount = std::max(papers, 0);
    PrinterList list = PrinterListRead(papers, 1, 3, kPaperNameLength);
    work.paperIndex = PrinterListShow(kPagePapers, list, paper);
    work.paperId = list.ids.empty() ? -1 : list.ids[static_cast<size_t>(work.paperIndex)];
    work.paperNames = std::move(list.names);
    work.paperIds = std::move(list.ids);
    work.paperPositions = std::move(list.positions);

    int bins = 0;
    svc.nameCount(2, bins);
    PrinterList sources = PrinterListRead(bins, 2, 4, kSourceNameLength);
    work.sourceIndex = PrinterListShow(kPageSources, sources, source);
    work.sourceCount = static_cast<int>(sources.names.size());
    work.sourceId = sources.ids.empty() ? -1 : sources.ids[static_cast<size_t>(work.sourceIndex)];
    work.sourceNames = std::move(sources.names);
    work.sourceIds = std::move(sources.ids);
}

// ---- preview ------------------------------------------------------------------------------------

void YYPageSetupPreview(PageSetupWork& work)
{
    GraphicsState& g = gGraphicsState;
    std::array<double, 4> m = MarginsRead();
    for (double& v : m)
        v *= work.scale;
    const double w = work.paperWidth, h = work.paperHeight;
    const double pw = work.orientation == 1 ? std::max(w, h) : std::min(w, h);
    const double ph = work.orientation == 1 ? std::min(w, h) : std::max(w, h);

    const int kind = g.targetKind, id = g.targetId, dialog = g.targetDialog;
    const std::array<float, 4> area = g.areaFractions, units = g.units;
    const int plotMode = g.plotMode, model = g.colourModel, screen = g.screenOutput, hardcopy = g.hardcopyOpen;
    YYPlotStateSave(0);
    g.screenOutput = 1;
    g.hardcopyOpen = 0; // nothing of the preview reaches an open hardcopy

    bool toBitmap = false;
    if (work.bitmap > 0) {
        int handle = work.bitmap;
        IGrSelect(kTargetBitmap, &handle);
        toBitmap = g.targetKind == kTargetBitmap && g.targetId == handle;
    }
    bool ready = toBitmap;
    if (!toBitmap) {
        int field = kPagePreview;
        DialogFieldClear(field);
        field = kPagePreview;
        IGrSelect(kTargetDialogField, &field);
        ready = g.targetKind == kTargetDialogField && g.targetId == kPagePreview;
    }
    if (ready) {
        // Copy mode for the whole drawing, so that the page never mixes with
        // what the target held.
        int copy = kPlotCopy;
        if (g.plotMode != kPlotCopy)
            YYSetDrawMode(&copy);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
        IGrColourModelSet(24); // packed RGB colours
        int face = 0;
        ButtonFaceColour(face);
        IGrColourN(face);
        int solid = kFillSolid;
        YYFillSettings(&solid);
        IGrRectangle(0.0f, 0.0f, 1.0f, 1.0f);
        // A page without width or height shows the background only.
        if (pw > 0.0 && ph > 0.0) {
            if (work.orientation == 1) {
                const auto a = static_cast<float>(0.5 * ph / pw);
                IGrArea(0.0f, 0.5f - a, 1.0f, 0.5f + a);
            } else {
                const auto a = static_cast<float>(0.5 * pw / ph);
                IGrArea(0.5f - a, 0.0f, 0.5f + a, 1.0f);
            }
            const auto fw = static_cast<float>(pw), fh = static_cast<float>(ph);
            IGrUnits(0.0f, 0.0f, fw, fh);
            IGrColour("WHITE");
            IGrRectangle(0.0f, 0.0f, fw, fh);
            IGrColour("BLACK");
            int outline = kFillOutline;
            YYFillSettings(&outline);
            IGrRectangle(0.0f, 0.0f, fw, fh);
            if (m[kLeft] + m[kRight] < pw && m[kTop] + m[kBottom] < ph) {
                int dashed = 1;
                IGrLineStyleSelect(&dashed);
                IGrRectangle(static_cast<float>(m[kLeft]), static_cast<float>(m[kBottom]),
                             static_cast<float>(pw - m[kRight]), static_cast<float>(ph - m[kTop]));
            }
        }
    }
    TargetRestore(kind, id, dialog);
    if (toBitmap) {
        const int bitmapKind = 3;
        WDialogPutImage(kPagePreview, work.bitmap, &bitmapKind);
    }
    IGrArea(area[0], area[1], area[2], area[3]);
    YYPlotStateSave(1);
    IGrUnits(units[0], units[1], units[2], units[3]);
    if (g.plotMode != plotMode) {
        int mode = plotMode;
        YYSetDrawMode(&mode);
    }
    if (g.colourModel != model)
        IGrColourModelSet(model == kColourModelRgb ? 24 : model);
    g.screenOutput = screen;
    g.hardcopyOpen = hardcopy;
}

// ---- the dialog -----------------------------------------------------------------------------------

void YYPageSetupDialog(int& paperWidth, int& paperHeight, int& printableWidth, int& printableHeight,
                       int& leftMargin, int& topMargin, int& orientation, int& copies, int& units, int& result)
{
    const int savedDialog = gDialogStatus.currentDialogId;
    const int savedError = gErrorState.lastCode;
    auto restore = [&] {
        gErrorState.lastCode = savedError;
        const int slot = savedDialog ? DialogIndexById(savedDialog) : -1;
        gDialogStatus.currentDialogId = slot >= 0 ? savedDialog : 0;
        gDialogTable.current = std::max(slot, 0);
    };
    gErrorState.lastCode = 0;
    int ident = kPageSetupDialogId, owner = -1;
    WDialogLoad(kPageSetupDialogId, &ident, &owner);
    HWND dialog = DialogCurrentWindow();
    if (gErrorState.lastCode != 0 || !dialog) {
        result = -1;
        restore();
        return;
    }

    PageSetupWork work;
    work.units = units;
    work.scale = units < 2 ? 1000.0f : 100.0f;
    work.orientation = orientation == 1 ? 1 : 0;
    work.paperWidth = paperWidth;
    work.paperHeight = paperHeight;
    int field = kPagePreview, x = 0, y = 0, width = 0, height = 0;
    DialogFieldRect(field, x, y, width, height, 1);
    if (field != -1 && width > 0 && height > 0)
        WBitmapCreate(work.bitmap, width, height);
    YYPageSetupPaperLists(work);
    WDialogPutString(kPageMarginsBox, units < 2 ? "Margins (inches)" : "Margins (millimeters)");
    // The margins as the caller gave them, blank or negative ones as 0.
    const double scale = work.scale;
    const double left = std::max(leftMargin, 0), top = std::max(topMargin, 0);
    const double right = static_cast<double>(paperWidth) - left - std::max(printableWidth, 0);
    const double bottom = static_cast<double>(paperHeight) - top - std::max(printableHeight, 0);
    MarginsShow({left / scale, top / scale, std::max(right, 0.0) / scale, std::max(bottom, 0.0) / scale});
    int radio = kPagePortrait + work.orientation;
    DialogRadioPut(radio);
    YYDialogShowPlaced(0, kShowSemiModeless, -1);
    YYPageSetupPreview(work);

    int fieldEvents = 0;
    EventTypeEnabled(kEventFieldChanged, fieldEvents);
    EventTypeEnable(kEventFieldChanged, 1);
    int copiesNow = copies;
    result = 0;
    for (bool running = true; running && IsWindow(dialog);) {
        int type = 0;
        EventMessage e;
        WMessageWait(type, e);
        if (e.window != kPageSetupDialogId || !IsWindow(dialog))
            continue;
        if (type == kEventFieldChanged) {
            if (e.value2 == kPagePortrait || e.value2 == kPageLandscape) {
                const int now = OrientationChecked(work.orientation);
                if (now != work.orientation) {
                    OrientationApply(work, now);
                    YYPageSetupPreview(work);
                }
            } else if (e.value1 == kPagePapers && e.value2 == kPagePapers) {
                PaperSizeTake(work);
                YYPageSetupPreview(work);
                PaperStore(work);
            } else if (e.value1 == kPageSources && e.value2 == kPageSources) {
                SourceTake(work);
                PaperStore(work);
            } else if (std::find(kMarginFields.begin(), kMarginFields.end(), e.value1) != kMarginFields.end()) {
                YYPageSetupPreview(work);
            }
        } else if (type == kEventExpose && e.value3 == 1 && e.value4 == kPagePreview) {
            YYPageSetupPreview(work);
        } else if (type == kEventPushButton && e.value1 == kPagePrinter) {
            int turned = work.orientation, printerCopies = copiesNow, accepted = 0;
            gPageSetupPrinterServices.printDialog(turned, printerCopies, accepted);
            if (accepted) {
                YYPageSetupPaperLists(work);
                copiesNow = printerCopies;
                if ((turned == 0 || turned == 1) && turned != work.orientation)
                    OrientationApply(work, turned);
                PaperSizeTake(work);
                YYPageSetupPreview(work);
            }
            FocusOk();
        } else if (type == kEventPushButton && e.value1 == kPageCancel) {
            running = false;
        } else if (type == kEventPushButton && e.value1 == kPageOk) {
            SourceTake(work);
            PaperSizeTake(work);
            PaperStore(work);
            const std::array<double, 4> m = MarginsRead();
            const int turned = OrientationChecked(work.orientation);
            const int w = work.paperWidth, h = work.paperHeight;
            paperWidth = turned == 1 ? std::max(w, h) : std::min(w, h);
            paperHeight = turned == 1 ? std::min(w, h) : std::max(w, h);
            leftMargin = TruncateToInt(m[kLeft] * scale);
            topMargin = TruncateToInt(m[kTop] * scale);
            printableWidth = std::max(paperWidth - TruncateToInt((m[kLeft] + m[kRight]) * scale), 0);
            printableHeight = std::max(paperHeight - TruncateToInt((m[kTop] + m[kBottom]) * scale), 0);
            orientation = turned;
            copies = copiesNow;
            result = 1;
            running = false;
        }
    }

    EventTypeEnable(kEventFieldChanged, fieldEvents);
    if (DialogIndexById(kPageSetupDialogId) >= 1) {
        int id = kPageSetupDialogId;
        DialogSelectById(id);
        gDialogStatus.currentDialogId = kPageSetupDialogId;
        WDialogUnload();
    }
    if (work.bitmap > 0)
        WBitmapDestroy(work.bitmap);
    restore();
}

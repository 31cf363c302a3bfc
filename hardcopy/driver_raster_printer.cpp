// The raster printer driver XXRAST (hardcopy driver 4): the page is drawn
// into the raster engine's bitmap at the highest resolution of the printer
// model that fits, and at the end of each page the printer commands are set
// up (ESC/P, ESC/P2 or PCL by the printer class) and the bitmap is sent to
// the plot file. No Win32 here.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/raster_engine.h"
#include "hardcopy/raster_printer.h"

RasterPrinterCommands gRasterPrinterCommands;

namespace {

constexpr char kCapability[] = "00000111111111110010011011000";
constexpr std::uint8_t ESC = 27;
constexpr std::uint8_t FF = 12;
// The largest count a two-byte field of ESC/P and ESC/P2 holds, and the
// largest relative move of ESC/P2 (a signed field).
constexpr std::int64_t kTwoByteCount = 65535;
constexpr std::int64_t kTwoByteMove = 32767;

// The page of the current plot in printing orientation, and whether it is
// rotated, as the begin of the plot found them.
struct PrinterPage {
    int width = 0, height = 0;
    bool rotated = false;
};
PrinterPage gPage;

HardcopyState& H() { return gHardcopyState; }

void Put(RasterBytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }
void Put(RasterBytes& out, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        out.push_back(static_cast<std::uint8_t>(b));
}
void PutLowHigh(RasterBytes& out, std::int64_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

// VALUE (at least 0) with zeros in front up to WIDTH digits; all digits
// when it has more.
void PutDigits(RasterBytes& out, std::int64_t value, int width)
{
    std::string digits = std::to_string(std::max<std::int64_t>(value, 0));
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<size_t>(width - static_cast<int>(digits.size())), '0');
    Put(out, digits);
}

// Resolution I (1-based, kept within the model's list).
int Resolution(int i)
{
    HardcopyState& h = H();
    const int count = std::clamp(h.resolutionCount, 1, 4);
    return h.resolutions[static_cast<size_t>(std::clamp(i, 1, count) - 1)];
}

// What one page set-up is made from: the page's own options, or the dump
// settings for a screen dump.
struct SetupInputs {
    int resolution = 0;
    int passes = 1;
    int planes = 1;
    double hm = 0.0, vm = 0.0; // margins in points, already exchanged for a rotated page
    int copies = 1;
    int reset = 0;             // option 19
    int pclSwitch = 0;         // option 20
    int compression = 0;       // option 24
};

// Margins in points, negative ones taken as 0.
void Margins(const SetupInputs& in, double& hm, double& vm)
{
    hm = std::max(in.hm, 0.0);
    vm = std::max(in.vm, 0.0);
}

// The page's margins in points from options 3 and 4, exchanged on a rotated
// page.
void PageMargins(SetupInputs& in)
{
    HardcopyState& h = H();
    const bool rotated = h.option(5) != 0;
    in.hm = rotated ? h.option(4) : h.option(3);
    in.vm = rotated ? h.option(3) : h.option(4);
}

void PclSetup(const SetupInputs& in, RasterPrinterCommands& c)
{
    HardcopyState& h = H();
    double hm, vm;
    Margins(in, hm, vm);
    RasterBytes& init = c.init;
    if (in.reset != -1 && in.reset != 0 && in.reset != 1)
        Put(init, {ESC, 'E'});
    Put(init, {ESC});
    Put(init, "&a");
    PutDigits(init, TruncateToInt(10.0 * hm), 4);
    Put(init, "h");
    PutDigits(init, TruncateToInt(10.0 * vm), 4);
    Put(init, "V");
    Put(init, {ESC});
    Put(init, "*t");
    PutDigits(init, in.resolution, 3);
    Put(init, "R");
    Put(init, {ESC});
    Put(init, "*r");
    if (h.printerModel >= 12) {
        PutDigits(init, 8 * ((std::int64_t(c.pageWidth) + 7) / 8), 4);
        Put(init, "s");
    }
    if (h.colourDigit > 1) {
        if (h.colourKind == 2)
            Put(init, "-");
        PutDigits(init, in.planes, 1);
        Put(init, "u");
    }
    Put(init, "1A");
    if ((h.printerClass == 9 || h.printerClass == 10) && in.pclSwitch != 0) {
        Put(init, {ESC});
        Put(init, "&k3W");
    }
    if (in.compression != 0) {
        Put(init, {ESC});
        Put(init, "*b");
        PutDigits(init, in.compression, 1);
        Put(init, "M");
    }
    for (size_t k = 0; k < 3; ++k) {
        RasterBytes& t = c.transfer[k];
        Put(t, {ESC});
        Put(t, "*b");
        PutDigits(t, (std::int64_t(c.pageWidth) + 7) / 8, 3);
        Put(t, k == 0 ? "W" : "V");
    }
    if (h.printerClass == 7 || h.printerModel == 32) {
        Put(c.end, {ESC});
        Put(c.end, "&l");
        PutDigits(c.end, in.copies, 2);
        Put(c.end, "X");
    }
    Put(c.end, {ESC});
    Put(c.end, "*rB");
    if (in.reset % 2 != 0)
        Put(c.end, {ESC, 'E'});
}

void ColourSelectors(RasterPrinterCommands& c)
{
    const int selector[4] = {4, 1, 2, 0}; // yellow, magenta, cyan, black
    for (size_t k = 0; k < 4; ++k)
        c.colourSelectors[k] = {ESC, 'r', static_cast<std::uint8_t>(selector[k])};
}

// The margin in dots that keeps a band's column count within its field.
std::int64_t EscpMarginDots(double hm, int d, int width, int printerClass)
{
    const std::int64_t hd = TruncateToInt(hm * d / 72.0);
    const std::int64_t columns = printerClass == 4 ? (kTwoByteCount - 1) / 3 : kTwoByteCount;
    return std::clamp<std::int64_t>(hd, 0, std::max<std::int64_t>(columns - width, 0));
}

void EscpSetup(const SetupInputs& in, RasterPrinterCommands& c)
{
    HardcopyState& h = H();
    const int cls = h.printerClass, d = in.resolution, f = h.commandFamily;
    double hm, vm;
    Margins(in, hm, vm);
    const std::int64_t hd = EscpMarginDots(hm, d, c.pageWidth, cls);
    const int advance = cls == 5 ? TruncateToInt(std::min(2.5 * vm, 255.0)) : TruncateToInt(std::min(3.0 * vm, 255.0));
    const std::int64_t columns = c.pageWidth + hd;
    RasterBytes& p = c.prefix;
    if (cls == 4) {
        const int m = d == 60 ? 8 : d == 120 ? 9 : d == 180 ? 11 : 12;
        Put(p, {ESC, '[', 'g'});
        PutLowHigh(p, 3 * columns + 1);
        Put(p, {m});
    } else if (cls == 5) {
        const int m = d == 90 ? 38 : d == 120 ? 33 : d == 180 ? 39 : 40;
        Put(p, {ESC, '*', m});
        PutLowHigh(p, columns);
    } else if (d == 60 || (cls == 3 && d == 80)) {
        Put(p, {ESC, 'K'});
        PutLowHigh(p, columns);
    } else if (d == 80) {
        Put(p, {ESC, '*', 4});
        PutLowHigh(p, columns);
    } else if (d == 90) {
        Put(p, {ESC, '*', 6});
        PutLowHigh(p, columns);
    } else {
        Put(p, {ESC, d == 240 ? 'Z' : 'L'});
        PutLowHigh(p, columns);
    }
    c.leftMarginBytes = static_cast<int>(h.dotsPerBand == 24 ? 3 * hd : hd);
    Put(c.init, {ESC, 'U', 1});
    if (advance > 0)
        Put(c.init, {ESC, 'J', advance});
    if (c.passes == 1)
        Put(c.init, {ESC, '3', f});
    c.passSpacing[0] = {ESC, '3', 1};
    c.passSpacing[1] = {ESC, '3', static_cast<std::uint8_t>(f - 1)};
    ColourSelectors(c);
    Put(c.end, {ESC, '2'});
    if (in.reset % 2 != 0)
        Put(c.end, {FF});
}

void Escp2Setup(const SetupInputs& in, RasterPrinterCommands& c)
{
    const int d = std::max(in.resolution, 1);
    double hm, vm;
    Margins(in, hm, vm);
    const std::int64_t v = std::min<std::int64_t>(TruncateToInt(vm / 72.0 * d), kTwoByteCount);
    const std::int64_t hd = std::min<std::int64_t>(TruncateToInt(hm / 72.0 * d), kTwoByteMove);
    const int u = 3600 / d;
    Put(c.init, {ESC, '@'});
    Put(c.init, {ESC, '(', 'G', 1, 0, 1});
    Put(c.init, {ESC, '(', 'U', 1, 0, u});
    Put(c.init, {ESC, '(', 'V', 2, 0});
    PutLowHigh(c.init, v);
    Put(c.prefix, {ESC, '\\'});
    PutLowHigh(c.prefix, hd);
    Put(c.prefix, {ESC, '.', 0, u, u, 1, 0, 0});
    c.rowAdvance = {ESC, '(', 'v', 2, 0, 1, 0};
    ColourSelectors(c);
    Put(c.end, {ESC, '@'});
    if (in.reset % 2 != 0)
        Put(c.end, {FF});
}

// The inputs of a screen dump of the current graphics area: the resolution
// it needs, the page from the dump settings, raised to the area's size.
SetupInputs DumpInputs(int& width, int& height)
{
    HardcopyState& h = H();
    DumpSettings dump = h.dump;
    const GraphicsState& g = gGraphicsState;
    const bool rotated = dump.code(5) != 0;
    double pw = dump.code(1) / 72.0, ph = dump.code(2) / 72.0;
    if (rotated)
        std::swap(pw, ph);
    const std::int64_t W = g.integerAreaSize[0], H = g.integerAreaSize[1];
    const int count = std::clamp(h.resolutionCount, 1, 4);
    int index = 1;
    if (dump.code(1) >= 1 && dump.code(2) >= 1) {
        const std::int64_t need = std::max(W * 72 / dump.code(1) + 1, H * 72 / dump.code(2) + 1);
        for (int i = count; i >= 1; --i)
            if (Resolution(i) >= need) {
                index = i;
                break;
            }
    }
    if (dump.code(13) >= 1 && dump.code(13) <= count && index >= dump.code(13))
        index = dump.code(13);

    SetupInputs in;
    in.resolution = Resolution(index);
    const int d = in.resolution, cls = h.printerClass;
    // Pixels of the area along the page's width and height.
    const std::int64_t alongWidth = rotated ? H : W, alongHeight = rotated ? W : H;
    std::int64_t pageWidth = TruncateToInt(pw * d), pageHeight = 0;
    if (cls >= 6) {
        pageHeight = TruncateToInt(ph * d);
    } else if (cls == 5) {
        pageHeight = TruncateToInt(ph * 180.0);
    } else {
        const int family = std::max(h.commandFamily, 1);
        pageHeight = TruncateToInt(ph * h.dotsPerBand * 216.0 / family);
        in.passes = alongHeight > pageHeight ? 2 : 1;
        pageHeight *= in.passes;
    }
    width = static_cast<int>(std::clamp<std::int64_t>(std::max(pageWidth, alongWidth), 0, kRasterMaxSide));
    height = static_cast<int>(std::clamp<std::int64_t>(std::max(pageHeight, alongHeight), 0, kRasterMaxSide));
    in.hm = rotated ? dump.code(4) : dump.code(3);
    in.vm = rotated ? dump.code(3) : dump.code(4);
    in.copies = dump.code(8);
    in.planes = std::max(h.colourDigit, 1);
    if (dump.code(6) == 1 || g.displayColours < (1 << std::clamp(h.colourDigit, 0, 24)))
        in.planes = 1;
    in.reset = dump.code(19);
    in.pclSwitch = dump.code(20);
    in.compression = dump.code(24);
    return in;
}

SetupInputs PageInputs()
{
    HardcopyState& h = H();
    SetupInputs in;
    in.resolution = Resolution(h.resolutionChoice);
    in.passes = h.printerClass < 5 && in.resolution > 100 ? 2 : 1;
    in.planes = gRasterPrinterCommands.planes;
    PageMargins(in);
    in.copies = h.option(8);
    in.reset = h.option(19);
    in.pclSwitch = h.option(20);
    in.compression = h.option(24);
    return in;
}

// ---- The driver's operations --------------------------------------------------------

void Initialise()
{
    HardcopyState& h = H();
    YYRasterDraw(DeviceOp::kInitialise);
    h.option(1) = 576;
    h.option(2) = 432;
    const bool laser = h.printerClass >= 6;
    h.option(3) = laser ? 100 : 0;
    h.option(4) = laser ? 70 : 0;
    h.option(5) = laser ? 1 : 0;
    h.option(13) = std::min(h.resolutionCount, 2);
    h.option(19) = 3;
    h.option(20) = 0;
    h.option(24) = std::min(h.option24Limit, 2);
    h.paletteSize = 8;
    h.resolutionChoice = h.option(13);
    h.printCommandAllowed = 1;
    gGraphicsState.hardcopyColours = 1 << std::clamp(h.colourDigit, 0, 8);
    std::copy_n(kCapability, kCapabilityLength, gDeviceCapabilityString[kHardcopySide].begin());
    PutText(gLibraryPaths.hardcopyFileName.span(), "quilplot.prn");
    h.driverNumber = kDriverRasterPrinter;
}

// The page cannot be drawn: error 34 and the hardcopy closed.
void PageTooLarge()
{
    YYErrorReport(kErrorPageTooLarge, "XXRAST");
    gGraphicsState.hardcopyOpen = 0;
}

// Whether the counts of a page WIDTH dots wide (printing orientation) at
// resolution D fit their two-byte fields.
bool CountsFit(std::int64_t width, int d)
{
    HardcopyState& h = H();
    if (h.printerClass >= 7)
        return true; // PCL numbers take as many digits as they need
    if (h.printerClass == 6)
        return 8 * ((width + 7) / 8) <= kTwoByteCount;
    SetupInputs in;
    PageMargins(in);
    double hm, vm;
    Margins(in, hm, vm);
    const std::int64_t columns = width + TruncateToInt(hm * d / 72.0);
    return (h.printerClass == 4 ? 3 * columns + 1 : columns) <= kTwoByteCount;
}

void BeginPlot()
{
    HardcopyState& h = H();
    RasterState& r = gRasterState;
    const int planes = h.option(6) == 1 ? 1 : std::max(h.colourDigit, 1);
    gRasterPrinterCommands.planes = planes;
    r.planesLess1 = planes - 1;
    if (planes == 1) {
        r.depth = 1;
        gDeviceCapabilityWords.trueColour[kHardcopySide] = 0;
        r.background = 0;
    } else {
        r.depth = 3;
        r.background = h.colourKind == 1 ? ~0u : 0u;
    }
    const bool rotated = h.option(5) != 0;
    const int count = std::clamp(h.resolutionCount, 1, 4);
    int i = std::clamp(h.resolutionChoice, 1, count);
    for (;;) {
        const double hr = Resolution(i);
        double vr = hr;
        if (h.printerClass == 5) {
            vr = 180.0;
        } else if (h.printerClass < 5) {
            vr = h.dotsPerBand * 216.0 / std::max(h.commandFamily, 1);
            if (hr > 100.0)
                vr *= 2.0;
        }
        const std::int64_t width = TruncateToInt(h.option(1) * (rotated ? vr : hr) / 72.0);
        const std::int64_t height = TruncateToInt(h.option(2) * (rotated ? hr : vr) / 72.0);
        if (width < 1 || height < 1) {
            PageTooLarge(); // a page under one dot
            return;
        }
        const std::int64_t wordsPerRow = (width + 31) / 32;
        const std::int64_t total = wordsPerRow * height * planes; // below 2^58: sides below 2^31
        const std::int64_t printWidth = rotated ? height : width;
        if (width <= kRasterMaxSide && height <= kRasterMaxSide && CountsFit(printWidth, static_cast<int>(hr))) {
            r.width = static_cast<int>(width);
            r.height = static_cast<int>(height);
            r.wordsPerRow = static_cast<int>(wordsPerRow);
            r.planeStride = wordsPerRow * height;
            r.totalWords = total;
            r.resolutionX = static_cast<float>(hr);
            r.resolutionY = static_cast<float>(vr);
            gPage.width = static_cast<int>(printWidth);
            gPage.height = static_cast<int>(rotated ? width : height);
            gPage.rotated = rotated;
            if (RasterBitmapAllocate())
                break;
        }
        if (i >= count) {
            PageTooLarge();
            return;
        }
        ++i;
        h.resolutionChoice = i;
    }
    // The whole bitmap is cleared for every page, its spare word included.
    r.clearLimit = r.totalWords;
    YYRasterDraw(DeviceOp::kBeginPlot);
    YYRasterDraw(DeviceOp::kClear);
}

void EndPage()
{
    HardcopyState& h = H();
    if (h.pagePending == 0)
        return;
    YYRasterPrinterSetup(gPage.width, gPage.height);
    YYRasterPrinterSend(kPlotUnit, RasterPrinterFetchFor(h.printerClass, gPage.rotated, gRasterState.depth));
    h.pagePending = 0;
    YYRasterDraw(DeviceOp::kClear);
}

} // namespace

void YYRasterPrinterSetup(int width, int height)
{
    RasterPrinterCommands& c = gRasterPrinterCommands;
    const int planes = c.planes;
    c = RasterPrinterCommands{};
    c.planes = planes;
    SetupInputs in;
    if (width < 1) {
        in = DumpInputs(width, height);
        c.planes = in.planes;
    } else {
        in = PageInputs();
    }
    c.pageWidth = width;
    c.pageHeight = height;
    c.passes = in.passes;
    c.compression = in.compression;
    const int cls = H().printerClass;
    if (cls >= 7)
        PclSetup(in, c);
    else if (cls == 6)
        Escp2Setup(in, c);
    else
        EscpSetup(in, c);
}

void XXRAST(int op)
{
    if (RasterDriverRoute(op, kDriverRasterPrinter, Initialise, BeginPlot))
        return;
    if (op == DeviceOp::kEndPage)
        EndPage();
    else
        YYRasterDraw(op);
}

// The raster printer's data output: the page bitmap read through a
// pixel-fetch routine (which hides the page rotation and the colour planes)
// and written as ESC/P bands, ESC/P2 dot rows or PCL plane rows, with the
// row compressions of PCL (run-length pairs, packed bits) and ESC/P2
// (packed bits). Row buffers hold whole rows and bands; the packed forms go
// to buffers of their own, since packing can lengthen a row. No Win32 here.
#include <algorithm>
#include <string>

#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_output.h"
#include "hardcopy/raster_engine.h"
#include "hardcopy/raster_printer.h"

int gRasterPlaneIndex = 0;

namespace {

// ESC/P bands up to this many bytes are trimmed to their last dot; longer
// ones are sent whole, with the column count of the set-up.
constexpr std::int64_t kEscpBandLimit = 40000;
constexpr std::uint8_t CR = 13, LF = 10;

bool gFetchRotated = false;

// Bit of plane PLANE at pixel (X, Y); false outside the bitmap.
bool PlaneBit(int plane, int x, int y)
{
    const RasterState& r = gRasterState;
    if (x < 0 || y < 0 || x >= r.width || y >= r.height || plane < 0 || plane > r.planesLess1 ||
        r.store.empty())
        return false;
    const std::uint32_t w = RasterWord(plane * r.planeStride + std::int64_t(r.wordsPerRow) * y + x / 32);
    return ((w >> (x % 32)) & 1u) != 0;
}

// The bitmap pixel of dot C of row R (from the top of the printed page).
int PixelX(int c, int r, bool rotated) { return rotated ? gRasterState.xLimit - r : c; }
int PixelY(int c, int r, bool rotated) { return gRasterState.yLimit - (rotated ? c : r); }

bool FetchOnePlane(int c, int r) { return PlaneBit(0, PixelX(c, r, false), PixelY(c, r, false)); }
bool FetchOnePlaneRotated(int c, int r) { return PlaneBit(0, PixelX(c, r, true), PixelY(c, r, true)); }

// Three ink planes: a plane's pass prints where its bit is set and not all
// three are (those dots print in the black pass).
bool FetchInk(int c, int r)
{
    const int x = PixelX(c, r, gFetchRotated), y = PixelY(c, r, gFetchRotated);
    const bool all = PlaneBit(0, x, y) && PlaneBit(1, x, y) && PlaneBit(2, x, y);
    if (gRasterPlaneIndex < 0)
        return all;
    return !all && PlaneBit(gRasterPlaneIndex, x, y);
}

bool FetchPlane(int c, int r) { return PlaneBit(gRasterPlaneIndex, PixelX(c, r, false), PixelY(c, r, false)); }
bool FetchPlaneRotated(int c, int r) { return PlaneBit(gRasterPlaneIndex, PixelX(c, r, true), PixelY(c, r, true)); }

void Write(int unit, const RasterBytes& bytes, std::int64_t count)
{
    YYPlotPutBytes(unit, bytes, static_cast<int>(std::min<std::int64_t>(count, static_cast<std::int64_t>(bytes.size()))));
}
void Write(int unit, const RasterBytes& bytes) { Write(unit, bytes, static_cast<std::int64_t>(bytes.size())); }

bool Aborted() { return gHardcopyState.outputAbort != 0; }

// Row R of the page, one bit per dot, the first dot in bit 7 of byte 0.
// Returns the bytes up to and including the last non-zero one; PAD is added
// to the last byte when the width is not a whole number of bytes.
std::int64_t PackRow(RasterFetch fetch, int r, RasterBytes& row, std::uint8_t pad = 0)
{
    const int width = gRasterPrinterCommands.pageWidth;
    std::fill(row.begin(), row.end(), 0);
    for (int c = 0; c < width; ++c)
        if (fetch(c, r))
            row[static_cast<size_t>(c / 8)] |= static_cast<std::uint8_t>(0x80u >> (c % 8));
    if (width % 8 != 0 && !row.empty())
        row.back() = static_cast<std::uint8_t>(row.back() + pad);
    std::int64_t e = static_cast<std::int64_t>(row.size());
    while (e > 0 && row[static_cast<size_t>(e - 1)] == 0)
        --e;
    return e;
}

// Transfer command INDEX with COUNT in at least DIGITS digits.
void SetTransferCount(int index, std::int64_t count, int digits)
{
    RasterBytes& t = gRasterPrinterCommands.transfer[static_cast<size_t>(index)];
    std::string text = std::to_string(std::max<std::int64_t>(count, 0));
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, static_cast<size_t>(digits - static_cast<int>(text.size())), '0');
    t = {27, '*', 'b'};
    t.insert(t.end(), text.begin(), text.end());
    t.push_back(index == 0 ? 'W' : 'V');
}

void SendEscp2(int unit, RasterFetch fetch)
{
    RasterPrinterCommands& c = gRasterPrinterCommands;
    const int passes = c.planes == 1 ? 1 : c.planes + 1;
    RasterBytes row(static_cast<size_t>((std::int64_t(c.pageWidth) + 7) / 8)), packed;
    const RasterBytes cr = {CR};
    for (int r = 0; r < c.pageHeight; ++r) {
        for (int i = 1; i <= passes; ++i) {
            gRasterPlaneIndex = 3 - i;
            if (passes > 1)
                Write(unit, c.colourSelectors[static_cast<size_t>(i - 1)]);
            const std::int64_t e = PackRow(fetch, r, row);
            int count = static_cast<int>(e);
            const bool isPacked = YYPackBitsRow(std::span<const std::uint8_t>(row.data(), static_cast<size_t>(e)),
                                                count, packed);
            const std::int64_t dots = 8 * e;
            if (c.prefix.size() >= 12) {
                c.prefix[10] = static_cast<std::uint8_t>(dots & 0xFF);
                c.prefix[11] = static_cast<std::uint8_t>((dots >> 8) & 0xFF);
            }
            Write(unit, c.prefix);
            Write(unit, isPacked ? packed : row, count);
            Write(unit, cr);
            if (Aborted())
                return;
        }
        Write(unit, c.rowAdvance);
    }
}

void SendEscp(int unit, RasterFetch fetch)
{
    RasterPrinterCommands& c = gRasterPrinterCommands;
    const int passes = std::max(c.passes, 1);
    const int band = std::max(gHardcopyState.dotsPerBand, 8);
    const int colourPasses = c.planes == 1 ? 1 : c.planes + 1;
    const std::int64_t group = std::int64_t(band) * passes;
    const std::int64_t groups = (c.pageHeight + group - 1) / group;
    const std::int64_t margin = c.leftMarginBytes;
    const bool fits = (std::int64_t(c.pageWidth) - 1) * band / 8 + margin <= kEscpBandLimit;
    const int bytesPerColumn = band / 8;
    RasterBytes data(static_cast<size_t>(margin + std::int64_t(c.pageWidth) * bytesPerColumn));
    const RasterBytes cr = {CR}, crlf = {CR, LF};
    for (std::int64_t g = 0; g < groups; ++g) {
        const std::int64_t first = g * group;
        for (int i = 1; i <= passes; ++i) {
            if (passes == 2)
                Write(unit, c.passSpacing[static_cast<size_t>(i - 1)]);
            for (int k = 1; k <= colourPasses; ++k) {
                gRasterPlaneIndex = 3 - k;
                if (colourPasses > 1)
                    Write(unit, c.colourSelectors[static_cast<size_t>(k - 1)]);
                if (!fits)
                    Write(unit, c.prefix);
                std::fill(data.begin(), data.end(), 0);
                for (int col = 0; col < c.pageWidth; ++col)
                    for (int b = 0; b < band; ++b) {
                        const std::int64_t row = first + (i - 1) + std::int64_t(passes) * b;
                        if (row < c.pageHeight && fetch(col, static_cast<int>(row)))
                            data[static_cast<size_t>(margin + std::int64_t(col) * bytesPerColumn + b / 8)] |=
                                static_cast<std::uint8_t>(0x80u >> (b % 8));
                    }
                if (fits) {
                    std::int64_t e = static_cast<std::int64_t>(data.size());
                    while (e > 0 && data[static_cast<size_t>(e - 1)] == 0)
                        --e;
                    int count = static_cast<int>(e);
                    YYEscpCountSet(count);
                    Write(unit, c.prefix);
                    Write(unit, data, count);
                } else {
                    Write(unit, data);
                }
                Write(unit, k == colourPasses ? crlf : cr);
                if (Aborted())
                    return;
            }
        }
    }
}

void SendPcl(int unit, RasterFetch fetch)
{
    RasterPrinterCommands& c = gRasterPrinterCommands;
    const int width = c.pageWidth;
    const std::uint8_t pad = (c.planes >= 2 && gHardcopyState.colourKind == 1 && width % 8 != 0)
                                 ? static_cast<std::uint8_t>((1u << (8 - width % 8)) - 1)
                                 : 0;
    RasterBytes row(static_cast<size_t>((std::int64_t(width) + 7) / 8)), packed;
    for (int r = 0; r < c.pageHeight; ++r)
        for (int m = 0; m < c.planes; ++m) {
            gRasterPlaneIndex = m;
            const std::int64_t e = PackRow(fetch, r, row, pad);
            const int index = std::clamp(c.planes - 1 - m, 0, 2);
            const RasterBytes* data = &row;
            int count = static_cast<int>(e);
            if (c.compression != 0) {
                count = static_cast<int>(row.size());
                YYPclCompress(row, count, index, packed);
                data = &packed;
            } else {
                SetTransferCount(index, e, 3);
            }
            Write(unit, c.transfer[static_cast<size_t>(index)]);
            Write(unit, *data, count);
            if (Aborted())
                return;
        }
}

} // namespace

RasterFetch RasterPrinterFetchFor(int printerClass, bool rotated, int depth)
{
    gFetchRotated = rotated;
    if (printerClass >= 7)
        return rotated ? FetchPlaneRotated : FetchPlane;
    if (depth == 3)
        return FetchInk;
    return rotated ? FetchOnePlaneRotated : FetchOnePlane;
}

void YYRasterPrinterSend(int unit, RasterFetch fetch)
{
    const RasterPrinterCommands& c = gRasterPrinterCommands;
    if (!c.init.empty()) {
        Write(unit, c.init);
        if (Aborted())
            return;
    }
    const int cls = gHardcopyState.printerClass;
    if (cls == 6)
        SendEscp2(unit, fetch);
    else if (cls >= 7)
        SendPcl(unit, fetch);
    else
        SendEscp(unit, fetch);
    if (Aborted())
        return;
    if (!c.end.empty())
        Write(unit, c.end);
}

void YYPclCompress(std::span<const std::uint8_t> row, int& count, int index, RasterBytes& packed)
{
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), row.size());
    packed.clear();
    packed.reserve(2 * n + 2);
    if (gRasterPrinterCommands.compression == 1) {
        // Pairs of (repeat - 1, byte), runs of at most 256.
        for (size_t o = 0; o < n;) {
            size_t l = 1;
            while (o + l < n && row[o + l] == row[o] && l < 256)
                ++l;
            packed.push_back(static_cast<std::uint8_t>(l - 1));
            packed.push_back(row[o]);
            o += l;
        }
    } else {
        // Packed bits: runs of 2 to 128 as (1 - L, byte), literals of 1 to
        // 128 as (L - 1, bytes).
        for (size_t o = 0; o < n;) {
            if (o + 1 < n && row[o + 1] == row[o]) {
                size_t l = 2;
                while (o + l < n && row[o + l] == row[o] && l < 128)
                    ++l;
                packed.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(l)));
                packed.push_back(row[o]);
                o += l;
                continue;
            }
            size_t j = o + 1;
            while (j < n && j - o < 128) {
                if (j + 1 < n && row[j] == row[j + 1]) {
                    // A pair ends the literal when a third byte follows it,
                    // when it ends the row, or when it would cross the limit.
                    if ((j + 2 < n && row[j + 2] == row[j]) || j + 2 == n || j + 2 - o > 128)
                        break;
                }
                ++j;
            }
            packed.push_back(static_cast<std::uint8_t>(j - o - 1));
            packed.insert(packed.end(), row.begin() + static_cast<std::ptrdiff_t>(o), row.begin() + static_cast<std::ptrdiff_t>(j));
            o = j;
        }
    }
    count = static_cast<int>(packed.size());
    SetTransferCount(index, count, 0);
}

bool YYPackBitsRow(std::span<const std::uint8_t> row, int& count, RasterBytes& packed)
{
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), row.size());
    packed.clear();
    packed.reserve(2 * n + 2);
    for (size_t a = 0; a < n;) {
        const bool repeat = a + 1 < n && row[a + 1] == row[a];
        size_t end = a + 1;
        if (repeat) {
            while (end < n && row[end] == row[a])
                ++end;
        } else {
            while (end < n && !(end + 1 < n && row[end] == row[end + 1]))
                ++end;
        }
        // Chunks of at most 128 bytes; 129 goes as 127 and 2, so that no
        // repeat of one byte is left.
        for (size_t c = end - a; c > 0;) {
            const size_t d = c == 129 ? 127 : std::min<size_t>(c, 128);
            if (repeat) {
                packed.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(d)));
                packed.push_back(row[a]);
            } else {
                packed.push_back(static_cast<std::uint8_t>(d - 1));
                packed.insert(packed.end(), row.begin() + static_cast<std::ptrdiff_t>(a),
                              row.begin() + static_cast<std::ptrdiff_t>(a + d));
            }
            a += d;
            c -= d;
        }
    }
    RasterBytes& prefix = gRasterPrinterCommands.prefix;
    const bool shorter = packed.size() < n;
    if (prefix.size() > 6)
        prefix[6] = shorter ? 1 : 0;
    if (shorter)
        count = static_cast<int>(packed.size());
    return shorter;
}

void YYEscpCountSet(int& count)
{
    RasterBytes& p = gRasterPrinterCommands.prefix;
    std::int64_t value = count;
    size_t at = p.size() >= 2 ? p.size() - 2 : 0;
    if (gHardcopyState.printerClass == 4) {
        value = std::int64_t(count) + 1;
        at = 3;
    } else if (gHardcopyState.dotsPerBand == 24) {
        count = (count + 2) / 3 * 3;
        value = count / 3;
    }
    if (p.size() >= at + 2) {
        p[at] = static_cast<std::uint8_t>(value & 0xFF);
        p[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
}

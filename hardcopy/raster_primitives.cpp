// The raster drawing primitives: the pixel with colour reduction and its
// dither table, the thick dashed line, the spans, the edge intersection and
// the row-by-row fills of rectangles, triangles and quadrilaterals. All work
// in pixels of the page bitmap (row 0 at the bottom) and store through
// YYRasterStore, which keeps every store inside the bitmap.
#include <algorithm>
#include <cstdlib>

#include "core/numeric.h"
#include "graphics/colours.h"
#include "hardcopy/halftone.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/raster_engine.h"

RasterDitherTable gRasterDitherTable;

// Row bytes of each pattern, row 0 (the low byte) first; bit 0 of a byte is
// column 0.
constexpr std::uint32_t MonochromeRows(std::uint32_t r0, std::uint32_t r1, std::uint32_t r2, std::uint32_t r3)
{
    return r0 | (r1 << 8) | (r2 << 16) | (r3 << 24);
}

const std::array<std::uint32_t, 16> kRasterMonochromePatterns = {
    MonochromeRows(0xFF, 0xFF, 0xFF, 0xFF), MonochromeRows(0xF7, 0xF7, 0xBF, 0xBF),
    MonochromeRows(0xC7, 0x7C, 0xCE, 0x73), MonochromeRows(0x73, 0x33, 0xEC, 0xC6),
    MonochromeRows(0x7F, 0x7E, 0xEF, 0xE7), MonochromeRows(0x67, 0xEE, 0x77, 0x73),
    MonochromeRows(0x76, 0xE6, 0x6E, 0x67), MonochromeRows(0xC8, 0x48, 0x11, 0x31),
    MonochromeRows(0x77, 0x77, 0xED, 0xED), MonochromeRows(0x76, 0x37, 0xEC, 0xEC),
    MonochromeRows(0xC8, 0xCC, 0x43, 0x66), MonochromeRows(0x13, 0x13, 0x64, 0x64),
    MonochromeRows(0x99, 0x99, 0x66, 0x3C), MonochromeRows(0x6C, 0x36, 0x63, 0xC6),
    MonochromeRows(0xCC, 0x8C, 0x66, 0x32), MonochromeRows(0x00, 0x00, 0x00, 0x00),
};

namespace {

RasterState& R() { return gRasterState; }

// The bit of pixel (X, Y) in an 8 x 4 pattern cell.
int CellBit(int x, int y) { return (x & 7) + 8 * (y & 3); }

int Bit(std::uint32_t word, int bit) { return static_cast<int>((word >> bit) & 1u); }

// V kept in LO..HI.
int Within(int v, int lo, int hi)
{
    if (v < lo)
        return lo;
    return v > hi ? hi : v;
}

// The dithered colour index 0..7 (bit 0 red, 1 green, 2 blue) of RED, GREEN
// and BLUE at pixel (X, Y).
int DitherIndex(int red, int green, int blue, int x, int y)
{
    const RasterDitherTable& t = gRasterDitherTable;
    const size_t cell = static_cast<size_t>(red / 16 + 16 * (green / 16) + 256 * (blue / 16));
    const int bit = CellBit(x, y);
    return Bit(t.patterns[0][cell], bit) + 2 * Bit(t.patterns[1][cell], bit) + 4 * Bit(t.patterns[2][cell], bit);
}

// The pixel value of packed RGB colour RGB at (X, Y) in the bitmap's depth.
int ReducedValue(int x, int y, int rgb)
{
    const RasterState& r = R();
    int red = rgb & 0xFF, green = (rgb >> 8) & 0xFF, blue = (rgb >> 16) & 0xFF;
    const bool swap = gHardcopyState.option(6) != 0;
    switch (r.depth) {
    case 1: {
        int w = DitherIndex(red, green, blue, x, y);
        if (swap && (w == 0 || w == 7)) {
            w = 7 - w;
            red = 255 - red;
            green = 255 - green;
            blue = 255 - blue;
        }
        if (red >= 192 || green >= 192 || blue >= 192)
            w += 8;
        return Bit(kRasterMonochromePatterns[static_cast<size_t>(w)], CellBit(x, y));
    }
    case 3: {
        int w = DitherIndex(red, green, blue, x, y);
        if (swap && (w == 0 || w == 7))
            w = 7 - w;
        if (gHardcopyState.colourKind == 2)
            w = 7 - w;
        return w;
    }
    case 4:
    case 8: {
        int n = 0;
        YYColourNearest(rgb & 0xFFFFFF, n);
        return r.depth == 4 ? RasterGroupValue(n) : n;
    }
    default: return rgb;
    }
}

// Dash state: M steps of the element counter from (POS, COUNTER) with
// elements of LENGTH pixels, as the line loop counts them.
void DashAdvance(int& pos, int& counter, int length, std::int64_t m)
{
    const RasterState& r = R();
    if (m <= 0 || r.dashLength <= 0)
        return;
    if (counter > length) {
        pos = (pos + 1) % r.dashLength;
        counter = 1;
        --m;
    }
    const std::int64_t total = counter - 1 + m;
    pos = static_cast<int>((pos + total / length) % r.dashLength);
    counter = static_cast<int>(total % length) + 1;
}

bool Solid() { return R().dashBits == 4095 && R().dashLength == 12; }

// The rows (or columns) a thick line covers around C, kept in LO..HI.
void ThickRange(int c, int extra, int lo, int hi, int& first, int& last)
{
    first = std::max(c - extra / 2, lo);
    last = std::min(c - extra / 2 + extra, hi);
}

// One Bresenham copy of a line: steps 0..DMAJOR of the major coordinate
// from A0 (step SA; the bitmap spans 0..AMAX along it), the minor one from
// B0 (step SB, kept in BLO..BHI, not empty). Stores through STORE(major,
// minor); SKIP leaves out step 0. Steps outside the bitmap store nothing and
// are passed over in one go: after j steps the minor coordinate has
// advanced (2 j dminor + dmajor) div (2 dmajor) times. The dash state goes
// on over every step and is left in POS and COUNTER.
template <class Store>
void BresenhamCopy(int a0, int sa, int b0, int sb, int blo, int bhi, std::int64_t dmajor, std::int64_t dminor,
                   bool skip, int amax, int length, int& pos, int& counter, Store store)
{
    const RasterState& r = R();
    const std::int64_t first = skip ? 1 : 0;
    const std::int64_t enter = sa > 0 ? -std::int64_t(a0) : std::int64_t(a0) - amax;
    const std::int64_t leave = sa > 0 ? std::int64_t(amax) - a0 : std::int64_t(a0);
    std::int64_t j = std::max(first, enter);
    const std::int64_t stop = std::min(dmajor, leave);
    if (j > stop) {
        DashAdvance(pos, counter, length, dmajor + 1 - first);
        return;
    }
    DashAdvance(pos, counter, length, j - first);
    const std::int64_t advanced = dmajor > 0 ? (2 * j * dminor + dmajor) / (2 * dmajor) : 0;
    std::int64_t e = 2 * (j + 1) * dminor - dmajor - 2 * dmajor * advanced;
    int b = static_cast<int>(std::clamp<std::int64_t>(Within(b0, blo, bhi) + advanced * sb, blo, bhi));
    std::int64_t a = a0 + j * sa;
    for (; j <= stop; ++j) {
        if ((r.dashBits >> pos) & 1)
            store(static_cast<int>(a), b);
        if (e < 0) {
            e += 2 * dminor;
        } else {
            b = Within(b + sb, blo, bhi);
            e += 2 * (dminor - dmajor);
        }
        a += sa;
        if (++counter > length) {
            pos = (pos + 1) % r.dashLength;
            counter = 1;
        }
    }
    DashAdvance(pos, counter, length, dmajor - stop);
}

} // namespace

void YYRasterPixel(int x, int y, int rgb)
{
    const RasterState& r = R();
    if (x < 0 || y < 0 || x >= r.width || y >= r.height)
        return;
    YYRasterStore(ReducedValue(x, y, rgb), x, y);
}

int RasterReducedValue(int x, int y, int rgb)
{
    return ReducedValue(x, y, rgb);
}

void YYRasterDitherBuild()
{
    RasterDitherTable& t = gRasterDitherTable;
    if (t.built)
        return;
    // The pattern routine keeps its last results; the table leaves them as
    // they were.
    const std::array<int, 3> kept = gHalftoneState.patterns;
    auto level = [](int i) { return i == 0 ? 0 : 16 * i + 15; };
    for (int b = 0; b < 16; ++b)
        for (int g = 0; g < 16; ++g)
            for (int r = 0; r < 16; ++r) {
                HalftoneColour c;
                c.red = level(r);
                c.green = level(g);
                c.blue = level(b);
                c.deviceColours = 256;
                c.colourSwap = 0;
                int p1 = 0, p2 = 0, p3 = 0;
                HalftonePatternsFor(1, c, p1, p2, p3);
                const size_t cell = static_cast<size_t>(r + 16 * g + 256 * b);
                t.patterns[0][cell] = static_cast<std::uint32_t>(p1);
                t.patterns[1][cell] = static_cast<std::uint32_t>(p2);
                t.patterns[2][cell] = static_cast<std::uint32_t>(p3);
            }
    gHalftoneState.patterns = kept;
    t.built = true;
}

void YYRasterSpan(int value, int x1, int y, int x2)
{
    const RasterState& r = R();
    if (y < 0 || y > r.yLimit)
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, r.xLimit);
    if (x2 < x1 || r.store.empty())
        return;
    if (r.layout == kRasterLayoutWord) {
        const std::int64_t row = std::int64_t(r.wordsPerRow) * y;
        std::fill(&RasterWord(row + x1), &RasterWord(row + x2) + 1, static_cast<std::uint32_t>(value));
        return;
    }
    for (int x = x1; x <= x2; ++x)
        YYRasterStore(value, x, y);
}

void YYRasterPatternSpan(int x1, int x2, int y)
{
    const RasterState& r = R();
    if (y < 0 || y > r.yLimit)
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, r.xLimit);
    if (x2 < x1)
        return;
    switch (r.depth) {
    case 1:
        for (int x = x1; x <= x2; ++x)
            YYRasterStore(Bit(x % 2 == 0 ? r.fillEven : r.fillOdd, CellBit(x, y)), x, y);
        break;
    case 3:
        for (int x = x1; x <= x2; ++x) {
            const auto& p = (r.twoColour && (x + y) % 2 == 1) ? r.previousPatterns : r.patterns;
            const int bit = CellBit(x, y);
            YYRasterStore(Bit(p[0], bit) + 2 * Bit(p[1], bit) + 4 * Bit(p[2], bit), x, y);
        }
        break;
    default:
        if (!r.twoColour) {
            YYRasterSpan(r.pixelValue, x1, y, x2);
            break;
        }
        for (int x = x1; x <= x2; ++x)
            YYRasterStore((x + y) % 2 == 0 ? r.previousPixelValue : r.pixelValue, x, y);
        break;
    }
}

void YYRasterLine(int x0, int y0, int x1, int y1, int skip)
{
    RasterState& r = R();
    const bool skipFirst = (skip & 1) != 0;
    const std::int64_t dx = std::llabs(std::int64_t(x1) - x0), dy = std::llabs(std::int64_t(y1) - y0);
    const int sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;

    if (dy == 0 && Solid()) {
        int xa = std::min(x0, x1), xb = std::max(x0, x1);
        if (skipFirst) {
            if (x0 == x1)
                return;
            if (x0 < x1)
                xa = x0 + 1;
            else
                xb = x0 - 1;
        }
        int first, last;
        ThickRange(y0, r.extraRows, r.clipYMin, r.clipYMax, first, last);
        for (int y = first; y <= last; ++y)
            YYRasterSpan(r.pixelValue, xa, y, xb);
        return;
    }
    if (dx == 0 && Solid()) {
        int ya = std::min(y0, y1), yb = std::max(y0, y1);
        if (skipFirst) {
            if (y0 < y1)
                ya = y0 + 1;
            else
                yb = y0 - 1;
        }
        ya = std::max(ya, 0);
        yb = std::min(yb, r.yLimit);
        int first, last;
        ThickRange(x0, r.extraColumns, r.clipXMin, r.clipXMax, first, last);
        for (int x = first; x <= last; ++x)
            for (int y = ya; y <= yb; ++y)
                YYRasterStore(r.pixelValue, x, y);
        return;
    }

    // Parallel Bresenham lines along the major axis. Copies whose start lies
    // beyond the clip box on the same side start on its edge and draw the
    // same pixels, so each distinct start is drawn once.
    const bool steep = dx < dy;
    const std::int64_t dmajor = steep ? dy : dx, dminor = steep ? dx : dy;
    const int extra = steep ? r.extraColumns : r.extraRows;
    const int lo = steep ? r.clipXMin : r.clipYMin, hi = steep ? r.clipXMax : r.clipYMax;
    const int length = steep ? r.dashElementY : r.dashElementX;
    const int startPos = r.dashPosition, startCounter = r.dashCounter;
    int pos = startPos, counter = startCounter;
    if (hi < lo) {
        DashAdvance(pos, counter, length, dmajor + (skipFirst ? 0 : 1));
    } else {
        const int base = steep ? x0 : y0;
        const int first = Within(base - extra / 2, lo, hi), last = Within(base - extra / 2 + extra, lo, hi);
        for (int b = first; b <= last; ++b) {
            pos = startPos;
            counter = startCounter;
            if (steep)
                BresenhamCopy(y0, sy, b, sx, lo, hi, dmajor, dminor, skipFirst, r.yLimit, length, pos, counter,
                              [&](int a, int m) { YYRasterStore(r.pixelValue, m, a); });
            else
                BresenhamCopy(x0, sx, b, sy, lo, hi, dmajor, dminor, skipFirst, r.xLimit, length, pos, counter,
                              [&](int a, int m) { YYRasterStore(r.pixelValue, a, m); });
        }
    }
    r.dashPosition = pos;
    r.dashCounter = counter;
}

int YYRasterEdgeX(int xa, int ya, int xb, int yb, int y)
{
    if (ya == yb)
        return 32767;
    const std::int64_t xl = ya < yb ? xa : xb, yl = ya < yb ? ya : yb;
    const std::int64_t x = xl + (std::int64_t(y) - yl) * (std::int64_t(xb) - xa) / (std::int64_t(yb) - ya);
    return static_cast<int>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX));
}

void RasterRectangleFill(int xa, int ya, int xb, int yb)
{
    const RasterState& r = R();
    const int top = std::min(yb, r.clipYMax), left = std::max(xa, r.clipXMin), right = std::min(xb, r.clipXMax);
    for (int y = std::max(ya, r.clipYMin); y <= top; ++y)
        YYRasterPatternSpan(left, right, y);
}

void RasterTriangleFill(const std::array<int, 3>& px, const std::array<int, 3>& py)
{
    const RasterState& r = R();
    // The points by rising y (the graphics layer sends them so already).
    std::array<int, 3> order = {0, 1, 2};
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return py[static_cast<size_t>(a)] < py[static_cast<size_t>(b)]; });
    const double x1 = px[static_cast<size_t>(order[0])], x2 = px[static_cast<size_t>(order[1])], x3 = px[static_cast<size_t>(order[2])];
    const int y1 = py[static_cast<size_t>(order[0])], y2 = py[static_cast<size_t>(order[1])], y3 = py[static_cast<size_t>(order[2])];
    auto slope = [](double xa, int ya, double xb, int yb) { return ya == yb ? 0.0 : (xa - xb) / (double(ya) - yb); };
    const double s12 = slope(x1, y1, x2, y2), s23 = slope(x2, y2, x3, y3), s13 = slope(x1, y1, x3, y3);
    const int bottom = std::max(y1, r.clipYMin);
    for (int y = std::min(y3, r.clipYMax); y >= bottom; --y) {
        const double along13 = x3 + (double(y) - y3) * s13;
        double a, b;
        if (y < y2) {
            a = x2 + (double(y) - y2) * s12;
            b = along13;
        } else if (y > y2) {
            a = x3 + (double(y) - y3) * s23;
            b = along13;
        } else {
            a = x2;
            b = y2 == y1 ? x1 : y2 == y3 ? x3 : along13;
        }
        const int ta = TruncateToInt(a), tb = TruncateToInt(b);
        YYRasterPatternSpan(std::max(std::min(ta, tb), r.clipXMin), std::min(std::max(ta, tb), r.clipXMax), y);
    }
}

void RasterQuadrilateralFill(const std::array<int, 4>& px, const std::array<int, 4>& py, int mode)
{
    const RasterState& r = R();
    const int x1 = px[0], x2 = px[1], x3 = px[2], x4 = px[3];
    const int y1 = py[0], y2 = py[1], y3 = py[2], y4 = py[3];
    const int yb = std::max(std::min(y1, y2), r.clipYMin), yt = std::min(std::max(y3, y4), r.clipYMax);
    if (yb == yt) {
        YYRasterPatternSpan(std::max(std::min(x1, x4), r.clipXMin), std::min(std::max(x2, x3), r.clipXMax), yb);
        return;
    }
    if (mode != 1) {
        for (int y = yt; y >= yb; --y)
            YYRasterPatternSpan(std::max(YYRasterEdgeX(x1, y1, x4, y4, y), r.clipXMin),
                                std::min(YYRasterEdgeX(x2, y2, x3, y3, y), r.clipXMax), y);
        return;
    }
    // Left and right sides vertical at x1 and x2; rows beyond a side's end
    // are bounded by the bottom or the top edge instead.
    const int nominalLeft = std::max(x1, r.clipXMin), nominalRight = std::min(x2, r.clipXMax);
    for (int y = yt; y >= yb; --y) {
        const bool leftOut = y > y4 || y < y1, rightOut = y > y3 || y < y2;
        int left = nominalLeft, right = nominalRight;
        if (leftOut || rightOut) {
            const int m = YYRasterEdgeX(x1, y1, x2, y2, y), t = YYRasterEdgeX(x4, y4, x3, y3, y);
            const bool mIn = m >= nominalLeft && m <= nominalRight, tIn = t >= nominalLeft && t <= nominalRight;
            if (mIn && tIn) {
                if (leftOut)
                    left = std::min(m, t);
                if (rightOut)
                    right = std::max(m, t);
            } else if (mIn) {
                if (y1 > y2) {
                    if (leftOut)
                        left = m;
                } else if (rightOut) {
                    right = m;
                }
            } else if (tIn) {
                if (y4 < y3) {
                    if (leftOut)
                        left = t;
                } else if (rightOut) {
                    right = t;
                }
            }
        }
        YYRasterPatternSpan(left, right, y);
    }
}

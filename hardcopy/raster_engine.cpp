// The raster engine: the page bitmap, its pixel store, and YYRasterDraw, which
// turns each DeviceOp of the two raster drivers into pixels (the primitives it
// calls are in raster_primitives.cpp).
#include "hardcopy/raster_engine.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string_view>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/numeric.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/shaded_polygons.h"
#include "graphics/text_state.h"
#include "hardcopy/halftone.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/plot_output.h"

RasterState gRasterState;

namespace {

// The storage of the last bitmap freed, when it was not larger than
// kRasterSpareWords: the next plot takes it instead of fresh memory, which
// the system would first have to map page by page.
std::vector<std::uint32_t> gSpareStore;

RasterState& R() { return gRasterState; }
DeviceParameterBlock& B() { return gDeviceParameterBlock; }

// Dash patterns of line styles 0..7, bit 0 first, and their lengths.
constexpr int kDashBits[8] = {4095, 260, 3591, 481, 969, 3303, 2275, 105703};
constexpr int kDashLengths[8] = {12, 12, 12, 12, 12, 12, 12, 17};

// The colour number of the current colour (its nearest one when it has none).
int CurrentNumber()
{
    const GraphicsState& g = gGraphicsState;
    if (g.currentNumber >= 0 && g.currentNumber <= 255)
        return g.currentNumber;
    int n = 0;
    YYColourNearest(g.currentRgb, n);
    return n;
}

// The current colour as packed RGB.
int CurrentRgb()
{
    const GraphicsState& g = gGraphicsState;
    int red = 0, green = 0, blue = 0;
    YYColourSplit(g.colourModel == kColourModelRgb ? g.currentRgb : g.currentNumber, red, green, blue);
    return red + 256 * green + 65536 * blue;
}

int ColourSwap() { return gHardcopyState.option(6); }

// ---- Operations ---------------------------------------------------------------

void Initialise()
{
    YYHardcopyDefaults();
    HalftoneOverridesClear();
    TextState& t = gTextState;
    t.sizeLimit[kTextHardcopy] = 0.0f;
    t.deviceCharset[kTextHardcopy] = 0;
    t.rotation[kTextHardcopy] = 0;
    t.deviceProportional[kTextHardcopy] = 0; // device justification
    t.hardcopySpacing = 0;                   // the spacing word
    t.hardcopyTextBox = 1;                   // the last capability word
    DeviceCapabilityWords& w = gDeviceCapabilityWords;
    w.angleLimit[kHardcopySide] = 0;
    w.textKind[kHardcopySide] = 2;
    w.trueColour[kHardcopySide] = 1;
    w.gradient[kHardcopySide] = 1;
    R().totalWords = 0;
}

void Line()
{
    RasterState& r = R();
    const DeviceParameterBlock& b = B();
    const int x0 = RasterPixelX(b.X[0]), y0 = RasterPixelY(b.Y[0]);
    const int x1 = RasterPixelX(b.X[1]), y1 = RasterPixelY(b.Y[1]);
    if (gGraphicsState.LineFillRequest[kHardcopySide] != 0) {
        YYRasterPatternSpan(std::min(x0, x1), std::max(x0, x1), y0);
        return;
    }
    YYRasterLine(x0, y0, x1, y1, (x0 == r.endX && y0 == r.endY) ? 1 : 0);
    r.endX = x1;
    r.endY = y1;
}

void Colour()
{
    RasterState& r = R();
    r.previousPatterns = r.patterns;
    r.previousPixelValue = r.pixelValue;
    int p1 = 0, p2 = 0, p3 = 0;
    YYHalftonePatterns(gHardcopyState.colourKind, p1, p2, p3);
    r.patterns = {static_cast<std::uint32_t>(p1), static_cast<std::uint32_t>(p2), static_cast<std::uint32_t>(p3)};
    switch (r.depth) {
    case 1: r.pixelValue = CurrentNumber() != (ColourSwap() == 0 ? 0 : 223) ? 1 : 0; break;
    case 3: {
        int red = 0, green = 0, blue = 0;
        YYRgbSplit(CurrentRgb(), &red, &green, &blue);
        int v = red / 128 + 2 * (green / 128) + 4 * (blue / 128);
        if (ColourSwap() == 2 && (v == 0 || v == 7))
            v = 7 - v;
        if (gHardcopyState.colourKind == 2)
            v = 7 - v;
        r.pixelValue = v;
        break;
    }
    case 4: r.pixelValue = RasterGroupValue(CurrentNumber()); break;
    case 8: r.pixelValue = CurrentNumber(); break;
    default: r.pixelValue = CurrentRgb(); break;
    }
}

void FilledShape(int op)
{
    RasterState& r = R();
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = B();
    if (b.M == -1)
        return; // the outline pass
    if (g.fillMode < kFillHalftone) {
        if (op == DeviceOp::kEllipseHalftone)
            b.M = -1; // the graphics layer draws the ellipse itself
        return;
    }
    r.twoColour = (g.fillMode == kFillHalftone && g.currentNumber != g.previousNumber) ? 1 : 0;
    if (g.strokeTextFlag != 0) {
        // Glyphs of a stroke font fill solid.
        std::uint32_t word = CurrentNumber() != 0 ? ~0u : 0u;
        if (ColourSwap() != 0)
            word = ~word;
        r.fillEven = r.fillOdd = word;
    } else {
        // The two-colour pattern marks the paper's dots, with colour swap the
        // ink's: depth 1 stores ink as 1.
        const std::uint32_t ink = ColourSwap() == 0 ? ~0u : 0u;
        r.fillEven = r.patterns[0] ^ ink;
        r.fillOdd = (r.twoColour ? r.previousPatterns[0] : r.patterns[0]) ^ ink;
    }

    const DevicePointArrays& a = gDevicePointArrays;
    const size_t points = std::min(a.x.size(), a.y.size());
    switch (op) {
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone:
        // The graphics layer fills these with lines one pixel row apart,
        // which arrive as line operations and become pattern spans.
        g.LineFillSpacing[kHardcopySide] =
            r.height > 0 ? static_cast<float>(g.targetHeight - 1) / static_cast<float>(r.height) : 1.0f;
        g.LineFillRequest[kHardcopySide] = 1;
        break;
    case DeviceOp::kRectangleHalftone:
        RasterRectangleFill(RasterPixelX(b.X[0]), RasterPixelY(b.Y[0]), RasterPixelX(b.X[1]), RasterPixelY(b.Y[1]));
        break;
    case DeviceOp::kTriangleHalftone:
        if (points >= 3) {
            std::array<int, 3> x{}, y{};
            for (size_t i = 0; i < 3; ++i) {
                x[i] = RasterPixelX(a.x[i]);
                y[i] = RasterPixelY(a.y[i]);
            }
            RasterTriangleFill(x, y);
        }
        break;
    case DeviceOp::kQuadHalftone:
        if (points >= 4) {
            std::array<int, 4> x{}, y{};
            for (size_t i = 0; i < 4; ++i) {
                x[i] = RasterPixelX(a.x[i]);
                y[i] = RasterPixelY(a.y[i]);
            }
            RasterQuadrilateralFill(x, y, b.M);
        }
        break;
    default: break;
    }
}

void Clear()
{
    RasterState& r = R();
    if (!RasterBitmapAllocated())
        return;
    const std::int64_t last = std::min(r.totalWords, r.clearLimit);
    if (last < 0)
        return;
    auto first = r.store.begin() + kRasterGuardWords;
    std::fill(first, first + (last + 1), r.background);
}

void BeginPlot()
{
    RasterState& r = R();
    GraphicsState& g = gGraphicsState;
    if (B().M >= 1) {
        ErrorState& e = gErrorState;
        const int saved = e.lastCode;
        e.lastCode = 0;
        YYPlotOpen(kPlotUnit);
        if (e.lastCode != 0) {
            // The closed hardcopy gets no end of plot: the bitmap goes now.
            g.hardcopyOpen = 0;
            RasterBitmapFree();
            return;
        }
        e.lastCode = saved;
        RasterGeometryDerive();
        g.hardcopyColours = r.depth >= 8 ? 256 : 1 << r.depth;
        int p1 = 0, p2 = 0, p3 = 0;
        YYHalftonePatterns(gHardcopyState.colourKind, p1, p2, p3);
        r.patterns = {static_cast<std::uint32_t>(p1), static_cast<std::uint32_t>(p2), static_cast<std::uint32_t>(p3)};
        r.previousPatterns = r.patterns;
        YYRasterDitherBuild();
        r.endX = r.endY = -9999;
    }
    r.scaleX = static_cast<float>(r.width) / static_cast<float>(std::max(g.targetWidth, 1));
    r.scaleY = static_cast<float>(r.height) / static_cast<float>(std::max(g.targetHeight, 1));
    gHardcopyState.rasterDots = {r.width, r.height};
}

void EndPlot()
{
    YYPlotClose(kPlotUnit);
    RasterBitmapFree();
}

// The clip box: the graphics area in pixels, kept inside the bitmap (a box
// wholly outside it stays empty).
void Clip()
{
    RasterState& r = R();
    const auto& a = gGraphicsState.deviceArea;
    r.clipXMin = std::max(RasterPixelX(a[0]), 0);
    r.clipXMax = std::min(RasterPixelX(a[2]), r.xLimit);
    r.clipYMin = std::max(RasterPixelY(a[1]), 0);
    r.clipYMax = std::min(RasterPixelY(a[3]), r.yLimit);
}

void Point()
{
    RasterState& r = R();
    const int x = RasterPixelX(B().X[0]), y = RasterPixelY(B().Y[0]);
    const int left = x - r.extraColumns / 2;
    YYRasterSpan(r.pixelValue, std::max(left, r.clipXMin), y, std::min(left + r.extraColumns, r.clipXMax));
    r.endX = x;
    r.endY = y;
}

// Pixels per pattern bit: one bit covers one point (1/72 inch).
int DashElement(float resolution)
{
    return std::max(1, RoundToInt(static_cast<double>(resolution) / 72.0));
}

void LineStyle()
{
    RasterState& r = R();
    const int style = gGraphicsState.lineStyle;
    const int s = (style >= 0 && style <= 7) ? style : 0;
    r.dashBits = kDashBits[s];
    r.dashLength = kDashLengths[s];
    r.dashPosition = 0;
    r.dashCounter = 1;
    r.dashElementX = DashElement(r.resolutionX);
    r.dashElementY = DashElement(r.resolutionY);
    r.endX = -1;
}

// Dots of a line of WIDTH tenths of a point at RESOLUTION dots per inch,
// rounded (halves up), at least 1; far beyond any page at most.
int LineDots(float resolution, int width)
{
    const double dots = std::floor(static_cast<double>(resolution) * width / 720.0 + 0.5);
    return std::clamp(TruncateToInt(dots), 1, static_cast<int>(kRasterMaxSide));
}

void LineWidth()
{
    RasterState& r = R();
    const int w = gHardcopyState.option(9);
    const int a = LineDots(r.resolutionY, w) - 1;
    const int b = LineDots(r.resolutionX, w) - 1;
    const bool rotated = gHardcopyState.option(5) != 0;
    r.extraRows = rotated ? b : a;
    r.extraColumns = rotated ? a : b;
}

void Polyline()
{
    RasterState& r = R();
    const DevicePointArrays& a = gDevicePointArrays;
    const int n = std::clamp<int>(B().N, 0, static_cast<int>(std::min(a.x.size(), a.y.size())));
    if (n < 1)
        return;
    int px = RasterPixelX(a.x[0]), py = RasterPixelY(a.y[0]);
    int skip = (px == r.endX && py == r.endY) ? 1 : 0;
    for (int i = 1; i < n; ++i) {
        const int x = RasterPixelX(a.x[static_cast<size_t>(i)]), y = RasterPixelY(a.y[static_cast<size_t>(i)]);
        YYRasterLine(px, py, x, y, skip);
        skip = 1;
        px = x;
        py = y;
    }
    r.endX = px;
    r.endY = py;
}

void Image()
{
    RasterState& r = R();
    DeviceParameterBlock& b = B();
    ErrorState& e = gErrorState;
    const int savedLevel = e.level, savedCode = e.lastCode;
    e.level = kReportNone;
    e.lastCode = 0;
    const int w = b.IX[1], h = b.IY[1];
    std::vector<int> pixels;
    int osError = 0, status = 0;
    const int rc = ImageFileDecodeSized(std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength), w, h,
                                        pixels, osError, status);
    ImageLoadErrorReport(rc, osError, status, "IGrLoadImageData");
    e.level = savedLevel;
    if (rc != kErrorNone) {
        b.M = rc;
        b.N = rc == kErrorCompression || rc == kErrorOperatingSystem ? status : osError;
        return;
    }
    e.lastCode = savedCode;
    b.M = 0;

    // Nearest neighbour into the clip box, turned by the page rotation.
    const std::int64_t bw = std::int64_t(r.clipXMax) - r.clipXMin + 1, bh = std::int64_t(r.clipYMax) - r.clipYMin + 1;
    if (bw <= 0 || bh <= 0)
        return;
    const std::int64_t W = w, H = h;
    const int rotation = gGraphicsState.pageRotation;
    // Only the dithered depths reduce a colour differently by position.
    const bool byPosition = r.depth == 1 || r.depth == 3;
    int lastRgb = -1, lastValue = 0;
    for (int y = r.clipYMin; y <= r.clipYMax; ++y) {
        const std::int64_t dy = y - r.clipYMin;
        for (int x = r.clipXMin; x <= r.clipXMax; ++x) {
            const std::int64_t dx = x - r.clipXMin;
            std::int64_t row, column;
            switch (rotation) {
            case 90:
                row = dx * H / bw;
                column = dy * W / bh;
                break;
            case 180:
                row = H - 1 - (r.clipYMax - y) * H / bh;
                column = W - 1 - dx * W / bw;
                break;
            case 270:
                row = H - 1 - dx * H / bw;
                column = W - 1 - dy * W / bh;
                break;
            default:
                row = H - 1 - dy * H / bh;
                column = dx * W / bw;
                break;
            }
            const int rgb = pixels[static_cast<size_t>(row * W + column)];
            if (!byPosition) {
                // The nearest colour of the last one looked up serves again.
                if (rgb != lastRgb) {
                    lastRgb = rgb;
                    lastValue = RasterReducedValue(x, y, rgb);
                }
                YYRasterStore(lastValue, x, y);
            } else {
                YYRasterPixel(x, y, rgb);
            }
        }
    }
}

void ShadedPixel(int x, int y, int colour) { YYRasterPixel(x, y, colour); }

void ShadedPolygon()
{
    RasterState& r = R();
    const DevicePointArrays& a = gDevicePointArrays;
    ShadedPolygonBuffer& s = gShadedPolygonBuffer;
    s.count = a.shadedCount;
    const int n = std::clamp<int>(a.shadedCount, 0,
                                  std::min<int>(kShadedPolygonCapacity, static_cast<int>(std::min(a.x.size(), a.y.size()))));
    for (int i = 0; i < n; ++i) {
        s.x[static_cast<size_t>(i)] = RasterPixelX(a.x[static_cast<size_t>(i)]);
        s.y[static_cast<size_t>(i)] = RasterPixelY(a.y[static_cast<size_t>(i)]);
    }
    YYShadedPolygon(1, r.clipXMin, r.clipYMin, r.clipXMax, r.clipYMax, ShadedPixel, nullptr);
}

bool IsDrawing(int op)
{
    switch (op) {
    case DeviceOp::kLine:
    case DeviceOp::kPoint:
    case DeviceOp::kPolyline:
    case DeviceOp::kImageFile:
    case DeviceOp::kShadedPolygon: return true;
    default: return op >= DeviceOp::kEllipseHalftone && op <= DeviceOp::kPolygonHalftone;
    }
}

} // namespace

// ---- The bitmap ------------------------------------------------------------------

bool RasterBitmapAllocate()
{
    RasterState& r = R();
    RasterBitmapFree();
    if (r.totalWords < 0 || r.totalWords + 1 > kRasterMaxWords)
        return false;
    const size_t words = static_cast<size_t>(r.totalWords + 1 + 2 * kRasterGuardWords);
    if (gSpareStore.capacity() >= words)
        r.store = std::move(gSpareStore);
    try {
        r.store.assign(words, 0u);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::fill_n(r.store.begin(), kRasterGuardWords, kRasterGuardValue);
    std::fill_n(r.store.end() - kRasterGuardWords, kRasterGuardWords, kRasterGuardValue);
    return true;
}

void RasterBitmapFree()
{
    std::vector<std::uint32_t>& store = R().store;
    if (store.empty())
        return;
    if (store.capacity() <= static_cast<size_t>(kRasterSpareWords)) {
        store.clear();
        gSpareStore = std::move(store);
    }
    std::vector<std::uint32_t>().swap(store);
}

bool RasterBitmapAllocated()
{
    return !R().store.empty();
}

std::uint32_t& RasterWord(std::int64_t i)
{
    return R().store[static_cast<size_t>(i + kRasterGuardWords)];
}

bool RasterGuardsIntact()
{
    const std::vector<std::uint32_t>& s = R().store;
    if (s.empty())
        return true;
    auto guard = [](std::uint32_t w) { return w == kRasterGuardValue; };
    return std::all_of(s.begin(), s.begin() + kRasterGuardWords, guard) &&
           std::all_of(s.end() - kRasterGuardWords, s.end(), guard);
}

void RasterGeometryDerive()
{
    RasterState& r = R();
    r.xLimit = r.width - 1;
    r.yLimit = r.height - 1;
    r.layout = r.depth == 24  ? kRasterLayoutWord
               : r.depth == 8 ? kRasterLayoutByte
               : (r.depth == 3 || r.depth == 4) ? kRasterLayoutPlanes
                                                 : kRasterLayoutBit;
}

void YYRasterStore(int value, int x, int y)
{
    RasterState& r = R();
    if (x < 0 || y < 0 || x >= r.width || y >= r.height || r.store.empty())
        return;
    const std::int64_t row = std::int64_t(r.wordsPerRow) * y;
    switch (r.layout) {
    case kRasterLayoutWord: RasterWord(row + x) = static_cast<std::uint32_t>(value); break;
    case kRasterLayoutByte: {
        std::uint32_t& w = RasterWord(row + x / 4);
        w = (w & r.byteMasks[static_cast<size_t>(x % 4)]) |
            ((static_cast<std::uint32_t>(value) & 0xFFu) << (8 * (x % 4)));
        break;
    }
    default: {
        const std::uint32_t bit = 1u << (x % 32);
        const int planes = r.layout == kRasterLayoutPlanes ? r.planesLess1 + 1 : 1;
        for (int k = 0; k < planes; ++k) {
            std::uint32_t& w = RasterWord(k * r.planeStride + row + x / 32);
            w = ((value >> k) & 1) ? (w | bit) : (w & ~bit);
        }
        break;
    }
    }
}

int RasterPixelValue(int x, int y)
{
    const RasterState& r = R();
    if (x < 0 || y < 0 || x >= r.width || y >= r.height || r.store.empty())
        return 0;
    const std::int64_t row = std::int64_t(r.wordsPerRow) * y;
    switch (r.layout) {
    case kRasterLayoutWord: return static_cast<int>(RasterWord(row + x));
    case kRasterLayoutByte: return static_cast<int>((RasterWord(row + x / 4) >> (8 * (x % 4))) & 0xFFu);
    default: {
        const int planes = r.layout == kRasterLayoutPlanes ? r.planesLess1 + 1 : 1;
        int v = 0;
        for (int k = 0; k < planes; ++k)
            v |= static_cast<int>((RasterWord(k * r.planeStride + row + x / 32) >> (x % 32)) & 1u) << k;
        return v;
    }
    }
}

int RasterPixelX(float x)
{
    const int v = TruncateToInt(static_cast<double>(R().scaleX) * static_cast<double>(x));
    return std::clamp(v, -kRasterCoordinateLimit, kRasterCoordinateLimit);
}

int RasterPixelY(float y)
{
    const int v = TruncateToInt(static_cast<double>(R().scaleY) * static_cast<double>(y));
    return std::clamp(v, -kRasterCoordinateLimit, kRasterCoordinateLimit);
}

int RasterGroupValue(int colourNumber)
{
    static constexpr int kGroupValues[16] = {0, 9, 1, 11, 3, 10, 2, 14, 6, 12, 4, 13, 5, 15, 7, 8};
    return kGroupValues[(colourNumber & 255) / 16];
}

// ---- The engine ------------------------------------------------------------------

void YYRasterDraw(int op)
{
    if (IsDrawing(op))
        gHardcopyState.pagePending = -1;
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); break;
    case DeviceOp::kLine: Line(); break;
    case DeviceOp::kColour:
    case DeviceOp::kReloadPalette: Colour(); break;
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kPolygonHalftone: FilledShape(op); break;
    case DeviceOp::kClear: Clear(); break;
    case DeviceOp::kBeginPlot: BeginPlot(); break;
    case DeviceOp::kEndPlot: EndPlot(); break;
    case DeviceOp::kClip: Clip(); break;
    case DeviceOp::kPoint: Point(); break;
    case DeviceOp::kLineStyle: LineStyle(); break;
    case DeviceOp::kLineWidth: LineWidth(); break;
    case DeviceOp::kPolyline: Polyline(); break;
    case DeviceOp::kImageFile: Image(); break;
    case DeviceOp::kShadedPolygon: ShadedPolygon(); break;
    default: break;
    }
}

bool RasterDriverRoute(int op, int number, void (*initialise)(), void (*beginPlot)())
{
    DeviceParameterBlock& b = B();
    if (op == DeviceOp::kInitialise) {
        if (b.N == kDriverNumberQuery)
            b.N = number;
        else
            initialise();
        return true;
    }
    if (op == DeviceOp::kBeginPlot) {
        if (b.M >= 1)
            beginPlot();
        else
            YYRasterDraw(op);
        return true;
    }
    return false;
}

// The binary CGM element writer and the picture writers both producers share.
#include "hardcopy/cgm_encoding.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/numeric.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/shaded_polygons.h"
#include "graphics/text_state.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/plot_colours.h"
#include "hardcopy/plot_fields.h"

namespace {

constexpr std::string_view kMetafileName = "KVB CGM File";
constexpr std::string_view kPictureName = "KVB CGM Data";
constexpr std::string_view kDescription = "KVB CGM driver v4";

constexpr std::string_view kFontsPostScriptUnderscore[16] = {
    "COURIER",     "COURIER_BOLD", "COURIER_ITALIC", "COURIER_BOLD_ITALIC", "HELVETICA", "HELVETICA_BOLD",
    "HELVETICA_OBLIQUE", "HELVETICA_BOLD_OBLIQUE", "TIMES_ROMAN", "TIMES_BOLD", "TIMES_ITALIC",
    "TIMES_BOLD_ITALIC", "SYMBOL", "SYMBOL", "SYMBOL", "SYMBOL"};
constexpr std::string_view kFontsPostScript[16] = {
    "Courier",    "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique", "Helvetica", "Helvetica-Bold",
    "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman", "Times-Bold", "Times-Italic",
    "Times-BoldItalic", "Symbol", "Symbol", "Symbol", "Symbol"};
constexpr std::string_view kFontsWindows[16] = {
    "Courier New", "Courier New Bold", "Courier New Italic", "Courier New Bold Italic", "Arial", "Arial Bold",
    "Arial Italic", "Arial Bold Italic", "Times New Roman", "Times New Roman Bold", "Times New Roman Italic",
    "Times New Roman Bold Italic", "Symbol", "Symbol Italic", "Symbol Bold", "Symbol Bold Italic"};

unsigned HeaderWord(CgmElementCode code, int length)
{
    return static_cast<unsigned>(code.elementClass) << 12 | static_cast<unsigned>(code.id) << 5 |
           static_cast<unsigned>(length);
}

void PutWord(std::vector<std::uint8_t>& v, unsigned w)
{
    v.push_back(static_cast<std::uint8_t>(w >> 8));
    v.push_back(static_cast<std::uint8_t>(w));
}

// The largest partition that another follows, a multiple of UNIT bytes (of
// an even multiple when UNIT is odd).
std::size_t PartitionSize(int unit)
{
    const std::size_t u = static_cast<std::size_t>(std::max(1, unit)) * (unit % 2 == 0 ? 1 : 2);
    return std::max<std::size_t>(u, kCgmPartitionEven / u * u);
}

// The writer the shaded-triangle callback writes to while a shaded polygon
// is being split, with its colour swap.
CgmWriter* gShadedWriter = nullptr;
int gShadedSwap = 0;

} // namespace

int CgmVdc(double v)
{
    return std::clamp(TruncateToInt(v), -kCgmVdcLimit, kCgmVdcLimit);
}

// ---- The element writer ----------------------------------------------------------------

CgmWriter::CgmWriter(CgmSink& sink) : sink_(sink)
{
    buffer_.reserve(1024);
}

void CgmWriter::Begin(CgmElementCode code)
{
    code_ = code;
    buffer_.assign(kHeaderRoom, 0);
    streamed_ = false;
    moreOpen_ = false;
    lastOdd_ = false;
    failed_ = false;
}

void CgmWriter::Word(unsigned v)
{
    buffer_.push_back(static_cast<std::uint8_t>(v >> 8));
    buffer_.push_back(static_cast<std::uint8_t>(v));
}

void CgmWriter::Int(int v)
{
    Word(static_cast<unsigned>(std::clamp(v, -32768, 32767)) & 0xFFFFu);
}

void CgmWriter::Point(int x, int y)
{
    Int(std::clamp(x, -kCgmVdcLimit, kCgmVdcLimit));
    Int(std::clamp(y, -kCgmVdcLimit, kCgmVdcLimit));
}

void CgmWriter::RealZero()
{
    Word(0);
    Word(0);
}

void CgmWriter::Byte(int v)
{
    buffer_.push_back(static_cast<std::uint8_t>(v));
}

void CgmWriter::Colour(const CgmRgb& c)
{
    Byte(std::clamp(c.r, 0, 255));
    Byte(std::clamp(c.g, 0, 255));
    Byte(std::clamp(c.b, 0, 255));
}

void CgmWriter::String(std::string_view s)
{
    const std::size_t n = std::min<std::size_t>(s.size(), kCgmPartitionMax);
    if (n < 255) {
        Byte(static_cast<int>(n));
    } else {
        Byte(255);
        Word(static_cast<unsigned>(n));
    }
    buffer_.insert(buffer_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

void CgmWriter::Emit(const std::uint8_t* p, std::size_t n)
{
    if (!failed_ && !sink_.Put(p, n))
        failed_ = true;
}

void CgmWriter::Stream(bool last, int unit)
{
    long_.clear();
    if (!streamed_)
        PutWord(long_, HeaderWord(code_, 31));
    const std::size_t chunk = PartitionSize(unit);
    const std::uint8_t* p = buffer_.data() + kHeaderRoom;
    std::size_t rest = buffer_.size() - kHeaderRoom;
    do {
        const std::size_t n = rest > kCgmPartitionMax ? chunk : rest;
        const bool more = !last || n < rest;
        PutWord(long_, static_cast<unsigned>(n) | (more ? 0x8000u : 0u));
        long_.insert(long_.end(), p, p + n);
        p += n;
        rest -= n;
        lastOdd_ = n % 2 != 0;
        moreOpen_ = more;
    } while (rest > 0);
    Emit(long_.data(), long_.size());
    buffer_.resize(kHeaderRoom);
    streamed_ = true;
}

bool CgmWriter::End(int unit)
{
    const std::size_t length = buffer_.size() - kHeaderRoom;
    if (streamed_) {
        if (length > 0 || moreOpen_)
            Stream(true, unit);
        if (lastOdd_) {
            const std::uint8_t pad = 0;
            Emit(&pad, 1);
        }
    } else if (length > kCgmPartitionMax) {
        Stream(true, unit);
        if (lastOdd_) {
            const std::uint8_t pad = 0;
            Emit(&pad, 1);
        }
    } else {
        if (length % 2 != 0)
            buffer_.push_back(0); // not counted in the length
        std::size_t at = 0;
        if (length <= 30) {
            at = 2;
            const unsigned h = HeaderWord(code_, static_cast<int>(length));
            buffer_[2] = static_cast<std::uint8_t>(h >> 8);
            buffer_[3] = static_cast<std::uint8_t>(h);
        } else {
            const unsigned h = HeaderWord(code_, 31);
            buffer_[0] = static_cast<std::uint8_t>(h >> 8);
            buffer_[1] = static_cast<std::uint8_t>(h);
            buffer_[2] = static_cast<std::uint8_t>(length >> 8);
            buffer_[3] = static_cast<std::uint8_t>(length);
        }
        Emit(buffer_.data() + at, buffer_.size() - at);
    }
    sink_.ElementEnd();
    return !failed_;
}

void CgmIntElement(CgmWriter& w, CgmElementCode code, std::initializer_list<int> values)
{
    w.Begin(code);
    for (int v : values)
        w.Int(v);
    w.End();
}

void YYCgmColour(CgmWriter& w, CgmElementCode code, const CgmRgb& c)
{
    w.Begin(code);
    w.Colour(c);
    w.Byte(0);
    w.End();
}

CgmRgb YYCgmColourSwap(CgmRgb c, int mode)
{
    std::array<int, 3> rgb{c.r, c.g, c.b};
    ColourSwapBytes(rgb, mode);
    return {rgb[0], rgb[1], rgb[2]};
}

// ---- Pictures ----------------------------------------------------------------------------

int CgmLineType(int lineStyle)
{
    static constexpr int kTypes[8] = {1, 3, 2, 4, 5, 10, 12, 13};
    return lineStyle >= 0 && lineStyle < 8 ? kTypes[lineStyle] : 1;
}

std::span<const std::string_view> CgmFontNames(int set)
{
    switch (set) {
    case 0: return kFontsPostScriptUnderscore;
    case 1: return kFontsPostScript;
    default: return kFontsWindows;
    }
}

int CgmFontIndex(int family, int style, int spacing)
{
    if (family == TextFontFamily::kNamedDevice)
        family = spacing == TextSpacing::kFixedPitch ? TextFontFamily::kFixed : TextFontFamily::kSwiss;
    return 4 * std::clamp(family, TextFontFamily::kFixed, TextFontFamily::kSymbol) + (style & 3) - 3;
}

void CgmMetafileHead(CgmWriter& w, const CgmHead& head)
{
    std::string_view title = head.title;
    while (!title.empty() && (title.back() == ' ' || title.back() == '\0'))
        title.remove_suffix(1);
    while (!title.empty() && title.front() == ' ')
        title.remove_prefix(1);
    w.Begin(CgmElement::kBeginMetafile);
    w.String(title.empty() ? kMetafileName : title);
    w.End();
    CgmIntElement(w, CgmElement::kMetafileVersion, {1});
    w.Begin(CgmElement::kMetafileDescription);
    w.String(kDescription);
    w.End();
    CgmIntElement(w, CgmElement::kVdcType, {0});
    CgmIntElement(w, CgmElement::kIntegerPrecision, {16});
    CgmIntElement(w, CgmElement::kRealPrecision, {1, 16, 16});
    CgmIntElement(w, CgmElement::kIndexPrecision, {16});
    w.Begin(CgmElement::kFontList);
    for (std::string_view name : CgmFontNames(head.fontSet))
        w.String(name);
    w.End();
    CgmIntElement(w, CgmElement::kColourPrecision, {8});
    w.Begin(CgmElement::kColourValueExtent);
    w.Colour({0, 0, 0});
    w.Colour({255, 255, 255});
    w.End();
    CgmPictureBegin(w, head);
}

void CgmPictureBegin(CgmWriter& w, const CgmHead& head)
{
    w.Begin(CgmElement::kBeginPicture);
    w.String(kPictureName);
    w.End();
    CgmIntElement(w, CgmElement::kLineWidthMode, {0});
    CgmIntElement(w, CgmElement::kEdgeWidthMode, {0});
    CgmIntElement(w, CgmElement::kColourSelectionMode, {1});
    CgmIntElement(w, CgmElement::kVdcIntegerPrecision, {16});
    w.Begin(CgmElement::kVdcExtent);
    w.Point(0, 0);
    w.Point(head.vdcWidth, head.vdcHeight);
    w.End();
    YYCgmColour(w, CgmElement::kBackgroundColour, head.background);
    w.Begin(CgmElement::kBeginPictureBody);
    w.End();
    w.Begin(CgmElement::kTextAlignment);
    w.Int(1);
    w.Int(5);
    w.RealZero();
    w.RealZero();
    w.End();
}

void CgmEndPicture(CgmWriter& w)
{
    w.Begin(CgmElement::kEndPicture);
    w.End();
}

void CgmEndMetafile(CgmWriter& w)
{
    w.Begin(CgmElement::kEndMetafile);
    w.End();
}

void CgmColourIfChanged(CgmWriter& w, CgmElementCode code, int& cache, const CgmRgb& c)
{
    if (c.Packed() == cache)
        return;
    YYCgmColour(w, code, c);
    cache = c.Packed();
}

void CgmIntIfChanged(CgmWriter& w, CgmElementCode code, int& cache, int value)
{
    if (value == cache)
        return;
    CgmIntElement(w, code, {value});
    cache = value;
}

namespace {

void PolylineRun(CgmWriter& w, std::span<const int> x, std::span<const int> y, std::size_t first, std::size_t last)
{
    w.Begin(CgmElement::kPolyline);
    for (std::size_t i = first; i <= last; ++i)
        w.Point(x[i], y[i]);
    w.End(4);
}

} // namespace

void CgmPolylines(CgmWriter& w, std::span<const int> x, std::span<const int> y)
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2)
        return;
    const std::size_t run = kCgmPolylineRunPoints;
    if (n <= run) {
        PolylineRun(w, x, y, 0, n - 1);
        return;
    }
    for (std::size_t i = 0; i + 1 < n; i += run - 1)
        PolylineRun(w, x, y, i, std::min(n - 1, i + run - 1));
}

bool CgmPolygon(CgmWriter& w, std::span<const double> xs, std::span<const double> ys)
{
    const std::size_t n = std::min(xs.size(), ys.size());
    std::vector<double> x(xs.begin(), xs.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<double> y(ys.begin(), ys.begin() + static_cast<std::ptrdiff_t>(n));
    bool outside = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::isnan(x[i]))
            x[i] = 0.0;
        if (std::isnan(y[i]))
            y[i] = 0.0;
        outside = outside || std::fabs(x[i]) > kCgmVdcLimit || std::fabs(y[i]) > kCgmVdcLimit;
    }
    if (outside)
        PolygonClipToBox(x, y, -kCgmVdcLimit, -kCgmVdcLimit, kCgmVdcLimit, kCgmVdcLimit);
    std::vector<int> ix(x.size()), iy(y.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        ix[i] = CgmVdc(x[i]);
        iy[i] = CgmVdc(y[i]);
    }
    return CgmPolygonInt(w, ix, iy);
}

bool CgmPolygonInt(CgmWriter& w, std::span<const int> xs, std::span<const int> ys)
{
    std::size_t n = std::min(xs.size(), ys.size());
    std::vector<int> x, y;
    if (n > static_cast<std::size_t>(kCgmPolylineRunPoints)) {
        // Repeated points add nothing to the outline.
        x.reserve(n);
        y.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            if (x.empty() || xs[i] != x.back() || ys[i] != y.back()) {
                x.push_back(xs[i]);
                y.push_back(ys[i]);
            }
        xs = x;
        ys = y;
        n = x.size();
    }
    if (n < 3)
        return false;
    w.Begin(CgmElement::kPolygon);
    for (std::size_t i = 0; i < n; ++i)
        w.Point(xs[i], ys[i]);
    w.End(4);
    return true;
}

void CgmRectangle(CgmWriter& w, int x1, int y1, int x2, int y2)
{
    w.Begin(CgmElement::kRectangle);
    w.Point(x1, y1);
    w.Point(x2, y2);
    w.End();
}

void CgmEllipse(CgmWriter& w, CgmAttributeCache& cache, const CgmEllipseRequest& e)
{
    if (e.outline) {
        CgmIntElement(w, CgmElement::kEdgeVisibility, {1});
        CgmColourIfChanged(w, CgmElement::kEdgeColour, cache.edgeColour, e.edge);
        CgmIntIfChanged(w, CgmElement::kEdgeType, cache.edgeType, e.edgeType);
        if (e.edgeWidth >= 0)
            CgmIntIfChanged(w, CgmElement::kEdgeWidth, cache.edgeWidth, e.edgeWidth);
    }
    CgmIntElement(w, CgmElement::kInteriorStyle, {e.outline ? 4 : 1});
    w.Begin(CgmElement::kEllipse);
    w.Point(e.cx, e.cy);
    w.Point(e.px, e.py);
    w.Point(e.qx, e.qy);
    w.End();
    if (e.outline)
        CgmIntElement(w, CgmElement::kEdgeVisibility, {0});
}

void CgmText(CgmWriter& w, CgmAttributeCache& cache, const CgmTextRequest& t)
{
    if (t.boxed) {
        CgmIntElement(w, CgmElement::kTransparency, {0});
        CgmColourIfChanged(w, CgmElement::kAuxiliaryColour, cache.auxColour, t.background);
    }
    CgmColourIfChanged(w, CgmElement::kTextColour, cache.textColour, t.colour);
    if (t.alignment != cache.alignment) {
        w.Begin(CgmElement::kTextAlignment);
        w.Int(t.alignment);
        w.Int(5);
        w.RealZero();
        w.RealZero();
        w.End();
        cache.alignment = t.alignment;
    }
    if (t.single) {
        w.Begin(CgmElement::kText);
        w.Point(t.x, t.y);
        w.Int(1);
        w.String(t.text);
        w.End();
    } else {
        w.Begin(CgmElement::kRestrictedText);
        w.Int(CgmVdc(t.width));
        w.Int(CgmVdc(1.25 * std::max(1, cache.charHeight)));
        w.Point(t.x, t.y);
        w.Int(1);
        w.String(t.text);
        w.End();
    }
    if (t.boxed)
        CgmIntElement(w, CgmElement::kTransparency, {1});
}

CgmOrientation CgmOrientationOf(double g, double c, double s1, double s2)
{
    const double f = 1.2 * g;
    return {{CgmVdc(-s2 * f), CgmVdc(c * f), CgmVdc(c * g), CgmVdc(s1 * g)}};
}

void CgmCharacterOrientation(CgmWriter& w, const CgmOrientation& o)
{
    w.Begin(CgmElement::kCharacterOrientation);
    w.Point(o.v[0], o.v[1]);
    w.Point(o.v[2], o.v[3]);
    w.End();
}

std::int64_t CgmCellSource(int r, int c, int nx, int ny, int rotation)
{
    const std::int64_t R = r, C = c, X = nx, Y = ny;
    switch (rotation) {
    case 90: return (C - 1) * Y + (Y - R);
    case 180: return (Y - R) * X + (X - C);
    case 270: return (X - C) * Y + R - 1;
    default: return (R - 1) * X + C - 1;
    }
}

bool CgmCellArray(CgmWriter& w, const std::array<int, 6>& pqr, std::span<const int> pixels, int nx, int ny,
                  int rotation, int swap)
{
    constexpr int kRunBytes = 5;
    w.Begin(CgmElement::kCellArray);
    w.Point(pqr[0], pqr[1]);
    w.Point(pqr[2], pqr[3]);
    w.Point(pqr[4], pqr[5]);
    w.Int(nx);
    w.Int(ny);
    w.Int(8);
    w.Int(0);
    w.Stream(ny < 1);
    const std::int64_t size = static_cast<std::int64_t>(pixels.size());
    auto cell = [&](int r, int c) {
        const std::int64_t i = CgmCellSource(r, c, nx, ny, rotation);
        return YYCgmColourSwap(CgmRgb::Of(i >= 0 && i < size ? pixels[static_cast<std::size_t>(i)] : 0), swap);
    };
    for (int r = 1; r <= ny && !w.Failed(); ++r) {
        CgmRgb run = cell(r, 1);
        int count = 0;
        int runs = 0;
        for (int c = 1; c <= nx; ++c) {
            const CgmRgb next = cell(r, c);
            if (count == 0 || (next.Packed() == run.Packed() && count < 32767)) {
                run = next;
                ++count;
                continue;
            }
            w.Int(count);
            w.Colour(run);
            ++runs;
            run = next;
            count = 1;
        }
        if (count > 0) {
            w.Int(count);
            w.Colour(run);
            ++runs;
        }
        if (runs * kRunBytes % 2 != 0)
            w.Byte(0); // rows start on a word boundary
        w.Stream(r == ny, 2 * kRunBytes);
    }
    return w.End(2 * kRunBytes);
}

void CgmShadedPolygon(CgmWriter& w, std::span<const int> x, std::span<const int> y, int swap)
{
    ShadedPolygonBuffer& s = gShadedPolygonBuffer;
    const int count = gDevicePointArrays.shadedCount;
    if (count > kShadedPolygonCapacity) {
        s.count = count; // refused there with its error
    } else {
        const int n = std::clamp<int>(count, 0, static_cast<int>(std::min(x.size(), y.size())));
        std::copy_n(x.begin(), n, s.x.begin());
        std::copy_n(y.begin(), n, s.y.begin());
        s.count = n;
    }
    gShadedWriter = &w;
    gShadedSwap = swap;
    YYShadedPolygon(2, 0, 0, 0, 0, nullptr, YYCgmShadedTriangle);
    gShadedWriter = nullptr;
}

void YYCgmShadedTriangle(const int* x, const int* y, const int* colours, const int* triangles, int n, int m,
                         int& status)
{
    CgmWriter* w = gShadedWriter;
    if (!w || !x || !y || !colours || !triangles) {
        status = 1;
        return;
    }
    for (int t = 0; t < m; ++t) {
        int v[3];
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
            v[k] = triangles[3 * t + k] - 1;
            valid = valid && v[k] >= 0 && v[k] < n;
        }
        if (!valid)
            continue;
        const int a = v[0], b = v[1], c = v[2];
        auto colour = [&](int i) { return YYCgmColourSwap(CgmRgb::Of(colours[i]), gShadedSwap); };
        auto diff = [](int p, int q) { return static_cast<int>(std::clamp<std::int64_t>(std::int64_t(p) - q, -kCgmVdcLimit, kCgmVdcLimit)); };
        w->Begin(CgmElement::kFillReferencePoint);
        w->Point(x[a], y[a]);
        w->End();
        w->Begin(CgmElement::kInterpolatedInterior);
        w->Int(3);
        w->Point(diff(x[b], x[a]), diff(y[b], y[a]));
        w->Point(diff(x[c], x[a]), diff(y[c], y[a]));
        w->Int(0);
        w->Colour(colour(a));
        w->Colour(colour(b));
        w->Colour(colour(c));
        w->Byte(0);
        w->End();
        CgmIntElement(*w, CgmElement::kInteriorStyle, {6});
        w->Begin(CgmElement::kPolygon);
        w->Point(x[a], y[a]);
        w->Point(x[b], y[b]);
        w->Point(x[c], y[c]);
        w->End();
    }
    status = 0;
}

// ---- Device operations -------------------------------------------------------------------

namespace {

CgmRgb Split(int number, int rgb, int swap)
{
    // A colour without a number (set as RGB) is split as its packed value.
    const bool numbered = gGraphicsState.colourModel != kColourModelRgb && number >= 0 && number <= 255;
    CgmRgb c;
    YYColourSplit(numbered ? number : rgb, c.r, c.g, c.b);
    return YYCgmColourSwap(c, swap);
}

// Points 0..COUNT-1 of the device point arrays, at most as many as they hold.
std::size_t DeviceCount(int count)
{
    const DevicePointArrays& p = gDevicePointArrays;
    return static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, std::min(p.x.size(), p.y.size())));
}

} // namespace

CgmRgb CgmCurrentColour(int swap)
{
    const GraphicsState& g = gGraphicsState;
    return Split(g.currentNumber, g.currentRgb, swap);
}

CgmRgb CgmPreviousColour(int swap)
{
    const GraphicsState& g = gGraphicsState;
    return Split(g.previousNumber, g.previousRgb, swap);
}

CgmRgb CgmFillColour(const CgmRgb& current, int swap)
{
    if (gGraphicsState.fillMode != kFillHalftone)
        return current;
    const CgmRgb p = CgmPreviousColour(swap);
    return {(p.r + current.r) / 2, (p.g + current.g) / 2, (p.b + current.b) / 2};
}

void CgmDevicePolyline(CgmWriter& w, const CgmScale& s, int count)
{
    const DevicePointArrays& p = gDevicePointArrays;
    const std::size_t n = DeviceCount(count);
    std::vector<int> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = s.X(p.x[i]);
        y[i] = s.Y(p.y[i]);
    }
    CgmPolylines(w, x, y);
}

void CgmDevicePolygon(CgmWriter& w, const CgmScale& s, int count)
{
    const DevicePointArrays& p = gDevicePointArrays;
    const std::size_t n = DeviceCount(count);
    std::vector<double> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = static_cast<double>(p.x[i]) * s.x;
        y[i] = static_cast<double>(p.y[i]) * s.y;
    }
    CgmPolygon(w, x, y);
}

void CgmDeviceSector(CgmWriter& w, const CgmScale& s, double ry)
{
    // At most 2m + 1 arc points for m below 1000, and never more than 2000
    // points in all, whatever the angles.
    constexpr int kMaxPoints = 2000;
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    const double cx = b.X[0], cy = b.Y[0], rx = b.X[1];
    const std::int64_t width = std::max(gGraphicsState.targetWidth, 1);
    const std::int64_t m = std::min<std::int64_t>(std::int64_t(TruncateToInt(rx)) * 75 / width + 25, 999);
    const float step = static_cast<float>(3.14159265358979 / static_cast<double>(std::max<std::int64_t>(m, 1)));
    std::vector<double> x{cx * s.x}, y{cy * s.y};
    auto arc = [&](double a) {
        x.push_back((cx + rx * std::cos(a)) * s.x);
        y.push_back((cy + ry * std::sin(a)) * s.y);
    };
    const float end = b.Y[2];
    if (std::isfinite(b.X[2]) && std::isfinite(end))
        for (float a = b.X[2]; a <= end && static_cast<int>(x.size()) < kMaxPoints - 1; a += step)
            arc(a);
    arc(std::isfinite(end) ? end : 0.0);
    CgmPolygon(w, x, y);
}

void CgmDeviceText(CgmWriter& w, CgmAttributeCache& cache, const CgmScale& s, double widthScale,
                   const CgmRgb& colour, const CgmRgb& background)
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    const TextState& t = gTextState;
    const int n = std::clamp<int>(b.IX[0], 0, kDeviceTextLength);
    CgmTextRequest r;
    r.text = std::string_view(gDeviceTextBuffer.text.data(), static_cast<std::size_t>(n));
    r.single = t.spacing == TextSpacing::kWidthTable;
    r.boxed = (t.style & TextStyleBits::kBox) && !r.single && t.stacking == 0;
    r.colour = colour;
    r.background = background;
    r.alignment = r.single ? 1 : std::clamp(t.justification, 0, 2) + 1;
    const double x1 = b.X[0], y1 = b.Y[0], x3 = b.X[2], y3 = b.Y[2];
    double x = x1 + 0.38 * t.upX, y = y1 - 0.38 * t.upY;
    if (!r.single) {
        const double xe = x3 + (x - x1), ye = y3 + (y - y1);
        if (r.alignment == 2) {
            x = (x + xe) / 2.0;
            y = (y + ye) / 2.0;
        } else if (r.alignment == 3) {
            x = xe;
            y = ye;
        }
        r.width = CgmVdc(std::hypot(x3 - x1, y3 - y1) * widthScale);
    }
    r.x = s.X(x);
    r.y = s.Y(y);
    CgmText(w, cache, r);
}

bool CgmDeviceImage(CgmWriter& w, const std::array<int, 6>& pqr, int swap)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    ErrorState& e = gErrorState;
    const std::string_view name(gDeviceTextBuffer.text.data(), kDeviceTextLength);
    const int width = b.IX[1], height = b.IY[1];
    const int savedCode = e.lastCode, savedLevel = e.level;
    const int savedOs = e.osError, savedOsKind = e.osErrorKind;
    // N reports the system code of this read only, not one left by an
    // earlier failure.
    e.lastCode = kErrorNone;
    e.osError = 0;
    e.osErrorKind = 0;
    e.level = kReportNone;
    // The picture must be the size the operation names, and each side must
    // fit a 16-bit cell count.
    std::vector<int> pixels;
    int osError = 0, status = 0;
    int rc = ImageFileDecodeSized(name, width, height, pixels, osError, status);
    if (rc == kErrorNone && (width > kCgmVdcLimit || height > kCgmVdcLimit))
        rc = kErrorImageFormat;
    ImageLoadErrorReport(rc, osError, status, "IGrLoadImageData");
    const int code = e.lastCode;
    e.level = savedLevel;
    if (code != kErrorNone) {
        b.M = code;
        b.N = e.osError;
        return true;
    }
    e.lastCode = savedCode;
    e.osError = savedOs;
    e.osErrorKind = savedOsKind;
    b.M = 0;
    const int rotation = gGraphicsState.pageRotation;
    const bool turned = rotation == 90 || rotation == 270;
    return CgmCellArray(w, pqr, pixels, turned ? height : width, turned ? width : height, rotation, swap);
}

void CgmDeviceShaded(CgmWriter& w, const CgmScale& s, int swap)
{
    const DevicePointArrays& p = gDevicePointArrays;
    const std::size_t n = std::min(DeviceCount(p.shadedCount), static_cast<std::size_t>(kShadedPolygonCapacity));
    std::vector<int> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = s.X(p.x[i]);
        y[i] = s.Y(p.y[i]);
    }
    CgmShadedPolygon(w, x, y, swap);
}

void CgmVdcExtent(std::int64_t width, std::int64_t height, int& vx, int& vy)
{
    std::int64_t x = std::max<std::int64_t>(width, 0) * 600 / 72;
    std::int64_t y = std::max<std::int64_t>(height, 0) * 600 / 72;
    const std::int64_t larger = std::max(x, y);
    if (larger > kCgmVdcLimit) {
        // Both below 2^31 x 600 / 72 here: the products stay inside 64 bits.
        x = x * kCgmVdcLimit / larger;
        y = y * kCgmVdcLimit / larger;
    }
    vx = static_cast<int>(std::max<std::int64_t>(x, 1));
    vy = static_cast<int>(std::max<std::int64_t>(y, 1));
}

// Spacing, colours and software hatching of the filled primitives, and the
// rectangle and area outlines.
#include "graphics/hatch_fill.h"

#include <algorithm>
#include <vector>

#include "graphics/clipping.h"
#include "graphics/colours.h"
#include "graphics/coordinates.h"
#include "graphics/lines.h"

namespace {

// The colour pair saved by YYFillColourRound between its calls.
struct SavedColours {
    int previousNumber = 0, previousRgb = 0, previousDevice = 0;
    int currentNumber = 0, currentRgb = 0, currentDevice = 0;
} gSavedColours;

int64_t PowerOfTwo(int64_t e) { return (e >= 0 && e <= 31) ? (int64_t{1} << e) : 0; }

// trunc(max(S, 1.0)), 0 for a NaN.
int TruncAtLeastOne(float s)
{
    if (std::isnan(s))
        return 0;
    return YYDeviceTrunc(s < 1.0f ? 1.0f : s);
}

// One set of hatch lines in direction D (1 rising, 2 falling, 3 horizontal,
// 4 vertical) over the N-point polygon of DevicePointArrays.
class HatchSet {
public:
    HatchSet(int n, const HatchSpacing& s) : n_(n), s_(s)
    {
        const DevicePointArrays& p = gDevicePointArrays;
        px_.assign(p.x.begin(), p.x.begin() + n);
        py_.assign(p.y.begin(), p.y.begin() + n);
        cx_.resize(static_cast<size_t>(n));
        cy_.resize(static_cast<size_t>(n));
    }

    void Draw(int d, float xmin, float ymin, float xmax, float ymax);

private:
    void Line(int d, float x1, float y1, float x2, float y2);

    int n_;
    HatchSpacing s_;
    std::vector<float> px_, py_, cx_, cy_;
    bool reversed_ = false;
};

void HatchSet::Draw(int d, float xmin, float ymin, float xmax, float ymax)
{
    const auto& clip = gGraphicsState.clipBox;
    const int64_t ix = YYDeviceTrunc(xmin), iy = YYDeviceTrunc(ymin), iyh = YYDeviceTrunc(ymax);
    const int64_t h = iyh - iy;
    const int64_t isx = s_.isx, isy = s_.isy;
    reversed_ = false;
    switch (d) {
    case 1:
    case 2: {
        if (!HatchSpacingUsable(s_.sx, s_.isx) || !HatchSpacingUsable(s_.sy, s_.isy))
            return;
        const int64_t bx = (ix / isx) * isx;
        const int64_t by = d == 1 ? (iyh / isy) * isy : (iy / isy) * isy;
        const int64_t k = h / isy + (d == 1 ? 1 : 2);
        const double ex = static_cast<double>(isx) * k, ey = static_cast<double>(isy) * k;
        const float x1 = SaturateToFloat(bx - ex), x2 = SaturateToFloat(bx + ex);
        const float y1 = SaturateToFloat(d == 1 ? by - ey : by + ey);
        const float y2 = SaturateToFloat(d == 1 ? by + ey : by - ey);
        // The lines move sideways; those whose part in the area's height
        // lies wholly left or right of the area are invisible.
        const double r = static_cast<double>(isx) / static_cast<double>(isy);
        double lo, hi;
        if (d == 1) {
            lo = clip[0] - (clip[3] - static_cast<double>(y1)) * r;
            hi = clip[2] - (clip[1] - static_cast<double>(y1)) * r;
        } else {
            lo = clip[0] - (static_cast<double>(y1) - clip[1]) * r;
            hi = clip[2] - (static_cast<double>(y1) - clip[3]) * r;
        }
        const double shift = static_cast<double>(x2) - x1;
        HatchLineRun(x1, s_.sx, xmax, false, lo, hi, [&](float v) {
            Line(d, v, y1, SaturateToFloat(v + shift), y2);
        });
        break;
    }
    case 3: {
        if (!HatchSpacingUsable(s_.sy, s_.isy))
            return;
        const float g = static_cast<float>((iy / isy) * isy);
        HatchLineRun(g, s_.sy, ymax, false, clip[1], clip[3],
                     [&](float v) { Line(d, xmin, v, xmax, v); });
        break;
    }
    case 4: {
        if (!HatchSpacingUsable(s_.sx, s_.isx))
            return;
        const float g = static_cast<float>(FloorMultiple(ix, isx));
        HatchLineRun(g, s_.sx, xmax, false, clip[0], clip[2],
                     [&](float v) { Line(d, v, ymin, v, ymax); });
        break;
    }
    default:
        break;
    }
}

// The crossings of one hatch line with the polygon's edges, drawn pairwise.
void HatchSet::Line(int d, float x1, float y1, float x2, float y2)
{
    int count = 0;
    for (int i = 0; i < n_; ++i) {
        const int j = i + 1 < n_ ? i + 1 : 0;
        float x = 0.0f, y = 0.0f;
        int status = 0;
        YYSegmentIntersect(x1, y1, x2, y2, px_[static_cast<size_t>(i)], py_[static_cast<size_t>(i)],
                           px_[static_cast<size_t>(j)], py_[static_cast<size_t>(j)], x, y, status);
        if (status != 5)
            continue;
        if (d == 3)
            y = y1;
        else if (d == 4)
            x = x1;
        cx_[static_cast<size_t>(count)] = x;
        cy_[static_cast<size_t>(count)] = y;
        ++count;
    }
    if (count < 2)
        return;
    if (d == 4)
        YYCrossingSort(cy_.data(), cx_.data(), 0, count - 1);
    else
        YYCrossingSort(cx_.data(), cy_.data(), 0, count - 1);
    const int c = count & ~1;
    if (!reversed_) {
        for (int k = 0; k < c; k += 2)
            YYDeviceLine(cx_[static_cast<size_t>(k)], cy_[static_cast<size_t>(k)],
                         cx_[static_cast<size_t>(k + 1)], cy_[static_cast<size_t>(k + 1)]);
    } else {
        for (int k = c - 1; k > 0; k -= 2)
            YYDeviceLine(cx_[static_cast<size_t>(k)], cy_[static_cast<size_t>(k)],
                         cx_[static_cast<size_t>(k - 1)], cy_[static_cast<size_t>(k - 1)]);
    }
    if (s_.alternate)
        reversed_ = !reversed_;
}

} // namespace

void YYHatchSpacing(int pass, int density, HatchSpacing& s)
{
    const GraphicsState& g = gGraphicsState;
    s.inset = (g.plotMode != 0 && pass == 1) ? 1.0f : 0.0f;
    s.alternate = pass == 2 && g.fillMode < 3;
    const int64_t d = density;
    const int64_t d1 = 10 * PowerOfTwo(d - 1) + 20;
    const int64_t d2 = 10 * PowerOfTwo(d) + 10;
    const bool hatch = g.fillMode < 3;
    if (pass == 1) {
        if (hatch) {
            s.isy = static_cast<int>(std::max<int64_t>(2, g.targetHeight / d1));
            s.isx = static_cast<int>(std::max<int64_t>(2, g.targetWidth / d2));
            s.sy = static_cast<float>(s.isy);
            s.sx = static_cast<float>(s.isx);
        } else {
            s.isy = (g.fillMode == 3 && g.LineFillRequest[kScreenSide] == 2) ? 2 : 1;
            s.sy = static_cast<float>(s.isy);
        }
    } else if (pass == 2) {
        if (hatch) {
            s.sy = g.orientedLimit[1] / static_cast<float>(d1);
            s.sx = g.orientedLimit[0] / static_cast<float>(d2);
            s.isy = TruncAtLeastOne(s.sy);
            s.isx = TruncAtLeastOne(s.sx);
        } else {
            s.sy = g.LineFillSpacing[kHardcopySide];
            s.isy = TruncAtLeastOne(s.sy);
        }
    }
}

void YYFillModeMerge(int code, int& op)
{
    const GraphicsState& g = gGraphicsState;
    if (g.fillMode != kFillHalftone)
        return;
    bool same;
    if (g.displayColours > 2)
        same = g.previousDevice == g.currentDevice;
    else if (g.colourModel == kColourModelRgb)
        same = g.previousRgb == g.currentRgb;
    else
        same = g.previousNumber == g.currentNumber;
    if (same)
        op = code;
}

void YYFillColourRound(int pass, int& set)
{
    GraphicsState& g = gGraphicsState;
    if (pass != 1 && pass != 2)
        return;
    if (g.LineFillRequest[static_cast<size_t>(pass - 1)] != 2 || g.fillMode != kFillHalftone)
        return;
    SavedColours& s = gSavedColours;
    if (set == 1) {
        const int colours = pass == 1 ? g.displayColours : g.hardcopyColours;
        if (colours == 1)
            return;
        s = SavedColours{g.previousNumber, g.previousRgb, g.previousDevice,
                         g.currentNumber,  g.currentRgb,  g.currentDevice};
        if (colours == 2 && g.currentNumber != 0)
            YYColourSetDirect(0, 0, 0, pass);
        else
            YYColourSetDirect(s.previousNumber, s.previousRgb, s.previousDevice, pass);
        set = 2;
    } else {
        g.currentNumber = s.previousNumber;
        g.currentRgb = s.previousRgb;
        g.currentDevice = s.previousDevice;
        YYColourSetDirect(s.currentNumber, s.currentRgb, s.currentDevice, pass);
        set = set + 1;
    }
}

void YYHatchFill(int pass, float xmin, float ymin, float xmax, float ymax, int n)
{
    const GraphicsState& g = gGraphicsState;
    if (g.fillMode <= 0)
        return;
    n = std::min<int>(n, static_cast<int>(gDevicePointArrays.x.size()));
    if (n < 2 || std::isnan(xmin) || std::isnan(ymin) || std::isnan(xmax) || std::isnan(ymax))
        return;
    HatchSpacing s;
    YYHatchSpacing(pass, g.hatchDensity, s);
    HatchSet set(n, s);
    const int d = g.hatchDirection;
    set.Draw(d, xmin, ymin, xmax, ymax);
    if (g.fillMode == kFillCrossHatch)
        set.Draw(d % 2 == 1 ? d + 1 : d - 1, xmin, ymin, xmax, ymax);
}

void YYPolygonOutline(int n, bool closed)
{
    if (gGraphicsState.outline == 0)
        return;
    const DevicePointArrays& p = gDevicePointArrays;
    n = std::min<int>(n, static_cast<int>(p.x.size()));
    if (n < 1)
        return;
    // Copies: the arrays stay as they are, but the lines go through the block.
    const std::vector<float> x(p.x.begin(), p.x.begin() + n), y(p.y.begin(), p.y.begin() + n);
    for (int i = 0; i + 1 < n; ++i)
        YYDeviceLine(x[static_cast<size_t>(i)], y[static_cast<size_t>(i)], x[static_cast<size_t>(i + 1)],
                     y[static_cast<size_t>(i + 1)]);
    if (closed)
        YYDeviceLine(x[static_cast<size_t>(n - 1)], y[static_cast<size_t>(n - 1)], x[0], y[0]);
}

void YYRectOutline(float x1, float y1, float x2, float y2)
{
    GraphicsState& g = gGraphicsState;
    const int screen = g.screenOutput, hardcopy = g.hardcopyOpen;
    auto sides = [&](float ex, float ey) {
        YYDeviceLine(x1 + ex, y1, x2, y1);
        YYDeviceLine(x2, y1 + ey, x2, y2);
        YYDeviceLine(x2 - ex, y2, x1, y2);
        YYDeviceLine(x1, y2 - ey, x1, y1);
    };
    if (screen != 0) {
        g.hardcopyOpen = 0;
        float ex = 0.0f, ey = 0.0f;
        if (g.plotMode != 0) {
            ex = x2 >= x1 ? 1.0f : -1.0f;
            ey = y2 >= y1 ? 1.0f : -1.0f;
        }
        sides(ex, ey);
        g.hardcopyOpen = hardcopy;
    }
    if (hardcopy != 0) {
        g.screenOutput = 0;
        g.hardcopyOpen = 1;
        sides(0.0f, 0.0f);
    }
    g.screenOutput = screen;
    g.hardcopyOpen = hardcopy;
}

void YYAreaOutline()
{
    const auto& a = gGraphicsState.deviceArea;
    YYRectOutline(a[0], a[1], a[2], a[3]);
}

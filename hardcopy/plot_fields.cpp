// Plot-file numbers kept inside their fields.
#include "hardcopy/plot_fields.h"

#include <algorithm>
#include <cmath>

#include "core/fixed_fields.h"

FieldRange FieldRangeOf(int width, int decimals)
{
    // Without the minus the field has room for one digit more.
    return {-FixedFieldLimit(width, decimals), FixedFieldLimit(width + 1, decimals)};
}

double FieldClamp(double value, int width, int decimals)
{
    if (std::isnan(value))
        return 0.0;
    const FieldRange r = FieldRangeOf(width, decimals);
    return std::clamp(value, r.low, r.high);
}

namespace {

struct Pt {
    double x, y;
};

// One Sutherland-Hodgman pass: keeps the part of IN where INSIDE holds,
// adding the crossing points of the edges that cross the line.
template <class Inside, class Cross>
std::vector<Pt> ClipPass(const std::vector<Pt>& in, Inside inside, Cross cross)
{
    std::vector<Pt> out;
    const size_t n = in.size();
    out.reserve(n + 4);
    for (size_t i = 0; i < n; ++i) {
        const Pt& a = in[(i + n - 1) % n];
        const Pt& b = in[i];
        const bool ia = inside(a), ib = inside(b);
        if (ib) {
            if (!ia)
                out.push_back(cross(a, b));
            out.push_back(b);
        } else if (ia) {
            out.push_back(cross(a, b));
        }
    }
    return out;
}

// The point of segment A-B where coordinate (x when ALONGX) equals V; A and
// B lie on opposite sides of V, so the denominator is not zero.
Pt CrossAt(const Pt& a, const Pt& b, double v, bool alongX)
{
    if (alongX) {
        const double t = (v - a.x) / (b.x - a.x);
        return {v, a.y + t * (b.y - a.y)};
    }
    const double t = (v - a.y) / (b.y - a.y);
    return {a.x + t * (b.x - a.x), v};
}

} // namespace

void PolygonClipToBox(std::vector<double>& x, std::vector<double>& y, double xlo, double ylo, double xhi,
                      double yhi)
{
    const size_t n = std::min(x.size(), y.size());
    bool inside = true;
    std::vector<Pt> poly(n);
    for (size_t i = 0; i < n; ++i) {
        // A coordinate that is no number cannot be clipped: it goes to the box.
        // Finite ones are first brought within +-1e30, so that the differences
        // the crossings divide by stay finite (far beyond the box either way).
        constexpr double kFar = 1.0e30;
        const double px = std::isfinite(x[i]) ? std::clamp(x[i], -kFar, kFar)
                                              : std::clamp(std::isnan(x[i]) ? 0.0 : x[i], xlo, xhi);
        const double py = std::isfinite(y[i]) ? std::clamp(y[i], -kFar, kFar)
                                              : std::clamp(std::isnan(y[i]) ? 0.0 : y[i], ylo, yhi);
        poly[i] = {px, py};
        inside = inside && px >= xlo && px <= xhi && py >= ylo && py <= yhi;
    }
    if (inside) {
        x.resize(n);
        y.resize(n);
        for (size_t i = 0; i < n; ++i) {
            x[i] = poly[i].x;
            y[i] = poly[i].y;
        }
        return;
    }
    poly = ClipPass(poly, [&](const Pt& p) { return p.x >= xlo; }, [&](const Pt& a, const Pt& b) { return CrossAt(a, b, xlo, true); });
    poly = ClipPass(poly, [&](const Pt& p) { return p.x <= xhi; }, [&](const Pt& a, const Pt& b) { return CrossAt(a, b, xhi, true); });
    poly = ClipPass(poly, [&](const Pt& p) { return p.y >= ylo; }, [&](const Pt& a, const Pt& b) { return CrossAt(a, b, ylo, false); });
    poly = ClipPass(poly, [&](const Pt& p) { return p.y <= yhi; }, [&](const Pt& a, const Pt& b) { return CrossAt(a, b, yhi, false); });
    x.resize(poly.size());
    y.resize(poly.size());
    for (size_t i = 0; i < poly.size(); ++i) {
        // Rounding in the crossing may step a hair outside the box.
        x[i] = std::clamp(poly[i].x, xlo, xhi);
        y[i] = std::clamp(poly[i].y, ylo, yhi);
    }
}

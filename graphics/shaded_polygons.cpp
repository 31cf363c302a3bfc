// Gouraud-shaded polygons: vertex merging, decomposition, and the per-pixel
// fallback.
#include "graphics/shaded_polygons.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/error_codes.h"
#include "core/errors.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/polygon_decompose.h"

ShadedPolygonBuffer gShadedPolygonBuffer;

namespace {


ShadedPolygonBuffer& Buf() { return gShadedPolygonBuffer; }

bool SameVertex(int i, int j) { return Buf().x[static_cast<size_t>(i)] == Buf().x[static_cast<size_t>(j)] &&
                                       Buf().y[static_cast<size_t>(i)] == Buf().y[static_cast<size_t>(j)]; }

struct Channels {
    int r = 0, g = 0, b = 0;
    void Add(int rgb)
    {
        int cr, cg, cb;
        YYRgbSplit(rgb, &cr, &cg, &cb);
        r += cr;
        g += cg;
        b += cb;
    }
    int Average(int k) const { return r / k + 256 * (g / k) + 65536 * (b / k); }
};

// Removes vertex K (0-based) from the buffer and from the device points.
void RemoveVertex(int k, int n)
{
    ShadedPolygonBuffer& B = Buf();
    for (int i = k; i + 1 < n; ++i) {
        const size_t a = static_cast<size_t>(i), b = static_cast<size_t>(i + 1);
        B.x[a] = B.x[b];
        B.y[a] = B.y[b];
        B.colour[a] = B.colour[b];
    }
    DevicePointArrays& p = gDevicePointArrays;
    for (int i = k; i + 1 < n && static_cast<size_t>(i + 1) < p.x.size(); ++i) {
        p.x[static_cast<size_t>(i)] = p.x[static_cast<size_t>(i + 1)];
        p.y[static_cast<size_t>(i)] = p.y[static_cast<size_t>(i + 1)];
    }
}

double Channel(int rgb, int which)
{
    int c[3];
    YYRgbSplit(rgb, &c[0], &c[1], &c[2]);
    return c[which] / 255.0;
}

int Level(double c) { return static_cast<int>(std::trunc(std::clamp(c, 0.0, 1.0) * 255.99)); }

} // namespace

void YYShadedPolygon(int mode, int xmin, int ymin, int xmax, int ymax, ShadedPixelCallback pixel,
                     ShadedTriangleCallback triangle)
{
    ShadedPolygonBuffer& B = Buf();
    int n = B.count;
    if (n > kShadedPolygonCapacity) {
        YYErrorReport(kErrorFillTooComplex, "YYShadedPolygon");
        return;
    }
    if (n < 3)
        return;

    // Runs of equal consecutive vertices become one vertex of their average
    // colour; a triangle that would lose a vertex is not drawn.
    for (int i = 0; i < n - 1; ++i) {
        Channels sum;
        sum.Add(B.colour[static_cast<size_t>(i)]);
        int k = 1;
        while (i + 1 < n && SameVertex(i, i + 1)) {
            if (n == 3)
                return;
            sum.Add(B.colour[static_cast<size_t>(i + 1)]);
            RemoveVertex(i + 1, n);
            --n;
            ++k;
        }
        if (k > 1)
            B.colour[static_cast<size_t>(i)] = sum.Average(k);
    }
    if (SameVertex(n - 1, 0)) {
        if (n == 3)
            return;
        Channels sum;
        sum.Add(B.colour[0]);
        sum.Add(B.colour[static_cast<size_t>(n - 1)]);
        B.colour[0] = sum.Average(2);
        --n;
    }
    B.count = n;

    if (n == 3) {
        B.triangles[0] = 1;
        B.triangles[1] = 2;
        B.triangles[2] = 3;
        B.triangleCount = 1;
        if (mode == 2 && triangle) {
            int status = 0;
            triangle(B.x.data(), B.y.data(), B.colour.data(), B.triangles.data(), n, 1, status);
            if (status == 0)
                return;
        }
        YYShadedTriangleFill(B.triangles.data(), xmin, ymin, xmax, ymax, pixel);
        return;
    }

    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(n);
    YYPolygonDecompose(p.x.data(), p.y.data(), n, B.triangles.data(), B.triangleCount);
    if (B.triangleCount <= 0)
        return;
    if (mode == 2 && triangle) {
        int status = 0;
        triangle(B.x.data(), B.y.data(), B.colour.data(), B.triangles.data(), n, B.triangleCount, status);
        if (status == 0)
            return;
    }
    for (int t = 0; t < B.triangleCount; ++t)
        YYShadedTriangleFill(B.triangles.data() + 3 * t, xmin, ymin, xmax, ymax, pixel);
}

void YYShadedTriangleFill(const int* t, int xmin, int ymin, int xmax, int ymax, ShadedPixelCallback pixel)
{
    if (!pixel || !t)
        return;
    const ShadedPolygonBuffer& B = Buf();
    int v[3];
    for (int k = 0; k < 3; ++k) {
        if (t[k] < 1 || t[k] > kShadedPolygonCapacity)
            return;
        v[k] = t[k] - 1;
    }
    int64_t X[3], Y[3];
    double C[3][3];
    for (int k = 0; k < 3; ++k) {
        X[k] = B.x[static_cast<size_t>(v[k])];
        Y[k] = B.y[static_cast<size_t>(v[k])];
        for (int c = 0; c < 3; ++c)
            C[k][c] = Channel(B.colour[static_cast<size_t>(v[k])], c);
    }
    const int64_t rowFirst = std::max<int64_t>(std::min({Y[0], Y[1], Y[2]}), ymin);
    const int64_t rowLast = std::min<int64_t>(std::max({Y[0], Y[1], Y[2]}), ymax);
    // The edges (t3, t1), (t1, t2), (t2, t3).
    static constexpr int kEdges[3][2] = {{2, 0}, {0, 1}, {1, 2}};
    for (int64_t y = rowFirst; y <= rowLast; ++y) {
        int64_t left = static_cast<int64_t>(xmax) + 1, right = static_cast<int64_t>(xmin) - 1;
        double lc[3] = {0, 0, 0}, rc[3] = {0, 0, 0};
        for (const auto& e : kEdges) {
            const int a = e[0], b = e[1];
            if (Y[a] == Y[b] || y < std::min(Y[a], Y[b]) || y > std::max(Y[a], Y[b]))
                continue;
            const double s = static_cast<double>(y - Y[a]) / static_cast<double>(Y[b] - Y[a]);
            const double fx = static_cast<double>(X[a]) * (1.0 - s) + static_cast<double>(X[b]) * s + 0.5;
            const int64_t x = static_cast<int64_t>(std::trunc(fx));
            double c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = C[a][k] * (1.0 - s) + C[b][k] * s;
            if (x < left) {
                left = x;
                std::copy(c, c + 3, lc);
            }
            if (x > right) {
                right = x;
                std::copy(c, c + 3, rc);
            }
        }
        if (left > xmax || right < xmin)
            continue;
        double inc[3] = {0, 0, 0};
        if (right > left)
            for (int k = 0; k < 3; ++k)
                inc[k] = (rc[k] - lc[k]) / static_cast<double>(right - left);
        const int64_t first = std::max<int64_t>(left, xmin), last = std::min<int64_t>(right, xmax);
        double c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = lc[k] + static_cast<double>(first - left) * inc[k];
        for (int64_t x = first; x <= last; ++x) {
            pixel(static_cast<int>(x), static_cast<int>(y), Level(c[0]) + 256 * Level(c[1]) + 65536 * Level(c[2]));
            for (int k = 0; k < 3; ++k)
                c[k] += inc[k];
        }
    }
}

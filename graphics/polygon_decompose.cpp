// Ear clipping of a simple polygon.
//
// One attempt walks the outline from a start vertex a: p is the last vertex
// kept, i the candidate ear tip and j the next vertex still present. The
// candidate (p, i, j) is clipped when it turns the same way as the outline at
// a and no other vertex lies in it; otherwise the walk moves on. Each vertex
// has a status word: 0 nothing known, -1 found not convex, k > 0 vertex k was
// found inside its candidate triangle, -2 removed (clipped, or a repeat of its
// predecessor). Attempts start at the first topmost vertex, then at each
// following vertex, and finally at the topmost vertex again.
#include "graphics/polygon_decompose.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"

namespace {

constexpr int kRemoved = -2;
constexpr int kNotConvex = -1;
constexpr double kEpsilon = 1.1920929e-7; // FLT_EPSILON

enum class Outcome { Complete, Failed, NothingToDo };

class Decomposer {
public:
    Decomposer(const float* x, const float* y, int n, int* tri)
        : x_(x), y_(y), n_(n), tri_(tri), status_(static_cast<size_t>(n), 0)
    {
    }

    Outcome Attempt(int a, int& triangles);

private:
    double X(int k) const { return x_[k]; }
    double Y(int k) const { return y_[k]; }
    bool Same(int k, int l) const { return x_[k] == x_[l] && y_[k] == y_[l]; }
    int Next(int k) const { return k + 1 < n_ ? k + 1 : 0; }
    int Prev(int k) const { return k > 0 ? k - 1 : n_ - 1; }
    int& Status(int k) { return status_[static_cast<size_t>(k)]; }
    double Cross(int p, int q, int r) const
    {
        return (X(q) - X(p)) * (Y(r) - Y(q)) - (Y(q) - Y(p)) * (X(r) - X(q));
    }
    bool Blocks(int k, int p, int i, int j) const;
    bool OnAxisEdge(int k, int u, int v) const;

    const float* x_;
    const float* y_;
    int n_;
    int* tri_;
    std::vector<int> status_;
};

// K lies exactly on the axis-parallel edge (u, v), ends included.
bool Decomposer::OnAxisEdge(int k, int u, int v) const
{
    if (x_[u] == x_[v] && x_[u] == x_[k])
        return std::fmin(y_[u], y_[v]) <= y_[k] && y_[k] <= std::fmax(y_[u], y_[v]);
    if (y_[u] == y_[v] && y_[u] == y_[k])
        return std::fmin(x_[u], x_[v]) <= x_[k] && x_[k] <= std::fmax(x_[u], x_[v]);
    return false;
}

// Whether vertex K keeps (p, i, j) from being clipped.
bool Decomposer::Blocks(int k, int p, int i, int j) const
{
    double xmin = std::fmin(X(p), std::fmin(X(i), X(j)));
    double xmax = std::fmax(X(p), std::fmax(X(i), X(j)));
    double ymin = std::fmin(Y(p), std::fmin(Y(i), Y(j)));
    double ymax = std::fmax(Y(p), std::fmax(Y(i), Y(j)));
    double xk = X(k), yk = Y(k);
    if (!(xmin - std::fabs(xmin) * kEpsilon < xk && xk < xmax + std::fabs(xmax) * kEpsilon &&
          ymin - std::fabs(ymin) * kEpsilon < yk && yk < ymax + std::fabs(ymax) * kEpsilon))
        return false;
    if (OnAxisEdge(k, p, i) || OnAxisEdge(k, i, j) || OnAxisEdge(k, j, p))
        return true;
    // Inside when, for every corner v, the line through v and k separates the
    // other two corners.
    const int corners[3] = {p, i, j};
    for (int c = 0; c < 3; ++c) {
        int v = corners[c], q1 = corners[(c + 1) % 3], q2 = corners[(c + 2) % 3];
        auto side = [&](int q) {
            return (Y(q) - Y(v)) * (xk - X(v)) - (X(q) - X(v)) * (yk - Y(v)) >= 0.0;
        };
        if (side(q1) == side(q2))
            return false;
    }
    return true;
}

Outcome Decomposer::Attempt(int a, int& triangles)
{
    const int n = n_;
    for (int& s : status_)
        s = 0;
    triangles = 0;

    // b: the next vertex that differs from a; c: the nearest one before a.
    int b = -1, k = a;
    for (int step = 0; step < n - 2; ++step) {
        k = Next(k);
        if (!Same(k, a)) {
            b = k;
            break;
        }
    }
    if (b < 0)
        return Outcome::NothingToDo;
    int c = -1;
    for (k = Prev(a); k != b; k = Prev(k)) {
        if (!Same(k, a)) {
            c = k;
            break;
        }
    }
    if (c < 0)
        return Outcome::NothingToDo;
    const bool ref = Cross(c, a, b) >= 0.0;

    int p = a, i = b, skipped = 0;
    for (;;) {
        // j: the next vertex after i still present; repeats of i are removed.
        int j = -1;
        k = i;
        for (int step = 0; step < n; ++step) {
            k = Next(k);
            if (k == p) {
                j = p;
                break;
            }
            if (Status(k) == kRemoved)
                continue;
            if (Same(k, i)) {
                Status(k) = kRemoved;
                continue;
            }
            j = k;
            break;
        }
        if (j < 0)
            return Outcome::Failed;
        if (j == p)
            return Outcome::Complete;

        bool skip = false;
        int s = Status(i);
        if (s == kNotConvex || (s > 0 && Status(s - 1) != kRemoved)) {
            skip = true;
        } else if ((Cross(p, i, j) >= 0.0) != ref) {
            Status(i) = kNotConvex;
            skip = true;
        } else {
            for (k = Next(j); k != p; k = Next(k)) {
                if (Blocks(k, p, i, j)) {
                    Status(i) = k + 1;
                    skip = true;
                    break;
                }
            }
        }
        if (skip) {
            p = i;
            i = j;
            if (++skipped >= n)
                return Outcome::Failed;
            continue;
        }
        // A simple polygon never needs more than n - 2 triangles; an attempt
        // that would write more has failed.
        if (triangles >= n - 2)
            return Outcome::Failed;
        int* t = tri_ + 3 * triangles;
        t[0] = p + 1;
        t[1] = i + 1;
        t[2] = j + 1;
        ++triangles;
        Status(i) = kRemoved;
        Status(p) = 0;
        Status(j) = 0;
        i = j;
        skipped = 0;
    }
}

} // namespace

void YYPolygonDecompose(const float* x, const float* y, int n, int* tri, int& count)
{
    count = 0;
    if (n < 3 || !x || !y || !tri)
        return;
    for (int k = 0; k < n; ++k) {
        if (!std::isfinite(x[k]) || !std::isfinite(y[k])) {
            YYErrorReport(kErrorPolygonBordersCross, "YYPolygonDecompose");
            return;
        }
    }
    int top = 0;
    for (int k = 1; k < n; ++k)
        if (y[k] > y[top])
            top = k;

    Decomposer d(x, y, n, tri);
    int triangles = 0;
    Outcome o = d.Attempt(top, triangles);
    if (o == Outcome::NothingToDo)
        return;
    if (o == Outcome::Complete) {
        count = triangles;
        return;
    }
    // The last attempt starts at the top again and repeats the first one
    // exactly: keep its triangles rather than run it twice.
    std::vector<int> first(tri, tri + 3 * triangles);
    const int firstCount = triangles;
    for (int s = 1; s < n; ++s) {
        o = d.Attempt((top + s) % n, triangles);
        if (o == Outcome::NothingToDo)
            return;
        if (o == Outcome::Complete) {
            count = triangles;
            return;
        }
    }
    std::copy(first.begin(), first.end(), tri);
    count = firstCount;
    YYErrorReport(kErrorPolygonBordersCross, "YYPolygonDecompose");
}

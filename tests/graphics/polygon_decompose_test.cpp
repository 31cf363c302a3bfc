// Ear clipping: fixed cases, and a property test on random simple polygons
// (triangle areas add up to the polygon's, every triangle lies inside it and
// no two overlap).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "core/errors.h"
#include "graphics/polygon_decompose.h"

namespace {

using Triangles = std::vector<std::array<int, 3>>;

Triangles Decompose(const std::vector<float>& x, const std::vector<float>& y, int& count)
{
    const int n = static_cast<int>(x.size());
    std::vector<int> tri(static_cast<size_t>(std::max(3 * (n - 2), 3)), -7);
    YYPolygonDecompose(x.data(), y.data(), n, tri.data(), count);
    Triangles out;
    for (int k = 0; k < count; ++k)
        out.push_back({tri[3 * k], tri[3 * k + 1], tri[3 * k + 2]});
    return out;
}

class DecomposeTest : public ::testing::Test {
protected:
    ErrorState saved = gErrorState;
    void SetUp() override { gErrorState.lastCode = 0; }
    void TearDown() override { gErrorState = saved; }
};

TEST_F(DecomposeTest, SquareInEitherOrientationGivesTheFanFromTheTopmostVertex)
{
    int count = -1;
    // Counter-clockwise: the first topmost vertex is 3.
    auto ccw = Decompose({0, 10, 10, 0}, {0, 0, 10, 10}, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ccw, (Triangles{{3, 4, 1}, {3, 1, 2}}));
    // Clockwise: the first topmost vertex is 2.
    auto cw = Decompose({0, 0, 10, 10}, {0, 10, 10, 0}, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(cw, (Triangles{{2, 3, 4}, {2, 4, 1}}));
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST_F(DecomposeTest, RepeatedVertexIsDecomposedAsIfAbsent)
{
    int count = -1;
    auto t = Decompose({0, 10, 10, 10, 0}, {0, 0, 0, 10, 10}, count);
    EXPECT_EQ(count, 2);
    // Vertex 3 repeats vertex 2 and appears in no triangle.
    EXPECT_EQ(t, (Triangles{{4, 5, 1}, {4, 1, 2}}));
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST_F(DecomposeTest, ConcaveShapes)
{
    struct Case {
        const char* what;
        std::vector<float> x, y;
        double area;
    } cases[] = {
        {"L shape", {0, 20, 20, 10, 10, 0}, {0, 0, 10, 10, 30, 30}, 400},
        {"U shape", {0, 30, 30, 20, 20, 10, 10, 0}, {0, 0, 30, 30, 10, 10, 30, 30}, 700},
        {"arrow", {0, 10, 20, 10, 10, 0}, {0, 5, 0, 20, 10, 20}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int count = -1;
        auto t = Decompose(c.x, c.y, count);
        EXPECT_EQ(count, static_cast<int>(c.x.size()) - 2);
        double sum = 0, polygon = 0;
        const size_t n = c.x.size();
        for (size_t i = 0; i < n; ++i)
            polygon += static_cast<double>(c.x[i]) * c.y[(i + 1) % n] - static_cast<double>(c.x[(i + 1) % n]) * c.y[i];
        for (auto& tr : t) {
            const int a = tr[0] - 1, b = tr[1] - 1, d = tr[2] - 1;
            sum += std::fabs((c.x[b] - c.x[a]) * (c.y[d] - c.y[a]) - (c.x[d] - c.x[a]) * (c.y[b] - c.y[a]));
        }
        EXPECT_NEAR(sum, std::fabs(polygon), 1e-6);
        if (c.area > 0) {
            EXPECT_NEAR(sum / 2, c.area, 1e-6);
        }
    }
}

TEST_F(DecomposeTest, SelfCrossingOutlineReportsError28)
{
    int count = -1;
    // A bow tie: the borders cross.
    Decompose({0, 10, 10, 0}, {0, 10, 0, 10}, count);
    EXPECT_EQ(gErrorState.lastCode, 28);
    EXPECT_GE(count, 0);
    EXPECT_LE(count, 2);
}

TEST_F(DecomposeTest, TooFewOrCoincidentPointsGiveNoTriangleAndNoError)
{
    int count = -1;
    Decompose({1, 2}, {1, 2}, count);
    EXPECT_EQ(count, 0);
    Decompose({5, 5, 5, 5}, {3, 3, 3, 3}, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(gErrorState.lastCode, 0);
}

// ---- Random simple polygons --------------------------------------------------------

double Cross(double ax, double ay, double bx, double by, double cx, double cy)
{
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

bool InsidePolygon(const std::vector<float>& x, const std::vector<float>& y, double px, double py)
{
    bool in = false;
    const size_t n = x.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        if ((y[i] > py) != (y[j] > py) && px < (x[j] - x[i]) * (py - y[i]) / (y[j] - y[i]) + x[i])
            in = !in;
    }
    return in;
}

double DistanceToBoundary(const std::vector<float>& x, const std::vector<float>& y, double px, double py)
{
    double best = 1e300;
    const size_t n = x.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        const double dx = x[j] - x[i], dy = y[j] - y[i];
        double t = ((px - x[i]) * dx + (py - y[i]) * dy) / (dx * dx + dy * dy);
        t = std::fmin(1.0, std::fmax(0.0, t));
        best = std::fmin(best, std::hypot(px - (x[i] + t * dx), py - (y[i] + t * dy)));
    }
    return best;
}

// A star-shaped polygon around the origin: sorted random angles, random
// radii; every second one turned clockwise.
void RandomStar(std::mt19937& rng, int n, bool clockwise, std::vector<float>& x, std::vector<float>& y)
{
    std::uniform_real_distribution<double> angle(0.0, 6.283185307179586), radius(1.0, 10.0);
    std::vector<double> a(static_cast<size_t>(n));
    for (double& v : a)
        v = angle(rng);
    std::sort(a.begin(), a.end());
    if (clockwise)
        std::reverse(a.begin(), a.end());
    x.clear();
    y.clear();
    for (double v : a) {
        const double r = radius(rng);
        x.push_back(static_cast<float>(r * std::cos(v)));
        y.push_back(static_cast<float>(r * std::sin(v)));
    }
}

TEST_F(DecomposeTest, RandomSimplePolygonsAreCoveredExactlyOnce)
{
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> size(3, 40);
    std::uniform_real_distribution<double> sample(-10.0, 10.0);
    for (int round = 0; round < 60; ++round) {
        std::vector<float> x, y;
        RandomStar(rng, size(rng), round % 2 == 1, x, y);
        const int n = static_cast<int>(x.size());
        SCOPED_TRACE(::testing::Message() << "round " << round << ", n " << n);
        int count = -1;
        auto tris = Decompose(x, y, count);
        ASSERT_EQ(gErrorState.lastCode, 0);
        ASSERT_EQ(count, n - 2);

        double polygon = 0;
        for (int i = 0; i < n; ++i)
            polygon += static_cast<double>(x[i]) * y[(i + 1) % n] - static_cast<double>(x[(i + 1) % n]) * y[i];
        double sum = 0;
        for (auto& t : tris) {
            for (int v : t)
                ASSERT_TRUE(v >= 1 && v <= n);
            const int a = t[0] - 1, b = t[1] - 1, c = t[2] - 1;
            sum += std::fabs(Cross(x[a], y[a], x[b], y[b], x[c], y[c]));
            // Every triangle lies inside the polygon.
            const double cx = (x[a] + x[b] + x[c]) / 3.0, cy = (y[a] + y[b] + y[c]) / 3.0;
            EXPECT_TRUE(InsidePolygon(x, y, cx, cy));
        }
        EXPECT_NEAR(sum, std::fabs(polygon), 1e-4 * std::fabs(polygon));

        // Points well inside are covered by exactly one triangle, points well
        // outside by none.
        for (int k = 0; k < 300; ++k) {
            const double px = sample(rng), py = sample(rng);
            if (DistanceToBoundary(x, y, px, py) < 1e-3)
                continue;
            int covering = 0;
            for (auto& t : tris) {
                const int a = t[0] - 1, b = t[1] - 1, c = t[2] - 1;
                const double d1 = Cross(x[a], y[a], x[b], y[b], px, py);
                const double d2 = Cross(x[b], y[b], x[c], y[c], px, py);
                const double d3 = Cross(x[c], y[c], x[a], y[a], px, py);
                if ((d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0))
                    ++covering;
            }
            EXPECT_EQ(covering, InsidePolygon(x, y, px, py) ? 1 : 0) << px << "," << py;
        }
    }
}

} // namespace

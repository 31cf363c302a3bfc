// Benchmark, not a timed test: a 1000-vertex simple polygon and a
// 200-vertex self-crossing star through the decomposition and the hatch
// fill. Disabled by default; run with --gtest_also_run_disabled_tests
// --gtest_filter=*Bench* to print the figures.
#include "graphics_fixture.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "graphics/lines.h"
#include "graphics/polygon_decompose.h"
#include "graphics/polygons.h"

namespace {

int gOps = 0;
void CountingDriver(int, int) { ++gOps; }

// Star-shaped simple polygons of N vertices, centred in a 1000 x 1000
// target: a wavy outline, and a jagged one whose radius jumps at random from
// vertex to vertex (a scan line then crosses hundreds of edges); and a star
// polygon {N/K} whose sides cross.
void SimplePolygon(int n, bool jagged, std::vector<float>& x, std::vector<float>& y)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> jump(150.0, 450.0), noise(-10.0, 10.0);
    for (int k = 0; k < n; ++k) {
        const double a = 6.283185307179586 * k / n;
        const double r = jagged ? jump(rng) : 300 + 80 * std::sin(7 * a) + 40 * std::sin(23 * a + 1) + noise(rng);
        x.push_back(static_cast<float>(500 + r * std::cos(a)));
        y.push_back(static_cast<float>(500 + r * std::sin(a)));
    }
}

void CrossingStar(int n, int step, std::vector<float>& x, std::vector<float>& y)
{
    for (int k = 0; k < n; ++k) {
        const double a = 6.283185307179586 * ((static_cast<long long>(k) * step) % n) / n;
        x.push_back(static_cast<float>(500 + 450 * std::cos(a)));
        y.push_back(static_cast<float>(500 + 450 * std::sin(a)));
    }
}

template <class F>
double Milliseconds(int repeats, F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < repeats; ++k)
        f();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count() / repeats;
}

TEST(GraphicsBench, DISABLED_DecompositionAndHatchFill)
{
    GraphicsStateGuard guard;
    ErrorState errors = gErrorState;
    DeviceDriverOverride(kScreenSide, CountingDriver);
    GraphicsState& g = gGraphicsState;
    g.screenOutput = 1;
    g.hardcopyOpen = 0;
    g.targetWidth = g.targetHeight = 1000;
    g.targetLimit = {999.99f, 999.99f};
    g.pageRotation = 0;
    g.textGeometryFrozen = 0;
    g.areaFractions = {0, 0, 1, 1};
    g.areaFractionSize = {1, 1};
    YYAreaLimits(0, 0, 1000, 1000);
    IGrUnits(0, 0, 999.99f, 999.99f);
    YYAspectWordsSet();
    g.plotMode = 0;
    g.outline = 0;
    g.LineFillRequest = {0, 0};

    struct Shape {
        const char* name;
        std::vector<float> x, y;
    } shapes[3];
    shapes[0].name = "wavy simple polygon, 1000 vertices";
    SimplePolygon(1000, false, shapes[0].x, shapes[0].y);
    shapes[1].name = "jagged simple polygon, 1000 vertices";
    SimplePolygon(1000, true, shapes[1].x, shapes[1].y);
    shapes[2].name = "self-crossing star {200/77}";
    CrossingStar(200, 77, shapes[2].x, shapes[2].y);

    for (Shape& s : shapes) {
        const int n = static_cast<int>(s.x.size());
        std::vector<int> tri(static_cast<size_t>(3 * (n - 2)));
        int count = 0;
        gErrorState.lastCode = 0;
        const double decompose = Milliseconds(3, [&] { YYPolygonDecompose(s.x.data(), s.y.data(), n, tri.data(), count); });
        const int decomposeError = gErrorState.lastCode;
        std::printf("%s: decomposition %.2f ms, %d triangles, error %d\n", s.name, decompose, count, decomposeError);
        for (int density : {1, 3, 5}) {
            for (int direction : {1, 3}) {
                g.fillMode = kFillHatch;
                g.hatchDensity = density;
                g.hatchDirection = direction;
                gOps = 0;
                gErrorState.lastCode = 0;
                const double hatch = Milliseconds(3, [&] { YYPolygonDraw(s.x.data(), s.y.data(), n); });
                std::printf("  hatch density %d direction %d: %.2f ms, %d lines, error %d\n", density, direction,
                            hatch, gOps / 3, gErrorState.lastCode);
            }
        }
    }
    DeviceDriverOverride(kScreenSide, nullptr);
    gErrorState = errors;
    SUCCEED();
}

} // namespace

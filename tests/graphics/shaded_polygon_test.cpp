// Shaded polygons: vertex merging, the triangle callback and the per-pixel
// fallback, with recording callbacks.
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "graphics/device_ops.h"
#include "graphics/shaded_polygons.h"

namespace {

struct Calls {
    std::vector<std::vector<int>> triangleColours; // per call: the colours of its vertices
    std::vector<int> triangleCounts;
    std::map<std::pair<int, int>, int> pixels;
    int pixelCalls = 0;
    int answer = 0; // status the triangle callback leaves
} gCalls;

void Triangle(const int*, const int*, const int* colours, const int* triangles, int n, int m, int& status)
{
    std::vector<int> c;
    for (int k = 0; k < 3 * m; ++k)
        c.push_back(colours[triangles[k] - 1]);
    (void)n;
    gCalls.triangleColours.push_back(c);
    gCalls.triangleCounts.push_back(m);
    status = gCalls.answer;
}

void Pixel(int x, int y, int colour)
{
    ++gCalls.pixelCalls;
    gCalls.pixels[{x, y}] = colour;
}

class ShadedPolygonTest : public ::testing::Test {
protected:
    ErrorState errors = gErrorState;
    void SetUp() override
    {
        gCalls = Calls{};
        gErrorState.lastCode = 0;
    }
    void TearDown() override { gErrorState = errors; }

    // Vertices in pixels (the same values as device points) with colours.
    void Vertices(std::vector<std::array<int, 3>> v)
    {
        ShadedPolygonBuffer& b = gShadedPolygonBuffer;
        DevicePointArrays& p = gDevicePointArrays;
        b.count = static_cast<int>(v.size());
        p.Reserve(b.count);
        for (size_t k = 0; k < v.size(); ++k) {
            b.x[k] = v[k][0];
            b.y[k] = v[k][1];
            b.colour[k] = v[k][2];
            p.x[k] = static_cast<float>(v[k][0]);
            p.y[k] = static_cast<float>(v[k][1]);
        }
        p.shadedCount = b.count;
    }
    void Draw(int mode) { YYShadedPolygon(mode, 0, 0, 99, 99, Pixel, Triangle); }
};

constexpr int kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kGrey = 0x808080;

TEST_F(ShadedPolygonTest, CoincidentVerticesMergeWithTheirAverageColour)
{
    // Second and third coincide.
    Vertices({{10, 10, kRed}, {50, 10, kGreen}, {50, 10, kBlue}, {30, 40, kGrey}});
    Draw(2);
    ASSERT_EQ(gCalls.triangleColours.size(), 1u);
    EXPECT_EQ(gCalls.triangleColours[0], (std::vector<int>{kRed, 0x7F7F00, kGrey}));
    EXPECT_EQ(gShadedPolygonBuffer.count, 3);
    EXPECT_EQ(gCalls.pixelCalls, 0);

    // Third and fourth coincide: a run at the end.
    SetUp();
    Vertices({{10, 10, kRed}, {50, 10, kGreen}, {30, 40, kBlue}, {30, 40, kGrey}});
    Draw(2);
    ASSERT_EQ(gCalls.triangleColours.size(), 1u);
    EXPECT_EQ(gCalls.triangleColours[0], (std::vector<int>{kRed, kGreen, 0xBF4040}));

    // A closed outline: the repeat goes, the first vertex takes the average.
    SetUp();
    Vertices({{10, 10, kRed}, {50, 10, kGreen}, {30, 40, kGrey}, {10, 10, kBlue}});
    Draw(2);
    ASSERT_EQ(gCalls.triangleColours.size(), 1u);
    EXPECT_EQ(gCalls.triangleColours[0], (std::vector<int>{0x7F007F, kGreen, kGrey}));
}

TEST_F(ShadedPolygonTest, DegenerateTrianglesDrawNothing)
{
    Vertices({{10, 10, kRed}, {10, 10, kGreen}, {30, 40, kBlue}});
    Draw(2);
    Draw(1);
    // The same y at every vertex: no edge crosses a row.
    Vertices({{10, 20, kRed}, {40, 20, kGreen}, {70, 20, kBlue}});
    Draw(1);
    EXPECT_TRUE(gCalls.triangleColours.empty());
    EXPECT_EQ(gCalls.pixelCalls, 0);
}

TEST_F(ShadedPolygonTest, TriangleCallbackFirstPixelsOnlyWhenItDeclines)
{
    const std::vector<std::array<int, 3>> square = {
        {10, 10, kRed}, {40, 10, kGreen}, {40, 40, kBlue}, {10, 40, kGrey}};
    Vertices(square);
    Draw(2);
    EXPECT_EQ(gCalls.triangleCounts, (std::vector<int>{2}));
    EXPECT_EQ(gCalls.pixelCalls, 0);

    SetUp();
    gCalls.answer = 1;
    Vertices(square);
    Draw(2);
    EXPECT_EQ(gCalls.triangleCounts.size(), 1u);
    EXPECT_GT(gCalls.pixelCalls, 0);

    SetUp();
    Vertices(square);
    Draw(1);
    EXPECT_TRUE(gCalls.triangleCounts.empty());
    // Every pixel of the square's rows 10..40, columns 10..40, at least once.
    for (int y = 10; y <= 40; ++y)
        for (int x = 10; x <= 40; ++x)
            EXPECT_TRUE(gCalls.pixels.count({x, y})) << x << "," << y;
}

TEST_F(ShadedPolygonTest, PureColourStaysPureAndTheClipHolds)
{
    Vertices({{-20, 5, kRed}, {150, 5, kRed}, {60, 80, kRed}});
    Draw(1);
    ASSERT_FALSE(gCalls.pixels.empty());
    for (const auto& [at, colour] : gCalls.pixels) {
        EXPECT_EQ(colour, 255);
        EXPECT_TRUE(at.first >= 0 && at.first <= 99 && at.second >= 0 && at.second <= 99);
    }
    EXPECT_TRUE(gCalls.pixels.count({0, 5}));
    EXPECT_TRUE(gCalls.pixels.count({99, 5}));
}

TEST_F(ShadedPolygonTest, MoreThanTheBufferHoldsIsRejected)
{
    gShadedPolygonBuffer.count = kShadedPolygonCapacity + 1;
    Draw(1);
    EXPECT_EQ(gErrorState.lastCode, 49);
    EXPECT_EQ(gCalls.pixelCalls, 0);
}

} // namespace

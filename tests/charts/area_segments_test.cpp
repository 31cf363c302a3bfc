// The pieces of a filled area chart between two points: trapezia, triangles
// and the split at a crossing of the lower edge, flat and stacked, and the
// line along the data, observed through the recording driver.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "charts/area_segments.h"
#include "charts_fixture.h"
#include "graphics/coordinates.h"

namespace {

class AreaSegmentsTest : public ChartsTest {
protected:
    void SetUp() override
    {
        ChartsTest::SetUp();
        IGrUnits(0.0f, 0.0f, 10.0f, 10.0f);
        GraphicsState& g = gGraphicsState;
        g.fillMode = kFillSolid;
        g.outline = 0;
        gPgGraphState.setCounter = 1;
        gPgGraphState.stacked = 0;
    }

    // The device points of WORLD, sorted, for comparison with a shape whose
    // corners may come in any order.
    static std::vector<Pt> Device(std::vector<Pt> world)
    {
        for (Pt& p : world)
            YYWorldToDevice(p.x, p.y, p.x, p.y);
        Sort(world);
        return world;
    }
    static void Sort(std::vector<Pt>& v)
    {
        std::sort(v.begin(), v.end(), [](Pt a, Pt b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    }
    static std::vector<Pt> PointsOf(const RecordedOp& r)
    {
        std::vector<Pt> v;
        for (size_t i = 0; i < r.x.size(); ++i)
            v.push_back({r.x[i], r.y[i]});
        Sort(v);
        return v;
    }
    static void ExpectSame(const std::vector<Pt>& got, const std::vector<Pt>& want)
    {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x, want[i].x, 0.01f) << i;
            EXPECT_NEAR(got[i].y, want[i].y, 0.01f) << i;
        }
    }
};

// One segment and what it must draw: the filled quadrilaterals and
// triangles (world corners) and whether the line from the first data point
// (X1, Y1 + H1) to the second (X2, Y2) is drawn.
struct SegmentCase {
    const char* name;
    bool stacked;
    float b, x1, y1, x2, y2, h1, h2;
    int styleWord1;
    std::vector<std::vector<Pt>> quads;
    std::vector<std::vector<Pt>> triangles;
    bool line;
};

TEST_F(AreaSegmentsTest, PiecesBySignsOfTheHeights)
{
    const std::vector<SegmentCase> cases = {
        {"both above, hatched: trapezium and line", false, 1, 1, 1, 5, 5, 2, 4, 1,
         {{{1, 1}, {5, 1}, {5, 5}, {1, 3}}}, {}, true},
        {"both above, solid: no line", false, 1, 1, 1, 5, 5, 2, 4, 4,
         {{{1, 1}, {5, 1}, {5, 5}, {1, 3}}}, {}, false},
        {"crossing the baseline halfway: two equal triangles", false, 4, 1, 4, 5, 2, 2, -2, 4, {},
         {{{1, 4}, {1, 6}, {3, 4}}, {{3, 4}, {5, 4}, {5, 2}}}, false},
        {"crossing a quarter of the way", false, 4, 1, 4, 5, 1, 1, -3, 2, {},
         {{{1, 4}, {1, 5}, {2, 4}}, {{2, 4}, {5, 4}, {5, 1}}}, true},
        {"both below: trapezium under the edge", false, 6, 1, 6, 5, 3, -1, -3, 4,
         {{{1, 5}, {5, 3}, {5, 6}, {1, 6}}}, {}, false},
        {"both 0: no fill, the line even when solid", false, 4, 1, 4, 5, 4, 0, 0, 4, {}, {}, true},
        {"first side 0: one triangle", false, 4, 1, 4, 5, 7, 0, 3, 4, {}, {{{1, 4}, {5, 4}, {5, 7}}},
         false},
        {"second side 0: one triangle", false, 4, 1, 4, 5, 4, 3, 0, 4, {}, {{{1, 4}, {1, 7}, {5, 4}}},
         false},
        // Stacked: the lower edge runs from (1, 2) to (5, 6); the data points
        // stand at the same height 4 with heights 2 and -2, where a crossing
        // taken on the horizontal through (1, 2) has no defined x.
        {"stacked, equal data heights of opposite signs", true, 0, 1, 2, 5, 4, 2, -2, 4, {},
         {{{1, 2}, {1, 4}, {3, 4}}, {{3, 4}, {5, 6}, {5, 4}}}, false},
        {"stacked crossing on a sloped edge", true, 0, 1, 2, 5, 0, 2, -6, 4, {},
         {{{1, 2}, {1, 4}, {2, 3}}, {{2, 3}, {5, 6}, {5, 0}}}, false},
        // Stacked, below a sloped edge from (1, 6) to (5, 8).
        {"stacked, both below a sloped edge", true, 0, 1, 6, 5, 5, -1, -3, 4,
         {{{1, 5}, {5, 5}, {5, 8}, {1, 6}}}, {}, false},
        {"stacked, both above", true, 0, 1, 2, 5, 9, 2, 3, 1, {{{1, 2}, {5, 6}, {5, 9}, {1, 4}}}, {},
         true},
    };
    for (const SegmentCase& c : cases) {
        SCOPED_TRACE(c.name);
        recorder().Clear();
        gPgGraphState.stacked = c.stacked ? 1 : 0;
        gDataSetStyleTable.Set(1).styleWord1 = c.styleWord1;
        float h1 = c.h1;
        YYAreaChartSegment(c.b, c.x1, c.y1, c.x2, c.y2, h1, c.h2);
        EXPECT_EQ(h1, c.h2);

        auto quads = recorder().Of(kScreenSide, DeviceOp::kQuadSolid);
        ASSERT_EQ(quads.size(), c.quads.size());
        for (size_t i = 0; i < quads.size(); ++i)
            ExpectSame(PointsOf(quads[i]), Device(c.quads[i]));
        auto triangles = recorder().Of(kScreenSide, DeviceOp::kTriangleSolid);
        ASSERT_EQ(triangles.size(), c.triangles.size());
        for (size_t i = 0; i < triangles.size(); ++i)
            ExpectSame(PointsOf(triangles[i]), Device(c.triangles[i]));

        auto lines = recorder().Of(kScreenSide, DeviceOp::kLine);
        ASSERT_EQ(lines.size(), c.line ? 1u : 0u);
        if (c.line) {
            const DeviceParameterBlock& b = lines[0].block;
            std::vector<Pt> got = {{b.X[0], b.Y[0]}, {b.X[1], b.Y[1]}};
            Sort(got);
            ExpectSame(got, Device({{c.x1, c.y1 + c.h1}, {c.x2, c.y2}}));
        }
        EXPECT_TRUE(TakeReports().empty());
    }
}

TEST_F(AreaSegmentsTest, HeightThatIsNotANumberDrawsNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    recorder().Clear();
    for (int stacked : {0, 1}) {
        gPgGraphState.stacked = stacked;
        gDataSetStyleTable.Set(1).styleWord1 = 1;
        float h1 = 2.0f;
        YYAreaChartSegment(0.0f, 1.0f, 1.0f, 5.0f, 5.0f, h1, nan);
        EXPECT_TRUE(std::isnan(h1));
        h1 = nan;
        YYAreaChartSegment(0.0f, 1.0f, 1.0f, 5.0f, 5.0f, h1, -2.0f);
        EXPECT_EQ(h1, -2.0f);
    }
    EXPECT_TRUE(recorder().ops.empty());
}

} // namespace

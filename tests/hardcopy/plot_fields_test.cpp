// Clipping polygons to a plot file's coordinate box, with the extreme
// coordinates a caller can hand over (the tests run with the floating-point
// traps on: an overflowing difference in a crossing would end them).
#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <vector>

#include "hardcopy/plot_fields.h"

namespace {

struct ClipCase {
    const char* what;
    std::vector<double> x, y;
    size_t minCorners; // the clipped outline has at least this many corners
};

TEST(PolygonClipToBox, ExtremeCoordinatesLandInsideTheBox)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const ClipCase cases[] = {
        {"a square far larger than the box", {-DBL_MAX, DBL_MAX, DBL_MAX, -DBL_MAX},
         {-DBL_MAX, -DBL_MAX, DBL_MAX, DBL_MAX}, 4},
        {"infinite corners", {-inf, inf, inf, -inf}, {-inf, -inf, inf, inf}, 4},
        {"an edge from -DBL_MAX to DBL_MAX through the box", {-DBL_MAX, DBL_MAX, 0}, {0, 0, 50}, 3},
        {"a corner that is no number", {nan, 10, 10}, {0, nan, 20}, 3},
    };
    for (const ClipCase& c : cases) {
        std::vector<double> x = c.x, y = c.y;
        PolygonClipToBox(x, y, -100, -100, 100, 100);
        ASSERT_EQ(x.size(), y.size()) << c.what;
        EXPECT_GE(x.size(), c.minCorners) << c.what;
        for (size_t i = 0; i < x.size(); ++i) {
            EXPECT_TRUE(x[i] >= -100 && x[i] <= 100) << c.what << " x=" << x[i];
            EXPECT_TRUE(y[i] >= -100 && y[i] <= 100) << c.what << " y=" << y[i];
        }
    }
}

TEST(PolygonClipToBox, ClipsAnEdgeWhereItCrossesAndKeepsWhatIsInside)
{
    // A triangle with one corner beyond the right edge: the edge x = 100 cuts
    // it at y = 25 on the way out and y = 75 on the way back.
    std::vector<double> x{0, 200, 0}, y{0, 50, 100};
    PolygonClipToBox(x, y, -100, -100, 100, 100);
    EXPECT_EQ(x, (std::vector<double>{0, 100, 100, 0}));
    EXPECT_EQ(y, (std::vector<double>{0, 25, 75, 100}));

    std::vector<double> inside{1, 2, 3}, insideY{4, 5, 6};
    PolygonClipToBox(inside, insideY, -100, -100, 100, 100);
    EXPECT_EQ(inside, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(insideY, (std::vector<double>{4, 5, 6}));
}

} // namespace

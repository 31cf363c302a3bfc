// World/device conversions with the page rotations, pixel/normal
// conversions, world coordinates of events and the shared geometry.
#include "graphics_fixture.h"

#include <cmath>

#include "core/events.h"
#include "graphics/coordinates.h"

namespace {

class CoordinatesTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    void SetUp() override
    {
        GraphicsState& g = gGraphicsState;
        g.units = {0, 0, 10, 5};
        g.unitSize = {10, 5};
        g.deviceArea = {0, 0, 99.99f, 49.99f};
        g.areaSize = {99.99f, 49.99f};
        g.pageRotation = 0;
        g.clipBox = {-0.001f, -0.001f, 99.991f, 49.991f};
    }
};

TEST_F(CoordinatesTest, WorldToDeviceForRotationsZeroAndNinety)
{
    float dx, dy;
    YYWorldToDevice(5.0f, 2.5f, dx, dy);
    EXPECT_NEAR(dx, 49.995f, 1e-4);
    EXPECT_NEAR(dy, 24.995f, 1e-4);
    gGraphicsState.pageRotation = 90;
    YYWorldToDevice(5.0f, 2.5f, dx, dy);
    EXPECT_NEAR(dx, 99.99f - 2.5f * 99.99f / 5.0f, 1e-4);
    EXPECT_NEAR(dy, 5.0f * 49.99f / 10.0f, 1e-4);
}

TEST_F(CoordinatesTest, DeviceToWorldInvertsEachRotation)
{
    GraphicsState& g = gGraphicsState;
    g.units = {-3, 2, 7, 12};
    g.unitSize = {10, 10};
    g.deviceArea = {20, 10, 180.5f, 90.25f};
    g.areaSize = {160.5f, 80.25f};
    const float points[][2] = {{-3, 2}, {7, 12}, {0.25f, 7.5f}, {6.9f, 2.1f}, {12, -4}};
    for (int r : {0, 90, 180, 270}) {
        g.pageRotation = r;
        for (const auto& p : points) {
            float dx, dy, wx, wy;
            YYWorldToDevice(p[0], p[1], dx, dy);
            YYDeviceToWorld(dx, dy, wx, wy);
            EXPECT_NEAR(wx, p[0], 1e-5) << r;
            EXPECT_NEAR(wy, p[1], 1e-5) << r;
        }
    }
    // The corners land on the area's corners as the rotation says.
    float dx, dy;
    g.pageRotation = 180;
    YYWorldToDevice(-3, 2, dx, dy);
    EXPECT_FLOAT_EQ(dx, 180.5f);
    EXPECT_FLOAT_EQ(dy, 90.25f);
    g.pageRotation = 270;
    YYWorldToDevice(-3, 2, dx, dy);
    EXPECT_FLOAT_EQ(dx, 20.0f);
    EXPECT_FLOAT_EQ(dy, 90.25f);
}

TEST_F(CoordinatesTest, OtherRotationLeavesTheOutputs)
{
    gGraphicsState.pageRotation = 45;
    float dx = 1234.0f, dy = -7.0f;
    YYWorldToDevice(5, 2.5f, dx, dy);
    EXPECT_EQ(dx, 1234.0f);
    EXPECT_EQ(dy, -7.0f);
    YYDeviceToWorld(5, 2.5f, dx, dy);
    EXPECT_EQ(dx, 1234.0f);
}

TEST_F(CoordinatesTest, HugeValuesAndEmptyAreasDoNotTrap)
{
    float dx, dy;
    YYWorldToDevice(3.0e38f, -3.0e38f, dx, dy);
    EXPECT_TRUE(std::isfinite(dx));
    EXPECT_TRUE(std::isfinite(dy));
    gGraphicsState.areaSize = {0, 0};
    float wx, wy;
    YYDeviceToWorld(10, 10, wx, wy);
    EXPECT_TRUE(std::isfinite(wx));
}

TEST_F(CoordinatesTest, PixelsToNormalAndBack)
{
    gLibraryState.currentWindowWidth = 100;
    gLibraryState.currentWindowHeight = 1;
    int nx, ny;
    YYPixelToNormal(0, 0, nx, ny);
    EXPECT_EQ(nx, 49);
    EXPECT_EQ(ny, 0);
    YYPixelToNormal(99, 5, nx, ny);
    EXPECT_EQ(nx, 9949);
    int px, py;
    gLibraryState.currentWindowHeight = 201;
    YYNormalToPixel(9999, 5000, px, py);
    EXPECT_EQ(px, 99);
    EXPECT_EQ(py, 100);
}

TEST_F(CoordinatesTest, ClickOnTheTargetWindowGivesItsWorldPoint)
{
    GraphicsState& g = gGraphicsState;
    g.targetKind = kTargetWindow;
    g.targetId = 3;
    g.targetHeight = 50;
    gLibraryState.currentWindowWidth = 100;
    gLibraryState.currentWindowHeight = 50;
    EventMessage m;
    m.window = 3;
    m.value3 = 0;
    m.pixelX = 40;
    m.pixelY = 10;
    YYEventWorldCoords(kEventMouseDown, m);
    // Device point (40.5, 50 - 10 - 1 + 0.5) through units 0..10 x 0..5.
    EXPECT_NEAR(EventWorldValue(m.worldX), 10.0f * 40.5f / 99.99f, 1e-5);
    EXPECT_NEAR(EventWorldValue(m.worldY), 5.0f * 39.5f / 49.99f, 1e-5);
    EXPECT_EQ(m.x, static_cast<int>(40.5 * 9999 / 100));
    EXPECT_EQ(m.y, static_cast<int>(10.5 * 9999 / 50));

    // An expose: the corner and the extent in 0..9999 units.
    EventMessage e;
    e.window = 3;
    e.value1 = 20;
    e.value2 = 10;
    e.pixelX = 0;
    e.pixelY = 0;
    YYEventWorldCoords(kEventExpose, e);
    int nx, ny, fx, fy;
    YYPixelToNormal(0, 0, nx, ny);
    YYPixelToNormal(19, 9, fx, fy);
    EXPECT_EQ(e.value1, fx - nx);
    EXPECT_EQ(e.value2, fy - ny);
    EXPECT_NEAR(EventWorldValue(e.cornerWorldX), 10.0f * 19.5f / 99.99f, 1e-5);

    // Types without a position only copy the pixels.
    EventMessage k;
    k.pixelX = 7;
    k.pixelY = 8;
    k.worldX = 123;
    YYEventWorldCoords(kEventCommand, k);
    EXPECT_EQ(k.x, 7);
    EXPECT_EQ(k.y, 8);
    EXPECT_EQ(k.worldX, 123);
}

TEST_F(CoordinatesTest, ClipTests)
{
    EXPECT_TRUE(YYInsideClip(0, 0));
    EXPECT_TRUE(YYInsideClip(99.991f, 49.991f));
    EXPECT_FALSE(YYInsideClip(100, 10));
    EXPECT_FALSE(YYInsideClip(std::nanf(""), 10));
    EXPECT_TRUE(YYPointOnSegmentInClip(5, 5, 0, 0, 10, 10));
    EXPECT_FALSE(YYPointOnSegmentInClip(11, 5, 0, 0, 10, 10));
}

TEST_F(CoordinatesTest, SegmentIntersection)
{
    float x, y, a, b, c;
    int status;
    YYLineCoefficients(0, 0, 10, 10, a, b, c);
    EXPECT_EQ(a, -10.0f);
    EXPECT_EQ(b, 10.0f);
    EXPECT_EQ(c, 0.0f);
    YYSegmentIntersect(0, 0, 10, 10, 0, 10, 10, 0, x, y, status);
    EXPECT_EQ(status, 5);
    EXPECT_FLOAT_EQ(x, 5.0f);
    EXPECT_FLOAT_EQ(y, 5.0f);
    YYSegmentIntersect(0, 0, 10, 10, 2, 2, 20, 20, x, y, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    YYSegmentIntersect(0, 0, 10, 0, 0, 1, 10, 1, x, y, status);
    EXPECT_EQ(status, 1);
    YYSegmentIntersect(0, 0, 1, 1, 5, 0, 6, -2, x, y, status); // the lines meet at (10/3, 10/3), on neither
    EXPECT_EQ(status, 2);
    YYSegmentIntersect(0, 0, 10, 10, 20, 0, 12, 8, x, y, status); // at (10, 10): on the first only
    EXPECT_EQ(status, 3);
}

TEST_F(CoordinatesTest, EdgeInterpolationAndBezier)
{
    EXPECT_EQ(YYEdgeInterpolate(3, 0, 3, 10, 3), 2147480064.0f);
    EXPECT_EQ(YYEdgeInterpolate(0, 0, 1, -3.0e9f, 1), 2147480064.0f);
    EXPECT_FLOAT_EQ(YYEdgeInterpolate(10, 10, 0, 0, 4), 4.0f);
    EXPECT_FLOAT_EQ(YYEdgeInterpolate(0, 2, 4, 10, 1), 4.0f);
    const float v[] = {0.0f, 99.0f, 4.0f};
    EXPECT_FLOAT_EQ(YYBezierPoint(v, 2.0f, 1, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(YYBezierPoint(v, 2.0f, 1, 1.0f), 4.0f);
    EXPECT_FLOAT_EQ(YYBezierPoint(v, 2.0f, 1, 0.5f), 2.0f);
}

} // namespace

namespace {

TEST(DeviceTrunc, TruncatesTowardZeroAndSaturates)
{
    struct Case {
        double in;
        int out;
    } cases[] = {
        {12.9, 12}, {-12.9, -12}, {0.999, 0}, {-0.999, 0}, {3.0e9, 2147480064}, {-3.0e9, -2147480064},
        {2147480064.0, 2147480064}, {1.0e300, 2147480064}, {-1.0e300, -2147480064},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(YYDeviceTrunc(c.in), c.out) << c.in;
        if (std::fabs(c.in) < 3.0e38) {
            EXPECT_EQ(YYDeviceTrunc(static_cast<float>(c.in)), c.out) << c.in;
        }
    }
    EXPECT_EQ(YYDeviceTrunc(std::nanf("")), 0);
    EXPECT_EQ(YYDeviceTrunc(std::nan("")), 0);
}

} // namespace

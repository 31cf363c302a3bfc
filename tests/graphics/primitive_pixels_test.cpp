// What only pixels show: the scan fill's lines through pixel centres and the
// Gouraud colours of a shaded polygon, drawn by the screen driver on a
// memory bitmap.
#include "graphics_fixture.h"

#include <cstdlib>

#include "graphics/polygons.h"
#include "graphics/screen_driver.h"
#include "graphics/shaded_polygons.h"

namespace {

class PrimitivePixelsTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    MemorySurface surface{100, 100};
    void SetUp() override
    {
        GraphicsState& g = gGraphicsState;
        g.pageRotation = 0;
        g.textGeometryFrozen = 0;
        g.areaFractionSize = {1, 1};
        YYAreaLimits(0, 0, 100, 100);
        IGrUnits(0, 0, 99.99f, 99.99f); // world = device
        YYAspectWordsSet();
        g.LineFillRequest = {0, 0};
        g.colourModel = kColourModelRgb;
    }
    // Surface pixel at device point (x, y) (y upwards).
    int At(int x, int y) const { return surface.Pixel(x, 99 - y); }
};

TEST_F(PrimitivePixelsTest, ScanFillLinesLightTheRowsOfTheirPixelCentres)
{
    GraphicsState& g = gGraphicsState;
    g.fillMode = kFillHatch;
    g.hatchDirection = 3;
    g.hatchDensity = 1; // 100 / 30: every third row
    g.outline = 0;
    const float x[] = {10.3f, 60.2f, 60.2f, 10.3f}, y[] = {20.6f, 20.6f, 70.4f, 70.4f};
    YYPolygon(x, y, 4, 1);
    for (int row = 0; row < 100; ++row) {
        const bool lit = row >= 23 && row <= 68 && (row - 23) % 3 == 0;
        SCOPED_TRACE(row);
        EXPECT_EQ(At(35, row), lit ? kBlack : kWhite);
        if (lit) {
            EXPECT_EQ(At(10, row), kBlack);
            EXPECT_EQ(At(60, row), kBlack);
            EXPECT_EQ(At(9, row), kWhite);
            EXPECT_EQ(At(61, row), kWhite);
        }
    }
}

class GouraudTest : public PrimitivePixelsTest, public ::testing::WithParamInterface<int> {};

// The system gradient fill stays within 2 levels of the exact mix. The
// pixel-by-pixel fallback rounds each row's ends to whole pixels and
// truncates the levels, which costs up to half a pixel's change plus one
// level: within 3.
TEST_P(GouraudTest, ColoursAreTheBarycentricMix)
{
    const double tolerance = GetParam() == 2 ? 2.0 : 3.0;
    // Red, green and blue corners in device units (y up).
    const int vx[3] = {10, 90, 50}, vy[3] = {10, 10, 90};
    const int colours[3] = {0x0000FF, 0x00FF00, 0xFF0000};
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(3);
    for (size_t k = 0; k < 3; ++k) {
        p.x[k] = static_cast<float>(vx[k]);
        p.y[k] = static_cast<float>(vy[k]);
        gShadedPolygonBuffer.colour[k] = colours[k];
    }
    p.shadedCount = 3;
    gDeviceCapabilityWords.gradient[kScreenSide] = GetParam();
    YYGAPI(DeviceOp::kShadedPolygon);

    // The barycentric weights in surface pixels (the driver flips y).
    auto sy = [](int y) { return 99 - y; };
    const double x1 = vx[0], y1 = sy(vy[0]), x2 = vx[1], y2 = sy(vy[1]), x3 = vx[2], y3 = sy(vy[2]);
    const double det = (y2 - y3) * (x1 - x3) + (x3 - x2) * (y1 - y3);
    int checked = 0;
    for (int py = 0; py < 100; py += 3) {
        for (int px = 0; px < 100; px += 3) {
            const double w1 = ((y2 - y3) * (px - x3) + (x3 - x2) * (py - y3)) / det;
            const double w2 = ((y3 - y1) * (px - x3) + (x1 - x3) * (py - y3)) / det;
            const double w3 = 1 - w1 - w2;
            if (w1 < 0.05 || w2 < 0.05 || w3 < 0.05)
                continue;
            const int got = surface.Pixel(px, py);
            const double expected[3] = {255 * w1, 255 * w2, 255 * w3}; // red, green, blue
            for (int c = 0; c < 3; ++c) {
                const int level = (got >> (8 * c)) & 0xFF;
                EXPECT_NEAR(level, expected[c], tolerance) << px << "," << py << " channel " << c;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
    // Outside the triangle nothing changed.
    EXPECT_EQ(surface.Pixel(5, 5), kWhite);
    EXPECT_EQ(surface.Pixel(95, 50), kWhite);
}

// 1: pixel by pixel; 2: the system gradient fill.
INSTANTIATE_TEST_SUITE_P(Surfaces, GouraudTest, ::testing::Values(1, 2));

} // namespace

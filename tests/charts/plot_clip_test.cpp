// The clip option, the narrowing of the graphics area that keeps every world
// point in place, and the save and restore of the drawing state.
#include <array>
#include <vector>

#include "charts_fixture.h"
#include "graphics/coordinates.h"

namespace {

using PlotClipTest = ChartsTest;

struct DevicePoint {
    float x, y;
};

DevicePoint Device(float wx, float wy)
{
    DevicePoint p{};
    YYWorldToDevice(wx, wy, p.x, p.y);
    return p;
}

TEST_F(PlotClipTest, ClipOption)
{
    struct Case {
        const char* options;
        int clip;
    };
    for (const Case& c : {Case{"p", -1}, Case{"XPZ", -1}, Case{"G", 0}, Case{"", 0}, Case{"P", -1},
                          Case{"gq", 0}}) {
        IPgGraphOptions(c.options);
        EXPECT_EQ(gPgGraphState.clipToPlot, c.clip) << c.options;
    }
    // A new graph keeps the option.
    IPgGraphOptions("P");
    Begin(4, 2, {5});
    EXPECT_EQ(gPgGraphState.clipToPlot, -1);
}

TEST_F(PlotClipTest, PlotAreaSetKeepsWorldPointsInPlace)
{
    const std::array<std::array<float, 2>, 5> world = {
        {{-2.0f, 1.0f}, {5.0f, 11.0f}, {1.5f, 6.0f}, {0.0f, 3.0f}, {9.0f, -4.0f}}};
    for (int rotation : {0, 90, 180, 270}) {
        SCOPED_TRACE(rotation);
        Target(300, 200);
        gGraphicsState.pageRotation = rotation;
        IGrArea(0.05f, 0.1f, 0.95f, 0.9f);
        IGrUnits(-2.0f, 1.0f, 5.0f, 11.0f);
        const auto fractionSize = gGraphicsState.areaFractionSize;
        const auto textUnits = gGraphicsState.textUnitSize;
        std::vector<DevicePoint> before;
        for (const auto& p : world)
            before.push_back(Device(p[0], p[1]));

        YYPlotAreaSet(0.2f, 0.3f, 0.7f, 0.8f);

        const GraphicsState& g = gGraphicsState;
        EXPECT_FLOAT_EQ(g.areaFractions[0], 0.2f);
        EXPECT_FLOAT_EQ(g.areaFractions[3], 0.8f);
        EXPECT_EQ(g.textGeometryFrozen, 0);
        // Text keeps the size it has in the whole graphics area.
        EXPECT_EQ(g.areaFractionSize, fractionSize);
        EXPECT_EQ(g.textUnitSize, textUnits);
        for (size_t i = 0; i < world.size(); ++i) {
            DevicePoint p = Device(world[i][0], world[i][1]);
            EXPECT_NEAR(p.x, before[i].x, 0.01f) << i;
            EXPECT_NEAR(p.y, before[i].y, 0.01f) << i;
        }
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(PlotClipTest, ClippedDataSetKeepsPositionsAndIsRestoredExactly)
{
    for (int rotation : {0, 90, 180, 270}) {
        SCOPED_TRACE(rotation);
        Target(400, 300);
        gGraphicsState.pageRotation = rotation;
        IGrArea(0.05f, 0.1f, 0.95f, 0.8f);
        IGrUnits(-1.0f, -1.0f, 3.0f, 2.0f);
        IPgArea(0.0f, 0.0f, 10.0f, 100.0f);
        IPgPlotAreaFractions(0.15f, 0.1f, 0.85f, 0.95f);
        IPgGraphOptions("P");
        const GraphicsState area = gGraphicsState;
        const PgGraphState graph = gPgGraphState;

        const std::vector<std::array<float, 2>> data = {{0, 0}, {5, 50}, {10, 100}, {2.5f, 80}};
        std::vector<DevicePoint> before;
        for (const auto& d : data) {
            float wx, wy;
            YYPgToWorld(d[0], d[1], wx, wy);
            before.push_back(Device(wx, wy));
        }
        // A point outside the plot area but inside the graphics area.
        float ox, oy;
        YYPgToWorld(11.0f, 50.0f, ox, oy);
        DevicePoint outside = Device(ox, oy);
        EXPECT_TRUE(YYInsideClip(outside.x, outside.y));

        YYGraphAreaSelect();
        EXPECT_FLOAT_EQ(gPgGraphState.plotX1, 0.0f);
        EXPECT_FLOAT_EQ(gPgGraphState.plotY2, 1.0f);
        for (size_t i = 0; i < data.size(); ++i) {
            float wx, wy;
            YYPgToWorld(data[i][0], data[i][1], wx, wy);
            DevicePoint p = Device(wx, wy);
            EXPECT_NEAR(p.x, before[i].x, 0.01f) << i;
            EXPECT_NEAR(p.y, before[i].y, 0.01f) << i;
            EXPECT_TRUE(YYInsideClip(p.x, p.y)) << i;
        }
        YYPgToWorld(11.0f, 50.0f, ox, oy);
        outside = Device(ox, oy);
        EXPECT_FALSE(YYInsideClip(outside.x, outside.y));

        YYGraphAreaRestore();
        const GraphicsState& g = gGraphicsState;
        EXPECT_EQ(g.areaFractions, area.areaFractions);
        EXPECT_EQ(g.units, area.units);
        EXPECT_EQ(g.unitSize, area.unitSize);
        EXPECT_EQ(g.deviceArea, area.deviceArea);
        EXPECT_EQ(g.clipBox, area.clipBox);
        EXPECT_EQ(gPgGraphState.plotX1, graph.plotX1);
        EXPECT_EQ(gPgGraphState.plotY1, graph.plotY1);
        EXPECT_EQ(gPgGraphState.plotX2, graph.plotX2);
        EXPECT_EQ(gPgGraphState.plotY2, graph.plotY2);
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(PlotClipTest, WithoutTheClipOptionTheAreaStays)
{
    IGrArea(0.05f, 0.1f, 0.95f, 0.8f);
    const auto area = gGraphicsState.areaFractions;
    const auto units = gGraphicsState.units;
    IPgGraphOptions("G");
    recorder().Clear();
    YYGraphAreaSelect();
    EXPECT_EQ(gGraphicsState.areaFractions, area);
    EXPECT_FLOAT_EQ(gPgGraphState.plotX1, 0.1f);
    // The option switched on in between does not make the restore narrow back.
    IPgGraphOptions("P");
    YYGraphAreaRestore();
    EXPECT_EQ(gGraphicsState.areaFractions, area);
    EXPECT_EQ(gGraphicsState.units, units);
    EXPECT_TRUE(recorder().Of(kScreenSide, DeviceOp::kClip).empty());
}

TEST_F(PlotClipTest, DataSetDrawingLeavesTheDrawingStateAsFound)
{
    GraphicsState& g = gGraphicsState;
    IGrColourN(5);
    IGrColourN(7);
    const int dashed = 3;
    IGrLineStyleSelect(&dashed);
    const int fill = 3, density = 4, direction = 1;
    YYFillSettings(&fill, &density, &direction);
    gTextState.justification = 2;
    gTextState.slant = 0.25f;
    gTextState.stacking = 1;
    const GraphicsState before = g;

    YYGraphAreaSelect();
    IGrColourN(9);
    IGrColourN(11);
    const int solid = 0;
    IGrLineStyleSelect(&solid);
    const int other = -1;
    YYFillSettings(&other);
    gTextState.justification = 0;
    gTextState.slant = 0.0f;
    gTextState.stacking = 0;
    recorder().Clear();
    YYGraphAreaRestore();

    EXPECT_EQ(g.previousNumber, 5);
    EXPECT_EQ(g.currentNumber, 7);
    EXPECT_EQ(g.previousRgb, before.previousRgb);
    EXPECT_EQ(g.currentRgb, before.currentRgb);
    EXPECT_EQ(g.previousDevice, before.previousDevice);
    EXPECT_EQ(g.currentDevice, before.currentDevice);
    EXPECT_EQ(g.lineStyle, 3);
    EXPECT_EQ(g.fillMode, 3);
    EXPECT_EQ(g.hatchDensity, 4);
    EXPECT_EQ(g.hatchDirection, 1);
    EXPECT_EQ(g.outline, before.outline);
    EXPECT_EQ(gTextState.justification, 2);
    EXPECT_FLOAT_EQ(gTextState.slant, 0.25f);
    EXPECT_EQ(gTextState.stacking, 1);
    // Both colours went to the device, the saved previous one first, and
    // the changed line style once.
    auto colours = recorder().Of(kScreenSide, DeviceOp::kColour);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[0].state.currentNumber, 5);
    EXPECT_EQ(colours[1].state.currentNumber, 7);
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kLineStyle).size(), 1u);

    // An unchanged line style is not sent again.
    YYPlotStateSave(0);
    recorder().Clear();
    YYPlotStateSave(1);
    EXPECT_TRUE(recorder().Of(kScreenSide, DeviceOp::kLineStyle).empty());
}

TEST_F(PlotClipTest, AreaSaveModes)
{
    Target(400, 300);
    GraphicsState& g = gGraphicsState;
    IGrArea(0.1f, 0.2f, 0.6f, 0.7f);
    const auto deviceArea = g.deviceArea;
    YYPlotStateSave(2);
    YYAreaLimits(10.0f, 10.0f, 50.0f, 50.0f);
    YYPlotStateSave(3);
    EXPECT_EQ(g.deviceArea, deviceArea);
    EXPECT_FLOAT_EQ(g.areaFractions[2], 0.6f);

    // Mode 4 opens the limits to the whole target, once.
    recorder().Clear();
    YYPlotStateSave(4);
    EXPECT_EQ(g.integerArea, (std::array<int, 4>{0, 0, 399, 299}));
    EXPECT_FLOAT_EQ(g.areaFractions[0], 0.1f);
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kClip).size(), 1u);
    YYPlotStateSave(4);
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kClip).size(), 1u);
    // ...and mode 3 goes back to the area saved by mode 4.
    YYPlotStateSave(3);
    EXPECT_EQ(g.deviceArea, deviceArea);

    const GraphicsState before = g;
    recorder().Clear();
    YYPlotStateSave(5);
    YYPlotStateSave(-1);
    EXPECT_TRUE(recorder().ops.empty());
    EXPECT_EQ(g.deviceArea, before.deviceArea);
}

} // namespace

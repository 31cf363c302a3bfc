// The axes of an oblique graph on the worked example's base: data corners
// C1 (0, 0.25), C2 (0.5, 0.5), C3 (1, 0.25), C4 (0.5, 0). Target 200 x 100,
// plot area 0.1..0.9, so a data point (x, y) lies at world
// (0.1 + 0.8 x, 0.1 + 0.8 y); a tick length is 0.01 world units.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "charts/axes.h"
#include "charts/graph_ranges.h"
#include "charts/graph_settings.h"
#include "charts/graph_state.h"
#include "drawing_fixture.h"

namespace {

constexpr float kTol = 1e-4f;
const std::vector<std::string> kFifths = {"0", ".2", ".4", ".6", ".8", "1"};

float W(float v) { return 0.1f + 0.8f * v; }

class ObliqueAxesTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        Target(200, 100);
        Scales();
    }
    // A marker graph of 11 points and 5 sets with the worked example's view.
    void Example(float viewAngle = 0.0f)
    {
        Begin(7, 5, {11}, 1, 0);
        ASSERT_NE(gPgGraphState.threeDAxes, 0);
        ObliqueExampleView();
        gPgGraphState.viewAngle = viewAngle; // the quadrant only: the base stays
        ClearAll();
    }
    // Ticks expected at the data points (X0 + j DX, Y0 + j DY), j = 0..5,
    // pointing by (TX, TY), with labels JUSTIFIED at the tick plus (LX, 0).
    void ExpectAxis(float x0, float dx, float y0, float dy, float tx, float ty, float lx, int justified)
    {
        const auto ticks = Lines();
        ASSERT_EQ(ticks.size(), 6u);
        EXPECT_EQ(TextStrings(), kFifths);
        ASSERT_EQ(gTexts.size(), 6u);
        for (int j = 0; j <= 5; ++j) {
            SCOPED_TRACE(j);
            const float fj = static_cast<float>(j);
            const DrawnLine& l = ticks[static_cast<size_t>(j)];
            EXPECT_NEAR(l.x1, W(x0 + fj * dx), kTol);
            EXPECT_NEAR(l.y1, W(y0 + fj * dy), kTol);
            EXPECT_NEAR(l.x2 - l.x1, tx, kTol);
            EXPECT_NEAR(l.y2 - l.y1, ty, kTol);
            const DrawnText& d = gTexts[static_cast<size_t>(j)];
            EXPECT_NEAR(d.wx, l.x1 + lx, kTol);
            EXPECT_NEAR(d.wy, l.y1, kTol);
            EXPECT_EQ(d.justification, justified);
        }
    }
    // Whether the labels were measured first: every tick before any label.
    bool MeasuredFirst()
    {
        int lastLine = -1, firstText = -1, i = 0;
        for (const RecordedOp& r : recorder().ops) {
            if (r.side == kScreenSide && r.op == DeviceOp::kLine)
                lastLine = i;
            if (r.side == kScreenSide && r.op == DeviceOp::kText && firstText < 0)
                firstText = i;
            ++i;
        }
        return firstText > lastLine;
    }
};

TEST_F(ObliqueAxesTest, XAndYAxesAlongTheFrontEdgesAtView0)
{
    // x: from C4 to C3, ticks to the right, labels left-justified beyond.
    Example();
    IPgXAxis("NT");
    ExpectAxis(0.5f, 0.1f, 0.0f, 0.05f, 0.01f, 0.0f, 0.02f, 0);
    // y: from C1 to C4, ticks to the left, labels right-justified before.
    Example();
    IPgYAxis("NT");
    ExpectAxis(0.0f, 0.1f, 0.25f, -0.05f, -0.01f, 0.0f, -0.02f, 2);
}

TEST_F(ObliqueAxesTest, View100MirrorsTheXLabels)
{
    Example(100.0f);
    IPgXAxis("NT");
    ExpectAxis(0.5f, 0.1f, 0.0f, 0.05f, -0.01f, 0.0f, -0.02f, 2);
}

TEST_F(ObliqueAxesTest, ThirdAxisAtTheLeftmostCorner)
{
    Example();
    IPgZAxis("NT");
    // At C1, z at data y 0.25 + 0.5 z; ticks left, labels right-justified
    // 1.5 tick lengths to the left.
    ExpectAxis(0.0f, 0.0f, 0.25f, 0.1f, -0.01f, 0.0f, -0.015f, 2);
}

TEST_F(ObliqueAxesTest, LabelsNearlyAlongTheirEdgeAreMeasuredFirst)
{
    // On this target the x axis's edge stands at 14.04 degrees, the y axis's
    // at 165.96 (folded into 0..180).
    struct Case {
        int axis;
        float labelAngle;
        bool measured;
    };
    const Case cases[] = {
        {1, 0.0f, true},    {1, 5.0f, true},    {1, 30.0f, false},  {1, 179.0f, false},
        {1, 190.0f, true},  {2, 0.0f, true},    {2, 150.0f, false}, {2, 170.0f, true},
        {2, 350.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.axis) + " at " + std::to_string(c.labelAngle));
        Example();
        if (c.axis == 1) {
            IPgAxisAnglesX(0.0f, c.labelAngle);
            IPgXAxis("NT");
        } else {
            IPgAxisAnglesY(0.0f, c.labelAngle);
            IPgYAxis("NT");
        }
        EXPECT_EQ(gTexts.size(), 6u);
        EXPECT_EQ(MeasuredFirst(), c.measured);
    }
}

TEST_F(ObliqueAxesTest, MeasuredLabelsShrinkToOneEdgeStep)
{
    const std::string_view labels[] = {"ten chars.", "ten chars."};
    const float width = gTextState.charWidth;
    // One step of the x edge is (0.08, 0.04) world; its y counts 1 / aspect.
    const float step = std::hypot(0.08f, 0.04f / 2.0f);
    for (float angle : {0.0f, 30.0f}) {
        SCOPED_TRACE(angle);
        Example();
        IPgAxisAnglesX(0.0f, angle);
        IPgXAxisLabels(labels, 2);
        ASSERT_EQ(gTexts.size(), 6u);
        EXPECT_TRUE(Lines().empty());
        EXPECT_NEAR(gTexts[0].charWidth, angle == 0.0f ? step / 10.0f : width, 1e-5f);
        EXPECT_EQ(gTexts[2].text, " ");
    }
    EXPECT_EQ(gTextState.charWidth, width);
}

TEST_F(ObliqueAxesTest, CellGraphsLabelTheMiddlesOfTheirCells)
{
    // Two cells along the sets: labels userY1 and userY2 at their middles,
    // a quarter and three quarters of the way from C1 to C4.
    Begin(10, 1, {11, 2, 3}, 1, 0);
    ClearAll();
    IPgYAxis("NT");
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"0", "1"}));
    const auto ticks = Lines();
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_NEAR(ticks[0].x1, W(0.125f), kTol);
    EXPECT_NEAR(ticks[0].y1, W(0.1875f), kTol);
    EXPECT_NEAR(ticks[1].x1, W(0.375f), kTol);
    EXPECT_NEAR(ticks[1].y1, W(0.0625f), kTol);

    // A graph begun with one point gets two cells and no interval: the
    // label step counts one interval.
    Begin(10, 1, {1, 2, 3}, 1, 0);
    ASSERT_EQ(gPgGraphState.pointIntervals, 0.0f);
    ClearAll();
    IPgXAxis("N");
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"0", "1"}));
}

} // namespace

// Graph title and axis labels: placement, fitting, turning, stacking and the
// restore of the text state.
#include <cmath>
#include <string>

#include "charts/graph_ranges.h"
#include "charts/graph_settings.h"
#include "charts/graph_state.h"
#include "charts/titles.h"
#include "drawing_fixture.h"
#include "fonts/text_font.h"

namespace {

class TitlesTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        Begin(4, 1, {11}, 0, 0);
        IPgArea(0.0f, 0.0f, 2.5f, 1.0f);
        const float w = 0.0133f, h = 0.0333f;
        WGrTextFont(nullptr, nullptr, &w, &h);
        ClearAll();
    }
};

TEST_F(TitlesTest, BlankTextDrawsAndChangesNothing)
{
    const TextState before = gTextState;
    IPgTitle("      ", "C");
    IPgYLabel("", "CV");
    EXPECT_TRUE(recorder().ops.empty());
    EXPECT_EQ(gTextState.justification, before.justification);
    EXPECT_EQ(gTextState.charWidth, before.charWidth);
}

TEST_F(TitlesTest, TitleAndXLabelAtTheirFractionOfTheMargin)
{
    IPgTitleFraction(0.5f);
    IPgTitle("Splines   ", "C");
    IPgXLabelFraction(0.7f);
    IPgXLabel("X", "C");
    ASSERT_EQ(gTexts.size(), 2u);
    EXPECT_EQ(gTexts[0].text, "Splines");
    EXPECT_EQ(gTexts[0].justification, 1);
    EXPECT_NEAR(gTexts[0].wx, 0.5f, 1e-3f);
    EXPECT_NEAR(gTexts[0].wy, 0.95f, 1e-3f);
    EXPECT_NEAR(gTexts[1].wy, 0.1f * 0.3f, 1e-3f);
    // "LR": L wins, the text starts at the plot's left edge.
    ClearAll();
    IPgTitle("Left", "LR");
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_EQ(gTexts[0].justification, 0);
    EXPECT_NEAR(gTexts[0].wx, 0.1f, 1e-3f);
    EXPECT_EQ(gTextState.justification, 1);
}

TEST_F(TitlesTest, LongTitleShrinksToThePlotWidthAndTheSizeComesBack)
{
    const std::string text(100, 'W'); // 100 characters at 0.0133 exceed 0.8
    const float w = gTextState.charWidth, h = gTextState.charHeight;
    IPgTitle(text);
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_NEAR(gTexts[0].charWidth, 0.8f / 100.0f, 1e-6f);
    EXPECT_NEAR(gTexts[0].charHeight, h * (0.8f / 100.0f) / w, 1e-6f);
    EXPECT_EQ(gTextState.charWidth, w);
    EXPECT_EQ(gTextState.charHeight, h);
}

TEST_F(TitlesTest, NarrowTopMarginKeepsHalfACharacterFromTheEdge)
{
    IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.995f);
    IPgTitle("T");
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_NEAR(gTexts[0].wy, 1.0f - 0.5f * gTextState.charHeight, 1e-4f);
}

TEST_F(TitlesTest, StackedYLabelIsLimitedToThePlotHeight)
{
    IPgYLabelFraction(0.8f);
    IPgYLabel("T", "CV");
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_EQ(gTexts[0].stacking, 1);
    EXPECT_EQ(gTexts[0].justification, 1);
    EXPECT_NEAR(gTexts[0].wx, 0.1f * 0.2f, 1e-3f);
    EXPECT_EQ(gTextState.stacking, 0);

    // 40 characters (trailing blanks not counted) in 0.8 of the height.
    ClearAll();
    const std::string text = std::string(40, 'y') + "    ";
    IPgYLabel(text);
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_NEAR(gTexts[0].charHeight, 0.8f / 40.0f, 1e-6f);
    EXPECT_EQ(gTexts[0].text.size(), 40u);
}

TEST_F(TitlesTest, TurnedYLabelsAndTheirEnds)
{
    struct Case {
        const char* options;
        float angle;
        int stacking;
        int justification;
        float y; // world y of the reference point
    };
    const Case cases[] = {
        {"R9", 270.0f, 0, 1, 0.5f}, {"9", 90.0f, 0, 1, 0.5f}, {"9T", 90.0f, 0, 2, 0.9f},
        {"RT", 270.0f, 0, 0, 0.9f}, {"T", 0.0f, 1, 0, 0.9f},  {"9B", 90.0f, 0, 0, 0.1f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        ClearAll();
        IPgYLabel("Label", c.options);
        ASSERT_EQ(gTexts.size(), 1u);
        EXPECT_EQ(gTexts[0].angle, c.angle);
        EXPECT_EQ(gTexts[0].stacking, c.stacking);
        EXPECT_EQ(gTexts[0].justification, c.justification);
        if (c.stacking == 0) {
            EXPECT_NEAR(gTexts[0].wy, c.y, 1e-3f);
        }
        EXPECT_EQ(gTextState.angle, 0.0f);
    }
}

TEST_F(TitlesTest, ThirdAxisLabelNeedsAnObliqueGraph)
{
    const float w = gTextState.charWidth;
    IPgZLabel("Z", "C");
    EXPECT_TRUE(gTexts.empty());
    EXPECT_EQ(gTextState.charWidth, w);
}

TEST_F(TitlesTest, ObliqueLabelsRunAlongTheNearEdgesBelowTheBase)
{
    Begin(7, 5, {11}, 1, 0);
    PgGraphState& s = gPgGraphState;
    ASSERT_NE(s.threeDAxes, 0);
    ObliqueExampleView();
    ClearAll();
    IPgXLabel("Points");
    IPgYLabel("Sets");
    ASSERT_EQ(gTexts.size(), 2u);
    // Corner 4 (0.5, 0) lies below corner 2: the x label runs from corner 4
    // to corner 3 (1, 0.25), the y label from corner 1 (0, 0.25) to corner 4.
    const float A = gGraphicsState.aspect;
    auto angleOf = [&](float x1, float y1, float x2, float y2) {
        float dx = YYPgToWorldX(x2) - YYPgToWorldX(x1), dy = YYPgToWorldY(y2) - YYPgToWorldY(y1);
        float a = std::atan2(dy / A, dx) / 0.017453292f;
        return a < 0.0f ? a + 360.0f : a;
    };
    EXPECT_NEAR(gTexts[0].angle, angleOf(0.5f, 0.0f, 1.0f, 0.25f), 0.01f);
    EXPECT_NEAR(gTexts[1].angle, angleOf(0.0f, 0.25f, 0.5f, 0.0f), 0.01f);
    // Both centred, below the middle of their edge.
    EXPECT_EQ(gTexts[0].justification, 1);
    EXPECT_LT(gTexts[0].wy, YYPgToWorldY(0.125f));
    EXPECT_LT(gTexts[1].wy, YYPgToWorldY(0.125f));
    EXPECT_EQ(gTextState.angle, 0.0f);
    EXPECT_EQ(gTextState.stacking, 0);
}

} // namespace

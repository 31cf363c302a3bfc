// Axis drawing: options, plain linear and logarithmic x and y axes, caller
// labels, positions, label shrinking and the restore of the text state.
#include <cmath>
#include <string>
#include <vector>

#include "charts/axes.h"
#include "charts/graph_ranges.h"
#include "charts/graph_settings.h"
#include "charts/graph_state.h"
#include "drawing_fixture.h"
#include "fonts/text_font.h"

namespace {

class AxesTest : public DrawingTest {
protected:
    void Graph(float x1, float y1, float x2, float y2)
    {
        Begin(4, 1, {11}, 0, 0);
        IPgArea(x1, y1, x2, y2);
        ClearAll();
    }
    // Tick marks: the lines drawn on the screen side.
    std::vector<DrawnLine> Ticks() { return Lines(); }
};

TEST_F(AxesTest, LinearXAxisTicksDownAndCentresLabelsInTheMargin)
{
    Graph(0.0f, 0.0f, 2.5f, 1.0f);
    IPgXAxis("NT");
    const auto ticks = Ticks();
    ASSERT_EQ(ticks.size(), 13u);
    const float y1w = YYPgToWorldY(0.0f), y2w = YYPgToWorldY(1.0f);
    const float length = (y1w - y2w) / 80.0f; // outward: downward
    for (size_t i = 0; i < ticks.size(); ++i) {
        const float x = YYPgToWorldX(0.2f * static_cast<float>(i));
        EXPECT_NEAR(ticks[i].x1, x, 1e-3f);
        EXPECT_NEAR(ticks[i].y1, y1w, 1e-3f);
        EXPECT_NEAR(ticks[i].y2 - ticks[i].y1, length, 1e-3f);
    }
    const std::vector<std::string> expected = {"0",   ".2",  ".4",  ".6", ".8",  "1",  "1.2",
                                               "1.4", "1.6", "1.8", "2",  "2.2", "2.4"};
    EXPECT_EQ(TextStrings(), expected);
    for (const DrawnText& d : gTexts) {
        EXPECT_EQ(d.justification, 1);
        EXPECT_NEAR(d.wy, y1w - y1w * 0.38f, 1e-3f);
    }
    // The text state is as before.
    EXPECT_EQ(gTextState.justification, 1);
    EXPECT_EQ(gTextState.stacking, 0);
}

TEST_F(AxesTest, LinearYAxisRightJustifiedAtOneAndAHalfTicks)
{
    Graph(0.0f, 0.0f, 2.5f, 1.0f);
    const float width = gTextState.charWidth;
    IPgYAxis("NT");
    const auto ticks = Ticks();
    ASSERT_EQ(ticks.size(), 11u);
    const float x1w = YYPgToWorldX(0.0f), x2w = YYPgToWorldX(2.5f);
    const float tick = std::fabs(x1w - x2w) / 80.0f;
    for (const DrawnLine& l : ticks)
        EXPECT_NEAR(l.x2 - l.x1, -tick, 1e-4f);
    const std::vector<std::string> expected = {"0", ".1", ".2", ".3", ".4", ".5", ".6", ".7", ".8", ".9", "1"};
    EXPECT_EQ(TextStrings(), expected);
    for (size_t i = 0; i < gTexts.size(); ++i) {
        EXPECT_EQ(gTexts[i].justification, 2);
        EXPECT_NEAR(gTexts[i].wx, x1w - 1.5f * tick, 1e-3f);
        EXPECT_NEAR(gTexts[i].wy, YYPgToWorldY(0.1f * static_cast<float>(i)), 1e-3f);
        EXPECT_EQ(gTexts[i].charWidth, width); // horizontal text: no shrinking
    }
}

TEST_F(AxesTest, OptionLetters)
{
    struct Case {
        const char* options;
        size_t ticks, labels;
        float direction; // sign of the tick along y (x axis)
    };
    const Case cases[] = {
        {"T", 11, 0, -1.0f}, {"N", 0, 11, 0.0f},   {"I", 11, 0, 1.0f},
        {"in", 11, 11, 1.0f}, {"   ", 11, 11, -1.0f}, {"Q", 0, 0, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        Graph(0.0f, 0.0f, 1.0f, 1.0f); // ticks at 0, .1, ..., 1
        IPgXAxis(c.options);
        const auto ticks = Ticks();
        EXPECT_EQ(ticks.size(), c.ticks);
        EXPECT_EQ(gTexts.size(), c.labels);
        for (const DrawnLine& l : ticks)
            EXPECT_GT((l.y2 - l.y1) * c.direction, 0.0f);
    }
}

TEST_F(AxesTest, CallerLabelsWithoutTicksBlankBeyondN)
{
    Graph(0.0f, 0.0f, 2.6f, 1.0f); // x ticks at 0, .5, ..., 2.5: six positions
    const std::string_view labels[] = {"Mon  ", "Tue", "unused"};
    IPgXAxisLabels(labels, 2);
    EXPECT_TRUE(Ticks().empty());
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"Mon", "Tue", " ", " ", " ", " "}));
    // N beyond the array reads no further than the array.
    ClearAll();
    IPgXAxisLabels(std::span<const std::string_view>(labels, 1), 4);
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"Mon", " ", " ", " ", " ", " "}));
}

TEST_F(AxesTest, YAxisStandsAtZeroWhileLabelsStayAtTheEdge)
{
    Graph(-2.0f, -1.0f, 3.0f, 1.0f);
    IPgYAxis("NT");
    const float x0 = YYPgToWorldX(0.0f), x1w = YYPgToWorldX(-2.0f);
    for (const DrawnLine& l : Ticks())
        EXPECT_NEAR(l.x1, x0, 1e-4f);
    const float tick = std::fabs(x1w - YYPgToWorldX(3.0f)) / 80.0f;
    for (const DrawnText& d : gTexts)
        EXPECT_NEAR(d.wx, x1w - 1.5f * tick, 1e-3f);
    // A stored position wins over zero.
    ClearAll();
    const float at = 2.0f;
    IPgYAxisPosition(1, &at);
    IPgYAxis("T");
    for (const DrawnLine& l : Ticks())
        EXPECT_NEAR(l.x1, YYPgToWorldX(2.0f), 1e-4f);
}

TEST_F(AxesTest, ResidueOfZeroReadsZero)
{
    Graph(0.0f, -0.2f, 1.0f, 0.8f); // -0.2, -0.1, 0, ..., 0.8 by steps of 0.1
    IPgYAxis("N");
    const auto texts = TextStrings();
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[0], "-.2");
    EXPECT_EQ(texts[1], "-.1");
    EXPECT_EQ(texts[2], "0");
    EXPECT_EQ(texts[10], ".8");
}

TEST_F(AxesTest, RightHandYAxisLeftJustifiedTicksPointRight)
{
    Graph(0.0f, 0.0f, 1.0f, 1.0f);
    IPgYAxis2("NT");
    const float x2w = YYPgToWorldX(1.0f);
    const float tick = std::fabs(YYPgToWorldX(0.0f) - x2w) / 80.0f;
    ASSERT_FALSE(Ticks().empty());
    for (const DrawnLine& l : Ticks()) {
        EXPECT_NEAR(l.x1, x2w, 1e-4f);
        EXPECT_NEAR(l.x2 - l.x1, tick, 1e-4f);
    }
    for (const DrawnText& d : gTexts) {
        EXPECT_EQ(d.justification, 0);
        EXPECT_NEAR(d.wx, x2w + 1.5f * tick, 1e-3f);
    }
}

TEST_F(AxesTest, LogarithmicAxisDecadesAndMinorTicks)
{
    Begin(4, 1, {11}, 0, 0);
    IPgArea(2.0f, 1.0f, 800.0f, 10.0f);
    IPgLogAxes("LOG", "LIN");
    ASSERT_NE(gPgGraphState.xLog, 0);
    ClearAll();
    IPgXAxis("NT");
    // Texts: "10" and its exponent for each labelled decade.
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"10", "1", "10", "2"}));
    const auto ticks = Ticks();
    // 2..9, 10, 20..90, 100, 200..800.
    ASSERT_EQ(ticks.size(), 8u + 1u + 8u + 1u + 7u);
    const float full = ticks[8].y2 - ticks[8].y1;
    EXPECT_NEAR(ticks[0].y2 - ticks[0].y1, full / 2.0f, 1e-4f);
    EXPECT_NEAR(ticks[8].x1, YYPgToWorldX(10.0f), 1e-4f);
    EXPECT_NEAR(ticks.back().x1, YYPgToWorldX(800.0f), 1e-4f);
    // The exponent is smaller, raised, left-justified; the "10" right-justified.
    ASSERT_EQ(gTexts.size(), 4u);
    EXPECT_EQ(gTexts[0].justification, 2);
    EXPECT_EQ(gTexts[1].justification, 0);
    EXPECT_NEAR(gTexts[1].charWidth, 0.6f * gTexts[0].charWidth, 1e-6f);
    EXPECT_GT(gTexts[1].wy, gTexts[0].wy);
    EXPECT_NEAR(gTexts[0].wx, YYPgToWorldX(10.0f), 1e-4f);

    // Within one decade every multiple is labelled "m*10" with exponent "0".
    IPgArea(2.0f, 1.0f, 8.0f, 10.0f);
    ClearAll();
    IPgXAxis("NT");
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"2*10", "0", "3*10", "0", "4*10", "0", "5*10", "0",
                                                        "6*10", "0", "7*10", "0", "8*10", "0"}));
}

TEST_F(AxesTest, LongLabelsShrinkToOneTickSpacingAndTheSizeComesBack)
{
    Graph(0.0f, 0.0f, 1.0e6f, 1.0f); // labels in exponent form, each many characters
    const float width = gTextState.charWidth, height = gTextState.charHeight;
    IPgXAxis("N");
    ASSERT_GE(gTexts.size(), 2u);
    const float spacing = YYPgToWorldX(1.0e5f) - YYPgToWorldX(0.0f);
    size_t longest = 0;
    for (const DrawnText& d : gTexts)
        longest = std::max(longest, d.text.size());
    EXPECT_LT(gTexts[0].charWidth, width);
    EXPECT_NEAR(gTexts[0].charWidth, spacing / static_cast<float>(longest), 1e-4f);
    EXPECT_NEAR(gTexts[0].charHeight / gTexts[0].charWidth, height / width, 1e-3f);
    EXPECT_EQ(gTextState.charWidth, width);
    EXPECT_EQ(gTextState.charHeight, height);
}

TEST_F(AxesTest, TurnedLabelsAndTheRestoreOfTheAngle)
{
    Graph(0.0f, 0.0f, 1.0f, 1.0f);
    IPgAxisAnglesX(0.0f, 90.0f);
    IPgXAxis("N");
    ASSERT_FALSE(gTexts.empty());
    for (const DrawnText& d : gTexts) {
        EXPECT_EQ(d.angle, 90.0f);
        EXPECT_EQ(d.justification, 2); // quadrant 1 of a bottom x axis
    }
    EXPECT_EQ(gTextState.angle, 0.0f);
}

} // namespace

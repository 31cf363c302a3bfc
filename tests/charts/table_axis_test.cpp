// The row and column labels of a table graph (type 9): the bands beside and
// below the plot with their grids, the characters shrunk into the cells, the
// band kept inside the graphics area, the filled band, and the entries that
// draw nothing. Target 200 x 100, plot area 0.1..0.9, units 0..1.
#include <string>
#include <string_view>
#include <vector>

#include "charts/axes.h"
#include "charts/graph_state.h"
#include "drawing_fixture.h"

namespace {

constexpr float kTol = 1e-4f;
const std::string_view kRows[] = {"Alpha", "Beta", "Gamma"};

class TableAxisTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        Target(200, 100);
        Scales();
    }
    // A table of 5 rows (points) and 3 columns (sets).
    void Table(int bits = 0)
    {
        Begin(9, 3, {5}, bits, 0);
        ClearAll();
    }
};

TEST_F(TableAxisTest, RowLabelsFromTheTopRowInARuledBand)
{
    Table();
    const float cw = gGraphicsState.textUnitSize[0] * gTextState.charWidth;
    IPgYAxisLabels(kRows, 3);
    // The band is as wide as the longest label and one character more, left
    // of the plot; the labels start half a character into it.
    const float outer = 0.1f - 6.0f * cw;
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    for (size_t i = 0; i < gTexts.size(); ++i) {
        EXPECT_EQ(gTexts[i].justification, 0);
        EXPECT_NEAR(gTexts[i].wx, outer + 0.5f * cw, kTol);
        EXPECT_NEAR(gTexts[i].wy, 0.9f - (static_cast<float>(i) + 0.5f) * 0.16f, kTol);
    }
    // The two long edges, then the borders of the five rows.
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u + 6u);
    EXPECT_NEAR(lines[0].x1, 0.1f, kTol);
    EXPECT_NEAR(lines[1].x1, outer, kTol);
    for (const DrawnLine& l : {lines[0], lines[1]}) {
        EXPECT_NEAR(l.x2, l.x1, kTol);
        EXPECT_NEAR(l.y1, 0.1f, kTol);
        EXPECT_NEAR(l.y2, 0.9f, kTol);
    }
    for (int j = 0; j <= 5; ++j) {
        const DrawnLine& l = lines[static_cast<size_t>(2 + j)];
        EXPECT_NEAR(l.y1, 0.1f + 0.16f * static_cast<float>(j), kTol);
        EXPECT_NEAR(l.y2, l.y1, kTol);
        EXPECT_NEAR(l.x1, 0.1f, kTol);
        EXPECT_NEAR(l.x2, outer, kTol);
    }
    EXPECT_EQ(gTextState.angle, 0.0f);
}

TEST_F(TableAxisTest, ColumnLabelsCentredBelowOrAbove)
{
    const std::string_view columns[] = {"a", "b", "c"};
    const float ch = gGraphicsState.textUnitSize[1] * gTextState.charHeight;
    for (bool above : {false, true}) {
        SCOPED_TRACE(above);
        Table();
        if (above)
            IPgXAxis2Labels(columns, 3);
        else
            IPgXAxisLabels(columns, 3);
        const float edge = above ? 0.9f : 0.1f, outer = above ? edge + 1.5f * ch : edge - 1.5f * ch;
        ASSERT_EQ(gTexts.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(gTexts[i].justification, 1);
            EXPECT_NEAR(gTexts[i].wx, 0.1f + (static_cast<float>(i) + 0.5f) * 0.8f / 3.0f, kTol);
            EXPECT_NEAR(gTexts[i].wy, (edge + outer) / 2.0f, kTol);
        }
        const auto lines = Lines();
        ASSERT_EQ(lines.size(), 2u + 4u);
        EXPECT_NEAR(lines[1].y1, outer, kTol);
        EXPECT_NEAR(lines[5].x1, 0.9f, kTol);
        EXPECT_NEAR(lines[5].y1, edge, kTol);
        EXPECT_NEAR(lines[5].y2, outer, kTol);
    }
}

TEST_F(TableAxisTest, LongLabelsStayInsideTheAreaAndShrink)
{
    Table();
    const std::string_view longLabel[] = {"A row label of 28 characters"};
    IPgYAxisLabels(longLabel, 1);
    // The band reaches the left edge of the graphics area and no further;
    // 29 characters fit its width.
    const auto lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NEAR(lines[1].x1, 0.0f, kTol);
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_NEAR(gTexts[0].charWidth, 0.1f / 29.0f, 1e-5f);
}

TEST_F(TableAxisTest, FilledBandInThePreviousColour)
{
    Table(8);
    ASSERT_NE(gPgGraphState.optionFlag8, 0);
    IGrColourN(7);
    IGrColourN(9);
    const int fill = gGraphicsState.fillMode;
    ClearAll();
    IPgYAxisLabels(kRows, 3);
    const auto bands = recorder().Of(kScreenSide, DeviceOp::kRectangleSolid);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].state.currentNumber, 7);
    for (const RecordedOp& r : recorder().Of(kScreenSide, DeviceOp::kText))
        EXPECT_EQ(r.state.currentNumber, 9);
    EXPECT_EQ(gGraphicsState.currentNumber, 9);
    EXPECT_EQ(gGraphicsState.fillMode, fill);
}

TEST_F(TableAxisTest, EntriesThatDrawNothingOrOnlyWhatTheArrayHolds)
{
    // An option string only prepares and restores.
    Table();
    IPgYAxis("NT");
    EXPECT_TRUE(recorder().Of(kScreenSide, DeviceOp::kLine).empty());
    EXPECT_TRUE(gTexts.empty());
    // A count far beyond the array: its three labels, the rest blank.
    Table();
    IPgYAxisLabels(kRows, 2000000000);
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(Lines().size(), 8u);
}

} // namespace

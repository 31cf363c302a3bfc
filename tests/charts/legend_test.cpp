// Legend entries (sample kinds, number column, angles) and the legend in
// each layout (list, row, turned and stacked columns, curve ends), with
// title, frame and background.
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "charts/graph_ranges.h"
#include "charts/graph_settings.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "charts/legend_entries.h"
#include "drawing_fixture.h"
#include "fonts/text_font.h"

namespace {

const std::string_view kSeven[] = {"T1  ", "T2  ", "T3  ", "T4  ", "T5  ", "T6  ", "T7  "};

class LegendTest : public DrawingTest {
protected:
    // A type-4 graph of N sets drawn as lines in colours 10, 11, ...
    void Lines(int n)
    {
        Begin(4, n, {11}, 0, 0);
        IPgArea(0.0f, 0.0f, 2.5f, 1.0f);
        const int zero = 0;
        for (int i = 1; i <= n; ++i) {
            const int colour = 9 + i;
            IPgDataSetStyle(i, &zero, &zero, &zero, &colour);
        }
        IPgLegendArea(1.0f, 1.0f, 0.0f, 0.0f);
        ClearAll();
    }
    std::vector<const DrawnText*> Labels(int n)
    {
        std::vector<const DrawnText*> out;
        for (int i = 1; i <= n; ++i) {
            const DrawnText* d = FindText("T" + std::to_string(i));
            EXPECT_TRUE(d) << "T" << i;
            out.push_back(d);
        }
        return out;
    }
};

TEST_F(LegendTest, VerticalListOfTheApplication)
{
    Lines(7);
    IPgLegendDraw(kSeven, "");
    auto labels = Labels(7);
    ASSERT_EQ(gTexts.size(), 7u);
    for (int k = 1; k <= 7; ++k) {
        const DrawnText* d = labels[static_cast<size_t>(k - 1)];
        ASSERT_TRUE(d);
        EXPECT_NEAR(d->wy, 0.5f + (4.0f - static_cast<float>(k)) * 0.8f / 8.0f, 1e-4f);
        EXPECT_GT(d->wx, 0.9f);
        EXPECT_LT(d->wx, 1.0f);
        EXPECT_EQ(d->justification, 0);
    }
    // One line sample per set, in its colour, 2.15 cells long, 0.2 of a cell
    // before its label.
    const auto lines = DrawingTest::Lines();
    ASSERT_EQ(lines.size(), 7u);
    const auto colourOps = Colours();
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(lines[i].y1, lines[i].y2, 1e-5f);
        const float cell = (labels[i]->wx - lines[i].x1) / 2.35f;
        EXPECT_NEAR(lines[i].x2 - lines[i].x1, 2.1499999f * cell, 1e-4f);
    }
    std::vector<int> sampleColours;
    for (const RecordedOp& r : recorder().Of(kScreenSide, DeviceOp::kLine))
        sampleColours.push_back(r.state.currentNumber);
    EXPECT_EQ(sampleColours, (std::vector<int>{10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(gTextState.justification, 1);
}

TEST_F(LegendTest, ReverseOrderOneSetAndShortDescriptionArrays)
{
    Lines(7);
    IPgLegendDraw(kSeven, "R");
    auto labels = Labels(7);
    EXPECT_GT(labels[6]->wy, labels[0]->wy); // set 7 on top

    Lines(1);
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 1), "");
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_NEAR(gTexts[0].wy, 0.5f, 1e-4f);

    // Three sets, two descriptions: the third entry gets a blank label.
    Lines(3);
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 2), "");
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"T1", "T2", " "}));
}

TEST_F(LegendTest, RowBelowThePlotIgnoresTheTitle)
{
    Lines(3);
    const std::string_view title = "Title";
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 3), "X", &title);
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"T1", "T2", "T3"}));
    // 30 % up the band between the area's bottom and the plot.
    for (const DrawnText& d : gTexts)
        EXPECT_NEAR(d.wy, 0.3f * 0.1f, 1e-4f);
    EXPECT_LT(gTexts[0].wx, gTexts[1].wx);
    EXPECT_LT(gTexts[1].wx, gTexts[2].wx);
    // The room left is spread: the last label ends at the plot's right edge
    // less half a cell.
    EXPECT_GT(gTexts[2].wx, 0.7f);
}

TEST_F(LegendTest, TurnedAndStackedColumns)
{
    Lines(3);
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 3), "9V");
    ASSERT_EQ(gTexts.size(), 3u);
    for (const DrawnText& d : gTexts) {
        EXPECT_EQ(d.angle, 90.0f); // 9 wins over V
        EXPECT_EQ(d.stacking, 0);
    }
    EXPECT_LT(gTexts[0].wx, gTexts[1].wx);
    EXPECT_EQ(gTextState.angle, 0.0f);

    ClearAll();
    const std::string_view title = "Sets";
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 3), "V", &title);
    ASSERT_EQ(gTexts.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gTexts[static_cast<size_t>(i)].stacking, 1);
        EXPECT_EQ(gTexts[static_cast<size_t>(i)].angle, 0.0f);
    }
    EXPECT_EQ(gTexts[3].text, "Sets");
    EXPECT_EQ(gTexts[3].stacking, 0);
    EXPECT_GT(gTexts[3].wy, gTexts[0].wy);
    EXPECT_EQ(gTextState.stacking, 0);
}

// Turned columns: the n columns of characters turned by 90 degrees share
// the band's width, so a character's height on the device is the band's
// width over n whatever the target's and the graphics area's shape (the
// height limit fw x (area width / area height) x aspect / n; with the
// reciprocal factor the columns overlap on a tall target and shrink far on a
// wide one).
TEST_F(LegendTest, TurnedColumnsShareTheBandWidthOnAnyTarget)
{
    struct Case {
        int width, height;
        float areaWidth;
    };
    for (const Case& k : {Case{400, 300, 1.0f}, Case{300, 400, 1.0f}, Case{400, 400, 0.5f}}) {
        SCOPED_TRACE(testing::Message() << k.width << " x " << k.height << ", area width " << k.areaWidth);
        Target(k.width, k.height);
        IGrArea(0.0f, 0.0f, k.areaWidth, 1.0f);
        IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
        Lines(3);
        YYCharSize(0.5f, 0.5f); // larger than both limits
        IPgLegendDraw(std::span<const std::string_view>(kSeven, 3), "9");
        ASSERT_EQ(gTexts.size(), 3u);
        const auto& area = gGraphicsState.orientedAreaSize;
        const float band = 0.1f * area[0]; // fw = 1 - plot's right edge 0.9
        const float glyph = gTexts[0].charHeight * area[1];
        EXPECT_NEAR(3.0f * glyph, band, 0.01f * band);
        // Along the column the entry fits with room to spare.
        EXPECT_LT((3.35f + 2.0f) * gTexts[0].charWidth * area[0], 0.8f * area[1]);
    }
}

TEST_F(LegendTest, FrameWithTitleLineAndBackgroundWithoutFrame)
{
    Lines(2);
    const std::string_view title = "Legend";
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 2), "B", &title);
    // The outline rectangle and the separator: lines that are not samples.
    const DrawnText* t = FindText("Legend");
    ASSERT_TRUE(t);
    bool separator = false;
    for (const DrawnLine& l : DrawingTest::Lines())
        if (std::fabs(l.y1 - l.y2) < 1e-5f && l.y1 < t->wy && l.y1 > gTexts[0].wy && std::fabs(l.x2 - l.x1) > 0.05f)
            separator = true;
    EXPECT_TRUE(separator);
    EXPECT_GT(DrawingTest::Lines().size(), 2u);

    // C alone: one solid rectangle in colour 0 and no outline.
    Lines(2);
    IGrColourN(40);
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 2), "C");
    const auto solids = recorder().Of(kScreenSide, DeviceOp::kRectangleSolid);
    ASSERT_EQ(solids.size(), 1u);
    EXPECT_EQ(solids[0].state.currentNumber, 0);
    EXPECT_EQ(DrawingTest::Lines().size(), 2u); // the two samples only
    EXPECT_EQ(gGraphicsState.currentNumber, 40);
}

TEST_F(LegendTest, AreaOnlyInXIsNoAreaAndCurveEnds)
{
    Lines(2);
    IPgLegendArea(0.1f, 0.5f, 0.4f, 0.2f); // y2 <= y1
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 2), "");
    ASSERT_EQ(gTexts.size(), 2u);
    EXPECT_GT(gTexts[0].wx, 0.9f);

    // E labels the curve ends half a character to the right.
    Lines(2);
    gSetEndTable.endX = {2.5f, 2.5f};
    gSetEndTable.endY = {0.25f, 0.75f};
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 2), "E");
    ASSERT_EQ(gTexts.size(), 2u);
    EXPECT_EQ(gTexts[0].text, "T1  "); // the full description
    EXPECT_NEAR(gTexts[0].wx, 0.9f + 0.5f * gTextState.charWidth, 1e-4f);
    EXPECT_NEAR(gTexts[1].wy, YYPgToWorldY(0.75f), 1e-4f);
    EXPECT_TRUE(DrawingTest::Lines().empty());

    // E on a marker graph draws the list.
    Begin(7, 2, {3}, 0, 0);
    ClearAll();
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 2), "E");
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"T1", "T2"}));
}

TEST_F(LegendTest, NoRoomKeepsTheSize)
{
    Lines(3);
    IPgPlotAreaFractions(0.1f, 0.1f, 1.0f, 0.9f); // no band right of the plot
    const float w = gTextState.charWidth;
    IPgLegendDraw(std::span<const std::string_view>(kSeven, 3), "");
    // The entries stand beyond the area's right edge and are clipped away;
    // the characters never became 0 or the default size.
    for (const DrawnText& d : gTexts)
        EXPECT_EQ(d.charWidth, w);
    EXPECT_EQ(gTextState.charWidth, w);
    EXPECT_TRUE(TakeReports().empty());
}

class LegendEntryTest : public DrawingTest {};

TEST_F(LegendEntryTest, AnglesAreHorizontalOrVertical)
{
    Begin(4, 2, {11}, 0, 1);
    struct Case {
        float angle, drawn;
    };
    for (const Case& c : {Case{45.0f, 0.0f}, Case{90.0f, 90.0f}, Case{270.0f, 270.0f}, Case{180.0f, 180.0f}}) {
        SCOPED_TRACE(c.angle);
        YYTextAngle(c.angle);
        ClearAll();
        YYLegendEntryDraw(1, 0.5f, 0.5f, "L");
        const DrawnText* label = FindText("L");
        ASSERT_TRUE(label);
        EXPECT_EQ(label->angle, c.drawn);
        EXPECT_EQ(gTextState.angle, c.angle);
    }
}

TEST_F(LegendEntryTest, SampleKinds)
{
    Begin(4, 3, {11}, 0, 0);
    DataSetStyle& s1 = gDataSetStyleTable.Set(1);
    s1.styleWord1 = 0;
    s1.styleWord2 = 0;     // no marker: a line
    s1.styleWord3 = 0;
    DataSetStyle& s2 = gDataSetStyleTable.Set(2);
    s2.styleWord2 = 3;     // marker symbol
    s2.styleWord3 = 0;
    s2.marker = 14;
    DataSetStyle& s3 = gDataSetStyleTable.Set(3);
    s3.styleWord1 = 1;
    s3.styleWord2 = 1;
    s3.styleWord3 = 2;     // filled area: a trapezium box

    YYLegendEntryDraw(1, 0.5f, 0.5f, "a");
    ASSERT_EQ(DrawingTest::Lines().size(), 1u);
    ClearAll();
    YYLegendEntryDraw(2, 0.5f, 0.5f, "b");
    EXPECT_FALSE(recorder().Of(kScreenSide, DeviceOp::kEllipseSolid).empty() &&
                 recorder().Of(kScreenSide, DeviceOp::kEllipseOutline).empty() &&
                 recorder().Of(kScreenSide, DeviceOp::kPolygonSolid).empty() &&
                 recorder().Of(kScreenSide, DeviceOp::kPolyline).empty())
        << "marker 14 drew nothing";
    for (const DrawnLine& l : DrawingTest::Lines())
        EXPECT_LT(std::fabs(l.x2 - l.x1), 0.02f); // no 2.15-cell line
    ClearAll();
    YYLegendEntryDraw(3, 0.5f, 0.5f, "c");
    auto quads = recorder().Of(kScreenSide, DeviceOp::kQuadSolid);
    auto half = recorder().Of(kScreenSide, DeviceOp::kQuadHalftone);
    EXPECT_EQ(quads.size() + half.size(), 0u) << "hatch fills go as lines";
    bool hatchDirection2 = false;
    for (const RecordedOp& r : recorder().ops)
        hatchDirection2 = hatchDirection2 || (r.op == DeviceOp::kLine && r.state.hatchDirection == 2);
    EXPECT_TRUE(hatchDirection2);

    // w2 = -3: the symbol on a two-colour output, the line on a colour one.
    s2.styleWord2 = -3;
    ClearAll();
    YYLegendEntryDraw(2, 0.5f, 0.5f, "b");
    ASSERT_EQ(DrawingTest::Lines().size(), 1u);
    gGraphicsState.roundingColours = 2;
    ClearAll();
    YYLegendEntryDraw(2, 0.5f, 0.5f, "b");
    for (const DrawnLine& l : DrawingTest::Lines())
        EXPECT_LT(std::fabs(l.x2 - l.x1), 0.02f);

    // Outside 1..setCount: nothing at all.
    ClearAll();
    YYLegendEntryDraw(0, 0.5f, 0.5f, "x");
    YYLegendEntryDraw(4, 0.5f, 0.5f, "x");
    EXPECT_TRUE(recorder().ops.empty());
}

TEST_F(LegendEntryTest, NumbersEndInOneColumnAndLetters)
{
    Begin(7, 3, {3}, 0, 0);
    const int markers[] = {7, 12, 305};
    for (int i = 1; i <= 3; ++i) {
        DataSetStyle& s = gDataSetStyleTable.Set(i);
        s.styleWord2 = 1;
        s.marker = markers[i - 1];
    }
    EXPECT_EQ(YYLegendNumberColumn(0), 2);
    for (int i = 1; i <= 3; ++i)
        YYLegendEntryDraw(i, 0.5f, 0.5f, "x");
    std::vector<const DrawnText*> numbers = {FindText("7"), FindText("12"), FindText("305")};
    const float cw = 0.0133f;
    for (const DrawnText* d : numbers) {
        ASSERT_TRUE(d);
        EXPECT_NEAR(d->wx + static_cast<float>(d->text.size()) * d->charWidth, 0.5f + 3.0f * cw, 2e-3f);
    }
    gDataSetStyleTable.Set(1).marker = 0; // counts with digit measure 1
    gDataSetStyleTable.Set(3).marker = 5;
    EXPECT_EQ(YYLegendNumberColumn(0), 1);

    // Letters: 27 is "a"; 53 is out of range and gives the set's letter.
    DataSetStyle& s = gDataSetStyleTable.Set(2);
    s.styleWord2 = 2;
    s.marker = 27;
    ClearAll();
    YYLegendEntryDraw(2, 0.5f, 0.5f, "x");
    EXPECT_TRUE(FindText("a"));
    s.marker = 53;
    ClearAll();
    YYLegendEntryDraw(2, 0.5f, 0.5f, "x");
    EXPECT_TRUE(FindText("B"));
}

TEST_F(LegendEntryTest, GradientBoxWithGraphColourOutlineAndArrow)
{
    Begin(1, 2, {4}, 0, 0);
    DataSetStyle& s = gDataSetStyleTable.Set(1);
    s.styleWord1 = 5;
    s.colour1 = 20;
    s.colour2 = 30;
    gPgGraphState.graphColourNumber = 99;
    YYLegendEntryDraw(1, 0.5f, 0.5f, "g");
    const auto lines = DrawingTest::Lines();
    ASSERT_GE(lines.size(), 5u);
    // The last four lines are the outline in the graph colour.
    const auto ops = recorder().Of(kScreenSide, DeviceOp::kLine);
    for (size_t i = ops.size() - 4; i < ops.size(); ++i)
        EXPECT_EQ(ops[i].state.currentNumber, 99);

    Begin(11, 1, {4}, 0, 0);
    gDataSetStyleTable.Set(1).styleWord1 = 4;
    ClearAll();
    YYLegendEntryDraw(1, 0.5f, 0.5f, "arrow");
    EXPECT_FALSE(recorder().Of(kScreenSide, DeviceOp::kPolygonSolid).empty());
}

} // namespace

// The colour-strip legend (option U) and the gradient legend of the two-set
// scheme: blocks and texts of each layout, the colours and fills of the
// blocks, the order, blank descriptions, titles, and the band's colours and
// direction. Target 200 x 100, plot area 0.1..0.9: the legend stands in the
// band right of the plot, x 0.9..1, y 0.1..0.9.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "charts/graph_state.h"
#include "charts/legend.h"
#include "drawing_fixture.h"
#include "graphics/coordinates.h"
#include "graphics/markers.h"

namespace {

constexpr float kTol = 1e-4f;
const std::string_view kFour[] = {"A", " ", "B", " "};

struct Block {
    float x1, y1, x2, y2;
    int colour, previous;
};

class StripLegendTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        Target(200, 100);
        Scales();
    }
    // A graph of TYPE with SETS sets in colours 10 + set (second 100 + set).
    void Graph(int type, int sets, int bits = 0)
    {
        Begin(type, sets, {11, 5}, bits, 0);
        for (int i = 1; i <= sets; ++i) {
            const int c1 = 10 + i, c2 = 100 + i;
            IPgDataSetStyle(i, nullptr, nullptr, nullptr, &c1, &c2);
        }
        ClearAll();
    }
    // The filled rectangles of the screen side (solid or half-tone), in
    // world units with the colours they were filled in.
    std::vector<Block> Blocks(int op = DeviceOp::kRectangleSolid)
    {
        std::vector<Block> out;
        for (const RecordedOp& r : recorder().Of(kScreenSide, op)) {
            Block b{};
            YYDeviceToWorld(r.block.X[0], r.block.Y[0], b.x1, b.y1);
            YYDeviceToWorld(r.block.X[1], r.block.Y[1], b.x2, b.y2);
            b.colour = r.state.currentNumber;
            b.previous = r.state.previousNumber;
            out.push_back(b);
        }
        return out;
    }
};

TEST_F(StripLegendTest, ColumnOfBlocksWithTheDescriptionsBeside)
{
    struct Case {
        int type;
        const char* options;
        std::vector<int> colours; // of the blocks, bottom up
        float a, b;               // heights of the texts "A" and "B"
    };
    const Case cases[] = {
        {4, "U", {11, 12, 13, 14}, 0.2f, 0.6f},
        {7, "U", {101, 102, 103, 104}, 0.2f, 0.6f}, // marker charts: second colours
        {4, "UR", {14, 13, 12, 11}, 0.8f, 0.4f},    // reversed: set 1 on top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options + std::to_string(c.type));
        Graph(c.type, 4);
        IPgLegendDraw(kFour, c.options);
        const auto blocks = Blocks();
        ASSERT_EQ(blocks.size(), 4u);
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(blocks[k].x1, 0.91f, kTol);
            EXPECT_NEAR(blocks[k].x2, 0.92f, kTol);
            EXPECT_NEAR(blocks[k].y1, 0.1f + 0.2f * static_cast<float>(k), kTol);
            EXPECT_NEAR(blocks[k].y2, 0.3f + 0.2f * static_cast<float>(k), kTol);
            EXPECT_EQ(blocks[k].colour, c.colours[k]);
        }
        // Blank descriptions are not written; the others left-justified a
        // cell right of the blocks, each with two blocks' room.
        EXPECT_EQ(TextStrings().size(), 2u);
        const DrawnText* a = FindText("A");
        const DrawnText* b = FindText("B");
        ASSERT_TRUE(a && b);
        float w, h;
        YYCharCell(w, h);
        EXPECT_NEAR(a->wx, 0.92f + w, kTol);
        EXPECT_NEAR(a->wy, c.a, kTol);
        EXPECT_NEAR(b->wy, c.b, kTol);
        EXPECT_EQ(a->justification, 0);
    }
    // The caller's colour, fill and text state are back.
    EXPECT_EQ(gTextState.justification, 1);
    EXPECT_EQ(gTextState.stacking, 0);
}

TEST_F(StripLegendTest, HalfToneSetsMixTheirTwoColours)
{
    Graph(4, 2);
    const int three = 3, filled = 1;
    IPgDataSetStyle(1, &three, nullptr, &filled);
    IPgDataSetStyle(2, &three); // a line set: its block is solid
    const int fill = gGraphicsState.fillMode;
    IPgLegendDraw(kFour, "U");
    const auto mixed = Blocks(DeviceOp::kRectangleHalftone);
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_EQ(mixed[0].colour, 11);
    EXPECT_EQ(mixed[0].previous, 101);
    EXPECT_EQ(Blocks().size(), 1u);
    EXPECT_EQ(gGraphicsState.fillMode, fill);
}

TEST_F(StripLegendTest, RowStackedAndTurnedLayouts)
{
    // A row below the plot: the strip at 30 % of the band, texts centred
    // under their blocks; a title is not drawn.
    Graph(4, 4);
    const std::string_view title = "Title";
    IPgLegendDraw(kFour, "UX", &title);
    auto blocks = Blocks();
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_NEAR(blocks[0].x1, 0.1f, kTol);
    EXPECT_NEAR(blocks[3].x2, 0.9f, kTol);
    EXPECT_NEAR(blocks[0].y1, 0.03f - 0.005f, kTol);
    EXPECT_NEAR(blocks[0].y2, 0.03f + 0.005f, kTol);
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"A", "B"}));
    EXPECT_NEAR(gTexts[0].wx, 0.2f, kTol);
    EXPECT_NEAR(gTexts[1].wx, 0.6f, kTol);
    EXPECT_EQ(gTexts[0].justification, 1);

    // Stacked characters and turned text, set 1 lowest.
    for (const char* options : {"UV", "U9"}) {
        SCOPED_TRACE(options);
        Graph(4, 4);
        IPgLegendDraw(kFour, options);
        blocks = Blocks();
        ASSERT_EQ(blocks.size(), 4u);
        EXPECT_NEAR(blocks[0].x1, 0.92f, kTol);
        EXPECT_NEAR(blocks[0].x2, 0.93f, kTol);
        EXPECT_EQ(TextStrings(), (std::vector<std::string>{"A", "B"}));
        EXPECT_EQ(gTexts[0].stacking, options[1] == 'V' ? 1 : 0);
        EXPECT_EQ(gTexts[0].angle, options[1] == '9' ? 90.0f : 0.0f);
        EXPECT_EQ(gTextState.angle, 0.0f);
    }
}

TEST_F(StripLegendTest, BlankDescriptionsStillDrawTheBlocks)
{
    // Nothing to measure: every layout keeps the character size.
    const std::string_view blank[] = {" ", " ", " "};
    for (const char* options : {"UX", "UV", "U9", "U"}) {
        SCOPED_TRACE(options);
        Graph(4, 3);
        const float width = gTextState.charWidth;
        IPgLegendDraw(blank, options);
        EXPECT_EQ(Blocks().size(), 3u);
        EXPECT_TRUE(gTexts.empty());
        EXPECT_EQ(gTextState.charWidth, width);
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(StripLegendTest, TitleAboveTheColumnWithItsSeparator)
{
    Graph(4, 4);
    const std::string_view title = "Sets";
    IPgLegendDraw(kFour, "UB", &title);
    const DrawnText* t = FindText("Sets");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->justification, 1);
    // The blocks end 1.5 title cells below the top; the title is centred
    // in that room, the separator under it.
    const auto blocks = Blocks();
    ASSERT_EQ(blocks.size(), 4u);
    const float separator = blocks[3].y2;
    EXPECT_LT(separator, 0.9f);
    EXPECT_NEAR(t->wy, (0.9f + separator) / 2.0f, kTol);
    const auto lines = Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(lines.back().y1, separator, kTol);
    EXPECT_NEAR(lines.back().y2, separator, kTol);
}

class GradientLegendTest : public StripLegendTest {
protected:
    // A type-8 graph of the two-set scheme (option kind 3).
    void Scheme(int sets = 2)
    {
        Graph(8, sets, 16);
        ASSERT_EQ(gPgGraphState.optionKind, 3);
        const int low = 31, high = 63;
        IPgDataSetStyle(1, nullptr, nullptr, nullptr, &low);
        IPgDataSetStyle(2, nullptr, nullptr, nullptr, &high);
        ClearAll();
    }
    // The lines of the band: all horizontal (direction 1) or all vertical.
    static bool AllHorizontal(const std::vector<DrawnLine>& lines)
    {
        return std::all_of(lines.begin(), lines.end(), [](const DrawnLine& l) { return l.y1 == l.y2; });
    }
    static bool AllVertical(const std::vector<DrawnLine>& lines)
    {
        return std::all_of(lines.begin(), lines.end(), [](const DrawnLine& l) { return l.x1 == l.x2; });
    }
};

TEST_F(GradientLegendTest, BandFromTheFirstSetsColourToTheSeconds)
{
    const std::string_view ends[] = {"Low", "High"};
    struct Case {
        const char* options;
        int first, second;  // colours selected before the band
        bool lowAtBottom;
    };
    for (const Case& c : {Case{"", 31, 63, true}, Case{"R", 63, 31, false}}) {
        SCOPED_TRACE(c.options);
        Scheme();
        const int current = gGraphicsState.currentNumber;
        IPgLegendDraw(ends, c.options);
        const std::vector<int> colours = Colours();
        ASSERT_GE(colours.size(), 2u);
        EXPECT_EQ(colours[0], c.first);
        EXPECT_EQ(colours[1], c.second);
        const auto lines = Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(AllHorizontal(lines));
        for (const DrawnLine& l : lines) {
            EXPECT_GE(std::min(l.x1, l.x2), 0.945f - kTol);
            EXPECT_LE(std::max(l.x1, l.x2), 0.955f + kTol);
        }
        const DrawnText* low = FindText("Low");
        const DrawnText* high = FindText("High");
        ASSERT_TRUE(low && high);
        float w, h;
        YYCharCell(w, h);
        EXPECT_NEAR((c.lowAtBottom ? low : high)->wy, 0.1f + 0.5f * h, kTol);
        EXPECT_NEAR((c.lowAtBottom ? high : low)->wy, 0.9f - 0.5f * h, kTol);
        EXPECT_NEAR(low->wx, 0.95f, kTol);
        EXPECT_EQ(gGraphicsState.currentNumber, current);
    }
    // A row below the plot runs the colours to the right.
    Scheme();
    IPgLegendDraw(ends, "X");
    EXPECT_TRUE(AllVertical(Lines()));
    EXPECT_EQ(FindText("Low")->justification, 0);
    EXPECT_EQ(FindText("High")->justification, 2);
}

TEST_F(GradientLegendTest, OnlyNonBlankDescriptionsOfTheFirstTwo)
{
    const std::string_view ends[] = {"Low", "High", "Unused"};
    Scheme(1); // one set: no second description
    IPgLegendDraw(ends, "");
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"Low"}));
    const std::string_view blankFirst[] = {"  ", "High"};
    Scheme();
    IPgLegendDraw(blankFirst, "");
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"High"}));
}

} // namespace

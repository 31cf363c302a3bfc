// The labels of a pie chart: leaders, placement and wording with and without
// percentages, slices without labels, the caller's range and colours given
// back. The slices are filled in as a pie drawing would: centre (0.5, 0.5)
// of the pie's 0..1 range, scales (0.2, 0.3), radius 1, leaders 0.2 long.
#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "drawing_fixture.h"
#include "fonts/text_font.h"

namespace {

constexpr float kTol = 1e-4f;

class PieLabelsTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        Target(200, 100);
        Scales();
    }
    // A pie of the given slices; BITS 128 draws leaders, 512 aligns the labels.
    void Pie(const std::vector<SetQuad>& slices, int bits = 128)
    {
        Begin(3, static_cast<int>(slices.size()), {1}, bits, 0);
        ASSERT_GE(gSetQuadTable.rows.size(), slices.size());
        std::copy(slices.begin(), slices.end(), gSetQuadTable.rows.begin());
        PgGraphState& s = gPgGraphState;
        s.pieCentreX = s.pieCentreY = 0.5f;
        s.pieScaleX = 0.2f;
        s.pieScaleY = 0.3f;
        s.pieRadius = 1.0f;
        s.pieLeaderLength = 0.2f;
        s.pieLabelColumnLeft = s.pieLabelColumnRight = 1.5f;
        ClearAll();
    }
    // World point of a point of the pie's 0..1 range.
    static Pt At(float x, float y) { return {0.1f + 0.8f * x, 0.1f + 0.8f * y}; }
    static void ExpectLine(const DrawnLine& l, Pt a, Pt b)
    {
        EXPECT_NEAR(l.x1, a.x, kTol);
        EXPECT_NEAR(l.y1, a.y, kTol);
        EXPECT_NEAR(l.x2, b.x, kTol);
        EXPECT_NEAR(l.y2, b.y, kTol);
    }
};

TEST_F(PieLabelsTest, LeadersAndLabelsOnBothSides)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Pie({{12.5f, 0.0f, 0.6f, 0.8f}, {37.5f, 0.2f, -1.0f, 0.0f}, {-1.0f, 0.0f, 1.0f, 0.0f}, {nan, 0.0f, 1.0f, 0.0f}});
    IPgArea(2.0f, 3.0f, 12.0f, 13.0f);
    IGrColourN(7);
    IGrColourN(9);
    ClearAll();
    const std::string_view descriptions[] = {"North", "West  ", "None", "Nan"};
    IPgLegendDraw(descriptions, "R");

    // Leaders in the colour that was the previous one at the call: from 0.6
    // along the slice's middle to its edge, then 0.2 across.
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    ExpectLine(lines[0], At(0.572f, 0.644f), At(0.62f, 0.74f));
    ExpectLine(lines[1], At(0.62f, 0.74f), At(0.66f, 0.74f));
    ExpectLine(lines[2], At(0.34f, 0.5f), At(0.284f, 0.5f));
    ExpectLine(lines[3], At(0.284f, 0.5f), At(0.244f, 0.5f));
    for (const RecordedOp& r : recorder().Of(kScreenSide, DeviceOp::kLine))
        EXPECT_EQ(r.state.currentNumber, 7);

    // Right of the pie: share first, left-justified; left of it: the
    // description first, right-justified; half a character from the leader.
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"12.5% North", "West 37.5%"}));
    const float half = 0.5f * gGraphicsState.textUnitSize[0] * gTextState.charWidth;
    ASSERT_EQ(gTexts.size(), 2u);
    EXPECT_EQ(gTexts[0].justification, 0);
    EXPECT_NEAR(gTexts[0].wx, At(0.66f, 0).x + half, kTol);
    EXPECT_NEAR(gTexts[0].wy, At(0, 0.74f).y, kTol);
    EXPECT_EQ(gTexts[1].justification, 2);
    EXPECT_NEAR(gTexts[1].wx, At(0.244f, 0).x - half, kTol);

    // The caller's range, colours and text state are back.
    const PgGraphState& s = gPgGraphState;
    EXPECT_EQ(s.userX1, 2.0f);
    EXPECT_EQ(s.userY1, 3.0f);
    EXPECT_EQ(s.userX2, 12.0f);
    EXPECT_EQ(s.userY2, 13.0f);
    EXPECT_EQ(gGraphicsState.currentNumber, 9);
    EXPECT_EQ(gGraphicsState.previousNumber, 7);
    EXPECT_EQ(gTextState.justification, 1);
}

TEST_F(PieLabelsTest, PercentagesWithOneDecimalOrWhole)
{
    struct Case {
        float share;
        const char* r;
        const char* p;
    };
    // A share up to 100 drops the blanks it never needs; larger ones keep
    // every digit; a share the field cannot hold comes out as asterisks.
    const Case cases[] = {
        {100.0f, "100.0% X", "100% X"}, {5.0f, " 5.0% X", " 5% X"},     {12.5f, "12.5% X", "13% X"},
        {250.0f, "250.0% X", "250% X"}, {1000.0f, "*****% X", "1000% X"}, {3.0e9f, "*****% X", "*****% X"},
    };
    for (const Case& c : cases) {
        for (const char* options : {"R", "P", "RP"}) {
            SCOPED_TRACE(std::to_string(c.share) + options);
            Pie({{c.share, 0.0f, 1.0f, 0.0f}});
            gErrorState.lastCode = 0;
            IPgLegendDraw(std::vector<std::string_view>{"X"}, options);
            const std::string want = options[0] == 'R' ? c.r : c.p;
            EXPECT_EQ(TextStrings(), std::vector<std::string>{want});
            EXPECT_EQ(gErrorState.lastCode, want[0] == '*' ? 18 : 0);
        }
    }
    // Left of the pie the share starts at its first digit, unless the
    // labels stand in columns.
    Pie({{5.0f, 0.0f, -1.0f, 0.0f}});
    IPgLegendDraw(std::vector<std::string_view>{"X"}, "R");
    EXPECT_EQ(TextStrings(), std::vector<std::string>{"X 5.0%"});
    Pie({{5.0f, 0.0f, -1.0f, 0.0f}}, 128 + 512);
    IPgLegendDraw(std::vector<std::string_view>{"X"}, "R");
    EXPECT_EQ(TextStrings(), std::vector<std::string>{"X  5.0%"});
}

TEST_F(PieLabelsTest, PlacementWithoutLeadersOrInColumns)
{
    // No leaders: the labels stand at 1.13 times the slice's outer radius,
    // descriptions only without P or R.
    Pie({{50.0f, 0.0f, 0.6f, 0.8f}}, 0);
    IPgLegendDraw(std::vector<std::string_view>{"North"}, "");
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(TextStrings(), std::vector<std::string>{"North"});
    const float half = 0.5f * gGraphicsState.textUnitSize[0] * gTextState.charWidth;
    ASSERT_EQ(gTexts.size(), 1u);
    EXPECT_NEAR(gTexts[0].wx, At(0.5f + 1.13f * 0.12f + 0.04f, 0).x + half, kTol);
    EXPECT_NEAR(gTexts[0].wy, At(0, 0.5f + 1.13f * 0.24f).y, kTol);

    // Columns: every label of a side starts at the same x.
    Pie({{10.0f, 0.0f, 0.6f, 0.8f}, {10.0f, 0.3f, 1.0f, 0.0f}}, 128 + 512);
    IPgLegendDraw(std::vector<std::string_view>{"a", "b"}, "");
    ASSERT_EQ(gTexts.size(), 2u);
    EXPECT_NEAR(gTexts[0].wx, At(0.5f + 0.2f * 1.5f, 0).x + half, kTol);
    EXPECT_NEAR(gTexts[1].wx, gTexts[0].wx, kTol);
}

TEST_F(PieLabelsTest, LongDescriptionsAreCutAndMissingOnesBlank)
{
    const std::string longText(300, 'w');
    Pie({{12.5f, 0.0f, 1.0f, 0.0f}, {12.5f, 0.0f, 1.0f, 0.0f}});
    YYCharSize(0.001f, 0.003f); // small enough for 200 characters to fit
    // The second description is beyond the caller's array: blank, so the
    // label is the share alone.
    IPgLegendDraw(std::vector<std::string_view>{longText}, "R");
    const auto texts = TextStrings();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "12.5% " + std::string(194, 'w'));
    EXPECT_EQ(texts[1], "12.5%");
}

} // namespace

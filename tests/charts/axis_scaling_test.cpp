// Axis scaling: tick steps, first ticks and counts of linear, category, oblique
// and polar axes, decades of log axes, tick-label texts and the character
// shrink.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "charts/axis_scaling.h"
#include "charts_fixture.h"

namespace {

using AxisScalingTest = ChartsTest;

std::string Label(float value, int decade, int extra = 0)
{
    int first = -1, last = -1;
    YYTickLabel(value, decade, extra, first, last);
    if (first < 1 || last < first)
        return "";
    return std::string(gAxisLabelBuffer.text.data() + first - 1, static_cast<size_t>(last - first + 1));
}

struct TicksCase {
    const char* what;
    float a, b;
    int category, categories, axis;
    float step, firstTick;
    int count, exponent;
    float labelStep, firstLabel;
};

TEST_F(AxisScalingTest, Ticks)
{
    const std::vector<TicksCase> cases = {
        {"0 to 1 on x", 0, 1, 0, 0, 1, 0.1f, 0, 11, 0, 0.1f, 0},
        {"0 to 2.5", 0, 2.5f, 0, 0, 1, 0.2f, 0, 13, 0, 0.2f, 0},
        {"third axis steps 2", 0, 1, 0, 0, 3, 0.2f, 0, 6, 0, 0.2f, 0},
        {"-3 to 7 on y", -3, 7, 0, 0, 2, 1, -3, 11, 1, 1, -3},
        {"negative start off the grid", -0.25f, 1, 0, 0, 1, 0.1f, -0.2f, 13, 0, 0.1f, -0.2f},
        {"positive start off the grid", 0.25f, 1.25f, 0, 0, 1, 0.1f, 0.3f, 10, 0, 0.1f, 0.3f},
        {"large range", 0, 5000, 0, 0, 1, 500, 0, 11, 3, 500, 0},
        // Categories 1..N: ticks in the middle of N cells, labels on the
        // category numbers.
        {"12 categories", 1, 12, 1, 12, 1, 11.0f / 12, 1 + 11.0f / 24, 12, 1, 1, 1},
        {"13 categories", 1, 13, 1, 13, 1, 2 * 12.0f / 13, 1 + 12.0f / 26, 7, 1, 2, 1},
        {"100 categories", 1, 100, 1, 100, 1, 10 * 99.0f / 100, 1 + 99.0f / 200 + 4 * 99.0f / 100, 10, 1, 10, 5},
        {"101 categories", 1, 101, 1, 101, 2, 20 * 100.0f / 101, 1 + 100.0f / 202 + 10 * 100.0f / 101, 5, 2, 20, 11},
        {"one category", 0, 1, 1, 1, 1, 1, 0.5f, 2, 0, 0, 0},
        {"no categories counts as one", 0, 1, 1, 0, 1, 1, 0.5f, 2, 0, 0, 0},
    };
    for (const TicksCase& c : cases) {
        SCOPED_TRACE(c.what);
        float step = -1, first = -1, labelStep = -1, firstLabel = -1;
        int count = -1, exponent = -99;
        int r = YYAxisTicks(c.a, c.b, c.category, c.categories, c.axis, step, first, count, exponent,
                            labelStep, firstLabel);
        EXPECT_FLOAT_EQ(step, c.step);
        EXPECT_FLOAT_EQ(first, c.firstTick);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(r, c.count);
        EXPECT_EQ(exponent, c.exponent);
        EXPECT_FLOAT_EQ(labelStep, c.labelStep);
        EXPECT_FLOAT_EQ(firstLabel, c.firstLabel);
    }
}

TEST_F(AxisScalingTest, FirstValueNearAMultipleIsItsOwnTick)
{
    float step, first, labelStep, firstLabel;
    int count, exponent;
    const float a = 0.2000001f; // within step / 100000 of 0.2
    YYAxisTicks(a, 1.2f, 0, 0, 1, step, first, count, exponent, labelStep, firstLabel);
    EXPECT_FLOAT_EQ(step, 0.1f);
    EXPECT_EQ(first, a);
    float span, offset;
    YYAxisRound(a, 1.2f, step, count, span, exponent, first, offset);
    EXPECT_EQ(first, a);
    EXPECT_EQ(offset, 0.0f);
}

TEST_F(AxisScalingTest, ThreeDCategoryGraphsShrinkTheTickStep)
{
    Begin(1, 1, {5}, 1, 0);
    ASSERT_EQ(gPgGraphState.threeD, 1);
    ASSERT_FLOAT_EQ(gPgGraphState.depthFraction, 0.12f);
    float step, first, labelStep, firstLabel;
    int count, exponent;
    YYAxisTicks(0.05f, 1.05f, 0, 0, 2, step, first, count, exponent, labelStep, firstLabel);
    EXPECT_FLOAT_EQ(step, 0.1f * 0.88f);
    EXPECT_FLOAT_EQ(first, 0.05f + 0.88f * 0.05f);
    EXPECT_FLOAT_EQ(labelStep, 0.1f);
    EXPECT_FLOAT_EQ(firstLabel, 0.1f);
}

TEST_F(AxisScalingTest, RoundAndNumbers)
{
    float step, span, first, offset;
    int count, exponent;
    YYAxisRound(0, 1, step, count, span, exponent, first, offset);
    EXPECT_FLOAT_EQ(step, 0.2f);
    EXPECT_EQ(count, 6);
    EXPECT_FLOAT_EQ(span, 5.0f);
    EXPECT_EQ(exponent, 0);
    EXPECT_FLOAT_EQ(first, 0.0f);
    EXPECT_FLOAT_EQ(offset, 0.0f);

    YYAxisRound(0, 3, step, count, span, exponent, first, offset);
    EXPECT_FLOAT_EQ(step, 1.0f);
    EXPECT_EQ(count, 4);

    // A reversed range: positive step, first tick at or above a, negative span.
    YYAxisRound(1, 0, step, count, span, exponent, first, offset);
    EXPECT_FLOAT_EQ(step, 0.2f);
    EXPECT_GE(first, 1.0f);
    EXPECT_FLOAT_EQ(span, -5.0f);
    EXPECT_EQ(count, 4);

    struct Case {
        float v, step;
        int count, exponent;
    };
    for (const Case& c : {Case{7.3f, 1, 8, 0}, Case{7.0f, 1, 7, 0}, Case{100.0f, 20, 5, 2},
                          Case{0.35f, 0.1f, 4, -1}, Case{1.0f, 0.2f, 5, 0}}) {
        SCOPED_TRACE(c.v);
        int r = YYAxisNumbers(c.v, step, count, exponent);
        EXPECT_FLOAT_EQ(step, c.step);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(r, c.count);
        EXPECT_EQ(exponent, c.exponent);
    }
}

TEST_F(AxisScalingTest, DegenerateRangesEndWithoutTrapping)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    float step, first, labelStep, firstLabel, span, offset;
    int count, exponent;
    // A zero width ends the normalising loop (step 0.1 of mantissa 1).
    YYAxisTicks(2, 2, 0, 0, 1, step, first, count, exponent, labelStep, firstLabel);
    EXPECT_EQ(exponent, 0);
    EXPECT_FLOAT_EQ(first, 2.0f);
    YYAxisTicks(0, inf, 0, 0, 1, step, first, count, exponent, labelStep, firstLabel);
    EXPECT_EQ(count, 0);
    YYAxisRound(nan, 1, step, count, span, exponent, first, offset);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(YYAxisNumbers(nan, step, count, exponent), 0);
    // The widest range of reals, and the narrowest.
    YYAxisTicks(-3e38f, 3e38f, 0, 0, 1, step, first, count, exponent, labelStep, firstLabel);
    EXPECT_EQ(exponent, 38);
    EXPECT_GT(count, 0);
    YYAxisTicks(0, 1e-44f, 0, 0, 1, step, first, count, exponent, labelStep, firstLabel);
    EXPECT_LT(exponent, -40);
    int s, n, start, top;
    YYLogRange(nan, inf, s, n, start, top);
    EXPECT_EQ(top, 38);
    EXPECT_EQ(start, -38);
}

TEST_F(AxisScalingTest, LogDecades)
{
    struct Case {
        float lo, hi;
        int step, count, start, top;
    };
    const Case cases[] = {
        {1, 1000, 1, 4, -1, 3},
        {0.001f, 100000, 1, 9, -4, 5},
        {1e-20f, 1e20f, 5, 41, -25, 20},
        {0, 10, 4, 40, -38, 1},
        // The decade tolerance: a minimum just above 1 labels from 10, as
        // does one just above 10; a maximum just below 1 ends at 0.1.
        {1.00005f, 100, 1, 2, 0, 2},
        {10.001f, 100, 1, 2, 0, 2},
        {0.01f, 0.99995f, 1, 2, -3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lo);
        int step = 0, count = 0, start = 0, top = 0;
        YYLogRange(c.lo, c.hi, step, count, start, top);
        EXPECT_EQ(step, c.step);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(top, c.top);
    }
    int step, count, start, top;
    YYAxisDecades(100, step, count, start, top);
    EXPECT_EQ(top, 2);
    EXPECT_EQ(count, 41);
    EXPECT_EQ(step, 9);
    EXPECT_EQ(start, -29);
    YYAxisDecades(0.5f, step, count, start, top);
    EXPECT_EQ(top, -1);
    EXPECT_EQ(count, 38);
    EXPECT_EQ(step, 8);
    EXPECT_EQ(start, -30);
}

struct LabelCase {
    float value;
    int decade, decimals, extra;
    const char* label;
};

TEST_F(AxisScalingTest, TickLabels)
{
    const std::vector<LabelCase> cases = {
        {0.25f, -1, -1, 0, ".25"},
        {-0.25f, -1, -1, 0, "-.25"},
        {2.0f, 0, -1, 0, "2"},
        {1.5f, 0, -1, 0, "1.5"},
        {300.0f, 2, -1, 0, "300"},
        {-300.7f, 2, -1, 0, "-300"},
        {1000000.0f, 6, -1, 0, "1.0E+06"},
        {0.000015f, -6, -1, 0, "1.50E-05"},
        {-1000000.0f, 6, -1, 0, "-1.0E+06"},
        {0.0f, 7, -1, 0, "0"},
        {0.0f, -2, 3, 1, "0"},
        {2.0f, 0, 1, 0, "2.0"},
        {2.0f, 0, 2, 0, "2.00"},
        {300.0f, 2, 1, 0, "300.0"},
        {300.0f, 2, 0, 0, "300"},
        {1000000.0f, 6, 2, 0, "1.00E+06"},
        {0.04f, -1, 1, 0, "0"},
        // One more automatic decimal, a trailing zero in the last place blanked.
        {0.2f, -1, -1, 1, ".20"},
        {0.125f, -1, -1, 1, ".125"},
        {1.5f, 0, -1, 1, "1.5"},
    };
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(c.label);
        gPgGraphState.tickDecimals = c.decimals;
        EXPECT_EQ(Label(c.value, c.decade, c.extra), c.label);
        // The buffer holds nothing but the label text and blanks.
        int first, last;
        YYTickLabel(c.value, c.decade, c.extra, first, last);
        for (int i = 13; i < kAxisLabelLength; ++i)
            ASSERT_EQ(gAxisLabelBuffer.text[static_cast<size_t>(i)], ' ');
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(AxisScalingTest, LabelsOfAnAxisFromZeroTo2Point5)
{
    float step, first, labelStep, firstLabel;
    int count, exponent;
    YYAxisTicks(0, 2.5f, 0, 0, 1, step, first, count, exponent, labelStep, firstLabel);
    ASSERT_EQ(count, 13);
    const char* expected[] = {"0", ".2", ".4", ".6", ".8", "1", "1.2", "1.4", "1.6", "1.8", "2", "2.2", "2.4"};
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(Label(firstLabel + static_cast<float>(i) * labelStep, exponent), expected[i]) << i;
}

TEST_F(AxisScalingTest, LabelsThatDoNotFitBecomeAsterisks)
{
    // Decimals beyond one digit are taken as 9, which a 9-character field
    // cannot hold: the field overflows and the conversion reports it.
    gPgGraphState.tickDecimals = 12;
    EXPECT_EQ(Label(2.0f, 0), "*********");
    EXPECT_EQ(ReportCount(18, "IRealToString"), 1);
    TakeReports();
    gPgGraphState.tickDecimals = -1;
    EXPECT_EQ(Label(3e9f, 3), "*********");
    EXPECT_EQ(ReportCount(18, "IntegerToString"), 1);
    TakeReports();
    EXPECT_EQ(Label(std::numeric_limits<float>::quiet_NaN(), 3), "*********");
}

TEST_F(AxisScalingTest, CharShrink)
{
    struct Case {
        float boxW, boxH, w, h;
    };
    const float w0 = 0.01333333f, h0 = 0.03333333f;
    const Case cases[] = {
        {1, 1, w0, h0},                          // fits: unchanged
        {0.01f, 1, 0.01f, h0 * 0.01f / w0},      // too wide
        {1, 0.02f, w0 * 0.02f / h0, 0.02f},      // too high
        {0.01f, 0.02f, w0 * 0.02f / h0, 0.02f},  // both, height the tighter
        {0.002f, 0.02f, 0.002f, h0 * 0.002f / w0}, // both, width the tighter
        {0, 1, w0, h0},                          // no box: unchanged
        {-1, 0.01f, w0, h0},
        {std::numeric_limits<float>::quiet_NaN(), 0.01f, w0, h0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.boxW);
        gTextState.charWidth = w0;
        gTextState.charHeight = h0;
        YYCharShrink(c.boxW, c.boxH);
        EXPECT_FLOAT_EQ(gTextState.charWidth, c.w);
        EXPECT_FLOAT_EQ(gTextState.charHeight, c.h);
        EXPECT_NEAR(gTextState.charWidth / gTextState.charHeight, c.w / c.h, 1e-4f * c.w / c.h);
    }
}

} // namespace

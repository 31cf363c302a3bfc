// The shared stroke width table and YYCHSPACE.
#include <gtest/gtest.h>

#include <numeric>

#include "core/errors.h"
#include "fonts/stroke_font.h"

namespace {

float& Entry(int code)
{
    return code <= 127 ? gStrokeWidthTable.low[code - 32] : gStrokeWidthTable.high[code - 161];
}

void FillTable(float v)
{
    gStrokeWidthTable.low.fill(v);
    gStrokeWidthTable.high.fill(v);
}

TEST(StrokeWidthTable, ResetGivesTheDefaults)
{
    FillTable(9.0f);
    YYCHSPACE(0);
    const struct {
        int code;
        float width;
    } spots[] = {{32, 0.70f}, {37, 1.39f}, {64, 1.54f}, {73, 0.56f}, {87, 1.50f}, {124, 0.33f},
                 {126, 0.90f}, {127, 0.74f}, {161, 0.55f}, {166, 0.33f}, {198, 1.49f},
                 {223, 0.83f}, {236, 0.46f}, {247, 0.94f}, {255, 0.83f}};
    for (const auto& s : spots)
        EXPECT_EQ(Entry(s.code), s.width) << "code " << s.code;

    // Row sums of the two-decimal values of the width table, 16 codes a row.
    const struct {
        int first, last;
        double sum;
    } rows[] = {{32, 47, 11.65},   {48, 63, 12.90},   {64, 79, 17.36},   {80, 95, 15.45},
                {96, 111, 11.90},  {112, 127, 12.26}, {161, 176, 12.12}, {177, 192, 12.58},
                {193, 208, 16.08}, {209, 224, 17.84}, {225, 240, 11.18}, {241, 255, 12.56}};
    double total = 0.0;
    for (const auto& r : rows) {
        double sum = 0.0;
        for (int c = r.first; c <= r.last; ++c)
            sum += Entry(c);
        EXPECT_NEAR(sum, r.sum, 1e-5) << "codes " << r.first << "-" << r.last;
        total += sum;
    }
    EXPECT_NEAR(total, 163.88, 1e-4);
}

TEST(StrokeWidthTable, SingleCodesRestoreOnlyTheirEntry)
{
    const struct {
        int code;
        int entry;
        float width;
    } cases[] = {{65, 65, 1.11f}, {32, 32, 0.70f}, {126, 126, 0.90f}, {128, 127, 0.74f},
                 {161, 161, 0.55f}, {200, 200, 1.02f}, {255, 255, 0.83f}};
    for (const auto& c : cases) {
        FillTable(9.0f);
        YYCHSPACE(c.code);
        for (int code = 32; code <= 255; ++code) {
            if (code > 127 && code < 161)
                continue;
            EXPECT_EQ(Entry(code), code == c.entry ? c.width : 9.0f)
                << "YYCHSPACE(" << c.code << ") entry " << code;
        }
    }
}

TEST(StrokeWidthTable, InvalidCodesReportAndChangeNothing)
{
    for (int code : {127, 129, 160, 31, -1, 256, 1000}) {
        FillTable(9.0f);
        gErrorState.lastCode = 0;
        YYCHSPACE(code);
        EXPECT_EQ(gErrorState.lastCode, 66) << "code " << code;
        const float low = std::accumulate(gStrokeWidthTable.low.begin(), gStrokeWidthTable.low.end(), 0.0f);
        const float high = std::accumulate(gStrokeWidthTable.high.begin(), gStrokeWidthTable.high.end(), 0.0f);
        EXPECT_EQ(low, 96 * 9.0f) << "code " << code;
        EXPECT_EQ(high, 95 * 9.0f) << "code " << code;
    }
    gErrorState.lastCode = 0;
    YYCHSPACE(0);
    EXPECT_EQ(gErrorState.lastCode, 0);
}

} // namespace

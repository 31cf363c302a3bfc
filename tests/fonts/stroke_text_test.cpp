// The stroke renderer: glyph decoding, placement, scaling and the drawing
// state around a call, observed through the recording driver.
#include "text_fixture.h"

#include <string>

#include "fonts/stroke_text.h"
#include "fonts/text_measure.h"
#include "hardcopy/hardcopy_state.h"

namespace {

class StrokeTextTest : public TextTest {
protected:
    void SetUp() override { SetTarget(400, 300); }

    // Direction and advance words as text drawing sets them, for angle 0
    // and aspect factor 1.
    void Upright(float w, float h)
    {
        TextState& t = gTextState;
        t.deviceCos = 1.0f;
        t.deviceSinK = 0.0f;
        t.deviceSinByK = 0.0f;
        t.advanceX = w;
        t.advanceY = 0.0f;
        t.upY = h;
        t.upX = 0.0f;
        t.slant = 0.0f;
        t.spacing = TextSpacing::kFixedPitch;
        t.stacking = 0;
        t.style = 0;
    }

    // A font in the swiss face's header words whose only glyph is GLYPH at
    // code CODE (every other code is empty).
    static void InstallOneGlyph(int code, const std::string& glyph, int flags = kStrokeFlagExtraGlyph,
                                float nominalWidth = 36.3f, float nominalHeight = 55.0f, float extent = 55.0f)
    {
        std::array<int32_t, 96> low{}, high{};
        const int after = 1 + static_cast<int>(glyph.size());
        for (int i = 0; i < 96; ++i) {
            low[i] = i <= code - 33 ? 1 : after;
            high[i] = after;
        }
        YYFontInstall(nominalWidth, nominalHeight, extent, extent, 8, flags, 1, "swiss.chr", glyph, low, high);
    }
};

TEST_F(StrokeTextTest, SwissHyphenLandsOnItsExactCoordinates)
{
    // The swiss face's hyphen "LMYMYQLQ" at (0, 0) is the polygon
    // (11.65, -5.5), (24.65, -5.5), (24.65, -1.5), (11.65, -1.5); drawn at
    // (100, 100) to lie inside the clip box.
    YYFontSwiss();
    Upright(36.3f, 55.0f);
    gGraphicsState.fillMode = kFillHatch;
    YYStrokeText(100.0f, 100.0f, "-", 36.3f, 55.0f);
    auto fills = rec.Of(kScreenSide, DeviceOp::kPolygonSolid);
    ASSERT_EQ(fills.size(), 1u);
    const RecordedOp& p = fills[0];
    ASSERT_EQ(p.x.size(), 4u);
    const float ex[] = {11.65f, 24.65f, 24.65f, 11.65f}, ey[] = {-5.5f, -5.5f, -1.5f, -1.5f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(p.x[i] - 100.0f, ex[i], 1e-4) << i;
        EXPECT_NEAR(p.y[i] - 100.0f, ey[i], 1e-4) << i;
    }
    // Filled solid as glyph outlines during the call, the caller's fill after it.
    EXPECT_EQ(p.state.fillMode, kFillSolid);
    EXPECT_EQ(p.state.strokeTextFlag, 1);
    EXPECT_EQ(gGraphicsState.fillMode, kFillHatch);
    EXPECT_EQ(gGraphicsState.strokeTextFlag, 0);
}

TEST_F(StrokeTextTest, StandardExclamationMarkIsTwoLines)
{
    // "3233u363B": (3,2)-(3,3) and (3,6)-(3,11) on the 7.68 x 11.88 grid,
    // the 6-unit design cell centred on the advance box.
    const float W = 76.8f, H = 118.8f; // ten device units per design unit
    Upright(W, H);
    YYStrokeText(50.0f, 150.0f, "!", W, H);
    auto lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(lines.size(), 2u);
    const float gx = 50.0f + 0.5f * (W - 60.0f), gy = 150.0f - 0.5f * H;
    const float expected[2][4] = {{3, 2, 3, 3}, {3, 6, 3, 11}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(lines[i].block.X[0], gx + 10.0f * expected[i][0], 1e-3);
        EXPECT_NEAR(lines[i].block.Y[0], gy + 10.0f * expected[i][1], 1e-3);
        EXPECT_NEAR(lines[i].block.X[1], gx + 10.0f * expected[i][2], 1e-3);
        EXPECT_NEAR(lines[i].block.Y[1], gy + 10.0f * expected[i][3], 1e-3);
    }
    EXPECT_TRUE(rec.Of(kHardcopySide, DeviceOp::kLine).empty());
}

TEST_F(StrokeTextTest, SlantAndAngleTurnTheGlyph)
{
    const float W = 76.8f, H = 118.8f;
    Upright(W, H);
    // Italic: x moves by the slant times the height above the glyph origin.
    gTextState.slant = 0.5f;
    YYStrokeText(50.0f, 150.0f, "!", W, H);
    auto lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(lines.size(), 2u);
    const float gx = 50.0f + 0.5f * (W - 60.0f), gy = 150.0f - 0.5f * H;
    EXPECT_NEAR(lines[1].block.X[1], gx + 30.0f + 0.5f * 110.0f * W / H, 1e-3); // (3, 11)
    EXPECT_NEAR(lines[1].block.Y[1], gy + 110.0f, 1e-3);

    // Turned by 90 degrees with aspect factor 2: along the baseline is up
    // (times 2), up is to the left (divided by 2).
    rec.Clear();
    TextState& t = gTextState;
    t.slant = 0.0f;
    t.deviceCos = 0.0f;
    t.deviceSinK = 2.0f;
    t.deviceSinByK = 0.5f;
    t.advanceX = 0.0f;
    t.advanceY = 2.0f * W;
    YYStrokeText(200.0f, 100.0f, "!", W, H);
    lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(lines.size(), 2u);
    // Glyph origin: along 0.5 (W - 60), up -H/2; point (3, 11): along 30, up 110.
    const double along = 0.5 * (W - 60.0f) + 30.0, up = -0.5 * H + 110.0;
    EXPECT_NEAR(lines[1].block.X[1], 200.0 - 0.5 * up, 1e-3);
    EXPECT_NEAR(lines[1].block.Y[1], 100.0 + 2.0 * along, 1e-3);
}

TEST_F(StrokeTextTest, CodesWithoutGlyphAdvanceLikeASpace)
{
    const float W = 10.0f, H = 20.0f;
    Upright(W, H);
    gTextState.style = TextStyleBits::kUnderline;
    const std::string text = std::string("\x01\x7f\x81\xa0 ", 5);
    YYStrokeText(20.0f, 100.0f, text, W, H);
    // Nothing but the underline, five advances long, 0.45 heights down.
    auto lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(rec.ops.size(), 1u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FLOAT_EQ(lines[0].block.X[0], 20.0f);
    EXPECT_FLOAT_EQ(lines[0].block.Y[0], 100.0f - 9.0f);
    EXPECT_FLOAT_EQ(lines[0].block.X[1], 70.0f);

    // By the width table in proportional spacing: five spaces of 0.70.
    rec.Clear();
    gTextState.spacing = TextSpacing::kWidthTable;
    YYStrokeText(20.0f, 100.0f, text, W, H);
    EXPECT_NEAR(rec.Of(kScreenSide, DeviceOp::kLine).at(0).block.X[1], 20.0f + 5 * 0.70f * W, 1e-3);
}

TEST_F(StrokeTextTest, AdvanceAndExtraGlyph)
{
    // Two exclamation marks: in fixed pitch the second is one advance on;
    // with the width table by the width of '!' (0.56), with the standard
    // font's 0.75 narrowing of the glyph.
    const float W = 76.8f, H = 118.8f;
    Upright(W, H);
    YYStrokeText(50.0f, 150.0f, "!!", W, H);
    auto lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NEAR(lines[2].block.X[0] - lines[0].block.X[0], W, 1e-3);

    rec.Clear();
    gTextState.spacing = TextSpacing::kWidthTable;
    YYStrokeText(50.0f, 150.0f, "!!", W, H);
    lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NEAR(lines[2].block.X[0] - lines[0].block.X[0], 0.56f * W, 1e-3);
    const float xs = 0.75f * 10.0f; // narrowed design unit
    EXPECT_NEAR(lines[0].block.X[0], 50.0f + 0.5f * (0.56f * W - 6.0f * xs) + 3.0f * xs, 1e-3);

    // Code 128: the euro sign of the standard font draws; the marker font has none.
    rec.Clear();
    YYStrokeText(50.0f, 150.0f, "\x80", W, H);
    EXPECT_FALSE(rec.ops.empty());
    rec.Clear();
    YYFontMarkers();
    YYStrokeText(50.0f, 150.0f, "\x80", W, H);
    EXPECT_TRUE(rec.ops.empty());
}

TEST_F(StrokeTextTest, StackedCharactersStandOneHeightApart)
{
    const float W = 76.8f, H = 118.8f;
    Upright(W, H);
    gTextState.stacking = 1;
    gTextState.style = TextStyleBits::kUnderline; // no underline for stacked text
    YYStrokeText(100.0f, 280.0f, "!!", W, H);
    auto lines = rec.Of(kScreenSide, DeviceOp::kLine);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NEAR(lines[0].block.Y[0] - lines[2].block.Y[0], H, 1e-3);
    EXPECT_NEAR(lines[0].block.X[0], lines[2].block.X[0], 1e-3);
    // The design cell is centred on the column: x = X - 3 units + 3 units.
    EXPECT_NEAR(lines[0].block.X[0], 100.0f, 1e-3);
    // The first cell's top: y = Y - (11 units + H) / 2, then 2 units up.
    EXPECT_NEAR(lines[0].block.Y[0], 280.0f - 0.5f * (110.0f + H) + 20.0f, 1e-3);
}

TEST_F(StrokeTextTest, BoldPolylineFontDoublesBothLineWidthsForTheCall)
{
    OpenHardcopy();
    int& hardcopyWidth = gHardcopyState.options[static_cast<size_t>(HardcopyOptionSlot(9))];
    hardcopyWidth = 3;
    gGraphicsState.lineWidth = 2;
    Upright(76.8f, 118.8f);
    gTextState.style = TextStyleBits::kBold;
    YYStrokeText(50.0f, 150.0f, "!", 76.8f, 118.8f);
    auto widths = rec.Of(kScreenSide, DeviceOp::kLineWidth);
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_EQ(widths[0].state.lineWidth, 4);
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kLineWidth).size(), 2u);
    EXPECT_EQ(rec.Of(kScreenSide, DeviceOp::kLine).at(0).state.lineWidth, 4);
    EXPECT_EQ(widths[1].state.lineWidth, 2);
    EXPECT_EQ(gGraphicsState.lineWidth, 2);
    EXPECT_EQ(hardcopyWidth, 3);
    // The lines went to both sides.
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kLine).size(), 2u);
}

TEST_F(StrokeTextTest, ContourLongerThanThePointBuffersIsCut)
{
    std::string glyph;
    for (int i = 0; i < 160; ++i)
        glyph += (i % 2) ? "11" : "00";
    InstallOneGlyph('!', glyph, kStrokeFlagPolyline, 1.0f, 1.0f, 1.0f);
    Upright(10.0f, 10.0f);
    YYStrokeText(100.0f, 100.0f, "!", 10.0f, 10.0f);
    auto runs = rec.Of(kScreenSide, DeviceOp::kPolyline);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].block.N, kStrokeContourMax);
}

TEST_F(StrokeTextTest, TrailingSeparatorAndLonePointDrawNothingExtra)
{
    InstallOneGlyph('!', "0011u", kStrokeFlagPolyline, 1.0f, 1.0f, 1.0f);
    Upright(10.0f, 10.0f);
    YYStrokeText(100.0f, 100.0f, "!", 10.0f, 10.0f);
    EXPECT_EQ(rec.Of(kScreenSide, DeviceOp::kLine).size(), 1u);
    EXPECT_EQ(rec.ops.size(), 1u);
    rec.Clear();
    InstallOneGlyph('!', "0011u22", kStrokeFlagPolyline, 1.0f, 1.0f, 1.0f);
    YYStrokeText(100.0f, 100.0f, "!", 10.0f, 10.0f);
    EXPECT_EQ(rec.ops.size(), 1u);
}

} // namespace

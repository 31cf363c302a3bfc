// Text length, the stroke decision and the pen position.
#include "text_fixture.h"

#include <string>

#include "fonts/text_measure.h"
#include "graphics/lines.h"

namespace {

class TextMeasureTest : public TextTest {
protected:
    void SetUp() override { SetTarget(400, 300); }
};

const int kDevice = 0, kTable = 1;

TEST_F(TextMeasureTest, DeviceAnswerWinsOverTheCountInFixedPitch)
{
    // The recorder answers 8 device units a character; with a scale that
    // makes a character 10 units wide the length is 0.8 per character.
    TextState& t = gTextState;
    t.textScaleX = gGraphicsState.orientedLimit[0] / 10.0f;
    EXPECT_FLOAT_EQ(YYTextLength("abcde", &kDevice), 4.0f);
    auto asked = rec.Of(kScreenSide, DeviceOp::kTextWidth);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].block.M, 5);
    EXPECT_EQ(asked[0].text, "abcde");
    EXPECT_FLOAT_EQ(YYTextLength("abcde"), 4.0f); // absent override: the device too

    // Forced: the count, and the device is not asked.
    rec.Clear();
    EXPECT_EQ(YYTextLength("abcde", &kTable), 5.0f);
    EXPECT_TRUE(rec.ops.empty());
}

TEST_F(TextMeasureTest, NoAnswerFallsBackOnCountOrTable)
{
    // Screen output off and no hardcopy open: nobody answers.
    gGraphicsState.screenOutput = 0;
    EXPECT_EQ(YYTextLength("ab ", &kDevice), 3.0f);
    gTextState.spacing = TextSpacing::kDevice;
    EXPECT_FLOAT_EQ(YYTextLength("ab ", &kDevice), 0.74f + 0.84f + 0.70f);
    // With screen output off the hardcopy is asked.
    OpenHardcopy();
    gTextState.textScaleX = gGraphicsState.orientedLimit[0] / 8.0f;
    EXPECT_FLOAT_EQ(YYTextLength("ab ", &kDevice), 3.0f);
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kTextWidth).size(), 1u);
}

TEST_F(TextMeasureTest, BuiltInFontAndWidthTableNeverAskTheDevice)
{
    TextState& t = gTextState;
    t.builtInFont = 1;
    EXPECT_EQ(YYTextLength("Wi", &kDevice), 2.0f); // fixed pitch, whatever the widths
    t.spacing = TextSpacing::kWidthTable;
    EXPECT_FLOAT_EQ(YYTextLength("Wi", &kDevice), 1.50f + 0.46f);
    t.builtInFont = 0;
    EXPECT_FLOAT_EQ(YYTextLength("Wi", &kDevice), 1.50f + 0.46f);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(YYTextLength("", &kDevice), 0.0f);
}

TEST_F(TextMeasureTest, LongTextIsMeasuredInPiecesOfTheBufferAndAdded)
{
    gTextState.textScaleX = gGraphicsState.orientedLimit[0] / 8.0f;
    const std::string text(600, 'x');
    EXPECT_FLOAT_EQ(YYTextLength(text, &kDevice), 600.0f);
    auto asked = rec.Of(kScreenSide, DeviceOp::kTextWidth);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].block.M, 260);
    EXPECT_EQ(asked[1].block.M, 260);
    EXPECT_EQ(asked[2].block.M, 80);
    EXPECT_EQ(asked[2].text, std::string(80, 'x'));
}

TEST_F(TextMeasureTest, WidthTableMappingOfCodes)
{
    gTextState.spacing = TextSpacing::kWidthTable;
    struct Case {
        int code;
        float width;
    } standard[] = {{'A', 1.11f}, {0, 0.70f}, {31, 0.70f}, {127, 0.70f}, {128, 0.74f},
                    {129, 0.70f}, {160, 0.70f}, {161, 0.55f}, {200, 1.02f}, {255, 0.83f}};
    for (const Case& c : standard) {
        SCOPED_TRACE(c.code);
        const char ch = static_cast<char>(c.code);
        EXPECT_FLOAT_EQ(YYTextLength(std::string_view(&ch, 1), &kTable), c.width);
    }
    // The marker font has no extra glyph; a seven-bit font no upper half.
    YYFontMarkers();
    const char euro = static_cast<char>(128), e200 = static_cast<char>(200);
    EXPECT_FLOAT_EQ(YYTextLength(std::string_view(&euro, 1), &kTable), 0.70f);
    gStrokeFont.charsetBits = 7;
    EXPECT_FLOAT_EQ(YYTextLength(std::string_view(&e200, 1), &kTable), 0.70f);
}

TEST_F(TextMeasureTest, StrokeDecision)
{
    TextState& t = gTextState;
    GraphicsState& g = gGraphicsState;
    auto need = [](int device, float w, float h) {
        int n = 7;
        YYNeedStrokeFont(device, w, h, n);
        return n;
    };
    // A device without text of its own needs strokes for every size and angle.
    t.deviceCharset[1] = 0;
    t.rotation[1] = 360;
    EXPECT_EQ(need(1, 0.01f, 0.01f), -1);

    // Fixed pitch against a size limit of 0.222 in the hardcopy's measure.
    t.deviceCharset[1] = 8;
    t.sizeLimit[1] = 0.222f;
    t.ratioCheck[1] = 1;
    g.orientedPlotScale = {0.1f, 0.1f};
    EXPECT_EQ(need(1, 3.0f, 2.0f), 0);
    EXPECT_EQ(need(1, 3.0f, 3.0f), -1);
    t.ratioCheck[1] = 0;
    EXPECT_EQ(need(1, 3.0f, 3.0f), 0);
    t.sizeLimit[1] = -1.0f;
    t.ratioCheck[1] = 1;
    EXPECT_EQ(need(1, 30.0f, 30.0f), 0);

    // Proportional text: the capability string's position 27.
    t.spacing = TextSpacing::kDevice;
    gDeviceCapabilityString[1][26] = '0';
    EXPECT_EQ(need(1, 0.1f, 0.1f), -1);
    gDeviceCapabilityString[1][26] = '1';
    EXPECT_EQ(need(1, 0.1f, 0.1f), 0);

    // Rotation 1: at most one degree.
    t.rotation[1] = 1;
    for (float angle : {1.5f, 359.5f}) {
        t.deviceAngle = angle;
        EXPECT_EQ(need(1, 0.1f, 0.1f), -1) << angle;
    }
    t.deviceAngle = 0.5f;
    EXPECT_EQ(need(1, 0.1f, 0.1f), 0);
    t.rotation[1] = 0;
    t.deviceAngle = 0.0f;
    EXPECT_EQ(need(1, 0.1f, 0.1f), -1);

    // The screen's size ratio compares the device font with the request.
    t.rotation[0] = 360;
    t.deviceCharset[0] = 8;
    t.sizeLimit[0] = kNoTextSizeLimit;
    gDeviceCapabilityString[0][26] = '1';
    t.textScaleX = 1.0f / (t.charWidth * g.areaFractionSize[0]); // R = 1
    EXPECT_EQ(need(0, 5.0f, 5.0f), 0);
    t.textScaleX *= 1.5f; // the font came out a third narrower
    EXPECT_EQ(need(0, 5.0f, 5.0f), -1);
    t.spacing = TextSpacing::kFixedPitch; // fixed pitch: only with the size test
    EXPECT_EQ(need(0, 5.0f, 5.0f), 0);
}

TEST_F(TextMeasureTest, PenMoves)
{
    YYPenMoveTo(0.5f, 0.5f);
    YYPenMoveRel(1.0f, -2.0f);
    EXPECT_EQ(gGraphicsState.penPosition[0], 1.5f);
    EXPECT_EQ(gGraphicsState.penPosition[1], -1.5f);
    EXPECT_TRUE(rec.ops.empty());
    // Far beyond the float range the pen saturates instead of overflowing.
    YYPenMoveTo(3.0e38f, 0.0f);
    YYPenMoveRel(3.0e38f, 0.0f);
    EXPECT_GT(gGraphicsState.penPosition[0], 3.0e38f);
}

} // namespace

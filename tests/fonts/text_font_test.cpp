// Font selection: WGrTextFont, the size setters, the face selectors and the
// text angle, observed through the text state and the recording driver.
#include "text_fixture.h"

#include <cmath>
#include <string>

#include "core/errors.h"
#include "fonts/text_font.h"

namespace {

class TextFontTest : public TextTest {
protected:
    void SetUp() override { SetTarget(400, 300); }
    std::vector<int> Ops(int side) { return rec.Codes(side); }
};

const std::vector<int> kNone;
const std::vector<int> kFont{DeviceOp::kFont};

TEST_F(TextFontTest, BuiltInFontCodeSendsTheFontOnlyWithANewSizeAndOnlyToTheHardcopy)
{
    OpenHardcopy();
    const int code = 1;
    WGrTextFont(&code);
    EXPECT_EQ(gTextState.builtInFont, 1);
    EXPECT_EQ(gTextState.spacing, 0); // the standard font's proportional flag
    EXPECT_TRUE(rec.ops.empty());

    const float w = 0.02f;
    WGrTextFont(&code, nullptr, &w);
    EXPECT_EQ(gTextState.charWidth, 0.02f);
    EXPECT_EQ(Ops(kScreenSide), kNone);
    EXPECT_EQ(Ops(kHardcopySide), kFont);
}

TEST_F(TextFontTest, FixedDeviceFamilyKeepsTheSizeAndResendsTheFont)
{
    gTextState.charWidth = 0.02f;
    gTextState.charHeight = 0.05f;
    gTextState.requestedFamily = 3;
    gTextState.spacing = 2;
    const int code = 101, style = 0;
    const float zero = 0.0f;
    WGrTextFont(&code, &style, &zero, &zero);
    EXPECT_EQ(gTextState.charWidth, 0.02f);
    EXPECT_EQ(gTextState.charHeight, 0.05f);
    EXPECT_EQ(gTextState.requestedFamily, 1);
    EXPECT_EQ(gTextState.family, 1);
    EXPECT_EQ(gTextState.spacing, 0);
    EXPECT_EQ(Ops(kScreenSide), kFont);
}

TEST_F(TextFontTest, NamedDeviceFontNeedsAName)
{
    const int code = 100;
    gErrorState = ErrorState{};
    WGrTextFont(&code);
    EXPECT_EQ(gErrorState.lastCode, 1058);
    EXPECT_EQ(gTextState.family, 2); // spacing 2 falls back on swiss
    EXPECT_EQ(gTextState.spacing, 2);

    gErrorState = ErrorState{};
    const std::string_view name = "Verdana";
    WGrTextFont(&code, nullptr, nullptr, nullptr, &name);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(TrimRight(std::string_view(gTextState.deviceFontName, 100)), "Verdana");

    // A name given with a numbered family is not taken.
    const int swiss = 102;
    const std::string_view other = "Tahoma";
    WGrTextFont(&swiss, nullptr, nullptr, nullptr, &other);
    EXPECT_EQ(TrimRight(std::string_view(gTextState.deviceFontName, 100)), "Verdana");
    EXPECT_EQ(gTextState.family, 2);
}

TEST_F(TextFontTest, SpacingRequestsByFamily)
{
    struct Case {
        int code, spacing, expected;
        const char* what;
    } cases[] = {
        {102, 2, 1, "proportional with swiss uses the width table"},
        {103, 1, 2, "fixed pitch with roman keeps the device's spacing"},
        {101, 2, 0, "the fixed family keeps fixed pitch"},
        {102, 0, 2, "the default of swiss"},
        {101, 0, 0, "the default of the fixed family"},
        {1, 2, 1, "the built-in font uses the width table"},
        {1, 0, 0, "the built-in standard font is fixed pitch"},
        {102, 7, 2, "an unknown spacing changes nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int code = c.code;
        WGrTextFont(&code);
        WGrTextFont(nullptr, nullptr, nullptr, nullptr, nullptr, &c.spacing);
        EXPECT_EQ(gTextState.spacing, c.expected);
    }
}

TEST_F(TextFontTest, BoldBitInstallsTheBoldFaceOfAFilledFont)
{
    const int code = 1, regular = 0, bold = 1;
    YYFontSwiss();
    WGrTextFont(&code, &regular);
    rec.Clear();
    WGrTextFont(nullptr, &bold);
    EXPECT_EQ(FontName(), "swissbld.chr");
    EXPECT_EQ(gTextState.installedBold, 1);
    EXPECT_TRUE(rec.ops.empty()); // the built-in font needs no device font

    WGrTextFont(nullptr, &regular);
    EXPECT_EQ(FontName(), "swiss.chr");
    EXPECT_EQ(gTextState.installedBold, 0);

    // The start-up font is a polyline font: nothing is installed.
    YYFontStandard();
    WGrTextFont(nullptr, &bold);
    EXPECT_EQ(FontName(), "standard.chr");
    EXPECT_EQ(gTextState.installedBold, 0);
}

TEST_F(TextFontTest, ItalicSlantsTheBuiltInFont)
{
    const int code = 1, italic = 2, upright = 0;
    WGrTextFont(&code, &italic);
    EXPECT_FLOAT_EQ(gTextState.slant, kItalicSlant);
    WGrTextFont(nullptr, &upright);
    EXPECT_EQ(gTextState.slant, 0.0f);
    // With a device font the slant is not the text layer's business.
    const int device = 101;
    WGrTextFont(&device, &italic);
    EXPECT_EQ(gTextState.slant, 0.0f);
}

TEST_F(TextFontTest, OnlyTheLowThreeStyleBitsMakeANewDeviceFont)
{
    const int box = 8, underline = 4;
    WGrTextFont(nullptr, &box);
    EXPECT_EQ(gTextState.style, 8);
    EXPECT_TRUE(rec.ops.empty());
    WGrTextFont(nullptr, &underline);
    EXPECT_EQ(Ops(kScreenSide), kFont);
}

TEST_F(TextFontTest, FontApplyDerivesTheFamilyAndScalesWithTheScreenOff)
{
    TextState& t = gTextState;
    t.requestedFamily = 0;
    t.spacing = 0;
    YYTextFontApply();
    EXPECT_EQ(t.family, 1);
    EXPECT_EQ(Ops(kScreenSide), kFont);

    rec.Clear();
    gGraphicsState.screenOutput = 0;
    t.spacing = 2;
    t.charWidth = 0.02f;
    t.charHeight = 0.05f;
    YYTextFontApply();
    EXPECT_EQ(t.family, 2);
    EXPECT_TRUE(rec.ops.empty());
    const GraphicsState& g = gGraphicsState;
    EXPECT_FLOAT_EQ(t.textScaleX, g.orientedLimit[0] / (0.02f * g.orientedAreaSize[0]));
    EXPECT_FLOAT_EQ(t.textScaleY, g.orientedLimit[1] / (0.05f * g.orientedAreaSize[1]));

    // An empty area leaves scale 1 instead of dividing by zero.
    gGraphicsState.orientedAreaSize = {0.0f, 0.0f};
    YYTextFontApply();
    EXPECT_EQ(t.textScaleX, 1.0f);
    EXPECT_EQ(t.textScaleY, 1.0f);
}

TEST_F(TextFontTest, SizeSettersAndProportionalLimit)
{
    TextState& t = gTextState;
    YYCharSize(0.0f, -1.0f);
    EXPECT_EQ(t.charWidth, 0.01333333f);
    EXPECT_EQ(t.charHeight, 0.03333333f);
    YYCharSize(std::nanf(""), 0.05f);
    EXPECT_EQ(t.charWidth, 0.01333333f);
    EXPECT_EQ(t.charHeight, 0.05f);

    YYCharSize(0.02f, 0.04f);
    rec.Clear();
    YYCharAspect(0.05f, 1); // not below the height: nothing
    EXPECT_EQ(t.charWidth, 0.02f);
    EXPECT_TRUE(rec.ops.empty());
    YYCharAspect(0.01f, 0);
    EXPECT_FLOAT_EQ(t.charWidth, 0.01f);
    EXPECT_FLOAT_EQ(t.charHeight, 0.02f);
    EXPECT_EQ(Ops(kScreenSide), kFont);
    YYCharAspect(0.01f, 1);
    EXPECT_FLOAT_EQ(t.charWidth, 0.005f);
    EXPECT_FLOAT_EQ(t.charHeight, 0.01f);
}

TEST_F(TextFontTest, AngleIsKeptInOneTurnAndAddsThePageRotation)
{
    OpenHardcopy();
    struct Case {
        float angle;
        int rotation;
        float stored, device;
    } cases[] = {
        {-30.0f, 0, 330.0f, 330.0f}, {720.0f, 0, 0.0f, 0.0f},     {359.5f, 90, 359.5f, 89.5f},
        {45.0f, 270, 45.0f, 315.0f}, {-1e-9f, 0, 0.0f, 0.0f},     {-725.0f, 180, 355.0f, 175.0f},
        {std::nanf(""), 0, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        gGraphicsState.pageRotation = c.rotation;
        rec.Clear();
        YYTextAngle(c.angle);
        EXPECT_FLOAT_EQ(gTextState.angle, c.stored);
        EXPECT_FLOAT_EQ(gTextState.deviceAngle, c.device);
        EXPECT_GE(gTextState.angle, 0.0f);
        EXPECT_LT(gTextState.angle, 360.0f);
        EXPECT_EQ(Ops(kScreenSide), std::vector<int>{DeviceOp::kTextAngle});
        EXPECT_EQ(Ops(kHardcopySide), std::vector<int>{DeviceOp::kTextAngle});
    }
}

TEST_F(TextFontTest, AngleSinesCarryTheAspectFactor)
{
    // 400 x 300 pixels, the whole area: K = 4/3 x (299.99 / 399.99).
    gGraphicsState.pageRotation = 0;
    YYTextAngle(30.0f);
    const GraphicsState& g = gGraphicsState;
    const double K = (400.0 / 300.0) * (g.orientedAreaSize[1] / g.orientedAreaSize[0]);
    EXPECT_NEAR(YYTextAspectFactor(), K, 1e-6);
    const TextState& t = gTextState;
    EXPECT_NEAR(t.angleCos, std::cos(30.0 * 0.017453292), 1e-6);
    EXPECT_NEAR(t.angleSinK, K * 0.5, 1e-6);
    EXPECT_NEAR(t.angleSinByK, 0.5 / K, 1e-6);
    EXPECT_NEAR(t.deviceSinK, K * 0.5, 1e-6);
    EXPECT_NEAR(t.deviceSinByK, 0.5 / K, 1e-6);

    // A narrower area on the same target changes K by the fractions.
    IGrArea(0.0f, 0.0f, 0.5f, 1.0f);
    const double K2 = (400.0 / 300.0) * (g.orientedAreaSize[1] / g.orientedAreaSize[0]) * 0.5;
    EXPECT_NEAR(YYTextAspectFactor(), K2, 1e-6);
}

} // namespace

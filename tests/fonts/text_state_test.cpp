// Start-up values of the text state.
#include <gtest/gtest.h>

#include <string_view>

#include "graphics/text_state.h"

namespace {

TEST(TextState, StartUpValues)
{
    TextState& t = gTextState;
    // Disturb everything the start-up sets, and the fields it must leave.
    t.angle = t.deviceAngle = 30.0f;
    t.angleCos = t.deviceCos = 0.5f;
    t.angleSinK = t.angleSinByK = t.deviceSinK = t.deviceSinByK = 0.25f;
    t.slant = kItalicSlant;
    t.charWidth = t.charHeight = 0.1f;
    t.requestedFamily = 0;
    t.family = 3;
    t.style = 15;
    t.builtInFont = 1;
    t.stacking = 1;
    t.justification = 2;
    t.spacing = 2;
    t.ratioCheck = {0, 0};
    t.deviceFontName[0] = 'A';
    t.sizeLimit = {kNoTextSizeLimit, 12.0f};
    t.deviceCharset = {8, 7};
    t.rotation = {360, 1};
    t.deviceProportional = {1, 0};
    t.textScaleX = 2.0f;
    t.installedBold = 1;

    YYTextStateDefaults();

    EXPECT_EQ(t.angle, 0.0f);
    EXPECT_EQ(t.deviceAngle, 0.0f);
    EXPECT_EQ(t.angleCos, 1.0f);
    EXPECT_EQ(t.deviceCos, 1.0f);
    EXPECT_EQ(t.angleSinK, 0.0f);
    EXPECT_EQ(t.angleSinByK, 0.0f);
    EXPECT_EQ(t.deviceSinK, 0.0f);
    EXPECT_EQ(t.deviceSinByK, 0.0f);
    EXPECT_EQ(t.slant, 0.0f);
    EXPECT_EQ(t.charWidth, 0.01333333f);
    EXPECT_EQ(t.charHeight, 0.03333333f);
    EXPECT_EQ(t.requestedFamily, TextFontFamily::kFixed);
    EXPECT_EQ(t.family, TextFontFamily::kFixed);
    EXPECT_EQ(t.style, 0);
    EXPECT_EQ(t.builtInFont, 0);
    EXPECT_EQ(t.stacking, 0);
    EXPECT_EQ(t.justification, 1);
    EXPECT_EQ(t.spacing, TextSpacing::kFixedPitch);
    EXPECT_EQ(t.ratioCheck[0], 1);
    EXPECT_EQ(t.ratioCheck[1], 1);
    EXPECT_EQ(std::string_view(t.deviceFontName, 100), std::string_view(std::string(100, ' ')));

    // Filled by the drivers, not by the start-up.
    EXPECT_EQ(t.sizeLimit[0], kNoTextSizeLimit);
    EXPECT_EQ(t.sizeLimit[1], 12.0f);
    EXPECT_EQ(t.deviceCharset[1], 7);
    EXPECT_EQ(t.rotation[1], 1);
    EXPECT_EQ(t.deviceProportional[0], 1);
    EXPECT_EQ(t.textScaleX, 2.0f);
    EXPECT_EQ(t.installedBold, 1);
}

TEST(TextState, FreshRecordIsSafeToDivideBy)
{
    const TextState fresh;
    EXPECT_EQ(fresh.textScaleX, 1.0f);
    EXPECT_EQ(fresh.textScaleY, 1.0f);
    EXPECT_EQ(fresh.deviceFontName[99], ' ');
}

} // namespace

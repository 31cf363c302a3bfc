// Settings of plain window text and their hand-over to the window-text engine.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/library_state.h"
#include "core/window_services.h"
#include "graphics/window_text.h"

namespace {

class WindowTextTest : public ::testing::Test {
protected:
    WindowTextState saved = gWindowTextState;
    LibraryState savedLibrary = gLibraryState;
    // A stock font as a marker: the engine replaces it whenever it runs.
    HFONT marker = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));

    ~WindowTextTest() override
    {
        WindowTextState& t = gWindowTextState;
        if (t.font && !t.stockFont)
            DeleteObject(t.font);
        gWindowTextState = saved;
        gLibraryState = savedLibrary;
    }
    void Mark()
    {
        gWindowTextState.font = marker;
        gWindowTextState.stockFont = true;
    }
    bool EngineRan() const { return gWindowTextState.font != marker; }
};

TEST_F(WindowTextTest, ColoursKeepOutOfRangeValuesAndMapSixteen)
{
    WindowTextState& t = gWindowTextState;
    YYWindowTextColours(16, 16);
    EXPECT_EQ(t.foreground, 16);
    EXPECT_EQ(t.background, 17);
    YYWindowTextColours(3, 4);
    YYWindowTextColours(-1, 20);
    EXPECT_EQ(t.foreground, 3);
    EXPECT_EQ(t.background, 4);
    YYWindowTextColours(17, 17);
    EXPECT_EQ(t.foreground, 3);
    EXPECT_EQ(t.background, 4);
}

TEST_F(WindowTextTest, UnderlineIsStoredAsOneOrZero)
{
    YYWindowTextUnderline(5);
    EXPECT_EQ(gWindowTextState.underline, 1);
    YYWindowTextUnderline(0);
    EXPECT_EQ(gWindowTextState.underline, 0);
}

TEST_F(WindowTextTest, FontReachesTheEngineOnlyWhenItChanged)
{
    WindowTextState& t = gWindowTextState;
    gLibraryState.lastWindowTextFont = LibraryState::WindowTextFontMemo{}; // as after start-up
    t.family = 3;
    t.bold = 0;
    t.italic = 0;
    t.width = 0;
    t.height = 20;
    Mark();
    YYWindowTextFontApply(); // the first apply always arrives
    ASSERT_TRUE(EngineRan());
    EXPECT_GT(t.height, 0);
    EXPECT_EQ(gLibraryState.lastWindowTextFont.heightPixels, t.height);
    EXPECT_EQ(gLibraryState.lastWindowTextFont.widthPixels, t.width);
    EXPECT_EQ(gLibraryState.lastWindowTextFont.family, 3);

    // Same settings, even after the engine changed the size it was asked for.
    HFONT made = t.font;
    YYWindowTextFontApply();
    EXPECT_EQ(t.font, made);
    DeleteObject(made);
    Mark();
    YYWindowTextFontApply();
    EXPECT_FALSE(EngineRan());

    t.bold = 1;
    YYWindowTextFontApply();
    EXPECT_TRUE(EngineRan());
    EXPECT_EQ(gLibraryState.lastWindowTextFont.bold, 1);
}

TEST_F(WindowTextTest, PixelSizeFollowsTheWindowAndTheNextApplyArrives)
{
    WindowTextState& t = gWindowTextState;
    gLibraryState.currentWindowWidth = 1000;
    gLibraryState.currentWindowHeight = 500;
    t.normalWidth = 100;
    t.normalHeight = 400;
    YYWindowTextFontPixels();
    EXPECT_EQ(t.width, 999 * 100 / 9999);
    EXPECT_EQ(t.height, 499 * 400 / 9999);

    t.family = 4;
    Mark();
    YYWindowTextFontApply();
    ASSERT_TRUE(EngineRan());
    const int height = t.height;
    DeleteObject(t.font);
    Mark();
    // A larger window: the pixel size changes and the font is made again.
    gLibraryState.currentWindowHeight = 1000;
    YYWindowTextFontPixels();
    EXPECT_NE(t.height, height);
    YYWindowTextFontApply();
    EXPECT_TRUE(EngineRan());
}

} // namespace

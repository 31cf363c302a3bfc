// Half-tone patterns: the dot count of every grey level, the worked cases of
// the pattern rules (values computed by hand from the rules), colour swap,
// ink colours and the per-colour override on two-colour devices.
#include <gtest/gtest.h>

#include <bitset>
#include <cstdint>

#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "hardcopy/halftone.h"
#include "hardcopy/hardcopy_state.h"

namespace {

struct Patterns {
    std::uint32_t p[3];
};

Patterns For(int r, int g, int b, int deviceColours, int colourKind = 1, int swap = 0, int number = -1)
{
    HalftoneColour c;
    c.red = r;
    c.green = g;
    c.blue = b;
    c.deviceColours = deviceColours;
    c.colourSwap = swap;
    c.colourNumber = number;
    int p1 = 0, p2 = 0, p3 = 0;
    HalftonePatternsFor(colourKind, c, p1, p2, p3);
    return {{std::uint32_t(p1), std::uint32_t(p2), std::uint32_t(p3)}};
}

int Dots(std::uint32_t w)
{
    return int(std::bitset<32>(w).count());
}

TEST(Halftone, EveryGreyLevelGetsItsDotCount)
{
    // Dots of grey level v: 32 x v / 255 + 0.5 truncated, none below one dot,
    // all 32 once v / 255 is above 0.975. Worked out by hand at the steps.
    struct Case {
        int level, dots;
    } cases[] = {
        {0, 0},     // 0.0 + 0.5
        {3, 0},     // 0.376 + 0.5 = 0.876
        {4, 1},     // 0.502 + 0.5 = 1.002
        {11, 1},    // 1.380 + 0.5 = 1.880
        {12, 2},    // 1.506 + 0.5 = 2.006
        {123, 15},  // 15.435 + 0.5 = 15.935
        {124, 16},  // 15.561 + 0.5 = 16.061
        {128, 16},  // 16.063 + 0.5 = 16.563
        {243, 30},  // 30.494 + 0.5 = 30.994
        {244, 31},  // 30.620 + 0.5 = 31.120
        {248, 31},  // 248 / 255 = 0.9725, not above 0.975: 31.622
        {249, 32},  // 249 / 255 = 0.9765: full
        {255, 32},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Dots(For(c.level, c.level, c.level, 256).p[0]), c.dots) << "level " << c.level;

    int previous = 0;
    for (int v = 0; v < 256; ++v) {
        Patterns p = For(v, v, v, 256);
        // Lighter never has fewer dots.
        ASSERT_GE(Dots(p.p[0]), previous) << "level " << v;
        previous = Dots(p.p[0]);
        // A grey gives the red pattern for all three components.
        ASSERT_EQ(p.p[1], p.p[0]) << "level " << v;
        ASSERT_EQ(p.p[2], p.p[0]) << "level " << v;
    }
}

TEST(Halftone, WorkedCases)
{
    // Black: no dots; white: every dot.
    Patterns black = For(0, 0, 0, 256);
    EXPECT_EQ(black.p[0] | black.p[1] | black.p[2], 0u);
    Patterns white = For(255, 255, 255, 256);
    EXPECT_EQ(white.p[0] & white.p[1] & white.p[2], 0xFFFFFFFFu);

    // 128: 16 dots, run 1, gap 1, every other bit from bit 24 on; the equal
    // rows are then rotated into a checkerboard.
    EXPECT_EQ(For(128, 128, 128, 256).p[0], 0xAA55AA55u);
    // 250: 32 x f + 0.5 is 31.9, yet the fraction is above 0.975: full.
    EXPECT_EQ(For(250, 0, 0, 256).p[0], 0xFFFFFFFFu);

    // Pure red on a two-colour device: grey 0.35, 11 dots from bit 15 in
    // steps of 2 (bits 15, 17, ..., 31, 1, 3), rows 0x0A 0x80 0xAA 0xAA;
    // the last row equals the one before it and is rotated by 3 to 0x55.
    Patterns red = For(255, 0, 0, 2);
    EXPECT_EQ(red.p[0], 0x55AA800Au);
    EXPECT_EQ(red.p[1], red.p[0]);
    EXPECT_EQ(red.p[2], red.p[0]);

    // (10, 10, 12) counts as grey; (10, 10, 14) does not.
    Patterns nearGrey = For(10, 10, 12, 256);
    EXPECT_EQ(nearGrey.p[1], nearGrey.p[0]);
    EXPECT_EQ(nearGrey.p[2], nearGrey.p[0]);
    Patterns coloured = For(0, 128, 255, 256);
    EXPECT_EQ(coloured.p[0], 0u);
    EXPECT_EQ(Dots(coloured.p[1]), 16);
    EXPECT_EQ(coloured.p[2], 0xFFFFFFFFu);

    // The results are kept in the state.
    EXPECT_EQ(std::uint32_t(gHalftoneState.patterns[2]), 0xFFFFFFFFu);
}

TEST(Halftone, InkColoursAndColourSwap)
{
    // Ink colours on a colour device: white needs no ink, black all of it.
    Patterns ink = For(255, 255, 255, 256, 2);
    EXPECT_EQ(ink.p[0] | ink.p[1] | ink.p[2], 0u);
    EXPECT_EQ(For(0, 0, 0, 256, 2).p[0], 0xFFFFFFFFu);
    // ... but not on a two-colour device.
    EXPECT_EQ(For(255, 255, 255, 2, 2).p[0], 0xFFFFFFFFu);

    // Swap 1 inverts every colour; swap 2 only near black and near white.
    EXPECT_EQ(For(0, 0, 0, 256, 1, 1).p[0], 0xFFFFFFFFu);
    EXPECT_EQ(For(100, 0, 0, 256, 1, 1).p[0], For(155, 0, 0, 256).p[0]);
    EXPECT_EQ(For(5, 5, 5, 256, 1, 2).p[0], 0xFFFFFFFFu);
    EXPECT_EQ(For(255, 255, 250, 256, 1, 2).p[0], 0u);
    EXPECT_EQ(For(100, 0, 0, 256, 1, 2).p[0], For(100, 0, 0, 256).p[0]);

    // Two-colour device with a swap: the grey pattern is also inverted bit for
    // bit, so swapped black (white, all dots) ends up with none.
    EXPECT_EQ(For(0, 0, 0, 2, 1, 1).p[0], 0u);
    EXPECT_EQ(For(255, 0, 0, 2, 1, 2).p[0], ~0x55AA800Au);
}

TEST(Halftone, OverridesOnTwoColourDevices)
{
    HalftoneOverridesClear();
    EXPECT_EQ(For(255, 0, 0, 2, 1, 0, 7).p[0], 0x55AA800Au);
    gHalftoneState.overrideDefined[7] = 0;
    gHalftoneState.overridePattern[7] = 0x0F0F0F0F;
    Patterns p = For(255, 0, 0, 2, 1, 0, 7);
    EXPECT_EQ(p.p[0], 0x0F0F0F0Fu);
    EXPECT_EQ(p.p[1], 0x55AA800Au);
    // Not in the RGB model (no colour number), not on a colour device.
    EXPECT_EQ(For(255, 0, 0, 2, 1, 0, -1).p[0], 0x55AA800Au);
    EXPECT_NE(For(255, 0, 0, 256, 1, 0, 7).p[0], 0x0F0F0F0Fu);
    HalftoneOverridesClear();
    EXPECT_EQ(For(255, 0, 0, 2, 1, 0, 7).p[0], 0x55AA800Au);
}

TEST(Halftone, ReadsTheDrawingAndHardcopyState)
{
    GraphicsState savedGraphics = gGraphicsState;
    int savedEntry = gColourTable.entries[7];
    int savedSwap = gHardcopyState.options[HardcopyOptionSlot(6)];
    HalftoneOverridesClear();
    int p1 = 0, p2 = 0, p3 = 0;

    // RGB model, two-colour device: pure red.
    gGraphicsState.colourModel = kColourModelRgb;
    gGraphicsState.currentRgb = 0x0000FF;
    gGraphicsState.hardcopyColours = 2;
    gHardcopyState.options[HardcopyOptionSlot(6)] = 0;
    YYHalftonePatterns(1, p1, p2, p3);
    EXPECT_EQ(std::uint32_t(p1), 0x55AA800Au);
    // Option 6 inverts the grey pattern.
    gHardcopyState.options[HardcopyOptionSlot(6)] = 2;
    YYHalftonePatterns(1, p1, p2, p3);
    EXPECT_EQ(std::uint32_t(p1), ~0x55AA800Au);

    // Numbered model: the colour number goes through the colour table, and
    // its override is used on a two-colour device.
    gHardcopyState.options[HardcopyOptionSlot(6)] = 0;
    gGraphicsState.colourModel = kColourModelNumbers;
    gGraphicsState.currentNumber = 7;
    gColourTable.entries[7] = 0x0000FF;
    gHalftoneState.overrideDefined[7] = 1;
    gHalftoneState.overridePattern[7] = 0x12345678;
    YYHalftonePatterns(1, p1, p2, p3);
    EXPECT_EQ(p1, 0x12345678);
    EXPECT_EQ(std::uint32_t(p2), 0x55AA800Au);
    // On a colour device with ink colours: red needs no red ink.
    gGraphicsState.hardcopyColours = 256;
    YYHalftonePatterns(2, p1, p2, p3);
    EXPECT_EQ(p1, 0);
    EXPECT_EQ(std::uint32_t(p2), 0xFFFFFFFFu);

    HalftoneOverridesClear();
    gHardcopyState.options[HardcopyOptionSlot(6)] = savedSwap;
    gColourTable.entries[7] = savedEntry;
    gGraphicsState = savedGraphics;
}

} // namespace

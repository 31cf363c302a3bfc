// The current stroke font: install, and the one-slot save and restore.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "core/fixed_text.h"
#include "fonts/stroke_font.h"
#include "graphics/text_state.h"

namespace {

std::array<int32_t, 96> Table(int base)
{
    std::array<int32_t, 96> t{};
    for (int i = 0; i < 96; ++i)
        t[i] = base + i;
    return t;
}

std::string_view NameOf(const StrokeFont& f)
{
    return TrimRight(std::string_view(f.name.data(), f.name.size()));
}

std::string StoreText(size_t from, size_t count)
{
    return std::string(gStrokeFont.glyphString.data() + from, count);
}

TEST(StrokeFontInstall, CopiesHeaderNameGlyphsAndTables)
{
    const auto low = Table(1), high = Table(200);
    const struct {
        int flags, polyline, extra;
    } cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 0, 1}, {3, 1, 1}, {-1, 1, 1}};
    for (const auto& c : cases) {
        gTextState.installedBold = 1;
        YYFontInstall(1.5f, 2.5f, 3.5f, 4.5f, 7, c.flags, 1, "a.chr", "0011u2233", low, high);
        const StrokeFont& f = gStrokeFont;
        EXPECT_EQ(f.polylineFlag, c.polyline) << "flags " << c.flags;
        EXPECT_EQ(f.extraGlyphFlag, c.extra) << "flags " << c.flags;
        EXPECT_EQ(f.nominalWidth, 1.5f);
        EXPECT_EQ(f.nominalHeight, 2.5f);
        EXPECT_EQ(f.cellExtentA, 3.5f);
        EXPECT_EQ(f.cellExtentB, 4.5f);
        EXPECT_EQ(f.charsetBits, 7);
        EXPECT_EQ(f.proportionalFlag, 1);
        EXPECT_EQ(NameOf(f), "a.chr");
        EXPECT_EQ(f.name[259], ' ');
        EXPECT_EQ(StoreText(0, 9), "0011u2233");
        EXPECT_EQ(f.lowStart[94], 95);
        EXPECT_EQ(f.highStart, high);
        EXPECT_EQ(gTextState.installedBold, 0);
    }
}

TEST(StrokeFontInstall, LongNameIsCut)
{
    const auto t = Table(1);
    const std::string name(300, 'n');
    YYFontInstall(1, 1, 1, 1, 8, 0, 0, name, "0011", t, t);
    EXPECT_EQ(std::string(gStrokeFont.name.data(), 260), std::string(260, 'n'));
}

TEST(StrokeFontInstall, EntryNinetyFiveKeptWithoutExtraGlyph)
{
    auto withExtra = Table(1);
    withExtra[95] = 4242;
    const auto other = Table(500);
    YYFontInstall(1, 1, 1, 1, 8, 2, 0, "x", "0011", withExtra, withExtra);
    EXPECT_EQ(gStrokeFont.lowStart[95], 4242);
    YYFontInstall(1, 1, 1, 1, 8, 1, 0, "y", "0011", other, other);
    EXPECT_EQ(gStrokeFont.extraGlyphFlag, 0);
    EXPECT_EQ(gStrokeFont.lowStart[94], 594);
    EXPECT_EQ(gStrokeFont.lowStart[95], 4242);
}

TEST(StrokeFontInstall, ShorterStringKeepsTheTailAndLongerIsCut)
{
    const auto t = Table(1);
    YYFontInstall(1, 1, 1, 1, 8, 0, 0, "long", "00112233445566", t, t);
    YYFontInstall(1, 1, 1, 1, 8, 0, 0, "short", "7788", t, t);
    EXPECT_EQ(StoreText(0, 14), "77882233445566");

    // A string longer than the store fills it and goes no further.
    std::string huge(kStrokeGlyphCapacity + 50, 'A');
    huge[kStrokeGlyphCapacity - 1] = 'Z';
    YYFontInstall(1, 1, 1, 1, 8, 0, 0, "huge", huge, t, t);
    EXPECT_EQ(gStrokeFont.glyphString[kStrokeGlyphCapacity - 1], 'Z');
    EXPECT_EQ(gStrokeFont.name[0], 'h'); // the field after the store is intact
    EXPECT_EQ(NameOf(gStrokeFont), "huge");
}

TEST(StrokeFontInstall, LeavesWidthTableAndTextFlagsAlone)
{
    gStrokeWidthTable.low.fill(3.0f);
    gTextState.builtInFont = 1;
    gTextState.spacing = 1;
    const auto t = Table(1);
    YYFontInstall(1, 1, 1, 1, 8, 3, 1, "z", "0011", t, t);
    EXPECT_EQ(gStrokeWidthTable.low[10], 3.0f);
    EXPECT_EQ(gTextState.builtInFont, 1);
    EXPECT_EQ(gTextState.spacing, 1);
}

TEST(StrokeFontSaveRestore, RestoreBringsBackEverySavedField)
{
    const auto a = Table(10), b = Table(900);
    YYFontInstall(7.68f, 11.88f, 6.0f, 11.0f, 8, 3, 0, "first.chr", "0011u2233", a, a);
    gTextState.builtInFont = 0;
    const StrokeFont before = gStrokeFont;

    YYFontSaveRestore(-1);
    YYFontInstall(36.75f, 36.75f, 35.0f, 35.0f, 7, 1, 1, "second.chr", "4455", b, b);
    gTextState.builtInFont = 1;
    gTextState.installedBold = 1;
    gStrokeWidthTable.high.fill(5.0f);

    YYFontSaveRestore(0);
    const StrokeFont& f = gStrokeFont;
    EXPECT_EQ(std::memcmp(f.glyphString.data(), before.glyphString.data(), kStrokeGlyphCapacity), 0);
    EXPECT_EQ(f.name, before.name);
    EXPECT_EQ(f.lowStart, before.lowStart);
    EXPECT_EQ(f.highStart, before.highStart);
    EXPECT_EQ(f.nominalWidth, 7.68f);
    EXPECT_EQ(f.nominalHeight, 11.88f);
    EXPECT_EQ(f.cellExtentA, 6.0f);
    EXPECT_EQ(f.cellExtentB, 11.0f);
    EXPECT_EQ(f.charsetBits, 8);
    EXPECT_EQ(f.polylineFlag, 1);
    EXPECT_EQ(f.extraGlyphFlag, 1);
    EXPECT_EQ(f.proportionalFlag, 0);
    EXPECT_EQ(gTextState.builtInFont, 0);
    // Not part of the slot.
    EXPECT_EQ(gTextState.installedBold, 1);
    EXPECT_EQ(gStrokeWidthTable.high[0], 5.0f);
}

TEST(StrokeFontSaveRestore, SecondSaveOverwritesTheFirst)
{
    const auto t = Table(1);
    YYFontInstall(1, 1, 1, 1, 8, 0, 0, "one", "0011", t, t);
    YYFontSaveRestore(-1);
    YYFontInstall(2, 2, 2, 2, 8, 0, 0, "two", "2233", t, t);
    YYFontSaveRestore(1); // any odd mode saves
    YYFontInstall(3, 3, 3, 3, 8, 0, 0, "three", "4455", t, t);
    YYFontSaveRestore(0);
    EXPECT_EQ(NameOf(gStrokeFont), "two");
    YYFontInstall(3, 3, 3, 3, 8, 0, 0, "three", "4455", t, t);
    YYFontSaveRestore(2); // any even mode restores, as often as asked
    EXPECT_EQ(NameOf(gStrokeFont), "two");
    EXPECT_EQ(gStrokeFont.nominalWidth, 2.0f);
}

} // namespace

// The nine built-in stroke fonts: header words and names as installed, and
// the glyph data checked by the font validator.
#include <gtest/gtest.h>

#include <string>

#include "core/fixed_text.h"
#include "font_validator.h"
#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "graphics/text_state.h"

namespace {

struct Expected {
    void (*install)();
    const char* name;
    float nominalWidth, nominalHeight, extentA, extentB;
    int charsetBits, polyline, extraGlyph, proportional;
};

const Expected kFonts[] = {
    {YYFontStandard, "standard.chr", 7.68f, 11.88f, 6.0f, 11.0f, 8, 1, 1, 0},
    {YYFontFixed, "fixed.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, 0, 1, 0},
    {YYFontFixedBold, "fixedbld.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, 0, 1, 0},
    {YYFontSwiss, "swiss.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, 0, 1, 1},
    {YYFontSwissBold, "swissbld.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, 0, 1, 1},
    {YYFontRoman, "roman.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, 0, 1, 1},
    {YYFontRomanBold, "romanbld.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, 0, 1, 1},
    {YYFontSymbol, "symbol.chr", 30.25f, 55.0f, 55.0f, 55.0f, 8, 0, 0, 1},
    {YYFontMarkers, "symbols.chr", 36.75f, 36.75f, 35.0f, 35.0f, 8, 1, 0, 1},
};

// The glyph of CODE in the current font, by its start tables.
std::string CurrentGlyph(int code)
{
    const StrokeFont& f = gStrokeFont;
    int first = 0, next = 0;
    if (code >= 33 && code <= 126) {
        first = f.lowStart[code - 33];
        next = f.lowStart[code - 32];
    } else if (code == 128) {
        first = f.lowStart[94];
        next = f.lowStart[95];
    } else {
        first = f.highStart[code - 161];
        next = f.highStart[code - 160];
    }
    if (first < 1 || next <= first || next - 1 > kStrokeGlyphCapacity)
        return {};
    return std::string(f.glyphString.data() + first - 1, next - first);
}

TEST(BuiltInFonts, EachRoutineInstallsItsHeaderWordsAndName)
{
    for (const Expected& e : kFonts) {
        SCOPED_TRACE(e.name);
        gTextState.installedBold = 1;
        gTextState.builtInFont = 1;
        gTextState.spacing = 2;
        e.install();
        const StrokeFont& f = gStrokeFont;
        EXPECT_EQ(TrimRight(std::string_view(f.name.data(), f.name.size())), e.name);
        EXPECT_EQ(f.nominalWidth, e.nominalWidth);
        EXPECT_EQ(f.nominalHeight, e.nominalHeight);
        EXPECT_EQ(f.cellExtentA, e.extentA);
        EXPECT_EQ(f.cellExtentB, e.extentB);
        EXPECT_EQ(f.charsetBits, e.charsetBits);
        EXPECT_EQ(f.polylineFlag, e.polyline);
        EXPECT_EQ(f.extraGlyphFlag, e.extraGlyph);
        EXPECT_EQ(f.proportionalFlag, e.proportional);
        // Every code is there after the install, whatever was current before.
        for (int c = 33; c <= 255; ++c) {
            if (c <= 126 || c >= 161) {
                EXPECT_FALSE(CurrentGlyph(c).empty()) << "code " << c;
            }
        }
        EXPECT_EQ(gTextState.installedBold, 0);
        EXPECT_EQ(gTextState.builtInFont, 1);
        EXPECT_EQ(gTextState.spacing, 2);
    }
}

TEST(BuiltInFonts, StandardFontGlyphsAsInstalled)
{
    YYFontStandard();
    EXPECT_EQ(CurrentGlyph('!'), "3233u363B");
    EXPECT_FALSE(CurrentGlyph(128).empty()); // the euro sign
    EXPECT_EQ(gStrokeFont.highStart[95], static_cast<int>(kStandardGlyphData.glyphs.size()) + 1);
}

TEST(BuiltInFonts, MarkerFontLeavesTheStandardFontsExtraEntryAlone)
{
    YYFontStandard();
    const int extraEnd = gStrokeFont.lowStart[95];
    YYFontMarkers();
    EXPECT_EQ(gStrokeFont.extraGlyphFlag, 0);
    EXPECT_EQ(gStrokeFont.lowStart[95], extraEnd);
    EXPECT_EQ(gStrokeFont.lowStart[94], kMarkerGlyphData.lowStart[94]);
}

// Every routine hands over data that fits the store and that the validator
// accepts for that font's design; the text faces span their y ranges.
TEST(BuiltInFonts, EveryFontCarriesValidatedData)
{
    for (size_t i = 0; i < kBuiltInFonts.size(); ++i) {
        const BuiltInFont& f = kBuiltInFonts[i];
        const GlyphDesign& d = kBuiltInFontDesigns[i];
        SCOPED_TRACE(std::string(f.name));
        ASSERT_NE(f.data, nullptr);
        EXPECT_LE(f.data->glyphs.size(), static_cast<size_t>(kStrokeGlyphCapacity));
        EXPECT_EQ((f.flags & kStrokeFlagExtraGlyph) != 0, d.extraGlyph);
        EXPECT_EQ((f.flags & kStrokeFlagPolyline) == 0, d.filled);
        GlyphStats stats;
        const std::vector<std::string> problems = ValidateGlyphData(*f.data, d, &stats);
        EXPECT_TRUE(problems.empty()) << problems.size() << " problems, first: " << problems.front();
        EXPECT_LE(stats.mostPoints, kStrokeContourMax);
        EXPECT_GT(stats.contours, 189);
        if (d.filled) {
            EXPECT_EQ(stats.yLow, d.yMin);
            EXPECT_EQ(stats.yHigh, d.yMax);
        }
    }
}

// The validator itself: each fault in a small font is found.
TEST(BuiltInFonts, ValidatorFindsFaults)
{
    // A font whose every glyph is FILLER (by default "0011", one line), with
    // the glyph of code 33 replaced.
    auto font = [](std::string_view glyph33, int extraGap = 0, std::string_view filler = "0011") {
        std::string s(glyph33);
        BuiltInGlyphData d{};
        d.lowStart[0] = 1;
        const int step = static_cast<int>(filler.size());
        int pos = 1 + static_cast<int>(glyph33.size());
        for (int i = 1; i <= 95; ++i) {
            d.lowStart[i] = pos;
            if (i < 94) {
                s += filler;
                pos += step;
            }
        }
        s += std::string(extraGap, ' ');
        pos += extraGap;
        for (int i = 0; i < 96; ++i) {
            d.highStart[i] = pos;
            if (i < 95) {
                s += filler;
                pos += step;
            }
        }
        return std::make_pair(s, d);
    };
    const GlyphDesign design{0, 6, 0, 11, "u", false, false};
    {
        auto [s, d] = font("0011");
        d.glyphs = s;
        EXPECT_TRUE(ValidateGlyphData(d, design).empty());
        EXPECT_FALSE(ValidateGlyphData(d, {0, 6, 0, 11, "u", false, true}).empty()) << "two points, filled";
        EXPECT_FALSE(ValidateGlyphData(d, {0, 6, 1, 11, "u", false, false}).empty()) << "y below the range";
        EXPECT_FALSE(ValidateGlyphData(d, {1, 6, 0, 11, "u", false, false}).empty()) << "x below the range";
        d.highStart[95] += 1;
        EXPECT_FALSE(ValidateGlyphData(d, design).empty()) << "last entry not length + 1";
    }
    {
        // Filled contours: triangles pass, three points on a line have no area.
        const GlyphDesign filled{0, 6, 0, 11, "u", false, true};
        auto [s, d] = font("002011u335243", 0, "002011");
        d.glyphs = s;
        EXPECT_TRUE(ValidateGlyphData(d, filled).empty());
        auto [t, e] = font("002011u001122", 0, "002011");
        e.glyphs = t;
        EXPECT_FALSE(ValidateGlyphData(e, filled).empty()) << "collinear filled contour";
    }
    {
        // A glyph for code 128 where the design has none.
        auto [s, d] = font("0011");
        s.insert(static_cast<size_t>(d.lowStart[94] - 1), "0011");
        d.lowStart[95] += 4;
        for (auto& h : d.highStart)
            h += 4;
        d.glyphs = s;
        EXPECT_FALSE(ValidateGlyphData(d, design).empty()) << "code 128 present";
        EXPECT_TRUE(ValidateGlyphData(d, {0, 6, 0, 11, "u", true, false}).empty()) << "code 128 designed";
    }
    {
        auto [s, d] = font("0011u", 3);
        d.glyphs = s;
        EXPECT_TRUE(ValidateGlyphData(d, design).empty()) << "trailing separator, three blanks";
    }
    std::string tooLong;
    for (int i = 0; i < kStrokeContourMax + 1; ++i)
        tooLong += (i % 2) ? "11" : "00";
    std::string longest = tooLong.substr(2);
    const std::pair<std::string, const char*> bad[] = {
        {"", "empty glyph"},
        {"0011uu2233", "empty contour"},
        {"u0011", "leading separator"},
        {"00", "one point"},
        {"00112", "odd digits"},
        {"0011v2233", "foreign separator"},
        {"007C", "y outside the range"},
        {"7011", "x outside the range"},
        {tooLong, "153 points"},
    };
    for (const auto& [glyph, what] : bad) {
        auto [s, d] = font(glyph);
        d.glyphs = s;
        EXPECT_FALSE(ValidateGlyphData(d, design).empty()) << what;
    }
    {
        auto [s, d] = font(longest);
        d.glyphs = s;
        EXPECT_TRUE(ValidateGlyphData(d, design).empty()) << "152 points";
    }
    {
        auto [s, d] = font("0011", 4);
        d.glyphs = s;
        EXPECT_FALSE(ValidateGlyphData(d, design).empty()) << "four characters before code 161";
    }
    {
        auto [s, d] = font("0011");
        std::swap(d.lowStart[10], d.lowStart[11]);
        d.glyphs = s;
        EXPECT_FALSE(ValidateGlyphData(d, design).empty()) << "decreasing table";
    }
}

} // namespace

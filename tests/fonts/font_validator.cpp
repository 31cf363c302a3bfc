#include "font_validator.h"

#include <algorithm>

#include "fonts/stroke_font.h"

const std::array<GlyphDesign, 9> kBuiltInFontDesigns = {{
    {0, 6, 0, 11, "u", true, false},    // standard.chr
    {11, 44, 5, 52, "v", true, true},   // fixed.chr
    {9, 46, 5, 52, "v", true, true},    // fixedbld.chr
    {2, 51, 1, 53, "v", true, true},    // swiss.chr
    {2, 51, 2, 55, "v", true, true},    // swissbld.chr
    {3, 52, 4, 54, "v", true, true},    // roman.chr
    {2, 52, 3, 54, "v", true, true},    // romanbld.chr
    {0, 55, 4, 55, "v", false, true},   // symbol.chr
    {0, 35, 0, 35, "uv", false, false}, // symbols.chr
}};

namespace {

int DigitValue(char c)
{
    const size_t p = kStrokeDigits.find(c);
    return p == std::string_view::npos ? -1 : static_cast<int>(p);
}

// One glyph: contours of points separated by single separators, an optional
// trailing separator, every point inside the design range.
void CheckGlyph(std::string_view g, int code, const GlyphDesign& d, GlyphStats& stats,
                std::vector<std::string>& problems)
{
    auto fail = [&](const std::string& what) {
        problems.push_back("code " + std::to_string(code) + ": " + what);
    };
    if (g.empty()) {
        fail("empty glyph");
        return;
    }
    size_t i = 0;
    while (i < g.size()) {
        // one contour: a run of digits
        const size_t start = i;
        while (i < g.size() && DigitValue(g[i]) >= 0)
            ++i;
        const size_t digits = i - start;
        if (digits == 0) {
            fail("empty contour at position " + std::to_string(start));
        } else if (digits % 2 != 0) {
            fail("odd number of digits in a contour");
        } else {
            const int points = static_cast<int>(digits / 2);
            if (points < 2 || points > kStrokeContourMax)
                fail("contour of " + std::to_string(points) + " points");
            if (d.filled && points < 3)
                fail("filled contour of " + std::to_string(points) + " points");
            long twiceArea = 0; // shoelace sum of the closed contour
            for (size_t k = start; k < i; k += 2) {
                const int x = DigitValue(g[k]);
                const int y = DigitValue(g[k + 1]);
                if (x < d.xMin || x > d.xMax || y < d.yMin || y > d.yMax)
                    fail("point (" + std::to_string(x) + "," + std::to_string(y) + ") outside the design range");
                stats.xLow = std::min(stats.xLow, x);
                stats.xHigh = std::max(stats.xHigh, x);
                stats.yLow = std::min(stats.yLow, y);
                stats.yHigh = std::max(stats.yHigh, y);
                const size_t n = k + 2 < i ? k + 2 : start;
                twiceArea += static_cast<long>(x) * DigitValue(g[n + 1]) - static_cast<long>(DigitValue(g[n])) * y;
            }
            if (d.filled && points >= 3 && twiceArea == 0)
                fail("filled contour without area at position " + std::to_string(start));
            ++stats.contours;
            stats.mostPoints = std::max(stats.mostPoints, points);
        }
        if (i >= g.size())
            break;
        if (d.separators.find(g[i]) == std::string_view::npos)
            fail(std::string("character '") + g[i] + "' is neither digit nor separator");
        ++i; // the separator; one at the very end is allowed
    }
}

} // namespace

std::vector<std::string> ValidateGlyphData(const BuiltInGlyphData& data, const GlyphDesign& design,
                                           GlyphStats* statsOut)
{
    std::vector<std::string> problems;
    GlyphStats stats;
    const auto& low = data.lowStart;
    const auto& high = data.highStart;
    const int length = static_cast<int>(data.glyphs.size());
    if (length > kStrokeGlyphCapacity)
        problems.push_back("glyph string longer than the store");
    if (low[0] != 1)
        problems.push_back("the first glyph does not start at position 1");
    const int lowLast = design.extraGlyph ? 95 : 94;
    if (!design.extraGlyph && low[95] != low[94])
        problems.push_back("a glyph for code 128 in a font without one");
    for (int i = 1; i <= lowLast; ++i)
        if (low[i] < low[i - 1])
            problems.push_back("low start table decreases at entry " + std::to_string(i));
    for (int i = 1; i < 96; ++i)
        if (high[i] < high[i - 1])
            problems.push_back("high start table decreases at entry " + std::to_string(i));
    if (high[95] != length + 1)
        problems.push_back("last high entry " + std::to_string(high[95]) + " is not the length + 1 (" +
                           std::to_string(length + 1) + ")");
    // Between the low glyphs and code 161: at most three blanks.
    const int gap = high[0] - low[lowLast];
    if (gap < 0 || gap > 3)
        problems.push_back("gap of " + std::to_string(gap) + " characters before code 161");
    else
        for (int p = low[lowLast]; p < high[0]; ++p)
            if (data.glyphs[p - 1] != ' ')
                problems.push_back("non-blank character between the glyph tables");
    if (!problems.empty())
        return problems; // spans cannot be trusted

    auto span = [&](int first, int next) { return data.glyphs.substr(first - 1, next - first); };
    for (int c = 33; c <= 126; ++c)
        CheckGlyph(span(low[c - 33], low[c - 32]), c, design, stats, problems);
    if (design.extraGlyph)
        CheckGlyph(span(low[94], low[95]), 128, design, stats, problems);
    for (int c = 161; c <= 255; ++c)
        CheckGlyph(span(high[c - 161], high[c - 160]), c, design, stats, problems);
    if (statsOut)
        *statsOut = stats;
    return problems;
}

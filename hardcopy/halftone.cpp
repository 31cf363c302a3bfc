// Half-tone patterns: dots spread over the 8 x 4 cell in runs and gaps, then
// rows that came out equal are rotated against each other so that the
// pattern does not form vertical stripes.
#include "hardcopy/halftone.h"

#include <algorithm>
#include <cstdint>

#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_state.h"

HalftoneState gHalftoneState;

namespace {

// Rotates the 8-bit value V left by N bits.
std::uint32_t RotateByte(std::uint32_t v, int n)
{
    n %= 8;
    return ((v << n) | (v >> (8 - n))) & 0xFFu;
}

// The pattern of component U (1, 2 or 3) with fraction F of full intensity.
std::uint32_t ComponentPattern(int u, double f)
{
    int n = static_cast<int>(32.0 * f + 0.5); // f is 0..1.05 here
    if (n < 1)
        return 0;
    if (f > 0.975)
        return 0xFFFFFFFFu;
    int d = 32 - n;
    int run = std::max(1, n / (d < 2 ? 1 : d));
    int gap = std::max(1, d / n);

    std::uint32_t word = 0;
    int left = n;
    int p = ((u + 2) * (n / (u + 1))) % 32;
    int inRun = 0;
    for (int step = 0; step < 32; ++step) {
        if (inRun < run && left > 0 && !((word >> p) & 1u)) {
            word |= 1u << p;
            --left;
            ++inRun;
            p = (p + 1) % 32;
        } else {
            p = (p + gap) % 32;
            inRun = 0;
        }
    }
    for (int k = 0; k < 32 && left > 0; ++k) {
        if (!((word >> k) & 1u)) {
            word |= 1u << k;
            --left;
        }
        if (left > 0 && !((word >> (31 - k)) & 1u)) {
            word |= 1u << (31 - k);
            --left;
        }
    }

    // Rows made to differ.
    std::uint32_t row[4];
    for (int j = 0; j < 4; ++j)
        row[j] = (word & static_cast<std::uint32_t>(gHalftoneState.byteMasks[j])) >> (8 * j);
    for (int j = 0; j < 4; ++j) {
        if (row[j] == 0 || row[j] == 255)
            continue;
        for (int k = j + 1; k < 4; ++k) {
            if (row[k] == row[j])
                row[k] = RotateByte(row[k], u + 2);
            for (int i = k - 1; i >= 0; --i)
                if (row[i] == row[k])
                    row[i] = RotateByte(row[i], u + 1);
        }
    }
    return row[0] | (row[1] << 8) | (row[2] << 16) | (row[3] << 24);
}

int AsInt(std::uint32_t word)
{
    return static_cast<int>(word);
}

} // namespace

void HalftoneOverridesClear()
{
    gHalftoneState.overrideDefined.fill(-1);
    gHalftoneState.overridePattern.fill(0);
}

void HalftonePatternsFor(int colourKind, const HalftoneColour& colour, int& pattern1, int& pattern2,
                         int& pattern3)
{
    HalftoneState& s = gHalftoneState;
    s.byteMasks = {0xFF, 0xFF << 8, 0xFF << 16, AsInt(0xFFu << 24)};

    int c[3] = {std::clamp(colour.red, 0, 255), std::clamp(colour.green, 0, 255),
                std::clamp(colour.blue, 0, 255)};
    bool nearBlack = c[0] < 10 && c[1] < 10 && c[2] < 10;
    bool nearWhite = c[0] >= 246 && c[1] >= 246 && c[2] >= 246;
    if (colour.colourSwap == 1 || (colour.colourSwap == 2 && (nearBlack || nearWhite)))
        for (int& v : c)
            v = 255 - v;
    bool twoColours = colour.deviceColours == 2;
    if (colourKind == 2 && colour.deviceColours > 2)
        for (int& v : c)
            v = 255 - v;

    if (twoColours) {
        double grey = (0.35 * c[0] + 0.59 * c[1] + 0.11 * c[2]) / 255.0;
        std::uint32_t word = ComponentPattern(1, grey);
        if (colour.colourSwap != 0)
            word = ~word;
        s.patterns = {AsInt(word), AsInt(word), AsInt(word)};
        int n = colour.colourNumber;
        if (n >= 0 && n < 256 && s.overrideDefined[n] >= 0)
            s.patterns[0] = s.overridePattern[n];
    } else {
        std::uint32_t red = ComponentPattern(1, c[0] / 255.0);
        int hi = std::max({c[0], c[1], c[2]});
        int lo = std::min({c[0], c[1], c[2]});
        if (hi - lo < 4)
            s.patterns = {AsInt(red), AsInt(red), AsInt(red)};
        else
            s.patterns = {AsInt(red), AsInt(ComponentPattern(2, c[1] / 255.0)),
                          AsInt(ComponentPattern(3, c[2] / 255.0))};
    }
    pattern1 = s.patterns[0];
    pattern2 = s.patterns[1];
    pattern3 = s.patterns[2];
}

void YYHalftonePatterns(int colourKind, int& pattern1, int& pattern2, int& pattern3)
{
    const GraphicsState& g = gGraphicsState;
    bool numbered = g.colourModel == kColourModelNumbers;
    HalftoneColour colour;
    YYColourSplit(numbered ? g.currentNumber : g.currentRgb, colour.red, colour.green, colour.blue);
    colour.colourNumber = numbered ? g.currentNumber : -1;
    colour.deviceColours = g.hardcopyColours;
    colour.colourSwap = gHardcopyState.options[HardcopyOptionSlot(6)];
    HalftonePatternsFor(colourKind, colour, pattern1, pattern2, pattern3);
}

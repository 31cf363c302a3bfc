// Colours as the plot-file drivers write them.
#include "hardcopy/plot_colours.h"

#include "graphics/colours.h"
#include "graphics/graphics_state.h"

int HardcopyCurrentColour()
{
    const GraphicsState& g = gGraphicsState;
    return g.colourModel == kColourModelRgb ? g.currentRgb : g.currentNumber;
}

int HardcopyPreviousColour()
{
    const GraphicsState& g = gGraphicsState;
    return g.colourModel == kColourModelRgb ? g.previousRgb : g.previousNumber;
}

std::array<int, 3> ColourComponents(int colour)
{
    std::array<int, 3> c{};
    YYColourSplit(colour, c[0], c[1], c[2]);
    return c;
}

void ColourSwapBytes(std::array<int, 3>& rgb, int mode)
{
    const bool dark = rgb[0] < 10 && rgb[1] < 10 && rgb[2] < 10;
    const bool light = rgb[0] >= 246 && rgb[1] >= 246 && rgb[2] >= 246;
    if (mode == 1 || (mode == 2 && (dark || light)))
        for (int& c : rgb)
            c = 255 - c;
}

void YYSvgColourHex(int red, int green, int blue, std::span<char, 6> text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    const int parts[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) {
        const unsigned v = static_cast<unsigned>(parts[i]) & 0xFFu;
        text[static_cast<size_t>(2 * i)] = kDigits[v >> 4];
        text[static_cast<size_t>(2 * i + 1)] = kDigits[v & 0xFu];
    }
}

void AppendColourHex(std::string& out, int red, int green, int blue)
{
    char hex[6];
    YYSvgColourHex(red, green, blue, hex);
    out.append(hex, 6);
}

// The stroke text renderer: draws a text with the current StrokeFont,
// decoding each glyph, scaling, shearing and rotating it into device
// coordinates and handing each contour to the graphics core as one line,
// polyline or solid-filled polygon. It reads the advance and height vectors,
// slant, style, stacking and spacing of TextState, which text drawing sets
// for the text being drawn, and the screen and hardcopy output switches of
// GraphicsState as the caller left them.
#pragma once

#include <array>
#include <string_view>

#include "fonts/stroke_font.h"

// Draws TEXT (every character, its whole length) from (X, Y), the left end
// of the centre line of the first character (the top centre of the first
// cell for stacked text), with characters of W x H device units. The pen
// does not move. A contour longer than the point buffers is cut to their
// 152 points (and reported in the debug log of a debug build).
void YYStrokeText(float x, float y, std::string_view text, float w, float h);

// The renderer's two point buffers (device x and y), reused by every contour.
struct StrokePointBuffers {
    std::array<float, kStrokeContourMax> x{};
    std::array<float, kStrokeContourMax> y{};
};
extern StrokePointBuffers gStrokePointBuffers;

// Colours as the plot-file drivers write them: the current and previous
// colour of the drawing state in its colour model, their red, green and blue
// bytes, the colour swap of hardcopy option 6 on bytes, and six hexadecimal
// digits per colour (SVG colours and PostScript image data). No Win32 here.
#pragma once

#include <array>
#include <span>
#include <string>

// The current or previous colour of the drawing state: a colour number in
// the numbered model, a packed RGB value in the RGB model.
int HardcopyCurrentColour();
int HardcopyPreviousColour();

// Red, green and blue (0..255) of COLOUR in the current colour model.
std::array<int, 3> ColourComponents(int colour);

// Colour swap on bytes: MODE 1 replaces each component c by 255 - c; MODE 2
// does so only when all three are below 10 or all three are 246 or above;
// other modes change nothing.
void ColourSwapBytes(std::array<int, 3>& rgb, int mode);

// Red, green and blue each as two lower-case hexadecimal digits, high digit
// first ("ff8000" for 255, 128, 0). Only the low byte of each counts.
void YYSvgColourHex(int red, int green, int blue, std::span<char, 6> text);
// The same six digits appended to OUT.
void AppendColourHex(std::string& out, int red, int green, int blue);

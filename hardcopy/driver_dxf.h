// The group writers, colour palette and nearest-colour search of the DXF
// driver (XXDXF, hardcopy/driver_dxf.cpp). A DXF group is two lines on plot
// unit 2: the group code, then its value. No Win32 here.
#pragma once

#include <string>
#include <string_view>

// The text of a real value: (F15.6) without its leading blanks and without
// the zeros at the end of its fraction (2.5, 3.); never asterisks, and 0 for
// a value that is not a number.
std::string DxfRealText(double value);

void YYDxfPair(std::string_view code, std::string_view value);
void YYDxfInt(std::string_view code, int value);
void YYDxfReal(std::string_view code, double value);
// The device point (X, Y) in inches of the page, as two reals.
void YYDxfPoint(std::string_view codeX, std::string_view codeY, double x, double y);
// The groups every entity begins with: its NAME, layer "1" and its colour
// (62 with the colour index, or 420 with the RGB value when option 23 is 24).
void YYDxfEntityStart(std::string_view name);

// The packed RGB of colour index INDEX (0..255) of the DXF palette; 0 outside.
int YYDxfPaletteEntry(int index);
// The index 1..255 of the palette entry nearest to the packed RGB colour in
// the hue-saturation-value cone; an entry of exactly that colour at once,
// else the lowest index of the least distance.
int YYDxfNearestColour(int rgb);

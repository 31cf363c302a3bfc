// What the HP-GL, HP-GL/2 and DXF drivers share beside the steps of every
// plot-file driver (plot_file_driver.h) and its colours (plot_colours.h): the
// colour number and the colour comparison they select pens and patterns by,
// the request that hands a fill the driver cannot draw back to the graphics
// core as hatch lines, and numbers of the drawing state made finite before
// they are computed with. No Win32 here.
#pragma once

#include <array>

// Packed RGB (red + 256 green + 65536 blue) of a triple.
int PackedRgb(const std::array<int, 3>& rgb);
// Whether the previous colour equals the current one in the current colour
// model.
bool SameColours();
// The current colour number 0..255; an RGB colour without one takes the
// number of its nearest colour-table entry.
int CurrentColourNumber();

// Asks the graphics core to draw the fill of the current shape as hatch
// lines at the pen width of option 12 (hundredths of a point) on a page of
// option 2 points over H device units, doubled for half-tone fills.
void HardcopyLineFillRequest();
// Whether such a request is in force (the lines arriving now are hatch lines).
bool HardcopyLineFillActive();


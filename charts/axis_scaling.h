// The numbers under the axes: tick steps of 1, 2, 5 or 10 times a power of
// ten, first ticks, tick counts and orders of magnitude for linear, category
// and polar axes; labelled decades of logarithmic axes; the text of one tick
// label; and the shrinking of the character size into a text box.
//
// The routines keep nothing between calls but the shared label buffer.
#pragma once

#include <array>

// One tick label at a time is built here; the axis drawing takes it out
// before the next call of YYTickLabel (and builds its own labels here too).
constexpr int kAxisLabelLength = 200;
struct AxisLabelBuffer {
    std::array<char, kAxisLabelLength> text{};
};
extern AxisLabelBuffer gAxisLabelBuffer;

// Ticks of a linear axis from A to B. Bit 0 of CATEGORY selects the category
// mode with CATEGORIES categories (x of graph type 1, y of type 2); AXIS is 1
// (x), 2 (y) or 3 (the third axis). Outputs: tick step, position of the first
// tick, tick count (a magnitude), order of magnitude, and the step and first
// value of the labels. Returns the count with its sign.
int YYAxisTicks(float a, float b, int category, int categories, int axis, float& step,
                float& firstTick, int& count, int& exponent, float& labelStep, float& firstLabel);

// Ticks of an oblique 3-D axis from A to B (in the order given): step, count
// (a magnitude), span in steps, order of magnitude, first tick and its offset
// from A in steps.
void YYAxisRound(float a, float b, float& step, int& count, float& span, int& exponent,
                 float& firstTick, float& offset);

// Ticks of a polar radius axis from 0 to V > 0: step, number of steps that
// reach V (a magnitude) and order of magnitude. Returns the signed count.
int YYAxisNumbers(float v, float& step, int& count, int& exponent);

// Decades of a logarithmic axis from MINIMUM to MAXIMUM: step between
// labelled decades, number of decades, start decade (one step below the
// lowest labelled one, not below -38) and top decade.
void YYLogRange(float minimum, float maximum, int& labelStep, int& decadeCount, int& startDecade,
                int& topDecade);

// Decades of a logarithmic polar radius axis from 10^-38 up to MAXIMUM.
void YYAxisDecades(float maximum, int& labelStep, int& decadeCount, int& startDecade, int& topDecade);

// Writes the label of tick VALUE on an axis of order of magnitude DECADE into
// gAxisLabelBuffer; bit 0 of EXTRADIGIT asks for one more automatic decimal.
// FIRST and LAST (from 1) bound the label in the buffer.
void YYTickLabel(float value, int decade, int extraDigit, int& first, int& last);

// Makes the character size small enough for a box of WIDTH x HEIGHT (units of
// the character size), keeping the characters' width-to-height ratio. A box
// of width or height 0 or less changes nothing.
void YYCharShrink(float width, float height);

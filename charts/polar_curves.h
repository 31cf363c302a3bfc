// The polar branch of IPgCurveDraw: a set of a polar type-4 graph drawn as a
// closed curve around the centre of the plot (a radar chart). Point i of n
// lies on the ray at (i - 1) x 360 / n degrees, counted from the x direction
// towards the y direction, at the distance its value gives.
#pragma once

#include <span>

// Draws set SET from its values Y (one per point; points beyond the span and
// points with no finite value are missing): a line-drawn set as runs closed
// by the curve rule, closed back to point 1 when that point is present, with
// the set's markers at its points; a FILLED set as pieces from the centre to
// the curve, or in a stacked graph from the curve of the sets below. Drawn
// once per output, each with its own aspect. Writes where the set ended
// (angle and value of its last present point) to SetEndTable and, stacked,
// adds the set to StackBaseTable.
void YYPolarCurveDraw(std::span<const float> y, int set, bool filled);

// Geometry of a polar graph: the largest circle that fits the plot area (an
// ellipse in world units, round on the output being drawn) and the world
// point of a polar data point (angle in degrees, distance in polar units).
// Both depend on the aspect of the output, so polar drawings run once per
// device: the screen (screen output on) and then the hardcopy (screen off).
#pragma once

#include <functional>

// Centre and x and y radius of the plot circle, in world units.
void YYPolarCircle(float& cx, float& cy, float& rx, float& ry);

// World point of the polar data point (ANGLE degrees counter-clockwise from
// the positive x direction, RADIUS in data units; one polar unit lies on the
// circle). A logarithmic y axis puts 10^-38 at the centre.
void YYPolarToWorld(float angle, float radius, float& wx, float& wy);

// Runs DRAW once per output, as polar geometry needs: while screen output is
// on, once with the hardcopy switched off; then, while a hardcopy is open,
// once with screen output off. Both switches are back afterwards; with
// neither output on nothing runs.
void YYPolarPasses(const std::function<void()>& draw);

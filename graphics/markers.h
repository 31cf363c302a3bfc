// The 40 markers that mark data points and legend entries, sized from the
// character cell and drawn from lines, rectangles, triangles, circles and
// polygons; the fill of a simple polygon through triangles; the size of the
// character cell. (The switch to the marker stroke font, YYSymbolsLoad, is
// the stroke-font layer's: fonts/builtin_fonts.h.)
#pragma once

// Marker N (1..40; any other value draws marker 1) centred at world (X, Y).
// Nothing is drawn, and the pen stays, when its box lies wholly outside the
// world units; otherwise the pen is left where the last part left it.
void YYMarker(float x, float y, int n);
void YYMarkerAtPen(int n);

// Fills the simple polygon of N world points with the current fill style by
// decomposing it into triangles, then draws its outline once for hatch and
// outline fills. The pen ends at the first point (it stays when N <= 0).
void YYPolygonFill(const float* x, const float* y, int n);

// Width and height of the character cell in world units.
void YYCharCell(float& w, float& h);

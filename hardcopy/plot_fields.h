// Keeping plot-file numbers inside their fixed fields: a real that would not
// fit its field is brought to the nearest value that does (a reader parses
// every number; a field of asterisks is no number), and a polygon reaching
// beyond that range is clipped to it first, so that bringing its corners in
// never bends an edge that lies on the page. No Win32 here.
#pragma once

#include <vector>

// The values (Fw.d) writes in WIDTH characters: from -(10^(W-D-2) - 10^-D)
// (room for the minus) to 10^(W-D-1) - 10^-D.
struct FieldRange {
    double low, high;
};
FieldRange FieldRangeOf(int width, int decimals);

// VALUE limited to that range; NaN gives 0.
double FieldClamp(double value, int width, int decimals);

// Clips the closed polygon X, Y (same length) to the box XLO..XHI by YLO..YHI,
// in place. A polygon inside the box is left as it is; one wholly outside
// becomes empty. Non-finite coordinates are brought to the box first.
void PolygonClipToBox(std::vector<double>& x, std::vector<double>& y, double xlo, double ylo, double xhi,
                      double yhi);

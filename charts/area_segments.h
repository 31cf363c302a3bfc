// One piece of a filled area chart: the region between the lower edge (the
// baseline, or the top of the sets below in a stacked chart) and the data,
// between two consecutive present points of a set; and, for the lighter fill
// styles, the line through the two data points.
#pragma once

// World coordinates, y upwards, X1 < X2. B: world y of the baseline. The
// first side runs from (X1, Y1) to (X1, Y1 + H1), the second from
// (X2, Y2 - H2) to (X2, Y2); a height is negative where the data lies below
// the lower edge. Drawn with the current fill style; the line is drawn when
// the first style word of the set being drawn is below 3, or when both
// heights are 0. H1 becomes H2.
void YYAreaChartSegment(float b, float x1, float y1, float x2, float y2, float& h1, float h2);

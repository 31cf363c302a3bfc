// Edge tables of the scan-line fills (polygon fill and gradient polygons):
// an edge record and the bounded sort that orders the edges by their lower end.
#pragma once

#include <vector>

struct ScanEdge {
    double slope;  // change of the cross coordinate per unit of the scan coordinate
    double lower;  // scan coordinate of the lower end
    double upper;  // of the upper end
    double cross;  // cross coordinate at the lower end
};

// Sorts the edges by their lower end: quicksort around the middle key with the
// larger part of each partition put on a table of at most 30 pending ranges.
// False when that table would overflow (the fill is then too complex).
bool ScanEdgesSort(std::vector<ScanEdge>& e);

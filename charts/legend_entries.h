// One entry of a legend: a sample of how a data set is drawn (a box filled
// like the set, a line in its style, its marker symbol, number, letter or
// marker-font character, a point, or an arrow) followed by the set's label.
// Everything inside the entry is measured in character cells, so entries
// scale with the size the legend chose. The drawing state, line style, fill
// settings, text angle, justification and slant are left as found.
#pragma once

#include <string_view>

// Entry of set N (1..setCount; other numbers draw nothing) starting at world
// (X, Y): along the text direction (horizontal or vertical only), or downward
// for stacked text. The pen ends at the end of the label.
void YYLegendEntryDraw(int n, float x, float y, std::string_view label);

// The number column of the current graph: the largest digit measure (1 for
// 0, else the integer part of log10) of the numbers that the sets with
// number samples show, 0 when no set shows a number; in characters. A
// number that is still negative after its fallbacks counts as FALLBACK, or
// as the set's own number when FALLBACK is 0.
int YYLegendNumberColumn(int fallback);

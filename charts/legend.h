// The legend of the current graph: one entry per data set (a sample and the
// set's description) laid out as a vertical list, a row below the plot,
// columns of turned or of stacked text, or as labels at the ends of the
// curves; with an optional legend title, frame and background. The
// characters are sized to fit the legend area (IPgLegendArea, or the band
// beside or below the plot). The colour-strip and gradient legends and the
// pie-chart labels share the arguments, the area and the restore.
#pragma once

#include <span>
#include <string_view>

// DESCRIPTIONS[i - 1] describes set i, i = 1..setCount; a set beyond the
// span counts as a blank description. OPTIONS, letters in either case:
// R reverse order, B frame (and a line under the title), X a row below the
// plot (no title), 9 turned columns, V stacked columns, E labels at the ends
// of the curves (types 4 and 6), C clear the legend's rectangle to the
// background first, U colour-strip legend. TITLE absent or blank: none.
void IPgLegendDraw(std::span<const std::string_view> descriptions, std::string_view options,
                   const std::string_view* title = nullptr);

// What the legend has fixed when it hands over to a strip or gradient legend
// or to the pie-chart labels.
struct LegendCall {
    std::span<const std::string_view> descriptions;
    std::string_view options;
    std::string_view title;          // trimmed; empty when there is none
    bool hasTitle = false;
    bool reverse = false, frame = false, row = false, turned = false, stacked = false;
    bool curveEnds = false, clear = false, strip = false;
    int background = 0;              // colour of option C in the current colour model
    bool explicitArea = false;       // the legend area was given
    float left = 0, right = 0, bottom = 0, top = 0; // legend area in world units
    float fw = 0, fh = 0;            // its size as fractions of the graphics area
};

// Description of set I (from 1) without trailing blanks; empty beyond the span.
std::string_view YYLegendDescription(const LegendCall& call, int i);

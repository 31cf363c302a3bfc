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

// The legends IPgLegendDraw hands over to: the colour-strip legend (option
// U) and the gradient legend (types 8 and 5 with option kind 3) in
// charts/strip_legends.cpp, the pie-chart slice labels (type 3) in
// charts/pie_labels.cpp. IPgLegendDraw puts the character size, stacking and
// justification back after them.
void YYLegendStrip(LegendCall& call);
void YYLegendGradient(LegendCall& call);
void YYPieLabels(LegendCall& call);

// Pieces the layouts share.
struct LegendFrame {
    float left = 0, bottom = 0, right = 0, top = 0;
    float separator = 0;             // the line under a legend title
};
// Option C: the frame filled with the background colour (drawing state kept);
// option B: the frame outlined and, with TITLELINE, the separator drawn.
void YYLegendBackgroundFrame(const LegendCall& call, const LegendFrame& frame, bool titleLine);

// The title sized to a width limit of WIDTH / (Lt + EXTRA) at the current
// angle (Lt its length in character widths); the size and cell it gets are
// kept here and the legend's size KEPTWIDTH x KEPTHEIGHT is put back.
struct LegendTitleSize {
    float width = 0, height = 0;     // character size
    float wt = 0, ht = 0;            // cell
    float lt = 0;                    // length in character widths
};
LegendTitleSize YYLegendTitleSize(const LegendCall& call, float width, float extra, float keptWidth,
                                  float keptHeight);
// The title at (X, Y) in its kept size.
void YYLegendTitleDraw(const LegendCall& call, const LegendTitleSize& size, float x, float y);

// The cell of text turned by 90 degrees: P across the text (world x), Q along
// one character advance (world y), for the text aspect ASPECT.
void YYLegendTurnedCell(float aspect, float& p, float& q);

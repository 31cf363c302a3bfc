// Branches of the axis and legend drawing that are built separately: the
// oblique 3-D axes, the polar axes and the table labels (entered from
// YYAxisDraw after its common preparation, which also restores the text
// state after them), and the colour-strip legend, the gradient legend and
// the pie-chart slice labels (entered from IPgLegendDraw after it has fixed
// the legend area and kept the text state, which it restores after them).
// Until they are built, charts/charts_pending2.cpp gives each an empty body:
// those graphs get no axis and no legend from these routines.
#pragma once

#include "charts/axes.h"
#include "charts/legend.h"

// Oblique 3-D axes (graphs with threeDAxes set), axes 1, 2 and 3.
void YYAxisOblique(AxisCall& call);
// Angular (axis 1) and radial (axes 2 and 3) axes of a polar graph.
void YYAxisPolar(AxisCall& call);
// Row (axes 2 and 3) and column (axis 1) labels of a table graph (type 9).
void YYAxisTable(AxisCall& call);

// Colour-strip legend (option U).
void YYLegendStrip(LegendCall& call);
// Gradient legend (types 8 and 5 with option kind 3).
void YYLegendGradient(LegendCall& call);
// Pie-chart slice labels (type 3).
void YYPieLabels(LegendCall& call);

// The chart the examples draw: a sine and a cosine of a given amplitude and
// number of waves over x from 0 to 1, with title, axis labels, frame, axes and
// legend, filling the current graphics area. Drawn the same way on a window and,
// while a hardcopy is open, into the plot file as well.
#pragma once

#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "charts/axes.h"
#include "charts/curves.h"
#include "charts/frame_geometry.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "charts/titles.h"
#include "fonts/text_font.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"

inline void WaveChartDraw(float amplitude, int waves)
{
    constexpr int kPoints = 201;
    std::array<float, kPoints> sine{}, cosine{};
    for (int i = 0; i < kPoints; ++i) {
        const double angle = 2.0 * std::numbers::pi * waves * i / (kPoints - 1);
        sine[i] = static_cast<float>(amplitude * std::sin(angle));
        cosine[i] = static_cast<float>(amplitude * std::cos(angle));
    }

    // A graph of type 4 (curves): two data sets of kPoints points each, spread
    // evenly over the x range. Every setting below is made for this graph,
    // since the graph state outlasts it.
    const std::array<int, 1> points{kPoints};
    const int smooth = 1;
    IPgGraphBegin(4, 2, points, &smooth);
    IPgLogAxes("LIN", "LIN");
    // Colours are numbers of the 256-entry table: 147 blue, 19 red, 223 black.
    const int solid = 0, blue = 147, red = 19, black = 223;
    IPgDataSetStyle(1, &solid, &solid, &solid, &blue);
    IPgDataSetStyle(2, &solid, &solid, &solid, &red);
    IPgArea(0.0f, -10.0f, 1.0f, 10.0f);
    IPgPlotAreaFractions(0.12f, 0.12f, 0.88f, 0.85f);

    // Texts in the device font of the swiss family.
    const int swiss = 102, plain = 0;
    const float defaultSize = 0.0f;
    WGrTextFont(&swiss, &plain, &defaultSize, &defaultSize);
    IGrColourN(black);
    IPgTitle("Waves", "C");
    IPgXLabel("x", "C");
    IPgYLabel("amplitude", "CV");

    const int thin = 1, thick = 2;
    IGrLineWidthSet(&thin);
    IPgFrameDraw();
    IPgXAxis("NT");
    IPgYAxis("NT");

    IGrLineWidthSet(&thick);
    IPgCurveDraw(sine);
    IPgCurveDraw(cosine);

    IGrLineWidthSet(&thin);
    IPgLegendArea(0.0f, 0.0f, 0.0f, 0.0f);
    const std::array<std::string_view, 2> names{"sine", "cosine"};
    IPgLegendDraw(names, "");
}

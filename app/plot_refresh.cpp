#include "app/plot_refresh.h"

#include "app/app_state.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "charts/axes.h"
#include "charts/curves.h"
#include "charts/data_markers.h"
#include "charts/frame_geometry.h"
#include "charts/graph_ranges.h"
#include "charts/graph_settings.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "charts/plot_clip.h"
#include "charts/titles.h"
#include "fonts/text_font.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"
#include "graphics/screen_driver.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

PlotState gPlotState;

namespace {

using SM = SplineModule;

// Smallest and largest entry of a non-empty table.
void Range(const std::vector<float>& table, float& lo, float& hi)
{
    if (table.empty())
        return;
    auto [mn, mx] = std::minmax_element(table.begin(), table.end());
    lo = *mn;
    hi = *mx;
}

// Column I (0-based) of the npoints x ncurves table being plotted.
std::span<const float> Column(const std::vector<float>& table, int i, int rows)
{
    const size_t start = static_cast<size_t>(i) * rows;
    if (table.size() < start + rows)
        return {};
    return std::span<const float>(table.data() + start, rows);
}

} // namespace

void PlotRefresh(int& win, int& k)
{
    SplineModule& s = gSplineModule;
    PlotState& p = gPlotState;

    Range(s.xvalues, p.xmin, p.xmax);

    for (int i = 0; i < SM::ncurves && i < static_cast<int>(s.descr.size()); ++i)
        s.descr[i] = {'T', static_cast<char>('1' + i), ' ', ' '};

    switch (gKestrowApp.plotcontent) {
    case kPlotValues:
        s.yvalues = s.spldraw;
        p.plottitle = FixedText<40>("Splines");
        p.ymin = 0.0f;
        p.ymax = 1.0f;
        break;
    case kPlotFirstDerivatives:
        s.yvalues = s.spl1derdraw;
        p.plottitle = FixedText<40>("First derivatives");
        Range(s.yvalues, p.ymin, p.ymax);
        break;
    case kPlotSecondDerivatives:
        s.yvalues = s.spl2derdraw;
        p.plottitle = FixedText<40>("Second derivatives");
        Range(s.yvalues, p.ymin, p.ymax);
        break;
    default:
        break;
    }

    if (gPlotWindowList.count == 0)
        PlotWindowOpen(win, gKestrowApp.windowtitle.view());

    if (k > 0) {
        WindowMakeCurrent(k);
        // The graph is drawn off the screen and shown in one piece: no
        // flicker, and one copy to the window instead of a call per line.
        ScreenBatchBegin();
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrAreaErase();
        SplinePlotDraw();
        ScreenBatchEnd();
    }
    p.plotexists = 1;
}

void SplinePlotDraw()
{
    SplineModule& s = gSplineModule;
    PlotState& p = gPlotState;

    // The seven curves: a graph of type 4, 201 evenly spaced points per set.
    const std::array<int, 1> curvePoints{SM::npoints};
    const int curveOptions = 1;
    IPgGraphBegin(4, SM::ncurves, curvePoints, &curveOptions);
    IPgGraphOptions("G");
    const int zero = 0;
    for (int i = 0; i < SM::ncurves; ++i)
        IPgDataSetStyle(i + 1, &zero, &zero, &zero, &kCurveColours[i]);
    IPgArea(p.xmin, p.ymin, p.xmax, p.ymax);
    IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.9f);

    // Title and axis labels in the device font of family 1.
    const int deviceFixed = 101;
    const float noSize = 0.0f;
    WGrTextFont(&deviceFixed, &zero, &noSize, &noSize);
    IGrColourN(223);
    IPgTitleFraction(0.5f);
    IPgTitle(p.plottitle.view(), "C");
    IPgXLabelFraction(0.7f);
    IPgXLabel("X", "C");
    IPgYLabelFraction(0.8f);
    IPgYLabel("T", "CV");

    // Frame and axes.
    IGrColourN(223);
    const int thin = 1;
    IGrLineWidthSet(&thin);
    IPgFrameDraw();
    IPgXAxisPosition(1);
    IPgTickLengthX(1.0f);
    IPgTickDecimals(-1);
    IPgAxisAnglesX(0.0f, 0.0f);
    IPgAxisMarginFraction(0.38f);
    IPgXAxis("NT");
    IPgYAxisPosition(1);
    IPgTickLengthY(1.0f);
    IPgTickDecimals(-1);
    IPgAxisAnglesY(0.0f, 0.0f);
    IPgTickLabelDistance(1.5f);
    IPgYAxis("NT");

    // The curves, thicker, with the annotation size.
    const int thick = 2;
    IGrLineWidthSet(&thick);
    const float annotationWidth = 0.0133f, annotationHeight = 0.0333f;
    WGrTextFont(nullptr, nullptr, &annotationWidth, &annotationHeight);
    for (int i = 0; i < SM::ncurves; ++i) {
        IPgCurveDraw(Column(s.yvalues, i, SM::npoints));
    }
    WGrTextFont(nullptr, nullptr, &noSize, &noSize);

    // The legend T1..T7.
    IPgLegendArea(1.0f, 1.0f, 0.0f, 0.0f);
    std::array<std::string_view, SM::ncurves> descriptions{};
    for (int i = 0; i < SM::ncurves && i < static_cast<int>(s.descr.size()); ++i)
        descriptions[i] = std::string_view(s.descr[i].data(), s.descr[i].size());
    IPgLegendDraw(descriptions, "");

    // The knot markers: a graph of type 7 with one set of five points at height 0.
    const std::array<int, 1> knotPoints{SM::nknots};
    const int knotOptions = 0, applyDefaults = 1;
    IPgGraphBegin(7, SM::nknotsets, knotPoints, &knotOptions, &applyDefaults);
    IPgDataSetMarker(1, 14);
    const int style1 = 4, style2 = 3, markerColour1 = 32, markerColour2 = 223;
    IPgDataSetStyle(1, &style1, &style2, &zero, &markerColour1, &markerColour2);
    for (int set = 0; set < SM::nknotsets; ++set) {
        IPgMarkersDraw(Column(s.xknots, set, SM::nknots), Column(s.yknots, set, SM::nknots));
    }
}

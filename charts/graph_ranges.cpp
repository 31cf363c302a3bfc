// User ranges, plot and legend area, log-axis request, axis positions and the
// data-to-world conversion of the current graph.
//
// The conversions compute in double and store 32-bit reals saturated to the
// float range, so that no data value makes them trap; a NaN stays a NaN,
// which the device conversions of the graphics core treat as outside.
#include "charts/graph_ranges.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "charts/graph_state.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/numeric.h"
#include "graphics/graphics_state.h"

namespace {


// A range end pair the graph can use: finite ends whose difference is a
// finite non-zero 32-bit real.
bool RangeUsable(float a, float b)
{
    if (!std::isfinite(a) || !std::isfinite(b) || a == b)
        return false;
    double w = static_cast<double>(b) - static_cast<double>(a);
    return std::fabs(w) <= FLT_MAX;
}

// The fraction of the plot area along one axis: linear, or logarithmic with
// range ends of different magnitude. A log axis whose ends have the same
// magnitude converts linearly.
double AxisFraction(float v, float user1, float width, int log, float log1, float logWidth)
{
    if (log != 0 && logWidth != 0.0f)
        return (static_cast<double>(YYLog10(v)) - log1) / logWidth;
    if (width == 0.0f)
        return 0.0;
    return (static_cast<double>(v) - user1) / width;
}

} // namespace

void IPgArea(float x1, float y1, float x2, float y2)
{
    PgGraphState& s = gPgGraphState;
    if (RangeUsable(x1, x2)) {
        s.userX1 = x1;
        s.userX2 = x2;
    } else {
        s.userX1 = 0.0f;
        s.userX2 = 1.0f;
        YYErrorReport(kErrorUnitRange, "IPgArea");
    }
    if (RangeUsable(y1, y2)) {
        s.userY1 = y1;
        s.userY2 = y2;
    } else {
        s.userY1 = 0.0f;
        s.userY2 = 1.0f;
        YYErrorReport(kErrorUnitRange, "IPgArea");
    }
    s.yWidth = s.userY2 - s.userY1;
    s.xWidth = s.userX2 - s.userX1;
    s.xMin = std::min(s.userX1, s.userX2);
    s.xMax = std::max(s.userX1, s.userX2);
    s.yMin = std::min(s.userY1, s.userY2);
    s.yMax = std::max(s.userY1, s.userY2);
    YYLogAxisSetup();
}

void IPgUnitsZ(float z1, float z2)
{
    PgGraphState& s = gPgGraphState;
    if (RangeUsable(z1, z2) && z2 > z1) {
        s.userZ1 = z1;
        s.userZ2 = z2;
    } else {
        s.userZ1 = 0.0f;
        s.userZ2 = 1.0f;
        YYErrorReport(kErrorUnitRange, "IPgUnitsZ");
    }
    s.zWidth = s.userZ2 - s.userZ1;
}

void IPgUnitsPolar(float unit)
{
    PgGraphState& s = gPgGraphState;
    if (std::isgreater(unit, 0.0f) && std::isfinite(unit)) {
        s.polarUnit = unit;
    } else {
        s.polarUnit = 1.0f;
        YYErrorReport(kErrorUnitRange, "IPgUnitsPolar");
    }
    YYLogAxisSetup();
}

void IPgPlotAreaFractions(float x1, float y1, float x2, float y2)
{
    PgGraphState& s = gPgGraphState;
    // Quiet comparisons: a value that does not compare is outside.
    auto lower = [](float v) { return std::isgreaterequal(v, 0.0f) && std::isless(v, 1.0f); };
    auto upper = [](float v) { return std::isgreater(v, 0.0f) && std::islessequal(v, 1.0f); };
    if (lower(x1))
        s.plotX1 = x1;
    if (upper(x2))
        s.plotX2 = x2;
    if (lower(y1))
        s.plotY1 = y1;
    if (upper(y2))
        s.plotY2 = y2;
}

void IPgLogAxes(std::string_view xKind, std::string_view yKind)
{
    auto isLog = [](std::string_view kind) {
        char field[3] = {' ', ' ', ' '};
        for (size_t i = 0; i < 3 && i < kind.size(); ++i)
            field[i] = kind[i];
        for (char& c : field)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return field[0] == 'L' && field[1] == 'O' && field[2] == 'G';
    };
    PgGraphState& s = gPgGraphState;
    s.xLogRequested = isLog(xKind) ? -1 : 0;
    s.yLogRequested = isLog(yKind) ? -1 : 0;
    YYLogAxisSetup();
}

float YYPgToWorldX(float x)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    double t = AxisFraction(x, s.userX1, s.xWidth, s.xLog, s.logX1, s.logXWidth);
    double f = s.plotX1 + t * (static_cast<double>(s.plotX2) - s.plotX1);
    return SaturateToFloatKeepNaN(g.units[0] + f * g.unitSize[0]);
}

float YYPgToWorldY(float y)
{
    const PgGraphState& s = gPgGraphState;
    const GraphicsState& g = gGraphicsState;
    double t = AxisFraction(y, s.userY1, s.yWidth, s.yLog, s.logY1, s.logYWidth);
    double f = s.plotY1 + t * (static_cast<double>(s.plotY2) - s.plotY1);
    return SaturateToFloatKeepNaN(g.units[1] + f * g.unitSize[1]);
}

void YYPgToWorld(float x, float y, float& wx, float& wy)
{
    wx = YYPgToWorldX(x);
    wy = YYPgToWorldY(y);
}

void IPgXAxisPosition(int variant, const float* value)
{
    PgGraphState& s = gPgGraphState;
    if (variant != 1 && variant != 2)
        return;
    int& flag = variant == 1 ? s.xAxisPositionSet1 : s.xAxisPositionSet2;
    float& position = variant == 1 ? s.xAxisPosition1 : s.xAxisPosition2;
    flag = value ? 1 : 0;
    if (value)
        position = *value;
}

void IPgYAxisPosition(int variant, const float* value)
{
    PgGraphState& s = gPgGraphState;
    if (variant != 1 && variant != 2)
        return;
    int& flag = variant == 1 ? s.yAxisPositionSet1 : s.yAxisPositionSet2;
    float& position = variant == 1 ? s.yAxisPosition1 : s.yAxisPosition2;
    flag = value ? 1 : 0;
    if (value)
        position = *value;
}

void IPgLegendArea(float x1, float y1, float x2, float y2)
{
    PgGraphState& s = gPgGraphState;
    // "x2 <= x1" read quietly: a value that does not compare is not taken
    // as an empty area, and then fails its own interval test below.
    if (std::islessequal(x2, x1) || std::islessequal(y2, y1)) {
        s.legendX1 = 1.0f;
        s.legendX2 = 0.0f;
        s.legendY1 = 1.0f;
        s.legendY2 = 0.0f;
        return;
    }
    auto lower = [](float v) { return std::isgreaterequal(v, 0.0f) && std::isless(v, 1.0f); };
    auto upper = [](float v) { return std::isgreater(v, 0.0f) && std::islessequal(v, 1.0f); };
    if (lower(x1))
        s.legendX1 = x1;
    if (upper(x2))
        s.legendX2 = x2;
    if (lower(y1))
        s.legendY1 = y1;
    if (upper(y2))
        s.legendY2 = y2;
}

// Graph settings: one store per setter, after its clamp.
//
// Angles that are not finite count as 0 (a later cosine of an infinite angle
// would be an invalid operation); lengths that are not finite count as "not
// above 0".
#include "charts/graph_settings.h"

#include <cmath>

#include "charts/graph_state.h"
#include "core/numeric.h"
#include "graphics/colours.h"
#include "graphics/graphics_state.h"

namespace {


// A value of 1 or more, or one that does not compare, gives 1; then 0 or less
// gives 0.
float ClampUnit(float f)
{
    if (!std::isless(f, 1.0f))
        return 1.0f;
    if (f <= 0.0f)
        return 0.0f;
    return f;
}

// Values not above 0 (and those that do not compare) give 0.
float PositiveOrZero(float v) { return (std::isgreater(v, 0.0f) && std::isfinite(v)) ? v : 0.0f; }

float FiniteOrZero(float v) { return std::isfinite(v) ? v : 0.0f; }

void AxisAngles(float a1, float a2, float& radians, float& second)
{
    radians = FiniteOrZero(a1) * kDegreesToRadiansFloat;
    second = FiniteOrZero(a2);
}

void AxisPositions(float a, float b, float& p1, float& p2, int& set1, int& set2)
{
    // Values that do not compare count as a <= b.
    if (std::isgreater(a, b)) {
        set1 = 0;
        set2 = 0;
        return;
    }
    p1 = a;
    p2 = b;
    set1 = 1;
    set2 = 1;
}

} // namespace

void IPgAxisAnglesX(float a1, float a2)
{
    AxisAngles(a1, a2, gPgGraphState.axisAngleX, gPgGraphState.axisAngle2X);
}

void IPgAxisAnglesY(float a1, float a2)
{
    AxisAngles(a1, a2, gPgGraphState.axisAngleY, gPgGraphState.axisAngle2Y);
}

void IPgAxisAnglesZ(float a1, float a2)
{
    AxisAngles(a1, a2, gPgGraphState.axisAngleZ, gPgGraphState.axisAngle2Z);
}

void IPgGraphColour(int colour)
{
    PgGraphState& s = gPgGraphState;
    if (gGraphicsState.colourModel != kColourModelRgb) {
        // ColourTable has 256 entries: other numbers are ignored.
        if (colour < 0 || colour > 255)
            return;
        s.graphColourNumber = colour;
        YYColourGet(colour, s.graphColourRgb);
    } else {
        s.graphColourRgb = colour;
        YYColourNearest(colour, s.graphColourNumber);
    }
}

void IPgDataSetMarker(int set, int marker)
{
    if (set >= 1 && set <= kMaxDataSets)
        gDataSetStyleTable.Set(set).marker = marker;
}

void IPgGraphInteger(int n) { gPgGraphState.graphInteger = n; }

void IPgViewElevation(float angle)
{
    float e = std::isless(angle, 45.0f) ? angle : 45.0f;
    if (e < 0.0f)
        e = 0.0f;
    gPgGraphState.viewElevation = e / 45.0f;
}

void IPgViewAngle(float angle)
{
    PgGraphState& s = gPgGraphState;
    float a = FiniteOrZero(angle);
    if (a >= 360.0f || a <= -360.0f)
        a = 0.0f;
    else if (a < 0.0f)
        a += 360.0f;
    // -0.00001 + 360 rounds to 360: keep the angle below 360.
    if (a >= 360.0f)
        a = 0.0f;
    s.viewAngle = a;
    s.viewCosMinus45 = std::cos((a - 45.0f) * kDegreesToRadiansFloat);
    s.viewCosPlus45 = std::cos((a + 45.0f) * kDegreesToRadiansFloat);
}

void IPgAxisMarginFraction(float f) { gPgGraphState.axisMarginFraction = ClampUnit(f); }

void IPgTickLabelDistance(float d) { gPgGraphState.tickLabelDistance = PositiveOrZero(d); }

void IPgXLabelFraction(float f) { gPgGraphState.xLabelFraction = ClampUnit(f); }

void IPgYLabelFraction(float f) { gPgGraphState.yLabelFraction = ClampUnit(f); }

void IPgZLabelFraction(float f) { gPgGraphState.zLabelFraction = ClampUnit(f); }

void IPgTitleFraction(float f) { gPgGraphState.titleFraction = ClampUnit(f); }

void IPgXAxisPositions(float a, float b)
{
    PgGraphState& s = gPgGraphState;
    AxisPositions(a, b, s.xAxisPosition1, s.xAxisPosition2, s.xAxisPositionSet1, s.xAxisPositionSet2);
}

void IPgYAxisPositions(float a, float b)
{
    PgGraphState& s = gPgGraphState;
    AxisPositions(a, b, s.yAxisPosition1, s.yAxisPosition2, s.yAxisPositionSet1, s.yAxisPositionSet2);
}

void IPgLegendFraction(float f) { gPgGraphState.legendFraction = ClampUnit(f); }

void IPgStepCount(int n)
{
    if (n > 0)
        gPgGraphState.stepCount = n;
}

void IPgPointSteps(int a, int b)
{
    gPgGraphState.pointStep1 = a < 1 ? 1 : a;
    gPgGraphState.pointStep2 = b < 1 ? 1 : b;
}

void IPgTickDecimals(int n) { gPgGraphState.tickDecimals = n; }

void IPgTickLengthX(float l) { gPgGraphState.tickLengthX = PositiveOrZero(l); }

void IPgTickLengthY(float l) { gPgGraphState.tickLengthY = PositiveOrZero(l); }

void IPgTickLengthZ(float l) { gPgGraphState.tickLengthZ = PositiveOrZero(l); }

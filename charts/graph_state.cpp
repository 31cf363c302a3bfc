// The current graph: beginning a graph (type, counts, option bits, default
// styles by type), the data-set style setter, the log-axis setup and the
// start-up values.
#include "charts/graph_state.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "charts/graph_ranges.h"
#include "graphics/graphics_state.h"

PgGraphState gPgGraphState;
DataSetStyleTable gDataSetStyleTable;
SetEndTable gSetEndTable;
SetQuadTable gSetQuadTable;

DataSetStyle DataSetStyleStartup(int n)
{
    DataSetStyle s;
    s.colour1 = 32 * ((n % 6) + 1);
    s.colour2 = 32 * ((n % 6) + 2);
    return s;
}

DataSetStyleTable::DataSetStyleTable()
{
    for (int n = 1; n <= kMaxDataSets; ++n)
        rows[static_cast<size_t>(n - 1)] = DataSetStyleStartup(n);
}

namespace {

bool Bit(int bits, int value) { return (bits & value) != 0; }

bool ColourNumberModel() { return gGraphicsState.colourModel != kColourModelRgb; }

// Label step of a type-4 graph from its point count: every point up to 12
// points, else a step of 2, 5 or 10 times a power of ten.
int LabelStep(int pointCount)
{
    if (pointCount <= 12)
        return 1;
    int q = pointCount, k = 0;
    do {
        q /= 10;
        ++k;
    } while (q > 10);
    int64_t p = 1; // 10^(k-1)
    for (int i = 1; i < k; ++i)
        p *= 10;
    int64_t s = q < 3 ? 2 * p : (q < 7 ? 5 * p : 10 * p);
    return static_cast<int>(s);
}

void SchemeNumbered(int sets)
{
    for (int n = 1; n <= sets; ++n) {
        DataSetStyle& r = gDataSetStyleTable.Set(n);
        r.styleWord1 = -((n - 1) % 7);
        r.styleWord2 = 1;
        r.styleWord3 = 0;
        r.marker = n;
    }
}

void SchemeTwoSets()
{
    bool numbers = ColourNumberModel();
    gDataSetStyleTable.Set(1).styleWord1 = 4;
    gDataSetStyleTable.Set(2).styleWord1 = 4;
    gDataSetStyleTable.Set(1).colour1 = numbers ? 31 : 255;
    gDataSetStyleTable.Set(2).colour1 = numbers ? 63 : 65535;
}

void StyleWord1All(int sets, int value)
{
    for (int n = 1; n <= sets; ++n)
        gDataSetStyleTable.Set(n).styleWord1 = value;
}

void DefaultColours(int sets)
{
    if (ColourNumberModel()) {
        int c = 0;
        for (int n = 1; n <= sets; ++n) {
            DataSetStyle& r = gDataSetStyleTable.Set(n);
            r.colour1 = c + 32;
            r.colour2 = c + 64;
            c = (c + (n % 4) + 36) % 176;
        }
        return;
    }
    for (int n = 1; n <= sets; ++n) {
        int L = (256 - n) / 32 - 32 * (n % 4);
        int G = 127 + 16 * (n % 9);
        int B = 127 + 32 * (n % 5);
        DataSetStyle& r = gDataSetStyleTable.Set(n);
        r.colour1 = (223 + L) + 256 * G + 65536 * B;
        r.colour2 = (32 - L) + 256 * G + 65536 * B;
    }
}

// The default styles, colours and settings of the graph type (step 11).
void ApplyTypeDefaults()
{
    PgGraphState& s = gPgGraphState;
    const int N = s.setCount;
    int colourSets = N;      // sets that get the default colours; 0 = none
    switch (s.graphType) {
    case 1:
    case 2:
    case 3:
        s.graphColourNumber = 223;
        s.graphColourRgb = 0;
        StyleWord1All(N, 4);
        break;
    case 4: {
        int step = LabelStep(s.pointCount);
        s.pointStep1 = step;
        s.pointStep2 = step;
        SchemeNumbered(N);
        break;
    }
    case 5:
    case 8:
        if (s.threeD) {
            s.graphInteger = 3;
            if (s.optionKind == 3) {
                s.legendFraction = 0.6f;
                SchemeTwoSets();
                colourSets = 0;
            } else {
                s.legendFraction = 0.7f;
                if (s.optionFlag32) {
                    StyleWord1All(N, 4);
                } else {
                    StyleWord1All(2, 4);
                    colourSets = 2;
                }
            }
        } else if (s.graphType == 5) {
            SchemeNumbered(N);
        } else {
            int s8 = std::max(1, 150 / std::max(s.pointCount, s.pointCount2));
            if (s.optionKind == 3) {
                s.stepCount = s8;
                SchemeTwoSets();
                colourSets = 0;
            } else if (s.optionFlag8) {
                if (s.optionKind == 0)
                    s.stepCount = s8;
                StyleWord1All(N, 4);
            } else {
                for (int n = 1; n <= N; ++n) {
                    gDataSetStyleTable.Set(n).styleWord1 = 0;
                    gDataSetStyleTable.Set(n).styleWord2 = 5;
                }
            }
        }
        break;
    case 6:
        for (int n = 1; n <= N; ++n) {
            DataSetStyle& r = gDataSetStyleTable.Set(n);
            r.styleWord1 = -((n - 1) % 7);
            r.styleWord2 = 0;
            r.styleWord3 = 0;
        }
        break;
    case 7:
        for (int n = 1; n <= N; ++n) {
            DataSetStyle& r = gDataSetStyleTable.Set(n);
            if (s.threeD) {
                r.styleWord1 = 3;
                r.styleWord2 = 3;
                r.styleWord3 = 1;
                r.marker = (n % 14) + 13;
            } else {
                int k = (n - 1) % 92;
                if (k < 40) {
                    r.styleWord2 = 3;
                    r.marker = k + 1;
                } else {
                    r.styleWord2 = 2;
                    r.marker = k - 39;
                }
            }
        }
        break;
    case 9:
        for (int n = 1; n <= N; ++n) {
            DataSetStyle& r = gDataSetStyleTable.Set(n);
            r.styleWord1 = 0;
            r.styleWord2 = 2;
            r.colour1 = ColourNumberModel() ? 223 : 0;
        }
        colourSets = 0;
        break;
    case 10:
        StyleWord1All(N, 4);
        break;
    case 11:
        for (int n = 1; n <= N; ++n) {
            gDataSetStyleTable.Set(n).styleWord1 = 4;
            gDataSetStyleTable.Set(n).styleWord2 = 0;
        }
        break;
    default:
        break;
    }
    DefaultColours(colourSets);

    // 3-D defaults.
    if (s.threeD && s.graphType >= 5) {
        s.viewAngle = 0.0f;
        s.axisAngleZ = 0.0f;
        s.axisAngle2Z = 0.0f;
        s.viewElevation = 0.5f;
        s.axisAngleX = -0.7853982f;
        s.axisAngle2X = -45.0f;
        s.axisAngleY = 0.7853982f;
        s.axisAngle2Y = 45.0f;
        s.viewCosMinus45 = 0.70710677f;
        s.viewCosPlus45 = 0.70710677f;
        s.xLabelFraction = 0.6f;
        s.yLabelFraction = 0.6f;
        if (s.graphType == 5 || s.graphType == 8 || s.graphType == 10) {
            s.wallFill = 4;
            int grey = ColourNumberModel() ? 255 : 8618883;
            s.wallColour1 = s.wallColour2 = s.wallColour3 = grey;
        } else {
            s.wallFill = 0;
        }
    } else {
        s.axisAngleX = 0.0f;
        s.axisAngleY = 0.0f;
        s.axisAngle2X = 0.0f;
        s.axisAngle2Y = 0.0f;
        s.xLabelFraction = 0.7f;
        s.yLabelFraction = 0.8f;
    }

    s.titleFraction = s.graphType == 9 ? 0.75f : (s.polar ? 0.65f : 0.5f);
}

// Makes room for SETS rows of a work table; contents are not carried over.
void EndTableReserve(int sets)
{
    SetEndTable& t = gSetEndTable;
    if (t.capacity >= sets)
        return;
    t.endX.assign(static_cast<size_t>(sets), 0.0f);
    t.endY.assign(static_cast<size_t>(sets), 0.0f);
    t.capacity = sets;
}

void QuadTableReserve(int sets)
{
    SetQuadTable& t = gSetQuadTable;
    if (t.capacity >= sets)
        return;
    t.rows.assign(static_cast<size_t>(sets), SetQuad{});
    t.capacity = sets;
}

int PointAt(std::span<const int> points, size_t i) { return i < points.size() ? points[i] : 0; }

} // namespace

float YYLog10(float x)
{
    if (x == 0.0f)
        return -38.0f;
    return std::log10(std::fabs(x));
}

void YYLogAxisSetup()
{
    PgGraphState& s = gPgGraphState;
    s.xLog = (s.graphType != 1 && s.xLogRequested != 0 && s.threeD == 0 && s.polar == 0) ? -1 : 0;
    s.yLog = (s.graphType != 2 && s.yLogRequested != 0 && s.threeD == 0) ? -1 : 0;
    if (s.xLog) {
        s.logX1 = YYLog10(s.userX1);
        s.logX2 = YYLog10(s.userX2);
        s.logXWidth = s.logX2 - s.logX1;
    }
    if (s.yLog) {
        s.logY1 = YYLog10(s.userY1);
        s.logY2 = YYLog10(s.userY2);
        s.logYWidth = s.logY2 - s.logY1;
        s.logPolarUnit = YYLog10(s.polarUnit);
        s.logPolarOffset = s.logPolarUnit + 38.0f;
    }
}

void IPgGraphBegin(int type, int sets, std::span<const int> points, const int* optionBits,
                   const int* applyDefaults)
{
    PgGraphState& s = gPgGraphState;

    // 1-3. Counts and type.
    s.setCount = std::clamp(sets, 1, kMaxDataSets);
    s.setCounter = 0;
    s.pointCount = std::max(PointAt(points, 0), 1);
    s.pointCountReal = static_cast<float>(s.pointCount);
    s.pointIntervals = static_cast<float>(s.pointCount - 1);
    s.graphType = (type >= 1 && type <= 11) ? type : 4;
    const int t = s.graphType;

    // 4. Work tables.
    if (t == 3)
        QuadTableReserve(s.setCount);
    if (t == 4 || t == 6)
        EndTableReserve(s.setCount);

    // 5. Option bits and the defaults switch.
    const int bits = optionBits ? *optionBits : 0;
    const bool defaults = applyDefaults && *applyDefaults != 0;
    s.optionBits = bits;

    // 6. Option decoding.
    auto in = [t](std::initializer_list<int> types) {
        return std::find(types.begin(), types.end(), t) != types.end();
    };
    bool candidate = Bit(bits, 1) && in({1, 2, 5, 6, 7, 8, 10});
    s.threeDAxes = (Bit(bits, 1) && in({5, 6, 7, 8, 10})) ? -1 : 0;
    s.optionFlag2 = Bit(bits, 2) ? 1 : 0;
    s.optionFlag8 = Bit(bits, 8) ? 1 : 0;
    s.optionFlag32 = Bit(bits, 32) ? 1 : 0;
    s.optionFlag128 = Bit(bits, 128) ? 1 : 0;
    s.optionFlag512 = Bit(bits, 512) ? 1 : 0;
    s.optionFlag2048 = Bit(bits, 2048) ? 1 : 0;
    s.optionKind = Bit(bits, 4) ? 1 : (Bit(bits, 256) ? 2 : (Bit(bits, 16) ? 3 : 0));
    if (t == 1 && Bit(bits, 32)) {
        s.threeD = 0;
        s.stacked = 0;
        s.polar = Bit(bits, 64) ? 1 : 0;
        candidate = false;
    } else {
        s.stacked = Bit(bits, 1024) ? 1 : 0;
        s.threeD = candidate ? 1 : 0;
        s.polar = (!candidate && Bit(bits, 64)) ? 1 : 0;
    }

    // 7-8. Second and third point counts, and the point share.
    if (s.threeDAxes != 0 || t == 8 || t == 10) {
        s.pointCount = std::max(s.pointCount, 2);
        s.pointCount2 = (t == 6 || t == 7) ? s.pointCount : std::max(PointAt(points, 1), 2);
        if (t == 10)
            s.pointCount3 = std::max(PointAt(points, 2), 2);
        s.pointCount2Real = static_cast<float>(s.pointCount2);
        s.pointIntervals2 = static_cast<float>(s.pointCount2 - 1);
        if (candidate) {
            if (!s.optionFlag512)
                s.pointShare = 0.5f;
            else if (s.pointCount <= s.pointCount2)
                s.pointShare = 0.5f * s.pointCountReal / static_cast<float>(s.pointCount2);
            else
                s.pointShare = 1.0f - 0.5f * static_cast<float>(s.pointCount2) / s.pointCountReal;
        }
    }

    // 9-10.
    s.depthFraction = std::min(0.6f / s.pointCountReal, 0.25f);
    YYLogAxisSetup();

    // 11.
    if (defaults)
        ApplyTypeDefaults();
}

void IPgDataSetStyle(int set, const int* styleWord1, const int* styleWord2, const int* styleWord3,
                     const int* colour1, const int* colour2)
{
    if (set < 1 || set > kMaxDataSets)
        return;
    DataSetStyle& r = gDataSetStyleTable.Set(set);
    if (styleWord1)
        r.styleWord1 = *styleWord1;
    if (styleWord2)
        r.styleWord2 = *styleWord2;
    if (styleWord3)
        r.styleWord3 = *styleWord3;
    if (colour1)
        r.colour1 = *colour1;
    if (colour2)
        r.colour2 = *colour2;
}

void PgGraphStartupDefaults()
{
    PgGraphState& s = gPgGraphState;
    const PgGraphState d; // the start-up values

    // Fields that only some graph types set.
    s.pointCount2 = d.pointCount2;
    s.pointCount3 = d.pointCount3;
    s.pointCount2Real = d.pointCount2Real;
    s.pointIntervals2 = d.pointIntervals2;
    s.pointShare = d.pointShare;

    s.userZ1 = d.userZ1;
    s.userZ2 = d.userZ2;
    s.zWidth = d.zWidth;
    s.polarUnit = d.polarUnit;
    s.xLogRequested = d.xLogRequested;
    s.yLogRequested = d.yLogRequested;

    s.viewElevation = d.viewElevation;
    s.viewAngle = d.viewAngle;
    s.viewCosMinus45 = d.viewCosMinus45;
    s.viewCosPlus45 = d.viewCosPlus45;
    s.legendX1 = d.legendX1;
    s.legendX2 = d.legendX2;
    s.legendY1 = d.legendY1;
    s.legendY2 = d.legendY2;

    s.tickLengthX = d.tickLengthX;
    s.tickLengthY = d.tickLengthY;
    s.tickLengthZ = d.tickLengthZ;
    s.tickDecimals = d.tickDecimals;
    s.pointStep1 = d.pointStep1;
    s.pointStep2 = d.pointStep2;
    s.stepCount = d.stepCount;
    s.graphInteger = d.graphInteger;
    s.graphColourNumber = d.graphColourNumber;
    s.graphColourRgb = d.graphColourRgb;
    s.axisMarginFraction = d.axisMarginFraction;
    s.tickLabelDistance = d.tickLabelDistance;
    s.xLabelFraction = d.xLabelFraction;
    s.yLabelFraction = d.yLabelFraction;
    s.zLabelFraction = d.zLabelFraction;
    s.titleFraction = d.titleFraction;
    s.legendFraction = d.legendFraction;
    s.xAxisPositionSet1 = s.xAxisPositionSet2 = 0;
    s.yAxisPositionSet1 = s.yAxisPositionSet2 = 0;

    s.axisAngleX = s.axisAngleY = s.axisAngleZ = 0.0f;
    s.axisAngle2X = s.axisAngle2Y = s.axisAngle2Z = 0.0f;
    s.axisFactor1 = d.axisFactor1;
    s.axisFactor2 = d.axisFactor2;
    s.wallFill = 0;
    s.wallColour1 = s.wallColour2 = s.wallColour3 = 0;
    s.frameColour1 = s.frameColour2 = s.frameColour3 = 0;
    s.clipToPlot = 0;
    s.missingValueOn = 0;
    s.pieCentreX = s.pieCentreY = s.pieScaleX = s.pieScaleY = 0.0f;
    s.pieRadius = s.pieLeaderLength = 0.0f;
    s.pieLabelColumnLeft = s.pieLabelColumnRight = 0.0f;

    for (int n = 1; n <= kMaxDataSets; ++n)
        gDataSetStyleTable.Set(n) = DataSetStyleStartup(n);

    YYLogAxisSetup();
}

namespace {

// The presentation-graphics step of the graphics start-up: the plot area,
// the graph area, a one-point graph and the start-up values above.
void GraphStartup()
{
    IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.9f);
    IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
    const int points = 1, zero = 0;
    IPgGraphBegin(4, 500, std::span<const int>(&points, 1), &zero, &zero);
    PgGraphStartupDefaults();
}

// Installed while the program starts: every chart routine uses the graph
// state of this file, so a program that draws graphs links this step.
const bool gGraphStartupInstalled = (GraphicsDefaultsGraphStepSet(GraphStartup), true);

} // namespace

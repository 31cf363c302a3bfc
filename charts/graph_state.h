// The current graph of presentation graphics: PgGraphState (type, counts,
// options, ranges, plot and legend area, 3-D view, settings), the per-set
// styles of DataSetStyleTable, the per-set work tables, the routine that
// begins a graph, the data-set style setter and the log-axis setup.
//
// There is one graph per program and no handle: every routine of charts/
// reads and writes gPgGraphState. Reals are 32-bit, flags 32-bit integers
// (0 false; true is 1 or -1 as each field says).
#pragma once

#include <array>
#include <span>
#include <vector>


constexpr int kMaxDataSets = 500;

struct PgGraphState {
    // Graph identity and counts.
    int graphType = 4;          // 1..11
    int setCount = 500;         // 1..500
    int setCounter = 0;         // set drawn last; 0 after a graph begins
    int pointCount = 1;
    int pointCount2 = 0;
    int pointCount3 = 0;
    float pointCountReal = 1.0f;
    float pointIntervals = 0.0f;
    float pointCount2Real = 0.0f;
    float pointIntervals2 = 0.0f;

    // Options (from the option bits of IPgGraphBegin, except clipToPlot).
    int optionBits = 0;
    int threeD = 0;             // 1: 3-D option (bit 1) in force
    int threeDAxes = 0;         // -1: oblique axes (3-D with type 5, 6, 7, 8, 10)
    int polar = 0;              // 1: polar option (bit 64)
    int stacked = 0;            // 1: stacking (bit 1024)
    int optionKind = 0;         // 1 bit 4, else 2 bit 256, else 3 bit 16, else 0
    int optionFlag2 = 0;
    int optionFlag8 = 0;        // bit 8; a table graph's label bands filled in the previous colour
    int optionFlag32 = 0;
    int optionFlag128 = 0;      // smooth curves, no filled curve sets
    int optionFlag512 = 0;
    int optionFlag2048 = 0;
    int clipToPlot = 0;         // -1: data clipped to the plot area (IPgGraphOptions "P")

    // Plot area (fractions of the graphics area), user ranges, log axes.
    float plotX1 = 0.1f, plotX2 = 0.9f, plotY1 = 0.1f, plotY2 = 0.9f;
    float userX1 = 0.0f, userX2 = 1.0f, userY1 = 0.0f, userY2 = 1.0f;
    float userZ1 = 0.0f, userZ2 = 1.0f;
    float xWidth = 1.0f, yWidth = 1.0f, zWidth = 1.0f;
    float xMin = 0.0f, xMax = 1.0f, yMin = 0.0f, yMax = 1.0f;
    float polarUnit = 1.0f;
    int xLogRequested = 0, yLogRequested = 0; // -1 requested
    int xLog = 0, yLog = 0;                   // -1 in force
    float logX1 = 0.0f, logX2 = 0.0f, logXWidth = 0.0f;
    float logY1 = 0.0f, logY2 = 0.0f, logYWidth = 0.0f;
    float logPolarUnit = 0.0f, logPolarOffset = 38.0f;
    // No legend area while legendX2 <= legendX1 or legendY2 <= legendY1.
    float legendX1 = 1.0f, legendX2 = 0.0f, legendY1 = 1.0f, legendY2 = 0.0f;

    // 3-D projection and frame.
    float depthFraction = 0.25f;
    float pointShare = 0.0f;
    float viewElevation = 0.5f;     // elevation / 45
    float viewAngle = 0.0f;         // degrees, 0 <= angle < 360
    float viewCosMinus45 = 0.70710677f;
    float viewCosPlus45 = 0.70710677f;
    float axisAngleX = 0.0f, axisAngleY = 0.0f, axisAngleZ = 0.0f;    // radians
    float axisAngle2X = 0.0f, axisAngle2Y = 0.0f, axisAngle2Z = 0.0f; // degrees
    int wallFill = 0;
    int wallColour1 = 0, wallColour2 = 0, wallColour3 = 0;
    int frameColour1 = 0, frameColour2 = 0, frameColour3 = 0;
    float axisFactor1 = 0.6f, axisFactor2 = 0.4f;

    // Settings.
    float tickLengthX = 1.0f, tickLengthY = 1.0f, tickLengthZ = 1.0f;
    int tickDecimals = -1;          // -1: the tick labels choose
    int pointStep1 = 1, pointStep2 = 1;
    int stepCount = 1;
    int graphInteger = 3;
    int graphColourNumber = 223;
    int graphColourRgb = 0;
    float axisMarginFraction = 0.38f;
    float tickLabelDistance = 1.5f;
    float xLabelFraction = 0.7f, yLabelFraction = 0.8f, zLabelFraction = 0.8f;
    float titleFraction = 0.5f;
    float legendFraction = 0.7f;
    float xAxisPosition1 = 0.0f, xAxisPosition2 = 0.0f; // data y values
    float yAxisPosition1 = 0.0f, yAxisPosition2 = 0.0f; // data x values
    int xAxisPositionSet1 = 0, xAxisPositionSet2 = 0;   // 1 set
    int yAxisPositionSet1 = 0, yAxisPositionSet2 = 0;

    // Missing values (no operation sets them).
    int missingValueOn = 0;
    float missingValue = 0.0f;

    // Pie geometry, filled by a pie-chart drawing, read by its slice labels.
    float pieCentreX = 0.0f, pieCentreY = 0.0f;
    float pieScaleX = 0.0f, pieScaleY = 0.0f;
    float pieRadius = 0.0f;
    float pieLeaderLength = 0.0f;
    float pieLabelColumnLeft = 0.0f, pieLabelColumnRight = 0.0f;
};
extern PgGraphState gPgGraphState;

// One row per set number 1..500 (row 0 is set 1).
struct DataSetStyle {
    int styleWord1 = 4;
    int styleWord2 = 2;
    int styleWord3 = 0;
    int colour1 = 0;
    int colour2 = 0;
    int marker = -1;
};
struct DataSetStyleTable {
    std::array<DataSetStyle, kMaxDataSets> rows;
    DataSetStyleTable(); // start-up values
    // The row of set N (1..500); N must be in range.
    DataSetStyle& Set(int n) { return rows[static_cast<size_t>(n - 1)]; }
};
extern DataSetStyleTable gDataSetStyleTable;

// Start-up row of set N.
DataSetStyle DataSetStyleStartup(int n);

// Where the curve of each set ended (types 4 and 6); index 0 is set 1.
struct SetEndTable {
    std::vector<float> endX;
    std::vector<float> endY;
    int capacity = 0;
};
extern SetEndTable gSetEndTable;

// Slice data of a pie chart (type 3); index 0 is set 1.
struct SetQuad {
    float share = 0.0f;
    float offset = 0.0f;
    float directionX = 0.0f;
    float directionY = 0.0f;
};
struct SetQuadTable {
    std::vector<SetQuad> rows;
    int capacity = 0;
};
extern SetQuadTable gSetQuadTable;

// Begins a new graph: type 1..11 (else 4), sets (clamped to 1..500), the
// point counts (the first, and the second and third where the graph type
// needs them; a count that is not there counts as 0 and is raised like a
// small one), option bits and the switch that applies the default styles,
// colours and settings of the type. The log-axis request of IPgLogAxes is
// not the graph's and stays as it was. Option bit 8 on a table graph (type
// 9) fills the band of its row or column labels in the previous colour
// (see the table-axis entries in charts/axes.h).
void IPgGraphBegin(int type, int sets, std::span<const int> points, const int* optionBits = nullptr,
                   const int* applyDefaults = nullptr);

// Stores each present style word and colour into the row of SET (1..500);
// other set numbers are ignored.
void IPgDataSetStyle(int set, const int* styleWord1 = nullptr, const int* styleWord2 = nullptr,
                     const int* styleWord3 = nullptr, const int* colour1 = nullptr,
                     const int* colour2 = nullptr);

// Re-derives xLog and yLog and the logarithms of the range ends.
void YYLogAxisSetup();

// -38 for 0, else log10 of the magnitude.
float YYLog10(float x);

// The start-up values of the graph state and of every style row that the
// graphics start-up sets after IPgPlotAreaFractions(0.1, 0.1, 0.9, 0.9),
// IPgArea(0, 0, 1, 1) and IPgGraphBegin(4, 500, 1, 0, 0); the log flags are
// derived once more at the end.
void PgGraphStartupDefaults();

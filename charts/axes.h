// Axis drawing: the tick marks and tick labels of one axis of the current
// graph (the axis line itself is the frame's). Ten public entry points share
// one body (YYAxisDraw); the entry number selects the axis (x, y or third),
// its variant (1 at the start of the other range, 2 at its end) and the
// argument form: an option string, or caller labels.
//
// After a common preparation the body branches by the kind of graph: the
// plain x and y axes, linear or logarithmic, are drawn here; oblique 3-D
// axes, table labels and polar axes by the branches declared below. The
// colour, line style and width current at the call are used and kept; the
// text state and the fill mode are put back before return.
#pragma once

#include <span>
#include <string>
#include <string_view>

// Options, letters in either case: I inward ticks (ticks always on), T ticks,
// N numeric labels. A blank text means ticks and labels, outward.
void IPgXAxis(std::string_view options);
void IPgXAxis2(std::string_view options);
void IPgYAxis(std::string_view options);
void IPgYAxis2(std::string_view options);
void IPgZAxis(std::string_view options);

// Caller labels instead of numbers, no tick marks: label k of the axis is
// LABELS[k - 1] up to its last non-blank character for k <= N (and within
// the span), else a single blank.
//
// On a table graph (type 9) these draw the label bands: row labels beside
// the plot (y entries), column labels below or above it (x entries). With
// option bit 8 of IPgGraphBegin the band is first filled solid in the
// PREVIOUS colour, and the labels and grid are drawn in the current one.
// IGrColourN makes the colour before it the previous one, so after a single
// call the band takes the colour that was current before (black by
// default) and hides labels of a dark colour. Select the band's colour and
// then the labels' colour, two IGrColourN calls, before the labels.
void IPgXAxisLabels(std::span<const std::string_view> labels, int n);
void IPgXAxis2Labels(std::span<const std::string_view> labels, int n);
void IPgYAxisLabels(std::span<const std::string_view> labels, int n);
void IPgYAxis2Labels(std::span<const std::string_view> labels, int n);
void IPgZAxisLabels(std::span<const std::string_view> labels, int n);

// The shared body; ENTRY 1..10 in the order IPgXAxisLabels, IPgXAxis2Labels,
// IPgYAxisLabels, IPgYAxis2Labels, IPgZAxisLabels, IPgXAxis, IPgXAxis2,
// IPgYAxis, IPgYAxis2, IPgZAxis. Other entry numbers draw nothing.
void YYAxisDraw(int entry, std::string_view options, std::span<const std::string_view> labels, int n);

// What the common preparation hands to a branch.
struct AxisCall {
    int axis = 1;            // 1 x, 2 y, 3 third axis
    int variant = 1;         // 1 or 2 (0: entry 10)
    float sigma = 1.0f;      // +1 for variant 1, else -1
    bool ticks = true;
    bool labels = true;
    float s = 1.0f;          // +1 outward ticks, -1 inward
    bool labelForm = false;  // caller labels instead of an option string
    std::span<const std::string_view> callerLabels;
    int callerCount = 0;     // N as given
    float x1w = 0, y1w = 0, x2w = 0, y2w = 0; // world corners of the user range
    float aspect = 1.0f;     // A
    float thetaA = 0.0f;     // first axis angle, radians
    float thetaT = 0.0f;     // label angle, degrees
    float tickLength = 1.0f; // L
    float tx = 0.0f, ty = 0.0f;
    float dy = 0.0f;         // label distance of a y axis
    float labelX = 0.0f;     // label x of a left y axis
    float labelY = 0.0f;     // label y of a bottom x axis
    float md = 0.0f;         // margin distance of a bottom x axis
    float cw = 0.0f, ch = 0.0f;
    float e = 0.0f;          // exponent raise
    float ct = 1.0f, st = 0.0f;           // cos and A x sin of the label angle
    float ca = 1.0f, sa = 0.0f, saByA = 0.0f; // cos, A x sin and sin / A of the axis angle
    float savedWidth = 0.0f, savedHeight = 0.0f; // character size at the preparation
};

// The branches YYAxisDraw hands a call to after its common preparation; the
// restore after them is YYAxisDraw's. Oblique 3-D axes (graphs with
// threeDAxes set; charts/oblique_axes.cpp), the angular (axis 1) and radial
// (axes 2 and 3) axes of a polar graph (charts/polar_axes.cpp), and the column
// (axis 1) and row (axes 2 and 3) labels of a table graph, type 9
// (charts/table_axis.cpp).
void YYAxisOblique(AxisCall& call);
void YYAxisPolar(AxisCall& call);
void YYAxisTable(AxisCall& call);

// The aspect of the output being drawn (width over height): the target's
// while screen output is on, else the hardcopy page's; 1 when that is not a
// positive number.
float YYOutputAspect();

// Makes ASPECT the call's A and derives the values that depend on it (St,
// Sa, sa): a polar axis sets them again for each output it is drawn on.
void YYAxisAspectSet(AxisCall& call, float aspect);

// The label of a linear tick VALUE on an axis of order of magnitude EXPONENT
// (YYTickLabel, bit 0 of EXTRADIGIT for one more decimal), as a text.
std::string YYAxisTickText(float value, int exponent, int extraDigit);
// The exponent I of a decade label, written "(I3)", from its first
// non-blank character.
std::string YYAxisExponentText(int i);
// Copies TEXT into AxisLabelBuffer, where the axes build their labels.
void YYAxisLabelBufferPut(std::string_view text);
// Longest label M of a decade axis (the exponents, in character widths) made
// the length of a whole decade label: "10" (MULTIPLIER: "1*10") followed by
// an exponent at the exponent size, raised along the text direction.
float YYAxisDecadeLength(const AxisCall& call, float m, bool multiplier);
// A decade label at (X, Y): TEN right-justified there, then EXPONENT at 0.6
// of the character size WIDTH x HEIGHT, left-justified, raised by E across
// the text direction. The justification and the size WIDTH x HEIGHT are put
// back afterwards.
void YYAxisDecadeLabelDraw(const AxisCall& call, float x, float y, std::string_view ten,
                           std::string_view exponent, float width, float height);

// Caller label K (from 1): the element up to its last non-blank character,
// or one blank beyond N or beyond the span.
std::string_view YYAxisCallerLabel(const AxisCall& call, int k);

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

// The aspect of the output being drawn (width over height): the target's
// while screen output is on, else the hardcopy page's; 1 when that is not a
// positive number.
float YYOutputAspect();

// Caller label K (from 1): the element up to its last non-blank character,
// or one blank beyond N or beyond the span.
std::string_view YYAxisCallerLabel(const AxisCall& call, int k);

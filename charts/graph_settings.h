// The small public setters that tune the look of a graph: axis angles, view,
// margins and label fractions, tick lengths and decimals, axis positions,
// point steps, markers per set and the graph colour. Each stores into
// gPgGraphState or gDataSetStyleTable after its clamp; nothing is drawn and
// nothing is reported.
#pragma once

// Axis angles in degrees: the first is stored in radians, the second as given.
void IPgAxisAnglesX(float a1, float a2);
void IPgAxisAnglesY(float a1, float a2);
void IPgAxisAnglesZ(float a1, float a2);
// Graph colour in the current colour model (a number 0..255, or packed RGB).
void IPgGraphColour(int colour);
void IPgDataSetMarker(int set, int marker);
void IPgGraphInteger(int n);
void IPgViewElevation(float angle);
void IPgViewAngle(float angle);
void IPgAxisMarginFraction(float f);
void IPgTickLabelDistance(float d);
void IPgXLabelFraction(float f);
void IPgYLabelFraction(float f);
void IPgZLabelFraction(float f);
void IPgTitleFraction(float f);
// Both variants of the x (y) axis position at once; a > b switches both off.
void IPgXAxisPositions(float a, float b);
void IPgYAxisPositions(float a, float b);
void IPgLegendFraction(float f);
void IPgStepCount(int n);
void IPgPointSteps(int a, int b);
void IPgTickDecimals(int n);
void IPgTickLengthX(float l);
void IPgTickLengthY(float l);
void IPgTickLengthZ(float l);

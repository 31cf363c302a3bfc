// Lines, points and the pen: the bottom of the world-unit primitives. Every
// single straight segment the library draws ends in YYWorldLine (world units)
// or YYDeviceLine (device units), which clip it to the graphics area and send
// it as DeviceOp 2 to the screen side (while screen output is on) and to an
// open hardcopy. Also the thin world-unit forms of the ellipse, polygon and
// polyline engines, and the arrowhead routines.
//
// Pen rules: line forms move the pen to their end after drawing; point forms
// move it before the point is converted, so it moves also when the point is
// clipped away. No routine here reports an error.
#pragma once

// The pen position in world units.
void YYPenMoveTo(float x, float y);
void YYPenMoveRel(float dx, float dy);

void YYWorldLine(float x1, float y1, float x2, float y2);
void YYDeviceLine(float x1, float y1, float x2, float y2);
void YYLineBetween(float x1, float y1, float x2, float y2);
void YYLineRel(float x, float y, float dx, float dy);
void YYDrawTo(float x, float y);
void YYDrawRel(float dx, float dy);
void YYPointPlot(float x, float y);
void YYPointRel(float dx, float dy);

void YYPolygonDraw(const float* x, const float* y, int n);
void YYPolylineDraw(const float* x, const float* y, int n);

// Arrowhead at (X, Y) of a shaft of LENGTH world x units at ANGLE degrees:
// type 2 a closed filled arrow drawn as a polygon, any other type a shaft and
// two barbs. HEAD (optional) scales the head; absent gives a quarter of the
// length. Drawn on the screen side and on an open hardcopy, each with its own
// aspect; the pen ends at (X, Y).
void YYArrowDraw(float x, float y, float length, float angle, int type, const float* head = nullptr);
// Arrowhead at the end (X2, Y2) of the world segment from (X1, Y1).
void YYArrowAlong(float x1, float y1, float x2, float y2, int type, const float* head = nullptr);

// Coordinate conversions of the graphics layer: world units to device units
// and back with the page rotation, window pixels to the 0..9999 scale of
// events and back, the world coordinates of an event, and the small geometric
// routines the primitives share (inside-clip tests, line coefficients,
// segment intersection, edge interpolation, quadratic Bezier points).
// All words named here are GraphicsState words.
#pragma once

// World point to device reals. A page rotation other than 0, 90, 180 or 270
// leaves DX and DY unchanged.
void YYWorldToDevice(float wx, float wy, float& dx, float& dy);
// The exact inverse, with the same rule.
void YYDeviceToWorld(float dx, float dy, float& wx, float& wy);

// Current window's client pixels to 0..9999 and back.
void YYPixelToNormal(int px, int py, int& nx, int& ny);
void YYNormalToPixel(int nx, int ny, int& px, int& py);

// Inside the clip box, bounds included; a NaN is outside.
bool YYInsideClip(float x, float y);
// Inside the clip box and within the segment's bounding box.
bool YYPointOnSegmentInClip(float x, float y, float x1, float y1, float x2, float y2);

// The line a.x + b.y + c = 0 through two points.
void YYLineCoefficients(float x1, float y1, float x2, float y2, float& a, float& b, float& c);
// Intersection of the lines through two segments. STATUS: 0 the same line,
// 1 distinct parallel lines (X = Y = 0), 2 the lines meet outside both
// segments, 3 on the first, 4 on the second, 5 on both.
void YYSegmentIntersect(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                        float y4, float& x, float& y, int& status);
// y of the edge at X; a vertical edge or a result beyond the limit gives
// +2147480064.
float YYEdgeInterpolate(float x1, float y1, float x2, float y2, float x);
// Point at T of the quadratic Bezier curve from element I over CONTROL to
// element I + 2 of VALUES, whose first element is element 1.
float YYBezierPoint(const float* values, float control, int i, float t);

struct EventMessage;
// Completes an EventMessage before the message wait returns it: the 0..9999
// position from the recorded pixels and the world words by event type,
// switching the geometry to the event's window or dialog area for the
// conversion when that is not the drawing target. The world words (8 to 11)
// hold 32-bit reals stored bit for bit in their integer words; read them with
// EventWorldValue.
void YYEventWorldCoords(int type, EventMessage& message);
float EventWorldValue(int word);
int EventWorldWord(float value);
// World point of device point (DX, DY) of bitmap-viewer window N.
void YYViewerToWorld(float dx, float dy, float& wx, float& wy, int n);

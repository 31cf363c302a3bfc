// Decomposition of a simple polygon into triangles by ear clipping. Used by
// the triangle-based polygon fill of the markers and by shaded polygons.
// No Win32 here.
#pragma once

// Splits the N-point polygon (X[0..N-1], Y[0..N-1], either orientation) into
// triangles. TRI receives COUNT index triples of 1-based vertex numbers, at
// most N - 2 of them (TRI has room for 3 (N - 2) integers). Consecutive
// repeated points are dropped. A convex polygon yields the fan from its first
// topmost vertex. When no start vertex gives a complete decomposition (a
// self-crossing outline) error 28 is reported under "YYPolygonDecompose" and
// COUNT holds the triangles of the last attempt, the one from the topmost
// vertex. Fewer than 3 points, or points that all coincide, give COUNT 0
// without an error.
void YYPolygonDecompose(const float* x, const float* y, int n, int* tri, int& count);

// Polygons with one colour per vertex, filled with colours interpolated
// across their interior: the device-side half of DeviceOp 40. A driver puts
// the vertices in its own integer pixels into ShadedPolygonBuffer (the
// vertex colours are there already, placed by the issuer with the device
// points in DevicePointArrays) and calls YYShadedPolygon with a clip
// rectangle and two callbacks of its own: one that draws whole triangles with
// per-vertex colours when the surface can, one that sets a pixel. No Win32.
#pragma once

#include <array>

constexpr int kShadedPolygonCapacity = 1000;

struct ShadedPolygonBuffer {
    int count = 0;          // vertices n
    int triangleCount = 0;  // triangles found by the decomposition
    std::array<int, kShadedPolygonCapacity> x{};      // surface pixels
    std::array<int, kShadedPolygonCapacity> y{};
    std::array<int, kShadedPolygonCapacity> colour{}; // packed RGB per vertex
    std::array<int, 3 * kShadedPolygonCapacity> triangles{}; // 1-based vertex triples
};
extern ShadedPolygonBuffer gShadedPolygonBuffer;

// Draws M triangles (1-based triples of TRIANGLES) over N vertices with
// per-vertex packed RGB colours; STATUS (0 on entry) not 0 asks for the
// pixel fallback.
using ShadedTriangleCallback = void (*)(const int* x, const int* y, const int* colours,
                                        const int* triangles, int n, int m, int& status);
// Sets pixel (X, Y) to the packed RGB COLOUR.
using ShadedPixelCallback = void (*)(int x, int y, int colour);

// Merges runs of equal consecutive vertices (their colours averaged), drops
// a closing vertex equal to the first, splits the polygon into triangles and
// offers them to TRIANGLE when MODE is 2, else (or when it declines) fills
// each one pixel by pixel within (XMIN, YMIN)-(XMAX, YMAX). More than 1000
// vertices report error 49 under "YYShadedPolygon" and draw nothing.
void YYShadedPolygon(int mode, int xmin, int ymin, int xmax, int ymax, ShadedPixelCallback pixel,
                     ShadedTriangleCallback triangle);

// Scan-converts the triangle of vertex numbers T[0..2] (1-based) of the
// buffer with Gouraud colours, clipped to the rectangle.
void YYShadedTriangleFill(const int* t, int xmin, int ymin, int xmax, int ymax, ShadedPixelCallback pixel);

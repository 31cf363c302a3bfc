// The device protocol of the graphics layer: every primitive writes its
// operands into the one DeviceParameterBlock (points into DevicePointArrays,
// text into DeviceTextBuffer) and passes a DeviceOp code to the screen router
// (YYScreenDeviceCall) and, while a hardcopy plot is open, to the hardcopy
// router (YYHardcopyCallIfOpen). The same codes serve the screen driver, the
// memory metafile and every hardcopy driver.
//
// Device units: pixels on the screen side, plot units on the hardcopy side;
// origin at the bottom left, y growing upwards. No Win32 here.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/numeric.h"

// DeviceOp codes. Filled shapes come in pairs: odd = half-tone fill of the
// previous and current colour, even = solid fill.
namespace DeviceOp {
constexpr int kInitialise = 1;
constexpr int kLine = 2;
constexpr int kColour = 3;
constexpr int kEllipseOutline = 4;
constexpr int kEllipseHalftone = 5;
constexpr int kEllipseSolid = 6;
constexpr int kQuadHalftone = 7;
constexpr int kQuadSolid = 8;
constexpr int kRectangleHalftone = 9;
constexpr int kRectangleSolid = 10;
constexpr int kTriangleHalftone = 11;
constexpr int kTriangleSolid = 12;
constexpr int kSectorHalftone = 13;
constexpr int kSectorSolid = 14;
constexpr int kPolygonHalftone = 15;
constexpr int kPolygonSolid = 16;
constexpr int kClear = 17;
constexpr int kBeginPlot = 18;
constexpr int kEndPlot = 19;
constexpr int kEndPage = 20;
constexpr int kFont = 21;
constexpr int kText = 22;
constexpr int kMoveArea = 23;
constexpr int kClip = 24;
constexpr int kTextWidth = 25;
constexpr int kPoint = 26;
constexpr int kPlotMode = 27;
constexpr int kPaletteEntry = 28;
constexpr int kLineStyle = 29;
constexpr int kLineWidth = 30;
constexpr int kReadPixel = 31;
constexpr int kPolyline = 32;
constexpr int kTextAngle = 33;
constexpr int kArc = 34;
constexpr int kReloadPalette = 35;
constexpr int kLineJoin = 36;
constexpr int kLineCap = 37;
constexpr int kImageFile = 38;
constexpr int kOpenMemoryMetafile = 39;
constexpr int kShadedPolygon = 40;
} // namespace DeviceOp

// The operands of one DeviceOp. The library numbers the words from 1
// (IX1..IX4); here index 0 is IX1. Words an operation does not name keep what
// the previous operation left.
struct DeviceParameterBlock {
    std::array<int32_t, 4> IX{}; // integer device x: the reals truncated toward zero
    std::array<int32_t, 4> IY{}; // integer device y
    std::array<float, 4> X{};    // real device x (coordinates, radii, angles)
    std::array<float, 4> Y{};    // real device y
    int32_t M = 0;               // mode word
    int32_t N = 0;               // count word; -999 on op 1 asks only for the driver number
};
extern DeviceParameterBlock gDeviceParameterBlock;

// Value of N on DeviceOp 1 that asks a hardcopy driver only for its number.
constexpr int kDriverNumberQuery = -999;

// Points of polygon, polyline and shaded-polygon operations. The library
// indexes them from 1: point i is x[i - 1], y[i - 1]. Their count travels in
// N (ops 15, 16, 32) or in shadedCount (op 40).
struct DevicePointArrays {
    std::vector<float> x;
    std::vector<float> y;
    int shadedCount = 0;
    // Makes room for at least N points (never shrinks).
    void Reserve(int n);
};
extern DevicePointArrays gDevicePointArrays;

// The text of ops 22 and 25, the image file of op 38 and the output file
// that a hardcopy driver opens on op 18: 260 characters, blank-padded.
constexpr int kDeviceTextLength = 260;
struct DeviceTextBuffer {
    std::array<char, kDeviceTextLength> text;
    DeviceTextBuffer() { text.fill(' '); }
};
extern DeviceTextBuffer gDeviceTextBuffer;

// The sides of the device protocol, as element numbers of the per-side words.
constexpr int kScreenSide = 0;
constexpr int kHardcopySide = 1;

// 29 characters '0' or '1' per side, written by each driver on op 1.
// Position 27 (index 26) '0': no proportional text of the device's own.
constexpr int kCapabilityLength = 29;
using DeviceCapabilityString = std::array<std::array<char, kCapabilityLength>, 2>;
extern DeviceCapabilityString gDeviceCapabilityString;

// Words beside the capability string, per side, written on op 1.
struct DeviceCapabilityWords {
    std::array<int, 2> angleLimit{};  // text angle limit (360: any angle)
    std::array<int, 2> textKind{};    // platform word: 2 on the NT family, else 1
    std::array<int, 2> trueColour{};  // 1: the side shows more than 256 colours
    std::array<int, 2> gradient{};    // 2 with the system gradient fill, else 1
};
extern DeviceCapabilityWords gDeviceCapabilityWords;

// The integer word of a real device coordinate: truncated toward zero,
// saturated at +-2147480064, NaN gives 0. Never traps.
int32_t YYDeviceTrunc(float v);
int32_t YYDeviceTrunc(double v);

// Routers. OP is the DeviceOp code.
// Screen side: the memory-metafile driver while a memory metafile is the
// target, else the screen driver YYGAPI (which itself returns while screen
// output is off).
void YYScreenDeviceCall(int op);
// Hardcopy side: YYHardcopyCall while a hardcopy is open, else nothing.
// Before a fill pass (odd fill code, M not -1) the hardcopy line-fill spacing
// is preset to 100.0, as the hardcopy drivers expect.
void YYHardcopyCallIfOpen(int op);

// The hardcopy dispatcher as the graphics layer calls it directly (the
// driver-number query and the initialisation at start-up): YYHardcopyCall
// through the hardcopy layer's hook (graphics/hardcopy_side.h), or the
// registered test driver of the hardcopy side.
void HardcopyDriverCall(int op);

// Test seam: a driver that replaces the real one of a side. While set, the
// screen router hands every op to it instead of YYGAPI or the memory-metafile
// driver, and the hardcopy router and HardcopyDriverCall hand every op to it
// instead of YYHardcopyCall (the router still only while a hardcopy is open).
using DeviceDriver = void (*)(int side, int op);
void DeviceDriverOverride(int side, DeviceDriver driver);
DeviceDriver DeviceDriverOverrideOf(int side);

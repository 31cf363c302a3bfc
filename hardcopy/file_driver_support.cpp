// Shared pieces of the HP-GL, HP-GL/2 and DXF drivers (see
// file_driver_support.h).
#include "hardcopy/file_driver_support.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "core/numeric.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_file_driver.h"

int PackedRgb(const std::array<int, 3>& rgb) { return rgb[0] + 256 * rgb[1] + 65536 * rgb[2]; }

bool SameColours()
{
    const GraphicsState& g = gGraphicsState;
    return g.colourModel == kColourModelRgb ? g.previousRgb == g.currentRgb : g.previousNumber == g.currentNumber;
}

int CurrentColourNumber()
{
    const GraphicsState& g = gGraphicsState;
    int n = g.currentNumber;
    if (n < 0 || n > 255)
        YYColourNearest(g.currentRgb, n);
    return std::clamp(n, 0, 255);
}

void HardcopyLineFillRequest()
{
    GraphicsState& g = gGraphicsState;
    const HardcopyState& h = gHardcopyState;
    const int pagePoints = h.options[static_cast<size_t>(HardcopyOptionSlot(2))];
    const int penWidth = h.options[static_cast<size_t>(HardcopyOptionSlot(12))];
    double spacing = static_cast<double>(penWidth) / 100.0 * DriverExtent(g.targetHeight) / std::max(pagePoints, 1);
    if (g.fillMode == kFillHalftone)
        spacing *= 2.0;
    g.LineFillSpacing[kHardcopySide] = SaturateToFloatWithin(std::max(spacing, 0.0), 1.0e30);
    g.LineFillRequest[kHardcopySide] = 2;
}

bool HardcopyLineFillActive() { return gGraphicsState.LineFillRequest[kHardcopySide] != 0; }


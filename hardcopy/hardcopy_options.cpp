// The hardcopy dispatcher and the numbered hardcopy options: range checks,
// the defaults every driver starts from, the page aspect, and the extension
// of the default output name that options 22 and 26 adjust.
#include <algorithm>

#include "core/fixed_text.h"
#include "core/library_state.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"

namespace {

// Replaces the extension of the default output name by EXTENSION: from its
// last "." when that lies after the last "\", else after its last non-blank
// character. The rest of the 260 characters becomes blanks.
void DefaultNameExtension(std::string_view extension)
{
    FixedText<260>& name = gLibraryPaths.hardcopyFileName;
    std::string_view text = name.view();
    std::string_view used = TrimRight(text);
    if (used.empty())
        return;
    size_t dot = text.rfind('.');
    size_t separator = text.rfind('\\');
    size_t start = used.size();
    if (dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator))
        start = dot;
    std::span<char> rest = name.span().subspan(start);
    PutText(rest, extension);
}

} // namespace

void YYHardcopyCall(int op)
{
    switch (gHardcopyState.dispatchDriver) {
    case kDriverPostScript: XXPS(op); break;
    case kDriverSvg: XXSVG(op); break;
    case kDriverWindowsPrinter: XXWIN(op); break;
    default: break; // no driver of that number is built
    }
}

void YYHardcopySelect(int code, int driver)
{
    if (code != 1)
        return;
    gHardcopyState.dispatchDriver = driver;
    // A full initialisation: neither the driver-number query nor the
    // keep-settings mode of the graphics start-up.
    gDeviceParameterBlock.N = 0;
    gDeviceParameterBlock.M = 0;
    YYHardcopyCall(DeviceOp::kInitialise);
}

void YYHardcopyDefaults()
{
    HardcopyState& h = gHardcopyState;
    static constexpr int kDefaults[][2] = {
        {6, 0},    {7, 0},   {8, 1},   {9, 5},        {10, 0},  {11, 0},  {17, 0},  {101, 80},
        {102, 60}, {103, 1}, {104, 999999}, {105, 1}, {106, 0}, {107, 0}, {108, 8}, {109, 0},
    };
    for (const auto& d : kDefaults)
        h.option(d[0]) = d[1];
}

void YYHardcopyOption(int code, int value)
{
    HardcopyState& h = gHardcopyState;
    switch (code) {
    case 1:
    case 2:
        if (value > 0) {
            h.option(code) = value;
            YYHardcopyAspect();
        }
        break;
    case 5:
        if (value >= 0 && value <= 3) {
            h.option(5) = value & 1;
            const int w = h.option(1), ht = h.option(2);
            if (value == 2) {
                h.option(1) = std::min(w, ht);
                h.option(2) = std::max(w, ht);
            } else if (value == 3) {
                h.option(1) = std::max(w, ht);
                h.option(2) = std::min(w, ht);
            }
        }
        break;
    case 6:
        if (value >= 0 && value <= 2)
            h.option(6) = value;
        break;
    case 8: h.option(8) = std::max(value, 1); break;
    case 9:
        h.option(9) = std::max(value, 1);
        YYHardcopyCallIfOpen(DeviceOp::kLineWidth);
        break;
    case 10:
    case 11:
        if (value >= 0 && value <= 2) {
            h.option(code) = value;
            YYHardcopyCallIfOpen(code == 10 ? DeviceOp::kLineJoin : DeviceOp::kLineCap);
        }
        break;
    case 12: h.option(12) = std::max(value, 100); break;
    case 13:
        if (value >= 1 && value <= h.resolutionCount) {
            h.option(13) = value;
            h.resolutionChoice = value;
        }
        break;
    case 16:
        if (value >= 10 && value <= 255)
            h.option(16) = value;
        break;
    case 21:
        if (value >= 1 && value <= 127)
            h.option(21) = value;
        break;
    case 22:
        h.option(22) = value;
        if (h.driverNumber == kDriverPostScript)
            DefaultNameExtension(value != 0 ? ".eps" : ".ps");
        break;
    case 23: {
        const bool image = h.driverNumber == kDriverImageFile &&
                           (value == 1 || value == 4 || value == 8 || value == 24);
        const bool dxf = h.driverNumber == kDriverDxf &&
                         (value == 3 || value == 4 || value == 8 || value == 24);
        if (image || dxf)
            h.option(23) = value;
        break;
    }
    case 24:
        if (value >= 0 && value <= h.option24Limit)
            h.option(24) = value;
        break;
    case 26:
        h.option(26) = value;
        if (h.driverNumber == kDriverImageFile)
            DefaultNameExtension(value == 1 || value == 2 ? ".bmp" : value == 3 ? ".png" : ".pcx");
        break;
    case 3: case 4: case 7: case 15: case 17: case 18: case 19: case 20:
    case 25: case 27: case 28: case 29: case 106: case 107: case 109:
        h.option(code) = value;
        break;
    case 101: case 102: case 103: case 104: case 108:
        if (value > 0)
            h.option(code) = value;
        break;
    case 105:
        if (value >= 1 && value <= 4)
            h.option(105) = value;
        break;
    default: break; // 14 and codes outside the table
    }
}

void YYHardcopyAspect()
{
    HardcopyState& h = gHardcopyState;
    const int w = h.option(1), ht = h.option(2);
    if (w <= 0 || ht <= 0)
        return;
    if (gGraphicsState.pageRotation % 180 == 0)
        h.pageAspect = static_cast<float>(w) / static_cast<float>(ht);
    else
        h.pageAspect = static_cast<float>(ht) / static_cast<float>(w);
}

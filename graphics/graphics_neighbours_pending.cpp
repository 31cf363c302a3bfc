// Bodies of the neighbouring routines the graphics core calls, until their
// subsystems land (see graphics_neighbours.h). Each does what the service
// description of its subsystem asks of it and no more; the text routines
// follow the text layer's rules for the words they touch.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/errors.h"
#include "core/os_services.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_neighbours.h"
#include "graphics/graphics_state.h"
#include "hardcopy/hardcopy_state.h"

namespace {

// A minimal record of the current graph until presentation graphics lands.
struct PendingGraph {
    float userX1 = 0, userY1 = 0, userX2 = 1, userY2 = 1;
    float plotX1 = 0.1f, plotY1 = 0.1f, plotX2 = 0.9f, plotY2 = 0.9f;
    int type = 4, sets = 1, points = 1, optionBits = 0, setCounter = 0;
} gPendingGraph;

} // namespace

// ---- Presentation graphics ----------------------------------------------------

void IPgArea(float x1, float y1, float x2, float y2)
{
    PendingGraph& p = gPendingGraph;
    if (x1 == x2 || std::isnan(x1) || std::isnan(x2)) {
        p.userX1 = 0.0f;
        p.userX2 = 1.0f;
        YYErrorReport(16, "IPgArea");
    } else {
        p.userX1 = x1;
        p.userX2 = x2;
    }
    if (y1 == y2 || std::isnan(y1) || std::isnan(y2)) {
        p.userY1 = 0.0f;
        p.userY2 = 1.0f;
        YYErrorReport(16, "IPgArea");
    } else {
        p.userY1 = y1;
        p.userY2 = y2;
    }
}

void IPgGraphBegin(int type, int sets, const int* points, const int* optionBits,
                   const int* applyDefaults)
{
    PendingGraph& p = gPendingGraph;
    p.type = (type >= 1 && type <= 11) ? type : 4;
    p.sets = std::min(std::max(sets, 1), 500);
    p.points = points ? std::max(points[0], 1) : 1;
    p.optionBits = optionBits ? *optionBits : 0;
    p.setCounter = 0;
    (void)applyDefaults;
}

void IPgPlotAreaFractions(float x1, float y1, float x2, float y2)
{
    PendingGraph& p = gPendingGraph;
    if (x1 >= 0.0f && x1 < 1.0f)
        p.plotX1 = x1;
    if (y1 >= 0.0f && y1 < 1.0f)
        p.plotY1 = y1;
    if (x2 > 0.0f && x2 <= 1.0f)
        p.plotX2 = x2;
    if (y2 > 0.0f && y2 <= 1.0f)
        p.plotY2 = y2;
}

// The graph's further start-up values live with presentation graphics.
void PgGraphStartupDefaults() {}

// ---- Hardcopy -------------------------------------------------------------------

// No hardcopy driver is built yet: every driver number selects nothing, so
// the driver-number query comes back unanswered.
void YYHardcopyCall(int) {}

void YYHardcopyOption(int code, int value)
{
    HardcopyState& h = gHardcopyState;
    auto opt = [&](int c) -> int& { return h.options[static_cast<size_t>(HardcopyOptionSlot(c))]; };
    switch (code) {
    case 1:
    case 2:
        if (value > 0) {
            opt(code) = value;
            YYHardcopyAspect();
        }
        break;
    case 5:
        if (value >= 0 && value <= 3) {
            opt(5) = value & 1;
            int w = opt(1), ht = opt(2);
            if (value == 2) {
                opt(1) = std::min(w, ht);
                opt(2) = std::max(w, ht);
            } else if (value == 3) {
                opt(1) = std::max(w, ht);
                opt(2) = std::min(w, ht);
            }
        }
        break;
    case 6:
        if (value >= 0 && value <= 2)
            opt(6) = value;
        break;
    case 8:
        opt(8) = std::max(value, 1);
        break;
    case 9:
        opt(9) = std::max(value, 1);
        YYHardcopyCallIfOpen(DeviceOp::kLineWidth);
        break;
    case 10:
    case 11:
        if (value >= 0 && value <= 2) {
            opt(code) = value;
            YYHardcopyCallIfOpen(code == 10 ? DeviceOp::kLineJoin : DeviceOp::kLineCap);
        }
        break;
    case 12:
        opt(12) = std::max(value, 100);
        break;
    case 13:
        if (value >= 1 && value <= h.resolutionCount) {
            opt(13) = value;
            h.resolutionChoice = value;
        }
        break;
    case 16:
        if (value >= 10 && value <= 255)
            opt(16) = value;
        break;
    case 21:
        if (value >= 1 && value <= 127)
            opt(21) = value;
        break;
    case 23:
        if ((h.driverNumber == kDriverImageFile && (value == 1 || value == 4 || value == 8 || value == 24)) ||
            (h.driverNumber == kDriverDxf && (value == 3 || value == 4 || value == 8 || value == 24)))
            opt(23) = value;
        break;
    case 24:
        if (value >= 0 && value <= h.option24Limit)
            opt(24) = value;
        break;
    case 3: case 4: case 7: case 15: case 17: case 18: case 19: case 20:
    case 22: case 25: case 26: case 27: case 28: case 29:
    case 106: case 107: case 109:
        opt(code) = value;
        break;
    case 101: case 102: case 103: case 104: case 108:
        if (value > 0)
            opt(code) = value;
        break;
    case 105:
        if (value >= 1 && value <= 4)
            opt(105) = value;
        break;
    default:
        break;
    }
}

void YYHardcopyAspect()
{
    HardcopyState& h = gHardcopyState;
    int w = h.options[static_cast<size_t>(HardcopyOptionSlot(1))];
    int ht = h.options[static_cast<size_t>(HardcopyOptionSlot(2))];
    if (w <= 0 || ht <= 0)
        return;
    if (gGraphicsState.pageRotation % 180 == 0)
        h.pageAspect = static_cast<float>(w) / static_cast<float>(ht);
    else
        h.pageAspect = static_cast<float>(ht) / static_cast<float>(w);
}

void YYPRNCMD(std::string_view command)
{
    int platform = 0;
    OsPlatform(platform);
    std::string line = platform == 4 ? "cmd.exe /c " : "command.com /c ";
    line += command;
    int result = 0;
    OsExecuteWait(line.c_str(), 1, 1, -1, result);
    if (result != 32) {
        gErrorState.osError = result;
        gErrorState.osErrorKind = 2;
        YYErrorReport(13, "YYPRNCMD");
    }
}

// ---- Graphics-core neighbours ---------------------------------------------------

// No memory metafile can be created yet, so the routing never reaches here.
void YYCGMMemoryDriver(int) {}

// The bitmap table is not built yet: every slot is free.
void BitmapSelectTarget(int, int& status, int&, int&) { status = 1; }

// No metafile slot can be created yet: every slot is free.
void YYDrawableHandleInfo(int, int& status, int&, int&) { status = 1; }

// Dialog graphics areas are not built yet: no dialog or field can be a target.
void DialogGraphicsTarget(int& field, int&, int&) { field = -1; }

// No bitmap viewer exists yet.
void BitmapViewerInfo(int, int, int& value) { value = 0; }

// The dialog table is not built yet: there is no loaded dialog to select.
void WDialogSelect(int) {}

// No metafile slot can be created yet.
void MetafileSlotWidths(int, int& physicalWidth, int& pixelWidth)
{
    physicalWidth = 0;
    pixelWidth = 0;
}

// The hardcopy dispatcher: passes a DeviceOp to the driver of the number the
// hardcopy state selects.
//
// A new driver adds its case here, named by its HardcopyDriverNumber
// (graphics/hardcopy_side.h), and declares its XX entry routine in
// hardcopy/hardcopy_drivers.h. A number without a driver opens nothing and
// reports nothing: a driver-number query then stays unanswered.
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_state.h"

void YYHardcopyCall(int op)
{
    switch (gHardcopyState.dispatchDriver) {
    case kDriverHpgl: XXHPGL(op); break;
    case kDriverPostScript: XXPS(op); break;
    case kDriverSvg: XXSVG(op); break;
    case kDriverRasterPrinter: XXRAST(op); break;
    case kDriverImageFile: XXIMAG(op); break;
    case kDriverDxf: XXDXF(op); break;
    case kDriverCgm: XXCGM(op); break;
    case kDriverWindowsPrinter: XXWIN(op); break;
    case kDriverWindowsMetafile: XXWMF(op); break;
    case kDriverHpgl2: XXHPGL2(op); break;
    default: break; // no driver of that number is built
    }
}

namespace {

// A program that reaches the dispatcher installs the whole hardcopy layer
// (hardcopy_state.cpp), as one that reaches its device settings does.
const bool gLayerInstalled = (HardcopyLayerInstall(), true);

} // namespace

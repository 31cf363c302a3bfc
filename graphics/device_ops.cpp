// The device protocol's global areas and the two routers.
#include "graphics/device_ops.h"

#include <cmath>

#include "graphics/graphics_state.h"
#include "graphics/hardcopy_side.h"
#include "graphics/metafile_slots.h"
#include "graphics/screen_driver.h"

DeviceParameterBlock gDeviceParameterBlock;
DevicePointArrays gDevicePointArrays;
DeviceTextBuffer gDeviceTextBuffer;
DeviceCapabilityString gDeviceCapabilityString = [] {
    DeviceCapabilityString s;
    for (auto& side : s)
        side.fill('0');
    return s;
}();
DeviceCapabilityWords gDeviceCapabilityWords;

namespace {
DeviceDriver gDriverOverride[2] = {nullptr, nullptr};
}

void DevicePointArrays::Reserve(int n)
{
    if (n > 0 && static_cast<size_t>(n) > x.size()) {
        x.resize(static_cast<size_t>(n), 0.0f);
        y.resize(static_cast<size_t>(n), 0.0f);
    }
}

// A float widens to double exactly: one body serves both.
int32_t YYDeviceTrunc(float v) { return TruncateToDeviceCoordinate(v); }
int32_t YYDeviceTrunc(double v) { return TruncateToDeviceCoordinate(v); }

void DeviceDriverOverride(int side, DeviceDriver driver)
{
    if (side == kScreenSide || side == kHardcopySide)
        gDriverOverride[side] = driver;
}

DeviceDriver DeviceDriverOverrideOf(int side)
{
    if (side == kScreenSide || side == kHardcopySide)
        return gDriverOverride[side];
    return nullptr;
}

void YYScreenDeviceCall(int op)
{
    if (gDriverOverride[kScreenSide]) {
        gDriverOverride[kScreenSide](kScreenSide, op);
        return;
    }
    if (gGraphicsState.memoryMetafileRouting)
        MemoryMetafileDeviceCall(op);
    else
        YYGAPI(op);
}

void HardcopyDriverCall(int op)
{
    if (gDriverOverride[kHardcopySide])
        gDriverOverride[kHardcopySide](kHardcopySide, op);
    else
        HardcopyLayerDispatch(op);
}

void YYHardcopyCallIfOpen(int op)
{
    if (gGraphicsState.hardcopyOpen <= 0)
        return;
    // The fill pass of a filled shape: the drivers that want the fill as
    // hatch lines set their own spacing; start every pass from 100.
    bool fillPass = op >= DeviceOp::kEllipseHalftone && op <= DeviceOp::kPolygonHalftone &&
                    (op % 2) == 1 && gDeviceParameterBlock.M != -1;
    if (fillPass)
        gGraphicsState.LineFillSpacing[kHardcopySide] = 100.0f;
    HardcopyDriverCall(op);
}

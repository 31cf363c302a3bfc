// The hardcopy record and the hooks of the hardcopy layer (see
// hardcopy_side.h).
#include "graphics/hardcopy_side.h"

#include "core/error_codes.h"
#include "graphics/device_ops.h"

HardcopyState gHardcopyState;

namespace {
constinit HardcopyLayerHooks gHooks;
} // namespace

void HardcopyLayerHooksSet(const HardcopyLayerHooks& hooks)
{
    gHooks = hooks;
}

void HardcopyLayerDispatch(int op)
{
    if (gHooks.dispatch)
        gHooks.dispatch(op);
}

void ScreenImageDraw()
{
    if (gHooks.screenImage) {
        gHooks.screenImage();
        return;
    }
    gDeviceParameterBlock.M = kErrorImageFormat;
    gDeviceParameterBlock.N = 0;
}

void HardcopyLayerStartup(std::string_view options)
{
    if (gHooks.startup)
        gHooks.startup(options);
}

void HardcopyLayerClose()
{
    if (gHooks.close)
        gHooks.close();
}

// Shared steps of the plot-file drivers.
#include "hardcopy/plot_file_driver.h"

#include <algorithm>

#include "core/errors.h"
#include "core/library_state.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_output.h"

void HardcopyDescribe(const HardcopyDeviceDescription& d)
{
    HardcopyState& h = gHardcopyState;
    TextState& t = gTextState;
    DeviceCapabilityWords& w = gDeviceCapabilityWords;
    h.resolutionX = h.resolutionY = d.resolution;
    t.sizeLimit[kTextHardcopy] = d.largestCharacter;
    t.deviceCharset[kTextHardcopy] = d.characterSets;
    t.rotation[kTextHardcopy] = d.angles;
    t.deviceProportional[kTextHardcopy] = d.deviceJustification;
    t.hardcopySpacing = d.spacing;
    t.hardcopyTextBox = d.lastCapability;
    w.angleLimit[kHardcopySide] = d.angles;
    w.textKind[kHardcopySide] = d.platform;
    w.trueColour[kHardcopySide] = d.trueColour;
    w.gradient[kHardcopySide] = d.shadedPolygons;
    gGraphicsState.hardcopyColours = d.colours;
    h.paletteSize = d.palette;
    h.printCommandAllowed = d.printCommandAllowed;
    auto& capability = gDeviceCapabilityString[kHardcopySide];
    capability.fill('0');
    std::copy_n(d.capability.begin(), std::min<size_t>(d.capability.size(), capability.size()), capability.begin());
    gLibraryPaths.hardcopyFileName = FixedText<260>(d.defaultName);
    h.driverNumber = d.driver;
}

bool PlotFileBegin()
{
    const int saved = gErrorState.lastCode;
    gErrorState.lastCode = 0;
    YYPlotOpen(kPlotUnit);
    if (gErrorState.lastCode != 0) {
        gGraphicsState.hardcopyOpen = 0;
        return false;
    }
    gErrorState.lastCode = saved;
    return true;
}

double DriverExtent(int pixels)
{
    return pixels > 1 ? static_cast<double>(pixels) - 1.0 : 1.0;
}

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

// ---- Graphics-core neighbours ---------------------------------------------------

// No memory metafile can be created yet, so the routing never reaches here.
void YYCGMMemoryDriver(int) {}

// The bitmap table is not built yet: every slot is free.
void BitmapSelectTarget(int, int& status, int&, int&) { status = 1; }

// No metafile slot can be created yet: every slot is free.
void YYDrawableHandleInfo(int, int& status, int&, int&) { status = 1; }

// No bitmap viewer exists yet.
void BitmapViewerInfo(int, int, int& value) { value = 0; }

// No metafile slot can be created yet.
void MetafileSlotWidths(int, int& physicalWidth, int& pixelWidth)
{
    physicalWidth = 0;
    pixelWidth = 0;
}

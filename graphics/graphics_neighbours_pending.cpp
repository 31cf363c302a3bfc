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


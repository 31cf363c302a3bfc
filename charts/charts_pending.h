// Drawing routines of presentation graphics that the curve drawing calls but
// that are not in place yet. Each has the interface its callers use and the
// least body: it draws nothing. A routine that lands moves out of here.
#pragma once

#include <span>

// The polar branch of IPgCurveDraw: set SET of a polar type-4 graph drawn as
// a closed curve around the centre of the plot (FILLED: filled from the
// centre, or from the curve of the sets below when stacked), once per output.
// Not in place yet: draws nothing.
void YYPolarCurveDraw(std::span<const float> y, int set, bool filled);

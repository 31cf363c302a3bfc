// Least bodies of the presentation-graphics drawing routines that are not in
// place yet (see charts_pending.h).
#include "charts/charts_pending.h"

void YYPolarCurveDraw(std::span<const float> /*y*/, int /*set*/, bool /*filled*/)
{
    // Polar sets are not drawn yet.
}

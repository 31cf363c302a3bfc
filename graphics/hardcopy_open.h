// Opening and closing a hardcopy plot (the whole protocol; see hardcopy_open.cpp).
#pragma once

#include <string_view>

// Ends an open plot and, unless FILE is "S" or "s" (closing only, which also
// runs a pending print command), opens a plot of the selected driver into
// FILE (absent or blank: the driver's default name) with the optional TITLE.
void YYHardcopyOpen(const std::string_view* file = nullptr, const std::string_view* title = nullptr);

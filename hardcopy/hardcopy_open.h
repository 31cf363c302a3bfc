// Opening and closing a hardcopy plot (the whole protocol; see
// hardcopy_open.cpp), and the hardcopy steps of the graphics start-up and
// shut-down.
#pragma once

#include <string_view>

// Ends an open plot and, unless FILE is "S" or "s" (closing only, which also
// runs a pending print command), opens a plot of the selected driver into
// FILE (absent or blank: the driver's default name) with the optional TITLE.
void YYHardcopyOpen(const std::string_view* file = nullptr, const std::string_view* title = nullptr);

// The hardcopy layer's steps of the graphics start-up and shut-down
// (installed in the graphics core by hardcopy/hardcopy_dispatch.cpp).
// Start-up, steps 7 to 9: the hardcopy closed; the current driver
// initialised, its options kept over the initialisation with option "P";
// the replay geometry reset.
void HardcopyGraphicsStartup(std::string_view options);
// Shut-down: an open plot ended (YYHardcopyOpen with "S").
void HardcopyClose();

// What the plot-file drivers (PostScript, SVG, and the other file drivers
// beside them) do alike: the device description a driver writes when it
// initialises, the opening of plot unit 2 at the begin of a plot, and the
// target extent their scale factors divide by. No Win32 here.
#pragma once

#include <string_view>

// One row of the device description that a hardcopy driver writes at its
// initialisation (DeviceOp 1).
struct HardcopyDeviceDescription {
    int driver = 0;                 // the driver number, written as the current driver
    std::string_view capability;    // the 29-character capability string
    std::string_view defaultName;   // default output file name
    int printCommandAllowed = 0;
    float largestCharacter = 0.0f;  // largest device character size (1.7E38: no limit)
    int characterSets = 0;          // 0 none, 7 seven-bit, 8 eight-bit
    int angles = 0;                 // text angle capability (360 any angle)
    int platform = 0;
    int trueColour = 0;
    int shadedPolygons = 0;         // shaded-polygon mode
    int deviceJustification = 0;    // the device places justified text itself
    int spacing = 0;                // the spacing word
    int lastCapability = 0;         // the device draws the text box itself
    int colours = 0;                // hardcopy colour count
    int palette = 0;                // hardcopy palette size
    int resolution = 0;             // dots per inch, x and y
};

// Writes DESCRIPTION into the hardcopy side of the capability string, the
// text capabilities, the capability words and the hardcopy state, and sets
// the default output name and the current driver number.
void HardcopyDescribe(const HardcopyDeviceDescription& description);

// Opens plot unit 2 on the output name with the last error code cleared.
// When the open fails, the hardcopy is closed (open flag 0), the open's error
// stays the last error and the result is false; otherwise the saved error
// code is put back and the result is true.
bool PlotFileBegin();

// The extent in device units of a target side of PIXELS pixels, the divisor
// of the drivers' scale factors: PIXELS - 1, at least 1.
double DriverExtent(int pixels);

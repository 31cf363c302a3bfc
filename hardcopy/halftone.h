// Half-tone fill patterns for devices that can only set or clear dots: the
// current drawing colour as up to three 32-bit dot patterns, one per colour
// component (red, green, blue), or one grey pattern on a two-colour device.
//
// A pattern word is a cell of 8 columns by 4 rows: bit (x mod 8) + 8 (y mod 4)
// belongs to device pixel (x, y), the low byte is row 0, and a set bit means
// the component is on at that pixel (for the grey pattern: the pixel is
// white). No Win32 here.
#pragma once

#include <array>

struct HalftoneState {
    std::array<int, 4> byteMasks{};         // the four row bytes of a word, set at each call
    std::array<int, 3> patterns{};          // the last results, kept between calls
    std::array<int, 256> overrideDefined{}; // per colour number: 0 or more defined, -1 not
    std::array<int, 256> overridePattern{}; // per colour number: the pattern used when defined
};
extern HalftoneState gHalftoneState;

// Marks every per-colour override undefined (the HP-GL/2 driver and the raster
// engine do so when they initialise).
void HalftoneOverridesClear();

// The colour and device facts the patterns are made from.
struct HalftoneColour {
    int red = 0, green = 0, blue = 0; // the current colour, 0..255 each
    int colourNumber = -1;            // its colour number in the numbered model, else -1
    int deviceColours = 0;            // hardcopy colour count; 2 = a two-colour device
    int colourSwap = 0;               // hardcopy option 6: 0 none, 1 all, 2 near black and white
};

// The patterns for COLOUR. COLOURKIND 2 asks for the complement (ink colours)
// on a device of more than two colours. Stores the results in
// gHalftoneState.patterns too.
void HalftonePatternsFor(int colourKind, const HalftoneColour& colour, int& pattern1, int& pattern2,
                         int& pattern3);

// The patterns for the current colour of the drawing state, with the hardcopy
// colour count and option 6 of the hardcopy state.
void YYHalftonePatterns(int colourKind, int& pattern1, int& pattern2, int& pattern3);

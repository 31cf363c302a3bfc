// The SVG driver XXSVG (hardcopy driver 3): the whole plot becomes one SVG
// picture on plot unit 2, one element per line. Lines and outlines sit in
// groups by stroke style, filled shapes in groups by fill colour nested in
// the current stroke group, text in groups by font; clipping to the graphics
// area becomes a clip path that the fills use. Device point (X, Y) becomes
// (X x scale x, (H1 - Y) x scale y), H1 the target height less one: y grows
// downwards. Every group the driver opens is closed again, so the file is
// well-formed whatever order the operations come in. No Win32 here.
#pragma once

#include <array>
#include <span>
#include <string>

struct SvgState {
    float scaleX = 1.0f, scaleY = 1.0f; // SVG user units per device unit (op 18)
    // The open stroke group: red, green, blue, width, line style, join, cap.
    std::array<int, 7> group{-1, -1, -1, -1, -1, -1, -1};
    bool groupOpen = false;
    std::array<char, 6> strokeHex{'0', '0', '0', '0', '0', '0'}; // its colour; text groups fill with it
    bool fillGroupOpen = false;  // a fill group inside the stroke group
    bool textGroupOpen = false;  // a text group inside the stroke group
    bool clipActive = false;
    int clipCounter = 0;         // number of the last clip path written
    std::string line;            // the element being built
};
extern SvgState gSvgState;

// VALUE in (F8.2) without leading blanks, a value beyond the field brought to
// its limit; a whole number loses ".00" ("480"), else one trailing zero goes
// ("12.5"). TEXT gets the characters, blank-padded; FIRST and LAST their
// positions from 1 (0 and 0 when TEXT is empty).
void YYSvgNumber(float value, std::span<char> text, int& first, int& last);
// The same characters appended to OUT.
void AppendSvgNumber(std::string& out, double value);
// The path of an arc (op 34) or a sector (op 13).
void YYSvgArc(int op);

// Driver 3's entry.
void XXSVG(int op);

// The PostScript driver XXPS (hardcopy driver 2): every DeviceOp becomes
// lines of a PostScript document on plot unit 2, a print file of pages or,
// with option 22, an encapsulated picture. Lines and polylines gather into
// one open path, stroked only when a colour or attribute change, a filled
// shape, the path limit (option 16) or the end of the page forces it; a
// colour is written only just before the path, shape or text that uses it.
//
// Device units become points through the hardcopy scale (points per device
// unit, set at begin plot). Every number is written in its fixed field and
// kept inside it: a value beyond the field is brought to the field's limit,
// never written as asterisks. No Win32 here.
#pragma once

#include <array>
#include <string>
#include <string_view>

struct PostScriptDriverState {
    std::array<float, 3> pending{};  // colour (0..1) of the path being gathered
    std::array<float, 3> written{};  // colour last written with "g"; -1 at begin plot
    int segments = 0;                // segments of the open path; 0 none
    int writtenWidth = 0;            // option 9 last written (0 at begin plot)
    int writtenStyle = 0;            // line style last written (0 at begin plot)
    int fontPending = -1;            // odd: the font line goes before the next text
    int page = 1;
    int colourValue = -1;            // colour of the last op 3: number, packed RGB, -1 black
    int linePrefix = 2;              // 1: every line begins with one blank (option 17)
    std::string line;                // the line being built
};
extern PostScriptDriverState gPostScriptDriverState;

// Writes the first N characters of TEXT (at most 255) as one line on plot
// unit 2, after one blank when the line-prefix flag is 1.
void YYPSWriteLine(std::string_view text, int n);
// As YYPSWriteLine after squeezing: leading blanks dropped, every run of
// blanks inside the text one blank.
void YYPSWriteSqueezed(std::string_view text, int n);
// The open path: MODE 1 strokes it, 2 fills it, 3 only brings the written
// colour up to date (also with no path open).
void YYPSFlushPath(int mode);
// COLOUR (a colour in the current model, -1 black) as three components in
// 0..1, after the colour swap of option 6.
std::array<float, 3> YYPSColourUnits(int colour);
// The sector of op 13 and the arc of op 34.
void YYPSArc(int op);

// Driver 2's entry.
void XXPS(int op);

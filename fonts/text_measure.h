// Text length and the stroke decision: the small services
// that text drawing is built on. YYTextLength measures a text in character
// widths (the device's own measure when it draws the text itself, else the
// character count or the stroke width table); YYNeedStrokeFont decides for
// one device whether its own text can serve. (The pen, YYPenMoveTo and
// YYPenMoveRel, is the graphics core's: graphics/lines.h.)
#pragma once

#include <string_view>

// Length of TEXT (every character counts, trailing blanks too) in character
// widths. OVERRIDE absent or 0 lets the device measure (DeviceOp 25, in
// pieces of at most 260 characters whose widths are added): the screen side
// while screen output is on, else the hardcopy; any other value forces the
// character count (fixed pitch) or the width-table sum. The width is counted
// in the cell of the x text scale, the cell YYCharCell reports. While screen
// output is on and a hardcopy is open, the hardcopy is asked too and the
// longer of the two lengths counts (the hardcopy's in that same cell), so
// that a layout made once with this measure holds the text on both outputs.
float YYTextLength(std::string_view text, const int* override = nullptr);

// The measure of one output alone, DEVICE (kTextScreen or kTextHardcopy),
// for the pass of text drawing that serves it, in that output's own cell:
// the screen side's is the x text scale's; the hardcopy's is the nominal one
// (character width times the area's width), and the hardcopy is asked even
// while screen output is on, as every primitive's hardcopy pass runs with
// the screen output off.
float YYTextLengthOn(int device, std::string_view text, const int* override = nullptr);

// The stroke width of one character code in character widths, mapped as the
// width table is read: codes without an entry (0..31, 127, 129..160, and
// 161..255 with a seven-bit font) measure as the space, 128 as the extra
// glyph when the current stroke font has one.
float YYStrokeCharWidth(int code);

// NEED := -1 when text of WIDTH x HEIGHT device units must be drawn with
// strokes on DEVICE (0 screen side, 1 hardcopy), else 0.
void YYNeedStrokeFont(int device, float width, float height, int& need);


// Graphics text drawing: one line of text at a world position or at the pen,
// with the size, angle, justification, stacking, style and spacing of
// TextState, served to the screen side and then to an open hardcopy. For
// each device it decides between device text (DeviceOp 22) and stroke text
// (YYStrokeText with a built-in face), keeps device text inside the clip box
// by dropping characters at both ends, draws the background box and the
// underline where the device does not, and moves the pen.
#pragma once

#include <string_view>

// X, Y: world position (nullptr: that coordinate of the pen). TEXT: every
// character counts, trailing blanks too. A text longer than the 260-character
// device buffer reaches the device in pieces of at most 260 characters.
void YYTextDraw(const float* x, const float* y, std::string_view text);

// The background box of a text at device point (X, Y) (the text position:
// left end of the first character's centre line, or the top centre of a
// stacked column), with the advance and height vectors of the current call,
// filled solid in the previous colour. OVERRIDE goes to YYTextLength;
// SCREEN and HARDCOPY select the outputs (0 off).
void YYTextBox(float x, float y, std::string_view text, int override, int screen, int hardcopy);

// Font selection of graphics text: the public WGrTextFont, the size setter
// YYCharSize with its second entry YYTextFontApply (which hands the font to
// the devices), the three stroke-face selectors, the proportional size
// limiter YYCharAspect and the angle setter YYTextAngle. They write
// TextState (graphics/text_state.h); the drivers read it at DeviceOps 21, 22
// and 33.
#pragma once

#include <string_view>

// Every argument optional (nullptr: absent, the setting stays).
// CODE: 1 built-in stroke font, 2 device font of the current family, 100
// named device font, 101..104 device font of family 1..4 (others: no change).
// STYLE: TextStyleBits. WIDTH, HEIGHT: fractions of the graphics area, taken
// when greater than 0. NAME: face of family 0 (up to 100 characters).
// SPACING: 0 the font's default, 1 fixed pitch, 2 proportional.
void WGrTextFont(const int* code = nullptr, const int* style = nullptr, const float* width = nullptr,
                 const float* height = nullptr, const std::string_view* name = nullptr,
                 const int* spacing = nullptr);

// Character size as fractions of the graphics area; a value not greater
// than 0 becomes the default (0.01333333, 0.03333333). Then YYTextFontApply.
// (fonts/char_size.cpp)
void YYCharSize(float width, float height);
// Derives the effective family and sends the font (DeviceOp 21) to an open
// hardcopy and, unless the built-in font is chosen, to the screen side; with
// screen output off it derives the text scales itself.
void YYTextFontApply();

// Install the bold or regular stroke face of their family by bit 0 of
// TextState.style and record that bit in TextState.installedBold.
void YYFontFixedSelect();
void YYFontSwissSelect();
void YYFontRomanSelect();

// Limits the character size keeping its proportions: WHICH 0 limits the
// width to VALUE, any other WHICH the height. A value not below the current
// dimension changes nothing.
void YYCharAspect(float value, int which);

// Text angle in degrees, kept in 0 <= angle < 360; the device angle adds the
// page rotation. Stores the cosines and the aspect-corrected sines and sends
// DeviceOp 33 to both sides.
void YYTextAngle(float angle);

// The text aspect factor K: width / height of the target in pixels (the
// inverse on a page turned by 90 or 270 degrees) times the area's device
// height / width times its width / height fraction. 1 while any of these is
// 0 or the product is not a finite non-zero number.
float YYTextAspectFactor();

// The text part of the drawing state: character size, slant, angle, font
// family and style, justification, stacking and spacing of graphics text, and
// per output device (0 screen side, 1 hardcopy) the text capabilities that
// each driver reports when it initialises. The record sits with the graphics
// core because the device drivers (screen, memory metafile, hardcopy) read it
// at every text operation; the text layer (fonts/) sets it.
#pragma once

#include <array>
#include <cstdint>

// Values of TextState.requestedFamily and TextState.family.
namespace TextFontFamily {
constexpr int kNamedDevice = 0; // the face in TextState.deviceFontName
constexpr int kFixed = 1;
constexpr int kSwiss = 2;
constexpr int kRoman = 3;
constexpr int kSymbol = 4;
} // namespace TextFontFamily

// Bits of TextState.style.
namespace TextStyleBits {
constexpr int kBold = 1;
constexpr int kItalic = 2;
constexpr int kUnderline = 4;
constexpr int kBox = 8;
constexpr int kDeviceFontBits = 7; // the bits whose change needs a new device font
} // namespace TextStyleBits

// Values of TextState.spacing.
namespace TextSpacing {
constexpr int kFixedPitch = 0; // every character one character width
constexpr int kWidthTable = 1; // advances from the stroke width table
constexpr int kDevice = 2;     // the device spaces the text itself
} // namespace TextSpacing

// Slant of italic stroke text, shear per unit of height.
constexpr float kItalicSlant = 0.4663f;
// Size limit of a device that draws text of any size.
constexpr float kNoTextSizeLimit = 1.7e38f;

// Per-device index of the capability fields.
constexpr int kTextScreen = 0;
constexpr int kTextHardcopy = 1;

struct TextState {
    char deviceFontName[100];   // face of the named device font (family 0), blank-padded
    float charWidth = 0.01333333f;  // fraction of the graphics area's width
    float charHeight = 0.03333333f; // fraction of the graphics area's height
    float slant = 0.0f;             // shear of stroke text per unit of height
    // Target extent / the device font's actual character size in device
    // units; written by the screen driver at the font operation. 1 until
    // then, so that nothing divides by zero before the first font.
    float textScaleX = 1.0f;
    float textScaleY = 1.0f;
    float deviceAngle = 0.0f;   // (angle + page rotation) modulo 360, degrees
    float deviceCos = 1.0f;
    float deviceSinK = 0.0f;    // sin(deviceAngle) x K, K the text aspect factor
    float deviceSinByK = 0.0f;  // sin(deviceAngle) / K
    float angle = 0.0f;         // requested text angle, 0 <= angle < 360
    float angleCos = 1.0f;
    float angleSinK = 0.0f;
    float angleSinByK = 0.0f;
    float advanceX = 0.0f;      // one character width along the baseline, device units
    float advanceY = 0.0f;
    float upY = 0.0f;           // character-height vector, device units (y first)
    float upX = 0.0f;
    std::array<float, 2> sizeLimit{};       // largest size the device draws as its own text
    std::array<int32_t, 2> deviceCharset{}; // 0 none, 7 seven-bit, 8 eight-bit
    int32_t builtInFont = 0;     // 1 while the built-in stroke font serves all text
    int32_t requestedFamily = TextFontFamily::kFixed;
    int32_t family = TextFontFamily::kFixed; // effective family 1..4
    int32_t style = 0;           // TextStyleBits
    int32_t stacking = 0;        // 1: characters stacked one under another
    int32_t justification = 1;   // 0 left, 1 centred, 2 right
    int32_t spacing = TextSpacing::kFixedPitch;
    int32_t installedBold = 0;   // bold bit of the stroke face last installed by a selector
    std::array<int32_t, 2> ratioCheck{1, 1};         // size tests of the stroke decision
    std::array<int32_t, 2> rotation{};               // 0 none, 1 up to 1 degree, 360 any
    std::array<int32_t, 2> deviceProportional{};     // the device spaces proportional text
    int32_t hardcopyTextBox = 0; // the hardcopy driver draws the text box itself
    int32_t hardcopySpacing = 0; // the spacing word of the hardcopy driver's description

    TextState();
};
extern TextState gTextState;

// Start-up values of the text state, set by the graphics start-up: angles 0,
// upright, the default size, fixed-pitch family, no style, the device font
// chosen, one line centred, fixed pitch, size tests on, no face name. The
// driver-reported fields, the text scales and the advance vectors keep their
// values.
void YYTextStateDefaults();

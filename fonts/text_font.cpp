// Font selection of graphics text (see text_font.h).
#include "fonts/text_font.h"

#include <algorithm>
#include <cmath>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"

namespace {

// A / B, or 0 when B is 0 or the quotient is not finite.
float Ratio(float a, float b)
{
    if (b == 0.0f)
        return 0.0f;
    const double q = static_cast<double>(a) / b;
    return std::isfinite(q) && std::fabs(q) < 3.0e38 ? static_cast<float>(q) : 0.0f;
}

// Entries of the face selectors' common body.
constexpr int kEntryFixed = 1;
constexpr int kEntryRoman = 2;
constexpr int kEntrySwiss = 3;

void FaceSelect(int entry)
{
    TextState& t = gTextState;
    const bool bold = (t.style & TextStyleBits::kBold) != 0;
    switch (entry) {
    case kEntryFixed: bold ? YYFontFixedBold() : YYFontFixed(); break;
    case kEntryRoman: bold ? YYFontRomanBold() : YYFontRoman(); break;
    case kEntrySwiss: bold ? YYFontSwissBold() : YYFontSwiss(); break;
    default: return;
    }
    t.installedBold = bold ? 1 : 0;
}

bool Positive(const float* v) { return v && std::isfinite(*v) && *v > 0.0f; }

} // namespace

void YYFontFixedSelect() { FaceSelect(kEntryFixed); }
void YYFontRomanSelect() { FaceSelect(kEntryRoman); }
void YYFontSwissSelect() { FaceSelect(kEntrySwiss); }

void WGrTextFont(const int* code, const int* style, const float* width, const float* height,
                 const std::string_view* name, const int* spacing)
{
    TextState& t = gTextState;
    const StrokeFont& font = gStrokeFont;
    bool changed = false;

    // 1. Font code.
    if (code) {
        switch (*code) {
        case 1:
            t.builtInFont = 1;
            t.spacing = font.proportionalFlag;
            break;
        case 2:
            t.builtInFont = 0;
            t.spacing = t.requestedFamily == TextFontFamily::kFixed ? TextSpacing::kFixedPitch
                                                                    : TextSpacing::kDevice;
            break;
        case 100:
        case 102:
        case 103:
        case 104:
            t.builtInFont = 0;
            t.requestedFamily = *code - 100;
            t.spacing = TextSpacing::kDevice;
            changed = true;
            break;
        case 101:
            t.builtInFont = 0;
            t.requestedFamily = TextFontFamily::kFixed;
            t.spacing = TextSpacing::kFixedPitch;
            changed = true;
            break;
        default:
            break;
        }
    }
    const int builtIn = t.builtInFont;

    // 2. Size: a value of 0 or less (or not a number) keeps the old one.
    if (width) {
        if (Positive(width))
            t.charWidth = *width;
        changed = true;
    }
    if (height) {
        if (Positive(height))
            t.charHeight = *height;
        changed = true;
    }

    // 3. Style: only the low three bits make a new device font.
    if (style) {
        if (((*style ^ t.style) & TextStyleBits::kDeviceFontBits) != 0 && builtIn == 0)
            changed = true;
        t.style = *style;
    }

    // 4. A filled stroke face follows the bold bit.
    if (builtIn == 1 && font.polylineFlag == 0 && (t.style & TextStyleBits::kBold) != t.installedBold) {
        const std::string_view face(font.name.data(), 5);
        if (face == "fixed")
            YYFontFixedSelect();
        else if (face == "swiss")
            YYFontSwissSelect();
        else if (face == "roman")
            YYFontRomanSelect();
    }

    // 5. Slant of the built-in font.
    if ((code || style) && t.builtInFont == 1)
        t.slant = (t.style & TextStyleBits::kItalic) ? kItalicSlant : 0.0f;

    // 6. Spacing.
    if (spacing) {
        const int old = t.spacing;
        switch (*spacing) {
        case 0:
            if (t.builtInFont == 1)
                t.spacing = font.proportionalFlag;
            else
                t.spacing = t.requestedFamily == TextFontFamily::kFixed ? TextSpacing::kFixedPitch
                                                                        : TextSpacing::kDevice;
            break;
        case 1:
            if (t.builtInFont == 1 || t.requestedFamily == TextFontFamily::kNamedDevice)
                t.spacing = TextSpacing::kFixedPitch;
            break;
        case 2:
            if (t.builtInFont == 1 || t.requestedFamily != TextFontFamily::kFixed)
                t.spacing = TextSpacing::kWidthTable;
            break;
        default:
            break;
        }
        if (t.spacing != old && t.builtInFont == 0)
            changed = true;
    }

    // 7. Face name of the named device font.
    if (name && t.requestedFamily == TextFontFamily::kNamedDevice) {
        PutText(std::span<char>(t.deviceFontName, sizeof t.deviceFontName), *name);
        changed = true;
    }

    // 8. A named device font needs a name; the stroke fallbacks still get a face.
    if (t.builtInFont == 0 && t.requestedFamily == TextFontFamily::kNamedDevice &&
        TrimRight(std::string_view(t.deviceFontName, sizeof t.deviceFontName)).empty()) {
        YYErrorReport(kErrorNoFontName, "WGrTextFont");
        t.family = t.spacing == TextSpacing::kFixedPitch ? TextFontFamily::kFixed : TextFontFamily::kSwiss;
    }

    // 9.
    if (changed)
        YYTextFontApply();
}

void YYTextFontApply()
{
    TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    t.family = t.requestedFamily;
    if (t.family == TextFontFamily::kNamedDevice)
        t.family = t.spacing == TextSpacing::kFixedPitch ? TextFontFamily::kFixed : TextFontFamily::kSwiss;
    YYHardcopyCallIfOpen(DeviceOp::kFont);
    if (g.screenOutput != 0) {
        if (t.builtInFont != 1)
            YYScreenDeviceCall(DeviceOp::kFont);
    } else {
        // An empty extent leaves scale 1 rather than dividing by zero.
        const float sx = Ratio(g.orientedLimit[0], t.charWidth * g.orientedAreaSize[0]);
        const float sy = Ratio(g.orientedLimit[1], t.charHeight * g.orientedAreaSize[1]);
        t.textScaleX = sx > 0.0f ? sx : 1.0f;
        t.textScaleY = sy > 0.0f ? sy : 1.0f;
    }
}

void YYCharAspect(float value, int which)
{
    const TextState& t = gTextState;
    if (which == 0) {
        if (value < t.charWidth)
            YYCharSize(value, Ratio(value * t.charHeight, t.charWidth));
    } else {
        if (value < t.charHeight)
            YYCharSize(Ratio(value * t.charWidth, t.charHeight), value);
    }
}

float YYTextAspectFactor()
{
    const GraphicsState& g = gGraphicsState;
    const bool turned = (g.pageRotation % 180) != 0;
    const float tw = static_cast<float>(g.targetWidth), th = static_cast<float>(g.targetHeight);
    const float v = turned ? Ratio(th, tw) : Ratio(tw, th);
    const float aw = g.orientedAreaSize[0], ah = g.orientedAreaSize[1];
    const float fw = g.areaFractionSize[0], fh = g.areaFractionSize[1];
    if (v == 0.0f || aw == 0.0f || ah == 0.0f || fw == 0.0f || fh == 0.0f)
        return 1.0f;
    const double k = static_cast<double>(v) * (static_cast<double>(ah) / aw) * (static_cast<double>(fw) / fh);
    return std::isfinite(k) && k != 0.0 && std::fabs(k) < 1.0e30 && std::fabs(k) > 1.0e-30
               ? static_cast<float>(k)
               : 1.0f;
}

void YYTextAngle(float angle)
{
    TextState& t = gTextState;
    // k := trunc(|A|) div 360 + 1 brings A + 360 k above 0; a NaN or infinite
    // angle counts as 0.
    const double A = std::isfinite(angle) ? angle : 0.0;
    const double k = std::floor(std::trunc(std::fabs(A)) / 360.0) + 1.0;
    double a = std::fmod(A + 360.0 * k, 360.0);
    float af = static_cast<float>(a);
    if (!(af >= 0.0f && af < 360.0f)) // a tiny negative angle rounds up to 360
        af = 0.0f;
    t.angle = af;
    float df = static_cast<float>(std::fmod(static_cast<double>(af) + gGraphicsState.pageRotation, 360.0));
    if (!(df >= 0.0f && df < 360.0f))
        df = 0.0f;
    t.deviceAngle = df;
    const double ar = af * kDegreesToRadians;
    const double dr = df * kDegreesToRadians;
    const double K = YYTextAspectFactor();
    t.angleCos = static_cast<float>(std::cos(ar));
    t.deviceCos = static_cast<float>(std::cos(dr));
    t.angleSinK = static_cast<float>(K * std::sin(ar));
    t.angleSinByK = static_cast<float>(std::sin(ar) / K);
    t.deviceSinK = static_cast<float>(K * std::sin(dr));
    t.deviceSinByK = static_cast<float>(std::sin(dr) / K);
    YYScreenDeviceCall(DeviceOp::kTextAngle);
    YYHardcopyCallIfOpen(DeviceOp::kTextAngle);
}

namespace {

// The text steps of the graphics core: after an aspect change the angle and
// the font go to the devices again; the start-up applies the font, resets
// the character spacing and installs the standard stroke font.
void AspectChanged()
{
    YYTextAngle(gTextState.angle);
    YYTextFontApply();
}

void GraphicsStartup()
{
    YYTextFontApply();
    YYCHSPACE(0);
    YYFontStandard();
}

// Installed while the program starts (every text path sets its font here).
const bool gGraphicsTextStepsInstalled =
    (GraphicsTextStepsSet({.aspectChanged = AspectChanged, .startup = GraphicsStartup}), true);

} // namespace

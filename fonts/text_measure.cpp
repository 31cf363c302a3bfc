// Text length, stroke decision and pen position (see text_measure.h).
#include "fonts/text_measure.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "fonts/stroke_font.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"

namespace {

constexpr int kSpace = 32;
constexpr int kExtraGlyphEntry = 127 - 32;

// Asks the device for the width of TEXT in device units, piece by piece
// through the 260-character text buffer. False when a piece got no answer.
bool DeviceWidth(std::string_view text, double& width)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    width = 0.0;
    size_t done = 0;
    do {
        const size_t m = std::min(text.size() - done, static_cast<size_t>(kDeviceTextLength));
        auto& buffer = gDeviceTextBuffer.text;
        std::memcpy(buffer.data(), text.data() + done, m);
        std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(m), buffer.end(), ' ');
        b.N = 0;
        b.M = static_cast<int32_t>(m);
        if (gGraphicsState.screenOutput != 0)
            YYScreenDeviceCall(DeviceOp::kTextWidth);
        else
            YYHardcopyCallIfOpen(DeviceOp::kTextWidth);
        if (b.N == 0 || !std::isfinite(b.X[0]))
            return false;
        width += b.X[0];
        done += m;
    } while (done < text.size());
    return true;
}

} // namespace

float YYStrokeCharWidth(int code)
{
    const StrokeWidthTable& w = gStrokeWidthTable;
    const StrokeFont& f = gStrokeFont;
    if (code >= 33 && code <= 126)
        return w.low[static_cast<size_t>(code - 32)];
    if (code == 128 && f.extraGlyphFlag == 1)
        return w.low[kExtraGlyphEntry];
    if (code >= 161 && code <= 255 && f.charsetBits != 7)
        return w.high[static_cast<size_t>(code - 161)];
    return w.low[kSpace - 32];
}

float YYTextLength(std::string_view text, const int* override)
{
    const TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    const size_t n = text.size();
    if (n == 0)
        return 0.0f;
    if (t.spacing != TextSpacing::kWidthTable && t.builtInFont == 0 && (!override || *override == 0)) {
        double width = 0.0;
        const float extent = g.orientedLimit[0];
        if (DeviceWidth(text, width) && extent > 0.0f) {
            const double r = width * t.textScaleX / extent;
            if (std::isfinite(r) && std::fabs(r) < 3.0e38)
                return static_cast<float>(r);
        }
    }
    if (t.spacing == TextSpacing::kFixedPitch)
        return static_cast<float>(n);
    double sum = 0.0;
    for (char c : text)
        sum += YYStrokeCharWidth(static_cast<unsigned char>(c));
    return static_cast<float>(sum);
}

float YYTextLengthOn(int device, std::string_view text, const int* override)
{
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    if (device != kTextHardcopy || g.screenOutput == 0)
        return YYTextLength(text, override);
    const int screenOutput = g.screenOutput;
    const float scale = t.textScaleX;
    const double nominal = static_cast<double>(t.charWidth) * g.orientedAreaSize[0];
    const double hardcopyScale = nominal > 0.0 ? g.orientedLimit[0] / nominal : 0.0;
    g.screenOutput = 0;
    t.textScaleX = std::isfinite(hardcopyScale) && hardcopyScale > 0.0 && hardcopyScale < 3.0e38
                       ? static_cast<float>(hardcopyScale)
                       : 1.0f;
    const float length = YYTextLength(text, override);
    g.screenOutput = screenOutput;
    t.textScaleX = scale;
    return length;
}

void YYNeedStrokeFont(int device, float width, float height, int& need)
{
    const TextState& t = gTextState;
    const GraphicsState& g = gGraphicsState;
    const size_t d = device == kTextHardcopy ? 1 : 0;
    double w = width, h = height, ratio = 1.0;
    if (d == 1) {
        // Into the hardcopy's own measure; its size ratio never faults.
        w *= g.orientedPlotScale[0];
        h *= g.orientedPlotScale[1];
    } else {
        ratio = static_cast<double>(t.textScaleX) * t.charWidth * g.areaFractionSize[0];
    }
    const bool ratioFault = t.ratioCheck[d] != 0 && (ratio < 0.8 || ratio > 1.3);

    bool font = false;
    bool fault = ratioFault;
    if (t.deviceCharset[d] == 0) {
        font = true;
    } else if (t.spacing != TextSpacing::kFixedPitch) {
        font = gDeviceCapabilityString[d][26] == '0';
    } else {
        // Fixed pitch: the size test, with which alone the ratio fault counts.
        if (t.sizeLimit[d] >= 0.0f)
            font = t.ratioCheck[d] != 0 && w > t.sizeLimit[d] && h > t.sizeLimit[d];
        fault = ratioFault && font;
    }

    bool turn = false;
    if (t.rotation[d] == 0)
        turn = true;
    else if (t.rotation[d] == 1)
        turn = std::fabs(t.deviceAngle) > 1.0f;

    need = (font || fault || turn) ? -1 : 0;
}

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

// Asks SIDE for the width of TEXT in device units, piece by piece through
// the 260-character text buffer. False when a piece got no answer.
bool DeviceWidth(int side, std::string_view text, double& width)
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
        if (side == kScreenSide)
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

// Whether a length of the current text asks a device.
bool DeviceMeasures(const int* override)
{
    const TextState& t = gTextState;
    return t.spacing != TextSpacing::kWidthTable && t.builtInFont == 0 && (!override || *override == 0);
}

// The length of TEXT as SIDE measures it, in character widths of a cell
// CELL device units wide; the count (fixed pitch) or the width-table sum
// when the side does not answer or is not to be asked.
float OwnLength(int side, std::string_view text, const int* override, double cell)
{
    const TextState& t = gTextState;
    const size_t n = text.size();
    if (n == 0)
        return 0.0f;
    if (DeviceMeasures(override)) {
        double width = 0.0;
        if (DeviceWidth(side, text, width) && cell > 0.0) {
            const double r = width / cell;
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

// The character cell of the side that YYTextLength asks first: the device
// font's (the x text scale's), and the nominal one of the hardcopy.
double ScaleCell()
{
    const TextState& t = gTextState;
    const double extent = gGraphicsState.orientedLimit[0];
    return extent > 0.0 && t.textScaleX != 0.0f ? extent / t.textScaleX : 0.0;
}
double NominalCell()
{
    return static_cast<double>(gTextState.charWidth) * gGraphicsState.orientedAreaSize[0];
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
    const GraphicsState& g = gGraphicsState;
    const bool screen = g.screenOutput != 0;
    const double cell = ScaleCell();
    float length = OwnLength(screen ? kScreenSide : kHardcopySide, text, override, cell);
    // A layout made once serves the screen and an open hardcopy: it takes
    // the longer of the two, in the screen's cell.
    if (screen && g.hardcopyOpen > 0 && DeviceMeasures(override) && cell > 0.0) {
        const double hardcopy = OwnLength(kHardcopySide, text, override, NominalCell()) * NominalCell() / cell;
        if (std::isfinite(hardcopy) && hardcopy > length && hardcopy < 3.0e38)
            length = static_cast<float>(hardcopy);
    }
    return length;
}

float YYTextLengthOn(int device, std::string_view text, const int* override)
{
    const GraphicsState& g = gGraphicsState;
    if (device == kTextHardcopy && g.screenOutput != 0)
        return OwnLength(kHardcopySide, text, override, NominalCell());
    if (device == kTextHardcopy || g.screenOutput == 0 || g.hardcopyOpen <= 0)
        return YYTextLength(text, override);
    return OwnLength(kScreenSide, text, override, ScaleCell());
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

// Widths of text in the standard faces of the PostScript and SVG drivers
// (see standard_faces.h).
#include "hardcopy/standard_faces.h"

#include <algorithm>
#include <cmath>

#include "graphics/device_ops.h"
#include "graphics/text_state.h"

bool StandardFaceTextWidth(int family, int style, std::string_view text, double& ems)
{
    ems = 0.0;
    if (family < TextFontFamily::kFixed || family > TextFontFamily::kRoman)
        return false;
    const StandardFaceWidths& face =
        kStandardFaceWidths[static_cast<size_t>((family - TextFontFamily::kFixed) * 4 + (style & 3))];
    long long thousandths = 0;
    for (char ch : text) {
        const int code = static_cast<unsigned char>(ch);
        if (code >= 32)
            thousandths += face[static_cast<size_t>(code - 32)];
    }
    ems = static_cast<double>(thousandths) / 1000.0;
    return true;
}

void StandardFaceTextWidthAnswer(double em)
{
    const TextState& t = gTextState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const size_t m = static_cast<size_t>(std::clamp(b.M, 0, kDeviceTextLength));
    double ems = 0.0;
    if (!StandardFaceTextWidth(t.family, t.style, std::string_view(gDeviceTextBuffer.text.data(), m), ems))
        return;
    const double width = ems * em;
    if (!std::isfinite(width))
        return;
    b.X[0] = static_cast<float>(std::clamp(width, 0.0, 1.0e30));
    b.N = 1;
}

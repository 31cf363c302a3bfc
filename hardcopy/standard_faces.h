// Advance widths of the standard text faces that the PostScript and SVG
// drivers name for the font families 1 to 3 (Courier, Helvetica or Arial,
// Times or Times New Roman), so that these drivers can answer the text-width
// operation with the width their text prints at. The table itself is
// generated (tools/standard_face_widths.py).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// One face: widths of the character codes 32 to 255 in thousandths of the em.
using StandardFaceWidths = std::array<std::uint16_t, 224>;

// The twelve faces: family 1, 2, 3 (fixed, swiss, roman), each plain, bold,
// italic and bold italic (style bits 1 and 2), in that order.
extern const std::array<StandardFaceWidths, 12> kStandardFaceWidths;

// The advance width of TEXT in ems in FAMILY (1 to 3) with the bold and
// italic bits of STYLE; codes below 32 (which these drivers do not show)
// measure 0. False for a family without a table (the symbol family), which
// the drivers then leave unmeasured.
bool StandardFaceTextWidth(int family, int style, std::string_view text, double& ems);

// The text-width operation (DeviceOp 25) of a driver that writes text in
// these faces with an em EM wide (the target's device units): X1 := the
// width of the first M characters of the text buffer, N := 1; nothing for a
// family without a table.
void StandardFaceTextWidthAnswer(double em);

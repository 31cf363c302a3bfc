// The command writers of the two HP-GL drivers (HP-GL/2, driver 12, and the
// HP-GL pen plotter, driver 1) and what else both drivers do alike.
//
// A command is composed as text, a two-letter mnemonic followed by its
// parameters in fixed-width fields, and squeezed before it is written:
// positions 1 and 2 stay; from position 3 every run of blanks becomes one
// blank before the next character, a run directly after position 2 and the
// blanks at the end are dropped. So "PU" with two (I6) fields 120 and 471 is
// written PU120 471. Each line goes to plot unit 2 with CR LF, after one
// blank byte when the line-prefix flag is 1 (option 17 set).
//
// A number wider than its field keeps all its digits and stays apart from
// the field before it; a number that fits gives the bytes of its field.
//
// Plot units: device x and y become trunc(x sx) and trunc(y sy) with the
// hardcopy scales sx = 32760 / W and sy = 32760 / H (W, H the page in device
// units), so the page is 0..32760 in both directions of the user scale
// "SC0 32760 0 32760". No Win32 here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct HpglCommandState {
    int linePrefix = 2; // 1: every line begins with one blank; 2: no prefix
};
extern HpglCommandState gHpglCommandState;

// The user scale the drivers draw in.
constexpr std::string_view kHpglScale = "SC0 32760 0 32760";
constexpr int kHpglScaleTop = 32760;

// ---- Composing --------------------------------------------------------------------

// TEXT squeezed as described above (at least its first two positions).
std::string HpglSqueeze(std::string_view text);
// Appends VALUE as (Iw) / (Fw.d); a value wider than WIDTH keeps all its
// digits after one separating blank. Values that are not numbers count as 0.
void HpglInt(std::string& out, int64_t value, int width);
void HpglFixed(std::string& out, double value, int width, int decimals);
// Appends the 7-bit polyline encoding of VALUE.
void HpglEncode(std::string& out, int64_t value);
// Plot units of a device x or y: trunc(x sx), trunc(y sy), saturated.
int32_t HpglUnitsX(double x);
int32_t HpglUnitsY(double y);

// ---- Writers -------------------------------------------------------------------------

// The squeezed COMMAND as one line.
void YYHpglCommandWrite(std::string_view command);
// The first N characters of TEXT (at most 50) squeezed, as one line.
void YYHpglTextWrite(std::string_view text);
// TEXT as one line, unsqueezed.
void YYHpglLineWrite(std::string_view text);
// "LB" and TEXT (which the caller ends with the label terminator) as one line.
void YYHpglLabelWrite(std::string_view text);
// MNEMONIC with the plot units of device (X, Y) as (2I6).
void YYHpglPointCommand(std::string_view mnemonic, double x, double y);
// "PE7" lines with points 2..N of DevicePointArrays as deltas of their plot
// units; the pen stands at point 1. A line ends before it would pass 247
// characters, or before a point whose encoding would pass 260 with the ";".
void YYHpglEncodedPolyline(int n);
// "PC" with PEN (I4) and RED, GREEN, BLUE (I3 each) after the colour swap of
// option 6.
void YYHpglPenColour(int pen, int red, int green, int blue);
// The 32 values of an 8 x 4 raster fill pattern, in two lines of 16: 1 where
// the bit of MASK is clear, the second line ending with ";".
void YYHpglFillPattern(uint32_t mask);
// Arc (op 34) or wedge (op 13, sector) of the DeviceParameterBlock in a user
// scale stretched to the page's aspect. PLOTTER: the pen-plotter form (no
// hatch comment, "PD" for "PD;").
void YYHpglArcCommand(int op, bool plotter);

// A comment for a later reader of the file: CO, a double quote, CODE,
// FIELDS (each already with its blank before it), a double quote and ";".
void HpglComment(int code, std::string_view fields);
// The four fill fields of a shape comment: fill mode, hatch density, hatch
// direction and outline flag, (I1) each.
std::string HpglFillFields();

// Two half-tone masks as one pattern in a checkerboard: pixel (row r,
// column k) from FIRST where r + k is even, from SECOND where it is odd.
uint32_t HpglCheckerboard(uint32_t first, uint32_t second);

// ---- What both drivers do alike ------------------------------------------------------

// The code a filled shape carries in comments and records: ellipse 5,
// quadrilateral 8, rectangle 6, triangle 7, sector 4, polygon 11.
int HpglShapeCode(int op);

// The ellipse of the DeviceParameterBlock (centre X1, Y1, radius X2, height
// ratio X3): PU to the centre, then NOTE (the caller's comment or record),
// the user scale stretched by the height ratio, "CI" with the radius (in
// polygon mode and filled when FILL), the pen at the centre, and the plain
// user scale again.
void HpglEllipse(bool fill, void (*note)());

// The scaling corners P1, P2 of the page in plotter units.
struct HpglPage {
    int64_t p1x = 0, p1y = 0, p2x = 0, p2y = 0;
};
// Corners from options 3 and 4 (offsets) and 1 and 2 (page size) in points
// at UNITSPERPOINT plotter units per point.
HpglPage HpglCorners(double unitsPerPoint);
// sx := 32760 / W, sy := 32760 / H.
void HpglScaleFactors();
// The head of a plot: "IN; IP" and "RO90; IP" (ROTATE false: "RO0; IP") with
// the corners, "DT" with TERMINATOR, "DI1. 0.".
void HpglPlotHead(const HpglPage& page, bool rotate, char terminator);
// "SC", "IW" with the graphics area in plotter units at UNITSPERPOINT
// (within P2), then the user scale again.
void HpglInputWindow(const HpglPage& page, double unitsPerPoint);
// The remembered pen position := (X, Y).
void HpglPenAt(double x, double y);
// The pen to (X, Y) lifted, unless the remembered pen position is there.
void HpglMoveTo(double x, double y);
// Op 2: PU to (X1, Y1) unless there, PD to (X2, Y2). Op 26: the same with
// (X1, Y1) as both ends.
void HpglLine();
void HpglPoint();
// "LT" with PATTERN ("" solid).
void HpglLineType(std::string_view pattern);
// "DI" with the device text direction.
void HpglTextDirection();
// "PW" with WIDTH (millimetres) between LO and HI as (F5.3).
void HpglPenWidth(double width, double lo, double hi);

// The user scale stretched so that a circle of the device comes out as the
// shape of the page: k = trunc(32760 a / (b r h)) (page turned by 90 or 270
// degrees: trunc(32760 a r h / b)), a and b the graphics area's width and
// height as fractions of the target, r the page aspect, h HEIGHTRATIO. Above
// 32760 the x range becomes 32760^2 div k, else the y range k; the scale is
// written. Gives the factors of the radius and of the centre x and y in the
// stretched scale.
struct HpglStretch {
    double radius = 1.0, centreX = 1.0, centreY = 1.0;
};
HpglStretch HpglStretchedScale(double heightRatio);

// The point a label starts at: the text's start (or, by JUSTIFICATION, its
// middle or end) moved by Q character widths along and P heights down.
void HpglTextPoint(double p, double q, int justification, double& x, double& y);
// "SR" width and height in percent of the page for character cells with
// factors T1, T2 and cell factor F.
void HpglRelativeSize(double t1, double t2, double cellFactor);
// The bytes of the DeviceTextBuffer's text of op 22 (IX1 of them, at most
// 260), the label TERMINATOR inside it made a blank.
std::string HpglLabelText(char terminator);
// A plot title as the text of a "CO:" comment: control codes made blanks,
// ";" left out.
std::string HpglTitleText(std::string_view title);

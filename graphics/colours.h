// Colours of the graphics layer: the 256-entry ColourTable of packed RGB
// values (red + 256 x green + 65536 x blue) behind colour numbers 0..255, the
// display palettes derived from it, the mapping of a colour number to a
// device colour by the display's colour count, the nearest-colour search in
// the hue-saturation-value cone, and the public colour selection. Drivers
// receive colours only through GraphicsState and DeviceOp 3. No Win32 here.
#pragma once

#include <array>
#include <string_view>

struct ColourTable {
    std::array<int, 256> entries{};      // packed RGB per colour number
    std::array<float, 256> coneV{};      // V
    std::array<float, 256> coneX{};      // V.S.cos H
    std::array<float, 256> coneY{};      // V.S.sin H
    std::array<int, 8> eightColour{};    // by eight-colour code
    std::array<int, 16> palette16{};     // 16-entry display palette
    std::array<int, 128> palette128{};   // for displays of 32..128 colours
};
extern ColourTable gColourTable;

// Public selection.
void IGrColourN(int n);
void IGrColour(std::string_view name);
void IGrColourModelSet(int model);

// Sets the current colour from a saved triple. SIDE 1 screen only, 2
// hardcopy only, other values both.
void YYColourSetDirect(int number, int rgb, int device, int side);

void YYColourTableInit();
void YYColourTableSet(int n, int rgb);
void YYColourGet(int n, int& rgb);
void YYColour8Get(int code, int& rgb);
void YYPalette16Entry(int i, int& rgb);
void YYPalette128Entry(int i, int& rgb);
// Row ROW (0 or 1) of the eight-colour code table at K mod 8, plus 8 for
// K >= 8; -1 for K outside 0..15.
int YYColourCode16(int k, int row);
// The eight-colour code of colour number N.
int YYColourCode8(int n);

void YYColourNearest(int rgb, int& n);
int YYColourDevice(int n);
// Red, green and blue of a colour in the current model (a colour number
// through the table, else the value as packed RGB).
void YYColourSplit(int c, int& r, int& g, int& b);
void YYRgbSplit(int rgb, int* r, int* g, int* b);
// Hue in radians, saturation and value of a packed RGB colour.
void YYColourToHSV(int rgb, float& h, float& s, float& v);
// Colour name to a number 0..15 (bright colours 8..15), -1 when unknown.
int YYColourName(std::string_view name);

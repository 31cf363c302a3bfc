// ColourTable, display palettes, device colours, nearest colour and the
// public colour selection.
#include "graphics/colours.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"

ColourTable gColourTable;

namespace {


int Pack(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// Eight-colour code of a colour-name code k (0..7) by table row.
constexpr std::array<std::array<int, 8>, 2> kCodeRows = {{
    {0, 4, 6, 2, 3, 1, 5, 7},
    {0, 5, 3, 4, 1, 6, 2, 7},
}};

// Table entries of the eight-colour row and of the 16-entry display palette.
constexpr std::array<int, 8> kEightEntries = {0, 159, 95, 127, 31, 191, 63, 223};
constexpr std::array<int, 16> kPalette16Entries = {0,   175, 111, 143, 47,  207, 79,  239,
                                                   240, 159, 95,  127, 31,  191, 63,  223};

// The display colour count D that the palettes and device colours follow.
int DisplayColours()
{
    if (gGraphicsState.displayColours != 0)
        return gGraphicsState.displayColours;
    return gLibraryState.paletteSize;
}

void ConeOf(int n)
{
    float h = 0, s = 0, v = 0;
    YYColourToHSV(gColourTable.entries[n], h, s, v);
    gColourTable.coneV[n] = v;
    gColourTable.coneX[n] = v * s * std::cos(h);
    gColourTable.coneY[n] = v * s * std::sin(h);
}

// Makes the triple current (the current one becomes previous) and sends
// DeviceOp 3 to the sides asked for.
void ColourMakeCurrent(int number, int rgb, int device, bool screen, bool hardcopy)
{
    GraphicsState& g = gGraphicsState;
    g.previousNumber = g.currentNumber;
    g.previousRgb = g.currentRgb;
    g.previousDevice = g.currentDevice;
    g.currentNumber = number;
    g.currentRgb = rgb;
    g.currentDevice = device;
    if (screen)
        YYScreenDeviceCall(DeviceOp::kColour);
    if (hardcopy)
        YYHardcopyCallIfOpen(DeviceOp::kColour);
}

} // namespace

void YYRgbSplit(int rgb, int* r, int* g, int* b)
{
    unsigned u = static_cast<unsigned>(rgb);
    if (r)
        *r = static_cast<int>(u % 256);
    if (g)
        *g = static_cast<int>((u / 256) % 256);
    if (b)
        *b = static_cast<int>((u / 65536) % 256);
}

void YYColourToHSV(int rgb, float& h, float& s, float& v)
{
    int ri, gi, bi;
    YYRgbSplit(rgb, &ri, &gi, &bi);
    int mx = std::max(ri, std::max(gi, bi));
    int mn = std::min(ri, std::min(gi, bi));
    v = static_cast<float>(mx) / 255.0f;
    if (mx == mn) {
        s = 0.0f;
        h = 0.0f;
        return;
    }
    float r = static_cast<float>(ri) / 255.0f;
    float g = static_cast<float>(gi) / 255.0f;
    float b = static_cast<float>(bi) / 255.0f;
    float mnf = static_cast<float>(mn) / 255.0f;
    float d = v - mnf; // > 0: max and min differ by at least 1/255
    s = d / v;         // v > 0 since max > min >= 0
    float R = (v - r) / d;
    float G = (v - g) / d;
    float B = (v - b) / d;
    // Components within 0.039 of the maximum or minimum count as equal to it.
    auto isMax = [&](float c) { return std::fabs(v - c) < 0.039f; };
    auto isMin = [&](float c) { return std::fabs(c - mnf) < 0.039f; };
    float sector;
    if (isMax(r))
        sector = isMin(g) ? 5.0f + B : 1.0f - G;
    else if (!isMax(g))
        sector = isMin(r) ? 3.0f + G : 5.0f - R;
    else
        sector = isMin(b) ? 1.0f + R : 3.0f - B;
    h = sector * 60.0f * kDegreesToRadiansFloat;
}

void YYColourTableInit()
{
    ColourTable& t = gColourTable;
    for (int block = 0; block < 16; ++block) {
        for (int i = 0; i < 16; ++i) {
            int r = 0, g = 0, b = 0;
            int hi = 195 + 4 * i;
            int lo = 131 + 4 * i;
            switch (block) {
            case 0: r = g = b = 255 - 4 * i; break;
            case 1: r = hi; break;
            case 2: r = lo; break;
            case 3: r = g = hi; break;
            case 4: r = g = lo; break;
            case 5: g = hi; break;
            case 6: g = lo; break;
            case 7: g = b = hi; break;
            case 8: g = b = lo; break;
            case 9: b = hi; break;
            case 10: b = lo; break;
            case 11: r = b = hi; break;
            case 12: r = b = lo; break;
            case 13: r = g = b = 60 - 4 * i; break;
            case 14: r = g = b = 124 - 4 * i; break;
            default: r = g = b = 191 - 4 * i; break;
            }
            t.entries[16 * block + i] = Pack(r, g, b);
        }
    }
    for (int k = 0; k < 8; ++k)
        t.eightColour[k] = t.entries[kEightEntries[k]];
    for (int k = 0; k < 16; ++k)
        t.palette16[k] = t.entries[kPalette16Entries[k]];
    int D = DisplayColours();
    if (D >= 32 && D <= 128) {
        int step = 256 / D;
        for (int w = 0; w < D; ++w) {
            int index = step * w;
            if (index >= 16 && index <= 239)
                index += step - 1;
            t.palette128[w] = t.entries[index];
        }
    }
    for (int n = 0; n < 256; ++n)
        ConeOf(n);
}

int YYColourCode8(int n)
{
    int k = ((n + 16) / 32) % 8;
    if (k < 0)
        k += 8;
    return kCodeRows[0][k];
}

int YYColourCode16(int k, int row)
{
    if (k < 0 || k > 15)
        return -1;
    int r = (row == 1) ? 1 : 0;
    return kCodeRows[r][k % 8] + (k >= 8 ? 8 : 0);
}

void YYColourTableSet(int n, int rgb)
{
    if (n < 0 || n > 255)
        return;
    ColourTable& t = gColourTable;
    t.entries[n] = rgb;
    int code = YYColourCode8(n);
    t.eightColour[code] = rgb;
    t.palette16[code + (((n / 16) % 2 == 1) ? 8 : 0)] = rgb;
    int D = DisplayColours();
    if (D >= 32 && D <= 128)
        t.palette128[n * D / 256] = rgb;
    ConeOf(n);
}

void YYColourGet(int n, int& rgb)
{
    if (n >= 0 && n <= 255)
        rgb = gColourTable.entries[n];
}

void YYColour8Get(int code, int& rgb)
{
    if (code >= 0 && code <= 7)
        rgb = gColourTable.eightColour[code];
}

void YYPalette16Entry(int i, int& rgb)
{
    if (i >= 0 && i <= 15)
        rgb = gColourTable.palette16[i];
}

void YYPalette128Entry(int i, int& rgb)
{
    if (i >= 0 && i <= 127)
        rgb = gColourTable.palette128[i];
}

void YYColourNearest(int rgb, int& n)
{
    const ColourTable& t = gColourTable;
    for (int j = 0; j < 256; ++j) {
        if (t.entries[j] == rgb) {
            n = j;
            return;
        }
    }
    float h, s, v;
    YYColourToHSV(rgb, h, s, v);
    float x = v * s * std::cos(h);
    float y = v * s * std::sin(h);
    float best = 9999999.0f;
    int bestIndex = 0;
    for (int j = 0; j < 256; ++j) {
        float dx = x - t.coneX[j];
        float dy = y - t.coneY[j];
        float dv = v - t.coneV[j];
        float dist = dx * dx + dy * dy + dv * dv;
        if (dist < best) {
            best = dist;
            bestIndex = j;
        }
    }
    n = bestIndex;
}

int YYColourDevice(int n)
{
    if (n == -1)
        return -1;
    if (n == 0)
        return 0;
    int D = DisplayColours();
    switch (D) {
    case 1:
    case 2: return 1;
    case 4:
    case 8: return YYColourCode8(n);
    case 16: return YYColourCode8(n) + (((n + 16) % 32) < 16 ? 8 : 0);
    case 32:
    case 64:
    case 128: return n * D / 256;
    case 256: return n;
    default: return 0;
    }
}

void YYColourSplit(int c, int& r, int& g, int& b)
{
    int rgb = c;
    if (gGraphicsState.colourModel != kColourModelRgb && c >= 0 && c <= 255)
        rgb = gColourTable.entries[c];
    YYRgbSplit(rgb, &r, &g, &b);
}

void IGrColourN(int n)
{
    GraphicsState& g = gGraphicsState;
    int number, rgb;
    if (g.colourModel != kColourModelRgb) {
        if (n < 0 || n > 255) {
            YYErrorReport(kErrorUnknownColour, "IGrColourN");
            return;
        }
        number = n;
        rgb = gColourTable.entries[n];
    } else {
        rgb = n;
        bool screenNeedsIndex = g.screenOutput != 0 && gDeviceCapabilityWords.trueColour[kScreenSide] == 0;
        bool hardcopyNeedsIndex = g.hardcopyOpen > 0 && gDeviceCapabilityWords.trueColour[kHardcopySide] == 0;
        number = -1;
        if (screenNeedsIndex || hardcopyNeedsIndex)
            YYColourNearest(rgb, number);
    }
    ColourMakeCurrent(number, rgb, YYColourDevice(number), true, true);
}

void YYColourSetDirect(int number, int rgb, int device, int side)
{
    ColourMakeCurrent(number, rgb, device, side != 2, side != 1);
}

void IGrColourModelSet(int model)
{
    GraphicsState& g = gGraphicsState;
    if (model == 24) {
        g.colourModel = kColourModelRgb;
        return;
    }
    g.colourModel = kColourModelNumbers;
    if (g.previousNumber == -1)
        YYColourNearest(g.previousRgb, g.previousNumber);
    if (g.currentNumber == -1)
        YYColourNearest(g.currentRgb, g.currentNumber);
}

int YYColourName(std::string_view name)
{
    // The token from its first to its last non-blank character, at most four
    // characters, upper case.
    size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return -1;
    size_t last = name.find_last_not_of(' ');
    std::string tok(name.substr(first, std::min<size_t>(last - first + 1, 4)));
    for (char& c : tok)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    tok.resize(4, ' ');
    int add = 0;
    size_t pos = 0;
    if (tok[0] == 'B' && tok[1] != 'L') {
        pos = 1;
        add = 8;
    }
    std::string_view rest(tok.data() + pos, 3);
    if (rest == "BLA")
        return 0 + add;
    if (rest == "BLU")
        return 1 + add;
    static constexpr std::string_view kLetters = "GCRMYW";
    size_t k = kLetters.find(rest[0]);
    if (rest[0] == ' ' || k == std::string_view::npos)
        return -1;
    return static_cast<int>(k) + 2 + add;
}

void IGrColour(std::string_view name)
{
    int c = YYColourName(name);
    if (c == -1) {
        YYErrorReport(kErrorUnknownColour, "IGrColour");
        return;
    }
    c %= 8;
    if (gGraphicsState.colourModel != kColourModelRgb) {
        if (c == 0)
            c = 7;
        else if (c == 7)
            c = 0;
        IGrColourN(kEightEntries[c]);
    } else {
        static constexpr std::array<int, 8> kRgb = {
            0x000000, 0xFF0000 /*blue*/, 0x00FF00, 0xFFFF00 /*cyan*/,
            0x0000FF /*red*/, 0xFF00FF, 0x00FFFF /*yellow*/, 0xFFFFFF};
        IGrColourN(kRgb[c]);
    }
}

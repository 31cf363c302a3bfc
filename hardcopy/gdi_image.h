// Image drawing and saving with GDI: a BMP, PCX or PNG file (decoded by the
// library's one image decoder, hardcopy/image_reader.h), or the bitmap on the
// clipboard, drawn into the screen, printer or metafile drawing context,
// stretched into a box and turned by 0, 90, 180 or 270 degrees; and a
// rectangle of the screen drawing context saved to the clipboard or as a
// BMP, PCX or PNG file.
//
// Result codes: 0 success; 1 the file cannot be opened or created; 2 read or
// write error; 27 "Image file format not supported"; 1044 zlib failure (its
// status as the operating-system code); 1066 the picture could not be drawn;
// 1072 the rectangle could not be copied; 1094 the clipboard cannot be
// opened; 1095 no bitmap on the clipboard.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

// Image source kinds.
constexpr int kImageSourceClipboard = 0; // also the save kind "clipboard"
// Targets of ImageDrawToTarget.
constexpr int kImageTargetScreen = 0;
constexpr int kImageTargetPrinter = 10;
constexpr int kImageTargetMetafile = 11;

// Draws the picture of SOURCEKIND (0 clipboard bitmap, 1 BMP, 2 PCX, 15 PNG
// file FILENAME) into TARGET. STRETCH 0 draws it at (X1, Y1) in its own
// size, else into the box of X2 - X1 + 1 by Y2 - Y1 + 1 pixels, with
// STRETCHMODE 1 black-on-white, 2 white-on-black, 3 colour-on-colour or 4
// half-tone (0 leaves the mode alone). ROTATION 90, 180 or 270 turns it: on
// the NT family about (DX, DY), where the world transform of the turn maps
// the box; elsewhere into the box at (X1, Y1). Other values and the
// clipboard bitmap are not turned.
// RESULT := the result code, OSERROR := the Windows or zlib code behind it.
// Nothing is drawn on failure; any other source kind draws nothing and gives
// 27.
void ImageDrawToTarget(int sourceKind, int target, int x1, int y1, int x2, int y2, int stretch,
                       int stretchMode, int rotation, int dx, int dy, int& result, int& osError,
                       std::string_view fileName);

// Saves the rectangle X1, Y1, X2, Y2 (inclusive, pixels) of the screen
// drawing context: KIND 0 to the clipboard, 1 as a BMP file, 2 as a PCX file,
// 15 as a PNG file FILENAME; other kinds give 27.
void ImageSaveRectangle(int kind, int x1, int y1, int x2, int y2, int& result, int& osError,
                        std::string_view fileName);

// The drawing context and clip region of target 11, set by the metafile
// driver while it records (nullptr: none).
void ImageMetafileTargetSet(HDC dc, HRGN clip);

// Where an image goes for a graphics area of integer corners (IX1, IY1) to
// (IX2, IY2), y up, on a surface HEIGHT pixels high under page ROTATION: the
// box in y-down pixels (the x and y pairs exchanged for 90 and 270 on the NT
// family) and the origin of the turn.
struct ImageBox {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int dx = 0, dy = 0;
};
ImageBox ImageBoxForArea(int ix1, int iy1, int ix2, int iy2, int height, int rotation);

// DeviceOp 38 of the screen driver (installed as its image hook): the file named in the DeviceTextBuffer,
// source kind IX1, stretch flag IY1 and stretch mode IY3, drawn into the
// graphics area under the page rotation; M := the result, N := the
// operating-system code.
void ImageDrawForScreen();

// Turns a picture of W x H packed RGB values (top row first) by ROTATION
// (90, 180 or 270) the way the platforms without world transforms draw it;
// W and H become the turned picture's size.
void ImagePixelsRotate(int rotation, int& w, int& h, std::vector<int>& pixels);

// Encoders of the screen-rectangle saves: a picture as a BMP, PCX or PNG
// file image in memory, the PCX run writer, the colour-table size of a DIB
// header, and the writing of a file image to disk. No Win32 here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// A picture to encode: WIDTH x HEIGHT values, top row first, each a colour
// index into PALETTE (INDEXED) or a packed RGB value (red + 256 x green +
// 65536 x blue).
struct PictureData {
    int width = 0;
    int height = 0;
    bool indexed = false;
    std::vector<int> values;
    std::vector<int> palette; // packed RGB, at most 256 entries
};

// Appends one PCX run of COUNT (1..63) bytes VALUE: a single byte below 192
// as itself, anything else as 192 + COUNT followed by VALUE.
void PcxWriteRun(int value, int count, std::vector<std::uint8_t>& out);

// A PCX file: version 5, run-length encoded, 8 bits per pixel, 75 x 75 dpi,
// one plane of indices followed by marker 12 and the 256-colour table, or
// (RGB pictures) three planes red, green, blue; lines of an even number of
// bytes.
std::vector<std::uint8_t> PcxEncode(const PictureData& picture);

// A PNG file: colour type 3 (indexed, with PLTE; BITDEPTH 4 or 8) or 2 (RGB,
// depth 8), every row with filter type 0, the image data compressed by
// zlib's one-call compress. Returns 0, or 1044 with ZLIBSTATUS.
int PngEncode(const PictureData& picture, int bitDepth, std::vector<std::uint8_t>& out, int& zlibStatus);

// A BMP file of a bottom-up DIB: the "BM" file header, a 40-byte information
// header with BITCOUNT, the colour table (packed RGB, written blue, green,
// red, 0) and ROWS as they are (each row padded to a multiple of 4 bytes).
std::vector<std::uint8_t> BmpEncode(int width, int height, int bitCount, const std::vector<int>& colourTable,
                                    std::span<const std::uint8_t> rows);

// Size in bytes of the colour table behind a DIB header of HEADERSIZE bytes
// (12: 3 bytes an entry, else 4): COLOURSUSED entries when not 0, else 2, 16
// or 256 for 1, 4 or 8 bits per pixel, else none.
int DibPaletteBytes(int headerSize, int bitCount, int coloursUsed);

// Writes BYTES as the file NAME (trimmed; created anew). Returns 0, 1 when it
// cannot be created, 2 when the write falls short; OSERROR := the Windows
// error code then.
int ImageBytesWrite(std::string_view name, std::span<const std::uint8_t> bytes, int& osError);

// The image-file driver's writers: the page bitmap of the raster engine as a
// PCX, PNG or BMP file (uncompressed or run-length encoded) on plot unit 2,
// and the size patch of a finished run-length encoded BMP.
//
// Pixel values become file colours by depth: depth 1 value 1 is ink (black),
// 0 background (white); depth 4 values (1 red, 2 green, 4 blue, 8 intensity)
// become the colour indexes 8 x intensity + 4 x red + 2 x green + blue of the
// 16-entry display palette; depth 8 values are colour numbers of the colour
// table; depth 24 values are packed RGB. No Win32 here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// PNG image data are compressed at this zlib level and strategy.
constexpr int kPngCompressionLevel = 1;
constexpr int kPngCompressionStrategy = 3; // Z_RLE

// The largest side a PCX header holds and the largest PNG chunk.
constexpr std::int64_t kPcxMaxSide = 65535;
constexpr std::int64_t kPngMaxChunk = 2147483647;

// The file colour index of a depth-4 pixel value.
int ImageFileColourIndex(int value);

// Bytes of PNG image data (filter bytes included) of a WIDTH x HEIGHT page
// at DEPTH.
std::int64_t PngImageBytes(std::int64_t width, std::int64_t height, int depth);

// Write the current page to plot unit 2; each stops when the output abort
// flag is raised. A failed compression reports error 1044 under "WCompress"
// (zlib status as the second status) and raises the flag.
void YYWritePcx();
void YYWritePng();
// Run-length encoded when option 26 is 2 and the depth is 4 or 8.
void YYWriteBmp();

// Writes the file size and the image size into the header of the finished
// BMP file NAME (of the current depth); a short write is error 2 under
// "YYBMP2". Nothing when the file cannot be opened.
void YYBMP2(std::string_view name);

// The file of page PAGE of a plot written to NAME: NAME itself for page 1,
// else NAME with "-PAGE" before its extension.
std::string ImagePageFileName(std::string_view name, int page);

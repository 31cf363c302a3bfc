// The library's one image decoder: BMP, PCX and PNG files into packed RGB
// values (red + 256 x green + 65536 x blue), one int per pixel, row-major with
// the top row of the picture first.
//
// The decoder is a pure function of the file's bytes, so that the public
// reader IGrLoadImageData, the drivers' image operation and the GDI image
// drawing decode alike. There is no size limit of its own: the caller's array
// and the memory are the limit. Every read is bounded by the bytes at hand,
// a header that claims more than its data can hold fails before anything of
// the picture's size is allocated, and every size is computed in 64 bits with
// its products checked (size_t is 32 bits in the 32-bit program).
// Results:
//    0  decoded
//    2  the file ends before the picture does (header complete, data short),
//       or an 8-bit PCX lacks its palette tail (marker 12 and 768 bytes)
//   13  memory cannot be had for the file, the picture or a work buffer
//       (status kImageNoMemoryStatus: "not enough memory")
//   27  not a BMP, PCX or PNG file, a header the decoder does not read or
//       that is invalid, or a picture that does not fit the space given for it
// 1044  the PNG image data do not decompress (zlib status alongside)
// No Win32 here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "hardcopy/image_file_info.h"

// The ImageFileType codes of the three kinds the decoder reads.
constexpr int kImageKindBmp = kImageFileBmp;
constexpr int kImageKindPcx = kImageFilePcx;
constexpr int kImageKindPng = kImageFilePng;

// The status behind result 13 (kErrorOperatingSystem): the system's code
// for memory that cannot be had (ERROR_NOT_ENOUGH_MEMORY), whose text the
// error line then shows.
constexpr int kImageNoMemoryStatus = 8;

// What a file's header says. KIND is 1, 2 or 15 for a file the decoder
// recognises by its first bytes (as the file-kind detection does), -1 for
// fewer than 4 bytes, 0 otherwise. WIDTH and HEIGHT are set once the header
// has been read.
struct ImageHeader {
    int kind = 0;
    int width = 0;
    int height = 0;
};

// The kind of FILE by its first bytes: -1, 0, 1, 2 or 15 (see ImageHeader).
// The file-kind detection's own tests decide (ImageFileKindOf), so that the
// decoder reads a file as BMP, PCX or PNG exactly when the detection calls
// it one; any other kind is 0 here.
int ImageKindOf(std::span<const std::uint8_t> file);

// Reads and checks the header (kind, size, depth, layout) and, before
// anything of the picture's size is allocated, whether the file holds the
// picture it claims where its format tells: the rows of a BMP (a walk of its
// run-length data), the values of a PCX's run-length lines (a walk of its
// runs), a PNG's chunks and the most its image data can inflate to. Returns
// 0, or the result the whole decode gives: 2, 13, 27, or 1044 for PNG data
// too few for the picture that do not decompress (STATUS, when given, := the
// status behind 1044 or 13; else 0).
int ImageHeaderRead(std::span<const std::uint8_t> file, ImageHeader& header, int* status = nullptr);

// Decodes FILE into PIXELS, which must hold at least width x height elements
// (else 27); only the first width x height are written. Pixels the file does
// not set (skipped by a BMP run-length delta, past the end of such data) keep
// their values. On a non-zero result PIXELS is unchanged: every check that can
// fail, the inflation of a PNG's data included, is done before the first
// pixel is stored. STATUS := the zlib status with 1044, kImageNoMemoryStatus
// with 13, else 0.
int ImageDecodeInto(std::span<const std::uint8_t> file, ImageHeader& header,
                    std::span<int> pixels, int& status);

// As ImageDecodeInto into a new array of width x height zeros (13 when memory
// does not hold it).
int ImageDecode(std::span<const std::uint8_t> file, ImageHeader& header,
                std::vector<int>& pixels, int& status);

// Loads the BMP, PCX or PNG file NAME (leading and trailing blanks ignored)
// into BYTES, in blocks, with memory in proportion to what was read. Returns
// 0; 27 when the name is blank, the file does not exist, or its first 128
// bytes are no BMP, PCX or PNG file (nothing more is read); 1 when it exists
// but cannot be opened; 2 on a read failure; 13 when memory does not hold
// it. OSERROR := the Windows error code with 1 and 2, kImageNoMemoryStatus
// with 13, else 0. BYTES is empty after an error.
int ImageFileLoad(std::string_view name, std::vector<std::uint8_t>& bytes, int& osError);

// Reads the BMP, PCX or PNG file NAME into IMAGE, the caller's array of
// IMAGE.size() elements. The picture's width x height elements are written
// only when the whole picture was decoded; on any error IMAGE is left as it
// was and the error is reported under "IGrLoadImageData": 27 for a file that
// is missing, not BMP, PCX or PNG, not readable by the decoder, or whose
// picture has more pixels than IMAGE holds; 1 when it cannot be opened;
// 2 for a read failure or a file that ends before the picture; 13 when memory
// does not hold the file or a work buffer; 1044 (zlib status in
// ErrorState.status) for PNG data that do not decompress.
void IGrLoadImageData(std::string_view filename, std::span<int> image);

// The picture of the BMP, PCX or PNG file NAME, which must be exactly WIDTH x
// HEIGHT pixels (another size gives 27), into PIXELS, sized here (empty after
// an error): the image operation of the drivers, whose caller names the
// picture's size. Returns 0 or the result IGrLoadImageData would report, 13
// also when memory does not hold the picture; OSERROR and STATUS as
// ImageFileLoad and ImageDecodeInto give them.
int ImageFileDecodeSized(std::string_view name, int width, int height, std::vector<int>& pixels, int& osError,
                         int& status);

// Puts what lies behind the result CODE of a load (OSERROR with 1 and 2,
// STATUS with 1044 and 13) into the error state and reports CODE under
// ROUTINE, as IGrLoadImageData reports its errors. Nothing for CODE 0.
void ImageLoadErrorReport(int code, int osError, int status, std::string_view routine);

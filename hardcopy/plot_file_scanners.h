// Scanners that run over a whole plot file once its kind is known: the
// pictures of a PIC file, the pictures and the drawing-space aspect ratio of
// a binary CGM file, and the pages of an HP-GL or HP-GL/2 text plot file.
//
// Each scanner has one body that reads its bytes through a byte source
// (hardcopy/byte_source.h): the public routines feed it from the named file
// (opened, read to its end in blocks and closed here), the file-kind
// detection from the file it has open, the byte-buffer forms from memory, so
// that all of them scan alike. Each costs time linear in the bytes and memory
// independent of them. No Win32 here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

class ByteSource;

// Bytes of the CGM parameter buffer: enough for the longest list decoded
// (four 32-bit extent values); longer lists are read in part and the rest
// skipped.
inline constexpr int kCgmParameterBufferSize = 32;

// ---- Byte-buffer forms (what the public routines do after opening) -----------
// Each returns kErrorNone, or kErrorFileReadWrite where the routine reports
// error 2 (the bytes end inside a header, a skip, a length word or a
// parameter list; a CGM without END METAFILE). The counts gathered up to that
// point are returned, never below 1.

// Pictures of a PIC file: COUNT := the opcodes 0x60 to 0x6F, at least 1.
int PicPictureCount(std::span<const std::uint8_t> file, int& count);

// END PICTURE elements of a binary CGM file (COUNT, at least 1) and the
// width / height of its drawing space (RATIO): the MAXIMUM VDC EXTENT's ratio
// when one was found, else the VDC EXTENT's, else 1.0. An extent whose width
// or height is 0 or whose values are not finite counts as not found.
int CgmPictureInfo(std::span<const std::uint8_t> file, int& count, float& ratio);

// Pages of an HP-GL or HP-GL/2 text: COUNT := the records "SC" -3 and the
// comments "CO" whose quoted text begins with 3, at least 1. Lines (ended by
// CR or LF) are records of their first 10 characters; a quote the record
// cuts off ends at the record's end. Always kErrorNone (memory cannot fail
// to read). The report level is 0 while the records are parsed and restored
// afterwards.
int HpglPageCount(std::span<const std::uint8_t> file, int& count);

// ---- The same over a byte source, from its current position ----------------
// As above; kErrorFileReadWrite also when the source could not be read
// (its readError then holds the system's code).
int PicPictureCount(ByteSource& in, int& count);
int CgmPictureInfo(ByteSource& in, int& count, float& ratio);
int HpglPageCount(ByteSource& in, int& count);

// ---- CGM values --------------------------------------------------------------
// The signed big-endian integer at the 1-based POSITION of BUFFER: two bytes
// for PRECISION 16, four for any other. 0 when the bytes lie outside BUFFER.
int YYCgmInteger(std::span<const std::uint8_t> buffer, int position, int precision);
// The four bytes at the 1-based POSITION of BUFFER as a big-endian IEEE
// single-precision real; infinities and NaNs come back as such (a signalling
// NaN quiet, so that classifying it never traps). 0 outside BUFFER.
float YYCgmReal(std::span<const std::uint8_t> buffer, int position);

// ---- Public scanners over a named file ---------------------------------------
// NAME: leading and trailing blanks ignored. Errors are reported under the
// routine's own name: 1 the file does not open (COUNT, RATIO unchanged), 2
// the file ends early or does not read (the counts so far, at least 1).

// COUNT := the pictures of the PIC file NAME, at least 1. After error 2 the
// error state's operating-system code is 0 (kind 2).
void YYCNTPIC(std::string_view name, int& count);
// COUNT := the END PICTURE elements of the binary CGM file NAME, at least 1;
// RATIO := width / height of its drawing space (see CgmPictureInfo).
void YYINFOCGM(std::string_view name, int& count, float& ratio);
// COUNT := the pages of the HP-GL or HP-GL/2 file NAME, at least 1. Open and
// read failures put the system's code into the error state (kind 1). The
// report level is 0 while reading, then restored. (Closing a file that was
// only read cannot fail here, so error 3 does not arise.)
void YYCNTHPG(std::string_view name, int& count);

// The same three over IN from its current position, reported as above (the
// file-kind detection runs them over the file it has open).
void YYCNTPIC(ByteSource& in, int& count);
void YYINFOCGM(ByteSource& in, int& count, float& ratio);
void YYCNTHPG(ByteSource& in, int& count);

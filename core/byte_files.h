// Byte-stream files: files read and written as plain bytes at any position,
// for image files, grid files and file-kind detection; and integers
// assembled from bytes of either byte order.
//
// A file handle is the system's file handle held in an int; -1 means no file.
// Failures are reported through YYErrorReport with the Windows error code in
// ErrorState.osError (osErrorKind 2) and leave a defined result: -1 handle,
// -1 count or position.
#pragma once

#include <span>
#include <string_view>

// Opens FILENAME (leading and trailing blanks ignored). MODE 0 read an
// existing file, 1 write (created, or truncated when it exists), 2 read and
// write an existing file. IHANDLE := the handle, or -1 with error 1.
void IFileOpen(std::string_view filename, int mode, int& ihandle);
// Reads up to NBYTES bytes (at most BUFFER's length) into BUFFER. NREAD := the
// number read, 0 at the end of the file, -1 with error 2 on a read failure.
void IFileReadChar(int ihandle, std::span<char> buffer, int nbytes, int& nread);
void IFileReadChar(int ihandle, std::span<unsigned char> buffer, int nbytes, int& nread);
// Writes NBYTES bytes (at most BUFFER's length) of BUFFER. NWRITTEN := the
// number written. A failed write reports error 2: NWRITTEN := -1, or the
// bytes put when a short write put some (a short write is a failed write).
void IFileWriteChar(int ihandle, std::span<const char> buffer, int nbytes, int& nwritten);
void IFileWriteChar(int ihandle, std::span<const unsigned char> buffer, int nbytes, int& nwritten);
// Moves the file position by IPOS from IORIGIN (0 start, 1 current, 2 end);
// IPOS := the new position, or -1 with error 2. An IORIGIN outside 0 to 2
// does nothing at all.
void IFileSeek(int ihandle, int& ipos, int iorigin);
// Closes the file; nothing is reported.
void IFileClose(int ihandle);

// Little-endian: IVALUE := byte1 + 256 x byte2, with NBYTES 4 also
// + 65536 x (byte3 + 256 x byte4); any NBYTES other than 4 reads two bytes.
void YYBytesToIntLE(const void* bytes, int nbytes, int& ivalue);
// Big-endian 32-bit pattern of four bytes.
void YYBytesToIntBE(const void* bytes, int& ivalue);

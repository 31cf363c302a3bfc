// The small pieces that the PNG reader and the PNG writers share: the chunk
// CRC-32, 32-bit big-endian fields, the comparison of a 4-byte chunk type and
// the reversal of the row filters (filter method 0 with its five filter
// types). No Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The 32-bit value of four bytes, most significant first.
std::uint32_t PngReadU32(const std::uint8_t* bytes);
// Stores VALUE as four bytes, most significant first.
void PngWriteU32(std::uint32_t value, std::uint8_t* bytes);
// 1 when the four bytes equal the first four characters of NAME, else 0
// (also 0 when NAME is shorter than four characters).
int PngTypeIs(const std::uint8_t* bytes, std::string_view name);
// RESULT := the CRC-32 (reflected polynomial 0xEDB88320) of BYTES. A chunk's
// CRC covers its type and its data.
void PngCrc(std::span<const std::uint8_t> bytes, std::uint32_t& result);
// Undoes the row filters in place. BUFFER holds ROWS rows of STRIDE bytes
// each: the filter-type byte, then STRIDE - 1 data bytes; BYTESPERPIXEL is the
// distance to the byte on the left (1 for pictures of fewer than 8 bits per
// pixel; values below 1 count as 1). A row with an unknown filter type is left
// as it is. Only rows that lie wholly inside BUFFER are done; returns their
// number.
int PngUnfilterRows(std::size_t stride, int rows, int bytesPerPixel, std::span<std::uint8_t> buffer);

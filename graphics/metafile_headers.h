// Headers of Windows metafiles read from untrusted bytes and written by the
// metafile driver: the enhanced-metafile header, the plain metafile header
// and the 22-byte placeable header that precedes a plain metafile in a file.
// Only the bytes given are read. No Win32 here.
#pragma once

#include <array>
#include <cstdint>
#include <span>

// Size of the fixed part of an enhanced-metafile header.
constexpr size_t kEmfHeaderMinimum = 80;
// Size of the placeable header and its key.
constexpr size_t kPlaceableHeaderSize = 22;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
// Size of a plain metafile header.
constexpr size_t kWmfHeaderSize = 18;

// An enhanced metafile: record type 1 of at least the fixed header's size,
// the signature " EMF" and a total size (nBytes) that is at least the
// header and lies within BYTES.
bool EmfHeaderValid(std::span<const uint8_t> bytes);

// The frame rectangle of a valid enhanced-metafile header (hundredths of a
// millimetre: left, top, right, bottom).
std::array<int32_t, 4> EmfHeaderFrame(std::span<const uint8_t> bytes);

// A plain metafile header: type 1 (memory) or 2 (disk), header size 9 words,
// version 0x0100 or 0x0300.
bool WmfHeaderValid(std::span<const uint8_t> bytes);

// The placeable header of a picture RIGHT x BOTTOM units at UNITSPERINCH,
// with its checksum (the XOR of the ten 16-bit words before it).
std::array<uint8_t, kPlaceableHeaderSize> PlaceableHeader(uint16_t right, uint16_t bottom, uint16_t unitsPerInch);

// A placeable header: at least 22 bytes beginning with the key.
bool PlaceableHeaderValid(std::span<const uint8_t> bytes);

// Units per inch and picture extent of a placeable header for a page of
// WIDTH x HEIGHT points: 1000 units per inch while both sides fit a signed
// 16-bit word (2359 points), else the largest count that lets them fit.
struct PlaceableExtent {
    uint16_t right = 0;
    uint16_t bottom = 0;
    uint16_t unitsPerInch = 1000;
};
PlaceableExtent PlaceableExtentFor(int width, int height);

// The divisor that brings extents of WIDTH x HEIGHT points in tenths of a
// point within a signed 16-bit word: 1 up to 3276 points, else the smallest
// that fits.
int MetafileUnitDivisor(int width, int height);

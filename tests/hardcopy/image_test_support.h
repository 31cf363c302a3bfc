// Helpers of the image reader tests: little file builders for BMP, PCX and
// PNG, and a loader that calls IGrLoadImageData on a scratch file with a
// guard region after the caller's array.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "core/errors.h"
#include "hardcopy/image_reader.h"

namespace imagetest {

using ByteVec = std::vector<std::uint8_t>;

constexpr int kSentinel = 0x5A5A5A5A; // never a packed RGB value
constexpr int kGuard = 64;

inline void PutLE(ByteVec& v, std::uint32_t x, int n)
{
    for (int i = 0; i < n; ++i)
        v.push_back(std::uint8_t(x >> (8 * i)));
}

inline void SetLE(ByteVec& v, size_t at, std::uint32_t x, int n)
{
    for (int i = 0; i < n; ++i)
        v[at + i] = std::uint8_t(x >> (8 * i));
}

inline void PutBE(ByteVec& v, std::uint32_t x)
{
    for (int i = 3; i >= 0; --i)
        v.push_back(std::uint8_t(x >> (8 * i)));
}

// A BMP with the 40-byte header; PALETTE in packed RGB; DATA the pixel bytes.
inline ByteVec Bmp(int width, int height, int bits, std::uint32_t compression,
                   const std::vector<int>& palette, const ByteVec& data, std::uint32_t coloursUsed = 0,
                   const ByteVec& afterHeader = {})
{
    ByteVec v = {'B', 'M'};
    std::uint32_t offset = 54 + std::uint32_t(afterHeader.size()) + 4 * std::uint32_t(palette.size());
    PutLE(v, offset + std::uint32_t(data.size()), 4);
    PutLE(v, 0, 4);
    PutLE(v, offset, 4);
    PutLE(v, 40, 4);
    PutLE(v, std::uint32_t(width), 4);
    PutLE(v, std::uint32_t(height), 4);
    PutLE(v, 1, 2);
    PutLE(v, std::uint32_t(bits), 2);
    PutLE(v, compression, 4);
    PutLE(v, std::uint32_t(data.size()), 4);
    PutLE(v, 2835, 4);
    PutLE(v, 2835, 4);
    PutLE(v, coloursUsed, 4);
    PutLE(v, 0, 4);
    v.insert(v.end(), afterHeader.begin(), afterHeader.end());
    for (int c : palette) {
        v.push_back(std::uint8_t(c >> 16));
        v.push_back(std::uint8_t(c >> 8));
        v.push_back(std::uint8_t(c));
        v.push_back(0);
    }
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

// A PCX with the window (0, 0, width - 1, height - 1); HEADERPALETTE the 16
// header colours (packed RGB); TAIL appended as it is (e.g. 12 + 768 bytes).
inline ByteVec Pcx(int width, int height, int bits, int planes, int bytesPerLine, const ByteVec& data,
                   const std::vector<int>& headerPalette = {}, const ByteVec& tail = {})
{
    ByteVec v(128, 0);
    v[0] = 10;
    v[1] = 5;
    v[2] = 1;
    v[3] = std::uint8_t(bits);
    SetLE(v, 8, std::uint32_t(width - 1), 2);
    SetLE(v, 10, std::uint32_t(height - 1), 2);
    for (size_t i = 0; i < headerPalette.size() && i < 16; ++i) {
        v[16 + 3 * i] = std::uint8_t(headerPalette[i]);
        v[17 + 3 * i] = std::uint8_t(headerPalette[i] >> 8);
        v[18 + 3 * i] = std::uint8_t(headerPalette[i] >> 16);
    }
    v[65] = std::uint8_t(planes);
    SetLE(v, 66, std::uint32_t(bytesPerLine), 2);
    v.insert(v.end(), data.begin(), data.end());
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
}

// The 769-byte tail of an 8-bit PCX: marker 12 and 256 colours (packed RGB).
inline ByteVec PcxTail(const std::vector<int>& colours)
{
    ByteVec t = {12};
    for (int i = 0; i < 256; ++i) {
        int c = i < int(colours.size()) ? colours[i] : 0;
        t.push_back(std::uint8_t(c));
        t.push_back(std::uint8_t(c >> 8));
        t.push_back(std::uint8_t(c >> 16));
    }
    return t;
}

inline void PngChunk(ByteVec& v, const char* type, const ByteVec& data,
                     std::uint32_t length = 0xFFFFFFFFu /* the data's length */)
{
    PutBE(v, length == 0xFFFFFFFFu ? std::uint32_t(data.size()) : length);
    ByteVec typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    v.insert(v.end(), typed.begin(), typed.end());
    PutBE(v, std::uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
}

inline ByteVec PngSignatureAndHeader(std::uint32_t width, std::uint32_t height, int depth, int colourType,
                                     int interlace = 0, int compression = 0, int filter = 0)
{
    ByteVec v = {137, 80, 78, 71, 13, 10, 26, 10};
    ByteVec ihdr;
    PutBE(ihdr, width);
    PutBE(ihdr, height);
    ihdr.push_back(std::uint8_t(depth));
    ihdr.push_back(std::uint8_t(colourType));
    ihdr.push_back(std::uint8_t(compression));
    ihdr.push_back(std::uint8_t(filter));
    ihdr.push_back(std::uint8_t(interlace));
    PngChunk(v, "IHDR", ihdr);
    return v;
}

inline ByteVec Deflate(const ByteVec& raw)
{
    uLongf n = compressBound(uLong(raw.size()));
    ByteVec out(n);
    compress(out.data(), &n, raw.data(), uLong(raw.size()));
    out.resize(n);
    return out;
}

// A complete PNG of the filtered ROWS (filter bytes included).
inline ByteVec Png(std::uint32_t width, std::uint32_t height, int depth, int colourType, const ByteVec& rows,
                   const std::vector<int>& palette = {})
{
    ByteVec v = PngSignatureAndHeader(width, height, depth, colourType);
    if (!palette.empty()) {
        ByteVec p;
        for (int c : palette) {
            p.push_back(std::uint8_t(c));
            p.push_back(std::uint8_t(c >> 8));
            p.push_back(std::uint8_t(c >> 16));
        }
        PngChunk(v, "PLTE", p);
    }
    PngChunk(v, "IDAT", Deflate(rows));
    PngChunk(v, "IEND", {});
    return v;
}

// A scratch file in the temporary folder, removed at the end.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& leaf)
        : path_((std::filesystem::temp_directory_path() / ("kestrow-images-" + leaf)).string())
    {
    }
    ~ScratchFile()
    {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    const std::string& path() const { return path_; }
    void Write(const ByteVec& bytes) const
    {
        std::ofstream f(path_, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

private:
    std::string path_;
};

// What one IGrLoadImageData call did to an array of CAPACITY elements
// prefilled with FILL, followed by a guard region.
struct LoadOutcome {
    int code = -1;             // the error recorded (0 none)
    std::vector<int> pixels;   // the caller's array after the call
    bool guardIntact = false;  // nothing was written past the array
    bool untouched = false;    // the array is exactly as before
};

inline LoadOutcome LoadFrom(const ScratchFile& file, const ByteVec& bytes, size_t capacity,
                            int fill = kSentinel)
{
    file.Write(bytes);
    std::vector<int> store(capacity + kGuard, fill);
    gErrorState.lastCode = 0;
    IGrLoadImageData(file.path(), std::span<int>(store.data(), capacity));
    LoadOutcome r;
    r.code = gErrorState.lastCode;
    r.guardIntact = std::all_of(store.begin() + capacity, store.end(), [&](int v) { return v == fill; });
    r.untouched = std::all_of(store.begin(), store.begin() + capacity, [&](int v) { return v == fill; });
    store.resize(capacity);
    r.pixels = std::move(store);
    return r;
}

} // namespace imagetest

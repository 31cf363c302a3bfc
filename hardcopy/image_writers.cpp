// BMP, PCX and PNG encoders for the screen-rectangle saves.
#include "hardcopy/image_writers.h"

#include <zlib.h>

#include <algorithm>
#include <string>

#include "core/error_codes.h"
#include "core/fixed_text.h"
#include "core/os_services.h"
#include "hardcopy/png_routines.h"

namespace {

using ByteVec = std::vector<std::uint8_t>;

void PutLE(ByteVec& v, std::uint32_t x, int n)
{
    for (int i = 0; i < n; ++i)
        v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

void PutBE(ByteVec& v, std::uint32_t x)
{
    std::uint8_t b[4];
    PngWriteU32(x, b);
    v.insert(v.end(), b, b + 4);
}

std::uint8_t Component(int rgb, int shift) { return static_cast<std::uint8_t>((rgb >> shift) & 0xFF); }

// A chunk: length, type, data, CRC over type and data.
void PngChunk(ByteVec& out, const char* type, const ByteVec& data)
{
    PutBE(out, static_cast<std::uint32_t>(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    std::uint32_t crc = 0;
    PngCrc(std::span<const std::uint8_t>(out.data() + typeAt, data.size() + 4), crc);
    PutBE(out, crc);
}

// The PCX runs of one plane line.
void PcxLine(const ByteVec& line, ByteVec& out)
{
    size_t i = 0;
    while (i < line.size()) {
        size_t j = i + 1;
        while (j < line.size() && line[j] == line[i] && j - i < 63)
            ++j;
        PcxWriteRun(line[i], static_cast<int>(j - i), out);
        i = j;
    }
}

} // namespace

void PcxWriteRun(int value, int count, std::vector<std::uint8_t>& out)
{
    const std::uint8_t v = static_cast<std::uint8_t>(value);
    count = std::clamp(count, 1, 63);
    if (count == 1 && v < 192) {
        out.push_back(v);
        return;
    }
    out.push_back(static_cast<std::uint8_t>(192 + count));
    out.push_back(v);
}

std::vector<std::uint8_t> PcxEncode(const PictureData& p)
{
    const int w = std::max(p.width, 0), h = std::max(p.height, 0);
    const int planes = p.indexed ? 1 : 3;
    const int bytesPerLine = (w + 1) / 2 * 2;
    ByteVec out(128, 0);
    out[0] = 10; // manufacturer
    out[1] = 5;  // version
    out[2] = 1;  // run-length encoding
    out[3] = 8;  // bits per pixel and plane
    auto set16 = [&](size_t at, int v) {
        out[at] = static_cast<std::uint8_t>(v);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    set16(8, std::max(w - 1, 0));
    set16(10, std::max(h - 1, 0));
    set16(12, 75);
    set16(14, 75);
    out[65] = static_cast<std::uint8_t>(planes);
    set16(66, bytesPerLine);
    set16(68, 1); // palette type: colour
    ByteVec line(static_cast<size_t>(bytesPerLine));
    for (int y = 0; y < h; ++y) {
        for (int plane = 0; plane < planes; ++plane) {
            std::fill(line.begin(), line.end(), 0);
            for (int x = 0; x < w; ++x) {
                const int v = p.values[static_cast<size_t>(y) * w + x];
                line[static_cast<size_t>(x)] = p.indexed ? static_cast<std::uint8_t>(v) : Component(v, 8 * plane);
            }
            PcxLine(line, out);
        }
    }
    if (p.indexed) {
        out.push_back(12);
        for (int i = 0; i < 256; ++i) {
            const int c = i < static_cast<int>(p.palette.size()) ? p.palette[static_cast<size_t>(i)] : 0;
            out.push_back(Component(c, 0));
            out.push_back(Component(c, 8));
            out.push_back(Component(c, 16));
        }
    }
    return out;
}

int PngEncode(const PictureData& p, int bitDepth, std::vector<std::uint8_t>& out, int& zlibStatus)
{
    zlibStatus = 0;
    out.clear();
    const int w = std::max(p.width, 0), h = std::max(p.height, 0);
    const int depth = p.indexed && bitDepth == 4 ? 4 : 8;
    const size_t stride = p.indexed ? 1 + (static_cast<size_t>(w) * depth + 7) / 8 : 1 + 3 * static_cast<size_t>(w);
    ByteVec raw(stride * static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = raw.data() + stride * static_cast<size_t>(y) + 1; // filter byte 0 before
        for (int x = 0; x < w; ++x) {
            const int v = p.values[static_cast<size_t>(y) * w + x];
            if (!p.indexed) {
                row[3 * x] = Component(v, 0);
                row[3 * x + 1] = Component(v, 8);
                row[3 * x + 2] = Component(v, 16);
            } else if (depth == 4) {
                row[x / 2] |= static_cast<std::uint8_t>((v & 0xF) << (x % 2 == 0 ? 4 : 0));
            } else {
                row[x] = static_cast<std::uint8_t>(v);
            }
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    ByteVec packed(packedSize);
    int status = compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    if (status != Z_OK) {
        zlibStatus = status;
        return kErrorCompression;
    }
    packed.resize(packedSize);

    static constexpr std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    out.assign(kSignature, kSignature + 8);
    ByteVec header;
    PutBE(header, static_cast<std::uint32_t>(w));
    PutBE(header, static_cast<std::uint32_t>(h));
    header.push_back(static_cast<std::uint8_t>(depth));
    header.push_back(p.indexed ? 3 : 2);
    header.push_back(0); // compression
    header.push_back(0); // filter method
    header.push_back(0); // no interlace
    PngChunk(out, "IHDR", header);
    if (p.indexed) {
        ByteVec palette;
        const size_t n = std::clamp<size_t>(p.palette.size(), 1, static_cast<size_t>(1) << depth);
        for (size_t i = 0; i < n; ++i) {
            const int c = i < p.palette.size() ? p.palette[i] : 0;
            palette.push_back(Component(c, 0));
            palette.push_back(Component(c, 8));
            palette.push_back(Component(c, 16));
        }
        PngChunk(out, "PLTE", palette);
    }
    PngChunk(out, "IDAT", packed);
    PngChunk(out, "IEND", {});
    return kErrorNone;
}

std::vector<std::uint8_t> BmpEncode(int width, int height, int bitCount, const std::vector<int>& colourTable,
                                    std::span<const std::uint8_t> rows)
{
    const std::uint32_t tableBytes = static_cast<std::uint32_t>(colourTable.size()) * 4;
    const std::uint32_t offset = 14 + 40 + tableBytes;
    ByteVec out = {'B', 'M'};
    PutLE(out, offset + static_cast<std::uint32_t>(rows.size()), 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<std::uint32_t>(width), 4);
    PutLE(out, static_cast<std::uint32_t>(height), 4);
    PutLE(out, 1, 2);
    PutLE(out, static_cast<std::uint32_t>(bitCount), 2);
    PutLE(out, 0, 4); // no compression
    PutLE(out, static_cast<std::uint32_t>(rows.size()), 4);
    PutLE(out, 2835, 4); // 72 dpi
    PutLE(out, 2835, 4);
    PutLE(out, static_cast<std::uint32_t>(colourTable.size()), 4);
    PutLE(out, 0, 4);
    for (int c : colourTable) {
        out.push_back(Component(c, 16));
        out.push_back(Component(c, 8));
        out.push_back(Component(c, 0));
        out.push_back(0);
    }
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

int DibPaletteBytes(int headerSize, int bitCount, int coloursUsed)
{
    const int perEntry = headerSize == 12 ? 3 : 4;
    int entries = 0;
    if (coloursUsed > 0)
        entries = std::min(coloursUsed, 256);
    else if (bitCount == 1)
        entries = 2;
    else if (bitCount == 4)
        entries = 16;
    else if (bitCount == 8)
        entries = 256;
    return entries * perEntry;
}

int ImageBytesWrite(std::string_view name, std::span<const std::uint8_t> bytes, int& osError)
{
    osError = 0;
    std::string path(TrimRight(name));
    int handle = -1, err = 0;
    OsFileOpen(path.c_str(), 1, handle, err);
    if (handle == -1) {
        osError = err;
        return kErrorFileOpen;
    }
    int written = 0;
    OsFileWrite(handle, bytes.data(), static_cast<int>(bytes.size()), written, err);
    OsFileClose(handle);
    if (written < static_cast<int>(bytes.size())) {
        osError = err;
        return kErrorFileReadWrite;
    }
    return kErrorNone;
}

// PCX, PNG and BMP files of the raster engine's page bitmap, written row by
// row to plot unit 2 (top row first in PCX and PNG, bottom row first in
// BMP).
#include "hardcopy/image_file_writers.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/byte_files.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "graphics/colours.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/image_writers.h"
#include "hardcopy/plot_output.h"
#include "hardcopy/png_routines.h"
#include "hardcopy/raster_engine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

RasterState& R() { return gRasterState; }
bool Aborted() { return gHardcopyState.outputAbort != 0; }

void Put(const Bytes& bytes)
{
    YYPlotPutBytes(kPlotUnit, bytes, static_cast<int>(bytes.size()));
}

void PutLE(Bytes& v, size_t at, std::uint32_t x, int n)
{
    for (int i = 0; i < n; ++i)
        v[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(x >> (8 * i));
}

void PutBE(Bytes& v, std::uint32_t x)
{
    std::uint8_t b[4];
    PngWriteU32(x, b);
    v.insert(v.end(), b, b + 4);
}

// Bit of plane K at pixel X of the row whose words start at ROW.
int PlaneBit(std::int64_t row, int k, int x)
{
    return static_cast<int>((RasterWord(k * R().planeStride + row + x / 32) >> (x % 32)) & 1u);
}

// The values of pixels 0..width - 1 of bitmap row Y: bits of plane 0 at
// depth 1, the 4-bit values at depth 4, the bytes (read through the byte
// masks) at depth 8, the words at depth 24.
void RowValues(int y, std::vector<int>& values)
{
    const RasterState& r = R();
    const std::int64_t row = std::int64_t(r.wordsPerRow) * y;
    values.resize(static_cast<size_t>(r.width));
    switch (r.layout) {
    case kRasterLayoutWord:
        for (int x = 0; x < r.width; ++x)
            values[static_cast<size_t>(x)] = static_cast<int>(RasterWord(row + x));
        break;
    case kRasterLayoutByte:
        for (int x = 0; x < r.width; ++x) {
            const int k = x % 4;
            values[static_cast<size_t>(x)] =
                static_cast<int>((RasterWord(row + x / 4) & r.byteMasks[static_cast<size_t>(k)]) >> (8 * k));
        }
        break;
    default: {
        const int planes = r.layout == kRasterLayoutPlanes ? r.planesLess1 + 1 : 1;
        for (int x = 0; x < r.width; ++x) {
            int v = 0;
            for (int k = 0; k < planes; ++k)
                v |= PlaneBit(row, k, x) << k;
            values[static_cast<size_t>(x)] = v;
        }
        break;
    }
    }
}

// Palette entries as packed RGB for depths 1, 4 and 8.
std::vector<int> Palette(int depth)
{
    std::vector<int> p;
    if (depth == 1)
        return {0xFFFFFF, 0};
    const int n = depth == 4 ? 16 : 256;
    p.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        if (depth == 4)
            YYPalette16Entry(i, p[static_cast<size_t>(i)]);
        else
            YYColourGet(i, p[static_cast<size_t>(i)]);
    }
    return p;
}

std::uint8_t Red(int rgb) { return static_cast<std::uint8_t>(rgb & 0xFF); }
std::uint8_t Green(int rgb) { return static_cast<std::uint8_t>((rgb >> 8) & 0xFF); }
std::uint8_t Blue(int rgb) { return static_cast<std::uint8_t>((rgb >> 16) & 0xFF); }

// Pixels packed MSB first, one bit per pixel: bit BIT of each value.
void PackBits(const std::vector<int>& values, int bit, Bytes& out, size_t bytes, bool invert = false)
{
    out.assign(bytes, 0);
    for (size_t x = 0; x < values.size(); ++x)
        if ((values[x] >> bit) & 1)
            out[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    if (invert)
        for (std::uint8_t& b : out)
            b = static_cast<std::uint8_t>(~b);
}

// Two pixels a byte, the first in the high nibble, as file colour indexes.
void PackNibbles(const std::vector<int>& values, Bytes& out, size_t bytes)
{
    out.assign(bytes, 0);
    for (size_t x = 0; x < values.size(); ++x)
        out[x / 2] |= static_cast<std::uint8_t>(ImageFileColourIndex(values[x]) << (x % 2 == 0 ? 4 : 0));
}

// ---- PCX ----------------------------------------------------------------------

// One scan line: run-length encoded, runs of at most 63.
void YYPcxRow(const Bytes& line)
{
    Bytes out;
    out.reserve(2 * line.size());
    for (size_t i = 0; i < line.size();) {
        size_t j = i + 1;
        while (j < line.size() && line[j] == line[i] && j - i < 63)
            ++j;
        PcxWriteRun(line[i], static_cast<int>(j - i), out);
        i = j;
    }
    Put(out);
}

// ---- BMP run-length encoding -----------------------------------------------------

// The codes of one row of PIXELS (4 or 8 bits each) that encode exactly its
// width: groups of four bytes as runs (grown while the same byte repeats) or
// absolute runs, then the pixels of a last partial group, then the end of
// the row.
void BmpRleRow(const std::vector<int>& pixels, int depth, Bytes& out)
{
    const int perGroup = depth == 8 ? 4 : 8;  // pixels in four bytes
    const int growLimit = depth == 8 ? 251 : 247;
    const size_t width = pixels.size();
    auto byteAt = [&](size_t first) {
        // The byte holding pixel FIRST (and, at depth 4, FIRST + 1).
        if (depth == 8)
            return static_cast<std::uint8_t>(pixels[first]);
        const int hi = ImageFileColourIndex(pixels[first]);
        const int lo = first + 1 < width ? ImageFileColourIndex(pixels[first + 1]) : 0;
        return static_cast<std::uint8_t>(hi << 4 | lo);
    };
    const size_t start = out.size();
    long lastRun = -1; // where the count of the last code, a run, stands
    const size_t groups = width / static_cast<size_t>(perGroup);
    const size_t pixelsPerByte = depth == 8 ? 1 : 2;
    for (size_t g = 0; g < groups; ++g) {
        std::array<std::uint8_t, 4> b{};
        for (size_t i = 0; i < 4; ++i)
            b[i] = byteAt(g * static_cast<size_t>(perGroup) + i * pixelsPerByte);
        if (b[0] == b[1] && b[1] == b[2] && b[2] == b[3]) {
            if (lastRun >= 0 && out[static_cast<size_t>(lastRun) + 1] == b[0] &&
                out[static_cast<size_t>(lastRun)] < growLimit) {
                out[static_cast<size_t>(lastRun)] = static_cast<std::uint8_t>(out[static_cast<size_t>(lastRun)] + perGroup);
            } else {
                lastRun = static_cast<long>(out.size());
                out.push_back(static_cast<std::uint8_t>(perGroup));
                out.push_back(b[0]);
            }
        } else {
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(perGroup));
            out.insert(out.end(), b.begin(), b.end());
            lastRun = -1;
        }
    }
    // The pixels after the last whole group: one or two as runs, three or
    // more as an absolute run padded to an even number of bytes.
    const size_t first = groups * static_cast<size_t>(perGroup);
    const size_t rest = width - first;
    if (rest >= 3) {
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(rest));
        const size_t bytes = (rest + pixelsPerByte - 1) / pixelsPerByte;
        for (size_t i = 0; i < bytes; ++i)
            out.push_back(byteAt(first + i * pixelsPerByte));
        if (bytes % 2 != 0)
            out.push_back(0);
    } else if (rest > 0 && depth == 4) {
        out.push_back(static_cast<std::uint8_t>(rest));
        out.push_back(byteAt(first));
    } else {
        for (size_t i = first; i < width; ++i) {
            out.push_back(1);
            out.push_back(static_cast<std::uint8_t>(pixels[i]));
        }
    }
    if ((out.size() - start) % 2 != 0)
        out.push_back(0);
    out.push_back(0);
    out.push_back(0);
}

// ---- PNG ------------------------------------------------------------------------------

// The chunk of TYPE and DATA: length, type, data, CRC over type and data.
void PngChunk(Bytes& out, const char* type, const Bytes& data)
{
    PutBE(out, static_cast<std::uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    std::uint32_t crc = 0;
    PngCrc(std::span<const std::uint8_t>(out.data() + typeAt, data.size() + 4), crc);
    PutBE(out, crc);
}

// Row Y as PNG image data: the filter byte 0 and the pixel bytes.
void PngRow(int y, std::vector<int>& values, Bytes& row)
{
    const RasterState& r = R();
    RowValues(y, values);
    const size_t b = static_cast<size_t>(PngImageBytes(r.width, 1, r.depth) - 1);
    row.assign(b + 1, 0);
    std::uint8_t* pixels = row.data() + 1;
    Bytes packed;
    switch (r.depth) {
    case 1:
    case 4:
        if (r.depth == 1)
            PackBits(values, 0, packed, b);
        else
            PackNibbles(values, packed, b);
        std::copy(packed.begin(), packed.end(), pixels);
        break;
    case 8:
        for (size_t x = 0; x < values.size(); ++x)
            pixels[x] = static_cast<std::uint8_t>(values[x]);
        break;
    default:
        for (size_t x = 0; x < values.size(); ++x) {
            pixels[3 * x] = Red(values[x]);
            pixels[3 * x + 1] = Green(values[x]);
            pixels[3 * x + 2] = Blue(values[x]);
        }
        break;
    }
}

// The compression failed: error 1044 under the name of the library's
// compression routine, as a caller of the writers has always seen it.
void CompressionFailed(int status)
{
    gErrorState.status = status;
    YYErrorReport(kErrorCompression, "WCompress");
    gHardcopyState.outputAbort = -1;
}

} // namespace

int ImageFileColourIndex(int value)
{
    return (value & 8) | ((value & 1) << 2) | (value & 2) | ((value >> 2) & 1);
}

std::int64_t PngImageBytes(std::int64_t width, std::int64_t height, int depth)
{
    const std::int64_t b = depth == 1 ? (width + 7) / 8 : depth == 4 ? (width + 1) / 2 : depth == 8 ? width : 3 * width;
    return (b + 1) * height;
}

void YYWritePcx()
{
    const RasterState& r = R();
    const int depth = r.depth, w = r.width, h = r.height;
    if (w > kPcxMaxSide || h > kPcxMaxSide) {
        YYErrorReport(kErrorPageTooLarge, "XXIMAG");
        gHardcopyState.outputAbort = -1;
        return;
    }
    const bool bytesPerPixel = depth == 8 || depth == 24;
    std::int64_t a = bytesPerPixel ? w : (std::int64_t(w) + 7) / 8;
    if (a % 2 != 0)
        ++a;
    Bytes header(128, 0);
    header[0] = 10;
    header[1] = depth == 1 ? 3 : 5;
    header[2] = 1;
    header[3] = bytesPerPixel ? 8 : 1;
    PutLE(header, 8, static_cast<std::uint32_t>(w - 1), 2);
    PutLE(header, 10, static_cast<std::uint32_t>(h - 1), 2);
    PutLE(header, 12, 75, 2);
    PutLE(header, 14, 75, 2);
    if (depth == 4) {
        const std::vector<int> palette = Palette(4);
        for (size_t i = 0; i < 16; ++i) {
            header[16 + 3 * i] = Red(palette[i]);
            header[17 + 3 * i] = Green(palette[i]);
            header[18 + 3 * i] = Blue(palette[i]);
        }
    }
    header[65] = depth == 24 ? 3 : depth == 4 ? 4 : 1;
    PutLE(header, 66, static_cast<std::uint32_t>(a), 2);
    PutLE(header, 70, static_cast<std::uint32_t>(a), 2);
    PutLE(header, 72, static_cast<std::uint32_t>(h), 2);
    Put(header);

    std::vector<int> values;
    Bytes line;
    for (int y = h - 1; y >= 0 && !Aborted(); --y) {
        RowValues(y, values);
        switch (depth) {
        case 4:
            // Planes blue, green, red, intensity: the file's index bits.
            for (int plane : {2, 1, 0, 3}) {
                PackBits(values, plane, line, static_cast<size_t>(a));
                YYPcxRow(line);
            }
            break;
        case 24:
            for (int shift : {0, 8, 16}) {
                line.assign(static_cast<size_t>(a), 0);
                for (size_t x = 0; x < values.size(); ++x)
                    line[x] = static_cast<std::uint8_t>((values[x] >> shift) & 0xFF);
                YYPcxRow(line);
            }
            break;
        case 8:
            line.assign(static_cast<size_t>(a), 0);
            for (size_t x = 0; x < values.size(); ++x)
                line[x] = static_cast<std::uint8_t>(values[x]);
            YYPcxRow(line);
            break;
        default:
            // Ink as 0 and background as 1: readers take a set bit as white.
            PackBits(values, 0, line, static_cast<size_t>(a), true);
            YYPcxRow(line);
            break;
        }
    }
    if (depth == 8 && !Aborted()) {
        Bytes tail = {12};
        for (int rgb : Palette(8)) {
            tail.push_back(Red(rgb));
            tail.push_back(Green(rgb));
            tail.push_back(Blue(rgb));
        }
        Put(tail);
    }
}

void YYWritePng()
{
    const RasterState& r = R();
    const int depth = r.depth;
    if (PngImageBytes(r.width, r.height, depth) > kPngMaxChunk) {
        YYErrorReport(kErrorPageTooLarge, "XXIMAG");
        gHardcopyState.outputAbort = -1;
        return;
    }
    Bytes head = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes ihdr;
    PutBE(ihdr, static_cast<std::uint32_t>(r.width));
    PutBE(ihdr, static_cast<std::uint32_t>(r.height));
    ihdr.push_back(static_cast<std::uint8_t>(std::min(depth, 8)));
    ihdr.push_back(depth == 24 ? 2 : 3);
    ihdr.insert(ihdr.end(), {0, 0, 0});
    PngChunk(head, "IHDR", ihdr);
    Put(head);
    if (Aborted())
        return;
    if (depth != 24) {
        Bytes entries, chunk;
        for (int rgb : Palette(depth)) {
            entries.push_back(Red(rgb));
            entries.push_back(Green(rgb));
            entries.push_back(Blue(rgb));
        }
        PngChunk(chunk, "PLTE", entries);
        Put(chunk);
        if (Aborted())
            return;
    }

    // The image data, compressed as they are made: length, "IDAT", data
    // and CRC go out in one write.
    z_stream z{};
    int status = deflateInit2(&z, kPngCompressionLevel, Z_DEFLATED, 15, 8, kPngCompressionStrategy);
    if (status != Z_OK) {
        CompressionFailed(status);
        return;
    }
    Bytes idat(8, 0);
    const char* type = "IDAT";
    std::copy(type, type + 4, idat.begin() + 4);
    std::vector<int> values;
    Bytes row;
    std::array<std::uint8_t, 1 << 16> out;
    for (int y = r.height - 1; y >= -1; --y) {
        const bool last = y < 0;
        if (!last)
            PngRow(y, values, row);
        z.next_in = last ? nullptr : row.data();
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            status = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            if (status == Z_STREAM_ERROR) {
                deflateEnd(&z);
                CompressionFailed(status);
                return;
            }
            idat.insert(idat.end(), out.data(), out.data() + (out.size() - z.avail_out));
        } while (z.avail_out == 0 || (last && status != Z_STREAM_END));
    }
    deflateEnd(&z);
    const std::uint32_t length = static_cast<std::uint32_t>(idat.size() - 8);
    PngWriteU32(length, idat.data());
    std::uint32_t crc = 0;
    PngCrc(std::span<const std::uint8_t>(idat.data() + 4, idat.size() - 4), crc);
    PutBE(idat, crc);
    Put(idat);
    if (Aborted())
        return;
    Bytes end;
    PngChunk(end, "IEND", {});
    Put(end);
}

void YYWriteBmp()
{
    const RasterState& r = R();
    const int depth = r.depth, w = r.width, h = r.height;
    const bool rle = gHardcopyState.option(26) == 2 && (depth == 4 || depth == 8);
    const std::vector<int> palette = depth == 24 ? std::vector<int>{} : Palette(depth);
    const std::int64_t paletteBytes = 4 * static_cast<std::int64_t>(palette.size());
    const std::int64_t rowBytes = depth == 1 ? (std::int64_t(w) + 7) / 8
                                  : depth == 4 ? 4 * ((std::int64_t(w) + 7) / 8)
                                  : depth == 8 ? w
                                               : 3 * std::int64_t(w);
    const std::int64_t padded = (rowBytes + 3) / 4 * 4;
    Bytes header(54, 0);
    header[0] = 'B';
    header[1] = 'M';
    PutLE(header, 2, static_cast<std::uint32_t>(54 + paletteBytes + padded * h), 4);
    PutLE(header, 10, static_cast<std::uint32_t>(54 + paletteBytes), 4);
    PutLE(header, 14, 40, 4);
    PutLE(header, 18, static_cast<std::uint32_t>(w), 4);
    PutLE(header, 22, static_cast<std::uint32_t>(h), 4);
    PutLE(header, 26, 1, 2);
    PutLE(header, 28, static_cast<std::uint32_t>(depth), 2);
    PutLE(header, 30, rle ? static_cast<std::uint32_t>(8 / depth) : 0u, 4);
    for (int rgb : palette)
        header.insert(header.end(), {Blue(rgb), Green(rgb), Red(rgb), 0});
    Put(header);

    std::vector<int> values;
    Bytes row;
    for (int y = 0; y < h && !Aborted(); ++y) {
        RowValues(y, values);
        if (rle) {
            row.clear();
            BmpRleRow(values, depth, row);
            if (y == h - 1)
                row.insert(row.end(), {0, 1});
            Put(row);
            continue;
        }
        switch (depth) {
        case 1: PackBits(values, 0, row, static_cast<size_t>(padded)); break;
        case 4: PackNibbles(values, row, static_cast<size_t>(padded)); break;
        case 8:
            row.assign(static_cast<size_t>(padded), 0);
            for (size_t x = 0; x < values.size(); ++x)
                row[x] = static_cast<std::uint8_t>(values[x]);
            break;
        default:
            row.assign(static_cast<size_t>(padded), 0);
            for (size_t x = 0; x < values.size(); ++x) {
                row[3 * x] = Blue(values[x]);
                row[3 * x + 1] = Green(values[x]);
                row[3 * x + 2] = Red(values[x]);
            }
            break;
        }
        Put(row);
    }
}

void YYBMP2(std::string_view name)
{
    int handle = -1;
    IFileOpen(name, 2, handle);
    if (handle == -1)
        return;
    int length = 0;
    IFileSeek(handle, length, 2);
    const std::int64_t paletteBytes = 4 * (std::int64_t(1) << std::clamp(R().depth, 0, 8));
    const std::uint32_t fields[2] = {static_cast<std::uint32_t>(length),
                                     static_cast<std::uint32_t>(std::max<std::int64_t>(length - paletteBytes - 54, 0))};
    const int offsets[2] = {2, 34};
    for (int i = 0; i < 2; ++i) {
        int at = offsets[i];
        IFileSeek(handle, at, 0);
        Bytes b(4);
        PutLE(b, 0, fields[i], 4);
        int written = 0;
        // The write routine runs at level 0, so that a failed write is
        // reported once, under this routine's name (its system code stays).
        const int level = gErrorState.level;
        gErrorState.level = 0;
        IFileWriteChar(handle, std::span<const unsigned char>(b.data(), b.size()), 4, written);
        gErrorState.level = level;
        if (written != 4) {
            YYErrorReport(kErrorFileReadWrite, "YYBMP2");
            break;
        }
    }
    IFileClose(handle);
}

std::string ImagePageFileName(std::string_view name, int page)
{
    std::string n(name);
    if (page <= 1)
        return n;
    const size_t dot = n.rfind('.');
    const size_t separator = n.find_last_of("\\/");
    const size_t at = (dot != std::string::npos && (separator == std::string::npos || dot > separator)) ? dot : n.size();
    n.insert(at, "-" + std::to_string(page));
    return n;
}

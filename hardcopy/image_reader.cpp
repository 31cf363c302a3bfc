// The image decoder (BMP, PCX, PNG into packed RGB values) and the public
// reader IGrLoadImageData built on it.
//
// Layout of the file: the header is parsed into a Layout (every offset and
// size checked against the file and computed in 64 bits, products
// saturated), then one decoder per format writes the pixels. Palettes live in
// a 256-entry table that starts black for every file, so an index the file's
// palette does not cover gives black and never reads past the table. Memory
// that cannot be had is result 13, found before anything is allocated where
// the size alone says so (a size beyond what the address space can hold),
// else from the allocator's failure.
#include "hardcopy/image_reader.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/os_services.h"
#include "hardcopy/byte_source.h"
#include "hardcopy/png_routines.h"

namespace {

using Bytes = std::span<const std::uint8_t>;
using Palette = std::array<int, 256>;

// Deflate data give at most 1032 bytes per byte: a length of 258 costs at
// least two bits (one for the length, one for the distance).
constexpr std::int64_t kDeflateMostPerByte = 1032;

// A x B for sizes of 0 or more, INT64_MAX when the product does not fit: no
// file or memory holds that much, so every comparison with it fails the way
// the real product would.
std::int64_t Product(std::int64_t a, std::int64_t b)
{
    std::int64_t p = 0;
    return __builtin_mul_overflow(a, b, &p) ? INT64_MAX : p;
}

// Whether COUNT elements of SIZE bytes can be asked of the allocator at all
// (a count of 0 or more whose bytes fit the address space).
bool Allocatable(std::int64_t count, std::size_t size)
{
    return count >= 0 && static_cast<std::uint64_t>(count) <= static_cast<std::uint64_t>(PTRDIFF_MAX) / size;
}

int Rgb(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

// Little-endian fields; callers check the range first (Has).
std::uint32_t U16(Bytes d, std::int64_t at)
{
    return std::uint32_t(d[at]) | (std::uint32_t(d[at + 1]) << 8);
}

std::uint32_t U32(Bytes d, std::int64_t at)
{
    return U16(d, at) | (U16(d, at + 2) << 16);
}

bool Has(Bytes d, std::int64_t at, std::int64_t n)
{
    return at >= 0 && n >= 0 && at <= std::int64_t(d.size()) && n <= std::int64_t(d.size()) - at;
}

// One colour component of a bit-field pixel scaled to 8 bits: a component of
// fewer than 8 bits is shifted up, one of more is cut to its top 8 bits.
struct BitField {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;
};

BitField BitFieldOf(std::uint32_t mask)
{
    BitField f;
    f.mask = mask;
    if (mask == 0)
        return f;
    while (!((mask >> f.shift) & 1u))
        ++f.shift;
    std::uint32_t m = mask >> f.shift;
    while (m) {
        ++f.width;
        m >>= 1;
    }
    return f;
}

int BitFieldValue(const BitField& f, std::uint32_t v)
{
    if (f.mask == 0)
        return 0;
    std::uint32_t c = (v & f.mask) >> f.shift;
    if (f.width > 8)
        return int(c >> (f.width - 8));
    return int((c << (8 - f.width)) & 0xFFu);
}

// Everything the pixel decoders need, checked against the file.
struct Layout {
    int kind = 0;
    int width = 0;
    int height = 0;
    // BMP
    int bits = 0;
    std::uint32_t compression = 0;
    bool topDown = false;
    bool runLength = false;
    std::int64_t dataOffset = 0;
    std::int64_t stride = 0;
    std::array<BitField, 3> fields{};
    // PCX
    int planes = 0;
    std::int64_t bytesPerLine = 0;
    std::int64_t dataEnd = 0;
    // PNG
    int colourType = 0;
    int depth = 0;
    int bitsPerPixel = 0;
    int unfilterBytes = 0;
    std::int64_t imageDataBytes = 0; // of all IDAT chunks
    int status = 0;                  // with a verdict of 1044 or 13 found from the layout
    // All kinds with colour tables.
    Palette palette{};
};

int BmpRunLength(Bytes d, const Layout& L, std::span<int> px);

// ---------------------------------------------------------------------------
// Headers

int BmpLayout(Bytes d, Layout& L)
{
    // File header (14 bytes) and the fixed part of the information header.
    if (!Has(d, 0, 54))
        return kErrorImageFormat;
    std::int64_t headerSize = U32(d, 14);
    if (headerSize < 40) // 12: the OS/2 header, not read
        return kErrorImageFormat;
    std::int32_t width = std::int32_t(U32(d, 18));
    std::int32_t height = std::int32_t(U32(d, 22));
    L.bits = int(U16(d, 28));
    L.compression = U32(d, 30);
    std::uint32_t coloursUsed = U32(d, 46);
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return kErrorImageFormat;
    L.topDown = height < 0;
    L.width = width;
    L.height = height < 0 ? -height : height;

    switch (L.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return kErrorImageFormat;
    }
    // Compression 1 and 2 (run-length) for 4 and 8 bits, 3 (bit fields) for
    // 16 and 32 bits, none for any depth; anything else is not read.
    if (L.compression == 1 || L.compression == 2) {
        if (L.bits != 4 && L.bits != 8)
            return kErrorImageFormat;
        if (L.topDown) // run-length pictures are always stored bottom-up
            return kErrorImageFormat;
        L.runLength = true;
    } else if (L.compression == 3) {
        if (L.bits != 16 && L.bits != 32)
            return kErrorImageFormat;
    } else if (L.compression != 0) {
        return kErrorImageFormat;
    }

    std::int64_t tableStart = 14 + headerSize;
    std::int64_t fileOffset = U32(d, 10);
    if (fileOffset != 0 && fileOffset < tableStart)
        return kErrorImageFormat; // pixel data inside the header
    std::int64_t tableEnd = tableStart;

    if (L.compression == 3) {
        // The three masks: inside a header of 52 bytes or more, else right
        // after the 40-byte header.
        std::int64_t at = headerSize >= 52 ? 54 : tableStart;
        if (!Has(d, at, 12))
            return kErrorFileReadWrite;
        for (int k = 0; k < 3; ++k)
            L.fields[k] = BitFieldOf(U32(d, at + 4 * k));
        if (headerSize < 52)
            tableEnd = tableStart + 12;
    } else if (L.bits == 16) {
        L.fields = {BitFieldOf(0x7C00u), BitFieldOf(0x03E0u), BitFieldOf(0x001Fu)};
    } else if (L.bits == 32) {
        L.fields = {BitFieldOf(0x00FF0000u), BitFieldOf(0x0000FF00u), BitFieldOf(0x000000FFu)};
    }

    if (L.bits <= 8) {
        // Colour table: blue, green, red, reserved; at most 256 entries and
        // never reaching into the pixel data.
        std::int64_t entries = coloursUsed != 0 ? std::int64_t(coloursUsed) : (std::int64_t(1) << L.bits);
        entries = std::min<std::int64_t>(entries, 256);
        if (fileOffset != 0)
            entries = std::min<std::int64_t>(entries, (fileOffset - tableStart) / 4);
        if (!Has(d, tableStart, 4 * entries))
            return kErrorFileReadWrite;
        for (std::int64_t i = 0; i < entries; ++i) {
            std::int64_t at = tableStart + 4 * i;
            L.palette[i] = Rgb(d[at + 2], d[at + 1], d[at]);
        }
        tableEnd = tableStart + 4 * entries;
    }

    L.dataOffset = fileOffset != 0 ? fileOffset : tableEnd;
    L.stride = (std::int64_t(L.bits) * L.width + 31) / 32 * 4;
    // Run-length data say how much of the picture they cover only when they
    // are walked: a few bytes can cover all of it, or end short.
    if (L.runLength)
        return BmpRunLength(d, L, {});
    // Every row complete; the padding of the last row may be missing.
    const std::int64_t last = (std::int64_t(L.bits) * L.width + 7) / 8;
    const std::int64_t before = Product(L.stride, L.height - 1);
    if (before > INT64_MAX - last || !Has(d, L.dataOffset, before + last))
        return kErrorFileReadWrite;
    return kErrorNone;
}

// The values the run-length data from BEGIN to END give (see PcxStream),
// counted up to NEEDED at most.
std::int64_t PcxValuesAvailable(Bytes d, std::int64_t begin, std::int64_t end, std::int64_t needed)
{
    std::int64_t got = 0;
    for (std::int64_t pos = begin; got < needed && pos < end;) {
        const int c = d[pos++];
        if ((c & 0xC0) != 0xC0) {
            ++got;
        } else if (pos < end) {
            ++pos; // the value
            got += c & 0x3F;
        }
    }
    return got;
}

int PcxLayout(Bytes d, Layout& L)
{
    if (!Has(d, 0, 128))
        return kErrorImageFormat;
    L.bits = d[3];
    L.planes = d[65];
    L.bytesPerLine = U16(d, 66);
    std::int64_t width = std::int64_t(U16(d, 8)) - std::int64_t(U16(d, 4)) + 1;
    std::int64_t height = std::int64_t(U16(d, 10)) - std::int64_t(U16(d, 6)) + 1;
    if (width <= 0 || height <= 0)
        return kErrorImageFormat;
    L.width = int(width);
    L.height = int(height);

    bool known = (L.bits == 1 && (L.planes == 1 || L.planes == 4)) ||
                 (L.bits == 8 && (L.planes == 1 || L.planes == 3));
    if (!known)
        return kErrorImageFormat;
    if (L.bytesPerLine < (width * L.bits + 7) / 8)
        return kErrorImageFormat; // a line cannot hold the picture's width

    L.dataEnd = std::int64_t(d.size());
    if (L.planes == 4) {
        for (int i = 0; i < 16; ++i)
            L.palette[i] = Rgb(d[16 + 3 * i], d[17 + 3 * i], d[18 + 3 * i]);
    } else if (L.bits == 8 && L.planes == 1) {
        // The 256 colours follow the marker 12 at the end of the file; a file
        // without that tail has no colours.
        std::int64_t tail = std::int64_t(d.size()) - 769;
        if (tail < 128 || d[tail] != 12)
            return kErrorFileReadWrite;
        for (int i = 0; i < 256; ++i)
            L.palette[i] = Rgb(d[tail + 1 + 3 * i], d[tail + 2 + 3 * i], d[tail + 3 + 3 * i]);
        L.dataEnd = tail;
    }

    // The run-length data must give every line; counted run by run, so that
    // the decoder, which reads the same values, cannot run short.
    const std::int64_t needed = std::int64_t(L.height) * L.planes * L.bytesPerLine;
    if (PcxValuesAvailable(d, 128, L.dataEnd, needed) < needed)
        return kErrorFileReadWrite;
    return kErrorNone;
}

// Walks the chunks after IHDR to IEND: the palette goes into L, the length of
// the image data into L.imageDataBytes and, with DATA, the image data
// themselves into DATA. Returns 0, 2 (a chunk or IEND missing at the file's
// end) or 27.
int PngChunks(Bytes d, Layout& L, std::vector<std::uint8_t>* data)
{
    bool havePalette = false;
    L.imageDataBytes = 0;
    std::int64_t pos = 33;
    for (;;) {
        if (!Has(d, pos, 8))
            return kErrorFileReadWrite; // no IEND
        std::uint32_t length = PngReadU32(&d[pos]);
        if (length > 0x7FFFFFFFu)
            return kErrorImageFormat;
        const std::uint8_t* type = &d[pos + 4];
        std::int64_t at = pos + 8;
        if (!Has(d, at, length))
            return kErrorFileReadWrite;
        if (PngTypeIs(type, "IEND"))
            break;
        if (PngTypeIs(type, "IDAT")) {
            L.imageDataBytes += length;
            if (data)
                data->insert(data->end(), d.begin() + at, d.begin() + at + length);
        } else if (PngTypeIs(type, "PLTE")) {
            std::int64_t entries = std::min<std::int64_t>(length / 3, 256);
            for (std::int64_t i = 0; i < entries; ++i)
                L.palette[i] = Rgb(d[at + 3 * i], d[at + 3 * i + 1], d[at + 3 * i + 2]);
            havePalette = true;
        }
        pos = at + length + 4; // data and CRC (not checked)
    }
    if (L.colourType == 3 && !havePalette)
        return kErrorImageFormat;
    return kErrorNone;
}

// zlib's one-call decompression of DATA into OUT, with its status values,
// for sizes beyond the 32 bits that its own length arguments hold on
// Windows: the data are fed and the output offered in pieces, and the status
// is formed as the one call forms it. PRODUCED := the bytes written.
int Uncompress(std::span<std::uint8_t> out, std::span<const std::uint8_t> data, std::int64_t& produced)
{
    constexpr std::uint64_t kPiece = 0xFFFFFFFFu; // the most one call of inflate takes
    produced = 0;
    z_stream zs{};
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = 0;
    zs.next_out = out.data();
    zs.avail_out = 0;
    int err = inflateInit(&zs);
    if (err != Z_OK)
        return err;
    std::uint64_t left = out.size(), len = data.size();
    do {
        if (zs.avail_out == 0) {
            zs.avail_out = static_cast<uInt>(std::min(left, kPiece));
            left -= zs.avail_out;
        }
        if (zs.avail_in == 0) {
            zs.avail_in = static_cast<uInt>(std::min(len, kPiece));
            len -= zs.avail_in;
        }
        err = inflate(&zs, Z_NO_FLUSH);
    } while (err == Z_OK);
    produced = static_cast<std::int64_t>(out.size() - left - zs.avail_out);
    const bool room = left + zs.avail_out != 0;
    inflateEnd(&zs);
    return err == Z_STREAM_END ? Z_OK
           : err == Z_NEED_DICT ? Z_DATA_ERROR
           : err == Z_BUF_ERROR && room ? Z_DATA_ERROR
                                         : err;
}

// Inflates the image data into ROWS, sized for the picture's filtered rows
// but never larger than what DATA can give. Returns 0, 2 (the data end before
// the picture), 13 (no memory for the rows) or 1044, with STATUS.
int PngInflate(const std::vector<std::uint8_t>& data, const Layout& L, std::vector<std::uint8_t>& rows, int& status)
{
    const std::int64_t size = Product(L.stride, L.height);
    // min(size, most + 1) without overflow: size is 2 or more (a row holds its filter byte).
    const std::int64_t room = std::min(size - 1, Product(kDeflateMostPerByte, std::int64_t(data.size()))) + 1;
    if (!Allocatable(room, 1)) {
        status = kImageNoMemoryStatus;
        return kErrorOperatingSystem;
    }
    rows.assign(static_cast<std::size_t>(room), 0);
    std::int64_t produced = 0;
    const int zlib = Uncompress(rows, data, produced);
    if (zlib != Z_OK) {
        status = zlib;
        return kErrorCompression;
    }
    if (produced != size)
        return kErrorFileReadWrite; // the stream ended before the picture
    return kErrorNone;
}

int PngLayout(Bytes d, Layout& L)
{
    // Signature and IHDR chunk.
    if (!Has(d, 0, 33) || std::memcmp(d.data(), kPngFileSignature, 8) != 0)
        return kErrorImageFormat;
    if (PngReadU32(&d[8]) != 13 || !PngTypeIs(&d[12], "IHDR"))
        return kErrorImageFormat;
    std::uint32_t width = PngReadU32(&d[16]);
    std::uint32_t height = PngReadU32(&d[20]);
    L.depth = d[24];
    L.colourType = d[25];
    int compression = d[26], filter = d[27], interlace = d[28];
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return kErrorImageFormat;
    if (compression != 0 || filter != 0 || interlace != 0)
        return kErrorImageFormat;
    switch (L.colourType) {
    case 2: // RGB
        if (L.depth != 8 && L.depth != 16)
            return kErrorImageFormat;
        L.bitsPerPixel = 3 * L.depth;
        break;
    case 3: // palette
        if (L.depth != 1 && L.depth != 2 && L.depth != 4 && L.depth != 8)
            return kErrorImageFormat;
        L.bitsPerPixel = L.depth;
        break;
    case 6: // RGB with alpha
        if (L.depth != 8 && L.depth != 16)
            return kErrorImageFormat;
        L.bitsPerPixel = 4 * L.depth;
        break;
    default: // grey-scale kinds are not read
        return kErrorImageFormat;
    }
    L.width = int(width);
    L.height = int(height);
    L.unfilterBytes = L.bitsPerPixel < 8 ? 1 : L.bitsPerPixel / 8;
    L.stride = (std::int64_t(width) * L.bitsPerPixel + 7) / 8 + 1;
    if (int rc = PngChunks(d, L, nullptr); rc != kErrorNone)
        return rc;
    // Image data too few to fill the picture give 2 or 1044; which one, the
    // (small) inflation says, before anything of the picture's size exists.
    if (Product(kDeflateMostPerByte, L.imageDataBytes) < Product(L.stride, L.height)) {
        std::vector<std::uint8_t> data, rows;
        PngChunks(d, L, &data);
        return PngInflate(data, L, rows, L.status);
    }
    return kErrorNone;
}

int LayoutRead(Bytes d, Layout& L)
{
    L = Layout{};
    L.kind = ImageKindOf(d);
    switch (L.kind) {
    case kImageKindBmp: return BmpLayout(d, L);
    case kImageKindPcx: return PcxLayout(d, L);
    case kImageKindPng: return PngLayout(d, L);
    default: return kErrorImageFormat;
    }
}

// ---------------------------------------------------------------------------
// BMP pixels

int BmpRows(Bytes d, const Layout& L, std::span<int> px)
{
    const std::int64_t w = L.width;
    for (std::int64_t k = 0; k < L.height; ++k) {
        const std::uint8_t* row = d.data() + L.dataOffset + k * L.stride;
        int* out = px.data() + (L.topDown ? k : L.height - 1 - k) * w;
        for (std::int64_t x = 0; x < w; ++x) {
            switch (L.bits) {
            case 1: out[x] = L.palette[(row[x / 8] >> (7 - x % 8)) & 1]; break;
            case 4: out[x] = L.palette[(x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 15]; break;
            case 8: out[x] = L.palette[row[x]]; break;
            case 16: {
                std::uint32_t v = row[2 * x] | (std::uint32_t(row[2 * x + 1]) << 8);
                out[x] = Rgb(BitFieldValue(L.fields[0], v), BitFieldValue(L.fields[1], v),
                             BitFieldValue(L.fields[2], v));
                break;
            }
            case 24: out[x] = Rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
            case 32: {
                const std::uint8_t* p = row + 4 * x;
                std::uint32_t v = p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                                  (std::uint32_t(p[3]) << 24);
                out[x] = Rgb(BitFieldValue(L.fields[0], v), BitFieldValue(L.fields[1], v),
                             BitFieldValue(L.fields[2], v));
                break;
            }
            }
        }
    }
    return kErrorNone;
}

// Run-length pixel data, bottom row first, in byte pairs (count, value) with
// the escapes 0-0 end of row, 0-1 end of picture, 0-2 delta, 0-n absolute.
// Positions right of the picture are counted but not stored; a step above
// the top row ends the picture. Data that end before the end-of-picture
// escape are short. An empty PX only walks the data (nothing is stored).
int BmpRunLength(Bytes d, const Layout& L, std::span<int> px)
{
    const std::int64_t w = L.width, h = L.height;
    const std::int64_t end = std::int64_t(d.size());
    std::int64_t pos = L.dataOffset;
    std::int64_t x = 0, y = 0; // y counts rows from the bottom
    auto put = [&](int index) {
        if (x < w && y < h && !px.empty())
            px[(h - 1 - y) * w + x] = L.palette[index];
        ++x;
    };
    auto nibbleOrByte = [&](int v, std::int64_t i) { return L.bits == 8 ? v : (i % 2 == 0 ? v >> 4 : v & 15); };

    while (y < h) {
        if (!Has(d, pos, 2))
            return kErrorFileReadWrite;
        int n = d[pos], v = d[pos + 1];
        pos += 2;
        if (n > 0) {
            std::int64_t visible = std::clamp<std::int64_t>(w - x, 0, n);
            for (std::int64_t i = 0; i < visible; ++i)
                put(nibbleOrByte(v, i));
            x += n - visible;
        } else if (v == 0) {
            x = 0;
            ++y;
        } else if (v == 1) {
            return kErrorNone;
        } else if (v == 2) {
            if (!Has(d, pos, 2))
                return kErrorFileReadWrite;
            x += d[pos];
            y += d[pos + 1];
            pos += 2;
        } else {
            std::int64_t bytes = L.bits == 8 ? v : (v + 1) / 2;
            if (pos > end - bytes)
                return kErrorFileReadWrite;
            for (std::int64_t i = 0; i < v; ++i) {
                int b = L.bits == 8 ? d[pos + i] : d[pos + i / 2];
                put(nibbleOrByte(b, i));
            }
            pos += bytes + (bytes & 1);
        }
    }
    return kErrorNone; // ran past the top row: nothing more can be stored
}

// ---------------------------------------------------------------------------
// PCX pixels

// The run-length byte stream of a PCX file: a byte with both top bits set
// repeats the next byte (its low six bits) times; any other byte stands for
// itself. Runs may cross line ends.
class PcxStream {
public:
    PcxStream(Bytes d, std::int64_t begin, std::int64_t end) : d_(d), pos_(begin), end_(end) {}
    bool Next(int& value)
    {
        while (left_ == 0) {
            if (pos_ >= end_)
                return false;
            int c = d_[pos_++];
            if ((c & 0xC0) != 0xC0) {
                value = c;
                return true;
            }
            if (pos_ >= end_)
                return false;
            left_ = c & 0x3F;
            run_ = d_[pos_++];
        }
        --left_;
        value = run_;
        return true;
    }

private:
    Bytes d_;
    std::int64_t pos_, end_;
    int left_ = 0, run_ = 0;
};

int PcxPixels(Bytes d, const Layout& L, std::span<int> px)
{
    const std::int64_t w = L.width;
    PcxStream in(d, 128, L.dataEnd);
    std::vector<int> line(static_cast<std::size_t>(w));
    for (std::int64_t y = 0; y < L.height; ++y) {
        std::fill(line.begin(), line.end(), 0);
        for (int p = 0; p < L.planes; ++p) {
            for (std::int64_t i = 0; i < L.bytesPerLine; ++i) {
                int b;
                if (!in.Next(b))
                    return kErrorFileReadWrite;
                if (L.bits == 1) {
                    for (int k = 0; k < 8; ++k) {
                        std::int64_t x = 8 * i + k;
                        if (x < w && ((b >> (7 - k)) & 1))
                            line[x] |= 1 << p;
                    }
                } else if (i < w) {
                    line[i] |= b << (8 * p);
                }
            }
        }
        int* out = px.data() + y * w;
        for (std::int64_t x = 0; x < w; ++x) {
            if (L.bits == 1 && L.planes == 1)
                out[x] = line[x] ? 16777215 : 0; // monochrome: set bits white
            else if (L.planes == 4 || L.planes == 1)
                out[x] = L.palette[line[x]];
            else
                out[x] = line[x]; // red, green, blue planes
        }
    }
    return kErrorNone;
}

// ---------------------------------------------------------------------------
// PNG pixels

int PngPixels(Bytes d, Layout& L, std::span<int> px, int& status)
{
    std::vector<std::uint8_t> data; // the image data of all IDAT chunks
    if (!Allocatable(L.imageDataBytes, 1)) {
        status = kImageNoMemoryStatus;
        return kErrorOperatingSystem;
    }
    data.reserve(static_cast<std::size_t>(L.imageDataBytes));
    if (int rc = PngChunks(d, L, &data); rc != kErrorNone)
        return rc;
    std::vector<std::uint8_t> rows;
    if (int rc = PngInflate(data, L, rows, status); rc != kErrorNone)
        return rc;
    data = {}; // the compressed data are no longer needed
    PngUnfilterRows(static_cast<std::size_t>(L.stride), L.height, L.unfilterBytes, rows);

    const std::int64_t w = L.width;
    for (std::int64_t y = 0; y < L.height; ++y) {
        const std::uint8_t* row = rows.data() + y * L.stride + 1;
        int* out = px.data() + y * w;
        if (L.colourType == 3) {
            const int depth = L.depth, perByte = 8 / depth, mask = (1 << depth) - 1;
            for (std::int64_t x = 0; x < w; ++x) {
                int shift = 8 - depth * int(x % perByte + 1);
                out[x] = L.palette[(row[x / perByte] >> shift) & mask];
            }
        } else {
            const std::int64_t sample = L.depth / 8;
            const std::int64_t pixel = (L.colourType == 2 ? 3 : 4) * sample;
            for (std::int64_t x = 0; x < w; ++x) {
                const std::uint8_t* p = row + x * pixel;
                out[x] = Rgb(p[0], p[sample], p[2 * sample]);
            }
        }
    }
    return kErrorNone;
}

int PixelsDecode(Bytes d, Layout& L, std::span<int> px, int& status)
{
    switch (L.kind) {
    case kImageKindBmp: return L.runLength ? BmpRunLength(d, L, px) : BmpRows(d, L, px);
    case kImageKindPcx: return PcxPixels(d, L, px);
    case kImageKindPng: return PngPixels(d, L, px, status);
    default: return kErrorImageFormat;
    }
}

} // namespace

int ImageKindOf(std::span<const std::uint8_t> file)
{
    const int kind = ImageFileKindOf(file);
    return kind == kImageKindBmp || kind == kImageKindPcx || kind == kImageKindPng || kind < 0 ? kind : 0;
}

namespace {

// The layout and the header it gives; the size is set once the header was
// read whole (results 0, 2 and 1044).
int HeaderLayout(Bytes file, ImageHeader& header, Layout& L)
{
    int rc = kErrorImageFormat;
    try {
        rc = LayoutRead(file, L);
    } catch (const std::bad_alloc&) {
        rc = kErrorOperatingSystem;
        L.status = kImageNoMemoryStatus;
    }
    header = ImageHeader{ImageKindOf(file), 0, 0};
    if (rc != kErrorImageFormat && rc != kErrorOperatingSystem) {
        header.width = L.width;
        header.height = L.height;
    }
    return rc;
}

} // namespace

int ImageHeaderRead(std::span<const std::uint8_t> file, ImageHeader& header, int* status)
{
    Layout L;
    int rc = HeaderLayout(file, header, L);
    if (status)
        *status = L.status;
    return rc;
}

int ImageDecodeInto(std::span<const std::uint8_t> file, ImageHeader& header, std::span<int> pixels, int& status)
{
    Layout L;
    int rc = HeaderLayout(file, header, L);
    status = L.status;
    if (rc != kErrorNone)
        return rc;
    if (std::int64_t(L.width) * L.height > std::int64_t(pixels.size()))
        return kErrorImageFormat;
    try {
        return PixelsDecode(file, L, pixels, status);
    } catch (const std::bad_alloc&) {
        status = kImageNoMemoryStatus;
        return kErrorOperatingSystem;
    }
}

namespace {

// PIXELS := COUNT zeros; false when memory does not hold them.
bool PixelsAllocate(std::vector<int>& pixels, std::int64_t count)
{
    if (!Allocatable(count, sizeof(int)))
        return false;
    try {
        pixels.assign(static_cast<std::size_t>(count), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace

int ImageDecode(std::span<const std::uint8_t> file, ImageHeader& header, std::vector<int>& pixels, int& status)
{
    int rc = ImageHeaderRead(file, header, &status);
    if (rc != kErrorNone)
        return rc;
    if (!PixelsAllocate(pixels, std::int64_t(header.width) * header.height)) {
        status = kImageNoMemoryStatus;
        return kErrorOperatingSystem;
    }
    return ImageDecodeInto(file, header, pixels, status);
}

namespace {

// Appends what IN gives to BYTES until its end or until BYTES holds UPTO
// bytes (the vector grows by doubling: memory in proportion to what was
// read). Returns 0, 2 with OSERROR, or 13.
int ReadOn(ByteSource& in, std::vector<std::uint8_t>& bytes, int& osError, std::size_t upTo)
{
    for (std::span<const std::uint8_t> block = in.Peek(); !block.empty() && bytes.size() < upTo; block = in.Peek()) {
        if (bytes.size() > bytes.max_size() - block.size())
            return kErrorOperatingSystem;
        bytes.insert(bytes.end(), block.begin(), block.end());
        in.Skip(block.size());
    }
    osError = in.readError;
    return in.readError != 0 ? kErrorFileReadWrite : kErrorNone;
}

// SIZE := the size of the open file HANDLE when the system tells it within 31
// bits, else 0 (a pipe, a device, a larger file): a hint only. The file is
// put back at its start; false (with OSERROR) when that fails.
bool SizeHint(int handle, std::int64_t& size, int& osError)
{
    int end = 0, err = 0;
    OsFileSeek(handle, end, 2, err);
    size = err == 0 && end > 0 ? end : 0;
    if (err != 0)
        return true; // the file cannot seek: it was not moved either
    int start = 0;
    OsFileSeek(handle, start, 0, err);
    osError = err;
    return err == 0;
}

} // namespace

int ImageFileLoad(std::string_view name, std::vector<std::uint8_t>& bytes, int& osError)
{
    osError = 0;
    bytes.clear();
    int err = 0;
    const int handle = ByteFileOpen(name, err);
    if (handle == -1) {
        if (err == 0 || ImageFileIsMissing(err))
            return kErrorImageFormat;
        osError = err;
        return kErrorFileOpen;
    }
    int rc = kErrorNone;
    try {
        std::int64_t size = 0;
        if (!SizeHint(handle, size, osError)) {
            rc = kErrorFileReadWrite;
        } else {
            // The kind from the first bytes: a file that is no image is not
            // read on, and memory for the whole file is asked only for one that is.
            FileSource in(handle);
            rc = ReadOn(in, bytes, osError, kImageFileHeaderBytes);
            const std::size_t head = std::min<std::size_t>(bytes.size(), kImageFileHeaderBytes);
            if (rc == kErrorNone && ImageKindOf(std::span<const std::uint8_t>(bytes.data(), head)) <= 0)
                rc = kErrorImageFormat;
            if (rc == kErrorNone) {
                if (size > std::int64_t(bytes.size()) && Allocatable(size, 1))
                    bytes.reserve(static_cast<std::size_t>(size));
                rc = ReadOn(in, bytes, osError, bytes.max_size());
            }
        }
    } catch (const std::bad_alloc&) {
        rc = kErrorOperatingSystem;
    }
    OsFileClose(handle);
    if (rc == kErrorOperatingSystem)
        osError = kImageNoMemoryStatus;
    if (rc != kErrorNone)
        bytes = {};
    return rc;
}

void ImageLoadErrorReport(int code, int osError, int status, std::string_view routine)
{
    ErrorState& e = gErrorState;
    switch (code) {
    case kErrorNone: return;
    case kErrorFileOpen:
    case kErrorFileReadWrite:
        // A read that only ended early has no system code.
        e.osError = osError;
        e.osErrorKind = osError != 0 ? 2 : 0;
        break;
    case kErrorCompression: e.status = status; break;
    case kErrorOperatingSystem:
        e.status = kImageNoMemoryStatus;
        e.osError = kImageNoMemoryStatus;
        e.osErrorKind = 2;
        break;
    default: break;
    }
    YYErrorReport(code, routine);
}

void IGrLoadImageData(std::string_view filename, std::span<int> image)
{
    std::vector<std::uint8_t> file;
    int osError = 0, status = 0;
    int rc = ImageFileLoad(filename, file, osError);
    if (rc == kErrorNone) {
        // Straight into the caller's array: it changes only when the whole
        // picture was decoded.
        ImageHeader header;
        rc = ImageDecodeInto(file, header, image, status);
    }
    ImageLoadErrorReport(rc, osError, status, "IGrLoadImageData");
}

int ImageFileDecodeSized(std::string_view name, int width, int height, std::vector<int>& pixels, int& osError,
                         int& status)
{
    pixels.clear();
    status = 0;
    std::vector<std::uint8_t> file;
    int rc = ImageFileLoad(name, file, osError);
    if (rc != kErrorNone)
        return rc;
    ImageHeader header;
    rc = ImageHeaderRead(file, header, &status);
    if (rc == kErrorNone && (header.width != width || header.height != height))
        rc = kErrorImageFormat; // the caller's size is not the file's
    if (rc == kErrorNone && !PixelsAllocate(pixels, std::int64_t(width) * height))
        rc = kErrorOperatingSystem;
    if (rc == kErrorNone)
        rc = ImageDecodeInto(file, header, pixels, status);
    if (rc == kErrorOperatingSystem)
        osError = status = kImageNoMemoryStatus;
    if (rc != kErrorNone)
        pixels = {};
    return rc;
}

// File kind detection: the header tests and information words over hand-made
// files (near misses and the division cases among them), the image fixtures
// (where the decoder's kind must agree), files written by other programs
// (Ghostscript, plotutils, ezdxf, ImageMagick, Wine's GDI), the bad-input
// corpus, and files written by the library's own drivers.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "fixtures_data.h"
#include "hardcopy/image_file_info.h"
#include "hardcopy/image_reader.h"
#include "scratch_files.h"
#include "unix_tools.h"

namespace {

using Record = std::array<int, 6>;
using ByteString = std::vector<std::uint8_t>;

ByteString Text(std::string_view s)
{
    return ByteString(s.begin(), s.end());
}

// Bytes from a list of values and texts.
ByteString Cat(std::initializer_list<ByteString> parts)
{
    ByteString out;
    for (const ByteString& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

void Put16(ByteString& b, std::size_t at, std::uint32_t v)
{
    if (b.size() < at + 2)
        b.resize(at + 2);
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(ByteString& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

void Put32BE(ByteString& b, std::size_t at, std::uint32_t v)
{
    if (b.size() < at + 4)
        b.resize(at + 4);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// The record of file NAME with COUNT words, every word 99 before the call.
Record InfoOfFile(const std::string& name, int count = 6)
{
    Record r;
    r.fill(99);
    YYImageFileInfo(name, r, count);
    return r;
}

// The same for BYTES written to a scratch file (the file route and the
// byte route must agree).
Record InfoOf(const ByteString& bytes, int count = 6)
{
    const std::string name = TempName("info.bin");
    WriteAll(name, bytes);
    const Record viaFile = InfoOfFile(name, count);
    DeleteFileA(name.c_str());
    Record viaBytes;
    viaBytes.fill(99);
    ImageFileInfoOf(bytes, viaBytes, count);
    EXPECT_EQ(viaFile, viaBytes);
    return viaFile;
}

std::string Dump(const Record& r)
{
    std::string s;
    for (int v : r)
        s += std::to_string(v) + " ";
    return s;
}

const std::string kEsc = "\x1b";

// A CGM of 16-bit elements: each a class, an id and its parameter bytes.
struct CgmElement {
    int cls, id;
    ByteString params;
};

ByteString Cgm(const std::vector<CgmElement>& elements)
{
    ByteString out;
    for (const CgmElement& e : elements) {
        const int n = static_cast<int>(e.params.size());
        const int word = e.cls * 4096 + e.id * 32 + (n < 31 ? n : 31);
        out.push_back(static_cast<std::uint8_t>(word >> 8));
        out.push_back(static_cast<std::uint8_t>(word));
        if (n >= 31) {
            out.push_back(static_cast<std::uint8_t>(n >> 8));
            out.push_back(static_cast<std::uint8_t>(n));
        }
        out.insert(out.end(), e.params.begin(), e.params.end());
        if (n % 2)
            out.push_back(0);
    }
    return out;
}

ByteString Ints16(std::initializer_list<int> values)
{
    ByteString out;
    for (int v : values) {
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

// A DXF text whose lines 14 and 16 hold X and Y, as the library's DXF
// header has its upper corner there.
std::string DxfText(const std::string& x, const std::string& y)
{
    return "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$EXTMIN\r\n 10\r\n"
           "0.0\r\n 20\r\n" + x + "\r\n 30\r\n" + y + "\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

ByteString Placeable(std::uint32_t right, std::uint32_t bottom, std::uint32_t perInch)
{
    ByteString b(40, 0);
    Put32(b, 0, 0x9AC6CDD7u);
    Put16(b, 6, 0);
    Put16(b, 8, 0);
    Put16(b, 10, right);
    Put16(b, 12, bottom);
    Put16(b, 14, perInch);
    return b;
}

ByteString Enhanced(std::int32_t right, std::int32_t bottom)
{
    ByteString b(88, 0);
    Put32(b, 0, 1);
    Put32(b, 24, 0);
    Put32(b, 28, 0);
    Put32(b, 32, static_cast<std::uint32_t>(right));
    Put32(b, 36, static_cast<std::uint32_t>(bottom));
    Put32(b, 40, 0x464D4520u);
    return b;
}

ByteString Bmp(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression, std::uint32_t headerSize = 40)
{
    ByteString b = Text("BM");
    b.resize(54, 0);
    Put32(b, 2, 54);
    Put32(b, 14, headerSize);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bits));
    Put32(b, 30, compression);
    return b;
}

ByteString Png(std::uint32_t width, std::uint32_t height, int depth, int type, int interlace)
{
    ByteString b(kPngFileSignature, kPngFileSignature + 8);
    Put32BE(b, 8, 13);
    b.insert(b.end(), {'I', 'H', 'D', 'R'});
    Put32BE(b, 16, width);
    Put32BE(b, 20, height);
    b.push_back(static_cast<std::uint8_t>(depth));
    b.push_back(static_cast<std::uint8_t>(type));
    b.push_back(0);
    b.push_back(0);
    b.push_back(static_cast<std::uint8_t>(interlace));
    b.resize(33, 0);
    return b;
}

ByteString Pic(int pictures)
{
    ByteString b(17, 0);
    b[0] = 1;
    b[4] = 1;
    b[6] = 8;
    b[8] = 'D';
    b[13] = 12;
    for (int i = 0; i < pictures; ++i)
        b.push_back(0x60);
    return b;
}

ByteString Draw(std::int32_t width, std::int32_t height)
{
    ByteString b = Text("Draw");
    b.resize(40, 0);
    Put32(b, 32, static_cast<std::uint32_t>(width));
    Put32(b, 36, static_cast<std::uint32_t>(height));
    return b;
}

ByteString Cut(const ByteString& b, std::size_t n)
{
    return ByteString(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(std::min(n, b.size())));
}

// Rows: the hand-made file, the count, and the record expected (words past
// the count stay 99).
struct Row {
    const char* what;
    ByteString bytes;
    int count;
    Record want;
};

TEST(ImageFileInfo, HandMadeFilesOfEveryKindAndTheirNearMisses)
{
    const std::string hpgl = "IN; IP 395 0 10865 7478\r\nRO0; IP 395 0 10865 7478\r\nDT\x04\r\nDI1. 0.\r\n"
                             "SC-2 9 0 32760\r\nSC-13 1 0 32760\r\nPU;SP1;\r\nSC-3 0 0 32760 ;SC0 32760 0 32760\r\n"
                             "PU;SP0 ;PG;\r\nSC-3 0 0 32760 ;SC0 32760 0 32760\r\n";
    const std::string hpgl2 = kEsc + "%0B\r\nCO: a title;\r\nIN; IP 0 0 10851 7916\r\nRO90; IP 0 0 10851 7916\r\n"
                              "CO\"13 2 1.2 9\";\r\nPU437 546\r\nCO\"3 32\";\r\n" + kEsc + "%0A\r\n";
    const std::string svgHead = "<?xml version=\"1.0\" standalone=\"no\"?>\n"
                                "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"x\">\n";
    const std::vector<CgmElement> twoPictures = {
        {0, 1, {}}, {1, 17, Ints16({0, 0, 32767, 16383})}, {0, 3, {}}, {0, 5, {}}, {0, 3, {}}, {0, 5, {}}, {0, 2, {}}};
    const std::vector<CgmElement> flatExtent = {{0, 1, {}}, {1, 17, Ints16({0, 5, 100, 5})}, {0, 5, {}}, {0, 2, {}}};
    ByteString plainWmf = {1, 0, 9, 0, 0, 3, 0, 0, 0, 0};
    ByteString blanks(10, ' ');
    blanks[3] = 0;

    const Row rows[] = {
        {"two blanks, then IN", Text("  IN;"), 6, {4, -1, -1, -1, -1, 1}},
        {"another character before IN", Text("xIN;PU;"), 6, {0, -1, -1, -1, -1, -1}},
        {"HP-GL of the library's plotter driver", Text(hpgl), 6, {4, 742, 530, 4, 1, 2}},
        {"HP-GL, count 5: no page scan", Text(hpgl), 5, {4, 742, 530, 4, 1, 99}},
        {"count 1: the kind only", Text(hpgl), 1, {4, 99, 99, 99, 99, 99}},
        {"count 0: the kind only", Text(hpgl), 0, {4, 99, 99, 99, 99, 99}},
        {"HP-GL model 12: no size", Text("IN; IP 0 0 1015 1015\r\nSC-13 12\r\n"), 6, {4, -1, -1, -1, 12, 1}},
        {"HP-GL extent and size beyond 32 bits", Text("IN; IP -2147483647 0 2147483647 10\r\nSC-13 2\r\n"), 6,
         {4, 302877223, 0, 6, 2, 1}},
        {"HP-GL/2 behind ESC %0B", Text(hpgl2), 6, {5, 769, 561, 256, 2, 1}},
        {"HP-GL/2 kind from SC -13", Text(kEsc + "%0B\r\nIN;IP 0 0 1015 2031\r\nSC-13 13\r\n"), 6, {5, 72, 144, 2, 3, 1}},
        {"PostScript with its box", Text("%!PS-Adobe-3.0 EPSF-3.0\n  %%BoundingBox: 0 0 612 792\n"), 6,
         {10, 612, 792, 1, -1, -1}},
        {"PostScript box at end", Text("%!PS-Adobe-3.0\n%%BoundingBox: (atend)\n"), 6, {10, -1, -1, 0, -1, -1}},
        {"PostScript box on line 3", Text("%!PS-Adobe-3.0\n%%Creator: x\n%%BoundingBox: 0 0 1 1\n"), 6,
         {10, -1, -1, 0, -1, -1}},
        {"DXF of the library's layout", Text(DxfText("612.7", "-792.2")), 6, {14, 612, -792, -1, -1, -1}},
        {"DXF size beyond the integer range", Text(DxfText("3e9", "1e30")), 6, {14, -1, -1, -1, -1, -1}},
        {"DXF after comments", Text("999\r\nmade by hand\r\n999\r\nagain\r\n  0\r\nSECTION\r\n"), 2,
         {14, -1, 99, 99, 99, 99}},
        {"DXF comments, then another group", Text("999\nmade by hand\n  5\nSECTION\n"), 6, {0, -1, -1, -1, -1, -1}},
        {"0 without SECTION in 20 bytes", Text("0\r\n                    SECTION\r\n"), 6, {0, -1, -1, -1, -1, -1}},
        {"SVG", Text(svgHead + "<svg width=\"300.9\"\n height=\"100\">\n<svg width=\"8in\" height=\"200\">\n"), 6,
         {16, 300, -1, -1, -1, -1}},
        {"SVG of 8in and 100%",
         Text(svgHead + "<SVG width=\"8in\" height=\"100%\" viewBox=\"0 0 1 1\">\n"), 6, {16, -1, -1, -1, -1, -1}},
        {"SVG without DOCTYPE", Text("<?xml version=\"1.0\"?>\n<svg width=\"10\" height=\"10\"/>\n"), 6,
         {0, -1, -1, -1, -1, -1}},
        {"PCX header", Cat({{10, 5, 1, 8, 0, 0, 0, 0, 99, 0, 49, 0}, ByteString(53, 0), {3}}), 6,
         {2, 100, 50, 16777216, 5, 24}},
        {"BMP", Bmp(300, 200, 8, 1), 6, {1, 300, 200, 256, 1, 8}},
        {"BMP top-down, 32 bits, bit fields", Bmp(7, -9, 32, 3), 6, {1, 7, 9, 16777216, 0, 32}},
        {"BMP of 31 bits", Bmp(1, 1, 31, 0), 6, {1, 1, 1, -1, 0, 31}},
        {"BMP of 48 bits", Bmp(1, INT32_MIN, 48, 0), 6, {1, 1, -1, 0, 0, 48}},
        {"OS/2 BMP (12-byte header)", Bmp(3, 3, 24, 0, 12), 6, {0, -1, -1, -1, -1, -1}},
        {"BMP header cut at 22 bytes", Cut(Bmp(3, 3, 8, 0), 22), 6,
         {1, 3, -1, -1, -1, -1}},
        {"plain metafile", plainWmf, 6, {3, -1, -1, 0, -1, -1}},
        {"placeable metafile", Placeable(1439, 719, 1440), 6, {3, 72, 36, 1, -1, -1}},
        {"placeable metafile of 0 units per inch", Placeable(1439, 719, 0), 6, {3, -1, -1, 1, -1, -1}},
        {"enhanced metafile", Enhanced(25399, 12699), 6, {3, 720, 360, 2, -1, -1}},
        {"enhanced metafile, widest frame", Enhanced(INT32_MAX, -1), 6, {3, 60873552, 0, 2, -1, -1}},
        {"CGM of two pictures", Cgm(twoPictures), 6, {6, 1000, 499, 2, -1, -1}},
        {"CGM of a flat extent", Cgm(flatExtent), 6, {6, 1000, 1000, 1, -1, -1}},
        {"PIC of three pictures", Pic(3), 6, {7, 3201, 2312, 3, -1, -1}},
        {"PIC, count 3: no picture scan", Pic(3), 3, {7, 3201, 2312, 99, 99, 99}},
        {"PIC header only", Pic(0), 4, {7, 3201, 2312, 1, 99, 99}},
        {"Draw", Draw(64000, -6399), 6, {8, 100, -9, -1, -1, -1}},
        {"Tektronix", Text(kEsc + "[?38h" + kEsc + "\x0c"), 6, {9, -1, -1, -1, -1, -1}},
        {"PCL at 75 dots per inch, colour", Text(kEsc + "E" + kEsc + "*r-3U" + kEsc + "*v6W" + kEsc + "*t75R" + kEsc + "*r1A s3u1A"),
         6, {11, -1, -1, 8, 75, -1}},
        {"PCL positioned, no resolution", Text(kEsc + "&a0700h1000V" + kEsc + "*r1A"), 6, {11, -1, -1, 2, -1, -1}},
        {"PCL resolution 0", Text(kEsc + "E" + kEsc + "*t0R"), 6, {11, -1, -1, 2, -1, -1}},
        {"PCL resolution of 12 digits", Text(kEsc + "E" + kEsc + "*t999999999999R"), 6, {11, -1, -1, 2, -1, -1}},
        {"PCL resolution cut by the file's end", Text(kEsc + "E" + kEsc + "*t"), 6, {11, -1, -1, 2, -1, -1}},
        {"ESC/P2 at 72 units", Cat({Text(kEsc + "@" + kEsc + "(U"), {1, 0, 50}, Text(kEsc + "r"), {4}}), 6,
         {12, -1, -1, 8, 72, -1}},
        {"ESC/P2 unit 0", Cat({Text(kEsc + "@" + kEsc + "(U"), {1, 0, 0}}), 6, {12, -1, -1, 0, -1, -1}},
        {"ESC/P2 unit cut by the file's end", Cat({Text(kEsc + "@" + kEsc + "(U"), {1, 0}}), 6, {12, -1, -1, 0, -1, -1}},
        {"ESC/P unidirectional", Cat({Text(kEsc + "U"), {1}, Text(kEsc + "r"), {4}}), 6, {13, -1, -1, 8, -1, -1}},
        {"ESC U 0", Cat({Text(kEsc + "U"), {0, 0}}), 6, {0, -1, -1, -1, -1, -1}},
        {"PNG palette 4 bits, interlaced", Png(640, 480, 4, 3, 1), 6, {15, 640, 480, 16, 1, 4}},
        {"PNG RGB", Png(1, 2, 8, 2, 0), 6, {15, 1, 2, 16777216, 0, 24}},
        {"PNG grey", Png(1, 2, 8, 0, 0), 6, {15, 1, 2, -1, 0, -1}},
        {"PNG palette of 31 bits, width beyond the integer range", Png(0x80000000u, 2, 31, 3, 0), 6,
         {15, -1, 2, -1, 0, 31}},
        {"blanks and NULs only", blanks, 6, {0, -1, -1, -1, -1, -1}},
        {"three bytes", Text("IN;"), 6, {-1, -1, -1, -1, -1, -1}},
        {"nothing", {}, 6, {-1, -1, -1, -1, -1, -1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Dump(InfoOf(row.bytes, row.count)), Dump(row.want));
    }
}

TEST(ImageFileInfo, NamesThatAreNoFileAndTheReportLevel)
{
    const ErrorState saved = gErrorState;
    YYErrorLevelSet(kReportNone);
    EXPECT_EQ(InfoOfFile("   ")[0], -1);
    EXPECT_EQ(InfoOfFile(TempName("no such file.bmp"))[0], -1);
    EXPECT_EQ(Dump(InfoOfFile(TempName("no such folder\\x.bmp"))), "-1 -1 -1 -1 -1 -1 ");
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    gErrorState.lastCode = 0;
    EXPECT_EQ(InfoOfFile(dir)[0], -1); // a folder as the name
    EXPECT_EQ(gErrorState.lastCode, 1);
    // The text scans run at level 0 (their conversion errors only recorded)
    // and give the level back.
    gErrorState.level = kReportStdout;
    gErrorState.lastCode = 0;
    InfoOf(Text("%!PS\n%%BoundingBox: (atend)\n"));
    EXPECT_EQ(gErrorState.level, kReportStdout);
    EXPECT_NE(gErrorState.lastCode, 0);
    InfoOf(Text("<?xml \n<!DOCTYPE svg>\n<svg width=\"8in\" height=\"x\">\n"));
    EXPECT_EQ(gErrorState.level, kReportStdout);
    gErrorState = saved;
}

TEST(ImageFileInfo, AShortFileIsNotReadWithTheLastFilesBytes)
{
    InfoOf(Bmp(640, 480, 24, 0));
    EXPECT_EQ(InfoOf(ByteString{'B', 'M', 0, 0})[0], 0);
    InfoOf(Png(1, 1, 8, 2, 0));
    EXPECT_EQ(InfoOf(ByteString(kPngFileSignature, kPngFileSignature + 6))[0], 0);
}

// Files of 4 GiB and 4 KiB, sparse (made by truncate where the host has it),
// with a real PostScript or PNG head: their kind and words, read from the
// first bytes and lines only. The image reader refuses the PostScript file
// with 27 from its first bytes, without loading it.
TEST(ImageFileInfo, AFileOverFourGibibytesGetsItsKindAndWords)
{
    constexpr std::int64_t kSize = (std::int64_t(1) << 32) + 4096;
    struct Big {
        const char* what;
        ByteString head;
        Record want;
    };
    const std::vector<Big> files = {
        {"PostScript", Text("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 612 792\n%%Pages: 1\n"),
         {10, 612, 792, 1, -1, -1}},
        {"PNG", Png(5000, 4000, 8, 2, 0), {15, 5000, 4000, 16777216, 0, 24}},
    };
    const std::string name = TempName("big.bin");
    for (const Big& f : files) {
        SCOPED_TRACE(f.what);
        WriteAll(name, f.head);
        if (unixtools::Available("/usr/bin/truncate")) {
            ASSERT_EQ(unixtools::Run("/usr/bin/truncate -s " + std::to_string(kSize) + " '" +
                                     unixtools::UnixPath(name) + "'"),
                      0);
        } else {
            HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE);
            LARGE_INTEGER size;
            size.QuadPart = kSize;
            EXPECT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h));
            CloseHandle(h);
        }
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data));
        ASSERT_EQ((std::int64_t(data.nFileSizeHigh) << 32) + data.nFileSizeLow, kSize);
        EXPECT_EQ(Dump(InfoOfFile(name, 6)), Dump(f.want));
        if (f.want[0] == kImageFilePostScript) {
            std::vector<int> image(4, 7);
            gErrorState.lastCode = 0;
            IGrLoadImageData(name, image);
            EXPECT_EQ(gErrorState.lastCode, 27);
        }
    }
    DeleteFileA(name.c_str());
}

// The scanners report their read errors (2) as over a named file, and
// their counts so far still make the words.
TEST(ImageFileInfo, ScannerErrorsAreReportedAndTheWordsStand)
{
    const ErrorState saved = gErrorState;
    YYErrorLevelSet(kReportNone);
    gErrorState.lastCode = 0;
    const ByteString noEnd = Cgm({{0, 1, {}}, {1, 17, Ints16({0, 0, 200, 100})}, {0, 5, {}}});
    EXPECT_EQ(Dump(InfoOf(noEnd)), "6 1000 500 1 -1 -1 ");
    EXPECT_EQ(gErrorState.lastCode, 2);
    gErrorState.lastCode = 0;
    gErrorState.osError = 5;
    ByteString shortSkip = Pic(2);
    shortSkip.insert(shortSkip.end(), {0xA0, 1});
    EXPECT_EQ(Dump(InfoOf(shortSkip)), "7 3201 2312 2 -1 -1 ");
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_EQ(gErrorState.osError, 0);
    gErrorState = saved;
}

// The decoder's fixtures: the kind the decoder reads them as, their size
// (a top-down BMP by its rows) and the same kind from the decoder's test.
TEST(ImageFileInfo, ImageFixturesAgreeWithTheDecoder)
{
    for (int i = 0; i < kImageFixtureCount; ++i) {
        const ImageFixture& f = kImageFixtures[i];
        SCOPED_TRACE(f.name);
        const ByteString bytes(f.bytes, f.bytes + f.size);
        const Record r = InfoOf(bytes);
        EXPECT_EQ(r[0], f.kind);
        EXPECT_EQ(ImageKindOf(bytes), r[0]);
        EXPECT_EQ(r[1], f.width);
        EXPECT_EQ(r[2], f.height);
        ImageHeader header;
        ImageHeaderRead(bytes, header);
        EXPECT_EQ(header.kind, r[0]);
        EXPECT_EQ(header.height, r[2]);
    }
    // Kinds the decoder does not read are 0 for it.
    for (const ByteString& other : {Text("IN;SP1;"), Pic(1), Text(kEsc + "E" + kEsc + "*t300R")}) {
        EXPECT_EQ(ImageKindOf(other), 0);
        EXPECT_GT(ImageFileKindOf(other), 0);
    }
    EXPECT_EQ(ImageKindOf(Text("BM")), -1);
}

// The bad-input corpus of tests/hardcopy/make_detection_corpus.py: every
// file gives a kind from -1 to 16 and -1 words when it is not recognised,
// and the report level comes back as it was. The special cases (all but the
// cut and bit-flipped variants) go by name too, where they must give the
// words their bytes give and be closed again (they can be deleted); the
// variants go as bytes, which is the same code and much faster under Wine.
TEST(ImageFileInfo, BadInputCorpus)
{
    if (!unixtools::Available("/usr/bin/python3"))
        GTEST_SKIP() << "python3 is missing: the corpus cannot be made";
    // The script beside this source file (the build names sources by their
    // absolute path).
    std::string script = __FILE__;
    script = script.substr(0, script.find_last_of("/\\") + 1) + "make_detection_corpus.py";
    if (script.front() != '/')
        GTEST_SKIP() << "the source folder is not known: " << script;
    const std::string folder = TempName("corpus");
    std::string output;
    ASSERT_EQ(unixtools::Run("/usr/bin/python3 '" + script + "' '" + unixtools::UnixPath(folder) + "'", &output), 0)
        << output;
    const ErrorState saved = gErrorState;
    YYErrorLevelSet(kReportStdout);
    int files = 0;
    WIN32_FIND_DATAA found;
    HANDLE scan = FindFirstFileA((folder + "\\*").c_str(), &found);
    ASSERT_NE(scan, INVALID_HANDLE_VALUE);
    do {
        const std::string leaf = found.cFileName;
        if (leaf == "." || leaf == "..")
            continue;
        SCOPED_TRACE(leaf);
        const std::string path = folder + "\\" + leaf;
        gErrorState.level = kReportNone; // scanner errors of a broken file are only recorded
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EXPECT_EQ(InfoOfFile(path)[0], -1);
            continue;
        }
        Record r;
        ImageFileInfoOf(ReadAll(path), r, 6);
        EXPECT_EQ(gErrorState.level, kReportNone);
        EXPECT_GE(r[0], -1);
        EXPECT_LE(r[0], 16);
        if (r[0] <= 0) {
            EXPECT_EQ(Dump(r).substr(Dump(r).find(' ')), " -1 -1 -1 -1 -1 ");
        }
        if (leaf.find("_cut") == std::string::npos && leaf.find("_flip") == std::string::npos) {
            EXPECT_EQ(Dump(InfoOfFile(path)), Dump(r));
            EXPECT_TRUE(DeleteFileA(path.c_str()));
        }
        ++files;
    } while (FindNextFileA(scan, &found));
    FindClose(scan);
    unixtools::Run("rm -rf '" + unixtools::UnixPath(folder) + "'");
    EXPECT_GT(files, 5000);
    gErrorState = saved;
}

// Files written by other programs. Each row: the tool it needs, the shell
// command (OUT and DATA stand for the Unix paths of the output file and of
// a small data file of three points), the kind, and the words (index from 1,
// value) it must give; a word of value kNear is checked by CHECK.
struct Foreign {
    const char* what;
    const char* tool;
    std::string command;
    int kind;
    std::vector<std::pair<int, int>> words;
};

std::string Replace(std::string s, const std::string& from, const std::string& to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

TEST(ImageFileInfo, FilesWrittenByOtherPrograms)
{
    if (unixtools::UnixPath("C:\\").empty())
        GTEST_SKIP() << "not running under Wine: the host's programs cannot be run";
    const std::string gs = "/usr/bin/gs -q -dSAFER -dBATCH -dNOPAUSE ";
    const std::string drawing = " -sOutputFile=OUT -c 'newpath 72 72 moveto 200 200 lineto stroke showpage'";
    const std::vector<Foreign> rows = {
        {"Ghostscript ljet4", "/usr/bin/gs", gs + "-r300 -sDEVICE=ljet4" + drawing, 11, {{4, 2}, {5, 300}}},
        {"Ghostscript epson", "/usr/bin/gs", gs + "-sDEVICE=epson" + drawing, 12, {{2, -1}}},
        {"Ghostscript stcolor", "/usr/bin/gs", gs + "-r72 -sDEVICE=stcolor" + drawing, 12, {{5, 72}}},
        {"Ghostscript eps2write", "/usr/bin/gs", gs + "-sDEVICE=eps2write" + drawing, 10, {{2, -1}, {3, -1}, {4, 0}}},
        {"graph -T cgm", "/usr/bin/graph", "graph -T cgm DATA > OUT", 6, {{2, 1000}, {4, 1}}},
        {"graph -T hpgl, version 1", "/usr/bin/graph", "HPGL_VERSION=1 graph -T hpgl DATA > OUT", 4, {{6, 1}}},
        {"graph -T pcl", "/usr/bin/graph", "graph -T pcl DATA > OUT", 5, {{6, 1}}},
        {"graph -T tek", "/usr/bin/graph", "graph -T tek DATA > OUT", 9, {{2, -1}}},
        {"graph -T svg", "/usr/bin/graph", "graph -T svg DATA > OUT", 16, {{2, -1}, {3, -1}}},
        {"plot -T cgm of three metafiles", "/usr/bin/plot",
         "graph -T meta DATA > OUT.meta && plot -T cgm OUT.meta OUT.meta OUT.meta > OUT; rm -f OUT.meta", 6,
         {{4, 3}}},
        {"graph -T cgm, 8 x 4 inches", "/usr/bin/graph",
         "graph -T cgm --page-size 'a4,xsize=8in,ysize=4in' DATA > OUT", 6, {{2, 1000}, {4, 1}}},
        {"ezdxf", "/usr/bin/python3",
         "/usr/bin/python3 -c \"import sys, ezdxf; d = ezdxf.new(); d.modelspace().add_line((0, 0), (1, 1)); "
         "d.saveas(sys.argv[1])\" OUT",
         14, {}},
        {"ImageMagick grey PNG", "/usr/bin/convert",
         "/usr/bin/convert -size 8x4 gradient: -define png:color-type=0 -depth 8 png:OUT", 15,
         {{2, 8}, {3, 4}, {4, -1}, {6, -1}}},
    };
    const std::string data = TempName("points.txt");
    {
        std::ofstream out(data);
        out << "0 0\n1 1\n2 0\n";
    }
    const std::string out = TempName("foreign.out");
    for (const Foreign& f : rows) {
        SCOPED_TRACE(f.what);
        if (!unixtools::Available(f.tool)) {
            std::printf("[  SKIP    ] %s: %s is missing\n", f.what, f.tool);
            continue;
        }
        DeleteFileA(out.c_str());
        std::string output;
        const std::string command =
            Replace(Replace(f.command, "OUT", "'" + unixtools::UnixPath(out) + "'"), "DATA",
                    "'" + unixtools::UnixPath(data) + "'");
        const int status = unixtools::Run(command, &output);
        if (status != 0 && f.kind == 14 && output.find("No module named") != std::string::npos) {
            std::printf("[  SKIP    ] %s: python3-ezdxf is missing\n", f.what);
            continue;
        }
        ASSERT_EQ(status, 0) << command << "\n" << output;
        const Record r = InfoOfFile(out);
        EXPECT_EQ(r[0], f.kind) << Dump(r);
        for (auto [word, value] : f.words)
            EXPECT_EQ(r[static_cast<std::size_t>(word - 1)], value) << "word " << word << ": " << Dump(r);
        if (std::string(f.what).find("8 x 4") != std::string::npos) {
            EXPECT_GE(r[2], 495); // 1000 / a ratio near 2
            EXPECT_LE(r[2], 505);
        }
    }
    DeleteFileA(out.c_str());
    DeleteFileA(data.c_str());
}

// Windows metafiles as Wine's GDI writes them (plain and enhanced) and as
// LibreOffice writes them (placeable and enhanced).
TEST(ImageFileInfo, MetafilesOfTheSystemsGdi)
{
    const std::string plain = TempName("gdi.wmf"), enhanced = TempName("gdi.emf");
    HDC dc = CreateMetaFileA(plain.c_str());
    ASSERT_NE(dc, nullptr);
    Rectangle(dc, 0, 0, 100, 50);
    DeleteMetaFile(CloseMetaFile(dc));
    const RECT frame = {0, 0, 2540 * 4, 2540 * 2}; // 4 x 2 inches in hundredths of a millimetre
    dc = CreateEnhMetaFileA(nullptr, enhanced.c_str(), &frame, nullptr);
    ASSERT_NE(dc, nullptr);
    Rectangle(dc, 0, 0, 100, 50);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));

    EXPECT_EQ(Dump(InfoOfFile(plain)), "3 -1 -1 0 -1 -1 ");
    const Record r = InfoOfFile(enhanced);
    EXPECT_EQ(r[0], 3);
    EXPECT_EQ(r[3], 2);
    EXPECT_NEAR(r[1], 288, 1);
    EXPECT_NEAR(r[2], 144, 1);
    DeleteFileA(plain.c_str());
    DeleteFileA(enhanced.c_str());

    // LibreOffice's placeable and enhanced metafiles of one picture (a frame
    // of 4994 x 2348 hundredths of a millimetre) give the same size.
    std::string fixtures = __FILE__;
    fixtures = fixtures.substr(0, fixtures.find_last_of("/\\") + 1) + "fixtures/";
    if (fixtures.front() != '/' || unixtools::UnixPath("C:\\").empty())
        GTEST_SKIP() << "the fixture folder is not reachable: " << fixtures;
    EXPECT_EQ(Dump(InfoOfFile("Z:" + fixtures + "scene_libreoffice.wmf")), "3 141 66 1 -1 -1 ");
    EXPECT_EQ(Dump(InfoOfFile("Z:" + fixtures + "scene_libreoffice.emf")), "3 141 66 2 -1 -1 ");
}

} // namespace

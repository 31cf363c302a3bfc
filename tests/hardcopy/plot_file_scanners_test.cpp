// The plot file scanners: PIC pictures, CGM pictures and drawing-space
// ratio, HP-GL pages. Hand-made files for the framing and the edge cases
// (each scanned from memory and, where the file routine adds something,
// from a file), files written by plotutils, and files of our own CGM and
// HP-GL drivers.
#include <gtest/gtest.h>
#include <windows.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "cgm_walker.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "graph_file_fixture.h"
#include "hardcopy/plot_file_scanners.h"
#include "scratch_files.h"
#include "unix_tools.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes W16(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values) {
        b.push_back(static_cast<std::uint8_t>(v >> 8));
        b.push_back(static_cast<std::uint8_t>(v));
    }
    return b;
}

Bytes W32(std::initializer_list<std::int64_t> values)
{
    Bytes b;
    for (std::int64_t v : values)
        for (int shift = 24; shift >= 0; shift -= 8)
            b.push_back(static_cast<std::uint8_t>(v >> shift));
    return b;
}

std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

// One element of the binary encoding: short form below 31 bytes, else one
// long-form partition; odd lists padded.
Bytes El(int cls, int id, const Bytes& params = {})
{
    const int n = static_cast<int>(params.size());
    Bytes b = n < 31 ? W16({cls << 12 | id << 5 | n}) : W16({cls << 12 | id << 5 | 31, n});
    b = b + params;
    if (n & 1)
        b.push_back(0);
    return b;
}

// An element of TOTAL parameter bytes in long-form partitions of at most PART
// bytes each; the bytes read as END PICTURE headers where a scanner took them
// for elements.
Bytes Partitioned(int cls, int id, int total, int part)
{
    Bytes b = W16({cls << 12 | id << 5 | 31});
    while (total > 0) {
        const int n = std::min(total, part);
        total -= n;
        b = b + W16({(total > 0 ? 0x8000 : 0) | n});
        for (int k = 0; k < n + (n & 1); ++k)
            b.push_back(k & 1 ? 0xA0 : 0x00);
    }
    return b;
}

const Bytes kBegin = El(0, 1, {4, 'T', 'e', 's', 't'});
const Bytes kEnd = El(0, 2);
const Bytes kPicture = El(0, 3) + El(0, 4) + El(4, 1, W16({0, 0, 10, 10})) + El(0, 5);
Bytes MaxExtent(const Bytes& v) { return El(1, 17, v); }
Bytes VdcExtent(const Bytes& v) { return El(2, 6, v); }

struct CgmCase {
    const char* what;
    Bytes file;
    int rc, count;
    float ratio;
};

TEST(PlotFileScanners, CgmPicturesAndRatio)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Bytes extent = W16({0, 0, 32767, 16383});
    const Bytes realType = El(1, 3, W16({1}));
    const std::vector<CgmCase> cases = {
        {"two pictures, maximum extent", kBegin + MaxExtent(extent) + kPicture + kPicture + kEnd, kErrorNone, 2,
         32767.0f / 16383.0f},
        {"maximum extent inside METAFILE DEFAULTS REPLACEMENT",
         kBegin + El(1, 12, MaxExtent(extent) + El(1, 4, W16({16}))) + kPicture + kEnd, kErrorNone, 1,
         32767.0f / 16383.0f},
        {"long-form METAFILE DEFAULTS REPLACEMENT",
         kBegin + El(1, 12, El(1, 5, Bytes(40, 0)) + MaxExtent(extent)) + kPicture + kEnd, kErrorNone, 1,
         32767.0f / 16383.0f},
        {"VDC extent after the maximum extent",
         kBegin + MaxExtent(extent) + El(0, 3) + VdcExtent(W16({0, 0, 100, 400})) + El(0, 5) + kEnd, kErrorNone, 1,
         32767.0f / 16383.0f},
        {"only a VDC extent, flipped", kBegin + El(0, 3) + VdcExtent(W16({100, 0, 0, 400})) + El(0, 5) + kEnd,
         kErrorNone, 1, -0.25f},
        {"neither extent", kBegin + kPicture + kPicture + kPicture + kEnd, kErrorNone, 3, 1.0f},
        {"no picture", kBegin + kEnd, kErrorNone, 1, 1.0f},
        {"real VDC", kBegin + realType + VdcExtent(W32({Bits(-1.0f), 0, Bits(7.0f), Bits(4.0f)})) + kPicture + kEnd,
         kErrorNone, 1, 2.0f},
        {"32-bit VDC integers",
         kBegin + El(3, 1, W16({32})) + VdcExtent(W32({-2000000000, 0, 2000000000, 1000000000})) + kEnd, kErrorNone,
         1, 4.0f},
        {"32-bit integers, then a 32-bit VDC precision in them",
         kBegin + El(1, 4, W16({32})) + El(3, 1, W32({32})) + VdcExtent(W32({0, 0, 300, 100})) + kEnd, kErrorNone, 1,
         3.0f},
        {"VDC integer precision 24: the integer extent after it is not found",
         kBegin + El(3, 1, W16({24})) + VdcExtent(W16({0, 0, 300, 100})) + kEnd, kErrorNone, 1, 1.0f},
        {"VDC integer precision 8 keeps the earlier extent",
         kBegin + VdcExtent(W16({0, 0, 300, 100})) + El(3, 1, W16({8})) + VdcExtent(W16({0, 0, 100, 100})) + kEnd,
         kErrorNone, 1, 3.0f},
        {"integer precision 8: a VDC precision in it is not read",
         kBegin + El(1, 4, W16({8})) + El(3, 1, {32}) + VdcExtent(W16({0, 0, 300, 100})) + kEnd, kErrorNone, 1, 1.0f},
        {"VDC integer precision list too short: unused",
         kBegin + El(3, 1, {32}) + VdcExtent(W16({0, 0, 300, 100})) + kEnd, kErrorNone, 1, 3.0f},
        {"list too short for its values", kBegin + MaxExtent(W16({0, 0, 300})) + kEnd, kErrorNone, 1, 1.0f},
        {"list too short for 32-bit values",
         kBegin + El(3, 1, W16({32})) + VdcExtent(W16({0, 0, 300, 100})) + kEnd, kErrorNone, 1, 1.0f},
        {"longer list than the buffer: its start decoded",
         kBegin + VdcExtent(W16({0, 0, 600, 100}) + Bytes(60, 0xFF)) + kEnd, kErrorNone, 1, 6.0f},
        {"x2 = x1", kBegin + VdcExtent(W16({5, 0, 5, 100})) + kEnd, kErrorNone, 1, 1.0f},
        {"y2 = y1 falls back to the VDC extent",
         kBegin + MaxExtent(W16({0, 7, 100, 7})) + VdcExtent(W16({0, 0, 200, 100})) + kEnd, kErrorNone, 1, 2.0f},
        {"NaN real extent", kBegin + realType + VdcExtent(W32({0, 0, Bits(nan), Bits(1.0f)})) + kEnd, kErrorNone, 1,
         1.0f},
        {"signalling NaN real extent", kBegin + realType + VdcExtent(W32({0x7F800001u, 0, Bits(1.0f), Bits(1.0f)})) + kEnd,
         kErrorNone, 1, 1.0f},
        {"infinite real extent", kBegin + realType + VdcExtent(W32({0, 0, Bits(inf), Bits(1.0f)})) + kEnd, kErrorNone,
         1, 1.0f},
        {"extent of the whole real range over the smallest height",
         kBegin + realType + VdcExtent(W32({Bits(-3.4e38f), 0, Bits(3.4e38f), 1})) + kEnd, kErrorNone, 1,
         std::numeric_limits<float>::max()},
        {"ratio below the smallest real",
         kBegin + realType + VdcExtent(W32({0, 0, 1, Bits(3.4e38f)})) + kEnd, kErrorNone, 1, 1.0f},
        {"40,000 bytes in partitions",
         kBegin + El(0, 3) + Partitioned(4, 9, 40000, 8000) + El(0, 5) + kEnd, kErrorNone, 1, 1.0f},
        {"partitions of odd length",
         kBegin + Partitioned(4, 9, 40000, 1000) + Partitioned(4, 9, 5001, 2000) + kPicture + kEnd,
         kErrorNone, 1, 1.0f},
        {"no END METAFILE", kBegin + kPicture + kPicture, kErrorFileReadWrite, 2, 1.0f},
        {"empty file", {}, kErrorFileReadWrite, 1, 1.0f},
        {"one byte", {0x00}, kErrorFileReadWrite, 1, 1.0f},
        {"long-form length word missing", kBegin + kPicture + W16({0x11BF}), kErrorFileReadWrite, 1, 1.0f},
        {"length past the end", kBegin + kPicture + W16({0x401F, 200}) + Bytes(10, 0), kErrorFileReadWrite, 1, 1.0f},
        {"decoded list past the end", kBegin + MaxExtent(extent) + W16({0x20C8, 0, 0}), kErrorFileReadWrite, 1,
         32767.0f / 16383.0f},
        {"endless partitions", kBegin + kPicture + W16({0x409F, 0x8002, 0, 0x8002, 0, 0x8002, 0}),
         kErrorFileReadWrite, 1, 1.0f},
    };
    for (const CgmCase& c : cases) {
        SCOPED_TRACE(c.what);
        int count = -5;
        float ratio = -5.0f;
        EXPECT_EQ(CgmPictureInfo(c.file, count, ratio), c.rc);
        EXPECT_EQ(count, c.count);
        EXPECT_FLOAT_EQ(ratio, c.ratio);
    }
}

TEST(PlotFileScanners, CgmValues)
{
    const Bytes b = W16({0xFFFF, 0x7FFF}) + W32({0x80000000LL, 0x40000000LL, 0x7F800001LL, 0xFF800000LL});
    EXPECT_EQ(YYCgmInteger(b, 1, 16), -1);
    EXPECT_EQ(YYCgmInteger(b, 3, 16), 32767);
    EXPECT_EQ(YYCgmInteger(b, 2, 16), -129); // 0xFF7F: any position
    EXPECT_EQ(YYCgmInteger(b, 5, 32), std::numeric_limits<int>::min());
    EXPECT_EQ(YYCgmInteger(b, 5, 24), std::numeric_limits<int>::min()); // not 16: four bytes
    EXPECT_EQ(YYCgmInteger(b, 1, 32), -32769);
    EXPECT_EQ(YYCgmInteger(b, 18, 32), 0); // past the end
    EXPECT_EQ(YYCgmInteger(b, 0, 16), 0);
    EXPECT_EQ(YYCgmReal(b, 9), 2.0f);
    const float nan = YYCgmReal(b, 13);
    EXPECT_TRUE(Bits(nan) & 0x00400000u) << "a signalling NaN comes back quiet";
    EXPECT_TRUE(std::isnan(nan));
    EXPECT_EQ(YYCgmReal(b, 17), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(YYCgmReal(b, 18), 0.0f);
    EXPECT_EQ(YYCgmReal(b, -3), 0.0f);
}

const Bytes kPicHeader(17, 0x11);

struct CountCase {
    const char* what;
    Bytes file;
    int rc, count;
};

TEST(PlotFileScanners, PicPictures)
{
    const std::vector<CountCase> cases = {
        {"header only", kPicHeader, kErrorNone, 1},
        {"three pictures", kPicHeader + Bytes{0x60, 0x6F, 0x65}, kErrorNone, 3},
        {"skipped blocks hide picture codes",
         kPicHeader + Bytes{0x30, 1, 0x60, 0x60, 0x60, 0x60, 0x60, 0x60, 0x60, 0x60, 0x61, 0xE0, 0, 0x62, 0x62, 0x62,
                            0x62, 0x63},
         kErrorNone, 2},
        {"operand bytes are skipped",
         kPicHeader + Bytes{0xA0, 0x60, 0x60, 0x60, 0x60, 0xA2, 0x61, 0x61, 0x61, 0x61, 0xAC, 0x62, 0x62, 0x62, 0x62,
                            0xA7, 0x63, 0x64},
         kErrorNone, 1},
        {"a text up to its 0 byte", kPicHeader + Bytes{0xA8, 0x60, 0x61, 0x62, 0x00, 0x6A, 0x00, 0x6B}, kErrorNone, 2},
        {"other opcodes", kPicHeader + Bytes{0x00, 0x5F, 0x70, 0xFF, 0x60}, kErrorNone, 1},
        {"short header", Bytes(16, 0x60), kErrorFileReadWrite, 1},
        {"empty file", {}, kErrorFileReadWrite, 1},
        {"skip past the end", kPicHeader + Bytes{0x60, 0x61, 0x30, 255, 0x60}, kErrorFileReadWrite, 2},
        {"block length missing", kPicHeader + Bytes{0x60, 0xE0}, kErrorFileReadWrite, 1},
        {"text without its 0 byte", kPicHeader + Bytes{0x60, 0x60, 0xA8, 1, 0x60}, kErrorFileReadWrite, 2},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.what);
        int count = -5;
        EXPECT_EQ(PicPictureCount(c.file, count), c.rc);
        EXPECT_EQ(count, c.count);
    }
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(PlotFileScanners, HpglPages)
{
    const std::vector<CountCase> cases = {
        {"SC-3 twice", Text("IN;\nSC-3 0 0 32760\nPA1,1;\r\nSC-3 0 0 32760;SC0 32760 0 32760\r\n"), kErrorNone, 2},
        {"CO: with a title is not counted", Text("CO:\"3\" title\nCO: 3\nSC-3\nSC-3\n"), kErrorNone, 2},
        {"comments with code 3", Text("CO\"3 12\";\n  CO\"  3\";\nCO\"13 4\";\nCO\"3\n"), kErrorNone, 3},
        {"the first command only", Text("PU;SC-3\nSC-3\nSC-3\n"), kErrorNone, 2},
        {"a token with a semicolon reads as 0", Text("SC-3;\nSC -3 ;\nSC-3\n"), kErrorNone, 2},
        {"beyond the first 10 characters", Text("SC       -3\nCO        \"3\"\nSC-3\nSC-3\n"), kErrorNone, 2},
        {"leading blanks", Text("      SC-3\n        SC\n         S\n   CO\"3\"\n"), kErrorNone, 2},
        {"other values and blank records",
         Text("SC-2\nSC3\nSC\n\n   \nCO\"\"\nCO\nCO3\nCO\"4\"3\"\nSC-3\nSC-3\n"), kErrorNone, 2},
        {"last line without its end, CR only lines", Text("SC-3\rSC-3\rSC-3"), kErrorNone, 3},
        {"line of 100,000 characters", Text("SC-3 " + std::string(100000, 'x') + "\nSC-3" + std::string(100000, ' ')),
         kErrorNone, 2},
        {"binary bytes", Bytes{0, 0xFF, 0x80, '\n', 'S', 'C', 0, '3', '\n'}, kErrorNone, 1},
        {"empty file", {}, kErrorNone, 1},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.what);
        int count = -5;
        EXPECT_EQ(HpglPageCount(c.file, count), c.rc);
        EXPECT_EQ(count, c.count);
    }
}

// The file routines: a scratch folder, the error lines delivered at level 3
// collected, the error state saved and put back.
class PlotFileScannerFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = gErrorState;
        Lines().clear();
        YYErrorLevelSet(kReportStatusBar);
        ErrorStatusBarDeliverySet([](std::string_view line) { Lines().emplace_back(line); });
    }
    void TearDown() override
    {
        ErrorStatusBarDeliverySet(nullptr);
        gErrorState = saved_;
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
    }
    std::string File(const std::string& leaf, const Bytes& bytes)
    {
        std::string name = TempName(leaf);
        WriteAll(name, bytes);
        files_.push_back(name);
        return name;
    }
    // Whether nothing holds NAME open: it can be renamed and renamed back.
    static bool Closed(const std::string& name)
    {
        const std::string other = name + ".moved";
        if (!MoveFileExA(name.c_str(), other.c_str(), 0))
            return false;
        return MoveFileExA(other.c_str(), name.c_str(), 0) != 0;
    }
    static std::vector<std::string>& Lines()
    {
        static std::vector<std::string> lines;
        return lines;
    }
    // The error lines, and whether exactly one was CODE under NAME.
    static bool ReportedOnce(int code, std::string_view name)
    {
        const std::string line = ErrorLineCompose(code, name);
        return Lines().size() == 1 && Lines()[0] == line;
    }

    ErrorState saved_;
    std::vector<std::string> files_;
};

TEST_F(PlotFileScannerFiles, ReadAndClosed)
{
    const std::string pic = File("three.pic", kPicHeader + Bytes{0x60, 0x61, 0x62});
    const std::string cgm =
        File("two.cgm", kBegin + MaxExtent(W16({0, 0, 32767, 16383})) + kPicture + kPicture + kEnd);
    const std::string hpgl = File("two.plt", Text("IN;\nSC-3;\nSC-3 1\nCO\"3\"\n"));
    int count = 0;
    YYCNTPIC("  " + pic + "  ", count);
    EXPECT_EQ(count, 3);
    float ratio = 0.0f;
    YYINFOCGM(cgm, count, ratio);
    EXPECT_EQ(count, 2);
    EXPECT_FLOAT_EQ(ratio, 32767.0f / 16383.0f);
    YYCNTHPG(hpgl, count);
    EXPECT_EQ(count, 2);
    // "SC-3;" was parsed at level 0: recorded, not delivered; the level is back.
    EXPECT_EQ(gErrorState.lastCode, kErrorInvalidCharacter);
    EXPECT_EQ(gErrorState.level, kReportStatusBar);
    EXPECT_TRUE(Lines().empty());
    for (const std::string& f : {pic, cgm, hpgl})
        EXPECT_TRUE(Closed(f)) << f;
}

TEST_F(PlotFileScannerFiles, OpenFailuresLeaveTheResults)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string missing = TempName("missing.plt");
    for (const std::string& name : {missing, std::string(temp), std::string("   ")}) {
        SCOPED_TRACE(name);
        int count = 7;
        float ratio = 7.0f;
        Lines().clear();
        YYCNTPIC(name, count);
        EXPECT_TRUE(ReportedOnce(kErrorFileOpen, "YYCNTPIC"));
        Lines().clear();
        YYINFOCGM(name, count, ratio);
        EXPECT_TRUE(ReportedOnce(kErrorFileOpen, "YYINFOCGM"));
        Lines().clear();
        YYCNTHPG(name, count);
        EXPECT_TRUE(ReportedOnce(kErrorFileOpen, "YYCNTHPG"));
        EXPECT_EQ(gErrorState.osErrorKind, 1);
        EXPECT_EQ(count, 7);
        EXPECT_EQ(ratio, 7.0f);
        EXPECT_EQ(gErrorState.level, kReportStatusBar);
    }
}

TEST_F(PlotFileScannerFiles, ShortFilesReportTwoAndClose)
{
    const std::string pic = File("short.pic", kPicHeader + Bytes{0x60, 0x61, 0x30, 200});
    const std::string cgm = File("short.cgm", kBegin + kPicture + W16({0x409F, 0x8002, 0, 0x8002}));
    int count = 0;
    gErrorState.osError = 99;
    YYCNTPIC(pic, count);
    EXPECT_TRUE(ReportedOnce(kErrorFileReadWrite, "YYCNTPIC"));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(gErrorState.osError, 0);
    EXPECT_EQ(gErrorState.osErrorKind, 2);
    Lines().clear();
    float ratio = 0.0f;
    YYINFOCGM(cgm, count, ratio);
    EXPECT_TRUE(ReportedOnce(kErrorFileReadWrite, "YYINFOCGM"));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(ratio, 1.0f);
    EXPECT_TRUE(Closed(pic));
    EXPECT_TRUE(Closed(cgm));
}

// Files written by plotutils: three pages of one metafile, and a page of
// 8 x 4 inches.
TEST_F(PlotFileScannerFiles, PlotutilsCgm)
{
    if (!unixtools::Available("/usr/bin/graph") || !unixtools::Available("/usr/bin/plot"))
        GTEST_SKIP() << "plotutils (graph, plot) not installed";
    const std::string three = TempName("three.cgm"), wide = TempName("wide.cgm"), meta = TempName("a.meta");
    files_.insert(files_.end(), {three, wide, meta});
    const std::string m = unixtools::UnixPath(meta);
    ASSERT_EQ(unixtools::Run("echo 0 0 1 1 2 0 | graph -T meta > '" + m + "' && plot -T cgm '" + m + "' '" + m +
                             "' '" + m + "' > '" + unixtools::UnixPath(three) + "'"),
              0);
    ASSERT_EQ(unixtools::Run("echo 0 0 1 1 2 0 | graph -T cgm --page-size 'a4,xsize=8in,ysize=4in' > '" +
                             unixtools::UnixPath(wide) + "'"),
              0);
    int count = 0;
    float ratio = 0.0f;
    YYINFOCGM(three, count, ratio);
    EXPECT_EQ(count, 3);
    EXPECT_FLOAT_EQ(ratio, 1.0f);
    YYINFOCGM(wide, count, ratio);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(ratio, 2.0f, 0.01f);
    EXPECT_TRUE(Lines().empty());
}

// Our own drivers: the application's graph on two pages as CGM (pictures and
// the page's proportions, checked against the test walker's reading of the
// VDC EXTENT) and as HP-GL and HP-GL/2 (pages).
class PlotFileScannerRoundTrip : public GraphFileTest {
protected:
    std::string TwoPages(int driver, const std::string& name, const std::function<void()>& options = {})
    {
        Open(driver, name, options);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        SplinePlotDraw();
        Op(DeviceOp::kEndPage);
        SplinePlotDraw();
        Close();
        return path_;
    }
};

TEST_F(PlotFileScannerRoundTrip, CgmDriver)
{
    const std::string file = TwoPages(kDriverCgm, "pages.cgm");
    const float width = static_cast<float>(gHardcopyState.option(1));
    const float height = static_cast<float>(gHardcopyState.option(2));
    const std::string bytes = Bytes();
    const cgmwalk::Walk walk = cgmwalk::WalkCgm(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    ASSERT_TRUE(walk.ok) << walk.error;
    const auto extents = walk.All(2, 6);
    ASSERT_FALSE(extents.empty());
    const cgmwalk::Element& e = *extents.front();
    const float walked = static_cast<float>(e.Word(4) - e.Word(0)) / static_cast<float>(e.Word(6) - e.Word(2));

    int count = 0;
    float ratio = 0.0f;
    YYINFOCGM(file, count, ratio);
    EXPECT_EQ(count, walk.CountOf(0, 5));
    EXPECT_EQ(count, 2);
    EXPECT_FLOAT_EQ(ratio, walked);
    EXPECT_NEAR(ratio, width / height, 0.01f * width / height);
    EXPECT_EQ(gErrorState.lastCode, kErrorNone);
}

TEST_F(PlotFileScannerRoundTrip, HpglDrivers)
{
    for (int driver : {kDriverHpgl, kDriverHpgl2}) {
        SCOPED_TRACE(driver);
        const std::string file = TwoPages(driver, "pages.plt", [] { YYHardcopyOption(18, 1); });
        int count = 0;
        YYCNTHPG(file, count);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(gErrorState.level, kReportNone);
    }
}

} // namespace

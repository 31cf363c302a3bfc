// The HP-GL command writers: the squeeze, fields wider than their format,
// the 7-bit polyline encoding and its line breaks, the pen colour with the
// colour swap, raster fill patterns and the line prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_fixture.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/hpgl_commands.h"
#include "hardcopy/plot_output.h"

namespace {

// The lines BODY writes to plot unit 2 (CR LF taken off), with the line
// prefix PREFIX and plot scales of 1.
std::vector<std::string> Written(const std::function<void()>& body, int prefix = 2)
{
    GraphicsStateGuard guard;
    const HpglCommandState savedCommands = gHpglCommandState;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string name = std::string(temp) + "kvb_hpgl_" + std::to_string(GetCurrentProcessId()) + ".plt";
    PutText(std::span<char>(gDeviceTextBuffer.text), name);
    YYPlotOpen(kPlotUnit);
    gHardcopyState.scaleX = 1.0f;
    gHardcopyState.scaleY = 1.0f;
    gHpglCommandState.linePrefix = prefix;
    body();
    YYPlotClose(kPlotUnit);
    gHpglCommandState = savedCommands;
    std::ifstream in(name, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(name.c_str());
    std::vector<std::string> lines;
    for (size_t start = 0; start < all.size();) {
        size_t end = all.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF";
        if (end == std::string::npos)
            end = all.size();
        lines.push_back(all.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Values of a 7-bit encoded polyline body: characters 63..94 carry five bits
// each, least significant first, and a character 95..126 the last five; the
// lowest bit of the number is its sign.
std::vector<int64_t> Decode(std::string_view body)
{
    std::vector<int64_t> out;
    uint64_t v = 0;
    int shift = 0;
    for (char c : body) {
        const unsigned u = static_cast<unsigned char>(c);
        if (u >= 63 && u <= 126) {
            v |= static_cast<uint64_t>(u >= 95 ? u - 95 : u - 63) << shift;
            shift += 5;
            if (u >= 95) {
                const int64_t m = static_cast<int64_t>(v >> 1);
                out.push_back((v & 1) ? -m : m);
                v = 0;
                shift = 0;
            }
        } else {
            ADD_FAILURE() << "character " << u << " in an encoded polyline";
        }
    }
    EXPECT_EQ(shift, 0) << "the last value is unfinished";
    return out;
}

TEST(HpglCommands, Squeeze)
{
    const struct {
        std::string_view in, out;
    } cases[] = {
        {"SC", "SC"},
        {"          ", "  "},                                 // blanks: the two positions only
        {"IN; IP      0      0  10851   7916", "IN; IP 0 0 10851 7916"},
        {"PU;SP  5", "PU;SP 5"},
        {"PU   120   471", "PU120 471"},                    // the run after the mnemonic goes
        {"RO 90; IP", "RO90; IP"},
        {"RO  0; IP", "RO0; IP"},
        {"FT2;PT  0.28", "FT2;PT 0.28"},
        {"SP1     ", "SP1"},                                // trailing blanks go
        {"SC-1 16711680     0 3276;SC0 32760 0 32760", "SC-1 16711680 0 3276;SC0 32760 0 32760"},
        {"  PD", "  PD"},                                   // positions 1 and 2 stay
    };
    for (const auto& c : cases)
        EXPECT_EQ(HpglSqueeze(c.in), c.out) << "'" << c.in << "'";
}

TEST(HpglCommands, FieldsKeepTheirBytesOrAllTheirDigits)
{
    auto point = [](double x, double y) {
        return Written([&] { YYHpglPointCommand("PU", x, y); }).at(0);
    };
    EXPECT_EQ(point(120, 471), "PU120 471");
    EXPECT_EQ(point(-12345, -12345), "PU-12345-12345"); // six characters fit (I6)
    EXPECT_EQ(point(1234567, -7654321), "PU1234567 -7654321");
    EXPECT_EQ(point(2.0e12, std::nan("")), "PU2147480064 0"); // saturated; not a number is 0
    std::string s = "X";
    HpglFixed(s, 123456.5, 7, 1);
    HpglFixed(s, 2.0, 7, 1);
    EXPECT_EQ(s, "X 123456.5    2.0");
}

TEST(HpglCommands, PolylineEncodingTable)
{
    const struct {
        int64_t v;
        std::string_view code;
    } cases[] = {
        {0, "_"}, {1, "a"}, {-1, "b"}, {15, "}"}, {16, "?`"}, {-16, "@`"}, {32760, "O^^`"},
    };
    for (const auto& c : cases) {
        std::string s;
        HpglEncode(s, c.v);
        EXPECT_EQ(s, c.code) << c.v;
    }
    // Values of the whole 32-bit range of plot units and beyond come back.
    for (int64_t v : {int64_t{-32760}, int64_t{65535}, int64_t{2147480064}, int64_t{-4294960128},
                      int64_t{4294960128}}) {
        std::string s;
        HpglEncode(s, v);
        EXPECT_EQ(Decode(s), std::vector<int64_t>{v}) << v;
    }
}

// Points 2..N as deltas, in lines that break before 247 characters; no point
// is lost or repeated across the breaks, also with deltas of 64 bits.
TEST(HpglCommands, EncodedPolylineLines)
{
    EXPECT_EQ(Written([] { YYHpglEncodedPolyline(1); }), std::vector<std::string>{"PE7;"});

    struct Case {
        const char* what;
        float amplitude;
        size_t longest;
    };
    for (const Case& c : {Case{"plot units", 32000.0f, 247 + 8 + 1}, Case{"saturated", 2.0e9f, 260}}) {
        DevicePointArrays& a = gDevicePointArrays;
        const int n = 300;
        a.Reserve(n);
        std::vector<int64_t> x(n), y(n);
        for (int i = 0; i < n; ++i) {
            a.x[static_cast<size_t>(i)] = (i % 2 ? c.amplitude : -c.amplitude) + static_cast<float>(i);
            a.y[static_cast<size_t>(i)] = static_cast<float>(i * 7 % 13) - 0.5f;
            x[static_cast<size_t>(i)] = YYDeviceTrunc(a.x[static_cast<size_t>(i)]);
            y[static_cast<size_t>(i)] = YYDeviceTrunc(a.y[static_cast<size_t>(i)]);
        }
        const std::vector<std::string> lines = Written([&] { YYHpglEncodedPolyline(n); });
        ASSERT_GT(lines.size(), 2u) << c.what;
        std::vector<int64_t> values;
        for (size_t k = 0; k < lines.size(); ++k) {
            const std::string& l = lines[k];
            ASSERT_EQ(l.substr(0, 3), "PE7") << c.what;
            ASSERT_EQ(l.back(), ';') << c.what;
            EXPECT_LE(l.size(), c.longest) << c.what << " line " << k;
            if (k + 1 < lines.size() && c.amplitude < 32760.0f) {
                EXPECT_GE(l.size(), 247u + 1) << "line " << k << " ends before 247 characters";
            }
            const std::vector<int64_t> v = Decode(std::string_view(l).substr(3, l.size() - 4));
            EXPECT_EQ(v.size() % 2, 0u) << "a point cut across lines";
            values.insert(values.end(), v.begin(), v.end());
        }
        ASSERT_EQ(values.size(), 2u * (n - 1)) << c.what;
        int64_t px = x[0], py = y[0];
        for (size_t i = 1; i < static_cast<size_t>(n); ++i) {
            px += values[2 * (i - 1)];
            py += values[2 * (i - 1) + 1];
            ASSERT_EQ(px, x[i]) << c.what << " point " << i;
            ASSERT_EQ(py, y[i]) << c.what << " point " << i;
        }
    }
}

TEST(HpglCommands, PenColourWithTheColourSwap)
{
    const struct {
        int swap, r, g, b;
        std::string_view line;
    } cases[] = {
        {0, 255, 0, 0, "PC5 255 0 0"},   {1, 255, 0, 0, "PC5 0 255 255"}, {2, 255, 0, 0, "PC5 255 0 0"},
        {2, 5, 5, 5, "PC5 250 250 250"}, {2, 5, 20, 5, "PC5 5 20 5"},     {2, 250, 246, 255, "PC5 5 9 0"},
        {2, 245, 250, 250, "PC5 245 250 250"}, {0, 300, -4, 7, "PC5 255 0 7"},
    };
    for (const auto& c : cases) {
        const auto lines = Written([&] {
            gHardcopyState.option(6) = c.swap;
            YYHpglPenColour(5, c.r, c.g, c.b);
        });
        EXPECT_EQ(lines, std::vector<std::string>{std::string(c.line)}) << "swap " << c.swap;
    }
    EXPECT_EQ(Written([] { YYHpglPenColour(255, 1, 2, 3); }).at(0), "PC255 1 2 3");
}

TEST(HpglCommands, RasterPatternBits)
{
    const struct {
        uint32_t mask;
        std::string_view first, second;
    } cases[] = {
        {0x00000000u, "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,", "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;"},
        {0xFFFFFFFFu, "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,", "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0;"},
        {0x80000001u, "0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,", "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,0;"},
        {0x0000FF00u, "1,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0,", "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Written([&] { YYHpglFillPattern(c.mask); }),
                  (std::vector<std::string>{std::string(c.first), std::string(c.second)}))
            << std::hex << c.mask;
    // The checkerboard of two masks: the first where row + column is even.
    EXPECT_EQ(HpglCheckerboard(0xFFFFFFFFu, 0u), 0xAA55AA55u);
    EXPECT_EQ(HpglCheckerboard(0u, 0xFFFFFFFFu), 0x55AA55AAu);
    EXPECT_EQ(HpglCheckerboard(0x0F0F0F0Fu, 0xF0F0F0F0u), 0x5AA55AA5u);
}

TEST(HpglCommands, LinePrefixAndLabels)
{
    const auto lines = Written(
        [] {
            YYHpglCommandWrite("          ");
            YYHpglTextWrite("SP1");
            YYHpglLabelWrite("Text\x03");
            YYHpglLineWrite("\x1b%0B");
        },
        1);
    EXPECT_EQ(lines, (std::vector<std::string>{"   ", " SP1", " LBText\x03", " \x1b%0B"}));
    EXPECT_EQ(Written([] { YYHpglLabelWrite("A\x04"); }), std::vector<std::string>{"LBA\x04"});
    // Only 50 characters of a text reach the buffer.
    EXPECT_EQ(Written([] { YYHpglTextWrite(std::string(49, 'A') + "BC"); }).at(0), std::string(49, 'A') + "B");
}

TEST(HpglCommands, LabelAndTitleTexts)
{
    GraphicsStateGuard guard;
    const std::string text = std::string("a\x04") + "b\x03;c";
    std::copy(text.begin(), text.end(), gDeviceTextBuffer.text.begin());
    gDeviceParameterBlock.IX[0] = static_cast<int>(text.size());
    EXPECT_EQ(HpglLabelText('\x04'), "a b\x03;c");
    gDeviceParameterBlock.IX[0] = 100000;
    EXPECT_EQ(HpglLabelText('\x04').size(), static_cast<size_t>(kDeviceTextLength));
    EXPECT_EQ(HpglTitleText("Run 3;\r\nnext\t  "), "Run 3  next");
}

} // namespace

// The configuration-file parser on plain lines, the application of lines to
// the settings (with the errors they report) and reading files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/child_process.h"
#include "core/config_file.h"
#include "core/errors.h"

using namespace startup_test;

namespace {

struct ParseCase {
    std::string line;
    ConfigLine::Kind kind;
    std::string key;
    std::string value;
    std::string rest;
};

TEST(ConfigFile, LineParser)
{
    using K = ConfigLine::Kind;
    const std::vector<ParseCase> cases = {
        {" debug = 2 ", K::Setting, "DEBUG   ", "2", "2 "},
        {"PRINTER=29", K::Setting, "PRINTER ", "29", "29"},
        {"lfnploti=7 and more", K::Setting, "LFNPLOTI", "7", "7 and more"},
        {"DE=3", K::Ignored, "", "", ""},                    // key shorter than 3
        {"=4", K::Ignored, "", "", ""},                      // no key
        {"  =4", K::Ignored, "", "", ""},
        {"PRINTER", K::Ignored, "", "", ""},                 // no "="
        {"PRINTER =   ", K::Ignored, "", "", ""},            // no value
        {"PRINTER=abc", K::Setting, "PRINTER ", "abc", "abc"},
        {"DEBUGGER=1", K::Setting, "DEBUGGER", "1", "1"},    // matches no key when applied
        {"LFNPLOTIX=5", K::Setting, "LFNPLOTI", "5", "5"},   // cut to 8 characters
        {"a b c = 1", K::Ignored, "", "", ""},               // first token left of "=" is "a"
        {"key word = v w", K::Setting, "KEY     ", "v", "v w"},
        {"\tCHARSET\t=\tmy font.chr\t ", K::Setting, "CHARSET ", "my", "my font.chr  "},
        {"PRINTER==5", K::Setting, "PRINTER ", "=5", "=5"},
        {"VERSION=x", K::Version, "VERSION ", "", ""},
        {"ver=", K::Version, "VER     ", "", ""},
        {"verbose", K::Ignored, "", "", ""},
        {"", K::Ignored, "", "", ""},
        // The first "=" at position 269 counts, at 270 not.
        {std::string(268, 'x') + "=5", K::Setting, "XXXXXXXX", "5", "5"},
        {std::string(269, 'x') + "=5", K::Ignored, "", "", ""},
        // A line is cut at 270 characters.
        {"PRINTER=" + std::string(262, ' ') + "7", K::Ignored, "", "", ""},
        {"PRINTER=" + std::string(261, ' ') + "7", K::Setting, "PRINTER ", "7", "7"},
    };
    for (const ParseCase& c : cases) {
        ConfigLine p = ConfigLineParse(c.line);
        SCOPED_TRACE("line '" + c.line + "'");
        EXPECT_EQ(p.kind, c.kind);
        if (c.kind != K::Ignored) {
            EXPECT_EQ(p.key, c.key);
        }
        if (c.kind == K::Setting) {
            EXPECT_EQ(p.value, c.value);
            EXPECT_EQ(p.rest, c.rest);
        }
    }
}

// Error lines reported while a test runs, caught at level 3.
std::vector<std::string> gReports;

class ConfigApply : public testing::Test {
protected:
    void SetUp() override
    {
        gErrorState = ErrorState{};
        gReports.clear();
        ErrorStatusBarDeliverySet([](std::string_view line) { gReports.emplace_back(line); });
    }
    void TearDown() override
    {
        ErrorStatusBarDeliverySet(nullptr);
        gErrorState = ErrorState{};
    }
};

TEST_F(ConfigApply, KeysValuesAndErrors)
{
    ConfigSettings s;
    s.CHARDIR = "C:\\lib\\charsets";
    s.CHARSET = "standard.chr";
    ConfigTextApply(" debug = 3 \n"
                    "DE=2\n"
                    "=4\n"
                    "PRINTER=abc\n"
                    "LFNGEN=42\n"
                    "LFNPLOTI=40\n"
                    "DEBUGGER=1\n"
                    "PLOTTER = 12 junk\r\n"
                    "HPGL2=4\n"
                    "CHARDIR = C:\\my fonts\\dir  \n"
                    "CHARSET=12\n"
                    "PRINTER=3000000000\n"
                    "PRINTER=29\n"
                    "LFNGEN=50\n"
                    "LFNPLOTI=40\n"
                    "DEBUG=7",
                    s);
    EXPECT_EQ(gErrorState.level, 3); // DEBUG=3 took effect, DE=2 and DEBUG=7 not
    EXPECT_EQ(s.PRINTER, 29);
    EXPECT_EQ(s.PLOTTER, 12);
    EXPECT_EQ(s.HPGL2, 4);
    EXPECT_EQ(s.LFNGEN, 50);   // 42 refused while LFNPLOTI was 42
    EXPECT_EQ(s.LFNPLOTI, 40); // 40 refused while LFNGEN was 40, taken after LFNGEN became 50
    EXPECT_EQ(s.CHARDIR, "C:\\my fonts\\dir  ");
    EXPECT_EQ(s.CHARSET, "12"); // text, not a number
    EXPECT_FALSE(s.versionRequested);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gReports, (std::vector<std::string>{
                            "Routine:IStringToInteger Error=  12:Invalid character detected",
                            "Routine:IStringToInteger Error=   4:Number too large in string to numeric conversion",
                        }));
}

TEST_F(ConfigApply, NumbersAndVersion)
{
    struct Case {
        const char* line;
        int printer; // starting from 5
    } cases[] = {
        {"PRINTER=-5", -5},    {"PRINTER= +7 x", 7}, {"PRINTER=2147483647", 2147483647},
        {"PRINTER=2147483648", 5}, {"PRINTER=00000000001", 5}, {"PRINTER=12a", 5},
        {"PRINTER=-", 0},      // a sign without digits gives 0 without error
    };
    for (const Case& c : cases) {
        ConfigSettings s;
        s.PRINTER = 5;
        ConfigTextApply(c.line, s);
        EXPECT_EQ(s.PRINTER, c.printer) << c.line;
        EXPECT_EQ(gErrorState.lastCode, 0) << c.line;
    }

    ConfigSettings v;
    ConfigTextApply("PRINTER=3\nversion=x\nPLOTTER=2", v);
    EXPECT_TRUE(v.versionRequested);
    EXPECT_EQ(v.PLOTTER, 2);
    ConfigSettings w;
    ConfigTextApply("  Ver=", w);
    EXPECT_TRUE(w.versionRequested);
}

TEST_F(ConfigApply, Files)
{
    std::string dir = NewScratchFolder();
    ASSERT_FALSE(dir.empty());
    ConfigSettings s;
    EXPECT_FALSE(ConfigFileApply(dir + "\\missing.ini", s));
    EXPECT_EQ(s.PRINTER, 0);

    // CR LF lines, a long line whose tail would set a key, and a last line
    // without a line end.
    std::string longLine = "PLOTTER=3" + std::string(270, ' ') + "PRINTER=9";
    WriteFile(dir + "\\a.ini", "HPGL2=2\r\n" + longLine + "\r\n\r\n  \tLFNGEN\t=\t77\r\nPRINTER=31");
    EXPECT_TRUE(ConfigFileApply(dir + "\\a.ini", s));
    EXPECT_EQ(s.HPGL2, 2);
    EXPECT_EQ(s.PLOTTER, 3);
    EXPECT_EQ(s.LFNGEN, 77);
    EXPECT_EQ(s.PRINTER, 31);

    ConfigSettings e;
    WriteFile(dir + "\\empty.ini", "");
    EXPECT_TRUE(ConfigFileApply(dir + "\\empty.ini", e));
    EXPECT_EQ(e.LFNGEN, 40);
}

} // namespace

// The parameter log "povi.txt": its exact bytes for the cases the dialog
// produces, the reversion of the integer format onto a second line, and a
// file that cannot be written.
#include <gtest/gtest.h>

#include "app/parameter_log.h"

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

const std::string kOn = "  1.00E+00";
const std::string kOff = "  0.00E+00";

struct LogCase {
    const char* name;
    std::vector<int32_t> p;
    std::vector<double> c;
    int plot;
    std::vector<std::string> lines;
};

TEST(ParameterLog, RecordsAreExact)
{
    const std::vector<LogCase> cases = {
        {"start values", {0, 0, 0, 0}, {1, 1, 1, 1, 1, 1, 1}, 1,
         {"    0     0     0", "    0",
          kOn + " " + kOn + " " + kOn + " " + kOn + " " + kOn + " " + kOn + " " + kOn, "    1"}},
        {"p2 = 40", {0, 40, 0, 0}, {1, 1, 1, 1, 1, 1, 1}, 1,
         {"    0    40     0", "    0",
          kOn + " " + kOn + " " + kOn + " " + kOn + " " + kOn + " " + kOn + " " + kOn, "    1"}},
        {"T3 off, second derivatives, extremes", {100, 40, 7, 100}, {1, 1, 0, 1, 1, 1, 1}, 3,
         {"  100    40     7", "  100",
          kOn + " " + kOn + " " + kOff + " " + kOn + " " + kOn + " " + kOn + " " + kOn, "    3"}},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> r = ParameterLogRecords(c.p, c.c, c.plot);
        ASSERT_EQ(r, c.lines);
        EXPECT_EQ(r[0].size(), 17u);
        EXPECT_EQ(r[1].size(), 5u);
        EXPECT_EQ(r[2].size(), 76u);
        EXPECT_EQ(r[3].size(), 5u);
    }
}

// A value too wide for I5 fills its field with asterisks; the lines keep their widths.
TEST(ParameterLog, OverwideValueGivesAsterisks)
{
    std::vector<std::string> r = ParameterLogRecords(std::vector<int32_t>{123456, 0, 0, 0},
                                                     std::vector<double>(7, 1.0), 2);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], "*****     0     0");
}

class ParameterLogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char old[MAX_PATH], temp[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "kestrow_povi_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    }
    void TearDown() override
    {
        DeleteFileA("povi.txt");
        RemoveDirectoryA("povi.txt");
        SetCurrentDirectoryA(oldDir_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::string oldDir_, dir_;
};

// The file holds exactly the four records with CR LF, and a longer old file
// is replaced, not overwritten in place.
TEST_F(ParameterLogFile, RewritesWholeFile)
{
    {
        std::ofstream old("povi.txt", std::ios::binary);
        old << std::string(500, 'x');
    }
    const std::vector<int32_t> p{0, 40, 0, 0};
    const std::vector<double> c{1, 1, 0, 1, 1, 1, 1};
    ASSERT_EQ(ParameterLogWrite(p, c, 2), kParameterLogOk);
    const std::string expected = "    0    40     0\r\n    0\r\n" + kOn + " " + kOn + " " + kOff + " " + kOn + " " +
                                 kOn + " " + kOn + " " + kOn + "\r\n    2\r\n";
    EXPECT_EQ(ReadFile("povi.txt"), expected);
}

TEST_F(ParameterLogFile, UnwritableFileIsReported)
{
    ASSERT_TRUE(CreateDirectoryA("povi.txt", nullptr));
    EXPECT_EQ(ParameterLogWrite(std::vector<int32_t>(4, 0), std::vector<double>(7, 1.0), 1),
              kParameterLogOpenFailed);
}

} // namespace

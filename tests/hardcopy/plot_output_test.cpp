// Plot unit 2, raw writes, and the print command that a hardcopy close runs
// on the temporary plot file.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/os_services.h"
#include "graphics/graphics_fixture.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_output.h"

namespace {

std::string TempFolder()
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return dir;
}

std::string ReadAll(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void OutputName(std::string_view name) { PutText(std::span<char>(gDeviceTextBuffer.text), name); }

std::span<const std::uint8_t> Bytes(std::string_view s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

class PlotOutputTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    std::string folder = TempFolder();
    void TearDown() override { YYPlotClose(kPlotUnit); }
};

TEST_F(PlotOutputTest, LinesEndInCrLfAndBytesGoAsTheyAre)
{
    const std::string name = folder + "kvbtest_unit.plt";
    OutputName(name);
    gHardcopyState.outputAbort = -1;
    YYPlotOpen(kPlotUnit);
    EXPECT_EQ(gHardcopyState.outputAbort, 0);
    int handle = -1;
    YYPROU(kPlotUnit, handle);
    ASSERT_NE(handle, -1);
    YYPlotPutLine(kPlotUnit, "IN;SP1;   "); // trailing blanks are written
    YYPlotPutBytes(kPlotUnit, Bytes("\x1b%0Bxyz"), 5);
    YYPRBU(handle, Bytes("abcdef"), 3, false);
    YYPRBU(handle, Bytes("PG;"), 3, true);
    YYPlotClose(kPlotUnit);
    YYPROU(kPlotUnit, handle);
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(ReadAll(name), std::string("IN;SP1;   \r\n\x1b%0BxabcPG;\r\n"));
    DeleteFileA(name.c_str());
}

// Many lines pass the unit's buffer several times; direct writes to the handle
// in between keep their place; a write that fails when the buffer is written
// out is still the unit's error 2 with the abort flag, at close at the latest.
TEST_F(PlotOutputTest, BufferedLinesKeepTheirBytesAndOrderAndFailuresSurfaceAtClose)
{
    const std::string name = folder + "kvbtest_many.plt";
    OutputName(name);
    YYPlotOpen(kPlotUnit);
    std::string want;
    for (int i = 0; i < 20000; ++i) {
        const std::string line = "PD" + std::to_string(i) + "," + std::to_string(2 * i) + ";";
        YYPlotPutLine(kPlotUnit, line);
        want += line + "\r\n";
        if (i % 7000 == 0) {
            int handle = -1;
            YYPROU(kPlotUnit, handle);
            YYPRBU(handle, Bytes("<direct>"), 8, true);
            want += "<direct>\r\n";
        }
    }
    YYPlotClose(kPlotUnit);
    EXPECT_EQ(ReadAll(name), want);

    // The unit's handle swapped for one that cannot be written: the lines are
    // taken, and the failure comes out when the unit is closed.
    int readOnly = -1, err = 0;
    OsFileOpen(name.c_str(), 0, readOnly, err);
    ASSERT_NE(readOnly, -1);
    OutputName(folder + "kvbtest_other.plt");
    YYPlotOpen(kPlotUnit);
    int writable = -1;
    YYPROU(kPlotUnit, writable);
    gHardcopyState.plotUnits[kPlotUnit] = readOnly;
    gErrorState.lastCode = 0;
    YYPlotPutLine(kPlotUnit, "SP1;");
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gHardcopyState.outputAbort, 0);
    YYPlotClose(kPlotUnit);
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_EQ(gHardcopyState.outputAbort, -1);
    OsFileClose(writable);
    DeleteFileA((folder + "kvbtest_other.plt").c_str());
    DeleteFileA(name.c_str());
}

TEST_F(PlotOutputTest, NamesKeepLeadingBlanksAndLoseTrailingOnes)
{
    const std::string leaf = "kvbtest blank.plt";
    OutputName("  " + leaf); // relative: the current folder
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    SetCurrentDirectoryA(folder.c_str());
    YYPlotOpen(kPlotUnit);
    YYPlotClose(kPlotUnit);
    EXPECT_NE(GetFileAttributesA(("  " + leaf).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(leaf.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(("  " + leaf).c_str());
    SetCurrentDirectoryA(cwd);
}

TEST_F(PlotOutputTest, FailuresReportAndRaiseTheAbortFlag)
{
    // A blank name: error 1 with no system code.
    OutputName("");
    gErrorState.lastCode = 0;
    gErrorState.osErrorKind = 2;
    YYPlotOpen(kPlotUnit);
    EXPECT_EQ(gErrorState.lastCode, 1);
    EXPECT_EQ(gErrorState.osErrorKind, 0);
    EXPECT_EQ(gHardcopyState.outputAbort, -1);

    // A name the system cannot create: error 1 with its code.
    OutputName(folder + "no\\such\\folder\\x.plt");
    gErrorState.lastCode = 0;
    YYPlotOpen(kPlotUnit);
    EXPECT_EQ(gErrorState.lastCode, 1);
    EXPECT_EQ(gErrorState.osErrorKind, 2);
    EXPECT_NE(gErrorState.osError, 0);
    EXPECT_EQ(gHardcopyState.outputAbort, -1);

    // Writing to the failed unit: error 2 under each writer's name.
    gErrorState.lastCode = 0;
    YYPlotPutLine(kPlotUnit, "SP1;");
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_NE(ErrorLineCompose(2, "YYPROU").find("YYPROU"), std::string::npos);
    gErrorState.lastCode = 0;
    gHardcopyState.outputAbort = 0;
    YYPRBU(-1, Bytes("x"), 1, false);
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_EQ(gHardcopyState.outputAbort, -1);

    // Units outside the table are refused, not indexed.
    int handle = 5;
    YYPROU(kPlotUnitCount, handle);
    EXPECT_EQ(handle, -1);
    gErrorState.lastCode = 0;
    YYPlotOpen(-1);
    EXPECT_EQ(gErrorState.lastCode, 1);
    YYPlotClose(99);
}

TEST_F(PlotOutputTest, PrintCommandLineByPlatform)
{
    char buffer[64];
    std::string_view line = PrintCommandLine(4, "copy a b", buffer);
    EXPECT_EQ(line, std::string_view("cmd.exe /c copy a b\0", 20));
    line = PrintCommandLine(3, "copy a b", buffer);
    EXPECT_EQ(line, std::string_view("command.com /c copy a b\0", 24));
    char tiny[8];
    line = PrintCommandLine(4, "copy a b", tiny);
    EXPECT_EQ(line.size(), 8u);
    EXPECT_EQ(line.back(), '\0');
}

TEST_F(PlotOutputTest, FailingCommandReportsError13)
{
    gErrorState.lastCode = 0;
    YYPRNCMD("exit 0");
    EXPECT_EQ(gErrorState.lastCode, 0);
    // The interpreter runs to its end even when the command fails; only a
    // command line the system cannot start is an error.
    gErrorState.lastCode = 0;
    YYPRNCMD(std::string(40000, 'x'));
    EXPECT_EQ(gErrorState.lastCode, 13);
    EXPECT_NE(gErrorState.status, 0);
}

// A stand-in hardcopy driver that allows print commands and writes its plot
// through unit 2, as the file-writing drivers do.
void PlotWritingDriver(int side, int op)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    if (op == DeviceOp::kInitialise && b.N == kDriverNumberQuery) {
        b.N = kDriverPostScript;
        gHardcopyState.printCommandAllowed = 1;
    } else if (op == DeviceOp::kBeginPlot && b.M == 1) {
        YYPlotOpen(kPlotUnit);
        YYPlotPutLine(kPlotUnit, "%!PS-Adobe-3.0");
    } else if (op == DeviceOp::kEndPlot) {
        YYPlotPutLine(kPlotUnit, "%%EOF");
        YYPlotClose(kPlotUnit);
    }
}

TEST_F(PlotOutputTest, PrintCommandCopiesTheTemporaryPlotAndDeletesIt)
{
    const std::string temp = folder + "kvb$$77.plt";
    const std::string saved = folder + "kvbtest saved.ps";
    DeleteFileA(saved.c_str());
    gLibraryPaths.tempPlotFile = FixedText<260>(temp);
    gLibraryPaths.hardcopyFileName = FixedText<260>("quilplot.ps");
    DeviceDriverOverride(kHardcopySide, PlotWritingDriver);
    const std::string command = "copy @ \"" + saved + "\"";
    std::string_view name = command;
    YYHardcopyOpen(&name);
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
    EXPECT_EQ(gHardcopyState.printCommand.trimmed(), command);
    std::string_view close = "S";
    YYHardcopyOpen(&close);
    DeviceDriverOverride(kHardcopySide, nullptr);

    EXPECT_EQ(ReadAll(saved), "%!PS-Adobe-3.0\r\n%%EOF\r\n");
    EXPECT_EQ(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(gHardcopyState.printCommand.trimmed().empty());
    DeleteFileA(saved.c_str());
}

} // namespace

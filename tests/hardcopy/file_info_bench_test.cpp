// Benchmark, not a timed test: the file-kind detection's scans over large
// files, by name, with every word asked for (count 6, so that the HP-GL page
// scan runs too), in milliseconds per megabyte of file (the median of three
// runs, the file in the system's cache). Timed with QueryPerformanceCounter
// inside the process. Disabled by default;
// bench/file_info_bench.sh runs it, or
//   test_hardcopy --gtest_also_run_disabled_tests --gtest_filter=FileInfoBench.*
// The files go to KESTROW_BENCH_DIR (a Unix or Windows path), else to the
// temporary folder; KESTROW_BENCH_MB sets their size (default 64). Each
// figure is printed as a line
//   bench <name> <milliseconds per megabyte>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "hardcopy/image_file_info.h"
#include "bench_timing.h"

namespace {

using bench::Now;

// HEAD, BODY repeated until the file holds about MEGABYTES MB, then TAIL.
void WriteRepeated(const std::string& path, const std::string& head, const std::string& body,
                   const std::string& tail, int megabytes)
{
    std::string block;
    while (block.size() < (1u << 20))
        block += body;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
    for (int i = 0; i < megabytes; ++i)
        out << block;
    out << tail;
}

TEST(FileInfoBench, DISABLED_ScansPerMegabyte)
{
    const char* mb = std::getenv("KESTROW_BENCH_MB");
    const int megabytes = mb && std::atoi(mb) > 0 ? std::atoi(mb) : 64;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = bench::Folder(std::string(temp) + "kvbbench_" + std::to_string(GetCurrentProcessId()));
    CreateDirectoryA(folder.c_str(), nullptr);
    const ErrorState saved = gErrorState;
    YYErrorLevelSet(kReportNone);
    struct Input {
        const char* name;
        std::string head, body, tail;
        int kind;
    };
    const std::string picOpcodes = std::string(17, '\0');
    const std::vector<Input> inputs = {
        {"hpgl-empty-lines", "IN;\n", "\n", "", kImageFileHpgl},
        {"hpgl-commands", "IN;\n", "PU;PD100,100;SP1;\n", "", kImageFileHpgl},
        {"hpgl2-semicolon-lines", "\x1b%0BIN;\n", std::string(127, ';') + "\n", "", kImageFileHpgl2},
        {"svg-empty-lines", "<?xml version=\"1.0\"?>\n<!DOCTYPE svg>\n", "\n", "", kImageFileSvg},
        {"svg-lines", "<?xml version=\"1.0\"?>\n<!DOCTYPE svg>\n", "<path d=\"M 1 2 L 3 4\"/>\n", "",
         kImageFileSvg},
        {"dxf-comment-pairs", "999\n", "x\n999\n", "x\n0\nSECTION\n", kImageFileDxf},
        {"pic-opcodes", std::string("\x01\0\0\0\x01\0\x08\0D\0\0\0\0\x0c\0\0\0", 17), "\x60\xA7\x01", "",
         kImageFilePic},
        // BEGIN METAFILE, then BEGIN PICTURE and END PICTURE pairs, END METAFILE.
        {"cgm-pictures", std::string("\0\x20", 2), std::string("\0\x60\0\xA0", 4), std::string("\0\x40", 2),
         kImageFileCgm},
    };
    for (const Input& in : inputs) {
        const std::string path = folder + "\\" + in.name;
        WriteRepeated(path, in.head, in.body, in.tail, megabytes);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
        const double bytes = static_cast<double>(data.nFileSizeLow) + 4294967296.0 * data.nFileSizeHigh;
        std::array<int, kImageFileInfoWords> record{};
        YYImageFileInfo(path, record, 1); // the file into the system's cache
        std::vector<double> times;
        for (int i = 0; i < 3; ++i) {
            const double start = Now();
            YYImageFileInfo(path, record, kImageFileInfoWords);
            times.push_back(Now() - start);
        }
        EXPECT_EQ(record[0], in.kind) << in.name;
        std::printf("bench %s %.3f\n", in.name, bench::Median(times) / (bytes / 1048576.0));
        std::fflush(stdout);
        DeleteFileA(path.c_str());
    }
    gErrorState = saved;
    RemoveDirectoryA(folder.c_str());
}

} // namespace

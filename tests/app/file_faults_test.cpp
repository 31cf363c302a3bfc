// The application's result files under real faults (support/file_faults.h):
// writing one reports every failure and never success.
#include <gtest/gtest.h>

#include <string>

#include "app/result_file_writer.h"
#include "support/file_faults.h"

namespace {

TEST(ResultFilesUnderFaults, EachFaultIsReported)
{
    FaultPlaces places;
    if (!places.Missing().empty())
        GTEST_SKIP() << places.Missing();
    std::string text;
    for (int line = 0; line < 201; ++line)
        text += " " + std::to_string(line) + std::string(40, ' ') + "0.000000000000000E+000\r\n";
    CheckWriter(places, "result file", "Kestrow_splines.txt", [&](const std::string& name) {
        const int status = ResultFileWrite(ResultFile{name.c_str(), &text});
        return WriteOutcome{status == kResultFilesOk, status == kResultFilesOpenFailed ||
                                                          status == kResultFilesWriteFailed};
    });
}

} // namespace

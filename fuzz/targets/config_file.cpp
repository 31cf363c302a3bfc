// The configuration file reader on hostile text: the text read line by line
// in memory, and the same bytes read from a file, which must give the same
// settings.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/config_file.h"
#include "fuzz_support.h"

namespace {

// The file the reader opens: a memory file named through /proc (a file on
// disk costs milliseconds a run).
int gFile = -1;
std::string gFileName;

bool Same(const ConfigSettings& a, const ConfigSettings& b)
{
    return a.LFNGEN == b.LFNGEN && a.LFNPLOTI == b.LFNPLOTI && a.PRINTER == b.PRINTER &&
           a.PLOTTER == b.PLOTTER && a.HPGL2 == b.HPGL2 && a.CHARDIR == b.CHARDIR && a.CHARSET == b.CHARSET &&
           a.versionRequested == b.versionRequested;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    gFile = memfd_create("quillo.ini", 0);
    if (gFile == -1)
        fuzz::Fail("cannot create the memory file");
    gFileName = "/proc/self/fd/" + std::to_string(gFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzz::QuietErrorState();
    fuzz::Traps traps;
    ConfigSettings fromText;
    ConfigTextApply(text, fromText);
    fuzz::Check(gErrorState.lastCode == 0, "no error code left behind");

    fuzz::Check(ftruncate(gFile, 0) == 0 && pwrite(gFile, data, size, 0) == static_cast<ssize_t>(size),
                "the memory file takes the input");
    fuzz::QuietErrorState();
    ConfigSettings fromFile;
    fuzz::Check(ConfigFileApply(gFileName, fromFile), "the memory file opens");
    fuzz::Check(Same(fromText, fromFile), "text and file give the same settings");
    fuzz::QuietErrorState();
    return 0;
}

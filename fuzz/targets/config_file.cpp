// The configuration file reader on hostile text: the text read line by line
// in memory, and the same bytes read back from a file, which must give the
// same settings.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/config_file.h"
#include "fuzz_support.h"

namespace {

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
    char name[] = "/tmp/fuzz-config-XXXXXX";
    int fd = mkstemp(name);
    if (fd == -1)
        fuzz::Fail("cannot create the scratch file");
    close(fd);
    gFileName = name;
    std::atexit([] { std::remove(gFileName.c_str()); });
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

    std::FILE* f = std::fopen(gFileName.c_str(), "wb");
    if (!f)
        fuzz::Fail("cannot write the scratch file");
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    fuzz::QuietErrorState();
    ConfigSettings fromFile;
    fuzz::Check(ConfigFileApply(gFileName, fromFile), "the scratch file opens");
    fuzz::Check(Same(fromText, fromFile), "text and file give the same settings");
    fuzz::QuietErrorState();
    return 0;
}

// The file side of the byte sources: blocks read and the file rewound through
// the operating-system file wrappers, so that a failure carries the system's
// code and no library error is reported here.
#include "hardcopy/byte_source.h"

#include <string>

#include "core/os_services.h"

namespace {

// The system's code for a failed seek (ERROR_SEEK), where the seek itself
// gave none.
constexpr int kWindowsSeekError = 25;
// A read from a pipe whose writer has closed it (ERROR_BROKEN_PIPE): the end
// of its bytes, not a failure.
constexpr int kWindowsBrokenPipe = 109;

} // namespace

int ByteFileOpen(std::string_view name, int& err)
{
    err = 0;
    constexpr std::string_view kBlanks(" \0", 2);
    const std::size_t first = name.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return -1;
    const std::string path(name.substr(first, name.find_last_not_of(kBlanks) - first + 1));
    int handle = -1;
    OsFileOpen(path.c_str(), 0, handle, err);
    return handle;
}

bool FileSource::Refill()
{
    if (readError != 0)
        return false;
    int count = 0, err = 0;
    OsFileRead(handle_, block_.data(), static_cast<int>(block_.size()), count, err);
    if (err == kWindowsBrokenPipe)
        return false;
    if (err != 0) {
        readError = err;
        return false;
    }
    if (count <= 0)
        return false;
    at_ = block_.data();
    end_ = block_.data() + count;
    return true;
}

bool FileSource::Rewind()
{
    int pos = 0, err = 0;
    OsFileSeek(handle_, pos, 0, err);
    at_ = end_ = nullptr;
    if (err != 0 || pos != 0) {
        readError = err != 0 ? err : kWindowsSeekError;
        return false;
    }
    readError = 0;
    return true;
}

// What the fuzzed modules need from the Win32 side of the library, for the
// native build: the global areas that start-up owns, and POSIX stand-ins for
// the few system wrappers the error model and the file readers call.
// Nothing here is fuzzed; it only lets the modules link.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "core/library_state.h"
#include "core/os_services.h"

LibraryState gLibraryState;
LibraryPaths gLibraryPaths;

void OsErrorBox(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void OsErrorText(int code, char* buffer, int size)
{
    if (size > 0)
        buffer[0] = '\0';
}

void OsExit(int code)
{
    std::exit(code);
}

void OsFileOpen(const char* name, int mode, int& handle, int& err)
{
    int flags = mode == 0 ? O_RDONLY : mode == 1 ? (O_WRONLY | O_CREAT | O_TRUNC) : O_RDWR;
    handle = ::open(name, flags, 0644);
    err = handle == -1 ? 2 : 0;
}

void OsFileClose(int handle)
{
    ::close(handle);
}

void OsFileRead(int handle, void* buffer, int n, int& count, int& err)
{
    ssize_t got = ::read(handle, buffer, static_cast<size_t>(n));
    count = got > 0 ? static_cast<int>(got) : 0;
    err = got < 0 ? 30 : 0;
}

void OsFileSeek(int handle, int& pos, int origin, int& err)
{
    const off_t r = ::lseek(handle, pos, origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET);
    pos = r < 0 || r > 0x7FFFFFFF ? -1 : static_cast<int>(r);
    err = r < 0 ? 25 : 0;
}

// Buffer compression through zlib's one-call compress and uncompress.
#include "core/compression.h"

#include "core/error_codes.h"
#include "core/errors.h"

#include <zlib.h>

namespace {


enum class Direction { Compress, Uncompress };

void ZlibCall(Direction direction, const void* source, void* target, int nsource, int& ntarget,
              int& status)
{
    if (nsource < 0) {
        // A negative length is no buffer at all: nothing is read.
        ntarget = 0;
        status = Z_STREAM_ERROR;
        return;
    }
    uLongf produced = ntarget > 0 ? static_cast<uLongf>(ntarget) : 0;
    const auto* src = static_cast<const Bytef*>(source);
    auto* dst = static_cast<Bytef*>(target);
    status = direction == Direction::Compress
                 ? compress(dst, &produced, src, static_cast<uLong>(nsource))
                 : uncompress(dst, &produced, src, static_cast<uLong>(nsource));
    ntarget = status == Z_OK ? static_cast<int>(produced) : 0;
}

void Checked(Direction direction, const void* source, void* target, int nsource, int& ntarget,
             const char* routine)
{
    int status = 0;
    ZlibCall(direction, source, target, nsource, ntarget, status);
    if (status != Z_OK) {
        gErrorState.status = status;
        YYErrorReport(kErrorCompression, routine);
        ntarget = 0;
    }
}

} // namespace

void BufferCompress(const void* source, void* target, int nsource, int& ntarget, int& status)
{
    ZlibCall(Direction::Compress, source, target, nsource, ntarget, status);
}

void BufferUncompress(const void* source, void* target, int nsource, int& ntarget, int& status)
{
    ZlibCall(Direction::Uncompress, source, target, nsource, ntarget, status);
}

void WCompress(const void* source, void* target, int nsource, int& ntarget)
{
    Checked(Direction::Compress, source, target, nsource, ntarget, "WCompress");
}

void WUnCompress(const void* source, void* target, int nsource, int& ntarget)
{
    Checked(Direction::Uncompress, source, target, nsource, ntarget, "WUnCompress");
}

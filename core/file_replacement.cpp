// Saves through a temporary file that replaces the target when complete
// (see core/file_replacement.h).
#include "core/file_replacement.h"

#include "core/os_services.h"

#include <windows.h>

#include <utility>

namespace {

// The folder part of NAME (up to its last "\", "/" or ":"), "." for none.
std::string FolderOf(const std::string& name)
{
    const size_t end = name.find_last_of("\\/:");
    if (end == std::string::npos)
        return ".";
    // "C:" names the drive's current folder; "C:\" and "\" the root.
    return name.substr(0, end + 1);
}

} // namespace

FileReplacement::FileReplacement(std::string target) : target_(std::move(target))
{
    const std::string folder = FolderOf(target_);
    // GetTempFileNameA adds "\~kqXXXX.tmp" (12 characters) at most.
    if (folder.size() + 12 > static_cast<size_t>(kFileNameLimit)) {
        name_ = target_;
        return;
    }
    char made[MAX_PATH + 1] = {};
    if (GetTempFileNameA(folder.c_str(), "~kq", 0, made) == 0) {
        error_ = static_cast<int>(GetLastError());
        if (error_ == 0)
            error_ = ERROR_CANNOT_MAKE;
        return;
    }
    name_ = made;
    pending_ = true;
}

FileReplacement::~FileReplacement()
{
    if (pending_)
        DeleteFileA(name_.c_str());
}

int FileReplacement::Commit()
{
    if (!pending_)
        return name_.empty() ? error_ : 0;
    // A folder or a read-only file in the target's place stays; the
    // temporary file goes.
    const DWORD attributes = GetFileAttributesA(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return ERROR_ACCESS_DENIED;
    if (!MoveFileExA(name_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const int error = static_cast<int>(GetLastError());
        return error != 0 ? error : ERROR_ACCESS_DENIED;
    }
    pending_ = false;
    return 0;
}

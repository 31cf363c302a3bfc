// Faults for the tests of the library's writers.
//
// WriteLimit puts a limit on the bytes the system wrapper OsFileWrite may
// still write, so that a write comes back short as on a full disk; it is
// lifted again at the end of the scope.
//
// FaultPlaces makes real faults where the host allows it (Wine running as
// root, as on the test machines): a tiny tmpfs is a full disk, a read-only
// tmpfs a folder nothing can be written to, both reached through Wine's
// drive mapping; besides them a name that is a folder and a name of 300
// characters. Where the mounts cannot be made, Missing() says why and the
// tests skip with that reason. (chmod proves nothing: Wine running as root
// writes such files anyway.)
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/os_services.h"
#include "hardcopy/unix_tools.h"

struct WriteLimit {
    explicit WriteLimit(long long bytes) { OsFileWriteLimitSet(bytes); }
    ~WriteLimit() { OsFileWriteLimitSet(-1); }
    WriteLimit(const WriteLimit&) = delete;
    WriteLimit& operator=(const WriteLimit&) = delete;
};

// A file name of TOTAL characters (at least kFileNameLimit + 1) whose first
// kFileNameLimit characters name the file FOLDER\CUT: a routine that cut the
// name to fit would use CUT. FOLDER must leave room for a few characters.
inline std::string NameCutOnto(const std::string& folder, std::string& cut, size_t total = 300)
{
    // "." folders repeat the folder; the leaf takes the rest up to the limit.
    std::string name = folder + "\\";
    const size_t room = static_cast<size_t>(kFileNameLimit) - name.size();
    const size_t dots = room > 8 ? (room - 7) / 2 : 0;
    for (size_t i = 0; i < dots; ++i)
        name += ".\\";
    cut = std::string(static_cast<size_t>(kFileNameLimit) - name.size(), 'q');
    name += cut;
    while (name.size() < total)
        name += 'z';
    return name;
}

class FaultPlaces {
public:
    enum Place { kFullDisk, kReadOnly, kFolderInPlace, kLongName };
    static constexpr Place kAll[] = {kFullDisk, kReadOnly, kFolderInPlace, kLongName};
    static const char* Label(Place p)
    {
        switch (p) {
        case kFullDisk: return "full disk";
        case kReadOnly: return "read-only folder";
        case kFolderInPlace: return "a folder where the file should be";
        default: return "a name of 300 characters";
        }
    }
    // The full disk holds one page: every writer checked there writes more.
    static constexpr size_t kFullDiskBytes = 4096;

    FaultPlaces()
    {
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        base_ = std::string(tmp) + "kvbfaults_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(base_.c_str(), nullptr);
        normal_ = base_ + "\\normal";
        CreateDirectoryA(normal_.c_str(), nullptr);
        full_ = base_ + "\\full";
        readOnly_ = base_ + "\\ro";
        if (unixtools::UnixPath("C:\\").empty()) {
            missing_ = "not running under Wine: no tmpfs can be mounted";
            return;
        }
        std::string out;
        const std::string full = unixtools::UnixPath(full_), ro = unixtools::UnixPath(readOnly_);
        const int status = unixtools::Run("mkdir -p '" + full + "' '" + ro + "' && mount -t tmpfs -o size=" +
                                              std::to_string(kFullDiskBytes) + " tmpfs '" + full +
                                              "' && mount -t tmpfs -o ro tmpfs '" + ro + "'",
                                          &out);
        if (status != 0) {
            missing_ = "cannot mount a tmpfs here (root is needed): " + out;
            Unmount();
        }
    }
    ~FaultPlaces()
    {
        Unmount();
        Empty(normal_);
        RemoveDirectoryA(normal_.c_str());
        RemoveDirectoryA(base_.c_str());
    }
    FaultPlaces(const FaultPlaces&) = delete;
    FaultPlaces& operator=(const FaultPlaces&) = delete;

    const std::string& Missing() const { return missing_; }

    // A folder where writing works, emptied first.
    std::string Normal(const std::string& leaf)
    {
        Empty(normal_);
        return normal_ + "\\" + leaf;
    }
    // The name of the file LEAF at PLACE; the full disk is emptied first, so
    // that each writer meets a disk with room for one page.
    std::string Name(Place place, const std::string& leaf)
    {
        switch (place) {
        case kFullDisk:
            Empty(full_);
            return full_ + "\\" + leaf;
        case kReadOnly:
            return readOnly_ + "\\" + leaf;
        case kFolderInPlace: {
            const std::string name = Normal(leaf);
            CreateDirectoryA(name.c_str(), nullptr);
            return name;
        }
        default: {
            // Real folders 240 characters deep and a leaf padded to 300
            // characters: the first 259 name a file in the deepest folder.
            Empty(normal_);
            std::string deep = normal_;
            while (deep.size() < 240) {
                deep += "\\" + std::string(40, 'd');
                CreateDirectoryA(deep.c_str(), nullptr);
            }
            std::string name = deep + "\\" + leaf;
            name.insert(name.size() - leaf.size(), std::string(300 - name.size(), 'l'));
            cut_ = name.substr(0, static_cast<size_t>(kFileNameLimit));
            return name;
        }
        }
    }
    // Whether anything was written where a writer that cut the name of 300
    // characters would have written.
    bool CutNameWritten() const { return GetFileAttributesA(cut_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // The files left in the folder of PLACE (temporary files of a save
    // included).
    std::vector<std::string> Left(Place place) const
    {
        return Files(place == kFullDisk ? full_ : place == kReadOnly ? readOnly_ : normal_);
    }

private:
    static std::vector<std::string> Files(const std::string& folder)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA e;
        HANDLE f = FindFirstFileA((folder + "\\*").c_str(), &e);
        if (f == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(e.cFileName);
        } while (FindNextFileA(f, &e));
        FindClose(f);
        return names;
    }
    // Removes everything inside FOLDER.
    static void Empty(const std::string& folder)
    {
        WIN32_FIND_DATAA e;
        HANDLE f = FindFirstFileA((folder + "\\*").c_str(), &e);
        if (f == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::string name = folder + "\\" + e.cFileName;
            if (!(e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA(name.c_str());
            } else if (std::string(e.cFileName) != "." && std::string(e.cFileName) != "..") {
                Empty(name);
                RemoveDirectoryA(name.c_str());
            }
        } while (FindNextFileA(f, &e));
        FindClose(f);
    }
    void Unmount()
    {
        if (unixtools::UnixPath("C:\\").empty())
            return;
        const std::string full = unixtools::UnixPath(full_), ro = unixtools::UnixPath(readOnly_);
        unixtools::Run("umount '" + full + "' 2>/dev/null; umount '" + ro + "' 2>/dev/null; rmdir '" + full +
                       "' '" + ro + "' 2>/dev/null; true");
    }

    std::string base_, normal_, full_, readOnly_, cut_, missing_;
};

// What a writer said of one write: whether it reported success, and whether
// it reported a failure (its library error, its box, its status).
struct WriteOutcome {
    bool succeeded = false;
    bool reported = false;
};

// One row of a writer table: WRITE writes the writer's file under the name it
// is given. In a normal folder it must succeed with more bytes than the full
// disk holds; on a full disk, in a read-only folder, onto a folder of that
// name and with a name of 300 characters it must report its failure and not
// success, and leave nothing under the long name cut to fit.
inline void CheckWriter(FaultPlaces& places, const std::string& writer, const std::string& leaf,
                        const std::function<WriteOutcome(const std::string&)>& write)
{
    SCOPED_TRACE(writer);
    const std::string normal = places.Normal(leaf);
    const WriteOutcome ok = write(normal);
    EXPECT_TRUE(ok.succeeded && !ok.reported) << "in a normal folder";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(normal.c_str(), GetFileExInfoStandard, &data);
    EXPECT_GT(data.nFileSizeLow, FaultPlaces::kFullDiskBytes) << "the row writes too little to fill the full disk";
    for (FaultPlaces::Place place : FaultPlaces::kAll) {
        const WriteOutcome o = write(places.Name(place, leaf));
        EXPECT_TRUE(o.reported) << FaultPlaces::Label(place) << ": no failure reported";
        EXPECT_FALSE(o.succeeded) << FaultPlaces::Label(place) << ": success reported";
        if (place == FaultPlaces::kLongName) {
            EXPECT_FALSE(places.CutNameWritten()) << "written under the name cut to fit";
        }
    }
}

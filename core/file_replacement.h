// Saving a user's work so that a failed save leaves the old file whole: the
// new contents are written to a temporary file in the target's folder, which
// replaces the target only once it is complete. The windows that hold a
// user's work (the grid editor, the text editor) save this way.
#pragma once

#include <string>

class FileReplacement {
public:
    // Reserves a new empty temporary file beside TARGET. When the folder's
    // name leaves no room for a temporary name within the file-name limit,
    // the contents go to TARGET itself.
    explicit FileReplacement(std::string target);
    // Removes the temporary file unless it replaced the target.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The name to write the contents to; empty when no temporary file could
    // be made, with the Windows error in Error().
    const std::string& Name() const { return name_; }
    int Error() const { return error_; }
    // Puts the complete temporary file in the target's place: 0, or the
    // Windows error (the target is then as it was).
    int Commit();

private:
    std::string target_;
    std::string name_;
    int error_ = 0;
    bool pending_ = false; // a temporary file of ours exists
};

// Writing the result files, on the caller's thread or on a thread of their
// own. A change of the dialog hands the files to that thread and redraws the
// graph meanwhile: the requests that creating, writing and closing a file
// cost the system then overlap with the drawing.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

// A file and the whole text it is to hold.
struct ResultFile {
    const char* name;
    const std::string* text;
};

// Statuses.
inline constexpr int kResultFilesOk = 0;
inline constexpr int kResultFilesOpenFailed = -1;
inline constexpr int kResultFilesWriteFailed = -2;

// Writes FILES in their order, each created (or emptied) and written in one
// call; stops at the first that fails and puts its index into FAILED.
// Returns one of the statuses above.
int ResultFilesWrite(std::span<const ResultFile> files, size_t& failed);

// Hands FILES to the writing thread (started on first use) and returns at
// once. There FORM runs first and forms the texts (false: they cannot be
// formed, reported as a write failure of the first file); then the files are
// written as ResultFilesWrite writes them. The names and texts, and what FORM
// reads, must stay as they are until ResultFilesFinish returns; every start
// is followed by a finish.
void ResultFilesStart(std::span<const ResultFile> files, std::function<bool()> form);

// Waits for the files handed over last and returns their status, with the
// index of the failed file in FAILED; kResultFilesOk when none are pending.
int ResultFilesFinish(size_t& failed);

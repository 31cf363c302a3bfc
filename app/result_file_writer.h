// Writing the result files, each created (or emptied) and written in one
// call, here or on a thread of their own. A change of the dialog
// hands the files to that thread and redraws the graph meanwhile; a
// tabulation forms the texts while that thread creates and writes the files.
// The requests that creating, writing and closing a file cost the system then
// overlap with the drawing or the forming.
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

// Creates (or empties) FILE and writes its text in one call, here and now.
// Returns one of the statuses above.
int ResultFileWrite(const ResultFile& file);

// Hands FILES to the writing thread (started on first use) and returns at
// once. There PREPARE, when given, runs first (ResultFilesPrepared waits for
// it); then the files are written in their order, each created (or
// emptied) and written in one call, up to the first that fails; right before
// file FORMFROM, FORM runs and forms the texts from there on (false: they
// cannot be formed, reported as a write failure of that file, which is not
// touched). The names and texts, and what PREPARE and FORM read and write,
// must stay as they are until ResultFilesFinish returns (what PREPARE writes
// may be read once ResultFilesPrepared has returned); every start is
// followed by a finish.
void ResultFilesStart(std::span<const ResultFile> files, std::function<bool()> form, size_t formFrom = 0,
                      std::function<void()> prepare = {});

// Waits until the preparation of the files handed over last has run;
// returns at once when there is none.
void ResultFilesPrepared();

// Hands FILES to the writing thread while the caller still forms their
// texts: there the files are all created (or emptied) at once, up to the
// first that cannot be, and each is written and closed when the caller has
// said its text is ready (ResultFilesFormed), so that the requests the files
// cost the system overlap with the forming. A file that fails to be written
// or formed leaves the files after it empty. The names must stay as they are
// until ResultFilesFinish returns, a text from its ResultFilesFormed on.
void ResultFilesStartAhead(std::span<const ResultFile> files);

// The texts of the first COUNT files of the job started ahead are formed
// (COUNT grows from call to call); a negative COUNT: the next text cannot be
// formed, reported as a write failure of its file (created, not written),
// the files after it left empty.
void ResultFilesFormed(int count);

// Waits for the files handed over last and returns their status, with the
// index of the failed file in FAILED; kResultFilesOk when none are pending.
int ResultFilesFinish(size_t& failed);

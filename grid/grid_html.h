// The output of the grid's HTML writer: a file written line by line, the
// lines gathered and written in large blocks.
#pragma once

#include <string>
#include <string_view>

struct GridHtmlOutput {
    int file = -1;         // the file handle (core/os_services.h), -1 none
    std::string pending;   // lines not yet written
    int systemError = 0;   // the system's code of the last failure

    // Creates or replaces FILENAME (trailing blanks ignored); false when it
    // cannot be opened.
    bool Open(std::string_view fileName);
    // Writes the pending lines unless STATUS is already non-zero; a failed
    // write, a short one too, sets STATUS (the system's code).
    void Flush(int& status);
    // Flushes and closes.
    void Close(int& status);
};

// Writes TEXT as one line unless STATUS is non-zero; STATUS := the status of
// the write, so that after the first failure nothing more is written and its
// status remains.
void YYGridHtmlWrite(GridHtmlOutput& out, std::string_view text, int& status);

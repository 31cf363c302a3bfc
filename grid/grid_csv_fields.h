// The comma-separated text of the grid files, without any window: doubling
// and undoubling quotation marks in place, and a scanner that cuts a byte
// stream, fed in chunks of any size, into fields.
//
// A field is enclosed only when it starts with a quotation mark; then the
// commas, CRs and LFs before its closing quotation mark belong to it. A field
// ends at a comma or at an LF outside quotation marks (the LF also ends the
// line); a CR right before that LF, outside quotation marks, is dropped. The
// scanner gives a field's bytes without its enclosing pair, every doubled
// quotation mark still doubled (YYCsvUnquote undoubles them).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// Doubles every quotation mark of TEXT up to its last non-blank character, in
// place. LENGTH := the length of the result; marks that would not fit into
// TEXT are not doubled (the caller gives room for twice the text).
void YYCsvQuote(std::span<char> text, int& length);
// Replaces each pair of quotation marks by one, left to right, in place, over
// TEXT up to its last non-blank character, and blanks the freed end.
void YYCsvUnquote(std::span<char> text);

class CsvFieldScanner {
public:
    enum Result { kNeedMore, kField, kTooLong };

    // Fields longer than MAXFIELD bytes are refused (kTooLong).
    explicit CsvFieldScanner(size_t maxField) : maxField_(maxField) {}

    // Consumes bytes of CHUNK up to the end of the next field: kField with the
    // field in FIELD and LINEEND when an LF ended it, kNeedMore when CHUNK is
    // used up (the field goes on in the next chunk), kTooLong when the field
    // outgrew its limit (the scanner is spent then).
    Result Next(std::string_view& chunk, std::string& field, bool& lineEnd);
    // At the end of the input: true with the last field (its line ended) when
    // the input does not end with an LF.
    bool Finish(std::string& field);

private:
    void Take(std::string& field);

    size_t maxField_;
    std::string text_;
    bool lineOpen_ = false;    // a byte of the current line was read
    bool fieldStarted_ = false; // a byte of the current field was read
    bool inQuotes_ = false;
    bool quoteSeen_ = false;   // inside quotes, a mark that may close them or begin a pair
    bool crLast_ = false;      // the last byte taken was a CR outside quotation marks
    bool spent_ = false;
};

// The grid's comma-separated text scanner on hostile bytes: the fields must
// not depend on how the stream is cut into chunks (the file reader feeds it
// in buffers of any size), no field may outgrow its limit, and quoting a
// field's text then undoubling it must give the text back.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "grid/grid_csv_fields.h"

namespace {

struct Field {
    std::string text;
    bool lineEnd;
    bool operator==(const Field&) const = default;
};

// Fields of DATA fed in chunks of CHUNK bytes; TOOLONG tells whether the
// scanner refused a field.
std::vector<Field> Scan(std::string_view data, size_t chunk, size_t maxField, bool& tooLong)
{
    CsvFieldScanner scanner(maxField);
    std::vector<Field> fields;
    tooLong = false;
    for (size_t at = 0; at < data.size(); at += chunk) {
        std::string_view piece = data.substr(at, chunk);
        for (;;) {
            std::string field;
            bool lineEnd = false;
            const CsvFieldScanner::Result r = scanner.Next(piece, field, lineEnd);
            if (r == CsvFieldScanner::kNeedMore)
                break;
            if (r == CsvFieldScanner::kTooLong) {
                tooLong = true;
                return fields;
            }
            fuzz::Check(field.size() <= maxField, "a field is longer than the limit");
            fields.push_back({field, lineEnd});
        }
    }
    std::string last;
    if (scanner.Finish(last))
        fields.push_back({last, true});
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the chunk size and the field limit.
    const size_t chunk = 1 + data[0] % 7;
    const size_t maxField = 1 + static_cast<size_t>(data[0]) * 4;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    fuzz::Traps traps;
    bool wholeTooLong = false, piecesTooLong = false;
    const std::vector<Field> whole = Scan(text, text.size() + 1, maxField, wholeTooLong);
    const std::vector<Field> pieces = Scan(text, chunk, maxField, piecesTooLong);
    fuzz::Check(wholeTooLong == piecesTooLong, "the chunk size decides whether a field is too long");
    fuzz::Check(whole == pieces, "the chunk size changes the fields");

    // Quote then unquote: room for every mark to double, trailing blanks
    // are not part of the text.
    std::string field(text.substr(0, std::min<size_t>(text.size(), 256)));
    while (!field.empty() && field.back() == ' ')
        field.pop_back();
    std::string buffer = field + std::string(field.size(), ' ');
    int length = 0;
    YYCsvQuote(buffer, length);
    fuzz::Check(length >= 0 && static_cast<size_t>(length) <= buffer.size(), "quoted length out of range");
    YYCsvUnquote(buffer);
    while (!buffer.empty() && buffer.back() == ' ')
        buffer.pop_back();
    fuzz::Check(buffer == field, "quoting and undoubling does not give the text back");
    return 0;
}

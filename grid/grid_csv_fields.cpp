// Quotation marks and fields of comma-separated text (see grid_csv_fields.h).
#include "grid/grid_csv_fields.h"

#include <algorithm>
#include <string>

namespace {

constexpr char kQuote = '"';

size_t LastNonBlank(std::span<const char> text)
{
    size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ')
        --n;
    return n;
}

} // namespace

void YYCsvQuote(std::span<char> text, int& length)
{
    const size_t n = LastNonBlank(text);
    size_t room = text.size() - n;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < n; ++i) {
        out += text[i];
        if (text[i] == kQuote && room > 0) {
            out += kQuote;
            --room;
        }
    }
    std::copy(out.begin(), out.end(), text.begin());
    length = static_cast<int>(out.size());
}

void YYCsvUnquote(std::span<char> text)
{
    const size_t n = LastNonBlank(text);
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        text[out++] = text[i];
        if (text[i] == kQuote && i + 1 < n && text[i + 1] == kQuote)
            ++i;
    }
    std::fill(text.begin() + static_cast<std::ptrdiff_t>(out), text.begin() + static_cast<std::ptrdiff_t>(n), ' ');
}

void CsvFieldScanner::Take(std::string& field)
{
    field.swap(text_);
    text_.clear();
    fieldStarted_ = inQuotes_ = quoteSeen_ = crLast_ = false;
}

CsvFieldScanner::Result CsvFieldScanner::Next(std::string_view& chunk, std::string& field, bool& lineEnd)
{
    for (size_t i = 0; !spent_ && i < chunk.size(); ++i) {
        if (text_.size() > maxField_)
            break;
        const char b = chunk[i];
        lineOpen_ = true;
        if (inQuotes_) {
            if (!quoteSeen_) {
                if (b == kQuote)
                    quoteSeen_ = true;
                else
                    text_ += b;
                continue;
            }
            quoteSeen_ = false;
            if (b == kQuote) { // a pair inside the quotes stays doubled
                text_ += "\"\"";
                continue;
            }
            inQuotes_ = false; // that mark closed the quotes; B is read outside them
        }
        if (b == ',' || b == '\n') {
            if (b == '\n' && crLast_)
                text_.pop_back();
            lineEnd = b == '\n';
            if (lineEnd)
                lineOpen_ = false;
            Take(field);
            chunk.remove_prefix(i + 1);
            return kField;
        }
        if (b == kQuote && !fieldStarted_) {
            inQuotes_ = true; // the opening mark of an enclosed field
            fieldStarted_ = true;
            continue;
        }
        fieldStarted_ = true;
        text_ += b;
        crLast_ = b == '\r';
    }
    chunk = {};
    if (spent_ || text_.size() > maxField_) {
        spent_ = true;
        return kTooLong;
    }
    return kNeedMore;
}

bool CsvFieldScanner::Finish(std::string& field)
{
    if (spent_ || !lineOpen_)
        return false;
    Take(field);
    lineOpen_ = false;
    return true;
}

// Quotation marks and fields of comma-separated text, without a grid: the
// in-place doubling and undoubling, and the field scanner over a table of
// inputs, each also fed in two chunks split at every position (a field
// crossing a chunk keeps its exact bytes).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/grid_csv_fields.h"

namespace {

TEST(CsvQuote, DoublesAndUndoublesInPlace)
{
    struct Case {
        std::string text, quoted;
    };
    const Case cases[] = {
        {"plain      ", "plain"},
        {"5\" disk      ", "5\"\" disk"},
        {"\"\"  x \"    ", "\"\"\"\"  x \"\""},
        {"      ", ""},
    };
    for (const Case& c : cases) {
        std::string buffer = c.text;
        int length = -1;
        YYCsvQuote(buffer, length);
        EXPECT_EQ(buffer.substr(0, static_cast<size_t>(length)), c.quoted) << c.text;
        // Undoubling gives the text without its trailing blanks back, the freed end blank.
        std::string back = buffer.substr(0, static_cast<size_t>(length)) + "  ";
        YYCsvUnquote(back);
        const std::string trimmed = c.text.substr(0, c.text.find_last_not_of(' ') + 1);
        EXPECT_EQ(back, trimmed + std::string(back.size() - trimmed.size(), ' ')) << c.text;
    }
    // No room: marks are doubled from the left while room lasts.
    std::string tight = "\"a\"b\" ";
    int length = 0;
    YYCsvQuote(tight, length);
    EXPECT_EQ(tight, "\"\"a\"b\"");
    EXPECT_EQ(length, 6);
    // Pairs are replaced left to right: three marks give two.
    std::string odd = "a\"\"\"b";
    YYCsvUnquote(odd);
    EXPECT_EQ(odd, "a\"\"b ");
}

struct Field {
    std::string text;
    bool lineEnd;
    bool operator==(const Field& o) const { return text == o.text && lineEnd == o.lineEnd; }
};

std::string Describe(const std::vector<Field>& fields)
{
    std::string s;
    for (const Field& f : fields)
        s += "[" + f.text + (f.lineEnd ? "]$ " : "] ");
    return s;
}

// The fields of INPUT fed in the chunks cut at SPLIT; "TOO LONG" marks the end
// by a field over the limit.
std::vector<Field> Scan(const std::string& input, size_t split, size_t maxField = 100)
{
    CsvFieldScanner scanner(maxField);
    std::vector<Field> fields;
    std::string field;
    bool lineEnd = false;
    for (std::string_view chunk : {std::string_view(input).substr(0, split), std::string_view(input).substr(split)}) {
        for (;;) {
            auto r = scanner.Next(chunk, field, lineEnd);
            if (r == CsvFieldScanner::kNeedMore)
                break;
            if (r == CsvFieldScanner::kTooLong) {
                fields.push_back({"TOO LONG", true});
                return fields;
            }
            fields.push_back({field, lineEnd});
        }
    }
    if (scanner.Finish(field))
        fields.push_back({field, true});
    return fields;
}

TEST(CsvScanner, FieldsOfEveryShapeInAnyChunks)
{
    struct Case {
        std::string input;
        std::vector<Field> fields;
    };
    const Case cases[] = {
        {"a,b\r\nc,d\r\n", {{"a", false}, {"b", true}, {"c", false}, {"d", true}}},
        {"a,b\nc", {{"a", false}, {"b", true}, {"c", true}}},
        {"a,\n,\n", {{"a", false}, {"", true}, {"", false}, {"", true}}},
        {"", {}},
        {"\n\n", {{"", true}, {"", true}}},
        // Enclosed fields keep commas, LFs and CR LFs; the pair is taken off,
        // doubled marks stay doubled for the undoubling.
        {"\"x,y\",\"l1\nl2\",\"c\r\nr\"\r\n", {{"x,y", false}, {"l1\nl2", false}, {"c\r\nr", true}}},
        {"\"say \"\"hi\"\"\",z", {{"say \"\"hi\"\"", false}, {"z", true}}},
        // A mark that does not start a field is text.
        {"5\" disk,b\"\"c\n", {{"5\" disk", false}, {"b\"\"c", true}}},
        // Only a CR right before the line's LF goes; others stay.
        {"a\rb,c\r\r\n", {{"a\rb", false}, {"c\r", true}}},
        {"\"q\r\"\n", {{"q\r", true}}},
        // An unclosed quote runs to the end.
        {"\"open,\nmore", {{"open,\nmore", true}}},
        // Bytes after the closing mark belong to the field.
        {"\"ab\"cd,e", {{"abcd", false}, {"e", true}}},
        {std::string("n\0l,\xFF\n", 6), {{std::string("n\0l", 3), false}, {"\xFF", true}}},
        {std::string(101, 'x') + ",y", {{"TOO LONG", true}}},
        {"\"" + std::string(101, ',') + "\"", {{"TOO LONG", true}}},
        {std::string(100, 'x') + ",y", {{std::string(100, 'x'), false}, {"y", true}}},
    };
    for (const Case& c : cases)
        for (size_t split = 0; split <= c.input.size(); ++split) {
            const auto got = Scan(c.input, split);
            ASSERT_EQ(got, c.fields) << "input \"" << c.input << "\" split at " << split << ": " << Describe(got);
        }
}

} // namespace

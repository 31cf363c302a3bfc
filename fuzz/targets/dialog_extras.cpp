// The dialog extras reader on hostile text, with a handler that takes
// everything and a grid reader that claims a length chosen by the input.
// Items and labels are cut to their length; a format is the whole rest of
// its line (up to the LF, the NUL or the end) without trailing blanks.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog_extras_parser.h"
#include "fuzz_support.h"

namespace {

class Taker : public ExtrasHandler {
public:
    explicit Taker(std::string_view text) : text_(text) {}

    void Menu(int, int, const std::vector<std::string>& items) override
    {
        for (const std::string& item : items)
            fuzz::Check(item.size() <= kExtrasItemLength, "menu item within its length");
    }
    void Tabs(int, int, const std::vector<ExtrasTabPage>& pages) override
    {
        for (const ExtrasTabPage& page : pages)
            fuzz::Check(page.label.size() <= kExtrasItemLength, "tab label within its length");
    }
    int Grid(int id, std::string_view text) override
    {
        // Anything from nothing to past the end of the text.
        return static_cast<int>(static_cast<unsigned>(id) % (text.size() + 2));
    }
    void Format(int, std::string_view format) override
    {
        const char* begin = text_.data();
        const char* end = begin + text_.size();
        fuzz::Check(format.data() >= begin && format.data() + format.size() <= end, "the format lies in the text");
        fuzz::Check(format.find_first_of(std::string_view("\n\0", 2)) == std::string_view::npos,
                    "the format is inside one line");
        fuzz::Check(format.empty() || format.back() != ' ', "the format without trailing blanks");
        // Only blanks follow it before the line ends: the whole line is kept.
        const std::string_view after = text_.substr(static_cast<size_t>(format.data() + format.size() - begin));
        const std::string_view rest = after.substr(0, std::min(after.find('\n'), after.find('\0')));
        fuzz::Check(rest.find_first_not_of(' ') == std::string_view::npos, "the format is the whole rest of its line");
    }
    void Font(int, int, std::string_view face, int, int) override
    {
        fuzz::Check(face.size() <= kExtrasFaceLength, "face within its length");
    }

private:
    std::string_view text_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly SIZE bytes, so that a read past the text is seen.
    std::vector<char> text(data, data + size);
    fuzz::QuietErrorState();
    fuzz::Traps traps;
    const std::string_view view(text.data(), text.size());
    Taker taker(view);
    DialogExtrasRead(view, taker);
    return 0;
}

// The dialog extras reader on hostile text, with a handler that takes
// everything and a grid reader that claims a length chosen by the input.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog_extras_parser.h"
#include "fuzz_support.h"

namespace {

class Taker : public ExtrasHandler {
public:
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
        fuzz::Check(format.size() <= kExtrasItemLength, "format within its length");
    }
    void Font(int, int, std::string_view face, int, int) override
    {
        fuzz::Check(face.size() <= kExtrasFaceLength, "face within its length");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly SIZE bytes, so that a read past the text is seen.
    std::vector<char> text(data, data + size);
    fuzz::QuietErrorState();
    fuzz::Traps traps;
    Taker taker;
    DialogExtrasRead(std::string_view(text.data(), text.size()), taker);
    return 0;
}

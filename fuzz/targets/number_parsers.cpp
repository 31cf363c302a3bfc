// The number parsers on a hostile text: the reporting parsers, the quiet
// ones (which must leave the error state as found), the next-token parsers
// and the field-text normalisers.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/conversions.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzz::QuietErrorState();
    fuzz::Traps traps;

    float r = 1.0f;
    IStringToReal(text, r);
    fuzz::Check(std::isfinite(r), "a finite single");
    fuzz::Check(gErrorState.lastCode == 0 || r == 0.0f, "0 after an error (single)");

    gErrorState.lastCode = 0;
    double d = 1.0;
    YYStringToDouble(text, d);
    fuzz::Check(std::isfinite(d), "a finite double");
    fuzz::Check(gErrorState.lastCode == 0 || d == 0.0, "0 after an error (double)");

    gErrorState.lastCode = 0;
    int i = 1;
    IStringToInteger(text, i);
    fuzz::Check(gErrorState.lastCode == 0 || i == 0, "0 after an error (integer)");

    // The quiet parsers leave the caller's error state alone.
    gErrorState.lastCode = 77;
    gErrorState.level = 0;
    int ok = -1;
    YYTextToDoubleChecked(d, ok, text);
    fuzz::Check(ok == 0 || ok == 1, "OK is 0 or 1");
    fuzz::Check(ok == 1 || d == 0.0, "0 when the checked parse failed");
    YYTextToDoubleQuiet(d, text);
    YYTextToRealQuiet(r, text);
    YYTextToIntegerQuiet(i, text);
    fuzz::Check(gErrorState.lastCode == 77, "quiet parsers keep the last code");

    std::vector<char> copy(text.begin(), text.end());
    INextReal(copy, r);
    copy.assign(text.begin(), text.end());
    INextInteger(copy, i);

    // The normalisers work in a field-sized text, quietly too.
    gErrorState.lastCode = 77;
    std::vector<char> field(text.begin(), text.begin() + std::min<size_t>(text.size(), 40));
    field.resize(40, ' ');
    std::vector<char> work = field;
    YYDoubleFieldText(work, "(G15.5E2)");
    work = field;
    YYRealFieldText(work, "(F10.3)");
    work = field;
    YYIntegerFieldText(work);
    fuzz::Check(gErrorState.lastCode == 77, "normalisers keep the last code");
    return 0;
}

#include "app/parameter_log.h"

#include "app/result_file_writer.h"
#include "core/fortran_format.h"

namespace {

constexpr const char* kIntegerFormat = "(3(I5,1X))";
constexpr const char* kSwitchFormat = "(10(ES10.2,1X))";

// Appends the records of ITEMS written with FORMAT to OUT.
void Append(const char* format, const std::vector<FormatItem>& items, std::vector<std::string>& out)
{
    std::vector<std::string> records;
    FortranWrite(format, items, records);
    out.insert(out.end(), records.begin(), records.end());
}

} // namespace

std::vector<std::string> ParameterLogRecords(std::span<const int32_t> parameters,
                                             std::span<const double> switches, int plotContent)
{
    std::vector<std::string> records;
    std::vector<FormatItem> items;
    for (int32_t p : parameters)
        items.emplace_back(static_cast<int>(p));
    Append(kIntegerFormat, items, records);
    items.clear();
    for (double c : switches)
        items.emplace_back(c);
    Append(kSwitchFormat, items, records);
    items.clear();
    items.emplace_back(plotContent);
    Append(kIntegerFormat, items, records);
    return records;
}

std::string ParameterLogText(std::span<const int32_t> parameters, std::span<const double> switches, int plotContent)
{
    std::string text;
    for (const std::string& record : ParameterLogRecords(parameters, switches, plotContent)) {
        text += record;
        text += "\r\n";
    }
    return text;
}

int ParameterLogWrite(std::span<const int32_t> parameters, std::span<const double> switches,
                      int plotContent, const char* file)
{
    const std::string text = ParameterLogText(parameters, switches, plotContent);
    switch (ResultFileWrite({file, &text})) {
    case kResultFilesOk: return kParameterLogOk;
    case kResultFilesOpenFailed: return kParameterLogOpenFailed;
    default: return kParameterLogWriteFailed;
    }
}

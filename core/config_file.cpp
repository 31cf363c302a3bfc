// Parsing and applying the lines of the configuration file.
#include "core/config_file.h"

#include <algorithm>
#include <cstdio>

#include "core/conversions.h"
#include "core/errors.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ';
}

// Bounds [begin, end) of the first blank-delimited token of TEXT; begin ==
// end when TEXT has none.
void FirstToken(std::string_view text, size_t& begin, size_t& end)
{
    begin = 0;
    while (begin < text.size() && IsBlank(text[begin]))
        ++begin;
    end = begin;
    while (end < text.size() && !IsBlank(text[end]))
        ++end;
}

// The integer of the first token of TEXT through IStringToInteger, which
// reports what does not parse; true when it recorded no error.
bool IntegerValueRead(std::string_view text, int& value)
{
    gErrorState.lastCode = 0;
    IStringToInteger(text, value);
    return gErrorState.lastCode == 0;
}

} // namespace

ConfigLine ConfigLineParse(std::string_view raw)
{
    ConfigLine out;
    std::string line(raw.substr(0, std::min<size_t>(raw.size(), kConfigLineLength)));
    for (char& c : line)
        if (c == '\t')
            c = ' ';

    size_t eq = line.find('=');
    // 1-based position of "=": at least 2, not 270.
    if (eq == std::string::npos || eq + 1 < 2 || eq + 1 == kConfigLineLength)
        return out;

    size_t kb, ke;
    FirstToken(std::string_view(line).substr(0, eq), kb, ke);
    if (ke - kb < 3)
        return out;
    std::string key = line.substr(kb, std::min<size_t>(ke - kb, 8));
    key.resize(8, ' ');
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    out.key = key;

    if (key.compare(0, 3, "VER") == 0) {
        out.kind = ConfigLine::Kind::Version;
        return out;
    }

    std::string_view right = std::string_view(line).substr(eq + 1);
    size_t vb, ve;
    FirstToken(right, vb, ve);
    if (vb == ve)
        return out;
    out.kind = ConfigLine::Kind::Setting;
    out.value = std::string(right.substr(vb, ve - vb));
    out.rest = std::string(right.substr(vb));
    return out;
}

void ConfigLineApply(const ConfigLine& line, ConfigSettings& settings)
{
    if (line.kind == ConfigLine::Kind::Version) {
        settings.versionRequested = true;
        return;
    }
    if (line.kind != ConfigLine::Kind::Setting)
        return;

    const std::string& key = line.key;
    int value = 0;
    if (key == "CHARDIR ") {
        settings.CHARDIR = line.rest;
    } else if (key == "CHARSET ") {
        settings.CHARSET = line.rest;
    } else if (key == "DEBUG   ") {
        if (IntegerValueRead(line.value, value))
            YYErrorLevelSet(value);
    } else if (key == "HPGL2   ") {
        if (IntegerValueRead(line.value, value))
            settings.HPGL2 = value;
    } else if (key == "LFNGEN  ") {
        if (IntegerValueRead(line.value, value) && value != settings.LFNPLOTI)
            settings.LFNGEN = value;
    } else if (key == "LFNPLOTI") {
        if (IntegerValueRead(line.value, value) && value != settings.LFNGEN)
            settings.LFNPLOTI = value;
    } else if (key == "PLOTTER ") {
        if (IntegerValueRead(line.value, value))
            settings.PLOTTER = value;
    } else if (key == "PRINTER ") {
        if (IntegerValueRead(line.value, value))
            settings.PRINTER = value;
    }
    gErrorState.lastCode = 0;
}

void ConfigTextApply(std::string_view text, ConfigSettings& settings)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ConfigLineApply(ConfigLineParse(line), settings);
        if (nl == std::string_view::npos)
            break;
        pos = nl + 1;
    }
}

bool ConfigFileApply(const std::string& name, ConfigSettings& settings)
{
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f)
        return false;
    std::string line;
    bool more = true;
    while (more) {
        line.clear();
        int c;
        // Only the first 270 characters count (one more to see a CR before the
        // line end); the rest of a longer line is skipped.
        while ((c = std::fgetc(f)) != EOF && c != '\n')
            if (line.size() <= kConfigLineLength)
                line.push_back(static_cast<char>(c));
        if (c == EOF) {
            more = false;
            // The last line without a line end still counts; a read error ends
            // the file where it occurred.
            if (std::ferror(f) || line.empty())
                break;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ConfigLineApply(ConfigLineParse(line), settings);
    }
    std::fclose(f);
    return true;
}

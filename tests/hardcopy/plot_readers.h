// Readers of plot files that this project did not write, run from a test:
// hp2xx for HP-GL and HP-GL/2 (rendered to PNG and read back with the
// library's image decoder), Python's ezdxf for DXF and LibreOffice for a
// DXF drawing converted to PDF. Each is a Debian package; a test skips
// where its reader is missing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plot_file_fixture.h"
#include "unix_tools.h"

namespace readers {

inline bool Hp2xxAvailable() { return unixtools::Available("/usr/bin/hp2xx"); }
inline bool EzdxfAvailable()
{
    return unixtools::Available("/usr/bin/python3") &&
           unixtools::Run("/usr/bin/python3 -c 'import ezdxf'") == 0;
}

struct Hp2xxResult {
    int status = -1;                 // exit status
    int unexpected = -1;             // "Unexpected event(s):"
    std::set<std::string> ignored;   // the commands it reports as "XX: ignored"
    std::string log;
};

// hp2xx -m png ARGS -f PNG PLOT (Windows paths).
inline Hp2xxResult Hp2xx(const std::string& plot, const std::string& png, const std::string& args = "")
{
    Hp2xxResult r;
    r.status = unixtools::Run("/usr/bin/hp2xx -m png " + args + " -f '" + unixtools::UnixPath(png) + "' '" +
                                  unixtools::UnixPath(plot) + "'",
                              &r.log);
    const std::string key = "Unexpected event(s):";
    size_t at = r.log.find(key);
    if (at != std::string::npos)
        r.unexpected = std::atoi(r.log.c_str() + at + key.size());
    for (size_t p = r.log.find(": ignored"); p != std::string::npos; p = r.log.find(": ignored", p + 1))
        if (p >= 2)
            r.ignored.insert(r.log.substr(p - 2, 2));
    return r;
}

// The packed RGB colours of a PNG file (none when it cannot be read).
inline std::set<int> PngColours(const std::string& png)
{
    plotfile::Picture p;
    if (!plotfile::LoadPicture(png, p))
        return {};
    return std::set<int>(p.rgb.begin(), p.rgb.end());
}

// Runs the Python SCRIPT (written next to the file) with FILE as its
// argument; its output in OUTPUT. Returns the exit status.
inline int Python(const std::string& folder, const std::string& script, const std::string& file, std::string& output)
{
    const std::string path = folder + "\\reader.py";
    {
        std::ofstream out(path, std::ios::binary);
        out << script;
    }
    return unixtools::Run("/usr/bin/python3 '" + unixtools::UnixPath(path) + "' '" + unixtools::UnixPath(file) + "'",
                          &output);
}

// The value after "KEY " on a line of OUTPUT ("" when there is none).
inline std::string Field(const std::string& output, const std::string& key)
{
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(key + " ", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return "";
}

} // namespace readers

// Scratch files of the metafile tests: names in the temporary folder that
// include the process id, and whole-file reads and writes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string TempName(const std::string& leaf)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "kvbtest_" + std::to_string(GetCurrentProcessId()) + "_" + leaf;
}

inline std::vector<uint8_t> ReadAll(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Shared pieces of the hardcopy benchmarks (disabled tests run by the bench/
// scripts): the folder their files go to, a millisecond clock inside the
// process, and the median of a set of times.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// KESTROW_BENCH_DIR (a Unix or Windows path) as a Windows path, else FALLBACK.
inline std::string Folder(const std::string& fallback)
{
    const char* dir = std::getenv("KESTROW_BENCH_DIR");
    if (!dir || !*dir)
        return fallback;
    std::string folder = dir;
    if (folder[0] == '/')
        folder = "Z:" + folder;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

// Milliseconds from QueryPerformanceCounter.
inline double Now()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace bench

#include "graphics/scan_edges.h"

#include <cstddef>
#include <utility>

namespace {
constexpr int kPendingRanges = 30;
}

bool ScanEdgesSort(std::vector<ScanEdge>& e)
{
    int pending[kPendingRanges][2];
    int top = 0;
    int lo = 0, hi = static_cast<int>(e.size()) - 1;
    for (;;) {
        while (hi - lo >= 2) {
            const double pivot = e[static_cast<std::size_t>((lo + hi) / 2)].lower;
            int i = lo, j = hi;
            while (i <= j) {
                while (e[static_cast<std::size_t>(i)].lower < pivot)
                    ++i;
                while (e[static_cast<std::size_t>(j)].lower > pivot)
                    --j;
                if (i <= j) {
                    std::swap(e[static_cast<std::size_t>(i)], e[static_cast<std::size_t>(j)]);
                    ++i;
                    --j;
                }
            }
            if (top == kPendingRanges)
                return false;
            if (j - lo < hi - i) {
                pending[top][0] = i;
                pending[top][1] = hi;
                hi = j;
            } else {
                pending[top][0] = lo;
                pending[top][1] = j;
                lo = i;
            }
            ++top;
        }
        if (hi - lo == 1 && e[static_cast<std::size_t>(lo)].lower > e[static_cast<std::size_t>(hi)].lower)
            std::swap(e[static_cast<std::size_t>(lo)], e[static_cast<std::size_t>(hi)]);
        if (top == 0)
            return true;
        --top;
        lo = pending[top][0];
        hi = pending[top][1];
    }
}

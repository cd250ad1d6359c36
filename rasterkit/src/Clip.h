#pragma once
// Clipping of a run of n positions placed at several offsets in bitmaps of given sizes: the
// positions c with 0 <= offset + c < size for every pair lie in [first, last).

#include <algorithm>
#include <cstdint>
#include <initializer_list>

struct Placement {
    std::int64_t offset;
    std::int64_t size;
};

inline bool ClipRun(std::int64_t n, std::initializer_list<Placement> places, int& first,
                    int& last) {
    std::int64_t lo = 0, hi = n;
    for (const Placement& p : places) {
        lo = std::max(lo, -p.offset);
        hi = std::min(hi, p.size - p.offset);
    }
    if (lo >= hi) return false;
    first = int(lo);
    last = int(hi);
    return true;
}

#pragma once
// The pairs of sub-paths of two paths whose control boxes may meet, found by a sweep along x
// instead of testing every pair: found(i, k) for each sub-path i of a and k of b whose x
// intervals overlap, a's interval grown by tol on both sides exactly as the callers' box tests
// grow it (left - tol, right + tol in float). The callers apply their own full test and order.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "pathkit/Path.h"

template <class Found> void VisitSubPathXOverlaps(Path& a, Path& b, float tol, Found&& found) {
    struct Item {
        float lo, hi;
        std::uint32_t index; // high bit: b
    };
    constexpr std::uint32_t OnB = 0x80000000u;
    std::vector<Item> items;
    items.reserve(unsigned(a.subPaths.Filled()) + b.subPaths.Filled());
    // A NaN edge fails every comparison of the box tests: such a box meets nothing.
    auto add = [&](const floatBBox& box, float grow, std::uint32_t index) {
        float lo = box.left - grow, hi = box.right + grow;
        if (lo == lo && hi == hi) items.push_back({lo, hi, index});
    };
    for (std::uint16_t i = 0; i < a.subPaths.Filled(); ++i)
        add(a.subPaths[i].ctrlBox, tol, i);
    for (std::uint16_t k = 0; k < b.subPaths.Filled(); ++k)
        add(b.subPaths[k].ctrlBox, 0, k | OnB);
    std::sort(items.begin(), items.end(), [](const Item& x, const Item& y) {
        return x.lo != y.lo ? x.lo < y.lo : x.index < y.index;
    });
    // Passed intervals that still reach the sweep position; an interval met later by one that
    // begins no further left than its end overlaps it.
    std::vector<const Item*> activeA, activeB;
    for (const Item& it : items) {
        bool onB = it.index & OnB;
        std::vector<const Item*>& other = onB ? activeA : activeB;
        for (std::size_t k = 0; k < other.size();) {
            if (other[k]->hi < it.lo) {
                other[k] = other.back();
                other.pop_back();
                continue;
            }
            if (it.lo <= other[k]->hi && other[k]->lo <= it.hi) {
                if (onB) {
                    found(other[k]->index, it.index & ~OnB);
                } else {
                    found(it.index, other[k]->index & ~OnB);
                }
            }
            ++k;
        }
        (onB ? activeB : activeA).push_back(&it);
    }
}

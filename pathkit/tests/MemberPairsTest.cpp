// The member pair search's key order: whatever way the keys are sorted, the visiting order is
// that of a plain sort of (group of i, group of j, i, j).
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "MemberPairs.h"

namespace {

std::uint64_t Key(unsigned i, unsigned j, unsigned stepA, unsigned stepB) {
    return std::uint64_t(i / stepA) << 48 | std::uint64_t(j / stepB) << 32 |
           std::uint64_t(i) << 16 | j;
}

TEST(MemberPairs, KeysSortAsAPlainSort) {
    struct Case {
        unsigned members, stepA, stepB;
        int near, far; // pairs per member with neighbours and with members anywhere
        int crowd;     // pairs of one member that meets many
    };
    const Case cases[] = {
        {3000, 8, 8, 3, 0, 0},      // a contour with itself: neighbours only
        {3000, 187, 187, 4, 1, 0},  // coarse groups, a few far pairs
        {2000, 8, 500, 2, 2, 120},  // groups of different size, one crowded member
        {600, 1, 1, 1, 0, 40},      // groups of one member
        {60000, 8, 8, 0, 0, 0},     // spread thinly: too few keys for the spread
    };
    std::mt19937 rng(5);
    memberpairs::Workspace ws;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.members << " members, steps " << c.stepA << ", "
                                        << c.stepB);
        std::uniform_int_distribution<unsigned> any(0, c.members - 1), offset(1, 6);
        std::vector<std::uint64_t> keys;
        for (unsigned i = 0; i < c.members; ++i) {
            for (int k = 0; k < c.near; ++k) {
                unsigned j = std::min(c.members - 1, i + offset(rng));
                keys.push_back(Key(i, j, c.stepA, c.stepB));
                keys.push_back(Key(j, i, c.stepA, c.stepB));
            }
            for (int k = 0; k < c.far; ++k)
                keys.push_back(Key(i, any(rng), c.stepA, c.stepB));
        }
        for (int k = 0; k < c.crowd; ++k)
            keys.push_back(Key(c.members / 2, any(rng), c.stepA, c.stepB));
        if (keys.empty())
            for (int k = 0; k < 400; ++k)
                keys.push_back(Key(any(rng), any(rng), c.stepA, c.stepB));
        std::shuffle(keys.begin(), keys.end(), rng);
        std::vector<std::uint64_t> expected = keys;
        std::sort(expected.begin(), expected.end());
        memberpairs::SortKeys(ws, keys, c.stepA);
        EXPECT_EQ(keys, expected);
    }
}

} // namespace

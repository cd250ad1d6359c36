#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

class HeapTest : public ::testing::Test {
protected:
    void SetUp() override { SdResetMemoryTesting(); }
    void TearDown() override {
        SdResetMemoryTesting();
        if (heap) HeapDestroy(heap);
    }
    HANDLE heap = HeapCreate(0, 8192, 0);
};

TEST_F(HeapTest, AllocSizeFreeAndZeroing) {
    ASSERT_NE(heap, nullptr);
    auto* zeroed = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 100));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(zeroed[i], 0) << i;
    EXPECT_EQ(HeapSize(heap, 0, zeroed), 100u);

    void* empty = HeapAlloc(heap, 0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(HeapSize(heap, 0, empty), 0u);
    EXPECT_EQ(SdLiveHeapBlockCount(heap), 2u);

    EXPECT_TRUE(HeapFree(heap, 0, zeroed));
    EXPECT_TRUE(HeapFree(heap, 0, empty));
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));
    EXPECT_EQ(SdLiveHeapBlockCount(heap), 0u);
    EXPECT_NE(HeapCompact(heap, 0), 0u);
}

TEST_F(HeapTest, ForeignPointersAndHandlesAreRefused) {
    HANDLE other = HeapCreate(0, 0, 0);
    void* mine = HeapAlloc(heap, 0, 16);
    int local = 0;

    SetLastError(0);
    EXPECT_FALSE(HeapFree(other, 0, mine)); // a block of another heap
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(HeapFree(heap, 0, &local));
    EXPECT_EQ(HeapSize(heap, 0, &local), SIZE_T(-1));
    EXPECT_EQ(HeapReAlloc(heap, 0, &local, 32), nullptr);
    EXPECT_EQ(HeapReAlloc(heap, 0, nullptr, 32), nullptr);

    EXPECT_TRUE(HeapFree(heap, 0, mine));
    EXPECT_FALSE(HeapFree(heap, 0, mine)); // twice

    ASSERT_TRUE(HeapDestroy(other));
    SetLastError(0);
    EXPECT_EQ(HeapAlloc(other, 0, 8), nullptr); // destroyed
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(HeapDestroy(other));
    EXPECT_EQ(HeapAlloc(&local, 0, 8), nullptr);
    EXPECT_EQ(HeapCompact(nullptr, 0), 0u);
}

TEST_F(HeapTest, DestroyFreesLiveBlocks) {
    // LeakSanitizer reports the blocks if they are not freed.
    HANDLE doomed = HeapCreate(0, 0, 0);
    for (int i = 0; i < 50; ++i)
        ASSERT_NE(HeapAlloc(doomed, 0, 1000 + i), nullptr);
    EXPECT_EQ(SdLiveHeapBlockCount(doomed), 50u);
    EXPECT_TRUE(HeapDestroy(doomed));
    EXPECT_EQ(SdLiveHeapBlockCount(doomed), 0u);
}

TEST_F(HeapTest, ManyBlocksKeepTheirSizesAsOthersAreFreed) {
    constexpr int count = 3000;
    std::vector<void*> blocks(count);
    for (int i = 0; i < count; ++i) {
        blocks[i] = HeapAlloc(heap, 0, SIZE_T(i % 97));
        ASSERT_NE(blocks[i], nullptr);
    }
    // Every third block in a scattered order, then the sizes of all that are left.
    for (int k = 0; k < count; ++k) {
        int i = int((k * 1543L) % count);
        if (i % 3) continue;
        ASSERT_TRUE(HeapFree(heap, 0, blocks[i])) << i;
        blocks[i] = nullptr;
    }
    EXPECT_EQ(SdLiveHeapBlockCount(heap), SIZE_T(count - count / 3));
    for (int i = 0; i < count; ++i) {
        if (!blocks[i]) continue;
        ASSERT_EQ(HeapSize(heap, 0, blocks[i]), SIZE_T(i % 97)) << i;
        ASSERT_TRUE(HeapFree(heap, 0, blocks[i])) << i;
        EXPECT_FALSE(HeapFree(heap, 0, blocks[i])) << i;
    }
    EXPECT_EQ(SdLiveHeapBlockCount(heap), 0u);
}

TEST_F(HeapTest, ReAllocKeepsContentAndZeroesGrowth) {
    auto* block = static_cast<unsigned char*>(HeapAlloc(heap, 0, 8));
    std::memcpy(block, "abcdefgh", 8);
    auto* grown = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 64));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(std::memcmp(grown, "abcdefgh", 8), 0);
    for (int i = 8; i < 64; ++i)
        ASSERT_EQ(grown[i], 0) << i;
    EXPECT_EQ(HeapSize(heap, 0, grown), 64u);

    auto* shrunk = static_cast<unsigned char*>(HeapReAlloc(heap, 0, grown, 4));
    ASSERT_NE(shrunk, nullptr);
    EXPECT_EQ(std::memcmp(shrunk, "abcd", 4), 0);
    EXPECT_EQ(HeapSize(heap, 0, shrunk), 4u);

    // In place only: shrinking keeps the address, growing fails and keeps the block.
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, shrunk, 2), shrunk);
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, shrunk, 100), nullptr);
    EXPECT_EQ(HeapSize(heap, 0, shrunk), 2u);
    EXPECT_EQ(std::memcmp(shrunk, "ab", 2), 0);
}

// The arrays grow by fixed steps: 10,000 steps to 6.5 MB copied the whole block every time
// (seconds, mostly in the kernel) before reallocation could grow in place.
TEST_F(HeapTest, ReAllocInSmallStepsKeepsContentAndIsNotQuadratic) {
    constexpr SIZE_T step = 650;
#if !defined(__SANITIZE_ADDRESS__)
    constexpr int steps = 10000;
#else
    // The sanitizer's allocator moves every block, so the copies are quadratic there.
    constexpr int steps = 1500;
#endif
    auto begin = std::chrono::steady_clock::now();
    auto* block = static_cast<unsigned char*>(HeapAlloc(heap, 0, step));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0, step);
    for (int i = 1; i < steps; ++i) {
        auto* grown = static_cast<unsigned char*>(
            HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, SIZE_T(i + 1) * step));
        ASSERT_NE(grown, nullptr) << i;
        block = grown;
        block[SIZE_T(i) * step] = static_cast<unsigned char>(i);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    for (int i = 0; i < steps; ++i) {
        ASSERT_EQ(block[SIZE_T(i) * step], static_cast<unsigned char>(i)) << i;
        ASSERT_EQ(block[SIZE_T(i) * step + 1], 0) << i;
    }
    EXPECT_EQ(HeapSize(heap, 0, block), step * steps);
#if !defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator always moves a block; elsewhere this takes milliseconds.
    EXPECT_LT(seconds, 2.0);
#else
    (void)seconds;
#endif
}

TEST_F(HeapTest, MaximumSizeLimitsTheTotal) {
    HANDLE small = HeapCreate(0, 0, 1000);
    void* a = HeapAlloc(small, 0, 600);
    ASSERT_NE(a, nullptr);
    SetLastError(0);
    EXPECT_EQ(HeapAlloc(small, 0, 500), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(HeapReAlloc(small, 0, a, 1001), nullptr);
    EXPECT_EQ(HeapSize(small, 0, a), 600u);
    EXPECT_EQ(HeapCompact(small, 0), 400u);
    void* b = HeapAlloc(small, 0, 400);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(HeapFree(small, 0, a));
    EXPECT_NE(HeapAlloc(small, 0, 500), nullptr);
    EXPECT_EQ(SdHeapRefusedCount(), 2);
    EXPECT_TRUE(HeapDestroy(small));

    EXPECT_EQ(HeapCreate(0, 2000, 1000), nullptr);
}

TEST_F(HeapTest, HugeRequestsFailWithoutCrashing) {
    EXPECT_EQ(HeapAlloc(heap, 0, SIZE_T(-1)), nullptr);
    void* block = HeapAlloc(heap, 0, 8);
    EXPECT_EQ(HeapReAlloc(heap, 0, block, SIZE_T(-1) / 2), nullptr);
    EXPECT_EQ(HeapSize(heap, 0, block), 8u);
}

TEST_F(HeapTest, InjectedFailures) {
    void* block = HeapAlloc(heap, 0, 4);
    std::memcpy(block, "keep", 4);

    SdFailHeapRequests(2);
    SetLastError(0);
    EXPECT_EQ(HeapAlloc(heap, 0, 8), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    // A refused reallocation leaves the old block as it was.
    EXPECT_EQ(HeapReAlloc(heap, 0, block, 1000), nullptr);
    EXPECT_EQ(HeapSize(heap, 0, block), 4u);
    EXPECT_EQ(std::memcmp(block, "keep", 4), 0);
    void* third = HeapAlloc(heap, 0, 8);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(SdHeapRequestCount(), 4);
    EXPECT_EQ(SdHeapRefusedCount(), 2);

    // Fail the third request from now on, only that one.
    SdFailHeapRequests(1, 2);
    EXPECT_NE(HeapAlloc(heap, 0, 1), nullptr);
    EXPECT_NE(HeapAlloc(heap, 0, 1), nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 1), nullptr);
    EXPECT_NE(HeapAlloc(heap, 0, 1), nullptr);

    // Global requests are counted apart.
    EXPECT_EQ(SdGlobalRequestCount(), 0);
    SdFailHeapRequests(5);
    SdResetMemoryTesting();
    EXPECT_NE(HeapAlloc(heap, 0, 1), nullptr);
    EXPECT_EQ(SdHeapRefusedCount(), 0);
}

} // namespace

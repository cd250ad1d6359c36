#include <gtest/gtest.h>

#include <cstring>

#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

class GlobalMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        SdResetMemoryTesting();
        liveBefore = SdLiveGlobalCount();
    }
    void TearDown() override {
        SdResetMemoryTesting();
        EXPECT_EQ(SdLiveGlobalCount(), liveBefore);
    }
    SIZE_T liveBefore = 0;
};

TEST_F(GlobalMemoryTest, MoveableHandleIsNotTheAddress) {
    HGLOBAL handle = GlobalAlloc(GHND, 32);
    ASSERT_NE(handle, nullptr);
    auto* p = static_cast<unsigned char*>(GlobalLock(handle));
    ASSERT_NE(p, nullptr);
    EXPECT_NE(static_cast<void*>(p), handle);
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(GlobalHandle(p), handle);
    EXPECT_EQ(GlobalSize(handle), 32u);
    EXPECT_EQ(GlobalLock(handle), p);
    EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 2u);

    EXPECT_TRUE(GlobalUnlock(handle)); // still locked
    SetLastError(12345);
    EXPECT_FALSE(GlobalUnlock(handle)); // now unlocked
    EXPECT_EQ(GetLastError(), NO_ERROR);
    EXPECT_FALSE(GlobalUnlock(handle)); // was not locked
    EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
    EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 0u);
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST_F(GlobalMemoryTest, FixedBlockIsItsOwnHandle) {
    auto* p = static_cast<char*>(GlobalAlloc(GPTR, 16));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "fixed", 6); // usable without locking
    EXPECT_EQ(GlobalLock(p), p);
    EXPECT_EQ(GlobalFlags(p), 0u);
    EXPECT_TRUE(GlobalUnlock(p));
    EXPECT_EQ(GlobalHandle(p), p);
    EXPECT_EQ(GlobalFree(p), nullptr);
}

TEST_F(GlobalMemoryTest, ReAllocKeepsContents) {
    // Unlocked moveable: may move, handle stays, growth zeroed on request.
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(handle), "data", 4);
    GlobalUnlock(handle);
    ASSERT_EQ(GlobalReAlloc(handle, 4096, GMEM_ZEROINIT), handle);
    auto* p = static_cast<unsigned char*>(GlobalLock(handle));
    EXPECT_EQ(std::memcmp(p, "data", 4), 0);
    for (int i = 4; i < 4096; ++i)
        ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(GlobalSize(handle), 4096u);

    // Locked: grows only when the caller lets it move.
    EXPECT_EQ(GlobalReAlloc(handle, 8192, 0), nullptr);
    EXPECT_EQ(GlobalSize(handle), 4096u);
    EXPECT_EQ(GlobalReAlloc(handle, 8192, GMEM_MOVEABLE), handle);
    p = static_cast<unsigned char*>(GlobalLock(handle));
    EXPECT_EQ(std::memcmp(p, "data", 4), 0);
    EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 2u);
    EXPECT_EQ(GlobalFree(handle), nullptr); // freed although locked

    // Fixed: moving gives a new pointer and the old one is gone.
    auto* fixed = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 3));
    std::memcpy(fixed, "abc", 3);
    EXPECT_EQ(GlobalReAlloc(fixed, 100, 0), nullptr);
    auto* moved = static_cast<char*>(GlobalReAlloc(fixed, 100, GMEM_MOVEABLE));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(std::memcmp(moved, "abc", 3), 0);
    EXPECT_NE(moved, fixed);
    EXPECT_EQ(GlobalSize(fixed), 0u);
    EXPECT_EQ(GlobalReAlloc(moved, 1, 0), moved); // shrinks in place
    EXPECT_EQ(GlobalSize(moved), 1u);
    EXPECT_EQ(GlobalFree(moved), nullptr);
}

TEST_F(GlobalMemoryTest, ModifyTurnsFixedIntoMoveable) {
    auto* p = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 8));
    HGLOBAL handle = GlobalReAlloc(p, 0, GMEM_MODIFY | GMEM_MOVEABLE);
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(handle, static_cast<HGLOBAL>(p));
    EXPECT_EQ(GlobalLock(handle), p);
    EXPECT_EQ(GlobalSize(handle), 8u);
    EXPECT_EQ(GlobalSize(p), 0u); // no longer a handle
    EXPECT_EQ(GlobalReAlloc(handle, 0, GMEM_MODIFY), handle);
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST_F(GlobalMemoryTest, UnknownHandlesFailCleanly) {
    HGLOBAL freed = GlobalAlloc(GHND, 8);
    ASSERT_EQ(GlobalFree(freed), nullptr);
    int local = 0;
    for (HGLOBAL bad : {freed, static_cast<HGLOBAL>(&local),
                        reinterpret_cast<HGLOBAL>(std::uintptr_t(0x12345))}) {
        SetLastError(0);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(GlobalUnlock(bad));
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalFlags(bad), GMEM_INVALID_HANDLE);
        EXPECT_EQ(GlobalReAlloc(bad, 16, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GlobalFree(bad), bad);
        EXPECT_EQ(GlobalHandle(bad), nullptr);
    }
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
}

TEST_F(GlobalMemoryTest, InjectedFailures) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(handle), "keep", 4);
    GlobalUnlock(handle);

    SdFailGlobalRequests(2);
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(GlobalReAlloc(handle, 100, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(handle), 4u);
    EXPECT_EQ(std::memcmp(GlobalLock(handle), "keep", 4), 0);
    GlobalUnlock(handle);
    HGLOBAL next = GlobalAlloc(GHND, 8);
    EXPECT_NE(next, nullptr);
    EXPECT_EQ(SdGlobalRequestCount(), 4);
    EXPECT_EQ(SdGlobalRefusedCount(), 2);
    EXPECT_EQ(SdHeapRequestCount(), 0);

    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_T(-1)), nullptr); // no memory, no crash
    EXPECT_EQ(SdGlobalRefusedCount(), 3);
    GlobalFree(next);
    GlobalFree(handle);
}

} // namespace

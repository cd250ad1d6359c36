#include <gtest/gtest.h>

#include <thread>

#include "win32/kernel.h"

namespace {

TEST(KernelErrorTest, LastErrorIsPerThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOther = 1;
    std::thread([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_FILE_NOT_FOUND);
    }).join();
    EXPECT_EQ(seenByOther, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

} // namespace

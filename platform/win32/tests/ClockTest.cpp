#include <gtest/gtest.h>

#include <chrono>

#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

constexpr SYSTEMTIME kNoon{2024, 3, 5, 12, 12, 0, 0, 0};

bool sameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDayOfWeek == b.wDayOfWeek &&
           a.wDay == b.wDay && a.wHour == b.wHour && a.wMinute == b.wMinute &&
           a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { SdRemoveFakeClock(); }
};

TEST_F(ClockTest, FakeClockStandsStillUntilSleep) {
    SdInstallFakeClock(0xFFFFFF00u, kNoon);
    EXPECT_TRUE(SdFakeClockInstalled());
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u);

    auto before = std::chrono::steady_clock::now();
    Sleep(60000);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u + 60000u); // wraps like the original

    SdAdvanceFakeClock(5);
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u + 60005u);

    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_TRUE(sameTime(now, kNoon));
    SYSTEMTIME later = kNoon;
    later.wHour = 13;
    SdSetFakeLocalTime(later);
    GetLocalTime(&now);
    EXPECT_TRUE(sameTime(now, later));
}

TEST_F(ClockTest, RealClockAfterRemoval) {
    SdInstallFakeClock(1, kNoon);
    SdRemoveFakeClock();
    EXPECT_FALSE(SdFakeClockInstalled());

    DWORD start = GetTickCount();
    Sleep(30);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 29u);
    EXPECT_LT(elapsed, 10000u);

    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2024);
    EXPECT_TRUE(now.wMonth >= 1 && now.wMonth <= 12);
    EXPECT_TRUE(now.wDay >= 1 && now.wDay <= 31);
    EXPECT_LE(now.wDayOfWeek, 6);
    EXPECT_LE(now.wHour, 23);
    EXPECT_LE(now.wMinute, 59);
    EXPECT_LE(now.wMilliseconds, 999);
}

} // namespace

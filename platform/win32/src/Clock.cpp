#include <cerrno>
#include <ctime>
#include <mutex>

#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

struct FakeClock {
    std::mutex mutex;
    bool installed = false;
    DWORD tickCount = 0;
    SYSTEMTIME localTime{};
};

FakeClock& fakeClock() {
    static FakeClock clock;
    return clock;
}

} // namespace

// Milliseconds of the monotonic clock; wraps after 49.7 days like the original.
DWORD GetTickCount() {
    FakeClock& fake = fakeClock();
    {
        std::lock_guard lock(fake.mutex);
        if (fake.installed) return fake.tickCount;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return DWORD(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

void Sleep(DWORD milliseconds) {
    FakeClock& fake = fakeClock();
    {
        std::lock_guard lock(fake.mutex);
        if (fake.installed) {
            fake.tickCount += milliseconds;
            return;
        }
    }
    if (milliseconds == INFINITE) {
        for (;;) {
            timespec day{86400, 0};
            nanosleep(&day, nullptr);
        }
    }
    timespec wait{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    timespec rest{};
    while (nanosleep(&wait, &rest) != 0 && errno == EINTR)
        wait = rest;
}

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) return;
    FakeClock& fake = fakeClock();
    {
        std::lock_guard lock(fake.mutex);
        if (fake.installed) {
            *time = fake.localTime;
            return;
        }
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm parts{};
    localtime_r(&now.tv_sec, &parts);
    time->wYear = WORD(parts.tm_year + 1900);
    time->wMonth = WORD(parts.tm_mon + 1);
    time->wDayOfWeek = WORD(parts.tm_wday);
    time->wDay = WORD(parts.tm_mday);
    time->wHour = WORD(parts.tm_hour);
    time->wMinute = WORD(parts.tm_min);
    time->wSecond = WORD(parts.tm_sec > 59 ? 59 : parts.tm_sec); // leap second
    time->wMilliseconds = WORD(now.tv_nsec / 1000000);
}

void SdInstallFakeClock(DWORD tickCount, const SYSTEMTIME& localTime) {
    FakeClock& fake = fakeClock();
    std::lock_guard lock(fake.mutex);
    fake.installed = true;
    fake.tickCount = tickCount;
    fake.localTime = localTime;
}

void SdRemoveFakeClock() {
    FakeClock& fake = fakeClock();
    std::lock_guard lock(fake.mutex);
    fake.installed = false;
}

bool SdFakeClockInstalled() {
    FakeClock& fake = fakeClock();
    std::lock_guard lock(fake.mutex);
    return fake.installed;
}

void SdAdvanceFakeClock(DWORD milliseconds) {
    FakeClock& fake = fakeClock();
    std::lock_guard lock(fake.mutex);
    fake.tickCount += milliseconds;
}

void SdSetFakeLocalTime(const SYSTEMTIME& localTime) {
    FakeClock& fake = fakeClock();
    std::lock_guard lock(fake.mutex);
    fake.localTime = localTime;
}

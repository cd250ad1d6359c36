#include "PortWait.h"

#include <cerrno>
#include <chrono>
#include <poll.h>

#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace comm32 {

namespace {

// Real time a peer gets to answer while the fake clock runs.
constexpr int fakeClockGraceMilliseconds = 10;

short pollFor(int fd, short events, int milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        pollfd watch{fd, events, 0};
        int n = ::poll(&watch, 1, milliseconds);
        if (n > 0) return watch.revents;
        if (n == 0 || errno != EINTR) return 0;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        milliseconds = left.count() > 0 ? int(left.count()) : 0;
    }
}

} // namespace

short waitForPort(int fd, short events, DWORD milliseconds) {
    if (!SdFakeClockInstalled()) return pollFor(fd, events, int(milliseconds));
    if (short ready = pollFor(fd, events, fakeClockGraceMilliseconds)) return ready;
    Sleep(milliseconds);
    return 0;
}

} // namespace comm32

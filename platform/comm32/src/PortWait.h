#pragma once
// Bounded waits on a port, measured by the layer's clock.

#include "win32/base.h"

namespace comm32 {

// How long one call waits for a port that is not ready.
constexpr DWORD portWaitMilliseconds = 50;

// Waits until the descriptor reports one of the poll events, at most `milliseconds`.
// Returns the events reported, 0 on time-out. Under the fake clock the port is watched for
// a short real moment (for a peer on another thread) and the time then passes by Sleep.
short waitForPort(int fd, short events, DWORD milliseconds);

} // namespace comm32

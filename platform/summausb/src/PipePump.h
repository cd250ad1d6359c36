#pragma once
// A cutter without a device node (a vendor interface reached through libusb) behind kernel
// file handles: each pipe is one end of a socket pair, and a thread of its own moves the
// bytes between the other end and the cutter. A pipe's thread ends when the handle's side
// is closed; the pump closes the cutter when both have ended, or when it is destroyed.

#include <atomic>
#include <mutex>
#include <thread>

namespace cutterlink {
class Link;
}

class PipePump {
public:
    // The pump takes over `link`, which is open.
    explicit PipePump(cutterlink::Link* link);
    ~PipePump();
    PipePump(const PipePump&) = delete;
    PipePump& operator=(const PipePump&) = delete;

    // The descriptor for the kernel handle of the commands pipe (written by the driver) or
    // of the replies pipe (read by it); -1 when no socket pair could be made.
    int CommandsEnd();
    int RepliesEnd();

private:
    void Commands(int fd);
    void Replies(int fd);
    void Finished();

    cutterlink::Link* link_;
    std::mutex mutex_;
    std::atomic<bool> stop_{false};
    std::atomic<int> running_{0};
    std::thread commands_, replies_;
};

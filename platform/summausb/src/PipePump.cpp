#include "PipePump.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cutterlink/CutterLink.h>

namespace {

// How long each thread waits before it looks at the stop flag again, in milliseconds.
constexpr int kSlice = 100;
// A write to the cutter that makes no progress this long ends the pipe.
constexpr int kWriteMilliseconds = 5000;

// A socket pair whose first end goes to the kernel handle; the sending buffer is small, so
// that a cutter that takes nothing soon leaves the driver's write pending.
bool MakePair(int ends[2]) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
    int size = 4096;
    ::setsockopt(ends[0], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    ::setsockopt(ends[1], SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    return true;
}

} // namespace

PipePump::PipePump(cutterlink::Link* link) : link_(link) {}

PipePump::~PipePump() {
    stop_ = true;
    if (commands_.joinable()) commands_.join();
    if (replies_.joinable()) replies_.join();
    delete link_;
}

int PipePump::CommandsEnd() {
    std::lock_guard lock(mutex_);
    int ends[2];
    if (commands_.joinable() || !MakePair(ends)) return -1;
    ++running_;
    commands_ = std::thread(&PipePump::Commands, this, ends[1]);
    return ends[0];
}

int PipePump::RepliesEnd() {
    std::lock_guard lock(mutex_);
    int ends[2];
    if (replies_.joinable() || !MakePair(ends)) return -1;
    ++running_;
    replies_ = std::thread(&PipePump::Replies, this, ends[1]);
    return ends[0];
}

void PipePump::Commands(int fd) {
    char chunk[4096];
    while (!stop_) {
        pollfd watch{fd, POLLIN, 0};
        int ready = ::poll(&watch, 1, kSlice);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n == 0) break; // the handle was closed
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            break;
        }
        if (!link_->Write(chunk, int(n), kWriteMilliseconds)) break;
    }
    ::close(fd);
    Finished();
}

void PipePump::Replies(int fd) {
    char chunk[64];
    while (!stop_) {
        pollfd watch{fd, 0, 0};
        if (::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL))) break;
        int n = link_->Read(chunk, int(sizeof chunk), kSlice);
        if (n < 0) break;
        int sent = 0;
        while (sent < n && !stop_) {
            ssize_t m =
                ::send(fd, chunk + sent, std::size_t(n - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (m > 0) {
                sent += int(m);
            } else if (m < 0 && (errno == EAGAIN || errno == EINTR)) {
                // Replies nobody reads: the handle's side is full; wait for room.
                pollfd room{fd, POLLOUT, 0};
                ::poll(&room, 1, kSlice);
            } else {
                sent = -1;
                break;
            }
        }
        if (sent < 0) break;
    }
    ::close(fd);
    Finished();
}

void PipePump::Finished() {
    // The last thread to end lets the cutter go.
    if (--running_ == 0) {
        std::lock_guard lock(mutex_);
        if (link_) link_->Close();
    }
}

// Over the kernel's termios2 (not <termios.h>), which reads every speed exactly.
#include <algorithm>
#include <asm/termbits.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "testing/FakeCutter.h"

namespace {

constexpr char xon = 0x11;
constexpr char xoff = 0x13;
// How long the reader sleeps in poll when nothing happens; Wake cuts it short.
constexpr int idleMilliseconds = 200;
// The longest a write to the port may wait for room.
constexpr int writeMilliseconds = 1000;

using Clock = std::chrono::steady_clock;

void makeRaw(int fd) {
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0) return;
    line.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    line.c_oflag &= ~tcflag_t(OPOST);
    line.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag &= ~tcflag_t(CSIZE | PARENB);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    ::ioctl(fd, TCSETS2, &line);
}

} // namespace

FakeCutter::FakeCutter() {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128];
    if (master < 0) return;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0 || ::pipe2(wake_, O_CLOEXEC | O_NONBLOCK)) {
        ::close(master);
        return;
    }
    keepOpen_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (keepOpen_ < 0) {
        ::close(master);
        return;
    }
    makeRaw(keepOpen_);
    master_ = master;
    portPath_ = name;
    reader_ = std::thread([this] { Run(); });
}

FakeCutter::~FakeCutter() {
    if (reader_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        Wake();
        reader_.join();
    }
    for (int fd : {master_, keepOpen_, wake_[0], wake_[1]})
        if (fd >= 0) ::close(fd);
}

void FakeCutter::SetReply(const std::string& query, const std::string& reply) {
    if (query.empty()) return;
    std::lock_guard lock(mutex_);
    if (reply.empty())
        replies_.erase(query);
    else
        replies_[query] = reply;
}

void FakeCutter::Send(const std::string& bytes) {
    WriteToPort(bytes);
}

void FakeCutter::SetReadyByte(const std::string& ready) {
    {
        std::lock_guard lock(mutex_);
        ready_ = ready;
    }
    if (!ready.empty()) WriteToPort(ready);
}

std::string FakeCutter::Received() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

void FakeCutter::ClearReceived() {
    std::lock_guard lock(mutex_);
    bytes_.clear();
}

bool FakeCutter::WaitForReceived(const std::string& text, int milliseconds) const {
    std::unique_lock lock(mutex_);
    return received_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [&] { return bytes_.find(text) != std::string::npos; });
}

bool FakeCutter::WaitForReceivedCount(std::size_t count, int milliseconds) const {
    std::unique_lock lock(mutex_);
    return received_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [&] { return bytes_.size() >= count; });
}

void FakeCutter::Hold() {
    {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    WriteToPort(std::string(1, xoff));
}

void FakeCutter::Release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    WriteToPort(std::string(1, xon));
    Wake();
}

void FakeCutter::SetAcceptRate(std::size_t bytes, int milliseconds) {
    {
        std::lock_guard lock(mutex_);
        rateBytes_ = bytes;
        rateMilliseconds_ = bytes ? milliseconds : 0;
    }
    Wake();
}

bool FakeCutter::HeldByPort() const {
    std::lock_guard lock(mutex_);
    return heldByPort_;
}

FakeLineSettings FakeCutter::LineSettings() const {
    FakeLineSettings settings;
    termios2 line{};
    // On the master side the kernel reports the settings of the port side.
    if (master_ < 0 || ::ioctl(master_, TCGETS2, &line) != 0) return settings;
    settings.baudRate = line.c_ospeed;
    settings.stopBits = (line.c_cflag & CSTOPB) ? 2 : 1;
    settings.rtsCts = line.c_cflag & CRTSCTS;
    settings.xonXoff = line.c_iflag & IXON;
    settings.raw = !(line.c_lflag & (ECHO | ICANON | ISIG)) && !(line.c_oflag & OPOST) &&
                   !(line.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
    return settings;
}

void FakeCutter::VanishAfter(std::size_t bytes) {
    {
        std::lock_guard lock(mutex_);
        vanishAt_ = bytes;
    }
    Wake();
}

bool FakeCutter::Vanished() const {
    std::lock_guard lock(mutex_);
    return vanished_;
}

void FakeCutter::Vanish() {
    {
        std::lock_guard write(writeMutex_);
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    std::lock_guard lock(mutex_);
    vanished_ = true;
}

void FakeCutter::Run() {
    for (;;) {
        bool reading;
        std::size_t chunk;
        int pause;
        {
            std::lock_guard lock(mutex_);
            if (stop_) return;
            if (bytes_.size() >= vanishAt_) {
                mutex_.unlock();
                Vanish();
                mutex_.lock();
                received_.notify_all();
                return;
            }
            reading = !held_;
            chunk = rateBytes_ ? rateBytes_ : 4096;
            pause = rateMilliseconds_;
        }
        pollfd watch[2] = {{wake_[0], POLLIN, 0}, {master_, short(reading ? POLLIN : 0), 0}};
        if (::poll(watch, 2, idleMilliseconds) < 0 && errno != EINTR) return;
        if (watch[0].revents & POLLIN) {
            char drain[64];
            while (::read(wake_[0], drain, sizeof drain) > 0) {
            }
            continue; // the settings may have changed: take them afresh before reading
        }
        if (!reading || !(watch[1].revents & POLLIN)) continue;

        char buffer[4096];
        ssize_t n = ::read(master_, buffer, std::min(chunk, sizeof buffer));
        if (n <= 0) continue;
        std::string replies;
        {
            std::lock_guard lock(mutex_);
            ReceiveBytes(buffer, std::size_t(n));
            if (bytes_.size() >= vanishAt_) {
                mutex_.unlock();
                Vanish();
                mutex_.lock();
                received_.notify_all();
                return;
            }
            heldReplies_ += ready_;
            if (!heldByPort_) replies.swap(heldReplies_);
        }
        received_.notify_all();
        if (!replies.empty()) WriteToPort(replies);
        if (pause > 0) {
            // A slow cutter: the next read comes later, unless the test wakes the reader.
            pollfd wait{wake_[0], POLLIN, 0};
            ::poll(&wait, 1, pause);
        }
    }
}

void FakeCutter::ReceiveBytes(const char* data, std::size_t size) {
    bytes_.append(data, size);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == xoff) heldByPort_ = true;
        if (data[i] == xon) heldByPort_ = false;
    }
    unmatched_.append(data, size);
    std::size_t longest = 0;
    for (;;) {
        std::size_t first = std::string::npos;
        const std::pair<const std::string, std::string>* match = nullptr;
        for (const auto& entry : replies_) {
            longest = std::max(longest, entry.first.size());
            std::size_t at = unmatched_.find(entry.first);
            if (at < first || (at == first && at != std::string::npos &&
                               entry.first.size() > match->first.size())) {
                first = at;
                match = &entry;
            }
        }
        if (!match) break;
        heldReplies_ += match->second;
        unmatched_.erase(0, first + match->first.size());
    }
    // Keep only what could still begin a query.
    if (longest == 0)
        unmatched_.clear();
    else if (unmatched_.size() >= longest)
        unmatched_.erase(0, unmatched_.size() - (longest - 1));
}

void FakeCutter::WriteToPort(const std::string& bytes) {
    std::lock_guard lock(writeMutex_);
    if (master_ < 0) return;
    const auto deadline = Clock::now() + std::chrono::milliseconds(writeMilliseconds);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return;
        pollfd watch{master_, POLLOUT, 0};
        ::poll(&watch, 1, int(left));
    }
}

void FakeCutter::Wake() {
    if (wake_[1] >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(wake_[1], &byte, 1);
    }
}

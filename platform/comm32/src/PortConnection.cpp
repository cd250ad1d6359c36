#include "PortConnection.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "PortWait.h"
#include "SerialSettings.h"
#include "win32/kernel.h"

namespace comm32 {

namespace {

DWORD errorOf(int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

// Bytes written but not yet sent; -1 when the device cannot tell.
int queuedOutput(int fd) {
    int queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : -1;
}

constexpr short hangUp = POLLERR | POLLHUP | POLLNVAL;

} // namespace

std::unique_ptr<PortConnection> PortConnection::open(const std::string& path, LPCSTR iniPath,
                                                     LPCSTR section, int* systemError) {
    auto fail = [&](int error) -> std::unique_ptr<PortConnection> {
        if (systemError) *systemError = error;
        if (error) SetLastError(errorOf(error));
        return nullptr;
    };
    // No O_CREAT: a missing node stays missing.
    const int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDWR | flags);
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(path.c_str(), O_WRONLY | flags); // a printer port may be write-only
    if (fd < 0) return fail(errno);
    const bool terminal = ::isatty(fd);
    std::unique_ptr<PortConnection> port(new PortConnection(fd, terminal));
    if (!terminal) return port;

    SerialSettings settings;
    if (!SerialSettings::read(iniPath, section, settings)) return fail(0);
    // A terminal another program holds exclusively refuses here.
    if (::ioctl(fd, TIOCEXCL) != 0) return fail(errno);
    port->exclusive_ = true;
    if (!settings.apply(fd)) return fail(errno);
    ::tcflush(fd, TCIFLUSH); // answers left from an earlier session would mislead
    return port;
}

PortConnection::~PortConnection() {
    if (terminal_) {
        if (queuedOutput(fd_) > 0) ::tcflush(fd_, TCOFLUSH);
        if (exclusive_) ::ioctl(fd_, TIOCNXCL);
    }
    ::close(fd_);
}

int PortConnection::transmit(const char* data, int length) {
    if (!data || length < 0) return -1;
    if (length == 0) return 0;
    for (bool waited = false;;) {
        ssize_t n = ::write(fd_, data, std::size_t(length));
        if (n >= 0) return int(n);
        if (errno == EINTR) continue;
        if (errno != EAGAIN || waited) return errno == EAGAIN ? 0 : -1;
        if (waitForPort(fd_, POLLOUT, portWaitMilliseconds) & hangUp) return -1;
        waited = true;
    }
}

int PortConnection::receive(char* buffer, int length) {
    if (!buffer || length < 0) return -1;
    if (length == 0) return 0;
    short events = 0;
    for (bool waited = false;;) {
        ssize_t n = ::read(fd_, buffer, std::size_t(length));
        if (n > 0) return int(n);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return -1;
        // Nothing there: a raw terminal reads 0 bytes, other devices say EAGAIN, and a line
        // that has hung up reads 0 bytes for ever.
        if (events & hangUp) return -1;
        if (waited) return 0;
        events = waitForPort(fd_, POLLIN, portWaitMilliseconds);
        waited = true;
    }
}

bool PortConnection::transmissionReady() {
    int queued = queuedOutput(fd_);
    if (queued == 0) return true;
    if (queued < 0) {
        // Printer ports keep no count: ready once they take more.
        pollfd watch{fd_, POLLOUT, 0};
        if (::poll(&watch, 1, 0) > 0 && (watch.revents & POLLOUT)) return true;
        return waitForPort(fd_, POLLOUT, portWaitMilliseconds) & POLLOUT;
    }
    Sleep(portWaitMilliseconds); // a terminal drains at its own pace; look again later
    return queuedOutput(fd_) == 0;
}

} // namespace comm32

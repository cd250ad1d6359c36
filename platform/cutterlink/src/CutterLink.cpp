#include "cutterlink/CutterLink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <win32/kernel.h>

#include "PortEnvironment.h"
#include "PortTable.h"
#include "UsbBulkDevice.h"
#include "UsbPortLookup.h"

namespace cutterlink {

std::string DevicePath(const char* section, std::string& reason, std::string* usbId) {
    const std::string table = comm32::PortTable::fileName();
    char device[1024] = "";
    if (!table.empty())
        GetPrivateProfileStringA(section, "Device", "", device, sizeof device, table.c_str());
    if (!*device) {
        reason = "No cutter is named: key Device of section [" + std::string(section) + "] in " +
                 (table.empty() ? std::string("Ports.ini") : table) + ".";
        return {};
    }
    if (device[0] == '/') return device;
    auto id = comm32::parseUsbId(device);
    if (!id) {
        reason = std::string("The Device \"") + device + "\" of section [" + section + "] in " +
                 table + " is neither a device file nor vid_XXXX&pid_XXXX.";
        return {};
    }
    if (usbId) *usbId = device;
    std::string path = comm32::findUsbPort(*id, comm32::PortEnvironment::fromProcess());
    if (path.empty())
        reason = std::string("No cutter with the USB ids ") + device + " is plugged in (section [" +
                 section + "] of " + table + ").";
    return path;
}

Link::~Link() {
    Close();
}

bool Link::Open(const char* section, std::string& reason) {
    Close();
    std::string usbId;
    const std::string path = DevicePath(section, reason, &usbId);
    if (path.empty()) {
        // Ids without a node: a vendor interface, served through libusb when plugged in.
        if (auto id = comm32::parseUsbId(usbId)) {
            std::string why;
            usb_ = UsbBulkDevice::Open(id->vendor, id->product, why);
            if (usb_) return true;
            if (!why.empty()) reason += " " + why;
        }
        return false;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = path + ": " + std::strerror(errno);
        return false;
    }
    if (::isatty(fd)) {
        termios line{};
        if (::tcgetattr(fd, &line) == 0) {
            ::cfmakeraw(&line);
            line.c_cflag |= CLOCAL | CREAD;
            ::tcsetattr(fd, TCSANOW, &line);
        }
        // What the cutter sent before (its ready byte) is kept: it may still be the answer.
    }
    fd_ = fd;
    return true;
}

void Link::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    delete usb_;
    usb_ = nullptr;
}

bool Link::Write(const char* data, int length, int milliseconds) {
    if (usb_ && data && length >= 0) return usb_->Write(data, length, milliseconds);
    if (fd_ < 0 || !data || length < 0) return false;
    int done = 0;
    while (done < length) {
        ssize_t n = ::write(fd_, data + done, std::size_t(length - done));
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd watch{fd_, POLLOUT, 0};
        int ready = ::poll(&watch, 1, milliseconds);
        if (ready == 0) return false;
        if (ready < 0 && errno != EINTR) return false;
        if (watch.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    }
    return true;
}

int Link::Read(char* buffer, int length, int milliseconds) {
    if (usb_ && buffer && length > 0) return usb_->Read(buffer, length, milliseconds);
    if (fd_ < 0 || !buffer || length <= 0) return -1;
    pollfd watch{fd_, POLLIN, 0};
    int ready = ::poll(&watch, 1, milliseconds);
    if (ready < 0) return errno == EINTR ? 0 : -1;
    if (ready == 0) return 0;
    if (!(watch.revents & POLLIN)) return -1;
    ssize_t n = ::read(fd_, buffer, std::size_t(length));
    if (n > 0) return int(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    return -1;
}

} // namespace cutterlink

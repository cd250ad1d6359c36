#pragma once
// The line to a cutter that a maker's library or a USB pipe library reaches: the device
// named by key Device of a section of Ports.ini (in the settings folder, as COMM32's table):
// a device file, or "vid_XXXX&pid_XXXX" looked up in sysfs like COMM32's "USB". The node is
// opened without blocking and, when it is a terminal, made raw. A cutter with those ids
// whose vendor interface has no node is reached through libusb: its first bulk OUT
// endpoint carries the commands, its first bulk IN endpoint the replies. No call waits
// longer than the time it is given.

#include <string>

namespace cutterlink {

struct UsbBulkDevice;

// The device file that section [section] of Ports.ini names; empty, with the reason for
// the user, when there is none. `usbId` receives the ids when the section names ids.
std::string DevicePath(const char* section, std::string& reason, std::string* usbId = nullptr);

class Link {
public:
    Link() = default;
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Opens the device of section [section]; false with the reason for the user.
    bool Open(const char* section, std::string& reason);
    void Close();
    bool IsOpen() const { return fd_ >= 0 || usb_ != nullptr; }
    // The node's descriptor; -1 for a cutter reached through libusb.
    int Descriptor() const { return fd_; }

    // Writes everything, waiting at most `milliseconds` without progress; false when not all
    // of it went.
    bool Write(const char* data, int length, int milliseconds);
    // Reads what has arrived, at most `length` bytes, waiting at most `milliseconds` for the
    // first: the count, 0 when nothing came, -1 on error or hang-up.
    int Read(char* buffer, int length, int milliseconds);

private:
    int fd_ = -1;
    UsbBulkDevice* usb_ = nullptr;
};

} // namespace cutterlink

#pragma once
// The line to a cutter that a maker's library or a USB pipe library reaches: the device
// named by key Device of a section of Ports.ini (in the settings folder, as COMM32's table):
// a device file, or "vid_XXXX&pid_XXXX" looked up in sysfs like COMM32's "USB". The node is
// opened without blocking and, when it is a terminal, made raw. No call waits longer than
// the time it is given.

#include <string>

namespace cutterlink {

// The device file that section [section] of Ports.ini names; empty, with the reason for
// the user, when there is none.
std::string DevicePath(const char* section, std::string& reason);

class Link {
public:
    Link() = default;
    ~Link() { Close(); }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Opens the device of section [section]; false with the reason for the user.
    bool Open(const char* section, std::string& reason);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

    // Writes everything, waiting at most `milliseconds` without progress; false when not all
    // of it went.
    bool Write(const char* data, int length, int milliseconds);
    // Reads what has arrived, at most `length` bytes, waiting at most `milliseconds` for the
    // first: the count, 0 when nothing came, -1 on error or hang-up.
    int Read(char* buffer, int length, int milliseconds);

private:
    int fd_ = -1;
};

} // namespace cutterlink

#pragma once
// One open port: a device file opened for non-blocking input and output.

#include <memory>
#include <string>

#include "win32/base.h"

namespace comm32 {

class PortConnection {
public:
    // Opens the device, which must exist: nothing is ever created. A terminal is held exclusively
    // and gets the serial settings of the device section; other devices (parallel and USB printer
    // ports) ignore them. Null with the last error set on failure; systemError then receives the
    // errno behind it (0 for settings outside their lists).
    static std::unique_ptr<PortConnection> open(const std::string& path, LPCSTR iniPath,
                                                LPCSTR section, int* systemError = nullptr);

    // Drops output still queued, so that closing a stopped line cannot wait.
    ~PortConnection();
    PortConnection(const PortConnection&) = delete;
    PortConnection& operator=(const PortConnection&) = delete;

    // The bytes the port takes, waiting a little when it takes none; -1 on error.
    int transmit(const char* data, int length);
    // The bytes that have arrived, waiting a little when none has; -1 on error or hang-up.
    int receive(char* buffer, int length);
    // Whether no written byte is still queued, waiting a little when one is.
    bool transmissionReady();

    bool isTerminal() const { return terminal_; }

private:
    PortConnection(int fd, bool terminal) : fd_(fd), terminal_(terminal) {}

    int fd_;
    bool terminal_;
    bool exclusive_ = false;
};

} // namespace comm32

#pragma once
// An Xvfb server of a test program's own (1920x1080x24, no TCP), for the display tests.
// Shared() starts one on first use and ends it at exit; a test without one skips with
// WhyNot().

#include <sys/types.h>

#include <string>

class XvfbServer {
public:
    // Starts a server and waits until it accepts connections.
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The program's one server.
    static XvfbServer& Shared();

    // ":N" once running, else empty.
    const std::string& Name() const { return name; }
    // Empty once running, else why the server is missing.
    const std::string& WhyNot() const { return whyNot; }
    // Ends the server at once, as a crash does, and removes the socket and lock it leaves.
    void Kill();

private:
    pid_t pid = -1;
    std::string name;
    std::string whyNot;
};

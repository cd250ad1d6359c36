#pragma once
// A port name of the port library's table ("COM3", "LPT2") that leads to a device file of
// the test's choosing, usually a FakeCutter's PortPath. The entry goes into Ports.ini of
// the settings folder ($XDG_CONFIG_HOME/signdesk, which PlatformTest points at a folder of
// the test) and is removed when the object goes.

#include <string>

class FakePort {
public:
    FakePort(const std::string& portName, const std::string& devicePath);
    ~FakePort();
    FakePort(const FakePort&) = delete;
    FakePort& operator=(const FakePort&) = delete;

    // Where the port library reads its table.
    static std::string TableFile();

private:
    std::string name_;
};

#include <filesystem>
#include <fstream>
#include <string>

#include "PortTable.h"
#include "testing/PlatformTest.h"
#include "win32/kernel.h"

namespace {

using comm32::PortEnvironment;
using comm32::PortTable;

using PortTableTest = PlatformTest;

TEST_F(PortTableTest, DeviceTextsNameThePortsOfTheTable) {
    const struct {
        const char* device;
        const char* name;
    } cases[] = {
        {"COM1", "COM1"},
        {"com3", "COM3"},
        {"COM3:", "COM3"},
        {" COM8 ", "COM8"},
        {"LPT1", "LPT1"},
        {"lpt4:", "LPT4"},
        {"LPT1.DOS", "LPT1"},
        {"lpt2.dos", "LPT2"},
        {"USB", "USB"},
        {"usb", "USB"},
        {"COM9", ""},
        {"COM0", ""},
        {"LPT5", ""},
        {"COM1::", ""},
        {"COM1.DOS", ""},
        {"COM10", ""},
        {"USB:", ""},
        {"/tmp/job.plt", ""},
        {"", ""},
        {"LPT", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortTable::normalName(c.device), c.name) << "Device=\"" << c.device << '"';
}

TEST_F(PortTableTest, DefaultsFollowTheDeviceFolder) {
    PortEnvironment environment;
    environment.devRoot = (DataFolder() / "dev").string();
    const std::string& dev = environment.devRoot;
    EXPECT_EQ(PortTable::devicePath("COM1", environment), dev + "/ttyS0");
    EXPECT_EQ(PortTable::devicePath("COM8", environment), dev + "/ttyS7");
    EXPECT_EQ(PortTable::devicePath("LPT2", environment), dev + "/lp1");

    // A USB printer-class node wins over the parallel port of the same number.
    std::filesystem::create_directories(dev + "/usb");
    std::ofstream(dev + "/usb/lp1").put('\0');
    EXPECT_EQ(PortTable::devicePath("LPT2", environment), dev + "/usb/lp1");
    EXPECT_EQ(PortTable::devicePath("LPT1", environment), dev + "/lp0");

    EXPECT_FALSE(PortTable::devicePath("COM9", environment));
    EXPECT_FALSE(PortTable::devicePath("USB", environment));
}

TEST_F(PortTableTest, TheUsersTableOverridesAndDisablesPorts) {
    const std::string table = PortTable::fileName();
    EXPECT_EQ(table, (DataFolder() / "signdesk/Ports.ini").string());
    std::filesystem::create_directories(DataFolder() / "signdesk");
    WritePrivateProfileStringA("Ports", "COM2", "/dev/ttyUSB0", table.c_str());
    WritePrivateProfileStringA("Ports", "lpt1", "/dev/usb/lp3", table.c_str());
    WritePrivateProfileStringA("Ports", "COM1", "", table.c_str());

    PortEnvironment environment;
    EXPECT_EQ(PortTable::devicePath("COM2", environment), "/dev/ttyUSB0");
    EXPECT_EQ(PortTable::devicePath("LPT1", environment), "/dev/usb/lp3"); // keys match any case
    EXPECT_FALSE(PortTable::devicePath("COM1", environment)) << "an empty entry disables";
    EXPECT_EQ(PortTable::devicePath("COM3", environment), "/dev/ttyS2");
}

} // namespace

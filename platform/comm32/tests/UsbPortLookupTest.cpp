#include <filesystem>
#include <fstream>
#include <string>

#include "UsbPortLookup.h"
#include "testing/PlatformTest.h"

namespace {

namespace fs = std::filesystem;
using comm32::findUsbPort;
using comm32::parseUsbId;
using comm32::PortEnvironment;
using comm32::UsbId;

TEST(UsbIdTest, VendorAndProductAreReadFromTheIdentifier) {
    const struct {
        const char* text;
        bool valid;
        unsigned vendor, product;
    } cases[] = {
        {"vid_0b4d&pid_110a{a5dcbf10-6530-11d2-901f-00c04fb951ed}", true, 0x0b4d, 0x110a},
        {"vid_0b4d&pid_111c", true, 0x0b4d, 0x111c},
        {"VID_0B4D&PID_111C", true, 0x0b4d, 0x111c},
        {"\\\\?\\usb#vid_0b4d&pid_110a#5&2e1c&0&1#{a5dcbf10}", true, 0x0b4d, 0x110a},
        {"pid_110a&vid_0b4d", true, 0x0b4d, 0x110a},
        {"vid_0b4d", false, 0, 0},
        {"pid_110a", false, 0, 0},
        {"vid_0b4g&pid_110a", false, 0, 0},
        {"vid_0b4&pid_110a", false, 0, 0},
        {"vid_0b4d1&pid_110a", false, 0, 0},
        {"vid_0b4d&pid_11", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto id = parseUsbId(c.text);
        ASSERT_EQ(id.has_value(), c.valid);
        if (!id) continue;
        EXPECT_EQ(id->vendor, c.vendor);
        EXPECT_EQ(id->product, c.product);
    }
}

// A sysfs tree as the kernel lays out USB devices and their interfaces.
class UsbPortLookupTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        environment_.sysRoot = (DataFolder() / "sys").string();
        environment_.devRoot = "/devroot";
    }

    fs::path Device(const std::string& name, const char* vendor, const char* product) {
        fs::path device = DataFolder() / "sys/bus/usb/devices" / name;
        fs::create_directories(device);
        std::ofstream(device / "idVendor") << vendor << '\n';
        std::ofstream(device / "idProduct") << product << '\n';
        return device;
    }
    static void Node(const fs::path& folder) { fs::create_directories(folder); }

    PortEnvironment environment_;
};

TEST_F(UsbPortLookupTest, FindsThePrinterInterfaceOfTheMatchingDevice) {
    fs::path other = Device("1-1", "046d", "c52b");
    Node(other / "1-1:1.0/usbmisc/lp0");
    fs::path cutter = Device("1-2", "0b4d", "110a");
    Node(cutter / "1-2:1.0/tty/ttyACM0"); // a terminal interface loses to the printer one
    Node(cutter / "1-2:1.1/usbmisc/lp1");
    Node(DataFolder() / "sys/bus/usb/devices/1-2:1.1/usbmisc/lp1"); // the kernel's link

    EXPECT_EQ(findUsbPort({0x0b4d, 0x110a}, environment_), "/devroot/usb/lp1");
    EXPECT_EQ(findUsbPort({0x046d, 0xc52b}, environment_), "/devroot/usb/lp0");
    EXPECT_EQ(findUsbPort({0x0b4d, 0x111c}, environment_), "");
}

TEST_F(UsbPortLookupTest, TerminalInterfacesServeWhenThereIsNoPrinterInterface) {
    Node(Device("2-1", "0b4d", "111c") / "2-1:1.0/tty/ttyACM2");
    Node(Device("3-4", "0403", "6001") / "3-4:1.0/ttyUSB1/tty/ttyUSB1");
    EXPECT_EQ(findUsbPort({0x0b4d, 0x111c}, environment_), "/devroot/ttyACM2");
    EXPECT_EQ(findUsbPort({0x0403, 0x6001}, environment_), "/devroot/ttyUSB1");
}

TEST_F(UsbPortLookupTest, DevicesWithoutAUsableNodeOrWithBrokenIdsAreSkipped) {
    Device("1-1", "0b4d", "110a"); // no interface with a node
    fs::path broken = Device("1-2", "0b4d", "11xa");
    Node(broken / "1-2:1.0/usbmisc/lp0");
    fs::path good = Device("1-3", "0b4d", "110a");
    Node(good / "1-3:1.0/usbmisc/lp4");
    EXPECT_EQ(findUsbPort({0x0b4d, 0x110a}, environment_), "/devroot/usb/lp4");

    environment_.sysRoot = (DataFolder() / "missing").string();
    EXPECT_EQ(findUsbPort({0x0b4d, 0x110a}, environment_), "");
}

} // namespace

// Ports other than a serial line on COMn: a printer port, a USB cutter found by its ids, and
// the library under its second name.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Comm32Binding.h"
#include "testing/FakeCutter.h"
#include "testing/FakePort.h"
#include "testing/PlatformTest.h"
#include "win32/ModuleTesting.h"

namespace {

namespace fs = std::filesystem;

class Comm32DeviceTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        devices = (DataFolder() / "Devices.ini").string();
    }
    void Set(const char* key, const char* value) {
        WritePrivateProfileStringA("Cutter", key, value, devices.c_str());
    }

    std::string devices;
};

TEST_F(Comm32DeviceTest, APrinterPortTakesTheBytesAndIgnoresSerialKeys) {
    Comm32Binding comm;
    ASSERT_TRUE(comm.complete()) << SdLastLoadError();
    const fs::path file = DataFolder() / "lpt2";
    std::ofstream(file).close();
    FakePort port("LPT2", file.string());
    Set("Device", "LPT2:");
    Set("BaudRate", "99"); // would fail a serial port

    HANDLE handle = comm.open(devices.c_str(), "Cutter");
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(comm.transmit(handle, "IN;PU0,0;", 9), 9);
    EXPECT_EQ(comm.bufferedTransmit(handle, "PD5,5;", 6, 0), 6);
    EXPECT_NE(comm.isTransmissionReady(handle), 0);
    EXPECT_EQ(comm.close(handle), 1);

    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "IN;PU0,0;PD5,5;");
}

TEST_F(Comm32DeviceTest, AUsbCutterIsFoundByItsIds) {
    Comm32Binding comm;
    ASSERT_TRUE(comm.complete()) << SdLastLoadError();
    FakeCutter cutter;
    ASSERT_TRUE(cutter.IsOpen());

    // sysfs and /dev as the kernel shows a printer-class cutter; its node leads to the fake.
    const fs::path sys = DataFolder() / "sys";
    const fs::path device = sys / "bus/usb/devices/1-4";
    fs::create_directories(device / "1-4:1.0/usbmisc/lp2");
    std::ofstream(device / "idVendor") << "0b4d\n";
    std::ofstream(device / "idProduct") << "110a\n";
    const fs::path dev = DataFolder() / "dev";
    fs::create_directories(dev / "usb");
    fs::create_symlink(cutter.PortPath(), dev / "usb/lp2");
    setenv("SIGNDESK_SYSFS_ROOT", sys.c_str(), 1);
    setenv("SIGNDESK_DEV_ROOT", dev.c_str(), 1);

    Set("Device", "USB");
    Set("WindowsUSBID", "vid_0b4d&pid_110a{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    HANDLE handle = comm.open(devices.c_str(), "Cutter");
    Set("WindowsUSBID", "vid_0b4d&pid_111c");
    HANDLE other = comm.open(devices.c_str(), "Cutter");
    unsetenv("SIGNDESK_SYSFS_ROOT");
    unsetenv("SIGNDESK_DEV_ROOT");

    EXPECT_EQ(other, INVALID_HANDLE_VALUE) << "a model that is not plugged in";
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(comm.transmitAll(handle, "FN0\x03"), 4);
    EXPECT_TRUE(cutter.WaitForReceived("FN0\x03"));
    EXPECT_EQ(comm.close(handle), 1);
}

TEST_F(Comm32DeviceTest, TheLibraryAnswersToBothNames) {
    Comm32Binding comm32("COMM32.DLL");
    Comm32Binding comm32s("comm32s.dll");
    ASSERT_TRUE(comm32.complete()) << SdLastLoadError();
    ASSERT_TRUE(comm32s.complete()) << SdLastLoadError();
    // The library keeps its workings to itself (comm32::waitForPort).
    EXPECT_EQ(GetProcAddress(comm32.module, "_ZN6comm3211waitForPortEisj"), nullptr);
}

} // namespace

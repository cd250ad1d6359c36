// What a Device text reaches, by the port library's own rules, without opening anything.

#include <filesystem>
#include <fstream>
#include <string>

#include "Comm32Binding.h"
#include "PortTable.h"
#include "testing/FakeCutter.h"
#include "testing/FakeUsbTree.h"
#include "testing/PlatformTest.h"

namespace {

using DescribePortTest = PlatformTest;

TEST_F(DescribePortTest, NamesTheDeviceFileAndWhetherItIsThere) {
    Comm32Binding comm32;
    auto describe = comm32.Entry<DescribePortProc>("DescribePort");
    ASSERT_NE(describe, nullptr);
    FakeCutter cutter;
    ASSERT_TRUE(cutter.IsOpen());
    FakeUsbTree usb(DataFolder() / "usb");
    const std::string dev = usb.DevRoot();
    const std::string table = comm32::PortTable::fileName();
    std::filesystem::create_directories(std::filesystem::path(table).parent_path());
    WritePrivateProfileStringA("Ports", "COM3", cutter.PortPath().c_str(), table.c_str());
    WritePrivateProfileStringA("Ports", "COM4", "", table.c_str());
    std::ofstream(DataFolder() / "plain").put('x');
    const std::string plain = (DataFolder() / "plain").string();
    const std::string arrow = " \xE2\x86\x92 ";

    struct Row {
        std::string device;
        std::string usbId;
        std::string text;
        int flags;
    };
    const Row rows[] = {
        {"com3:", "", "COM3" + arrow + cutter.PortPath() + " (Ports.ini)",
         DESCRIBED_PORT | DESCRIBED_PRESENT | DESCRIBED_TERMINAL},
        {"COM2", "", "COM2" + arrow + dev + "/ttyS1: missing", DESCRIBED_PORT},
        {"COM4", "", "COM4: switched off (Ports.ini)", DESCRIBED_PORT},
        {cutter.PortPath(), "", cutter.PortPath(),
         DESCRIBED_PORT | DESCRIBED_PRESENT | DESCRIBED_TERMINAL},
        {plain, "", plain, DESCRIBED_PORT | DESCRIBED_PRESENT},
        {dev + "/ttyUSB3", "", dev + "/ttyUSB3: missing", DESCRIBED_PORT},
        {"USB", "vid_0b4d&pid_110a", "USB: no cutter with these ids", DESCRIBED_PORT},
        {"USB", "", "USB: no cutter ids (WindowsUSBID)", DESCRIBED_PORT},
        {"COM9", "", "", 0},
        {"job.plt", "", "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.device);
        char text[512] = "?";
        EXPECT_EQ(describe(row.device.c_str(), row.usbId.c_str(), text, sizeof text), row.flags);
        EXPECT_EQ(std::string(text), row.text);
    }
    EXPECT_FALSE(std::filesystem::exists(dev + "/ttyUSB3")) << "nothing is created";

    usb.AddDevice("1-2", "0b4d", "110a", cutter.PortPath());
    char text[512];
    int flags = describe("USB", "vid_0B4D&pid_110A{a5dcbf10}", text, sizeof text);
    EXPECT_EQ(flags, DESCRIBED_PORT | DESCRIBED_PRESENT | DESCRIBED_TERMINAL);
    EXPECT_EQ(std::string(text).rfind("USB" + arrow + dev + "/tty", 0), 0u) << text;

    // A short buffer gets what fits and its terminating zero.
    char tiny[5];
    describe("COM4", "", tiny, sizeof tiny);
    EXPECT_EQ(std::string(tiny), "COM4");
}

} // namespace

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include <pcutlib/PcutLib.h>
#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <testing/PlatformTest.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/resource.h>

namespace {

class PcutLibTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        library_ = LoadLibraryA("PcutLib.dll");
        ASSERT_NE(library_, nullptr);
        open_ = Entry<PcutOpenProc>(1);
        close_ = Entry<PcutCloseProc>(2);
        write_ = Entry<PcutWriteProc>(4);
        readByte_ = Entry<PcutReadByteProc>(5);
        error_ = reinterpret_cast<PcutLibErrorProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(library_, "PcutLibError")));
        ASSERT_TRUE(open_ && close_ && write_ && readByte_ && error_);
    }
    void TearDown() override {
        if (close_) close_(0);
        unsetenv("SIGNDESK_SYSFS_ROOT");
        unsetenv("SIGNDESK_DEV_ROOT");
        FreeLibrary(library_);
        PlatformTest::TearDown();
    }

    template <class Proc> Proc Entry(WORD ordinal) {
        return reinterpret_cast<Proc>(
            reinterpret_cast<void (*)()>(GetProcAddress(library_, MAKEINTRESOURCE(ordinal))));
    }

    void SetDevice(const std::string& device) {
        std::filesystem::create_directories(
            std::filesystem::path(FakePort::TableFile()).parent_path());
        WritePrivateProfileStringA("PcutLib", "Device", device.c_str(),
                                   FakePort::TableFile().c_str());
    }

    std::string Error() {
        char text[512];
        error_(text, sizeof text);
        return text;
    }

    HMODULE library_ = nullptr;
    PcutOpenProc open_ = nullptr;
    PcutCloseProc close_ = nullptr;
    PcutWriteProc write_ = nullptr;
    PcutReadByteProc readByte_ = nullptr;
    PcutLibErrorProc error_ = nullptr;
};

TEST_F(PcutLibTest, EntriesAreServedByOrdinal) {
    EXPECT_EQ(GetProcAddress(library_, MAKEINTRESOURCE(3)), nullptr);
    EXPECT_EQ(GetProcAddress(library_, MAKEINTRESOURCE(6)), nullptr);
    EXPECT_EQ(GetProcAddress(library_, "PcutOpen"), nullptr); // not by name
}

TEST_F(PcutLibTest, BlocksGoToTheCutterAndItsBytesComeBackOneByOne) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    SetDevice(cutter.PortPath());
    ASSERT_EQ(open_(0), 1) << Error();
    char byte = 0;
    EXPECT_EQ(readByte_(&byte, 0, 1), 2); // nothing yet
    EXPECT_EQ(write_("IN;PU0,0;", 9), 1);
    EXPECT_TRUE(cutter.WaitForReceived("IN;PU0,0;"));
    cutter.Send("E");
    int result = 2;
    for (int i = 0; i < 2000 && result == 2; ++i)
        result = readByte_(&byte, 0, 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(byte, 'E');
    close_(0);
    EXPECT_NE(readByte_(&byte, 0, 1), 1);
    EXPECT_EQ(write_("x", 1), 0);
}

TEST_F(PcutLibTest, ACutterThatCannotBeReachedIsTold) {
    struct Case {
        const char* device; // null: no key
        const char* told;
    } cases[] = {
        {nullptr, "No cutter is named"},
        {"/dev/ttyUSB9", "/dev/ttyUSB9: No such file or directory"},
        {"COM1", "neither a device file nor vid_XXXX&pid_XXXX"},
        {"vid_0b4d&pid_110a", "No cutter with the USB ids vid_0b4d&pid_110a"},
    };
    setenv("SIGNDESK_SYSFS_ROOT", (DataFolder() / "sys").c_str(), 1);
    for (const Case& c : cases) {
        if (c.device) SetDevice(c.device);
        EXPECT_EQ(open_(0), 0) << c.device;
        EXPECT_NE(Error().find(c.told), std::string::npos) << Error();
    }
}

TEST_F(PcutLibTest, ACutterIsFoundByItsUsbIds) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    // A device 1-1 with those ids whose interface has the terminal ttyACM0.
    const std::filesystem::path sys = DataFolder() / "sys", dev = DataFolder() / "dev";
    const std::filesystem::path device = sys / "bus/usb/devices/1-1";
    std::filesystem::create_directories(device / "1-1:1.0/tty/ttyACM0");
    std::filesystem::create_directories(dev);
    std::ofstream(device / "idVendor") << "0b4d\n";
    std::ofstream(device / "idProduct") << "110a\n";
    std::filesystem::create_symlink(cutter.PortPath(), dev / "ttyACM0");
    setenv("SIGNDESK_SYSFS_ROOT", sys.c_str(), 1);
    setenv("SIGNDESK_DEV_ROOT", dev.c_str(), 1);
    SetDevice("VID_0B4D&PID_110A");
    ASSERT_EQ(open_(0), 1) << Error();
    EXPECT_EQ(write_("H", 1), 1);
    EXPECT_TRUE(cutter.WaitForReceived("H"));
}

} // namespace

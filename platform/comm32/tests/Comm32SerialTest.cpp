#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Comm32Binding.h"
#include "testing/FakeCutter.h"
#include "testing/FakePort.h"
#include "testing/PlatformTest.h"
#include "win32/KernelTesting.h"
#include "win32/ModuleTesting.h"

namespace {

constexpr char xoff = 0x13;
constexpr DWORD invalidNameError = 123; // ERROR_INVALID_NAME
constexpr DWORD noDeviceError = 55;     // ERROR_DEV_NOT_EXIST

// A cutter on COM3, and a device section that names it.
class Comm32SerialTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_TRUE(comm.complete()) << SdLastLoadError();
        cutter = std::make_unique<FakeCutter>();
        ASSERT_TRUE(cutter->IsOpen());
        port = std::make_unique<FakePort>("COM3", cutter->PortPath());
        devices = (DataFolder() / "Devices.ini").string();
        Set("Device", "com3:");
    }
    void TearDown() override {
        for (HANDLE handle : opened)
            comm.close(handle);
        port.reset();
        cutter.reset();
        PlatformTest::TearDown();
    }

    void Set(const char* key, const char* value) {
        WritePrivateProfileStringA("Cutter", key, value, devices.c_str());
    }
    HANDLE Open() {
        HANDLE handle = comm.open(devices.c_str(), "Cutter");
        if (handle != INVALID_HANDLE_VALUE) opened.push_back(handle);
        return handle;
    }
    // Offers single bytes until the port refuses one (an XOFF takes effect a moment after it
    // was sent); the bytes it took meanwhile. At most two seconds.
    std::string SendUntilRefused(HANDLE handle) {
        std::string sent;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            int n = comm.bufferedTransmit(handle, "x", 1, 0);
            if (n <= 0) {
                EXPECT_EQ(n, 0);
                return sent;
            }
            sent += 'x';
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ADD_FAILURE() << "the port kept taking bytes";
        return sent;
    }
    void Close(HANDLE handle) {
        EXPECT_EQ(comm.close(handle), 1);
        std::erase(opened, handle);
    }

    Comm32Binding comm;
    std::unique_ptr<FakeCutter> cutter;
    std::unique_ptr<FakePort> port;
    std::string devices;
    std::vector<HANDLE> opened;
};

// Data bits and parity are checked against the line flags in SerialSettingsTest: a
// pseudo-terminal keeps neither.
TEST_F(Comm32SerialTest, TheDeviceSectionSetsTheLine) {
    struct Key {
        const char* key;
        const char* value;
    };
    const struct {
        std::vector<Key> keys;
        FakeLineSettings line; // baud, stop bits, RTS/CTS, XON/XOFF
    } cases[] = {
        {{}, {2400, 2, true, false}},
        {{{"BaudRate", "6"}, {"Bits", "0"}, {"Parity", "1"}, {"StopBits", "0"}, {"FlowCtrl", "2"}},
         {9600, 1, false, true}},
        {{{"BaudRate", "7"}, {"StopBits", "2"}, {"FlowCtrl", "3"}}, {14400, 2, true, true}},
        {{{"BaudRate", "0"}, {"FlowCtrl", "0"}}, {110, 2, false, false}},
        {{{"BaudRate", "12"}, {"Bits", "7"}, {"Parity", "4"}}, {256000, 2, true, false}},
        {{{"BaudRate", "0Ah"}}, {56000, 2, true, false}},
        // The setup sheets' check boxes decide over FlowCtrl; one alone counts as both given.
        {{{"FlowCtrl", "0"}, {"RTS/CTS", "0"}, {"XON/XOFF", "1"}}, {2400, 2, false, true}},
        {{{"FlowCtrl", "3"}, {"RTS/CTS", "1"}}, {2400, 2, true, false}},
    };
    for (const auto& c : cases) {
        WritePrivateProfileStringA("Cutter", nullptr, nullptr, devices.c_str());
        Set("Device", "COM3");
        std::string trace;
        for (const Key& key : c.keys) {
            Set(key.key, key.value);
            trace += std::string(key.key) + "=" + key.value + " ";
        }
        SCOPED_TRACE(trace);
        HANDLE handle = Open();
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        FakeLineSettings line = cutter->LineSettings();
        EXPECT_EQ(line.baudRate, c.line.baudRate);
        EXPECT_EQ(line.stopBits, c.line.stopBits);
        EXPECT_EQ(line.rtsCts, c.line.rtsCts);
        EXPECT_EQ(line.xonXoff, c.line.xonXoff);
        EXPECT_TRUE(line.raw);
        Close(handle);
    }
}

TEST_F(Comm32SerialTest, ValuesOutsideTheListsFailTheOpen) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {{"BaudRate", "13"}, {"BaudRate", "-1"}, {"Bits", "2"},     {"Bits", "9"},
                 {"Parity", "5"},    {"StopBits", "3"},  {"FlowCtrl", "4"}, {"FlowCtrl", "-1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        WritePrivateProfileStringA("Cutter", nullptr, nullptr, devices.c_str());
        Set("Device", "COM3");
        Set(c.key, c.value);
        SetLastError(0);
        EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    // The port was left free: a good section opens it.
    WritePrivateProfileStringA("Cutter", "FlowCtrl", nullptr, devices.c_str());
    EXPECT_NE(Open(), INVALID_HANDLE_VALUE);
}

TEST_F(Comm32SerialTest, ADeviceFileNamedDirectlyIsAPortWithTheSectionsSettings) {
    Set("Device", cutter->PortPath().c_str()); // /dev/pts/N
    Set("BaudRate", "6");
    Set("StopBits", "0");
    Set("FlowCtrl", "2");
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    FakeLineSettings line = cutter->LineSettings();
    EXPECT_EQ(line.baudRate, 9600u);
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_FALSE(line.rtsCts);
    EXPECT_TRUE(line.xonXoff);
    EXPECT_TRUE(line.raw);
    // XON/XOFF holds the output.
    cutter->Hold();
    const std::string sent = SendUntilRefused(handle);
    EXPECT_EQ(comm.bufferedTransmit(handle, "y", 1, 0), 0);
    cutter->Release();
    EXPECT_EQ(comm.transmitAll(handle, "resumed"), 7);
    ASSERT_TRUE(cutter->WaitForReceived("resumed"));
    EXPECT_EQ(cutter->Received(), sent + "resumed");
}

TEST_F(Comm32SerialTest, BytesCrossTheLineUnchangedBothWays) {
    cutter->SetReply("OH;", "0,0,40000,24000\r");
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);

    EXPECT_EQ(comm.transmitAll(handle, "IN;OH;"), 6);
    EXPECT_EQ(comm.receiveCount(handle, 16), "0,0,40000,24000\r");
    EXPECT_EQ(comm.isTransmissionReady(handle), 1);

    // Raw in both directions: no line-end translation, zero and high bytes pass.
    const std::string binary("\r\n\0\xff\x7f\x03\x1b.E", 9);
    EXPECT_EQ(comm.transmit(handle, binary.data(), int(binary.size())), int(binary.size()));
    ASSERT_TRUE(cutter->WaitForReceived(binary));
    EXPECT_EQ(cutter->Received(), "IN;OH;" + binary);
    cutter->Send(binary);
    EXPECT_EQ(comm.receiveCount(handle, binary.size()), binary);
}

TEST_F(Comm32SerialTest, RepliesAreKeptInOrderUntilRead) {
    cutter->SetReply("OA;", "100,200,1\r");
    cutter->SetReply("\x1b.O", "8\r");
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    // The second query comes split across two writes; each query is answered once.
    EXPECT_EQ(comm.transmitAll(handle, "OA;\x1b"), 4);
    ASSERT_TRUE(cutter->WaitForReceived("OA;\x1b"));
    EXPECT_EQ(comm.transmitAll(handle, ".OOA;"), 5);
    EXPECT_EQ(comm.receiveCount(handle, 22), "100,200,1\r8\r100,200,1\r");
}

TEST_F(Comm32SerialTest, XoffStopsTheLineAndXonResumesIt) {
    Set("FlowCtrl", "2");
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);

    cutter->Hold();
    const std::string sent = SendUntilRefused(handle);
    EXPECT_EQ(comm.bufferedTransmit(handle, "y", 1, 0), 0);
    EXPECT_EQ(comm.isTransmissionReady(handle), 1) << "nothing is queued in the port";

    cutter->Release();
    EXPECT_EQ(comm.transmitAll(handle, "resumed"), 7);
    ASSERT_TRUE(cutter->WaitForReceived("resumed"));
    EXPECT_EQ(cutter->Received(), sent + "resumed");
    EXPECT_EQ(comm.receiveCount(handle, 1, 2), "") << "flow bytes are not data";
}

TEST_F(Comm32SerialTest, WithoutXonXoffTheFlowBytesAreData) {
    Set("FlowCtrl", "1");
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    cutter->Hold();
    EXPECT_EQ(comm.receiveCount(handle, 1), std::string(1, xoff));
    cutter->Release();
}

TEST_F(Comm32SerialTest, TheCutterHoldsItsRepliesWhileThePortSaysXoff) {
    Set("FlowCtrl", "0"); // the flow bytes below are plain data to the port
    cutter->SetReply("OA;", "1,2\r");
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(comm.transmitAll(handle, "\x13OA;"), 4);
    ASSERT_TRUE(cutter->WaitForReceived("OA;"));
    EXPECT_TRUE(cutter->HeldByPort());
    EXPECT_EQ(comm.receiveCount(handle, 4, 2), "");
    EXPECT_EQ(comm.transmitAll(handle, "\x11"), 1);
    EXPECT_EQ(comm.receiveCount(handle, 4), "1,2\r");
    EXPECT_FALSE(cutter->HeldByPort());
}

TEST_F(Comm32SerialTest, ASlowCutterStillGetsEverything) {
    cutter->SetAcceptRate(8, 20);
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const std::string job(80, 'P');
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(comm.transmitAll(handle, job), 80);
    ASSERT_TRUE(cutter->WaitForReceivedCount(80));
    // Ten reads of 8 bytes with 20 ms between them.
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(150));
    EXPECT_EQ(cutter->Received(), job);
}

TEST_F(Comm32SerialTest, WaitsAreBoundedAndRunOnTheFakeClock) {
    Set("FlowCtrl", "2");
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    cutter->Hold();
    SendUntilRefused(handle);

    SdInstallFakeClock(1000, SYSTEMTIME{});
    const auto started = std::chrono::steady_clock::now();
    char buffer[16];
    EXPECT_EQ(comm.receive(handle, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetTickCount(), 1050u) << "one wait of 50 ms";

    // A writer with a one-second time-out, as the drivers write, against a held line.
    const DWORD start = GetTickCount();
    int passes = 0;
    int stalled = 0;
    while (GetTickCount() - start < 1000 && passes < 1000) {
        ++passes;
        int n = comm.bufferedTransmit(handle, "PD;", 3, 0);
        ASSERT_GE(n, 0);
        stalled = n == 0 ? stalled + 1 : 0;
    }
    EXPECT_EQ(passes, 20) << "each pass that takes nothing waits 50 ms";
    EXPECT_EQ(stalled, 20);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    cutter->Release();
}

TEST_F(Comm32SerialTest, ARealClockWaitIsShort) {
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    char buffer[16];
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(comm.receive(handle, buffer, sizeof buffer), 0);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, std::chrono::milliseconds(40));
    EXPECT_LT(waited, std::chrono::seconds(1));
}

TEST_F(Comm32SerialTest, HandlesAreCheckedAndNeverReused) {
    HANDLE first = Open();
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(first, nullptr);
    Close(first);
    HANDLE second = Open();
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(second, first);

    char buffer[4];
    for (HANDLE stale : {first, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        EXPECT_EQ(comm.bufferedTransmit(stale, "x", 1, 0), -1);
        EXPECT_EQ(comm.transmit(stale, "x", 1), -1);
        EXPECT_EQ(comm.receive(stale, buffer, 4), -1);
        EXPECT_NE(comm.isTransmissionReady(stale), 0) << "a caller waiting to drain must not hang";
        EXPECT_EQ(comm.close(stale), 0);
    }
    // Bad arguments on a good handle.
    EXPECT_EQ(comm.bufferedTransmit(second, nullptr, 3, 0), -1);
    EXPECT_EQ(comm.bufferedTransmit(second, "x", -1, 0), -1);
    EXPECT_EQ(comm.bufferedTransmit(second, "x", 0, 0), 0);
    EXPECT_EQ(comm.receive(second, nullptr, 4), -1);
    EXPECT_EQ(comm.receive(second, buffer, 0), 0);
}

TEST_F(Comm32SerialTest, ALostLineIsAnError) {
    HANDLE handle = Open();
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    cutter.reset(); // unplugged
    char buffer[8];
    EXPECT_EQ(comm.receive(handle, buffer, sizeof buffer), -1);
    EXPECT_EQ(comm.bufferedTransmit(handle, "PU;", 3, 0), -1);
    EXPECT_NE(comm.isTransmissionReady(handle), 0);
}

TEST_F(Comm32SerialTest, SectionsNamingNoUsablePortFailAndSayWhy) {
    auto describe = comm.Entry<GetCommunicationErrorProc>("GetCommunicationError");
    ASSERT_NE(describe, nullptr);
    const std::string noSuchTty = (DataFolder() / "no-such-tty").string();
    const struct {
        const char* device;
        const char* usbId;
        DWORD error;
        std::string reason;
    } cases[] = {
        {"COM9", nullptr, invalidNameError, "\"COM9\" is not a port"}, // a file to the driver
        {"plot.plt", nullptr, invalidNameError, "\"plot.plt\" is not a port"},
        {"USB", nullptr, ERROR_INVALID_PARAMETER,
         "USB: WindowsUSBID \"\" does not hold the ids as vid_XXXX&pid_XXXX"},
        {"USB", "cutter", ERROR_INVALID_PARAMETER,
         "USB: WindowsUSBID \"cutter\" does not hold the ids as vid_XXXX&pid_XXXX"},
        {"USB", "vid_0b4d&pid_110a", noDeviceError, // not plugged in
         "USB (vid_0b4d&pid_110a): no such device is connected"},
        {"COM1", nullptr, noDeviceError, // disabled in the table below
         "COM1: the port is switched off in " + FakePort::TableFile()},
        {"COM2", nullptr, ERROR_FILE_NOT_FOUND,
         "COM2 (" + noSuchTty + "): No such file or directory"},
        // A device file named directly is opened as it is, never created.
        {"/dev/ttyUSB9", nullptr, ERROR_FILE_NOT_FOUND, "/dev/ttyUSB9: No such file or directory"},
        {" /dev/usb/lp9 ", nullptr, ERROR_FILE_NOT_FOUND,
         "/dev/usb/lp9: No such file or directory"},
        {"\\dev\\ttyS9", nullptr, ERROR_FILE_NOT_FOUND, "/dev/ttyS9: No such file or directory"},
    };
    FakePort disabled("COM1", "");
    FakePort missing("COM2", noSuchTty);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        Set("Device", c.device);
        Set("WindowsUSBID", c.usbId);
        SetLastError(0);
        EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
        char reason[512];
        EXPECT_EQ(describe(reason, sizeof reason), int(c.reason.size()));
        EXPECT_EQ(std::string(reason), c.reason);
    }
    EXPECT_FALSE(std::filesystem::exists("/dev/ttyUSB9"));
    EXPECT_FALSE(std::filesystem::exists(noSuchTty));
    // Cut to the buffer; a success clears the reason.
    char shortBuffer[5];
    EXPECT_EQ(describe(shortBuffer, sizeof shortBuffer), 4);
    EXPECT_STREQ(shortBuffer, "/dev");
    Set("Device", "COM3");
    ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
    char none[8] = "x";
    EXPECT_EQ(describe(none, sizeof none), 0);
    EXPECT_STREQ(none, "");
    EXPECT_EQ(comm.open(nullptr, "Cutter"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(comm.open(devices.c_str(), nullptr), INVALID_HANDLE_VALUE);
}

} // namespace

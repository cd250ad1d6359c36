#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <cutterlink/CutterLink.h>
#include <summausb/SummaUsb.h>
#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <testing/FakeUsbTree.h>
#include <testing/PlatformTest.h>
#include <win32/fileio.h>
#include <win32/kernel.h>
#include <win32/module.h>

#include "PipePump.h"

namespace {

class SummaUsbTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        library_ = LoadLibraryA("summausb.dll");
        ASSERT_NE(library_, nullptr);
        openFile_ = reinterpret_cast<SummaOpenFileProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(library_, "open_file")));
        error_ = reinterpret_cast<SummaErrorProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(library_, "summausb_error")));
        ASSERT_TRUE(openFile_ && error_);
    }
    void TearDown() override {
        FreeLibrary(library_);
        PlatformTest::TearDown();
    }

    void SetDevice(const std::string& device) {
        std::filesystem::create_directories(
            std::filesystem::path(FakePort::TableFile()).parent_path());
        WritePrivateProfileStringA("summausb", "Device", device.c_str(),
                                   FakePort::TableFile().c_str());
    }

    std::string Error() {
        char text[512];
        error_(text, sizeof text);
        return text;
    }

    // Writes through the commands pipe and reads a reply from the replies pipe, as the
    // driver does: overlapped, each with an event of its own.
    static void Exchange(HANDLE commands, HANDLE replies, FakeCutter& cutter,
                         const std::string& request, const std::string& reply) {
        OVERLAPPED w{}, r{};
        w.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        r.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        DWORD n = 0;
        if (!WriteFile(commands, request.data(), DWORD(request.size()), &n, &w)) {
            ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
            ASSERT_TRUE(GetOverlappedResult(commands, &w, &n, TRUE));
        }
        EXPECT_EQ(n, request.size());
        EXPECT_TRUE(cutter.WaitForReceived(request));
        char buffer[64] = {};
        std::string got;
        cutter.Send(reply);
        for (int i = 0; i < 20 && got.size() < reply.size(); ++i) {
            if (!ReadFile(replies, buffer, sizeof buffer, &n, &r)) {
                ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
                WaitForSingleObject(r.hEvent, 100);
                if (!GetOverlappedResult(replies, &r, &n, FALSE)) {
                    CancelIo(replies);
                    GetOverlappedResult(replies, &r, &n, TRUE);
                }
            }
            got.append(buffer, n);
        }
        EXPECT_EQ(got, reply);
        CloseHandle(w.hEvent);
        CloseHandle(r.hEvent);
    }

    HMODULE library_ = nullptr;
    SummaOpenFileProc openFile_ = nullptr;
    SummaErrorProc error_ = nullptr;
};

TEST_F(SummaUsbTest, CommandsGoOutOnPipe00AndRepliesComeBackOnPipe01) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    SetDevice(cutter.PortPath());
    for (int job = 0; job < 2; ++job) { // the second job opens the cutter afresh
        HANDLE commands = openFile_("PIPE00", 0);
        HANDLE replies = openFile_("PIPE01", 0);
        ASSERT_NE(commands, INVALID_HANDLE_VALUE) << Error();
        ASSERT_NE(replies, INVALID_HANDLE_VALUE) << Error();
        Exchange(commands, replies, cutter, "OH;", "0,0,40000,24000\r");
        EXPECT_TRUE(CloseHandle(commands));
        EXPECT_TRUE(CloseHandle(replies));
        cutter.ClearReceived();
    }
}

TEST_F(SummaUsbTest, ACutterFoundByItsUsbIdsIsReached) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakeUsbTree tree(DataFolder());
    tree.AddDevice("1-1", "0b4d", "110a", cutter.PortPath());
    SetDevice("vid_0b4d&pid_110a");
    HANDLE commands = openFile_("PIPE00", 0);
    HANDLE replies = openFile_("PIPE01", 0);
    ASSERT_NE(commands, INVALID_HANDLE_VALUE) << Error();
    ASSERT_NE(replies, INVALID_HANDLE_VALUE) << Error();
    Exchange(commands, replies, cutter, "IN;", "E");
    CloseHandle(commands);
    CloseHandle(replies);
}

TEST_F(SummaUsbTest, WhatCannotBeOpenedIsToldInWords) {
    FakeUsbTree tree(DataFolder()); // no USB device at all
    struct Case {
        const char* device; // null: no key
        const char* pipe;
        const char* told;
    } cases[] = {
        {nullptr, "PIPE00", "No cutter is named: key Device of section [summausb]"},
        {"/dev/ttyUSB9", "PIPE00", "/dev/ttyUSB9: No such file or directory"},
        {"COM1", "PIPE01", "neither a device file nor vid_XXXX&pid_XXXX"},
        {"vid_0b4d&pid_110a", "PIPE00", "No cutter with the USB ids vid_0b4d&pid_110a"},
        {"/dev/null", "PIPE02", "\"PIPE02\" does not exist"},
        {"/dev/null", nullptr, "\"\" does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device ? c.device : "(none)");
        if (c.device) SetDevice(c.device);
        EXPECT_EQ(openFile_(c.pipe, 0), INVALID_HANDLE_VALUE);
        EXPECT_NE(Error().find(c.told), std::string::npos) << Error();
    }
}

// The pump of a cutter without a node, run here over a terminal line.
TEST_F(SummaUsbTest, ThePumpCarriesBothWaysAndLetsTheCutterGoWhenBothPipesClose) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    SetDevice(cutter.PortPath());
    auto* link = new cutterlink::Link;
    std::string reason;
    ASSERT_TRUE(link->Open("summausb", reason)) << reason;
    PipePump pump(link);
    HANDLE commands = SdFileHandleFromDescriptor(pump.CommandsEnd(), TRUE);
    HANDLE replies = SdFileHandleFromDescriptor(pump.RepliesEnd(), TRUE);
    ASSERT_NE(commands, INVALID_HANDLE_VALUE);
    ASSERT_NE(replies, INVALID_HANDLE_VALUE);
    EXPECT_EQ(pump.CommandsEnd(), -1); // one pipe of each kind
    Exchange(commands, replies, cutter, "PU0,0;", "0,0\r");
    CloseHandle(commands);
    CloseHandle(replies);
    for (int i = 0; i < 100 && link->IsOpen(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(link->IsOpen());
}

} // namespace

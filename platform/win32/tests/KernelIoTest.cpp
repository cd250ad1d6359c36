#include <cstring>
#include <fstream>
#include <string>

#include "testing/FakeCutter.h"
#include "testing/PlatformTest.h"
#include "win32/KernelTesting.h"
#include "win32/fileio.h"
#include "win32/kernel.h"

namespace {

class KernelIoTest : public PlatformTest {
protected:
    void TearDown() override {
        SdRemoveFakeClock();
        PlatformTest::TearDown();
    }
    HANDLE OpenCutter(DWORD flags = FILE_FLAG_OVERLAPPED) {
        return CreateFileA(cutter_.PortPath().c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags,
                           nullptr);
    }
    FakeCutter cutter_;
};

TEST_F(KernelIoTest, FilesAreCreatedWrittenAndReadBack) {
    const std::string path = (DataFolder() / "job.bin").string();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "M0,0\3", 5, &written, nullptr));
    EXPECT_EQ(written, 5u);
    EXPECT_TRUE(CloseHandle(file));

    // Opened again for overlapped reading: a file read completes at once.
    file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                       nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[16] = {};
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, &overlapped));
    EXPECT_EQ(std::string(buffer, read), "M0,0\3");
    EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_OBJECT_0);
    // Without an OVERLAPPED an overlapped handle refuses the call.
    EXPECT_FALSE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(CloseHandle(overlapped.hEvent));
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(KernelIoTest, OpeningFailsWithTheReason) {
    const std::string existing = (DataFolder() / "there").string();
    std::ofstream(existing) << "x";
    const struct {
        std::string name;
        DWORD disposition;
        DWORD error;
    } cases[] = {
        {(DataFolder() / "missing").string(), OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {existing, CREATE_NEW, ERROR_FILE_EXISTS},
        {DataFolder().string(), OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {"", OPEN_EXISTING, ERROR_INVALID_PARAMETER},
        {existing, 9, ERROR_INVALID_PARAMETER},
        {"\\\\?\\usb#vid_0b4d&pid_110a#x#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", OPEN_EXISTING,
         ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(CreateFileA(c.name.c_str(), GENERIC_READ, 0, nullptr, c.disposition, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
    int local = 0;
    EXPECT_FALSE(CloseHandle(&local));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(&local, 0), WAIT_FAILED);
}

TEST_F(KernelIoTest, AnOverlappedReadCompletesWhenTheCutterAnswers) {
    ASSERT_TRUE(cutter_.IsOpen());
    cutter_.SetReply("U\3", "0,0,1000,2000\r");
    HANDLE port = OpenCutter();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    OVERLAPPED write{}, read{};
    write.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    read.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char buffer[80] = {};
    DWORD count = 0;
    EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, &count, &read));
    EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    EXPECT_EQ(read.Internal, ERROR_IO_PENDING);
    EXPECT_FALSE(GetOverlappedResult(port, &read, &count, FALSE));
    EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);

    if (!WriteFile(port, "U\3", 2, &count, &write)) {
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        ASSERT_EQ(WaitForSingleObject(write.hEvent, 1000), WAIT_OBJECT_0);
    }
    ASSERT_TRUE(GetOverlappedResult(port, &write, &count, FALSE));
    EXPECT_EQ(count, 2u);
    ASSERT_TRUE(cutter_.WaitForReceived("U\3"));

    // The reply may come in pieces; the first piece completes the read.
    ASSERT_EQ(WaitForSingleObject(read.hEvent, 2000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetOverlappedResult(port, &read, &count, TRUE));
    ASSERT_GT(count, 0u);
    EXPECT_EQ(std::string(buffer, count), std::string("0,0,1000,2000\r").substr(0, count));
    for (HANDLE h : {write.hEvent, read.hEvent, port}) EXPECT_TRUE(CloseHandle(h));
}

TEST_F(KernelIoTest, AReadThatTimesOutOnTheClockIsCancelledAndItsOverlappedFreed) {
    ASSERT_TRUE(cutter_.IsOpen());
    HANDLE port = OpenCutter();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    SdInstallFakeClock(5000, SYSTEMTIME{});
    OVERLAPPED read{};
    read.hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    char buffer[8];
    DWORD count = 0;
    EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, &count, &read));
    EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    EXPECT_EQ(WaitForSingleObject(read.hEvent, 1000), WAIT_TIMEOUT);
    EXPECT_EQ(GetTickCount(), 6000u); // the wait passed on the fake clock
    // In flight: the same OVERLAPPED cannot start another read.
    EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, &count, &read));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForSingleObject(port, 100), WAIT_TIMEOUT);

    EXPECT_TRUE(CancelIo(port));
    EXPECT_FALSE(GetOverlappedResult(port, &read, &count, TRUE));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(WaitForSingleObject(read.hEvent, 0), WAIT_OBJECT_0); // set by the cancel
    EXPECT_EQ(WaitForSingleObject(read.hEvent, 0), WAIT_TIMEOUT);   // and reset: auto-reset
    EXPECT_EQ(WaitForSingleObject(port, 0), WAIT_OBJECT_0);

    // The freed OVERLAPPED reads what the cutter sends next.
    cutter_.Send("E");
    bool done = ReadFile(port, buffer, sizeof buffer, &count, &read);
    if (!done) {
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        ASSERT_EQ(WaitForSingleObject(read.hEvent, 1000), WAIT_OBJECT_0);
        ASSERT_TRUE(GetOverlappedResult(port, &read, &count, FALSE));
    }
    EXPECT_EQ(std::string(buffer, count), "E");
    // An event nothing will set cannot be waited on for ever.
    if (done) {
        EXPECT_EQ(WaitForSingleObject(read.hEvent, 0), WAIT_OBJECT_0);
    }
    EXPECT_EQ(WaitForSingleObject(read.hEvent, INFINITE), WAIT_FAILED);
    for (HANDLE h : {read.hEvent, port}) EXPECT_TRUE(CloseHandle(h));
}

} // namespace

// The spooler over the system's print service: no service, one that does not answer, and a
// private cupsd with a queue that writes each job into a file.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "testing/PlatformTest.h"
#include "testing/PrivateCupsd.h"
#include "win32/SpoolerTesting.h"
#include "win32/winspool.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> PrinterNames(DWORD flags = PRINTER_ENUM_LOCAL) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(flags, nullptr, 5, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(flags, nullptr, 5, buffer.data(), needed, &needed, &count))
        return {"<failed>"};
    std::vector<std::string> names;
    const auto* entries = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(entries[i].pPrinterName);
    return names;
}

// A socket on 127.0.0.1 that takes connections (the kernel's backlog) and never answers.
class SilentServer {
public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::listen(fd_, 8) == 0 && ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n) == 0)
            port_ = ntohs(a.sin_port);
    }
    ~SilentServer() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Port() const { return port_; }
    // Closed: nobody listens on the port any more.
    void Close() {
        ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

class SpoolerSystemQueueTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        if (const char* server = std::getenv("CUPS_SERVER")) savedServer_ = server;
    }
    void TearDown() override {
        if (savedServer_)
            setenv("CUPS_SERVER", savedServer_->c_str(), 1);
        else
            unsetenv("CUPS_SERVER");
        SdSetSpoolerCommandTimeout(0);
        PlatformTest::TearDown();
    }
    std::optional<std::string> savedServer_;
};

TEST_F(SpoolerSystemQueueTest, WithoutAPrintServiceThereAreNoPrinters) {
    SilentServer gone;
    ASSERT_NE(gone.Port(), 0);
    gone.Close();
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(gone.Port())).c_str(), 1);
    EXPECT_TRUE(PrinterNames().empty());
    EXPECT_TRUE(PrinterNames(PRINTER_ENUM_DEFAULT).empty());
    HANDLE printer = nullptr;
    EXPECT_FALSE(OpenPrinterA("Cutter", &printer, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
}

TEST_F(SpoolerSystemQueueTest, AServiceThatDoesNotAnswerIsGivenUp) {
    SilentServer silent;
    ASSERT_NE(silent.Port(), 0);
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(silent.Port())).c_str(), 1);
    SdSetSpoolerCommandTimeout(200);
    std::vector<BYTE> buffer(4096);
    DWORD needed = 0, count = 0;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), DWORD(buffer.size()),
                              &needed, &count));
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(count, 0u);
    EXPECT_GE(waited, std::chrono::milliseconds(150)) << "the answer was waited for";
    // libcups looks at its time-out about once a second: one question, then no more.
    EXPECT_LT(waited, std::chrono::milliseconds(2500));
}

// One private service for the whole suite, started again by a test that stops it.
class SpoolerCupsTest : public PlatformTest {
protected:
    static void SetUpTestSuite() {
        cupsd_ = new PrivateCupsd;
        skip_ = cupsd_->Start();
    }
    static void TearDownTestSuite() {
        delete cupsd_;
        cupsd_ = nullptr;
    }
    void SetUp() override {
        PlatformTest::SetUp();
        if (skip_.empty() && !cupsd_->Running()) skip_ = cupsd_->Start();
        if (!skip_.empty()) GTEST_SKIP() << "no private print service: " << skip_;
        tmp_ = DataFolder() / "tmp";
        fs::create_directories(tmp_);
        if (const char* tmp = std::getenv("TMPDIR")) savedTmp_ = tmp;
        setenv("TMPDIR", tmp_.c_str(), 1);
    }
    void TearDown() override {
        if (savedTmp_)
            setenv("TMPDIR", savedTmp_->c_str(), 1);
        else
            unsetenv("TMPDIR");
        SdSetSpoolerCommandTimeout(0);
        PlatformTest::TearDown();
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static PrivateCupsd* cupsd_;
    static std::string skip_;
    fs::path tmp_;
    std::optional<std::string> savedTmp_;
};

PrivateCupsd* SpoolerCupsTest::cupsd_ = nullptr;
std::string SpoolerCupsTest::skip_;

TEST_F(SpoolerCupsTest, QueuesAreListedAndJobsHandedOverRaw) {
    // The service's default first.
    EXPECT_EQ(PrinterNames(),
              (std::vector<std::string>{PrivateCupsd::Queue, PrivateCupsd::RawQueue}));
    EXPECT_EQ(PrinterNames(PRINTER_ENUM_DEFAULT), std::vector<std::string>{PrivateCupsd::Queue});

    const int before = cupsd_->WaitIdle();
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA("signraw", &printer, nullptr)) << "names match without case";
    // A title that a shell would take apart goes through unharmed, in UTF-8.
    DOC_INFO_1A info{const_cast<LPSTR>("Caf\xe9; rm -rf $HOME"), nullptr, const_cast<LPSTR>("RAW")};
    ASSERT_NE(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    ASSERT_TRUE(StartPagePrinter(printer));
    const std::string bytes("IN;\0\xff;PU0,0;\r\n", 14);
    DWORD written = 0;
    ASSERT_TRUE(
        WritePrinter(printer, const_cast<char*>(bytes.data()), DWORD(bytes.size()), &written));
    EXPECT_EQ(written, bytes.size());
    ASSERT_TRUE(EndPagePrinter(printer));
    ASSERT_TRUE(EndDocPrinter(printer)) << SdGetLastErrorText();
    ASSERT_TRUE(ClosePrinter(printer));
    EXPECT_TRUE(fs::is_empty(tmp_)) << "the spool file is removed";

    ASSERT_EQ(cupsd_->WaitIdle(), before + 1);
    EXPECT_EQ(Read(cupsd_->RawOutput()), bytes);
    const std::vector<std::string> jobs = cupsd_->CompletedJobs();
    ASSERT_FALSE(jobs.empty());
    EXPECT_EQ(jobs.back(), "Caf\xc3\xa9; rm -rf $HOME");
}

TEST_F(SpoolerCupsTest, AJobTheServiceCannotTakeFailsWithItsReason) {
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(PrivateCupsd::RawQueue, &printer, nullptr));
    DOC_INFO_1A info{const_cast<LPSTR>("Job"), nullptr, const_cast<LPSTR>("RAW")};
    ASSERT_NE(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(printer, const_cast<char*>("PU;"), 3, &written));
    cupsd_->Stop();
    SdSetSpoolerCommandTimeout(2000);
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_NE(std::string(SdGetLastErrorText()), "") << "the reason is told";
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_TRUE(fs::is_empty(tmp_));
}

TEST_F(SpoolerCupsTest, AJobClosedWithoutItsEndIsNotQueued) {
    const int before = cupsd_->WaitIdle();
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(PrivateCupsd::RawQueue, &printer, nullptr));
    DOC_INFO_1A info{const_cast<LPSTR>("Job"), nullptr, const_cast<LPSTR>("RAW")};
    ASSERT_NE(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(printer, const_cast<char*>("PU;"), 3, &written));
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_TRUE(fs::is_empty(tmp_));
    EXPECT_EQ(cupsd_->WaitIdle(), before);
}

} // namespace
